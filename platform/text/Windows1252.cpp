// Windows-1252 to and from UTF-8 and UTF-16.

#include "platform/text/Windows1252.h"

#include "platform/text/Unicode.h"

namespace text {

namespace {
// 0x80..0x9F; the undefined slots keep their own value.
const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char16_t Cp1252ToUnicode(unsigned char c)
{
    if (c >= 0x80 && c < 0xA0)
        return kHigh[c - 0x80];
    return c;
}

unsigned char UnicodeToCp1252(char32_t c, bool *ok)
{
    if (ok)
        *ok = true;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    if (ok)
        *ok = false;
    return '?';
}

std::u16string Cp1252ToUtf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (unsigned char c : s)
        out += Cp1252ToUnicode(c);
    return out;
}

std::string Utf16ToCp1252(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        out += char(UnicodeToCp1252(c));
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    for (unsigned char c : s)
        AppendUtf8(out, Cp1252ToUnicode(c));
    return out;
}

std::string Utf8ToCp1252(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char32_t c;
        out += DecodeUtf8(s, i, c) ? char(UnicodeToCp1252(c)) : '?';
    }
    return out;
}

} // namespace text
