// Reading a 50 MB compound file with many streams, and opening 10,000 elements by name,
// against `gsf cat` of the same streams in the same run. Prints the ratios gsf / engine.

#include "bench/common/RatioReporter.h"
#include "platform/compoundfile/CompoundFile.h"
#include "tests/fixtures/TempDir.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {


constexpr uint32_t RO = cfb::STGM_READ | cfb::STGM_SHARE_EXCLUSIVE;
constexpr uint32_t C = cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE | cfb::STGM_CREATE;
constexpr int LargeCount = 2000;  // about 25 KB each: 50 MB
constexpr int SmallCount = 10000; // under the mini stream cutoff

std::u16string Name(const char *prefix, int i)
{
    std::string s = prefix + std::to_string(i);
    return std::u16string(s.begin(), s.end());
}

struct Sample {
    TempDir dir{"bench_compoundfile"};
    std::string file = dir.File("sample.cfb");
    std::vector<std::string> largeNames; // member paths as gsf takes them
    std::vector<std::string> smallNames;

    Sample()
    {
        std::vector<char> data(60000);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = char(i * 131 + i / 7);
        {
            auto root = cfb::Storage::CreateFile(file, C);
            auto large = root->CreateStorage(u"large", C);
            for (int i = 0; i < LargeCount; ++i)
                large->CreateStream(Name("stream", i), C)->Write(data.data(), 5000 + (i * 7919) % 40000);
            auto small = root->CreateStorage(u"small", C);
            for (int i = 0; i < SmallCount; ++i)
                small->CreateStream(Name("item", i), C)->Write(data.data() + i, (i * 37) % 300);
        }
        for (int i = 0; i < LargeCount; ++i)
            largeNames.push_back("large/stream" + std::to_string(i));
        for (int i = 0; i < SmallCount; ++i)
            smallNames.push_back("small/item" + std::to_string(i));
    }
};

const Sample &TheSample()
{
    static Sample sample;
    return sample;
}

// One `gsf cat FILE MEMBER...` process, its output discarded.
void Gsf(benchmark::State &state, const std::vector<std::vector<std::string>> &memberSets)
{
    std::vector<std::string> args{"gsf", "cat", TheSample().file};
    for (const auto &set : memberSets)
        args.insert(args.end(), set.begin(), set.end());
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid;
        int status = 0;
        if (posix_spawnp(&pid, "gsf", &actions, nullptr, argv.data(), environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("gsf cat failed");
    }
    posix_spawn_file_actions_destroy(&actions);
}

void BM_ReadAll_Gsf(benchmark::State &state) { Gsf(state, {TheSample().largeNames, TheSample().smallNames}); }

void BM_ReadAll_Engine(benchmark::State &state)
{
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        auto root = cfb::Storage::OpenFile(TheSample().file, RO);
        size_t total = 0;
        for (const char *storage : {"large", "small"}) {
            auto sub = root->OpenStorage(std::u16string(storage, storage + 5), RO);
            for (const cfb::ElementInfo &e : sub->List()) {
                auto s = sub->OpenStream(e.name, RO);
                while (size_t n = s->Read(buffer.data(), buffer.size()))
                    total += n;
            }
        }
        benchmark::DoNotOptimize(total);
    }
}

void BM_OpenByName_Gsf(benchmark::State &state) { Gsf(state, {TheSample().smallNames}); }

void BM_OpenByName_Engine(benchmark::State &state)
{
    char buffer[512];
    for (auto _ : state) {
        auto root = cfb::Storage::OpenFile(TheSample().file, RO);
        auto small = root->OpenStorage(u"small", RO);
        for (int i = 0; i < SmallCount; ++i)
            benchmark::DoNotOptimize(small->OpenStream(Name("item", i), RO)->Read(buffer, sizeof buffer));
    }
}

BENCHMARK(BM_ReadAll_Gsf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ReadAll_Engine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_OpenByName_Gsf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_OpenByName_Engine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (std::system("command -v gsf > /dev/null") != 0) {
        std::fprintf(stderr, "gsf is missing\n");
        return 1;
    }
    TheSample();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const std::string name : {"ReadAll", "OpenByName"}) {
        double ratio = reporter.Ratio("BM_" + name + "_Gsf", "BM_" + name + "_Engine");
        if (ratio > 0)
            std::printf("%s: gsf / engine = %.2f (engine %.2fx as fast as gsf)\n", name.c_str(), ratio, ratio);
    }
    return 0;
}
