#include "platform/compoundfile/AllocationTable.h"

#include <algorithm>

namespace cfb::detail {

namespace {
[[noreturn]] void Corrupt() { throw EPlatformError(STG_E_DOCFILECORRUPT); }
} // namespace

// ---- Table --------------------------------------------------------------------------------

void Table::Set(uint32_t index, uint32_t value)
{
    if (fEntries[index] == value)
        return;
    fEntries[index] = value;
    fDirty.insert(index / fPerSector);
    if (value == FREESECT && index < fFreeHint)
        fFreeHint = index;
}

Chain Table::Walk(uint32_t start, uint32_t limit) const
{
    Chain chain;
    for (uint32_t s = start; s != ENDOFCHAIN; s = fEntries[s]) {
        if (s >= limit || chain.size() >= fEntries.size())
            Corrupt();
        chain.push_back(s);
    }
    return chain;
}

void Table::Truncate(Chain &chain, size_t keep)
{
    for (size_t i = keep; i < chain.size(); ++i)
        Set(chain[i], FREESECT);
    if (keep > 0 && keep < chain.size())
        Set(chain[keep - 1], ENDOFCHAIN);
    if (keep < chain.size())
        chain.resize(keep);
}

uint32_t Table::FindFree()
{
    while (fFreeHint < fEntries.size() && fEntries[fFreeHint] != FREESECT)
        ++fFreeHint;
    return fFreeHint;
}

void Table::AddSector(uint32_t location)
{
    fDirty.insert(static_cast<uint32_t>(fLocations.size()));
    fLocations.push_back(location);
    fEntries.resize(fEntries.size() + fPerSector, FREESECT);
}

void Table::Load(const SectorFile &file, std::vector<uint32_t> locations)
{
    fLocations = std::move(locations);
    fEntries.assign(fLocations.size() * fPerSector, FREESECT);
    std::vector<uint8_t> buffer;
    const uint32_t ss = file.SectorSize();
    // Contiguous table sectors are read in one call.
    for (size_t i = 0; i < fLocations.size();) {
        size_t run = 1;
        while (i + run < fLocations.size() && fLocations[i + run] == fLocations[i] + run)
            ++run;
        buffer.resize(run * ss);
        file.ReadAt(file.SectorOffset(fLocations[i]), buffer.data(), buffer.size());
        for (size_t k = 0; k < run * fPerSector; ++k)
            fEntries[i * fPerSector + k] = Get32(&buffer[4 * k]);
        i += run;
    }
    fDirty.clear();
    fFreeHint = 0;
}

void Table::WriteDirty(SectorFile &file)
{
    std::vector<uint8_t> buffer(size_t(fPerSector) * 4);
    for (uint32_t ordinal : fDirty) {
        for (uint32_t k = 0; k < fPerSector; ++k)
            Put32(&buffer[4 * k], fEntries[size_t(ordinal) * fPerSector + k]);
        file.WriteSector(fLocations[ordinal], buffer.data());
    }
    fDirty.clear();
}

// ---- FAT and DIFAT ----------------------------------------------------------------------------

Fat::Fat(SectorFile &file) : fFile(file), fTable(file.SectorSize() / 4)
{
}

uint32_t Fat::Limit() const { return std::min(fTable.Size(), fFile.SectorCount()); }

void Fat::Load()
{
    const uint32_t perSector = fFile.FileHeader().SectorSize() / 4;
    fTable = Table(perSector);
    const uint32_t fileSectors = fFile.SectorCount();
    const uint32_t count = fFile.FileHeader().numFatSectors;
    if (count == 0 || count > fileSectors)
        Corrupt();
    std::vector<uint32_t> locations;
    locations.reserve(count);
    for (uint32_t i = 0; i < count && i < HeaderDifatEntries; ++i)
        locations.push_back(fFile.FileHeader().difat[i]);
    std::vector<uint8_t> buffer(fFile.FileHeader().SectorSize());
    for (uint32_t s = fFile.FileHeader().firstDifatSector; locations.size() < count;) {
        if (s >= fileSectors || fDifatSectors.size() >= fileSectors)
            Corrupt();
        fFile.ReadSector(s, buffer.data());
        fDifatSectors.push_back(s);
        for (uint32_t k = 0; k + 1 < perSector && locations.size() < count; ++k)
            locations.push_back(Get32(&buffer[4 * k]));
        s = Get32(&buffer[4 * (perSector - 1)]);
    }
    for (uint32_t location : locations)
        if (location >= fileSectors)
            Corrupt();
    fTable.Load(fFile, locations);
    // The table's own sectors are never handed out, whatever their entries say.
    for (uint32_t location : locations)
        if (location < fTable.Size())
            fTable.Set(location, FATSECT);
    for (uint32_t location : fDifatSectors)
        if (location < fTable.Size())
            fTable.Set(location, DIFSECT);
    fFile.FileHeader().numDifatSectors = static_cast<uint32_t>(fDifatSectors.size());
}

void Fat::InitNew()
{
    fTable = Table(fFile.FileHeader().SectorSize() / 4);
    fTable.AddSector(0);
    fTable.Set(0, FATSECT);
    fFile.FileHeader().numFatSectors = 1;
    fFile.FileHeader().difat[0] = 0;
    fFile.MarkHeaderDirty();
}

void Fat::Grow()
{
    const uint32_t perSector = fFile.FileHeader().SectorSize() / 4;
    const uint32_t location = fTable.Size();
    if (uint64_t(location) + 2 * perSector > MAXREGSECT)
        throw EPlatformError(STG_E_DOCFILETOOLARGE);
    // The new FAT sector lies at the first sector it describes.
    fTable.AddSector(location);
    fTable.Set(location, FATSECT);
    const size_t ordinal = fTable.Locations().size() - 1;
    if (ordinal < HeaderDifatEntries) {
        fFile.FileHeader().difat[ordinal] = location;
    } else {
        const size_t index = (ordinal - HeaderDifatEntries) / (perSector - 1);
        if (index == fDifatSectors.size()) {
            uint32_t difatSector = fTable.FindFree();
            fTable.Set(difatSector, DIFSECT);
            fDifatSectors.push_back(difatSector);
            if (index == 0)
                fFile.FileHeader().firstDifatSector = difatSector;
            else
                fDirtyDifat.insert(index - 1);
            fFile.FileHeader().numDifatSectors = static_cast<uint32_t>(fDifatSectors.size());
        }
        fDirtyDifat.insert(index);
    }
    fFile.FileHeader().numFatSectors = static_cast<uint32_t>(ordinal + 1);
    fFile.MarkHeaderDirty();
}

uint32_t Fat::AllocateOne()
{
    uint32_t s = fTable.FindFree();
    if (s == fTable.Size()) {
        Grow();
        s = fTable.FindFree();
    }
    fTable.Set(s, ENDOFCHAIN);
    return s;
}

void Fat::Extend(Chain &chain, uint32_t count)
{
    chain.reserve(chain.size() + count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t s = AllocateOne();
        if (!chain.empty())
            fTable.Set(chain.back(), s);
        chain.push_back(s);
    }
}

void Fat::WriteDifatSector(size_t index)
{
    const uint32_t perSector = fFile.FileHeader().SectorSize() / 4;
    const auto &locations = fTable.Locations();
    std::vector<uint8_t> buffer(fFile.FileHeader().SectorSize());
    for (uint32_t k = 0; k + 1 < perSector; ++k) {
        size_t ordinal = HeaderDifatEntries + index * (perSector - 1) + k;
        Put32(&buffer[4 * k], ordinal < locations.size() ? locations[ordinal] : FREESECT);
    }
    Put32(&buffer[4 * (perSector - 1)], index + 1 < fDifatSectors.size() ? fDifatSectors[index + 1] : ENDOFCHAIN);
    fFile.WriteSector(fDifatSectors[index], buffer.data());
}

void Fat::Flush()
{
    fTable.WriteDirty(fFile);
    for (size_t index : fDirtyDifat)
        WriteDifatSector(index);
    fDirtyDifat.clear();
}

// ---- Mini FAT ---------------------------------------------------------------------------------

MiniFat::MiniFat(Fat &fat, SectorFile &file) : fFat(fat), fFile(file), fTable(file.SectorSize() / 4)
{
}

void MiniFat::Load()
{
    fTable = Table(fFile.FileHeader().SectorSize() / 4);
    fSectors = fFile.FileHeader().firstMiniFatSector == ENDOFCHAIN ? Chain() : fFat.Walk(fFile.FileHeader().firstMiniFatSector);
    fTable.Load(fFile, fSectors);
}

void MiniFat::Grow()
{
    fFat.Extend(fSectors, 1);
    if (fSectors.size() == 1)
        fFile.FileHeader().firstMiniFatSector = fSectors[0];
    fTable.AddSector(fSectors.back());
    fFile.FileHeader().numMiniFatSectors = static_cast<uint32_t>(fSectors.size());
    fFile.MarkHeaderDirty();
}

void MiniFat::Extend(Chain &chain, uint32_t count)
{
    chain.reserve(chain.size() + count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t s = fTable.FindFree();
        if (s == fTable.Size()) {
            Grow();
            s = fTable.FindFree();
        }
        fTable.Set(s, ENDOFCHAIN);
        if (!chain.empty())
            fTable.Set(chain.back(), s);
        chain.push_back(s);
    }
}

void MiniFat::Flush() { fTable.WriteDirty(fFile); }

} // namespace cfb::detail
