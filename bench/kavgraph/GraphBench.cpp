// Graph file save and load of a 20,000-object diagram against writing and reading the same tagged
// values (held as one vector of values, and for information in compact arrays), and the undo of
// one move of 1,000 vertices. No widgets: the diagram alone.

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

struct Value {
    std::uint8_t tag;
    std::int32_t number;
    std::string text;
};

// The values of a stream, in order, as kind and payload.
std::vector<Value> Values(const std::string &stream)
{
    std::vector<Value> values;
    std::size_t i = 0;
    const auto le = [&](int n) {
        std::uint32_t v = 0;
        for (int k = 0; k < n; ++k)
            v |= std::uint32_t(std::uint8_t(stream[i + std::size_t(k)])) << (8 * k);
        i += std::size_t(n);
        return v;
    };
    while (i < stream.size()) {
        Value v{std::uint8_t(stream[i++]), 0, {}};
        switch (v.tag) {
        case kvtag::Int8: v.number = std::int8_t(le(1)); break;
        case kvtag::Int16: v.number = std::int16_t(le(2)); break;
        case kvtag::Int32: v.number = std::int32_t(le(4)); break;
        case kvtag::String:
        case kvtag::LongString: {
            const std::size_t n = le(v.tag == kvtag::String ? 1 : 4);
            v.text = stream.substr(i, n);
            i += n;
            break;
        }
        case kvtag::True: v.number = 1; break;
        default: break;
        }
        values.push_back(std::move(v));
    }
    return values;
}

// The baseline of the goal: the values held as one vector, each with its tag, number and text.
void BM_GraphBaselineTaggedValues(benchmark::State &state)
{
    const std::vector<Value> values = Values(GraphBytes());
    for (auto _ : state) {
        TKVWriter w;
        w.Reserve(GraphBytes().size()); // as the diagram's writer reserves its own
        for (const Value &v : values) {
            switch (v.tag) {
            case kvtag::Int8:
            case kvtag::Int16:
            case kvtag::Int32: w.WriteInteger(v.number); break;
            case kvtag::String:
            case kvtag::LongString: w.WriteString(v.text); break;
            case kvtag::True:
            case kvtag::False: w.WriteBoolean(v.number); break;
            case kvtag::List: w.WriteListBegin(); break;
            default: w.WriteListEnd(); break;
            }
        }
        TKVReader r(w.Data());
        std::int64_t sum = 0;
        for (const Value &v : values) {
            switch (v.tag) {
            case kvtag::Int8:
            case kvtag::Int16:
            case kvtag::Int32: sum += r.ReadInteger(); break;
            case kvtag::String:
            case kvtag::LongString: sum += std::int64_t(r.ReadString().size()); break;
            case kvtag::True:
            case kvtag::False: sum += r.ReadBoolean(); break;
            case kvtag::List: r.ReadListBegin(); break;
            default: sum += r.EndOfList(), r.ReadListEnd(); break;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}

// The same values held in three compact arrays (tags, numbers, texts): the leaner pass.
void BM_GraphBaselineCompactValues(benchmark::State &state)
{
    const TaggedValues values = ParseTaggedValues(GraphBytes());
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
