#include "PaintKit.h"

#include "platform/controls/Input.h"

namespace {
// A 75-pixel centred data check-box column (column 2) of a column grid in
// the XP control style, editable, as the forms set it.
TExColumnGrid* CheckColumnGrid(PaintTest& t, TExColumnGrid* g)
{
    (void)t;
    g->SetColCount(4);
    g->SetRowCount(8);
    g->Columns()->Items(2)->SetEditor(edDataCheckBox);
    g->Columns()->Items(2)->SetAlignment(taCenter);
    g->Columns()->Items(2)->SetWidth(75);
    g->SetOptions(g->Options() | goEditing);
    g->SetCellEx(2, 2, "Y");
    g->SetCellEx(2, 3, "y");
    g->SetCellEx(2, 4, "");
    g->SetCellEx(2, 5, "N");
    return g;
}
} // namespace

TEST_F(PaintTest, DataCheckBoxesOfAnXPColumnShowTheGridsPictures)
{
    TExColumnGrid* g = CheckColumnGrid(*this, NewColumnGrid());
    g->ControlLook()->SetControlStyle(csWinXP);
    const auto shown = [&](const QImage& img, int row) {
        const TRect c = g->CellRect(2, row);
        for (int n = 5; n <= 8; ++n)
            if (ShowsPicture(img, ResourceImage(QString("SGCHK0%1").arg(n)), c.Left + 1 + 29, c.Top + 2))
                return n;
        return 0;
    };
    struct Case {
        bool readOnly, alwaysActive;
        int checked, unchecked;
    };
    const Case cases[] = {{false, false, 5, 6}, {true, false, 7, 8}, {true, true, 5, 6}};
    for (const Case& k : cases) {
        g->Columns()->Items(2)->ReadOnly = k.readOnly;
        g->ControlLook()->CheckAlwaysActive = k.alwaysActive;
        const QImage img = Render();
        EXPECT_EQ(shown(img, 2), k.checked) << k.readOnly << k.alwaysActive;
        for (int row : {3, 4, 5})
            EXPECT_EQ(shown(img, row), k.unchecked) << row << " " << k.readOnly << k.alwaysActive;
    }
}

TEST_F(PaintTest, TheGridsOwnPicturesAreRegistered)
{
    RegisterGridGlyphs();
    for (const char* base : {"SGCHK", "SGRAD"})
        for (int n = 1; n <= 8; ++n) {
            const QString name = QString("%1%2").arg(base).arg(n, 2, 10, QChar('0'));
            const QImage img = ResourceImage(name);
            const int size = (QString(base) == "SGCHK" && n <= 4) ? 20 : 16;
            EXPECT_EQ(img.width(), size) << name.toStdString();
            EXPECT_EQ(img.height(), size) << name.toStdString();
        }
    // On and off, active and not, all differ.
    for (const char* base : {"SGCHK0", "SGRAD0"})
        for (int a = 1; a <= 8; ++a)
            for (int b = a + 1; b <= 8; ++b)
                if ((a <= 4) == (b <= 4)) {
                    EXPECT_NE(ResourceImage(QString("%1%2").arg(base).arg(a)),
                              ResourceImage(QString("%1%2").arg(base).arg(b)))
                        << base << a << " " << b;
                }
}

TEST_F(PaintTest, ThemedCheckBoxesAreClassicBoxesWithoutVisualStyles)
{
    TExColumnGrid* g = CheckColumnGrid(*this, NewColumnGrid());
    ASSERT_EQ(g->ControlLook()->ControlStyle(), csTheme);
    const QImage img = Render();
    for (int row : {2, 5}) {
        // The classic box of that state, drawn on the cell's own ground.
        const TRect c = g->CellRect(2, row);
        const TColor ground = At(img, c.Left + 3, c.Bottom - 3);
        TBitmap ref(15, 15, pf24bit);
        ref.Canvas()->Brush().SetColor(ground);
        ref.Canvas()->FillRect(TRect{0, 0, 15, 15});
        TRect box{0, 0, 15, 15};
        ref.Canvas()->DrawFrameControl(box, DFC_BUTTON, DFCS_BUTTONCHECK | (row == 2 ? DFCS_CHECKED : 0u));
        EXPECT_TRUE(ShowsPicture(img, ref.Image(), c.Left + 1 + 29, c.Top + 2)) << row;
    }
}

TEST_F(PaintTest, RadioButtonsInTheXPStyle)
{
    NewGrid();
    Grid->ControlLook()->SetControlStyle(csWinXP);
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->AddRadioButton(2, 2, true);
    Grid->AddRadioButton(2, 3, false);
    TStringList items;
    items.Add("One");
    items.Add("Two");
    items.Add("Three");
    Grid->SetRowHeights(4, 60);
    Grid->SetColWidths(3, 120);
    Grid->AddRadio(3, 4, 0, 1, &items);
    QImage img = Render();
    const auto count = [&](const QImage& in, int col, int row, int n) {
        const TRect c = Grid->CellRect(col, row);
        return FindPicture(in, ResourceImage(QString("SGRAD0%1").arg(n)), c).size();
    };
    EXPECT_EQ(count(img, 2, 2, 5), 1);
    EXPECT_EQ(count(img, 2, 2, 6), 0);
    EXPECT_EQ(count(img, 2, 3, 6), 1);
    // The group's second item is the chosen one, one item per line.
    EXPECT_EQ(count(img, 3, 4, 5), 1);
    EXPECT_EQ(count(img, 3, 4, 6), 2);
    const TRect g = Grid->CellRect(3, 4);
    const QList<QPoint> on = FindPicture(img, ResourceImage("SGRAD05"), g);
    const QList<QPoint> off = FindPicture(img, ResourceImage("SGRAD06"), g);
    ASSERT_EQ(on.size(), 1);
    ASSERT_EQ(off.size(), 2);
    EXPECT_LT(off[0].y(), on[0].y());
    EXPECT_GT(off[1].y(), on[0].y());
    EXPECT_EQ(off[0].x(), on[0].x());

    // Cells that may not be edited show the inactive pictures.
    Grid->SetReadOnly(2, 2, true);
    img = Render();
    EXPECT_EQ(count(img, 2, 2, 7), 1);
    Grid->ControlLook()->RadioAlwaysActive = true;
    img = Render();
    EXPECT_EQ(count(img, 2, 2, 5), 1);
}

TEST_F(PaintTest, SortGlyphFollowsTheDirection)
{
    NewGrid();
    Grid->SetCellEx(2, 0, "Head");
    const TRect c = Grid->CellRect(2, 0);
    const QImage plain = Render();
    Grid->SortSettings()->Show = true;
    Grid->SortSettings()->Column = 2;
    Grid->SortSettings()->Direction = sdAscending;
    const QImage up = Render();
    Grid->SortSettings()->Direction = sdDescending;
    const QImage down = Render();
    for (const QImage* img : {&up, &down}) {
        const QList<QPoint> d = Changed(plain, *img, c);
        ASSERT_FALSE(d.isEmpty());
        int top = c.Bottom, bottom = c.Top, left = c.Right, right = c.Left;
        for (const QPoint& p : d) {
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
            left = std::min(left, p.x());
            right = std::max(right, p.x());
        }
        // A triangle 9 pixels wide and high, right of the text.
        EXPECT_EQ(right - left, 8);
        EXPECT_EQ(bottom - top, 8);
        EXPECT_GT(left, c.Left + Grid->Canvas()->TextWidth("Head"));
        // Ascending: white base below; descending: grey base on top.
        const TColor base = At(*img, (left + right) / 2, img == &up ? bottom : top);
        EXPECT_EQ(base, img == &up ? clWhite : TColor(0x808080));
    }
    // Only the sort row's sorted column.
    const QList<QPoint> other = Changed(plain, up, Grid->CellRect(3, 0));
    EXPECT_TRUE(other.isEmpty());
}

TEST_F(PaintTest, HoverAndPressedHeadersOnlyWhereHoverFixedCellsAllows)
{
    NewGrid();
    Grid->ControlLook()->SetFixedGradientHoverFrom(TColor(0x0000FF));
    Grid->ControlLook()->SetFixedGradientHoverTo(TColor(0x0000FF));
    Grid->ControlLook()->SetFixedGradientDownFrom(TColor(0x00FF00));
    Grid->ControlLook()->SetFixedGradientDownTo(TColor(0x00FF00));
    Grid->FHoverFixedCell = TGridCoord{2, 0};
    const TRect c = Grid->CellRect(2, 0);
    const TPoint mid{(c.Left + c.Right) / 2, (c.Top + c.Bottom) / 2};
    // hfNone: the forms' hover colours never show.
    QImage img = Render();
    EXPECT_NE(At(img, mid.X, mid.Y), TColor(0x0000FF));
    Grid->HoverFixedCells = hfAll;
    img = Render();
    EXPECT_EQ(At(img, mid.X, mid.Y), TColor(0x0000FF));
    int frame = 0;
    for (int x = c.Right - 4; x < c.Right; ++x)
        frame += At(img, x, mid.Y) == ColorToRGB(Grid->QORGradientHoverBorder);
    EXPECT_EQ(frame, 1);
    const TRect n = Grid->CellRect(3, 0);
    EXPECT_NE(At(img, (n.Left + n.Right) / 2, mid.Y), TColor(0x0000FF));
    Grid->FMouseDown = true;
    img = Render();
    Grid->FMouseDown = false;
    EXPECT_EQ(At(img, mid.X, mid.Y), TColor(0x00FF00));
    // hfFixedCols leaves the header row alone.
    Grid->HoverFixedCells = hfFixedCols;
    img = Render();
    EXPECT_NE(At(img, mid.X, mid.Y), TColor(0x0000FF));
}

TEST_F(PaintTest, SortedColumnHeaderTakesTheSortHeaderColours)
{
    NewGrid();
    Grid->SortSettings()->Column = 3;
    Grid->SortSettings()->HeaderColor = TColor(0x00FFFF);
    const QImage img = Render();
    const TRect c = Grid->CellRect(3, 0), o = Grid->CellRect(2, 0);
    EXPECT_EQ(At(img, (c.Left + c.Right) / 2, c.Top + 5), TColor(0x00FFFF));
    EXPECT_NE(At(img, (o.Left + o.Right) / 2, o.Top + 5), TColor(0x00FFFF));
}

TEST_F(PaintTest, ModifiedRowsAreMarkedInColumnZero)
{
    NewGrid();
    Grid->ShowModified()->Enabled = true;
    Grid->SetRowModified(3, true);
    const QImage img = Render();
    const TRect m = Grid->CellRect(0, 3), u = Grid->CellRect(0, 2);
    const int y = (m.Top + m.Bottom) / 2;
    // A 4-pixel strip at the right edge of the content.
    int strip = 0;
    for (int x = m.Left; x < m.Right; ++x)
        strip += At(img, x, y) == TColor(0x00FFFF);
    EXPECT_EQ(strip, 4);
    EXPECT_NE(At(img, u.Right - 4, (u.Top + u.Bottom) / 2), TColor(0x00FFFF));
    EXPECT_NE(At(img, Grid->CellRect(1, 3).Right - 4, y), TColor(0x00FFFF));
}

TEST_F(PaintTest, RowIndicatorShowsInTheCurrentRowOnly)
{
    NewGrid();
    TBitmap* ind = Grid->RowIndicator();
    ind->SetSize(8, 8);
    ind->Canvas()->Brush().SetColor(TColor(0xFF00FF));
    ind->Canvas()->FillRect(TRect{0, 0, 8, 8});
    ind->Canvas()->Brush().SetColor(TColor(0x0000FF));
    ind->Canvas()->FillRect(TRect{1, 1, 7, 7});
    Grid->SetRow(2);
    const QImage img = Render();
    const auto red = [&](int row) {
        const TRect c = Grid->CellRect(0, row);
        int n = 0;
        for (int y = c.Top; y < c.Bottom; ++y)
            for (int x = c.Left; x < c.Right; ++x)
                n += At(img, x, y) == TColor(0x0000FF);
        return n;
    };
    EXPECT_EQ(red(2), 36);
    EXPECT_EQ(red(3), 0);
    // Its ground is left out.
    const TRect c = Grid->CellRect(0, 2);
    int ground = 0;
    for (int x = c.Left; x < c.Right; ++x)
        ground += At(img, x, c.Top + 1) == TColor(0xFF00FF);
    EXPECT_EQ(ground, 0);
}

TEST_F(PaintTest, SizingLineIsDrawnInTheNextPaint)
{
    NewGrid();
    Grid->SetOptions(Grid->Options() | goColSizing);
    const TRect h = Grid->CellRect(2, 0);
    const int x = h.Right - 1, y = (h.Top + h.Bottom) / 2;
    const QImage before = Render();
    Input::MouseMove(Grid, x, y);
    Input::MouseDown(Grid, mbLeft, x, y);
    ASSERT_EQ(Grid->GridState(), gsColSizing);
    Grid->ClearInvalidatedRects();
    Input::MouseMove(Grid, x + 30, y);
    // Only the strips of the old and new line are asked to repaint.
    ASSERT_FALSE(Grid->InvalidatedRects().empty());
    for (const TRect& r : Grid->InvalidatedRects())
        EXPECT_LE(r.Right - r.Left, 3);
    const QImage during = Render();
    const int lx = Grid->SizingPosition();
    int marks = 0;
    for (int py = 0; py < 200; ++py)
        marks += At(during, lx, py) != At(before, lx, py);
    EXPECT_GT(marks, 40);
    Input::MouseUp(Grid, mbLeft, x + 30, y);
    const QImage after = Render();
    int left = 0;
    for (int py = 100; py < 300; ++py)
        left += At(after, lx, py) != At(after, lx + 5, py);
    EXPECT_EQ(left, 0);
}

TEST_F(PaintTest, NodeBoxesShowTheirState)
{
    NewGrid();
    Grid->SetRowCount(8);
    Grid->CellNode()->SetNodeType(cnFlat);
    Grid->AddNode(2, 3);
    const QImage open = Render();
    Grid->ContractNode(2);
    const QImage closed = Render();
    // Contracted, the minus gains a vertical bar in the node colour.
    // (The cell's last line is where the tree line to the first child row
    // starts.)
    TRect c = Grid->CellRect(0, 2);
    c.Bottom -= 1;
    const QList<QPoint> d = Changed(open, closed, c);
    ASSERT_EQ(d.size(), 4);
    for (const QPoint& p : d) {
        EXPECT_EQ(p.x(), d[0].x());
        EXPECT_EQ(At(closed, p.x(), p.y()), ColorToRGB(Grid->CellNode()->NodeColor));
    }
}

TEST_F(PaintTest, PaintedFiresAfterEachPaintButNotWhileLocked)
{
    NewGrid();
    int painted = 0;
    Grid->OnPainted = [&](TObject*) { ++painted; };
    Render();
    EXPECT_EQ(painted, 1);
    Grid->BeginUpdate();
    Render();
    EXPECT_EQ(painted, 1);
    Grid->EndUpdate();
    Render();
    EXPECT_EQ(painted, 2);
}

TEST_F(PaintTest, CommentCellsShowTheirCornerMark)
{
    NewGrid();
    Grid->AddComment(2, 2, "note");
    Grid->AddColorComment(3, 2, "other", TColor(0x00FF00));
    const QImage img = Render();
    const TRect a = Grid->CellRect(2, 2), b = Grid->CellRect(3, 2);
    EXPECT_EQ(At(img, a.Right - 3, a.Top + 1), TColor(0x0000FF));
    EXPECT_EQ(At(img, b.Right - 3, b.Top + 1), TColor(0x00FF00));
    EXPECT_NE(At(img, a.Right - 3, a.Top + 8), TColor(0x0000FF));
}

TEST_F(PaintTest, CellScrollBarTakesTheRightEdgeAndScrollsTheText)
{
    NewGrid();
    Grid->SetColWidths(2, 120);
    Grid->SetRowHeights(2, 60);
    Grid->SetCellEx(2, 2, "first\nsecond\nthird\nfourth\nfifth");
    Grid->Multilinecells = true;
    const TRect c = Grid->CellRect(2, 2);
    const int w = GetSystemMetrics(SM_CXVSCROLL);
    const TRect bar{c.Right - 1 - w, c.Top + 1, c.Right - 1, c.Bottom - 1};
    const TRect text{c.Left, c.Top, c.Right - 1 - w, c.Bottom};
    const QImage plain = Render();
    Grid->AddScrollBar(2, 2, false);
    // A page as large as the range: no bar.
    Grid->SetScrollProp(2, 2, TScrollProp{10, 10});
    EXPECT_TRUE(Changed(plain, Render(), c).isEmpty());
    Grid->SetScrollProp(2, 2, TScrollProp{2, 10});
    const QImage top = Render();
    EXPECT_GT(Changed(plain, top, bar).size(), w * 10);
    EXPECT_TRUE(Changed(plain, top, text).isEmpty());
    Grid->SetScrollPosition(2, 2, 14);
    const QImage scrolled = Render();
    EXPECT_FALSE(Changed(top, scrolled, text).isEmpty());
    // Nothing leaks above the cell.
    EXPECT_TRUE(Changed(top, scrolled, TRect{c.Left, c.Top - 20, c.Right, c.Top - 1}).isEmpty());
}

TEST_F(PaintTest, RatingCountsHalfStars)
{
    NewGrid();
    Grid->SetColWidths(2, 120);
    Grid->AddRating(2, 2, 5, TColor(0x0000FF), TColor(0x808080));
    Grid->SetCellEx(2, 2, "3.3");
    const QImage img = Render();
    const TRect c = Grid->CellRect(2, 2);
    int first = -1;
    int red[6] = {}, grey[6] = {};
    for (int x = c.Left; x < c.Right - 1 && first < 0; ++x)
        for (int y = c.Top; y < c.Bottom - 1; ++y)
            if (At(img, x, y) == TColor(0x0000FF) || At(img, x, y) == TColor(0x808080)) {
                first = x;
                break;
            }
    ASSERT_GE(first, 0);
    for (int y = c.Top; y < c.Bottom - 1; ++y)
        for (int x = first; x < c.Right - 1; ++x) {
            const int slot = std::min(5, (x - first) / 18);
            red[slot] += At(img, x, y) == TColor(0x0000FF);
            grey[slot] += At(img, x, y) == TColor(0x808080);
        }
    // Three full stars, a half one, an empty one, nothing after.
    for (int i = 0; i < 3; ++i) {
        EXPECT_GT(red[i], 20) << i;
        EXPECT_EQ(grey[i], 0) << i;
    }
    EXPECT_GT(red[3], 5);
    EXPECT_GT(grey[3], 5);
    EXPECT_EQ(red[4], 0);
    EXPECT_GT(grey[4], 20);
    EXPECT_EQ(red[5] + grey[5], 0);
}

TEST_F(PaintTest, CellButtonsArePaintedWhereTheMouseLooksForThem)
{
    NewGrid();
    Grid->SetColWidths(2, 100);
    const TRect c = Grid->CellRect(2, 2);
    const QImage plain = Render();
    Grid->AddButton(2, 2, 40, 16, "Go", haRight, vaCenter);
    const QImage img = Render();
    const TRect b = Grid->GetCellButtonRect(2, 2);
    EXPECT_EQ(b.Right - b.Left, 40);
    EXPECT_EQ(b.Bottom - b.Top, 16);
    EXPECT_GT(b.Left, c.Left + 40);
    EXPECT_LE(b.Right, c.Right);
    EXPECT_GT(b.Top, c.Top);
    const QList<QPoint> d = Changed(plain, img, c);
    ASSERT_FALSE(d.isEmpty());
    for (const QPoint& p : d)
        EXPECT_TRUE(p.x() >= b.Left && p.x() < b.Right && p.y() >= b.Top && p.y() < b.Bottom)
            << p.x() << "," << p.y();
}

TEST_F(PaintTest, ProgressBarFillsByTheCellsValue)
{
    NewGrid();
    Grid->SetColWidths(2, 100);
    Grid->AddProgress(2, 2, TColor(0x0000FF), TColor(0xFFFFFF));
    Grid->SetCellEx(2, 2, "25");
    const QImage img = Render();
    const TRect c = Grid->CellRect(2, 2);
    int lastRed = -1;
    for (int x = c.Left; x < c.Right; ++x)
        if (At(img, x, (c.Top + c.Bottom) / 2 + 3) == TColor(0x0000FF))
            lastRed = x;
    ASSERT_GT(lastRed, c.Left);
    // A quarter of the bar's width, within the margins.
    const int filled = lastRed - c.Left;
    EXPECT_GT(filled, 15);
    EXPECT_LT(filled, 35);
}

TEST_F(PaintTest, SelectionRectangleOutlinesTheSelection)
{
    NewGrid();
    Grid->SetOptions(Grid->Options() | goRangeSelect);
    Grid->SetSelection(TGridRect{2, 2, 3, 3});
    Grid->SelectionRectangleColor = TColor(0x0000FF);
    Grid->SetSelectionRectangle(true);
    Grid->HideFocusRect = true;
    const QImage img = Render();
    const TRect a = Grid->CellRect(2, 2), b = Grid->CellRect(3, 3);
    const auto red = [&](int x, int y) { return At(img, x, y) == TColor(0x0000FF); };
    // Outer edges only: the left edge of column 2, the right edge of
    // column 3, the top of row 2 and the bottom of row 3.
    EXPECT_TRUE(red(a.Left + 1, (a.Top + a.Bottom) / 2));
    EXPECT_TRUE(red((a.Left + a.Right) / 2, a.Top + 1));
    EXPECT_TRUE(red(b.Right - 2, (b.Top + b.Bottom) / 2));
    EXPECT_TRUE(red((b.Left + b.Right) / 2, b.Bottom - 2));
    EXPECT_FALSE(red(a.Right - 3, (a.Top + a.Bottom) / 2));
    EXPECT_FALSE(red((a.Left + a.Right) / 2, a.Bottom - 3));
    EXPECT_FALSE(red(Grid->CellRect(4, 2).Left + 4, (a.Top + a.Bottom) / 2));
}

TEST_F(PaintTest, LinksShowWithoutSchemeInTheLinkColour)
{
    NewGrid();
    Grid->SetColWidths(2, 200);
    Grid->URLShow = true;
    Grid->SetCellEx(2, 2, "http://example.org");
    Grid->SetCellEx(2, 3, "example.org");
    const QImage img = Render();
    const TRect a = Grid->CellRect(2, 2), b = Grid->CellRect(3, 3);
    (void)b;
    // The same ink as the bare address, in the link colour and underlined.
    const auto inkOf = [&](int row, TColor colour) {
        const TRect c = Grid->CellRect(2, row);
        int n = 0;
        for (int y = c.Top; y < c.Bottom - 1; ++y)
            for (int x = c.Left; x < c.Right - 1; ++x)
                n += At(img, x, y) == colour;
        return n;
    };
    EXPECT_GT(inkOf(2, Grid->URLColor), 20);
    EXPECT_EQ(inkOf(3, Grid->URLColor), 0);
    // Without the scheme the link is as wide as the bare text.
    const auto rightmost = [&](int row) {
        const TRect c = Grid->CellRect(2, row);
        int last = -1;
        for (int y = c.Top; y < c.Bottom - 3; ++y)
            for (int x = c.Left; x < c.Right - 1; ++x)
                if (Channel(At(img, x, y), 8) < 0x80)
                    last = std::max(last, x);
        return last;
    };
    EXPECT_NEAR(rightmost(2), rightmost(3), 1);
    EXPECT_GT(rightmost(2), a.Left);
}

TEST_F(PaintTest, AlwaysVisibleDropDownButtonsOnComboCells)
{
    TExColumnGrid* g = NewColumnGrid();
    g->SetColCount(4);
    g->Columns()->Items(2)->SetEditor(edComboList);
    g->Columns()->Items(2)->SetWidth(90);
    const QImage plain = Render();
    g->ControlLook()->SetDropDownAlwaysVisible(true);
    const QImage shown = Render();
    const TRect c = g->CellRect(2, 2), n = g->CellRect(1, 2);
    const QList<QPoint> d = Changed(plain, shown, c);
    ASSERT_FALSE(d.isEmpty());
    for (const QPoint& p : d)
        EXPECT_GE(p.x(), c.Right - 19) << p.x();
    EXPECT_TRUE(Changed(plain, shown, n).isEmpty());
}

TEST_F(PaintTest, TheMouseOverAHeaderShowsTheHoverLook)
{
    NewGrid();
    Grid->HoverFixedCells = hfFixedRows;
    Grid->ControlLook()->SetFixedGradientHoverFrom(TColor(0x0000FF));
    Grid->ControlLook()->SetFixedGradientHoverTo(TColor(0x0000FF));
    const TRect a = Grid->CellRect(2, 0), b = Grid->CellRect(3, 0);
    const auto hovered = [&](const QImage& img, const TRect& c) {
        return At(img, (c.Left + c.Right) / 2, (c.Top + c.Bottom) / 2) == TColor(0x0000FF);
    };
    Input::MouseMove(Grid, a.Left + 5, a.Top + 5);
    QImage img = Render();
    EXPECT_TRUE(hovered(img, a));
    EXPECT_FALSE(hovered(img, b));
    Input::MouseMove(Grid, b.Left + 5, b.Top + 5);
    img = Render();
    EXPECT_FALSE(hovered(img, a));
    EXPECT_TRUE(hovered(img, b));
    // Over a normal cell no header is hovered.
    const TRect n = Grid->CellRect(2, 2);
    Input::MouseMove(Grid, n.Left + 5, n.Top + 5);
    img = Render();
    EXPECT_FALSE(hovered(img, a));
    EXPECT_FALSE(hovered(img, b));
}
