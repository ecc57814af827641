// The string grid's data operations against plain code over the same data,
// in one run, by processor time (limits checked at the end):
//  - QSort of 100,000 rows x 4 columns of random numeric texts at most 3
//    times std::stable_sort over the same rows with the same per-comparison
//    classifying and parsing, at most QTableWidget::sortItems with the
//    numbers stored as numbers and at most 4 times a QTableView over a model
//    that sorts by keys parsed once (medians of five to nine sorts);
//  - sorted, reversed, all-equal and organ-pipe columns within 10 times the
//    random case (and without deep recursion: the sort's depth is bounded);
//  - ApplyFilter hiding half the rows plus RemoveLastFilter at most 2 times
//    the expression matcher over the same 100,000 texts alone;
//  - a Find without a match over 400,000 cells at most 3 times a loop that
//    upper-cases and searches the same texts;
//  - Group on a column of 1,000 distinct values with summary rows at most
//    3 times the QSort it starts with.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/basegrid/RorIdad.h"
#include "platform/controls/Forms.h"
#include "platform/core/FloatConv.h"
#include "platform/core/StrUtils.h"

#include "BenchMain.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QTableView>
#include <QTableWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kRows = 100000, kCols = 4;

using TRows = std::vector<std::vector<QString>>;

enum TPattern { ptRandom, ptSorted, ptReversed, ptEqual, ptOrganPipe };

TRows MakeRows(TPattern p)
{
    std::mt19937 rnd(7);
    std::uniform_int_distribution<int> d(0, 999999);
    TRows rows(kRows, std::vector<QString>(kCols));
    for (int r = 0; r < kRows; ++r) {
        int first = d(rnd);
        switch (p) {
        case ptRandom:
            break;
        case ptSorted:
            first = r;
            break;
        case ptReversed:
            first = kRows - r;
            break;
        case ptEqual:
            first = 5;
            break;
        case ptOrganPipe:
            first = r < kRows / 2 ? r : kRows - r;
            break;
        }
        rows[size_t(r)][0] = QString::number(first);
        for (int c = 1; c < kCols; ++c)
            rows[size_t(r)][size_t(c)] = QString::number(d(rnd));
    }
    return rows;
}

struct TGridForm {
    std::unique_ptr<TForm> Form;
    TExStringGrid* Grid = nullptr;
    explicit TGridForm(const TRows& rows)
    {
        Form.reset(NewObject<TForm>(nullptr));
        Form->SetBounds(0, 0, 800, 600);
        Grid = NewObject<TExStringGrid>(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetColCount(kCols);
        Grid->SetRowCount(int(rows.size()));
        Grid->SetFixedRows(0);
        Grid->SetFixedCols(0);
        Grid->BeginUpdate();
        for (int r = 0; r < int(rows.size()); ++r)
            for (int c = 0; c < kCols; ++c)
                Grid->SetGridCell(c, r, rows[size_t(r)][size_t(c)]);
        Grid->EndUpdate();
    }
};

// The plain compare: classify the first text, parse both, compare; ties go
// to the next column, as the grid's Full setting does.
int PlainCompare(const std::vector<QString>& a, const std::vector<QString>& b)
{
    for (int c = 0; c < kCols; ++c) {
        const QString& s1 = a[size_t(c)];
        const QString& s2 = b[size_t(c)];
        const int k = ClassifyNumberText(s1);
        double v1 = 0, v2 = 0;
        if (k == 0 || k == 1 || k == 5) {
            TryStrToFloat(s1, v1);
            TryStrToFloat(s2, v2);
        }
        if (v1 != v2)
            return v1 < v2 ? -1 : 1;
    }
    return 0;
}

void SortBench(benchmark::State& state, TPattern p)
{
    const TRows rows = MakeRows(p);
    for (auto _ : state) {
        state.PauseTiming();
        TGridForm f(rows);
        state.ResumeTiming();
        f.Grid->Sort(0, sdAscending);
        benchmark::DoNotOptimize(f.Grid->Swaps);
        state.PauseTiming();
        f.Form.reset();
        state.ResumeTiming();
    }
}

void BM_QSort_Random(benchmark::State& s) { SortBench(s, ptRandom); }
void BM_QSort_Sorted(benchmark::State& s) { SortBench(s, ptSorted); }
void BM_QSort_Reversed(benchmark::State& s) { SortBench(s, ptReversed); }
void BM_QSort_Equal(benchmark::State& s) { SortBench(s, ptEqual); }
void BM_QSort_OrganPipe(benchmark::State& s) { SortBench(s, ptOrganPipe); }
BENCHMARK(BM_QSort_Random)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);
BENCHMARK(BM_QSort_Sorted)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QSort_Reversed)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QSort_Equal)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QSort_OrganPipe)->Unit(benchmark::kMillisecond)->Iterations(3);

// --- the peers a Qt developer would pick for the same sort

// QTableWidget with the numbers stored as numbers, sorted on column 0.
void BM_Sort_QTableWidget(benchmark::State& state)
{
    const TRows rows = MakeRows(ptRandom);
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<QTableWidget>(kRows, kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                auto* it = new QTableWidgetItem;
                it->setData(Qt::DisplayRole, rows[size_t(r)][size_t(c)].toInt());
                w->setItem(r, c, it);
            }
        state.ResumeTiming();
        w->sortItems(0, Qt::AscendingOrder);
        benchmark::DoNotOptimize(w->item(0, 0));
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}

// A table model that sorts by keys parsed once per sort, stable on ties.
class TKeySortModel : public QAbstractTableModel {
public:
    explicit TKeySortModel(const TRows& rows) : Rows(rows) {}
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(Rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kCols; }
    QVariant data(const QModelIndex& i, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return Rows[size_t(i.row())][size_t(i.column())];
    }
    void sort(int column, Qt::SortOrder order) override
    {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<std::pair<double, int>> keys(Rows.size());
        for (size_t i = 0; i < Rows.size(); ++i)
            keys[i] = {Rows[i][size_t(column)].toDouble(), int(i)};
        const bool up = order == Qt::AscendingOrder;
        std::stable_sort(keys.begin(), keys.end(),
                         [up](const auto& a, const auto& b) { return up ? a.first < b.first : b.first < a.first; });
        TRows sorted(Rows.size());
        for (size_t i = 0; i < keys.size(); ++i)
            sorted[i] = std::move(Rows[size_t(keys[i].second)]);
        Rows.swap(sorted);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    TRows Rows;
};

void BM_Sort_KeyModelView(benchmark::State& state)
{
    const TRows rows = MakeRows(ptRandom);
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<TKeySortModel>(rows);
        auto view = std::make_unique<QTableView>();
        view->setModel(model.get());
        state.ResumeTiming();
        view->sortByColumn(0, Qt::AscendingOrder);
        benchmark::DoNotOptimize(model->Rows.front());
        state.PauseTiming();
        view.reset();
        model.reset();
        state.ResumeTiming();
    }
}

void BM_StableSort_Plain(benchmark::State& state)
{
    const TRows rows = MakeRows(ptRandom);
    for (auto _ : state) {
        state.PauseTiming();
        TRows copy = rows;
        state.ResumeTiming();
        std::stable_sort(copy.begin(), copy.end(), [](const auto& a, const auto& b) { return PlainCompare(a, b) < 0; });
        benchmark::DoNotOptimize(copy.front());
    }
}
BENCHMARK(BM_StableSort_Plain)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sort_QTableWidget)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_Sort_KeyModelView)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);

// --- filtering: "<500000" hides about half the rows

const QString kCondition = QStringLiteral("<500000");

void BM_Filter_ApplyRemove(benchmark::State& state)
{
    const TRows rows = MakeRows(ptRandom);
    TGridForm f(rows);
    TFilterData* item = f.Grid->Filter()->Add();
    item->Column = 0;
    item->Condition = kCondition;
    for (auto _ : state) {
        f.Grid->ApplyFilter();
        benchmark::DoNotOptimize(f.Grid->RowCount());
        f.Grid->RemoveLastFilter();
    }
}
BENCHMARK(BM_Filter_ApplyRemove)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Filter_Plain(benchmark::State& state)
{
    const TRows rows = MakeRows(ptRandom);
    for (auto _ : state) {
        int kept = 0;
        for (const auto& row : rows)
            kept += MatchFilterExpression(kCondition, row[0], true);
        benchmark::DoNotOptimize(kept);
    }
}
BENCHMARK(BM_Filter_Plain)->Unit(benchmark::kMillisecond)->Iterations(3);

// --- find without a match over 400,000 cells

void BM_Find_NoMatch(benchmark::State& state)
{
    const TRows rows = MakeRows(ptRandom);
    TGridForm f(rows);
    for (auto _ : state)
        benchmark::DoNotOptimize(f.Grid->Find(TPoint{-1, -1}, QStringLiteral("nowhere"), 0));
}
BENCHMARK(BM_Find_NoMatch)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Find_Plain(benchmark::State& state)
{
    const TRows rows = MakeRows(ptRandom);
    const QString needle = AnsiUpperCase(QStringLiteral("nowhere"));
    for (auto _ : state) {
        int hits = 0;
        for (int c = 0; c < kCols; ++c)
            for (const auto& row : rows)
                hits += AnsiUpperCase(row[size_t(c)]).contains(needle);
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(BM_Find_Plain)->Unit(benchmark::kMillisecond)->Iterations(3);

// --- grouping: column 1 holds 1,000 distinct values

TRows GroupRows()
{
    TRows rows = MakeRows(ptRandom);
    for (int r = 0; r < kRows; ++r)
        rows[size_t(r)][1] = QString::number(rows[size_t(r)][1].toInt() % 1000);
    return rows;
}

void GroupBench(benchmark::State& state, bool group)
{
    const TRows rows = GroupRows();
    for (auto _ : state) {
        state.PauseTiming();
        TGridForm f(rows);
        f.Grid->Grouping()->Summary = true;
        state.ResumeTiming();
        if (group)
            f.Grid->Group(1);
        else
            f.Grid->Sort(1, sdAscending);
        benchmark::DoNotOptimize(f.Grid->RowCount());
        state.PauseTiming();
        f.Form.reset();
        state.ResumeTiming();
    }
}

void BM_Group_Summary(benchmark::State& s) { GroupBench(s, true); }
void BM_Group_QSortAlone(benchmark::State& s) { GroupBench(s, false); }
BENCHMARK(BM_Group_Summary)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Group_QSortAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

// Ends non-zero when a limit is passed.
int main(int argc, char** argv)
{
    return RunRatioBenchmarks<TCpuRatioReporter>(argc, argv, [](const TCpuRatioReporter& reporter) {
        bool ok = true;
        const char* random = "BM_QSort_Random/iterations:1";
        ok &= reporter.Within(random, "BM_StableSort_Plain/iterations:3", 3.0, "QSort against stable_sort");
        ok &= reporter.Within(random, "BM_Sort_QTableWidget/iterations:1", 1.0, "QSort against QTableWidget::sortItems");
        ok &= reporter.Within(random, "BM_Sort_KeyModelView/iterations:1", 4.0,
                              "QSort against a QTableView over a key-sorting model");
        ok &= reporter.Within("BM_QSort_Sorted/iterations:3", random, 10.0, "sorted column");
        ok &= reporter.Within("BM_QSort_Reversed/iterations:3", random, 10.0, "reversed column");
        ok &= reporter.Within("BM_QSort_Equal/iterations:3", random, 10.0, "all-equal column");
        ok &= reporter.Within("BM_QSort_OrganPipe/iterations:3", random, 10.0, "organ-pipe column");
        ok &= reporter.Within("BM_Filter_ApplyRemove/iterations:3", "BM_Filter_Plain/iterations:3", 2.0,
                              "ApplyFilter + RemoveLastFilter");
        ok &= reporter.Within("BM_Find_NoMatch/iterations:3", "BM_Find_Plain/iterations:3", 3.0, "Find without match");
        ok &= reporter.Within("BM_Group_Summary/iterations:3", "BM_Group_QSortAlone/iterations:3", 3.0,
                              "Group against its QSort");
        return ok;
    });
}
