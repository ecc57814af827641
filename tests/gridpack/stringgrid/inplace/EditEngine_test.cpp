// The editing engine: selection, switching editing on and off per cell,
// validation, the editing-done notice and the advance after Enter.
#include "EditTestKit.h"

// --- selection -------------------------------------------------------------

TEST_F(EditingTest, CellChangingVetoKeepsTheCellButRowUpdateSeesTheAttempt)
{
    NewGrid();
    QStringList log;
    Grid->OnCellChanging = [&](TObject*, int oldRow, int oldCol, int newRow, int newCol, bool& allow) {
        log << QString("changing %1,%2->%3,%4").arg(oldCol).arg(oldRow).arg(newCol).arg(newRow);
        allow = false;
    };
    Grid->OnRowUpdate = [&](TObject*, int oldRow, int newRow) { log << QString("row %1->%2").arg(oldRow).arg(newRow); };
    Grid->FOldRowSel = 1;
    Grid->MoveColRow(1, 4, true, true);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(log, QStringList({"changing 1,1->1,4", "row 1->4"}));
    // The reported row moved on although the current one did not.
    log.clear();
    Grid->MoveColRow(1, 4, true, true);
    EXPECT_EQ(log, QStringList({"changing 1,1->1,4"}));
}

TEST_F(EditingTest, EditorTypeNoneMakesF2DoNothing)
{
    NewGrid();
    Grid->OnGetEditorType = [](TObject*, int c, int, TEditorType& e) {
        if (c == 2)
            e = edNone;
    };
    Grid->SetCol(2);
    Key(VK_F2);
    EXPECT_FALSE(EditorUp());
    EXPECT_FALSE(Grid->EditMode);
    Grid->SetCol(1);
    Key(VK_F2);
    EXPECT_TRUE(EditorUp());
}

TEST_F(EditingTest, ClickingACoveredCellMakesItsBaseCurrent)
{
    NewGrid();
    Grid->SetOptions(Grid->Options() & ~goRangeSelect);
    Grid->MergeCells(1, 2, 2, 2);
    const TRect covered = Grid->TCustomGrid::CellRect(2, 3);
    Input::Click(Grid, covered.Left + 5, covered.Top + 5);
    DrainPostedMessages();
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(EditingTest, TheEditorCoversTheWholeMergedBlock)
{
    NewGrid();
    Grid->MergeCells(1, 2, 2, 1);
    EditCell(1, 2);
    const TRect block = Grid->TBaseGrid::CellRect(1, 2);
    EXPECT_EQ(Ed()->Left(), block.Left);
    EXPECT_EQ(Ed()->Top(), block.Top);
    EXPECT_EQ(Ed()->Width(), block.Right - block.Left - 1);
    EXPECT_EQ(Ed()->Height(), block.Bottom - block.Top - 1);
}

// A grid without goEditing whose cells say themselves whether they may be
// edited, as the column grid's columns do.
TEST_F(EditingTest, ReadOnlyCellsSwitchEditingOffAndEditableOnesOn)
{
    NewGrid(false);
    Grid->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol != 2; };
    Grid->SetCol(3);
    Grid->SetCol(1);
    EXPECT_TRUE(Grid->Options() & goEditing);
    EXPECT_FALSE(Grid->FEditDisable);
    Grid->SetCol(2);
    EXPECT_FALSE(Grid->Options() & goEditing);
    EXPECT_TRUE(Grid->FEditDisable);
    Key(VK_F2);
    EXPECT_FALSE(EditorUp());
    Grid->SetCol(3);
    EXPECT_TRUE(Grid->Options() & goEditing);
    EXPECT_FALSE(Grid->FEditDisable);
}

// --- validation --------------------------------------------------------------

TEST_F(EditingTest, UnchangedTextIsNotValidated)
{
    NewGrid();
    int validations = 0;
    Grid->OnCellValidate = [&](TObject*, int, int, QString&, bool&) { ++validations; };
    EditCell(1, 1);
    Key(VK_RETURN);
    EXPECT_EQ(validations, 0);
    EXPECT_FALSE(Grid->FGridModified);
    Grid->AlwaysValidate = true;
    EditCell(1, 1);
    Key(VK_RETURN);
    EXPECT_EQ(validations, 1);
}

TEST_F(EditingTest, AValidatorsCorrectionIsWritten)
{
    NewGrid();
    QStringList seen;
    Grid->OnCellValidate = [&](TObject*, int c, int r, QString& v, bool&) {
        seen << QString("%1,%2 %3").arg(c).arg(r).arg(v);
        v = v.toUpper();
    };
    EditCell(2, 3);
    Type("new");
    Key(VK_RETURN);
    EXPECT_EQ(seen, QStringList({"2,3 new"}));
    EXPECT_EQ(Grid->Cells(2, 3), "NEW");
    EXPECT_TRUE(Grid->FGridModified);
}

TEST_F(EditingTest, RefusedValueKeepsTheOldTextAndReopensTheEditor)
{
    NewGrid();
    Grid->OnCellValidate = [&](TObject*, int, int, QString&, bool& valid) { valid = false; };
    EditCell(2, 3);
    Type("typed");
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 3), "c3");
    EXPECT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->Text(), "typed");
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_TRUE(Grid->FEditing);
    EXPECT_FALSE(Grid->FLastValidation);
}

TEST_F(EditingTest, RefusalByAMoveToAnotherCellKeepsTheOldCell)
{
    NewGrid();
    int validations = 0;
    Grid->OnCellValidate = [&](TObject*, int, int, QString&, bool& valid) {
        ++validations;
        valid = false;
    };
    EditCell(2, 3);
    Type("typed");
    Grid->SetRow(5);
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Cells(2, 3), "c3");
    ASSERT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->Text(), "typed");
}

// The whole road in one sequence: a refusing validator, then an accepting
// one with a cell-changing veto, then a plain move. Each step ends, and the
// grid is left browsing.
TEST_F(EditingTest, RefusalAndVetoInOneSequence)
{
    NewGrid();
    bool refuse = true;
    bool veto = false;
    int validations = 0;
    Grid->OnCellValidate = [&](TObject*, int, int, QString&, bool& valid) {
        ++validations;
        valid = !refuse;
    };
    Grid->OnCellChanging = [&](TObject*, int, int, int, int, bool& allow) { allow = !veto; };
    EditCell(1, 1);
    Type("v1");
    Grid->SetRow(2);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(validations, 1);
    // Now the value is good but the move is vetoed.
    refuse = false;
    veto = true;
    ASSERT_TRUE(EditorUp());
    Grid->SetRow(2);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(validations, 2);
    EXPECT_EQ(Grid->Cells(1, 1), "v1");
    EXPECT_FALSE(Grid->FEditing);
    EXPECT_FALSE(Grid->FValidating);
    veto = false;
    Grid->SetRow(2);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(validations, 2);
}

TEST_F(EditingTest, EditingDoneNoticeCarriesTheRealColumn)
{
    NewGrid();
    Grid->SetColCount(6);
    Grid->HideColumn(1);
    QStringList log;
    Grid->OnEditingDone = [&](TObject*) { log << "done"; };
    Grid->OnEditCellDone = [&](TObject*, int c, int r) { log << QString("cell %1,%2").arg(c).arg(r); };
    EditCell(2, 4);
    Type("x");
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(log, QStringList({"done"}));
    DrainPostedMessages();
    EXPECT_EQ(log, QStringList({"done", "cell 3,4"}));
    EXPECT_EQ(Grid->Cells(3, 4), "x");
}

// --- advance -------------------------------------------------------------------

namespace {
class AdvanceTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        NewGrid();
        Grid->Navigation()->AdvanceOnEnter = true;
        Grid->OnAutoAddRow = [this](TObject*, int r) { Log << QString("added %1").arg(r); };
        Grid->OnCellChanging = [this](TObject*, int oldRow, int oldCol, int newRow, int newCol, bool&) {
            Log << QString("changing %1,%2->%3,%4").arg(oldCol).arg(oldRow).arg(newCol).arg(newRow);
        };
    }
    QStringList Log;
};
} // namespace

TEST_F(AdvanceTest, EnterMovesToTheNextCell)
{
    EditCell(2, 3);
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_TRUE(EditorUp());
}

TEST_F(AdvanceTest, AtTheEndAnInsertAppendsARow)
{
    Grid->Navigation()->SetAdvanceInsert(true);
    EditCell(4, 9);
    Key(VK_RETURN);
    EXPECT_EQ(Grid->RowCount(), 11);
    EXPECT_TRUE(Log.contains("added 10"));
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 10);
}

TEST_F(AdvanceTest, AtTheEndWithoutInsertLoopsToTheFirstDataCell)
{
    EditCell(4, 9);
    Key(VK_RETURN);
    EXPECT_EQ(Grid->RowCount(), 10);
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(AdvanceTest, DirectionsAtTheirEnds)
{
    struct Case {
        TAdvanceDirection Dir;
        bool Forward, Loop;
        int FromCol, FromRow, ToCol, ToRow;
    } cases[] = {
        {adLeftRightInRow, true, true, 4, 5, 1, 5},
        {adLeftRightInRow, true, false, 4, 5, 4, 5},
        {adTopBottom, true, true, 2, 9, 3, 1},
        {adTopBottomInCol, true, true, 2, 9, 2, 1},
        {adTopBottom, false, true, 1, 1, 4, 9},
        {adLeftRight, false, true, 1, 1, 4, 9},
        {adLeftRight, false, true, 1, 5, 4, 4},
    };
    for (const Case& c : cases) {
        Grid->Navigation()->SetAdvanceDirection(c.Dir);
        Grid->Navigation()->AdvanceOnEnterLoop = c.Loop;
        Grid->SetRow(c.FromRow);
        Grid->SetCol(c.FromCol);
        Grid->AdvanceEditCell(c.FromCol, c.FromRow, false, false, c.Forward, false, false);
        EXPECT_EQ(Grid->Col(), c.ToCol) << c.Dir << " " << c.FromCol << "," << c.FromRow;
        EXPECT_EQ(Grid->Row(), c.ToRow) << c.Dir << " " << c.FromCol << "," << c.FromRow;
    }
}

TEST_F(AdvanceTest, AMergedStartCellAdvancesPastItsBlock)
{
    Grid->SetColCount(7);
    Grid->MergeCells(1, 2, 3, 1);
    Grid->AdvanceEditCell(1, 2, false, false, true, false, false);
    EXPECT_EQ(Grid->Col(), 4);
    EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(AdvanceTest, AutoAdvanceMayRedirectOrRefuse)
{
    Grid->OnAutoAdvance = [](TObject*, int, int, int& newRow, int& newCol, bool&) {
        newRow = 6;
        newCol = 3;
    };
    Grid->AdvanceEditCell(1, 1, false, false, true, false, false);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 6);
    Grid->OnAutoAdvance = [](TObject*, int, int, int&, int&, bool& allow) { allow = false; };
    Grid->AdvanceEditCell(3, 6, false, false, true, false, false);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 6);
}

TEST_F(AdvanceTest, ReadOnlyCellsAreSkippedAndTheFirstStartIsReported)
{
    Grid->SetRow(2);
    Grid->SetCol(1);
    Grid->SetReadOnly(2, 2, true);
    Grid->SetReadOnly(3, 2, true);
    Log.clear();
    Grid->AdvanceEditCell(1, 2, false, false, true, false, false);
    EXPECT_EQ(Grid->Col(), 4);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Log.first(), "changing 1,2->4,2");
}

TEST_F(AdvanceTest, AnAllReadOnlyGridStopsAfterOneRound)
{
    Grid->SetRow(2);
    Grid->SetCol(1);
    for (int c = 1; c < Grid->ColCount(); ++c)
        for (int r = 1; r < Grid->RowCount(); ++r)
            Grid->SetReadOnly(c, r, true);
    Grid->AdvanceEditCell(1, 2, true, false, true, true, false);
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_FALSE(EditorUp());
}

TEST_F(EditingTest, AChangedCellMarksItsRowOnlyWithFixedColumns)
{
    for (int fixedCols : {1, 0}) {
        NewGrid();
        Grid->SetFixedCols(fixedCols);
        QList<TRect> changed;
        Grid->OnCellsChanged = [&](TObject*, const TRect& r) { changed << r; };
        EditCell(2, 3);
        Type("new");
        Key(VK_RETURN);
        EXPECT_EQ(Grid->GetRowModified(3), fixedCols > 0) << fixedCols;
        ASSERT_EQ(changed.size(), 1);
        EXPECT_EQ(changed[0], (TRect{2, 3, 2, 3}));
        delete Form;
        Form = nullptr;
    }
}

TEST_F(EditingTest, AnAcceptedChangeIsRecordedForUndo)
{
    NewGrid();
    auto* undo = NewObject<TExGridUndoRedo>(Form);
    Grid->SetUndoRedo(undo);
    EditCell(2, 3);
    Type("new");
    Key(VK_RETURN);
    ASSERT_EQ(undo->Items()->Count(), 1);
    EXPECT_EQ(undo->Items()->Item(0)->Value, "new");
    EXPECT_EQ(undo->Items()->Item(0)->OrigValue, "c3");
}

TEST_F(EditingTest, DisabledRowsCannotBecomeCurrent)
{
    NewGrid();
    Grid->FUseEnabledRows = true;
    for (int r = 0; r < Grid->RowCount(); ++r)
        Grid->SetRowEnabled(r, r != 3);
    Grid->SetRow(3);
    EXPECT_EQ(Grid->Row(), 1);
    Grid->Navigation()->SkipDisabledRows = false;
    Grid->SetRow(3);
    EXPECT_EQ(Grid->Row(), 3);
}

TEST_F(EditingTest, ADataCheckBoxCellSwitchesEditingOnButShowsNoTextEditor)
{
    NewGrid(false);
    Grid->AddCheckBox(3, 2, false, true);
    Grid->OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = true; };
    Grid->SetRow(2);
    Grid->SetCol(3);
    EXPECT_TRUE(Grid->Options() & goEditing);
    Key(VK_F2);
    EXPECT_FALSE(EditorUp());
    EXPECT_FALSE(Grid->EditMode);
}

TEST_F(EditingTest, TheFloatingFootersRowCannotBecomeCurrent)
{
    NewGrid();
    Grid->FloatingFooter()->Visible = true;
    Grid->SetRow(Grid->RowCount() - 1);
    EXPECT_EQ(Grid->Row(), 1);
    Grid->SetRow(Grid->RowCount() - 2);
    EXPECT_EQ(Grid->Row(), Grid->RowCount() - 2);
}

TEST_F(EditingTest, ARefusalExplainsItselfInABalloonWhenTextsAreSet)
{
    NewGrid();
    Grid->InvalidEntryTitle = "Wrong";
    Grid->InvalidEntryText = "Digits only";
    Grid->InvalidEntryIcon = ieError;
    Grid->OnCellValidate = [](TObject*, int, int, QString&, bool& valid) { valid = false; };
    EditCell(2, 3);
    Type("x");
    Key(VK_RETURN);
    ASSERT_TRUE(EditorUp());
    EXPECT_TRUE(Ed()->BalloonTipShowing());
    EXPECT_EQ(Ed()->BalloonTitle(), "Wrong");
    EXPECT_EQ(Ed()->BalloonText(), "Digits only");
    EXPECT_EQ(Ed()->BalloonIcon(), int(ieError));
}

TEST_F(EditingTest, FocusLeavingForAnotherControlValidatesAndCloses)
{
    NewGrid();
    auto* other = NewObject<TEdit>(Form);
    other->SetParent(Form);
    other->SetBounds(10, 320, 100, 20);
    QStringList log;
    Grid->OnCellValidate = [&](TObject*, int c, int r, QString& v, bool&) {
        log << QString("validate %1,%2 %3").arg(c).arg(r).arg(v);
    };
    Grid->OnEditingDone = [&](TObject*) { log << "done"; };
    EditCell(2, 3);
    Type("new");
    other->SetFocus();
    EXPECT_EQ(log, QStringList({"validate 2,3 new", "done"}));
    EXPECT_FALSE(EditorUp());
    EXPECT_EQ(Grid->Cells(2, 3), "new");
    EXPECT_FALSE(Grid->FEditing);
}

TEST_F(EditingTest, TabWithValidationRefusedKeepsTheEditor)
{
    NewGrid();
    Grid->SetOptions(Grid->Options() | goTabs);
    bool refuse = true;
    Grid->OnCellValidate = [&](TObject*, int, int, QString&, bool& valid) { valid = !refuse; };
    EditCell(2, 3);
    Type("x");
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_TRUE(EditorUp());
    refuse = false;
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Cells(2, 3), "x");
}
