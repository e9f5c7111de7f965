#pragma once
// The browser's only access to compound files: storage and stream wrappers, existence probes,
// directory creation, and the primitives from which every stored object is written and read.
// All values are little-endian, without alignment, padding or tags.
//
// Platform failures raise EPlatformError (the status code and its Windows text); short reads
// and writes, failed preconditions and the list size limit raise the fixed reports.

#include "browser/support/L1Lists.h"
#include "browser/support/L1basis.h"
#include "browser/support/L1misc.h"
#include "platform/compoundfile/Status.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace cfb {
class MemoryFile;
class Storage;
class Stream;
} // namespace cfb

// The exception class of the persistent object system.
class E_VDPersistentObjects : public E_Vardelin {
public:
    using E_Vardelin::E_Vardelin;
};

// The three access modes the system uses.
constexpr uint32_t vdModeCreateReadWrite = 0x1012; // create (replace), share-exclusive, read-write
constexpr uint32_t vdModeReadWrite = 0x0012;       // share-exclusive, read-write
constexpr uint32_t vdModeProbe = 0x0010;           // share-exclusive, read-only
constexpr uint32_t vdModeCreateFlag = 0x1000;

// Lists read from streams hold at most this many entries.
constexpr int32_t vdMaxListCount = 100000;

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TRect &) const = default;
};

class IvdPersistentObject;

// A class reference for readers: constructs a new object of the element class.
using TvdPersistentObjectClass = std::function<IvdPersistentObject *()>;
template <class T>
TvdPersistentObjectClass ClassRef()
{
    return [] { return static_cast<IvdPersistentObject *>(new T()); };
}

class TvdStream : public TObject {
public:
    TvdStream();
    ~TvdStream() override;
    TvdStream(const TvdStream &) = delete;
    TvdStream &operator=(const TvdStream &) = delete;

    // The only two operations that touch the platform stream.
    void SafeRead(void *buffer, int32_t count);
    void SafeWrite(const void *buffer, int32_t count);
    // The bytes between the position and the end of the stream.
    int64_t BytesLeft() const;

    void WriteByte(uint8_t value);
    void WriteBoolean(bool value);
    void WriteWord(uint16_t value);
    void WriteInteger(int32_t value);
    void WriteRect(const TRect &value);
    uint8_t ReadByte();
    bool ReadBoolean();
    uint16_t ReadWord();
    int32_t ReadInteger();
    TRect ReadRect();

    // One length byte (0..254), then the characters.
    void WriteShortLongString(const std::string &str);
    std::string ReadShortLongString();

    // Integer count, then each string as ShortLongString; nullptr writes count 0.
    void WriteNonObjectShortStrings(const TStringList *list);
    // Appends; a negative count reads as an empty list.
    void ReadNonObjectShortStrings(TStringList *list);

    // Long form: Integer count, then each attached object's own record; nullptr writes count 0.
    void WriteHomogeneousStringList(const TStringList *list);
    // Appends new objects of the element class under their keys; a negative count reads as an
    // empty list.
    void ReadHomogeneousStringList(TStringList *list, const TvdPersistentObjectClass &elementClass);
    template <class T>
    void ReadHomogeneousStringList(TStringList *list)
    {
        ReadHomogeneousStringList(list, ClassRef<T>());
    }

    // Short form: Word count, no size limit.
    void WriteSmallHomogeneousStringList(const TStringList *list);
    void ReadSmallHomogeneousStringList(TStringList *list, const TvdPersistentObjectClass &elementClass);
    template <class T>
    void ReadSmallHomogeneousStringList(TStringList *list)
    {
        ReadSmallHomogeneousStringList(list, ClassRef<T>());
    }

    cfb::Stream *ComStream() const { return fComStream.get(); }

private:
    friend class TvdStorage;
    std::unique_ptr<cfb::Stream> fComStream;
};

class TvdStorage : public TObject {
public:
    TvdStorage();
    ~TvdStorage() override;
    TvdStorage(const TvdStorage &) = delete;
    TvdStorage &operator=(const TvdStorage &) = delete;

    // A new compound file; asks before creating its missing directory.
    static std::unique_ptr<TvdStorage> CreateStorageFile(const std::string &fileName, uint32_t mode);
    static std::unique_ptr<TvdStorage> OpenStorageFile(const std::string &fileName, uint32_t mode);
    // A new compound file held in memory (tests and fuzz targets).
    static std::unique_ptr<TvdStorage> CreateInMemory(std::shared_ptr<cfb::MemoryFile> file);

    std::unique_ptr<TvdStream> CreateStream(const std::string &name, uint32_t mode);
    std::unique_ptr<TvdStream> OpenStream(const std::string &name, uint32_t mode);
    std::unique_ptr<TvdStorage> CreateSubStorage(const std::string &name, uint32_t mode);
    std::unique_ptr<TvdStorage> OpenSubStorage(const std::string &name, uint32_t mode);
    std::unique_ptr<TvdStorage> OpenOrCreateSubStorage(const std::string &name, uint32_t mode,
                                                       bool createIfMissing);

    // True also when the element exists but is open elsewhere.
    bool SubStorageExists(const std::string &name);
    bool StreamExists(const std::string &name);

    // Opened read-only: its elements can only be opened read-only.
    bool IsReadOnly() const;

    cfb::Storage *ComStorage() const { return fComStorage.get(); }

private:
    // The module's spare wrappers, emptied of any platform reference.
    static TvdStorage *SpareStorage();
    static TvdStream *SpareStream();

    std::unique_ptr<cfb::Storage> fComStorage;
};

// False for a missing file and for a file that is not a compound file.
bool L1IsStorageFile(const std::string &fileName);

// Creates the directory and its missing ancestors; when asking, the user confirms the deepest
// one first (anything but Yes ends in SilentAbort). Paths are native ("/" separated).
void L1CreateDirectoryIfNotExists(const std::string &path, bool ask, const std::string &reason);
// The same for the directory part of a file name.
void CreateDirectoryForFile(const std::string &fileName, bool ask, const std::string &reason);

// The run's unique-string generator: created when the program starts, so its prefix tells runs
// apart by their start time.
const TL1UniqueStringGenerator &UniqueStringGenerator();
