// Selecting, sizing and moving with the mouse.
#include "GridTestKit.h"

#include "platform/controls/Timers.h"

TEST_F(GridTest, APressSelectsAndTheReleaseClicks) {
    NewGrid();
    Input::MouseDown(Grid, mbLeft, 140, 60);  // cell (2, 2)
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Grid->GridState(), gsSelecting);
    EXPECT_TRUE(IsTimerSet(Grid, 1));
    EXPECT_TRUE(Grid->Log.filter("Click").isEmpty());
    Input::MouseUp(Grid, mbLeft, 140, 60);
    EXPECT_EQ(Grid->GridState(), gsNormal);
    EXPECT_FALSE(IsTimerSet(Grid, 1));
    EXPECT_EQ(Grid->Log.filter("Click"), QStringList({"Click"}));
    // A click on the current cell clicks too.
    Input::Click(Grid, 140, 60);
    EXPECT_EQ(Grid->Log.filter("Click").size(), 2);
    // Presses on fixed cells or outside the cells do not move.
    Input::Click(Grid, 10, 60);
    Input::Click(Grid, 380, 60);
    EXPECT_EQ(Grid->Col(), 2);
}

TEST_F(GridTest, DraggingSelectsABlock) {
    NewGrid();
    Input::MouseDown(Grid, mbLeft, 70, 30);  // (1, 1)
    Input::MouseMove(Grid, 200, 80, ssLeft);  // (3, 3)
    Input::MouseUp(Grid, mbLeft, 200, 80);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 3, 3}));
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 1);
    // Shift+press grows the selection from the current cell.
    Input::MouseDown(Grid, mbLeft, 270, 105, ssShift);  // (4, 4)
    Input::MouseUp(Grid, mbLeft, 270, 105, ssShift);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 4, 4}));
    // Without goRangeSelect a drag only moves the current cell.
    Grid->SetOptions(Grid->Options() & ~goRangeSelect);
    Input::MouseDown(Grid, mbLeft, 70, 30);
    Input::MouseMove(Grid, 200, 80, ssLeft);
    Input::MouseUp(Grid, mbLeft, 200, 80);
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 3, 3, 3}));
}

TEST_F(GridTest, HoldingTheDragBelowTheGridScrollsOnTheTimer) {
    NewGrid();
    Grid->SetRowCount(100);
    Input::MouseDown(Grid, mbLeft, 70, 30);
    SetCursorPos(Grid->ClientToScreen(Point(70, Grid->ClientHeight() + 20)));
    const int lastShown = Grid->TopRow() + Grid->VisibleRowCount() - 1;
    ASSERT_TRUE(FireTimer(Grid, 1));
    EXPECT_EQ(Grid->TopRow(), 2);
    EXPECT_EQ(Grid->Selection().Bottom, lastShown + 1);
    ASSERT_TRUE(FireTimer(Grid, 1));
    EXPECT_EQ(Grid->TopRow(), 3);
    Input::MouseUp(Grid, mbLeft, 70, Grid->ClientHeight() + 20);
    EXPECT_FALSE(IsTimerSet(Grid, 1));
    EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(GridTest, SizingStateNearTheLines) {
    NewGrid();
    TGridDrawInfo info;
    Grid->CalcDrawInfo(info);
    // The line after column 1 is at 129; after row 1 at 49.
    const struct {
        TGridOptions opts;
        int x, y;
        TGridState state;
        int index;
    } cases[] = {
        {goColSizing, 129, 10, gsColSizing, 1},
        {goColSizing, 126, 10, gsColSizing, 1},
        {goColSizing, 133, 10, gsColSizing, 1},
        {goColSizing, 120, 10, gsNormal, -1},
        {goColSizing, 129, 40, gsNormal, -1},  // only from the fixed rows
        {0, 129, 10, gsNormal, -1},
        {goRowSizing, 10, 49, gsRowSizing, 1},
        {goRowSizing, 100, 49, gsNormal, -1},  // only from the fixed columns
    };
    for (const auto& c : cases) {
        Grid->SetOptions(c.opts);
        TGridState state;
        int index = 0, pos = 0, ofs = 0;
        Grid->CalcSizingState(c.x, c.y, state, index, pos, ofs, info);
        EXPECT_EQ(state, c.state) << c.x << "," << c.y;
        EXPECT_EQ(index, c.index) << c.x << "," << c.y;
        if (state != gsNormal) {
            EXPECT_EQ(pos - ofs, c.state == gsColSizing ? c.x : c.y);
        }
    }
}

TEST_F(GridTest, DraggingAColumnBorderSizesTheColumn) {
    NewGrid();
    Grid->SetOptions(Grid->Options() | goColSizing | goRowSizing);
    Grid->ColWidthsChangedCount = 0;
    // Over a line that can be dragged the grid shows the sizing cursor.
    Input::MouseMove(Grid, 100, 10);
    EXPECT_EQ(Grid->ShownCursor(), crDefault);
    Input::MouseMove(Grid, 130, 10);
    EXPECT_EQ(Grid->ShownCursor(), crHSplit);
    Input::MouseMove(Grid, 10, 50);
    EXPECT_EQ(Grid->ShownCursor(), crVSplit);
    Input::MouseDown(Grid, mbLeft, 129, 10);
    EXPECT_EQ(Grid->GridState(), gsColSizing);
    Input::MouseMove(Grid, 139, 10, ssLeft);
    Input::MouseUp(Grid, mbLeft, 139, 10);
    EXPECT_EQ(Grid->ColWidths(1), 74);
    EXPECT_EQ(Grid->ColWidthsChangedCount, 1);
    EXPECT_EQ(Grid->GridState(), gsNormal);
    // Rows the same way, from the fixed column.
    Input::MouseDown(Grid, mbLeft, 10, 49);
    Input::MouseMove(Grid, 10, 44, ssLeft);
    Input::MouseUp(Grid, mbLeft, 10, 44);
    EXPECT_EQ(Grid->RowHeights(1), 19);
    EXPECT_EQ(Grid->RowHeightsChangedCount, 1);
    // The current cell did not move.
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(GridTest, DraggingAHeaderMovesTheColumn) {
    NewGrid();
    Grid->SetOptions(Grid->Options() | goColMoving | goRowMoving);
    QStringList moved;
    Grid->OnColumnMoved = [&](TObject*, int f, int t) { moved << QString("col %1>%2").arg(f).arg(t); };
    Grid->OnRowMoved = [&](TObject*, int f, int t) { moved << QString("row %1>%2").arg(f).arg(t); };
    Grid->SetCells(1, 2, "moved");
    Grid->SetCells(1, 0, "head");
    Input::MouseDown(Grid, mbLeft, 80, 10);
    EXPECT_EQ(Grid->GridState(), gsColMoving);
    Input::MouseMove(Grid, 220, 10, ssLeft);
    Input::MouseUp(Grid, mbLeft, 220, 10);
    EXPECT_EQ(Grid->Cells(3, 2), "moved");
    EXPECT_EQ(Grid->Cells(3, 0), "head");
    Input::MouseDown(Grid, mbLeft, 10, 60);
    EXPECT_EQ(Grid->GridState(), gsRowMoving);
    Input::MouseMove(Grid, 10, 110, ssLeft);
    Input::MouseUp(Grid, mbLeft, 10, 110);
    EXPECT_EQ(Grid->Cells(3, 4), "moved");
    EXPECT_EQ(moved, QStringList({"col 1>3", "row 2>4"}));
    // A release on the cell it came from moves nothing.
    Input::MouseDown(Grid, mbLeft, 80, 10);
    Input::MouseUp(Grid, mbLeft, 80, 10);
    EXPECT_EQ(moved.size(), 2);
}

TEST_F(GridTest, ADoubleClickFiresOnce) {
    NewGrid();
    int dbl = 0;
    Grid->OnDblClick = [&](TObject*) { ++dbl; };
    Input::DoubleClick(Grid, 140, 60);
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->GridState(), gsNormal);
}

TEST_F(GridTest, PressesOnTheScrollBarScroll) {
    NewGrid();
    Grid->SetRowCount(100);
    ASSERT_TRUE(Grid->VertScrollBarVisible());
    ASSERT_FALSE(Grid->HorzScrollBarVisible());
    // The bar stands right of the client area: x 379..395, arrows 17 high.
    const int x = Grid->ClientWidth() + 8;
    ASSERT_EQ(Grid->ClientWidth(), 379);
    QStringList seen;
    Grid->OnTopLeftChanged = [&](TObject*) { seen << QString::number(Grid->TopRow()); };
    Input::Click(Grid, x, 290);  // the lower arrow
    EXPECT_EQ(Grid->TopRow(), 2);
    Input::Click(Grid, x, 5);  // the upper arrow
    EXPECT_EQ(Grid->TopRow(), 1);
    Input::Click(Grid, x, 200);  // the track below the thumb: a page
    EXPECT_EQ(Grid->TopRow(), 1 + Grid->VisibleRowCount());
    // Dragging the thumb to the end scrolls there when it is let go; only
    // with goThumbTracking does the grid follow the drag.
    Grid->SetTopRow(1);
    seen.clear();
    Input::MouseDown(Grid, mbLeft, x, 20);
    Input::MouseMove(Grid, x, 295, ssLeft);
    EXPECT_EQ(Grid->TopRow(), 1);
    Input::MouseUp(Grid, mbLeft, x, 295);
    EXPECT_EQ(Grid->TopRow(), 100 - Grid->VisibleRowCount());
    Grid->SetOptions(Grid->Options() | goThumbTracking);
    Grid->SetTopRow(1);
    Input::MouseDown(Grid, mbLeft, x, 20);
    Input::MouseMove(Grid, x, 150, ssLeft);
    EXPECT_GT(Grid->TopRow(), 30);
    EXPECT_LT(Grid->TopRow(), 60);
    Input::MouseUp(Grid, mbLeft, x, 150);
    // None of it moves the current cell or clicks.
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_TRUE(Grid->Log.filter("Click").isEmpty());
}
