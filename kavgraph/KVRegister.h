#pragma once
// The components the library offers to a visual form designer, in palette order, and the
// palette page they go on.

#include <array>

namespace kavgraph {

inline constexpr const char *KVPalettePage = "Diagrams";

inline constexpr std::array<const char *, 9> KVComponentClasses{
    "TKVDiagramBox", "TKVStyleLibrary", "TKVEditActor", "TKVAddVertexActor", "TKVAddEdgeActor",
    "TKVZoomActor",  "TKVUserActor",    "TKVOverviewBox", "TKVPrintPreview"};

} // namespace kavgraph
