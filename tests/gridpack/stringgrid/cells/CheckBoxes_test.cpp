#include "CellsKit.h"

#include <vector>

namespace {
struct ChangeLog {
    struct Entry {
        TObject* Sender;
        int Col, Row;
        bool State;
    };
    std::vector<Entry> Entries;
    void Attach(TExStringGrid* g)
    {
        g->OnCheckBoxChange = [this](TObject* s, int c, int r, bool st) { Entries.push_back({s, c, r, st}); };
    }
};
} // namespace

TEST_F(CellsTest, DataCheckBoxIsCheckedOnlyByTheExactCheckTrueText)
{
    NewGrid();
    // Texts that only resemble "Y" read unchecked; toggling writes "Y".
    const char* texts[] = {"y", " Y", "Y ", "YY", ""};
    int row = 1;
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        Grid->AddCheckBox(2, row, false, true);
        Grid->SetCellEx(2, row, QString::fromLatin1(t));
        ASSERT_TRUE(Grid->HasDataCheckBox(2, row));
        EXPECT_FALSE(Grid->IsChecked(2, row));
        EXPECT_TRUE(Grid->DoToggleCheckBox(2, row, false));
        EXPECT_EQ(Grid->Cells(2, row), "Y");
        EXPECT_TRUE(Grid->IsChecked(2, row));
        ++row;
    }
}

TEST_F(CellsTest, EmptyDataCheckBoxTogglesToCheckTrueThenCheckFalseFiringTheChangeEvent)
{
    NewGrid();
    ChangeLog log;
    log.Attach(Grid);
    Grid->AddCheckBox(3, 4, false, true);
    Grid->SetCellEx(3, 4, QString());
    EXPECT_TRUE(Grid->ToggleCheckBox(3, 4));
    EXPECT_EQ(Grid->Cells(3, 4), "Y");
    EXPECT_TRUE(Grid->ToggleCheckBox(3, 4));
    EXPECT_EQ(Grid->Cells(3, 4), "N");
    ASSERT_EQ(log.Entries.size(), 2u);
    EXPECT_EQ(log.Entries[0].Sender, Grid);
    EXPECT_EQ(log.Entries[0].Col, 3);
    EXPECT_EQ(log.Entries[0].Row, 4);
    EXPECT_TRUE(log.Entries[0].State);
    EXPECT_FALSE(log.Entries[1].State);
}

TEST_F(CellsTest, ToggleAsksQueryCellEditUnlessCheckAlwaysActive)
{
    NewGrid();
    ChangeLog log;
    log.Attach(Grid);
    int asked = 0;
    Grid->OnCanEditCell = [&](TObject*, int, int, bool& canEdit) {
        ++asked;
        canEdit = false;
    };
    Grid->AddCheckBox(1, 2, false, true);
    EXPECT_FALSE(Grid->DoToggleCheckBox(1, 2, true));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Grid->Cells(1, 2), "N");
    EXPECT_TRUE(log.Entries.empty());

    // Without CheckEdit the cell is not asked about.
    EXPECT_TRUE(Grid->DoToggleCheckBox(1, 2, false));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Grid->Cells(1, 2), "Y");

    Grid->ControlLook()->CheckAlwaysActive = true;
    EXPECT_TRUE(Grid->DoToggleCheckBox(1, 2, true));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Grid->Cells(1, 2), "N");
}

TEST_F(CellsTest, AddDataCheckBoxKeepsACheckTextAndReplacesAnyOther)
{
    NewGrid();
    Grid->SetCellEx(1, 1, "N");
    Grid->AddCheckBox(1, 1, true, true);
    EXPECT_EQ(Grid->Cells(1, 1), "N");
    EXPECT_FALSE(Grid->IsChecked(1, 1));

    Grid->SetCellEx(1, 2, "abc");
    Grid->AddCheckBox(1, 2, true, true);
    EXPECT_EQ(Grid->Cells(1, 2), "Y");
    EXPECT_TRUE(Grid->IsChecked(1, 2));

    Grid->AddCheckBox(1, 3, false, true);
    EXPECT_EQ(Grid->Cells(1, 3), "N");
}

TEST_F(CellsTest, QueriesOnCellsWithoutOrWithAnotherBox)
{
    NewGrid();
    EXPECT_FALSE(Grid->IsChecked(2, 2));
    TCheckBoxState st = cbGrayed;
    EXPECT_FALSE(Grid->GetCheckBoxState(2, 2, st));
    EXPECT_EQ(st, cbGrayed);

    Grid->AddCheckBox(2, 2, true, false);
    EXPECT_FALSE(Grid->SetCheckBoxState(2, 2, cbGrayed));
    EXPECT_TRUE(Grid->IsChecked(2, 2));
    EXPECT_TRUE(Grid->SetCheckBoxState(2, 2, false));
    EXPECT_FALSE(Grid->IsChecked(2, 2));
}

TEST_F(CellsTest, AddCheckBoxOutsideTheGridRaisesInvalidCell)
{
    NewGrid();
    try {
        Grid->AddCheckBox(Grid->ColCount(), 1, true, false);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid cell");
    }
    EXPECT_THROW(Grid->AddRadioButton(1, Grid->RowCount()), Exception);
    EXPECT_EQ(Grid->GetCellType(Grid->ColCount(), 1), ctEmpty);
    // Hidden columns still count as cells.
    Grid->HideColumn(2);
    EXPECT_NO_THROW(Grid->AddCheckBox(Grid->ColCount(), 1, true, false));
}

TEST_F(CellsTest, PlainAndTriStateBoxesKeepTheirStateInTheGraphic)
{
    NewGrid();
    ChangeLog log;
    log.Attach(Grid);
    Grid->AddCheckBox(1, 1, false, false);
    EXPECT_TRUE(Grid->ToggleCheckBox(1, 1));
    EXPECT_TRUE(Grid->IsChecked(1, 1));
    EXPECT_TRUE(Grid->Cells(1, 1).isEmpty());

    // Outside a node: unchecked, grayed, checked, unchecked; reported as off.
    Grid->AddCheckBox(2, 1, cbUnchecked);
    const TCheckBoxState cycle[] = {cbGrayed, cbChecked, cbUnchecked};
    for (TCheckBoxState want : cycle) {
        EXPECT_TRUE(Grid->ToggleCheckBox(2, 1));
        TCheckBoxState st = cbUnchecked;
        ASSERT_TRUE(Grid->GetCheckBoxState(2, 1, st));
        EXPECT_EQ(st, want);
        EXPECT_FALSE(log.Entries.back().State);
    }
    EXPECT_TRUE(Grid->SetCheckBoxState(2, 1, cbGrayed));
    bool b = true;
    EXPECT_TRUE(Grid->GetCheckBoxState(2, 1, b));
    EXPECT_FALSE(b);
}

TEST_F(CellsTest, NewBoxesStandBeforeTheTextAtTheGridsVerticalAlignment)
{
    NewGrid();
    const std::pair<TVAlignment, TCellVAlign> cases[] = {
        {vtaTop, vaTop}, {vtaCenter, vaCenter}, {vtaBottom, vaBottom}};
    for (auto [grid, want] : cases) {
        Grid->SetVAlignment(grid);
        Grid->AddCheckBox(1, 1, false, false);
        const TCellGraphic* g = Grid->GetCellGraphic(1, 1);
        EXPECT_EQ(g->CellVAlign, want);
        EXPECT_EQ(g->CellHAlign, haBeforeText);
        EXPECT_TRUE(g->CellTransparent);
    }
}

TEST_F(CellsTest, ApplyCheckStateWritesTheTextAndReportsOnlyChanges)
{
    NewGrid();
    ChangeLog log;
    log.Attach(Grid);
    Grid->AddCheckBoxColumn(2, false, true);
    EXPECT_FALSE(Grid->HasCheckBox(2, 0));
    Grid->SetCellEx(2, 3, "Y");
    Grid->CheckAll(2);
    for (int r = 1; r < Grid->RowCount(); ++r)
        EXPECT_EQ(Grid->Cells(2, r), "Y") << r;
    // Every row but the one already checked reported a change.
    EXPECT_EQ(int(log.Entries.size()), Grid->RowCount() - 2);
    log.Entries.clear();
    Grid->UnCheckAll(2);
    EXPECT_EQ(int(log.Entries.size()), Grid->RowCount() - 1);
    EXPECT_FALSE(Grid->ApplyCheckState(3, 3, true));
    Grid->RemoveCheckBoxColumn(2);
    EXPECT_FALSE(Grid->HasCheckBox(2, 3));
    EXPECT_EQ(Grid->Cells(2, 3), "N");
}

TEST_F(CellsTest, CheckAllCheckGivesTheHeaderRowABoxToo)
{
    NewGrid();
    Grid->MouseActions()->CheckAllCheck = true;
    Grid->AddCheckBoxColumn(1, true, false);
    EXPECT_TRUE(Grid->HasCheckBox(1, 0));
    EXPECT_TRUE(Grid->IsChecked(1, 0));
}

TEST_F(CellsTest, ToggleRegistersTheChangeWithTheUndoRecorder)
{
    NewGrid();
    auto* undo = NewObject<TExGridUndoRedo>(Form);
    Grid->SetUndoRedo(undo);
    Grid->AddCheckBox(1, 1, false, true);
    Grid->ToggleCheckBox(1, 1);
    ASSERT_EQ(undo->Items()->Count(), 1);
    EXPECT_EQ(undo->Items()->Item(0)->OrigValue, "N");
    EXPECT_EQ(undo->Items()->Item(0)->Value, "Y");
    undo->Undo();
    EXPECT_EQ(Grid->Cells(1, 1), "N");
}

TEST_F(CellsTest, ColumnCheckTextsComeFromTheHooks)
{
    NewGrid();
    Grid->OnGetCheckTrue = [](TObject*, int c, int, QString& v) {
        if (c == 2)
            v = "On";
    };
    Grid->OnGetCheckFalse = [](TObject*, int c, int, QString& v) {
        if (c == 2)
            v = "Off";
    };
    Grid->AddCheckBox(2, 1, false, true);
    Grid->SetCellEx(2, 1, "Y");
    EXPECT_FALSE(Grid->IsChecked(2, 1));
    Grid->ToggleCheckBox(2, 1);
    EXPECT_EQ(Grid->Cells(2, 1), "On");
    Grid->ToggleCheckBox(2, 1);
    EXPECT_EQ(Grid->Cells(2, 1), "Off");
}

// ---------------------------------------------------------------------------
// Radio controls
// ---------------------------------------------------------------------------

TEST_F(CellsTest, RadioGroupCyclesAndWrapsWritingTheItemText)
{
    NewGrid();
    TStrings* items = Grid->CreateRadio(1, 1, 0, 2);
    items->Add("a");
    items->Add("b");
    items->Add("c");
    ASSERT_TRUE(Grid->IsRadio(1, 1));
    Grid->CycleRadioGroup(1, 1, false);
    int idx = -5;
    EXPECT_TRUE(Grid->GetRadioIdx(1, 1, idx));
    EXPECT_EQ(idx, 0);
    EXPECT_EQ(Grid->Cells(1, 1), "a");

    // A group whose index is below -1 keeps its choice in the text.
    Grid->SetRadioIdx(1, 1, -2);
    Grid->SetCellEx(1, 1, "b");
    Grid->CycleRadioGroup(1, 1, false);
    EXPECT_EQ(Grid->Cells(1, 1), "c");
    Grid->GetRadioIdx(1, 1, idx);
    EXPECT_EQ(idx, -2);

    EXPECT_TRUE(Grid->SetRadioIdx(1, 1, -1));
    EXPECT_TRUE(Grid->Cells(1, 1).isEmpty());
    EXPECT_FALSE(Grid->SetRadioIdx(2, 1, 0));
    EXPECT_EQ(Grid->GetRadioStrings(1, 1), items);
}

TEST_F(CellsTest, RadioGroupWithTheCallersListLeavesItAlive)
{
    NewGrid();
    bool freed = false;
    auto* sl = new TWatchedStrings(&freed);
    sl->Add("x");
    Grid->AddRadio(1, 1, 1, 0, sl);
    EXPECT_EQ(Grid->GetCellGraphic(1, 1)->CellAngle, 1);
    Grid->RemoveRadio(1, 1);
    EXPECT_FALSE(freed);
    delete sl;
}

TEST_F(CellsTest, RadioButtonsOfAColumnFormAGroup)
{
    NewGrid();
    Grid->AddRadioButtonColumn(1);
    Grid->AddRadioButton(1, 0, true);
    EXPECT_TRUE(Grid->ClickRadioButton(1, 3, false));
    // The fixed row's button went off too.
    EXPECT_FALSE(Grid->IsRadioButtonChecked(1, 0));
    EXPECT_EQ(Grid->GetRadioButtonColumnIndex(1), 3);
    Grid->SetRadioButtonColumnIndex(1, 5);
    EXPECT_EQ(Grid->GetRadioButtonColumnIndex(1), 5);
    Grid->SetRadioButtonColumnIndex(1, -1);
    EXPECT_EQ(Grid->GetRadioButtonColumnIndex(1), -1);
    EXPECT_FALSE(Grid->SetRadioButtonState(2, 2, true));
    Grid->RemoveRadioButtonColumn(1);
    EXPECT_FALSE(Grid->HasRadioButton(1, 2));
}

TEST_F(CellsTest, RowCheckBoxMirrorsTheRowSelection)
{
    NewGrid();
    ChangeLog log;
    log.Attach(Grid);
    Grid->MouseActions()->SetHotmailRowSelect(true);
    EXPECT_TRUE(Grid->HasCheckBox(0, 3));
    EXPECT_FALSE(Grid->IsChecked(0, 3));
    EXPECT_TRUE(Grid->SetCheckBoxState(0, 3, true));
    EXPECT_TRUE(Grid->GetRowSelect(3));
    EXPECT_TRUE(Grid->IsChecked(0, 3));
    EXPECT_TRUE(log.Entries.empty());
    // Row 0 is the select-all box, grayed while only some rows are selected.
    const TCellGraphic* all = Grid->GetCellGraphic(0, 0);
    EXPECT_EQ(all->CellAngle, 1);
    EXPECT_FALSE(all->CellBoolean);
    EXPECT_TRUE(Grid->ApplyCheckState(0, 4, true));
    ASSERT_EQ(log.Entries.size(), 1u);
    EXPECT_TRUE(Grid->GetRowSelect(4));
    for (int r = 1; r < Grid->RowCount(); ++r)
        Grid->SetCheckBoxState(0, r, true);
    all = Grid->GetCellGraphic(0, 0);
    EXPECT_EQ(all->CellAngle, 0);
    EXPECT_TRUE(all->CellBoolean);
}

TEST_F(CellsTest, CheckBoxStateByRealRowReachesHiddenRows)
{
    NewGrid();
    Grid->AddCheckBox(2, 4, true, false);
    Grid->AddCheckBox(3, 5, false, true);
    Grid->HideRows(4, 5);
    bool st = false;
    EXPECT_TRUE(Grid->GetCheckBoxState(2, 4, st));
    EXPECT_TRUE(st);
    EXPECT_TRUE(Grid->SetCheckBoxState(3, 5, true));
    EXPECT_TRUE(Grid->IsChecked(3, 5));
    Grid->UnHideRowsAll();
    EXPECT_EQ(Grid->Cells(3, 5), "Y");
    EXPECT_TRUE(Grid->IsChecked(2, 4));
    // A shown row below hidden ones is found by its real index.
    Grid->AddCheckBox(1, 7, true, false);
    Grid->HideRow(2);
    EXPECT_TRUE(Grid->IsChecked(1, 7));
}
