#pragma once
// The CAN receive frames editor (model 5): the frames the gateway takes from
// the CAN bus and where in the KNX byte array it stores each data byte, in
// CAN_Rec_Frames.xml. Every attribute of a row is optional.
#include "editors/UCANFrames.h"

// Columns of ACG_CAN_Receive.
enum TReceiveCANCol {
    RC_Num, RC_Enable, RC_COBID, RC_CAN_Type, RC_Dim, RC_TimeOut, RC_Byte1, RC_Byte8 = RC_Byte1 + 7, RC_Mnemonic,
    RC_Count
};
extern const TMapColumn Receive_CAN_Columns[RC_Count];
extern const TCANFramesInfo Receive_CAN_Info;

class TFReceiveCAN : public TFCANFrames {
    KAL_CLASS(TFReceiveCAN, TFCANFrames)
public:
    explicit TFReceiveCAN(TComponent* AOwner);
    ~TFReceiveCAN() override;
    void AfterConstruction() override;

    TExColumnGrid* ACG_CAN_Receive = nullptr;
    const QStringList& Hint_ReceiveCAN() { return Hints(); }

    bool Controllo_dati() { return Check_Frames(); }
    bool Controllo_Dati() override { return Controllo_dati(); }
    void ACG_CAN_ReceiveGridHint(TObject* Sender, int ARow, int ACol, QString& hintstr)
    {
        GridHint(Sender, ARow, ACol, hintstr);
    }

protected:
    // TimeOut 0..100000000.
    int Check_Timing(int row) const override;
};

extern TFReceiveCAN* FReceiveCAN;
