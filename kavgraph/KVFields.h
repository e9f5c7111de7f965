#pragma once
// Stored records described once: a record's fields in stream order, each with its name, its
// kind and how to get and set it. The same list writes and reads the tagged values, copies one
// record to another and lets a tool dump the record by name, so a field is named in one place.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVStream.h"

#include <cstdint>
#include <span>
#include <string>

namespace kavgraph {

enum TKVFieldKind : std::uint8_t { fkInteger, fkBoolean };

template <typename Record> struct TKVField {
    const char *Name;
    TKVFieldKind Kind;
    std::int32_t (*Get)(const Record &R); // a Boolean as 0 or 1
    void (*Set)(Record &R, std::int32_t Value);
    // Fields of one group are dumped together (a set stored as one Boolean per member).
    const char *Group = nullptr;
};

template <typename Record> void WriteFields(TKVWriter &Writer, const Record &R, std::span<const TKVField<Record>> Fields)
{
    for (const TKVField<Record> &f : Fields) {
        if (f.Kind == fkBoolean)
            Writer.WriteBoolean(f.Get(R) != 0);
        else
            Writer.WriteInteger(f.Get(R));
    }
}

// Each field is set as soon as it is read: a read error keeps the fields read before it.
template <typename Record> void ReadFields(TKVReader &Reader, Record &R, std::span<const TKVField<Record>> Fields)
{
    for (const TKVField<Record> &f : Fields)
        f.Set(R, f.Kind == fkBoolean ? std::int32_t(Reader.ReadBoolean()) : Reader.ReadInteger());
}

template <typename Record> void CopyFields(Record &To, const Record &From, std::span<const TKVField<Record>> Fields)
{
    for (const TKVField<Record> &f : Fields)
        f.Set(To, f.Get(From));
}

} // namespace kavgraph
