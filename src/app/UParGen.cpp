#include "app/UParGen.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
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
    if (!FileExists(path)) {
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
    XmlNode root = doc.CreateRoot(QStringLiteral("Par_Gen"));
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

// ---------------------------------------------------------------------------
// Validation

namespace {

enum class TCheckKind {
    Range,        // the number lies in Min..Max (not a number counts as -1)
    KnxAddress,   // an individual KNX address, 0.0.0 refused
    TwoStopBits,  // two stop bits (Key) only with no parity (Key2)
    NotPort10000, // Range and not 10000
    PortsDiffer,  // Key, Key2 and Key3 pairwise different
    Equal,        // exactly Min
    AnyPresent,   // Key or Key2 not at index 0
};

enum class TCondition {
    None,
    Ticked,  // the flag Cond is ticked
    Present, // the list Cond is at index 1
};

struct TParCheck {
    TCheckKind Kind;
    QString Key;
    int Min, Max;
    int Text;
    TCondition When = TCondition::None;
    QString Cond = {};
    QString Key2 = {};
    QString Key3 = {};
    bool Append_1438 = false;
};

using K = TCheckKind;
using C = TCondition;

// The four octet fields of an address row ("<prefix>1".."<prefix>4"), each
// with its own message numbered from `text`.
QList<TParCheck> Octets(const QString& prefix, int text, C when = C::None, const QString& cond = {})
{
    QList<TParCheck> checks;
    for (int i = 1; i <= 4; ++i)
        checks.append({K::Range, prefix + QString::number(i), 0, 255, text + i - 1, when, cond});
    return checks;
}

// One validation group per model part, in the order the checks run.
enum class TCheckGroup {
    KNX, KNX_Interface, KNX_Delay, Modbus_Master, Modbus_Slave, Modbus_TCP_Master,
    Ethernet_TCP_Slave, Ethernet, CANopen, DNet_Master, DNet_Slave, J1939, MBus, DMX,
    PROFINET, EtherNetIP, SNMP
};
using CG = TCheckGroup;

const QList<TParCheck>& Checks_Of(TCheckGroup g)
{
    // clang-format off
    static const QList<TParCheck> knx = {
        {K::KnxAddress, "KNX_ID_DEV", 0, 0, 123},
    };
    static const QList<TParCheck> knxInterface = {
        {K::KnxAddress, "KNX_ID_TUNNEL",       0, 0,     949},
        {K::KnxAddress, "KNX_ID_MANAGEMENT",   0, 0,     950},
        {K::Range,      "KNX_CONTROL_PORT",    0, 65535, 951},
        {K::Range,      "KNX_TUNNEL_PORT",     0, 65535, 952},
        {K::Range,      "KNX_MANAGEMENT_PORT", 0, 65535, 953},
        {K::PortsDiffer, "KNX_CONTROL_PORT",   0, 0,     954, C::None, {}, "KNX_TUNNEL_PORT", "KNX_MANAGEMENT_PORT"},
    };
    static const QList<TParCheck> knxDelay = {
        {K::Range, "KNX_DELAY_BETWEEN_PACKETS", 0, 1000, 980},
    };
    static const QList<TParCheck> modbusMaster = {
        {K::TwoStopBits, "ModbusM_STOPBITS", 0, 0,      124, C::None, {}, "ModbusM_PARITY"},
        {K::Range,       "ModbusM_TIMEOUT",  0, 100000, 125},
        {K::Range,       "ModbusM_CYCLIC",   0, 10000,  126},
    };
    static const QList<TParCheck> modbusSlave = {
        {K::TwoStopBits, "MODBUS_SLAVE_STOPBITS",       0, 0,    341, C::None, {}, "MODBUS_SLAVE_PARITY"},
        {K::Range,       "MODBUS_SLAVE_IDDEVICE",       1, 247,  127},
        {K::Range,       "MODBUS_SLAVE_DIAGNOSTIC_REG", 0, 1438, 982, C::Ticked, "MODBUS_SLAVE_EN_DIAGNOSTIC"},
    };
    static const QList<TParCheck> modbusTcpMaster = QList<TParCheck>{
        {K::Range, "Modbus_TCP_Master_TimeOut", 0, 100000, 128},
        {K::Range, "Modbus_TCP_Master_Cyclic",  0, 10000,  129},
    } + Octets("Modbus_TCP_Master_IP", 130) + Octets("Modbus_TCP_Master_SM", 134)
      + Octets("Modbus_TCP_Master_GAT", 138, C::Ticked, "Modbus_TCP_Master_EN_GAT");
    static const QList<TParCheck> ethernetTcpSlave = QList<TParCheck>{
        {K::NotPort10000, "Modbus_TCP_Slave_Port",           0, 65535, 142},
        {K::Range,        "Modbus_TCP_Slave_DIAGNOSTIC_REG", 0, 1438,  984, C::Ticked, "Modbus_TCP_Slave_EN_DIAGNOSTIC"},
    } + Octets("Modbus_TCP_Slave_IP", 143) + Octets("Modbus_TCP_Slave_SM", 151)
      + Octets("Modbus_TCP_Slave_GAT", 159, C::Ticked, "Modbus_TCP_Slave_EN_GAT");
    static const QList<TParCheck> ethernet =
        Octets("Modbus_TCP_Slave_IP", 147) + Octets("Modbus_TCP_Slave_SM", 155)
      + Octets("Modbus_TCP_Slave_GAT", 163, C::Ticked, "Modbus_TCP_Slave_EN_GAT");
    static const QList<TParCheck> canopen = {
        {K::Range, "CANopen_IDDev",       1, 127,    371},
        {K::Range, "CANopen_Delay",       0, 255,    372, C::Ticked, "CANopen_Network_Start"},
        {K::Range, "CANopen_SDO_TimeOut", 0, 100000, 373},
    };
    static const QList<TParCheck> dnetMaster = {
        {K::Range, "DNETM_ID_DEV", 0, 63, 374},
    };
    static const QList<TParCheck> dnetSlave = {
        {K::Range, "DNETS_ID_DEV", 0, 63,  375},
        {K::Range, "DNETS_NB_IN",  0, 455, 376},
        {K::Range, "DNETS_NB_OUT", 0, 455, 377},
    };
    static const QList<TParCheck> j1939 = {
        {K::Range, "J1939_TIMEOUT",   0, 100000, 378},
        {K::Range, "J1939_Device_ID", 0, 239,    975},
    };
    static const QList<TParCheck> mbus = {
        {K::AnyPresent, "MBus_Options_Wire_Present", 0, 0,  736, C::None, {}, "MBus_Options_Wireless_Present"},
        {K::Range, "Meter_Req_Delay",     0, 65535, 737, C::Present, "MBus_Options_Wire_Present"},
        {K::Range, "Meter_NS_Error_Code", 0, 255,   738, C::Present, "MBus_Options_Wire_Present"},
    };
    static const QList<TParCheck> dmx = {
        {K::Range, "DMX_Num_Channels", 24, 512, 862},
    };
    static const QList<TParCheck> profinet =
        Octets("PROFINET_IP", 897) + Octets("PROFINET_SM", 901)
      + Octets("PROFINET_GAT", 905, C::Ticked, "PROFINET_EN_GAT") + QList<TParCheck>{
        {K::Range, "PROFINET_NB_IN",  1, 1438, 909, C::None, {}, {}, {}, true},
        {K::Range, "PROFINET_NB_OUT", 1, 1438, 910, C::None, {}, {}, {}, true},
    };
    static const QList<TParCheck> ethernetIp =
        Octets("EtherNetIP_IP", 929) + Octets("EtherNetIP_SM", 933)
      + Octets("EtherNetIP_GAT", 937, C::Ticked, "EtherNetIP_EN_GAT") + QList<TParCheck>{
        {K::Equal, "EtherNetIP_Port",   44818, 44818, 941},
        {K::Range, "EtherNetIP_NB_IN",  0, 496, 942},
        {K::Range, "EtherNetIP_NB_OUT", 0, 500, 943},
    };
    static const QList<TParCheck> snmp =
        Octets("PROFINET_IP", 957) + Octets("PROFINET_SM", 961)
      + Octets("PROFINET_GAT", 965, C::Ticked, "PROFINET_EN_GAT");
    // clang-format on

    switch (g) {
    case CG::KNX: return knx;
    case CG::KNX_Interface: return knxInterface;
    case CG::KNX_Delay: return knxDelay;
    case CG::Modbus_Master: return modbusMaster;
    case CG::Modbus_Slave: return modbusSlave;
    case CG::Modbus_TCP_Master: return modbusTcpMaster;
    case CG::Ethernet_TCP_Slave: return ethernetTcpSlave;
    case CG::Ethernet: return ethernet;
    case CG::CANopen: return canopen;
    case CG::DNet_Master: return dnetMaster;
    case CG::DNet_Slave: return dnetSlave;
    case CG::J1939: return j1939;
    case CG::MBus: return mbus;
    case CG::DMX: return dmx;
    case CG::PROFINET: return profinet;
    case CG::EtherNetIP: return ethernetIp;
    case CG::SNMP: return snmp;
    }
    return knx;
}

// clang-format off
const QList<QPair<int, QList<TCheckGroup>>> Model_Checks = {
    {1,  {CG::KNX, CG::Modbus_Master, CG::Ethernet}},
    {2,  {CG::KNX, CG::Modbus_Slave, CG::Ethernet}},
    {3,  {CG::KNX, CG::Modbus_TCP_Master}},
    {4,  {CG::KNX, CG::Ethernet_TCP_Slave}},
    {5,  {CG::KNX, CG::Ethernet}},
    {6,  {CG::KNX, CG::Ethernet, CG::CANopen}},
    {7,  {CG::KNX, CG::Ethernet, CG::DNet_Master}},
    {8,  {CG::KNX, CG::Ethernet, CG::DNet_Slave}},
    {9,  {CG::KNX, CG::Ethernet, CG::J1939}},
    {10, {CG::KNX, CG::Ethernet, CG::MBus}},
    {11, {CG::KNX, CG::Ethernet, CG::DMX}},
    {12, {CG::KNX, CG::KNX_Delay, CG::PROFINET}},
    {13, {CG::KNX, CG::EtherNetIP}},
    {14, {CG::KNX, CG::KNX_Interface, CG::Ethernet}},
    {15, {CG::KNX, CG::SNMP}},
};
// clang-format on

// A numeric field as the checks read it: -1 when not an integer.
int Number(const TParGenValues& v, const QString& key)
{
    return StrToIntDef(v.Value(key), -1);
}

bool Applies(const TParGenValues& v, const TParCheck& c)
{
    switch (c.When) {
    case C::None: return true;
    case C::Ticked: return v.Flag(c.Cond);
    case C::Present: return v.Index(c.Cond) == 1;
    }
    return true;
}

bool Passes(const TParGenValues& v, const TParCheck& c)
{
    const QString& key = c.Key;
    switch (c.Kind) {
    case K::Range: {
        const int n = Number(v, c.Key);
        return n >= c.Min && n <= c.Max;
    }
    case K::KnxAddress:
        return Check_KNX_Address(Trim(v.Value(key)), false, false) == 0;
    case K::TwoStopBits:
        return !(v.Index(key) > 0 && v.Index(c.Key2) > 0);
    case K::NotPort10000: {
        const int n = Number(v, c.Key);
        return n >= c.Min && n <= c.Max && n != 10000;
    }
    case K::PortsDiffer: {
        const int control = Number(v, c.Key);
        const int tunnel = Number(v, c.Key2);
        const int management = Number(v, c.Key3);
        return control != tunnel && management != tunnel && control != management;
    }
    case K::Equal:
        return Number(v, c.Key) == c.Min;
    case K::AnyPresent:
        return !(v.Index(key) == 0 && v.Index(c.Key2) == 0);
    }
    return true;
}

} // namespace

int ParGen_First_Error(const TParGenValues& values, QString* message)
{
    const int base = Base_Model_Code(values.ModelCode());
    QList<TCheckGroup> groups = {CG::KNX};
    for (const auto& m : Model_Checks)
        if (m.first == base)
            groups = m.second;
    for (TCheckGroup g : groups) {
        for (const TParCheck& c : Checks_Of(g)) {
            if (!Applies(values, c) || Passes(values, c))
                continue;
            if (message) {
                *message = Text_Of(c.Text);
                if (c.Append_1438)
                    *message += QStringLiteral("1438");
            }
            return c.Text;
        }
    }
    return -1;
}

bool Controllo_Dati(const TParGenValues& values, const std::function<void(const QString&)>& showError)
{
    QString message;
    if (ParGen_First_Error(values, &message) < 0)
        return true;
    if (showError)
        showError(message);
    return false;
}

// ---------------------------------------------------------------------------
// The general-parameters dialog

namespace {

using B = TParGenBox;

// clang-format off
const QList<TGroupBoxInfo> Group_Box_Table = {
    {B::KNX,               "GB_KNX",               94,  {"L_KNX_Type", "CB_KNX_Type"},                                     227},
    {B::Modbus_TCP_Slave,  "GB_Modbus_TCP_Slave",  116, {"L_Modbus_TCP_Slave_IP_Add"},                                     179},
    {B::Modbus_TCP_Master, "GB_Modbus_TCP_Master", 109, {"L_Modbus_TCP_Master_IP_Add"},                                    179},
    {B::Modbus_Slave,      "GB_Modbus_Slave",      104, {"L_Modbus_Slave_Serial", "CB_Serial_Modbus_Slave"},               179},
    {B::Modbus_Master,     "GB_Modbus_Master",     97,  {"L_Modbus_Master_Serial", "CB_Serial_Modbus_Master"},             179},
    {B::CAN,               "GB_CAN",               351, {"L_CAN_Baud", "CAN_Baud"},                                        179},
    {B::CANopen,           "GB_CANopen",           353, {"L_CANopen_ID_Dev", "E_ID_CANopen"},                              179},
    {B::DNET_Master,       "GB_DNET_Master",       359, {"L_DNET_Master_ID_Dev", "E_ID_DNET_Master"},                      179},
    {B::DNET_Slave,        "GB_DNET_Slave",        362, {"L_DNET_Slave_ID_Dev", "E_ID_DNET_Slave"},                        179},
    {B::J1939,             "GB_J1939",             367, {"L_J1939_Baud", "CB_Baud_J1939"},                                 179},
    {B::MBus_Options,      "GB_MBus_Options",      720, {"L_MBus_Options_Wire_Present", "CB_MBus_Options_Wire_Present"},   179},
    {B::wMBus,             "GB_wMBus",             733, {"L_wMBus_Mode", "CB_wMBus_Mode"},                                 179},
    {B::MBus,              "GB_MBus",              727, {"L_MBus_Baud", "CB_Baud_Mbus"},                                   179},
    {B::DMX,               "GB_DMX",               860, {"L_DMX_DMX", "CB_DMX_DMX"},                                       179},
    {B::PROFINET,          "GB_PROFINET",          889, {"L_PROFINET_IP_Add"},                                             179},
    {B::EtherNetIP,        "GB_EtherNetIP",        922, {"L_EtherNetIP_IP_Add"},                                           179},
};

// --- Controls inside the groups

// A plain input is wide (left 82, width 192) or narrow (left 148, width 126).
constexpr int Wide_Left = 82, Wide_Width = 192;
constexpr int Narrow_Left = 148, Narrow_Width = 126;
constexpr int Caption_Left = 16;
constexpr int Caption_Width = 130;
constexpr int Label_Height = 13;
constexpr int Check_Width = 258;

enum class TInput { None, Wide_Edit, Narrow_Edit, Wide_List, Narrow_List };

// One row of a group: a caption (label or check box) and an input beside it.
// A row number places both; the tops and lefts given override it.
struct TRowDef {
    TParGenBox Box;
    const char* Caption;
    int Text;
    bool Check;          // the caption is a check box
    const char* Input;
    TInput Kind;
    int Row;
    int Input_Top = -1;
    int Caption_Top = -1;
    int Input_Left = -1;
    int Input_Width = -1;
};

// The tops of the address block of the four address groups and of the rows
// below it.
constexpr int IP_Label_Top = 24, IP_Octet_Top = 43;
constexpr int SM_Label_Top = 79, SM_Octet_Top = 98;
constexpr int GAT_Check_Top = 134, GAT_Octet_Top = 154;
constexpr int Octet_Width = 60;
constexpr int Octet_Lefts[4] = {16, 82, 148, 214};
constexpr int Address_Row_Top[3] = {188, 222, 256};

struct TAddressDef {
    TParGenBox Box;
    const char* IP_Label;
    int IP_Text;
    const char* SM_Label;
    int SM_Text;
    const char* Gateway_Check;
    int Gateway_Text;
};

// clang-format off
const TAddressDef Address_Blocks[] = {
    {B::Modbus_TCP_Master, "L_Modbus_TCP_Master_IP_Add", 110, "L_Modbus_TCP_Master_SM_Add", 111, "CB_En_GAT_Modbus_TCP_Master", 112},
    {B::Modbus_TCP_Slave,  "L_Modbus_TCP_Slave_IP_Add",  117, "L_Modbus_TCP_Slave_SM_Add",  118, "CB_En_GAT_Modbus_TCP_Slave",  119},
    {B::PROFINET,          "L_PROFINET_IP_Add",          890, "L_PROFINET_Subnet_Mask",     891, "CB_EN_GAT",                   892},
    {B::EtherNetIP,        "L_EtherNetIP_IP_Add",        923, "L_EtherNetIP_SubNet",        924, "CB_EtherNetIP_Gateway",       925},
};

using I = TInput;
const TRowDef Row_Defs[] = {
    {B::KNX, "L_KNX_Type",      95,  false, "CB_KNX_Type",     I::Wide_List,   1},
    {B::KNX, "L_KNX_ID_Dev",    96,  false, "E_ID_DEV_KNX",    I::Wide_Edit,   2},
    {B::KNX, "L_KNX_ID_Tun",    944, false, "E_ID_Tun_KNX",    I::Narrow_Edit, 3},
    {B::KNX, "L_KNX_ID_Mana",   945, false, "E_ID_Mana_KNX",   I::Narrow_Edit, 4},
    {B::KNX, "L_KNX_CTRL_Port", 946, false, "E_CTRL_Port_KNX", I::Narrow_Edit, 5},
    {B::KNX, "L_KNX_TUN_Port",  947, false, "E_TUN_Port_KNX",  I::Narrow_Edit, 6},
    {B::KNX, "L_KNX_MANA_Port", 948, false, "E_MANA_Port_KNX", I::Narrow_Edit, 7},
    {B::KNX, "L_KNX_Delay_Packets", 979, false, "E_KNX_Delay_Packets", I::Narrow_Edit, 3, 89, 92},

    {B::Modbus_Master, "L_Modbus_Master_Serial",       98,  false, "CB_Serial_Modbus_Master",   I::Wide_List,   1},
    {B::Modbus_Master, "L_Modbus_Master_Baud",         99,  false, "CB_Baud_Modbus_Master",     I::Wide_List,   2},
    {B::Modbus_Master, "L_Modbus_Master_Parity",       100, false, "CB_Par_Modbus_Master",      I::Wide_List,   3},
    {B::Modbus_Master, "L_Modbus_Master_Stop_Bit",     101, false, "CB_StopBits_Modbus_Master", I::Wide_List,   4},
    {B::Modbus_Master, "L_Modbus_Master_TimeOut",      102, false, "E_TO_Modbus_Master",        I::Narrow_Edit, 5},
    {B::Modbus_Master, "L_Modbus_Master_Cyclic_Delay", 103, false, "E_CD_Modbus_Master",        I::Narrow_Edit, 6},

    {B::Modbus_Slave, "L_Modbus_Slave_Serial",      105, false, "CB_Serial_Modbus_Slave",    I::Wide_List,   1},
    {B::Modbus_Slave, "L_Modbus_Slave_Baud",        106, false, "CB_Baud_Modbus_Slave",      I::Wide_List,   2},
    {B::Modbus_Slave, "L_Modbus_Slave_Parity",      107, false, "CB_Par_Modbus_Slave",       I::Wide_List,   3},
    {B::Modbus_Slave, "L_Modbus_Slave_Stop_Bit",    340, false, "CB_StopBits_Modbus_Slave",  I::Wide_List,   4},
    {B::Modbus_Slave, "L_Modbus_Slave_ID_Dev",      108, false, "E_ID_Modbus_Slave",         I::Wide_Edit,   5},
    {B::Modbus_Slave, "CB_Modbus_Slave_Diagnostic", 981, true,  "E_Modbus_Slave_Diagnostic", I::Narrow_Edit, 6, 192},

    {B::Modbus_TCP_Master, "L_ModbusTCPMaster_TimeOut",     113, false, "E_TO_Modbus_TCP_Master", I::Narrow_Edit, 0, Address_Row_Top[0]},
    {B::Modbus_TCP_Master, "L_ModbusTCPMaster_CyclicDelay", 114, false, "E_CD_Modbus_TCP_Master", I::Narrow_Edit, 0, Address_Row_Top[1]},

    {B::Modbus_TCP_Slave, "L_ModbusTCPSlave_Port",          120, false, "E_Port_Modbus_TCP_Slave",       I::Wide_Edit,   0, Address_Row_Top[0]},
    {B::Modbus_TCP_Slave, "CB_Modbus_TCP_Slave_Diagnostic", 983, true,  "E_Modbus_TCP_Slave_Diagnostic", I::Narrow_Edit, 0, 223, 225},

    {B::CAN, "L_CAN_Baud", 352, false, "CAN_Baud", I::Wide_List, 1},

    {B::CANopen, "L_CANopen_ID_Dev",   354, false, "E_ID_CANopen",       I::Wide_Edit, 1},
    {B::CANopen, "L_CANopen_Baud",     355, false, "CB_Baud_CANopen",    I::Wide_List, 2},
    {B::CANopen, "CB_Set_Ope_CANopen", 356, true,  nullptr,              I::None,      3},
    {B::CANopen, "CB_Net_Ope_CANopen", 357, true,  "E_NO_Delay_CANopen", I::Narrow_Edit, 4, 124, -1, 239, 35},
    {B::CANopen, "L_CANopen_TimeOut",  358, false, "E_SDO_TO_CANopen",   I::Narrow_Edit, 5, -1, -1, 197, 77},

    {B::DNET_Master, "L_DNET_Master_ID_Dev", 360, false, "E_ID_DNET_Master",    I::Wide_Edit, 1},
    {B::DNET_Master, "L_DNET_Master_Baud",   361, false, "CB_Baud_DNET_Master", I::Wide_List, 2},

    {B::DNET_Slave, "L_DNET_Slave_ID_Dev",   363, false, "E_ID_DNET_Slave",     I::Wide_Edit,   1},
    {B::DNET_Slave, "L_DNET_Slave_Baud",     364, false, "CB_Baud_DNET_Slave",  I::Wide_List,   2},
    {B::DNET_Slave, "L_DNET_Slave_NByteIn",  365, false, "E_NB_IN_DNET_Slave",  I::Narrow_Edit, 3},
    {B::DNET_Slave, "L_DNET_Slave_NByteOut", 366, false, "E_NB_OUT_DNET_Slave", I::Narrow_Edit, 4},

    {B::J1939, "L_J1939_Baud",     368, false, "CB_Baud_J1939", I::Wide_List,   1},
    {B::J1939, "L_J1939_TimeOut",  369, false, "E_TO_J1939",    I::Narrow_Edit, 2},
    {B::J1939, "CB_En_Peer_J1939", 370, true,  nullptr,         I::None,        3},
    {B::J1939, "L_J1939_DevID",    974, false, "E_J1939_DevID", I::Narrow_Edit, 4},

    {B::MBus_Options, "L_MBus_Options_Wire_Present",     721, false, "CB_MBus_Options_Wire_Present",     I::Narrow_List, 1},
    {B::MBus_Options, "L_MBus_Options_Wireless_Present", 724, false, "CB_MBus_Options_Wireless_Present", I::Narrow_List, 2},

    {B::MBus, "L_MBus_Baud", 728, false, "CB_Baud_Mbus",   I::Wide_List,   1},
    {B::MBus, "L_MBus_Par",  729, false, "CB_Parity_Mbus", I::Wide_List,   2},
    {B::MBus, "L_MBus_CD",   730, false, "E_CD_Mbus",      I::Narrow_Edit, 3},
    // Two caption lines over the edit of the node state.
    {B::MBus, "L_MBus_NS1",  731, false, nullptr,          I::None,        0, -1, 115},
    {B::MBus, "L_MBus_NS2",  732, false, "E_NSE_MBus",     I::Wide_Edit,   0, 142, 126},

    {B::wMBus, "L_wMBus_Mode",          734, false, "CB_wMBus_Mode",          I::Wide_List,   1},
    {B::wMBus, "L_wMBus_Radio_Channel", 735, false, "CB_wMBus_Radio_Channel", I::Narrow_List, 2},

    {B::DMX, "L_DMX_DMX",         921, false, "CB_DMX_DMX",        I::Wide_List,   1},
    {B::DMX, "L_DMX_Num_Channal", 861, false, "E_DMX_Num_Channel", I::Narrow_Edit, 2},

    {B::PROFINET, "L_PROFINET_Port",         893, false, "E_PORT",                  I::Wide_Edit,   0, Address_Row_Top[0]},
    {B::PROFINET, "L_PROFINET_Name_Station", 894, false, "E_Profinet_Name_Station", I::Wide_Edit,   0, 242, 223, 16, 258},
    {B::PROFINET, "L_PROFINET_Byte_IN",      895, false, "E_NB_IN_PROFINET",        I::Narrow_Edit, 0, 276},
    {B::PROFINET, "L_PROFINET_Byte_OUT",     896, false, "E_NB_OUT_PROFINET",       I::Narrow_Edit, 0, 310},

    {B::EtherNetIP, "L_EtherNetIP_Port",     926, false, "E_Port_EtherNetIP",  I::Wide_Edit,   0, Address_Row_Top[0]},
    {B::EtherNetIP, "L_EtherNetIP_NByteIN",  927, false, "E_B_IN_EtherNetIP",  I::Narrow_Edit, 0, Address_Row_Top[1]},
    {B::EtherNetIP, "L_EtherNetIP_NByteOUT", 928, false, "E_B_OUT_EtherNetIP", I::Narrow_Edit, 0, Address_Row_Top[2]},
};
// clang-format on

void Add_Address_Block(QList<TParGenControl>& out, const TAddressDef& a)
{
    const QStringList octets = Octet_Edits(a.Box);
    const auto octetRow = [&](int first, int top) {
        for (int i = 0; i < 4; ++i) {
            out.append({a.Box, octets[first + i], TControlKind::Edit, 0, Octet_Lefts[i], top, Octet_Width, Edit_Height});
            // The dots stand in the gaps, named after the octet on their left.
            if (i < 3)
                out.append({a.Box, octets[first + i] + QStringLiteral("_Dot"), TControlKind::Dot, 0,
                            Octet_Lefts[i] + Octet_Width + 1, top + 4, 4, Label_Height});
        }
    };
    out.append({a.Box, QString::fromLatin1(a.IP_Label), TControlKind::Label, a.IP_Text, Caption_Left, IP_Label_Top,
                Caption_Width, Label_Height});
    octetRow(0, IP_Octet_Top);
    out.append({a.Box, QString::fromLatin1(a.SM_Label), TControlKind::Label, a.SM_Text, Caption_Left, SM_Label_Top,
                Caption_Width, Label_Height});
    octetRow(4, SM_Octet_Top);
    out.append({a.Box, QString::fromLatin1(a.Gateway_Check), TControlKind::Check_Box, a.Gateway_Text, Caption_Left,
                GAT_Check_Top, Caption_Width, 17});
    octetRow(8, GAT_Octet_Top);
}

void Add_Row(QList<TParGenControl>& out, const TRowDef& r)
{
    const bool list = r.Kind == I::Wide_List || r.Kind == I::Narrow_List;
    const bool wide = r.Kind == I::Wide_Edit || r.Kind == I::Wide_List;
    const int inputTop = r.Input_Top >= 0 ? r.Input_Top : Row_Input_Top(r.Row);
    const int captionTop = r.Caption_Top >= 0 ? r.Caption_Top : (r.Row > 0 ? Row_Label_Top(r.Row) : inputTop + 3);
    // A check box with an edit beside it leaves the edit its room.
    const int captionWidth = r.Check ? (r.Input ? (r.Input_Left >= 0 ? r.Input_Left : Narrow_Left) - Caption_Left - 4
                                                : Check_Width)
                                     : Caption_Width;
    out.append({r.Box, QString::fromLatin1(r.Caption), r.Check ? TControlKind::Check_Box : TControlKind::Label,
                r.Text, Caption_Left, captionTop, captionWidth, r.Check ? 17 : Label_Height});
    if (!r.Input)
        return;
    out.append({r.Box, QString::fromLatin1(r.Input), list ? TControlKind::List : TControlKind::Edit, 0,
                r.Input_Left >= 0 ? r.Input_Left : (wide ? Wide_Left : Narrow_Left), inputTop,
                r.Input_Width >= 0 ? r.Input_Width : (wide ? Wide_Width : Narrow_Width),
                list ? List_Height : Edit_Height});
}

QList<TParGenControl> Make_Controls()
{
    QList<TParGenControl> out;
    for (const TAddressDef& a : Address_Blocks)
        Add_Address_Block(out, a);
    for (const TRowDef& r : Row_Defs)
        Add_Row(out, r);
    return out;
}

// Model 15 shows the station name where the port row would stand.
constexpr int SNMP_Name_Caption_Top = 191;
constexpr int SNMP_Name_Edit_Gap = 19;

bool Is_Model(int modelCode, std::initializer_list<int> codes)
{
    return std::find(codes.begin(), codes.end(), modelCode) != codes.end();
}

// --- Per-model layout routines

// clang-format off
const TGroupReference KNX_ID_Device    = {B::KNX, "E_ID_DEV_KNX"};
const TGroupReference Ethernet_Gateway = {B::Modbus_TCP_Slave, "E_GAT4_Modbus_TCP_Slave"};

const QList<TRePosition> RePositions = {
    {{1, 1001},  "RePosition_Objects_31A08", {KNX_ID_Device, {B::Modbus_Master, "E_CD_Modbus_Master"}, Ethernet_Gateway}},
    {{2},        "RePosition_Objects_31A09", {KNX_ID_Device, {B::Modbus_Slave, "E_Modbus_Slave_Diagnostic"}, Ethernet_Gateway}},
    {{3, 1003},  "RePosition_Objects_31A10", {KNX_ID_Device, {B::Modbus_TCP_Master, "E_CD_Modbus_TCP_Master"}}},
    {{4},        "RePosition_Objects_31A11", {KNX_ID_Device, {B::Modbus_TCP_Slave, "E_Modbus_TCP_Slave_Diagnostic"}}},
    {{5},        "RePosition_Objects_31A01", {KNX_ID_Device, {B::CAN, "CAN_Baud"}, Ethernet_Gateway}},
    {{6},        "RePosition_Objects_31A02", {KNX_ID_Device, {B::CANopen, "E_SDO_TO_CANopen"}, Ethernet_Gateway}},
    {{7},        "RePosition_Objects_31A04", {KNX_ID_Device, {B::DNET_Master, "CB_Baud_DNET_Master"}, Ethernet_Gateway}},
    {{8},        "RePosition_Objects_31A05", {KNX_ID_Device, {B::DNET_Slave, "E_NB_OUT_DNET_Slave"}, Ethernet_Gateway}},
    {{9},        "RePosition_Objects_31A06", {KNX_ID_Device, {B::J1939, "E_J1939_DevID"}, Ethernet_Gateway}},
    {{10, 1010}, "RePosition_Objects_31A07", {KNX_ID_Device, {B::MBus_Options, "CB_MBus_Options_Wireless_Present"},
                                              {B::MBus, "E_NSE_MBus"}, {B::wMBus, "CB_wMBus_Radio_Channel"}, Ethernet_Gateway}},
    {{11, 1011}, "RePosition_Objects_31A14", {KNX_ID_Device, {B::DMX, "E_DMX_Num_Channel"}, Ethernet_Gateway}},
    {{12, 1012}, "RePosition_Objects_31A12", {{B::KNX, "E_KNX_Delay_Packets"}, {B::PROFINET, "E_NB_OUT_PROFINET"}}},
    {{13},       "RePosition_Objects_31A03", {KNX_ID_Device, {B::EtherNetIP, "E_B_OUT_EtherNetIP"}}},
    {{14, 1014}, "RePosition_Objects_31A15", {{B::KNX, "E_MANA_Port_KNX"}, Ethernet_Gateway}},
    {{15},       "RePosition_Objects_31A13", {KNX_ID_Device, {B::PROFINET, "E_Profinet_Name_Station"}}},
};
// clang-format on

constexpr int Group_Left = 8;
constexpr int Group_Width = 296; // the client width less the margins
constexpr int First_Group_Top = 70;
constexpr int Group_Gap = 6;
constexpr int Reference_Margin = 15;
constexpr int Buttons_Gap = 13;
constexpr int Client_Margin = 54;

const QString Wire_Present = QStringLiteral("MBus_Options_Wire_Present");
const QString Wireless_Present = QStringLiteral("MBus_Options_Wireless_Present");

// Which models walk an address group's octets with ".".
bool Address_Group_Shown(TParGenBox box, int modelCode)
{
    const QList<TParGroup> groups = ParGen_Groups(modelCode);
    switch (box) {
    case B::Modbus_TCP_Master: return groups.contains(TParGroup::Modbus_TCP_Master);
    case B::Modbus_TCP_Slave:  return groups.contains(TParGroup::Ethernet);
    case B::PROFINET:          return groups.contains(TParGroup::PROFINET);
    case B::EtherNetIP:        return groups.contains(TParGroup::EtherNetIP);
    default:                   return false;
    }
}

} // namespace

const QList<TGroupBoxInfo>& Group_Boxes()
{
    return Group_Box_Table;
}

const TGroupBoxInfo& Group_Box(TParGenBox box)
{
    return Group_Box_Table[int(box)];
}

int Group_Caption(TParGenBox box, int modelCode)
{
    if (box == B::Modbus_TCP_Slave && modelCode == 4)
        return 115;
    if (box == B::PROFINET && modelCode == 15)
        return 955;
    return Group_Box(box).Caption;
}

namespace {

QString Button_Stem(TParGenBox box)
{
    return QStringLiteral("Btn_") + QString::fromLatin1(Group_Box(box).Name).mid(3);
}

} // namespace

QString Collapse_Button_Name(TParGenBox box)
{
    return Button_Stem(box) + QStringLiteral("_Collapse");
}

QString Expand_Button_Name(TParGenBox box)
{
    return Button_Stem(box) + QStringLiteral("_Expande");
}

const QList<TRePosition>& RePosition_Table()
{
    return RePositions;
}

const TRePosition* Find_RePosition(int modelCode)
{
    for (const TRePosition& r : RePositions)
        if (r.Codes.contains(modelCode))
            return &r;
    return nullptr;
}

const QList<TParGenControl>& ParGen_Controls()
{
    static const QList<TParGenControl> controls = Make_Controls();
    return controls;
}

const TParGenControl* Find_Control_Place(const QString& name, int modelCode, TParGenControl* buffer)
{
    for (const TParGenControl& c : ParGen_Controls()) {
        if (c.Name != name)
            continue;
        if (modelCode != 15 || c.Box != B::PROFINET)
            return &c;
        *buffer = c;
        if (name == QLatin1String("L_PROFINET_Name_Station"))
            buffer->Top = SNMP_Name_Caption_Top;
        else if (name == QLatin1String("E_Profinet_Name_Station"))
            buffer->Top = SNMP_Name_Caption_Top + SNMP_Name_Edit_Gap;
        return buffer;
    }
    return nullptr;
}

bool Control_Shown(const QString& name, int modelCode)
{
    static const QStringList knxInterface = {"L_KNX_ID_Tun",   "E_ID_Tun_KNX",   "L_KNX_ID_Mana",  "E_ID_Mana_KNX",
                                             "L_KNX_CTRL_Port", "E_CTRL_Port_KNX", "L_KNX_TUN_Port", "E_TUN_Port_KNX",
                                             "L_KNX_MANA_Port", "E_MANA_Port_KNX"};
    static const QStringList knxDelay = {"L_KNX_Delay_Packets", "E_KNX_Delay_Packets"};
    static const QStringList tcpSlaveOnly = {"L_ModbusTCPSlave_Port", "E_Port_Modbus_TCP_Slave",
                                             "CB_Modbus_TCP_Slave_Diagnostic", "E_Modbus_TCP_Slave_Diagnostic"};
    static const QStringList profinetOnly = {"L_PROFINET_Port", "E_PORT", "L_PROFINET_Byte_IN", "E_NB_IN_PROFINET",
                                             "L_PROFINET_Byte_OUT", "E_NB_OUT_PROFINET"};
    if (knxInterface.contains(name))
        return Is_Model(modelCode, {14, 1014});
    if (knxDelay.contains(name))
        return Is_Model(modelCode, {12, 1012});
    if (tcpSlaveOnly.contains(name))
        return modelCode == 4;
    if (profinetOnly.contains(name))
        return modelCode != 15;
    return true;
}

int Control_Text(const TParGenControl& c, int modelCode)
{
    if (modelCode == 15 && c.Name == QLatin1String("L_PROFINET_Name_Station"))
        return 956;
    return c.Text;
}

const TGroupPlace* TParGenLayout::Find(TParGenBox box) const
{
    for (const TGroupPlace& g : Groups)
        if (g.Box == box)
            return &g;
    return nullptr;
}

TParGenLayout Move_GroupBoxs(int modelCode, const TGroupFlags& expanded, int wirePresent, int wirelessPresent)
{
    TParGenLayout layout;
    const TRePosition* routine = Find_RePosition(modelCode);
    int top = First_Group_Top;
    if (routine) {
        for (const TGroupReference& ref : routine->Groups) {
            if ((ref.Box == B::MBus && wirePresent != 1) || (ref.Box == B::wMBus && wirelessPresent != 1))
                continue;
            TParGenControl place;
            const TParGenControl* c = Find_Control_Place(QString::fromLatin1(ref.Control), modelCode, &place);
            const int height = !expanded[int(ref.Box)] ? Collapsed_Height
                               : c                     ? c->Top + c->Height + Reference_Margin
                                                       : Collapsed_Height;
            layout.Groups.append({ref.Box, Group_Left, top, Group_Width, height});
            top += height + Group_Gap;
        }
    }
    const int bottom = layout.Groups.isEmpty() ? First_Group_Top : layout.Groups.last().Bottom();
    layout.Buttons_Top = bottom + Buttons_Gap;
    layout.Client_Height = bottom + Client_Margin;
    return layout;
}

QStringList Octet_Edits(TParGenBox box)
{
    QString pattern;
    switch (box) {
    case B::Modbus_TCP_Master: pattern = QStringLiteral("E_%1_Modbus_TCP_Master"); break;
    case B::Modbus_TCP_Slave:  pattern = QStringLiteral("E_%1_Modbus_TCP_Slave"); break;
    case B::PROFINET:          pattern = QStringLiteral("E_%1"); break;
    case B::EtherNetIP:        pattern = QStringLiteral("E_EtherNetIP_%1"); break;
    default:                   return {};
    }
    QStringList edits;
    for (const char* part : {"IP", "SM", "GAT"})
        for (int i = 1; i <= 4; ++i)
            edits.append(pattern.arg(QString::fromLatin1(part) + QString::number(i)));
    return edits;
}

bool Octet_KeyPress(int modelCode, const QString& edit, QChar key, QString* next)
{
    if (key != QLatin1Char('.'))
        return false;
    for (TParGenBox box : {B::Modbus_TCP_Master, B::Modbus_TCP_Slave, B::PROFINET, B::EtherNetIP}) {
        const QStringList chain = Octet_Edits(box);
        const int i = chain.indexOf(edit);
        if (i < 0 || !Address_Group_Shown(box, modelCode))
            continue;
        if (next)
            *next = i + 1 < chain.size() ? chain[i + 1] : QString();
        return true;
    }
    return false;
}

const TParKey* Find_ParGen_Control(const QString& control)
{
    for (const TParKey& k : ParGen_Keys())
        if (QLatin1String(k.Control) == control)
            return &k;
    return nullptr;
}

TParGenDialogModel::TParGenDialogModel(int modelCode) : FValues(modelCode)
{
    Collapse_Expand_Creation();
}

void TParGenDialogModel::Collapse_Expand_Creation()
{
    FExpanded.fill(true);
}

void TParGenDialogModel::FormShow(const QString& path)
{
    FValues.Read_File(path);
    FIs_Change = false;
}

void TParGenDialogModel::Btn_GB_Collapse(TParGenBox box)
{
    FExpanded[int(box)] = false;
}

void TParGenDialogModel::Btn_GB_Expande(TParGenBox box)
{
    FExpanded[int(box)] = true;
}

TParGenLayout TParGenDialogModel::Move_GroupBoxs() const
{
    return ::Move_GroupBoxs(ModelCode(), FExpanded, FValues.Index(Wire_Present), FValues.Index(Wireless_Present));
}

QString TParGenDialogModel::On_Change(const QString& key, const QString& value)
{
    FIs_Change = true;
    FValues.Set_Value(key, value);
    const bool presence = key == Wire_Present || key == Wireless_Present;
    if (!presence || !FValues.Has(key))
        return {};
    if (FValues.Index(Wire_Present) == 0 && FValues.Index(Wireless_Present) == 0) {
        FValues.Set_Index(key, 1);
        return Text_Of(736);
    }
    return {};
}

void TParGenDialogModel::On_Click(const QString& key, bool ticked)
{
    FIs_Change = true;
    FValues.Set_Flag(key, ticked);
}

bool TParGenDialogModel::Btn_OKClick(const QString& path, const std::function<void(const QString&)>& showError)
{
    if (!Controllo_Dati(FValues, showError))
        return false;
    FValues.Write_File(path);
    return true;
}

bool TParGenDialogModel::Btn_CancelClick(const std::function<bool(const QString&)>& confirm) const
{
    if (!FIs_Change)
        return true;
    return confirm && confirm(Text_Of(167));
}

bool TParGenDialogModel::FormCloseQuery(const std::function<bool(const QString&)>& confirm) const
{
    // Closing by the title bar loses the edits just as Cancel does, so it
    // asks the same question.
    return Btn_CancelClick(confirm);
}

// ---------------------------------------------------------------------------
// The dialog's window

TFParGen* FParGen = nullptr;

namespace {

constexpr int Title_Height = 60;
constexpr int Button_Width = 112, Button_Height = 28;
constexpr int Fold_Button_Left = 280, Fold_Button_Top = 10, Fold_Button_Size = 11;

// The small picture of a collapse ("-") or expand ("+") button.
void Draw_Fold_Glyph(TBitmap& glyph, bool plus)
{
    glyph.SetSize(7, 7);
    TCanvas* c = glyph.Canvas();
    c->Brush().SetColor(clWhite);
    c->FillRect(Rect(0, 0, 7, 7));
    c->Pen().SetColor(clBlack);
    c->MoveTo(1, 3);
    c->LineTo(6, 3);
    if (plus) {
        c->MoveTo(3, 1);
        c->LineTo(3, 6);
    }
}

TLbButton* New_Fold_Button(TGroupBox* parent, const QString& name, bool plus)
{
    auto* b = new TLbButton(parent);
    b->SetParent(parent);
    b->SetName(name);
    b->SetStyle(bsEncarta);
    b->SetBounds(Fold_Button_Left, Fold_Button_Top, Fold_Button_Size, Fold_Button_Size);
    TBitmap glyph;
    Draw_Fold_Glyph(glyph, plus);
    b->SetGlyph(&glyph);
    b->SetShowHint(true);
    b->SetTabStop(false);
    return b;
}

} // namespace

TFParGen::TFParGen(TComponent* AOwner) : TForm(AOwner), FModel(Model_Code)
{
    SetBorderStyle(bsSingle);
    SetPosition(poScreenCenter);
    SetColor(Dialog_Color);
    Font()->SetName(QStringLiteral("Verdana"));
    Font()->SetSize(8);

    P_Title = new TPanel(this);
    P_Title->SetParent(this);
    P_Title->SetBounds(0, 0, 312, Title_Height);
    P_Title->SetBevelOuter(bvNone);
    P_Title->SetShowCaption(false);
    P_Title->SetParentColor(false);
    P_Title->SetColor(clWhite);
    L_SW_Code = new TLabel(P_Title);
    L_SW_Code->SetParent(P_Title);
    L_SW_Code->SetBounds(12, 4, 200, 30);
    Style_Bold_Code_Label(L_SW_Code);
    L_SW_Desc = new TLabel(P_Title);
    L_SW_Desc->SetParent(P_Title);
    L_SW_Desc->SetBounds(14, 40, 280, 13);

    Create_Controls();

    Btn_OK = Make_Button(this, this, 71, 0, Button_Width, Button_Height);
    Btn_Cancel = Make_Button(this, this, 192, 0, Button_Width, Button_Height);

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_Cancel->OnClick = [this](TObject* s) { Btn_CancelClick(s); };
}

void TFParGen::Create_Controls()
{
    for (const TGroupBoxInfo& g : Group_Boxes()) {
        auto* box = new TGroupBox(this);
        box->SetParent(this);
        box->SetName(QString::fromLatin1(g.Name));
        box->SetParentColor(true);
        FGroups[size_t(g.Box)] = box;
        FCollapse[size_t(g.Box)] = New_Fold_Button(box, Collapse_Button_Name(g.Box), false);
        FExpand[size_t(g.Box)] = New_Fold_Button(box, Expand_Button_Name(g.Box), true);
        FCollapse[size_t(g.Box)]->OnClick = [this](TObject* s) { Btn_GB_Collapse(s); };
        FExpand[size_t(g.Box)]->OnClick = [this](TObject* s) { Btn_GB_Expande(s); };
    }
    for (const TParGenControl& c : ParGen_Controls()) {
        TGroupBox* parent = GB(c.Box);
        TControl* control = nullptr;
        const TParKey* key = Find_ParGen_Control(c.Name);
        switch (c.Kind) {
        case TControlKind::Label:
        case TControlKind::Dot: {
            auto* l = new TLabel(parent);
            l->SetAutoSize(false);
            l->SetTransparent(true);
            if (c.Kind == TControlKind::Dot)
                l->SetCaption(QStringLiteral("."));
            control = l;
            break;
        }
        case TControlKind::Edit: {
            auto* e = new TEdit(parent);
            e->SetTabStop(true);
            e->OnChange = [this](TObject* s) { On_Change(s); };
            if (Octet_Edits(c.Box).contains(c.Name))
                e->OnKeyPress = [this](TObject* s, QChar& k) { KeyPress(s, k); };
            if (c.Name == QLatin1String("E_Profinet_Name_Station"))
                e->SetMaxLength(15);
            if (key && key->Encoding == TParEncoding::Fixed)
                e->SetEnabled(false);
            control = e;
            break;
        }
        case TControlKind::List: {
            auto* cb = new TComboBox(parent);
            cb->SetStyle(csDropDownList);
            cb->SetTabStop(true);
            if (key)
                for (const QString& item : key->Items)
                    cb->Items()->Add(item);
            cb->OnChange = [this](TObject* s) { On_Change(s); };
            if (c.Name == QLatin1String("CB_KNX_Type"))
                cb->SetEnabled(false);
            control = cb;
            break;
        }
        case TControlKind::Check_Box: {
            auto* x = new TCheckBox(parent);
            x->SetParentColor(true);
            x->SetTabStop(true);
            x->OnClick = [this](TObject* s) { On_Click(s); };
            control = x;
            break;
        }
        }
        control->SetParent(parent);
        control->SetName(c.Name);
        TParGenControl place;
        const TParGenControl* p = Find_Control_Place(c.Name, FModel.ModelCode(), &place);
        control->SetBounds(p->Left, p->Top, p->Width, p->Height);
        FControls.insert(c.Name, control);
    }
}

void TFParGen::FormCreate(TObject*)
{
    L_SW_Code->SetCaption(SW_Code);
    for (TGroupBox* g : FGroups)
        g->SetVisible(false);
    // The rows a model does not show stay hidden for good.
    for (auto it = FControls.cbegin(); it != FControls.cend(); ++it)
        if (!Control_Shown(it.key(), FModel.ModelCode()))
            it.value()->SetVisible(false);
    Collapse_Expand_Creation();
    Move_GroupBoxs();
    Set_Lang();
}

void TFParGen::Collapse_Expand_Creation()
{
    FModel.Collapse_Expand_Creation();
    for (const TGroupBoxInfo& g : Group_Boxes()) {
        Collapse_Button(g.Box)->SetVisible(true);
        Expand_Button(g.Box)->SetVisible(false);
    }
}

void TFParGen::Move_GroupBoxs()
{
    const TParGenLayout layout = FModel.Move_GroupBoxs();
    for (const TGroupBoxInfo& g : Group_Boxes()) {
        const TGroupPlace* place = layout.Find(g.Box);
        GB(g.Box)->SetVisible(place != nullptr);
        if (place)
            GB(g.Box)->SetBounds(place->Left, place->Top, place->Width, place->Height);
        // A collapsed group shows its title bar only: its first row goes.
        const bool expanded = FModel.GB_Visible(g.Box);
        for (const QString& name : g.First_Row)
            if (TControl* c = Control(name); c && Control_Shown(name, FModel.ModelCode()))
                c->SetVisible(expanded);
        Collapse_Button(g.Box)->SetVisible(expanded);
        Expand_Button(g.Box)->SetVisible(!expanded);
    }
    Btn_OK->SetTop(layout.Buttons_Top);
    Btn_Cancel->SetTop(layout.Buttons_Top);
    SetClientSize(layout.Client_Width, layout.Client_Height);
}

void TFParGen::Set_Lang()
{
    SetCaption(Text_Of(90));
    L_SW_Desc->SetCaption(Text_Of(91));
    Btn_OK->SetCaption(Text_Of(92));
    Btn_Cancel->SetCaption(Text_Of(93));
    for (const TGroupBoxInfo& g : Group_Boxes()) {
        GB(g.Box)->SetCaption(Text_Of(Group_Caption(g.Box, FModel.ModelCode())));
        Collapse_Button(g.Box)->SetHint(Text_Of(121));
        Expand_Button(g.Box)->SetHint(Text_Of(122));
    }
    for (const TParGenControl& c : ParGen_Controls())
        if (c.Text > 0)
            Control(c.Name)->SetCaption(Text_Of(Control_Text(c, FModel.ModelCode())));
    // The presence lists take their items from the text table; they show no
    // choice until the dialog is shown again.
    const struct {
        const char* List;
        int First;
    } presence[] = {{"CB_MBus_Options_Wire_Present", 722}, {"CB_MBus_Options_Wireless_Present", 725}};
    for (const auto& p : presence) {
        auto* cb = Control_As<TComboBox>(QString::fromLatin1(p.List));
        FFilling = true;
        cb->Items()->Clear();
        cb->Items()->Add(Text_Of(p.First));
        cb->Items()->Add(Text_Of(p.First + 1));
        cb->SetItemIndex(-1);
        FFilling = false;
    }
}

void TFParGen::Fill_Controls()
{
    FFilling = true;
    const TParGenValues& v = FModel.Values();
    for (const QString& key : v.Keys()) {
        TControl* c = Control(QString::fromLatin1(Find_ParGen_Key(key)->Control));
        if (auto* e = dynamic_cast<TEdit*>(c))
            e->SetText(v.Value(key));
        else if (auto* cb = dynamic_cast<TComboBox*>(c))
            cb->SetItemIndex(v.Index(key));
        else if (auto* x = dynamic_cast<TCheckBox*>(c))
            x->SetChecked(v.Flag(key));
    }
    FFilling = false;
}

void TFParGen::FormShow(TObject*)
{
    FClose_Allowed = false;
    FModel.FormShow(File_ParGen);
    Fill_Controls();
    Move_GroupBoxs();
}

void TFParGen::FormActivate(TObject*)
{
    if (Top() < 0)
        SetTop(0);
}

bool TFParGen::Confirm(const QString& question) const
{
    return MessageDlg(question, mtConfirmation, MsgDlgButtons({mbYes, mbNo})) == mrYes;
}

void TFParGen::FormCloseQuery(TObject*, bool& CanClose)
{
    CanClose = FClose_Allowed || FModel.FormCloseQuery([this](const QString& q) { return Confirm(q); });
}

void TFParGen::Btn_OKClick(TObject*)
{
    const bool saved = FModel.Btn_OKClick(
        File_ParGen, [](const QString& message) { MessageDlg(message, mtError, MsgDlgButtons({mbOK})); });
    if (!saved)
        return;
    FClose_Allowed = true;
    SetModalResult(mrOk);
}

void TFParGen::Btn_CancelClick(TObject*)
{
    if (!FModel.Btn_CancelClick([this](const QString& q) { return Confirm(q); }))
        return;
    FClose_Allowed = true;
    SetModalResult(mrCancel);
}

void TFParGen::Btn_GB_Collapse(TObject* Sender)
{
    for (const TGroupBoxInfo& g : Group_Boxes())
        if (Collapse_Button(g.Box) == Sender) {
            GB(g.Box)->SetHeight(Collapsed_Height);
            FModel.Btn_GB_Collapse(g.Box);
        }
    Move_GroupBoxs();
}

void TFParGen::Btn_GB_Expande(TObject* Sender)
{
    for (const TGroupBoxInfo& g : Group_Boxes())
        if (Expand_Button(g.Box) == Sender) {
            GB(g.Box)->SetHeight(g.Expand_Height);
            FModel.Btn_GB_Expande(g.Box);
        }
    Move_GroupBoxs();
}

QString TFParGen::Key_Of(TObject* control) const
{
    for (auto it = FControls.cbegin(); it != FControls.cend(); ++it)
        if (it.value() == control)
            if (const TParKey* k = Find_ParGen_Control(it.key()))
                return QString::fromLatin1(k->Name);
    return {};
}

void TFParGen::On_Change(TObject* Sender)
{
    if (FFilling)
        return;
    const QString key = Key_Of(Sender);
    if (auto* e = dynamic_cast<TEdit*>(Sender)) {
        FModel.On_Change(key, e->Text());
        return;
    }
    auto* cb = dynamic_cast<TComboBox*>(Sender);
    if (!cb)
        return;
    const QString message = FModel.On_Change(key, IntToStr(cb->ItemIndex()));
    if (key != QLatin1String("MBus_Options_Wire_Present") && key != QLatin1String("MBus_Options_Wireless_Present"))
        return;
    if (!message.isEmpty()) {
        MessageDlg(message, mtError, MsgDlgButtons({mbOK}));
        FFilling = true;
        cb->SetItemIndex(FModel.Values().Index(key));
        FFilling = false;
    }
    Move_GroupBoxs();
}

void TFParGen::On_Click(TObject* Sender)
{
    if (FFilling)
        return;
    if (auto* x = dynamic_cast<TCheckBox*>(Sender))
        FModel.On_Click(Key_Of(Sender), x->Checked());
}

void TFParGen::KeyPress(TObject* Sender, QChar& Key)
{
    const QString name = Sender ? static_cast<TComponent*>(Sender)->Name() : QString();
    QString next;
    if (!Octet_KeyPress(FModel.ModelCode(), name, Key, &next))
        return;
    Key = QChar();
    if (auto* e = Control_As<TWinControl>(next); e && e->CanFocus())
        e->SetFocus();
}
