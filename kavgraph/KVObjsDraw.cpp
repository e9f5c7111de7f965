// Drawing of every diagram object and its rubber-band outline.

#include "kavgraph/KVObjs.h"
#include "platform/ui/Canvas.h"

#include <algorithm>
#include <cmath>

namespace kavgraph {

namespace {

// round((v - o) * f), kept within +-2^30 so that the few pixels added round it never overflow.
std::int32_t Map(std::int32_t v, std::int32_t o, double f)
{
    return std::clamp(WorldToScreenF64(std::int64_t(v) - o, f), -(1 << 30), 1 << 30);
}

const TPen kBlackPen{clBlack, psSolid, 1, pmCopy};
const TPen kXorPen{clBlack, psSolid, 1, pmNotXor};
const TBrush kWhiteBrush{clWhite, bsSolid};
const TBrush kClearBrush{clWhite, bsClear};

// Keeps the canvas pen and brush across a drawing.
class PenBrushKeeper {
public:
    explicit PenBrushKeeper(TCanvas &c) : fCanvas(c), fPen(c.Pen), fBrush(c.Brush) {}
    ~PenBrushKeeper()
    {
        fCanvas.Pen = fPen;
        fCanvas.Brush = fBrush;
    }

private:
    TCanvas &fCanvas;
    TPen fPen;
    TBrush fBrush;
};

} // namespace

// ---- TKVHandle -------------------------------------------------------------------------------

void TKVHandle::Draw(TCanvas &Canvas, TKVPaintMode, double ScaleFactor, TKVDataUpdateMode, TKVPoint Offset)
{
    Canvas.Pen = kBlackPen;
    Canvas.Brush = {clBlack, bsSolid};
    const std::int32_t x = Map(Position.X, Offset.X, ScaleFactor), y = Map(Position.Y, Offset.Y, ScaleFactor);
    Canvas.Rectangle(x - 4, y - 4, x + 4, y + 4);
}

void TKVHandle::DrawDrag(TCanvas &Canvas, double ScaleFactor)
{
    TKVObject *owner = Owner();
    if (auto *edge = dynamic_cast<TKVCustomEdge *>(owner))
        edge->DrawSegmentDrag(Canvas, this, ScaleFactor);
    else if (owner)
        owner->DrawDrag(Canvas, ScaleFactor);
}

// ---- TKVCustomVertex ---------------------------------------------------------------------------

void TKVCustomVertex::Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                           TKVPoint Offset)
{
    Canvas.Pen = kBlackPen;
    Canvas.Brush = kWhiteBrush;
    Canvas.Rectangle(Map(Bounds.Left, Offset.X, ScaleFactor), Map(Bounds.Top, Offset.Y, ScaleFactor),
                     Map(Bounds.Right, Offset.X, ScaleFactor), Map(Bounds.Bottom, Offset.Y, ScaleFactor));
    if (Selected && PaintMode == pmScreen)
        DrawHandles(Canvas, PaintMode, ScaleFactor, DataUpdate, Offset);
}

void TKVCustomVertex::DrawHandles(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor,
                                  TKVDataUpdateMode DataUpdate, TKVPoint Offset)
{
    for (const auto &handle : ResizeHandles)
        handle->Draw(Canvas, PaintMode, ScaleFactor, DataUpdate, Offset);
}

void TKVCustomVertex::DrawDrag(TCanvas &Canvas, double ScaleFactor)
{
    PenBrushKeeper keep(Canvas);
    Canvas.Pen = kXorPen;
    Canvas.Brush = kClearBrush;
    Canvas.Rectangle(Map(Bounds.Left, 0, ScaleFactor), Map(Bounds.Top, 0, ScaleFactor), Map(Bounds.Right, 0, ScaleFactor),
                     Map(Bounds.Bottom, 0, ScaleFactor));
}

// ---- TKVVertex -----------------------------------------------------------------------------------

void TKVVertex::Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                     TKVPoint Offset)
{
    {
        PenBrushKeeper keep(Canvas);
        if (Style.HasItems()) {
            for (const auto &item : Style.DrawItems)
                item->Draw(Bounds, Canvas, ScaleFactor, PaintMode, Offset, this);
            for (const auto &item : Style.BitmapItems)
                item->Draw(Bounds, Canvas, ScaleFactor, PaintMode, Offset, this);
            for (const auto &item : Style.DataItems) {
                if (DataUpdate == duAutomatic)
                    item->Text = Style.OnGetData ? Style.OnGetData(Id, item->Name, DataObject) : std::string();
                item->Draw(Bounds, Canvas, ScaleFactor, PaintMode, Offset, this);
            }
        } else {
            Canvas.Pen = kBlackPen;
            Canvas.Brush = kWhiteBrush;
            Canvas.Rectangle(Map(Bounds.Left, Offset.X, ScaleFactor), Map(Bounds.Top, Offset.Y, ScaleFactor),
                             Map(Bounds.Right, Offset.X, ScaleFactor), Map(Bounds.Bottom, Offset.Y, ScaleFactor));
        }
    }
    if (Selected && PaintMode == pmScreen)
        DrawHandles(Canvas, PaintMode, ScaleFactor, DataUpdate, Offset);
}

// ---- TKVCustomEdge -----------------------------------------------------------------------------

void TKVCustomEdge::DrawLine(TCanvas &Canvas, double ScaleFactor, TKVPoint Offset)
{
    for (std::size_t i = 0; i < Handles.size(); ++i) {
        const TKVPoint p = Handles[i]->Position;
        const std::int32_t x = Map(p.X, Offset.X, ScaleFactor), y = Map(p.Y, Offset.Y, ScaleFactor);
        if (i == 0)
            Canvas.MoveTo(x, y);
        else
            Canvas.LineTo(x, y);
    }
}

void TKVCustomEdge::Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                         TKVPoint Offset)
{
    Canvas.Pen = kBlackPen;
    Canvas.Brush = kWhiteBrush;
    DrawLine(Canvas, ScaleFactor, Offset);
    if (Selected && PaintMode == pmScreen)
        DrawHandles(Canvas, PaintMode, ScaleFactor, DataUpdate, Offset);
    Adjacent->Draw(Canvas, PaintMode, ScaleFactor, DataUpdate, Offset);
}

void TKVCustomEdge::DrawHandles(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor,
                                TKVDataUpdateMode DataUpdate, TKVPoint Offset)
{
    for (const auto &handle : Handles)
        handle->Draw(Canvas, PaintMode, ScaleFactor, DataUpdate, Offset);
}

void TKVCustomEdge::DrawDrag(TCanvas &Canvas, double ScaleFactor)
{
    PenBrushKeeper keep(Canvas);
    Canvas.Pen = kXorPen;
    DrawLine(Canvas, ScaleFactor, {0, 0});
}

void TKVCustomEdge::DrawSegmentDrag(TCanvas &Canvas, TKVHandle *Handle, double ScaleFactor)
{
    const int i = IndexOfHandle(Handle);
    if (i < 0)
        return;
    PenBrushKeeper keep(Canvas);
    Canvas.Pen = kXorPen;
    const int last = std::min(i, int(Handles.size()) - 2);
    for (int k = std::max(i - 1, 0); k <= last; ++k) {
        const TKVPoint a = WorldToScreenPtF(Handles[std::size_t(k)]->Position, ScaleFactor);
        const TKVPoint b = WorldToScreenPtF(Handles[std::size_t(k) + 1]->Position, ScaleFactor);
        Canvas.MoveTo(a.X, a.Y);
        Canvas.LineTo(b.X, b.Y);
    }
}

// ---- TKVEdge -------------------------------------------------------------------------------------

void TKVEdge::Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                   TKVPoint Offset)
{
    if (Style.TextBoxVisible) {
        if (DataUpdate == duAutomatic && Style.OnGetData)
            Style.Data = Style.OnGetData(Id, "Textbox", DataObject);
        Adjacent->Text = Style.Data;
    } else {
        Adjacent->Text.clear();
    }
    Canvas.Pen = Style.Pen;
    Canvas.Brush = kWhiteBrush;
    DrawLine(Canvas, ScaleFactor, Offset);
    if (Selected && PaintMode == pmScreen)
        DrawHandles(Canvas, PaintMode, ScaleFactor, DataUpdate, Offset);
    Adjacent->Draw(Canvas, PaintMode, ScaleFactor, DataUpdate, Offset);
    Canvas.Pen = Style.EndPen;
    Canvas.Brush = Style.EndBrush;
    const std::size_t n = Handles.size();
    if (Style.TargetArrow)
        DrawEnd(Canvas, PaintMode, ScaleFactor, DataUpdate, Offset, Target, Handles[n - 2]->Position,
                Handles[n - 1]->Position);
    if (Style.SourceArrow)
        DrawEnd(Canvas, PaintMode, ScaleFactor, DataUpdate, Offset, Source, Handles[1]->Position,
                Handles[0]->Position);
}

void TKVEdge::DrawEnd(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                      TKVPoint Offset, TKVObject *EndObject, TKVPoint Inner, TKVPoint Outer)
{
    // An end segment without length has no direction: no end is drawn.
    if (Inner == Outer)
        return;
    // Where the end segment meets the end object's border; a segment that does not cross a
    // vertex's border ends at its handle.
    TKVPoint q = Outer;
    if (auto *vertex = dynamic_cast<TKVCustomVertex *>(EndObject))
        q = vertex->BorderCrossing(Inner, Outer).value_or(Outer);
    else if (EndObject)
        q = EndObject->FindConnectionPoint(Inner, Outer);
    if (Style.DrawCustomEnds && Style.OnDrawCustomEnd) {
        Style.OnDrawCustomEnd(Canvas, ScaleFactor, PaintMode, DataUpdate, Offset, q, this);
        return;
    }
    const double vx = double(Outer.X) - Inner.X, vy = double(Outer.Y) - Inner.Y;
    const double k = 5 / std::hypot(vx, vy);
    auto corner = [&](double dx, double dy) {
        const std::int64_t x = std::int64_t(q.X) + RoundHalfEven(k * dx);
        const std::int64_t y = std::int64_t(q.Y) + RoundHalfEven(k * dy);
        return QPoint(Map(Saturate(x), Offset.X, ScaleFactor), Map(Saturate(y), Offset.Y, ScaleFactor));
    };
    Canvas.Polygon({corner(0, 0), corner(-2 * vx - vy, -2 * vy + vx), corner(-2 * vx + vy, -2 * vy - vx)});
}

// ---- TKVAdjacent -------------------------------------------------------------------------------

void TKVAdjacent::DrawConnector(TCanvas &Canvas, TKVPoint handle, TKVPoint label)
{
    const TPen pen = Canvas.Pen;
    Canvas.Pen = {clBlack, psDot, 1, pen.Mode};
    Canvas.MoveTo(handle.X, handle.Y);
    Canvas.LineTo(label.X, label.Y);
    Canvas.Pen = pen;
}

void TKVAdjacent::Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode, TKVPoint Offset)
{
    if (Text.empty())
        return;
    const auto *edge = dynamic_cast<const TKVEdge *>(Edge());
    std::uint8_t align = 2;
    if (edge) {
        Canvas.Pen = edge->Style.TextBoxPen;
        Canvas.Brush = edge->Style.TextBoxBrush;
        Canvas.Font = edge->Style.Font;
        align = edge->Style.TextAlign;
    } else {
        Canvas.Pen = {clBlack, psClear, 1, pmCopy};
        Canvas.Brush = kClearBrush;
        Canvas.Font = TFont();
        Canvas.Font.Name = "Arial";
        Canvas.Font.Size = 10;
    }
    double fontFactor = ScaleFactor;
    if (PaintMode == pmPrinter && Canvas.PixelsPerInch > 0)
        fontFactor *= 96.0 / Canvas.PixelsPerInch;
    Canvas.Font.Size = RoundHalfEven(Canvas.Font.Size * fontFactor);
    const std::int32_t tw = Canvas.TextWidth(Text), th = Canvas.TextHeight(Text);
    const std::int32_t cx = Map(Position.X, Offset.X, ScaleFactor), cy = Map(Position.Y, Offset.Y, ScaleFactor);
    const std::int32_t left = Saturate(std::int64_t(cx) - RoundHalfEven(tw * 0.5));
    const std::int32_t top = Saturate(std::int64_t(cy) - RoundHalfEven(th * 0.5));
    const TKVRect screen{left, top, Saturate(std::int64_t(left) + tw), Saturate(std::int64_t(top) + th)};
    // The label rectangle is kept in world units, so hit tests hold at any scale and offset.
    // Only the screen sets it: the overview and the print preview draw at their own scales.
    if (ScaleFactor > 0 && PaintMode == pmScreen) {
        const TKVRect world{Saturate(std::int64_t(RoundHalfEven(left / ScaleFactor)) + Offset.X),
                            Saturate(std::int64_t(RoundHalfEven(top / ScaleFactor)) + Offset.Y),
                            Saturate(std::int64_t(RoundHalfEven(screen.Right / ScaleFactor)) + Offset.X),
                            Saturate(std::int64_t(RoundHalfEven(screen.Bottom / ScaleFactor)) + Offset.Y)};
        if (!(world == Bounds)) {
            Bounds = world;
            KVGeometryChanged();
        }
    }
    if (edge && (edge->Style.DrawConnection == dclAlways || (edge->Style.DrawConnection == dclSelected && Selected)))
        DrawConnector(Canvas, {Map(Handle->Position.X, Offset.X, ScaleFactor), Map(Handle->Position.Y, Offset.Y, ScaleFactor)},
                      {cx, cy});
    Canvas.Rectangle(left - 1, top - 1, screen.Right + 2, screen.Bottom + 2);
    std::int32_t x = left;
    if (align == 1)
        x = screen.Right - tw;
    else if (align == 2)
        x = left + RoundHalfEven((screen.Right - left - tw) * 0.5);
    const TBrushStyle brushStyle = Canvas.Brush.Style;
    Canvas.Brush.Style = bsClear;
    Canvas.TextOut(x, top, Text);
    Canvas.Brush.Style = brushStyle;
}

void TKVAdjacent::DrawDrag(TCanvas &Canvas, double ScaleFactor)
{
    PenBrushKeeper keep(Canvas);
    Canvas.Pen = kXorPen;
    Canvas.Brush = kClearBrush;
    Canvas.Rectangle(Map(Bounds.Left, 0, ScaleFactor) - 1, Map(Bounds.Top, 0, ScaleFactor) - 1,
                     Map(Bounds.Right, 0, ScaleFactor) + 2, Map(Bounds.Bottom, 0, ScaleFactor) + 2);
    DrawConnector(Canvas, WorldToScreenPtF(Handle->Position, ScaleFactor), WorldToScreenPtF(Position, ScaleFactor));
}

} // namespace kavgraph
