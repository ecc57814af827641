#pragma once
// The first Modbus register of the devices a scan adds to an existing network
// file: OK accepts 1..65535 and keeps it in StartModAdd.
#include "platform/controls/Forms.h"

#include <cstdint>

class TLabel;
class TEdit;
class TPanel;
class TLbButton;

class TFScanModbusStart : public TForm {
    KAL_CLASS(TFScanModbusStart, TForm)
public:
    explicit TFScanModbusStart(TComponent* AOwner);
    ~TFScanModbusStart() override;
    void AfterConstruction() override;

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TLabel* L_StartModAdd = nullptr;
    TEdit* E_StartModAdd = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    // The register accepted by the last OK.
    int32_t StartModAdd = 0;

    void FormCreate();
    void Set_Lang();
    // The text as a number in 1..65535, else text 1306 and the dialog stays.
    void Btn_OKClick(TObject* Sender);
};

extern TFScanModbusStart* FScanModbusStart;
