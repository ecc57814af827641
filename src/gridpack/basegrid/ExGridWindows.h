#pragma once
// The small top-level windows the string grid shows over itself: the four
// arrows that mark a drop position while a column or row is moved, and the
// focus window that carries a soft glow around the current cell; and the
// image routines the glow is built with (a rounded-rectangle mask, a
// Gaussian blur for 24-bit bitmaps, and a 32-bit premultiplied alpha image).
// Both windows are frameless pop-ups: the arrow takes its shape from a
// window region, the glow from per-pixel alpha.
#include "platform/controls/Forms.h"
#include "platform/graphics/Graphics.h"

#include <array>

#include "gridpack/basegrid/ExObj.h" // TArrowDirection

class TArrowWindow : public TPopupForm {
    KAL_CLASS(TArrowWindow, TPopupForm)
public:
    explicit TArrowWindow(TComponent* AOwner);
    // Stores the direction, paints lime, shapes the window and stays hidden.
    void Init(TWinControl* AOwner, TArrowDirection Direction);
    TArrowDirection Dir() const { return FDir; }
    const std::array<TPoint, 7>& Arrow() const { return FArrow; }
    // The outline of a direction, in window pixels.
    static std::array<TPoint, 7> Outline(TArrowDirection Direction);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    void ApplyRegion();
    TArrowDirection FDir = arrUp;
    std::array<TPoint, 7> FArrow{};
};

class TGridFocusWindow : public TPopupForm {
    KAL_CLASS(TGridFocusWindow, TPopupForm)
public:
    // 0 by 0, red, disabled and above the other windows; its owner sets its
    // region, place and image.
    explicit TGridFocusWindow(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
};

// Always 32 bits per pixel, colours premultiplied by their alpha.
class TGridAlphaMask : public TBitmap {
public:
    TGridAlphaMask();
    uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(uint8_t v) { FOpacity = v; }
    // From another mask: its opacity and pixels, the receiver first taking
    // the source's size; from any other bitmap the plain copy. Always 32-bit
    // afterwards.
    void Assign(const TGraphic* Source);
    // Alpha from the red byte of the 24-bit grey Mask, colour from the 24-bit
    // Bitmap scaled by it; nothing unless Bitmap is 24-bit. Color is unused.
    void MergeMask(TBitmap* Mask, TBitmap* Bitmap, TColor Color);

private:
    uint8_t FOpacity = 255;
};

// A 24-bit Width by Height black bitmap with a white rounded rectangle
// (filled when PenWidth < 1, else an outline), inset 2 + PenWidth / 2, then
// blurred by Blur when above 0.
void BuildRoundRectMask(TBitmap* Bitmap, int Width, int Height, int Blur, int Corner, int PenWidth);
// Raises Exception "Blur only works for 24-bit bitmaps" for any other
// kind, leaving the bitmap unchanged. Rows and columns more than 20 pixels
// from both edges are copied from the blurred row or column 15.
void BlurBitmap(TBitmap* Bitmap, double Sigma);

struct TBlurKernel {
    int Radius = 10;
    std::array<float, 21> Weights{}; // offsets -10 .. 10
};
TBlurKernel BuildBlurKernel(double Sigma);
