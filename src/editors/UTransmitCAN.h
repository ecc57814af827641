#pragma once
// The CAN transmit frames editor (model 5): the frames the gateway sends on
// the CAN bus, when it sends them (on a change of their data, on command, on
// a timer) and which position of the KNX byte array supplies each data byte,
// in CAN_Send_Frames.xml. Every attribute of a row is optional.
#include "editors/UCANFrames.h"

// Columns of ACG_CAN_Transmit.
enum TTransmitCANCol {
    TC_Num, TC_Enable, TC_COBID, TC_CAN_Type, TC_Dim, TC_OnChange, TC_OnCMD, TC_OnTimer, TC_Time, TC_Byte1,
    TC_Byte8 = TC_Byte1 + 7, TC_Mnemonic, TC_Count
};
extern const TMapColumn Transmit_CAN_Columns[TC_Count];
extern const TCANFramesInfo Transmit_CAN_Info;

class TFTransmitCAN : public TFCANFrames {
    KAL_CLASS(TFTransmitCAN, TFCANFrames)
public:
    explicit TFTransmitCAN(TComponent* AOwner);
    ~TFTransmitCAN() override;
    void AfterConstruction() override;

    TExColumnGrid* ACG_CAN_Transmit = nullptr;
    const QStringList& Hint_TransmitCAN() { return Hints(); }
    // Set on every showing: the Type selects the CobID range and the Time of
    // rows sent on timer is checked.
    int32_t Hard_Type = 1;
    // What a row without "CAN_Type" loads: 0 "2.0A (11 bits)", else
    // "2.0B (29 bits)".
    int32_t CAN_Type = 0;
    // What a row without "OnChange" / "OnTimer" loads: 0 on change, 1 on timer.
    int32_t Send_Type = 0;
    // The Time of a row without "Time" that is sent on timer.
    int32_t Send_Time = 0;

    bool Controllo_dati() { return Check_Frames(); }
    bool Controllo_Dati() override { return Controllo_dati(); }
    void ACG_CAN_TransmitGridHint(TObject* Sender, int ARow, int ACol, QString& hintstr)
    {
        GridHint(Sender, ARow, ACol, hintstr);
    }

protected:
    void Reset_Limits() override;
    void Load_Row(const TRowReader& reader, int row) override;
    // Time 0..100000000 when the row is sent on timer.
    int Check_Timing(int row) const override;
};

extern TFTransmitCAN* FTransmitCAN;
