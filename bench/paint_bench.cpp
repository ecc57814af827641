// Painting only what changed, measured in one run:
// a 1280 x 1024 form holding a 1000 x 20 string grid and a few other
// controls. Invalidating one cell and painting must cost at most a tenth of
// painting the whole form. On the shown window, the grid's whole page and
// one of its cells, painted when the window system asks, must not be slower
// than the same on a shown QTableWidget and a shown QTableView over a simple
// model of the same size and texts. (Scrolling against the same peers is
// measured by gridscroll_bench.)
#include "platform/controls/FormHost.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/grids/Grids.h"

#include <QApplication>
#include <QImage>
#include <QHeaderView>
#include <QTableView>
#include <QTableWidget>
#include "BenchMedian.h"
#include "SimpleTableModel.h"
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
    // Kept to the end of the process: its window must not outlive the toolkit.
    static TBenchForm* b = new TBenchForm();
    return *b;
}

void BM_PaintWholeForm(benchmark::State& state) {
    TBenchForm& b = Bench();
    for (auto _ : state) {
        b.Form->InvalidateArea(QRegion(0, 0, kFormW, kFormH));
        b.Form->PaintPending();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintWholeForm)->Unit(benchmark::kMicrosecond)->Repetitions(7);

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
BENCHMARK(BM_InvalidateOneCellAndPaint)->Unit(benchmark::kMicrosecond)->Repetitions(7);

// --- the same page shown by a QTableWidget and by a QTableView over a simple
// model, each a shown frameless window of the grid's size; every side's
// paint is the one the window system asks for after an update, up to the
// window's backing store (ours: the form's paint and its copy to the host).

void ProcessPaints() { QApplication::processEvents(); }

struct TPeers {
    std::unique_ptr<QTableWidget> Widget;
    std::unique_ptr<TSimpleTableModel> Model;
    std::unique_ptr<QTableView> View;
    TPeers() {
        Widget = std::make_unique<QTableWidget>(kRows, kCols);
        Widget->setUpdatesEnabled(false);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) Widget->setItem(r, c, new QTableWidgetItem(TextOf(c, r)));
        Widget->setUpdatesEnabled(true);
        Model = std::make_unique<TSimpleTableModel>(kRows, kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) Model->Cell(r, c) = TextOf(c, r);
        View = std::make_unique<QTableView>();
        SetOnView(*View, Model.get());
        Widget->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        Widget->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(Widget.get()),
                                     static_cast<QAbstractItemView*>(View.get())}) {
            v->setWindowFlags(Qt::FramelessWindowHint);
            v->setGeometry(0, 0, kGridW, kGridH);
            v->show();
        }
        ProcessPaints();
    }
};

TPeers& Peers() {
    static TPeers* p = new TPeers();
    return *p;
}

// The grid's page, shown: invalidated, painted when the window asks.
void BM_GridPageShown(benchmark::State& state) {
    TBenchForm& b = Bench();
    ProcessPaints();
    for (auto _ : state) {
        b.Grid->Invalidate();
        ProcessPaints();
        benchmark::ClobberMemory();
    }
}

void PeerPage(benchmark::State& state, QAbstractItemView* v) {
    ProcessPaints();
    for (auto _ : state) {
        v->viewport()->update();
        ProcessPaints();
        benchmark::ClobberMemory();
    }
}
void BM_QTableWidgetPageShown(benchmark::State& state) { PeerPage(state, Peers().Widget.get()); }
void BM_QTableViewPageShown(benchmark::State& state) { PeerPage(state, Peers().View.get()); }

// One cell invalidated and painted on the shown windows.
void BM_GridCellShown(benchmark::State& state) {
    TBenchForm& b = Bench();
    ProcessPaints();
    int i = 0;
    for (auto _ : state) {
        b.Grid->InvalidateCell(1 + i % 10, 1 + i % 20);
        ProcessPaints();
        ++i;
        benchmark::ClobberMemory();
    }
}

void PeerCell(benchmark::State& state, QAbstractItemView* v) {
    ProcessPaints();
    int i = 0;
    for (auto _ : state) {
        v->update(v->model()->index(1 + i % 20, 1 + i % 10));
        ProcessPaints();
        ++i;
        benchmark::ClobberMemory();
    }
}
void BM_QTableWidgetCellShown(benchmark::State& state) { PeerCell(state, Peers().Widget.get()); }
void BM_QTableViewCellShown(benchmark::State& state) { PeerCell(state, Peers().View.get()); }

BENCHMARK(BM_GridPageShown)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK(BM_QTableWidgetPageShown)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK(BM_QTableViewPageShown)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK(BM_GridCellShown)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK(BM_QTableWidgetCellShown)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK(BM_QTableViewCellShown)->Unit(benchmark::kMicrosecond)->Repetitions(7);

}  // namespace

// Ends non-zero when a limit is passed.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The form gets its toolkit window, as the peers have theirs.
    SetFormHostsEnabled(true);
    QApplication app(argc, argv);
    std::vector<char*> args = WithInterleaving(argc, argv);
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;
    Bench();
    Peers();
    // Processor time of the whole process (the toolkit may paint with helper
    // threads), medians of seven repetitions run interleaved.
    TCpuRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bool ok = reporter.Within("BM_InvalidateOneCellAndPaint", "BM_PaintWholeForm", 0.10, "one cell / whole form");
    ok &= reporter.Within("BM_GridPageShown", "BM_QTableWidgetPageShown", 1.0, "page shown: grid / QTableWidget");
    ok &= reporter.Within("BM_GridPageShown", "BM_QTableViewPageShown", 1.0, "page shown: grid / QTableView");
    ok &= reporter.Within("BM_GridCellShown", "BM_QTableWidgetCellShown", 1.0, "one cell shown: grid / QTableWidget");
    ok &= reporter.Within("BM_GridCellShown", "BM_QTableViewCellShown", 1.0, "one cell shown: grid / QTableView");
    return ok ? 0 : 1;
}
