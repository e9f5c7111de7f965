// One keystroke in the search window over a database built from the whole Free Pascal source
// tree, against a plain loop in the same run that tests the same upper-cased keys for the same
// upper-cased text. Both alternate between two texts, as typing and erasing a letter does.
//
// Set-up: `qmk build` over the sources (FPC_SOURCES, default /usr/share/fpcsrc/3.2.2), the
// database opened and its six all-names lists filled as the main window fills them, the
// search window opened on them (offscreen unless a display is set).

#include "bench/common/RatioReporter.h"
#include "browser/app/C1QuillmarkBrowser_SearchDialog.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "platform/ui/QtPrompts.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

// The two texts typed in turn. With them every kind has matches and the visible page (events)
// has few enough to be listed.
const char *const kTexts[2] = {"CHANG", "CHANGE"};
const TL0NameKind kVisible = TL0NameKind::Event;

struct Setup {
    QTemporaryDir dir;
    TvdQuillmarkBrowser browser;
    QWidget owner;
    std::array<QStringListModel *, L0NameKindCount> models{};
    TqmkbSearchDialog dialog{&owner};
    TfrmQMKB_Search *form = nullptr;
    std::vector<std::string> keys; // a plain copy of every engine's keys, for the baseline
    bool ok = false;

    static QStringList ListOf(const TStringList &list)
    {
        QStringList texts;
        texts.reserve(list.Count());
        for (const TStringList::Entry &e : list.Items())
            texts.push_back(FromCp1252(e.str));
        return texts;
    }

    Setup()
    {
        const char *sources = std::getenv("FPC_SOURCES");
        std::string tree = sources ? sources : "/usr/share/fpcsrc/3.2.2";
        std::string file = dir.filePath("fpc.qmk").toStdString();
        std::string command = std::string(QMK_TOOL) + " build -o '" + file + "' --name FPC '" + tree + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "could not build the database from %s\n", tree.c_str());
            return;
        }
        browser.OpenDatabase(file);
        const TL1OPascalSymbolTable &table = *browser.GetSymbolTable();
        TStringList routines;
        browser.FillRoutineList(routines);
        const QStringList lists[L0NameKindCount] = {ListOf(routines),          ListOf(table.Interfaces()),
                                                    ListOf(table.Classes()),    ListOf(table.Properties()),
                                                    ListOf(table.Methods()),    ListOf(table.Events())};
        for (int k = 0; k < L0NameKindCount; ++k) {
            auto *view = new QListView(&owner);
            models[size_t(k)] = new QStringListModel(lists[k], view);
            view->setModel(models[size_t(k)]);
            view->setUniformItemSizes(true);
            dialog.SetListBox(TL0NameKind(k), view);
        }
        dialog.SetShowLimit(200);
        dialog.Execute();
        form = dialog.Form();
        form->pageControl1->setCurrentIndex(int(kVisible));
        QApplication::processEvents();
        for (int k = 0; k < L0NameKindCount; ++k) {
            const TL0PreProcessedNames &names = form->Names(TL0NameKind(k));
            for (int i = 0; i < names.Count(); ++i)
                keys.emplace_back(names.Key(i));
        }

        std::printf("database: %d classes, %d interfaces, %d routines, %d properties, %d methods, %d events\n",
                    table.ClassCount(), table.InterfaceCount(), routines.Count(), table.PropertyCount(),
                    table.MethodCount(), table.EventCount());
        for (const char *text : kTexts) {
            form->txtSearchFor->setText(text);
            std::printf("matches of \"%s\":", text);
            bool everyKind = true;
            for (int k = 0; k < L0NameKindCount; ++k) {
                int n = form->Names(TL0NameKind(k)).MatchCount();
                everyKind = everyKind && n > 0;
                std::printf(" %d", n);
            }
            int listed = form->lstResults[size_t(kVisible)]->model()->rowCount();
            std::printf(" (visible page lists %d)\n", listed);
            if (!everyKind || listed == 0 || form->ActiveKind() != kVisible) {
                std::fprintf(stderr, "the texts no longer match every kind with a listed visible page\n");
                return;
            }
        }
        ok = true;
    }
};

Setup *gSetup = nullptr;

void Keystroke(benchmark::State &state)
{
    if (!gSetup->ok)
        return state.SkipWithError("no database");
    QLineEdit *edit = gSetup->form->txtSearchFor;
    int i = 0;
    for (auto _ : state) {
        edit->setText(kTexts[i++ & 1]);
        benchmark::DoNotOptimize(gSetup->form->lstResults[size_t(kVisible)]->model()->rowCount());
    }
}

// The keystroke and the repaint of the window that follows it.
void KeystrokePainted(benchmark::State &state)
{
    if (!gSetup->ok)
        return state.SkipWithError("no database");
    QLineEdit *edit = gSetup->form->txtSearchFor;
    int i = 0;
    for (auto _ : state) {
        edit->setText(kTexts[i++ & 1]);
        gSetup->form->repaint();
    }
}

void PlainLoop(benchmark::State &state)
{
    if (!gSetup->ok)
        return state.SkipWithError("no database");
    const std::vector<std::string> &keys = gSetup->keys;
    int i = 0;
    for (auto _ : state) {
        const std::string text = L0UpperCase(kTexts[i++ & 1]);
        int count = 0;
        for (const std::string &key : keys)
            count += std::string_view(key).find(text) != std::string_view::npos;
        benchmark::DoNotOptimize(count);
    }
}

// What a file load adds: every kind's names read from its source list again, keys included,
// and the search run again.
void ReloadNames(benchmark::State &state)
{
    if (!gSetup->ok)
        return state.SkipWithError("no database");
    for (auto _ : state)
        gSetup->form->ReloadNames();
}

BENCHMARK(PlainLoop)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Keystroke)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(KeystrokePainted)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(ReloadNames)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Setup setup;
    gSetup = &setup;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (reporter.Has("Keystroke"))
        std::printf("keystroke: %.3f ms\n", reporter.Seconds("Keystroke") * 1000);
    reporter.PrintRatio("keystroke", "Keystroke", "PlainLoop", "under 16 ms and at most 1.5x");
    reporter.PrintRatio("keystroke with repaint", "KeystrokePainted", "PlainLoop", "shown for comparison");
    if (reporter.Has("ReloadNames"))
        std::printf("names reloaded after a file load: %.1f ms\n", reporter.Seconds("ReloadNames") * 1000);
    benchmark::Shutdown();
    return 0;
}
