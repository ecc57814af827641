#include "image/Bin_CAN.h"

#include "project/Models.h"

#include "project/ProjectFiles.h"
#include "image/BinBuffer.h"
#include "image/BinParGen.h"
#include "image/KNXTable.h"
#include "platform/core/StrUtils.h"

namespace {

using F = TParGenField;
using K = TKeyConversion;

constexpr uint32_t CAN_Table_Address = 0x5B000;
constexpr uint16_t No_Byte = 0xFFFF;

namespace X = ProjectFiles::CANFramesXml;

TCAN_Record readFrame(const TRowReader& r, bool send)
{
    TCAN_Record rec;
    rec.Identifier = uint32_t(r.Number64_Or(X::COBID, 0, 0));
    if (Trim(r.Text_Or(X::CAN_Type, QString())) == X::Type_29_Bits)
        rec.Identifier |= CAN_Extended_Identifier;
    const int dim = r.Number_Or(X::Dim, 8, 8);
    rec.Data_Length = uint8_t(dim);
    if (send) {
        rec.Flags = CANFlag::Send;
        if (r.Flag(X::OnChange_Flag))
            rec.Flags |= CANFlag::On_Change;
        if (r.Flag(X::OnCMD_Flag))
            rec.Flags |= CANFlag::On_Command;
        if (r.Flag(X::OnTimer_Flag))
            rec.Flags |= CANFlag::On_Timer;
        rec.Send_Period = uint32_t(r.Number64_Or(X::Time, 0, 0));
    } else {
        rec.Receive_Timeout = uint32_t(r.Number64_Or(X::TimeOut, 0, 0));
    }
    // Bytes past the frame's length carry nothing, whatever the row says.
    for (int k = 1; k <= 8; ++k) {
        const int address = r.Number_Or(X::Byte(k), No_Byte, No_Byte);
        rec.Byte_Address[size_t(k - 1)] = dim < k ? No_Byte : uint16_t(address);
    }
    return rec;
}

void loadFrames(TImageBuild& build, TCAN_Table& table, const QString& fileName, bool send)
{
    if (!build.Has_File(fileName))
        return;
    const TProjectFile file = build.Load_File(fileName);
    int rowNumber = 0;
    for (const XmlNode& el : file.Root().ChildElements()) {
        const TRowReader r(el, fileName, ++rowNumber);
        if (!r.Flag(X::Enable_Flag))
            continue;
        if (table.CAN_Frame_Count >= TCAN_Table::Records)
            throw EImageError(QStringLiteral("%1: more than %2 used frames, the size of the CAN table")
                                  .arg(fileName)
                                  .arg(TCAN_Table::Records));
        table.Record[size_t(table.CAN_Frame_Count++)] = readFrame(r, send);
    }
}

} // namespace

void TCAN_Table::Init_CAN_Table()
{
    Record.fill(TCAN_Record{});
    CAN_Frame_Count = 0;
}

void Load_Par_Gen_CAN(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    Store_KNX_Table_Addresses(pg);
    pg.Set(F::Table_Address_CAN, CAN_Table_Address);
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    Load_Par_Gen_KNX(file, pg, 36865);
    static const TParGenKey keys[] = {
        {"CAN_BAUDRATE", F::Fieldbus_Baud_Rate, 0, K::Speed_CAN, 9, 9},
    };
    Load_Keys(file, pg, keys);
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
}

void Load_CAN_Frames(TImageBuild& build, TCAN_Table& table)
{
    table.CAN_Frame_Count = 0;
    loadFrames(build, table, ProjectFiles::CAN_Rec_Frames, false);
    loadFrames(build, table, ProjectFiles::CAN_Send_Frames, true);
    build.Bin_Par_Gen.Set(F::CAN_Frame_Count, table.CAN_Frame_Count);
}

int Save_CAN_Table(const TCAN_Table& table, int position, TBinBuffer& b)
{
    for (const TCAN_Record& r : table.Record) {
        b.Put32(position, r.Identifier);
        b.Put32(position + 4, r.Send_Period);
        b.Put32(position + 8, r.Receive_Timeout);
        b.Put8(position + 12, r.Reserved_12);
        b.Put8(position + 13, r.Flags);
        b.Put8(position + 14, r.Data_Length);
        b.Put8(position + 15, r.Reserved_15);
        for (int k = 0; k < 8; ++k)
            b.Put16(position + 16 + 2 * k, r.Byte_Address[size_t(k)]);
        position += TCAN_Table::Record_Size;
    }
    return position;
}

void Build_Bin_CAN(TImageBuild& build)
{
    build.Bin_Par_Gen.Init_Par_Gen();
    build.KNX_Table.Init_KNX_Table();
    TCAN_Table table;
    table.Init_CAN_Table();
    Load_Par_Gen_CAN(build);
    Load_CAN_Frames(build, table);
    Load_KNX_Table(build);
    build.Bin.Bin_Count = 0;
    build.Bin.Bin_Count = Save_CAN_Table(table, 0, build.Bin);
    Save_KNX_Table_And_Par_Gen(build);
}
