// Style library save and load against raw tagged values, and styled vertex drawing against
// QPainter drawing the same shapes, texts and images; graph files and undo are in GraphBench.cpp.
// Prints the ratios measured in this run. No widgets: a GUI application for fonts and pictures.

#include "bench/common/RatioReporter.h"
#include "bench/kavgraph/TaggedValues.h"
#include "kavgraph/KVObjs.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>

using namespace kavgraph;

namespace {

// ---- Library save and load ----------------------------------------------------------------------

std::unique_ptr<TKVStyleLibrary> BigLibrary()
{
    auto lib = std::make_unique<TKVStyleLibrary>();
    for (int i = 0; i < 200; ++i) {
        auto s = std::make_unique<TKVVertexStyle>();
        s->Name = "Vertex style " + std::to_string(i);
        for (int k = 0; k < 3; ++k) {
            auto d = std::make_unique<TKVDrawItem>();
            d->Name = "draw" + std::to_string(k);
            d->Shape = TKVShape(k);
            d->Width = 20 + k;
            s->DrawItems.push_back(std::move(d));
        }
        for (int k = 0; k < 2; ++k) {
            auto d = std::make_unique<TKVDataItem>();
            d->Name = "data" + std::to_string(k);
            d->Text = "sample text";
            s->DataItems.push_back(std::move(d));
        }
        auto b = std::make_unique<TKVBitmapItem>();
        b->Name = "picture";
        b->Bitmap.SetSize(256, 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                b->Bitmap.ScanLine(y)[x] = 0xFF000000u | std::uint32_t((x * 977 + y * 131 + i) * 2654435761u >> 8);
        s->BitmapItems.push_back(std::move(b));
        lib->AddVertexStyle(std::move(s));
    }
    for (int i = 0; i < 50; ++i) {
        auto e = std::make_unique<TKVEdgeStyle>();
        e->Name = "Edge style " + std::to_string(i);
        e->Data = "edge text";
        lib->AddEdgeStyle(std::move(e));
    }
    return lib;
}

const TKVStyleLibrary &Library()
{
    static const auto lib = BigLibrary();
    return *lib;
}

void BM_LibrarySaveLoad(benchmark::State &state)
{
    const TKVStyleLibrary &lib = Library();
    for (auto _ : state) {
        TKVWriter w;
        lib.DoSave(w);
        TKVStyleLibrary loaded;
        TKVReader r(w.Data());
        loaded.DoLoad(r);
        benchmark::DoNotOptimize(loaded.VertexStyles.size());
    }
}

void BM_LibraryBaselineTaggedValues(benchmark::State &state)
{
    TKVWriter saved;
    Library().DoSave(saved);
    const CompactValues values = Compact(ParseTaggedValues(saved.Data()));
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteAndReadBack(values));
}

// ---- Drawing -----------------------------------------------------------------------------------------

constexpr int kSide = 100; // 100 x 100 vertices on 4000 x 4000 pixels
constexpr int kCell = 40;

TKVStyleLibrary &DrawLibrary()
{
    static TKVStyleLibrary lib;
    if (lib.VertexStyles.empty()) {
        lib.OnGetData = [](std::int32_t, const std::string &field, TKVDataObject *) { return field; };
        auto s = std::make_unique<TKVVertexStyle>();
        s->Name = "S";
        s->Width = 36;
        s->Height = 30;
        auto frame = std::make_unique<TKVDrawItem>();
        frame->HorzAlign = haBoth;
        frame->VertAlign = vaBoth;
        frame->Brush = {0xF0E0D0, bsSolid};
        s->DrawItems.push_back(std::move(frame));
        auto dot = std::make_unique<TKVDrawItem>();
        dot->Shape = diEllipse;
        dot->Left = 2;
        dot->Top = 2;
        dot->Width = 8;
        dot->Height = 8;
        dot->Brush = {clRed, bsSolid};
        s->DrawItems.push_back(std::move(dot));
        auto icon = std::make_unique<TKVBitmapItem>();
        icon->Left = 24;
        icon->Top = 2;
        icon->Width = 10;
        icon->Height = 10;
        icon->Bitmap.SetSize(32, 32);
        s->BitmapItems.push_back(std::move(icon));
        auto text = std::make_unique<TKVDataItem>();
        text->Name = "Name";
        text->Top = 14;
        text->Height = 14;
        text->HorzAlign = haBoth;
        text->Brush = {clWhite, bsSolid};
        s->DataItems.push_back(std::move(text));
        lib.AddVertexStyle(std::move(s));
    }
    return lib;
}

void BM_DrawStyledVertices(benchmark::State &state)
{
    TKVStyleLibrary &lib = DrawLibrary();
    std::vector<std::unique_ptr<TKVVertex>> vertices;
    for (int i = 0; i < kSide * kSide; ++i)
        vertices.push_back(
            std::make_unique<TKVVertex>(TKVPoint{i % kSide * kCell + 20, i / kSide * kCell + 20}, &lib, "S"));
    QImage image(kSide * kCell, kSide * kCell, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        TCanvas canvas(&image);
        for (const auto &v : vertices)
            v->Draw(canvas, pmScreen, 1.0, duAutomatic, {0, 0});
    }
}

void BM_DrawBaselineQPainter(benchmark::State &state)
{
    const TKVVertexStyle &s = *DrawLibrary().VertexStyles[0];
    const QImage icon = s.BitmapItems[0]->Bitmap.Image();
    QImage image(kSide * kCell, kSide * kCell, QImage::Format_RGB32);
    QFont font("Arial");
    font.setPixelSize(11);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(font);
        const QFontMetrics metrics(font);
        for (int i = 0; i < kSide * kSide; ++i) {
            const int x = i % kSide * kCell + 2, y = i / kSide * kCell + 5;
            p.setPen(Qt::black);
            p.setBrush(QColor(0xD0, 0xE0, 0xF0));
            p.drawRect(x, y, 35, 29);
            p.setBrush(Qt::red);
            p.drawEllipse(x + 2, y + 2, 7, 7);
            p.drawImage(QRect(x + 24, y + 2, 10, 10), icon);
            const QRect line(x, y + 14, 36, 14);
            p.fillRect(line, Qt::white);
            p.drawText(line, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Name"));
            benchmark::DoNotOptimize(metrics.horizontalAdvance(QStringLiteral("Name")));
        }
    }
}

BENCHMARK(BM_LibrarySaveLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryBaselineTaggedValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawStyledVertices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawBaselineQPainter)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("Library save and load", "BM_LibrarySaveLoad", "BM_LibraryBaselineTaggedValues", "at most 2x");
    reporter.PrintRatio("Styled vertex drawing", "BM_DrawStyledVertices", "BM_DrawBaselineQPainter", "at most 1.5x");
    reporter.PrintRatio("Graph save and load", "BM_GraphSaveLoad", "BM_GraphBaselineTaggedValues", "at most 2x");
    reporter.PrintRatio("Graph save and load against compact values", "BM_GraphSaveLoad", "BM_GraphBaselineCompactValues",
                        "for information");
    reporter.PrintRatio("Undo of one move of 1,000 vertices", "BM_UndoMove1000", "BM_Move1000",
                        "for information; the time itself under 50 ms");
    return 0;
}
