#include "gridpack/gridexchange/ExchangeText.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/core/Files.h"

#include <cmath>
#include <limits>

namespace GridExchange {

std::vector<QStringView> SplitLineViews(const QString& Text)
{
    std::vector<QStringView> lines;
    const QChar* p = Text.constData();
    const qsizetype n = Text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.emplace_back(p + start, i - start);
        if (c == u'\r' && i + 1 < n && p[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.emplace_back(p + start, n - start);
    return lines;
}

QStringList SplitLines(const QString& Text)
{
    QStringList lines;
    for (QStringView l : SplitLineViews(Text))
        lines.append(l.toString());
    return lines;
}

QString JoinLines(const QStringList& Lines)
{
    qsizetype size = 0;
    for (const QString& l : Lines)
        size += l.size() + 2;
    QString out;
    out.reserve(size);
    for (const QString& l : Lines) {
        out += l;
        out += QLatin1String("\r\n");
    }
    return out;
}

QString EscapeControls(const QString& Text)
{
    QString out;
    out.reserve(Text.size() + 8);
    for (QChar c : Text) {
        switch (c.unicode()) {
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\t': out += QLatin1String("\\t"); break;
        case 0: out += QLatin1String("\\0"); break;
        default: out += c;
        }
    }
    return out;
}

QString UnescapeControls(QStringView Text)
{
    QString out;
    out.reserve(Text.size());
    const qsizetype n = Text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = Text[i];
        if (c != u'\\' || i + 1 == n) {
            out += c;
            continue;
        }
        switch (Text[i + 1].unicode()) {
        case u'\\': out += QLatin1Char('\\'); break;
        case u'r': out += QLatin1Char('\r'); break;
        case u'n': out += QLatin1Char('\n'); break;
        case u't': out += QLatin1Char('\t'); break;
        case u'0': out += QChar(0); break;
        default: out += c; continue;
        }
        ++i;
    }
    return out;
}

QString EncodeCellLineText(const QString& Text, bool& Escaped)
{
    Escaped = false;
    bool cr = false, lf = false, bs = false, breakChars = false;
    for (QChar c : Text) {
        switch (c.unicode()) {
        case u'\r': cr = true; break;
        case u'\n': lf = true; break;
        case 8: bs = true; breakChars = true; break;
        case 9:
        case 1: breakChars = true; break;
        default: break;
        }
    }
    if (!cr && !lf && !bs)
        return Text;
    if (lf && !breakChars) {
        QString r = Text;
        for (QChar& c : r) {
            if (c == QLatin1Char('\r'))
                c = QChar(9);
            else if (c == QLatin1Char('\n'))
                c = QChar(8);
            else if (c.unicode() == 0)
                c = QChar(1);
        }
        return r;
    }
    Escaped = true;
    return EscapeControls(Text);
}

QString DecodeCellLineText(const QString& Text, bool Escaped, bool MultiLine)
{
    if (!Escaped)
        return DecodeCellBreaks(Text, MultiLine);
    QString r = UnescapeControls(Text);
    return MultiLine ? r : TakeFirstLine(r, false);
}

int LenientInt(QStringView Text)
{
    qsizetype i = 0;
    const qsizetype n = Text.size();
    while (i < n && Text[i] == u' ')
        ++i;
    bool neg = false;
    if (i < n && (Text[i] == u'-' || Text[i] == u'+')) {
        neg = Text[i] == u'-';
        ++i;
    }
    int64_t v = 0;
    for (; i < n && Text[i] >= u'0' && Text[i] <= u'9'; ++i) {
        v = v * 10 + (Text[i].unicode() - u'0');
        if (v > std::numeric_limits<int>::max())
            v = int64_t(std::numeric_limits<int>::max()) + 1;
    }
    if (neg)
        v = -v;
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(v);
}

void WriteTextWhole(const QString& FileName, const QString& Text, TTextEncoding Encoding)
{
    WriteFileWhole(FileName, EncodeText(Text, Encoding));
}

int Percent(double Value, double Range)
{
    if (Range < 1)
        Range = 1;
    return int(std::nearbyint(Value / Range * 100.0));
}

} // namespace GridExchange
