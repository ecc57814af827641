#include "gridpack/basegrid/ExGridButton.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "platform/controls/Messages.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

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

TEST_F(Panel, ButtonKeepsInStepWithItsActionWhileLinked)
{
    auto* b = NewButton();
    auto* act = new TAction(Form.get());
    act->SetCaption(QStringLiteral("&Find"));
    b->SetAction(act);
    EXPECT_EQ(b->Caption(), QStringLiteral("&Find"));
    act->SetCaption(QStringLiteral("Go"));
    EXPECT_EQ(b->Caption(), QStringLiteral("Go"));
    // A caption set on the button itself is no longer the action's.
    b->SetCaption(QStringLiteral("Mine"));
    act->SetCaption(QStringLiteral("Again"));
    EXPECT_EQ(b->Caption(), QStringLiteral("Mine"));
    act->SetHint(QStringLiteral("Finds"));
    EXPECT_EQ(b->Hint(), QStringLiteral("Finds"));

    // Checked follows as Down only for a group button that may rise.
    b->SetGroupIndex(3);
    act->SetChecked(true);
    EXPECT_FALSE(b->Down());
    act->SetChecked(false);
    b->SetAllowAllUp(true);
    act->SetChecked(true);
    EXPECT_TRUE(b->Down());
    act->SetChecked(false);
    EXPECT_FALSE(b->Down());

    // The group index follows while the two agree: 3 against the action's 0
    // does not.
    act->SetGroupIndex(5);
    EXPECT_EQ(b->GroupIndex(), 3);
    auto* other = NewButton();
    auto* act2 = new TAction(Form.get());
    other->SetAction(act2);
    act2->SetGroupIndex(2);
    EXPECT_EQ(other->GroupIndex(), 2);
    act2->SetGroupIndex(4);
    EXPECT_EQ(other->GroupIndex(), 4);

    act->SetEnabled(false);
    EXPECT_FALSE(b->Enabled());
}

TEST_F(Panel, AButtonPushedUpByItsGroupUnchecksItsAction)
{
    auto* a = NewButton();
    auto* c = NewButton();
    a->SetGroupIndex(1);
    c->SetGroupIndex(1);
    auto* act = new TAction(Form.get());
    a->SetAction(act);
    a->SetDown(true);
    act->SetChecked(true);
    EXPECT_TRUE(a->Down());
    c->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(a->State(), bsUp);
    EXPECT_FALSE(act->Checked());
}

TEST_F(Panel, DropDownMenuPopsUpUnderTheButtonAndIsForgottenWhenFreed)
{
    auto* b = NewButton();
    b->SetDropDownButton(true);
    auto* menu = new TPopupMenu(Form.get());
    b->SetDropDownMenu(menu);
    std::vector<TPoint> shown;
    TPopupMenu::SetChooser([&](TPopupMenu* m, TPoint at) -> TMenuItem* {
        EXPECT_EQ(m, menu);
        shown.push_back(at);
        return nullptr;
    });
    int drops = 0;
    b->OnDropDown = [&](TObject*) {
        ++drops;
        EXPECT_EQ(shown.size(), size_t(drops - 1)); // the event comes before the menu
    };
    Input::Click(b, 55, 10);
    EXPECT_EQ(drops, 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], b->ClientToScreen(Point(0, b->Height())));
    Input::Click(b, 20, 10); // the button part shows no menu
    EXPECT_EQ(shown.size(), 1u);
    TPopupMenu::SetChooser(nullptr);

    delete menu;
    EXPECT_EQ(b->DropDownMenu(), nullptr);
    Input::Click(b, 55, 10);
    EXPECT_EQ(drops, 2);
}

TEST_F(Panel, CaptionAcceleratorsClickTheButtonAndToggleTheBox)
{
    auto* b = NewButton();
    b->SetCaption(QStringLiteral("&Find"));
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    auto* box = new TExCheckBox(Form.get());
    box->SetParent(Form.get());
    box->SetBounds(10, 50, 98, 20);
    box->SetCaption(QStringLiteral("Match &case"));
    int boxClicks = 0;
    box->OnClick = [&](TObject*) { ++boxClicks; };

    EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'f'), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'x'), 0);
    EXPECT_EQ(clicks, 1);
    b->SetEnabled(false);
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'F'), 0);
    EXPECT_EQ(clicks, 1);

    // The box toggles and takes the focus; its OnClick is for the mouse and
    // Space only.
    EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'c'), 0);
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(box->Focused());
    EXPECT_EQ(boxClicks, 0);
    box->SetReadOnly(true);
    EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'c'), 0);
    EXPECT_TRUE(box->Checked());
}

TEST_F(Panel, LookIsAppliedAgainAfterLoadingAndOnThemeChanges)
{
    const TColor look1Hot = 0xEED2C1;
    auto* b = NewButton();
    b->BeginLoading();
    b->SetAutoThemeAdapt(true);
    b->SetColorHot(clRed);
    b->EndLoading();
    EXPECT_EQ(b->ColorHot(), look1Hot);

    for (unsigned msg : {unsigned(WM_THEMECHANGED), unsigned(CM_SYSFONTCHANGED)}) {
        b->SetColorHot(clRed);
        b->Perform(msg);
        EXPECT_EQ(b->ColorHot(), look1Hot) << msg;
    }
    b->SetAutoThemeAdapt(false);
    b->SetColorHot(clRed);
    b->Perform(WM_THEMECHANGED);
    EXPECT_EQ(b->ColorHot(), clRed);
}

TEST_F(Panel, MouseOverIsTrackedAndTold)
{
    auto* b = NewButton();
    int enters = 0, leaves = 0;
    b->OnMouseEnter = [&](TObject*) { ++enters; };
    b->OnMouseLeave = [&](TObject*) { ++leaves; };
    Input::MouseMove(b, 5, 5);
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_EQ(enters, 1);
    // Pressed, dragged out and released there: the button knows the mouse
    // left it.
    Input::MouseDown(b, mbLeft, 5, 5);
    Input::MouseMove(b, 200, 5);
    Input::MouseUp(b, mbLeft, 200, 5);
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(leaves, 1);

    // A disabled button takes no notice.
    b->SetEnabled(false);
    b->Perform(CM_MOUSEENTER);
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(enters, 1);
}

TEST_F(Panel, ChangesThatRepaintTheButton)
{
    auto* b = NewButton();
    const auto repaints = [&](const std::function<void()>& change) {
        const int before = b->InvalidateCount();
        change();
        return b->InvalidateCount() > before;
    };
    TBitmap g(4, 4);
    b->SetGlyph(&g);
    EXPECT_TRUE(repaints([&] { b->Glyph()->SetSize(6, 6); }));
    EXPECT_TRUE(repaints([&] { b->Perform(CM_SYSCOLORCHANGE); }));
    EXPECT_TRUE(repaints([&] { b->SetCaption(QStringLiteral("x")); }));
    EXPECT_TRUE(repaints([&] { b->Font()->SetColor(clRed); }));
    EXPECT_FALSE(repaints([&] { b->SetColorHot(clBlue); }));
}

TEST_F(Panel, ATransparentBoxShowsItsParent)
{
    Form->SetColor(clAqua);
    auto* box = new TExCheckBox(Form.get());
    box->SetParent(Form.get());
    box->SetBounds(10, 50, 98, 20);
    box->SetColor(clRed);
    box->SetCaption(QString());
    const auto at = [&] { return Form->RenderClient().pixel(10 + 90, 50 + 2) & 0xFFFFFF; };
    EXPECT_EQ(at(), QRgb(0xFF0000));
    box->SetTransparent(true);
    EXPECT_EQ(at(), QRgb(0x00FFFF));
    EXPECT_FALSE(box->TransparentChaching());
    // Moved, it shows what lies under its new place.
    box->SetBounds(150, 50, 98, 20);
    Form->SetColor(clLime);
    EXPECT_EQ(Form->RenderClient().pixel(150 + 90, 50 + 2) & 0xFFFFFF, QRgb(0x00FF00));
}
