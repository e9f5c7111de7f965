// Conversions and collation over arbitrary bytes: never crash, and keep their promises.
#include "platform/text/Collation.h"
#include "platform/text/Windows1252.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string s(reinterpret_cast<const char *>(data), size);
    if (text::Utf8ToCp1252(text::Cp1252ToUtf8(s)) != s)
        std::abort();
    text::Utf8ToCp1252(s);
    size_t half = size / 2;
    std::string a = s.substr(0, half), b = s.substr(half);
    int ab = text::CompareText(a, b), ba = text::CompareText(b, a);
    if ((ab < 0) != (ba > 0) || (ab == 0) != (ba == 0))
        std::abort();
    if (text::CompareText(a, a) != 0)
        std::abort();
    return 0;
}
