#include "gridpack/basegrid/ExGridWindows.h"

#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

void Fill24(TBitmap& b, int w, int h, TRGBQuad p)
{
    b.SetPixelFormat(pf24bit);
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.ScanLine(y)[x] = p;
}
} // namespace

TEST(ArrowWindow, TheRightArrowIsShapedAndPaintsLime)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetColor(clWhite);
    form->SetBounds(100, 100, 200, 100);
    form->Show();
    auto arrow = std::make_unique<TArrowWindow>(nullptr);
    arrow->Init(form.get(), arrRight);
    EXPECT_FALSE(arrow->Visible());
    const std::array<TPoint, 7> want = {TPoint(0, 5), TPoint(4, 10), TPoint(4, 7), TPoint(8, 7),
                                        TPoint(8, 3), TPoint(4, 3), TPoint(4, 0)};
    EXPECT_EQ(arrow->Arrow(), want);
    EXPECT_EQ(arrow->Dir(), arrRight);
    arrow->SetBounds(120, 120, 12, 12);
    ShowWindow(arrow.get(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(arrow->HasWindowRegion());
    EXPECT_TRUE(arrow->HitsWindowRegion(TPoint(2, 5)));
    EXPECT_TRUE(arrow->HitsWindowRegion(TPoint(6, 5)));
    EXPECT_FALSE(arrow->HitsWindowRegion(TPoint(1, 1)));
    EXPECT_FALSE(arrow->HitsWindowRegion(TPoint(7, 1)));
    EXPECT_FALSE(arrow->HitsWindowRegion(TPoint(10, 5)));
    const QImage screen = GrabScreen(Rect(100, 100, 300, 200));
    EXPECT_EQ(Px(screen, 20 + 6, 20 + 5), QRgb(0x00FF00));
    EXPECT_EQ(Px(screen, 20 + 1, 20 + 1), QRgb(0xFFFFFF)) << "the form shows outside the arrow";
    arrow->Hide();
}

TEST(ArrowWindow, EveryDirectionHasItsOutline)
{
    EXPECT_EQ(TArrowWindow::Outline(arrUp)[0], TPoint(5, 0));
    EXPECT_EQ(TArrowWindow::Outline(arrDown)[4], TPoint(5, 8));
    EXPECT_EQ(TArrowWindow::Outline(arrLeft)[4], TPoint(8, 5));
}

TEST(FocusWindow, StartsEmptyRedAndDisabled)
{
    auto w = std::make_unique<TGridFocusWindow>(nullptr);
    EXPECT_EQ(w->Width(), 0);
    EXPECT_EQ(w->Height(), 0);
    EXPECT_EQ(w->Color(), clRed);
    EXPECT_FALSE(w->Enabled());
}

TEST(AlphaMask, MergeMaskPremultipliesByTheMasksRedByte)
{
    TBitmap mask, bmp;
    Fill24(mask, 3, 2, TRGBQuad{0, 0, 128, 0});
    Fill24(bmp, 3, 2, TRGBQuad{255, 0, 100, 0});
    TGridAlphaMask m;
    EXPECT_EQ(m.PixelFormat(), pf32bit);
    EXPECT_EQ(m.Opacity(), 255);
    m.MergeMask(&mask, &bmp, clNone);
    ASSERT_EQ(m.Width(), 3);
    ASSERT_EQ(m.Height(), 2);
    const TRGBQuad p = m.ScanLine(1)[2];
    EXPECT_EQ(p.rgbBlue, 128);
    EXPECT_EQ(p.rgbGreen, 0);
    EXPECT_EQ(p.rgbRed, 50);
    EXPECT_EQ(p.rgbReserved, 128);

    TBitmap wide;
    wide.SetPixelFormat(pf32bit);
    wide.SetSize(5, 5);
    m.MergeMask(&mask, &wide, clNone); // a 32-bit source: nothing happens
    EXPECT_EQ(m.Width(), 3);
    EXPECT_EQ(m.ScanLine(1)[2].rgbRed, 50);
}

TEST(AlphaMask, AssignSizesTheReceiverToTheSource)
{
    TBitmap mask, bmp;
    Fill24(mask, 8, 6, TRGBQuad{0, 0, 255, 0});
    Fill24(bmp, 8, 6, TRGBQuad{10, 20, 30, 0});
    TGridAlphaMask src;
    src.MergeMask(&mask, &bmp, clNone);
    src.SetOpacity(230);
    TGridAlphaMask dst; // empty: the rows are copied after it took 8 x 6
    dst.Assign(&src);
    EXPECT_EQ(dst.Opacity(), 230);
    ASSERT_EQ(dst.Width(), 8);
    ASSERT_EQ(dst.Height(), 6);
    EXPECT_EQ(dst.ScanLine(5)[7].rgbRed, 30);
    EXPECT_EQ(dst.ScanLine(5)[7].rgbReserved, 255);
    EXPECT_EQ(dst.PixelFormat(), pf32bit);

    TGridAlphaMask plain;
    plain.Assign(&bmp); // another kind of bitmap: copied, then 32-bit
    EXPECT_EQ(plain.Width(), 8);
    EXPECT_EQ(plain.PixelFormat(), pf32bit);
}

TEST(Blur, WhiteStaysWhiteAndOnlyTwentyFourBitIsBlurred)
{
    TBitmap white;
    Fill24(white, 100, 100, TRGBQuad{255, 255, 255, 0});
    BlurBitmap(&white, 3);
    int off = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const TRGBQuad p = white.ScanLine(y)[x];
            off += p.rgbBlue != 255 || p.rgbGreen != 255 || p.rgbRed != 255;
        }
    EXPECT_EQ(off, 0);

    TBitmap deep;
    deep.SetPixelFormat(pf32bit);
    deep.SetSize(4, 4);
    deep.ScanLine(1)[1] = TRGBQuad{1, 2, 3, 4};
    try {
        BlurBitmap(&deep, 3);
        FAIL() << "a 32-bit bitmap was blurred";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Blur only works for 24-bit bitmaps"));
    }
    EXPECT_EQ(deep.ScanLine(1)[1].rgbRed, 3);
}

TEST(Blur, ASpotSpreadsSymmetrically)
{
    TBitmap b;
    Fill24(b, 30, 30, TRGBQuad{0, 0, 0, 0});
    b.ScanLine(15)[15] = TRGBQuad{255, 255, 255, 0};
    BlurBitmap(&b, 1.5);
    const int c = b.ScanLine(15)[15].rgbRed;
    EXPECT_GT(c, 0);
    EXPECT_LT(c, 255);
    EXPECT_EQ(b.ScanLine(15)[13].rgbRed, b.ScanLine(15)[17].rgbRed);
    EXPECT_EQ(b.ScanLine(13)[15].rgbRed, b.ScanLine(17)[15].rgbRed);
    EXPECT_GT(b.ScanLine(16)[15].rgbRed, b.ScanLine(18)[15].rgbRed);
    EXPECT_EQ(b.ScanLine(0)[0].rgbRed, 0);
}

TEST(Blur, KernelWeightsSumToOne)
{
    for (double s : {0.5, 1.0, 3.0, 8.0}) {
        const TBlurKernel k = BuildBlurKernel(s);
        EXPECT_GE(k.Radius, 1);
        EXPECT_LE(k.Radius, 10);
        double sum = 0;
        for (float w : k.Weights)
            sum += w;
        EXPECT_NEAR(sum, 1.0, 1e-5) << s;
    }
    EXPECT_LT(BuildBlurKernel(0.5).Radius, BuildBlurKernel(3.0).Radius);
}

TEST(RoundRectMask, FilledWithoutPenInsetTwoOnBlack)
{
    TBitmap b;
    BuildRoundRectMask(&b, 40, 30, 0, 5, 0);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_EQ(b.Canvas()->Pixels(20, 15), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(20, 2), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(20, 1), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(2, 2), clBlack); // the rounded corner

    TBitmap ring;
    BuildRoundRectMask(&ring, 40, 30, 0, 5, 4);
    EXPECT_EQ(ring.Canvas()->Pixels(20, 15), clBlack);
    EXPECT_EQ(ring.Canvas()->Pixels(20, 4), clWhite);

    TBitmap glow;
    BuildRoundRectMask(&glow, 40, 30, 3, 5, 4);
    const TColor mid = glow.Canvas()->Pixels(20, 1);
    EXPECT_NE(mid, clBlack); // blurred out past the frame
    EXPECT_NE(mid, clWhite);
}
