// The engine's lowest layer: files on disk, the header and whole sectors.

#include "platform/compoundfile/SectorFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cfb::detail {

namespace {

[[noreturn]] void Fail(HRESULT hr, const std::string &subject = {}) { throw EPlatformError(hr, subject); }

HRESULT OpenError(int error, const std::string &path)
{
    switch (error) {
    case ENOENT: {
        size_t slash = path.rfind('/');
        struct stat st;
        if (slash != std::string::npos && slash > 0 && ::stat(path.substr(0, slash).c_str(), &st) != 0)
            return STG_E_PATHNOTFOUND;
        return STG_E_FILENOTFOUND;
    }
    case ENOTDIR: return STG_E_PATHNOTFOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return STG_E_ACCESSDENIED;
    case EMFILE:
    case ENFILE: return STG_E_TOOMANYOPENFILES;
    case EEXIST: return STG_E_FILEALREADYEXISTS;
    default: return STG_E_UNKNOWN;
    }
}

HRESULT WriteError(int error)
{
    return error == ENOSPC ? STG_E_MEDIUMFULL : error == EFBIG ? STG_E_DOCFILETOOLARGE : STG_E_WRITEFAULT;
}

std::string PathSubject(HRESULT hr, const std::string &path)
{
    return hr == STG_E_PATHNOTFOUND ? path.substr(0, path.rfind('/')) : path;
}

bool Writes(uint32_t mode) { return (mode & 3) != 0; }

// A file on disk, through its descriptor.
class DiskFile : public OsFile {
public:
    DiskFile(int fd, std::string path) : fFd(fd), fPath(std::move(path))
    {
        struct stat st;
        if (::fstat(fFd, &st) != 0) {
            ::close(fFd);
            Fail(STG_E_READFAULT);
        }
        fSize = static_cast<uint64_t>(st.st_size);
    }
    ~DiskFile() override { ::close(fFd); }

    const std::string &Name() const override { return fPath; }
    uint64_t Size() const override { return fSize; }

    size_t ReadAt(uint64_t offset, void *buffer, size_t count) override
    {
        auto *out = static_cast<uint8_t *>(buffer);
        size_t done = 0;
        while (done < count) {
            ssize_t n = ::pread(fFd, out + done, count - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                Fail(STG_E_READFAULT);
            if (n == 0)
                break;
            done += static_cast<size_t>(n);
        }
        return done;
    }

    void WriteAt(uint64_t offset, const void *buffer, size_t count) override
    {
        auto *in = static_cast<const uint8_t *>(buffer);
        while (count > 0) {
            ssize_t n = ::pwrite(fFd, in, count, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                Fail(WriteError(errno));
            in += n, offset += static_cast<uint64_t>(n), count -= static_cast<size_t>(n);
            if (offset > fSize)
                fSize = offset;
        }
    }

    void Truncate(uint64_t size) override
    {
        if (::ftruncate(fFd, static_cast<off_t>(size)) != 0)
            Fail(WriteError(errno));
        fSize = size;
    }

private:
    int fFd;
    std::string fPath;
    uint64_t fSize = 0;
};

// Opens the path without blocking (a FIFO would) and refuses what is not a regular file.
int OpenRegular(const std::string &path, int flags)
{
    int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        HRESULT hr = OpenError(errno, path);
        Fail(hr, PathSubject(hr, path));
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        bool directory = S_ISDIR(st.st_mode);
        ::close(fd);
        Fail(directory ? STG_E_ACCESSDENIED : STG_E_INVALIDHEADER, path);
    }
    return fd;
}

void Lock(int fd, uint32_t mode)
{
    int operation;
    if (Writes(mode))
        operation = LOCK_EX;
    else if ((mode & 0x70) == 0x40 || (mode & 0x70) == 0) // deny none
        return;
    else
        operation = LOCK_SH;
    while (::flock(fd, operation | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        int error = errno;
        ::close(fd);
        Fail(error == EWOULDBLOCK ? STG_E_SHAREVIOLATION : STG_E_LOCKVIOLATION);
    }
}

} // namespace

const uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// ---- Header ---------------------------------------------------------------------------------

Header::Header()
{
    for (uint32_t &d : difat)
        d = FREESECT;
}

void Header::Parse(const uint8_t *b, const std::string &fileName)
{
    if (std::memcmp(b, Signature, 8) != 0 || Get16(b + 28) != 0xFFFE)
        Fail(STG_E_INVALIDHEADER, fileName);
    minorVersion = Get16(b + 24);
    majorVersion = Get16(b + 26);
    sectorShift = Get16(b + 30);
    bool sizes = (majorVersion == 3 && sectorShift == 9) || (majorVersion == 4 && sectorShift == 12);
    if (!sizes || Get16(b + 32) != 6 || Get32(b + 56) != MiniStreamCutoff)
        Fail(STG_E_INVALIDHEADER, fileName);
    numDirSectors = Get32(b + 40);
    numFatSectors = Get32(b + 44);
    firstDirSector = Get32(b + 48);
    firstMiniFatSector = Get32(b + 60);
    numMiniFatSectors = Get32(b + 64);
    firstDifatSector = Get32(b + 68);
    numDifatSectors = Get32(b + 72);
    for (uint32_t i = 0; i < HeaderDifatEntries; ++i)
        difat[i] = Get32(b + 76 + 4 * i);
}

void Header::Serialize(uint8_t *b) const
{
    std::memset(b, 0, 512);
    std::memcpy(b, Signature, 8);
    Put16(b + 24, minorVersion);
    Put16(b + 26, majorVersion);
    Put16(b + 28, 0xFFFE);
    Put16(b + 30, sectorShift);
    Put16(b + 32, 6);
    Put32(b + 40, majorVersion == 3 ? 0 : numDirSectors);
    Put32(b + 44, numFatSectors);
    Put32(b + 48, firstDirSector);
    Put32(b + 56, MiniStreamCutoff);
    Put32(b + 60, firstMiniFatSector);
    Put32(b + 64, numMiniFatSectors);
    Put32(b + 68, firstDifatSector);
    Put32(b + 72, numDifatSectors);
    for (uint32_t i = 0; i < HeaderDifatEntries; ++i)
        Put32(b + 76 + 4 * i, difat[i]);
}

// ---- Files on disk ----------------------------------------------------------------------------

std::shared_ptr<OsFile> SectorFile::OpenDisk(const std::string &path, uint32_t mode, bool create, bool replace)
{
    int flags = Writes(mode) ? O_RDWR : O_RDONLY;
    if (create)
        flags |= O_CREAT | (replace ? 0 : O_EXCL);
    int fd = OpenRegular(path, flags);
    Lock(fd, mode);
    return std::make_shared<DiskFile>(fd, path);
}

HRESULT SectorFile::ProbeDisk(const std::string &path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        HRESULT hr = OpenError(errno, path);
        return hr == STG_E_PATHNOTFOUND ? STG_E_FILENOTFOUND : hr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return S_FALSE;
    }
    uint8_t bytes[8];
    ssize_t n;
    do
        n = ::pread(fd, bytes, sizeof bytes, 0);
    while (n < 0 && errno == EINTR);
    bool big = st.st_size >= 512;
    ::close(fd);
    return big && n == 8 && std::memcmp(bytes, Signature, 8) == 0 ? S_OK : S_FALSE;
}

// ---- Sector file ------------------------------------------------------------------------------

SectorFile::SectorFile(std::shared_ptr<OsFile> file) : fFile(std::move(file)) {}

void SectorFile::ReadHeader()
{
    uint8_t bytes[512];
    if (Size() < sizeof bytes)
        Fail(STG_E_INVALIDHEADER, Path());
    ReadAt(0, bytes, sizeof bytes);
    fHeader.Parse(bytes, Path());
    if (Size() < fHeader.SectorSize())
        Fail(STG_E_INVALIDHEADER, Path());
    fHeaderDirty = false;
}

void SectorFile::NewHeader(int version)
{
    fFile->Truncate(0);
    fHeader = Header();
    fHeader.majorVersion = static_cast<uint16_t>(version);
    fHeader.sectorShift = version == 3 ? 9 : 12;
    fHeaderDirty = true;
}

void SectorFile::WriteHeader()
{
    if (!fHeaderDirty)
        return;
    uint8_t bytes[512];
    fHeader.Serialize(bytes);
    WriteAt(0, bytes, sizeof bytes);
    fHeaderDirty = false;
}

uint32_t SectorFile::SectorCount() const
{
    uint64_t headerSize = uint64_t(1) << SectorShift();
    if (Size() <= headerSize)
        return 0;
    uint64_t count = (Size() - headerSize + SectorSize() - 1) >> SectorShift();
    return count > MAXREGSECT ? MAXREGSECT : static_cast<uint32_t>(count);
}

void SectorFile::ReadAt(uint64_t offset, void *buffer, size_t count) const
{
    size_t n = fFile->ReadAt(offset, buffer, count);
    if (n < count)
        std::memset(static_cast<uint8_t *>(buffer) + n, 0, count - n);
}

void SectorFile::WriteAt(uint64_t offset, const void *buffer, size_t count) { fFile->WriteAt(offset, buffer, count); }

void SectorFile::PadToSector()
{
    uint64_t unit = SectorSize();
    if (Size() % unit == 0)
        return;
    std::vector<uint8_t> zeros(unit - Size() % unit);
    WriteAt(Size(), zeros.data(), zeros.size());
}

} // namespace cfb::detail
