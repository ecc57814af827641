// The base grid's cell access against the library's string grid it stands
// on, in one run: 1 000 000 plain cells written and read through SetCellEx /
// GetCellEx and through SetCells / Cells; and the cost of merge queries on a
// 2 x 2 and a 50 x 50 block, which should not depend on the block's size.
// The same million cells through a QTableView over a simple model (filled,
// set on its view, read through the model) are reported beside them, with
// no limit: the base grid's cell access does more by design (each write and
// read looks up merges and cell properties), the model's is a vector store.
#include "gridpack/basegrid/BaseGrid.h"

#include "BenchDisplay.h"
#include "BenchRatio.h"
#include "SimpleTableModel.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int kSide = 1000;

template <class G>
std::unique_ptr<G> NewGrid()
{
    std::unique_ptr<G> g(NewObject<G>(nullptr));
    g->SetColCount(kSide);
    g->SetRowCount(kSide);
    return g;
}

const QString kText = QStringLiteral("cell");

void BM_Library_Cells_1M(benchmark::State& state)
{
    auto g = NewGrid<TStringGrid>();
    for (auto _ : state) {
        qsizetype n = 0;
        for (int r = 0; r < kSide; ++r)
            for (int c = 0; c < kSide; ++c)
                g->SetCells(c, r, kText);
        for (int r = 0; r < kSide; ++r)
            for (int c = 0; c < kSide; ++c)
                n += g->Cells(c, r).size();
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_Library_Cells_1M)->Unit(benchmark::kMillisecond);

void BM_BaseGrid_CellEx_1M(benchmark::State& state)
{
    auto g = NewGrid<TBaseGrid>();
    for (auto _ : state) {
        qsizetype n = 0;
        for (int r = 0; r < kSide; ++r)
            for (int c = 0; c < kSide; ++c)
                g->SetCellEx(c, r, kText);
        for (int r = 0; r < kSide; ++r)
            for (int c = 0; c < kSide; ++c)
                n += g->GetCellEx(c, r).size();
        benchmark::DoNotOptimize(n);
    }
    // A grid of plain texts makes no properties: 0 here.
    state.counters["HasCellProps"] = g->FHasCellProps ? 1 : 0;
}
BENCHMARK(BM_BaseGrid_CellEx_1M)->Unit(benchmark::kMillisecond);

void BM_QTableView_Model_1M(benchmark::State& state)
{
    for (auto _ : state) {
        TSimpleTableModel model(kSide, kSide);
        for (int r = 0; r < kSide; ++r)
            for (int c = 0; c < kSide; ++c)
                model.Cell(r, c) = kText;
        QTableView view;
        SetOnView(view, &model);
        qsizetype n = 0;
        for (int r = 0; r < kSide; ++r)
            for (int c = 0; c < kSide; ++c)
                n += model.data(model.index(r, c), Qt::DisplayRole).toString().size();
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_QTableView_Model_1M)->Unit(benchmark::kMillisecond);

// Queries on the block's last cell, the one farthest from its base.
void BM_MergeQuery(benchmark::State& state)
{
    const int side = int(state.range(0));
    auto g = NewGrid<TBaseGrid>();
    g->MergeCells(1, 1, side, side);
    const int last = side;
    for (auto _ : state) {
        benchmark::DoNotOptimize(g->IsMergedCell(last, last));
        benchmark::DoNotOptimize(g->BaseCell(last, last));
        benchmark::DoNotOptimize(g->CellSpan(last, last));
        benchmark::DoNotOptimize(g->CellExt(last, last));
        benchmark::DoNotOptimize(g->GetCellEx(last, last));
    }
}
BENCHMARK(BM_MergeQuery)->Arg(2)->Arg(50);
} // namespace

int main(int argc, char** argv)
{
    Use_Offscreen_Without_Display();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.Show("BM_BaseGrid_CellEx_1M", "BM_Library_Cells_1M", "1M cells: base grid / string grid");
    reporter.Show("BM_BaseGrid_CellEx_1M", "BM_QTableView_Model_1M", "1M cells: base grid / QTableView's model");
    return 0;
}
