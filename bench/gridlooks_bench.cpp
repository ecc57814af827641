// Painting by look and style, in one run: the same 1920 x 1080 viewport of a
// 100 000 x 16 string grid painted with every look and every grid style, and
// with one rich-text cell in each visible row. Every look and style must
// paint within 1.5 times the XP look's time, the rich-text page within 3
// times. The XP look's page must not take longer than a QTableView over a
// simple model of the same texts rendering its page of the same size (the
// limit the column grid has for its page).
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"

#include "BenchMedian.h"
#include "SimpleTableModel.h"

#include <QImage>

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr int kRows = 100000, kCols = 16;
constexpr int kW = 1920, kH = 1080;

struct TLookForm {
    std::unique_ptr<TForm> Form;
    TExStringGrid* Grid = nullptr;
    TLookForm()
    {
        Form.reset(NewObject<TForm>(nullptr));
        Form->SetBorderStyle(bsNone);
        Form->SetClientSize(kW, kH);
        Grid = NewObject<TExStringGrid>(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, kW, kH);
        Grid->SetColCount(kCols);
        Grid->SetRowCount(kRows);
        for (int c = 0; c < kCols; ++c)
            Grid->SetColWidths(c, kW / kCols);
        for (int c = 0; c < kCols; ++c)
            Grid->SetCellEx(c, 0, QStringLiteral("Column %1").arg(c));
        for (int r = 1; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Grid->SetCellEx(c, r, QStringLiteral("R%1C%2").arg(r).arg(c));
        Grid->SetOptions(Grid->Options() | goRangeSelect);
        Grid->SetSelection(TGridRect{2, 2, 5, 6});
        Form->Show();
        Form->RenderClient();
    }
    void Restore()
    {
        Grid->Look = glXP;
        Grid->SetStyle(gsCustom);
        Grid->Look = glXP;
    }
};

TLookForm& Bench()
{
    static TLookForm* b = new TLookForm();
    return *b;
}

void PaintPage(benchmark::State& state)
{
    TLookForm& b = Bench();
    for (auto _ : state) {
        b.Grid->Invalidate();
        b.Form->PaintPending();
        benchmark::ClobberMemory();
    }
}

void BM_Look(benchmark::State& state)
{
    TLookForm& b = Bench();
    b.Restore();
    const auto look = TGridLook(state.range(0));
    // From a look other than the one measured, so the preset runs.
    b.Grid->Look = look == glStandard ? glXP : glStandard;
    b.Grid->SetLook(look);
    b.Grid->SetBorderStyle(bsNone);
    PaintPage(state);
}
BENCHMARK(BM_Look)->DenseRange(glStandard, glCustom)->Unit(benchmark::kMicrosecond);

void BM_Style(benchmark::State& state)
{
    TLookForm& b = Bench();
    b.Restore();
    b.Grid->SetStyle(TExGridStyle(state.range(0)));
    b.Grid->SetBorderStyle(bsNone);
    PaintPage(state);
}
BENCHMARK(BM_Style)->DenseRange(gsOffice2003Blue, gsOffice2010Black)->Unit(benchmark::kMicrosecond);

void BM_RichTextRows(benchmark::State& state)
{
    TLookForm& b = Bench();
    b.Restore();
    b.Grid->SetBorderStyle(bsNone);
    const int rows = b.Grid->VisibleRowCount() + 1;
    std::vector<QString> kept;
    for (int r = 1; r <= rows; ++r) {
        kept.push_back(b.Grid->GetCellEx(3, r));
        b.Grid->SetCellEx(3, r, QStringLiteral("{\\rtf1\\ansi {\\b R%1} rich {\\i text}}").arg(r));
    }
    PaintPage(state);
    for (int r = 1; r <= rows; ++r)
        b.Grid->SetCellEx(3, r, kept[size_t(r - 1)]);
}
BENCHMARK(BM_RichTextRows)->Unit(benchmark::kMicrosecond);
void BM_QTableViewPage(benchmark::State& state)
{
    static TSimpleTableModel* model = [] {
        auto* m = new TSimpleTableModel(kRows, kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                m->Cell(r, c) = QStringLiteral("R%1C%2").arg(r + 1).arg(c);
        return m;
    }();
    QTableView view;
    view.resize(kW, kH);
    SetOnView(view, model);
    for (int c = 0; c < kCols; ++c)
        view.setColumnWidth(c, kW / kCols);
    QImage surface(kW, kH, QImage::Format_RGB32);
    for (auto _ : state) {
        view.render(&surface);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_QTableViewPage)->Unit(benchmark::kMicrosecond);
} // namespace

// Ends non-zero when a limit is passed.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Bench();
    // Processor time: the machine is shared, and the pages differ only in
    // what is drawn.
    TCpuRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const std::string xp = "BM_Look/" + std::to_string(int(glXP));
    bool ok = true;
    for (int l = glStandard; l <= glCustom; ++l) {
        const std::string name = "BM_Look/" + std::to_string(l);
        ok &= reporter.Within(name.c_str(), xp.c_str(), 1.5, name.c_str());
    }
    for (int s = gsOffice2003Blue; s <= gsOffice2010Black; ++s) {
        const std::string name = "BM_Style/" + std::to_string(s);
        ok &= reporter.Within(name.c_str(), xp.c_str(), 1.5, name.c_str());
    }
    ok &= reporter.Within("BM_RichTextRows", xp.c_str(), 3.0, "a rich-text cell in every visible row");
    ok &= reporter.Within(xp.c_str(), "BM_QTableViewPage", 1.0, "XP look's page against a QTableView's");
    return ok ? 0 : 1;
}
