// The KNX object table: address codes, the rows of KNX_SetAccess.xml and the
// records they give.
#include "ImageTestUtil.h"

#include "image/ImageBuild.h"
#include "image/KNXTable.h"
#include "project/KNXCodes.h"

#include <QRegularExpression>
#include <functional>

namespace {

// A row with every attribute the editor writes; `extra` overrides or adds
// attributes (later attributes of the same name are not allowed in XML, so
// the defaults are dropped for the names `extra` sets).
QString Row(const QString& extra = QString())
{
    const QList<QPair<QString, QString>> defaults = {
        {"Enable", "Y"},       {"Source_Address", "1.1.10"}, {"Destination_Address", "1/2/3"},
        {"APCI", "Write"},     {"Priority", "Low"},          {"Format", "None"},
        {"Extended", "N"},     {"ReTest", "N"},              {"On_Command", "N"},
        {"On_Change", "Y"},    {"On_Timer", "N"},            {"Poll_Time", ""},
        {"Position", "0"},     {"Bit_Mode", "No"},           {"Length", "2"},
    };
    QString attrs;
    for (const auto& [name, value] : defaults)
        if (!extra.contains(name + QLatin1String("=")) && !extra.contains(QLatin1String("-") + name + QLatin1String(" ")))
            attrs += QStringLiteral(" %1=\"%2\"").arg(name, value);
    QString more = extra;
    // "-Name " in `extra` drops the attribute.
    more.remove(QRegularExpression(QStringLiteral("-\\w+ ")));
    return QStringLiteral("<row%1 %2/>").arg(attrs, more);
}

QString KnxFile(const QString& rows)
{
    return QStringLiteral("<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>%1</KNX_in_Write></BACnet_to_KNX>"
                          "<!--SW_VERSION = 1.100-->")
        .arg(rows);
}

struct Loaded {
    explicit Loaded(const QString& file, int model = 9)
        : Build(P.Dir(), model, Buffer)
    {
        P.Write(QStringLiteral("KNX_SetAccess.xml"), file);
        Build.Bin_Par_Gen.Init_Par_Gen();
        Build.KNX_Table.Init_KNX_Table();
        Load_KNX_Table(Build);
    }
    const TKNX_Record& Rec(int i) const { return Build.KNX_Table.Record[size_t(i)]; }
    int Count() const { return Build.KNX_Table.KNX_Object_Count; }
    // The serialized 20 bytes of record i.
    QByteArray Bytes(int i)
    {
        Buffer.Bin_Count = 0;
        Save_KNX_Table(Build);
        return QByteArray(reinterpret_cast<const char*>(Buffer.Data()) + 20 * i, 20);
    }
    TTestProject P;
    TBinBuffer Buffer;
    TImageBuild Build;
};

} // namespace

TEST(KnxAddress, GroupAndIndividualCodes)
{
    struct Case {
        const char* Text;
        bool Group;
        uint16_t Code;
    } const cases[] = {
        {"1/2/3", true, 2563},    {"31/7/255", true, 65535}, {"1/100", true, 2148},
        {"32/0/0", true, 0},      {"0/8/0", true, 0},        {"1/2/3/4", true, 2560},
        {" 1 / 2 / 3 ", true, 2563}, {"4660", true, 4660},   {"x/1", true, 1},
        {"", true, 0},            {"1.1.10", false, 4362},   {"15.15.255", false, 65535},
        {"16.0.0", false, 0},     {"1.5", false, 4101},      {"1.2.3.4", false, 4608},
        {"70000", false, 4464},   {"0x10", false, 16},
        // Only blanks and control characters are trimmed: a no-break space
        // makes its part not a number.
        {"\xA0" "1/2/3", true, 515}, {"1.1.\xA0" "10", false, 4352},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KNX_Address_To_Word(QString::fromLatin1(c.Text), c.Group), c.Code) << c.Text;
}

TEST(KnxTable, AnEnabledRowGivesItsRecordBytes)
{
    Loaded l(KnxFile(Row()));
    ASSERT_EQ(l.Count(), 1);
    EXPECT_EQ(l.Bytes(0), Hex("00000000 00000000 03 02 2100 8000 0a11 030a 0000"));
    EXPECT_EQ(l.Build.Bin_Par_Gen.Get(TParGenField::KNX_Object_Count), 1u);
    EXPECT_EQ(l.Build.Bin_Par_Gen.Get(TParGenField::KNX_Read_Count), 0u);
}

TEST(KnxTable, RowsThatAreNotEnabledTakeNoRecord)
{
    Loaded l(KnxFile(Row(QStringLiteral("Enable=\"N\" Length=\"1\"")) + Row(QStringLiteral("Enable=\" y \" Length=\"2\""))
                     + Row(QStringLiteral("Enable=\"Yes\" Length=\"3\"")) + Row(QStringLiteral("-Enable Length=\"4\""))
                     + Row(QStringLiteral("Enable=\"\u00A0Y\" Length=\"5\""))));
    ASSERT_EQ(l.Count(), 2);
    EXPECT_EQ(l.Rec(0).Length, 2);
    EXPECT_EQ(l.Rec(1).Length, 4);
    EXPECT_EQ(l.Rec(2).Length, 0);
}

TEST(KnxTable, FieldsOfARow)
{
    struct Case {
        const char* Attrs;
        uint32_t Poll;
        uint16_t Flags;
        uint16_t Position;
        uint8_t Priority;
        uint16_t RW;
        uint8_t Length;
    } const cases[] = {
        // flags here: 0x0021 = On_Change and group destination
        {"Bit_Mode=\"No\" Position=\"5\"", 0, 0x0021, 5, 3, 128, 2},
        {"Bit_Mode=\"3\" Position=\"5\"", 0, 0x0061, 43, 3, 128, 2},
        {"Bit_Mode=\"no\" Position=\"x\"", 0, 0x0021, 0, 3, 128, 2},
        // 2^28 × 8 + 3 and -2^28 × 8 - 1 leave the 32-bit range; their low 16 bits stay.
        {"Bit_Mode=\"3\" Position=\"268435456\"", 0, 0x0061, 3, 3, 128, 2},
        {"Bit_Mode=\"-1\" Position=\"-268435456\"", 0, 0x0061, 0xFFFF, 3, 128, 2},
        {"On_Timer=\"Y\" Poll_Time=\"\"", 1000, 0x0021, 0, 3, 128, 2},
        {"On_Timer=\"y\" Poll_Time=\"250\"", 250, 0x0021, 0, 3, 128, 2},
        {"On_Timer=\"Y\" -Poll_Time ", 0, 0x0021, 0, 3, 128, 2},
        {"On_Timer=\"N\" Poll_Time=\"250\"", 0, 0x0021, 0, 3, 128, 2},
        {"Format=\"Swap32\"", 0, 0x2021, 0, 3, 128, 2},
        {"Format=\"float16 to int * 100\"", 0, 0x9021, 0, 3, 128, 2},
        {"-Format ", 0, 0x0021, 0, 3, 128, 2},
        {"Extended=\"Y\" ReTest=\"y\" On_Command=\"Y\" On_Change=\"N\"", 0, 0x003A, 0, 3, 128, 2},
        {"-On_Command ", 0, 0x0021, 0, 3, 128, 2},
        {"Destination_Address=\"1.1.10\"", 0, 0x0001, 0, 3, 128, 2},
        {"APCI=\"read\" Priority=\"System\"", 0, 0x0021, 0, 0, 0, 2},
        {"APCI=\"77\" Priority=\"urgent\"", 0, 0x0021, 0, 2, 77, 2},
        {"APCI=\"Send\" Priority=\"\"", 0, 0x0021, 0, 1, 0, 2},
        {"Length=\"\"", 0, 0x0021, 0, 3, 128, 1},
        {"Length=\"258\"", 0, 0x0021, 0, 3, 128, 2},
    };
    for (const Case& c : cases) {
        Loaded l(KnxFile(Row(QString::fromLatin1(c.Attrs))));
        ASSERT_EQ(l.Count(), 1) << c.Attrs;
        const TKNX_Record& r = l.Rec(0);
        EXPECT_EQ(r.Poll_Time, c.Poll) << c.Attrs;
        EXPECT_EQ(r.Flags, c.Flags) << c.Attrs;
        EXPECT_EQ(r.Position, c.Position) << c.Attrs;
        EXPECT_EQ(r.Priority, c.Priority) << c.Attrs;
        EXPECT_EQ(r.RW_Code, c.RW) << c.Attrs;
        EXPECT_EQ(r.Length, c.Length) << c.Attrs;
    }
}

TEST(KnxTable, DmxOutputRowsNeitherWriteNorReactToCommands)
{
    // A DMX model whose input channel count is 0 (direction "OUT").
    Loaded dmx(KnxFile(Row(QStringLiteral("On_Command=\"Y\""))), 11);
    ASSERT_EQ(dmx.Count(), 1);
    EXPECT_EQ(dmx.Rec(0).RW_Code, 0);
    EXPECT_EQ(dmx.Rec(0).Flags, 0x0020);
    // The same row for model 9 keeps them.
    Loaded j1939(KnxFile(Row(QStringLiteral("On_Command=\"Y\""))), 9);
    EXPECT_EQ(j1939.Rec(0).RW_Code, 128);
    EXPECT_EQ(j1939.Rec(0).Flags, 0x0029);
}

TEST(KnxTable, RowsLackingAnAttributeReadWithoutFallbackAreRefused)
{
    for (const char* name : {"APCI", "Priority", "Extended", "Destination_Address", "ReTest", "Source_Address",
                             "On_Change", "Bit_Mode", "Position", "Length"}) {
        const QString file = KnxFile(Row() + Row(QStringLiteral("-%1 ").arg(QLatin1String(name))));
        const QString msg = Message([&] { Loaded l(file); });
        EXPECT_TRUE(msg.contains(QLatin1String("KNX_SetAccess.xml")) && msg.contains(QLatin1String("row 2"))
                    && msg.contains(QLatin1String(name)))
            << name << ": " << msg.toStdString();
    }
    // A row that is not enabled is not read further.
    Loaded skipped(KnxFile(QStringLiteral("<row Enable=\"N\"/>")));
    EXPECT_EQ(skipped.Count(), 0);
}

TEST(KnxTable, AFileWithoutItsWriteListIsRefused)
{
    const QString msg = Message([] { Loaded l(QStringLiteral("<BACnet_to_KNX><KNX_in_Read/></BACnet_to_KNX>")); });
    EXPECT_TRUE(msg.contains(QLatin1String("KNX_in_Write"))) << msg.toStdString();
}

TEST(KnxTable, NoMoreObjectsThanTheTableHolds)
{
    QString full;
    for (int i = 0; i < 1024; ++i)
        full += Row(QStringLiteral("Length=\"%1\"").arg(i % 200));
    Loaded l(KnxFile(full + Row(QStringLiteral("Enable=\"N\""))));
    EXPECT_EQ(l.Count(), 1024);
    EXPECT_EQ(l.Rec(1023).Length, 1023 % 200);

    const QString msg = Message([&] { Loaded over(KnxFile(full + Row())); });
    EXPECT_TRUE(msg.contains(QLatin1String("KNX object table"))) << msg.toStdString();
}

TEST(KnxTable, WithoutTheFileTheTableIsEmpty)
{
    TTestProject p;
    TBinBuffer buffer;
    TImageBuild build(p.Dir(), 9, buffer);
    build.KNX_Table.Record[3].Length = 9;
    build.KNX_Table.Init_KNX_Table();
    Load_KNX_Table(build);
    EXPECT_EQ(build.KNX_Table.KNX_Object_Count, 0);
    buffer.Bin_Count = 100;
    Save_KNX_Table(build);
    EXPECT_EQ(buffer.Bin_Count, 100 + 20480);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.Data()) + 100, 20480), QByteArray(20480, '\0'));
}
