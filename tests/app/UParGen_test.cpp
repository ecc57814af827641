#include "app/UParGen.h"

#include "app/UComon.h"
#include "app/ULanguage.h"
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The elements of a written file's root, as (name, text) pairs in order.
QList<QPair<QString, QString>> Elements(const QByteArray& bytes)
{
    XmlDocument doc;
    doc.LoadFromBytes(bytes);
    QList<QPair<QString, QString>> out;
    for (const XmlNode& n : doc.DocumentElement().ChildElements())
        out.append({n.NodeName(), n.Text()});
    return out;
}

QByteArray Written(const TParGenValues& v)
{
    XmlDocument doc;
    v.Build_Document(doc);
    return doc.SaveToBytes();
}

TParGenValues ReadText(int model, const QString& xml)
{
    TParGenValues v(model);
    XmlDocument doc;
    doc.LoadFromText(xml);
    v.Read_Document(doc);
    return v;
}

} // namespace

TEST(ParGenKeys, TableHoldsEveryKeyOnce)
{
    const QList<TParKey>& keys = ParGen_Keys();
    EXPECT_EQ(keys.size(), 112);
    QSet<QString> names;
    for (const TParKey& k : keys) {
        names.insert(QString::fromLatin1(k.Name));
        if (k.Encoding == TParEncoding::Index) {
            // The default item exists in the key's list.
            const int def = QString::fromLatin1(k.Default).toInt();
            EXPECT_GE(def, 0) << k.Name;
            EXPECT_LT(def, k.Items.size()) << k.Name;
        }
    }
    EXPECT_EQ(names.size(), 112);
}

TEST(ParGenKeys, DefaultsByName)
{
    const struct {
        const char* key;
        const char* def;
        int asInt;
    } cases[] = {
        {"KNX_ID_DEV", "1.1.200", -1},  {"J1939_BAUDRATE", "5", 5},
        {"J1939_TIMEOUT", "0", 0},      {"ModbusM_BAUDRATE", "7", 7},
        {"Meter_Par", "2", 2},          {"CAN_BAUDRATE", "9", 9},
        {"PROFINET_PORT", "34964", 34964}, {"EtherNetIP_IP4", "11", 11},
        {"PROFINET_NAME_STA", "devicename1", -1}, {"DNETS_NB_IN", "455", 455},
        {"KNX_DELAY_BETWEEN_PACKETS", "100", 100}, {"No_Such_Key", "", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParGen_Default(c.key), c.def) << c.key;
        EXPECT_EQ(ParGen_Default_Int(c.key), c.asInt) << c.key;
    }
}

TEST(ParGenKeys, KeySetsPerModel)
{
    const struct {
        int model;
        int count;
        const char* first_own; // the key after the KNX group
        const char* last;
    } cases[] = {
        {1, 21, "ModbusM_SERIAL", "Modbus_TCP_Slave_EN_GAT"},
        {1001, 21, "ModbusM_SERIAL", "Modbus_TCP_Slave_EN_GAT"},
        {2, 22, "MODBUS_SLAVE_SERIAL", "Modbus_TCP_Slave_EN_GAT"},
        {3, 17, "Modbus_TCP_Master_TimeOut", "Modbus_TCP_Master_EN_GAT"},
        {4, 18, "Modbus_TCP_Slave_Port", "Modbus_TCP_Slave_EN_GAT"},
        {5, 16, "Modbus_TCP_Slave_IP1", "CAN_BAUDRATE"},
        {6, 21, "Modbus_TCP_Slave_IP1", "CANopen_SDO_TimeOut"},
        {7, 17, "Modbus_TCP_Slave_IP1", "DNETM_BAUDRATE"},
        {8, 19, "Modbus_TCP_Slave_IP1", "DNETS_NB_OUT"},
        {9, 19, "Modbus_TCP_Slave_IP1", "J1939_Device_ID"},
        {10, 23, "Modbus_TCP_Slave_IP1", "wMBus_Radio_Channel"},
        {11, 17, "Modbus_TCP_Slave_IP1", "DMX_Num_Channels"},
        {12, 20, "KNX_DELAY_BETWEEN_PACKETS", "PROFINET_NB_OUT"},
        {13, 18, "EtherNetIP_IP1", "EtherNetIP_NB_OUT"},
        {14, 20, "KNX_ID_TUNNEL", "Modbus_TCP_Slave_EN_GAT"},
        {15, 16, "PROFINET_IP1", "PROFINET_NAME_STA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        const QStringList keys = ParGen_Model_Keys(c.model);
        ASSERT_EQ(keys.size(), c.count);
        EXPECT_EQ(keys.at(0), "KNX_TYPE");
        EXPECT_EQ(keys.at(1), "KNX_ID_DEV");
        EXPECT_EQ(keys.at(2), c.first_own);
        EXPECT_EQ(keys.last(), c.last);
    }
    // SNMP writes the PROFINET address and name, but no port and no byte counts.
    const QStringList snmp = ParGen_Model_Keys(15);
    EXPECT_FALSE(snmp.contains("PROFINET_PORT"));
    EXPECT_FALSE(snmp.contains("PROFINET_NB_IN"));
    EXPECT_EQ(snmp.at(snmp.size() - 2), "PROFINET_EN_GAT");
    // EtherNet/IP: the flag between the mask and the gateway octets.
    const QStringList eip = ParGen_Model_Keys(13);
    EXPECT_EQ(eip.indexOf("EtherNetIP_EN_GAT"), eip.indexOf("EtherNetIP_SM4") + 1);
    EXPECT_EQ(eip.indexOf("EtherNetIP_GAT1"), eip.indexOf("EtherNetIP_EN_GAT") + 1);
}

TEST(ParGenFile, Model9DefaultsAreWrittenInOrder)
{
    const TParGenValues v(9);
    const QByteArray bytes = Written(v);
    EXPECT_TRUE(bytes.startsWith("<Par_Gen>")) << bytes.left(40).constData();

    const QList<QPair<QString, QString>> expected = {
        {"KNX_TYPE", "0"},
        {"KNX_ID_DEV", "1.1.200"},
        {"Modbus_TCP_Slave_IP1", "192"},
        {"Modbus_TCP_Slave_IP2", "168"},
        {"Modbus_TCP_Slave_IP3", "0"},
        {"Modbus_TCP_Slave_IP4", "5"},
        {"Modbus_TCP_Slave_SM1", "255"},
        {"Modbus_TCP_Slave_SM2", "255"},
        {"Modbus_TCP_Slave_SM3", "255"},
        {"Modbus_TCP_Slave_SM4", "0"},
        {"Modbus_TCP_Slave_GAT1", "192"},
        {"Modbus_TCP_Slave_GAT2", "168"},
        {"Modbus_TCP_Slave_GAT3", "0"},
        {"Modbus_TCP_Slave_GAT4", "1"},
        {"Modbus_TCP_Slave_EN_GAT", "0"},
        {"J1939_BAUDRATE", "5"},
        {"J1939_TIMEOUT", "0"},
        {"J1939_PEER_TO_PEER", "0"},
        {"J1939_Device_ID", "0"},
    };
    EXPECT_EQ(Elements(bytes), expected);

    // The version comment stands after the root, at document level.
    XmlDocument doc;
    doc.LoadFromBytes(bytes);
    const XmlNode root = doc.FirstChild();
    EXPECT_EQ(root.NodeName(), "Par_Gen");
    const XmlNode comment = root.NextSibling();
    ASSERT_TRUE(comment.IsComment());
    EXPECT_EQ(comment.Text(), "SW_VERSION = 1.100");
    EXPECT_TRUE(comment.NextSibling().IsNull());
}

TEST(ParGenFile, EveryModelWritesItsGroupsInOrderWithTheirDefaults)
{
    using Pairs = QList<QPair<QString, QString>>;
    // An address row: IP1..IP4, SM1..SM4, GAT1..GAT4 with the given first IP
    // defaults, the flag placed after the mask or after the gateway.
    auto address = [](const QString& prefix, const QString& ip4, bool flagBeforeGateway) {
        Pairs p;
        const QStringList ip = {"192", "168", "0", ip4}, sm = {"255", "255", "255", "0"}, gat = {"192", "168", "0", "1"};
        for (int i = 0; i < 4; ++i)
            p.append({prefix + "IP" + QString::number(i + 1), ip[i]});
        for (int i = 0; i < 4; ++i)
            p.append({prefix + "SM" + QString::number(i + 1), sm[i]});
        if (flagBeforeGateway)
            p.append({prefix + "EN_GAT", "0"});
        for (int i = 0; i < 4; ++i)
            p.append({prefix + "GAT" + QString::number(i + 1), gat[i]});
        if (!flagBeforeGateway)
            p.append({prefix + "EN_GAT", "0"});
        return p;
    };
    const Pairs knx = {{"KNX_TYPE", "0"}, {"KNX_ID_DEV", "1.1.200"}};
    const Pairs knxIp = {{"KNX_ID_TUNNEL", "1.1.201"}, {"KNX_ID_MANAGEMENT", "1.1.202"},
                         {"KNX_CONTROL_PORT", "50000"}, {"KNX_TUNNEL_PORT", "50001"},
                         {"KNX_MANAGEMENT_PORT", "50002"}};
    const Pairs knxDelay = {{"KNX_DELAY_BETWEEN_PACKETS", "100"}};
    const Pairs rtuMaster = {{"ModbusM_SERIAL", "0"}, {"ModbusM_BAUDRATE", "7"}, {"ModbusM_PARITY", "0"},
                             {"ModbusM_STOPBITS", "0"}, {"ModbusM_TIMEOUT", "1000"}, {"ModbusM_CYCLIC", "100"}};
    const Pairs rtuSlave = {{"MODBUS_SLAVE_SERIAL", "0"}, {"MODBUS_SLAVE_BAUDRATE", "7"},
                            {"MODBUS_SLAVE_PARITY", "0"}, {"MODBUS_SLAVE_STOPBITS", "0"},
                            {"MODBUS_SLAVE_IDDEVICE", "10"}, {"MODBUS_SLAVE_EN_DIAGNOSTIC", "0"},
                            {"MODBUS_SLAVE_DIAGNOSTIC_REG", "0"}};
    const Pairs tcpMaster = Pairs{{"Modbus_TCP_Master_TimeOut", "1000"}, {"Modbus_TCP_Master_Cyclic", "100"}}
                            + address("Modbus_TCP_Master_", "5", false);
    const Pairs tcpSlaveOwn = {{"Modbus_TCP_Slave_Port", "502"}, {"Modbus_TCP_Slave_EN_DIAGNOSTIC", "0"},
                               {"Modbus_TCP_Slave_DIAGNOSTIC_REG", "0"}};
    const Pairs ethernet = address("Modbus_TCP_Slave_", "5", false);
    const Pairs can = {{"CAN_BAUDRATE", "9"}};
    const Pairs canopen = {{"CANopen_IDDev", "1"}, {"CANopen_BAUDRATE", "5"}, {"CANopen_Set_Operational", "0"},
                           {"CANopen_Network_Start", "0"}, {"CANopen_Delay", "0"}, {"CANopen_SDO_TimeOut", "10000"}};
    const Pairs dnetMaster = {{"DNETM_ID_DEV", "0"}, {"DNETM_BAUDRATE", "2"}};
    const Pairs dnetSlave = {{"DNETS_ID_DEV", "10"}, {"DNETS_BAUDRATE", "2"}, {"DNETS_NB_IN", "455"},
                             {"DNETS_NB_OUT", "455"}};
    const Pairs j1939 = {{"J1939_BAUDRATE", "5"}, {"J1939_TIMEOUT", "0"}, {"J1939_PEER_TO_PEER", "0"},
                         {"J1939_Device_ID", "0"}};
    const Pairs mbus = {{"MBus_Options_Wire_Present", "1"}, {"MBus_Options_Wireless_Present", "1"},
                        {"Meter_Baud", "0"}, {"Meter_Par", "2"}, {"Meter_Req_Delay", "100"},
                        {"Meter_NS_Error_Code", "0"}, {"wMBus_Mode", "0"}, {"wMBus_Radio_Channel", "0"}};
    const Pairs dmx = {{"DMX_DMX", "1"}, {"DMX_Num_Channels", "512"}};
    const Pairs profinet = address("PROFINET_", "5", false)
                           + Pairs{{"PROFINET_PORT", "34964"}, {"PROFINET_NAME_STA", "devicename1"},
                                   {"PROFINET_NB_IN", "1438"}, {"PROFINET_NB_OUT", "1438"}};
    const Pairs eip = address("EtherNetIP_", "11", true)
                      + Pairs{{"EtherNetIP_Port", "44818"}, {"EtherNetIP_NB_IN", "496"}, {"EtherNetIP_NB_OUT", "500"}};
    const Pairs snmp = address("PROFINET_", "5", false) + Pairs{{"PROFINET_NAME_STA", "devicename1"}};

    const struct {
        int model;
        Pairs keys;
    } cases[] = {
        {1, knx + rtuMaster + ethernet},          {1001, knx + rtuMaster + ethernet},
        {2, knx + rtuSlave + ethernet},           {3, knx + tcpMaster},
        {1003, knx + tcpMaster},                  {4, knx + tcpSlaveOwn + ethernet},
        {5, knx + ethernet + can},                {6, knx + ethernet + canopen},
        {7, knx + ethernet + dnetMaster},         {8, knx + ethernet + dnetSlave},
        {9, knx + ethernet + j1939},              {10, knx + ethernet + mbus},
        {1010, knx + ethernet + mbus},            {11, knx + ethernet + dmx},
        {1011, knx + ethernet + dmx},             {12, knx + knxDelay + profinet},
        {1012, knx + knxDelay + profinet},        {13, knx + eip},
        {14, knx + knxIp + ethernet},             {1014, knx + knxIp + ethernet},
        {15, knx + snmp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        EXPECT_EQ(Elements(Written(TParGenValues(c.model))), c.keys);
        // A file with an empty root reads every key's default back.
        EXPECT_EQ(Elements(Written(ReadText(c.model, "<Par_Gen/>"))), c.keys);
    }
}

TEST(ParGenFile, VersionCommentPerModel)
{
    const struct {
        int model;
        const char* comment;
    } cases[] = {
        {1, "SW_VERSION = 1.202"},  {1001, "SW_VERSION = 1.202"}, {2, "SW_VERSION = 1.200"},
        {4, "SW_VERSION = 1.200"},  {3, "SW_VERSION = 1.102"},    {1003, "SW_VERSION = 1.102"},
        {5, "SW_VERSION = 1.101"},  {6, "SW_VERSION = 1.000"},    {7, "SW_VERSION = 1.000"},
        {8, "SW_VERSION = 1.000"},  {12, "SW_VERSION = 1.100"},   {1012, "SW_VERSION = 1.100"},
        {10, "SW_VERSION = 1.203"}, {1010, "SW_VERSION = 1.203"}, {11, "SW_VERSION = 1.104"},
        {1011, "SW_VERSION = 1.104"}, {13, "SW_VERSION = 1.002"}, {15, "SW_VERSION = 1.002"},
        {14, "SW_VERSION = 1.004"}, {1014, "SW_VERSION = 1.004"},
    };
    for (const auto& c : cases) {
        XmlDocument doc;
        TParGenValues(c.model).Build_Document(doc);
        EXPECT_EQ(doc.FirstChild().NextSibling().Text(), c.comment) << c.model;
    }
}

TEST(ParGenFile, ReadingValuesByEncoding)
{
    const struct {
        const char* name;
        const char* xml;
        const char* key;
        const char* value;
    } cases[] = {
        {"missing key takes its default", "<Par_Gen/>", "J1939_BAUDRATE", "5"},
        {"index not a number", "<Par_Gen><J1939_BAUDRATE>A</J1939_BAUDRATE></Par_Gen>", "J1939_BAUDRATE", "5"},
        {"index beyond the list", "<Par_Gen><J1939_BAUDRATE>12</J1939_BAUDRATE></Par_Gen>", "J1939_BAUDRATE", "-1"},
        {"index below the list", "<Par_Gen><J1939_BAUDRATE>-3</J1939_BAUDRATE></Par_Gen>", "J1939_BAUDRATE", "-1"},
        {"index in the list", "<Par_Gen><J1939_BAUDRATE>8</J1939_BAUDRATE></Par_Gen>", "J1939_BAUDRATE", "8"},
        {"index in hexadecimal", "<Par_Gen><J1939_BAUDRATE>$3</J1939_BAUDRATE></Par_Gen>", "J1939_BAUDRATE", "3"},
        {"empty text stays empty", "<Par_Gen><J1939_TIMEOUT/></Par_Gen>", "J1939_TIMEOUT", ""},
        {"text as it stands", "<Par_Gen><KNX_ID_DEV> 1.1.7 </KNX_ID_DEV></Par_Gen>", "KNX_ID_DEV", " 1.1.7 "},
        {"text out of range kept", "<Par_Gen><J1939_Device_ID>999</J1939_Device_ID></Par_Gen>", "J1939_Device_ID", "999"},
        {"flag 1", "<Par_Gen><J1939_PEER_TO_PEER>1</J1939_PEER_TO_PEER></Par_Gen>", "J1939_PEER_TO_PEER", "1"},
        {"flag true", "<Par_Gen><J1939_PEER_TO_PEER>true</J1939_PEER_TO_PEER></Par_Gen>", "J1939_PEER_TO_PEER", "0"},
        {"flag 01", "<Par_Gen><J1939_PEER_TO_PEER>01</J1939_PEER_TO_PEER></Par_Gen>", "J1939_PEER_TO_PEER", "0"},
        {"flag with blank", "<Par_Gen><J1939_PEER_TO_PEER> 1</J1939_PEER_TO_PEER></Par_Gen>", "J1939_PEER_TO_PEER", "0"},
        {"root of another name", "<Other><J1939_Device_ID>7</J1939_Device_ID></Other>", "J1939_Device_ID", "7"},
        {"declaration before the root", "<?xml version=\"1.0\"?><Par_Gen><J1939_Device_ID>7</J1939_Device_ID></Par_Gen>", "J1939_Device_ID", "7"},
        {"comment before the root", "<!-- x --><Par_Gen><J1939_Device_ID>7</J1939_Device_ID></Par_Gen>", "J1939_Device_ID", "7"},
        {"first of two elements", "<Par_Gen><J1939_Device_ID>7</J1939_Device_ID><J1939_Device_ID>8</J1939_Device_ID></Par_Gen>", "J1939_Device_ID", "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TParGenValues v = ReadText(9, QString::fromUtf8(c.xml));
        EXPECT_EQ(v.Value(c.key), c.value);
        // One key's value never disturbs another.
        EXPECT_EQ(v.Value("KNX_TYPE"), "0");
    }
}

TEST(ParGenFile, FixedKeysIgnoreTheFile)
{
    const TParGenValues p = ReadText(12, "<Par_Gen><PROFINET_PORT>1</PROFINET_PORT></Par_Gen>");
    EXPECT_EQ(p.Value("PROFINET_PORT"), "34964");
    const TParGenValues e = ReadText(13, "<Par_Gen><EtherNetIP_Port>80</EtherNetIP_Port></Par_Gen>");
    EXPECT_EQ(e.Value("EtherNetIP_Port"), "44818");
    TParGenValues set(12);
    set.Set_Value("PROFINET_PORT", "2");
    EXPECT_EQ(set.Value("PROFINET_PORT"), "34964");
}

TEST(ParGenFile, NoSelectionIsWrittenAsMinusOne)
{
    const TParGenValues v = ReadText(9, "<Par_Gen><J1939_BAUDRATE>12</J1939_BAUDRATE></Par_Gen>");
    EXPECT_EQ(v.Index("J1939_BAUDRATE"), -1);
    const auto els = Elements(Written(v));
    EXPECT_TRUE(els.contains(QPair<QString, QString>("J1939_BAUDRATE", "-1")));
}

TEST(ParGenFile, AnotherModelsKeysAreDroppedOnRewrite)
{
    const TParGenValues v = ReadText(9,
        "<Par_Gen><CAN_BAUDRATE>3</CAN_BAUDRATE><PROFINET_IP1>10</PROFINET_IP1>"
        "<J1939_Device_ID>12</J1939_Device_ID></Par_Gen>");
    EXPECT_EQ(v.Value("J1939_Device_ID"), "12");
    EXPECT_EQ(v.Value("CAN_BAUDRATE"), "");
    const auto els = Elements(Written(v));
    EXPECT_EQ(els.size(), 19);
    for (const auto& e : els)
        EXPECT_TRUE(e.first != "CAN_BAUDRATE" && e.first != "PROFINET_IP1") << e.first.toStdString();
}

TEST(ParGenFile, FileRoundTripAndFailures)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString path = PathJoin(tmp.path(), "ParGen.xml");

    // No file: the defaults.
    TParGenValues v(9);
    v.Set_Value("J1939_Device_ID", "17");
    v.Read_File(path);
    EXPECT_EQ(v.Value("J1939_Device_ID"), "0");

    v.Set_Value("J1939_Device_ID", "17");
    v.Set_Flag("Modbus_TCP_Slave_EN_GAT", true);
    v.Set_Value("J1939_TIMEOUT", "");
    v.Write_File(path);
    TParGenValues back(9);
    back.Read_File(path);
    EXPECT_EQ(back.Value("J1939_Device_ID"), "17");
    EXPECT_TRUE(back.Flag("Modbus_TCP_Slave_EN_GAT"));
    EXPECT_EQ(back.Value("J1939_TIMEOUT"), "");

    // Not well-formed: an error naming the file; no value is applied.
    WriteFileWhole(path, "<Par_Gen><J1939_Device_ID>5</J1939_Device_ID>");
    try {
        back.Read_File(path);
        FAIL() << "no error raised";
    } catch (const EXmlError& e) {
        EXPECT_TRUE(e.Message().contains("ParGen.xml")) << e.Message().toStdString();
    }
    EXPECT_EQ(back.Value("J1939_Device_ID"), "17");

    // A folder that does not exist: the write is reported.
    EXPECT_THROW(v.Write_File(PathJoin(tmp.path(), "missing/ParGen.xml")), Exception);
}

TEST(ParGenValuesModel, SettersNormalise)
{
    TParGenValues v(9);
    v.Set_Index("J1939_BAUDRATE", 9);
    EXPECT_EQ(v.Value("J1939_BAUDRATE"), "-1");
    v.Set_Index("J1939_BAUDRATE", 2);
    EXPECT_EQ(v.Index("J1939_BAUDRATE"), 2);
    v.Set_Value("J1939_PEER_TO_PEER", "yes");
    EXPECT_FALSE(v.Flag("J1939_PEER_TO_PEER"));
    v.Set_Flag("J1939_PEER_TO_PEER", true);
    EXPECT_EQ(v.Value("J1939_PEER_TO_PEER"), "1");
    v.Set_Value("CAN_BAUDRATE", "3"); // not a key of model 9
    EXPECT_FALSE(v.Has("CAN_BAUDRATE"));
    EXPECT_EQ(v.Value("CAN_BAUDRATE"), "");
}

// ---------------------------------------------------------------------------
// Validation

namespace {

struct CheckCase {
    const char* name;
    int model;
    QList<QPair<const char*, const char*>> values; // over the model's defaults
    int text;                                      // -1: all pass
};

} // namespace

TEST(ParGenCheck, FirstFailingCheckPerModel)
{
    const CheckCase cases[] = {
        {"model 9 defaults pass", 9, {}, -1},
        {"device ID 240", 9, {{"J1939_Device_ID", "240"}}, 975},
        {"device ID 239", 9, {{"J1939_Device_ID", "239"}}, -1},
        {"empty time-out", 9, {{"J1939_TIMEOUT", ""}}, 378},
        {"time-out 100001", 9, {{"J1939_TIMEOUT", "100001"}}, 378},
        {"time-out before device ID", 9, {{"J1939_TIMEOUT", "-5"}, {"J1939_Device_ID", "240"}}, 378},
        {"address before everything", 9, {{"KNX_ID_DEV", "0.0.0"}, {"J1939_TIMEOUT", ""}}, 123},
        {"group address refused", 9, {{"KNX_ID_DEV", "1/2/3"}}, 123},
        {"address trimmed", 9, {{"KNX_ID_DEV", " 1.1.20 "}}, -1},
        {"no-break space is not trimmed", 9, {{"KNX_ID_DEV", "1.1.20\xC2\xA0"}}, 123},
        {"ip octet 3", 9, {{"Modbus_TCP_Slave_IP3", "256"}}, 149},
        {"address octets before mask octets", 9, {{"Modbus_TCP_Slave_SM1", "x"}, {"Modbus_TCP_Slave_IP4", "300"}}, 150},
        {"gateway unticked", 9, {{"Modbus_TCP_Slave_GAT1", "999"}}, -1},
        {"gateway ticked", 9, {{"Modbus_TCP_Slave_GAT1", "999"}, {"Modbus_TCP_Slave_EN_GAT", "1"}}, 163},
        {"gateway 4 ticked", 9, {{"Modbus_TCP_Slave_GAT4", "-1"}, {"Modbus_TCP_Slave_EN_GAT", "1"}}, 166},
        {"hex number accepted", 9, {{"J1939_Device_ID", "$EF"}}, -1},
        // Modbus RTU master
        {"two stop bits with none", 1, {{"ModbusM_STOPBITS", "1"}, {"ModbusM_PARITY", "0"}}, -1},
        {"two stop bits with odd", 1, {{"ModbusM_STOPBITS", "1"}, {"ModbusM_PARITY", "1"}}, 124},
        {"two stop bits with even", 1001, {{"ModbusM_STOPBITS", "1"}, {"ModbusM_PARITY", "2"}}, 124},
        {"master time-out", 1, {{"ModbusM_TIMEOUT", "100001"}}, 125},
        {"master cyclic", 1, {{"ModbusM_CYCLIC", "10001"}}, 126},
        {"master ethernet", 1, {{"Modbus_TCP_Slave_IP1", "256"}}, 147},
        // Modbus RTU slave
        {"slave stop bits", 2, {{"MODBUS_SLAVE_STOPBITS", "1"}, {"MODBUS_SLAVE_PARITY", "2"}}, 341},
        {"slave id 0", 2, {{"MODBUS_SLAVE_IDDEVICE", "0"}}, 127},
        {"slave diagnostic unticked", 2, {{"MODBUS_SLAVE_DIAGNOSTIC_REG", "2000"}}, -1},
        {"slave diagnostic ticked", 2, {{"MODBUS_SLAVE_DIAGNOSTIC_REG", "1439"}, {"MODBUS_SLAVE_EN_DIAGNOSTIC", "1"}}, 982},
        // Modbus TCP master
        {"tcp master time-out", 3, {{"Modbus_TCP_Master_TimeOut", ""}}, 128},
        {"tcp master cyclic", 1003, {{"Modbus_TCP_Master_Cyclic", "10001"}}, 129},
        {"tcp master ip 2", 3, {{"Modbus_TCP_Master_IP2", "256"}}, 131},
        {"tcp master mask 4", 3, {{"Modbus_TCP_Master_SM4", "256"}}, 137},
        {"tcp master gateway 1", 3, {{"Modbus_TCP_Master_GAT1", "256"}, {"Modbus_TCP_Master_EN_GAT", "1"}}, 138},
        // Modbus TCP slave: its own texts
        {"tcp slave port 10000", 4, {{"Modbus_TCP_Slave_Port", "10000"}}, 142},
        {"tcp slave port 65535", 4, {{"Modbus_TCP_Slave_Port", "65535"}}, -1},
        {"tcp slave port 0", 4, {{"Modbus_TCP_Slave_Port", "0"}}, -1},
        {"tcp slave port 65536", 4, {{"Modbus_TCP_Slave_Port", "65536"}}, 142},
        {"tcp slave diagnostic", 4, {{"Modbus_TCP_Slave_DIAGNOSTIC_REG", "1439"}, {"Modbus_TCP_Slave_EN_DIAGNOSTIC", "1"}}, 984},
        {"tcp slave ip 1", 4, {{"Modbus_TCP_Slave_IP1", "256"}}, 143},
        {"tcp slave mask 1", 4, {{"Modbus_TCP_Slave_SM1", "256"}}, 151},
        {"tcp slave gateway 1", 4, {{"Modbus_TCP_Slave_GAT1", "256"}, {"Modbus_TCP_Slave_EN_GAT", "1"}}, 159},
        // CAN has only the KNX and Ethernet checks
        {"can mask 2", 5, {{"Modbus_TCP_Slave_SM2", "256"}}, 156},
        // CANopen
        {"canopen id 0", 6, {{"CANopen_IDDev", "0"}}, 371},
        {"canopen delay unticked", 6, {{"CANopen_Delay", "300"}}, -1},
        {"canopen delay ticked", 6, {{"CANopen_Delay", "256"}, {"CANopen_Network_Start", "1"}}, 372},
        {"canopen sdo", 6, {{"CANopen_SDO_TimeOut", "100001"}}, 373},
        // DeviceNet
        {"dnet master id", 7, {{"DNETM_ID_DEV", "64"}}, 374},
        {"dnet slave id", 8, {{"DNETS_ID_DEV", "64"}}, 375},
        {"dnet slave in", 8, {{"DNETS_NB_IN", "456"}}, 376},
        {"dnet slave out", 8, {{"DNETS_NB_OUT", "456"}}, 377},
        // M-Bus
        {"no m-bus port", 10, {{"MBus_Options_Wire_Present", "0"}, {"MBus_Options_Wireless_Present", "0"}}, 736},
        {"wired absent skips its checks", 1010, {{"MBus_Options_Wire_Present", "0"}, {"Meter_Req_Delay", "70000"}}, -1},
        {"m-bus delay", 10, {{"Meter_Req_Delay", "65536"}}, 737},
        {"m-bus node state", 10, {{"Meter_NS_Error_Code", "256"}}, 738},
        // DMX
        {"dmx 23 channels", 11, {{"DMX_Num_Channels", "23"}}, 862},
        {"dmx 24 channels", 1011, {{"DMX_Num_Channels", "24"}}, -1},
        // PROFINET
        {"profinet delay", 12, {{"KNX_DELAY_BETWEEN_PACKETS", "1001"}}, 980},
        {"profinet ip 4", 12, {{"PROFINET_IP4", "256"}}, 900},
        {"profinet mask 1", 1012, {{"PROFINET_SM1", "256"}}, 901},
        {"profinet gateway 2", 12, {{"PROFINET_GAT2", "256"}, {"PROFINET_EN_GAT", "1"}}, 906},
        {"profinet bytes in 0", 12, {{"PROFINET_NB_IN", "0"}}, 909},
        {"profinet bytes out", 12, {{"PROFINET_NB_OUT", "1439"}}, 910},
        {"profinet station name unchecked", 12, {{"PROFINET_NAME_STA", ""}}, -1},
        // EtherNet/IP
        {"eip ip 1", 13, {{"EtherNetIP_IP1", "256"}}, 929},
        {"eip mask 3", 13, {{"EtherNetIP_SM3", "256"}}, 935},
        {"eip gateway 4", 13, {{"EtherNetIP_GAT4", "256"}, {"EtherNetIP_EN_GAT", "1"}}, 940},
        {"eip bytes in 0", 13, {{"EtherNetIP_NB_IN", "0"}}, -1},
        {"eip bytes in", 13, {{"EtherNetIP_NB_IN", "497"}}, 942},
        {"eip bytes out", 13, {{"EtherNetIP_NB_OUT", "501"}}, 943},
        // KNX interface
        {"interface defaults", 14, {}, -1},
        {"tunnel address", 14, {{"KNX_ID_TUNNEL", "0.0.0"}}, 949},
        {"management address", 1014, {{"KNX_ID_MANAGEMENT", "16.0.1"}}, 950},
        {"control port", 14, {{"KNX_CONTROL_PORT", "65536"}}, 951},
        {"tunnel port", 14, {{"KNX_TUNNEL_PORT", ""}}, 952},
        {"management port", 14, {{"KNX_MANAGEMENT_PORT", "-1"}}, 953},
        {"ports equal", 14, {{"KNX_TUNNEL_PORT", "50000"}}, 954},
        {"control and management equal", 14, {{"KNX_MANAGEMENT_PORT", "50000"}}, 954},
        {"interface ethernet", 14, {{"Modbus_TCP_Slave_IP1", "256"}}, 147},
        // SNMP
        {"snmp ip 1", 15, {{"PROFINET_IP1", "256"}}, 957},
        {"snmp mask 4", 15, {{"PROFINET_SM4", "256"}}, 964},
        {"snmp gateway 1", 15, {{"PROFINET_GAT1", "256"}, {"PROFINET_EN_GAT", "1"}}, 965},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        TParGenValues v(c.model);
        for (const auto& kv : c.values) {
            ASSERT_TRUE(v.Has(kv.first)) << kv.first;
            v.Set_Value(kv.first, kv.second);
        }
        EXPECT_EQ(ParGen_First_Error(v), c.text);
    }
}

TEST(ParGenCheck, MessagesComeFromTheTextTable)
{
    Load_Default_Texts();
    const struct {
        int model;
        const char* key;
        const char* value;
        const char* message;
    } cases[] = {
        {9, "J1939_Device_ID", "240", "Error J1939!! Device ID J1939 must be between 0 and 239"},
        {9, "J1939_TIMEOUT", "", "Error J1939!! TimeOut must be between 0 and 100000s"},
        {9, "KNX_ID_DEV", "0.0.0", "Error KNX!! ID Device must be a valid KNX Address (Ex. 1.1.20)"},
        {9, "Modbus_TCP_Slave_IP1", "256", "Error Ethernet!! IP Address 1 must be between 0 and 255"},
        {4, "Modbus_TCP_Slave_IP1", "256", "Error Modbus TCP Slave!! IP Address 1 must be between 0 and 255"},
        {12, "PROFINET_NB_IN", "0", "Error PROFINET!! Number Byte IN must be between 1 and 1438"},
        {12, "PROFINET_NB_OUT", "0", "Error PROFINET!! Number Byte OUT must be between 1 and 1438"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        TParGenValues v(c.model);
        v.Set_Value(c.key, c.value);
        QStringList shown;
        EXPECT_FALSE(Controllo_Dati(v, [&shown](const QString& m) { shown.append(m); }));
        EXPECT_EQ(shown, QStringList({QString::fromUtf8(c.message)}));
    }

    // All checks pass: nothing is shown.
    QStringList shown;
    EXPECT_TRUE(Controllo_Dati(TParGenValues(9), [&shown](const QString& m) { shown.append(m); }));
    EXPECT_TRUE(shown.isEmpty());
}
