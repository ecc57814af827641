#include "editors/UCAN_Rec_Frames.h"

#include "app/UComon.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::CANFrameListXml;
using D = TMapDefault;

constexpr const char* Types[] = {"2.0A (11 bits)", "2.0B (29 bits)"};
constexpr std::span<const char* const> No_Items;

} // namespace

extern constexpr TMapColumn CAN_Rec_List_Columns[RL_Count] = {
    {385, edNormal,    No_Items, 64,  clWindow, nullptr,       D::Required, "", false},
    {386, edNormal,    No_Items, 110, clWindow, &X::Cob_Id,    D::Required, "", true},
    {387, edComboList, Types,    85,  clWindow, &X::Type,      D::Required, "", false},
    {388, edNormal,    No_Items, 75,  clWindow, &X::Dimension, D::Required, "", false},
    {389, edNormal,    No_Items, 85,  clWindow, &X::TimeOut,   D::Required, "", false},
    {390, edNormal,    No_Items, 310, clWindow, &X::Mnemonic,  D::Required, "", false},
};

namespace {

const TMapEditorInfo Base_Info = {
    "FCAN_Rec_Frames", CAN_Rec_List_Columns, X::Max_Rows, 759, 337,
    379, 380, 381, 382, 383, 384, 391, 397,
    &X::Root_Rec, &X::Row, &ProjectFiles::CANFramesXml::Version, &File_CAN_Rec_Frames,
};
const TCANFrameListInfo List_Info = {&Base_Info, &X::List_Rec, RL_TimeOut, 392, 393, 394, 395, 396};

} // namespace

TFCAN_Rec_Frames* FCAN_Rec_Frames = nullptr;

TFCAN_Rec_Frames::TFCAN_Rec_Frames(TComponent* AOwner) : TFCANFrameList(AOwner, List_Info) {}

TFCAN_Rec_Frames::~TFCAN_Rec_Frames()
{
    if (FCAN_Rec_Frames == this)
        FCAN_Rec_Frames = nullptr;
}

void TFCAN_Rec_Frames::AfterConstruction()
{
    FCAN_Rec_Frames = this;
    TFCANFrameList::AfterConstruction();
}
