#pragma once
// For benchmarks on a busy machine: each side runs as repetitions, the
// repetitions of all sides alternate in random order, and the ratio is taken
// between the medians of processor time (TCpuRatioReporter keeps them).
#include "BenchRatio.h"

#include <cstring>
#include <vector>

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
