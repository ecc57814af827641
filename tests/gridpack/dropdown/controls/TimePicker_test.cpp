// The time picker drop-down: the masked text, stepping, typing and the popup
// clock.
#include "DropDownKit.h"
#include "gridpack/dropdown/ExTimePicker.h"

class TimePickerTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        FormatSettings.TimeSeparator = QLatin1Char(':');
        Picker = NewObject<TExTimePickerDropDown>(Form);
        Picker->SetParent(Form);
        Picker->SetBounds(10, 40, 200, 21);
        Picker->OnTimeChange = [this](TObject*) { ++TimeChanges; };
        Form->Show();
    }
    void Caret(int pos) { Picker->Perform(EM_SETSEL, WPARAM(pos), LPARAM(pos)); }
    TExTimePickerDropDown* Picker = nullptr;
    int TimeChanges = 0;
};

TEST_F(TimePickerTest, NewControlShowsMidnight) {
    EXPECT_EQ(Picker->WholeText(), QStringLiteral("00:00:00"));
    EXPECT_EQ(Picker->Time(), 0);
    EXPECT_FALSE(Picker->EditorEnabled());
    EXPECT_FALSE(Picker->DropDownHeader()->Visible());
    EXPECT_EQ(Picker->WatchAppearance()->BackgroundColor(), TColor(0xFFEFE3)) << "the Luna clock";
    EXPECT_EQ(Picker->WatchAppearance()->HourPointer(), TColor(0x723708));
}

TEST_F(TimePickerTest, UpAndDownStepTheFieldUnderTheCaret) {
    Picker->SetFocus();
    Caret(0);
    Key(VK_UP);
    EXPECT_EQ(Picker->WholeText(), QStringLiteral("23:00:00"));
    EXPECT_EQ(Picker->SelStart(), 0) << "the caret stays";
    EXPECT_EQ(TimeChanges, 1);
    Picker->SetTime(EncodeTime(5, 59, 0, 0));
    Caret(4);
    Key(VK_DOWN);
    EXPECT_EQ(Picker->WholeText(), QStringLiteral("05:00:00")) << "minutes wrap, the hour stays";
    Caret(7);
    Key(VK_UP);
    EXPECT_EQ(Picker->WholeText(), QStringLiteral("05:00:59"));
    Picker->SetShowSeconds(false);
    Caret(5);
    Key(VK_DOWN);
    EXPECT_EQ(Picker->WholeText(), QStringLiteral("05:01")) << "after the last field: still the minutes";
}

TEST_F(TimePickerTest, ShowSecondsOffDropsThemFromTextAndTime) {
    Picker->SetTime(EncodeTime(12, 34, 56, 0));
    EXPECT_EQ(Picker->WholeText(), QStringLiteral("12:34:56"));
    EXPECT_EQ(TimeChanges, 0) << "Time writes fire nothing";
    Picker->SetShowSeconds(false);
    EXPECT_EQ(Picker->WholeText(), QStringLiteral("12:34"));
    EXPECT_EQ(Picker->Time(), EncodeTime(12, 34, 0, 0));
    // Milliseconds never survive the text.
    Picker->SetShowSeconds(true);
    Picker->SetTime(EncodeTime(1, 2, 3, 400));
    EXPECT_EQ(Picker->Time(), EncodeTime(1, 2, 3, 0));
}

TEST_F(TimePickerTest, TypedTimeIsParsed) {
    Picker->SetEditorEnabled(true);
    Picker->SetFocus();
    Caret(0);
    Type("074510");
    EXPECT_EQ(Picker->WholeText(), QStringLiteral("07:45:10"));
    EXPECT_EQ(Picker->Time(), EncodeTime(7, 45, 10, 0));
    EXPECT_EQ(TimeChanges, 0);
    // A blank first digit leaves the time (the text is not complete).
    Picker->SetShowSeconds(false);
    const TDateTime before = Picker->Time();
    Picker->SetRawText(QStringLiteral(" 7:00"));
    EXPECT_EQ(Picker->Time(), before);
    Picker->SetRawText(QStringLiteral("a7:00"));
    EXPECT_EQ(Picker->Time(), before) << "no digits: left as it is";
    Picker->SetRawText(QStringLiteral("08:00"));
    EXPECT_EQ(Picker->Time(), EncodeTime(8, 0, 0, 0));
}

TEST_F(TimePickerTest, PopupClockAcceptsOrRestores) {
    Picker->SetTime(EncodeTime(10, 0, 0, 0));
    Picker->ShowDropDown();
    ASSERT_TRUE(Picker->DroppedDown());
    TExWatch* w = Picker->Watch();
    EXPECT_EQ(Picker->PanelCtrl()->Width(), 170);
    EXPECT_EQ(Picker->PanelCtrl()->Height(), 170);
    EXPECT_EQ(w->GetFaceRect().Width(), 150);
    EXPECT_EQ(w->Time(), EncodeTime(10, 0, 0, 0));
    EXPECT_FALSE(Picker->DropDownForm()->CancelOnDeActivate());
    // Keys in the popup move the hands.
    w->SetAnimation(false);
    unsigned k = VK_HOME;
    Picker->DropDownKeyDown(k, 0);
    EXPECT_EQ(Picker->Time(), EncodeTime(12, 0, 0, 0)) << "the edit follows the clock";
    // Outside click: accepted.
    Picker->HideDropDown(Picker->DropDownForm()->CancelOnDeActivate());
    EXPECT_EQ(Picker->Time(), EncodeTime(12, 0, 0, 0));
    EXPECT_EQ(Picker->WholeText(), QStringLiteral("12:00:00"));
    // Cancel: the time of the opening.
    Picker->ShowDropDown();
    Picker->Watch()->SetAnimation(false);
    Picker->Watch()->SetMinute(30);
    EXPECT_EQ(Picker->Time(), EncodeTime(12, 30, 0, 0));
    Picker->HideDropDown(true);
    EXPECT_EQ(Picker->Time(), EncodeTime(12, 0, 0, 0));
    EXPECT_EQ(Picker->WholeText(), QStringLiteral("12:00:00"));
    EXPECT_EQ(Picker->Watch()->Time(), EncodeTime(12, 0, 0, 0));
}

TEST_F(TimePickerTest, OptionalTimePickerBelowTheClock) {
    Picker->SetShowTimePicker(true);
    Picker->SetTime(EncodeTime(9, 15, 0, 0));
    Picker->ShowDropDown();
    TDateTimePicker* p = Picker->DateTimePicker();
    ASSERT_TRUE(p);
    EXPECT_EQ(Picker->PanelCtrl()->Height(), p->Height() + 170);
    EXPECT_NEAR(p->Time(), EncodeTime(9, 15, 0, 0), 1e-9);
    p->SetTime(EncodeTime(9, 40, 0, 0));
    if (p->OnChange) p->OnChange(p);
    EXPECT_NEAR(Picker->Watch()->Time(), EncodeTime(9, 40, 0, 0), 1e-9);
}
