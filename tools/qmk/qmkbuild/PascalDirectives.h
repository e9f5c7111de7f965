#pragma once
// Compiler directives as the interface-section scanner reads them: the groups of conditional
// compilation and include files. Other directives mean nothing to it.

#include <cstdint>
#include <string>
#include <string_view>

namespace qmkbuild {

enum class DirectiveKind : uint8_t { Other, If, IfNot, ElseIf, Else, EndIf, Include };

struct DirectiveInfo {
    DirectiveKind kind = DirectiveKind::Other;
    std::string argument; // include file name
    int branches = 1;     // of the group an If or IfNot opens
    bool hasElse = false;
};

// The directive in the text of a "{$...}" token (without "{$" and "}").
DirectiveInfo ParseDirective(std::string_view text);

// Which branch of a conditional group (its If or IfNot) a pass reads; -1 for none.
int ChooseBranch(int pass, const DirectiveInfo &group);

} // namespace qmkbuild
