// The grid's window messages: the grid timer, painting under the update
// lock, erasing, the editor's change echo, focus with AlwaysEdit and the
// cursor over cells.
#include "gridpack/stringgrid/inplace/EditTestKit.h"

#include "platform/controls/Messages.h"
#include "platform/controls/StdMessages.h"
#include "platform/controls/Timers.h"

namespace {
// Counts the paint passes that reach the grid's face.
class TCountingGrid : public TExStringGrid {
public:
    using TExStringGrid::TExStringGrid;
    void Paint() override
    {
        ++Paints;
        TExStringGrid::Paint();
    }
    int Paints = 0;
};

class WindowTest : public EditingTest {
protected:
    void TearDown() override
    {
        EditingTest::TearDown();
        SetTickCountForTest(-1);
    }
    // WM_SETCURSOR with the mouse over client point (x, y).
    void CursorAt(int x, int y)
    {
        SetCursorPos(Grid->ClientToScreen(Point(x, y)));
        Grid->Perform(WM_SETCURSOR, WPARAM(Grid->Handle()), HTCLIENT);
    }
    TPoint CellMiddle(int c, int r)
    {
        const TRect rc = Grid->CellRect(c, r);
        return Point((rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
    }
};
} // namespace

TEST_F(WindowTest, TheGridTimerRunsWhileTheWindowLives)
{
    SetTickCountForTest(1000);
    NewGrid(false);
    ASSERT_TRUE(IsTimerSet(Grid, TExStringGrid::GridTimerIdent));
    const int ticks = Grid->FTimerTicks;
    AdvanceTime(1000);
    EXPECT_EQ(Grid->FTimerTicks, ticks + 2);
    Grid->Perform(WM_DESTROY);
    EXPECT_FALSE(IsTimerSet(Grid, TExStringGrid::GridTimerIdent));
    AdvanceTime(1000);
    EXPECT_EQ(Grid->FTimerTicks, ticks + 2);
}

TEST_F(WindowTest, NothingIsPaintedUnderTheUpdateLock)
{
    Form = NewObject<TForm>(nullptr);
    Form->SetBounds(0, 0, 400, 300);
    auto* g = NewObject<TCountingGrid>(Form);
    g->SetParent(Form);
    g->SetBounds(0, 0, 300, 200);
    Form->Show();
    g->BeginUpdate();
    g->Paints = 0;
    Form->RenderClient();
    EXPECT_EQ(g->Paints, 0);
    g->EndUpdate();
    Form->RenderClient();
    EXPECT_GT(g->Paints, 0);
}

TEST_F(WindowTest, TheBackgroundIsNeverErased)
{
    NewGrid(false);
    EXPECT_EQ(Grid->Perform(WM_ERASEBKGND), 0);
}

TEST_F(WindowTest, TheEditorTextReachesTheCellOnlyWhileEditing)
{
    NewGrid(true);
    EditCell(2, 2);
    Type("ab");
    // Every change is echoed into the cell while the edit runs.
    EXPECT_EQ(Grid->Cells(2, 2), "ab");
    struct Case {
        bool EditMode;
        bool EditStart;
        bool Written;
    } cases[] = {{true, false, true}, {true, true, false}, {false, false, false}};
    for (const Case& c : cases) {
        Grid->SetCells(2, 2, "old");
        const bool savedMode = Grid->EditMode;
        Grid->EditMode = c.EditMode;
        Grid->FEditStart = c.EditStart;
        // The edit's own change notice.
        Ed()->SetText("typed");
        Grid->EditMode = savedMode;
        Grid->FEditStart = false;
        EXPECT_EQ(Grid->Cells(2, 2), c.Written ? "typed" : "old")
            << "edit mode " << c.EditMode << " start " << c.EditStart;
    }
}

TEST_F(WindowTest, FocusWithAlwaysEditOpensTheEditorButNotOnACheckBox)
{
    for (bool checkBox : {false, true}) {
        NewGrid(true);
        Grid->Navigation()->AlwaysEdit = true;
        if (checkBox)
            Grid->AddCheckBox(2, 3, false, true);
        Grid->SetRow(3);
        Grid->SetCol(2);
        // Force the grid's editor into being, then take the focus away and
        // give it back.
        EditCell(1, 1);
        Key(VK_ESCAPE);
        Grid->SetRow(3);
        Grid->SetCol(2);
        ASSERT_FALSE(EditorUp());
        Grid->Perform(WM_SETFOCUS);
        DrainPostedMessages();
        EXPECT_EQ(EditorUp(), !checkBox) << "check box " << checkBox;
        delete Form;
        Form = nullptr;
    }
}

TEST_F(WindowTest, TheCursorOverACellFollowsTheCellCursorEvent)
{
    NewGrid(false);
    Grid->OnGetCellCursor = [](TObject*, int ACol, int ARow, int, int, TCursor& C) {
        if (ACol == 2 && ARow == 3)
            C = crHandPoint;
    };
    const TPoint p = CellMiddle(2, 3);
    CursorAt(p.X, p.Y);
    EXPECT_EQ(ShownCursor(), crHandPoint);
    const TPoint q = CellMiddle(3, 3);
    CursorAt(q.X, q.Y);
    EXPECT_NE(ShownCursor(), crHandPoint);
}

TEST_F(WindowTest, TheMouseSelectModePicksTheCursor)
{
    NewGrid(false);
    struct Case {
        TMouseSelectMode Mode;
        TCursor Cursor;
    } cases[] = {{msColumn, 8011}, {msRow, 8010}, {msAll, 8012}, {msResize, 8012}};
    const TPoint p = CellMiddle(2, 3);
    for (const Case& c : cases) {
        Grid->SetMouseSelectMode(c.Mode);
        CursorAt(p.X, p.Y);
        EXPECT_EQ(ShownCursor(), c.Cursor) << int(c.Mode);
    }
}

TEST_F(WindowTest, OnlyTheGridsOwnCursorChangeKeepsTheSelectMode)
{
    NewGrid(false);
    Grid->SetMouseSelectMode(msColumn);
    Grid->SetGridCursor(crHandPoint);
    EXPECT_EQ(Grid->MouseSelectMode(), msColumn);
    Grid->SetCursor(crIBeam);
    EXPECT_EQ(Grid->MouseSelectMode(), msNormal);
}

TEST_F(WindowTest, TheEditDoneNoticeReportsColumnAndRow)
{
    NewGrid(true);
    QStringList done;
    Grid->OnEditCellDone = [&](TObject*, int c, int r) { done << QString("%1,%2").arg(c).arg(r); };
    Grid->MouseActions()->SetEditOnDblClickOnly(true);
    PostMessage(Grid->Handle(), GridEditDoneMsg(), 3, 7);
    DrainPostedMessages();
    EXPECT_EQ(done, QStringList{"3,7"});
    // Editing ends with the notice when only a double click edits.
    EXPECT_FALSE(Grid->Options() & goEditing);
}
