#include "kavgraph/KVObjsPages.h"

#include "kavgraph/KVObjs.h"

#include <algorithm>
#include <cmath>

namespace kavgraph {

namespace kvpages {

double ToReal48(double v)
{
    if (v == 0 || !std::isfinite(v))
        return v;
    int exponent = 0;
    const double mantissa = std::frexp(v, &exponent); // [0.5, 1)
    return std::ldexp(std::nearbyint(std::ldexp(mantissa, 40)), exponent - 40);
}

namespace {

double Quotient(const TKVPrinterMetrics &M)
{
    return M.ScreenWidth > 0 ? double(M.PageWidth) / M.ScreenWidth : 0.0;
}

std::int32_t AtLeastOne(double v) { return std::max<std::int32_t>(1, RoundHalfEven(v)); }

} // namespace

std::int32_t PrinterPercent(const TKVPrinterMetrics &M, std::int32_t PrintScale)
{
    return AtLeastOne(Quotient(M) * PrintScale);
}

std::int32_t PreviewPrinterPercent(const TKVPrinterMetrics &M, std::int32_t PrintScale)
{
    return AtLeastOne(ToReal48(Quotient(M)) * PrintScale);
}

TKVPoint PageSize(const TKVPrinterMetrics &M, std::int32_t P)
{
    P = std::max<std::int32_t>(P, 1);
    return {AtLeastOne(double(M.PageWidth) * 100 / P), AtLeastOne(double(M.PageHeight) * 100 / P)};
}

TKVPageCount PageCount(const TKVRect &Extent, const TKVPrinterMetrics &M, std::int32_t PrintScale)
{
    const std::int32_t p = PrinterPercent(M, PrintScale);
    const double width = std::max(M.PageWidth, 1);
    const double height = std::max(M.PageHeight, 1);
    return {RoundHalfEven(WorldToScreen(Extent.Right, p) / width + 0.5),
            RoundHalfEven(WorldToScreen(Extent.Bottom, p) / height + 0.5)};
}

} // namespace kvpages

} // namespace kavgraph
