// Compiler directives: which ones open, continue and close conditional groups, which ones
// include files, and which branch each scanning pass takes.

#include "tools/qmk/qmkbuild/PascalDirectives.h"

#include "tools/qmk/qmkbuild/PascalDeclarations.h"

#include <cctype>

namespace qmkbuild {

DirectiveInfo ParseDirective(std::string_view text)
{
    DirectiveInfo d;
    size_t i = 0;
    while (i < text.size() && (std::isalpha(static_cast<unsigned char>(text[i])) || text[i] == '_'))
        ++i;
    std::string name = Lower(text.substr(0, i));
    std::string_view rest = text.substr(i);
    if (name == "ifdef" || name == "if" || name == "ifopt" || name == "ifc")
        d.kind = DirectiveKind::If;
    else if (name == "ifndef")
        d.kind = DirectiveKind::IfNot;
    else if (name == "elseif" || name == "elifc")
        d.kind = DirectiveKind::ElseIf;
    else if (name == "else" || name == "elsec")
        d.kind = DirectiveKind::Else;
    else if (name == "endif" || name == "ifend" || name == "endc")
        d.kind = DirectiveKind::EndIf;
    else if (name == "i" || name == "include") {
        if (!rest.empty() && (rest[0] == '+' || rest[0] == '-'))
            return d;
        size_t b = rest.find_first_not_of(" \t\r\n");
        if (b == std::string_view::npos)
            return d;
        size_t e = rest.find_last_not_of(" \t\r\n");
        std::string_view arg = rest.substr(b, e - b + 1);
        if (arg.size() >= 2 && arg.front() == '\'' && arg.back() == '\'')
            arg = arg.substr(1, arg.size() - 2);
        if (arg.empty() || arg[0] == '%' || arg.size() > 1024)
            return d;
        d.kind = DirectiveKind::Include;
        d.argument = std::string(arg);
    }
    return d;
}

// Which branch of a conditional group a pass reads: pass 0 takes the first branch of every
// {$IF...} group (the {$ELSE} of an {$IFNDEF}), pass 1 the other side, and pass k >= 2 the
// k-th branch of groups with {$ELSEIF} chains. Every branch is read by some pass, and each
// pass sees text the compiler could see.
int ChooseBranch(int pass, const DirectiveInfo &group)
{
    bool negated = group.kind == DirectiveKind::IfNot;
    if (pass == 0)
        return negated ? 1 : 0;
    if (pass == 1)
        return negated ? 0 : (group.hasElse ? group.branches - 1 : -1);
    return pass - 1 < group.branches ? pass - 1 : ChooseBranch(0, group);
}

} // namespace qmkbuild
