#pragma once
// The CANopen SDO server editor (model 6): the object-dictionary entries the
// gateway offers, read by a master ("SDO in Read") or written by it ("SDO in
// Write"), each of 1, 2 or 4 bytes with a KNX byte-array position per byte,
// in SDO_Server_CANopen.xml. A table ends at the first Index that is empty
// after trimming; every attribute of a row must be present.
#include "editors/UMapListEditor.h"

#include <cstdint>

// Columns of sga and sgb.
enum TSDOServerCol { SS_Num, SS_Index, SS_SubIndex, SS_NByte, SS_Address_B1, SS_Address_B4 = SS_Address_B1 + 3,
                     SS_Mnemonic, SS_Count };
extern const TMapColumn SDO_Server_Read_Columns[SS_Count];
extern const TMapColumn SDO_Server_Write_Columns[SS_Count];
extern const TMapListInfo SDO_Server_Info;

class TFSet_SDO_Server_Access : public TFMapListEditor {
    KAL_CLASS(TFSet_SDO_Server_Access, TFMapListEditor)
public:
    explicit TFSet_SDO_Server_Access(TComponent* AOwner);
    ~TFSet_SDO_Server_Access() override;
    void AfterConstruction() override;

    // Byte positions open to read and to write entries; 1439 on every showing.
    int32_t PROFINET_NByte_IN = 1439;
    int32_t PROFINET_NByte_OUT = 1439;

    bool Controllo_dati() { return Check_Pages(); }
    bool Controllo_Dati() override { return Controllo_dati(); }
    void Btn_OK_Click(TObject* Sender) { Btn_OKClick(Sender); }
    void Btn_DelRow_Click(TObject* Sender) { Btn_DelRowClick(Sender); }

protected:
    void Reset_Limits() override;
    int Check_Row(int page, int row, QString& limit) const override;
};

extern TFSet_SDO_Server_Access* FSet_SDO_Server_Access;
