#pragma once
// The fixed 8-bit code page of stored names and texts: Windows-1252.
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D are undefined there; they map to the C1 control
// characters of the same value, as Windows' own conversion does, so every byte round-trips.

#include <string>
#include <string_view>

namespace text {

char16_t Cp1252ToUnicode(unsigned char c);
// The byte for a code point; '?' when the code page has none.
unsigned char UnicodeToCp1252(char32_t c, bool *ok = nullptr);

std::u16string Cp1252ToUtf16(std::string_view s);
std::string Utf16ToCp1252(std::u16string_view s);
std::string Cp1252ToUtf8(std::string_view s);
// Invalid UTF-8 sequences and characters outside the code page become '?'.
std::string Utf8ToCp1252(std::string_view s);

} // namespace text
