// Graph file save and load of a 20,000-object diagram against writing and reading the same tagged
// values (held as one list, and for information in compact arrays), and the undo of one move of
// 1,000 vertices. No widgets: the diagram alone.

#include "bench/kavgraph/GridDiagram.h"
#include "bench/kavgraph/TaggedValues.h"

#include <QUndoStack>
#include <benchmark/benchmark.h>

using namespace kavgraph;

namespace {

// ---- Graph file save and load ---------------------------------------------------------------------

const std::string &GraphBytes()
{
    static const std::string bytes = [] {
        TKVDiagram diagram;
        grid::Fill(diagram, true);
        return diagram.SaveToBytes(&grid::Library());
    }();
    return bytes;
}

// The diagram written and read back whole, including freeing what was read.
void BM_GraphSaveLoad(benchmark::State &state)
{
    TKVDiagram diagram;
    diagram.LoadFromBytes(GraphBytes(), &grid::Library());
    for (auto _ : state) {
        const std::string bytes = diagram.SaveToBytes(&grid::Library());
        TKVStyleLibrary library;
        TKVDiagram loaded;
        loaded.LoadFromBytes(bytes, &library);
        benchmark::DoNotOptimize(loaded.Edges.size());
    }
}

// The baseline of the goal: the values held as one list. The output buffer is reserved, as the
// diagram's writer reserves its own.
void BM_GraphBaselineTaggedValues(benchmark::State &state)
{
    const ValueList values = ParseTaggedValues(GraphBytes());
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteAndReadBack(values, GraphBytes().size()));
}

// The same values in compact arrays: the leaner pass, for information.
void BM_GraphBaselineCompactValues(benchmark::State &state)
{
    const CompactValues values = Compact(ParseTaggedValues(GraphBytes()));
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteAndReadBack(values, GraphBytes().size()));
}

// ---- Undo -------------------------------------------------------------------------------------------

// 1,000 selected vertices in a chain: one move of all of them, then its undo (measured) against
// the move itself.
TKVDiagram &MovedDiagram()
{
    static TKVDiagram *diagram = [] {
        auto *d = new TKVDiagram;
        TKVObject *last = nullptr;
        for (int i = 0; i < 1000; ++i) {
            TKVObject *v = d->AddObject(std::make_unique<TKVCustomVertex>(TKVPoint{i % 40 * 60, i / 40 * 60}), kvProgram);
            if (last)
                d->AddObject(std::make_unique<TKVCustomEdge>(last, v, TKVPoint{}, TKVPoint{}), kvProgram);
            last = v;
        }
        for (TKVObject *v : d->Vertices)
            d->AddToSelection(v, true);
        return d;
    }();
    return *diagram;
}

void BM_UndoMove1000(benchmark::State &state)
{
    TKVDiagram &d = MovedDiagram();
    for (auto _ : state) {
        state.PauseTiming();
        d.MoveSelectionUndoable({5, 5});
        state.ResumeTiming();
        d.UndoStack()->undo();
    }
}

void BM_Move1000(benchmark::State &state)
{
    TKVDiagram &d = MovedDiagram();
    for (auto _ : state)
        d.MoveSelectionBy({5, 5});
}

BENCHMARK(BM_GraphSaveLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphBaselineTaggedValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphBaselineCompactValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoMove1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Move1000)->Unit(benchmark::kMillisecond);

} // namespace
