// The editing engine on the column grid: each column says whether its cells
// are edited, and selecting a cell switches the grid's editing accordingly.
#include "EditTestKit.h"

#include "gridpack/stringgrid/ExCGrid.h"

namespace {
// Columns 1 and 4 plain, column 2 read-only, column 3 data check boxes; the
// grid has no goEditing of its own, as the program's table editors.
class ColumnGridEditTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 600, 400);
        CGrid = NewObject<TExColumnGrid>(Form);
        CGrid->SetParent(Form);
        CGrid->SetBounds(0, 0, 500, 300);
        CGrid->Columns()->Items(2)->ReadOnly = true;
        CGrid->Columns()->Items(3)->SetEditor(edDataCheckBox);
        Grid = CGrid;
        Form->Show();
        Grid->SetFocus();
        DrainPostedMessages();
        ASSERT_FALSE(Grid->Options() & goEditing);
    }
    TExColumnGrid* CGrid = nullptr;
};
} // namespace

TEST_F(ColumnGridEditTest, EditableAndReadOnlyColumnsSwitchEditing)
{
    Grid->SetCol(4);
    EXPECT_TRUE(Grid->Options() & goEditing);
    Grid->SetCol(2);
    EXPECT_FALSE(Grid->Options() & goEditing);
    EXPECT_TRUE(Grid->FEditDisable);
    Key(VK_F2);
    EXPECT_FALSE(EditorUp());
    Grid->SetCol(1);
    EXPECT_TRUE(Grid->Options() & goEditing);
    EXPECT_FALSE(Grid->FEditDisable);
    Key(VK_F2);
    EXPECT_TRUE(EditorUp());
}

TEST_F(ColumnGridEditTest, ADataCheckBoxColumnSwitchesEditingOnWithoutATextEditor)
{
    Grid->SetCol(3);
    EXPECT_TRUE(Grid->Options() & goEditing);
    Key(VK_F2);
    EXPECT_FALSE(EditorUp());
    EXPECT_FALSE(Grid->EditMode);
}

TEST_F(ColumnGridEditTest, ATypedValueReachesTheCellWithItsRealColumnReported)
{
    CGrid->HideColumn(2);
    QStringList log;
    Grid->OnEditCellDone = [&](TObject*, int c, int r) { log << QString("%1,%2").arg(c).arg(r); };
    // Display column 2 is real column 3, the check boxes; display 3 is real 4.
    EditCell(3, 5);
    Type("val");
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Cells(4, 5), "val");
    EXPECT_EQ(log, QStringList({"4,5"}));
}
