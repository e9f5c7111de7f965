#pragma once
// The questions about files and folders that plain code above the platform asks, and the one
// change it makes (creating a folder), so that nothing above this layer calls the operating
// system itself. Paths are native: UTF-8, "/" between folders.

#include <ctime>
#include <string>

namespace fsys {

enum class Kind { Missing, File, Directory, Other };

// What the path names, links followed; Missing also when it cannot be examined.
Kind KindOf(const std::string &path);
inline bool Exists(const std::string &path) { return KindOf(path) != Kind::Missing; }
inline bool IsFile(const std::string &path) { return KindOf(path) == Kind::File; }
inline bool IsDirectory(const std::string &path) { return KindOf(path) == Kind::Directory; }

// Whether this process may write the file (its effective rights).
bool MayWrite(const std::string &path);

// Creates one folder, whose parent must exist. 0 on success, else the errno of the failure.
int CreateDirectory(const std::string &path);

// The last-write time of a file, read from the file opened for reading.
enum class TimeResult { Ok, CannotOpen, NoTime };
TimeResult LastWriteTime(const std::string &path, std::time_t &time);

} // namespace fsys
