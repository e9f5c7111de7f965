#pragma once
// A general named tree node that stores itself: name, what the node class adds, then its
// sub-nodes (long-form list of node records). Sub-nodes keep the order in which they were
// added or read, which is the display order; duplicate names are allowed.

#include "browser/store/L1PersistentObjects.h"

#include <memory>
#include <string>
#include <string_view>

class TvdTreeNode : public TvdNamedPersistentObject {
public:
    // Stored trees nested deeper than this are refused when read.
    static constexpr int MaxReadDepth = 1000;

    TvdTreeNode() = default;
    explicit TvdTreeNode(std::string name) : TvdNamedPersistentObject(std::move(name)) {}

    // Name, node data, sub-nodes.
    void ReadFromStream(TvdStream &stream) override;
    void WriteToStream(TvdStream &stream) const override;

    // A new node of this node's own kind.
    virtual std::unique_ptr<TvdTreeNode> NewNode(const std::string &name) const;
    // What a node class stores between its name and its sub-nodes; nothing here.
    virtual void WriteNodeData(TvdStream &stream) const {}
    virtual void ReadNodeData(TvdStream &stream) {}
    virtual void WriteSubNodes(TvdStream &stream) const;
    virtual void ReadSubNodes(TvdStream &stream);

    // Appends a sub-node (owned from now on) under its name and returns it.
    TvdTreeNode *AddSubNode(std::unique_ptr<TvdTreeNode> node);
    TvdTreeNode *GetSubNode(int index) const;
    int SubNodeCount() const { return fSubNodes.Count(); }
    const TStringList &SubNodes() const { return fSubNodes; }

    // The first descendant, depth first in list order, whose name equals the name ignoring
    // ASCII letter case; this node itself is not compared.
    TvdTreeNode *FindSubNode(std::string_view name) const;

protected:
    TStringList fSubNodes{true};
};
