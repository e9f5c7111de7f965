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

// The data provider: the text of field FieldName of object Id (theObject: its data object or none).
using TKVGetDataEvent =
    std::function<std::string(std::int32_t Id, const std::string &FieldName, TKVDataObject *theObject)>;
// Paints an edge end instead of the arrow head. BorderPoint in world units.
using TKVDrawCustomEndEvent =
    std::function<void(TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode, TKVDataUpdateMode DataUpdate,
                       TKVPoint Offset, TKVPoint BorderPoint, TKVObject *Parent)>;
// Paints a draw item of shape diCustom into Rect (output pixels). ScalePercent is the scale as a
// whole percentage (100 at a factor of 1.0), not the factor.
using TKVDrawCustomDrawItemEvent =
    std::function<void(TCanvas &Canvas, double ScalePercent, TKVPaintMode PaintMode, TKVPoint Offset,
                       const TKVRect &Rect, TKVObject *Parent, TKVDrawItem *DrawItem)>;

// Where an item lies inside its rectangle: X, Y from the rectangle's top-left corner; W, H its size.
struct TKVItemPlacement {
    std::int32_t X = 0, Y = 0, W = 0, H = 0;
    bool operator==(const TKVItemPlacement &) const = default;
};

class KAVGRAPH_EXPORT TKVStyleItem {
public:
    virtual ~TKVStyleItem() = default;

    std::string Name; // for a data item also the field name handed to the data provider
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;  // percentage mode: 0 means the default width
    std::int32_t Height = 0; // percentage mode: 0 means the default height
    TKVCoordMode CoordMode = cmValue;
    TKVHorzAlign HorzAlign = haNone;
    TKVVertAlign VertAlign = vaNone;

    virtual void Save(TKVWriter &Writer) const;
    // Version: the library version string of the file (only the data item looks at it).
    virtual void Load(TKVReader &Reader, std::string_view Version);
    // Rect: the vertex's bounding rectangle in world units; Offset (world units) is subtracted
    // from every coordinate before scaling; Parent: the vertex, handed to custom painters.
    virtual void Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode,
                      TKVPoint Offset, TKVObject *Parent) = 0;

    void Assign(const TKVStyleItem &Source);
    // The stored fields in stream order (each kind's list starts with these).
    static std::span<const TKVField<TKVStyleItem>> Fields();
    TKVItemPlacement AdjustCoordinates(const TKVRect &Rect, std::int32_t DefaultWidth,
                                       std::int32_t DefaultHeight) const;
};

class KAVGRAPH_EXPORT TKVDrawItem : public TKVStyleItem {
public:
    TKVShape Shape = diRectangle;
    TPen Pen;
    TBrush Brush;
    TKVDrawCustomDrawItemEvent OnDrawCustomDrawItem; // not streamed

    void Save(TKVWriter &Writer) const override;
    void Load(TKVReader &Reader, std::string_view Version) override;
    void Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode, TKVPoint Offset,
              TKVObject *Parent) override;
    void Assign(const TKVDrawItem &Source);
    static std::span<const TKVField<TKVDrawItem>> Fields();
};

class KAVGRAPH_EXPORT TKVBitmapItem : public TKVStyleItem {
public:
    TBitmap Bitmap;
    bool LockAspectRatio = true;
    bool Visible = true;

    void Save(TKVWriter &Writer) const override;
    void Load(TKVReader &Reader, std::string_view Version) override;
    void Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode, TKVPoint Offset,
              TKVObject *Parent) override;
    void Assign(const TKVBitmapItem &Source);
    static std::span<const TKVField<TKVBitmapItem>> Fields();
};

class KAVGRAPH_EXPORT TKVDataItem : public TKVStyleItem {
public:
    TKVDataItem() { Font.Name = "Arial"; }

    std::string Text;
    TFont Font;
    TBrush Brush;
    std::uint8_t TextAlign = 0; // 0 left, 1 right, 2 centred
    bool WordWrap = false;
    std::string WrapMagic;
    std::int32_t LineCount = 0; // lines found at the last paint; neither streamed nor copied

    void Save(TKVWriter &Writer) const override;
    void Load(TKVReader &Reader, std::string_view Version) override;
    void Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode, TKVPoint Offset,
              TKVObject *Parent) override;
    void Assign(const TKVDataItem &Source);
    static std::span<const TKVField<TKVDataItem>> Fields();
};

// round(A * B * 0.01)
KAVGRAPH_EXPORT std::int32_t Percent(std::int32_t A, std::int32_t B);
// Line splitting at every occurrence of Magic (left to right, non-overlapping); the whole text is
// one line when WordWrap is false or Magic is empty.
KAVGRAPH_EXPORT std::int32_t WrapLines(std::string_view Text, std::string_view Magic, bool WordWrap);
KAVGRAPH_EXPORT std::string WrapString(std::string_view Text, std::int32_t Index, std::string_view Magic, bool WordWrap);
// The first of the widest lines as measured on the canvas.
KAVGRAPH_EXPORT std::string MaxWidthLine(std::string_view Text, std::string_view Magic, bool WordWrap, TCanvas &Canvas);

class KAVGRAPH_EXPORT TKVVertexStyle {
public:
    TKVVertexStyle() = default;
    TKVVertexStyle(const TKVVertexStyle &) = delete;
    TKVVertexStyle &operator=(const TKVVertexStyle &) = delete;

    std::string Name;
    TKVVSResize ResizeMode = vsFree;
    std::int32_t Width = 80;
    std::int32_t Height = 50;
    std::vector<std::unique_ptr<TKVDrawItem>> DrawItems;     // painted first
    std::vector<std::unique_ptr<TKVDataItem>> DataItems;     // painted last
    std::vector<std::unique_ptr<TKVBitmapItem>> BitmapItems; // painted second
    TKVGetDataEvent OnGetData;                               // not streamed
    TKVConnMoveMode ConnMoveMode = cmmFree;

    // Copies everything, items as new items of their class; nothing when Source is absent.
    void Assign(const TKVVertexStyle *Source);
    void Load(TKVReader &Reader, std::string_view Version);
    void Save(TKVWriter &Writer) const;
    // The stored fields before the item lists, in stream order.
    static std::span<const TKVField<TKVVertexStyle>> Fields();
    bool HasItems() const { return !DrawItems.empty() || !DataItems.empty() || !BitmapItems.empty(); }

    // Exact, case-sensitive names; the last match wins.
    TKVDrawItem *GetDrawItem(std::string_view Name) const;
    TKVDataItem *GetDataItem(std::string_view Name) const;
    TKVBitmapItem *GetBitmapItem(std::string_view Name) const;
};

class KAVGRAPH_EXPORT TKVEdgeStyle {
public:
    TKVEdgeStyle() { Font.Name = "Arial"; }
    TKVEdgeStyle(const TKVEdgeStyle &) = delete;
    TKVEdgeStyle &operator=(const TKVEdgeStyle &) = delete;

    TKVGetDataEvent OnGetData; // not streamed
    bool DrawCustomEnds = false;
    std::string Data; // the text box's text
    std::string Name;
    TPen Pen;
    TPen EndPen;
    TBrush EndBrush;
    bool SourceArrow = false;
    bool TargetArrow = true;
    bool WordWrap = false;
    std::string WrapMagic;
    std::uint8_t TextAlign = 0; // 0 left, 1 right, 2 centred
    TPen TextBoxPen;
    TBrush TextBoxBrush;
    TFont Font;
    TKVDrawConnect DrawConnection = dclAlways;
    bool TextBoxVisible = false;
    TKVDrawCustomEndEvent OnDrawCustomEnd; // not streamed

    void Assign(const TKVEdgeStyle *Source);
    void Load(TKVReader &Reader, std::string_view Version);
    void Save(TKVWriter &Writer) const;
    static std::span<const TKVField<TKVEdgeStyle>> Fields();
};

} // namespace kavgraph
