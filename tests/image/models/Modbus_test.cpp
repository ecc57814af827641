// The Modbus images: the masters' request table (function codes, sizes,
// flags, TCP addresses) and the general parameters of the four models.
#include "ModelTestUtil.h"

#include "project/Models.h"
#include "project/OpenProject.h"
#include "image/Bin_Modbus.h"

using namespace modeltest;

namespace {

constexpr int MasterBlock = 53248;
constexpr int SlaveBlock = 20480;

QString Row(const QString& attrs)
{
    return QStringLiteral("<row %1/>").arg(attrs);
}

// A row with every attribute the editor writes; `extra` comes last and
// overrides nothing, so cases give only what they vary.
QString ReadRow(const QString& type, int nPoint, const QString& extra = QString(), int slave = 1)
{
    return Row(QStringLiteral("Enable=\"Y\" Slave_ID=\"%1\" Address=\"100\" NPoint=\"%2\" Type=\"%3\" PollTime=\"500\" "
                              "MaxError=\"3\" Position=\"10\" Bit=\"2\" %4")
                   .arg(slave)
                   .arg(nPoint)
                   .arg(type, extra));
}

QString WriteRow(const QString& type, int nPoint, const QString& extra = QString(), int slave = 1)
{
    return Row(QStringLiteral("Enable=\"Y\" Slave_ID=\"%1\" Address=\"100\" NPoint=\"%2\" Type=\"%3\" PollTime=\"500\" "
                              "MaxError=\"3\" Position=\"10\" Bit=\"2\" OnChange=\"N\" %4")
                   .arg(slave)
                   .arg(nPoint)
                   .arg(type, extra));
}

QString Table(const QString& root, const QStringList& reads, const QStringList& writes)
{
    return QStringLiteral("<%1><Modbus_Read>%2</Modbus_Read><Modbus_Write>%3</Modbus_Write></%1>")
        .arg(root, reads.join(QString()), writes.join(QString()));
}

QString RtuTable(const QStringList& reads, const QStringList& writes)
{
    return Table(QStringLiteral("EtherNetIP_to_Modbus"), reads, writes);
}

QString TcpTable(const QStringList& reads, const QStringList& writes)
{
    return Table(QStringLiteral("PROFINET_Master_to_Modbus_TCP_Master"), reads, writes);
}

QByteArray Record(const QByteArray& image, int n)
{
    return image.mid(32 * n, 32);
}

} // namespace

TEST(ModbusImage, FunctionCodesAndDataSizes)
{
    struct Case {
        bool write;
        const char* type;
        int nPoint;
        int rtuFunction;
        int tcpFunction;
        int size; // for the RTU function
    } cases[] = {
        {false, "Coil Status", 10, 1, 1, 2},
        {false, "Input Status", 9, 2, 2, 2},
        {false, "Holding Register", 4, 3, 3, 8},
        {false, "INPUT REGISTER", 200, 4, 4, 144},
        {false, "Register", 2, 4, 0, 4},
        {true, "Holding Register", 1, 6, 6, 2},
        {true, "Holding Register", 3, 16, 16, 6},
        {true, "Coil Status", 1, 5, 5, 1},
        {true, "Coil Status", 17, 15, 15, 3},
        {true, "Input Register", 1, 6, 0, 2},
        {true, "Input Status", 4, 16, 0, 8},
    };
    for (const Case& c : cases) {
        const QString type = QString::fromLatin1(c.type);
        // The RTU master does not read the slave's address.
        const QString ip = QStringLiteral("IP_Address=\"1.2.3.4\"");
        const QString row = c.write ? WriteRow(type, c.nPoint, ip) : ReadRow(type, c.nPoint, ip);
        TProject p;
        p.Write(QStringLiteral("ModbusM_SetAccess.xml"),
                RtuTable(c.write ? QStringList() : QStringList{row}, c.write ? QStringList{row} : QStringList()));
        p.Write(QStringLiteral("ModbusTCPM_SetAccess.xml"),
                TcpTable(c.write ? QStringList() : QStringList{row}, c.write ? QStringList{row} : QStringList()));
        const QByteArray rtu = Build_Image(p.Path(), 1).Bank;
        const QByteArray tcp = Build_Image(p.Path(), 3).Bank;
        EXPECT_EQ(uint8_t(rtu[9]), c.rtuFunction) << c.type << " " << c.nPoint;
        EXPECT_EQ(uint8_t(rtu[30]), c.size) << c.type << " " << c.nPoint;
        EXPECT_EQ(uint8_t(tcp[9]), c.tcpFunction) << c.type << " " << c.nPoint;
    }
}

TEST(ModbusImage, TypeIsTrimmedByTheRtuMasterOnly)
{
    TProject p;
    const QString row = ReadRow(QStringLiteral(" Coil Status "), 8, QStringLiteral("IP_Address=\"1.2.3.4\""));
    p.Write(QStringLiteral("ModbusM_SetAccess.xml"), RtuTable({row}, {}));
    p.Write(QStringLiteral("ModbusTCPM_SetAccess.xml"), TcpTable({row}, {}));
    EXPECT_EQ(uint8_t(Build_Image(p.Path(), 1).Bank[9]), 1);
    EXPECT_EQ(uint8_t(Build_Image(p.Path(), 3).Bank[9]), 0);
}

TEST(ModbusImage, RtuRecordLayout)
{
    TProject p;
    p.Write(QStringLiteral("ModbusM_SetAccess.xml"),
            RtuTable({ReadRow(QStringLiteral("Holding Register"), 2, QStringLiteral("Swap=\"Y\""))},
                     {Row(QStringLiteral("Slave_ID=\"258\" Address=\"40001\" NPoint=\"1\" Type=\"Coil Status\" "
                                         "PollTime=\"4294967295\" MaxError=\"7\" Position=\"300\" Bit=\"5\" "
                                         "OnChange=\" y \" OnCMD=\"Y\" Swap=\"y\""))}));
    const QByteArray b = Build_Image(p.Path(), 1).Bank;
    ASSERT_EQ(b.size(), 55296);
    TBytes read;
    read.u16(10).u16(0).u32(500).u8(1).u8(3).u16(100).u16(2).u16(0).u32(0).u32(0).u32(3).u16(0).u8(4).u8(0x04);
    EXPECT_EQ(Hex(Record(b, 0)), Hex(read)) << "a register function keeps no bit";
    TBytes write;
    write.u16(300).u16(5).u32(0xFFFFFFFF).u8(2).u8(5).u16(40001).u16(1).u16(0).u32(0).u32(0).u32(7).u16(0).u8(1).u8(0x11);
    EXPECT_EQ(Hex(Record(b, 1)), Hex(write)) << "slave 258 cut to a byte; lower-case swap does not count";
    EXPECT_EQ(Record(b, 2), QByteArray(32, 0));
    EXPECT_EQ(LE(b, MasterBlock + 72, 4), 2u);
    EXPECT_EQ(LE(b, MasterBlock + 196, 4), 0x5B000u);
    EXPECT_EQ(LE(b, MasterBlock + 2044, 4), ByteSum(b, MasterBlock, 2044));
}

TEST(ModbusImage, TcpRecordCarriesTheSlaveAddressAndPort)
{
    TProject p;
    p.Write(QStringLiteral("ModbusTCPM_SetAccess.xml"),
            TcpTable({ReadRow(QStringLiteral("Holding Register"), 2,
                              QStringLiteral("IP_Address=\"192.168.0.20\" Swap=\"y\"")),
                      ReadRow(QStringLiteral("Input Register"), 1,
                              QStringLiteral("IP_Address=\" 10 . 1.2.3.4\" Port=\"1502\""))},
                     {WriteRow(QStringLiteral("Coil Status"), 1,
                               QStringLiteral("IP_Address=\"1.2.3.4\" Port=\"x\" Swap=\"y\""))}));
    const QByteArray b = Build_Image(p.Path(), 3).Bank;
    ASSERT_EQ(b.size(), 55296);
    const QByteArray r0 = Record(b, 0);
    EXPECT_EQ(LE(r0, 14, 2), 502u) << "no port";
    EXPECT_EQ(Hex(r0.mid(16, 4)), Hex(TBytes().bytes({20, 0, 168, 192})));
    EXPECT_EQ(LE(r0, 2, 2), 2u) << "the TCP master keeps the bit of every row";
    EXPECT_EQ(uint8_t(r0[31]), 0) << "read list compares Swap as written";
    const QByteArray r1 = Record(b, 1);
    EXPECT_EQ(LE(r1, 14, 2), 1502u);
    EXPECT_EQ(Hex(r1.mid(16, 4)), Hex(TBytes().bytes({0, 2, 1, 10}))) << "\"3.4\" is not a number";
    const QByteArray r2 = Record(b, 2);
    EXPECT_EQ(LE(r2, 14, 2), 502u) << "a port that is not a number";
    EXPECT_EQ(uint8_t(r2[31]), 0x04) << "write list folds the case of Swap";
}

TEST(ModbusImage, EnabledReadRowsThenEnabledWriteRows)
{
    TProject p;
    p.Write(QStringLiteral("ModbusM_SetAccess.xml"),
            RtuTable({ReadRow(QStringLiteral("Coil Status"), 1, QString(), 1),
                      Row(QStringLiteral("Enable=\"N\" Slave_ID=\"9\"")),
                      Row(QStringLiteral("Enable=\" y \" Slave_ID=\"2\" Address=\"0\" NPoint=\"1\" Type=\"Coil Status\" "
                                         "PollTime=\"0\" MaxError=\"0\" Position=\"0\" Bit=\"0\"")),
                      Row(QStringLiteral("Slave_ID=\"3\" Address=\"0\" NPoint=\"1\" Type=\"Coil Status\" "
                                         "PollTime=\"0\" MaxError=\"0\" Position=\"0\" Bit=\"0\""))},
                     {Row(QStringLiteral("Enable=\"Yes\" Slave_ID=\"9\"")),
                      WriteRow(QStringLiteral("Coil Status"), 1, QString(), 4),
                      WriteRow(QStringLiteral("Coil Status"), 1, QStringLiteral("Enable=\"N\""), 8).replace(
                          QStringLiteral("Enable=\"Y\" "), QString()),
                      WriteRow(QStringLiteral("Coil Status"), 1, QString(), 5)}));
    const QByteArray b = Build_Image(p.Path(), 1).Bank;
    EXPECT_EQ(LE(b, MasterBlock + 72, 4), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(uint8_t(b[32 * i + 8]), i + 1) << "record " << i;
    EXPECT_EQ(Record(b, 5), QByteArray(32, 0));
}

TEST(ModbusImage, SlaveImageIsTheKnxTableAndTheBlock)
{
    TProject p;
    p.Write(QStringLiteral("KNX_SetAccess.xml"), OneKnxWriteRow());
    for (int code : {2, 4}) {
        const QByteArray b = Build_Image(p.Path(), code).Bank;
        ASSERT_EQ(b.size(), 22528) << code;
        // The KNX row of the model-9 reading: 00000000 00000000 03 02 2100 8000 0a11 030a 0000.
        EXPECT_EQ(Hex(b.left(20)), Hex(TBytes().u32(0).u32(0).u8(3).u8(2).u16(0x21).u16(0x80).u16(0x110A).u16(0x0A03).u16(0)))
            << code;
        EXPECT_EQ(LE(b, SlaveBlock + 456, 4), 1u) << code;
    }
}

TEST(ModbusImage, GeneralParametersOfTheFourModels)
{
    struct Case {
        int code;
        QMap<QString, QString> changed;
        int offset;
        int bytes;
        uint32_t expected;
    } cases[] = {
        // Model 1: serial and master timing.
        {1, {}, 97, 1, 1},                                              // "RS232"
        {1, {{"ModbusM_SERIAL", "1"}}, 97, 1, 0},
        {1, {}, 400, 4, 115200},
        {1, {{"ModbusM_BAUDRATE", "3"}}, 400, 4, 9600},
        {1, {{"ModbusM_BAUDRATE", "x"}}, 400, 4, 115200},
        {1, {{"ModbusM_PARITY", "2"}}, 424, 1, 2},
        {1, {{"ModbusM_STOPBITS", "1"}}, 430, 1, 2},
        {1, {{"ModbusM_STOPBITS", "5"}}, 430, 1, 5},
        {1, {}, 32, 4, 1000},
        {1, {{"ModbusM_CYCLIC", "250"}}, 36, 4, 250},
        {1, {}, 462, 2, 4552},
        {1, {}, 40, 4, 0x0500A8C0},                                      // 192.168.0.5
        // Model 2: device ID and diagnostics.
        {2, {}, 24, 4, 10},
        {2, {{"MODBUS_SLAVE_IDDEVICE", "247"}}, 24, 4, 247},
        {2, {{"MODBUS_SLAVE_EN_DIAGNOSTIC", "1"}, {"MODBUS_SLAVE_DIAGNOSTIC_REG", "99"}}, 384, 4, 100},
        {2, {{"MODBUS_SLAVE_EN_DIAGNOSTIC", "0"}, {"MODBUS_SLAVE_DIAGNOSTIC_REG", "99"}}, 384, 4, 0},
        {2, {{"MODBUS_SLAVE_EN_DIAGNOSTIC", "1"}, {"MODBUS_SLAVE_DIAGNOSTIC_REG", "a"}}, 384, 4, 1},
        {2, {{"MODBUS_SLAVE_STOPBITS", "1"}}, 430, 1, 2},
        {2, {}, 196, 4, 0},                                              // no master table
        // Model 3: its own address keys and timing.
        {3, {{"Modbus_TCP_Master_IP4", "77"}}, 43, 1, 77},
        {3, {{"Modbus_TCP_Master_EN_GAT", "1"}}, 48, 4, 0x0100A8C0},
        {3, {{"Modbus_TCP_Master_TimeOut", "3000"}}, 32, 4, 3000},
        {3, {{"Modbus_TCP_Master_Cyclic", "7"}}, 36, 4, 7},
        // Model 4: port, copied, and diagnostics.
        {4, {}, 54, 2, 502},
        {4, {{"Modbus_TCP_Slave_Port", "1502"}}, 56, 2, 1502},
        {4, {{"Modbus_TCP_Slave_EN_DIAGNOSTIC", "1"}, {"Modbus_TCP_Slave_DIAGNOSTIC_REG", "0"}}, 384, 4, 1},
    };
    for (const Case& c : cases) {
        TProject p;
        p.WriteParGen(c.code, c.changed);
        const QByteArray b = Build_Image(p.Path(), c.code).Bank;
        const int block = (c.code == 1 || c.code == 3) ? MasterBlock : SlaveBlock;
        ASSERT_EQ(b.size(), block + 2048);
        EXPECT_EQ(LE(b, block + c.offset, c.bytes), c.expected)
            << "model " << c.code << " offset " << c.offset << " " << (c.changed.isEmpty() ? "" : c.changed.firstKey().toStdString());
        EXPECT_EQ(LE(b, block + 2044, 4), ByteSum(b, block, 2044));
    }
}

TEST(ModbusImage, RowsTheBuilderCannotUseAreErrors)
{
    struct Case {
        const char* what;
        QString table;
        const char* mention;
    } cases[] = {
        {"row without Slave_ID", RtuTable({Row(QStringLiteral("Address=\"0\" NPoint=\"1\" Type=\"Coil Status\" "
                                                             "PollTime=\"0\" MaxError=\"0\" Position=\"0\" Bit=\"0\""))},
                                          {}),
         "Slave_ID"},
        {"write row without OnChange",
         RtuTable({}, {ReadRow(QStringLiteral("Coil Status"), 1)}), "OnChange"},
        {"list missing", QStringLiteral("<EtherNetIP_to_Modbus><Modbus_Read/></EtherNetIP_to_Modbus>"), "Modbus_Write"},
    };
    for (const Case& c : cases) {
        TProject p;
        p.Write(QStringLiteral("ModbusM_SetAccess.xml"), c.table);
        try {
            Build_Image(p.Path(), 1);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const EImageError& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("ModbusM_SetAccess.xml"))) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.mention))) << e.Message().toStdString();
        }
    }
    TProject p;
    p.Write(QStringLiteral("ModbusTCPM_SetAccess.xml"), TcpTable({ReadRow(QStringLiteral("Coil Status"), 1)}, {}));
    EXPECT_THROW(Build_Image(p.Path(), 3), EImageError) << "a TCP row without IP_Address";
}

TEST(ModbusImage, MoreRowsThanTheTableHoldsIsAnError)
{
    QStringList reads, writes;
    for (int i = 0; i < 512; ++i) {
        reads << ReadRow(QStringLiteral("Coil Status"), 1);
        writes << WriteRow(QStringLiteral("Coil Status"), 1);
    }
    TProject p;
    p.Write(QStringLiteral("ModbusM_SetAccess.xml"), RtuTable(reads, writes));
    const QByteArray full = Build_Image(p.Path(), 1).Bank;
    EXPECT_EQ(LE(full, MasterBlock + 72, 4), 1024u);

    writes << WriteRow(QStringLiteral("Coil Status"), 1);
    p.Write(QStringLiteral("ModbusM_SetAccess.xml"), RtuTable(reads, writes));
    try {
        Build_Image(p.Path(), 1);
        FAIL() << "no error";
    } catch (const EImageError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Modbus table"))) << e.Message().toStdString();
    }
}

TEST(ModbusImage, ACountBeyondItsFieldIsRefusedAndNothingIsWritten)
{
    for (const char* nPoint : {"2147483647", "65536", "-1", "99999999999"}) {
        TProject p;
        p.Write(QStringLiteral("ModbusM_SetAccess.xml"),
                RtuTable({ReadRow(QStringLiteral("Coil Status"), 1), Row(QStringLiteral(
                    "Enable=\"Y\" Slave_ID=\"1\" Address=\"100\" NPoint=\"%1\" Type=\"Coil Status\" PollTime=\"500\" "
                    "MaxError=\"3\" Position=\"10\" Bit=\"2\"").arg(QLatin1String(nPoint)))}, {}));
        const int saved = Model_Code;
        Model_Code = 1;
        Dir_Project = p.Path();
        try {
            Write_Device_Image();
            ADD_FAILURE() << nPoint << ": no error";
        } catch (const EImageError& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("ModbusM_SetAccess.xml, row 2: the attribute \"NPoint\"")))
                << e.Message().toStdString();
        }
        Model_Code = saved;
        Dir_Project.clear();
        EXPECT_FALSE(p.HasBin(QStringLiteral("bank.bin"))) << nPoint;
    }
    // The largest count still builds; its byte count is cut to 8 bits.
    TProject p;
    p.Write(QStringLiteral("ModbusM_SetAccess.xml"), RtuTable({ReadRow(QStringLiteral("Holding Register"), 65535)}, {}));
    const QByteArray image = Build_Image(p.Path(), 1).Bank;
    EXPECT_EQ(LE(image, 12, 2), 65535u);
    EXPECT_EQ(uint8_t(image[30]), uint8_t(65535 * 2));
}
