// Speed buttons, masked edits, track bars and up-down pairs.
#include "StdKit.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/Mask.h"

namespace {

using MoreTest = StdTest;

TEST_F(MoreTest, SpeedButtonsOfOneGroupRaiseEachOther) {
    auto* a = Place<TSpeedButton>(10, 10);
    auto* b = Place<TSpeedButton>(40, 10);
    auto* loose = Place<TSpeedButton>(70, 10);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    Input::Click(a, 5, 5);
    EXPECT_TRUE(a->Down());
    Input::Click(b, 5, 5);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(a->State(), bsUp);
    EXPECT_EQ(clicks, 1);
    // The last one down stays down unless all may be up.
    Input::Click(b, 5, 5);
    EXPECT_TRUE(b->Down());
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp());  // the group shares the rule
    Input::Click(b, 5, 5);
    EXPECT_FALSE(b->Down());
    // A button of no group never latches, and still clicks.
    int looseClicks = 0;
    loose->OnClick = [&](TObject*) { ++looseClicks; };
    loose->SetDown(true);
    Input::Click(loose, 5, 5);
    EXPECT_FALSE(loose->Down());
    EXPECT_EQ(looseClicks, 1);
    // A press released outside is no click.
    Input::MouseDown(loose, mbLeft, 5, 5);
    EXPECT_EQ(loose->State(), bsDown);
    Input::MouseMove(loose, 100, 5);
    EXPECT_EQ(loose->State(), bsUp);
    Input::MouseUp(loose, mbLeft, 100, 5);
    EXPECT_EQ(looseClicks, 1);
}

TEST_F(MoreTest, SpeedButtonDrawsTheGlyphOfItsState) {
    auto* b = Place<TSpeedButton>(10, 10, 30, 30);
    b->SetFlat(true);
    b->SetTransparent(false);
    // Two 8x8 glyphs: red for up, blue for disabled, on a lime key colour.
    TBitmap strip(16, 8);
    strip.Canvas()->Brush().SetColor(clLime);
    strip.Canvas()->FillRect(Rect(0, 0, 16, 8));
    strip.Canvas()->Brush().SetColor(clRed);
    strip.Canvas()->FillRect(Rect(2, 2, 6, 6));
    strip.Canvas()->Brush().SetColor(clBlue);
    strip.Canvas()->FillRect(Rect(10, 2, 14, 6));
    b->SetGlyph(&strip);
    EXPECT_EQ(b->NumGlyphs(), 2);
    // The glyph sits in the middle; its key colour is left out.
    QImage img = Render(b);
    EXPECT_EQ(img.pixel(15, 15), Rgb(clRed));
    EXPECT_EQ(img.pixel(11, 11), Rgb(b->Color()));
    b->SetEnabled(false);
    img = Render(b);
    EXPECT_EQ(img.pixel(15, 15), Rgb(clBlue));
}

TEST_F(MoreTest, MaskEditTakesOnlyWhatTheMaskAllows) {
    auto* m = Place<TMaskEdit>(10, 10);
    m->SetEditMask("!>LL-000;1;_");
    EXPECT_EQ(m->EditText(), "__-___");
    m->SetFocus();
    m->SetSelStart(0);
    const int beeps = MessageBeepCount();
    Type("a1b");  // "1" is no letter
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    EXPECT_EQ(m->EditText(), "AB-___");
    EXPECT_EQ(m->SelStart(), 3);  // the literal is stepped over
    Type("42");
    EXPECT_EQ(m->Text(), "AB-42 ");
    // Leaving with a required place empty is refused, the focus stays.
    auto* other = Place<TEdit>(10, 40);
    Input::Click(other, 2, 2);
    EXPECT_TRUE(m->Focused());
    ASSERT_FALSE(Script.Shown.isEmpty());
    EXPECT_EQ(Script.Last().Text, "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_EQ(m->EditText(), "AB-42_");
    m->SetSelStart(5);
    Type("7");
    EXPECT_EQ(m->EditText(), "AB-427");
    EXPECT_NO_THROW(m->ValidateEdit());
    // Backspace empties the place before the caret; the literal stays.
    Input::KeyStroke(VK_BACK);
    EXPECT_EQ(m->EditText(), "AB-42_");
    m->SetSelStart(3);
    Input::KeyStroke(VK_BACK);
    EXPECT_EQ(m->EditText(), "A_-42_");
}

TEST_F(MoreTest, MaskEditSaveFlagAndPlainUse) {
    struct Case {
        const char* mask;
        const char* text;
        const char* edit;
        const char* stored;
    };
    const Case cases[] = {
        {"00:00;1;_", "12:34", "12:34", "12:34"},
        {"00:00;0;_", "1234", "12:34", "1234"},
        {"(999) 000;0;*", "12345", "(123) 45*", "12345 "},
        {"\\A00;1;_", "A12", "A12", "A12"},
    };
    for (const Case& c : cases) {
        auto* m = Place<TMaskEdit>(10, 10);
        m->SetEditMask(c.mask);
        m->SetText(c.text);
        EXPECT_EQ(m->EditText(), c.edit) << c.mask;
        EXPECT_EQ(m->Text(), c.stored) << c.mask;
        delete m;
    }
    // Without a mask it is an ordinary edit.
    auto* plain = Place<TMaskEdit>(10, 10);
    plain->SetFocus();
    Type("free text");
    EXPECT_EQ(plain->Text(), "free text");
}

TEST_F(MoreTest, TrackBarMovesByKeysAndClicks) {
    auto* t = Place<TTrackBar>(10, 10, 120, 45);
    t->SetMax(20);
    t->SetPageSize(5);
    QList<int> seen;
    t->OnChange = [&](TObject*) { seen << t->Position(); };
    t->SetFocus();
    Input::KeyStroke(VK_RIGHT);
    Input::KeyStroke(VK_NEXT);
    Input::KeyStroke(VK_END);
    Input::KeyStroke(VK_RIGHT);
    EXPECT_EQ(seen, (QList<int>{1, 6, 20}));
    // A click in the channel left of the thumb moves a page down.
    Input::Click(t, 20, 10);
    EXPECT_EQ(t->Position(), 15);
    // Dragging the thumb follows the mouse.
    const TRect thumb = t->ThumbRect();
    const int mid = (thumb.Left + thumb.Right) / 2;
    Input::MouseDown(t, mbLeft, mid, 10);
    Input::MouseMove(t, t->ChannelRect().Left, 10);
    Input::MouseUp(t, mbLeft, t->ChannelRect().Left, 10);
    EXPECT_EQ(t->Position(), 0);
}

TEST_F(MoreTest, UpDownStepsItsBuddy) {
    auto* e = Place<TEdit>(10, 10, 80, 21);
    auto* ud = Place<TUpDown>(0, 0);
    ud->SetMax(1500);
    ud->SetIncrement(500);
    ud->SetAssociate(e);
    EXPECT_EQ(e->Width(), 80 - ud->Width());
    EXPECT_EQ(ud->Left(), e->Left() + e->Width());
    EXPECT_EQ(e->Text(), "0");
    QList<int> clicks;
    ud->OnClick = [&](TObject*, TUDBtnType b) { clicks << int(b); };
    Input::Click(ud, 5, 2);  // the upper arrow
    Input::Click(ud, 5, 2);
    Input::Click(ud, 5, 2);
    EXPECT_EQ(e->Text(), "1,500");
    Input::Click(ud, 5, 2);  // at the top without wrapping
    EXPECT_EQ(ud->Position(), 1500);
    // The value typed in the buddy is where the next step starts.
    e->SetText("700");
    e->SetFocus();
    Input::KeyStroke(VK_DOWN);
    EXPECT_EQ(ud->Position(), 200);
    EXPECT_EQ(clicks, (QList<int>{btNext, btNext, btNext, btNext, btPrev}));
    // OnChanging may refuse a step.
    ud->OnChanging = [](TObject*, bool& allow) { allow = false; };
    Input::KeyStroke(VK_UP);
    EXPECT_EQ(ud->Position(), 200);
    ud->SetWrap(true);
    ud->OnChanging = nullptr;
    ud->SetPosition(0);
    Input::KeyStroke(VK_DOWN);
    EXPECT_EQ(ud->Position(), 1500);
    // Freed, it gives the buddy its own procedure back.
    delete ud;
    Input::KeyStroke(VK_UP);
    EXPECT_EQ(e->Text(), "1,500");
}

}  // namespace
