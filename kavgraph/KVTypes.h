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

/// The Kavgraph diagram component library: diagram boxes with vertices and edges, styles from
/// style libraries, actors, graph and text files, the overview box and the print preview.
namespace kavgraph {

/// A point in integer world units (or pixels where said).
struct TKVPoint {
    std::int32_t X = 0; ///< across, growing to the right
    std::int32_t Y = 0; ///< down, growing downwards
    /// Equal when both coordinates are.
    bool operator==(const TKVPoint &) const = default;
};

/// A rectangle in integer world units (or pixels where said); Left and Top inclusive.
struct TKVRect {
    std::int32_t Left = 0; ///< the first column inside
    std::int32_t Top = 0; ///< the first row inside
    std::int32_t Right = 0; ///< the first column outside
    std::int32_t Bottom = 0; ///< the first row outside
    /// Equal when all four sides are.
    bool operator==(const TKVRect &) const = default;
};

/// What a diagram object is: handle, vertex, edge or label.
enum TKVObjectType : std::uint8_t { otHandle, otVertex, otEdge, otAdjacent };
/// What dragging a handle does: move an edge's bend or end, resize a vertex at a corner, move a label.
enum TKVHandleType : std::uint8_t {
    htEdge, htEdgeSourceEnd, htEdgeTargetEnd, htTopLeft, htTopRight, htBottomLeft, htBottomRight, htAdjacent
};
/// Who adds or deletes an object: the user (events, ids) or the program (loading, cascades).
enum TKVMode : std::uint8_t { kvInteractive, kvProgram };
/// Whether a click selects one object or adds to the selection.
enum TKVSelMode : std::uint8_t { smSingle, smMulti };
/// The gesture an actor has in progress.
enum TKVActorMode : std::uint8_t {
    amMoveObject, amMoveObjectPrepare, amMultiSelect, amNoAction, amCreateEdge, amCreateEdgePrepare, amAddHandle,
    amDeleteHandle
};
/// What a drawing is for: the screen (with selection marks), a printer or a picture.
enum TKVPaintMode : std::uint8_t { pmScreen, pmPrinter, pmClipboard };
/// Whether texts come from the data provider at each paint or stay as set.
enum TKVDataUpdateMode : std::uint8_t { duAutomatic, duManual };
/// A section of a graph file.
enum TKVSaveOption : std::uint8_t { soDiagram, soStyles, soBitmap, soBoxOptions };
/// What CopyToClipboard copies.
enum TKVClipMode : std::uint8_t { clpBitmap, clpObjects };
/// Whether all pages or the selected ones are printed.
enum TKVPrintMode : std::uint8_t { prtAll, prtSelected };
/// Whether a scale change zooms in or out.
enum TKVScaleChange : std::uint8_t { ZoomIn, ZoomOut };
/// Whether a style item's place and size are world units or percents of the vertex.
enum TKVCoordMode : std::uint8_t { cmValue, cmPercentage };
/// The shape of a draw item.
enum TKVShape : std::uint8_t { diRectangle, diRoundRect, diEllipse, diLine, diDiamond, diCustom };
/// The alignment of a text.
enum TKVTIAlign : std::uint8_t { tiLeft, tiCenter, tiRight };
/// How a style item follows the vertex's width.
enum TKVHorzAlign : std::uint8_t { haNone, haLeft, haRight, haBoth, haCenter };
/// How a style item follows the vertex's height.
enum TKVVertAlign : std::uint8_t { vaNone, vaTop, vaBottom, vaBoth, vaCenter };
/// How a vertex of a style may be resized.
enum TKVVSResize : std::uint8_t { vsNoResize, vsAspectRatio, vsDrawItem, vsFree };
/// When the line from an edge's label to the edge is drawn.
enum TKVDrawConnect : std::uint8_t { dclAlways, dclSelected, dclNever };
/// Where edges attach to a vertex: its centre, the middle of a side, anywhere on the border, or anywhere.
enum TKVConnMoveMode : std::uint8_t { cmmCentered, cmmCenterBounds, cmmBounds, cmmFree };

/// A set of TKVSaveOption: bit 0 soDiagram ... bit 3 soBoxOptions.
class KAVGRAPH_EXPORT TKVSaveOptions {
public:
    constexpr TKVSaveOptions() = default;
    /// The set of the options listed.
    constexpr TKVSaveOptions(std::initializer_list<TKVSaveOption> options)
    {
        for (TKVSaveOption o : options)
            fBits |= Bit(o);
    }
    /// Whether o is in the set.
    constexpr bool Contains(TKVSaveOption o) const { return (fBits & Bit(o)) != 0; }
    /// Adds o.
    constexpr void Include(TKVSaveOption o) { fBits |= Bit(o); }
    /// Takes o out.
    constexpr void Exclude(TKVSaveOption o) { fBits &= static_cast<std::uint8_t>(~Bit(o)); }
    /// The set as stored: bit n for the option of ordinal n.
    constexpr std::uint8_t Bits() const { return fBits; }
    /// Whether no option is in the set.
    constexpr bool Empty() const { return fBits == 0; }
    /// Equal when the same options are in both.
    bool operator==(const TKVSaveOptions &) const = default;

private:
    static constexpr std::uint8_t Bit(TKVSaveOption o) { return static_cast<std::uint8_t>(1u << o); }
    std::uint8_t fBits = 0;
};

/// An ordinal read from a file, kept in one byte as the stored fields are.
template <typename Enum> constexpr Enum EnumFromOrdinal(std::int32_t ordinal)
{
    return static_cast<Enum>(static_cast<std::uint8_t>(ordinal));
}

/// Round to nearest with halves to even, saturated to the 32-bit range (NaN gives 0). Every
/// rounding of the diagram library goes through here.
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

/// A 64-bit intermediate brought back to 32 bits, saturating.
inline std::int32_t Saturate(std::int64_t v)
{
    return v < std::numeric_limits<std::int32_t>::min()   ? std::numeric_limits<std::int32_t>::min()
           : v > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(v);
}

class TKVObject;

/// The diagram box's scale event: may change NewScale before it is set.
using TKVScaleChangeEvent = std::function<void(TKVScaleChange Mode, int &NewScale)>;
/// The diagram's add and delete events: return false to veto; may replace theObject.
using TKVObjectEvent = std::function<bool(TKVObject *&theObject, TKVMode Mode)>;
/// A handler of a mouse event on an object, which may change the selection mode or skip the default handling.
using TKVMouseEvent = std::function<void(TKVObject *DiagramObject, TKVPoint P, TKVSelMode &SelMode, bool &DoDefaults)>;

} // namespace kavgraph
