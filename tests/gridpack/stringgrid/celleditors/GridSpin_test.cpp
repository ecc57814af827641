// The grid's spin editor: opening over the spin kinds' cells and committing
// through the typed cell setters.
#include "gridpack/stringgrid/inplace/EditTestKit.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "gridpack/stringgrid/ExGridSpin.h"

namespace {
class GridSpinTest : public EditingTest {
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
        CGrid->SetOptions(CGrid->Options() | goEditing);
        const TEditorType kinds[] = {edSpinEdit, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit};
        for (int i = 0; i < 4; ++i)
            CGrid->Columns()->Items(i + 1)->SetEditor(kinds[i]);
        Grid = CGrid;
        Form->Show();
        Grid->SetFocus();
        DrainPostedMessages();
    }
    void Open(int c, int r)
    {
        Grid->SetRow(r);
        Grid->SetCol(c);
        Key(VK_F2);
        ASSERT_TRUE(Grid->SpinEdit()->Visible());
    }
    TGridSpin* Spin() { return Grid->SpinEdit(); }
    TExColumnGrid* CGrid = nullptr;
};
} // namespace

TEST_F(GridSpinTest, AnIntegerCellOpensHoldingItsValueAndCommitsThroughInts)
{
    Grid->SetCells(1, 2, "42");
    Open(1, 2);
    EXPECT_EQ(Spin()->SpinType(), sptNormal);
    EXPECT_EQ(Spin()->Value(), 42);
    EXPECT_TRUE(Spin()->Focused());
    Key(VK_UP);
    EXPECT_TRUE(Spin()->Visible());  // Up steps and leaves it open
    Key(VK_RETURN);
    EXPECT_FALSE(Spin()->Visible());
    EXPECT_EQ(Grid->GetInts(1, 2), 43);
    EXPECT_EQ(Grid->Cells(1, 2), "43");
}

TEST_F(GridSpinTest, EscapeLeavesTheCellAsItWas)
{
    Grid->SetCells(1, 3, "7");
    Open(1, 3);
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Spin()->Visible());
    EXPECT_EQ(Grid->Cells(1, 3), "7");
    // A date cell whose text is no date keeps that text.
    Grid->SetCells(4, 3, "later");
    Open(4, 3);
    Key(VK_UP);
    Key(VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(4, 3), "later");
}

TEST_F(GridSpinTest, AFloatCellCommitsThroughFloatsWithTheCellsFormat)
{
    Grid->FloatFormat = "%.3f";
    Grid->SetCells(2, 1, "1.5");
    Open(2, 1);
    EXPECT_EQ(Spin()->SpinType(), sptFloat);
    EXPECT_DOUBLE_EQ(Spin()->FloatValue(), 1.5);
    Key(VK_PRIOR);
    Key(VK_RETURN);
    EXPECT_DOUBLE_EQ(Grid->GetFloats(2, 1), 2.5);
    EXPECT_EQ(Grid->Cells(2, 1), "2.500");
}

TEST_F(GridSpinTest, TimeAndDateCells)
{
    SetNowHook([] { return EncodeDate(2026, 12, 10) + EncodeTime(15, 4, 5, 0); });
    Grid->SetCells(3, 1, "00:10:00");
    Open(3, 1);
    EXPECT_EQ(Spin()->SpinType(), sptTime);
    Spin()->SetSelStart(0);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Cells(3, 1), "23:10:00");

    Grid->SetCells(4, 1, "no date");
    Open(4, 1);
    EXPECT_EQ(Spin()->SpinType(), sptDate);
    EXPECT_EQ(Spin()->Text(), DateToStr(EncodeDate(2026, 12, 10)));
    Key(VK_RETURN);
    EXPECT_EQ(Grid->GetDates(4, 1), EncodeDate(2026, 12, 10));
    SetNowHook(nullptr);
}

TEST_F(GridSpinTest, APressOnACellsSpinButtonOpensTheEditorAndStepsOnce)
{
    Grid->ControlLook()->SetSpinButtonsAlwaysVisible(true);
    Grid->MouseActions()->DirectEdit = true;
    // The buttons follow the editor-type event, not the column.
    Grid->OnGetEditorType = [](TObject*, int c, int, TEditorType& e) {
        if (c == 1)
            e = edSpinEdit;
    };
    Grid->SetCells(1, 4, "42");
    Grid->SetCells(1, 5, "42");
    const TRect R = Grid->CellRect(1, 4);
    // The upper half of the button steps up.
    Input::Click(Grid, R.Right - 5, R.Top + 2);
    DrainPostedMessages();
    ASSERT_TRUE(Spin()->Visible());
    EXPECT_EQ(Spin()->Value(), 43);
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Cells(1, 4), "43");
    // The lower half steps down; a press left of the button does not step.
    const TRect R5 = Grid->CellRect(1, 5);
    Input::Click(Grid, R5.Right - 5, R5.Bottom - 2);
    DrainPostedMessages();
    ASSERT_TRUE(Spin()->Visible());
    EXPECT_EQ(Spin()->Value(), 41);
    Key(VK_ESCAPE);
    Input::Click(Grid, R5.Left + 3, R5.Top + 2);
    DrainPostedMessages();
    ASSERT_TRUE(Spin()->Visible());
    EXPECT_EQ(Spin()->Value(), 42);
}

TEST_F(GridSpinTest, ButtonClicksReportToTheGridAndARefusedEnterStaysOpen)
{
    QStringList clicks;
    Grid->OnSpinClick = [&](TObject*, int c, int r, int v, bool up) {
        clicks << QString("%1,%2,%3,%4").arg(c).arg(r).arg(v).arg(up ? "up" : "down");
    };
    Grid->SetCells(1, 2, "5");
    Open(1, 2);
    TExTimerSpeedButton* up = Spin()->Button()->UpButton();
    Input::Click(up, 2, 2);
    TExTimerSpeedButton* down = Spin()->Button()->DownButton();
    Input::Click(down, 2, 2);
    Input::Click(down, 2, 2);
    EXPECT_EQ(clicks, (QStringList{"1,2,6,up", "1,2,5,down", "1,2,4,down"}));
    // Home and End set the limits and report them too.
    Spin()->MinValue = 0;
    Spin()->MaxValue = 9;
    Key(VK_HOME);
    EXPECT_EQ(Spin()->Value(), 9);
    EXPECT_EQ(clicks.last(), "1,2,9,up");
    // A validation that refuses keeps the editor open, showing the cell as
    // the refusal left it.
    Grid->OnCellValidate = [](TObject*, int, int, QString&, bool& valid) { valid = false; };
    Key(VK_RETURN);
    EXPECT_TRUE(Spin()->Visible());
    EXPECT_EQ(Spin()->Text(), "5");
    EXPECT_EQ(Grid->Cells(1, 2), "5");
    EXPECT_TRUE(Grid->FNoAutoAdvance);
    Grid->OnCellValidate = nullptr;
}
