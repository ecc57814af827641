#include "gridpack/basegrid/GradientBands.h"

#include "platform/core/MathUtils.h"

#include <algorithm>

void FillGradientBands(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R, bool Horizontal) {
    if (!Canvas) return;
    if (Steps <= 0) Steps = 1;
    TRect r = R;
    if (Horizontal) --r.Right;
    else --r.Bottom;
    const TColor from = ColorToRGB(FromColor), to = ColorToRGB(ToColor);
    const int fr = GetRValue(from), fg = GetGValue(from), fb = GetBValue(from);
    const double dr = double(GetRValue(to) - fr) / Steps;
    const double dg = double(GetGValue(to) - fg) / Steps;
    const double db = double(GetBValue(to) - fb) / Steps;
    const double band = double(Horizontal ? r.Right - r.Left : r.Bottom - r.Top) / Steps;
    const int bandLen = int(Round(band)) + 1;
    // The band counter is a full integer: a narrow counter would wrap and
    // never reach a large Steps.
    for (int i = 0; i < Steps; ++i) {
        const TColor c = RGB(int(Round(i * dr)) + fr, int(Round(i * dg)) + fg, int(Round(i * db)) + fb);
        Canvas->Pen().SetColor(c);
        Canvas->Brush().SetColor(c);
        const int offset = int(Round(i * band));
        if (Horizontal) {
            const int left = r.Left + offset;
            Canvas->Rectangle(left, r.Top, left + bandLen, r.Bottom);
        } else {
            const int top = r.Top + offset;
            Canvas->Rectangle(r.Left, top, r.Right, top + bandLen);
        }
    }
}

TColor BlendColor(TColor Color1, TColor Color2, int Percent) {
    if (Percent >= 100) return Color1;
    if (Percent <= 0) return Color2;
    const double x = Percent / 100.0;
    const TColor a = ColorToRGB(Color1), b = ColorToRGB(Color2);
    auto mix = [x](int c1, int c2) { return int(Round(x * c1 + (1.0 - x) * c2)); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

TColor ShadeColor(TColor Color, int DeltaR, int DeltaG, int DeltaB) {
    const TColor c = ColorToRGB(Color);
    auto shade = [](int channel, int delta) {
        if (channel == 0) return std::max(0, delta);
        // The product is taken before the division so that a half stays exact.
        return int(Round(double(std::min(100, delta + 100) * channel) / 100.0));
    };
    return RGB(shade(GetRValue(c), DeltaR), shade(GetGValue(c), DeltaG), shade(GetBValue(c), DeltaB));
}
