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

// Returns the new vertex (the box takes it), or none to create nothing.
using TKVCreateVertexEvent = std::function<std::unique_ptr<TKVCustomVertex>(QObject *Sender, TKVPoint P)>;
// Returns the new edge (the box takes it), or none to create nothing.
using TKVCreateEdgeEvent = std::function<std::unique_ptr<TKVCustomEdge>(
    QObject *Sender, TKVObject *Source, TKVObject *Target, TKVPoint StartP, TKVPoint EndP)>;

class KAVGRAPH_EXPORT TKVEditActor : public TKVActor {
    Q_OBJECT

public:
    using TKVActor::TKVActor;
    void DoMouseDown(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoMouseMove(QObject *Sender, TShiftState Shift, int X, int Y) override;
    void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoKeyUp(int Key, TShiftState Shift) override;

private:
    void DrawBand(TKVPoint Corner);
    void DrawOutline(TKVObject *Obj);
    bool fChanging = false; // a change to undo is open since the press
};

class KAVGRAPH_EXPORT TKVAddVertexActor : public TKVActor {
    Q_OBJECT

public:
    using TKVActor::TKVActor;
    TKVCreateVertexEvent OnCreateVertex;
    void DoClick() override;
    void DoRightClick() override;
};

class KAVGRAPH_EXPORT TKVAddEdgeActor : public TKVActor {
    Q_OBJECT

public:
    using TKVActor::TKVActor;
    TKVCreateEdgeEvent OnCreateEdge;
    void DoMouseDown(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoMouseMove(QObject *Sender, TShiftState Shift, int X, int Y) override;
    void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void DrawRubberLine(TKVPoint End);
};

class KAVGRAPH_EXPORT TKVZoomActor : public TKVActor {
    Q_OBJECT
    Q_PROPERTY(int ZoomInkrement MEMBER ZoomInkrement)
    Q_PROPERTY(int MinZoom MEMBER MinZoom)
    Q_PROPERTY(int MaxZoom MEMBER MaxZoom)

public:
    using TKVActor::TKVActor;
    std::int32_t ZoomInkrement = 0; // percent
    std::int32_t MinZoom = 0;
    std::int32_t MaxZoom = 0;
    void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class KAVGRAPH_EXPORT TKVUserActor : public TKVActor {
    Q_OBJECT

public:
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
