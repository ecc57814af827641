// The date/time picker on its own: the value, auto tab, the companion time
// picker, the check box and the attached label.
#include "gridpack/dropdown/ExDateTimePicker.h"
#include "platform/core/FormatSettings.h"
#include "support/ToolkitTest.h"

#include <gtest/gtest.h>

namespace {
class PickerTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 500, 300);
        Picker = NewObject<TExDateTimePicker>(Form);
        Picker->SetParent(Form);
        Picker->SetBounds(100, 40, 220, 24);
        Picker->SetDateTime(EncodeDate(2026, 3, 15) + EncodeTime(10, 20, 30, 0));
        Form->Show();
        DrainPostedMessages();
    }
    void TearDown() override
    {
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
    // Types characters into the focused control and lets the posted
    // auto-tab step (and the Right key it posts) run.
    void Type(const QString& s)
    {
        for (QChar ch : s) {
            Input::Char(ch);
            while (DrainPostedMessages() > 0) {
            }
        }
    }
    TExDateTimePicker* Picker = nullptr;
};
} // namespace

TEST_F(PickerTest, ValueVersionAndDefaults)
{
    EXPECT_EQ(Picker->Version(), "1.2.0.0");
    Picker->SetVersion("9.9.9.9");
    EXPECT_EQ(Picker->Version(), "1.2.0.0");
    EXPECT_EQ(Picker->Kind(), dkDateTime);
    EXPECT_EQ(Picker->BorderStyle(), bsSingle);
    EXPECT_TRUE(Picker->Ctl3D());
    EXPECT_EQ(Picker->LabelMargin(), 4);
    EXPECT_EQ(Picker->PickerLabel(), nullptr);
    // Milliseconds are dropped.
    Picker->SetDateTime(EncodeDate(2026, 5, 1) + EncodeTime(10, 20, 30, 500));
    EXPECT_EQ(Picker->DateTime(), EncodeDate(2026, 5, 1) + EncodeTime(10, 20, 30, 0));
    ASSERT_NE(Picker->TimePicker(), nullptr);
    EXPECT_EQ(Picker->TimePicker()->DateTime(), EncodeDate(2026, 5, 1) + EncodeTime(10, 20, 30, 0));
    // Writing the date keeps the time of day.
    Picker->SetDate(EncodeDate(2027, 1, 2) + EncodeTime(23, 0, 0, 0));
    EXPECT_EQ(Picker->DateTime(), EncodeDate(2027, 1, 2) + EncodeTime(10, 20, 30, 0));
    // The companion's time is the value's time of day.
    Picker->TimePicker()->SetTime(EncodeTime(8, 9, 10, 0));
    EXPECT_EQ(FormatDateTime("hh:nn:ss", Picker->Time()), "08:09:10");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", Picker->DateTime()), "2027-01-02 08:09:10");
}

TEST_F(PickerTest, AutoTabWalksTheDateAndEntersTheCompanion)
{
    Picker->SetFormat("dd/MM/yyyy");
    Picker->SetAutoTab(true);
    Picker->SetFocus();
    Picker->SetSelectedField(0);
    // The first day digit does not complete the field.
    Type("1");
    EXPECT_EQ(Picker->SelectedField(), 0);
    Type("2");
    EXPECT_EQ(Picker->Date(), EncodeDate(2026, 3, 12));
    EXPECT_EQ(Picker->SelectedField(), 1);
    Type("04");
    EXPECT_EQ(Picker->Date(), EncodeDate(2026, 4, 12));
    EXPECT_EQ(Picker->SelectedField(), 2);
    EXPECT_TRUE(Picker->Focused());
    // The completed year is the format's last field: the companion takes
    // the focus.
    Type("2028");
    EXPECT_EQ(Picker->Date(), EncodeDate(2028, 4, 12));
    ASSERT_NE(Picker->TimePicker(), nullptr);
    EXPECT_TRUE(Picker->TimePicker()->Focused());
}

TEST_F(PickerTest, AutoTabOfTheDateKindAndTheTimeKind)
{
    // A date picker has no companion: the completed year keeps the focus.
    Picker->SetKind(dkDate);
    EXPECT_EQ(Picker->TimePicker(), nullptr);
    Picker->SetFormat("dd/MM/yyyy");
    Picker->SetAutoTab(true);
    Picker->SetFocus();
    Picker->SetSelectedField(2);
    Type("2030");
    EXPECT_EQ(Picker->Date(), EncodeDate(2030, 3, 15));
    EXPECT_TRUE(Picker->Focused());
    EXPECT_EQ(Picker->SelectedField(), 2);

    // Times: a completed field that changed moves on; a digit that leaves
    // the field as it was does not.
    Picker->SetKind(dkTime);
    Picker->SetTimeFormat("HH:mm:ss");
    Picker->SetSelectedField(0);
    Type("1");
    EXPECT_EQ(Picker->SelectedField(), 0);  // 1 may still become 1x
    Type("5");
    EXPECT_EQ(Picker->SelectedField(), 1);
    Type("7");  // 07 minutes: no second digit fits
    EXPECT_EQ(Picker->SelectedField(), 2);
    EXPECT_EQ(FormatDateTime("hh:nn:ss", Picker->Time()), "15:07:30");
    Picker->SetSelectedField(1);
    Type("7");
    EXPECT_EQ(Picker->SelectedField(), 1);
}

TEST_F(PickerTest, SwitchingKindsDestroysAndRemakesTheCompanion)
{
    TCustomDateTimePicker* first = Picker->TimePicker();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->IgnoreMetroStyle() == false);
    EXPECT_EQ(first->Kind(), dtkTime);
    Picker->SetKind(dkDate);
    EXPECT_EQ(Picker->TimePicker(), nullptr);
    EXPECT_EQ(Picker->TDateTimePicker::Kind(), dtkDate);
    Picker->SetKind(dkDateTime);
    TCustomDateTimePicker* second = Picker->TimePicker();
    ASSERT_NE(second, nullptr);
    // Placed inside the picker's right part, left of its button.
    EXPECT_EQ(second->Parent(), Picker);
    EXPECT_EQ(second->Height(), Picker->Height() - 4);
    EXPECT_LE(second->Left() + second->Width(), Picker->Width() - Picker->ButtonWidth());
    EXPECT_GT(second->Left(), 0);
    EXPECT_TRUE(second->Visible());
}

TEST_F(PickerTest, TheCheckBoxCouplesTheCompanion)
{
    Picker->SetShowCheckbox(true);
    Picker->SetFocus();
    ASSERT_NE(Picker->TimePicker(), nullptr);
    EXPECT_TRUE(Picker->TimePicker()->Enabled());
    // Space unchecks: the change report says "no value".
    Input::Char(QLatin1Char(' '));
    EXPECT_FALSE(Picker->Checked());
    EXPECT_FALSE(Picker->TimePicker()->Enabled());
    Input::Char(QLatin1Char(' '));
    EXPECT_TRUE(Picker->Checked());
    EXPECT_TRUE(Picker->TimePicker()->Enabled());
    // No value set by the platform's message; then a value set in code
    // brings it back.
    Picker->Perform(DTM_SETSYSTEMTIME, GDT_NONE, 0);
    EXPECT_FALSE(Picker->Checked());
    EXPECT_FALSE(Picker->TimePicker()->Enabled());
    // A disabled picker keeps the companion disabled when checked.
    Picker->SetEnabled(false);
    Input::Char(QLatin1Char(' '));
    EXPECT_FALSE(Picker->TimePicker()->Enabled());
}

TEST_F(PickerTest, TheLabelStandsAroundThePicker)
{
    int clicks = 0;
    Picker->OnLabelClick = [&](TObject* s) {
        EXPECT_EQ(s, Picker);
        ++clicks;
    };
    Picker->SetLabelCaption("When");
    TLabel* l = Picker->PickerLabel();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Parent(), Form);
    EXPECT_EQ(l->Top(), Picker->Top());
    EXPECT_EQ(l->Left() + l->Width() + 4, Picker->Left());
    Picker->SetLabelPosition(lpTopLeft);
    EXPECT_EQ(l->Top(), Picker->Top() - l->Height() - 4);
    EXPECT_EQ(l->Left(), Picker->Left());
    Picker->SetLabelPosition(lpRightCenter);
    EXPECT_EQ(l->Left(), Picker->Left() + Picker->Width() + 4);
    EXPECT_EQ(l->Top(), Picker->Top() + (Picker->Height() - l->Height()) / 2);
    // Moving the picker moves the label.
    Picker->SetBounds(50, 80, 220, 24);
    EXPECT_EQ(l->Left(), 50 + 220 + 4);
    Input::Click(l, 2, 2);
    EXPECT_EQ(clicks, 1);
    // The label follows the picker's enabled state unless always enabled.
    Picker->SetEnabled(false);
    EXPECT_FALSE(l->Enabled());
    Picker->SetLabelAlwaysEnabled(true);
    EXPECT_TRUE(l->Enabled());
    // Focus makes it bold with FocusLabel.
    Picker->SetEnabled(true);
    Picker->FocusLabel = true;
    Picker->SetFocus();
    EXPECT_TRUE(l->Font()->Style() & fsBold);
    TEdit* other = NewObject<TEdit>(Form);
    other->SetParent(Form);
    other->SetBounds(10, 200, 80, 21);
    other->SetFocus();
    EXPECT_FALSE(l->Font()->Style() & fsBold);
}

// ---------------------------------------------------------------------------
// The platform picker's field completion and the flat look
// ---------------------------------------------------------------------------

TEST_F(PickerTest, ThePlatformPickerTellsWhenADigitCompletesItsField)
{
    TDateTimePicker* p = NewObject<TDateTimePicker>(Form);
    p->SetParent(Form);
    p->SetBounds(10, 150, 160, 22);
    p->SetFormat("dd/MM/yyyy HH:mm");
    p->SetDateTime(EncodeDate(2026, 3, 15) + EncodeTime(10, 20, 0, 0));
    p->SetFocus();
    struct Case {
        int Field;
        const char* Digits;
        bool Completed;
    };
    // Day: 1 may become 1x, 4 cannot; month: 1 may become 1x; year: four
    // digits; hour: 2 may become 2x, 3 cannot.
    const Case cases[] = {{0, "1", false}, {0, "12", true}, {0, "4", true}, {1, "1", false}, {1, "10", true},
                          {2, "202", false}, {2, "2027", true}, {3, "2", false}, {3, "3", true}, {4, "59", true}};
    for (const Case& c : cases) {
        p->SetSelectedField(c.Field);
        for (const char* d = c.Digits; *d; ++d)
            Input::Char(QLatin1Char(*d));
        EXPECT_EQ(p->FieldCompleted(), c.Completed) << c.Field << " " << c.Digits;
    }
    // Any other key clears it.
    p->SetSelectedField(0);
    Input::Char(QLatin1Char('4'));
    ASSERT_TRUE(p->FieldCompleted());
    Input::KeyStroke(VK_RIGHT);
    EXPECT_FALSE(p->FieldCompleted());
}

namespace {
TColor PixelAt(TControl* c, int x, int y)
{
    QImage img(c->Width(), c->Height(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    c->PaintTo(img, Point(0, 0));
    const QRgb p = img.pixel(x, y);
    return TColor(qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16));
}
} // namespace

TEST_F(PickerTest, TheFlatLookIsThePickersOnlyNotTheCompanions)
{
    Picker->SetKind(dkDate);
    Picker->SetBorderColor(TColor(0x0000FF));
    Picker->ButtonColor = TColor(0x00FF00);
    Picker->ButtonBorderColor = TColor(0xFF0000);
    // Without the flat look and with Ctl3D the platform's picker paints.
    EXPECT_NE(PixelAt(Picker, 0, 0), TColor(0x0000FF));
    Picker->SetMetroStyle(true);
    EXPECT_EQ(PixelAt(Picker, 0, 0), TColor(0x0000FF));
    EXPECT_EQ(PixelAt(Picker, Picker->Width() - 1, Picker->Height() / 2), TColor(0x0000FF));
    // The own button: its face, its left line.
    const int left = Picker->Width() - Picker->ButtonWidth() + 1;
    EXPECT_EQ(PixelAt(Picker, Picker->Width() - 3, 3), TColor(0x00FF00));
    EXPECT_EQ(PixelAt(Picker, left, Picker->Height() / 2), TColor(0xFF0000));
    // A disabled flat picker has the themed frame.
    Picker->SetEnabled(false);
    EXPECT_EQ(PixelAt(Picker, 0, 0), TColor(0xB99D7F));

    // The companion (and any TCustomDateTimePicker) ignores the flat look.
    Picker->SetEnabled(true);
    Picker->SetKind(dkDateTime);
    TCustomDateTimePicker* tp = Picker->TimePicker();
    ASSERT_NE(tp, nullptr);
    tp->SetMetroStyle(true);
    tp->SetBorderColor(TColor(0x0000FF));
    EXPECT_FALSE(tp->FlatLook());
    EXPECT_NE(PixelAt(tp, 0, 0), TColor(0x0000FF));
    // Without Ctl3D a single border: the parent's colour for no border style.
    tp->SetCtl3D(false);
    EXPECT_EQ(PixelAt(tp, 0, 0), ColorToRGB(Picker->Color()));
}

TEST_F(PickerTest, TheCompanionsTimeSurvivesRelayoutAndANewCompanionTakesThePickersTime)
{
    ASSERT_NE(Picker->TimePicker(), nullptr);
    Picker->TimePicker()->SetTime(EncodeTime(6, 7, 8, 0));
    // Size and colour changes place the companion again.
    Picker->SetBounds(100, 40, 260, 26);
    Picker->SetColor(TColor(0xEEEEEE));
    EXPECT_EQ(FormatDateTime("hh:nn:ss", Picker->Time()), "06:07:08");
    // Switching kinds keeps the value; the new companion starts from it.
    Picker->SetKind(dkDate);
    Picker->SetKind(dkDateTime);
    ASSERT_NE(Picker->TimePicker(), nullptr);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", Picker->DateTime()), "2026-03-15 06:07:08");
}
