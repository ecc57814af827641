#include "image/KNXTable.h"

#include "project/ProjectFiles.h"
#include "project/KNXCodes.h"
#include "image/ImageBuild.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

namespace {

namespace X = ProjectFiles::KNXAccessXml;

bool isDmxOut(const TImageBuild& build)
{
    return (build.Model_Code == 11 || build.Model_Code == 1011)
           && build.Bin_Par_Gen.Get(TParGenField::DMX_In_Channels) == 0;
}

// One enabled row into its record (the steps the gateway's table expects).
TKNX_Record readRow(const TRowReader& row, bool dmxOut)
{
    TKNX_Record r;
    r.RW_Code = dmxOut ? 0 : uint16_t(Get_RW_Flag(row.Text(X::APCI)));
    r.Priority = uint8_t(Get_Priority(row.Text(X::Priority)));
    r.Flags = 0;
    if (row.Flag(X::Extended_Flag))
        r.Flags |= KNXFlag::Extended;
    const QString destination = row.Text(X::Destination_Address);
    const bool group = No_Decimal_Point(destination);
    if (group)
        r.Flags |= KNXFlag::Group;
    if (row.Flag(X::ReTest_Flag))
        r.Flags |= KNXFlag::ReTest;
    r.Source = KNX_Address_To_Word(row.Text(X::Source_Address), false);
    r.Destination = KNX_Address_To_Word(destination, group);
    if (!dmxOut) {
        if (row.Flag(X::On_Command_Flag))
            r.Flags |= KNXFlag::On_Command;
        if (row.Flag(X::On_Change_Flag))
            r.Flags |= KNXFlag::On_Change;
    }
    r.Poll_Time = row.Flag(X::On_Timer_Flag) ? uint32_t(row.Number_Or(X::Poll_Time, 1000, 0)) : 0;
    if (row.Has(X::Format))
        r.Flags |= uint16_t(Get_Conversion(row.Text(X::Format)));
    const QString bitMode = row.Text(X::Bit_Mode);
    // Any typed number is accepted and cut to 16 bits, so the bit position is
    // computed wide enough never to overflow.
    const int64_t position = row.Number(X::Position, 0);
    if (UpperCase(bitMode) == QLatin1String("NO")) {
        r.Position = uint16_t(position);
    } else {
        r.Flags |= KNXFlag::Bit_Mode;
        r.Position = uint16_t(position * 8 + StrToIntDef(bitMode, 0));
    }
    r.Length = uint8_t(row.Number(X::Length, 1));
    return r;
}

} // namespace

void TKNX_Table::Init_KNX_Table()
{
    Record.fill(TKNX_Record{});
    KNX_Object_Count = 0;
    KNX_Read_Count = 0;
}

void Load_KNX_Table(TImageBuild& build)
{
    TKNX_Table& t = build.KNX_Table;
    t.KNX_Read_Count = 0;
    t.KNX_Object_Count = 0;
    if (build.Has_File(ProjectFiles::KNX_SetAccess)) {
        const TProjectFile file = build.Load_File(ProjectFiles::KNX_SetAccess);
        const XmlNode list = file.Required_List(X::List_Write);
        const bool dmxOut = isDmxOut(build);
        int rowNumber = 0;
        for (const XmlNode& el : list.ChildElements()) {
            const TRowReader row(el, file.Name(), ++rowNumber);
            if (!row.Flag(X::Enable_Flag))
                continue;
            if (t.KNX_Object_Count >= TKNX_Table::Records)
                throw EImageError(QStringLiteral("The KNX object table holds at most %1 objects; %2 enables more")
                                      .arg(TKNX_Table::Records)
                                      .arg(build.File(ProjectFiles::KNX_SetAccess)));
            t.Record[size_t(t.KNX_Object_Count)] = readRow(row, dmxOut);
            ++t.KNX_Object_Count;
        }
    }
    build.Bin_Par_Gen.Set(TParGenField::KNX_Read_Count, t.KNX_Read_Count);
    build.Bin_Par_Gen.Set(TParGenField::KNX_Object_Count, t.KNX_Object_Count);
}

void Save_KNX_Table(TImageBuild& build)
{
    TBinBuffer& b = build.Bin;
    int pos = b.Bin_Count;
    for (const TKNX_Record& r : build.KNX_Table.Record) {
        b.Put32(pos, r.Poll_Time);
        b.Put32(pos + 4, r.Reserved_4);
        b.Put8(pos + 8, r.Priority);
        b.Put8(pos + 9, r.Length);
        b.Put16(pos + 10, r.Flags);
        b.Put16(pos + 12, r.RW_Code);
        b.Put16(pos + 14, r.Source);
        b.Put16(pos + 16, r.Destination);
        b.Put16(pos + 18, r.Position);
        pos += TKNX_Table::Record_Size;
    }
    b.Bin_Count = pos;
}

void Save_KNX_Table_And_Par_Gen(TImageBuild& build)
{
    Save_KNX_Table(build);
    build.Bin_Par_Gen.Save_Par_Gen(build.Bin, build.Bin.Bin_Count);
    build.Bin.Bin_Count += TBin_Par_Gen::Block_Size;
}

void Build_KNX_And_Par_Gen_Image(TImageBuild& build, void (*loadParGen)(TImageBuild&))
{
    build.Bin_Par_Gen.Init_Par_Gen();
    build.KNX_Table.Init_KNX_Table();
    loadParGen(build);
    Load_KNX_Table(build);
    build.Bin.Bin_Count = 0;
    Save_KNX_Table_And_Par_Gen(build);
}
