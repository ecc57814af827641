// What follows the current cell and the editor: the row indicator and the
// cell borders repaint, the focus glow shows while an editor is open, and a
// covered cell of a merged block opens its base cell's drop-down editor when
// drop-down buttons are always shown.
#include "gridpack/stringgrid/inplace/EditTestKit.h"

#include "gridpack/basegrid/ExGridWindows.h"

namespace {
class FocusTest : public EditingTest {
protected:
    bool Repainted(int c, int r) const
    {
        const TRect want = Grid->TBaseGrid::CellRect(c, r);
        for (const TRect& rc : Grid->InvalidatedRects())
            if (rc == want)
                return true;
        return false;
    }
};
} // namespace

TEST_F(FocusTest, TheRowIndicatorFollowsTheCurrentRow)
{
    for (bool indicator : {false, true}) {
        NewGrid(false);
        if (indicator)
            Grid->RowIndicator()->SetSize(8, 8);
        Grid->SetRow(2);
        Grid->ClearInvalidatedRects();
        Grid->SetRow(5);
        EXPECT_EQ(Repainted(0, 2), indicator) << "indicator " << indicator;
        EXPECT_EQ(Repainted(0, 5), indicator) << "indicator " << indicator;
        delete Form;
        Form = nullptr;
    }
}

TEST_F(FocusTest, CellBordersRepaintOverTheOldSelection)
{
    NewGrid(false);
    Grid->SetColCount(12);
    Grid->SetRow(6);
    Grid->OnGetCellBorder = [](TObject*, int, int, TPen*, TCellBorders&) {};
    Grid->ClearInvalidatedRects();
    Grid->SetRow(3);
    // The old selection's row, over the columns from the fixed-row count.
    bool covered = false;
    const TRect cell = Grid->TBaseGrid::CellRect(2, 6);
    for (const TRect& rc : Grid->InvalidatedRects())
        covered = covered || (rc.Contains(TPoint(cell.Left + 1, cell.Top + 1)) && rc.Width() > cell.Width());
    EXPECT_TRUE(covered);
}

TEST_F(FocusTest, TheFocusGlowShowsWhileTheEditorIsOpen)
{
    NewGrid(true);
    Grid->FocusHelper()->Enabled = true;
    EditCell(2, 3);
    ASSERT_TRUE(Grid->FFocusWindow);
    EXPECT_TRUE(Grid->FFocusWindow->Visible());
    EXPECT_EQ(FocusTrackingGrid, Grid);
    const TRect cell = Grid->TBaseGrid::CellRect(2, 3);
    const TPoint at = Grid->ClientToScreen(TPoint(cell.Left, cell.Top));
    EXPECT_EQ(Grid->FFocusWindow->Left(), at.X - 4);
    EXPECT_EQ(Grid->FFocusWindow->Top(), at.Y - 4);
    EXPECT_EQ(Grid->FFocusWindow->Width(), cell.Width() + 9);
    // The cell itself is no part of the window: only the ring around it.
    EXPECT_FALSE(Grid->FFocusWindow->HitsWindowRegion(TPoint(8, 8)));
    EXPECT_TRUE(Grid->FFocusWindow->HitsWindowRegion(TPoint(1, 1)));
    Type("new");
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 3), "new");
    EXPECT_FALSE(Grid->FFocusWindow->Visible());
    EXPECT_EQ(FocusTrackingGrid, nullptr);
}

TEST_F(FocusTest, NoGlowWithoutTheFocusHelper)
{
    NewGrid(true);
    EditCell(2, 3);
    EXPECT_FALSE(Grid->FFocusWindow && Grid->FFocusWindow->Visible());
}

TEST_F(FocusTest, ACoveredCellOpensTheDropDownOfItsBaseWhenButtonsAlwaysShow)
{
    for (bool always : {false, true}) {
        NewGrid(true);
        Grid->ControlLook()->SetDropDownAlwaysVisible(always);
        // Both columns of the block offer the drop-down list.
        Grid->OnGetEditorType = [](TObject*, int ACol, int, TEditorType& AEditor) {
            if (ACol == 2 || ACol == 3)
                AEditor = edComboList;
        };
        Grid->SetOptions(Grid->Options() & ~goRangeSelect);
        Grid->MergeCells(2, 4, 2, 1);
        Grid->SetRow(4);
        Grid->SetCol(1);
        Grid->SetCol(3);
        EXPECT_EQ(Grid->Col(), 2);
        EXPECT_EQ(Grid->EditMode, always) << "always " << always;
        delete Form;
        Form = nullptr;
    }
}
