#include "editors/UCAN_Send_Frame.h"

#include "app/UComon.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::CANFrameListXml;
using D = TMapDefault;

constexpr const char* Types[] = {"2.0A (11 bits)", "2.0B (29 bits)"};
constexpr const char* Send_Types[] = {"On Data Change", "On Timer"};
constexpr std::span<const char* const> No_Items;

} // namespace

extern constexpr TMapColumn CAN_Send_List_Columns[SL_Count] = {
    {404, edNormal,    No_Items,   64,  clWindow, nullptr,        D::Required, "", false},
    {405, edNormal,    No_Items,   110, clWindow, &X::Cob_Id,     D::Required, "", true},
    {406, edComboList, Types,      85,  clWindow, &X::Type,       D::Required, "", false},
    {407, edNormal,    No_Items,   71,  clWindow, &X::Dimension,  D::Required, "", false},
    {408, edComboList, Send_Types, 106, clWindow, &X::Send_Type,  D::Required, "", false},
    {409, edNormal,    No_Items,   85,  clWindow, &X::Timer_Send, D::Required, "", false},
    {410, edNormal,    No_Items,   210, clWindow, &X::Mnemonic,   D::Required, "", false},
};

namespace {

const TMapEditorInfo Base_Info = {
    "FCAN_Send_Frame", CAN_Send_List_Columns, X::Max_Rows, 759, 337,
    398, 399, 400, 401, 402, 403, 411, 417,
    &X::Root_Send, &X::Row, &ProjectFiles::CANFramesXml::Version, &File_CAN_Send_Frames,
};
const TCANFrameListInfo List_Info = {&Base_Info, &X::List_Send, SL_Timer_Send, 412, 413, 414, 415, 416};

} // namespace

TFCAN_Send_Frame* FCAN_Send_Frame = nullptr;

TFCAN_Send_Frame::TFCAN_Send_Frame(TComponent* AOwner) : TFCANFrameList(AOwner, List_Info) {}

TFCAN_Send_Frame::~TFCAN_Send_Frame()
{
    if (FCAN_Send_Frame == this)
        FCAN_Send_Frame = nullptr;
}

void TFCAN_Send_Frame::AfterConstruction()
{
    FCAN_Send_Frame = this;
    TFCANFrameList::AfterConstruction();
}
