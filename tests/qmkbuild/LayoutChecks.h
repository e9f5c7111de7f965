#pragma once
// The rules every stored diagram's layout keeps; "" when all hold, else the first broken one.

#include "tools/qmk/qmkbuild/TreeLayout.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace qmkbuild {

inline std::string CheckLayout(const LaidOutNode &root, bool horizontal)
{
    struct Entry {
        const LaidOutNode *node;
        int depth;
    };
    std::vector<Entry> all;
    std::vector<Entry> todo{{&root, 0}};
    while (!todo.empty()) {
        Entry e = todo.back();
        todo.pop_back();
        all.push_back(e);
        for (const LaidOutNode &c : e.node->children)
            todo.push_back({&c, e.depth + 1});
    }
    auto box = [](const LaidOutNode &n) {
        return n.name + " (" + std::to_string(n.left) + "," + std::to_string(n.top) + "," +
               std::to_string(n.right) + "," + std::to_string(n.bottom) + ")";
    };
    int depths = 0;
    for (const Entry &e : all) {
        const LaidOutNode &n = *e.node;
        depths = std::max(depths, e.depth + 1);
        if (n.right - n.left != BoxWidth(n.name) || n.bottom - n.top != BoxHeight())
            return "box not sized to its name: " + box(n);
        if (n.left < LayoutMetrics::kMargin || n.top < LayoutMetrics::kMargin)
            return "box outside the margin: " + box(n);
        if (horizontal ? n.left < root.left : n.top < root.top)
            return "box before the root: " + box(n);
        for (size_t c = 0; c + 1 < n.children.size(); ++c) {
            const LaidOutNode &a = n.children[c], &b = n.children[c + 1];
            if (horizontal ? b.top < a.bottom : b.left < a.right)
                return "children out of order: " + box(a) + " " + box(b);
        }
        if (!n.children.empty()) {
            const LaidOutNode &first = n.children.front(), &last = n.children.back();
            int mid = horizontal ? (first.top + first.bottom + last.top + last.bottom) / 4
                                 : (first.left + first.right + last.left + last.right) / 4;
            int centre = horizontal ? (n.top + n.bottom) / 2 : (n.left + n.right) / 2;
            if (std::abs(mid - centre) > 1)
                return "parent not centred on its children: " + box(n);
        }
    }
    // One column (row) per depth, each wholly beyond the one before.
    std::vector<int> start(depths, INT_MIN), low(depths, INT_MAX), high(depths, INT_MIN);
    for (const Entry &e : all) {
        const LaidOutNode &n = *e.node;
        int s = horizontal ? n.left : n.top;
        if (start[e.depth] != INT_MIN && start[e.depth] != s)
            return "depth " + std::to_string(e.depth) + " is not one column or row: " + box(n);
        start[e.depth] = s;
        low[e.depth] = std::min(low[e.depth], s);
        high[e.depth] = std::max(high[e.depth], horizontal ? n.right : n.bottom);
    }
    for (int d = 1; d < depths; ++d)
        if (low[d] <= high[d - 1])
            return "depth " + std::to_string(d) + " overlaps depth " + std::to_string(d - 1);
    // Boxes of one depth never overlap (different depths cannot, by the check above).
    for (int d = 0; d < depths; ++d) {
        std::vector<const LaidOutNode *> level;
        for (const Entry &e : all)
            if (e.depth == d)
                level.push_back(e.node);
        std::sort(level.begin(), level.end(), [&](auto *a, auto *b) { return horizontal ? a->top < b->top : a->left < b->left; });
        for (size_t i = 0; i + 1 < level.size(); ++i)
            if (horizontal ? level[i + 1]->top < level[i]->bottom : level[i + 1]->left < level[i]->right)
                return "boxes overlap: " + box(*level[i]) + " " + box(*level[i + 1]);
    }
    // The far edge belongs to a leaf.
    int farLeaf = INT_MIN, farAll = INT_MIN;
    for (const Entry &e : all) {
        int edge = horizontal ? e.node->right : e.node->bottom;
        farAll = std::max(farAll, edge);
        if (e.node->children.empty())
            farLeaf = std::max(farLeaf, edge);
    }
    if (farLeaf != farAll)
        return "the far edge is not a leaf's";
    return "";
}

} // namespace qmkbuild
