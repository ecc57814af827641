#pragma once
// What the two CAN frame list dialogs share: a frame list (identifier, type,
// dimension, a time and a mnemonic, no byte positions) kept in a list
// element inside the root of the CAN frame files. No step opens them.
//
// A list ends at the first Cob-ID cell that is empty as it stands; every
// frame above it is checked and saved (an identifier of 0 included).
#include "editors/UMapEditor.h"

struct TCANFrameListInfo {
    const TMapEditorInfo* Base;
    const QString* List;
    int Time_Column;
    // Messages: empty Type, 11-bit and 29-bit Cob-ID, Dimension, time.
    int Type, CobID_11, CobID_29, Dimension, Time;
};

class TFCANFrameList : public TFMapEditor {
    KAL_CLASS(TFCANFrameList, TFMapEditor)
public:
    TFCANFrameList(TComponent* AOwner, const TCANFrameListInfo& info);

    bool controllo_dati();
    bool Controllo_Dati() override { return controllo_dati(); }
    void bitbtn1Click(TObject* Sender) { Btn_OKClick(Sender); }
    void Btn_DelRow_Click(TObject* Sender) { Btn_DelRowClick(Sender); }
    const QString* Row_List() const override { return FList.List; }
    bool Writes_Version() const override;

private:
    const TCANFrameListInfo& FList;
};
