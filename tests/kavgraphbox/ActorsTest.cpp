// Every actor gesture, driven by simulated mouse and key events on a shown box.

#include "BoxTestUtil.h"
#include "kavgraph/KVActors.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>

#include <functional>

using namespace kavgraph;

namespace {

// Mouse events as a user makes them: the pointer moves to a point before it is pressed or
// released there.
class Mouse {
public:
    explicit Mouse(QWidget *w) : fWidget(w) {}
    void Move(QPoint p, Qt::KeyboardModifiers m = {})
    {
        fLast = p;
        Send(QEvent::MouseMove, p, Qt::NoButton, m);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        if (p != fLast)
            Move(p, m);
        fHeld |= b;
        Send(QEvent::MouseButtonPress, p, b, m);
    }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        if (p != fLast)
            Move(p, m);
        fHeld &= ~b;
        Send(QEvent::MouseButtonRelease, p, b, m);
    }
    void Click(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        Press(p, b, m);
        Release(p, b, m);
    }
    void Drag(QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        Press(from, b, m);
        Move((from + to) / 2, m);
        Release(to, b, m);
    }

private:
    void Send(QEvent::Type type, QPoint p, Qt::MouseButton b, Qt::KeyboardModifiers m)
    {
        QMouseEvent e(type, QPointF(p), fWidget->mapToGlobal(QPointF(p)), b, fHeld, m);
        QApplication::sendEvent(fWidget, &e);
    }
    QWidget *fWidget;
    Qt::MouseButtons fHeld;
    QPoint fLast{-1, -1};
};

struct Fixture {
    TKVDiagramBox box;
    Mouse mouse{&box};
    Fixture()
    {
        box.resize(800, 600);
        box.show();
    }
};

// ---- Edit actor -----------------------------------------------------------------------------------

TEST(EditActor, ClickSelectsOnlyTheVertexShiftAddsIt)
{
    Fixture f;
    TKVEditActor actor;
    int clicks = 0;
    actor.OnClick = [&](QObject *) { ++clicks; };
    f.box.SetActor(&actor);
    TKVCustomVertex *a = AddVertex(f.box, 0, 0);
    TKVCustomVertex *b = AddVertex(f.box, 200, 0);
    f.mouse.Click({20, 20});
    EXPECT_EQ(f.box.Selection, TKVObjectList{a});
    f.mouse.Click({220, 20}, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(f.box.Selection, (TKVObjectList{a, b}));
    // With two selected, a plain click still ends with the one clicked.
    f.mouse.Click({20, 20});
    EXPECT_EQ(f.box.Selection, TKVObjectList{a});
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(actor.Mode, amNoAction);
    // A click on a resize handle selects its vertex.
    f.box.DeSelectAll();
    f.mouse.Click({200, 0});
    EXPECT_EQ(f.box.Selection, TKVObjectList{b});
}

TEST(EditActor, DraggingMovesTheSelectionAndResizesByHandles)
{
    Fixture f;
    TKVEditActor actor;
    f.box.SetActor(&actor);
    f.box.SetScale(200); // pointer positions are mapped to world units
    TKVCustomVertex *a = AddVertex(f.box, 0, 0);
    TKVCustomVertex *b = AddVertex(f.box, 200, 0);
    TKVCustomEdge *e = AddEdge(f.box, a, b);
    f.box.SelectAll();
    f.mouse.Drag({40, 40}, {140, 80}); // 50, 20 world units
    EXPECT_EQ(a->Bounds, (TKVRect{50, 20, 150, 70}));
    EXPECT_EQ(b->Bounds, (TKVRect{250, 20, 350, 70}));
    EXPECT_EQ(e->Handles.front()->Position, (TKVPoint{100, 45}));
    EXPECT_EQ(actor.Mode, amNoAction);

    f.box.DeSelectAll();
    f.mouse.Drag({700, 140}, {740, 180}); // b's bottom-right corner (350, 70) by (20, 20)
    EXPECT_EQ(b->Bounds, (TKVRect{250, 20, 370, 90}));
    EXPECT_EQ(a->Bounds, (TKVRect{50, 20, 150, 70}));
}

TEST(EditActor, PressOnASelectedEdgeAddsABendUnlessDragged)
{
    Fixture f;
    TKVEditActor actor;
    f.box.SetActor(&actor);
    TKVCustomVertex *a = AddVertex(f.box, 0, 0);
    TKVCustomVertex *b = AddVertex(f.box, 400, 0);
    TKVCustomEdge *e = AddEdge(f.box, a, b); // along y = 25 from x = 50 to 450
    f.box.AddToSelection(e, false);
    f.mouse.Press({150, 26});
    EXPECT_EQ(actor.Mode, amAddHandle);
    f.mouse.Release({150, 26});
    ASSERT_EQ(e->Handles.size(), 3u);
    EXPECT_EQ(e->Handles[1]->Position, (TKVPoint{150, 25}));

    f.box.AddToSelection(e, false);
    f.mouse.Drag({320, 25}, {330, 25});
    EXPECT_EQ(e->Handles.size(), 3u);
}

TEST(EditActor, RightClickDeletesBendsOfASelectedEdgeButNeverItsEnds)
{
    Fixture f;
    TKVEditActor actor;
    f.box.SetActor(&actor);
    TKVCustomVertex *a = AddVertex(f.box, 0, 0);
    TKVCustomVertex *b = AddVertex(f.box, 400, 0);
    TKVCustomEdge *e = AddEdge(f.box, a, b);
    e->AddHandle({350, 25});
    ASSERT_EQ(e->Handles.size(), 3u);

    f.box.DeSelectAll();
    f.mouse.Click({350, 25}, Qt::RightButton); // the edge is not selected: nothing goes
    EXPECT_EQ(e->Handles.size(), 3u);

    f.box.AddToSelection(e, false);
    f.mouse.Click({450, 25}, Qt::RightButton); // the target end
    EXPECT_EQ(e->Handles.size(), 3u);
    f.box.AddToSelection(e, false);
    f.mouse.Click({350, 25}, Qt::RightButton);
    EXPECT_EQ(e->Handles.size(), 2u);
    EXPECT_EQ(actor.Current, nullptr);
    for (TKVObject *o : f.box.Selection)
        EXPECT_NE(o->ObjectType, otHandle);

    f.mouse.Click({600, 400}, Qt::RightButton); // empty space without Shift
    EXPECT_TRUE(f.box.Selection.empty());
}

TEST(EditActor, RubberBandSelectsTheSameWhicheverWayItIsDrawn)
{
    Fixture f;
    TKVEditActor actor;
    int clicks = 0;
    actor.OnClick = [&](QObject *) { ++clicks; };
    f.box.SetActor(&actor);
    TKVCustomVertex *a = AddVertex(f.box, 10, 10);
    TKVCustomVertex *b = AddVertex(f.box, 150, 100);
    AddVertex(f.box, 400, 400);
    f.box.DeSelectAll();
    f.mouse.Drag({5, 5}, {300, 200});
    EXPECT_EQ(f.box.Selection, (TKVObjectList{a, b}));
    f.box.DeSelectAll();
    f.mouse.Drag({300, 200}, {5, 5});
    EXPECT_EQ(f.box.Selection, (TKVObjectList{a, b}));
    EXPECT_EQ(clicks, 0);
    f.mouse.Click({700, 10}); // a click on empty space is a click
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(f.box.Selection.empty());
}

TEST(EditActor, KeyUpReachesTheHandler)
{
    Fixture f;
    TKVEditActor actor;
    f.box.SetActor(&actor);
    std::vector<std::pair<int, TShiftState>> keys;
    actor.OnKeyUp = [&](QObject *, int key, TShiftState shift) { keys.emplace_back(key, shift); };
    QTest::keyRelease(&f.box, Qt::Key_Delete, Qt::ShiftModifier); // then Shift itself goes up
    ASSERT_GE(keys.size(), 1u);
    EXPECT_EQ(keys[0], std::make_pair(int(Qt::Key_Delete), TShiftState(ssShift)));
}

// ---- Add-vertex actor -----------------------------------------------------------------------------

TEST(AddVertexActor, ClickCreatesThroughTheEventOrSelectsWhatIsHit)
{
    Fixture f;
    TKVAddVertexActor actor;
    f.box.SetActor(&actor);
    std::vector<TKVPoint> asked;
    bool refuse = false;
    actor.OnCreateVertex = [&](QObject *, TKVPoint p) -> std::unique_ptr<TKVCustomVertex> {
        asked.push_back(p);
        return refuse ? nullptr : std::make_unique<TKVCustomVertex>(p);
    };
    f.mouse.Click({300, 200});
    ASSERT_EQ(f.box.Vertices.size(), 1u);
    auto *v = static_cast<TKVCustomVertex *>(f.box.Vertices[0]);
    EXPECT_EQ(v->Bounds, (TKVRect{250, 175, 350, 225}));
    EXPECT_EQ(v->Id, 1);
    EXPECT_EQ(actor.Current, v);
    EXPECT_EQ(f.box.Selection, TKVObjectList{v});

    f.box.DeSelectAll();
    f.mouse.Click({310, 210}); // on the vertex: selected, nothing created
    EXPECT_EQ(f.box.Vertices.size(), 1u);
    EXPECT_EQ(f.box.Selection, TKVObjectList{v});

    refuse = true;
    f.mouse.Click({600, 500});
    EXPECT_EQ(f.box.Vertices.size(), 1u);
    EXPECT_EQ(asked.size(), 2u);
}

// ---- Add-edge actor -------------------------------------------------------------------------------

TEST(AddEdgeActor, DragFromVertexToVertexCreatesAnEdge)
{
    Fixture f;
    TKVAddEdgeActor actor;
    f.box.SetActor(&actor);
    TKVCustomVertex *a = AddVertex(f.box, 0, 0);
    TKVCustomVertex *b = AddVertex(f.box, 300, 200);
    struct Call {
        TKVObject *source, *target;
        TKVPoint start, end;
    };
    std::vector<Call> calls;
    actor.OnCreateEdge = [&](QObject *, TKVObject *s, TKVObject *t, TKVPoint p1,
                             TKVPoint p2) -> std::unique_ptr<TKVCustomEdge> {
        calls.push_back({s, t, p1, p2});
        return std::make_unique<TKVCustomEdge>(s, t, p1, p2);
    };
    f.mouse.Press({30, 20});
    EXPECT_EQ(actor.Mode, amCreateEdgePrepare);
    f.mouse.Move({200, 120}, {});
    f.mouse.Release({330, 230});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].source, a);
    EXPECT_EQ(calls[0].target, b);
    EXPECT_EQ(calls[0].start, (TKVPoint{30, 20}));
    EXPECT_EQ(calls[0].end, (TKVPoint{330, 230}));
    ASSERT_EQ(f.box.Edges.size(), 1u);
    EXPECT_EQ(f.box.Selection, TKVObjectList{f.box.Edges[0]});
    EXPECT_EQ(actor.Mode, amNoAction);

    // Released over empty space, or without a drag: no edge.
    f.mouse.Drag({70, 10}, {600, 500});
    f.mouse.Click({70, 10});
    EXPECT_EQ(calls.size(), 1u);
    // A right release over nothing clears the selection.
    f.mouse.Click({700, 10}, Qt::RightButton);
    EXPECT_TRUE(f.box.Selection.empty());
    EXPECT_EQ(actor.Mode, amNoAction);
}

TEST(AddEdgeActor, AClickWithJitterOrAfterAPlainClickMakesNoEdgeAndNoRubberLine)
{
    Fixture f;
    TKVAddEdgeActor actor;
    f.box.SetActor(&actor);
    AddVertex(f.box, 0, 0);
    AddVertex(f.box, 300, 200);
    int created = 0;
    actor.OnCreateEdge = [&](QObject *, TKVObject *s, TKVObject *t, TKVPoint p1, TKVPoint p2) {
        ++created;
        return std::make_unique<TKVCustomEdge>(s, t, p1, p2);
    };
    f.mouse.Press({30, 20});
    f.mouse.Move({31, 20}); // a pixel of jitter while pressed
    f.mouse.Release({31, 20});
    EXPECT_EQ(created, 0);
    EXPECT_EQ(actor.Mode, amNoAction);

    f.mouse.Click({30, 20}); // a plain click on the vertex, then a drag from empty space
    f.mouse.Press({600, 500});
    f.mouse.Move({650, 550});
    EXPECT_NE(actor.Mode, amCreateEdge);
    f.mouse.Release({330, 230});
    EXPECT_EQ(created, 0);
}

TEST(EditActor, RightClickOnAnEndOfASelectedEdgeLeavesItUnselected)
{
    Fixture f;
    TKVEditActor actor;
    f.box.SetActor(&actor);
    TKVCustomVertex *a = AddVertex(f.box, 0, 0);
    TKVCustomVertex *b = AddVertex(f.box, 400, 0);
    TKVCustomEdge *e = AddEdge(f.box, a, b);
    f.box.AddToSelection(e, false);
    f.box.AddToSelection(a, true);
    f.mouse.Click({450, 25}, Qt::RightButton); // the target end
    for (TKVObject *o : f.box.Selection)
        EXPECT_NE(o, e->Handles.back().get());
    EXPECT_FALSE(e->Handles.back()->Selected);
}

// ---- Undo -----------------------------------------------------------------------------------------

// Each gesture is one step: undo puts back exactly what was there, redo does it again.
TEST(Undo, EveryGestureOfTheEditActorIsOneStep)
{
    Fixture f;
    TKVEditActor actor;
    f.box.SetActor(&actor);
    TKVCustomVertex *a = AddVertex(f.box, 0, 0);
    TKVCustomVertex *b = AddVertex(f.box, 400, 0);
    TKVCustomEdge *e = AddEdge(f.box, a, b);
    e->SetText("label");
    QUndoStack *stack = f.box.UndoStack();
    const auto geometry = [&] {
        std::vector<TKVPoint> points{{a->Bounds.Left, a->Bounds.Top}, {a->Bounds.Right, a->Bounds.Bottom},
                                     {b->Bounds.Left, b->Bounds.Top}, {b->Bounds.Right, b->Bounds.Bottom},
                                     e->Adjacent->Handle->Position};
        for (const auto &h : e->Handles)
            points.push_back(h->Position);
        return points;
    };
    const std::vector<std::pair<const char *, std::function<void()>>> gestures = {
        {"move a vertex", [&] { f.mouse.Drag({20, 10}, {90, 80}); }},
        {"move an edge's end", [&] {
             f.box.AddToSelection(e, false);
             const TKVPoint p = e->Handles.back()->Position;
             f.mouse.Drag({p.X, p.Y}, {p.X + 10, p.Y + 10});
         }},
        {"resize a vertex", [&] {
             f.box.AddToSelection(b, false);
             f.mouse.Drag({500, 50}, {540, 80}); // the bottom-right corner
         }},
        {"add a bend", [&] {
             f.box.AddToSelection(e, false);
             const TKVPoint m = e->Handles[0]->Position, n = e->Handles[1]->Position;
             f.mouse.Click({(3 * m.X + n.X) / 4, (3 * m.Y + n.Y) / 4}); // away from the label
         }},
        {"delete that bend", [&] {
             f.box.AddToSelection(e, false);
             const TKVPoint p = e->Handles[1]->Position;
             f.mouse.Click({p.X, p.Y}, Qt::RightButton);
         }},
    };
    for (const auto &[name, gesture] : gestures) {
        const auto before = geometry();
        const int steps = stack->count();
        gesture();
        const auto after = geometry();
        ASSERT_NE(after, before) << name;
        ASSERT_EQ(stack->count(), steps + 1) << name;
        stack->undo();
        EXPECT_EQ(geometry(), before) << name;
        stack->redo();
        EXPECT_EQ(geometry(), after) << name;
    }
}

// Objects that were added or deleted come back as they were, joined to the same vertices.
TEST(Undo, AddsAndDeletesComeBackWithTheirIdsAndEnds)
{
    Fixture f;
    TKVAddVertexActor actor;
    f.box.SetActor(&actor);
    actor.OnCreateVertex = [](QObject *, TKVPoint p) { return std::make_unique<TKVCustomVertex>(p); };
    TKVCustomVertex *a = AddVertex(f.box, 0, 0);
    f.mouse.Click({300, 300});
    ASSERT_EQ(f.box.Vertices.size(), 2u);
    auto *b = static_cast<TKVCustomVertex *>(f.box.Vertices[1]);
    AddEdge(f.box, a, b);
    const std::int32_t bId = b->Id;
    const TKVRect bBounds = b->Bounds;
    QUndoStack *stack = f.box.UndoStack();

    f.box.DeleteObject(b, kvInteractive); // takes the edge with it
    EXPECT_TRUE(f.box.Edges.empty());
    stack->undo();
    ASSERT_EQ(f.box.Vertices.size(), 2u);
    ASSERT_EQ(f.box.Edges.size(), 1u);
    auto *back = static_cast<TKVCustomVertex *>(f.box.Vertices[1]);
    auto *edge = static_cast<TKVCustomEdge *>(f.box.Edges[0]);
    EXPECT_EQ(back->Id, bId);
    EXPECT_EQ(back->Bounds, bBounds);
    EXPECT_EQ(edge->Source, a);
    EXPECT_EQ(edge->Target, back);
    back->MoveBy({10, 10}); // the edge's end is hooked to the vertex brought back
    EXPECT_TRUE(PointInRect(edge->Handles.back()->Position, back->Bounds));

    stack->undo(); // the edge's add
    stack->undo(); // the click's add
    EXPECT_EQ(f.box.Vertices.size(), 1u);
    EXPECT_TRUE(f.box.Edges.empty());
    stack->redo();
    stack->redo();
    EXPECT_EQ(f.box.Vertices.size(), 2u);
    EXPECT_EQ(f.box.Edges.size(), 1u);
    f.box.Clear();
    EXPECT_EQ(stack->count(), 0);
}

// ---- Zoom actor -----------------------------------------------------------------------------------

TEST(ZoomActor, ClicksZoomWithinTheLimitsAndCentreThePoint)
{
    QScrollArea area;
    area.resize(300, 300);
    auto *box = new TKVDiagramBox;
    box->AutoSize = true;
    AddVertex(*box, 1900, 1900, kvProgram);
    area.setWidget(box);
    area.show();
    QApplication::processEvents();
    TKVZoomActor actor;
    actor.ZoomInkrement = 20;
    actor.MinZoom = 50;
    actor.MaxZoom = 300;
    box->SetActor(&actor);
    int events = 0;
    box->OnScaleChange = [&](TKVScaleChange, int &) { ++events; };
    Mouse mouse(box);

    box->SetScale(290);
    QApplication::processEvents();
    events = 0;
    mouse.Click({400, 400}); // world (138, 138)
    EXPECT_EQ(box->Scale(), 300);
    const QPoint expected(WorldToScreen(138, 300) - RoundHalfEven(area.viewport()->width() * 0.5),
                          WorldToScreen(138, 300) - RoundHalfEven(area.viewport()->height() * 0.5));
    EXPECT_EQ(area.horizontalScrollBar()->value(), expected.x());
    EXPECT_EQ(area.verticalScrollBar()->value(), expected.y());

    box->SetScale(50);
    events = 0;
    mouse.Click({10, 10}, Qt::RightButton);
    EXPECT_EQ(box->Scale(), 50);
    EXPECT_EQ(events, 0);
    mouse.Click({10, 10}, Qt::LeftButton);
    EXPECT_EQ(box->Scale(), 70);
}

// ---- User actor -----------------------------------------------------------------------------------

TEST(UserActor, HandsEveryEventToTheApplication)
{
    Fixture f;
    f.box.SetScale(200);
    TKVUserActor actor;
    f.box.SetActor(&actor);
    std::vector<std::string> log;
    const auto add = [&](std::string s) { log.push_back(std::move(s)); };
    actor.OnClick = [&](QObject *) { add("click"); };
    actor.OnDblClick = [&](QObject *) { add("dblclick"); };
    actor.OnRightClick = [&](QObject *) { add("rightclick"); };
    actor.OnMouseDown = [&](QObject *, TMouseButton b, TShiftState, int x, int y) {
        add("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    actor.OnMouseUp = [&](QObject *, TMouseButton b, TShiftState, int x, int y) {
        add("up " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    actor.OnMouseMove = [&](QObject *, TShiftState, int x, int y) {
        add("move " + std::to_string(x) + "," + std::to_string(y));
    };
    actor.OnKeyUp = [&](QObject *, int key, TShiftState) { add("key " + std::to_string(key)); };

    f.mouse.Click({100, 60});
    f.mouse.Click({100, 60}, Qt::RightButton);
    QTest::mouseDClick(&f.box, Qt::LeftButton, {}, QPoint(100, 60));
    QTest::keyRelease(&f.box, Qt::Key_A);
    const std::vector<std::string> want = {
        "move 50,30", "down 0 100,60", "click", "up 0 100,60", // left click
        "down 1 100,60", "rightclick", "up 1 100,60",          // right click
    };
    ASSERT_GE(log.size(), want.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + want.size()), want);
    EXPECT_NE(std::find(log.begin(), log.end(), "dblclick"), log.end());
    EXPECT_EQ(log.back(), "key " + std::to_string(Qt::Key_A));
}

} // namespace
