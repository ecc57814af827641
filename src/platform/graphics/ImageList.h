#pragma once
// A list of equally sized images with masks, drawn normally, disabled (grey),
// blended with a colour, or with an overlay image on top.
#include "platform/graphics/Graphics.h"

#include <QImage>
#include <vector>

enum : unsigned {
    ILD_NORMAL = 0x0, ILD_TRANSPARENT = 0x1, ILD_BLEND25 = 0x2, ILD_FOCUS = 0x2, ILD_BLEND50 = 0x4,
    ILD_SELECTED = 0x4, ILD_BLEND = 0x4, ILD_MASK = 0x10, ILD_IMAGE = 0x20, ILD_OVERLAYMASK = 0xF00,
};
// The overlay number (1..15) packed into ILD_ flags.
constexpr unsigned INDEXTOOVERLAYMASK(unsigned i) { return i << 8; }

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TImageList {
public:
    TImageList();
    TImageList(int width, int height);
    virtual ~TImageList();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Changing the size clears the list, as the platform does. A list of
    // no width or height holds no images; a tab control reserves its size
    // as room in every tab all the same.
    void SetWidth(int w);
    void SetHeight(int h);
    void SetSize(int w, int h);
    int Count() const { return int(FImages.size()); }
    bool IsSizeless() const { return FWidth == 0 || FHeight == 0; }
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor c) { FBkColor = c; }
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor c) { FBlendColor = c; }
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle s) { FDrawingStyle = s; }
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType t) { FImageType = t; }
    TGraphicsChange OnChange;

    // A bitmap wider than Width is cut into Width-wide images; answers the
    // index of the first one. Mask: non-black pixels are transparent; no mask
    // keeps the image's own alpha (opaque for 24-bit).
    int Add(TBitmap* image, TBitmap* mask);
    int AddMasked(TBitmap* image, TColor maskColor);
    int AddImage(const QImage& image); // straight alpha, sized Width x Height
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void Delete(int index);
    void Clear();
    // Registers image `index` as overlay number 0..14 (drawn with overlay + 1
    // in the ILD_ overlay bits).
    bool Overlay(int index, int overlay);

    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
              bool enabled = true);
    void DrawOverlay(TCanvas* canvas, int x, int y, int index, int overlay, bool enabled = true);
    // The common-controls drawing call: ILD_ style bits, blend colour,
    // optional overlay in the overlay bits.
    void DrawEx(TCanvas* canvas, int x, int y, int index, unsigned ildFlags, TColor blend = clDefault);
    void GetBitmap(int index, TBitmap* dest) const;
    QImage ImageAt(int index) const; // straight alpha
    QImage MaskAt(int index) const;  // Format_Grayscale8, 255 where transparent

private:
    void Changed();
    QImage Prepare(int index, unsigned ildFlags, bool enabled, TColor blend) const;
    void DrawImpl(TCanvas* canvas, int x, int y, int index, unsigned ildFlags, TColor blend, bool enabled);
    int FWidth = 16;
    int FHeight = 16;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    std::vector<QImage> FImages; // ARGB32, straight alpha
    int FOverlays[15];
};
