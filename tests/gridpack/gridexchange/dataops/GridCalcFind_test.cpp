// Column and row calculations; find, replace and the type-ahead search.
#include "GridData1Fixture.h"

namespace {

class GridCalcTest : public GridData1Test {};

TEST_F(GridCalcTest, ColumnCalculations)
{
    auto* g = NewGrid(2, 1);
    PutColumn(g, 1, 1, {"2", "4", ""});
    EXPECT_DOUBLE_EQ(g->ColumnSum(1), 6);
    EXPECT_DOUBLE_EQ(g->ColumnAvg(1), 2); // the empty cell counts as 0 and as a row
    EXPECT_DOUBLE_EQ(g->ColumnMin(1), 0);
    EXPECT_DOUBLE_EQ(g->ColumnMax(1), 4);
    EXPECT_DOUBLE_EQ(g->ColumnDistinct(1), 3);
    EXPECT_NEAR(g->ColumnStdDev(1), std::sqrt(8.0 / 3.0), 1e-12);
    EXPECT_DOUBLE_EQ(g->ColumnAvg(1, 3, 2), 0);
    EXPECT_DOUBLE_EQ(g->ColumnSum(1, 1, 2), 6);
    EXPECT_DOUBLE_EQ(g->ColumnCustomCalc(1), 0);
    g->OnColumnCalc = [](TObject*, int, int from, int to, double& res) { res = from * 10 + to; };
    EXPECT_DOUBLE_EQ(g->ColumnCustomCalc(1), 13);
}

TEST_F(GridCalcTest, NonNumericCells)
{
    auto* g = NewGrid(2, 1);
    PutColumn(g, 1, 1, {"1.2.3", "5", "7.7.7", "1"});
    // skipped in sums and after the first cell of an extreme
    EXPECT_DOUBLE_EQ(g->ColumnSum(1), 6);
    try {
        g->ColumnMin(1);
        ADD_FAILURE();
    } catch (const DOriVireZuvez& e) {
        EXPECT_EQ(e.Message(), "Cell does not contain a float value");
    }
    EXPECT_DOUBLE_EQ(g->ColumnMax(1, 2, 4), 5);
    EXPECT_THROW(g->ColumnStdDev(1), DOriVireZuvez);
}

TEST_F(GridCalcTest, RowCalculationsAndMerges)
{
    auto* g = NewGrid(5, 2, 1, 1);
    g->SetCellEx(1, 1, "3");
    g->SetCellEx(2, 1, "9");
    g->SetCellEx(3, 1, "1.2.3");
    g->SetCellEx(4, 1, "-2");
    EXPECT_DOUBLE_EQ(g->RowSum(1, 1, 4), 10);
    EXPECT_DOUBLE_EQ(g->RowAvg(1, 1, 4), 2.5);
    EXPECT_DOUBLE_EQ(g->RowAvg(1, 3, 2), 0);
    EXPECT_DOUBLE_EQ(g->RowMin(1, 1, 4), -2);
    EXPECT_DOUBLE_EQ(g->RowMax(1, 1, 4), 9);
    EXPECT_DOUBLE_EQ(g->RowMax(1, 2, 1), 9);
    EXPECT_THROW(g->RowMin(1, 3, 4), DOriVireZuvez);
    // a covered cell never counts
    g->MergeCells(1, 1, 2, 1);
    EXPECT_DOUBLE_EQ(g->RowSum(1, 1, 4), 1);
}

TEST_F(GridCalcTest, ExportNotificationsOfASum)
{
    struct TRecordingGrid : TExStringGrid {
        using TExStringGrid::TExStringGrid;
        std::vector<std::pair<int, int>> Seen;
        void ExportNotification(int s, int r) override { Seen.emplace_back(s, r); }
    };
    auto* g = NewObject<TRecordingGrid>(nullptr);
    g->SetColCount(2);
    g->SetRowCount(3);
    g->SetCellEx(1, 1, "1");
    g->ColumnSum(1);
    EXPECT_EQ(g->Seen, (std::vector<std::pair<int, int>>{
                           {esExportStart, 1}, {esExportNextRow, 1}, {esExportNextRow, 2}, {esExportDone, -1}}));
    g->Free();
}

class GridFindTest : public GridData1Test {
protected:
    // 3 x 3 normal cells under one fixed row and column
    TExStringGrid* Sample()
    {
        auto* g = NewGrid(4, 4);
        const char* texts[3][3] = {{"abc", "", "cab"}, {"AB", "x", "ab"}, {"zz", "ABX", ""}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                g->SetCellEx(c + 1, r + 1, texts[r][c]);
        return g;
    }
};

TEST_F(GridFindTest, MatchRules)
{
    auto* g = Sample();
    const TFindParams rows = FindParams(fnDirectionLeftRight);
    EXPECT_EQ(g->Find(TPoint{-1, -1}, "ab", rows), (TPoint{1, 1}));
    EXPECT_EQ(g->Find(TPoint{1, 1}, "ab", rows), (TPoint{3, 1})); // "cab" holds it
    EXPECT_EQ(g->Find(TPoint{1, 1}, "ab", rows | FindBit(fnMatchStart)), (TPoint{1, 2}));
    EXPECT_EQ(g->Find(TPoint{1, 1}, "ab", rows | FindBit(fnMatchFull)), (TPoint{1, 2}));
    EXPECT_EQ(g->Find(TPoint{1, 2}, "ab", rows | FindParams(fnMatchFull, fnMatchCase)), (TPoint{3, 2}));
    // two double quotes: the next empty cell
    EXPECT_EQ(g->Find(TPoint{-1, -1}, "\"\"", rows), (TPoint{2, 1}));
    EXPECT_EQ(g->Find(TPoint{2, 1}, "\"\"", rows), (TPoint{3, 3}));
    // a filter condition
    EXPECT_EQ(g->Find(TPoint{-1, -1}, "z*", rows | FindBit(fnMatchRegular)), (TPoint{1, 3}));
    // column order
    EXPECT_EQ(g->Find(TPoint{1, 1}, "ab", 0), (TPoint{1, 2}));
    EXPECT_EQ(g->Find(TPoint{1, 2}, "ab", 0), (TPoint{2, 3}));
    // markup stripped
    g->SetCellEx(2, 2, "<b>q</b>r");
    EXPECT_EQ(g->Find(TPoint{-1, -1}, "qr", FindParams(fnIgnoreHTMLTags)), (TPoint{2, 2}));
}

TEST_F(GridFindTest, StepsAndEnds)
{
    auto* g = Sample();
    const TFindParams rows = FindParams(fnDirectionLeftRight);
    // from the last cell of a row: the first column of the next row
    EXPECT_EQ(g->Find(TPoint{3, 1}, "", rows), (TPoint{1, 2}));
    // from the range's last cell: nothing, forward and backward
    EXPECT_EQ(g->Find(TPoint{3, 3}, "", rows), (TPoint{-1, -1}));
    EXPECT_EQ(g->Find(TPoint{1, 1}, "", rows | FindBit(fnBackward)), (TPoint{-1, -1}));
    EXPECT_EQ(g->Find(TPoint{-1, -1}, "ab", rows | FindBit(fnBackward)), (TPoint{2, 3}));
    EXPECT_EQ(g->Find(TPoint{-1, -1}, "nothing", rows), (TPoint{-1, -1}));
    // fixed cells
    g->SetCellEx(0, 0, "corner");
    EXPECT_EQ(g->Find(TPoint{-1, -1}, "corner", rows), (TPoint{-1, -1}));
    EXPECT_EQ(g->Find(TPoint{-1, -1}, "corner", rows | FindBit(fnIncludeFixed)), (TPoint{0, 0}));
    // preset column and row
    g->FindCol = 3;
    EXPECT_EQ(g->Find(TPoint{-1, -1}, "ab", rows | FindBit(fnFindInPresetCol)), (TPoint{3, 1}));
    g->FindRow = 3;
    EXPECT_EQ(g->Find(TPoint{-1, -1}, "ab", rows | FindBit(fnFindInPresetRow)), (TPoint{2, 3}));
    // first and next, with the current cell following
    EXPECT_EQ(g->FindFirst("ab", rows | FindBit(fnAutoGoto)), (TPoint{1, 1}));
    EXPECT_EQ(g->FindNext(), (TPoint{3, 1}));
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(g->Row(), 1);
    EXPECT_EQ(g->FindNext(), (TPoint{1, 2}));
}

TEST_F(GridFindTest, HiddenColumnsAndIgnoredColumns)
{
    auto* g = Sample();
    g->HideColumn(2);
    const TFindParams rows = FindParams(fnDirectionLeftRight);
    // display column 2 is real column 3 now
    EXPECT_EQ(g->Find(TPoint{1, 2}, "x", rows), (TPoint{-1, -1}));
    EXPECT_EQ(g->Find(TPoint{1, 2}, "x", rows | FindBit(fnIncludeHiddenColumns)), (TPoint{2, 2}));
    g->UnHideColumn(2);
    g->IgnoreColumns()->Add(3);
    EXPECT_EQ(g->Find(TPoint{1, 1}, "ab", rows), (TPoint{1, 2}));
}

TEST_F(GridFindTest, ReplaceMakesOnePass)
{
    auto* g = NewGrid(2, 1);
    PutColumn(g, 1, 1, {"a", "BA", "c"});
    g->ShowModified()->Enabled = true;
    EXPECT_EQ(g->Replace("a", "aa", 0), 2);
    EXPECT_EQ(Column(g, 1, 1), Texts({"aa", "Baa", "c"}));
    EXPECT_TRUE(g->GetRowModified(2));
    EXPECT_FALSE(g->GetRowModified(3));
    EXPECT_EQ(g->Replace("q", "r", 0), 0);
}

TEST_F(GridFindTest, TypeAheadSearchOnTheSortColumn)
{
    auto* g = NewGrid(3, 1);
    PutColumn(g, 1, 1, {"apple", "Berry", "<b>ba</b>nana"});
    PutColumn(g, 2, 1, {"x", "yes", "z"});
    EXPECT_EQ(g->Search("BE"), 2);
    EXPECT_EQ(g->Search("BAN"), 3);
    EXPECT_EQ(g->Search("Q"), -1);
    g->SortSettings()->Show = true;
    g->SortSettings()->Column = 2;
    EXPECT_EQ(g->Search("Y"), 2);
    g->SortSettings()->Column = -1;
    EXPECT_EQ(g->Search("Y"), -1);
    g->SortSettings()->IndexShow = true;
    EXPECT_EQ(g->Search("APP"), 1);
}

} // namespace
