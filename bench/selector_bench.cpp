// The item selector against the canvas alone: 10,000 colour items laid out
// (every caption measured) and painted, against measuring and drawing the
// same captions and colour boxes straight on a canvas. Each item is drawn at
// the bitmap's origin, on both sides, so the target stays small. Processor
// time, medians of seven: wall time on a shared machine flapped around the
// limit.
#include "gridpack/dropdown/ExItemSelector.h"
#include "platform/controls/Forms.h"

#include "BenchDisplay.h"
#include "BenchRatio.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {
constexpr int kItems = 10000;

QString CaptionOf(int i) { return QStringLiteral("Colour %1").arg(i); }
TColor ColourOf(int i) { return TColor((i * 2654435761u) & 0xFFFFFF); }

void BM_Selector_LayoutAndPaint(benchmark::State& state) {
    TForm* form = NewObject<TForm>(nullptr);
    auto* sel = NewObject<TExCustomItemSelector>(form);
    sel->SetParent(form);
    sel->SetSelectorType(stColor);
    sel->SetColumns(20);
    sel->Items()->BeginUpdate();
    for (int i = 0; i < kItems; ++i) {
        TSelectorItem* it = sel->Items()->Add();
        it->SetCaption(CaptionOf(i));
        it->SetColor(ColourOf(i));
    }
    sel->Items()->EndUpdate();
    TCustomItemSelector* panel = sel->SelectorPanel();
    TBitmap target(200, 40);
    TCanvas* c = target.Canvas();
    for (auto _ : state) {
        sel->UpdateSelectorPanel();
        for (int i = 0; i < kItems; ++i) {
            TRect r;
            panel->GetItemRect(i, r);
            c->SetWindowOrg(r.Left, r.Top);
            panel->DrawItem(i, c);
        }
        c->SetWindowOrg(0, 0);
    }
    form->Free();
}
BENCHMARK(BM_Selector_LayoutAndPaint)->Unit(benchmark::kMillisecond)->Repetitions(7);

void BM_Canvas_CaptionsAndBoxes(benchmark::State& state) {
    TBitmap target(200, 40);
    TCanvas* c = target.Canvas();
    TFont font;
    for (auto _ : state) {
        // The captions measured, as a layout must.
        c->Font().Assign(font);
        int w = 0, h = 0;
        for (int i = 0; i < kItems; ++i) {
            const TSize e = c->TextExtent(CaptionOf(i));
            w = std::max<int>(w, e.cx);
            h = std::max<int>(h, e.cy);
        }
        benchmark::DoNotOptimize(w + h);
        // Background, box and caption of each.
        for (int i = 0; i < kItems; ++i) {
            c->Brush().SetColor(clWhite);
            c->FillRect(Rect(0, 0, 14 + w + 16, 22));
            c->Brush().SetColor(ColourOf(i));
            c->Pen().SetColor(clBlack);
            c->Rectangle(Rect(4, 4, 18, 18));
            c->Brush().SetStyle(bsClear);
            c->TextOut(22, 4, CaptionOf(i));
            c->Brush().SetStyle(bsSolid);
        }
    }
}
BENCHMARK(BM_Canvas_CaptionsAndBoxes)->Unit(benchmark::kMillisecond)->Repetitions(7);
}  // namespace

int main(int argc, char** argv) {
    Use_Offscreen_Without_Display();
    QApplication app(argc, argv);
    Application();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TCpuRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool ok = reporter.Within("BM_Selector_LayoutAndPaint", "BM_Canvas_CaptionsAndBoxes", 2.0,
                                    "10,000 items: selector / canvas alone");
    benchmark::Shutdown();
    std::fflush(stdout);
    return ok ? 0 : 1;
}
