// Fitting columns to their content: the lazy tree's AutoFitColumns over five
// text columns and 100 000 visible nodes against QTreeView's
// resizeColumnToContents of the same five columns, its header measuring
// every row, with the same texts and font. Ours must stay within 1.5 times
// the peer. Reported too: saving and loading a header of 1000 columns.
#include "BenchRatio.h"
#include "platform/controls/Forms.h"
#include "platform/core/Streams.h"
#include "treeview/LazyTrees.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QTreeView>
#include <benchmark/benchmark.h>

namespace {
constexpr int kRows = 100000;
constexpr int kColumns = 5;

QString CellText(int row, int column) {
    // Widths differ from row to row, so every row is measured for real.
    return QStringLiteral("Row %1 column %2 %3").arg(row).arg(column).arg(QString((row * 7 + column) % 13, QChar('x')));
}

struct TFixture {
    TForm* Form = nullptr;
    TLazyStringTree* Tree = nullptr;
    TFixture() {
        Form = NewObject<TForm>(nullptr);
        Form->SetBounds(0, 0, 1000, 800);
        Tree = NewObject<TLazyStringTree>(Form);
        Tree->SetParent(Form);
        Tree->SetBorderStyle(bsNone);
        Tree->HandleNeeded();
        Tree->SetBounds(0, 0, 960, 760);
        for (int c = 0; c < kColumns; ++c) Tree->Header()->Columns()->Add()->SetText(QStringLiteral("Column %1").arg(c));
        Tree->OnGetText = [](TBaseLazyTree*, PLazyNode n, TColumnIndex c, TVSTTextType type, QString& text) {
            if (type == ttNormal) text = CellText(int(n->Index), c);
        };
        Tree->SetRootNodeCount(kRows);
    }
};

TFixture& Fixture() {
    static TFixture f;
    return f;
}

void BM_LazyTree_AutoFit(benchmark::State& state) {
    TLazyStringTree* t = Fixture().Tree;
    TLazyTreeColumns* cols = t->Header()->Columns();
    int64_t sum = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int c = 0; c < kColumns; ++c) cols->Items(c)->SetWidth(50);
        state.ResumeTiming();
        t->Header()->AutoFitColumns(false, smaNoColumn, -1, -1);
        for (int c = 0; c < kColumns; ++c) sum += cols->Items(c)->Width();
    }
    benchmark::DoNotOptimize(sum);
    state.counters["column0_width"] = cols->Items(0)->Width();
}
BENCHMARK(BM_LazyTree_AutoFit)->Unit(benchmark::kMillisecond)->Iterations(3);

class TTextModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kRows; }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kColumns; }
    QVariant data(const QModelIndex& i, int role) const override {
        if (role == Qt::DisplayRole) return CellText(i.row(), i.column());
        return {};
    }
};

void BM_QTreeView_ResizeColumnToContents(benchmark::State& state) {
    TTextModel model;
    QTreeView view;
    view.setFont(Fixture().Tree->Font()->ToQFont());
    view.resize(960, 760);
    view.setModel(&model);
    view.header()->setResizeContentsPrecision(-1);  // every row
    view.show();
    QApplication::processEvents();
    int64_t sum = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int c = 0; c < kColumns; ++c) view.setColumnWidth(c, 50);
        state.ResumeTiming();
        for (int c = 0; c < kColumns; ++c) view.resizeColumnToContents(c);
        for (int c = 0; c < kColumns; ++c) sum += view.columnWidth(c);
    }
    benchmark::DoNotOptimize(sum);
    state.counters["column0_width"] = view.columnWidth(0);
}
BENCHMARK(BM_QTreeView_ResizeColumnToContents)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Header_SaveLoad1000Columns(benchmark::State& state) {
    TLazyStringTree* source = NewObject<TLazyStringTree>(nullptr);
    TLazyStringTree* target = NewObject<TLazyStringTree>(nullptr);
    for (int c = 0; c < 1000; ++c) {
        TLazyTreeColumn* col = source->Header()->Columns()->Add();
        col->SetText(QStringLiteral("Column %1").arg(c));
        col->Hint = QStringLiteral("Hint of column %1").arg(c);
        col->SetWidth(40 + c % 60);
    }
    int64_t bytes = 0;
    for (auto _ : state) {
        TMemoryStream s;
        source->Header()->SaveToStream(&s);
        s.SetPosition(0);
        target->Header()->LoadFromStream(&s);
        bytes = s.Size();
    }
    if (target->Header()->Columns()->Count() != 1000) state.SkipWithError("the columns did not come back");
    state.counters["stream_bytes"] = double(bytes);
    target->Free();
    source->Free();
}
BENCHMARK(BM_Header_SaveLoad1000Columns)->Unit(benchmark::kMillisecond)->Iterations(5);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool ok = reporter.Within("BM_LazyTree_AutoFit/iterations:3",
                                    "BM_QTreeView_ResizeColumnToContents/iterations:3", 1.5,
                                    "auto-fit: lazy tree / QTreeView");
    benchmark::Shutdown();
    return ok ? 0 : 1;
}
