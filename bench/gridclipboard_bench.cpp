// The string grid's clipboard against plain code doing the same work, in one
// run, on 100,000 rows x 5 cells:
//  - copying the selection to the clipboard's text costs at most 2 times
//    joining the same texts by tabs and line breaks;
//  - pasting that text back costs at most 3 times splitting it at line
//    breaks and tabs and storing the values into a platform TStringGrid.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/Forms.h"
#include "platform/grids/Grids.h"

#include "BenchMain.h"

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

BENCHMARK(BM_Clip_Copy)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Clip_PlainJoin)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Clip_Paste)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Clip_PlainPaste)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    return RunRatioBenchmarks<TRatioReporter>(argc, argv, [](const TRatioReporter& reporter) {
        bool ok = true;
        ok &= reporter.Within("BM_Clip_Copy/iterations:10", "BM_Clip_PlainJoin/iterations:10", 2.0, "copy to clipboard");
        ok &= reporter.Within("BM_Clip_Paste/iterations:10", "BM_Clip_PlainPaste/iterations:10", 3.0, "paste back");
        return ok;
    });
}
