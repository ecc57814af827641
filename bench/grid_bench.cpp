// The string grid against QTableWidget doing the same work, in one run:
// a 1024 x 16 grid of texts filled, read back and painted into a 1920 x 1080
// viewport, and a 100 000 x 16 grid filled and read back.
#include "platform/grids/Grids.h"

#include "BenchDisplay.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QTableWidget>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
constexpr int kCols = 16;

QString TextOf(int c, int r) { return QStringLiteral("R%1C%2").arg(r).arg(c); }

std::unique_ptr<TStringGrid> NewGrid(int rows) {
    std::unique_ptr<TStringGrid> g(NewObject<TStringGrid>(nullptr));
    g->SetColCount(kCols);
    g->SetRowCount(rows);
    g->SetBounds(0, 0, 1920, 1080);
    return g;
}

void FillOurs(TStringGrid* g, int rows) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kCols; ++c) g->SetCells(c, r, TextOf(c, r));
}

qsizetype ReadOurs(TStringGrid* g, int rows) {
    qsizetype n = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kCols; ++c) n += g->Cells(c, r).size();
    return n;
}

std::unique_ptr<QTableWidget> NewTable(int rows) {
    auto t = std::make_unique<QTableWidget>(rows, kCols);
    t->resize(1920, 1080);
    return t;
}

void FillQt(QTableWidget* t, int rows) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kCols; ++c) t->setItem(r, c, new QTableWidgetItem(TextOf(c, r)));
}

qsizetype ReadQt(QTableWidget* t, int rows) {
    qsizetype n = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kCols; ++c) n += t->item(r, c)->text().size();
    return n;
}

// ---- 1024 x 16: fill, read back, paint

void BM_StringGrid_1024_FillReadPaint(benchmark::State& state) {
    QImage viewport(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        auto g = NewGrid(1024);
        FillOurs(g.get(), 1024);
        benchmark::DoNotOptimize(ReadOurs(g.get(), 1024));
        g->PaintTo(viewport, Point(0, 0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StringGrid_1024_FillReadPaint)->Unit(benchmark::kMillisecond);

void BM_QTableWidget_1024_FillReadPaint(benchmark::State& state) {
    QImage viewport(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        auto t = NewTable(1024);
        FillQt(t.get(), 1024);
        benchmark::DoNotOptimize(ReadQt(t.get(), 1024));
        t->render(&viewport);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_QTableWidget_1024_FillReadPaint)->Unit(benchmark::kMillisecond);

// ---- painting alone, the grids filled beforehand

void BM_StringGrid_1024_Paint(benchmark::State& state) {
    QImage viewport(1920, 1080, QImage::Format_RGB32);
    auto g = NewGrid(1024);
    FillOurs(g.get(), 1024);
    for (auto _ : state) {
        g->PaintTo(viewport, Point(0, 0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StringGrid_1024_Paint)->Unit(benchmark::kMillisecond);

void BM_QTableWidget_1024_Paint(benchmark::State& state) {
    QImage viewport(1920, 1080, QImage::Format_RGB32);
    auto t = NewTable(1024);
    FillQt(t.get(), 1024);
    for (auto _ : state) {
        t->render(&viewport);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_QTableWidget_1024_Paint)->Unit(benchmark::kMillisecond);

// ---- 100 000 x 16: fill and read back

void BM_StringGrid_100000_FillRead(benchmark::State& state) {
    for (auto _ : state) {
        auto g = NewGrid(100000);
        FillOurs(g.get(), 100000);
        benchmark::DoNotOptimize(ReadOurs(g.get(), 100000));
    }
}
BENCHMARK(BM_StringGrid_100000_FillRead)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_QTableWidget_100000_FillRead(benchmark::State& state) {
    for (auto _ : state) {
        auto t = NewTable(100000);
        FillQt(t.get(), 100000);
        benchmark::DoNotOptimize(ReadQt(t.get(), 100000));
    }
}
BENCHMARK(BM_QTableWidget_100000_FillRead)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace

int main(int argc, char** argv) {
    Use_Offscreen_Without_Display();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
