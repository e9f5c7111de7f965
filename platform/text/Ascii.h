#pragma once
// Comparison that ignores the letter case of ASCII letters only: for keywords, switches and names
// whose other bytes must match exactly. Names shown to users compare with CompareText (Collation.h).

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; }

inline std::string AsciiLowerCase(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = AsciiLower(c);
    return out;
}

// <0, 0 or >0, bytes compared unsigned after lower-casing ASCII letters.
inline int AsciiCompareText(std::string_view a, std::string_view b)
{
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(AsciiLower(a[i])), y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

inline bool AsciiSameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

} // namespace text
