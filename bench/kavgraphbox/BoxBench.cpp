// A whole repaint of the diagram box and hit tests against a graphics scene holding the same
// rectangles and lines. Prints the ratios measured in this run.

#include "bench/common/RatioReporter.h"
#include "bench/kavgraph/GridDiagram.h"
#include "kavgraph/KVObjsBox.h"

#include <QApplication>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace kavgraph;
using grid::kCell;
using grid::kSide;

namespace {

// ---- Repaint and hit tests --------------------------------------------------------------------------

TKVDiagramBox &PlainBox()
{
    static TKVDiagramBox *box = [] {
        auto *b = new TKVDiagramBox;
        b->SetColor(clWhite);
        grid::Fill(*b->Diagram(), false);
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

BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneRender)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindObject)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneItemsAt)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("Whole repaint", "BM_Repaint", "BM_SceneRender", "at most 1x");
    reporter.PrintRatio("1,000 hit tests", "BM_FindObject", "BM_SceneItemsAt", "at most 2x");
    return 0;
}
