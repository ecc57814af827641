// Current cell, selection, keys, wheel and scrolling.
#include "GridTestKit.h"
#include "platform/controls/ScrollBars.h"
#include "platform/core/MathUtils.h"

TEST_F(GridTest, WritingRowGoesThroughTheFocusStep) {
    NewGrid();
    Grid->SetRow(3);
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_EQ(Grid->Log, QStringList({"SelectCell(1,3)", "Click"}));
    Grid->Log.clear();
    Grid->SetRow(3);
    EXPECT_TRUE(Grid->Log.isEmpty());
    // A refused cell keeps the current one; Click still comes.
    Grid->SetRow(1);
    Grid->Log.clear();
    Grid->Veto = [](int, int r) { return r == 3; };
    Grid->SetRow(3);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(Grid->Log, QStringList({"SelectCell(1,3)", "Click"}));
    EXPECT_THROW(Grid->SetRow(5), EInvalidGridOperation);
    EXPECT_THROW(Grid->SetCol(-1), EInvalidGridOperation);
}

TEST_F(GridTest, OnSelectCellCanRefuse) {
    NewGrid();
    Grid->OnSelectCell = [](TObject*, int c, int, bool& can) { can = c != 2; };
    Grid->SetCol(2);
    EXPECT_EQ(Grid->Col(), 1);
    Grid->SetCol(3);
    EXPECT_EQ(Grid->Col(), 3);
}

namespace {
struct KeyCase {
    const char* name;
    TGridOptions extra;
    int startCol, startRow;
    unsigned vk;
    TShiftState shift;
    int col, row;
};
}  // namespace

TEST_F(GridTest, KeysMoveTheCurrentCell) {
    // A 10 x 40 grid: 400 x 300 pixels less the border and the horizontal bar
    // (17) leave 279 pixels, the fixed row and rows 1..10 whole.
    const KeyCase cases[] = {
        {"down", 0, 1, 1, VK_DOWN, 0, 1, 2},
        {"down on the last row stays", 0, 1, 39, VK_DOWN, 0, 1, 39},
        {"up at the first scrollable row stays", 0, 1, 1, VK_UP, 0, 1, 1},
        {"left stops at the fixed column", 0, 1, 1, VK_LEFT, 0, 1, 1},
        {"right", 0, 1, 1, VK_RIGHT, 0, 2, 1},
        {"page down by the visible rows", 0, 1, 1, VK_NEXT, 0, 1, 11},
        {"page up stops at the top", 0, 1, 5, VK_PRIOR, 0, 1, 1},
        {"home", 0, 4, 5, VK_HOME, 0, 1, 5},
        {"end", 0, 4, 5, VK_END, 0, 9, 5},
        {"ctrl+home", 0, 4, 5, VK_HOME, ssCtrl, 1, 1},
        {"ctrl+end", 0, 4, 5, VK_END, ssCtrl, 9, 39},
        {"row select: home goes to the first row", goRowSelect, 1, 5, VK_HOME, 0, 1, 1},
        {"row select: end goes to the last row", goRowSelect, 1, 5, VK_END, 0, 1, 39},
        {"tab without goTabs does nothing here", 0, 1, 1, VK_TAB, 0, 1, 1},
        {"tab", goTabs, 1, 1, VK_TAB, 0, 2, 1},
        {"tab wraps to the next row", goTabs, 9, 1, VK_TAB, 0, 1, 2},
        {"tab on the last cell wraps to the first", goTabs, 9, 39, VK_TAB, 0, 1, 1},
        {"shift+tab wraps to the row above", goTabs, 1, 3, VK_TAB, ssShift, 9, 2},
    };
    for (const KeyCase& k : cases) {
        NewGrid();
        Grid->SetColCount(10);
        Grid->SetRowCount(40);
        Grid->SetOptions(Grid->Options() | k.extra);
        Grid->SetCol(k.startCol);
        Grid->SetRow(k.startRow);
        ASSERT_EQ(Grid->VisibleRowCount(), 10) << k.name;
        Key(k.vk, k.shift);
        EXPECT_EQ(Grid->Col(), k.col) << k.name;
        EXPECT_EQ(Grid->Row(), k.row) << k.name;
        delete Form;
        Form = nullptr;
    }
}

TEST_F(GridTest, PageDownScrollsTheGridWithTheCurrentRow) {
    NewGrid();
    Grid->SetRowCount(100);
    const int visible = Grid->VisibleRowCount();
    Key(VK_NEXT);
    EXPECT_EQ(Grid->Row(), 1 + visible);
    EXPECT_EQ(Grid->TopRow(), 1 + visible);
    Key(VK_END, ssCtrl);
    EXPECT_EQ(Grid->Row(), 99);
    // The last row stands at the bottom, shown whole.
    EXPECT_EQ(Grid->TopRow(), 99 - visible + 1);
    const TRect last = Grid->CellRect(1, 99);
    EXPECT_FALSE(last.IsEmpty());
    EXPECT_LE(last.Bottom, Grid->ClientHeight());
}

TEST_F(GridTest, ShiftExtendsTheSelectionFromTheAnchor) {
    NewGrid();
    Grid->SetRowCount(10);
    Key(VK_DOWN, ssShift);
    Key(VK_DOWN, ssShift);
    Key(VK_RIGHT, ssShift);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 2, 3}));
    EXPECT_EQ(Grid->Anchor(), (TGridCoord{1, 1}));
    EXPECT_EQ(Grid->Row(), 3);
    // A plain key collapses it again.
    Key(VK_DOWN);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 4, 2, 4}));
    // Without goRangeSelect Shift only moves.
    Grid->SetOptions(Grid->Options() & ~goRangeSelect);
    Key(VK_DOWN, ssShift);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 5, 2, 5}));
}

TEST_F(GridTest, MoveColRowMovesQuietlyAndFocusCellClicks) {
    NewGrid();
    Grid->SetRowCount(100);
    Grid->SetColCount(4);
    // Moving with the anchor: a one-cell selection there, nothing clicked.
    Grid->MoveColRow(2, 3, true, false);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 3, 2, 3}));
    EXPECT_EQ(Grid->Log, QStringList({"SelectCell(2,3)"}));
    // Without it, the selection runs from the anchor (goRangeSelect).
    Grid->MoveColRow(3, 5, false, false);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 3, 3, 5}));
    EXPECT_EQ(Grid->Anchor(), (TGridCoord{2, 3}));
    // Show brings the cell into view; without it the view stays.
    Grid->MoveColRow(1, 80, true, false);
    EXPECT_EQ(Grid->TopRow(), 1);
    Grid->MoveColRow(1, 80, true, true);
    EXPECT_LE(Grid->TopRow(), 80);
    EXPECT_GE(Grid->TopRow() + Grid->VisibleRowCount() - 1, 80);
    EXPECT_THROW(Grid->MoveColRow(4, 1, true, true), EInvalidGridOperation);
    EXPECT_TRUE(Grid->Log.filter("Click").isEmpty());

    // FocusCell clicks after the move, also when the cell refuses.
    Grid->Log.clear();
    Grid->FocusCell(2, 2, true);
    EXPECT_EQ(Grid->Log, QStringList({"SelectCell(2,2)", "Click"}));
    EXPECT_EQ(Grid->TopRow(), 2) << "shown";
    Grid->Veto = [](int, int r) { return r == 4; };
    Grid->Log.clear();
    Grid->FocusCell(2, 4, true);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Grid->Log, QStringList({"SelectCell(2,4)", "Click"}));
}

TEST_F(GridTest, RowSelectSpansTheRow) {
    NewGrid();
    Grid->SetOptions(Grid->Options() | goRowSelect);
    Grid->SetRow(2);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 2, 4, 2}));
    EXPECT_EQ(Grid->Col(), 1);
}

TEST_F(GridTest, DialogCodesFollowTheOptions) {
    NewGrid();
    const struct {
        TGridOptions extra;
        LRESULT code;
    } cases[] = {
        {0, DLGC_WANTARROWS},
        {goTabs, DLGC_WANTARROWS | DLGC_WANTTAB},
        {goEditing, DLGC_WANTARROWS | DLGC_WANTCHARS},
        {goTabs | goEditing, DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS},
        {goTabs | goEditing | goRowSelect, DLGC_WANTARROWS},
    };
    const TGridOptions base = Grid->Options();
    for (const auto& c : cases) {
        Grid->SetOptions(base | c.extra);
        EXPECT_EQ(Grid->Perform(WM_GETDLGCODE), c.code) << c.extra;
    }
}

TEST_F(GridTest, WheelMovesTheCurrentRowUnlessAHandlerTakesIt) {
    NewGrid();
    Grid->SetRowCount(4);
    Input::Wheel(Grid, -WHEEL_DELTA);
    EXPECT_EQ(Grid->Row(), 2);
    Input::Wheel(Grid, -WHEEL_DELTA);
    Input::Wheel(Grid, -WHEEL_DELTA);
    EXPECT_EQ(Grid->Row(), 3);
    Input::Wheel(Grid, WHEEL_DELTA);
    EXPECT_EQ(Grid->Row(), 2);
    Grid->OnMouseWheelUp = [](TObject*, TShiftState, TPoint, bool& handled) { handled = true; };
    Input::Wheel(Grid, WHEEL_DELTA);
    EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(GridTest, ScrollMessagesMoveByCellsAndTheThumbOnTheClassLibraryScale) {
    NewGrid();
    Grid->SetRowCount(100);
    Grid->SetColCount(20);
    ASSERT_TRUE(Grid->VertScrollBarVisible());
    ASSERT_TRUE(Grid->HorzScrollBarVisible());
    Grid->Perform(WM_VSCROLL, SB_BOTTOM);
    const int maxTop = Grid->TopRow();
    EXPECT_EQ(GetScrollPos(Grid, SB_VERT), 127);
    Grid->Perform(WM_VSCROLL, SB_TOP);
    int tops = 0;
    Grid->OnTopLeftChanged = [&](TObject*) { ++tops; };
    Grid->Perform(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(Grid->TopRow(), 2);
    EXPECT_EQ(Grid->VertScrollPos(), 1);
    EXPECT_EQ(GetScrollPos(Grid, SB_VERT), MulDiv(1, 127, maxTop - 1));
    // The thumb's positions run 0..127 over the whole range of top rows.
    Grid->Perform(WM_VSCROLL, SB_THUMBPOSITION | (10 << 16));
    EXPECT_EQ(Grid->TopRow(), 1 + MulDiv(10, maxTop - 1, 127));
    const int afterThumb = Grid->TopRow();
    // Tracking the thumb scrolls only with goThumbTracking.
    Grid->Perform(WM_VSCROLL, SB_THUMBTRACK | (64 << 16));
    EXPECT_EQ(Grid->TopRow(), afterThumb);
    Grid->SetOptions(Grid->Options() | goThumbTracking);
    Grid->Perform(WM_VSCROLL, SB_THUMBTRACK | (64 << 16));
    EXPECT_EQ(Grid->TopRow(), 1 + MulDiv(64, maxTop - 1, 127));
    Grid->Perform(WM_HSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(Grid->LeftCol(), 1 + Grid->VisibleColCount());
    Grid->Perform(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(Grid->TopRow(), 1);
    Grid->Perform(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(Grid->TopRow(), 1);
    EXPECT_EQ(tops, 5);
    // Scrolling does not move the current cell.
    EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(GridTest, ScrollBarsComeOnlyWhenTheCellsDoNotFit) {
    NewGrid();
    EXPECT_FALSE(Grid->VertScrollBarVisible());
    EXPECT_FALSE(Grid->HorzScrollBarVisible());
    EXPECT_EQ(Grid->ClientRect(), Rect(0, 0, 396, 296));
    Grid->SetRowCount(50);
    EXPECT_TRUE(Grid->VertScrollBarVisible());
    EXPECT_EQ(Grid->ClientWidth(), 396 - GetSystemMetrics(SM_CXVSCROLL));
    Grid->SetScrollBars(ssHorizontal);
    EXPECT_FALSE(Grid->VertScrollBarVisible());
    EXPECT_EQ(Grid->ClientWidth(), 396);
}

TEST_F(GridTest, CellRectAndMouseToCell) {
    NewGrid();
    Grid->SetRowCount(100);
    EXPECT_EQ(Grid->CellRect(0, 0), Rect(0, 0, 64, 24));
    EXPECT_EQ(Grid->CellRect(2, 3), Rect(130, 75, 194, 99));
    EXPECT_TRUE(Grid->CellRect(1, 80).IsEmpty());
    EXPECT_TRUE(Grid->CellRect(7, 1).IsEmpty());
    int c, r;
    Grid->MouseToCell(131, 76, c, r);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(r, 3);
    // The line below and right of a cell belongs to it.
    Grid->MouseToCell(194, 99, c, r);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(r, 3);
    // Past the last column there is no cell.
    EXPECT_EQ(Grid->MouseCoord(380, 50), (TGridCoord{-1, -1}));
    // Scrolled: the fixed row stays, the rows below start with TopRow.
    Grid->SetTopRow(10);
    EXPECT_EQ(Grid->CellRect(1, 10), Rect(65, 25, 129, 49));
    EXPECT_EQ(Grid->CellRect(1, 0), Rect(65, 0, 129, 24));
    EXPECT_TRUE(Grid->CellRect(1, 5).IsEmpty());
    Grid->MouseToCell(70, 30, c, r);
    EXPECT_EQ(r, 10);
}

TEST_F(GridTest, ASelectionOutsideTheGridShowsNothingSelected) {
    NewGrid();
    Grid->SetSelection(TGridRect{1, 1, 3, 2});
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 3, 2}));
    // The current cell is the rectangle's bottom-right corner.
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 2);
    Grid->SetSelection(TGridRect{5, 5, 5, 5});
    Render();
    ASSERT_FALSE(Grid->Drawn.empty());
    for (const DrawnCell& d : Grid->Drawn) {
        EXPECT_FALSE(d.State & (gdSelected | gdFocused)) << d.Col << "," << d.Row;
    }
    // A key brings the current cell back inside.
    Key(VK_UP);
    EXPECT_EQ(Grid->Col(), 4);
    EXPECT_EQ(Grid->Row(), 4);
}

TEST_F(GridTest, TabSkipsColumnsWithoutATabStop) {
    NewGrid();
    Grid->SetOptions(Grid->Options() | goTabs);
    Grid->SetTabStops(2, false);
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 3);
    // No column takes the Tab and the current cell lies outside the grid:
    // the Tab finds nothing, and the key only brings the cell back inside.
    for (int c = 0; c < 5; ++c) Grid->SetTabStops(c, false);
    Grid->SetSelection(TGridRect{5, 5, 5, 5});
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 4);
    EXPECT_EQ(Grid->Row(), 4);
}

TEST_F(GridTest, EveryKeyOnAOneCellGridStaysInside) {
    NewGrid();
    Grid->SetColCount(1);
    Grid->SetRowCount(1);
    Grid->SetOptions(Grid->Options() | goTabs | goEditing);
    ASSERT_EQ(Grid->FixedCols(), 0);
    ASSERT_EQ(Grid->FixedRows(), 0);
    for (unsigned vk : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT, VK_HOME, VK_END, VK_TAB})
        for (TShiftState s : {0u, unsigned(ssShift), unsigned(ssCtrl)}) {
            Key(vk, s);
            EXPECT_EQ(Grid->Col(), 0);
            EXPECT_EQ(Grid->Row(), 0);
        }
    EXPECT_TRUE(Shown().isEmpty()) << Shown().join('\n').toStdString();
}
