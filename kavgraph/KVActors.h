#pragma once
// The five actors: edit (select, move, resize, bends, rubber band), add vertex, add edge, zoom,
// and one that hands every event to the application. Each takes the pointer position for hit
// tests from its box's CursorPos (the world position of the last mouse move).

#include "kavgraph/KVObjsActor.h"

#include <memory>

class TKVCustomVertex;
class TKVCustomEdge;

// Returns the new vertex (the box takes it), or none to create nothing.
using TKVCreateVertexEvent = std::function<std::unique_ptr<TKVCustomVertex>(QObject *Sender, TKVPoint P)>;
// Returns the new edge (the box takes it), or none to create nothing.
using TKVCreateEdgeEvent = std::function<std::unique_ptr<TKVCustomEdge>(
    QObject *Sender, TKVObject *Source, TKVObject *Target, TKVPoint StartP, TKVPoint EndP)>;

class TKVEditActor : public TKVActor {
public:
    using TKVActor::TKVActor;
    void DoMouseDown(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoMouseMove(QObject *Sender, TShiftState Shift, int X, int Y) override;
    void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoKeyUp(int Key, TShiftState Shift) override;

private:
    void DrawBand(TKVPoint Corner);
    void DrawOutline(TKVObject *Obj);
};

class TKVAddVertexActor : public TKVActor {
public:
    using TKVActor::TKVActor;
    TKVCreateVertexEvent OnCreateVertex;
    void DoClick() override;
    void DoRightClick() override;
};

class TKVAddEdgeActor : public TKVActor {
public:
    using TKVActor::TKVActor;
    TKVCreateEdgeEvent OnCreateEdge;
    void DoMouseDown(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoMouseMove(QObject *Sender, TShiftState Shift, int X, int Y) override;
    void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void DrawRubberLine(TKVPoint End);
};

class TKVZoomActor : public TKVActor {
public:
    using TKVActor::TKVActor;
    std::int32_t ZoomInkrement = 0; // percent
    std::int32_t MinZoom = 0;
    std::int32_t MaxZoom = 0;
    void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class TKVUserActor : public TKVActor {
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
