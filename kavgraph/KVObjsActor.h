#pragma once
// The base of the actors: non-visual components that give a diagram box its interactive
// behaviour. The box forwards its mouse, click and key events to the actor assigned to it.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVTypes.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>

namespace kavgraph {

class TKVDiagramBox;
class TKVObject;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// The keys and buttons held during a mouse or key event.
enum TShiftFlag : std::uint8_t {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};
using TShiftState = std::uint8_t;

using TNotifyEvent = std::function<void(QObject *Sender)>;
using TKVKeyEvent = std::function<void(QObject *Sender, int Key, TShiftState Shift)>;
using TKVActorMouseEvent =
    std::function<void(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TKVActorMouseMoveEvent = std::function<void(QObject *Sender, TShiftState Shift, int X, int Y)>;

class KAVGRAPH_EXPORT TKVActor : public QObject {
    Q_OBJECT

public:
    explicit TKVActor(QObject *Owner = nullptr) : QObject(Owner) {}
    // Set by the box when the actor is assigned to it.
    QPointer<TKVDiagramBox> DiagramBox;
    TKVActorMode Mode = amNoAction;
    TNotifyEvent OnRightClick;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TKVActorMouseEvent OnMouseDown;
    TKVActorMouseEvent OnMouseUp;
    TKVActorMouseMoveEvent OnMouseMove;
    TKVKeyEvent OnKeyUp;
    // The object of the last hit test; the box clears it when that object goes.
    TKVObject *Current = nullptr;

    virtual void DoClick() {}
    virtual void DoDblClick() {}
    virtual void DoRightClick() {}
    // Client coordinates.
    virtual void DoMouseDown(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {}
    // World coordinates.
    virtual void DoMouseMove(QObject *Sender, TShiftState Shift, int X, int Y) {}
    // Client coordinates.
    virtual void DoMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {}
    virtual void DoKeyUp(int Key, TShiftState Shift) {}

protected:
    TKVPoint StartPoint; // the last pointer position of a drag (world)
    TKVPoint RubberStart; // where a rubber band or a new edge started (world)
};

} // namespace kavgraph
