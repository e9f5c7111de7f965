// Arbitrary bytes as a documentation content file: the reader fails with the system's error or
// gives contents whose every listed name is found again by its lookups.

#include "platform/core/Exception.h"
#include "tools/qmk/help/XctReader.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    qmkhelp::XctContents xct;
    try {
        xct = qmkhelp::ParseXct(std::string_view(reinterpret_cast<const char *>(data), size));
    } catch (const Exception &) {
        return 0;
    }
    for (const qmkhelp::XctModule &module : xct.modules) {
        if (!xct.Module(module.name))
            std::abort();
        for (const qmkhelp::XctElement &element : module.elements) {
            if (!module.Element(element.name) || !xct.AnyElement(element.name))
                std::abort();
            for (const auto &[name, page] : element.members)
                if (!element.MemberPage(name))
                    std::abort();
        }
    }
    return 0;
}
