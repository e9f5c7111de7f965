#pragma once
// The lowest layer of the engine: the file as a header and a sequence of sectors.
// It reads and writes byte ranges of sectors and knows the file's sector size; it knows
// nothing of chains or tables.

#include "platform/compoundfile/Status.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace cfb::detail {

constexpr uint32_t MAXREGSECT = 0xFFFFFFFA;
constexpr uint32_t DIFSECT = 0xFFFFFFFC;
constexpr uint32_t FATSECT = 0xFFFFFFFD;
constexpr uint32_t ENDOFCHAIN = 0xFFFFFFFE;
constexpr uint32_t FREESECT = 0xFFFFFFFF;
constexpr uint32_t NOSTREAM = 0xFFFFFFFF;

constexpr uint32_t HeaderDifatEntries = 109;
constexpr uint32_t MiniSectorSize = 64;
constexpr uint32_t MiniStreamCutoff = 4096;
constexpr uint32_t DirEntrySize = 128;

inline uint32_t Get32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
inline uint16_t Get16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint64_t Get64(const uint8_t *p) { return Get32(p) | uint64_t(Get32(p + 4)) << 32; }
inline void Put16(uint8_t *p, uint16_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }
inline void Put32(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16), p[3] = uint8_t(v >> 24);
}
inline void Put64(uint8_t *p, uint64_t v) { Put32(p, uint32_t(v)), Put32(p + 4, uint32_t(v >> 32)); }

// The first 512 bytes of the file.
struct Header {
    uint16_t minorVersion = 0x003E;
    uint16_t majorVersion = 3;
    uint16_t sectorShift = 9;
    uint32_t numDirSectors = 0;
    uint32_t numFatSectors = 0;
    uint32_t firstDirSector = ENDOFCHAIN;
    uint32_t firstMiniFatSector = ENDOFCHAIN;
    uint32_t numMiniFatSectors = 0;
    uint32_t firstDifatSector = ENDOFCHAIN;
    uint32_t numDifatSectors = 0;
    uint32_t difat[HeaderDifatEntries];

    Header();
    // STG_E_INVALIDHEADER unless the bytes are a header this engine can read.
    void Parse(const uint8_t *bytes, const std::string &fileName);
    void Serialize(uint8_t *bytes) const;
    uint32_t SectorSize() const { return 1u << sectorShift; }
};

extern const uint8_t Signature[8];

class SectorFile {
public:
    SectorFile(int fd, std::string path);
    ~SectorFile();
    SectorFile(const SectorFile &) = delete;
    SectorFile &operator=(const SectorFile &) = delete;

    const std::string &Path() const { return fPath; }
    uint64_t Size() const { return fSize; }

    void SetSectorShift(uint16_t shift) { fShift = shift; }
    uint32_t SectorSize() const { return 1u << fShift; }
    uint16_t SectorShift() const { return fShift; }
    // Sectors that begin inside the file (a last partial sector counts).
    uint32_t SectorCount() const;
    uint64_t SectorOffset(uint32_t sector) const { return (uint64_t(sector) + 1) << fShift; }

    // Reads exactly count bytes; what lies past the end of the file reads as zeros.
    void ReadAt(uint64_t offset, void *buffer, size_t count) const;
    void WriteAt(uint64_t offset, const void *buffer, size_t count);
    void ReadSector(uint32_t sector, void *buffer) const { ReadAt(SectorOffset(sector), buffer, SectorSize()); }
    void WriteSector(uint32_t sector, const void *buffer) { WriteAt(SectorOffset(sector), buffer, SectorSize()); }
    // Extends a last partial sector with zeros.
    void PadToSector();
    // Empties the file.
    void Truncate();

private:
    int fFd;
    std::string fPath;
    uint64_t fSize = 0;
    uint16_t fShift = 9;
};

} // namespace cfb::detail
