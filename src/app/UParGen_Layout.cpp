#include "app/UParGen_Layout.h"

#include "app/UComon.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

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

