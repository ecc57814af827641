// Painting a 1920 x 1080 bitmap cell by cell as a grid does (30 rows of 50
// cells; each a rectangle and a text with a prefix, cut with an ellipsis and
// centred vertically), through our canvas and through QPainter doing the same
// work directly. Both are reported, with their ratio; the program fails when
// the canvas takes more than twice as long.
#include "platform/graphics/Graphics.h"

#include <QFontMetrics>
#include "BenchDisplay.h"

#include <QGuiApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kCols = 50, kRows = 30;

QString CellText(int col, int row) { return QStringLiteral("&Cell %1,%2 value").arg(col).arg(row); }

TRect CellRect(int col, int row) {
    return TRect(col * kWidth / kCols, row * kHeight / kRows, (col + 1) * kWidth / kCols,
                 (row + 1) * kHeight / kRows);
}

void BM_Canvas(benchmark::State& state) {
    TBitmap bmp(kWidth, kHeight, pf24bit);
    TCanvas* c = bmp.Canvas();
    c->Font().SetName(QStringLiteral("Tahoma"));
    c->Font().SetSize(8);
    for (auto _ : state) {
        for (int row = 0; row < kRows; ++row)
            for (int col = 0; col < kCols; ++col) {
                TRect r = CellRect(col, row);
                c->Pen().SetColor(clBtnShadow);
                c->Brush().SetColor((row + col) % 2 ? clWindow : clBtnFace);
                c->Rectangle(r);
                c->Brush().SetStyle(bsClear);
                TRect t = r;
                InflateRect(t, -2, -1);
                c->DrawText(CellText(col, row), t, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
            }
        benchmark::DoNotOptimize(bmp.Image().constBits());
    }
}

void BM_QPainter(benchmark::State& state) {
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    TFont f;
    f.SetName(QStringLiteral("Tahoma"));
    f.SetSize(8);
    p.setFont(f.ToQFont());
    const QFontMetrics fm(p.font());
    for (auto _ : state) {
        for (int row = 0; row < kRows; ++row)
            for (int col = 0; col < kCols; ++col) {
                const TRect r = CellRect(col, row);
                p.setPen(ColorToQColor(clBtnShadow));
                p.setBrush(ColorToQColor((row + col) % 2 ? clWindow : clBtnFace));
                p.drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
                const QRect t(r.Left + 2, r.Top + 1, r.Width() - 4, r.Height() - 2);
                const QString elided = fm.elidedText(CellText(col, row), Qt::ElideRight, t.width(), Qt::TextShowMnemonic);
                p.setPen(Qt::black);
                p.drawText(t, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, elided);
            }
        benchmark::DoNotOptimize(img.constBits());
    }
}

BENCHMARK(BM_Canvas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QPainter)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration so the two can be compared.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) Times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char** argv) {
    Use_Offscreen_Without_Display();
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double canvas = reporter.Times["BM_Canvas"], direct = reporter.Times["BM_QPainter"];
    if (canvas <= 0 || direct <= 0) return 0; // filtered runs: nothing to compare
    const double ratio = canvas / direct;
    std::printf("canvas %.2f ms, QPainter %.2f ms, ratio %.2f (limit 2.00)\n", canvas, direct, ratio);
    return ratio <= 2.0 ? 0 : 1;
}
