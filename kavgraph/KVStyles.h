#pragma once
// Style items (draw, bitmap and data items that paint one element of a vertex) and the vertex and
// edge styles built from them. Plain objects that stream themselves with the typed value encoding.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVFields.h"
#include "kavgraph/KVStream.h"
#include "kavgraph/KVTypes.h"
#include "platform/ui/Canvas.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kavgraph {

class TKVObject;
class TKVDataObject;
class TKVDrawItem;

/// The data provider: the text of field FieldName of object Id (theObject: its data object or none).
using TKVGetDataEvent =
    std::function<std::string(std::int32_t Id, const std::string &FieldName, TKVDataObject *theObject)>;
/// Paints an edge end instead of the arrow head. BorderPoint in world units.
using TKVDrawCustomEndEvent =
    std::function<void(TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode, TKVDataUpdateMode DataUpdate,
                       TKVPoint Offset, TKVPoint BorderPoint, TKVObject *Parent)>;
/// Paints a draw item of shape diCustom into Rect (output pixels). ScalePercent is the scale as a
/// whole percentage (100 at a factor of 1.0), not the factor.
using TKVDrawCustomDrawItemEvent =
    std::function<void(TCanvas &Canvas, double ScalePercent, TKVPaintMode PaintMode, TKVPoint Offset,
                       const TKVRect &Rect, TKVObject *Parent, TKVDrawItem *DrawItem)>;

/// Where an item lies inside its rectangle: X, Y from the rectangle's top-left corner; W, H its size.
struct TKVItemPlacement {
    ///@{
    /// X, Y from the rectangle's top-left corner; W, H the item's size.
    std::int32_t X = 0, Y = 0, W = 0, H = 0;
    ///@}
    /// Equal when every field is.
    bool operator==(const TKVItemPlacement &) const = default;
};

/// The base of the items a vertex style is built from: a name and a place in the vertex.
class KAVGRAPH_EXPORT TKVStyleItem {
public:
    virtual ~TKVStyleItem() = default;

    std::string Name; ///< for a data item also the field name handed to the data provider
    std::int32_t Left = 0; ///< offset from the vertex's left side (value or percent)
    std::int32_t Top = 0; ///< offset from the vertex's top side (value or percent)
    std::int32_t Width = 0;  ///< percentage mode: 0 means the default width
    std::int32_t Height = 0; ///< percentage mode: 0 means the default height
    TKVCoordMode CoordMode = cmValue; ///< whether the place and size are world units or percents of the vertex
    TKVHorzAlign HorzAlign = haNone; ///< how the item follows the vertex's width
    TKVVertAlign VertAlign = vaNone; ///< how the item follows the vertex's height

    /// Writes the item.
    virtual void Save(TKVWriter &Writer) const;
    /// Reads the item; Version is the library version string of the file (only the data item
    /// looks at it).
    virtual void Load(TKVReader &Reader, std::string_view Version);
    /// Paints the item. Rect: the vertex's bounding rectangle in world units; Offset (world units) is
    /// subtracted
    /// from every coordinate before scaling; Parent: the vertex, handed to custom painters.
    virtual void Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode,
                      TKVPoint Offset, TKVObject *Parent) = 0;

    /// Copies the place, size and name of Source.
    void Assign(const TKVStyleItem &Source);
    /// The stored fields in stream order (each kind's list starts with these).
    static std::span<const TKVField<TKVStyleItem>> Fields();
    /// The item's place and size inside Rect by its coordinate rules; DefaultWidth and DefaultHeight stand
    /// for a width or height of 0.
    TKVItemPlacement AdjustCoordinates(const TKVRect &Rect, std::int32_t DefaultWidth,
                                       std::int32_t DefaultHeight) const;
};

/// A shape of a vertex style, drawn with a pen and a brush.
class KAVGRAPH_EXPORT TKVDrawItem : public TKVStyleItem {
public:
    TKVShape Shape = diRectangle; ///< rectangle, rounded rectangle, ellipse, line, diamond or custom
    TPen Pen; ///< the outline
    TBrush Brush; ///< the fill
    TKVDrawCustomDrawItemEvent OnDrawCustomDrawItem; ///< paints a diCustom shape (not streamed)

    void Save(TKVWriter &Writer) const override;
    void Load(TKVReader &Reader, std::string_view Version) override;
    void Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode, TKVPoint Offset,
              TKVObject *Parent) override;
    /// Copies everything of Source but its painter.
    void Assign(const TKVDrawItem &Source);
    /// The stored fields in stream order.
    static std::span<const TKVField<TKVDrawItem>> Fields();
};

/// A picture of a vertex style.
class KAVGRAPH_EXPORT TKVBitmapItem : public TKVStyleItem {
public:
    TBitmap Bitmap; ///< the picture
    bool LockAspectRatio = true; ///< keeps the picture's proportions when scaled
    bool Visible = true; ///< whether it is painted

    void Save(TKVWriter &Writer) const override;
    void Load(TKVReader &Reader, std::string_view Version) override;
    void Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode, TKVPoint Offset,
              TKVObject *Parent) override;
    /// Copies everything of Source.
    void Assign(const TKVBitmapItem &Source);
    /// The stored fields in stream order.
    static std::span<const TKVField<TKVBitmapItem>> Fields();
};

/// A text of a vertex style: a field whose text comes from the data provider or is set by the program.
class KAVGRAPH_EXPORT TKVDataItem : public TKVStyleItem {
public:
    /// An item in Arial.
    TKVDataItem() { Font.Name = "Arial"; }

    std::string Text; ///< the text shown (with duManual, or the provider's last answer)
    TFont Font; ///< the text's font
    TBrush Brush; ///< the background of the text
    std::uint8_t TextAlign = 0; ///< 0 left, 1 right, 2 centred
    bool WordWrap = false; ///< whether WrapMagic splits the text into lines
    std::string WrapMagic; ///< the line separator
    std::int32_t LineCount = 0; ///< lines found at the last paint; neither streamed nor copied

    void Save(TKVWriter &Writer) const override;
    void Load(TKVReader &Reader, std::string_view Version) override;
    void Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode, TKVPoint Offset,
              TKVObject *Parent) override;
    /// Copies everything of Source but LineCount.
    void Assign(const TKVDataItem &Source);
    /// The stored fields in stream order.
    static std::span<const TKVField<TKVDataItem>> Fields();
};

/// A percent of a value: round(A * B * 0.01).
KAVGRAPH_EXPORT std::int32_t Percent(std::int32_t A, std::int32_t B);
/// The number of lines of Text, split at every occurrence of Magic (left to right, non-overlapping); the
/// whole text is
/// one line when WordWrap is false or Magic is empty.
KAVGRAPH_EXPORT std::int32_t WrapLines(std::string_view Text, std::string_view Magic, bool WordWrap);
/// Line Index (from 0) of Text split as WrapLines does.
KAVGRAPH_EXPORT std::string WrapString(std::string_view Text, std::int32_t Index, std::string_view Magic, bool WordWrap);
/// The first of the widest lines as measured on the canvas.
KAVGRAPH_EXPORT std::string MaxWidthLine(std::string_view Text, std::string_view Magic, bool WordWrap, TCanvas &Canvas);

/// The looks of a vertex: its size and resizing rules and the draw, bitmap and data items it is painted with.
/// \n Each vertex keeps its own copy (TKVVertex::Style); the named ones live in a TKVStyleLibrary.
class KAVGRAPH_EXPORT TKVVertexStyle {
public:
    /// An empty style of 80 x 50.
    TKVVertexStyle() = default;
    TKVVertexStyle(const TKVVertexStyle &) = delete;
    TKVVertexStyle &operator=(const TKVVertexStyle &) = delete;

    std::string Name; ///< the name the library finds it by
    TKVVSResize ResizeMode = vsFree; ///< how the vertex may be resized
    std::int32_t Width = 80; ///< the width of a new vertex
    std::int32_t Height = 50; ///< the height of a new vertex
    std::vector<std::unique_ptr<TKVDrawItem>> DrawItems;     ///< shapes, painted first
    std::vector<std::unique_ptr<TKVDataItem>> DataItems;     ///< texts, painted last
    std::vector<std::unique_ptr<TKVBitmapItem>> BitmapItems; ///< pictures, painted second
    TKVGetDataEvent OnGetData;                               ///< the data provider of the texts (not streamed)
    TKVConnMoveMode ConnMoveMode = cmmFree; ///< where edges attach to the vertex

    /// Copies everything, items as new items of their class; nothing when Source is absent.
    void Assign(const TKVVertexStyle *Source);
    /// Reads the style as the library of that version stored it.
    void Load(TKVReader &Reader, std::string_view Version);
    /// Writes the style.
    void Save(TKVWriter &Writer) const;
    /// The stored fields before the item lists, in stream order.
    static std::span<const TKVField<TKVVertexStyle>> Fields();
    /// Whether the style has any item.
    bool HasItems() const { return !DrawItems.empty() || !DataItems.empty() || !BitmapItems.empty(); }

    /// The draw item of that exact name (the last match), or none.
    TKVDrawItem *GetDrawItem(std::string_view Name) const;
    /// The data item of that exact name (the last match), or none.
    TKVDataItem *GetDataItem(std::string_view Name) const;
    /// The bitmap item of that exact name (the last match), or none.
    TKVBitmapItem *GetBitmapItem(std::string_view Name) const;
};

/// The looks of an edge: its line, arrow heads and text box.
/// \n Each edge keeps its own copy (TKVEdge::Style); the named ones live in a TKVStyleLibrary.
class KAVGRAPH_EXPORT TKVEdgeStyle {
public:
    /// A black line with an arrow at the target and no text box.
    TKVEdgeStyle() { Font.Name = "Arial"; }
    TKVEdgeStyle(const TKVEdgeStyle &) = delete;
    TKVEdgeStyle &operator=(const TKVEdgeStyle &) = delete;

    TKVGetDataEvent OnGetData; ///< the data provider of the text box (not streamed)
    bool DrawCustomEnds = false; ///< OnDrawCustomEnd paints the ends instead of arrow heads
    std::string Data; ///< the text box's text
    std::string Name; ///< the name the library finds it by
    TPen Pen; ///< the line
    TPen EndPen; ///< the outline of the arrow heads
    TBrush EndBrush; ///< the fill of the arrow heads
    bool SourceArrow = false; ///< an arrow head at the source end
    bool TargetArrow = true; ///< an arrow head at the target end
    bool WordWrap = false; ///< whether WrapMagic splits the text into lines
    std::string WrapMagic; ///< the line separator
    std::uint8_t TextAlign = 0; ///< 0 left, 1 right, 2 centred
    TPen TextBoxPen; ///< the frame of the text box
    TBrush TextBoxBrush; ///< the fill of the text box
    TFont Font; ///< the text's font
    TKVDrawConnect DrawConnection = dclAlways; ///< when the line from the label to the edge is drawn
    bool TextBoxVisible = false; ///< whether the text box is drawn
    TKVDrawCustomEndEvent OnDrawCustomEnd; ///< paints the ends when DrawCustomEnds (not streamed)

    /// Copies everything; nothing when Source is absent.
    void Assign(const TKVEdgeStyle *Source);
    /// Reads the style as the library of that version stored it.
    void Load(TKVReader &Reader, std::string_view Version);
    /// Writes the style.
    void Save(TKVWriter &Writer) const;
    /// The stored fields in stream order.
    static std::span<const TKVField<TKVEdgeStyle>> Fields();
};

} // namespace kavgraph
