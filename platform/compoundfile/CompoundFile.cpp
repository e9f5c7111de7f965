// Streams and storages: the top layer of the engine, over the directory and the allocation tables.

#include "platform/compoundfile/CompoundFile.h"

#include "platform/compoundfile/Directory.h"
#include "platform/text/Windows1252.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <unordered_map>
#include <unordered_set>

namespace cfb {

using namespace detail;

namespace {

[[noreturn]] void Fail(HRESULT hr, const std::string &subject = {}) { throw EPlatformError(hr, subject); }
[[noreturn]] void Corrupt() { Fail(STG_E_DOCFILECORRUPT); }

std::string Narrow(std::u16string_view name) { return text::Utf16ToCp1252(name); }

uint64_t CeilDiv(uint64_t a, uint64_t b) { return (a + b - 1) / b; }

// Largest stream a file of this version holds.
uint64_t MaxStreamSize(const Header &h) { return h.majorVersion == 3 ? 0x80000000ull : (uint64_t(1) << 62); }

bool ValidAccess(uint32_t mode) { return (mode & 3) != 3; }

void CheckElementMode(uint32_t mode, bool create)
{
    uint32_t allowed = 0x3 | 0x70 | (create ? STGM_CREATE : 0);
    if ((mode & ~allowed) || !ValidAccess(mode) || (mode & 0x70) != STGM_SHARE_EXCLUSIVE)
        Fail(STG_E_INVALIDFLAG);
}

bool Writes(uint32_t mode) { return (mode & 3) != STGM_READ; }

} // namespace

// The state of one open compound file, shared by its storage and stream objects.
class FileState {
public:
    FileState(std::shared_ptr<OsFile> os, bool writable)
        : file(std::move(os)), fat(file), miniFat(fat, file), dir(fat, file), writable(writable)
    {
    }

    SectorFile file;
    Fat fat;
    MiniFat miniFat;
    Directory dir;
    const bool writable;
    bool broken = false;
    std::unordered_set<uint32_t> open;

    void Load();
    void InitNew(int version);

    // ---- Elements
    void MarkOpen(uint32_t id, const std::u16string &name)
    {
        if (!open.insert(id).second)
            Fail(STG_E_ACCESSDENIED, Narrow(name));
    }
    void Close(uint32_t id)
    {
        open.erase(id);
        streams.erase(id);
    }
    bool AnyOpenIn(uint32_t id);
    void Destroy(uint32_t storage, uint32_t id);

    // ---- Streams
    uint64_t Size(uint32_t id) const { return dir[id].size; }
    size_t Read(uint32_t id, uint64_t pos, void *buffer, size_t count);
    void Write(uint32_t id, uint64_t pos, const void *buffer, size_t count);
    void SetSize(uint32_t id, uint64_t size);

    // Writes changed tables in the order that keeps the file readable: mini FAT, FAT, DIFAT,
    // header, directory entries.
    void Flush();

    // Marks the file broken when a change fails halfway: the tables in memory may then
    // differ from the file, so no further change is made.
    class Change {
    public:
        explicit Change(FileState &f) : fFile(f), fExceptions(std::uncaught_exceptions())
        {
            if (f.broken)
                Fail(STG_E_REVERTED);
        }
        ~Change()
        {
            if (std::uncaught_exceptions() > fExceptions)
                fFile.broken = true;
        }

    private:
        FileState &fFile;
        int fExceptions;
    };

private:
    struct StreamData {
        bool mini = true;
        Chain chain;
        std::vector<uint8_t> cache;
        uint64_t cacheStart = 0;
    };
    std::unordered_map<uint32_t, StreamData> streams;
    bool miniLoaded = false;
    Chain container;

    void LoadMini();
    StreamData &Data(uint32_t id);
    Chain LoadChain(const DirEntry &e, bool mini);
    uint64_t UnitOffset(bool mini, uint32_t unit) const;
    template <class Fn>
    void ForExtents(const StreamData &d, uint64_t pos, size_t count, Fn fn) const;
    void ReadData(const StreamData &d, uint64_t pos, void *buffer, size_t count) const;
    void WriteData(const StreamData &d, uint64_t pos, const void *buffer, size_t count);
    void Zero(const StreamData &d, uint64_t from, uint64_t to);
    void Reserve(uint32_t id, StreamData &d, uint64_t size);
    void ExtendMini(Chain &chain, uint32_t count);
    void MoveToRegular(uint32_t id, StreamData &d, uint64_t newSize);
    void MoveToMini(uint32_t id, StreamData &d, uint64_t newSize);
    void FreePending();
    Chain pendingMiniFree;
};

void FileState::Load()
{
    file.ReadHeader();
    fat.Load();
    dir.Load();
}

void FileState::InitNew(int version)
{
    file.NewHeader(version);
    fat.InitNew();
    dir.InitNew();
    Flush();
}

void FileState::Flush()
{
    file.PadToSector();
    miniFat.Flush();
    fat.Flush();
    file.WriteHeader();
    dir.Flush();
}

// ---- Mini stream ------------------------------------------------------------------------------

void FileState::LoadMini()
{
    if (miniLoaded)
        return;
    miniFat.Load();
    const DirEntry &root = dir[0];
    if (root.size > 0) {
        container = fat.Walk(root.start);
        if (uint64_t(container.size()) * file.SectorSize() < root.size)
            Corrupt();
    }
    miniLoaded = true;
}

uint64_t FileState::UnitOffset(bool mini, uint32_t unit) const
{
    if (!mini)
        return file.SectorOffset(unit);
    uint64_t at = uint64_t(unit) * MiniSectorSize;
    return file.SectorOffset(container[at >> file.SectorShift()]) + (at & (file.SectorSize() - 1));
}

Chain FileState::LoadChain(const DirEntry &e, bool mini)
{
    if (e.size == 0)
        return {};
    Chain chain;
    if (mini) {
        LoadMini();
        uint64_t capacity = uint64_t(container.size()) * (file.SectorSize() / MiniSectorSize);
        chain = miniFat.Walk(e.start, static_cast<uint32_t>(std::min<uint64_t>(capacity, NOSTREAM)));
    } else {
        chain = fat.Walk(e.start);
    }
    if (uint64_t(chain.size()) * (mini ? MiniSectorSize : file.SectorSize()) < e.size)
        Corrupt();
    return chain;
}

FileState::StreamData &FileState::Data(uint32_t id)
{
    auto it = streams.find(id);
    if (it != streams.end())
        return it->second;
    const DirEntry &e = dir[id];
    StreamData d;
    d.mini = e.size < MiniStreamCutoff;
    d.chain = LoadChain(e, d.mini);
    return streams.emplace(id, std::move(d)).first->second;
}

// Calls fn(file offset, offset in the buffer, length) for each run of the range that is
// contiguous in the file.
template <class Fn>
void FileState::ForExtents(const StreamData &d, uint64_t pos, size_t count, Fn fn) const
{
    const uint32_t unit = d.mini ? MiniSectorSize : file.SectorSize();
    uint64_t runOffset = 0;
    size_t runStart = 0, runLength = 0;
    for (size_t done = 0; done < count;) {
        uint64_t at = pos + done;
        uint32_t within = static_cast<uint32_t>(at % unit);
        size_t length = std::min<size_t>(unit - within, count - done);
        uint64_t offset = UnitOffset(d.mini, d.chain[at / unit]) + within;
        if (runLength > 0 && runOffset + runLength == offset) {
            runLength += length;
        } else {
            if (runLength > 0)
                fn(runOffset, runStart, runLength);
            runOffset = offset, runStart = done, runLength = length;
        }
        done += length;
    }
    if (runLength > 0)
        fn(runOffset, runStart, runLength);
}

void FileState::ReadData(const StreamData &d, uint64_t pos, void *buffer, size_t count) const
{
    auto *out = static_cast<uint8_t *>(buffer);
    ForExtents(d, pos, count, [&](uint64_t offset, size_t at, size_t length) { file.ReadAt(offset, out + at, length); });
}

void FileState::WriteData(const StreamData &d, uint64_t pos, const void *buffer, size_t count)
{
    auto *in = static_cast<const uint8_t *>(buffer);
    ForExtents(d, pos, count, [&](uint64_t offset, size_t at, size_t length) { file.WriteAt(offset, in + at, length); });
}

void FileState::Zero(const StreamData &d, uint64_t from, uint64_t to)
{
    static const std::vector<uint8_t> zeros(64 * 1024);
    while (from < to) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(zeros.size(), to - from));
        WriteData(d, from, zeros.data(), n);
        from += n;
    }
}

size_t FileState::Read(uint32_t id, uint64_t pos, void *buffer, size_t count)
{
    uint64_t size = Size(id);
    if (pos >= size || count == 0)
        return 0;
    count = static_cast<size_t>(std::min<uint64_t>(count, size - pos));
    StreamData &d = Data(id);
    // Small reads are served from a window read ahead in one call.
    constexpr size_t Small = 512, Window = 32 * 1024;
    if (count < Small) {
        if (pos < d.cacheStart || pos + count > d.cacheStart + d.cache.size()) {
            d.cache.resize(static_cast<size_t>(std::min<uint64_t>(Window, size - pos)));
            d.cacheStart = pos;
            ReadData(d, pos, d.cache.data(), d.cache.size());
        }
        std::memcpy(buffer, d.cache.data() + (pos - d.cacheStart), count);
        return count;
    }
    ReadData(d, pos, buffer, count);
    return count;
}

// ---- Growth and shrinking ----------------------------------------------------------------------

// Appends mini sectors; the mini stream grows to hold them.
void FileState::ExtendMini(Chain &chain, uint32_t count)
{
    LoadMini();
    size_t first = chain.size();
    miniFat.Extend(chain, count);
    DirEntry &root = dir[0];
    for (size_t i = first; i < chain.size(); ++i) {
        uint64_t end = (uint64_t(chain[i]) + 1) * MiniSectorSize;
        uint64_t sectors = CeilDiv(end, file.SectorSize());
        if (container.size() < sectors) {
            fat.Extend(container, static_cast<uint32_t>(sectors - container.size()));
            root.start = container[0];
            dir.MarkDirty(0);
        }
        if (root.size < end) {
            root.size = end;
            dir.MarkDirty(0);
        }
    }
}

// Makes room for size bytes (the stream's size is not changed).
void FileState::Reserve(uint32_t id, StreamData &d, uint64_t size)
{
    if (d.mini && size >= MiniStreamCutoff) {
        MoveToRegular(id, d, size);
        return;
    }
    DirEntry &e = dir[id];
    uint64_t unit = d.mini ? MiniSectorSize : file.SectorSize();
    uint64_t need = CeilDiv(size, unit);
    if (d.chain.size() >= need)
        return;
    uint32_t more = static_cast<uint32_t>(need - d.chain.size());
    if (d.mini)
        ExtendMini(d.chain, more);
    else
        fat.Extend(d.chain, more);
    if (e.start != d.chain[0]) {
        e.start = d.chain[0];
        dir.MarkDirty(id);
    }
}

// Copies a mini stream into new regular sectors with room for newSize bytes. The entry is
// pointed at them (with its new size) by the caller's Flush; the mini sectors are freed after
// that, by FreePending.
void FileState::MoveToRegular(uint32_t id, StreamData &d, uint64_t newSize)
{
    DirEntry &e = dir[id];
    std::vector<uint8_t> data(static_cast<size_t>(e.size));
    ReadData(d, 0, data.data(), data.size());
    StreamData moved;
    moved.mini = false;
    fat.Extend(moved.chain, static_cast<uint32_t>(CeilDiv(newSize, file.SectorSize())));
    WriteData(moved, 0, data.data(), data.size());
    pendingMiniFree = std::move(d.chain);
    d.mini = false;
    d.chain = std::move(moved.chain);
    e.start = d.chain[0];
    dir.MarkDirty(id);
}

void FileState::FreePending()
{
    if (pendingMiniFree.empty())
        return;
    miniFat.Free(pendingMiniFree);
    pendingMiniFree.clear();
    Flush();
}

// Copies the first newSize (< cutoff) bytes of a regular stream into the mini stream.
void FileState::MoveToMini(uint32_t id, StreamData &d, uint64_t newSize)
{
    DirEntry &e = dir[id];
    std::vector<uint8_t> data(static_cast<size_t>(newSize));
    ReadData(d, 0, data.data(), data.size());
    StreamData moved;
    ExtendMini(moved.chain, static_cast<uint32_t>(CeilDiv(newSize, MiniSectorSize)));
    WriteData(moved, 0, data.data(), data.size());
    Flush();
    Chain old = std::move(d.chain);
    d = std::move(moved);
    e.start = d.chain.empty() ? ENDOFCHAIN : d.chain[0];
    e.size = newSize;
    dir.MarkDirty(id);
    Flush();
    fat.Free(old);
    Flush();
}

void FileState::Write(uint32_t id, uint64_t pos, const void *buffer, size_t count)
{
    if (count == 0)
        return;
    if (pos > MaxStreamSize(file.FileHeader()) || count > MaxStreamSize(file.FileHeader()) - pos)
        Fail(STG_E_DOCFILETOOLARGE);
    StreamData &d = Data(id);
    Change change(*this);
    d.cache.clear();
    DirEntry &e = dir[id];
    uint64_t end = pos + count;
    if (end > e.size) {
        Reserve(id, d, end);
        Zero(d, e.size, pos);
    }
    WriteData(d, pos, buffer, count);
    if (end > e.size) {
        e.size = end;
        dir.MarkDirty(id);
    }
    Flush();
    FreePending();
}

void FileState::SetSize(uint32_t id, uint64_t size)
{
    if (size > MaxStreamSize(file.FileHeader()))
        Fail(STG_E_DOCFILETOOLARGE);
    StreamData &d = Data(id);
    Change change(*this);
    d.cache.clear();
    DirEntry &e = dir[id];
    if (size > e.size) {
        Reserve(id, d, size);
        Zero(d, e.size, size);
        e.size = size;
        dir.MarkDirty(id);
        Flush();
        FreePending();
    } else if (size < e.size) {
        if (!d.mini && size < MiniStreamCutoff) {
            MoveToMini(id, d, size);
            return;
        }
        // The entry forgets the sectors before they are freed.
        e.size = size;
        if (size == 0)
            e.start = ENDOFCHAIN;
        dir.MarkDirty(id);
        Flush();
        size_t keep = static_cast<size_t>(CeilDiv(size, d.mini ? MiniSectorSize : file.SectorSize()));
        if (d.mini)
            miniFat.Truncate(d.chain, keep);
        else
            fat.Truncate(d.chain, keep);
        Flush();
    }
}

// ---- Storages ------------------------------------------------------------------------------------

bool FileState::AnyOpenIn(uint32_t id)
{
    std::vector<uint32_t> pending{id};
    while (!pending.empty()) {
        uint32_t x = pending.back();
        pending.pop_back();
        if (open.count(x))
            return true;
        if (dir[x].type == TypeStorage)
            for (uint32_t child : dir.Children(x))
                pending.push_back(child);
    }
    return false;
}

void FileState::Destroy(uint32_t storage, uint32_t id)
{
    Change change(*this);
    // Unlinked first, so that an interruption leaves lost sectors, never shared ones.
    dir.Unlink(storage, id);
    Flush();
    std::vector<uint32_t> pending{id};
    while (!pending.empty()) {
        uint32_t x = pending.back();
        pending.pop_back();
        const DirEntry &e = dir[x];
        if (e.type == TypeStorage) {
            for (uint32_t child : dir.Children(x))
                pending.push_back(child);
        } else if (e.type == TypeStream) {
            try {
                bool mini = e.size < MiniStreamCutoff;
                Chain chain = LoadChain(e, mini);
                if (mini)
                    miniFat.Free(chain);
                else
                    fat.Free(chain);
            } catch (const EPlatformError &) {
                // A corrupt chain is left alone: its sectors stay lost.
            }
        }
        dir.Release(x);
    }
    Flush();
}

// ---- Opening files -----------------------------------------------------------------------------------

namespace {

void CheckFileMode(uint32_t mode, bool create)
{
    uint32_t allowed = 0x3 | 0x70 | (create ? STGM_CREATE : 0);
    if ((mode & ~allowed) || !ValidAccess(mode) || (mode & 0x70) > STGM_SHARE_DENY_NONE)
        Fail(STG_E_INVALIDFLAG);
}

} // namespace

// ---- Storage ----------------------------------------------------------------------------------------

Storage::Storage(std::shared_ptr<FileState> file, uint32_t entry, bool writable)
    : fFile(std::move(file)), fEntry(entry), fWritable(writable)
{
}

Storage::~Storage() { fFile->Close(fEntry); }

std::unique_ptr<Storage> Storage::Create(std::shared_ptr<OsFile> file, int version)
{
    auto state = std::make_shared<FileState>(std::move(file), true);
    state->InitNew(version);
    state->MarkOpen(0, u"");
    return std::unique_ptr<Storage>(new Storage(state, 0, true));
}

std::unique_ptr<Storage> Storage::Open(std::shared_ptr<OsFile> file, bool writable)
{
    auto state = std::make_shared<FileState>(std::move(file), writable);
    state->Load();
    state->MarkOpen(0, u"");
    return std::unique_ptr<Storage>(new Storage(state, 0, writable));
}

namespace {
void CheckCreate(uint32_t mode, int version)
{
    CheckFileMode(mode, true);
    if (version != 3 && version != 4)
        Fail(STG_E_INVALIDPARAMETER);
    if (!Writes(mode))
        Fail(STG_E_INVALIDFLAG);
}
} // namespace

std::unique_ptr<Storage> Storage::CreateFile(const std::string &path, uint32_t mode, int version)
{
    CheckCreate(mode, version);
    return Create(SectorFile::OpenDisk(path, mode, true, mode & STGM_CREATE), version);
}

std::unique_ptr<Storage> Storage::OpenFile(const std::string &path, uint32_t mode)
{
    CheckFileMode(mode, false);
    return Open(SectorFile::OpenDisk(path, mode, false, false), Writes(mode));
}

std::unique_ptr<Storage> Storage::CreateInMemory(std::shared_ptr<MemoryFile> file, uint32_t mode, int version)
{
    CheckCreate(mode, version);
    return Create(std::move(file), version);
}

std::unique_ptr<Storage> Storage::OpenInMemory(std::shared_ptr<MemoryFile> file, uint32_t mode)
{
    CheckFileMode(mode, false);
    return Open(std::move(file), Writes(mode));
}

std::unique_ptr<Stream> Storage::CreateStream(std::u16string_view name, uint32_t mode)
{
    CheckName(name);
    CheckElementMode(mode, true);
    if (!fWritable)
        Fail(STG_E_ACCESSDENIED, Narrow(name));
    FileState &f = *fFile;
    uint32_t id = f.dir.Find(fEntry, name);
    if (id != NOSTREAM) {
        if (!(mode & STGM_CREATE))
            Fail(STG_E_FILEALREADYEXISTS, Narrow(name));
        if (f.AnyOpenIn(id))
            Fail(STG_E_ACCESSDENIED, Narrow(name));
        if (f.dir[id].type == TypeStream) {
            f.SetSize(id, 0);
        } else {
            f.Destroy(fEntry, id);
            id = NOSTREAM;
        }
    }
    if (id == NOSTREAM) {
        FileState::Change change(f);
        DirEntry e;
        e.name = std::u16string(name);
        e.type = TypeStream;
        e.start = ENDOFCHAIN;
        id = f.dir.Add(fEntry, std::move(e));
        f.Flush();
    }
    f.MarkOpen(id, std::u16string(name));
    return std::unique_ptr<Stream>(new Stream(fFile, id, true));
}

std::unique_ptr<Stream> Storage::OpenStream(std::u16string_view name, uint32_t mode)
{
    CheckName(name);
    CheckElementMode(mode, false);
    if (Writes(mode) && !fWritable)
        Fail(STG_E_ACCESSDENIED, Narrow(name));
    uint32_t id = fFile->dir.Find(fEntry, name);
    if (id == NOSTREAM || fFile->dir[id].type != TypeStream)
        Fail(STG_E_FILENOTFOUND, Narrow(name));
    fFile->MarkOpen(id, std::u16string(name));
    return std::unique_ptr<Stream>(new Stream(fFile, id, Writes(mode)));
}

std::unique_ptr<Storage> Storage::CreateStorage(std::u16string_view name, uint32_t mode)
{
    CheckName(name);
    CheckElementMode(mode, true);
    if (!fWritable)
        Fail(STG_E_ACCESSDENIED, Narrow(name));
    FileState &f = *fFile;
    uint32_t id = f.dir.Find(fEntry, name);
    if (id != NOSTREAM) {
        if (!(mode & STGM_CREATE))
            Fail(STG_E_FILEALREADYEXISTS, Narrow(name));
        if (f.AnyOpenIn(id))
            Fail(STG_E_ACCESSDENIED, Narrow(name));
        f.Destroy(fEntry, id);
    }
    FileState::Change change(f);
    DirEntry e;
    e.name = std::u16string(name);
    e.type = TypeStorage;
    e.start = 0;
    id = f.dir.Add(fEntry, std::move(e));
    f.Flush();
    f.MarkOpen(id, std::u16string(name));
    return std::unique_ptr<Storage>(new Storage(fFile, id, true));
}

std::unique_ptr<Storage> Storage::OpenStorage(std::u16string_view name, uint32_t mode)
{
    CheckName(name);
    CheckElementMode(mode, false);
    if (Writes(mode) && !fWritable)
        Fail(STG_E_ACCESSDENIED, Narrow(name));
    uint32_t id = fFile->dir.Find(fEntry, name);
    if (id == NOSTREAM || fFile->dir[id].type != TypeStorage)
        Fail(STG_E_FILENOTFOUND, Narrow(name));
    fFile->MarkOpen(id, std::u16string(name));
    return std::unique_ptr<Storage>(new Storage(fFile, id, Writes(mode)));
}

void Storage::DestroyElement(std::u16string_view name)
{
    CheckName(name);
    if (!fWritable)
        Fail(STG_E_ACCESSDENIED, Narrow(name));
    uint32_t id = fFile->dir.Find(fEntry, name);
    if (id == NOSTREAM)
        Fail(STG_E_FILENOTFOUND, Narrow(name));
    if (fFile->AnyOpenIn(id))
        Fail(STG_E_ACCESSDENIED, Narrow(name));
    fFile->Destroy(fEntry, id);
}

std::vector<ElementInfo> Storage::List() const
{
    std::vector<ElementInfo> list;
    for (uint32_t id : fFile->dir.Children(fEntry)) {
        const DirEntry &e = fFile->dir[id];
        bool stream = e.type == TypeStream;
        list.push_back({e.name, stream ? ElementType::Stream : ElementType::Storage, stream ? e.size : 0});
    }
    return list;
}

// ---- Stream ------------------------------------------------------------------------------------------

Stream::Stream(std::shared_ptr<FileState> file, uint32_t entry, bool writable)
    : fFile(std::move(file)), fEntry(entry), fWritable(writable)
{
}

Stream::~Stream() { fFile->Close(fEntry); }

size_t Stream::Read(void *buffer, size_t count)
{
    size_t n = fFile->Read(fEntry, fPosition, buffer, count);
    fPosition += n;
    return n;
}

size_t Stream::Write(const void *buffer, size_t count)
{
    if (!fWritable)
        Fail(STG_E_ACCESSDENIED);
    fFile->Write(fEntry, fPosition, buffer, count);
    fPosition += count;
    return count;
}

uint64_t Stream::Seek(int64_t offset, Origin origin)
{
    int64_t base = origin == Origin::Begin ? 0 : origin == Origin::Current ? int64_t(fPosition) : int64_t(Size());
    if ((offset < 0 && base + offset < 0) || (offset > 0 && base > INT64_MAX - offset))
        Fail(STG_E_INVALIDFUNCTION);
    fPosition = static_cast<uint64_t>(base + offset);
    return fPosition;
}

uint64_t Stream::Size() const { return fFile->Size(fEntry); }

void Stream::SetSize(uint64_t size)
{
    if (!fWritable)
        Fail(STG_E_ACCESSDENIED);
    fFile->SetSize(fEntry, size);
}

// ---- Probing -------------------------------------------------------------------------------------------

HRESULT IsStorageFile(const std::string &path) { return SectorFile::ProbeDisk(path); }

} // namespace cfb
