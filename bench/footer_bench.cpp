// The floating footer's column sums against plain code over the same cells,
// in one run, by processor time (medians of five): CalcFooter(-1) with acSUM
// on 16 columns of 100,000 rows at most 1.3 times a plain loop that parses
// and sums the same stored cell texts, and at most 1.3 times the same sums
// taken through a QTableView's simple model holding the same texts.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"

#include "BenchMain.h"
#include "SimpleTableModel.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <memory>
#include <random>

namespace {

constexpr int kRows = 100000, kCols = 16;

struct TFooterGrid {
    std::unique_ptr<TForm> Form;
    TExStringGrid* Grid = nullptr;
    TFooterGrid()
    {
        Form.reset(NewObject<TForm>(nullptr));
        Form->SetBounds(0, 0, 800, 600);
        Grid = NewObject<TExStringGrid>(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetColCount(kCols);
        // one fixed row, the data rows and the footer row
        Grid->SetRowCount(kRows + 2);
        Grid->SetFixedRows(1);
        Grid->SetFixedCols(0);
        std::mt19937 rnd(11);
        std::uniform_int_distribution<int> d(0, 99999);
        Grid->BeginUpdate();
        for (int r = 1; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Grid->SetGridCell(c, r, QString::number(d(rnd) / 100.0, 'f', 2));
        Grid->EndUpdate();
        Grid->FloatingFooter()->SetVisible(true);
        for (int c = 0; c < kCols; ++c)
            Grid->GetCellProperties(c, Grid->RowCount() - 1)->CalcType = acSUM;
        // The same texts in a model shown by a QTableView.
        Model = std::make_unique<TSimpleTableModel>(kRows, kCols);
        for (int r = 1; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Model->Cell(r - 1, c) = Grid->Cells(c, r);
        SetOnView(View, Model.get());
    }
    std::unique_ptr<TSimpleTableModel> Model;
    QTableView View;
};

TFooterGrid& Shared()
{
    static TFooterGrid g;
    return g;
}

void BM_CalcFooter_Sum(benchmark::State& state)
{
    TExStringGrid* g = Shared().Grid;
    for (auto _ : state) {
        g->CalcFooter(-1);
        benchmark::DoNotOptimize(g->Cells(0, g->RowCount() - 1));
    }
}
BENCHMARK(BM_CalcFooter_Sum)->Iterations(3)->Repetitions(5)->Unit(benchmark::kMillisecond);

// The texts read straight from where the model keeps them, not through the
// grid: the plain loop pays for nothing but parsing and adding, and parses
// the fast way (each text narrowed into a buffer and read by from_chars,
// not through QString::toDouble).
void BM_CalcFooter_Plain(benchmark::State& state)
{
    const TSimpleTableModel& texts = *Shared().Model;
    for (auto _ : state) {
        double total = 0;
        for (int c = 0; c < kCols; ++c) {
            double sum = 0;
            for (int r = 0; r < kRows; ++r) {
                const QString& t = texts.Cell(r, c);
                char buf[64];
                const qsizetype n = std::min<qsizetype>(t.size(), sizeof buf);
                for (qsizetype i = 0; i < n; ++i)
                    buf[i] = char(t[i].unicode());
                double v = 0;
                if (std::from_chars(buf, buf + n, v).ec == std::errc())
                    sum += v;
            }
            total += sum;
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_CalcFooter_Plain)->Iterations(3)->Repetitions(5)->Unit(benchmark::kMillisecond);

// The same fast loop reading the texts from the grid's own store (Cells):
// shows how much of the footer's time is the store's layout, reported only.
void BM_CalcFooter_PlainOverGridStore(benchmark::State& state)
{
    TExStringGrid* g = Shared().Grid;
    for (auto _ : state) {
        double total = 0;
        for (int c = 0; c < kCols; ++c) {
            double sum = 0;
            for (int r = 1; r <= kRows; ++r) {
                const QString t = g->Cells(c, r);
                char buf[64];
                const qsizetype n = std::min<qsizetype>(t.size(), sizeof buf);
                for (qsizetype i = 0; i < n; ++i)
                    buf[i] = char(t[i].unicode());
                double v = 0;
                if (std::from_chars(buf, buf + n, v).ec == std::errc())
                    sum += v;
            }
            total += sum;
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_CalcFooter_PlainOverGridStore)->Iterations(3)->Repetitions(5)->Unit(benchmark::kMillisecond);

// A Qt developer's column sums over the model behind a QTableView.
void BM_CalcFooter_QTableViewModel(benchmark::State& state)
{
    const QAbstractItemModel* m = Shared().View.model();
    for (auto _ : state) {
        double total = 0;
        for (int c = 0; c < kCols; ++c) {
            double sum = 0;
            for (int r = 0; r < kRows; ++r) {
                bool ok = false;
                const double v = m->data(m->index(r, c), Qt::DisplayRole).toString().toDouble(&ok);
                if (ok)
                    sum += v;
            }
            total += sum;
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_CalcFooter_QTableViewModel)->Iterations(3)->Repetitions(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunRatioBenchmarks<TCpuRatioReporter>(argc, argv, [](const TCpuRatioReporter& reporter) {
        bool ok = reporter.Within("BM_CalcFooter_Sum/iterations:3", "BM_CalcFooter_Plain/iterations:3", 1.3,
                                  "CalcFooter(-1) against a plain loop over the texts");
        ok &= reporter.Within("BM_CalcFooter_Sum/iterations:3", "BM_CalcFooter_QTableViewModel/iterations:3", 1.3,
                              "CalcFooter(-1) against sums over a QTableView's model");
        reporter.Show("BM_CalcFooter_Sum/iterations:3", "BM_CalcFooter_PlainOverGridStore/iterations:3",
                      "CalcFooter(-1) against the plain loop over the grid's store");
        return ok;
    });
}
