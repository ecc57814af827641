// Cell-text kinds and the text escapes of RorIdad.
#include "gridpack/basegrid/RorIdad.h"

#include "platform/core/CodePages.h"
#include "platform/core/StrUtils.h"
#include "platform/core/StringList.h"

#include <utility>

namespace {
constexpr QChar CR(13);
constexpr QChar LF(10);
constexpr QChar VT(11);

// Upper case one code unit at a time, so positions in the result match the
// original's (a whole-string upper-casing may lengthen a text).
QString UpperSameLength(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        c = c.toUpper();
    return r;
}

QString ReplaceChar(const QString& s, QChar from, const QString& to)
{
    QString r;
    r.reserve(s.size());
    for (QChar c : s) {
        if (c == from)
            r += to;
        else
            r += c;
    }
    return r;
}
} // namespace

// --- kinds, wide text, cell breaks ------------------------------------------

int DetectTextKind(const QString& Text, bool HTMLEnabled)
{
    if (Text.isEmpty())
        return 0;
    const QString t = Text + QLatin1Char(' ');
    if (t[0] == QLatin1Char('='))
        return 3;
    if (t[0] == QLatin1Char('|') && t[1] == QLatin1Char('\\')) {
        if (t.size() >= 5 && t[3] == QLatin1Char('=') && t[4].unicode() == 0)
            return 3;
        return 5;
    }
    if (t[0] == QLatin1Char('{') && t[1] == QLatin1Char('\\'))
        return 2;
    if (HTMLEnabled &&
        (t.contains(QLatin1String("</")) || t.contains(QLatin1String("<B")) || t.contains(QLatin1String("<I")) ||
         t.contains(QLatin1String("<C"))))
        return 1;
    return 0;
}

QString EncodeWideText(const QString& WideText)
{
    QString r = QStringLiteral("|\\");
    r.reserve(2 + 2 * WideText.size());
    for (QChar c : WideText) {
        r += QChar(c.unicode() >> 8);
        r += QChar(c.unicode() & 0xFF);
    }
    return r;
}

QString DecodeWideText(const QString& Text)
{
    if (!Text.startsWith(QLatin1String("|\\")))
        return Text;
    QString r;
    r.reserve((Text.size() - 2) / 2);
    for (qsizetype i = 2; i + 1 < Text.size(); i += 2)
        r += QChar(char16_t(Text[i].unicode() * 256u + Text[i + 1].unicode()));
    return r;
}

int FindWideText(const QString& SubText, const QString& Text) { return Pos(SubText, Text); }

QString EncodeCellBreaks(const QString& Text)
{
    if (!Text.contains(CR))
        return Text;
    QString r = Text;
    for (QChar& c : r) {
        if (c == CR)
            c = QChar(9);
        else if (c == LF)
            c = QChar(8);
        else if (c.unicode() == 0)
            c = QChar(1);
    }
    return r;
}

QString DecodeCellBreaks(const QString& Text, bool MultiLine)
{
    QString r = Text;
    if (r.contains(QChar(8))) {
        for (QChar& c : r) {
            if (c.unicode() == 9)
                c = CR;
            else if (c.unicode() == 8)
                c = LF;
            else if (c.unicode() == 1)
                c = QChar(0);
        }
    }
    if (MultiLine)
        return r;
    return TakeFirstLine(r, false);
}

QString TakeFirstLine(QString& Text, bool KeepRest)
{
    int p = Text.indexOf(CR);
    if (p < 0) {
        QString all = Text;
        Text.clear();
        return all;
    }
    QString first = Text.left(p);
    if (KeepRest) {
        QString rest = Text.mid(p + 1);
        if (rest.startsWith(LF))
            rest.remove(0, 1);
        Text = rest;
    } else {
        Text.clear();
    }
    return first;
}

int CountTextLines(const QString& Text, bool MultiLine)
{
    return MultiLine ? int(Text.count(CR)) + 1 : 1;
}

// --- comma-separated values and line ends -------------------------------------

QString DoubleQuoteChars(const QString& Text) { return ReplaceChar(Text, QLatin1Char('"'), QStringLiteral("\"\"")); }

void QuoteMultiLineText(QString& Text)
{
    Text.replace(QStringLiteral("\r\n"), QString(VT));
    Text = QLatin1Char('"') + Text + QLatin1Char('"');
}

void VTToCRLF(QString& Text)
{
    if (Text.contains(VT))
        Text = ReplaceChar(Text, VT, QStringLiteral("\r\n"));
}

void DropCRBeforeLF(QString& Text) { Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

void CRToTilde(QString& Text)
{
    QString r;
    r.reserve(Text.size());
    for (QChar c : std::as_const(Text)) {
        if (c == CR)
            r += QLatin1Char('~');
        else if (c != LF)
            r += c;
    }
    Text = r;
}

void TildeToCRLF(QString& Text)
{
    Text = ReplaceChar(Text, QLatin1Char('~'), QStringLiteral("\r\n"));
    if (Text == QLatin1String("^"))
        Text.clear();
}

QString CollapseDoubledChar(QChar Ch, const QString& Text)
{
    if (!Text.contains(Ch))
        return Text;
    QString r;
    r.reserve(Text.size());
    for (qsizetype i = 0; i < Text.size(); ++i) {
        r += Text[i];
        if (Text[i] == Ch && i + 1 < Text.size() && Text[i + 1] == Ch)
            ++i;
    }
    return r;
}

int FindClosingQuote(QChar Q, const QString& Text, int& Position)
{
    int run = 0;
    const int n = int(Text.size());
    for (int i = 1; i <= n; ++i) {
        QChar c = Text[i - 1];
        if (c == Q) {
            if (i == n) {
                Position = i;
                return i;
            }
            ++run;
        } else if (run % 2 == 1) {
            Position = i - 1;
            return i - 1;
        } else {
            run = 0;
        }
    }
    Position = 0;
    return 0;
}

int CountClosingQuotes(QChar Q, const QString& Text)
{
    int count = 0;
    QString rest = Text;
    int p = 0;
    while (FindClosingQuote(Q, rest, p) > 0) {
        ++count;
        rest.remove(0, p);
    }
    return count;
}

int CountCharOccurrences(QChar Ch, const QString& Text) { return int(Text.count(Ch)); }

QString StripCR(const QString& Text)
{
    QString r = Text;
    r.remove(CR);
    return r;
}

QString CRToLF(const QString& Text)
{
    QString r = Text;
    r.replace(CR, LF);
    return r;
}

void TextToOEM(QString& Text) { Text = ::TextToOEM(std::as_const(Text)); }

void OEMToText(QString& Text) { Text = ::OEMToText(std::as_const(Text)); }

// --- settings files, HTML and links ---------------------------------------------

QString EscapeNewlines(const QString& Text)
{
    QString r;
    r.reserve(Text.size());
    for (QChar c : Text) {
        if (c == CR)
            r += QLatin1String("\\n");
        else if (c != LF)
            r += c;
    }
    return r;
}

QString UnescapeNewlines(const QString& Text)
{
    QString r = Text;
    r.replace(QLatin1String("\\n"), QString(CR));
    return r;
}

QString CRToHTMLBreak(const QString& Text)
{
    if (!Text.contains(CR))
        return Text;
    return ReplaceChar(Text, CR, QStringLiteral("<br>"));
}

void WrapClipboardHTML(QByteArray& Fragment)
{
    static const QByteArray leadDoc = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    static const QByteArray leadBody = "<html><head><META http-equiv=Content-Type content=\"text/html; "
                                       "charset=iso-8859-1\"></head><body><!--StartFragment-->";
    static const QByteArray closing = "<!--EndFragment--></body></html>";
    const qsizetype headerLen = 97;
    const qsizetype startFragment = headerLen + leadDoc.size() + leadBody.size();
    const qsizetype endFragment = startFragment + Fragment.size();
    const qsizetype endHTML = endFragment + closing.size();
    auto num = [](qsizetype v) { return QByteArray::number(qlonglong(v)).rightJustified(8, '0'); };
    QByteArray r;
    r.reserve(endHTML);
    r += "Version:1.0\r\n";
    r += "StartHTML:" + num(headerLen) + "\r\n";
    r += "EndHTML:" + num(endHTML) + "\r\n";
    r += "StartFragment:" + num(startFragment) + "\r\n";
    r += "EndFragment:" + num(endFragment) + "\r\n";
    r += leadDoc;
    r += leadBody;
    r += Fragment;
    r += closing;
    Fragment = r;
}

bool HasURLScheme(const QString& Text)
{
    return Text.contains(QLatin1String("://")) || Text.contains(QLatin1String("mailto:"));
}

void RemoveURLScheme(QString& Text)
{
    int p = Pos(QStringLiteral("://"), Text);
    if (p > 0) {
        Delete(Text, 1, p + 2);
        return;
    }
    p = Pos(QStringLiteral("mailto:"), Text);
    if (p > 0)
        Delete(Text, 1, p + 6);
}

bool LinkifyText(const QString& Text, const QString& Prefix, QString& Result)
{
    if (Pos(Prefix, UpperSameLength(Text)) == 0)
        return false;
    QString r = Text;
    r.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    r.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    const int start = Pos(Prefix, UpperSameLength(r));
    auto linkChar = [](QChar c) {
        ushort u = c.unicode();
        return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
               QStringLiteral("%()-./:@\\_{}").contains(c);
    };
    int end = start - 1; // ends as the 1-based position of the last link character
    while (end < r.size() && linkChar(r[end]))
        ++end;
    const QString link = Copy(r, start, end - start + 1);
    Insert(QStringLiteral("<a href=\"") + link + QStringLiteral("\">"), r, start);
    Insert(QStringLiteral("</a>"), r, start + 2 * int(link.size()) + 11);
    Result = r;
    return true;
}

// --- small string operations ---------------------------------------------------

int FindSubText(const QString& SubText, const QString& Text, int& Position)
{
    Position = Pos(SubText, Text);
    return Position;
}

int PosInUpperCase(const QString& Pattern, const QString& Text) { return Pos(Pattern, UpperSameLength(Text)); }

int LocateChar(QChar Ch, const QString& Text, int& Position)
{
    int p = IndexOfChar(Ch, Text);
    if (p > 0)
        Position = p;
    return p;
}

int IndexOfChar(QChar Ch, const QString& Text) { return int(Text.indexOf(Ch)) + 1; }

QString CutFirstField(QString& Text, const QString& Delimiter)
{
    int p = Pos(Delimiter, Text);
    if (p == 0)
        return QString();
    QString field = Text.left(p - 1);
    Text.remove(0, p);
    return field;
}

QString ConcatLines(const TStrings* Lines)
{
    QString r;
    for (int i = 0; i < Lines->Count(); ++i)
        r += Lines->Strings(i);
    return r;
}

void FillTextWithChar(QString& Text, QChar Ch) { Text.fill(Ch); }

QString ToMixedCase(const QString& Text)
{
    auto separator = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\'') || c == QLatin1Char(',') ||
               c == QLatin1Char('-') || c == QLatin1Char('.');
    };
    const int len = int(Text.size());
    QString r;
    r.reserve(len);
    bool capitalizeNext = true;
    for (int i = 1; i <= len; ++i) {
        QChar c = Text[i - 1];
        if (separator(c)) {
            capitalizeNext = true;
            r += c;
        } else if (capitalizeNext) {
            r += c.toUpper();
            capitalizeNext = false;
        } else {
            r += c.toLower();
        }
        // Names such as McDonald and regnal numbers such as III keep their
        // capitals.
        if (r == QLatin1String("Mc"))
            capitalizeNext = true;
        else if (i > 2 && Pos(QStringLiteral(" Mc"), r) == i - 2)
            capitalizeNext = true;
        else if (i > len - 3 &&
                 (r.endsWith(QLatin1String(" I")) || r.endsWith(QLatin1String(" II"))))
            capitalizeNext = true;
    }
    return r;
}
