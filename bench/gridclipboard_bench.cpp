// The string grid's clipboard against plain code doing the same work, in one
// run, on 100,000 rows x 5 cells:
//  - copying the selection to the clipboard's text costs at most 2 times
//    joining the same texts by tabs and line breaks;
//  - pasting that text back costs at most 3 times splitting it at line
//    breaks and tabs and storing the values into a platform TStringGrid;
//  - both also against a shown-size QTableView over a simple model: the
//    selection's ranges joined from the model's data onto the clipboard, and
//    the clipboard's text split into the model with one change notice, with
//    the same limits (that peer does the plain code's work through a model).
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/Forms.h"
#include "platform/grids/Grids.h"

#include "BenchMain.h"
#include "BenchMedian.h"
#include "SimpleTableModel.h"

#include <QItemSelectionModel>

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 100000, kCols = 5;

QString CellText(int c, int r) { return QStringLiteral("cell %1-%2").arg(r).arg(c); }

struct TGridForm {
    std::unique_ptr<TForm> Form;
    TExStringGrid* Grid = nullptr;
    explicit TGridForm(bool filled = true)
    {
        Form.reset(NewObject<TForm>(nullptr));
        Form->SetBounds(0, 0, 800, 600);
        Grid = NewObject<TExStringGrid>(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 780, 580);
        Grid->SetColCount(kCols + 1);
        Grid->SetRowCount(kRows + 1);
        Grid->SetOptions(Grid->Options() | goEditing | goRangeSelect);
        for (int r = 1; filled && r <= kRows; ++r)
            for (int c = 1; c <= kCols; ++c)
                Grid->SetCells(c, r, CellText(c, r));
        Grid->SetSelection(TGridRect{1, 1, kCols, kRows});
    }
};

TGridForm& Source()
{
    static TGridForm f;
    return f;
}

// The texts as plain code holds them: one list per row.
const std::vector<QStringList>& Texts()
{
    static const std::vector<QStringList> t = [] {
        std::vector<QStringList> rows;
        rows.reserve(kRows);
        for (int r = 1; r <= kRows; ++r) {
            QStringList row;
            for (int c = 1; c <= kCols; ++c)
                row << CellText(c, r);
            rows.push_back(row);
        }
        return rows;
    }();
    return t;
}

const QString& ClipText()
{
    static const QString text = [] {
        Source().Grid->CopySelectionToClipboard();
        return Clipboard()->AsText();
    }();
    return text;
}

void BM_Clip_Copy(benchmark::State& state)
{
    TExStringGrid* g = Source().Grid;
    for (auto _ : state) {
        g->CopySelectionToClipboard();
        benchmark::DoNotOptimize(Clipboard()->HasFormat(CF_UNICODETEXT));
    }
}

void BM_Clip_PlainJoin(benchmark::State& state)
{
    const std::vector<QStringList>& rows = Texts();
    for (auto _ : state) {
        QString out;
        for (const QStringList& row : rows) {
            for (int c = 0; c < row.size(); ++c) {
                if (c)
                    out += QLatin1Char('\t');
                out += row[c];
            }
            out += QLatin1String("\r\n");
        }
        benchmark::DoNotOptimize(out.size());
    }
}

void BM_Clip_Paste(benchmark::State& state)
{
    Clipboard()->SetAsText(ClipText());
    TGridForm target(false);
    for (auto _ : state) {
        target.Grid->SetSelection(TGridRect{1, 1, 1, 1});
        target.Grid->PasteSelectionFromClipboard();
    }
    if (target.Grid->Cells(kCols, kRows) != CellText(kCols, kRows))
        state.SkipWithError("paste lost cells");
}

void BM_Clip_PlainPaste(benchmark::State& state)
{
    const QString& text = ClipText();
    std::unique_ptr<TForm> form(NewObject<TForm>(nullptr));
    auto* g = NewObject<TStringGrid>(form.get());
    g->SetParent(form.get());
    g->SetColCount(kCols + 1);
    g->SetRowCount(kRows + 1);
    for (auto _ : state) {
        const QString t = Clipboard()->AsText();
        int r = 1;
        for (const QStringView line : QStringView(t).split(u"\r\n")) {
            if (line.isEmpty())
                continue;
            int c = 1;
            for (const QStringView v : line.split(QLatin1Char('\t')))
                g->SetCells(c++, r, v.toString());
            ++r;
        }
    }
    if (g->Cells(kCols, kRows) != CellText(kCols, kRows) || text.isEmpty())
        state.SkipWithError("plain paste lost cells");
}

// The QTableView side: the same texts in a simple model, all selected.
struct TViewSide {
    TSimpleTableModel Model{kRows, kCols};
    QTableView View;
    TViewSide()
    {
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Model.Cell(r, c) = CellText(c + 1, r + 1);
        View.resize(780, 580);
        SetOnView(View, &Model);
        View.selectionModel()->select(QItemSelection(Model.index(0, 0), Model.index(kRows - 1, kCols - 1)),
                                      QItemSelectionModel::Select);
    }
};

TViewSide& ViewSide()
{
    static TViewSide* v = new TViewSide();
    return *v;
}

void BM_Clip_QTableViewCopy(benchmark::State& state)
{
    TViewSide& v = ViewSide();
    for (auto _ : state) {
        QString out;
        for (const QItemSelectionRange& range : v.View.selectionModel()->selection())
            for (int r = range.top(); r <= range.bottom(); ++r) {
                for (int c = range.left(); c <= range.right(); ++c) {
                    if (c > range.left())
                        out += QLatin1Char('\t');
                    out += v.Model.data(v.Model.index(r, c), Qt::DisplayRole).toString();
                }
                out += QLatin1String("\r\n");
            }
        Clipboard()->SetAsText(out);
        benchmark::DoNotOptimize(Clipboard()->HasFormat(CF_UNICODETEXT));
    }
}

void BM_Clip_QTableViewPaste(benchmark::State& state)
{
    const QString& text = ClipText();
    Clipboard()->SetAsText(text);
    TSimpleTableModel model(kRows, kCols);
    QTableView view;
    view.resize(780, 580);
    SetOnView(view, &model);
    for (auto _ : state) {
        const QString t = Clipboard()->AsText();
        int r = 0;
        for (const QStringView line : QStringView(t).split(u"\r\n")) {
            if (line.isEmpty() || r >= kRows)
                continue;
            int c = 0;
            for (const QStringView v : line.split(QLatin1Char('\t')))
                if (c < kCols)
                    model.Cell(r, c++) = v.toString();
            ++r;
        }
        model.CellsChanged(0, 0, kRows - 1, kCols - 1);
    }
    if (model.Cell(kRows - 1, kCols - 1) != CellText(kCols, kRows))
        state.SkipWithError("the model's paste lost cells");
}

BENCHMARK(BM_Clip_QTableViewCopy)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_Clip_QTableViewPaste)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_Clip_Copy)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_Clip_PlainJoin)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_Clip_Paste)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_Clip_PlainPaste)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    // Processor time, medians of five repetitions run interleaved.
    std::vector<char*> args = WithInterleaving(argc, argv);
    int n = int(args.size());
    return RunRatioBenchmarks<TCpuRatioReporter>(n, args.data(), [](const TCpuRatioReporter& reporter) {
        bool ok = true;
        ok &= reporter.Within("BM_Clip_Copy/iterations:10", "BM_Clip_PlainJoin/iterations:10", 2.0, "copy to clipboard");
        ok &= reporter.Within("BM_Clip_Paste/iterations:10", "BM_Clip_PlainPaste/iterations:10", 3.0, "paste back");
        ok &= reporter.Within("BM_Clip_Copy/iterations:10", "BM_Clip_QTableViewCopy/iterations:10", 2.0,
                              "copy against a QTableView's selection");
        ok &= reporter.Within("BM_Clip_Paste/iterations:10", "BM_Clip_QTableViewPaste/iterations:10", 3.0,
                              "paste against a QTableView's model");
        return ok;
    });
}
