#pragma once
// The date and time picker and its month calendar.
//
// The picker shows a date or a time as fields (day, month, year, hour ...)
// laid out by a display format; the keyboard moves between fields and
// changes them, a drop-down month calendar (or up-down arrows) picks a value,
// and an optional check box says whether there is a value at all. Every
// change reaches the picker as a DTN_ notification (through CN_NOTIFY, so a
// subclass's window procedure sees it) before the events fire. Values stay
// inside MinDate and MaxDate: setting one outside in code raises, typing and
// the calendar stop at the limit.
#include "platform/controls/Controls.h"
#include "platform/controls/RichEdit.h"  // NMHDR
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"

#include <QList>
#include <QString>

KAL_DECLARE_EXCEPTION(EDateTimeError, Exception)

class TPopupForm;

// The platform's date and time of a notification.
struct SYSTEMTIME {
    std::uint16_t wYear = 0, wMonth = 0, wDayOfWeek = 0, wDay = 0;
    std::uint16_t wHour = 0, wMinute = 0, wSecond = 0, wMilliseconds = 0;
};
SYSTEMTIME DateTimeToSystemTime(TDateTime v);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);

// Notifications of the picker, and what DTN_DATETIMECHANGE carries.
constexpr unsigned DTN_FIRST = 0u - 740u;
constexpr unsigned DTN_CLOSEUP = 0u - 753u;
constexpr unsigned DTN_DROPDOWN = 0u - 754u;
constexpr unsigned DTN_DATETIMECHANGE = 0u - 759u;
enum : std::uint32_t { GDT_VALID = 0, GDT_NONE = 1 };
struct NMDATETIMECHANGE {
    NMHDR nmhdr;
    std::uint32_t dwFlags = GDT_VALID;
    SYSTEMTIME st;
};
// Messages of the picker and the calendar: DTM_GETSYSTEMTIME answers
// GDT_VALID or GDT_NONE and fills the SYSTEMTIME at LParam; DTM_SETSYSTEMTIME
// takes GDT_VALID (with the SYSTEMTIME at LParam) or GDT_NONE in WParam;
// DTM_GETMONTHCAL answers the handle of the dropped-down calendar (0 when
// closed); MCM_GETMINREQRECT fills the TRect at LParam.
enum : unsigned {
    DTM_FIRST = 0x1000, DTM_GETSYSTEMTIME = DTM_FIRST + 1, DTM_SETSYSTEMTIME = DTM_FIRST + 2,
    DTM_GETMONTHCAL = DTM_FIRST + 8,
    MCM_FIRST = 0x1000, MCM_GETCURSEL = MCM_FIRST + 1, MCM_SETCURSEL = MCM_FIRST + 2,
    MCM_GETMINREQRECT = MCM_FIRST + 9,
};
// Style bits of the month calendar.
enum : std::uint32_t {
    MCS_DAYSTATE = 0x1, MCS_MULTISELECT = 0x2, MCS_WEEKNUMBERS = 0x4, MCS_NOTODAYCIRCLE = 0x8,
    MCS_NOTODAY = 0x10,
};

// ---------------------------------------------------------------------------
// Month calendar
// ---------------------------------------------------------------------------

class TMonthCalendar : public TCustomControl {
    KAL_CLASS(TMonthCalendar, TCustomControl)
public:
    explicit TMonthCalendar(TComponent* AOwner);

    // The selected day (whole days).
    TDateTime Date() const { return FDate; }
    // Kept inside MinDate and MaxDate; the shown month follows.
    void SetDate(TDateTime v);
    TDateTime MinDate() const { return FMinDate; }
    TDateTime MaxDate() const { return FMaxDate; }
    void SetRange(TDateTime min, TDateTime max);  // 0: no limit
    // The style bits (MCS_WEEKNUMBERS, MCS_NOTODAY, MCS_NOTODAYCIRCLE).
    std::uint32_t CalendarStyle() const { return FStyle; }
    void SetCalendarStyle(std::uint32_t v);
    bool WeekNumbers() const { return FStyle & MCS_WEEKNUMBERS; }
    void SetWeekNumbers(bool v);
    bool ShowToday() const { return !(FStyle & MCS_NOTODAY); }
    void SetShowToday(bool v);
    bool ShowTodayCircle() const { return !(FStyle & MCS_NOTODAYCIRCLE); }
    void SetShowTodayCircle(bool v);
    // 0 Monday .. 6 Sunday.
    int FirstDayOfWeek() const { return FFirstDay; }
    void SetFirstDayOfWeek(int v);

    // The smallest rectangle that shows one whole month (MCM_GETMINREQRECT).
    TRect GetMinReqRect();
    // The month shown (its first day).
    TDateTime VisibleMonth() const { return FMonth; }
    void ShowMonth(int year, int month);
    // The day under a client point, 0 for none.
    TDateTime DayAt(int X, int Y);
    // The rectangle of a shown day, empty when it is not shown.
    TRect DayRect(TDateTime day);
    // ISO week number of a day.
    static int WeekOfYear(TDateTime day);

    // A day was picked by a click or Enter.
    TNotifyEvent OnClick, OnSelect;

protected:
    void WndProc(TMessage& M) override;
    void Paint() override;
    void WMLButtonDown(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;

private:
    struct Metrics {
        int Cell, Row, Title, Header, Today, WeekCol, Margin;
    };
    Metrics Measure();
    TDateTime FirstShownDay();
    TRect ArrowRect(bool next);
    TDateTime Clamp(TDateTime v) const;
    TDateTime FDate = 0, FMinDate = 0, FMaxDate = 0, FMonth = 0;
    std::uint32_t FStyle = 0;
    int FFirstDay = 0;
};

// ---------------------------------------------------------------------------
// Date and time picker
// ---------------------------------------------------------------------------

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateMode { dmComboBox, dmUpDown };
enum TDTDateFormat { dfShort, dfLong };

class TDateTimePicker : public TCustomControl {
    KAL_CLASS(TDateTimePicker, TCustomControl)
public:
    explicit TDateTimePicker(TComponent* AOwner);
    ~TDateTimePicker() override;

    // -- value
    TDateTime DateTime() const { return FDateTime; }
    // Raises EDateTimeError for a value outside MinDate / MaxDate.
    void SetDateTime(TDateTime v);
    TDateTime Date() const;
    void SetDate(TDateTime v);
    TDateTime Time() const;
    void SetTime(TDateTime v);
    // 0 is no limit. A limit that would leave the value outside raises.
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime v);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime v);

    // -- display
    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind v);
    TDTDateMode DateMode() const { return FDateMode; }
    void SetDateMode(TDTDateMode v);
    TDTDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat v);
    // The platform's display format ("dd/MM/yyyy", "HH:mm:ss", "ddd d MMM
    // yy", 'quoted' literals); empty takes the short or long date format or
    // the long time format of the format settings.
    QString Format() const { return FFormat; }
    void SetFormat(const QString& v);
    // The value as shown.
    QString DisplayText();

    // -- check box
    bool ShowCheckbox() const { return FShowCheckbox; }
    void SetShowCheckbox(bool v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);

    // -- fields
    int FieldCount();
    // The selected field (0 .. FieldCount-1).
    int SelectedField() const { return FField; }
    void SetSelectedField(int i);
    // Whether the last typed digit completed its field: the field is full,
    // or no further digit could keep it in range. Any other key clears it.
    bool FieldCompleted() const { return FFieldCompleted; }

    // -- drop-down calendar
    bool DroppedDown() const { return FPopup != nullptr; }
    void DropDown();
    // Closes the calendar; with `accept` its day becomes the date.
    void CloseUp(bool accept);
    // The calendar while it is dropped down (DTM_GETMONTHCAL), else nullptr.
    TMonthCalendar* MonthCalendar() const { return FCalendar; }
    // Where the button and the check box stand.
    TRect ButtonRect();
    TRect CheckboxRect();

    TNotifyEvent OnChange, OnDropDown, OnCloseUp, OnUserInput;

protected:
    // Sent to itself through CN_NOTIFY; the default handling fires the
    // events.
    void Notify(unsigned code);
    virtual void Change();
    void WndProc(TMessage& M) override;
    void Paint() override;
    void WMLButtonDown(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;

    enum FieldKind { fkLiteral, fkDay, fkDayName, fkMonth, fkMonthName, fkYear, fkHour12, fkHour24, fkMinute,
                     fkSecond, fkAmPm };
    struct Field {
        FieldKind Kind;
        QString Text;
        int Width;  // digits of a numeric field as written (1, 2 or 4)
    };
    // The fields of the display format for the current value.
    QList<Field> Fields();
    QString EffectiveFormat() const;
    // Steps a field by `delta`, kept inside its range and the limits.
    void StepField(int field, int delta);
    // Sets a field to a value typed; false when the value does not fit.
    bool SetFieldValue(int field, int value);
    // The value changed by the user: kept inside the limits, then told.
    void UserValue(TDateTime v);
    TDateTime ClampToLimits(TDateTime v) const;
    QList<int> EditableFields();

private:
    TDateTime FDateTime = 0, FMinDate = 0, FMaxDate = 0;
    TDateTimeKind FKind = dtkDate;
    TDTDateMode FDateMode = dmComboBox;
    TDTDateFormat FDateFormat = dfShort;
    QString FFormat;
    bool FShowCheckbox = false, FChecked = true;
    int FField = -1;
    QString FTyped;  // digits typed into the selected field so far
    bool FFieldCompleted = false;
    TPopupForm* FPopup = nullptr;
    TMonthCalendar* FCalendar = nullptr;
};
