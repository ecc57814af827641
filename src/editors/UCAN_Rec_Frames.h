#pragma once
// The receive frame list dialog: the received CAN frames in the list layout
// of CAN_Rec_Frames.xml ("PROFINET_to_Receive_CAN" > "Receive_Frames").
#include "editors/UCANFrameList.h"

enum TCANRecListCol { RL_Num, RL_Cob_Id, RL_Type, RL_Dimension, RL_TimeOut, RL_Mnemonic, RL_Count };
extern const TMapColumn CAN_Rec_List_Columns[RL_Count];

class TFCAN_Rec_Frames : public TFCANFrameList {
    KAL_CLASS(TFCAN_Rec_Frames, TFCANFrameList)
public:
    explicit TFCAN_Rec_Frames(TComponent* AOwner);
    ~TFCAN_Rec_Frames() override;
    void AfterConstruction() override;
};

extern TFCAN_Rec_Frames* FCAN_Rec_Frames;
