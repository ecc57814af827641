#pragma once
// The main() of a limit-checking benchmark that needs the widget platform:
// off-screen unless a platform is named, the benchmarks run through the
// ratio reporter, and Checks (given the reporter) decides the exit code.
#include "BenchRatio.h"

#include <QApplication>

// Setup runs once the toolkit has started, before the benchmarks.
template <class Reporter = TRatioReporter, class Checks, class Setup>
int RunRatioBenchmarks(int argc, char** argv, Checks checks, Setup setup)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setup();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return checks(static_cast<const Reporter&>(reporter)) ? 0 : 1;
}

template <class Reporter = TRatioReporter, class Checks>
int RunRatioBenchmarks(int argc, char** argv, Checks checks)
{
    return RunRatioBenchmarks<Reporter>(argc, argv, checks, [] {});
}
