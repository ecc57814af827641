#include "gridpack/grid3/ExGridButton.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "platform/controls/Messages.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
struct Panel : ::testing::Test {
    void SetUp() override
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Form->Show();
    }
    void TearDown() override { Form.reset(); }
    TExGridButton* NewButton()
    {
        auto* b = new TExGridButton(Form.get());
        b->SetParent(Form.get());
        b->SetBounds(10, 10, 60, 22);
        return b;
    }
    std::unique_ptr<TForm> Form;
};
} // namespace

TEST_F(Panel, ButtonDefaultsAndIgnoredValues)
{
    auto* b = new TExGridButton(Form.get());
    EXPECT_EQ(b->Width(), 23);
    EXPECT_EQ(b->Height(), 22);
    EXPECT_EQ(b->Color(), clBtnFace);
    EXPECT_EQ(b->ColorHot(), TColor(0xCAC7C7));
    EXPECT_TRUE(b->Flat());
    b->SetMargin(-2);
    EXPECT_EQ(b->Margin(), -1);
    b->SetMargin(3);
    b->SetMargin(-5);
    EXPECT_EQ(b->Margin(), 3);
    b->SetDown(true); // tasButton without a group
    EXPECT_FALSE(b->Down());
    b->SetStyle(tasCheck);
    b->SetDown(true);
    EXPECT_TRUE(b->Down());
    b->SetLook(2);
    EXPECT_EQ(b->Look(), 0);
    EXPECT_EQ(b->Color(), TColor(0xFDEADA));
    EXPECT_EQ(b->ColorCheckedTo(), TColor(0x55ADFF));
    b->SetAutoThemeAdapt(true); // no visual styles here: look 1
    EXPECT_EQ(b->ColorHot(), TColor(0xEED2C1));
    EXPECT_EQ(b->BorderHotColor(), TColor(0xC56A31));
}

TEST_F(Panel, GlyphMakesAGreyDisabledGlyph)
{
    auto* b = NewButton();
    TBitmap g(2, 1);
    g.Canvas()->SetPixels(0, 0, clWhite);
    g.Canvas()->SetPixels(1, 0, clBlack);
    b->SetGlyph(&g);
    ASSERT_EQ(b->GlyphDisabled()->Width(), 2);
    EXPECT_EQ(b->GlyphDisabled()->Canvas()->Pixels(0, 0), RGB(223, 223, 223));
    EXPECT_EQ(b->GlyphDisabled()->Canvas()->Pixels(1, 0), RGB(96, 96, 96));

    // A disabled glyph already there is kept.
    TBitmap other(2, 1);
    other.Canvas()->SetPixels(0, 0, clRed);
    b->SetGlyph(&other);
    EXPECT_EQ(b->GlyphDisabled()->Canvas()->Pixels(0, 0), RGB(223, 223, 223));
}

TEST_F(Panel, DropDownPartFiresOnDropDownNotOnClick)
{
    auto* b = NewButton();
    b->SetDropDownButton(true);
    int drops = 0, clicks = 0;
    b->OnDropDown = [&](TObject*) { ++drops; };
    b->OnClick = [&](TObject*) { ++clicks; };
    Input::Click(b, 55, 10);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(clicks, 0);
    Input::Click(b, 20, 10);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(Panel, AGroupKeepsOneButtonDown)
{
    auto* a = NewButton();
    auto* c = NewButton();
    a->SetGroupIndex(1);
    c->SetGroupIndex(1);
    Input::Click(a, 5, 5);
    EXPECT_TRUE(a->Down());
    Input::Click(c, 5, 5);
    EXPECT_TRUE(c->Down());
    EXPECT_FALSE(a->Down());
    Input::Click(c, 5, 5); // the last one down cannot rise without AllowAllUp
    EXPECT_TRUE(c->Down());

    auto* check = NewButton();
    check->SetStyle(tasCheck);
    Input::Click(check, 5, 5);
    EXPECT_TRUE(check->Down());
    Input::Click(check, 5, 5);
    EXPECT_FALSE(check->Down());
}

TEST_F(Panel, ButtonPaintsItsColours)
{
    auto* b = NewButton();
    b->SetColor(clYellow);
    b->SetBorderColor(clRed);
    const QImage img = Form->RenderClient();
    EXPECT_EQ(img.pixel(10 + 30, 10 + 2) & 0xFFFFFF, QRgb(0xFFFF00));
    EXPECT_EQ(img.pixel(10 + 30, 10 + 1) & 0xFFFFFF, QRgb(0xFF0000)); // the frame, one in
}

TEST_F(Panel, CheckBoxDefaultsAndToggling)
{
    auto* box = new TExCheckBox(Form.get());
    box->SetParent(Form.get());
    EXPECT_EQ(box->Width(), 98);
    EXPECT_EQ(box->Height(), 20);
    EXPECT_EQ(box->Caption(), QStringLiteral("TExCheckBox"));
    EXPECT_EQ(box->State(), cbUnchecked);
    box->SetChecked(true);
    EXPECT_EQ(box->State(), cbChecked);
    box->SetState(cbGrayed);
    EXPECT_FALSE(box->Checked());
    box->SetState(cbUnchecked);

    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    Input::Click(box, 5, 8);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 1);
    box->SetFocus();
    Input::KeyStroke(VK_SPACE);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 2);

    box->SetReadOnly(true);
    Input::Click(box, 5, 8);
    Input::KeyStroke(VK_SPACE);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 4);
}
