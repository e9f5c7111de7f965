#include "kavgraph/KVView.h"

#include "kavgraph/KVObjsBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

namespace kavgraph {

TKVOverviewBox::TKVOverviewBox(QWidget *Owner) : QWidget(Owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TKVOverviewBox::~TKVOverviewBox()
{
    if (fDiagramBox)
        std::erase(fDiagramBox->Views, QPointer<QWidget>(this));
}

void TKVOverviewBox::SetColor(TColor V)
{
    fColor = V;
    update();
}

void TKVOverviewBox::SetDiagramBox(TKVDiagramBox *Box)
{
    if (fDiagramBox && fDiagramBox != Box)
        std::erase(fDiagramBox->Views, QPointer<QWidget>(this));
    if (Box && std::find(Box->Views.begin(), Box->Views.end(), QPointer<QWidget>(this)) == Box->Views.end())
        Box->Views.push_back(this);
    fDiagramBox = Box;
}

void TKVOverviewBox::SetActive(bool Value)
{
    if (!fDiagramBox)
        return;
    fActive = Value;
    if (Value)
        update();
}

bool TKVOverviewBox::Working() const { return fDiagramBox && fDiagramBox->ScrollContainer() && fActive; }

void TKVOverviewBox::Render()
{
    TKVDiagramBox &box = *fDiagramBox;
    const TKVRect e = box.GetDiagramExtents();
    // The whole diagram fits, with a small margin; an empty diagram gives 1.
    const double down = double(e.Bottom) / height(), across = double(e.Right) / width();
    const double fit = 99 / (down >= across ? down : across);
    OverviewScale = std::isfinite(fit) && fit >= 1 && fit < 1e9 ? RoundHalfEven(fit) : 1;

    if (fBitmap.size() != size())
        fBitmap = QImage(size(), QImage::Format_RGB32);
    fBitmap.fill(ToQColor(fColor));
    TCanvas canvas(&fBitmap);
    const double factor = OverviewScale * 0.01;
    for (TKVObject *o : box.Edges)
        o->Draw(canvas, pmClipboard, factor, box.DataUpdate, {0, 0});
    for (TKVObject *o : box.Vertices)
        o->Draw(canvas, pmClipboard, factor, box.DataUpdate, {0, 0});

    const QScrollArea *area = box.ScrollContainer();
    const double k = 100.0 / box.Scale();
    const std::int64_t h = area->horizontalScrollBar()->value(), v = area->verticalScrollBar()->value();
    const auto map = [&](std::int64_t x) { return RoundHalfEven(WorldToScreenF64(x, OverviewScale * 0.01) * k); };
    ViewRect = {map(h), map(v), map(h + area->viewport()->width()), map(v + area->viewport()->height())};
    ViewCenter = {Saturate(ViewRect.Left + std::int64_t(RoundHalfEven((double(ViewRect.Right) - ViewRect.Left) * 0.5))),
                  Saturate(ViewRect.Top + std::int64_t(RoundHalfEven((double(ViewRect.Bottom) - ViewRect.Top) * 0.5)))};
    canvas.Pen = TPen{clBlack, psSolid, 2, pmCopy};
    canvas.Brush.Style = bsClear;
    canvas.Rectangle(ViewRect.Left, ViewRect.Top, ViewRect.Right, ViewRect.Bottom);
}

void TKVOverviewBox::paintEvent(QPaintEvent *)
{
    if (!Working()) {
        // Only the frame.
        fBitmap = QImage(size(), QImage::Format_RGB32);
        fBitmap.fill(ToQColor(fColor));
        TCanvas canvas(&fBitmap);
        canvas.Pen = TPen{clBlack, psDot, 1, pmCopy};
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(0, 0, width(), height());
    } else if (!fDragging) {
        Render();
    }
    QPainter painter(this);
    painter.drawImage(0, 0, fBitmap);
}

TKVRect TKVOverviewBox::FrameAt(TKVPoint Offset) const
{
    return {ViewRect.Left + Offset.X, ViewRect.Top + Offset.Y, ViewRect.Right + Offset.X, ViewRect.Bottom + Offset.Y};
}

void TKVOverviewBox::DrawFeedback(const TKVRect &R)
{
    if (fBitmap.isNull())
        return;
    {
        TCanvas canvas(&fBitmap);
        canvas.Pen = TPen{clRed, psSolid, 2, pmNotXor};
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
    }
    update();
}

void TKVOverviewBox::mousePressEvent(QMouseEvent *event)
{
    if (!Working())
        return;
    const TKVPoint p{event->position().toPoint().x(), event->position().toPoint().y()};
    DownPoint = LastPoint = p;
    if (event->button() == Qt::LeftButton) {
        fDragging = true;
        DragOffset = PointDiff(ViewCenter, p);
        DrawFeedback(FrameAt(DragOffset)); // the frame jumps under the pointer
    } else if (event->button() == Qt::RightButton) {
        fDragging = true;
        DrawFeedback({p.X, p.Y, p.X, p.Y});
    }
}

void TKVOverviewBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!Working())
        return;
    const TKVPoint p{event->position().toPoint().x(), event->position().toPoint().y()};
    if (event->buttons() & Qt::LeftButton) {
        DrawFeedback(FrameAt(PointDiff(ViewCenter, LastPoint)));
        DrawFeedback(FrameAt(PointDiff(ViewCenter, p)));
    } else if (event->buttons() & Qt::RightButton) {
        DrawFeedback({DownPoint.X, DownPoint.Y, LastPoint.X, LastPoint.Y});
        DrawFeedback({DownPoint.X, DownPoint.Y, p.X, p.Y});
    }
    LastPoint = p;
}

void TKVOverviewBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (!Working())
        return;
    TKVDiagramBox &box = *fDiagramBox;
    QScrollArea *area = box.ScrollContainer();
    const TKVPoint p{event->position().toPoint().x(), event->position().toPoint().y()};
    if (event->button() == Qt::LeftButton) {
        DragOffset = PointDiff(ViewCenter, LastPoint);
        DrawFeedback(FrameAt(DragOffset));
        area->horizontalScrollBar()->setValue(
            WorldToScreen(ScreenToWorld(ViewRect.Left + DragOffset.X, OverviewScale), box.Scale()));
        area->verticalScrollBar()->setValue(
            WorldToScreen(ScreenToWorld(ViewRect.Top + DragOffset.Y, OverviewScale), box.Scale()));
    } else if (event->button() == Qt::RightButton) {
        DrawFeedback({DownPoint.X, DownPoint.Y, LastPoint.X, LastPoint.Y});
        const auto zoom = [&](std::int64_t span, std::int64_t drawn) {
            return drawn == 0 ? box.Scale() : RoundHalfEven(double(span) * box.Scale() / double(drawn));
        };
        const std::int32_t zx = zoom(std::int64_t(ViewRect.Right) - ViewRect.Left, std::abs(std::int64_t(p.X) - DownPoint.X));
        const std::int32_t zy = zoom(std::int64_t(ViewRect.Bottom) - ViewRect.Top, std::abs(std::int64_t(p.Y) - DownPoint.Y));
        int scale = std::min(zx, zy);
        scale = std::max(scale, MinZoom);
        scale = std::min(scale, MaxZoom);
        if (OnScaleChange)
            OnScaleChange(scale);
        box.SetScale(scale);
        area->horizontalScrollBar()->setValue(
            WorldToScreen(ScreenToWorld(std::min(DownPoint.X, p.X), OverviewScale), box.Scale()));
        area->verticalScrollBar()->setValue(
            WorldToScreen(ScreenToWorld(std::min(DownPoint.Y, p.Y), OverviewScale), box.Scale()));
    } else {
        return;
    }
    fDragging = false;
    update();
}

} // namespace kavgraph
