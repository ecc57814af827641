#pragma once
// The open-project dialog: the folders of PROJECTS listed, the open project
// preselected, and the chosen name handed to the main window.
#include "platform/controls/Forms.h"

#include <QString>
#include <QStringList>

// The names of the project folders of `dirProjects` ("." and ".." and files
// left out), ordered by name ignoring letter case as the user finds them.
// Empty when the folder cannot be listed.
QStringList Load_Existing_Configuration(const QString& dirProjects);
// The position of `name` in `SL` ignoring the case of a to z; -1 when absent.
int Search_Open_Conf(const QStringList& SL, const QString& name);
// The open project's name as its folder names it; empty when none is open.
QString Open_Conf_Name();
// The entry to preselect when the list shows: the open project, else the
// first entry; -1 for an empty list. `Name_Conf` takes the entry's text, and
// keeps its value when nothing is selected.
int Preselect_Conf(const QStringList& SL, QString& Name_Conf);

// ---------------------------------------------------------------------------
// The dialog

class TLabel;
class TListBox;
class TPanel;
class TLbButton;

class TFOpenConf : public TForm {
    KAL_CLASS(TFOpenConf, TForm)
public:
    explicit TFOpenConf(TComponent* AOwner);
    void AfterConstruction() override;

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TLabel* Label1 = nullptr;
    TListBox* ListBox1 = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    // The project names found, and the chosen one (kept between showings).
    QStringList SL;
    QString Name_Conf;

    void FormCreate();
    void Set_Lang();
    void FormShow(TObject* Sender);
    void Load_Existing_Configuration();
    void ListBox1Click(TObject* Sender);

protected:
    void Resize() override;
};

extern TFOpenConf* FOpenConf;
