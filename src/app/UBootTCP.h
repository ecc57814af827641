#pragma once
// The device update wizard: the gateway's address, the ping run that must see
// the gateway answer, the choice of what is written, the updater's parameter
// file and the start of the generic or per-model updater program. Also the
// main window's two entry points of the "Update Device" step: Update_Device
// (image first, then the wizard) and Start_Program (start and bounded wait).
//
// TBootTCP holds the wizard's whole state and behaviour without a window; the
// dialog mirrors it in its controls and forwards its events to it.
#include "platform/controls/Forms.h"
#include "platform/core/Exceptions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

class XmlDocument;

// An updater program that is missing or cannot be started; the message names
// the file.
KAL_DECLARE_EXCEPTION(EStartProgramError, Exception)

// ---------------------------------------------------------------------------
// Per-model updater table

struct TUpdaterInfo {
    int Model_Code;
    const char* HW_Code;  // shown after the address prompt
    const char* Program;  // updater program in the program folder
    bool Generic;         // takes Ethernet_Update.xml and no command line
    const char* Firmware; // firmware file in the MASTER folder
    // Generic updaters only: the parameter file's title (after the company
    // label when Title_After_Company), the configuration's start address, and
    // the protection values the updater expects (one, two for the M-Bus
    // models). The protection values are placeholders until the updater's
    // own values are known: "0x" and three upper-case hexadecimal digits.
    const char* Title;
    bool Title_After_Company;
    const char* Config_Start;
    std::array<const char*, 2> Protections;
};

// One row per model code (1 to 15 and the six partner editions).
const QList<TUpdaterInfo>& Updater_Table();
// The row of a code; nullptr for a code that is not a model.
const TUpdaterInfo* Find_Updater(int modelCode);

// The second configuration operation (bank1.bin at 0x68000) of the M-Bus models.
bool Has_Second_Configuration(int modelCode);

// Name of the updater's parameter file, beside the program.
inline const QString Ethernet_Update_File = QStringLiteral("Ethernet_Update.xml");
// The longest wait for an updater program, in milliseconds.
inline constexpr int Start_Program_Timeout_Ms = 150000;

// ---------------------------------------------------------------------------
// Address check

// A dotted IPv4 address typed as four decimal (or "$"/"0x" hexadecimal) octets
// of 0..255, blanks around the address and around each octet allowed. The four
// octet texts (trimmed) go to `octets` only when the address is valid. Never
// looks a name up.
bool Valid_IP(const QString& text, QStringList* octets = nullptr);

// ---------------------------------------------------------------------------
// What the wizard hands to the updater

// Everything one update run depends on, taken from the wizard and the shared
// state at the moment Execute is clicked.
struct TUpdateRequest {
    int Model_Code = 0;
    QString IP_Address;  // the four edit texts joined by "."
    bool Firmware = true;
    bool Read_Firm = true;
    bool Conf = true;
    bool Read_Conf = true;
    QString Dir_Program;
    QString Dir_Master;
    QString Dir_Project;
};

// The full path of the model's updater program.
QString Updater_Path(const TUpdateRequest& r);
// The bank file handed to the per-model updaters and to the first
// configuration operation (bank2.bin for the M-Bus models).
QString Configuration_File(const TUpdateRequest& r);
// The argument vector of a per-model updater: address, "2007", FW|NO, FR|NO,
// PW|NO, PR|NO, the firmware path, the project's bank.bin. Empty for the
// generic updaters, which take no arguments.
QStringList Updater_Arguments(const TUpdateRequest& r);
// Builds the parameter file of a generic updater into `doc`.
void Build_Update_Parameters(const TUpdateRequest& r, XmlDocument& doc);
// Writes it whole as Ethernet_Update.xml in the program folder; raises when it
// cannot be written.
void Compile_XML_Parameter(const TUpdateRequest& r);

// ---------------------------------------------------------------------------
// Starting an external program

enum class TProgramEnd { Exited, Timed_Out };

// Starts NomeSW with the argument vector (never through a shell) and waits for
// its end, at most Start_Program_Timeout_Ms; a program still running then is
// left running. `tipo` asks for a hidden start (programs here have no window
// of their own to hide, so it changes nothing). Raises EStartProgramError
// naming the program when it is missing or cannot be started.
TProgramEnd Start_Program(const QString& NomeSW, const QStringList& Parameter, bool tipo);

// ---------------------------------------------------------------------------
// The wizard without its window

class TBootTCP {
public:
    enum class TPage { Address, Options };

    // Creation: every box ticked, the address page.
    TBootTCP();
    TBootTCP(const TBootTCP&) = delete;
    TBootTCP& operator=(const TBootTCP&) = delete;

    // The octet edits (design text "0") and the four check boxes.
    std::array<QString, 4> E_IP{"0", "0", "0", "0"};
    bool CB_Firmware = true;
    bool CB_Read_Firm = true;
    bool CB_Conf = true;
    bool CB_Read_Conf = true;

    // Hooks the dialog sets: processing the window's pending messages between
    // tries, one 10 ms pause of the ping run (a sleep, then the messages), and
    // the busy state of a ping run (the dialog disables Ping, Next and Cancel
    // while it is true). Tests replace the pause with a clock of their own.
    std::function<void()> Process_Messages;
    std::function<void()> Wait_Step;
    std::function<void(bool)> On_Busy_Changed;

    // Resets to the address page, fills the octets from Last_IP_Address when
    // it is valid, and forgets an earlier ping.
    void FormShow();
    // The prompt of the address page: text 58 and the model's hardware code.
    QString Address_Prompt() const;

    // The ping run of the Ping button. The outcome shows in LPing.
    void LbButton1Click();
    // Next: false (with text 72 in `message`) until a ping run found the
    // gateway; else the options page and Last_IP_Address := the address.
    bool LbButton2Click(QString* message = nullptr);
    // Execute: the parameter file (generic updaters) and the updater program.
    // Raises when the file cannot be written or the program cannot be started.
    TProgramEnd LbButton4Click();

    // "." in octet edit i (0..3): edits 0 to 2 swallow it and move on to the
    // next edit; answers the edit that takes the focus, or -1 when the key
    // passes unchanged.
    static int Octet_KeyPress(int edit, QChar key);

    // The address as typed, the four edit texts joined by ".".
    QString Typed_Address() const;
    TUpdateRequest Request() const;

    TPage Page() const { return FPage; }
    bool Esegui_Ping() const { return FEsegui_Ping; }
    int Ping_() const { return FPing; }
    bool Ping_Running() const { return FRunning; }
    // The result label of the ping run: its text and colour.
    const QString& LPing_Text() const { return FLPing_Text; }
    uint32_t LPing_Color() const { return FLPing_Color; }

    // Colours of the result label (0x00BBGGRR).
    static constexpr uint32_t Found_Color = 0x008000;     // green 128
    static constexpr uint32_t Not_Found_Color = 0x0000FF; // red 255

    // Limits of the ping run, in milliseconds.
    static constexpr int Try_Timeout_Ms = 400;
    static constexpr int Run_Limit_Ms = 10000;
    static constexpr int Ping_Size = 1024;

private:
    void Show_Result(int text, uint32_t color);
    void Set_Busy(bool busy);

    TPage FPage = TPage::Address;
    bool FEsegui_Ping = false;
    int FPing = 0;
    bool FRunning = false;
    QString FLPing_Text;
    uint32_t FLPing_Color = 0;
};

// ---------------------------------------------------------------------------
// The "Update Device" step

// Builds the open project's device image and writes its bank file(s) (a
// model without an image writes nothing). Raises with a message naming the
// file or table when no image can be made or written. The image layer stands
// above this one, so the program's main block sets it.
extern std::function<void()> Device_Image_Writer;
// Shows the wizard modally (the dialog sets it when it is created).
extern std::function<void()> Show_Update_Wizard;
// The application's error box (the controls layer sets it).
extern std::function<void(const QString&)> Show_Update_Error;

enum class TUpdateStep { Wizard_Shown, Image_Failed };

// Builds and writes the image, then shows the wizard. When the image cannot
// be made or written the error box names the file or table and the wizard
// does not open, so an earlier bank file is never handed to the updater.
TUpdateStep Update_Device();

// ---------------------------------------------------------------------------
// The wizard's window

class TLabel;
class TEdit;
class TCheckBox;
class TPanel;
class TLbButton;

class TFBootTCP : public TForm {
    KAL_CLASS(TFBootTCP, TForm)
public:
    explicit TFBootTCP(TComponent* AOwner);
    // The second construction phase runs FormCreate.
    void AfterConstruction() override;

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TLabel* L_IP_Address = nullptr;
    TEdit* E_IP1 = nullptr;
    TEdit* E_IP2 = nullptr;
    TEdit* E_IP3 = nullptr;
    TEdit* E_IP4 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* L_Ping = nullptr;
    TLbButton* Btn_Ping = nullptr;
    TLabel* LPing = nullptr;
    TLabel* L_Options = nullptr;
    TCheckBox* CB_Firmware = nullptr;
    TCheckBox* CB_Read_Firm = nullptr;
    TCheckBox* CB_Conf = nullptr;
    TCheckBox* CB_Read_Conf = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_Next = nullptr;
    TLbButton* Btn_Update = nullptr;

    // The wizard's state, mirrored by the controls.
    TBootTCP& Logic() { return FLogic; }

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    void LbButton1Click(TObject* Sender);
    void LbButton2Click(TObject* Sender);
    void LbButton4Click(TObject* Sender);
    void E_IPKeyPress(TObject* Sender, QChar& Key);

private:
    TEdit* Octet(int i) const;
    // Controls -> state before the logic runs, state -> controls after.
    void Take_Controls();
    void Show_State();
    void Show_Page();

    TBootTCP FLogic;
};

// The one wizard of the program, created at start-up.
extern TFBootTCP* FBootTCP;
