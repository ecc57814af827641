// Arrow and focus windows, the alpha mask and the blur.
#include "gridpack/basegrid/ExGridWindows.h"

#include "platform/controls/Messages.h"
#include "platform/core/Exceptions.h"
#include "platform/core/MathUtils.h"

#include <algorithm>
#include <cmath>
#include <vector>

// --- arrow window -------------------------------------------------------------------------

TArrowWindow::TArrowWindow(TComponent* AOwner) : TPopupForm(AOwner)
{
    SetColor(clLime);
    SetVisible(false);
}

std::array<TPoint, 7> TArrowWindow::Outline(TArrowDirection Direction)
{
    switch (Direction) {
    case arrUp: return {TPoint(5, 0), TPoint(10, 5), TPoint(7, 5), TPoint(7, 9), TPoint(3, 9), TPoint(3, 5), TPoint(0, 5)};
    case arrDown: return {TPoint(3, 0), TPoint(7, 0), TPoint(7, 4), TPoint(9, 4), TPoint(5, 8), TPoint(1, 4), TPoint(3, 4)};
    case arrLeft: return {TPoint(0, 3), TPoint(0, 7), TPoint(4, 7), TPoint(4, 10), TPoint(8, 5), TPoint(4, 0), TPoint(4, 3)};
    case arrRight:
    default: return {TPoint(0, 5), TPoint(4, 10), TPoint(4, 7), TPoint(8, 7), TPoint(8, 3), TPoint(4, 3), TPoint(4, 0)};
    }
}

void TArrowWindow::Init(TWinControl* AOwner, TArrowDirection Direction)
{
    FDir = Direction;
    FArrow = Outline(Direction);
    SetColor(clLime);
    (void)AOwner; // a pop-up stands on the screen, not inside its owner
    SetVisible(false);
    ApplyRegion();
}

void TArrowWindow::ApplyRegion()
{
    const std::vector<TPoint> pts(FArrow.begin(), FArrow.end());
    const TRegion rgn = CreatePolygonRgn(pts, WINDING);
    SetWindowRgn(this, &rgn, true);
}

void TArrowWindow::CreateParams(TCreateParams& Params)
{
    TPopupForm::CreateParams(Params);
    Params.Style = WS_POPUP; // a bare pop-up, nothing else
    Params.ExStyle = 0;
}

void TArrowWindow::CreateWnd()
{
    TPopupForm::CreateWnd();
    ApplyRegion();
}

// --- focus window -------------------------------------------------------------------------

TGridFocusWindow::TGridFocusWindow(TComponent* AOwner) : TPopupForm(AOwner)
{
    SetBounds(0, 0, 0, 0);
    SetColor(clRed);
    SetEnabled(false);
    SetVisible(false);
}

void TGridFocusWindow::CreateParams(TCreateParams& Params)
{
    TPopupForm::CreateParams(Params);
    Params.Style = WS_POPUP | WS_DISABLED;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}

// --- alpha mask ---------------------------------------------------------------------------

TGridAlphaMask::TGridAlphaMask() { SetPixelFormat(pf32bit); }

void TGridAlphaMask::Assign(const TGraphic* Source)
{
    if (const auto* mask = dynamic_cast<const TGridAlphaMask*>(Source)) {
        FOpacity = mask->FOpacity;
        // The receiver takes the source's size first, so the row copy never
        // reads or writes past either bitmap.
        SetPixelFormat(pf32bit);
        SetSize(mask->Width(), mask->Height());
        const TGridAlphaMask& src = *mask;
        for (int y = 0; y < Height(); ++y)
            std::copy_n(src.ScanLine(y), Width(), ScanLine(y));
    } else {
        TBitmap::Assign(Source);
    }
    SetPixelFormat(pf32bit);
}

void TGridAlphaMask::MergeMask(TBitmap* Mask, TBitmap* Bitmap, TColor)
{
    if (!Mask || !Bitmap || Bitmap->PixelFormat() != pf24bit)
        return;
    SetPixelFormat(pf32bit);
    SetSize(Bitmap->Width(), Bitmap->Height());
    const int mw = Mask->Width(), mh = Mask->Height();
    for (int y = 0; y < Height(); ++y) {
        const TRGBQuad* b = Bitmap->ScanLine(y);
        const TRGBQuad* m = y < mh ? Mask->ScanLine(y) : nullptr;
        TRGBQuad* o = ScanLine(y);
        for (int x = 0; x < Width(); ++x) {
            const int a = (m && x < mw) ? m[x].rgbRed : 0;
            o[x].rgbBlue = uint8_t(Round(b[x].rgbBlue * a / 255.0));
            o[x].rgbGreen = uint8_t(Round(b[x].rgbGreen * a / 255.0));
            o[x].rgbRed = uint8_t(Round(b[x].rgbRed * a / 255.0));
            o[x].rgbReserved = uint8_t(a);
        }
    }
}

// --- round-rect mask and blur ------------------------------------------------------------

void BuildRoundRectMask(TBitmap* Bitmap, int Width, int Height, int Blur, int Corner, int PenWidth)
{
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(Width, Height);
    TCanvas* c = Bitmap->Canvas();
    c->Brush().SetStyle(bsSolid);
    c->Brush().SetColor(clBlack);
    c->FillRect(TRect(0, 0, Width, Height));
    c->Pen().SetColor(clWhite);
    if (PenWidth < 1) {
        c->Pen().SetWidth(1);
        c->Brush().SetColor(clWhite);
    } else {
        c->Pen().SetWidth(PenWidth);
        c->Brush().SetColor(clBlack);
    }
    const int inset = PenWidth / 2 + 2;
    c->RoundRect(inset, inset, Width - inset, Height - inset, Corner, Corner);
    c->Pen().SetWidth(1);
    if (Blur > 0)
        BlurBitmap(Bitmap, Blur);
}

TBlurKernel BuildBlurKernel(double Sigma)
{
    TBlurKernel k;
    double w[21];
    double sum = 0;
    for (int i = -10; i <= 10; ++i) {
        const double t = Sigma != 0 ? i / Sigma : (i == 0 ? 0 : 1e9);
        w[i + 10] = std::exp(-t * t / 2);
        sum += w[i + 10];
    }
    for (double& v : w)
        v /= sum;
    int r = 10;
    double tail = 0;
    while (tail < 1.0 / (2 * 255) && r > 1) {
        tail += 2 * w[r + 10];
        --r;
    }
    double inner = 0;
    for (int i = -r; i <= r; ++i)
        inner += w[i + 10];
    for (int i = -10; i <= 10; ++i)
        k.Weights[i + 10] = (i >= -r && i <= r) ? float(w[i + 10] / inner) : 0.0f;
    k.Radius = r;
    return k;
}

namespace {
void BlurLine(std::vector<TRGBQuad>& line, const TBlurKernel& k)
{
    const int n = int(line.size()) - 1;
    if (n < 0)
        return;
    std::vector<TRGBQuad> out(line);
    for (int i = 0; i <= n; ++i) {
        float s[3] = {0, 0, 0};
        for (int j = -k.Radius; j <= k.Radius; ++j) {
            const TRGBQuad& p = line[std::clamp(i - j, 0, n)];
            const float w = k.Weights[j + 10];
            s[0] += w * p.rgbBlue;
            s[1] += w * p.rgbGreen;
            s[2] += w * p.rgbRed;
        }
        uint8_t b[3];
        for (int c = 0; c < 3; ++c)
            b[c] = s[c] < 0 ? 0 : s[c] >= 255 ? 255 : uint8_t(s[c]);
        out[i].rgbBlue = b[0];
        out[i].rgbGreen = b[1];
        out[i].rgbRed = b[2];
    }
    line.swap(out);
}
} // namespace

void BlurBitmap(TBitmap* Bitmap, double Sigma)
{
    if (!Bitmap || Bitmap->PixelFormat() != pf24bit)
        throw Exception(QStringLiteral("Blur only works for 24-bit bitmaps"));
    const TBlurKernel k = BuildBlurKernel(Sigma);
    const int w = Bitmap->Width(), h = Bitmap->Height();
    std::vector<TRGBQuad> line;
    for (int y = 0; y < h; ++y) {
        TRGBQuad* row = Bitmap->ScanLine(y);
        if (y > 20 && y < h - 20) {
            std::copy_n(Bitmap->ScanLine(15), w, row);
            continue;
        }
        line.assign(row, row + w);
        BlurLine(line, k);
        std::copy(line.begin(), line.end(), row);
    }
    for (int x = 0; x < w; ++x) {
        if (x > 20 && x < w - 20) {
            for (int y = 0; y < h; ++y) {
                TRGBQuad* row = Bitmap->ScanLine(y);
                row[x] = row[15];
            }
            continue;
        }
        line.resize(h);
        for (int y = 0; y < h; ++y)
            line[y] = Bitmap->ScanLine(y)[x];
        BlurLine(line, k);
        for (int y = 0; y < h; ++y)
            Bitmap->ScanLine(y)[x] = line[y];
    }
}
