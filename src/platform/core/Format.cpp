#include "platform/core/Format.h"

#include "platform/core/Exceptions.h"
#include "platform/core/FloatConv.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/IntConv.h"

namespace {

class Formatter {
public:
    Formatter(const QString& fmt, const TVarRec* args, int count) : F(fmt), A(args), N(count) {}

    QString run()
    {
        QString out;
        int i = 0;
        const int n = int(F.size());
        while (i < n) {
            const QChar c = F[i];
            if (c != QLatin1Char('%')) {
                out += c;
                ++i;
                continue;
            }
            ++i;
            if (i < n && F[i] == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
            out += specifier(i);
        }
        return out;
    }

private:
    [[noreturn]] void invalid() const
    {
        throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(F));
    }

    const TVarRec& next()
    {
        if (Arg >= N)
            throw EConvertError(QStringLiteral("No argument for format '%1'").arg(F));
        return A[Arg++];
    }

    // A number of the specifier, or "*" taken from the arguments; -1 when absent.
    int number(int& i)
    {
        const int n = int(F.size());
        if (i < n && F[i] == QLatin1Char('*')) {
            ++i;
            const TVarRec& v = next();
            if (v.VType() != TVarRec::vtInteger)
                invalid();
            return int(v.AsInt64());
        }
        int value = -1;
        while (i < n && F[i] >= QLatin1Char('0') && F[i] <= QLatin1Char('9')) {
            value = (value < 0 ? 0 : value) * 10 + (F[i].unicode() - '0');
            if (value > 100000)
                invalid();
            ++i;
        }
        return value;
    }

    QString specifier(int& i)
    {
        const int n = int(F.size());
        bool left = false;
        if (i < n && F[i] == QLatin1Char('-')) {
            left = true;
            ++i;
        }
        int width = number(i);
        if (i < n && F[i] == QLatin1Char(':')) {
            // What was read was the argument index.
            if (left || width < 0)
                invalid();
            Arg = width;
            ++i;
            if (i < n && F[i] == QLatin1Char('-')) {
                left = true;
                ++i;
            }
            width = number(i);
        }
        int precision = -1;
        if (i < n && F[i] == QLatin1Char('.')) {
            ++i;
            precision = number(i);
            if (precision < 0)
                precision = 0;
        }
        if (i >= n)
            invalid();
        const QChar type = F[i++].toLower();
        QString text = convert(type.unicode(), precision);
        if (width > text.size()) {
            const QString pad(width - text.size(), QLatin1Char(' '));
            text = left ? text + pad : pad + text;
        }
        return text;
    }

    static QString zeroPad(QString digits, int precision)
    {
        const bool neg = digits.startsWith(QLatin1Char('-'));
        if (neg)
            digits.remove(0, 1);
        while (digits.size() < precision)
            digits.prepend(QLatin1Char('0'));
        return neg ? QLatin1Char('-') + digits : digits;
    }

    static bool isInteger(const TVarRec& v)
    {
        return v.VType() == TVarRec::vtInteger || v.VType() == TVarRec::vtInt64;
    }

    QString convert(char16_t type, int precision)
    {
        const TVarRec& v = next();
        switch (type) {
        case 'd':
            if (!isInteger(v))
                invalid();
            if (v.IsUnsigned() && v.VType() == TVarRec::vtInt64)
                return zeroPad(QString::number(quint64(v.AsInt64())), precision);
            return zeroPad(QString::number(v.AsInt64()), precision);
        case 'u':
            if (!isInteger(v))
                invalid();
            return zeroPad(QString::number(unsignedValue(v)), precision);
        case 'x':
            if (!isInteger(v))
                invalid();
            return zeroPad(QString::number(unsignedValue(v), 16).toUpper(), precision);
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm':
            if (v.VType() != TVarRec::vtExtended)
                invalid();
            return floatText(type, v.AsFloat(), precision);
        case 'p':
            if (v.VType() != TVarRec::vtPointer)
                invalid();
            return IntToHex(v.AsInt64(), 8);
        case 's':
            if (v.VType() != TVarRec::vtString && v.VType() != TVarRec::vtChar)
                invalid();
            return precision >= 0 ? v.AsString().left(precision) : v.AsString();
        default:
            invalid();
        }
    }

    // A 32-bit argument is read as a 32-bit unsigned number (-1 is FFFFFFFF).
    static quint64 unsignedValue(const TVarRec& v)
    {
        if (v.VType() == TVarRec::vtInteger)
            return quint64(uint32_t(v.AsInt64()));
        return quint64(v.AsInt64());
    }

    static QString floatText(char16_t type, double value, int precision)
    {
        switch (type) {
        case 'e':
            return FloatToStrF(value, ffExponent, precision < 0 ? 15 : precision, 3);
        case 'f':
            return FloatToStrF(value, ffFixed, 18, precision < 0 ? 2 : precision);
        case 'g':
            return FloatToStrF(value, ffGeneral, precision < 0 ? 15 : precision, 0);
        case 'n':
            return FloatToStrF(value, ffNumber, 18, precision < 0 ? 2 : precision);
        default:
            return FloatToStrF(value, ffCurrency, 18,
                               precision < 0 ? ActiveFormatSettings().CurrencyDecimals : precision);
        }
    }

    const QString& F;
    const TVarRec* A;
    int N;
    int Arg = 0;
};

} // namespace

QString Format(const QString& fmt, std::initializer_list<TVarRec> args)
{
    return Formatter(fmt, args.begin(), int(args.size())).run();
}

QString Format(const QString& fmt, const std::vector<TVarRec>& args)
{
    return Formatter(fmt, args.data(), int(args.size())).run();
}

QString Format(const QString& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings)
{
    TFormatSettingsScope scope(settings);
    return Format(fmt, args);
}
