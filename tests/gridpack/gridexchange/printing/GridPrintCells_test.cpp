// Printed cells drawn by the grid's own painters: cell graphics (with
// PrintGraphics), mark-up and rich-text cells, and a mark-up title. Pages are
// previewed onto an A4 bitmap at 96 dpi, where one screen pixel prints as
// about one preview pixel.
#include "GridData4Fixture.h"

#include "gridpack/gridexchange/ExGridPrint.h"

#include <QImage>

#include <climits>
#include <cstdlib>
#include <map>

namespace {

constexpr int kW = 794, kH = 1123; // A4 at 96 dpi

struct TBox {
    int Count = 0;
    int Left = INT_MAX, Top = INT_MAX, Right = -1, Bottom = -1;
    int Width() const { return Count ? Right - Left + 1 : 0; }
    int Height() const { return Count ? Bottom - Top + 1 : 0; }
};

// The pixels of a colour, or (Exact false) of any colour close to it.
TBox Find(TBitmap& b, TColor c, bool Exact = true)
{
    TBox box;
    QImage& img = *b.Canvas()->Image();
    const int r0 = c & 0xFF, g0 = (c >> 8) & 0xFF, b0 = (c >> 16) & 0xFF;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            const bool hit = Exact ? (qRed(p) == r0 && qGreen(p) == g0 && qBlue(p) == b0)
                                   : (std::abs(qRed(p) - r0) < 60 && std::abs(qGreen(p) - g0) < 60 &&
                                      std::abs(qBlue(p) - b0) < 60);
            if (hit) {
                ++box.Count;
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x);
                box.Bottom = std::max(box.Bottom, y);
            }
        }
    return box;
}

// A cell bitmap of one colour.
void SolidBitmap(TExStringGrid* g, int ACol, int ARow, int W, int H, TColor Color, TCellHAlign HAlign)
{
    TBitmap* bmp = g->CreateBitmap(ACol, ARow, false, HAlign, vaTop);
    bmp->SetSize(W, H);
    bmp->Canvas()->Brush().SetColor(Color);
    bmp->Canvas()->FillRect(TRect(0, 0, W, H));
}

class GridPrintCellsTest : public GridData4Test {
protected:
    // Page 1 previewed on a fresh white A4 bitmap.
    void Preview(TExStringGrid* g, TBitmap& b)
    {
        b.SetSize(kW, kH);
        b.Canvas()->Brush().SetColor(clWhite);
        b.Canvas()->FillRect(TRect(0, 0, kW, kH));
        g->SetPreviewPage(1);
        g->PrintPreview(b.Canvas(), TRect(0, 0, kW, kH));
    }
    // The printed height of each row, as the page engine settles it.
    std::map<int, int> RowHeights(TExStringGrid* g)
    {
        std::map<int, int> h;
        g->OnPrintSetRowHeight = [&h](TObject*, int ARow, int& Height) { h[ARow] = Height; };
        TBitmap b;
        Preview(g, b);
        g->OnPrintSetRowHeight = nullptr;
        return h;
    }
};

TEST_F(GridPrintCellsTest, ABitmapPrintsOnlyWithPrintGraphicsAtItsScreenSize)
{
    TExStringGrid* g = NewGrid(3, 3);
    g->SetCells(1, 1, "x");
    SolidBitmap(g, 2, 1, 40, 30, clRed, haLeft);

    TBitmap page;
    Preview(g, page);
    EXPECT_EQ(Find(page, clRed).Count, 0);
    const std::map<int, int> plain = RowHeights(g);

    g->PrintSettings()->PrintGraphics = true;
    Preview(g, page);
    const TBox red = Find(page, clRed);
    ASSERT_GT(red.Count, 0);
    // 40 x 30 screen pixels at 96 dpi come out 40 x 30 preview pixels.
    EXPECT_NEAR(red.Width(), 40, 2);
    EXPECT_NEAR(red.Height(), 30, 2);
    EXPECT_NEAR(red.Count, 40 * 30, 120);
    // The row holds the whole picture: 30 pixels = 79.4 units, plus an
    // eighth.
    const std::map<int, int> withGraphics = RowHeights(g);
    EXPECT_LT(plain.at(1), 79);
    EXPECT_GE(withGraphics.at(1), 79 + 79 / 8);
    EXPECT_EQ(withGraphics.at(2), plain.at(2));
}

TEST_F(GridPrintCellsTest, AGraphicBeforeTheTextWidensTheColumnAndPushesTheText)
{
    TExStringGrid* g = NewGrid(2, 2, 0, 0);
    g->SetCells(0, 0, "abc");
    g->SetCells(1, 0, "abc");
    SolidBitmap(g, 1, 0, 20, 10, clLime, haBeforeText);
    g->PrintSettings()->PrintGraphics = true;
    g->PrintSettings()->Borders = pbNoborder;
    TBitmap page;
    Preview(g, page);
    // 20 pixels = 52.9 units wider.
    EXPECT_NEAR(g->GetPrintColWidth(1) - g->GetPrintColWidth(0), 53, 2);
    const TBox lime = Find(page, clLime);
    ASSERT_GT(lime.Count, 0);
    EXPECT_NEAR(lime.Width(), 20, 2);
    // The text stands right of the picture: no dark pixel of the text in
    // the picture's columns of that row.
    QImage& img = *page.Canvas()->Image();
    for (int y = lime.Top; y <= lime.Bottom; ++y)
        for (int x = lime.Left; x <= lime.Right; ++x)
            ASSERT_NE(img.pixel(x, y) & 0xFFFFFF, 0u) << x << "," << y;
}

TEST_F(GridPrintCellsTest, CheckBoxesPrintAsFrameControlsTickedByState)
{
    TExStringGrid* g = NewGrid(3, 3);
    g->AddCheckBox(1, 1, false, false);
    g->AddCheckBox(2, 1, true, false);
    g->PrintSettings()->PrintGraphics = true;
    g->PrintSettings()->Borders = pbNoborder;
    std::map<int, TRect> cells;
    g->OnCustomCellDraw = [&](TObject*, TCanvas* c, int col, int r, TGridDrawState, const TRect& R, bool) {
        if (r == 1) {
            const TPoint a = c->LPtoDP(TPoint(R.Left, R.Top)), z = c->LPtoDP(TPoint(R.Right, R.Bottom));
            cells[col] = TRect(a.X, a.Y, z.X, z.Y);
        }
    };
    TBitmap page;
    Preview(g, page);
    ASSERT_EQ(cells.count(1) + cells.count(2), 2u);
    QImage& img = *page.Canvas()->Image();
    auto dark = [&](const TRect& r) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += qGray(img.pixel(x, y)) < 180;
        return n;
    };
    const int unticked = dark(cells[1]);
    const int ticked = dark(cells[2]);
    EXPECT_GT(unticked, 20); // the box's frame
    EXPECT_GT(ticked, unticked + 10); // the frame and the tick
}

TEST_F(GridPrintCellsTest, MarkupCellsAreRenderedAndMeasuredByTheRenderer)
{
    TExStringGrid* g = NewGrid(3, 3);
    g->SetCells(1, 1, R"(<font color="#FF0000">red</font> text)");
    g->SetCells(2, 1, "<b>line1</b><br>line2<br>line3");
    g->SetCells(2, 2, "line1");
    TBitmap page;
    Preview(g, page);
    // The mark-up's own colour shows.
    EXPECT_GT(Find(page, clRed, false).Count, 10);
    // Three rendered lines need about three times one line.
    const std::map<int, int> h = RowHeights(g);
    EXPECT_GT(h.at(1), 5 * h.at(2) / 2);
    // The same cells, a graphic among them, go to the printer.
    g->AddCheckBox(1, 2, true, false);
    g->PrintSettings()->PrintGraphics = true;
    Printer()->SetOutputFile(Path("cells.pdf"));
    g->Print();
    EXPECT_EQ(g->PrintNrOfPages(), 1);
    EXPECT_EQ(PdfPageCount(Bytes("cells.pdf")), 1);
    g->PrintSettings()->PrintGraphics = false;
    // Without mark-up the tags would print as text.
    g->EnableHTML = false;
    const std::map<int, int> plain = RowHeights(g);
    EXPECT_EQ(plain.at(1), plain.at(2));
}

TEST_F(GridPrintCellsTest, RichTextCellsKeepTheirColours)
{
    TExStringGrid* g = NewGrid(3, 3);
    g->SetCells(1, 1, R"({\rtf1\ansi{\colortbl ;\red0\green0\blue255;}\cf1 blue words\par})");
    TBitmap page;
    Preview(g, page);
    EXPECT_GT(Find(page, clBlue, false).Count, 10);
    EXPECT_EQ(g->Cells(1, 1).left(5), QStringLiteral("{\\rtf"));
}

TEST_F(GridPrintCellsTest, AMarkupTitleIsRenderedAsABlockAboveTheRows)
{
    TExStringGrid* g = NewGrid(2, 3);
    TPrintSettings* ps = g->PrintSettings();
    ps->Title = ppTopLeft;
    ps->TitleLines()->Add(R"(<font color="#00FF00">Title</font><br>second<br>third)");
    int firstRowTop = 0;
    g->OnCustomCellDraw = [&](TObject*, TCanvas*, int, int r, TGridDrawState, const TRect& R, bool) {
        if (r == 0)
            firstRowTop = R.Top;
    };
    TBitmap page;
    Preview(g, page);
    const TBox green = Find(page, clLime, false);
    ASSERT_GT(green.Count, 0);
    const int htmlTop = firstRowTop;
    // The page's record holds the title's text.
    ASSERT_EQ(TGridPrinter::LastPageTexts().size(), 1u);
    EXPECT_TRUE(TGridPrinter::LastPageTexts()[0].Slots[0].trimmed().startsWith(QStringLiteral("Title")));

    // The same three lines as plain text start the rows higher.
    ps->TitleLines()->Clear();
    ps->TitleLines()->Add("Title");
    ps->TitleLines()->Add("second");
    ps->TitleLines()->Add("third");
    Preview(g, page);
    EXPECT_EQ(Find(page, clLime, false).Count, 0);
    EXPECT_LT(htmlTop, firstRowTop - 50);
}

} // namespace
