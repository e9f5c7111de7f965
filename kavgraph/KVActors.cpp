// The actors: what the pointer and keys do in a diagram box.

#include "kavgraph/KVActors.h"

#include "kavgraph/KVObjsBox.h"

#include <QGuiApplication>
#include <QScrollArea>
#include <QStyleHints>
#include <QScrollBar>

#include <cstdlib>

namespace kavgraph {

namespace {

// A handle stands for its owner, a label for its edge.
TKVObject *Selectable(TKVObject *obj)
{
    if (obj && obj->ObjectType == otHandle)
        obj = static_cast<TKVHandle *>(obj)->Owner();
    if (obj && obj->ObjectType == otAdjacent)
        obj = static_cast<TKVAdjacent *>(obj)->Edge();
    return obj;
}

bool IsA(const TKVObject *obj, TKVObjectType type) { return obj && obj->ObjectType == type; }

TKVObject *HandleOwner(TKVObject *obj)
{
    return IsA(obj, otHandle) ? static_cast<TKVHandle *>(obj)->Owner() : nullptr;
}

} // namespace

// ---- Edit actor -----------------------------------------------------------------------------------

void TKVEditActor::DrawBand(TKVPoint Corner)
{
    const std::int32_t scale = DiagramBox->Scale();
    DiagramBox->DrawDrag({WorldToScreen(RubberStart.X, scale), WorldToScreen(RubberStart.Y, scale),
                          WorldToScreen(Corner.X, scale), WorldToScreen(Corner.Y, scale)});
}

void TKVEditActor::DrawOutline(TKVObject *Obj)
{
    const double factor = DiagramBox->ScaleFactor();
    DiagramBox->DrawOnBox([&](TCanvas &canvas) { Obj->DrawDrag(canvas, factor); });
}

void TKVEditActor::DoMouseDown(QObject *, TMouseButton Button, TShiftState Shift, int, int)
{
    if (!DiagramBox)
        return;
    TKVDiagramBox &box = *DiagramBox;
    const TKVPoint P = box.CursorPos;
    const bool shift = Shift & ssShift;
    if (Button == mbLeft) {
        Current = box.FindObject(P);
        if (Current) {
            // The whole gesture, up to the release, is one step to undo.
            if (!std::exchange(fChanging, true)) {
                TKVObjectList touched = box.Selection;
                touched.push_back(Current);
                box.Diagram()->BeginChange(touched);
            }
            bool add;
            if (IsA(Current, otEdge) && Current->Selected) {
                Mode = amAddHandle;
                add = shift;
            } else {
                Mode = amMoveObjectPrepare;
                add = box.Selection.size() > 1 || shift;
            }
            box.AddToSelection(Selectable(Current), add);
        } else {
            RubberStart = P;
            if (!box.ImmediateRedraw)
                DrawBand(P);
            Mode = amMultiSelect;
        }
        StartPoint = P;
    } else if (Button == mbRight) {
        Current = box.FindObject(P);
        if (Current) {
            box.AddToSelection(Current, shift || IsA(Current, otHandle));
            TKVObject *owner = HandleOwner(Current);
            if (IsA(owner, otEdge) && owner->Selected)
                Mode = amDeleteHandle;
        }
    }
}

void TKVEditActor::DoMouseMove(QObject *, TShiftState Shift, int X, int Y)
{
    if (!DiagramBox || !(Shift & ssLeft))
        return;
    TKVDiagramBox &box = *DiagramBox;
    const TKVPoint to{X, Y};
    if (Mode == amAddHandle)
        Mode = amNoAction; // dragging cancels adding a bend
    if (Current) {
        if (Mode == amMoveObjectPrepare)
            Mode = amMoveObject;
        const TKVPoint delta = PointDiff(StartPoint, to);
        TKVObject *moved = Current;
        if (!box.ImmediateRedraw)
            DrawOutline(moved);
        if (IsA(moved, otVertex))
            box.MoveSelectionBy(delta);
        else
            moved->MoveBy(delta);
        if (!box.ImmediateRedraw)
            DrawOutline(moved);
    } else if (Mode == amMultiSelect) {
        DrawBand(StartPoint);
        DrawBand(to);
    }
    StartPoint = to;
    if (box.ImmediateRedraw && Mode != amMultiSelect)
        box.Invalidate();
}

void TKVEditActor::DoMouseUp(QObject *, TMouseButton Button, TShiftState Shift, int, int)
{
    if (!DiagramBox)
        return;
    TKVDiagramBox &box = *DiagramBox;
    const TKVPoint P = box.CursorPos;
    const bool shift = Shift & ssShift;
    Current = box.FindObject(P);
    if (Button == mbLeft) {
        if (OnClick && (Mode == amMoveObjectPrepare || (Mode == amMultiSelect && P == RubberStart)))
            OnClick(this);
        switch (Mode) {
        case amMoveObjectPrepare:
            if (Current && !IsA(Current, otHandle))
                box.AddToSelection(Current, shift);
            break;
        case amMultiSelect:
            DrawBand(StartPoint);
            box.SelectByRect(NormalizeRect({RubberStart.X, RubberStart.Y, P.X, P.Y}), shift);
            break;
        case amAddHandle:
            if (Current)
                Current->AddHandle(P);
            break;
        default: break;
        }
    } else if (Button == mbRight) {
        if (OnRightClick)
            OnRightClick(this);
        if (Current) {
            if (IsA(Current, otHandle) && Mode == amDeleteHandle) {
                auto *handle = static_cast<TKVHandle *>(Current);
                auto *edge = dynamic_cast<TKVCustomEdge *>(handle->Owner());
                const int index = edge ? edge->IndexOfHandle(handle) : -1;
                if (edge && (index == 0 || index == int(edge->Handles.size()) - 1)) {
                    // An end handle stays; left selected, a group drag would move that end twice.
                    box.Diagram()->RemoveFromSelection(handle);
                } else {
                    box.DeleteHandle(handle);
                }
                Current = nullptr;
            } else if (IsA(HandleOwner(Current), otVertex)) {
                Current = HandleOwner(Current);
            } else if (IsA(Current, otAdjacent)) {
                Current = static_cast<TKVAdjacent *>(Current)->Edge();
            }
            if (Mode != amDeleteHandle && Current)
                box.AddToSelection(Current, shift);
        } else if (!shift) {
            box.DeSelectAll();
        }
    }
    if (Button == mbLeft && std::exchange(fChanging, false))
        box.Diagram()->EndChange(tr("Edit"));
    Mode = amNoAction;
    box.Invalidate();
}

void TKVEditActor::DoKeyUp(int Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

// ---- Add-vertex actor -----------------------------------------------------------------------------

void TKVAddVertexActor::DoClick()
{
    if (!DiagramBox)
        return;
    TKVDiagramBox &box = *DiagramBox;
    const TKVPoint P = box.CursorPos;
    Current = box.FindObject(P);
    if (OnClick)
        OnClick(this);
    if (Current) {
        box.AddToSelection(Current, false); // a click on an object selects just that object
        return;
    }
    if (!OnCreateVertex)
        return;
    std::unique_ptr<TKVCustomVertex> vertex = OnCreateVertex(this, P);
    if (!vertex)
        return;
    Current = box.AddObject(std::move(vertex), kvInteractive);
    box.Invalidate();
}

void TKVAddVertexActor::DoRightClick()
{
    if (!DiagramBox)
        return;
    if (IsA(Current, otVertex)) {
        if (OnRightClick)
            OnRightClick(this);
        DiagramBox->AddToSelection(Current, false);
    }
    DiagramBox->Invalidate();
}

// ---- Add-edge actor -------------------------------------------------------------------------------

void TKVAddEdgeActor::DrawRubberLine(TKVPoint End)
{
    const std::int32_t scale = DiagramBox->Scale();
    const TKVPoint a = WorldToScreenPt(RubberStart, scale), b = WorldToScreenPt(End, scale);
    DiagramBox->DrawOnBox([&](TCanvas &canvas) {
        canvas.Pen = TPen{clBlack, psSolid, 1, pmNotXor};
        canvas.MoveTo(a.X, a.Y);
        canvas.LineTo(b.X, b.Y);
    });
}

void TKVAddEdgeActor::DoMouseDown(QObject *, TMouseButton, TShiftState, int, int)
{
    if (!DiagramBox)
        return;
    const TKVPoint P = DiagramBox->CursorPos;
    Current = DiagramBox->FindObject(P);
    Mode = amNoAction;
    if (IsA(Current, otVertex)) {
        StartPoint = P;
        RubberStart = P;
        Mode = amCreateEdgePrepare;
    }
}

void TKVAddEdgeActor::DoMouseMove(QObject *, TShiftState Shift, int X, int Y)
{
    if (!DiagramBox || !(Shift & ssLeft) || (Mode != amCreateEdgePrepare && Mode != amCreateEdge))
        return;
    if (Mode == amCreateEdgePrepare) {
        // A click with a little jitter is no drag: no edge (a loop onto the same vertex) from it.
        const std::int32_t scale = DiagramBox->Scale();
        const TKVPoint d = PointDiff(WorldToScreenPt(RubberStart, scale), WorldToScreenPt({X, Y}, scale));
        if (std::abs(std::int64_t(d.X)) + std::abs(std::int64_t(d.Y)) < QGuiApplication::styleHints()->startDragDistance())
            return;
    }
    DrawRubberLine(StartPoint);
    DrawRubberLine({X, Y});
    Mode = amCreateEdge;
    StartPoint = {X, Y};
}

void TKVAddEdgeActor::DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int, int)
{
    if (!DiagramBox)
        return;
    TKVDiagramBox &box = *DiagramBox;
    const TKVPoint P = box.CursorPos;
    const bool shift = Shift & ssShift;
    TKVObject *source = Current;
    Current = box.FindObject(P);
    if (Button == mbRight) {
        if (IsA(Current, otEdge) && OnRightClick) {
            OnRightClick(this);
            box.AddToSelection(Current, shift);
        } else if (!shift) {
            box.DeSelectAll();
        }
        box.Invalidate();
        Mode = amNoAction;
        return;
    }
    if (Button != mbLeft)
        return;
    if (OnClick)
        OnClick(this);
    if (Mode != amCreateEdge) {
        Mode = amNoAction; // a later drag from elsewhere starts afresh
        return;
    }
    DrawRubberLine(StartPoint);
    if (IsA(Current, otVertex) && IsA(source, otVertex) && OnCreateEdge) {
        if (std::unique_ptr<TKVCustomEdge> edge = OnCreateEdge(Sender, source, Current, RubberStart, P)) {
            Current = box.AddObject(std::move(edge), kvInteractive);
            box.Invalidate();
        }
    }
    Mode = amNoAction;
}

// ---- Zoom actor -----------------------------------------------------------------------------------

void TKVZoomActor::DoMouseUp(QObject *, TMouseButton Button, TShiftState, int, int)
{
    if (!DiagramBox)
        return;
    TKVDiagramBox &box = *DiagramBox;
    const TKVPoint P = box.CursorPos;
    if (Button == mbLeft) {
        if (OnClick)
            OnClick(this);
        box.SetScale(std::min(box.Scale() + ZoomInkrement, MaxZoom));
    } else {
        if (OnRightClick)
            OnRightClick(this);
        box.SetScale(std::max(box.Scale() - ZoomInkrement, MinZoom));
    }
    // The clicked point comes to the middle of the container.
    if (QScrollArea *area = box.ScrollContainer()) {
        const TKVPoint q = WorldToScreenPt(P, box.Scale());
        area->horizontalScrollBar()->setValue(q.X - RoundHalfEven(area->viewport()->width() * 0.5));
        area->verticalScrollBar()->setValue(q.Y - RoundHalfEven(area->viewport()->height() * 0.5));
    }
}

// ---- User actor -----------------------------------------------------------------------------------

void TKVUserActor::DoClick()
{
    if (OnClick)
        OnClick(this);
}

void TKVUserActor::DoDblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TKVUserActor::DoRightClick()
{
    if (OnRightClick)
        OnRightClick(this);
}

void TKVUserActor::DoMouseDown(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(Sender, Button, Shift, X, Y);
}

void TKVUserActor::DoMouseMove(QObject *, TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TKVUserActor::DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(Sender, Button, Shift, X, Y);
}

void TKVUserActor::DoKeyUp(int Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

} // namespace kavgraph
