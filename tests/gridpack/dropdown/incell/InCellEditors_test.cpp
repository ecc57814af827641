// The string grid's drop-down editors inside cells: opening through the
// registered factories, the keys that commit, cancel, validate and leave,
// the relayed events and the caret from the opening click.
#include "DropDownProbe.h"

#include "gridpack/stringgrid/inplace/EditTestKit.h"
#include "gridpack/stringgrid/ExGridEditors.h"
#include "platform/core/FormatSettings.h"

namespace {
// Columns 1 calculator, 2 colour picker, 3 memo, 4 track bar.
class InCellTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        RegisterGridDropDownEditors();
        NewGrid();
        Grid->OnGetEditorType = [](TObject*, int ACol, int, TEditorType& E) {
            static const TEditorType kinds[] = {edNormal, edCalculatorDropDown, edColorPickerDropDown,
                                                edMemoDropDown, edTrackbarDropDown};
            E = kinds[ACol];
        };
        Grid->SetCells(1, 2, "5");
        Grid->SetCells(1, 3, "12");
        Grid->SetCells(4, 2, "3");
    }
    // Opens the editor of (c, r) with F2.
    void Open(int c, int r)
    {
        Grid->SetRow(r);
        Grid->SetCol(c);
        Grid->StoreOldCell(c, r);
        Key(VK_F2);
    }
    TWinControl* Editor(TEditorType k) { return Grid->KindEditorIfMade(k); }
    TCustomEdit* Edit(TEditorType k) { return dynamic_cast<TCustomEdit*>(Editor(k)); }
    bool Up(TEditorType k) { return Editor(k) && Editor(k)->Visible(); }
};
} // namespace

TEST_F(InCellTest, EveryMadeEditorHasItsPopup)
{
    // The factory finishes construction, which makes the popup and its
    // button: each kind drops down.
    const struct {
        int Col;
        TEditorType Kind;
    } cases[] = {{1, edCalculatorDropDown}, {2, edColorPickerDropDown}, {3, edMemoDropDown}, {4, edTrackbarDropDown}};
    for (const auto& c : cases) {
        Open(c.Col, 2);
        TWinControl* ed = Editor(c.Kind);
        ASSERT_NE(ed, nullptr) << c.Col;
        ProbeDropDown(ed);
        EXPECT_TRUE(ProbeDroppedDown(ed)) << c.Col;
        ProbeHideDropDown(ed);
        Key(VK_ESCAPE);
    }
}

TEST_F(InCellTest, TheFactoryMakesEachEditorOnceOwnedByTheGrid)
{
    EXPECT_EQ(Editor(edCalculatorDropDown), nullptr);
    Open(1, 2);
    TWinControl* calc = Editor(edCalculatorDropDown);
    ASSERT_NE(calc, nullptr);
    EXPECT_EQ(calc->ClassName(), "TGridCalculatorDropDown");
    EXPECT_EQ(calc->Owner(), Grid);
    EXPECT_EQ(calc->Parent(), Grid);
    EXPECT_TRUE(calc->Visible());
    EXPECT_TRUE(calc->Focused());
    // The calculator shows the value with its two decimals.
    EXPECT_EQ(ProbeText(calc), "5.00");
    // Laid over the cell.
    const TRect r = Grid->CellRect(1, 2);
    EXPECT_EQ(calc->Left(), r.Left);
    EXPECT_EQ(calc->Top(), r.Top);
    Key(VK_ESCAPE);
    EXPECT_FALSE(calc->Visible());
    EXPECT_FALSE(calc->Enabled());
    Open(1, 3);
    EXPECT_EQ(Editor(edCalculatorDropDown), calc);
    EXPECT_EQ(ProbeText(calc), "12.00");
    // A wrapper needs a grid for its owner.
    GridUnitStartup();
    EXPECT_THROW(FindClass("TGridMemoDropDown").Create(), EInvalidCast);
    GridUnitCleanup();
}

TEST_F(InCellTest, EnterInTheCalculatorCommitsThePendingResult)
{
    Open(1, 2);
    Type("+3");
    EXPECT_EQ(ProbeText(Editor(edCalculatorDropDown)), "3.00");
    EXPECT_NE(ProbeCalcPending(Editor(edCalculatorDropDown)), -1);
    Key(VK_RETURN);
    EXPECT_FALSE(Up(edCalculatorDropDown));
    EXPECT_EQ(Grid->Cells(1, 2), "8.00");
    EXPECT_TRUE(Grid->Focused());
}

TEST_F(InCellTest, EscPutsTheCellBackAndCloses)
{
    Open(1, 2);
    Type("77");
    EXPECT_EQ(ProbeText(Editor(edCalculatorDropDown)), "77");
    Key(VK_ESCAPE);
    EXPECT_FALSE(Up(edCalculatorDropDown));
    EXPECT_EQ(Grid->Cells(1, 2), "5");
    EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(InCellTest, ARefusedValueKeepsTheEditorOpen)
{
    Grid->Navigation()->AdvanceOnEnter = true;
    Grid->Navigation()->AdvanceAutoEdit = false;
    Grid->OnCellValidate = [](TObject*, int, int, QString& Value, bool& Valid) { Valid = Value.toDouble() < 50; };
    Open(1, 2);
    TCustomEdit* ed = Edit(edCalculatorDropDown);
    Type("77");
    Key(VK_RETURN);
    // Still open, the replacement text (the typed value) all selected, no
    // advance.
    EXPECT_TRUE(Up(edCalculatorDropDown));
    EXPECT_TRUE(ed->Focused());
    EXPECT_EQ(ProbeText(ed), "77.00");
    EXPECT_EQ(ed->SelStart(), 0);
    EXPECT_EQ(ed->SelLength(), 5);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Grid->Cells(1, 2), "5");
    // After Tab the caret stands at the end.
    Key(VK_TAB);
    EXPECT_TRUE(Up(edCalculatorDropDown));
    EXPECT_EQ(ed->SelLength(), 0);
    EXPECT_EQ(ed->SelStart(), 5);
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Cells(1, 2), "5");
    // An accepted value commits, and Enter advances.
    ed->SelectAll();
    Type("7");
    Key(VK_RETURN);
    EXPECT_FALSE(Up(edCalculatorDropDown));
    EXPECT_EQ(Grid->Cells(1, 2), "7.00");
    EXPECT_EQ(Grid->Col(), 2);
}

TEST_F(InCellTest, AdvanceWithAutoEditReopensOnTheNextCell)
{
    Grid->Navigation()->AdvanceOnEnter = true;
    Grid->Navigation()->AdvanceAutoEdit = true;
    Open(1, 2);
    Key(VK_RETURN);
    EXPECT_FALSE(Up(edCalculatorDropDown));
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_TRUE(Up(edColorPickerDropDown));
}

TEST_F(InCellTest, WithoutValidationTabEndsTheEditThroughTheGrid)
{
    ASSERT_FALSE(Grid->HasCellValidation());
    Open(4, 2);
    EXPECT_EQ(ProbeText(Editor(edTrackbarDropDown)), "3");
    Key(VK_RIGHT);
    Key(VK_TAB);
    EXPECT_FALSE(Up(edTrackbarDropDown));
    EXPECT_FALSE(Grid->EditMode);
}

TEST_F(InCellTest, UpAndHomeInTheColourEditorLeaveThroughTheGrid)
{
    // Up: no validation step of its own, the grid moves up.
    int validations = 0;
    Grid->OnCellValidate = [&](TObject*, int, int, QString&, bool&) { ++validations; };
    Open(2, 3);
    ASSERT_TRUE(Up(edColorPickerDropDown));
    EXPECT_FALSE(ProbeDroppedDown(Editor(edColorPickerDropDown)));
    Key(VK_UP);
    EXPECT_FALSE(Up(edColorPickerDropDown));
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(validations, 0);
    // Home ends the edit too.
    Open(2, 3);
    Key(VK_HOME);
    EXPECT_FALSE(Up(edColorPickerDropDown));
    // In the other editors Home stays in the editor.
    Open(1, 3);
    Key(VK_HOME);
    EXPECT_TRUE(Up(edCalculatorDropDown));
    EXPECT_EQ(Edit(edCalculatorDropDown)->SelStart(), 0);
    // Enter commits the colour: its text and the cell colour.
    Key(VK_ESCAPE);
    TColor picked = clNone;
    Grid->OnColorSelected = [&](TObject*, int c, int r, TColor& C, QString&) {
        EXPECT_EQ(c, 2);
        EXPECT_EQ(r, 4);
        picked = C;
        C = TColor(0x00FF00);
    };
    Grid->SetColors(2, 4, TColor(0x0000FF));
    Open(2, 4);
    Key(VK_RETURN);
    EXPECT_FALSE(Up(edColorPickerDropDown));
    EXPECT_EQ(picked, TColor(0x0000FF));
    EXPECT_EQ(Grid->GetColors(2, 4), TColor(0x00FF00));
}

TEST_F(InCellTest, TheGridsKeyPressSeesEnterEscAndTab)
{
    QList<int> keys;
    QList<TObject*> senders;
    Grid->OnKeyPress = [&](TObject* s, QChar& k) {
        keys << k.unicode();
        senders << s;
    };
    Open(1, 2);
    TWinControl* ed = Editor(edCalculatorDropDown);
    int changes = 0;
    Grid->OnEditChange = [&](TObject* s, int c, int r, const QString& v) {
        EXPECT_EQ(s, Grid);
        EXPECT_EQ(c, 1);
        EXPECT_EQ(r, 2);
        EXPECT_EQ(v, "9");
        ++changes;
    };
    Type("9");
    EXPECT_EQ(changes, 1);
    // Enter, Esc and Tab reach the event before the editor drops them.
    for (unsigned ch : {13u, 27u, 9u})
        ed->Perform(WM_CHAR, ch, 0);
    ASSERT_EQ(keys.size(), 4);
    EXPECT_EQ(keys, (QList<int>{'9', 13, 27, 9}));
    for (TObject* s : senders)
        EXPECT_EQ(s, ed);
    EXPECT_EQ(ProbeText(ed), "9");
}

TEST_F(InCellTest, AClickThatOpensTheMemoPutsTheCaretThere)
{
    Grid->SetCells(3, 2, "abcdefgh");
    Grid->MouseActions()->CaretPositioning = true;
    Grid->MouseActions()->DirectEdit = true;
    const TRect rc = Grid->CellRect(3, 2);
    // Somewhere over the fifth character.
    TCanvas* c = Grid->Canvas();
    c->Font().Assign(*Grid->Font());
    const int x = rc.Left + 2 + c->TextWidth("abcd") + 1;
    Input::Click(Grid, x, (rc.Top + rc.Bottom) / 2);
    DrainPostedMessages();
    ASSERT_TRUE(Up(edMemoDropDown));
    TCustomEdit* ed = Edit(edMemoDropDown);
    // The character under the click in the editor's own coordinates.
    const TPoint at = ed->ScreenToClient(Grid->ClientToScreen(Point(x, (rc.Top + rc.Bottom) / 2)));
    const int clicked = ed->CharFromPos(at);
    EXPECT_GE(clicked, 3);
    EXPECT_EQ(ed->SelStart(), clicked);
    EXPECT_EQ(ed->SelLength(), 0);
    EXPECT_FALSE(Grid->LButFlg);
    // Committed as lines.
    Key(VK_RETURN);
    EXPECT_FALSE(Up(edMemoDropDown));
    EXPECT_EQ(Grid->Cells(3, 2), "abcdefgh\r\n");
    // Opened by a key the editor keeps the base's selection.
    Grid->SetCells(3, 3, "abcdefgh");
    Open(3, 3);
    ASSERT_TRUE(Up(edMemoDropDown));
    EXPECT_FALSE(ed->SelStart() == clicked && ed->SelLength() == 0);
}

// ---------------------------------------------------------------------------
// The date-and-time editor
// ---------------------------------------------------------------------------

namespace {
class GridDateTimeTest : public InCellTest {
protected:
    void SetUp() override
    {
        Saved = FormatSettings;
        FormatSettings.DateSeparator = QLatin1Char('/');
        FormatSettings.TimeSeparator = QLatin1Char(':');
        FormatSettings.ShortDateFormat = "dd/mm/yyyy";
        FormatSettings.ShortTimeFormat = "hh:nn";
        FormatSettings.LongTimeFormat = "hh:nn:ss";
        SetNowHook([] { return EncodeDate(2026, 12, 10) + EncodeTime(15, 4, 0, 0); });
        InCellTest::SetUp();
        Grid->OnGetEditorType = [](TObject*, int ACol, int, TEditorType& E) {
            E = ACol == 2 ? edDateTimeEdit : edNormal;
        };
    }
    void TearDown() override
    {
        InCellTest::TearDown();
        SetNowHook(nullptr);
        FormatSettings = Saved;
    }
    TWinControl* Picker() { return Editor(edDateTimeEdit); }
    TFormatSettings Saved;
};
} // namespace

TEST_F(GridDateTimeTest, OpensOnTheCellsValueAndWritesDateAndTime)
{
    Grid->SetCells(2, 2, "15/03/2026 10:20");
    Open(2, 2);
    ASSERT_NE(Picker(), nullptr);
    EXPECT_EQ(Picker()->ClassName(), "TGridDateTimePicker");
    EXPECT_TRUE(Picker()->Visible());
    EXPECT_TRUE(ProbePickerHasCompanion(Picker()));
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", ProbePickerDateTime(Picker())), "2026-03-15 10:20");
    ProbeSetPickerDateTime(Picker(), EncodeDate(2026, 4, 1) + EncodeTime(7, 30, 0, 0));
    Key(VK_RETURN);
    EXPECT_FALSE(Picker()->Visible());
    EXPECT_EQ(Grid->Cells(2, 2), "01/04/2026 07:30");
    EXPECT_TRUE(Grid->Focused());
    // An empty (or unreadable) cell opens on now.
    Open(2, 3);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", ProbePickerDateTime(Picker())), "2026-12-10 15:04");
    // Unchecked, the cell becomes empty.
    ProbeSetChecked(Picker(), true, false);
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 3), "");
}

TEST_F(GridDateTimeTest, EscPutsTheStartingDateBackAndKeepsTheTime)
{
    Grid->SetCells(2, 2, "15/03/2026 10:20");
    Open(2, 2);
    ProbeSetPickerDateTime(Picker(), EncodeDate(2027, 1, 2) + EncodeTime(8, 0, 0, 0));
    Key(VK_ESCAPE);
    EXPECT_FALSE(Picker()->Visible());
    // The date part comes back; the time of day keeps its edit.
    EXPECT_EQ(Grid->Cells(2, 2), "15/03/2026 08:00");
}

TEST_F(InCellTest, TheGridUnitRegistersTheEditorClasses)
{
    const int before = GridUnitRegistrations();
    GridUnitStartup();
    for (const char* name :
         {"TExStringGrid", "TDropList", "TArrowWindow", "TGridCombo", "TGridSpin", "TGridTransEdit", "TGridTransCombo",
          "TGridCheckBox", "TGridEditBtn", "TGridDateTimePicker", "TGridUnitEditBtn", "TGridTrackbarDropDown",
          "TGridMemoDropDown", "TGridCalculatorDropDown", "TGridTimepickerDropDown", "TGridDetailPickerDropDown",
          "TGridGridDropDown", "TGridColorDropDown", "TGridImageDropDown", "TGridButton", "TGridDatePicker", "THeaderDragButton",
          "TControlEdit", "TControlCombo", "TScrollBar", "TExRichEdit", "TFooterPanel", "TSearchPanel"})
        EXPECT_EQ(FindClass(name).Name, name);
    // Every one of the unit's 28 classes registered.
    EXPECT_EQ(GridUnitRegistrations() - before, 28);
    GridUnitCleanup();
}
