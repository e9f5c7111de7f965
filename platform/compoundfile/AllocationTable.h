#pragma once
// The allocation tables: the FAT (located through the DIFAT) and the mini FAT. Both are held
// in memory; changed table sectors are written back by Flush. Every chain is checked as it is
// walked: each link must name a sector inside the table and the file, and a chain longer than
// the table has a cycle.

#include "platform/compoundfile/SectorFile.h"

#include <set>
#include <vector>

namespace cfb::detail {

using Chain = std::vector<uint32_t>;

// Entries kept in a sequence of sectors.
class Table {
public:
    uint32_t Size() const { return static_cast<uint32_t>(fEntries.size()); }
    uint32_t operator[](uint32_t index) const { return fEntries[index]; }
    void Set(uint32_t index, uint32_t value);
    // The sectors of the chain starting at start; limit: the first index that is not a valid
    // sector. A corrupt chain gives STG_E_DOCFILECORRUPT.
    Chain Walk(uint32_t start, uint32_t limit) const;
    // The first free entry, or Size() when there is none.
    uint32_t FindFree();
    // Appends one table sector of free entries stored at the given file sector.
    void AddSector(uint32_t location);
    // Keeps the first keep entries of the chain, ends it there and frees the rest.
    void Truncate(Chain &chain, size_t keep);
    const std::vector<uint32_t> &Locations() const { return fLocations; }

    // Reads the table from its sectors (locations must be valid file sectors).
    void Load(const SectorFile &file, std::vector<uint32_t> locations);
    // Writes the changed table sectors.
    void WriteDirty(SectorFile &file);

    explicit Table(uint32_t perSector) : fPerSector(perSector) {}

private:
    uint32_t fPerSector;
    std::vector<uint32_t> fEntries;
    std::vector<uint32_t> fLocations;
    std::set<uint32_t> fDirty;
    uint32_t fFreeHint = 0;
};

// The FAT with its DIFAT: allocation of file sectors.
class Fat {
public:
    explicit Fat(SectorFile &file);

    // Reads the DIFAT and the FAT named by the header.
    void Load();
    // The table of a new file: one FAT sector, stored in sector 0.
    void InitNew();

    uint32_t Next(uint32_t sector) const { return fTable[sector]; }
    // The valid sector numbers are below this.
    uint32_t Limit() const;
    Chain Walk(uint32_t start) const { return fTable.Walk(start, Limit()); }

    // Appends count new sectors to the chain and links them (in memory until Flush).
    void Extend(Chain &chain, uint32_t count);
    // Keeps the first keep sectors of the chain and frees the rest.
    void Truncate(Chain &chain, size_t keep) { fTable.Truncate(chain, keep); }
    void Free(const Chain &chain) { Chain c = chain; Truncate(c, 0); }

    // Writes changed FAT sectors, then changed DIFAT sectors (the header is marked changed).
    void Flush();

private:
    uint32_t AllocateOne();
    void Grow();
    void WriteDifatSector(size_t ordinal);

    SectorFile &fFile;
    Table fTable;
    std::vector<uint32_t> fDifatSectors;
    std::set<size_t> fDirtyDifat;
};

// The mini FAT: allocation of 64-byte sectors inside the mini stream. Its own sectors are
// a FAT chain starting at the header's first mini FAT sector.
class MiniFat {
public:
    MiniFat(Fat &fat, SectorFile &file);

    void Load();
    uint32_t Size() const { return fTable.Size(); }
    // limit: the mini sectors that fit in the mini stream.
    Chain Walk(uint32_t start, uint32_t limit) const { return fTable.Walk(start, limit < Size() ? limit : Size()); }
    // Appends count new mini sectors to the chain; the mini FAT grows as needed.
    void Extend(Chain &chain, uint32_t count);
    void Truncate(Chain &chain, size_t keep) { fTable.Truncate(chain, keep); }
    void Free(const Chain &chain) { Chain c = chain; Truncate(c, 0); }
    void Flush();

private:
    void Grow();

    Fat &fFat;
    SectorFile &fFile;
    Table fTable;
    Chain fSectors;
};

} // namespace cfb::detail
