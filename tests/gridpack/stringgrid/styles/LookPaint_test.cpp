// Painting by look and style: header backgrounds and edges, the hover and
// pressed headers with their drop-down part, the active-cell and sorted
// headers, check glyphs of every control style, the other graphic kinds, the
// background beyond the cells, bands, the focus glow and the balloon texts.
// Every look, style and graphic kind is also saved as a picture under the
// build folder's screens/stringgrid_styles for a person to look at.
#include "StylesKit.h"

#include "gridpack/basegrid/ExGridWindows.h"
#include "gridpack/basegrid/RorIdadGraphics.h"
#include "platform/graphics/Resources.h"

namespace {
class LookPaintTest : public StylesTest {
protected:
    // A small grid with texts in its header and cells.
    void Fill()
    {
        Grid->SetColCount(5);
        Grid->SetRowCount(6);
        for (int c = 0; c < 5; ++c)
            Grid->SetCellEx(c, 0, QStringLiteral("Head %1").arg(c));
        for (int r = 1; r < 6; ++r)
            for (int c = 1; c < 5; ++c)
                Grid->SetCellEx(c, r, QStringLiteral("%1.%2").arg(r).arg(c));
    }
    static bool Near(TColor a, TColor b, int tol = 4)
    {
        a = ColorToRGB(a);
        b = ColorToRGB(b);
        for (int sh : {0, 8, 16})
            if (std::abs(int((a >> sh) & 0xFF) - int((b >> sh) & 0xFF)) > tol)
                return false;
        return true;
    }
    int CountColour(const QImage& img, const TRect& r, TColor c)
    {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(img, x, y) == c;
        return n;
    }
};
} // namespace


// --- header looks --------------------------------------------------------------

TEST_F(LookPaintTest, ListViewHeaderIsButtonFaceInAWhiteFrame)
{
    NewGrid();
    Fill();
    Grid->SetLook(glListView);
    Grid->SetBorderStyle(bsNone);
    const QImage img = Render();
    const TRect c = Grid->CellRect(3, 0);
    EXPECT_EQ(At(img, c.Right - 6, c.Top + 8), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(img, c.Left + 40, c.Top), clWhite);
    EXPECT_EQ(At(img, c.Left, c.Top + 8), clWhite);
}

TEST_F(LookPaintTest, ClassicHeaderHasABlackOuterEdge)
{
    NewGrid();
    Fill();
    Grid->SetLook(glClassic);
    Grid->SetBorderStyle(bsNone);
    const QImage img = Render();
    const TRect c = Grid->CellRect(3, 0);
    // Raised edges inside, black along the right and bottom.
    EXPECT_EQ(CountColour(img, TRect{c.Left + 3, c.Bottom - 2, c.Right - 3, c.Bottom + 1}, clBlack),
              c.Width() - 6);
    EXPECT_GE(CountColour(img, TRect{c.Left, c.Top + 8, c.Left + 4, c.Top + 9}, clWhite), 1);
    EXPECT_EQ(At(img, c.Right - 6, c.Top + 8), ColorToRGB(clBtnFace));
}

TEST_F(LookPaintTest, SoftHeaderHasHalfFixedAndWhiteLines)
{
    NewGrid();
    Fill();
    Grid->SetLook(glSoft);
    Grid->SetBorderStyle(bsNone);
    const QImage img = Render();
    const TRect c = Grid->CellRect(3, 0);
    int half = 0;
    for (int x = c.Left; x <= c.Right; ++x)
        for (int y = c.Top + 3; y < c.Bottom - 3; ++y)
            half += At(img, x, y) == TColor(0x787878);
    // The vertical half-colour line along the right edge.
    EXPECT_GE(half, c.Height() - 8);
}

TEST_F(LookPaintTest, ActiveAndSortedHeaders)
{
    NewGrid();
    Fill();
    Grid->SetActiveCellShow(true);
    Grid->SetActiveCellColor(TColor(0x00FF00));
    Grid->SetCol(2);
    Grid->SetRow(3);
    Grid->SortSettings()->Column = 4;
    Grid->SortSettings()->HeaderColor = TColor(0x0000FF);
    Grid->SortSettings()->HeaderColorTo = TColor(0x0000FF);
    const QImage img = Render();
    const TRect a = Grid->CellRect(2, 0), s = Grid->CellRect(4, 0), n = Grid->CellRect(3, 0);
    const TRect rh = Grid->CellRect(0, 3);
    EXPECT_EQ(At(img, a.Right - 6, a.Top + 8), TColor(0x00FF00));
    EXPECT_EQ(At(img, rh.Right - 6, rh.Top + 8), TColor(0x00FF00));
    EXPECT_EQ(At(img, s.Right - 6, s.Top + 8), TColor(0x0000FF));
    EXPECT_NE(At(img, n.Right - 6, n.Top + 8), TColor(0x0000FF));
    // Without a header colour the sorted column keeps the look's gradient.
    Grid->SortSettings()->HeaderColor = clNone;
    EXPECT_NE(At(Render(), s.Right - 6, s.Top + 8), TColor(0x0000FF));
}

TEST_F(LookPaintTest, HoverAndPressedHeadersWithTheDropDownPart)
{
    NewGrid();
    Fill();
    Grid->Look = glStandard;
    Grid->SetLook(glQOR);
    Grid->SetBorderStyle(bsNone);
    Grid->HoverFixedCells = hfAll;
    Grid->FHoverFixedCell = TGridCoord{2, 0};
    const TRect c = Grid->CellRect(2, 0);
    QImage img = Render();
    EXPECT_TRUE(Near(At(img, c.Right - 20, c.Top + 1), TColor(0xCFD0D1), 6)) << std::hex << At(img, c.Right - 20, c.Top + 1);
    EXPECT_TRUE(Near(At(img, c.Right - 20, c.Bottom - 3), TColor(0xABBCBF), 6));
    // Another header keeps the plain look.
    const TRect o = Grid->CellRect(3, 0);
    EXPECT_FALSE(Near(At(img, o.Right - 20, o.Top + 1), TColor(0xCFD0D1), 6));

    // Pressed: the down gradient.
    Grid->FMouseDown = true;
    img = Render();
    EXPECT_TRUE(Near(At(img, c.Right - 20, c.Top + 1), TColor(0x868788), 6));

    // With the drop-down part: pressed elsewhere the part is the hover
    // colour and the rest the down colour; a triangle in the part.
    Grid->ControlLook()->FixedDropDownButton = true;
    img = Render();
    SaveForReview(img, "stringgrid_styles", "header_dropdown_pressed");
    EXPECT_TRUE(Near(At(img, c.Right - 24, c.Top + 1), TColor(0x868788), 6));
    EXPECT_TRUE(Near(At(img, c.Right - 4, c.Top + 1), TColor(0xCFD0D1), 6));
    Grid->FHeaderDropDownPressed = true;
    img = Render();
    EXPECT_TRUE(Near(At(img, c.Right - 24, c.Top + 1), TColor(0xCFD0D1), 6));
    EXPECT_TRUE(Near(At(img, c.Right - 4, c.Top + 1), TColor(0x868788), 6));
    int dark = 0;
    for (int x = c.Right - 13; x < c.Right - 2; ++x)
        for (int y = c.Top + 4; y < c.Top + 12; ++y)
            dark += At(img, x, y) == clBlack;
    EXPECT_GT(dark, 3);
    Grid->FMouseDown = false;
}

TEST_F(LookPaintTest, FixedRightColumnsOfAFlatGridGetAnOutline)
{
    NewGrid();
    Fill();
    Grid->SetFixedRightCols(1);
    Grid->SetFlat(true);
    const QImage img = Render();
    const TRect c = Grid->CellRect(4, 3);
    EXPECT_GE(CountColour(img, TRect{c.Left - 1, c.Top - 1, c.Right + 1, c.Bottom + 1}, TColor(0x808080)),
              c.Width());
}

// --- check glyphs of every control style ---------------------------------------

TEST_F(LookPaintTest, PictureStylesDrawTheirGlyphs)
{
    NewGrid();
    Fill();
    for (int c = 1; c < 5; ++c)
        Grid->SetColWidths(c, 40);
    Grid->SetRowHeights(1, 28);
    Grid->SetCellEx(1, 1, "Y");
    Grid->SetCellEx(2, 1, "N");
    Grid->AddCheckBox(1, 1, false, true);
    Grid->AddCheckBox(2, 1, false, true);
    Grid->SetCellEx(3, 1, "Y");
    Grid->SetCellEx(4, 1, "N");
    Grid->AddCheckBox(3, 1, false, true);
    Grid->AddCheckBox(4, 1, false, true);
    Grid->OnCanEditCell = [](TObject*, int, int c, bool& can) { can = c < 3; };
    Grid->ControlLook()->SetControlStyle(csQOR);
    const QImage img = Render();
    SaveForReview(img, "stringgrid_styles", "check_csQOR");
    // Each cell shows its picture at the graphic's top-left, 2 pixels in.
    const char* names[] = {"SGCHK01", "SGCHK02", "SGCHK03", "SGCHK04"};
    for (int i = 0; i < 4; ++i) {
        const QImage pic = ResourceImage(names[i]);
        const QRgb key = pic.pixel(0, pic.height() - 1);
        const TRect c = Grid->CellRect(i + 1, 1);
        int differ = 0, compared = 0;
        for (int y = 0; y < pic.height(); ++y)
            for (int x = 0; x < pic.width(); ++x) {
                if (pic.pixel(x, y) == key)
                    continue;
                ++compared;
                const QRgb p = pic.pixel(x, y);
                differ += At(img, c.Left + 2 + x, c.Top + 2 + y) != RGB(qRed(p), qGreen(p), qBlue(p));
            }
        EXPECT_GT(compared, 20) << names[i];
        EXPECT_EQ(differ, 0) << names[i];
    }
}

TEST_F(LookPaintTest, GlyphStyleDrawsTheControlLookGlyphs)
{
    NewGrid();
    Fill();
    TBitmap on(10, 10, pf24bit), off(10, 10, pf24bit);
    on.Canvas()->Brush().SetColor(TColor(0x0000FF));
    on.Canvas()->FillRect(TRect{0, 0, 10, 10});
    on.Canvas()->SetPixels(0, 9, TColor(0xFF00FF));
    off.Canvas()->Brush().SetColor(TColor(0x00FF00));
    off.Canvas()->FillRect(TRect{0, 0, 10, 10});
    off.Canvas()->SetPixels(0, 9, TColor(0xFF00FF));
    Grid->ControlLook()->SetCheckedGlyph(&on);
    Grid->ControlLook()->SetUnCheckedGlyph(&off);
    Grid->ControlLook()->SetControlStyle(csGlyph);
    Grid->SetCellEx(1, 2, "Y");
    Grid->SetCellEx(2, 2, "N");
    Grid->AddCheckBox(1, 2, false, true);
    Grid->AddCheckBox(2, 2, false, true);
    const QImage img = Render();
    const TRect a = Grid->CellRect(1, 2), b = Grid->CellRect(2, 2);
    EXPECT_EQ(At(img, a.Left + 5, a.Top + 5), TColor(0x0000FF));
    EXPECT_EQ(At(img, b.Left + 5, b.Top + 5), TColor(0x00FF00));
    // The transparent corner shows the cell.
    EXPECT_EQ(At(img, a.Left + 2, a.Top + 11), ColorToRGB(Grid->Color()));
}

TEST_F(LookPaintTest, BorlandStyleTicksInTheControlLookColour)
{
    NewGrid();
    Fill();
    Grid->ControlLook()->SetControlStyle(csBorland);
    Grid->ControlLook()->SetColor(TColor(0x0000FF));
    Grid->SetCellEx(1, 1, "Y");
    Grid->SetCellEx(2, 1, "N");
    Grid->SetCellEx(3, 1, "Y");
    for (int c = 1; c < 4; ++c)
        Grid->AddCheckBox(c, 1, false, true);
    Grid->OnCanEditCell = [](TObject*, int, int c, bool& can) { can = c != 3; };
    const QImage img = Render();
    SaveForReview(img, "stringgrid_styles", "check_csBorland");
    const auto box = [&](int col) {
        const TRect c = Grid->CellRect(col, 1);
        return TRect{c.Left + 2, c.Top + 2, c.Left + 17, c.Top + 17};
    };
    EXPECT_GT(CountColour(img, box(1), TColor(0x0000FF)), 10);
    EXPECT_EQ(CountColour(img, box(2), TColor(0x0000FF)), 0);
    EXPECT_GT(CountColour(img, box(2), ColorToRGB(clBtnFace)), 100);
    // Read-only: a grey tick on the shadow colour.
    EXPECT_EQ(CountColour(img, box(3), TColor(0x0000FF)), 0);
    EXPECT_GT(CountColour(img, box(3), TColor(0x808080)), 10);
}

// --- graphic kinds ---------------------------------------------------------------

TEST_F(LookPaintTest, RatingOfThreePointThreeShowsThreeAndAHalfStars)
{
    NewGrid();
    Fill();
    Grid->SetColWidths(2, 120);
    Grid->SetRowHeights(2, 30);
    Grid->AddRating(2, 2, 5, clRed, clSilver);
    Grid->SetCellEx(2, 2, "3.3");
    const QImage img = Render();
    const TRect c = Grid->CellRect(2, 2);
    // The stars' bodies run along one line: each star is 18 pixels on.
    const int y = c.Top + 10;
    const auto star = [&](int i, int dx) { return At(img, c.Left + 1 + 18 * i + dx, y); };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(star(i, 4), clRed) << i;
        EXPECT_EQ(star(i, 13), clRed) << i;
    }
    EXPECT_EQ(star(3, 4), clRed);
    EXPECT_EQ(ColorToRGB(star(3, 13)), ColorToRGB(clSilver));
    EXPECT_EQ(ColorToRGB(star(4, 4)), ColorToRGB(clSilver));
    EXPECT_EQ(ColorToRGB(star(4, 13)), ColorToRGB(clSilver));
}

TEST_F(LookPaintTest, CommentMarkAndExpandChevron)
{
    NewGrid();
    Fill();
    Grid->AddComment(3, 2, "note");
    Grid->AddExpand(4, 2, 40);
    QImage img = Render();
    const TRect d = Grid->CellRect(3, 2);
    // The triangle (right - 7, top), (right - 2, top), (right - 2, top + 5).
    EXPECT_EQ(At(img, d.Right - 7, d.Top), clRed);
    EXPECT_EQ(At(img, d.Right - 3, d.Top + 4), clRed);
    EXPECT_NE(At(img, d.Right - 7, d.Top + 4), clRed);
    EXPECT_NE(At(img, d.Right - 8, d.Top), clRed);
    // Collapsed: (right - 10, top + 5) -> (right - 7, top + 8) -> (right - 3, top + 4).
    const TRect e = Grid->CellRect(4, 2);
    for (TPoint p : {TPoint{-10, 5}, TPoint{-9, 6}, TPoint{-7, 8}, TPoint{-5, 6}, TPoint{-4, 5}})
        EXPECT_EQ(At(img, e.Right + p.X, e.Top + p.Y), clBlack) << p.X << "," << p.Y;
    // Expanded: the chevron turns upwards.
    Grid->GetCellGraphic(4, 2)->CellVar = true;
    img = Render();
    for (TPoint p : {TPoint{-10, 8}, TPoint{-7, 5}, TPoint{-4, 8}})
        EXPECT_EQ(At(img, e.Right + p.X, e.Top + p.Y), clBlack) << p.X << "," << p.Y;
}

TEST_F(LookPaintTest, ButtonRectangleBeforeAndAfterPainting)
{
    NewGrid();
    Fill();
    Grid->SetColWidths(2, 90);
    Grid->SetRowHeights(2, 30);
    Grid->AddButton(2, 2, 60, 20, "Go", haFull, vaCenter);
    Grid->AddButton(3, 2, 30, 14, "x", haRight, vaBottom);
    const TRect c2 = Grid->CellRect(2, 2), c3 = Grid->CellRect(3, 2);
    // Before the first paint the rectangle starts at the cell's corner.
    TRect b = Grid->GetCellButtonRect(3, 2);
    EXPECT_EQ(b.Left, c3.Left);
    EXPECT_EQ(b.Top, c3.Top);
    EXPECT_EQ(b.Width(), 30);
    EXPECT_EQ(b.Height(), 14);
    const QImage img = Render();
    SaveForReview(img, "stringgrid_styles", "buttons");
    // haFull: the cell's whole width.
    b = Grid->GetCellButtonRect(2, 2);
    EXPECT_EQ(b.Left, c2.Left);
    EXPECT_EQ(b.Right, c2.Right);
    EXPECT_EQ(b.Height(), 20);
    // After painting the button sits where it was drawn: right and bottom.
    b = Grid->GetCellButtonRect(3, 2);
    EXPECT_EQ(b.Right, c3.Right - 2);
    EXPECT_GT(b.Top, c3.Top);
    EXPECT_NE(At(img, b.Left + 2, b.Top + 2), ColorToRGB(Grid->Color()));
}

// --- the grid around the cells ------------------------------------------------------

TEST_F(LookPaintTest, BackgroundGradientOnlyBeyondTheCells)
{
    NewGrid();
    Fill();
    Grid->BackGround()->Display = bdGradientVert;
    Grid->BackGround()->Color = TColor(0x0000FF);
    Grid->BackGround()->ColorTo = TColor(0x0000FF);
    QImage img = Render();
    SaveForReview(img, "stringgrid_styles", "background_gradient");
    const TRect last = Grid->CellRect(4, 5);
    EXPECT_EQ(At(img, last.Right + 5, 10), TColor(0x0000FF));
    EXPECT_EQ(At(img, 10, last.Bottom + 5), TColor(0x0000FF));
    EXPECT_EQ(At(img, 475, 375), TColor(0x0000FF));
    EXPECT_NE(At(img, last.Left + 5, last.Top + 5), TColor(0x0000FF));
    // While the search footer shows, its 32 pixels are left to it.
    EXPECT_EQ(Grid->GridBackgroundRect().Bottom, Grid->ClientRect().Bottom);
    Grid->SearchFooter()->SetVisible(true);
    EXPECT_EQ(Grid->GridBackgroundRect().Bottom, Grid->ClientRect().Bottom - 32);
    // A gradient without an end colour paints nothing.
    Grid->SearchFooter()->SetVisible(false);
    Grid->BackGround()->ColorTo = clNone;
    img = Render();
    EXPECT_NE(At(img, 475, 375), TColor(0x0000FF));
}

TEST_F(LookPaintTest, BandsAlternateFromTheFirstNormalRow)
{
    NewGrid();
    Fill();
    Grid->Bands()->SetPrimaryColor(TColor(0x00FFFF));
    Grid->Bands()->SetSecondaryColor(TColor(0xFFFF00));
    Grid->Bands()->SetPrimaryLength(1);
    Grid->Bands()->SetSecondaryLength(1);
    Grid->Bands()->SetActive(true);
    Grid->SetColors(2, 3, TColor(0x0000FF));
    const QImage img = Render();
    for (int r = 1; r < 6; ++r) {
        const TRect c = Grid->CellRect(3, r);
        EXPECT_EQ(At(img, c.Right - 5, c.Bottom - 3), r % 2 == 1 ? TColor(0x00FFFF) : TColor(0xFFFF00)) << r;
    }
    const TRect own = Grid->CellRect(2, 3);
    EXPECT_EQ(At(img, own.Right - 5, own.Bottom - 3), TColor(0x0000FF));
}

TEST_F(LookPaintTest, NoDefaultDrawLeavesOnlyTheText)
{
    NewGrid();
    Fill();
    Grid->SetColors(2, 2, TColor(0x00FF00));
    Grid->SetCellEx(3, 2, "");
    Grid->SetColors(3, 2, TColor(0x00FF00));
    int calls = 0;
    Grid->OnDrawCell = [&](TObject*, int, int, const TRect&, TGridDrawState) { ++calls; };
    Grid->NoDefaultDraw = true;
    const QImage img = Render();
    EXPECT_GT(calls, 0);
    // The cell with a text looks like the empty one: background, no text.
    const TRect a = Grid->CellRect(2, 2), b = Grid->CellRect(3, 2);
    for (int y = a.Top + 1; y < a.Bottom - 1; ++y)
        for (int x = 1; x < a.Width() - 1; ++x)
            ASSERT_EQ(At(img, a.Left + x, y), At(img, b.Left + x, y)) << x << "," << y;
    EXPECT_EQ(At(img, a.Left + 5, a.Top + 5), TColor(0x00FF00));
}

TEST_F(LookPaintTest, FocusGlowWindowAroundTheCell)
{
    NewGrid();
    Fill();
    Grid->SetColWidths(2, 80);
    Grid->SetRowHeights(2, 22);
    const TRect c = Grid->CellRect(2, 2);
    ASSERT_EQ(c.Width(), 80);
    ASSERT_EQ(c.Height(), 22);
    Grid->ShowFocusWindow(c);
    TGridFocusWindow* w = Grid->FFocusWindow;
    ASSERT_NE(w, nullptr);
    const TPoint at = Grid->ClientToScreen(TPoint{c.Left, c.Top});
    EXPECT_EQ(w->Width(), 89);
    EXPECT_EQ(w->Height(), 31);
    EXPECT_EQ(w->Left(), at.X - 4);
    EXPECT_EQ(w->Top(), at.Y - 4);
    EXPECT_EQ(FocusTrackingGrid, Grid);
    Grid->HideFocusWindow();
    EXPECT_EQ(FocusTrackingGrid, nullptr);
}

TEST_F(LookPaintTest, BalloonTextsAreCut)
{
    NewGrid();
    Fill();
    Grid->SetCellEx(2, 2, QString(3000, QLatin1Char('a')));
    QString title, text;
    TBalloonIcon icon = biError;
    Grid->BalloonTexts(2, 2, title, text, icon);
    EXPECT_EQ(text, QString(2045, QLatin1Char('a')) + "...");
    EXPECT_EQ(title, " ");
    EXPECT_EQ(icon, biNone);
    EXPECT_EQ(Grid->FLastBalloonPos, (TPoint{2, 2}));

    Grid->SetCellEx(3, 2, "\t\r\nab\tc");
    Grid->OnCellBalloon = [](TObject*, int, int, QString& t, QString&, TBalloonIcon& i) {
        t = QString(120, QLatin1Char('t'));
        i = biInfo;
    };
    Grid->BalloonTexts(3, 2, title, text, icon);
    EXPECT_EQ(text, "ab c");
    EXPECT_EQ(title, QString(97, QLatin1Char('t')) + "...");
    EXPECT_EQ(icon, biInfo);

    Grid->OnCellBalloon = nullptr;
    Grid->SetCellEx(1, 3, "<b>bold</b> text");
    Grid->AddBalloon(1, 3, "Title", "Body", biWarning);
    Grid->BalloonTexts(1, 3, title, text, icon);
    EXPECT_EQ(text, "bold text");
    EXPECT_EQ(title, "Title");
    EXPECT_EQ(icon, biWarning);
}

// --- pictures for review -------------------------------------------------------------

TEST_F(LookPaintTest, PicturesOfEveryLookStyleAndGraphicKind)
{
    const char* looks[] = {"glStandard", "glSoft",  "glClassic",    "glQOR",   "glXP",
                           "glListView", "glVista", "glWin7",       "glOffice2007", "glCustom"};
    for (int l = glStandard; l <= glCustom; ++l) {
        NewGrid();
        Fill();
        Grid->SetCol(2);
        Grid->SetRow(2);
        Grid->Look = l == glStandard ? glXP : glStandard;
        Grid->SetLook(TGridLook(l));
        const QImage img = Render();
        EXPECT_FALSE(img.isNull());
        SaveForReview(img, "stringgrid_styles", QStringLiteral("look_%1").arg(looks[l]));
    }
    for (int s = gsOffice2003Blue; s <= gsOffice2010Black; ++s) {
        NewGrid();
        Fill();
        Grid->SetOptions(Grid->Options() | goRangeSelect);
        Grid->SetSelection(TGridRect{2, 2, 3, 3});
        Grid->SetStyle(TExGridStyle(s));
        SaveForReview(Render(), "stringgrid_styles", QStringLiteral("style_%1").arg(s, 2, 10, QLatin1Char('0')));
    }
    for (int cs = csClassic; cs <= csTheme; ++cs) {
        NewGrid();
        Fill();
        Grid->ControlLook()->SetControlStyle(TControlStyle(cs));
        for (int c = 1; c < 5; ++c) {
            Grid->SetCellEx(c, 1, c % 2 ? "Y" : "N");
            Grid->AddCheckBox(c, 1, false, true);
        }
        Grid->OnCanEditCell = [](TObject*, int, int c, bool& can) { can = c < 3; };
        SaveForReview(Render(), "stringgrid_styles", QStringLiteral("control_style_%1").arg(cs));
    }
    // One grid with a cell of every drawn kind.
    NewGrid();
    Grid->SetColCount(6);
    Grid->SetRowCount(6);
    for (int c = 1; c < 6; ++c)
        Grid->SetColWidths(c, 90);
    for (int r = 1; r < 6; ++r)
        Grid->SetRowHeights(r, 30);
    Grid->AddProgress(1, 1, clBlue, clWhite);
    Grid->SetCellEx(1, 1, "40");
    Grid->AddProgressPie(2, 1, clGreen, 65);
    Grid->AddRangeIndicator(3, 1, 100, clRed, clGreen, true);
    Grid->SetCellEx(3, 1, "-30");
    Grid->AddExProgress(4, 1, 0, 100);
    Grid->SetCellEx(4, 1, "80");
    Grid->AddComment(5, 1, "note");
    Grid->AddShape(1, 2, csDiamond, clYellow, clBlack, haCenter, vaCenter);
    Grid->AddRating(2, 2, 4, clRed, clSilver);
    Grid->SetCellEx(2, 2, "2.5");
    Grid->AddButton(3, 2, 60, 22, "Button", haCenter, vaCenter);
    Grid->AddExpand(4, 2, 40);
    Grid->AddShape(5, 2, csStar, clRed, clRed, haLeft, vaTop);
    Grid->SetCellEx(1, 3, "Y");
    Grid->AddCheckBox(1, 3, false, true);
    Grid->ControlLook()->SetControlStyle(csBorland);
    SaveForReview(Render(), "stringgrid_styles", "graphic_kinds");
}

TEST_F(LookPaintTest, RichTextCellsAreLaidOutByTheRichEditor)
{
    NewGrid();
    Fill();
    Grid->SetColWidths(2, 150);
    const QString rtf = QStringLiteral("{\\rtf1\\ansi {\\b Rich} text}");
    Grid->SetCellEx(2, 2, rtf);
    Grid->SetCellEx(2, 3, rtf);
    Grid->SetOptions(Grid->Options() | goRangeSelect);
    Grid->SetSelection(TGridRect{1, 3, 3, 3});
    Grid->SetSelectionTextColor(TColor(0x0000FF));
    const QImage img = Render();
    SaveForReview(img, "stringgrid_styles", "rich_text");
    const TRect a = Grid->CellRect(2, 2), b = Grid->CellRect(2, 3);
    const TRect inA{a.Left + 1, a.Top + 1, a.Right - 1, a.Bottom - 1};
    const TRect inB{b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1};
    EXPECT_GT(CountColour(img, inA, clBlack), 10);
    // The mark-up itself is not shown: the text ends well before the
    // width the raw RTF would take.
    int lastDark = 0;
    for (int x = inA.Left; x < inA.Right; ++x)
        for (int y = inA.Top; y < inA.Bottom; ++y)
            if (At(img, x, y) == clBlack)
                lastDark = x;
    EXPECT_LT(lastDark - a.Left, Grid->Canvas()->TextWidth(rtf) / 2);
    // A selected rich cell takes the selection text colour.
    EXPECT_GT(CountColour(img, inB, TColor(0x0000FF)), 10);
    EXPECT_EQ(CountColour(img, inB, clBlack), 0);
}

TEST_F(LookPaintTest, RadioGroupsSideBySideOrOnePerLine)
{
    NewGrid();
    Fill();
    Grid->SetColWidths(2, 200);
    Grid->SetRowHeights(2, 70);
    Grid->SetRowHeights(3, 24);
    Grid->ControlLook()->SetControlStyle(csQOR);
    Grid->OnCanEditCell = [](TObject*, int, int, bool& can) { can = true; };
    TStringList* items = NewObject<TStringList>();
    items->Add("one");
    items->Add("two");
    items->Add("three");
    Grid->AddRadio(2, 2, 0, 1, items);
    Grid->AddRadio(2, 3, 1, 1, items);
    const QImage img = Render();
    SaveForReview(img, "stringgrid_styles", "radio_groups");
    const auto shows = [&](int x, int y, const char* name) {
        const QImage pic = ResourceImage(name);
        const QRgb key = pic.pixel(0, pic.height() - 1);
        int differ = 0;
        for (int py = 0; py < pic.height(); ++py)
            for (int px = 0; px < pic.width(); ++px)
                if (pic.pixel(px, py) != key) {
                    const QRgb p = pic.pixel(px, py);
                    differ += At(img, x + px, y + py) != RGB(qRed(p), qGreen(p), qBlue(p));
                }
        return differ == 0;
    };
    // One per line: lines of max(16, text height of "gh").
    const TRect v = Grid->CellRect(2, 2);
    const int line = std::max(16, Grid->Canvas()->TextHeight("gh"));
    EXPECT_TRUE(shows(v.Left + 2, v.Top + 2, "SGRAD02"));
    EXPECT_TRUE(shows(v.Left + 2, v.Top + 2 + line, "SGRAD01"));
    EXPECT_TRUE(shows(v.Left + 2, v.Top + 2 + 2 * line, "SGRAD02"));
    // Side by side: each glyph after the previous item's text (text 20
    // pixels right of its glyph, 4 pixels of space after it).
    const TRect h = Grid->CellRect(2, 3);
    const int second = h.Left + 2 + 20 + Grid->Canvas()->TextWidth("one") + 4;
    EXPECT_TRUE(shows(h.Left + 2, h.Top + 2, "SGRAD02"));
    EXPECT_TRUE(shows(second, h.Top + 2, "SGRAD01"));
    delete items;
}

TEST_F(LookPaintTest, AlwaysVisibleComboAndSpinButtons)
{
    NewGrid();
    Fill();
    Grid->SetColWidths(2, 100);
    Grid->SetColWidths(3, 100);
    Grid->OnHasComboBox = [](TObject*, int c, int r, bool& has) { has = c == 2 && r == 2; };
    Grid->OnHasSpinEdit = [](TObject*, int c, int r, bool& has) { has = c == 3 && r == 2; };
    const TRect a = Grid->CellRect(2, 2), b = Grid->CellRect(3, 2);
    const TColor bg = ColorToRGB(Grid->Color());
    const auto marks = [&](const QImage& img, const TRect& c) {
        int n = 0;
        for (int x = c.Right - 16; x < c.Right - 1; ++x)
            for (int y = c.Top + 2; y < c.Bottom - 2; ++y)
                n += At(img, x, y) != bg;
        return n;
    };
    QImage img = Render();
    EXPECT_EQ(marks(img, a), 0);
    EXPECT_EQ(marks(img, b), 0);
    Grid->ControlLook()->SetDropDownAlwaysVisible(true);
    Grid->ControlLook()->SetSpinButtonsAlwaysVisible(true);
    img = Render();
    SaveForReview(img, "stringgrid_styles", "always_visible_buttons");
    EXPECT_GT(marks(img, a), 40);
    EXPECT_GT(marks(img, b), 40);
    // Other cells show none.
    EXPECT_EQ(marks(img, Grid->CellRect(2, 3)), 0);
}
