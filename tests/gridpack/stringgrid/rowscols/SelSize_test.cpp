// Selection sets, numbering, sizing to content and to the width, exchanges.
#include "gridpack/stringgrid/core/ExGridFixture.h"
#include "platform/controls/ExtCtrls.h"

namespace {
class SelSizeTest : public ExGridTest {};
} // namespace

TEST_F(SelSizeTest, SelectionSetsAndCounts)
{
    NewGrid();
    Grid->MoveColRow(2, 3, true, false);
    EXPECT_EQ(Grid->SelectedCellsCount(), 1);
    ASSERT_EQ(Grid->SelectedCells()->Count(), 1);
    EXPECT_EQ(Grid->SelectedCell(0).X, 2);
    EXPECT_EQ(Grid->SelectedCell(0).Y, 3);

    Grid->SetColCount(8);
    Grid->SelectCells(2, 1, 5, 2);
    EXPECT_EQ(Grid->SelectedCellsCount(), 8);
    EXPECT_TRUE(Grid->IsSelected(3, 2));
    EXPECT_FALSE(Grid->IsSelected(0, 2));
    EXPECT_FALSE(Grid->IsSelected(6, 2));
    EXPECT_EQ(Grid->SelectedColCount(), 4);
    Grid->MergeCells(2, 1, 2, 1); // span 1 beyond the base: 2 columns
    EXPECT_EQ(Grid->SelectedColCount(), 4);
    Grid->SplitCells(2, 1);
    Grid->MergeCells(2, 1, 5, 1); // reaches column 6, past the selection
    EXPECT_EQ(Grid->SelectedColCount(), 5);
    Grid->SplitCells(2, 1);

    EXPECT_EQ(Grid->SelectedRowCount(), 2);
    EXPECT_EQ(Grid->SelectedRow(0), 1);
    EXPECT_EQ(Grid->SelectedRow(1), 2);
    EXPECT_EQ(Grid->SelectedRow(2), -1);
    EXPECT_EQ(Grid->SelectedRow(-1), -1);

    // Footer rows never count.
    Grid->SetFixedFooters(2);
    Grid->SelectCells(1, 6, 1, 9);
    EXPECT_EQ(Grid->SelectedRowCount(), 2);
}

TEST_F(SelSizeTest, InvalidatingACellRangeMarksTheAreaBetweenItsCorners)
{
    NewGrid();
    Grid->ClearInvalidatedRects();
    Grid->InvalidateCellRange(TGridRect{1, 1, 2, 3});
    ASSERT_EQ(Grid->InvalidatedRects().size(), 1u);
    const TRect a = Grid->CalcCellRect(1, 1), b = Grid->CalcCellRect(2, 3);
    EXPECT_EQ(Grid->InvalidatedRects()[0], (TRect{a.Left, a.Top, b.Right, b.Bottom}));
    // Far below the view: nothing to repaint.
    Grid->SetRowCount(200);
    Grid->ClearInvalidatedRects();
    Grid->InvalidateCellRange(TGridRect{1, 150, 2, 160});
    EXPECT_TRUE(Grid->InvalidatedRects().empty());
}

TEST_F(SelSizeTest, DisjunctCellsFarDownKeepTheirOwnRowAndColumn)
{
    NewGrid();
    Grid->MouseActions()->SetDisjunctCellSelect(true);
    Grid->SetRowCount(70000);
    // Rows from 65536 on stay apart from every other cell (a code of
    // row x 65536 + column would run over and meet others).
    Grid->SetSelectedCells(1, 65537, true);
    Grid->SetSelectedCells(1, 1, true);
    Grid->SetSelectedCells(1, 1, true); // listed once
    EXPECT_EQ(Grid->SelectedCellsCount(), 2);
    EXPECT_TRUE(Grid->IsSelected(1, 65537));
    EXPECT_FALSE(Grid->IsSelected(2, 65536));
    EXPECT_FALSE(Grid->IsSelected(1, 65536 + 65537));
    EXPECT_EQ(Grid->SelectedCell(0), (TGridCoord{1, 65537}));
    EXPECT_EQ(Grid->SelectedCell(1), (TGridCoord{1, 1}));
    EXPECT_THROW(Grid->SelectedCell(2), EListError);
    Grid->SetSelectedCells(1, 65537, false);
    EXPECT_EQ(Grid->SelectedCellsCount(), 1);
    EXPECT_TRUE(Grid->GetSelectedCells(1, 1));
}

TEST_F(SelSizeTest, SelectedTextJoinsCellsByTabAndRowsByLineBreaks)
{
    NewGrid();
    Grid->SetCellEx(1, 1, "a");
    Grid->SetCellEx(2, 1, "b");
    Grid->SetCellEx(1, 2, "c");
    Grid->SetCellEx(2, 2, "two\r\nlines");
    Grid->SelectCells(1, 1, 2, 2);
    EXPECT_EQ(Grid->SelectedText(), "a\tb\r\nc\ttwo\r\nlines");
    Grid->Multilinecells = true;
    Grid->ExcelClipboardFormat = true;
    EXPECT_EQ(Grid->SelectedText(), "a\tb\r\nc\t\"two\x0Blines\"");
}

TEST_F(SelSizeTest, AutoNumbering)
{
    NewGrid();
    Grid->SetRowCount(5);
    Grid->AutoNumberStart = 1;
    Grid->AutoNumberCol(1);
    const char* asc[] = {"", "", "2", "3", "4"};
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(Grid->GetCellEx(1, r), asc[r]) << r;
    Grid->AutoNumberDirection = sdDescending;
    Grid->AutoNumberCol(2);
    const char* desc[] = {"", "4", "3", "2", ""};
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(Grid->GetCellEx(2, r), desc[r]) << r;
    Grid->AutoNumberDirection = sdAscending;
    Grid->AutoNumberStart = 0;
    Grid->AutoNumberOffset = 10;
    Grid->AutoNumberRow(1);
    EXPECT_EQ(Grid->GetCellEx(1, 1), "11");
    EXPECT_EQ(Grid->GetCellEx(4, 1), "14");
}

TEST_F(SelSizeTest, RowFitting)
{
    NewGrid();
    Grid->SetCellEx(1, 2, "text");
    Grid->AddCheckBox(2, 2, true, false);
    Grid->FitRowHeight(2, false, 0);
    EXPECT_EQ(Grid->RowHeights(2), 22 + 4 + 2 * 1);

    Grid->Canvas()->Font().Assign(*Grid->GetCellFont(1, 3));
    const int h = Grid->Canvas()->TextHeight("gh");
    for (int extra : {0, 5}) {
        Grid->SizeRowToLines(3, 3, extra);
        EXPECT_EQ(Grid->RowHeights(3), extra + 3 * (h + h / 8));
    }
    Grid->MaxRowHeight = 30;
    Grid->SizeRowToLines(3, 3, 0);
    EXPECT_EQ(Grid->RowHeights(3), 30);
    // Grow-only keeps a row that is high enough.
    Grid->SetRowHeights(2, 60);
    Grid->SizeGrowOnly = true;
    Grid->AutoSizeRow(2);
    EXPECT_EQ(Grid->RowHeights(2), 60);
}

TEST_F(SelSizeTest, ColumnFittingMeasuresTextAndOffsets)
{
    NewGrid();
    Grid->SetCellEx(1, 1, "a rather long text");
    Grid->SetCellEx(1, 2, "x");
    Grid->AutoSizeCol(1);
    const int w = Grid->GetCellTextSize(1, 1, false, false).cx;
    EXPECT_EQ(Grid->ColWidths(1), w + 4 + 2 * 2);
    Grid->AutoSizeCol(1, 10);
    EXPECT_EQ(Grid->ColWidths(1), w + 8 + 10);
    int hooked = -1;
    Grid->OnUpdateColumnSize = [&](TObject*, int c, int& width) {
        hooked = c;
        width = 33;
    };
    Grid->MinColWidth = 40;
    Grid->FitColumnWidth(1, false);
    EXPECT_EQ(hooked, 1);
    EXPECT_EQ(Grid->ColWidths(1), 40);
}

TEST_F(SelSizeTest, AutoFitColumnsFillsTheWidth)
{
    NewGrid();
    Grid->SetBounds(0, 0, 400, 250);
    // Columns already filling the width minus the 3D border: untouched.
    const int widths[] = {80, 80, 80, 76, 80};
    for (int c = 0; c < 5; ++c)
        Grid->SetColWidths(c, widths[c]);
    Grid->AutoFitColumns(true);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(Grid->ColWidths(c), widths[c]) << c;
    for (int c = 0; c < 5; ++c)
        Grid->SetColWidths(c, 50);
    Grid->AutoFitColumns(true);
    int sum = 0;
    for (int c = 0; c < 5; ++c)
        sum += Grid->ColWidths(c);
    EXPECT_EQ(sum, 400 - 4);
}

TEST_F(SelSizeTest, SwappingKeepsCellObjectsWithTheirTexts)
{
    NewGrid();
    Grid->SetCellEx(1, 1, "one");
    Grid->AddCheckBox(2, 1, true, false);
    Grid->SetRowHeights(1, 40);
    Grid->SetCellEx(1, 3, "three");
    Grid->SetColors(1, 3, clRed);
    auto* ctl = NewObject<TGridChildControl>(Grid);
    Grid->SetCellControls(3, 3, ctl);
    Grid->SwapRows(1, 3);
    EXPECT_EQ(Grid->GetCellEx(1, 3), "one");
    EXPECT_TRUE(Grid->HasCheckBox(2, 3));
    EXPECT_FALSE(Grid->HasCheckBox(2, 1));
    EXPECT_EQ(Grid->GetColors(1, 1), clRed);
    EXPECT_EQ(Grid->GetCellEx(1, 1), "three");
    EXPECT_EQ(Grid->RowHeights(3), 40);
    EXPECT_EQ(Grid->GetCellControls(3, 1), ctl);

    Grid->SortSettings()->Column = 1;
    Grid->SwapColumns(1, 2);
    EXPECT_EQ(Grid->GetCellEx(2, 3), "one");
    EXPECT_TRUE(Grid->HasCheckBox(1, 3));
    EXPECT_EQ(Grid->SortSettings()->Column, 2);
}

TEST_F(SelSizeTest, AFixedCellSizingMayBeForbidden)
{
    NewGrid();
    Grid->SetOptions(Grid->Options() | goColSizing);
    TGridDrawInfo info;
    Grid->CalcFixedInfo(info);
    const TRect r = Grid->CellRect(1, 0);
    TGridState state = gsNormal;
    int index = 0, pos = 0, ofs = 0;
    Grid->CalcSizingState(r.Right, r.Top + 3, state, index, pos, ofs, info);
    ASSERT_EQ(state, gsColSizing);
    int asked = -1;
    Grid->OnColumnSize = [&](TObject*, int c, bool& allow) {
        asked = c;
        allow = false;
    };
    state = gsNormal;
    Grid->CalcSizingState(r.Right, r.Top + 3, state, index, pos, ofs, info);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(state, gsNormal);
}

TEST_F(SelSizeTest, SelectionToFormPicturesTheCellsOnAFadedPopup)
{
    NewGrid();
    Grid->SetBounds(0, 0, 400, 300);
    Grid->SetCellEx(1, 1, "pic");
    Grid->Repaint();
    TCustomForm* f = Grid->SelectionToForm(TGridRect{1, 1, 2, 2});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Owner(), Grid);
    EXPECT_NE(dynamic_cast<TPopupForm*>(f), nullptr); // never takes the focus, on top
    // From one pixel inside cell (1, 1) to two beyond cell (2, 2).
    const TRect a = Grid->CalcCellRect(1, 1), b = Grid->CalcCellRect(2, 2);
    const int w = b.Right + 2 - (a.Left + 1) + 1, h = b.Bottom + 2 - (a.Top + 1) + 1;
    EXPECT_EQ(f->ClientWidth(), w);
    EXPECT_EQ(f->ClientHeight(), h);
    ASSERT_EQ(f->ControlCount(), 1);
    auto* image = dynamic_cast<TImage*>(f->Controls(0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Align(), alClient);
    TBitmap* pic = image->Picture()->Bitmap();
    ASSERT_EQ(pic->Width(), w);
    ASSERT_EQ(pic->Height(), h);
    // The picture is the grid's: its pixels match the grid's own painting.
    QImage whole(Grid->Width(), Grid->Height(), QImage::Format_ARGB32_Premultiplied);
    Grid->PaintTo(whole, TPoint{0, 0});
    const TRect in = Grid->NCInsets();
    auto gridPixel = [&](int x, int y) {
        const QRgb p = whole.pixel(a.Left + 1 + in.Left + x, a.Top + 1 + in.Top + y);
        return TColor(qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16));
    };
    int differ = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            differ += pic->Canvas()->Pixels(x, y) != gridPixel(x, y);
    EXPECT_EQ(differ, 0);
    // On the screen it lets 64/255 of what lies below show: a white cell
    // pixel over black comes out at 192.
    int wx = -1, wy = -1;
    for (int y = 0; y < h && wx < 0; ++y)
        for (int x = 0; x < w && wx < 0; ++x)
            if (pic->Canvas()->Pixels(x, y) == clWhite) {
                wx = x;
                wy = y;
            }
    ASSERT_GE(wx, 0);
    static_cast<TPopupForm*>(f)->Popup(50, 60);
    QImage screen(w, h, QImage::Format_RGB32);
    screen.fill(0xFF000000u);
    f->ComposeOnScreen(screen, f->ClientOrigin());
    EXPECT_NEAR(qRed(screen.pixel(wx, wy)), 192, 1);
    EXPECT_NEAR(qGreen(screen.pixel(wx, wy)), 192, 1);
    delete f;

    // From column 0 with fixed columns: the fixed line runs down the left edge.
    Grid->SetGridFixedLineColor(clRed);
    TCustomForm* g = Grid->SelectionToForm(TGridRect{0, 1, 1, 1});
    TBitmap* p2 = dynamic_cast<TImage*>(g->Controls(0))->Picture()->Bitmap();
    for (int y = 0; y < p2->Height(); y += 4)
        EXPECT_EQ(p2->Canvas()->Pixels(0, y), clRed) << y;
    EXPECT_NE(p2->Canvas()->Pixels(1, 1), clRed);
    delete g;
}
