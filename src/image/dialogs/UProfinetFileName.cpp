#include "image/dialogs/UProfinetFileName.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

TFProfinetFileName* FProfinetFileName = nullptr;

namespace {

// Left edges of the three columns: first fixed part, user part, second fixed
// part. The first column is wide enough for "GSDML-V2.31-Brimel-GW31A12".
constexpr int Column_1 = 16;
constexpr int Column_2 = 226;
constexpr int Column_3 = 416;
constexpr int Column_Caption_Top = 100;
constexpr int Edit_Top = 119;
constexpr int Edit_Width = 180;
constexpr int Edit_Height = 21;
// The fixed parts stand on the same line as the edit's text.
constexpr int Fixed_Part_Top = Edit_Top + 4;

} // namespace

TFProfinetFileName::TFProfinetFileName(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FProfinetFileName"));
    Apply_Dialog_Look(this);
    SetBorderIcons(biSystemMenu);
    P_Title = Make_Title_Band(this, L_SW_Code, L_SW_Desc);
    L_Select_Name = Make_Label(this, this, Column_1, 76);
    Style_Grey_Bold(L_Select_Name);

    L_FixPart_1 = Make_Label(this, this, Column_1, Column_Caption_Top);
    L_XML_Fix1 = Make_Label(this, this, Column_1, Fixed_Part_Top);
    L_UsedPart = Make_Label(this, this, Column_2, Column_Caption_Top);
    E_XML_User = new TEdit(this);
    E_XML_User->SetName(QStringLiteral("E_XML_User"));
    E_XML_User->SetParent(this);
    E_XML_User->SetBounds(Column_2, Edit_Top, Edit_Width, Edit_Height);
    L_FixPart_2 = Make_Label(this, this, Column_3, Column_Caption_Top);
    L_XML_Fix2 = Make_Label(this, this, Column_3, Fixed_Part_Top);

    P_Button = Make_Button_Band(this);
    Btn_OK = Make_Button(this, P_Button, 294, 6, 110, 28);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OK_Click(Sender); };
    Btn_Cancel = Make_Button(this, P_Button, 412, 6, 110, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
}

void TFProfinetFileName::AfterConstruction()
{
    TForm::AfterConstruction();
    FProfinetFileName = this;
    FormCreate();
}

void TFProfinetFileName::FormCreate()
{
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(ProfinetFileName_Width, ProfinetFileName_Height);
    // Both fixed parts are taken once: the date is the program's start date.
    FParts = TProfinetFileNameParts::Create();
    L_XML_Fix1->SetCaption(FParts.Fix_Part_1);
    L_XML_Fix2->SetCaption(FParts.Fix_Part_2);
    Set_Lang();
}

void TFProfinetFileName::Set_Lang()
{
    SetCaption(Text_Of(911));
    L_SW_Desc->SetCaption(Text_Of(912));
    L_Select_Name->SetCaption(Text_Of(913));
    L_FixPart_1->SetCaption(Text_Of(914));
    L_UsedPart->SetCaption(Text_Of(915));
    L_FixPart_2->SetCaption(Text_Of(916));
    Btn_OK->SetCaption(Text_Of(917));
    Btn_Cancel->SetCaption(Text_Of(918));
}

void TFProfinetFileName::Btn_OK_Click(TObject*)
{
    // The edit keeps its text, so the user part persists to the next showing.
    FParts.User_Part = E_XML_User->Text();
    Name_File_XML = FParts.Compose();
    SetModalResult(mrOk);
}

// ---------------------------------------------------------------------------
// The device-description steps

namespace {

bool GSDML_Choose_File(const QString& initialDir, const QString& filter, const QString& proposedName,
                       QString& fileName)
{
    TSaveDialog dialog;
    dialog.InitialDir = initialDir;
    dialog.Filter = filter;
    dialog.FileName = proposedName;
    if (!dialog.Execute())
        return false;
    fileName = dialog.FileName;
    return true;
}

bool GSDML_Ask_Yes_No(const QString& text)
{
    return MessageDlg(text, mtConfirmation, MsgDlgButtons({mbYes, mbNo})) == mrYes;
}

// The data sheet's extension is given as a filter pattern ("*.eds"); the save
// dialog wants the bare extension, or a typed "x" would become "x.*.eds".
QString Bare_Extension(QString ext)
{
    if (ext.startsWith(QLatin1Char('*')))
        ext.remove(0, 1);
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    return ext;
}

} // namespace

void Connect_Device_Description_Dialogs()
{
    GSDML_Dialogs.ChooseFile = GSDML_Choose_File;
    GSDML_Dialogs.AskYesNo = GSDML_Ask_Yes_No;
}

bool EDS_Choose_File(const QString& initialDir, const QString& filter, const QString& defaultExt,
                     QString& fileName)
{
    TSaveDialog dialog;
    dialog.InitialDir = initialDir;
    dialog.Filter = filter;
    dialog.DefaultExt = Bare_Extension(defaultExt);
    if (!dialog.Execute())
        return false;
    fileName = dialog.FileName;
    return true;
}

void PROFINET_XML_Step()
{
    if (!FProfinetFileName)
        throw EInvalidOperation(QStringLiteral("The PROFINET XML file-name dialog has not been created."));
    if (FProfinetFileName->ShowModal() != mrOk)
        return;
    Save_GSDML_File(FProfinetFileName->Name_File_XML, Text_Of(919));
}

void Build_EDS_File_Step()
{
    Build_EDS_File(EDS_Choose_File);
}
