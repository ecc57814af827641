#pragma once
// The manual save's per-device Modbus start addresses: one grid row per
// device (its identity, then the first register), and whether the node state
// and the identification number are published. OK checks every row first.
#include "platform/controls/Forms.h"

#include <QString>

class TLabel;
class TPanel;
class TCheckBox;
class TLbButton;
class TExColumnGrid;

class TFModbusStartAdd_SD : public TForm {
    KAL_CLASS(TFModbusStartAdd_SD, TForm)
public:
    explicit TFModbusStartAdd_SD(TComponent* AOwner);
    ~TFModbusStartAdd_SD() override;
    void AfterConstruction() override;

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TCheckBox* CB_En_NodeState = nullptr;
    TCheckBox* CB_En_IndNum = nullptr;
    TExColumnGrid* sga = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    void FormCreate();
    void Set_Lang();
    // Rows 1 .. RowCount - 1 in order: the start address present and in
    // 1..59999, else "Error row " r and the reason; the first failing row
    // stops the check. Empty when every row passes.
    QString Check_Data();
    void Btn_OKClick(TObject* Sender);
};

extern TFModbusStartAdd_SD* FModbusStartAdd_SD;
