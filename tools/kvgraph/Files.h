#pragma once
// How kvgraph reads its inputs, writes its outputs and reports what went wrong. Every failure that
// concerns a file names it ("kvgraph: FILE: REASON"); "-" as an output is standard output; an output
// that cannot be written completely (a full disk) is a failure, never a success.

#include "platform/core/Exception.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

// A failure concerning one file. The reason is in Windows-1252, as the library's messages are.
class FileError : public Exception {
public:
    FileError(std::string file, std::string reason) : Exception(std::move(reason)), fFile(std::move(file)) {}
    const std::string &File() const { return fFile; }

private:
    std::string fFile; // as given on the command line
};

// A command line that does not fit its command: reported in one line that says what was wrong.
class UsageError : public Exception {
public:
    using Exception::Exception;
};

// The name on the command line that means standard output.
inline constexpr std::string_view kStdout = "-";

QString Path(const std::string &arg);

// The whole file, or a FileError.
QByteArray ReadInput(const std::string &file);

// Writes the whole of Bytes to File (through a temporary file renamed over it when complete) or,
// for "-", to standard output. Anything short of that is a FileError.
void WriteOutput(const std::string &file, std::string_view bytes);
inline void WriteOutput(const std::string &file, const QByteArray &bytes)
{
    WriteOutput(file, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

// Text on standard output, checked.
void WriteStdout(std::string_view text);

// A note on standard error that does not stop the command: "kvgraph: FILE: warning: MESSAGE".
void Warn(const std::string &file, const std::string &cp1252Message);

// Runs F; a library failure that does not name its file yet becomes a FileError for File.
template <typename F> decltype(auto) About(const std::string &file, F &&f)
{
    try {
        return f();
    } catch (const FileError &) {
        throw;
    } catch (const UsageError &) {
        throw;
    } catch (const EAbort &) {
        throw;
    } catch (const Exception &e) {
        throw FileError(file, e.Message());
    } catch (const std::bad_alloc &) {
        throw FileError(file, "Out of memory");
    }
}

class QImage;

// The picture as PNG bytes; File names the output in the failure.
QByteArray PngBytes(const QImage &image, const std::string &file);

// The value of --scale: a percentage from 1 to 10000, else a UsageError for Command.
int ScaleArgument(const std::string &command, const std::string &value);
