#pragma once
// A compound file (Compound File Binary format) engine: reads versions 3 and 4, creates
// version-3 files, and modifies them in place in direct mode: every write is in the file when
// the call returns, and data sectors reach the file before the tables that point to them.
//
// Failures raise EPlatformError with the Windows status code (Status.h).
// Elements are opened share-exclusive: an element already open gives STG_E_ACCESSDENIED.
// A file open read-write by another open or process gives STG_E_SHAREVIOLATION.
//
// Element names are UTF-16, at most 31 code units, without "/", "\", ":" or "!".

#include "platform/compoundfile/OsFile.h"
#include "platform/compoundfile/Status.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cfb {

// Mode flags (the Windows values).
constexpr uint32_t STGM_READ = 0x0000;
constexpr uint32_t STGM_WRITE = 0x0001;
constexpr uint32_t STGM_READWRITE = 0x0002;
constexpr uint32_t STGM_SHARE_DENY_NONE = 0x0040;
constexpr uint32_t STGM_SHARE_DENY_READ = 0x0030;
constexpr uint32_t STGM_SHARE_DENY_WRITE = 0x0020;
constexpr uint32_t STGM_SHARE_EXCLUSIVE = 0x0010;
constexpr uint32_t STGM_CREATE = 0x1000;

constexpr size_t MaxNameLength = 31;

enum class ElementType { Storage, Stream };

struct ElementInfo {
    std::u16string name;
    ElementType type;
    uint64_t size; // streams only
};

class FileState;

class Stream {
public:
    ~Stream();
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;

    // Reads up to count bytes at the position and advances it; returns the number read
    // (fewer only at the end of the stream).
    size_t Read(void *buffer, size_t count);
    // Writes count bytes at the position (growing the stream) and advances it.
    size_t Write(const void *buffer, size_t count);

    enum class Origin { Begin, Current, End };
    // Returns the new position; a position before the start gives STG_E_INVALIDFUNCTION.
    uint64_t Seek(int64_t offset, Origin origin = Origin::Begin);
    uint64_t Position() const { return fPosition; }
    uint64_t Size() const;
    void SetSize(uint64_t size);

private:
    friend class Storage;
    Stream(std::shared_ptr<FileState> file, uint32_t entry, bool writable);
    std::shared_ptr<FileState> fFile;
    uint32_t fEntry;
    bool fWritable;
    uint64_t fPosition = 0;
};

class Storage {
public:
    // A new compound file. mode: access | share | STGM_CREATE (replace an existing file;
    // without it an existing file gives STG_E_FILEALREADYEXISTS). Version 3 has 512-byte
    // sectors, version 4 4096-byte ones.
    static std::unique_ptr<Storage> CreateFile(const std::string &path, uint32_t mode, int version = 3);
    // An existing compound file.
    static std::unique_ptr<Storage> OpenFile(const std::string &path, uint32_t mode);
    // The same over a file held in memory (tests, fuzz targets): the MemoryFile holds the bytes
    // and stays readable after the storage is gone. Memory files take no locks.
    static std::unique_ptr<Storage> CreateInMemory(std::shared_ptr<MemoryFile> file, uint32_t mode, int version = 3);
    static std::unique_ptr<Storage> OpenInMemory(std::shared_ptr<MemoryFile> file, uint32_t mode);

    ~Storage();
    Storage(const Storage &) = delete;
    Storage &operator=(const Storage &) = delete;

    // With STGM_CREATE an existing element of that name is replaced (a stream is emptied and
    // keeps its directory entry; its sectors are freed); without it STG_E_FILEALREADYEXISTS.
    std::unique_ptr<Stream> CreateStream(std::u16string_view name, uint32_t mode);
    std::unique_ptr<Stream> OpenStream(std::u16string_view name, uint32_t mode);
    std::unique_ptr<Storage> CreateStorage(std::u16string_view name, uint32_t mode);
    std::unique_ptr<Storage> OpenStorage(std::u16string_view name, uint32_t mode);
    // Removes the element (a storage with everything in it) and frees its sectors.
    void DestroyElement(std::u16string_view name);

    // The children in the directory's name order.
    std::vector<ElementInfo> List() const;
    bool Writable() const { return fWritable; }

private:
    static std::unique_ptr<Storage> Create(std::shared_ptr<OsFile> file, int version);
    static std::unique_ptr<Storage> Open(std::shared_ptr<OsFile> file, bool writable);
    Storage(std::shared_ptr<FileState> file, uint32_t entry, bool writable);
    std::shared_ptr<FileState> fFile;
    uint32_t fEntry;
    bool fWritable;
};

// S_OK for a compound file, S_FALSE for another file, STG_E_FILENOTFOUND for a missing one;
// other failures as their status.
HRESULT IsStorageFile(const std::string &path);

// The format's element order: shorter names first, then by upper-cased UTF-16 code units.
int CompareNames(std::u16string_view a, std::u16string_view b);

// STG_E_INVALIDNAME unless the name is a valid element name.
void CheckName(std::u16string_view name);

} // namespace cfb
