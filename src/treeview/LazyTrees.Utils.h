#pragma once
// Drawing routines the tree, its header, its hint window and its drag image
// share: a software alpha blender on 32-bit bitmap rows, rectangle and clip
// helpers, text shortening and wrapping, the colour value of the image-list
// calls, image drawing with a grey look for disabled items, a stretch for
// printing and the rectangle split of a moving drag image. None keeps state.
//
// Blending works on pixels in memory order blue, green, red, alpha; it gives
// the results of the 64-bit vector code it stands for, the 16-bit wrap of
// the intermediate value included.
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImageList.h"

#include <QString>

#include <cstdint>

TRect OrderedRect(const TRect& R);
// Clips the canvas to R (logical units), intersected with ExtraRegion (device
// units) when one is given.
void ClipCanvasTo(TCanvas* Canvas, const TRect& R, const TRegion* ExtraRegion = nullptr);
// Sets R to the extent of Text drawn with DrawFormat.
void CalcTextRect(TCanvas* DC, const QString& Text, TRect& R, unsigned DrawFormat);
// The longest prefix of Text that fits Width together with "..." (measured
// when EllipsisWidth is 0), followed by "..."; the whole text when it fits,
// an empty text when not even "..." fits.
QString ShortenText(TCanvas* DC, const QString& Text, int Width, int EllipsisWidth = 0);
// Greedy word wrap into the width of Bounds; lines separated by LF.
QString WrapText(TCanvas* DC, const QString& Text, const TRect& Bounds, bool RightToLeft, unsigned DrawFormat);

// A pixel row of a bitmap memory block: stored bottom-up when Height > 0.
uint8_t* ScanLineAddress(uint8_t* Bits, int Width, int Height, int Row);
struct TDIBSection {
    uint8_t* Bits = nullptr;
    int Width = 0;
    // Negative: the rows are stored top-down.
    int Height = 0;
};
// The pixel memory of a 32-bit bitmap. Raises EAssertionFailed with "Alpha
// blending DC error: no bitmap available." for nil or an empty bitmap and
// "Alpha blending error: bitmap must use 32 bpp." for another format.
TDIBSection DIBSectionOf(TBitmap* Bitmap);

void BlendRowConstant(const uint32_t* Source, uint32_t* Destination, int Count, int ConstantAlpha, int Bias);
void BlendRowPerPixel(const uint32_t* Source, uint32_t* Destination, int Count, int Bias);
void BlendRowMaster(const uint32_t* Source, uint32_t* Destination, int Count, int ConstantAlpha, int Bias);
// Color is a colour value with red in the low byte.
void BlendRowMasterAndColor(uint32_t* Destination, int Count, int ConstantAlpha, TColor Color);
// Ends a run of row blends (nothing is left to clean up in this code).
void EndMmxBlend();

enum TBlendMode : uint8_t { bmConstantAlpha, bmPerPixelAlpha, bmMasterAlpha, bmConstantAlphaAndColor };
// Blends R of Source into Destination at Target (modes 0-2), or the colour
// given in Bias into R of Destination (mode 3). The rectangle and the target
// point are cut to both bitmaps, so nothing outside their pixels is touched.
void AlphaBlendRect(TBitmap* Source, TBitmap* Destination, const TRect& R, TPoint Target, TBlendMode Mode,
                    int ConstantAlpha, int Bias);
bool CpuHasMmx();

// The colour value the image-list calls take: CLR_NONE for clNone,
// CLR_DEFAULT for clDefault, else the RGB value.
constexpr uint32_t CLR_NONE = 0xFFFFFFFFu, CLR_DEFAULT = 0xFF000000u;
uint32_t ImageListColor(TColor Color);
void DrawImageEnabled(TImageList* Images, int Index, TCanvas* Canvas, int X, int Y, unsigned Style, bool Enabled);
void DrawImageGrayed(TImageList* Images, TCanvas* Canvas, int X, int Index, int Y);
void StretchBitmapToCanvas(TCanvas* Canvas, const TRect& R, TBitmap* Bitmap);

// The rectangles of a drag image of W x H moved by (DX, DY), each as (X, Y,
// width, height) in Left, Top, Right, Bottom. Out[0] is the whole image;
// entries a case leaves unchanged keep what the caller put there.
void SplitDragRectangles(int W, int H, int DX, int DY, TRect (&Out)[6]);
