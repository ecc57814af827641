#include "editors/USet_SDO_Server_Access.h"

#include "app/UComon.h"
#include "editors/UCANopenRules.h"
#include "platform/core/IntConv.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::CANopenXml;
using D = TMapDefault;

constexpr std::span<const char* const> No_Items;
constexpr TColor Entry = RGB(0xE0, 0xFA, 0xFE);
constexpr TColor Place = RGB(0xFC, 0xD6, 0xF4);
constexpr int Version_Models[] = {6};

// The manufacturer-specific area of the object dictionary.
constexpr int Min_Index = 0x2000;
constexpr int Max_Index = 0x5FFF;

// Both grids have the same columns; `h` is the text of the number column's
// header, the others follow it.
constexpr TMapColumn Column(int h, int c)
{
    constexpr int widths[SS_Count] = {40, 65, 61, 55, 80, 80, 80, 80, 170};
    constexpr TColor colours[SS_Count] = {clWindow, Entry, Entry, Entry, Place, Place, Place, Place, clWhite};
    constexpr const QString* attrs[SS_Count] = {
        nullptr, &X::Index, &X::SubIndex, &X::NByte, &X::Address_B_Names[0], &X::Address_B_Names[1],
        &X::Address_B_Names[2], &X::Address_B_Names[3], &X::Mnemonic};
    return {h + c, edNormal, No_Items, widths[c], colours[c], attrs[c], D::Required, "", c == SS_Index};
}

} // namespace

extern constexpr TMapColumn SDO_Server_Read_Columns[SS_Count] = {
    Column(481, 0), Column(481, 1), Column(481, 2), Column(481, 3), Column(481, 4),
    Column(481, 5), Column(481, 6), Column(481, 7), Column(481, 8),
};
extern constexpr TMapColumn SDO_Server_Write_Columns[SS_Count] = {
    Column(490, 0), Column(490, 1), Column(490, 2), Column(490, 3), Column(490, 4),
    Column(490, 5), Column(490, 6), Column(490, 7), Column(490, 8),
};
static_assert(SDO_Server_Write_Columns[SS_Mnemonic].Header == 498 && SDO_Server_Read_Columns[SS_Index].Key);

namespace {

const TMapEditorInfo Base_Info = {
    "FSet_SDO_Server_Access", SDO_Server_Read_Columns, X::Max_SDO_Rows, 749, 337,
    473, 474, 475, 476, 477, 478, 499, 514,
    &X::Root_SDO_Server, &X::Row, &X::Version, &File_SDO_Server_CANopen,
};

} // namespace

const TMapListInfo SDO_Server_Info = {
    &Base_Info,
    {{"sga", "TS_SDO_Read", 479, SDO_Server_Read_Columns, X::Max_SDO_Rows, &X::List_SDO_Read},
     {"sgb", "TS_SDO_Write", 480, SDO_Server_Write_Columns, X::Max_SDO_Rows, &X::List_SDO_Write}},
    true, false, false, 0, 0, Version_Models,
};

TFSet_SDO_Server_Access* FSet_SDO_Server_Access = nullptr;

TFSet_SDO_Server_Access::TFSet_SDO_Server_Access(TComponent* AOwner) : TFMapListEditor(AOwner, SDO_Server_Info) {}

TFSet_SDO_Server_Access::~TFSet_SDO_Server_Access()
{
    if (FSet_SDO_Server_Access == this)
        FSet_SDO_Server_Access = nullptr;
}

void TFSet_SDO_Server_Access::AfterConstruction()
{
    FSet_SDO_Server_Access = this;
    TFMapListEditor::AfterConstruction();
}

void TFSet_SDO_Server_Access::Reset_Limits()
{
    PROFINET_NByte_IN = 1439;
    PROFINET_NByte_OUT = 1439;
}

int TFSet_SDO_Server_Access::Check_Row(int page, int r, QString& limit) const
{
    using namespace CANopenRules;
    const int base = page == 0 ? 500 : 507;
    const int positions = page == 0 ? PROFINET_NByte_IN : PROFINET_NByte_OUT;
    if (!In(Cell(page, SS_Index, r), Min_Index, Max_Index))
        return base;
    if (!In(Cell(page, SS_SubIndex, r), 0, 255))
        return base + 1;
    if (!NByte_Ok(Cell(page, SS_NByte, r)))
        return base + 2;
    const QString bytes[4] = {Cell(page, SS_Address_B1, r), Cell(page, SS_Address_B1 + 1, r),
                              Cell(page, SS_Address_B1 + 2, r), Cell(page, SS_Address_B1 + 3, r)};
    if (const int rule = Check_SDO_Bytes(StrToIntDef(Cell(page, SS_NByte, r), -1), bytes, positions, base + 3)) {
        limit = QString::number(positions - 1);
        return rule;
    }
    return 0;
}
