#pragma once
// The J1939 receive frames editor: the parameter groups the gateway takes
// from the J1939 bus, with the part of each frame's data it keeps, in
// J1939_Rec_Frames.xml. The data of all rows together may take at most
// NUM_BYTE_IN bytes.
#include "editors/UMapEditor.h"

#include <cstdint>

// Columns of sga.
enum TReceiveJ1939Col {
    RJ_Num, RJ_DP, RJ_PGN, RJ_SA, RJ_TP, RJ_TP_Start, RJ_TP_NByte, RJ_Delete, RJ_OnRequest, RJ_OnReq_Time,
    RJ_Mnemonic, RJ_Count
};
extern const TMapColumn Receive_J1939_Columns[RJ_Count];
extern const TMapEditorInfo Receive_J1939_Info;

class TFReceiveJ1939 : public TFMapEditor {
    KAL_CLASS(TFReceiveJ1939, TFMapEditor)
public:
    explicit TFReceiveJ1939(TComponent* AOwner);
    ~TFReceiveJ1939() override;
    void AfterConstruction() override;

    // The most data bytes all rows together may take; 512 on every showing.
    int32_t NUM_BYTE_IN = 512;

    bool Controllo_Dati() override;

protected:
    void Reset_Limits() override { NUM_BYTE_IN = 512; }
};

extern TFReceiveJ1939* FReceiveJ1939;
