// The drawing utilities: blending arithmetic, the 32-bit requirement, the
// clipped blend rectangle, text shortening and wrapping, image-list colours
// and the drag rectangles.
#include "PaintKit.h"

namespace {
// A 32-bit bitmap of one pixel colour (blue, green, red, alpha bytes).
std::unique_ptr<TBitmap> Pixels32(int w, int h, TRGBQuad q) {
    auto b = std::make_unique<TBitmap>(w, h, pf32bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b->ScanLine(y)[x] = q;
    return b;
}
TRGBQuad Grey(uint8_t v, uint8_t a = 255) { return TRGBQuad{v, v, v, a}; }
}  // namespace

TEST(TreeUtils, BlendArithmeticPerMode) {
    struct Case {
        const char* what;
        TBlendMode mode;
        TRGBQuad src, dst;
        int alpha, bias;
        uint8_t blue, green, red;
    } cases[] = {
        {"constant 128, white over black", bmConstantAlpha, Grey(255), Grey(0), 128, 0, 127, 127, 127},
        {"constant 128, black over white", bmConstantAlpha, Grey(0), Grey(255), 128, 0, 127, 127, 127},
        {"a bias of +200 saturates", bmConstantAlpha, Grey(100), Grey(100), 128, 200, 255, 255, 255},
        {"a bias of -200 stops at 0", bmConstantAlpha, Grey(100), Grey(100), 128, -200, 0, 0, 0},
        {"per pixel: the source's alpha", bmPerPixelAlpha, Grey(255, 128), Grey(0), 0, 0, 127, 127, 127},
        {"per pixel: transparent source", bmPerPixelAlpha, Grey(255, 0), Grey(40), 0, 0, 40, 40, 40},
        {"master: source alpha times the constant", bmMasterAlpha, Grey(255, 255), Grey(0), 128, 0, 126, 126, 126},
    };
    for (const Case& c : cases) {
        auto src = Pixels32(1, 1, c.src);
        auto dst = Pixels32(1, 1, c.dst);
        AlphaBlendRect(src.get(), dst.get(), Rect(0, 0, 1, 1), TPoint(0, 0), c.mode, c.alpha, c.bias);
        const TRGBQuad p = dst->ScanLine(0)[0];
        EXPECT_EQ(p.rgbBlue, c.blue) << c.what;
        EXPECT_EQ(p.rgbGreen, c.green) << c.what;
        EXPECT_EQ(p.rgbRed, c.red) << c.what;
    }
}

TEST(TreeUtils, ColourBlendTakesTheColourInBias) {
    auto dst = Pixels32(2, 1, TRGBQuad{0, 0, 0, 255});
    // Red in the low byte of the colour value.
    AlphaBlendRect(nullptr, dst.get(), Rect(0, 0, 1, 1), TPoint(0, 0), bmConstantAlphaAndColor, 128, 0x0000FF);
    const TRGBQuad p = dst->ScanLine(0)[0];
    EXPECT_EQ(p.rgbBlue, 0);
    EXPECT_EQ(p.rgbGreen, 0);
    EXPECT_EQ(p.rgbRed, 127);
    // The pixel outside the rectangle is untouched.
    EXPECT_EQ(dst->ScanLine(0)[1].rgbRed, 0);
}

TEST(TreeUtils, BlendingNeedsThirtyTwoBitBitmaps) {
    TBitmap rgb(4, 4, pf24bit);
    auto src = Pixels32(4, 4, Grey(9));
    EXPECT_EQ(AssertionText([&] {
                  AlphaBlendRect(src.get(), &rgb, Rect(0, 0, 2, 2), TPoint(0, 0), bmConstantAlpha, 128, 0);
              }),
              QStringLiteral("Alpha blending error: bitmap must use 32 bpp."));
    EXPECT_EQ(AssertionText([&] {
                  AlphaBlendRect(nullptr, &rgb, Rect(0, 0, 2, 2), TPoint(0, 0), bmConstantAlphaAndColor, 128, 0);
              }),
              QStringLiteral("Alpha blending error: bitmap must use 32 bpp."));
    EXPECT_EQ(AssertionText([&] { DIBSectionOf(nullptr); }),
              QStringLiteral("Alpha blending DC error: no bitmap available."));
    // An empty rectangle asks nothing of the bitmaps.
    EXPECT_EQ(AssertionText([&] {
                  AlphaBlendRect(src.get(), &rgb, Rect(0, 0, 0, 0), TPoint(0, 0), bmConstantAlpha, 128, 0);
              }),
              QString());
}

TEST(TreeUtils, BlendRectangleIsCutToBothBitmaps) {
    // A rectangle reaching far outside both bitmaps and a target that moves
    // it: only the overlapping pixel is blended, nothing outside is written.
    auto src = Pixels32(4, 4, Grey(255));
    auto dst = Pixels32(4, 4, Grey(0));
    AlphaBlendRect(src.get(), dst.get(), Rect(-2, -2, 10, 10), TPoint(1, 1), bmConstantAlpha, 128, 0);
    // Source (0, 0) lands on (3, 3); everything else keeps its value.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dst->ScanLine(y)[x].rgbRed, x == 3 && y == 3 ? 127 : 0) << x << "," << y;
    auto colour = Pixels32(3, 2, Grey(0));
    AlphaBlendRect(nullptr, colour.get(), Rect(-5, -5, 50, 50), TPoint(0, 0), bmConstantAlphaAndColor, 255, 0xFFFFFF);
    EXPECT_EQ(colour->ScanLine(1)[2].rgbRed, 254);
}

TEST(TreeUtils, ScanLineAddressesFollowTheRowOrder) {
    uint8_t bits[64] = {};
    // Bottom-up rows when the height is positive; 3 pixels make a 12-byte row.
    EXPECT_EQ(ScanLineAddress(bits, 3, 4, 0), bits + 3 * 12);
    EXPECT_EQ(ScanLineAddress(bits, 3, -4, 1), bits + 12);
    // Odd widths are padded to whole 32-bit words anyway (one pixel each).
    EXPECT_EQ(ScanLineAddress(bits, 1, -4, 2), bits + 8);
}

TEST(TreeUtils, ShortenTextKeepsTheLongestFittingPrefix) {
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    const QString text = QStringLiteral("Temperature sensor");
    const int ellipsis = c->TextWidth(QStringLiteral("..."));
    EXPECT_EQ(ShortenText(c, text, ellipsis - 1), QString());
    EXPECT_EQ(ShortenText(c, text, 0), QString());
    EXPECT_EQ(ShortenText(c, QString(), 100), QString());
    EXPECT_EQ(ShortenText(c, text, c->TextWidth(text) + ellipsis + 50), text);
    const int width = c->TextWidth(QStringLiteral("Temper")) + ellipsis;
    const QString cut = ShortenText(c, text, width);
    ASSERT_TRUE(cut.endsWith(QStringLiteral("...")));
    const QString prefix = cut.chopped(3);
    EXPECT_TRUE(text.startsWith(prefix));
    EXPECT_LE(c->TextWidth(prefix) + ellipsis, width);
    EXPECT_GT(c->TextWidth(text.left(prefix.size() + 1)) + ellipsis, width);
}

TEST(TreeUtils, WrapTextBreaksAtBlanksAndCutsLongWords) {
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    TRect measure;
    CalcTextRect(c, QStringLiteral("aa bb"), measure, DT_SINGLELINE);
    const TRect bounds = Rect(0, 0, measure.Width(), 100);
    EXPECT_EQ(WrapText(c, QStringLiteral("  aa bb cc  "), bounds, false, DT_SINGLELINE), QStringLiteral("aa bb\ncc"));
    EXPECT_EQ(WrapText(c, QStringLiteral("   "), bounds, false, DT_SINGLELINE), QString());
    CalcTextRect(c, QStringLiteral("xxx"), measure, DT_SINGLELINE);
    const TRect narrow = Rect(0, 0, measure.Width(), 100);
    EXPECT_EQ(WrapText(c, QStringLiteral("xxxxxxxx"), narrow, false, DT_SINGLELINE), QStringLiteral("xxx\nxxx\nxx"));
    // Right to left: filled from the last word, a long word keeps its tail.
    EXPECT_EQ(WrapText(c, QStringLiteral("xxxxxxxx"), narrow, true, DT_SINGLELINE), QStringLiteral("xx\nxxx\nxxx"));
}

TEST(TreeUtils, ImageListColours) {
    EXPECT_EQ(ImageListColor(clNone), 0xFFFFFFFFu);
    EXPECT_EQ(ImageListColor(clDefault), 0xFF000000u);
    EXPECT_EQ(ImageListColor(clRed), 0x000000FFu);
    EXPECT_EQ(ImageListColor(clWindow), uint32_t(ColorToRGB(clWindow)));
}

TEST(TreeUtils, DragRectanglesForEveryDirection) {
    const TRect u(-9, -9, -9, -9);  // left unchanged
    struct Case {
        int dx, dy;
        TRect out[5];
    } cases[] = {
        {5, 0, {{0, 0, 95, 40}, {0, 0, 5, 40}, u, {95, 0, 5, 40}, u}},
        {5, -3, {{0, 3, 95, 40}, {0, 0, 5, 40}, {5, 37, 95, 3}, {0, 0, 95, 3}, {95, 0, 5, 40}}},
        {5, 3, {{0, 0, 95, 37}, {0, 0, 5, 40}, {5, 0, 95, 3}, {0, 37, 95, 3}, {95, 0, 5, 40}}},
        {0, -3, {{0, 3, 100, 40}, u, {0, 37, 100, 3}, u, {0, 0, 100, 3}}},
        {0, 3, {{0, 0, 100, 37}, u, {0, 0, 100, 3}, u, {0, 37, 100, 3}}},
        {-5, 3, {{5, 0, 100, 40}, {0, 0, 95, 3}, {95, 0, 5, 40}, {0, 0, 5, 40}, {5, 37, 95, 3}}},
        {-5, 0, {{5, 0, 100, 40}, {95, 0, 5, 40}, u, {0, 0, 5, 40}, u}},
        {-5, -3, {{5, 3, 100, 40}, {0, 37, 95, 3}, {95, 0, 5, 40}, {0, 0, 5, 40}, {5, 0, 95, 3}}},
    };
    for (const Case& c : cases) {
        TRect out[6] = {u, u, u, u, u, u};
        SplitDragRectangles(100, 40, c.dx, c.dy, out);
        EXPECT_EQ(out[0], Rect(0, 0, 100, 40));
        for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i + 1], c.out[i]) << "DX " << c.dx << " DY " << c.dy << " Out" << i + 2;
    }
}

TEST(TreeUtils, OrderedRectAndClip) {
    EXPECT_EQ(OrderedRect(Rect(10, 8, 2, 3)), Rect(2, 3, 10, 8));
    auto b = FilledBitmap(20, 20, clWhite);
    TCanvas* c = b->Canvas();
    c->SetWindowOrg(5, 5);
    ClipCanvasTo(c, Rect(5, 5, 10, 10));
    c->Brush().SetColor(clBlack);
    c->FillRect(Rect(0, 0, 30, 30));
    c->SelectClipRgn(nullptr);
    c->SetWindowOrg(0, 0);
    EXPECT_EQ(PixelAt(b.get(), 0, 0), ColorToRGB(clBlack));
    EXPECT_EQ(PixelAt(b.get(), 4, 4), ColorToRGB(clBlack));
    EXPECT_EQ(PixelAt(b.get(), 5, 5), ColorToRGB(clWhite));
}
