// Reading documentation content files.

#include "tools/qmk/help/XctReader.h"

#include "platform/core/Exception.h"

#include <filesystem>
#include <fstream>

namespace qmkhelp {

namespace {

std::string Lower(std::string_view s)
{
    std::string r(s);
    for (char &c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return r;
}

template <typename Map>
const typename Map::mapped_type *Find(const Map &map, std::string_view name)
{
    const auto it = map.find(Lower(name));
    return it == map.end() ? nullptr : &it->second;
}

[[noreturn]] void Bad(std::size_t line, const std::string &what)
{
    throw Exception("The content file is not valid: line " + std::to_string(line) + " " + what + ".");
}

} // namespace

const std::string *XctElement::MemberPage(std::string_view name) const
{
    const std::size_t *i = Find(memberIndex, name);
    return i ? &members[*i].second : nullptr;
}

const XctElement *XctModule::Element(std::string_view name) const
{
    const std::size_t *i = Find(elementIndex, name);
    return i ? &elements[*i] : nullptr;
}

const XctModule *XctContents::Module(std::string_view name) const
{
    const std::size_t *i = Find(moduleIndex, name);
    return i ? &modules[*i] : nullptr;
}

const XctElement *XctContents::AnyElement(std::string_view name) const
{
    const auto *at = Find(anyElementIndex, name);
    return at ? &modules[at->first].elements[at->second] : nullptr;
}

XctContents ParseXct(std::string_view text)
{
    XctContents xct;
    std::size_t lineNo = 0;
    bool inLinkTree = false;
    bool sawHeader = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNo;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        if (!sawHeader) {
            if (line.substr(0, 3) == "\xEF\xBB\xBF")
                line.remove_prefix(3);
            if (line != "# FPDoc Content File")
                Bad(lineNo, "is not \"# FPDoc Content File\"; this is not a documentation content file");
            sawHeader = true;
            continue;
        }
        if (line.empty())
            continue;
        if (line[0] == ':') {
            inLinkTree = line == ":link tree";
            continue;
        }
        if (!inLinkTree)
            continue;
        std::size_t depth = 0;
        while (depth < line.size() && line[depth] == ' ')
            ++depth;
        std::string_view rest = line.substr(depth);
        const std::size_t space = rest.find(' ');
        const std::string_view name = rest.substr(0, space);
        std::string_view page = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
        while (!page.empty() && page.front() == ' ')
            page.remove_prefix(1);
        if (depth == 0) {
            if (name.empty() || name[0] != '#')
                Bad(lineNo, "is neither the package nor indented");
            xct.package = std::string(name.substr(1));
            xct.packagePage = std::string(page);
            continue;
        }
        // An entry without a page is undocumented: it still owns the entries below it.
        if (depth == 1) {
            xct.moduleIndex.emplace(Lower(name), xct.modules.size());
            xct.modules.push_back({std::string(name), std::string(page), {}, {}});
        } else if (depth == 2) {
            if (xct.modules.empty())
                Bad(lineNo, "lists an element before any module");
            XctModule &module = xct.modules.back();
            module.elementIndex.emplace(Lower(name), module.elements.size());
            xct.anyElementIndex.emplace(Lower(name), std::make_pair(xct.modules.size() - 1, module.elements.size()));
            module.elements.push_back({std::string(name), std::string(page), {}, {}});
        } else if (depth == 3) {
            if (xct.modules.empty() || xct.modules.back().elements.empty())
                Bad(lineNo, "lists a member before any element");
            XctElement &element = xct.modules.back().elements.back();
            if (page.empty())
                continue;
            element.memberIndex.emplace(Lower(name), element.members.size());
            element.members.emplace_back(std::string(name), std::string(page));
        }
        // Deeper entries (members of members) have no identifier of their own here.
    }
    if (!sawHeader)
        throw Exception("The content file is empty.");
    return xct;
}

XctContents ReadXct(const std::string &path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        throw Exception("The content file " + path + " cannot be read: " + ec.message() + ".");
    if (size > kMaxXctBytes)
        throw Exception("The content file " + path + " is too large.");
    std::ifstream in(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!in && !in.eof())
        throw Exception("The content file " + path + " cannot be read.");
    text.resize(static_cast<std::size_t>(in.gcount()));
    try {
        return ParseXct(text);
    } catch (const Exception &e) {
        throw Exception(path + ": " + e.Message());
    }
}

} // namespace qmkhelp
