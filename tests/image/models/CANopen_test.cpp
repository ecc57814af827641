// The CANopen image: six tables of one record type read from the SDO server,
// SDO client and PDO files with no fallbacks, then the KNX table and the
// general block.
#include "ModelTestUtil.h"

#include "project/Models.h"
#include "project/OpenProject.h"
#include "image/Bin_CANopen.h"

using namespace modeltest;

namespace {

constexpr int Block = 77824;
// Image offsets of the six tables.
constexpr int ServerRead = 0;
constexpr int ServerWrite = 16384;
constexpr int ClientRead = 32768;
constexpr int ClientWrite = 40960;
constexpr int ReceivePDO = 49152;
constexpr int TransmitPDO = 53248;

QString Rows(const QStringList& rows)
{
    QString xml;
    for (const QString& r : rows)
        xml += QStringLiteral("<row %1/>").arg(r);
    return xml;
}

QString Lists(const char* root, const char* first, const QStringList& a, const char* second, const QStringList& b)
{
    return QStringLiteral("<%1><%2>%3</%2><%4>%5</%4></%1>")
        .arg(QLatin1String(root), QLatin1String(first), Rows(a), QLatin1String(second), Rows(b));
}

QString Server(const QStringList& read, const QStringList& write)
{
    return Lists("SDO_Server_CANopen", "SDO_Read", read, "SDO_Write", write);
}

QString Client(const QStringList& read, const QStringList& write)
{
    return Lists("SDO_Client_CANopen", "SDO_Read", read, "SDO_Write", write);
}

QString Pdo(const QStringList& receive, const QStringList& transmit)
{
    return Lists("PDO_CANopen", "Receive_PDO", receive, "Transmit_PDO", transmit);
}

TBytes EmptyRecord()
{
    TBytes b;
    b.fill(12, 0).fill(16, 0xFF).fill(4, 0);
    return b;
}

QByteArray BuildCANopen(const TProject& p)
{
    return Build_Image(p.Path(), 6).Bank;
}

} // namespace

TEST(CANopenImage, NoFilesGiveEmptyTables)
{
    TProject p;
    const QByteArray b = BuildCANopen(p);
    ASSERT_EQ(b.size(), 79872);
    for (int i = 0; i < 1792; ++i)
        ASSERT_EQ(b.mid(32 * i, 32), EmptyRecord().Get()) << "record " << i;
    EXPECT_EQ(b.mid(57344, 20480), QByteArray(20480, 0));
    EXPECT_EQ(b.mid(Block + 172, 24), QByteArray(24, 0));
    TBytes addresses;
    addresses.u32(0x55000).u32(0x59000).u32(0x5D000).u32(0x5F000).u32(0x61000).u32(0x62000);
    EXPECT_EQ(Hex(b.mid(Block + 224, 24)), Hex(addresses));
    EXPECT_EQ(LE(b, Block + 2044, 4), 5176u);
}

TEST(CANopenImage, SdoRecords)
{
    TProject p;
    p.Write(QStringLiteral("SDO_Server_CANopen.xml"),
            Server({QStringLiteral("Index=\"8192\" SubIndex=\"1\" NByte=\"4\" Address_B1=\"10\" Address_B2=\"11\" "
                                   "Address_B3=\"12\" Address_B4=\"13\" Mnemonic=\"a\""),
                    QStringLiteral("Index=\"0x2001\" SubIndex=\"10\" NByte=\"1\" Address_B1=\"20\"")},
                   {QStringLiteral("Index=\"24575\" SubIndex=\"255\" NByte=\"2\" Address_B1=\"30\" Address_B2=\"31\" "
                                   "Address_B3=\"99\"")}));
    p.Write(QStringLiteral("SDO_Client_CANopen.xml"),
            Client({QStringLiteral("Index=\"12288\" SubIndex=\"0\" Device_ID=\"5\" Poll_Time=\"1000\" NByte=\"1\" "
                                   "Address_B1=\"40\" On_Change=\"Y\"")},
                   {QStringLiteral("Index=\"12289\" SubIndex=\"2\" Device_ID=\"127\" Poll_Time=\"4294967295\" "
                                   "NByte=\"2\" Address_B1=\"50\" Address_B2=\"51\" On_Change=\"Y\""),
                    QStringLiteral("Index=\"12290\" SubIndex=\"3\" Device_ID=\"6\" Poll_Time=\"0\" NByte=\"1\" "
                                   "Address_B1=\"52\" On_Change=\"N\"")}));
    const QByteArray b = BuildCANopen(p);
    ASSERT_EQ(b.size(), 79872);

    TBytes s0;
    s0.u32(0).u16(8192).u8(1).u8(0).u32(0).fill(8, 0).u16(10).u16(11).u16(12).u16(13).u8(4).u8(0).u16(0);
    EXPECT_EQ(Hex(b.mid(ServerRead, 32)), Hex(s0));
    TBytes s1;
    s1.u32(0).u16(0x2001).u8(10).u8(0).u32(0).fill(8, 0).u16(20).u16(0).u16(0).u16(0).u8(1).u8(0).u16(0);
    EXPECT_EQ(Hex(b.mid(ServerRead + 32, 32)), Hex(s1));
    EXPECT_EQ(b.mid(ServerRead + 64, 32), EmptyRecord().Get());
    TBytes w0;
    w0.u32(0).u16(24575).u8(255).u8(0).u32(0).fill(8, 0).u16(30).u16(31).u16(0).u16(0).u8(2).u8(1).u16(0);
    EXPECT_EQ(Hex(b.mid(ServerWrite, 32)), Hex(w0)) << "addresses past NByte are 0, not 0xFFFF";

    TBytes c0;
    c0.u32(0).u16(12288).u8(0).u8(5).u32(1000).fill(8, 0).u16(40).u16(0).u16(0).u16(0).u8(1).u8(0).u16(0);
    EXPECT_EQ(Hex(b.mid(ClientRead, 32)), Hex(c0)) << "a read row is mode 0 whatever On_Change holds";
    TBytes c1;
    c1.u32(0).u16(12289).u8(2).u8(127).u32(0xFFFFFFFF).fill(8, 0).u16(50).u16(51).u16(0).u16(0).u8(2).u8(3).u16(0);
    EXPECT_EQ(Hex(b.mid(ClientWrite, 32)), Hex(c1));
    EXPECT_EQ(uint8_t(b[ClientWrite + 32 + 29]), 1);

    TBytes counts;
    counts.u32(2).u32(1).u32(1).u32(2).u32(0).u32(0);
    EXPECT_EQ(Hex(b.mid(Block + 172, 24)), Hex(counts));
    EXPECT_EQ(LE(b, Block + 2044, 4), ByteSum(b, Block, 2044));
}

TEST(CANopenImage, PdoRecords)
{
    TProject p;
    p.Write(QStringLiteral("PDO_CANopen.xml"),
            Pdo({QStringLiteral("COB-ID=\"0x201\" TimeOut=\"500\" Dimension=\"3\" Address_B1=\"1\" Address_B2=\"2\" "
                                "Address_B3=\"3\" Address_B4=\"4\"")},
                {QStringLiteral("COB-ID=\"385\" Send_Time=\"100\" Dimension=\"8\" Address_B1=\"10\" Address_B2=\"11\" "
                                "Address_B3=\"12\" Address_B4=\"13\" Address_B5=\"14\" Address_B6=\"15\" "
                                "Address_B7=\"16\" Address_B8=\"17\" On_Change=\"y\""),
                 QStringLiteral("COB-ID=\"386\" Send_Time=\"0\" Dimension=\"1\" Address_B1=\"20\" On_Change=\"N\"")}));
    const QByteArray b = BuildCANopen(p);
    TBytes r0;
    r0.u32(513).u16(0).u8(0).u8(0).u32(500).u16(1).u16(2).u16(3).fill(10, 0).u8(3).u8(0).u16(0);
    EXPECT_EQ(Hex(b.mid(ReceivePDO, 32)), Hex(r0));
    TBytes t0;
    t0.u32(385).u16(0).u8(0).u8(0).u32(100);
    for (int k = 10; k <= 17; ++k)
        t0.u16(uint32_t(k));
    t0.u8(8).u8(3).u16(0);
    EXPECT_EQ(Hex(b.mid(TransmitPDO, 32)), Hex(t0));
    EXPECT_EQ(uint8_t(b[TransmitPDO + 32 + 29]), 1);
    EXPECT_EQ(b.mid(TransmitPDO + 64, 32), EmptyRecord().Get());
    EXPECT_EQ(LE(b, Block + 188, 4), 1u);
    EXPECT_EQ(LE(b, Block + 192, 4), 2u);
}

TEST(CANopenImage, GeneralParameters)
{
    struct Case {
        QMap<QString, QString> changed;
        QStringList removed;
        int offset;
        uint32_t expected;
    } cases[] = {
        {{{"CANopen_Delay", "5"}}, {}, 164, 5000},
        {{}, {"CANopen_Delay"}, 164, 10000},
        {{}, {}, 164, 0},
        {{}, {"CANopen_BAUDRATE"}, 0, 1000000},
        {{}, {}, 0, 250000},
        {{{"CANopen_BAUDRATE", "3"}}, {}, 0, 100000},
        {{{"CANopen_BAUDRATE", "9"}}, {}, 0, 1000000},
        {{{"CANopen_IDDev", "42"}}, {}, 156, 42},
        {{}, {"CANopen_IDDev"}, 156, 1},
        {{{"CANopen_Set_Operational", "1"}}, {}, 160, 1},
        {{{"CANopen_Set_Operational", "1"}, {"CANopen_Network_Start", "1"}}, {}, 160, 3},
        {{{"CANopen_Network_Start", "true"}}, {}, 160, 0},
        {{}, {"CANopen_SDO_TimeOut"}, 168, 10000},
        {{{"CANopen_SDO_TimeOut", "250"}}, {}, 168, 250},
        {{}, {"KNX_ID_DEV"}, 462, 36865},
    };
    for (const Case& c : cases) {
        TProject p;
        p.WriteParGen(6, c.changed, c.removed);
        const QByteArray b = BuildCANopen(p);
        const int bytes = c.offset == 462 ? 2 : 4;
        EXPECT_EQ(LE(b, Block + c.offset, bytes), c.expected) << "offset " << c.offset;
    }
}

TEST(CANopenImage, FilesTheBuilderCannotReadAreErrors)
{
    struct Case {
        const char* file;
        QString text;
        const char* mention;
    } cases[] = {
        {"PDO_CANopen.xml", QStringLiteral("<PDO_CANopen><Receive_PDO/></PDO_CANopen>"), "Transmit_PDO"},
        {"SDO_Server_CANopen.xml", QStringLiteral("<SDO_Server_CANopen><SDO_Write/></SDO_Server_CANopen>"), "SDO_Read"},
        {"SDO_Server_CANopen.xml",
         Server({QStringLiteral("Index=\"8192\" SubIndex=\"1\" NByte=\"2\" Address_B1=\"1\"")}, {}), "Address_B2"},
        {"SDO_Client_CANopen.xml",
         Client({}, {QStringLiteral("Index=\"8192\" SubIndex=\"1\" Device_ID=\"1\" Poll_Time=\"0\" NByte=\"1\" "
                                    "Address_B1=\"1\"")}),
         "On_Change"},
        {"SDO_Client_CANopen.xml",
         Client({QStringLiteral("Index=\"8192\" SubIndex=\"1\" Device_ID=\"x\" Poll_Time=\"0\" NByte=\"1\" "
                                "Address_B1=\"1\"")},
                {}),
         "Device_ID"},
        {"PDO_CANopen.xml", Pdo({QStringLiteral("COB-ID=\"1 \" TimeOut=\"0\" Dimension=\"1\" Address_B1=\"1\"")}, {}),
         "COB-ID"},
        {"PDO_CANopen.xml", Pdo({QStringLiteral("COB-ID=\"1\" TimeOut=\"0\" Dimension=\"1\" Address_B1=\"1\"")}, {}),
         nullptr},
    };
    for (const Case& c : cases) {
        TProject p;
        p.Write(QString::fromLatin1(c.file), c.text);
        if (!c.mention) {
            EXPECT_NO_THROW(BuildCANopen(p)) << "a well-formed file";
            continue;
        }
        try {
            BuildCANopen(p);
            ADD_FAILURE() << c.file << " " << c.mention << ": no error";
        } catch (const EImageError& e) {
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.file))) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.mention))) << e.Message().toStdString();
        }
    }
}

TEST(CANopenImage, AnErrorWritesNoBankFile)
{
    TProject p;
    const int saved = Model_Code;
    Model_Code = 6;
    Dir_Project = p.Path();
    Set_Files();
    ASSERT_EQ(Build_Bin(), TBuildStatus::Built);
    ASSERT_TRUE(Write_Bin());
    const QByteArray before = p.ReadBin(QStringLiteral("bank.bin"));
    ASSERT_EQ(before.size(), 79872);

    p.Write(QStringLiteral("PDO_CANopen.xml"),
            QStringLiteral("<PDO_CANopen><Receive_PDO><row COB-ID=\"1\" TimeOut=\"0\" Dimension=\"1\" "
                           "Address_B1=\"1\"/></Receive_PDO></PDO_CANopen>"));
    EXPECT_THROW(Build_Bin(), EImageError);
    EXPECT_FALSE(Write_Bin());
    EXPECT_EQ(p.ReadBin(QStringLiteral("bank.bin")), before);
    Model_Code = saved;
    Dir_Project.clear();
    Set_Files();
}

TEST(CANopenImage, ListsLongerThanTheirTablesAreErrors)
{
    const QString row = QStringLiteral("COB-ID=\"1\" TimeOut=\"0\" Dimension=\"1\" Address_B1=\"1\"");
    QStringList rows;
    for (int i = 0; i < 128; ++i)
        rows << row;
    TProject p;
    p.Write(QStringLiteral("PDO_CANopen.xml"), Pdo(rows, {}));
    EXPECT_EQ(LE(BuildCANopen(p), Block + 188, 4), 128u);
    rows << row;
    p.Write(QStringLiteral("PDO_CANopen.xml"), Pdo(rows, {}));
    try {
        BuildCANopen(p);
        FAIL() << "no error";
    } catch (const EImageError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("receive PDO"))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("128"))) << e.Message().toStdString();
    }
}
