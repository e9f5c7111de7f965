// Graph file save and load against raw tagged values; a whole repaint of the diagram box and hit
// tests against a graphics scene holding the same rectangles and lines. Prints the ratios measured
// in this run.

#include "bench/common/RatioReporter.h"
#include "kavgraph/KVObjsBox.h"

#include <QApplication>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QUndoStack>
#include <benchmark/benchmark.h>

#include <iostream>

using namespace kavgraph;

namespace {

constexpr int kSide = 100; // 100 x 100 vertices
constexpr int kCell = 40;  // on 4000 x 4000 pixels at scale 100

// ---- Graph file save and load ---------------------------------------------------------------------

TKVStyleLibrary &Library()
{
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

// 10,000 vertices on a grid, each joined to its right neighbour (or the one below at a row end).
void Fill(TKVDiagram &box, bool styled)
{
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
        vertices.push_back(static_cast<TKVCustomVertex *>(box.AddObject(std::move(v), kvInteractive)));
    }
    box.DeSelectAll();
    for (int i = 0; i < kSide * kSide; ++i) {
        TKVCustomVertex *a = vertices[std::size_t(i)];
        TKVCustomVertex *b = vertices[std::size_t(i % kSide == kSide - 1 ? (i + kSide) % (kSide * kSide) : i + 1)];
        std::unique_ptr<TKVCustomEdge> e;
        if (styled)
            e = std::make_unique<TKVEdge>(a, b, a->Center(), b->Center(), "Link", &Library());
        else
            e = std::make_unique<TKVCustomEdge>(a, b, a->Center(), b->Center());
        box.AddObject(std::move(e), kvInteractive);
    }
    box.DeSelectAll();
}

const std::string &GraphBytes()
{
    static const std::string bytes = [] {
        TKVDiagram diagram;
        Fill(diagram, true);
        return diagram.SaveToBytes(&Library());
    }();
    return bytes;
}

// The diagram written and read back whole, including freeing what was read.
void BM_GraphSaveLoad(benchmark::State &state)
{
    TKVDiagram diagram;
    diagram.LoadFromBytes(GraphBytes(), &Library());
    for (auto _ : state) {
        const std::string bytes = diagram.SaveToBytes(&Library());
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

void BM_GraphBaselineTaggedValues(benchmark::State &state)
{
    const std::vector<Value> values = Values(GraphBytes());
    for (auto _ : state) {
        TKVWriter w;
        w.Reserve(GraphBytes().size()); // as the diagram's writer does
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

// ---- Repaint and hit tests --------------------------------------------------------------------------

TKVDiagramBox &PlainBox()
{
    static TKVDiagramBox *box = [] {
        auto *b = new TKVDiagramBox;
        b->SetColor(clWhite);
        Fill(*b->Diagram(), false);
        const TKVRect e = b->GetDiagramExtents();
        b->resize(e.Right, e.Bottom);
        return b;
    }();
    return *box;
}

QGraphicsScene &Scene()
{
    static QGraphicsScene *scene = [] {
        auto *s = new QGraphicsScene;
        TKVDiagramBox &box = PlainBox();
        s->setSceneRect(0, 0, box.width(), box.height());
        s->setBackgroundBrush(Qt::white);
        const QPen pen(Qt::black, 0);
        for (TKVObject *o : box.Edges) {
            const auto *e = static_cast<TKVCustomEdge *>(o);
            const TKVPoint a = e->Handles.front()->Position, b = e->Handles.back()->Position;
            s->addLine(a.X, a.Y, b.X, b.Y, pen);
        }
        for (TKVObject *o : box.Vertices) {
            const TKVRect r = static_cast<TKVCustomVertex *>(o)->Bounds;
            s->addRect(r.Left, r.Top, r.Right - r.Left - 1, r.Bottom - r.Top - 1, pen, Qt::white);
        }
        return s;
    }();
    return *scene;
}

void BM_Repaint(benchmark::State &state)
{
    TKVDiagramBox &box = PlainBox();
    QImage buffer;
    for (auto _ : state) {
        box.RenderImage(buffer);
        benchmark::DoNotOptimize(buffer.constBits());
    }
}

void BM_SceneRender(benchmark::State &state)
{
    QGraphicsScene &scene = Scene();
    const QSize size = PlainBox().size();
    QImage image(size, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        scene.render(&p, QRectF(0, 0, size.width(), size.height()), scene.sceneRect());
        benchmark::DoNotOptimize(image.constBits());
    }
}

std::vector<TKVPoint> Probes()
{
    std::vector<TKVPoint> points;
    for (int i = 0; i < 1000; ++i)
        points.push_back({(i * 7919) % (kSide * kCell), (i * 104729) % (kSide * kCell)});
    return points;
}

void BM_FindObject(benchmark::State &state)
{
    TKVDiagramBox &box = PlainBox();
    const std::vector<TKVPoint> probes = Probes();
    for (auto _ : state)
        for (TKVPoint p : probes)
            benchmark::DoNotOptimize(box.FindObject(p));
}

void BM_SceneItemsAt(benchmark::State &state)
{
    QGraphicsScene &scene = Scene();
    const std::vector<TKVPoint> probes = Probes();
    for (auto _ : state)
        for (TKVPoint p : probes)
            benchmark::DoNotOptimize(scene.itemAt(QPointF(p.X, p.Y), QTransform()));
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
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneRender)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindObject)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneItemsAt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoMove1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Move1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("Graph save and load", "BM_GraphSaveLoad", "BM_GraphBaselineTaggedValues", "at most 2x");
    reporter.PrintRatio("Whole repaint", "BM_Repaint", "BM_SceneRender", "at most 1x");
    reporter.PrintRatio("1,000 hit tests", "BM_FindObject", "BM_SceneItemsAt", "at most 2x");
    reporter.PrintRatio("Undo of one move of 1,000 vertices", "BM_UndoMove1000", "BM_Move1000",
                        "for information; the time itself under 50 ms");
    return 0;
}
