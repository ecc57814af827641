#pragma once
// The main window: the model's steps, the project labels, the links, the
// update-check timer, and the start-up and shutdown of the program's shared
// state.
//
// The window's layout per model and the action of each step button are
// tables walked by plain functions, so every model's window can be checked
// without showing one.
#include "app/UDialogLook.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

// ---------------------------------------------------------------------------
// Buttons and layout

enum class TMainButton {
    Info, Opz, Close, New, Open, Prm_Gen,
    KNX_Access, ModM_SetAccess, CAN_Rec_Frame, CAN_Rec_Info, CAN_Send_Frame, CAN_Send_Info,
    SDO_Server_CANopen, SDO_Client_CANopen, PDO_CANopen, CANopen_EDS, DNet_Net, DNet_Offset,
    J1939_Rec_Frame, J1939_Send_Frame, MBus, DMX_Default, PROFINET_XML, CreateBin, ScanDecode,
};
inline constexpr int Main_Button_Count = int(TMainButton::ScanDecode) + 1;

struct TMainButtonInfo {
    TMainButton Id;
    const char* Name;  // the control's name ("Btn_New")
    int Text;          // caption (or hint, for the three picture buttons)
    int Width, Height;
};
// Every push button of the window, in the order of TMainButton.
extern const TMainButtonInfo Main_Buttons[Main_Button_Count];
const TMainButtonInfo& Main_Button(TMainButton b);
// About box, options and close: a picture and a hint, no caption.
bool Is_Picture_Button(TMainButton b);

struct TPlacedButton {
    TMainButton Id;
    int Left, Top;
};

// Where everything of the model's window stands.
struct TMainLayout {
    int Steps = 2;                 // L_Step_1 .. L_Step_<Steps> shown
    QList<TPlacedButton> Buttons;  // the shown push buttons
    bool Tavlon_Visible = true;    // the maker's web address
    int Tavlon_Left = 565, Tavlon_Top = 392;
    bool Brimel_Visible = false;   // the partner's logo instead
    int Brimel_Left = 444, Brimel_Top = 0;
    int Rule_Left = 10, Rule_Top = 0, Rule_Width = 674, Rule_Height = 1; // Shape1
    int Client_Width = 694, Client_Height = 0;

    const TPlacedButton* Find(TMainButton b) const;
};
TMainLayout Main_Layout(int modelCode);

// Top of step label k (1 to 8), and of the step's button row.
inline constexpr int Step_Label_Top(int k) { return 128 + 44 * (k - 1); }
inline constexpr int Step_Button_Top(int k) { return 112 + 44 * (k - 1); }

// ---------------------------------------------------------------------------
// Step dispatch

enum class TStepAction {
    Nothing,
    Create_New_Project, Open_Project, Close, About, Options,
    Project_Not_Valid, // text 18, nothing else
    ParGen, KNXAccess, SetAccess, Modbus_TCP_Master_Set_Access, ReceiveCAN, TransmitCAN,
    Set_SDO_Server_Access, Set_SDO_Client_Access, Set_PDO_Access, Build_EDS_File, DNet, DefOffset,
    ReceiveJ1939, TransmitJ1939, Meter_Bus, DMXDefVal, PROFINET_XML, Update_Device, Scan_Decode,
};
// What a click on the button does for the model, with or without an open
// project.
TStepAction Step_Action(TMainButton b, int modelCode, bool projectOpen);
// A project is open exactly when its folder is set.
bool Project_Is_Open();

// ---------------------------------------------------------------------------
// Project state

// The two project lines: text 11 and the name while a project is open, texts
// 9 and 10 otherwise.
struct TProjectLabels {
    QString Line1, Line2;
};
TProjectLabels Project_Labels();

// Makes the chosen project of the open dialog the open one. An empty name
// leaves none open. A name whose folder has gone (deleted since the list was
// shown) or that is no plain folder name changes nothing and answers false.
bool Open_Project_Named(const QString& name);

// The maker's product page of the model; empty for codes outside 1 to 15.
QString Product_Page_Url(int modelCode);
// Hands a link to the platform's link service; nothing is reported.
void Open_Link(const QString& target);

// ---------------------------------------------------------------------------
// Start-up and shutdown

// The shared state start-up prepares, in the window's order: the folders
// beside the program (created where missing), the settings, the model's
// title and codes, the language, the last project when its folder exists,
// the file paths and the row clipboard.
void Prepare_Program_State(const QString& dirProgram);
// Writes the settings file beside the program.
void Store_Settings();

// The wired and wireless M-Bus devices a scan finds live with the scanner
// (mbus/MBusRecords.h): two locked lists, empty from program start.

// ---------------------------------------------------------------------------
// Pictures of our own

// The maker's logo and the partner's, drawn at the size they are shown.
std::unique_ptr<TBitmap> Maker_Logo(int w, int h);
std::unique_ptr<TBitmap> Partner_Logo(int w, int h);

// ---------------------------------------------------------------------------
// The main window

class TShape;
class TImage;
class TLinkLabel;
class TTimer;

class TFKalmetoreFirmWare : public TForm {
    KAL_CLASS(TFKalmetoreFirmWare, TForm)
public:
    explicit TFKalmetoreFirmWare(TComponent* AOwner);
    // The second construction phase runs the start-up (FormCreate).
    void AfterConstruction() override;

    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TLabel* L_Begin = nullptr;
    TShape* Shape2 = nullptr;
    TLabel* L_Name_Conf = nullptr;
    TLabel* L_Name_Conf_L2 = nullptr;
    TLabel* L_Step[8] = {};
    TLabel* L_Tavlon = nullptr;
    TImage* I_Brimel = nullptr;
    TShape* Shape1 = nullptr;
    TLinkLabel* LL_Update = nullptr;
    TTimer* Timer_Update = nullptr;

    TLbButton* Button(TMainButton b) const { return FButtons[int(b)]; }

    void FormCreate();
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Btn_Click(TObject* Sender);
    void Set_Lang();
    void Save_Setting();
    void Open_Project();
    void Create_New_Project();
    void Update_Device();
    void Change_Language();
    void Timer_UpdateTimer(TObject* Sender);
    void L_TavlonClick(TObject* Sender);
    void LL_UpdateLinkClick(const QString& Link);
    // The partner's logo on the main window answers no click.
    void I_BrimelClick(TObject*) {}

    // The project lines from the shared state.
    void Show_Project_Labels();
    // The update check counts while both internet switches are on.
    void Set_Update_Timer();

private:
    void Create_Controls();
    void Place_Model_Steps();
    void Scan_Decode();
    void Run_Step(TStepAction a);

    TLbButton* FButtons[Main_Button_Count] = {};
};

extern TFKalmetoreFirmWare* FKalmetoreFirmWare;

// The folder the program starts in; the folder of the program file unless
// set (tests start the window in a folder of their own).
void Set_Program_Start_Folder(const QString& dir);
QString Program_Start_Folder();

// The steps whose dialogs live above this layer (editors, M-Bus windows,
// image side outputs) or are added later: the program's main block registers
// each one; a step without one does nothing.
void Register_Step(TStepAction action, std::function<void()> step);
bool Step_Registered(TStepAction action);
void Clear_Steps();
// The other dialogs re-texted after a language change, in the order the main
// block registers them (the main window comes first by itself).
void Register_Language_Listener(std::function<void()> setLang);
void Clear_Language_Listeners();
