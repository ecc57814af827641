// The strips' buttons on their own, and the edit's border and hover.
#include "DropDownKit.h"

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Timers.h"

namespace {
TColor PixelOf(const QImage& img, int x, int y) {
    const QRgb p = img.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}
}  // namespace

class ExButtonTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Strip = NewObject<TPanel>(Form);
        Strip->SetParent(Form);
        Strip->SetBounds(10, 200, 200, 30);
        for (int i = 0; i < 2; ++i) {
            auto* b = NewObject<TExButton>(Strip);
            b->SetParent(Strip);
            b->SetBounds(10 + 40 * i, 4, 30, 20);
            b->SetAppearance(&Look);
            Buttons << b;
        }
        Form->Show();
    }
    TExButtonAppearance Look;
    TPanel* Strip = nullptr;
    QList<TExButton*> Buttons;
};

TEST_F(ExButtonTest, GroupedButtonsReleaseEachOther) {
    TExButton* a = Buttons[0];
    TExButton* b = Buttons[1];
    // A plain button without a group never stays down.
    a->SetDown(true);
    EXPECT_FALSE(a->Down());
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    a->SetDown(true);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(a->State(), absExclusive);
    a->SetDown(false);  // the last one down stays down without AllowAllUp
    EXPECT_TRUE(a->Down());
    Input::Click(b, 5, 5);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(a->State(), absUp);
    b->SetAllowAllUp(true);
    Input::Click(b, 5, 5);
    EXPECT_FALSE(b->Down());
}

TEST_F(ExButtonTest, CheckButtonsToggleOnEveryClick) {
    TExButton* a = Buttons[0];
    a->SetStyle(tasCheck);
    int clicks = 0;
    a->OnClick = [&](TObject*) { ++clicks; };
    Input::Click(a, 5, 5);
    EXPECT_TRUE(a->Down());
    Form->RenderClient();  // painting corrects the state: a down check button
    EXPECT_EQ(a->State(), absDown);
    Input::Click(a, 5, 5);
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(clicks, 2);
}

TEST_F(ExButtonTest, TheUnHotTimerClearsAMissedLeave) {
    TExButton* a = Buttons[0];
    Input::MouseMove(a, 5, 5);
    EXPECT_TRUE(a->MouseInControl());
    EXPECT_TRUE(a->UnHotTimer()->Enabled());
    // The mouse is elsewhere, but no leave notice came.
    SetCursorPos(Point(1000, 700));
    AdvanceTime(5);
    EXPECT_FALSE(a->MouseInControl());
    EXPECT_FALSE(a->UnHotTimer()->Enabled());
}

TEST_F(ExButtonTest, ColoursFollowTheStateAndADisabledButtonItsOwn) {
    Look.SetColor(0x00FF00);
    Look.SetColorTo(0x00FF00);
    Look.SetBorderColor(clNone);
    TExButton* a = Buttons[0];
    const TPoint at = Point(Strip->Left() + a->Left() + 15, Strip->Top() + a->Top() + 10);
    QImage img = Form->RenderClient();
    EXPECT_EQ(PixelOf(img, at.X, at.Y), TColor(0x00FF00));
    Input::MouseMove(a, 5, 5);
    img = Form->RenderClient();
    EXPECT_EQ(PixelOf(img, at.X, at.Y), Look.ColorHot());
    EXPECT_EQ(PixelOf(img, Strip->Left() + a->Left(), at.Y), Look.BorderColorHot());
    Input::MouseLeave();
    a->SetEnabled(false);
    img = Form->RenderClient();
    EXPECT_EQ(a->State(), absDisabled);
    EXPECT_EQ(PixelOf(img, at.X, at.Y), Look.ColorDisabled());
    // Without an appearance the strip shows through.
    Buttons[1]->SetAppearance(nullptr);
    img = Form->RenderClient();
    const TPoint b = Point(Strip->Left() + Buttons[1]->Left() + 15, Strip->Top() + Buttons[1]->Top() + 10);
    EXPECT_EQ(PixelOf(img, b.X, b.Y), PixelOf(img, Strip->Left() + 5, Strip->Top() + 2));
}

TEST_F(ExButtonTest, AutoSizeMeasuresCaptionAndImage) {
    TExButton* a = Buttons[0];
    a->SetCaption("Apply");
    a->AutoSizeButton();
    TBitmap bmp(10, 10);
    bmp.Canvas()->Font().Assign(*Look.Font());
    const TSize ext = GetTextExtent(bmp.Canvas(), "Apply");
    EXPECT_EQ(a->Width(), ext.cx + 8);
    EXPECT_EQ(a->Height(), ext.cy + 4);
    TImageList images(16, 40);
    a->SetImages(&images);
    a->SetImageIndex(0);
    a->AutoSizeButton();
    EXPECT_EQ(a->Height(), 44);
    a->SetImages(nullptr);
}

// -- the edit's border ----------------------------------------------------------

TEST_F(DropDownTest, BorderColoursByStateAndTheSilverDisabledBorder) {
    Form->Show();
    Other->SetFocus();
    auto corner = [&] { return PixelOf(Form->RenderClient(), Edit->Left(), Edit->Top() + 10); };
    Edit->SetBorderColor(0x0000FF);
    EXPECT_EQ(corner(), TColor(0x0000FF));
    Edit->SetFocusBorderColor(0x00FF00);
    EXPECT_EQ(corner(), TColor(0x0000FF));  // not focused: the border colour
    Edit->SetFocus();
    EXPECT_EQ(corner(), TColor(0x00FF00));  // focused: the focus colour
    Other->SetFocus();
    Edit->SetBorderColor(clNone);
    Edit->SetFocusBorderColor(clNone);
    Edit->SetEnabled(false);
    // Common controls 6: a disabled edit with DisabledBorder gets a silver frame.
    EXPECT_EQ(corner(), TColor(0xC0C0C0));
    Edit->SetDisabledBorder(false);
    EXPECT_NE(corner(), TColor(0xC0C0C0));
}

TEST_F(DropDownTest, HoverIsTrackedWhileEnabled) {
    Form->Show();
    Input::MouseMove(Edit, 5, 5);
    EXPECT_TRUE(Edit->MouseInControl());
    Input::MouseMove(Other, 5, 5);
    EXPECT_FALSE(Edit->MouseInControl());
    Edit->SetEnabled(false);
    Input::MouseMove(Edit, 5, 5);
    EXPECT_FALSE(Edit->MouseInControl());
}

TEST_F(DropDownTest, APickOnlyEditOpensOnAPressAnywhere) {
    Edit->SetEditorEnabled(false);
    Focus();
    Type("abc");
    EXPECT_EQ(Edit->WholeText(), QString());
    Input::Click(Edit, 20, 5);
    EXPECT_TRUE(Edit->DroppedDown());
}
