#include "platform/text/Collation.h"
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
