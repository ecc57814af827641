#include "mbus/UScanModbusStart.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/IntConv.h"

namespace {
constexpr int Text_Out_Of_Range = 1306;
} // namespace

TFScanModbusStart* FScanModbusStart = nullptr;

TFScanModbusStart::TFScanModbusStart(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FScanModbusStart"));
    Apply_Dialog_Look(this);
    SetPosition(poScreenCenter);
    P_Title = Make_Title_Band(this, L_SW_Code, L_SW_Desc);
    L_StartModAdd = Make_Label(this, this, 16, 84);
    E_StartModAdd = new TEdit(this);
    E_StartModAdd->SetName(QStringLiteral("E_StartModAdd"));
    E_StartModAdd->SetParent(this);
    E_StartModAdd->SetBounds(16, 102, 120, 21);
    P_Button = Make_Button_Band(this);
    Btn_OK = Make_Button(this, P_Button, 60, 6, 95, 28);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_Cancel = Make_Button(this, P_Button, 176, 6, 95, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
}

TFScanModbusStart::~TFScanModbusStart()
{
    if (FScanModbusStart == this)
        FScanModbusStart = nullptr;
}

void TFScanModbusStart::AfterConstruction()
{
    TForm::AfterConstruction();
    FScanModbusStart = this;
    FormCreate();
}

void TFScanModbusStart::FormCreate()
{
    SetClientSize(331, 162);
    Set_Lang();
}

void TFScanModbusStart::Set_Lang()
{
    SetCaption(Text_Of(1300));
    L_SW_Code->SetCaption(Text_Of(1301));
    L_SW_Desc->SetCaption(Text_Of(1302));
    L_StartModAdd->SetCaption(Text_Of(1303));
    Btn_OK->SetCaption(Text_Of(1304));
    Btn_Cancel->SetCaption(Text_Of(1305));
}

void TFScanModbusStart::Btn_OKClick(TObject*)
{
    const int64_t v = StrToInt64Def(E_StartModAdd->Text(), -1);
    if (v < 1 || v > 65535) {
        MessageDlg(Text_Of(Text_Out_Of_Range), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    StartModAdd = int32_t(v);
    SetModalResult(mrOk);
}
