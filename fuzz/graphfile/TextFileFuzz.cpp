// The text interchange reader: any bytes import or fail with the reader's error; a diagram that
// imports exports text that imports and exports the same again.

#include "FuzzBox.h"

#include <cstdlib>

using namespace kavgraph;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    TKVStyleLibrary library;
    library.LibraryName = "Shapes";
    auto style = std::make_unique<TKVVertexStyle>();
    style->Name = "Box";
    style->DataItems.push_back(std::make_unique<TKVDataItem>());
    library.AddVertexStyle(std::move(style));
    TKVDiagram box;
    try {
        box.ImportFromBytes(bytes, &library, "fuzz.kvi");
    } catch (const Exception &) {
        return 0;
    }
    const std::string text = box.ExportToBytes(&library);
    TKVDiagram again;
    again.ImportFromBytes(text, &library, "again.kvi");
    if (again.ExportToBytes(&library) != text)
        std::abort();
    return 0;
}
