#pragma once
// The Modbus TCP master access editor (models 3 and 1003): the requests the
// gateway sends to Modbus TCP slaves, each with the slave's IP address and
// port, in ModbusTCPM_SetAccess.xml. Both tables end at the first IP address
// that is empty after trimming; rows whose Enable is not "Y" are kept as
// they are, unchecked.
#include "editors/UMapListEditor.h"
#include "editors/UModbusRules.h"

#include <cstdint>

// Columns of ACG_Modbus_Read.
enum TModbusTCPReadCol {
    TR_Num, TR_Enable, TR_IP_Address, TR_Port, TR_Slave_ID, TR_Type, TR_Address, TR_NPoint, TR_PollTime,
    TR_MaxError, TR_Position, TR_Bit, TR_Swap, TR_Mnemonic, TR_Count
};
// Columns of ACG_Modbus_Write.
enum TModbusTCPWriteCol {
    TW_Num, TW_Enable, TW_IP_Address, TW_Port, TW_Slave_ID, TW_Type, TW_Address, TW_NPoint, TW_PollTime,
    TW_OnChange, TW_OnCMD, TW_MaxError, TW_Position, TW_Bit, TW_Swap, TW_Mnemonic, TW_Count
};
extern const TMapColumn Modbus_TCP_Read_Columns[TR_Count];
extern const TMapColumn Modbus_TCP_Write_Columns[TW_Count];
extern const TMapListInfo Modbus_TCP_Info;

class TFModbus_TCP_Master_Set_Access : public TFMapListEditor {
    KAL_CLASS(TFModbus_TCP_Master_Set_Access, TFMapListEditor)
public:
    explicit TFModbus_TCP_Master_Set_Access(TComponent* AOwner);
    ~TFModbus_TCP_Master_Set_Access() override;
    void AfterConstruction() override;

    TExColumnGrid* ACG_Modbus_Read = nullptr;
    TExColumnGrid* ACG_Modbus_Write = nullptr;
    // The dialog's first text; the others are addressed from it.
    int Ind_Lang = 281;
    // Byte positions open to read and to write rows; 1439 on every showing.
    int32_t NByte_IN = 1439;
    int32_t NByte_OUT = 1439;

    bool Controllo_dati() { return Check_Pages(); }
    bool Controllo_Dati() override { return Controllo_dati(); }
    // True when the text is NOT a valid IPv4 address.
    static bool Check_IP_Address(const QString& IP_Address) { return ModbusRules::Check_IP_Address(IP_Address); }

protected:
    void Reset_Limits() override;
    int Check_Row(int page, int row, QString& limit) const override;
};

extern TFModbus_TCP_Master_Set_Access* FModbus_TCP_Master_Set_Access;
