// Opening a large runtime database (read, denormalise) and filling the all-routines list,
// against a baseline measured in the same run: reading the symbol table stream's bytes and
// sorting all its names once.
//
// Synthetic library: 400 units, 5,000 classes, 1,000 interfaces, 20,000 routines (5 % declared
// in two units) and 300,000 members (50 per class or interface).

#include "bench/common/RatioReporter.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabaseWriter.h"
#include "platform/compoundfile/CompoundFile.h"
#include "platform/text/Collation.h"
#include "tests/fixtures/TempDir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

namespace {

struct Sample {
    TempDir dir{"bench_runtime"};
    std::string path = dir.File("large.qmk");
    std::vector<std::string> names; // every name stored in the table

    Sample()
    {
        std::mt19937 random(42);
        auto word = [&](int minLength, int maxLength) {
            static const char letters[] = "abcdefghijklmnopqrstuvwxyz";
            int length = std::uniform_int_distribution<int>(minLength, maxLength)(random);
            std::string w(1, char('A' + random() % 26));
            for (int i = 1; i < length; ++i)
                w += letters[random() % 26];
            return w;
        };
        std::vector<std::string> memberPool;
        for (int i = 0; i < 3000; ++i)
            memberPool.push_back(word(4, 16));

        TL1OPascalSymbolTable table("Large Library");
        std::vector<TL1OPascalSymbolTable_Unit *> units;
        for (int u = 0; u < 400; ++u)
            units.push_back(table.AddUnit("Unit" + word(4, 10) + std::to_string(u)));
        auto fill = [&](TL1OPascalSymbolTable_Class *owner) {
            for (int m = 0; m < 50; ++m) {
                const std::string &member = memberPool[random() % memberPool.size()];
                (m < 15 ? owner->Properties : m < 45 ? owner->Methods : owner->Events).Add(member);
            }
        };
        for (int c = 0; c < 5000; ++c)
            fill(units[size_t(c) % units.size()]->AddClass("T" + word(6, 20) + std::to_string(c), "TObject"));
        for (int i = 0; i < 1000; ++i)
            fill(units[size_t(i) % units.size()]->AddInterface("I" + word(6, 20) + std::to_string(i), "IUnknown"));
        for (int r = 0; r < 19000; ++r) {
            std::string name = word(5, 20) + std::to_string(r);
            units[size_t(r) % units.size()]->AddRoutine(name);
            if (r % 19 == 0)
                units[size_t(r + 7) % units.size()]->AddRoutine(name);
        }

        for (int u = 0; u < table.UnitCount(); ++u) {
            const TL1OPascalSymbolTable_Unit *unit = table.GetUnit(u);
            names.push_back(unit->Name);
            for (const TStringList *list : {&unit->Interfaces(), &unit->Classes()}) {
                for (const TStringList::Entry &e : list->Items()) {
                    names.push_back(e.str);
                    auto *owner = static_cast<TL1OPascalSymbolTable_Class *>(e.obj);
                    for (const TStringList *members : {&owner->Properties, &owner->Methods, &owner->Events})
                        for (const TStringList::Entry &m : members->Items())
                            names.push_back(m.str);
                }
            }
            for (const TStringList::Entry &e : unit->Routines().Items())
                names.push_back(e.str);
        }

        TL1Quillmark_RunTimeDatabaseWriter writer(path);
        writer.WriteSymbolTable(table);
        writer.Finish();
    }
};

Sample &TheSample()
{
    static Sample sample;
    return sample;
}

void Load(benchmark::State &state)
{
    const std::string &path = TheSample().path;
    for (auto _ : state) {
        TvdQuillmarkBrowser browser;
        browser.OpenDatabase(path);
        TStringList routines;
        browser.FillRoutineList(routines);
        benchmark::DoNotOptimize(routines.Count());
    }
}

void Baseline(benchmark::State &state)
{
    const Sample &sample = TheSample();
    for (auto _ : state) {
        auto root = TvdStorage::OpenStorageFile(sample.path, vdModeReadWrite);
        auto stream = root->OpenStream(vdSymbolTableStreamName, vdModeReadWrite);
        std::string bytes(size_t(stream->ComStream()->Size()), '\0');
        stream->SafeRead(bytes.data(), int32_t(bytes.size()));
        std::vector<std::string> names = sample.names;
        std::sort(names.begin(), names.end(), text::TextLess);
        benchmark::DoNotOptimize(names.data());
    }
}

BENCHMARK(Baseline)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Load)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    TheSample();
    std::printf("names: %zu\n", TheSample().names.size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("Load and all-routines list", "Load", "Baseline", "at most 2x");
    benchmark::Shutdown();
    return 0;
}
