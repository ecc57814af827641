#pragma once
// The DeviceNet network editor (model 7): the slaves the DeviceNet master
// serves, each with its address and its numbers of input and output bytes,
// in DNETM_Net.xml. The table ends at the first ID cell that is empty as it
// stands (a cell of blanks is a row and fails its check). The offsets editor
// pairs its stored offsets with these rows by position.
#include "editors/UMapEditor.h"

// Columns of SG.
enum TDNetCol { DN_Num, DN_ID, DN_NB_IN, DN_NB_OUT, DN_Mnemonic, DN_Count };
extern const TMapColumn DNet_Columns[DN_Count];
extern const TMapEditorInfo DNet_Info;

class TFDNet : public TFMapEditor {
    KAL_CLASS(TFDNet, TFMapEditor)
public:
    explicit TFDNet(TComponent* AOwner);
    ~TFDNet() override;
    void AfterConstruction() override;

    TExColumnGrid* SG = nullptr;

    bool controllo_dati();
    bool Controllo_Dati() override { return controllo_dati(); }
    void bitbtn1Click(TObject* Sender) { Btn_OKClick(Sender); }
    void Btn_DelRow_Click(TObject* Sender) { Btn_DelRowClick(Sender); }
    bool Writes_Version() const override;
};

extern TFDNet* FDNet;
