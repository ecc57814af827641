#include "project/KNXCodes.h"

#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

#include <QStringList>


namespace {

// Only the letters a to z match across case: a text that reaches a name
// through Unicode case folding (a long s for "S") is not that name.
bool SameText(const QString& a, const char* b)
{
    return ::SameText(a, QString::fromLatin1(b));
}

struct TextCode {
    const char* text;
    int code;
};

const TextCode Priority_Codes[] = {
    {"SYSTEM", 0},
    {"NORMAL", 1},
    {"URGENT", 2},
    {"LOW", 3},
};

const TextCode Conversion_Codes[] = {
    {"NONE", 0},
    {"SWAP16", 0x1000},
    {"SWAP32", 0x2000},
    {"SWAP ALL", 0x3000},
    {"INT TO FLOAT", 0x4000},
    {"FLOAT TO INT", 0x5000},
    {"FLOAT16 TO FLOAT32", 0x6000},
    {"FLOAT16 TO INT", 0x7000},
    {"FLOAT16 TO INT * 10", 0x8000},
    {"FLOAT16 TO INT * 100", 0x9000},
};

template <size_t N>
int LookUp(const TextCode (&table)[N], const QString& text, int def)
{
    for (const TextCode& e : table)
        if (SameText(text, e.text))
            return e.code;
    return def;
}

// A decimal integer after blanks are removed at both ends: an optional sign
// and digits only (no hexadecimal: addresses are always written in decimal).
bool DecimalPart(const QString& part, long long& value)
{
    const QString s = Trim(part); // blanks and control characters only
    int i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    if (i >= s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > 0xFFFFFFFFLL)
            return false; // far outside every range; stop before overflow
    }
    value = negative ? -v : v;
    return true;
}

// Each part must be a decimal integer within [0, max]; returns false when one
// is not. `allZero` tells whether every part was 0.
bool PartsInRange(const QStringList& parts, std::initializer_list<long long> maxima, bool& allZero)
{
    allZero = true;
    int i = 0;
    for (long long max : maxima) {
        long long v = 0;
        if (!DecimalPart(parts.at(i++), v) || v < 0 || v > max)
            return false;
        if (v != 0)
            allZero = false;
    }
    return true;
}

bool PlainAddress(const QString& text)
{
    long long v = 0;
    return DecimalPart(text, v) && v >= 1 && v <= 65535;
}

} // namespace

int Get_RW_Flag(const QString& text)
{
    if (SameText(text, "WRITE"))
        return 0x80;
    if (SameText(text, "READ"))
        return 0;
    return StrToIntDef(text, 0);
}

int Get_Priority(const QString& text)
{
    return LookUp(Priority_Codes, text, 1);
}

int Get_Conversion(const QString& text)
{
    return LookUp(Conversion_Codes, text, 0);
}

bool No_Decimal_Point(const QString& text)
{
    return !text.contains(QLatin1Char('.'));
}

int Check_KNX_Address(const QString& text, bool Group, bool Zero_Allowed)
{
    const QChar sep = Group ? QLatin1Char('/') : QLatin1Char('.');
    const QChar other = Group ? QLatin1Char('.') : QLatin1Char('/');
    if (text.contains(other))
        return 1;
    const QStringList parts = text.split(sep);
    bool allZero = true;
    switch (parts.size()) {
    case 1:
        return PlainAddress(text) ? 0 : 1;
    case 2:
        if (!Group)
            return 1;
        if (!PartsInRange(parts, {31, 2047}, allZero))
            return 1;
        return allZero ? 1 : 0;
    case 3:
        if (Group) {
            if (!PartsInRange(parts, {31, 7, 255}, allZero))
                return 1;
            return allZero ? 1 : 0;
        }
        if (!PartsInRange(parts, {15, 15, 255}, allZero))
            return 1;
        return (allZero && !Zero_Allowed) ? 1 : 0;
    default:
        return 1;
    }
}

// ---------------------------------------------------------------------------
// Address texts to numbers

namespace {

// A part of an address text: trimmed of blanks and control characters, as
// the address check trims it, and 0 when it is not a number.
int part(const QString& s)
{
    return StrToIntDef(Trim(s), 0);
}

// Splits at the first `count` separators; whatever follows the last one, more
// separators included, is the last part.
QStringList splitParts(const QString& text, QChar sep, int count)
{
    QStringList parts;
    int from = 0;
    for (int i = 0; i < count; ++i) {
        const int at = text.indexOf(sep, from);
        parts << text.mid(from, at - from);
        from = at + 1;
    }
    parts << text.mid(from);
    return parts;
}

} // namespace

uint16_t KNX_Address_To_Word(const QString& address, bool group)
{
    const QString text = Trim(address);
    int64_t v = 0;
    if (group) {
        const int slashes = int(text.count(QLatin1Char('/')));
        if (slashes == 0) {
            v = part(text);
        } else if (slashes == 1) {
            const QStringList p = splitParts(text, QLatin1Char('/'), 1);
            v = (part(p[0]) & 31) * 2048 + (part(p[1]) & 2047);
        } else {
            const QStringList p = splitParts(text, QLatin1Char('/'), 2);
            v = (part(p[0]) & 31) * 2048 + (part(p[1]) & 7) * 256 + (part(p[2]) & 255);
        }
    } else {
        const int dots = int(text.count(QLatin1Char('.')));
        if (dots == 0) {
            v = part(text);
        } else if (dots == 1) {
            const QStringList p = splitParts(text, QLatin1Char('.'), 1);
            v = (part(p[0]) & 15) * 4096 + (part(p[1]) & 255);
        } else {
            const QStringList p = splitParts(text, QLatin1Char('.'), 2);
            v = (part(p[0]) & 15) * 4096 + (part(p[1]) & 15) * 256 + (part(p[2]) & 255);
        }
    }
    return uint16_t(v);
}

int64_t Par_Gen_Individual_Address(const QString& text)
{
    const int firstDot = text.indexOf(QLatin1Char('.'));
    if (firstDot < 0)
        return StrToIntDef(text, 4372);
    const int secondDot = text.indexOf(QLatin1Char('.'), firstDot + 1);
    const QString first = text.left(firstDot);
    QString second, third;
    if (secondDot < 0) {
        // "a.d": the line is 1.
        second = QStringLiteral("1");
        third = text.mid(firstDot + 1);
    } else {
        second = text.mid(firstDot + 1, secondDot - firstDot - 1);
        third = text.mid(secondDot + 1);
    }
    return int64_t(StrToIntDef(Trim(first), 1)) * 4096 + int64_t(StrToIntDef(Trim(second), 1)) * 256
           + StrToIntDef(Trim(third), 20);
}

