#include "CellsKit.h"

#include "gridpack/basegrid/RorIdad.h"

TEST_F(CellsTest, ActiveCellHeadersTakeTheActiveCellLook)
{
    NewGrid();
    Grid->SetActiveCellShow(true);
    Grid->SetCol(3);
    Grid->SetRow(5);
    EXPECT_EQ(Grid->ActiveCellColor(), TColor(0x808080));
    EXPECT_TRUE(Grid->ActiveCellFont()->Style() & fsBold);

    struct Case {
        int c, r;
        bool active;
    } cases[] = {{0, 5, true}, {3, 0, true}, {0, 0, false}, {3, 5, false}, {0, 4, false}, {2, 0, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.c << "," << k.r);
        TBrush brush;
        brush.SetColor(clWhite);
        TFont font;
        Grid->GetCellColor(k.c, k.r, 0, &brush, &font);
        EXPECT_EQ(brush.Color(), k.active ? TColor(0x808080) : clWhite);
        EXPECT_EQ(bool(font.Style() & fsBold), k.active);
    }

    // Without fixed columns only the column header is marked.
    Grid->SetFixedCols(0);
    TBrush brush;
    TFont font;
    brush.SetColor(clWhite);
    Grid->GetCellColor(0, 5, 0, &brush, &font);
    EXPECT_EQ(brush.Color(), clWhite);
}

TEST_F(CellsTest, CellPropertiesColourOnlyCellsThatDrawNoBackgroundOfTheirOwn)
{
    NewGrid();
    Grid->SetColors(1, 1, clRed);
    Grid->AddCheckBox(2, 1, false, false);
    Grid->SetColors(2, 1, clRed);
    TBrush brush;
    TFont font;
    brush.SetColor(clWhite);
    Grid->GetCellColor(1, 1, 0, &brush, &font);
    EXPECT_EQ(brush.Color(), clRed);
    brush.SetColor(clWhite);
    Grid->GetCellColor(2, 1, 0, &brush, &font);
    EXPECT_EQ(brush.Color(), clWhite);
}

TEST_F(CellsTest, EmptyFontPropertiesLeaveTheGridFont)
{
    NewGrid();
    Grid->SetColors(1, 1, clRed); // properties made from the grid's look
    TCellProperties* p = Grid->GetCellProperties(1, 1);
    p->FontSize = 0;
    p->FontName.clear();
    p->FontStyle = 0;
    p->FontColor = clNone;
    TBrush brush;
    TFont font;
    font.SetName("Courier New");
    font.SetSize(13);
    font.SetStyle(fsItalic);
    font.SetColor(clBlue);
    Grid->GetCellColor(1, 1, 0, &brush, &font);
    EXPECT_EQ(font.Name(), "Courier New");
    EXPECT_EQ(font.Size(), 13);
    EXPECT_EQ(font.Style(), TFontStyles(fsItalic));
    EXPECT_EQ(font.Color(), clBlue);

    p->FontSize = 10;
    p->FontName = "Arial";
    p->FontColor = clGreen;
    p->FontStyle = fsBold;
    Grid->GetCellColor(1, 1, 0, &brush, &font);
    EXPECT_EQ(font.Name(), "Arial");
    EXPECT_EQ(font.Size(), 10);
    EXPECT_EQ(font.Style(), TFontStyles(fsBold));
    EXPECT_EQ(font.Color(), clGreen);
}

TEST_F(CellsTest, GetCellColorFiresItsEventLastWithRowFirst)
{
    NewGrid();
    Grid->SetColors(2, 3, clRed);
    int seenRow = -1, seenCol = -1;
    Grid->OnGetCellColor = [&](TObject*, int r, int c, TGridDrawState, TBrush* b, TFont*) {
        seenRow = r;
        seenCol = c;
        EXPECT_EQ(b->Color(), clRed);
        b->SetColor(clYellow);
    };
    TBrush brush;
    TFont font;
    Grid->GetCellColor(2, 3, 0, &brush, &font);
    EXPECT_EQ(seenRow, 3);
    EXPECT_EQ(seenCol, 2);
    EXPECT_EQ(brush.Color(), clYellow);
}

TEST_F(CellsTest, FixedRowAlwaysKeepsTheOnlyRowFixed)
{
    NewGrid();
    Grid->FixedRowAlways = true;
    Grid->SetFixedRows(1);
    Grid->SetRowCount(1);
    for (int c = 0; c < Grid->ColCount(); ++c) {
        bool fixed = false;
        Grid->IsFixedCell(c, 0, fixed);
        EXPECT_TRUE(fixed) << c;
    }
    // The event can make a cell fixed, never a fixed cell normal.
    Grid->SetRowCount(5);
    int fired = 0;
    Grid->OnIsFixedCell = [&](TObject*, int r, int c, bool& f) {
        ++fired;
        f = r == 2 && c == 2;
    };
    bool fixed = false;
    Grid->IsFixedCell(2, 2, fixed);
    EXPECT_TRUE(fixed);
    fixed = false;
    Grid->IsFixedCell(0, 3, fixed);
    EXPECT_TRUE(fixed);
    EXPECT_EQ(fired, 1);
}

TEST_F(CellsTest, QueryCellEditAsksAboutTheMergeBaseCell)
{
    NewGrid();
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->MergeCells(1, 1, 2, 2);
    std::vector<std::pair<int, int>> asked;
    Grid->OnCanEditCell = [&](TObject*, int r, int c, bool&) { asked.push_back({c, r}); };
    bool can = true;
    Grid->QueryCellEdit(2, 2, can);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_pair(1, 1));
    EXPECT_TRUE(can);

    // A read-only base refuses; a column past the grid is always editable.
    Grid->SetReadOnly(1, 1, true);
    can = true;
    Grid->QueryCellEdit(2, 2, can);
    EXPECT_FALSE(can);
    can = false;
    Grid->QueryCellEdit(Grid->ColCount() + 3, 1, can);
    EXPECT_TRUE(can);
}

TEST_F(CellsTest, QueryCellEditWithoutEditingOptionRefusesCellsWithProperties)
{
    NewGrid();
    Grid->SetColors(1, 1, clRed);
    bool can = true;
    Grid->QueryCellEdit(1, 1, can);
    EXPECT_FALSE(can);
    Grid->FEditDisable = true;
    can = true;
    Grid->QueryCellEdit(1, 1, can);
    EXPECT_TRUE(can);
    // A cell without properties keeps the caller's value.
    Grid->FEditDisable = false;
    can = true;
    Grid->QueryCellEdit(2, 2, can);
    EXPECT_TRUE(can);
}

TEST_F(CellsTest, ComboEventsPassTheRowFirst)
{
    NewGrid();
    std::vector<std::pair<int, int>> seen;
    Grid->OnComboCloseUp = [&](TObject*, int r, int c) { seen.push_back({r, c}); };
    Grid->OnComboDropDown = [&](TObject*, int r, int c) { seen.push_back({r, c}); };
    Grid->ComboCloseUp(4, 2);
    Grid->ComboDropDown(6, 3);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(4, 2));
    EXPECT_EQ(seen[1], std::make_pair(6, 3));
}

TEST_F(CellsTest, ComboAndSpinButtonsShownByEventOrByTheAlwaysVisibleSettings)
{
    NewGrid();
    Grid->OnGetEditorType = [](TObject*, int c, int, TEditorType& e) {
        if (c == 1)
            e = edComboList;
        if (c == 2)
            e = edSpinEdit;
    };
    EXPECT_FALSE(Grid->HasComboBox(1, 1));
    Grid->ControlLook()->SetDropDownAlwaysVisible(true);
    EXPECT_TRUE(Grid->HasComboBox(1, 1));
    EXPECT_TRUE(Grid->HasComboBox(1, 0)); // fixed cells too
    EXPECT_FALSE(Grid->HasComboBox(2, 1));
    Grid->OnHasComboBox = [](TObject*, int, int, bool& has) { EXPECT_FALSE(has); };
    EXPECT_FALSE(Grid->HasComboBox(1, 1)); // only the event decides

    EXPECT_FALSE(Grid->HasSpinEdit(2, 1));
    Grid->ControlLook()->SetSpinButtonsAlwaysVisible(true);
    EXPECT_TRUE(Grid->HasSpinEdit(2, 1));
    EXPECT_FALSE(Grid->HasSpinEdit(2, 0));
}

TEST_F(CellsTest, NoEditorCellOnlyWithAnEventAnsweringNone)
{
    NewGrid();
    EXPECT_FALSE(Grid->IsNoEditorCell(1, 1));
    Grid->OnGetEditorType = [](TObject*, int c, int, TEditorType& e) {
        EXPECT_EQ(e, edNormal);
        if (c == 2)
            e = edNone;
    };
    EXPECT_FALSE(Grid->IsNoEditorCell(1, 1));
    EXPECT_TRUE(Grid->IsNoEditorCell(2, 1));
}

TEST_F(CellsTest, WideHintReplacesThePlainHint)
{
    NewGrid();
    QString hint, wide;
    Grid->OnGridHint = [](TObject*, int r, int c, QString& h) { h = QString("r%1c%2").arg(r).arg(c); };
    Grid->GridHint(2, 3, hint, wide);
    EXPECT_EQ(hint, "r3c2");
    Grid->OnGridWideHint = [](TObject*, int, int, QString& h) { h = QString::fromUtf8("\u00e9t\u00e9"); };
    Grid->GridHint(2, 3, hint, wide);
    EXPECT_EQ(hint, EncodeWideText(QString::fromUtf8("\u00e9t\u00e9")));
}

TEST_F(CellsTest, ColumnFilterListsEachValueOnceWithPairsForTextsWithBlanks)
{
    NewGrid();
    Grid->FilterDropDownAuto = true;
    Grid->SetRowCount(5);
    Grid->SetCellEx(1, 1, "x");
    Grid->SetCellEx(1, 2, "x");
    Grid->SetCellEx(1, 3, "");
    Grid->SetCellEx(1, 4, " a b ");
    EXPECT_TRUE(Grid->GetColumnFilter(1));
    const TStringList* l = Grid->FilterList();
    ASSERT_EQ(l->Count(), 4);
    EXPECT_EQ(l->Strings(0), "(All)");
    EXPECT_EQ(l->Strings(1), "");
    EXPECT_EQ(l->Strings(2), "a b=\"a b\"");
    EXPECT_EQ(l->Names(2), "a b");
    EXPECT_EQ(l->Strings(3), "x");

    Grid->FilterDropDownAuto = false;
    EXPECT_FALSE(Grid->GetColumnFilter(1));
    EXPECT_EQ(Grid->FilterList()->Count(), 0);
}

TEST_F(CellsTest, StoreOldCellTakesTheRealColumnsRawText)
{
    NewGrid();
    Grid->SetCellEx(3, 2, "three");
    Grid->HideColumn(1);
    Grid->Modified = true;
    Grid->StoreOldCell(2, 2);
    EXPECT_EQ(Grid->FOldCol, 2);
    EXPECT_EQ(Grid->FOldRow, 2);
    EXPECT_EQ(Grid->FOldCellText, "three");
    EXPECT_TRUE(Grid->FOldModifiedValue);
}

TEST_F(CellsTest, CellFontIsTheGridFontWithoutProperties)
{
    NewGrid();
    EXPECT_EQ(Grid->GetCellFont(1, 1), Grid->Font());
    Grid->SetFontSizes(1, 1, 14);
    Grid->SetFontNames(1, 1, "Arial");
    TFont* f = Grid->GetCellFont(1, 1);
    EXPECT_NE(f, Grid->Font());
    EXPECT_EQ(f->Size(), 14);
    EXPECT_EQ(f->Name(), "Arial");
}

namespace {
// The grid's fixed-cell test as the editing engine answers it.
class TFixedAwareGrid : public TExStringGrid {
public:
    using TExStringGrid::TExStringGrid;
    bool IsFixed(int ACol, int ARow) override
    {
        bool fixed = false;
        IsFixedCell(ACol, ARow, fixed);
        return fixed;
    }
};
} // namespace

TEST_F(CellsTest, NewPropertiesOfAHeaderCellKeepNoColour)
{
    NewGrid<TFixedAwareGrid>();
    Grid->SetAlignments(2, 0, taCenter);
    Grid->SetAlignments(2, 3, taCenter);
    EXPECT_EQ(Grid->GetColors(2, 0), clNone);
    EXPECT_NE(Grid->GetColors(2, 3), clNone);
}

TEST_F(CellsTest, CheckTextHooksStartFromTheGridTexts)
{
    NewGrid();
    Grid->CheckTrue = "T";
    QString v;
    Grid->GetCheckTrue(1, 1, v);
    EXPECT_EQ(v, "T");
    Grid->GetCheckFalse(1, 1, v);
    EXPECT_EQ(v, "N");
}
