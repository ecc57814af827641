// The grid's key-down handling while the grid itself has the focus: what it
// tells the dialog keyboard, the keys it consumes, the cell controls, Home
// and End, Ctrl+A, appending on Down and the edge wrap.
#include "gridpack/stringgrid/inplace/EditTestKit.h"

#include "platform/controls/Messages.h"

#include <algorithm>

namespace {
class KeysTest : public EditingTest {
protected:
    // Every OnKeyDown the grid reports, as key codes. A steering handler
    // turns every key into Down, which changes nothing on the roads where
    // the grid reports the key itself.
    void LogKeyDowns(bool steer = true)
    {
        Grid->OnKeyDown = [this, steer](TObject*, unsigned& Key, TShiftState) {
            KeyLog << int(Key);
            if (steer)
                Key = VK_DOWN;
        };
    }
    QList<int> KeyLog;
};
} // namespace

TEST_F(KeysTest, DialogCodeTellsWhichKeysTheGridWants)
{
    struct Case {
        TGridOptions Add;
        TGridOptions Remove;
        bool AutoGoto;
        LRESULT Expected;
    } cases[] = {
        {goEditing, 0, false, 0x81},
        {goEditing | goTabs, 0, false, 0x83},
        {0, goEditing, false, 0x81},
        {goEditing | goRowSelect, 0, false, 0x01},
        {goEditing | goRowSelect, 0, true, 0x81},
        {goRowSelect, goEditing, false, 0x81},
    };
    NewGrid(false);
    const TGridOptions base = Grid->Options();
    for (const Case& c : cases) {
        Grid->SetOptions((base | c.Add) & ~c.Remove);
        Grid->Navigation()->AutoGotoWhenSorted = c.AutoGoto;
        EXPECT_EQ(Grid->Perform(WM_GETDLGCODE), c.Expected) << "options " << int(Grid->Options());
    }
}

TEST_F(KeysTest, EnterAndF2OnACellThatMayNotBeEditedAreConsumed)
{
    NewGrid(true);
    bool readOnly = false;
    Grid->OnCanEditCell = [&](TObject*, int, int, bool& CanEdit) { CanEdit = !readOnly; };
    Grid->SetCol(2);
    Grid->SetRow(3);
    ASSERT_TRUE(Grid->Options() & goEditing);
    // The cell turns read-only while the grid still edits.
    readOnly = true;
    LogKeyDowns();
    for (unsigned vk : {unsigned(VK_F2), unsigned(VK_RETURN)}) {
        KeyLog.clear();
        Key(vk);
        EXPECT_EQ(KeyLog, QList<int>{int(vk)});
        EXPECT_FALSE(EditorUp());
        EXPECT_EQ(Grid->Row(), 3);
    }
}

TEST_F(KeysTest, EnterOnANonEditableCellReachesAPreviewingFormOnly)
{
    for (bool preview : {false, true}) {
        NewGrid(false);
        Form->SetKeyPreview(preview);
        QList<int> formKeys;
        Form->OnKeyDown = [&](TObject*, unsigned& k, TShiftState) { formKeys << int(k); };
        LogKeyDowns(false);
        Grid->SetRow(2);
        Key(VK_RETURN);
        EXPECT_EQ(formKeys.size(), preview ? 1 : 0) << "preview " << preview;
        EXPECT_EQ(KeyLog, QList<int>{VK_RETURN}) << "preview " << preview;
        EXPECT_EQ(Grid->Row(), 2);
        EXPECT_FALSE(EditorUp());
        delete Form;
        Form = nullptr;
        KeyLog.clear();
    }
}

TEST_F(KeysTest, SpaceTogglesADataCheckBoxWhereTheCellMayBeEdited)
{
    struct Case {
        bool ReadOnly;
        bool AlwaysActive;
        QString After;
        QStringList Clicks;
    } cases[] = {
        {false, false, "Y", {"2,3,1"}},
        {true, false, "N", {}},
        {true, true, "Y", {"2,3,1"}},
    };
    for (const Case& c : cases) {
        NewGrid(true);
        Grid->ControlLook()->CheckAlwaysActive = c.AlwaysActive;
        Grid->SetCells(2, 3, "N");
        Grid->AddCheckBox(2, 3, false, true);
        Grid->OnCanEditCell = [&](TObject*, int, int ACol, bool& CanEdit) {
            if (ACol == 2)
                CanEdit = !c.ReadOnly;
        };
        QStringList clicks;
        Grid->OnCheckBoxClick = [&](TObject*, int ACol, int ARow, bool State) {
            clicks << QString("%1,%2,%3").arg(ACol).arg(ARow).arg(int(State));
        };
        Grid->SetRow(3);
        Grid->SetCol(2);
        Key(VK_SPACE);
        EXPECT_EQ(Grid->Cells(2, 3), c.After) << "read-only " << c.ReadOnly;
        EXPECT_EQ(clicks, c.Clicks) << "read-only " << c.ReadOnly;
        // The space reaches no text editor.
        EXPECT_FALSE(EditorUp());
        delete Form;
        Form = nullptr;
    }
}

TEST_F(KeysTest, HomeAndEndFollowTheHomeEndSetting)
{
    struct Case {
        THomeEndAction Action;
        unsigned Vk;
        int Col, RowAfter;
    } cases[] = {
        {heFirstLastColumn, VK_HOME, 1, 5},  {heFirstLastColumn, VK_END, 4, 5}, {heFirstLastCell, VK_HOME, 1, 1},
        {heFirstLastCell, VK_END, 4, 9},     {heFirstLastRow, VK_HOME, 3, 1},   {heFirstLastRow, VK_END, 3, 9},
    };
    NewGrid(true);
    LogKeyDowns();
    for (const Case& c : cases) {
        Grid->Navigation()->HomeEndKey = c.Action;
        Grid->SetRow(5);
        Grid->SetCol(3);
        KeyLog.clear();
        Key(c.Vk);
        EXPECT_EQ(Grid->Col(), c.Col) << int(c.Action) << " key " << c.Vk;
        EXPECT_EQ(Grid->Row(), c.RowAfter) << int(c.Action) << " key " << c.Vk;
        EXPECT_EQ(KeyLog, QList<int>{int(c.Vk)}) << int(c.Action) << " key " << c.Vk;
    }
}

TEST_F(KeysTest, CtrlASelectsTheDataCellsAndLeavesTheLastOneCurrent)
{
    for (bool editing : {false, true}) {
        NewGrid(editing);
        Grid->SetRow(4);
        Grid->SetCol(2);
        Key('A', ssCtrl);
        const TGridRect all{1, 1, 4, 9};
        EXPECT_EQ(Grid->Selection(), all) << "editing " << editing;
        EXPECT_EQ(Grid->Col(), 4);
        EXPECT_EQ(Grid->Row(), 9);
        delete Form;
        Form = nullptr;
    }
}

TEST_F(KeysTest, CtrlAWithoutRangeOrRowSelectSelectsNothing)
{
    NewGrid(false);
    Grid->SetOptions(Grid->Options() & ~goRangeSelect);
    Grid->SetRow(4);
    Grid->SetCol(2);
    Key('A', ssCtrl);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 4, 2, 4}));
}

TEST_F(KeysTest, DownOnTheLastDataRowAppendsWhenAllowed)
{
    for (bool allow : {true, false}) {
        NewGrid(true);
        Grid->Navigation()->AppendOnArrowDown = true;
        QList<int> added;
        Grid->OnCanAddRow = [&](TObject*, bool& CanAdd) { CanAdd = allow; };
        Grid->OnAutoAddRow = [&](TObject*, int ARow) { added << ARow; };
        Grid->SetRow(9);
        Key(VK_DOWN);
        EXPECT_EQ(Grid->RowCount(), allow ? 11 : 10);
        EXPECT_EQ(Grid->Row(), allow ? 10 : 9);
        EXPECT_EQ(added, allow ? QList<int>{10} : QList<int>{});
        delete Form;
        Form = nullptr;
    }
}

TEST_F(KeysTest, ArrowsWrapAtTheEdgesWithCursorAdvance)
{
    struct Case {
        TCursorAdvance Advance;
        unsigned Vk;
        int FromCol, FromRow, Col, Row;
    } cases[] = {
        {caDefault, VK_RIGHT, 4, 5, 4, 5},
        {caLoop, VK_RIGHT, 4, 5, 1, 5},
        {caSnake, VK_RIGHT, 4, 5, 1, 6},
        {caSnake, VK_RIGHT, 4, 9, 1, 9},
        {caLoop, VK_DOWN, 2, 9, 2, 1},
        {caSnake, VK_LEFT, 1, 5, 4, 4},
        {caSnake, VK_UP, 3, 1, 2, 9},
    };
    NewGrid(false);
    for (const Case& c : cases) {
        Grid->Navigation()->CursorAdvance = c.Advance;
        Grid->SetRow(c.FromRow);
        Grid->SetCol(c.FromCol);
        Key(c.Vk);
        EXPECT_EQ(Grid->Col(), c.Col) << int(c.Advance) << " key " << c.Vk << " from " << c.FromCol;
        EXPECT_EQ(Grid->Row(), c.Row) << int(c.Advance) << " key " << c.Vk << " from " << c.FromRow;
    }
}

TEST_F(KeysTest, ScrollOnlyMovesTheTopRowAndKeepsTheCell)
{
    NewGrid(false);
    Grid->SetRowCount(60);
    Grid->Navigation()->MoveScrollOnly = true;
    LogKeyDowns();
    Grid->SetRow(2);
    const int top = Grid->TopRow();
    Key(VK_DOWN);
    EXPECT_EQ(Grid->TopRow(), top + 1);
    Key(VK_NEXT);
    EXPECT_EQ(Grid->TopRow(), top + 1 + Grid->VisibleRowCount());
    Key(VK_HOME);
    EXPECT_EQ(Grid->TopRow(), 1);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_TRUE(KeyLog.isEmpty());
}

TEST_F(KeysTest, ArrowsWalkOverCellsThatReportThemselvesFixed)
{
    NewGrid(false);
    Grid->OnIsFixedCell = [](TObject*, int ARow, int ACol, bool& IsFixed) {
        IsFixed = ACol == 2 || ACol == 3 || ARow == 4;
    };
    LogKeyDowns();
    Grid->SetRow(2);
    Grid->SetCol(1);
    Key(VK_RIGHT);
    EXPECT_EQ(Grid->Col(), 4);
    Grid->SetRow(3);
    Key(VK_DOWN);
    EXPECT_EQ(Grid->Row(), 5);
    EXPECT_EQ(KeyLog, (QList<int>{VK_RIGHT, VK_DOWN}));
}

TEST_F(KeysTest, AnEditorLeftWithDownOnTheLastRowAppends)
{
    NewGrid(true);
    Grid->Navigation()->AppendOnArrowDown = true;
    QList<int> added;
    Grid->OnAutoAddRow = [&](TObject*, int ARow) { added << ARow; };
    EditCell(2, 9);
    // The in-cell editors leave through DoneInplaceEdit with their key.
    Grid->DoneInplaceEdit(VK_DOWN, 0);
    DrainPostedMessages();
    EXPECT_EQ(Grid->RowCount(), 11);
    EXPECT_EQ(Grid->Row(), 10);
    EXPECT_EQ(added, QList<int>{10});
}

TEST_F(KeysTest, SpacePicksCellsForTheDisjunctCellSelection)
{
    NewGrid(false);
    Grid->MouseActions()->SetDisjunctCellSelect(true);
    auto listed = [this] {
        QList<int> cells;
        for (int i = 0; i < Grid->SelectedCells()->Count(); ++i)
            cells << Grid->SelectedCells()->Cell(i).Y * 65536 + Grid->SelectedCells()->Cell(i).X;
        std::sort(cells.begin(), cells.end());
        return cells;
    };
    const int cellA = 2 * 65536 + 2, cellB = 4 * 65536 + 3;
    Grid->SetRow(2);
    Grid->SetCol(2);
    Key(VK_SPACE);
    EXPECT_EQ(listed(), QList<int>{cellA});
    // Ctrl adds a cell, and a second Ctrl+Space takes it away again.
    Grid->SetRow(4);
    Grid->SetCol(3);
    Key(VK_SPACE, ssCtrl);
    EXPECT_EQ(listed(), (QList<int>{cellA, cellB}));
    Key(VK_SPACE, ssCtrl);
    EXPECT_EQ(listed(), QList<int>{cellA});
    // A plain Space starts the list again from the current cell.
    Key(VK_SPACE);
    EXPECT_EQ(listed(), QList<int>{cellB});
    // A cell OnSelectCell refuses is not picked.
    Grid->OnSelectCell = [](TObject*, int, int, bool& CanSelect) { CanSelect = false; };
    Key(VK_SPACE, ssCtrl);
    EXPECT_EQ(listed(), QList<int>{cellB});
}
