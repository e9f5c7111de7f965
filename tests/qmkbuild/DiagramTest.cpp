// Inheritance diagrams: which classes a class's diagram holds, and the tidy layout.

#include "tools/qmk/qmkbuild/CharWidths.h"
#include "tools/qmk/qmkbuild/SourceLibrary.h"
#include "tools/qmk/qmkbuild/TreeLayout.h"

#include "tests/qmkbuild/LayoutChecks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

using namespace qmkbuild;

namespace {

// "Name(child, child(...))" in display order.
std::string Shape(const LaidOutNode &n)
{
    std::string s = n.name;
    if (!n.children.empty()) {
        s += "(";
        for (size_t i = 0; i < n.children.size(); ++i)
            s += (i ? ", " : "") + Shape(n.children[i]);
        s += ")";
    }
    return s;
}

class Diagrams : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib.ScanText(R"(unit A;
interface
type
  TBase = class end;
  TBeta = class(TBase) end;
  TAlpha = class(TBase) end;
  TDeep = class(TBeta) end;
  TOther = class(Missing.TGone) end;
  TOld = object end;
  TChild = object(TOld) end;
  TBetaAlias = TBeta;
  TViaAlias = class(TBetaAlias) end;
  IThing = interface end;
  TThing = class(IThing) end;
  TLoopA = class(TLoopB) end;
  TLoopB = class(TLoopA) end;
  TButton = class(TBase) end;
implementation
end.
)",
                     "a.pas");
        lib.ScanText("unit B; interface type TButton = class(A.TButton) procedure Extra; end; implementation end.",
                     "b.pas");
    }
    std::string ShapeOf(const std::string &name)
    {
        std::optional<LaidOutNode> d = lib.Diagram(name, true);
        return d ? Shape(*d) : "(none)";
    }
    SourceLibrary lib;
};

TEST_F(Diagrams, HoldTheAncestorChainAndEveryDescendantInNameOrder)
{
    EXPECT_EQ(ShapeOf("TBeta"), "TObject(TBase(TBeta(TDeep, TViaAlias)))");
    EXPECT_EQ(ShapeOf("TBase"), "TObject(TBase(TAlpha, TBeta(TDeep, TViaAlias), TButton))");
    EXPECT_EQ(ShapeOf("tdeep"), "TObject(TBase(TBeta(TDeep)))");
    EXPECT_EQ(ShapeOf("TOther"), "TGone(TOther)");       // a missing ancestor is still a node
    EXPECT_EQ(ShapeOf("TChild"), "TOld(TChild)");        // old-style objects have no TObject
    EXPECT_EQ(ShapeOf("TThing"), "TObject(TThing)");     // an interface is no ancestor class
    EXPECT_EQ(ShapeOf("TButton"), "TObject(TBase(TButton))"); // the other unit's TButton names this one
    EXPECT_EQ(ShapeOf("TGone"), "(none)");
    EXPECT_EQ(ShapeOf("IThing"), "(none)");
    EXPECT_THAT(lib.DiagramClasses(),
                ::testing::ElementsAre("TAlpha", "TBase", "TBeta", "TButton", "TChild", "TDeep", "TLoopA", "TLoopB",
                                       "TOld", "TOther", "TThing", "TViaAlias"));
}

TEST_F(Diagrams, AnInheritanceCycleIsBrokenWithAWarning)
{
    EXPECT_EQ(ShapeOf("TLoopA"), "TLoopA(TLoopB)");
    EXPECT_EQ(ShapeOf("TLoopB"), "TLoopA(TLoopB)");
    ASSERT_EQ(lib.Warnings().size(), 1u);
    EXPECT_EQ(lib.Warnings()[0].message, "inheritance cycle through TLoopA; it is shown as a root");
    EXPECT_EQ(lib.Warnings()[0].line, 15);
}

TEST(TreeLayout, BoxesFitTheNameInArial8)
{
    EXPECT_EQ(Arial8TextWidth("TObject"), 39);
    LaidOutNode root("TObject");
    root.children.emplace_back("TPersistent");
    LayOutTree(root, true);
    EXPECT_EQ(root.left, 10);
    EXPECT_EQ(root.top, 10);
    EXPECT_EQ(root.right, 10 + 39 + 16);
    EXPECT_EQ(root.bottom, 10 + 13 + 8);
    EXPECT_EQ(root.children[0].left, root.right + LayoutMetrics::kLevelGap);
}

TEST(TreeLayout, PacksSubtreesAsTheirOutlinesAllow)
{
    // A leaf next to a deep subtree: the deep subtree's lower levels may pass beside the leaf.
    LaidOutNode root("R");
    root.children.emplace_back("Leaf");
    LaidOutNode &deep = root.children.emplace_back("Deep");
    deep.children.emplace_back("D1");
    deep.children.emplace_back("D2");
    deep.children.emplace_back("D3");
    LayOutTree(root, false);
    EXPECT_EQ(CheckLayout(root, false), "");
    const LaidOutNode &leaf = root.children[0];
    EXPECT_LT(deep.children[0].left, leaf.right); // D1 lies under the leaf's column span
    EXPECT_GE(deep.left, leaf.right + LayoutMetrics::kSiblingGap);
}

TEST(TreeLayout, RandomTreesKeepEveryLayoutRule)
{
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        int count = 1 + int(random() % 60);
        LaidOutNode root("Root");
        // The shape as parent indices first; each node's children are then added at once.
        std::vector<int> parent(count, -1);
        for (int i = 1; i < count; ++i)
            parent[i] = int(random() % i);
        std::vector<std::vector<int>> kids(count);
        for (int i = 1; i < count; ++i)
            kids[parent[i]].push_back(i);
        std::vector<std::pair<LaidOutNode *, int>> todo{{&root, 0}};
        while (!todo.empty()) {
            auto [node, index] = todo.back();
            todo.pop_back();
            node->children.reserve(kids[index].size());
            for (size_t c = 0; c < kids[index].size(); ++c)
                node->children.emplace_back("T" + std::string(1 + random() % 25, char('a' + random() % 26)));
            for (size_t c = 0; c < kids[index].size(); ++c)
                todo.push_back({&node->children[c], kids[index][c]});
        }
        for (bool horizontal : {true, false}) {
            LayOutTree(root, horizontal);
            ASSERT_EQ(CheckLayout(root, horizontal), "") << "round " << round << (horizontal ? " horizontal" : " vertical");
        }
    }
}

} // namespace
