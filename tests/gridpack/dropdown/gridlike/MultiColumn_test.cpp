// The multi-column drop-down: popup sizing, column stretch, type-ahead in
// the popup grid, completion in the edit, the wheel and cancel, styles.
#include "gridpack/dropdown/controls/DropDownKit.h"
#include "gridpack/dropdown/ExMultiColumnDropDown.h"

using namespace ExMultiCol;

class MultiColumnTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Multi = NewObject<TExMultiColumnDropDown>(Form);
        Multi->SetParent(Form);
        Multi->SetBounds(10, 40, 200, 21);
        Multi->OnSelect = [this](TObject*) { ++Selects; };
        Form->Show();
        Multi->SetFocus();
    }
    void TearDown() override {
        if (Multi->DroppedDown()) Multi->HideDropDown(false);
        DropDownTest::TearDown();
    }
    void Fill(std::initializer_list<const char*> texts, int columns = 1) {
        for (int c = 0; c < columns; ++c) Multi->Columns()->Add()->Header = QStringLiteral("H%1").arg(c);
        Multi->BeginUpdate();
        for (const char* t : texts) {
            TDropDownItem* it = Multi->Items()->Add();
            for (int c = 0; c < columns; ++c) it->Text()->Add(c == 0 ? QString::fromLatin1(t) : QStringLiteral("x"));
        }
        Multi->EndUpdate();
    }
    void HideStrips() {
        Multi->DropDownHeader()->SetVisible(false);
        Multi->DropDownFooter()->SetVisible(false);
    }
    QString Selected() const { return Multi->WholeText().mid(Multi->SelStart(), Multi->SelLength()); }
    TExMultiColumnDropDown* Multi = nullptr;
    int Selects = 0;
};

TEST_F(MultiColumnTest, ConstructionDefaultsAndStyles) {
    EXPECT_EQ(Multi->HeaderFont()->Color(), TColor(0x723708)) << "the base's Luna style reaches the header font";
    EXPECT_EQ(Multi->HeaderColor, TColor(0xFFFFFF));
    EXPECT_EQ(Multi->HeaderColorTo, TColor(0x808080));
    EXPECT_EQ(Multi->LineColor, TColor(0xF1EDEB));
    EXPECT_EQ(Multi->FixedLineColor, TColor(0xD1BBA4));
    EXPECT_EQ(Multi->DropDownHeight(), 200);
    EXPECT_EQ(Multi->ItemIndex(), -1);
    struct Case {
        TQORStyle style;
        TColor header, line, fixedLine, selText, selColor;
    };
    const Case cases[] = {
        {tsWindowsXP, clBtnFace, 0xC0C0C0, 0, clHighlightText, clHighlight},
        {tsTerminal, clBtnFace, 0x808080, 0x808080, clHighlightText, clHighlight},
        {tsOffice2010Blue, 0xEDDBCD, 0xEEDDCF, 0xEEDDCF, 0, 0x6CD0FF},
        {tsWindowsVista, 0xFFFDF9, 0xFCF2DA, 0xFCF2DA, 0, clNone},
    };
    for (const Case& c : cases) {
        Multi->SetComponentStyle(c.style);
        EXPECT_EQ(Multi->HeaderColor, c.header) << c.style;
        EXPECT_EQ(Multi->LineColor, c.line) << "the table's lines win over the selection style's " << c.style;
        EXPECT_EQ(Multi->FixedLineColor, c.fixedLine) << c.style;
        EXPECT_EQ(Multi->SelectionTextColor, c.selText) << c.style;
        if (c.selColor != clNone) {
            EXPECT_EQ(Multi->SelectionColor(), c.selColor) << c.style;
        }
    }
    // Assign carries the header font and the items' texts.
    Fill({"Apple"});
    Multi->HeaderFont()->SetColor(0x123456);
    auto* copy = NewObject<TExMultiColumnDropDown>(Form);
    copy->Assign(Multi);
    EXPECT_EQ(copy->HeaderFont()->Color(), TColor(0x123456));
    ASSERT_EQ(copy->Items()->Count(), 1);
    EXPECT_EQ(copy->Items()->Items(0)->Line(0), QStringLiteral("Apple"));
}

TEST_F(MultiColumnTest, PopupHeightShowsWholeRows) {
    HideStrips();
    int h = 200;
    Multi->AdaptDropDownSize(h);
    EXPECT_EQ(h, 181) << "25 + 2 + 7 x 22";
    Fill({"a", "b", "c"});
    Multi->ShowDropDown();
    ASSERT_TRUE(Multi->DroppedDown());
    EXPECT_EQ(Multi->DropDownForm()->Height(), 181);
    Multi->HideDropDown(false);
    // A row height of 0 or less keeps the height it was given.
    for (int rh : {0, -5}) {
        Multi->DropDownRowHeight = rh;
        h = 200;
        Multi->AdaptDropDownSize(h);
        EXPECT_EQ(h, 200);
    }
}

TEST_F(MultiColumnTest, ColumnsStretchWithTheCarry) {
    struct Case {
        int columns, width;
        std::vector<int> widths;
    };
    const Case cases[] = {{4, 254, {63, 63, 63, 64}}, {3, 300, {100, 100, 100}}};
    for (const Case& c : cases) {
        Multi->Columns()->Clear();
        Multi->Items()->Clear();
        HideStrips();
        Fill({"a", "b", "c"}, c.columns);
        Multi->DropDownAutoWidth = false;
        Multi->SetDropDownWidth(c.width);
        Multi->ShowDropDown();
        ASSERT_TRUE(Multi->DroppedDown());
        ASSERT_EQ(Multi->DropDownForm()->Width(), c.width);
        TExColGrid* g = Multi->ExColGrid();
        ASSERT_EQ(g->ColCount(), c.columns);
        for (int i = 0; i < c.columns; ++i) EXPECT_EQ(g->ColWidths(i), c.widths[i]) << c.columns << " column " << i;
        EXPECT_EQ(Multi->Columns()->Items(0)->Width, 80) << "the columns themselves keep their width";
        Multi->HideDropDown(false);
        Multi->SetDropDownWidth(0);
        // The size a popup was left at wins at the next opening: start afresh.
        Multi->SetDropDownWidth(c.width);
    }
}

TEST_F(MultiColumnTest, AutoWidthIsTheColumnsAndTheBorder) {
    HideStrips();
    Fill({"a", "b"}, 3);
    Multi->Columns()->Items(1)->Width = 55;
    Multi->ColumnSizeWithDropDown = false;
    Multi->ShowDropDown();
    ASSERT_TRUE(Multi->DroppedDown());
    EXPECT_EQ(Multi->DropDownForm()->Width(), 80 + 55 + 80 + 2 * Multi->DropDownBorderWidth());
    EXPECT_EQ(Multi->ExColGrid()->ColWidths(1), 55);
}

TEST_F(MultiColumnTest, TypeAheadInThePopupGrid) {
    Fill({"Apple", "Banana", "Blueberry"});
    Multi->ShowDropDown();
    ASSERT_TRUE(Multi->DroppedDown());
    TExColGrid* g = Multi->ExColGrid();
    ASSERT_TRUE(g->Focused());
    Type("b");
    EXPECT_EQ(Multi->ItemIndex(), 1);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("Banana"));
    EXPECT_EQ(Selected(), QStringLiteral("anana"));
    Type("l");
    EXPECT_EQ(Multi->ItemIndex(), 2);
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("Blueberry"));
    EXPECT_EQ(Multi->LookupEntry(), QStringLiteral("bl"));
    Type("x");
    EXPECT_EQ(Multi->LookupEntry(), QString()) << "neither blx nor x is found";
    EXPECT_EQ(Multi->ItemIndex(), 2);
    // Backspace with the completed part selected removes exactly that part.
    Type("b");
    ASSERT_EQ(Selected(), QStringLiteral("anana"));
    Multi->LookupKey(QChar(VK_BACK));
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("B"));
    // Enter takes the current row and closes.
    Key(VK_RETURN);
    EXPECT_FALSE(Multi->DroppedDown());
    EXPECT_EQ(Multi->ItemIndex(), 1);
    EXPECT_EQ(Selects, 1);
}

TEST_F(MultiColumnTest, WheelMovesOnlyTheHighlightAndCancelRestores) {
    Fill({"Apple", "Banana", "Cherry", "Date"});
    Multi->SetItemIndex(0);
    Multi->ShowDropDown();
    TExColGrid* g = Multi->ExColGrid();
    ASSERT_EQ(g->Row(), 1);
    Input::Wheel(g, -120);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(Multi->ItemIndex(), 0) << "the wheel does not choose";
    // Deactivation accepts, but nothing was confirmed.
    Multi->DropDownForm()->Perform(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(Multi->DroppedDown());
    EXPECT_EQ(Multi->ItemIndex(), 0);
    // Keys choose at once; Esc gives the opening's item back.
    Multi->ShowDropDown();
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(Multi->ItemIndex(), 2);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Multi->DroppedDown());
    EXPECT_EQ(Multi->ItemIndex(), 0);
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("Apple"));
}

TEST_F(MultiColumnTest, ItemIndexWriterAndClosedKeys) {
    Fill({"Apple", "Banana"});
    Multi->SetItemIndex(1);
    Multi->SetItemIndex(2);
    EXPECT_EQ(Multi->ItemIndex(), 1) << "the item count is ignored";
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("Banana"));
    Multi->SetItemIndex(-1);
    EXPECT_EQ(Multi->WholeText(), QString());
    Key(VK_DOWN);
    EXPECT_EQ(Multi->ItemIndex(), 0);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(Multi->ItemIndex(), 1);
    Key(VK_PRIOR);
    EXPECT_EQ(Multi->ItemIndex(), 0);
    EXPECT_EQ(Multi->GetItemIndex("Banana"), 1);
    EXPECT_EQ(Multi->GetItemIndex("banana"), -1);
}

TEST_F(MultiColumnTest, CompletionInTheEdit) {
    Fill({"Apple", "Apricot"});
    Multi->SetText(QString());
    Key('A');
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("Apple")) << "the key-up writes the item's own text";
    EXPECT_EQ(Selected(), QStringLiteral("pple"));
    EXPECT_EQ(Multi->ItemIndex(), 0);
    Key('P');
    Key('R');
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("Apricot"));
    EXPECT_EQ(Multi->ItemIndex(), 1);
    Key(VK_BACK);
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("Apr")) << "Backspace turns completion off";
    Multi->SetText(QString());
    Type("xyz");
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("xyz"));
}

// The change handling selects the completed tail itself: a character that
// arrives without its key-up (a second key, an input method) leaves the
// tail selected too.
TEST_F(MultiColumnTest, CompletedTailIsSelectedWithoutTheKeyUp) {
    Fill({"Apple", "Banana", "Blueberry"});
    Multi->SetText(QString());
    Input::Char(QLatin1Char('b'));
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("banana"));
    EXPECT_EQ(Multi->SelStart(), 1);
    EXPECT_EQ(Multi->SelLength(), 5);
    EXPECT_EQ(Multi->ItemIndex(), 1);
    // A second character before any key-up goes on from the selection.
    Input::Char(QLatin1Char('l'));
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("blueberry"));
    EXPECT_EQ(Multi->SelStart(), 2);
    EXPECT_EQ(Multi->SelLength(), 7);
}

TEST_F(MultiColumnTest, LookupListLongerThanItemsFindsNothingPastThem) {
    Fill({"Apple", "Banana", "Cherry"});
    // Items removed at run time without EndUpdate: the list still has three.
    Multi->Items()->Delete(2);
    ASSERT_EQ(Multi->LookupItems()->Count(), 3);
    Multi->SetText(QString());
    Key('C');
    EXPECT_EQ(Multi->ItemIndex(), -1) << "no item index past the items";
    EXPECT_EQ(Multi->WholeText(), QStringLiteral("c"));
    Multi->SetText("Cherry");
    Key(VK_END);
    Key(VK_RETURN);
    EXPECT_EQ(Multi->ItemIndex(), -1);
    Multi->EndUpdate();
    EXPECT_EQ(Multi->LookupItems()->Count(), 2);
}

TEST_F(MultiColumnTest, WrappingRowsAreNeverLowerThan24) {
    Multi->Columns()->Add()->Wordwrap = true;
    Multi->Columns()->Items(0)->Width = 40;
    Multi->BeginUpdate();
    Multi->Items()->Add()->Text()->Add("x");
    Multi->Items()->Add()->Text()->Add("a rather long text that wraps over several lines");
    Multi->EndUpdate();
    Multi->ColumnSizeWithDropDown = false;
    Multi->ShowDropDown();
    TExColGrid* g = Multi->ExColGrid();
    EXPECT_EQ(g->RowHeights(1), 24) << "DropDownRowHeight 22 gives way";
    EXPECT_GT(g->RowHeights(2), 24);
    EXPECT_EQ(g->RowHeights(0), 25);
}
