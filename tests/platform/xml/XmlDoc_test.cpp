#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iterator>

TEST(XmlDoc, AttributesKeepTheirWrittenOrderAndNoDeclarationIsWritten)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("t.xml"));
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(QStringLiteral("Root"));
    XmlNode row = root.AppendElement(QStringLiteral("row"));
    row.SetAttribute(QStringLiteral("C"), QStringLiteral("3"));
    row.SetAttribute(QStringLiteral("A"), QStringLiteral("1"));
    row.SetAttribute(QStringLiteral("B"), QStringLiteral("2"));
    doc.AppendComment(QStringLiteral("SW_VERSION = 1.100"));
    doc.SaveToFile(path);

    const QByteArray bytes = ReadFileWhole(path);
    EXPECT_TRUE(bytes.startsWith("<Root>")) << bytes.constData();
    const qsizetype rootEnd = bytes.indexOf("</Root>");
    ASSERT_GE(rootEnd, 0);
    const QByteArray after = bytes.mid(rootEnd + 7).trimmed();
    EXPECT_EQ(after, QByteArray("<!--SW_VERSION = 1.100-->"));

    XmlDocument back;
    back.LoadFromFile(path);
    const auto attrs = back.DocumentElement().FirstChildElement().Attributes();
    ASSERT_EQ(attrs.size(), 3);
    EXPECT_EQ(attrs[0].first, QStringLiteral("C"));
    EXPECT_EQ(attrs[1].first, QStringLiteral("A"));
    EXPECT_EQ(attrs[2].first, QStringLiteral("B"));
}

TEST(XmlDoc, ReadsTheRootElementBehindDeclarationCommentOrInstruction)
{
    const char* texts[] = {
        "<?xml version=\"1.0\"?>\n<Par_Gen><A>1</A></Par_Gen>",
        "<!-- note -->\n<Par_Gen><A>1</A></Par_Gen>",
        "<?app x?><Par_Gen><A>1</A></Par_Gen>",
    };
    for (const char* t : texts) {
        XmlDocument doc;
        doc.LoadFromText(QString::fromLatin1(t));
        EXPECT_EQ(doc.DocumentElement().NodeName(), QStringLiteral("Par_Gen")) << t;
        EXPECT_EQ(doc.DocumentElement().ChildElement(QStringLiteral("A")).Text(), QStringLiteral("1")) << t;
    }
}

TEST(XmlDoc, ParseErrorsCarryTheLine)
{
    XmlDocument doc;
    try {
        doc.LoadFromText(QStringLiteral("<a>\n<b x=\"1\">\n<c>"));
        FAIL() << "no exception";
    } catch (const EXmlError& e) {
        EXPECT_GE(e.Line(), 2);
        EXPECT_TRUE(e.Message().contains(QStringLiteral("line"))) << e.Message().toStdString();
    }
    EXPECT_THROW(doc.LoadFromText(QString()), EXmlError);
}

TEST(XmlDoc, FilesFromDiskReadBehindADeclarationAndNameTheirBrokenLine)
{
    QTemporaryDir dir;
    const QString good = PathJoin(dir.path(), QStringLiteral("ParGen.xml"));
    WriteFileWhole(good, "<?xml version=\"1.0\"?>\r\n<Par_Gen>\r\n<KNX_TYPE>0</KNX_TYPE>\r\n</Par_Gen>\r\n");
    XmlDocument doc;
    doc.LoadFromFile(good);
    EXPECT_EQ(doc.DocumentElement().NodeName(), QStringLiteral("Par_Gen"));
    EXPECT_EQ(doc.DocumentElement().ChildElement(QStringLiteral("KNX_TYPE")).Text(), QStringLiteral("0"));

    // A table file cut off inside its fourth line, as a full disk leaves it.
    const QString cut = PathJoin(dir.path(), QStringLiteral("KNX_SetAccess.xml"));
    WriteFileWhole(cut, "<BACnet_to_KNX>\n<KNX_in_Read/>\n<KNX_in_Write>\n<row Enable=\"Y\" Sour");
    try {
        doc.LoadFromFile(cut);
        FAIL() << "no exception";
    } catch (const EXmlError& e) {
        EXPECT_EQ(e.Line(), 4);
        EXPECT_TRUE(e.Message().contains(QStringLiteral("KNX_SetAccess.xml"))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("line 4"))) << e.Message().toStdString();
    }
    // Nothing of the broken file is left to read.
    EXPECT_TRUE(doc.DocumentElement().IsNull());
}

TEST(XmlDoc, TheErrorLineCountsTheTextAsWritten)
{
    // Line ends inside values and CR LF pairs before the fault: parsing
    // rewrites them, the line of the fault still counts them.
    const QByteArray text = "<r a=\"x\ny\r\nz\">\r\n<b>t\r\nu</b>\n<c>\n</r>";
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("t.xml"));
    WriteFileWhole(path, text);
    XmlDocument doc;
    for (bool fromFile : {true, false}) {
        try {
            if (fromFile)
                doc.LoadFromFile(path);
            else
                doc.LoadFromBytes(text);
            ADD_FAILURE() << "no exception";
        } catch (const EXmlError& e) {
            EXPECT_EQ(e.Line(), 7) << fromFile;
        }
    }
    // The caller's bytes are left as they were.
    EXPECT_EQ(text, QByteArray("<r a=\"x\ny\r\nz\">\r\n<b>t\r\nu</b>\n<c>\n</r>"));

    // A loaded document keeps its strings after the bytes it came from go.
    {
        QByteArray good = "<r a=\"1&amp;2\"><b>t</b></r>";
        doc.LoadFromBytes(good);
        good.fill('x');
    }
    EXPECT_EQ(doc.DocumentElement().Attribute(QStringLiteral("a")).TextOr({}), QStringLiteral("1&2"));
    EXPECT_EQ(doc.DocumentElement().Text(), QStringLiteral("t"));
}

// Bytes that are not UTF-8 would reach the program as U+FFFD and be written
// back so: the file is refused like a parse error, naming where the byte is.
TEST(XmlDoc, BytesThatAreNotUtf8AreRefusedWithTheirPlace)
{
    struct TCase {
        const char* What;
        QByteArray Value; // the attribute's bytes on line 2, from column 11
        int Column;       // of the first bad byte
        const char* Byte;
    };
    const TCase cases[] = {
        {"Latin-1 e acute", "caf\xE9", 14, "E9"},
        {"FF", "\xFF", 11, "FF"},
        {"FE after a good two-byte character", "\xC3\xA9\xFE", 12, "FE"},
        {"sequence cut by the quote", "ab\xC3", 13, "C3"},
        {"overlong slash", "\xC0\xAF", 11, "C0"},
        {"surrogate", "x\xED\xA0\x80", 12, "ED"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", 11, "F4"},
        {"lone continuation", "\x80", 11, "80"},
    };
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("J1939_Rec_Frames.xml"));
    for (const TCase& c : cases) {
        const QByteArray text = "<Receive_J1939>\n<row PGN=\"" + c.Value + "\" SA=\"1\"/>\n</Receive_J1939>";
        WriteFileWhole(path, text);
        for (bool fromFile : {true, false}) {
            XmlDocument doc;
            try {
                if (fromFile)
                    doc.LoadFromFile(path);
                else
                    doc.LoadFromBytes(text, path);
                ADD_FAILURE() << c.What << ": no exception";
            } catch (const EXmlError& e) {
                const std::string m = e.Message().toStdString();
                EXPECT_EQ(e.Line(), 2) << c.What;
                EXPECT_NE(m.find("J1939_Rec_Frames.xml"), std::string::npos) << m;
                EXPECT_NE(m.find("line 2, column " + std::to_string(c.Column)), std::string::npos) << m;
                EXPECT_NE(m.find(std::string("byte ") + c.Byte), std::string::npos) << m;
                EXPECT_NE(m.find("UTF-8"), std::string::npos) << m;
            }
            EXPECT_TRUE(doc.DocumentElement().IsNull());
        }
    }

    // Good UTF-8 of every length loads as it stands.
    XmlDocument doc;
    doc.LoadFromBytes("\xEF\xBB\xBF<r a=\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"/>");
    EXPECT_EQ(doc.DocumentElement().Attribute(QStringLiteral("a")).TextOr({}),
              QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    // A file that says it is Latin-1, or that is UTF-16, is converted, not refused.
    doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"caf\xE9\"/>");
    EXPECT_EQ(doc.DocumentElement().Attribute(QStringLiteral("a")).TextOr({}), QString::fromUtf8("caf\xC3\xA9"));
    const QString wide = QStringLiteral("<r a=\"caf\u00e9\"/>");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2);
    doc.LoadFromBytes(utf16);
    EXPECT_EQ(doc.DocumentElement().Attribute(QStringLiteral("a")).TextOr({}), QString::fromUtf8("caf\xC3\xA9"));
}

TEST(XmlDoc, MissingAttributeIsNullAndEmptyIsEmpty)
{
    XmlDocument doc;
    doc.LoadFromText(QStringLiteral("<r><row A=\"\"/></r>"));
    XmlNode row = doc.DocumentElement().FirstChildElement();
    EXPECT_FALSE(row.Attribute(QStringLiteral("A")).IsNull());
    EXPECT_EQ(row.Attribute(QStringLiteral("A")).ToString(), QString());
    EXPECT_TRUE(row.Attribute(QStringLiteral("B")).IsNull());
    EXPECT_THROW(row.Attribute(QStringLiteral("B")).ToString(), EXmlNullValue);
    EXPECT_EQ(row.Attribute(QStringLiteral("B")).TextOr(QStringLiteral("d")), QStringLiteral("d"));
}

TEST(XmlDoc, TextJoinsTheCharacterDataOfTheWholeSubtreeInOrder)
{
    struct Case {
        const char* xml;
        const char* text;
    } cases[] = {
        {"<a>x<b>y<c>z</c></b>w</a>", "xyzw"},
        {"<a><b/><c><![CDATA[<1>]]></c>2<!--no-->3</a>", "<1>23"},
        {"<a/>", ""},
        {"<a><b><c/></b></a>", ""},
    };
    for (const Case& c : cases) {
        XmlDocument doc;
        doc.LoadFromText(QString::fromUtf8(c.xml));
        EXPECT_EQ(doc.DocumentElement().Text(), QString::fromUtf8(c.text)) << c.xml;
    }
    // Only the subtree: the sibling after it is not part of the text.
    XmlDocument doc;
    doc.LoadFromText(QStringLiteral("<r><a>1<b>2</b></a><z>9</z></r>"));
    EXPECT_EQ(doc.DocumentElement().FirstChildElement().Text(), QStringLiteral("12"));
}

TEST(XmlDoc, DeeplyNestedInputIsReadWithoutExhaustingTheStack)
{
    const int depth = 1000000;
    QByteArray x;
    x.reserve(depth * 8 + 16);
    for (int i = 0; i < depth; ++i)
        x += "<e>";
    x += "deep";
    for (int i = 0; i < depth; ++i)
        x += "</e>";
    XmlDocument doc;
    doc.LoadFromBytes(x);
    EXPECT_EQ(doc.DocumentElement().Text(), QStringLiteral("deep"));
}

TEST(XmlDoc, NamesOfAnyLengthAndScriptAreFound)
{
    const QString longName = QStringLiteral("A").repeated(63) + QStringLiteral("_tail");
    const QString names[] = {QStringLiteral("Enable"), QStringLiteral("Größe"), longName, QStringLiteral("x").repeated(63),
                             QStringLiteral("y").repeated(64)};
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(QStringLiteral("Root"));
    XmlNode row = root.AppendElement(QStringLiteral("Zeile_ä"));
    for (int i = 0; i < 5; ++i)
        row.SetAttribute(names[i], QString::number(i));
    XmlDocument back;
    back.LoadFromBytes(doc.SaveToBytes());
    const XmlNode r = back.DocumentElement().ChildElement(QStringLiteral("Zeile_ä"));
    ASSERT_FALSE(r.IsNull());
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(r.HasAttribute(names[i])) << names[i].toStdString();
        EXPECT_EQ(r.Attribute(names[i]).ToString(), QString::number(i)) << names[i].toStdString();
    }
    // A prefix of a long name is another name.
    EXPECT_TRUE(r.Attribute(QStringLiteral("A").repeated(63)).IsNull());
}

TEST(XmlDoc, AValueReadTwiceFromTheSameObjectStaysWhole)
{
    XmlDocument doc;
    doc.LoadFromText(QStringLiteral("<r a=\"v\"/>"));
    const XmlValue v = doc.DocumentElement().Attribute(QStringLiteral("a"));
    EXPECT_EQ(v.ToString(), QStringLiteral("v"));
    EXPECT_EQ(v.ToString(), QStringLiteral("v"));
    try {
        doc.DocumentElement().Attribute(QStringLiteral("Poll_Time")).ToString();
        FAIL() << "no exception";
    } catch (const EXmlNullValue& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Poll_Time"))) << e.what();
    }
}

TEST(XmlDoc, AFileAbove64MBIsRefusedUnreadWithItsName)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/KNX_SetAccess.xml");
    {
        // A sparse file: the size counts, not the bytes on the disk.
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.write("<a>") == 3);
        ASSERT_TRUE(f.resize(65LL * 1024 * 1024));
    }
    XmlDocument doc;
    doc.LoadFromText(QStringLiteral("<old/>"));
    try {
        doc.LoadFromFile(path);
        FAIL() << "no error";
    } catch (const EXmlError& e) {
        EXPECT_TRUE(e.Message().startsWith(path)) << qPrintable(e.Message());
        EXPECT_TRUE(e.Message().contains(QStringLiteral("larger than 64 MB"))) << qPrintable(e.Message());
    }
    EXPECT_TRUE(doc.DocumentElement().IsNull());
}

// The stream writer against the document: the same nodes written both ways
// give the same bytes, escapes, cut values and comments included.
TEST(XmlStreamWriter, WritesWhatTheDocumentSaves)
{
    QString controls;
    for (char16_t c = 1; c < 128; ++c)
        controls += QChar(c);
    const QString values[] = {
        QString(),
        controls,
        QStringLiteral("m³/h \"é\" <&> 'x'"),
        QString(300, QLatin1Char('a')) + QStringLiteral("&"),
        QString(200, QChar(0x00E9)) + QStringLiteral("<"),
        QStringLiteral("ab") + QChar(0) + QStringLiteral("cd"),
        QStringLiteral("\u00e9") + QChar(0) + QStringLiteral("\""),
    };
    const QString comments[] = {QStringLiteral("SW_VERSION = 1.203"), QStringLiteral("a--b-"), QStringLiteral("-x--")};

    XmlDocument doc;
    XmlStreamWriter out;
    XmlNode root = doc.CreateRoot(QStringLiteral("M-Bus_Network"));
    out.StartElement("M-Bus_Network");
    root.AppendElement(QStringLiteral("Empty"));
    out.StartElement("Empty");
    out.EndElement();
    for (int i = 0; i < int(std::size(values)); ++i) {
        XmlNode e = root.AppendElement(QStringLiteral("Nodo"));
        out.StartElement("Nodo");
        e.AppendAttribute(QStringLiteral("Text"), values[i]);
        out.Attribute("Text", values[i]);
        e.AppendAttribute(QStringLiteral("Bytes"), values[i]);
        const QByteArray utf8 = values[i].toUtf8();
        out.AttributeUtf8("Bytes", utf8);
        e.AppendAttribute(QStringLiteral("Min"), QStringLiteral("-9223372036854775808"));
        out.AttributeInt("Min", INT64_MIN);
        e.AppendAttribute(QStringLiteral("N"), QString::number(i));
        out.AttributeInt("N", i);
        if (i % 2 == 0) {
            // children: an element with one of its own, one without, a comment
            XmlNode v = e.AppendElement(QStringLiteral("Variabile"));
            out.StartElement("Variabile");
            v.AppendElement(QStringLiteral("Deep")).AppendAttribute(QStringLiteral("x"), QStringLiteral("1"));
            out.StartElement("Deep");
            out.AttributeInt("x", 1);
            out.EndElement();
            out.EndElement();
            e.AppendElement(QStringLiteral("Variabile"));
            out.StartElement("Variabile");
            out.EndElement();
            e.AppendComment(comments[size_t(i / 2) % std::size(comments)]);
            out.Comment(comments[size_t(i / 2) % std::size(comments)].toUtf8());
        }
        out.EndElement();
    }
    out.EndElement();
    for (const QString& c : comments) {
        doc.AppendComment(c);
        out.Comment(c.toUtf8());
    }
    const QByteArray expected = doc.SaveToBytes();
    EXPECT_EQ(out.Take(), expected);

    // An empty root and a comment, the smallest network file.
    XmlDocument small;
    small.CreateRoot(QStringLiteral("M-Bus_Network"));
    small.AppendComment(QStringLiteral("SW_VERSION = 1.203"));
    out.StartElement("M-Bus_Network");
    out.EndElement();
    out.Comment("SW_VERSION = 1.203");
    EXPECT_EQ(out.Take(), small.SaveToBytes());
    EXPECT_EQ(small.SaveToBytes(), QByteArray("<M-Bus_Network />\n<!--SW_VERSION = 1.203-->\n"));
}
