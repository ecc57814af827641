#pragma once
// For benchmarks on a busy machine: each side runs as repetitions, the
// repetitions of all sides alternate in random order, and the ratio is taken
// between the medians of processor time.
#include "BenchRatio.h"

#include <cstring>
#include <vector>

// Keeps the median of each benchmark's repetitions under the benchmark's own
// name (the function name), so Within("BM_A", "BM_B", ...) compares them.
class TMedianReporter : public TCpuRatioReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        TCpuRatioReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median" && !r.error_occurred)
                Times[r.run_name.function_name] = r.GetAdjustedCPUTime();
    }
};

// The command line with random interleaving switched on, unless the caller
// said otherwise.
inline std::vector<char*> WithInterleaving(int argc, char** argv)
{
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args(argv, argv + argc);
    bool given = false;
    for (char* a : args)
        given |= std::strncmp(a, "--benchmark_enable_random_interleaving", 38) == 0;
    if (!given)
        args.push_back(interleave);
    return args;
}
