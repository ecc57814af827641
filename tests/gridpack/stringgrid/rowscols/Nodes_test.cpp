// Outline nodes, expand cells, summary rows and interfaced cells.
#include "gridpack/stringgrid/core/ExGridFixture.h"

namespace {
class NodesTest : public ExGridTest {
protected:
    // Rows 0..11, "r<row>" in column 1.
    void Fill(int rows = 12)
    {
        NewGrid();
        Grid->SetRowCount(rows);
        for (int r = 0; r < rows; ++r)
            Grid->SetCellEx(1, r, QString("r%1").arg(r));
    }
    std::vector<QString> Column1()
    {
        std::vector<QString> v;
        for (int r = 0; r < Grid->RowCount(); ++r)
            v.push_back(Grid->GetCellEx(1, r));
        return v;
    }
    static std::vector<QString> Rows(std::initializer_list<int> rows)
    {
        std::vector<QString> v;
        for (int r : rows)
            v.push_back(QString("r%1").arg(r));
        return v;
    }
    int Level(int r) { return Grid->HasCellProperties(0, r) ? Grid->GetCellProperties(0, r)->NodeLevel : 0; }
};
} // namespace

TEST_F(NodesTest, AddNodeSetsLevelsAndLeavesColumnZero)
{
    Fill();
    Grid->MoveColRow(0, 2, true, false);
    Grid->AddNode(1, 3);
    EXPECT_TRUE(Grid->IsNode(1));
    EXPECT_FALSE(Grid->IsNode(2));
    EXPECT_EQ(Level(1), 1);
    EXPECT_EQ(Level(2), 1);
    EXPECT_EQ(Level(3), 1);
    EXPECT_EQ(Level(4), 0);
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_TRUE(Grid->HasNodeRows());
    EXPECT_EQ(Grid->GetNodeLevel(1), 1);
    EXPECT_EQ(Grid->GetNodeLevel(2), -1);
    EXPECT_EQ(Grid->GetNodeSpan(1), 3);
    EXPECT_EQ(Grid->GetNodeSpan(2), -1);
    EXPECT_EQ(Grid->GetRowNodeIndent(2), 12);

    // A nested node raises its rows to level 2; parents.
    Grid->AddNode(2, 2);
    EXPECT_EQ(Level(2), 2);
    EXPECT_EQ(Level(3), 2);
    EXPECT_EQ(Grid->GetParentRow(2), 1);
    EXPECT_EQ(Grid->GetParentRow(3), 2);
    EXPECT_EQ(Grid->GetParentRow(1), 1);
    EXPECT_EQ(Grid->GetParentRow(5), -1);
    EXPECT_EQ(Grid->GetNodeSpanType(1), 0);
    EXPECT_EQ(Grid->GetNodeSpanType(3), 1);

    Grid->RemoveNode(2);
    EXPECT_FALSE(Grid->IsNode(2));
    EXPECT_EQ(Level(2), 1);
    Grid->RemoveAllNodes();
    EXPECT_FALSE(Grid->HasNodeRows());
    EXPECT_EQ(Level(1), 0);
}

TEST_F(NodesTest, CollapsingAndExpandingMovesTheChildRows)
{
    Fill();
    Grid->AddNode(1, 4);
    Grid->ContractNode(1);
    EXPECT_EQ(Grid->RowCount(), 9);
    EXPECT_TRUE(Grid->GetNodeState(1));
    EXPECT_EQ(Column1(), Rows({0, 1, 5, 6, 7, 8, 9, 10, 11}));
    Grid->ContractNode(1); // already collapsed: nothing
    EXPECT_EQ(Grid->RowCount(), 9);
    Grid->ExpandNode(1);
    EXPECT_EQ(Grid->RowCount(), 12);
    EXPECT_FALSE(Grid->GetNodeState(1));
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    Grid->SetNodeState(1, true);
    EXPECT_EQ(Grid->RowCount(), 9);
    Grid->SetNodeState(1, false);
    EXPECT_EQ(Grid->RowCount(), 12);
}

TEST_F(NodesTest, ACollapsedInnerNodeShowsExpandedWhenItsParentOpens)
{
    Fill();
    Grid->AddNode(1, 6); // rows 1..6
    Grid->AddNode(3, 3); // rows 3..5
    Grid->ContractNode(3);
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 6, 7, 8, 9, 10, 11}));
    Grid->ContractNode(1);
    EXPECT_EQ(Column1(), Rows({0, 1, 7, 8, 9, 10, 11}));
    Grid->ExpandNode(1);
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_FALSE(Grid->GetNodeState(3));
}

TEST_F(NodesTest, ExpandOneCollapsesTheOtherNodes)
{
    Fill();
    Grid->AddNode(1, 3);
    Grid->AddNode(4, 3);
    Grid->AddNode(7, 3);
    Grid->ContractAll();
    EXPECT_EQ(Column1(), Rows({0, 1, 4, 7, 10, 11}));
    Grid->CellNode()->ExpandOne = true;
    Grid->ExpandNode(1);
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 7, 10, 11}));
    Grid->ExpandNode(7);
    EXPECT_EQ(Column1(), Rows({0, 1, 4, 7, 8, 9, 10, 11}));
    Grid->CellNode()->ExpandOne = false;
    Grid->ExpandAll();
    EXPECT_EQ(Grid->RowCount(), 12);
}

TEST_F(NodesTest, ASpanOfZeroReachesTheNextNode)
{
    Fill();
    Grid->AddNode(1, 0);
    Grid->AddNode(5, 3);
    Grid->ContractAll();
    EXPECT_EQ(Column1(), Rows({0, 1, 5, 8, 9, 10, 11}));
    Grid->ExpandAll();
    EXPECT_EQ(Grid->RowCount(), 12);
}

TEST_F(NodesTest, ChildRowsGrowAndShrinkTheirNode)
{
    Fill();
    Grid->AddNode(1, 3);
    Grid->InsertChildRow(2, 1); // a new row at 3 inside the node
    EXPECT_EQ(Grid->GetNodeSpan(1), 4);
    EXPECT_EQ(Grid->GetSubNodeCount(1), 1);
    EXPECT_EQ(Grid->GetCellEx(1, 3), "");
    EXPECT_EQ(Level(3), 1);
    EXPECT_EQ(Grid->RowCount(), 13);
    Grid->RemoveChildRow(3);
    EXPECT_EQ(Grid->GetNodeSpan(1), 3);
    EXPECT_EQ(Grid->RowCount(), 12);

    // Outside every node: a normal row.
    Grid->InsertChildRow(8, 0);
    EXPECT_EQ(Grid->RowCount(), 13);
    EXPECT_EQ(Grid->GetCellEx(1, 8), "");
    EXPECT_EQ(Grid->GetCellEx(1, 9), "r8");
    Grid->RemoveChildRow(8);
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));

    // On the node row with InsertAt 0 the new row takes the node's texts.
    Grid->InsertChildRow(1, 0);
    EXPECT_TRUE(Grid->IsNode(1));
    EXPECT_EQ(Grid->GetCellEx(1, 1), "");
    EXPECT_EQ(Grid->GetCellEx(1, 2), "r1");

    // A hidden row below keeps its place.
    Fill();
    Grid->AddNode(1, 2);
    Grid->HideRow(6);
    Grid->InsertChildRow(2, 1);
    ASSERT_EQ(Grid->NumHiddenRows(), 1);
    EXPECT_EQ(Grid->GridItems()->Item(0)->Idx, 7);
    Grid->UnHideRowsAll();
    EXPECT_EQ(Grid->GetCellEx(1, 7), "r6");
}

TEST_F(NodesTest, GlyphHitTestByNodeType)
{
    Fill();
    Grid->AddNode(1, 3);
    Grid->CellNode()->SetNodeType(cnXP);
    Grid->CellNode()->SetNodeIndent(12);
    for (int x = 0; x <= 20; ++x)
        EXPECT_EQ(Grid->IsOverNodeGlyph(1, x), x >= 5 && x <= 15) << x;
    Grid->CellNode()->SetNodeType(cn3D); // 0 < X < 18
    EXPECT_TRUE(Grid->IsOverNodeGlyph(1, 1));
    EXPECT_FALSE(Grid->IsOverNodeGlyph(1, 18));
    Grid->MouseActions()->PreciseNodeClick = false;
    EXPECT_TRUE(Grid->IsOverNodeGlyph(1, 100));
}

TEST_F(NodesTest, HotmailRowSelectHidesTheNodes)
{
    Fill();
    Grid->AddNode(1, 3);
    Grid->SetSummaryRow(5);
    EXPECT_TRUE(Grid->IsSummary(5));
    Grid->MouseActions()->SetHotmailRowSelect(true);
    EXPECT_FALSE(Grid->IsNode(1));
    EXPECT_FALSE(Grid->IsSummary(5));
    Grid->ContractNode(1);
    EXPECT_EQ(Grid->RowCount(), 12);
}

TEST_F(NodesTest, ExpandCells)
{
    Fill();
    EXPECT_FALSE(Grid->ToggleExpand(2, 2));
    EXPECT_EQ(Grid->GetExpandHeight(2, 2, true), Grid->DefaultRowHeight());
    Grid->SetRowHeights(2, 30);
    Grid->AddExpand(2, 2, 60);
    EXPECT_TRUE(Grid->HasExpand(2, 2));
    EXPECT_FALSE(Grid->GetExpandState(2, 2));
    EXPECT_TRUE(Grid->ToggleExpand(2, 2));
    EXPECT_FALSE(Grid->ToggleExpand(2, 2));
    EXPECT_EQ(Grid->RowHeights(2), 30);
    EXPECT_EQ(Grid->GetExpandHeight(2, 2, true), 60);
    EXPECT_EQ(Grid->GetExpandHeight(2, 2, false), 30);
    const TRect r = Grid->CellRect(2, 2);
    EXPECT_EQ(Grid->GetExpandGlyphRect(2, 2), (TRect{r.Right - 13, r.Top + 2, r.Right - 2, r.Top + 13}));
    EXPECT_EQ(Grid->GetExpandGlyphRect(3, 2), (TRect{0, 0, 0, 0}));
    Grid->RemoveExpand(2, 2);
    EXPECT_FALSE(Grid->HasExpand(2, 2));
}

TEST_F(NodesTest, AnInterfacedCellNeverFreesItsObject)
{
    Fill();
    TPersistent obj;
    Grid->AddInterfacedCell(2, 2, &obj);
    EXPECT_EQ(Grid->GetInterfacedCell(2, 2), &obj);
    EXPECT_EQ(Grid->GetInterfacedCell(2, 3), nullptr);
    Grid->RemoveInterfacedCell(2, 2);
    EXPECT_EQ(Grid->GetInterfacedCell(2, 2), nullptr);
}
