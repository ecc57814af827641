// The images of the PROFINET, EtherNet/IP, SNMP gateways and the Ethernet /
// KNX interface: what each loader takes from ParGen.xml and the constants it
// stores.
#include "ModelTestUtil.h"

#include "image/Bin_Ethernet.h"

using namespace modeltest;

namespace {

constexpr int Block = 20480;

QByteArray BlockOf(int code, const TProject& p)
{
    const QByteArray b = Build_Image(p.Path(), code).Bank;
    return code == 14 || code == 1014 ? b : b.mid(Block);
}

} // namespace

TEST(EthernetImages, StationName)
{
    struct Case {
        const char* what;
        QMap<QString, QString> changed;
        QStringList removed;
        QByteArray expected; // the 16 bytes of the field
    } cases[] = {
        {"five characters", {{"PROFINET_NAME_STA", "plc-1"}}, {}, QByteArray("plc-1") + QByteArray(11, 0)},
        {"missing element", {}, {"PROFINET_NAME_STA"}, QByteArray("devicename1") + QByteArray(5, 0)},
        {"empty text", {{"PROFINET_NAME_STA", ""}}, {}, QByteArray(16, 0)},
        {"fifteen characters", {{"PROFINET_NAME_STA", "abcdefghijklmno"}}, {}, QByteArray("abcdefghijklmno") + QByteArray(1, 0)},
        {"longer than the field", {{"PROFINET_NAME_STA", "abcdefghijklmnopqrst"}}, {},
         QByteArray("abcdefghijklmno") + QByteArray(1, 0)},
        {"a character past Latin-1", {{"PROFINET_NAME_STA", QString(QChar(0x0141)) + "x"}}, {},
         QByteArray("Ax") + QByteArray(14, 0)},
    };
    for (int code : {12, 15}) {
        for (const Case& c : cases) {
            TProject p;
            p.WriteParGen(code, c.changed, c.removed);
            const QByteArray block = BlockOf(code, p);
            EXPECT_EQ(Hex(block.mid(80, 16)), Hex(c.expected)) << code << " " << c.what;
            EXPECT_EQ(LE(block, 2044, 4), ByteSum(block, 0, 2044));
        }
    }
}

TEST(EthernetImages, GeneralParametersOfEachModel)
{
    struct Case {
        int code;
        QMap<QString, QString> changed;
        QStringList removed;
        int offset;
        int bytes;
        uint32_t expected;
    } cases[] = {
        // PROFINET
        {12, {}, {}, 1900, 4, 100},
        {12, {{"KNX_DELAY_BETWEEN_PACKETS", "250"}}, {}, 1900, 4, 250},
        {12, {}, {}, 116, 4, 1438},
        {12, {{"PROFINET_NB_OUT", "20"}}, {}, 120, 4, 20},
        {12, {{"PROFINET_IP4", "9"}}, {}, 43, 1, 9},
        {12, {{"PROFINET_EN_GAT", "1"}, {"PROFINET_GAT4", "254"}}, {}, 48, 4, 0xFE00A8C0},
        {12, {}, {}, 462, 2, 4552},
        {12, {}, {"KNX_ID_DEV"}, 462, 2, 4552},
        {1012, {}, {}, 480, 4, 0x68800},
        // EtherNet/IP
        {13, {}, {}, 54, 2, 44818},
        {13, {{"EtherNetIP_Port", "502"}}, {}, 56, 2, 44818},
        {13, {}, {}, 116, 4, 496},
        {13, {}, {}, 120, 4, 500},
        {13, {}, {}, 40, 4, 0x0B00A8C0},                    // 192.168.0.11
        {13, {}, {"EtherNetIP_IP4"}, 43, 1, 11},
        {13, {{"EtherNetIP_EN_GAT", "1"}}, {}, 48, 4, 0x0100A8C0},
        // SNMP
        {15, {{"PROFINET_SM3", "0"}}, {}, 46, 1, 0},
        {15, {}, {}, 116, 4, 0},
        {15, {}, {}, 1900, 4, 0},
        {15, {}, {}, 480, 4, 0x68800},
        // KNX IP
        {14, {}, {}, 462, 2, 4552},
        {14, {}, {"KNX_ID_DEV"}, 462, 2, 36865},
        {14, {}, {}, 464, 2, 4553},                          // 1.1.201
        {14, {}, {"KNX_ID_TUNNEL"}, 464, 2, 37024},
        {14, {{"KNX_ID_MANAGEMENT", "15.15.255"}}, {}, 466, 2, 65535},
        {14, {}, {"KNX_ID_MANAGEMENT"}, 466, 2, 37025},
        {14, {{"KNX_CONTROL_PORT", "3671"}}, {}, 468, 2, 3671},
        {14, {{"KNX_TUNNEL_PORT", "x"}}, {}, 470, 2, 50001},
        {1014, {}, {"KNX_MANAGEMENT_PORT"}, 472, 2, 50002},
        {14, {}, {}, 444, 4, 0},
        {14, {{"Modbus_TCP_Slave_IP1", "10"}}, {}, 40, 1, 10},
    };
    for (const Case& c : cases) {
        TProject p;
        p.WriteParGen(c.code, c.changed, c.removed);
        const QByteArray block = BlockOf(c.code, p);
        ASSERT_EQ(block.size(), 2048) << c.code;
        EXPECT_EQ(LE(block, c.offset, c.bytes), c.expected) << "model " << c.code << " offset " << c.offset;
        EXPECT_EQ(LE(block, 2044, 4), ByteSum(block, 0, 2044));
    }
}

TEST(EthernetImages, WithoutParGenOnlyTheConstantsAreStored)
{
    TProject p;
    const QByteArray knxip = BlockOf(14, p);
    ASSERT_EQ(knxip.size(), 2048);
    TBytes addresses;
    addresses.u16(36865).u16(37024).u16(37025).u16(50000).u16(50001).u16(50002);
    EXPECT_EQ(Hex(knxip.mid(462, 12)), Hex(addresses)) << "9.0.1, 9.0.160, 9.0.161";
    EXPECT_EQ(LE(knxip, 444, 4), 0u);
    EXPECT_EQ(LE(knxip, 448, 4), 0u);

    const QByteArray eip = BlockOf(13, p);
    EXPECT_EQ(LE(eip, 54, 2), 10001u) << "the EtherNet/IP port needs ParGen.xml";
    EXPECT_EQ(LE(eip, 56, 2), 10001u);
    EXPECT_EQ(eip.mid(80, 16), QByteArray(16, 0));
    EXPECT_EQ(BlockOf(12, p).mid(80, 16), QByteArray(16, 0)) << "no station name without ParGen.xml";
}
