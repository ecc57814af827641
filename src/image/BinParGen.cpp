#include "image/BinParGen.h"

#include "project/Models.h"

#include "project/KNXCodes.h"
#include "project/ParGen.h"
#include "project/ProjectFiles.h"
#include "image/BinBuffer.h"
#include "image/ImageBuild.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

namespace {

using F = TParGenField;

// The block's layout: offset, width, elements, defaults. The 8 bytes at 1904
// and the checksum at 2044 are not fields; every byte no field names is zero.
constexpr TParGenFieldInfo Field_Table[] = {
    {F::Fieldbus_Baud_Rate, 0, 4, 1, {125000}, false},
    {F::Fixed_12, 12, 4, 1, {9600}, false},
    {F::Fixed_16, 16, 2, 1, {8}, false},
    {F::Modbus_Slave_ID, 24, 4, 1, {0}, false},
    {F::J1939_Address, 28, 4, 1, {0}, false},
    {F::Master_Timeout, 32, 4, 1, {0}, false},
    {F::Master_Cycle, 36, 4, 1, {0}, false},
    {F::IP_Address, 40, 1, 4, {192, 168, 2, 205}, false},
    {F::Subnet_Mask, 44, 1, 4, {255, 255, 255, 0}, false},
    {F::Gateway_Address, 48, 1, 4, {255}, true},
    {F::Fixed_52, 52, 2, 1, {10000}, false},
    {F::Service_Port, 54, 2, 1, {10001}, false},
    {F::Service_Port_Copy, 56, 2, 1, {10001}, false},
    {F::Fixed_60, 60, 4, 1, {9600}, false},
    {F::Fixed_64, 64, 2, 1, {8}, false},
    {F::Modbus_Row_Count, 72, 4, 1, {0}, false},
    {F::Station_Name, 80, 1, 16, {0}, true},
    {F::Serial_RS232, 97, 1, 1, {0}, false},
    {F::CAN_Frame_Count, 112, 4, 1, {0}, false},
    {F::Input_Bytes, 116, 4, 1, {0}, false},
    {F::Output_Bytes, 120, 4, 1, {0}, false},
    {F::J1939_Rec_Count, 144, 4, 1, {0}, false},
    {F::J1939_Send_Count, 148, 4, 1, {0}, false},
    {F::J1939_Options, 152, 4, 1, {0}, false},
    {F::CANopen_Node_ID, 156, 4, 1, {0}, false},
    {F::CANopen_Options, 160, 4, 1, {0}, false},
    {F::CANopen_Start_Delay, 164, 4, 1, {0}, false},
    {F::CANopen_SDO_Timeout, 168, 4, 1, {0}, false},
    {F::CANopen_Table_Counts, 172, 4, 6, {0}, true},
    {F::Table_Address_Modbus, 196, 4, 1, {0}, false},
    {F::Table_Address_CAN, 200, 4, 1, {0}, false},
    {F::Table_Address_J1939_Rec, 204, 4, 1, {0}, false},
    {F::Table_Address_J1939_Send, 208, 4, 1, {0}, false},
    {F::Table_Address_CANopen, 224, 4, 6, {0}, true},
    {F::Diagnostic_Register, 384, 4, 1, {0}, false},
    {F::Serial_Baud_Rate, 400, 4, 1, {0}, false},
    {F::Fixed_404, 404, 4, 1, {38400}, false},
    {F::Serial_Parity, 424, 1, 1, {0}, false},
    {F::Serial_Stop_Bits, 430, 1, 1, {0}, false},
    {F::Fixed_431, 431, 1, 1, {1}, false},
    {F::Serial_Data_Bits, 436, 1, 1, {8}, false},
    {F::Fixed_437, 437, 1, 7, {8}, true},
    {F::Table_Address_KNX_Read, 444, 4, 1, {0}, false},
    {F::Table_Address_KNX_Write, 448, 4, 1, {0}, false},
    {F::KNX_Read_Count, 452, 4, 1, {0}, false},
    {F::KNX_Object_Count, 456, 4, 1, {0}, false},
    {F::Fixed_460, 460, 2, 1, {3671}, false},
    {F::KNX_Individual_Address, 462, 2, 1, {0}, false},
    {F::KNX_Tunnel_Address, 464, 2, 1, {0}, false},
    {F::KNX_Management_Address, 466, 2, 1, {0}, false},
    {F::KNX_Control_Port, 468, 2, 1, {50000}, false},
    {F::KNX_Tunnel_Port, 470, 2, 1, {50001}, false},
    {F::KNX_Management_Port, 472, 2, 1, {50002}, false},
    {F::DMX_In_Channels, 476, 2, 1, {0}, false},
    {F::DMX_Out_Channels, 478, 2, 1, {512}, false},
    {F::Table_Address_Extra, 480, 4, 1, {0}, false},
    {F::KNX_Packet_Delay, 1900, 4, 1, {0}, false},
    {F::J1939_Delete_Time, -1, 4, 1, {0}, false},
};

constexpr bool fieldTableInOrder()
{
    int i = 0;
    for (const TParGenFieldInfo& f : Field_Table) {
        if (int(f.Field) != i++)
            return false;
        if (f.Offset >= 0 && (f.Offset + f.Size * f.Count > TBin_Par_Gen::Checksum_Offset
                              || (f.Offset < 1912 && f.Offset + f.Size * f.Count > 1904)))
            return false;
    }
    return i == int(F::Count);
}
static_assert(fieldTableInOrder(), "the field table lists every field once, in enum order, inside the block");

constexpr int Reserved_Zero_Offset = 1904;
constexpr int Reserved_Zero_Size = 8;

// Speeds by drop-down item index; the last column entry serves every index
// outside 0..9.
struct TSpeedRow {
    int J1939, CANopen, CAN, Serial;
};
constexpr TSpeedRow Speed_Table[] = {
    {10000, 10000, 10000, 1200},       {20000, 20000, 20000, 2400},
    {50000, 50000, 50000, 4800},       {100000, 100000, 62500, 9600},
    {125000, 125000, 100000, 19200},   {250000, 250000, 125000, 38400},
    {500000, 500000, 250000, 57600},   {800000, 800000, 500000, 115200},
    {1000000, 1000000, 800000, 9600},  {250000, 1000000, 1000000, 9600},
};
constexpr TSpeedRow Speed_Other = {250000, 1000000, 1000000, 9600};

int speedColumn(const TSpeedRow& row, TKeyConversion table)
{
    switch (table) {
    case TKeyConversion::Speed_J1939: return row.J1939;
    case TKeyConversion::Speed_CANopen: return row.CANopen;
    case TKeyConversion::Speed_CAN: return row.CAN;
    default: return row.Serial;
    }
}

} // namespace

const TParGenFieldInfo& Par_Gen_Field_Info(TParGenField f)
{
    return Field_Table[int(f)];
}

void TBin_Par_Gen::Init_Par_Gen()
{
    FBytes.fill(0);
    FJ1939_Delete_Time = 0;
    for (const TParGenFieldInfo& f : Field_Table)
        for (int i = 0; i < f.Count; ++i)
            Set(f.Field, f.RepeatDefault ? f.Defaults[0] : f.Defaults[size_t(i)], i);
}

void TBin_Par_Gen::Set(TParGenField field, int64_t value, int index)
{
    const TParGenFieldInfo& f = Par_Gen_Field_Info(field);
    if (index < 0 || index >= f.Count)
        throw EImageError(QStringLiteral("General block: element %1 is outside a field of %2").arg(index).arg(f.Count));
    if (f.Offset < 0) {
        FJ1939_Delete_Time = int32_t(uint32_t(value));
        return;
    }
    const uint64_t v = uint64_t(value);
    const int at = f.Offset + index * f.Size;
    for (int b = 0; b < f.Size; ++b)
        FBytes[size_t(at + b)] = uint8_t(v >> (8 * b));
}

uint32_t TBin_Par_Gen::Get(TParGenField field, int index) const
{
    const TParGenFieldInfo& f = Par_Gen_Field_Info(field);
    if (index < 0 || index >= f.Count)
        throw EImageError(QStringLiteral("General block: element %1 is outside a field of %2").arg(index).arg(f.Count));
    if (f.Offset < 0)
        return uint32_t(FJ1939_Delete_Time);
    uint32_t v = 0;
    const int at = f.Offset + index * f.Size;
    for (int b = 0; b < f.Size; ++b)
        v |= uint32_t(FBytes[size_t(at + b)]) << (8 * b);
    return v;
}

void TBin_Par_Gen::SetText(TParGenField field, const QByteArray& text)
{
    const TParGenFieldInfo& f = Par_Gen_Field_Info(field);
    const int room = f.Size * f.Count - 1; // the terminating zero stays
    for (int i = 0; i < f.Count; ++i)
        Set(field, 0, i);
    for (int i = 0; i < text.size() && i < room; ++i)
        FBytes[size_t(f.Offset + i)] = uint8_t(text[i]);
}

std::array<uint8_t, TBin_Par_Gen::Block_Size> TBin_Par_Gen::Block() const
{
    std::array<uint8_t, Block_Size> block = FBytes;
    for (int i = 0; i < Reserved_Zero_Size; ++i)
        block[size_t(Reserved_Zero_Offset + i)] = 0;
    uint32_t sum = 0;
    for (int i = 0; i < Checksum_Offset; ++i)
        sum += block[size_t(i)];
    for (int b = 0; b < 4; ++b)
        block[size_t(Checksum_Offset + b)] = uint8_t(sum >> (8 * b));
    return block;
}

void TBin_Par_Gen::Save_Par_Gen(TBinBuffer& buffer, int position) const
{
    const std::array<uint8_t, Block_Size> block = Block();
    buffer.PutBytes(position, block.data(), Block_Size);
}

// ---------------------------------------------------------------------------

int Speed_Of(TKeyConversion table, int index)
{
    constexpr int rows = int(sizeof(Speed_Table) / sizeof(Speed_Table[0]));
    return speedColumn(index >= 0 && index < rows ? Speed_Table[index] : Speed_Other, table);
}

TParGenFile::TParGenFile(const TImageBuild& build)
{
    if (build.Has_File(ProjectFiles::ParGen))
        FFile.emplace(build.Load_File(ProjectFiles::ParGen));
}

bool TParGenFile::Text(const QString& key, QString& text) const
{
    Require_ParGen_Key(key);
    if (!FFile)
        return false;
    const XmlNode el = FFile->Root().ChildElement(key);
    if (el.IsNull())
        return false;
    text = el.Text();
    return true;
}

void TParGenFile::Load_Key(TBin_Par_Gen& record, const TParGenKey& key) const
{
    QString text;
    const bool present = Text(QString::fromLatin1(key.Key), text);
    const auto number = [&]() -> int64_t { return present ? StrToIntDef(text, int(key.Default)) : key.Missing; };
    int64_t value = 0;
    switch (key.Conversion) {
    case TKeyConversion::Number:
        value = number();
        break;
    case TKeyConversion::Number_Times_1000:
        value = number() * 1000;
        break;
    case TKeyConversion::Flag_Bit: {
        const bool set = present ? text == QLatin1String("1") : key.Missing != 0;
        const uint32_t old = record.Get(key.Field, key.Index);
        value = set ? (old | key.Bit) : (old & ~key.Bit);
        break;
    }
    case TKeyConversion::RS232:
        value = present ? (text == QLatin1String("0") ? 1 : 0) : key.Missing;
        break;
    case TKeyConversion::Speed_J1939:
    case TKeyConversion::Speed_CANopen:
    case TKeyConversion::Speed_CAN:
    case TKeyConversion::Speed_Serial:
        value = Speed_Of(key.Conversion, int(number()));
        break;
    case TKeyConversion::Individual_Address:
        value = present ? Par_Gen_Individual_Address(text) : key.Missing;
        break;
    }
    record.Set(key.Field, value, key.Index);
}

void Load_Par_Gen_KNX(const TParGenFile& file, TBin_Par_Gen& record, int64_t missingAddress)
{
    // KNX_TYPE is part of every file but nothing in the block depends on it.
    const TParGenKey keys[] = {
        {"KNX_ID_DEV", F::KNX_Individual_Address, 0, TKeyConversion::Individual_Address, 0, missingAddress},
    };
    Load_Keys(file, record, keys);
}

void Load_Par_Gen_Ethernet(const TParGenFile& file, TBin_Par_Gen& record, const QString& prefix, int ip4Default)
{
    struct TQuad {
        const char* Suffix;
        F Field;
        int Defaults[4];
    };
    const TQuad quads[] = {
        {"IP", F::IP_Address, {192, 168, 0, ip4Default}},
        {"SM", F::Subnet_Mask, {255, 255, 255, 0}},
        {"GAT", F::Gateway_Address, {192, 168, 0, 1}},
    };
    for (const TQuad& q : quads) {
        for (int i = 0; i < 4; ++i) {
            const QByteArray key = (prefix + QLatin1String(q.Suffix) + QString::number(i + 1)).toLatin1();
            file.Load_Key(record, {key.constData(), q.Field, i, TKeyConversion::Number, q.Defaults[i], q.Defaults[i]});
        }
    }
    QString enable;
    if (!file.Text(prefix + QLatin1String("EN_GAT"), enable) || enable != QLatin1String("1"))
        for (int i = 0; i < 4; ++i)
            record.Set(F::Gateway_Address, 255, i);
}

void Store_KNX_Table_Addresses(TBin_Par_Gen& record)
{
    record.Set(F::Table_Address_KNX_Read, 0x63000);
    record.Set(F::Table_Address_KNX_Write, 0x63000);
}

void Load_Par_Gen_J1939(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    pg.Set(F::Table_Address_J1939_Rec, 0x5B000);
    pg.Set(F::Table_Address_J1939_Send, 0x5F000);
    pg.Set(F::J1939_Delete_Time, 0);
    Store_KNX_Table_Addresses(pg);

    const TParGenFile file(build);
    if (!file.Exists())
        return;
    static const TParGenKey keys[] = {
        {"J1939_BAUDRATE", F::Fieldbus_Baud_Rate, 0, TKeyConversion::Speed_J1939, 5, 5},
        {"J1939_TIMEOUT", F::J1939_Delete_Time, 0, TKeyConversion::Number_Times_1000, 0, 0},
        {"J1939_PEER_TO_PEER", F::J1939_Options, 0, TKeyConversion::Flag_Bit, 0, 0, 0x1},
        {"J1939_Device_ID", F::J1939_Address, 0, TKeyConversion::Number, 0, 0},
    };
    Load_Par_Gen_KNX(file, pg, 36865);
    pg.Set(F::J1939_Options, 0);
    Load_Keys(file, pg, keys);
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
}
