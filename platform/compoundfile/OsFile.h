#pragma once
// What the compound file engine stands on: a file of bytes. The engine's lowest layer (SectorFile)
// opens files on disk itself; a MemoryFile lets tests and fuzz targets run the whole engine
// without touching the disk.

#include "platform/compoundfile/Status.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace cfb {

class OsFile {
public:
    virtual ~OsFile() = default;
    // The name in messages: the path of a file on disk.
    virtual const std::string &Name() const = 0;
    virtual uint64_t Size() const = 0;
    // Reads up to count bytes at offset: fewer only at the end of the file. Failures raise
    // EPlatformError with the status code of the cause.
    virtual size_t ReadAt(uint64_t offset, void *buffer, size_t count) = 0;
    virtual void WriteAt(uint64_t offset, const void *buffer, size_t count) = 0;
    virtual void Truncate(uint64_t size) = 0;
};

// A file held in memory. It takes no locks: each open of it is on its own.
class MemoryFile : public OsFile {
public:
    explicit MemoryFile(std::string bytes = {}, std::string name = "(memory)")
        : fBytes(std::move(bytes)), fName(std::move(name))
    {
    }

    const std::string &Bytes() const { return fBytes; }
    // Writes that would make the file larger than this fail with STG_E_MEDIUMFULL, as on a full
    // disk (what came before them stays written).
    void SetCapacity(uint64_t bytes) { fCapacity = bytes; }

    const std::string &Name() const override { return fName; }
    uint64_t Size() const override { return fBytes.size(); }
    size_t ReadAt(uint64_t offset, void *buffer, size_t count) override;
    void WriteAt(uint64_t offset, const void *buffer, size_t count) override;
    void Truncate(uint64_t size) override;

private:
    std::string fBytes;
    std::string fName;
    uint64_t fCapacity = UINT64_MAX;
};

} // namespace cfb
