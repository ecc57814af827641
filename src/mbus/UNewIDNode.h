#pragma once
// The new-node-address dialog: asks for the address of a pasted node, as a
// primary or a secondary address, and refuses one that is out of range or
// already used by a node of the same kind in the network dialog.
#include "platform/controls/Forms.h"

class TLabel;
class TEdit;
class TPanel;
class TRadioButton;
class TLbButton;

class TFNewIDNode : public TForm {
    KAL_CLASS(TFNewIDNode, TForm)
public:
    explicit TFNewIDNode(TComponent* AOwner);
    void AfterConstruction() override;

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_Title = nullptr;
    TLabel* Label1 = nullptr;
    TRadioButton* RB_ID_Primary = nullptr;
    TRadioButton* RB_ID_Secondary = nullptr;
    TEdit* E_New_Node_ID_Pri = nullptr;
    TEdit* E_New_Node_ID_Sec = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    void FormCreate();
    void Set_Lang();
    // OK: the address of the checked kind in range and unused, else its
    // message and the dialog stays open.
    void LbButton2Click(TObject* Sender);
};

extern TFNewIDNode* FNewIDNode;
