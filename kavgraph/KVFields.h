#pragma once
// Stored records described once: a record's fields in stream order, each with its name, its
// kind and how to get and set it. The same list writes and reads the tagged values, copies one
// record to another and lets a tool dump the record by name, so a field is named in one place.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVStream.h"
#include "platform/ui/Canvas.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kavgraph {

/// How a field is stored. A pen is stored as colour, style and width, or (fkPenWidthFirst) as colour, width and style.
enum TKVFieldKind : std::uint8_t { fkInteger, fkBoolean, fkString, fkBitmap, fkPen, fkPenWidthFirst };

/// One stored field of a Record: its name, kind and accessors.
template <typename Record> struct TKVField {
    const char *Name; ///< The name in dumps.
    TKVFieldKind Kind; ///< How it is stored.
    std::int32_t (*Get)(const Record &R); ///< a Boolean as 0 or 1
    void (*Set)(Record &R, std::int32_t Value); ///< Stores a value read (a Boolean as 0 or 1).
    /// Fields of one group are dumped together (a set stored as one Boolean per member).
    const char *Group = nullptr;
    /// Consecutive fields of one part (a pen, a brush, a font) are dumped as one nested object.
    const char *Part = nullptr;
    /// Whether files of a library version hold the field; none: every version does. A field a
    /// file lacks keeps its value.
    bool (*StoredIn)(std::string_view Version) = nullptr;
    std::string (*GetText)(const Record &R) = nullptr; ///< A text field's value.
    void (*SetText)(Record &R, std::string Value) = nullptr; ///< Stores a text field's value.
    TBitmap &(*BitmapOf)(Record &R) = nullptr; ///< A picture field.
    TPen &(*PenOf)(Record &R) = nullptr; ///< A pen field.

    /// The picture field of a record only read.
    const TBitmap &BitmapIn(const Record &R) const { return BitmapOf(const_cast<Record &>(R)); }
    /// The pen field of a record only read.
    const TPen &PenIn(const Record &R) const { return PenOf(const_cast<Record &>(R)); }
};

/// A picture as a style item stores it: width, height, then the colours column by column.
KAVGRAPH_EXPORT void WriteFieldBitmap(TKVWriter &Writer, const TBitmap &Bitmap);
/// Reads a picture written by WriteFieldBitmap; refuses sizes the data left cannot hold.
KAVGRAPH_EXPORT void ReadFieldBitmap(TKVReader &Reader, TBitmap &Bitmap);

/// Writes the fields of R in list order.
template <typename Record> void WriteFields(TKVWriter &Writer, const Record &R, std::span<const TKVField<Record>> Fields)
{
    for (const TKVField<Record> &f : Fields) {
        switch (f.Kind) {
        case fkBoolean: Writer.WriteBoolean(f.Get(R) != 0); break;
        case fkInteger: Writer.WriteInteger(f.Get(R)); break;
        case fkString: Writer.WriteString(f.GetText(R)); break;
        case fkBitmap: WriteFieldBitmap(Writer, f.BitmapIn(R)); break;
        case fkPen:
        case fkPenWidthFirst: {
            const TPen &pen = f.PenIn(R);
            Writer.WriteInteger(pen.Color);
            Writer.WriteInteger(f.Kind == fkPen ? std::int32_t(pen.Style) : pen.Width);
            Writer.WriteInteger(f.Kind == fkPen ? pen.Width : std::int32_t(pen.Style));
            break;
        }
        }
    }
}

/// Reads the fields the file's version holds. Each field is set as soon as it is read: a read error keeps the fields read before it.
template <typename Record>
void ReadFields(TKVReader &Reader, Record &R, std::span<const TKVField<Record>> Fields, std::string_view Version = {})
{
    for (const TKVField<Record> &f : Fields) {
        if (f.StoredIn && !f.StoredIn(Version))
            continue;
        switch (f.Kind) {
        case fkBoolean: f.Set(R, std::int32_t(Reader.ReadBoolean())); break;
        case fkInteger: f.Set(R, Reader.ReadInteger()); break;
        case fkString: f.SetText(R, Reader.ReadString()); break;
        case fkBitmap: ReadFieldBitmap(Reader, f.BitmapOf(R)); break;
        case fkPen:
        case fkPenWidthFirst: {
            TPen &pen = f.PenOf(R);
            pen.Color = Reader.ReadInteger();
            if (f.Kind == fkPenWidthFirst)
                pen.Width = Reader.ReadInteger();
            pen.Style = static_cast<TPenStyle>(static_cast<std::uint8_t>(Reader.ReadInteger()));
            if (f.Kind == fkPen)
                pen.Width = Reader.ReadInteger();
            break;
        }
        }
    }
}

/// Copies the fields of From into To.
template <typename Record> void CopyFields(Record &To, const Record &From, std::span<const TKVField<Record>> Fields)
{
    for (const TKVField<Record> &f : Fields) {
        switch (f.Kind) {
        case fkBoolean:
        case fkInteger: f.Set(To, f.Get(From)); break;
        case fkString: f.SetText(To, f.GetText(From)); break;
        case fkBitmap: f.BitmapOf(To) = f.BitmapIn(From); break;
        case fkPen:
        case fkPenWidthFirst: f.PenOf(To) = f.PenIn(From); break;
        }
    }
}

} // namespace kavgraph
