// Arbitrary bytes as a topic map: the reader fails with the system's error or gives a map whose
// every listed context finds a page, and which writes back to text that reads the same.

#include "browser/runtime/L1HelpTopicMap.h"
#include "platform/core/Exception.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    THelpTopicMap map;
    try {
        map = ParseHelpTopicMap(std::string_view(reinterpret_cast<const char *>(data), size));
    } catch (const Exception &) {
        return 0;
    }
    std::string text = "source\t" + map.source + "\n";
    for (const auto &[context, page] : map.topics) {
        if (!map.PageOf(context))
            std::abort();
        text += context + "\t" + page + "\n";
    }
    const THelpTopicMap again = ParseHelpTopicMap(text);
    if (again.source != map.source || again.topics != map.topics)
        std::abort();
    return 0;
}
