#pragma once
// Stored records described once: a record's fields in stream order, each with its name, its
// kind and how to get and set it. The same list writes and reads the tagged values and the text
// records, copies one record to another and lets a tool dump the record by name, so a field is
// named in one place.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVStream.h"
#include "kavgraph/KVTypes.h"
#include "platform/ui/Canvas.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kavgraph {

/// How a field is stored. A pen is stored as colour, style and width, or (fkPenWidthFirst) as colour, width and style.
enum TKVFieldKind : std::uint8_t {
    fkInteger,
    fkBoolean,
    fkString,
    fkBitmap,
    fkPen,
    fkPenWidthFirst,
    fkPoint,    ///< X and Y; one text line
    fkRectLRTB, ///< a rectangle stored as Left, Right, Top, Bottom (one text line), dumped as Left, Top, Right, Bottom
    fkPoints,   ///< a count, then X and Y of each point (a text line each)
    fkPart,     ///< a part with an encoding of its own (a style record, a data object); never dumped
};

/// Where a field appears: in the binary record, in the text record (written, and taken when read),
/// in dumps.
enum TKVFieldForm : std::uint8_t {
    kfBinary = 1,
    kfTextOut = 2,
    kfTextIn = 4, ///< without it a text field is read and dropped
    kfDump = 8,
    kfText = kfTextOut | kfTextIn,
    kfAll = kfBinary | kfText | kfDump,
};

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
    std::uint8_t Forms = kfAll; ///< TKVFieldForm flags
    bool SameLine = false; ///< An integer written on the text line of the integer before it.
    TKVPoint (*PointGet)(const Record &R) = nullptr; ///< A point field's value.
    void (*PointSet)(Record &R, TKVPoint Value) = nullptr; ///< Stores a point field's value.
    TKVRect (*RectGet)(const Record &R) = nullptr; ///< A rectangle field's value.
    void (*RectSet)(Record &R, TKVRect Value) = nullptr; ///< Stores a rectangle field's value.
    std::size_t (*PointCount)(const Record &R) = nullptr; ///< The number of points of a point list.
    TKVPoint (*PointAt)(const Record &R, std::size_t Index) = nullptr; ///< One point of a point list.
    void (*PointAdd)(Record &R, TKVPoint Value) = nullptr; ///< Appends a point read to a point list.
    void (*WritePart)(TKVWriter &Writer, const Record &R) = nullptr; ///< A part's binary form.
    void (*ReadPart)(TKVReader &Reader, Record &R) = nullptr; ///< Reads a part's binary form.
    void (*ExportPart)(TKVTextWriter &Writer, const Record &R) = nullptr; ///< A part's text form.
    void (*ImportPart)(TKVTextReader &Reader, Record &R) = nullptr; ///< Reads a part's text form.

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
        if (!(f.Forms & kfBinary))
            continue;
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
        case fkPoint: {
            const TKVPoint p = f.PointGet(R);
            Writer.WriteInteger(p.X);
            Writer.WriteInteger(p.Y);
            break;
        }
        case fkRectLRTB: {
            const TKVRect r = f.RectGet(R);
            for (std::int32_t v : {r.Left, r.Right, r.Top, r.Bottom})
                Writer.WriteInteger(v);
            break;
        }
        case fkPoints: {
            const std::size_t n = f.PointCount(R);
            Writer.WriteInteger(std::int32_t(n));
            for (std::size_t i = 0; i < n; ++i) {
                const TKVPoint p = f.PointAt(R, i);
                Writer.WriteInteger(p.X);
                Writer.WriteInteger(p.Y);
            }
            break;
        }
        case fkPart: f.WritePart(Writer, R); break;
        }
    }
}

/// Reads the fields the file's version holds. Each field is set as soon as it is read: a read error keeps the fields read before it.
template <typename Record>
void ReadFields(TKVReader &Reader, Record &R, std::span<const TKVField<Record>> Fields, std::string_view Version = {})
{
    for (const TKVField<Record> &f : Fields) {
        if (!(f.Forms & kfBinary) || (f.StoredIn && !f.StoredIn(Version)))
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
        case fkPoint: {
            TKVPoint p;
            p.X = Reader.ReadInteger();
            p.Y = Reader.ReadInteger();
            f.PointSet(R, p);
            break;
        }
        case fkRectLRTB: {
            TKVRect r;
            r.Left = Reader.ReadInteger();
            r.Right = Reader.ReadInteger();
            r.Top = Reader.ReadInteger();
            r.Bottom = Reader.ReadInteger();
            f.RectSet(R, r);
            break;
        }
        case fkPoints: {
            // Each point is read before it is added, so a count larger than the data is a read error.
            const std::int32_t n = Reader.ReadInteger();
            for (std::int32_t i = 0; i < n; ++i) {
                TKVPoint p;
                p.X = Reader.ReadInteger();
                p.Y = Reader.ReadInteger();
                f.PointAdd(R, p);
            }
            break;
        }
        case fkPart: f.ReadPart(Reader, R); break;
        }
    }
}

/// Writes the text record of R: integers on one line with those marked SameLine after them, a
/// text, point or rectangle on a line of its own, a point list as its count and a line per point.
/// Pictures and pens have no text form.
template <typename Record> void WriteFieldsText(TKVTextWriter &Writer, const Record &R, std::span<const TKVField<Record>> Fields)
{
    for (std::size_t i = 0; i < Fields.size(); ++i) {
        const TKVField<Record> &f = Fields[i];
        if (!(f.Forms & kfTextOut))
            continue;
        switch (f.Kind) {
        case fkBoolean:
        case fkInteger: {
            // This integer and those after it marked SameLine, on one line.
            std::int32_t line[8] = {f.Get(R)};
            std::size_t count = 1;
            while (i + 1 < Fields.size() && Fields[i + 1].SameLine)
                if ((Fields[++i].Forms & kfTextOut) && count < 8)
                    line[count++] = Fields[i].Get(R);
            Writer.WriteNumbers(std::span<const std::int32_t>(line, count));
            break;
        }
        case fkString: Writer.WriteLine(f.GetText(R)); break;
        case fkPoint: {
            const TKVPoint p = f.PointGet(R);
            Writer.WriteNumbers({p.X, p.Y});
            break;
        }
        case fkRectLRTB: {
            const TKVRect r = f.RectGet(R);
            Writer.WriteNumbers({r.Left, r.Right, r.Top, r.Bottom});
            break;
        }
        case fkPoints: {
            const std::size_t n = f.PointCount(R);
            Writer.WriteNumbers({std::int32_t(n)});
            for (std::size_t k = 0; k < n; ++k) {
                const TKVPoint p = f.PointAt(R, k);
                Writer.WriteNumbers({p.X, p.Y});
            }
            break;
        }
        case fkPart: f.ExportPart(Writer, R); break;
        case fkBitmap:
        case fkPen:
        case fkPenWidthFirst: break;
        }
    }
}

/// Reads a text record written by WriteFieldsText; fields without kfTextIn are read and dropped.
template <typename Record>
void ReadFieldsText(TKVTextReader &Reader, Record &R, std::span<const TKVField<Record>> Fields, std::string_view Version = {})
{
    const auto stored = [&](const TKVField<Record> &f) {
        return (f.Forms & kfTextOut) && (!f.StoredIn || f.StoredIn(Version));
    };
    for (std::size_t i = 0; i < Fields.size(); ++i) {
        const TKVField<Record> &f = Fields[i];
        if (!stored(f))
            continue;
        const bool take = f.Forms & kfTextIn;
        switch (f.Kind) {
        case fkBoolean:
        case fkInteger: {
            // The integers of one line: this one and those after it marked SameLine.
            const TKVField<Record> *line[8] = {&f};
            int count = 1;
            while (i + 1 < Fields.size() && Fields[i + 1].SameLine)
                if (stored(Fields[++i]) && count < 8)
                    line[count++] = &Fields[i];
            std::int32_t numbers[8];
            Reader.ReadNumbers(numbers, count);
            for (int n = 0; n < count; ++n)
                if (line[n]->Forms & kfTextIn)
                    line[n]->Set(R, numbers[n]);
            break;
        }
        case fkString: {
            std::string text = Reader.ReadLine();
            if (take)
                f.SetText(R, std::move(text));
            break;
        }
        case fkPoint: {
            std::int32_t n[2];
            Reader.ReadNumbers(n, 2);
            if (take)
                f.PointSet(R, {n[0], n[1]});
            break;
        }
        case fkRectLRTB: {
            std::int32_t n[4];
            Reader.ReadNumbers(n, 4);
            if (take)
                f.RectSet(R, {n[0], n[2], n[1], n[3]});
            break;
        }
        case fkPoints: {
            const std::int32_t count = Reader.ReadNumber();
            for (std::int32_t k = 0; k < count; ++k) {
                std::int32_t n[2];
                Reader.ReadNumbers(n, 2);
                if (take)
                    f.PointAdd(R, {n[0], n[1]});
            }
            break;
        }
        case fkPart: f.ImportPart(Reader, R); break;
        case fkBitmap:
        case fkPen:
        case fkPenWidthFirst: break;
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
        case fkPoint: f.PointSet(To, f.PointGet(From)); break;
        case fkRectLRTB: f.RectSet(To, f.RectGet(From)); break;
        case fkPoints:
        case fkPart: break; // lists and parts are copied by their owners
        }
    }
}

} // namespace kavgraph
