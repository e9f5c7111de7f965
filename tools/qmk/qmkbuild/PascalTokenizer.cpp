#include "tools/qmk/qmkbuild/PascalTokenizer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace qmkbuild {

namespace {

struct KeywordEntry {
    std::string_view word; // lower case
    Keyword keyword;
};

// Sorted by word.
constexpr std::array kKeywords{
    KeywordEntry{"abstract", Keyword::Abstract},
    KeywordEntry{"array", Keyword::Array},
    KeywordEntry{"automated", Keyword::Automated},
    KeywordEntry{"begin", Keyword::Begin},
    KeywordEntry{"bitpacked", Keyword::BitPacked},
    KeywordEntry{"case", Keyword::Case},
    KeywordEntry{"class", Keyword::Class},
    KeywordEntry{"const", Keyword::Const},
    KeywordEntry{"constructor", Keyword::Constructor},
    KeywordEntry{"cppclass", Keyword::CppClass},
    KeywordEntry{"default", Keyword::Default},
    KeywordEntry{"destructor", Keyword::Destructor},
    KeywordEntry{"dispinterface", Keyword::DispInterface},
    KeywordEntry{"end", Keyword::End},
    KeywordEntry{"exports", Keyword::Exports},
    KeywordEntry{"file", Keyword::File},
    KeywordEntry{"finalization", Keyword::Finalization},
    KeywordEntry{"function", Keyword::Function},
    KeywordEntry{"generic", Keyword::Generic},
    KeywordEntry{"helper", Keyword::Helper},
    KeywordEntry{"implementation", Keyword::Implementation},
    KeywordEntry{"initialization", Keyword::Initialization},
    KeywordEntry{"interface", Keyword::Interface},
    KeywordEntry{"javaclass", Keyword::JavaClass},
    KeywordEntry{"javainterface", Keyword::JavaInterface},
    KeywordEntry{"label", Keyword::Label},
    KeywordEntry{"library", Keyword::Library},
    KeywordEntry{"objccategory", Keyword::ObjcCategory},
    KeywordEntry{"objcclass", Keyword::ObjcClass},
    KeywordEntry{"objcprotocol", Keyword::ObjcProtocol},
    KeywordEntry{"object", Keyword::Object},
    KeywordEntry{"of", Keyword::Of},
    KeywordEntry{"operator", Keyword::Operator},
    KeywordEntry{"package", Keyword::Package},
    KeywordEntry{"packed", Keyword::Packed},
    KeywordEntry{"private", Keyword::Private},
    KeywordEntry{"procedure", Keyword::Procedure},
    KeywordEntry{"program", Keyword::Program},
    KeywordEntry{"property", Keyword::Property},
    KeywordEntry{"protected", Keyword::Protected},
    KeywordEntry{"public", Keyword::Public},
    KeywordEntry{"published", Keyword::Published},
    KeywordEntry{"record", Keyword::Record},
    KeywordEntry{"reference", Keyword::Reference},
    KeywordEntry{"resourcestring", Keyword::ResourceString},
    KeywordEntry{"sealed", Keyword::Sealed},
    KeywordEntry{"set", Keyword::Set},
    KeywordEntry{"specialize", Keyword::Specialize},
    KeywordEntry{"strict", Keyword::Strict},
    KeywordEntry{"then", Keyword::Then},
    KeywordEntry{"threadvar", Keyword::ThreadVar},
    KeywordEntry{"to", Keyword::To},
    KeywordEntry{"type", Keyword::Type},
    KeywordEntry{"unit", Keyword::Unit},
    KeywordEntry{"uses", Keyword::Uses},
    KeywordEntry{"var", Keyword::Var},
};

constexpr size_t kLongestKeyword = 14;

// The keywords by first letter: most identifiers are no keyword, and are told so after a
// length check against the few keywords of their first letter.
struct KeywordIndex {
    std::array<std::vector<KeywordEntry>, 26> byLetter;
    KeywordIndex()
    {
        for (const KeywordEntry &e : kKeywords)
            byLetter[size_t(e.word[0] - 'a')].push_back(e);
    }
};

Keyword LookupKeyword(std::string_view word)
{
    static const KeywordIndex index;
    if (word.size() < 2 || word.size() > kLongestKeyword)
        return Keyword::None;
    unsigned char first = static_cast<unsigned char>(word[0]) | 0x20; // ASCII letters to lower case
    if (first < 'a' || first > 'z')
        return Keyword::None;
    for (const KeywordEntry &e : index.byLetter[first - 'a']) {
        if (e.word.size() != word.size())
            continue;
        size_t i = 1;
        while (i < word.size() && (static_cast<unsigned char>(word[i]) | 0x20) == static_cast<unsigned char>(e.word[i]))
            ++i;
        if (i == word.size())
            return e.keyword;
    }
    return Keyword::None;
}

// Character classes by table: the identifier and number loops test every byte of the text.
enum : uint8_t { kLetter = 1, kDigit = 2, kHex = 4 };

constexpr std::array<uint8_t, 256> MakeClasses()
{
    std::array<uint8_t, 256> t{};
    for (int c = 'a'; c <= 'z'; ++c)
        t[size_t(c)] = kLetter;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[size_t(c)] = kLetter;
    t['_'] = kLetter;
    for (int c = '0'; c <= '9'; ++c)
        t[size_t(c)] = kDigit | kHex;
    for (int c = 'a'; c <= 'f'; ++c)
        t[size_t(c)] |= kHex;
    for (int c = 'A'; c <= 'F'; ++c)
        t[size_t(c)] |= kHex;
    return t;
}

constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

inline bool IsLetter(unsigned char c) { return kClasses[c] & kLetter; }
inline bool IsDigit(unsigned char c) { return kClasses[c] & kDigit; }
inline bool IsHexDigit(unsigned char c) { return kClasses[c] & kHex; }
inline bool IsWordChar(unsigned char c) { return kClasses[c] & (kLetter | kDigit); }

} // namespace

bool IsReserved(Keyword k)
{
    return k != Keyword::None && k < Keyword::Package;
}

std::vector<Token> Tokenize(std::string_view s, uint16_t file, bool stopAtImplementation)
{
    std::vector<Token> tokens;
    tokens.reserve(s.size() / 3 + 16);
    size_t i = 0;
    const size_t n = s.size();
    int line = 1;
    bool space = false;
    if (s.substr(0, 3) == "\xEF\xBB\xBF")
        i = 3;

    auto countLines = [&](size_t from, size_t to) {
        line += int(std::count(s.begin() + from, s.begin() + to, '\n'));
    };
    auto push = [&](TokenKind kind, size_t from, size_t to, int startLine) __attribute__((always_inline)) {
        tokens.push_back(Token{s.substr(from, to - from), startLine, file, kind, Keyword::None, space});
        space = false;
    };
    // A comment or directive running from `from` (after its opening) to `close`.
    auto skipTo = [&](size_t from, std::string_view close) {
        size_t end = s.find(close, from);
        return end == std::string_view::npos ? n : end;
    };

    while (i < n) {
        unsigned char c = s[i];
        if (c <= ' ') {
            if (c == '\n')
                ++line;
            space = true;
            ++i;
            continue;
        }
        int startLine = line;
        if (c == '{' || (c == '(' && i + 1 < n && s[i + 1] == '*')) {
            bool brace = c == '{';
            size_t open = brace ? i + 1 : i + 2;
            size_t end = skipTo(open, brace ? "}" : "*)");
            if (open < n && s[open] == '$') {
                push(TokenKind::Directive, open + 1, end, startLine);
            } else {
                space = true;
            }
            countLines(open, end);
            i = std::min(n, end + (brace ? 1 : 2));
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '/') {
            size_t end = s.find('\n', i);
            i = end == std::string_view::npos ? n : end;
            space = true;
            continue;
        }
        size_t start = i;
        if (IsLetter(c) || (c == '&' && i + 1 < n && IsLetter(s[i + 1]))) {
            bool escaped = c == '&';
            if (escaped)
                start = ++i;
            while (i < n && IsWordChar(static_cast<unsigned char>(s[i])))
                ++i;
            std::string_view word = s.substr(start, i - start);
            Keyword keyword = escaped ? Keyword::None : LookupKeyword(word);
            tokens.push_back(Token{word, startLine, file, TokenKind::Identifier, keyword, space});
            space = false;
            if (stopAtImplementation && keyword == Keyword::Implementation)
                break;
            continue;
        }
        if (c == '\'' || c == '#') {
            // One piece of a string literal: 'text' (quotes doubled inside) or #code.
            if (c == '\'') {
                ++i;
                while (i < n && s[i] != '\n') {
                    if (s[i] == '\'') {
                        if (i + 1 < n && s[i + 1] == '\'') {
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    ++i;
                }
            } else {
                ++i;
                if (i < n && s[i] == '$') {
                    ++i;
                    while (i < n && IsHexDigit(s[i]))
                        ++i;
                } else {
                    while (i < n && IsDigit(s[i]))
                        ++i;
                }
            }
            push(TokenKind::String, start, i, startLine);
            continue;
        }
        if (IsDigit(c)) {
            while (i < n && IsDigit(s[i]))
                ++i;
            if (i + 1 < n && s[i] == '.' && IsDigit(s[i + 1])) {
                ++i;
                while (i < n && IsDigit(s[i]))
                    ++i;
            }
            if (i < n && (s[i] == 'e' || s[i] == 'E')) {
                size_t j = i + 1;
                if (j < n && (s[j] == '+' || s[j] == '-'))
                    ++j;
                if (j < n && IsDigit(s[j])) {
                    i = j;
                    while (i < n && IsDigit(s[i]))
                        ++i;
                }
            }
            push(TokenKind::Number, start, i, startLine);
            continue;
        }
        if ((c == '$' && i + 1 < n && IsHexDigit(s[i + 1])) || (c == '%' && i + 1 < n && (s[i + 1] == '0' || s[i + 1] == '1')) ||
            (c == '&' && i + 1 < n && s[i + 1] >= '0' && s[i + 1] <= '7')) {
            ++i;
            while (i < n && IsHexDigit(s[i]))
                ++i;
            push(TokenKind::Number, start, i, startLine);
            continue;
        }
        ++i;
        push(TokenKind::Symbol, start, i, startLine);
    }
    Token end;
    end.line = line;
    end.file = file;
    end.spaceBefore = space;
    tokens.push_back(end);
    return tokens;
}

} // namespace qmkbuild
