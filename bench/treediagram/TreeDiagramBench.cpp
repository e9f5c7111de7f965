// The diagram view with a laid-out diagram of 5,000 classes: painting a viewport in its middle
// against painting a 10-class diagram in the same viewport, and one hover move that changes the
// hovered box.

#include "bench/common/RatioReporter.h"
#include "browser/treediagram/L1TreeDiagram.h"
#include "tools/qmk/qmkbuild/TreeLayout.h"

#include <QApplication>

#include <cstdint>
#include <cstdio>
#include <memory>

namespace {

void App() {}

// A class tree of the given size whose shape resembles a large library's: a few classes with
// many descendants near the root, long thin chains further out.
qmkbuild::LaidOutNode MakeTree(int count)
{
    std::vector<int> parent(count, -1);
    std::uint32_t seed = 12345;
    for (int k = 1; k < count; ++k) {
        seed = seed * 1664525u + 1013904223u;
        const double r = (seed >> 8) / double(1u << 24);
        parent[k] = static_cast<int>((k - 1) * r * r * r);
    }
    std::vector<std::vector<int>> children(count);
    for (int k = 1; k < count; ++k)
        children[parent[k]].push_back(k);
    std::function<qmkbuild::LaidOutNode(int)> build = [&](int k) {
        qmkbuild::LaidOutNode n(k == 0 ? "TObject" : "TClass" + std::to_string(k));
        for (int c : children[k])
            n.children.push_back(build(c));
        return n;
    };
    qmkbuild::LaidOutNode root = build(0);
    qmkbuild::LayOutTree(root, true);
    return root;
}

void Copy(const qmkbuild::LaidOutNode &from, TvdTreeDiagramNode &to)
{
    to.SetBox({from.left, from.top, from.right, from.bottom});
    for (const qmkbuild::LaidOutNode &c : from.children)
        Copy(c, static_cast<TvdTreeDiagramNode &>(*to.AddSubNode(std::make_unique<TvdTreeDiagramNode>(c.name))));
}

struct Shown {
    TvdScrollBox scrollBox;
    TvdPaintBox *paintBox = new TvdPaintBox;
    TvdVisualTreeDiagram view;
    std::unique_ptr<TvdTreeDiagram> diagram = std::make_unique<TvdTreeDiagram>();
    std::vector<TvdTreeDiagramNode *> visible; // boxes in the viewport

    explicit Shown(int classes)
    {
        const qmkbuild::LaidOutNode tree = MakeTree(classes);
        diagram->Horizontal = true;
        diagram->RootNode()->Name = tree.name;
        Copy(tree, *diagram->RootNode());
        scrollBox.setWidget(paintBox);
        scrollBox.resize(1000, 700);
        scrollBox.show();
        view.AttachTo(paintBox, &scrollBox);
        view.ShowDiagram(diagram.get(), "");
        // The middle of the diagram.
        scrollBox.SetPositions(std::max(0, scrollBox.HorzRange() / 2 - 500), std::max(0, scrollBox.VertRange() / 2 - 350));
        QApplication::processEvents();
        const QRect area(paintBox->BufferOrigin(), paintBox->Buffer().size());
        Collect(*diagram->RootNode(), area);
    }

    void Collect(TvdTreeDiagramNode &node, const QRect &area)
    {
        if (area.contains(node.CenterX(), node.CenterY()))
            visible.push_back(&node);
        for (int i = 0; i < node.SubNodeCount(); ++i) {
            auto &child = static_cast<TvdTreeDiagramNode &>(*node.GetSubNode(i));
            if (QRect(QPoint(node.Right, node.CenterY()), QPoint(child.Left, child.CenterY())).normalized().intersects(area))
                ++lines;
            Collect(child, area);
        }
    }
    int lines = 0;

    void Paint() { paintBox->RenderArea(QRect(paintBox->BufferOrigin(), paintBox->Buffer().size())); }
};

void Paint(benchmark::State &state, int classes)
{
    App();
    Shown shown(classes);
    state.counters["boxes in view"] = double(shown.visible.size());
    state.counters["lines in view"] = double(shown.lines);
    for (auto _ : state)
        shown.Paint();
}

void Hover(benchmark::State &state, int classes)
{
    App();
    Shown shown(classes);
    if (shown.visible.size() < 2) {
        state.SkipWithError("fewer than two boxes in view");
        return;
    }
    TvdTreeDiagramNode *a = shown.visible.front(), *b = shown.visible.back();
    bool onA = false;
    for (auto _ : state) {
        TvdTreeDiagramNode *n = onA ? b : a;
        onA = !onA;
        shown.view.MouseMove(0, n->CenterX(), n->CenterY());
    }
}

void BM_Paint10(benchmark::State &state) { Paint(state, 10); }
void BM_Paint5000Middle(benchmark::State &state) { Paint(state, 5000); }
void BM_Hover10(benchmark::State &state) { Hover(state, 10); }
void BM_Hover5000(benchmark::State &state) { Hover(state, 5000); }

BENCHMARK(BM_Paint10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Paint5000Middle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Hover10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Hover5000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("Paint of 5,000 classes in the middle vs 10 classes", "BM_Paint5000Middle", "BM_Paint10", "at most 2x");
    if (reporter.Has("BM_Hover5000"))
        std::printf("Hover move over 5,000 classes: %.3f ms of CPU (goal: at most 2 ms)\n",
                    reporter.Seconds("BM_Hover5000") * 1000.0);
    reporter.PrintRatio("Hover over 5,000 classes vs 10 classes", "BM_Hover5000", "BM_Hover10", "informative");
    benchmark::Shutdown();
    return 0;
}
