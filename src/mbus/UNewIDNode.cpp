#include "mbus/UNewIDNode.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "mbus/UMeter_Bus.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/IntConv.h"

namespace {
constexpr int Text_Primary_Range = 856;
constexpr int Text_Secondary_Range = 857;
} // namespace

TFNewIDNode* FNewIDNode = nullptr;

TFNewIDNode::TFNewIDNode(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FNewIDNode"));
    Apply_Dialog_Look(this);
    SetBorderIcons(biSystemMenu);
    P_Title = Make_Band(this, alTop, 52, clWhite);
    P_Title->SetName(QStringLiteral("P_Title"));
    L_SW_Code = Make_Label(this, P_Title, 10, 2);
    Style_Code_Label(L_SW_Code);
    L_Title = Make_Label(this, P_Title, 12, 36);
    Style_Grey_Bold(L_Title);
    Label1 = Make_Label(this, this, 12, 60);

    RB_ID_Primary = new TRadioButton(this);
    RB_ID_Primary->SetParent(this);
    RB_ID_Primary->SetBounds(12, 84, 140, 17);
    E_New_Node_ID_Pri = new TEdit(this);
    E_New_Node_ID_Pri->SetParent(this);
    E_New_Node_ID_Pri->SetBounds(160, 82, 90, 21);
    RB_ID_Secondary = new TRadioButton(this);
    RB_ID_Secondary->SetParent(this);
    RB_ID_Secondary->SetBounds(12, 116, 140, 17);
    E_New_Node_ID_Sec = new TEdit(this);
    E_New_Node_ID_Sec->SetParent(this);
    E_New_Node_ID_Sec->SetBounds(160, 114, 90, 21);

    P_Button = Make_Button_Band(this);
    Btn_OK = Make_Button(this, P_Button, 30, 6, 95, 28);
    Btn_OK->OnClick = [this](TObject* Sender) { LbButton2Click(Sender); };
    Btn_Cancel = Make_Button(this, P_Button, 140, 6, 95, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
}

void TFNewIDNode::AfterConstruction()
{
    TForm::AfterConstruction();
    FNewIDNode = this;
    FormCreate();
}

void TFNewIDNode::FormCreate()
{
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(265, 195);
    E_New_Node_ID_Pri->SetText(QStringLiteral("1"));
    E_New_Node_ID_Sec->SetText(QStringLiteral("1"));
    RB_ID_Primary->SetChecked(true);
    Set_Lang();
}

void TFNewIDNode::Set_Lang()
{
    SetCaption(Text_Of(849));
    L_Title->SetCaption(Text_Of(850));
    Btn_OK->SetCaption(Text_Of(851));
    Btn_Cancel->SetCaption(Text_Of(852));
    Label1->SetCaption(Text_Of(853));
    RB_ID_Primary->SetCaption(Text_Of(854));
    RB_ID_Secondary->SetCaption(Text_Of(855));
}

void TFNewIDNode::LbButton2Click(TObject*)
{
    const bool primary = RB_ID_Primary->Checked();
    const int64_t id = StrToInt64Def(primary ? E_New_Node_ID_Pri->Text() : E_New_Node_ID_Sec->Text(), -1);
    if (primary && (id < 0 || id > 255)) {
        MessageDlg(Text_Of(Text_Primary_Range), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    if (!primary && (id < 0 || id > 99999999)) {
        MessageDlg(Text_Of(Text_Secondary_Range), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    if (!FMeter_Bus || !FMeter_Bus->Check_Node_ID2(int(id), primary ? 0 : 1))
        return;
    SetModalResult(mrOk);
}
