// The graphic cell painters of RorIdad: progress bar and pie, range bar,
// level progress, cell shapes, wavy underline and key-coloured bitmaps.
#include "gridpack/basegrid/RorIdadGraphics.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/controls/Controls.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Format.h"
#include "platform/core/MathUtils.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {
void PenAndBrush(TCanvas* Canvas, TColor c)
{
    Canvas->Brush().SetColor(c);
    Canvas->Pen().SetColor(c);
}

// Round with halves to even; values beyond 64 bits are pinned so that a
// wild position shows a wild number instead of raising.
int64_t SafeRound(double v)
{
    if (std::isnan(v))
        return 0;
    constexpr double lim = 9.0e18;
    return Round(std::clamp(v, -lim, lim));
}

QString DecimalText(double v)
{
    if (std::isfinite(v) && std::fabs(v) < 9.0e18)
        return QString::number(SafeRound(v));
    return Format(QStringLiteral("%.0f"), {v});
}

// 'i' for a format with exactly one integer conversion (d, u, x), 'f' for one
// floating-point conversion (e, f, g, n, m), 0 for anything else (none,
// several, text, pointer, arguments taken by "*" or by index).
char SingleConversion(const QString& F)
{
    char kind = 0;
    int count = 0;
    const int n = int(F.size());
    for (int i = 0; i < n; ++i) {
        if (F[i] != QLatin1Char('%'))
            continue;
        ++i;
        if (i < n && F[i] == QLatin1Char('%'))
            continue;
        if (i < n && F[i] == QLatin1Char('-'))
            ++i;
        while (i < n && F[i].isDigit())
            ++i;
        if (i < n && F[i] == QLatin1Char('.')) {
            ++i;
            while (i < n && F[i].isDigit())
                ++i;
        }
        if (i >= n)
            return 0;
        const QChar t = F[i].toLower();
        if (t == QLatin1Char('d') || t == QLatin1Char('u') || t == QLatin1Char('x'))
            kind = 'i';
        else if (QStringLiteral("efgnm").contains(t))
            kind = 'f';
        else
            return 0; // "*", an index, text, pointer or an unknown type
        if (++count > 1)
            return 0;
    }
    return count == 1 ? kind : 0;
}

int ClampPercent(double p)
{
    if (std::isnan(p))
        return 0;
    return int(SafeRound(std::clamp(p, 0.0, 100.0)));
}

void FillSegment(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, const LevelProgressSettings& S)
{
    if (R.Right <= R.Left || R.Bottom <= R.Top)
        return;
    if (!S.ShowGradient) {
        FillSolidRect(Canvas, R, Color);
        return;
    }
    if (S.Vertical) {
        const int mid = R.Left + (R.Right - R.Left) / 2;
        FillGradient(Canvas, ColorTo, Color, S.Steps, TRect(R.Left, R.Top, mid, R.Bottom), true);
        FillGradient(Canvas, Color, ColorTo, S.Steps, TRect(mid, R.Top, R.Right, R.Bottom), true);
    } else {
        const int mid = R.Top + (R.Bottom - R.Top) / 2;
        FillGradient(Canvas, ColorTo, Color, S.Steps, TRect(R.Left, R.Top, R.Right, mid), false);
        FillGradient(Canvas, Color, ColorTo, S.Steps, TRect(R.Left, mid, R.Right, R.Bottom), false);
    }
}

// A segment of Length pixels starting at Start along the bar's direction:
// rightward from Start, or upward with Start as its bottom edge.
TRect SegmentRect(const TRect& Rect, bool Vertical, int Start, int Length)
{
    if (Vertical)
        return TRect(Rect.Left + 1, Start - Length, Rect.Right - 1, Start);
    return TRect(Start, Rect.Top + 1, Start + Length, Rect.Bottom - 1);
}
} // namespace

// --- progress bar --------------------------------------------------------------

void ProgressBarText(double Position, int Min, int Max, const QString& Fmt, QString& Text, int& Percent)
{
    const char kind = Fmt.isEmpty() ? 0 : SingleConversion(Fmt);
    if (kind == 0) {
        Text = DecimalText(Position) + QLatin1Char('%');
        Percent = ClampPercent(Position);
        return;
    }
    try {
        if (kind == 'i')
            Text = Format(Fmt, {SafeRound(Position)});
        else
            Text = Format(Fmt, {Position});
    } catch (const Exception&) {
        Text = DecimalText(Position) + QLatin1Char('%');
    }
    Percent = Max == Min ? 0 : ClampPercent((Position - Min) * 100.0 / (double(Max) - double(Min)));
}

void PaintProgressBar(TCanvas* Canvas, const TRect& Rect, TColor DoneColor, TColor DoneTextColor, TColor RestColor,
                      TColor RestTextColor, double Position, int MarginX, int MarginY, int Min, int Max,
                      const QString& Format, TColor BorderColor, bool Printing)
{
    const TColor saved = Canvas->Brush().Color();
    PenAndBrush(Canvas, DoneColor);
    Canvas->Font().SetColor(DoneTextColor);

    QString text;
    int percent = 0;
    ProgressBarText(Position, Min, Max, Format, text, percent);

    TRect r = Rect;
    InflateRect(r, -MarginX, -MarginY);
    TRect done = r;
    done.Right = r.Left + int(Round((r.Right - r.Left) * double(percent) / 100.0));

    const TSize ext = Canvas->TextExtent(text);
    const int sign = Printing ? -1 : 1;
    const int tx = r.Left + (r.Right - r.Left - ext.cx) / 2;
    const int ty = r.Top + (r.Bottom - r.Top - ext.cy * sign) / 2;
    Canvas->TextRect(done, tx, ty, text);

    PenAndBrush(Canvas, RestColor);
    Canvas->Font().SetColor(RestTextColor);
    Canvas->TextRect(TRect(done.Right, r.Top, r.Right, r.Bottom), tx, ty, text);

    Canvas->Brush().SetColor(BorderColor);
    Canvas->Pen().SetColor(saved);
    InflateRect(r, 1, 1);
    if (BorderColor != clNone)
        Canvas->FrameRect(r);
    Canvas->Brush().SetColor(saved);
    InflateRect(r, 1, 1);
    Canvas->FrameRect(r);
}

// --- pie and range bar --------------------------------------------------------------

void PaintProgressPie(TCanvas* Canvas, const TRect& Rect, TColor Color, int Position, bool Printing)
{
    Canvas->Pen().SetColor(clGray);
    Canvas->Pen().SetWidth(1);
    Canvas->Ellipse(Rect);
    const int w = Rect.Right - Rect.Left;
    const int h = Rect.Bottom - Rect.Top;
    const int cx = Rect.Left + w / 2;
    const int cy = Rect.Top + h / 2;
    Canvas->MoveTo(cx, Rect.Top);
    Canvas->LineTo(cx, cy);
    const double angle = Position / 100.0 * 2 * M_PI;
    Canvas->LineTo(cx + int(Round((w + 1) * 0.5 * std::sin(angle))), cy - int(Round((h + 1) * 0.5 * std::cos(angle))));
    Canvas->Brush().SetColor(Color);
    if (Position != 0)
        Canvas->FloodFill(Rect.Left + w / 2 + 1, Rect.Top + (Printing ? -2 : 2), clGray, fsBorder);
}

void PaintRangeBar(TCanvas* Canvas, const TRect& Rect, int Value, int Range, bool ShowValue, TColor NegativeColor,
                   TColor PositiveColor)
{
    if (Range <= 0)
        return;
    TRect r = Rect;
    InflateRect(r, -2, -2);
    const int half = (r.Right - r.Left) / 2;
    Value = std::clamp(Value, -Range, Range);
    const int length = int(Round(double(Value) * half / Range));
    if (Value < 0) {
        PenAndBrush(Canvas, NegativeColor);
        Canvas->Rectangle(r.Left + half + length, r.Top, r.Left + half, r.Bottom);
    } else {
        PenAndBrush(Canvas, PositiveColor);
        Canvas->Rectangle(r.Left + half, r.Top, r.Left + half + length, r.Bottom);
    }
    if (ShowValue) {
        Canvas->SetBkMode(TRANSPARENT);
        const QString text = QString::number(Value);
        const TSize ext = Canvas->TextExtent(text);
        Canvas->TextOut(r.Left + (r.Right - r.Left - ext.cx) / 2, r.Top + (r.Bottom - r.Top - ext.cy) / 2, text);
    }
}

// --- level progress ------------------------------------------------------------------

void PaintLevelProgress(TCanvas* Canvas, const TRect& Rect, int Position, const LevelProgressSettings& S)
{
    const TColor edge = S.ShowBorder ? S.BorderColor : S.BackgroundColor;
    int size = S.Vertical ? Rect.Bottom - Rect.Top : Rect.Right - Rect.Left;
    Canvas->Brush().SetColor(S.BackgroundColor);
    Canvas->Pen().SetColor(edge);
    Canvas->Rectangle(Rect);
    size -= 2;

    const int start = S.Vertical ? Rect.Bottom - 1 : Rect.Left + 1;
    const int dir = S.Vertical ? -1 : 1;
    if (Position > 0 && S.Stacked) {
        int len1, len2 = 0, len3 = 0;
        bool more = Position >= S.Level1Perc;
        len1 = int(Round((more ? S.Level1Perc : Position) / 100.0 * size));
        FillSegment(Canvas, SegmentRect(Rect, S.Vertical, S.Vertical ? start : start, len1), S.Level0Color,
                    S.Level0ColorTo, S);
        if (more) {
            const bool third = Position >= S.Level2Perc;
            len2 = int(Round(size * double((third ? S.Level2Perc : Position) - S.Level1Perc) / 100.0));
            const int s2 = start + dir * len1;
            FillSegment(Canvas, SegmentRect(Rect, S.Vertical, s2, len2), S.Level1Color, S.Level1ColorTo, S);
            if (third) {
                len3 = Position == 100 ? size - len1 - len2
                                       : int(Round(size * double(Position - S.Level2Perc) / 100.0));
                // Upward, the third segment keeps one pixel clear above the second.
                const int s3 = S.Vertical ? s2 - len2 - 1 : s2 + len2;
                FillSegment(Canvas, SegmentRect(Rect, S.Vertical, s3, len3), S.Level3Color, S.Level3ColorTo, S);
            }
        }
    } else if (Position > 0) {
        TColor c, cto;
        if (Position < S.Level1Perc) {
            c = S.Level0Color;
            cto = S.Level0ColorTo;
        } else if (Position < S.Level2Perc) {
            c = S.Level1Color;
            cto = S.Level1ColorTo;
        } else if (Position < 100) {
            c = S.Level2Color;
            cto = S.Level2ColorTo;
        } else {
            c = S.Level3Color;
            cto = S.Level3ColorTo;
        }
        if (S.CompletionSmooth) {
            FillSegment(Canvas, SegmentRect(Rect, S.Vertical, start, int(Round(Position / 100.0 * size))), c, cto, S);
        } else {
            Canvas->Brush().SetColor(S.BackgroundColor);
            const int total = int(Round(double(Position) * size / 100.0));
            // A block of `len` pixels whose near edge lies `at` pixels past
            // the bar's start (2 pixels inside the frame).
            auto block = [&](int at, int len) {
                TRect b = S.Vertical ? TRect(Rect.Left + 2, Rect.Bottom - at - len, Rect.Right - 2, Rect.Bottom - at)
                                     : TRect(Rect.Left + at, Rect.Top + 2, Rect.Left + at + len, Rect.Bottom - 2);
                FillSegment(Canvas, b, c, cto, S);
            };
            if (total > 9) {
                const int blocks = total / 9;
                for (int i = 0; i < blocks; ++i)
                    block(2 + 9 * i, 7);
                if (total % 9 > 2)
                    block(2 + 9 * blocks, total % 9 - 1);
            } else if (total >= 2) {
                block(2, total - 1);
            }
            Canvas->Brush().SetStyle(bsClear);
        }
    }

    if (S.ShowPercentage) {
        Canvas->Brush().SetStyle(bsClear);
        TFont f;
        f.SetName(S.Font.Name());
        f.SetSize(S.Font.Size());
        f.SetStyle(S.Font.Style());
        f.SetColor(S.FontColor);
        const QString text = QString::number(Position) + QLatin1Char('%');
        Canvas->SetFont(f);
        const TSize ext = Canvas->TextExtent(text);
        if (S.Vertical) {
            f.SetOrientation(900);
            Canvas->SetFont(f);
            Canvas->TextOut(Rect.Left + (Rect.Right - Rect.Left) / 2 - ext.cy / 2,
                            Rect.Top + (Rect.Bottom - Rect.Top) / 2 + ext.cx / 2, text);
        } else {
            Canvas->TextOut(Rect.Left + (Rect.Right - Rect.Left) / 2 - ext.cx / 2,
                            Rect.Top + (Rect.Bottom - Rect.Top) / 2 - ext.cy / 2, text);
        }
    }

    Canvas->Pen().SetColor(edge);
    Canvas->Brush().SetStyle(bsClear);
    Canvas->Rectangle(Rect);
}

// --- shapes ----------------------------------------------------------------------------

void PaintCellShape(TCanvas* Canvas, int X, int Y, int W, int H, int Shape, TColor BrushColor, TColor PenColor)
{
    Canvas->Brush().SetColor(BrushColor);
    Canvas->Pen().SetColor(PenColor);
    if ((Shape == csCircle || Shape == csSquare || Shape == csRoundSquare) && W != H)
        W = H = std::min(W, H);

    auto star = [&] {
        std::vector<TPoint> p(10);
        const int cx = X + W / 2, cy = Y + H / 2;
        const double ro[2] = {double(W / 2), double(H / 2)};
        const double ri[2] = {(W / 2) / 3.0, (H / 2) / 3.0};
        for (int k = 0; k < 10; ++k) {
            const double a = k * M_PI / 5;
            const double* rad = (k % 2 == 0) ? ro : ri;
            p[k] = TPoint(cx + int(Round(std::sin(a) * rad[0])), cy - int(Round(std::cos(a) * rad[1])));
        }
        return p;
    };

    switch (Shape) {
    case csRectangle:
    case csSquare: Canvas->Rectangle(X + 1, Y + 1, X + W - 1, Y + H - 1); break;
    case csCircle:
    case csEllips: Canvas->Ellipse(X, Y, X + W, Y + H); break;
    case csTriangleLeft: Canvas->Polygon({TPoint(X + W, Y), TPoint(X + W, Y + H), TPoint(X, Y + H / 2)}); break;
    case csTriangleRight: Canvas->Polygon({TPoint(X, Y), TPoint(X, Y + H), TPoint(X + W, Y + H / 2)}); break;
    case csTriangleUp: Canvas->Polygon({TPoint(X, Y + H), TPoint(X + W, Y + H), TPoint(X + W / 2, Y)}); break;
    case csTriangleDown: Canvas->Polygon({TPoint(X, Y), TPoint(X + W, Y), TPoint(X + W / 2, Y + H)}); break;
    case csDiamond:
        Canvas->Polygon({TPoint(X, Y + H / 2), TPoint(X + W / 2, Y), TPoint(X + 2 * (W / 2), Y + H / 2),
                         TPoint(X + W / 2, Y + 2 * (H / 2))});
        break;
    case csLineVert: Canvas->Rectangle(X + W / 2, Y, X + W / 2 + 1, Y + H); break;
    case csLineHorz: Canvas->Rectangle(X, Y + H / 2, X + W, Y + H / 2 + 1); break;
    case csRoundRect:
    case csRoundSquare: Canvas->RoundRect(X, Y, X + W, Y + H, 10, 10); break;
    case csStar: Canvas->Polygon(star()); break;
    case csHalfStar: {
        const std::vector<TPoint> p = star();
        Canvas->Polygon({p[0], p[5], p[6], p[7], p[8], p[9]});
        break;
    }
    case csArrowUp:
    case csArrowDown: {
        const int v = W - W % 2, q = v / 4;
        const int tip = Shape == csArrowUp ? Y : Y + H, foot = Shape == csArrowUp ? Y + H : Y;
        Canvas->Polygon({TPoint(X, Y + H / 2), TPoint(X + v / 2, tip), TPoint(X + v, Y + H / 2),
                         TPoint(X + 3 * q, Y + H / 2), TPoint(X + 3 * q, foot), TPoint(X + q, foot),
                         TPoint(X + q, Y + H / 2)});
        break;
    }
    case csArrowLeft:
    case csArrowRight: {
        const int g = H - H % 2, p = g / 4;
        const int tip = Shape == csArrowLeft ? X : X + W, foot = Shape == csArrowLeft ? X + W : X;
        Canvas->Polygon({TPoint(tip, Y + g / 2), TPoint(X + W / 2, Y), TPoint(X + W / 2, Y + p), TPoint(foot, Y + p),
                         TPoint(foot, Y + 3 * p), TPoint(X + W / 2, Y + 3 * p), TPoint(X + W / 2, Y + g)});
        break;
    }
    default: break; // past the last shape: nothing
    }
}

// --- wavy underline ------------------------------------------------------------------------

void PaintWavyUnderline(TWinControl* Parent, TCanvas* Canvas, const QString& Text, const TRect& Rect, int YOffset,
                        int From, int Count)
{
    const int len = int(Text.size());
    if (Count <= 0 || len == 0 || From < 0)
        return;
    // Measured in the parent's font on the caller's canvas, whose font is
    // put back afterwards.
    TFont kept(Canvas->Font());
    if (Parent)
        Canvas->SetFont(*Parent->Font());
    auto xOf = [&](int i) { return Canvas->TextWidth(Text.left(std::clamp(i, 0, len))); };
    int x1 = From < len ? xOf(From) : xOf(len) + 4;
    const int y1 = 0;
    int x2, y2;
    if (From + Count < len) {
        x2 = xOf(From + Count - 1);
        y2 = 0;
    } else {
        x2 = xOf(len - 1) + 4;
        y2 = y1;
    }
    Canvas->SetFont(kept);

    Canvas->Pen().SetColor(clRed);
    Canvas->Pen().SetWidth(2);
    Canvas->MoveTo(Rect.Left + x1, Rect.Top + y1 + YOffset + 3);
    int d = 3;
    int x = x1;
    while (x <= x2) {
        d = d == 3 ? 0 : 3;
        Canvas->LineTo(Rect.Left + x + 3, Rect.Top + y2 + YOffset + d);
        x += 3;
    }
    d = d == 3 ? 0 : 3;
    Canvas->LineTo(Rect.Left + x + 3, Rect.Top + y2 + YOffset + d);
}

// --- bitmaps ----------------------------------------------------------------------------------

void DrawBitmapTransparent(TCanvas* Canvas, TBitmap* Bitmap, TColor BackColor, const TRect& Rect)
{
    if (!Bitmap || Bitmap->Width() <= 0 || Bitmap->Height() <= 0)
        return;
    const int w = Bitmap->Width(), h = Bitmap->Height();
    TBitmap tmp(w, h);
    tmp.Canvas()->Brush().SetColor(BackColor);
    const TColor key = Bitmap->Canvas()->Pixels(0, 0);
    tmp.Canvas()->BrushCopy(TRect(0, 0, w, h), Bitmap, TRect(0, 0, w, h), key);
    Canvas->CopyRect(TRect(Rect.Left, Rect.Top, Rect.Left + w, Rect.Top + h), tmp.Canvas(), TRect(0, 0, w, h));
}

void DrawResourceBitmap(TCanvas* Canvas, TColor BackColor, const TRect& Rect, const QString& ResourceName)
{
    const QString path = QStringLiteral(":/") + ResourceName;
    if (ResourceName.isEmpty() || !QFile::exists(path))
        return;
    TBitmap bmp;
    try {
        bmp.LoadFromFile(path);
    } catch (const Exception&) {
        return;
    }
    DrawBitmapTransparent(Canvas, &bmp, BackColor, Rect);
}
