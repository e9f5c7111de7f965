// The diagram box: adding and deleting objects with their events, hit order, extents, selection,
// scale, order changes, data refresh, the hint and what a paint puts where.

#include "BoxTestUtil.h"
#include "kavgraph/KVActors.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace kavgraph;

namespace {

TKVHandle *AddBend(TKVCustomEdge *edge, TKVPoint p)
{
    edge->AddHandle(p);
    for (const auto &h : edge->Handles)
        if (h->HandleType == htEdge && h->Position == p)
            return h.get();
    return nullptr;
}

TEST(Box, AddObjectGivesIdsAndSelectsInteractiveObjectsOnly)
{
    TKVDiagramBox box;
    TKVCustomVertex *a = AddVertex(box, 0, 0);
    TKVCustomVertex *b = AddVertex(box, 200, 0);
    EXPECT_EQ(a->Id, 1);
    EXPECT_EQ(b->Id, 2);
    EXPECT_EQ(box.Selection, TKVObjectList{b});
    EXPECT_FALSE(a->Selected);

    auto loaded = std::make_unique<TKVCustomVertex>(TKVPoint{0, 0});
    loaded->Id = 40;
    TKVObject *c = box.AddObject(std::move(loaded), kvProgram);
    EXPECT_EQ(c->Id, 40);
    EXPECT_EQ(box.LastId, 2); // the reader raises it
    EXPECT_EQ(box.Vertices.size(), 3u);
    EXPECT_EQ(box.Selection, TKVObjectList{b});
}

TEST(Box, AddEventVetoesOrReplacesAndForeignObjectsAreRefused)
{
    TKVDiagramBox box;
    bool veto = true;
    TKVObject *replacement = nullptr;
    box.OnAddObject = [&](TKVObject *&obj, TKVMode) {
        if (replacement)
            obj = replacement;
        return !veto;
    };
    EXPECT_EQ(box.AddObject(std::make_unique<CountedVertex>(TKVPoint{0, 0}), kvInteractive), nullptr);
    EXPECT_EQ(CountedVertex::alive, 0);
    EXPECT_TRUE(box.Vertices.empty());
    EXPECT_EQ(box.LastId, 0);

    veto = false;
    replacement = new CountedVertex({500, 500});
    TKVObject *added = box.AddObject(std::make_unique<CountedVertex>(TKVPoint{0, 0}), kvInteractive);
    EXPECT_EQ(added, replacement);
    EXPECT_EQ(CountedVertex::alive, 1); // the object offered was freed
    EXPECT_EQ(box.Vertices, TKVObjectList{replacement});

    replacement = nullptr;
    box.OnAddObject = nullptr;
    TKVCustomVertex owner({0, 0});
    EXPECT_EQ(box.AddObject(std::make_unique<TKVHandle>(&owner, htEdge, TKVPoint{1, 1}), kvInteractive), nullptr);
    EXPECT_TRUE(box.Selection.empty() || box.Selection == TKVObjectList{added});
    box.Clear();
    EXPECT_EQ(CountedVertex::alive, 0);
}

TEST(Box, DeletingAVertexDeletesItsEdgesFirstEvenWhenOneIsVetoed)
{
    TKVDiagramBox box;
    TKVCustomVertex *hub = AddVertex(box, 0, 0);
    TKVCustomVertex *other = AddVertex(box, 300, 0);
    std::vector<TKVCustomEdge *> edges;
    for (int i = 0; i < 3; ++i)
        edges.push_back(AddEdge(box, hub, other));
    TKVCustomEdge *spare = AddEdge(box, other, other);

    std::vector<std::pair<TKVObject *, TKVMode>> calls;
    box.OnDeleteObject = [&](TKVObject *&obj, TKVMode mode) {
        calls.emplace_back(obj, mode);
        return obj != edges[1]; // a veto inside the cascade does not keep the edge
    };
    box.DeleteObject(hub, kvInteractive);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0], std::make_pair<TKVObject *>(hub, kvInteractive));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(calls[i].second, kvProgram);
    EXPECT_EQ(box.Vertices, TKVObjectList{other});
    EXPECT_EQ(box.Edges, TKVObjectList{spare});
    EXPECT_EQ(other->Links.size(), 2u); // only the spare edge's two ends

    // A veto on the object itself keeps it.
    calls.clear();
    box.OnDeleteObject = [](TKVObject *&, TKVMode) { return false; };
    box.DeleteObject(other, kvInteractive);
    EXPECT_EQ(box.Vertices.size(), 1u);
}

TEST(Box, DeletingTheSelectionTerminatesAndLeavesNothingDangling)
{
    TKVDiagramBox box;
    TKVEditActor actor;
    box.SetActor(&actor);
    TKVCustomVertex *a = AddVertex(box, 0, 0);
    TKVCustomVertex *b = AddVertex(box, 300, 0);
    TKVCustomVertex *kept = AddVertex(box, 0, 300);
    TKVCustomEdge *e = AddEdge(box, a, b);
    TKVHandle *bend = AddBend(e, {200, 25});
    ASSERT_NE(bend, nullptr);
    box.SelectAll();
    box.AddToSelection(bend, true);
    actor.Current = e->Adjacent->Handle.get();
    box.OnDeleteObject = [&](TKVObject *&obj, TKVMode) { return obj != kept; };

    box.DeleteSelectedObjects(kvInteractive);
    EXPECT_EQ(box.Vertices, TKVObjectList{kept});
    EXPECT_TRUE(box.Edges.empty());
    EXPECT_EQ(box.Selection, TKVObjectList{kept}); // the vetoed vertex stays selected
    EXPECT_EQ(actor.Current, nullptr);
}

TEST(Box, DeletingHandlesGoesThroughTheEdge)
{
    TKVDiagramBox box;
    TKVCustomVertex *a = AddVertex(box, 0, 0);
    TKVCustomVertex *b = AddVertex(box, 300, 0);
    TKVCustomEdge *e = AddEdge(box, a, b);
    TKVHandle *bend = AddBend(e, {200, 25});
    box.SelectByRect({190, 15, 210, 35}, false);
    ASSERT_EQ(box.Selection, TKVObjectList{bend});

    TKVHandle *end = e->Handles.front().get();
    box.AddToSelection(end, true);
    box.DeleteObject(end, kvInteractive); // an end stays with its edge
    EXPECT_EQ(e->Handles.size(), 3u);
    EXPECT_EQ(box.Selection, TKVObjectList{bend});

    box.DeleteObject(bend, kvInteractive);
    EXPECT_EQ(e->Handles.size(), 2u);
    EXPECT_TRUE(box.Selection.empty());
    EXPECT_EQ(box.Edges.size(), 1u);
}

TEST(Box, BendsAreForgottenBeforeAnEdgeIsStraightened)
{
    TKVDiagramBox box;
    TKVEditActor actor;
    box.SetActor(&actor);
    TKVCustomVertex *a = AddVertex(box, 0, 0);
    TKVCustomVertex *b = AddVertex(box, 300, 0);
    TKVCustomEdge *e = AddEdge(box, a, b);
    TKVHandle *bend = AddBend(e, {200, 25});
    box.SelectByRect({190, 15, 210, 35}, false);
    box.AddToSelection(e, true);
    actor.Current = bend;

    box.ForgetBends(e);
    EXPECT_EQ(box.Selection, TKVObjectList{e});
    EXPECT_EQ(actor.Current, nullptr);
    e->ToOrthogonal();
    box.MoveSelectionBy({5, 5}); // touches only what is still alive
    EXPECT_EQ(e->Handles.size(), 3u);
}

TEST(Box, AnActorLeftBehindForgetsItsObject)
{
    // Objects deleted while another actor is in charge must not stay as the old actor's object.
    TKVDiagramBox box;
    TKVEditActor edit;
    TKVAddVertexActor add;
    box.SetActor(&edit);
    TKVCustomVertex *v = AddVertex(box, 0, 0);
    edit.Current = v;
    box.SetActor(&edit); // the same actor keeps it
    EXPECT_EQ(edit.Current, v);
    box.SetActor(&add);
    box.DeleteObject(v, kvInteractive);
    EXPECT_EQ(edit.Current, nullptr);
}

TEST(Box, FindObjectPrefersEdgesLabelsAndLaterObjects)
{
    TKVDiagramBox box;
    TKVCustomVertex *lower = AddVertex(box, 0, 0);
    TKVCustomVertex *upper = AddVertex(box, 50, 0);
    TKVCustomVertex *far = AddVertex(box, 400, 0);
    TKVCustomEdge *e = AddEdge(box, lower, far);
    e->Adjacent->Bounds = {60, 30, 90, 45}; // a label lying over both boxes
    e->Adjacent->Position = {75, 37};

    EXPECT_EQ(box.FindObject({70, 40}), e->Adjacent.get());
    EXPECT_EQ(box.FindObject({70, 10}), upper);
    EXPECT_EQ(box.FindObject({20, 10}), lower);
    EXPECT_EQ(box.FindObject({300, 300}), nullptr);
    EXPECT_EQ(box.FindObjectByID(far->Id), far);
    EXPECT_EQ(box.FindObjectByID(e->Id), e);
    EXPECT_EQ(box.FindObjectByID(99), nullptr);
}

TEST(Box, DiagramExtents)
{
    TKVDiagramBox box;
    EXPECT_EQ(box.GetDiagramExtents(), (TKVRect{0, 0, 0, 0}));
    TKVCustomVertex *a = AddVertex(box, 0, 0);
    EXPECT_EQ(box.GetDiagramExtents(), (TKVRect{-10, -10, 110, 60}));
    TKVCustomVertex *b = AddVertex(box, 0, 100);
    TKVCustomEdge *e = AddEdge(box, a, b);
    AddBend(e, {50, 90});
    e->Handles[1]->MoveTo({400, 90}); // a bend far to the right counts with its handle
    e->Adjacent->Position = {-300, 80};
    EXPECT_EQ(box.GetDiagramExtents(), (TKVRect{-310, -10, 414, 160}));
}

TEST(Box, ScaleChanges)
{
    TKVDiagramBox box;
    std::vector<std::pair<TKVScaleChange, int>> events;
    box.OnScaleChange = [&](TKVScaleChange mode, int &scale) {
        events.emplace_back(mode, scale);
        if (scale == 120)
            scale = 150;
    };
    box.SetScale(100);
    EXPECT_TRUE(events.empty());
    box.SetScale(120);
    EXPECT_EQ(box.Scale(), 150);
    EXPECT_DOUBLE_EQ(box.ScaleFactor(), 1.5);
    box.SetScale(50);
    box.SetScale(0); // taken as 1
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], std::make_pair(ZoomIn, 120));
    EXPECT_EQ(events[1], std::make_pair(ZoomOut, 50));
    EXPECT_EQ(events[2], std::make_pair(ZoomOut, 1));
    EXPECT_EQ(box.Scale(), 1);
}

TEST(Box, SelectionByRectangleTakesVerticesAndBendsButNoEdges)
{
    TKVDiagramBox box;
    TKVCustomVertex *a = AddVertex(box, 0, 0);
    TKVCustomVertex *b = AddVertex(box, 300, 0);
    TKVCustomVertex *c = AddVertex(box, 0, 300);
    TKVCustomEdge *e = AddEdge(box, a, b);
    TKVHandle *bend = AddBend(e, {200, 25});
    box.SelectByRect({-5, -5, 210, 100}, false);
    EXPECT_EQ(box.Selection, (TKVObjectList{a, bend}));
    box.SelectByRect({-5, 290, 110, 360}, true);
    EXPECT_EQ(box.Selection, (TKVObjectList{a, bend, c}));
    box.SelectByRect({-5, 290, 110, 360}, false);
    EXPECT_EQ(box.Selection, (TKVObjectList{c}));
    EXPECT_FALSE(a->Selected);
    EXPECT_FALSE(e->Selected);
    box.SelectAll();
    EXPECT_EQ(box.Selection, (TKVObjectList{a, b, c, e}));
}

TEST(Box, OrderOfVertices)
{
    TKVDiagramBox box;
    TKVCustomVertex *a = AddVertex(box, 0, 0), *b = AddVertex(box, 0, 0), *c = AddVertex(box, 0, 0);
    const struct {
        void (TKVDiagramBox::*op)(TKVObject *);
        TKVObject *v;
        TKVObjectList want;
    } cases[] = {
        {&TKVDiagramBox::ToFront, a, {b, c, a}},     {&TKVDiagramBox::ToBack, a, {a, b, c}},
        {&TKVDiagramBox::ToFrontOne, a, {b, a, c}},  {&TKVDiagramBox::ToFrontOne, c, {b, a, c}},
        {&TKVDiagramBox::ToBackOne, a, {a, b, c}},   {&TKVDiagramBox::ToBackOne, a, {a, b, c}},
    };
    for (const auto &t : cases) {
        (box.*t.op)(t.v);
        EXPECT_EQ(box.Vertices, t.want);
    }
}

TEST(Box, DiagramDataComesFromTheStylesProviders)
{
    TKVStyleLibrary library;
    auto vs = std::make_unique<TKVVertexStyle>();
    vs->Name = "V";
    vs->DataItems.push_back(std::make_unique<TKVDataItem>());
    vs->DataItems.back()->Name = "Title";
    library.AddVertexStyle(std::move(vs));
    auto es = std::make_unique<TKVEdgeStyle>();
    es->Name = "E";
    library.AddEdgeStyle(std::move(es));
    TKVDiagramBox box;
    auto *v = static_cast<TKVVertex *>(box.AddObject(std::make_unique<TKVVertex>(TKVPoint{0, 0}, &library, "V"),
                                                     kvInteractive));
    auto *e = static_cast<TKVEdge *>(
        box.AddObject(std::make_unique<TKVEdge>(v, v, TKVPoint{0, 0}, TKVPoint{0, 0}, "E", &library), kvInteractive));
    const auto provider = [](std::int32_t id, const std::string &field, TKVDataObject *) {
        return field + "#" + std::to_string(id);
    };
    v->Style.OnGetData = provider;
    e->Style.OnGetData = provider;
    box.GetDiagramData();
    EXPECT_EQ(v->Style.DataItems[0]->Text, "Title#1");
    EXPECT_EQ(e->Style.Data, "Textbox#2");
}

TEST(Box, HintShowsOnlyWhenEnabledAndTheObjectHasOne)
{
    // Three boxes wait for their one-second timers together.
    struct Case {
        bool enabled;
        std::string hint;
        bool shows;
    } cases[] = {{false, "Hello", false}, {true, "", false}, {true, "Hello", true}};
    std::vector<std::unique_ptr<TKVDiagramBox>> boxes;
    for (const Case &c : cases) {
        auto box = std::make_unique<TKVDiagramBox>();
        box->resize(300, 200);
        box->ShowDiagramHint = c.enabled;
        AddVertex(*box, 10, 10)->Hint = c.hint;
        box->show();
        QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), box->mapToGlobal(QPointF(40, 30)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(box.get(), &move);
        boxes.push_back(std::move(box));
    }
    QTest::qWait(1300);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i]->HintShowing(), cases[i].shows) << i;
        if (cases[i].shows) {
            EXPECT_EQ(boxes[i]->HintText(), "Hello");
        }
    }
    // Any mouse event hides it again.
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 150), boxes[2]->mapToGlobal(QPointF(200, 150)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(boxes[2].get(), &move);
    EXPECT_FALSE(boxes[2]->HintShowing());
}

TEST(Box, PaintPutsGridPictureAndSelectedEdgesInPlace)
{
    TKVDiagramBox box;
    box.resize(200, 200);
    box.SetColor(clWhite);
    box.SetShowGrid(true);
    box.SetGridColor(clBlue);
    box.SetScale(200);
    QImage image = box.RenderImage();
    const QRgb blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255);
    EXPECT_EQ(image.pixel(100, 37), blue); // a line every 50 world units is every 100 pixels here
    EXPECT_EQ(image.pixel(37, 100), blue);
    EXPECT_EQ(image.pixel(50, 37), white);

    // A selected edge is drawn over the vertices; an unselected one under them.
    box.SetShowGrid(false);
    box.SetScale(100);
    TKVCustomVertex *a = AddVertex(box, 0, 0, kvProgram);
    TKVCustomVertex *b = AddVertex(box, 0, 120, kvProgram);
    AddVertex(box, 0, 60, kvProgram)->Bounds = {20, 60, 80, 100}; // covers the middle of the edge
    TKVCustomEdge *e = AddEdge(box, a, b, kvProgram);
    e->Adjacent->Text.clear();
    const int x = e->Handles[0]->Position.X;
    EXPECT_EQ(box.RenderImage().pixel(x, 80), white);
    box.AddToSelection(e, false);
    EXPECT_EQ(box.RenderImage().pixel(x, 80), qRgb(0, 0, 0));
}

TEST(Box, BackgroundPictureStaysAtTheControlsCornerWhenScrolled)
{
    QScrollArea area;
    area.resize(220, 220);
    auto *box = new TKVDiagramBox;
    box->resize(1000, 1000);
    box->SetColor(clWhite);
    TBitmap picture(20, 20);
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            picture.SetPixel(x, y, clRed);
    box->SetBitmap(picture);
    area.setWidget(box);
    area.show();
    QApplication::processEvents();
    EXPECT_EQ(box->grab(QRect(0, 0, 40, 40)).toImage().pixel(5, 5), qRgb(255, 0, 0));
    area.horizontalScrollBar()->setValue(400);
    area.verticalScrollBar()->setValue(400);
    QApplication::processEvents();
    const QImage shown = area.viewport()->grab().toImage();
    EXPECT_EQ(shown.pixel(5, 5), qRgb(255, 255, 255));
}

// Each way a bend can go while it is selected and the actor's object: nothing keeps a pointer to
// freed memory (the sanitizer build turns a slip into a failure).
TEST(Box, FreedBendsLeaveTheSelectionAndTheActorWhicheverWayTheyGo)
{
    const std::vector<std::pair<const char *, std::function<void(TKVDiagramBox &, TKVCustomEdge *, TKVHandle *)>>>
        ways = {
            {"ToOrthogonal", [](TKVDiagramBox &, TKVCustomEdge *e, TKVHandle *) { e->ToOrthogonal(); }},
            {"Straighten", [](TKVDiagramBox &, TKVCustomEdge *e, TKVHandle *) { e->Straighten(); }},
            {"edge's DeleteHandle", [](TKVDiagramBox &, TKVCustomEdge *e, TKVHandle *h) { e->DeleteHandle(h); }},
            {"box's DeleteHandle", [](TKVDiagramBox &b, TKVCustomEdge *, TKVHandle *h) { b.DeleteHandle(h); }},
            {"ForgetBends", [](TKVDiagramBox &b, TKVCustomEdge *e, TKVHandle *) { b.ForgetBends(e); e->Straighten(); }},
            {"DeleteObject", [](TKVDiagramBox &b, TKVCustomEdge *e, TKVHandle *) { b.DeleteObject(e, kvInteractive); }},
            {"DeleteSelectedObjects", [](TKVDiagramBox &b, TKVCustomEdge *e, TKVHandle *) {
                 b.AddToSelection(e, true);
                 b.DeleteSelectedObjects(kvInteractive);
             }},
            {"Clear", [](TKVDiagramBox &b, TKVCustomEdge *, TKVHandle *) { b.Clear(); }},
        };
    for (const auto &[name, way] : ways) {
        TKVDiagramBox box;
        box.resize(400, 300);
        TKVEditActor actor;
        box.SetActor(&actor);
        TKVCustomVertex *a = AddVertex(box, 0, 0);
        TKVCustomVertex *b = AddVertex(box, 300, 0);
        TKVCustomEdge *e = AddEdge(box, a, b);
        TKVHandle *bend = AddBend(e, {200, 25});
        TKVHandle *other = AddBend(e, {250, 25});
        ASSERT_TRUE(bend && other) << name;
        box.SelectByRect({190, 15, 260, 35}, false);
        ASSERT_EQ(box.Selection.size(), 2u) << name;
        actor.Current = bend;
        way(box, e, bend);
        const auto alive = [&](TKVObject *o) {
            for (TKVObject *edge : box.Edges)
                for (const auto &h : static_cast<TKVCustomEdge *>(edge)->Handles)
                    if (h.get() == o)
                        return true;
            return false;
        };
        for (TKVObject *o : box.Selection)
            EXPECT_TRUE(alive(o)) << name;
        EXPECT_EQ(actor.Current, nullptr) << name;
        box.MoveSelectionBy({5, 5}); // touches only what is still alive
        box.RenderImage();
    }
}

// After any scroll the screen shows what a full repaint would, pixel for pixel.
TEST(Box, ScrolledPartsJoinTheRestWithoutSeamsAtAnyScale)
{
    for (int scale : {25, 33, 67, 100, 150, 400}) {
        QScrollArea area;
        area.resize(260, 220);
        auto *box = new TKVDiagramBox;
        box->SetColor(clWhite);
        box->SetShowGrid(true);
        box->SetGridColor(clBlue);
        box->SetScale(scale);
        for (int i = 0; i < 12; ++i) {
            TKVCustomVertex *v = AddVertex(*box, 37 + 113 * i, 29 + 97 * i, kvProgram);
            if (i > 0)
                AddEdge(*box, static_cast<TKVCustomVertex *>(box->Vertices[i - 1]), v, kvProgram)->SetText("label");
        }
        box->resize(WorldToScreen(1700, scale), WorldToScreen(1500, scale));
        area.setWidget(box);
        area.show();
        QApplication::processEvents();
        const QImage full = box->RenderImage();
        for (int step = 1; step <= 4; ++step) {
            area.horizontalScrollBar()->setValue(area.horizontalScrollBar()->value() + 7 * step + 3);
            area.verticalScrollBar()->setValue(area.verticalScrollBar()->value() + 5 * step + 2);
            QApplication::processEvents();
            const QRect shown(-box->pos(), area.viewport()->size());
            EXPECT_EQ(box->grab(shown).toImage().convertToFormat(QImage::Format_RGB32), full.copy(shown))
                << "scale " << scale << " step " << step;
        }
    }
}

TEST(Box, AGridFinerThanTwoPixelsIsNotDrawn)
{
    for (auto [scale, drawn] : {std::pair{3, false}, std::pair{4, true}}) { // lines 1.5 and 2 pixels apart
        TKVDiagramBox box;
        box.resize(100, 100);
        box.SetColor(clWhite);
        box.SetShowGrid(true);
        box.SetGridColor(clBlue);
        box.SetScale(scale);
        const QImage image = box.RenderImage();
        bool blue = false;
        for (int x = 0; x < 100; ++x)
            blue = blue || image.pixel(x, 50) == qRgb(0, 0, 255);
        EXPECT_EQ(blue, drawn) << scale;
    }
}

// The hint is for where the pointer is: none after it left, and none after Clear.
TEST(Box, HintGoesWhenThePointerLeavesOrTheDiagramIsCleared)
{
    std::vector<std::unique_ptr<TKVDiagramBox>> boxes;
    for (int i = 0; i < 3; ++i) {
        auto box = std::make_unique<TKVDiagramBox>();
        box->resize(300, 200);
        box->ShowDiagramHint = true;
        AddVertex(*box, 10, 10)->Hint = "Hello";
        box->show();
        QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), box->mapToGlobal(QPointF(40, 30)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(box.get(), &move);
        boxes.push_back(std::move(box));
    }
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(boxes[0].get(), &leave); // left before the pause ran out
    QTest::qWait(1300);
    EXPECT_FALSE(boxes[0]->HintShowing());
    ASSERT_TRUE(boxes[1]->HintShowing());
    QApplication::sendEvent(boxes[1].get(), &leave);
    EXPECT_FALSE(boxes[1]->HintShowing());
    ASSERT_TRUE(boxes[2]->HintShowing());
    boxes[2]->Clear();
    EXPECT_FALSE(boxes[2]->HintShowing());
    EXPECT_EQ(boxes[2]->HintText(), "");
}

// The label handle rides on the first segment whatever changes it.
TEST(Box, TheLabelFollowsEveryChangeOfTheFirstSegment)
{
    const std::vector<std::pair<const char *, std::function<void(TKVCustomEdge *)>>> changes = {
        {"ToOrthogonal", [](TKVCustomEdge *e) { e->ToOrthogonal(); }},
        {"AddHandle on the first segment", [](TKVCustomEdge *e) { e->AddHandle({100, 25}); }},
        {"DeleteHandle of the first bend", [](TKVCustomEdge *e) { e->DeleteHandle(e->Handles[1].get()); }},
        {"Straighten", [](TKVCustomEdge *e) { e->Straighten(); }},
    };
    for (const auto &[name, change] : changes) {
        TKVDiagramBox box;
        TKVCustomVertex *a = AddVertex(box, 0, 0, kvProgram);
        TKVCustomVertex *b = AddVertex(box, 400, 300, kvProgram);
        TKVCustomEdge *e = AddEdge(box, a, b, kvProgram);
        e->SetText("label");
        e->InsertBend({250, 25});
        e->PlaceLabel();
        change(e);
        const TKVPoint placed = e->Adjacent->Handle->Position;
        e->PlaceLabel();
        EXPECT_EQ(e->Adjacent->Handle->Position, placed) << name;
    }
}

TEST(Box, AnAutoSizedBoxInAScrollAreaGetsScrollBarsForASizeTakenBeforeItWasShown)
{
    QScrollArea area;
    area.resize(300, 300);
    auto *box = new TKVDiagramBox;
    box->AutoSize = true;
    area.setWidget(box);
    AddVertex(*box, 1000, 1000, kvProgram); // grows the box before the window comes up
    area.show();
    QTest::qWait(100);
    EXPECT_GE(box->width(), 1100);
    EXPECT_GT(area.horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(area.verticalScrollBar()->maximum(), 0);
}

} // namespace
