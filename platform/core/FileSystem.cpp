// Files and folders through POSIX.

#include "platform/core/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fsys {

Kind KindOf(const std::string &path)
{
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return Kind::Missing;
    return S_ISREG(st.st_mode) ? Kind::File : S_ISDIR(st.st_mode) ? Kind::Directory : Kind::Other;
}

bool MayWrite(const std::string &path) { return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0; }

int CreateDirectory(const std::string &path) { return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno; }

TimeResult LastWriteTime(const std::string &path, std::time_t &time)
{
    // Without blocking: a FIFO must not hang the question.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return TimeResult::CannotOpen;
    struct stat st;
    int rc = ::fstat(fd, &st);
    ::close(fd);
    if (rc != 0)
        return TimeResult::NoTime;
    time = st.st_mtime;
    return TimeResult::Ok;
}

} // namespace fsys
