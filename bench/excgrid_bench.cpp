// The column grid against a QTableWidget holding the same texts, in one run:
// 100 000 rows x 16 columns filled, every cell read, the visible page painted,
// scrolled by a page and painted, and a column hidden and shown again. The
// column grid must not be slower on any of them, and the memory its cells
// take (resident size after filling less before) must not be larger. The
// same work through a QTableView over a simple model (what a Qt developer
// picks for a large table) has the same limits, except the fill, which is
// only reported: the model's fill is a copy into a vector before any view
// watches it, while the grid stores each cell through its own interface on
// a shown grid. Processor time, medians of repetitions run interleaved.
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Forms.h"

#include "BenchMedian.h"
#include "SimpleTableModel.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {
constexpr int kRows = 100000, kCols = 16;
constexpr int kW = 1200, kH = 800;

QString TextOf(int c, int r) { return QStringLiteral("R%1C%2").arg(r).arg(c); }

// The process's resident size in bytes (Linux), 0 where it cannot be read.
long long ResidentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    if (parts.size() < 2)
        return 0;
    return parts[1].toLongLong() * 4096;
}

// The texts, made once, so neither side's fill pays for building them.
const std::vector<QString>& Texts()
{
    static const std::vector<QString> texts = [] {
        std::vector<QString> t;
        t.reserve(size_t(kRows) * kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                t.push_back(TextOf(c, r));
        return t;
    }();
    return texts;
}

struct TColumnGridForm {
    std::unique_ptr<TForm> Form;
    TExColumnGrid* Grid = nullptr;
    TColumnGridForm()
    {
        Form.reset(NewObject<TForm>(nullptr));
        Form->SetBorderStyle(bsNone);
        Form->SetClientSize(kW, kH);
        Grid = NewObject<TExColumnGrid>(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, kW, kH);
        Grid->SetColCount(kCols);
        Grid->SetRowCount(kRows);
        Form->Show();
    }
    void Fill()
    {
        const std::vector<QString>& t = Texts();
        size_t i = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Grid->SetCellEx(c, r, t[i++]);
    }
};

struct TTableForm {
    std::unique_ptr<QTableWidget> Table;
    QImage Surface{kW, kH, QImage::Format_RGB32};
    TTableForm()
    {
        Table = std::make_unique<QTableWidget>(kRows, kCols);
        Table->resize(kW, kH);
    }
    void Fill()
    {
        const std::vector<QString>& t = Texts();
        size_t i = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Table->setItem(r, c, new QTableWidgetItem(t[i++]));
    }
};

struct TViewForm {
    std::unique_ptr<TSimpleTableModel> Model;
    std::unique_ptr<QTableView> View;
    QImage Surface{kW, kH, QImage::Format_RGB32};
    TViewForm()
    {
        Model = std::make_unique<TSimpleTableModel>(kRows, kCols);
        View = std::make_unique<QTableView>();
        View->resize(kW, kH);
    }
    // The model is filled, then set on its view.
    void Fill()
    {
        const std::vector<QString>& t = Texts();
        size_t i = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Model->Cell(r, c) = t[i++];
        SetOnView(*View, Model.get());
    }
};

TViewForm& ViewBench()
{
    static TViewForm* b = [] {
        Texts();
        auto* v = new TViewForm();
        v->Fill();
        v->View->render(&v->Surface);
        return v;
    }();
    return *b;
}

long long gGridCellBytes = 0, gTableCellBytes = 0;

// One filled instance of each, made on first use; the resident size is
// taken around each fill.
TColumnGridForm& GridBench()
{
    static TColumnGridForm* b = [] {
        Texts();
        auto* g = new TColumnGridForm();
        const long long before = ResidentBytes();
        g->Fill();
        gGridCellBytes = ResidentBytes() - before;
        g->Form->RenderClient();
        return g;
    }();
    return *b;
}

TTableForm& TableBench()
{
    static TTableForm* b = [] {
        Texts();
        auto* t = new TTableForm();
        const long long before = ResidentBytes();
        t->Fill();
        gTableCellBytes = ResidentBytes() - before;
        t->Table->render(&t->Surface);
        return t;
    }();
    return *b;
}

// --- filling: a fresh grid each round

void BM_Grid_Fill(benchmark::State& state)
{
    Texts();
    for (auto _ : state) {
        state.PauseTiming();
        auto g = std::make_unique<TColumnGridForm>();
        state.ResumeTiming();
        g->Fill();
        state.PauseTiming();
        g.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Grid_Fill)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Table_Fill(benchmark::State& state)
{
    Texts();
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<TTableForm>();
        state.ResumeTiming();
        t->Fill();
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Table_Fill)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_View_Fill(benchmark::State& state)
{
    Texts();
    for (auto _ : state) {
        state.PauseTiming();
        auto v = std::make_unique<TViewForm>();
        state.ResumeTiming();
        v->Fill();
        state.PauseTiming();
        v.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_View_Fill)->Unit(benchmark::kMillisecond)->Iterations(3);

// --- reading every cell

void BM_Grid_ReadAll(benchmark::State& state)
{
    TExColumnGrid* g = GridBench().Grid;
    for (auto _ : state) {
        qsizetype n = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                n += g->GetCellEx(c, r).size();
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_Grid_ReadAll)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_Table_ReadAll(benchmark::State& state)
{
    QTableWidget* t = TableBench().Table.get();
    for (auto _ : state) {
        qsizetype n = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                n += t->item(r, c)->text().size();
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_Table_ReadAll)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_View_ReadAll(benchmark::State& state)
{
    QAbstractItemModel* m = ViewBench().View->model();
    for (auto _ : state) {
        qsizetype n = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                n += m->data(m->index(r, c), Qt::DisplayRole).toString().size();
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_View_ReadAll)->Unit(benchmark::kMillisecond)->Repetitions(5);

// --- painting the visible page

void BM_Grid_PaintPage(benchmark::State& state)
{
    TColumnGridForm& b = GridBench();
    for (auto _ : state) {
        b.Grid->Invalidate();
        b.Form->PaintPending();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Grid_PaintPage)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_Table_PaintPage(benchmark::State& state)
{
    TTableForm& b = TableBench();
    for (auto _ : state) {
        b.Table->render(&b.Surface);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Table_PaintPage)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_View_PaintPage(benchmark::State& state)
{
    TViewForm& b = ViewBench();
    for (auto _ : state) {
        b.View->render(&b.Surface);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_View_PaintPage)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// --- a page down (then up for the next round) and painting

void BM_Grid_ScrollPageAndPaint(benchmark::State& state)
{
    TColumnGridForm& b = GridBench();
    b.Grid->SetTopRow(1000);
    b.Form->PaintPending();
    bool down = true;
    for (auto _ : state) {
        b.Grid->Perform(WM_VSCROLL, down ? SB_PAGEDOWN : SB_PAGEUP);
        b.Form->PaintPending();
        down = !down;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Grid_ScrollPageAndPaint)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_Table_ScrollPageAndPaint(benchmark::State& state)
{
    TTableForm& b = TableBench();
    QScrollBar* bar = b.Table->verticalScrollBar();
    bar->setValue(1000);
    b.Table->render(&b.Surface);
    bool down = true;
    for (auto _ : state) {
        bar->triggerAction(down ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
        b.Table->render(&b.Surface);
        down = !down;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Table_ScrollPageAndPaint)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_View_ScrollPageAndPaint(benchmark::State& state)
{
    TViewForm& b = ViewBench();
    QScrollBar* bar = b.View->verticalScrollBar();
    bar->setValue(1000);
    b.View->render(&b.Surface);
    bool down = true;
    for (auto _ : state) {
        bar->triggerAction(down ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
        b.View->render(&b.Surface);
        down = !down;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_View_ScrollPageAndPaint)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// --- hiding a column and showing it again (with the repaint each asks for)

void BM_Grid_HideUnhideColumn(benchmark::State& state)
{
    TColumnGridForm& b = GridBench();
    for (auto _ : state) {
        b.Grid->HideColumn(5);
        b.Form->PaintPending();
        b.Grid->UnHideColumn(5);
        b.Form->PaintPending();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Grid_HideUnhideColumn)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_Table_HideUnhideColumn(benchmark::State& state)
{
    TTableForm& b = TableBench();
    for (auto _ : state) {
        b.Table->setColumnHidden(5, true);
        b.Table->render(&b.Surface);
        b.Table->setColumnHidden(5, false);
        b.Table->render(&b.Surface);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Table_HideUnhideColumn)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_View_HideUnhideColumn(benchmark::State& state)
{
    TViewForm& b = ViewBench();
    for (auto _ : state) {
        b.View->setColumnHidden(5, true);
        b.View->render(&b.Surface);
        b.View->setColumnHidden(5, false);
        b.View->render(&b.Surface);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_View_HideUnhideColumn)->Unit(benchmark::kMicrosecond)->Repetitions(5);
} // namespace

// Ends non-zero when a limit is passed.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<char*> args = WithInterleaving(argc, argv);
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data()))
        return 1;
    // The memory of the cells is measured on fresh fills, before the timed
    // fills have grown and released the heap.
    GridBench();
    TableBench();
    ViewBench();
    TCpuRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bool ok = true;
    ok &= reporter.Within("BM_Grid_Fill/iterations:3", "BM_Table_Fill/iterations:3", 1.0, "fill");
    ok &= reporter.Within("BM_Grid_ReadAll", "BM_Table_ReadAll", 1.0, "read every cell");
    ok &= reporter.Within("BM_Grid_PaintPage", "BM_Table_PaintPage", 1.0, "paint the visible page");
    ok &= reporter.Within("BM_Grid_ScrollPageAndPaint", "BM_Table_ScrollPageAndPaint", 1.0,
                          "scroll a page and paint");
    ok &= reporter.Within("BM_Grid_HideUnhideColumn", "BM_Table_HideUnhideColumn", 1.0,
                          "hide and show a column");
    reporter.Show("BM_Grid_Fill/iterations:3", "BM_View_Fill/iterations:3", "fill against QTableView");
    ok &= reporter.Within("BM_Grid_ReadAll", "BM_View_ReadAll", 1.0, "read every cell against QTableView");
    ok &= reporter.Within("BM_Grid_PaintPage", "BM_View_PaintPage", 1.0, "paint the visible page against QTableView");
    ok &= reporter.Within("BM_Grid_ScrollPageAndPaint", "BM_View_ScrollPageAndPaint", 1.0,
                          "scroll a page and paint against QTableView");
    ok &= reporter.Within("BM_Grid_HideUnhideColumn", "BM_View_HideUnhideColumn", 1.0,
                          "hide and show a column against QTableView");
    std::printf("cell memory: column grid %lld KiB, QTableWidget %lld KiB\n", gGridCellBytes / 1024,
                gTableCellBytes / 1024);
    if (gGridCellBytes > 0 && gTableCellBytes > 0 && gGridCellBytes > gTableCellBytes) {
        std::printf("cell memory: the column grid takes more\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
