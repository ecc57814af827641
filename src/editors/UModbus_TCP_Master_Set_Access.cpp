#include "editors/UModbus_TCP_Master_Set_Access.h"

#include "app/UComon.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/core/IntConv.h"
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

constexpr int Max_Port = 65535;
constexpr int Version_Models[] = {3, 1003};

} // namespace

extern constexpr TMapColumn Modbus_TCP_Read_Columns[TR_Count] = {
    {289, edNormal,       No_Items,   40,  clWindow, nullptr,         D::Missing,  "",  false},
    {344, edDataCheckBox, No_Items,   50,  Enable,   &X::Enable,      D::Missing,  "Y", false},
    {290, edNormal,       No_Items,   101, Request,  &X::IP_Address,  D::Required, "",  true},
    {291, edNormal,       No_Items,   45,  Request,  &X::Port,        D::Required, "",  false},
    {292, edNormal,       No_Items,   55,  Request,  &X::Slave_ID,    D::Required, "",  false},
    {293, edComboList,    Read_Types, 100, Request,  &X::Type,        D::Required, "",  false},
    {294, edNormal,       No_Items,   55,  Request,  &X::Address,     D::Required, "",  false},
    {295, edNormal,       No_Items,   45,  Request,  &X::NPoint,      D::Required, "",  false},
    {296, edNormal,       No_Items,   60,  Timing,   &X::PollTime,    D::Required, "",  false},
    {297, edNormal,       No_Items,   64,  Timing,   &X::MaxError,    D::Required, "",  false},
    {298, edComboList,    No_Items,   60,  Place,    &X::Position,    D::Required, "",  false},
    {299, edComboList,    Bits,       60,  Place,    &X::Bit,         D::Required, "",  false},
    {858, edDataCheckBox, No_Items,   40,  Swap,     &X::Swap,        D::Missing,  "N", false},
    {300, edNormal,       No_Items,   200, clWhite,  &X::Mnemonic,    D::Required, "",  false},
};
static_assert(Modbus_TCP_Read_Columns[TR_Mnemonic].Header == 300);

extern constexpr TMapColumn Modbus_TCP_Write_Columns[TW_Count] = {
    {301, edNormal,       No_Items,    40,  clWindow, nullptr,         D::Missing,  "",  false},
    {345, edDataCheckBox, No_Items,    50,  Enable,   &X::Enable,      D::Missing,  "Y", false},
    {302, edNormal,       No_Items,    101, Request,  &X::IP_Address,  D::Required, "",  true},
    {303, edNormal,       No_Items,    45,  Request,  &X::Port,        D::Required, "",  false},
    {304, edNormal,       No_Items,    55,  Request,  &X::Slave_ID,    D::Required, "",  false},
    {305, edComboList,    Write_Types, 100, Request,  &X::Type,        D::Required, "",  false},
    {306, edNormal,       No_Items,    55,  Request,  &X::Address,     D::Required, "",  false},
    {307, edNormal,       No_Items,    45,  Request,  &X::NPoint,      D::Required, "",  false},
    {308, edNormal,       No_Items,    60,  Timing,   &X::PollTime,    D::Required, "",  false},
    {309, edDataCheckBox, No_Items,    66,  Timing,   &X::OnChange,    D::Required, "",  false},
    {970, edDataCheckBox, No_Items,    56,  Timing,   &X::OnCMD,       D::Missing,  "N", false},
    {310, edNormal,       No_Items,    62,  Timing,   &X::MaxError,    D::Required, "",  false},
    {311, edComboList,    No_Items,    55,  Place,    &X::Position,    D::Required, "",  false},
    {312, edComboList,    Bits,        55,  Place,    &X::Bit,         D::Required, "",  false},
    {859, edDataCheckBox, No_Items,    40,  Swap,     &X::Swap,        D::Missing,  "N", false},
    {313, edNormal,       No_Items,    90,  clWhite,  &X::Mnemonic,    D::Required, "",  false},
};
static_assert(Modbus_TCP_Write_Columns[TW_Mnemonic].Header == 313);

namespace {

const TMapEditorInfo Base_Info = {
    "FModbus_TCP_Master_Set_Access", Modbus_TCP_Read_Columns, X::Max_Rows, 1007, 337,
    281, 282, 283, 284, 285, 286, 314, 337,
    &X::Root_TCP, &X::Row, &X::Version_TCP, &File_ModbusTCPM_SetAccess,
};

} // namespace

const TMapListInfo Modbus_TCP_Info = {
    &Base_Info,
    {{"ACG_Modbus_Read", "TS_Modbus_Read", 287, Modbus_TCP_Read_Columns, X::Max_Rows, &X::List_Read},
     {"ACG_Modbus_Write", "TS_Modbus_Write", 288, Modbus_TCP_Write_Columns, X::Max_Rows, &X::List_Write}},
    true, true, true, 0, 0, Version_Models,
};

TFModbus_TCP_Master_Set_Access* FModbus_TCP_Master_Set_Access = nullptr;

TFModbus_TCP_Master_Set_Access::TFModbus_TCP_Master_Set_Access(TComponent* AOwner)
    : TFMapListEditor(AOwner, Modbus_TCP_Info)
{
    ACG_Modbus_Read = sga;
    ACG_Modbus_Write = sgb;
}

TFModbus_TCP_Master_Set_Access::~TFModbus_TCP_Master_Set_Access()
{
    if (FModbus_TCP_Master_Set_Access == this)
        FModbus_TCP_Master_Set_Access = nullptr;
}

void TFModbus_TCP_Master_Set_Access::AfterConstruction()
{
    FModbus_TCP_Master_Set_Access = this;
    TFMapListEditor::AfterConstruction();
}

void TFModbus_TCP_Master_Set_Access::Reset_Limits()
{
    NByte_IN = 1439;
    NByte_OUT = 1439;
    Fill_Positions(ACG_Modbus_Read, TR_Position, NByte_IN);
    Fill_Positions(ACG_Modbus_Write, TW_Position, NByte_OUT);
}

int TFModbus_TCP_Master_Set_Access::Check_Row(int page, int r, QString& limit) const
{
    static constexpr ModbusRules::TTexts Read_Texts{317, 318, 319, 320, 321, 322, 323, 324, 325};
    static constexpr ModbusRules::TTexts Write_Texts{328, 329, 330, 331, 332, 333, 334, 335, 336};
    const bool write = page == 1;
    // The slave's address and port come before the request's own rules.
    if (Check_IP_Address(Cell(page, TR_IP_Address, r)))
        return write ? 326 : 315;
    const int port = StrToIntDef(Cell(page, TR_Port, r), -1);
    if (port < 0 || port > Max_Port)
        return write ? 327 : 316;
    ModbusRules::TRequest q;
    if (!write) {
        q = {Cell(0, TR_Slave_ID, r), Cell(0, TR_Type, r),     Cell(0, TR_Address, r),  Cell(0, TR_NPoint, r),
             Cell(0, TR_PollTime, r), Cell(0, TR_MaxError, r), Cell(0, TR_Position, r), Cell(0, TR_Bit, r)};
        return ModbusRules::Check_Request(q, false, NByte_IN, Read_Texts, limit);
    }
    q = {Cell(1, TW_Slave_ID, r), Cell(1, TW_Type, r),     Cell(1, TW_Address, r),  Cell(1, TW_NPoint, r),
         Cell(1, TW_PollTime, r), Cell(1, TW_MaxError, r), Cell(1, TW_Position, r), Cell(1, TW_Bit, r)};
    return ModbusRules::Check_Request(q, true, NByte_OUT, Write_Texts, limit);
}
