#include "project/ParGen.h"
#include "project/TableFile.h"

#include "project/Models.h"
#include "project/ProjectFiles.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"
#include "platform/xml/XmlDoc.h"

#include <algorithm>

namespace {

using E = TParEncoding;
using G = TParGroup;

// Lists of the drop-down controls.
const QStringList KNX_Types = {"KNX TP", "KNXnet/IP"};
const QStringList Serial_Kinds = {"RS232", "RS485"};
const QStringList Modbus_Bauds = {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
const QStringList Modbus_Parities = {"NONE", "ODD", "EVEN"};
const QStringList Stop_Bits = {"1 Stop Bits", "2 Stop Bits"};
const QStringList CAN_Bauds = {"10K", "20K", "50K", "62.5K", "100K", "125K", "250K", "500K", "800K", "1000K"};
const QStringList CANopen_Bauds = {"10K", "20K", "50K", "100K", "125K", "250K", "500K", "800K", "1000K"};
const QStringList DNet_Bauds = {"125K", "250K", "500K"};
const QStringList Presence = {"Not Present", "Present"};
const QStringList MBus_Bauds = {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400"};
const QStringList MBus_Parities = {"NONE", "EVEN", "ODD"};
const QStringList wMBus_Modes = {"S1", "T1", "N1", "N2"};
const QStringList wMBus_Channels = {"1a @ 4800 bps", "1b @ 4800 bps", "2a @ 2400 bps",
                                    "2b @ 2400 bps", "3a @ 4800 bps", "3b @ 4800 bps",
                                    "0 @ 19200 bps", "2a @ 4800 bps", "2b @ 4800 bps"};
const QStringList DMX_Directions = {"IN", "OUT"};

// clang-format off
QList<TParKey> Make_Keys()
{
    return {
        // KNX, every model
        {"KNX_TYPE",                  G::KNX,           E::Index, "0",       "CB_KNX_Type", KNX_Types},
        {"KNX_ID_DEV",                G::KNX,           E::Text,  "1.1.200", "E_ID_DEV_KNX", {}},
        {"KNX_ID_TUNNEL",             G::KNX_Interface, E::Text,  "1.1.201", "E_ID_Tun_KNX", {}},
        {"KNX_ID_MANAGEMENT",         G::KNX_Interface, E::Text,  "1.1.202", "E_ID_Mana_KNX", {}},
        {"KNX_CONTROL_PORT",          G::KNX_Interface, E::Text,  "50000",   "E_CTRL_Port_KNX", {}},
        {"KNX_TUNNEL_PORT",           G::KNX_Interface, E::Text,  "50001",   "E_TUN_Port_KNX", {}},
        {"KNX_MANAGEMENT_PORT",       G::KNX_Interface, E::Text,  "50002",   "E_MANA_Port_KNX", {}},
        {"KNX_DELAY_BETWEEN_PACKETS", G::KNX_Delay,     E::Text,  "100",     "E_KNX_Delay_Packets", {}},
        // Modbus RTU master
        {"ModbusM_SERIAL",   G::Modbus_Master, E::Index, "0",    "CB_Serial_Modbus_Master", Serial_Kinds},
        {"ModbusM_BAUDRATE", G::Modbus_Master, E::Index, "7",    "CB_Baud_Modbus_Master", Modbus_Bauds},
        {"ModbusM_PARITY",   G::Modbus_Master, E::Index, "0",    "CB_Par_Modbus_Master", Modbus_Parities},
        {"ModbusM_STOPBITS", G::Modbus_Master, E::Index, "0",    "CB_StopBits_Modbus_Master", Stop_Bits},
        {"ModbusM_TIMEOUT",  G::Modbus_Master, E::Text,  "1000", "E_TO_Modbus_Master", {}},
        {"ModbusM_CYCLIC",   G::Modbus_Master, E::Text,  "100",  "E_CD_Modbus_Master", {}},
        // Modbus RTU slave
        {"MODBUS_SLAVE_SERIAL",         G::Modbus_Slave, E::Index, "0",  "CB_Serial_Modbus_Slave", Serial_Kinds},
        {"MODBUS_SLAVE_BAUDRATE",       G::Modbus_Slave, E::Index, "7",  "CB_Baud_Modbus_Slave", Modbus_Bauds},
        {"MODBUS_SLAVE_PARITY",         G::Modbus_Slave, E::Index, "0",  "CB_Par_Modbus_Slave", Modbus_Parities},
        {"MODBUS_SLAVE_STOPBITS",       G::Modbus_Slave, E::Index, "0",  "CB_StopBits_Modbus_Slave", Stop_Bits},
        {"MODBUS_SLAVE_IDDEVICE",       G::Modbus_Slave, E::Text,  "10", "E_ID_Modbus_Slave", {}},
        {"MODBUS_SLAVE_EN_DIAGNOSTIC",  G::Modbus_Slave, E::Flag,  "0",  "CB_Modbus_Slave_Diagnostic", {}},
        {"MODBUS_SLAVE_DIAGNOSTIC_REG", G::Modbus_Slave, E::Text,  "0",  "E_Modbus_Slave_Diagnostic", {}},
        // Modbus TCP master (these models keep their own address here)
        {"Modbus_TCP_Master_TimeOut", G::Modbus_TCP_Master, E::Text, "1000", "E_TO_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_Cyclic",  G::Modbus_TCP_Master, E::Text, "100",  "E_CD_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_IP1",     G::Modbus_TCP_Master, E::Text, "192",  "E_IP1_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_IP2",     G::Modbus_TCP_Master, E::Text, "168",  "E_IP2_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_IP3",     G::Modbus_TCP_Master, E::Text, "0",    "E_IP3_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_IP4",     G::Modbus_TCP_Master, E::Text, "5",    "E_IP4_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_SM1",     G::Modbus_TCP_Master, E::Text, "255",  "E_SM1_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_SM2",     G::Modbus_TCP_Master, E::Text, "255",  "E_SM2_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_SM3",     G::Modbus_TCP_Master, E::Text, "255",  "E_SM3_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_SM4",     G::Modbus_TCP_Master, E::Text, "0",    "E_SM4_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_GAT1",    G::Modbus_TCP_Master, E::Text, "192",  "E_GAT1_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_GAT2",    G::Modbus_TCP_Master, E::Text, "168",  "E_GAT2_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_GAT3",    G::Modbus_TCP_Master, E::Text, "0",    "E_GAT3_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_GAT4",    G::Modbus_TCP_Master, E::Text, "1",    "E_GAT4_Modbus_TCP_Master", {}},
        {"Modbus_TCP_Master_EN_GAT",  G::Modbus_TCP_Master, E::Flag, "0",    "CB_En_GAT_Modbus_TCP_Master", {}},
        // Modbus TCP slave only, then the Ethernet group of every model with one
        {"Modbus_TCP_Slave_Port",           G::Modbus_TCP_Slave, E::Text, "502", "E_Port_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_EN_DIAGNOSTIC",  G::Modbus_TCP_Slave, E::Flag, "0",   "CB_Modbus_TCP_Slave_Diagnostic", {}},
        {"Modbus_TCP_Slave_DIAGNOSTIC_REG", G::Modbus_TCP_Slave, E::Text, "0",   "E_Modbus_TCP_Slave_Diagnostic", {}},
        {"Modbus_TCP_Slave_IP1",    G::Ethernet, E::Text, "192", "E_IP1_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_IP2",    G::Ethernet, E::Text, "168", "E_IP2_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_IP3",    G::Ethernet, E::Text, "0",   "E_IP3_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_IP4",    G::Ethernet, E::Text, "5",   "E_IP4_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_SM1",    G::Ethernet, E::Text, "255", "E_SM1_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_SM2",    G::Ethernet, E::Text, "255", "E_SM2_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_SM3",    G::Ethernet, E::Text, "255", "E_SM3_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_SM4",    G::Ethernet, E::Text, "0",   "E_SM4_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_GAT1",   G::Ethernet, E::Text, "192", "E_GAT1_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_GAT2",   G::Ethernet, E::Text, "168", "E_GAT2_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_GAT3",   G::Ethernet, E::Text, "0",   "E_GAT3_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_GAT4",   G::Ethernet, E::Text, "1",   "E_GAT4_Modbus_TCP_Slave", {}},
        {"Modbus_TCP_Slave_EN_GAT", G::Ethernet, E::Flag, "0",   "CB_En_GAT_Modbus_TCP_Slave", {}},
        // CAN
        {"CAN_BAUDRATE", G::CAN, E::Index, "9", "CAN_Baud", CAN_Bauds},
        // CANopen
        {"CANopen_IDDev",           G::CANopen, E::Text,  "1",     "E_ID_CANopen", {}},
        {"CANopen_BAUDRATE",        G::CANopen, E::Index, "5",     "CB_Baud_CANopen", CANopen_Bauds},
        {"CANopen_Set_Operational", G::CANopen, E::Flag,  "0",     "CB_Set_Ope_CANopen", {}},
        {"CANopen_Network_Start",   G::CANopen, E::Flag,  "0",     "CB_Net_Ope_CANopen", {}},
        {"CANopen_Delay",           G::CANopen, E::Text,  "0",     "E_NO_Delay_CANopen", {}},
        {"CANopen_SDO_TimeOut",     G::CANopen, E::Text,  "10000", "E_SDO_TO_CANopen", {}},
        // DeviceNet master and slave
        {"DNETM_ID_DEV",   G::DNet_Master, E::Text,  "0",   "E_ID_DNET_Master", {}},
        {"DNETM_BAUDRATE", G::DNet_Master, E::Index, "2",   "CB_Baud_DNET_Master", DNet_Bauds},
        {"DNETS_ID_DEV",   G::DNet_Slave,  E::Text,  "10",  "E_ID_DNET_Slave", {}},
        {"DNETS_BAUDRATE", G::DNet_Slave,  E::Index, "2",   "CB_Baud_DNET_Slave", DNet_Bauds},
        {"DNETS_NB_IN",    G::DNet_Slave,  E::Text,  "455", "E_NB_IN_DNET_Slave", {}},
        {"DNETS_NB_OUT",   G::DNet_Slave,  E::Text,  "455", "E_NB_OUT_DNET_Slave", {}},
        // J1939
        {"J1939_BAUDRATE",     G::J1939, E::Index, "5", "CB_Baud_J1939", CANopen_Bauds},
        {"J1939_TIMEOUT",      G::J1939, E::Text,  "0", "E_TO_J1939", {}},
        {"J1939_PEER_TO_PEER", G::J1939, E::Flag,  "0", "CB_En_Peer_J1939", {}},
        {"J1939_Device_ID",    G::J1939, E::Text,  "0", "E_J1939_DevID", {}},
        // M-Bus
        {"MBus_Options_Wire_Present",     G::MBus, E::Index, "1",   "CB_MBus_Options_Wire_Present", Presence},
        {"MBus_Options_Wireless_Present", G::MBus, E::Index, "1",   "CB_MBus_Options_Wireless_Present", Presence},
        {"Meter_Baud",                    G::MBus, E::Index, "0",   "CB_Baud_Mbus", MBus_Bauds},
        {"Meter_Par",                     G::MBus, E::Index, "2",   "CB_Parity_Mbus", MBus_Parities},
        {"Meter_Req_Delay",               G::MBus, E::Text,  "100", "E_CD_Mbus", {}},
        {"Meter_NS_Error_Code",           G::MBus, E::Text,  "0",   "E_NSE_MBus", {}},
        {"wMBus_Mode",                    G::MBus, E::Index, "0",   "CB_wMBus_Mode", wMBus_Modes},
        {"wMBus_Radio_Channel",           G::MBus, E::Index, "0",   "CB_wMBus_Radio_Channel", wMBus_Channels},
        // DMX
        {"DMX_DMX",          G::DMX, E::Index, "1",   "CB_DMX_DMX", DMX_Directions},
        {"DMX_Num_Channels", G::DMX, E::Text,  "512", "E_DMX_Num_Channel", {}},
        // PROFINET (the address and the station name also serve SNMP)
        {"PROFINET_IP1",      G::PROFINET,      E::Text,  "192",         "E_IP1", {}},
        {"PROFINET_IP2",      G::PROFINET,      E::Text,  "168",         "E_IP2", {}},
        {"PROFINET_IP3",      G::PROFINET,      E::Text,  "0",           "E_IP3", {}},
        {"PROFINET_IP4",      G::PROFINET,      E::Text,  "5",           "E_IP4", {}},
        {"PROFINET_SM1",      G::PROFINET,      E::Text,  "255",         "E_SM1", {}},
        {"PROFINET_SM2",      G::PROFINET,      E::Text,  "255",         "E_SM2", {}},
        {"PROFINET_SM3",      G::PROFINET,      E::Text,  "255",         "E_SM3", {}},
        {"PROFINET_SM4",      G::PROFINET,      E::Text,  "0",           "E_SM4", {}},
        {"PROFINET_GAT1",     G::PROFINET,      E::Text,  "192",         "E_GAT1", {}},
        {"PROFINET_GAT2",     G::PROFINET,      E::Text,  "168",         "E_GAT2", {}},
        {"PROFINET_GAT3",     G::PROFINET,      E::Text,  "0",           "E_GAT3", {}},
        {"PROFINET_GAT4",     G::PROFINET,      E::Text,  "1",           "E_GAT4", {}},
        {"PROFINET_EN_GAT",   G::PROFINET,      E::Flag,  "0",           "CB_EN_GAT", {}},
        {"PROFINET_PORT",     G::PROFINET_Only, E::Fixed, "34964",       "E_PORT", {}},
        {"PROFINET_NAME_STA", G::PROFINET,      E::Text,  "devicename1", "E_Profinet_Name_Station", {}},
        {"PROFINET_NB_IN",    G::PROFINET_Only, E::Text,  "1438",        "E_NB_IN_PROFINET", {}},
        {"PROFINET_NB_OUT",   G::PROFINET_Only, E::Text,  "1438",        "E_NB_OUT_PROFINET", {}},
        // EtherNet/IP (the flag stands between the mask and the gateway)
        {"EtherNetIP_IP1",    G::EtherNetIP, E::Text,  "192",   "E_EtherNetIP_IP1", {}},
        {"EtherNetIP_IP2",    G::EtherNetIP, E::Text,  "168",   "E_EtherNetIP_IP2", {}},
        {"EtherNetIP_IP3",    G::EtherNetIP, E::Text,  "0",     "E_EtherNetIP_IP3", {}},
        {"EtherNetIP_IP4",    G::EtherNetIP, E::Text,  "11",    "E_EtherNetIP_IP4", {}},
        {"EtherNetIP_SM1",    G::EtherNetIP, E::Text,  "255",   "E_EtherNetIP_SM1", {}},
        {"EtherNetIP_SM2",    G::EtherNetIP, E::Text,  "255",   "E_EtherNetIP_SM2", {}},
        {"EtherNetIP_SM3",    G::EtherNetIP, E::Text,  "255",   "E_EtherNetIP_SM3", {}},
        {"EtherNetIP_SM4",    G::EtherNetIP, E::Text,  "0",     "E_EtherNetIP_SM4", {}},
        {"EtherNetIP_EN_GAT", G::EtherNetIP, E::Flag,  "0",     "CB_EtherNetIP_Gateway", {}},
        {"EtherNetIP_GAT1",   G::EtherNetIP, E::Text,  "192",   "E_EtherNetIP_GAT1", {}},
        {"EtherNetIP_GAT2",   G::EtherNetIP, E::Text,  "168",   "E_EtherNetIP_GAT2", {}},
        {"EtherNetIP_GAT3",   G::EtherNetIP, E::Text,  "0",     "E_EtherNetIP_GAT3", {}},
        {"EtherNetIP_GAT4",   G::EtherNetIP, E::Text,  "1",     "E_EtherNetIP_GAT4", {}},
        {"EtherNetIP_Port",   G::EtherNetIP, E::Fixed, "44818", "E_Port_EtherNetIP", {}},
        {"EtherNetIP_NB_IN",  G::EtherNetIP, E::Text,  "496",   "E_B_IN_EtherNetIP", {}},
        {"EtherNetIP_NB_OUT", G::EtherNetIP, E::Text,  "500",   "E_B_OUT_EtherNetIP", {}},
    };
}

// The groups of each base model after the KNX group (partner editions take
// their base model's row).
struct TModelGroups {
    int Base;
    QList<TParGroup> Groups;
};

const QList<TModelGroups> Model_Groups = {
    {1,  {G::KNX, G::Modbus_Master, G::Ethernet}},
    {2,  {G::KNX, G::Modbus_Slave, G::Ethernet}},
    {3,  {G::KNX, G::Modbus_TCP_Master}},
    {4,  {G::KNX, G::Modbus_TCP_Slave, G::Ethernet}},
    {5,  {G::KNX, G::Ethernet, G::CAN}},
    {6,  {G::KNX, G::Ethernet, G::CANopen}},
    {7,  {G::KNX, G::Ethernet, G::DNet_Master}},
    {8,  {G::KNX, G::Ethernet, G::DNet_Slave}},
    {9,  {G::KNX, G::Ethernet, G::J1939}},
    {10, {G::KNX, G::Ethernet, G::MBus}},
    {11, {G::KNX, G::Ethernet, G::DMX}},
    {12, {G::KNX, G::KNX_Delay, G::PROFINET, G::PROFINET_Only}},
    {13, {G::KNX, G::EtherNetIP}},
    {14, {G::KNX, G::KNX_Interface, G::Ethernet}},
    {15, {G::KNX, G::PROFINET}},
};
// clang-format on

bool IsIndexInList(const TParKey& key, int index)
{
    return index >= 0 && index < key.Items.size();
}

// The text a value is held as, for a value given by the caller or the file.
QString Normalise(const TParKey& key, const QString& value, bool fromFile)
{
    switch (key.Encoding) {
    case E::Index: {
        int index = 0;
        if (!TryStrToInt(value, index)) {
            // A file's value that is not a number selects the default item.
            if (fromFile)
                return QString::fromLatin1(key.Default);
            return QStringLiteral("-1");
        }
        return IsIndexInList(key, index) ? IntToStr(index) : QStringLiteral("-1");
    }
    case E::Flag:
        return value == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0");
    case E::Fixed:
        return QString::fromLatin1(key.Default);
    case E::Text:
        break;
    }
    return value;
}

} // namespace

const QList<TParKey>& ParGen_Keys()
{
    static const QList<TParKey> keys = Make_Keys();
    return keys;
}

const TParKey* Find_ParGen_Key(const QString& name)
{
    for (const TParKey& k : ParGen_Keys())
        if (name == QLatin1String(k.Name))
            return &k;
    return nullptr;
}

const TParKey& Require_ParGen_Key(const QString& name)
{
    const TParKey* k = Find_ParGen_Key(name);
    if (!k)
        throw EInvalidOperation(QStringLiteral("\"%1\" is not a key of %2").arg(name, ProjectFiles::ParGen));
    return *k;
}

QString ParGen_Default(const QString& name)
{
    const TParKey* k = Find_ParGen_Key(name);
    return k ? QString::fromLatin1(k->Default) : QString();
}

int ParGen_Default_Int(const QString& name)
{
    const TParKey* k = Find_ParGen_Key(name);
    return k ? StrToIntDef(QString::fromLatin1(k->Default), -1) : -1;
}

QList<TParGroup> ParGen_Groups(int modelCode)
{
    const int base = Base_Model_Code(modelCode);
    for (const TModelGroups& m : Model_Groups)
        if (m.Base == base)
            return m.Groups;
    return {G::KNX};
}

QList<int> ParGen_Group_Codes()
{
    QList<int> codes;
    for (const TModelGroups& m : Model_Groups)
        codes.append(m.Base);
    return codes;
}

QStringList ParGen_Model_Keys(int modelCode)
{
    const QList<TParGroup> groups = ParGen_Groups(modelCode);
    QStringList keys;
    for (const TParKey& k : ParGen_Keys())
        if (groups.contains(k.Group))
            keys.append(QString::fromLatin1(k.Name));
    return keys;
}

QString ParGen_Read_Value(const XmlNode& root, const TParKey& key)
{
    const XmlNode el = root.IsNull() ? XmlNode() : root.ChildElement(QString::fromLatin1(key.Name));
    if (el.IsNull())
        return QString::fromLatin1(key.Default);
    return Normalise(key, el.Text(), true);
}

// ---------------------------------------------------------------------------

TParGenValues::TParGenValues() : TParGenValues(Model_Code) {}

TParGenValues::TParGenValues(int modelCode) : FModel(modelCode), FKeys(ParGen_Model_Keys(modelCode))
{
    Load_Defaults();
}

void TParGenValues::Load_Defaults()
{
    FValues.clear();
    for (const QString& key : FKeys)
        FValues.append(ParGen_Default(key));
}

void TParGenValues::Read_File(const QString& path)
{
    // A file that stands there but cannot be read raises with its reason.
    if (!Project_File_Present(path)) {
        Load_Defaults();
        return;
    }
    XmlDocument doc;
    doc.LoadFromFile(path); // raises with the file's name; nothing is applied
    Read_Document(doc);
}

void TParGenValues::Read_Document(const XmlDocument& doc)
{
    const XmlNode root = doc.DocumentElement();
    for (int i = 0; i < FKeys.size(); ++i)
        FValues[i] = ParGen_Read_Value(root, *Find_ParGen_Key(FKeys.at(i)));
}

void TParGenValues::Build_Document(XmlDocument& doc) const
{
    XmlNode root = doc.CreateRoot(ProjectFiles::ParGenXml::Root);
    doc.AppendComment(Get_SW_Version_Comment(FModel));
    for (int i = 0; i < FKeys.size(); ++i)
        root.AppendElement(FKeys.at(i)).SetText(FValues.at(i));
}

void TParGenValues::Write_File(const QString& path) const
{
    XmlDocument doc;
    Build_Document(doc);
    doc.SaveToFile(path);
}

QString TParGenValues::Value(const QString& key) const
{
    const int i = FKeys.indexOf(key);
    return i < 0 ? QString() : FValues.at(i);
}

void TParGenValues::Set_Value(const QString& key, const QString& value)
{
    const int i = FKeys.indexOf(key);
    if (i >= 0)
        FValues[i] = Normalise(*Find_ParGen_Key(key), value, false);
}

int TParGenValues::Index(const QString& key) const
{
    return StrToIntDef(Value(key), -1);
}

void TParGenValues::Set_Index(const QString& key, int index)
{
    Set_Value(key, IntToStr(index));
}

bool TParGenValues::Flag(const QString& key) const
{
    return Value(key) == QLatin1String("1");
}

void TParGenValues::Set_Flag(const QString& key, bool ticked)
{
    Set_Value(key, ticked ? QStringLiteral("1") : QStringLiteral("0"));
}

