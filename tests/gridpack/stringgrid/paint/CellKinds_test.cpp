// Rotated text, interfaced cells and the XP box's mixed state.
#include "PaintKit.h"

#include "gridpack/basegrid/ExObj.h"

namespace {
TColor Pixel(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// The bounding box of the pixels inside `in` that are not `ground`.
TRect InkBox(const QImage& img, const TRect& in, TColor ground)
{
    TRect box{in.Right, in.Bottom, in.Left, in.Top};
    for (int y = in.Top; y < in.Bottom; ++y)
        for (int x = in.Left; x < in.Right; ++x)
            if (Pixel(img, x, y) != ground) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

class TBoxDrawer : public TPersistent, public IGridCellDrawer {
public:
    TPoint CellDrawSize(int, int) override { return Size; }
    bool CellDrawBehindText() override { return Behind; }
    void CellDraw(TCanvas* Canvas, const TRect& R, TObject* Grid, bool, int ACol, int ARow) override
    {
        Drawn << QPoint(ACol, ARow);
        EXPECT_NE(dynamic_cast<TExStringGrid*>(Grid), nullptr);
        Canvas->Brush().SetStyle(bsSolid);
        Canvas->Brush().SetColor(Fill);
        Canvas->FillRect(R);
    }
    TPoint Size{0, 0};
    bool Behind = false;
    TColor Fill = TColor(0x0000FF);
    QList<QPoint> Drawn;
};
} // namespace

TEST_F(PaintTest, PlaceRotatedTextFitsTheTurnedTextByAlignment)
{
    NewGrid();
    TCanvas* c = Grid->Canvas();
    c->Font().Assign(*Grid->Font());
    const TSize ext = c->TextExtent("Herew");
    const TRect cell{10, 20, 110, 220};
    struct Case {
        int angle;
        TVAlignment va;
        TAlignment ha;
        TPoint origin;
    };
    const Case cases[] = {
        // Unturned: the top-left corner of the shrunk cell.
        {0, vtaTop, taLeftJustify, Point(12, 22)},
        // Upwards: the text's start stands at the bottom of its box.
        {90, vtaTop, taLeftJustify, Point(12, 22 + ext.cx)},
        {90, vtaBottom, taLeftJustify, Point(12, 218)},
        {90, vtaTop, taRightJustify, Point(108 - ext.cy, 22 + ext.cx)},
        // Downwards: the start at the top right of its box.
        {270, vtaTop, taLeftJustify, Point(12 + ext.cy, 22)},
    };
    for (const Case& k : cases) {
        TRect r = cell;
        Grid->PlaceRotatedText(r, k.angle, k.va, k.ha, "Here");
        EXPECT_EQ(Point(r.Left, r.Top), k.origin) << k.angle << " " << int(k.va) << " " << int(k.ha);
    }
}

TEST_F(PaintTest, RotatedCellsDrawTheirTextTurnedInsideTheCell)
{
    NewGrid();
    Grid->SetRowHeights(2, 120);
    Grid->SetColWidths(2, 100);
    Grid->SetColWidths(3, 120);
    Grid->AddRotated(2, 2, 90, "Rotated text");
    Grid->SetCells(3, 2, "Rotated text");
    const QImage img = Render();
    const TRect cell = Grid->CellRect(2, 2);
    const TRect inner{cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2};
    const TColor ground = At(img, cell.Right - 3, cell.Bottom - 3);
    const TRect turned = InkBox(img, inner, ground);
    ASSERT_LT(turned.Left, turned.Right) << "text is drawn";
    EXPECT_GT(turned.Bottom - turned.Top, 2 * (turned.Right - turned.Left)) << "the text runs upwards";
    // A plain cell with the same text lies flat.
    const TRect plain = Grid->CellRect(3, 2);
    const TRect flat = InkBox(img, TRect{plain.Left + 2, plain.Top + 2, plain.Right - 2, plain.Bottom - 2}, ground);
    EXPECT_GT(flat.Right - flat.Left, 2 * (flat.Bottom - flat.Top));
    EXPECT_NEAR(turned.Bottom - turned.Top, flat.Right - flat.Left, 1) << "the same length either way";
}

TEST_F(PaintTest, InterfacedCellsDrawThemselvesAndReportTheirSize)
{
    NewGrid();
    TBoxDrawer drawer;
    drawer.Size = Point(30, 12);
    Grid->SetCells(2, 2, "over");
    Grid->AddInterfacedCell(2, 2, &drawer);
    EXPECT_EQ(Grid->CalcCellGraphicSize(2, 2, 0), Point(30, 12));
    QImage img = Render();
    const TRect cell = Grid->CellRect(2, 2);
    EXPECT_FALSE(drawer.Drawn.isEmpty());
    EXPECT_EQ(drawer.Drawn.last(), QPoint(2, 2));
    // Drawn after the text: the text is covered.
    EXPECT_EQ(InkBox(img, TRect{cell.Left, cell.Top, cell.Right - 1, cell.Bottom - 1}, drawer.Fill).Left,
              cell.Right - 1);

    // Behind the text: the text shows on the object's colour.
    drawer.Behind = true;
    Grid->Invalidate();
    img = Render();
    const TRect ink = InkBox(img, TRect{cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2}, drawer.Fill);
    EXPECT_LT(ink.Left, ink.Right) << "the text is drawn over the object";
    EXPECT_EQ(At(img, cell.Right - 3, cell.Bottom - 3), drawer.Fill);

    // A size of 0 stands for the cell's.
    drawer.Size = Point(0, 12);
    const TPoint s = Grid->CalcCellGraphicSize(2, 2, 0);
    EXPECT_NE(s, Point(0, 12));
    Grid->RemoveInterfacedCell(2, 2);
}

TEST_F(PaintTest, TheXPBoxShowsTheMixedStateAsAFilledSquare)
{
    NewGrid();
    Grid->ControlLook()->SetControlStyle(csWinXP);
    Grid->ControlLook()->CheckAlwaysActive = true;
    Grid->AddCheckBox(2, 2, cbGrayed);
    Grid->AddCheckBox(2, 3, cbUnchecked);
    const QImage img = Render();
    const QImage box = ResourceImage("SGCHK06");
    const QList<QPoint> mixed = FindPicture(img, box, Grid->CellRect(2, 2));
    // The empty box's frame is there, its middle is the filled square.
    const TRect c2 = Grid->CellRect(2, 2), c3 = Grid->CellRect(2, 3);
    const QList<QPoint> empty = FindPicture(img, box, c3);
    ASSERT_EQ(empty.size(), 1);
    const QPoint off = empty[0] - QPoint(c3.Left, c3.Top);
    const int x0 = c2.Left + off.x(), y0 = c2.Top + off.y();
    EXPECT_TRUE(mixed.isEmpty()) << "not the plain empty box";
    for (int d = 4; d < 12; ++d)
        EXPECT_EQ(At(img, x0 + d, y0 + d), TColor(0x21A121)) << d;
    EXPECT_EQ(At(img, x0 + 1, y0 + 7), At(img, c3.Left + off.x() + 1, c3.Top + off.y() + 7)) << "the same frame";
}
