// Undo and redo of a diagram: changes kept as the states of the objects before and after them,
// adds and deletes kept as the records of the objects, so that undo brings them back as stored.

#include "kavgraph/KVObjsDiagram.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>
#include <unordered_set>

namespace kavgraph {

namespace {

TKVCustomEdge *AsEdge(TKVObject *o) { return o && o->ObjectType == otEdge ? dynamic_cast<TKVCustomEdge *>(o) : nullptr; }
TKVCustomVertex *AsVertex(TKVObject *o)
{
    return o && o->ObjectType == otVertex ? dynamic_cast<TKVCustomVertex *>(o) : nullptr;
}

// The vertex or edge a handle or a label belongs to.
TKVObject *TopLevel(TKVObject *o)
{
    for (int depth = 0; o && depth < 3; ++depth) {
        if (o->ObjectType == otVertex || o->ObjectType == otEdge)
            return o;
        o = o->Links.empty() ? nullptr : o->Links.front();
    }
    return nullptr;
}

// Applies Before on undo and After on redo; the first redo finds After in place already.
class TChangeCommand : public QUndoCommand {
public:
    TChangeCommand(TKVDiagram &D, std::vector<TKVDiagram::State> B, std::vector<TKVDiagram::State> A,
                   const QString &Text)
        : QUndoCommand(Text), fDiagram(D), fBefore(std::move(B)), fAfter(std::move(A))
    {
    }
    void undo() override { fDiagram.ApplyStates(fBefore); }
    void redo() override
    {
        if (!std::exchange(fFirst, false))
            fDiagram.ApplyStates(fAfter);
    }

private:
    TKVDiagram &fDiagram;
    std::vector<TKVDiagram::State> fBefore, fAfter;
    bool fFirst = true;
};

// Objects that came (Added) or went: undo takes away or brings back what redo did.
class TPresenceCommand : public QUndoCommand {
public:
    TPresenceCommand(TKVDiagram &D, std::vector<TKVDiagram::Record> R, bool Added, const QString &Text)
        : QUndoCommand(Text), fDiagram(D), fRecords(std::move(R)), fAdded(Added)
    {
    }
    void undo() override { fAdded ? fDiagram.Discard(fRecords) : fDiagram.Recreate(fRecords); }
    void redo() override
    {
        if (!std::exchange(fFirst, false))
            fAdded ? fDiagram.Recreate(fRecords) : fDiagram.Discard(fRecords);
    }

private:
    TKVDiagram &fDiagram;
    std::vector<TKVDiagram::Record> fRecords;
    bool fAdded;
    bool fFirst = true;
};

} // namespace

bool TKVDiagram::State::SameGeometry(const State &O) const
{
    return Key == O.Key && Bounds == O.Bounds && Handles == O.Handles && LabelPosition == O.LabelPosition &&
           LabelHandle == O.LabelHandle && LabelBounds == O.LabelBounds && LabelRatio == O.LabelRatio &&
           Text == O.Text && Hint == O.Hint;
}

TKVObject *TKVDiagram::ObjectOfKey(std::uint64_t Key) const
{
    return Key && Key <= fByKey.size() ? fByKey[Key - 1] : nullptr;
}

std::vector<TKVDiagram::State> TKVDiagram::CaptureStates(const std::vector<std::uint64_t> &Keys, bool Styles) const
{
    std::vector<State> states;
    states.reserve(Keys.size());
    for (std::uint64_t key : Keys) {
        TKVObject *o = ObjectOfKey(key);
        if (!o)
            continue;
        State s;
        s.Key = key;
        s.Hint = o->Hint;
        if (TKVCustomVertex *v = AsVertex(o)) {
            s.Bounds = v->Bounds;
            for (const auto &h : v->ResizeHandles)
                s.Handles.push_back(h->Position);
            if (auto *styled = dynamic_cast<TKVVertex *>(v); styled && Styles) {
                auto copy = std::make_shared<TKVVertexStyle>();
                copy->Assign(&styled->Style);
                s.VertexStyle = std::move(copy);
            }
        } else if (TKVCustomEdge *e = AsEdge(o)) {
            for (const auto &h : e->Handles)
                s.Handles.push_back(h->Position);
            if (e->Adjacent) {
                s.LabelPosition = e->Adjacent->Position;
                s.LabelHandle = e->Adjacent->Handle->Position;
                s.LabelBounds = e->Adjacent->Bounds;
                s.LabelRatio = e->Adjacent->Ratio;
                s.Text = e->Adjacent->Text;
            }
            if (auto *styled = dynamic_cast<TKVEdge *>(e); styled && Styles) {
                auto copy = std::make_shared<TKVEdgeStyle>();
                copy->Assign(&styled->Style);
                s.EdgeStyle = std::move(copy);
            }
        }
        states.push_back(std::move(s));
    }
    return states;
}

void TKVDiagram::ApplyStates(const std::vector<State> &States)
{
    for (const State &s : States) {
        TKVObject *o = ObjectOfKey(s.Key);
        if (!o)
            continue;
        o->Hint = s.Hint;
        if (TKVCustomVertex *v = AsVertex(o)) {
            v->Bounds = s.Bounds;
            for (std::size_t i = 0; i < v->ResizeHandles.size() && i < s.Handles.size(); ++i)
                v->ResizeHandles[i]->MoveTo(s.Handles[i]);
            if (auto *styled = dynamic_cast<TKVVertex *>(v); styled && s.VertexStyle)
                styled->Style.Assign(s.VertexStyle.get());
        } else if (TKVCustomEdge *e = AsEdge(o)) {
            // Bends come and go to match; the ends always stay.
            while (e->Handles.size() > std::max<std::size_t>(s.Handles.size(), 2))
                e->Handles.erase(e->Handles.end() - 2);
            while (e->Handles.size() < s.Handles.size())
                e->Handles.insert(e->Handles.end() - 1, std::make_unique<TKVHandle>(e, htEdge, TKVPoint{}));
            for (std::size_t i = 0; i < e->Handles.size() && i < s.Handles.size(); ++i)
                e->Handles[i]->MoveTo(s.Handles[i]);
            if (e->Adjacent) {
                e->Adjacent->Position = s.LabelPosition;
                e->Adjacent->Handle->MoveTo(s.LabelHandle);
                e->Adjacent->Bounds = s.LabelBounds;
                e->Adjacent->Ratio = s.LabelRatio;
                e->Adjacent->Text = s.Text;
            }
            if (auto *styled = dynamic_cast<TKVEdge *>(e); styled && s.EdgeStyle)
                styled->Style.Assign(s.EdgeStyle.get());
        }
    }
    Q_EMIT Changed();
}

void TKVDiagram::BeginChange(const TKVObjectList &Objects, bool Styles)
{
    if (fChangeDepth++ == 0) {
        fChangeKeys.clear();
        fChangeBefore.clear();
        fChangeStyles = Styles;
    }
    std::unordered_set<std::uint64_t> known(fChangeKeys.begin(), fChangeKeys.end());
    std::vector<std::uint64_t> added;
    const auto take = [&](TKVObject *o) {
        if (o && o->fKey && Owns(o) && known.insert(o->fKey).second)
            added.push_back(o->fKey);
    };
    for (TKVObject *given : Objects) {
        TKVObject *o = TopLevel(given);
        take(o);
        if (TKVCustomEdge *e = AsEdge(o)) {
            take(e->Source);
            take(e->Target);
        } else if (o && o->ObjectType == otVertex) {
            // Its edges' ends move with it.
            for (TKVObject *end : o->Links)
                take(TopLevel(end));
        }
    }
    std::vector<State> before = CaptureStates(added, fChangeStyles);
    fChangeKeys.insert(fChangeKeys.end(), added.begin(), added.end());
    std::move(before.begin(), before.end(), std::back_inserter(fChangeBefore));
}

void TKVDiagram::EndChange(const QString &Text)
{
    if (fChangeDepth == 0 || --fChangeDepth > 0)
        return;
    std::vector<State> after = CaptureStates(fChangeKeys, fChangeStyles);
    // Objects freed meanwhile are not brought back by this step.
    std::vector<State> before;
    for (State &b : fChangeBefore)
        if (ObjectOfKey(b.Key))
            before.push_back(std::move(b));
    fChangeBefore.clear();
    bool changed = before.size() != after.size() || fChangeStyles;
    for (std::size_t i = 0; !changed && i < before.size(); ++i)
        changed = !before[i].SameGeometry(after[i]);
    if (changed)
        fUndoStack->push(new TChangeCommand(*this, std::move(before), std::move(after), Text));
}

std::vector<TKVDiagram::Record> TKVDiagram::CaptureRecords(const TKVObjectList &Objects) const
{
    std::vector<Record> records;
    for (TKVObject *o : Objects) {
        if (!o || !Owns(o) || !o->fKey)
            continue;
        const TKVClass *c = GetKVClass(o->ClassName());
        if (!c || !c->Load)
            continue; // a class that cannot be read back
        Record r;
        r.Key = o->fKey;
        r.Vertex = o->ObjectType == otVertex;
        const TKVObjectList &list = r.Vertex ? Vertices : Edges;
        r.Index = std::size_t(std::find(list.begin(), list.end(), o) - list.begin());
        r.ClassName = o->ClassName();
        TKVWriter writer;
        try {
            o->Save(writer);
        } catch (const Exception &) {
            continue;
        }
        r.Bytes = writer.TakeData();
        if (TKVCustomEdge *e = AsEdge(o)) {
            r.SourceKey = KeyOf(e->Source);
            r.TargetKey = KeyOf(e->Target);
            r.SourceId = e->Source ? e->Source->Id : 0;
            r.TargetId = e->Target ? e->Target->Id : 0;
        }
        records.push_back(std::move(r));
    }
    return records;
}

void TKVDiagram::Recreate(const std::vector<Record> &Records)
{
    // Vertices before the edges that end on them, each list in ascending order of place.
    std::vector<const Record *> order;
    for (const Record &r : Records)
        order.push_back(&r);
    std::stable_sort(order.begin(), order.end(), [](const Record *a, const Record *b) {
        return a->Vertex != b->Vertex ? a->Vertex : a->Index < b->Index;
    });
    for (const Record *r : order) {
        if (ObjectOfKey(r->Key))
            continue;
        const TKVClass *c = GetKVClass(r->ClassName);
        if (!c || !c->Load)
            continue;
        TKVVertexIndex index;
        if (TKVObject *s = ObjectOfKey(r->SourceKey))
            index.Add(r->SourceId, s);
        if (TKVObject *t = ObjectOfKey(r->TargetKey))
            index.Add(r->TargetId, t);
        const TKVLoadContext context{Vertices, Edges, UndoStyleLibrary, "KVF100", &index};
        TKVReader reader(r->Bytes);
        std::unique_ptr<TKVObject> obj;
        try {
            obj = c->Load(reader, context);
        } catch (const Exception &) {
            continue;
        }
        if (!obj)
            continue;
        TKVObjectList &list = r->Vertex ? Vertices : Edges;
        TKVObject *o = obj.release();
        list.insert(list.begin() + std::ptrdiff_t(std::min(r->Index, list.size())), o);
        o->fKey = r->Key;
        Adopt(o);
    }
    Q_EMIT Changed();
}

void TKVDiagram::Discard(const std::vector<Record> &Records)
{
    // Edges first: they unhook their ends from the vertices.
    for (bool vertices : {false, true})
        for (const Record &r : Records) {
            if (r.Vertex != vertices)
                continue;
            TKVObject *o = ObjectOfKey(r.Key);
            if (!o)
                continue;
            std::erase(vertices ? Vertices : Edges, o);
            delete o;
        }
    Q_EMIT Changed();
}

TKVObject *TKVDiagram::AddObjectUndoable(std::unique_ptr<TKVObject> Obj, TKVMode Mode)
{
    TKVObject *added = AddObject(std::move(Obj), Mode);
    if (added) {
        std::vector<Record> records = CaptureRecords({added});
        if (!records.empty())
            fUndoStack->push(new TPresenceCommand(*this, std::move(records), true, tr("Add")));
    }
    return added;
}

namespace {

// The object with the edges that go with it when it is deleted.
void WithEdges(TKVObject *o, TKVObjectList &out)
{
    out.push_back(o);
    if (o && o->ObjectType == otVertex)
        for (TKVObject *end : o->Links)
            if (TKVObject *edge = TopLevel(end); edge && edge->ObjectType == otEdge)
                out.push_back(edge);
}

} // namespace

void TKVDiagram::DeleteObjectUndoable(TKVObject *Obj, TKVMode Mode)
{
    if (!Obj)
        return;
    if (Obj->ObjectType == otHandle || Obj->ObjectType == otAdjacent) {
        BeginChange({Obj});
        DeleteObject(Obj, Mode);
        EndChange(tr("Delete bend"));
        return;
    }
    TKVObjectList going;
    WithEdges(Obj, going);
    std::vector<Record> records = CaptureRecords(going);
    DeleteObject(Obj, Mode);
    std::erase_if(records, [&](const Record &r) { return ObjectOfKey(r.Key) != nullptr; }); // vetoed
    if (!records.empty())
        fUndoStack->push(new TPresenceCommand(*this, std::move(records), false, tr("Delete")));
}

void TKVDiagram::DeleteSelectedUndoable(TKVMode Mode)
{
    if (Selection.empty()) {
        DeleteSelectedObjects(Mode);
        return;
    }
    TKVObjectList going, owners;
    for (TKVObject *o : Selection) {
        if (o->ObjectType == otVertex || o->ObjectType == otEdge)
            WithEdges(o, going);
        else
            owners.push_back(o);
    }
    fUndoStack->beginMacro(tr("Delete"));
    BeginChange(owners);
    std::vector<Record> records = CaptureRecords(going);
    DeleteSelectedObjects(Mode);
    EndChange(tr("Delete bends"));
    std::erase_if(records, [&](const Record &r) { return ObjectOfKey(r.Key) != nullptr; });
    if (!records.empty())
        fUndoStack->push(new TPresenceCommand(*this, std::move(records), false, tr("Delete")));
    fUndoStack->endMacro();
}

void TKVDiagram::MoveSelectionUndoable(TKVPoint Delta)
{
    BeginChange(Selection);
    MoveSelectionBy(Delta);
    EndChange(tr("Move"));
}

} // namespace kavgraph
