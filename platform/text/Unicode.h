#pragma once
// UTF-8 and UTF-16, the encodings of file paths, command lines and element names. The one place
// that encodes and decodes them: invalid input (cut or overlong sequences, lone surrogates, values
// past U+10FFFF) becomes U+FFFD, never a crash or a wrong character.

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the code point at s[i] and moves i past it. An invalid sequence gives false and moves i
// past its first byte only, so the bytes after it are decoded on their own.
bool DecodeUtf8(std::string_view s, std::size_t &i, char32_t &c);
void AppendUtf8(std::string &out, char32_t c);

std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

} // namespace text
