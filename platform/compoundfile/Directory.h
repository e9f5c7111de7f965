#pragma once
// The directory: 128-byte entries in a FAT chain, and per storage a red-black tree of its
// children in the format's name order. Trees are checked when read; a storage's tree that is
// not a valid red-black tree in that order is rebuilt before it is changed.

#include "platform/compoundfile/AllocationTable.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cfb::detail {

enum EntryType : uint8_t { TypeEmpty = 0, TypeStorage = 1, TypeStream = 2, TypeRoot = 5 };
enum EntryColor : uint8_t { Red = 0, Black = 1 };

struct DirEntry {
    std::u16string name;
    uint8_t type = TypeEmpty;
    uint8_t color = Red;
    uint32_t left = NOSTREAM;
    uint32_t right = NOSTREAM;
    uint32_t child = NOSTREAM;
    uint8_t clsid[16] = {};
    uint32_t stateBits = 0;
    uint64_t created = 0;
    uint64_t modified = 0;
    uint32_t start = 0;
    uint64_t size = 0;

    void Parse(const uint8_t *bytes, bool version3);
    void Serialize(uint8_t *bytes) const;
};

// The upper-cased name: the key of the name order.
std::u16string NameKey(std::u16string_view name);

struct KeyLess {
    bool operator()(const std::u16string &a, const std::u16string &b) const
    {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    }
};

class Directory {
public:
    Directory(Fat &fat, SectorFile &file);

    // Reads every entry and checks the trees: each entry is reached at most once, every link
    // names an entry, and only storages and streams hang in the trees.
    void Load();
    // The directory of a new file: the root entry alone.
    void InitNew();

    DirEntry &operator[](uint32_t id) { return fEntries[id]; }
    const DirEntry &operator[](uint32_t id) const { return fEntries[id]; }
    void MarkDirty(uint32_t id) { fDirty.insert(id); }

    // The child of the storage with that name, or NOSTREAM.
    uint32_t Find(uint32_t storage, std::u16string_view name);
    // The children of the storage in name order.
    std::vector<uint32_t> Children(uint32_t storage);
    // A new entry linked into the storage's tree.
    uint32_t Add(uint32_t storage, DirEntry entry);
    // Unlinks the child from the storage's tree; the entry itself stays until Release.
    void Unlink(uint32_t storage, uint32_t id);
    // Marks the entry free.
    void Release(uint32_t id);

    // Writes the changed entries.
    void Flush();

private:
    struct Index {
        std::map<std::u16string, uint32_t, KeyLess> byName;
        bool validTree = true;
    };
    Index &IndexOf(uint32_t storage);
    void CheckTree(uint32_t storage, Index &index);
    int BlackHeight(uint32_t node) const;
    void Rebuild(uint32_t storage, Index &index);
    uint32_t Build(const std::vector<uint32_t> &ids, size_t lo, size_t hi, int depth, int redDepth);
    void Insert(uint32_t storage, uint32_t node, const std::u16string &key);
    void Replace(uint32_t storage, uint32_t parent, uint32_t oldChild, uint32_t newChild);
    void RotateLeft(uint32_t storage, uint32_t x, uint32_t parent);
    void RotateRight(uint32_t storage, uint32_t x, uint32_t parent);
    uint32_t NewEntry();
    void WriteEntry(uint32_t id);

    Fat &fFat;
    SectorFile &fFile;
    Chain fSectors;
    std::vector<DirEntry> fEntries;
    std::set<uint32_t> fDirty;
    std::unordered_map<uint32_t, std::unique_ptr<Index>> fIndexes;
    uint32_t fFreeHint = 1;
};

} // namespace cfb::detail
