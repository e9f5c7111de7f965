// Storages, streams and the stream primitives over the compound file engine.

#include "browser/store/L1StructuredStorage.h"

#include "browser/store/L1PersistentObjects.h"
#include "browser/support/L1DebugWindow.h"
#include "platform/compoundfile/CompoundFile.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Prompts.h"
#include "platform/text/Windows1252.h"

#include <algorithm>

namespace {

// The spare wrappers: an operation that yields a new wrapper fills the spare and hands it over
// only on success, so a failing open never leaks or half-initialises a wrapper.
std::unique_ptr<TvdStorage> gSpareStorage;
std::unique_ptr<TvdStream> gSpareStream;

} // namespace

TvdStorage *TvdStorage::SpareStorage()
{
    if (!gSpareStorage)
        gSpareStorage = std::make_unique<TvdStorage>();
    gSpareStorage->fComStorage.reset();
    return gSpareStorage.get();
}

TvdStream *TvdStorage::SpareStream()
{
    if (!gSpareStream)
        gSpareStream = std::make_unique<TvdStream>();
    gSpareStream->fComStream.reset();
    return gSpareStream.get();
}

namespace {

std::u16string WideName(const std::string &name) { return text::Cp1252ToUtf16(name); }

void CheckCount(int32_t count)
{
    if (count > vdMaxListCount)
        throw E_VDPersistentObjects(
            "Due to safety precautions, the Persistent Objects System has an internal limit of " +
            std::to_string(vdMaxListCount) + "." + CrLf + CrLf +
            "No list or string may exceed this size. The size currently read was: " + std::to_string(count) +
            CrLf + CrLf + "This typically happens if you try to open a wrong version \"database\"," + CrLf +
            "else it is probably a bug. Contact the vendor of this library or program." + CrLf + CrLf +
            "If this is not a bug, but that the context really requires such a big size, contact Vardelin AS.");
}

// Room for the strings of a list: each takes at least its length byte, so no more than the bytes
// left in the stream can hold, whatever the count read says.
void ReserveStrings(TStringList &list, int32_t count, int64_t bytesLeft)
{
    int64_t n = std::min<int64_t>(count, bytesLeft);
    if (n > 0)
        list.SetCapacity(list.Count() + static_cast<int>(n));
}

// Reads count object records; each object is freed again when it fails to read. The list grows
// as records arrive and reserves nothing for the count up front: records nest (a tree node holds
// the list of its sub-nodes), and every level reserving for the count it read before reading
// anything would let a small record claim gigabytes.
void ReadObjects(TvdStream &stream, TStringList &list, int32_t count, const TvdPersistentObjectClass &elementClass)
{
    for (int32_t i = 0; i < count; ++i) {
        std::unique_ptr<IvdPersistentObject> object(elementClass());
        object->ReadFromStream(stream);
        std::string key = object->GetKey();
        list.Add(std::move(key), object.get());
        object.release();
    }
}

void WriteObjects(TvdStream &stream, const TStringList &list)
{
    for (int i = 0; i < list.Count(); ++i) {
        auto *object = dynamic_cast<TvdPersistentObject *>(list.Objects(i));
        CheckPrecondition(object != nullptr, "TvdStream.WriteHomogeneousStringList", "Objects[i] is TvdPersistentObject");
        object->WriteToStream(stream);
    }
}

} // namespace

// ---- TvdStream ----------------------------------------------------------------------------

TvdStream::TvdStream() = default;
TvdStream::~TvdStream() = default;

int64_t TvdStream::BytesLeft() const
{
    if (!fComStream)
        return 0;
    uint64_t size = fComStream->Size(), position = fComStream->Position();
    return position < size ? static_cast<int64_t>(size - position) : 0;
}

void TvdStream::SafeRead(void *buffer, int32_t count)
{
    CheckPrecondition(fComStream != nullptr, "TvdStream.SafeRead", "fComStream<>nil");
    if (count <= 0)
        return;
    size_t actual = fComStream->Read(buffer, static_cast<size_t>(count));
    if (actual != static_cast<size_t>(count))
        UnexpectedError("TvdStream.SafeRead", "Should read " + std::to_string(count) + " bytes, but " +
                                                  std::to_string(actual) + " was read.");
}

void TvdStream::SafeWrite(const void *buffer, int32_t count)
{
    CheckPrecondition(fComStream != nullptr, "TvdStream.SafeWrite", "fComStream<>nil");
    if (count <= 0)
        return;
    size_t actual = fComStream->Write(buffer, static_cast<size_t>(count));
    if (actual != static_cast<size_t>(count))
        UnexpectedError("TvdStream.SafeWrite", "Should write " + std::to_string(count) + " bytes, but " +
                                                   std::to_string(actual) + " was written.");
}

void TvdStream::WriteByte(uint8_t value) { SafeWrite(&value, 1); }

void TvdStream::WriteBoolean(bool value) { WriteByte(value ? 1 : 0); }

void TvdStream::WriteWord(uint16_t value)
{
    uint8_t b[2] = {uint8_t(value), uint8_t(value >> 8)};
    SafeWrite(b, 2);
}

void TvdStream::WriteInteger(int32_t value)
{
    uint32_t v = static_cast<uint32_t>(value);
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    SafeWrite(b, 4);
}

void TvdStream::WriteRect(const TRect &value)
{
    WriteInteger(value.Left);
    WriteInteger(value.Top);
    WriteInteger(value.Right);
    WriteInteger(value.Bottom);
}

uint8_t TvdStream::ReadByte()
{
    uint8_t b;
    SafeRead(&b, 1);
    return b;
}

bool TvdStream::ReadBoolean() { return ReadByte() != 0; }

uint16_t TvdStream::ReadWord()
{
    uint8_t b[2];
    SafeRead(b, 2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

int32_t TvdStream::ReadInteger()
{
    uint8_t b[4];
    SafeRead(b, 4);
    return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

TRect TvdStream::ReadRect()
{
    TRect r;
    r.Left = ReadInteger();
    r.Top = ReadInteger();
    r.Right = ReadInteger();
    r.Bottom = ReadInteger();
    return r;
}

void TvdStream::WriteShortLongString(const std::string &str)
{
    CheckPrecondition(str.size() < 255, "TvdStream.WriteShortLongString", "  Length(i_str) < 255");
    WriteByte(static_cast<uint8_t>(str.size()));
    SafeWrite(str.data(), static_cast<int32_t>(str.size()));
}

std::string TvdStream::ReadShortLongString()
{
    std::string s(ReadByte(), '\0');
    SafeRead(s.data(), static_cast<int32_t>(s.size()));
    return s;
}

void TvdStream::WriteNonObjectShortStrings(const TStringList *list)
{
    if (!list) {
        WriteInteger(0);
        return;
    }
    WriteInteger(list->Count());
    for (int i = 0; i < list->Count(); ++i)
        WriteShortLongString(list->Strings(i));
}

void TvdStream::ReadNonObjectShortStrings(TStringList *list)
{
    int32_t count = ReadInteger();
    CheckCount(count);
    CheckPrecondition(list != nullptr, "TvdStream.ReadNonObjectShortStrings", "e_stringList<>nil");
    ReserveStrings(*list, count, BytesLeft());
    for (int32_t i = 0; i < count; ++i)
        list->Add(ReadShortLongString());
}

void TvdStream::WriteHomogeneousStringList(const TStringList *list)
{
    if (!list) {
        WriteInteger(0);
        return;
    }
    WriteInteger(list->Count());
    WriteObjects(*this, *list);
}

void TvdStream::ReadHomogeneousStringList(TStringList *list, const TvdPersistentObjectClass &elementClass)
{
    int32_t count = ReadInteger();
    CheckCount(count);
    CheckPrecondition(list != nullptr, "TvdStream.ReadHomogeneousStringList", "i_stringList<>nil");
    ReadObjects(*this, *list, count, elementClass);
}

void TvdStream::WriteSmallHomogeneousStringList(const TStringList *list)
{
    if (!list) {
        WriteWord(0);
        return;
    }
    // The count is a Word: a longer list cannot be written in this form.
    CheckPrecondition(list->Count() <= 0xFFFF, "TvdStream.WriteHomogeneousStringList", "Count<=65535");
    WriteWord(static_cast<uint16_t>(list->Count()));
    WriteObjects(*this, *list);
}

void TvdStream::ReadSmallHomogeneousStringList(TStringList *list, const TvdPersistentObjectClass &elementClass)
{
    int32_t count = ReadWord();
    CheckPrecondition(list != nullptr, "TvdStream.ReadHomogeneousStringList", "i_stringList<>nil");
    ReadObjects(*this, *list, count, elementClass);
}

// ---- TvdStorage -------------------------------------------------------------------------

TvdStorage::TvdStorage() = default;
TvdStorage::~TvdStorage() = default;

bool TvdStorage::IsReadOnly() const { return fComStorage && !fComStorage->Writable(); }

std::unique_ptr<TvdStorage> TvdStorage::CreateStorageFile(const std::string &fileName, uint32_t mode)
{
    CreateDirectoryForFile(fileName, true, "This directory is needed to hold the Structured Storage File.");
    SpareStorage()->fComStorage = cfb::Storage::CreateFile(fileName, mode);
    return std::move(gSpareStorage);
}

std::unique_ptr<TvdStorage> TvdStorage::OpenStorageFile(const std::string &fileName, uint32_t mode)
{
    SpareStorage()->fComStorage = cfb::Storage::OpenFile(fileName, mode);
    return std::move(gSpareStorage);
}

std::unique_ptr<TvdStorage> TvdStorage::CreateInMemory(std::shared_ptr<cfb::MemoryFile> file)
{
    SpareStorage()->fComStorage = cfb::Storage::CreateInMemory(std::move(file), vdModeCreateReadWrite);
    return std::move(gSpareStorage);
}

std::unique_ptr<TvdStream> TvdStorage::CreateStream(const std::string &name, uint32_t mode)
{
    CheckPrecondition(fComStorage != nullptr, "TvdStorage.CreateStream", "fComStorage<>nil");
    SpareStream()->fComStream = fComStorage->CreateStream(WideName(name), mode);
    return std::move(gSpareStream);
}

std::unique_ptr<TvdStream> TvdStorage::OpenStream(const std::string &name, uint32_t mode)
{
    TvdStream *result = SpareStream();
    CheckPrecondition(result != nullptr, "TvdStorage.OpenStream", "Result<>nil");
    CheckPrecondition(fComStorage != nullptr, "TvdStorage.OpenStream", "fComStorage<>nil");
    result->fComStream = fComStorage->OpenStream(WideName(name), mode);
    return std::move(gSpareStream);
}

std::unique_ptr<TvdStorage> TvdStorage::CreateSubStorage(const std::string &name, uint32_t mode)
{
    CheckPrecondition(fComStorage != nullptr, "TvdStorage.CreateSubStorage", "fComStorage<>nil");
    SpareStorage()->fComStorage = fComStorage->CreateStorage(WideName(name), mode);
    return std::move(gSpareStorage);
}

std::unique_ptr<TvdStorage> TvdStorage::OpenSubStorage(const std::string &name, uint32_t mode)
{
    CheckPrecondition(fComStorage != nullptr, "TvdStorage.OpenSubStorage", "fComStorage<>nil");
    SpareStorage()->fComStorage = fComStorage->OpenStorage(WideName(name), mode);
    return std::move(gSpareStorage);
}

std::unique_ptr<TvdStorage> TvdStorage::OpenOrCreateSubStorage(const std::string &name, uint32_t mode,
                                                               bool createIfMissing)
{
    if (createIfMissing && !SubStorageExists(name))
        return CreateSubStorage(name, mode | vdModeCreateFlag);
    return OpenSubStorage(name, mode);
}

namespace {
// Opens the element read-only and releases it at once.
template <class Open>
bool Probe(Open open)
{
    try {
        open();
        return true;
    } catch (const EPlatformError &e) {
        if (e.ErrorCode() == cfb::STG_E_ACCESSDENIED)
            return true;
        if (e.ErrorCode() == cfb::STG_E_FILENOTFOUND)
            return false;
        throw;
    }
}
} // namespace

bool TvdStorage::SubStorageExists(const std::string &name)
{
    CheckPrecondition(fComStorage != nullptr, "TvdStorage.SubStorageExists", "fComStorage<>nil");
    return Probe([&] { fComStorage->OpenStorage(WideName(name), vdModeProbe); });
}

bool TvdStorage::StreamExists(const std::string &name)
{
    CheckPrecondition(fComStorage != nullptr, "TvdStorage.StreamExists", "fComStorage<>nil");
    return Probe([&] { fComStorage->OpenStream(WideName(name), vdModeProbe); });
}

// ---- Files and directories ------------------------------------------------------------------

bool L1IsStorageFile(const std::string &fileName)
{
    if (!fsys::IsFile(fileName))
        return false;
    cfb::HRESULT hr = cfb::IsStorageFile(fileName);
    if (hr == cfb::S_OK)
        return true;
    if (hr == cfb::S_FALSE || hr == cfb::STG_E_FILENOTFOUND)
        return false;
    DebugWindow().WriteLine("Problems in L1IsStorageFile, filename:" + fileName);
    if (cfb::Failed(hr))
        throw EPlatformError(hr, fileName);
    UnexpectedError("L1IsStorageFile", "Neither S_OK nor S_False, but success of StgIsStorageFile..." + CrLf + CrLf +
                                           "result was: " + HexStatus(static_cast<uint32_t>(hr)));
}

void L1CreateDirectoryIfNotExists(const std::string &path, bool ask, const std::string &reason)
{
    if (IsBlank(path) || fsys::IsDirectory(path))
        return;
    std::string bare = !path.empty() && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    if (ask) {
        std::string question = "Do you want to create the directory:" + CrLf + bare + "?";
        if (!reason.empty())
            question += CrLf + CrLf + reason;
        if (CurrentPrompts().AskYesNoCancel(question) != PromptAnswer::Yes)
            SilentAbort();
    }
    // The root of the file system cannot be created.
    if (bare.empty())
        UnexpectedError("L1CreateDirectoryIfNotExists", "Can't create directory with name: " + path + ".");
    size_t slash = bare.rfind('/');
    // A name without a separator lies in the current directory; "/x" lies in the root.
    if (slash != std::string::npos) {
        std::string parent = slash == 0 ? std::string("/") : bare.substr(0, slash);
        if (parent == bare)
            UnexpectedError("L1CreateDirectoryIfNotExists", "prePath=i_path (=" + parent + ").");
        L1CreateDirectoryIfNotExists(parent, false, std::string());
    }
    if (int error = fsys::CreateDirectory(bare))
        UnexpectedError("L1CreateDirectoryIfNotExists", "Couldn't create directory: " + path + "." + CrLf + CrLf +
                                                            "GetLastError returned: " +
                                                            HexStatus(static_cast<uint32_t>(error)) + ".");
}

const TL1UniqueStringGenerator &UniqueStringGenerator()
{
    static const TL1UniqueStringGenerator generator;
    return generator;
}

namespace {
// Creates the generator at program start rather than on first use.
[[maybe_unused]] const TL1UniqueStringGenerator &gCreatedAtStart = UniqueStringGenerator();
} // namespace

void CreateDirectoryForFile(const std::string &fileName, bool ask, const std::string &reason)
{
    size_t slash = fileName.rfind('/');
    if (slash == std::string::npos)
        return;
    L1CreateDirectoryIfNotExists(slash == 0 ? std::string("/") : fileName.substr(0, slash), ask, reason);
}
