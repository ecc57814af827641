#include "editors/USet_SDO_Client_Access.h"

#include "app/UComon.h"
#include "editors/UCANopenRules.h"
#include "platform/core/IntConv.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::CANopenXml;
using D = TMapDefault;

constexpr std::span<const char* const> No_Items;
constexpr TColor Request = RGB(0xE0, 0xFA, 0xFE);
constexpr TColor Timing = RGB(0xA8, 0xFF, 0xA8);
constexpr TColor Place = RGB(0xFC, 0xD6, 0xF4);
constexpr int Version_Models[] = {6};

constexpr int Max_Node = 127;
constexpr int Min_Index = 0x1000;
constexpr int Max_Index = 0xFFFF;
constexpr int Max_Time = 100000000;

} // namespace

extern constexpr TMapColumn SDO_Client_Read_Columns[CR_Count] = {
    {523, edNormal, No_Items, 40,  clWindow, nullptr,                 D::Required, "", false},
    {524, edNormal, No_Items, 60,  Request,  &X::Device_ID,           D::Required, "", true},
    {525, edNormal, No_Items, 55,  Request,  &X::Index,               D::Required, "", false},
    {526, edNormal, No_Items, 60,  Request,  &X::SubIndex,            D::Required, "", false},
    {527, edNormal, No_Items, 45,  Request,  &X::NByte,               D::Required, "", false},
    {528, edNormal, No_Items, 60,  Timing,   &X::Poll_Time,           D::Required, "", false},
    {529, edNormal, No_Items, 70,  Place,    &X::Address_B_Names[0],  D::Required, "", false},
    {530, edNormal, No_Items, 70,  Place,    &X::Address_B_Names[1],  D::Required, "", false},
    {531, edNormal, No_Items, 70,  Place,    &X::Address_B_Names[2],  D::Required, "", false},
    {532, edNormal, No_Items, 70,  Place,    &X::Address_B_Names[3],  D::Required, "", false},
    {533, edNormal, No_Items, 163, clWhite,  &X::Mnemonic,            D::Required, "", false},
};
extern constexpr TMapColumn SDO_Client_Write_Columns[CW_Count] = {
    {534, edNormal,       No_Items, 40,  clWindow, nullptr,                 D::Required, "", false},
    {535, edNormal,       No_Items, 60,  Request,  &X::Device_ID,           D::Required, "", true},
    {536, edNormal,       No_Items, 55,  Request,  &X::Index,               D::Required, "", false},
    {537, edNormal,       No_Items, 60,  Request,  &X::SubIndex,            D::Required, "", false},
    {538, edNormal,       No_Items, 45,  Request,  &X::NByte,               D::Required, "", false},
    {539, edNormal,       No_Items, 60,  Timing,   &X::Poll_Time,           D::Required, "", false},
    {540, edDataCheckBox, No_Items, 68,  Timing,   &X::On_Change,           D::Required, "", false},
    {541, edNormal,       No_Items, 70,  Place,    &X::Address_B_Names[0],  D::Required, "", false},
    {542, edNormal,       No_Items, 70,  Place,    &X::Address_B_Names[1],  D::Required, "", false},
    {543, edNormal,       No_Items, 70,  Place,    &X::Address_B_Names[2],  D::Required, "", false},
    {544, edNormal,       No_Items, 70,  Place,    &X::Address_B_Names[3],  D::Required, "", false},
    {545, edNormal,       No_Items, 95,  clWhite,  &X::Mnemonic,            D::Required, "", false},
};

namespace {

const TMapEditorInfo Base_Info = {
    "FSet_SDO_Client_Access", SDO_Client_Read_Columns, X::Max_SDO_Client_Rows, 798, 337,
    515, 516, 517, 518, 519, 520, 546, 565,
    &X::Root_SDO_Client, &X::Row, &X::Version, &File_SDO_Client_CANopen,
};

} // namespace

const TMapListInfo SDO_Client_Info = {
    &Base_Info,
    {{"sga", "TS_SDO_Read", 521, SDO_Client_Read_Columns, X::Max_SDO_Client_Rows, &X::List_SDO_Read},
     {"sgb", "TS_SDO_Write", 522, SDO_Client_Write_Columns, X::Max_SDO_Client_Rows, &X::List_SDO_Write}},
    true, false, false, 0, 0, Version_Models,
};

TFSet_SDO_Client_Access* FSet_SDO_Client_Access = nullptr;

TFSet_SDO_Client_Access::TFSet_SDO_Client_Access(TComponent* AOwner) : TFMapListEditor(AOwner, SDO_Client_Info) {}

TFSet_SDO_Client_Access::~TFSet_SDO_Client_Access()
{
    if (FSet_SDO_Client_Access == this)
        FSet_SDO_Client_Access = nullptr;
}

void TFSet_SDO_Client_Access::AfterConstruction()
{
    FSet_SDO_Client_Access = this;
    TFMapListEditor::AfterConstruction();
}

void TFSet_SDO_Client_Access::Reset_Limits()
{
    PROFINET_NByte_IN = 1439;
    PROFINET_NByte_OUT = 1439;
}

int TFSet_SDO_Client_Access::Check_Row(int page, int r, QString& limit) const
{
    using namespace CANopenRules;
    const bool write = page == 1;
    const int base = write ? 556 : 547;
    const int positions = write ? PROFINET_NByte_OUT : PROFINET_NByte_IN;
    // The write grid's columns after Poll Time sit one place further on.
    const int firstByte = write ? int(CW_Address_B1) : int(CR_Address_B1);
    if (!In(Cell(page, CR_Device_ID, r), 1, Max_Node))
        return base;
    if (!In(Cell(page, CR_Index, r), Min_Index, Max_Index))
        return base + 1;
    if (!In(Cell(page, CR_SubIndex, r), 0, 255))
        return base + 2;
    if (!NByte_Ok(Cell(page, CR_NByte, r)))
        return base + 3;
    if (!In(Cell(page, CR_Poll_Time, r), write ? 0 : 1, Max_Time))
        return base + 4;
    const QString bytes[4] = {Cell(page, firstByte, r), Cell(page, firstByte + 1, r), Cell(page, firstByte + 2, r),
                              Cell(page, firstByte + 3, r)};
    if (const int rule = Check_SDO_Bytes(StrToIntDef(Cell(page, CR_NByte, r), -1), bytes, positions, base + 5)) {
        limit = QString::number(positions - 1);
        return rule;
    }
    return 0;
}
