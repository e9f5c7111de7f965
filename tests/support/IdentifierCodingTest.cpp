#include "browser/support/L1basis.h"
#include "browser/support/L1misc.h"

#include <gtest/gtest.h>

TEST(IdentifierCoding, Base36Values)
{
    TL1IntegerPairToStringCoder coder;
    EXPECT_EQ(coder.Base(), 36);
    const std::pair<long long, const char *> cases[] = {
        {0, "0"}, {9, "9"}, {35, "Z"}, {36, "10"}, {1295, "ZZ"}, {2147483647, "ZIK0ZJ"}};
    for (auto [n, text] : cases)
        EXPECT_EQ(coder.IntegerToString(n), text) << n;
}

TEST(IdentifierCoding, NegativeIsRefused)
{
    TL1IntegerPairToStringCoder coder;
    try {
        coder.IntegerToString(-1);
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), PreconditionViolatedText("TL1IntegerPairToStringCoder.IntegerToString",
                                                        "Negative numbers not allowed."));
    }
}

TEST(IdentifierCoding, StampFromLocalTime)
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;  // December
    t.tm_mday = 9;
    t.tm_hour = 22;
    t.tm_min = 30;
    t.tm_sec = 5;
    EXPECT_EQ(TL1UniqueNumberPairGenerator::StampOf(t),
              5 + 60 * 30 + 3600 * 22 + 86400 * 9 + 2678400 * 12 + 31622400 * (2026 % 50));
    // Two generators made in the same second share their prefix.
    for (int attempt = 0; attempt < 3; ++attempt) {
        TL1UniqueNumberPairGenerator n1;
        TL1UniqueStringGenerator a, b;
        TL1UniqueNumberPairGenerator n2;
        if (n1.Stamp() != n2.Stamp())
            continue;
        EXPECT_EQ(a.Prefix(), b.Prefix());
        EXPECT_EQ(a.Prefix(), TL1IntegerPairToStringCoder().IntegerToString(n1.Stamp()));
        return;
    }
}
