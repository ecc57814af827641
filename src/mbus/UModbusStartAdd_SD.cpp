#include "mbus/UModbusStartAdd_SD.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/IntConv.h"

namespace {
constexpr int Text_Error_Row = 1508;
constexpr int Text_Empty = 1509;
constexpr int Text_Out_Of_Range = 1510;
// Registers above this one are the gateway's own.
constexpr int Last_Start_Address = 59999;
constexpr TColor Value_Column_Color = 16710368;
} // namespace

TFModbusStartAdd_SD* FModbusStartAdd_SD = nullptr;

TFModbusStartAdd_SD::TFModbusStartAdd_SD(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FModbusStartAdd_SD"));
    Apply_Dialog_Look(this);
    SetPosition(poScreenCenter);
    P_Title = Make_Title_Band(this, L_SW_Code, L_SW_Desc);
    auto check = [this](const char* name, int top) {
        auto* c = new TCheckBox(this);
        c->SetName(QString::fromLatin1(name));
        c->SetParent(this);
        c->SetBounds(16, top, 300, 17);
        return c;
    };
    CB_En_NodeState = check("CB_En_NodeState", 76);
    CB_En_IndNum = check("CB_En_IndNum", 98);

    P_Button = Make_Button_Band(this);
    Btn_OK = Make_Button(this, P_Button, 150, 6, 95, 28);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_Cancel = Make_Button(this, P_Button, 266, 6, 95, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);

    sga = new TExColumnGrid(this);
    sga->SetName(QStringLiteral("sga"));
    sga->SetParent(this);
    sga->SetBounds(16, 122, 479, 172);
    sga->SetColCount(2);
    sga->SetRowCount(2);
    sga->SetFixedCols(1);
    sga->SetFixedRows(1);
    sga->SetDefaultRowHeight(21);
    sga->SetOptions(sga->Options() | goEditing);
    for (int c = 0; c < 2; ++c)
        sga->Columns()->Items(c)->SetWidth(200);
    sga->Columns()->Items(0)->SetFixed(true);
    sga->Columns()->Items(1)->SetColor(Value_Column_Color);
    sga->Columns()->Items(1)->SetEditor(edNormal);
}

TFModbusStartAdd_SD::~TFModbusStartAdd_SD()
{
    if (FModbusStartAdd_SD == this)
        FModbusStartAdd_SD = nullptr;
}

void TFModbusStartAdd_SD::AfterConstruction()
{
    TForm::AfterConstruction();
    FModbusStartAdd_SD = this;
    FormCreate();
}

void TFModbusStartAdd_SD::FormCreate()
{
    SetClientSize(511, 336);
    L_SW_Code->SetCaption(SW_Code);
    Set_Lang();
}

void TFModbusStartAdd_SD::Set_Lang()
{
    SetCaption(Text_Of(1500));
    L_SW_Desc->SetCaption(Text_Of(1501));
    CB_En_NodeState->SetCaption(Text_Of(1502));
    CB_En_IndNum->SetCaption(Text_Of(1503));
    sga->Columns()->Items(0)->SetHeader(Text_Of(1504));
    sga->Columns()->Items(1)->SetHeader(Text_Of(1505));
    Btn_OK->SetCaption(Text_Of(1506));
    Btn_Cancel->SetCaption(Text_Of(1507));
}

QString TFModbusStartAdd_SD::Check_Data()
{
    for (int r = 1; r < sga->RowCount(); ++r) {
        const QString text = sga->GetCellEx(1, r);
        const QString row = Text_Of(Text_Error_Row) + QString::number(r);
        if (text.isEmpty())
            return row + Text_Of(Text_Empty);
        const int64_t v = StrToInt64Def(text, -1);
        if (v < 1 || v > Last_Start_Address)
            return row + Text_Of(Text_Out_Of_Range);
    }
    return QString();
}

void TFModbusStartAdd_SD::Btn_OKClick(TObject*)
{
    const QString error = Check_Data();
    if (!error.isEmpty()) {
        MessageDlg(error, mtError, MsgDlgButtons({mbOK}));
        return;
    }
    SetModalResult(mrOk);
}
