// The string grid's scrolling on a shown 1920 x 1080 window, against shown Qt
// peers holding the same 100,000 x 16 texts; every side pays for what a
// person waits for: the scroll itself and the processing of the paint it
// asks for, up to the window's backing store.
// One row: a line down (then up for the next step) and the events it posts;
// at most 0.7 times a QTableWidget and a QTableView over a plain model, which
// both move the pixels already drawn and paint the uncovered strip.
// Wheel: 1,000 notches through the grid, each followed by its paint, against
// the same peers whose current row moves by the same rows; at most 2x.
// Hover: a mouse sweep over 10,000 cells with HoverRow on; the rows
// invalidated are counted and must be two per change of the hovered row.
// Times are the processor time of the whole process (the toolkit paints with
// helper threads), medians of repetitions run interleaved.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/FormHost.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include "BenchMain.h"
#include "BenchMedian.h"
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
constexpr int kRows = 100000, kCols = 16;
constexpr int kW = 1920, kH = 1080;
constexpr int kNotches = 1000, kLines = 3;
constexpr int kScrollSteps = 200;
constexpr int kRepetitions = 15;
constexpr int kWheelRepetitions = 7;

QString TextOf(int c, int r) { return QStringLiteral("R%1C%2").arg(r).arg(c); }

// Handles what the window system has queued: the paint a scroll asked for.
void ProcessPaints() { QApplication::processEvents(); }

struct TBenchGrid {
    std::unique_ptr<TForm> Form;
    TExStringGrid* Grid = nullptr;
    TBenchGrid()
    {
        Form.reset(NewObject<TForm>(nullptr));
        Form->SetBorderStyle(bsNone);
        Form->SetClientSize(kW, kH);
        Grid = NewObject<TExStringGrid>(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, kW, kH);
        Grid->SetColCount(kCols);
        Grid->SetRowCount(kRows);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Grid->SetCells(c, r, TextOf(c, r));
        Form->Show();
        ProcessPaints();
        Grid->wheelscrl = kLines;
    }
};

std::unique_ptr<TBenchGrid> gGrid;

TBenchGrid& Bench()
{
    if (!gGrid)
        gGrid = std::make_unique<TBenchGrid>();
    return *gGrid;
}

// The peers' model: the texts in one array, handed out for display.
class TTextModel : public QAbstractTableModel {
public:
    TTextModel()
    {
        FTexts.reserve(std::size_t(kRows) * kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                FTexts.push_back(TextOf(c, r));
    }
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kRows; }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kCols; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        return FTexts[std::size_t(index.row()) * kCols + index.column()];
    }

private:
    std::vector<QString> FTexts;
};

struct TPeers {
    std::unique_ptr<QTableWidget> Widget;
    std::unique_ptr<TTextModel> Model;
    std::unique_ptr<QTableView> View;
    TPeers()
    {
        Widget = std::make_unique<QTableWidget>(kRows, kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Widget->setItem(r, c, new QTableWidgetItem(TextOf(c, r)));
        Model = std::make_unique<TTextModel>();
        View = std::make_unique<QTableView>();
        View->setModel(Model.get());
        for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(Widget.get()),
                                     static_cast<QAbstractItemView*>(View.get())}) {
            v->setWindowFlags(Qt::FramelessWindowHint);
            v->setGeometry(0, 0, kW, kH);
            v->show();
        }
        ProcessPaints();
    }
};

std::unique_ptr<TPeers> gPeers;

TPeers& Peers()
{
    if (!gPeers)
        gPeers = std::make_unique<TPeers>();
    return *gPeers;
}

// --- one row down, then up for the next step: each step scrolls one row

void BM_GridScrollOneRow(benchmark::State& state)
{
    TBenchGrid& b = Bench();
    b.Grid->SetTopRow(100);
    ProcessPaints();
    for (auto _ : state) {
        for (int i = 0; i < kScrollSteps; ++i) {
            b.Grid->Perform(WM_VSCROLL, i % 2 == 0 ? SB_LINEDOWN : SB_LINEUP);
            ProcessPaints();
        }
        benchmark::ClobberMemory();
    }
    state.counters["top"] = b.Grid->TopRow();
    if (!b.Form->UpdateRegion().isEmpty())
        state.SkipWithError("the grid's paint was not processed");
}
BENCHMARK(BM_GridScrollOneRow)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->MeasureProcessCPUTime();

void ScrollPeerOneRow(benchmark::State& state, QAbstractItemView* v)
{
    QScrollBar* bar = v->verticalScrollBar();
    bar->setValue(100);
    ProcessPaints();
    for (auto _ : state) {
        for (int i = 0; i < kScrollSteps; ++i) {
            bar->triggerAction(i % 2 == 0 ? QAbstractSlider::SliderSingleStepAdd
                                          : QAbstractSlider::SliderSingleStepSub);
            ProcessPaints();
        }
        benchmark::ClobberMemory();
    }
    state.counters["top"] = bar->value();
}

void BM_QTableWidgetScrollOneRow(benchmark::State& state) { ScrollPeerOneRow(state, Peers().Widget.get()); }
BENCHMARK(BM_QTableWidgetScrollOneRow)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->MeasureProcessCPUTime();

void BM_QTableViewScrollOneRow(benchmark::State& state) { ScrollPeerOneRow(state, Peers().View.get()); }
BENCHMARK(BM_QTableViewScrollOneRow)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->MeasureProcessCPUTime();

// --- the wheel: the current row moves three rows a notch

// One notch towards the user through the window procedure.
void Notch(TExStringGrid* g)
{
    const WPARAM w = WPARAM(std::uint16_t(-120)) << 16;
    g->Perform(WM_MOUSEWHEEL, w, 0);
}

void BM_GridWheelAndPaint(benchmark::State& state)
{
    TBenchGrid& b = Bench();
    for (auto _ : state) {
        b.Grid->SetRow(1);
        b.Grid->SetTopRow(1);
        ProcessPaints();
        for (int i = 0; i < kNotches; ++i) {
            Notch(b.Grid);
            ProcessPaints();
        }
        benchmark::ClobberMemory();
    }
    state.counters["row"] = b.Grid->Row();
}
BENCHMARK(BM_GridWheelAndPaint)->Unit(benchmark::kMillisecond)->Repetitions(kWheelRepetitions)->MeasureProcessCPUTime();

void PeerWheel(benchmark::State& state, QAbstractItemView* v)
{
    QAbstractItemModel* m = v->model();
    for (auto _ : state) {
        v->setCurrentIndex(m->index(1, 1));
        v->scrollToTop();
        ProcessPaints();
        for (int i = 0; i < kNotches; ++i) {
            v->setCurrentIndex(m->index(v->currentIndex().row() + kLines, 1));
            ProcessPaints();
        }
        benchmark::ClobberMemory();
    }
    state.counters["row"] = v->currentIndex().row();
}

void BM_QTableWidgetWheelAndPaint(benchmark::State& state) { PeerWheel(state, Peers().Widget.get()); }
BENCHMARK(BM_QTableWidgetWheelAndPaint)->Unit(benchmark::kMillisecond)->Repetitions(kWheelRepetitions)->MeasureProcessCPUTime();

void BM_QTableViewWheelAndPaint(benchmark::State& state) { PeerWheel(state, Peers().View.get()); }
BENCHMARK(BM_QTableViewWheelAndPaint)->Unit(benchmark::kMillisecond)->Repetitions(kWheelRepetitions)->MeasureProcessCPUTime();

// --- hovering

// The rows the pending update region touches: each row in view whose band
// meets it (not the rows of its bounding box: two rows far apart, the one
// left and the one reached, are two).
int PendingRows(TExStringGrid* g)
{
    TCustomForm* f = GetParentForm(g);
    const QRegion pending = f->UpdateRegion();
    if (pending.isEmpty())
        return 0;
    const TPoint at = g->ClientToScreen(Point(0, 0)), fo = f->ClientToScreen(Point(0, 0));
    const int dx = at.X - fo.X, dy = at.Y - fo.Y;
    int rows = 0;
    for (int r = g->TopRow(); r <= g->TopRow() + g->VisibleRowCount() && r < g->RowCount(); ++r) {
        const TRect cr = g->CellRect(0, r);
        if (cr.IsEmpty())
            continue;
        if (pending.intersects(QRect(dx, dy + cr.Top, g->ClientWidth(), cr.Height())))
            ++rows;
    }
    return rows;
}

bool gHoverOk = true;

void BM_GridHoverSweep(benchmark::State& state)
{
    TBenchGrid& b = Bench();
    TExStringGrid* g = b.Grid;
    g->HoverRow = true;
    g->SetTopRow(1);
    g->SetLeftCol(1);
    b.Form->PaintPending();
    long changes = 0, rows = 0, still = 0;
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) {
            // Along the normal cells of each row (the fixed column's own
            // hot tracking stays out of the count), then to the next row:
            // down rows 1..40 and back up, so the hovered row always changes
            // to a neighbour.
            const int k = (i / (kCols - 1)) % 78;
            const int c = 1 + i % (kCols - 1), r = 1 + (k < 39 ? k : 78 - k);
            const TRect cr = g->CellRect(c, r);
            const int before = g->FHoverRowIdx;
            Input::MouseMove(g, (cr.Left + cr.Right) / 2, (cr.Top + cr.Bottom) / 2);
            DrainPostedMessages();
            if (g->FHoverRowIdx != before) {
                ++changes;
                rows += PendingRows(g);
            } else {
                still += PendingRows(g);
            }
            b.Form->PaintPending();
        }
    }
    g->HoverRow = false;
    state.counters["hover changes"] = double(changes);
    state.counters["rows invalidated"] = double(rows);
    state.counters["rows invalidated without a change"] = double(still);
    // Each change repaints the row left and the row reached (the first one
    // has no row to leave); a move within a row repaints none.
    gHoverOk = rows <= 2 * changes && still == 0;
}
BENCHMARK(BM_GridHoverSweep)->Unit(benchmark::kMillisecond)->Iterations(1);


} // namespace

// Ends non-zero when a limit is passed.
int main(int argc, char** argv)
{
    // The repetitions of the sides alternate, so a busy moment of the
    // machine does not fall on one side only.
    std::vector<char*> args = WithInterleaving(argc, argv);
    int n = int(args.size());
    SetFormHostsEnabled(true);
    return RunRatioBenchmarks<TCpuRatioReporter>(n, args.data(), [](const TCpuRatioReporter& reporter) {
        bool ok = reporter.Within("BM_GridScrollOneRow", "BM_QTableWidgetScrollOneRow", 0.7,
                                  "one-row scroll: grid / QTableWidget");
        ok &= reporter.Within("BM_GridScrollOneRow", "BM_QTableViewScrollOneRow", 0.7,
                              "one-row scroll: grid / QTableView");
        ok &= reporter.Within("BM_GridWheelAndPaint", "BM_QTableWidgetWheelAndPaint", 2.0,
                              "wheel: grid / QTableWidget");
        ok &= reporter.Within("BM_GridWheelAndPaint", "BM_QTableViewWheelAndPaint", 2.0,
                              "wheel: grid / QTableView");
        std::printf("hover sweep invalidates two rows per change at most: %s\n", gHoverOk ? "yes" : "NO");
        ok &= gHoverOk;
        // The windows go before the toolkit does.
        gGrid.reset();
        gPeers.reset();
        return ok;
    });
}
