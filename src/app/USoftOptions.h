#pragma once
// The options dialog: the language pages over the LANGUAGE folder, the two
// internet switches, and the version check against the maker's web server
// that both this dialog and the main window's timer run.
//
// The logic stands apart from the form so that the main window's timer can
// run the check while the dialog is not shown.
#include "platform/controls/Forms.h"

#include <QList>
#include <QString>
#include <QStringList>

// ---------------------------------------------------------------------------
// Version check

// Where the version query goes. The maker's web host on port 80 unless
// changed (a test points it at a server of its own on the loopback address).
struct TUpdateServer {
    QString Host;
    int Port = 80;
    // The whole request, from connecting to the last byte of the reply, must
    // be done by then; the program stands still while it waits.
    int TimeoutMs = 10000;
};
TUpdateServer& Update_Server();
// Back to the maker's host, port 80 and the standard time-out.
void Reset_Update_Server();

// The timer's first period after start-up, and the period after each check.
inline constexpr unsigned First_Update_Check_Ms = 60000;
inline constexpr unsigned Next_Update_Check_Ms = 7200000;

// The version query of a software code: an http address on the update server.
QString Version_Query_Url(const QString& queryValue);
// The maker's download page of the model's hardware code.
QString Download_Page_Url(int modelCode);
// The download link as a link label's caption: <a href="url">text</a>.
QString Download_Link(int modelCode, const QString& linkText);

// A version text to an integer: the text after the first blank, trimmed; the
// digit before the point and the three after it read as one decimal number
// ("VER. 1.300" 1300, "1.100" 1100); -1 when it is not a version.
int Conv_Version(const QString& Ver_str);
// True when the server's reply offers a version above `current`. An empty
// reply, "VER. 0.000" (any case) or a reply that is not a version is none.
bool Is_Newer_Version(const QString& reply, const QString& current);
// Sends the version query and answers the reply's body; any failure (no
// connection, a name that does not resolve, an error status, a time-out, a
// broken transfer) answers an empty text.
QString Query_Version(const QString& queryValue);
// The whole check for a model: its software code asked, its version compared.
// Codes other than 1 to 15 ask with an empty value and compare with nothing.
bool Check_Version_Of(int modelCode);
// The periodic check runs only when both internet switches are on.
bool Update_Check_Allowed();

// ---------------------------------------------------------------------------
// Language pages

inline constexpr int Lang_Slots = 6;

// The ".lng" files of a folder by file name, sorted ignoring letter case.
// Only regular files that the owner may write are listed: a read-only file, a
// symbolic link, a folder and a file named only ".lng" are left out.
QStringList List_Language_Files(const QString& dirLanguage);
// The pages needed for `count` files, six to a page.
int Lang_Page_Count(int count);
// The language a file name stands for: the name without ".lng".
QString Lang_Name(const QString& fileName);
// The flag of a language: "<name>.bmp", else "DefaultFlag.bmp", else empty.
QString Flag_Picture(const QString& dirLanguage, const QString& name);
// The page shown after Next (forward) or Previous: never past either end.
int Turn_Lang_Page(int showPage, int pages, bool forward);

struct TLangSlot {
    QString Name;
    QString Flag; // empty: the slot shows only the name
};

// What one page of the language list shows.
struct TLangPageView {
    QString Page_Label;
    bool Prev_Visible = false;
    bool Next_Visible = false;
    QList<TLangSlot> Slots; // the shown slots, at most six; the rest are hidden
};
TLangPageView Lang_Page_View(const QStringList& files, int page, const QString& dirLanguage);
// The index in the list of slot `slot` (1 to 6) on `page`.
int Lang_Slot_Index(int page, int slot);

// Reloads the text table for a language without changing `Language`.
void Load_Texts_Of(const QString& language);

// ---------------------------------------------------------------------------
// Switches

struct TSwitchState {
    bool Update_Enabled;       // CB_Update
    bool Check_Button_Enabled; // Btn_Check_Update
};
TSwitchState Switch_State(bool internetTicked, bool updateTicked);

// ---------------------------------------------------------------------------
// The dialog

class TLabel;
class TImage;
class TPanel;
class TCheckBox;
class TLinkLabel;
class TPageControl;
class TTabSheet;
class TLbButton;

class TFSoftOptions : public TForm {
    KAL_CLASS(TFSoftOptions, TForm)
public:
    explicit TFSoftOptions(TComponent* AOwner);
    void AfterConstruction() override;

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TPageControl* PC_Options = nullptr;
    TTabSheet* TS_Language = nullptr;
    TLabel* L_Sel_Lang = nullptr;
    TImage* I_L[Lang_Slots] = {};
    TLabel* L_L[Lang_Slots] = {};
    TLabel* L_Page_Lang = nullptr;
    TLbButton* Btn_Prev = nullptr;
    TLbButton* Btn_Next = nullptr;
    TTabSheet* TS_Con_Options = nullptr;
    TCheckBox* CB_En_Con = nullptr;
    TCheckBox* CB_Update = nullptr;
    TLbButton* Btn_Check_Update = nullptr;
    TLinkLabel* LL_Check_Update = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    int Show_Page = 1;
    QStringList SL_Languages;
    QString Language_In_Use;

    void FormCreate();
    void Set_Lang();
    void FormShow(TObject* Sender);
    void Create_Lang_List();
    void Update_Lang_Page(int Num_Page);
    void Btn_NextClick(TObject* Sender);
    // A click on slot `slot` (1 to 6), its flag or its name.
    void LangClick(int slot);
    void Update_CheckBox();
    void CB_En_ConClick(TObject* Sender);
    void Btn_Check_UpdateClick(TObject* Sender);
    void LL_Check_UpdateLinkClick(const QString& Link);
    void Btn_OKClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    bool Check_Version();

private:
    // The texts were switched to another language during this showing.
    bool FTexts_Switched = false;
    // The language list has been read at least once.
    bool FListed = false;
};

extern TFSoftOptions* FSoftOptions;
