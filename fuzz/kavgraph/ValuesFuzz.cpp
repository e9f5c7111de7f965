// The typed value reader and the text lines: any bytes give values or the reader's error, and
// every value read writes back to bytes that read as the same value.

#include "kavgraph/KVStream.h"

#include <cstdlib>

using namespace kavgraph;

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t script = data[0];
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);
    TKVReader r(bytes);
    try {
        for (int step = 0; r.Remaining() > 0; ++step) {
            const std::size_t before = r.Position();
            switch ((script >> (step % 4 * 2)) & 3) {
            case 0: {
                const std::int32_t v = r.ReadInteger();
                TKVWriter one;
                one.WriteInteger(v);
                Check(TKVReader(one.Data()).ReadInteger() == v);
                break;
            }
            case 1: {
                const std::string s = r.ReadString();
                Check(s.size() <= bytes.size());
                TKVWriter one;
                one.WriteString(s);
                Check(TKVReader(one.Data()).ReadString() == s);
                break;
            }
            case 2: r.ReadBoolean(); break;
            default:
                if (r.EndOfList())
                    r.ReadListEnd();
                else
                    r.ReadListBegin();
                break;
            }
            Check(r.Position() > before);
        }
    } catch (const EKVReadError &) {
    }
    TKVTextReader t(bytes);
    try {
        while (!t.AtEnd()) {
            std::int32_t n[3];
            if (script & 1)
                t.ReadNumbers(n, 1 + script % 3);
            else
                t.ReadLine();
        }
    } catch (const EKVReadError &) {
    }
    return 0;
}
