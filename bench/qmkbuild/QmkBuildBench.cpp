// qmk build: the scanner's throughput on generated units against a plain pass over the same
// bytes, and the time to build the sample database (samples/lcl-sources.txt, when the Lazarus
// and Free Pascal sources are installed) against reading its source files. Prints the ratios.

#include "tools/qmk/qmkbuild/DatabaseBuilder.h"
#include "tools/qmk/qmkbuild/PascalTokenizer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <glob.h>
#include <map>
#include <sstream>

namespace fs = std::filesystem;
using namespace qmkbuild;

namespace {

// Units shaped like a component library's: comments, conditionals, classes with fields,
// methods and properties, procedural types and routines.
const std::vector<std::string> &GeneratedUnits()
{
    static std::vector<std::string> units = [] {
        std::vector<std::string> all;
        for (int u = 0; u < 100; ++u) {
            std::ostringstream s;
            s << "{ Unit " << u << " of the generated library. }\nunit Gen" << u << ";\n\n{$mode objfpc}{$H+}\n\n"
              << "interface\n\nuses Classes, SysUtils;\n\ntype\n  TGen" << u
              << "Event = procedure(Sender: TObject; Index: Integer) of object;\n\n";
            for (int c = 0; c < 20; ++c) {
                s << "  { TGen" << u << "_" << c << " }\n\n  TGen" << u << "_" << c << " = class("
                  << (c ? "TGen" + std::to_string(u) + "_" + std::to_string(c - 1) : std::string("TComponent"))
                  << ")\n  private\n";
                for (int f = 0; f < 8; ++f)
                    s << "    FField" << f << ": Integer; // the value of property " << f << "\n";
                s << "    procedure SetField(Index: Integer; const AValue: Integer);\n  protected\n"
                  << "    {$IFDEF VerboseGen}\n    procedure DebugDump; virtual;\n    {$ENDIF}\n  public\n"
                  << "    constructor Create(AOwner: TComponent); override;\n    destructor Destroy; override;\n";
                for (int m = 0; m < 10; ++m)
                    s << "    function Method" << m << "(const AName: string; var Count: Integer): Boolean; virtual;\n";
                s << "  published\n";
                for (int p = 0; p < 8; ++p)
                    s << "    property Field" << p << ": Integer index " << p << " read FField" << p
                      << " write SetField default 0;\n";
                s << "    property OnChange: TGen" << u << "Event read FOnChange write FOnChange;\n  end;\n\n";
            }
            for (int r = 0; r < 30; ++r)
                s << "function GenRoutine" << r << "(const A, B: Integer): Integer; inline;\n";
            s << "\nimplementation\n\nend.\n";
            all.push_back(s.str());
        }
        return all;
    }();
    return units;
}

size_t TotalSize(const std::vector<std::string> &texts)
{
    size_t n = 0;
    for (const std::string &t : texts)
        n += t.size();
    return n;
}

// Baseline: one pass over the bytes that looks at every character (counting lines).
void BM_Generated_CountLines(benchmark::State &state)
{
    const auto &units = GeneratedUnits();
    for (auto _ : state)
        for (const std::string &u : units)
            benchmark::DoNotOptimize(std::count(u.begin(), u.end(), '\n'));
    state.SetBytesProcessed(int64_t(state.iterations() * TotalSize(units)));
}

void BM_Generated_Tokenize(benchmark::State &state)
{
    const auto &units = GeneratedUnits();
    for (auto _ : state)
        for (const std::string &u : units)
            benchmark::DoNotOptimize(Tokenize(u, 0, false).size());
    state.SetBytesProcessed(int64_t(state.iterations() * TotalSize(units)));
}

void BM_Generated_Scan(benchmark::State &state)
{
    const auto &units = GeneratedUnits();
    for (auto _ : state) {
        SourceLibrary library;
        for (const std::string &u : units)
            library.ScanText(u, "gen.pas");
        benchmark::DoNotOptimize(library.Units().size());
    }
    state.SetBytesProcessed(int64_t(state.iterations() * TotalSize(units)));
}

// The sample's paths with the installed source folders filled in; empty when not installed.
std::vector<std::string> SamplePaths()
{
    auto newest = [](const char *pattern) {
        glob_t g{};
        std::string found;
        if (glob(pattern, GLOB_ONLYDIR, nullptr, &g) == 0 && g.gl_pathc > 0) {
            std::vector<std::string> all(g.gl_pathv, g.gl_pathv + g.gl_pathc);
            found = *std::max_element(all.begin(), all.end());
        }
        globfree(&g);
        return found;
    };
    std::string lazarus = newest("/usr/lib/lazarus/*"), fpcsrc = newest("/usr/share/fpcsrc/*");
    std::vector<std::string> paths;
    if (lazarus.empty() || fpcsrc.empty())
        return paths;
    std::ifstream list(VD_SOURCE_DIR "/samples/lcl-sources.txt");
    for (std::string line; std::getline(list, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        for (auto [name, value] : {std::pair{"$LAZARUS", lazarus}, std::pair{"$FPCSRC", fpcsrc}})
            if (line.rfind(name, 0) == 0)
                line = value + line.substr(std::string(name).size());
        glob_t g{};
        if (glob(line.c_str(), 0, nullptr, &g) == 0)
            paths.insert(paths.end(), g.gl_pathv, g.gl_pathv + g.gl_pathc);
        globfree(&g);
    }
    return paths;
}

// Baseline: reading every source file the sample build reads as a unit.
void BM_Sample_ReadSources(benchmark::State &state)
{
    std::vector<std::string> paths = SamplePaths();
    if (paths.empty()) {
        state.SkipWithError("Lazarus and Free Pascal sources not installed (scripts/make-sample.sh installs them)");
        return;
    }
    std::vector<fs::path> files;
    for (const std::string &p : paths) {
        if (fs::is_directory(p)) {
            for (const auto &e : fs::recursive_directory_iterator(p)) {
                std::string ext = e.path().extension().string();
                if (ext == ".pas" || ext == ".pp" || ext == ".p")
                    files.push_back(e.path());
            }
        } else {
            files.push_back(p);
        }
    }
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const fs::path &f : files) {
            std::ifstream in(f, std::ios::binary);
            std::ostringstream s;
            s << in.rdbuf();
            bytes += s.str().size();
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
}

void BM_Sample_Build(benchmark::State &state)
{
    std::vector<std::string> paths = SamplePaths();
    if (paths.empty()) {
        state.SkipWithError("Lazarus and Free Pascal sources not installed (scripts/make-sample.sh installs them)");
        return;
    }
    std::string out = (fs::temp_directory_path() / "bench_qmkbuild.qmk").string();
    size_t bytes = 0;
    for (auto _ : state) {
        SourceLibrary library;
        library.Scan(paths);
        WriteRuntimeDatabase(library, "LCL", out);
        bytes = library.BytesScanned();
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
    fs::remove(out);
}

BENCHMARK(BM_Generated_CountLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Generated_Tokenize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Generated_Scan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sample_ReadSources)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Sample_Build)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Keeps the real time (ms) of each benchmark for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (!run.error_occurred)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto time = [&](const std::string &prefix) {
        for (auto &[key, value] : reporter.times)
            if (key.rfind(prefix, 0) == 0)
                return value;
        return 0.0;
    };
    double megabytes = TotalSize(GeneratedUnits()) / 1e6;
    double lines = time("BM_Generated_CountLines"), tokens = time("BM_Generated_Tokenize"),
           scan = time("BM_Generated_Scan");
    if (lines > 0 && scan > 0)
        std::printf("Scanner: %.1f MB/s; scan / line count = %.1f, tokenizing / line count = %.1f\n",
                    megabytes / (scan / 1000), scan / lines, tokens / lines);
    double read = time("BM_Sample_ReadSources"), build = time("BM_Sample_Build");
    if (read > 0 && build > 0)
        std::printf("Sample: built in %.2f s (goal: under 5 s); build / reading the sources = %.1f\n", build / 1000,
                    build / read);
    return 0;
}
