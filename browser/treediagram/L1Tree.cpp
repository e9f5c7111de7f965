#include "browser/treediagram/L1Tree.h"

namespace {

// Nesting of the node records being read; each record's read is one level deeper.
thread_local int gReadDepth = 0;

struct ReadDepthGuard {
    ReadDepthGuard()
    {
        if (gReadDepth >= TvdTreeNode::MaxReadDepth)
            throw E_VDPersistentObjects("Due to safety precautions, the Persistent Objects System has an internal "
                                        "limit of " +
                                        std::to_string(TvdTreeNode::MaxReadDepth) + " nested tree levels." + CrLf +
                                        CrLf + "The tree being read is nested deeper.");
        ++gReadDepth;
    }
    ~ReadDepthGuard() { --gReadDepth; }
    ReadDepthGuard(const ReadDepthGuard &) = delete;
    ReadDepthGuard &operator=(const ReadDepthGuard &) = delete;
};

} // namespace

void TvdTreeNode::ReadFromStream(TvdStream &stream)
{
    ReadDepthGuard depth;
    TvdNamedPersistentObject::ReadFromStream(stream);
    ReadNodeData(stream);
    ReadSubNodes(stream);
}

void TvdTreeNode::WriteToStream(TvdStream &stream) const
{
    TvdNamedPersistentObject::WriteToStream(stream);
    WriteNodeData(stream);
    WriteSubNodes(stream);
}

std::unique_ptr<TvdTreeNode> TvdTreeNode::NewNode(const std::string &name) const
{
    return std::make_unique<TvdTreeNode>(name);
}

void TvdTreeNode::WriteSubNodes(TvdStream &stream) const { stream.WriteHomogeneousStringList(&fSubNodes); }

void TvdTreeNode::ReadSubNodes(TvdStream &stream) { stream.ReadHomogeneousStringList<TvdTreeNode>(&fSubNodes); }

TvdTreeNode *TvdTreeNode::AddSubNode(std::unique_ptr<TvdTreeNode> node)
{
    TvdTreeNode *result = node.get();
    fSubNodes.Add(result->Name, node.release());
    return result;
}

TvdTreeNode *TvdTreeNode::GetSubNode(int index) const
{
    auto *node = index >= 0 && index < fSubNodes.Count() ? dynamic_cast<TvdTreeNode *>(fSubNodes.Objects(index))
                                                         : nullptr;
    CheckPrecondition(node != nullptr, "TvdTreeNode.GetSubNode", "fSubNodes.Objects[i_nIndex] is TvdTreeNode");
    return node;
}

TvdTreeNode *TvdTreeNode::FindSubNode(std::string_view name) const
{
    for (int i = 0; i < fSubNodes.Count(); ++i) {
        TvdTreeNode *node = GetSubNode(i);
        if (SameText(node->Name, name))
            return node;
        if (TvdTreeNode *found = node->FindSubNode(name))
            return found;
    }
    return nullptr;
}
