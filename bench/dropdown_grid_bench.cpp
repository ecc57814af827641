// The grid drop-down and the multi-column drop-down over 10,000 items.
//  - Opening the grid drop-down (its settings copied into the popup grid, the
//    items loaded, the auto-sized column measured) against filling a platform
//    TStringGrid with the same texts.
//  - The same opening against a QComboBox whose pop-up is a QTableView over a
//    simple model of the same two columns (what a Qt developer uses for a
//    multi-column drop-down), with the same limit.
//  - One completion keystroke in the edit (a character that no lookup text
//    begins with, so the whole list is read) against one linear,
//    case-blind prefix scan of the same texts.
#include "gridpack/dropdown/ExGridDropDown.h"
#include "gridpack/dropdown/ExMultiColumnDropDown.h"
#include "platform/controls/Forms.h"
#include "platform/grids/Grids.h"

#include "BenchMain.h"
#include "SimpleTableModel.h"

#include <QComboBox>

#include <memory>

#include <QStringList>
#include <benchmark/benchmark.h>


namespace {
constexpr int kItems = 10000;

QString NameOf(int i) { return QStringLiteral("Item %1").arg(i, 5, 10, QLatin1Char('0')); }
QString CodeOf(int i) { return QString::number(i * 7919 % 100000); }

void BM_GridDropDown_Open(benchmark::State& state) {
    TForm* form = NewObject<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 300);
    auto* drop = NewObject<TCustomExGridDropDown>(form);
    drop->SetParent(form);
    drop->Columns()->Add()->AutoSize = true;
    drop->Columns()->Add();
    drop->BeginUpdate();
    for (int i = 0; i < kItems; ++i) {
        ExGridDD::TDropDownItem* it = drop->Items()->Add();
        it->Text()->Add(NameOf(i));
        it->Text()->Add(CodeOf(i));
    }
    drop->EndUpdate();
    form->Show();
    for (auto _ : state) {
        drop->ShowDropDown();
        if (!drop->DroppedDown()) state.SkipWithError("the popup did not open");
        drop->HideDropDown(true);
    }
    form->Free();
}
BENCHMARK(BM_GridDropDown_Open)->Unit(benchmark::kMillisecond);

void BM_StringGrid_Fill(benchmark::State& state) {
    TForm* form = NewObject<TForm>(nullptr);
    auto* grid = NewObject<TStringGrid>(form);
    grid->SetParent(form);
    QStringList names, codes;
    for (int i = 0; i < kItems; ++i) {
        names << NameOf(i);
        codes << CodeOf(i);
    }
    for (auto _ : state) {
        grid->SetRowCount(1);
        grid->SetColCount(2);
        grid->SetRowCount(kItems + 1);
        for (int i = 0; i < kItems; ++i) {
            grid->SetCells(0, i + 1, names[i]);
            grid->SetCells(1, i + 1, codes[i]);
        }
    }
    form->Free();
}
BENCHMARK(BM_StringGrid_Fill)->Unit(benchmark::kMillisecond);

void BM_QComboBoxTableView_Open(benchmark::State& state) {
    // Made before the window, so it outlives the combo box that shows it.
    auto model = std::make_unique<TSimpleTableModel>(kItems, 2);
    for (int i = 0; i < kItems; ++i) {
        model->Cell(i, 0) = NameOf(i);
        model->Cell(i, 1) = CodeOf(i);
    }
    QWidget window;
    window.resize(400, 300);
    auto* combo = new QComboBox(&window);
    auto* view = new QTableView;
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    combo->setView(view);
    combo->setModel(model.get());
    // The first column sized to its texts, as the grid drop-down's auto-size
    // column is.
    view->resizeColumnToContents(0);
    window.show();
    for (auto _ : state) {
        combo->showPopup();
        if (!view->isVisible()) state.SkipWithError("the popup did not open");
        combo->hidePopup();
    }
}
BENCHMARK(BM_QComboBoxTableView_Open)->Unit(benchmark::kMillisecond);

// One keystroke on a drop-down of D with one column of kItems items: the
// character typed into the empty edit, then the edit emptied again (an empty
// text completes nothing).
template <class D>
void CompletionKeystroke(benchmark::State& state) {
    TForm* form = NewObject<TForm>(nullptr);
    auto* drop = NewObject<D>(form);
    drop->SetParent(form);
    drop->Columns()->Add();
    drop->BeginUpdate();
    for (int i = 0; i < kItems; ++i) drop->Items()->Add()->Text()->Add(NameOf(i));
    drop->EndUpdate();
    form->Show();
    drop->SetFocus();
    for (auto _ : state) {
        drop->Perform(WM_CHAR, 'x', 0);
        benchmark::DoNotOptimize(drop->WholeText());
        state.PauseTiming();
        drop->SetText(QString());
        state.ResumeTiming();
    }
    form->Free();
}

void BM_MultiColumn_CompletionKeystroke(benchmark::State& state) {
    CompletionKeystroke<TExMultiColumnDropDown>(state);
}
BENCHMARK(BM_MultiColumn_CompletionKeystroke)->Unit(benchmark::kMicrosecond);

void BM_GridDropDown_CompletionKeystroke(benchmark::State& state) {
    CompletionKeystroke<TCustomExGridDropDown>(state);
}
BENCHMARK(BM_GridDropDown_CompletionKeystroke)->Unit(benchmark::kMicrosecond);

void BM_LinearScan(benchmark::State& state) {
    QStringList texts;
    for (int i = 0; i < kItems; ++i) texts << NameOf(i);
    const QString typed = QStringLiteral("x");
    for (auto _ : state) {
        int found = -1;
        for (int i = 0; i < texts.size(); ++i)
            if (texts[i].startsWith(typed, Qt::CaseInsensitive)) {
                found = i;
                break;
            }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_LinearScan)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv) {
    return RunRatioBenchmarks(
        argc, argv,
        [](const TRatioReporter& reporter) {
            bool ok = reporter.Within("BM_GridDropDown_Open", "BM_StringGrid_Fill", 2.0,
                                      "10,000 items: grid drop-down opening / string grid fill");
            ok = reporter.Within("BM_GridDropDown_Open", "BM_QComboBoxTableView_Open", 2.0,
                                 "10,000 items: grid drop-down opening / QComboBox over a QTableView") &&
                 ok;
            ok = reporter.Within("BM_MultiColumn_CompletionKeystroke", "BM_LinearScan", 2.0,
                                 "10,000 lookup texts: multi-column completion keystroke / linear scan") &&
                 ok;
            ok = reporter.Within("BM_GridDropDown_CompletionKeystroke", "BM_LinearScan", 2.0,
                                 "10,000 lookup texts: grid drop-down completion keystroke / linear scan") &&
                 ok;
            return ok;
        },
        [] { Application(); });
}
