#pragma once
// A console reporter that remembers each benchmark's time per iteration, and prints the ratio of
// a measured benchmark to its baseline in the same run.

#include <benchmark/benchmark.h>

#include <iostream>
#include <map>
#include <string>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration)
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // Nothing when either was filtered out.
    void PrintRatio(const char *what, const char *measured, const char *baseline, const char *goal)
    {
        if (!times.count(measured) || !times.count(baseline))
            return;
        std::cout << what << ": " << times[measured] / times[baseline] << "x the baseline (goal: " << goal << ")\n";
    }
};
