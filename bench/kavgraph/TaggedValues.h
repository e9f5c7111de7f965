#pragma once
// A baseline of the file benchmarks: the values of a stream, held in three compact arrays, written
// and read back with the tagged value writer and reader alone.

#include "kavgraph/KVStream.h"

#include <cstdint>
#include <string>
#include <vector>

// The values of a stream, in order: their tags, and the numbers and texts among them.
struct TaggedValues {
    std::vector<std::uint8_t> tags;
    std::vector<std::int32_t> numbers;
    std::vector<std::string> texts;
};

inline TaggedValues ParseTaggedValues(const std::string &stream)
{
    using namespace kavgraph;
    TaggedValues values;
    std::size_t i = 0;
    auto le = [&](int n) {
        std::uint32_t v = 0;
        for (int k = 0; k < n; ++k)
            v |= std::uint32_t(std::uint8_t(stream[i + std::size_t(k)])) << (8 * k);
        i += std::size_t(n);
        return v;
    };
    while (i < stream.size()) {
        const std::uint8_t tag = std::uint8_t(stream[i++]);
        values.tags.push_back(tag);
        switch (tag) {
        case kvtag::Int8: values.numbers.push_back(std::int8_t(le(1))); break;
        case kvtag::Int16: values.numbers.push_back(std::int16_t(le(2))); break;
        case kvtag::Int32: values.numbers.push_back(std::int32_t(le(4))); break;
        case kvtag::String:
        case kvtag::LongString: {
            const std::size_t n = le(tag == kvtag::String ? 1 : 4);
            values.texts.push_back(stream.substr(i, n));
            i += n;
            break;
        }
        default: break;
        }
    }
    return values;
}

// Writes the values (into a buffer of Reserve bytes to start with) and reads them back; answers a
// sum of what was read, for the optimiser to keep.
inline std::int64_t WriteAndReadBack(const TaggedValues &values, std::size_t reserve = 0)
{
    using namespace kavgraph;
    TKVWriter w;
    w.Reserve(reserve);
    std::size_t n = 0, t = 0;
    for (std::uint8_t tag : values.tags) {
        switch (tag) {
        case kvtag::Int8:
        case kvtag::Int16:
        case kvtag::Int32: w.WriteInteger(values.numbers[n++]); break;
        case kvtag::String:
        case kvtag::LongString: w.WriteString(values.texts[t++]); break;
        case kvtag::True:
        case kvtag::False: w.WriteBoolean(tag == kvtag::True); break;
        case kvtag::List: w.WriteListBegin(); break;
        default: w.WriteListEnd(); break;
        }
    }
    TKVReader r(w.Data());
    std::int64_t sum = 0;
    for (std::uint8_t tag : values.tags) {
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
    }
    return sum;
}
