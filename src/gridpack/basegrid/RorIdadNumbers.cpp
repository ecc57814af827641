// Number and date parsing of RorIdad.
#include "gridpack/basegrid/RorIdad.h"

#include "platform/core/FormatSettings.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

#include <algorithm>
#include <iterator>

namespace {
bool IsE(QChar c) { return c == QLatin1Char('e') || c == QLatin1Char('E'); }

// A date-time from its two halves; before the epoch the whole part counts
// back while the fraction still counts forward.
TDateTime CombineDateTime(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

// Years 0..99 are two-digit years; anything else is taken as written.
int ExpandYear(int year)
{
    if (year >= 0 && year <= 25)
        return year + 2000;
    if (year > 25 && year <= 99)
        return year + 1900;
    return year;
}

// The three integer fields of "a<sep>b<sep>c" with sep the first "/", or
// "." or "-"; false when a field is missing or no integer.
bool SplitDateFields(const QString& Text, int& a, int& b, int& c)
{
    int p = int(Text.indexOf(QLatin1Char('/')));
    if (p < 0)
        p = int(Text.indexOf(QLatin1Char('.')));
    if (p < 0)
        p = int(Text.indexOf(QLatin1Char('-')));
    if (p < 0)
        return false;
    const QChar sep = Text[p];
    int q = int(Text.indexOf(sep, p + 1));
    if (q < 0)
        return false;
    return TryStrToInt(Text.left(p), a) && TryStrToInt(Text.mid(p + 1, q - p - 1), b) &&
           TryStrToInt(Text.mid(q + 1), c);
}
} // namespace

// --- locale settings and character classes ----------------------------------------

QChar LocaleTimeSeparator() { return ActiveFormatSettings().TimeSeparator; }
QChar LocaleDateSeparator() { return ActiveFormatSettings().DateSeparator; }
QChar LocaleThousandSeparator() { return ActiveFormatSettings().ThousandSeparator; }
QChar LocaleDecimalSeparator() { return ActiveFormatSettings().DecimalSeparator; }
QString LocaleShortDateFormat() { return ActiveFormatSettings().ShortDateFormat; }
QString LocaleShortTimeFormat() { return ActiveFormatSettings().ShortTimeFormat; }
QString LocaleLongTimeFormat() { return ActiveFormatSettings().LongTimeFormat; }

bool IsDigitChar(QChar c) { return c.isNumber(); }
bool IsDigitOrMinus(QChar c) { return IsDigitChar(c) || c == QLatin1Char('-'); }
bool IsFloatChar(QChar c)
{
    return IsDigitChar(c) || c == LocaleThousandSeparator() || c == LocaleDecimalSeparator() || IsE(c);
}
bool IsSciChar(QChar c) { return IsFloatChar(c) || c == QLatin1Char('+') || c == QLatin1Char('-'); }
bool IsNumberTextChar(QChar c)
{
    return IsDigitChar(c) || c == QLatin1Char('.') || c == QLatin1Char('-') || IsE(c) || c == QLatin1Char('+');
}

// --- numbers ----------------------------------------------------------------------

int ClassifyNumberText(const QString& Text)
{
    if (Text.isEmpty())
        return 2;
    const QChar thousand = LocaleThousandSeparator();
    const QChar decimal = LocaleDecimalSeparator();
    bool isInt = true, isFloat = true, isSci = true, seenE = false;
    int lastThousand = -1, decimals = 0, minus = 0;
    const int n = int(Text.size());
    for (int i = 1; i <= n; ++i) {
        const QChar c = Text[i - 1];
        const bool isMinus = c == QLatin1Char('-');
        if (!(IsDigitChar(c) || isMinus))
            isInt = false;
        if (IsE(c)) {
            if (seenE)
                isSci = false;
            seenE = true;
        }
        if (i > 1 && isMinus) {
            isInt = false;
            isFloat = false;
        }
        if (i == 1 && IsE(c))
            isSci = false;
        if (i == n && (IsE(c) || c == QLatin1Char('+') || isMinus))
            isSci = false;
        if (!IsDigitChar(c) && !isMinus && c != thousand && c != decimal)
            isFloat = false;
        if (!IsSciChar(c) || c == thousand)
            isSci = false;
        if (c == thousand && lastThousand != -1 && i - lastThousand < 4)
            isFloat = false;
        if (c == thousand)
            lastThousand = i;
        if (c == decimal)
            ++decimals;
        if (isMinus)
            ++minus;
    }
    int result;
    if (isInt) {
        result = 0;
    } else {
        result = (isFloat && !seenE) ? 1 : 2;
        if (isSci && seenE) {
            result = 5;
            // The mantissa's sign and the exponent's count as one.
            if (minus == 2)
                minus = 1;
        }
    }
    if (minus > 1 || decimals > 1)
        result = 2;
    return result;
}

QString NormalizeFloatText(const QString& Text)
{
    if (Text.isEmpty())
        return QString();
    const QChar thousand = LocaleThousandSeparator();
    const QChar decimal = LocaleDecimalSeparator();
    const auto floatChar = [&](QChar c) { return IsDigitChar(c) || c == thousand || c == decimal || IsE(c); };
    QString t = Text;
    bool negative = t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'));
    // at(): reading through [] would copy the shared text first.
    while (t.size() >= 2 && !floatChar(t.at(0))) {
        if (t.at(0) == QLatin1Char('-'))
            negative = true;
        t.remove(0, 1);
    }
    // A text that the loop below would copy unchanged is kept as it is.
    bool same = true;
    for (QChar c : std::as_const(t))
        if (c == thousand || (c == decimal ? decimal != QLatin1Char('.') : !IsNumberTextChar(c))) {
            same = false;
            break;
        }
    if (same)
        return negative ? QLatin1Char('-') + t : t;
    QString r;
    r.reserve(t.size() + 1);
    for (QChar c : std::as_const(t)) {
        if (c == thousand)
            continue;
        if (c == decimal)
            r += QLatin1Char('.');
        else if (IsNumberTextChar(c))
            r += c;
        else
            break;
    }
    if (negative)
        r.prepend(QLatin1Char('-'));
    return r;
}

QString StripNumberSeparators(const QString& Text)
{
    const QChar thousand = LocaleThousandSeparator();
    const QChar decimal = LocaleDecimalSeparator();
    QString r;
    r.reserve(Text.size());
    for (QChar c : Text) {
        if (c.unicode() == 0)
            break; // the text ends at its terminator
        if (c == thousand)
            continue;
        r += c == decimal ? QChar(QLatin1Char('.')) : c;
    }
    return r;
}

// --- dates --------------------------------------------------------------------------

TDateTime ParseDateMDY(const QString& Text)
{
    int month = 0, day = 0, year = 0;
    if (!SplitDateFields(Text, month, day, year))
        return 0;
    return EncodeDate(ExpandYear(year), month, day);
}

TDateTime ParseDateDMY(const QString& Text)
{
    int day = 0, month = 0, year = 0;
    if (!SplitDateFields(Text, day, month, year))
        return 0;
    return EncodeDate(ExpandYear(year), month, day);
}

bool ParseDateTimeText(const QString& Text, TDateTime& Value)
{
    // The field order follows the short date format; a format lacking one
    // of the three letters cannot say where that field is.
    const QString fmt = UpperCase(LocaleShortDateFormat());
    const int pd = int(fmt.indexOf(QLatin1Char('D')));
    const int pm = int(fmt.indexOf(QLatin1Char('M')));
    const int py = int(fmt.indexOf(QLatin1Char('Y')));
    if (pd < 0 || pm < 0 || py < 0)
        return false;
    struct Field { int pos; int* target; };
    int day = 0, month = 0, year = 0;
    Field order[3] = {{pd, &day}, {pm, &month}, {py, &year}};
    std::sort(std::begin(order), std::end(order), [](const Field& a, const Field& b) { return a.pos < b.pos; });

    const QChar dateSep = LocaleDateSeparator();
    const QChar timeSep = LocaleTimeSeparator();
    int s1 = int(Text.indexOf(dateSep));
    if (s1 < 0 || !TryStrToInt(Text.left(s1), *order[0].target))
        return false;
    int s2 = int(Text.indexOf(dateSep, s1 + 1));
    if (s2 < 0 || !TryStrToInt(Text.mid(s1 + 1, s2 - s1 - 1), *order[1].target))
        return false;
    QString rest = Trim(Text.mid(s2 + 1));
    QString timeText;
    int blank = int(rest.indexOf(QLatin1Char(' ')));
    if (blank >= 0) {
        timeText = rest.mid(blank);
        rest = rest.left(blank);
    }
    if (!TryStrToInt(rest, *order[2].target))
        return false;
    if (day > 31 || month > 12)
        return false;

    int hour = 0, minute = 0, second = 0;
    const bool hasTime = !timeText.isEmpty();
    if (hasTime) {
        int t1 = int(timeText.indexOf(timeSep));
        if (t1 < 0 || !TryStrToInt(timeText.left(t1), hour) || hour > 23)
            return false;
        int t2 = int(timeText.indexOf(timeSep, t1 + 1));
        if (t2 >= 0) {
            if (!TryStrToInt(timeText.mid(t1 + 1, t2 - t1 - 1), minute) ||
                !TryStrToInt(timeText.mid(t2 + 1), second) || second > 60)
                return false;
        } else if (!TryStrToInt(timeText.mid(t1 + 1), minute)) {
            return false;
        }
        if (minute > 59)
            return false;
    }
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(year, month, day, date))
        return false;
    if (hasTime && !TryEncodeTime(hour, minute, second, 0, time))
        return false;
    Value = CombineDateTime(date, time);
    return true;
}

bool LooksLikeDate(const QString& Text)
{
    const QChar sep = LocaleDateSeparator();
    int p = Pos(QString(sep), Text);
    if (p < 2)
        return false;
    return Pos(QString(sep), Text.mid(p)) >= 2;
}

TDateTime ShiftDate(int16_t Years, int16_t Months, int16_t Days, TDateTime Date, TDateTime Delta)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(Date, y, m, d);
    const bool onlyDays = Days != 0 && Years == 0 && Months == 0;
    const bool onlyYears = Years != 0 && Months == 0 && Days == 0;
    const bool onlyMonths = Months != 0 && Years == 0 && Days == 0;
    if (onlyDays)
        return Date + Days;
    if (onlyYears)
        return EncodeDate(y + Years, m, d);
    if (onlyMonths) {
        // Months counted from year 0, so a shift carries over any number of
        // years in either direction.
        int total = y * 12 + (m - 1) + Months;
        int ny = total >= 0 ? total / 12 : -((-total + 11) / 12);
        int nm = total - ny * 12 + 1;
        return EncodeDate(ny, nm, d);
    }
    return Date + Delta;
}

// --- references and limits ---------------------------------------------------------------

bool ParseRowColRef(const QString& Text, TGridCoord& Cell)
{
    QString t = UpperCase(Text);
    if (t.size() < 4 || t[0] != QLatin1Char('R'))
        return false;
    t.remove(0, 1);
    int c = int(t.indexOf(QLatin1Char('C')));
    if (c < 0)
        return false;
    int row = 0, col = 0;
    if (!TryStrToInt(t.left(c), row) || !TryStrToInt(t.mid(c + 1), col))
        return false;
    Cell.X = col;
    Cell.Y = row;
    return true;
}

int ClampToLimits(int Value, int Min, int Max)
{
    if (Min == Max)
        return Value;
    int r = Value;
    if (Min > Value && Min > 0)
        r = Min;
    if (Max < Value && Max > 0)
        r = Max;
    return r;
}

int LargerOf(int A, int B) { return A > B ? A : B; }
int SmallerOf(int A, int B) { return A < B ? A : B; }

bool CellInRange(const TGridRect& Range, int Column, int Row)
{
    return Column >= Range.Left && Column <= Range.Right && Row >= Range.Top && Row <= Range.Bottom;
}
