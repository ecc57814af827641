// The header-cell editors: opened by a double click, a left or a right
// press on a header as MouseActions asks, placed one pixel inside the cell,
// vetoed by OnCanEditCell, kept open while their text does not validate.
#include "gridpack/stringgrid/periphery/MouseGridTest.h"
#include "gridpack/stringgrid/ExGridEditors.h"

namespace {

class FixedEditTest : public MouseGridTest {
protected:
    void DoubleClick(int c, int r)
    {
        const TPoint p = Mid(c, r);
        Input::DoubleClick(Grid, p.X, p.Y);
        DrainPostedMessages();
    }
    TGridTransEdit* Edit() const { return Grid->EditTrans; }
    TGridTransCombo* Combo() const { return Grid->ComboTrans; }
};

} // namespace

TEST_F(FixedEditTest, DoubleClickOpensTheHeaderEditorOnePixelInsideShowingItsText)
{
    Grid->MouseActions()->FixedRowsEdit = fceDblClick;
    TGridFixedCellEditor seen = fceComboList;
    int fixedEdits = 0;
    Grid->OnFixedEdit = [&](TObject*, int c, int r, TGridFixedCellEditor& k, TStrings*) {
        ++fixedEdits;
        EXPECT_EQ(c, 2);
        EXPECT_EQ(r, 0);
        seen = k;
    };
    DoubleClick(2, 0);
    ASSERT_TRUE(Edit()->Visible());
    EXPECT_FALSE(Combo()->Visible());
    EXPECT_EQ(fixedEdits, 1);
    EXPECT_EQ(seen, fceEdit);
    const TRect R = Grid->CellRect(2, 0);
    EXPECT_EQ(Edit()->Left(), R.Left + 1);
    EXPECT_EQ(Edit()->Top(), R.Top + 1);
    EXPECT_EQ(Edit()->Width(), R.Right - R.Left - 2);
    EXPECT_EQ(Edit()->Height(), R.Bottom - R.Top - 2);
    EXPECT_EQ(Edit()->Text(), "c0");
    EXPECT_EQ(Grid->FFixedColEdit, 2);
    EXPECT_EQ(Grid->FFixedRowEdit, 0);
    EXPECT_TRUE(Edit()->Focused());

    // Typing reports each change for the header cell; leaving stores it.
    QStringList changes;
    Grid->OnEditChange = [&](TObject*, int c, int r, const QString& v) {
        EXPECT_EQ(c, 2);
        EXPECT_EQ(r, 0);
        changes << v;
    };
    Edit()->SelectAll();
    Type("Zx");
    EXPECT_EQ(changes, QStringList({"Z", "Zx"}));
    Grid->SetFocus();
    DrainPostedMessages();
    EXPECT_FALSE(Edit()->Visible());
    EXPECT_EQ(Grid->Cells(2, 0), "Zx");
}

TEST_F(FixedEditTest, OnlyTheHeadersAskedForOpenAnEditor)
{
    // Header rows only: a double click on a normal cell or the header column
    // opens nothing.
    Grid->MouseActions()->FixedRowsEdit = fceDblClick;
    DoubleClick(0, 3);
    EXPECT_FALSE(Edit()->Visible());
    DoubleClick(2, 3);
    EXPECT_FALSE(Edit()->Visible());
    // fceNone (the default) never opens one.
    Grid->MouseActions()->FixedRowsEdit = fceNone;
    DoubleClick(2, 0);
    EXPECT_FALSE(Edit()->Visible());
    // OnCanEditCell may refuse.
    Grid->MouseActions()->FixedRowsEdit = fceDblClick;
    Grid->OnCanEditCell = [](TObject*, int, int, bool& can) { can = false; };
    DoubleClick(2, 0);
    EXPECT_FALSE(Edit()->Visible());
}

TEST_F(FixedEditTest, HeaderColumnUsesTheComboWithTheValueList)
{
    TMouseActions* ma = Grid->MouseActions();
    ma->FixedColsEdit = fceDblClick;
    ma->FixedColsEditor = fceComboList;
    ma->FixedComboValues()->Add("one");
    ma->FixedComboValues()->Add("two");
    // The handler may add to the list it is given.
    Grid->OnFixedEdit = [](TObject*, int, int, TGridFixedCellEditor&, TStrings* v) { v->Add("three"); };
    DoubleClick(0, 4);
    ASSERT_TRUE(Combo()->Visible());
    EXPECT_FALSE(Edit()->Visible());
    EXPECT_EQ(Combo()->Style(), csDropDownList);
    EXPECT_EQ(Combo()->Items()->Count(), 3);
    EXPECT_EQ(ma->FixedComboValues()->Count(), 2) << "the grid's list stays as it was";
    const TRect R = Grid->CellRect(0, 4);
    EXPECT_EQ(Combo()->Left(), R.Left);
    EXPECT_EQ(Combo()->Top(), R.Top);
    EXPECT_EQ(Combo()->Width(), R.Right - R.Left - 1);
}

TEST_F(FixedEditTest, LeftAndRightPressesOpenTheEditorAwayFromSizingBorders)
{
    TMouseActions* ma = Grid->MouseActions();
    ma->FixedRowsEdit = fceLeftClick;
    Grid->SetOptions(Grid->Options() | goColSizing);
    const TRect R = Grid->CellRect(2, 0);
    // Two pixels from the right border: the sizing zone.
    Input::Click(Grid, R.Right - 2, (R.Top + R.Bottom) / 2);
    DrainPostedMessages();
    EXPECT_FALSE(Edit()->Visible());
    const TPoint p = Mid(2, 0);
    Input::Click(Grid, p.X, p.Y);
    DrainPostedMessages();
    EXPECT_TRUE(Edit()->Visible());
    Grid->SetFocus();
    DrainPostedMessages();
    ASSERT_FALSE(Edit()->Visible());

    ma->FixedRowsEdit = fceRightClick;
    Input::Click(Grid, p.X, p.Y);
    DrainPostedMessages();
    EXPECT_FALSE(Edit()->Visible());
    Input::Click(Grid, p.X, p.Y, mbRight);
    DrainPostedMessages();
    EXPECT_TRUE(Edit()->Visible());
}

TEST_F(FixedEditTest, AnOpenEditorThatDoesNotValidateStaysOpen)
{
    Grid->MouseActions()->FixedRowsEdit = fceDblClick;
    DoubleClick(2, 0);
    ASSERT_TRUE(Edit()->Visible());
    Grid->OnCellValidate = [](TObject*, int, int, QString&, bool& valid) { valid = false; };
    // Another header's editor is not opened while this one refuses.
    Grid->EditFixedCell(3, 0);
    EXPECT_TRUE(Edit()->Visible());
    EXPECT_EQ(Grid->FFixedColEdit, 2);
    Grid->OnCellValidate = nullptr;
    Grid->EditFixedCell(3, 0);
    EXPECT_TRUE(Edit()->Visible());
    EXPECT_EQ(Grid->FFixedColEdit, 3);
    EXPECT_EQ(Edit()->Text(), "d0");
}
