// The painting pass, read back from the rendered control.
#include "PageControlKit.h"

namespace {

constexpr TColor kRed = 0x0000FF;

// Where `text` lands, drawn alone with `font` at (x, y) on a blank surface of
// the given size: the reference the control's caption is compared with.
TRect TextBox(const TFont& font, int x, int y, const QString& text, int w, int h, TColor colour) {
    TBitmap bmp(w, h);
    TCanvas* c = bmp.Canvas();
    c->Brush().SetColor(clWhite);
    c->FillRect(Rect(0, 0, w, h));
    c->Font().Assign(font);
    c->Font().SetColor(colour);
    c->SetBkMode(TRANSPARENT);
    c->TextOut(x, y, text);
    QImage img = bmp.ToImage();
    TRect box;
    bool any = false;
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            const QRgb p = img.pixel(px, py);
            if (RGB(qRed(p), qGreen(p), qBlue(p)) != colour) continue;
            if (!any) box = Rect(px, py, px + 1, py + 1);
            box = Rect(std::min(box.Left, px), std::min(box.Top, py), std::max(box.Right, px + 1),
                       std::max(box.Bottom, py + 1));
            any = true;
        }
    return box;
}

}  // namespace

class PageControlPaintTest : public PageControlTest {
protected:
    // Left tabs in the dot-net style, as the M-Bus dialog has them.
    void LeftDotNet() {
        PC->SetTabPosition(tpLeft);
        PC->SetTabStyle(tsDotNet);
        PC->SetMultiLine(true);
        AddSheets({"Nodes     ", "Variables     "});
    }
};

TEST_F(PageControlPaintTest, LeftCaptionsReadUpwardsFromTheTabsBottomEdge) {
    LeftDotNet();
    // The inactive tab's caption in red, with and without a close button.
    Sheets[1]->SetTextColor(kRed);
    for (bool close : {false, true}) {
        Sheets[1]->SetShowClose(close);
        const TRect tab = PageTab(1);
        const QImage img = Render();
        const TRect painted = Box(img, kRed, tab);
        ASSERT_FALSE(painted.IsEmpty()) << "close " << close;
        TFont up;
        up.Assign(*PC->Font());
        up.SetOrientation(900);
        const int along = close ? 17 : 4;
        const TRect expected =
            TextBox(up, tab.Left + 1, tab.Bottom - along, Sheets[1]->Caption(), PC->Width(), PC->Height(), kRed);
        EXPECT_EQ(painted, expected) << "close " << close;
        // Upwards: the text is taller than wide and ends above its start.
        EXPECT_GT(painted.Height(), painted.Width());
        EXPECT_LE(painted.Bottom, tab.Bottom - along);
    }
}

TEST_F(PageControlPaintTest, TheCloseBoxHasThreeStates) {
    LeftDotNet();
    PC->SetTabHoverColor(clYellow);  // hover must be on for the hot state
    Sheets[0]->SetShowClose(true);
    const TRect tab = PageTab(0);
    // The reference point of the active tab: LowerActive (2) to the right,
    // the box spanning 13 to 2 pixels above the bottom edge.
    const int x = tab.Left + 2, y = tab.Bottom - 15;
    struct State { const char* name; TColor fill, outline, cross; };
    const State states[] = {
        {"normal", clWhite, 0x808080, clBlack},
        {"hot", clWhite, clBlack, 0x808080},
        {"pressed", 0xC0C0C0, clBlack, clBlack},
    };
    const TPoint button = Mid(PC->CloseButtonRect(0));
    for (const State& s : states) {
        if (std::string(s.name) == "hot") Input::MouseMove(PC, button.X, button.Y);
        if (std::string(s.name) == "pressed") Input::MouseDown(PC, mbLeft, button.X, button.Y);
        const QImage img = Render();
        // The box from (x + 2, y + 2) to (x + 14, y + 13): 12 by 11.
        EXPECT_EQ(At(img, x + 2, y + 2), s.outline) << s.name;
        EXPECT_EQ(At(img, x + 13, y + 12), s.outline) << s.name;
        EXPECT_NE(At(img, x + 14, y + 12), s.outline) << s.name << " wider than 12";
        EXPECT_NE(At(img, x + 13, y + 13), s.outline) << s.name << " higher than 11";
        EXPECT_EQ(At(img, x + 3, y + 3), s.fill) << s.name;
        EXPECT_EQ(At(img, x + 12, y + 7), s.fill) << s.name;
        // The two diagonals, two lines each.
        for (TPoint p : {Point(x + 5, y + 9), Point(x + 6, y + 9), Point(x + 5, y + 5), Point(x + 8, y + 7),
                         Point(x + 10, y + 9)})
            EXPECT_EQ(At(img, p.X, p.Y), s.cross) << s.name << " at " << p.X - x << "," << p.Y - y;
    }
    Input::MouseUp(PC, mbLeft, 0, 0);
}

TEST_F(PageControlPaintTest, GradientBandsRoundTheirShare) {
    TBitmap bmp(160, 10);
    TExPageControl::DrawGradient(bmp.Canvas(), clBlack, clWhite, 16, Rect(0, 0, 160, 10), true);
    const QImage img = bmp.ToImage();
    const int expected[16] = {0, 16, 32, 48, 64, 80, 96, 112, 128, 143, 159, 175, 191, 207, 223, 239};
    for (int n = 0; n < 16; ++n) {
        const TColor c = At(img, n * 10 + 5, 5);
        EXPECT_EQ(c, RGB(expected[n], expected[n], expected[n])) << "band " << n;
    }
    // Each band is one pixel longer than its share, so the last one reaches
    // past the rectangle's end (callers pull the far edge in).
    TBitmap tall(4, 40);
    tall.Canvas()->Brush().SetColor(clRed);
    tall.Canvas()->FillRect(Rect(0, 0, 4, 40));
    TExPageControl::DrawGradient(tall.Canvas(), clWhite, clBlack, 4, Rect(0, 0, 4, 20), false);
    const QImage t = tall.ToImage();
    EXPECT_EQ(At(t, 1, 0), clWhite);
    EXPECT_EQ(At(t, 1, 20), RGB(64, 64, 64)) << "the last band, one pixel past";
    EXPECT_EQ(At(t, 1, 21), clRed);
    // No steps asked: one band.
    TExPageControl::DrawGradient(tall.Canvas(), clBlue, clWhite, 0, Rect(0, 0, 4, 40), false);
    EXPECT_EQ(At(tall.ToImage(), 2, 30), clBlue);
}

TEST_F(PageControlPaintTest, ADisabledTabIsGreyWhateverItsTextColour) {
    LeftDotNet();
    Sheets[1]->SetTextColor(kRed);
    Sheets[1]->SetTabEnable(false);
    const QImage img = Render();
    const TRect tab = PageTab(1);
    EXPECT_TRUE(Box(img, kRed, tab).IsEmpty());
    const TRect grey = Box(img, 0x808080, Rect(tab.Left + 1, tab.Top + 4, tab.Right - 3, tab.Bottom - 3));
    EXPECT_FALSE(grey.IsEmpty());
    EXPECT_GT(grey.Height(), grey.Width()) << "the grey is the rotated caption";
}

TEST_F(PageControlPaintTest, WithoutVisibleTabsTheStripIsTwoPixelsAndTheBorderIsDrawn) {
    LeftDotNet();
    PC->SetTabBackGroundColor(clAqua);
    PC->SetTabSheetBorderColor(clBlue);
    for (TExTabSheet* s : Sheets) s->SetTabVisible(false);
    const QImage img = Render();
    const int y = PC->Height() / 2;
    EXPECT_EQ(At(img, 0, y), clAqua);
    EXPECT_EQ(At(img, 1, y), clAqua);
    EXPECT_EQ(At(img, 2, y), clBlue) << "the page border at the strip's inner edge";
    EXPECT_EQ(At(img, PC->Width() - 1, y), clBlue);
    EXPECT_EQ(At(img, PC->Width() / 2, 0), clBlue);
    EXPECT_EQ(At(img, PC->Width() / 2, PC->Height() - 1), clBlue);
}

TEST_F(PageControlPaintTest, APageOfAnotherColourExtendsIntoTheFrame) {
    LeftDotNet();
    PC->SetColor(clSilver);
    for (TExTabSheet* s : Sheets) s->SetColor(clSilver);
    const TRect page = PC->DisplayRect();
    const int y = PC->Height() / 2;
    // The control's colours: the inner line of the frame is the control's.
    QImage img = Render();
    EXPECT_EQ(At(img, PC->Width() - 2, y), clSilver);
    Sheets[0]->SetColor(clYellow);
    img = Render();
    EXPECT_EQ(At(img, PC->Width() - 2, y), clYellow) << "the frame takes the page's colour";
    EXPECT_EQ(At(img, page.Right, y), clYellow);
    EXPECT_EQ(At(img, PC->Width() - 1, y), clGray) << "the border stays";
}

TEST_F(PageControlPaintTest, TheHoverOutlineIsForInactiveTabsOnly) {
    AddSheets({"First  ", "Second  "});
    PC->SetTabHoverColor(clYellow);
    PC->SetTabHoverBorder(kRed);
    const TRect inactive = PageTab(1), active = PageTab(0);
    Input::MouseMove(PC, Mid(active).X, Mid(active).Y);
    EXPECT_TRUE(Box(Render(), kRed, Rect(0, 0, PC->Width(), active.Bottom + 1)).IsEmpty());
    Input::MouseMove(PC, Mid(inactive).X, Mid(inactive).Y);
    const QImage img = Render();
    // Top tabs: left, top and right sides.
    EXPECT_EQ(At(img, inactive.Left, Mid(inactive).Y), kRed);
    EXPECT_EQ(At(img, Mid(inactive).X, inactive.Top), kRed);
    EXPECT_EQ(At(img, inactive.Right - 1, Mid(inactive).Y), kRed);
    // The hover colour fills the hovered tab.
    EXPECT_EQ(At(img, Mid(inactive).X, inactive.Top + 2), clYellow);
}

TEST_F(PageControlPaintTest, ClassicTabsAreFramedAndImagesComeBeforeTheText) {
    AddSheets({"First  ", "Second  "});
    PC->SetTabBorderColor(kRed);
    TImageList images(8, 8);
    TBitmap green(8, 8);
    green.Canvas()->Brush().SetColor(clLime);
    green.Canvas()->FillRect(Rect(0, 0, 8, 8));
    images.Add(&green, nullptr);
    PC->SetImages(&images);
    Sheets[1]->SetImageIndex(0);
    const TRect r = PageTab(1);
    const QImage img = Render();
    // An inactive classic tab: a full rectangle, one pixel into the frame.
    EXPECT_EQ(At(img, r.Left, Mid(r).Y), kRed);
    EXPECT_EQ(At(img, Mid(r).X, r.Top), kRed);
    EXPECT_EQ(At(img, r.Right - 1, Mid(r).Y), kRed);
    EXPECT_EQ(At(img, Mid(r).X, r.Bottom), kRed);
    // The image at the text origin less two pixels: left edge + 4 - 2, top.
    EXPECT_EQ(Box(img, clLime, r), Rect(r.Left + 2, r.Top + 1, r.Left + 10, r.Top + 9));
    PC->SetImages(nullptr);
}

TEST_F(PageControlPaintTest, BackgroundPicturesAreDrawnThreeSlicedWithTheirTransparentColour) {
    AddSheets({"First  ", "Second  "});
    TBitmap pic(12, 20);
    pic.Canvas()->Brush().SetColor(clBlue);
    pic.Canvas()->FillRect(Rect(0, 0, 12, 20));
    pic.Canvas()->SetPixels(0, 19, clFuchsia);  // the transparent colour
    PC->SetTabBackGround(&pic);
    PC->SetTabBackGroundActive(&pic);
    PC->SetRoundEdges(true);
    PC->SetShowFocus(true);
    const QImage img = Render();
    for (int page : {0, 1}) {
        const TRect r = PageTab(page);
        EXPECT_FALSE(Box(img, clBlue, r).IsEmpty()) << page;
        EXPECT_TRUE(Box(img, clFuchsia, r).IsEmpty()) << page;
    }
    // Stretched along the tab: the picture reaches past its own width.
    const TRect r = PageTab(1);
    EXPECT_GT(Box(img, clBlue, r).Width(), 12);
}
