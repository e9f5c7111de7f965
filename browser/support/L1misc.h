#pragma once
// Identifier coding: base-36 text of numbers and a run-specific stamp from the clock.

#include <ctime>
#include <string>

class TL1IntegerPairToStringCoder {
public:
    TL1IntegerPairToStringCoder();
    // Base-36 text of n, most significant digit first; 0 gives "0"; negative n is refused.
    std::string IntegerToString(long long n) const;
    int Base() const { return fBase; }
    char Separator() const { return '_'; }

private:
    std::string fDigits[256];
    int fBase = 0;
};

class TL1UniqueNumberPairGenerator {
public:
    TL1UniqueNumberPairGenerator();
    // The stamp for a given local time (for tests).
    explicit TL1UniqueNumberPairGenerator(const std::tm &local);
    static int StampOf(const std::tm &local);
    int Stamp() const { return fStamp; }

private:
    int fStamp = 0;
};

class TL1UniqueStringGenerator {
public:
    TL1UniqueStringGenerator();
    const std::string &Prefix() const { return fPrefix; }
    char Separator() const { return '_'; }

private:
    TL1IntegerPairToStringCoder fCoder;
    TL1UniqueNumberPairGenerator fNumbers;
    std::string fPrefix;
};
