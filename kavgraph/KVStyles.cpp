// Vertex and edge styles: copying and streaming with the version rules of the library files.

#include "kavgraph/KVStyles.h"
#include "kavgraph/KVStylesFields.h"

namespace kavgraph {

namespace {

template <typename Item>
Item *FindLast(const std::vector<std::unique_ptr<Item>> &items, std::string_view name)
{
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if ((*it)->Name == name)
            return it->get();
    return nullptr;
}

template <typename Item>
void CopyItems(std::vector<std::unique_ptr<Item>> &to, const std::vector<std::unique_ptr<Item>> &from)
{
    to.clear();
    to.reserve(from.size());
    for (const auto &source : from) {
        auto item = std::make_unique<Item>();
        item->Assign(*source);
        to.push_back(std::move(item));
    }
}

template <typename Item>
void LoadItems(std::vector<std::unique_ptr<Item>> &items, TKVReader &reader, std::string_view version)
{
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        auto item = std::make_unique<Item>();
        item->Load(reader, version);
        items.push_back(std::move(item));
    }
    reader.ReadListEnd();
}

template <typename Item> void SaveItems(const std::vector<std::unique_ptr<Item>> &items, TKVWriter &writer)
{
    writer.WriteListBegin();
    for (const auto &item : items)
        item->Save(writer);
    writer.WriteListEnd();
}

// Vertex styles gained the connection move mode with 1.01; edge styles the custom ends with 1.03
// and everything after them with 1.02.
bool HasConnMoveMode(std::string_view version) { return version != "SL0.95"; }
bool Has102(std::string_view version) { return version != "SL0.95" && version != "SL1.00" && version != "SL1.01"; }
bool Has103(std::string_view version) { return Has102(version) && version != "SL1.02"; }

} // namespace

// ---- TKVVertexStyle ---------------------------------------------------------------------------

std::span<const TKVField<TKVVertexStyle>> TKVVertexStyle::Fields()
{
    using R = TKVVertexStyle;
    static const TKVField<R> fields[] = {
        KV_TEXT(R, "Name", Name),
        KV_INT(R, "ResizeMode", r.ResizeMode, r.ResizeMode = EnumFromOrdinal<TKVVSResize>(v)),
        KV_INT(R, "Width", r.Width, r.Width = v),
        KV_INT(R, "Height", r.Height, r.Height = v),
        KV_FIELD(R, fkInteger, nullptr, HasConnMoveMode, "ConnMoveMode", r.ConnMoveMode,
                 r.ConnMoveMode = EnumFromOrdinal<TKVConnMoveMode>(v)),
    };
    return fields;
}

void TKVVertexStyle::Assign(const TKVVertexStyle *Source)
{
    if (!Source || Source == this)
        return;
    CopyFields(*this, *Source, Fields());
    CopyItems(DrawItems, Source->DrawItems);
    CopyItems(DataItems, Source->DataItems);
    CopyItems(BitmapItems, Source->BitmapItems);
    OnGetData = Source->OnGetData;
}

void TKVVertexStyle::Load(TKVReader &Reader, std::string_view Version)
{
    DrawItems.clear();
    DataItems.clear();
    BitmapItems.clear();
    ReadFields(Reader, *this, Fields(), Version);
    LoadItems(DrawItems, Reader, Version);
    LoadItems(DataItems, Reader, Version);
    LoadItems(BitmapItems, Reader, Version);
}

void TKVVertexStyle::Save(TKVWriter &Writer) const
{
    WriteFields(Writer, *this, Fields());
    SaveItems(DrawItems, Writer);
    SaveItems(DataItems, Writer);
    SaveItems(BitmapItems, Writer);
}

TKVDrawItem *TKVVertexStyle::GetDrawItem(std::string_view Name) const { return FindLast(DrawItems, Name); }
TKVDataItem *TKVVertexStyle::GetDataItem(std::string_view Name) const { return FindLast(DataItems, Name); }
TKVBitmapItem *TKVVertexStyle::GetBitmapItem(std::string_view Name) const { return FindLast(BitmapItems, Name); }

// ---- TKVEdgeStyle -----------------------------------------------------------------------------

std::span<const TKVField<TKVEdgeStyle>> TKVEdgeStyle::Fields()
{
    using R = TKVEdgeStyle;
    static const TKVField<R> fields[] = {
        KV_TEXT(R, "Name", Name),
        KV_PEN(R, fkPenWidthFirst, nullptr, "Pen", Pen),
        KV_BOOL(R, "SourceArrow", r.SourceArrow, r.SourceArrow = v != 0),
        KV_BOOL(R, "TargetArrow", r.TargetArrow, r.TargetArrow = v != 0),
        KV_FIELD(R, fkBoolean, nullptr, Has103, "DrawCustomEnds", r.DrawCustomEnds, r.DrawCustomEnds = v != 0),
        KV_PEN(R, fkPenWidthFirst, Has102, "EndPen", EndPen),
        KV_BRUSH(R, Has102, "EndBrush", EndBrush),
        KV_PEN(R, fkPenWidthFirst, Has102, "TextBoxPen", TextBoxPen),
        KV_BRUSH(R, Has102, "TextBoxBrush", TextBoxBrush),
        KV_FONT(R, Has102, "Font", Font),
        KV_FIELD(R, fkInteger, nullptr, Has102, "TextAlign", r.TextAlign, r.TextAlign = static_cast<std::uint8_t>(v)),
        KV_FIELD(R, fkBoolean, nullptr, Has102, "WordWrap", r.WordWrap, r.WordWrap = v != 0),
        KV_TEXT_GATED(R, nullptr, Has102, "WrapMagic", WrapMagic),
        KV_FIELD(R, fkBoolean, nullptr, Has102, "TextBoxVisible", r.TextBoxVisible, r.TextBoxVisible = v != 0),
        KV_FIELD(R, fkInteger, nullptr, Has102, "DrawConnection", r.DrawConnection,
                 r.DrawConnection = EnumFromOrdinal<TKVDrawConnect>(v)),
        KV_TEXT_GATED(R, nullptr, Has102, "Data", Data),
    };
    return fields;
}

void TKVEdgeStyle::Assign(const TKVEdgeStyle *Source)
{
    if (!Source || Source == this)
        return;
    CopyFields(*this, *Source, Fields());
    OnGetData = Source->OnGetData;
    OnDrawCustomEnd = Source->OnDrawCustomEnd;
}

void TKVEdgeStyle::Load(TKVReader &Reader, std::string_view Version)
{
    // Files from before custom ends existed paint arrows.
    if (!Has103(Version))
        DrawCustomEnds = false;
    ReadFields(Reader, *this, Fields(), Version);
}

void TKVEdgeStyle::Save(TKVWriter &Writer) const { WriteFields(Writer, *this, Fields()); }

} // namespace kavgraph
