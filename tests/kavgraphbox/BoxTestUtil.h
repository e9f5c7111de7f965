#pragma once
// Small builders shared by the box tests.

#include "kavgraph/KVObjsBox.h"

#include <memory>

using namespace kavgraph;

// A plain 100 x 50 box whose top-left corner is at (x, y).
inline TKVCustomVertex *AddVertex(TKVDiagramBox &box, int x, int y, TKVMode mode = kvInteractive)
{
    return static_cast<TKVCustomVertex *>(
        box.AddObject(std::make_unique<TKVCustomVertex>(TKVPoint{x + 50, y + 25}), mode));
}

inline TKVCustomEdge *AddEdge(TKVDiagramBox &box, TKVCustomVertex *a, TKVCustomVertex *b, TKVMode mode = kvInteractive)
{
    return static_cast<TKVCustomEdge *>(
        box.AddObject(std::make_unique<TKVCustomEdge>(a, b, a->Center(), b->Center()), mode));
}

// Counts the objects of this class alive, to see what is freed.
class CountedVertex : public TKVCustomVertex {
public:
    explicit CountedVertex(TKVPoint p) : TKVCustomVertex(p) { ++alive; }
    ~CountedVertex() override { --alive; }
    static inline int alive = 0;
};
