// The in-memory file.

#include "platform/compoundfile/OsFile.h"

#include <algorithm>
#include <cstring>

namespace cfb {

size_t MemoryFile::ReadAt(uint64_t offset, void *buffer, size_t count)
{
    if (offset >= fBytes.size())
        return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, fBytes.size() - offset));
    std::memcpy(buffer, fBytes.data() + offset, n);
    return n;
}

void MemoryFile::WriteAt(uint64_t offset, const void *buffer, size_t count)
{
    if (count == 0)
        return;
    if (offset > fCapacity || count > fCapacity - offset)
        throw EPlatformError(STG_E_MEDIUMFULL);
    if (offset + count > fBytes.size())
        fBytes.resize(static_cast<size_t>(offset + count));
    std::memcpy(fBytes.data() + offset, buffer, count);
}

void MemoryFile::Truncate(uint64_t size)
{
    if (size > fCapacity)
        throw EPlatformError(STG_E_MEDIUMFULL);
    fBytes.resize(static_cast<size_t>(size));
}

} // namespace cfb
