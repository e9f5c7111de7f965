#pragma once
// Helpers of the compound file tests: a temporary folder, file bytes, external commands, and a
// small independent reader of the raw structures to patch and check files.

#include "platform/compoundfile/CompoundFile.h"
#include "platform/text/Unicode.h"
#include "tests/fixtures/TempDir.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace cfbtest {

namespace fs = std::filesystem;

inline std::string ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Deterministic test data.
inline std::string Pattern(size_t size, unsigned seed = 1)
{
    std::string s(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (char &c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

struct CommandResult {
    int status;
    std::string out;
};

// Runs a shell command; stdout captured, stderr appended when mergeStderr (unless the command
// redirects stderr itself).
CommandResult Shell(const std::string &command, bool mergeStderr = false);

bool HaveCommand(const std::string &name);

// Whole stream contents and listing through the engine.
std::string ReadStream(cfb::Storage &storage, const std::u16string &name);
void WriteStream(cfb::Storage &storage, const std::u16string &name, const std::string &data);

// One line per element, "path<TAB>stream<TAB>size" or "path<TAB>storage", depth first.
std::vector<std::string> Listing(cfb::Storage &storage);
// Every stream's bytes by path.
std::vector<std::pair<std::string, std::string>> Contents(cfb::Storage &storage);

// The raw structures of a file, read independently of the engine.
class RawFile {
public:
    explicit RawFile(std::string bytes) : bytes(std::move(bytes)) {}
    std::string bytes;

    uint32_t U32(size_t offset) const;
    void SetU32(size_t offset, uint32_t value);
    uint32_t SectorSize() const { return 1u << (U32(30) & 0xFFFF); }
    size_t SectorOffset(uint32_t sector) const { return (size_t(sector) + 1) * SectorSize(); }
    // Offset of the FAT entry of a sector (all FAT sectors listed in the header).
    size_t FatEntryOffset(uint32_t sector) const;
    uint32_t Fat(uint32_t sector) const { return U32(FatEntryOffset(sector)); }
    size_t MiniFatEntryOffset(uint32_t miniSector) const;
    std::vector<uint32_t> DirSectors() const;
    size_t EntryCount() const { return DirSectors().size() * SectorSize() / 128; }
    size_t EntryOffset(uint32_t id) const;
    std::u16string EntryName(uint32_t id) const;
    uint32_t FindEntry(const std::u16string &name) const;

    // Checks every storage's tree: binary search order by the format's name order, black
    // root, no red node with a red child, equal black heights. Returns the problems found.
    std::vector<std::string> CheckTrees() const;
};

} // namespace cfbtest
