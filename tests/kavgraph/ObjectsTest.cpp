// The object model: geometry routines, registries, edges, vertices, handles and labels.

#include "kavgraph/KVObjs.h"

#include <gtest/gtest.h>

using namespace kavgraph;

namespace {

TEST(Geometry, RoutinesRoundHalvesToEven)
{
    EXPECT_EQ(WorldToScreen(5, 50), 2);
    EXPECT_EQ(WorldToScreen(7, 50), 4);
    EXPECT_EQ(WorldToScreen(-5, 50), -2);
    EXPECT_EQ(WorldToScreenF(3, 0.5), 2);
    EXPECT_EQ(ScreenToWorld(5, 200), 2);
    EXPECT_EQ(ScreenToWorld(7, 200), 4);
    EXPECT_EQ(ScreenToWorldPt({3, -3}, 200), (TKVPoint{2, -2}));
    EXPECT_EQ(WorldToScreenF(2000000000, 10.0), 2147483647) << "saturates";

    EXPECT_EQ(PerpendicularPoint({5, 5}, {0, 0}, {10, 0}), (TKVPoint{5, 0}));
    EXPECT_EQ(PerpendicularPoint({1, 5}, {0, 0}, {10, 10}), (TKVPoint{3, 3}));
    const struct {
        TKVPoint p, a, b;
        std::int32_t d;
    } distances[] = {
        {{5, 3}, {0, 0}, {10, 0}, -3},   {{5, -3}, {0, 0}, {10, 0}, 3},  {{12, 1}, {0, 0}, {10, 0}, 999},
        {{10, 1}, {0, 0}, {10, 0}, 999}, {{0, 1}, {0, 0}, {10, 0}, 999}, {{3, 3}, {4, 4}, {4, 4}, 999},
    };
    for (const auto &c : distances)
        EXPECT_EQ(PointToLineDistance(c.p, c.a, c.b), c.d) << c.p.X << "," << c.p.Y;

    EXPECT_EQ(NormalizeRect({10, 20, 0, 5}), (TKVRect{0, 5, 10, 20}));
    EXPECT_TRUE(RectInRect({0, 0, 10, 10}, {0, 0, 10, 10}));
    EXPECT_FALSE(RectInRect({0, 0, 11, 10}, {0, 0, 10, 10}));
    EXPECT_TRUE(PointInRect({10, 10}, {0, 0, 10, 10}));
    EXPECT_EQ(PointDiff({1, 2}, {5, 3}), (TKVPoint{4, 1}));
    EXPECT_TRUE(FuzzyMatch(-3));
    EXPECT_FALSE(FuzzyMatch(4));
}

class TTestVertex : public TKVCustomVertex {
public:
    using TKVCustomVertex::TKVCustomVertex;
    static const TKVClass &StaticClass()
    {
        static const TKVClass c{"TTestVertex", &TKVCustomVertex::StaticClass(), nullptr, nullptr};
        return c;
    }
    const TKVClass &ClassType() const override { return StaticClass(); }
};

TEST(Registry, RegistersAncestorsAndRefusesAnotherClassOfATakenName)
{
    RegisterKVClass(TTestVertex::StaticClass());
    EXPECT_EQ(GetKVClass("TTestVertex"), &TTestVertex::StaticClass());
    EXPECT_EQ(GetKVClass("TKVCustomVertex"), &TKVCustomVertex::StaticClass());
    EXPECT_EQ(GetKVClass("TKVObject"), &TKVObject::StaticClass());
    EXPECT_EQ(GetKVClass("ttestvertex"), nullptr);
    EXPECT_EQ(TTestVertex(TKVPoint{}).ClassName(), "TTestVertex");
    RegisterKVClass(TTestVertex::StaticClass()); // again: nothing happens

    static const TKVClass impostor{"TTestVertex", &TKVObject::StaticClass(), nullptr, nullptr};
    static const TKVClass child{"TTestChild", &impostor, nullptr, nullptr};
    try {
        RegisterKVClass(child);
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "Class already registered: TTestVertex");
    }
    EXPECT_EQ(GetKVClass("TTestChild"), nullptr) << "left as it was";
    EXPECT_EQ(GetKVClass("TTestVertex"), &TTestVertex::StaticClass());

    RegisterDataClass(TKVDataObject::StaticClass());
    EXPECT_EQ(GetDataClass("TKVDataObject"), &TKVDataObject::StaticClass());
    EXPECT_EQ(GetKVClass("TKVDataObject"), nullptr) << "two separate registries";
}

// A library with one vertex style per connector rule and resize rule used below.
struct Library {
    TKVStyleLibrary lib;
    Library()
    {
        auto add = [&](const char *name, TKVConnMoveMode conn, TKVVSResize resize) {
            auto s = std::make_unique<TKVVertexStyle>();
            s->Name = name;
            s->ConnMoveMode = conn;
            s->ResizeMode = resize;
            s->Width = 100;
            s->Height = 50;
            return lib.AddVertexStyle(std::move(s));
        };
        add("centered", cmmCentered, vsFree);
        add("centerbounds", cmmCenterBounds, vsFree);
        add("bounds", cmmBounds, vsFree);
        add("aspect", cmmFree, vsAspectRatio);
        add("fixed", cmmFree, vsNoResize)->Width = 60;
        TKVVertexStyle *item = add("item", cmmFree, vsDrawItem);
        auto d = std::make_unique<TKVDrawItem>();
        d->Left = 5;
        d->Top = 7;
        d->Width = 40;
        d->Height = 30;
        item->DrawItems.push_back(std::move(d));
    }
};

TEST(Edges, CentredConnectorsJoinTheCentres)
{
    Library l;
    TKVVertex a({100, 100}, &l.lib, "centered"), b({400, 300}, &l.lib, "centered");
    EXPECT_EQ(a.Bounds, (TKVRect{50, 75, 150, 125}));
    TKVEdge e(&a, &b, {120, 110}, {390, 310}, "none", &l.lib);
    EXPECT_EQ(e.Handles.front()->Position, (TKVPoint{100, 100}));
    EXPECT_EQ(e.Handles.back()->Position, (TKVPoint{400, 300}));
    EXPECT_EQ(e.Adjacent->Position, (TKVPoint{250, 200}));
    EXPECT_DOUBLE_EQ(e.Adjacent->Ratio, 0.5);
    ASSERT_EQ(a.Links.size(), 1u);
    EXPECT_EQ(a.Links[0], e.Handles.front().get());
}

TEST(Edges, BoundsConnectorsGoToTheFacingSide)
{
    Library l;
    TKVVertex a({100, 100}, &l.lib, "bounds"), right({400, 110}, &l.lib, "bounds"), below({110, 400}, &l.lib, "bounds");
    TKVEdge toRight(&a, &right, {100, 100}, {400, 110}, "", nullptr);
    EXPECT_EQ(toRight.Handles.front()->Position, (TKVPoint{150, 100})) << "middle of the right side";
    EXPECT_EQ(toRight.Handles.back()->Position, (TKVPoint{350, 110})) << "middle of the left side";
    TKVEdge down(&a, &below, {100, 100}, {110, 400}, "", nullptr);
    EXPECT_EQ(down.Handles.front()->Position, (TKVPoint{100, 125})) << "middle of the bottom side";
    EXPECT_EQ(down.Handles.back()->Position, (TKVPoint{110, 375})) << "middle of the top side";
}

TEST(Edges, BendsAreAddedNearSegmentsAndOnlyBendsAreDeleted)
{
    TKVCustomEdge e(nullptr, nullptr, {0, 0}, {100, 0});
    e.AddHandle({30, 4});
    EXPECT_EQ(e.Handles.size(), 2u) << "4 units away: nothing";
    e.AddHandle({30, -3});
    ASSERT_EQ(e.Handles.size(), 3u);
    EXPECT_EQ(e.Handles[1]->Position, (TKVPoint{30, 0}));
    EXPECT_EQ(e.Handles[1]->HandleType, htEdge);
    e.DeleteHandle(e.Handles.front().get());
    e.DeleteHandle(e.Handles.back().get());
    EXPECT_EQ(e.Handles.size(), 3u) << "the ends stay";
    e.DeleteHandle(e.Handles[1].get());
    EXPECT_EQ(e.Handles.size(), 2u);

    e.ToOrthogonal();
    ASSERT_EQ(e.Handles.size(), 3u);
    e.Handles.back()->MoveTo({100, 50});
    e.ToOrthogonal();
    EXPECT_EQ(e.Handles[1]->Position, (TKVPoint{0, 50}));
    e.Straighten();
    EXPECT_EQ(e.Handles.size(), 2u);
}

TEST(Edges, HitTestPrefersLabelThenHandlesThenSegments)
{
    TKVCustomEdge e(nullptr, nullptr, {0, 0}, {100, 0});
    e.Adjacent->Bounds = {40, -10, 60, 10};
    EXPECT_EQ(e.HitAt({50, 0}), e.Adjacent.get());
    EXPECT_EQ(e.HitAt({2, 2}), e.Handles.front().get());
    EXPECT_EQ(e.HitAt({20, 3}), &e);
    EXPECT_EQ(e.HitAt({20, 4}), nullptr);
    EXPECT_FALSE(e.IsInRect({-1000, -1000, 1000, 1000}));
}

TEST(Edges, LabelRidesOnTheFirstSegment)
{
    TKVCustomEdge e(nullptr, nullptr, {0, 0}, {100, 0});
    TKVAdjacent &label = *e.Adjacent;
    ASSERT_EQ(label.Handle->Position, (TKVPoint{50, 0}));
    label.MoveBy({0, -20}); // the text box is dragged off the line; its handle stays
    EXPECT_EQ(label.Position, (TKVPoint{50, -20}));
    EXPECT_EQ(label.Handle->Position, (TKVPoint{50, 0}));

    e.Handles.back()->MoveBy({100, 0}); // no vertex: the end just moves
    EXPECT_EQ(label.Handle->Position, (TKVPoint{100, 0})) << "same ratio on the longer segment";
    EXPECT_EQ(label.Position, (TKVPoint{100, -20})) << "the label follows its handle";

    label.Handle->MoveBy({50, 7}); // dragged along: onto the line, ratio recomputed
    EXPECT_EQ(label.Handle->Position, (TKVPoint{150, 0}));
    EXPECT_DOUBLE_EQ(label.Ratio, 0.75);
    label.Handle->MoveBy({100, 0}); // beyond the segment: no move
    EXPECT_EQ(label.Handle->Position, (TKVPoint{150, 0}));

    // A foot whose rounded coordinates lie off a slanted line still counts as on the segment.
    TKVCustomEdge slanted(nullptr, nullptr, {0, 0}, {30, 10});
    ASSERT_EQ(slanted.Adjacent->Handle->Position, (TKVPoint{15, 5}));
    slanted.Adjacent->Handle->MoveBy({-10, -5}); // towards (5, 0), whose foot is (4.5, 1.5)
    EXPECT_EQ(slanted.Adjacent->Handle->Position, (TKVPoint{4, 2}));
}

TEST(Edges, DestructionUnhooksAndDeadVerticesAreForgotten)
{
    auto a = std::make_unique<TKVCustomVertex>(TKVPoint{0, 0});
    TKVCustomVertex b({300, 0});
    {
        TKVCustomEdge e(a.get(), &b, {0, 0}, {300, 0});
        EXPECT_EQ(b.Links.size(), 1u);
    }
    EXPECT_TRUE(a->Links.empty());
    EXPECT_TRUE(b.Links.empty());
    TKVCustomEdge e(a.get(), &b, {0, 0}, {300, 0});
    a.reset();
    EXPECT_EQ(e.Source, nullptr);
    e.Handles.front()->MoveBy({5, 5}); // no crash without its vertex
}

TEST(Vertices, MovingCarriesTheEndHandlesAndKeepsThemInside)
{
    TKVCustomVertex a({0, 0}), b({300, 0});
    TKVCustomEdge e(&a, &b, {50, 0}, {250, 0});
    a.MoveBy({10, 20});
    EXPECT_EQ(a.Bounds, (TKVRect{-40, -5, 60, 45}));
    EXPECT_EQ(e.Handles.front()->Position, (TKVPoint{60, 20}));
    EXPECT_EQ(a.ResizeHandles[2]->Position, (TKVPoint{60, 45}));
    a.ResizeBy({-30, 0}, htBottomRight);
    EXPECT_EQ(e.Handles.front()->Position, (TKVPoint{30, 20})) << "clamped into the smaller box";
    EXPECT_EQ(a.HitAt({30, 45}), a.ResizeHandles[2].get()) << "a resize handle before the box";
    EXPECT_EQ(a.HitAt({0, 10}), &a);
}

TEST(Vertices, ResizeKeepsMoreThanTenUnits)
{
    const struct {
        TKVHandleType corner;
        TKVPoint delta;
        bool resized;
    } cases[] = {
        {htTopLeft, {89, 0}, true},     {htTopLeft, {90, 0}, false},     {htTopLeft, {0, 40}, false},
        {htTopRight, {-89, -5}, true},  {htTopRight, {-90, 0}, false},   {htBottomLeft, {5, -40}, false},
        {htBottomRight, {-89, -39}, true}, {htBottomRight, {0, -40}, false},
    };
    for (const auto &c : cases) {
        TKVCustomVertex v({50, 25}); // (0, 0, 100, 50)
        v.ResizeBy(c.delta, c.corner);
        EXPECT_EQ(!(v.Bounds == TKVRect{0, 0, 100, 50}), c.resized) << int(c.corner) << " " << c.delta.X;
    }
}

TEST(Vertices, StyleResizeRules)
{
    Library l;
    TKVVertex aspect({50, 25}, &l.lib, "aspect");
    ASSERT_EQ(aspect.Bounds, (TKVRect{0, 0, 100, 50}));
    aspect.ResizeBy({-20, -5}, htTopLeft);
    EXPECT_EQ(aspect.Bounds, (TKVRect{-20, -10, 100, 50}));
    aspect.ResizeBy({12, -1}, htTopRight); // the other diagonal: the assigned part negated
    EXPECT_EQ(aspect.Bounds, (TKVRect{-20, -16, 112, 50}));

    TKVVertex fixed({50, 25}, &l.lib, "fixed");
    EXPECT_EQ(fixed.Bounds, (TKVRect{20, 0, 80, 50}));
    fixed.ResizeBy({10, 10}, htBottomRight);
    EXPECT_EQ(fixed.Bounds, (TKVRect{20, 0, 80, 50}));

    // The box takes the first draw item's place once, and moving it does not shift it again.
    TKVVertex item({50, 25}, &l.lib, "item");
    EXPECT_EQ(item.Bounds, (TKVRect{5, 7, 45, 37}));
    for (int i = 0; i < 3; ++i)
        item.MoveBy({10, 0});
    EXPECT_EQ(item.Bounds, (TKVRect{35, 7, 75, 37}));
    item.ResizeBy({10, 10}, htBottomRight);
    EXPECT_EQ(item.Bounds, (TKVRect{35, 7, 75, 37}));
}

TEST(Vertices, ConnectionPointsAndConnectorMoves)
{
    TKVCustomVertex v({50, 25}); // (0, 0, 100, 50)
    EXPECT_EQ(v.FindConnectionPoint({200, 200}, {300, 300}), (TKVPoint{0, 0})) << "no crossing";
    EXPECT_EQ(v.FindConnectionPoint({-50, 25}, {50, 25}), (TKVPoint{0, 25}));
    EXPECT_EQ(v.FindConnectionPoint({50, -75}, {50, 25}), (TKVPoint{50, 0}));

    TKVPoint d{200, 10};
    v.ConnectionMoveTo(d, {90, 20});
    EXPECT_EQ(d, (TKVPoint{0, 10})) << "a move out of the box is cut";

    Library l;
    const struct {
        const char *style;
        TKVPoint handle, delta, expected;
    } cases[] = {
        {"centered", {100, 10}, {-5, 3}, {-50, 15}},     // to the centre (50, 25)
        {"centerbounds", {100, 25}, {-30, 2}, {-100, 0}}, // to the middle of the left side
        {"centerbounds", {0, 25}, {30, 2}, {100, 0}},    // to the middle of the right side
        {"centerbounds", {50, 50}, {1, -10}, {0, -50}},  // to the middle of the top side
        {"bounds", {100, 25}, {-30, 4}, {0, 4}},         // stays on the right side
        {"bounds", {20, 0}, {0, 10}, {-20, 10}},         // from the top into the box: to the left side
    };
    for (const auto &c : cases) {
        TKVVertex s({50, 25}, &l.lib, c.style);
        TKVPoint delta = c.delta;
        s.ConnectionMoveTo(delta, c.handle);
        EXPECT_EQ(delta, c.expected) << c.style << " " << c.handle.X << "," << c.handle.Y;
    }
}

TEST(DataObjects, PropertyChangedReachesTheStylesProvider)
{
    struct Data : TKVDataObject {
        void Export(TKVTextWriter &) const override {}
        void Save(TKVWriter &) const override {}
    };
    Library l;
    std::vector<std::string> calls;
    l.lib.VertexStyles[0]->OnGetData = [&](std::int32_t id, const std::string &field, TKVDataObject *) {
        calls.push_back(std::to_string(id) + field);
        return std::string();
    };
    TKVVertex v({0, 0}, &l.lib, "centered");
    v.Id = 7;
    Data d;
    d.Owner = &v;
    d.PropertyChanged("Name");
    EXPECT_EQ(calls, std::vector<std::string>{"7Name"});
    d.Owner = nullptr;
    d.PropertyChanged("Name");
    EXPECT_EQ(calls.size(), 1u);
}

} // namespace
