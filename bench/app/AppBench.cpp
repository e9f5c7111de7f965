// The browser's main window: opening a database until every list is filled and the window is
// idle, against the database's own load (OpenDatabase and the all-routines list) in the same
// run, for the bundled sample and for a database of the whole Free Pascal source tree (built
// by `qmk build` first); and re-flowing the lists when the window is resized.

#include "bench/common/RatioReporter.h"
#include "browser/app/F_Main.h"
#include "browser/app/F_MainLists.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "browser/treediagram/L1TreeDiagram.h"
#include "platform/ui/Settings.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

const std::string kSample = VD_SOURCE_DIR "/samples/lcl.qmk";
const char *const kFpcSources = "/usr/share/fpcsrc/3.2.2";

std::string &FpcDatabase()
{
    static std::string path;
    return path;
}

TfrmMain *&Window()
{
    static TfrmMain *window = nullptr;
    return window;
}

// Lets the window finish every pending layout and paint.
void Idle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void DatabaseLoad(benchmark::State &state, const std::string &path)
{
    for (auto _ : state) {
        TvdQuillmarkBrowser browser;
        browser.OpenDatabase(path);
        TStringList routines;
        browser.FillRoutineList(routines);
        benchmark::DoNotOptimize(routines.Count());
    }
}

void WindowOpen(benchmark::State &state, const std::string &path)
{
    TfrmMain *window = Window();
    for (auto _ : state) {
        window->OpenDocument(path);
        Idle();
        benchmark::DoNotOptimize(window->lstAllProperties->Model()->Count());
    }
}

void SampleLoad(benchmark::State &state) { DatabaseLoad(state, kSample); }
void SampleWindowOpen(benchmark::State &state) { WindowOpen(state, kSample); }

void FpcLoad(benchmark::State &state)
{
    if (FpcDatabase().empty())
        return state.SkipWithError("no Free Pascal sources");
    DatabaseLoad(state, FpcDatabase());
}

void FpcWindowOpen(benchmark::State &state)
{
    if (FpcDatabase().empty())
        return state.SkipWithError("no Free Pascal sources");
    WindowOpen(state, FpcDatabase());
}

// One resize of the window with the largest database open and the given page shown, until the
// visible lists are laid out again and painted. The baseline resizes an empty window.
void ResizeWindow(benchmark::State &state, TfrmMain *window)
{
    window->pgcMain->setCurrentIndex(int(state.range(0)));
    window->ShowUnit(window->lstUnits->Model()->Text(0));
    Idle();
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        window->resize(wide ? 1000 : 900, wide ? 700 : 640);
        Idle();
    }
    state.SetLabel(window->pgcMain->tabText(int(state.range(0))).toStdString());
}

void Resize(benchmark::State &state)
{
    if (FpcDatabase().empty())
        return state.SkipWithError("no Free Pascal sources");
    Window()->OpenDocument(FpcDatabase());
    ResizeWindow(state, Window());
}

void ResizeEmpty(benchmark::State &state)
{
    TfrmMain window;
    window.show();
    ResizeWindow(state, &window);
}

// The largest list shown (all methods), under names of their own for the ratio.
constexpr int kAllMethodsPage = 6;
void ResizeAllMethods(benchmark::State &state)
{
    if (FpcDatabase().empty())
        return state.SkipWithError("no Free Pascal sources");
    Window()->OpenDocument(FpcDatabase());
    Window()->pgcMain->setCurrentIndex(kAllMethodsPage);
    Idle();
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        Window()->resize(wide ? 1000 : 900, wide ? 700 : 640);
        Idle();
    }
}

void ResizeEmptyAllMethods(benchmark::State &state)
{
    TfrmMain window;
    window.show();
    window.pgcMain->setCurrentIndex(kAllMethodsPage);
    Idle();
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        window.resize(wide ? 1000 : 900, wide ? 700 : 640);
        Idle();
    }
}

// TComponent, or TStringList when the database has no TComponent (the Free Pascal tree's
// classes unit declares it in an include file).
std::string &DiagramClass()
{
    static std::string name = "TComponent";
    return name;
}

// Clicking that class in the diagram page's class list until its diagram is painted, the
// database freshly opened each time (no cached diagram); the baseline reads the same diagram
// from a freshly opened database without a window.
void DiagramClick(benchmark::State &state)
{
    if (FpcDatabase().empty())
        return state.SkipWithError("no Free Pascal sources");
    TfrmMain *window = Window();
    window->pgcMain->setCurrentIndex(1);
    for (auto _ : state) {
        state.PauseTiming();
        window->OpenDocument(FpcDatabase());
        Idle();
        int row = window->lstClasses->Model()->FindText(DiagramClass());
        state.ResumeTiming();
        window->lstClasses->setCurrentIndex(window->lstClasses->Model()->index(row)); // as a click
        Idle();
    }
    if (!window->DiagramView()->TreeDiagram())
        state.SkipWithError("no diagram was shown");
}

void DiagramRead(benchmark::State &state)
{
    if (FpcDatabase().empty())
        return state.SkipWithError("no Free Pascal sources");
    std::unique_ptr<TvdQuillmarkBrowser> browser;
    for (auto _ : state) {
        state.PauseTiming();
        browser.reset(); // freeing a whole table is not part of reading a diagram
        browser = std::make_unique<TvdQuillmarkBrowser>();
        browser->OpenDatabase(FpcDatabase());
        state.ResumeTiming();
        TL1Quillmark_RunTimeDatabase *db = browser->RunTimeDb();
        db->EnsureAttached(false);
        benchmark::DoNotOptimize(db->GetTreeDiagram(DiagramClass(), true));
        db->Close();
    }
}

} // namespace

BENCHMARK(SampleLoad)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(SampleWindowOpen)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FpcLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FpcWindowOpen)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(DiagramRead)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(DiagramClick)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(ResizeEmpty)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Resize)->Arg(0)->Arg(2)->Arg(5)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(ResizeEmptyAllMethods)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(ResizeAllMethods)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir settings;
    UseSettingsFolder(settings.path());
    benchmark::Initialize(&argc, argv);

    QTemporaryDir work;
    if (std::filesystem::is_directory(kFpcSources)) {
        std::string out = (work.path() + QStringLiteral("/fpc.qmk")).toStdString();
        // The include folders of the run-time library, so that classes declared in include files
        // (TComponent among them) are found.
        std::string includes;
        for (const char *dir : {"rtl/inc", "rtl/objpas", "rtl/objpas/classes", "rtl/objpas/sysutils", "rtl/unix",
                                "rtl/linux", "rtl/x86_64"})
            includes += std::string(" -I ") + kFpcSources + "/" + dir;
        std::string command = std::string(QMK_TOOL) + " build -o " + out + " --name FPC --quiet" + includes + " " +
                              kFpcSources + " >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0)
            FpcDatabase() = out;
    }

    if (!FpcDatabase().empty()) {
        TvdQuillmarkBrowser browser;
        browser.OpenDatabase(FpcDatabase());
        if (!browser.GetSymbolTable()->GetHasClass(DiagramClass()))
            DiagramClass() = "TStringList";
    }

    TfrmMain window;
    window.resize(900, 640);
    window.show();
    Window() = &window;

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("sample: window open / database load", "SampleWindowOpen", "SampleLoad", "at most 1.5, under 200 ms");
    reporter.PrintRatio("Free Pascal tree: window open / database load", "FpcWindowOpen", "FpcLoad", "at most 1.5");
    reporter.PrintRatio("resize with the Free Pascal tree, all methods shown / empty window", "ResizeAllMethods",
                        "ResizeEmptyAllMethods", "under 16 ms a resize");
    reporter.PrintRatio("class clicked until its diagram is painted / the diagram read", "DiagramClick",
                        "DiagramRead", "under 100 ms");
    std::printf("%s clicked until its diagram is painted: %.1f ms (CPU)\n", DiagramClass().c_str(),
                reporter.Seconds("DiagramClick") * 1000);
    std::printf("sample opened in the window: %.1f ms (CPU); one resize with all methods shown: %.1f ms (CPU)\n",
                reporter.Seconds("SampleWindowOpen") * 1000, reporter.Seconds("ResizeAllMethods") * 1000);
    if (!FpcDatabase().empty()) {
        window.OpenDocument(FpcDatabase());
        Idle();
        std::cout << "resident memory with the Free Pascal tree open: " << ResidentKilobytes() / 1024 << " MB\n";
    }
    Window() = nullptr;
    benchmark::Shutdown();
    return 0;
}
