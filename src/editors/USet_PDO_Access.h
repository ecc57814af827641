#pragma once
// The CANopen PDO editor (model 6): the process data objects the gateway
// receives (with a time-out) and transmits (with a send time, optionally on
// change), each of 1 to 8 bytes with a KNX byte-array position 0..5999 per
// byte, in PDO_CANopen.xml. A table ends at the first COB-ID that is empty
// after trimming; every attribute of a row must be present.
#include "editors/UMapListEditor.h"

#include <cstdint>

// Columns of sga; sgb has Send Time and On Change in place of TimeOut.
enum TReceivePDOCol { RP_Num, RP_COB_ID, RP_Dimension, RP_Address_B1, RP_Address_B8 = RP_Address_B1 + 7,
                      RP_TimeOut, RP_Mnemonic, RP_Count };
enum TTransmitPDOCol { TP_Num, TP_COB_ID, TP_Dimension, TP_Address_B1, TP_Address_B8 = TP_Address_B1 + 7,
                       TP_Send_Time, TP_On_Change, TP_Mnemonic, TP_Count };
extern const TMapColumn Receive_PDO_Columns[RP_Count];
extern const TMapColumn Transmit_PDO_Columns[TP_Count];
extern const TMapListInfo PDO_Info;

class TFSet_PDO_Access : public TFMapListEditor {
    KAL_CLASS(TFSet_PDO_Access, TFMapListEditor)
public:
    explicit TFSet_PDO_Access(TComponent* AOwner);
    ~TFSet_PDO_Access() override;
    void AfterConstruction() override;

    // Byte positions open to receive and to transmit PDOs; 6000 on every showing.
    int32_t PROFINET_NByte_IN = 6000;
    int32_t PROFINET_NByte_OUT = 6000;

    bool Controllo_dati() { return Check_Pages(); }
    bool Controllo_Dati() override { return Controllo_dati(); }
    void Btn_OK_Click(TObject* Sender) { Btn_OKClick(Sender); }
    void Btn_DelRow_Click(TObject* Sender) { Btn_DelRowClick(Sender); }

protected:
    void Reset_Limits() override;
    int Check_Row(int page, int row, QString& limit) const override;
};

extern TFSet_PDO_Access* FSet_PDO_Access;
