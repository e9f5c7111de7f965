// The diagram: objects, selection, stored options, painting and printing without a widget.

#include "kavgraph/KVObjsDiagram.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QScreen>
#include <QUndoStack>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
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

std::int32_t Scaled(std::int64_t v, std::int32_t Scale) { return WorldToScreenF64(v, Scale * 0.01); }


} // namespace

TKVDiagram::TKVDiagram(QObject *Owner) : QObject(Owner)
{
    RegisterKVClass(TKVObject::StaticClass());
    RegisterDataClass(TKVDataObject::StaticClass());
    fUndoStack = new QUndoStack(this);
}

TKVDiagram::~TKVDiagram()
{
    fDying = true;
    Selection.clear();
    FreeObjects();
}

void TKVDiagram::FreeObjects()
{
    // Edges first: they unhook their end handles from the vertices. Last first: freed memory then
    // mostly joins the free space after it at once.
    const TKVObjectList edges = std::exchange(Edges, {});
    for (auto it = edges.rbegin(); it != edges.rend(); ++it)
        delete *it;
    const TKVObjectList vertices = std::exchange(Vertices, {});
    for (auto it = vertices.rbegin(); it != vertices.rend(); ++it)
        delete *it;
}

void TKVDiagram::ObjectFreed(TKVObject *Obj)
{
    if (fDying)
        return;
    KVGeometryChanged();
    std::erase(Selection, Obj);
    if (Obj->fKey && Obj->fKey <= fByKey.size() && fByKey[Obj->fKey - 1] == Obj)
        fByKey[Obj->fKey - 1] = nullptr;
    Q_EMIT ObjectRemoved(Obj);
}

bool TKVDiagram::Owns(const TKVObject *Obj) const { return Obj && Obj->Diagram() == this; }

// ---- Options ------------------------------------------------------------------------------------

void TKVDiagram::SetColor(TColor V)
{
    fColor = V;
    Q_EMIT Changed();
}

void TKVDiagram::SetScale(std::int32_t V)
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
    Q_EMIT Changed();
}

void TKVDiagram::SetPrintScale(std::int32_t V)
{
    fPrintScale = std::max<std::int32_t>(V, 1);
    if (fShowPrinterPage)
        Q_EMIT Changed();
}

#define KV_SETTER(Name, Type, field)                                                                          \
    void TKVDiagram::Set##Name(Type V)                                                                        \
    {                                                                                                         \
        if (field == V)                                                                                       \
            return;                                                                                           \
        field = V;                                                                                            \
        Q_EMIT Changed();                                                                                     \
    }
KV_SETTER(ShowGrid, bool, fShowGrid)
KV_SETTER(CenterBitmap, bool, fCenterBitmap)
KV_SETTER(GridStep, std::int32_t, fGridStep)
KV_SETTER(GridColor, TColor, fGridColor)
KV_SETTER(GridStyle, TPenStyle, fGridStyle)
KV_SETTER(ShowPrinterPage, bool, fShowPrinterPage)
#undef KV_SETTER

void TKVDiagram::SetBitmap(const TBitmap &V)
{
    fBitmap = V;
    Q_EMIT Changed();
}

// ---- Objects --------------------------------------------------------------------------------------

TKVObject *TKVDiagram::AddObject(std::unique_ptr<TKVObject> Obj, TKVMode Mode)
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
    KVGeometryChanged();
    if (Mode == kvInteractive) {
        obj->Id = ++LastId;
        AddToSelection(obj, false);
    }
    Adopt(obj);
    Q_EMIT ObjectAdded(obj);
    return obj;
}

void TKVDiagram::Adopt(TKVObject *Obj)
{
    if (!Obj)
        return;
    Obj->fDiagram = this;
    if (Obj->ObjectType != otVertex && Obj->ObjectType != otEdge)
        return;
    if (!Obj->fKey)
        Obj->fKey = ++fNextKey;
    if (Obj->fKey > fByKey.size())
        fByKey.resize(std::max<std::uint64_t>(Obj->fKey, fNextKey));
    fByKey[Obj->fKey - 1] = Obj;
    if (auto *edge = Obj->ObjectType == otEdge ? dynamic_cast<TKVCustomEdge *>(Obj) : nullptr) {
        for (const auto &h : edge->Handles)
            Adopt(h.get());
        if (edge->Adjacent) {
            Adopt(edge->Adjacent.get());
            Adopt(edge->Adjacent->Handle.get());
        }
    } else if (auto *vertex = Obj->ObjectType == otVertex ? dynamic_cast<TKVCustomVertex *>(Obj) : nullptr) {
        for (const auto &h : vertex->ResizeHandles)
            Adopt(h.get());
    }
}

void TKVDiagram::DeleteHandle(TKVHandle *Handle)
{
    auto *edge = Handle ? dynamic_cast<TKVCustomEdge *>(Handle->Owner()) : nullptr;
    if (!edge)
        return;
    const int index = edge->IndexOfHandle(Handle);
    if (index <= 0 || index >= int(edge->Handles.size()) - 1)
        return;
    edge->DeleteHandle(Handle);
}

void TKVDiagram::ForgetBends(TKVCustomEdge *Edge)
{
    if (!Edge)
        return;
    for (std::size_t i = 1; i + 1 < Edge->Handles.size(); ++i) {
        TKVHandle *bend = Edge->Handles[i].get();
        std::erase(Selection, bend);
        bend->Selected = false;
        Q_EMIT ObjectRemoved(bend);
    }
}

void TKVDiagram::DeleteObject(TKVObject *Obj, TKVMode Mode)
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
    case otAdjacent:
        std::erase(Selection, Obj);
        Obj->Selected = false;
        if (Obj->ObjectType == otHandle)
            DeleteHandle(static_cast<TKVHandle *>(Obj));
        Q_EMIT Changed();
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
                Obj->Links.removeAll(end); // an edge the box does not hold
                continue;
            }
            if (OnDeleteObject) {
                TKVObject *offered = edge;
                OnDeleteObject(offered, kvProgram);
            }
            std::erase(Edges, edge);
            delete edge;
        }
        delete Obj;
        Q_EMIT Changed();
        return;
    }
    case otEdge:
        if (!Contains(Edges, Obj))
            return;
        std::erase(Edges, Obj);
        delete Obj;
        Q_EMIT Changed();
        return;
    }
}

void TKVDiagram::DeleteSelectedObjects(TKVMode Mode)
{
    // From the last entry to the first; an entry a veto keeps stays selected, one already gone
    // with its vertex is skipped.
    const TKVObjectList snapshot = Selection;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
        if (Contains(Selection, *it))
            DeleteObject(*it, Mode);
    Q_EMIT Changed();
}

void TKVDiagram::Clear()
{
    for (TKVObject *o : Selection)
        o->Selected = false;
    Selection.clear();
    FreeObjects();
    LastId = 0;
    fUndoStack->clear();
    // Nothing refers to the keys handed out any more.
    fByKey.clear();
    fNextKey = 0;
    Q_EMIT Changed();
}

namespace {

// A rectangle holding every point at which a vertex or an edge of the library's own classes can
// answer a hit, grown by a unit against rounding; none for other classes, whose HitAt may reach
// anywhere.
struct HitArea {
    std::int64_t Left = INT64_MAX, Top = INT64_MAX, Right = INT64_MIN, Bottom = INT64_MIN;

    void Add(const TKVRect &R)
    {
        Left = std::min({Left, std::int64_t(R.Left), std::int64_t(R.Right)});
        Right = std::max({Right, std::int64_t(R.Left), std::int64_t(R.Right)});
        Top = std::min({Top, std::int64_t(R.Top), std::int64_t(R.Bottom)});
        Bottom = std::max({Bottom, std::int64_t(R.Top), std::int64_t(R.Bottom)});
    }
    void Add(const TKVHandle &H)
    {
        Add(H.Bounds);
        // A segment is hit within a few units of the line between handle positions.
        Add(TKVRect{Saturate(std::int64_t(H.Position.X) - 4), Saturate(std::int64_t(H.Position.Y) - 4),
                    Saturate(std::int64_t(H.Position.X) + 4), Saturate(std::int64_t(H.Position.Y) + 4)});
    }
};

std::optional<HitArea> HitAreaOf(const TKVObject *O)
{
    const TKVClass *c = &O->ClassType();
    HitArea a;
    if (c == &TKVCustomVertex::StaticClass() || c == &TKVVertex::StaticClass()) {
        const auto *v = static_cast<const TKVCustomVertex *>(O);
        a.Add(v->Bounds);
        for (const auto &h : v->ResizeHandles)
            a.Add(*h);
    } else if (c == &TKVCustomEdge::StaticClass() || c == &TKVEdge::StaticClass()) {
        const auto *e = static_cast<const TKVCustomEdge *>(O);
        for (const auto &h : e->Handles)
            a.Add(*h);
        if (e->Adjacent) {
            a.Add(e->Adjacent->Bounds);
            if (e->Adjacent->Handle)
                a.Add(*e->Adjacent->Handle);
        }
    } else {
        return std::nullopt;
    }
    if (a.Left > a.Right)
        return std::nullopt;
    a.Left -= 1, a.Top -= 1, a.Right += 1, a.Bottom += 1;
    return a;
}

} // namespace

TKVObject *TKVDiagram::ObjectOfRank(std::int32_t Rank) const
{
    const auto r = std::size_t(Rank);
    return r < Vertices.size() ? Vertices[r] : Edges[r - Vertices.size()];
}

void TKVDiagram::UpdateHitIndex() const
{
    HitIndex &x = fHitIndex;
    const std::uint64_t stamp = KVGeometryStamp();
    if (x.Valid && x.Stamp == stamp && x.VertexCount == Vertices.size() && x.EdgeCount == Edges.size())
        return;
    x = HitIndex{};
    x.Stamp = stamp;
    x.VertexCount = Vertices.size();
    x.EdgeCount = Edges.size();
    x.Valid = true;

    const std::size_t count = Vertices.size() + Edges.size();
    std::vector<std::optional<HitArea>> areas(count);
    HitArea all;
    for (std::size_t r = 0; r < count; ++r) {
        areas[r] = HitAreaOf(ObjectOfRank(std::int32_t(r)));
        if (areas[r]) {
            all.Left = std::min(all.Left, areas[r]->Left), all.Top = std::min(all.Top, areas[r]->Top);
            all.Right = std::max(all.Right, areas[r]->Right), all.Bottom = std::max(all.Bottom, areas[r]->Bottom);
        }
    }
    if (all.Left <= all.Right) {
        // About one cell per object, at most 2048 in either direction.
        const double width = double(all.Right - all.Left + 1), height = double(all.Bottom - all.Top + 1);
        std::int64_t cell = std::int64_t(std::ceil(std::sqrt(width * height / double(count))));
        cell = std::max({cell, std::int64_t(16), std::int64_t(std::ceil(width / 2048)), std::int64_t(std::ceil(height / 2048))});
        x.Left = all.Left, x.Top = all.Top, x.Cell = cell;
        x.Columns = std::int32_t((all.Right - all.Left) / cell + 1);
        x.Rows = std::int32_t((all.Bottom - all.Top) / cell + 1);
    }
    const auto cellsOf = [&](const HitArea &a, auto &&visit) {
        const std::int64_t c0 = (a.Left - x.Left) / x.Cell, c1 = (a.Right - x.Left) / x.Cell;
        const std::int64_t r0 = (a.Top - x.Top) / x.Cell, r1 = (a.Bottom - x.Top) / x.Cell;
        for (std::int64_t row = r0; row <= r1; ++row)
            for (std::int64_t col = c0; col <= c1; ++col)
                visit(std::size_t(row * x.Columns + col));
    };
    // Objects spanning many cells (long straight edges) are cheaper to test everywhere.
    const auto spansFew = [&](const HitArea &a) {
        return ((a.Right - x.Left) / x.Cell - (a.Left - x.Left) / x.Cell + 1) *
                   ((a.Bottom - x.Top) / x.Cell - (a.Top - x.Top) / x.Cell + 1) <= 64;
    };
    std::vector<std::int32_t> counts(std::size_t(x.Columns) * std::size_t(x.Rows) + 1, 0);
    for (std::size_t r = 0; r < count; ++r) {
        if (!areas[r] || !spansFew(*areas[r]))
            x.Everywhere.push_back(std::int32_t(r));
        else
            cellsOf(*areas[r], [&](std::size_t c) { ++counts[c + 1]; });
    }
    for (std::size_t c = 1; c < counts.size(); ++c)
        counts[c] += counts[c - 1];
    x.Start = counts;
    x.Entries.resize(std::size_t(counts.back()));
    for (std::size_t r = 0; r < count; ++r)
        if (areas[r] && spansFew(*areas[r]))
            cellsOf(*areas[r], [&](std::size_t c) { x.Entries[std::size_t(counts[c]++)] = std::int32_t(r); });
}

TKVObject *TKVDiagram::FindObject(TKVPoint P) const
{
    // Edges from last to first, then vertices from last to first: descending painting rank. Only
    // objects whose hit area holds P can answer, so the first hit equals that of a full scan.
    UpdateHitIndex();
    const HitIndex &x = fHitIndex;
    const std::int32_t *cellBegin = nullptr, *cellEnd = nullptr;
    const std::int64_t col = (std::int64_t(P.X) - x.Left), row = (std::int64_t(P.Y) - x.Top);
    if (x.Columns > 0 && col >= 0 && row >= 0 && col / x.Cell < x.Columns && row / x.Cell < x.Rows) {
        const std::size_t c = std::size_t(row / x.Cell * x.Columns + col / x.Cell);
        cellBegin = x.Entries.data() + x.Start[c];
        cellEnd = x.Entries.data() + x.Start[c + 1];
    }
    auto every = x.Everywhere.rbegin();
    while (cellEnd != cellBegin || every != x.Everywhere.rend()) {
        std::int32_t rank;
        if (every == x.Everywhere.rend() || (cellEnd != cellBegin && cellEnd[-1] > *every))
            rank = *--cellEnd;
        else
            rank = *every++;
        if (TKVObject *hit = ObjectOfRank(rank)->HitAt(P))
            return hit;
    }
    return nullptr;
}

TKVObject *TKVDiagram::FindObjectByID(std::int32_t Id) const
{
    for (TKVObject *v : Vertices)
        if (v->Id == Id)
            return v;
    for (TKVObject *e : Edges)
        if (e->Id == Id)
            return e;
    return nullptr;
}

void TKVDiagram::ToFront(TKVObject *V)
{
    auto it = std::find(Vertices.begin(), Vertices.end(), V);
    if (it != Vertices.end())
        std::rotate(it, it + 1, Vertices.end());
    KVGeometryChanged();
}

void TKVDiagram::ToBack(TKVObject *V)
{
    auto it = std::find(Vertices.begin(), Vertices.end(), V);
    if (it != Vertices.end())
        std::rotate(Vertices.begin(), it, it + 1);
    KVGeometryChanged();
    Q_EMIT Changed();
}

void TKVDiagram::ToFrontOne(TKVObject *V)
{
    auto it = std::find(Vertices.begin(), Vertices.end(), V);
    if (it != Vertices.end() && it + 1 != Vertices.end())
        std::iter_swap(it, it + 1);
    KVGeometryChanged();
}

void TKVDiagram::ToBackOne(TKVObject *V)
{
    auto it = std::find(Vertices.begin(), Vertices.end(), V);
    if (it != Vertices.end() && it != Vertices.begin())
        std::iter_swap(it, it - 1);
    KVGeometryChanged();
}

TKVRect TKVDiagram::GetDiagramExtents() const
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

void TKVDiagram::GetDiagramData()
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

void TKVDiagram::AddToSelection(TKVObject *Obj, bool Add)
{
    if (!Add)
        DeSelectAll();
    if (!Obj)
        return;
    if (!Contains(Selection, Obj))
        Selection.push_back(Obj);
    Obj->Selected = true;
}

void TKVDiagram::RemoveFromSelection(TKVObject *Obj)
{
    if (!Obj)
        return;
    std::erase(Selection, Obj);
    Obj->Selected = false;
    Q_EMIT Changed();
}

void TKVDiagram::DeSelectAll()
{
    for (TKVObject *o : Selection)
        o->Selected = false;
    Selection.clear();
    Q_EMIT Changed();
}

void TKVDiagram::SelectAll()
{
    DeSelectAll();
    for (TKVObject *v : Vertices)
        AddToSelection(v, true);
    for (TKVObject *e : Edges)
        AddToSelection(e, true);
    Q_EMIT Changed();
}

void TKVDiagram::SelectByRect(const TKVRect &R, bool Add)
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

void TKVDiagram::MoveSelectionBy(TKVPoint Delta)
{
    const TKVObjectList selection = Selection;
    for (TKVObject *o : selection)
        o->MoveBy(Delta);
}

// ---- Painting -------------------------------------------------------------------------------------

void TKVDiagram::PaintBackground(TCanvas &Canvas, const QRect &Clip, const QSize &Control)
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

void TKVDiagram::PaintGrid(TCanvas &Canvas, TKVPoint Offset, const QSize &Control)
{
    // Lines closer than 2 pixels would only wash the surface grey, at great cost.
    const double s = fGridStep * fScale * 0.01;
    if (!(s >= 2))
        return;
    Canvas.Pen = TPen{fGridColor, fGridStyle, 1, pmCopy};
    const QRect area = Canvas.ClipRect();
    const int offX = Scaled(Offset.X, fScale), offY = Scaled(Offset.Y, fScale);
    const int W = Control.width(), H = Control.height();
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

void TKVDiagram::PaintPrinterPage(TCanvas &Canvas, TKVPoint Offset, const QSize &Control)
{
    Canvas.Pen = TPen{clBlack, psSolid, 1, pmCopy};
    const TKVPrinterMetrics metrics = PrinterMetrics();
    const TKVPoint page = kvpages::PageSize(metrics, kvpages::PrinterPercent(metrics, fPrintScale));
    const QRect area = Canvas.ClipRect();
    const int W = Control.width(), H = Control.height();
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

void TKVDiagram::PaintObjects(TCanvas &Canvas, TKVPaintMode PaintMode, TKVPoint Offset)
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

void TKVDiagram::RenderInto(QImage &Image, const QRect &Clip, const QSize &Control)
{
    TCanvas canvas(&Image);
    RenderInto(canvas, Clip, Control);
}

void TKVDiagram::RenderInto(TCanvas &canvas, const QRect &Clip, const QSize &Control)
{
    canvas.SetAntialiased(fAntialiased);
    PaintBackground(canvas, Clip, Control);
    // Any part is painted as the whole surface would be, shifted by whole pixels: a world
    // offset would be rounded differently from the parts already on screen and leave seams.
    canvas.SetViewportOrg(-Clip.left(), -Clip.top());
    if (fShowGrid)
        PaintGrid(canvas, {0, 0}, Control);
    if (fShowPrinterPage)
        PaintPrinterPage(canvas, {0, 0}, Control);
    PaintObjects(canvas, pmScreen, {0, 0});
}

QImage TKVDiagram::RenderImage(const QSize &Control)
{
    QImage image;
    RenderImage(image, Control);
    return image;
}

void TKVDiagram::RenderImage(QImage &Image, const QSize &Control)
{
    const std::int64_t w = Control.width(), h = Control.height();
    if (w <= 0 || h <= 0) {
        Image = QImage();
        return;
    }
    if (w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels)
        throw Exception("Picture too large");
    if (Image.size() != QSize(int(w), int(h)) || Image.format() != QImage::Format_RGB32)
        Image = QImage(int(w), int(h), QImage::Format_RGB32);
    RenderInto(Image, QRect(0, 0, int(w), int(h)), Control);
}

// ---- Printing ---// ---- Printing -------------------------------------------------------------------------------------

QPrinter *TKVDiagram::Printer()
{
    if (!fPrinter) {
        fPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        fPrinter->setResolution(600);
        fPrinter->setPageSize(QPageSize(QPageSize::A4));
    }
    return fPrinter.get();
}

TKVPrinterMetrics TKVDiagram::PrinterMetrics()
{
    if (fPrinterMetrics)
        return *fPrinterMetrics;
    QPrinter *printer = Printer();
    const QScreen *screen = QGuiApplication::primaryScreen();
    return {printer->width(), printer->height(), screen ? screen->geometry().width() : 1024};
}

TKVPageCount TKVDiagram::GetPageCount()
{
    TKVRect e = GetDiagramExtents();
    e.Left = 0;
    e.Top = 0;
    return kvpages::PageCount(e, PrinterMetrics(), fPrintScale);
}

void TKVDiagram::Print(bool PageList, const std::vector<TKVPage> &Pages)
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

} // namespace kavgraph
