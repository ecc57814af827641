#include "gridpack/basegrid/RorIdad.h"

#include "platform/core/StringList.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {
QString Chars(std::initializer_list<ushort> codes)
{
    QString s;
    for (ushort c : codes)
        s += QChar(c);
    return s;
}
} // namespace

TEST(TextKind, DetectsEachKind)
{
    struct Case { QString text; bool html; int kind; };
    const Case cases[] = {
        {"", true, 0},
        {"=A1", false, 3},
        {"{\\rtf1", true, 2},
        {"a</b", true, 1},
        {"a</b", false, 0},
        {"<B>x", true, 1},
        {"<b>x", true, 0}, // the mark-up test is case-sensitive
        {"plain", true, 0},
        {EncodeWideText("A"), true, 5},
        {EncodeWideText("=x"), true, 3}, // encoded text starting "=" then a character below 256
        {EncodeWideText("="), true, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectTextKind(c.text, c.html), c.kind) << c.text.toStdString();
}

TEST(WideText, EncodesHighByteFirstAndDecodes)
{
    EXPECT_EQ(EncodeWideText("A"), Chars({'|', '\\', 0, 'A'}));
    EXPECT_EQ(DecodeWideText(EncodeWideText("A")), "A");
    EXPECT_EQ(DecodeWideText("|\\ab"), QString(QChar(0x6162)));
    EXPECT_EQ(DecodeWideText("|\\abc"), QString(QChar(0x6162))); // unpaired tail ignored
    EXPECT_EQ(DecodeWideText("plain"), "plain");
    const QString wide = Chars({0x20AC, 'x', 0x4E2D});
    EXPECT_EQ(DecodeWideText(EncodeWideText(wide)), wide);
    EXPECT_EQ(FindWideText("x", wide), 2);
}

TEST(CellBreaks, EncodeDecodeAndFirstLine)
{
    EXPECT_EQ(EncodeCellBreaks("a\nb"), "a\nb");
    const QString twoLines = "a\r\nb";
    const QString enc = EncodeCellBreaks(twoLines);
    EXPECT_EQ(enc, Chars({'a', 9, 8, 'b'}));
    EXPECT_EQ(DecodeCellBreaks(enc, true), twoLines);
    EXPECT_EQ(DecodeCellBreaks(enc, false), "a");
    // CR without LF: no character 8, so the 9 stays.
    EXPECT_EQ(DecodeCellBreaks(EncodeCellBreaks("a\rb"), true), Chars({'a', 9, 'b'}));

    QString t = "one\r\ntwo\rthree";
    EXPECT_EQ(TakeFirstLine(t, true), "one");
    EXPECT_EQ(t, "two\rthree");
    EXPECT_EQ(TakeFirstLine(t, false), "two");
    EXPECT_EQ(t, "");
    t = "single";
    EXPECT_EQ(TakeFirstLine(t, true), "single");
    EXPECT_EQ(t, "");
    EXPECT_EQ(CountTextLines("a\rb\rc", true), 3);
    EXPECT_EQ(CountTextLines("a\rb\rc", false), 1);
}

TEST(CsvText, QuotesAndLineEnds)
{
    EXPECT_EQ(DoubleQuoteChars("a\"b"), "a\"\"b");
    QString t = "a\r\nb";
    QuoteMultiLineText(t);
    EXPECT_EQ(t, Chars({'"', 'a', 11, 'b', '"'}));
    t = Chars({'a', 11, 'b'});
    VTToCRLF(t);
    EXPECT_EQ(t, "a\r\nb");
    DropCRBeforeLF(t);
    EXPECT_EQ(t, "a\nb");
    t = "a\r\nb\rc";
    CRToTilde(t);
    EXPECT_EQ(t, "a~b~c");
    t = "^";
    TildeToCRLF(t);
    EXPECT_EQ(t, "");
    t = "a~b";
    TildeToCRLF(t);
    EXPECT_EQ(t, "a\r\nb");
    EXPECT_EQ(CollapseDoubledChar('"', "a\"\"\"\"b"), "a\"\"b");
    EXPECT_EQ(CollapseDoubledChar('"', "a\"\"\"b"), "a\"\"b"); // a run of three keeps two
    EXPECT_EQ(CountCharOccurrences('a', "banana"), 3);
    EXPECT_EQ(StripCR("a\rb\r\n"), "ab\n");
    EXPECT_EQ(CRToLF("a\rb"), "a\nb");
}

TEST(CsvText, ClosingQuote)
{
    struct Case { QString text; int pos; };
    const Case cases[] = {
        {"abc\",x", 4},     // single quote followed by more
        {"ab\"\"c\",x", 6}, // doubled quote is no close
        {"abc\"", 4},       // last character
        {"abc", 0},
        {"a\"\"", 3},
    };
    for (const Case& c : cases) {
        int p = -5;
        EXPECT_EQ(FindClosingQuote('"', c.text, p), c.pos) << c.text.toStdString();
        EXPECT_EQ(p, c.pos);
    }
    EXPECT_EQ(CountClosingQuotes('"', "a\",b\",c\""), 3);
    EXPECT_EQ(CountClosingQuotes('"', "abc"), 0);
}

TEST(OemText, GoesThroughTheLibraryCodePages)
{
    QString t = QString::fromUtf8("é");
    TextToOEM(t);
    EXPECT_EQ(t, QString(QChar(0x201A)));
    OEMToText(t);
    EXPECT_EQ(t, QString::fromUtf8("é"));
}

TEST(ClipboardHtml, HeaderOffsets)
{
    QByteArray f = "0123456789";
    WrapClipboardHTML(f);
    EXPECT_TRUE(f.startsWith("Version:1.0\r\nStartHTML:00000097\r\nEndHTML:00000316\r\n"
                             "StartFragment:00000274\r\nEndFragment:00000284\r\n"));
    // The offsets point where they say.
    EXPECT_EQ(f.mid(97, 9), "<!DOCTYPE");
    EXPECT_EQ(f.mid(274, 10), "0123456789");
    EXPECT_EQ(f.size(), 316);
    EXPECT_TRUE(f.endsWith("<!--EndFragment--></body></html>"));

    QByteArray high = "\xe9\xe8";
    WrapClipboardHTML(high);
    EXPECT_EQ(high.mid(274, 2), "\xe9\xe8");
    EXPECT_EQ(high.size(), 308);
}

TEST(LinksAndEscapes, SchemesAndLinkify)
{
    EXPECT_TRUE(HasURLScheme("http://x"));
    EXPECT_TRUE(HasURLScheme("mailto:a@b"));
    EXPECT_FALSE(HasURLScheme("www.x.com"));
    QString t = "ab://cd";
    RemoveURLScheme(t);
    EXPECT_EQ(t, "cd");
    t = "mailto:a@b";
    RemoveURLScheme(t);
    EXPECT_EQ(t, "a@b");

    QString r = "unchanged";
    EXPECT_FALSE(LinkifyText("no link here", "HTTP://", r));
    EXPECT_EQ(r, "unchanged");
    EXPECT_TRUE(LinkifyText("see http://a.b/c <x>", "HTTP://", r));
    EXPECT_EQ(r, "see <a href=\"http://a.b/c\">http://a.b/c</a> &lt;x&gt;");

    EXPECT_EQ(EscapeNewlines("a\r\nb"), "a\\nb");
    EXPECT_EQ(UnescapeNewlines("a\\nb"), "a\rb");
    EXPECT_EQ(CRToHTMLBreak("a\r\nb"), "a<br>\nb");
    EXPECT_EQ(CRToHTMLBreak("ab"), "ab");
}

TEST(SmallStrings, PositionsAndFields)
{
    int p = -1;
    EXPECT_EQ(FindSubText("c", "abc", p), 3);
    EXPECT_EQ(p, 3);
    EXPECT_EQ(PosInUpperCase("BC", "abc"), 2);
    p = 77;
    EXPECT_EQ(LocateChar('z', "abc", p), 0);
    EXPECT_EQ(p, 77);
    EXPECT_EQ(LocateChar('b', "abc", p), 2);
    EXPECT_EQ(p, 2);
    EXPECT_EQ(IndexOfChar('c', "abc"), 3);

    QString t = "ab;;cd";
    EXPECT_EQ(CutFirstField(t, ";;"), "ab");
    EXPECT_EQ(t, ";cd"); // only the delimiter's first character goes
    t = "abc";
    EXPECT_EQ(CutFirstField(t, ";"), "");
    EXPECT_EQ(t, "abc");

    TStringList lines;
    lines.Add("a");
    lines.Add("b");
    EXPECT_EQ(ConcatLines(&lines), "ab");
    t = "secret";
    FillTextWithChar(t, '*');
    EXPECT_EQ(t, "******");
}

TEST(SmallStrings, MixedCase)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"mcdonald", "McDonald"},
        {"henry iii", "Henry III"},
        {"JOHN SMITH", "John Smith"},
        {"o'neil-smith", "O'Neil-Smith"},
        {"old mcdonald", "Old McDonald"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToMixedCase(c.in), c.out) << c.in;
}
