#include "tools/qmk/qmkbuild/TreeLayout.h"

#include "tools/qmk/qmkbuild/CharWidths.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace qmkbuild {

int BoxWidth(const std::string &name)
{
    return Arial8TextWidth(name) + 2 * LayoutMetrics::kPaddingX;
}

int BoxHeight()
{
    return kArial8TextHeight + 2 * LayoutMetrics::kPaddingY;
}

namespace {

// The extent of a subtree along the breadth axis, one (low, high) pair per depth below its
// root, relative to the root's low edge.
using Contour = std::vector<std::pair<int, int>>;

struct Item {
    LaidOutNode *node;
    int parent;
    int depth;
    int firstChild = 0;
    int childCount = 0;
    int breadth = 0; // box size along the breadth axis
    int offset = 0;  // low edge relative to the parent's, then absolute
};

} // namespace

void LayOutTree(LaidOutNode &root, bool horizontal)
{
    // Breadth-first order: every node's children are consecutive and come after it, so the
    // reverse order visits children before their parent, without recursion.
    std::vector<Item> items{{&root, -1, 0}};
    for (size_t k = 0; k < items.size(); ++k) {
        items[k].firstChild = int(items.size());
        items[k].childCount = int(items[k].node->children.size());
        for (LaidOutNode &child : items[k].node->children)
            items.push_back({&child, int(k), items[k].depth + 1});
    }
    const int height = BoxHeight();
    for (Item &it : items)
        it.breadth = horizontal ? height : BoxWidth(it.node->name);

    std::vector<Contour> contours(items.size());
    for (size_t k = items.size(); k-- > 0;) {
        Item &it = items[k];
        if (it.childCount == 0) {
            contours[k] = {{0, it.breadth}};
            continue;
        }
        int first = it.firstChild, last = it.firstChild + it.childCount - 1;
        Contour merged = std::move(contours[first]);
        items[first].offset = 0;
        for (int c = first + 1; c <= last; ++c) {
            Contour &next = contours[c];
            int offset = INT_MIN;
            for (size_t l = 0; l < std::min(merged.size(), next.size()); ++l)
                offset = std::max(offset, merged[l].second + LayoutMetrics::kSiblingGap - next[l].first);
            items[c].offset = offset;
            for (size_t l = 0; l < next.size(); ++l) {
                std::pair<int, int> span{next[l].first + offset, next[l].second + offset};
                if (l < merged.size()) {
                    merged[l].first = std::min(merged[l].first, span.first);
                    merged[l].second = std::max(merged[l].second, span.second);
                } else {
                    merged.push_back(span);
                }
            }
            Contour().swap(next);
        }
        int firstCentre = items[first].offset + items[first].breadth / 2;
        int lastCentre = items[last].offset + items[last].breadth / 2;
        int start = (firstCentre + lastCentre) / 2 - it.breadth / 2;
        for (int c = first; c <= last; ++c)
            items[c].offset -= start;
        Contour own{{0, it.breadth}};
        own.reserve(merged.size() + 1);
        for (auto [low, high] : merged)
            own.emplace_back(low - start, high - start);
        contours[k] = std::move(own);
    }

    // Absolute positions; the lowest edge goes to the margin.
    items[0].offset = 0;
    int lowest = 0, depths = 1;
    for (size_t k = 1; k < items.size(); ++k) {
        items[k].offset += items[items[k].parent].offset;
        lowest = std::min(lowest, items[k].offset);
        depths = std::max(depths, items[k].depth + 1);
    }
    // One column (or row) per depth, as wide (or high) as its largest box.
    std::vector<int> depthSize(depths, 0), depthStart(depths, LayoutMetrics::kMargin);
    for (const Item &it : items)
        depthSize[it.depth] = std::max(depthSize[it.depth], horizontal ? BoxWidth(it.node->name) : height);
    for (int d = 1; d < depths; ++d)
        depthStart[d] = depthStart[d - 1] + depthSize[d - 1] + LayoutMetrics::kLevelGap;

    for (const Item &it : items) {
        int low = it.offset - lowest + LayoutMetrics::kMargin;
        LaidOutNode &n = *it.node;
        if (horizontal) {
            n.left = depthStart[it.depth];
            n.right = n.left + BoxWidth(n.name);
            n.top = low;
            n.bottom = low + height;
        } else {
            n.left = low;
            n.right = low + it.breadth;
            n.top = depthStart[it.depth];
            n.bottom = n.top + height;
        }
    }
}

} // namespace qmkbuild
