#include "browser/support/L1misc.h"

#include "browser/support/L1basis.h"

TL1IntegerPairToStringCoder::TL1IntegerPairToStringCoder()
{
    for (int c = 0; c < 256; ++c)
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
            fDigits[fBase++] = std::string(1, char(c));
}

std::string TL1IntegerPairToStringCoder::IntegerToString(long long n) const
{
    if (n == 0)
        return fDigits[0];
    if (n < 0)
        PreconditionViolated("TL1IntegerPairToStringCoder.IntegerToString", "Negative numbers not allowed.");
    std::string text;
    while (n >= 1) {
        long long q = n / fBase;
        long long digit = n - q * fBase;
        CheckPrecondition(0 <= digit && digit < fBase, "TL1IntegerPairToStringCoder.IntegerToString",
                          "(0 <= nDigit) and (nDigit < Base). nBase=" + std::to_string(fBase) +
                              " nDigit=" + std::to_string(digit));
        text.insert(0, fDigits[digit]);
        n = q;
    }
    return text;
}

int TL1UniqueNumberPairGenerator::StampOf(const std::tm &t)
{
    long long year = t.tm_year + 1900;
    long long stamp = t.tm_sec + 60LL * t.tm_min + 3600LL * t.tm_hour + 86400LL * t.tm_mday +
                      2678400LL * (t.tm_mon + 1) + 31622400LL * (year % 50);
    return static_cast<int>(stamp);
}

TL1UniqueNumberPairGenerator::TL1UniqueNumberPairGenerator()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    fStamp = StampOf(local);
}

TL1UniqueNumberPairGenerator::TL1UniqueNumberPairGenerator(const std::tm &local) : fStamp(StampOf(local)) {}

TL1UniqueStringGenerator::TL1UniqueStringGenerator() : fPrefix(fCoder.IntegerToString(fNumbers.Stamp())) {}
