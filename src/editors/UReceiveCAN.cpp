#include "editors/UReceiveCAN.h"

#include "app/UComon.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/core/IntConv.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::CANFramesXml;
using D = TMapDefault;

constexpr const char* Types[] = {"2.0A (11 bits)", "2.0B (29 bits)"};
constexpr std::span<const char* const> No_Items;
constexpr TColor Enable = RGB(0xFF, 0xD8, 0xB0);
constexpr TColor Frame = RGB(0xE0, 0xFA, 0xFE);
constexpr TColor Timing = RGB(0xA8, 0xFF, 0xA8);
constexpr TColor Place = RGB(0xFC, 0xD6, 0xF4);
constexpr int Max_Time = 100000000;

constexpr TMapColumn Byte_Column(int k)
{
    return {1013 + k, edComboList, No_Items, 48, Place, &X::Byte_Names[k - 1], D::Missing, "", false};
}

constexpr int Header_Hints[] = {1029, 1030, 1031, 1032, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1042, 1043};

} // namespace

extern constexpr TMapColumn Receive_CAN_Columns[RC_Count] = {
    {1008, edNormal,       No_Items, 40,  clWindow, nullptr,       D::Missing, "",  false},
    {1009, edDataCheckBox, No_Items, 50,  Enable,   &X::Enable,    D::Missing, "Y", false},
    {1010, edNormal,       No_Items, 90,  Frame,    &X::COBID,     D::Missing, "",  true},
    {1011, edComboList,    Types,    90,  Frame,    &X::CAN_Type,  D::Missing, "",  false},
    {1012, edNormal,       No_Items, 70,  Frame,    &X::Dim,       D::Missing, "",  false},
    {1013, edNormal,       No_Items, 75,  Timing,   &X::TimeOut,   D::Missing, "0", false},
    Byte_Column(1), Byte_Column(2), Byte_Column(3), Byte_Column(4),
    Byte_Column(5), Byte_Column(6), Byte_Column(7), Byte_Column(8),
    {1022, edNormal,       No_Items, 185, clWindow, &X::Mnemonic,  D::Missing, "",  false},
};
static_assert(Receive_CAN_Columns[RC_Byte8].Header == 1021 && Receive_CAN_Columns[RC_Mnemonic].Header == 1022);

namespace {

const TMapEditorInfo Base_Info = {
    "FReceiveCAN", Receive_CAN_Columns, 512, 1010, 337,
    1000, 1001, 1002, 1003, 1004, 1005, 1044, 1058,
    &X::Root_Rec, &X::Row, &X::Version, &File_CAN_Rec_Frames,
};

} // namespace

const TCANFramesInfo Receive_CAN_Info = {
    &Base_Info, 1006, 1007, {1023, 1024, 1025, 1026, 1027, 1028}, Header_Hints, RC_Byte1,
    1045, 1046, 1047, 1049, 1050, 1051,
};

TFReceiveCAN* FReceiveCAN = nullptr;

TFReceiveCAN::TFReceiveCAN(TComponent* AOwner) : TFCANFrames(AOwner, Receive_CAN_Info)
{
    ACG_CAN_Receive = sga;
    sga->SetName(QStringLiteral("ACG_CAN_Receive"));
}

TFReceiveCAN::~TFReceiveCAN()
{
    if (FReceiveCAN == this)
        FReceiveCAN = nullptr;
}

void TFReceiveCAN::AfterConstruction()
{
    FReceiveCAN = this;
    TFCANFrames::AfterConstruction();
}

int TFReceiveCAN::Check_Timing(int r) const
{
    const int v = StrToIntDef(Cell(RC_TimeOut, r), -1);
    return v >= 0 && v <= Max_Time ? 0 : 1048;
}
