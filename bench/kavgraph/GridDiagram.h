#pragma once
// The diagram the Kavgraph benchmarks work on: 10,000 vertices on a 100 x 100 grid, each joined
// to its right neighbour (or the one below at a row end), plain or styled.

#include "kavgraph/KVObjsDiagram.h"

#include <memory>
#include <vector>

namespace grid {

constexpr int kSide = 100; // 100 x 100 vertices
constexpr int kCell = 40;  // on 4000 x 4000 pixels at scale 100

// A vertex style "Node" (a frame and a text) and an edge style "Link".
inline kavgraph::TKVStyleLibrary &Library()
{
    using namespace kavgraph;
    static TKVStyleLibrary lib;
    if (lib.VertexStyles.empty()) {
        auto s = std::make_unique<TKVVertexStyle>();
        s->Name = "Node";
        s->Width = 30;
        s->Height = 20;
        auto frame = std::make_unique<TKVDrawItem>();
        frame->HorzAlign = haBoth;
        frame->VertAlign = vaBoth;
        s->DrawItems.push_back(std::move(frame));
        auto text = std::make_unique<TKVDataItem>();
        text->Name = "Name";
        s->DataItems.push_back(std::move(text));
        lib.AddVertexStyle(std::move(s));
        auto e = std::make_unique<TKVEdgeStyle>();
        e->Name = "Link";
        lib.AddEdgeStyle(std::move(e));
    }
    return lib;
}

inline void Fill(kavgraph::TKVDiagram &diagram, bool styled)
{
    using namespace kavgraph;
    std::vector<TKVCustomVertex *> vertices;
    for (int i = 0; i < kSide * kSide; ++i) {
        const TKVPoint p{i % kSide * kCell + 20, i / kSide * kCell + 20};
        std::unique_ptr<TKVCustomVertex> v;
        if (styled)
            v = std::make_unique<TKVVertex>(p, &Library(), "Node");
        else
            v = std::make_unique<TKVCustomVertex>(p);
        v->Bounds = {p.X - 15, p.Y - 10, p.X + 15, p.Y + 10};
        v->AdjustHandles();
        vertices.push_back(static_cast<TKVCustomVertex *>(diagram.AddObject(std::move(v), kvInteractive)));
    }
    diagram.DeSelectAll();
    for (int i = 0; i < kSide * kSide; ++i) {
        TKVCustomVertex *a = vertices[std::size_t(i)];
        TKVCustomVertex *b = vertices[std::size_t(i % kSide == kSide - 1 ? (i + kSide) % (kSide * kSide) : i + 1)];
        std::unique_ptr<TKVCustomEdge> e;
        if (styled)
            e = std::make_unique<TKVEdge>(a, b, a->Center(), b->Center(), "Link", &Library());
        else
            e = std::make_unique<TKVCustomEdge>(a, b, a->Center(), b->Center());
        diagram.AddObject(std::move(e), kvInteractive);
    }
    diagram.DeSelectAll();
}

} // namespace grid
