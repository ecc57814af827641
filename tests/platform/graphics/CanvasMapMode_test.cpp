// The metric mapping mode: 0.1 mm units with y growing upwards, shapes and
// clip mapped, text upright, font heights in the same units.
#include "PixelHelpers.h"

#include <gtest/gtest.h>

namespace {

// Device pixels of 254 logical units (one inch) on this canvas.
int Inch(TCanvas* c) { return c->LPtoDP(TPoint(254, 0)).X - c->LPtoDP(TPoint(0, 0)).X; }

} // namespace

TEST(CanvasMapMode, PointsMapBothWaysWithYUpwards) {
    auto b = WhiteBitmap(200, 200);
    TCanvas* c = b->Canvas();
    EXPECT_EQ(c->MapMode(), MM_TEXT);
    EXPECT_EQ(c->SetMapMode(MM_LOMETRIC), MM_TEXT);
    const int inch = Inch(c);
    ASSERT_GT(inch, 50);
    EXPECT_EQ(c->LPtoDP(TPoint(254, -254)), TPoint(inch, inch));
    EXPECT_EQ(c->DPtoLP(TPoint(inch, inch)), TPoint(254, -254));
    const TRect clip = c->ClipRect();
    EXPECT_EQ(clip.Left, 0);
    EXPECT_EQ(clip.Top, 0);
    EXPECT_LT(clip.Bottom, -500); // the page runs downwards into negative y
    EXPECT_EQ(c->SetMapMode(MM_LOMETRIC + 40), 0); // unknown modes are refused
    EXPECT_EQ(c->SetMapMode(MM_TEXT), MM_LOMETRIC);
    EXPECT_EQ(c->LPtoDP(TPoint(10, 20)), TPoint(10, 20));
}

TEST(CanvasMapMode, ShapesFillTheirMappedArea) {
    auto b = WhiteBitmap(200, 200);
    TCanvas* c = b->Canvas();
    c->SetMapMode(MM_LOMETRIC);
    const int inch = Inch(c);
    c->Brush().SetColor(clRed);
    c->FillRect(TRect(0, 0, 254, -254)); // top above bottom
    EXPECT_EQ(At(*b, 2, 2), clRed);
    EXPECT_EQ(At(*b, inch - 3, inch - 3), clRed);
    EXPECT_EQ(At(*b, inch + 3, 2), clWhite);
    EXPECT_EQ(At(*b, 2, inch + 3), clWhite);
    c->Pen().SetColor(clBlue);
    c->MoveTo(0, -400);
    c->LineTo(400, -400);
    const int y = c->LPtoDP(TPoint(0, -400)).Y;
    EXPECT_EQ(At(*b, inch + 10, y), clBlue);
}

TEST(CanvasMapMode, TextIsUprightAndSizedInLogicalUnits) {
    auto b = WhiteBitmap(200, 200);
    TCanvas* c = b->Canvas();
    c->SetMapMode(MM_LOMETRIC);
    c->Font().SetName("DejaVu Sans");
    c->Font().SetHeight(-200); // 20 mm characters
    const int h = c->TextHeight("L");
    EXPECT_GE(h, 200);
    EXPECT_LT(h, 320);
    c->Font().SetColor(clBlack);
    c->SetBkMode(TRANSPARENT);
    c->TextOut(50, -20, "L");
    // The glyph's widest dark row (its foot) lies in the lower half of its
    // dark rows: not mirrored.
    int top = -1, bottom = -1, widestRow = -1, widest = 0;
    for (int y = 0; y < 200; ++y) {
        int n = 0;
        for (int x = 0; x < 200; ++x)
            n += At(*b, x, y) != clWhite;
        if (n) {
            if (top < 0) top = y;
            bottom = y;
            if (n > widest) {
                widest = n;
                widestRow = y;
            }
        }
    }
    ASSERT_GE(top, 0);
    EXPECT_GT(widestRow, (top + bottom) / 2);
    // The text starts below the logical point it was put at.
    EXPECT_GE(top, c->LPtoDP(TPoint(50, -20)).Y);
}

TEST(CanvasMapMode, AnUprightSpaceDrawsPixelCodeScaledAndDownwards) {
    auto b = WhiteBitmap(300, 300);
    TCanvas* c = b->Canvas();
    c->SetMapMode(MM_LOMETRIC);
    const int inch = Inch(c);
    // Origin one inch right and down; ten space units per inch.
    c->BeginUprightSpace(TPoint(254, -254), 25.4);
    EXPECT_TRUE(c->InUprightSpace());
    EXPECT_EQ(c->LPtoDP(TPoint(0, 0)), TPoint(inch, inch));
    EXPECT_EQ(c->LPtoDP(TPoint(10, 5)), TPoint(2 * inch, inch + inch / 2));
    EXPECT_EQ(c->DPtoLP(TPoint(2 * inch, 2 * inch)), TPoint(10, 10));
    // A pixel-style rectangle (top above bottom in its own terms) lands
    // below and right of the origin.
    c->Brush().SetColor(clRed);
    c->FillRect(TRect(0, 0, 5, 5));
    EXPECT_EQ(At(*b, inch + 3, inch + 3), clRed);
    EXPECT_EQ(At(*b, inch + inch / 2 - 3, inch + inch / 2 - 3), clRed);
    EXPECT_EQ(At(*b, inch - 3, inch + 3), clWhite);
    EXPECT_EQ(At(*b, inch + inch / 2 + 3, inch + 3), clWhite);
    // Clipping takes the space's coordinates too.
    c->IntersectClipRect(0, 0, 10, 2);
    c->Brush().SetColor(clBlue);
    c->FillRect(TRect(0, 0, 10, 10));
    EXPECT_EQ(At(*b, inch + inch / 2 + 3, inch + 3), clBlue);
    EXPECT_EQ(At(*b, inch + inch / 2 + 3, inch + inch / 2 + 3), clWhite);
    const TRect clip = c->ClipRect();
    EXPECT_EQ(clip.Top, 0);
    EXPECT_EQ(clip.Bottom, 2);
    c->SelectClipRgn(nullptr);
    // Text keeps its heights in space units, scaled with the space: 3
    // units = 0.3 inch, drawn upright below its point.
    c->Font().SetName("DejaVu Sans");
    c->Font().SetHeight(-3);
    c->Font().SetColor(clBlack);
    c->SetBkMode(TRANSPARENT);
    EXPECT_LE(c->TextHeight("L"), 5);
    c->TextOut(0, 10, "L");
    int top = -1, bottom = -1;
    for (int y = 0; y < 300; ++y)
        for (int x = inch; x < inch + inch / 2; ++x)
            if (At(*b, x, y) == clBlack) {
                if (top < 0) top = y;
                bottom = y;
            }
    ASSERT_GE(top, 0);
    EXPECT_GE(top, 2 * inch);
    EXPECT_GE(bottom - top, inch / 6);
    c->EndUprightSpace();
    EXPECT_FALSE(c->InUprightSpace());
    EXPECT_EQ(c->LPtoDP(TPoint(254, -254)), TPoint(inch, inch));
    // Unmapped canvases ignore it.
    c->SetMapMode(MM_TEXT);
    c->BeginUprightSpace(TPoint(10, 10), 2.0);
    EXPECT_FALSE(c->InUprightSpace());
    EXPECT_EQ(c->LPtoDP(TPoint(10, 20)), TPoint(10, 20));
}
