#include "editors/U_Rec_Info.h"

#include "app/UComon.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::CANInfoXml;
namespace L = ProjectFiles::CANFrameListXml;

const TCANInfoTexts Texts_Rec = {"F_Rec_Info", 418, 419, 420, 421, 422, 423, 424, 432, 433, 434, true, &File_CAN_Rec_Frames, &L::List_Rec, &File_CAN_Rec_Info, &X::Root_Rec};

} // namespace

TF_Rec_Info* F_Rec_Info = nullptr;

TF_Rec_Info::TF_Rec_Info(TComponent* AOwner) : TFCANInfo(AOwner, Texts_Rec) {}

TF_Rec_Info::~TF_Rec_Info()
{
    if (F_Rec_Info == this)
        F_Rec_Info = nullptr;
}

void TF_Rec_Info::AfterConstruction()
{
    F_Rec_Info = this;
    TFCANInfo::AfterConstruction();
}
