#include "editors/USetAccess.h"

#include "app/UComon.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::ModbusXml;
using D = TMapDefault;

constexpr const char* Read_Types[] = {"Coil Status", "Input Status", "Holding Register", "Input Register"};
constexpr const char* Write_Types[] = {"Coil Status", "Holding Register"};
constexpr const char* Bits[] = {"0", "1", "2", "3", "4", "5", "6", "7"};
constexpr std::span<const char* const> No_Items;
constexpr TColor Enable = RGB(0xFF, 0xD8, 0xB0);
constexpr TColor Request = RGB(0xE0, 0xFA, 0xFE);
constexpr TColor Timing = RGB(0xA8, 0xFF, 0xA8);
constexpr TColor Place = RGB(0xFC, 0xD6, 0xF4);
constexpr TColor Swap = RGB(0xFF, 0xFF, 0xA8);

} // namespace

extern constexpr TMapColumn Modbus_Read_Columns[MR_Count] = {
    {238, edNormal,       No_Items,   40,  clWindow, nullptr,       D::Missing,  "",  false},
    {342, edDataCheckBox, No_Items,   50,  Enable,   &X::Enable,    D::Missing,  "Y", false},
    {239, edNormal,       No_Items,   60,  Request,  &X::Slave_ID,  D::Required, "",  true},
    {240, edComboList,    Read_Types, 115, Request,  &X::Type,      D::Required, "",  false},
    {241, edNormal,       No_Items,   60,  Request,  &X::Address,   D::Required, "",  false},
    {242, edNormal,       No_Items,   64,  Request,  &X::NPoint,    D::Required, "",  false},
    {243, edNormal,       No_Items,   64,  Timing,   &X::PollTime,  D::Required, "",  false},
    {244, edNormal,       No_Items,   64,  Timing,   &X::MaxError,  D::Required, "",  false},
    {245, edComboList,    No_Items,   61,  Place,    &X::Position,  D::Required, "",  false},
    {246, edComboList,    Bits,       64,  Place,    &X::Bit,       D::Required, "",  false},
    {247, edDataCheckBox, No_Items,   40,  Swap,     &X::Swap,      D::Missing,  "N", false},
    {248, edNormal,       No_Items,   240, clWhite,  &X::Mnemonic,  D::Required, "",  false},
};
static_assert(Modbus_Read_Columns[MR_Mnemonic].Header == 248);

extern constexpr TMapColumn Modbus_Write_Columns[MW_Count] = {
    {249, edNormal,       No_Items,    40,  clWindow, nullptr,       D::Missing,  "",  false},
    {343, edDataCheckBox, No_Items,    50,  Enable,   &X::Enable,    D::Missing,  "Y", false},
    {250, edNormal,       No_Items,    60,  Request,  &X::Slave_ID,  D::Required, "",  true},
    {251, edComboList,    Write_Types, 115, Request,  &X::Type,      D::Required, "",  false},
    {252, edNormal,       No_Items,    60,  Request,  &X::Address,   D::Required, "",  false},
    {253, edNormal,       No_Items,    64,  Request,  &X::NPoint,    D::Required, "",  false},
    {254, edNormal,       No_Items,    64,  Timing,   &X::PollTime,  D::Required, "",  false},
    {255, edDataCheckBox, No_Items,    68,  Timing,   &X::OnChange,  D::Required, "",  false},
    {969, edDataCheckBox, No_Items,    56,  Timing,   &X::OnCMD,     D::Missing,  "N", false},
    {256, edNormal,       No_Items,    64,  Timing,   &X::MaxError,  D::Required, "",  false},
    {257, edComboList,    No_Items,    64,  Place,    &X::Position,  D::Required, "",  false},
    {258, edComboList,    Bits,        64,  Place,    &X::Bit,       D::Required, "",  false},
    {259, edDataCheckBox, No_Items,    40,  Swap,     &X::Swap,      D::Missing,  "N", false},
    {260, edNormal,       No_Items,    113, clWhite,  &X::Mnemonic,  D::Required, "",  false},
};
static_assert(Modbus_Write_Columns[MW_Mnemonic].Header == 260);

namespace {

const TMapEditorInfo Base_Info = {
    "FSetAccess", Modbus_Read_Columns, X::Max_Rows, 956, 337,
    230, 231, 232, 233, 234, 235, 261, 280,
    &X::Root_RTU, &X::Row, &X::Version_RTU, &File_ModbusM_SetAccess,
};

} // namespace

const TMapListInfo Set_Access_Info = {
    &Base_Info,
    {{"ACG_Modbus_Read", "TS_Modbus_Read", 236, Modbus_Read_Columns, X::Max_Rows, &X::List_Read},
     {"ACG_Modbus_Write", "TS_Modbus_Write", 237, Modbus_Write_Columns, X::Max_Rows, &X::List_Write}},
    true, true, true, 0, 0, {},
};

TFSetAccess* FSetAccess = nullptr;

TFSetAccess::TFSetAccess(TComponent* AOwner) : TFMapListEditor(AOwner, Set_Access_Info)
{
    ACG_Modbus_Read = sga;
    ACG_Modbus_Write = sgb;
}

TFSetAccess::~TFSetAccess()
{
    if (FSetAccess == this)
        FSetAccess = nullptr;
}

void TFSetAccess::AfterConstruction()
{
    FSetAccess = this;
    TFMapListEditor::AfterConstruction();
}

void TFSetAccess::Reset_Limits()
{
    NByte_IN = 1439;
    NByte_OUT = 1439;
    Fill_Positions(ACG_Modbus_Read, MR_Position, NByte_IN);
    Fill_Positions(ACG_Modbus_Write, MW_Position, NByte_OUT);
}

int TFSetAccess::Check_Row(int page, int r, QString& limit) const
{
    static constexpr ModbusRules::TTexts Read_Texts{262, 263, 264, 265, 266, 267, 268, 269, 270};
    static constexpr ModbusRules::TTexts Write_Texts{271, 272, 273, 274, 275, 276, 277, 278, 279};
    ModbusRules::TRequest q;
    if (page == 0) {
        q = {Cell(0, MR_Slave_ID, r), Cell(0, MR_Type, r),     Cell(0, MR_Address, r),  Cell(0, MR_NPoint, r),
             Cell(0, MR_PollTime, r), Cell(0, MR_MaxError, r), Cell(0, MR_Position, r), Cell(0, MR_Bit, r)};
        return ModbusRules::Check_Request(q, false, NByte_IN, Read_Texts, limit);
    }
    q = {Cell(1, MW_Slave_ID, r), Cell(1, MW_Type, r),     Cell(1, MW_Address, r),  Cell(1, MW_NPoint, r),
         Cell(1, MW_PollTime, r), Cell(1, MW_MaxError, r), Cell(1, MW_Position, r), Cell(1, MW_Bit, r)};
    return ModbusRules::Check_Request(q, true, NByte_OUT, Write_Texts, limit);
}
