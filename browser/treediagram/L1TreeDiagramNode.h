#pragma once
// A laid-out inheritance diagram: a tree of named boxes whose rectangles were computed by the
// writer and are stored with the nodes. The diagram derives its bounding rectangle, finds the
// node under a point and finds nodes by name; it never computes positions.

#include "browser/treediagram/L1Tree.h"

#include <cstdint>
#include <memory>
#include <string>

class TvdTreeDiagram;

class TvdTreeDiagramNode : public TvdTreeNode {
public:
    TvdTreeDiagramNode() = default;
    explicit TvdTreeDiagramNode(std::string name, TRect box = {});

    std::unique_ptr<TvdTreeNode> NewNode(const std::string &name) const override;
    // The box: Left, Top, Right, Bottom.
    void WriteNodeData(TvdStream &stream) const override;
    void ReadNodeData(TvdStream &stream) override;
    void ReadSubNodes(TvdStream &stream) override;

    // The diagram this node belongs to (not stored). Setting a new value passes it to every
    // sub-node; setting the current value again does nothing.
    TvdTreeDiagram *Tree() const { return fTree; }
    void SetTree(TvdTreeDiagram *tree);

    TRect Box() const { return {Left, Top, Right, Bottom}; }
    void SetBox(const TRect &box);
    int32_t CenterX() const;
    int32_t CenterY() const;
    // Left <= x < Right and Top <= y < Bottom.
    bool Contains(int32_t x, int32_t y) const;

    // The first node in pre-order, from this one, whose box contains the point; nullptr if
    // none. With the diagram attached, sub-trees that cannot contain the point are skipped.
    TvdTreeDiagramNode *NodeAt(int32_t x, int32_t y);

    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

private:
    TvdTreeDiagram *fTree = nullptr;
};

class TvdTreeDiagram : public TvdPersistentObject {
public:
    TvdTreeDiagram();
    ~TvdTreeDiagram() override;

    // Header integers, orientation, then the root node's record.
    void ReadFromStream(TvdStream &stream) override;
    void WriteToStream(TvdStream &stream) const override;

    // Carried through unchanged; never interpreted.
    int32_t Header1() const { return fHeader1; }
    int32_t Header2() const { return fHeader2; }
    void SetHeaders(int32_t header1, int32_t header2);

    // Root at the left, children to the right; otherwise root at the top, children below.
    bool Horizontal = false;

    TvdTreeDiagramNode *RootNode() const { return fRootNode.get(); }
    // The root's name; "nil Tree" without a root.
    std::string DiagramName() const;
    // The sub-node at index of a node, which must be a diagram node.
    TvdTreeDiagramNode *TreeDiagramSubNode(const TvdTreeNode &node, int index) const;
    // Links every node to this diagram; needed before hit testing or drawing.
    void AttachNodes();

    // The rectangle around every box, with a margin of 10 to the right and below; also kept
    // as the last computed bounds. Without a root the rectangle is left untouched.
    void BoundsRect(TRect &rect);
    const TRect &LastBounds() const { return fBounds; }

private:
    int32_t fHeader1 = 2;
    int32_t fHeader2 = 0;
    std::unique_ptr<TvdTreeDiagramNode> fRootNode;
    TRect fBounds;
};
