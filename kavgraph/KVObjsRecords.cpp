// The binary and text records that vertices and edges write and read themselves.

#include "kavgraph/KVObjs.h"

#include <functional>
#include <type_traits>

namespace kavgraph {

namespace {

// The style records inside graph files carry this mark, which selects their full form.
constexpr std::string_view kStyleRecordVersion = "KV095";

TKVObject *FindVertex(const TKVLoadContext &context, std::int32_t id)
{
    if (context.VertexIndex) {
        const auto it = context.VertexIndex->find(id);
        if (it != context.VertexIndex->end())
            return it->second;
        throw EKVReadError("Vertex Id not found");
    }
    for (TKVObject *v : context.Vertices)
        if (v && v->Id == id)
            return v;
    throw EKVReadError("Vertex Id not found");
}

const TKVDataClass &DataClassNamed(const std::string &name)
{
    const TKVDataClass *c = GetDataClass(name);
    if (!c || !c->Load || !c->Import)
        throw EKVReadError("Data class not registered: " + name);
    return *c;
}

// The data part of a styled record: a flag, then the class name and the object's record.
void SaveData(TKVWriter &w, const TKVDataObject *data)
{
    w.WriteBoolean(data != nullptr);
    if (data) {
        w.WriteString(data->ClassType().Name);
        data->Save(w);
    }
}

void ExportData(TKVTextWriter &w, const TKVDataObject *data)
{
    if (data) {
        w.WriteLine("T");
        w.WriteLine(data->ClassType().Name);
        data->Export(w);
    } else {
        w.WriteLine("F");
    }
}

std::unique_ptr<TKVDataObject> LoadData(TKVReader &r)
{
    if (!r.ReadBoolean())
        return nullptr;
    return DataClassNamed(r.ReadString()).Load(r);
}

std::unique_ptr<TKVDataObject> ImportData(TKVTextReader &r)
{
    if (r.ReadLine() != "T")
        return nullptr;
    return DataClassNamed(r.ReadLine()).Import(r);
}

TKVPoint Centre(const TKVRect &r)
{
    return {Saturate(r.Left + std::int64_t(RoundHalfEven((double(r.Right) - r.Left) * 0.5))),
            Saturate(r.Top + std::int64_t(RoundHalfEven((double(r.Bottom) - r.Top) * 0.5)))};
}

// One number or one text, in the binary or the text form.
std::int32_t ReadOne(TKVReader &r) { return r.ReadInteger(); }
std::int32_t ReadOne(TKVTextReader &r) { return r.ReadNumber(); }
std::string ReadText(TKVReader &r) { return r.ReadString(); }
std::string ReadText(TKVTextReader &r) { return r.ReadLine(); }

TKVRect ReadRect(TKVReader &r)
{
    TKVRect rect;
    rect.Left = r.ReadInteger();
    rect.Top = r.ReadInteger();
    rect.Right = r.ReadInteger();
    rect.Bottom = r.ReadInteger();
    return rect;
}

TKVRect ReadRect(TKVTextReader &r)
{
    std::int32_t n[4];
    r.ReadNumbers(n, 4);
    return {n[0], n[1], n[2], n[3]};
}

TKVPoint ReadPoint(TKVReader &r)
{
    TKVPoint p;
    p.X = r.ReadInteger();
    p.Y = r.ReadInteger();
    return p;
}

TKVPoint ReadPoint(TKVTextReader &r)
{
    std::int32_t n[2];
    r.ReadNumbers(n, 2);
    return {n[0], n[1]};
}

// Everything of an edge record up to the string after the end points.
struct EdgeHead {
    std::int32_t id;
    TKVObject *source, *target;
    TKVPoint start, end;
};

template <typename Reader> EdgeHead ReadEdgeHead(Reader &r, const TKVLoadContext &context)
{
    EdgeHead h{};
    h.id = ReadOne(r);
    // The two end ids: two values, or one line of two numbers.
    std::int32_t ids[2];
    if constexpr (std::is_same_v<Reader, TKVReader>) {
        ids[0] = r.ReadInteger();
        ids[1] = r.ReadInteger();
    } else {
        r.ReadNumbers(ids, 2);
    }
    h.source = FindVertex(context, ids[0]);
    h.target = FindVertex(context, ids[1]);
    h.start = ReadPoint(r);
    h.end = ReadPoint(r);
    return h;
}

// Builds the edge between the ends read and puts its end handles where they were saved: the
// connector rules of the end vertices would place a saved end again from where it lies, and
// could move it to another side of its box.
template <typename Edge, typename... StyleArgs>
std::unique_ptr<Edge> MakeEdge(const EdgeHead &h, StyleArgs &&...style)
{
    auto edge = std::make_unique<Edge>(h.source, h.target, h.start, h.end, std::forward<StyleArgs>(style)...);
    edge->Handles.front()->MoveTo(h.start);
    edge->Handles.back()->MoveTo(h.end);
    edge->Id = h.id;
    return edge;
}

} // namespace

// ---- TKVCustomVertex ---------------------------------------------------------------------------

void TKVCustomVertex::Save(TKVWriter &Writer) const
{
    Writer.WriteInteger(Id);
    Writer.WriteInteger(Bounds.Left);
    Writer.WriteInteger(Bounds.Top);
    Writer.WriteInteger(Bounds.Right);
    Writer.WriteInteger(Bounds.Bottom);
}

void TKVCustomVertex::Export(TKVTextWriter &Writer) const
{
    Writer.WriteNumbers({Id});
    Writer.WriteNumbers({Bounds.Left, Bounds.Top, Bounds.Right, Bounds.Bottom});
}

namespace {

template <typename Reader> std::unique_ptr<TKVObject> ReadCustomVertex(Reader &r)
{
    const std::int32_t id = ReadOne(r);
    const TKVRect bounds = ReadRect(r);
    auto vertex = std::make_unique<TKVCustomVertex>(Centre(bounds));
    vertex->Bounds = bounds;
    vertex->Id = id;
    vertex->AdjustHandles();
    return vertex;
}

} // namespace

std::unique_ptr<TKVObject> TKVCustomVertex::Load(TKVReader &Reader, const TKVLoadContext &)
{
    return ReadCustomVertex(Reader);
}

std::unique_ptr<TKVObject> TKVCustomVertex::Import(TKVTextReader &Reader, const TKVLoadContext &)
{
    return ReadCustomVertex(Reader);
}

// ---- TKVVertex -----------------------------------------------------------------------------------

void TKVVertex::Save(TKVWriter &Writer) const
{
    TKVCustomVertex::Save(Writer);
    Writer.WriteString(Style.Name);
    Writer.WriteBoolean(true);
    Style.Save(Writer);
    SaveData(Writer, DataObject);
}

void TKVVertex::Export(TKVTextWriter &Writer) const
{
    TKVCustomVertex::Export(Writer);
    Writer.WriteLine(Style.Name);
    Writer.WriteNumbers({std::int32_t(Style.DataItems.size())});
    for (const auto &item : Style.DataItems)
        Writer.WriteLine(item->Text);
    ExportData(Writer, DataObject);
}

std::unique_ptr<TKVObject> TKVVertex::Load(TKVReader &Reader, const TKVLoadContext &Context)
{
    const std::int32_t id = Reader.ReadInteger();
    const TKVRect bounds = ReadRect(Reader);
    const std::string styleName = Reader.ReadString();
    auto vertex = std::make_unique<TKVVertex>(Centre(bounds), Context.StyleLibrary, styleName);
    vertex->Bounds = bounds;
    vertex->Id = id;
    if (Reader.ReadBoolean()) {
        vertex->Style.Load(Reader, kStyleRecordVersion);
        // The stored items are new: they get the library's custom painter as loaded ones do.
        if (Context.StyleLibrary)
            for (const auto &item : vertex->Style.DrawItems)
                item->OnDrawCustomDrawItem = Context.StyleLibrary->OnDrawCustomDrawItem;
    }
    vertex->AdoptDataObject(LoadData(Reader));
    vertex->AdjustHandles();
    return vertex;
}

std::unique_ptr<TKVObject> TKVVertex::Import(TKVTextReader &Reader, const TKVLoadContext &Context)
{
    const std::int32_t id = Reader.ReadNumber();
    const TKVRect bounds = ReadRect(Reader);
    const std::string styleName = Reader.ReadLine();
    auto vertex = std::make_unique<TKVVertex>(Centre(bounds), Context.StyleLibrary, styleName);
    vertex->Bounds = bounds;
    vertex->Id = id;
    if (Context.StyleLibrary)
        vertex->Style.Assign(Context.StyleLibrary->GetVertexStyle(styleName));
    const std::int32_t texts = Reader.ReadNumber();
    for (std::int32_t i = 0; i < texts; ++i) {
        std::string text = Reader.ReadLine();
        if (std::size_t(i) < vertex->Style.DataItems.size())
            vertex->Style.DataItems[std::size_t(i)]->Text = std::move(text);
    }
    vertex->AdoptDataObject(ImportData(Reader));
    vertex->AdjustHandles();
    return vertex;
}

// ---- TKVCustomEdge -----------------------------------------------------------------------------

void TKVCustomEdge::SaveEnds(TKVWriter &Writer) const
{
    Writer.WriteInteger(Id);
    Writer.WriteInteger(Source ? Source->Id : 0);
    Writer.WriteInteger(Target ? Target->Id : 0);
    Writer.WriteInteger(Handles.front()->Position.X);
    Writer.WriteInteger(Handles.front()->Position.Y);
    Writer.WriteInteger(Handles.back()->Position.X);
    Writer.WriteInteger(Handles.back()->Position.Y);
}

void TKVCustomEdge::SaveLabelAndBends(TKVWriter &Writer) const
{
    Writer.WriteInteger(Adjacent->Position.X);
    Writer.WriteInteger(Adjacent->Position.Y);
    Writer.WriteInteger(Adjacent->Bounds.Left);
    Writer.WriteInteger(Adjacent->Bounds.Right);
    Writer.WriteInteger(Adjacent->Bounds.Top);
    Writer.WriteInteger(Adjacent->Bounds.Bottom);
    Writer.WriteInteger(Adjacent->Handle->Position.X);
    Writer.WriteInteger(Adjacent->Handle->Position.Y);
    Writer.WriteInteger(std::int32_t(Handles.size()) - 2);
    for (std::size_t i = 1; i + 1 < Handles.size(); ++i) {
        Writer.WriteInteger(Handles[i]->Position.X);
        Writer.WriteInteger(Handles[i]->Position.Y);
    }
}

void TKVCustomEdge::ExportEnds(TKVTextWriter &Writer) const
{
    Writer.WriteNumbers({Id});
    Writer.WriteNumbers({Source ? Source->Id : 0, Target ? Target->Id : 0});
    Writer.WriteNumbers({Handles.front()->Position.X, Handles.front()->Position.Y});
    Writer.WriteNumbers({Handles.back()->Position.X, Handles.back()->Position.Y});
}

void TKVCustomEdge::ExportLabelAndBends(TKVTextWriter &Writer, bool withText) const
{
    if (withText)
        Writer.WriteLine(Adjacent->Text);
    Writer.WriteNumbers({Adjacent->Position.X, Adjacent->Position.Y});
    Writer.WriteNumbers({Adjacent->Bounds.Left, Adjacent->Bounds.Right, Adjacent->Bounds.Top, Adjacent->Bounds.Bottom});
    Writer.WriteNumbers({Adjacent->Handle->Position.X, Adjacent->Handle->Position.Y});
    Writer.WriteNumbers({std::int32_t(Handles.size()) - 2});
    for (std::size_t i = 1; i + 1 < Handles.size(); ++i)
        Writer.WriteNumbers({Handles[i]->Position.X, Handles[i]->Position.Y});
}

void TKVCustomEdge::Save(TKVWriter &Writer) const
{
    SaveEnds(Writer);
    Writer.WriteString(Adjacent->Text);
    SaveLabelAndBends(Writer);
}

void TKVCustomEdge::Export(TKVTextWriter &Writer) const
{
    ExportEnds(Writer);
    ExportLabelAndBends(Writer, true);
}

namespace {

// Reads the label point, rectangle and handle and the bend points into a new edge.
template <typename Reader> void ReadLabelAndBendsInto(Reader &r, TKVCustomEdge &edge, bool keepRect,
                                                      const std::function<void(TKVPoint)> &insertBend)
{
    edge.Adjacent->Position = ReadPoint(r);
    TKVRect rect;
    if constexpr (std::is_same_v<Reader, TKVReader>) {
        rect.Left = r.ReadInteger();
        rect.Right = r.ReadInteger();
        rect.Top = r.ReadInteger();
        rect.Bottom = r.ReadInteger();
    } else {
        std::int32_t n[4];
        r.ReadNumbers(n, 4);
        rect = {n[0], n[2], n[1], n[3]};
    }
    if (keepRect)
        edge.Adjacent->Bounds = rect;
    edge.Adjacent->Handle->MoveTo(ReadPoint(r));
    const std::int32_t bends = ReadOne(r);
    for (std::int32_t i = 0; i < bends; ++i)
        insertBend(ReadPoint(r));
}

} // namespace

namespace {

template <typename Reader> std::unique_ptr<TKVObject> ReadCustomEdge(Reader &r, const TKVLoadContext &context)
{
    auto edge = MakeEdge<TKVCustomEdge>(ReadEdgeHead(r, context));
    edge->SetText(ReadText(r));
    TKVCustomEdge *e = edge.get();
    ReadLabelAndBendsInto(r, *edge, true, [e](TKVPoint p) { e->InsertBend(p); });
    return edge;
}

} // namespace

std::unique_ptr<TKVObject> TKVCustomEdge::Load(TKVReader &Reader, const TKVLoadContext &Context)
{
    return ReadCustomEdge(Reader, Context);
}

std::unique_ptr<TKVObject> TKVCustomEdge::Import(TKVTextReader &Reader, const TKVLoadContext &Context)
{
    return ReadCustomEdge(Reader, Context);
}

// ---- TKVEdge -------------------------------------------------------------------------------------

void TKVEdge::Save(TKVWriter &Writer) const
{
    SaveEnds(Writer);
    Writer.WriteString(Style.Name);
    SaveLabelAndBends(Writer);
    Writer.WriteBoolean(true);
    Style.Save(Writer);
    SaveData(Writer, DataObject);
}

void TKVEdge::Export(TKVTextWriter &Writer) const
{
    ExportEnds(Writer);
    Writer.WriteLine(Style.Name);
    Writer.WriteLine(Style.Data);
    ExportLabelAndBends(Writer, true);
    ExportData(Writer, DataObject);
}

std::unique_ptr<TKVObject> TKVEdge::Load(TKVReader &Reader, const TKVLoadContext &Context)
{
    const EdgeHead h = ReadEdgeHead(Reader, Context);
    const std::string styleName = Reader.ReadString();
    auto edge = MakeEdge<TKVEdge>(h, styleName, Context.StyleLibrary);
    TKVEdge *e = edge.get();
    ReadLabelAndBendsInto(Reader, *edge, true, [e](TKVPoint p) { e->InsertBend(p); });
    if (Context.FormatMark == "KVF095")
        return edge;
    if (Reader.ReadBoolean())
        edge->Style.Load(Reader, kStyleRecordVersion);
    edge->AdoptDataObject(LoadData(Reader));
    return edge;
}

std::unique_ptr<TKVObject> TKVEdge::Import(TKVTextReader &Reader, const TKVLoadContext &Context)
{
    const EdgeHead h = ReadEdgeHead(Reader, Context);
    const std::string styleName = Reader.ReadLine();
    auto edge = MakeEdge<TKVEdge>(h, styleName, Context.StyleLibrary);
    edge->Style.Data = Reader.ReadLine();
    edge->SetText(Reader.ReadLine());
    TKVEdge *e = edge.get();
    // The label rectangle is recomputed when the label is drawn.
    ReadLabelAndBendsInto(Reader, *edge, false, [e](TKVPoint p) { e->InsertBend(p); });
    edge->AdoptDataObject(ImportData(Reader));
    return edge;
}

} // namespace kavgraph
