#include "app/UNew_Project.h"

#include "app/LbButton.h"
#include "project/ProjectFiles.h"
#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Files.h"
#include "platform/core/StrUtils.h"

#include <QDir>

namespace {

// Texts of the refusals.
constexpr int Text_Name_Empty = 32;
constexpr int Text_Name_Exists = 31;
constexpr int Text_Name_Invalid = 30;

// Only a plain folder name keeps the project inside PROJECTS; a name of
// blanks alone would make a folder nobody can tell apart in the list.
bool Is_Usable_Name(const QString& name)
{
    return Is_Valid_Project_Name(name) && !Trim(name).isEmpty();
}

} // namespace

int Create_Project_Folder(const QString& name)
{
    if (name.isEmpty())
        return Text_Name_Empty;
    if (!Is_Usable_Name(name) || Dir_Projects.isEmpty())
        return Text_Name_Invalid;
    const QString dir = PathJoin(Dir_Projects, name);
    if (DirectoryExists(dir))
        return Text_Name_Exists;
    // A file (or a dangling link) of that name is no project folder: the
    // folder simply cannot be made.
    if (!QDir().mkdir(dir))
        return Text_Name_Invalid;
    // A missing bin folder is made again when the device image is written.
    ForceDirectories(PathJoin(dir, ProjectFiles::BinFolder));
    Name_Project = name;
    Dir_Project = dir;
    Set_Files();
    return 0;
}

// ---------------------------------------------------------------------------
// The dialog

TFNew_Project* FNew_Project = nullptr;

TFNew_Project::TFNew_Project(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FNew_Project"));
    Apply_Dialog_Look(this);
    SetBorderIcons(biSystemMenu);
    P_Title = Make_Title_Band(this, L_SW_Code, L_SW_Desc);
    Label1 = Make_Label(this, this, 16, 70);
    E_New_Proj = new TEdit(this);
    E_New_Proj->SetParent(this);
    E_New_Proj->SetBounds(16, 94, 297, 21);
    E_New_Proj->OnKeyPress = [this](TObject* Sender, QChar& Key) { E_New_ProjKeyPress(Sender, Key); };
    P_Button = Make_Button_Band(this);
    // OK decides in its handler whether the dialog closes.
    Btn_OK = Make_Button(this, P_Button, 85, 6, 110, 28);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_Cancel = Make_Button(this, P_Button, 203, 6, 110, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFNew_Project::AfterConstruction()
{
    TForm::AfterConstruction();
    FNew_Project = this;
    FormCreate();
}

void TFNew_Project::FormCreate()
{
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(331, 162);
    Set_Lang();
}

void TFNew_Project::Set_Lang()
{
    SetCaption(Text_Of(25));
    L_SW_Desc->SetCaption(Text_Of(26));
    Label1->SetCaption(Text_Of(27));
    Btn_OK->SetCaption(Text_Of(28));
    Btn_Cancel->SetCaption(Text_Of(29));
}

void TFNew_Project::FormShow(TObject*)
{
    E_New_Proj->SetText(QString());
    if (E_New_Proj->CanFocus())
        E_New_Proj->SetFocus();
}

void TFNew_Project::Btn_OKClick(TObject*)
{
    const int refused = Create_Project_Folder(E_New_Proj->Text());
    if (refused != 0) {
        MessageDlg(Text_Of(refused), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    SetModalResult(mrOk);
}

void TFNew_Project::E_New_ProjKeyPress(TObject* Sender, QChar& Key)
{
    if (Key == QChar(13)) {
        Key = QChar(0);
        Btn_OKClick(Sender);
    }
}
