// The colour picker drop-down: choosing by colour and index, value texts,
// the edit's painting, the list keys and Esc, the panel styles' popups.
#include "DropDownKit.h"
#include "gridpack/dropdown/ExColorPicker.h"

namespace {
TColor PixelOf(const QImage& img, int x, int y) {
    const QRgb p = img.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}
}  // namespace

class ColorPickerTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Picker = NewObject<TExColorPickerDropDown>(Form);
        Picker->SetParent(Form);
        Picker->SetBounds(10, 40, 150, 24);
        Picker->OnSelect = [this](TObject*) { ++Selects; };
        Form->Show();
    }
    // Dark pixels in the edit's text area (right of the colour box).
    int TextPixels() {
        const QImage img = Form->RenderClient();
        int n = 0;
        const int left = Picker->Left() + 1 + 4 + Picker->ColorBoxWidth() + 4;
        for (int y = Picker->Top() + 3; y < Picker->Top() + Picker->Height() - 3; ++y)
            for (int x = left; x < Picker->Left() + Picker->Width() - Picker->DropDownButtonWidth() - 3; ++x)
                if (qGray(img.pixel(x, y)) < 100) ++n;
        return n;
    }
    TExColorPickerDropDown* Picker = nullptr;
    int Selects = 0;
};

TEST_F(ColorPickerTest, ConstructionAndDefaultColours) {
    EXPECT_EQ(Picker->Colors()->Count(), 0) << "made at run time: an empty list";
    EXPECT_EQ(Picker->SelectedColor(), clNone);
    EXPECT_EQ(Picker->ItemIndex(), -1);
    EXPECT_FALSE(Picker->EditorEnabled());
    EXPECT_EQ(Picker->DropDownHeight(), 200);
    EXPECT_FALSE(Picker->DropDownHeader()->Visible());
    EXPECT_FALSE(Picker->DropDownFooter()->Visible());
    EXPECT_EQ(Picker->ColorSelectionStyle(), csList);
    ASSERT_NE(Picker->ItemSelector(), nullptr) << "the list selector comes with the popup";
    Picker->AddDefaultColors();
    Picker->AddDefaultColors();
    EXPECT_EQ(Picker->Colors()->Count(), 32) << "appends, does not clear";
    EXPECT_EQ(Picker->Colors()->Item(9)->Caption(), QStringLiteral("Red"));
    EXPECT_EQ(Picker->Colors()->Item(15)->Color(), clWhite);
}

TEST_F(ColorPickerTest, SelectedColorChoosesTheEntryAndPaintsBoxAndCaption) {
    Picker->AddDefaultColors();
    EXPECT_EQ(TextPixels(), 0) << "clNone paints no box and no text";
    Picker->SetSelectedColor(0x0000FF);
    EXPECT_EQ(Picker->ItemIndex(), 9);
    EXPECT_EQ(Selects, 1);
    EXPECT_EQ(Picker->SelectedColorText(), QStringLiteral("Red"));
    Picker->SetSelectedColor(0x0000FF);
    EXPECT_EQ(Selects, 1) << "the same colour again: nothing";
    const QImage img = Form->RenderClient();
    const int bx = Picker->Left() + 1 + 4 + 7, by = Picker->Top() + Picker->Height() / 2;
    EXPECT_EQ(PixelOf(img, bx, by), TColor(0x0000FF)) << "the red box";
    EXPECT_EQ(PixelOf(img, Picker->Left() + 1 + 4, by), clBlack) << "its black frame";
    EXPECT_GT(TextPixels(), 0) << "the caption";

    // A colour no entry has: the value text, not the old caption.
    Picker->SetSelectedColor(0x123456);
    EXPECT_EQ(Picker->ItemIndex(), -1);
    EXPECT_EQ(Selects, 1) << "no entry: no event";
    EXPECT_EQ(Picker->SelectedColorText(), QString());
    EXPECT_EQ(TextPixels(), 0);
    Picker->SetColorValueText(cvtHTML);
    EXPECT_EQ(Picker->SelectedColorText(), QStringLiteral("#563412"));
    EXPECT_GT(TextPixels(), 0);
    Picker->SetShowText(false);
    EXPECT_EQ(TextPixels(), 0);
    // The index writer: past the entries ignored, -1 and the same index fire.
    Picker->SetItemIndex(16);
    EXPECT_EQ(Picker->ItemIndex(), -1);
    Picker->SetItemIndex(2);
    Picker->SetItemIndex(2);
    EXPECT_EQ(Selects, 3);
    EXPECT_EQ(Picker->SelectedColor(), TColor(0x008000));
}

TEST_F(ColorPickerTest, ValueTextsOfACubeColour) {
    Picker->SetColorSelectionStyle(csColorCube);
    Picker->ShowDropDown();
    ASSERT_TRUE(Picker->DroppedDown());
    TExColorCubePanel* cube = Picker->ColorCubePanel();
    ASSERT_NE(cube, nullptr);
    const TPoint c = cube->Cell(1).Center;
    cube->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(c.X, c.Y));
    cube->Perform(WM_LBUTTONUP, 0, MakeLParam(c.X, c.Y));
    EXPECT_FALSE(Picker->DroppedDown()) << "a click accepts";
    EXPECT_EQ(Picker->SelectedColor(), TColor(0x663300));
    EXPECT_EQ(Picker->ItemIndex(), -1);
    struct Case {
        TColorValueText kind;
        const char* text;
    };
    const Case cases[] = {{cvtNone, ""},
                          {cvtHTML, "#003366"},
                          {cvtRGB, "Red:0,Green:51,Blue:102"},
                          {cvtHex, "663300"},
                          {cvtWebName, "#003366"}};
    for (const Case& k : cases) {
        Picker->SetColorValueText(k.kind);
        EXPECT_EQ(Picker->SelectedColorText(), QString::fromLatin1(k.text)) << k.text;
    }
    Picker->SetSelectedColor(clNone);
    Picker->SetColorValueText(cvtHex);
    EXPECT_EQ(Picker->SelectedColorText(), QStringLiteral("1FFFFFFF")) << "clNone shows all eight digits";
    Picker->SetSelectedColor(clRed);
    Picker->SetColorValueText(cvtWebName);
    EXPECT_EQ(Picker->SelectedColorText(), QStringLiteral("red"));
}

TEST_F(ColorPickerTest, PanelStyleAtRunTimeSizesThePopupFromThePanel) {
    Picker->SetColorSelectionStyle(csColorCube);
    ASSERT_NE(Picker->ColorCubePanel(), nullptr);
    const int b = Picker->DropDownBorderWidth();
    TDropDownForm* f = Picker->DropDownForm();
    EXPECT_EQ(f->Width(), 182 + 2 * b);
    EXPECT_EQ(f->Height(), 160 + 2 * b);
    Picker->ShowDropDown();
    EXPECT_EQ(f->Width(), 182 + 2 * b);
    EXPECT_EQ(f->Height(), 160 + 2 * b);
    EXPECT_FALSE(f->Sizeable());
    EXPECT_TRUE(Picker->ColorCubePanel()->Visible());
    EXPECT_FALSE(Picker->ItemSelector()->Visible()) << "the list is hidden";
    Picker->HideDropDown(true);

    // The spectrum: its own size; a click on the picture accepts its colour.
    Picker->SetColorSelectionStyle(csSpectrum);
    Picker->ShowDropDown();
    EXPECT_EQ(f->Width(), 150 + 2 * b);
    EXPECT_EQ(f->Height(), 174 + 2 * b);
    TImage* img = Picker->SpectrumPanel()->SpectrumImage();
    img->OnMouseMove(img, 0, 3, 3);
    img->OnMouseDown(img, mbLeft, 0, 3, 3);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Picker->SelectedColor(), img->Picture()->Bitmap()->Canvas()->Pixels(3, 3));

    // The theme palette: a click on a box accepts it; Esc brings back the
    // colour of the opening.
    Picker->SetColorSelectionStyle(csDiscrete);
    Picker->SetSelectedColor(0x7D491F);
    Picker->ShowDropDown();
    TCustomColorSelector* cs = Picker->ColorSelector();
    ASSERT_NE(cs, nullptr);
    EXPECT_EQ(cs->Items()->Count(), 60);
    EXPECT_EQ(cs->ItemIndex(), 3);
    EXPECT_EQ(f->Width(), 165 + 2 * b);
    Key(VK_DOWN);
    EXPECT_EQ(cs->ItemIndex(), 13);
    EXPECT_EQ(Picker->SelectedColor(), TColor(0xDACEC2));
    EXPECT_TRUE(Picker->DroppedDown()) << "moving by key keeps the popup";
    Key(VK_ESCAPE);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Picker->SelectedColor(), TColor(0x7D491F));
    Key(VK_DOWN);
    EXPECT_EQ(Picker->SelectedColor(), TColor(0xBD814F)) << "closed: the next box";
    Picker->ShowDropDown();
    const TRect r = cs->GetColorBoxRect(5);
    cs->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(r.Left + 2, r.Top + 2));
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Picker->SelectedColor(), TColor(0x4D50C0));
    EXPECT_EQ(Picker->ItemIndex(), -1);
}

TEST_F(ColorPickerTest, ListKeysAndEscRestoreTheOpening) {
    Picker->AddDefaultColors();
    Picker->SetFocus();
    Picker->SetItemIndex(2);
    Selects = 0;
    Picker->ShowDropDown();
    ASSERT_TRUE(Picker->DroppedDown());
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(Picker->ItemIndex(), 4);
    EXPECT_EQ(Picker->SelectedColor(), TColor(0x800000));
    EXPECT_TRUE(Picker->DroppedDown());
    Key(VK_END);
    EXPECT_EQ(Picker->ItemIndex(), 15);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Picker->ItemIndex(), 2);
    EXPECT_EQ(Picker->SelectedColor(), TColor(0x008000));
    // Closed: Up and Down step through the list; Home and End go to its ends.
    Key(VK_DOWN);
    EXPECT_EQ(Picker->ItemIndex(), 3);
    Key(VK_HOME);
    EXPECT_EQ(Picker->ItemIndex(), 0);
    Key(VK_UP);
    EXPECT_EQ(Picker->ItemIndex(), 0);
    // Type-ahead in the open list: "Y" finds Yellow.
    Picker->ShowDropDown();
    Key('Y');
    EXPECT_EQ(Picker->ItemIndex(), 11);
    EXPECT_EQ(Picker->CurSearch(), QStringLiteral("Y"));
    // Enter over a hovered entry chooses it and closes.
    TCustomItemSelector* p = Picker->ItemSelector()->SelectorPanel();
    TRect r;
    p->GetItemRect(6, r);
    p->Perform(WM_MOUSEMOVE, 0, MakeLParam(r.Left + 2, r.Top + 2));
    Key(VK_RETURN);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Picker->ItemIndex(), 6);
}
