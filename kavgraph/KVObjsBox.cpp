// The diagram box: objects, selection, scale, painting, printing and event dispatch.

#include "kavgraph/KVObjsBox.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kavgraph {

namespace {

// Pictures larger than this are refused rather than allocated.
constexpr std::int64_t kMaxPictureSide = 32767;
constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 28;

bool Contains(const TKVObjectList &list, const TKVObject *obj)
{
    return std::find(list.begin(), list.end(), obj) != list.end();
}

// Whether Part is Whole itself or one of the handles and labels Whole owns.
bool IsPartOf(const TKVObject *Part, const TKVObject *Whole)
{
    if (!Part || !Whole)
        return false;
    if (Part == Whole)
        return true;
    if (const auto *edge = dynamic_cast<const TKVCustomEdge *>(Whole)) {
        for (const auto &h : edge->Handles)
            if (h.get() == Part)
                return true;
        return edge->Adjacent && IsPartOf(Part, edge->Adjacent.get());
    }
    if (const auto *vertex = dynamic_cast<const TKVCustomVertex *>(Whole)) {
        for (const auto &h : vertex->ResizeHandles)
            if (h.get() == Part)
                return true;
        return false;
    }
    if (const auto *adjacent = dynamic_cast<const TKVAdjacent *>(Whole))
        return adjacent->Handle.get() == Part;
    return false;
}

// The rectangle growing to take in others.
struct Extent {
    std::int64_t Left = INT_MAX, Top = INT_MAX, Right = std::int64_t(INT_MIN) + 1, Bottom = std::int64_t(INT_MIN) + 1;
    void Add(const TKVRect &R)
    {
        Left = std::min<std::int64_t>(Left, R.Left);
        Top = std::min<std::int64_t>(Top, R.Top);
        Right = std::max<std::int64_t>(Right, R.Right);
        Bottom = std::max<std::int64_t>(Bottom, R.Bottom);
    }
    void Add(TKVPoint P) { Add(TKVRect{P.X, P.Y, P.X, P.Y}); }
    TKVRect Grown(std::int32_t d) const
    {
        return {Saturate(Left - d), Saturate(Top - d), Saturate(Right + d), Saturate(Bottom + d)};
    }
};

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

std::int32_t Scaled(std::int64_t v, std::int32_t Scale) { return WorldToScreenF64(v, Scale * 0.01); }

} // namespace

TKVDiagramBox::TKVDiagramBox(QWidget *Owner) : QWidget(Owner)
{
    RegisterKVClass(TKVObject::StaticClass());
    RegisterDataClass(TKVDataObject::StaticClass());
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    fHintTimer = new QTimer(this);
    fHintTimer->setSingleShot(true);
    fHintTimer->setInterval(1000);
    connect(fHintTimer, &QTimer::timeout, this, [this] { HintTimerFired(); });
}

TKVDiagramBox::~TKVDiagramBox()
{
    Selection.clear();
    FreeObjects();
}

void TKVDiagramBox::FreeObjects()
{
    // Edges first: they unhook their end handles from the vertices.
    for (TKVObject *e : Edges)
        delete e;
    Edges.clear();
    for (TKVObject *v : Vertices)
        delete v;
    Vertices.clear();
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

void TKVDiagramBox::Changed() { Invalidate(); }

void TKVDiagramBox::SetColor(TColor V)
{
    fColor = V;
    Changed();
}

void TKVDiagramBox::SetScale(std::int32_t V)
{
    V = std::max<std::int32_t>(V, 1);
    if (V == fScale)
        return;
    if (OnScaleChange) {
        int newScale = V;
        OnScaleChange(V < fScale ? ZoomOut : ZoomIn, newScale);
        V = std::max<std::int32_t>(newScale, 1);
    }
    fScale = V;
    fScaleFactor = V / 100.0;
    Invalidate();
}

void TKVDiagramBox::SetPrintScale(std::int32_t V)
{
    fPrintScale = std::max<std::int32_t>(V, 1);
    if (fShowPrinterPage)
        Changed();
}

#define KV_SETTER(Name, Type, field)                                                                          \
    void TKVDiagramBox::Set##Name(Type V)                                                                     \
    {                                                                                                         \
        if (field == V)                                                                                       \
            return;                                                                                           \
        field = V;                                                                                            \
        Changed();                                                                                            \
    }
KV_SETTER(ShowGrid, bool, fShowGrid)
KV_SETTER(CenterBitmap, bool, fCenterBitmap)
KV_SETTER(GridStep, std::int32_t, fGridStep)
KV_SETTER(GridColor, TColor, fGridColor)
KV_SETTER(GridStyle, TPenStyle, fGridStyle)
KV_SETTER(ShowPrinterPage, bool, fShowPrinterPage)
#undef KV_SETTER

void TKVDiagramBox::SetBitmap(const TBitmap &V)
{
    fBitmap = V;
    Changed();
}

// ---- Objects --------------------------------------------------------------------------------------

TKVObject *TKVDiagramBox::AddObject(std::unique_ptr<TKVObject> Obj, TKVMode Mode)
{
    if (OnAddObject && Obj) {
        TKVObject *offered = Obj.get();
        const bool accepted = OnAddObject(offered, Mode);
        if (offered != Obj.get())
            Obj.reset(offered); // the replacement takes the place of the object offered
        if (!accepted)
            return nullptr;
    }
    if (!Obj)
        return nullptr;
    TKVObject *obj = Obj.get();
    if (obj->ObjectType == otVertex)
        Vertices.push_back(Obj.release());
    else if (obj->ObjectType == otEdge)
        Edges.push_back(Obj.release());
    else
        return nullptr; // handles and labels belong to their owners
    if (Mode == kvInteractive) {
        obj->Id = ++LastId;
        AddToSelection(obj, false);
    }
    DrawOnBox([&](TCanvas &canvas) { obj->Draw(canvas, pmScreen, fScaleFactor, DataUpdate, Origin); });
    return obj;
}

void TKVDiagramBox::Forget(TKVObject *Obj)
{
    std::erase_if(Selection, [Obj](TKVObject *o) {
        if (!IsPartOf(o, Obj))
            return false;
        o->Selected = false;
        return true;
    });
    if (fActor && IsPartOf(fActor->Current, Obj))
        fActor->Current = nullptr;
}

void TKVDiagramBox::DeleteHandle(TKVHandle *Handle)
{
    auto *edge = Handle ? dynamic_cast<TKVCustomEdge *>(Handle->Owner()) : nullptr;
    if (!edge)
        return;
    const int index = edge->IndexOfHandle(Handle);
    if (index <= 0 || index >= int(edge->Handles.size()) - 1)
        return;
    Forget(Handle);
    edge->DeleteHandle(Handle);
}

void TKVDiagramBox::ForgetBends(TKVCustomEdge *Edge)
{
    if (!Edge)
        return;
    for (std::size_t i = 1; i + 1 < Edge->Handles.size(); ++i)
        Forget(Edge->Handles[i].get());
}

void TKVDiagramBox::DeleteObject(TKVObject *Obj, TKVMode Mode)
{
    if (!Obj)
        return;
    if (OnDeleteObject) {
        TKVObject *offered = Obj;
        if (!OnDeleteObject(offered, Mode))
            return;
    }
    switch (Obj->ObjectType) {
    case otHandle:
        Forget(Obj);
        DeleteHandle(static_cast<TKVHandle *>(Obj));
        return;
    case otAdjacent:
        Forget(Obj);
        return;
    case otVertex: {
        if (!Contains(Vertices, Obj))
            return;
        std::erase(Vertices, Obj);
        // Each edge goes with kvProgram; one its handler vetoes goes all the same, for it
        // cannot outlive its end.
        while (!Obj->Links.empty()) {
            TKVObject *end = Obj->Links.front();
            TKVObject *edge = end->Links.empty() ? nullptr : end->Links.front();
            if (!edge || !Contains(Edges, edge)) {
                std::erase(Obj->Links, end); // an edge the box does not hold
                continue;
            }
            if (OnDeleteObject) {
                TKVObject *offered = edge;
                OnDeleteObject(offered, kvProgram);
            }
            Forget(edge);
            std::erase(Edges, edge);
            delete edge;
        }
        Forget(Obj);
        delete Obj;
        return;
    }
    case otEdge:
        if (!Contains(Edges, Obj))
            return;
        std::erase(Edges, Obj);
        Forget(Obj);
        delete Obj;
        return;
    }
}

void TKVDiagramBox::DeleteSelectedObjects(TKVMode Mode)
{
    // From the last entry to the first; an entry a veto keeps stays selected, one already gone
    // with its vertex is skipped.
    const TKVObjectList snapshot = Selection;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
        if (Contains(Selection, *it))
            DeleteObject(*it, Mode);
    Invalidate();
}

void TKVDiagramBox::Clear()
{
    for (TKVObject *o : Selection)
        o->Selected = false;
    Selection.clear();
    FreeObjects();
    if (fActor)
        fActor->Current = nullptr;
    LastId = 0;
    Invalidate();
}

TKVObject *TKVDiagramBox::FindObject(TKVPoint P) const
{
    for (auto it = Edges.rbegin(); it != Edges.rend(); ++it)
        if (TKVObject *hit = (*it)->HitAt(P))
            return hit;
    for (auto it = Vertices.rbegin(); it != Vertices.rend(); ++it)
        if (TKVObject *hit = (*it)->HitAt(P))
            return hit;
    return nullptr;
}

TKVObject *TKVDiagramBox::FindObjectByID(std::int32_t Id) const
{
    for (TKVObject *v : Vertices)
        if (v->Id == Id)
            return v;
    for (TKVObject *e : Edges)
        if (e->Id == Id)
            return e;
    return nullptr;
}

void TKVDiagramBox::ToFront(TKVObject *V)
{
    auto it = std::find(Vertices.begin(), Vertices.end(), V);
    if (it != Vertices.end())
        std::rotate(it, it + 1, Vertices.end());
}

void TKVDiagramBox::ToBack(TKVObject *V)
{
    auto it = std::find(Vertices.begin(), Vertices.end(), V);
    if (it != Vertices.end())
        std::rotate(Vertices.begin(), it, it + 1);
    Invalidate();
}

void TKVDiagramBox::ToFrontOne(TKVObject *V)
{
    auto it = std::find(Vertices.begin(), Vertices.end(), V);
    if (it != Vertices.end() && it + 1 != Vertices.end())
        std::iter_swap(it, it + 1);
}

void TKVDiagramBox::ToBackOne(TKVObject *V)
{
    auto it = std::find(Vertices.begin(), Vertices.end(), V);
    if (it != Vertices.end() && it != Vertices.begin())
        std::iter_swap(it, it - 1);
}

TKVRect TKVDiagramBox::GetDiagramExtents() const
{
    if (Vertices.empty() && Edges.empty())
        return {0, 0, 0, 0};
    Extent e;
    for (const TKVObject *o : Vertices)
        if (const auto *v = dynamic_cast<const TKVCustomVertex *>(o))
            e.Add(v->Bounds);
    for (const TKVObject *o : Edges)
        if (const auto *edge = dynamic_cast<const TKVCustomEdge *>(o)) {
            for (std::size_t i = 1; i + 1 < edge->Handles.size(); ++i)
                e.Add(edge->Handles[i]->Bounds);
            if (edge->Adjacent)
                e.Add(edge->Adjacent->Position);
        }
    if (e.Left > e.Right) // objects of no known kind
        return {0, 0, 0, 0};
    return e.Grown(10);
}

void TKVDiagramBox::GetDiagramData()
{
    for (TKVObject *o : Vertices)
        if (auto *v = dynamic_cast<TKVVertex *>(o); v && v->Style.OnGetData)
            for (const auto &item : v->Style.DataItems)
                item->Text = v->Style.OnGetData(v->Id, item->Name, v->DataObject);
    for (TKVObject *o : Edges)
        if (auto *e = dynamic_cast<TKVEdge *>(o); e && e->Style.OnGetData)
            e->Style.Data = e->Style.OnGetData(e->Id, "Textbox", e->DataObject);
}

// ---- Selection ------------------------------------------------------------------------------------

void TKVDiagramBox::AddToSelection(TKVObject *Obj, bool Add)
{
    if (!Add)
        DeSelectAll();
    if (!Obj)
        return;
    if (!Contains(Selection, Obj))
        Selection.push_back(Obj);
    Obj->Selected = true;
}

void TKVDiagramBox::DeSelectAll()
{
    for (TKVObject *o : Selection)
        o->Selected = false;
    Selection.clear();
    Invalidate();
}

void TKVDiagramBox::SelectAll()
{
    DeSelectAll();
    for (TKVObject *v : Vertices)
        AddToSelection(v, true);
    for (TKVObject *e : Edges)
        AddToSelection(e, true);
    Invalidate();
}

void TKVDiagramBox::SelectByRect(const TKVRect &R, bool Add)
{
    if (!Add)
        DeSelectAll();
    for (TKVObject *v : Vertices)
        if (v->IsInRect(R))
            AddToSelection(v, true);
    for (TKVObject *o : Edges)
        if (auto *edge = dynamic_cast<TKVCustomEdge *>(o))
            for (std::size_t i = 1; i + 1 < edge->Handles.size(); ++i)
                if (PointInRect(edge->Handles[i]->Position, R))
                    AddToSelection(edge->Handles[i].get(), true);
}

void TKVDiagramBox::MoveSelectionBy(TKVPoint Delta)
{
    // The outlines use the scale number itself as the factor, as the box always has; the
    // actor draws the visible outline of the object under the pointer.
    const double factor = fScale;
    const TKVObjectList selection = Selection;
    for (TKVObject *o : selection) {
        if (!ImmediateRedraw)
            DrawOnBox([&](TCanvas &c) { o->DrawDrag(c, factor); });
        o->MoveBy(Delta);
        if (!ImmediateRedraw)
            DrawOnBox([&](TCanvas &c) { o->DrawDrag(c, factor); });
    }
}

void TKVDiagramBox::DrawDrag(const TKVRect &R)
{
    DrawOnBox([&](TCanvas &c) {
        c.Pen = TPen{clBlack, psSolid, 1, pmNotXor};
        c.Brush.Style = bsClear;
        c.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
    });
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

void TKVDiagramBox::PaintBackground(TCanvas &Canvas, const QRect &Clip, const QSize &Control)
{
    Canvas.Pen = TPen{fColor, psSolid, 1, pmCopy};
    Canvas.Brush = TBrush{fColor, bsSolid};
    Canvas.FillRect(0, 0, Clip.width(), Clip.height());
    if (fBitmap.Empty())
        return;
    // The picture sits at the control's corner (or centre), wherever the painted part lies.
    const int w = RoundHalfEven(double(fBitmap.Width()) * fScale / 100);
    const int h = RoundHalfEven(double(fBitmap.Height()) * fScale / 100);
    int x = 0, y = 0;
    if (fCenterBitmap) {
        x = RoundHalfEven(Control.width() * 0.5 - w * 0.5);
        y = RoundHalfEven(Control.height() * 0.5 - h * 0.5);
    }
    x -= Clip.left();
    y -= Clip.top();
    Canvas.StretchDraw(x, y, x + w, y + h, fBitmap);
}

void TKVDiagramBox::PaintGrid(TCanvas &Canvas, TKVPoint Offset)
{
    const double s = fGridStep * fScale * 0.01;
    if (!(s > 0))
        return;
    Canvas.Pen = TPen{fGridColor, fGridStyle, 1, pmCopy};
    const QRect area = Canvas.ClipRect();
    const int offX = Scaled(Offset.X, fScale), offY = Scaled(Offset.Y, fScale);
    const int W = width(), H = height();
    // Only the lines that fall on the canvas are drawn.
    const auto first = [&](int off, int low) { return std::max<std::int64_t>(1, std::int64_t((off + low) / s)); };
    const std::int64_t rows = RoundHalfEven(H / s), cols = RoundHalfEven(W / s);
    for (std::int64_t i = first(offY, area.top()); i <= rows; ++i) {
        const std::int64_t y = RoundHalfEven(s * i) - std::int64_t(offY);
        if (y > area.bottom())
            break;
        Canvas.MoveTo(0, int(y));
        Canvas.LineTo(W, int(y));
    }
    for (std::int64_t j = first(offX, area.left()); j <= cols; ++j) {
        const std::int64_t x = RoundHalfEven(s * j) - std::int64_t(offX);
        if (x > area.right())
            break;
        Canvas.MoveTo(int(x), 0);
        Canvas.LineTo(int(x), H);
    }
}

void TKVDiagramBox::PaintPrinterPage(TCanvas &Canvas, TKVPoint Offset)
{
    Canvas.Pen = TPen{clBlack, psSolid, 1, pmCopy};
    const TKVPrinterMetrics metrics = PrinterMetrics();
    const TKVPoint page = kvpages::PageSize(metrics, kvpages::PrinterPercent(metrics, fPrintScale));
    const QRect area = Canvas.ClipRect();
    const int W = width(), H = height();
    const int top = Scaled(-std::int64_t(Offset.Y), fScale), left = Scaled(-std::int64_t(Offset.X), fScale);
    const int bottom = H - Scaled(Offset.Y, fScale), right = W - Scaled(Offset.X, fScale);
    const std::int32_t cols = ScreenToWorld(RoundHalfEven(double(W) / page.X + 0.5), fScale);
    const std::int32_t rows = ScreenToWorld(RoundHalfEven(double(H) / page.Y + 0.5), fScale);
    for (std::int64_t c = 1; c <= cols; ++c) {
        const int x = Scaled(page.X * c - Offset.X, fScale);
        if (x < area.left())
            continue;
        if (x > area.right())
            break;
        Canvas.MoveTo(x, top);
        Canvas.LineTo(x, bottom);
    }
    for (std::int64_t r = 1; r <= rows; ++r) {
        const int y = Scaled(page.Y * r - Offset.Y, fScale);
        if (y < area.top())
            continue;
        if (y > area.bottom())
            break;
        Canvas.MoveTo(left, y);
        Canvas.LineTo(right, y);
    }
}

void TKVDiagramBox::PaintObjects(TCanvas &Canvas, TKVPaintMode PaintMode, TKVPoint Offset)
{
    // On paper one world unit is as many printer pixels as the page size says, so that the
    // pages printed side by side join up.
    const double factor = PaintMode == pmPrinter
                              ? kvpages::PrinterPercent(PrinterMetrics(), fPrintScale) * 0.01
                              : fScaleFactor;
    for (TKVObject *e : Edges)
        if (PaintMode != pmScreen || !e->Selected)
            e->Draw(Canvas, PaintMode, factor, DataUpdate, Offset);
    for (TKVObject *v : Vertices)
        v->Draw(Canvas, PaintMode, factor, DataUpdate, Offset);
    if (PaintMode == pmScreen)
        for (TKVObject *e : Edges)
            if (e->Selected)
                e->Draw(Canvas, PaintMode, factor, DataUpdate, Offset);
}

void TKVDiagramBox::PaintHint(TCanvas &Canvas, const QRect &Clip)
{
    Canvas.Font = TFont{};
    Canvas.Font.Name = "Arial";
    Canvas.Font.Size = 8;
    Canvas.Font.Color = clBlack;
    const int tw = Canvas.TextWidth(fHintText), th = Canvas.TextHeight(fHintText);
    const int x = fMousePos.x() - Clip.left();
    const int y = fMousePos.y() - Clip.top() - (th + 3);
    Canvas.Pen = TPen{clBlack, psSolid, 1, pmCopy};
    Canvas.Brush = TBrush{clInfoBk, bsSolid};
    Canvas.Rectangle(x - 4, y - 1, x + tw + 2, y + th + 1);
    Canvas.TextOut(x, y, fHintText);
}

void TKVDiagramBox::RenderInto(QImage &Image, const QRect &Clip)
{
    TCanvas canvas(&Image);
    RenderInto(canvas, Clip);
}

void TKVDiagramBox::RenderInto(TCanvas &canvas, const QRect &Clip)
{
    canvas.SetAntialiased(fAntialiased);
    PaintBackground(canvas, Clip, size());
    const TKVPoint offset{ScreenToWorld(Clip.left(), fScale), ScreenToWorld(Clip.top(), fScale)};
    if (fShowGrid)
        PaintGrid(canvas, offset);
    if (fShowPrinterPage)
        PaintPrinterPage(canvas, offset);
    PaintObjects(canvas, pmScreen, offset);
}

void TKVDiagramBox::paintEvent(QPaintEvent *event)
{
    if (AutoSize) {
        // A size that no longer fits the diagram is corrected after this paint.
        const TKVRect e = GetDiagramExtents();
        if (std::max(WorldToScreen(e.Right, fScale), ParentWidth) != width() ||
            std::max(WorldToScreen(e.Bottom, fScale), ParentHeight) != height())
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
        RenderInto(fBuffer, fBufferRect);
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
            RenderInto(piece, part);
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

void TKVDiagramBox::RenderImage(QImage &Image)
{
    const std::int64_t w = width(), h = height();
    if (w <= 0 || h <= 0) {
        Image = QImage();
        return;
    }
    if (w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels)
        throw Exception("Picture too large");
    if (Image.size() != QSize(int(w), int(h)) || Image.format() != QImage::Format_RGB32)
        Image = QImage(int(w), int(h), QImage::Format_RGB32);
    RenderInto(Image, QRect(0, 0, int(w), int(h)));
}

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
        const int w = std::clamp(std::max(WorldToScreen(e.Right, fScale), ParentWidth), 0, QWIDGETSIZE_MAX);
        const int h = std::clamp(std::max(WorldToScreen(e.Bottom, fScale), ParentHeight), 0, QWIDGETSIZE_MAX);
        if (w != width() || h != height()) {
            resize(w, h); // the resize notification comes back here
            return;
        }
    }
    if (OnResize)
        OnResize(this);
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

// ---- Printing -------------------------------------------------------------------------------------

QPrinter *TKVDiagramBox::Printer()
{
    if (!fPrinter) {
        fPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        fPrinter->setResolution(600);
        fPrinter->setPageSize(QPageSize(QPageSize::A4));
    }
    return fPrinter.get();
}

TKVPrinterMetrics TKVDiagramBox::PrinterMetrics()
{
    if (fPrinterMetrics)
        return *fPrinterMetrics;
    QPrinter *printer = Printer();
    const QScreen *screen = QGuiApplication::primaryScreen();
    return {printer->width(), printer->height(), screen ? screen->geometry().width() : 1024};
}

TKVPageCount TKVDiagramBox::GetPageCount()
{
    TKVRect e = GetDiagramExtents();
    e.Left = 0;
    e.Top = 0;
    return kvpages::PageCount(e, PrinterMetrics(), fPrintScale);
}

void TKVDiagramBox::Print(bool PageList, const std::vector<TKVPage> &Pages)
{
    const TKVPrinterMetrics metrics = PrinterMetrics();
    const TKVPoint page = kvpages::PageSize(metrics, kvpages::PrinterPercent(metrics, fPrintScale));
    const TKVPageCount count = GetPageCount();
    // A print scale read from a file can make the diagram cover billions of pages.
    const std::int64_t total = PageList ? std::int64_t(Pages.size())
                                        : std::int64_t(std::max(count.Columns, 0)) * std::max(count.Rows, 0);
    if (total > MaxPrintedPages)
        throw Exception("Too many pages: " + std::to_string(total));
    std::vector<TKVPage> pages = Pages;
    if (!PageList) {
        pages.clear();
        for (std::int32_t r = 1; r <= count.Rows; ++r)
            for (std::int32_t c = 1; c <= count.Columns; ++c)
                pages.push_back({c, r});
    }
    QPrinter *printer = Printer();
    TCanvas canvas(printer);
    if (!canvas.Painter().isActive())
        throw Exception("Printing failed");
    bool first = true;
    for (const TKVPage &p : pages) {
        if (!first)
            printer->newPage();
        first = false;
        PaintObjects(canvas, pmPrinter,
                     {Saturate((std::int64_t(p.Column) - 1) * page.X), Saturate((std::int64_t(p.Row) - 1) * page.Y)});
    }
}

// ---- Events ---------------------------------------------------------------------------------------

void TKVDiagramBox::RestartHintTimer()
{
    fHintTimer->start();
    if (fHintShowing) {
        fHintShowing = false;
        fHintText.clear();
        Invalidate();
    }
}

void TKVDiagramBox::HintTimerFired()
{
    if (fHintShowing || !ShowDiagramHint)
        return;
    if (!VisibleRect().contains(fMousePos))
        return;
    TKVObject *obj = FindObject(ScreenToWorldPt({fMousePos.x(), fMousePos.y()}, fScale));
    if (!obj || obj->Hint.empty())
        return;
    fHintText = obj->Hint;
    fHintShowing = true;
    Invalidate();
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
    CursorPos = ScreenToWorldPt({fMousePos.x(), fMousePos.y()}, fScale);
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
