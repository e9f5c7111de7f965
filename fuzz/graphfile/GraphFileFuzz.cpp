// The graph file reader: any bytes load or fail with the reader's error; a diagram that loads
// saves to bytes that load back and save the same again.

#include "FuzzBox.h"

#include <cstdlib>

using namespace kavgraph;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    TKVStyleLibrary library;
    TKVDiagram box;
    try {
        box.LoadFromBytes(bytes, &library);
    } catch (const Exception &) {
        return 0;
    }
    const std::string saved = box.SaveToBytes(&library);
    TKVStyleLibrary library2;
    TKVDiagram again;
    again.LoadFromBytes(saved, &library2);
    again.SaveOptions = box.SaveOptions; // a file without box options leaves the diagram's own
    if (again.SaveToBytes(&library2) != saved)
        std::abort();
    return 0;
}
