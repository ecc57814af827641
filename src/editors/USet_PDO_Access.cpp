#include "editors/USet_PDO_Access.h"

#include "app/UComon.h"
#include "editors/UCANopenRules.h"
#include "platform/core/IntConv.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::CANopenXml;
using D = TMapDefault;

constexpr std::span<const char* const> No_Items;
constexpr TColor Object = RGB(0xE0, 0xFA, 0xFE);
constexpr TColor Timing = RGB(0xA8, 0xFF, 0xA8);
constexpr TColor Place = RGB(0xFC, 0xD6, 0xF4);
constexpr int Version_Models[] = {6};

constexpr int Max_COB_ID = 0x7FF;
constexpr int Max_Dimension = 8;
constexpr int Max_TimeOut = 65535;
constexpr int Max_Send_Time = 100000000;

constexpr TMapColumn Address(int header, int k)
{
    return {header, edNormal, No_Items, 45, Place, &X::Address_B_Names[k - 1], D::Required, "", false};
}

} // namespace

extern constexpr TMapColumn Receive_PDO_Columns[RP_Count] = {
    {574, edNormal, No_Items, 40, clWindow, nullptr,        D::Required, "", false},
    {575, edNormal, No_Items, 65, Object,   &X::COB_ID,     D::Required, "", true},
    {576, edNormal, No_Items, 65, Object,   &X::Dimension,  D::Required, "", false},
    Address(577, 1), Address(578, 2), Address(579, 3), Address(580, 4),
    Address(581, 5), Address(582, 6), Address(583, 7), Address(584, 8),
    {585, edNormal, No_Items, 65,  Timing,  &X::TimeOut,    D::Required, "", false},
    {586, edNormal, No_Items, 173, clWhite, &X::Mnemonic,   D::Required, "", false},
};
extern constexpr TMapColumn Transmit_PDO_Columns[TP_Count] = {
    {587, edNormal,       No_Items, 40,  clWindow, nullptr,        D::Required, "", false},
    {588, edNormal,       No_Items, 65,  Object,   &X::COB_ID,     D::Required, "", true},
    {589, edNormal,       No_Items, 65,  Object,   &X::Dimension,  D::Required, "", false},
    Address(590, 1), Address(591, 2), Address(592, 3), Address(593, 4),
    Address(594, 5), Address(595, 6), Address(596, 7), Address(597, 8),
    {598, edNormal,       No_Items, 65,  Timing,   &X::Send_Time,  D::Required, "", false},
    {599, edDataCheckBox, No_Items, 68,  Timing,   &X::On_Change,  D::Required, "", false},
    {600, edNormal,       No_Items, 105, clWhite,  &X::Mnemonic,   D::Required, "", false},
};

namespace {

const TMapEditorInfo Base_Info = {
    "FSet_PDO_Access", Receive_PDO_Columns, X::Max_PDO_Rows, 798, 337,
    566, 567, 568, 569, 570, 571, 601, 624,
    &X::Root_PDO, &X::Row, &X::Version, &File_PDO_CANopen,
};

} // namespace

const TMapListInfo PDO_Info = {
    &Base_Info,
    {{"sga", "TS_Receive_PDO", 572, Receive_PDO_Columns, X::Max_PDO_Rows, &X::List_Receive_PDO},
     {"sgb", "TS_Transmit_PDO", 573, Transmit_PDO_Columns, X::Max_PDO_Rows, &X::List_Transmit_PDO}},
    true, false, false, 0, 0, Version_Models,
};

TFSet_PDO_Access* FSet_PDO_Access = nullptr;

TFSet_PDO_Access::TFSet_PDO_Access(TComponent* AOwner) : TFMapListEditor(AOwner, PDO_Info) {}

TFSet_PDO_Access::~TFSet_PDO_Access()
{
    if (FSet_PDO_Access == this)
        FSet_PDO_Access = nullptr;
}

void TFSet_PDO_Access::AfterConstruction()
{
    FSet_PDO_Access = this;
    TFMapListEditor::AfterConstruction();
}

void TFSet_PDO_Access::Reset_Limits()
{
    PROFINET_NByte_IN = 6000;
    PROFINET_NByte_OUT = 6000;
}

int TFSet_PDO_Access::Check_Row(int page, int r, QString& limit) const
{
    using namespace CANopenRules;
    const bool transmit = page == 1;
    const int base = transmit ? 613 : 602;
    const int positions = transmit ? PROFINET_NByte_OUT : PROFINET_NByte_IN;
    if (!In(Cell(page, RP_COB_ID, r), 0, Max_COB_ID))
        return base;
    if (!In(Cell(page, RP_Dimension, r), 1, Max_Dimension))
        return base + 1;
    const int dim = StrToIntDef(Cell(page, RP_Dimension, r), -1);
    for (int k = 1; k <= dim; ++k)
        if (!In(Cell(page, RP_Address_B1 + k - 1, r), 0, positions - 1)) {
            limit = QString::number(positions - 1);
            return base + 1 + k;
        }
    if (!transmit)
        return In(Cell(page, RP_TimeOut, r), 0, Max_TimeOut) ? 0 : 612;
    return In(Cell(page, TP_Send_Time, r), 0, Max_Send_Time) ? 0 : 623;
}
