// The row reader, the flag rule of each table and the loaded file's life.
#include "project/ProjectFiles.h"
#include "project/TableFile.h"
#include "platform/core/Files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

namespace PF = ProjectFiles;

// A row element holding one attribute (or none when `value` is null).
struct TOneRow {
    XmlDocument Doc;
    XmlNode Row;
    TOneRow(const QString& name, const char16_t* value)
    {
        Row = Doc.CreateRoot(QStringLiteral("row"));
        if (value)
            Row.SetAttribute(name, QString::fromUtf16(value));
    }
};

enum class TExpect { Clear, Set, Error };

struct TFlagCase {
    const char* Table;
    const TFlagColumn* Column;
    const char16_t* Value; // nullptr: the attribute is missing
    TExpect Expect;
};

// Every table's check-box columns: the upper-casing rule for all, the trim
// for Enable (and for the Modbus OnChange/OnCMD), "Y" exactly for the J1939
// Delete and TP and the Modbus Swap; one trim, of blanks and control
// characters only.
const TFlagCase Flag_Cases[] = {
    // KNX access table
    {"KNX", &PF::KNXAccessXml::Enable_Flag, u" y\t", TExpect::Set},
    {"KNX", &PF::KNXAccessXml::Enable_Flag, u"\u00a0Y", TExpect::Clear},
    {"KNX", &PF::KNXAccessXml::Enable_Flag, u"\u3000Y", TExpect::Clear},
    {"KNX", &PF::KNXAccessXml::Enable_Flag, nullptr, TExpect::Set},
    {"KNX", &PF::KNXAccessXml::Enable_Flag, u"Yes", TExpect::Clear},
    {"KNX", &PF::KNXAccessXml::Extended_Flag, u"y", TExpect::Set},
    {"KNX", &PF::KNXAccessXml::Extended_Flag, u" Y", TExpect::Clear},
    {"KNX", &PF::KNXAccessXml::Extended_Flag, nullptr, TExpect::Error},
    {"KNX", &PF::KNXAccessXml::On_Change_Flag, nullptr, TExpect::Error},
    {"KNX", &PF::KNXAccessXml::On_Command_Flag, nullptr, TExpect::Clear},
    {"KNX", &PF::KNXAccessXml::On_Timer_Flag, u"Y ", TExpect::Clear},
    // J1939
    {"J1939 rec", &PF::J1939RecXml::Delete_Flag, u"Y", TExpect::Set},
    {"J1939 rec", &PF::J1939RecXml::Delete_Flag, u"y", TExpect::Clear},
    {"J1939 rec", &PF::J1939RecXml::TP_Flag, u"y", TExpect::Clear},
    {"J1939 rec", &PF::J1939RecXml::OnRequest_Flag, u"y", TExpect::Set},
    {"J1939 send", &PF::J1939SendXml::On_Timer_Flag, u"y", TExpect::Set},
    {"J1939 send", &PF::J1939SendXml::On_Data_Change_Flag, u" Y", TExpect::Clear},
    // Modbus
    {"Modbus", &PF::ModbusXml::Enable_Flag, u" Y", TExpect::Set},
    {"Modbus", &PF::ModbusXml::Enable_Flag, u"\u00a0Y", TExpect::Clear},
    {"Modbus", &PF::ModbusXml::OnChange_Flag, u" y ", TExpect::Set},
    {"Modbus", &PF::ModbusXml::OnChange_Flag, nullptr, TExpect::Error},
    {"Modbus", &PF::ModbusXml::OnCMD_Flag, u"\ty", TExpect::Set},
    {"Modbus", &PF::ModbusXml::OnCMD_Flag, nullptr, TExpect::Clear},
    {"Modbus", &PF::ModbusXml::Swap_Flag, u"y", TExpect::Clear},
    {"Modbus", &PF::ModbusXml::Swap_TCP_Write_Flag, u"y", TExpect::Set},
    {"Modbus", &PF::ModbusXml::Swap_TCP_Write_Flag, u" Y", TExpect::Clear},
    // CAN: only Enable is trimmed
    {"CAN", &PF::CANFramesXml::Enable_Flag, u" Y", TExpect::Set},
    {"CAN", &PF::CANFramesXml::Enable_Flag, u"\u00a0Y", TExpect::Clear},
    {"CAN", &PF::CANFramesXml::Enable_Flag, nullptr, TExpect::Set},
    {"CAN", &PF::CANFramesXml::OnCMD_Flag, u" Y", TExpect::Clear},
    {"CAN", &PF::CANFramesXml::OnChange_Flag, u"y", TExpect::Set},
    {"CAN", &PF::CANFramesXml::OnTimer_Flag, u"Y\r", TExpect::Clear},
    // CANopen
    {"CANopen", &PF::CANopenXml::On_Change_Flag, u"y", TExpect::Set},
    {"CANopen", &PF::CANopenXml::On_Change_Flag, u" Y", TExpect::Clear},
    {"CANopen", &PF::CANopenXml::On_Change_Flag, nullptr, TExpect::Error},
};

TEST(TableFlags, EachTableReadsItsFlagsByItsOwnRule)
{
    for (const TFlagCase& c : Flag_Cases) {
        const TOneRow row(c.Column->Name, c.Value);
        const TRowReader r(row.Row, QStringLiteral("T.xml"), 3);
        const QString what = QStringLiteral("%1 %2=\"%3\"")
                                 .arg(QLatin1String(c.Table), c.Column->Name,
                                      c.Value ? QString::fromUtf16(c.Value) : QStringLiteral("(missing)"));
        if (c.Expect == TExpect::Error) {
            try {
                r.Flag(*c.Column);
                ADD_FAILURE() << qPrintable(what) << ": no error";
            } catch (const ETableFileError& e) {
                EXPECT_TRUE(e.Message().contains(QStringLiteral("T.xml, row 3")) && e.Message().contains(c.Column->Name))
                    << qPrintable(e.Message());
            }
            continue;
        }
        EXPECT_EQ(r.Flag(*c.Column), c.Expect == TExpect::Set) << qPrintable(what);
    }
}

TEST(RowReader, RequiredAndIntegerAttributesNameFileListRowAndAttribute)
{
    XmlDocument doc;
    doc.LoadFromText(QStringLiteral("<r><row A=\"12\" B=\"x\" C=\"$10\"/></r>"));
    const TRowReader r(doc.DocumentElement().FirstChildElement(), QStringLiteral("F.xml"), 7, QStringLiteral("L"));
    EXPECT_EQ(r.Integer(QStringLiteral("A")), 12);
    EXPECT_EQ(r.Integer(QStringLiteral("C")), 16);
    EXPECT_EQ(r.Number(QStringLiteral("B"), -1), -1);
    EXPECT_EQ(r.Number_Or(QStringLiteral("Z"), -1, 5), 5);
    const struct {
        QString Name;
        const char* Says;
    } errors[] = {{QStringLiteral("B"), "is not an integer"}, {QStringLiteral("Z"), "is missing"}};
    for (const auto& e : errors) {
        try {
            r.Integer(e.Name);
            ADD_FAILURE() << "no error for " << qPrintable(e.Name);
        } catch (const ETableFileError& x) {
            EXPECT_EQ(x.Message(),
                      QStringLiteral("F.xml, list \"L\", row 7: the attribute \"%1\" %2").arg(e.Name, QLatin1String(e.Says)));
        }
    }
}

TEST(RowReader, NumbersAndTextsOnTheFilesBytes)
{
    // Numbers are read from the file's bytes: entities decoded first, only
    // ASCII digits count; Text_Is compares the whole value.
    XmlDocument doc;
    doc.LoadFromText(QStringLiteral("<r><row A=\"&#x24;1F\" B=\"\uFF15\" C=\" -7\" D=\"4294967295\" E=\"1\" F=\"1 \" G=\"\"/></r>"));
    const TRowReader r(doc.DocumentElement().FirstChildElement(), QStringLiteral("F.xml"), 1);
    EXPECT_EQ(r.Number(QStringLiteral("A"), -1), 31);
    EXPECT_EQ(r.Number(QStringLiteral("B"), -1), -1);
    EXPECT_EQ(r.Number_Or(QStringLiteral("C"), 0, 0), -7);
    EXPECT_EQ(r.Number(QStringLiteral("D"), -1), -1);
    EXPECT_EQ(r.Number64(QStringLiteral("D"), -1), 4294967295LL);
    EXPECT_EQ(r.Number64_Or(QStringLiteral("Z"), -1, 9), 9);
    EXPECT_EQ(r.Number64_Or(QStringLiteral("B"), -1, 9), -1);
    EXPECT_TRUE(r.Text_Is(QStringLiteral("E"), QLatin1String("1")));
    EXPECT_FALSE(r.Text_Is(QStringLiteral("F"), QLatin1String("1")));
    EXPECT_FALSE(r.Text_Is(QStringLiteral("Z"), QLatin1String("1")));
    EXPECT_FALSE(r.Text_Is(QStringLiteral("G"), QLatin1String("1")));
    EXPECT_TRUE(r.Text_Is(QStringLiteral("G"), QLatin1String("")));
    EXPECT_FALSE(r.Text_Is(QStringLiteral("Z"), QLatin1String("")));
}

TEST(ProjectFile, OwnsItsDocumentSoRowsOutliveLaterLoads)
{
    QTemporaryDir dir;
    const QString a = PathJoin(dir.path(), QStringLiteral("a.xml"));
    const QString b = PathJoin(dir.path(), QStringLiteral("b.xml"));
    WriteFileWhole(a, "<A><row V=\"1\"/><row V=\"2\"/></A>");
    WriteFileWhole(b, "<B><row V=\"9\"/></B>");
    const TProjectFile fa(a, QStringLiteral("a.xml"));
    const QList<XmlNode> rows = fa.Rows(XmlNode(), 10);
    const TProjectFile fb(b);
    // Loading the second file leaves the first one's rows intact.
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].Attribute(QStringLiteral("V")).TextOr(QString()), QStringLiteral("2"));
    EXPECT_EQ(fb.Root().NodeName(), QStringLiteral("B"));
    EXPECT_EQ(fa.Name(), QStringLiteral("a.xml"));
    EXPECT_EQ(fb.Name(), b);
}

TEST(ProjectFile, RowLimitAndMissingListAreRefusedWithTheFileName)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("t.xml"));
    WriteFileWhole(path, "<T><L><row/><row/><row/></L></T>");
    const TProjectFile f(path, QStringLiteral("t.xml"));
    const XmlNode list = f.Required_List(QStringLiteral("L"));
    EXPECT_EQ(f.Rows(list, 3).size(), 3);
    try {
        f.Rows(list, 2, QStringLiteral("L"));
        ADD_FAILURE() << "no error";
    } catch (const ETableFileError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("t.xml, list \"L\": more than 2 rows"));
    }
    try {
        f.Required_List(QStringLiteral("M"));
        ADD_FAILURE() << "no error";
    } catch (const ETableFileError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("t.xml: the list \"M\" is missing"));
    }
}

} // namespace
