// The generic diagram view, its paint box and scroll box, the mapping mode and the hint window.

#include "browser/treediagram/L1TreeDiagramBasis.h"

#include "browser/support/L1DebugWindow.h"
#include "browser/support/L1basis.h"
#include "platform/ui/QtPrompts.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

// ---- TvdDiagramMappingMode --------------------------------------------------------------

int TvdDiagramMappingMode::GetMode() const
{
    CheckPrecondition(fMode != 0, "TvdDiagramMappingMode.GetMode", "Result<>0");
    return fMode;
}

TvdDiagramMappingMode &DiagramMappingMode()
{
    static TvdDiagramMappingMode mode;
    return mode;
}

// ---- TvdPaintBox ------------------------------------------------------------------------

TvdPaintBox::TvdPaintBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Movement without a pressed button is reported too: hover feedback needs it.
    setMouseTracking(true);
    setAccessibleName(QStringLiteral("Diagram"));
    fBuffer = QImage(1, 1, QImage::Format_RGB32);
    fBuffer.fill(Qt::white);
    fCanvas = std::make_unique<TCanvas>(&fBuffer);
}

TvdPaintBox::~TvdPaintBox() { fCanvas.reset(); }

QRect TvdPaintBox::VisibleArea() const
{
    QRect r = rect();
    if (const QWidget *p = parentWidget())
        r &= QRect(mapFrom(p, QPoint(0, 0)), p->size());
    return r;
}

// The buffer always covers the visible part; when that part moves or changes its size the
// buffer's contents no longer belong anywhere and are rendered again.
void TvdPaintBox::SyncBuffer()
{
    const QRect visible = VisibleArea();
    const QSize size = visible.size().expandedTo(QSize(1, 1));
    if (size != fBuffer.size()) {
        fCanvas.reset();
        fBuffer = QImage(size, QImage::Format_RGB32);
        fBuffer.fill(Qt::white);
        fCanvas = std::make_unique<TCanvas>(&fBuffer);
        fRendered = QRegion();
    }
    if (visible.topLeft() != fBufferOrigin) {
        fBufferOrigin = visible.topLeft();
        fRendered = QRegion();
    }
}

void TvdPaintBox::Redraw()
{
    SyncBuffer();
    fRendered = QRegion();
    if (isVisible() && !fInPaint)
        repaint(VisibleArea());
    else
        update();
}

void TvdPaintBox::Flush(const QRect &bufferArea) { update(bufferArea.translated(fBufferOrigin)); }

void TvdPaintBox::Flush() { update(VisibleArea()); }

void TvdPaintBox::RenderArea(const QRect &area)
{
    SyncBuffer();
    const QRect target = area & VisibleArea();
    if (target.isEmpty())
        return;
    QPainter &painter = fCanvas->Painter();
    // Paint-box coordinates on the buffer, clipped to the area.
    painter.setTransform(QTransform::fromTranslate(-fBufferOrigin.x(), -fBufferOrigin.y()));
    painter.setClipRect(target);
    fInPaint = true;
    struct Restore {
        TvdPaintBox *box;
        ~Restore()
        {
            box->fInPaint = false;
            QPainter &p = box->fCanvas->Painter();
            p.setClipping(false);
            p.resetTransform();
        }
    } restore{this};
    if (OnPaint)
        OnPaint();
    else
        painter.fillRect(target, Qt::white);
    fRendered += target;
}

void TvdPaintBox::paintEvent(QPaintEvent *event)
{
    SyncBuffer();
    const QRect exposed = event->rect();
    const QRect inside = exposed & VisibleArea();
    const QRegion missing = QRegion(inside) - fRendered;
    if (!missing.isEmpty())
        RenderArea(missing.boundingRect());
    QPainter p(this);
    if (inside != exposed)
        p.fillRect(exposed, Qt::white);
    if (!inside.isEmpty())
        p.drawImage(inside.topLeft(), fBuffer, inside.translated(-fBufferOrigin));
}

namespace {

TvdShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TvdShiftState s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ssShift;
    if (modifiers & Qt::AltModifier)
        s |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        s |= ssCtrl;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

} // namespace

void TvdPaintBox::mousePressEvent(QMouseEvent *event)
{
    TvdMouseButton button;
    switch (event->button()) {
    case Qt::LeftButton: button = mbLeft; break;
    case Qt::RightButton: button = mbRight; break;
    case Qt::MiddleButton: button = mbMiddle; break;
    default: QWidget::mousePressEvent(event); return;
    }
    const QPoint p = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(button, ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TvdPaintBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TvdPaintBox::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    SyncBuffer();
    // A scroll copies only part of the screen; the whole buffer must follow.
    update(VisibleArea());
}

void TvdPaintBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    SyncBuffer();
    update(VisibleArea());
}

// ---- TvdScrollBox -----------------------------------------------------------------------

TvdScrollBox::TvdScrollBox(QWidget *parent) : QScrollArea(parent)
{
    setWidgetResizable(false);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Diagram scroll area"));
    setBackgroundRole(QPalette::Base);
}

void TvdScrollBox::SetRanges(int horizontal, int vertical)
{
    fHorzRange = std::clamp(horizontal, 0, QWIDGETSIZE_MAX);
    fVertRange = std::clamp(vertical, 0, QWIDGETSIZE_MAX);
    SizeWidget();
}

void TvdScrollBox::SizeWidget()
{
    if (QWidget *w = widget()) {
        const QSize visible = viewport()->size();
        w->resize(std::max(fHorzRange, visible.width()), std::max(fVertRange, visible.height()));
    }
}

int TvdScrollBox::HorzPosition() const { return horizontalScrollBar()->value(); }
int TvdScrollBox::VertPosition() const { return verticalScrollBar()->value(); }

void TvdScrollBox::SetPositions(int x, int y)
{
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
}

void TvdScrollBox::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    SizeWidget();
}

void TvdScrollBox::focusOutEvent(QFocusEvent *event)
{
    QScrollArea::focusOutEvent(event);
    if (OnExit)
        OnExit();
}

// ---- TvdHintController ------------------------------------------------------------------

TvdHintController::TvdHintController()
    : fHintWindow(std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint |
                                                        Qt::WindowDoesNotAcceptFocus))
{
    fHintWindow->setAttribute(Qt::WA_ShowWithoutActivating);
    fHintWindow->setFocusPolicy(Qt::NoFocus);
    fHintWindow->setForegroundRole(QPalette::ToolTipText);
    fHintWindow->setBackgroundRole(QPalette::ToolTipBase);
    fHintWindow->setAutoFillBackground(true);
    fHintWindow->setMargin(2);
    fHintWindow->setAccessibleName(QStringLiteral("Hint"));
    fTimer.setInterval(1000);
    QObject::connect(&fTimer, &QTimer::timeout, [this] { Hide(); });
    fTimer.start();
}

TvdHintController::~TvdHintController() = default;

void TvdHintController::Show(QPoint screenPoint, const std::string &text)
{
    fHintWindow->setText(FromCp1252(text));
    fHintWindow->move(screenPoint);
    fHintWindow->show();
    fHintWindow->raise();
    fTimer.start();
}

void TvdHintController::Hide()
{
    if (fHintWindow && fHintWindow->windowHandle() && fHintWindow->isVisible())
        fHintWindow->hide();
    fTimer.stop();
}

// ---- Tvd_DiagramObject_View -------------------------------------------------------------

void Tvd_DiagramObject_View::GetBounds(TRect &rect) const { rect = {Left, Top, Right, Bottom}; }

void Tvd_DiagramObject_View::SetBounds(const TRect &rect)
{
    Left = rect.Left;
    Top = rect.Top;
    Right = rect.Right;
    Bottom = rect.Bottom;
}

bool Tvd_DiagramObject_View::ContainsPoint(QPoint point) const
{
    return point.x() >= Left && point.x() < Right && point.y() >= Top && point.y() < Bottom;
}

void Tvd_DiagramObject_View::DrawTo(TCanvas &)
{
    NotImplementedYet("Tvd_DiagramObject_View.DrawTo(const i_canvas: TCanvas);");
}

// ---- TvdDiagram -------------------------------------------------------------------------

TvdDiagram::TvdDiagram() : fHintController(std::make_unique<TvdHintController>()) {}

TvdDiagram::~TvdDiagram()
{
    if (fPaintBox) {
        fPaintBox->OnPaint = nullptr;
        fPaintBox->OnMouseDown = nullptr;
        fPaintBox->OnMouseMove = nullptr;
    }
    if (fScrollBox)
        fScrollBox->OnExit = nullptr;
}

TCanvas *TvdDiagram::Canvas() const { return fPaintBox ? fPaintBox->Canvas() : nullptr; }

void TvdDiagram::AttachTo(TvdPaintBox *paintBox, TvdScrollBox *scrollBox)
{
    fPaintBox = paintBox;
    fScrollBox = scrollBox;
    CheckPrecondition(Canvas() != nullptr, ClassName() + ".AttachTo", "fCanvas<>nil");
    SetupRawEventHandlers();
}

void TvdDiagram::SetupRawEventHandlers()
{
    CheckPrecondition(fPaintBox != nullptr, "TvdDiagram.SetupRawEventHandlers", "fPaintBox<>nil");
    fPaintBox->OnMouseMove = [this](TvdShiftState shift, int x, int y) { MouseMove(shift, x, y); };
    fPaintBox->OnMouseDown = [this](TvdMouseButton b, TvdShiftState shift, int x, int y) { MouseDown(b, shift, x, y); };
    // The window would forward the paint box's paint event; the view takes it itself.
    fPaintBox->OnPaint = [this] { PaintRequest(); };
    if (fScrollBox)
        fScrollBox->OnExit = [this] { FocusLeft(); };
}

void TvdDiagram::ApplyMapping()
{
    const int mode = DiagramMappingMode().GetMode();
    if (fUseScrollOrigin)
        UpdateScrollOffsets();
    TCanvas *canvas = Canvas();
    if (!canvas)
        return;
    canvas->SetMapMode(mode == int(TMapMode::Isotropic) ? TMapMode::Isotropic : TMapMode::Text);
    if (fUseScrollOrigin)
        canvas->SetViewportOrg(-fScrollOffsetX, -fScrollOffsetY);
    else
        canvas->SetViewportOrg(0, 0);
    canvas->SetWindowOrg(0, 0);
    canvas->SetWindowExt(100, 100);
    canvas->SetViewportExt(fZoom, fZoom);
}

void TvdDiagram::CalculateBoundsRect(TRect &rect) { rect = {0, 0, 500, 500}; }

void TvdDiagram::GetBounds(TRect &rect)
{
    if (!fBoundsValid)
        RecalculateBounds();
    rect = fBoundsCache;
}

void TvdDiagram::RecalculateBounds()
{
    CalculateBoundsRect(fBoundsCache);
    fBoundsValid = true;
    UpdateScrollRanges();
}

namespace {

int ScaledRange(int32_t extent, int32_t zoom)
{
    const long long v = static_cast<long long>(extent) * zoom / 100;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

} // namespace

void TvdDiagram::UpdateScrollRanges()
{
    if (!fScrollBox)
        return;
    fScrollBox->SetRanges(ScaledRange(fBoundsCache.Right, fZoom), ScaledRange(fBoundsCache.Bottom, fZoom));
}

void TvdDiagram::UpdateScrollOffsets()
{
    if (!fScrollBox)
        return;
    fScrollOffsetX = static_cast<int32_t>(static_cast<long long>(fScrollBox->HorzPosition()) * 100 / fZoom);
    fScrollOffsetY = static_cast<int32_t>(static_cast<long long>(fScrollBox->VertPosition()) * 100 / fZoom);
}

void TvdDiagram::SetZoom(int percent)
{
    if (percent == fZoom)
        return;
    // A zoom of 0 or less has no mapping and would divide by zero when converting offsets.
    CheckPrecondition(percent > 0, "TvdDiagram.SetZoom", "i_percent>0");
    fZoom = percent;
    UpdateScrollRanges();
    UpdateScrollOffsets();
    DebugWindow().WriteLine("Zoom-refresh");
    if (fPaintBox)
        fPaintBox->Redraw();
}

void TvdDiagram::ClearCanvas()
{
    TCanvas *canvas = Canvas();
    if (!canvas)
        return;
    canvas->Brush = TBrush{clWhite, bsSolid};
    const QRect r = canvas->ClipRect();
    // One unit more on every side, so rounding at other zooms leaves no unpainted seam.
    canvas->FillRect(r.left() - 1, r.top() - 1, r.left() + r.width() + 1, r.top() + r.height() + 1);
}

void TvdDiagram::Clear()
{
    ClearCanvas();
    fScrollOffsetX = 0;
    fScrollOffsetY = 0;
}

void TvdDiagram::Paint()
{
    // Outside a paint request the paint box paints itself now, and so calls back here.
    if (fPaintBox && !fPaintBox->InPaint()) {
        fPaintBox->Redraw();
        return;
    }
    Clear();
    ApplyMapping();
    TCanvas *canvas = Canvas();
    CheckPrecondition(canvas != nullptr, ClassName() + ".Draw", "fCanvas<>nil");
    for (const TStringList::Entry &e : fObjectViews.Items())
        static_cast<Tvd_DiagramObject_View *>(e.obj)->DrawTo(*canvas);
}

void TvdDiagram::MouseDown(TvdMouseButton button, TvdShiftState shift, int x, int y)
{
    ApplyMapping();
    TCanvas *canvas = Canvas();
    const QPoint p = canvas ? canvas->DPtoLP(QPoint(x, y)) : QPoint(x, y);
    DebugWindow().WriteLine("MouseDown: mapping mode " + std::to_string(DiagramMappingMode().GetMode()) + ", point (" +
                            std::to_string(p.x()) + ", " + std::to_string(p.y()) + ")");
}

void TvdDiagram::HideHint() { fHintController->Hide(); }

void TvdDiagram::ShowHint(QPoint screenPoint, const std::string &text) { fHintController->Show(screenPoint, text); }

Tvd_DiagramObject_View *TvdDiagram::ViewAt(QPoint point) const
{
    for (const TStringList::Entry &e : fObjectViews.Items()) {
        auto *view = static_cast<Tvd_DiagramObject_View *>(e.obj);
        if (view->ContainsPoint(point))
            return view;
    }
    return nullptr;
}

void TvdDiagram::AddObjectView(const std::string &name, Tvd_DiagramObject_View *view) { fObjectViews.Add(name, view); }
