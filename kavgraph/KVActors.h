#pragma once
// The five actors: edit (select, move, resize, bends, rubber band), add vertex, add edge, zoom,
// and one that hands every event to the application. Each takes the pointer position for hit
// tests from its box's CursorPos (the world position of the last mouse move).

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVObjsActor.h"

#include <memory>

namespace kavgraph {

class TKVCustomVertex;
class TKVCustomEdge;

/// Returns the new vertex (the box takes it), or none to create nothing.
using TKVCreateVertexEvent = std::function<std::unique_ptr<TKVCustomVertex>(QObject *Sender, TKVPoint P)>;
/// Returns the new edge (the box takes it), or none to create nothing.
using TKVCreateEdgeEvent = std::function<std::unique_ptr<TKVCustomEdge>(
    QObject *Sender, TKVObject *Source, TKVObject *Target, TKVPoint StartP, TKVPoint EndP)>;

/// Selects, moves and resizes objects, adds and removes bends, selects by rubber band.
class KAVGRAPH_EXPORT TKVEditActor : public TKVActor {
    Q_OBJECT

public:
    /// An actor freed with Owner (or by its creator when none).
    using TKVActor::TKVActor;
    void DoMouseDown(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoMouseMove(QObject *Sender, TShiftState Shift, int X, int Y) override;
    void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoKeyUp(int Key, TShiftState Shift) override;

private:
    void DrawBand(TKVPoint Corner);
    void DrawOutline(TKVObject *Obj);
    bool fChanging = false; ///< a change to undo is open since the press
};

/// A click on empty space adds the vertex that OnCreateVertex makes.
class KAVGRAPH_EXPORT TKVAddVertexActor : public TKVActor {
    Q_OBJECT

public:
    /// An actor freed with Owner (or by its creator when none).
    using TKVActor::TKVActor;
    TKVCreateVertexEvent OnCreateVertex; ///< makes the vertex to add at a point
    void DoClick() override;
    void DoRightClick() override;
};

/// A drag from one vertex to another adds the edge that OnCreateEdge makes.
class KAVGRAPH_EXPORT TKVAddEdgeActor : public TKVActor {
    Q_OBJECT

public:
    /// An actor freed with Owner (or by its creator when none).
    using TKVActor::TKVActor;
    TKVCreateEdgeEvent OnCreateEdge; ///< makes the edge to add between two vertices
    void DoMouseDown(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoMouseMove(QObject *Sender, TShiftState Shift, int X, int Y) override;
    void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void DrawRubberLine(TKVPoint End);
};

/// A left click zooms in by ZoomInkrement, any other click zooms out, and the point clicked comes to the
/// middle.
class KAVGRAPH_EXPORT TKVZoomActor : public TKVActor {
    Q_OBJECT
    Q_PROPERTY(int ZoomInkrement MEMBER ZoomInkrement)
    Q_PROPERTY(int MinZoom MEMBER MinZoom)
    Q_PROPERTY(int MaxZoom MEMBER MaxZoom)

public:
    /// An actor freed with Owner (or by its creator when none).
    using TKVActor::TKVActor;
    std::int32_t ZoomInkrement = 0; ///< the step of one click, percent
    std::int32_t MinZoom = 0; ///< the smallest scale, percent
    std::int32_t MaxZoom = 0; ///< the largest scale, percent
    void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

/// Hands every click, mouse and key event to the application's handlers, for modes of its own.
class KAVGRAPH_EXPORT TKVUserActor : public TKVActor {
    Q_OBJECT

public:
    /// An actor freed with Owner (or by its creator when none).
    using TKVActor::TKVActor;
    void DoClick() override;
    void DoDblClick() override;
    void DoRightClick() override;
    void DoMouseDown(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoMouseMove(QObject *Sender, TShiftState Shift, int X, int Y) override;
    void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoKeyUp(int Key, TShiftState Shift) override;
};

} // namespace kavgraph
