#include "editors/UTransmitCAN.h"

#include "app/UComon.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/core/IntConv.h"
#include "project/ProjectFiles.h"
#include "project/TableFile.h"

namespace {

namespace X = ProjectFiles::CANFramesXml;
using D = TMapDefault;

constexpr const char* Types[] = {"2.0A (11 bits)", "2.0B (29 bits)"};
constexpr std::span<const char* const> No_Items;
constexpr TColor Enable = RGB(0xFF, 0xD8, 0xB0);
constexpr TColor Frame = RGB(0xE0, 0xFA, 0xFE);
constexpr TColor Sending = RGB(0xA8, 0xFF, 0xA8);
constexpr TColor Place = RGB(0xFC, 0xD6, 0xF4);
constexpr int Max_Time = 100000000;

constexpr TMapColumn Byte_Column(int k)
{
    return {1115 + k, edComboList, No_Items, 48, Place, &X::Byte_Names[k - 1], D::Missing, "", false};
}

constexpr int Header_Hints[] = {1131, 1132, 1133, 1134, 1135, 1163, 1136, 1137, 1138,
                                1139, 1140, 1141, 1142, 1143, 1144, 1145, 1146};

} // namespace

// The defaults of Type, OnChange, OnTimer and Time come from the form's
// fields (Load_Row).
extern constexpr TMapColumn Transmit_CAN_Columns[TC_Count] = {
    {1108, edNormal,       No_Items, 40,  clWindow, nullptr,       D::Missing, "",  false},
    {1109, edDataCheckBox, No_Items, 50,  Enable,   &X::Enable,    D::Missing, "Y", false},
    {1110, edNormal,       No_Items, 90,  Frame,    &X::COBID,     D::Missing, "",  true},
    {1111, edComboList,    Types,    90,  Frame,    &X::CAN_Type,  D::Missing, "",  false},
    {1112, edNormal,       No_Items, 70,  Frame,    &X::Dim,       D::Missing, "",  false},
    {1113, edDataCheckBox, No_Items, 65,  Sending,  &X::OnChange,  D::Missing, "",  false},
    {1162, edDataCheckBox, No_Items, 50,  Sending,  &X::OnCMD,     D::Missing, "N", false},
    {1114, edDataCheckBox, No_Items, 55,  Sending,  &X::OnTimer,   D::Missing, "",  false},
    {1115, edNormal,       No_Items, 70,  Sending,  &X::Time,      D::Missing, "",  false},
    Byte_Column(1), Byte_Column(2), Byte_Column(3), Byte_Column(4),
    Byte_Column(5), Byte_Column(6), Byte_Column(7), Byte_Column(8),
    {1124, edNormal,       No_Items, 110, clWindow, &X::Mnemonic,  D::Missing, "",  false},
};
static_assert(Transmit_CAN_Columns[TC_Byte8].Header == 1123 && Transmit_CAN_Columns[TC_Mnemonic].Header == 1124);

namespace {

const TMapEditorInfo Base_Info = {
    "FTransmitCAN", Transmit_CAN_Columns, 512, 1100, 337,
    1100, 1101, 1102, 1103, 1104, 1105, 1147, 1161,
    &X::Root_Send, &X::Row, &X::Version, &File_CAN_Send_Frames,
};

} // namespace

const TCANFramesInfo Transmit_CAN_Info = {
    &Base_Info, 1106, 1107, {1125, 1126, 1127, 1128, 1129, 1130}, Header_Hints, TC_Byte1,
    1148, 1149, 1150, 1152, 1153, 1154,
};

TFTransmitCAN* FTransmitCAN = nullptr;

TFTransmitCAN::TFTransmitCAN(TComponent* AOwner) : TFCANFrames(AOwner, Transmit_CAN_Info)
{
    ACG_CAN_Transmit = sga;
    sga->SetName(QStringLiteral("ACG_CAN_Transmit"));
}

TFTransmitCAN::~TFTransmitCAN()
{
    if (FTransmitCAN == this)
        FTransmitCAN = nullptr;
}

void TFTransmitCAN::AfterConstruction()
{
    FTransmitCAN = this;
    TFCANFrames::AfterConstruction();
}

void TFTransmitCAN::Reset_Limits()
{
    Hard_Type = 1;
    TFCANFrames::Reset_Limits();
}

void TFTransmitCAN::Load_Row(const TRowReader& reader, int row)
{
    TFCANFrames::Load_Row(reader, row);
    const QString yes = QStringLiteral("Y"), no = QStringLiteral("N");
    if (!reader.Has(X::CAN_Type))
        Set_Cell(TC_CAN_Type, row, CAN_Type == 0 ? X::Type_11_Bits : X::Type_29_Bits);
    if (!reader.Has(X::OnChange))
        Set_Cell(TC_OnChange, row, Send_Type == 0 ? yes : no);
    if (!reader.Has(X::OnTimer))
        Set_Cell(TC_OnTimer, row, Send_Type == 1 ? yes : no);
    if (!reader.Has(X::Time) && Cell(TC_OnTimer, row) == yes)
        Set_Cell(TC_Time, row, QString::number(Send_Time));
}

int TFTransmitCAN::Check_Timing(int r) const
{
    if (Cell(TC_OnTimer, r).trimmed().toUpper() != QLatin1String("Y"))
        return 0;
    const int v = StrToIntDef(Cell(TC_Time, r), -1);
    return v >= 0 && v <= Max_Time ? 0 : 1151;
}
