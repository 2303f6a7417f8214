// The console tables, then a summary of the figures side by side: each run's
// time is kept by its name (with repetitions, the fastest stands for the
// case: on a shared machine other work only ever adds time), and the summary
// is given them all once the last table is printed.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

using RunTimes = std::map<std::string, double>;

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    // cpuTime: the CPU time of each run, else its wall-clock time.
    SummaryReporter(bool cpuTime, std::function<void(const RunTimes&)> summary)
        : useCpuTime(cpuTime), summarise(std::move(summary)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "min") continue;
            const double time = useCpuTime ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
            const auto [kept, first] = times.try_emplace(run.run_name.str(), time);
            if (!first) kept->second = std::min(kept->second, time);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        summarise(times);
    }

private:
    bool useCpuTime;
    std::function<void(const RunTimes&)> summarise;
    RunTimes times;
};

// Runs the benchmarks asked for on the command line through the reporter.
inline int runWithSummary(int argc, char** argv, SummaryReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
