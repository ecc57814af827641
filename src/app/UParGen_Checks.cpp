#include "app/UParGen_Checks.h"

#include "app/UComon.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

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

