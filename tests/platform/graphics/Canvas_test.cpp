// Shapes, pen modes, clipping, state and pixel transfers on bitmap canvases.
#include "PixelHelpers.h"

#include <QPainter>
#include <algorithm>
#include <QPicture>
#include <functional>
#include <gtest/gtest.h>

TEST(CanvasShapes, FillRectCoversLeftTopButNotRightBottom) {
    auto b = WhiteBitmap(12, 12);
    TCanvas* c = b->Canvas();
    c->Brush().SetColor(clRed);
    c->FillRect(Rect(0, 0, 10, 10));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(At(*b, i, 0), clRed) << i;
        EXPECT_EQ(At(*b, 0, i), clRed) << i;
        EXPECT_EQ(At(*b, 9, i), clRed) << i;
        EXPECT_EQ(At(*b, 10, i), clWhite) << i;
        EXPECT_EQ(At(*b, i, 10), clWhite) << i;
    }
}

TEST(CanvasShapes, FillRectOfAnInvertedRectanglePaintsNothing) {
    auto b = WhiteBitmap(8, 8);
    b->Canvas()->Brush().SetColor(clRed);
    b->Canvas()->FillRect(Rect(6, 6, 2, 2));
    EXPECT_EQ(At(*b, 4, 4), clWhite);
}

TEST(CanvasShapes, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    auto b = WhiteBitmap(12, 12);
    TCanvas* c = b->Canvas();
    c->Pen().SetColor(clRed);
    c->Brush().SetColor(clBlue);
    c->Rectangle(0, 0, 10, 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(At(*b, 0, i), clRed) << i;
        EXPECT_EQ(At(*b, 9, i), clRed) << i;
        EXPECT_EQ(At(*b, i, 0), clRed) << i;
        EXPECT_EQ(At(*b, i, 9), clRed) << i;
        EXPECT_EQ(At(*b, 10, i), clWhite) << i;
        EXPECT_EQ(At(*b, i, 10), clWhite) << i;
    }
    for (int y = 1; y < 9; ++y)
        for (int x = 1; x < 9; ++x) ASSERT_EQ(At(*b, x, y), clBlue) << x << "," << y;
}

TEST(CanvasShapes, RectangleWithAClearBrushLeavesTheInside) {
    auto b = WhiteBitmap(12, 12);
    TCanvas* c = b->Canvas();
    c->Pen().SetColor(clRed);
    c->Brush().SetStyle(bsClear);
    c->Rectangle(0, 0, 10, 10);
    EXPECT_EQ(At(*b, 0, 5), clRed);
    EXPECT_EQ(At(*b, 5, 5), clWhite);
}

struct LineCase {
    const char* name;
    TPoint from, to;
    std::vector<TPoint> painted;
    TPoint left; // the end point, never painted
};

TEST(CanvasShapes, LineToLeavesOutItsEndPoint) {
    const LineCase cases[] = {
        {"right", {0, 0}, {5, 0}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}, {5, 0}},
        {"left", {5, 2}, {0, 2}, {{5, 2}, {4, 2}, {3, 2}, {2, 2}, {1, 2}}, {0, 2}},
        {"down", {3, 1}, {3, 6}, {{3, 1}, {3, 2}, {3, 3}, {3, 4}, {3, 5}}, {3, 6}},
        {"up", {3, 6}, {3, 1}, {{3, 6}, {3, 5}, {3, 4}, {3, 3}, {3, 2}}, {3, 1}},
        {"a point", {2, 2}, {2, 2}, {}, {2, 2}},
        {"diagonal", {0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}, {4, 4}},
    };
    for (const auto& tc : cases) {
        auto b = WhiteBitmap(8, 8);
        TCanvas* c = b->Canvas();
        c->MoveTo(tc.from.X, tc.from.Y);
        c->LineTo(tc.to.X, tc.to.Y);
        int painted = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) painted += At(*b, x, y) != clWhite;
        EXPECT_EQ(painted, int(tc.painted.size())) << tc.name;
        for (TPoint p : tc.painted) EXPECT_EQ(At(*b, p.X, p.Y), clBlack) << tc.name << " " << p.X << "," << p.Y;
        EXPECT_EQ(At(*b, tc.left.X, tc.left.Y), clWhite) << tc.name;
        EXPECT_EQ(c->PenPos(), tc.to) << tc.name;
    }
}

TEST(CanvasShapes, WidePenIsCentredOnTheLine) {
    auto b = WhiteBitmap(16, 12);
    TCanvas* c = b->Canvas();
    c->Pen().SetWidth(3);
    c->MoveTo(3, 5);
    c->LineTo(12, 5);
    for (int y : {4, 5, 6}) EXPECT_EQ(At(*b, 7, y), clBlack) << y;
    EXPECT_EQ(At(*b, 7, 3), clWhite);
    EXPECT_EQ(At(*b, 7, 7), clWhite);
}

TEST(CanvasShapes, DottedPenGapsShowTheBackgroundOnlyWhenOpaque) {
    for (bool opaque : {false, true}) {
        auto b = WhiteBitmap(14, 3);
        TCanvas* c = b->Canvas();
        c->Pen().SetStyle(psDot);
        c->Brush().SetColor(clBlue);
        if (!opaque) c->Brush().SetStyle(bsClear);
        c->MoveTo(0, 1);
        c->LineTo(12, 1);
        std::string row;
        for (int x = 0; x < 12; ++x) row += At(*b, x, 1) == clBlack ? '#' : (At(*b, x, 1) == clBlue ? 'o' : '.');
        EXPECT_EQ(row, opaque ? "###ooo###ooo" : "###...###...") << opaque;
    }
}

TEST(CanvasPenModes, XorDrawnTwiceLeavesTheBitmapUnchanged) {
    auto b = WhiteBitmap(20, 20);
    TCanvas* c = b->Canvas();
    c->Brush().SetColor(RGB(10, 200, 30));
    c->FillRect(Rect(0, 0, 10, 20));
    auto before = std::make_unique<TBitmap>();
    before->Assign(b.get());
    c->Pen().SetMode(pmXor);
    c->Pen().SetColor(RGB(200, 100, 50));
    c->Brush().SetColor(RGB(1, 2, 3));
    auto draw = [&] {
        c->MoveTo(0, 0);
        c->LineTo(19, 13);
        c->Rectangle(3, 3, 15, 15);
        c->Polyline(std::vector<TPoint>{{1, 18}, {8, 10}, {18, 18}});
    };
    draw();
    EXPECT_FALSE(SameImage(*b, *before));
    draw();
    EXPECT_TRUE(SameImage(*b, *before));
}

TEST(CanvasShapes, PolygonOutlinePaintsEveryVertexOnce) {
    struct Case { const char* name; std::vector<TPoint> pts; };
    const Case cases[] = {
        {"triangle", {{5, 5}, {15, 5}, {15, 15}}},
        {"arrow", {{4, 14}, {10, 4}, {16, 14}}},
        {"square", {{3, 3}, {12, 3}, {12, 12}, {3, 12}}},
        {"steep and shallow", {{2, 2}, {17, 6}, {9, 17}}},
    };
    for (const Case& tc : cases) {
        auto copy = WhiteBitmap(20, 20);
        copy->Canvas()->Brush().SetStyle(bsClear);
        copy->Canvas()->Pen().SetColor(clBlack);
        copy->Canvas()->Polygon(tc.pts);
        auto inverted = WhiteBitmap(20, 20);
        inverted->Canvas()->Brush().SetStyle(bsClear);
        inverted->Canvas()->Pen().SetMode(pmXor);
        inverted->Canvas()->Pen().SetColor(clWhite);
        inverted->Canvas()->Polygon(tc.pts);
        // An inverting pen shows the same figure: no pixel was painted twice.
        EXPECT_EQ(Picture(*inverted), Picture(*copy)) << tc.name;
        for (const TPoint& p : tc.pts) EXPECT_EQ(At(*copy, p.X, p.Y), clBlack) << tc.name << " vertex " << p.X << "," << p.Y;
        // Each edge paints one pixel per step along its longer axis.
        int steps = 0, painted = 0;
        for (size_t i = 0; i < tc.pts.size(); ++i) {
            const TPoint a = tc.pts[i], b = tc.pts[(i + 1) % tc.pts.size()];
            steps += std::max(std::abs(b.X - a.X), std::abs(b.Y - a.Y));
        }
        for (const std::string& row : Picture(*copy)) painted += int(std::count(row.begin(), row.end(), '#'));
        EXPECT_EQ(painted, steps) << tc.name;
    }
    // A square given as a polygon is the rectangle's outline.
    auto poly = WhiteBitmap(20, 20), rect = WhiteBitmap(20, 20);
    for (TCanvas* c : {poly->Canvas(), rect->Canvas()}) {
        c->Pen().SetColor(clRed);
        c->Brush().SetColor(clBlue);
    }
    poly->Canvas()->Polygon(std::vector<TPoint>{{3, 3}, {12, 3}, {12, 12}, {3, 12}});
    rect->Canvas()->Rectangle(3, 3, 13, 13);
    EXPECT_TRUE(SameImage(*poly, *rect));
    EXPECT_EQ(At(*poly, 12, 12), clRed);
    EXPECT_EQ(At(*poly, 7, 7), clBlue);
}

TEST(CanvasPenModes, NotInvertsAndIgnoresThePenColour) {
    auto b = WhiteBitmap(6, 3);
    TCanvas* c = b->Canvas();
    c->Pen().SetMode(pmNot);
    c->Pen().SetColor(clRed);
    c->MoveTo(0, 1);
    c->LineTo(5, 1);
    EXPECT_EQ(At(*b, 2, 1), clBlack);
    EXPECT_EQ(At(*b, 2, 0), clWhite);
}

TEST(CanvasClip, RegionExcludesDrawingOutsideIt) {
    auto b = WhiteBitmap(20, 20);
    TCanvas* c = b->Canvas();
    // Two squares joined, a hole punched in the first: or, then diff.
    TRegion r;
    CombineRgn(r, CreateRectRgn(0, 0, 8, 8), CreateRectRgn(10, 10, 16, 16), RGN_OR);
    CombineRgn(r, r, CreateRectRgn(2, 2, 4, 4), RGN_DIFF);
    c->SelectClipRgn(&r);
    c->Brush().SetColor(clRed);
    c->FillRect(Rect(0, 0, 20, 20));
    c->MoveTo(0, 9);
    c->LineTo(20, 9);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = r.Contains(x, y);
            ASSERT_EQ(At(*b, x, y), inside ? clRed : clWhite) << x << "," << y;
        }
    EXPECT_FALSE(r.Contains(3, 3));
    EXPECT_TRUE(r.Contains(12, 12));
}

TEST(CanvasClip, RegionsCombineAsSetsOfPixels) {
    const TRegion a = CreateRectRgn(0, 0, 4, 4), bb = CreateRectRgn(2, 2, 6, 6);
    struct Case {
        int mode;
        TPoint in, out;
        int kind;
    } cases[] = {
        {RGN_AND, {3, 3}, {1, 1}, SIMPLEREGION},
        {RGN_OR, {5, 5}, {5, 0}, COMPLEXREGION},
        {RGN_DIFF, {1, 1}, {3, 3}, COMPLEXREGION},
        {RGN_XOR, {5, 5}, {3, 3}, COMPLEXREGION},
    };
    for (const auto& tc : cases) {
        TRegion r;
        EXPECT_EQ(CombineRgn(r, a, bb, tc.mode), tc.kind) << tc.mode;
        EXPECT_TRUE(r.Contains(tc.in.X, tc.in.Y)) << tc.mode;
        EXPECT_FALSE(r.Contains(tc.out.X, tc.out.Y)) << tc.mode;
    }
    TRegion none;
    EXPECT_EQ(CombineRgn(none, CreateRectRgn(0, 0, 2, 2), CreateRectRgn(5, 5, 6, 6), RGN_AND), NULLREGION);
}

TEST(CanvasClip, PolygonRegionFillsByWindingWhenAsked) {
    // A five-pointed star: its centre is outside with alternate filling and
    // inside with winding filling.
    const std::vector<TPoint> star{{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    const TRegion alt = CreatePolygonRgn(star, ALTERNATE);
    const TRegion wind = CreatePolygonRgn(star, WINDING);
    EXPECT_FALSE(alt.Contains(10, 10));
    EXPECT_TRUE(wind.Contains(10, 10));
    EXPECT_TRUE(alt.Contains(10, 3));
}

TEST(CanvasClip, ClipRegionsAreInDeviceCoordinates) {
    auto b = WhiteBitmap(10, 10);
    TCanvas* c = b->Canvas();
    c->SetWindowOrg(5, 5);
    const TRegion r = CreateRectRgn(0, 0, 3, 3);
    c->SelectClipRgn(&r);
    c->Brush().SetColor(clRed);
    c->FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(At(*b, 2, 2), clRed);
    EXPECT_EQ(At(*b, 3, 3), clWhite);
    EXPECT_EQ(c->ClipRect(), Rect(5, 5, 8, 8));
}

TEST(CanvasState, WindowOriginShiftsLogicalCoordinates) {
    auto b = WhiteBitmap(10, 10);
    TCanvas* c = b->Canvas();
    c->SetWindowOrg(5, 5);
    c->Brush().SetColor(clRed);
    c->FillRect(Rect(5, 5, 7, 7));
    EXPECT_EQ(At(*b, 0, 0), clRed);
    EXPECT_EQ(At(*b, 1, 1), clRed);
    EXPECT_EQ(At(*b, 2, 2), clWhite);
    EXPECT_EQ(c->Pixels(5, 5), clRed);
}

TEST(CanvasState, RestoreBringsBackPenBrushFontAndClip) {
    auto b = WhiteBitmap(10, 10);
    TCanvas* c = b->Canvas();
    c->Pen().SetColor(clRed);
    c->Brush().SetColor(clBlue);
    c->Font().SetStyle(fsBold);
    c->IntersectClipRect(0, 0, 5, 5);
    const int saved = c->SaveState();

    c->Pen().SetColor(clGreen);
    c->Brush().SetColor(clYellow);
    c->Font().SetStyle(fsItalic);
    c->SelectClipRgn(nullptr);
    c->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(At(*b, 8, 8), clYellow);

    ASSERT_TRUE(c->RestoreState(saved));
    EXPECT_EQ(c->Pen().Color(), clRed);
    EXPECT_EQ(c->Brush().Color(), clBlue);
    EXPECT_EQ(c->Font().Style(), TFontStyles(fsBold));
    c->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(At(*b, 4, 4), clBlue);
    EXPECT_EQ(At(*b, 6, 6), clYellow); // outside the restored clip
    EXPECT_FALSE(c->RestoreState(saved)); // already restored
}

TEST(CanvasFill, FloodFillStopsAtTheBorderColour) {
    auto b = WhiteBitmap(12, 12);
    TCanvas* c = b->Canvas();
    c->Brush().SetColor(clRed);
    c->FrameRect(Rect(2, 2, 9, 9));
    c->Brush().SetColor(clBlue);
    c->FloodFill(5, 5, clRed, fsBorder);
    EXPECT_EQ(At(*b, 5, 5), clBlue);
    EXPECT_EQ(At(*b, 3, 3), clBlue);
    EXPECT_EQ(At(*b, 7, 7), clBlue);
    EXPECT_EQ(At(*b, 2, 5), clRed);
    EXPECT_EQ(At(*b, 1, 5), clWhite);
    EXPECT_EQ(At(*b, 10, 10), clWhite);
}

TEST(CanvasFill, FloodFillSurfaceReplacesOnlyTheConnectedColour) {
    auto b = WhiteBitmap(10, 10);
    TCanvas* c = b->Canvas();
    c->Brush().SetColor(clGreen);
    c->FillRect(Rect(0, 0, 4, 10));
    c->FillRect(Rect(6, 0, 10, 10));
    c->Brush().SetColor(clRed);
    c->FloodFill(1, 1, clGreen, fsSurface);
    EXPECT_EQ(At(*b, 3, 9), clRed);
    EXPECT_EQ(At(*b, 5, 5), clWhite);
    EXPECT_EQ(At(*b, 7, 7), clGreen); // same colour, not connected
}

TEST(CanvasFill, FocusRectInvertsEveryOtherPixelAndUndoesItself) {
    auto b = WhiteBitmap(10, 10);
    TCanvas* c = b->Canvas();
    c->DrawFocusRect(Rect(1, 1, 9, 9));
    EXPECT_NE(At(*b, 2, 1) == clBlack, At(*b, 3, 1) == clBlack); // alternating
    EXPECT_EQ(At(*b, 5, 5), clWhite);
    c->DrawFocusRect(Rect(1, 1, 9, 9));
    EXPECT_EQ(Picture(*b), std::vector<std::string>(10, std::string(10, '.')));
}

TEST(CanvasFill, SteppedGradientPaintsEqualBands) {
    auto b = WhiteBitmap(8, 2);
    b->Canvas()->GradientFillRect(Rect(0, 0, 8, 2), clBlack, RGB(255, 0, 0), gdHorizontal, 4);
    const int expected[8] = {0, 0, 85, 85, 170, 170, 255, 255};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(GetRValue(At(*b, x, 1)), expected[x]) << x;
}

TEST(CanvasBlend, ConstantAlphaMixesChannels) {
    auto dst = WhiteBitmap(4, 4);
    dst->Canvas()->Brush().SetColor(RGB(100, 100, 100));
    dst->Canvas()->FillRect(Rect(0, 0, 4, 4));
    auto src = WhiteBitmap(4, 4);
    src->Canvas()->Brush().SetColor(RGB(200, 200, 200));
    src->Canvas()->FillRect(Rect(0, 0, 4, 4));
    BLENDFUNCTION bf;
    bf.SourceConstantAlpha = 128;
    AlphaBlend(dst->Canvas(), 0, 0, 2, 4, src->Canvas(), 0, 0, 2, 4, bf);
    EXPECT_EQ(At(*dst, 1, 1), RGB(150, 150, 150));
    EXPECT_EQ(At(*dst, 3, 1), RGB(100, 100, 100));
    EXPECT_EQ(BlendChannel(200, 100, 128), 150);
}

TEST(CanvasBlend, PerPixelAlphaUsesThePremultipliedSource) {
    auto dst = WhiteBitmap(2, 1);
    dst->Canvas()->Brush().SetColor(RGB(100, 100, 100));
    dst->Canvas()->FillRect(Rect(0, 0, 2, 1));
    TBitmap src(2, 1, pf32bit);
    // Pixel 0: white at half alpha, premultiplied (128); pixel 1: transparent.
    src.ScanLine(0)[0] = TRGBQuad{128, 128, 128, 128};
    src.ScanLine(0)[1] = TRGBQuad{0, 0, 0, 0};
    BLENDFUNCTION bf;
    bf.AlphaFormat = AC_SRC_ALPHA;
    AlphaBlend(dst->Canvas(), 0, 0, 2, 1, src.Canvas(), 0, 0, 2, 1, bf);
    // 128 + 100 * (255 - 128) / 255 = 128 + 49.8
    EXPECT_EQ(At(*dst, 0, 0), RGB(178, 178, 178));
    EXPECT_EQ(At(*dst, 1, 0), RGB(100, 100, 100));
}

TEST(CanvasBlit, RasterOperationsCombineSourceAndDestination) {
    struct Case {
        uint32_t rop;
        int expected; // per channel, source 0xF0 over destination 0xCC
    } cases[] = {
        {SRCCOPY, 0xF0},   {SRCAND, 0xC0},      {SRCPAINT, 0xFC},   {SRCINVERT, 0x3C},
        {NOTSRCCOPY, 0x0F}, {SRCERASE, 0x30},   {NOTSRCERASE, 0x03}, {MERGEPAINT, 0xCF},
        {DSTINVERT, 0x33}, {BLACKNESS, 0x00},   {WHITENESS, 0xFF},
        // Worked out per pixel with the brush (0xAA): P | ~S | D and S & P.
        {PATPAINT, 0xEF},  {MERGECOPY, 0xA0},   {0x00AA0029, 0xCC}, // the last keeps the destination
    };
    auto src = WhiteBitmap(2, 2);
    src->Canvas()->Brush().SetColor(RGB(0xF0, 0xF0, 0xF0));
    src->Canvas()->FillRect(Rect(0, 0, 2, 2));
    for (const auto& tc : cases) {
        auto dst = WhiteBitmap(3, 2);
        dst->Canvas()->Brush().SetColor(RGB(0xCC, 0xCC, 0xCC));
        dst->Canvas()->FillRect(Rect(0, 0, 3, 2));
        dst->Canvas()->Brush().SetColor(RGB(0xAA, 0xAA, 0xAA));
        ASSERT_TRUE(BitBlt(dst->Canvas(), 0, 0, 2, 2, src->Canvas(), 0, 0, tc.rop)) << std::hex << tc.rop;
        EXPECT_EQ(At(*dst, 1, 1), RGB(tc.expected, tc.expected, tc.expected)) << std::hex << tc.rop;
        EXPECT_EQ(At(*dst, 2, 1), RGB(0xCC, 0xCC, 0xCC)) << std::hex << tc.rop;
    }
}

TEST(CanvasBlit, CopyRectStretchesWithTheCopyMode) {
    auto src = WhiteBitmap(2, 1);
    src->Canvas()->SetPixels(0, 0, clRed);
    src->Canvas()->SetPixels(1, 0, clBlue);
    auto dst = WhiteBitmap(4, 2);
    dst->Canvas()->CopyRect(Rect(0, 0, 4, 2), src->Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(At(*dst, 1, 1), clRed);
    EXPECT_EQ(At(*dst, 2, 0), clBlue);
}

TEST(CanvasBlit, CopyingFromAWindowlessCanvasFailsQuietly) {
    TCanvas unattached;
    auto dst = WhiteBitmap(2, 2);
    EXPECT_FALSE(BitBlt(dst->Canvas(), 0, 0, 2, 2, &unattached, 0, 0, SRCCOPY));
    EXPECT_EQ(At(*dst, 0, 0), clWhite);
    // Drawing on a canvas without a device is a no-op, never a crash.
    unattached.FillRect(Rect(0, 0, 5, 5));
    unattached.LineTo(3, 3);
    EXPECT_EQ(unattached.Pixels(0, 0), -1);
}

TEST(CanvasShapes, PixelsReadsAndWritesSinglePixels) {
    auto b = WhiteBitmap(4, 4);
    b->Canvas()->SetPixels(2, 1, clRed);
    EXPECT_EQ(b->Canvas()->Pixels(2, 1), clRed);
    EXPECT_EQ(b->Canvas()->Pixels(1, 1), clWhite);
    EXPECT_EQ(b->Canvas()->Pixels(4, 0), -1);
    EXPECT_EQ(b->Canvas()->Pixels(-1, 0), -1);
}

TEST(CanvasShapes, HatchBrushRepeatsEveryEightPixelsOverAnUntouchedBackground) {
    for (bool opaque : {false, true}) {
        auto b = WhiteBitmap(16, 16);
        TCanvas* c = b->Canvas();
        c->Brush().SetColor(clRed);
        c->Brush().SetStyle(bsVertical);
        if (opaque) {
            c->SetBkMode(OPAQUE);
            c->SetBkColor(clYellow);
        }
        c->FillRect(Rect(0, 0, 16, 16));
        int redColumns = 0;
        for (int x = 0; x < 16; ++x) {
            const bool red = At(*b, x, 3) == clRed;
            redColumns += red;
            EXPECT_EQ(red, At(*b, x, 11) == clRed) << x;
            if (!red) {
                EXPECT_EQ(At(*b, x, 3), opaque ? clYellow : clWhite) << x;
            }
            if (x >= 8) {
                EXPECT_EQ(red, At(*b, x - 8, 3) == clRed) << x;
            }
        }
        EXPECT_EQ(redColumns, 2) << opaque;
    }
}

TEST(CanvasAttach, AnOutsidePainterKeepsItsOffsetClipAndState) {
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.translate(10, 10);
    p.setClipRect(QRect(0, 0, 5, 5));
    p.setPen(Qt::green);
    {
        TCanvas c;
        c.Attach(&p);
        c.Brush().SetColor(clRed);
        c.FillRect(Rect(-10, -10, 20, 20)); // clipped to the painter's own clip
        const TRegion r = CreateRectRgn(0, 0, 3, 3);
        c.SelectClipRgn(&r); // our clip stays inside the painter's
        c.Brush().SetColor(clBlue);
        c.FillRect(Rect(0, 0, 20, 20));
        c.Detach();
    }
    EXPECT_EQ(img.pixel(9, 9), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(14, 14), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(15, 15), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(12, 12), qRgb(0, 0, 255));
    // The painter is handed back as it was.
    EXPECT_EQ(p.transform(), QTransform::fromTranslate(10, 10));
    EXPECT_EQ(p.pen().color(), QColor(Qt::green));
    p.end();
}

TEST(CanvasShapes, PatternBrushRepeatsItsBitmapFromTheBrushOrigin) {
    TBitmap pattern(8, 8);
    pattern.Canvas()->SetPixels(0, 0, clRed); // one red pixel in every 8 x 8 tile
    auto b = WhiteBitmap(16, 16);
    TCanvas* c = b->Canvas();
    c->Brush().SetBitmap(&pattern);
    c->FillRect(Rect(0, 0, 16, 16));
    EXPECT_EQ(At(*b, 0, 0), clRed);
    EXPECT_EQ(At(*b, 8, 8), clRed);
    EXPECT_EQ(At(*b, 1, 0), clWhite);
    auto shifted = WhiteBitmap(16, 16);
    shifted->Canvas()->Brush().SetBitmap(&pattern);
    shifted->Canvas()->SetBrushOrigin(3, 2);
    shifted->Canvas()->FillRect(Rect(0, 0, 16, 16));
    EXPECT_EQ(At(*shifted, 3, 2), clRed);
    EXPECT_EQ(At(*shifted, 11, 10), clRed);
    EXPECT_EQ(At(*shifted, 0, 0), clWhite);
}

TEST(CanvasShapes, StretchDrawScalesAGraphicIntoTheRectangle) {
    TBitmap src(2, 1);
    src.Canvas()->SetPixels(0, 0, clRed);
    src.Canvas()->SetPixels(1, 0, clBlue);
    auto b = WhiteBitmap(10, 10);
    b->Canvas()->StretchDraw(Rect(2, 2, 6, 4), &src);
    EXPECT_EQ(At(*b, 2, 2), clRed);
    EXPECT_EQ(At(*b, 3, 3), clRed);
    EXPECT_EQ(At(*b, 5, 3), clBlue);
    EXPECT_EQ(At(*b, 6, 3), clWhite);
    EXPECT_EQ(At(*b, 5, 4), clWhite);
}

TEST(CanvasShapes, BoxedShapesStayInsideTheirBoxAndReachEachSide) {
    struct Case {
        const char* name;
        std::function<void(TCanvas*)> draw;
        TRect box; // the pixels the shape may paint, Right and Bottom excluded
    } cases[] = {
        {"Rectangle", [](TCanvas* c) { c->Rectangle(2, 3, 17, 14); }, Rect(2, 3, 17, 14)},
        {"Ellipse", [](TCanvas* c) { c->Ellipse(2, 3, 17, 14); }, Rect(2, 3, 17, 14)},
        {"RoundRect", [](TCanvas* c) { c->RoundRect(2, 3, 17, 14, 6, 6); }, Rect(2, 3, 17, 14)},
        {"Pie", [](TCanvas* c) { c->Pie(2, 3, 17, 14, 17, 8, 17, 9); }, Rect(2, 3, 17, 14)},
        // A polygon's outline runs through its vertices: they are painted.
        {"Polygon", [](TCanvas* c) { c->Polygon(std::vector<TPoint>{{2, 3}, {16, 3}, {16, 13}, {2, 13}}); },
         Rect(2, 3, 17, 14)},
        {"Wide-pen rectangle inside frame",
         [](TCanvas* c) {
             c->Pen().SetWidth(3);
             c->Pen().SetStyle(psInsideFrame);
             c->Rectangle(2, 3, 17, 14);
         },
         Rect(2, 3, 17, 14)},
    };
    for (const auto& tc : cases) {
        auto b = WhiteBitmap(20, 18);
        TCanvas* c = b->Canvas();
        c->Pen().SetColor(clRed);
        c->Brush().SetColor(clBlue);
        tc.draw(c);
        TRect ink(99, 99, -1, -1);
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 20; ++x)
                if (At(*b, x, y) != clWhite) {
                    ink.Left = std::min(ink.Left, x);
                    ink.Top = std::min(ink.Top, y);
                    ink.Right = std::max(ink.Right, x + 1);
                    ink.Bottom = std::max(ink.Bottom, y + 1);
                }
        EXPECT_EQ(ink, tc.box) << tc.name;
    }
}

TEST(CanvasBlit, Rop3EvaluatesTheOperationsTruthTable) {
    struct Case {
        uint8_t code, p, s, d, expected;
    } cases[] = {
        {0xCC, 0x00, 0x5A, 0x0F, 0x5A}, // source
        {0xAA, 0x00, 0x5A, 0x0F, 0x0F}, // destination
        {0xF0, 0x3C, 0x5A, 0x0F, 0x3C}, // pattern
        {0x66, 0x00, 0x5A, 0x0F, 0x55}, // S xor D
        {0x88, 0x00, 0x5A, 0x0F, 0x0A}, // S and D
        {0xEE, 0x00, 0x5A, 0x0F, 0x5F}, // S or D
        {0x33, 0x00, 0x5A, 0x0F, 0xA5}, // not S
        {0x5A, 0x3C, 0x00, 0x0F, 0x33}, // P xor D
        {0xB8, 0xF0, 0x5A, 0x0F, 0xAA}, // where S is set D, elsewhere P
    };
    for (const auto& tc : cases) EXPECT_EQ(Rop3(tc.code, tc.p, tc.s, tc.d), tc.expected) << std::hex << int(tc.code);
}

TEST(CanvasBlit, MaskBltCopiesWhereTheMaskChoosesTheBackground) {
    auto src = WhiteBitmap(3, 1);
    src->Canvas()->Brush().SetColor(clRed);
    src->Canvas()->FillRect(Rect(0, 0, 3, 1));
    TBitmap mask(3, 1); // white: keep the destination; black: copy
    mask.Canvas()->SetPixels(1, 0, clBlack);
    auto dst = WhiteBitmap(3, 1);
    dst->Canvas()->Brush().SetColor(clBlue);
    dst->Canvas()->FillRect(Rect(0, 0, 3, 1));
    ASSERT_TRUE(MaskBlt(dst->Canvas(), 0, 0, 3, 1, src->Canvas(), 0, 0, &mask, 0, 0, 0xCCAA0029));
    EXPECT_EQ(At(*dst, 0, 0), clBlue);
    EXPECT_EQ(At(*dst, 1, 0), clRed);
    EXPECT_EQ(At(*dst, 2, 0), clBlue);
    EXPECT_EQ(MAKEROP4(0x00AA0029, SRCCOPY), 0xCCAA0029u);
}

TEST(CanvasBlend, ADeviceThatCannotBeReadStillBlends) {
    // A recorded picture stands for a window: painted on, never read back.
    auto src = WhiteBitmap(4, 4);
    src->Canvas()->Brush().SetColor(RGB(200, 200, 200));
    src->Canvas()->FillRect(Rect(0, 0, 4, 4));
    QPicture recording;
    {
        TCanvas c(&recording);
        ASSERT_TRUE(c.HandleAllocated());
        EXPECT_EQ(c.Image(), nullptr);
        BLENDFUNCTION bf;
        bf.SourceConstantAlpha = 128;
        AlphaBlend(&c, 0, 0, 4, 4, src->Canvas(), 0, 0, 4, 4, bf);
    }
    QImage out(4, 4, QImage::Format_RGB32);
    out.fill(qRgb(100, 100, 100));
    QPainter p(&out);
    p.drawPicture(0, 0, recording);
    p.end();
    EXPECT_NEAR(qRed(out.pixel(2, 2)), 150, 1);
}
