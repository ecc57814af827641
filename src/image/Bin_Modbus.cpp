#include "image/Bin_Modbus.h"

#include "project/Models.h"

#include "project/ProjectFiles.h"
#include "image/BinBuffer.h"
#include "image/BinParGen.h"
#include "image/KNXTable.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

namespace {

using F = TParGenField;
using K = TKeyConversion;

constexpr uint32_t Modbus_Table_Address = 0x5B000;

// Function codes by type, for the read list and for the write list with one
// point and with several.
struct TFunctionRow {
    const char* Type; // upper-cased
    uint8_t Read;
    uint8_t Write_One;
    uint8_t Write_Many;
};
constexpr TFunctionRow Function_Table[] = {
    {"COIL STATUS", 1, 5, 15},
    {"INPUT STATUS", 2, 0, 0},
    {"HOLDING REGISTER", 3, 6, 16},
    {"INPUT REGISTER", 4, 0, 0},
};
// What the RTU master takes for a type it does not know.
constexpr TFunctionRow RTU_Other = {"", 4, 6, 16};

bool isBitFunction(uint8_t f)
{
    return f == 1 || f == 2 || f == 5 || f == 15;
}

// The serial keys of both RTU models, under their own prefix.
void loadSerialKeys(const TParGenFile& file, TBin_Par_Gen& pg, const char* serial, const char* baud,
                    const char* parity, const char* stopBits)
{
    const TParGenKey keys[] = {
        {serial, F::Serial_RS232, 0, K::RS232, 0, 0},
        {baud, F::Serial_Baud_Rate, 0, K::Speed_Serial, 7, 7},
        {parity, F::Serial_Parity, 0, K::Number, 0, 0},
        {stopBits, F::Serial_Stop_Bits, 0, K::Number, 0, 0},
    };
    Load_Keys(file, pg, keys);
    // The list's second item is "2 Stop Bits".
    if (pg.Get(F::Serial_Stop_Bits) == 1) {
        pg.Set(F::Serial_Stop_Bits, 2);
        pg.Set(F::Serial_Data_Bits, 8);
    }
}

// The diagnostic register is stored one higher, and only while the
// diagnostics are enabled.
void loadDiagnostic(const TParGenFile& file, TBin_Par_Gen& pg, const QString& enableKey, const QString& registerKey)
{
    QString text;
    const bool enabled = file.Text(enableKey, text) && text == QLatin1String("1");
    int64_t value = 0;
    if (enabled && file.Text(registerKey, text))
        value = int64_t(StrToIntDef(text, 0)) + 1;
    pg.Set(F::Diagnostic_Register, value);
}

// ---------------------------------------------------------------------------
// The master table

namespace X = ProjectFiles::ModbusXml;

int requiredNumber(const TRowReader& r, const QString& name)
{
    return StrToIntDef(r.Text(name), 0);
}

uint32_t requiredLow32(const TRowReader& r, const QString& name)
{
    return uint32_t(StrToInt64Def(r.Text(name), 0));
}

// "a.b.c.d" with the first number in the most significant byte. Everything
// after the third dot belongs to the fourth part.
uint32_t ipAsInteger(const QString& text)
{
    uint32_t v = 0;
    int from = 0;
    for (int part = 0; part < 4; ++part) {
        const int dot = part < 3 ? text.indexOf(QLatin1Char('.'), from) : -1;
        const QString s = dot < 0 ? text.mid(from) : text.mid(from, dot - from);
        v = v << 8 | uint8_t(StrToIntDef(Trim(s), 0));
        from = dot < 0 ? int(text.size()) : dot + 1;
    }
    return v;
}

TModbus_Record readRow(const TRowReader& r, bool writeList, bool tcp)
{
    TModbus_Record rec;
    if (tcp) {
        rec.IP_Address = ipAsInteger(r.Text(X::IP_Address));
        rec.Port = uint16_t(r.Number_Or(X::Port, 502, 502));
    }
    rec.Slave_ID = uint8_t(requiredNumber(r, X::Slave_ID));
    rec.Address = uint16_t(requiredNumber(r, X::Address));
    // The count sizes the request: one that does not fit its 16-bit field is
    // refused rather than cut, as is a text beyond the 32-bit range.
    const int64_t nPoint64 = r.Number64(X::NPoint, 0);
    if (nPoint64 < 0 || nPoint64 > 65535)
        throw r.Error(X::NPoint, QStringLiteral("is %1, outside 0 to 65535").arg(nPoint64));
    const int nPoint = int(nPoint64);
    rec.NPoint = uint16_t(nPoint);
    // The RTU master trims the type; the TCP master compares it as written.
    QString type = r.Text(X::Type);
    if (!tcp)
        type = Trim(type);
    rec.Function = Modbus_Function_Code(type, writeList, nPoint, tcp);
    rec.Data_Size = Modbus_Data_Size(rec.Function, nPoint);
    rec.PollTime = requiredLow32(r, X::PollTime);
    rec.MaxError = requiredLow32(r, X::MaxError);
    rec.Position = uint16_t(requiredNumber(r, X::Position));
    const int bit = requiredNumber(r, X::Bit);
    rec.Bit = uint16_t(tcp || isBitFunction(rec.Function) ? bit : 0);

    rec.Flags = 0;
    if (writeList) {
        if (r.Flag(X::OnChange_Flag))
            rec.Flags |= ModbusFlag::On_Change;
        if (r.Flag(X::OnCMD_Flag))
            rec.Flags |= ModbusFlag::On_Command;
    }
    // Only the TCP master's write list folds the case of Swap.
    if (r.Flag(tcp && writeList ? X::Swap_TCP_Write_Flag : X::Swap_Flag))
        rec.Flags |= ModbusFlag::Swap;
    return rec;
}

void loadMasterTable(TImageBuild& build, TModbus_Table& table, const QString& fileName, bool tcp)
{
    table.Modbus_Row_Count = 0;
    if (build.Has_File(fileName)) {
        const TProjectFile file = build.Load_File(fileName);
        const QString* const lists[2] = {&X::List_Read, &X::List_Write};
        int rowNumber = 0;
        for (int l = 0; l < 2; ++l) {
            const XmlNode list = file.Required_List(*lists[l]);
            for (const XmlNode& row : list.ChildElements()) {
                const TRowReader r(row, fileName, ++rowNumber);
                if (!r.Flag(X::Enable_Flag))
                    continue;
                if (table.Modbus_Row_Count >= TModbus_Table::Records)
                    throw EImageError(QStringLiteral("%1: more than %2 enabled rows, the size of the Modbus table")
                                          .arg(fileName)
                                          .arg(TModbus_Table::Records));
                table.Record[size_t(table.Modbus_Row_Count++)] = readRow(r, l == 1, tcp);
            }
        }
    }
    build.Bin_Par_Gen.Set(F::Modbus_Row_Count, table.Modbus_Row_Count);
}

// The image of a master: its polling table, the KNX table and the general
// block. The KNX table is read after the general parameters and before the
// polling table.
void buildMasterImage(TImageBuild& build, void (*loadParGen)(TImageBuild&),
                      void (*loadTable)(TImageBuild&, TModbus_Table&))
{
    build.Bin_Par_Gen.Init_Par_Gen();
    build.KNX_Table.Init_KNX_Table();
    TModbus_Table table;
    table.Init();
    loadParGen(build);
    Load_KNX_Table(build);
    loadTable(build, table);
    build.Bin.Bin_Count = 0;
    Save_Modbus_Table(table, build.Bin);
    Save_KNX_Table_And_Par_Gen(build);
}

} // namespace

void TModbus_Table::Init()
{
    Record.fill(TModbus_Record{});
    Modbus_Row_Count = 0;
}

uint8_t Modbus_Function_Code(const QString& type, bool writeList, int nPoint, bool tcp)
{
    const QString upper = UpperCase(type);
    const TFunctionRow* row = tcp ? nullptr : &RTU_Other;
    for (const TFunctionRow& r : Function_Table)
        if (upper == QLatin1String(r.Type))
            row = &r;
    // The write list knows coils and holding registers only.
    if (writeList && row && row->Write_One == 0)
        row = tcp ? nullptr : &RTU_Other;
    if (!row)
        return 0;
    if (!writeList)
        return row->Read;
    return nPoint == 1 ? row->Write_One : row->Write_Many;
}

uint8_t Modbus_Data_Size(uint8_t function, int nPoint)
{
    const int64_t n = nPoint;
    return uint8_t(isBitFunction(function) ? (n + 7) / 8 : n * 2);
}

void Load_Par_Gen_ModbusM(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    pg.Set(F::Table_Address_Modbus, Modbus_Table_Address);
    Store_KNX_Table_Addresses(pg);
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    Load_Par_Gen_KNX(file, pg, 4552);
    loadSerialKeys(file, pg, "ModbusM_SERIAL", "ModbusM_BAUDRATE", "ModbusM_PARITY", "ModbusM_STOPBITS");
    static const TParGenKey keys[] = {
        {"ModbusM_TIMEOUT", F::Master_Timeout, 0, K::Number, 1000, 1000},
        {"ModbusM_CYCLIC", F::Master_Cycle, 0, K::Number, 100, 100},
    };
    Load_Keys(file, pg, keys);
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
}

void Load_Par_Gen_ModbusS(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    Store_KNX_Table_Addresses(pg);
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    Load_Par_Gen_KNX(file, pg, 4552);
    loadSerialKeys(file, pg, "MODBUS_SLAVE_SERIAL", "MODBUS_SLAVE_BAUDRATE", "MODBUS_SLAVE_PARITY",
                   "MODBUS_SLAVE_STOPBITS");
    static const TParGenKey keys[] = {
        {"MODBUS_SLAVE_IDDEVICE", F::Modbus_Slave_ID, 0, K::Number, 10, 10},
    };
    Load_Keys(file, pg, keys);
    loadDiagnostic(file, pg, QStringLiteral("MODBUS_SLAVE_EN_DIAGNOSTIC"), QStringLiteral("MODBUS_SLAVE_DIAGNOSTIC_REG"));
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
}

void Load_Par_Gen_ModbusTCPM(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    pg.Set(F::Table_Address_Modbus, Modbus_Table_Address);
    Store_KNX_Table_Addresses(pg);
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    Load_Par_Gen_KNX(file, pg, 4552);
    static const TParGenKey keys[] = {
        {"Modbus_TCP_Master_TimeOut", F::Master_Timeout, 0, K::Number, 1000, 1000},
        {"Modbus_TCP_Master_Cyclic", F::Master_Cycle, 0, K::Number, 100, 100},
    };
    Load_Keys(file, pg, keys);
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
}

void Load_Par_Gen_ModbusTCPS(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    Store_KNX_Table_Addresses(pg);
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    Load_Par_Gen_KNX(file, pg, 4552);
    static const TParGenKey keys[] = {
        {"Modbus_TCP_Slave_Port", F::Service_Port, 0, K::Number, 502, 502},
    };
    Load_Keys(file, pg, keys);
    pg.Set(F::Service_Port_Copy, pg.Get(F::Service_Port));
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
    loadDiagnostic(file, pg, QStringLiteral("Modbus_TCP_Slave_EN_DIAGNOSTIC"),
                   QStringLiteral("Modbus_TCP_Slave_DIAGNOSTIC_REG"));
}

void Load_ModbusM_Table(TImageBuild& build, TModbus_Table& table)
{
    loadMasterTable(build, table, ProjectFiles::ModbusM_SetAccess, false);
}

void Load_ModbusTCPM_Table(TImageBuild& build, TModbus_Table& table)
{
    loadMasterTable(build, table, ProjectFiles::ModbusTCPM_SetAccess, true);
}

void Save_Modbus_Table(const TModbus_Table& table, TBinBuffer& b)
{
    int pos = b.Bin_Count;
    for (const TModbus_Record& r : table.Record) {
        b.Put16(pos + 0, r.Position);
        b.Put16(pos + 2, r.Bit);
        b.Put32(pos + 4, r.PollTime);
        b.Put8(pos + 8, r.Slave_ID);
        b.Put8(pos + 9, r.Function);
        b.Put16(pos + 10, r.Address);
        b.Put16(pos + 12, r.NPoint);
        b.Put16(pos + 14, r.Port);
        b.Put32(pos + 16, r.IP_Address);
        b.Put32(pos + 20, r.Reserved_20);
        b.Put32(pos + 24, r.MaxError);
        b.Put16(pos + 28, r.Reserved_28);
        b.Put8(pos + 30, r.Data_Size);
        b.Put8(pos + 31, r.Flags);
        pos += TModbus_Table::Record_Size;
    }
    b.Bin_Count = pos;
}

void Build_Bin_ModbusM(TImageBuild& build)
{
    buildMasterImage(build, Load_Par_Gen_ModbusM, Load_ModbusM_Table);
}

void Build_Bin_ModbusS(TImageBuild& build)
{
    Build_KNX_And_Par_Gen_Image(build, Load_Par_Gen_ModbusS);
}

void Build_Bin_ModbusTCPM(TImageBuild& build)
{
    buildMasterImage(build, Load_Par_Gen_ModbusTCPM, Load_ModbusTCPM_Table);
}

void Build_Bin_ModbusTCPS(TImageBuild& build)
{
    Build_KNX_And_Par_Gen_Image(build, Load_Par_Gen_ModbusTCPS);
}
