#pragma once
// Reader of documentation content files (.xct): the "link tree" section lists every module
// (unit), every element of a module and every member of an element with the page that documents
// it, one per line, the depth given by leading blanks (1 module, 2 element, 3 member):
//
//     # FPDoc Content File
//     :link tree
//     #lcl index.html
//      Forms forms/index.html
//       TForm forms/tform.html
//        Show forms/tform.show.html
//
// Other sections are skipped. Names keep their case; lookups ignore ASCII case, as the language
// does, and the first of equal names wins.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qmkhelp {

struct XctElement {
    std::string name, page;
    std::vector<std::pair<std::string, std::string>> members; // name, page
    const std::string *MemberPage(std::string_view name) const;
    std::unordered_map<std::string, std::size_t> memberIndex; // lower-case name -> first index
};

struct XctModule {
    std::string name, page;
    std::vector<XctElement> elements;
    const XctElement *Element(std::string_view name) const;
    std::unordered_map<std::string, std::size_t> elementIndex;
};

struct XctContents {
    std::string package, packagePage;
    std::vector<XctModule> modules;
    const XctModule *Module(std::string_view name) const;
    // The element of that name in any module, the first module first.
    const XctElement *AnyElement(std::string_view name) const;

    std::unordered_map<std::string, std::size_t> moduleIndex;
    std::unordered_map<std::string, std::pair<std::size_t, std::size_t>> anyElementIndex;
};

// Files larger than this are refused before they are read.
constexpr std::size_t kMaxXctBytes = 256u << 20;

// Parses a content file's text; throws Exception naming the line for what is not one.
XctContents ParseXct(std::string_view text);
XctContents ReadXct(const std::string &path);

} // namespace qmkhelp
