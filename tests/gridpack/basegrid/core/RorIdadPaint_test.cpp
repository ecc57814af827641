#include "gridpack/basegrid/ExStyleIF.h"
#include "gridpack/basegrid/RorIdad.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {
// A white bitmap to paint on; pixels are read back through the canvas.
struct Board {
    explicit Board(int w = 120, int h = 40) : Bmp(w, h)
    {
        Bmp.Canvas()->Brush().SetColor(clWhite);
        Bmp.Canvas()->FillRect(TRect(0, 0, w, h));
    }
    TCanvas* C() { return Bmp.Canvas(); }
    TColor At(int x, int y) { return Bmp.Canvas()->Pixels(x, y); }
    TBitmap Bmp;
};

int Channel(int from, int to, int i, int steps)
{
    return from + int(std::nearbyint(i * double(to - from) / steps)); // halves to even
}
} // namespace

TEST(Gradient, BandsOfARedToBlueFill)
{
    Board b;
    FillGradient(b.C(), clRed, clBlue, 10, TRect(0, 0, 101, 10), true);
    for (int i = 0; i <= 10; ++i) {
        const TColor band = RGB(Channel(255, 0, i, 10), 0, Channel(0, 255, i, 10));
        const int last = i < 10 ? 10 * i + 9 : 100;
        for (int x = 10 * i; x <= last; ++x)
            ASSERT_EQ(b.At(x, 5), band) << "x " << x;
    }
    EXPECT_EQ(b.At(5, 5), TColor(0x0000FF));
    EXPECT_EQ(b.At(100, 5), TColor(0xFF0000));
    EXPECT_EQ(b.At(101, 5), clWhite);
    EXPECT_EQ(b.At(50, 10), clWhite);
}

TEST(Gradient, VerticalAndSwappedEdges)
{
    Board b;
    FillGradient(b.C(), clBlack, clWhite, 4, TRect(0, 20, 10, 0), false); // top and bottom swapped
    EXPECT_EQ(b.At(5, 0), clBlack);
    EXPECT_EQ(b.At(5, 19), clWhite);
    EXPECT_NE(b.At(5, 10), clWhite);
    EXPECT_NE(b.At(5, 10), clBlack);
}

TEST(Gradient, DegenerateCases)
{
    Board b;
    FillGradient(b.C(), clRed, clBlue, 10, TRect(0, 5, 50, 5), true);
    EXPECT_EQ(b.At(10, 5), clWhite); // top = bottom: nothing
    FillGradient(b.C(), clNone, clNone, 10, TRect(0, 0, 50, 10), true);
    EXPECT_EQ(b.At(10, 5), clWhite); // no colour at either end: nothing
    FillGradient(b.C(), clNone, clLime, 10, TRect(0, 0, 50, 10), true);
    EXPECT_EQ(b.At(0, 0), clLime);
    EXPECT_EQ(b.At(49, 9), clLime);
    FillGradient(b.C(), clRed, clNone, 10, TRect(60, 0, 70, 10), true);
    EXPECT_EQ(b.At(65, 5), clRed);
    // More steps than pixels: one band per pixel still ends on the To colour.
    FillGradient(b.C(), clBlack, clBlue, 500, TRect(80, 0, 90, 10), true);
    EXPECT_EQ(b.At(80, 5), clBlack);
    EXPECT_EQ(b.At(89, 5), clBlue);
}

TEST(Colours, Arithmetic)
{
    EXPECT_EQ(ScaleColorPercent(0x808080, 100), 0);
    EXPECT_EQ(ScaleColorPercent(0x808080, -50), 0x404040);
    EXPECT_EQ(HalveColor(0xFFFFFF), 0x7F7F7F);
    EXPECT_EQ(HalveColor(clWindow), 0x7F7F7F); // a system colour through its value
    EXPECT_EQ(ColorToHTMLHex(0x0000FF), "FF0000");
    EXPECT_EQ(ColorToHTMLHex(0x123456), "563412");
    EXPECT_EQ(InterpolateColor(clBtnFace, clNone, 0, 10, 5), clBtnFace);
    EXPECT_EQ(InterpolateColor(0x000000, 0x0000FF, 0, 10, 5), 0x000080); // 127.5 to even
    EXPECT_EQ(InterpolateColor(0x000000, 0x0000FF, 0, 10, 10), 0x0000FF);
    EXPECT_EQ(InterpolateColor(0x102030, 0xFFFFFF, 4, 4, 3), 0x102030); // empty range: the start
}

TEST(CellBackground, SolidGradientMirrorAndBorder)
{
    Board b;
    // Solid: the rectangle fill reaches one pixel lower.
    FillCellBackground(b.C(), TRect(2, 2, 10, 10), clRed, clNone, clNone, clNone, false, clNone, false, true);
    EXPECT_EQ(b.At(5, 10), clRed);
    EXPECT_EQ(b.At(5, 11), clWhite);
    EXPECT_EQ(b.At(10, 5), clWhite);

    // Mirror, vertical: top half Color -> ColorTo, bottom half Mirror -> MirrorTo.
    FillCellBackground(b.C(), TRect(20, 0, 30, 20), clRed, clRed, clBlue, clBlue, true, clNone, false, true);
    EXPECT_EQ(b.At(25, 0), clRed);
    EXPECT_EQ(b.At(25, 9), clRed);
    EXPECT_EQ(b.At(25, 10), clBlue);
    EXPECT_EQ(b.At(25, 19), clBlue);

    // Mirror, horizontal: split at the middle column.
    FillCellBackground(b.C(), TRect(40, 0, 50, 20), clRed, clRed, clBlue, clBlue, false, clNone, false, true);
    EXPECT_EQ(b.At(44, 5), clRed);
    EXPECT_EQ(b.At(45, 5), clBlue);

    // Side lines only: two vertical lines at Left and Right - 1.
    FillCellBackground(b.C(), TRect(60, 0, 70, 20), clYellow, clNone, clNone, clNone, false, clBlack, true, true);
    EXPECT_EQ(b.At(60, 5), clBlack);
    EXPECT_EQ(b.At(69, 5), clBlack);
    EXPECT_EQ(b.At(65, 0), clYellow);
    EXPECT_EQ(b.At(61, 5), clYellow);

    // A full frame; and no fill when Fill is off.
    FillCellBackground(b.C(), TRect(80, 0, 90, 10), clYellow, clNone, clNone, clNone, false, clBlack, false, false);
    EXPECT_EQ(b.At(80, 0), clBlack);
    EXPECT_EQ(b.At(85, 0), clBlack);
    EXPECT_EQ(b.At(85, 5), clWhite);
}

namespace {
constexpr TColor kFrom = 0x00AA00, kInnerTop = 0x111111, kInnerBottom = 0x222222, kBorder = 0x333333,
                 kCorner = 0x444444, kBack = 0x555555;
void Frame(TCanvas* c, const TRect& r, uint8_t piece, TColor corner = kCorner)
{
    PaintSelectionFrame(c, kFrom, clNone, clNone, clNone, kInnerTop, kInnerBottom, kBorder, corner, kBack, r, piece);
}
} // namespace

TEST(SelectionFrame, MiddlePieceHasNoEnds)
{
    Board b;
    Frame(b.C(), TRect(0, 0, 20, 20), 3);
    // R is (0, 0, 19, 18): border lines over the full width, no vertical edges.
    for (int x = 0; x <= 18; ++x) {
        ASSERT_EQ(b.At(x, 0), kBorder) << x;
        ASSERT_EQ(b.At(x, 18), kBorder) << x;
        ASSERT_EQ(b.At(x, 1), kInnerTop) << x;
        ASSERT_EQ(b.At(x, 17), kInnerBottom) << x;
    }
    for (int y = 2; y <= 16; ++y) {
        ASSERT_EQ(b.At(0, y), kFrom) << y;
        ASSERT_EQ(b.At(18, y), kFrom) << y;
    }
    EXPECT_EQ(b.At(19, 5), clWhite);
}

TEST(SelectionFrame, SingleCellHasRoundedEnds)
{
    Board b;
    Frame(b.C(), TRect(0, 0, 20, 20), 0);
    EXPECT_EQ(b.At(0, 0), kBack);
    EXPECT_EQ(b.At(1, 0), kCorner);
    EXPECT_EQ(b.At(0, 1), kCorner);
    EXPECT_EQ(b.At(18, 0), kBack);
    EXPECT_EQ(b.At(17, 0), kCorner);
    EXPECT_EQ(b.At(0, 18), kBack);
    EXPECT_EQ(b.At(2, 0), kBorder);
    EXPECT_EQ(b.At(0, 5), kBorder);  // left edge
    EXPECT_EQ(b.At(18, 5), kBorder); // right edge
    EXPECT_EQ(b.At(1, 5), kInnerTop);
    EXPECT_EQ(b.At(1, 12), kInnerBottom);
    EXPECT_EQ(b.At(5, 5), kFrom);

    // A pixel of no colour is left out rather than painted black.
    Board n;
    Frame(n.C(), TRect(0, 0, 20, 20), 0, clNone);
    EXPECT_EQ(n.At(1, 0), clWhite);

    // Left end only.
    Board l;
    Frame(l.C(), TRect(0, 0, 20, 20), 1);
    EXPECT_EQ(l.At(0, 0), kBack);
    EXPECT_EQ(l.At(18, 0), kBorder);
    EXPECT_EQ(l.At(18, 5), kFrom);
}

TEST(SelectionFrame, GradientFill)
{
    Board b;
    PaintSelectionFrame(b.C(), clRed, clRed, clBlue, clBlue, kInnerTop, kInnerBottom, kBorder, kCorner, kBack,
                        TRect(0, 0, 20, 22), 3);
    // F is (0, 2, 19, 19): the upper half from ColorFrom, the lower from MirrorFrom.
    EXPECT_EQ(b.At(5, 2), clRed);
    EXPECT_EQ(b.At(5, 9), clRed);
    EXPECT_EQ(b.At(5, 10), clBlue);
    EXPECT_EQ(b.At(5, 18), clBlue);
}

TEST(Buttons, StylesAndStates)
{
    TColorTones tones;
    tones.Background = {clYellow, clRed, clBlue};
    tones.Hover = {clLime, clRed, clBlue};
    tones.Disabled = {clGray, clRed, clBlue};

    Board b;
    // Style 3: the state's brush, a separator in the border colour, the
    // triangle in the text colour.
    PaintComboButton(b.C(), 0, TRect(0, 0, 40, 20), 3, 0, tones);
    // B = (21, 1, 38, 19), then Left + 3 = 24.
    EXPECT_EQ(b.At(30, 4), clYellow);
    EXPECT_EQ(b.At(25, 10), clRed);
    EXPECT_EQ(b.At(32, 9), clBlue);
    PaintComboButton(b.C(), 0, TRect(40, 0, 80, 20), 3, 1, tones);
    EXPECT_EQ(b.At(70, 4), clLime);

    // Style 0 needs visual styles, which are off: nothing is drawn.
    Board t;
    PaintComboButton(t.C(), 0, TRect(0, 0, 40, 20), 0, 0, tones);
    PaintPushButton(t.C(), 0, TRect(0, 0, 40, 20), 0, 0, tones);
    PaintSpinButtons(t.C(), 0, TRect(0, 0, 40, 20), 0, 0, tones);
    PaintPushButton(t.C(), 0, TRect(0, 0, 40, 20), 7, 0, tones); // unknown style
    for (int x = 0; x < 40; x += 3)
        for (int y = 0; y < 20; y += 3)
            ASSERT_EQ(t.At(x, y), clWhite);

    // The frame-control styles draw the platform's button face.
    Board f;
    PaintPushButton(f.C(), 0, TRect(0, 0, 40, 20), 1, 0, tones);
    EXPECT_EQ(f.At(20, 10), ColorToRGB(clBtnFace));
    PaintComboButton(f.C(), 0, TRect(40, 0, 80, 20), 2, 3, tones);
    EXPECT_NE(f.At(70, 10), clWhite);

    // Style 3 push button and spin buttons.
    Board s;
    PaintPushButton(s.C(), 0, TRect(0, 0, 40, 20), 3, 3, tones);
    EXPECT_EQ(s.At(20, 10), clGray);
    EXPECT_EQ(s.At(0, 10), clRed);
    PaintSpinButtons(s.C(), 0, TRect(40, 0, 80, 20), 3, 0, tones);
    // B = (64, -1, 79, 19), Mid 9: the up part's brush.
    EXPECT_EQ(s.At(66, 1), clYellow);
    EXPECT_EQ(s.At(71, 4), clBlack); // the up triangle
}

TEST(Buttons, DownTriangleAndLayeredWindows)
{
    Board b;
    PaintDownTriangle(b.C(), 10, 10, clRed);
    EXPECT_EQ(b.At(10, 10), clRed);
    EXPECT_EQ(b.At(10, 5), clWhite);
    EXPECT_TRUE(CallUpdateLayeredWindow(0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, 0));
    EXPECT_TRUE(CallSetLayeredWindowAttributes(0, 0, 255, 2));
}
