#include "platform/core/StrUtils.h"

namespace {
bool isBlank(QChar c) { return c.unicode() <= ' '; }

ushort asciiUpper(ushort c) { return (c >= 'a' && c <= 'z') ? ushort(c - 32) : c; }
ushort asciiLower(ushort c) { return (c >= 'A' && c <= 'Z') ? ushort(c + 32) : c; }

int sign(int v) { return (v > 0) - (v < 0); }
} // namespace

QString Trim(const QString& s)
{
    int b = 0, e = int(s.size());
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QString TrimLeft(const QString& s)
{
    int b = 0;
    while (b < s.size() && isBlank(s[b]))
        ++b;
    return s.mid(b);
}

QString TrimRight(const QString& s)
{
    int e = int(s.size());
    while (e > 0 && isBlank(s[e - 1]))
        --e;
    return s.left(e);
}

QString UpperCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        c = QChar(asciiUpper(c.unicode()));
    return r;
}

QString LowerCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        c = QChar(asciiLower(c.unicode()));
    return r;
}

QString AnsiUpperCase(const QString& s) { return s.toUpper(); }
QString AnsiLowerCase(const QString& s) { return s.toLower(); }

int CompareStr(const QString& a, const QString& b)
{
    return sign(a.compare(b, Qt::CaseSensitive));
}

int CompareText(const QString& a, const QString& b)
{
    const int n = int(std::min(a.size(), b.size()));
    for (int i = 0; i < n; ++i) {
        const int d = int(asciiUpper(a[i].unicode())) - int(asciiUpper(b[i].unicode()));
        if (d != 0)
            return sign(d);
    }
    return sign(int(a.size()) - int(b.size()));
}

bool SameText(const QString& a, const QString& b) { return CompareText(a, b) == 0; }

int AnsiCompareText(const QString& a, const QString& b)
{
    return sign(a.compare(b, Qt::CaseInsensitive));
}

int AnsiCompareStr(const QString& a, const QString& b)
{
    const int ci = AnsiCompareText(a, b);
    if (ci != 0)
        return ci;
    // Equal but for case: lower case sorts first ("a" before "A").
    for (int i = 0; i < a.size(); ++i) {
        if (a[i] == b[i])
            continue;
        return a[i].isLower() ? -1 : 1;
    }
    return 0;
}

bool AnsiSameText(const QString& a, const QString& b) { return AnsiCompareText(a, b) == 0; }

int Pos(const QString& sub, const QString& s)
{
    if (sub.isEmpty())
        return 0;
    return int(s.indexOf(sub)) + 1;
}

QString Copy(const QString& s, int index, int count)
{
    if (index < 1)
        index = 1;
    if (count <= 0 || index > s.size())
        return QString();
    return s.mid(index - 1, count);
}

void Delete(QString& s, int index, int count)
{
    if (index < 1 || index > s.size() || count <= 0)
        return;
    s.remove(index - 1, count);
}

void Insert(const QString& sub, QString& s, int index)
{
    if (index < 1)
        index = 1;
    if (index > s.size() + 1)
        index = int(s.size()) + 1;
    s.insert(index - 1, sub);
}

QString StringReplace(const QString& s, const QString& oldPattern, const QString& newPattern,
                      TReplaceFlags flags)
{
    if (oldPattern.isEmpty())
        return s;
    const Qt::CaseSensitivity cs = (flags & rfIgnoreCase) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    QString out;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = s.indexOf(oldPattern, from, cs);
        if (at < 0)
            break;
        out += QStringView(s).mid(from, at - from);
        out += newPattern;
        from = at + oldPattern.size();
        if (!(flags & rfReplaceAll))
            break;
    }
    out += QStringView(s).mid(from);
    return out;
}

QString StringOfChar(QChar ch, int count)
{
    return count > 0 ? QString(count, ch) : QString();
}

QString AnsiQuotedStr(const QString& s, QChar quote)
{
    QString r;
    r.reserve(s.size() + 2);
    r += quote;
    for (QChar c : s) {
        r += c;
        if (c == quote)
            r += quote;
    }
    r += quote;
    return r;
}

QString QuotedStr(const QString& s) { return AnsiQuotedStr(s, QLatin1Char('\'')); }

QString AnsiExtractQuotedStr(const QString& text, int& pos, QChar quote)
{
    if (pos < 0 || pos >= text.size() || text[pos] != quote)
        return QString();
    QString r;
    int i = pos + 1;
    while (i < text.size()) {
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                r += quote;
                i += 2;
                continue;
            }
            ++i; // the closing quote
            break;
        }
        r += text[i++];
    }
    pos = i;
    return r;
}

QString AnsiExtractQuotedStr(QString& src, QChar quote)
{
    int pos = 0;
    const QString r = AnsiExtractQuotedStr(src, pos, quote);
    src.remove(0, pos);
    return r;
}

QString AnsiDequotedStr(const QString& s, QChar quote)
{
    int pos = 0;
    const QString r = AnsiExtractQuotedStr(s, pos, quote);
    // Nothing was read, or the reading ran to the end of the text: the text
    // is kept as it is unless it both starts and ends with the quote.
    const bool whole = r.isEmpty() || pos >= s.size();
    if (whole && !s.isEmpty() && (s[0] != quote || s[s.size() - 1] != quote))
        return s;
    return r;
}

bool IsValidIdent(const QString& s)
{
    if (s.isEmpty())
        return false;
    auto alpha = [](ushort c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(s[0].unicode()))
        return false;
    for (QChar c : s) {
        const ushort u = c.unicode();
        if (!alpha(u) && !(u >= '0' && u <= '9'))
            return false;
    }
    return true;
}
