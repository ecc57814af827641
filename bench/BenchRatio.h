#pragma once
// The reporter every limit-checking benchmark shares: it prints as the console
// reporter does and keeps each run's adjusted real time by name, so that
// main() can compare two runs of the same program and end non-zero past a
// limit.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

//
// A benchmark repeated (->Repetitions(n) or --benchmark_repetitions) is kept
// by its median, under its name without the "/repeats:n" and timing parts
// ("/process_time"), so that a check names it the same however it is run.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            keep(r, r.GetAdjustedRealTime());
    }
    // a / b, or a negative number when a filter left one of them out.
    double Ratio(const char* a, const char* b) const
    {
        const auto ta = Times.find(a);
        const auto tb = Times.find(b);
        if (ta == Times.end() || tb == Times.end() || tb->second <= 0)
            return -1;
        return ta->second / tb->second;
    }
    // Prints "<what>: a / b (limit ...)" and answers whether the ratio keeps to
    // the limit; a run left out by a filter passes and prints nothing.
    bool Within(const char* a, const char* b, double limit, const char* what) const
    {
        const double ratio = Ratio(a, b);
        if (ratio < 0)
            return true;
        std::printf("%s: %.3f (limit %.2f)\n", what, ratio, limit);
        return ratio <= limit;
    }
    // Prints "<what>: a / b" for a comparison that has no limit.
    void Show(const char* a, const char* b, const char* what) const
    {
        const double ratio = Ratio(a, b);
        if (ratio >= 0)
            std::printf("%s: %.3f\n", what, ratio);
    }
    std::map<std::string, double> Times;

protected:
    // Iterations come before the aggregates of their repetitions: the median
    // replaces them.
    void keep(const Run& r, double time)
    {
        if (r.error_occurred)
            return;
        if (r.run_type == Run::RT_Iteration)
            Times[Key(r)] = time;
        else if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
            Times[Key(r)] = time;
    }
    static std::string Key(const Run& r)
    {
        benchmark::BenchmarkName name = r.run_name;
        name.repetitions.clear();
        name.time_type.clear();
        return name.str();
    }
};

// The same, comparing processor time: for runs whose real time is mostly the
// same disk wait on both sides.
class TCpuRatioReporter : public TRatioReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            keep(r, r.GetAdjustedCPUTime());
    }
};
