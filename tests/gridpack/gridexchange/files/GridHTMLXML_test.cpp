// The HTML table and the XML record list.
#include "GridData2Fixture.h"

#include "platform/core/StringList.h"
#include "platform/graphics/Graphics.h"
#include "platform/sys/LinkOpener.h"

#include <QCryptographicHash>

namespace {

class GridHTMLXMLTest : public GridData2Test {};

int Occurrences(const QString& text, const QString& part) { return int(text.count(part)); }

TEST_F(GridHTMLXMLTest, HtmlTableWithDefaults)
{
    auto* g = NewGrid(3, 3, 0, 0);
    g->SetCellEx(0, 0, "a");
    g->SetCellEx(1, 0, "b");
    g->SetCellEx(2, 0, "   ");
    g->SetCellEx(0, 1, "merged");
    g->MergeCells(0, 1, 2, 1);
    const QString html = g->SaveToHTMLString("/tmp/");
    EXPECT_TRUE(html.startsWith("<style>\r\n.c0 {"));
    EXPECT_TRUE(html.contains("\r\n<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"0\"  WIDTH=\"100%\">\r\n"));
    // two cells of the same look share the first class
    EXPECT_TRUE(html.contains("<TD class=\"c0\">a</td>\r\n<TD class=\"c0\">b</td>\r\n"));
    EXPECT_EQ(Occurrences(html, "\r\n.c"), 1);
    // blanks and empty cells
    EXPECT_TRUE(html.contains("<TD class=\"c0\">&nbsp;</td>\r\n</TR>"));
    // the merged base cell spans, the covered cell has no element
    EXPECT_TRUE(html.contains("<TR>\r\n<TD class=\"c0\" COLSPAN=\"2\">merged</td>\r\n<TD class=\"c0\">&nbsp;</td>\r\n</TR>"));
    EXPECT_EQ(Occurrences(html, "<TD"), 8);
    EXPECT_TRUE(html.endsWith("</TABLE>\r\n"));
}

TEST_F(GridHTMLXMLTest, HtmlStylesFollowTheCellLook)
{
    auto* g = NewGrid(2, 1, 0, 0);
    g->SetCellEx(0, 0, "x");
    g->SetCellEx(1, 0, "y");
    g->SetColors(1, 0, TColor(0x0000FF));
    g->SetFontStyles(1, 0, fsBold);
    g->SetAlignments(1, 0, taRightJustify);
    const QString html = g->SaveToHTMLString("/tmp/");
    const qsizetype at = html.indexOf(".c1 {");
    ASSERT_GE(at, 0);
    const QString c1 = html.mid(at, html.indexOf('}', at) - at);
    EXPECT_TRUE(c1.startsWith(".c1 {background-color: #FF0000;")) << c1.toStdString();
    EXPECT_TRUE(c1.contains(";font-weight: bold;")) << c1.toStdString();
    EXPECT_TRUE(c1.endsWith(";text-align: right;vertical-align: top")) << c1.toStdString();
    EXPECT_TRUE(html.contains("<TD class=\"c1\">y</td>"));
}

TEST_F(GridHTMLXMLTest, HtmlLinksAndXhtml)
{
    auto* g = NewGrid(2, 1, 0, 0);
    g->SetCellEx(0, 0, "http://x.org");
    g->SetCellEx(1, 0, "mailto:me@x.org");
    g->URLShow = true;
    QString html = g->SaveToHTMLString("/tmp/");
    EXPECT_TRUE(html.contains(">x.org</a></td>")) << html.toStdString();
    EXPECT_TRUE(html.contains("<a href=http://x.org>x.org</a>"));
    EXPECT_TRUE(html.contains("<a href=mailto:me@x.org>me@x.org</a>"));
    g->URLFull = true;
    EXPECT_TRUE(g->SaveToHTMLString("/tmp/").contains("<a href=http://x.org>http://x.org</a>"));

    g->HTMLSettings()->XHTML = true;
    html = g->SaveToHTMLString("/tmp/");
    EXPECT_TRUE(html.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!DOCTYPE html PUBLIC"));
    EXPECT_TRUE(html.endsWith("</HTML>\r\n"));
}

TEST_F(GridHTMLXMLTest, HtmlHeaderRowWidthsAndPictures)
{
    auto* g = NewGrid(2, 2, 0, 1);
    g->SetCellEx(0, 0, "head");
    g->SetCellEx(0, 1, "pic");
    TBitmap* bmp = g->CreateBitmap(0, 1, false, haLeft, vaTop);
    bmp->SetSize(4, 3);
    g->HTMLSettings()->ColWidths()->Add(120);
    const QString dir = Dir.path() + "/";
    const QString html = g->SaveToHTMLString(dir);
    // the header row carries the widths; the data rows then do not
    EXPECT_TRUE(html.contains(" WIDTH=120>head</td>")) << html.toStdString();
    EXPECT_FALSE(html.contains(" width="));
    // the picture is written as a JPEG file, numbered from 1 after a header
    const QString file = dir + "images/img1.jpg";
    EXPECT_TRUE(html.contains(">pic<img src= \"file://" + file + "\"></td>")) << html.toStdString();
    EXPECT_TRUE(ReadFileWhole(file).startsWith("\xFF\xD8\xFF"));
    EXPECT_EQ(DecodePicture(ReadFileWhole(file)).width(), 4);

    g->HTMLSettings()->ExportImages = false;
    EXPECT_TRUE(g->SaveToHTMLString(dir).contains(">pic</td>"));
}

TEST_F(GridHTMLXMLTest, HtmlFileIsSevenBitWithReferencesAndOpens)
{
    auto fake = std::make_unique<Sys::FakeLinkOpener>();
    auto* links = fake.get();
    Sys::SetLinks(std::move(fake));
    auto* g = NewGrid(1, 1, 0, 0);
    g->SetCellEx(0, 0, QString::fromUtf8("caf\xC3\xA9"));
    g->SaveToHTML(Path("t.html"), true, false);
    const QByteArray bytes = Bytes("t.html");
    EXPECT_TRUE(bytes.contains(">caf&#233;</td>"));
    EXPECT_EQ(links->Launched.size(), 1);
    g->SetCellEx(0, 0, "two");
    g->AppendToHTML(Path("t.html"), false, false);
    EXPECT_EQ(Bytes("t.html").count("<TABLE"), 2);
    Sys::SetLinks(nullptr);
}

TEST_F(GridHTMLXMLTest, XmlWritesRecordsAndReadsThemBack)
{
    auto* g = NewGrid(3, 3, 0, 1);
    g->SaveFixedCells = false;
    g->SetCellEx(0, 1, "a&b");
    g->SetCellEx(1, 1, "<x>");
    g->SetCellEx(2, 1, QString::fromUtf8("\xC4\x80"));
    g->SetCellEx(2, 2, "z");
    g->SaveToXML(Path("l.xml"), "LIST", "REC", nullptr, false);
    EXPECT_EQ(Bytes("l.xml"), QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n"
                                         "<LIST>\r\n"
                                         "<REC>\r\n"
                                         "<FIELD0>a&amp;b</FIELD0>\r\n"
                                         "<FIELD1>&lt;x&gt;</FIELD1>\r\n"
                                         "<FIELD2>&#256;</FIELD2>\r\n"
                                         "</REC>\r\n"
                                         "<REC>\r\n"
                                         "<FIELD2>z</FIELD2>\r\n"
                                         "</REC>\r\n"
                                         "</LIST>\r\n"));
    auto* h = NewGrid(1, 2, 0, 1);
    h->SaveFixedCells = false;
    h->LoadFromXML(Path("l.xml"));
    EXPECT_EQ(h->GetCellEx(0, 1), "a&b");
    EXPECT_EQ(h->GetCellEx(1, 1), "<x>");
    EXPECT_EQ(h->GetCellEx(2, 1), QString::fromUtf8("\xC4\x80"));
    // a record of one field is read as one text
    EXPECT_EQ(h->GetCellEx(0, 2), "z");
    EXPECT_EQ(h->RowCount(), 3);
}

TEST_F(GridHTMLXMLTest, XmlEmptyCellsAndFieldNames)
{
    auto* g = NewGrid(2, 2, 0, 1);
    g->SaveFixedCells = false;
    g->SetCellEx(0, 1, "v");
    g->SetCellEx(1, 1, "");
    TStringList names;
    names.Add("NAME");
    g->SaveToXML(Path("e.xml"), "L", "R", &names, true);
    // the two double quotes, escaped as XML text
    EXPECT_TRUE(Bytes("e.xml").contains("<NAME>v</NAME>\r\n<FIELD1>&quot;&quot;</FIELD1>\r\n"));

    auto* h = NewGrid(2, 2, 0, 1);
    h->SetCellEx(1, 1, "old");
    h->LoadFromXML(Path("e.xml"), false, true);
    EXPECT_EQ(h->GetCellEx(0, 0), "NAME");
    EXPECT_EQ(h->GetCellEx(1, 0), "FIELD1");
    EXPECT_EQ(h->GetCellEx(0, 1), "v");
    EXPECT_EQ(h->GetCellEx(1, 1), "");
}

TEST_F(GridHTMLXMLTest, XmlReaderTakesTheOldAmpersandAndUnescapesOnce)
{
    Put("o.xml", "<L><R><A>x$amp;y</A><B>&amp;lt;</B></R></L>");
    auto* h = NewGrid(1, 1, 0, 0);
    h->LoadFromXML(Path("o.xml"));
    EXPECT_EQ(h->GetCellEx(0, 0), "x&y");
    EXPECT_EQ(h->GetCellEx(1, 0), "&lt;");
}

TEST_F(GridHTMLXMLTest, XmlReaderErrors)
{
    auto* h = NewGrid(2, 2, 0, 0);
    h->SetCellEx(0, 0, "keep");
    try {
        h->LoadFromXML(Path("none.xml"));
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "XML file not found");
    }
    Put("b.xml", "<L>\n<R><A>1</A>\n<B>2</C></R>\n</L>\n");
    try {
        h->LoadFromXML(Path("b.xml"));
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().startsWith("XMLDOM Parsing error ")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().endsWith(" on line 3")) << e.Message().toStdString();
    }
    EXPECT_EQ(h->GetCellEx(0, 0), "keep");
}

TEST_F(GridHTMLXMLTest, XmlLevelsToRows)
{
    // each record's attributes take a row; its children follow on the next
    // row, indented by the level
    Put("t.xml", "<L>\n<R id=\"1\"><A>x</A><B>y</B></R>\n<R id=\"2\"><A>z</A><B>w</B></R>\n</L>\n");
    auto* h = NewGrid(1, 1, 0, 0);
    h->LoadFromXML(Path("t.xml"), true, false);
    const char* expected[3][3] = {{"1", "", ""}, {"2", "x", "y"}, {"", "z", "w"}};
    EXPECT_EQ(h->ColCount(), 3);
    EXPECT_EQ(h->RowCount(), 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(h->GetCellEx(c, r), expected[r][c]) << c << "," << r;
}

TEST_F(GridHTMLXMLTest, XmlDeepNestingIsNotWalkedToTheEnd)
{
    QByteArray deep = "<L><R>";
    for (int i = 0; i < 5000; ++i)
        deep += "<a><b/>";
    for (int i = 0; i < 5000; ++i)
        deep += "</a>";
    deep += "</R></L>";
    Put("d.xml", deep);
    auto* h = NewGrid(1, 1, 0, 0);
    h->LoadFromXML(Path("d.xml"));
    EXPECT_LE(h->ColCount(), TExStringGrid::MaxRealCols);
}

} // namespace

namespace {
// A grid with a header row, a fixed column, four looks, a merged cell, a
// multi-line cell, a link, special characters and blanks, and table
// settings around it.
TExStringGrid* HtmlFixture(TExStringGrid* g)
{
    for (int c = 0; c < 4; ++c)
        g->SetCellEx(c, 0, QString("head %1").arg(c));
    for (int r = 1; r < 5; ++r) {
        g->SetCellEx(0, r, QString("row %1").arg(r));
        for (int c = 1; c < 4; ++c)
            g->SetCellEx(c, r, QString("%1.%2").arg(c).arg(r));
    }
    g->SetColors(1, 1, TColor(0x00FFFF));
    g->SetFontStyles(2, 1, fsBold | fsItalic);
    g->SetAlignments(3, 1, taCenter);
    g->SetFontColors(1, 2, TColor(0x123456));
    g->SetFontSizes(1, 2, 14);
    g->SetCellEx(2, 2, "two\r\nlines");
    g->SetCellEx(3, 2, "   ");
    g->SetCellEx(1, 3, "a<b & \"c\"");
    g->SetCellEx(2, 3, "http://x.org/p");
    g->SetCellEx(3, 3, "");
    g->SetCellEx(1, 4, "wide");
    g->MergeCells(1, 4, 2, 1);
    g->SetWordWrapEx(false);
    g->SetWordWraps(3, 4, true);
    g->URLShow = true;
    THTMLSettings* s = g->HTMLSettings();
    s->ColWidths()->Add(50);
    s->ColWidths()->Add(70);
    s->ConvertSpecialChars = true;
    s->NonBreakingText = true;
    s->PrefixTag = "<p>before</p>";
    s->SuffixTag = "<p>after</p>";
    s->Summary = "sum";
    s->TableStyle = "class=\"t\"";
    return g;
}

// The texts the fixture gives, with and without the header row and fixed
// column: a change in the way the page is built must leave them as they are.
const char* const kHtmlWithHeader =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"\r\n"
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\r\n"
    "<HTML xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n"
    "<p>before</p><style>\r\n"
    ".c0 {background-color: #F0F0F0;color: #000000;font-size:8pt;font-weight: bold;font-family: Tahoma;vertical-align: top}\r\n"
    ".c1 {background-color: #FFFF00;color: #000000;font-size:8pt;font-family: Tahoma;vertical-align: top}\r\n"
    ".c2 {background-color: #FFFFFF;color: #000000;font-size:8pt;font-style: italic;font-weight: bold;font-family: Tahoma;vertical-align: top}\r\n"
    ".c3 {background-color: #FFFFFF;color: #000000;font-size:8pt;font-family: Tahoma;text-align: center;vertical-align: top}\r\n"
    ".c4 {background-color: #FFFFFF;color: #563412;font-size:14pt;font-family: Tahoma;vertical-align: top}\r\n"
    ".c5 {background-color: #FFFFFF;color: #000000;font-size:8pt;font-family: Tahoma;vertical-align: top}\r\n"
    "</style>\r\n"
    "<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"0\" SUMMARY=\"sum\"  class=\"t\"  WIDTH=\"100%\">\r\n"
    "<TR>\r\n"
    "<TD class=\"c0\" nowrap WIDTH=50>head 0</td>\r\n"
    "<TD class=\"c0\" nowrap WIDTH=70>head 1</td>\r\n"
    "<TD class=\"c0\" nowrap>head 2</td>\r\n"
    "<TD class=\"c0\" nowrap>head 3</td>\r\n"
    "</TR>\r\n"
    "<TR>\r\n"
    "<TD class=\"c0\" nowrap>row&nbsp;1</td>\r\n"
    "<TD class=\"c1\">1.1</td>\r\n"
    "<TD class=\"c2\">2.1</td>\r\n"
    "<TD class=\"c3\">3.1</td>\r\n"
    "</TR>\r\n"
    "<TR>\r\n"
    "<TD class=\"c0\" nowrap>row&nbsp;2</td>\r\n"
    "<TD class=\"c4\">1.2</td>\r\n"
    "<TD class=\"c5\" nowrap>two<br>\n"
    "lines</td>\r\n"
    "<TD class=\"c5\" nowrap>&nbsp;&nbsp;&nbsp;</td>\r\n"
    "</TR>\r\n"
    "<TR>\r\n"
    "<TD class=\"c0\" nowrap>row&nbsp;3</td>\r\n"
    "<TD class=\"c5\" nowrap>a&lt;b&nbsp;&amp;&nbsp;&quot;c&quot;</td>\r\n"
    "<TD class=\"c5\" nowrap><a href=http://x.org/p>x.org/p</a></td>\r\n"
    "<TD class=\"c5\" nowrap>&nbsp;</td>\r\n"
    "</TR>\r\n"
    "<TR>\r\n"
    "<TD class=\"c0\" nowrap>row&nbsp;4</td>\r\n"
    "<TD class=\"c5\" COLSPAN=\"2\">wide</td>\r\n"
    "<TD class=\"c5\">3.4</td>\r\n"
    "</TR>\r\n"
    "</TABLE>\r\n"
    "<p>after</p>\r\n"
    "</HTML>\r\n";

const char* const kHtmlDataOnly =
    "<p>before</p><style>\r\n"
    ".c0 {background-color: #FFFF00;color: #000000;font-size:8pt;font-family: Tahoma;vertical-align: top}\r\n"
    ".c1 {background-color: #FFFFFF;color: #000000;font-size:8pt;font-style: italic;font-weight: bold;font-family: Tahoma;vertical-align: top}\r\n"
    ".c2 {background-color: #FFFFFF;color: #000000;font-size:8pt;font-family: Tahoma;text-align: center;vertical-align: top}\r\n"
    ".c3 {background-color: #FFFFFF;color: #563412;font-size:14pt;font-family: Tahoma;vertical-align: top}\r\n"
    ".c4 {background-color: #FFFFFF;color: #000000;font-size:8pt;font-family: Tahoma;vertical-align: top}\r\n"
    "</style>\r\n"
    "<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"0\" SUMMARY=\"sum\"  class=\"t\"  WIDTH=\"100%\">\r\n"
    "<TR>\r\n"
    "<TD class=\"c0\" width=50>1.1</td>\r\n"
    "<TD class=\"c1\" width=70>2.1</td>\r\n"
    "<TD class=\"c2\">3.1</td>\r\n"
    "</TR>\r\n"
    "<TR>\r\n"
    "<TD class=\"c3\" width=50>1.2</td>\r\n"
    "<TD class=\"c4\" nowrap width=70>two<br>\n"
    "lines</td>\r\n"
    "<TD class=\"c4\" nowrap>&nbsp;&nbsp;&nbsp;</td>\r\n"
    "</TR>\r\n"
    "<TR>\r\n"
    "<TD class=\"c4\" nowrap width=50>a&lt;b&nbsp;&amp;&nbsp;&quot;c&quot;</td>\r\n"
    "<TD class=\"c4\" nowrap width=70><a href=http://x.org/p>x.org/p</a></td>\r\n"
    "<TD class=\"c4\" nowrap>&nbsp;</td>\r\n"
    "</TR>\r\n"
    "<TR>\r\n"
    "<TD class=\"c4\" COLSPAN=\"2\" width=50>wide</td>\r\n"
    "<TD class=\"c4\">3.4</td>\r\n"
    "</TR>\r\n"
    "</TABLE>\r\n"
    "<p>after</p>\r\n";
} // namespace

TEST_F(GridHTMLXMLTest, HtmlTextStaysByteForByte)
{
    auto* g = HtmlFixture(NewGrid(4, 5, 1, 1));
    g->HTMLSettings()->XHTML = true;
    const QString withHeader = g->SaveToHTMLString("/tmp/");
    g->SaveFixedCells = false;
    g->HTMLSettings()->XHTML = false;
    const QString dataOnly = g->SaveToHTMLString("/tmp/");
    EXPECT_EQ(withHeader.toStdString(), kHtmlWithHeader);
    EXPECT_EQ(dataOnly.toStdString(), kHtmlDataOnly);
}

TEST_F(GridHTMLXMLTest, HtmlTextWithManyLooksStaysByteForByte)
{
    // 300 looks: the style sheet is longer than the body of a small grid.
    auto* g = NewGrid(30, 10, 0, 0);
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 30; ++c) {
            g->SetCellEx(c, r, QString("%1/%2").arg(c).arg(r));
            g->SetColors(c, r, TColor(0x010203 * (r * 30 + c + 1)));
        }
    const QString html = g->SaveToHTMLString("/tmp/");
    EXPECT_EQ(Occurrences(html, "\r\n.c"), 300);
    EXPECT_TRUE(html.startsWith("<style>\r\n.c0 {background-color: #030201;"));
    // The digest of the whole text this fixture gives.
    EXPECT_EQ(QCryptographicHash::hash(html.toUtf8(), QCryptographicHash::Sha256).toHex().toStdString(),
              "e435a4556946d8ea42eb27b99646feb2095b879b1dbeedcfe9bb4ee1c36486a7");
}
