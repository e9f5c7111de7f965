#pragma once
// Types shared by the whole diagram library: world geometry, the enumerations (each held in one
// byte; the ordinals are stored in files and must not change), the save-option set, rounding,
// and the event types of the diagram box.

#include "kavgraph/kavgraph_export.h"
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>

namespace kavgraph {

struct TKVPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool operator==(const TKVPoint &) const = default;
};

// Left and Top inclusive.
struct TKVRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    bool operator==(const TKVRect &) const = default;
};

enum TKVObjectType : std::uint8_t { otHandle, otVertex, otEdge, otAdjacent };
enum TKVHandleType : std::uint8_t {
    htEdge, htEdgeSourceEnd, htEdgeTargetEnd, htTopLeft, htTopRight, htBottomLeft, htBottomRight, htAdjacent
};
enum TKVMode : std::uint8_t { kvInteractive, kvProgram };
enum TKVSelMode : std::uint8_t { smSingle, smMulti };
enum TKVActorMode : std::uint8_t {
    amMoveObject, amMoveObjectPrepare, amMultiSelect, amNoAction, amCreateEdge, amCreateEdgePrepare, amAddHandle,
    amDeleteHandle
};
enum TKVPaintMode : std::uint8_t { pmScreen, pmPrinter, pmClipboard };
enum TKVDataUpdateMode : std::uint8_t { duAutomatic, duManual };
enum TKVSaveOption : std::uint8_t { soDiagram, soStyles, soBitmap, soBoxOptions };
enum TKVClipMode : std::uint8_t { clpBitmap, clpObjects };
enum TKVPrintMode : std::uint8_t { prtAll, prtSelected };
enum TKVScaleChange : std::uint8_t { ZoomIn, ZoomOut };
enum TKVCoordMode : std::uint8_t { cmValue, cmPercentage };
enum TKVShape : std::uint8_t { diRectangle, diRoundRect, diEllipse, diLine, diDiamond, diCustom };
enum TKVTIAlign : std::uint8_t { tiLeft, tiCenter, tiRight };
enum TKVHorzAlign : std::uint8_t { haNone, haLeft, haRight, haBoth, haCenter };
enum TKVVertAlign : std::uint8_t { vaNone, vaTop, vaBottom, vaBoth, vaCenter };
enum TKVVSResize : std::uint8_t { vsNoResize, vsAspectRatio, vsDrawItem, vsFree };
enum TKVDrawConnect : std::uint8_t { dclAlways, dclSelected, dclNever };
enum TKVConnMoveMode : std::uint8_t { cmmCentered, cmmCenterBounds, cmmBounds, cmmFree };

// A set of TKVSaveOption: bit 0 soDiagram ... bit 3 soBoxOptions.
class KAVGRAPH_EXPORT TKVSaveOptions {
public:
    constexpr TKVSaveOptions() = default;
    constexpr TKVSaveOptions(std::initializer_list<TKVSaveOption> options)
    {
        for (TKVSaveOption o : options)
            fBits |= Bit(o);
    }
    constexpr bool Contains(TKVSaveOption o) const { return (fBits & Bit(o)) != 0; }
    constexpr void Include(TKVSaveOption o) { fBits |= Bit(o); }
    constexpr void Exclude(TKVSaveOption o) { fBits &= static_cast<std::uint8_t>(~Bit(o)); }
    constexpr std::uint8_t Bits() const { return fBits; }
    constexpr bool Empty() const { return fBits == 0; }
    bool operator==(const TKVSaveOptions &) const = default;

private:
    static constexpr std::uint8_t Bit(TKVSaveOption o) { return static_cast<std::uint8_t>(1u << o); }
    std::uint8_t fBits = 0;
};

// An ordinal read from a file, kept in one byte as the stored fields are.
template <typename Enum> constexpr Enum EnumFromOrdinal(std::int32_t ordinal)
{
    return static_cast<Enum>(static_cast<std::uint8_t>(ordinal));
}

// Round to nearest with halves to even, saturated to the 32-bit range (NaN gives 0). Every
// rounding of the diagram library goes through here.
inline std::int32_t RoundHalfEven(double v)
{
    if (std::isnan(v))
        return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    const double r = std::nearbyint(v); // the default rounding mode: halves to even
    return r <= lo ? std::numeric_limits<std::int32_t>::min()
                   : r >= hi ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(r);
}

// A 64-bit intermediate brought back to 32 bits, saturating.
inline std::int32_t Saturate(std::int64_t v)
{
    return v < std::numeric_limits<std::int32_t>::min()   ? std::numeric_limits<std::int32_t>::min()
           : v > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(v);
}

class TKVObject;

// The diagram box's events.
using TKVScaleChangeEvent = std::function<void(TKVScaleChange Mode, int &NewScale)>;
// Returns false to veto; may replace theObject.
using TKVObjectEvent = std::function<bool(TKVObject *&theObject, TKVMode Mode)>;
using TKVMouseEvent = std::function<void(TKVObject *DiagramObject, TKVPoint P, TKVSelMode &SelMode, bool &DoDefaults)>;

} // namespace kavgraph
