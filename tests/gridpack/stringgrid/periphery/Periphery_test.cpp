// The string grid's window periphery: hovering ticks, column scaling with
// the grid's width, controls in cells, and a cancelled move.
#include "gridpack/stringgrid/periphery/MouseGridTest.h"

#include "platform/controls/ExtCtrls.h"

namespace {

class PeripheryTest : public MouseGridTest {
protected:
    void TickAt(TPoint client)
    {
        SetCursorPos(Grid->ClientToScreen(client));
        Grid->Perform(WM_TIMER, TExStringGrid::GridTimerIdent, 0);
    }
};

} // namespace

TEST_F(PeripheryTest, AHoveringTickMovesOnlyToNormalCellsOfTheGridItself)
{
    Grid->Hovering = true;
    Grid->SetRow(2);
    Grid->SetCol(2);
    // A cover over the grid's lower part.
    auto* cover = NewObject<TPanel>(Form);
    cover->SetParent(Form);
    cover->SetBounds(0, 250, 500, 50);
    cover->Show();
    struct Case {
        const char* what;
        TPoint at;
    } still[] = {
        {"a fixed column", Mid(0, 4)},
        {"a fixed row", Mid(3, 0)},
        {"outside the grid", Point(550, 100)},
        {"another window over the grid", Point(100, 270)},
    };
    for (const Case& c : still) {
        TickAt(c.at);
        EXPECT_EQ(Grid->Row(), 2) << c.what;
        EXPECT_EQ(Grid->Col(), 2) << c.what;
    }
    TickAt(Mid(3, 4));
    EXPECT_EQ(Grid->Row(), 4);
    EXPECT_EQ(Grid->Col(), 3);
    Grid->Hovering = false;
    TickAt(Mid(1, 1));
    EXPECT_EQ(Grid->Row(), 4) << "off, ticks do not move";
}

TEST_F(PeripheryTest, SynchWithGridScalesEveryColumnByTheNewWidthPlusTheBorder)
{
    ASSERT_EQ(Grid->BorderStyle(), bsSingle);
    const int widths[] = {30, 64, 100, 77, 51};
    for (int c = 0; c < 5; ++c)
        Grid->SetColWidths(c, widths[c]);
    Grid->InitOrigColSizes();
    Grid->ColumnSize()->SynchWithGrid = true;
    Grid->SetBounds(0, 0, 563, 300);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(Grid->ColWidths(c), int(widths[c] * double(563 + 2) / 500)) << c;
    // Only the normal columns with SynchNormalCellsOnly.
    Grid->ColumnSize()->SynchNormalCellsOnly = true;
    Grid->SetColWidths(0, 30);
    Grid->SetBounds(0, 0, 420, 300);
    EXPECT_EQ(Grid->ColWidths(0), 30);
    EXPECT_EQ(Grid->ColWidths(2), int(100 * double(422) / 500));
}

TEST_F(PeripheryTest, CellControlsWaitForTheWindowAndStayHiddenInHiddenRows)
{
    // A grid without a window places nothing.
    auto* loose = NewObject<TExStringGrid>(Form);
    auto* box = NewObject<TPanel>(loose);
    loose->SetCellControls(2, 3, box);
    box->SetBounds(7, 7, 5, 5);
    loose->CellControlsUpdate();
    EXPECT_EQ(box->Left(), 7);
    EXPECT_EQ(box->Width(), 5);

    auto* ctl = NewObject<TPanel>(Grid);
    Grid->SetCellControls(2, 6, ctl);
    Grid->CellControlsUpdate();
    const TRect r = Grid->CellRect(2, 6);
    EXPECT_TRUE(ctl->Visible());
    EXPECT_EQ(ctl->Left(), r.Left - 1);
    EXPECT_EQ(ctl->Top(), r.Top - 1);
    Grid->HideRow(6);
    Grid->CellControlsUpdate();
    EXPECT_FALSE(ctl->Visible());
    Grid->SetTopRow(2);
    Grid->CellControlsUpdate();
    EXPECT_FALSE(ctl->Visible()) << "a scroll does not bring a hidden row's control back";
}

TEST_F(PeripheryTest, ACancelledEnhancedMoveEndsItsStateAndCaption)
{
    Grid->SetOptions(Grid->Options() | goColMoving);
    const TPoint p = Mid(2, 0);
    Input::MouseDown(Grid, mbLeft, p.X, p.Y);
    Input::MouseMove(Grid, p.X + 30, p.Y, ssLeft);
    ASSERT_EQ(Grid->GridState(), gsColMoving);
    ASSERT_EQ(Grid->Cursor(), crDrag);
    ASSERT_NE(Grid->MoveForm, nullptr);
    Grid->Perform(WM_CANCELMODE, 0, 0);
    EXPECT_EQ(Grid->GridState(), gsNormal);
    EXPECT_EQ(ShownCursor(), crDefault);
    EXPECT_EQ(Grid->Cursor(), crDefault);
    EXPECT_FALSE(Grid->MoveButton->Visible());
    EXPECT_EQ(Grid->MoveForm, nullptr);
    const QStringList before{Grid->Cells(1, 1), Grid->Cells(2, 1)};
    Input::MouseUp(Grid, mbLeft, p.X + 30, p.Y);
    EXPECT_EQ((QStringList{Grid->Cells(1, 1), Grid->Cells(2, 1)}), before) << "the release moves nothing";
}
