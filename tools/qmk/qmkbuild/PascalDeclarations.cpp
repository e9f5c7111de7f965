// The declaration model of the interface-section scanner: merging what several passes and
// files find, and the catalog of declared type names.

#include "tools/qmk/qmkbuild/PascalDeclarations.h"

#include "platform/text/Ascii.h"

#include <unordered_set>

namespace qmkbuild {

std::string Lower(std::string_view s)
{
    return text::AsciiLowerCase(s);
}

namespace {

// Keeps the first of every name, letter case ignored.
void RemoveRepeated(std::vector<std::string> &names)
{
    std::unordered_set<std::string> seen;
    std::erase_if(names, [&](const std::string &n) { return !seen.insert(Lower(n)).second; });
}

} // namespace

void UnitDecl::Add(TypeDecl decl)
{
    std::string key = Lower(decl.name);
    auto it = fIndex.find(key);
    if (it == fIndex.end()) {
        fIndex.emplace(std::move(key), types.size());
        types.push_back(std::move(decl));
        return;
    }
    TypeDecl &first = types[it->second];
    first.methods.insert(first.methods.end(), std::make_move_iterator(decl.methods.begin()),
                         std::make_move_iterator(decl.methods.end()));
    first.properties.insert(first.properties.end(), std::make_move_iterator(decl.properties.begin()),
                            std::make_move_iterator(decl.properties.end()));
}

void UnitDecl::Merge(UnitDecl other)
{
    for (auto &t : other.types)
        Add(std::move(t));
    routines.insert(routines.end(), std::make_move_iterator(other.routines.begin()),
                    std::make_move_iterator(other.routines.end()));
}

void UnitDecl::RemoveDuplicates()
{
    RemoveRepeated(routines);
    for (TypeDecl &t : types) {
        RemoveRepeated(t.methods);
        // Keep the first of each property, with the first type any of its declarations gives.
        std::unordered_map<std::string, size_t> at;
        std::vector<PropertyDecl> kept;
        for (PropertyDecl &p : t.properties) {
            auto [it, fresh] = at.emplace(Lower(p.name), kept.size());
            if (fresh)
                kept.push_back(std::move(p));
            else if (kept[it->second].type.empty())
                kept[it->second].type = std::move(p.type);
        }
        t.properties = std::move(kept);
    }
}

TypeCatalog::TypeCatalog()
{
    for (const char *name :
         {"boolean", "bytebool", "wordbool", "longbool", "qwordbool", "integer", "shortint", "smallint", "longint",
          "int64", "byte", "word", "longword", "cardinal", "qword", "nativeint", "nativeuint", "sizeint", "sizeuint",
          "ptrint", "ptruint", "char", "ansichar", "widechar", "unicodechar", "string", "shortstring", "ansistring",
          "widestring", "unicodestring", "rawbytestring", "utf8string", "single", "double", "extended", "real",
          "comp", "currency", "pointer", "variant", "olevariant", "tobject", "tclass", "tdatetime", "iunknown",
          "iinterface"})
        fTypes[name];
}

size_t TypeCatalog::NoCaseHash::operator()(std::string_view s) const
{
    size_t h = 14695981039346656037ull; // FNV-1a
    for (char c : s)
        h = (h ^ static_cast<unsigned char>(text::AsciiLower(c))) * 1099511628211ull;
    return h;
}

bool TypeCatalog::NoCaseEqual::operator()(std::string_view a, std::string_view b) const
{
    return text::AsciiSameText(a, b);
}

TypeCatalog::Entry &TypeCatalog::Slot(std::string_view name)
{
    auto it = fTypes.find(name);
    if (it == fTypes.end())
        it = fTypes.emplace(std::string(name), Entry{}).first;
    return it->second;
}

void TypeCatalog::AddMethodPointer(std::string_view name)
{
    Slot(name).methodPointer = true;
}

void TypeCatalog::AddAlias(std::string_view name, std::string_view target)
{
    // Every pass over a unit sees its aliases again; each is kept once.
    std::vector<std::string> &targets = Slot(name).aliasOf;
    for (const std::string &t : targets)
        if (text::AsciiSameText(t, target))
            return;
    targets.push_back(Lower(target));
}

void TypeCatalog::AddOther(std::string_view name)
{
    Slot(name);
}

bool TypeCatalog::IsDeclared(std::string_view name) const
{
    return fTypes.find(name) != fTypes.end();
}

std::string TypeCatalog::AliasTarget(std::string_view name) const
{
    auto it = fTypes.find(name);
    return it == fTypes.end() || it->second.aliasOf.empty() ? std::string() : it->second.aliasOf.front();
}

bool TypeCatalog::IsMethodPointer(std::string_view name) const
{
    // Follows aliases breadth first; a cycle of aliases ends when every name has been seen.
    std::vector<std::string> queue{Lower(name)};
    std::unordered_set<std::string> seen{queue[0]};
    for (size_t i = 0; i < queue.size(); ++i) {
        auto it = fTypes.find(std::string_view(queue[i]));
        if (it == fTypes.end())
            continue;
        if (it->second.methodPointer)
            return true;
        for (const std::string &target : it->second.aliasOf)
            if (seen.insert(target).second)
                queue.push_back(target);
    }
    return false;
}

} // namespace qmkbuild
