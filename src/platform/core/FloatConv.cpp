#include "platform/core/FloatConv.h"

#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kInfExponent = 0x7FFF;
constexpr int kNanExponent = 0x8000;
// Significant digits a double carries into pattern formatting.
constexpr int kDoubleDigits = 15;

bool isSpecial(const TFloatRec& r) { return r.Exponent == kInfExponent || r.Exponent == kNanExponent; }

QString specialText(const TFloatRec& r)
{
    if (r.Exponent == kNanExponent)
        return QStringLiteral("NAN");
    return r.Negative ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString signOf(const TFloatRec& r) { return (r.Negative && !r.Digits.isEmpty()) ? QStringLiteral("-") : QString(); }

QString exponentText(int e, int minDigits, bool plusSign)
{
    QString t = QString::number(std::abs(e));
    while (t.size() < minDigits)
        t.prepend(QLatin1Char('0'));
    if (e < 0)
        return QLatin1Char('-') + t;
    return plusSign ? QLatin1Char('+') + t : t;
}

// Digit i of the value counted from the first significant one, '0' past the end.
QChar digitAt(const TFloatRec& r, int i)
{
    return (i >= 0 && i < r.Digits.size()) ? QChar(QLatin1Char(r.Digits[i])) : QChar(QLatin1Char('0'));
}

// Integer digits, "0" when there are none.
QString integerDigits(const TFloatRec& r)
{
    if (r.Exponent <= 0)
        return QStringLiteral("0");
    QString s;
    for (int i = 0; i < r.Exponent; ++i)
        s += digitAt(r, i);
    return s;
}

QString groupThousands(const QString& digits)
{
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        out += digits[i];
        const int left = n - 1 - i;
        if (left > 0 && left % 3 == 0)
            out += ActiveFormatSettings().ThousandSeparator;
    }
    return out;
}

QString generalText(const TFloatRec& r, int precision, int expDigits)
{
    if (r.Digits.isEmpty())
        return QStringLiteral("0");
    QString s = signOf(r);
    if (r.Exponent > precision || r.Exponent < -3) {
        s += digitAt(r, 0);
        if (r.Digits.size() > 1) {
            s += ActiveFormatSettings().DecimalSeparator;
            s += QString::fromLatin1(r.Digits.mid(1));
        }
        s += QLatin1Char('E') + exponentText(r.Exponent - 1, expDigits, false);
        return s;
    }
    s += integerDigits(r);
    if (r.Digits.size() > r.Exponent) {
        s += ActiveFormatSettings().DecimalSeparator;
        for (int i = std::min(r.Exponent, 0); i < 0; ++i)
            s += QLatin1Char('0');
        s += QString::fromLatin1(r.Digits.mid(std::max(r.Exponent, 0)));
    }
    return s;
}

QString fixedDigits(const TFloatRec& r, int decimals, bool thousands)
{
    QString s = integerDigits(r);
    if (thousands)
        s = groupThousands(s);
    if (decimals > 0) {
        s += ActiveFormatSettings().DecimalSeparator;
        for (int k = 0; k < decimals; ++k)
            s += digitAt(r, r.Exponent + k);
    }
    return s;
}

// Currency patterns: "$" stands for the currency string, "1" for the number.
const char* const kPosCurrency[4] = {"$1", "1$", "$ 1", "1 $"};
const char* const kNegCurrency[16] = {"($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
                                      "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};

QString applyCurrency(const char* pattern, const QString& number)
{
    QString out;
    for (const char* p = pattern; *p; ++p) {
        if (*p == '$')
            out += ActiveFormatSettings().CurrencyString;
        else if (*p == '1')
            out += number;
        else
            out += QLatin1Char(*p);
    }
    return out;
}

} // namespace

void FloatToDecimal(TFloatRec& result, double value, int precision, int decimals)
{
    result = TFloatRec();
    result.Negative = std::signbit(value);
    if (std::isnan(value)) {
        result.Exponent = kNanExponent;
        return;
    }
    if (std::isinf(value)) {
        result.Exponent = kInfExponent;
        return;
    }
    if (value == 0)
        return;
    precision = std::clamp(precision, 1, 18);
    // 18 significant digits, the expansion the rounding below starts from.
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));
    QByteArray digits;
    digits += buf[0];
    digits += QByteArray(buf + 2, 17);
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1) + 1;

    const int keep = std::min(precision, exponent + std::min(decimals, 9999));
    if (keep < 0)
        return;
    bool carry = keep < digits.size() && digits[keep] >= '5';
    digits.truncate(keep);
    int exp = exponent;
    for (int i = int(digits.size()) - 1; carry && i >= 0; --i) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            digits[i] = char(digits[i] + 1);
            carry = false;
        }
    }
    if (carry) {
        digits.prepend('1');
        digits.truncate(std::max(keep, 1));
        ++exp;
    }
    while (!digits.isEmpty() && digits.endsWith('0'))
        digits.chop(1);
    if (digits.isEmpty())
        return;
    result.Digits = digits;
    result.Exponent = exp;
}

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    precision = std::clamp(precision, 1, 18);
    TFloatRec r;
    switch (format) {
    case ffGeneral:
        FloatToDecimal(r, value, precision, 9999);
        if (isSpecial(r))
            return specialText(r);
        return generalText(r, precision, std::clamp(digits, 0, 4));
    case ffExponent: {
        FloatToDecimal(r, value, precision, 9999);
        if (isSpecial(r))
            return specialText(r);
        QString s = signOf(r) + digitAt(r, 0);
        if (precision > 1) {
            s += ActiveFormatSettings().DecimalSeparator;
            for (int i = 1; i < precision; ++i)
                s += digitAt(r, i);
        }
        const int e = r.Digits.isEmpty() ? 0 : r.Exponent - 1;
        return s + QLatin1Char('E') + exponentText(e, std::clamp(digits, 0, 4), true);
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        const int decimals = std::clamp(digits, 0, 18);
        FloatToDecimal(r, value, precision, decimals);
        if (isSpecial(r))
            return specialText(r);
        if (r.Exponent > precision)
            return generalText(r, precision, 0);
        const QString number = fixedDigits(r, decimals, format != ffFixed);
        if (format != ffCurrency)
            return signOf(r) + number;
        if (signOf(r).isEmpty())
            return applyCurrency(kPosCurrency[std::clamp(ActiveFormatSettings().CurrencyFormat, 0, 3)], number);
        return applyCurrency(kNegCurrency[std::clamp(ActiveFormatSettings().NegCurrFormat, 0, 15)], number);
    }
    }
    return QString();
}

QString FloatToStr(double value)
{
    return FloatToStrF(value, ffGeneral, 15, 0);
}

namespace {

// One section of a FormatFloat pattern, read once before formatting.
struct PatternInfo {
    int intPlaces = 0;     // "0" and "#" before the decimal point
    int minInt = 0;        // places from the first "0" to the decimal point
    int minDec = 0;        // up to the last "0" after the point
    int maxDec = 0;        // every place after the point
    bool thousands = false;
    bool scientific = false;
};

// Splits at ";" outside quoted text.
QStringList splitSections(const QString& pattern)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

bool isExponentAt(const QString& s, int i)
{
    return (s[i] == QLatin1Char('E') || s[i] == QLatin1Char('e')) && i + 1 < s.size() &&
           (s[i + 1] == QLatin1Char('+') || s[i + 1] == QLatin1Char('-'));
}

PatternInfo analyse(const QString& s)
{
    PatternInfo p;
    bool afterPoint = false;
    int firstZero = -1; // index among integer places
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int close = int(s.indexOf(c, i + 1));
            i = close < 0 ? int(s.size()) : close;
        } else if (isExponentAt(s, i)) {
            p.scientific = true;
            break;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (afterPoint) {
                ++p.maxDec;
                if (c == QLatin1Char('0'))
                    p.minDec = p.maxDec;
            } else {
                if (c == QLatin1Char('0') && firstZero < 0)
                    firstZero = p.intPlaces;
                ++p.intPlaces;
            }
        } else if (c == QLatin1Char('.')) {
            afterPoint = true;
        } else if (c == QLatin1Char(',') && !afterPoint) {
            p.thousands = true;
        }
    }
    p.minInt = firstZero < 0 ? 0 : p.intPlaces - firstZero;
    return p;
}

// Walks the pattern putting the prepared digits into its places.
QString render(const QString& s, const PatternInfo& p, QString intDigits, QString fracDigits,
               int exponent)
{
    while (intDigits.size() < p.minInt)
        intDigits.prepend(QLatin1Char('0'));
    const int extra = std::max(0, int(intDigits.size()) - p.intPlaces);
    QString out;
    int intPlace = 0;
    int fracPlace = 0;
    bool afterPoint = false;
    bool pointDone = false;
    int digitIndex = 0; // next integer digit to write
    auto putIntDigit = [&](int idx) {
        // A pattern whose places the analysis counted differently (quotes
        // and exponents in odd spots) may ask for a digit past the last one.
        if (idx < 0 || idx >= intDigits.size())
            return;
        out += intDigits[idx];
        const int left = int(intDigits.size()) - 1 - idx;
        if (p.thousands && left > 0 && left % 3 == 0)
            out += ActiveFormatSettings().ThousandSeparator;
    };
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int close = int(s.indexOf(c, i + 1));
            const int end = close < 0 ? int(s.size()) : close;
            out += s.mid(i + 1, end - i - 1);
            i = end;
        } else if (isExponentAt(s, i)) {
            int zeros = 0;
            int j = i + 2;
            while (j < s.size() && s[j] == QLatin1Char('0')) {
                ++zeros;
                ++j;
            }
            out += s[i];
            if (exponent < 0)
                out += QLatin1Char('-');
            else if (s[i + 1] == QLatin1Char('+'))
                out += QLatin1Char('+');
            QString e = QString::number(std::abs(exponent));
            while (e.size() < zeros)
                e.prepend(QLatin1Char('0'));
            out += e;
            i = j - 1;
        } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && !afterPoint) {
            // Digits fill the places from the right; those beyond the places
            // all go where the first place stands.
            if (intPlace == 0)
                for (; digitIndex < extra; ++digitIndex)
                    putIntDigit(digitIndex);
            if (intPlace + int(intDigits.size()) - p.intPlaces >= 0)
                putIntDigit(digitIndex++);
            ++intPlace;
        } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && afterPoint) {
            if (fracPlace < fracDigits.size())
                out += fracDigits[fracPlace];
            ++fracPlace;
        } else if (c == QLatin1Char('.')) {
            if (!pointDone && !fracDigits.isEmpty())
                out += ActiveFormatSettings().DecimalSeparator;
            afterPoint = true;
            pointDone = true;
        } else if (c == QLatin1Char(',')) {
            // marks grouping only
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QString FormatFloat(const QString& pattern, double value)
{
    if (pattern.isEmpty())
        return FloatToStr(value);
    if (std::isnan(value) || std::isinf(value))
        return FloatToStr(value);
    const QStringList sections = splitSections(pattern);
    auto formatWith = [&](const QString& section, double v, TFloatRec& r) {
        const PatternInfo p = analyse(section);
        QString intDigits, fracDigits;
        int exponent = 0;
        if (p.scientific) {
            const int places = std::max(1, p.intPlaces + p.maxDec);
            FloatToDecimal(r, v, std::min(places, kDoubleDigits), 9999);
            const int lead = p.intPlaces;
            exponent = r.Digits.isEmpty() ? 0 : r.Exponent - lead;
            for (int i = 0; i < lead; ++i)
                intDigits += digitAt(r, i);
            // Leading zeros of the mantissa's integer part only where "0" asks.
            while (intDigits.startsWith(QLatin1Char('0')) && intDigits.size() > p.minInt)
                intDigits.remove(0, 1);
            for (int k = 0; k < p.maxDec; ++k)
                fracDigits += digitAt(r, lead + k);
        } else {
            FloatToDecimal(r, v, kDoubleDigits, p.maxDec);
            if (r.Exponent > 0)
                for (int i = 0; i < r.Exponent; ++i)
                    intDigits += digitAt(r, i);
            for (int k = 0; k < p.maxDec; ++k)
                fracDigits += digitAt(r, r.Exponent + k);
        }
        while (fracDigits.size() > p.minDec && fracDigits.endsWith(QLatin1Char('0')))
            fracDigits.chop(1);
        return render(section, p, intDigits, fracDigits, exponent);
    };

    TFloatRec r;
    const QString& first = sections[0];
    const bool negative = value < 0;
    // The positive section decides whether the value rounds to zero.
    QString text = formatWith(first, std::fabs(value), r);
    const bool zero = r.Digits.isEmpty();
    if (zero && sections.size() > 2 && !sections[2].isEmpty())
        return formatWith(sections[2], 0.0, r);
    if (negative && !zero) {
        if (sections.size() > 1 && !sections[1].isEmpty())
            return formatWith(sections[1], std::fabs(value), r);
        return QLatin1Char('-') + text;
    }
    return text;
}

bool TryStrToFloat(const QString& s, double& value)
{
    int i = 0, n = int(s.size());
    while (i < n && s[i] == QLatin1Char(' '))
        ++i;
    while (n > i && s[n - 1] == QLatin1Char(' '))
        --n;
    std::string c;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
        if (s[i] == QLatin1Char('-'))
            c += '-';
        ++i;
    }
    int mantDigits = 0;
    auto digits = [&](int& count) {
        while (i < n && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9')) {
            c += char(s[i].unicode());
            ++i;
            ++count;
        }
    };
    digits(mantDigits);
    if (i < n && s[i] == ActiveFormatSettings().DecimalSeparator) {
        c += '.';
        ++i;
        digits(mantDigits);
    }
    if (mantDigits == 0)
        return false;
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        c += 'e';
        ++i;
        if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
            c += char(s[i].unicode());
            ++i;
        }
        int expDigits = 0;
        digits(expDigits);
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    double v = 0;
    const auto res = std::from_chars(c.data(), c.data() + c.size(), v);
    if (res.ec != std::errc() || res.ptr != c.data() + c.size())
        return false;
    value = v;
    return true;
}

double StrToFloat(const QString& s)
{
    double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
    return v;
}

double StrToFloatDef(const QString& s, double def)
{
    double v;
    return TryStrToFloat(s, v) ? v : def;
}

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return FloatToStrF(value, format, precision, digits);
}

QString FloatToStr(double value, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return FloatToStr(value);
}

QString FormatFloat(const QString& pattern, double value, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return FormatFloat(pattern, value);
}

double StrToFloat(const QString& s, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return StrToFloat(s);
}

bool TryStrToFloat(const QString& s, double& value, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return TryStrToFloat(s, value);
}

double StrToFloatDef(const QString& s, double def, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return StrToFloatDef(s, def);
}
