// The string grid against QTableWidget doing the same work, in one run:
// a 1024 x 16 grid of texts filled, read back and painted into a 1920 x 1080
// viewport; and grids of 1,000, 100,000 and 1,000,000 rows filled and read
// back, against QTableWidget and a QTableView over a simple model, printed
// side by side.
#include "platform/grids/Grids.h"

#include "BenchDisplay.h"
#include "BenchRatio.h"
#include "SimpleTableModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QTableView>
#include <QTableWidget>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <string>

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

// ---- scaling: 1,000, 100,000 and 1,000,000 rows of 4 columns filled and read
// back, against QTableWidget and a QTableView over a simple model (filled,
// then set on its view), printed side by side.

constexpr int kScaleCols = 4;

void BM_StringGrid_FillRead(benchmark::State& state) {
    const int rows = int(state.range(0));
    for (auto _ : state) {
        std::unique_ptr<TStringGrid> g(NewObject<TStringGrid>(nullptr));
        g->SetColCount(kScaleCols);
        g->SetRowCount(rows);
        g->SetBounds(0, 0, 1920, 1080);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < kScaleCols; ++c) g->SetCells(c, r, TextOf(c, r));
        qsizetype n = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < kScaleCols; ++c) n += g->Cells(c, r).size();
        benchmark::DoNotOptimize(n);
    }
}

void BM_QTableWidget_FillRead(benchmark::State& state) {
    const int rows = int(state.range(0));
    for (auto _ : state) {
        auto t = std::make_unique<QTableWidget>(rows, kScaleCols);
        t->resize(1920, 1080);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < kScaleCols; ++c) t->setItem(r, c, new QTableWidgetItem(TextOf(c, r)));
        qsizetype n = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < kScaleCols; ++c) n += t->item(r, c)->text().size();
        benchmark::DoNotOptimize(n);
    }
}

void BM_QTableView_FillRead(benchmark::State& state) {
    const int rows = int(state.range(0));
    for (auto _ : state) {
        auto model = std::make_unique<TSimpleTableModel>(rows, kScaleCols);
        auto view = std::make_unique<QTableView>();
        view->resize(1920, 1080);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < kScaleCols; ++c) model->Cell(r, c) = TextOf(c, r);
        view->setModel(model.get());
        qsizetype n = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < kScaleCols; ++c)
                n += model->data(model->index(r, c), Qt::DisplayRole).toString().size();
        benchmark::DoNotOptimize(n);
        view.reset();
    }
}

BENCHMARK(BM_StringGrid_FillRead)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_QTableWidget_FillRead)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_QTableView_FillRead)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
}  // namespace

int main(int argc, char** argv) {
    Use_Offscreen_Without_Display();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.Show("BM_StringGrid_1024_FillReadPaint", "BM_QTableWidget_1024_FillReadPaint",
                  "1024 rows filled, read and painted: grid / QTableWidget");
    reporter.Show("BM_StringGrid_1024_Paint", "BM_QTableWidget_1024_Paint", "1024 rows painted: grid / QTableWidget");
    std::printf("%-10s %12s %12s %12s   (fill and read, ms; ratios grid / peer)\n", "rows", "grid", "QTableWidget",
                "QTableView");
    for (const char* n : {"1000", "100000", "1000000"}) {
        const auto t = [&](const char* who) {
            const auto it = reporter.Times.find(std::string(who) + "/" + n + "/iterations:1");
            return it == reporter.Times.end() ? -1.0 : it->second;
        };
        const double g = t("BM_StringGrid_FillRead"), w = t("BM_QTableWidget_FillRead"), v = t("BM_QTableView_FillRead");
        if (g < 0) continue;
        std::printf("%-10s %12.1f %12.1f %12.1f   %.2f / %.2f\n", n, g, w, v, w > 0 ? g / w : -1, v > 0 ? g / v : -1);
    }
    return 0;
}
