// The string grid's printing against plain code doing the same drawing, in
// one run:
//  - printing 10,000 rows x 5 columns to a PDF file at most 3 times a plain
//    loop that draws the same texts at the same places, page by page, on the
//    same PDF printer;
//  - a FastPrint preview of page 1 of that grid at most 5 % of the full print.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Printers.h"
#include "platform/graphics/Graphics.h"

#include "BenchMain.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kRows = 10000, kCols = 5;

QTemporaryDir& Dir()
{
    static QTemporaryDir dir;
    return dir;
}

struct TPrintForm {
    TPrintForm()
    {
        Form = NewObject<TForm>(nullptr);
        Form->SetBounds(0, 0, 600, 400);
        Grid = NewObject<TExStringGrid>(Form);
        Grid->SetParent(Form);
        Grid->SetColCount(kCols);
        Grid->SetRowCount(kRows);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Grid->SetCells(c, r, QStringLiteral("cell %1.%2").arg(r).arg(c));
    }
    ~TPrintForm() { delete Form; }
    TForm* Form = nullptr;
    TExStringGrid* Grid = nullptr;
};

TPrintForm& Shared()
{
    static TPrintForm f;
    return f;
}

void BM_Grid_PrintToPdf(benchmark::State& state)
{
    TExStringGrid* g = Shared().Grid;
    Printer()->SetOutputFile(Dir().filePath(QStringLiteral("grid.pdf")));
    for (auto _ : state)
        g->Print();
    state.counters["pages"] = g->PrintNrOfPages();
}
BENCHMARK(BM_Grid_PrintToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same texts at the same places: the grid's column positions, its row
// height and its page breaks, one TextOut per cell.
void BM_Plain_PrintToPdf(benchmark::State& state)
{
    TExStringGrid* g = Shared().Grid;
    Printer()->SetOutputFile(Dir().filePath(QStringLiteral("grid.pdf")));
    g->Print(); // the layout to copy
    std::vector<int> x;
    for (int c = 0; c < kCols; ++c)
        x.push_back(g->GetPrintColOffset(c) + 10);
    const int pages = g->PrintNrOfPages();
    const int perPage = (kRows + pages - 1) / pages;
    TPrinter* p = Printer();
    p->SetOutputFile(Dir().filePath(QStringLiteral("plain.pdf")));
    for (auto _ : state) {
        p->BeginDoc();
        TCanvas* c = p->Canvas();
        c->SetMapMode(MM_LOMETRIC);
        TFont f(*g->Font());
        f.SetHeight(g->MapFontHeight(f.Size()));
        c->Font().Assign(f);
        c->SetBkMode(TRANSPARENT);
        const int lh = c->TextHeight(QStringLiteral("gh"));
        const int rowH = lh + lh / 8 + 2 * (lh / 8);
        for (int r = 0; r < kRows; ++r) {
            if (r > 0 && r % perPage == 0)
                p->NewPage();
            const int y = -(r % perPage) * rowH - lh / 8;
            for (int col = 0; col < kCols; ++col)
                c->TextOut(x[size_t(col)], y, g->Cells(col, r));
        }
        p->EndDoc();
    }
}
BENCHMARK(BM_Plain_PrintToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Grid_FastPreviewPage1(benchmark::State& state)
{
    TExStringGrid* g = Shared().Grid;
    TBitmap bmp;
    bmp.SetSize(794, 1123);
    g->FastPrint = true;
    for (auto _ : state) {
        g->SetPreviewPage(1);
        g->PrintPreview(bmp.Canvas(), TRect(0, 0, 794, 1123));
    }
    g->FastPrint = false;
}
BENCHMARK(BM_Grid_FastPreviewPage1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

// Ends non-zero when a limit is passed.
int main(int argc, char** argv)
{
    return RunRatioBenchmarks<TRatioReporter>(argc, argv, [](const TRatioReporter& reporter) {
        bool ok = true;
        ok &= reporter.Within("BM_Grid_PrintToPdf/iterations:3", "BM_Plain_PrintToPdf/iterations:3", 3.0,
                              "print to PDF");
        ok &= reporter.Within("BM_Grid_FastPreviewPage1/iterations:3", "BM_Grid_PrintToPdf/iterations:3", 0.05,
                              "FastPrint preview of page 1");
        return ok;
    });
}
