// The typed value encoding and the text lines of the interchange files.

#include "kavgraph/KVStream.h"

#include <gtest/gtest.h>

using namespace kavgraph;

namespace {

std::string Bytes(std::initializer_list<int> b)
{
    std::string s;
    for (int c : b)
        s.push_back(char(c));
    return s;
}

template <typename F> std::string ErrorOf(F f)
{
    try {
        f();
    } catch (const EKVReadError &e) {
        return e.Message();
    }
    return "no error";
}

TEST(TypedValues, IntegersTakeTheSmallestFormAndReadBack)
{
    const struct {
        std::int32_t value;
        std::string bytes;
    } cases[] = {
        {0, Bytes({2, 0})},
        {127, Bytes({2, 0x7F})},
        {-128, Bytes({2, 0x80})},
        {128, Bytes({3, 0x80, 0})},
        {-129, Bytes({3, 0x7F, 0xFF})},
        {300, Bytes({3, 0x2C, 0x01})},
        {32767, Bytes({3, 0xFF, 0x7F})},
        {-32768, Bytes({3, 0x00, 0x80})},
        {32768, Bytes({4, 0x00, 0x80, 0, 0})},
        {-2147483647 - 1, Bytes({4, 0, 0, 0, 0x80})},
    };
    for (const auto &c : cases) {
        TKVWriter w;
        w.WriteInteger(c.value);
        EXPECT_EQ(w.Data(), c.bytes) << c.value;
        TKVReader r(w.Data());
        EXPECT_EQ(r.ReadInteger(), c.value);
        EXPECT_EQ(r.Remaining(), 0u);
    }
}

TEST(TypedValues, StringsSwitchToTheLongFormAbove255Bytes)
{
    for (std::size_t n : {0u, 255u, 256u, 70000u}) {
        const std::string text(n, 'x');
        TKVWriter w;
        w.WriteString(text);
        const bool longForm = n > 255;
        ASSERT_EQ(w.Data().size(), n + (longForm ? 5 : 2));
        EXPECT_EQ(std::uint8_t(w.Data()[0]), longForm ? 0x0C : 0x06);
        if (longForm) {
            EXPECT_EQ(w.Data().substr(1, 4), std::string({char(n & 0xFF), char((n >> 8) & 0xFF), char(n >> 16), 0}));
        }
        TKVReader r(w.Data());
        EXPECT_EQ(r.ReadString(), text);
    }
}

TEST(TypedValues, BooleansListsAndPeeking)
{
    const std::string bytes = Bytes({9, 8, 2, 1, 0, 0});
    TKVReader r(bytes);
    EXPECT_TRUE(r.ReadBoolean());
    EXPECT_FALSE(r.ReadBoolean());
    EXPECT_FALSE(r.ReadBoolean()) << "any other tag reads as false and is consumed";
    EXPECT_EQ(r.Position(), 3u);
    r.ReadListBegin();
    EXPECT_TRUE(r.EndOfList());
    EXPECT_TRUE(r.EndOfList()) << "peeking consumes nothing";
    r.ReadListEnd();
    EXPECT_EQ(ErrorOf([&] { r.ReadListEnd(); }), "no error");
    EXPECT_EQ(ErrorOf([&] { r.EndOfList(); }), "Stream read error");
}

TEST(TypedValues, WrongKindsAndShortDataFailWithTheirMessages)
{
    const struct {
        std::string bytes;
        int read; // 0 integer, 1 string, 2 list begin, 3 list end
        const char *message;
    } cases[] = {
        {Bytes({6, 1, 'a'}), 0, "Invalid property value"},
        {Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 0, "Invalid property value"},
        {Bytes({2, 1}), 1, "Invalid property value"},
        {Bytes({0}), 2, "Invalid property value"},
        {Bytes({1}), 3, "Invalid property value"},
        {Bytes({}), 0, "Stream read error"},
        {Bytes({3, 1}), 0, "Stream read error"},
        {Bytes({4, 1, 2, 3}), 0, "Stream read error"},
        {Bytes({6, 5, 'a', 'b'}), 1, "Stream read error"},
        {Bytes({0x0C, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}), 1, "Stream read error"}, // 2 GB announced, 1 byte there
    };
    for (const auto &c : cases) {
        TKVReader r(c.bytes);
        const std::string message = ErrorOf([&] {
            switch (c.read) {
            case 0: r.ReadInteger(); break;
            case 1: r.ReadString(); break;
            case 2: r.ReadListBegin(); break;
            default: r.ReadListEnd(); break;
            }
        });
        EXPECT_EQ(message, c.message) << testing::PrintToString(c.bytes);
    }
}

TEST(TextLines, NumbersAndLineBreaks)
{
    TKVTextWriter w;
    w.WriteNumbers({-5, 0, 1234567});
    w.WriteLine("Caf\xE9");
    EXPECT_EQ(w.Data(), "-5 0 1234567\r\nCaf\xE9\r\n");

    TKVTextReader r("1 2\r\nlast\nx 3\r\n 7  \r\n4 5 6\n");
    std::int32_t two[2];
    r.ReadNumbers(two, 2);
    EXPECT_EQ(two[0] + two[1], 3);
    EXPECT_EQ(r.ReadLine(), "last");
    EXPECT_EQ(ErrorOf([&] { r.ReadNumber(); }), "Invalid numeric input");
    EXPECT_EQ(r.ReadNumber(), 7);
    EXPECT_EQ(ErrorOf([&] { r.ReadNumbers(two, 2); }), "Invalid numeric input") << "a number too many";
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(ErrorOf([&] { r.ReadLine(); }), "Read beyond end of file");
}

} // namespace
