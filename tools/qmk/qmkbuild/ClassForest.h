#pragma once
// The inheritance forest of the scanned classes: one node per class name (letter case
// ignored), each linked to its parent, children in name order. An ancestor missing from the
// sources is a node of its own (a root); a class without a declared ancestor descends from
// TObject; an old-style object without one is a root.

#include "tools/qmk/qmkbuild/PascalScanner.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qmkbuild {

class ClassForest {
public:
    struct Node {
        std::string name;
        int parent = -1;
        std::vector<int> children; // in name order
        const TypeDecl *decl = nullptr; // the declaration that set the parent; none for a missing ancestor
    };

    // classes: every class and object declaration, in unit order (the first declaration of a
    // name decides its ancestor). Interfaces named as first ancestor count as TObject; aliases
    // ("TFoo = TBar;") lead to the class they name. A cycle is broken with a warning.
    ClassForest(const std::vector<const TypeDecl *> &classes, const std::vector<const TypeDecl *> &interfaces,
                const TypeCatalog &catalog, std::vector<Warning> &warnings);

    int Count() const { return int(fNodes.size()); }
    const Node &operator[](int i) const { return fNodes[i]; }
    // -1 when unknown.
    int Find(std::string_view name) const;
    // The nodes from the top of the node's ancestor chain down to the node itself.
    std::vector<int> Chain(int node) const;
    // The number of ancestors of the node, and the number of levels below it.
    int Depth(int node) const { return fDepth[node]; }
    int Height(int node) const { return fHeight[node]; }

private:
    int Intern(const std::string &name);

    std::vector<Node> fNodes;
    std::vector<int> fDepth, fHeight;
    std::unordered_map<std::string, int> fIndex; // lower-case name
};

} // namespace qmkbuild
