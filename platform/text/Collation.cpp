// The Windows-style collation of Windows-1252 strings.

#include "platform/text/Collation.h"

#include <array>
#include <cstdint>

namespace text {

namespace {

// Collation elements of one byte. primary 0 = ignorable at the first two levels
// (hyphen, apostrophe, soft hyphen, control characters). A byte may expand to two
// elements (æ -> a e, ß -> s s, œ -> o e).
struct Element {
    uint16_t primary = 0;
    uint16_t primary2 = 0;  // second element of an expansion, 0 when none
    uint8_t secondary = 0;  // accent weight
    uint8_t ignorable = 0;  // level-three weight of an ignored character
    uint8_t lower = 0;      // the byte's lower-case form
};

constexpr uint16_t kPunctuation = 0x0100;
constexpr uint16_t kDigit = 0x1000;
constexpr uint16_t kLetter = 0x2000;

uint16_t Letter(char c, int after = 0) { return uint16_t(kLetter + (c - 'a') * 4 + after); }

std::array<Element, 256> BuildTable()
{
    std::array<Element, 256> t{};
    for (int c = 0; c < 256; ++c) {
        Element &e = t[c];
        e.lower = uint8_t(c);
        if (c >= 'A' && c <= 'Z')
            e.lower = uint8_t(c + 32);
        else if ((c >= 0xC0 && c <= 0xDE && c != 0xD7))
            e.lower = uint8_t(c + 32);
        else if (c == 0x8A || c == 0x8C || c == 0x8E)
            e.lower = uint8_t(c + 0x10);
        else if (c == 0x9F)
            e.lower = 0xFF;
    }
    for (int c = 0; c < 256; ++c) {
        Element &e = t[c];
        int l = e.lower;
        if (c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) {
            e.ignorable = uint8_t(c + 1);
        } else if (c == '-' || c == 0xAD) {
            e.ignorable = 0xF0;
        } else if (c == '\'') {
            e.ignorable = 0xF1;
        } else if (c >= '0' && c <= '9') {
            e.primary = uint16_t(kDigit + (c - '0') * 4);
        } else if (l >= 'a' && l <= 'z') {
            e.primary = Letter(char(l));
        } else {
            e.primary = uint16_t(kPunctuation + c);
        }
    }
    // Superscript digits and fractions sort with the digits.
    auto digit = [&](int c, int d, int acc, int d2 = -1) {
        t[c].primary = uint16_t(kDigit + d * 4);
        t[c].secondary = uint8_t(acc);
        if (d2 >= 0)
            t[c].primary2 = uint16_t(kDigit + d2 * 4);
    };
    digit(0xB9, 1, 1);
    digit(0xB2, 2, 1);
    digit(0xB3, 3, 1);
    digit(0xBC, 1, 2, 4);
    digit(0xBD, 1, 2, 2);
    digit(0xBE, 3, 2, 4);
    // Accented letters: base letter, accent as the second level.
    struct Accented { int c; char base; int accent; };
    const Accented accented[] = {
        {0xE0, 'a', 1}, {0xE1, 'a', 2}, {0xE2, 'a', 3}, {0xE3, 'a', 4}, {0xE4, 'a', 5}, {0xE5, 'a', 6},
        {0xE7, 'c', 7}, {0xE8, 'e', 1}, {0xE9, 'e', 2}, {0xEA, 'e', 3}, {0xEB, 'e', 5},
        {0xEC, 'i', 1}, {0xED, 'i', 2}, {0xEE, 'i', 3}, {0xEF, 'i', 5}, {0xF1, 'n', 4},
        {0xF2, 'o', 1}, {0xF3, 'o', 2}, {0xF4, 'o', 3}, {0xF5, 'o', 4}, {0xF6, 'o', 5}, {0xF8, 'o', 8},
        {0xF9, 'u', 1}, {0xFA, 'u', 2}, {0xFB, 'u', 3}, {0xFC, 'u', 5}, {0xFD, 'y', 2}, {0xFF, 'y', 5},
        {0x9A, 's', 9}, {0x9E, 'z', 9}, {0x83, 'f', 10},
    };
    for (const Accented &a : accented) {
        for (int c = 0; c < 256; ++c) {
            if (t[c].lower == a.c) {
                t[c].primary = Letter(a.base);
                t[c].secondary = uint8_t(a.accent);
            }
        }
    }
    auto expand = [&](int lower, char first, char second) {
        for (int c = 0; c < 256; ++c) {
            if (t[c].lower == lower) {
                t[c].primary = Letter(first);
                t[c].primary2 = Letter(second);
                t[c].secondary = 11;
            }
        }
    };
    expand(0xE6, 'a', 'e');
    expand(0x9C, 'o', 'e');
    expand(0xDF, 's', 's');
    for (int c = 0; c < 256; ++c) {
        if (t[c].lower == 0xF0) {  // eth after d
            t[c].primary = Letter('d', 1);
        } else if (t[c].lower == 0xFE) {  // thorn after z
            t[c].primary = Letter('z', 1);
        }
    }
    return t;
}

const std::array<Element, 256> kTable = BuildTable();

// Walks the primary (and with it the secondary) elements of a string, skipping ignorables.
struct Cursor {
    std::string_view s;
    size_t i = 0;
    uint16_t pending = 0;

    // Next element; false at the end.
    bool Next(uint16_t &primary, uint8_t &secondary)
    {
        if (pending) {
            primary = pending;
            secondary = 0;
            pending = 0;
            return true;
        }
        while (i < s.size()) {
            const Element &e = kTable[static_cast<unsigned char>(s[i++])];
            if (!e.primary)
                continue;
            primary = e.primary;
            secondary = e.secondary;
            pending = e.primary2;
            return true;
        }
        return false;
    }
};

int Sign(int v) { return (v > 0) - (v < 0); }

} // namespace

int CompareText(std::string_view a, std::string_view b)
{
    // First level: base characters; the first accent difference is kept for the second.
    Cursor ca{a}, cb{b};
    int accent = 0;
    for (;;) {
        uint16_t pa = 0, pb = 0;
        uint8_t sa = 0, sb = 0;
        bool ha = ca.Next(pa, sa);
        bool hb = cb.Next(pb, sb);
        if (!ha || !hb) {
            if (ha != hb)
                return ha ? 1 : -1;
            break;
        }
        if (pa != pb)
            return pa < pb ? -1 : 1;
        if (!accent && sa != sb)
            accent = sa < sb ? -1 : 1;
    }
    if (accent)
        return accent;
    // Third level: hyphens, apostrophes and other ignored characters, in order.
    size_t i = 0, j = 0;
    for (;;) {
        while (i < a.size() && !kTable[static_cast<unsigned char>(a[i])].ignorable)
            ++i;
        while (j < b.size() && !kTable[static_cast<unsigned char>(b[j])].ignorable)
            ++j;
        bool ha = i < a.size(), hb = j < b.size();
        if (!ha || !hb)
            return Sign(int(ha) - int(hb));
        int ia = kTable[static_cast<unsigned char>(a[i])].ignorable;
        int ib = kTable[static_cast<unsigned char>(b[j])].ignorable;
        if (ia != ib)
            return ia < ib ? -1 : 1;
        if (i != j)
            return i < j ? -1 : 1;  // the earlier ignored character sorts first
        ++i;
        ++j;
    }
}

bool SameTextCp1252(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (kTable[static_cast<unsigned char>(a[i])].lower != kTable[static_cast<unsigned char>(b[i])].lower)
            return false;
    return true;
}

std::string FoldCase(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = static_cast<char>(kTable[static_cast<unsigned char>(c)].lower);
    return out;
}

} // namespace text
