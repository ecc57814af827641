#include "project/Models.h"

#ifndef KAL_MODEL_CODE
#define KAL_MODEL_CODE 9
#endif

int Model_Code = KAL_MODEL_CODE;

// clang-format off
const TModelInfo Model_Table[Model_Count] = {
    {1,    "CF31A08", "Modbus Master / KNX - Converter",     "Modbus Master / KNX",     "1.202", "MN31A08", "GW31A08"},
    {2,    "CF31A09", "Modbus Slave / KNX - Converter",      "Modbus Slave / KNX",      "1.200", "MN31A09", "GW31A09"},
    {3,    "CF31A10", "Modbus TCP Master / KNX - Converter", "Modbus TCP Master / KNX", "1.102", "MN31A10", "GW31A10"},
    {4,    "CF31A11", "Modbus TCP Slave / KNX - Converter",  "Modbus TCP Slave / KNX",  "1.200", "MN31A11", "GW31A11"},
    {5,    "CF31A01", "CAN / KNX - Converter",               "CAN / KNX",               "1.101", "MN31A01", "GW31A01"},
    {6,    "CF31A02", "CANopen / KNX - Converter",           "CANopen / KNX",           "1.000", "MN31A02", "GW31A02"},
    {7,    "CF31A04", "DeviceNet Master / KNX - Converter",  "DeviceNet Master / KNX",  "1.000", "MN31A04", "GW31A04"},
    {8,    "CF31A05", "DeviceNet Slave / KNX - Converter",   "DeviceNet Slave / KNX",   "1.000", "MN31A05", "GW31A05"},
    {9,    "CF31A06", "J1939 / KNX - Converter",             "J1939 / KNX",             "1.100", "MN31A06", "GW31A06"},
    {10,   "CF31A07", "M-Bus Master / KNX - Converter",      "M-Bus Master / KNX",      "1.203", "MN31A07", "GW31A07"},
    {11,   "CF31A14", "DMX / KNX - Converter",               "DMX / KNX",               "1.104", "MN31A14", "GW31A14"},
    {12,   "CF31A12", "PROFINET Slave / KNX - Converter",    "PROFINET Slave / KNX",    "1.100", "MN31A12", "GW31A12"},
    {13,   "CF31A03", "EtherNet/IP / KNX - Converter",       "EtherNet/IP / KNX",       "1.002", "MN31A03", "GW31A03"},
    {14,   "CF31A15", "Ethernet / KNX - Interface",          "Ethernet / KNX",          "1.004", "MN31A15", "GW31A15"},
    {15,   "CF31A13", "SNMP / KNX - Converter",              "SNMP / KNX",              "1.002", "MN31A13", "GW31A13"},
    {1001, "OS-GW-103-TP-485", "Gateway Modbus RS485 master RTU - KNX TP", "Modbus Master / KNX",  "1.202", "MCOSGW103TP485", "GW31A08"},
    {1003, "OS-GW-103-TP-TCP", "Gateway Modbus TCP/IP master - KNX TP",    "Modbus Master / KNX",  "1.102", "MCOSGW103TPTCP", "GW31A08"},
    {1010, "OS-GW-105-TP",     "Gateway M-Bus Master - KNX",               "M-Bus Master / KNX",   "1.203", "MCOSGW105TP",    "GW31A08"},
    {1011, "OS-GW-104-TP",     "Gateway DMX - KNX TP",                     "DMX / KNX",            "1.104", "MCOSGW104TP",    "GW31A08"},
    {1012, "OS-GW-106-TP",     "Gateway PROFINET - KNX TP",                "PROFINET Slave / KNX", "1.100", "MCOSGW106TP",    "GW31A08"},
    {1014, "OS-GW-102-TP",     "Interface Ethernet - KNX TP",              "Ethernet / KNX",       "1.004", "MCOSGW102TP",    "GW31A08"},
};
// clang-format on

const char* const Table_SW_Code_Check[15] = {
    "CF31A08", "CF31A09", "CF31A10", "CF31A11", "CF31A01", "CF31A02", "CF31A04", "CF31A05",
    "CF31A06", "CF31A07", "CF31A14", "CF31A12", "CF31A03", "CF31A15", "CF31A13",
};

const TModelInfo* Find_Model(int code)
{
    for (const TModelInfo& m : Model_Table)
        if (m.Code == code)
            return &m;
    return nullptr;
}

bool Is_Partner_Model(int code)
{
    return code > 1000 && Find_Model(code) != nullptr;
}

int Base_Model_Code(int code)
{
    return Is_Partner_Model(code) ? code - 1000 : code;
}

namespace {

QString Field(int code, const char* TModelInfo::*field)
{
    const TModelInfo* m = Find_Model(code);
    return m ? QString::fromLatin1(m->*field) : QString();
}

} // namespace

QString Get_SW_Code(int code) { return Field(code, &TModelInfo::SW_Code); }
QString Get_SW_Desc(int code) { return Field(code, &TModelInfo::SW_Desc); }
QString Get_Version(int code) { return Field(code, &TModelInfo::Version); }
QString Get_Doc_Code(int code) { return Field(code, &TModelInfo::Doc_Code); }

QString Get_HW_Code(int code)
{
    if (code < 1 || code > 15)
        return Default_HW_Code;
    return Field(code, &TModelInfo::HW_Code);
}

QString Get_Program_Title(int code)
{
    const TModelInfo* m = Find_Model(code);
    if (!m)
        return QString();
    const QString company = Is_Partner_Model(code) ? Partner_Company_Label : Company_Label;
    return company + QStringLiteral(" - Configurator ") + QString::fromLatin1(m->SW_Code) +
           QStringLiteral(" - ") + QString::fromLatin1(m->Protocol_Pair) + QStringLiteral(" ");
}

QString Get_SW_Version_Comment(int code)
{
    return QStringLiteral("SW_VERSION = ") + Get_Version(code);
}


// ---------------------------------------------------------------------------

namespace {

// clang-format off
constexpr TModelFacts Model_Facts[] = {
    {1,  "Modbus_TCP_Slave_",  false},
    {2,  "Modbus_TCP_Slave_",  false},
    {3,  "Modbus_TCP_Master_", false},
    {4,  "Modbus_TCP_Slave_",  false},
    {5,  "Modbus_TCP_Slave_",  false},
    {6,  "Modbus_TCP_Slave_",  false},
    {7,  "Modbus_TCP_Slave_",  false},
    {8,  "Modbus_TCP_Slave_",  false},
    {9,  "Modbus_TCP_Slave_",  false},
    {10, "Modbus_TCP_Slave_",  true},
    {11, "Modbus_TCP_Slave_",  false},
    {12, "PROFINET_",          false},
    {13, "EtherNetIP_",        false},
    {14, "Modbus_TCP_Slave_",  false},
    {15, "PROFINET_",          false},
};
// clang-format on

} // namespace

QList<int> All_Model_Codes()
{
    QList<int> codes;
    for (const TModelInfo& m : Model_Table)
        codes.append(m.Code);
    return codes;
}

const TModelFacts* Find_Model_Facts(int modelCode)
{
    if (!Find_Model(modelCode))
        return nullptr;
    const int base = Base_Model_Code(modelCode);
    for (const TModelFacts& f : Model_Facts)
        if (f.Base_Code == base)
            return &f;
    return nullptr;
}

QList<int> Model_Facts_Codes()
{
    QList<int> codes;
    for (const TModelFacts& f : Model_Facts)
        codes.append(f.Base_Code);
    return codes;
}

QString Ethernet_Key_Prefix(int modelCode)
{
    const TModelFacts* f = Find_Model_Facts(modelCode);
    return f ? QString::fromLatin1(f->Ethernet_Prefix) : QString();
}
