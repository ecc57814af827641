// The general block: defaults, the reading of ParGen.xml and the checksum.
#include "ImageTestUtil.h"

#include "image/BinParGen.h"
#include "image/ImageBuild.h"

namespace {

using F = TParGenField;

// Loads the model-9 general parameters of a project holding the given
// ParGen.xml elements.
struct Loaded {
    explicit Loaded(const QString& elements, bool withFile = true)
    {
        if (withFile)
            P.Write(QStringLiteral("ParGen.xml"), ParGenXml(elements));
        Build.Bin_Par_Gen.Init_Par_Gen();
        Load_Par_Gen_J1939(Build);
    }
    uint32_t Get(F f, int i = 0) const { return Build.Bin_Par_Gen.Get(f, i); }
    TTestProject P;
    TBinBuffer Buffer;
    TImageBuild Build{P.Dir(), 9, Buffer};
};

} // namespace

TEST(GeneralBlock, DefaultsWithTheKnxTableAddressesSumTo4424)
{
    // The block every model with a KNX table starts from: the defaults sum to
    // 4316, the two KNX table addresses 0x63000 add 108.
    TBin_Par_Gen pg;
    pg.Init_Par_Gen();
    EXPECT_EQ(ReadLE(QByteArray(reinterpret_cast<const char*>(pg.Block().data()), 2048), 2044, 4), 4316u);
    Store_KNX_Table_Addresses(pg);
    TBinBuffer buffer;
    pg.Save_Par_Gen(buffer, 100);
    const QByteArray block(reinterpret_cast<const char*>(buffer.Data()) + 100, 2048);
    EXPECT_EQ(ReadLE(block, 2044, 4), 4424u);
    EXPECT_EQ(buffer.Bin_Count, 0); // the builder advances the position, not the serializer
}

TEST(GeneralBlock, ChecksumCoversTheTailButNotItsOwnBytes)
{
    TBin_Par_Gen pg;
    pg.Init_Par_Gen();
    const uint32_t base = ReadLE(QByteArray(reinterpret_cast<const char*>(pg.Block().data()), 2048), 2044, 4);
    pg.Set(F::KNX_Packet_Delay, 0x01020304); // at 1900, in the tail
    const auto block = pg.Block();
    const QByteArray bytes(reinterpret_cast<const char*>(block.data()), 2048);
    EXPECT_EQ(ReadLE(bytes, 1900, 4), 0x01020304u);
    EXPECT_EQ(ReadLE(bytes, 2044, 4), base + 1 + 2 + 3 + 4);
    EXPECT_EQ(bytes.mid(1904, 8), QByteArray(8, '\0'));
}

TEST(GeneralBlock, FieldsAreCutToTheirWidth)
{
    TBin_Par_Gen pg;
    pg.Set(F::IP_Address, 300, 3);           // one byte
    pg.Set(F::KNX_Individual_Address, 0x12345); // two bytes
    pg.Set(F::J1939_Delete_Time, -1);
    EXPECT_EQ(pg.Get(F::IP_Address, 3), 44u);
    EXPECT_EQ(pg.Get(F::KNX_Individual_Address), 0x2345u);
    EXPECT_EQ(int32_t(pg.Get(F::J1939_Delete_Time)), -1);
    EXPECT_THROW(pg.Set(F::IP_Address, 1, 4), Exception);
}

TEST(GeneralBlock, StationNameKeepsItsTerminatingZero)
{
    TBin_Par_Gen pg;
    pg.SetText(F::Station_Name, QByteArray("abcdefghijklmnopqrstuvwxyz"));
    const auto block = pg.Block();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(block.data()) + 80, 16), QByteArray("abcdefghijklmno") + '\0');
    EXPECT_EQ(block[96], 0);
}

TEST(ParGenJ1939, BaudRateByItemIndex)
{
    struct Case {
        const char* Element; // nullptr: no element
        uint32_t Speed;
    } const cases[] = {
        {"<J1939_BAUDRATE>abc</J1939_BAUDRATE>", 250000}, {nullptr, 250000},
        {"<J1939_BAUDRATE>9</J1939_BAUDRATE>", 250000},   {"<J1939_BAUDRATE>8</J1939_BAUDRATE>", 1000000},
        {"<J1939_BAUDRATE>0</J1939_BAUDRATE>", 10000},    {"<J1939_BAUDRATE>4</J1939_BAUDRATE>", 125000},
        {"<J1939_BAUDRATE>-1</J1939_BAUDRATE>", 250000},  {"<J1939_BAUDRATE>0x7</J1939_BAUDRATE>", 800000},
    };
    for (const Case& c : cases) {
        const Loaded l(QString::fromLatin1(c.Element ? c.Element : ""));
        EXPECT_EQ(l.Get(F::Fieldbus_Baud_Rate), c.Speed) << (c.Element ? c.Element : "missing");
    }
}

TEST(ParGenJ1939, SpeedTablesOfEveryBus)
{
    EXPECT_EQ(Speed_Of(TKeyConversion::Speed_CAN, 3), 62500);
    EXPECT_EQ(Speed_Of(TKeyConversion::Speed_CAN, 9), 1000000);
    EXPECT_EQ(Speed_Of(TKeyConversion::Speed_CANopen, 9), 1000000);
    EXPECT_EQ(Speed_Of(TKeyConversion::Speed_CANopen, 42), 1000000);
    EXPECT_EQ(Speed_Of(TKeyConversion::Speed_Serial, 7), 115200);
    EXPECT_EQ(Speed_Of(TKeyConversion::Speed_Serial, 8), 9600);
    EXPECT_EQ(Speed_Of(TKeyConversion::Speed_Serial, -3), 9600);
}

TEST(ParGenJ1939, IndividualAddressOfTheDevice)
{
    struct Case {
        const char* Element;
        uint32_t Address;
    } const cases[] = {
        {"<KNX_ID_DEV>15.15.255</KNX_ID_DEV>", 65535}, {"<KNX_ID_DEV>1.1.1</KNX_ID_DEV>", 4353},
        {"<KNX_ID_DEV>4660</KNX_ID_DEV>", 4660},       {"", 36865},
        {"<KNX_ID_DEV>1.5</KNX_ID_DEV>", 4357},        {"<KNX_ID_DEV> 2 . 3 . 4 </KNX_ID_DEV>", 8964},
        {"<KNX_ID_DEV>x.y.z</KNX_ID_DEV>", 4372},      {"<KNX_ID_DEV>abc</KNX_ID_DEV>", 4372},
        {"<KNX_ID_DEV>20.0.0</KNX_ID_DEV>", 16384},    // no masking: 81920 cut to 16 bits
        {"<KNX_ID_DEV>\xA0" "2.3.4</KNX_ID_DEV>", 4868}, // a no-break space is not trimmed: 1.3.4
    };
    for (const Case& c : cases) {
        const Loaded l(QString::fromLatin1(c.Element));
        EXPECT_EQ(l.Get(F::KNX_Individual_Address), c.Address) << c.Element;
    }
    const Loaded noFile(QString(), false);
    EXPECT_EQ(noFile.Get(F::KNX_Individual_Address), 0u);
}

TEST(ParGenJ1939, EthernetAddressMaskAndGateway)
{
    const Loaded l(QStringLiteral("<Modbus_TCP_Slave_IP1>10</Modbus_TCP_Slave_IP1>"
                                  "<Modbus_TCP_Slave_IP2>x</Modbus_TCP_Slave_IP2>"
                                  "<Modbus_TCP_Slave_IP4>300</Modbus_TCP_Slave_IP4>"
                                  "<Modbus_TCP_Slave_SM4>128</Modbus_TCP_Slave_SM4>"
                                  "<Modbus_TCP_Slave_GAT1>10</Modbus_TCP_Slave_GAT1>"
                                  "<Modbus_TCP_Slave_EN_GAT>1</Modbus_TCP_Slave_EN_GAT>"));
    const uint32_t ip[] = {10, 168, 0, 44}, sm[] = {255, 255, 255, 128}, gw[] = {10, 168, 0, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(l.Get(F::IP_Address, i), ip[i]) << i;
        EXPECT_EQ(l.Get(F::Subnet_Mask, i), sm[i]) << i;
        EXPECT_EQ(l.Get(F::Gateway_Address, i), gw[i]) << i;
    }
    // Without the enable key at exactly "1" the gateway is 255.255.255.255.
    for (const char* enable : {"", "<Modbus_TCP_Slave_EN_GAT>0</Modbus_TCP_Slave_EN_GAT>",
                               "<Modbus_TCP_Slave_EN_GAT> 1</Modbus_TCP_Slave_EN_GAT>"}) {
        const Loaded off(QStringLiteral("<Modbus_TCP_Slave_GAT1>10</Modbus_TCP_Slave_GAT1>") + QLatin1String(enable));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(off.Get(F::Gateway_Address, i), 255u) << enable;
    }
}

TEST(ParGenJ1939, TimeoutPeerToPeerAndDeviceId)
{
    const Loaded l(QStringLiteral("<J1939_TIMEOUT>3</J1939_TIMEOUT><J1939_PEER_TO_PEER>1</J1939_PEER_TO_PEER>"
                                  "<J1939_Device_ID>0x10</J1939_Device_ID>"));
    EXPECT_EQ(l.Get(F::J1939_Delete_Time), 3000u);
    EXPECT_EQ(l.Get(F::J1939_Options), 1u);
    EXPECT_EQ(l.Get(F::J1939_Address), 16u);

    for (const char* flag : {"true", "01", " 1", ""}) {
        const Loaded off(QStringLiteral("<J1939_PEER_TO_PEER>%1</J1939_PEER_TO_PEER>").arg(QLatin1String(flag)));
        EXPECT_EQ(off.Get(F::J1939_Options), 0u) << flag;
    }
    const Loaded empty(QStringLiteral("<J1939_TIMEOUT></J1939_TIMEOUT><J1939_Device_ID>abc</J1939_Device_ID>"));
    EXPECT_EQ(empty.Get(F::J1939_Delete_Time), 0u);
    EXPECT_EQ(empty.Get(F::J1939_Address), 0u);
}

TEST(ParGenJ1939, WithoutTheFileOnlyTheConstantsAreStored)
{
    const Loaded l(QString(), false);
    EXPECT_EQ(l.Get(F::Table_Address_J1939_Rec), 0x5B000u);
    EXPECT_EQ(l.Get(F::Table_Address_J1939_Send), 0x5F000u);
    EXPECT_EQ(l.Get(F::Table_Address_KNX_Read), 0x63000u);
    EXPECT_EQ(l.Get(F::Table_Address_KNX_Write), 0x63000u);
    EXPECT_EQ(l.Get(F::Fieldbus_Baud_Rate), 125000u); // the block's default, not the key's
    EXPECT_EQ(l.Get(F::IP_Address, 2), 2u);
}

TEST(ParGenJ1939, ARootOfAnotherNameAndADeclarationAreRead)
{
    TTestProject p;
    p.Write(QStringLiteral("ParGen.xml"),
            QStringLiteral("<?xml version=\"1.0\"?><!-- saved --><Other><J1939_Device_ID>7</J1939_Device_ID></Other>"));
    TBinBuffer buffer;
    TImageBuild build(p.Dir(), 9, buffer);
    Load_Par_Gen_J1939(build);
    EXPECT_EQ(build.Bin_Par_Gen.Get(F::J1939_Address), 7u);
}

TEST(ParGenJ1939, AMalformedFileIsAnErrorNamingIt)
{
    TTestProject p;
    p.Write(QStringLiteral("ParGen.xml"), QStringLiteral("<Par_Gen><KNX_ID_DEV>1.1.1</Par_Gen>"));
    TBinBuffer buffer;
    TImageBuild build(p.Dir(), 9, buffer);
    try {
        Load_Par_Gen_J1939(build);
        FAIL() << "a malformed file was read";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QLatin1String("ParGen.xml"))) << e.what();
    }
}
