// The string grid's in-cell editors over the multi-column and the grid
// drop-downs: made by the registered factories, loaded from the cell, keys
// through the drop-down's own handling, the value written back.
#include "gridpack/stringgrid/inplace/EditTestKit.h"
#include "gridpack/dropdown/ExGridDropDownGridEditors.h"

namespace {
// Column 1 the multi-column drop-down, column 2 the grid drop-down.
class GridEditorsTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        RegisterGridDropDownEditors();
        NewGrid();
        Grid->OnGetEditorType = [](TObject*, int ACol, int, TEditorType& E) {
            E = ACol == 1 ? edGridDropDown : ACol == 2 ? edExGridDropDown : edNormal;
        };
        Grid->SetCells(1, 1, "Banana");
        Grid->SetCells(2, 1, "Beta");
        Grid->SetCells(2, 2, "");
    }
    void Open(int c, int r) {
        Grid->SetRow(r);
        Grid->SetCol(c);
        Grid->StoreOldCell(c, r);
        Key(VK_F2);
    }
    TGridGridDropDown* Multi() { return dynamic_cast<TGridGridDropDown*>(Grid->KindEditorIfMade(edGridDropDown)); }
    TGridExGridDropDown* GridDrop() {
        return dynamic_cast<TGridExGridDropDown*>(Grid->KindEditorIfMade(edExGridDropDown));
    }
};
} // namespace

TEST_F(GridEditorsTest, MultiColumnEditorLoadsTheItemAndWritesTheChoice) {
    Open(1, 1);
    TGridGridDropDown* w = Multi();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Owner(), Grid);
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(w->WholeText(), QStringLiteral("Banana")) << "no items yet: the cell text";
    Key(VK_ESCAPE);
    EXPECT_FALSE(w->Visible());
    // With items the cell's item is chosen; the choice goes into the cell.
    w->Columns()->Add();
    for (const char* t : {"Apple", "Banana", "Cherry"}) w->Items()->Add()->Text()->Add(t);
    Open(1, 1);
    EXPECT_EQ(w->ItemIndex(), 1);
    w->SetItemIndex(2);
    EXPECT_EQ(w->WholeText(), QStringLiteral("Cherry"));
    Key(VK_RETURN);
    EXPECT_FALSE(w->Visible());
    EXPECT_EQ(Grid->Cells(1, 1), QStringLiteral("Cherry"));
}

TEST_F(GridEditorsTest, GridDropDownEditorFindsTheLookupRow) {
    Open(2, 1);
    TGridExGridDropDown* w = GridDrop();
    ASSERT_NE(w, nullptr);
    Key(VK_ESCAPE);
    w->Columns()->Add();
    for (const char* t : {"Alpha", "Beta", "Gamma"}) w->Items()->Add()->Text()->Add(t);
    Open(2, 1);
    EXPECT_EQ(w->ItemIndex(), 1);
    EXPECT_EQ(w->WholeText(), QStringLiteral("Beta"));
    ASSERT_NE(w->Grid(), nullptr);
    EXPECT_TRUE(w->GetGrid()->FixedRowAlways) << "the popup keeps its header row while filtering";
    w->SetItemIndex(0);
    Key(VK_RETURN);
    EXPECT_FALSE(w->Visible());
    EXPECT_EQ(Grid->Cells(2, 1), QStringLiteral("Alpha"));
    // An empty cell opens on the first item.
    Open(2, 2);
    EXPECT_EQ(w->ItemIndex(), 0);
    // Typing goes through the drop-down's completion.
    w->SetText(QString());
    Key('G');
    EXPECT_EQ(w->WholeText(), QStringLiteral("Gamma"));
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), QStringLiteral("Gamma"));
    // The wrapper classes are known to form streams.
    EXPECT_TRUE(RegisterGridDropDownClass("TGridExGridDropDown"));
    EXPECT_TRUE(RegisterGridDropDownClass("TGridGridDropDown"));
}
