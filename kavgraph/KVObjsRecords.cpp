// The binary and text records of vertices and edges, one field list per class: the same list
// writes, reads and dumps a record.

#include "kavgraph/KVObjs.h"
#include "kavgraph/KVStylesFields.h"

#include <type_traits>

namespace kavgraph {

namespace {

// The style records inside graph files carry this mark, which selects their full form.
constexpr std::string_view kStyleRecordVersion = "KV095";

// Graph files before 1.00 end an edge record at its bends: no style and no data part.
bool HasEdgeParts(std::string_view mark) { return mark != "KVF095"; }

TKVObject *FindVertex(const TKVLoadContext &context, std::int32_t id)
{
    if (context.VertexIndex) {
        if (TKVObject *v = context.VertexIndex->Find(id))
            return v;
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

// ---- Building blocks of the field lists -----------------------------------------------------------
// R is the record type, TKVObjectRecord<Class>; the accessors reach the object as r.Object.

// A field of that name and kind whose accessors are still to be set.
template <typename R> TKVField<R> NewField(const char *name, TKVFieldKind kind)
{
    TKVField<R> f{};
    f.Name = name;
    f.Kind = kind;
    return f;
}

template <typename R> TKVField<R> In(std::uint8_t forms, TKVField<R> f)
{
    f.Forms = forms;
    return f;
}

template <typename R> TKVField<R> OnSameLine(TKVField<R> f)
{
    f.SameLine = true;
    return f;
}

template <typename R> TKVField<R> TextField(const char *name, std::string (*get)(const R &), void (*set)(R &, std::string))
{
    TKVField<R> f = NewField<R>(name, fkString);
    f.GetText = get;
    f.SetText = set;
    return f;
}

template <typename R> TKVField<R> PointField(const char *name, TKVPoint (*get)(const R &), void (*set)(R &, TKVPoint))
{
    TKVField<R> f = NewField<R>(name, fkPoint);
    f.PointGet = get;
    f.PointSet = set;
    return f;
}

template <typename R>
TKVField<R> PointsField(const char *name, std::size_t (*count)(const R &), TKVPoint (*at)(const R &, std::size_t),
                        void (*add)(R &, TKVPoint))
{
    TKVField<R> f = NewField<R>(name, fkPoints);
    f.PointCount = count;
    f.PointAt = at;
    f.PointAdd = add;
    return f;
}

bool HasData(const TKVCustomVertex &) { return false; }
bool HasData(const TKVCustomEdge &) { return false; }
bool HasData(const TKVVertex &v) { return v.DataObject != nullptr; }
bool HasData(const TKVEdge &e) { return e.DataObject != nullptr; }

// Whether a data object is attached, for dumps.
template <typename R> TKVField<R> HasDataField()
{
    TKVField<R> f = NewField<R>("HasData", fkBoolean);
    f.Forms = kfDump;
    f.Get = [](const R &r) { return std::int32_t(HasData(r.Object)); };
    f.Set = [](R &, std::int32_t) {};
    return f;
}

// The data part of a styled record: a flag, then the class name and the data object's own record.
template <typename R> TKVField<R> DataField(bool (*storedIn)(std::string_view))
{
    TKVField<R> f = NewField<R>("Data", fkPart);
    f.Forms = kfBinary | kfText;
    f.StoredIn = storedIn;
    f.WritePart = [](TKVWriter &w, const R &r) {
        const TKVDataObject *data = r.Object.DataObject;
        w.WriteBoolean(data != nullptr);
        if (data) {
            w.WriteString(data->ClassType().Name);
            data->Save(w);
        }
    };
    f.ReadPart = [](TKVReader &reader, R &r) {
        if (reader.ReadBoolean())
            r.Object.AdoptDataObject(DataClassNamed(reader.ReadString()).Load(reader));
    };
    f.ExportPart = [](TKVTextWriter &w, const R &r) {
        const TKVDataObject *data = r.Object.DataObject;
        w.WriteLine(data ? "T" : "F");
        if (data) {
            w.WriteLine(data->ClassType().Name);
            data->Export(w);
        }
    };
    f.ImportPart = [](TKVTextReader &reader, R &r) {
        if (reader.ReadLine() == "T")
            r.Object.AdoptDataObject(DataClassNamed(reader.ReadLine()).Import(reader));
    };
    return f;
}

// ---- Vertices ------------------------------------------------------------------------------------

// Id and box, then the class's own fields.
template <typename R> std::vector<TKVField<R>> VertexFields(std::initializer_list<TKVField<R>> own)
{
    std::vector<TKVField<R>> fields{
        KV_INT(R, "Id", r.Object.Id, r.Object.Id = v),
        KV_INT(R, "Left", r.Object.Bounds.Left, r.Object.Bounds.Left = v),
        OnSameLine(KV_INT(R, "Top", r.Object.Bounds.Top, r.Object.Bounds.Top = v)),
        OnSameLine(KV_INT(R, "Right", r.Object.Bounds.Right, r.Object.Bounds.Right = v)),
        OnSameLine(KV_INT(R, "Bottom", r.Object.Bounds.Bottom, r.Object.Bounds.Bottom = v)),
    };
    fields.insert(fields.end(), own);
    fields.push_back(HasDataField<R>());
    return fields;
}

using VertexRecord = TKVObjectRecord<TKVVertex>;

// The vertex's own style. Binary: "true" and the whole style record, or "false" for the library's
// style of its name. Text: the texts of the data items, on the library's style of its name.
TKVField<VertexRecord> VertexStyleField()
{
    using R = VertexRecord;
    TKVField<R> f = NewField<R>("Style", fkPart);
    f.Forms = kfBinary | kfText;
    f.WritePart = [](TKVWriter &w, const R &r) {
        w.WriteBoolean(true);
        r.Object.Style.Save(w);
    };
    f.ReadPart = [](TKVReader &reader, R &r) {
        TKVVertexStyle &style = r.Object.Style;
        TKVStyleLibrary *library = r.Context->StyleLibrary;
        const TKVVertexStyle *named = library ? library->GetVertexStyle(style.Name) : nullptr;
        if (!reader.ReadBoolean()) {
            style.Assign(named);
            return;
        }
        // The stored style replaces the library's, whose data provider and painters it keeps.
        style.Load(reader, kStyleRecordVersion);
        if (named)
            style.OnGetData = named->OnGetData;
        if (library)
            for (const auto &item : style.DrawItems)
                item->OnDrawCustomDrawItem = library->OnDrawCustomDrawItem;
    };
    f.ExportPart = [](TKVTextWriter &w, const R &r) {
        const TKVVertexStyle &style = r.Object.Style;
        w.WriteNumbers({std::int32_t(style.DataItems.size())});
        for (const auto &item : style.DataItems)
            w.WriteLine(item->Text);
    };
    f.ImportPart = [](TKVTextReader &reader, R &r) {
        TKVVertexStyle &style = r.Object.Style;
        const std::string name = style.Name;
        style.Assign(r.Context->StyleLibrary ? r.Context->StyleLibrary->GetVertexStyle(name) : nullptr);
        const std::int32_t texts = reader.ReadNumber();
        for (std::int32_t i = 0; i < texts; ++i) {
            std::string text = reader.ReadLine();
            if (std::size_t(i) < style.DataItems.size())
                style.DataItems[std::size_t(i)]->Text = std::move(text);
        }
    };
    return f;
}

// Reads a record into a new object of class T and finishes it as the constructors would.
template <typename T, typename Reader> std::unique_ptr<TKVObject> ReadRecord(Reader &reader, const TKVLoadContext &context,
                                                                           std::unique_ptr<T> object)
{
    TKVObjectRecord<T> record{*object, &context};
    if constexpr (std::is_same_v<Reader, TKVReader>)
        ReadFields(reader, record, T::Fields(), context.FormatMark);
    else
        ReadFieldsText(reader, record, T::Fields(), context.FormatMark);
    if constexpr (std::is_base_of_v<TKVCustomVertex, T>)
        object->AdjustHandles();
    return object;
}

template <typename T> TKVObjectRecord<T> Written(const T &object) { return {const_cast<T &>(object)}; }

} // namespace

// ---- Edges ---------------------------------------------------------------------------------------

/// The field lists of the edge classes (a friend of TKVCustomEdge: the ends are joined as the
/// constructor joins them).
struct TKVEdgeRecord {
    // Id, ends and end points; the class's middle fields; label and bends; the class's tail.
    template <typename R>
    static std::vector<TKVField<R>> Fields(std::initializer_list<TKVField<R>> middle, std::uint8_t labelRectForms,
                                           std::initializer_list<TKVField<R>> tail)
    {
        constexpr std::uint8_t stored = kfBinary | kfText;
        std::vector<TKVField<R>> fields{
            KV_INT(R, "Id", r.Object.Id, r.Object.Id = v),
            KV_INT(R, "Source", r.Object.Source ? r.Object.Source->Id : 0, r.Object.Source = FindVertex(*r.Context, v)),
            OnSameLine(KV_INT(R, "Target", r.Object.Target ? r.Object.Target->Id : 0, r.Object.Target = FindVertex(*r.Context, v))),
            // Dumps show every handle along the edge, ends and bends together.
            In(kfDump, PointsField<R>("Handles", [](const R &r) { return r.Object.Handles.size(); },
                                      [](const R &r, std::size_t i) { return r.Object.Handles[i]->Position; }, nullptr)),
            In(stored, PointField<R>("Start", [](const R &r) { return r.Object.Handles.front()->Position; },
                                     [](R &r, TKVPoint p) { r.Object.Handles.front()->MoveTo(p); })),
            // With both ends read the edge is joined to its vertices; the ends stay where they were saved,
            // where the connection rules could have moved them to another side of a box.
            In(stored, PointField<R>("End", [](const R &r) { return r.Object.Handles.back()->Position; },
                                     [](R &r, TKVPoint p) {
                                         TKVCustomEdge &e = r.Object;
                                         const TKVPoint start = e.Handles.front()->Position;
                                         e.Connect(e.Source, e.Target, start, p);
                                         e.Handles.front()->MoveTo(start);
                                         e.Handles.back()->MoveTo(p);
                                     })),
        };
        fields.insert(fields.end(), middle);
        TKVField<R> labelRect = NewField<R>("LabelRect", fkRectLRTB);
        labelRect.Forms = labelRectForms;
        labelRect.RectGet = [](const R &r) { return r.Object.Adjacent->Bounds; };
        labelRect.RectSet = [](R &r, TKVRect v) { r.Object.Adjacent->Bounds = v; };
        fields.insert(fields.end(), {
            PointField<R>("LabelPoint", [](const R &r) { return r.Object.Adjacent->Position; },
                          [](R &r, TKVPoint p) { r.Object.Adjacent->Position = p; }),
            labelRect,
            PointField<R>("LabelHandle", [](const R &r) { return r.Object.Adjacent->Handle->Position; },
                          [](R &r, TKVPoint p) { r.Object.Adjacent->Handle->MoveTo(p); }),
            In(stored, PointsField<R>("Bends", [](const R &r) { return r.Object.Handles.size() - 2; },
                                      [](const R &r, std::size_t i) { return r.Object.Handles[i + 1]->Position; },
                                      [](R &r, TKVPoint p) { r.Object.InsertBend(p); })),
        });
        fields.insert(fields.end(), tail);
        fields.push_back(HasDataField<R>());
        return fields;
    }
};

std::span<const TKVField<TKVObjectRecord<TKVCustomEdge>>> TKVCustomEdge::Fields()
{
    using R = TKVObjectRecord<TKVCustomEdge>;
    static const auto fields = TKVEdgeRecord::Fields<R>(
        {TextField<R>("Text", [](const R &r) { return r.Object.Text(); }, [](R &r, std::string v) { r.Object.SetText(v); })},
        kfAll, {});
    return fields;
}

namespace {

// The library's edge style of the stored name, as a new edge takes it; a name the library lacks is
// kept for the next save.
void TakeLibraryStyle(TKVObjectRecord<TKVEdge> &r)
{
    TKVEdgeStyle &style = r.Object.Style;
    TKVStyleLibrary *library = r.Context->StyleLibrary;
    std::string name = std::move(style.Name);
    style.Assign(library ? library->GetEdgeStyle(name) : nullptr);
    style.Name = std::move(name);
}

} // namespace

std::span<const TKVField<TKVObjectRecord<TKVEdge>>> TKVEdge::Fields()
{
    using R = TKVObjectRecord<TKVEdge>;
    static const auto fields = [] {
        // Binary: "true" and the whole style record, or "false" for the library's style of the
        // name; files before 1.00 have neither.
        TKVField<R> style = NewField<R>("Style", fkPart);
        style.Forms = kfBinary;
        style.WritePart = [](TKVWriter &w, const R &r) {
            w.WriteBoolean(true);
            r.Object.Style.Save(w);
        };
        style.ReadPart = [](TKVReader &reader, R &r) {
            if (!HasEdgeParts(r.Context->FormatMark) || !reader.ReadBoolean()) {
                TakeLibraryStyle(r);
                return;
            }
            // The stored style replaces the library's, whose painters it keeps.
            TKVEdgeStyle &style = r.Object.Style;
            TKVStyleLibrary *library = r.Context->StyleLibrary;
            const TKVEdgeStyle *named = library ? library->GetEdgeStyle(style.Name) : nullptr;
            style.Load(reader, kStyleRecordVersion);
            if (named) {
                style.OnGetData = named->OnGetData;
                style.OnDrawCustomEnd = named->OnDrawCustomEnd;
            }
        };
        // Text: the library's style of the name, with the stored text of its text box.
        TKVField<R> styleData = NewField<R>("StyleData", fkPart);
        styleData.Forms = kfText;
        styleData.ExportPart = [](TKVTextWriter &w, const R &r) { w.WriteLine(r.Object.Style.Data); };
        styleData.ImportPart = [](TKVTextReader &reader, R &r) {
            TakeLibraryStyle(r);
            r.Object.Style.Data = reader.ReadLine();
        };
        return TKVEdgeRecord::Fields<R>(
            {
                KV_TEXT(R, "StyleName", Object.Style.Name),
                styleData,
                In(kfText | kfDump, TextField<R>("Text", [](const R &r) { return r.Object.Text(); },
                                                 [](R &r, std::string v) { r.Object.SetText(v); })),
            },
            // Text records carry the label rectangle, but it is measured again when the label is drawn.
            kfBinary | kfTextOut | kfDump, {style, DataField<R>(HasEdgeParts)});
    }();
    return fields;
}

void TKVCustomEdge::Save(TKVWriter &Writer) const { WriteFields(Writer, Written(*this), Fields()); }
void TKVCustomEdge::Export(TKVTextWriter &Writer) const { WriteFieldsText(Writer, Written(*this), Fields()); }

std::unique_ptr<TKVObject> TKVCustomEdge::Load(TKVReader &Reader, const TKVLoadContext &Context)
{
    return ReadRecord(Reader, Context, std::unique_ptr<TKVCustomEdge>(new TKVCustomEdge));
}

std::unique_ptr<TKVObject> TKVCustomEdge::Import(TKVTextReader &Reader, const TKVLoadContext &Context)
{
    return ReadRecord(Reader, Context, std::unique_ptr<TKVCustomEdge>(new TKVCustomEdge));
}

void TKVEdge::Save(TKVWriter &Writer) const { WriteFields(Writer, Written(*this), Fields()); }
void TKVEdge::Export(TKVTextWriter &Writer) const { WriteFieldsText(Writer, Written(*this), Fields()); }

std::unique_ptr<TKVObject> TKVEdge::Load(TKVReader &Reader, const TKVLoadContext &Context)
{
    return ReadRecord(Reader, Context, std::unique_ptr<TKVEdge>(new TKVEdge));
}

std::unique_ptr<TKVObject> TKVEdge::Import(TKVTextReader &Reader, const TKVLoadContext &Context)
{
    return ReadRecord(Reader, Context, std::unique_ptr<TKVEdge>(new TKVEdge));
}

// ---- Vertices ------------------------------------------------------------------------------------

std::span<const TKVField<TKVObjectRecord<TKVCustomVertex>>> TKVCustomVertex::Fields()
{
    static const auto fields = VertexFields<TKVObjectRecord<TKVCustomVertex>>({});
    return fields;
}

std::span<const TKVField<TKVObjectRecord<TKVVertex>>> TKVVertex::Fields()
{
    using R = VertexRecord;
    static const auto fields = VertexFields<R>({
        KV_TEXT(R, "StyleName", Object.Style.Name),
        VertexStyleField(),
        DataField<R>(nullptr),
    });
    return fields;
}

void TKVCustomVertex::Save(TKVWriter &Writer) const { WriteFields(Writer, Written(*this), Fields()); }
void TKVCustomVertex::Export(TKVTextWriter &Writer) const { WriteFieldsText(Writer, Written(*this), Fields()); }

std::unique_ptr<TKVObject> TKVCustomVertex::Load(TKVReader &Reader, const TKVLoadContext &Context)
{
    return ReadRecord(Reader, Context, std::make_unique<TKVCustomVertex>(TKVPoint{}));
}

std::unique_ptr<TKVObject> TKVCustomVertex::Import(TKVTextReader &Reader, const TKVLoadContext &Context)
{
    return ReadRecord(Reader, Context, std::make_unique<TKVCustomVertex>(TKVPoint{}));
}

void TKVVertex::Save(TKVWriter &Writer) const { WriteFields(Writer, Written(*this), Fields()); }
void TKVVertex::Export(TKVTextWriter &Writer) const { WriteFieldsText(Writer, Written(*this), Fields()); }

std::unique_ptr<TKVObject> TKVVertex::Load(TKVReader &Reader, const TKVLoadContext &Context)
{
    return ReadRecord(Reader, Context, std::make_unique<TKVVertex>(TKVPoint{}, nullptr, ""));
}

std::unique_ptr<TKVObject> TKVVertex::Import(TKVTextReader &Reader, const TKVLoadContext &Context)
{
    return ReadRecord(Reader, Context, std::make_unique<TKVVertex>(TKVPoint{}, nullptr, ""));
}

} // namespace kavgraph
