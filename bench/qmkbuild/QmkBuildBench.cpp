// qmk build: the scanner's throughput on generated units against a plain pass over the same
// bytes, and the time to build the sample database (samples/lcl-sources.txt, when the Lazarus
// and Free Pascal sources are installed) against reading its source files. Prints the ratios.

#include "bench/common/RatioReporter.h"
#include "tools/qmk/qmkbuild/DatabaseBuilder.h"
#include "tools/qmk/qmkbuild/PascalTokenizer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <chrono>
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

// The timed part of the baselines: reading each file whole.
void ReadEach(benchmark::State &state, const std::vector<fs::path> &files)
{
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
    ReadEach(state, files);
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

// The whole Free Pascal source tree (package fpc-source), with the include folders the
// compiler would be given for Linux on x86-64; empty when not installed.
struct FpcTree {
    std::vector<std::string> paths, includeDirs;
};

FpcTree FpcSources()
{
    FpcTree tree;
    glob_t g{};
    if (glob("/usr/share/fpcsrc/*", GLOB_ONLYDIR, nullptr, &g) == 0 && g.gl_pathc > 0) {
        std::string top = *std::max_element(g.gl_pathv, g.gl_pathv + g.gl_pathc,
                                            [](const char *a, const char *b) { return std::string(a) < b; });
        tree.paths = {top};
        for (const char *dir : {"compiler", "rtl/inc", "rtl/objpas", "rtl/objpas/classes", "rtl/objpas/sysutils",
                                "rtl/unix", "rtl/linux", "rtl/x86_64"})
            tree.includeDirs.push_back(top + "/" + dir);
    }
    globfree(&g);
    return tree;
}

// Baseline: reading every Pascal source file of the tree.
void BM_Fpc_ReadSources(benchmark::State &state)
{
    FpcTree tree = FpcSources();
    if (tree.paths.empty()) {
        state.SkipWithError("Free Pascal sources not installed (package fpc-source)");
        return;
    }
    std::vector<fs::path> files;
    for (const auto &e : fs::recursive_directory_iterator(tree.paths[0])) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (ext == ".pas" || ext == ".pp" || ext == ".p")
            files.push_back(e.path());
    }
    ReadEach(state, files);
}

// The whole build, with the time of each phase as counters (seconds per build).
void BM_Fpc_Build(benchmark::State &state)
{
    FpcTree tree = FpcSources();
    if (tree.paths.empty()) {
        state.SkipWithError("Free Pascal sources not installed (package fpc-source)");
        return;
    }
    std::string out = (fs::temp_directory_path() / "bench_qmkbuild_fpc.qmk").string();
    size_t bytes = 0;
    double scan = 0, contents = 0, layout = 0, write = 0;
    for (auto _ : state) {
        SourceLibrary library;
        auto start = std::chrono::steady_clock::now();
        library.Scan(tree.paths, tree.includeDirs);
        scan += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        BuildCounts counts = WriteRuntimeDatabase(library, "Free Pascal", out);
        contents += counts.contentsSeconds;
        layout += counts.layoutSeconds;
        write += counts.writeSeconds;
        bytes = library.BytesScanned();
    }
    double n = double(state.iterations());
    state.counters["scan_s"] = scan / n;
    state.counters["contents_s"] = contents / n;
    state.counters["layout_s"] = layout / n;
    state.counters["write_s"] = write / n;
    state.counters["scanned_MB"] = double(bytes) / 1e6;
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
    fs::remove(out);
}

BENCHMARK(BM_Generated_CountLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Generated_Tokenize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Generated_Scan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sample_ReadSources)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Sample_Build)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Fpc_ReadSources)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_Fpc_Build)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The shared ratio reporter, also keeping the phase counters of the tree build.
class QmkReporter : public RatioReporter {
public:
    std::map<std::string, double> counters;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (!run.error_occurred)
                for (const auto &[name, counter] : run.counters)
                    counters[name] = counter.value;
        RatioReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    QmkReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double megabytes = TotalSize(GeneratedUnits()) / 1e6;
    double scan = reporter.Seconds("BM_Generated_Scan");
    if (scan > 0)
        std::printf("Scanner: %.1f MB/s\n", megabytes / scan);
    reporter.PrintRatio("Scanning generated units", "BM_Generated_Scan", "BM_Generated_CountLines",
                        "scanning at least 100 MB/s");
    reporter.PrintRatio("Tokenizing generated units", "BM_Generated_Tokenize", "BM_Generated_CountLines",
                        "scanning at least 100 MB/s");
    double build = reporter.Seconds("BM_Sample_Build");
    if (build > 0)
        std::printf("Sample: built in %.2f s (goal: under 5 s)\n", build);
    reporter.PrintRatio("Sample build", "BM_Sample_Build", "BM_Sample_ReadSources", "a small multiple");
    double fpcRead = reporter.Seconds("BM_Fpc_ReadSources"), fpcBuild = reporter.Seconds("BM_Fpc_Build");
    if (fpcRead > 0 && fpcBuild > 0) {
        auto &c = reporter.counters;
        double phases = c["scan_s"] + c["contents_s"] + c["layout_s"] + c["write_s"];
        std::printf("Free Pascal tree: built in %.2f s (goal: under 10 s); scanning %.0f MB at %.0f MB/s (goal: at "
                    "least 100 MB/s); build / reading the sources = %.1f\n",
                    fpcBuild, c["scanned_MB"], c["scanned_MB"] / c["scan_s"], fpcBuild / fpcRead);
        if (phases > 0)
            std::printf("  shares: scanning %.0f%%, symbol table %.0f%%, laying out diagrams %.0f%%, writing %.0f%%\n",
                        100 * c["scan_s"] / phases, 100 * c["contents_s"] / phases, 100 * c["layout_s"] / phases,
                        100 * c["write_s"] / phases);
    }
    return 0;
}
