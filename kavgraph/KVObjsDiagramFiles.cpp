// The diagram's files: the graph file (tagged values in up to four sections), the text
// interchange file, and the picture of the selection.

#include "kavgraph/KVObjsDiagram.h"
#include "kavgraph/KVStylesFields.h"

#include "platform/text/Windows1252.h"

#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QUndoStack>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kavgraph {

namespace {

const char *const kGraphMark = "KVF100";
const char *const kOldGraphMark = "KVF095";
const char *const kTextMark = "KVI101";

std::string FileNameText(const QString &name) { return text::Utf8ToCp1252(name.toStdString()); }

std::string ReadWholeFile(const QString &FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception("Cannot open file " + FileNameText(FileName));
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

// Written beside the target and renamed over it when complete.
void WriteWholeFile(const QString &FileName, const std::string &data)
{
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception("Cannot create file " + FileNameText(FileName));
    if (file.write(data.data(), qint64(data.size())) != qint64(data.size()) || !file.commit())
        throw Exception("Stream write error");
}

// The library to use when the caller passes none.
TKVStyleLibrary &Library(TKVStyleLibrary *given, std::unique_ptr<TKVStyleLibrary> &fallback)
{
    if (given)
        return *given;
    if (!fallback)
        fallback = std::make_unique<TKVStyleLibrary>();
    return *fallback;
}

// The vertices present, for the edges read after them; room for Expected more.
TKVVertexIndex IndexOf(const TKVObjectList &vertices, std::size_t expected = 0)
{
    TKVVertexIndex index;
    index.Reserve(vertices.size() + expected);
    for (TKVObject *v : vertices)
        index.Add(v);
    return index;
}

// Adds what a reader built; a vertex joins the index.
void AddRead(TKVDiagram &box, std::unique_ptr<TKVObject> obj, TKVVertexIndex &index)
{
    TKVObject *added = box.AddObject(std::move(obj), kvProgram);
    if (!added)
        return;
    box.LastId = std::max(box.LastId, added->Id);
    if (added->ObjectType == otVertex)
        index.Add(added);
}

const TKVClass &StoredClass(const std::string &name, bool text)
{
    const TKVClass *c = GetKVClass(name);
    if (!c || (text ? !c->Import : !c->Load))
        throw Exception("Class not registered: " + name);
    return *c;
}

} // namespace

// ---- Graph file -----------------------------------------------------------------------------------

std::string TKVDiagram::SaveToBytes(TKVStyleLibrary *StyleLibrary)
{
    std::unique_ptr<TKVStyleLibrary> fallback;
    TKVStyleLibrary &library = Library(StyleLibrary, fallback);
    TKVWriter writer;
    writer.Reserve(256 + 192 * (Vertices.size() + Edges.size())); // a styled vertex and edge take about 270 bytes
    writer.WriteString(kGraphMark);
    writer.WriteListBegin();
    if (SaveOptions.Contains(soStyles)) {
        writer.WriteString("KVSTYLE");
        library.DoSave(writer);
    }
    if (SaveOptions.Contains(soDiagram)) {
        writer.WriteString("KVGRAPH");
        DoSave(writer, &library);
    }
    if (SaveOptions.Contains(soBoxOptions)) {
        writer.WriteString("KVOPT");
        WriteOptions(writer);
    }
    if (SaveOptions.Contains(soBitmap)) {
        writer.WriteString("KVBMP");
        WriteBitmap(writer);
    }
    writer.WriteListEnd();
    return writer.TakeData();
}

void TKVDiagram::Save(const QString &FileName, TKVStyleLibrary *StyleLibrary)
{
    WriteWholeFile(FileName, SaveToBytes(StyleLibrary));
}

void TKVDiagram::DoSave(TKVWriter &Writer, TKVStyleLibrary *StyleLibrary)
{
    Writer.WriteString(StyleLibrary ? StyleLibrary->ComponentName() : std::string());
    Writer.WriteInteger(std::int32_t(Vertices.size()));
    Writer.WriteInteger(std::int32_t(Edges.size()));
    for (const TKVObjectList *list : {&Vertices, &Edges})
        for (const TKVObject *o : *list) {
            Writer.WriteString(o->ClassName());
            o->Save(Writer);
        }
}

void TKVDiagram::Load(const QString &FileName, TKVStyleLibrary *StyleLibrary)
{
    LoadFromBytes(ReadWholeFile(FileName), StyleLibrary);
}

void TKVDiagram::LoadFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary)
{
    std::unique_ptr<TKVStyleLibrary> fallback;
    TKVStyleLibrary &library = Library(StyleLibrary, fallback);
    if (StyleLibrary)
        UndoStyleLibrary = StyleLibrary;
    fUndoStack->clear(); // the steps were made on another drawing
    // Objects read before an error stay, and are shown.
    struct RepaintAtEnd {
        TKVDiagram *diagram;
        ~RepaintAtEnd() { Q_EMIT diagram->Changed(); }
    } repaint{this};

    TKVReader reader(Bytes);
    const std::string mark = reader.ReadString();
    if (mark != kGraphMark && mark != kOldGraphMark)
        throw Exception("Invalid file format");
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        const std::string section = reader.ReadString();
        if (OnLoadSection)
            OnLoadSection(section, reader);
        if (section == "KVSTYLE")
            library.DoLoad(reader);
        else if (section == "KVGRAPH")
            DoLoad(reader, &library, mark);
        else if (section == "KVOPT")
            ReadOptions(reader);
        else if (section == "KVBMP")
            ReadBitmap(reader);
        else
            throw Exception("Unknown section: " + section);
    }
    reader.ReadListEnd();
}

void TKVDiagram::DoLoad(TKVReader &Reader, TKVStyleLibrary *StyleLibrary, std::string_view FormatMark)
{
    Reader.ReadString(); // the library name it was saved with
    const std::int64_t n = Reader.ReadInteger();
    const std::int64_t m = Reader.ReadInteger();
    // Room for what the counts announce, made before the objects so that the lists do not move
    // among them; each entry takes at least two bytes, so the data bounds what is reserved.
    const auto bounded = [&](std::int64_t count) {
        return std::size_t(std::clamp<std::int64_t>(count, 0, std::int64_t(Reader.Remaining() / 2)));
    };
    Vertices.reserve(Vertices.size() + bounded(n));
    Edges.reserve(Edges.size() + bounded(m));
    TKVVertexIndex index = IndexOf(Vertices, bounded(n));
    const TKVLoadContext context{Vertices, Edges, StyleLibrary, FormatMark, &index};
    // Records of one class usually follow each other: look a name up once per run.
    std::string name;
    const TKVClass *storedClass = nullptr;
    for (std::int64_t i = 0; i < n + m; ++i) {
        std::string next = Reader.ReadString();
        if (!storedClass || next != name) {
            storedClass = &StoredClass(next, false);
            name = std::move(next);
        }
        AddRead(*this, storedClass->Load(Reader, context), index);
    }
}

namespace {

using Field = TKVField<TKVDiagram>;

#define KV_SAVE_OPTION(o)                                                                                       \
    Field{#o, fkBoolean, [](const TKVDiagram &r) { return std::int32_t(r.SaveOptions.Contains(o)); },            \
          [](TKVDiagram &r, std::int32_t v) { v ? r.SaveOptions.Include(o) : r.SaveOptions.Exclude(o); }, "SaveOptions"}

const Field kOptionFields[] = {
    KV_BOOL(TKVDiagram, "AutoSize", r.AutoSize, r.AutoSize = v != 0),
    KV_BOOL(TKVDiagram, "CenterBitmap", r.CenterBitmap(), r.SetCenterBitmap(v != 0)),
    KV_INT(TKVDiagram, "Color", r.Color(), r.SetColor(v)),
    KV_INT(TKVDiagram, "GridColor", r.GridColor(), r.SetGridColor(v)),
    KV_INT(TKVDiagram, "GridStyle", r.GridStyle(), r.SetGridStyle(v >= psSolid && v <= psInsideFrame ? TPenStyle(v) : psSolid)),
    KV_INT(TKVDiagram, "GridStep", r.GridStep(), r.SetGridStep(v)),
    KV_BOOL(TKVDiagram, "ImmediateRedraw", r.ImmediateRedraw, r.ImmediateRedraw = v != 0),
    KV_INT(TKVDiagram, "ParentWidth", r.ParentWidth, r.ParentWidth = v),
    KV_INT(TKVDiagram, "ParentHeight", r.ParentHeight, r.ParentHeight = v),
    KV_INT(TKVDiagram, "Scale", r.Scale(), r.SetScale(v)),
    KV_INT(TKVDiagram, "PrintScale", r.PrintScale(), r.SetPrintScale(v)),
    KV_BOOL(TKVDiagram, "ShowGrid", r.ShowGrid(), r.SetShowGrid(v != 0)),
    KV_BOOL(TKVDiagram, "ShowPrinterPage", r.ShowPrinterPage(), r.SetShowPrinterPage(v != 0)),
    KV_SAVE_OPTION(soDiagram),
    KV_SAVE_OPTION(soStyles),
    KV_SAVE_OPTION(soBitmap),
    KV_SAVE_OPTION(soBoxOptions),
};

#undef KV_SAVE_OPTION

} // namespace

std::span<const TKVField<TKVDiagram>> TKVDiagram::OptionFields() { return kOptionFields; }

void TKVDiagram::WriteOptions(TKVWriter &Writer) const { WriteFields<TKVDiagram>(Writer, *this, kOptionFields); }

void TKVDiagram::ReadOptions(TKVReader &Reader) { ReadFields<TKVDiagram>(Reader, *this, kOptionFields); }

void TKVDiagram::WriteBitmap(TKVWriter &Writer) const
{
    const int w = fBitmap.Width(), h = fBitmap.Height();
    Writer.WriteInteger(w);
    Writer.WriteInteger(h);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            Writer.WriteInteger(fBitmap.Pixel(x, y));
}

void TKVDiagram::ReadBitmap(TKVReader &Reader)
{
    const std::int64_t w = Reader.ReadInteger();
    const std::int64_t h = Reader.ReadInteger();
    if (w < 0 || h < 0)
        throw EKVReadError(SInvalidPropertyValue);
    // Every pixel takes at least two bytes: a picture the data cannot hold is not allocated.
    if (w * h > std::int64_t(Reader.Remaining() / 2))
        throw EKVReadError(SReadError);
    if (w == 0 || h == 0) { // no pixels: the empty picture, without walking the other side
        SetBitmap(TBitmap());
        return;
    }
    TBitmap bitmap{int(w), int(h)};
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            bitmap.SetPixel(x, y, Reader.ReadInteger());
    SetBitmap(bitmap);
}

// ---- Text interchange file ------------------------------------------------------------------------

std::string TKVDiagram::ExportToBytes(TKVStyleLibrary *StyleLibrary)
{
    std::unique_ptr<TKVStyleLibrary> fallback;
    TKVStyleLibrary &library = Library(StyleLibrary, fallback);
    TKVTextWriter writer;
    writer.WriteLine(kTextMark);
    writer.WriteLine(library.LibraryName);
    writer.WriteNumbers({std::int32_t(Vertices.size()), std::int32_t(Edges.size())});
    for (const TKVObjectList *list : {&Vertices, &Edges})
        for (const TKVObject *o : *list) {
            writer.WriteLine(o->ClassName());
            o->Export(writer);
        }
    return writer.Data();
}

void TKVDiagram::Export(const QString &FileName, TKVStyleLibrary *StyleLibrary)
{
    WriteWholeFile(FileName, ExportToBytes(StyleLibrary));
}

void TKVDiagram::Import(const QString &FileName, TKVStyleLibrary *StyleLibrary)
{
    ImportFromBytes(ReadWholeFile(FileName), StyleLibrary, FileName);
}

void TKVDiagram::ImportFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary, const QString &FileName)
{
    std::unique_ptr<TKVStyleLibrary> fallback;
    TKVStyleLibrary &library = Library(StyleLibrary, fallback);
    if (StyleLibrary)
        UndoStyleLibrary = StyleLibrary;
    fUndoStack->clear();
    TKVTextReader reader(Bytes);
    const std::string mark = reader.AtEnd() ? std::string() : reader.ReadLine();
    if (mark != "KVI095" && mark != "KVI100" && mark != "KVI101")
        throw Exception("Invalid file format: " + FileNameText(FileName));
    const std::string name = reader.ReadLine();
    if (name != library.LibraryName)
        throw Exception("Library name in file (" + name + ") does not match library name (" +
                        library.ComponentName() + ")");
    std::int32_t counts[2] = {0, 0};
    reader.ReadNumbers(counts, 2);
    TKVVertexIndex index = IndexOf(Vertices);
    const TKVLoadContext context{Vertices, Edges, &library, "KVF100", &index};
    for (std::int64_t i = 0; i < std::int64_t(counts[0]) + counts[1]; ++i) {
        const std::string className = reader.ReadLine();
        AddRead(*this, StoredClass(className, true).Import(reader, context), index);
    }
}

// ---- Clipboard ------------------------------------------------------------------------------------

namespace {

struct Extent64 {
    std::int64_t Left = INT_MAX, Top = INT_MAX, Right = std::int64_t(INT_MIN) + 1, Bottom = std::int64_t(INT_MIN) + 1;
    void Add(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b)
    {
        Left = std::min({Left, l, r});
        Top = std::min({Top, t, b});
        Right = std::max({Right, l, r});
        Bottom = std::max({Bottom, t, b});
    }
    void Add(const TKVRect &R) { Add(R.Left, R.Top, R.Right, R.Bottom); }
};

// What the items of a styled vertex cover, in world units, at the given scale factor.
void AddItemExtents(Extent64 &e, TKVVertex &v, double factor)
{
    const TKVRect b = v.Bounds;
    const std::int64_t rw = std::int64_t(b.Right) - b.Left, rh = std::int64_t(b.Bottom) - b.Top;
    const auto addPlaced = [&](const TKVItemPlacement &p) {
        e.Add(b.Left + std::int64_t(p.X), b.Top + std::int64_t(p.Y), b.Left + std::int64_t(p.X) + p.W,
              b.Top + std::int64_t(p.Y) + p.H);
    };
    for (const auto &item : v.Style.DrawItems)
        addPlaced(item->AdjustCoordinates(b, Saturate(rw), Saturate(rh)));
    for (const auto &item : v.Style.BitmapItems) {
        if (!item->Visible)
            continue;
        const int bw = item->Bitmap.Width(), bh = item->Bitmap.Height();
        TKVItemPlacement p = item->AdjustCoordinates(b, Saturate(std::max<std::int64_t>(rw, bw)),
                                                      Saturate(std::max<std::int64_t>(rh, bh)));
        if (item->LockAspectRatio && bh != 0 && p.H != 0 && bw != 0) {
            const double rb = double(bw) / bh, ri = double(p.W) / p.H;
            if (rb != ri) {
                if (ri > rb)
                    p.W = RoundHalfEven(p.H * rb);
                else
                    p.H = RoundHalfEven(1 / rb * p.W);
            }
        }
        addPlaced(p);
    }
    if (v.Style.DataItems.empty() || !(factor > 0))
        return;
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas canvas(&scratch);
    const TKVRect sr{WorldToScreenF(b.Left, factor), WorldToScreenF(b.Top, factor), WorldToScreenF(b.Right, factor),
                     WorldToScreenF(b.Bottom, factor)};
    for (const auto &item : v.Style.DataItems) {
        canvas.Font = item->Font;
        canvas.Font.Size = RoundHalfEven(item->Font.Size * factor);
        const std::int32_t lines = WrapLines(item->Text, item->WrapMagic, item->WordWrap);
        const std::string widest = MaxWidthLine(item->Text, item->WrapMagic, item->WordWrap, canvas);
        const int tw = canvas.TextWidth(widest), th = canvas.TextHeight(widest);
        const TKVItemPlacement line = item->AdjustCoordinates(sr, tw, th);
        const TKVItemPlacement block = item->AdjustCoordinates(sr, tw, Saturate(std::int64_t(th) * lines));
        const double x1 = double(sr.Left) + line.X, y1 = double(sr.Top) + block.Y;
        const double x2 = x1 + line.W, y2 = y1 + double(line.H) * lines;
        e.Add(std::int64_t(std::floor(x1 / factor)), std::int64_t(std::floor(y1 / factor)),
              std::int64_t(std::ceil(x2 / factor)), std::int64_t(std::ceil(y2 / factor)));
    }
}

} // namespace

TKVRect TKVDiagram::PictureArea(const TKVObjectList &Objects)
{
    Extent64 e;
    for (TKVObject *o : Objects) {
        if (o->ObjectType == otVertex) {
            if (auto *v = dynamic_cast<TKVCustomVertex *>(o))
                e.Add(v->Bounds);
            if (auto *v = dynamic_cast<TKVVertex *>(o))
                AddItemExtents(e, *v, fScaleFactor);
        } else if (o->ObjectType == otEdge) {
            if (auto *edge = dynamic_cast<TKVCustomEdge *>(o)) {
                for (const auto &h : edge->Handles)
                    e.Add(h->Bounds);
                if (edge->Adjacent)
                    e.Add(edge->Adjacent->Bounds);
            }
        }
    }
    if (e.Left >= e.Right)
        return {0, 0, 0, 0};
    return {Saturate(e.Left - 10), Saturate(e.Top - 10), Saturate(e.Right + 10), Saturate(e.Bottom + 10)};
}

QImage TKVDiagram::SelectionPicture()
{
    const TKVRect world = PictureArea(Selection);
    if (world.Left >= world.Right)
        return QImage();
    const TKVPoint topLeft = WorldToScreenPt({world.Left, world.Top}, fScale);
    const TKVPoint bottomRight = WorldToScreenPt({world.Right, world.Bottom}, fScale);
    const std::int64_t w = std::int64_t(bottomRight.X) - topLeft.X, h = std::int64_t(bottomRight.Y) - topLeft.Y;
    if (w <= 0 || h <= 0)
        return QImage();
    if (w > 32767 || h > 32767 || w * h > (std::int64_t(1) << 28))
        throw Exception("Picture too large");
    QImage image(int(w), int(h), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TCanvas canvas(&image);
        PaintObjects(canvas, pmClipboard, {ScreenToWorld(topLeft.X, fScale), ScreenToWorld(topLeft.Y, fScale)});
    }
    return image;
}

} // namespace kavgraph
