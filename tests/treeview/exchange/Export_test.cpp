// The string tree's exports: HTML, RTF, separated text, CSV, the clipboard
// blocks with the CF_HTML envelope, and the custom export's events.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesClipboard.h"
#include "treeview/LazyTreesExport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {
class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        T = NewObject<TLazyStringTree>(nullptr);
        T->OnGetText = [this](TBaseLazyTree*, PLazyNode n, TColumnIndex c, TVSTTextType type, QString& text) {
            if (type != ttNormal) return;
            text = c <= 0 ? Texts.value(n) : Values.value(n);
        };
    }
    void TearDown() override {
        T->OnGetText = nullptr;
        T->Free();
        SetRTFPaperMetric(true);
    }
    PLazyNode Add(PLazyNode parent, const QString& text, const QString& value = QString()) {
        PLazyNode n = T->AddChild(parent);
        Texts[n] = text;
        Values[n] = value;
        return n;
    }
    TLazyTreeColumn* AddColumn(const QString& text, int width) {
        TLazyTreeColumn* c = T->Header()->Columns()->Add();
        c->SetText(text);
        c->SetWidth(width);
        return c;
    }
    // The rows of an HTML export, each without its line breaks.
    static QStringList HtmlRows(const QString& html) {
        QStringList rows;
        for (const QString& part : html.split(QStringLiteral(" <tr class=\"default\">\r\n")).mid(1))
            rows.append(part.left(part.indexOf(QStringLiteral(" </tr>"))));
        return rows;
    }
    TLazyStringTree* T = nullptr;
    QHash<PLazyNode, QString> Texts, Values;
};
}  // namespace

TEST_F(ExportTest, HtmlIndentCellsColspanAndStyleSheet) {
    PLazyNode a = Add(nullptr, "A");
    Add(a, "B");
    Add(a, "<b>C</b>");
    T->Font()->SetSize(9);
    const QString html = T->ContentToHTML(tstAll, "Cap");
    EXPECT_TRUE(html.startsWith("<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
                                "<style type=\"text/css\">\r\n.default{font-family: 'Tahoma'; font-size: 9pt; "));
    EXPECT_TRUE(html.contains("<table class=\"default\" style=\"border-collapse: collapse;\" bgcolor=#FFFFFF "
                              "caption=\"Cap\" border=\"1\" frame=box cellspacing=\"0\">\r\n"))
        << html.toStdString();
    EXPECT_TRUE(html.endsWith("</table>"));
    T->SetBorderStyle(bsNone);
    EXPECT_TRUE(T->ContentToHTML(tstAll).contains("bgcolor=#FFFFFF  cellspacing=\"0\">"));
    const QStringList rows = HtmlRows(html);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], " <td class=\"normalborder\"  height=\"18px\" align=left colspan=\"2\">A</td>");
    EXPECT_EQ(rows[1], " <td height=\"18px\" class=\"normalborder\">&nbsp;</td>"
                       " <td class=\"normalborder\"  height=\"18px\" align=left>B</td>");
    // Mark-up in a text is written as it comes.
    EXPECT_TRUE(rows[2].endsWith(" align=left><b>C</b></td>"));

    // A font given by its pixel height.
    T->Font()->SetHeight(12);
    EXPECT_TRUE(T->ContentToHTML(tstAll).contains(".default{font-family: 'Tahoma'; font-size: 12px; "));
}

TEST_F(ExportTest, HtmlExportFilterAndNodeEvent) {
    PLazyNode a = Add(nullptr, "A");
    PLazyNode b = Add(a, "B");
    PLazyNode c = Add(nullptr, "C");
    PLazyNode d = Add(nullptr, "D");
    for (PLazyNode n : {a, b, c, d}) T->SetCheckType(n, ctCheckBox);
    T->SetCheckState(a, csCheckedNormal);
    T->SetCheckState(b, csCheckedNormal);
    c->CheckState = csCheckedPressed;
    d->CheckState = csCheckedDisabled;
    T->TreeOptions()->ExportMode = emChecked;
    QStringList rows = HtmlRows(T->ContentToHTML(tstAll));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].endsWith(">A</td>"));
    EXPECT_TRUE(rows[1].endsWith(">B</td>"));

    // A refused node leaves its row out, not its children's.
    T->TreeOptions()->ExportMode = emAll;
    QList<TLTExportType> types;
    T->OnBeforeNodeExport = [&](TBaseLazyTree*, TLTExportType type, PLazyNode n) {
        types.append(type);
        return n != a;
    };
    rows = HtmlRows(T->ContentToHTML(tstAll));
    T->OnBeforeNodeExport = nullptr;
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].endsWith(">B</td>"));
    EXPECT_TRUE(types.count(etHTML) == 4);
}

TEST_F(ExportTest, HtmlHeaderRowWithColumns) {
    AddColumn("Name", 120);
    AddColumn("Value", 80)->SetAlignment(taRightJustify);
    PLazyNode a = Add(nullptr, "A", "1");
    Add(a, "B", "2");
    const QString html = T->ContentToHTML(tstAll);
    EXPECT_TRUE(html.contains("<th height=\"" + QString::number(T->Header()->Height()) +
                              "px\" align=left colspan=\"2\" bgcolor=#F0F0F0 width=\"120px\">Name</th>"))
        << html.toStdString();
    const QStringList rows = HtmlRows(html);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[1].startsWith(" <td height=\"18px\" class=\"normalborder\">&nbsp;</td>"));
    EXPECT_TRUE(rows[1].endsWith(" align=right>2</td>"));
}

TEST_F(ExportTest, RtfTableDefinitionAndHead) {
    AddColumn("N", 100);
    AddColumn("V", 50);
    const QByteArray rtf = T->ContentToRTF(tstAll);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;"));
    EXPECT_TRUE(rtf.contains("}\\paperw16840\\paperh11907\\margl720\\margr720\\margt720\\margb720"
                             "\\uc1\\trowd\\trgaph70\\cellx1500\\cellx2250\\pard\\intbl\\ql"))
        << rtf.toStdString();
    EXPECT_EQ(rtf.count("\\row"), 1);  // the header row only
    EXPECT_TRUE(rtf.endsWith("\\pard\\par}"));
    SetRTFPaperMetric(false);
    EXPECT_TRUE(T->ContentToRTF(tstAll).contains("\\paperw15840\\paperh12240"));
}

TEST_F(ExportTest, RtfTextEscapesLevelsAndFonts) {
    PLazyNode a = Add(nullptr, "Ab");
    PLazyNode b = Add(a, QString("x\r\ny"));
    Add(b, QString(QChar(0x20AC)) + QChar(0xFFFD));
    T->Font()->SetSize(10);
    T->Font()->SetColor(clRed);
    QByteArray rtf = T->ContentToRTF(tstAll);
    EXPECT_TRUE(rtf.contains("\\pard\\intbl\\f0\\cf1\\fs20 \\u65\\'3f\\u98\\'3f\\cell\\row\r\n")) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("{\\colortbl;\\red255\\green0\\blue0;}"));
    EXPECT_TRUE(rtf.contains("\\pard\\intbl\\tab  \\u120\\'3f{\\par}\\u121\\'3f\\cell"));
    EXPECT_TRUE(rtf.contains("\\pard\\intbl\\tab\\tab  \\u8364\\'3f\\u-3\\'3f\\cell"));
    EXPECT_EQ(rtf.count("{\\par}"), 1);

    // Styles frame the run; a font name cannot end the font table.
    T->Font()->SetStyle(fsItalic | fsBold);
    T->Font()->SetName("Odd{Font}\\");
    rtf = T->ContentToRTF(tstAll);
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0 Odd\\{Font\\}\\\\;}}")) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\pard\\intbl\\i\\b\\f0\\cf1\\fs20 \\u65\\'3f\\u98\\'3f\\i0\\b0\\cell"));

    // An empty text writes no style words.
    Texts[a] = QString();
    rtf = T->ContentToRTF(tstAll);
    EXPECT_TRUE(rtf.contains("\\cellx") && rtf.contains("\\pard\\intbl\\cell\\row"));
}

TEST_F(ExportTest, SeparatedTextLevelsHeaderAndQuoting) {
    PLazyNode a = Add(nullptr, "A", "1");
    PLazyNode b = Add(a, "B", "x;\"y\"");
    EXPECT_EQ(T->ContentToText(tstAll, QChar(';')), "A\r\n;B\r\n");
    AddColumn("Name", 100);
    AddColumn("Value", 100);
    EXPECT_EQ(T->ContentToText(tstAll, QStringLiteral(";")),
              "Name;;Value\r\nA;;1\r\n;B;\"x;\"\"y\"\"\"\r\n");
    // Quotes or line breaks without the separator are written unquoted.
    const struct {
        QString Value;
        QString Field;
    } cases[] = {{"\"", "\""}, {"a\r\nb", "a\r\nb"}, {";", "\";\""}, {"", ""}};
    for (const auto& c : cases) {
        Values[b] = c.Value;
        EXPECT_TRUE(T->ContentToText(tstAll, QStringLiteral(";")).endsWith(";B;" + c.Field + "\r\n"))
            << c.Value.toStdString();
    }
    // No visible column: every line is empty.
    for (int i = 0; i < 2; ++i) {
        TLazyTreeColumn* c = T->Header()->Columns()->Items(i);
        c->SetOptions(c->Options().Exclude(coVisible));
    }
    EXPECT_EQ(T->ContentToText(tstAll, QStringLiteral(";")), "\r\n\r\n\r\n");
}

TEST_F(ExportTest, ClipboardBlocksAndHtmlEnvelope) {
    Add(nullptr, "ABCDEFGH");
    const QByteArray unicode = T->ContentToClipboard(CF_UNICODETEXT, tstAll);
    ASSERT_EQ(unicode.size(), 22);
    EXPECT_TRUE(unicode.endsWith(QByteArray(2, '\0')));
    EXPECT_EQ(T->ContentToClipboard(CF_TEXT, tstAll), QByteArray("ABCDEFGH\r\n", 11));
    EXPECT_TRUE(T->ContentToClipboard(CF_BITMAP, tstAll).isEmpty());
    const QByteArray rtf = T->ContentToClipboard(TreeClipboardFormats().RTF, tstAll);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1") && rtf.endsWith(QByteArray("}\0", 2)));

    QByteArray fragment(1000, 'x');
    WrapCFHTML(fragment);
    EXPECT_EQ(fragment.size(), 1301);
    EXPECT_TRUE(fragment.startsWith("Version:1.0\r\nStartHTML:00000097\r\nEndHTML:00001301\r\n"
                                    "StartFragment:00000269\r\nEndFragment:00001269\r\n<!DOCTYPE"));
    EXPECT_EQ(fragment.indexOf("<!DOCTYPE"), 97);
    EXPECT_EQ(fragment.mid(269, 1000), QByteArray(1000, 'x'));
    EXPECT_EQ(fragment.mid(1269), "<!--EndFragment--></body></html>");

    // The tree's own block: the offsets fit the block it built.
    const QByteArray html = T->ContentToClipboard(TreeClipboardFormats().HTML, tstAll);
    ASSERT_TRUE(html.endsWith('\0'));
    const QRegularExpressionMatch m =
        QRegularExpression("EndHTML:(\\d{8})\r\nStartFragment:\\d{8}\r\nEndFragment:(\\d{8})")
            .match(QString::fromLatin1(html));
    ASSERT_TRUE(m.hasMatch());
    EXPECT_EQ(m.captured(1).toInt(), html.size() - 1);
    EXPECT_TRUE(html.mid(m.captured(2).toInt()).startsWith("<!--EndFragment-->"));
    EXPECT_TRUE(html.mid(269).startsWith("<META"));
}

TEST_F(ExportTest, CsvFileTopLevelNodesOnly) {
    AddColumn("Name", 100);
    AddColumn("Va\"lue", 100);
    PLazyNode a = Add(nullptr, "A", "");
    Add(a, "child", "c");
    Add(nullptr, "B", "say \"hi\"");
    EXPECT_EQ(T->CSVLines(true),
              QStringList({"\"Name\",\"Va\"\"lue\"", "\"A\",\" \"", "\"B\",\"say \"\"hi\"\"\""}));
    EXPECT_FALSE(T->SaveToCSVFile(QString(), true));
    QTemporaryDir dir;
    const QString file = dir.filePath("tree.csv");
    ASSERT_TRUE(T->SaveToCSVFile(file, false));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(content.contains("\"A\",\" \"") && content.contains("\"B\",") && !content.contains("child"));
    EXPECT_FALSE(content.contains("Name"));
}

TEST_F(ExportTest, CustomExportFiresItsEvents) {
    AddColumn("Name", 100);
    AddColumn("Value", 100);
    PLazyNode a = Add(nullptr, "A");
    Add(a, "B");
    QStringList log;
    auto tree = [&](const char* name) {
        return [&log, name](TBaseLazyTree*, TLTExportType type) {
            if (type == etCustom) log.append(name);
        };
    };
    auto column = [&](const char* name) {
        return [&log, name](TBaseLazyTree*, TLTExportType, TLazyTreeColumn* c) {
            log.append(QString(name) + QString::number(c->Index()));
        };
    };
    auto node = [&](const char* name) {
        return [&log, name, this](TBaseLazyTree*, TLTExportType, PLazyNode n) {
            log.append(QString(name) + Texts[n]);
            return false;  // results are ignored
        };
    };
    T->Header()->SetOptions(T->Header()->Options().Include(hoVisible));
    T->OnBeforeTreeExport = tree("bt");
    T->OnAfterTreeExport = tree("at");
    T->OnBeforeHeaderExport = tree("bh");
    T->OnAfterHeaderExport = tree("ah");
    T->OnBeforeColumnExport = column("bc");
    T->OnColumnExport = column("c");
    T->OnAfterColumnExport = column("ac");
    T->OnBeforeNodeExport = node("bn");
    T->OnNodeExport = node("n");
    T->OnAfterNodeExport = node("an");
    T->ContentToCustom(tstAll);
    EXPECT_EQ(log.join(' '), "bt bh bc0 c0 ac0 bc1 c1 ac1 ah bnA nA anA bnB nB anB at");
    log.clear();
    T->Header()->SetOptions(T->Header()->Options().Exclude(hoVisible));
    T->TreeOptions()->ExportMode = emSelected;
    T->SetSelected(a, true);
    T->ContentToCustom(tstAll);
    EXPECT_EQ(log.join(' '), "bt bnA nA anA at");
    T->OnBeforeNodeExport = T->OnNodeExport = T->OnAfterNodeExport = nullptr;
}
