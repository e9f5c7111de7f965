// Arbitrary bytes as a stored diagram: the reader fails with the system's error or gives a
// diagram that bounds, hit-tests, searches and writes back in a stable form.

#include "browser/treediagram/L1TreeDiagramNode.h"
#include "tests/fixtures/StreamFixture.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string bytes(reinterpret_cast<const char *>(data), size);
    std::unique_ptr<TvdTreeDiagram> diagram;
    try {
        diagram = fixture::ReadFromBytes<TvdTreeDiagram>(bytes);
    } catch (const Exception &) {
        return 0;
    }
    TRect bounds;
    diagram->BoundsRect(bounds);
    diagram->AttachNodes();
    TvdTreeDiagramNode *root = diagram->RootNode();
    for (int32_t x : {bounds.Left, root->CenterX(), bounds.Right - 1})
        for (int32_t y : {bounds.Top, root->CenterY(), bounds.Bottom - 1})
            if (TvdTreeDiagramNode *hit = root->NodeAt(x, y); hit && !hit->Contains(x, y))
                std::abort();
    if (root->SubNodeCount() > 0 && !root->FindSubNode(root->GetSubNode(0)->Name))
        std::abort();

    // What was read writes back in a form that reads to the same bytes again. (A name of 255
    // characters reads but is refused when written.)
    std::string written;
    try {
        written = fixture::BytesOf(*diagram);
    } catch (const Exception &) {
        return 0;
    }
    if (fixture::BytesOf(*fixture::ReadFromBytes<TvdTreeDiagram>(written)) != written)
        std::abort();
    return 0;
}
