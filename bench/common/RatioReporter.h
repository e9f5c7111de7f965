#pragma once
// The console reporter of every benchmark program: it keeps each benchmark's time per iteration
// and prints the ratio of a measured benchmark to its baseline from the same run, the only kind of
// number that holds on a busy machine.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double real = 0; // seconds per iteration
        double cpu = 0;
        bool realTime = false; // measured with UseRealTime()
    };

    // By full benchmark name ("BM_Load/min_time:2.000", "Resize/6/real_time"). Failed runs are
    // left out. Lookups below take the full name or the function name alone ("BM_Load"), which
    // then stands for the first of its runs.
    std::map<std::string, Times> times;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations <= 0)
                continue;
            double n = static_cast<double>(run.iterations);
            times[run.benchmark_name()] = {run.real_accumulated_time / n, run.cpu_accumulated_time / n,
                                           run.run_name.time_type.find("real") != std::string::npos};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    const Times *Find(const std::string &name) const
    {
        auto it = times.find(name);
        if (it == times.end()) {
            const std::string prefix = name + "/";
            it = times.lower_bound(prefix);
            if (it == times.end() || it->first.compare(0, prefix.size(), prefix) != 0)
                return nullptr;
        }
        return &it->second;
    }
    bool Has(const std::string &name) const { return Find(name) != nullptr; }

    // Seconds per iteration as the benchmark measured it (real or CPU time); 0 when it did not run.
    double Seconds(const std::string &name) const
    {
        const Times *t = Find(name);
        return !t ? 0 : t->realTime ? t->real : t->cpu;
    }

    // measured / baseline, in real time when either was measured in real time; 0 when either did
    // not run.
    double Ratio(const std::string &measured, const std::string &baseline) const
    {
        const Times *m = Find(measured), *b = Find(baseline);
        if (!m || !b)
            return 0;
        bool real = m->realTime || b->realTime;
        double base = real ? b->real : b->cpu;
        return base > 0 ? (real ? m->real : m->cpu) / base : 0;
    }

    // "WHAT: 1.23x the baseline (goal: GOAL)"; nothing when either was filtered out.
    void PrintRatio(const char *what, const char *measured, const char *baseline, const char *goal) const
    {
        double ratio = Ratio(measured, baseline);
        if (ratio > 0)
            std::printf("%s: %.2fx the baseline (goal: %s)\n", what, ratio, goal);
    }
};
