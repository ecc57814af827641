#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Forms.h"
#include "support/ToolkitTest.h"

#include <gtest/gtest.h>

namespace {
// A column grid that counts whole-grid repaint requests.
class TProbeColumnGrid : public TExColumnGrid {
public:
    explicit TProbeColumnGrid(TComponent* owner) : TExColumnGrid(owner) {}
    int Invalidates = 0;
    void Invalidate() override
    {
        ++Invalidates;
        TExColumnGrid::Invalidate();
    }
    using TExColumnGrid::ColumnMoved;
    using TExColumnGrid::GetEditLimit;
    using TExColumnGrid::GetEditMask;
};

class ExCGridTest : public ToolkitTest {
protected:
    void TearDown() override
    {
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
    TProbeColumnGrid* NewGrid()
    {
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 500, 400);
        Grid = NewObject<TProbeColumnGrid>(Form);
        Grid->SetParent(Form);
        Form->Show();
        return Grid;
    }
    TGridColumnItem* Col(int i) { return Grid->Columns()->Items(i); }
    // Applies a description as a form would: ColCount, then the stream's
    // items, all between BeginLoading and EndLoading.
    void LoadDescription(int colCount, int items)
    {
        Grid->BeginLoading();
        Grid->SetColCount(colCount);
        Grid->Columns()->BeginUpdate();
        Grid->Columns()->Clear();
        for (int i = 0; i < items; ++i)
            Grid->Columns()->Add()->Name = QStringLiteral("c%1").arg(i);
        Grid->Columns()->EndUpdate();
        Grid->EndLoading();
    }
    QStringList Names()
    {
        QStringList names;
        for (int i = 0; i < Grid->Columns()->Count(); ++i)
            names << Col(i)->Name;
        return names;
    }
    TProbeColumnGrid* Grid = nullptr;
};
} // namespace

TEST_F(ExCGridTest, NewGridHasFiveItemsWithTheirDefaults)
{
    NewGrid();
    ASSERT_EQ(Grid->ColCount(), 5);
    ASSERT_EQ(Grid->Columns()->Count(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        TGridColumnItem* c = Col(i);
        EXPECT_EQ(c->Width(), 50);
        EXPECT_EQ(Grid->ColWidths(i), 50);
        EXPECT_EQ(c->DropDownCount, 8);
        EXPECT_EQ(c->CheckTrue, "Y");
        EXPECT_EQ(c->CheckFalse, "N");
        EXPECT_EQ(c->SpinStep, 1);
        EXPECT_EQ(c->PrintColor, TColor(0xFFFFFF));
        EXPECT_EQ(c->BorderPen()->Width(), 1);
        EXPECT_EQ(c->BorderPen()->Color(), TColor(0xC0C0C0));
        EXPECT_EQ(c->PrintBorderPen()->Color(), clBlack);
        EXPECT_EQ(c->PrintBorders, 0xFu);
        EXPECT_EQ(c->Borders(), 0u);
        EXPECT_EQ(c->Editor(), edNormal);
        EXPECT_EQ(c->Alignment(), taLeftJustify);
        EXPECT_EQ(c->ColumnPopupType, cpFixedCellsRClick);
        EXPECT_TRUE(c->PrintBorderCustom);
        EXPECT_TRUE(c->PrintFontCustom);
        EXPECT_EQ(c->SortStyle, ssAutomatic);
        EXPECT_EQ(c->Color(), Grid->Color());
        EXPECT_TRUE(c->Font()->SameAs(*Grid->Font()));
        EXPECT_TRUE(c->HeaderFont()->SameAs(*Grid->Font()));
        EXPECT_EQ(c->GetDisplayName(), QStringLiteral("Column %1").arg(i));
    }
    Col(2)->Name = "Address";
    EXPECT_EQ(Col(2)->GetDisplayName(), "Col 2: Address");
    EXPECT_EQ(Grid->Version(), "3.1.3.1");
    EXPECT_EQ(Grid->GetVersionString(), "3.1.3.1 Aug, 2012");
}

TEST_F(ExCGridTest, ItemWithoutCollectionKeepsDefaultsAndReadsNoWidth)
{
    NewGrid();
    auto* lone = NewObject<TGridColumnItem>(nullptr);
    EXPECT_EQ(lone->Width(), 0);
    EXPECT_TRUE(lone->Font()->SameAs(TFont()));
    lone->SetWidth(70);    // no grid: stored only
    lone->SetHeader("x");
    EXPECT_EQ(lone->StoredWidth(), 70);
    lone->Free();
}

TEST_F(ExCGridTest, AddedItemTakesThePreviousLookButTheGridsFontAndColor)
{
    NewGrid();
    TGridColumnItem* last = Col(4);
    last->SetEditor(edComboList);
    last->CheckTrue = "J";
    last->CheckFalse = "-";
    last->SetAlignment(taCenter);
    last->SetColor(clRed);
    last->ReadOnly = true;
    last->Name = "last";
    last->Tag = 7;
    last->DropDownCount = 12;
    last->ComboItems()->Add("one");
    last->SetHeader("Head");
    TFont bold;
    bold.SetStyle(fsBold);
    last->SetHeaderFont(bold);
    Grid->Font()->SetSize(12);
    Grid->SetColor(clYellow);

    TGridColumnItem* added = Grid->Columns()->Add();
    EXPECT_EQ(Grid->ColCount(), 6);
    EXPECT_EQ(Grid->Columns()->Count(), 6);
    EXPECT_EQ(added->Editor(), edComboList);
    EXPECT_EQ(added->CheckTrue, "J");
    EXPECT_EQ(added->CheckFalse, "-");
    EXPECT_EQ(added->Alignment(), taCenter);
    EXPECT_TRUE(added->ReadOnly);
    // Not taken from the previous item:
    EXPECT_EQ(added->Color(), clYellow);
    EXPECT_EQ(added->Font()->Size(), 12);
    EXPECT_EQ(added->Name, "");
    EXPECT_EQ(added->Tag, 0);
    EXPECT_EQ(added->DropDownCount, 8);
    EXPECT_EQ(added->ComboItems()->Count(), 0);
    EXPECT_EQ(added->Header(), "");
    EXPECT_EQ(added->HeaderFont()->Style(), 0u);

    added->Free();
    EXPECT_EQ(Grid->ColCount(), 5);
    EXPECT_EQ(Grid->Columns()->Count(), 5);
}

TEST_F(ExCGridTest, ColCountWriterKeepsTheItemsInStep)
{
    NewGrid();
    Grid->SetColCount(8);
    EXPECT_EQ(Grid->Columns()->Count(), 8);
    Grid->SetColCount(3);
    EXPECT_EQ(Grid->Columns()->Count(), 3);
    // A hidden column keeps its item.
    Grid->SetColCount(5);
    Grid->HideColumn(1);
    EXPECT_EQ(Grid->ColCount(), 4);
    EXPECT_EQ(Grid->Columns()->Count(), 5);
    Grid->SetColCount(6);
    EXPECT_EQ(Grid->Columns()->Count(), 7);
    // Adding an item while a column is hidden resizes the shown columns.
    Grid->Columns()->Add();
    EXPECT_EQ(Grid->ColCount(), 7);
    EXPECT_EQ(Grid->Columns()->Count(), Grid->ColCount() + Grid->NumHiddenColumns());
}

TEST_F(ExCGridTest, ItemsOutOfRangeRaiseTheListError)
{
    NewGrid();
    EXPECT_THROW(Grid->Columns()->Items(5), EListError);
    EXPECT_THROW(Grid->Columns()->Items(-1), EListError);
    EXPECT_THROW(Grid->Columns()->Insert(7), EListError);
}

TEST_F(ExCGridTest, LoadingReconcilesTheItemsWithColCount)
{
    struct Case {
        int colCount, items, wantCols, wantItems;
    };
    const Case cases[] = {{10, 10, 10, 10}, {10, 8, 9, 9}, {10, 12, 11, 11}, {5, 5, 5, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.colCount << " columns, " << c.items << " items");
        NewGrid();
        LoadDescription(c.colCount, c.items);
        EXPECT_EQ(Grid->ColCount(), c.wantCols);
        EXPECT_EQ(Grid->Columns()->Count(), c.wantItems);
        EXPECT_FALSE(Grid->Columns()->NoRecursiveUpdate);
        for (int i = 0; i < Grid->Columns()->Count(); ++i)
            EXPECT_EQ(Col(i)->DefIdx, i);
        Form->Free();
        Form = nullptr;
    }
}

TEST_F(ExCGridTest, ChangesWhileLoadingOrInsideBeginUpdateDoNotResize)
{
    NewGrid();
    Grid->Columns()->BeginUpdate();
    Grid->Columns()->Add();
    Grid->Columns()->Add();
    EXPECT_EQ(Grid->ColCount(), 5);
    Grid->Columns()->EndUpdate();
    EXPECT_EQ(Grid->ColCount(), 7);

    Grid->BeginLoading();
    Grid->Columns()->Add();
    EXPECT_EQ(Grid->ColCount(), 7);
    Grid->EndLoading();
    // Loaded moves the item count one step towards ColCount.
    EXPECT_EQ(Grid->ColCount(), 7);
    EXPECT_EQ(Grid->Columns()->Count(), 7);
}

TEST_F(ExCGridTest, HeaderWritesTheRowZeroCellOnlyWithFixedRows)
{
    NewGrid();
    Col(3)->SetHeader("Name");
    EXPECT_EQ(Grid->GetCellEx(3, 0), "Name");
    EXPECT_EQ(Col(3)->Header(), "Name");

    Grid->SetFixedRows(0);
    Col(2)->SetHeader("Other");
    EXPECT_EQ(Col(2)->Header(), "Other");
    EXPECT_EQ(Grid->GetCellEx(2, 0), "");
}

TEST_F(ExCGridTest, AnEmptyHeaderIsTakenFromTheRowZeroCellOnUpdate)
{
    NewGrid();
    Grid->SetCellEx(1, 0, "From cell");
    Col(1)->SetColor(clLime); // a collection update
    EXPECT_EQ(Col(1)->Header(), "From cell");
}

TEST_F(ExCGridTest, EditorRepaintsOnlyWhenCheckBoxesComeOrGo)
{
    NewGrid();
    struct Step {
        TEditorType to;
        bool repaints;
    };
    const Step steps[] = {{edComboList, false}, {edComboList, false}, {edDataCheckBox, true},
                          {edDataCheckBox, false}, {edNormal, true}};
    for (const Step& s : steps) {
        SCOPED_TRACE(int(s.to));
        const int before = Grid->Invalidates;
        Col(2)->SetEditor(s.to);
        EXPECT_EQ(Grid->Invalidates > before, s.repaints);
        EXPECT_EQ(Col(2)->Editor(), s.to);
    }
}

TEST_F(ExCGridTest, SettersRepaintOrUpdateAsDocumented)
{
    NewGrid();
    int before = Grid->Invalidates;
    Col(1)->SetFloatFormat("%.1f");
    EXPECT_GT(Grid->Invalidates, before);
    before = Grid->Invalidates;
    Col(1)->Font()->SetSize(14); // a change of the owned font is an update
    EXPECT_GT(Grid->Invalidates, before);
    before = Grid->Invalidates;
    Col(1)->Filter()->Add("x");
    EXPECT_GT(Grid->Invalidates, before);
    before = Grid->Invalidates;
    TStringList combo;
    combo.Add("a");
    Col(1)->SetComboItems(&combo);
    EXPECT_EQ(Grid->Invalidates, before);
    EXPECT_EQ(Col(1)->ComboItems()->Strings(0), "a");
}

TEST_F(ExCGridTest, MovingAColumnCarriesItsItemAndKeepsTopRow)
{
    NewGrid();
    Grid->SetRowCount(200);
    for (int i = 0; i < 5; ++i) {
        Col(i)->Name = QStringLiteral("c%1").arg(i);
        Col(i)->SetHeader(QStringLiteral("H%1").arg(i));
    }
    Col(2)->SetEditor(edDataCheckBox);
    Col(2)->ColumnPopupType = cpAllCellsLClick;
    Grid->SetTopRow(50);
    std::vector<std::pair<int, int>> moves;
    Grid->OnAfterColumnMoved = [&](TObject* s, int f, int t) {
        EXPECT_EQ(s, Grid);
        moves.emplace_back(f, t);
    };
    Grid->MoveColumn(2, 0);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], std::make_pair(2, 0));
    EXPECT_EQ(Grid->TopRow(), 50);
    EXPECT_EQ(Names(), QStringList({"c2", "c0", "c1", "c3", "c4"}));
    EXPECT_EQ(Col(0)->Header(), "H2");
    EXPECT_EQ(Col(0)->Editor(), edDataCheckBox);
    // Not carried by Assign: back at its constructor value.
    EXPECT_EQ(Col(0)->ColumnPopupType, cpFixedCellsRClick);
    EXPECT_EQ(Grid->ColCount(), 5);
    EXPECT_EQ(Grid->Columns()->Count(), 5);
    EXPECT_FALSE(Grid->ColMoving());
    EXPECT_FALSE(Grid->Columns()->NoRecursiveUpdate);
    EXPECT_EQ(Grid->UpdateCount(), 0);
}

TEST_F(ExCGridTest, MovingWithAHiddenColumnReportsRealIndexes)
{
    NewGrid();
    for (int i = 0; i < 5; ++i)
        Col(i)->Name = QStringLiteral("c%1").arg(i);
    Grid->HideColumn(1);
    std::pair<int, int> move{-1, -1};
    Grid->OnAfterColumnMoved = [&](TObject*, int f, int t) { move = {f, t}; };
    Grid->MoveColumn(2, 0); // display 2 is real 3
    EXPECT_EQ(move, std::make_pair(3, 0));
    EXPECT_EQ(Names(), QStringList({"c3", "c0", "c1", "c2", "c4"}));
    EXPECT_EQ(Grid->Columns()->Count(), Grid->ColCount() + Grid->NumHiddenColumns());
}

TEST_F(ExCGridTest, ResetOrganizationRestoresTheLoadedOrder)
{
    NewGrid();
    LoadDescription(5, 5);
    Grid->MoveColumn(4, 1);
    Grid->MoveColumn(3, 0);
    ASSERT_NE(Names(), QStringList({"c0", "c1", "c2", "c3", "c4"}));
    Grid->Columns()->ResetOrganization();
    EXPECT_EQ(Names(), QStringList({"c0", "c1", "c2", "c3", "c4"}));
}

TEST_F(ExCGridTest, AssignCopiesAllButThePopupTypeAndPrintSwitches)
{
    NewGrid();
    TGridColumnItem* s = Col(1);
    s->SetAlignment(taRightJustify);
    s->SetHeaderAlignment(taCenter);
    s->SetBorders(CellBorderBit(cbTop));
    s->BorderPen()->SetColor(clRed);
    s->CheckTrue = "1";
    s->SetColor(clAqua);
    s->ComboItems()->Add("k");
    s->DropDownCount = 3;
    s->EditLength = 9;
    s->EditMask = "000";
    s->SetEditor(edSpinEdit);
    s->SetFixed(true);
    s->SetHeader("Src");
    s->Name = "src";
    s->SetPassword(true);
    s->ReadOnly = true;
    s->SpinMax = 99;
    s->Tag = 4;
    s->SetWidth(77);
    s->Filter()->Add("f");
    s->SetFloatFormat("%.3f");
    s->ColumnPopupType = cpNormalCellsLClick;
    s->PrintBorderCustom = false;
    s->PrintFontCustom = false;

    auto* d = NewObject<TGridColumnItem>(nullptr);
    d->Assign(s);
    EXPECT_EQ(d->Alignment(), taRightJustify);
    EXPECT_EQ(d->HeaderAlignment(), taCenter);
    EXPECT_EQ(d->Borders(), CellBorderBit(cbTop));
    EXPECT_EQ(d->BorderPen()->Color(), clRed);
    EXPECT_EQ(d->CheckTrue, "1");
    EXPECT_EQ(d->Color(), clAqua);
    EXPECT_EQ(d->ComboItems()->Count(), 1);
    EXPECT_EQ(d->DropDownCount, 3);
    EXPECT_EQ(d->EditLength, 9);
    EXPECT_EQ(d->EditMask, "000");
    EXPECT_EQ(d->Editor(), edSpinEdit);
    EXPECT_TRUE(d->Fixed());
    EXPECT_EQ(d->Header(), "Src");
    EXPECT_EQ(d->Name, "src");
    EXPECT_TRUE(d->Password());
    EXPECT_TRUE(d->ReadOnly);
    EXPECT_EQ(d->SpinMax, 99);
    EXPECT_EQ(d->Tag, 4);
    EXPECT_EQ(d->StoredWidth(), 77);
    EXPECT_EQ(d->Filter()->Count(), 1);
    EXPECT_EQ(d->FloatFormat(), "%.3f");
    EXPECT_EQ(d->ColumnPopupType, cpFixedCellsRClick);
    EXPECT_TRUE(d->PrintBorderCustom);
    EXPECT_TRUE(d->PrintFontCustom);

    // Another class is ignored, not refused.
    TStringList other;
    EXPECT_NO_THROW(d->Assign(&other));
    EXPECT_EQ(d->Name, "src");
    d->Free();
}

TEST_F(ExCGridTest, SetColumnsCopiesAnotherCollection)
{
    NewGrid();
    auto* other = NewObject<TExColumnGrid>(Form);
    other->SetColCount(3);
    other->Columns()->Items(1)->Name = "middle";
    Grid->SetColumns(other->Columns());
    EXPECT_EQ(Grid->Columns()->Count(), 3);
    EXPECT_EQ(Grid->ColCount(), 3);
    EXPECT_EQ(Col(1)->Name, "middle");
}

TEST_F(ExCGridTest, ChangeScaleScalesTheShownColumnsFonts)
{
    NewGrid();
    for (int i = 0; i < 5; ++i) {
        Col(i)->Font()->SetSize(10);
        Col(i)->HeaderFont()->SetSize(9);
    }
    Grid->HideColumn(4); // item 4 is past ColCount now
    Grid->ChangeScale(3, 2);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Col(i)->Font()->Size(), 15);
        EXPECT_EQ(Col(i)->HeaderFont()->Size(), 14); // 13.5 rounds away from zero
    }
    EXPECT_EQ(Col(4)->Font()->Size(), 10);
    Grid->ChangeScale(2, 2);
    EXPECT_EQ(Col(0)->Font()->Size(), 15);
}

TEST_F(ExCGridTest, WidthFollowsTheGridBothWays)
{
    NewGrid();
    Col(2)->SetWidth(90);
    EXPECT_EQ(Grid->ColWidths(2), 90);
    Grid->SetColWidths(3, 61);
    EXPECT_EQ(Col(3)->Width(), 61);
    EXPECT_EQ(Col(3)->StoredWidth(), 61);
    // A hidden column keeps its width in the grid's store.
    Grid->HideColumn(2);
    EXPECT_EQ(Col(2)->Width(), 90);
    Col(2)->SetWidth(40);
    Grid->UnHideColumn(2);
    EXPECT_EQ(Grid->ColWidths(2), 40);
}

TEST_F(ExCGridTest, GetColumnByNameMatchesExactly)
{
    NewGrid();
    Col(1)->Name = "Addr";
    Col(3)->Name = "Addr";
    EXPECT_EQ(Grid->GetColumnByName("Addr"), Col(1));
    EXPECT_EQ(Grid->GetColumnByName("addr"), nullptr);
    EXPECT_EQ(Grid->GetColumnByName(""), Col(0));
}

TEST_F(ExCGridTest, FreedPopupMenuAndEditLinkAreCleared)
{
    NewGrid();
    auto* menu = NewObject<TPopupMenu>(nullptr);
    auto* link = NewObject<TComponent>(nullptr);
    Col(1)->SetColumnPopup(menu);
    Col(3)->SetColumnPopup(menu);
    Col(2)->SetEditLink(link);
    menu->Free();
    link->Free();
    EXPECT_EQ(Col(1)->ColumnPopup(), nullptr);
    EXPECT_EQ(Col(3)->ColumnPopup(), nullptr);
    EXPECT_EQ(Col(2)->EditLink(), nullptr);
}

TEST_F(ExCGridTest, EditLimitAndMaskComeFromTheCurrentColumn)
{
    NewGrid();
    Col(2)->EditLength = 6;
    Col(2)->EditMask = "!999";
    Col(0)->EditLength = 3;
    Grid->SetCol(2);
    EXPECT_EQ(Grid->GetEditLimit(), 6);
    EXPECT_EQ(Grid->GetEditMask(2, 1), "!999");
    // The fixed column's settings are not used.
    EXPECT_EQ(Grid->GetEditMask(0, 1), "");
    // The grid's own mask wins over the column's.
    Grid->OnGetEditMask = [](TObject*, int, int, QString& v) { v = "AAA"; };
    EXPECT_EQ(Grid->GetEditMask(2, 1), "AAA");
    // With a hidden column the display index is mapped first.
    Grid->OnGetEditMask = nullptr;
    Grid->HideColumn(1);
    EXPECT_EQ(Grid->GetEditMask(1, 1), "!999");
}

TEST_F(ExCGridTest, ItemCellAccessorsActOnItsColumn)
{
    NewGrid();
    Col(2)->SetRows(3, "abc");
    EXPECT_EQ(Grid->GetCellEx(2, 3), "abc");
    EXPECT_EQ(Col(2)->Rows(3), "abc");
    Col(3)->SetInts(1, 42);
    EXPECT_EQ(Col(3)->Ints(1), 42);
    Col(4)->SetFloats(1, 2.5);
    EXPECT_DOUBLE_EQ(Col(4)->Floats(1), 2.5);
}

TEST_F(ExCGridTest, FloatsUseTheColumnsFormatWhenItHasOne)
{
    NewGrid();
    Col(2)->SetFloatFormat("%.3f");
    Col(2)->SetFloats(1, 3.14159);
    Col(3)->SetFloats(1, 3.14159);
    EXPECT_EQ(Grid->GetCellEx(2, 1), "3.142");
    EXPECT_EQ(Grid->GetCellEx(3, 1), "3.14"); // the grid's "%.2f"
    // Beyond the collection the grid's format answers.
    QString fmt;
    Grid->GetFloatFormat(9, 1, fmt);
    EXPECT_EQ(fmt, "%.2f");
}

TEST_F(ExCGridTest, DataAndBodyCellsLeaveOutFixedAndFooterCells)
{
    NewGrid();
    Grid->SetRowCount(10);
    Grid->SetFixedFooters(1);
    Grid->SetFixedRightCols(1);
    struct Case {
        int col, row;
        bool data, body;
    };
    const Case cases[] = {
        {2, 3, true, true},  {0, 3, false, false}, {2, 0, false, false}, {2, 9, true, false},
        {4, 3, true, false}, {5, 3, false, false}, {1, 1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
        EXPECT_EQ(Grid->IsDataCell(c.col, c.row), c.data);
        EXPECT_EQ(Grid->IsBodyCell(c.col, c.row), c.body);
    }
}

TEST_F(ExCGridTest, ColumnHeadersAndItemHeadersStayAlike)
{
    NewGrid();
    TStringList headers;
    for (const char* h : {"A", "B", "C", "D", "E"})
        headers.Add(h);
    Grid->SetColumnHeaders(&headers);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Col(i)->Header(), headers.Strings(i));
        EXPECT_EQ(Grid->GetCellEx(i, 0), headers.Strings(i));
    }
    // An item's header reaches the list and row 0.
    Col(2)->SetHeader("Middle");
    ASSERT_EQ(Grid->ColumnHeaders()->Count(), 5);
    EXPECT_EQ(Grid->ColumnHeaders()->Strings(2), "Middle");
    EXPECT_EQ(Grid->GetCellEx(2, 0), "Middle");
    // A shorter list leaves the other columns' headers alone.
    TStringList two;
    two.Add("x");
    two.Add("y");
    Grid->SetColumnHeaders(&two);
    EXPECT_EQ(Col(1)->Header(), "y");
    EXPECT_EQ(Col(2)->Header(), "Middle");
}

TEST_F(ExCGridTest, AnAddedColumnGetsItsHeaderEntry)
{
    NewGrid();
    for (int i = 0; i < 5; ++i)
        Col(i)->SetHeader(QStringLiteral("H%1").arg(i));
    TGridColumnItem* added = Grid->Columns()->Add();
    added->SetHeader("New");
    EXPECT_EQ(Grid->ColumnHeaders()->Count(), 6);
    EXPECT_EQ(Grid->ColumnHeaders()->Strings(5), "New");
    EXPECT_EQ(Grid->GetCellEx(5, 0), "New");
}

TEST_F(ExCGridTest, ColumnSizeKeepsWithinTheColumnsBounds)
{
    NewGrid();
    Col(1)->MinSize = 30;
    Col(1)->MaxSize = 80;
    Col(2)->AutoMinSize = 40;
    Col(2)->AutoMaxSize = 60;
    int reported = -1;
    Grid->OnUpdateColumnSize = [&](TObject*, int, int& w) { reported = w; };
    struct Case {
        int col, proposed, want;
        bool autoSize;
    };
    const Case cases[] = {{1, 10, 30, false}, {1, 100, 80, false}, {1, 50, 50, false},
                          {2, 10, 10, false}, {2, 10, 40, true},   {2, 99, 60, true},
                          {3, 5, 5, false},   {9, 5, 5, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.col << " " << c.proposed);
        int w = c.proposed;
        if (c.autoSize)
            Grid->UpdateAutoColumnSize(c.col, w);
        else
            Grid->UpdateColumnSize(c.col, w);
        EXPECT_EQ(w, c.want);
        EXPECT_EQ(reported, c.want); // the event sees the bounded width
    }
}

TEST_F(ExCGridTest, NewCellPropertiesStartFromTheColumn)
{
    NewGrid();
    Col(2)->SetAlignment(taCenter);
    Col(2)->SetHeaderAlignment(taRightJustify);
    Col(2)->SetColor(clRed);
    Col(2)->Font()->SetStyle(fsItalic);
    TCellProperties* body = Grid->GetCellProperties(2, 3);
    EXPECT_EQ(body->Alignment, taCenter);
    EXPECT_EQ(body->BrushColor(), clRed);
    EXPECT_EQ(body->FontStyle, TFontStyles(fsItalic));
    EXPECT_EQ(Grid->GetCellProperties(2, 0)->Alignment, taRightJustify);
    // Banded columns keep no colour while bands are on.
    Col(4)->SetShowBands(true);
    Grid->Bands()->SetActive(true);
    EXPECT_EQ(Grid->GetCellProperties(4, 2)->BrushColor(), clNone);
}

// --- per-column answers to the string grid's cell questions

TEST_F(ExCGridTest, ReadOnlyAndFixedColumnsAreNeverEditable)
{
    NewGrid();
    Col(2)->ReadOnly = true;
    Col(3)->SetFixed(true);
    for (TGridOptions opts : {Grid->Options() | goEditing, Grid->Options() & ~goEditing}) {
        Grid->SetOptions(opts);
        struct Case {
            int col, row;
            bool can;
        };
        const Case cases[] = {{1, 2, true}, {2, 2, false}, {3, 2, false}, {4, 2, true},
                              {0, 2, false}, {1, 0, false}, {9, 2, false}};
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.col << "," << c.row << " editing " << bool(opts & goEditing));
            bool can = true;
            Grid->QueryCellEdit(c.col, c.row, can);
            EXPECT_EQ(can, c.can);
        }
    }
    // The cell's own read-only flag.
    Grid->SetReadOnly(1, 4, true);
    bool can = true;
    Grid->QueryCellEdit(1, 4, can);
    EXPECT_FALSE(can);
    // Nothing is editable while loading.
    Grid->BeginLoading();
    can = true;
    Grid->QueryCellEdit(1, 2, can);
    EXPECT_FALSE(can);
    Grid->EndLoading();
}

TEST_F(ExCGridTest, CanEditCellEventGetsTheBaseCellRowFirst)
{
    NewGrid();
    Grid->MergeCells(2, 3, 2, 2); // (2,3)..(3,4)
    std::vector<std::pair<int, int>> asked;
    Grid->OnCanEditCell = [&](TObject*, int ARow, int ACol, bool& CanEdit) {
        asked.emplace_back(ARow, ACol);
        CanEdit = false;
    };
    bool can = true;
    Grid->QueryCellEdit(3, 4, can);
    EXPECT_FALSE(can);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_pair(3, 2));
}

TEST_F(ExCGridTest, FixedColumnPaintsFixedColorAndColumnsTheirColours)
{
    NewGrid();
    Grid->SetRowCount(10);
    Grid->SetFixedFooters(1);
    Grid->SetFixedColor(clGray);
    Col(1)->SetColor(clRed);
    Col(2)->SetFixed(true);
    Col(3)->SetColor(clLime);
    Col(3)->SetShowBands(true);
    TFont bold;
    bold.SetStyle(fsBold);
    Col(1)->SetHeaderFont(bold);
    Col(1)->Font()->SetStyle(fsItalic);
    struct Case {
        int col, row;
        TColor brush;
        TFontStyles style;
    };
    const Case cases[] = {
        {1, 2, clRed, fsItalic}, {1, 0, clWhite, fsBold},   // header row keeps the brush
        {2, 2, clGray, 0},       {2, 0, clGray, 0},         // a fixed column, header included
        {1, 9, clWhite, 0},                                 // footer row untouched
        {3, 2, clLime, 0},       {0, 2, clWhite, 0},        // fixed grid column untouched
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
        TBrush brush;
        brush.SetColor(clWhite);
        TFont font;
        Grid->GetCellColor(c.col, c.row, 0, &brush, &font);
        EXPECT_EQ(brush.Color(), c.brush);
        EXPECT_EQ(font.Style(), c.style);
    }
    // Under active bands a banded column leaves the brush to the bands.
    Grid->Bands()->SetActive(true);
    TBrush brush;
    brush.SetColor(clWhite);
    TFont font;
    Grid->GetCellColor(3, 2, 0, &brush, &font);
    EXPECT_EQ(brush.Color(), clWhite);
    // A cell's own brush and font colours win.
    Grid->SetColors(1, 4, clBlue);
    Grid->SetFontColors(1, 4, clYellow);
    Grid->GetCellColor(1, 4, 0, &brush, &font);
    EXPECT_EQ(brush.Color(), clBlue);
    EXPECT_EQ(font.Color(), clYellow);
    // The event still has the last word.
    Grid->OnGetCellColor = [](TObject*, int, int, TGridDrawState, TBrush* b, TFont*) { b->SetColor(clAqua); };
    Grid->GetCellColor(1, 2, 0, &brush, &font);
    EXPECT_EQ(brush.Color(), clAqua);
}

TEST_F(ExCGridTest, DataCheckBoxColumnLendsOneGraphicToItsBodyCells)
{
    NewGrid();
    Grid->SetRowCount(10);
    Grid->SetColCount(6);
    Grid->SetFixedFooters(1);
    Grid->SetFixedRightCols(1);
    Col(2)->SetEditor(edDataCheckBox);
    Col(5)->SetEditor(edDataCheckBox); // the right fixed column
    TCellGraphic* g = Grid->GetCellGraphic(2, 1);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->CellType, ctVirtCheckBox);
    EXPECT_FALSE(g->CellTransparent);
    EXPECT_EQ(Grid->GetCellGraphic(2, 5), g);
    EXPECT_EQ(Grid->GetCellType(2, 1), ctDataCheckBox);
    struct Case {
        int col, row;
    };
    for (const Case& c : {Case{2, 0}, Case{2, 9}, Case{5, 3}, Case{1, 3}}) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
        EXPECT_EQ(Grid->GetCellGraphic(c.col, c.row), nullptr);
        EXPECT_EQ(Grid->GetCellType(c.col, c.row), ctEmpty);
    }
    Grid->ControlLook()->SetControlStyle(csFlat);
    EXPECT_TRUE(Grid->GetCellGraphic(2, 1)->CellTransparent);
}

TEST_F(ExCGridTest, DataCheckBoxCellsToggleBetweenTheColumnsTexts)
{
    NewGrid();
    Col(2)->SetEditor(edDataCheckBox);
    Col(2)->CheckTrue = "Y";
    Col(2)->CheckFalse = "N";
    Grid->SetCellEx(2, 1, "Y");
    Grid->SetCellEx(2, 2, "N");
    Grid->SetCellEx(2, 3, "other");
    EXPECT_TRUE(Grid->IsChecked(2, 1));
    EXPECT_FALSE(Grid->IsChecked(2, 2));
    EXPECT_FALSE(Grid->IsChecked(2, 3));
    EXPECT_TRUE(Grid->DoToggleCheckBox(2, 2, true));
    EXPECT_EQ(Grid->GetCellEx(2, 2), "Y");
    EXPECT_TRUE(Grid->DoToggleCheckBox(2, 1, true));
    EXPECT_EQ(Grid->GetCellEx(2, 1), "N");
    // A read-only column does not toggle, unless check boxes are always active.
    Col(2)->ReadOnly = true;
    EXPECT_FALSE(Grid->DoToggleCheckBox(2, 1, true));
    EXPECT_EQ(Grid->GetCellEx(2, 1), "N");
    Grid->ControlLook()->CheckAlwaysActive = true;
    EXPECT_TRUE(Grid->DoToggleCheckBox(2, 1, true));
    EXPECT_EQ(Grid->GetCellEx(2, 1), "Y");
}

TEST_F(ExCGridTest, CheckTextsOfBodyCellsComeFromTheColumn)
{
    NewGrid();
    Col(2)->CheckTrue = "1";
    Col(2)->CheckFalse = "0";
    Grid->OnGetCheckTrue = [](TObject*, int, int, QString& v) { v = "event"; };
    Grid->OnGetCheckFalse = [](TObject*, int, int, QString& v) { v = "event-off"; };
    QString t, f;
    Grid->GetCheckTrue(2, 3, t);
    Grid->GetCheckFalse(2, 3, f);
    EXPECT_EQ(t, "1");
    EXPECT_EQ(f, "0");
    // In the fixed row and the fixed column the event's answer stands.
    Grid->GetCheckTrue(2, 0, t);
    EXPECT_EQ(t, "event");
    Grid->GetCheckFalse(0, 3, f);
    EXPECT_EQ(f, "event-off");
}

TEST_F(ExCGridTest, OpeningAnEditorLoadsTheColumnsSettings)
{
    NewGrid();
    Col(2)->SetEditor(edComboList);
    Col(2)->ComboItems()->Add("alpha");
    Col(2)->ComboItems()->Add("beta");
    Col(2)->DropDownCount = 5;
    Col(3)->SetFloatFormat("%.4f");
    TEditorType e = edNormal;
    Grid->GetCellEditor(2, 1, e);
    EXPECT_EQ(e, edComboList);
    ASSERT_NE(Grid->EditCombo, nullptr);
    ASSERT_EQ(Grid->EditCombo->Items()->Count(), 2);
    EXPECT_EQ(Grid->EditCombo->Items()->Strings(1), "beta");
    EXPECT_EQ(Grid->EditCombo->DropDownCount(), 5);
    EXPECT_EQ(Grid->ControlLook()->DropDownCount, 5);
    // The list is a copy.
    Col(2)->ComboItems()->Add("gamma");
    EXPECT_EQ(Grid->EditCombo->Items()->Count(), 2);

    // A column float format becomes the grid's, and stays.
    e = edNormal;
    Grid->GetCellEditor(3, 0, e); // a fixed row still passes the format on
    EXPECT_EQ(e, edNormal);
    EXPECT_EQ(Grid->FloatFormat, "%.4f");
    Grid->GetCellEditor(1, 1, e);
    EXPECT_EQ(Grid->FloatFormat, "%.4f");

    // The event may change the kind.
    Grid->OnGetEditorType = [](TObject*, int, int, TEditorType& k) { k = edNumeric; };
    Grid->GetCellEditor(2, 1, e);
    EXPECT_EQ(e, edNumeric);
}

TEST_F(ExCGridTest, ComboColumnsShowComboBoxesInDataCells)
{
    NewGrid();
    Col(1)->SetEditor(edComboList);
    Col(2)->SetEditor(edComboEdit);
    Col(3)->SetEditor(edSpinEdit);
    EXPECT_TRUE(Grid->HasComboBox(1, 2));
    EXPECT_TRUE(Grid->HasComboBox(2, 2));
    EXPECT_FALSE(Grid->HasComboBox(3, 2));
    EXPECT_FALSE(Grid->HasComboBox(1, 0));
    EXPECT_FALSE(Grid->HasComboBox(9, 2));
    Grid->OnHasComboBox = [](TObject*, int ACol, int, bool& has) { has = has || ACol == 3; };
    EXPECT_TRUE(Grid->HasComboBox(3, 2));
    EXPECT_TRUE(Grid->HasComboBox(1, 2));
}

TEST_F(ExCGridTest, AlignmentFormatBordersAndPasswordComeFromTheColumn)
{
    NewGrid();
    Col(2)->SetAlignment(taCenter);
    Col(2)->SetHeaderAlignment(taRightJustify);
    Col(2)->SortStyle = ssNumeric;
    Col(2)->SortPrefix = "$";
    Col(2)->SetBorders(CellBorderBit(cbBottom));
    Col(2)->BorderPen()->SetColor(clRed);
    Col(2)->SetPassword(true);

    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    Grid->GetCellAlign(2, 3, ha, va);
    EXPECT_EQ(ha, taCenter);
    Grid->GetCellAlign(2, 0, ha, va);
    EXPECT_EQ(ha, taRightJustify);
    Grid->SetAlignments(2, 4, taLeftJustify); // a cell's own alignment wins
    ha = taCenter;
    Grid->GetCellAlign(2, 4, ha, va);
    EXPECT_EQ(ha, taLeftJustify);

    TSortStyle style = ssAutomatic;
    QString prefix, suffix;
    Grid->GetCellFormat(2, style, prefix, suffix);
    EXPECT_EQ(style, ssNumeric);
    EXPECT_EQ(prefix, "$");

    TPen pen;
    TCellBorders borders = 0;
    Grid->GetCellBorder(2, 3, &pen, borders);
    EXPECT_EQ(borders, CellBorderBit(cbBottom));
    EXPECT_EQ(pen.Color(), clRed);
    borders = 0;
    Grid->GetCellBorder(2, 0, &pen, borders); // not a data cell
    EXPECT_EQ(borders, 0u);

    bool pw = false;
    Grid->IsPasswordCell(2, 3, pw);
    EXPECT_TRUE(pw);
    pw = false;
    Grid->IsPasswordCell(9, 3, pw);
    EXPECT_FALSE(pw);
}

TEST_F(ExCGridTest, IsFixedCellMapsTheDisplayColumn)
{
    NewGrid();
    Col(3)->SetFixed(true);
    Grid->HideColumn(1); // display 2 is real 3
    bool fixed = false;
    Grid->IsFixedCell(2, 2, fixed);
    EXPECT_TRUE(fixed);
    fixed = false;
    Grid->IsFixedCell(3, 2, fixed);
    EXPECT_FALSE(fixed);
}

TEST_F(ExCGridTest, CellsLoadedBringsTheItemsToTheColumnCount)
{
    NewGrid();
    static_cast<TExStringGrid*>(Grid)->SetColCount(8); // past the column grid's writer
    EXPECT_EQ(Grid->Columns()->Count(), 5);
    Grid->CellsLoaded();
    EXPECT_EQ(Grid->Columns()->Count(), 8);
    EXPECT_FALSE(Grid->Columns()->NoRecursiveUpdate);
}

TEST_F(ExCGridTest, PrintColoursAndBordersComeFromTheColumnsPrintSettings)
{
    NewGrid();
    Col(2)->PrintColor = clSilver;
    Col(2)->PrintFont()->SetSize(14);
    Col(2)->PrintBorders = CellBorderBit(cbLeft);
    Col(2)->PrintBorderPen()->SetColor(clRed);
    TBrush brush;
    TFont font;
    Grid->GetCellPrintColor(2, 3, 0, &brush, &font);
    EXPECT_EQ(brush.Color(), clSilver);
    EXPECT_EQ(font.Size(), 14);
    Grid->SetFontSizes(2, 4, 20); // a cell's own size is laid over the print font
    Grid->GetCellPrintColor(2, 4, 0, &brush, &font);
    EXPECT_EQ(font.Size(), 20);
    Col(2)->PrintFontCustom = false;
    Grid->PrintSettings()->Font.SetSize(7);
    Grid->GetCellPrintColor(2, 3, 0, &brush, &font);
    EXPECT_EQ(font.Size(), 7);
    // Header cells print in the fixed font.
    Grid->PrintSettings()->FixedFont.SetSize(9);
    Grid->GetCellPrintColor(2, 0, 0, &brush, &font);
    EXPECT_EQ(font.Size(), 9);

    TPen pen;
    TCellBorders borders = 0;
    Grid->GetCellPrintBorder(2, 3, &pen, borders);
    EXPECT_EQ(borders, CellBorderBit(cbLeft));
    EXPECT_EQ(pen.Color(), clRed);
    Col(2)->PrintBorderCustom = false;
    borders = 0;
    Grid->GetCellPrintBorder(2, 3, &pen, borders);
    EXPECT_EQ(borders, 0u);
}

TEST_F(ExCGridTest, EditableColumnsSwitchEditingOnWithoutTheGridOption)
{
    NewGrid();
    Grid->SetOptions(Grid->Options() & ~goEditing);
    Col(3)->ReadOnly = true;
    Grid->MoveToCell(2, 2);
    EXPECT_TRUE(Grid->Options() & goEditing);
    Grid->MoveToCell(3, 2);
    EXPECT_FALSE(Grid->Options() & goEditing);
    Grid->MoveToCell(1, 3);
    EXPECT_TRUE(Grid->Options() & goEditing);
}

TEST_F(ExCGridTest, NewPropertiesOfAFixedCellKeepNoColour)
{
    NewGrid();
    Col(3)->SetColor(clRed);
    EXPECT_EQ(Grid->GetCellProperties(3, 0)->BrushColor(), clNone);
    Col(2)->SetFixed(true);
    Col(2)->SetColor(clRed);
    EXPECT_EQ(Grid->GetCellProperties(2, 4)->BrushColor(), clNone);
    EXPECT_EQ(Grid->GetCellProperties(3, 4)->BrushColor(), clRed);
}
