#include "platform/compoundfile/SectorFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cfb::detail {

const uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

Header::Header()
{
    for (uint32_t &d : difat)
        d = FREESECT;
}

void Header::Parse(const uint8_t *b, const std::string &fileName)
{
    if (std::memcmp(b, Signature, 8) != 0 || Get16(b + 28) != 0xFFFE)
        throw EPlatformError(STG_E_INVALIDHEADER, fileName);
    minorVersion = Get16(b + 24);
    majorVersion = Get16(b + 26);
    sectorShift = Get16(b + 30);
    bool sizes = (majorVersion == 3 && sectorShift == 9) || (majorVersion == 4 && sectorShift == 12);
    if (!sizes || Get16(b + 32) != 6 || Get32(b + 56) != MiniStreamCutoff)
        throw EPlatformError(STG_E_INVALIDHEADER, fileName);
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

SectorFile::SectorFile(int fd, std::string path) : fFd(fd), fPath(std::move(path))
{
    struct stat st;
    if (::fstat(fFd, &st) != 0) {
        ::close(fFd);
        throw EPlatformError(STG_E_READFAULT);
    }
    fSize = static_cast<uint64_t>(st.st_size);
}

SectorFile::~SectorFile() { ::close(fFd); }

uint32_t SectorFile::SectorCount() const
{
    uint64_t headerSize = uint64_t(1) << fShift;
    if (fSize <= headerSize)
        return 0;
    uint64_t count = (fSize - headerSize + SectorSize() - 1) >> fShift;
    return count > MAXREGSECT ? MAXREGSECT : static_cast<uint32_t>(count);
}

void SectorFile::ReadAt(uint64_t offset, void *buffer, size_t count) const
{
    auto *out = static_cast<uint8_t *>(buffer);
    while (count > 0) {
        if (offset >= fSize) {
            std::memset(out, 0, count);
            return;
        }
        ssize_t n = ::pread(fFd, out, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EPlatformError(STG_E_READFAULT);
        if (n == 0) {
            std::memset(out, 0, count);
            return;
        }
        out += n, offset += static_cast<uint64_t>(n), count -= static_cast<size_t>(n);
    }
}

void SectorFile::WriteAt(uint64_t offset, const void *buffer, size_t count)
{
    auto *in = static_cast<const uint8_t *>(buffer);
    while (count > 0) {
        ssize_t n = ::pwrite(fFd, in, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EPlatformError(errno == ENOSPC ? STG_E_MEDIUMFULL
                                 : errno == EFBIG ? STG_E_DOCFILETOOLARGE
                                                  : STG_E_WRITEFAULT);
        in += n, offset += static_cast<uint64_t>(n), count -= static_cast<size_t>(n);
        if (offset > fSize)
            fSize = offset;
    }
}

void SectorFile::PadToSector()
{
    uint64_t unit = SectorSize();
    if (fSize % unit == 0)
        return;
    std::vector<uint8_t> zeros(unit - fSize % unit);
    WriteAt(fSize, zeros.data(), zeros.size());
}

void SectorFile::Truncate()
{
    if (::ftruncate(fFd, 0) != 0)
        throw EPlatformError(STG_E_WRITEFAULT);
    fSize = 0;
}

} // namespace cfb::detail
