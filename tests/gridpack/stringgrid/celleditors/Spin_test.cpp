// The spin edit on its own: value reads and writes, stepping each kind of
// value, the characters it refuses, the button pair's layout, keys and
// auto-repeat.
#include "gridpack/stringgrid/inplace/EditTestKit.h"
#include "gridpack/stringgrid/sgspin.h"
#include "platform/core/FormatSettings.h"

namespace {
class SpinTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 400, 300);
        Spin = NewObject<TSgSpinEdit>(Form);
        Spin->SetParent(Form);
        Spin->SetBounds(10, 10, 120, 24);
        Form->Show();
        Spin->SetFocus();
        DrainPostedMessages();
        Beeps = MessageBeepCount();
    }
    // Types one character with the caret at `pos` (nothing selected).
    void TypeAt(int pos, QChar ch)
    {
        Spin->SetSelStart(pos);
        Spin->SetSelLength(0);
        Type(QString(ch));
    }
    int NewBeeps() { return MessageBeepCount() - Beeps; }
    TSgSpinEdit* Spin = nullptr;
    int Beeps = 0;
};
} // namespace

TEST_F(SpinTest, IntegerValueReadsFallBackAndWritesAreLimited)
{
    struct Case {
        const char* Text;
        int Expected;
    } reads[] = {{"abc", 7}, {"   ", 0}, {"", 0}, {" 42 ", 42}, {"-3", -3}};
    Spin->MinValue = 7;
    Spin->MaxValue = 100;
    for (const Case& c : reads) {
        Spin->SetText(QString::fromLatin1(c.Text));
        EXPECT_EQ(Spin->Value(), c.Expected) << c.Text;
    }
    Spin->MinValue = 0;
    Spin->SetValue(150);
    EXPECT_EQ(Spin->Text(), "100");
    Spin->SetValue(-5);
    EXPECT_EQ(Spin->Text(), "0");
    // Equal limits: none applies.
    Spin->MinValue = Spin->MaxValue = 0;
    Spin->SetValue(150);
    EXPECT_EQ(Spin->Text(), "150");
    Spin->SetValue(-150);
    EXPECT_EQ(Spin->Text(), "-150");
}

TEST_F(SpinTest, FloatReadsTheFloatMinimumForNoNumberAndKeepsItsPrecision)
{
    Spin->MinValue = 3;
    Spin->MinFloatValue = 1.5;
    Spin->SetSpinType(sptFloat);
    Spin->SetText("x.y");
    EXPECT_DOUBLE_EQ(Spin->FloatValue(), 1.5);  // not the integer MinValue 3
    Spin->SetPrecision(2);
    for (double v : {5.0, 7.125, 12.3}) {
        Spin->SetFloatValue(v);
        const QString t = Spin->Text();
        const int dp = t.indexOf(FormatSettings.DecimalSeparator);
        ASSERT_GE(dp, 0) << t.toStdString();
        EXPECT_EQ(t.length() - dp - 1, 2) << t.toStdString();
    }
    Spin->SetFloatValue(500);
    EXPECT_DOUBLE_EQ(Spin->FloatValue(), 100.0);
    // A third decimal after the separator is refused with a beep.
    Spin->SetFloatValue(12.25);
    TypeAt(Spin->Text().length(), '7');
    EXPECT_DOUBLE_EQ(Spin->FloatValue(), 12.25);
    EXPECT_EQ(NewBeeps(), 1);
    // Before the separator a digit still goes in.
    TypeAt(0, '1');
    EXPECT_DOUBLE_EQ(Spin->FloatValue(), 112.25);
    // A second decimal separator is refused.
    TypeAt(1, FormatSettings.DecimalSeparator);
    EXPECT_EQ(NewBeeps(), 2);
}

TEST_F(SpinTest, TheButtonsAndKeysStepEachKindOfValue)
{
    Spin->SetValue(10);
    Spin->Increment = 5;
    Key(VK_UP);
    EXPECT_EQ(Spin->Value(), 15);
    Key(VK_NEXT);  // page makes no difference for integers
    EXPECT_EQ(Spin->Value(), 10);
    Spin->Button()->OnDownClick(Spin->Button());
    EXPECT_EQ(Spin->Value(), 5);

    Spin->SetSpinType(sptFloat);
    Spin->SetPrecision(1);
    Spin->SetFloatValue(2.0);
    Key(VK_UP);
    EXPECT_NEAR(Spin->FloatValue(), 2.1, 1e-9);
    Key(VK_PRIOR);
    EXPECT_NEAR(Spin->FloatValue(), 3.1, 1e-9);

    Spin->SetReadOnly(true);
    Key(VK_UP);
    EXPECT_NEAR(Spin->FloatValue(), 3.1, 1e-9);
    EXPECT_EQ(NewBeeps(), 1);
}

TEST_F(SpinTest, ADateStepsThePartUnderTheCaretInTheFormatsOrder)
{
    TFormatSettings us = FormatSettings;
    us.ShortDateFormat = "mm/dd/yyyy";
    TFormatSettingsScope scope(us);
    struct Case {
        int Caret;
        TDateTime Expected;
    } cases[] = {
        {0, EncodeDate(2026, 2, 28)},   // month (31 Jan + 1 month falls to the month's end)
        {3, EncodeDate(2026, 2, 1)},    // day
        {8, EncodeDate(2027, 1, 31)},   // year
    };
    Spin->SetSpinType(sptDate);
    for (const Case& c : cases) {
        Spin->SetDateValue(EncodeDate(2026, 1, 31));
        ASSERT_EQ(Spin->Text(), "01/31/2026");
        Spin->SetSelStart(c.Caret);
        Spin->UpClick(false);
        EXPECT_EQ(Spin->DateValue(), c.Expected) << c.Caret;
        EXPECT_EQ(Spin->SelStart(), c.Caret);
    }
    // Day first: the first part is the day.
    TFormatSettings eu = FormatSettings;
    TFormatSettingsScope scope2(eu);
    Spin->SetDateValue(EncodeDate(2026, 1, 31));
    Spin->SetSelStart(0);
    Spin->DownClick(false);
    EXPECT_EQ(Spin->DateValue(), EncodeDate(2026, 1, 30));
}

TEST_F(SpinTest, TimeStepsWrapBelowMidnight)
{
    Spin->SetSpinType(sptTime);
    Spin->SetTimeValue(EncodeTime(0, 10, 0, 0));
    EXPECT_EQ(Spin->Text(), "00:10:00");
    Spin->SetSelStart(0);
    Spin->DownClick(false);
    EXPECT_EQ(Spin->Text(), "23:10:00");
    Spin->SetSelStart(7);  // seconds
    Spin->UpClick(false);
    EXPECT_EQ(Spin->Text(), "23:10:01");
    Spin->SetSelStart(4);  // minutes
    Spin->UpClick(false);
    EXPECT_EQ(Spin->Text(), "23:11:01");
    Spin->ShowSeconds = false;
    Spin->SetTimeValue(EncodeTime(23, 30, 0, 0));
    EXPECT_EQ(Spin->Text(), "23:30");
    Spin->SetSelStart(0);
    Spin->UpClick(false);
    EXPECT_EQ(Spin->Text(), "0:30");
    EXPECT_EQ(Spin->TimeValue(), EncodeTime(0, 30, 0, 0));
}

TEST_F(SpinTest, MinusOnlyAtTheStartAndLettersNever)
{
    Spin->SetText("123");
    TypeAt(2, '-');
    EXPECT_EQ(Spin->Text(), "123");
    EXPECT_EQ(NewBeeps(), 1);
    TypeAt(1, 'a');
    EXPECT_EQ(NewBeeps(), 2);
    TypeAt(0, '-');
    EXPECT_EQ(Spin->Text(), "-123");
    // A second minus only replaces a selected first one.
    TypeAt(0, '-');
    EXPECT_EQ(NewBeeps(), 3);
    Spin->SetSelStart(0);
    Spin->SetSelLength(2);
    Type("-");
    EXPECT_EQ(Spin->Text(), "-23");
    // With the editor off typing changes nothing; the buttons still step.
    Spin->EditorEnabled = false;
    TypeAt(3, '4');
    Key(VK_BACK);
    EXPECT_EQ(Spin->Text(), "-23");
    Spin->MinValue = -100;
    Key(VK_UP);
    EXPECT_EQ(Spin->Text(), "-22");
}

TEST_F(SpinTest, ButtonPairLayoutAndKeys)
{
    TSgSpinButton* b = Spin->Button();
    b->SetBounds(0, 0, 15, 21);
    EXPECT_EQ(b->UpButton()->BoundsRect(), (TRect{0, 0, 15, 10}));
    EXPECT_EQ(b->DownButton()->BoundsRect(), (TRect{0, 9, 15, 21}));
    b->SetBounds(0, 0, 8, 21);
    EXPECT_EQ(b->Width(), 15);
    b->SetDirection(spHorizontal);
    EXPECT_EQ(b->Width(), 20);
    b->SetBounds(0, 0, 10, 21);
    EXPECT_EQ(b->Width(), 20);
    EXPECT_EQ(b->DownButton()->BoundsRect(), (TRect{0, 0, 10, 21}));
    EXPECT_EQ(b->UpButton()->BoundsRect(), (TRect{11, 0, 21, 21}));
    EXPECT_EQ(b->UpButton()->ButtonDirection, bdRight);

    int ups = 0, downs = 0;
    b->OnUpClick = [&](TObject*) { ++ups; };
    b->OnDownClick = [&](TObject*) { ++downs; };
    b->SetTabStop(true);
    b->SetFocus();
    DrainPostedMessages();
    Key(VK_SPACE);
    EXPECT_EQ(ups, 1);
    Key(VK_DOWN);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(b->FocusedButton(), b->DownButton());
    Key(VK_SPACE);
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(b->Perform(WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS));
}

TEST_F(SpinTest, HoldingAButtonRepeatsAfter400ThenEvery100Ms)
{
    Spin->MaxValue = 1000;
    Spin->SetValue(0);
    TExTimerSpeedButton* up = Spin->Button()->UpButton();
    Input::MouseDown(up, mbLeft, 3, 3);
    EXPECT_EQ(Spin->Value(), 0);
    AdvanceTime(399);
    EXPECT_EQ(Spin->Value(), 0);
    AdvanceTime(1);
    EXPECT_EQ(Spin->Value(), 1);
    AdvanceTime(99);
    EXPECT_EQ(Spin->Value(), 1);
    AdvanceTime(1);
    EXPECT_EQ(Spin->Value(), 2);
    AdvanceTime(300);
    EXPECT_EQ(Spin->Value(), 5);
    Input::MouseUp(up, mbLeft, 3, 3);
    // The release clicks once more; then the timer stands.
    const int after = Spin->Value();
    EXPECT_EQ(after, 6);
    AdvanceTime(1000);
    EXPECT_EQ(Spin->Value(), after);
    EXPECT_FALSE(up->RepeatTimer()->Enabled());
    // The press moved the focus to the edit.
    EXPECT_TRUE(Spin->Focused());
}
