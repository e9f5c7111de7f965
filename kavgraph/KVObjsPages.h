#pragma once
// The printer page arithmetic shared by the diagram box (page lines, page count, printing) and
// the print preview.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVTypes.h"

#include <cstdint>

namespace kavgraph {

/// The printable page in printer pixels and the screen width in pixels.
struct TKVPrinterMetrics {
    std::int32_t PageWidth = 0; ///< printer pixels
    std::int32_t PageHeight = 0; ///< printer pixels
    std::int32_t ScreenWidth = 0; ///< screen pixels
    /// Equal when every field is.
    bool operator==(const TKVPrinterMetrics &) const = default;
};

/// How many printer pages a diagram covers.
struct TKVPageCount {
    std::int32_t Columns = 0; ///< across
    std::int32_t Rows = 0; ///< down
    /// Equal when every field is.
    bool operator==(const TKVPageCount &) const = default;
};

/// The printer page arithmetic of printing, page lines and the print preview.
namespace kvpages {

/// The value as a 6-byte real holds it: the significand rounded to 40 bits.
KAVGRAPH_EXPORT double ToReal48(double v);

/// How many printer pixels stand for 100 screen pixels at PrintScale percent:
/// round(PageWidth / ScreenWidth * PrintScale). Never below 1.
KAVGRAPH_EXPORT std::int32_t PrinterPercent(const TKVPrinterMetrics &M, std::int32_t PrintScale);
/// The same with the quotient held as a 6-byte real (the print preview's rounding).
KAVGRAPH_EXPORT std::int32_t PreviewPrinterPercent(const TKVPrinterMetrics &M, std::int32_t PrintScale);

/// One printer page in world units at printer percent P: (round(PageWidth * 100 / P),
/// round(PageHeight * 100 / P)), each at least 1.
KAVGRAPH_EXPORT TKVPoint PageSize(const TKVPrinterMetrics &M, std::int32_t P);

/// Columns and rows of pages that cover the extent measured from the world origin.
KAVGRAPH_EXPORT TKVPageCount PageCount(const TKVRect &Extent, const TKVPrinterMetrics &M, std::int32_t PrintScale);

} // namespace kvpages

} // namespace kavgraph
