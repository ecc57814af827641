// Selection, row flags, typed values, headers, row-wide properties, copying
// and the end of loading.
#include "ExGridFixture.h"

#include "platform/controls/ScrollBars.h"
#include "gridpack/stringgrid/ExInplaceEdit.h"
#include "platform/core/DateTime.h"

namespace {
class ExGridAccessTest : public ExGridTest {};

bool Touches(const std::vector<TRect>& rects, const TRect& cell)
{
    for (const TRect& r : rects)
        if (r.Left < cell.Right && cell.Left < r.Right && r.Top < cell.Bottom && cell.Top < r.Bottom)
            return true;
    return false;
}
} // namespace

TEST_F(ExGridAccessTest, SelectionWriteRepaintsTheActiveHeaders)
{
    NewGrid();
    Grid->SetActiveCellShow(true);
    Grid->ClearInvalidatedRects();
    Grid->SetSelection(TGridRect{3, 5, 3, 5});
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 5, 3, 5}));
    EXPECT_TRUE(Touches(Grid->InvalidatedRects(), Grid->TCustomGrid::CellRect(3, 0)));
    EXPECT_TRUE(Touches(Grid->InvalidatedRects(), Grid->TCustomGrid::CellRect(0, 5)));

    std::vector<int> seen;
    Grid->OnSelectionChanged = [&](TObject*, int l, int t, int r, int b) { seen = {l, t, r, b}; };
    Grid->FSelChange = false;
    Grid->SelectionChanged(1, 2, 3, 4);
    EXPECT_TRUE(Grid->FSelChange);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(ExGridAccessTest, HiddenSelectionComesBackOrFallsToTheFirstNormalCell)
{
    NewGrid();
    Grid->SetSelection(TGridRect{2, 3, 4, 6});
    Grid->HideSelection();
    EXPECT_TRUE(Grid->FSelHidden);
    EXPECT_EQ(Grid->Selection().Left, Grid->ColCount());
    Grid->UnHideSelection();
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 3, 4, 6}));

    Grid->SetSelection(TGridRect{2, 8, 2, 8});
    Grid->HideSelection();
    Grid->SetRowCount(5);
    Grid->UnHideSelection();
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 1, 1}));
}

TEST_F(ExGridAccessTest, DisjunctRowSelection)
{
    NewGrid();
    Grid->MouseActions()->SetDisjunctRowSelectDirect(true);
    Grid->SetSelection(TGridRect{1, 1, 1, 1});
    Grid->SelectRows(2, 3);
    EXPECT_TRUE(Grid->GetRowSelect(2));
    EXPECT_TRUE(Grid->GetRowSelect(4));
    EXPECT_FALSE(Grid->GetRowSelect(5));
    EXPECT_EQ(Grid->RowSelectCount(), 3);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 1, 1})); // the rectangle is left alone
    EXPECT_EQ(Grid->SelectedRowList()->Count(), 3);

    int asked = 0;
    Grid->OnRowDisjunctSelect = [&](TObject*, int, bool, bool& allow) {
        ++asked;
        allow = false;
    };
    Grid->SetRowSelect(7, true);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(Grid->GetRowSelect(7));
    Grid->OnRowDisjunctSelect = nullptr;
    Grid->UnSelectRows(2, 1);
    EXPECT_EQ(Grid->RowSelectCount(), 2);
    Grid->ClearRowSelect();
    EXPECT_EQ(Grid->RowSelectCount(), 0);

    try {
        Grid->GetRowSelect(-1);
        ADD_FAILURE();
    } catch (const DOriVireZuvez& e) {
        EXPECT_EQ(e.Message(), "Invalid row -1 accessed");
    }
    EXPECT_THROW(Grid->SetRowSelect(-1, true), DOriVireZuvez);
    EXPECT_THROW(Grid->GetColSelect(5), DOriVireZuvez);
    Grid->MouseActions()->SetDisjunctRowSelectDirect(false);
    Grid->MouseActions()->RowSelectPersistent = true;
    EXPECT_FALSE(Grid->GetRowSelect(-1));
}

TEST_F(ExGridAccessTest, RowFlags)
{
    NewGrid();
    EXPECT_TRUE(Grid->GetRowEnabled(6));
    Grid->SetRow(3);
    Grid->SetRowEnabled(3, false);
    EXPECT_FALSE(Grid->GetRowEnabled(3));
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_TRUE(Grid->FUseEnabledRows);
    EXPECT_FALSE(Grid->GetRowModified(4));
    Grid->SetRowModified(4, true);
    Grid->SetRowModified(6, true);
    Grid->SetRowModified(6, false);
    EXPECT_TRUE(Grid->GetRowModified(4));
    EXPECT_EQ(Grid->ModifiedRowCount(), 1);
}

TEST_F(ExGridAccessTest, TypedValuesByRealRowDatesAndTimes)
{
    NewGrid();
    Grid->SetCellEx(1, 1, "<b>7</b>");
    EXPECT_EQ(Grid->GetInts(1, 1), 7);
    EXPECT_THROW(Grid->GetAllInts(1, 1), DOriVireZuvez);
    Grid->SetAllInts(2, 3, 12);
    EXPECT_EQ(Grid->GetCellEx(2, 3), "12");
    Grid->SetAllFloats(2, 4, 2.5);
    EXPECT_EQ(Grid->GetCellEx(2, 4), "2.50");
    EXPECT_DOUBLE_EQ(Grid->GetAllFloats(2, 4), 2.5);

    Grid->SetDates(1, 2, 0);
    EXPECT_EQ(Grid->GetCellEx(1, 2), DateToStr(0));
    Grid->ShowNullDates = false;
    Grid->SetDates(1, 2, 0);
    EXPECT_EQ(Grid->GetCellEx(1, 2), "");
    const TDateTime d = EncodeDate(2024, 2, 29);
    Grid->SetDates(1, 2, d);
    EXPECT_DOUBLE_EQ(Grid->GetDates(1, 2), d);
    const TDateTime t = EncodeTime(13, 45, 10, 0);
    Grid->SetTimes(1, 3, t);
    EXPECT_NEAR(Grid->GetTimes(1, 3), t, 1e-6);
    Grid->SetCellEx(1, 3, "no date");
    EXPECT_THROW(Grid->GetDates(1, 3), EConvertError);

    Grid->SetCellEx(2, 2, "<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"FALSE\">");
    EXPECT_EQ(Grid->GetCtrlVal(2, 2, "c1"), "FALSE");
    Grid->SetCtrlVal(2, 2, "c1", "TRUE");
    EXPECT_EQ(Grid->GetCtrlVal(2, 2, "c1"), "TRUE");
    EXPECT_EQ(Grid->GetCtrlVal(2, 2, "none"), "");
}

TEST_F(ExGridAccessTest, HeadersReachTheFixedRowAndColumn)
{
    NewGrid();
    auto* list = NewObject<TStringList>();
    for (const char* s : {"", "Name", "Two\\nlines", "C", "D", "beyond"})
        list->Add(s);
    Grid->SetColumnHeaders(list);
    EXPECT_EQ(Grid->GetCellEx(1, 0), "Name");
    EXPECT_EQ(Grid->GetCellEx(2, 0), "Two\rlines");
    EXPECT_EQ(Grid->GetCellEx(5, 0), ""); // past the columns
    Grid->ColumnHeaders()->Strings(1); // reading changes nothing
    Grid->ColumnHeaders()->Put(3, "changed");
    EXPECT_EQ(Grid->GetCellEx(3, 0), "changed");
    Grid->RowHeaders()->Add("corner");
    Grid->RowHeaders()->Add("first");
    EXPECT_EQ(Grid->GetCellEx(0, 1), "first");
    EXPECT_EQ(Grid->ColumnByHeader("Name"), 1);
    EXPECT_EQ(Grid->ColumnByHeader("nowhere"), -1);

    Grid->SetFixedRows(0);
    Grid->ClearColumnHeaders();
    Grid->SetColumnHeaders(list); // no fixed row: nothing shown
    EXPECT_EQ(Grid->GetCellEx(1, 0), "");
    list->Free();
}

TEST_F(ExGridAccessTest, RowColorNoneFreesPlainCellsOnly)
{
    NewGrid();
    auto* graphic = NewObject<TStringList>(); // stands for a cell's graphic
    Grid->SetFontSizes(2, 3, 14);
    Grid->SetGraphicObjectEx(3, 3, graphic);
    Grid->SetRowColor(3, clYellow);
    EXPECT_EQ(Grid->GetColors(1, 3), clYellow);
    EXPECT_EQ(Grid->GetColors(0, 3), clNone); // fixed column untouched
    Grid->SetRowColor(3, clNone);
    EXPECT_FALSE(Grid->HasCellProperties(2, 3));
    ASSERT_TRUE(Grid->HasCellProperties(3, 3));
    EXPECT_EQ(Grid->GetColors(3, 3), clNone);
    Grid->SetGraphicObjectEx(3, 3, nullptr);
    graphic->Free();

    TFont f;
    f.SetName("Arial");
    f.SetSize(11);
    f.SetStyle(fsItalic);
    f.SetColor(clGreen);
    Grid->SetCellFont(1, 1, f);
    EXPECT_EQ(Grid->GetFontNames(1, 1), "Arial");
    EXPECT_EQ(Grid->GetFontSizes(1, 1), 11);
    EXPECT_EQ(Grid->GetFontStyles(1, 1), TFontStyles(fsItalic));
    EXPECT_EQ(Grid->GetFontColors(1, 1), clGreen);
}

TEST_F(ExGridAccessTest, ZoomIsHeldToTenEitherWay)
{
    NewGrid();
    Grid->SetColWidths(2, 2);
    const int w1 = Grid->ColWidths(1);
    Grid->Zoom(6);
    EXPECT_EQ(Grid->ZoomFactor(), 6);
    EXPECT_EQ(Grid->ColWidths(1), w1 + 6);
    Grid->Zoom(6); // 12: refused
    EXPECT_EQ(Grid->ZoomFactor(), 6);
    EXPECT_EQ(Grid->ColWidths(1), w1 + 6);
    Grid->Zoom(-6);
    Grid->Zoom(-3);
    EXPECT_EQ(Grid->ColWidths(2), 2); // 2 + 6 - 6, then -3 would reach -1: kept
    EXPECT_EQ(Grid->ZoomFactor(), -3);
}

TEST_F(ExGridAccessTest, SortedAndLoadTimePositions)
{
    NewGrid();
    EXPECT_EQ(Grid->UnSortedRowIndex(4), 4);
    for (int v : {3, 1, 2})
        Grid->SortRowXRef()->Add(v);
    EXPECT_EQ(Grid->UnSortedRowIndex(1), 1);
    EXPECT_EQ(Grid->UnSortedRowIndex(9), 3);
    EXPECT_EQ(Grid->SortedRowIndex(0), 3);
    EXPECT_EQ(Grid->SortedRowIndex(7), 7);

    Grid->SetColumnOrder();
    EXPECT_EQ(Grid->ColumnPosition(3), 3);
    Grid->MoveColumn(1, 3);
    Grid->ColumnOrder()->Delete(1);
    Grid->ColumnOrder()->Insert(3, 1);
    EXPECT_EQ(Grid->ColumnPosition(1), 3);
    EXPECT_EQ(Grid->ColumnAtPosition(3), 1);
    Grid->SetCellEx(3, 2, "was one");
    EXPECT_EQ(Grid->GetOriginalCells(1, 2), "was one");
    Grid->ResetColumnOrder();
    EXPECT_EQ(Grid->GetCellEx(1, 2), "was one");
    EXPECT_EQ(Grid->ColumnPosition(1), 1);
}

TEST_F(ExGridAccessTest, AssignCopiesSettingsDimensionsAndCells)
{
    NewGrid();
    Grid->SetColCount(6);
    Grid->SetRowCount(4);
    Grid->SetColWidths(2, 90);
    Grid->SetRowHeights(3, 40);
    Grid->SetCellEx(5, 3, "last");
    Grid->FixedRowAlways = true;
    Grid->SortSettings()->Column = 4;
    auto* copy = NewObject<TExStringGrid>(Form);
    copy->Assign(Grid);
    EXPECT_EQ(copy->ColCount(), 6);
    EXPECT_EQ(copy->RowCount(), 4);
    EXPECT_EQ(copy->ColWidths(2), 90);
    EXPECT_EQ(copy->RowHeights(3), 40);
    EXPECT_EQ(copy->GetCellEx(5, 3), "last");
    EXPECT_TRUE(copy->FixedRowAlways);
    EXPECT_EQ(copy->SortSettings()->Column, 4);

    auto* other = NewObject<TStringList>();
    copy->Assign(other); // not a grid: nothing changes
    copy->AssignCells(other);
    EXPECT_EQ(copy->GetCellEx(5, 3), "last");
    other->Free();
}

TEST_F(ExGridAccessTest, LoadedTakesTheMinimaAndTheColumnWidths)
{
    NewGrid();
    Grid->SetColWidths(1, 77);
    Grid->SetOptions(Grid->Options() | goAlwaysShowEditor);
    Grid->ColumnHeaders()->Add("h0");
    Grid->BeginLoading();
    Grid->EndLoading();
    EXPECT_TRUE(Grid->FLoaded);
    EXPECT_EQ(Grid->FFixedRowsMin, 1);
    EXPECT_EQ(Grid->FMinRowHeight, 22);
    EXPECT_EQ(Grid->FMinColWidth, 10);
    EXPECT_EQ(Grid->FMaxRowCount, 10);
    EXPECT_TRUE(Grid->Navigation()->AlwaysEdit);
    EXPECT_FALSE(Grid->Options() & goAlwaysShowEditor);
    ASSERT_EQ(Grid->OrigColSizes()->Count(), 5);
    EXPECT_EQ(Grid->OrigColSizes()->GetInteger(1), 77);
    EXPECT_EQ(Grid->OrigWidth(), 400);
    EXPECT_EQ(Grid->ColumnOrder()->Count(), 5);
}

TEST_F(ExGridAccessTest, SettersStoreClampAndRepaint)
{
    NewGrid();
    Grid->SetSelectionColorMixerFactor(150);
    EXPECT_EQ(Grid->SelectionColorMixerFactor(), 100);
    Grid->SetSelectionColorMixerFactor(-5);
    EXPECT_EQ(Grid->SelectionColorMixerFactor(), 0);
    Grid->SetVAlignment(vtaCenter);
    EXPECT_EQ(Grid->FVAlign, 4u);
    Grid->SetVAlignment(vtaBottom);
    EXPECT_EQ(Grid->FVAlign, 8u);
    Grid->SetShowSelection(false);
    EXPECT_FALSE(Grid->FShowSel);
    Grid->SetArrowColor(clBlue);
    EXPECT_EQ(Grid->ArrowColor(), clBlue);
    EXPECT_EQ(Grid->GetXYOffsetWidth(), 4);
    Grid->XYOffsetTopLeftOnly = true;
    EXPECT_EQ(Grid->GetXYOffsetHeight(), 2);
    EXPECT_EQ(Grid->SaveStartRow(), 0);
    Grid->SaveFixedCells = false;
    EXPECT_EQ(Grid->SaveStartRow(), 1);
    EXPECT_EQ(Grid->SaveRowCount(), 9);
}

TEST_F(ExGridAccessTest, ARemovedCheckerIsForgotten)
{
    NewGrid();
    auto* checker = NewObject<ROroRoravaZuzoZovor>(Form);
    Grid->SetCellChecker(checker);
    EXPECT_EQ(Grid->CellChecker(), checker);
    checker->Free();
    EXPECT_EQ(Grid->CellChecker(), nullptr);
}

TEST_F(ExGridAccessTest, OwnedObjectsAndChildWindows)
{
    NewGrid();
    EXPECT_NE(Grid->EditCombo, nullptr);
    EXPECT_FALSE(Grid->EditCombo->Enabled());
    EXPECT_FALSE(Grid->EditCombo->Visible());
    EXPECT_EQ(Grid->EditBtn->ButtonCaption(), "...");
    EXPECT_EQ(Grid->MoveButton->Grid, Grid);
    EXPECT_EQ(Grid->EditCheck->Parent(), Grid);
    EXPECT_EQ(Grid->FooterPanel()->Parent(), Grid);
    EXPECT_EQ(Grid->SearchPanel()->Height(), 0);
    EXPECT_EQ(Grid->FixedFont()->Name(), "Tahoma");
    EXPECT_EQ(Grid->FixedFont()->Style(), TFontStyles(fsBold));
    EXPECT_EQ(Grid->ActiveCellColor(), TColor(0x808080));
    EXPECT_EQ(Grid->ScrollBars(), ssBoth);
    EXPECT_EQ(Grid->XMLEncoding, "ISO-8859-1");
    EXPECT_EQ(Grid->FilterDropDownClear, "(All)");
    EXPECT_TRUE(Grid->FilterList()->Sorted());
    EXPECT_EQ(Grid->ShowModified()->Color(), TColor(0x00FFFF));
    EXPECT_EQ(Grid->DragScrollOptions()->Delays()->InitialDelay, 1000);
    EXPECT_EQ(Grid->ControlLook()->ControlStyle(), csTheme);
}

TEST_F(ExGridAccessTest, ScrollBarAlwaysShowsAndDisablesABarWhoseRowsFit)
{
    NewGrid();
    Grid->SetRowCount(3);
    Grid->SetScrollBarAlways(saVert);
    const auto& bar = Grid->ScrollBarsState()->Bar(SB_VERT);
    EXPECT_TRUE(bar.Shown);
    EXPECT_EQ(bar.Disabled, unsigned(ESB_DISABLE_BOTH));
}

TEST_F(ExGridAccessTest, SizingOneColumnSizesTheOthersInProportion)
{
    NewGrid();
    Grid->SetColWidths(1, 45);
    Grid->SetColWidths(2, 50);
    Grid->SetColWidths(3, 35);
    Grid->SetColWidths(0, 30);
    Grid->MouseActions()->AllColumnSize = true;
    int ended = -1;
    Grid->OnEndColumnSize = [&](TObject*, int c) { ended = c; };
    Grid->ColSized = true;
    Grid->Colclicked = 2;
    Grid->Colclickedsize = 50;
    Grid->SetColWidths(2, 75);
    EXPECT_EQ(Grid->ColWidths(1), 68); // 67.5, half to even
    EXPECT_EQ(Grid->ColWidths(3), 52); // 52.5, half to even
    EXPECT_EQ(Grid->ColWidths(0), 30); // fixed column kept
    EXPECT_EQ(ended, 2);
    EXPECT_FALSE(Grid->ColSized);
    EXPECT_EQ(Grid->Colclicked, -1);

    // The handler's width wins.
    Grid->OnUpdateColumnSize = [](TObject*, int, int& w) { w = 40; };
    Grid->MouseActions()->AllColumnSize = false;
    Grid->ColSized = true;
    Grid->Colclicked = 1;
    Grid->SetColWidths(1, 90);
    EXPECT_EQ(Grid->ColWidths(1), 40);
}

TEST_F(ExGridAccessTest, AStretchColumnPastTheColumnsRaisesOnEveryWidthChange)
{
    NewGrid();
    Grid->ColumnSize()->StretchColumn = 9;
    EXPECT_THROW(Grid->SetColWidths(1, 70), EInvalidGridOperation);
    Grid->ColumnSize()->StretchColumn = -1;
    Grid->SetBorderStyle(bsNone);
    Grid->SetColumnStretch(true);
    int sum = 0;
    for (int c = 0; c < Grid->ColCount(); ++c)
        sum += Grid->ColWidths(c);
    EXPECT_EQ(sum, Grid->ClientWidth() - 1);
}

TEST_F(ExGridAccessTest, TheOwnerFormKeepsItsResizeHandler)
{
    auto* form = NewObject<TForm>(nullptr);
    int own = 0;
    form->OnResize = [&](TObject*) { ++own; };
    auto* grid = NewObject<TExStringGrid>(form);
    EXPECT_TRUE(grid->ResizeAssigned);
    form->OnResize(form);
    EXPECT_EQ(own, 1); // the form's own handler, untouched by the grid
    grid->Free();
    ASSERT_TRUE(form->OnResize);
    form->OnResize(form);
    EXPECT_EQ(own, 2);
    form->Free();

    auto* bare = NewObject<TForm>(nullptr);
    auto* g2 = NewObject<TExStringGrid>(bare);
    EXPECT_FALSE(bool(bare->OnResize)); // the grid listens on its own
    EXPECT_FALSE(g2->ResizeAssigned);
    g2->Free();
    EXPECT_FALSE(bool(bare->OnResize));
    bare->Free();
}

TEST_F(ExGridAccessTest, TheWindowTakesTheWheelSettings)
{
    SetWheelScrollLines(5);
    NewGrid();
    EXPECT_EQ(Grid->wheelmsg, unsigned(WM_MOUSEWHEEL));
    EXPECT_EQ(Grid->wheelscrl, 5);
    SetWheelScrollLines(3);
}

TEST_F(ExGridAccessTest, AMergedColumnJoinsRunsOfEqualTexts)
{
    NewGrid();
    Grid->SetRowCount(6);
    const char* texts[] = {"A", "A", "B", "B", "B"};
    for (int r = 1; r <= 5; ++r)
        Grid->SetCellEx(1, r, texts[r - 1]);
    Grid->MergedColumns()->Add(1);
    EXPECT_EQ(Grid->CellSpan(1, 1), (TPoint{0, 1}));
    EXPECT_EQ(Grid->CellSpan(1, 3), (TPoint{0, 2}));
    EXPECT_EQ(Grid->BaseCell(1, 5), (TPoint{1, 3}));
    // A changed list splits first: column 1 alone is merged no more.
    Grid->MergedColumns()->Clear();
    Grid->MergedColumns()->Add(2);
    EXPECT_FALSE(Grid->IsYMergedCell(1, 1));
    EXPECT_FALSE(Grid->IsYMergedCell(1, 3));
}

TEST_F(ExGridAccessTest, WordWrapReachesTheOpenTextEditor)
{
    NewGrid();
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->SetFocus();
    Grid->ShowEditor();
    ASSERT_NE(Grid->NormalEdit(), nullptr);
    Grid->SetWordWrapEx(false);
    EXPECT_FALSE(Grid->NormalEdit()->WordWrap());
    Grid->SetWordWrapEx(true);
    EXPECT_TRUE(Grid->NormalEdit()->WordWrap());
    EXPECT_TRUE(Grid->WordWrap);
}
