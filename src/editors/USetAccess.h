#pragma once
// The Modbus RTU master access editor (models 1 and 1001): the requests the
// gateway sends to its Modbus slaves, reading into the KNX byte array (read
// page) or writing from it (write page), in ModbusM_SetAccess.xml. Both
// tables end at the first Slave ID that is empty after trimming; rows whose
// Enable is not "Y" are kept as they are, unchecked.
#include "editors/UMapListEditor.h"
#include "editors/UModbusRules.h"

#include <cstdint>

// Columns of ACG_Modbus_Read.
enum TModbusReadCol {
    MR_Num, MR_Enable, MR_Slave_ID, MR_Type, MR_Address, MR_NPoint, MR_PollTime, MR_MaxError, MR_Position, MR_Bit,
    MR_Swap, MR_Mnemonic, MR_Count
};
// Columns of ACG_Modbus_Write.
enum TModbusWriteCol {
    MW_Num, MW_Enable, MW_Slave_ID, MW_Type, MW_Address, MW_NPoint, MW_PollTime, MW_OnChange, MW_OnCMD, MW_MaxError,
    MW_Position, MW_Bit, MW_Swap, MW_Mnemonic, MW_Count
};
extern const TMapColumn Modbus_Read_Columns[MR_Count];
extern const TMapColumn Modbus_Write_Columns[MW_Count];
extern const TMapListInfo Set_Access_Info;

class TFSetAccess : public TFMapListEditor {
    KAL_CLASS(TFSetAccess, TFMapListEditor)
public:
    explicit TFSetAccess(TComponent* AOwner);
    ~TFSetAccess() override;
    void AfterConstruction() override;

    TExColumnGrid* ACG_Modbus_Read = nullptr;
    TExColumnGrid* ACG_Modbus_Write = nullptr;
    // Byte positions open to read and to write rows; 1439 on every showing.
    int32_t NByte_IN = 1439;
    int32_t NByte_OUT = 1439;

    bool Controllo_dati() { return Check_Pages(); }
    bool Controllo_Dati() override { return Controllo_dati(); }
    void bitbtn1Click(TObject* Sender) { Btn_OKClick(Sender); }
    void Btn_InsertRowClick(TObject* Sender) { Btn_InsRowClick(Sender); }

protected:
    void Reset_Limits() override;
    int Check_Row(int page, int row, QString& limit) const override;
};

extern TFSetAccess* FSetAccess;
