#include "BaseGridKit.h"

#include "platform/controls/StdCtrls.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QImage>

namespace {
class BaseGridPaintTest : public BaseGridTest {
protected:
    // One full paint of the form; the pixel at grid client point (x, y).
    QImage Render() { return Form->RenderClient(); }
    static TColor At(const QImage& img, int x, int y)
    {
        const QRgb p = img.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    const RenderedCell* Find(int c, int r) const
    {
        for (const RenderedCell& x : Grid->Rendered)
            if (x.Col == c && x.Row == r)
                return &x;
        return nullptr;
    }
};
} // namespace

TEST_F(BaseGridPaintTest, PaintPassesCountUp)
{
    NewGrid();
    const int before = Grid->FPaintID;
    Render();
    EXPECT_EQ(Grid->FPaintID, before + 1);
}

TEST_F(BaseGridPaintTest, WideGridLinesAndContentRectangles)
{
    NewGrid();
    Grid->SetGridLineWidth(3);
    Grid->SetGridLineColor(clRed);
    const QImage img = Render();
    // Cell (1, 1) is (64, 24, 128, 48): lines 3 wide centred 2 inside its
    // bottom and right edges.
    for (int y = 45; y <= 47; ++y)
        EXPECT_EQ(At(img, 100, y), clRed) << y;
    EXPECT_NE(At(img, 100, 44), clRed);
    for (int x = 125; x <= 127; ++x)
        EXPECT_EQ(At(img, x, 35), clRed) << x;
    EXPECT_NE(At(img, 124, 35), clRed);
    const RenderedCell* c = Find(1, 1);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Rect, TRect(67, 27, 125, 45));
    // A fixed cell's content loses 1 at the right and 2 at the bottom.
    const RenderedCell* f = Find(0, 1);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Rect, TRect(0, 24, 63, 46));
    EXPECT_TRUE(f->State & gdFixed);
}

TEST_F(BaseGridPaintTest, HiddenLastRowIsBlank)
{
    NewGrid();
    Grid->SetColor(clYellow);
    Grid->FHideLastRow = true;
    const int last = Grid->RowCount() - 1;
    Grid->SetCellEx(1, last, "XXXXXXXX");
    const QImage img = Render();
    EXPECT_EQ(Grid->RenderCount(1, last), 0);
    const int top = 24 * last;
    for (int x = 0; x < 5 * 64; x += 7)
        for (int y = top; y < top + 24; y += 3)
            ASSERT_EQ(At(img, x, y), clYellow) << x << "," << y;
}

TEST_F(BaseGridPaintTest, MergedBlockOncePerPassThroughItsCoveredCells)
{
    NewGrid();
    Grid->SetColCount(8);
    Grid->SetRowCount(8);
    Grid->MergeCells(1, 1, 3, 3);
    Render();
    // The base directly, and once through its first covered cell.
    EXPECT_EQ(Grid->RenderCount(1, 1), 2);
    Grid->Rendered.clear();
    Render();
    EXPECT_EQ(Grid->RenderCount(1, 1), 2);

    // Base scrolled out of view: once, through the covered cells.
    Grid->SetLeftCol(2);
    Grid->Rendered.clear();
    Render();
    EXPECT_EQ(Grid->RenderCount(1, 1), 1);
    Grid->Rendered.clear();
    Render();
    EXPECT_EQ(Grid->RenderCount(1, 1), 1);
}

TEST_F(BaseGridPaintTest, BlockUnderTheFixedColumnIsClipped)
{
    NewGrid();
    Grid->SetColCount(8);
    Grid->MergeCells(1, 1, 3, 1);
    Grid->GetCellProperties(1, 1)->SetBrushColor(clRed);
    Grid->SetRow(4); // the block is not selected
    Grid->SetLeftCol(2);
    const QImage img = Render();
    // The block spans x 0 .. 192 now; the fixed column (0 .. 64) keeps its
    // own look.
    EXPECT_NE(At(img, 30, 30), clRed);
    EXPECT_EQ(At(img, 80, 30), clRed);
}

TEST_F(BaseGridPaintTest, SelectionStylesFocusedAndNot)
{
    NewGrid();
    Grid->SetSelectionStyle(ssWin7);
    ASSERT_TRUE(Grid->Focused());
    QImage img = Render();
    // Current cell (1, 1) is selected: the frame's top border runs at y 24.
    EXPECT_EQ(At(img, 90, 24), TColor(0xCEA27D));

    // Without focus and without goDrawFocusSelected: the grey set.
    auto* other = NewObject<TEdit>(Form);
    other->SetParent(Form);
    other->SetBounds(420, 0, 50, 20);
    other->SetFocus();
    ASSERT_FALSE(Grid->Focused());
    img = Render();
    EXPECT_EQ(At(img, 90, 24), TColor(0xD9D9D9));
    EXPECT_EQ(At(img, 90, 26), TColor(0xF8F8F8));
    // The fill's last row before the inner bottom line is the end colour.
    EXPECT_EQ(At(img, 90, 24 + 24 - 2 - 2), TColor(0xE5E5E5));

    Grid->SetOptions(Grid->Options() | goDrawFocusSelected);
    img = Render();
    EXPECT_EQ(At(img, 90, 24), TColor(0xCEA27D));
}

TEST_F(BaseGridPaintTest, HoverAndActiveRows)
{
    NewGrid();
    Grid->SetColor(clWhite);
    Grid->HoverRow = true;
    Grid->HoverRowColor = clLime;
    Grid->FHoverRowIdx = 1;
    Grid->HoverRowCells = HoverRowCellBit(hcNormal);
    Grid->SetSelectionStyle(ssWin7);
    QImage img = Render();
    EXPECT_EQ(At(img, 160, 35), clLime);                 // an ordinary cell of the hover row
    EXPECT_EQ(At(img, 90, 24), TColor(0xCEA27D));        // the selected one keeps its frame
    EXPECT_NE(At(img, 30, 35), clLime);                  // fixed: not without hcFixed
    Grid->HoverRowCells |= HoverRowCellBit(hcFixed);
    img = Render();
    EXPECT_EQ(At(img, 30, 35), clLime);

    // The active row wins over the hover row, in every scrollable column but
    // the current one while the selection shows.
    Grid->SetActiveRowShow(true);
    img = Render();
    EXPECT_EQ(At(img, 160, 35), ColorToRGB(clInfoBk));
    EXPECT_EQ(At(img, 90, 24), TColor(0xCEA27D));
    EXPECT_EQ(At(img, 30, 35), clLime);
    Grid->FShowSel = false;
    img = Render();
    EXPECT_EQ(At(img, 90, 35), ColorToRGB(clInfoBk));
}

TEST_F(BaseGridPaintTest, PaintCellExtOfASelectedCell)
{
    NewGrid();
    TBitmap bmp(64, 24);
    Grid->Rendered.clear();
    Grid->PaintCellExt(bmp.Canvas(), 2, 2, TRect(0, 0, 64, 24), gdSelected);
    EXPECT_TRUE(Grid->Rendered.empty());
    EXPECT_EQ(bmp.Canvas()->Pixels(30, 10), ColorToRGB(clInfoBk));
}

// For a person to look at: each selection style, hover and active rows and
// a merged block, one PNG per look in the build folder.
TEST_F(BaseGridPaintTest, RenderLooksForReview)
{
    NewGrid(460, 200);
    Grid->SetColCount(7);
    Grid->SetRowCount(8);
    for (int r = 1; r < 8; ++r)
        for (int c = 1; c < 7; ++c)
            Grid->SetCellEx(c, r, QString("R%1C%2").arg(r).arg(c));
    Grid->MergeCells(4, 3, 2, 3);
    Grid->SetCellEx(4, 3, "merged");
    Grid->HoverRow = true;
    Grid->FHoverRowIdx = 6;
    Grid->SetActiveRowShow(true);
    Grid->SetOptions(Grid->Options() | goRangeSelect);
    Grid->SetSelection(TGridRect{1, 2, 3, 2});
    const QString dir = QStringLiteral(KAL_BUILD_DIR) + "/review/basegrid";
    QDir().mkpath(dir);
    const struct { TGridSelectionStyle s; const char* name; } looks[] = {
        {ssDefault, "default"}, {ssVista, "vista"}, {ssWin7, "win7"}, {ssOffice2007, "office2007"}};
    for (const auto& l : looks) {
        Grid->SetSelectionStyle(l.s);
        const QImage img = Render();
        EXPECT_TRUE(img.save(dir + "/basegrid_" + l.name + ".png"));
    }
}
