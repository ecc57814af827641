// The grid's combo editor (list-only and editable), its notices, the
// check-box editor and the flat combo box itself.
#include "MouseKit.h"

#include "gridpack/stringgrid/SgCombo.h"
#include "platform/controls/Messages.h"

namespace {
class ComboTest : public MouseTest {
protected:
    void TearDown() override
    {
        if (Grid)
            Grid->SetComboSelection(-1);
        MouseTest::TearDown();
    }
    void LogComboChanges()
    {
        Grid->OnComboChange = [this](TObject*, int ACol, int ARow, int AItemIndex, const QString& ASelection) {
            Changes << QString("%1,%2,%3,%4").arg(ACol).arg(ARow).arg(AItemIndex).arg(ASelection);
        };
    }
    QStringList Changes;
};
} // namespace

TEST_F(ComboTest, TheEditableComboTakesTheCellsFieldHeightAndTheColumnsListRows)
{
    for (int i = 0; i < 10; ++i)
        CGrid->Columns()->Items(4)->ComboItems()->Add(QString("extra %1").arg(i));
    Grid->SetRowHeights(2, 20);
    OpenCombo(4, 2);
    EXPECT_EQ(Combo()->Style(), csDropDown);
    EXPECT_EQ(Combo()->Perform(CB_GETITEMHEIGHT, WPARAM(-1), 0), 13);
    EXPECT_EQ(Combo()->DropDownCount(), 8);
    const TRect rc = Grid->CellRect(4, 2);
    EXPECT_EQ(Combo()->BoundsRect(), (TRect{rc.Left, rc.Top, rc.Right - 1, rc.Bottom - 1}));
    Combo()->SetDroppedDown(true);
    ASSERT_TRUE(Combo()->ListWindow());
    EXPECT_EQ(Combo()->ListWindow()->VisibleCount(), 8);
    // With no drop width the list is as wide as the combo.
    EXPECT_EQ(Combo()->ListWindow()->Width(), Combo()->Width());
}

TEST_F(ComboTest, AListOnlyComboForcesAnItemOnlyWhenNoneIsChosen)
{
    struct Case {
        QString Cell;
        int ComboIdx;
        int Selected;
        QStringList Events;
    } cases[] = {
        {"Unknown", -1, 0, {"2,3,0,Low"}},
        {"Unknown", 2, 2, {}},
        {"High", -1, 2, {}},
    };
    LogComboChanges();
    for (const Case& c : cases) {
        Grid->SetCells(2, 3, c.Cell);
        Grid->SetComboSelection(c.ComboIdx);
        Changes.clear();
        OpenCombo(2, 3);
        EXPECT_EQ(Combo()->Style(), csDropDownList);
        EXPECT_EQ(Combo()->ItemIndex(), c.Selected) << c.Cell.toStdString() << " " << c.ComboIdx;
        EXPECT_EQ(Changes, c.Events) << c.Cell.toStdString() << " " << c.ComboIdx;
        Key(VK_ESCAPE);
        ASSERT_FALSE(ComboUp());
    }
}

TEST_F(ComboTest, DirectComboDropOpensTheListDropped)
{
    for (bool direct : {false, true}) {
        Grid->MouseActions()->DirectComboDrop = direct;
        OpenCombo(2, 4);
        EXPECT_EQ(Combo()->DroppedDown(), direct);
        Key(VK_ESCAPE);
    }
}

TEST_F(ComboTest, EscapeRestoresTheCellTextAndClosesWithoutCommitting)
{
    OpenCombo(2, 4);
    Key(VK_DOWN);
    EXPECT_EQ(Combo()->Text(), "High");
    Key(VK_ESCAPE);
    EXPECT_FALSE(ComboUp());
    EXPECT_EQ(Grid->Cells(2, 4), "Normal");
    EXPECT_EQ(Combo()->ItemIndex(), 1);
}

TEST_F(ComboTest, EnterCommitsTheChosenItem)
{
    OpenCombo(2, 5);
    Key(VK_UP);
    Key(VK_RETURN);
    EXPECT_FALSE(ComboUp());
    EXPECT_EQ(Grid->Cells(2, 5), "Low");
    EXPECT_EQ(Grid->Row(), 5);
}

TEST_F(ComboTest, EnterWithARefusingValidatorKeepsTheComboOpen)
{
    Grid->Navigation()->AdvanceOnEnter = true;
    Grid->OnCellValidate = [](TObject*, int, int, QString& Value, bool& Valid) {
        if (Value == "High")
            Valid = false;
    };
    OpenCombo(2, 5);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_TRUE(ComboUp());
    EXPECT_EQ(Grid->FNewCellText, "High");
    EXPECT_EQ(Combo()->Text(), "High");
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Row(), 5);
    EXPECT_EQ(Grid->Cells(2, 5), "Normal");
}

TEST_F(ComboTest, UpOrDownMoveTheGridOrTheItemByComboGetUpDown)
{
    // Off: the list's value is committed and the current row moves.
    Grid->Navigation()->ComboGetUpDown = false;
    OpenCombo(2, 5);
    Key(VK_END);
    EXPECT_EQ(Combo()->Text(), "High");
    Key(VK_UP);
    EXPECT_FALSE(ComboUp());
    EXPECT_EQ(Grid->Cells(2, 5), "High");
    EXPECT_EQ(Grid->Row(), 4);
    EXPECT_EQ(Grid->Col(), 2);
    // On: the previous item, the editor stays.
    Grid->Navigation()->ComboGetUpDown = true;
    OpenCombo(2, 6);
    Key(VK_UP);
    EXPECT_TRUE(ComboUp());
    EXPECT_EQ(Combo()->Text(), "Low");
    EXPECT_EQ(Grid->Row(), 6);
}

TEST_F(ComboTest, LeftAndRightLeaveAListOnlyComboForTheNextCell)
{
    OpenCombo(2, 3);
    Key(VK_DOWN);
    Key(VK_RIGHT);
    EXPECT_FALSE(ComboUp());
    EXPECT_EQ(Grid->Cells(2, 3), "High");
    EXPECT_EQ(Grid->Col(), 3);
}

TEST_F(ComboTest, TheCloseUpNoticeCommitsOnlyWithDirectComboClose)
{
    QStringList closeUps;
    Grid->OnComboCloseUp = [&](TObject*, int ARow, int ACol) { closeUps << QString("%1,%2").arg(ARow).arg(ACol); };
    QStringList dropDowns;
    Grid->OnComboDropDown = [&](TObject*, int ARow, int ACol) { dropDowns << QString("%1,%2").arg(ARow).arg(ACol); };
    for (bool direct : {false, true}) {
        Grid->MouseActions()->DirectComboClose = direct;
        closeUps.clear();
        dropDowns.clear();
        OpenCombo(2, 7);
        Combo()->SetDroppedDown(true);
        Combo()->SetItemIndex(0);
        Combo()->SetDroppedDown(false);
        DrainPostedMessages();
        EXPECT_EQ(dropDowns, QStringList{"7,2"}) << "direct " << direct;
        EXPECT_EQ(closeUps, QStringList{"7,2"}) << "direct " << direct;
        EXPECT_EQ(ComboUp(), !direct) << "direct " << direct;
        EXPECT_EQ(Grid->Cells(2, 7), direct ? "Low" : "Normal") << "direct " << direct;
        if (!direct)
            Key(VK_ESCAPE);
    }
}

TEST_F(ComboTest, TheEditDoneNoticeOfAComboEditCarriesTheRealColumn)
{
    QStringList done;
    Grid->OnEditCellDone = [&](TObject*, int ACol, int ARow) { done << QString("%1,%2").arg(ACol).arg(ARow); };
    CGrid->HideColumn(1);
    // Display column 1 is now the list column (real 2).
    OpenCombo(1, 2);
    Key(VK_DOWN);
    Key(VK_RETURN);
    DrainPostedMessages();
    EXPECT_EQ(Grid->Cells(2, 2), "High");
    EXPECT_EQ(done, QStringList{"2,2"});
}

TEST_F(ComboTest, TheCheckBoxEditorTogglesWithSpaceAndClosesWithEnter)
{
    CGrid->Columns()->Items(1)->SetEditor(edCheckBox);
    for (bool advance : {false, true}) {
        Grid->Navigation()->AdvanceOnEnter = advance;
        Grid->SetCol(1);
        Grid->SetRow(3);
        Key(VK_F2);
        TGridCheckBox* ck = Grid->EditCheck;
        ASSERT_TRUE(ck->Visible());
        EXPECT_EQ(ck->Caption(), "t3");
        EXPECT_FALSE(ck->Checked());
        Key(VK_SPACE);
        EXPECT_TRUE(ck->Checked());
        EXPECT_TRUE(ck->Visible());
        Key(VK_RETURN);
        EXPECT_FALSE(ck->Visible());
        // The box writes nothing back.
        EXPECT_EQ(Grid->Cells(1, 3), "t3");
        EXPECT_EQ(Grid->Col(), advance ? 2 : 1) << "advance " << advance;
        // The advance opens the next cell's editor (the list column's combo).
        EXPECT_EQ(Grid->EditMode, advance);
        EXPECT_EQ(ComboUp(), advance);
        if (advance)
            Key(VK_ESCAPE);
    }
}

TEST_F(ComboTest, TheButtonWidthKeepsToItsRange)
{
    auto* cb = NewObject<TSgComboBox>(Form);
    cb->SetParent(Form);
    struct Case {
        int Value, Expected;
    } cases[] = {{14, 14}, {13, 14}, {32, 32}, {33, 32}, {20, 20}};
    for (const Case& c : cases) {
        cb->SetButtonWidth(c.Value);
        EXPECT_EQ(cb->ButtonWidth(), c.Expected) << c.Value;
    }
}

TEST_F(ComboTest, WithoutColoursTheFlatComboPaintsAsTheLibrarysCombo)
{
    auto* sg = NewObject<TSgComboBox>(Form);
    auto* plain = NewObject<TComboBox>(Form);
    for (TCustomComboBox* c : {static_cast<TCustomComboBox*>(sg), static_cast<TCustomComboBox*>(plain)}) {
        c->SetParent(Form);
        c->Items()->Add("one");
        c->SetItemIndex(0);
    }
    sg->SetBounds(10, 320, 120, 21);
    plain->SetBounds(200, 320, 120, 21);
    const QImage all = Form->RenderClient();
    EXPECT_FALSE(sg->OwnPainted());
    EXPECT_EQ(all.copy(10, 320, 120, 21), all.copy(200, 320, 120, 21));
    // A border colour paints the combo's own frame.
    sg->SetBorderColor(clRed);
    const QImage framed = Form->RenderClient();
    EXPECT_TRUE(sg->OwnPainted());
    EXPECT_EQ(QColor(framed.pixel(10, 320)), QColor(255, 0, 0));
}

TEST_F(ComboTest, TheWheelStepsThroughTheItemsAndStopsAtTheEnds)
{
    LogComboChanges();
    Grid->SetCells(2, 3, "High");
    OpenCombo(2, 3);
    Changes.clear();
    // Towards the user on the last item: the selection stays.
    Combo()->Perform(WM_MOUSEWHEEL, WPARAM(uint32_t(uint16_t(-120)) << 16), 0);
    EXPECT_EQ(Combo()->ItemIndex(), 2);
    Combo()->Perform(WM_MOUSEWHEEL, WPARAM(uint32_t(120) << 16), 0);
    EXPECT_EQ(Combo()->ItemIndex(), 1);
    EXPECT_EQ(Changes, (QStringList{"2,3,2,High", "2,3,1,Normal"}));
    Key(VK_ESCAPE);
}

TEST_F(ComboTest, LookupCompletesFromTheItemsAndHistoryAddsANewTextOnce)
{
    Grid->Lookup = true;
    Grid->LookupHistory = true;
    CGrid->Columns()->Items(4)->ComboItems()->Add("alphabet");
    OpenCombo(4, 2);
    Combo()->SetText("");
    Key('A');
    Key('L');
    // The first item in order that starts with the typed text completes it;
    // the completed part is selected.
    EXPECT_EQ(Combo()->Text(), "alpha");
    EXPECT_EQ(Combo()->SelStart(), 2);
    EXPECT_EQ(Combo()->SelLength(), 3);
    EXPECT_EQ(Combo()->ItemIndex(), 0);
    // Backspace never completes.
    Key(VK_BACK);
    EXPECT_EQ(Combo()->Text(), "al");
    Key('X');
    EXPECT_EQ(Combo()->Text(), "alx");
    const int before = Combo()->Items()->Count();
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Cells(4, 2), "alx");
    // Leaving the combo (focus to the grid) added the new text once.
    EXPECT_EQ(Combo()->Items()->Count(), before + 1);
    EXPECT_EQ(Combo()->Items()->Strings(before), "alx");
}

TEST_F(ComboTest, ACharacterTypedOnAListCellOpensItsComboAtTheItemItLeadsTo)
{
    Grid->SetCells(2, 6, "");
    Grid->SetCol(2);
    Grid->SetRow(6);
    QString presses;
    Grid->OnKeyPress = [&](TObject*, QChar& Key) { presses += Key; };
    Type("h");
    ASSERT_TRUE(ComboUp());
    EXPECT_EQ(Combo()->Text(), "High");
    // The grid and then the combo report the key; the hidden text editor
    // never sees it.
    EXPECT_EQ(presses, "hh");
    if (Grid->NormalEdit()) {
        EXPECT_FALSE(Grid->NormalEdit()->Text().contains('h'));
    }
    Key(VK_RETURN);
    EXPECT_FALSE(ComboUp());
    EXPECT_EQ(Grid->Cells(2, 6), "High");
}

TEST_F(ComboTest, TheLabelStandsWhereItsPositionSays)
{
    auto* cb = NewObject<TSgComboBox>(Form);
    cb->SetParent(Form);
    cb->SetBounds(200, 320, 120, 21);
    cb->SetLabelCaption("Name");
    TLabel* l = cb->ComboLabel();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Parent(), Form);
    l->SetAutoSize(false);
    l->SetHeight(31);
    cb->SetLabelMargin(4);
    cb->SetLabelPosition(lpLeftCenter);
    // Taller than the combo: half the difference above its top.
    EXPECT_EQ(l->Top(), 315);
    EXPECT_LT(l->Left() + l->Width(), 200 + l->Width());
    cb->SetLabelPosition(lpTopLeft);
    EXPECT_EQ(l->Top(), 320 - 31 - 4);
    EXPECT_EQ(l->Left(), 200);
    cb->SetLabelPosition(lpRightTop);
    EXPECT_EQ(l->Left(), 200 + 120 + 4);
    EXPECT_EQ(l->Top(), 320);
}
