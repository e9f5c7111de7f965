// The diagram box: the widget over a diagram: back buffer, hint, input to the actor, scroll area.

#include "kavgraph/KVObjsBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kavgraph {

namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState s = 0;
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

std::optional<TMouseButton> ButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return mbLeft;
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return std::nullopt;
    }
}

} // namespace

TKVDiagramBox::TKVDiagramBox(QWidget *Owner)
    : QWidget(Owner), fDiagram(std::make_unique<TKVDiagram>()), AutoSize(fDiagram->AutoSize),
      SaveOptions(fDiagram->SaveOptions), OnAddObject(fDiagram->OnAddObject),
      OnDeleteObject(fDiagram->OnDeleteObject), OnScaleChange(fDiagram->OnScaleChange),
      ImmediateRedraw(fDiagram->ImmediateRedraw), DataUpdate(fDiagram->DataUpdate),
      ParentWidth(fDiagram->ParentWidth), ParentHeight(fDiagram->ParentHeight), Vertices(fDiagram->Vertices),
      Edges(fDiagram->Edges), Selection(fDiagram->Selection), LastId(fDiagram->LastId),
      OnLoadSection(fDiagram->OnLoadSection)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    fHintTimer = new QTimer(this);
    fHintTimer->setSingleShot(true);
    fHintTimer->setInterval(1000);
    connect(fHintTimer, &QTimer::timeout, this, [this] { HintTimerFired(); });
    connect(fDiagram.get(), &TKVDiagram::Changed, this, [this] { Invalidate(); });
    connect(fDiagram.get(), &TKVDiagram::ObjectRemoved, this, [this](TKVObject *o) { ObjectRemoved(o); });
    connect(fDiagram.get(), &TKVDiagram::ObjectAdded, this, [this](TKVObject *o) { ObjectAdded(o); });
}

TKVDiagramBox::~TKVDiagramBox()
{
    // The diagram's last notifications would reach a half-destroyed widget.
    fDiagram->disconnect(this);
    fDiagram.reset();
}

void TKVDiagramBox::ObjectRemoved(TKVObject *Obj)
{
    if (fActor && fActor->Current == Obj)
        fActor->Current = nullptr;
    if (fHintObject == Obj)
        HideHint();
    fBufferValid = false;
    update();
}

void TKVDiagramBox::ObjectAdded(TKVObject *Obj)
{
    DrawOnBox([&](TCanvas &canvas) { Obj->Draw(canvas, pmScreen, ScaleFactor(), DataUpdate, Origin); });
}

// ---- Properties ---------------------------------------------------------------------------------

void TKVDiagramBox::SetActor(TKVActor *Actor)
{
    // The box keeps only its own actor's object up to date when objects go: the actor it
    // leaves forgets its object.
    if (fActor && fActor != Actor)
        fActor->Current = nullptr;
    fActor = Actor;
    if (Actor)
        Actor->DiagramBox = this;
    Invalidate();
}

// ---- Objects --------------------------------------------------------------------------------------

TKVObject *TKVDiagramBox::AddObject(std::unique_ptr<TKVObject> Obj, TKVMode Mode)
{
    return fDiagram->AddObjectUndoable(std::move(Obj), Mode);
}

void TKVDiagramBox::DeleteObject(TKVObject *Obj, TKVMode Mode) { fDiagram->DeleteObjectUndoable(Obj, Mode); }

void TKVDiagramBox::DeleteSelectedObjects(TKVMode Mode) { fDiagram->DeleteSelectedUndoable(Mode); }

void TKVDiagramBox::Clear()
{
    fDiagram->Clear();
    HideHint();
}

void TKVDiagramBox::ToFront(TKVObject *V) { fDiagram->ToFront(V); }
void TKVDiagramBox::ToBack(TKVObject *V) { fDiagram->ToBack(V); }
void TKVDiagramBox::ToFrontOne(TKVObject *V) { fDiagram->ToFrontOne(V); }
void TKVDiagramBox::ToBackOne(TKVObject *V) { fDiagram->ToBackOne(V); }
void TKVDiagramBox::DeleteHandle(TKVHandle *Handle)
{
    fDiagram->BeginChange({Handle});
    fDiagram->DeleteHandle(Handle);
    fDiagram->EndChange(tr("Delete bend"));
}

void TKVDiagramBox::MoveSelectionBy(TKVPoint Delta)
{
    // The outlines use the scale number itself as the factor, as the box always has; the
    // actor draws the visible outline of the object under the pointer.
    const double factor = Scale();
    const TKVObjectList selection = Selection;
    fDiagram->BeginChange(selection);
    for (TKVObject *o : selection) {
        if (!ImmediateRedraw)
            DrawOnBox([&](TCanvas &c) { o->DrawDrag(c, factor); });
        o->MoveBy(Delta);
        if (!ImmediateRedraw)
            DrawOnBox([&](TCanvas &c) { o->DrawDrag(c, factor); });
    }
    fDiagram->EndChange(tr("Move"));
}

void TKVDiagramBox::DrawDrag(const TKVRect &R)
{
    DrawOnBox([&](TCanvas &c) {
        c.Pen = TPen{clBlack, psSolid, 1, pmNotXor};
        c.Brush.Style = bsClear;
        c.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
    });
}

// ---- Files ----------------------------------------------------------------------------------------

void TKVDiagramBox::Load(const QString &FileName, TKVStyleLibrary *StyleLibrary) { fDiagram->Load(FileName, StyleLibrary); }
void TKVDiagramBox::Save(const QString &FileName, TKVStyleLibrary *StyleLibrary) { fDiagram->Save(FileName, StyleLibrary); }
void TKVDiagramBox::DoLoad(TKVReader &Reader, TKVStyleLibrary *StyleLibrary, std::string_view FormatMark)
{
    fDiagram->DoLoad(Reader, StyleLibrary, FormatMark);
}
void TKVDiagramBox::DoSave(TKVWriter &Writer, TKVStyleLibrary *StyleLibrary) { fDiagram->DoSave(Writer, StyleLibrary); }
void TKVDiagramBox::Import(const QString &FileName, TKVStyleLibrary *StyleLibrary)
{
    fDiagram->Import(FileName, StyleLibrary);
}
void TKVDiagramBox::Export(const QString &FileName, TKVStyleLibrary *StyleLibrary)
{
    fDiagram->Export(FileName, StyleLibrary);
}
void TKVDiagramBox::LoadFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary)
{
    fDiagram->LoadFromBytes(Bytes, StyleLibrary);
}
void TKVDiagramBox::ImportFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary, const QString &FileName)
{
    fDiagram->ImportFromBytes(Bytes, StyleLibrary, FileName);
}

void TKVDiagramBox::CopyToClipboard(TKVClipMode Mode)
{
    if (Mode != clpBitmap)
        return;
    const QImage picture = SelectionPicture();
    if (!picture.isNull())
        QGuiApplication::clipboard()->setImage(picture);
}

// ---- Painting -------------------------------------------------------------------------------------

void TKVDiagramBox::Invalidate()
{
    fBufferValid = false;
    if (AutoSize)
        Resize();
    update();
}

QRect TKVDiagramBox::VisibleRect() const
{
    const QRect visible = visibleRegion().boundingRect() & rect();
    return visible.isEmpty() ? rect() : visible;
}

void TKVDiagramBox::DrawOnBox(const std::function<void(TCanvas &Canvas)> &Draw)
{
    if (!fBufferValid || fBuffer.isNull())
        return; // the next paint renders everything
    {
        TCanvas canvas(&fBuffer);
        canvas.SetViewportOrg(-fBufferRect.left(), -fBufferRect.top());
        Draw(canvas);
    }
    update(fBufferRect);
}

void TKVDiagramBox::PaintHint(TCanvas &Canvas, const QRect &Clip)
{
    Canvas.Font = TFont{};
    Canvas.Font.Name = "Arial";
    Canvas.Font.Size = 8;
    Canvas.Font.Color = clBlack;
    const int tw = Canvas.TextWidth(fHintText), th = Canvas.TextHeight(fHintText);
    const int x = fHintPos.x() - Clip.left();
    const int y = fHintPos.y() - Clip.top() - (th + 3);
    Canvas.Pen = TPen{clBlack, psSolid, 1, pmCopy};
    Canvas.Brush = TBrush{clInfoBk, bsSolid};
    Canvas.Rectangle(x - 4, y - 1, x + tw + 2, y + th + 1);
    Canvas.TextOut(x, y, fHintText);
}

void TKVDiagramBox::paintEvent(QPaintEvent *event)
{
    if (AutoSize) {
        // A size that no longer fits the diagram is corrected after this paint.
        const TKVRect e = GetDiagramExtents();
        if (std::max(WorldToScreen(e.Right, Scale()), ParentWidth) != width() ||
            std::max(WorldToScreen(e.Bottom, Scale()), ParentHeight) != height())
            QTimer::singleShot(0, this, [this] { Resize(); });
    }
    const QRect visible = VisibleRect();
    const QRect clip = event->rect() & visible;
    if (clip.isEmpty())
        return;
    if (!fBufferValid) {
        fBufferRect = visible | clip;
        if (fBuffer.size() != fBufferRect.size())
            fBuffer = QImage(fBufferRect.size(), QImage::Format_RGB32);
        fDiagram->RenderInto(fBuffer, fBufferRect, size());
        if (fHintShowing) {
            TCanvas canvas(&fBuffer);
            PaintHint(canvas, fBufferRect);
        }
        fBufferValid = true;
        if (!fHintShowing)
            for (const auto &view : Views)
                if (view)
                    view->update();
    } else if (!fBufferRect.contains(clip)) {
        // Newly exposed parts (scrolling): keep what is drawn, render only the rest.
        const QRect newRect = visible | clip;
        QImage buffer(newRect.size(), QImage::Format_RGB32);
        {
            QPainter p(&buffer);
            p.drawImage(fBufferRect.topLeft() - newRect.topLeft(), fBuffer);
        }
        const QRegion missing = QRegion(newRect) - QRegion(fBufferRect);
        for (const QRect &part : missing) {
            QImage piece(part.size(), QImage::Format_RGB32);
            fDiagram->RenderInto(piece, part, size());
            QPainter p(&buffer);
            p.drawImage(part.topLeft() - newRect.topLeft(), piece);
        }
        fBuffer = buffer;
        fBufferRect = newRect;
        for (const auto &view : Views)
            if (view)
                view->update();
    }
    QPainter painter(this);
    painter.drawImage(clip.topLeft(), fBuffer, clip.translated(-fBufferRect.topLeft()));
}

QImage TKVDiagramBox::RenderImage()
{
    QImage image;
    RenderImage(image);
    return image;
}

void TKVDiagramBox::RenderImage(QImage &Image) { fDiagram->RenderImage(Image, size()); }

void TKVDiagramBox::SaveBitmap(const QString &FileName)
{
    const QImage image = RenderImage();
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception("Cannot create file " + FileName.toStdString());
    if (image.isNull() || !image.save(&file, "BMP") || !file.commit())
        throw Exception("Stream write error");
}

void TKVDiagramBox::Resize()
{
    if (AutoSize) {
        if (QScrollArea *container = ScrollContainer()) {
            ParentWidth = container->viewport()->width();
            ParentHeight = container->viewport()->height();
        } else if (parentWidget()) {
            ParentWidth = parentWidget()->width();
            ParentHeight = parentWidget()->height();
        }
        const TKVRect e = GetDiagramExtents();
        const int w = std::clamp(std::max(WorldToScreen(e.Right, Scale()), ParentWidth), 0, QWIDGETSIZE_MAX);
        const int h = std::clamp(std::max(WorldToScreen(e.Bottom, Scale()), ParentHeight), 0, QWIDGETSIZE_MAX);
        if (w != width() || h != height()) {
            resize(w, h); // the resize notification comes back here
            return;
        }
    }
    if (OnResize)
        OnResize(this);
}

void TKVDiagramBox::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A size taken while hidden reaches the scroll area before its viewport is laid out, and
    // its scroll bars stay off: once all is shown, the size is announced again.
    if (ScrollContainer()) {
        QResizeEvent again(size(), size());
        QCoreApplication::sendEvent(this, &again);
    }
}

void TKVDiagramBox::resizeEvent(QResizeEvent *)
{
    fBufferValid = false;
    Resize();
}

QScrollArea *TKVDiagramBox::ScrollContainer() const
{
    QWidget *viewport = parentWidget();
    auto *area = viewport ? qobject_cast<QScrollArea *>(viewport->parentWidget()) : nullptr;
    return area && area->viewport() == viewport ? area : nullptr;
}

// ---- Events ---// ---- Events ---------------------------------------------------------------------------------------

void TKVDiagramBox::RestartHintTimer()
{
    fPointerInside = true;
    fHintTimer->start();
    HideHint();
}

void TKVDiagramBox::HideHint()
{
    fHintObject = nullptr;
    if (!fHintShowing)
        return;
    fHintShowing = false;
    fHintText.clear();
    Invalidate();
}

std::optional<QPoint> TKVDiagramBox::PointerPos() const
{
    if (!fPointerInside || !VisibleRect().contains(fMousePos))
        return std::nullopt;
    return fMousePos;
}

void TKVDiagramBox::HintTimerFired()
{
    if (fHintShowing || !ShowDiagramHint)
        return;
    const std::optional<QPoint> pos = PointerPos();
    if (!pos)
        return;
    TKVObject *obj = FindObject(ScreenToWorldPt({pos->x(), pos->y()}, Scale()));
    if (!obj || obj->Hint.empty())
        return;
    fHintText = obj->Hint;
    fHintObject = obj;
    fHintPos = *pos;
    fHintShowing = true;
    Invalidate();
}

void TKVDiagramBox::leaveEvent(QEvent *event)
{
    // The pointer is gone: no hint shows for where it was.
    fPointerInside = false;
    fHintTimer->stop();
    HideHint();
    QWidget::leaveEvent(event);
}

void TKVDiagramBox::mousePressEvent(QMouseEvent *event)
{
    RestartHintTimer();
    fMousePos = event->position().toPoint();
    const auto button = ButtonOf(event->button());
    if (!button)
        return;
    if (*button == mbLeft)
        fClickPending = true;
    // Taking the focus must not scroll the container.
    if (QScrollArea *area = ScrollContainer()) {
        const int h = area->horizontalScrollBar()->value(), v = area->verticalScrollBar()->value();
        setFocus(Qt::MouseFocusReason);
        area->horizontalScrollBar()->setValue(h);
        area->verticalScrollBar()->setValue(v);
    } else {
        setFocus(Qt::MouseFocusReason);
    }
    if (fActor)
        fActor->DoMouseDown(this, *button, ShiftOf(event->modifiers(), event->buttons()), fMousePos.x(),
                            fMousePos.y());
}

void TKVDiagramBox::mouseMoveEvent(QMouseEvent *event)
{
    RestartHintTimer();
    fMousePos = event->position().toPoint();
    CursorPos = ScreenToWorldPt({fMousePos.x(), fMousePos.y()}, Scale());
    if (fActor)
        fActor->DoMouseMove(this, ShiftOf(event->modifiers(), event->buttons()), CursorPos.X, CursorPos.Y);
}

void TKVDiagramBox::mouseReleaseEvent(QMouseEvent *event)
{
    RestartHintTimer();
    fMousePos = event->position().toPoint();
    const auto button = ButtonOf(event->button());
    if (!button)
        return;
    const TShiftState shift = ShiftOf(event->modifiers(), event->buttons());
    const bool click = *button == mbLeft && fClickPending && rect().contains(fMousePos);
    if (*button == mbLeft)
        fClickPending = false;
    if (*button == mbRight && fActor)
        fActor->DoRightClick();
    if (click && fActor)
        fActor->DoClick();
    if (fActor)
        fActor->DoMouseUp(this, *button, shift, fMousePos.x(), fMousePos.y());
}

void TKVDiagramBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    RestartHintTimer();
    fMousePos = event->position().toPoint();
    const auto button = ButtonOf(event->button());
    if (!button)
        return;
    // The second press of a double click: no click follows its release.
    fClickPending = false;
    if (*button == mbLeft && fActor)
        fActor->DoDblClick();
    if (fActor)
        fActor->DoMouseDown(this, *button, TShiftState(ShiftOf(event->modifiers(), event->buttons()) | ssDouble),
                            fMousePos.x(), fMousePos.y());
}

void TKVDiagramBox::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    RestartHintTimer();
    if (fActor)
        fActor->DoKeyUp(event->key(), ShiftOf(event->modifiers(), Qt::NoButton));
}

} // namespace kavgraph
