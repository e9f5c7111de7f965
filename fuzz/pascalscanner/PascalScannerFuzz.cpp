// Arbitrary bytes as an Object Pascal unit: the scanner, the inheritance forest and the layout
// of every diagram never crash or hang, and every laid-out diagram keeps its rules.

#include "tools/qmk/qmkbuild/SourceLibrary.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    qmkbuild::SourceLibrary library;
    library.ScanText(std::string_view(reinterpret_cast<const char *>(data), size), "fuzz.pas");
    library.Contents("Fuzz");
    for (const std::string &name : library.DiagramClasses())
        for (bool horizontal : {true, false}) {
            std::optional<qmkbuild::LaidOutNode> d = library.Diagram(name, horizontal);
            if (!d || d->right <= d->left || d->bottom <= d->top)
                std::abort();
        }
    return 0;
}
