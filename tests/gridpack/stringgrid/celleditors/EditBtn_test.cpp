// The edit with a button and the unit edit on their own, then the grid's
// edit-button, unit and button editors over cells.
#include "gridpack/stringgrid/inplace/EditTestKit.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "gridpack/stringgrid/SGEdit.h"

namespace {
// Chooses the menu item with the caption given, or dismisses the menu.
void ChooseMenuItem(const QString& caption)
{
    TPopupMenu::SetChooser([caption](TPopupMenu* menu, TPoint) -> TMenuItem* {
        for (int i = 0; i < menu->Items()->Count(); ++i)
            if (menu->Items()->Items(i)->Caption == caption)
                return menu->Items()->Items(i);
        return nullptr;
    });
}

class SgEditBtnTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 400, 300);
        Edit = NewObject<TSgEditBtn>(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 10, 150, 24);
        Edit->OnClickBtn = [this](TObject* s) {
            ++Clicks;
            LastSender = s;
        };
        Unit = NewObject<TSgUnitEditBtn>(Form);
        Unit->SetParent(Form);
        Unit->SetBounds(10, 50, 150, 24);
        Form->Show();
        Edit->SetFocus();
        DrainPostedMessages();
    }
    void TearDown() override
    {
        TPopupMenu::SetChooser(nullptr);
        EditingTest::TearDown();
    }
    void ClickButton(TSgEditBtn* e)
    {
        TExSpeedButton* b = e->Button()->Button();
        Input::Click(b, b->Width() / 2, b->Height() / 2);
        DrainPostedMessages();
    }
    TSgEditBtn* Edit = nullptr;
    TSgUnitEditBtn* Unit = nullptr;
    int Clicks = 0;
    TObject* LastSender = nullptr;
};
} // namespace

TEST_F(SgEditBtnTest, WithTheEditorDisabledOnlyTheButtonAndF4Act)
{
    Edit->SetText("abc");
    Edit->EditorEnabled = false;
    Edit->SetSelStart(3);
    Type("xyz");
    EXPECT_EQ(Edit->Text(), "abc");
    ClickButton(Edit);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(LastSender, Edit->Button());  // the container for a click
    EXPECT_TRUE(Edit->Focused());
    Key(VK_F4);
    EXPECT_EQ(Clicks, 2);
    EXPECT_EQ(LastSender, Edit);  // the edit for F4
    // Ctrl or Alt with F4 does not click.
    Key(VK_F4, ssCtrl);
    Key(VK_F4, ssAlt);
    EXPECT_EQ(Clicks, 2);
    Edit->EditorEnabled = true;
    Type("d");
    EXPECT_EQ(Edit->Text(), "abcd");
}

TEST_F(SgEditBtnTest, TextAndUnitSplitsOnTheFirstUnitInListOrder)
{
    struct Case {
        QStringList Units;
        const char* Value;
        const char* Text;
        const char* Unit;
    } cases[] = {
        {{"kg", "g"}, "12kg", "12", "kg"},
        {{"g", "kg"}, "12kg", "12k", "g"},
        {{"kg", "g"}, "5 g", "5 ", "g"},
        {{"kg"}, "7lb", "seed", "old"},  // no unit matches: nothing changes
    };
    for (const Case& c : cases) {
        TStringList units;
        for (const QString& u : c.Units)
            units.Add(u);
        Unit->SetUnits(&units);
        Unit->SetText("seed");
        Unit->SetUnitID("old");
        Unit->SetTextAndUnit(QString::fromLatin1(c.Value));
        EXPECT_EQ(Unit->Text(), QString::fromLatin1(c.Text)) << c.Value;
        EXPECT_EQ(Unit->UnitID(), QString::fromLatin1(c.Unit)) << c.Value;
        EXPECT_EQ(Unit->TextAndUnit(), QString::fromLatin1(c.Text) + QString::fromLatin1(c.Unit));
    }
}

TEST_F(SgEditBtnTest, ChoosingAUnitFiresOnlyForAnotherUnit)
{
    TStringList units;
    units.Add("kg");
    units.Add("g");
    Unit->SetUnits(&units);
    Unit->SetUnitID("kg");
    QStringList fired;
    Unit->OnUnitChanged = [&](TObject*, const QString& u) { fired << u; };
    ChooseMenuItem("kg");
    ClickButton(Unit);
    EXPECT_TRUE(fired.isEmpty());
    ChooseMenuItem("g");
    ClickButton(Unit);
    EXPECT_EQ(fired, QStringList{"g"});
    EXPECT_EQ(Unit->UnitID(), "g");
    // The menu's choice is a WM_COMMAND with position + 1; an edit change
    // notice (code 768) and identifiers outside the list are ignored.
    Unit->Perform(WM_COMMAND, WPARAM(1) | (WPARAM(768) << 16), 0);
    Unit->Perform(WM_COMMAND, WPARAM(3), 0);
    EXPECT_EQ(Unit->UnitID(), "g");
    Unit->Perform(WM_COMMAND, WPARAM(1), 0);
    EXPECT_EQ(Unit->UnitID(), "kg");
    EXPECT_EQ(fired, (QStringList{"g", "kg"}));
    // Dismissing the menu changes nothing.
    ChooseMenuItem("none");
    ClickButton(Unit);
    EXPECT_EQ(Unit->UnitID(), "kg");
}

TEST_F(SgEditBtnTest, UnitSpaceZeroLeavesNoRoomForTheUnit)
{
    const int cw = Unit->ClientRect().Width();
    const int bw = Unit->Button()->Width();
    // 20 by default, with the 3-pixel gap.
    EXPECT_EQ(Unit->UnitSpace(), 20);
    EXPECT_EQ(Unit->FormattingRect().Right, cw - (bw + 20 + 5) - 3);
    Unit->SetUnitSpace(0);
    EXPECT_EQ(Unit->FormattingRect().Right, cw - (bw + 0 + 5));
    // The plain edit keeps no unit room either.
    EXPECT_EQ(Edit->FormattingRect().Right, Edit->ClientRect().Width() - (Edit->Button()->Width() + 5));
}

TEST_F(SgEditBtnTest, OwnButtonColoursFollowHoverAndPress)
{
    TSgEditButton* box = Edit->Button();
    box->ButtonColor = TColor(0x0000FF);
    box->ButtonColorHot = TColor(0x00FF00);
    box->ButtonColorDown = TColor(0xFF0000);
    TExSpeedButton* b = box->Button();
    auto face = [&] {
        QImage img(Form->Width(), Form->Height(), QImage::Format_ARGB32);
        Form->PaintTo(img, Point(0, 0));
        return b->LastFaceColor();
    };
    EXPECT_EQ(face(), TColor(0x0000FF));
    Input::MouseMove(b, 3, 3);
    EXPECT_TRUE(b->Hot());
    EXPECT_EQ(face(), TColor(0x00FF00));
    Input::MouseDown(b, mbLeft, 3, 3);
    EXPECT_EQ(face(), TColor(0xFF0000));
    Input::MouseUp(b, mbLeft, 3, 3);
    Input::MouseLeave();
    EXPECT_FALSE(b->Hot());
}

// ---------------------------------------------------------------------------
// The grid's editors
// ---------------------------------------------------------------------------

namespace {
// Column 1 edEditBtn, 2 edNumericEditBtn, 3 edFloatEditBtn, 4 edButton;
// column 5 edUnitEditBtn.
class GridEditBtnTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 700, 400);
        CGrid = NewObject<TExColumnGrid>(Form);
        CGrid->SetParent(Form);
        CGrid->SetBounds(0, 0, 650, 300);
        CGrid->SetColCount(6);
        CGrid->SetOptions(CGrid->Options() | goEditing);
        const TEditorType kinds[] = {edEditBtn, edNumericEditBtn, edFloatEditBtn, edButton, edUnitEditBtn};
        for (int i = 0; i < 5; ++i)
            CGrid->Columns()->Items(i + 1)->SetEditor(kinds[i]);
        Grid = CGrid;
        Form->Show();
        Grid->SetFocus();
        DrainPostedMessages();
        Beeps = MessageBeepCount();
    }
    void TearDown() override
    {
        TPopupMenu::SetChooser(nullptr);
        EditingTest::TearDown();
    }
    void Open(int c, int r)
    {
        Grid->SetRow(r);
        Grid->SetCol(c);
        Grid->StoreOldCell(c, r);
        Key(VK_F2);
    }
    TGridEditBtn* Btn() { return Grid->BtnEdit(); }
    void TypeAt(int pos, const QString& s)
    {
        Btn()->SetSelStart(pos);
        Btn()->SetSelLength(0);
        Type(s);
    }
    int NewBeeps() { return MessageBeepCount() - Beeps; }
    TExColumnGrid* CGrid = nullptr;
    int Beeps = 0;
};
} // namespace

TEST_F(GridEditBtnTest, AnEditButtonCellOpensWithoutTheHookAndCommitsItsText)
{
    int hooks = 0;
    Grid->OnGetEditorProp = [&](TObject*, int, int, TObject*) { ++hooks; };
    Grid->SetCells(1, 2, "hello");
    Open(1, 2);
    ASSERT_TRUE(Btn()->Visible());
    EXPECT_EQ(Btn()->Text(), "hello");
    EXPECT_EQ(Btn()->ButtonCaption(), "...");
    EXPECT_EQ(hooks, 0);
    // The button hands the text to OnEllipsClick, which may change it.
    Grid->OnEllipsClick = [](TObject*, int c, int r, QString& s) { s += QString("@%1,%2").arg(c).arg(r); };
    Btn()->ClickBtn(Btn()->Button());
    EXPECT_EQ(Btn()->Text(), "hello@1,2");
    EXPECT_EQ(Btn()->SelLength(), Btn()->Text().size());
    Key(VK_RETURN);
    EXPECT_FALSE(Btn()->Visible());
    EXPECT_EQ(Grid->Cells(1, 2), "hello@1,2");
    // Escape restores the text from before the edit.
    Open(1, 2);
    Btn()->SetText("other");
    Key(VK_ESCAPE);
    EXPECT_FALSE(Btn()->Visible());
    EXPECT_EQ(Grid->Cells(1, 2), "hello@1,2");
}

TEST_F(GridEditBtnTest, TheFloatEditorKeepsOneSeparatorAndRefusesAMinusInside)
{
    Grid->SetCells(3, 1, "");
    Open(3, 1);
    ASSERT_TRUE(Btn()->Visible());
    Btn()->SetText("");
    Type("1..5");
    EXPECT_EQ(Btn()->Text(), "1.5");
    EXPECT_EQ(NewBeeps(), 0);  // the second separator is dropped silently
    Type(",");                 // the thousand separator too
    EXPECT_EQ(Btn()->Text(), "1.5");
    EXPECT_EQ(NewBeeps(), 0);
    TypeAt(1, "-");
    EXPECT_EQ(Btn()->Text(), "1.5");
    EXPECT_EQ(NewBeeps(), 1);
    TypeAt(0, "-");
    EXPECT_EQ(Btn()->Text(), "-1.5");
    Type("x");  // outside the set without Ctrl: dropped, no beep
    EXPECT_EQ(Btn()->Text(), "-1.5");
    EXPECT_EQ(NewBeeps(), 1);
}

TEST_F(GridEditBtnTest, TheNumericEditorBeepsAtLetters)
{
    Open(2, 1);
    ASSERT_TRUE(Btn()->Visible());
    Btn()->SetText("");
    Type("1a2");
    EXPECT_EQ(Btn()->Text(), "12");
    EXPECT_EQ(NewBeeps(), 1);
    TypeAt(1, "-");
    EXPECT_EQ(Btn()->Text(), "12");
    EXPECT_EQ(NewBeeps(), 2);
    TypeAt(0, "-");
    EXPECT_EQ(Btn()->Text(), "-12");
    TypeAt(0, "-");  // only one
    EXPECT_EQ(Btn()->Text(), "-12");
    EXPECT_EQ(NewBeeps(), 3);
}

TEST_F(GridEditBtnTest, APastedTextEndingInItsOnlyLineBreakLosesIt)
{
    Open(1, 1);
    ASSERT_TRUE(Btn()->Visible());
    struct Case {
        const char* Clip;
        const char* Expected;
    } cases[] = {{"abc\r\n", "xabcy"}, {"a\r\nb\r\n", "xa\r\nb\r\ny"}, {"abc", "xabcy"}};
    for (const Case& c : cases) {
        Btn()->SetText("xy");
        Btn()->SetSelStart(1);
        Btn()->SetSelLength(0);
        Clipboard()->SetAsText(QString::fromLatin1(c.Clip));
        Btn()->Perform(WM_PASTE, 0, 0);
        EXPECT_EQ(Btn()->Text(), QString::fromLatin1(c.Expected)) << c.Clip;
    }
    // OnClipboardPaste may refuse.
    Grid->OnClipboardPaste = [](TObject*, bool& allow) { allow = false; };
    Btn()->SetText("xy");
    Btn()->Perform(WM_PASTE, 0, 0);
    EXPECT_EQ(Btn()->Text(), "xy");
}

TEST_F(GridEditBtnTest, LeftInTheButtonEditorMovesTheCellAndHidesTheButton)
{
    int clicks = 0;
    Grid->OnButtonClick = [&](TObject*, int, int) { ++clicks; };
    Grid->SetCells(4, 3, "Press");
    Open(4, 3);
    TGridButton* b = Grid->Btn();
    ASSERT_TRUE(b->Visible());
    EXPECT_EQ(b->Caption(), "Press");
    EXPECT_TRUE(b->Focused());
    Key(VK_LEFT);
    EXPECT_FALSE(b->Visible());
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(clicks, 0);
    // Space exchanges the caption through OnEllipsClick into the cell.
    Grid->OnEllipsClick = [](TObject*, int, int, QString& s) { s = s.toUpper(); };
    Open(4, 3);
    ASSERT_TRUE(b->Visible());
    Key(VK_SPACE);
    EXPECT_EQ(b->Caption(), "PRESS");
    EXPECT_EQ(Grid->Cells(4, 3), "PRESS");
}

TEST_F(GridEditBtnTest, TheUnitEditorSplitsTheCellAndWritesValueAndUnit)
{
    TStringList units;
    units.Add("kg");
    units.Add("g");
    Grid->BtnUnitEdit()->SetUnits(&units);
    QStringList fired;
    Grid->OnUnitChanged = [&](TObject*, int c, int r, const QString& u) { fired << QString("%1,%2,%3").arg(c).arg(r).arg(u); };
    Grid->SetCells(5, 2, "12kg");
    Open(5, 2);
    TGridUnitEditBtn* u = Grid->BtnUnitEdit();
    ASSERT_TRUE(u->Visible());
    EXPECT_EQ(u->Text(), "12");
    EXPECT_EQ(u->UnitID(), "kg");
    ChooseMenuItem("kg");
    u->ClickBtn(u);
    EXPECT_TRUE(fired.isEmpty());
    ChooseMenuItem("g");
    u->ClickBtn(u);
    EXPECT_EQ(fired, QStringList{"5,2,g"});
    Key(VK_RETURN);
    EXPECT_FALSE(u->Visible());
    EXPECT_EQ(Grid->Cells(5, 2), "12g");
    // A value that ends in no unit is kept whole.
    Grid->SetCells(5, 3, "42");
    Open(5, 3);
    EXPECT_EQ(u->Text(), "42");
    Key(VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(5, 3), "42");
}
