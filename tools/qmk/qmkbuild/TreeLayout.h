#pragma once
// Tidy layout of an inheritance tree for the stored diagrams. Boxes are sized to the class
// name in Arial 8 with padding. Horizontal: the root at the left, each depth one column (every
// box of a depth has the same left edge). Vertical: the root at the top, each depth one row.
// Across depths, subtrees are packed as closely as their outlines allow without overlapping,
// each parent centred on its first and last child, children kept in the given order.

#include <string>
#include <vector>
#include <utility>

namespace qmkbuild {

struct LaidOutNode {
    LaidOutNode() = default;
    explicit LaidOutNode(std::string n) : name(std::move(n)) {}

    std::string name;
    int left = 0, top = 0, right = 0, bottom = 0;
    std::vector<LaidOutNode> children;
};

struct LayoutMetrics {
    static constexpr int kPaddingX = 8;    // left and right of the name
    static constexpr int kPaddingY = 4;    // above and below the name
    static constexpr int kSiblingGap = 12; // between neighbouring boxes (room for the shadow)
    static constexpr int kLevelGap = 30;   // between columns or rows (room for the lines)
    static constexpr int kMargin = 10;     // around the whole tree at the left and top
};

int BoxWidth(const std::string &name);
int BoxHeight();

// Sets every node's rectangle; names and children are taken as they are.
void LayOutTree(LaidOutNode &root, bool horizontal);

} // namespace qmkbuild
