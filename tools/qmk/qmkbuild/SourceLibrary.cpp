#include "tools/qmk/qmkbuild/SourceLibrary.h"

#include "platform/text/Collation.h"

#include <algorithm>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace qmkbuild {

namespace {

bool IsPascalSource(const fs::path &p)
{
    std::string ext = Lower(p.extension().string());
    return ext == ".pas" || ext == ".pp" || ext == ".p";
}

void SortNames(std::vector<std::string> &names)
{
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        return text::CompareText(a, b) < 0;
    });
}

template <class T> void SortByName(std::vector<T> &items)
{
    std::sort(items.begin(), items.end(), [](const T &a, const T &b) { return text::CompareText(a.name, b.name) < 0; });
}

bool StartsWithOnCapital(const std::string &name)
{
    return name.size() > 2 && name[0] == 'O' && name[1] == 'n' && name[2] >= 'A' && name[2] <= 'Z';
}

} // namespace

void SourceLibrary::AddUnit(UnitDecl unit)
{
    fForest.reset();
    auto [it, fresh] = fUnitIndex.emplace(Lower(unit.name), fUnits.size());
    if (fresh)
        fUnits.push_back(std::move(unit));
    else {
        fUnits[it->second].Merge(std::move(unit));
        fUnits[it->second].RemoveDuplicates();
    }
}

void SourceLibrary::Scan(const std::vector<std::string> &paths, const std::vector<std::string> &extraIncludeDirs)
{
    std::vector<fs::path> files, includeDirs(extraIncludeDirs.begin(), extraIncludeDirs.end());
    for (const std::string &path : paths) {
        std::error_code ec;
        fs::path p(path);
        if (fs::is_directory(p, ec)) {
            if (std::find(includeDirs.begin(), includeDirs.end(), p) == includeDirs.end())
                includeDirs.push_back(p);
            std::vector<fs::path> found;
            fs::recursive_directory_iterator it(p, fs::directory_options::skip_permission_denied, ec), end;
            for (; !ec && it != end; it.increment(ec))
                if (IsPascalSource(it->path()) && it->is_regular_file(ec))
                    found.push_back(it->path());
            if (ec)
                fWarnings.push_back({path, 0, "cannot read the folder: " + ec.message()});
            std::sort(found.begin(), found.end());
            files.insert(files.end(), found.begin(), found.end());
        } else if (fs::is_regular_file(p, ec)) {
            files.push_back(p);
            if (std::find(includeDirs.begin(), includeDirs.end(), p.parent_path()) == includeDirs.end())
                includeDirs.push_back(p.parent_path());
        } else {
            fWarnings.push_back({path, 0, "no such file or folder"});
        }
    }

    UnitScanner scanner(fCatalog, fWarnings, includeDirs);
    // Each file once, however many paths lead to it: one stat tells it by device and inode.
    std::set<std::pair<dev_t, ino_t>> seen;
    for (size_t k = 0; k < files.size(); ++k) {
        const fs::path &file = files[k];
        if (fProgress)
            fProgress(k, files.size(), file.string());
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0) {
            if (!seen.insert({st.st_dev, st.st_ino}).second)
                continue;
            fBytesScanned += size_t(st.st_size);
        }
        ++fFilesScanned;
        if (std::optional<UnitDecl> unit = scanner.ScanFile(file))
            AddUnit(std::move(*unit));
    }
}

void SourceLibrary::ScanText(std::string_view source, const std::string &fileName)
{
    UnitScanner scanner(fCatalog, fWarnings);
    scanner.SetReadIncludes(false);
    ++fFilesScanned;
    fBytesScanned += source.size();
    if (std::optional<UnitDecl> unit = scanner.Scan(source, fileName))
        AddUnit(std::move(*unit));
}

const ClassForest &SourceLibrary::Forest()
{
    if (!fForest) {
        std::vector<const TypeDecl *> classes, interfaces;
        for (const UnitDecl &u : fUnits)
            for (const TypeDecl &t : u.types)
                (t.IsInterface() ? interfaces : classes).push_back(&t);
        fForest = std::make_unique<ClassForest>(classes, interfaces, fCatalog, fWarnings);
    }
    return *fForest;
}

// The type of a property redeclared without one ("property OnClick;"), from the nearest
// ancestor that declares it with a type; empty when none does.
std::string SourceLibrary::PropertyTypeFromAncestors(const TypeDecl &decl, const std::string &property)
{
    auto typeIn = [&](const TypeDecl &d) -> std::string {
        for (const PropertyDecl &p : d.properties)
            if (!p.type.empty() && Lower(p.name) == Lower(property))
                return p.type;
        return {};
    };
    if (!decl.IsInterface()) {
        const ClassForest &forest = Forest();
        int n = forest.Find(decl.name);
        for (n = n >= 0 ? forest[n].parent : -1; n >= 0; n = forest[n].parent)
            if (forest[n].decl)
                if (std::string type = typeIn(*forest[n].decl); !type.empty())
                    return type;
        return {};
    }
    std::string ancestor = decl.ancestor;
    for (int step = 0; step < 64 && !ancestor.empty(); ++step) {
        const TypeDecl *found = nullptr;
        for (const UnitDecl &u : fUnits)
            for (const TypeDecl &t : u.types)
                if (!found && t.IsInterface() && Lower(t.name) == Lower(ancestor))
                    found = &t;
        if (!found)
            break;
        if (std::string type = typeIn(*found); !type.empty())
            return type;
        ancestor = found->ancestor;
    }
    return {};
}

// A name as the database can store it.
std::string SourceLibrary::Fit(const std::string &name, const std::string &file)
{
    if (name.size() <= kMaxName)
        return name;
    fWarnings.push_back({file, 0, "name longer than " + std::to_string(kMaxName) + " characters cut: " +
                                      name.substr(0, 40) + "..."});
    return name.substr(0, kMaxName);
}

LibraryContents SourceLibrary::Contents(const std::string &libraryName)
{
    LibraryContents lib;
    lib.name = Fit(libraryName, {});
    for (const UnitDecl &u : fUnits) {
        UnitEntry unit;
        unit.name = Fit(u.name, u.file);
        for (const TypeDecl &t : u.types) {
            ClassEntry c;
            c.name = Fit(t.name, t.file);
            c.extraString = t.ancestors.substr(0, kMaxName);
            for (const std::string &m : t.methods)
                c.methods.push_back(Fit(m, t.file));
            for (const PropertyDecl &p : t.properties) {
                std::string type = p.type.empty() ? PropertyTypeFromAncestors(t, p.name) : p.type;
                bool event = type.empty() || !fCatalog.IsDeclared(type) ? StartsWithOnCapital(p.name)
                                                                       : fCatalog.IsMethodPointer(type);
                (event ? c.events : c.properties).push_back(Fit(p.name, t.file));
            }
            for (auto *list : {&c.properties, &c.methods, &c.events}) {
                SortNames(*list);
                if (list->size() > kMaxList) {
                    fWarnings.push_back({t.file, t.line, t.name + ": more than " + std::to_string(kMaxList) +
                                                             " members of one kind; the rest is left out"});
                    list->resize(kMaxList);
                }
            }
            (t.IsInterface() ? unit.interfaces : unit.classes).push_back(std::move(c));
        }
        for (const std::string &r : u.routines)
            unit.routines.push_back(Fit(r, u.file));
        SortByName(unit.interfaces);
        SortByName(unit.classes);
        SortNames(unit.routines);
        auto limit = [&](auto &list, const char *what) {
            if (list.size() > kMaxUnitList) {
                fWarnings.push_back({u.file, 0, "unit " + u.name + " has more than " + std::to_string(kMaxUnitList) +
                                                    " " + what + "; the rest is left out"});
                list.resize(kMaxUnitList);
            }
        };
        limit(unit.interfaces, "interfaces");
        limit(unit.classes, "classes");
        limit(unit.routines, "routines");
        lib.units.push_back(std::move(unit));
    }
    SortByName(lib.units);
    if (lib.units.size() > kMaxList) {
        fWarnings.push_back({{}, 0, "more than " + std::to_string(kMaxList) + " units; the rest is left out"});
        lib.units.resize(kMaxList);
    }
    return lib;
}

std::vector<std::string> SourceLibrary::DiagramClasses()
{
    const ClassForest &forest = Forest();
    std::vector<std::string> names;
    for (int n = 0; n < forest.Count(); ++n)
        if (forest[n].decl)
            names.push_back(forest[n].name.substr(0, kMaxName));
    SortNames(names);
    return names;
}

std::optional<LaidOutNode> SourceLibrary::Diagram(const std::string &className, bool horizontal)
{
    const ClassForest &forest = Forest();
    int target = forest.Find(className);
    if (target < 0 || !forest[target].decl || forest.Depth(target) + forest.Height(target) >= kMaxDiagramDepth)
        return std::nullopt;
    auto cut = [](const std::string &name) { return name.substr(0, kMaxName); };
    std::vector<int> chain = forest.Chain(target);
    LaidOutNode root(cut(forest[chain[0]].name));
    LaidOutNode *at = &root;
    for (size_t k = 1; k < chain.size(); ++k) {
        at->children.emplace_back(cut(forest[chain[k]].name));
        at = &at->children.back();
    }
    // Every descendant of the class, without recursion (children in name order).
    std::vector<std::pair<LaidOutNode *, int>> todo{{at, target}};
    while (!todo.empty()) {
        auto [node, n] = todo.back();
        todo.pop_back();
        const std::vector<int> &children = forest[n].children;
        size_t count = std::min(children.size(), kMaxList);
        node->children.reserve(count);
        for (size_t c = 0; c < count; ++c)
            node->children.emplace_back(cut(forest[children[c]].name));
        for (size_t c = 0; c < count; ++c)
            todo.push_back({&node->children[c], children[c]});
    }
    LayOutTree(root, horizontal);
    return root;
}

} // namespace qmkbuild
