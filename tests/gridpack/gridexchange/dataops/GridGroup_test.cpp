// Grouping: node and summary rows, the per-group calculations, UnGroup,
// sub-groups and the sort inside groups.
#include "GridData1Fixture.h"

#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Input.h"

namespace {

class GridGroupTest : public GridData1Test {
protected:
    // Columns (fixed, key, value); rows (A, 1), (A, 2), (B, 3), (C, 4) under
    // one header row.
    TExStringGrid* KeyValueGrid(bool summary)
    {
        auto* g = NewGrid(3, 1);
        g->SetCellEx(1, 0, "Key");
        g->SetCellEx(2, 0, "Value");
        g->SetColWidths(1, 77);
        PutColumn(g, 1, 1, {"A", "A", "B", "C"});
        PutColumn(g, 2, 1, {"1", "2", "3", "4"});
        g->Grouping()->Summary = summary;
        g->FloatFormat = "%.2f";
        return g;
    }
};

TEST_F(GridGroupTest, GroupWithSummaryRows)
{
    auto* g = KeyValueGrid(true);
    g->Group(1);
    EXPECT_EQ(g->GroupColumn(), 1);
    EXPECT_EQ(g->ColCount(), 2);
    EXPECT_EQ(Column(g, 1, 1), (Texts{"A", "1", "2", "", "B", "3", "", "C", "4", ""}));
    const std::vector<int> nodes{1, 5, 8}, sums{4, 7, 10}, spans{3, 2, 2};
    for (int r = 1; r < g->RowCount(); ++r) {
        const auto n = std::find(nodes.begin(), nodes.end(), r);
        EXPECT_EQ(g->IsNode(r), n != nodes.end()) << r;
        EXPECT_EQ(g->IsSummary(r), std::count(sums.begin(), sums.end(), r) == 1) << r;
        if (n != nodes.end()) {
            EXPECT_EQ(g->GetNodeSpan(r), spans[size_t(n - nodes.begin())]);
        }
    }

    g->GroupSum(1);
    EXPECT_EQ(g->GetCellEx(1, 4), "3.00");
    EXPECT_EQ(g->GetCellEx(1, 7), "3.00");
    EXPECT_EQ(g->GetCellEx(1, 10), "4.00");
    g->GroupCount(1);
    EXPECT_EQ(g->GetCellEx(1, 4), "2");
    EXPECT_EQ(g->GetCellEx(1, 7), "1");
    EXPECT_EQ(g->GetCellEx(1, 10), "1");
    // a collapsed node is left out
    g->ContractNode(5);
    g->GroupMax(1);
    EXPECT_EQ(g->GetCellEx(1, 4), "2.00");
    EXPECT_EQ(g->GetCellEx(1, 6), "1"); // B's summary row, now shown at 6, kept its count
    EXPECT_EQ(g->GetCellEx(1, 9), "4.00");
}

// Grouped rows: node A at 1 (rows 2, 3), node B at 4 (row 5), node C at 6
// (row 7); column 2 holds a three-state box on each node row and a box on
// each data row.
class GridGroupSwitchTest : public GridGroupTest {
protected:
    TExStringGrid* Grouped()
    {
        auto* g = KeyValueGrid(false);
        g->Group(1);
        g->SetColCount(3);
        g->SetBounds(0, 0, 400, 300);
        for (int r = 1; r < g->RowCount(); ++r) {
            if (g->IsNode(r))
                g->AddCheckBox(2, r, cbUnchecked);
            else
                g->AddCheckBox(2, r, false, false);
        }
        return g;
    }
    static TCheckBoxState Tri(TExStringGrid* g, int row)
    {
        TCheckBoxState s = cbUnchecked;
        g->GetCheckBoxState(2, g->RealRowIndex(row), s);
        return s;
    }
    static bool On(TExStringGrid* g, int realRow)
    {
        bool s = false;
        g->GetCheckBoxState(2, realRow, s);
        return s;
    }
};

TEST_F(GridGroupSwitchTest, AutoCheckGroupSetsTheRowsAndTheNodesBox)
{
    auto* g = Grouped();
    ASSERT_TRUE(g->IsNode(1) && g->IsNode(4) && g->IsNode(6));
    // Off: the node's box cycles alone.
    g->ToggleCheckBox(2, 1);
    EXPECT_EQ(Tri(g, 1), cbGrayed);
    EXPECT_FALSE(On(g, 2));
    g->ToggleCheckBox(2, 1);
    g->ToggleCheckBox(2, 1);
    ASSERT_EQ(Tri(g, 1), cbUnchecked);

    g->Grouping()->AutoCheckGroup = true;
    g->ToggleCheckBox(2, 1);
    EXPECT_EQ(Tri(g, 1), cbChecked);
    EXPECT_TRUE(On(g, 2) && On(g, 3));
    EXPECT_FALSE(On(g, 5)) << "another group is left alone";
    // A row unticked: the node turns grayed; both unticked: unchecked.
    g->ToggleCheckBox(2, 3);
    EXPECT_EQ(Tri(g, 1), cbGrayed);
    g->ToggleCheckBox(2, 2);
    EXPECT_EQ(Tri(g, 1), cbUnchecked);
    g->ToggleCheckBox(2, 3);
    EXPECT_EQ(Tri(g, 1), cbGrayed);
    // A grayed node box becomes checked and checks every row.
    g->ToggleCheckBox(2, 1);
    EXPECT_EQ(Tri(g, 1), cbChecked);
    EXPECT_TRUE(On(g, 2) && On(g, 3));
    g->ToggleCheckBox(2, 1);
    EXPECT_FALSE(On(g, 2) || On(g, 3));
    // A collapsed node sets its hidden rows.
    g->ContractNode(4);
    ASSERT_TRUE(g->GetNodeState(4));
    g->ToggleCheckBox(2, 4);
    EXPECT_TRUE(On(g, 5));
    EXPECT_FALSE(On(g, 7));
}

TEST_F(GridGroupSwitchTest, AutoSelectGroupSelectsTheRowsOfAClickedNode)
{
    auto* g = Grouped();
    auto click = [&](int col, int row) {
        const TRect r = g->CellRect(col, row);
        Input::Click(g, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    click(1, 1);
    EXPECT_EQ(g->Selection(), (TGridRect{1, 1, 1, 1})) << "off: the cell alone";

    g->Grouping()->AutoSelectGroup = true;
    click(1, 1);
    EXPECT_EQ(g->Selection(), (TGridRect{1, 1, 2, 3}));
    click(1, 2);
    EXPECT_EQ(g->Selection(), (TGridRect{1, 2, 1, 2})) << "a data row selects itself";
    // A collapsed node selects nothing more than its cell.
    g->ContractNode(4);
    click(1, 4);
    EXPECT_EQ(g->Selection(), (TGridRect{1, 4, 1, 4}));

    g->ExpandNode(4);
    g->MouseActions()->SetDisjunctRowSelect(true);
    click(1, 4);
    EXPECT_TRUE(g->GetRowSelect(5));
    EXPECT_FALSE(g->GetRowSelect(2));

    // Assign takes the switches and colours but leaves Summary and the
    // line colours and widths as the target had them.
    g->Grouping()->Summary = true;
    g->Grouping()->HeaderLineWidth = 5;
    g->Grouping()->SummaryLineColor = clRed;
    g->Grouping()->HeaderColor = clYellow;
    TGrouping copy;
    copy.Assign(g->Grouping());
    EXPECT_TRUE(copy.AutoSelectGroup && copy.AutoCheckGroup == g->Grouping()->AutoCheckGroup);
    EXPECT_EQ(copy.HeaderColor, clYellow);
    EXPECT_FALSE(copy.Summary);
    EXPECT_EQ(copy.HeaderLineWidth, 2);
    EXPECT_EQ(copy.SummaryLineColor, TColor(0xFF0000));
}

TEST_F(GridGroupTest, WithoutSummaryTheNodeRowsTakeTheResults)
{
    auto* g = KeyValueGrid(false);
    g->Group(1);
    EXPECT_EQ(Column(g, 1, 1), (Texts{"A", "1", "2", "B", "3", "C", "4"}));
    g->GroupSum(1);
    EXPECT_EQ(Column(g, 1, 1), (Texts{"3.00", "1", "2", "3.00", "3", "4.00", "4"}));
    g->GroupAvg(1);
    EXPECT_EQ(g->GetCellEx(1, 1), "1.50");
    g->OnGroupCalc = [](TObject*, int, int from, int to, double& res) { res = from * 100 + to; };
    g->GroupCustomCalc(1);
    EXPECT_EQ(g->GetCellEx(1, 1), "203.00");
    EXPECT_EQ(g->GetCellEx(1, 4), "505.00");
}

TEST_F(GridGroupTest, UnGroupRestoresTheFlatTable)
{
    for (bool summary : {true, false}) {
        auto* g = KeyValueGrid(summary);
        g->SetFixedFooters(0);
        g->Group(1);
        // (without Summary a sum in column 1 would take the node's value)
        if (summary)
            g->GroupSum(1);
        g->UnGroup();
        EXPECT_EQ(g->GroupColumn(), -1);
        EXPECT_EQ(g->RowCount(), 5);
        EXPECT_EQ(g->ColCount(), 3);
        EXPECT_EQ(g->ColWidths(1), 77);
        EXPECT_EQ(Column(g, 1, 0), (Texts{"Key", "A", "A", "B", "C"}));
        EXPECT_EQ(Column(g, 2, 0), (Texts{"Value", "1", "2", "3", "4"}));
        for (int r = 0; r < g->RowCount(); ++r)
            EXPECT_FALSE(g->IsNode(r) || g->IsSummary(r)) << r;
        EXPECT_EQ(g->NumNodes(), 0);
    }
}

TEST_F(GridGroupTest, FooterRowStaysBelowTheGroupsAndComesBack)
{
    auto* g = KeyValueGrid(true);
    g->SetRowCount(6);
    g->SetFixedFooters(1);
    g->SetCellEx(1, 5, "total");
    g->SetCellEx(2, 5, "10");
    g->Group(1);
    EXPECT_EQ(g->RowCount(), 12);
    EXPECT_EQ(g->GetCellEx(1, 11), "10");
    EXPECT_TRUE(g->IsSummary(10));
    g->UnGroup();
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_EQ(Column(g, 1, 0), (Texts{"Key", "A", "A", "B", "C", "total"}));
    EXPECT_EQ(Column(g, 2, 0), (Texts{"Value", "1", "2", "3", "4", "10"}));
}

TEST_F(GridGroupTest, GroupingColumnOneOrAnotherPutsValuesIntoColumnOne)
{
    auto* g = NewGrid(4, 1);
    PutColumn(g, 1, 1, {"x", "y"});
    PutColumn(g, 2, 1, {"k1", "k2"});
    PutColumn(g, 3, 1, {"v1", "v2"});
    g->Group(2);
    EXPECT_EQ(Column(g, 1, 1), (Texts{"k1", "x", "k2", "y"}));
    EXPECT_EQ(Column(g, 2, 1), (Texts{"", "v1", "", "v2"}));
    // grouping again ungroups first
    g->Group(1);
    EXPECT_EQ(g->GroupColumn(), 1);
    EXPECT_EQ(Column(g, 1, 1), (Texts{"x", "k1", "y", "k2"}));
    g->SetGroupColumn(0); // ignored
    EXPECT_EQ(g->GroupColumn(), 1);
    g->SetGroupColumn(-1);
    EXPECT_EQ(Column(g, 1, 1), (Texts{"x", "y"}));
    EXPECT_EQ(Column(g, 2, 1), (Texts{"k1", "k2"}));
}

TEST_F(GridGroupTest, FixedColumnsAndEmptyGridsAreLeftAlone)
{
    auto* g = KeyValueGrid(true);
    g->Group(0);
    EXPECT_EQ(g->GroupColumn(), -1);
    g->UnGroup();
    EXPECT_EQ(g->RowCount(), 5);
    auto* empty = NewGrid(3, 2);
    empty->SetFixedFooters(1);
    empty->Group(1);
    EXPECT_EQ(empty->GroupColumn(), -1);
    EXPECT_EQ(empty->ColCount(), 3);
}

TEST_F(GridGroupTest, UnsortedRowsAreSortedFirstAndHeaderColoursApply)
{
    auto* g = NewGrid(3, 1);
    PutColumn(g, 1, 1, {"b", "a", "b", "a"});
    PutColumn(g, 2, 1, {"1", "2", "3", "4"});
    g->Grouping()->HeaderColor = clRed;
    g->Grouping()->Summary = true;
    g->Grouping()->MergeSummary = true;
    g->Group(1);
    EXPECT_EQ(Column(g, 1, 1), (Texts{"a", "2", "4", "", "b", "1", "3", ""}));
    EXPECT_EQ(g->GetColors(1, 1), clRed);
    EXPECT_EQ(g->GetColors(1, 5), clRed);
    EXPECT_EQ(g->Row(), 1);
    g->UnGroup();
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_EQ(Column(g, 1, 1), (Texts{"a", "a", "b", "b"}));
    EXPECT_EQ(Column(g, 2, 1), (Texts{"2", "4", "1", "3"}));
}

TEST_F(GridGroupTest, ExpandOneLeavesOnlyTheFirstGroupOpen)
{
    auto* g = KeyValueGrid(false);
    g->CellNode()->ExpandOne = true;
    g->Group(1);
    EXPECT_FALSE(g->GetNodeState(1));
    EXPECT_EQ(Column(g, 1, 1), (Texts{"A", "1", "2", "B", "C"}));
    g->UnGroup();
    EXPECT_TRUE(g->CellNode()->ExpandOne);
    EXPECT_EQ(Column(g, 1, 1), (Texts{"A", "A", "B", "C"}));
    EXPECT_EQ(Column(g, 2, 1), (Texts{"1", "2", "3", "4"}));
}

TEST_F(GridGroupTest, SubGroupAndSubUnGroup)
{
    auto* g = NewGrid(4, 1);
    PutColumn(g, 1, 1, {"A", "A", "A", "B"});
    PutColumn(g, 2, 1, {"x", "x", "y", "x"});
    PutColumn(g, 3, 1, {"1", "2", "3", "4"});
    g->Group(1); // columns now: fixed, sub key, value
    EXPECT_EQ(Column(g, 1, 1), (Texts{"A", "x", "x", "y", "B", "x"}));
    g->SubGroup(1);
    // each group split on column 1, the sub value in column 2
    EXPECT_EQ(Column(g, 2, 1), (Texts{"", "x", "1", "2", "y", "3", "", "x", "4"}));
    EXPECT_EQ(Column(g, 1, 1), (Texts{"A", "", "", "", "", "", "B", "", ""}));
    const std::vector<int> subNodes{2, 5, 8};
    for (int r : subNodes)
        EXPECT_TRUE(g->IsNode(r)) << r;
    EXPECT_EQ(g->GetNodeSpan(2), 3);
    EXPECT_EQ(g->GetNodeSpan(5), 2);
    EXPECT_EQ(g->GetNodeSpan(1), 6);
    EXPECT_EQ(g->GetNodeSpan(7), 3);
    g->SubUnGroup(1);
    EXPECT_EQ(Column(g, 1, 1), (Texts{"A", "x", "x", "y", "B", "x"}));
    EXPECT_EQ(Column(g, 2, 1), (Texts{"", "1", "2", "3", "", "4"}));
    EXPECT_EQ(g->GetNodeSpan(1), 4);
    EXPECT_EQ(g->GetNodeSpan(5), 2);
}

TEST_F(GridGroupTest, SortInsideGroupsKeepsNodeAndSummaryRows)
{
    auto* g = NewGrid(3, 1);
    PutColumn(g, 1, 1, {"A", "A", "A", "B", "B"});
    PutColumn(g, 2, 1, {"3", "1", "2", "9", "5"});
    g->Grouping()->Summary = true;
    g->Group(1);
    g->SortSettings()->Column = 1;
    g->SortSettings()->Direction = sdAscending;
    g->QSortGroup();
    EXPECT_EQ(Column(g, 1, 1), (Texts{"A", "1", "2", "3", "", "B", "5", "9", ""}));
    EXPECT_TRUE(g->IsNode(1));
    EXPECT_TRUE(g->IsSummary(5));
    EXPECT_TRUE(g->IsNode(6));
    g->SortSettings()->Direction = sdDescending;
    g->QSortGroup();
    EXPECT_EQ(Column(g, 1, 1), (Texts{"A", "3", "2", "1", "", "B", "9", "5", ""}));
    EXPECT_THROW(g->QSortGroupIndexed(), DOriVireZuvez);
}

TEST_F(GridGroupTest, ColumnGridKeepsTheGroupedColumnsSettings)
{
    NewGrid(2, 2); // the form
    auto* g = NewObject<TExColumnGrid>(Form);
    g->SetParent(Form);
    g->SetColCount(3);
    g->SetRowCount(4);
    g->Columns()->Items(1)->SetHeader("Key");
    g->SetCellEx(1, 1, "a");
    g->SetCellEx(1, 2, "b");
    g->SetCellEx(1, 3, "a");
    g->Group(1);
    EXPECT_EQ(g->Columns()->Count(), 2);
    g->UnGroup();
    ASSERT_EQ(g->Columns()->Count(), 3);
    EXPECT_EQ(g->Columns()->Items(1)->Header(), "Key");
    EXPECT_EQ(Column(g, 1, 1), (Texts{"a", "a", "b"}));
}

} // namespace
