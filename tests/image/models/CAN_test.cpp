// The CAN image: the frame table of receive and send frames in front of the
// KNX table and the general block.
#include "ModelTestUtil.h"

#include "image/Bin_CAN.h"

using namespace modeltest;

namespace {

constexpr int Block = 53248;

QString Frames(const char* root, const QStringList& rows)
{
    QString xml = QStringLiteral("<%1>").arg(QLatin1String(root));
    for (const QString& r : rows)
        xml += QStringLiteral("<row %1/>").arg(r);
    return xml + QStringLiteral("</%1>").arg(QLatin1String(root));
}

QString Receive(const QStringList& rows)
{
    return Frames("Receive_Frames", rows);
}

QString Send(const QStringList& rows)
{
    return Frames("Transmit_Frames", rows);
}

TBytes EmptyRecord()
{
    TBytes b;
    b.fill(16, 0).fill(16, 0xFF);
    return b;
}

QByteArray BuildCAN(const TProject& p)
{
    return Build_Image(p.Path(), 5).Bank;
}

} // namespace

TEST(CANImage, EmptyProjectGivesEmptyRecords)
{
    TProject p;
    const QByteArray b = BuildCAN(p);
    ASSERT_EQ(b.size(), 55296);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(b.mid(32 * i, 32), EmptyRecord().Get()) << "record " << i;
    EXPECT_EQ(LE(b, Block + 112, 4), 0u);
    EXPECT_EQ(LE(b, Block + 200, 4), 0x5B000u);
    EXPECT_EQ(b.mid(32768, 20480), QByteArray(20480, 0));
}

TEST(CANImage, ReceiveAndSendRecords)
{
    TProject p;
    p.Write(QStringLiteral("CAN_Rec_Frames.xml"),
            Receive({QStringLiteral("Enable=\"Y\" COBID=\"256\" CAN_Type=\" 2.0B (29 bits) \" Dim=\"3\" TimeOut=\"1500\" "
                                    "Byte1=\"0\" Byte2=\"1\" Byte3=\"2\" Byte4=\"3\" Byte5=\"7\" Byte6=\"\" Mnemonic=\"m\""),
                     QStringLiteral("Enable=\"N\" COBID=\"1\""),
                     QStringLiteral("COBID=\"0x7FF\" CAN_Type=\"2.0A (11 bits)\" Byte1=\"x\" Byte8=\"40\"")}));
    p.Write(QStringLiteral("CAN_Send_Frames.xml"),
            Send({QStringLiteral("Enable=\" y \" COBID=\"18\" CAN_Type=\"2.0A (11 bits)\" Dim=\"2\" OnChange=\"Y\" "
                                 "OnCMD=\"N\" OnTimer=\"y\" Time=\"100\" Byte1=\"20\" Byte2=\"21\" Byte3=\"22\""),
                  QStringLiteral("COBID=\"19\" Dim=\"1\" OnCMD=\"Y\" Byte1=\"30\"")}));
    const QByteArray b = BuildCAN(p);
    ASSERT_EQ(b.size(), 55296);

    TBytes r0;
    r0.u32(0x80000100).u32(0).u32(1500).u8(0).u8(0).u8(3).u8(0).u16(0).u16(1).u16(2);
    for (int k = 4; k <= 8; ++k)
        r0.u16(0xFFFF);
    EXPECT_EQ(Hex(b.mid(0, 32)), Hex(r0)) << "bytes past Dim carry nothing";

    TBytes r1;
    r1.u32(0x7FF).u32(0).u32(0).u8(0).u8(0).u8(8).u8(0).u16(0xFFFF);
    for (int k = 2; k <= 7; ++k)
        r1.u16(0xFFFF);
    r1.u16(40);
    EXPECT_EQ(Hex(b.mid(32, 32)), Hex(r1)) << "a row without Enable and Dim is used with 8 bytes";

    TBytes s0;
    s0.u32(18).u32(100).u32(0).u8(0).u8(0x07).u8(2).u8(0).u16(20).u16(21);
    for (int k = 3; k <= 8; ++k)
        s0.u16(0xFFFF);
    EXPECT_EQ(Hex(b.mid(64, 32)), Hex(s0));
    EXPECT_EQ(uint8_t(b[96 + 13]), 0x09) << "send frame and OnCMD";
    EXPECT_EQ(b.mid(128, 32), EmptyRecord().Get());
    EXPECT_EQ(LE(b, Block + 112, 4), 4u);
    EXPECT_EQ(LE(b, Block + 2044, 4), ByteSum(b, Block, 2044));
}

TEST(CANImage, GeneralParameters)
{
    struct Case {
        QMap<QString, QString> changed;
        QStringList removed;
        int offset;
        int bytes;
        uint32_t expected;
    } cases[] = {
        {{}, {}, 0, 4, 1000000},
        {{{"CAN_BAUDRATE", "3"}}, {}, 0, 4, 62500},
        {{{"CAN_BAUDRATE", "8"}}, {}, 0, 4, 800000},
        {{{"CAN_BAUDRATE", "12"}}, {}, 0, 4, 1000000},
        {{}, {"KNX_ID_DEV"}, 462, 2, 36865},
        {{}, {}, 462, 2, 4552},
        {{{"Modbus_TCP_Slave_SM4", "128"}}, {}, 47, 1, 128},
    };
    for (const Case& c : cases) {
        TProject p;
        p.WriteParGen(5, c.changed, c.removed);
        const QByteArray b = BuildCAN(p);
        EXPECT_EQ(LE(b, Block + c.offset, c.bytes), c.expected) << "offset " << c.offset;
    }
}

TEST(CANImage, MoreFramesThanTheTableHoldsIsAnError)
{
    QStringList rec, send;
    for (int i = 0; i < 512; ++i) {
        rec << QStringLiteral("COBID=\"%1\"").arg(i);
        send << QStringLiteral("COBID=\"%1\"").arg(i);
    }
    TProject p;
    p.Write(QStringLiteral("CAN_Rec_Frames.xml"), Receive(rec));
    p.Write(QStringLiteral("CAN_Send_Frames.xml"), Send(send));
    EXPECT_EQ(LE(BuildCAN(p), Block + 112, 4), 1024u);
    send << QStringLiteral("Enable=\"N\"");
    p.Write(QStringLiteral("CAN_Send_Frames.xml"), Send(send));
    EXPECT_EQ(LE(BuildCAN(p), Block + 112, 4), 1024u) << "a disabled row takes no room";
    send << QStringLiteral("COBID=\"9\"");
    p.Write(QStringLiteral("CAN_Send_Frames.xml"), Send(send));
    try {
        BuildCAN(p);
        FAIL() << "no error";
    } catch (const EImageError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("CAN_Send_Frames.xml"))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("CAN table"))) << e.Message().toStdString();
    }
}

TEST(CANImage, OnlyEnableIsTrimmedAndOnlyOfBlanksAndControlCharacters)
{
    // Each row sends one frame; its flags byte (offset 13) shows which of the
    // three send flags the builder took.
    const struct {
        const char* attrs;
        bool used;
        uint8_t flags;
    } cases[] = {
        {"Enable=\" Y\" OnCMD=\" Y\"", true, 0x01},            // Enable trimmed, OnCMD not
        {"Enable=\"y\" OnChange=\"y\" OnTimer=\"Y\"", true, 0x07},
        {"Enable=\"\u00a0Y\" OnChange=\"Y\"", false, 0},         // a no-break space is no blank
        {"Enable=\"\u3000Y\"", false, 0},                       // nor an ideographic space
        {"Enable=\"\tY\r\" OnTimer=\"Y \"", true, 0x01},
        {"OnCMD=\"y\"", true, 0x09},                            // no Enable: used
    };
    for (const auto& c : cases) {
        TProject p;
        p.Write(QStringLiteral("CAN_Send_Frames.xml"),
                Send({QStringLiteral("COBID=\"1\" CAN_Type=\"2.0A (11 bits)\" Dim=\"1\" Time=\"0\" Byte1=\"0\" ")
                      + QString::fromUtf8(c.attrs)}));
        const QByteArray b = BuildCAN(p);
        EXPECT_EQ(LE(b, Block + 112, 4), c.used ? 1u : 0u) << c.attrs;
        if (c.used) {
            EXPECT_EQ(uint8_t(b[13]), c.flags) << c.attrs;
        }
    }
}
