// Image lists: cutting strips, masks, and the drawing styles.
#include "platform/graphics/ImageList.h"
#include "PixelHelpers.h"

#include <gtest/gtest.h>

namespace {

// A strip of three 4x4 images on a fuchsia background: a red, a green and
// a blue 2x2 square in the middle of each.
std::unique_ptr<TBitmap> Strip() {
    auto b = std::make_unique<TBitmap>(12, 4);
    TCanvas* c = b->Canvas();
    c->Brush().SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 12, 4));
    const TColor colours[3] = {clRed, clLime, clBlue};
    for (int i = 0; i < 3; ++i) {
        c->Brush().SetColor(colours[i]);
        c->FillRect(Bounds(i * 4 + 1, 1, 2, 2));
    }
    return b;
}

} // namespace

TEST(ImageList, AddMaskedCutsTheStripAndMasksTheKeyColour) {
    TImageList list(4, 4);
    auto strip = Strip();
    EXPECT_EQ(list.AddMasked(strip.get(), clFuchsia), 0);
    EXPECT_EQ(list.Count(), 3);
    auto dst = WhiteBitmap(4, 4);
    list.Draw(dst->Canvas(), 0, 0, 2);
    EXPECT_EQ(At(*dst, 1, 1), clBlue);
    EXPECT_EQ(At(*dst, 0, 0), clWhite);
    EXPECT_EQ(list.AddMasked(strip.get(), clDefault), 3); // the top-left pixel's colour
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(qAlpha(list.ImageAt(3).pixel(0, 0)), 0);
}

TEST(ImageList, AddWithAMaskBitmapHidesItsWhitePixels) {
    TImageList list(4, 4);
    auto strip = Strip();
    TBitmap mask(12, 4);
    mask.Canvas()->Brush().SetColor(clBlack);
    mask.Canvas()->FillRect(Rect(0, 0, 12, 4));
    mask.Canvas()->SetPixels(1, 1, clWhite);
    ASSERT_EQ(list.Add(strip.get(), &mask), 0);
    auto dst = WhiteBitmap(4, 4);
    list.Draw(dst->Canvas(), 0, 0, 0);
    EXPECT_EQ(At(*dst, 1, 1), clWhite);
    EXPECT_EQ(At(*dst, 2, 2), clRed);
    EXPECT_EQ(At(*dst, 0, 0), clFuchsia); // not masked: drawn
    EXPECT_EQ(list.MaskAt(0).constScanLine(1)[1], 255);
    EXPECT_EQ(list.MaskAt(0).constScanLine(2)[2], 0);
}

TEST(ImageList, DisabledBlendedAndOverlaidDrawing) {
    TImageList list(4, 4);
    auto strip = Strip();
    list.AddMasked(strip.get(), clFuchsia);
    auto dst = WhiteBitmap(4, 4);

    list.Draw(dst->Canvas(), 0, 0, 0, /*enabled=*/false);
    const TColor grey = At(*dst, 1, 1);
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));
    EXPECT_EQ(GetGValue(grey), GetBValue(grey));
    EXPECT_EQ(At(*dst, 0, 0), clWhite);

    list.DrawEx(dst->Canvas(), 0, 0, 0, ILD_TRANSPARENT | ILD_BLEND50, clBlue);
    EXPECT_EQ(At(*dst, 1, 1), RGB(127, 0, 127));

    ASSERT_TRUE(list.Overlay(2, 0));
    auto ov = WhiteBitmap(4, 4);
    list.DrawEx(ov->Canvas(), 0, 0, 0, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(1));
    EXPECT_EQ(At(*ov, 1, 1), clBlue); // the overlay's square covers the image's
    EXPECT_FALSE(list.Overlay(9, 0));
}

TEST(ImageList, ABackgroundColourFillsTheCellUnlessTransparent) {
    TImageList list(4, 4);
    auto strip = Strip();
    list.AddMasked(strip.get(), clFuchsia);
    list.SetBkColor(clYellow);
    auto dst = WhiteBitmap(4, 4);
    list.Draw(dst->Canvas(), 0, 0, 1);
    EXPECT_EQ(At(*dst, 0, 0), clYellow);
    EXPECT_EQ(At(*dst, 1, 1), clLime);
    auto t = WhiteBitmap(4, 4);
    list.Draw(t->Canvas(), 0, 0, 1, dsTransparent, itImage);
    EXPECT_EQ(At(*t, 0, 0), clWhite);
}

TEST(ImageList, ResizingClearsAndBadIndexesRaiseOrDrawNothing) {
    TImageList list(4, 4);
    auto strip = Strip();
    list.AddMasked(strip.get(), clFuchsia);
    auto dst = WhiteBitmap(4, 4);
    list.Draw(dst->Canvas(), 0, 0, 7);
    list.Draw(dst->Canvas(), 0, 0, -1);
    EXPECT_EQ(Picture(*dst), Picture(*WhiteBitmap(4, 4)));
    EXPECT_THROW(list.Delete(3), EInvalidOperation);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    list.SetSize(8, 8);
    EXPECT_EQ(list.Count(), 0);
}
