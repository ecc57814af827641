#pragma once
// The send frame list dialog: the sent CAN frames with their sending
// condition and timer, in the list layout of CAN_Send_Frames.xml
// ("PROFINET_to_Send_CAN" > "Send_Frames").
#include "editors/UCANFrameList.h"

enum TCANSendListCol { SL_Num, SL_Cob_Id, SL_Type, SL_Dimension, SL_Send_Type, SL_Timer_Send, SL_Mnemonic, SL_Count };
extern const TMapColumn CAN_Send_List_Columns[SL_Count];

class TFCAN_Send_Frame : public TFCANFrameList {
    KAL_CLASS(TFCAN_Send_Frame, TFCANFrameList)
public:
    explicit TFCAN_Send_Frame(TComponent* AOwner);
    ~TFCAN_Send_Frame() override;
    void AfterConstruction() override;
};

extern TFCAN_Send_Frame* FCAN_Send_Frame;
