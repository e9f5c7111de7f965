// Vertex and edge styles: copying and streaming with the version rules of the library files.

#include "kavgraph/KVStyles.h"

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

// The edge style's pen: colour, width, style.
void SavePen(TKVWriter &w, const TPen &pen)
{
    w.WriteInteger(pen.Color);
    w.WriteInteger(pen.Width);
    w.WriteInteger(pen.Style);
}

void LoadPen(TKVReader &r, TPen &pen)
{
    pen.Color = r.ReadInteger();
    pen.Width = r.ReadInteger();
    pen.Style = EnumFromOrdinal<TPenStyle>(r.ReadInteger());
}

void SaveBrush(TKVWriter &w, const TBrush &brush)
{
    w.WriteInteger(brush.Color);
    w.WriteInteger(brush.Style);
}

void LoadBrush(TKVReader &r, TBrush &brush)
{
    brush.Color = r.ReadInteger();
    brush.Style = EnumFromOrdinal<TBrushStyle>(r.ReadInteger());
}

void SaveFont(TKVWriter &w, const TFont &font)
{
    w.WriteString(font.Name);
    w.WriteInteger(font.Size);
    w.WriteInteger(font.Color);
    w.WriteBoolean(font.Bold);
    w.WriteBoolean(font.Italic);
    w.WriteBoolean(font.Underline);
    w.WriteBoolean(font.StrikeOut);
}

void LoadFont(TKVReader &r, TFont &font)
{
    font.Name = r.ReadString();
    font.Size = r.ReadInteger();
    font.Color = r.ReadInteger();
    font.Bold = r.ReadBoolean();
    font.Italic = r.ReadBoolean();
    font.Underline = r.ReadBoolean();
    font.StrikeOut = r.ReadBoolean();
}

} // namespace

// ---- TKVVertexStyle ---------------------------------------------------------------------------

void TKVVertexStyle::Assign(const TKVVertexStyle *Source)
{
    if (!Source || Source == this)
        return;
    Name = Source->Name;
    ResizeMode = Source->ResizeMode;
    Width = Source->Width;
    Height = Source->Height;
    ConnMoveMode = Source->ConnMoveMode;
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
    Name = Reader.ReadString();
    ResizeMode = EnumFromOrdinal<TKVVSResize>(Reader.ReadInteger());
    Width = Reader.ReadInteger();
    Height = Reader.ReadInteger();
    if (Version != "SL0.95")
        ConnMoveMode = EnumFromOrdinal<TKVConnMoveMode>(Reader.ReadInteger());
    LoadItems(DrawItems, Reader, Version);
    LoadItems(DataItems, Reader, Version);
    LoadItems(BitmapItems, Reader, Version);
}

void TKVVertexStyle::Save(TKVWriter &Writer) const
{
    Writer.WriteString(Name);
    Writer.WriteInteger(ResizeMode);
    Writer.WriteInteger(Width);
    Writer.WriteInteger(Height);
    Writer.WriteInteger(ConnMoveMode);
    SaveItems(DrawItems, Writer);
    SaveItems(DataItems, Writer);
    SaveItems(BitmapItems, Writer);
}

TKVDrawItem *TKVVertexStyle::GetDrawItem(std::string_view Name) const { return FindLast(DrawItems, Name); }
TKVDataItem *TKVVertexStyle::GetDataItem(std::string_view Name) const { return FindLast(DataItems, Name); }
TKVBitmapItem *TKVVertexStyle::GetBitmapItem(std::string_view Name) const { return FindLast(BitmapItems, Name); }

// ---- TKVEdgeStyle -----------------------------------------------------------------------------

void TKVEdgeStyle::Assign(const TKVEdgeStyle *Source)
{
    if (!Source || Source == this)
        return;
    OnGetData = Source->OnGetData;
    DrawCustomEnds = Source->DrawCustomEnds;
    Data = Source->Data;
    Name = Source->Name;
    Pen = Source->Pen;
    EndPen = Source->EndPen;
    EndBrush = Source->EndBrush;
    SourceArrow = Source->SourceArrow;
    TargetArrow = Source->TargetArrow;
    WordWrap = Source->WordWrap;
    WrapMagic = Source->WrapMagic;
    TextAlign = Source->TextAlign;
    TextBoxPen = Source->TextBoxPen;
    TextBoxBrush = Source->TextBoxBrush;
    Font = Source->Font;
    DrawConnection = Source->DrawConnection;
    TextBoxVisible = Source->TextBoxVisible;
    OnDrawCustomEnd = Source->OnDrawCustomEnd;
}

void TKVEdgeStyle::Load(TKVReader &Reader, std::string_view Version)
{
    const bool before101 = Version == "SL0.95" || Version == "SL1.00";
    const bool before102 = before101 || Version == "SL1.01";
    const bool before103 = before102 || Version == "SL1.02";
    Name = Reader.ReadString();
    LoadPen(Reader, Pen);
    SourceArrow = Reader.ReadBoolean();
    TargetArrow = Reader.ReadBoolean();
    if (before103)
        DrawCustomEnds = false;
    else
        DrawCustomEnds = Reader.ReadBoolean();
    if (before102)
        return;
    LoadPen(Reader, EndPen);
    LoadBrush(Reader, EndBrush);
    LoadPen(Reader, TextBoxPen);
    LoadBrush(Reader, TextBoxBrush);
    LoadFont(Reader, Font);
    TextAlign = static_cast<std::uint8_t>(Reader.ReadInteger());
    WordWrap = Reader.ReadBoolean();
    WrapMagic = Reader.ReadString();
    TextBoxVisible = Reader.ReadBoolean();
    DrawConnection = EnumFromOrdinal<TKVDrawConnect>(Reader.ReadInteger());
    Data = Reader.ReadString();
}

void TKVEdgeStyle::Save(TKVWriter &Writer) const
{
    Writer.WriteString(Name);
    SavePen(Writer, Pen);
    Writer.WriteBoolean(SourceArrow);
    Writer.WriteBoolean(TargetArrow);
    Writer.WriteBoolean(DrawCustomEnds);
    SavePen(Writer, EndPen);
    SaveBrush(Writer, EndBrush);
    SavePen(Writer, TextBoxPen);
    SaveBrush(Writer, TextBoxBrush);
    SaveFont(Writer, Font);
    Writer.WriteInteger(TextAlign);
    Writer.WriteBoolean(WordWrap);
    Writer.WriteString(WrapMagic);
    Writer.WriteBoolean(TextBoxVisible);
    Writer.WriteInteger(DrawConnection);
    Writer.WriteString(Data);
}

} // namespace kavgraph
