#include "browser/treediagram/L1TreeDiagramNode.h"

#include "browser/support/L1DebugWindow.h"

#include <algorithm>
#include <limits>

namespace {

// Stored coordinates may lie anywhere in the 32-bit range: the margin saturates instead of
// overflowing.
int32_t AddMargin(int32_t value, int32_t margin)
{
    int64_t sum = int64_t(value) + margin;
    return int32_t(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
}

// Every sub-node of a diagram node is a diagram node.
TvdTreeDiagramNode &DiagramSubNode(const TvdTreeNode &node, int index)
{
    auto *sub = index >= 0 && index < node.SubNodeCount()
                    ? dynamic_cast<TvdTreeDiagramNode *>(node.SubNodes().Objects(index))
                    : nullptr;
    CheckPrecondition(sub != nullptr, "TvdTreeDiagram.TreeDiagramSubNode", "SubNode[i] is TvdTreeDiagramNode");
    return *sub;
}

void WidenBounds(const TvdTreeDiagramNode &node, bool horizontal, TRect &bounds)
{
    bool leaf = node.SubNodeCount() == 0;
    if (horizontal) {
        bounds.Top = std::min(bounds.Top, node.Top);
        bounds.Bottom = std::max(bounds.Bottom, node.Bottom);
        if (leaf)
            bounds.Right = std::max(bounds.Right, node.Right);
    } else {
        bounds.Left = std::min(bounds.Left, node.Left);
        bounds.Right = std::max(bounds.Right, node.Right);
        if (leaf)
            bounds.Bottom = std::max(bounds.Bottom, node.Bottom);
    }
    for (int i = 0; i < node.SubNodeCount(); ++i)
        WidenBounds(DiagramSubNode(node, i), horizontal, bounds);
}

} // namespace

// ---- Nodes -------------------------------------------------------------------------------

TvdTreeDiagramNode::TvdTreeDiagramNode(std::string name, TRect box) : TvdTreeNode(std::move(name))
{
    SetBox(box);
}

std::unique_ptr<TvdTreeNode> TvdTreeDiagramNode::NewNode(const std::string &name) const
{
    return std::make_unique<TvdTreeDiagramNode>(name);
}

void TvdTreeDiagramNode::WriteNodeData(TvdStream &stream) const { stream.WriteRect(Box()); }

void TvdTreeDiagramNode::ReadNodeData(TvdStream &stream) { SetBox(stream.ReadRect()); }

void TvdTreeDiagramNode::ReadSubNodes(TvdStream &stream)
{
    stream.ReadHomogeneousStringList<TvdTreeDiagramNode>(&fSubNodes);
}

void TvdTreeDiagramNode::SetTree(TvdTreeDiagram *tree)
{
    if (tree == fTree)
        return;
    fTree = tree;
    for (int i = 0; i < SubNodeCount(); ++i)
        DiagramSubNode(*this, i).SetTree(tree);
}

void TvdTreeDiagramNode::SetBox(const TRect &box)
{
    Left = box.Left;
    Top = box.Top;
    Right = box.Right;
    Bottom = box.Bottom;
}

int32_t TvdTreeDiagramNode::CenterX() const { return int32_t((int64_t(Left) + Right) / 2); }

int32_t TvdTreeDiagramNode::CenterY() const { return int32_t((int64_t(Top) + Bottom) / 2); }

bool TvdTreeDiagramNode::Contains(int32_t x, int32_t y) const
{
    return Left <= x && x < Right && Top <= y && y < Bottom;
}

TvdTreeDiagramNode *TvdTreeDiagramNode::NodeAt(int32_t x, int32_t y)
{
    if (Contains(x, y))
        return this;
    if (fTree) {
        if (!fTree->Horizontal && y < Top)
            return nullptr;
        if (fTree->Horizontal && x < Left)
            return nullptr;
    }
    for (int i = 0; i < SubNodeCount(); ++i)
        if (TvdTreeDiagramNode *hit = DiagramSubNode(*this, i).NodeAt(x, y))
            return hit;
    return nullptr;
}

// ---- The diagram ---------------------------------------------------------------------------

TvdTreeDiagram::TvdTreeDiagram() : fRootNode(std::make_unique<TvdTreeDiagramNode>()) {}

TvdTreeDiagram::~TvdTreeDiagram() = default;

void TvdTreeDiagram::ReadFromStream(TvdStream &stream)
{
    fHeader1 = stream.ReadInteger();
    fHeader2 = stream.ReadInteger();
    Horizontal = stream.ReadBoolean();
    fRootNode->ReadFromStream(stream);
}

void TvdTreeDiagram::WriteToStream(TvdStream &stream) const
{
    stream.WriteInteger(fHeader1);
    stream.WriteInteger(fHeader2);
    stream.WriteBoolean(Horizontal);
    fRootNode->WriteToStream(stream);
}

void TvdTreeDiagram::SetHeaders(int32_t header1, int32_t header2)
{
    fHeader1 = header1;
    fHeader2 = header2;
}

std::string TvdTreeDiagram::DiagramName() const { return fRootNode ? fRootNode->Name : "nil Tree"; }

TvdTreeDiagramNode *TvdTreeDiagram::TreeDiagramSubNode(const TvdTreeNode &node, int index) const
{
    return &DiagramSubNode(node, index);
}

void TvdTreeDiagram::AttachNodes()
{
    if (fRootNode)
        fRootNode->SetTree(this);
}

void TvdTreeDiagram::BoundsRect(TRect &rect)
{
    if (!fRootNode) {
        DebugWindow().WriteError("fRootNode=nil in TvdTreeDiagram.BoundsRect");
        return;
    }
    fBounds = fRootNode->Box();
    WidenBounds(*fRootNode, Horizontal, fBounds);
    fBounds.Right = AddMargin(fBounds.Right, 10);
    fBounds.Bottom = AddMargin(fBounds.Bottom, 10);
    rect = fBounds;
    DebugWindow().WriteLine("Left: " + std::to_string(rect.Left));
    DebugWindow().WriteLine("Top: " + std::to_string(rect.Top));
    DebugWindow().WriteLine("Right: " + std::to_string(rect.Right));
    DebugWindow().WriteLine("Bottom: " + std::to_string(rect.Bottom));
}
