// kvgraph's reading and writing of whole files and of standard output, with the failures named.

#include "tools/kvgraph/Files.h"

#include "platform/text/Windows1252.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

QString Path(const std::string &arg) { return QString::fromLocal8Bit(arg.c_str()); }

namespace {

// The device's account of a failure; where it has none, the system's, taken before anything
// else can change errno.
std::string Reason(const QFileDevice &file, int error = 0)
{
    const QString reason = file.errorString();
    if (error != 0 && (reason.isEmpty() || reason == QLatin1String("Unknown error")))
        return std::strerror(error);
    return text::Utf8ToCp1252(reason.toStdString());
}

} // namespace

QByteArray ReadInput(const std::string &file)
{
    QFile f(Path(file));
    if (!f.open(QIODevice::ReadOnly))
        throw FileError(file, "Cannot open file: " + Reason(f));
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw FileError(file, "Cannot read file: " + Reason(f));
    return bytes;
}

void WriteStdout(std::string_view text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        const int error = errno;
        std::clearerr(stdout);
        throw FileError("standard output", std::string("Cannot write: ") + std::strerror(error));
    }
}

void WriteOutput(const std::string &file, std::string_view bytes)
{
    if (file == kStdout) {
        WriteStdout(bytes);
        return;
    }
    QSaveFile f(Path(file));
    if (!f.open(QIODevice::WriteOnly))
        throw FileError(file, "Cannot create file: " + Reason(f));
    // commit() flushes and closes: a disk that fills up fails here at the latest, and the target
    // is then left as it was.
    errno = 0;
    if (f.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !f.flush() || !f.commit())
        throw FileError(file, "Cannot write file: " + Reason(f, errno));
}

void Warn(const std::string &file, const std::string &cp1252Message)
{
    std::cerr << "kvgraph: " << file << ": warning: " << text::Cp1252ToUtf8(cp1252Message) << std::endl;
}

QByteArray PngBytes(const QImage &image, const std::string &file)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        throw FileError(file, "Cannot encode the picture");
    return bytes;
}

int ScaleArgument(const std::string &command, const std::string &value)
{
    std::size_t used = 0;
    int scale = 0;
    try {
        scale = std::stoi(value, &used);
    } catch (const std::exception &) {
        used = 0;
    }
    if (used == 0 || used != value.size() || scale < 1 || scale > 10000)
        throw UsageError(command + ": --scale needs a percentage from 1 to 10000, not '" + value + "'");
    return scale;
}
