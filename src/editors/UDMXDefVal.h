#pragma once
// The DMX default values editor (models 11 and 1011): a default value
// 0..255 and a mnemonic for every DMX channel, in DMX_Default_Values.xml.
// The channel count comes from ParGen.xml on every showing; every channel is
// a row of the file, so the table has no key column and no row commands.
#include "editors/UMapEditor.h"

// Columns of ACG_DMX_Def_Val.
enum TDMXDefValCol { DV_Channel, DV_Default_Value, DV_Mnemonic, DV_Count };
extern const TMapColumn DMX_Def_Val_Columns[DV_Count];
extern const TMapEditorInfo DMX_Def_Val_Info;

class TFDMXDefVal : public TFMapEditor {
    KAL_CLASS(TFDMXDefVal, TFMapEditor)
public:
    explicit TFDMXDefVal(TComponent* AOwner);
    ~TFDMXDefVal() override;
    void AfterConstruction() override;

    TExColumnGrid* ACG_DMX_Def_Val = nullptr;

    bool Controllo_dati();
    bool Controllo_Dati() override { return Controllo_dati(); }
    // The channel count of ParGen.xml: 512 without the file or the element,
    // and for a count the image cannot hold (outside 1..512).
    static int Channel_Count();

    void Reset_Rows() override;
    void Write_File() override;
    // Every row is written, whatever its cells hold.
    bool Ends_At_Key() const override { return false; }
};

extern TFDMXDefVal* FDMXDefVal;
