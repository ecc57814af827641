#include "platform/controls/DateTimePicker.h"

#include "platform/controls/Forms.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/MathUtils.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kBorder = 2;
constexpr int kCheckSize = 13;

// The whole days and the time of day of a value; negative values count the
// days back while the time still counts forward.
TDateTime DayPart(TDateTime v) { return double(Trunc(v)); }
TDateTime TimePart(TDateTime v) { return std::fabs(Frac(v)); }
TDateTime Combine(TDateTime day, TDateTime time) { return day >= 0 ? day + time : day - time; }

struct Parts {
    int Year = 1899, Month = 12, Day = 30, Hour = 0, Min = 0, Sec = 0, MSec = 0;
};
Parts Split(TDateTime v) {
    Parts p;
    DecodeDate(v, p.Year, p.Month, p.Day);
    DecodeTime(v, p.Hour, p.Min, p.Sec, p.MSec);
    return p;
}
bool Join(const Parts& p, TDateTime& out) {
    TDateTime d, t;
    if (!TryEncodeDate(p.Year, p.Month, p.Day, d) || !TryEncodeTime(p.Hour, p.Min, p.Sec, p.MSec, t)) return false;
    out = Combine(d, t);
    return true;
}

// The class library's format ("dd/mm/yyyy", "hh:nn:ss") in the picker's
// notation ("dd/MM/yyyy", "HH:mm:ss").
QString PickerFormatFromLibrary(const QString& f, bool time) {
    QString out;
    const bool ampm = f.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) ||
                      f.contains(QLatin1String("a/p"), Qt::CaseInsensitive) ||
                      f.contains(QLatin1String("ampm"), Qt::CaseInsensitive);
    for (int i = 0; i < f.size(); ++i) {
        const QChar c = f[i].toLower();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int end = int(f.indexOf(f[i], i + 1));
            out += QLatin1Char('\'') + f.mid(i + 1, end < 0 ? -1 : end - i - 1) + QLatin1Char('\'');
            if (end < 0) break;
            i = end;
        } else if (f.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            out += QLatin1String("tt");
            i += 4;
        } else if (c == QLatin1Char('m')) {
            out += time ? QLatin1Char('m') : QLatin1Char('M');
        } else if (c == QLatin1Char('n')) {
            out += QLatin1Char('m');
        } else if (c == QLatin1Char('h')) {
            out += ampm ? QLatin1Char('h') : QLatin1Char('H');
        } else if (c == QLatin1Char('d') || c == QLatin1Char('y') || c == QLatin1Char('s')) {
            out += c;
        } else if (c == QLatin1Char('/')) {
            out += FormatSettings.DateSeparator;
        } else if (c == QLatin1Char(':')) {
            out += FormatSettings.TimeSeparator;
        } else {
            out += f[i];
        }
    }
    return out;
}

QString Pad(int v, int width) { return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0')); }

LPARAM NotifyParam(void* p) { return reinterpret_cast<LPARAM>(p); }
}  // namespace

SYSTEMTIME DateTimeToSystemTime(TDateTime v) {
    const Parts p = Split(v);
    SYSTEMTIME st;
    st.wYear = std::uint16_t(p.Year);
    st.wMonth = std::uint16_t(p.Month);
    st.wDay = std::uint16_t(p.Day);
    st.wDayOfWeek = std::uint16_t(DayOfWeek(v) - 1);  // Sunday 0
    st.wHour = std::uint16_t(p.Hour);
    st.wMinute = std::uint16_t(p.Min);
    st.wSecond = std::uint16_t(p.Sec);
    st.wMilliseconds = std::uint16_t(p.MSec);
    return st;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
    Parts p{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
    TDateTime v = 0;
    return Join(p, v) ? v : 0;
}

// ---------------------------------------------------------------------------
// TMonthCalendar
// ---------------------------------------------------------------------------

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    SetDate(::Date());
    const TRect r = GetMinReqRect();
    SetBounds(0, 0, r.Width(), r.Height());
}

TDateTime TMonthCalendar::Clamp(TDateTime v) const {
    if (FMinDate != 0 && v < DayPart(FMinDate)) v = DayPart(FMinDate);
    if (FMaxDate != 0 && v > DayPart(FMaxDate)) v = DayPart(FMaxDate);
    return v;
}

void TMonthCalendar::SetDate(TDateTime v) {
    FDate = Clamp(DayPart(v));
    const Parts p = Split(FDate);
    ShowMonth(p.Year, p.Month);
}

void TMonthCalendar::SetRange(TDateTime min, TDateTime max) {
    FMinDate = min;
    FMaxDate = max;
    SetDate(FDate);
}

void TMonthCalendar::ShowMonth(int year, int month) {
    FMonth = EncodeDate(std::clamp(year, 1, 9999), std::clamp(month, 1, 12), 1);
    Invalidate();
}

void TMonthCalendar::SetCalendarStyle(std::uint32_t v) {
    FStyle = v;
    Invalidate();
}
void TMonthCalendar::SetWeekNumbers(bool v) { SetCalendarStyle(v ? FStyle | MCS_WEEKNUMBERS : FStyle & ~MCS_WEEKNUMBERS); }
void TMonthCalendar::SetShowToday(bool v) { SetCalendarStyle(v ? FStyle & ~MCS_NOTODAY : FStyle | MCS_NOTODAY); }
void TMonthCalendar::SetShowTodayCircle(bool v) {
    SetCalendarStyle(v ? FStyle & ~MCS_NOTODAYCIRCLE : FStyle | MCS_NOTODAYCIRCLE);
}
void TMonthCalendar::SetFirstDayOfWeek(int v) {
    FFirstDay = std::clamp(v, 0, 6);
    Invalidate();
}

TMonthCalendar::Metrics TMonthCalendar::Measure() {
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    const int th = c->TextHeight(QStringLiteral("Wg"));
    int cell = c->TextWidth(QStringLiteral("00"));
    for (const QString& d : FormatSettings.ShortDayNames) cell = std::max(cell, c->TextWidth(d.left(2)));
    cell += 8;
    Metrics m;
    m.Cell = cell;
    m.Row = th + 3;
    m.Title = th + 10;
    m.Header = th + 4;
    m.Today = ShowToday() ? th + 6 : 0;
    m.WeekCol = WeekNumbers() ? cell : 0;
    m.Margin = 4;
    return m;
}

TRect TMonthCalendar::GetMinReqRect() {
    const Metrics m = Measure();
    // One month: the title, the day names, six weeks, the today line.
    int w = 2 * m.Margin + m.WeekCol + 7 * m.Cell;
    if (ShowToday()) {
        Canvas()->Font().Assign(*Font());
        w = std::max(w, Canvas()->TextWidth(QStringLiteral("Today: ") + DateToStr(::Date())) + 2 * m.Margin + 20);
    }
    const int h = m.Title + m.Header + 6 * m.Row + m.Today + 2 * m.Margin;
    return Rect(0, 0, w, h);
}

TDateTime TMonthCalendar::FirstShownDay() {
    // DayOfWeek: Sunday 1 .. Saturday 7; columns start at FirstDayOfWeek
    // (0 Monday).
    const int dow = (DayOfWeek(FMonth) + 5) % 7;  // Monday 0
    const int back = (dow - FFirstDay + 7) % 7;
    return FMonth - back;
}

TRect TMonthCalendar::DayRect(TDateTime day) {
    const Metrics m = Measure();
    const int index = int(DayPart(day) - FirstShownDay());
    if (index < 0 || index >= 42) return TRect();
    const int x = m.Margin + m.WeekCol + (index % 7) * m.Cell;
    const int y = m.Margin + m.Title + m.Header + (index / 7) * m.Row;
    return Rect(x, y, x + m.Cell, y + m.Row);
}

TDateTime TMonthCalendar::DayAt(int X, int Y) {
    const Metrics m = Measure();
    const int col = (X - m.Margin - m.WeekCol) / std::max(1, m.Cell);
    const int row = (Y - m.Margin - m.Title - m.Header) / std::max(1, m.Row);
    if (X < m.Margin + m.WeekCol || Y < m.Margin + m.Title + m.Header || col > 6 || row > 5) return 0;
    return FirstShownDay() + row * 7 + col;
}

TRect TMonthCalendar::ArrowRect(bool next) {
    const Metrics m = Measure();
    const int size = m.Title - 4;
    return next ? Rect(Width() - m.Margin - size, m.Margin + 2, Width() - m.Margin, m.Margin + 2 + size)
                : Rect(m.Margin, m.Margin + 2, m.Margin + size, m.Margin + 2 + size);
}

int TMonthCalendar::WeekOfYear(TDateTime day) {
    // ISO weeks: the week holding the year's first Thursday is week 1.
    const TDateTime d = DayPart(day);
    const int dow = (DayOfWeek(d) + 5) % 7;  // Monday 0
    const TDateTime thursday = d - dow + 3;
    int y, mo, dd;
    DecodeDate(thursday, y, mo, dd);
    return int((thursday - EncodeDate(y, 1, 1)) / 7) + 1;
}

void TMonthCalendar::Paint() {
    TCanvas* c = Canvas();
    const Metrics m = Measure();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    c->SetBkMode(TRANSPARENT);
    c->Font().Assign(*Font());
    // Title with the month and the two arrows.
    int year, month, day;
    DecodeDate(FMonth, year, month, day);
    const TRect title = Rect(m.Margin, m.Margin, Width() - m.Margin, m.Margin + m.Title);
    c->Brush().SetColor(clBtnFace);
    c->FillRect(title);
    c->Font().SetStyle(fsBold);
    TRect tr = title;
    c->DrawText(FormatSettings.LongMonthNames[month - 1] + QLatin1Char(' ') + QString::number(year), tr,
                DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    c->Font().SetStyle(0);
    for (bool next : {false, true}) {
        TRect a = ArrowRect(next);
        c->DrawFrameControl(a, DFC_SCROLL, next ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT);
    }
    // Day names from the first day of the week.
    const int headerY = m.Margin + m.Title;
    for (int i = 0; i < 7; ++i) {
        const int dayIndex = (FFirstDay + 1 + i) % 7;  // ShortDayNames is Sunday first
        TRect r = Bounds(m.Margin + m.WeekCol + i * m.Cell, headerY, m.Cell, m.Header);
        c->DrawText(FormatSettings.ShortDayNames[dayIndex].left(2), r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    c->Pen().SetColor(clGrayText);
    c->MoveTo(m.Margin + m.WeekCol, headerY + m.Header - 1);
    c->LineTo(m.Margin + m.WeekCol + 7 * m.Cell, headerY + m.Header - 1);
    // The six weeks.
    const TDateTime first = FirstShownDay();
    const TDateTime today = ::Date();
    for (int i = 0; i < 42; ++i) {
        const TDateTime d = first + i;
        const TRect r = DayRect(d);
        int y, mo, dd;
        DecodeDate(d, y, mo, dd);
        const bool outside = (FMinDate != 0 && d < DayPart(FMinDate)) || (FMaxDate != 0 && d > DayPart(FMaxDate));
        if (d == FDate) {
            c->Brush().SetColor(Focused() ? clHighlight : clBtnFace);
            c->FillRect(r);
        }
        c->Font().SetColor(d == FDate && Focused() ? clHighlightText
                           : (mo != month || outside)  ? clGrayText
                                                       : clWindowText);
        TRect tr2 = r;
        c->DrawText(QString::number(dd), tr2, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        if (d == today && ShowTodayCircle()) {
            c->Pen().SetColor(clRed);
            c->Brush().SetStyle(bsClear);
            c->Rectangle(r);
            c->Brush().SetStyle(bsSolid);
        }
        if (WeekNumbers() && i % 7 == 0) {
            c->Font().SetColor(clGrayText);
            TRect wr = Rect(m.Margin, r.Top, m.Margin + m.WeekCol, r.Bottom);
            c->DrawText(QString::number(WeekOfYear(d + 3)), wr, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        }
    }
    if (ShowToday()) {
        c->Font().SetColor(clWindowText);
        TRect r = Rect(m.Margin, Height() - m.Margin - m.Today, Width() - m.Margin, Height() - m.Margin);
        c->DrawText(QStringLiteral("Today: ") + DateToStr(today), r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
}

void TMonthCalendar::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS; }

void TMonthCalendar::WndProc(TMessage& M) {
    switch (M.Msg) {
    case MCM_GETMINREQRECT:
        if (!M.LParam) break;
        *reinterpret_cast<TRect*>(M.LParam) = GetMinReqRect();
        M.Result = 1;
        return;
    case MCM_GETCURSEL:
        if (!M.LParam) break;
        *reinterpret_cast<SYSTEMTIME*>(M.LParam) = DateTimeToSystemTime(FDate);
        M.Result = 1;
        return;
    case MCM_SETCURSEL: {
        if (!M.LParam) break;
        const TDateTime d = SystemTimeToDateTime(*reinterpret_cast<const SYSTEMTIME*>(M.LParam));
        M.Result = d != 0 && Clamp(d) == DayPart(d);
        if (M.Result) SetDate(d);
        return;
    }
    default: break;
    }
    TCustomControl::WndProc(M);
}

void TMonthCalendar::WMLButtonDown(TMessage& M) {
    const int x = GetXLParam(M.LParam), y = GetYLParam(M.LParam);
    TCustomControl::WMLButtonDown(M);
    int year, month, day;
    DecodeDate(FMonth, year, month, day);
    if (ArrowRect(false).Contains(Point(x, y))) {
        month == 1 ? ShowMonth(year - 1, 12) : ShowMonth(year, month - 1);
        return;
    }
    if (ArrowRect(true).Contains(Point(x, y))) {
        month == 12 ? ShowMonth(year + 1, 1) : ShowMonth(year, month + 1);
        return;
    }
    if (ShowToday() && y >= Height() - Measure().Margin - Measure().Today) {
        FDate = Clamp(::Date());
        SetDate(FDate);
        if (OnSelect) OnSelect(this);
        return;
    }
    const TDateTime d = DayAt(x, y);
    if (d == 0) return;
    // Days past the limits cannot be picked.
    if (Clamp(d) != d) return;
    FDate = d;
    Invalidate();
    if (OnClick) OnClick(this);
    if (OnSelect) OnSelect(this);
}

void TMonthCalendar::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    TDateTime d = FDate;
    int y, mo, dd;
    DecodeDate(d, y, mo, dd);
    switch (Key) {
    case VK_LEFT: d -= 1; break;
    case VK_RIGHT: d += 1; break;
    case VK_UP: d -= 7; break;
    case VK_DOWN: d += 7; break;
    case VK_PRIOR:
    case VK_NEXT: {
        mo += Key == VK_NEXT ? 1 : -1;
        if (mo < 1) { mo = 12; --y; }
        if (mo > 12) { mo = 1; ++y; }
        d = EncodeDate(std::clamp(y, 1, 9999), mo, std::min(dd, DaysInAMonth(y, mo)));
        break;
    }
    case VK_RETURN:
        if (OnSelect) OnSelect(this);
        Key = 0;
        return;
    default: return;
    }
    SetDate(d);
    Key = 0;
}

// ---------------------------------------------------------------------------
// TDateTimePicker
// ---------------------------------------------------------------------------

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 186, 21);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    FDateTime = Now();
}

TDateTimePicker::~TDateTimePicker() {
    if (FPopup) {
        TPopupForm* p = FPopup;
        FPopup = nullptr;
        FCalendar = nullptr;
        delete p;
    }
}

TDateTime TDateTimePicker::Date() const { return DayPart(FDateTime); }
TDateTime TDateTimePicker::Time() const { return TimePart(FDateTime); }

void TDateTimePicker::SetDateTime(TDateTime v) {
    if (FMinDate != 0 && v < FMinDate)
        throw EDateTimeError(QStringLiteral("Date is less than minimum of %1").arg(DateTimeToStr(FMinDate)));
    if (FMaxDate != 0 && v > FMaxDate)
        throw EDateTimeError(QStringLiteral("Date exceeds maximum of %1").arg(DateTimeToStr(FMaxDate)));
    if (v == FDateTime) return;
    FDateTime = v;
    Invalidate();
}

void TDateTimePicker::SetDate(TDateTime v) { SetDateTime(Combine(DayPart(v), Time())); }
void TDateTimePicker::SetTime(TDateTime v) { SetDateTime(Combine(Date(), TimePart(v))); }

void TDateTimePicker::SetMinDate(TDateTime v) {
    if (v != 0 && FMaxDate != 0 && v > FMaxDate)
        throw EDateTimeError(QStringLiteral("Minimum date %1 is past the maximum %2").arg(DateTimeToStr(v), DateTimeToStr(FMaxDate)));
    if (v != 0 && FDateTime < v)
        throw EDateTimeError(QStringLiteral("Date is less than minimum of %1").arg(DateTimeToStr(v)));
    FMinDate = v;
}

void TDateTimePicker::SetMaxDate(TDateTime v) {
    if (v != 0 && FMinDate != 0 && v < FMinDate)
        throw EDateTimeError(QStringLiteral("Maximum date %1 is before the minimum %2").arg(DateTimeToStr(v), DateTimeToStr(FMinDate)));
    if (v != 0 && FDateTime > v)
        throw EDateTimeError(QStringLiteral("Date exceeds maximum of %1").arg(DateTimeToStr(v)));
    FMaxDate = v;
}

void TDateTimePicker::SetKind(TDateTimeKind v) {
    if (v == FKind) return;
    if (FPopup) CloseUp(false);
    FKind = v;
    FField = -1;
    Invalidate();
}

void TDateTimePicker::SetDateMode(TDTDateMode v) {
    FDateMode = v;
    Invalidate();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat v) {
    FDateFormat = v;
    FField = -1;
    Invalidate();
}

void TDateTimePicker::SetFormat(const QString& v) {
    FFormat = v;
    FField = -1;
    Invalidate();
}

void TDateTimePicker::SetShowCheckbox(bool v) {
    FShowCheckbox = v;
    Invalidate();
}

void TDateTimePicker::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    Invalidate();
}

QString TDateTimePicker::EffectiveFormat() const {
    if (!FFormat.isEmpty()) return FFormat;
    if (FKind == dtkTime) return PickerFormatFromLibrary(FormatSettings.LongTimeFormat, true);
    return PickerFormatFromLibrary(FDateFormat == dfLong ? FormatSettings.LongDateFormat : FormatSettings.ShortDateFormat,
                                   false);
}

QList<TDateTimePicker::Field> TDateTimePicker::Fields() {
    const QString f = EffectiveFormat();
    const Parts p = Split(FDateTime);
    QList<Field> out;
    auto literal = [&out](const QString& s) {
        if (!out.isEmpty() && out.last().Kind == fkLiteral) out.last().Text += s;
        else out << Field{fkLiteral, s, 0};
    };
    for (int i = 0; i < f.size();) {
        const QChar c = f[i];
        if (c == QLatin1Char('\'')) {
            const int end = int(f.indexOf(QLatin1Char('\''), i + 1));
            literal(f.mid(i + 1, end < 0 ? -1 : end - i - 1));
            i = end < 0 ? int(f.size()) : end + 1;
            continue;
        }
        int n = 1;
        while (i + n < f.size() && f[i + n] == c) ++n;
        const int h12 = p.Hour % 12 == 0 ? 12 : p.Hour % 12;
        switch (c.unicode()) {
        case 'd':
            if (n <= 2) out << Field{fkDay, Pad(p.Day, n), n};
            else out << Field{fkDayName, n == 3 ? FormatSettings.ShortDayNames[DayOfWeek(FDateTime) - 1]
                                                : FormatSettings.LongDayNames[DayOfWeek(FDateTime) - 1], 0};
            break;
        case 'M':
            if (n <= 2) out << Field{fkMonth, Pad(p.Month, n), n};
            else out << Field{fkMonthName, n == 3 ? FormatSettings.ShortMonthNames[p.Month - 1]
                                                  : FormatSettings.LongMonthNames[p.Month - 1], 0};
            break;
        case 'y':
            if (n <= 2) out << Field{fkYear, Pad(p.Year % 100, 2), 2};
            else out << Field{fkYear, Pad(p.Year, 4), 4};
            break;
        case 'h': out << Field{fkHour12, Pad(h12, std::min(n, 2)), std::min(n, 2)}; break;
        case 'H': out << Field{fkHour24, Pad(p.Hour, std::min(n, 2)), std::min(n, 2)}; break;
        case 'm': out << Field{fkMinute, Pad(p.Min, std::min(n, 2)), std::min(n, 2)}; break;
        case 's': out << Field{fkSecond, Pad(p.Sec, std::min(n, 2)), std::min(n, 2)}; break;
        case 't': {
            const QString s = p.Hour < 12 ? FormatSettings.TimeAMString : FormatSettings.TimePMString;
            out << Field{fkAmPm, n == 1 ? s.left(1) : s, 0};
            break;
        }
        default: literal(QString(n, c)); break;
        }
        i += n;
    }
    return out;
}

QString TDateTimePicker::DisplayText() {
    QString s;
    for (const Field& f : Fields()) s += f.Text;
    return s;
}

QList<int> TDateTimePicker::EditableFields() {
    QList<int> list;
    const QList<Field> fs = Fields();
    for (int i = 0; i < fs.size(); ++i)
        if (fs[i].Kind != fkLiteral) list << i;
    return list;
}

int TDateTimePicker::FieldCount() { return int(EditableFields().size()); }

void TDateTimePicker::SetSelectedField(int i) {
    FField = std::clamp(i, 0, std::max(0, FieldCount() - 1));
    FTyped.clear();
    Invalidate();
}

TDateTime TDateTimePicker::ClampToLimits(TDateTime v) const {
    if (FMinDate != 0 && v < FMinDate) v = FMinDate;
    if (FMaxDate != 0 && v > FMaxDate) v = FMaxDate;
    return v;
}

void TDateTimePicker::UserValue(TDateTime v) {
    // A step onto a day past a limit is not taken; on the limit's own day
    // the time stops at the limit.
    if ((FMaxDate != 0 && DayPart(v) > DayPart(FMaxDate)) || (FMinDate != 0 && DayPart(v) < DayPart(FMinDate))) return;
    v = ClampToLimits(v);
    if (v == FDateTime) return;
    FDateTime = v;
    Invalidate();
    Notify(DTN_DATETIMECHANGE);
}

void TDateTimePicker::StepField(int field, int delta) {
    const QList<int> editable = EditableFields();
    if (field < 0 || field >= editable.size()) return;
    const Field f = Fields()[editable[field]];
    Parts p = Split(FDateTime);
    auto wrap = [](int v, int lo, int hi) { return lo + ((v - lo) % (hi - lo + 1) + (hi - lo + 1)) % (hi - lo + 1); };
    switch (f.Kind) {
    case fkDay: case fkDayName: p.Day = wrap(p.Day + delta, 1, DaysInAMonth(p.Year, p.Month)); break;
    case fkMonth: case fkMonthName:
        p.Month = wrap(p.Month + delta, 1, 12);
        p.Day = std::min(p.Day, DaysInAMonth(p.Year, p.Month));
        break;
    case fkYear:
        p.Year = std::clamp(p.Year + delta, 1, 9999);
        p.Day = std::min(p.Day, DaysInAMonth(p.Year, p.Month));
        break;
    case fkHour12: case fkHour24: p.Hour = wrap(p.Hour + delta, 0, 23); break;
    case fkMinute: p.Min = wrap(p.Min + delta, 0, 59); break;
    case fkSecond: p.Sec = wrap(p.Sec + delta, 0, 59); break;
    case fkAmPm: p.Hour = (p.Hour + 12) % 24; break;
    default: return;
    }
    TDateTime v;
    if (Join(p, v)) UserValue(v);
}

bool TDateTimePicker::SetFieldValue(int field, int value) {
    const QList<int> editable = EditableFields();
    if (field < 0 || field >= editable.size()) return false;
    const Field f = Fields()[editable[field]];
    Parts p = Split(FDateTime);
    switch (f.Kind) {
    case fkDay: if (value < 1 || value > DaysInAMonth(p.Year, p.Month)) return false; p.Day = value; break;
    case fkMonth:
        if (value < 1 || value > 12) return false;
        p.Month = value;
        p.Day = std::min(p.Day, DaysInAMonth(p.Year, p.Month));
        break;
    case fkYear:
        if (f.Width == 2) value += (p.Year / 100) * 100;
        if (value < 1 || value > 9999) return false;
        p.Year = value;
        p.Day = std::min(p.Day, DaysInAMonth(p.Year, p.Month));
        break;
    case fkHour12:
        if (value < 1 || value > 12) return false;
        p.Hour = (value % 12) + (p.Hour >= 12 ? 12 : 0);
        break;
    case fkHour24: if (value > 23) return false; p.Hour = value; break;
    case fkMinute: if (value > 59) return false; p.Min = value; break;
    case fkSecond: if (value > 59) return false; p.Sec = value; break;
    default: return false;
    }
    TDateTime v;
    if (!Join(p, v)) return false;
    UserValue(v);
    return true;
}

// -- notifications -----------------------------------------------------------

void TDateTimePicker::Notify(unsigned code) {
    if (code == DTN_DATETIMECHANGE) {
        NMDATETIMECHANGE n;
        n.nmhdr = NMHDR{Handle(), 0, code};
        n.dwFlags = (FShowCheckbox && !FChecked) ? GDT_NONE : GDT_VALID;
        if (n.dwFlags == GDT_VALID) n.st = DateTimeToSystemTime(FDateTime);
        Perform(CN_NOTIFY, 0, NotifyParam(&n));
    } else {
        NMHDR n{Handle(), 0, code};
        Perform(CN_NOTIFY, 0, NotifyParam(&n));
    }
}

void TDateTimePicker::Change() {
    if (OnChange) OnChange(this);
}

void TDateTimePicker::WndProc(TMessage& M) {
    switch (M.Msg) {
    case DTM_GETSYSTEMTIME:
        if (FShowCheckbox && !FChecked) {
            M.Result = GDT_NONE;
            return;
        }
        if (M.LParam) *reinterpret_cast<SYSTEMTIME*>(M.LParam) = DateTimeToSystemTime(FDateTime);
        M.Result = GDT_VALID;
        return;
    case DTM_SETSYSTEMTIME:
        // No value is only possible with the check box; a value outside the
        // limits or no date at all is refused.
        if (M.WParam == GDT_NONE) {
            M.Result = FShowCheckbox;
            if (FShowCheckbox) SetChecked(false);
            return;
        }
        M.Result = 0;
        if (M.WParam == GDT_VALID && M.LParam) {
            const TDateTime v = SystemTimeToDateTime(*reinterpret_cast<const SYSTEMTIME*>(M.LParam));
            if (v != 0 && ClampToLimits(v) == v) {
                FDateTime = v;
                if (FShowCheckbox) FChecked = true;
                Invalidate();
                M.Result = 1;
            }
        }
        return;
    case DTM_GETMONTHCAL:
        M.Result = FCalendar ? FCalendar->Handle() : 0;
        return;
    default: break;
    }
    if (M.Msg == CN_NOTIFY && M.LParam) {
        const unsigned code = reinterpret_cast<const NMHDR*>(M.LParam)->code;
        if (code == DTN_DATETIMECHANGE) {
            Change();
            return;
        }
        if (code == DTN_DROPDOWN) {
            if (OnDropDown) OnDropDown(this);
            return;
        }
        if (code == DTN_CLOSEUP) {
            if (OnCloseUp) OnCloseUp(this);
            return;
        }
    }
    TCustomControl::WndProc(M);
}

// -- drop-down ---------------------------------------------------------------

void TDateTimePicker::DropDown() {
    if (FPopup || FKind == dtkTime || FDateMode == dmUpDown) return;
    FPopup = NewObject<TPopupForm>(nullptr);
    FCalendar = new TMonthCalendar(FPopup);
    FCalendar->SetParent(FPopup);
    FCalendar->SetFont(*Font());
    FCalendar->SetRange(FMinDate, FMaxDate);
    FCalendar->SetDate(FDateTime);
    // The calendar is told before it shows, so a handler may change its
    // style and size.
    Notify(DTN_DROPDOWN);
    if (!FCalendar) return;
    const TRect req = FCalendar->GetMinReqRect();
    if (FCalendar->Width() < req.Width() || FCalendar->Height() < req.Height())
        FCalendar->SetBounds(0, 0, std::max(FCalendar->Width(), req.Width()), std::max(FCalendar->Height(), req.Height()));
    FPopup->SetBounds(0, 0, FCalendar->Width(), FCalendar->Height());
    FCalendar->OnSelect = [this](TObject*) { CloseUp(true); };
    FPopup->OnDeactivate = [this](TObject*) {
        if (FPopup) CloseUp(false);
    };
    const TPoint at = ScreenBottomLeft();
    FPopup->Popup(at.X, at.Y);
    Invalidate();
}

void TDateTimePicker::CloseUp(bool accept) {
    if (!FPopup) return;
    TPopupForm* popup = FPopup;
    const TDateTime picked = FCalendar->Date();
    FPopup = nullptr;
    FCalendar = nullptr;
    popup->Hide();
    popup->Release();
    if (accept) {
        if (FShowCheckbox && !FChecked) FChecked = true;
        UserValue(Combine(picked, Time()));
    }
    Notify(DTN_CLOSEUP);
    Invalidate();
}

// -- geometry and painting ---------------------------------------------------

TRect TDateTimePicker::ButtonRect() {
    const int w = GetSystemMetrics(SM_CXVSCROLL);
    return Rect(Width() - kBorder - w, kBorder, Width() - kBorder, Height() - kBorder);
}

TRect TDateTimePicker::CheckboxRect() {
    if (!FShowCheckbox) return TRect();
    const int y = (Height() - kCheckSize) / 2;
    return Bounds(kBorder + 2, y, kCheckSize, kCheckSize);
}

void TDateTimePicker::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Enabled() ? Color() : clBtnFace);
    c->FillRect(ClientRect());
    TRect frame = ClientRect();
    c->DrawEdge(frame, EDGE_SUNKEN, BF_RECT);
    int x = kBorder + 2;
    if (FShowCheckbox) {
        TRect cb = CheckboxRect();
        c->DrawFrameControl(cb, DFC_BUTTON, DFCS_BUTTONCHECK | (FChecked ? unsigned(DFCS_CHECKED) : 0u));
        x = CheckboxRect().Right + 3;
    }
    c->Font().Assign(*Font());
    c->SetBkMode(TRANSPARENT);
    // Without a value (check box off) the fields are greyed.
    const bool grey = !Enabled() || (FShowCheckbox && !FChecked);
    const QList<Field> fs = Fields();
    const QList<int> editable = EditableFields();
    const int selected = (Focused() && FField >= 0 && FField < editable.size()) ? editable[FField] : -1;
    const int th = c->TextHeight(QStringLiteral("Wg"));
    const int y = (Height() - th) / 2;
    for (int i = 0; i < fs.size(); ++i) {
        const int w = c->TextWidth(fs[i].Text);
        if (i == selected && !grey) {
            c->Brush().SetColor(clHighlight);
            c->FillRect(Rect(x, y, x + w, y + th));
            c->Font().SetColor(clHighlightText);
        } else {
            c->Font().SetColor(grey ? clGrayText : Font()->Color());
        }
        c->TextOut(x, y, fs[i].Text);
        x += w;
    }
    TRect b = ButtonRect();
    if (FKind == dtkTime || FDateMode == dmUpDown) {
        TRect up = b, down = b;
        up.Bottom = b.Top + b.Height() / 2;
        down.Top = up.Bottom;
        c->DrawFrameControl(up, DFC_SCROLL, DFCS_SCROLLUP);
        c->DrawFrameControl(down, DFC_SCROLL, DFCS_SCROLLDOWN);
    } else {
        c->DrawFrameControl(b, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (FPopup ? unsigned(DFCS_PUSHED) : 0u));
    }
}

// -- input -------------------------------------------------------------------

void TDateTimePicker::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TDateTimePicker::WMKillFocus(TMessage& M) {
    TCustomControl::WMKillFocus(M);
    FTyped.clear();
    Invalidate();
}

void TDateTimePicker::WMLButtonDown(TMessage& M) {
    const TPoint p(GetXLParam(M.LParam), GetYLParam(M.LParam));
    if (CanFocus() && !Focused()) SetFocus();
    if (FField < 0) SetSelectedField(0);
    if (CheckboxRect().Contains(p)) {
        SetChecked(!FChecked);
        Notify(DTN_DATETIMECHANGE);
    } else if (ButtonRect().Contains(p)) {
        if (FKind == dtkTime || FDateMode == dmUpDown) {
            if (!FShowCheckbox || FChecked) StepField(FField, p.Y < ButtonRect().Top + ButtonRect().Height() / 2 ? 1 : -1);
        } else if (FPopup) {
            CloseUp(false);
        } else {
            DropDown();
        }
    } else {
        // The field under the mouse becomes the selected one.
        TCanvas* c = Canvas();
        c->Font().Assign(*Font());
        int x = FShowCheckbox ? CheckboxRect().Right + 3 : kBorder + 2;
        const QList<Field> fs = Fields();
        int editableIndex = -1;
        for (int i = 0; i < fs.size(); ++i) {
            if (fs[i].Kind != fkLiteral) ++editableIndex;
            const int w = c->TextWidth(fs[i].Text);
            if (p.X < x + w) {
                if (fs[i].Kind != fkLiteral) SetSelectedField(editableIndex);
                break;
            }
            x += w;
        }
    }
    TCustomControl::WMLButtonDown(M);
}

void TDateTimePicker::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    FFieldCompleted = false;
    if (FPopup) {
        // While dropped down the calendar has the keys.
        if (Key == VK_ESCAPE) CloseUp(false);
        else if (Key == VK_RETURN) CloseUp(true);
        else FCalendar->Perform(WM_KEYDOWN, Key, 0);
        Key = 0;
        return;
    }
    if (FField < 0) SetSelectedField(0);
    const bool alt = Shift & ssAlt;
    switch (Key) {
    case VK_F4: DropDown(); break;
    case VK_LEFT: SetSelectedField(FField > 0 ? FField - 1 : FieldCount() - 1); break;
    case VK_RIGHT: SetSelectedField(FField + 1 < FieldCount() ? FField + 1 : 0); break;
    case VK_HOME: SetSelectedField(0); break;
    case VK_END: SetSelectedField(FieldCount() - 1); break;
    case VK_UP:
    case VK_DOWN:
        if (alt && Key == VK_DOWN) {
            DropDown();
            break;
        }
        if (!FShowCheckbox || FChecked) StepField(FField, Key == VK_UP ? 1 : -1);
        FTyped.clear();
        break;
    default: return;
    }
    Key = 0;
}

void TDateTimePicker::KeyPress(QChar& Key) {
    FFieldCompleted = false;
    TCustomControl::KeyPress(Key);
    if (Key.isNull()) return;
    if (Key == QLatin1Char(' ') && FShowCheckbox) {
        SetChecked(!FChecked);
        Notify(DTN_DATETIMECHANGE);
        Key = QChar();
        return;
    }
    if (!Key.isDigit() || (FShowCheckbox && !FChecked)) return;
    if (FField < 0) SetSelectedField(0);
    const QList<int> editable = EditableFields();
    if (FField >= editable.size()) return;
    const Field f = Fields()[editable[FField]];
    // Digits gather in the field until it is full or no further digit could
    // fit; each one that gives a valid value takes effect at once.
    FTyped += Key;
    const int value = FTyped.toInt();
    const int width = f.Kind == fkYear ? f.Width : 2;
    int max = 59;
    switch (f.Kind) {
    case fkDay: max = 31; break;
    case fkMonth: max = 12; break;
    case fkHour12: max = 12; break;
    case fkHour24: max = 23; break;
    case fkYear: max = f.Width == 4 ? 9999 : 99; break;
    default: break;
    }
    if (f.Kind != fkYear || FTyped.size() == width) SetFieldValue(FField, value);
    if (FTyped.size() >= width || value * 10 > max) {
        FTyped.clear();
        FFieldCompleted = true;
    }
    if (OnUserInput) OnUserInput(this);
    Key = QChar();
}
