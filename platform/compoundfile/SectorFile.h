#pragma once
// The lowest layer of the engine and its only contact with the operating system: the file as a
// header and a sequence of sectors. It opens and locks files on disk and turns errno into status
// codes; it owns the header, which the layers above change in place and then mark dirty through
// it, and writes it back when asked. It knows nothing of chains or tables.

#include "platform/compoundfile/OsFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
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
    // Opens a file on disk with the access and share bits of mode: regular files only, opened
    // without blocking (a FIFO cannot hang an open). Read-write opens take an exclusive lock,
    // read-only ones a shared lock (none when they deny nothing), so a file open read-write is
    // open nowhere else. create: make the file, replacing an existing one only when replace.
    static std::shared_ptr<OsFile> OpenDisk(const std::string &path, uint32_t mode, bool create, bool replace);
    // S_OK when the file starts like a compound file, S_FALSE for another file,
    // STG_E_FILENOTFOUND for a missing one, another status when it cannot be read.
    static HRESULT ProbeDisk(const std::string &path);

    explicit SectorFile(std::shared_ptr<OsFile> file);
    SectorFile(const SectorFile &) = delete;
    SectorFile &operator=(const SectorFile &) = delete;

    const std::string &Path() const { return fFile->Name(); }
    uint64_t Size() const { return fFile->Size(); }

    // ---- The header
    // Reads and checks the header of an existing file.
    void ReadHeader();
    // The header of a new file of that version; the file is emptied.
    void NewHeader(int version);
    Header &FileHeader() { return fHeader; }
    const Header &FileHeader() const { return fHeader; }
    // Called after changing the header; WriteHeader then writes it.
    void MarkHeaderDirty() { fHeaderDirty = true; }
    void WriteHeader();

    // ---- Sectors (their size is the header's)
    uint32_t SectorSize() const { return fHeader.SectorSize(); }
    uint16_t SectorShift() const { return fHeader.sectorShift; }
    // Sectors that begin inside the file (a last partial sector counts).
    uint32_t SectorCount() const;
    uint64_t SectorOffset(uint32_t sector) const { return (uint64_t(sector) + 1) << fHeader.sectorShift; }

    // Reads exactly count bytes; what lies past the end of the file reads as zeros.
    void ReadAt(uint64_t offset, void *buffer, size_t count) const;
    void WriteAt(uint64_t offset, const void *buffer, size_t count);
    void ReadSector(uint32_t sector, void *buffer) const { ReadAt(SectorOffset(sector), buffer, SectorSize()); }
    void WriteSector(uint32_t sector, const void *buffer) { WriteAt(SectorOffset(sector), buffer, SectorSize()); }
    // Extends a last partial sector with zeros.
    void PadToSector();

private:
    std::shared_ptr<OsFile> fFile;
    Header fHeader;
    bool fHeaderDirty = false;
};

} // namespace cfb::detail
