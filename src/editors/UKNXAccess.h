#pragma once
// The KNX access editor: the KNX objects the gateway exchanges on the bus,
// each with its addresses, APCI, priority, data conversion, send conditions
// and the bytes it takes in the gateway's KNX byte array, in
// KNX_SetAccess.xml. The file holds two lists under its root: "KNX_in_Read",
// which this program always writes empty, and "KNX_in_Write" with the rows.
//
// The limits depend on the model: the byte array's size (Max_Num_Byte), and
// in the PROFINET and EtherNet/IP models the bytes open to reading and to
// writing rows; the DMX models read the channel count and the direction from
// ParGen.xml, and in DMX OUT mode the APCI, OnCMD and OnChange columns are
// hidden and written as "Read", "N" and "N".
#include "editors/UMapEditor.h"

#include <cstdint>

// Columns of ACG_KNX_in_Write.
enum TKNXAccessCol {
    KA_Num, KA_Enable, KA_Source, KA_Dest, KA_APCI, KA_Priority, KA_Format, KA_Extended, KA_ReTest, KA_On_Command,
    KA_On_Change, KA_On_Timer, KA_Poll_Time, KA_Position, KA_Bit_Mode, KA_Length, KA_Mnemonic, KA_Count
};
extern const TMapColumn KNX_Access_Columns[KA_Count];
extern const TMapEditorInfo KNX_Access_Info;

// The version comment of KNX_SetAccess.xml for a model code.
QString KNX_Access_Version(int modelCode);

// The row rules that need no grid, for the validator and its tests. Each
// answers the text number of the failing rule, or 0.
namespace KNXAccessRules {
// Source Add and Dest/Group, both trimmed: 218 for the source; for the
// destination 229 when it is taken as a group address (no "."), else 219.
int Check_Addresses(const QString& source, const QString& dest);
// "Read" or "Write" in any letter case, or a number 0..1023.
bool APCI_Ok(const QString& apci);
// Exactly "System", "Urgent", "Normal" or "Low".
bool Priority_Ok(const QString& priority);
// The longest Length a row may have.
int Length_Limit(bool bitMode, bool extended);
// The bytes a row takes: Length in byte mode, the bytes its bits touch from
// the start bit on in bit mode.
int Span_Bytes(bool bitMode, int startBit, int length);
} // namespace KNXAccessRules

class TFKNXAccess : public TFMapEditor {
    KAL_CLASS(TFKNXAccess, TFMapEditor)
public:
    explicit TFKNXAccess(TComponent* AOwner);
    ~TFKNXAccess() override;
    void AfterConstruction() override;

    TLbButton* Btn_CopyRow = nullptr;
    TLbButton* Btn_PasteRow = nullptr;
    // The KNX table (the family's grid).
    TExColumnGrid* ACG_KNX_in_Write = nullptr;

    // Limits, worked out anew on every showing.
    int32_t Max_Num_Byte = 1439;
    int32_t DMX_Type = 0;               // models 11, 1011: 0 "IN", 1 "OUT"
    int32_t Num_Byte_Read_InPROFI = 0;  // models 12, 1012, 13
    int32_t Num_Byte_Write_OutPROFI = 0;
    // A row of the KNX table was copied in this showing. The read flag has
    // no grid of its own here: the read list is always empty.
    bool Do_Copy_In_Read = false;
    bool Do_Copy_In_Write = false;

    void FormCreate();
    // The family's texts and the copy and paste buttons'.
    void Set_Lang();
    bool Controllo_dati();
    bool Controllo_Dati() override { return Controllo_dati(); }
    void Btn_CopyRowClick(TObject* Sender);
    void Btn_PasteRowClick(TObject* Sender);
    // A click on a row's number selects the whole row.
    void ACG_KNX_in_WriteClickCell(TObject* Sender, int ARow, int ACol);

    // Models 11 and 1011 in DMX OUT mode.
    bool DMX_Out_Mode() const;
    // The first row whose Source Add, trimmed, is empty (RowCount when none).
    int KNX_Table_End() const;

    void Load_File() override;
    void Write_File() override;

protected:
    // The reset's enable column, the limits, the layout of the DMX models and
    // the Position items.
    void Reset_Limits() override;
    void Load_Row(const TRowReader& reader, int row) override;

private:
    void Read_ParGen_Limits();
    void Apply_Layout(bool dmxOut);
    void Fill_Positions();
    // The failing rule of one enabled row, with the limit its message names.
    int Check_Row(int row, QString& limit) const;
};

extern TFKNXAccess* FKNXAccess;
