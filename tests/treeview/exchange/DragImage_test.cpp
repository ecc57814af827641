// The drag image drawing itself on a screen surface: its fading alpha, the
// colour key, showing, hiding, moving and move restrictions, and handing the
// picture to the platform when a data object is given.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesDragImage.h"

#include <gtest/gtest.h>

namespace {
class DragImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        Tree = NewObject<TLazyStringTree>(nullptr);
        Screen = std::make_unique<TBitmap>(800, 600, pf32bit);
        Fill(Screen.get(), Rect(0, 0, 800, 600), clBlue);
        Picture = std::make_unique<TBitmap>(200, 350, pf32bit);
        Fill(Picture.get(), Rect(0, 0, 200, 350), clRed);
        Fill(Picture.get(), Rect(0, 0, 20, 20), clWhite);  // background: a hole
    }
    void TearDown() override {
        Image.reset();
        Tree->Free();
    }
    static void Fill(TBitmap* b, TRect r, TColor c) {
        const TColor rgb = ColorToRGB(c);
        for (int y = r.Top; y < r.Bottom; ++y) {
            TRGBQuad* row = b->ScanLine(y);
            for (int x = r.Left; x < r.Right; ++x)
                row[x] = TRGBQuad{uint8_t(GetBValue(rgb)), uint8_t(GetGValue(rgb)), uint8_t(GetRValue(rgb)), 255};
        }
    }
    // The opaque centre blends to the image's colour, give or take rounding.
    static bool Reddish(TBitmap* b, int x, int y) {
        const TRGBQuad q = b->ScanLine(y)[x];
        return q.rgbRed > 245 && q.rgbGreen < 10 && q.rgbBlue < 10;
    }
    static TColor At(TBitmap* b, int x, int y) {
        const TRGBQuad q = b->ScanLine(y)[x];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    void Prepare(TPoint at, IDataObject* data = nullptr) {
        Image = std::make_unique<TLTDragImage>(Tree);
        Image->SetScreen(Screen.get());
        Image->ColorKey = clWhite;
        Image->Fade = true;
        Image->Transparency = 255;
        Image->PrepareDrag(Picture.get(), at, Point(at.X + 100, at.Y + 175), data);
    }
    TLazyStringTree* Tree = nullptr;
    std::unique_ptr<TBitmap> Screen, Picture;
    std::unique_ptr<TLTDragImage> Image;
};
}  // namespace

TEST_F(DragImageTest, AlphaFadesFromTheCentreAndTheKeyIsAHole) {
    Prepare(Point(10, 10));
    TBitmap* d = Image->DragImageBitmap();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->ScanLine(175)[100].rgbReserved, 255);
    EXPECT_EQ(d->ScanLine(0)[100].rgbReserved, 5);
    EXPECT_EQ(d->ScanLine(5)[5].rgbReserved, 0);
    EXPECT_EQ(d->ScanLine(175)[100].rgbRed, 255);  // the colours stay
    EXPECT_FALSE(Image->Visible());  // prepared, not shown yet
    EXPECT_EQ(Image->GetDragImageRect(), Rect(0, 0, 0, 0));
}

TEST_F(DragImageTest, ShowMoveAndHideOnTheScreen) {
    Prepare(Point(10, 10));
    Image->ShowDragImage();
    ASSERT_TRUE(Image->Visible());
    EXPECT_EQ(Image->GetDragImageRect(), Rect(10, 10, 210, 360));
    EXPECT_TRUE(Reddish(Screen.get(), 110, 185));    // the opaque centre
    EXPECT_EQ(At(Screen.get(), 15, 15), clBlue);     // the hole
    EXPECT_EQ(At(Screen.get(), 300, 300), clBlue);   // outside

    // A horizontal move with a vertical-only restriction moves nothing.
    Image->MoveRestriction = dmrVerticalOnly;
    EXPECT_FALSE(Image->WillMove(Point(150, 185)));
    EXPECT_FALSE(Image->DragTo(Point(150, 185), false));
    EXPECT_EQ(Image->ImagePosition(), Point(10, 10));

    // A move larger than the image restores the old place whole (the mouse
    // was last seen at x 150).
    Image->MoveRestriction = dmrNone;
    EXPECT_TRUE(Image->WillMove(Point(510, 185)));
    EXPECT_TRUE(Image->DragTo(Point(510, 185), false));
    EXPECT_EQ(Image->ImagePosition(), Point(370, 10));
    EXPECT_EQ(At(Screen.get(), 110, 185), clBlue);
    EXPECT_TRUE(Reddish(Screen.get(), 470, 185));
    // An overlapping move leaves no trace behind either.
    EXPECT_TRUE(Image->DragTo(Point(530, 195), false));
    EXPECT_EQ(Image->ImagePosition(), Point(390, 20));
    EXPECT_EQ(At(Screen.get(), 375, 15), clBlue);
    EXPECT_TRUE(Reddish(Screen.get(), 490, 195));

    Image->HideDragImage();
    EXPECT_FALSE(Image->Visible());
    for (TPoint p : {Point(490, 195), Point(450, 100), Point(110, 185)}) EXPECT_EQ(At(Screen.get(), p.X, p.Y), clBlue);
    Image->EndDrag();
    EXPECT_FALSE(Image->States().ContainsAny({disInDrag, disPrepared}));
}

TEST_F(DragImageTest, WithADataObjectThePlatformDrawsIt) {
    TDataObject data;
    Prepare(Point(10, 10), &data);
    EXPECT_TRUE(Image->States().Contains(disSystemSupport));
    EXPECT_FALSE(Image->Visible());
    Image->ShowDragImage();
    EXPECT_FALSE(Image->Visible());
    EXPECT_EQ(At(Screen.get(), 110, 185), clBlue);  // nothing drawn by the image itself
    EXPECT_TRUE(Image->DragTo(Point(300, 300), false));
    EXPECT_EQ(At(Screen.get(), 300, 300), clBlue);
    // A node drag without a picture kind prepares nothing.
    Tree->DragImageKind = diNoImage;
    Tree->PrepareDragImage(Point(5, 5), &data);
    EXPECT_TRUE(Tree->DragImage()->States().Empty());
}
