#pragma once
// The typed value encoding of every stream of the diagram library: one tag byte per value, then
// its little-endian payload. Also the line-based text files of the interchange format.

#include "kavgraph/kavgraph_export.h"
#include "platform/core/Exception.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kavgraph {

// A value of the wrong kind ("Invalid property value") or a read past the end of the data
// ("Stream read error"); for text files a malformed number or a missing line.
class KAVGRAPH_EXPORT EKVReadError : public Exception {
public:
    using Exception::Exception;
};

namespace kvtag {
constexpr std::uint8_t EndOfList = 0x00;
constexpr std::uint8_t List = 0x01;
constexpr std::uint8_t Int8 = 0x02;
constexpr std::uint8_t Int16 = 0x03;
constexpr std::uint8_t Int32 = 0x04;
constexpr std::uint8_t String = 0x06;
constexpr std::uint8_t False = 0x08;
constexpr std::uint8_t True = 0x09;
constexpr std::uint8_t LongString = 0x0C;
} // namespace kvtag

extern KAVGRAPH_EXPORT const char *const SInvalidPropertyValue; // "Invalid property value"
extern KAVGRAPH_EXPORT const char *const SReadError;            // "Stream read error"

class KAVGRAPH_EXPORT TKVWriter {
public:
    // Integers in the smallest form that holds them.
    void WriteInteger(std::int32_t value);
    void WriteBoolean(bool value);
    // Up to 255 bytes with a 1-byte length, longer with a 4-byte length.
    void WriteString(std::string_view text);
    void WriteListBegin() { fData.push_back(char(kvtag::List)); }
    void WriteListEnd() { fData.push_back(char(kvtag::EndOfList)); }

    const std::string &Data() const { return fData; }
    std::string TakeData() { return std::move(fData); }
    void Reserve(std::size_t bytes) { fData.reserve(bytes); }

private:
    std::string fData;
};

// Reads from bytes that outlive the reader.
class KAVGRAPH_EXPORT TKVReader {
public:
    explicit TKVReader(std::string_view data) : fData(data) {}
    explicit TKVReader(const char *data) : fData(data) {}
    explicit TKVReader(std::string &&) = delete; // the bytes must outlive the reader

    std::int32_t ReadInteger();
    // True for the true tag, false for any other tag; the tag is consumed either way.
    bool ReadBoolean();
    std::string ReadString();
    void ReadListBegin();
    void ReadListEnd();
    // Whether the next tag ends a list; consumes nothing.
    bool EndOfList();

    std::size_t Position() const { return fPos; }
    std::size_t Remaining() const { return fData.size() - fPos; }

private:
    std::uint8_t ReadTag();
    std::string_view Take(std::size_t n);

    std::string_view fData;
    std::size_t fPos = 0;
};

// Lines of 8-bit text ending in CR LF; several numbers on one line are separated by one blank.
class KAVGRAPH_EXPORT TKVTextWriter {
public:
    void WriteLine(std::string_view text);
    void WriteNumbers(std::initializer_list<std::int32_t> numbers);
    const std::string &Data() const { return fData; }

private:
    std::string fData;
};

class KAVGRAPH_EXPORT TKVTextReader {
public:
    explicit TKVTextReader(std::string_view data) : fData(data) {}
    explicit TKVTextReader(const char *text) : fData(text) {}
    explicit TKVTextReader(std::string &&) = delete; // the text must outlive the reader
    // The next line without its line break (CR LF, LF or CR); past the last line an error.
    std::string ReadLine();
    // A line of exactly `count` decimal numbers (blanks and tabs between them).
    void ReadNumbers(std::int32_t *out, int count);
    std::int32_t ReadNumber();
    bool AtEnd() const { return fPos >= fData.size(); }

private:
    std::string_view fData;
    std::size_t fPos = 0;
};

} // namespace kavgraph
