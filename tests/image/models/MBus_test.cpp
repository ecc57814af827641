// The M-Bus images: bank1.bin (M-Bus general block, wireless node table, KNX
// table) and the bank2.bin stream of nodes, variables, texts and trailer.
#include "ModelTestUtil.h"

#include "project/Models.h"
#include "project/OpenProject.h"
#include "image/Bin_MBus.h"

using namespace modeltest;

namespace {

constexpr int Block = 0;
constexpr int NodeTable = 2048;
constexpr int KnxTable = 3072;

QString Var(const QString& attrs)
{
    return QStringLiteral("<Variabile %1/>").arg(attrs);
}

// A used 16-bit instantaneous variable.
QString Var16(const QString& extra = QString())
{
    return Var(QStringLiteral("Enable=\"1\" Type=\"0\" Fun_Field=\"0\" Dim=\"1\" ") + extra);
}

QString Node(const QString& attrs, const QStringList& vars)
{
    return QStringLiteral("<Nodo %1>%2</Nodo>").arg(attrs, vars.join(QString()));
}

QString Wired(int id, const QStringList& vars, const QString& extra = QString())
{
    return Node(QStringLiteral("Enable_Node=\"1\" MBus_Type=\"1\" Node_ID_Type=\"0\" ID=\"%1\" %2").arg(id).arg(extra),
                vars);
}

QString Wireless(const QString& attrs, const QStringList& vars)
{
    return Node(QStringLiteral("Enable_Node=\"1\" MBus_Type=\"2\" ") + attrs, vars);
}

QString Network(const QStringList& nodes)
{
    return QStringLiteral("<M-Bus_Network>%1</M-Bus_Network><!--SW_VERSION = 1.203-->").arg(nodes.join(QString()));
}

TImageResult BuildMBus(const TProject& p, int model = 10)
{
    return Build_Image(p.Path(), model);
}

// The 13-byte stream header.
TBytes Header(uint32_t wireless, uint32_t trailer)
{
    TBytes b;
    b.u8(64).u32(13).u32(wireless).u32(trailer);
    return b;
}

// The trailer of the dialog's default ParGen.xml for model 10 with the given
// node counts.
TBytes DefaultTrailer(int wired, int wireless)
{
    TBytes b;
    b.bytes({192, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 1}); // address, mask, gateway as typed
    b.u8(0);       // gateway not enabled
    b.u16(10001);
    b.u8(0);       // Meter_Baud "300"
    b.u8(2);       // Meter_Par "ODD"
    b.u8(0);
    b.u16(100);    // Meter_Req_Delay
    b.u8(uint32_t(wired)).u16(0);
    b.u8(0);       // Meter_NS_Error_Code
    b.u8(uint32_t(wireless)).u16(0);
    return b;
}

// The 23-byte header of a node read with its defaults.
TBytes NodeHeader(uint8_t idType, uint32_t id, int vars, uint32_t add, uint16_t addNS, uint16_t addIN,
                  uint8_t cutAfter)
{
    TBytes b;
    b.u8(idType).u32be(id).u16(uint32_t(vars)).u32(add);
    b.u8(0).u8(0);        // SND_NKE, Reset_App
    b.u8(0).u16(addNS);   // no node state
    b.u8(0).u16(addIN);   // no identification number
    b.u8(0).u8(0).u8(0);  // BCD, swap, by type
    b.u8(cutAfter);
    return b;
}

} // namespace

TEST(MBusImage, EmptyProjectGivesDefaultBlockAndBareHeader)
{
    TProject p;
    const TImageResult r = BuildMBus(p);
    ASSERT_EQ(r.Files, TBankFiles::Bank1_Bank2);
    ASSERT_EQ(r.Bank.size(), 23552);
    // Defaults with offset 59 at 64.
    EXPECT_EQ(LE(r.Bank, Block + 2044, 4), 5524u);
    EXPECT_EQ(ByteSum(r.Bank, Block, 2044), 5524u);
    EXPECT_EQ(uint8_t(r.Bank[Block + 59]), 64);
    EXPECT_EQ(LE(r.Bank, Block + 596, 4), 0x68800u);
    EXPECT_EQ(LE(r.Bank, Block + 604, 4), 0u) << "set only when ParGen.xml exists";
    EXPECT_EQ(r.Bank.mid(Block + 636, 96), QByteArray(96, 0)) << "the gap between the record's halves";
    EXPECT_EQ(r.Bank.mid(NodeTable, 1024 + 20480), QByteArray(1024 + 20480, 0));
    EXPECT_EQ(r.Bank2, Header(13, 13).Get());
}

TEST(MBusImage, DefaultParGenWithoutNetworkGivesFortyByteStream)
{
    TProject p;
    p.WriteParGen(10);
    const TImageResult r = BuildMBus(p);
    EXPECT_EQ(r.Bank2.size(), 40);
    EXPECT_EQ(Hex(r.Bank2), Hex(TBytes(Header(13, 13)).Get() + DefaultTrailer(0, 0).Get()));

    const QByteArray& b = r.Bank;
    ASSERT_EQ(b.size(), 23552);
    EXPECT_EQ(b.mid(Block + 40, 12), TBytes().bytes({192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255}).Get())
        << "gateway 255.255.255.255 while it is not enabled";
    EXPECT_EQ(LE(b, Block + 54, 2), 10001u);
    EXPECT_EQ(LE(b, Block + 56, 2), 10001u);
    EXPECT_EQ(LE(b, Block + 504, 4), 19200u);
    EXPECT_EQ(LE(b, Block + 508, 4), 300u);
    EXPECT_EQ(uint8_t(b[Block + 523]), 3) << "ODD";
    EXPECT_EQ(uint8_t(b[Block + 528]), 1);
    EXPECT_EQ(uint8_t(b[Block + 534]), 8);
    EXPECT_EQ(uint8_t(b[Block + 568]), 1) << "mode S1";
    EXPECT_EQ(TBytes().bytes({3, 5, 5}).Get(), b.mid(Block + 584, 3));
    EXPECT_EQ(LE(b, Block + 600, 4), 120000u);
    EXPECT_EQ(LE(b, Block + 604, 4), 0x68C00u);
    EXPECT_EQ(LE(b, Block + 608, 4), 0x6B400u);
    EXPECT_EQ(LE(b, Block + 622, 2), 4552u) << "1.1.200";
    EXPECT_EQ(LE(b, Block + 2044, 4), ByteSum(b, Block, 2044));
}

TEST(MBusImage, NodeOffsetsOfTwoWiredAndOneWirelessNode)
{
    TProject p;
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"),
            Network({Wired(5, {Var16(), Var16(), Var16()}), Wired(6, {Var16(), Var16()}),
                     Wireless(QStringLiteral("wMBus_ManID=\"4660\" wMBus_Add=\"305419896\" wMBus_Ver=\"7\" "
                                             "wMBus_DevType=\"3\" wMBus_En_Key=\"1\" wMBus_Key_1=\"17\" "
                                             "wMBus_Key_16=\"255\""),
                              {Var16()})}));
    const TImageResult r = BuildMBus(p);
    const QByteArray& s = r.Bank2;
    ASSERT_EQ(s.size(), 232 + 27);
    EXPECT_EQ(Hex(s.left(13)), Hex(Header(59, 232)));
    // Data addresses: 3 × 2 bytes, then 2 × 2, then the wireless node's.
    EXPECT_EQ(Hex(s.mid(13, 23)), Hex(NodeHeader(0, 5, 3, 82, 0, 0, 250)));
    EXPECT_EQ(Hex(s.mid(36, 23)), Hex(NodeHeader(0, 6, 2, 157, 6, 6, 250)));
    EXPECT_EQ(Hex(s.mid(59, 23)), Hex(NodeHeader(0, 305419896, 1, 207, 10, 10, 0)));
    const int dataAddresses[6] = {0, 2, 4, 6, 8, 10};
    for (int i = 0; i < 6; ++i) {
        const QByteArray rec = s.mid(82 + 25 * i, 25);
        EXPECT_EQ(LE(rec, 3, 2), uint32_t(dataAddresses[i])) << "variable " << i;
        EXPECT_EQ(uint8_t(rec[2]), 2) << "16 bit is data field code 2";
        EXPECT_EQ(LE(rec, 18, 4), 232u) << "no text: address of the end of the records";
        EXPECT_EQ(uint8_t(rec[22]), 1) << "Position defaults to 1";
    }
    EXPECT_EQ(Hex(s.mid(232)), Hex(DefaultTrailer(2, 1)));

    const QByteArray& b = r.Bank;
    EXPECT_EQ(uint8_t(b[Block + 564]), 1);
    TBytes wireless;
    wireless.u16(4660).u32(305419896).u8(7).u8(3).u8(17).fill(14, 0).u8(255).u8(1).fill(7, 0);
    EXPECT_EQ(Hex(b.mid(NodeTable, 32)), Hex(wireless));
    EXPECT_EQ(b.mid(NodeTable + 32, 31 * 32), QByteArray(31 * 32, 0));
}

TEST(MBusImage, PartnerModelBuildsTheSameImage)
{
    TProject p;
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"), Network({Wired(1, {Var16()})}));
    const TImageResult a = BuildMBus(p, 10);
    const TImageResult b = BuildMBus(p, 1010);
    EXPECT_EQ(a.Bank, b.Bank);
    EXPECT_EQ(a.Bank2, b.Bank2);
}

TEST(MBusImage, WithoutParGenNoNodeIsTaken)
{
    TProject p;
    p.Write(QStringLiteral("M_Bus.xml"), Network({Wired(5, {Var16()})}));
    EXPECT_EQ(BuildMBus(p).Bank2, Header(13, 13).Get());
}

TEST(MBusImage, PresenceOptionsSelectTheKindsOfNode)
{
    struct Case {
        const char* wire;
        const char* wireless;
        int wiredNodes;
        int wirelessNodes;
    } cases[] = {{"1", "1", 1, 1}, {"0", "1", 0, 1}, {"1", "0", 1, 0}, {"x", "2", 0, 0}};
    for (const Case& c : cases) {
        TProject p;
        p.WriteParGen(10, {{QStringLiteral("MBus_Options_Wire_Present"), QString::fromLatin1(c.wire)},
                           {QStringLiteral("MBus_Options_Wireless_Present"), QString::fromLatin1(c.wireless)}});
        p.Write(QStringLiteral("M_Bus.xml"),
                Network({Wired(5, {Var16()}), Wireless(QStringLiteral("wMBus_Add=\"9\""), {Var16()})}));
        const QByteArray s = BuildMBus(p).Bank2;
        const int nodes = c.wiredNodes + c.wirelessNodes;
        ASSERT_EQ(s.size(), 13 + 48 * nodes + 27) << c.wire << c.wireless;
        EXPECT_EQ(LE(s, 5, 4), uint32_t(13 + 23 * c.wiredNodes));
        EXPECT_EQ(uint8_t(s[s.size() - 7]), c.wiredNodes);
        EXPECT_EQ(uint8_t(s[s.size() - 3]), c.wirelessNodes);
    }
}

TEST(MBusImage, UnusedNodesLeaveNoTrace)
{
    // A node whose variables are all disabled, a disabled node and a node with
    // no variables: none takes a header, and the next node's data starts at 0.
    TProject p;
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"),
            Network({Wired(1, {Var(QStringLiteral("Enable=\"0\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\"")),
                               Var(QStringLiteral("Type=\"0\" Fun_Field=\"0\" Dim=\"2\""))}),
                     Node(QStringLiteral("Enable_Node=\"0\" MBus_Type=\"1\" ID=\"2\""), {Var16()}),
                     Wireless(QStringLiteral("wMBus_Add=\"3\""), {}), Wired(4, {Var16()})}));
    const TImageResult r = BuildMBus(p);
    const QByteArray& s = r.Bank2;
    ASSERT_EQ(s.size(), 13 + 23 + 25 + 27);
    EXPECT_EQ(Hex(s.mid(13, 23)), Hex(NodeHeader(0, 4, 1, 36, 0, 0, 250)));
    EXPECT_EQ(LE(s, 36 + 3, 2), 0u);
    EXPECT_EQ(uint8_t(r.Bank[Block + 564]), 0);
}

TEST(MBusImage, NodeStateAndIdentificationComeBeforeTheVariables)
{
    TProject p;
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"),
            Network({Wired(1, {Var16(), Var16()}, QStringLiteral("Node_State=\"1\" Ident_Num=\"1\"")),
                     Wired(2, {Var16()}, QStringLiteral("Ident_Num=\"1\""))}));
    const QByteArray s = BuildMBus(p).Bank2;
    // Node 1: state at 0, identification at 1..4, variables at 5 and 7.
    EXPECT_EQ(LE(s, 13 + 14, 2), 0u);
    EXPECT_EQ(LE(s, 13 + 17, 2), 1u);
    EXPECT_EQ(LE(s, 59 + 3, 2), 5u);
    EXPECT_EQ(LE(s, 59 + 25 + 3, 2), 7u);
    // Node 2 starts at 9: no state (address kept), identification at 9, variable at 13.
    EXPECT_EQ(LE(s, 36 + 14, 2), 9u);
    EXPECT_EQ(LE(s, 36 + 17, 2), 9u);
    EXPECT_EQ(LE(s, 59 + 50 + 3, 2), 13u);
}

TEST(MBusImage, DataSizesAndDimensionCodes)
{
    // Each case is a variable followed by a 16-bit marker; the marker's data
    // address is the case's size.
    struct Case {
        const char* attrs;
        const char* varListType;
        int code;
        int size;
    } cases[] = {
        {"Type=\"0\" Dim=\"0\"", "0", 1, 1},
        {"Type=\"0\" Dim=\"1\"", "0", 2, 2},
        {"Type=\"0\" Dim=\"2\"", "0", 4, 4},
        {"Type=\"0\" Dim=\"3\"", "0", 7, 8},
        {"Type=\"0\" Dim=\"4\"", "0", 3, 3},
        {"Type=\"0\" Dim=\"5\"", "0", 6, 6},
        {"Type=\"0\" Dim=\"6\"", "0", 5, 4},
        {"Type=\"0\" Dim=\"7\" Length=\"10\"", "0", 13, 10},
        {"Type=\"0\" Dim=\"9\"", "0", 2, 2},
        {"Type=\"0\" Dim=\"1\" Conv_Float=\"1\"", "0", 2, 4},
        {"Type=\"0\" Dim=\"0\" Force_Int32=\"1\"", "0", 1, 4},
        {"Type=\"20\" Dim=\"2\" TP_Mod_Regs=\"1\"", "0", 4, 8},
        {"Type=\"3\" Dim=\"2\" TP_Mod_Regs=\"1\"", "0", 4, 4},
        {"Type=\"3\" Dim=\"1\" TP_Mod_Regs=\"1\"", "1", 2, 8},
        {"Type=\"3\" Dim=\"1\" TP_Mod_Regs=\"1\" Conv_Float=\"1\"", "0", 2, 4},
    };
    for (const Case& c : cases) {
        TProject p;
        p.WriteParGen(10);
        const QString v = Var(QStringLiteral("Enable=\"1\" Fun_Field=\"0\" ") + QString::fromLatin1(c.attrs));
        p.Write(QStringLiteral("M_Bus.xml"),
                Network({Wired(1, {v, Var16()}, QStringLiteral("Var_List_Type=\"%1\"").arg(c.varListType))}));
        const QByteArray s = BuildMBus(p).Bank2;
        ASSERT_GE(s.size(), 13 + 23 + 50) << c.attrs;
        EXPECT_EQ(uint8_t(s[36 + 2]), c.code) << c.attrs;
        EXPECT_EQ(LE(s, 36 + 25 + 3, 2), uint32_t(c.size)) << c.attrs;
    }
}

TEST(MBusImage, VariableLengthWithFlagsKeepsTheTwoSizes)
{
    // Inside the node the next variable moves by the flag's 4 bytes; the next
    // node starts after the value's Length.
    TProject p;
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"),
            Network({Wired(1, {Var(QStringLiteral("Enable=\"1\" Type=\"0\" Fun_Field=\"0\" Dim=\"7\" Length=\"10\" "
                                                  "Conv_Float=\"1\"")),
                               Var16()}),
                     Wired(2, {Var16()})}));
    const QByteArray s = BuildMBus(p).Bank2;
    const int records = 13 + 46;
    EXPECT_EQ(LE(s, records + 3, 2), 0u);
    EXPECT_EQ(uint8_t(s[records + 16]), 10) << "Length";
    EXPECT_EQ(LE(s, records + 25 + 3, 2), 4u);
    EXPECT_EQ(LE(s, records + 50 + 3, 2), 12u) << "10 + 2 bytes of node 1";
}

TEST(MBusImage, VariableRecordFields)
{
    TProject p;
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"),
            Network({Wired(1,
                           {Var(QStringLiteral("Enable=\"1\" Type=\"7\" Fun_Field=\"1\" Dim=\"2\" Unit=\"3\" "
                                               "StoNumber=\"4294967295\" Tariff=\"2\" VIFE=\"9\" BCDtoINT=\"1\" "
                                               "Length=\"5\" Position=\"4\" Post_Operation=\"12\" "
                                               "Force_Int32=\"1\" TP_Mod_Regs=\"1\" VIF_ASCII=\"kWh\"")),
                            Var(QStringLiteral("Enable=\"1\" Type=\"21\" Fun_Field=\"2\" Dim=\"0\" VIF_ASCII=\"ABC\"")),
                            Var(QStringLiteral("Enable=\"1\" Type=\"0\" Fun_Field=\"3\" Dim=\"0\""))})}));
    const QByteArray s = BuildMBus(p).Bank2;
    const int rec = 13 + 23;
    const int texts = rec + 75;
    TBytes first;
    first.u8(7).u8(2).u8(4).u16(0).u8(3).u32(0xFFFFFFFF).u32(2).u8(9).u8(1).u8(0).u8(0).u32(texts).u8(4).u8(12).u8(6);
    EXPECT_EQ(Hex(s.mid(rec, 25)), Hex(first)) << "maximum written as 2, Length dropped, text dropped";
    EXPECT_EQ(uint8_t(s[rec + 25 + 1]), 1) << "minimum written as 1";
    EXPECT_EQ(LE(s, rec + 25 + 3, 2), 4u) << "after the forced 32-bit value";
    EXPECT_EQ(uint8_t(s[rec + 25 + 17]), 3);
    EXPECT_EQ(LE(s, rec + 25 + 18, 4), uint32_t(texts));
    EXPECT_EQ(uint8_t(s[rec + 50 + 1]), 3);
    EXPECT_EQ(LE(s, rec + 50 + 18, 4), uint32_t(texts + 3));
    EXPECT_EQ(s.mid(texts, 3), QByteArray("CBA"));
    EXPECT_EQ(LE(s, 9, 4), uint32_t(texts + 3));
    EXPECT_EQ(s.size(), texts + 3 + 27);
}

TEST(MBusImage, WiredNodeAddressingAndTelegrams)
{
    struct Case {
        const char* attrs;
        uint8_t idType;
        uint32_t id;
        uint8_t cutAfter;
    } cases[] = {
        {"Node_ID_Type=\"0\" ID=\"7\" Cut_After=\"2\"", 0, 7, 3},
        {"Node_ID_Type=\"1\" ID_Secondary=\"305419896\" ID_Primary=\"3\"", 1, 0x12345678, 250},
        {"Node_ID_Type=\"0\" ID=\"x\" ID_Primary=\"3\"", 0, 3, 250},
        {"Node_ID_Type=\"1\"", 1, 1, 250},
        {"ID=\"4294967295\"", 0, 0xFFFFFFFF, 250},
    };
    for (const Case& c : cases) {
        TProject p;
        p.WriteParGen(10);
        p.Write(QStringLiteral("M_Bus.xml"),
                Network({Node(QStringLiteral("MBus_Type=\"1\" Send_SND_NKE=\"1\" Reset_App=\"1\" ")
                                  + QString::fromLatin1(c.attrs),
                              {Var16()})}));
        const QByteArray h = BuildMBus(p).Bank2.mid(13, 23);
        ASSERT_EQ(h.size(), 23) << c.attrs;
        EXPECT_EQ(uint8_t(h[0]), c.idType) << c.attrs;
        EXPECT_EQ(Hex(h.mid(1, 4)), Hex(TBytes().u32be(c.id))) << c.attrs;
        EXPECT_EQ(uint8_t(h[11]), 1);
        EXPECT_EQ(uint8_t(h[12]), 1);
        EXPECT_EQ(uint8_t(h[22]), c.cutAfter) << c.attrs;
    }
}

TEST(MBusImage, WirelessKeysOnlyWhenEnabled)
{
    TProject p;
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"),
            Network({Wireless(QStringLiteral("wMBus_Add=\"1\" wMBus_En_Key=\"0\" wMBus_Key_1=\"17\" "
                                             "Send_SND_NKE=\"1\" Cut_After=\"5\" Node_ID_Type=\"1\""),
                              {Var16()})}));
    const TImageResult r = BuildMBus(p);
    EXPECT_EQ(r.Bank.mid(NodeTable + 8, 17), QByteArray(17, 0));
    const QByteArray h = r.Bank2.mid(13, 23);
    EXPECT_EQ(uint8_t(h[0]), 0) << "wireless nodes have no ID type";
    EXPECT_EQ(uint8_t(h[11]), 0);
    EXPECT_EQ(uint8_t(h[22]), 0);
}

TEST(MBusImage, GeneralParametersOfTheTrailer)
{
    struct Case {
        QMap<QString, QString> changed;
        int offset;
        int bytes;
        uint32_t expected;
    } cases[] = {
        {{{"Meter_Par", "1"}}, 523, 1, 2},
        {{{"Meter_Par", "2"}}, 523, 1, 3},
        {{{"Meter_Par", "0"}}, 523, 1, 0},
        {{{"Meter_Baud", "3"}}, 508, 4, 2400},
        {{{"Meter_Baud", "7"}}, 508, 4, 38400},
        {{{"Meter_Baud", "9"}}, 508, 4, 2400},
        {{{"wMBus_Mode", "2"}}, 568, 1, 15},
        {{{"wMBus_Mode", "3"}}, 568, 1, 17},
        {{{"wMBus_Mode", "x"}}, 568, 1, 1},
        {{{"wMBus_Radio_Channel", "6"}}, 582, 1, 6},
        {{{"KNX_ID_DEV", "15.15.255"}}, 622, 2, 65535},
        {{{"Modbus_TCP_Slave_EN_GAT", "1"}}, 48, 4, 0x0100A8C0},
        {{{"Modbus_TCP_Slave_IP4", "300"}}, 43, 1, 44},
    };
    for (const Case& c : cases) {
        TProject p;
        p.WriteParGen(10, c.changed);
        const QByteArray b = BuildMBus(p).Bank;
        EXPECT_EQ(LE(b, Block + c.offset, c.bytes), c.expected) << c.changed.firstKey().toStdString();
        EXPECT_EQ(LE(b, Block + 2044, 4), ByteSum(b, Block, 2044));
    }
}

TEST(MBusImage, TrailerKeepsTheTypedGatewayAndDefaultsTheErrorCode)
{
    TProject p;
    p.WriteParGen(10, {{QStringLiteral("Modbus_TCP_Slave_GAT4"), QStringLiteral("254")},
                       {QStringLiteral("Meter_Req_Delay"), QStringLiteral("600")}},
                  {QStringLiteral("Meter_NS_Error_Code")});
    const TImageResult r = BuildMBus(p);
    const QByteArray t = r.Bank2.mid(13);
    ASSERT_EQ(t.size(), 27);
    EXPECT_EQ(uint8_t(t[11]), 254);
    EXPECT_EQ(LE(t, 18, 2), 600u);
    EXPECT_EQ(uint8_t(t[23]), 255) << "a missing error code";
    EXPECT_EQ(LE(r.Bank, Block + 48, 4), 0xFFFFFFFFu);
}

TEST(MBusImage, KnxTableAndCountsFollowTheNodeTable)
{
    TProject p;
    p.Write(QStringLiteral("KNX_SetAccess.xml"), OneKnxWriteRow());
    const QByteArray b = BuildMBus(p).Bank;
    EXPECT_EQ(LE(b, Block + 612, 4), 0u);
    EXPECT_EQ(LE(b, Block + 616, 4), 1u);
    EXPECT_EQ(LE(b, Block + 2044, 4), 5524u + 1);
    // Destination 1/2/3 = 2563, source 1.1.10 = 4362.
    EXPECT_EQ(LE(b, KnxTable + 14, 2), 4362u);
    EXPECT_EQ(LE(b, KnxTable + 16, 2), 2563u);
}

TEST(MBusImage, ReadingThatCannotCompleteIsAnError)
{
    const QString goodNet = Network({Wired(1, {Var16()})});
    struct Case {
        const char* what;
        QString net;
        QMap<QString, QString> changed = {};
        QStringList removed = {};
        QString parGenText = {};
    } cases[] = {
        {"variable without Type", Network({Wired(1, {Var(QStringLiteral("Enable=\"1\" Fun_Field=\"0\" Dim=\"1\""))})})},
        {"Fun_Field not an integer",
         Network({Wired(1, {Var(QStringLiteral("Enable=\"1\" Type=\"0\" Fun_Field=\"a\" Dim=\"1\""))})})},
        {"Dim with a blank", Network({Wired(1, {Var(QStringLiteral("Enable=\"1\" Type=\"0\" Fun_Field=\"0\" Dim=\"1 \""))})})},
        {"network not well-formed", QStringLiteral("<M-Bus_Network><Nodo>")},
        {"Meter_Baud missing", goodNet, {}, {QStringLiteral("Meter_Baud")}},
        {"Meter_Req_Delay not an integer", goodNet, {{QStringLiteral("Meter_Req_Delay"), QStringLiteral("1s")}}},
        {"gateway octet missing", goodNet, {}, {QStringLiteral("Modbus_TCP_Slave_GAT2")}},
        {"ParGen.xml not well-formed", goodNet, {}, {}, QStringLiteral("<Par_Gen><Meter_Baud>")},
    };
    for (const Case& c : cases) {
        TProject p;
        if (c.parGenText.isEmpty())
            p.WriteParGen(10, c.changed, c.removed);
        else
            p.Write(QStringLiteral("ParGen.xml"), c.parGenText);
        p.Write(QStringLiteral("M_Bus.xml"), c.net);
        EXPECT_THROW(BuildMBus(p), Exception) << c.what;
    }
}

TEST(MBusImage, ErrorMessagesNameTheFileAndThePlace)
{
    TProject p;
    p.WriteParGen(10, {}, {QStringLiteral("Meter_Par")});
    try {
        BuildMBus(p);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("ParGen.xml"))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Meter_Par"))) << e.Message().toStdString();
    }
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"),
            Network({Wired(1, {Var16()}), Wired(2, {Var16(), Var(QStringLiteral("Enable=\"1\" Type=\"0\" Fun_Field=\"0\""))})}));
    try {
        BuildMBus(p);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("M_Bus.xml: node 2, variable 2: \"Dim\" is missing or not an integer"));
    }
}

TEST(MBusImage, CapacityOfTheWirelessTableAndTheStream)
{
    QStringList nodes;
    for (int i = 0; i < 32; ++i)
        nodes << Wireless(QStringLiteral("wMBus_Add=\"%1\"").arg(i), {Var16()});
    TProject p;
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"), Network(nodes));
    const TImageResult full = BuildMBus(p);
    EXPECT_EQ(uint8_t(full.Bank[Block + 564]), 32);
    EXPECT_EQ(LE(full.Bank, NodeTable + 31 * 32 + 2, 4), 31u);

    nodes << Wireless(QStringLiteral("wMBus_Add=\"99\""), {Var16()});
    p.Write(QStringLiteral("M_Bus.xml"), Network(nodes));
    EXPECT_THROW(BuildMBus(p), EImageError);

    // 4000 variables of 25 bytes exceed the stream's 100000 bytes.
    QStringList vars;
    for (int i = 0; i < 4000; ++i)
        vars << Var16();
    p.Write(QStringLiteral("M_Bus.xml"), Network({Wired(1, vars)}));
    try {
        BuildMBus(p);
        FAIL() << "no error";
    } catch (const EImageError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("100000"))) << e.Message().toStdString();
    }
    // 3900 fit: 13 + 23 + 97500 + 27 bytes.
    vars = vars.mid(0, 3900);
    p.Write(QStringLiteral("M_Bus.xml"), Network({Wired(1, vars)}));
    EXPECT_EQ(BuildMBus(p).Bank2.size(), 13 + 23 + 97500 + 27);
}

TEST(MBusImage, FailedBuildWritesNeitherBankFile)
{
    TProject p;
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"), Network({Wired(1, {Var16()})}));
    const int saved = Model_Code;
    Model_Code = 10;
    Dir_Project = p.Path();
    Set_Files();
    ASSERT_EQ(Build_Bin(), TBuildStatus::Built);
    ASSERT_TRUE(Write_Bin());
    const QByteArray bank1 = p.ReadBin(QStringLiteral("bank1.bin"));
    const QByteArray bank2 = p.ReadBin(QStringLiteral("bank2.bin"));
    EXPECT_EQ(bank1.size(), 23552);
    EXPECT_EQ(bank2.size(), 13 + 23 + 25 + 27);
    EXPECT_FALSE(p.HasBin(QStringLiteral("bank.bin")));

    // Two nodes now, the second one broken.
    p.Write(QStringLiteral("M_Bus.xml"),
            Network({Wired(1, {Var16()}), Wired(2, {Var(QStringLiteral("Enable=\"1\" Type=\"0\""))})}));
    EXPECT_THROW(Build_Bin(), Exception);
    EXPECT_FALSE(Write_Bin());
    EXPECT_EQ(p.ReadBin(QStringLiteral("bank1.bin")), bank1);
    EXPECT_EQ(p.ReadBin(QStringLiteral("bank2.bin")), bank2);

    Model_Code = saved;
    Dir_Project.clear();
    Set_Files();
}

TEST(MBusImage, ValuesThatDoNotFitTheirFieldsAreRefusedNotWrapped)
{
    QStringList longVars;
    for (int i = 0; i < 260; ++i) // 260 values of 255 bytes: the data area passes 65535
        longVars << Var(QStringLiteral("Enable=\"1\" Type=\"0\" Fun_Field=\"0\" Dim=\"7\" Length=\"255\""));
    QStringList manyNodes;
    for (int i = 0; i < 256; ++i)
        manyNodes << Wired(i + 1, {Var16()});
    struct Case {
        const char* what;
        QString net;
        QMap<QString, QString> parGen;
        QStringList mentions;
    } cases[] = {
        {"Cut_After at the top of int", Network({Wired(1, {Var16()}), Wired(2, {Var16()}, QStringLiteral("Cut_After=\"2147483647\""))}),
         {}, {QStringLiteral("M_Bus.xml"), QStringLiteral("node 2"), QStringLiteral("Cut_After")}},
        {"Cut_After 255", Network({Wired(1, {Var16()}, QStringLiteral("Cut_After=\"255\""))}), {},
         {QStringLiteral("M_Bus.xml"), QStringLiteral("node 1"), QStringLiteral("Cut_After")}},
        {"Meter_Par at the top of int", Network({Wired(1, {Var16()})}),
         {{QStringLiteral("Meter_Par"), QStringLiteral("2147483647")}}, {QStringLiteral("ParGen.xml"), QStringLiteral("Meter_Par")}},
        {"data address past 65535", Network({Wired(1, longVars)}), {}, {QStringLiteral("M_Bus.xml"), QStringLiteral("65535")}},
        {"256 wired nodes", Network(manyNodes), {}, {QStringLiteral("M_Bus.xml"), QStringLiteral("255")}},
    };
    for (const Case& c : cases) {
        TProject p;
        p.WriteParGen(10, c.parGen);
        p.Write(QStringLiteral("M_Bus.xml"), c.net);
        try {
            BuildMBus(p);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const EImageError& e) {
            for (const QString& m : c.mentions)
                EXPECT_TRUE(e.Message().contains(m)) << c.what << ": " << e.Message().toStdString();
        }
    }
    // At the edges: 254 telegrams minus one, 255 wired nodes.
    TProject p;
    p.WriteParGen(10);
    p.Write(QStringLiteral("M_Bus.xml"), Network({Wired(1, {Var16()}, QStringLiteral("Cut_After=\"254\""))}));
    EXPECT_EQ(uint8_t(BuildMBus(p).Bank2[13 + 22]), 255);
    p.Write(QStringLiteral("M_Bus.xml"), Network(manyNodes.mid(0, 255)));
    EXPECT_NO_THROW(BuildMBus(p));
}
