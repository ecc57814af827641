#include "platform/core/IntConv.h"

#include "platform/core/Exceptions.h"

#include <cstring>
#include <type_traits>

namespace {

// Reads the text as the class library's Val does. `limitBits` is 32 or 64.
// `s` is any run of code units (UTF-16 or UTF-8): only ASCII ones are
// accepted, so both encodings of one text read alike.
template <class TChar>
bool parseInt(const TChar* s, qsizetype n, int limitBits, int64_t& out)
{
    qsizetype i = 0;
    while (i < n && s[i] == ' ')
        ++i;
    bool neg = false;
    if (i < n && (s[i] == '-' || s[i] == '+')) {
        neg = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i < n && (s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    // Magnitudes are collected unsigned; hexadecimal may use the full width
    // (0xFFFFFFFF is -1 as a 32-bit number), decimal must fit the signed range.
    const uint64_t hexMax = limitBits == 32 ? 0xFFFFFFFFull : 0xFFFFFFFFFFFFFFFFull;
    const uint64_t decMax = limitBits == 32 ? (neg ? 2147483648ull : 2147483647ull)
                                            : (neg ? 9223372036854775808ull : 9223372036854775807ull);
    uint64_t v = 0;
    for (; i < n; ++i) {
        const auto c = std::make_unsigned_t<TChar>(s[i]);
        unsigned d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        const uint64_t base = hex ? 16 : 10;
        const uint64_t limit = hex ? hexMax : decMax;
        if (v > (limit - d) / base)
            return false;
        v = v * base + d;
    }
    if (hex) {
        int64_t sv = limitBits == 32 ? int64_t(int32_t(uint32_t(v))) : int64_t(v);
        out = neg ? -sv : sv;
    } else {
        out = neg ? int64_t(0 - v) : int64_t(v);
    }
    return true;
}

template <class TChar>
bool parseInt32(const TChar* s, qsizetype n, int& value)
{
    int64_t v;
    if (!parseInt(s, n, 32, v))
        return false;
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    value = int(v);
    return true;
}

} // namespace

bool TryStrToInt(const QString& s, int& value)
{
    return parseInt32(reinterpret_cast<const char16_t*>(s.constData()), s.size(), value);
}

bool TryStrToInt64(const QString& s, int64_t& value)
{
    return parseInt(reinterpret_cast<const char16_t*>(s.constData()), s.size(), 64, value);
}

bool TryUtf8ToInt(const char* s, int& value)
{
    return parseInt32(s, qsizetype(std::strlen(s)), value);
}

bool TryUtf8ToInt64(const char* s, int64_t& value)
{
    return parseInt(s, qsizetype(std::strlen(s)), 64, value);
}

int StrToIntDef(const QString& s, int def)
{
    int v;
    return TryStrToInt(s, v) ? v : def;
}

int64_t StrToInt64Def(const QString& s, int64_t def)
{
    int64_t v;
    return TryStrToInt64(s, v) ? v : def;
}

int StrToInt(const QString& s)
{
    int v;
    if (!TryStrToInt(s, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
    return v;
}

int64_t StrToInt64(const QString& s)
{
    int64_t v;
    if (!TryStrToInt64(s, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
    return v;
}

QString IntToStr(int64_t v)
{
    return QString::number(v);
}

QString IntToHex(int64_t v, int digits)
{
    return QStringLiteral("%1").arg(quint64(v), digits, 16, QLatin1Char('0')).toUpper();
}
