// The grid drop-down: defaults and styles, popup sizing, lookup and
// completion, narrowing and sorting in the popup, the wheel, cancel, an
// editable popup grid, grid mode and the popup grid's events.
#include "gridpack/dropdown/controls/DropDownKit.h"
#include "gridpack/dropdown/ExGridDropDown.h"

using namespace ExGridDD;

class GridDropDownTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Drop = NewObject<TCustomExGridDropDown>(Form);
        Drop->SetParent(Form);
        Drop->SetBounds(10, 40, 200, 21);
        Drop->OnSelect = [this](TObject*) { ++Selects; };
        Form->Show();
        Drop->SetFocus();
    }
    void TearDown() override {
        if (Drop->DroppedDown()) Drop->HideDropDown(false);
        DropDownTest::TearDown();
    }
    // One item per text; the second column holds the text's length.
    void Fill(std::initializer_list<const char*> texts, int columns = 2) {
        for (int c = 0; c < columns; ++c) Drop->Columns()->Add()->Header = QStringLiteral("H%1").arg(c);
        Drop->BeginUpdate();
        for (const char* t : texts) {
            TDropDownItem* it = Drop->Items()->Add();
            it->Text()->Add(QString::fromLatin1(t));
            for (int c = 1; c < columns; ++c) it->Text()->Add(QString::number(qstrlen(t) * c));
        }
        Drop->EndUpdate();
    }
    void HideStrips() {
        Drop->DropDownHeader()->SetVisible(false);
        Drop->DropDownFooter()->SetVisible(false);
    }
    QString Selected() const { return Drop->WholeText().mid(Drop->SelStart(), Drop->SelLength()); }
    TCustomExGridDropDown* Drop = nullptr;
    int Selects = 0;
};

TEST_F(GridDropDownTest, ConstructionDefaultsAndStyles) {
    EXPECT_EQ(Drop->Version(), QStringLiteral("6.0.1.1"));
    EXPECT_EQ(Drop->HeaderColor, TColor(0xFFFFFF));
    EXPECT_EQ(Drop->HeaderColorTo, TColor(0x808080));
    EXPECT_EQ(Drop->HeaderFont()->Color(), TColor(0x723708));
    EXPECT_EQ(Drop->LineColor, TColor(0xF1EDEB));
    EXPECT_EQ(Drop->FixedLineColor, TColor(0xD1BBA4));
    EXPECT_EQ(Drop->SelectionTextColor, TColor(0));
    EXPECT_EQ(Drop->DropDownHeight(), 200);
    ASSERT_NE(Drop->GetGrid(), nullptr) << "the popup grid lives as long as the drop-down";
    EXPECT_EQ(Drop->Navigation()->HomeEndKey, heFirstLastRow);
    struct Case {
        TQORStyle style;
        TColor header, font, line, fixedLine, sel, selTo, selText;
    };
    const Case cases[] = {
        {tsWindowsXP, clBtnFace, 0, 0xC0C0C0, 0, clHighlight, clHighlight, clHighlightText},
        {tsTerminal, clBtnFace, 0, 0x808080, 0x808080, clHighlight, clHighlight, clHighlightText},
        {tsWindows7, 0xFDFBFA, 0, 0xFBD6B8, 0xFBD6B8, clNone, clNone, 0},
        {tsOffice2003Blue, 0xD68759, 0xFFFFFF, 0x962D00, 0x962D00, clNone, clNone, 0},
    };
    for (const Case& c : cases) {
        Drop->SelectionTextColor = 0x123456;
        Drop->SetComponentStyle(c.style);
        EXPECT_EQ(Drop->HeaderColor, c.header) << c.style;
        EXPECT_EQ(Drop->HeaderFont()->Color(), c.font) << c.style;
        EXPECT_EQ(Drop->LineColor, c.line) << c.style;
        EXPECT_EQ(Drop->FixedLineColor, c.fixedLine) << c.style;
        EXPECT_EQ(Drop->SelectionTextColor, c.selText) << c.style;
        if (c.sel != clNone) {
            EXPECT_EQ(Drop->SelectionColor(), c.sel) << c.style;
            EXPECT_EQ(Drop->SelectionColorTo(), c.selTo) << c.style;
        }
    }
    // The 2010 styles and tsCustom leave the drop-down's own colours alone.
    Drop->HeaderColor = 0x010203;
    Drop->SetComponentStyle(tsOffice2010Black);
    Drop->SetComponentStyle(tsCustom);
    EXPECT_EQ(Drop->HeaderColor, TColor(0x010203));
}

TEST_F(GridDropDownTest, PopupHeightShowsWholeRowsAndFourMore) {
    HideStrips();
    int h = 200;
    Drop->AdaptDropDownSize(h);
    EXPECT_EQ(h, 185) << "27 + 7 x 22 + 4";
    Fill({"a", "b", "c"});
    Drop->ShowDropDown();
    ASSERT_TRUE(Drop->DroppedDown());
    EXPECT_EQ(Drop->DropDownForm()->Height(), 185);
    Drop->HideDropDown(false);
    for (int rh : {0, -1}) {
        Drop->DropDownRowHeight = rh;
        h = 200;
        Drop->AdaptDropDownSize(h);
        EXPECT_EQ(h, 200) << "a row height of " << rh << " keeps the height";
    }
}

TEST_F(GridDropDownTest, ColumnsStretchWithTheCarry) {
    HideStrips();
    Fill({"a", "b"}, 6);
    for (int i = 0; i < 6; ++i) Drop->Columns()->Items(i)->Width = 10;
    Drop->AutoSizeColumns = false;
    Drop->DropDownAutoWidth = false;
    Drop->SetDropDownWidth(131);
    Drop->ShowDropDown();
    ASSERT_TRUE(Drop->DroppedDown());
    ASSERT_EQ(Drop->DropDownForm()->Width(), 131);
    TExColGrid* g = Drop->GetGrid();
    const int expected[] = {21, 21, 22, 21, 22, 21};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(g->ColWidths(i), expected[i]) << "column " << i;
    EXPECT_EQ(Drop->Columns()->Items(2)->Width, 10) << "the columns keep their own width";
    // The auto width: the columns and the border.
    Drop->HideDropDown(false);
    auto* other = NewObject<TCustomExGridDropDown>(Form);
    other->SetParent(Form);
    other->DropDownHeader()->SetVisible(false);
    other->DropDownFooter()->SetVisible(false);
    for (int w : {60, 45}) other->Columns()->Add()->Width = w;
    other->Items()->Add()->Text()->Add("x");
    other->ColumnSizeWithDropDown = false;
    other->ShowDropDown();
    ASSERT_TRUE(other->DroppedDown());
    EXPECT_EQ(other->DropDownForm()->Width(), 105 + 2 * other->DropDownBorderWidth());
    other->HideDropDown(false);
}

TEST_F(GridDropDownTest, CompletionInItemMode) {
    Fill({"Alpha", "Beta", "Bravo"});
    Key('B');
    EXPECT_EQ(Drop->WholeText(), QStringLiteral("Beta"));
    EXPECT_EQ(Selected(), QStringLiteral("eta"));
    EXPECT_EQ(Drop->ItemIndex(), 1);
    Key('R');
    EXPECT_EQ(Drop->WholeText(), QStringLiteral("Bravo"));
    EXPECT_EQ(Selected(), QStringLiteral("avo"));
    EXPECT_EQ(Drop->ItemIndex(), 2);
    // Backspace turns completion off: the next change does not complete.
    Key(VK_BACK);
    EXPECT_EQ(Drop->WholeText(), QStringLiteral("Br"));
    Drop->SetText(QString());
    // A text no lookup text begins is cut back to what stands left of the caret.
    Type("Bx");
    EXPECT_EQ(Drop->WholeText(), QStringLiteral("Bx"));
    EXPECT_EQ(Drop->ItemIndex(), 2) << "nothing found leaves the index";
}

TEST_F(GridDropDownTest, FindLookupRowFollowsCaseSensitive) {
    Fill({"Alpha", "Beta"});
    QString found;
    int row = -1;
    EXPECT_TRUE(Drop->FindLookupRow("ALPHA", found, row));
    EXPECT_EQ(found, QStringLiteral("Alpha")) << "the text as stored";
    EXPECT_EQ(row, 0);
    Drop->CaseSensitive = true;
    EXPECT_FALSE(Drop->FindLookupRow("ALPHA", found, row));
    EXPECT_EQ(row, -1);
    EXPECT_TRUE(Drop->FindLookupRow("Be", found, row));
    EXPECT_EQ(row, 1);
    EXPECT_FALSE(Drop->FindLookupRow(QString(), found, row)) << "an empty text matches nothing";
    // An item without the lookup line matches as an empty text.
    Drop->SetLookupColumn(3);
    EXPECT_FALSE(Drop->FindLookupRow("A", found, row));
}

TEST_F(GridDropDownTest, NarrowDownKeepsTheHeaderRow) {
    Fill({"Alpha", "Beta", "Bravo", "Charlie"});
    Drop->LookupMethod = lmNarrowDown;
    Drop->ShowDropDown();
    TExColGrid* g = Drop->GetGrid();
    ASSERT_EQ(g->RowCount(), 5);
    Type("b");
    EXPECT_EQ(g->RowCount(), 3);
    EXPECT_EQ(g->Cells(0, 0), QStringLiteral("H0")) << "the header row stays";
    EXPECT_EQ(g->Cells(0, 1), QStringLiteral("Beta"));
    EXPECT_EQ(Drop->WholeText(), QStringLiteral("Beta"));
    Type("r");
    EXPECT_EQ(g->RowCount(), 2);
    EXPECT_EQ(g->Cells(0, 1), QStringLiteral("Bravo"));
    // An entry of blanks only removes every filter.
    // Backspace typed in the popup gives up the entry.
    Type(QString(QChar(VK_BACK)));
    ASSERT_EQ(Drop->LookupEntry(), QString());
    Type(" ");
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_EQ(g->Cells(0, 4), QStringLiteral("Charlie"));
}

TEST_F(GridDropDownTest, HeaderClickSortKeepsTheChosenItem) {
    Fill({"Delta", "Bravo", "Charlie", "Alpha"});
    Drop->Sorting = gsSingleColumn;
    Drop->SetItemIndex(1);
    Drop->ShowDropDown();
    TExColGrid* g = Drop->GetGrid();
    ASSERT_EQ(g->Row(), 2);
    std::vector<int> fired;
    Drop->OnGridClickSort = [&](TObject*, int c) { fired.push_back(g->Row() * 10 + c); };
    const TRect header = g->CellRect(0, 0);
    Input::Click(g, header.Left + 5, header.Top + 5);
    ASSERT_EQ(g->Cells(0, 1), QStringLiteral("Alpha")) << "the popup sorted";
    EXPECT_EQ(g->Cells(0, 2), QStringLiteral("Bravo"));
    EXPECT_EQ(Drop->ItemIndex(), 1) << "Bravo is still the choice";
    EXPECT_EQ(g->Row(), 2);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], 20) << "OnGridClickSort fires after the current row was put back";
    // Another sort in the other direction moves Bravo, and the row with it.
    Input::Click(g, header.Left + 5, header.Top + 5);
    EXPECT_EQ(g->Cells(0, 3), QStringLiteral("Bravo"));
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(Drop->ItemOfRow(3), 1);
    EXPECT_EQ(Drop->RowOfItem(1), 3);
}

TEST_F(GridDropDownTest, WheelMovesTheHighlightOnlyAndCancelRestores) {
    Fill({"Alpha", "Beta", "Gamma", "Delta"});
    Drop->SetItemIndex(0);
    Drop->ShowDropDown();
    TExColGrid* g = Drop->GetGrid();
    ASSERT_EQ(g->Row(), 1);
    Input::Wheel(g, -120);
    EXPECT_GT(g->Row(), 1);
    EXPECT_EQ(Drop->ItemIndex(), 0);
    Drop->DropDownForm()->Perform(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(Drop->DroppedDown());
    EXPECT_EQ(Drop->ItemIndex(), 0) << "deactivation keeps the index the wheel did not change";
    // Keys choose at once; Esc restores the opening's index.
    Drop->ShowDropDown();
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(Drop->ItemIndex(), 2);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Drop->DroppedDown());
    EXPECT_EQ(Drop->ItemIndex(), 0);
    EXPECT_EQ(Drop->WholeText(), QStringLiteral("Alpha"));
    // Enter takes the row and fires OnSelect.
    Drop->ShowDropDown();
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_FALSE(Drop->DroppedDown());
    EXPECT_EQ(Drop->ItemIndex(), 1);
    EXPECT_EQ(Selects, 1);
}

TEST_F(GridDropDownTest, EditablePopupGridEnter) {
    Fill({"Alpha", "Beta"});
    Drop->GridEditable = true;
    Drop->RowSelect = false;
    Drop->ShowDropDown();
    TExColGrid* g = Drop->GetGrid();
    ASSERT_TRUE(g->Options() & goEditing);
    // Another column: Enter only closes the cell editor.
    g->FocusCell(1, 2);
    g->ShowInplaceEdit();
    ASSERT_TRUE(g->EditMode);
    Key(VK_RETURN);
    EXPECT_FALSE(g->EditMode);
    EXPECT_TRUE(Drop->DroppedDown());
    // The lookup column: Enter closes the popup, accepting the row.
    g->FocusCell(0, 2);
    g->ShowInplaceEdit();
    ASSERT_TRUE(g->EditMode);
    Key(VK_RETURN);
    EXPECT_FALSE(Drop->DroppedDown());
    EXPECT_EQ(Drop->ItemIndex(), 1);
    EXPECT_EQ(Drop->WholeText(), QStringLiteral("Beta"));
}

TEST_F(GridDropDownTest, ClosedKeysStepThroughTheChoices) {
    Fill({"Alpha", "Beta", "Gamma"});
    Key(VK_DOWN);
    EXPECT_EQ(Drop->ItemIndex(), 0);
    Key(VK_NEXT);
    EXPECT_EQ(Drop->ItemIndex(), 2) << "clamped to the last";
    Key(VK_UP);
    EXPECT_EQ(Drop->ItemIndex(), 1);
    Key(VK_HOME);
    EXPECT_EQ(Drop->ItemIndex(), 1) << "Home only acts in the list style";
    Drop->SetStyle(dsDropDownList);
    EXPECT_FALSE(Drop->EditorEnabled());
    Key(VK_HOME);
    EXPECT_EQ(Drop->ItemIndex(), 0);
    Key(VK_END);
    EXPECT_EQ(Drop->ItemIndex(), 2);
    Drop->SetItemIndex(3);
    EXPECT_EQ(Drop->ItemIndex(), 2) << "past the items is ignored";
    Drop->SetItemIndex(-1);
    EXPECT_EQ(Drop->WholeText(), QString());
}

TEST_F(GridDropDownTest, ListStyleRestartsTheEntryWithTheLastCharacter) {
    Fill({"Alpha", "Beta", "Bravo"});
    Drop->SetStyle(dsDropDownList);
    Drop->ShowDropDown();
    Type("br");
    EXPECT_EQ(Drop->ItemIndex(), 2);
    EXPECT_EQ(Drop->LookupEntry(), QStringLiteral("br"));
    Type("x");
    EXPECT_EQ(Drop->ItemIndex(), 2) << "neither brx nor x: the entry is cleared";
    EXPECT_EQ(Drop->LookupEntry(), QString());
    Type("ba");
    EXPECT_EQ(Drop->ItemIndex(), 0) << "ba is nothing: a alone finds Alpha";
    EXPECT_EQ(Drop->LookupEntry(), QStringLiteral("a"));
    EXPECT_EQ(Drop->GetGrid()->Row(), 1);
}

TEST_F(GridDropDownTest, LookupListLongerThanItemsFindsNothingPastThem) {
    Fill({"Alpha", "Beta", "Gamma"});
    Drop->Items()->Delete(2);
    ASSERT_EQ(Drop->LookupItems()->Count(), 3);
    Key('G');
    EXPECT_EQ(Drop->ItemIndex(), -1);
    EXPECT_EQ(Drop->WholeText(), QStringLiteral("g"));
    Drop->SetText("Gamma");
    Key(VK_END);
    Key(VK_RETURN);
    EXPECT_EQ(Drop->ItemIndex(), -1);
}

TEST_F(GridDropDownTest, GridMode) {
    Drop->UseItems = false;
    TExColGrid* g = Drop->GetGrid();
    g->SetColCount(2);
    g->SetRowCount(4);
    const char* names[] = {"Name", "Oslo", "Paris", "Porto"};
    for (int r = 0; r < 4; ++r) g->SetCells(0, r, names[r]);
    Drop->SetText("Pa");
    Drop->ShowDropDown();
    ASSERT_TRUE(Drop->DroppedDown());
    EXPECT_EQ(g->Row(), 2) << "the row the text finds becomes current";
    EXPECT_EQ(Drop->Columns()->Count(), 2) << "columns follow the grid's";
    Key(VK_DOWN);
    EXPECT_EQ(Drop->ItemIndex(), 2);
    EXPECT_EQ(Drop->WholeText(), QStringLiteral("Porto"));
    Key(VK_RETURN);
    EXPECT_FALSE(Drop->DroppedDown());
    EXPECT_EQ(Drop->ItemIndex(), 2);
    Drop->SetItemIndex(3);
    EXPECT_EQ(Drop->ItemIndex(), 2) << "only the three data rows are choices";
    QString found;
    int row = -1;
    EXPECT_TRUE(Drop->FindLookupRow("por", found, row));
    EXPECT_EQ(row, 3) << "grid mode answers the grid row";
}

TEST_F(GridDropDownTest, PopupGridEventsReachTheForm) {
    Fill({"Alpha", "Beta"});
    Drop->Columns()->Items(1)->Alignment = taRightJustify;
    Drop->Columns()->Items(1)->Color = 0x00FF00;
    TObject* sender = nullptr;
    bool blocked = false;
    int canSort = 0;
    Drop->OnGridTopLeftChanged = [&](TObject* s) { sender = s; };
    Drop->OnGridEllipsClick = [&](TObject*, int, int, QString&) { blocked = Drop->DropDownForm()->BlockActivate(); };
    Drop->OnGridCanSort = [&](TObject*, int, bool& doSort) {
        ++canSort;
        doSort = false;
    };
    Drop->ShowDropDown();
    TExColGrid* g = Drop->GetGrid();
    ASSERT_TRUE(g->OnTopLeftChanged);
    g->OnTopLeftChanged(g);
    EXPECT_EQ(sender, Drop) << "the drop-down is the sender";
    QString s;
    g->OnEllipsClick(g, 0, 1, s);
    EXPECT_TRUE(blocked);
    EXPECT_FALSE(Drop->DropDownForm()->BlockActivate());
    TAlignment h = taLeftJustify;
    TVAlignment v = vtaTop;
    g->OnGetAlignment(g, 1, 1, h, v);
    EXPECT_EQ(h, taRightJustify) << "the column's alignment when no handler changes it";
    TBrush brush;
    g->OnGetCellColor(g, 1, 1, 0, &brush, nullptr);
    EXPECT_EQ(brush.Color(), TColor(0x00FF00));
    bool isFloat = false;
    QString fmt = "%g";
    g->OnGetFloatFormat(g, 0, 1, isFloat, fmt);
    EXPECT_EQ(fmt, QString());
    // The grid's start of block focus keeps the popup open until its end.
    g->StartBlockFocus();
    EXPECT_TRUE(Drop->DropDownForm()->BlockActivate());
    g->EndBlockFocus();
    EXPECT_FALSE(Drop->DropDownForm()->BlockActivate());
    // OnGridCanSort is asked after the drop-down's own handler and may refuse.
    Drop->Sorting = gsSingleColumn;
    Drop->HideDropDown(false);
    Drop->ShowDropDown();
    const TRect header = g->CellRect(0, 0);
    Input::Click(g, header.Left + 5, header.Top + 5);
    EXPECT_EQ(canSort, 1);
    EXPECT_EQ(g->Cells(0, 1), QStringLiteral("Alpha"));
}

TEST_F(GridDropDownTest, AnchorSizingMoveSearchAndSpinEventsReachTheForm) {
    Fill({"Alpha", "Beta"});
    QStringList seen;
    const auto note = [&](const QString& what) { seen << what; };
    TObject* anchorSender = nullptr;
    Drop->OnGridAnchorEnter = [&](TObject* s, int r, int c, const QString& a) {
        anchorSender = s;
        note(QString("enter %1 %2 %3").arg(r).arg(c).arg(a));
    };
    Drop->OnGridAnchorExit = [&](TObject*, int, int, const QString& a) { note("exit " + a); };
    Drop->OnGridAnchorHint = [&](TObject*, int, int, QString& a) { a = "hint"; };
    Drop->OnGridColumnSizing = [&](TObject*, int c, int w) { note(QString("colsize %1 %2").arg(c).arg(w)); };
    Drop->OnGridRowSizing = [&](TObject*, int r, int h) { note(QString("rowsize %1 %2").arg(r).arg(h)); };
    Drop->OnGridColumnMove = [&](TObject*, int c, bool& a) {
        note(QString("colmove %1").arg(c));
        a = false;
    };
    Drop->OnGridRowMove = [&](TObject*, int r, bool&) { note(QString("rowmove %1").arg(r)); };
    Drop->OnGridSearchEditChange = [&](TObject*, const QString& v, bool& d) {
        note("search " + v);
        d = false;
    };
    Drop->OnGridSpinClick = [&](TObject*, int c, int r, int v, bool up) {
        note(QString("spin %1 %2 %3 %4").arg(c).arg(r).arg(v).arg(up));
    };
    Drop->OnGridRawCompare = [&](TObject*, int, int, int, int& res) { res = 7; };
    Drop->ShowDropDown();
    TExColGrid* g = Drop->GetGrid();
    ASSERT_TRUE(g->OnAnchorEnter && g->OnAnchorExit && g->OnAnchorHint && g->OnColumnSizing && g->OnRowSizing &&
                g->OnColumnMove && g->OnRowMove && g->OnSearchEditChange && g->OnSpinClick && g->OnRawCompare);
    EXPECT_FALSE(g->OnCustomCompare) << "an unassigned compare event stays out of sorting";
    g->OnAnchorEnter(g, 1, 0, "a1");
    g->OnAnchorExit(g, 1, 0, "a1");
    QString hint;
    g->OnAnchorHint(g, 1, 0, hint);
    g->OnColumnSizing(g, 0, 55);
    g->OnRowSizing(g, 2, 30);
    bool allow = true;
    g->OnColumnMove(g, 1, allow);
    EXPECT_FALSE(allow);
    g->OnRowMove(g, 2, allow);
    bool defaultSearch = true;
    g->OnSearchEditChange(g, "be", defaultSearch);
    EXPECT_FALSE(defaultSearch);
    g->OnSpinClick(g, 1, 2, 5, true);
    int res = 0;
    g->OnRawCompare(g, 0, 1, 2, res);
    EXPECT_EQ(res, 7);
    EXPECT_EQ(hint, "hint");
    EXPECT_EQ(anchorSender, g) << "the popup grid is the sender";
    EXPECT_EQ(seen, QStringList({"enter 1 0 a1", "exit a1", "colsize 0 55", "rowsize 2 30", "colmove 1", "rowmove 2",
                                 "search be", "spin 1 2 5 1"}));
}
