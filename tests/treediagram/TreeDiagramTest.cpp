// The stored inheritance diagrams: reading and writing, bounds, lookups by name and hit tests.

#include "browser/support/L1DebugWindow.h"
#include "browser/treediagram/L1TreeDiagramNode.h"
#include "tests/fixtures/QmkFixture.h"
#include "tests/fixtures/StreamFixture.h"
#include "tests/treediagram/TraceRecorder.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace fixture;

namespace {

std::string NodeRecord(const std::string &name, TRect box, std::vector<std::string> children)
{
    std::string r = Str(name) + Int(box.Left) + Int(box.Top) + Int(box.Right) + Int(box.Bottom) +
                    Int(int32_t(children.size()));
    for (const std::string &c : children)
        r += c;
    return r;
}

std::string MessageOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e.Message();
    }
    return "(nothing raised)";
}

TEST(TreeDiagramFormat, RecordLayoutAndRoundTrip)
{
    auto diagram = MakeDiagram({"TObject", {0, 10, 50, 30},
                                {{"TB", {60, 0, 90, 20}, {{"", {100, 0, 120, 20}, {}}}}, {"TA", {60, 30, 90, 50}, {}}}},
                               true, 7, -3);
    std::string expected = Int(7) + Int(-3) + '\x01' +
                           NodeRecord("TObject", {0, 10, 50, 30},
                                      {NodeRecord("TB", {60, 0, 90, 20}, {NodeRecord("", {100, 0, 120, 20}, {})}),
                                       NodeRecord("TA", {60, 30, 90, 50}, {})});
    std::string bytes = BytesOf(*diagram);
    EXPECT_EQ(bytes, expected);

    auto read = ReadFromBytes<TvdTreeDiagram>(bytes);
    EXPECT_EQ(read->Header1(), 7);
    EXPECT_EQ(read->Header2(), -3);
    EXPECT_TRUE(read->Horizontal);
    EXPECT_EQ(read->DiagramName(), "TObject");
    ASSERT_EQ(read->RootNode()->SubNodeCount(), 2);
    TvdTreeDiagramNode *tb = read->TreeDiagramSubNode(*read->RootNode(), 0);
    EXPECT_EQ(tb->Name, "TB");
    EXPECT_EQ(tb->Box(), (TRect{60, 0, 90, 20}));
    EXPECT_EQ(read->TreeDiagramSubNode(*tb, 0)->SubNodeCount(), 0);
    EXPECT_EQ(read->RootNode()->SubNodes().Strings(1), "TA");
    EXPECT_EQ(BytesOf(*read), bytes);

    TvdTreeDiagram fresh;
    EXPECT_EQ(fresh.Header1(), 2);
    EXPECT_EQ(fresh.Header2(), 0);
    EXPECT_FALSE(fresh.Horizontal);
}

TEST(TreeDiagramFormat, PlainTreeNodeHasNoBox)
{
    TvdTreeNode root("R");
    root.AddSubNode(std::make_unique<TvdTreeNode>("C"));
    EXPECT_EQ(BytesOf(root), Str("R") + Int(1) + Str("C") + Int(0));
    EXPECT_EQ(ReadFromBytes<TvdTreeNode>(BytesOf(root))->GetSubNode(0)->Name, "C");
}

TEST(TreeDiagramFormat, BadRecordsFail)
{
    std::string header = Int(2) + Int(0) + '\0';
    // A count above the limit, a truncated box, and nesting beyond the reader's depth limit.
    EXPECT_NE(MessageOf([&] { ReadFromBytes<TvdTreeDiagram>(header + Str("R") + Int(0) + Int(0) + Int(1) + Int(1) +
                                                            Int(100001)); })
                  .find("The size currently read was: 100001"),
              std::string::npos);
    EXPECT_NE(MessageOf([&] { ReadFromBytes<TvdTreeDiagram>(header + Str("R") + Int(0) + Int(0)); })
                  .find("TvdStream.SafeRead"),
              std::string::npos);

    auto nested = [&](int depth) {
        std::string bytes = header;
        for (int i = 1; i < depth; ++i)
            bytes += Str("N") + std::string(16, '\0') + Int(1);
        return bytes + Str("Leaf") + std::string(16, '\0') + Int(0);
    };
    EXPECT_NO_THROW(ReadFromBytes<TvdTreeDiagram>(nested(TvdTreeNode::MaxReadDepth)));
    try {
        ReadFromBytes<TvdTreeDiagram>(nested(TvdTreeNode::MaxReadDepth + 1));
        ADD_FAILURE() << "deep tree read";
    } catch (const E_VDPersistentObjects &e) {
        EXPECT_NE(e.Message().find("1000 nested tree levels"), std::string::npos);
    }
}

TEST(TreeDiagramBounds, CasesFromStoredLayouts)
{
    struct Case {
        const char *what;
        bool horizontal;
        Node root;
        TRect expected;
    };
    const Case cases[] = {
        {"root only", false, {"R", {5, 6, 40, 20}, {}}, {5, 6, 50, 30}},
        {"horizontal: a leaf above the root lowers Top; an inner node does not widen Right",
         true,
         {"R", {0, 50, 30, 70}, {{"Inner", {40, 60, 500, 80}, {{"Leaf", {90, 10, 120, 30}, {}}}}}},
         {0, 10, 130, 90}},
        {"vertical: a leaf left of the root lowers Left; an inner node does not widen Bottom",
         false,
         {"R", {50, 0, 70, 30}, {{"Inner", {60, 40, 80, 900}, {{"Leaf", {-20, 90, 10, 120}, {}}}}}},
         {-20, 0, 90, 130}},
        {"the margin saturates", true, {"R", {0, 0, INT_MAX - 3, INT_MAX}, {}}, {0, 0, INT_MAX, INT_MAX}},
    };
    for (const Case &c : cases) {
        auto diagram = MakeDiagram(c.root, c.horizontal);
        TRect bounds{-1, -1, -1, -1};
        diagram->BoundsRect(bounds);
        EXPECT_EQ(bounds, c.expected) << c.what;
        EXPECT_EQ(diagram->LastBounds(), c.expected) << c.what;
    }
}

TEST(TreeDiagramBounds, WritesTraceLines)
{
    auto diagram = MakeDiagram({"R", {1, 2, 3, 4}, {}}, false);
    TraceLines().clear();
    TRect bounds;
    diagram->BoundsRect(bounds);
    EXPECT_EQ(TraceLines(), (std::vector<std::string>{"Left: 1", "Top: 2", "Right: 13", "Bottom: 14"}));
}

TEST(TreeDiagramNodes, CentersTruncateTowardZeroWithoutOverflow)
{
    TvdTreeDiagramNode node("N", {-3, INT_MAX, 0, INT_MAX});
    EXPECT_EQ(node.CenterX(), -1);
    EXPECT_EQ(node.CenterY(), INT_MAX);
}

TEST(TreeDiagramNodes, NodeAtExcludesRightAndBottomEdges)
{
    auto diagram = MakeDiagram({"R", {0, 0, 10, 10}, {{"A", {0, 20, 10, 30}, {}}, {"B", {0, 20, 10, 30}, {}}}}, false);
    diagram->AttachNodes();
    TvdTreeDiagramNode *root = diagram->RootNode();
    EXPECT_EQ(root->NodeAt(0, 0), root);
    EXPECT_EQ(root->NodeAt(9, 9), root);
    EXPECT_EQ(root->NodeAt(10, 5), nullptr);
    EXPECT_EQ(root->NodeAt(5, 10), nullptr);
    // Overlapping boxes: the first in pre-order wins.
    EXPECT_EQ(root->NodeAt(5, 25)->Name, "A");
}

TEST(TreeDiagramNodes, AttachedTreeSkipsSubTreesThatCannotHoldThePoint)
{
    // A child stored above a vertical root (or left of a horizontal one) is never reached
    // through the attached diagram; without the attachment it is.
    for (bool horizontal : {false, true}) {
        TRect childBox = horizontal ? TRect{-50, 0, -40, 10} : TRect{0, -50, 10, -40};
        auto diagram = MakeDiagram({"R", {0, 0, 10, 10}, {{"C", childBox, {}}}}, horizontal);
        TvdTreeDiagramNode *root = diagram->RootNode();
        EXPECT_EQ(root->NodeAt(childBox.Left, childBox.Top)->Name, "C");
        diagram->AttachNodes();
        EXPECT_EQ(diagram->TreeDiagramSubNode(*root, 0)->Tree(), diagram.get());
        EXPECT_EQ(root->NodeAt(childBox.Left, childBox.Top), nullptr);
    }
}

TEST(TreeDiagramNodes, FindSubNodeSearchesDescendantsIgnoringCase)
{
    auto diagram = MakeDiagram({"TObject",
                                {},
                                {{"TPersistent", {}, {{"TComponent", {}, {{"TObject", {}, {}}}}}}, {"TComponent", {}, {}}}},
                               true);
    TvdTreeDiagramNode *root = diagram->RootNode();
    TvdTreeNode *found = root->FindSubNode("tcomponent");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, root->GetSubNode(0)->GetSubNode(0)); // depth first before the later sibling
    EXPECT_EQ(root->FindSubNode("TObject"), found->GetSubNode(0));
    EXPECT_EQ(root->GetSubNode(1)->FindSubNode("TComponent"), nullptr); // the start node is not compared
    EXPECT_EQ(root->FindSubNode("TMissing"), nullptr);
}

TEST(TreeDiagramNodes, SubNodeIndexPreconditions)
{
    auto diagram = MakeDiagram({"R", {}, {}}, true);
    diagram->RootNode()->AddSubNode(std::make_unique<TvdTreeNode>("Plain"));
    EXPECT_EQ(MessageOf([&] { diagram->RootNode()->GetSubNode(1); }),
              PreconditionViolatedText("TvdTreeNode.GetSubNode", "The following condition was not satisfied:\r\n"
                                                                  "fSubNodes.Objects[i_nIndex] is TvdTreeNode"));
    EXPECT_EQ(MessageOf([&] { diagram->TreeDiagramSubNode(*diagram->RootNode(), 0); }),
              PreconditionViolatedText("TvdTreeDiagram.TreeDiagramSubNode",
                                       "The following condition was not satisfied:\r\nSubNode[i] is TvdTreeDiagramNode"));
}

} // namespace
