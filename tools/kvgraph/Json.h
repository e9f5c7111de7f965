#pragma once
// A small JSON writer that keeps keys in the order written; texts are converted from
// Windows-1252 to UTF-8.

#include "kavgraph/KVFields.h"
#include "platform/text/Windows1252.h"

#include <cstdio>
#include <span>
#include <sstream>
#include <string>

namespace kavgraph {
class TKVStyleLibrary;
}
using kavgraph::TKVStyleLibrary;

class Json {
public:
    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    void Key(const char *key)
    {
        Separate();
        Newline();
        fOut << '"' << key << "\": ";
        fAfterKey = true;
    }
    void String(const std::string &cp1252)
    {
        Value();
        fOut << '"';
        for (unsigned char c : text::Cp1252ToUtf8(cp1252)) {
            switch (c) {
            case '"': fOut << "\\\""; break;
            case '\\': fOut << "\\\\"; break;
            case '\n': fOut << "\\n"; break;
            case '\r': fOut << "\\r"; break;
            case '\t': fOut << "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    fOut << buf;
                } else {
                    fOut << char(c);
                }
            }
        }
        fOut << '"';
    }
    void Int(long long v)
    {
        Value();
        fOut << v;
    }
    void Null()
    {
        Value();
        fOut << "null";
    }
    void Bool(bool v)
    {
        Value();
        fOut << (v ? "true" : "false");
    }
    // A flat array of integers on one line.
    template <typename F> void IntArray(long long count, F at)
    {
        Value();
        fOut << '[';
        for (long long i = 0; i < count; ++i)
            fOut << (i ? "," : "") << at(i);
        fOut << ']';
    }
    std::string Text() const { return fOut.str() + "\n"; }

private:
    void Value()
    {
        if (!fAfterKey) {
            Separate();
            Newline();
        }
        fAfterKey = false;
        fFirst = false;
    }
    void Separate()
    {
        if (!fFirst)
            fOut << ',';
    }
    void Newline()
    {
        if (fDepth > 0)
            fOut << '\n' << std::string(std::size_t(fDepth) * 2, ' ');
    }
    void Open(char c)
    {
        Value();
        fOut << c;
        ++fDepth;
        fFirst = true;
    }
    void Close(char c)
    {
        --fDepth;
        if (!fFirst)
            Newline();
        fOut << c;
        fFirst = false;
    }
    std::ostringstream fOut;
    int fDepth = 0;
    bool fFirst = true;
    bool fAfterKey = false;
};

// The library as `kvgraph slb dump` prints it. Version: the version string the library was read with.
void WriteLibraryJson(Json &j, const TKVStyleLibrary &library, const std::string &version);

// A record's fields under their names, in stream order, into the object being written: a part
// (a pen, a font) as a nested object, a group (a set) as the list of its members that are set, a
// point as [X, Y], a rectangle as [Left, Top, Right, Bottom]. Fields not meant for dumps are left out.
template <typename Record>
void WriteFieldsJson(Json &j, const Record &r, std::span<const kavgraph::TKVField<Record>> fields)
{
    using namespace kavgraph;
    const auto same = [](const char *a, const char *b) { return a && b && std::string_view(a) == b; };
    const char *part = nullptr, *group = nullptr;
    const auto point = [&](TKVPoint p) {
        j.BeginArray();
        j.Int(p.X);
        j.Int(p.Y);
        j.EndArray();
    };
    for (const TKVField<Record> &f : fields) {
        if (!(f.Forms & kfDump))
            continue;
        if (part && !same(part, f.Part))
            j.EndObject(), part = nullptr;
        if (group && !same(group, f.Group))
            j.EndArray(), group = nullptr;
        if (f.Group) {
            if (!group)
                j.Key(f.Group), j.BeginArray(), group = f.Group;
            if (f.Get(r))
                j.String(f.Name);
            continue;
        }
        if (f.Part && !part)
            j.Key(f.Part), j.BeginObject(), part = f.Part;
        j.Key(f.Name);
        switch (f.Kind) {
        case fkInteger: j.Int(f.Get(r)); break;
        case fkBoolean: j.Bool(f.Get(r) != 0); break;
        case fkString: j.String(f.GetText(r)); break;
        case fkBitmap: {
            const TBitmap &b = f.BitmapIn(r);
            j.BeginObject();
            j.Key("Width"), j.Int(b.Width());
            j.Key("Height"), j.Int(b.Height());
            // Stream order: column by column.
            j.Key("Pixels"), j.IntArray((long long)b.Width() * b.Height(), [&](long long k) {
                return (long long)b.Pixel(int(k / b.Height()), int(k % b.Height()));
            });
            j.EndObject();
            break;
        }
        case fkPen:
        case fkPenWidthFirst: {
            const TPen &p = f.PenIn(r);
            j.BeginObject();
            j.Key("Color"), j.Int(p.Color);
            j.Key("Style"), j.Int(p.Style);
            j.Key("Width"), j.Int(p.Width);
            j.EndObject();
            break;
        }
        case fkPoint: point(f.PointGet(r)); break;
        case fkRectLRTB: {
            const TKVRect rect = f.RectGet(r);
            j.BeginArray();
            for (std::int32_t v : {rect.Left, rect.Top, rect.Right, rect.Bottom})
                j.Int(v);
            j.EndArray();
            break;
        }
        case fkPoints:
            j.BeginArray();
            for (std::size_t i = 0, n = f.PointCount(r); i < n; ++i)
                point(f.PointAt(r, i));
            j.EndArray();
            break;
        case fkPart: j.Null(); break;
        }
    }
    if (part)
        j.EndObject();
    if (group)
        j.EndArray();
}
