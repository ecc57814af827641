// Highlight and error marks, the cell checker over ranges, the fills.
#include "GridData1Fixture.h"

#include "gridpack/basegrid/sgcheck.h"

namespace {

class GridTagFillTest : public GridData1Test {};

TEST_F(GridTagFillTest, HighlightEncodesTheCellsOwnMarkup)
{
    auto* g = NewGrid(2, 2);
    g->SetCellEx(1, 1, "a<b");
    g->HilightInCell(1, 1, "a", false);
    EXPECT_EQ(g->GetCellEx(1, 1), "<hi>a</hi>&lt;b");
    g->UnHilightInCell(1, 1);
    EXPECT_EQ(g->GetCellEx(1, 1), "a<b");
    g->MarkInCell(1, 1, "B", false);
    EXPECT_EQ(g->GetCellEx(1, 1), "a&lt;<e>b</e>");
    g->UnMarkInCell(1, 1);
    EXPECT_EQ(g->GetCellEx(1, 1), "a<b");
    g->MarkInCell(1, 1, "B", true);
    EXPECT_EQ(g->GetCellEx(1, 1), "a&lt;b");

    EXPECT_EQ(HilightText(false, "Xax", "A"), "X<hi>a</hi>x");
    EXPECT_EQ(UnHilightText("X<hi>a</hi>x"), "Xax");
    EXPECT_EQ(MarkText(true, "ab", "b"), "a<e>b</e>");
    EXPECT_EQ(UnMarkText("a<e>b</e>"), "ab");
}

TEST_F(GridTagFillTest, RangesReachHiddenColumnsAsTheTableSays)
{
    auto* g = NewGrid(4, 3);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 3; ++r)
            g->SetCellEx(c, r, "a");
    g->HideColumn(3);
    g->HilightInGrid("a", false, false);
    EXPECT_EQ(g->GetCellEx(3, 1), "<hi>a</hi>"); // the hidden column
    EXPECT_EQ(g->GetCellEx(0, 1), "a");          // fixed column left
    EXPECT_EQ(g->GetCellEx(1, 0), "a");          // fixed row left
    g->MarkInGrid("a", false, false);
    EXPECT_EQ(g->GetCellEx(3, 2), "<hi>a</hi>"); // not reached by the mark
    // the highlight tags are the cell's own markup to the mark: entities
    EXPECT_EQ(g->GetCellEx(1, 2), "&lt;hi&gt;<e>a</e>&lt;/hi&gt;");
    g->UnMarkInGrid(false);
    g->UnHilightInGrid(false);
    EXPECT_EQ(g->GetCellEx(3, 2), "a");
    EXPECT_EQ(g->GetCellEx(1, 2), "a");
    g->HilightInGrid("a", true, false);
    EXPECT_EQ(g->GetCellEx(0, 0), "<hi>a</hi>");
    g->UnHilightInRow(0, true);
    EXPECT_EQ(g->GetCellEx(0, 0), "a");
    EXPECT_EQ(g->GetCellEx(1, 1), "<hi>a</hi>");
    g->UnHilightInCol(1, false);
    EXPECT_EQ(g->GetCellEx(1, 1), "a");
    EXPECT_EQ(g->GetCellEx(2, 1), "<hi>a</hi>");
}

TEST_F(GridTagFillTest, MergedCellChangesOnce)
{
    auto* g = NewGrid(4, 2);
    g->SetCellEx(1, 1, "a");
    g->MergeCells(1, 1, 3, 1);
    g->HilightInRow(1, "a", false, false);
    EXPECT_EQ(g->GetCellEx(1, 1), "<hi>a</hi>");
    EXPECT_EQ(g->GetGridCell(2, 1), "");
}

class TUpperChecker : public ROroRoravaZuzoZovor {
public:
    using ROroRoravaZuzoZovor::ROroRoravaZuzoZovor;
    QString Correct(int, int, const QString& s) override { return s.toUpper(); }
    QString MarkError(int, int, const QString& s) override
    {
        return s.contains('x') ? s.left(s.indexOf('x')) + "<e>x</e>" + s.mid(s.indexOf('x') + 1) : s;
    }
    void StartCheck() override { ++Starts; }
    void StopCheck() override { ++Stops; }
    int Starts = 0, Stops = 0;
};

TEST_F(GridTagFillTest, CheckerOverCells)
{
    auto* g = NewGrid(3, 3);
    EXPECT_TRUE(g->CheckGrid(false)); // no checker: success
    auto* checker = NewObject<TUpperChecker>(Form);
    g->SetCellChecker(checker);
    g->SetCellEx(1, 1, "ab");
    g->SetCellEx(2, 1, "AB");
    g->SetCellEx(1, 2, "xy");
    checker->SetUseCorrect(true);
    EXPECT_FALSE(g->CheckRow(1, false));
    EXPECT_EQ(g->GetCellEx(1, 1), "AB");
    EXPECT_TRUE(g->CheckCell(2, 1));
    // marks win over corrections, and come off before the next check
    checker->SetUseMarkError(true);
    EXPECT_FALSE(g->CheckCell(1, 2));
    EXPECT_EQ(g->GetCellEx(1, 2), "<e>x</e>y");
    EXPECT_FALSE(g->CheckCell(1, 2));
    EXPECT_EQ(g->GetCellEx(1, 2), "<e>x</e>y");

    checker->SetGotoCell(true);
    g->SetCol(2);
    g->SetRow(2);
    EXPECT_FALSE(g->CheckGrid(false));
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(checker->Starts, 2);
    EXPECT_EQ(checker->Stops, 2);
    g->SetCellChecker(nullptr);
}

TEST_F(GridTagFillTest, Fills)
{
    auto* g = NewGrid(3, 3);
    g->LinearFill(false);
    EXPECT_EQ(g->GetCellEx(1, 1), "1:1");
    EXPECT_EQ(g->GetCellEx(2, 2), "2:2");
    EXPECT_EQ(g->GetCellEx(0, 0), "");
    g->TextFill(true, "t");
    EXPECT_EQ(g->GetCellEx(0, 0), "t");
    g->FormatFill(false, "c%d r%d");
    EXPECT_EQ(g->GetCellEx(2, 1), "c2 r1");
    EXPECT_ANY_THROW(g->FormatFill(false, "%s %s %s"));
    g->RandomFill(false, 0);
    EXPECT_EQ(g->GetCellEx(1, 2), "0");
    g->RandomFill(false, 3);
    for (int c = 1; c < 3; ++c)
        for (int r = 1; r < 3; ++r) {
            const int v = g->GetCellEx(c, r).toInt();
            EXPECT_TRUE(v >= 0 && v < 3);
        }
}

} // namespace
