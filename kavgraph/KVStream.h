#pragma once
// The typed value encoding of every stream of the diagram library: one tag byte per value, then
// its little-endian payload. Also the line-based text files of the interchange format.

#include "kavgraph/kavgraph_export.h"
#include "platform/core/Exception.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace kavgraph {

/// A value of the wrong kind ("Invalid property value") or a read past the end of the data
/// ("Stream read error"); for text files a malformed number or a missing line.
class KAVGRAPH_EXPORT EKVReadError : public Exception {
public:
    using Exception::Exception;
};

/// The tag bytes of the typed value encoding.
namespace kvtag {
constexpr std::uint8_t EndOfList = 0x00; ///< ends a list
constexpr std::uint8_t List = 0x01; ///< starts a list
constexpr std::uint8_t Int8 = 0x02; ///< an 8-bit integer
constexpr std::uint8_t Int16 = 0x03; ///< a 16-bit integer
constexpr std::uint8_t Int32 = 0x04; ///< a 32-bit integer
constexpr std::uint8_t String = 0x06; ///< a string of up to 255 bytes
constexpr std::uint8_t False = 0x08; ///< the Boolean false
constexpr std::uint8_t True = 0x09; ///< the Boolean true
constexpr std::uint8_t LongString = 0x0C; ///< a string with a 4-byte length
} // namespace kvtag

extern KAVGRAPH_EXPORT const char *const SInvalidPropertyValue; ///< "Invalid property value"
extern KAVGRAPH_EXPORT const char *const SReadError;            ///< "Stream read error"

/// Writes typed values into bytes in memory (graph files, style libraries).
class KAVGRAPH_EXPORT TKVWriter {
public:
    /// Integers in the smallest form that holds them.
    void WriteInteger(std::int32_t value);
    /// One tag byte: true or false.
    void WriteBoolean(bool value);
    /// Up to 255 bytes with a 1-byte length, longer with a 4-byte length.
    void WriteString(std::string_view text);
    /// The start of a list.
    void WriteListBegin() { fData.push_back(char(kvtag::List)); }
    /// The end of a list.
    void WriteListEnd() { fData.push_back(char(kvtag::EndOfList)); }

    /// The bytes written so far.
    const std::string &Data() const { return fData; }
    /// Hands over the bytes written; the writer is left empty.
    std::string TakeData() { return std::move(fData); }
    /// Makes room for that many bytes.
    void Reserve(std::size_t bytes) { fData.reserve(bytes); }

private:
    std::string fData;
};

/// Reads from bytes that outlive the reader.
class KAVGRAPH_EXPORT TKVReader {
public:
    /// Reads data from its first byte.
    explicit TKVReader(std::string_view data) : fData(data) {}
    /// Reads a zero-terminated string's bytes.
    explicit TKVReader(const char *data) : fData(data) {}
    explicit TKVReader(std::string &&) = delete; ///< the bytes must outlive the reader

    /// An integer in any of its three sizes.
    std::int32_t ReadInteger();
    /// True for the true tag, false for any other tag; the tag is consumed either way.
    bool ReadBoolean();
    /// A short or a long string.
    std::string ReadString();
    /// The start of a list, or an error.
    void ReadListBegin();
    /// The end of a list, or an error.
    void ReadListEnd();
    /// Whether the next tag ends a list; consumes nothing.
    bool EndOfList();

    /// The offset of the next byte to read.
    std::size_t Position() const { return fPos; }
    /// The bytes left to read.
    std::size_t Remaining() const { return fData.size() - fPos; }

private:
    std::uint8_t ReadTag();
    std::string_view Take(std::size_t n);

    std::string_view fData;
    std::size_t fPos = 0;
};

/// Lines of 8-bit text ending in CR LF; several numbers on one line are separated by one blank.
class KAVGRAPH_EXPORT TKVTextWriter {
public:
    /// One line with its CR LF.
    void WriteLine(std::string_view text);
    /// One line of decimal numbers separated by blanks.
    void WriteNumbers(std::initializer_list<std::int32_t> numbers);
    /// One line of decimal numbers separated by blanks.
    void WriteNumbers(std::span<const std::int32_t> numbers);
    /// The text written so far.
    const std::string &Data() const { return fData; }

private:
    std::string fData;
};

/// Reads the lines of a text file in memory that outlives the reader.
class KAVGRAPH_EXPORT TKVTextReader {
public:
    /// Reads data from its first line.
    explicit TKVTextReader(std::string_view data) : fData(data) {}
    /// Reads a zero-terminated string's lines.
    explicit TKVTextReader(const char *text) : fData(text) {}
    explicit TKVTextReader(std::string &&) = delete; ///< the text must outlive the reader
    /// The next line without its line break (CR LF, LF or CR); past the last line an error.
    std::string ReadLine();
    /// A line of exactly `count` decimal numbers (blanks and tabs between them).
    void ReadNumbers(std::int32_t *out, int count);
    /// A line holding one decimal number.
    std::int32_t ReadNumber();
    /// Whether every line has been read.
    bool AtEnd() const { return fPos >= fData.size(); }

private:
    std::string_view fData;
    std::size_t fPos = 0;
};

} // namespace kavgraph
