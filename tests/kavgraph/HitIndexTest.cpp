// FindObject's grid index against a plain scan in painting order, over random diagrams that are
// moved, resized, bent, reordered and thinned out between the probes.

#include "kavgraph/KVObjsDiagram.h"

#include <gtest/gtest.h>

#include <random>

using namespace kavgraph;

namespace {

// The reference: every edge from last to first, then every vertex from last to first.
TKVObject *ScanAll(const TKVDiagram &d, TKVPoint p)
{
    for (auto it = d.Edges.rbegin(); it != d.Edges.rend(); ++it)
        if (TKVObject *hit = (*it)->HitAt(p))
            return hit;
    for (auto it = d.Vertices.rbegin(); it != d.Vertices.rend(); ++it)
        if (TKVObject *hit = (*it)->HitAt(p))
            return hit;
    return nullptr;
}

// An edge of a class of its own that answers within a wide band around its source end.
class WideEdge : public TKVCustomEdge {
public:
    using TKVCustomEdge::TKVCustomEdge;
    static const TKVClass &StaticClass()
    {
        static const TKVClass c{"TWideEdge", &TKVCustomEdge::StaticClass(), nullptr, nullptr};
        return c;
    }
    const TKVClass &ClassType() const override { return StaticClass(); }
    TKVObject *HitAt(TKVPoint P) override
    {
        const TKVPoint s = Handles.front()->Position;
        return std::abs(P.X - s.X) < 120 && std::abs(P.Y - s.Y) < 120 ? this : TKVCustomEdge::HitAt(P);
    }
};

// Probes near every object and at random, each compared with the scan.
void ExpectSameAnswers(const TKVDiagram &d, std::mt19937 &rng, int round)
{
    std::uniform_int_distribution<int> anywhere(-200, 1400), near(-12, 12);
    std::vector<TKVPoint> probes;
    for (int i = 0; i < 300; ++i)
        probes.push_back({anywhere(rng), anywhere(rng)});
    for (TKVObject *o : d.Vertices) {
        const TKVRect b = static_cast<TKVCustomVertex *>(o)->Bounds;
        for (TKVPoint c : {TKVPoint{b.Left, b.Top}, TKVPoint{b.Right, b.Bottom}, TKVPoint{b.Left, b.Bottom}})
            probes.push_back({c.X + near(rng), c.Y + near(rng)});
    }
    for (TKVObject *o : d.Edges) {
        const auto *e = static_cast<TKVCustomEdge *>(o);
        for (const auto &h : e->Handles)
            probes.push_back({h->Position.X + near(rng), h->Position.Y + near(rng)});
        const TKVPoint a = e->Handles.front()->Position, b = e->Handles[1]->Position;
        probes.push_back({(a.X + b.X) / 2 + near(rng) / 3, (a.Y + b.Y) / 2 + near(rng) / 3});
        probes.push_back({e->Adjacent->Bounds.Left + near(rng), e->Adjacent->Bounds.Top + near(rng)});
    }
    for (TKVPoint p : probes)
        ASSERT_EQ(d.FindObject(p), ScanAll(d, p)) << "round " << round << " at " << p.X << "," << p.Y;
}

TEST(HitIndex, AnswersAsTheScanThroughRandomEdits)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 rng(seed);
        std::uniform_int_distribution<int> coord(0, 1200), step(-60, 60), pick(0, 1 << 30);
        TKVDiagram d;
        ExpectSameAnswers(d, rng, -1); // empty
        for (int i = 0; i < 60; ++i)
            d.AddObject(std::make_unique<TKVCustomVertex>(TKVPoint{coord(rng), coord(rng)}), kvProgram);
        for (int i = 0; i < 70; ++i) {
            TKVObject *a = d.Vertices[std::size_t(pick(rng)) % d.Vertices.size()];
            TKVObject *b = d.Vertices[std::size_t(pick(rng)) % d.Vertices.size()];
            const TKVPoint pa = static_cast<TKVCustomVertex *>(a)->Center(), pb = static_cast<TKVCustomVertex *>(b)->Center();
            std::unique_ptr<TKVCustomEdge> e;
            if (i % 10 == 0)
                e = std::make_unique<WideEdge>(a, b, pa, pb);
            else
                e = std::make_unique<TKVCustomEdge>(a, b, pa, pb);
            // A label rectangle as the screen leaves it after painting some text.
            const TKVPoint l = e->Adjacent->Position;
            e->Adjacent->Bounds = {l.X - 20, l.Y - 6, l.X + 20, l.Y + 6};
            d.AddObject(std::move(e), kvProgram);
        }
        ExpectSameAnswers(d, rng, 0);
        for (int round = 1; round <= 40; ++round) {
            auto *v = static_cast<TKVCustomVertex *>(d.Vertices[std::size_t(pick(rng)) % d.Vertices.size()]);
            auto *e = static_cast<TKVCustomEdge *>(d.Edges[std::size_t(pick(rng)) % d.Edges.size()]);
            switch (round % 10) {
            case 0: v->MoveBy({step(rng), step(rng)}); break;
            case 1: v->ResizeBy({step(rng), step(rng)}, round % 20 ? htBottomRight : htTopLeft); break;
            case 2: {
                const TKVPoint a = e->Handles[0]->Position, b = e->Handles[1]->Position;
                e->AddHandle({(a.X + b.X) / 2, (a.Y + b.Y) / 2});
                e->InsertBend({coord(rng), coord(rng)});
                break;
            }
            case 3: e->Handles[std::size_t(pick(rng)) % e->Handles.size()]->MoveBy({step(rng), step(rng)}); break;
            case 4: e->ToOrthogonal(); break;
            case 5: e->Adjacent->MoveBy({step(rng), step(rng)}); break;
            case 6:
                if (e->Handles.size() > 2)
                    d.DeleteHandle(e->Handles[1].get());
                else
                    e->Straighten();
                break;
            case 7: round % 20 ? d.ToBack(v) : d.ToFront(v); break;
            case 8:
                d.AddToSelection(v, false);
                d.MoveSelectionBy({step(rng), step(rng)});
                break;
            case 9:
                // A caller setting the rectangle itself, then the handles.
                v->Bounds = {v->Bounds.Left + 300, v->Bounds.Top, v->Bounds.Right + 340, v->Bounds.Bottom + 10};
                v->AdjustHandles();
                d.DeleteObject(d.Edges[std::size_t(pick(rng)) % d.Edges.size()], kvProgram);
                if (d.Vertices.size() > 20)
                    d.DeleteObject(d.Vertices.front(), kvProgram);
                break;
            }
            ExpectSameAnswers(d, rng, round);
            if (d.Edges.empty())
                break;
        }
    }
}

} // namespace
