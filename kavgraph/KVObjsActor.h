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

/// The mouse button of an event.
enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

/// The keys and buttons held during a mouse or key event.
enum TShiftFlag : std::uint8_t {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};
/// A set of TShiftFlag bits.
using TShiftState = std::uint8_t;

/// A handler told only who sent the event.
using TNotifyEvent = std::function<void(QObject *Sender)>;
/// A handler of a released key (a Qt::Key code) with the keys held.
using TKVKeyEvent = std::function<void(QObject *Sender, int Key, TShiftState Shift)>;
/// A handler of a button pressed or released at X, Y.
using TKVActorMouseEvent =
    std::function<void(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
/// A handler of a pointer move to X, Y.
using TKVActorMouseMoveEvent = std::function<void(QObject *Sender, TShiftState Shift, int X, int Y)>;

/// The base of the actors: what a diagram box does with its mouse and key events.
///
/// Assign one with TKVDiagramBox::SetActor; swapping actors switches the editing mode.
class KAVGRAPH_EXPORT TKVActor : public QObject {
    Q_OBJECT

public:
    /// An actor freed with Owner (or by its creator when none).
    explicit TKVActor(QObject *Owner = nullptr) : QObject(Owner) {}
    /// Set by the box when the actor is assigned to it.
    QPointer<TKVDiagramBox> DiagramBox;
    TKVActorMode Mode = amNoAction; ///< the gesture in progress
    TNotifyEvent OnRightClick; ///< called on a right click, where the actor uses it
    TNotifyEvent OnClick; ///< called on a left click, where the actor uses it
    TNotifyEvent OnDblClick; ///< called on a double click, where the actor uses it
    TKVActorMouseEvent OnMouseDown; ///< called on a button press (user actor)
    TKVActorMouseEvent OnMouseUp; ///< called on a button release (user actor)
    TKVActorMouseMoveEvent OnMouseMove; ///< called on a pointer move (user actor)
    TKVKeyEvent OnKeyUp; ///< called on a released key (edit and user actors)
    /// The object of the last hit test; the box clears it when that object goes.
    TKVObject *Current = nullptr;

    /// A left click in the box.
    virtual void DoClick() {}
    /// A double click in the box.
    virtual void DoDblClick() {}
    /// A right click in the box.
    virtual void DoRightClick() {}
    /// A button went down at X, Y (client coordinates).
    virtual void DoMouseDown([[maybe_unused]] QObject *Sender, [[maybe_unused]] TMouseButton Button,
                             [[maybe_unused]] TShiftState Shift, [[maybe_unused]] int X, [[maybe_unused]] int Y)
    {
    }
    /// The pointer moved to X, Y (world coordinates).
    virtual void DoMouseMove([[maybe_unused]] QObject *Sender, [[maybe_unused]] TShiftState Shift,
                             [[maybe_unused]] int X, [[maybe_unused]] int Y)
    {
    }
    /// A button went up at X, Y (client coordinates).
    virtual void DoMouseUp([[maybe_unused]] QObject *Sender, [[maybe_unused]] TMouseButton Button,
                           [[maybe_unused]] TShiftState Shift, [[maybe_unused]] int X, [[maybe_unused]] int Y)
    {
    }
    /// A key released in the box (a Qt::Key code).
    virtual void DoKeyUp([[maybe_unused]] int Key, [[maybe_unused]] TShiftState Shift) {}

protected:
    TKVPoint StartPoint; ///< the last pointer position of a drag (world)
    TKVPoint RubberStart; ///< where a rubber band or a new edge started (world)
};

} // namespace kavgraph
