#pragma once
// The receive byte-map dialog: where each data byte of each received frame
// goes in the KNX byte array, in CAN_Rec_Info.xml.
#include "editors/UCANInfo.h"

class TF_Rec_Info : public TFCANInfo {
    KAL_CLASS(TF_Rec_Info, TFCANInfo)
public:
    explicit TF_Rec_Info(TComponent* AOwner);
    ~TF_Rec_Info() override;
    void AfterConstruction() override;
};

extern TF_Rec_Info* F_Rec_Info;
