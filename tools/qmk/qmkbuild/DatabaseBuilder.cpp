#include "tools/qmk/qmkbuild/DatabaseBuilder.h"

#include "browser/runtime/L1Quillmark_RunTimeDatabaseWriter.h"

#include <chrono>
#include <filesystem>

namespace fs = std::filesystem;

namespace qmkbuild {

namespace {

void AddMembers(TL1OPascalSymbolTable_Class &to, const ClassEntry &from)
{
    for (const std::string &p : from.properties)
        to.Properties.Add(p);
    for (const std::string &m : from.methods)
        to.Methods.Add(m);
    for (const std::string &e : from.events)
        to.Events.Add(e);
}

// The stored form of a laid-out tree, built without recursion.
std::unique_ptr<TvdTreeDiagram> StoredDiagram(const LaidOutNode &root, bool horizontal)
{
    auto diagram = std::make_unique<TvdTreeDiagram>();
    diagram->Horizontal = horizontal;
    auto boxOf = [](const LaidOutNode &n) { return TRect{n.left, n.top, n.right, n.bottom}; };
    diagram->RootNode()->Name = root.name;
    diagram->RootNode()->SetBox(boxOf(root));
    std::vector<std::pair<const LaidOutNode *, TvdTreeDiagramNode *>> todo{{&root, diagram->RootNode()}};
    while (!todo.empty()) {
        auto [from, to] = todo.back();
        todo.pop_back();
        for (const LaidOutNode &child : from->children) {
            auto *node = static_cast<TvdTreeDiagramNode *>(
                to->AddSubNode(std::make_unique<TvdTreeDiagramNode>(child.name, boxOf(child))));
            todo.push_back({&child, node});
        }
    }
    return diagram;
}

} // namespace

BuildCounts WriteRuntimeDatabase(SourceLibrary &library, const std::string &libraryName, const std::string &fileName,
                                 const DiagramProgress &progress)
{
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); };
    BuildCounts counts;
    Clock::time_point start = Clock::now();
    LibraryContents contents = library.Contents(libraryName);
    TL1OPascalSymbolTable table(contents.name);
    for (const UnitEntry &u : contents.units) {
        TL1OPascalSymbolTable_Unit *unit = table.AddUnit(u.name);
        for (const ClassEntry &i : u.interfaces)
            AddMembers(*unit->AddInterface(i.name, i.extraString), i);
        for (const ClassEntry &c : u.classes)
            AddMembers(*unit->AddClass(c.name, c.extraString), c);
        for (const std::string &r : u.routines)
            unit->AddRoutine(r);
        ++counts.units;
        counts.classes += u.classes.size();
        counts.interfaces += u.interfaces.size();
    }

    counts.contentsSeconds = seconds(start);

    fs::path target(fileName);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path());
    fs::path partial = target;
    partial += ".partial";
    try {
        Clock::time_point at = Clock::now();
        TL1Quillmark_RunTimeDatabaseWriter writer(partial.string());
        writer.WriteSymbolTable(table);
        counts.writeSeconds += seconds(at);
        at = Clock::now();
        std::vector<std::string> classes = library.DiagramClasses();
        counts.layoutSeconds += seconds(at);
        for (size_t k = 0; k < classes.size(); ++k) {
            const std::string &name = classes[k];
            if (progress && k % 256 == 0)
                progress(k, classes.size());
            at = Clock::now();
            std::optional<LaidOutNode> trees[2] = {library.Diagram(name, false), library.Diagram(name, true)};
            counts.layoutSeconds += seconds(at);
            if (!trees[0] || !trees[1]) {
                library.AddWarning({{}, 0, "the diagram of " + name + " has more than " +
                                               std::to_string(SourceLibrary::kMaxDiagramDepth) +
                                               " levels; it is left out"});
                continue;
            }
            at = Clock::now();
            writer.WriteTreeDiagram(name, *StoredDiagram(*trees[1], true), true);
            writer.WriteTreeDiagram(name, *StoredDiagram(*trees[0], false), false);
            counts.writeSeconds += seconds(at);
            ++counts.diagrams;
        }
        if (progress)
            progress(classes.size(), classes.size());
        at = Clock::now();
        writer.Finish();
        fs::rename(partial, target);
        counts.writeSeconds += seconds(at);
    } catch (...) {
        std::error_code ec;
        fs::remove(partial, ec);
        throw;
    }
    return counts;
}

} // namespace qmkbuild
