#include "tools/qmk/qmkbuild/ClassForest.h"

#include "platform/text/Collation.h"

#include <algorithm>
#include <unordered_set>

namespace qmkbuild {

int ClassForest::Intern(const std::string &name)
{
    auto [it, fresh] = fIndex.emplace(Lower(name), Count());
    if (fresh) {
        fNodes.emplace_back();
        fNodes.back().name = name;
    }
    return it->second;
}

int ClassForest::Find(std::string_view name) const
{
    auto it = fIndex.find(Lower(name));
    return it == fIndex.end() ? -1 : it->second;
}

ClassForest::ClassForest(const std::vector<const TypeDecl *> &classes,
                         const std::vector<const TypeDecl *> &interfaces, const TypeCatalog &catalog,
                         std::vector<Warning> &warnings)
{
    for (const TypeDecl *d : classes)
        Intern(d->name);
    std::unordered_set<std::string> interfaceNames;
    for (const TypeDecl *d : interfaces)
        if (Find(d->name) < 0)
            interfaceNames.insert(Lower(d->name));

    // The parent name of a declaration, or empty for a root.
    auto parentOf = [&](const TypeDecl &d) -> std::string {
        std::string own = Lower(d.name);
        std::string ancestor = d.ancestor;
        // "TFoo = TBar;": an alias leads to the class it names.
        std::string probe = ancestor;
        for (int step = 0; step < 16 && !probe.empty() && Find(probe) < 0 && !interfaceNames.count(Lower(probe));
             ++step)
            probe = catalog.AliasTarget(probe);
        bool isInterface = !probe.empty() && interfaceNames.count(Lower(probe));
        if (!probe.empty() && Find(probe) >= 0)
            ancestor = fNodes[Find(probe)].name;
        std::string key = Lower(ancestor);
        // "TButton = class(StdCtrls.TButton)" names another unit's class of the same name.
        if (key == own)
            return {};
        if (ancestor.empty() || isInterface)
            return (d.kind == TypeKind::Object || d.foreign || own == "tobject") ? std::string() : std::string("TObject");
        return ancestor;
    };

    // The first declaration of a name with a usable ancestor decides the parent.
    std::vector<bool> decided(fNodes.size(), false);
    for (const TypeDecl *d : classes) {
        int node = Find(d->name);
        if (decided[node])
            continue;
        std::string parent = parentOf(*d);
        if (parent.empty() && !d->ancestor.empty() && Lower(d->ancestor) == Lower(d->name))
            continue; // an interposer class; a later declaration may say more
        decided[node] = true;
        fNodes[node].decl = d;
        if (!parent.empty()) {
            int p = Intern(parent);
            fNodes[node].parent = p;
        }
    }
    for (size_t n = 0; n < decided.size(); ++n)
        if (!decided[n]) {
            for (const TypeDecl *d : classes)
                if (Lower(d->name) == Lower(fNodes[n].name)) {
                    fNodes[n].decl = d;
                    break;
                }
            if (Lower(fNodes[n].name) != "tobject")
                fNodes[n].parent = Intern("TObject");
        }

    // Break cycles: walk up from every node; a walk that meets itself cuts the link into the
    // node where it closed.
    std::vector<int> state(fNodes.size(), 0); // 0 unvisited, 1 on the current walk, 2 done
    for (int start = 0; start < Count(); ++start) {
        std::vector<int> walk;
        int n = start;
        while (n >= 0 && state[n] == 0) {
            state[n] = 1;
            walk.push_back(n);
            n = fNodes[n].parent;
        }
        if (n >= 0 && state[n] == 1) {
            Node &cut = fNodes[n];
            const TypeDecl *d = cut.decl;
            warnings.push_back({d ? d->file : std::string(), d ? d->line : 0,
                                "inheritance cycle through " + cut.name + "; it is shown as a root"});
            cut.parent = -1;
        }
        for (int w : walk)
            state[w] = 2;
    }

    for (int n = 0; n < Count(); ++n)
        if (fNodes[n].parent >= 0)
            fNodes[fNodes[n].parent].children.push_back(n);
    for (Node &node : fNodes)
        std::sort(node.children.begin(), node.children.end(), [&](int a, int b) {
            return text::CompareText(fNodes[a].name, fNodes[b].name) < 0;
        });

    // Depths from the roots down, heights from the leaves up, without recursion.
    fDepth.assign(fNodes.size(), 0);
    fHeight.assign(fNodes.size(), 0);
    std::vector<int> order;
    for (int n = 0; n < Count(); ++n)
        if (fNodes[n].parent < 0)
            order.push_back(n);
    for (size_t k = 0; k < order.size(); ++k)
        for (int c : fNodes[order[k]].children) {
            fDepth[c] = fDepth[order[k]] + 1;
            order.push_back(c);
        }
    for (size_t k = order.size(); k-- > 0;)
        if (int p = fNodes[order[k]].parent; p >= 0)
            fHeight[p] = std::max(fHeight[p], fHeight[order[k]] + 1);
}

std::vector<int> ClassForest::Chain(int node) const
{
    std::vector<int> chain;
    for (int n = node; n >= 0; n = fNodes[n].parent)
        chain.push_back(n);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

} // namespace qmkbuild
