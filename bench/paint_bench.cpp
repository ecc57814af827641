// Painting only what changed, measured in one run:
// a 1280 x 1024 form holding a 1000 x 20 string grid and a few other
// controls. Invalidating one cell and painting must cost at most a tenth of
// painting the whole form; scrolling the grid down one row and painting is
// compared with a QTableWidget of the same size and content scrolled one
// row, and must not be slower.
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/grids/Grids.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTableWidget>
#include "BenchRatio.h"
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>

namespace {
constexpr int kRows = 1000, kCols = 20;
constexpr int kFormW = 1280, kFormH = 1024;
constexpr int kGridW = 1280, kGridH = 900;

QString TextOf(int c, int r) { return QStringLiteral("R%1C%2").arg(r).arg(c); }

struct TBenchForm {
    std::unique_ptr<TForm> Form;
    TStringGrid* Grid = nullptr;
    TBenchForm() {
        Form.reset(NewObject<TForm>(nullptr));
        Form->SetBorderStyle(bsNone);
        Form->SetClientSize(kFormW, kFormH);
        Grid = NewObject<TStringGrid>(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, kGridW, kGridH);
        Grid->SetColCount(kCols);
        Grid->SetRowCount(kRows);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) Grid->SetCells(c, r, TextOf(c, r));
        // A few other controls below the grid.
        auto* label = NewObject<TLabel>(Form.get());
        label->SetParent(Form.get());
        label->SetBounds(10, kGridH + 10, 200, 16);
        label->SetCaption(QStringLiteral("Rows of the table"));
        auto* edit = NewObject<TEdit>(Form.get());
        edit->SetParent(Form.get());
        edit->SetBounds(220, kGridH + 10, 200, 21);
        edit->SetText(QStringLiteral("filter"));
        auto* list = NewObject<TListBox>(Form.get());
        list->SetParent(Form.get());
        list->SetBounds(440, kGridH + 10, 300, 100);
        for (int i = 0; i < 20; ++i) list->Items()->Add(QStringLiteral("item %1").arg(i));
        for (int i = 0; i < 3; ++i) {
            auto* b = NewObject<TButton>(Form.get());
            b->SetParent(Form.get());
            b->SetBounds(760 + i * 90, kGridH + 10, 80, 25);
            b->SetCaption(QStringLiteral("Button %1").arg(i + 1));
        }
        Form->Show();
        Form->RenderClient();
    }
};

TBenchForm& Bench() {
    static TBenchForm b;
    return b;
}

void BM_PaintWholeForm(benchmark::State& state) {
    TBenchForm& b = Bench();
    for (auto _ : state) {
        b.Form->InvalidateArea(QRegion(0, 0, kFormW, kFormH));
        b.Form->PaintPending();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintWholeForm)->Unit(benchmark::kMicrosecond);

void BM_InvalidateOneCellAndPaint(benchmark::State& state) {
    TBenchForm& b = Bench();
    int i = 0;
    for (auto _ : state) {
        b.Grid->InvalidateCell(1 + i % 10, 1 + i % 20);
        b.Form->PaintPending();
        ++i;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_InvalidateOneCellAndPaint)->Unit(benchmark::kMicrosecond);

// Down one row, then back up for the next round: each step is one row.
void BM_GridScrollOneRowAndPaint(benchmark::State& state) {
    TBenchForm& b = Bench();
    b.Grid->SetTopRow(100);
    b.Form->PaintPending();
    bool down = true;
    for (auto _ : state) {
        b.Grid->Perform(WM_VSCROLL, down ? SB_LINEDOWN : SB_LINEUP);
        b.Form->PaintPending();
        down = !down;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GridScrollOneRowAndPaint)->Unit(benchmark::kMicrosecond);

void BM_QTableWidgetScrollOneRowAndPaint(benchmark::State& state) {
    QTableWidget t(kRows, kCols);
    t.resize(kGridW, kGridH);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) t.setItem(r, c, new QTableWidgetItem(TextOf(c, r)));
    QImage surface(kGridW, kGridH, QImage::Format_RGB32);
    t.verticalScrollBar()->setValue(100);
    t.render(&surface);
    bool down = true;
    for (auto _ : state) {
        t.verticalScrollBar()->setValue(t.verticalScrollBar()->value() + (down ? 1 : -1));
        t.render(&surface);
        down = !down;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_QTableWidgetScrollOneRowAndPaint)->Unit(benchmark::kMicrosecond);


}  // namespace

// Ends non-zero when a limit is passed.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bool ok = reporter.Within("BM_InvalidateOneCellAndPaint", "BM_PaintWholeForm", 0.10,
                      "one cell / whole form");
    ok &= reporter.Within("BM_GridScrollOneRowAndPaint", "BM_QTableWidgetScrollOneRowAndPaint", 1.0,
                  "grid scroll / QTableWidget scroll");
    return ok ? 0 : 1;
}
