#include "mbus/UInsertKeyWireless.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

namespace {
constexpr int Text_Not_Hex = 1403;
constexpr int Text_Wrong_Length = 1404;
constexpr int Key_Length = 32;
} // namespace

TFInsertKeyWireless* FInsertKeyWireless = nullptr;

TFInsertKeyWireless::TFInsertKeyWireless(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FInsertKeyWireless"));
    Apply_Dialog_Look(this);
    SetBorderStyle(bsNone);
    // The scan window places it at the mouse.
    SetPosition(poDesigned);
    Shape1 = new TShape(this);
    Shape1->SetParent(this);
    Shape1->SetAlign(alClient);
    Shape1->Brush()->SetColor(Dialog_Color);
    L_InsKey = Make_Label(this, this, 10, 16);
    E_Key = new TEdit(this);
    E_Key->SetName(QStringLiteral("E_Key"));
    E_Key->SetParent(this);
    E_Key->SetBounds(120, 13, 250, 21);
    E_Key->SetCharCase(ecUpperCase);
    E_Key->SetMaxLength(Key_Length);
    Btn_OK = Make_Button(this, this, 378, 10, 46, 26);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_Cancel = Make_Button(this, this, 428, 10, 46, 26);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
}

TFInsertKeyWireless::~TFInsertKeyWireless()
{
    if (FInsertKeyWireless == this)
        FInsertKeyWireless = nullptr;
}

void TFInsertKeyWireless::AfterConstruction()
{
    TForm::AfterConstruction();
    FInsertKeyWireless = this;
    FormCreate();
}

void TFInsertKeyWireless::FormCreate()
{
    SetClientSize(481, 47);
    Set_Lang();
}

void TFInsertKeyWireless::Set_Lang()
{
    L_InsKey->SetCaption(Text_Of(1400));
    Btn_OK->SetCaption(Text_Of(1401));
    Btn_Cancel->SetCaption(Text_Of(1402));
}

bool TFInsertKeyWireless::Check_Data(const QString& key)
{
    for (QChar c : key) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool letter = c >= QLatin1Char('A') && c <= QLatin1Char('F');
        if (!digit && !letter)
            return false;
    }
    return true;
}

void TFInsertKeyWireless::Btn_OKClick(TObject*)
{
    const QString key = E_Key->Text();
    if (key.size() != Key_Length) {
        MessageDlg(Text_Of(Text_Wrong_Length), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    if (!Check_Data(key)) {
        MessageDlg(Text_Of(Text_Not_Hex), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    SetModalResult(mrOk);
}
