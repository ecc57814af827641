// The core routines the grid leans on when it sorts, filters and formats
// thousands of cells.
#include "platform/core/FloatConv.h"
#include "platform/core/Format.h"
#include "platform/core/StringList.h"

#include <QStringList>

#include <benchmark/benchmark.h>

namespace {
QStringList cellTexts(int n)
{
    QStringList r;
    uint32_t x = 12345;
    for (int i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        r << QStringLiteral("Row %1 value %2").arg(x % 1000).arg(x % 97);
    }
    return r;
}

void SortedAddIgnoringDuplicates(benchmark::State& state)
{
    const QStringList texts = cellTexts(int(state.range(0)));
    for (auto _ : state) {
        TStringList l;
        l.SetSorted(true);
        for (const QString& t : texts)
            l.Add(t);
        benchmark::DoNotOptimize(l.Count());
    }
}
BENCHMARK(SortedAddIgnoringDuplicates)->Arg(1000)->Arg(10000);

void SortUnsortedList(benchmark::State& state)
{
    const QStringList texts = cellTexts(int(state.range(0)));
    for (auto _ : state) {
        TStringList l;
        for (const QString& t : texts)
            l.Add(t);
        l.Sort();
        benchmark::DoNotOptimize(l.Count());
    }
}
BENCHMARK(SortUnsortedList)->Arg(10000);

void FormatMixed(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Format(QStringLiteral("%s %5d %.2f %x"), {QStringLiteral("cell"), 42, 3.14159, 255}));
}
BENCHMARK(FormatMixed);

void FloatText(benchmark::State& state)
{
    double v = 0.1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FloatToStr(v));
        v += 1.37;
    }
}
BENCHMARK(FloatText);

void CommaTextRoundTrip(benchmark::State& state)
{
    TStringList l;
    for (const QString& t : cellTexts(1000))
        l.Add(t);
    for (auto _ : state) {
        TStringList back;
        back.SetCommaText(l.CommaText());
        benchmark::DoNotOptimize(back.Count());
    }
}
BENCHMARK(CommaTextRoundTrip);
} // namespace

BENCHMARK_MAIN();
