#pragma once
// The CANopen SDO client editor (model 6): the objects the gateway reads
// from other devices ("SDO Read") or writes to them ("SDO Write"), each with
// the device's node ID, the object's index, sub-index and size, a poll time
// and a KNX byte-array position per byte, in SDO_Client_CANopen.xml. A table
// ends at the first ID Device that is empty after trimming; every attribute
// of a row must be present.
#include "editors/UMapListEditor.h"

#include <cstdint>

// Columns of sga; sgb has On Change after Poll Time.
enum TSDOClientReadCol { CR_Num, CR_Device_ID, CR_Index, CR_SubIndex, CR_NByte, CR_Poll_Time, CR_Address_B1,
                         CR_Address_B4 = CR_Address_B1 + 3, CR_Mnemonic, CR_Count };
enum TSDOClientWriteCol { CW_Num, CW_Device_ID, CW_Index, CW_SubIndex, CW_NByte, CW_Poll_Time, CW_On_Change,
                          CW_Address_B1, CW_Address_B4 = CW_Address_B1 + 3, CW_Mnemonic, CW_Count };
extern const TMapColumn SDO_Client_Read_Columns[CR_Count];
extern const TMapColumn SDO_Client_Write_Columns[CW_Count];
extern const TMapListInfo SDO_Client_Info;

class TFSet_SDO_Client_Access : public TFMapListEditor {
    KAL_CLASS(TFSet_SDO_Client_Access, TFMapListEditor)
public:
    explicit TFSet_SDO_Client_Access(TComponent* AOwner);
    ~TFSet_SDO_Client_Access() override;
    void AfterConstruction() override;

    // Byte positions open to read and to write requests; 1439 on every showing.
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

extern TFSet_SDO_Client_Access* FSet_SDO_Client_Access;
