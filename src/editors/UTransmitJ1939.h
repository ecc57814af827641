#pragma once
// The J1939 transmit frames editor: the parameter groups the gateway sends on
// the J1939 bus and when it sends them, in J1939_Send_Frames.xml. The data of
// all rows together may take at most NUM_BYTE_OUT bytes.
#include "editors/UMapEditor.h"

#include <cstdint>

// Columns of sga.
enum TTransmitJ1939Col {
    TJ_Num, TJ_Priority, TJ_DP, TJ_PGN, TJ_SA, TJ_TP_NByte, TJ_On_Request, TJ_On_Data_Change, TJ_On_Timer,
    TJ_SendTimer, TJ_Mnemonic, TJ_Count
};
extern const TMapColumn Transmit_J1939_Columns[TJ_Count];
extern const TMapEditorInfo Transmit_J1939_Info;

class TFTransmitJ1939 : public TFMapEditor {
    KAL_CLASS(TFTransmitJ1939, TFMapEditor)
public:
    explicit TFTransmitJ1939(TComponent* AOwner);
    ~TFTransmitJ1939() override;
    void AfterConstruction() override;

    // The most data bytes all rows together may take; 512 on every showing.
    int32_t NUM_BYTE_OUT = 512;

    bool Controllo_Dati() override;

protected:
    void Reset_Limits() override { NUM_BYTE_OUT = 512; }
    // Older files name one send condition in T_Type instead of the three
    // flags; it wins over any flag the row also carries.
    void Load_Row(const TRowReader& reader, int row) override;
};

extern TFTransmitJ1939* FTransmitJ1939;
