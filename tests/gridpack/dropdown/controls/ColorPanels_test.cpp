// The colour panels: the cube's cells, hit test and hint, the spectrum's
// layout and colour under the mouse, the colour boxes' layout, strips,
// hot and selected marks and keys; and the web names of colours.
#include "DropDownKit.h"
#include "gridpack/dropdown/ExColorPanels.h"
#include "platform/graphics/Resources.h"
#include "platform/graphics/WebColors.h"

namespace {
TColor PixelOf(const QImage& img, int x, int y) {
    const QRgb p = img.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}
}  // namespace

class ColorPanelsTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Form->Show();
    }
    template <class T>
    T* Make() {
        auto* p = NewObject<T>(Form);
        p->SetParent(Form);
        return p;
    }
    static void Mouse(TControl* c, unsigned msg, int x, int y) {
        c->Perform(msg, WPARAM(msg == WM_LBUTTONDOWN ? unsigned(MK_LBUTTON) : 0u), MakeLParam(x, y));
    }
};

TEST_F(ColorPanelsTest, CubeCellsHitTestSelectionAndHint) {
    auto* cube = Make<TExColorCubePanel>();
    EXPECT_EQ(cube->Width(), 182);
    EXPECT_EQ(cube->Height(), 160);
    // The rows: 7 .. 13 .. 7 cells, the first and last rows from 55 to 127.
    EXPECT_EQ(cube->Cell(1).Center, Point(55, 20));
    EXPECT_EQ(cube->Cell(1).Color, TColor(0x663300));
    EXPECT_EQ(cube->Cell(7).Center, Point(127, 20));
    EXPECT_EQ(cube->Cell(127).Center, Point(127, 140));
    EXPECT_EQ(cube->Cell(127).Color, TColor(0x2100A5));
    EXPECT_EQ(cube->Cell(64).Center, Point(91, 80));
    EXPECT_EQ(cube->Cell(64).Color, clWhite);
    EXPECT_EQ(cube->Cell(0).Color, clNone) << "no cell 0";
    EXPECT_EQ(cube->CellAtPos(91, 80), 64);
    EXPECT_EQ(cube->CellAtPos(91, 87), -1) << "between cells";
    EXPECT_EQ(cube->CellAtPos(0, 0), -1);

    cube->SetSelectedColor(clWhite);
    EXPECT_EQ(cube->SelectedIndex(), 64);
    cube->SetSelectedColor(0x123456);
    EXPECT_EQ(cube->SelectedIndex(), -1);
    EXPECT_EQ(cube->SelectedColor(), TColor(0x123456));

    // The hint names the bytes with two blanks after each comma; off the
    // cells it empties while the hot cell stays.
    Mouse(cube, WM_MOUSEMOVE, 91, 80);
    EXPECT_EQ(cube->HotIndex(), 64);
    EXPECT_EQ(cube->Hint(), QStringLiteral("Red: 255,  Green: 255,  Blue: 255"));
    Mouse(cube, WM_MOUSEMOVE, 55, 20);
    EXPECT_EQ(cube->Hint(), QStringLiteral("Red: 0,  Green: 51,  Blue: 102"));
    Mouse(cube, WM_MOUSEMOVE, 91, 87);
    EXPECT_EQ(cube->Hint(), QString());
    EXPECT_EQ(cube->HotIndex(), 1);

    // A click selects the cell, announces it, and the release asks to hide.
    int selects = 0, hides = 0;
    cube->OnSelect = [&](TObject*) { ++selects; };
    cube->FOnShouldHide = [&](TObject*) { ++hides; };
    Mouse(cube, WM_LBUTTONDOWN, 55, 20);
    Mouse(cube, WM_LBUTTONUP, 55, 20);
    EXPECT_EQ(cube->SelectedIndex(), 1);
    EXPECT_EQ(cube->SelectedColor(), TColor(0x663300));
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(hides, 1);
    Mouse(cube, WM_LBUTTONDOWN, 91, 87);
    EXPECT_EQ(selects, 1) << "a press between cells selects nothing";
    EXPECT_EQ(cube->SelectedIndex(), 1);

    // Painted: the cell's colour at its centre, the selected frame's black.
    cube->SetBounds(0, 0, 182, 160);
    const QImage img = Form->RenderClient();
    EXPECT_EQ(PixelOf(img, 127, 140), TColor(0x2100A5));
    EXPECT_EQ(PixelOf(img, 55 - 5, 20), clBlack) << "the selected cell's outer frame";
}

TEST_F(ColorPanelsTest, SpectrumLayoutAndTheColourUnderTheMouse) {
    auto* sp = Make<TExColorSpectrumPanel>();
    sp->ArrangeSpectrum();
    EXPECT_EQ(sp->Width(), 150);
    EXPECT_EQ(sp->Height(), 174);
    TImage* img = sp->SpectrumImage();
    EXPECT_EQ(img->BoundsRect(), Rect(11, 10, 139, 138));
    EXPECT_EQ(sp->SelectedRect(), Rect(10, 146, 73, 166));
    EXPECT_EQ(sp->HotRect(), Rect(77, 146, 140, 166));
    EXPECT_EQ(sp->HotColor(), clNone);
    EXPECT_EQ(sp->SelectedColor(), clWhite);
    // The picture: white at the top, full red at the left of the middle row,
    // black at the bottom.
    TBitmap* b = img->Picture()->Bitmap();
    ASSERT_EQ(b->Width(), 128);
    ASSERT_EQ(b->Height(), 128);
    EXPECT_EQ(b->Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(b->Canvas()->Pixels(64, 127), clBlack);
    const TColor mid = b->Canvas()->Pixels(0, 64);
    EXPECT_GT(GetRValue(mid), 200);
    EXPECT_LT(GetGValue(mid), 20);
    // The pointer cursor is cursor 54.
    EXPECT_TRUE(HasCursor(TExColorSpectrumPanel::PointerCursor));
    EXPECT_EQ(img->Cursor(), 54);

    int selects = 0, hides = 0;
    sp->OnSelect = [&](TObject*) { ++selects; };
    sp->FOnShouldHide = [&](TObject*) { ++hides; };
    // The image reports moves in its own coordinates.
    img->OnMouseMove(img, 0, 0, 64);
    EXPECT_EQ(sp->HotColor(), mid) << "read from the picture";
    img->OnMouseDown(img, mbLeft, 0, 0, 64);
    img->OnMouseUp(img, mbLeft, 0, 0, 64);
    EXPECT_EQ(sp->SelectedColor(), mid);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(hides, 1);
    // Arranging again clears the hot colour, keeps the chosen one.
    sp->ArrangeSpectrum();
    EXPECT_EQ(sp->HotColor(), clNone);
    EXPECT_EQ(sp->SelectedColor(), mid);
}

TEST_F(ColorPanelsTest, ColourBoxesLayOutTheThemePaletteInStrips) {
    auto* cs = Make<TCustomColorSelector>();
    EXPECT_EQ(cs->Width(), 100) << "no boxes";
    EXPECT_EQ(cs->Height(), 50);
    cs->AddThemeColors();
    ASSERT_EQ(cs->Items()->Count(), 60);
    EXPECT_EQ(cs->Width(), 165);
    EXPECT_EQ(cs->Height(), 84);
    const int rows[6] = {4, 20, 32, 44, 56, 68};
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(cs->GetColorBoxRect(r * 10 + 3).Top, rows[r]) << "row " << r + 1;
        EXPECT_EQ(cs->GetColorBoxRect(r * 10 + 3).Left, 4 + 3 * 16);
    }
    EXPECT_EQ(cs->GetColorBoxRect(60), Rect(-1, -1, -1, -1));
    EXPECT_EQ(cs->Items()->Item(13)->Color(), TColor(0xDACEC2));
    EXPECT_EQ(cs->ColorBoxAtPos(4 + 16 + 2, 20 + 2), 11);
    EXPECT_EQ(cs->ColorBoxAtPos(2, 2), -1);

    // Lines: the strip of column 3 has its top line in row 2, side lines in
    // every row, no line between its rows, the bottom line in row 6.
    TBitmap bmp(170, 90);
    bmp.Canvas()->Brush().SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, 170, 90));
    for (int i = 0; i < 60; ++i) cs->DrawColorBox(i, bmp.Canvas());
    const QImage img = bmp.ToImage();
    const TColor border = cs->ColorBoxAppearance()->BorderColor;
    const int L = 4 + 3 * 16;
    EXPECT_EQ(PixelOf(img, L + 5, 20), border) << "row 2's top line";
    EXPECT_EQ(PixelOf(img, L + 5, 32), cs->Items()->Item(23)->Color()) << "rows 2 and 3 touch, no line";
    EXPECT_EQ(PixelOf(img, L, 38), border) << "side line";
    EXPECT_EQ(PixelOf(img, L + 12, 38), border) << "side line";
    EXPECT_EQ(PixelOf(img, L + 5, 80), border) << "row 6's bottom line";
    EXPECT_EQ(PixelOf(img, L + 5, 16), border) << "row 1 is framed all round";

    // The hot frame follows the mouse from box 11 to box 21; a selected box
    // wears the selected frame.
    Mouse(cs, WM_MOUSEMOVE, 4 + 16 + 2, 20 + 2);
    EXPECT_EQ(cs->ItemHot(), 11);
    Mouse(cs, WM_MOUSEMOVE, 4 + 16 + 2, 32 + 2);
    EXPECT_EQ(cs->ItemHot(), 21);
    bmp.Canvas()->FillRect(Rect(0, 0, 170, 90));
    cs->SetItemIndex(13);
    for (int i = 0; i < 60; ++i) cs->DrawColorBox(i, bmp.Canvas());
    const QImage marked = bmp.ToImage();
    EXPECT_EQ(PixelOf(marked, 4 + 16, 32 + 5), cs->ColorBoxAppearance()->OuterBorderColorHot);
    EXPECT_EQ(PixelOf(marked, 4 + 16 + 1, 32 + 5), cs->ColorBoxAppearance()->InnerBorderColorHot);
    EXPECT_EQ(PixelOf(marked, L, 20 + 5), TColor(0x0000FF)) << "selected outer frame";
    Mouse(cs, WM_MOUSEMOVE, 1, 1);
    EXPECT_EQ(cs->ItemHot(), -1);
}

TEST_F(ColorPanelsTest, ColourBoxSelectionKeysAndDisabledBoxes) {
    auto* cs = Make<TCustomColorSelector>();
    cs->AddThemeColors();
    int selects = 0;
    cs->OnItemSelect = [&](TObject*) { ++selects; };
    cs->SetItemIndex(3);
    EXPECT_EQ(cs->SelectedColor(), TColor(0x7D491F));
    EXPECT_EQ(selects, 1);
    cs->SetItemIndex(3);
    EXPECT_EQ(selects, 2) << "choosing the chosen box announces it again";
    cs->SelectColorBoxByKey(VK_DOWN, false, true);
    EXPECT_EQ(cs->ItemIndex(), 13) << "open: a row down";
    cs->SetItemIndex(3);
    cs->SelectColorBoxByKey(VK_DOWN, false, false);
    EXPECT_EQ(cs->ItemIndex(), 4) << "closed: the next box";
    cs->SelectColorBoxByKey(VK_UP, false, true);
    EXPECT_EQ(cs->ItemIndex(), 4) << "no row above";
    cs->SelectColorBoxByKey(VK_RIGHT, true, false);
    EXPECT_EQ(cs->ItemIndex(), 4) << "closed with an enabled editor: Right is the editor's";
    cs->SelectColorBoxByKey(VK_END, false, false);
    EXPECT_EQ(cs->ItemIndex(), 59);
    cs->SelectColorBoxByKey(VK_PRIOR, false, false);
    EXPECT_EQ(cs->ItemIndex(), 0);

    // A disabled box is skipped by nothing: moves stop before it.
    cs->Items()->Item(1)->FEnabled = false;
    cs->SelectNext();
    EXPECT_EQ(cs->ItemIndex(), 0);
    Mouse(cs, WM_LBUTTONDOWN, 4 + 16 + 2, 4 + 2);
    EXPECT_EQ(cs->ItemIndex(), 0) << "a click on a disabled box does nothing";
    Mouse(cs, WM_MOUSEMOVE, 4 + 16 + 2, 4 + 2);
    EXPECT_EQ(cs->ItemHot(), -1);

    // Colours: the first box of the colour, none for an unknown one.
    cs->SetSelectedColor(0x7F7F7F);
    EXPECT_EQ(cs->ItemIndex(), 11) << "the first of two boxes of that grey";
    cs->SetSelectedColor(0x123456);
    EXPECT_EQ(cs->ItemIndex(), -1);
    cs->SetItemIndex(60);
    EXPECT_EQ(cs->ItemIndex(), -1) << "past the boxes: ignored";

    // The named styles load the five colours; scCustom keeps them.
    cs->ColorBoxAppearance()->BorderColor = 0x010101;
    cs->SetItemColorStyle(scCustom);
    EXPECT_EQ(cs->ColorBoxAppearance()->BorderColor, TColor(0x010101));
    cs->SetItemColorStyle(scWindows7);
    EXPECT_EQ(cs->ColorBoxAppearance()->BorderColor, TColor(0xC5C5C5));
}

TEST(ColorNames, WebNamesOrNotation) {
    struct Case {
        TColor c;
        const char* name;
    };
    const Case cases[] = {
        {0x0000FF, "red"},     {0xFFFFFF, "white"},   {0xFFFF00, "aqua"},  // first of aqua and cyan
        {0x808080, "gray"},    {0x663300, "#003366"}, {0x0A0B0C, "#0C0B0A"},
        {clWindowText, "black"},  // system colours resolved first
    };
    for (const Case& k : cases) EXPECT_EQ(ColorToWebName(k.c), QString::fromLatin1(k.name)) << k.name;
}
