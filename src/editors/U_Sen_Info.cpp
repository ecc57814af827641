#include "editors/U_Sen_Info.h"

#include "app/UComon.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::CANInfoXml;
namespace L = ProjectFiles::CANFrameListXml;

const TCANInfoTexts Texts_Sen = {"F_Sen_Info", 448, 449, 450, 451, 452, 453, 454, 462, 463, 464, false, &File_CAN_Send_Frames, &L::List_Send, &File_CAN_Send_Info, &X::Root_Send};

} // namespace

TF_Sen_Info* F_Sen_Info = nullptr;

TF_Sen_Info::TF_Sen_Info(TComponent* AOwner) : TFCANInfo(AOwner, Texts_Sen) {}

TF_Sen_Info::~TF_Sen_Info()
{
    if (F_Sen_Info == this)
        F_Sen_Info = nullptr;
}

void TF_Sen_Info::AfterConstruction()
{
    F_Sen_Info = this;
    TFCANInfo::AfterConstruction();
}
