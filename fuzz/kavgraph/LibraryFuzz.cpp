// The style library reader: any bytes load or fail with the reader's error; a library that loads
// saves to a stream that loads back to the same stream.

#include "kavgraph/KVObjs.h"

#include <cstdlib>

using namespace kavgraph;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    TKVStyleLibrary library;
    try {
        TKVReader r(bytes);
        library.DoLoad(r);
    } catch (const Exception &) {
        return 0;
    }
    TKVWriter w;
    library.DoSave(w);
    TKVStyleLibrary again;
    TKVReader r(w.Data());
    again.DoLoad(r);
    TKVWriter w2;
    again.DoSave(w2);
    if (w.Data() != w2.Data() || r.Remaining() != 0)
        std::abort();
    return 0;
}
