#pragma once
// The send byte-map dialog: which byte of the KNX byte array each data byte
// of each sent frame is, in CAN_Send_Info.xml.
#include "editors/UCANInfo.h"

class TF_Sen_Info : public TFCANInfo {
    KAL_CLASS(TF_Sen_Info, TFCANInfo)
public:
    explicit TF_Sen_Info(TComponent* AOwner);
    ~TF_Sen_Info() override;
    void AfterConstruction() override;
};

extern TF_Sen_Info* F_Sen_Info;
