// Row and column operations: removal, insertion, clearing, moving, merging,
// the queries, and the column move keeping cells by real column.
#include "gridpack/stringgrid/core/ExGridFixture.h"
#include "gridpack/stringgrid/ExCGrid.h"

#include <QTemporaryDir>

namespace {
class RowColTest : public ExGridTest {
protected:
    // Rows 0..9: "r<row>" in column 1 and "c3r<row>" in column 3, row
    // height 20 + row.
    void Fill()
    {
        NewGrid();
        for (int r = 0; r < Grid->RowCount(); ++r) {
            Grid->SetCellEx(1, r, QString("r%1").arg(r));
            Grid->SetCellEx(3, r, QString("c3r%1").arg(r));
            Grid->SetRowHeights(r, 20 + r);
        }
    }
    std::vector<QString> Column(int c)
    {
        std::vector<QString> v;
        for (int r = 0; r < Grid->RowCount(); ++r)
            v.push_back(Grid->GetCellEx(c, r));
        return v;
    }
    static std::vector<QString> Rows(std::initializer_list<int> rows)
    {
        std::vector<QString> v;
        for (int r : rows)
            v.push_back(QString("r%1").arg(r));
        return v;
    }
};
} // namespace

TEST_F(RowColTest, RemoveRowsLowersHiddenIndexesAndKeepsEverythingInStep)
{
    Fill();
    Grid->ShowModified()->Enabled = true;
    Grid->SetRowModified(3, true);
    Grid->SetColors(1, 3, clRed);
    Grid->HideRow(6);
    Grid->RemoveRows(2, 1);
    ASSERT_EQ(Grid->NumHiddenRows(), 1);
    EXPECT_EQ(Grid->GridItems()->Item(0)->Idx, 5);
    EXPECT_EQ(Column(1), Rows({0, 1, 3, 4, 5, 7, 8, 9}));
    EXPECT_EQ(Grid->RowHeights(2), 23);
    EXPECT_EQ(Grid->GetColors(1, 2), clRed);
    EXPECT_TRUE(Grid->GetRowModified(2));

    Fill();
    Grid->HideRow(6);
    Grid->RemoveRowsEx(2, 3);
    EXPECT_EQ(Grid->GridItems()->Item(0)->Idx, 3);
}

TEST_F(RowColTest, RemoveRowsAtOrPastTheLastRowNeverDropsRowsThatWereNotThere)
{
    Fill();
    Grid->RemoveRows(10, 1);
    EXPECT_EQ(Grid->RowCount(), 10);
    Grid->RemoveRows(8, 5);
    EXPECT_EQ(Grid->RowCount(), 8);
    EXPECT_EQ(Column(1), Rows({0, 1, 2, 3, 4, 5, 6, 7}));
    Grid->RemoveRows(2, 0);
    Grid->RemoveRows(-1, 1);
    EXPECT_EQ(Grid->RowCount(), 8);
}

TEST_F(RowColTest, InsertRowsOpensDefaultRowsAndMovesCellControls)
{
    Fill();
    auto* ctl = NewObject<TGridChildControl>(Grid);
    Grid->SetCellControls(2, 4, ctl);
    Grid->InsertRows(1, 2, true);
    EXPECT_EQ(Grid->RowHeights(1), 22);
    EXPECT_EQ(Grid->RowHeights(2), 22);
    EXPECT_EQ(Grid->GetCellEx(1, 1), "");
    EXPECT_EQ(Grid->GetCellEx(3, 2), "");
    EXPECT_EQ(Grid->GetCellEx(1, 3), "r1");
    EXPECT_EQ(Grid->GetCellControls(2, 6), ctl);
}

TEST_F(RowColTest, RemoveRowsRunsTheSelectionStepBeforeRowsMove)
{
    Fill();
    Grid->MoveColRow(2, 2, true, false);
    std::vector<QString> seen;
    Grid->OnSelectCell = [&](TObject*, int c, int r, bool&) {
        seen.push_back(QString("%1,%2 %3").arg(c).arg(r).arg(Grid->GetCellEx(1, 5)));
    };
    Grid->RemoveRows(5, 1);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), "2,2 r5");
    EXPECT_EQ(Grid->GetCellEx(1, 5), "r6");
}

TEST_F(RowColTest, TheOnlyNormalRow)
{
    // DeleteAutoRow empties it without FixedRowAlways; RemoveRows with
    // FixedRowAlways removes it, keeps the fixed row and hides the
    // selection.
    NewGrid();
    Grid->SetRowCount(2);
    Grid->SetCellEx(1, 1, "x");
    int deleted = -1;
    Grid->OnAutoDeleteRow = [&](TObject*, int r) { deleted = r; };
    Grid->DeleteAutoRow(1);
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Grid->GetCellEx(1, 1), "");
    EXPECT_EQ(deleted, 1);

    Grid->FixedRowAlways = true;
    Grid->RemoveRows(1, 1);
    EXPECT_EQ(Grid->RowCount(), 1);
    EXPECT_EQ(Grid->FixedRows(), 1);
    EXPECT_EQ(Grid->Selection().Top, 1);
    EXPECT_EQ(Grid->Selection().Left, Grid->ColCount());

    // With more rows DeleteAutoRow removes the row.
    NewGrid();
    Grid->SetCellEx(1, 2, "two");
    Grid->SetCellEx(1, 3, "three");
    Grid->DeleteAutoRow(2);
    EXPECT_EQ(Grid->RowCount(), 9);
    EXPECT_EQ(Grid->GetCellEx(1, 2), "three");
}

TEST_F(RowColTest, ClearRectOverTheWholeGridClearsTheHasPropertiesFlag)
{
    Fill();
    Grid->SetColors(2, 2, clRed);
    Grid->AddCheckBox(2, 3, true, false);
    ASSERT_TRUE(Grid->FHasCellProps);
    Grid->ClearRect(1, 1, 2, 2);
    EXPECT_TRUE(Grid->FHasCellProps);
    EXPECT_FALSE(Grid->HasCellProperties(2, 2));
    EXPECT_TRUE(Grid->HasCheckBox(2, 3));
    EXPECT_EQ(Grid->GetCellEx(1, 1), "");
    EXPECT_EQ(Grid->GetCellEx(1, 3), "r3");

    std::vector<TRect> changed;
    Grid->OnCellsChanged = [&](TObject*, const TRect& r) { changed.push_back(r); };
    Grid->ClearRect(0, 0, Grid->ColCount() - 1, Grid->RowCount() - 1);
    EXPECT_FALSE(Grid->FHasCellProps);
    EXPECT_FALSE(Grid->HasCheckBox(2, 3));
    EXPECT_EQ(Grid->GetCellEx(3, 9), "");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], (TRect{0, 0, 4, 9}));

    // FClearTextOnly leaves properties, FBlockCellChange the notice.
    Fill();
    Grid->SetColors(1, 1, clRed);
    Grid->SetClearTextOnly(true);
    Grid->FBlockCellChange = true;
    changed.clear();
    Grid->ClearRows(1, 1);
    EXPECT_EQ(Grid->GetColors(1, 1), clRed);
    EXPECT_EQ(Grid->GetCellEx(1, 1), "");
    EXPECT_TRUE(changed.empty());
}

TEST_F(RowColTest, MergingRunsAndRemovingDuplicates)
{
    NewGrid();
    Grid->SetRowCount(6);
    const char* texts[] = {"A", "A", "B", "B", "B"};
    for (int r = 1; r <= 5; ++r)
        Grid->SetCellEx(1, r, texts[r - 1]);
    Grid->MergeColumnCells(1, true);
    EXPECT_EQ(Grid->CellSpan(1, 1), (TPoint{0, 1}));
    EXPECT_EQ(Grid->CellSpan(1, 3), (TPoint{0, 2}));
    Grid->SplitColumnCells(1);
    EXPECT_FALSE(Grid->IsMergedCell(1, 3));

    for (bool doCase : {false, true}) {
        NewGrid();
        Grid->SetRowCount(5);
        const char* col[] = {"abc", "x", "ABC", "abc"};
        for (int r = 1; r <= 4; ++r)
            Grid->SetCellEx(1, r, col[r - 1]);
        Grid->RemoveDuplicates(1, doCase);
        EXPECT_EQ(Grid->RowCount(), 3) << doCase;
        EXPECT_EQ(Grid->GetCellEx(1, 1), "abc");
        EXPECT_EQ(Grid->GetCellEx(1, 2), "x");
    }

    NewGrid();
    for (int c = 1; c <= 4; ++c)
        Grid->SetCellEx(c, 1, c < 3 ? "p" : "q");
    Grid->MergeRowCells(1, true);
    EXPECT_EQ(Grid->CellSpan(1, 1), (TPoint{1, 0}));
    EXPECT_EQ(Grid->CellSpan(3, 1), (TPoint{1, 0}));
    Grid->SplitAllCells();
    EXPECT_FALSE(Grid->IsMergedCell(3, 1));
}

TEST_F(RowColTest, QueriesAndTheExportTextOfACheckBox)
{
    NewGrid();
    Grid->SetCellEx(1, 1, "|\\0041");
    Grid->SetCellEx(1, 2, "a|\\b");
    EXPECT_TRUE(Grid->IsWideCell(1, 1));
    EXPECT_FALSE(Grid->IsWideCell(1, 2));
    EXPECT_FALSE(Grid->IsWideCell(1, 3));
    int c = -1, r = -1;
    EXPECT_TRUE(Grid->IsCell("a|\\b", c, r));
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 2);
    EXPECT_FALSE(Grid->IsCell("A|\\B", c, r));

    Grid->AddCheckBox(2, 2, true, false);
    QString v;
    Grid->SaveCell(2, 2, v);
    EXPECT_EQ(v, "Y");
    Grid->SetCheckBoxState(2, 2, false);
    Grid->SaveCell(2, 2, v);
    EXPECT_EQ(v, "N");
}

TEST_F(RowColTest, MoveRowsPutsTheRowsBehindTheTarget)
{
    Fill();
    Grid->MoveRows(1, 5, 2);
    EXPECT_EQ(Column(1), Rows({0, 3, 4, 1, 2, 5, 6, 7, 8, 9}));
    Grid->MoveRows(2, 2, 3);
    Grid->MoveRows(2, 4, 0);
    EXPECT_EQ(Column(1), Rows({0, 3, 4, 1, 2, 5, 6, 7, 8, 9}));
    // Upwards: rows 7-8 go to row 1.
    Grid->MoveRows(7, 1, 2);
    EXPECT_EQ(Column(1), Rows({0, 7, 8, 3, 4, 1, 2, 5, 6, 9}));
}

TEST_F(RowColTest, InsertAndRemoveColumnsWithHiddenColumns)
{
    Fill();
    for (int c = 0; c < 5; ++c)
        Grid->SetCellEx(c, 0, QString("h%1").arg(c));
    Grid->SetColWidths(4, 77);
    Grid->HideColumn(2);
    ASSERT_EQ(Grid->ColCount(), 4);
    // Display column 2 is real column 3: two columns open before it.
    Grid->InsertCols(2, 2);
    EXPECT_EQ(Grid->ColCount(), 6);
    EXPECT_EQ(Grid->NumHiddenColumns(), 1);
    EXPECT_EQ(Grid->GetCellEx(3, 0), "");
    EXPECT_EQ(Grid->GetCellEx(4, 0), "");
    EXPECT_EQ(Grid->GetCellEx(5, 0), "h3");
    EXPECT_EQ(Grid->GetCellEx(5, 4), "c3r4");
    EXPECT_EQ(Grid->GetCellEx(2, 0), "h2");
    EXPECT_TRUE(Grid->IsHiddenColumn(2));
    EXPECT_EQ(Grid->ColWidths(2), Grid->DefaultColWidth());
    EXPECT_EQ(Grid->ColWidths(5), 77);

    // Removing over the hidden column recounts the hidden columns.
    Grid->RemoveCols(1, 3); // real 1, 2 (hidden), 3
    EXPECT_EQ(Grid->NumHiddenColumns(), 0);
    EXPECT_EQ(Grid->ColCount(), 4);
    std::vector<QString> heads;
    for (int c = 0; c < 4; ++c)
        heads.push_back(Grid->GetCellEx(c, 0));
    EXPECT_EQ(heads, (std::vector<QString>{"h0", "", "h3", "h4"}));
    // More than there are is cut to the columns there are.
    Grid->RemoveCols(2, 10);
    EXPECT_EQ(Grid->ColCount(), 2);
}

TEST_F(RowColTest, InsertingPastTheColumnTablesIsRefusedWhole)
{
    NewGrid();
    Grid->SetColCount(510);
    EXPECT_THROW(Grid->InsertCols(3, 4), DOriVireZuvez);
    EXPECT_EQ(Grid->ColCount(), 510);
    Grid->InsertCols(3, 3);
    EXPECT_EQ(Grid->ColCount(), 513);
}

TEST_F(RowColTest, MovingAColumnKeepsCellsWithTheirRealColumn)
{
    Fill();
    for (int c = 0; c < 5; ++c)
        Grid->SetCellEx(c, 0, QString("h%1").arg(c));
    Grid->HideColumn(1);
    // Display 2 (real 3) to display 0: real order 3, 0, 1 (hidden), 2, 4.
    Grid->MoveColumn(2, 0);
    std::vector<QString> shown;
    for (int d = 0; d < Grid->ColCount(); ++d)
        shown.push_back(Grid->GetCellEx(Grid->RealColIndex(d), 0));
    EXPECT_EQ(shown, (std::vector<QString>{"h3", "h0", "h2", "h4"}));
    EXPECT_TRUE(Grid->IsHiddenColumn(2));
    Grid->UnHideColumnsAll();
    std::vector<QString> all;
    for (int c = 0; c < 5; ++c)
        all.push_back(Grid->GetCellEx(c, 0));
    EXPECT_EQ(all, (std::vector<QString>{"h3", "h0", "h1", "h2", "h4"}));
    EXPECT_EQ(Grid->GetCellEx(0, 5), "c3r5");
}

TEST_F(RowColTest, TrimColourAndClearSelection)
{
    NewGrid();
    Grid->SetCellEx(1, 1, "  a\t");
    Grid->SetCellEx(2, 1, "\x01" "b ");
    Grid->TrimRow(1);
    EXPECT_EQ(Grid->GetCellEx(1, 1), "a");
    EXPECT_EQ(Grid->GetCellEx(2, 1), "b");
    Grid->ColorRect(1, 1, 2, 2, clLime);
    EXPECT_EQ(Grid->GetColors(2, 2), clLime);
    EXPECT_EQ(Grid->GetColors(3, 2), clNone);
    Grid->SetSelection(TGridRect{1, 1, 1, 2});
    Grid->ClearSelection();
    EXPECT_EQ(Grid->GetCellEx(1, 1), "");
    EXPECT_EQ(Grid->GetCellEx(2, 1), "b");
    Grid->MergeCols(1, 2, "-");
    EXPECT_EQ(Grid->GetCellEx(1, 1), "-b");
    EXPECT_EQ(Grid->ColCount(), 4);
}

TEST_F(RowColTest, ColumnGridItemsFollowInsertedAndRemovedColumns)
{
    Form = NewObject<TForm>(nullptr);
    auto* g = NewObject<TExColumnGrid>(Form);
    g->SetParent(Form);
    for (int i = 0; i < 5; ++i)
        g->Columns()->Items(i)->SetHeader(QString("c%1").arg(i));
    g->InsertCols(1, 2);
    EXPECT_EQ(g->ColCount(), 7);
    ASSERT_EQ(g->Columns()->Count(), 7);
    EXPECT_EQ(g->Columns()->Items(0)->Header(), "c0");
    EXPECT_EQ(g->Columns()->Items(1)->Header(), "");
    EXPECT_EQ(g->Columns()->Items(3)->Header(), "c1");
    g->RemoveCols(1, 3);
    EXPECT_EQ(g->ColCount(), 4);
    ASSERT_EQ(g->Columns()->Count(), 4);
    EXPECT_EQ(g->Columns()->Items(1)->Header(), "c2");
    EXPECT_EQ(g->GetCellEx(1, 0), "c2");
}

TEST_F(RowColTest, ColumnGridPositionsThroughAnIniFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath("cols.ini");
    Form = NewObject<TForm>(nullptr);
    auto make = [&] {
        auto* g = NewObject<TExColumnGrid>(Form);
        g->SetParent(Form);
        static_cast<TExStringGrid*>(g)->Loaded();
        for (int i = 0; i < 5; ++i)
            g->Columns()->Items(i)->SetHeader(QString("c%1").arg(i));
        g->ColumnSize()->Location = clIniFile;
        g->ColumnSize()->Key = ini;
        g->ColumnSize()->Section = "grid";
        return g;
    };
    auto headers = [](TExColumnGrid* g) {
        std::vector<QString> v;
        for (int i = 0; i < g->Columns()->Count(); ++i)
            v.push_back(g->Columns()->Items(i)->Header());
        return v;
    };
    // A missing key: nothing moves.
    TExColumnGrid* fresh = make();
    fresh->LoadColPositions();
    EXPECT_EQ(headers(fresh), (std::vector<QString>{"c0", "c1", "c2", "c3", "c4"}));

    TExColumnGrid* g = make();
    g->MoveColumn(0, 2);
    EXPECT_EQ(headers(g), (std::vector<QString>{"c1", "c2", "c0", "c3", "c4"}));
    g->SaveColPositions();
    fresh->LoadColPositions();
    EXPECT_EQ(headers(fresh), (std::vector<QString>{"c1", "c2", "c0", "c3", "c4"}));
    EXPECT_EQ(fresh->GetCellEx(2, 0), "c0");
}
