// Colour arithmetic, gradients, the cell background, the selection frame and
// the in-cell buttons of RorIdad. Each routine leaves the canvas's pen, brush
// and font as its last drawing step set them.
#include "gridpack/basegrid/RorIdad.h"

#include "gridpack/basegrid/ExXPVS.h"
#include "platform/core/IntConv.h"
#include "platform/core/MathUtils.h"

#include <algorithm>
#include <utility>

namespace {
struct Channels {
    int r, g, b;
};

Channels Split(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};
}

// Packed as the routines pack them: no masking of the channels.
TColor Pack(int r, int g, int b) { return TColor(r + g * 256 + b * 65536); }

void PenAndBrush(TCanvas* Canvas, TColor c)
{
    Canvas->Pen().SetColor(c);
    Canvas->Brush().SetColor(c);
}

// A line from (x1, y1) up to, not including, (x2, y2); none in no colour.
void Line(TCanvas* Canvas, TColor c, int x1, int y1, int x2, int y2)
{
    if (c == clNone)
        return;
    Canvas->Pen().SetColor(c);
    Canvas->MoveTo(x1, y1);
    Canvas->LineTo(x2, y2);
}

void Pixel(TCanvas* Canvas, TColor c, int x, int y)
{
    if (c == clNone)
        return;
    Canvas->SetPixels(x, y, c);
}

const TColorTone& ToneOfState(const TColorTones& Tones, int State)
{
    switch (State) {
    case 1: return Tones.Hover;
    case 2: return Tones.Selected;
    case 3: return Tones.Disabled;
    default: return Tones.Background;
    }
}

// A part of a themed control through the visual-style binding; nothing
// when the binding is not loaded.
void DrawThemed(std::intptr_t Window, const QString& ClassName, TCanvas* Canvas, int Part, int State, const TRect& R)
{
    if (!XPVS.Loaded || !XPVS.OpenThemeData || !XPVS.DrawThemeBackground || !XPVS.CloseThemeData)
        return;
    HTHEME theme = XPVS.OpenThemeData(Window, ClassName);
    XPVS.DrawThemeBackground(theme, Canvas, Part, State, R, nullptr);
    XPVS.CloseThemeData(theme);
}
} // namespace

// --- colours ---------------------------------------------------------------------

void FillGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& Rect, bool Horizontal)
{
    TRect r = Rect;
    if (r.Top == r.Bottom)
        return;
    if (r.Top > r.Bottom)
        std::swap(r.Top, r.Bottom);
    if (FromColor == clNone || ToColor == clNone) {
        // No colour at either end is no fill at all.
        if (FromColor == clNone && ToColor == clNone)
            return;
        const TColor fill = FromColor == clNone ? ToColor : FromColor;
        PenAndBrush(Canvas, fill);
        Canvas->Rectangle(r);
        return;
    }
    const Channels from = Split(FromColor);
    const Channels to = Split(ToColor);
    const int span = Horizontal ? r.Right - r.Left - 1 : r.Bottom - r.Top - 1;
    int steps = std::max(std::min(Steps, span), 1);
    const double bandSize = double(span) / steps;
    const double dr = double(to.r - from.r) / steps;
    const double dg = double(to.g - from.g) / steps;
    const double db = double(to.b - from.b) / steps;
    const int length = int(Trunc(bandSize + 1.0));
    for (int i = 0; i <= steps; ++i) {
        const TColor c = Pack(from.r + int(Round(i * dr)), from.g + int(Round(i * dg)), from.b + int(Round(i * db)));
        PenAndBrush(Canvas, c);
        const int offset = int(Trunc(i * bandSize));
        if (Horizontal)
            Canvas->Rectangle(r.Left + offset, r.Top, std::min(r.Right, r.Left + offset + length), r.Bottom);
        else
            Canvas->Rectangle(r.Left, r.Top + offset, r.Right, std::min(r.Bottom, r.Top + offset + length));
    }
}

TColor InterpolateColor(TColor FromColor, TColor ToColor, int RangeStart, int RangeEnd, int Position)
{
    if (ToColor == clNone)
        return FromColor;
    const Channels from = Split(FromColor);
    const Channels to = Split(ToColor);
    // An empty range has only its start.
    if (RangeEnd == RangeStart)
        return Pack(from.r, from.g, from.b);
    const double range = RangeEnd - RangeStart;
    return Pack(from.r + int(Round((to.r - from.r) / range * Position)),
                from.g + int(Round((to.g - from.g) / range * Position)),
                from.b + int(Round((to.b - from.b) / range * Position)));
}

TColor HalveColor(TColor Color)
{
    const Channels c = Split(Color);
    return Pack(c.r >> 1, c.g >> 1, c.b >> 1);
}

TColor ScaleColorPercent(TColor Color, int Percent)
{
    const Channels c = Split(Color);
    auto scale = [Percent](int v) { return int((v + Round(v * Percent / 100.0)) & 0xFF); };
    return Pack(scale(c.r), scale(c.g), scale(c.b));
}

QString ColorToHTMLHex(TColor Color)
{
    const uint32_t v = uint32_t(Color);
    return IntToHex(v & 0xFF, 2) + IntToHex((v >> 8) & 0xFF, 2) + IntToHex((v >> 16) & 0xFF, 2);
}

void FillSolidRect(TCanvas* Canvas, const TRect& Rect, TColor Color)
{
    Canvas->Brush().SetColor(Color);
    Canvas->FillRect(Rect);
}

// --- cell background and selection frame ----------------------------------------------

void FillCellBackground(TCanvas* Canvas, const TRect& Rect, TColor Color, TColor ColorTo, TColor MirrorColor,
                        TColor MirrorColorTo, bool Vertical, TColor BorderColor, bool SideLinesOnly, bool Fill)
{
    TRect r = Rect;
    if (Fill && Color != clNone) {
        if (MirrorColor != clNone) {
            if (!Vertical) {
                const int mid = r.Left + (r.Right - r.Left) / 2;
                FillGradient(Canvas, Color, ColorTo, 128, TRect(r.Left, r.Top, mid, r.Bottom), true);
                FillGradient(Canvas, MirrorColor, MirrorColorTo, 128, TRect(mid, r.Top, r.Right, r.Bottom), true);
            } else {
                const int mid = r.Top + (r.Bottom - r.Top) / 2;
                FillGradient(Canvas, Color, ColorTo, 128, TRect(r.Left, r.Top, r.Right, mid), false);
                FillGradient(Canvas, MirrorColor, MirrorColorTo, 128, TRect(r.Left, mid, r.Right, r.Bottom), false);
            }
        } else if (ColorTo == clNone) {
            PenAndBrush(Canvas, Color);
            Canvas->Brush().SetStyle(bsSolid);
            Canvas->Pen().SetWidth(1);
            Canvas->Pen().SetStyle(psSolid);
            r.Bottom += 1;
            Canvas->FillRect(r);
        } else {
            FillGradient(Canvas, Color, ColorTo, 128, r, !Vertical);
        }
    }
    if (BorderColor != clNone) {
        if (SideLinesOnly) {
            Canvas->Pen().SetColor(BorderColor);
            Canvas->MoveTo(r.Left, r.Top);
            Canvas->LineTo(r.Left, r.Bottom);
            Canvas->MoveTo(r.Right - 1, r.Top);
            Canvas->LineTo(r.Right - 1, r.Bottom);
        } else {
            Canvas->Brush().SetColor(BorderColor);
            Canvas->FrameRect(r);
        }
    }
}

void PaintSelectionFrame(TCanvas* Canvas, TColor ColorFrom, TColor ColorTo, TColor MirrorFrom, TColor MirrorTo,
                         TColor InnerTopColor, TColor InnerBottomColor, TColor BorderColor, TColor CornerColor,
                         TColor BackgroundColor, const TRect& Rect, uint8_t Piece)
{
    TRect r = Rect;
    r.Bottom -= 2;
    r.Right -= 1;
    const int mid = r.Top + (r.Bottom - r.Top) / 2;
    const bool leftEnd = Piece == 0 || Piece == 1;
    const bool rightEnd = Piece == 0 || Piece == 2;
    const int leftInset = (Piece == 2 || Piece == 3) ? 0 : 2;
    const int rightInset = (Piece == 1 || Piece == 3) ? 0 : 2;

    Line(Canvas, InnerTopColor, r.Left, r.Top + 1, r.Right, r.Top + 1);
    if (leftEnd)
        Line(Canvas, InnerTopColor, r.Left + 1, r.Top + 1, r.Left + 1, mid);
    if (rightEnd)
        Line(Canvas, InnerTopColor, r.Right - 2, r.Top + 1, r.Right - 2, mid);

    Line(Canvas, InnerBottomColor, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
    if (leftEnd)
        Line(Canvas, InnerBottomColor, r.Left + 1, mid, r.Left + 1, r.Bottom - 1);
    if (rightEnd)
        Line(Canvas, InnerBottomColor, r.Right - 2, mid, r.Right - 2, r.Bottom - 1);

    Line(Canvas, BorderColor, r.Left + leftInset, r.Top, r.Right - rightInset, r.Top);
    Line(Canvas, BorderColor, r.Left + leftInset, r.Bottom, r.Right - rightInset, r.Bottom);
    if (rightEnd)
        Line(Canvas, BorderColor, r.Right - 1, r.Top + 2, r.Right - 1, r.Bottom - 1);
    if (leftEnd)
        Line(Canvas, BorderColor, r.Left, r.Top + 2, r.Left, r.Bottom - 1);

    if (leftEnd) {
        for (TPoint p : {TPoint(r.Left + 1, r.Top), TPoint(r.Left + 1, r.Top + 1), TPoint(r.Left, r.Top + 1),
                         TPoint(r.Left + 1, r.Bottom), TPoint(r.Left + 1, r.Bottom - 1), TPoint(r.Left, r.Bottom - 1)})
            Pixel(Canvas, CornerColor, p.X, p.Y);
        Pixel(Canvas, BackgroundColor, r.Left, r.Top);
        Pixel(Canvas, BackgroundColor, r.Left, r.Bottom);
    }
    if (rightEnd) {
        for (TPoint p : {TPoint(r.Right - 2, r.Top), TPoint(r.Right - 2, r.Top + 1), TPoint(r.Right - 1, r.Top + 1),
                         TPoint(r.Right - 2, r.Bottom), TPoint(r.Right - 2, r.Bottom - 1),
                         TPoint(r.Right - 1, r.Bottom - 1)})
            Pixel(Canvas, CornerColor, p.X, p.Y);
        Pixel(Canvas, BackgroundColor, r.Right - 1, r.Top);
        Pixel(Canvas, BackgroundColor, r.Right - 1, r.Bottom);
    }

    const TRect f(r.Left + leftInset, r.Top + 2, r.Right - rightInset, r.Bottom - 1);
    if (ColorTo == clNone) {
        if (ColorFrom != clNone) {
            PenAndBrush(Canvas, ColorFrom);
            Canvas->FillRect(f);
        }
    } else if (MirrorFrom == clNone) {
        FillGradient(Canvas, ColorFrom, ColorTo, 16, f, false);
    } else {
        const int split = f.Top + (f.Bottom - f.Top) / 2;
        FillGradient(Canvas, ColorFrom, ColorTo, 16, TRect(f.Left, f.Top, f.Right, split), false);
        FillGradient(Canvas, MirrorFrom, MirrorTo, 16, TRect(f.Left, split, f.Right, f.Bottom), false);
    }
}

// --- in-cell buttons --------------------------------------------------------------------

void PaintComboButton(TCanvas* Canvas, std::intptr_t Window, const TRect& Rect, uint8_t Style, uint8_t State,
                      TColorTones Tones)
{
    TRect b(Rect.Right - 17, Rect.Top + 1, Rect.Right, Rect.Bottom - 1);
    OffsetRect(b, -2, 0);
    switch (Style) {
    case 0:
        DrawThemed(Window, QStringLiteral("combobox"), Canvas, 1, State == 3 ? 4 : 1, b);
        break;
    case 1:
    case 2: {
        unsigned flags = DFCS_SCROLLCOMBOBOX | (State == 3 ? DFCS_INACTIVE : 0u) | (Style == 2 ? DFCS_FLAT : 0u);
        Canvas->DrawFrameControl(b, DFC_SCROLL, flags);
        break;
    }
    case 3: {
        b.Left += 3;
        const TColorTone& tone = ToneOfState(Tones, State);
        Canvas->Brush().SetColor(tone.BrushColor);
        Canvas->Pen().SetColor(tone.BrushColor);
        Canvas->Rectangle(b);
        Canvas->Pen().SetColor(Tones.Background.BorderColor);
        Canvas->MoveTo(b.Left + 1, b.Top);
        Canvas->LineTo(b.Left + 1, b.Bottom);
        PenAndBrush(Canvas, Tones.Background.TextColor);
        Canvas->Polygon({TPoint(b.Left + 5, b.Top + 8), TPoint(b.Left + 11, b.Top + 8), TPoint(b.Left + 8, b.Top + 11)});
        break;
    }
    default:
        break;
    }
}

void PaintPushButton(TCanvas* Canvas, std::intptr_t Window, const TRect& Rect, uint8_t Style, uint8_t State,
                     TColorTones Tones)
{
    TRect r = Rect;
    switch (Style) {
    case 0: {
        const int themeState = State == 1 ? 2 : State == 2 ? 3 : State == 3 ? 4 : 1;
        DrawThemed(Window, QStringLiteral("button"), Canvas, 1, themeState, r);
        break;
    }
    case 1:
    case 2: {
        unsigned flags = DFCS_BUTTONPUSH;
        if (State == 1)
            flags |= DFCS_HOT;
        else if (State == 2)
            flags |= DFCS_PUSHED;
        else if (State == 3)
            flags |= DFCS_INACTIVE;
        if (Style == 2)
            flags |= DFCS_FLAT;
        Canvas->DrawFrameControl(r, DFC_BUTTON, flags);
        break;
    }
    case 3: {
        const TColorTone& tone = ToneOfState(Tones, State);
        Canvas->Brush().SetColor(tone.BrushColor);
        Canvas->Pen().SetColor(tone.BorderColor);
        Canvas->Rectangle(r);
        break;
    }
    default:
        break;
    }
}

void PaintSpinButtons(TCanvas* Canvas, std::intptr_t Window, const TRect& Rect, uint8_t Style, uint8_t State,
                      TColorTones Tones)
{
    TRect b(Rect.Right - 15, Rect.Top, Rect.Right, Rect.Bottom);
    OffsetRect(b, -1, -1);
    const int mid = b.Top + (b.Bottom - b.Top) / 2;
    TRect up(b.Left, b.Top, b.Right, mid);
    switch (Style) {
    case 0: {
        const int themeState = State == 3 ? 4 : 1;
        DrawThemed(Window, QStringLiteral("spin"), Canvas, 1, themeState, up);
        DrawThemed(Window, QStringLiteral("spin"), Canvas, 2, themeState, TRect(b.Left, mid, b.Right, b.Bottom));
        break;
    }
    case 1:
    case 2: {
        const unsigned extra = (State == 3 ? DFCS_INACTIVE : 0u) | (Style == 2 ? DFCS_FLAT : 0u);
        Canvas->DrawFrameControl(up, DFC_SCROLL, DFCS_SCROLLUP | extra);
        TRect down(b.Left, mid + 1, b.Right, b.Bottom);
        Canvas->DrawFrameControl(down, DFC_SCROLL, DFCS_SCROLLDOWN | extra);
        break;
    }
    case 3: {
        const TColorTone& tone = ToneOfState(Tones, State);
        PenAndBrush(Canvas, tone.BrushColor);
        Canvas->Rectangle(up);
        Canvas->Rectangle(TRect(b.Left, mid + 1, b.Right, b.Bottom));
        PenAndBrush(Canvas, clBlack);
        Canvas->Polygon({TPoint(b.Left + 5, b.Top + 5), TPoint(b.Left + 9, b.Top + 5), TPoint(b.Left + 7, b.Top + 3)});
        Canvas->Polygon({TPoint(b.Left + 5, mid + 2), TPoint(b.Left + 9, mid + 2), TPoint(b.Left + 7, mid + 4)});
        break;
    }
    default:
        break;
    }
}

void PaintDownTriangle(TCanvas* Canvas, int X, int Y, TColor Color)
{
    PenAndBrush(Canvas, Color);
    Canvas->Polygon({TPoint(X - 3, Y), TPoint(X + 3, Y), TPoint(X, Y + 3)});
}

// --- layered windows ---------------------------------------------------------------------

// The platform's user-interface library has no layered-window exports, so
// both calls take the path of a system without them: true, nothing done.
bool CallUpdateLayeredWindow(std::intptr_t /*Window*/, TCanvas* /*DestDC*/, const TPoint* /*DestPos*/,
                             const TSize* /*Size*/, TCanvas* /*SourceDC*/, const TPoint* /*SourcePos*/,
                             TColor /*Key*/, const BLENDFUNCTION* /*Blend*/, uint32_t /*Flags*/)
{
    return true;
}

bool CallSetLayeredWindowAttributes(std::intptr_t /*Window*/, TColor /*Key*/, uint8_t /*Alpha*/, uint32_t /*Flags*/)
{
    return true;
}
