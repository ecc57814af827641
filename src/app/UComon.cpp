#include "app/UComon.h"

#include "app/ProjectFiles.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"
#include "platform/sys/SerialPort.h"

#include <QDir>

#include <algorithm>

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

QString Name_Project;
QString Dir_Project;
QString Dir_Projects;
QString Dir_Program;
QString Dir_Master;
QString Dir_Language;
QString Program_Title;
QString SW_Code;
QString SW_Desc;
QString Last_IP_Address;
QString Language;
uint8_t Enable_Internet = 0;
uint8_t Enable_Update = 0;

QString File_ParGen;
QString File_KNX_SetAccess;
QString File_ModbusM_SetAccess;
QString File_ModbusTCPM_SetAccess;
QString File_CAN_Rec_Frames;
QString File_CAN_Send_Frames;
QString File_CAN_Rec_Info;
QString File_CAN_Send_Info;
QString File_SDO_Server_CANopen;
QString File_SDO_Client_CANopen;
QString File_PDO_CANopen;
QString File_DNETM_Net;
QString File_DNETM_DefOff;
QString File_J1939_Rec_Frames;
QString File_J1939_Send_Frames;
QString File_M_Bus;
QString File_DMX_Default_Values;

QStringList Texts;
int Texts_Count = 0;
QStringList Row_Clipboard;

QString Text_Of(int n)
{
    return (n >= 0 && n < Texts.size()) ? Texts.at(n) : QString();
}

void Set_Model_Texts()
{
    Program_Title = Get_Program_Title(Model_Code);
    SW_Code = Get_SW_Code(Model_Code);
    SW_Desc = Get_SW_Desc(Model_Code);
}

void Set_Program_Folders(const QString& dirProgram)
{
    Dir_Program = dirProgram;
    while (Dir_Program.size() > 1 && Dir_Program.endsWith(QLatin1Char('/')))
        Dir_Program.chop(1);
    Dir_Master = PathJoin(Dir_Program, QStringLiteral("MASTER"));
    Dir_Projects = PathJoin(Dir_Program, QStringLiteral("PROJECTS"));
    Dir_Language = PathJoin(Dir_Program, QStringLiteral("LANGUAGE"));
}

void Force_Program_Folders()
{
    for (const QString* dir : {&Dir_Master, &Dir_Projects, &Dir_Language})
        if (!dir->isEmpty() && !DirectoryExists(*dir))
            QDir().mkdir(*dir);
}

namespace {

struct FileSlot {
    QString* path;
    const QString* name;
};

// The paths in the order the main window sets them.
const FileSlot File_Slots[] = {
    {&File_ParGen, &ProjectFiles::ParGen},
    {&File_KNX_SetAccess, &ProjectFiles::KNX_SetAccess},
    {&File_ModbusM_SetAccess, &ProjectFiles::ModbusM_SetAccess},
    {&File_ModbusTCPM_SetAccess, &ProjectFiles::ModbusTCPM_SetAccess},
    {&File_CAN_Rec_Frames, &ProjectFiles::CAN_Rec_Frames},
    {&File_CAN_Send_Frames, &ProjectFiles::CAN_Send_Frames},
    {&File_CAN_Rec_Info, &ProjectFiles::CAN_Rec_Info},
    {&File_CAN_Send_Info, &ProjectFiles::CAN_Send_Info},
    {&File_SDO_Server_CANopen, &ProjectFiles::SDO_Server_CANopen},
    {&File_SDO_Client_CANopen, &ProjectFiles::SDO_Client_CANopen},
    {&File_PDO_CANopen, &ProjectFiles::PDO_CANopen},
    {&File_DNETM_Net, &ProjectFiles::DNETM_Net},
    {&File_DNETM_DefOff, &ProjectFiles::DNETM_DefOff},
    {&File_J1939_Rec_Frames, &ProjectFiles::J1939_Rec_Frames},
    {&File_J1939_Send_Frames, &ProjectFiles::J1939_Send_Frames},
    {&File_M_Bus, &ProjectFiles::M_Bus},
    {&File_DMX_Default_Values, &ProjectFiles::DMX_Default_Values},
};

} // namespace

void Set_Files()
{
    for (const FileSlot& s : File_Slots)
        *s.path = Dir_Project.isEmpty() ? QString() : PathJoin(Dir_Project, *s.name);
}

bool Is_Valid_Project_Name(const QString& name)
{
    return Is_Plain_File_Name(name);
}

bool Is_Plain_File_Name(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return false;
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool Open_Stored_Project()
{
    Dir_Project.clear();
    if (Is_Valid_Project_Name(Name_Project) && !Dir_Projects.isEmpty()) {
        const QString dir = PathJoin(Dir_Projects, Name_Project);
        if (DirectoryExists(dir))
            Dir_Project = dir;
    }
    Set_Files();
    return !Dir_Project.isEmpty();
}

// ---------------------------------------------------------------------------
// KNX codes

namespace {

// Only the letters a to z match across case: a text that reaches a name
// through Unicode case folding (a long s for "S") is not that name.
bool SameText(const QString& a, const char* b)
{
    return ::SameText(a, QString::fromLatin1(b));
}

struct TextCode {
    const char* text;
    int code;
};

const TextCode Priority_Codes[] = {
    {"SYSTEM", 0},
    {"NORMAL", 1},
    {"URGENT", 2},
    {"LOW", 3},
};

const TextCode Conversion_Codes[] = {
    {"NONE", 0},
    {"SWAP16", 0x1000},
    {"SWAP32", 0x2000},
    {"SWAP ALL", 0x3000},
    {"INT TO FLOAT", 0x4000},
    {"FLOAT TO INT", 0x5000},
    {"FLOAT16 TO FLOAT32", 0x6000},
    {"FLOAT16 TO INT", 0x7000},
    {"FLOAT16 TO INT * 10", 0x8000},
    {"FLOAT16 TO INT * 100", 0x9000},
};

template <size_t N>
int LookUp(const TextCode (&table)[N], const QString& text, int def)
{
    for (const TextCode& e : table)
        if (SameText(text, e.text))
            return e.code;
    return def;
}

// A decimal integer after blanks are removed at both ends: an optional sign
// and digits only (no hexadecimal: addresses are always written in decimal).
bool DecimalPart(const QString& part, long long& value)
{
    const QString s = Trim(part); // blanks and control characters only
    int i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    if (i >= s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > 0xFFFFFFFFLL)
            return false; // far outside every range; stop before overflow
    }
    value = negative ? -v : v;
    return true;
}

// Each part must be a decimal integer within [0, max]; returns false when one
// is not. `allZero` tells whether every part was 0.
bool PartsInRange(const QStringList& parts, std::initializer_list<long long> maxima, bool& allZero)
{
    allZero = true;
    int i = 0;
    for (long long max : maxima) {
        long long v = 0;
        if (!DecimalPart(parts.at(i++), v) || v < 0 || v > max)
            return false;
        if (v != 0)
            allZero = false;
    }
    return true;
}

bool PlainAddress(const QString& text)
{
    long long v = 0;
    return DecimalPart(text, v) && v >= 1 && v <= 65535;
}

} // namespace

int Get_RW_Flag(const QString& text)
{
    if (SameText(text, "WRITE"))
        return 0x80;
    if (SameText(text, "READ"))
        return 0;
    return StrToIntDef(text, 0);
}

int Get_Priority(const QString& text)
{
    return LookUp(Priority_Codes, text, 1);
}

int Get_Conversion(const QString& text)
{
    return LookUp(Conversion_Codes, text, 0);
}

bool No_Decimal_Point(const QString& text)
{
    return !text.contains(QLatin1Char('.'));
}

int Check_KNX_Address(const QString& text, bool Group, bool Zero_Allowed)
{
    const QChar sep = Group ? QLatin1Char('/') : QLatin1Char('.');
    const QChar other = Group ? QLatin1Char('.') : QLatin1Char('/');
    if (text.contains(other))
        return 1;
    const QStringList parts = text.split(sep);
    bool allZero = true;
    switch (parts.size()) {
    case 1:
        return PlainAddress(text) ? 0 : 1;
    case 2:
        if (!Group)
            return 1;
        if (!PartsInRange(parts, {31, 2047}, allZero))
            return 1;
        return allZero ? 1 : 0;
    case 3:
        if (Group) {
            if (!PartsInRange(parts, {31, 7, 255}, allZero))
                return 1;
            return allZero ? 1 : 0;
        }
        if (!PartsInRange(parts, {15, 15, 255}, allZero))
            return 1;
        return (allZero && !Zero_Allowed) ? 1 : 0;
    default:
        return 1;
    }
}

// ---------------------------------------------------------------------------
// Model queries

int MBus_XML_Code_Dev()
{
    return (Model_Code == 10 || Model_Code == 1010) ? 15 : 0;
}

int Is_MBus_Model()
{
    return (Model_Code == 10 || Model_Code == 1010) ? 1 : 0;
}

int BACnet_No_Units()
{
    return 95;
}

// ---------------------------------------------------------------------------
// Serial ports
//
// The platform lists serial devices by path (/dev/ttyS0, /dev/ttyUSB0 ...) in
// natural order. Port n is the n-th device of that list, so that "COM" + n
// stays one name per device whatever mix of device kinds is present.

namespace {

constexpr int Max_COM_Port = 256;

} // namespace

QStringList List_COM_Ports_From(const QStringList& deviceNames)
{
    QStringList result;
    const int count = std::min<int>(int(deviceNames.size()), Max_COM_Port);
    for (int n = 1; n <= count; ++n)
        result.append(QString::number(n));
    return result;
}

QStringList List_COM_Ports()
{
    return List_COM_Ports_From(Sys::SerialPorts().List());
}

QString COM_Port_Device(int n)
{
    const QStringList devices = Sys::SerialPorts().List();
    if (n < 1 || n > std::min<int>(int(devices.size()), Max_COM_Port))
        return QString();
    return devices.at(n - 1);
}
