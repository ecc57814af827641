// The string grid's wheel and hover on a 1920 x 1080 viewport.
// Wheel: 1,000 notches through a 100,000 x 16 grid, each followed by
// painting, against a QTableWidget of the same size whose current row moves
// by the same rows and is rendered into the same viewport; at most 2x.
// Hover: a mouse sweep over 10,000 cells with HoverRow on; the rows
// invalidated are counted and must be two per change of the hovered row.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"

#include <QApplication>
#include <QImage>
#include <QTableWidget>
#include "BenchMain.h"
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {
constexpr int kRows = 100000, kCols = 16;
constexpr int kW = 1920, kH = 1080;
constexpr int kNotches = 1000, kLines = 3;

QString TextOf(int c, int r) { return QStringLiteral("R%1C%2").arg(r).arg(c); }

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
        Form->RenderClient();
        Grid->wheelscrl = kLines;
    }
};

TBenchGrid& Bench()
{
    static TBenchGrid b;
    return b;
}

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
        b.Form->PaintPending();
        for (int i = 0; i < kNotches; ++i) {
            Notch(b.Grid);
            b.Form->PaintPending();
        }
        benchmark::ClobberMemory();
    }
    state.counters["row"] = b.Grid->Row();
}
BENCHMARK(BM_GridWheelAndPaint)->Unit(benchmark::kMillisecond);

void BM_QTableWidgetStepAndRender(benchmark::State& state)
{
    QTableWidget t(kRows, kCols);
    t.resize(kW, kH);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            t.setItem(r, c, new QTableWidgetItem(TextOf(c, r)));
    QImage surface(kW, kH, QImage::Format_RGB32);
    for (auto _ : state) {
        t.setCurrentCell(0, 1);
        t.render(&surface);
        for (int i = 0; i < kNotches; ++i) {
            t.setCurrentCell(t.currentRow() + kLines, 1);
            t.render(&surface);
        }
        benchmark::ClobberMemory();
    }
    state.counters["row"] = t.currentRow();
}
BENCHMARK(BM_QTableWidgetStepAndRender)->Unit(benchmark::kMillisecond);

// The rows touched by the pending update region.
int PendingRows(TExStringGrid* g)
{
    TRect r;
    if (!GetUpdateRect(g, &r, false))
        return 0;
    int top = -1, bottom = -1, c = -1;
    g->MouseToCell(r.Left, r.Top, c, top);
    g->MouseToCell(r.Left, r.Bottom - 1, c, bottom);
    return top < 0 || bottom < 0 ? 0 : bottom - top + 1;
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
    return RunRatioBenchmarks<TRatioReporter>(argc, argv, [](const TRatioReporter& reporter) {
        bool ok = reporter.Within("BM_GridWheelAndPaint", "BM_QTableWidgetStepAndRender", 2.0,
                                  "grid wheel / QTableWidget step");
        std::printf("hover sweep invalidates two rows per change at most: %s\n", gHoverOk ? "yes" : "NO");
        ok &= gHoverOk;
        return ok;
    });
}
