#pragma once
// The new-project dialog: a name typed by the user becomes a folder under
// PROJECTS with its "bin" folder, and that folder the open project.
#include "platform/controls/Forms.h"

#include <QString>

// Creates the project `name` (taken as typed) and makes it the open one:
// Name_Project, Dir_Project and the 17 file paths are set. Answers 0 on
// success, else the number of the text to show: 32 for an empty name, 30 for
// a name that cannot be a folder of its own inside PROJECTS (only blanks, a
// "/" or "\", a control character, "." or "..") or a folder that cannot be
// created (a file of that name included), 31 when the folder already exists. Nothing is created on a refusal,
// and no project file is written.
int Create_Project_Folder(const QString& name);

// ---------------------------------------------------------------------------
// The dialog

class TLabel;
class TEdit;
class TPanel;
class TLbButton;

class TFNew_Project : public TForm {
    KAL_CLASS(TFNew_Project, TForm)
public:
    explicit TFNew_Project(TComponent* AOwner);
    void AfterConstruction() override;

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* E_New_Proj = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    void FormCreate();
    void Set_Lang();
    void FormShow(TObject* Sender);
    void Btn_OKClick(TObject* Sender);
    void E_New_ProjKeyPress(TObject* Sender, QChar& Key);
};

extern TFNew_Project* FNew_Project;
