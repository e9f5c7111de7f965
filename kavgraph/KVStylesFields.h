#pragma once
// Building blocks for the field lists of the style items, the styles and the objects: one line
// per stored field, and the style item fields every item kind starts with.

#include "kavgraph/KVFields.h"
#include "kavgraph/KVStyles.h"

#include <initializer_list>
#include <vector>

namespace kavgraph {

// A field read and written as an integer (enumerations by their ordinal) or a Boolean; R names
// the record, get and set use r and v. Stored: the library versions whose files hold the field
// (nullptr: all); Part: the nested object the field is dumped in.
#define KV_FIELD(R, Kind, Part, Stored, Name, get, set)                                                         \
    TKVField<R> { Name, Kind, [](const R &r) { return std::int32_t(get); }, [](R &r, std::int32_t v) { set; }, \
                  nullptr, Part, Stored }
#define KV_INT(R, Name, get, set) KV_FIELD(R, fkInteger, nullptr, nullptr, Name, get, set)
#define KV_BOOL(R, Name, get, set) KV_FIELD(R, fkBoolean, nullptr, nullptr, Name, get, set)
#define KV_TEXT_GATED(R, Part, Stored, Name, member)                                                            \
    TKVField<R> { Name, fkString, nullptr, nullptr, nullptr, Part, Stored,                                     \
                  [](const R &r) { return std::string(r.member); }, [](R &r, std::string v) { r.member = std::move(v); } }
#define KV_TEXT(R, Name, member) KV_TEXT_GATED(R, nullptr, nullptr, Name, member)
// Kind: fkPen or fkPenWidthFirst.
#define KV_PEN(R, Kind, Stored, Name, member)                                                                   \
    TKVField<R> { Name, Kind, nullptr, nullptr, nullptr, nullptr, Stored, nullptr, nullptr, nullptr,          \
                  [](R &r) -> TPen & { return r.member; } }
#define KV_BRUSH(R, Stored, Part, brush)                                                                        \
    KV_FIELD(R, fkInteger, Part, Stored, "Color", r.brush.Color, r.brush.Color = v),                            \
        KV_FIELD(R, fkInteger, Part, Stored, "Style", r.brush.Style, r.brush.Style = EnumFromOrdinal<TBrushStyle>(v))
#define KV_FONT(R, Stored, Part, font)                                                                          \
    KV_TEXT_GATED(R, Part, Stored, "Name", font.Name),                                                          \
        KV_FIELD(R, fkInteger, Part, Stored, "Size", r.font.Size, r.font.Size = v),                             \
        KV_FIELD(R, fkInteger, Part, Stored, "Color", r.font.Color, r.font.Color = v),                          \
        KV_FIELD(R, fkBoolean, Part, Stored, "Bold", r.font.Bold, r.font.Bold = v != 0),                        \
        KV_FIELD(R, fkBoolean, Part, Stored, "Italic", r.font.Italic, r.font.Italic = v != 0),                  \
        KV_FIELD(R, fkBoolean, Part, Stored, "Underline", r.font.Underline, r.font.Underline = v != 0),         \
        KV_FIELD(R, fkBoolean, Part, Stored, "StrikeOut", r.font.StrikeOut, r.font.StrikeOut = v != 0)

// The fields every style item starts with, then the item kind's own.
template <typename R> std::vector<TKVField<R>> StyleItemFields(std::initializer_list<TKVField<R>> own)
{
    std::vector<TKVField<R>> fields{
        KV_TEXT(R, "Name", Name),
        KV_INT(R, "Left", r.Left, r.Left = v),
        KV_INT(R, "Top", r.Top, r.Top = v),
        KV_INT(R, "Width", r.Width, r.Width = v),
        KV_INT(R, "Height", r.Height, r.Height = v),
        KV_INT(R, "CoordMode", r.CoordMode, r.CoordMode = EnumFromOrdinal<TKVCoordMode>(v)),
        KV_INT(R, "HorzAlign", r.HorzAlign, r.HorzAlign = EnumFromOrdinal<TKVHorzAlign>(v)),
        KV_INT(R, "VertAlign", r.VertAlign, r.VertAlign = EnumFromOrdinal<TKVVertAlign>(v)),
    };
    fields.insert(fields.end(), own);
    return fields;
}

} // namespace kavgraph
