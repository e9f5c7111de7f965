#pragma once
// The baseline of the file benchmarks: the values of a stream written and read back with the
// tagged value writer and reader alone. The values are held either as one list of
// {tag, number, text} (ValueList) or as three compact arrays (CompactValues); the second costs
// less memory traffic, so it is the leaner baseline.

#include "kavgraph/KVStream.h"

#include <cstdint>
#include <string>
#include <vector>

// One value of a stream: its tag and its number or text.
struct TaggedValue {
    std::uint8_t tag;
    std::int32_t number;
    std::string text;
};

struct ValueList {
    std::vector<TaggedValue> values;

    template <typename F> void ForEach(F &&f) const
    {
        for (const TaggedValue &v : values)
            f(v.tag, v.number, v.text);
    }
};

struct CompactValues {
    std::vector<std::uint8_t> tags;
    std::vector<std::int32_t> numbers; // of the integer tags, in order
    std::vector<std::string> texts;    // of the string tags, in order

    template <typename F> void ForEach(F &&f) const
    {
        static const std::string none;
        std::size_t n = 0, t = 0;
        for (std::uint8_t tag : tags) {
            switch (tag) {
            case kavgraph::kvtag::Int8:
            case kavgraph::kvtag::Int16:
            case kavgraph::kvtag::Int32: f(tag, numbers[n++], none); break;
            case kavgraph::kvtag::String:
            case kavgraph::kvtag::LongString: f(tag, 0, texts[t++]); break;
            default: f(tag, std::int32_t(tag == kavgraph::kvtag::True), none); break;
            }
        }
    }
};

// The values of a stream, in order.
inline ValueList ParseTaggedValues(const std::string &stream)
{
    using namespace kavgraph;
    ValueList list;
    std::size_t i = 0;
    const auto le = [&](int n) {
        std::uint32_t v = 0;
        for (int k = 0; k < n; ++k)
            v |= std::uint32_t(std::uint8_t(stream[i + std::size_t(k)])) << (8 * k);
        i += std::size_t(n);
        return v;
    };
    while (i < stream.size()) {
        TaggedValue v{std::uint8_t(stream[i++]), 0, {}};
        switch (v.tag) {
        case kvtag::Int8: v.number = std::int8_t(le(1)); break;
        case kvtag::Int16: v.number = std::int16_t(le(2)); break;
        case kvtag::Int32: v.number = std::int32_t(le(4)); break;
        case kvtag::String:
        case kvtag::LongString: {
            const std::size_t n = le(v.tag == kvtag::String ? 1 : 4);
            v.text = stream.substr(i, n);
            i += n;
            break;
        }
        case kvtag::True: v.number = 1; break;
        default: break;
        }
        list.values.push_back(std::move(v));
    }
    return list;
}

inline CompactValues Compact(const ValueList &list)
{
    CompactValues c;
    list.ForEach([&](std::uint8_t tag, std::int32_t number, const std::string &text) {
        c.tags.push_back(tag);
        if (tag == kavgraph::kvtag::Int8 || tag == kavgraph::kvtag::Int16 || tag == kavgraph::kvtag::Int32)
            c.numbers.push_back(number);
        else if (tag == kavgraph::kvtag::String || tag == kavgraph::kvtag::LongString)
            c.texts.push_back(text);
    });
    return c;
}

// Writes the values (into a buffer of Reserve bytes to start with) and reads them back; answers a
// sum of what was read, for the optimiser to keep.
template <typename Values> std::int64_t WriteAndReadBack(const Values &values, std::size_t reserve = 0)
{
    using namespace kavgraph;
    TKVWriter w;
    w.Reserve(reserve);
    values.ForEach([&](std::uint8_t tag, std::int32_t number, const std::string &text) {
        switch (tag) {
        case kvtag::Int8:
        case kvtag::Int16:
        case kvtag::Int32: w.WriteInteger(number); break;
        case kvtag::String:
        case kvtag::LongString: w.WriteString(text); break;
        case kvtag::True:
        case kvtag::False: w.WriteBoolean(number != 0); break;
        case kvtag::List: w.WriteListBegin(); break;
        default: w.WriteListEnd(); break;
        }
    });
    TKVReader r(w.Data());
    std::int64_t sum = 0;
    values.ForEach([&](std::uint8_t tag, std::int32_t, const std::string &) {
        switch (tag) {
        case kvtag::Int8:
        case kvtag::Int16:
        case kvtag::Int32: sum += r.ReadInteger(); break;
        case kvtag::String:
        case kvtag::LongString: sum += std::int64_t(r.ReadString().size()); break;
        case kvtag::True:
        case kvtag::False: sum += r.ReadBoolean(); break;
        case kvtag::List: r.ReadListBegin(); break;
        default:
            sum += r.EndOfList();
            r.ReadListEnd();
            break;
        }
    });
    return sum;
}
