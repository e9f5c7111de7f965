#include "kavgraph/KVStream.h"

#include <charconv>
#include <cstring>

namespace kavgraph {

const char *const SInvalidPropertyValue = "Invalid property value";
const char *const SReadError = "Stream read error";

namespace {

template <typename T> void Append(std::string &out, T value)
{
    char bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = char((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
    out.append(bytes, sizeof(T));
}

template <typename T> T Decode(std::string_view bytes)
{
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        v |= std::uint64_t(std::uint8_t(bytes[i])) << (8 * i);
    return static_cast<T>(v);
}

} // namespace

// ---- TKVWriter ------------------------------------------------------------------------------

void TKVWriter::WriteInteger(std::int32_t value)
{
    if (value >= -128 && value <= 127) {
        fData.push_back(char(kvtag::Int8));
        fData.push_back(char(value));
    } else if (value >= -32768 && value <= 32767) {
        fData.push_back(char(kvtag::Int16));
        Append(fData, std::int16_t(value));
    } else {
        fData.push_back(char(kvtag::Int32));
        Append(fData, value);
    }
}

void TKVWriter::WriteBoolean(bool value) { fData.push_back(char(value ? kvtag::True : kvtag::False)); }

void TKVWriter::WriteString(std::string_view text)
{
    if (text.size() <= 255) {
        fData.push_back(char(kvtag::String));
        fData.push_back(char(text.size()));
    } else {
        fData.push_back(char(kvtag::LongString));
        Append(fData, std::uint32_t(text.size()));
    }
    fData.append(text);
}

// ---- TKVReader ------------------------------------------------------------------------------

std::string_view TKVReader::Take(std::size_t n)
{
    if (n > Remaining())
        throw EKVReadError(SReadError);
    const std::string_view bytes = fData.substr(fPos, n);
    fPos += n;
    return bytes;
}

std::uint8_t TKVReader::ReadTag() { return std::uint8_t(Take(1)[0]); }

std::int32_t TKVReader::ReadInteger()
{
    switch (ReadTag()) {
    case kvtag::Int8: return Decode<std::int8_t>(Take(1));
    case kvtag::Int16: return Decode<std::int16_t>(Take(2));
    case kvtag::Int32: return Decode<std::int32_t>(Take(4));
    default: throw EKVReadError(SInvalidPropertyValue);
    }
}

bool TKVReader::ReadBoolean() { return ReadTag() == kvtag::True; }

std::string TKVReader::ReadString()
{
    std::size_t length = 0;
    switch (ReadTag()) {
    case kvtag::String: length = std::uint8_t(Take(1)[0]); break;
    case kvtag::LongString: length = Decode<std::uint32_t>(Take(4)); break;
    default: throw EKVReadError(SInvalidPropertyValue);
    }
    return std::string(Take(length)); // checked against the bytes left before allocating
}

void TKVReader::ReadListBegin()
{
    if (ReadTag() != kvtag::List)
        throw EKVReadError(SInvalidPropertyValue);
}

void TKVReader::ReadListEnd()
{
    if (ReadTag() != kvtag::EndOfList)
        throw EKVReadError(SInvalidPropertyValue);
}

bool TKVReader::EndOfList()
{
    if (Remaining() == 0)
        throw EKVReadError(SReadError);
    return std::uint8_t(fData[fPos]) == kvtag::EndOfList;
}

// ---- Text files ----------------------------------------------------------------------------

void TKVTextWriter::WriteLine(std::string_view text)
{
    fData.append(text);
    fData.append("\r\n");
}

void TKVTextWriter::WriteNumbers(std::initializer_list<std::int32_t> numbers)
{
    WriteNumbers(std::span<const std::int32_t>(numbers.begin(), numbers.size()));
}

void TKVTextWriter::WriteNumbers(std::span<const std::int32_t> numbers)
{
    bool first = true;
    for (std::int32_t n : numbers) {
        if (!first)
            fData.push_back(' ');
        fData += std::to_string(n);
        first = false;
    }
    fData.append("\r\n");
}

std::string TKVTextReader::ReadLine()
{
    if (AtEnd())
        throw EKVReadError("Read beyond end of file");
    std::size_t end = fPos;
    while (end < fData.size() && fData[end] != '\r' && fData[end] != '\n')
        ++end;
    std::string line(fData.substr(fPos, end - fPos));
    fPos = end;
    if (fPos < fData.size() && fData[fPos] == '\r')
        ++fPos;
    if (fPos < fData.size() && fData[fPos] == '\n')
        ++fPos;
    return line;
}

void TKVTextReader::ReadNumbers(std::int32_t *out, int count)
{
    const std::string line = ReadLine();
    const char *p = line.data();
    const char *end = p + line.size();
    auto skipBlanks = [&] {
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
    };
    for (int i = 0; i < count; ++i) {
        skipBlanks();
        if (p < end && *p == '+')
            ++p;
        const auto [next, ec] = std::from_chars(p, end, out[i]);
        if (ec != std::errc())
            throw EKVReadError("Invalid numeric input");
        p = next;
    }
    skipBlanks();
    if (p != end)
        throw EKVReadError("Invalid numeric input");
}

std::int32_t TKVTextReader::ReadNumber()
{
    std::int32_t n = 0;
    ReadNumbers(&n, 1);
    return n;
}

} // namespace kavgraph
