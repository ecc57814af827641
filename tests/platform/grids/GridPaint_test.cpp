// What the grid paints: which cells, with which draw states and colours.
#include "GridTestKit.h"

#include <set>

TEST_F(GridTest, DrawStatesOfTheCurrentCellFollowTheFocus) {
    NewGrid();
    Grid->SetRowCount(6);
    Key(VK_DOWN, ssShift);  // selection (1,1)-(1,2), current (1,2)
    Render();
    const DrawnCell* cur = Grid->FindDrawn(1, 2);
    const DrawnCell* other = Grid->FindDrawn(1, 1);
    const DrawnCell* plain = Grid->FindDrawn(2, 2);
    const DrawnCell* fixed = Grid->FindDrawn(0, 2);
    ASSERT_TRUE(cur && other && plain && fixed);
    EXPECT_EQ(cur->State, TGridDrawState(gdSelected | gdFocused));
    EXPECT_EQ(other->State, TGridDrawState(gdSelected));
    EXPECT_EQ(plain->State, TGridDrawState(0));
    EXPECT_EQ(fixed->State, TGridDrawState(gdFixed));
    EXPECT_EQ(cur->Rect, Grid->CellRect(1, 2));

    // Another control takes the focus: the current cell is selected only.
    auto* other2 = NewObject<TStringGrid>(Form);
    other2->SetParent(Form);
    other2->SetBounds(0, 310, 100, 50);
    other2->SetFocus();
    Grid->Drawn.clear();
    Render();
    ASSERT_TRUE(Grid->FindDrawn(1, 2));
    EXPECT_EQ(Grid->FindDrawn(1, 2)->State, TGridDrawState(gdSelected));
}

TEST_F(GridTest, RowSelectMarksTheSelectedRow) {
    NewGrid();
    Grid->SetOptions(Grid->Options() | goRowSelect);
    Render();
    for (int c = 1; c < 5; ++c) {
        const DrawnCell* d = Grid->FindDrawn(c, 1);
        ASSERT_TRUE(d);
        EXPECT_TRUE(d->State & gdSelected) << c;
        EXPECT_TRUE(d->State & gdRowSelected) << c;
    }
    EXPECT_FALSE(Grid->FindDrawn(1, 2)->State & gdRowSelected);
}

TEST_F(GridTest, OnlyTheCellsInViewArePainted) {
    NewGrid(1000, 600);
    Grid->SetColCount(16);
    Grid->SetRowCount(1024);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) Grid->SetTopRow(900);
        Grid->Drawn.clear();
        Render();
        std::set<std::pair<int, int>> drawn;
        for (const DrawnCell& d : Grid->Drawn) {
            EXPECT_TRUE(drawn.insert({d.Col, d.Row}).second) << "drawn twice: " << d.Col << "," << d.Row;
            EXPECT_FALSE(Grid->CellRect(d.Col, d.Row).IsEmpty()) << d.Col << "," << d.Row;
        }
        // Every cell in view is painted, and nothing else.
        size_t inView = 0;
        for (int r = 0; r < 1024; ++r)
            for (int c = 0; c < 16; ++c)
                if (!Grid->CellRect(c, r).IsEmpty()) {
                    ++inView;
                    EXPECT_TRUE(drawn.count({c, r})) << c << "," << r;
                }
        EXPECT_EQ(drawn.size(), inView);
        EXPECT_LT(inView, 16u * 30u);
    }
}

// A damage in pieces far apart (a header cell and a strip at the bottom)
// paints the cells that meet a piece, not all those in its bounding box.
TEST_F(GridTest, OnlyTheCellsMeetingTheDamagedPiecesArePainted) {
    NewGrid(1000, 600);
    Grid->SetColCount(16);
    Grid->SetRowCount(1024);
    Render();
    const TRect corner = Grid->CellRect(0, 0), cell = Grid->CellRect(3, 5), bottom = Grid->CellRect(1, 20);
    Grid->Drawn.clear();
    InvalidateRect(Grid, &corner, false);
    InvalidateRect(Grid, &cell, false);
    const TRect strip = Rect(0, bottom.Top, Grid->ClientWidth(), bottom.Bottom);
    InvalidateRect(Grid, &strip, false);
    Form->PaintPending();
    std::set<std::pair<int, int>> drawn;
    for (const DrawnCell& d : Grid->Drawn) drawn.insert({d.Col, d.Row});
    // Every cell that meets a piece is painted; a cell is painted only when
    // a piece lies within a few pixels of it (its lines, a frame drawn just
    // outside): the rows between the header and the strip are left alone.
    const QRegion pieces = QRegion(corner.Left, corner.Top, corner.Width(), corner.Height()) +
                           QRegion(cell.Left, cell.Top, cell.Width(), cell.Height()) +
                           QRegion(strip.Left, strip.Top, strip.Width(), strip.Height());
    for (int r = 0; r < 1024; ++r)
        for (int c = 0; c < 16; ++c) {
            const TRect cr = Grid->CellRect(c, r);
            if (cr.IsEmpty()) continue;
            const QRect q(cr.Left, cr.Top, cr.Width(), cr.Height());
            if (pieces.intersects(q)) EXPECT_TRUE(drawn.count({c, r})) << "not painted: " << c << "," << r;
            if (!pieces.intersects(q.adjusted(-4, -4, 4, 4))) EXPECT_FALSE(drawn.count({c, r})) << "painted: " << c << "," << r;
        }
    // The picture is the full paint's.
    const QImage partial = Form->Surface()->copy();
    EXPECT_TRUE(partial == Render());
}

TEST_F(GridTest, DefaultDrawingColours) {
    NewGrid();
    const TColor back = RGB(200, 255, 200);
    Grid->SetColor(back);
    Grid->SetRowCount(4);
    Key(VK_RIGHT, ssShift);  // selection (1,1)-(2,1), current (2,1)
    QImage img = Render();
    const TColor highlight = ColorToRGB(clHighlight);
    // A selected cell that is not focused shows the highlight colour; the
    // focused one keeps the grid's colour unless goDrawFocusSelected.
    EXPECT_EQ(PixelAt(img, 65 + 60, 25 + 20), highlight);
    EXPECT_EQ(PixelAt(img, 130 + 60, 25 + 20), back);
    EXPECT_EQ(PixelAt(img, 130 + 60, 50 + 20), back);
    EXPECT_EQ(PixelAt(img, 10, 40), ColorToRGB(clBtnFace));
    // Past the last column and the last row the grid's colour shows.
    EXPECT_EQ(PixelAt(img, 360, 40), back);
    EXPECT_EQ(PixelAt(img, 40, 200), back);
    // Grid lines between normal cells.
    EXPECT_EQ(PixelAt(img, 129, 60), ColorToRGB(clSilver));
    Grid->SetOptions(Grid->Options() | goDrawFocusSelected);
    img = Render();
    EXPECT_EQ(PixelAt(img, 130 + 60, 25 + 20), highlight);
    // Without vertical lines the gap takes the cell colour.
    Grid->SetOptions(Grid->Options() & ~goVertLine);
    img = Render();
    EXPECT_EQ(PixelAt(img, 194, 60), back);
}

TEST_F(GridTest, TheStringGridWritesTheTextTwoPixelsIn) {
    NewGrid();
    Grid->SetCells(2, 2, QString(8, QChar(0x2588)));  // full blocks: ink from the first pixel
    QStringList order;
    Grid->OnDrawCell = [&](TObject*, int c, int r, const TRect&, TGridDrawState) {
        if (c == 2 && r == 2) order << "OnDrawCell";
    };
    const QImage img = Render();
    EXPECT_EQ(order, QStringList({"OnDrawCell"}));
    const TRect cell = Grid->CellRect(2, 2);
    const TColor back = ColorToRGB(clWindow);
    int firstX = -1, firstY = -1;
    for (int y = cell.Top; y < cell.Bottom && firstY < 0; ++y)
        for (int x = cell.Left; x < cell.Right; ++x)
            if (PixelAt(img, x, y) != back) {
                firstY = y;
                break;
            }
    for (int x = cell.Left; x < cell.Right && firstX < 0; ++x)
        for (int y = cell.Top; y < cell.Bottom; ++y)
            if (PixelAt(img, x, y) != back) {
                firstX = x;
                break;
            }
    ASSERT_GE(firstX, 0) << "no text drawn";
    EXPECT_GE(firstX, cell.Left + 2);
    EXPECT_LE(firstX, cell.Left + 4);
    EXPECT_GE(firstY, cell.Top + 2);
    // The text is clipped to the cell: the next cell stays clear.
    EXPECT_EQ(PixelAt(img, cell.Right + 3, cell.Top + 8), back);
}

TEST_F(GridTest, PressedAndHotFixedCells) {
    NewGrid();
    QStringList clicks;
    Grid->OnFixedCellClick = [&](TObject*, int c, int r) { clicks << QString("%1,%2").arg(c).arg(r); };
    Input::MouseMove(Grid, 70, 10);
    Render();
    EXPECT_TRUE(Grid->FindDrawn(1, 0)->State & gdHotTrack);
    Input::MouseDown(Grid, mbLeft, 70, 10);
    Grid->Drawn.clear();
    Render();
    EXPECT_EQ(Grid->FindDrawn(1, 0)->State, TGridDrawState(gdFixed | gdPressed | gdHotTrack));
    Input::MouseUp(Grid, mbLeft, 70, 10);
    EXPECT_EQ(clicks, QStringList({"1,0"}));
    // A release elsewhere is no click.
    Input::MouseDown(Grid, mbLeft, 10, 30);
    Input::MouseUp(Grid, mbLeft, 10, 80);
    EXPECT_EQ(clicks, QStringList({"1,0"}));
}

TEST_F(GridTest, NoDefaultDrawingLeavesTheCellsToDrawCell) {
    NewGrid();
    Grid->SetDefaultDrawing(false);
    Grid->SetCells(2, 2, QString(8, QChar(0x2588)));
    Grid->OnDrawCell = [&](TObject* s, int, int, const TRect& r, TGridDrawState) {
        TCanvas* c = static_cast<TStringGrid*>(s)->Canvas();
        c->Brush().SetColor(clRed);
        c->FillRect(r);
    };
    const QImage img = Render();
    const TRect cell = Grid->CellRect(2, 2);
    EXPECT_EQ(PixelAt(img, cell.Left + 6, cell.Top + 8), clRed);
}

// Renders a grid with a selection, a fixed row and column and an open editor
// to grid_review.png in the build folder, for a person to look at.
TEST_F(GridTest, ReviewPicture) {
    NewGrid(420, 200);
    Grid->SetColCount(8);
    Grid->SetRowCount(12);
    Grid->SetOptions(Grid->Options() | goEditing);
    for (int c = 0; c < 8; ++c) Grid->SetCells(c, 0, QString("Col %1").arg(c));
    for (int r = 1; r < 12; ++r) {
        Grid->SetCells(0, r, QString::number(r));
        for (int c = 1; c < 8; ++c) Grid->SetCells(c, r, QString("%1.%2").arg(r).arg(c));
    }
    Key(VK_DOWN, ssShift);
    Key(VK_RIGHT, ssShift);
    Key(VK_F2);
    const QImage img = Render();
    ASSERT_TRUE(img.save(QString(KAL_BUILD_DIR) + "/grid_review.png"));
    // The editor covers the current cell: its background is the window colour.
    const TRect r = Grid->CellRect(Grid->Col(), Grid->Row());
    EXPECT_EQ(PixelAt(img, r.Right - 3, r.Bottom - 3), ColorToRGB(clWindow));
}

TEST_F(GridTest, ScrollBarButtonsCarryArrowsPointingTheirWay) {
    NewGrid();
    Grid->SetRowCount(100);
    Grid->SetColCount(40);
    ASSERT_TRUE(Grid->VertScrollBarVisible());
    ASSERT_TRUE(Grid->HorzScrollBarVisible());
    const QImage img = Render();
    // The dark pixels of an arrow counted line by line across its pointing
    // direction, empty lines left out: an arrow narrows towards its tip.
    auto profile = [&img](const TRect& r, bool vertical) {
        QList<int> counts;
        const int lines = vertical ? r.Height() : r.Width();
        const int across = vertical ? r.Width() : r.Height();
        for (int i = 0; i < lines; ++i) {
            int n = 0;
            for (int j = 0; j < across; ++j) {
                const int x = vertical ? r.Left + j : r.Left + i, y = vertical ? r.Top + i : r.Top + j;
                n += PixelAt(img, x, y) == ColorToRGB(clBtnText);
            }
            if (n) counts << n;
        }
        return counts;
    };
    const int cw = Grid->ClientWidth(), ch = Grid->ClientHeight();
    const int sw = GetSystemMetrics(SM_CXVSCROLL), sh = GetSystemMetrics(SM_CYHSCROLL);
    struct Case { const char* name; TRect button; bool vertical, tipFirst; };
    const Case cases[] = {
        {"up", Rect(cw, 0, cw + sw, sw), true, true},
        {"down", Rect(cw, ch - sw, cw + sw, ch), true, false},
        {"left", Rect(0, ch, sh, ch + sh), false, true},
        {"right", Rect(cw - sh, ch, cw, ch + sh), false, false},
    };
    for (const Case& c : cases) {
        const QList<int> p = profile(c.button, c.vertical);
        ASSERT_GE(p.size(), 2) << c.name << ": no arrow drawn";
        if (c.tipFirst) EXPECT_LT(p.front(), p.back()) << c.name;
        else EXPECT_GT(p.front(), p.back()) << c.name;
    }
}
