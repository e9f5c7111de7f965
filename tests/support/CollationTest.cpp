#include "platform/text/Ascii.h"
#include "platform/text/Collation.h"
#include "platform/text/Unicode.h"
#include "platform/text/Windows1252.h"

#include <gtest/gtest.h>

TEST(Collation, OrderTable)
{
    // Each pair: first sorts strictly before second.
    const std::pair<const char *, const char *> before[] = {
        {"_a", "1a"},          // underscore before digits
        {"a_b", "a1"},         // ... also inside a name
        {"9", "a"},            // digits before letters
        {"abc", "ABD"},        // letter case ignored
        {"coop", "co-op"},     // hyphen only decides when otherwise equal
        {"co-op", "cop"},      // ... otherwise it is ignored
        {"its", "it's"},       // apostrophe likewise
        {"a", "\xE4"},         // a before a-umlaut
        {"\xE4", "b"},         // a-umlaut next to a, before b
        {"\xC9t\xE9", "etf"},  // accents matter less than base letters
        {"TList", "TListBox"}, // prefix first
    };
    for (auto [a, b] : before) {
        EXPECT_LT(text::CompareText(a, b), 0) << a << " < " << b;
        EXPECT_GT(text::CompareText(b, a), 0) << b << " > " << a;
    }
    EXPECT_EQ(text::CompareText("TObject", "tOBJECT"), 0);
    EXPECT_EQ(text::CompareText("\xC4rger", "\xE4RGER"), 0);
    EXPECT_NE(text::CompareText("a-b", "ab"), 0);
}

TEST(Windows1252, RoundTripsAndConversions)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += char(c);
    EXPECT_EQ(text::Utf8ToCp1252(text::Cp1252ToUtf8(all)), all);
    EXPECT_EQ(text::Utf16ToCp1252(text::Cp1252ToUtf16(all)), all);
    EXPECT_EQ(text::Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(text::Utf8ToCp1252("\xE2\x82\xAC x \xE4\xB8\xAD \xFF"), "\x80 x ? ?");
    EXPECT_EQ(text::Utf8ToCp1252("\xC3"), "?");  // cut sequence
}

TEST(Unicode, Utf8AndUtf16)
{
    // Valid text round-trips, including characters outside the basic plane (surrogate pairs).
    const std::string valid = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
    EXPECT_EQ(text::Utf8ToUtf16(valid), u"a\u00E9\u20AC\U0001F600z");
    EXPECT_EQ(text::Utf16ToUtf8(text::Utf8ToUtf16(valid)), valid);

    // Each invalid sequence becomes U+FFFD and decoding goes on after its first byte.
    const std::pair<std::string, std::u16string> invalid[] = {
        {"\xC3", u"\uFFFD"},                          // cut
        {"a\xE2\x82", u"a\uFFFD\uFFFD"},              // cut after a lead byte
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                // overlong "/"
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},      // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
        {"\xFF" "b", u"\uFFFDb"},
    };
    for (const auto &[bytes, expected] : invalid)
        EXPECT_EQ(text::Utf8ToUtf16(bytes), expected) << testing::PrintToString(bytes);

    EXPECT_EQ(text::Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx"); // lone surrogate
    EXPECT_EQ(text::Utf8ToCp1252("\xC0\xAF"), "??"); // the code page conversion decodes the same way
}

TEST(Ascii, CaseInsensitiveCompare)
{
    EXPECT_TRUE(text::AsciiSameText("TObject", "tOBJECT"));
    EXPECT_FALSE(text::AsciiSameText("\xC4rger", "\xE4rger")); // only ASCII letters fold
    EXPECT_FALSE(text::AsciiSameText("ab", "abc"));
    EXPECT_EQ(text::AsciiCompareText("abc", "ABD"), -1);
    EXPECT_EQ(text::AsciiCompareText("ABC", "abc"), 0);
    EXPECT_EQ(text::AsciiCompareText("ab", "a"), 1);
    EXPECT_EQ(text::AsciiCompareText("a\xE4", "a\x41"), 1); // bytes compare unsigned
    EXPECT_EQ(text::AsciiLowerCase("Begin_End9"), "begin_end9");
}
