#include "kavgraph/KVPrint.h"

#include "kavgraph/KVObjsBox.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kavgraph {

TKVPrintPreview::TKVPrintPreview(QWidget *Owner) : QWidget(Owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TKVPrintPreview::~TKVPrintPreview()
{
    if (fDiagramBox)
        std::erase(fDiagramBox->Views, QPointer<QWidget>(this));
}

void TKVPrintPreview::SetDiagramBox(TKVDiagramBox *Box)
{
    if (fDiagramBox)
        std::erase(fDiagramBox->Views, QPointer<QWidget>(this));
    fDiagramBox = Box;
    if (Box)
        Box->Views.push_back(this);
    update();
}

void TKVPrintPreview::SetColor(TColor V)
{
    fColor = V;
    update();
}

bool TKVPrintPreview::GetPage(int X, int Y) const
{
    return X >= 1 && X <= kMaxPages && Y >= 1 && Y <= kMaxPages && fPages[X - 1][Y - 1];
}

void TKVPrintPreview::SetPage(int X, int Y, bool Value)
{
    if (X >= 1 && X <= kMaxPages && Y >= 1 && Y <= kMaxPages)
        fPages[X - 1][Y - 1] = Value;
}

std::vector<TKVPage> TKVPrintPreview::MarkedPages() const
{
    // Marks outlive edits of the diagram; a page the diagram no longer reaches would come out
    // blank, so only the pages of the current page count are given.
    int columns = kMaxPages, rows = kMaxPages;
    if (fDiagramBox) {
        const TKVPageCount count = fDiagramBox->GetPageCount();
        columns = std::clamp(count.Columns, 0, kMaxPages);
        rows = std::clamp(count.Rows, 0, kMaxPages);
    }
    std::vector<TKVPage> pages;
    for (int row = 1; row <= rows; ++row)
        for (int column = 1; column <= columns; ++column)
            if (GetPage(column, row))
                pages.push_back({column, row});
    return pages;
}

void TKVPrintPreview::Render()
{
    TKVDiagramBox &box = *fDiagramBox;
    const TKVRect ext = box.GetDiagramExtents();
    if (ext.Right <= 0)
        return; // an empty diagram: the last picture stays
    const int W = width(), H = height();
    const double across = double(ext.Right) / W, down = double(ext.Bottom) / H;
    fScale = std::max(1, RoundHalfEven(99 / std::max(across, down)));
    const double F = fScale * 0.01;

    if (fBuffer.size() != size())
        fBuffer = QImage(size(), QImage::Format_RGB32);
    fBuffer.fill(ToQColor(fColor));
    TCanvas canvas(&fBuffer);
    for (TKVObject *o : box.Edges)
        o->Draw(canvas, pmClipboard, F, box.DataUpdate, {0, 0});
    for (TKVObject *o : box.Vertices)
        o->Draw(canvas, pmClipboard, F, box.DataUpdate, {0, 0});

    // The page grid.
    const TKVPrinterMetrics metrics = box.PrinterMetrics();
    const TKVPoint page = kvpages::PageSize(metrics, kvpages::PreviewPrinterPercent(metrics, box.PrintScale()));
    const double pw = page.X, ph = page.Y;
    canvas.Pen = TPen{clBlack, psSolid, 1, pmCopy};
    const std::int64_t columns = RoundHalfEven(RoundHalfEven(W / pw + 0.5) * 100.0 / fScale);
    for (std::int64_t i = 1; i <= columns; ++i) {
        const std::int32_t x = RoundHalfEven(i * pw * F);
        if (x > W)
            break;
        canvas.MoveTo(x, 0);
        canvas.LineTo(x, H);
    }
    const std::int64_t rows = RoundHalfEven(RoundHalfEven(H / ph + 0.5) * 100.0 / fScale);
    for (std::int64_t j = 1; j <= rows; ++j) {
        const std::int32_t y = RoundHalfEven(j * ph * F);
        if (y > H)
            break;
        canvas.MoveTo(0, y);
        canvas.LineTo(W, y);
    }

    // The marked pages.
    const TKVPageCount count = box.GetPageCount();
    for (int i = 1; i <= std::min(count.Columns, kMaxPages); ++i)
        for (int j = 1; j <= std::min(count.Rows, kMaxPages); ++j) {
            if (!fPages[i - 1][j - 1])
                continue;
            const int left = RoundHalfEven((i - 1) * pw * F) + 1, top = RoundHalfEven((j - 1) * ph * F) + 1;
            const int right = RoundHalfEven(i * pw * F), bottom = RoundHalfEven(j * ph * F);
            canvas.Pen = Pen;
            canvas.Pen.Style = psInsideFrame;
            canvas.Pen.Mode = pmCopy;
            canvas.Brush.Style = bsClear;
            canvas.Rectangle(left, top, right, bottom);
            // A page reaching beyond the panel shows a dotted edge where it is cut.
            canvas.Pen = TPen{Pen.Color, psDot, 1, pmCopy};
            if (right > W) {
                canvas.MoveTo(W - 1, top + 1);
                canvas.LineTo(W - 1, bottom);
            }
            if (bottom > H) {
                canvas.MoveTo(left + 1, H - 1);
                canvas.LineTo(right, H - 1);
            }
        }
}

void TKVPrintPreview::paintEvent(QPaintEvent *)
{
    if (fDiagramBox)
        Render();
    if (fBuffer.size() != size()) {
        // Nothing drawn yet: an empty picture.
        QImage empty(size(), QImage::Format_RGB32);
        empty.fill(ToQColor(fColor));
        if (!fBuffer.isNull()) {
            QPainter p(&empty);
            p.drawImage(0, 0, fBuffer);
        }
        fBuffer = empty;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, fBuffer);
}

void TKVPrintPreview::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !fDiagramBox)
        return;
    TKVDiagramBox &box = *fDiagramBox;
    const QPoint at = event->position().toPoint();
    const TKVPageCount count = box.GetPageCount();
    const TKVPrinterMetrics metrics = box.PrinterMetrics();
    const TKVPoint page = kvpages::PageSize(metrics, kvpages::PreviewPrinterPercent(metrics, box.PrintScale()));
    const auto screen = [&](std::int64_t v) { return WorldToScreenF64(v, fScale * 0.01); };
    bool changed = false;
    for (int i = 1; i <= std::min(count.Columns, kMaxPages); ++i)
        for (int j = 1; j <= std::min(count.Rows, kMaxPages); ++j)
            if (screen(std::int64_t(i - 1) * page.X) < at.x() && at.x() < screen(std::int64_t(i) * page.X) &&
                screen(std::int64_t(j - 1) * page.Y) < at.y() && at.y() < screen(std::int64_t(j) * page.Y)) {
                fPages[i - 1][j - 1] = !fPages[i - 1][j - 1];
                changed = true;
            }
    if (changed)
        update();
}

} // namespace kavgraph
