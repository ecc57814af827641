#include "image/Bin_CANopen.h"

#include "project/Models.h"

#include "project/ProjectFiles.h"
#include "image/BinBuffer.h"
#include "image/BinParGen.h"
#include "image/KNXTable.h"
#include "platform/core/IntConv.h"

namespace {

using F = TParGenField;
using K = TKeyConversion;
using T = TCANopenTable;
namespace X = ProjectFiles::CANopenXml;

constexpr TCANopen_Table_Info Table_Info[] = {
    {T::SDO_Server_Read, "SDO server read", 512, 0x55000, &ProjectFiles::SDO_Server_CANopen, &X::List_SDO_Read},
    {T::SDO_Server_Write, "SDO server write", 512, 0x59000, &ProjectFiles::SDO_Server_CANopen, &X::List_SDO_Write},
    {T::SDO_Client_Read, "SDO client read", 256, 0x5D000, &ProjectFiles::SDO_Client_CANopen, &X::List_SDO_Read},
    {T::SDO_Client_Write, "SDO client write", 256, 0x5F000, &ProjectFiles::SDO_Client_CANopen, &X::List_SDO_Write},
    {T::RPDO, "receive PDO", 128, 0x61000, &ProjectFiles::PDO_CANopen, &X::List_Receive_PDO},
    {T::TPDO, "transmit PDO", 128, 0x62000, &ProjectFiles::PDO_CANopen, &X::List_Transmit_PDO},
};

constexpr bool tablesFitTheirSpace()
{
    int records = 0;
    int i = 0;
    for (const TCANopen_Table_Info& t : Table_Info) {
        if (int(t.Table) != i++)
            return false;
        records += t.Records;
    }
    return i == int(T::Count) && records * TCANopen_Tables::Record_Size == TCANopen_Tables::Tables_Size;
}
static_assert(tablesFitTheirSpace(), "the six tables in image order fill the CANopen part of the image");

// The record of a table row, read with no fallback: every attribute the row's
// table reads must be there and hold an integer.
class TCANopenRow {
public:
    TCANopenRow(const XmlNode& row, const TCANopen_Table_Info& table, int rowNumber)
        : FRow(row, *table.File, rowNumber, *table.List) {}

    int Int(const QString& name) const { return FRow.Integer(name); }
    // A 32-bit field that the file may write past the signed range.
    uint32_t Low32(const QString& name) const { return uint32_t(FRow.Integer64(name)); }
    bool Flag(const TFlagColumn& column) const { return FRow.Flag(column); }

private:
    TRowReader FRow;
};


// An SDO moves 1, 2 or 4 bytes; its addresses lie in the record's last four
// slots, the first four are 0.
TCANopen_Record readSDO(const TCANopenRow& r, bool client, bool write)
{
    TCANopen_Record rec;
    rec.Index = uint16_t(r.Int(X::Index));
    rec.SubIndex = uint8_t(r.Int(X::SubIndex));
    if (client) {
        rec.Device_ID = uint8_t(r.Int(X::Device_ID));
        rec.Time = r.Low32(X::Poll_Time);
    }
    const int nByte = r.Int(X::NByte);
    rec.Size = uint8_t(nByte);
    rec.Address.fill(0);
    rec.Address[4] = uint16_t(r.Int(X::Address_B(1)));
    if (nByte >= 2)
        rec.Address[5] = uint16_t(r.Int(X::Address_B(2)));
    if (nByte >= 4) {
        rec.Address[6] = uint16_t(r.Int(X::Address_B(3)));
        rec.Address[7] = uint16_t(r.Int(X::Address_B(4)));
    }
    if (write)
        rec.Mode = client && r.Flag(X::On_Change_Flag) ? 3 : 1;
    return rec;
}

// A PDO carries up to 8 bytes; address k is taken while the PDO is at least
// k bytes long.
TCANopen_Record readPDO(const TCANopenRow& r, bool transmit)
{
    TCANopen_Record rec;
    rec.COB_ID = r.Low32(X::COB_ID);
    rec.Time = r.Low32(transmit ? X::Send_Time : X::TimeOut);
    const int dimension = r.Int(X::Dimension);
    rec.Size = uint8_t(dimension);
    rec.Address.fill(0);
    rec.Address[0] = uint16_t(r.Int(X::Address_B(1)));
    for (int k = 2; k <= 8; ++k)
        if (dimension >= k)
            rec.Address[size_t(k - 1)] = uint16_t(r.Int(X::Address_B(k)));
    if (transmit)
        rec.Mode = r.Flag(X::On_Change_Flag) ? 3 : 1;
    return rec;
}

TCANopen_Record readRow(const TCANopenRow& r, T table)
{
    switch (table) {
    case T::SDO_Server_Read: return readSDO(r, false, false);
    case T::SDO_Server_Write: return readSDO(r, false, true);
    case T::SDO_Client_Read: return readSDO(r, true, false);
    case T::SDO_Client_Write: return readSDO(r, true, true);
    case T::RPDO: return readPDO(r, false);
    case T::TPDO: return readPDO(r, true);
    case T::Count: break;
    }
    return {};
}

void loadList(const XmlNode& root, const TCANopen_Table_Info& info, TCANopen_Tables& tables)
{
    const XmlNode list = root.ChildElement(*info.List);
    if (list.IsNull())
        throw ETableFileError(QStringLiteral("%1: the list \"%2\" is missing").arg(*info.File, *info.List));
    const int t = int(info.Table);
    int rowNumber = 0;
    for (const XmlNode& row : list.ChildElements()) {
        ++rowNumber;
        if (tables.Count[size_t(t)] >= info.Records)
            throw EImageError(QStringLiteral("%1: the list \"%2\" has more than %3 rows, the size of the %4 table")
                                  .arg(*info.File, *info.List)
                                  .arg(info.Records)
                                  .arg(QLatin1String(info.Name)));
        tables.Table[size_t(t)][tables.Count[size_t(t)]++] = readRow(TCANopenRow(row, info, rowNumber), info.Table);
    }
}

// The file of two tables: both counts 0, then both lists when the file exists.
void loadFile(TImageBuild& build, TCANopen_Tables& tables, T first)
{
    const TCANopen_Table_Info& a = Table_Info[int(first)];
    const TCANopen_Table_Info& b = Table_Info[int(first) + 1];
    tables.Count[size_t(a.Table)] = 0;
    tables.Count[size_t(b.Table)] = 0;
    const QString& file = *a.File;
    if (!build.Has_File(file))
        return;
    const TProjectFile loaded = build.Load_File(file);
    loadList(loaded.Root(), a, tables);
    loadList(loaded.Root(), b, tables);
}

int saveTable(const QList<TCANopen_Record>& table, int position, TBinBuffer& b)
{
    for (const TCANopen_Record& r : table) {
        b.Put32(position, r.COB_ID);
        b.Put16(position + 4, r.Index);
        b.Put8(position + 6, r.SubIndex);
        b.Put8(position + 7, r.Device_ID);
        b.Put32(position + 8, r.Time);
        for (int k = 0; k < 8; ++k)
            b.Put16(position + 12 + 2 * k, r.Address[size_t(k)]);
        b.Put8(position + 28, r.Size);
        b.Put8(position + 29, r.Mode);
        b.Put16(position + 30, r.Reserved_30);
        position += TCANopen_Tables::Record_Size;
    }
    return position;
}

} // namespace

const TCANopen_Table_Info& CANopen_Table_Info(TCANopenTable t)
{
    return Table_Info[int(t)];
}

void TCANopen_Tables::Init_CANopen_Tables()
{
    for (const TCANopen_Table_Info& info : Table_Info) {
        Table[size_t(info.Table)] = QList<TCANopen_Record>(info.Records);
        Count[size_t(info.Table)] = 0;
    }
}

void Load_Par_Gen_CANopen(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    Store_KNX_Table_Addresses(pg);
    for (const TCANopen_Table_Info& info : Table_Info)
        pg.Set(F::Table_Address_CANopen, info.Device_Address, int(info.Table));
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    Load_Par_Gen_KNX(file, pg, 36865);
    static const TParGenKey first[] = {
        {"CANopen_IDDev", F::CANopen_Node_ID, 0, K::Number, 1, 1},
        {"CANopen_BAUDRATE", F::Fieldbus_Baud_Rate, 0, K::Speed_CANopen, 8, 8},
    };
    Load_Keys(file, pg, first);
    pg.Set(F::CANopen_Options, 0);
    static const TParGenKey rest[] = {
        {"CANopen_Set_Operational", F::CANopen_Options, 0, K::Flag_Bit, 0, 0, 0x1},
        {"CANopen_Network_Start", F::CANopen_Options, 0, K::Flag_Bit, 0, 0, 0x2},
        {"CANopen_Delay", F::CANopen_Start_Delay, 0, K::Number_Times_1000, 10, 10},
        {"CANopen_SDO_TimeOut", F::CANopen_SDO_Timeout, 0, K::Number, 10000, 10000},
    };
    Load_Keys(file, pg, rest);
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
}

void Load_CANopen_Tables(TImageBuild& build, TCANopen_Tables& tables)
{
    loadFile(build, tables, T::SDO_Server_Read);
    loadFile(build, tables, T::SDO_Client_Read);
    loadFile(build, tables, T::RPDO);
    for (const TCANopen_Table_Info& info : Table_Info)
        build.Bin_Par_Gen.Set(F::CANopen_Table_Counts, tables.Count[size_t(info.Table)], int(info.Table));
}

int Save_CANopen_Tables(const TCANopen_Tables& tables, int position, TBinBuffer& buffer)
{
    for (const TCANopen_Table_Info& info : Table_Info)
        position = saveTable(tables.Table[size_t(info.Table)], position, buffer);
    return position;
}

void Build_Bin_CANopen(TImageBuild& build)
{
    build.Bin_Par_Gen.Init_Par_Gen();
    build.KNX_Table.Init_KNX_Table();
    TCANopen_Tables tables;
    Load_Par_Gen_CANopen(build);
    Load_CANopen_Tables(build, tables);
    Load_KNX_Table(build);
    build.Bin.Bin_Count = 0;
    build.Bin.Bin_Count = Save_CANopen_Tables(tables, 0, build.Bin);
    Save_KNX_Table_And_Par_Gen(build);
}
