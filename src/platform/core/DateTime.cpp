#include "platform/core/DateTime.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Hook.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/MathUtils.h"

#include <QDateTime>

#include <cmath>

namespace {

// Days from 0001-01-01 (day 1) to 1899-12-30.
constexpr int64_t kDateDelta = 693594;
constexpr int kDaysBeforeMonth[2][13] = {
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

THook<TDateTime()>& nowHook()
{
    static THook<TDateTime()> hook;
    return hook;
}

// Whole days and milliseconds of the day; a time that rounds up to midnight
// belongs to the next day.
void split(TDateTime v, int64_t& days, int64_t& msecs)
{
    // Far beyond the calendar (or not a number): decoded as no date at all.
    if (!std::isfinite(v) || std::fabs(v) > 1e8) {
        days = -kDateDelta;
        msecs = 0;
        return;
    }
    days = int64_t(std::trunc(v));
    msecs = int64_t(std::llround(std::fabs(v - std::trunc(v)) * MSecsPerDay));
    if (msecs >= int64_t(MSecsPerDay)) {
        msecs -= int64_t(MSecsPerDay);
        ++days;
    }
}

} // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInAMonth(int year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    static const int days[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
        return false;
    const int64_t y = year - 1;
    const int64_t days = y * 365 + y / 4 - y / 100 + y / 400 + kDaysBeforeMonth[IsLeapYear(year)][month] + day;
    date = double(days - kDateDelta);
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
    time = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return d;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime t;
    if (!TryEncodeTime(hour, min, sec, msec, t))
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return t;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day)
{
    int64_t days, msecs;
    split(date, days, msecs);
    int64_t t = days + kDateDelta;
    if (t <= 0) {
        year = month = day = 0;
        return;
    }
    --t;
    int64_t y = 1;
    y += (t / 146097) * 400;
    t %= 146097;
    int64_t i = t / 36524, d = t % 36524;
    if (i == 4) {
        --i;
        d += 36524;
    }
    y += i * 100;
    y += (d / 1461) * 4;
    d %= 1461;
    i = d / 365;
    d %= 365;
    if (i == 4) {
        --i;
        d += 365;
    }
    y += i;
    int m = 1;
    while (d >= DaysInAMonth(int(y), m)) {
        d -= DaysInAMonth(int(y), m);
        ++m;
    }
    year = int(y);
    month = m;
    day = int(d) + 1;
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec)
{
    int64_t days, ms;
    split(time, days, ms);
    hour = int(ms / 3600000);
    min = int(ms / 60000 % 60);
    sec = int(ms / 1000 % 60);
    msec = int(ms % 1000);
}

int DayOfWeek(TDateTime date)
{
    int64_t days, msecs;
    split(date, days, msecs);
    const int64_t stamp = days + kDateDelta;
    return int(((stamp % 7) + 7) % 7) + 1;
}

void SetNowHook(std::function<TDateTime()> hook)
{
    nowHook().Set(std::move(hook));
}

TDateTime Now()
{
    if (const auto hook = nowHook().Get())
        return (*hook)();
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDate(d.year(), d.month(), d.day()) + EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

TDateTime Date() { return std::trunc(Now()); }
TDateTime Time() { return Frac(Now()); }

namespace {

QString pad(int v, int width)
{
    return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0'));
}

bool startsWithCI(const QString& s, int i, const char* what)
{
    return s.mid(i).startsWith(QLatin1String(what), Qt::CaseInsensitive);
}

// Whether the hours are on the 12-hour clock: looks ahead past quoted text
// to the first "a" (which must start am/pm, a/p or ampm) or the next "h".
bool twelveHourAhead(const QString& f, int from)
{
    QChar quote;
    for (int i = from; i < f.size(); ++i) {
        const QChar c = f[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            quote = c;
        else if (c == QLatin1Char('a') || c == QLatin1Char('A'))
            return startsWithCI(f, i, "am/pm") || startsWithCI(f, i, "a/p") || startsWithCI(f, i, "ampm");
        else if (c == QLatin1Char('h') || c == QLatin1Char('H'))
            return false;
    }
    return false;
}

class DateFormatter {
public:
    explicit DateFormatter(TDateTime v) : V(v)
    {
        DecodeDate(v, Y, Mo, D);
        DecodeTime(v, H, Mi, S, Ms);
    }

    void append(const QString& f, int depth)
    {
        // Nested formats (c, ddddd, t ...) cannot recurse forever, but a format
        // setting holding "c" must not loop either.
        if (depth > 2)
            return;
        int i = 0;
        // The last letter specifier: "m" right after "h" (whatever
        // separators stand between) means minutes.
        QChar last;
        const int n = int(f.size());
        while (i < n) {
            const QChar c = f[i];
            QChar u = c.toUpper();
            const bool letter = u >= QLatin1Char('A') && u <= QLatin1Char('Z');
            if (letter) {
                if (u == QLatin1Char('M') && last == QLatin1Char('H'))
                    u = QLatin1Char('N');
                last = u;
            }
            const int count = run(f, i);
            switch (u.unicode()) {
            case '"':
            case '\'': {
                const int close = int(f.indexOf(c, i + 1));
                const int end = close < 0 ? n : close;
                Out += f.mid(i + 1, end - i - 1);
                i = end + 1;
                continue;
            }
            case 'C':
                append(ActiveFormatSettings().ShortDateFormat, depth + 1);
                if (H || Mi || S || Ms) {
                    Out += QLatin1Char(' ');
                    append(ActiveFormatSettings().LongTimeFormat, depth + 1);
                }
                i += 1;
                break;
            case 'D':
                day(count, depth);
                i += count;
                break;
            case 'M':
                month(count);
                i += count;
                break;
            case 'Y':
                Out += count <= 2 ? pad(Y % 100, 2) : pad(Y, 4);
                i += count;
                break;
            case 'H': {
                int h = H;
                if (twelveHourAhead(f, i + count)) {
                    h = H % 12;
                    if (h == 0)
                        h = 12;
                }
                Out += pad(h, count >= 2 ? 2 : 1);
                i += count;
                break;
            }
            case 'N':
                Out += pad(Mi, count >= 2 ? 2 : 1);
                i += count;
                break;
            case 'S':
                Out += pad(S, count >= 2 ? 2 : 1);
                i += count;
                break;
            case 'Z':
                Out += pad(Ms, count >= 3 ? 3 : 1);
                i += count;
                break;
            case 'T':
                append(count >= 2 ? ActiveFormatSettings().LongTimeFormat : ActiveFormatSettings().ShortTimeFormat, depth + 1);
                i += count;
                break;
            case 'A':
                i += ampm(f, i);
                break;
            case '/':
                Out += ActiveFormatSettings().DateSeparator;
                ++i;
                break;
            case ':':
                Out += ActiveFormatSettings().TimeSeparator;
                ++i;
                break;
            default:
                Out += c;
                ++i;
                break;
            }
        }
    }

    QString Out;

private:
    static int run(const QString& f, int i)
    {
        int j = i;
        while (j < f.size() && f[j].toUpper() == f[i].toUpper())
            ++j;
        return j - i;
    }

    void day(int count, int depth)
    {
        const int dow = DayOfWeek(V) - 1;
        switch (std::min(count, 6)) {
        case 1: Out += QString::number(D); break;
        case 2: Out += pad(D, 2); break;
        case 3: Out += ActiveFormatSettings().ShortDayNames[dow]; break;
        case 4: Out += ActiveFormatSettings().LongDayNames[dow]; break;
        case 5: append(ActiveFormatSettings().ShortDateFormat, depth + 1); break;
        default: append(ActiveFormatSettings().LongDateFormat, depth + 1); break;
        }
    }

    void month(int count)
    {
        // A value outside the calendar has month 0 and no month name.
        if ((Mo < 1 || Mo > 12) && count >= 3)
            return;
        switch (std::min(count, 4)) {
        case 1: Out += QString::number(Mo); break;
        case 2: Out += pad(Mo, 2); break;
        case 3: Out += ActiveFormatSettings().ShortMonthNames[Mo - 1]; break;
        default: Out += ActiveFormatSettings().LongMonthNames[Mo - 1]; break;
        }
    }

    // am/pm and a/p keep the case they are written in; ampm uses the settings.
    int ampm(const QString& f, int i)
    {
        const bool pm = H >= 12;
        if (startsWithCI(f, i, "am/pm")) {
            Out += pm ? f.mid(i + 3, 2) : f.mid(i, 2);
            return 5;
        }
        if (startsWithCI(f, i, "a/p")) {
            Out += pm ? f.mid(i + 2, 1) : f.mid(i, 1);
            return 3;
        }
        if (startsWithCI(f, i, "ampm")) {
            Out += pm ? ActiveFormatSettings().TimePMString : ActiveFormatSettings().TimeAMString;
            return 4;
        }
        Out += f[i];
        return 1;
    }

    TDateTime V;
    int Y = 0, Mo = 0, D = 0, H = 0, Mi = 0, S = 0, Ms = 0;
};

// Reads the text left to right; every scanner leaves `pos` after what it took.
class Scanner {
public:
    explicit Scanner(const QString& s) : T(s) {}

    void blanks()
    {
        while (P < T.size() && T[P] == QLatin1Char(' '))
            ++P;
    }

    bool atEnd() const { return P >= T.size(); }

    bool number(int& value, int& digits)
    {
        blanks();
        value = 0;
        digits = 0;
        while (P < T.size() && T[P] >= QLatin1Char('0') && T[P] <= QLatin1Char('9')) {
            if (value > 99999)
                return false;
            value = value * 10 + (T[P].unicode() - '0');
            ++P;
            ++digits;
        }
        return digits > 0;
    }

    bool ch(QChar c)
    {
        blanks();
        if (P < T.size() && T[P] == c) {
            ++P;
            return true;
        }
        return false;
    }

    bool word(const QString& w)
    {
        blanks();
        if (!w.isEmpty() && T.mid(P, w.size()).compare(w, Qt::CaseInsensitive) == 0) {
            P += int(w.size());
            return true;
        }
        return false;
    }

    bool date(TDateTime& value)
    {
        // The order of day, month and year follows the short date format.
        enum Order { DMY, MDY, YMD } order = DMY;
        const QString f = ActiveFormatSettings().ShortDateFormat.toUpper();
        for (QChar c : f) {
            if (c == QLatin1Char('D')) { order = DMY; break; }
            if (c == QLatin1Char('M')) { order = MDY; break; }
            if (c == QLatin1Char('Y')) { order = YMD; break; }
        }
        int n1, n2, n3 = 0, l1, l2, l3 = 0;
        if (!number(n1, l1) || !ch(ActiveFormatSettings().DateSeparator) || !number(n2, l2))
            return false;
        const int save = P;
        const bool three = ch(ActiveFormatSettings().DateSeparator) && number(n3, l3);
        if (!three)
            P = save;
        int y, m, d, yLen;
        if (three) {
            switch (order) {
            case MDY: m = n1; d = n2; y = n3; yLen = l3; break;
            case YMD: y = n1; m = n2; d = n3; yLen = l1; break;
            default: d = n1; m = n2; y = n3; yLen = l3; break;
            }
        } else {
            int cy, cm, cd;
            DecodeDate(Now(), cy, cm, cd);
            y = cy;
            yLen = 4;
            if (order == DMY) { d = n1; m = n2; }
            else { m = n1; d = n2; }
        }
        if (yLen <= 2) {
            int cy, cm, cd;
            DecodeDate(Now(), cy, cm, cd);
            const int window = ActiveFormatSettings().TwoDigitYearCenturyWindow;
            const int century = cy - window;
            y += century - century % 100;
            if (window > 0 && y < century)
                y += 100;
        }
        blanks();
        return TryEncodeDate(y, m, d, value);
    }

    bool time(TDateTime& value)
    {
        bool pm = false, am = false;
        auto ampmWord = [&]() {
            if (word(ActiveFormatSettings().TimeAMString) || word(QStringLiteral("AM")))
                am = true;
            else if (word(ActiveFormatSettings().TimePMString) || word(QStringLiteral("PM")))
                pm = true;
        };
        ampmWord();
        int h, m = 0, s = 0, z = 0, len;
        if (!number(h, len))
            return false;
        if (ch(ActiveFormatSettings().TimeSeparator)) {
            if (!number(m, len))
                return false;
            if (ch(ActiveFormatSettings().TimeSeparator)) {
                if (!number(s, len))
                    return false;
                if (ch(ActiveFormatSettings().DecimalSeparator) && !number(z, len))
                    return false;
            }
        }
        if (!am && !pm)
            ampmWord();
        blanks();
        if (am || pm) {
            if (h > 12 || h == 0)
                return false;
            if (h == 12)
                h = 0;
            if (pm)
                h += 12;
        }
        return TryEncodeTime(h, m, s, z, value);
    }

    const QString& T;
    int P = 0;
};

} // namespace

QString FormatDateTime(const QString& format, TDateTime value)
{
    DateFormatter f(value);
    f.append(format.isEmpty() ? QStringLiteral("c") : format, 0);
    return f.Out;
}

QString DateToStr(TDateTime date) { return FormatDateTime(QStringLiteral("ddddd"), date); }
QString TimeToStr(TDateTime time) { return FormatDateTime(QStringLiteral("tt"), time); }
QString DateTimeToStr(TDateTime value) { return FormatDateTime(QStringLiteral("c"), value); }

bool TryStrToDate(const QString& s, TDateTime& value)
{
    Scanner sc(s);
    TDateTime d;
    if (!sc.date(d) || !sc.atEnd())
        return false;
    value = d;
    return true;
}

bool TryStrToTime(const QString& s, TDateTime& value)
{
    Scanner sc(s);
    TDateTime t;
    if (!sc.time(t) || !sc.atEnd())
        return false;
    value = t;
    return true;
}

bool TryStrToDateTime(const QString& s, TDateTime& value)
{
    Scanner sc(s);
    TDateTime d, t = 0;
    if (sc.date(d)) {
        sc.blanks();
        if (sc.atEnd() || (sc.time(t) && sc.atEnd())) {
            // A time before 1899-12-30 counts away from zero like its date.
            value = d < 0 ? d - t : d + t;
            return true;
        }
    }
    return TryStrToTime(s, value);
}

TDateTime StrToDate(const QString& s)
{
    TDateTime v;
    if (!TryStrToDate(s, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(s));
    return v;
}

TDateTime StrToTime(const QString& s)
{
    TDateTime v;
    if (!TryStrToTime(s, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(s));
    return v;
}

TDateTime StrToDateTime(const QString& s)
{
    TDateTime v;
    if (!TryStrToDateTime(s, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(s));
    return v;
}

QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return FormatDateTime(format, value);
}

bool TryStrToDate(const QString& s, TDateTime& value, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return TryStrToDate(s, value);
}

bool TryStrToTime(const QString& s, TDateTime& value, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return TryStrToTime(s, value);
}

bool TryStrToDateTime(const QString& s, TDateTime& value, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return TryStrToDateTime(s, value);
}
