#include "CellsKit.h"

#include "platform/graphics/ImageList.h"

TEST_F(CellsTest, ImageIndexNeedsGridImages)
{
    NewGrid();
    Grid->AddImageIdx(2, 2, 1, haCenter, vaCenter);
    EXPECT_EQ(Grid->GetCellGraphic(2, 2), nullptr);
    int idx = -7;
    EXPECT_FALSE(Grid->GetImageIdx(2, 2, idx));
    EXPECT_EQ(idx, -7);

    TImageList images(16, 16);
    Grid->GridImages = &images;
    // Any index is stored, even one past the list.
    Grid->AddImageIdx(2, 2, 42, haCenter, vaCenter);
    ASSERT_EQ(Grid->GetCellType(2, 2), ctImageList);
    EXPECT_EQ(Grid->GetCellGraphic(2, 2)->CellHAlign, haCenter);
    EXPECT_TRUE(Grid->GetImageIdx(2, 2, idx));
    EXPECT_EQ(idx, 42);
    EXPECT_EQ(Grid->GetCellImageKey(2, 2), 42);
    Grid->SetImageIdx(2, 2, 1);
    Grid->GetImageIdx(2, 2, idx);
    EXPECT_EQ(idx, 1);
    Grid->RemoveImageIdx(2, 2);
    EXPECT_EQ(Grid->GetCellType(2, 2), ctEmpty);
    Grid->GridImages = nullptr;
}

namespace {
class TPaintCountGrid : public TExStringGrid {
public:
    using TExStringGrid::TExStringGrid;
    int Drawn = 0;

protected:
    void DrawCell(int c, int r, const TRect& rect, TGridDrawState s) override
    {
        ++Drawn;
        TExStringGrid::DrawCell(c, r, rect, s);
    }
};
} // namespace

TEST_F(CellsTest, SetImageIdxDoesNotRepaint)
{
    auto* g = NewGrid<TPaintCountGrid>();
    TImageList images(16, 16);
    g->GridImages = &images;
    g->AddImageIdx(1, 1, 0, haLeft, vaTop);
    g->Update();
    g->Drawn = 0;
    g->SetImageIdx(1, 1, 1);
    g->Update();
    EXPECT_EQ(g->Drawn, 0);
    // Changing the image by the list of a multi-image cell does repaint.
    g->AddMultiImage(2, 2, 0, haLeft, vaTop);
    g->Update();
    g->Drawn = 0;
    g->GetCellImages(2, 2)->Add(1);
    g->Update();
    EXPECT_EQ(g->Drawn, 1);
    g->GridImages = nullptr;
}

TEST_F(CellsTest, DataImageWritesItsOffsetIntoAnEmptyCellAndTakesTheTextAway)
{
    NewGrid();
    TImageList images(16, 16);
    Grid->GridImages = &images;
    Grid->AddDataImage(1, 1, 2, haLeft, vaTop);
    EXPECT_EQ(Grid->Cells(1, 1), "2");
    Grid->SetCellEx(1, 2, "5");
    Grid->AddDataImage(1, 2, 2, haLeft, vaTop);
    EXPECT_EQ(Grid->Cells(1, 2), "5");
    EXPECT_TRUE(Grid->HasDataImage(1, 2));
    Grid->RemoveDataImage(1, 2);
    EXPECT_TRUE(Grid->Cells(1, 2).isEmpty());
    // Rotated text stays when its graphic goes.
    Grid->AddRotated(2, 2, -45, "tilt");
    int angle = 0;
    EXPECT_TRUE(Grid->IsRotated(2, 2, angle));
    EXPECT_EQ(angle, 315);
    Grid->RemoveRotated(2, 2);
    EXPECT_EQ(Grid->Cells(2, 2), "tilt");
    EXPECT_FALSE(Grid->IsRotated(2, 2, angle));
    Grid->GridImages = nullptr;
}

TEST_F(CellsTest, MultiImageListRepaintsItsCellWhenChanged)
{
    NewGrid();
    TImageList images(16, 16);
    Grid->GridImages = &images;
    Grid->AddMultiImage(1, 1, 0, haLeft, vaTop);
    TIntList* l = Grid->GetCellImages(1, 1);
    ASSERT_NE(l, nullptr);
    EXPECT_TRUE(Grid->GetCellGraphic(1, 1)->CellBoolean);
    EXPECT_EQ(l->FCol, 1);
    l->Add(3);
    EXPECT_EQ(l->GetInteger(0), 3);
    Grid->RemoveMultiImage(1, 1);
    EXPECT_EQ(Grid->GetCellImages(1, 1), nullptr);
    Grid->GridImages = nullptr;
}

TEST_F(CellsTest, ShapeCommentAndProgressQueries)
{
    NewGrid();
    EXPECT_EQ(Grid->GetShapeColor(1, 1), clNone);
    Grid->AddShape(1, 1, csStar, clRed, clBlack, haLeft, vaTop);
    Grid->SetShapeColor(1, 1, clLime);
    EXPECT_EQ(Grid->GetShapeColor(1, 1), clLime);

    Grid->AddComment(2, 1, "a");
    Grid->SetComment(2, 1, "b");
    EXPECT_EQ(Grid->GetComment(2, 1), "b");
    Grid->SetComment(1, 1, "c"); // a shape cell is left alone
    EXPECT_EQ(Grid->GetComment(1, 1), "");
    Grid->SetComment(3, 1, "d"); // a cell without graphic gets one
    EXPECT_EQ(Grid->GetComment(3, 1), "d");
    Grid->RemoveAllComments();
    EXPECT_EQ(Grid->GetCellGraphic(2, 1), nullptr);

    Grid->AddExProgress(1, 2, 0, 10);
    EXPECT_FALSE(Grid->HasProgress(1, 2));
    Grid->AutoNumAlign = true;
    Grid->AddProgress(1, 3, clBlue, clWhite);
    EXPECT_TRUE(Grid->HasProgress(1, 3));
    EXPECT_EQ(Grid->GetAlignments(1, 3), taRightJustify);
    const TCellGraphic* g = Grid->GetCellGraphic(1, 3);
    EXPECT_EQ(g->CellErrFrom, 0);
    EXPECT_EQ(g->CellErrLen, 100);
    EXPECT_FALSE(g->CellBoolean);
}

TEST_F(CellsTest, ScrollBarDefaultsAndQueries)
{
    NewGrid();
    const TScrollProp none = Grid->GetScrollProp(1, 1);
    EXPECT_EQ(none.PageSize, -1);
    EXPECT_EQ(none.Range, -1);
    EXPECT_EQ(Grid->GetScrollPosition(1, 1), -1);
    Grid->AddScrollBar(1, 1, false);
    const TScrollProp p = Grid->GetScrollProp(1, 1);
    EXPECT_EQ(p.PageSize, 0);
    EXPECT_EQ(p.Range, 100);
    EXPECT_EQ(Grid->GetScrollPosition(1, 1), 0);
    Grid->SetScrollPosition(1, 1, 30);
    EXPECT_EQ(Grid->GetScrollPosition(1, 1), 30);
    EXPECT_FALSE(Grid->HasAutoRangeScrollBar(1, 1));
}

TEST_F(CellsTest, MarkersKeepTheGraphicTheyHangOn)
{
    NewGrid();
    TBitmap bmp;
    Grid->AddBitmap(1, 1, &bmp, false, haLeft, vaTop);
    Grid->AddMarker(1, 1, 2, 3);
    EXPECT_EQ(Grid->GetBitmap(1, 1), &bmp);
    int pos = -1, len = -1;
    Grid->GetMarker(1, 1, pos, len);
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(len, 3);
    Grid->RemoveMarker(1, 1);
    Grid->GetMarker(1, 1, pos, len);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(Grid->GetBitmap(1, 1), &bmp);

    Grid->AddMarker(2, 2, 1, 1);
    EXPECT_EQ(Grid->GetCellType(2, 2), ctEmpty);
    EXPECT_NE(Grid->GetCellGraphic(2, 2), nullptr);
    Grid->RemoveMarker(2, 2);
    EXPECT_EQ(Grid->GetCellGraphic(2, 2), nullptr);
}

TEST_F(CellsTest, BalloonOnACheckBoxKeepsTheBox)
{
    NewGrid();
    Grid->AddCheckBox(1, 1, true, true);
    Grid->AddBalloon(1, 1, "Title", "Text", biWarning);
    EXPECT_TRUE(Grid->HasDataCheckBox(1, 1));
    EXPECT_FALSE(Grid->HasBalloon(1, 1));
    QString t, x;
    TBalloonIcon icon = biNone;
    EXPECT_TRUE(Grid->IsBalloon(1, 1, t, x, icon));
    EXPECT_EQ(t, "Title");
    EXPECT_EQ(x, "Text");
    EXPECT_EQ(icon, biWarning);
    Grid->RemoveBalloon(1, 1);
    EXPECT_FALSE(Grid->IsBalloon(1, 1, t, x, icon));
    EXPECT_TRUE(Grid->HasCheckBox(1, 1));

    TBitmap bmp;
    Grid->AddBitmap(2, 1, &bmp, false, haLeft, vaTop);
    Grid->AddBalloon(2, 1, "a", "b", biInfo);
    EXPECT_FALSE(Grid->IsBalloon(2, 1, t, x, icon));

    Grid->AddBalloon(3, 1, "a", "b", biError);
    EXPECT_TRUE(Grid->HasBalloon(3, 1));
    Grid->RemoveBalloon(3, 1);
    EXPECT_EQ(Grid->GetCellGraphic(3, 1), nullptr);
}

TEST_F(CellsTest, ButtonsRectanglesAndRemoval)
{
    NewGrid();
    Grid->AddButton(1, 1, 60, 20, "Go", haFull, vaTop);
    const TRect cell = Grid->CellRect(1, 1);
    const TRect b = Grid->GetCellButtonRect(1, 1);
    EXPECT_EQ(b.Left, cell.Left);
    EXPECT_EQ(b.Right, cell.Right);
    EXPECT_EQ(b.Top, cell.Top);
    EXPECT_EQ(b.Bottom, cell.Top + 20);
    Grid->SetButtonText(1, 1, "Stop");
    EXPECT_EQ(Grid->GetButtonText(1, 1), "Stop");
    Grid->PushButton(1, 1, true);
    EXPECT_TRUE(Grid->GetCellGraphic(1, 1)->CellBoolean);

    Grid->AddBitButton(2, 1, 10, 10, "x", nullptr, haLeft, vaTop);
    Grid->RemoveBitButton(1, 1); // leaves a plain button
    EXPECT_TRUE(Grid->HasButton(1, 1));
    Grid->RemoveButton(2, 1); // takes a bit button too
    EXPECT_FALSE(Grid->HasButton(2, 1));
    Grid->RemoveAllButtons();
    EXPECT_FALSE(Grid->HasButton(1, 1));
    EXPECT_EQ(Grid->GetCellButtonRect(1, 1).Right, 0);
}

TEST_F(CellsTest, RatingAsksItsEvent)
{
    NewGrid();
    double rate = 3.0;
    EXPECT_TRUE(Grid->RatingChange(1, 1, rate));
    Grid->OnRatingChange = [](TObject*, int, int, double& r, bool& allow) {
        r = 2.5;
        allow = false;
    };
    EXPECT_FALSE(Grid->RatingChange(1, 1, rate));
    EXPECT_EQ(rate, 2.5);
}
