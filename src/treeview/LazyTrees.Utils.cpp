// The tree's drawing utilities: blending on 32-bit bitmap rows in plain
// integer code with the arithmetic of the 16-bit vector lanes, clipping,
// text shortening and wrapping, image drawing and the drag rectangles.
#include "treeview/LazyTrees.Utils.h"

#include "platform/core/Exceptions.h"

#include <QStringList>

#include <algorithm>

TRect OrderedRect(const TRect& R) {
    return TRect(std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
                 std::max(R.Top, R.Bottom));
}

void ClipCanvasTo(TCanvas* Canvas, const TRect& R, const TRegion* ExtraRegion) {
    const TPoint tl = Canvas->LPtoDP(R.TopLeft()), br = Canvas->LPtoDP(R.BottomRight());
    TRegion clip = CreateRectRgn(tl.X, tl.Y, br.X, br.Y);
    if (ExtraRegion) CombineRgn(clip, clip, *ExtraRegion, RGN_AND);
    Canvas->SelectClipRgn(&clip);
}

void CalcTextRect(TCanvas* DC, const QString& Text, TRect& R, unsigned DrawFormat) {
    R.Right = R.Left + 1;
    R.Bottom = R.Top + 1;
    DC->DrawText(Text, R, DrawFormat | DT_CALCRECT);
}

QString ShortenText(TCanvas* DC, const QString& Text, int Width, int EllipsisWidth) {
    if (Text.isEmpty() || Width <= 0) return QString();
    if (EllipsisWidth == 0) EllipsisWidth = DC->TextWidth(QStringLiteral("..."));
    int low = 0, high = int(Text.size());
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (DC->TextWidth(Text.left(mid)) + EllipsisWidth <= Width) low = mid;
        else high = mid - 1;
    }
    if (low == int(Text.size())) return Text;
    if (EllipsisWidth < Width) return Text.left(low) + QStringLiteral("...");
    return QString();
}

namespace {
int MeasuredWidth(TCanvas* DC, const QString& S, unsigned DrawFormat) {
    TRect r;
    CalcTextRect(DC, S, r, DrawFormat);
    return r.Width();
}
}  // namespace

QString WrapText(TCanvas* DC, const QString& Text, const TRect& Bounds, bool RightToLeft, unsigned DrawFormat) {
    const QString trimmed = Text.trimmed();
    if (trimmed.isEmpty()) return QString();
    QStringList words = trimmed.split(QLatin1Char(' '));
    if (RightToLeft) std::reverse(words.begin(), words.end());
    const int width = Bounds.Width();
    auto fits = [&](const QString& s) { return MeasuredWidth(DC, s, DrawFormat) <= width; };
    QStringList lines;
    auto finish = [&](const QString& line) {
        if (RightToLeft) lines.prepend(line);
        else lines.append(line);
    };
    QString line;
    bool lineStarted = false;
    for (QString word : words) {
        if (lineStarted) {
            const QString candidate = RightToLeft ? word + QLatin1Char(' ') + line : line + QLatin1Char(' ') + word;
            if (fits(candidate)) {
                line = candidate;
                continue;
            }
            finish(line);
        }
        // The word starts a line; one too wide for any line is cut.
        while (word.size() > 1 && !fits(word)) {
            int keep = 1;
            for (int n = int(word.size()) - 1; n >= 1; --n) {
                const QString part = RightToLeft ? word.right(n) : word.left(n);
                if (fits(part)) {
                    keep = n;
                    break;
                }
            }
            finish(RightToLeft ? word.right(keep) : word.left(keep));
            word = RightToLeft ? word.left(word.size() - keep) : word.mid(keep);
        }
        line = word;
        lineStarted = true;
    }
    if (lineStarted) finish(line);
    return lines.join(QLatin1Char('\n'));
}

// ---------------------------------------------------------------------------
// Blending
// ---------------------------------------------------------------------------

uint8_t* ScanLineAddress(uint8_t* Bits, int Width, int Height, int Row) {
    const int stored = Height > 0 ? Height - Row - 1 : Row;
    const int stride = ((Width * 32 + 31) & ~31) / 8;
    return Bits + std::ptrdiff_t(stored) * stride;
}

TDIBSection DIBSectionOf(TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Empty()) throw EAssertionFailed(QStringLiteral("Alpha blending DC error: no bitmap available."));
    if (Bitmap->PixelFormat() != pf32bit)
        throw EAssertionFailed(QStringLiteral("Alpha blending error: bitmap must use 32 bpp."));
    TDIBSection d;
    d.Bits = reinterpret_cast<uint8_t*>(Bitmap->ScanLine(0));
    d.Width = Bitmap->Width();
    // The rows lie top-down, one after the other.
    d.Height = -Bitmap->Height();
    return d;
}

namespace {
// One channel as a 16-bit lane computes it: the intermediate value wraps at
// 65536 and is shifted logically, then the bias is added with saturation.
inline uint32_t BlendChannel16(uint32_t s, uint32_t d, uint32_t alpha, int bias) {
    const int32_t product = (int32_t(s) - int32_t(d)) * int32_t(alpha);
    const uint32_t v = (uint32_t(int32_t(d << 8) + product) & 0xFFFFu) >> 8;
    return uint32_t(std::clamp(int(v) + bias, 0, 255));
}

inline uint32_t BlendPixel(uint32_t s, uint32_t d, uint32_t alpha, int bias) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= BlendChannel16((s >> shift) & 0xFF, (d >> shift) & 0xFF, alpha, bias) << shift;
    return out;
}

// Bias is a signed 16-bit value.
inline int Bias16(int bias) { return int(int16_t(uint16_t(bias))); }
}  // namespace

void BlendRowConstant(const uint32_t* Source, uint32_t* Destination, int Count, int ConstantAlpha, int Bias) {
    const uint32_t a = uint32_t(ConstantAlpha) & 0xFF;
    const int b = Bias16(Bias);
    for (int i = 0; i < Count; ++i) Destination[i] = BlendPixel(Source[i], Destination[i], a, b);
}

void BlendRowPerPixel(const uint32_t* Source, uint32_t* Destination, int Count, int Bias) {
    const int b = Bias16(Bias);
    for (int i = 0; i < Count; ++i) Destination[i] = BlendPixel(Source[i], Destination[i], Source[i] >> 24, b);
}

void BlendRowMaster(const uint32_t* Source, uint32_t* Destination, int Count, int ConstantAlpha, int Bias) {
    const uint32_t master = uint32_t(ConstantAlpha) & 0xFF;
    const int b = Bias16(Bias);
    for (int i = 0; i < Count; ++i)
        Destination[i] = BlendPixel(Source[i], Destination[i], ((Source[i] >> 24) * master) >> 8, b);
}

void BlendRowMasterAndColor(uint32_t* Destination, int Count, int ConstantAlpha, TColor Color) {
    const uint32_t a = uint32_t(ConstantAlpha) & 0xFF;
    // Red is the low byte of the colour value; in a pixel blue comes first.
    const uint32_t c = uint32_t(Color);
    const uint32_t channels[4] = {(c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, 0};
    for (int i = 0; i < Count; ++i) {
        const uint32_t d = Destination[i];
        uint32_t out = 0;
        for (int k = 0; k < 4; ++k) {
            const uint32_t dc = (d >> (8 * k)) & 0xFF;
            out |= (((channels[k] * a + dc * (256 - a)) >> 8) & 0xFF) << (8 * k);
        }
        Destination[i] = out;
    }
}

void EndMmxBlend() {}

bool CpuHasMmx() { return true; }

void AlphaBlendRect(TBitmap* Source, TBitmap* Destination, const TRect& R, TPoint Target, TBlendMode Mode,
                    int ConstantAlpha, int Bias) {
    if (R.IsEmpty()) return;
    if (Mode == bmConstantAlphaAndColor) {
        if (!Destination) return;
        const TDIBSection dst = DIBSectionOf(Destination);
        TRect r;
        if (!IntersectRect(r, R, Rect(0, 0, dst.Width, -dst.Height))) return;
        for (int y = r.Top; y < r.Bottom; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(ScanLineAddress(dst.Bits, dst.Width, dst.Height, y));
            BlendRowMasterAndColor(row + r.Left, r.Width(), ConstantAlpha, TColor(Bias));
        }
        EndMmxBlend();
        return;
    }
    if (!Source || !Destination) return;
    const TDIBSection src = DIBSectionOf(Source);
    const TDIBSection dst = DIBSectionOf(Destination);
    const int srcH = -src.Height, dstH = -dst.Height;
    // Cut the rectangle and the target to both bitmaps.
    int sx = R.Left, sy = R.Top, w = R.Width(), h = R.Height(), tx = Target.X, ty = Target.Y;
    auto cut = [](int& s, int& t, int& len) {
        if (s < 0) {
            t -= s;
            len += s;
            s = 0;
        }
        if (t < 0) {
            s -= t;
            len += t;
            t = 0;
        }
    };
    cut(sx, tx, w);
    cut(sy, ty, h);
    w = std::min({w, src.Width - sx, dst.Width - tx});
    h = std::min({h, srcH - sy, dstH - ty});
    if (w <= 0 || h <= 0) return;
    for (int i = 0; i < h; ++i) {
        const auto* s = reinterpret_cast<const uint32_t*>(ScanLineAddress(src.Bits, src.Width, src.Height, sy + i)) + sx;
        auto* d = reinterpret_cast<uint32_t*>(ScanLineAddress(dst.Bits, dst.Width, dst.Height, ty + i)) + tx;
        switch (Mode) {
        case bmConstantAlpha: BlendRowConstant(s, d, w, ConstantAlpha, Bias); break;
        case bmPerPixelAlpha: BlendRowPerPixel(s, d, w, Bias); break;
        default: BlendRowMaster(s, d, w, ConstantAlpha, Bias); break;
        }
    }
    EndMmxBlend();
}

// ---------------------------------------------------------------------------
// Images
// ---------------------------------------------------------------------------

uint32_t ImageListColor(TColor Color) {
    if (Color == clNone) return CLR_NONE;
    if (Color == clDefault) return CLR_DEFAULT;
    return uint32_t(ColorToRGB(Color));
}

void DrawImageEnabled(TImageList* Images, int Index, TCanvas* Canvas, int X, int Y, unsigned Style, bool Enabled) {
    if (!Images) return;
    if (Enabled) Images->DrawEx(Canvas, X, Y, Index, Style);
    else DrawImageGrayed(Images, Canvas, X, Index, Y);
}

void DrawImageGrayed(TImageList* Images, TCanvas* Canvas, int X, int Index, int Y) {
    if (Images) Images->Draw(Canvas, X, Y, Index, dsTransparent, itImage, false);
}

void StretchBitmapToCanvas(TCanvas* Canvas, const TRect& R, TBitmap* Bitmap) {
    if (Canvas && Bitmap && !Bitmap->Empty()) Canvas->StretchDraw(R, Bitmap);
}

void SplitDragRectangles(int W, int H, int DX, int DY, TRect (&Out)[6]) {
    Out[0] = TRect(0, 0, W, H);
    auto set = [&](int i, int x, int y, int w, int h) { Out[i] = TRect(x, y, w, h); };
    if (DX > 0) {
        if (DY == 0) {
            set(1, 0, 0, W - DX, H);
            set(2, 0, 0, DX, H);
            set(4, W - DX, 0, DX, H);
        } else if (DY < 0) {
            set(1, 0, -DY, W - DX, H);
            set(2, 0, 0, DX, H);
            set(3, DX, H + DY, W - DX, -DY);
            set(4, 0, 0, W - DX, -DY);
            set(5, W - DX, 0, DX, H);
        } else {
            set(1, 0, 0, W - DX, H - DY);
            set(2, 0, 0, DX, H);
            set(3, DX, 0, W - DX, DY);
            set(4, 0, H - DY, W - DX, DY);
            set(5, W - DX, 0, DX, H);
        }
    } else if (DX == 0) {
        if (DY < 0) {
            set(1, 0, -DY, W, H);
            set(3, 0, H + DY, W, -DY);
            set(5, 0, 0, W, -DY);
        } else {
            set(1, 0, 0, W, H - DY);
            set(3, 0, 0, W, DY);
            set(5, 0, H - DY, W, DY);
        }
    } else {
        if (DY > 0) {
            set(1, -DX, 0, W, H);
            set(2, 0, 0, W + DX, DY);
            set(3, W + DX, 0, -DX, H);
            set(4, 0, 0, -DX, H);
            set(5, -DX, H - DY, W + DX, DY);
        } else if (DY == 0) {
            set(1, -DX, 0, W, H);
            set(2, W + DX, 0, -DX, H);
            set(4, 0, 0, -DX, H);
        } else {
            set(1, -DX, -DY, W, H);
            set(2, 0, H + DY, W + DX, -DY);
            set(3, W + DX, 0, -DX, H);
            set(4, 0, 0, -DX, H);
            set(5, -DX, 0, W + DX, -DY);
        }
    }
}
