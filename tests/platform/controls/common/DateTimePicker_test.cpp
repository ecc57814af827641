#include "Std2Kit.h"
#include "platform/controls/DateTimePicker.h"

#include <QImage>

class DateTimePickerTest : public Std2Test {
protected:
    void SetUp() override {
        Std2Test::SetUp();
        DTP = new TDateTimePicker(Form);
        DTP->SetParent(Form);
        DTP->SetBounds(10, 10, 200, 22);
        DTP->SetFormat("dd/MM/yyyy");
        DTP->SetDateTime(EncodeDate(2024, 2, 27) + EncodeTime(10, 30, 0, 0));
        DTP->OnChange = [this](TObject*) { Log << "Change:" + DTP->DisplayText(); };
        Form->Show();
        DTP->SetFocus();
    }
    TDateTimePicker* DTP = nullptr;
};

TEST_F(DateTimePickerTest, ValuesOutsideTheLimitsRaiseInCode) {
    DTP->SetMaxDate(EncodeDate(2024, 3, 1));
    DTP->SetMinDate(EncodeDate(2024, 1, 1));
    const TDateTime before = DTP->DateTime();
    try {
        DTP->SetDate(EncodeDate(2024, 3, 2));
        FAIL() << "no error";
    } catch (const EDateTimeError& e) {
        EXPECT_TRUE(e.Message().startsWith("Date exceeds maximum of 01/03/2024")) << e.Message().toStdString();
    }
    EXPECT_THROW(DTP->SetDateTime(EncodeDate(2023, 12, 31)), EDateTimeError);
    EXPECT_EQ(DTP->DateTime(), before);
    // A limit that would shut out the value now held is refused too.
    EXPECT_THROW(DTP->SetMaxDate(EncodeDate(2024, 2, 1)), EDateTimeError);
    EXPECT_THROW(DTP->SetMinDate(EncodeDate(2024, 3, 5)), EDateTimeError);
    EXPECT_TRUE(Log.isEmpty()) << "changes in code are not announced";
}

TEST_F(DateTimePickerTest, KeysAndTypingStopAtTheLimits) {
    DTP->SetMaxDate(EncodeDate(2024, 2, 28) + EncodeTime(23, 59, 59, 0));
    DTP->SetSelectedField(0);  // the day
    Input::KeyStroke(VK_UP);
    Input::KeyStroke(VK_UP);   // the 29th would be past the limit
    EXPECT_EQ(DTP->DisplayText(), "28/02/2024");
    DTP->SetSelectedField(2);  // the year
    for (QChar c : QString("2030")) Input::Char(c);
    EXPECT_EQ(DTP->DisplayText(), "28/02/2024");
    EXPECT_LE(DTP->DateTime(), DTP->MaxDate());
    DTP->SetSelectedField(1);  // the month
    Input::KeyStroke(VK_DOWN);
    EXPECT_EQ(DTP->DisplayText(), "28/01/2024");
    EXPECT_EQ(Log, QStringList({"Change:28/02/2024", "Change:28/01/2024"}));
    // Onto the limit's own day the time of day stops at the limit's.
    DTP->SetMaxDate(0);
    DTP->SetDateTime(EncodeDate(2024, 2, 27) + EncodeTime(10, 30, 0, 0));
    DTP->SetMaxDate(EncodeDate(2024, 2, 28) + EncodeTime(8, 0, 0, 0));
    DTP->SetSelectedField(0);
    Input::KeyStroke(VK_UP);
    EXPECT_EQ(DTP->DateTime(), DTP->MaxDate());
}

TEST_F(DateTimePickerTest, UpDownModeStepsTheSelectedFieldInsteadOfOpeningTheCalendar) {
    DTP->SetDateMode(dmUpDown);
    DTP->SetMaxDate(EncodeDate(2024, 2, 28) + EncodeTime(23, 59, 59, 0));
    DTP->SetSelectedField(0);  // the day
    const TRect b = DTP->ButtonRect();
    ASSERT_FALSE(b.IsEmpty());
    const int x = (b.Left + b.Right) / 2, upper = b.Top + 2, lower = b.Bottom - 3;
    Input::Click(DTP, x, upper);
    EXPECT_FALSE(DTP->DroppedDown());
    EXPECT_EQ(DTP->DisplayText(), "28/02/2024");
    Input::Click(DTP, x, upper);  // the limit holds
    EXPECT_EQ(DTP->DisplayText(), "28/02/2024");
    Input::Click(DTP, x, lower);
    Input::Click(DTP, x, lower);
    EXPECT_EQ(DTP->DisplayText(), "26/02/2024");
    EXPECT_EQ(Log, QStringList({"Change:28/02/2024", "Change:27/02/2024", "Change:26/02/2024"}));
    // Back in the drop-down mode the same press opens the calendar.
    DTP->SetDateMode(dmComboBox);
    const TRect combo = DTP->ButtonRect();
    Input::Click(DTP, (combo.Left + combo.Right) / 2, combo.Top + 2);
    EXPECT_TRUE(DTP->DroppedDown());
    EXPECT_EQ(DTP->DisplayText(), "26/02/2024");
}

TEST_F(DateTimePickerTest, TheCalendarCannotPickPastTheLimit) {
    DTP->SetMaxDate(EncodeDate(2024, 3, 3) + EncodeTime(23, 59, 0, 0));
    QStringList events;
    DTP->OnDropDown = [&](TObject*) { events << "DropDown"; };
    DTP->OnCloseUp = [&](TObject*) { events << "CloseUp"; };
    Input::KeyStroke(VK_F4);
    ASSERT_TRUE(DTP->DroppedDown());
    TMonthCalendar* cal = DTP->MonthCalendar();
    ASSERT_NE(cal, nullptr);
    EXPECT_EQ(cal->Date(), EncodeDate(2024, 2, 27));
    // A day past the limit is not taken by a click.
    cal->ShowMonth(2024, 3);
    const TRect late = cal->DayRect(EncodeDate(2024, 3, 10));
    ASSERT_FALSE(late.IsEmpty());
    Input::Click(cal, Mid(late).X, Mid(late).Y);
    EXPECT_TRUE(DTP->DroppedDown());
    // The keyboard stops at the limit; Enter takes the day.
    for (int i = 0; i < 3; ++i) Input::KeyStroke(VK_DOWN);  // three weeks on
    Input::KeyStroke(VK_RETURN);
    EXPECT_FALSE(DTP->DroppedDown());
    EXPECT_EQ(DTP->Date(), EncodeDate(2024, 3, 3));
    EXPECT_EQ(DTP->Time(), EncodeTime(10, 30, 0, 0)) << "the time of day stays";
    EXPECT_EQ(DTP->MaxDate(), EncodeDate(2024, 3, 3) + EncodeTime(23, 59, 0, 0));
    EXPECT_EQ(events, QStringList({"DropDown", "CloseUp"}));
    // A click on an allowed day closes with it.
    Input::KeyStroke(VK_DOWN, ssAlt);
    cal = DTP->MonthCalendar();
    ASSERT_NE(cal, nullptr);
    const TRect first = cal->DayRect(EncodeDate(2024, 3, 1));
    Input::Click(cal, Mid(first).X, Mid(first).Y);
    EXPECT_FALSE(DTP->DroppedDown());
    EXPECT_EQ(DTP->Date(), EncodeDate(2024, 3, 1));
}

TEST_F(DateTimePickerTest, AnUncheckedBoxGreysTheValueAndReportsNone) {
    struct Watch : TDateTimePicker {
        using TDateTimePicker::TDateTimePicker;
        QList<std::uint32_t> Flags;
        void WndProc(TMessage& m) override {
            if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == DTN_DATETIMECHANGE)
                Flags << reinterpret_cast<NMDATETIMECHANGE*>(m.LParam)->dwFlags;
            TDateTimePicker::WndProc(m);
        }
    };
    auto* w = new Watch(Form);
    w->SetParent(Form);
    w->SetBounds(10, 50, 200, 22);
    w->SetFormat("dd/MM/yyyy");
    w->SetShowCheckbox(true);
    // The darkest pixel of the value's text.
    auto darkest = [&] {
        const QImage img = Form->RenderClient();
        int best = 255;
        for (int y = 52; y < 70; ++y)
            for (int x = 10 + w->CheckboxRect().Right + 4; x < 10 + w->ButtonRect().Left - 2; ++x)
                best = std::min(best, qGray(img.pixel(x, y)));
        return best;
    };
    const int checked = darkest();
    w->SetFocus();
    Input::Char(' ');
    EXPECT_FALSE(w->Checked());
    const int unchecked = darkest();
    EXPECT_LT(checked, 60);
    EXPECT_GE(unchecked, 100) << "grey text is no darker than the grey text colour";
    // Keys do not change a value that is not there.
    const TDateTime v = w->DateTime();
    Input::KeyStroke(VK_UP);
    EXPECT_EQ(w->DateTime(), v);
    Input::Char(' ');
    EXPECT_EQ(w->Flags, QList<std::uint32_t>({GDT_NONE, GDT_VALID}));
}

TEST_F(DateTimePickerTest, FormatsLayOutTheFields) {
    struct Case { QString format; TDateTimeKind kind; TDTDateFormat df; QString shown; int fields; };
    const TDateTime v = EncodeDate(2024, 2, 29) + EncodeTime(15, 4, 5, 0);
    const Case cases[] = {
        {"dd/MM/yyyy", dtkDate, dfShort, "29/02/2024", 3},
        {"d-M-yy", dtkDate, dfShort, "29-2-24", 3},
        {"ddd d MMM yyyy", dtkDate, dfShort, "Thu 29 Feb 2024", 4},
        {"'Day' dd", dtkDate, dfShort, "Day 29", 1},
        {"hh:mm tt", dtkTime, dfShort, "03:04 PM", 3},
        {"", dtkDate, dfShort, "29/02/2024", 3},  // the short date format of the settings
        {"", dtkDate, dfLong, "29 February 2024", 3},  // the long one, "dd mmmm yyyy"
        {"", dtkTime, dfShort, "15:04:05", 3},    // the long time format
    };
    for (const Case& c : cases) {
        DTP->SetKind(c.kind);
        DTP->SetDateFormat(c.df);
        DTP->SetFormat(c.format);
        DTP->SetDateTime(v);
        EXPECT_EQ(DTP->DisplayText(), c.shown) << c.format.toStdString();
        EXPECT_EQ(DTP->FieldCount(), c.fields) << c.format.toStdString();
    }
}

TEST_F(DateTimePickerTest, FieldsWrapInsideTheirRangeAndTakeTypedDigits) {
    DTP->SetDateTime(EncodeDate(2024, 1, 31));
    DTP->SetSelectedField(0);
    Input::KeyStroke(VK_UP);
    EXPECT_EQ(DTP->DisplayText(), "01/01/2024") << "the day wraps inside its month";
    DTP->SetDateTime(EncodeDate(2024, 3, 31));
    DTP->SetSelectedField(1);
    Input::KeyStroke(VK_DOWN);
    EXPECT_EQ(DTP->DisplayText(), "29/02/2024") << "the day shrinks to the month";
    DTP->SetSelectedField(0);
    Input::Char('1');
    Input::Char('7');
    EXPECT_EQ(DTP->DisplayText(), "17/02/2024");
    Input::Char('4');  // no day starts with 4 and goes on: taken at once
    EXPECT_EQ(DTP->DisplayText(), "04/02/2024");
    Input::KeyStroke(VK_RIGHT);
    EXPECT_EQ(DTP->SelectedField(), 1);
    Input::KeyStroke(VK_LEFT);
    Input::KeyStroke(VK_LEFT);
    EXPECT_EQ(DTP->SelectedField(), 2) << "moving left from the first wraps";
}

TEST(MonthCalendar, StyleBitsChangeTheSizeItNeeds) {
    TForm* form = NewObject<TForm>(nullptr);
    auto* cal = new TMonthCalendar(form);
    cal->SetParent(form);
    const TRect plain = cal->GetMinReqRect();
    cal->SetCalendarStyle(cal->CalendarStyle() | MCS_WEEKNUMBERS);
    const TRect weeks = cal->GetMinReqRect();
    EXPECT_GT(weeks.Width(), plain.Width());
    EXPECT_EQ(weeks.Height(), plain.Height());
    cal->SetCalendarStyle(cal->CalendarStyle() | MCS_NOTODAY | MCS_NOTODAYCIRCLE);
    EXPECT_FALSE(cal->ShowToday());
    EXPECT_FALSE(cal->ShowTodayCircle());
    EXPECT_LT(cal->GetMinReqRect().Height(), weeks.Height());
    // Six whole weeks fit in the rectangle it asks for.
    cal->SetBounds(0, 0, cal->GetMinReqRect().Width(), cal->GetMinReqRect().Height());
    cal->SetDate(EncodeDate(2024, 6, 15));
    const TRect last = cal->DayRect(EncodeDate(2024, 6, 30));
    EXPECT_LE(last.Bottom, cal->Height());
    EXPECT_LE(last.Right, cal->Width());
    EXPECT_EQ(cal->DayAt((last.Left + last.Right) / 2, (last.Top + last.Bottom) / 2), EncodeDate(2024, 6, 30));
    delete form;
}

TEST(MonthCalendar, WeekNumbersFollowTheIsoRule) {
    struct Case { int y, m, d, week; };
    const Case cases[] = {{2021, 1, 3, 53}, {2021, 1, 4, 1}, {2024, 12, 30, 1}, {2026, 12, 31, 53}, {2024, 6, 15, 24}};
    for (const Case& c : cases) EXPECT_EQ(TMonthCalendar::WeekOfYear(EncodeDate(c.y, c.m, c.d)), c.week) << c.y << "-" << c.m << "-" << c.d;
}

TEST_F(DateTimePickerTest, ThePlatformMessagesReadAndSetTheValue) {
    SYSTEMTIME st;
    EXPECT_EQ(DTP->Perform(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), LRESULT(GDT_VALID));
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 27);
    EXPECT_EQ(st.wHour, 10);
    EXPECT_EQ(st.wMinute, 30);
    EXPECT_EQ(st.wDayOfWeek, 2) << "a Tuesday, counted from Sunday";
    st.wDay = 1;
    st.wHour = 8;
    EXPECT_EQ(DTP->Perform(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)), 1);
    EXPECT_EQ(DTP->DateTime(), EncodeDate(2024, 2, 1) + EncodeTime(8, 30, 0, 0));
    // No value needs the check box; a day that does not exist is refused.
    EXPECT_EQ(DTP->Perform(DTM_SETSYSTEMTIME, GDT_NONE, 0), 0);
    st.wDay = 30;
    EXPECT_EQ(DTP->Perform(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)), 0);
    DTP->SetShowCheckbox(true);
    EXPECT_EQ(DTP->Perform(DTM_SETSYSTEMTIME, GDT_NONE, 0), 1);
    EXPECT_FALSE(DTP->Checked());
    EXPECT_EQ(DTP->Perform(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), LRESULT(GDT_NONE));
    EXPECT_TRUE(Log.isEmpty()) << "setting through messages is not announced";
    // The calendar's handle while dropped down, and its own size question.
    EXPECT_EQ(DTP->Perform(DTM_GETMONTHCAL), 0);
    DTP->SetChecked(true);
    DTP->DropDown();
    const HWND h = HWND(DTP->Perform(DTM_GETMONTHCAL));
    ASSERT_NE(h, 0);
    TWinControl* cal = FindControl(h);
    ASSERT_EQ(cal, DTP->MonthCalendar());
    TRect r;
    cal->Perform(MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r, DTP->MonthCalendar()->GetMinReqRect());
    DTP->CloseUp(false);
}
