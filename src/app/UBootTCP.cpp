#include "app/UBootTCP.h"

#include "app/LbButton.h"
#include "project/ProjectFiles.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Threads.h"
#include "platform/sys/IcmpEcho.h"
#include "platform/sys/Processes.h"
#include "platform/xml/XmlDoc.h"

// ---------------------------------------------------------------------------
// Per-model updater table

namespace {

// clang-format off
const QList<TUpdaterInfo> Updaters = {
    // code  hardware code        program                          generic firmware        title                          after company  config start  protections
    {1,    "GW31A08",          "TCP_31A08_Update.exe",          false, "sim31A08.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {2,    "GW31A09",          "TCP_31A09_Update.exe",          false, "sim31A09.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {3,    "GW31A10",          "Ethernet_Update.exe",           true,  "Sim31A10.sim", " - CF31A10 Ethernet Update",   true,  "0x5B000", {"0xA10", nullptr}},
    {4,    "GW31A11",          "TCP_31A11_Update.exe",          false, "sim31A11.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {5,    "GW31A01",          "TCP_31A01_Update.exe",          false, "sim31A01.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {6,    "GW31A02",          "Ethernet_Update.exe",           true,  "Sim31A02.sim", " - CF31A02 Ethernet Update",   true,  "0x55000", {"0xA02", nullptr}},
    {7,    "GW31A04",          "TCP_31A04_Update.exe",          false, "sim31A04.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {8,    "GW31A05",          "TCP_31A05_Update.exe",          false, "sim31A05.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {9,    "GW31A06",          "Ethernet_Update.exe",           true,  "Sim31A06.sim", " - CF31A06 Ethernet Update",   true,  "0x5B000", {"0xA06", nullptr}},
    {10,   "GW31A07",          "Ethernet_Update.exe",           true,  "Sim31A07.sim", " - CF31A07 Ethernet Update",   true,  "0x50800", {"0xA07", "0xB07"}},
    {11,   "GW31A14",          "TCP_31A14_Update.exe",          false, "sim31A14.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {12,   "GW31A12",          "TCP_31A12_Update.exe",          false, "sim31A12.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {13,   "GW31A03",          "TCP_31A03_Update.exe",          false, "sim31A03.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {14,   "GW31A15",          "TCP_31A15_Update.exe",          false, "sim31A15.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {15,   "GW31A13",          "Ethernet_Update.exe",           true,  "Sim31A13.sim", " - CF31A13 Ethernet Update",   true,  "0x63000", {"0xA13", nullptr}},
    {1001, "OS-GW-103-TP-485", "TCP_31A08_Brimel_Update.exe",   false, "sim31A08.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {1003, "OS-GW-103-TP-TCP", "TCP_31A10_Brimel_Update.exe",   false, "sim31A10.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {1010, "OS-GW-105-TP",     "Ethernet_Update_Brimel.exe",    true,  "Sim31A07.sim", "OS-GW-105-TP Ethernet Update", false, "0x50800", {"0xA07", "0xB07"}},
    {1011, "OS-GW-104-TP",     "TCP_31A14_Brimel_Update.exe",   false, "sim31A14.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {1012, "OS-GW-106-TP",     "TCP_31A12_Brimel_Update.exe",   false, "sim31A12.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
    {1014, "OS-GW-101-TP",     "TCP_31A15_Brimel_Update.exe",   false, "sim31A15.sim", nullptr,                        false, nullptr,   {nullptr, nullptr}},
};
// clang-format on

// Ports and addresses every parameter file carries.
const QString Boot_Port = QStringLiteral("2008");
const QString Boot_Port_Sec = QStringLiteral("2007");

QString Latin(const char* s)
{
    return s ? QString::fromLatin1(s) : QString();
}

const TUpdaterInfo& Require_Updater(int modelCode)
{
    const TUpdaterInfo* u = Find_Updater(modelCode);
    if (!u)
        throw EStartProgramError(QStringLiteral("No updater is known for model code %1.").arg(modelCode));
    return *u;
}

QString Bin_File(const QString& dirProject, const QString& name)
{
    return PathJoin(PathJoin(dirProject, ProjectFiles::BinFolder), name);
}

QString Firmware_Path(const TUpdateRequest& r, const TUpdaterInfo& u)
{
    return PathJoin(r.Dir_Master, Latin(u.Firmware));
}

QString Bit(bool b)
{
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

void Element(XmlNode parent, const char* name, const QString& text = QString())
{
    XmlNode e = parent.AppendElement(QString::fromLatin1(name));
    if (!text.isEmpty())
        e.SetText(text);
}

// One operation of the parameter file. The three kinds differ only in the
// values the caller passes and in the internal-data block of the second
// configuration.
struct TUpdateOperation {
    QString FileName;
    QString Start_Address;
    QString Bank_Type;
    bool Read_Back;
    bool Write_CSS;
    QString Address_CSS;
    bool Write_Internal_Data;
    QString GoToApp_After;
};

void Append_Operation(XmlNode operations, const TUpdateOperation& op)
{
    XmlNode o = operations.AppendElement(QStringLiteral("Operation"));
    Element(o, "Ope_Protection_Enabled");
    Element(o, "Ope_GoToBoot_Before", "0");
    Element(o, "Ope_GoToApp_Before", "0");
    Element(o, "Ope_IP_Address");
    Element(o, "Ope_Port", Boot_Port);
    Element(o, "Ope_Port_Sec", Boot_Port_Sec);
    Element(o, "Ope_Erase_Memory", "0");
    Element(o, "Ope_FileName", op.FileName);
    Element(o, "Ope_Start_Address", op.Start_Address);
    Element(o, "Ope_Memory_Type", "0");
    Element(o, "Ope_Bank_Type", op.Bank_Type);
    Element(o, "Ope_Read_Back", Bit(op.Read_Back));
    Element(o, "Ope_Write_CSS", Bit(op.Write_CSS));
    Element(o, "Ope_Address_CSS", op.Address_CSS);
    Element(o, "Ope_Command_CSS", "0x0B");
    if (op.Write_Internal_Data) {
        Element(o, "Ope_Write_Internal_Data", "1");
        Element(o, "Ope_WID_Address", "0x78200");
        Element(o, "Ope_WID_Command", "0x0B");
        Element(o, "Ope_WID_Data", "0x01, 0x00, 0x00, 0x00");
    }
    Element(o, "Ope_GoToApp_After", op.GoToApp_After);
}

} // namespace

const QList<TUpdaterInfo>& Updater_Table()
{
    return Updaters;
}

const TUpdaterInfo* Find_Updater(int modelCode)
{
    for (const TUpdaterInfo& u : Updaters)
        if (u.Model_Code == modelCode)
            return &u;
    return nullptr;
}

bool Has_Second_Configuration(int modelCode)
{
    return modelCode == 10 || modelCode == 1010;
}

// ---------------------------------------------------------------------------
// Address check

bool Valid_IP(const QString& text, QStringList* octets)
{
    QString rest = Trim(text);
    QStringList parts;
    for (int i = 0; i < 3; ++i) {
        const int dot = rest.indexOf(QLatin1Char('.'));
        if (dot < 0)
            return false;
        parts.append(Trim(rest.left(dot)));
        rest = Trim(rest.mid(dot + 1));
    }
    // The fourth octet is the whole rest: further dots make it no number.
    parts.append(rest);
    for (const QString& p : parts) {
        const int v = StrToIntDef(p, 1000);
        if (v < 0 || v > 255)
            return false;
    }
    if (octets)
        *octets = parts;
    return true;
}

// ---------------------------------------------------------------------------
// What the wizard hands to the updater

QString Updater_Path(const TUpdateRequest& r)
{
    return PathJoin(r.Dir_Program, Latin(Require_Updater(r.Model_Code).Program));
}

QString Configuration_File(const TUpdateRequest& r)
{
    return Bin_File(r.Dir_Project, Has_Second_Configuration(r.Model_Code) ? ProjectFiles::Bank2 : ProjectFiles::Bank);
}

QStringList Updater_Arguments(const TUpdateRequest& r)
{
    const TUpdaterInfo& u = Require_Updater(r.Model_Code);
    if (u.Generic)
        return {};
    const auto flag = [](bool ticked, const char* yes) {
        return ticked ? QString::fromLatin1(yes) : QStringLiteral("NO");
    };
    return {r.IP_Address,
            Boot_Port_Sec,
            flag(r.Firmware, "FW"),
            flag(r.Read_Firm, "FR"),
            flag(r.Conf, "PW"),
            flag(r.Read_Conf, "PR"),
            Firmware_Path(r, u),
            Bin_File(r.Dir_Project, ProjectFiles::Bank)};
}

void Build_Update_Parameters(const TUpdateRequest& r, XmlDocument& doc)
{
    const TUpdaterInfo& u = Require_Updater(r.Model_Code);
    doc.Clear();
    XmlNode root = doc.CreateRoot(QStringLiteral("Ethernet_Update"));
    Element(root, "Version", "1000");
    Element(root, "Title", (u.Title_After_Company ? Company_Label : QString()) + Latin(u.Title));
    Element(root, "IP_Address_Dev", r.IP_Address);
    Element(root, "Application_Port", "10000");
    Element(root, "Boot_Port", Boot_Port);
    Element(root, "Boot_Port_Sec", Boot_Port_Sec);
    Element(root, "Address_Protection", "0x78000");

    XmlNode protections = root.AppendElement(QStringLiteral("Protections"));
    for (const char* p : u.Protections)
        if (p)
            Element(protections, "Protection", Latin(p));

    XmlNode operations = root.AppendElement(QStringLiteral("Operations"));
    const bool second = Has_Second_Configuration(r.Model_Code);
    if (r.Firmware)
        Append_Operation(operations, {Firmware_Path(r, u), QStringLiteral("0x8000"), QStringLiteral("1"), r.Read_Firm,
                                      true, QStringLiteral("0x78100"), false, r.Conf ? QStringLiteral("0") : QStringLiteral("1")});
    if (r.Conf) {
        Append_Operation(operations, {Configuration_File(r), Latin(u.Config_Start), QStringLiteral("2"), r.Read_Conf,
                                      false, QStringLiteral("0x50100"), false, second ? QStringLiteral("0") : QStringLiteral("1")});
        if (second)
            Append_Operation(operations, {Bin_File(r.Dir_Project, ProjectFiles::Bank1), QStringLiteral("0x68000"),
                                          QStringLiteral("2"), r.Read_Conf, false, QStringLiteral("0x50100"), true,
                                          QStringLiteral("1")});
    }
}

void Compile_XML_Parameter(const TUpdateRequest& r)
{
    XmlDocument doc;
    Build_Update_Parameters(r, doc);
    doc.SaveToFile(PathJoin(r.Dir_Program, Ethernet_Update_File));
}

// ---------------------------------------------------------------------------
// Starting an external program

TProgramEnd Start_Program(const QString& NomeSW, const QStringList& Parameter, bool tipo)
{
    (void)tipo;
    if (!FileExists(NomeSW))
        throw EStartProgramError(QStringLiteral("The program %1 was not found.").arg(NomeSW));
    Sys::IProcesses& processes = Sys::Processes();
    Sys::ProcessId pid = 0;
    try {
        pid = processes.Start(NomeSW, Parameter);
    } catch (const Exception& e) {
        throw EStartProgramError(QStringLiteral("The program %1 cannot be started: %2").arg(NomeSW, e.Message()));
    }
    if (processes.Wait(pid, Start_Program_Timeout_Ms).TimedOut()) {
        // The updater may still be writing the device: it is left running.
        processes.Detach(pid);
        return TProgramEnd::Timed_Out;
    }
    return TProgramEnd::Exited;
}

// ---------------------------------------------------------------------------
// The wizard without its window

TBootTCP::TBootTCP()
{
    Wait_Step = [this] {
        Sleep(10);
        if (Process_Messages)
            Process_Messages();
    };
}

void TBootTCP::FormShow()
{
    FPage = TPage::Address;
    FLPing_Text.clear();
    QStringList octets;
    if (!Last_IP_Address.isEmpty() && Valid_IP(Last_IP_Address, &octets))
        for (int i = 0; i < 4; ++i)
            E_IP[i] = octets[i];
    FEsegui_Ping = false;
}

QString TBootTCP::Address_Prompt() const
{
    const TUpdaterInfo* u = Find_Updater(Model_Code);
    return Text_Of(58) + QLatin1Char(' ') + (u ? Latin(u->HW_Code) : QString());
}

QString TBootTCP::Typed_Address() const
{
    return QStringList(E_IP.begin(), E_IP.end()).join(QLatin1Char('.'));
}

TUpdateRequest TBootTCP::Request() const
{
    TUpdateRequest r;
    r.Model_Code = Model_Code;
    r.IP_Address = Typed_Address();
    r.Firmware = CB_Firmware;
    r.Read_Firm = CB_Read_Firm;
    r.Conf = CB_Conf;
    r.Read_Conf = CB_Read_Conf;
    r.Dir_Program = Dir_Program;
    r.Dir_Master = Dir_Master;
    r.Dir_Project = Dir_Project;
    return r;
}

void TBootTCP::Show_Result(int text, uint32_t color)
{
    FLPing_Text = Text_Of(text);
    FLPing_Color = color;
}

void TBootTCP::Set_Busy(bool busy)
{
    FRunning = busy;
    if (On_Busy_Changed)
        On_Busy_Changed(busy);
}

void TBootTCP::LbButton1Click()
{
    // The run processes messages between tries: a second click must not
    // start a run inside the first.
    if (FRunning)
        return;
    Set_Busy(true);
    struct TDone {
        TBootTCP* Self;
        ~TDone() { Self->Set_Busy(false); }
    } done{this};

    FEsegui_Ping = false;
    const uint32_t start = GetTickCount();
    FPing = 0;
    const QString host = Typed_Address();
    int good = 0;
    try {
        do {
            const uint32_t tryTick = GetTickCount();
            const Sys::EchoResult reply = Sys::IcmpEcho().Echo(host, Ping_Size, Try_Timeout_Ms);
            FPing = reply.Status == Sys::EchoStatus::Reply && reply.Bytes > 0 ? 1 : 2;
            do
                Wait_Step();
            while (FPing == 0 && GetTickCount() - tryTick <= uint32_t(Try_Timeout_Ms));
            if (FPing == 1)
                ++good;
        } while (good < 2 && GetTickCount() - start <= uint32_t(Run_Limit_Ms));
    } catch (const std::exception&) {
        FEsegui_Ping = false;
        Show_Result(71, Not_Found_Color);
        return;
    }
    // The last try decides, not the number of replies.
    FEsegui_Ping = FPing == 1;
    Show_Result(FEsegui_Ping ? 69 : 70, FEsegui_Ping ? Found_Color : Not_Found_Color);
}

bool TBootTCP::LbButton2Click(QString* message)
{
    if (!FEsegui_Ping) {
        if (message)
            *message = Text_Of(72);
        return false;
    }
    FPage = TPage::Options;
    Last_IP_Address = Typed_Address();
    return true;
}

TProgramEnd TBootTCP::LbButton4Click()
{
    const TUpdateRequest r = Request();
    const TUpdaterInfo& u = Require_Updater(r.Model_Code);
    if (u.Generic)
        Compile_XML_Parameter(r);
    return Start_Program(Updater_Path(r), Updater_Arguments(r), false);
}

int TBootTCP::Octet_KeyPress(int edit, QChar key)
{
    if (key != QLatin1Char('.') || edit < 0 || edit > 2)
        return -1;
    return edit + 1;
}

// ---------------------------------------------------------------------------
// The "Update Device" step

std::function<void()> Device_Image_Writer;
std::function<void()> Show_Update_Wizard;
std::function<void(const QString&)> Show_Update_Error;

TUpdateStep Update_Device()
{
    try {
        if (!Device_Image_Writer)
            throw EInvalidOperation(QStringLiteral("No device image builder is available."));
        Device_Image_Writer();
    } catch (const Exception& e) {
        if (Show_Update_Error)
            Show_Update_Error(QStringLiteral("The device image was not written: %1").arg(e.Message()));
        return TUpdateStep::Image_Failed;
    }
    if (Show_Update_Wizard)
        Show_Update_Wizard();
    return TUpdateStep::Wizard_Shown;
}

// ---------------------------------------------------------------------------
// The wizard's window

TFBootTCP* FBootTCP = nullptr;

namespace {

constexpr int Client_Width = 350, Client_Height = 233;
constexpr int Title_Height = 69, Band_Height = 40;
constexpr int Button_Width = 100, Button_Height = 28;

// The wizard's labels show the bands and the dialog through them.
TLabel* New_Label(TCustomForm* form, TWinControl* parent, int left, int top)
{
    TLabel* l = Make_Label(form, parent, left, top);
    l->SetTransparent(true);
    return l;
}

// A button centred in the height of the bottom band.
TLbButton* New_Button(TCustomForm* form, TWinControl* band, int left, int width)
{
    return Make_Button(form, band, left, (Band_Height - Button_Height) / 2, width, Button_Height);
}

} // namespace

TFBootTCP::TFBootTCP(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetColor(Dialog_Color);
    Font()->SetName(QStringLiteral("Verdana"));
    Font()->SetHeight(-11);
    SetClientSize(Client_Width, Client_Height);

    P_Title = Make_Band(this, alTop, Title_Height, clWhite);
    L_SW_Code = New_Label(this, P_Title, 16, 6);
    Style_Bold_Code_Label(L_SW_Code);
    L_SW_Desc = New_Label(this, P_Title, 18, 44);

    L_IP_Address = New_Label(this, this, 16, 75);
    for (TEdit** e : {&E_IP1, &E_IP2, &E_IP3, &E_IP4}) {
        *e = new TEdit(this);
        (*e)->SetParent(this);
        (*e)->SetBounds(0, 97, 41, 21);
        (*e)->SetText(QStringLiteral("0"));
        (*e)->SetTabStop(true);
    }
    Label2 = New_Label(this, this, 83, 105);
    Label3 = New_Label(this, this, 139, 105);
    Label4 = New_Label(this, this, 195, 105);
    for (TLabel* dot : {Label2, Label3, Label4})
        dot->SetCaption(QStringLiteral("."));
    L_Ping = New_Label(this, this, 16, 136);
    Btn_Ping = Make_Button(this, this, 35, 155, Button_Width, Button_Height);
    LPing = New_Label(this, this, 151, 163);

    L_Options = New_Label(this, this, 16, 75);
    for (TCheckBox** c : {&CB_Firmware, &CB_Read_Firm, &CB_Conf, &CB_Read_Conf}) {
        *c = new TCheckBox(this);
        (*c)->SetParent(this);
        (*c)->SetBounds(0, 0, 280, 17);
        (*c)->SetParentColor(true);
    }
    CB_Firmware->SetBounds(36, 96, 280, 17);
    CB_Read_Firm->SetBounds(56, 119, 260, 17);
    CB_Conf->SetBounds(36, 142, 280, 17);
    CB_Read_Conf->SetBounds(56, 165, 260, 17);

    P_Button = Make_Band(this, alBottom, Band_Height, Dialog_Color);
    Btn_Update = New_Button(this, P_Button, 16, 200);
    Btn_Cancel = New_Button(this, P_Button, Client_Width - 2 * (Button_Width + 12), Button_Width);
    Btn_Next = New_Button(this, P_Button, Client_Width - (Button_Width + 12), Button_Width);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    Btn_Ping->OnClick = [this](TObject* s) { LbButton1Click(s); };
    Btn_Next->OnClick = [this](TObject* s) { LbButton2Click(s); };
    Btn_Update->OnClick = [this](TObject* s) { LbButton4Click(s); };
    for (TEdit* e : {E_IP1, E_IP2, E_IP3})
        e->OnKeyPress = [this](TObject* s, QChar& k) { E_IPKeyPress(s, k); };

    // Between tries the ping run keeps the window painting, and while it runs
    // nothing may start a second run, move on or close the dialog.
    FLogic.Process_Messages = [] { Application()->ProcessMessages(); };
    FLogic.On_Busy_Changed = [this](bool busy) {
        for (TLbButton* b : {Btn_Ping, Btn_Next, Btn_Cancel})
            b->SetEnabled(!busy);
    };
}

void TFBootTCP::AfterConstruction()
{
    TForm::AfterConstruction();
}

void TFBootTCP::FormCreate(TObject*)
{
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(Client_Width, Client_Height);
    for (TCheckBox* c : {CB_Firmware, CB_Read_Firm, CB_Conf, CB_Read_Conf})
        c->SetChecked(true);
    Set_Lang();
    // The "Update Device" step opens this dialog and reports image failures
    // in the error box.
    Show_Update_Wizard = [this] { ShowModal(); };
    Show_Update_Error = [](const QString& m) { MessageDlg(m, mtError, MsgDlgButtons({mbOK})); };
}

void TFBootTCP::Set_Lang()
{
    SetCaption(Text_Of(57));
    L_SW_Desc->SetCaption(Text_Of(57));
    L_Ping->SetCaption(Text_Of(59));
    Btn_Ping->SetCaption(Text_Of(60));
    Btn_Cancel->SetCaption(Text_Of(61));
    Btn_Next->SetCaption(Text_Of(62));
    L_Options->SetCaption(Text_Of(63));
    CB_Firmware->SetCaption(Text_Of(64));
    CB_Read_Firm->SetCaption(Text_Of(65));
    CB_Conf->SetCaption(Text_Of(66));
    CB_Read_Conf->SetCaption(Text_Of(67));
    Btn_Update->SetCaption(Text_Of(68));
}

TEdit* TFBootTCP::Octet(int i) const
{
    const std::array<TEdit*, 4> edits{E_IP1, E_IP2, E_IP3, E_IP4};
    return edits[size_t(i)];
}

void TFBootTCP::Take_Controls()
{
    for (int i = 0; i < 4; ++i)
        FLogic.E_IP[size_t(i)] = Octet(i)->Text();
    FLogic.CB_Firmware = CB_Firmware->Checked();
    FLogic.CB_Read_Firm = CB_Read_Firm->Checked();
    FLogic.CB_Conf = CB_Conf->Checked();
    FLogic.CB_Read_Conf = CB_Read_Conf->Checked();
}

void TFBootTCP::Show_State()
{
    for (int i = 0; i < 4; ++i)
        if (Octet(i)->Text() != FLogic.E_IP[size_t(i)])
            Octet(i)->SetText(FLogic.E_IP[size_t(i)]);
    LPing->SetCaption(FLogic.LPing_Text());
    LPing->Font()->SetColor(TColor(FLogic.LPing_Color()));
}

void TFBootTCP::Show_Page()
{
    const bool address = FLogic.Page() == TBootTCP::TPage::Address;
    for (TControl* c : std::initializer_list<TControl*>{L_IP_Address, E_IP1, E_IP2, E_IP3, E_IP4, Label2, Label3,
                                                         Label4, L_Ping, Btn_Ping, LPing, Btn_Cancel, Btn_Next})
        c->SetVisible(address);
    for (TControl* c : std::initializer_list<TControl*>{L_Options, CB_Firmware, CB_Read_Firm, CB_Conf, CB_Read_Conf,
                                                         Btn_Update})
        c->SetVisible(!address);
}

void TFBootTCP::FormShow(TObject*)
{
    const int lefts[4] = {35, 91, 147, 203};
    for (int i = 0; i < 4; ++i)
        Octet(i)->SetLeft(lefts[i]);
    Take_Controls();
    FLogic.FormShow();
    L_IP_Address->SetCaption(FLogic.Address_Prompt());
    Show_State();
    Show_Page();
}

void TFBootTCP::LbButton1Click(TObject*)
{
    Take_Controls();
    FLogic.LbButton1Click();
    Show_State();
}

void TFBootTCP::LbButton2Click(TObject*)
{
    Take_Controls();
    QString message;
    if (!FLogic.LbButton2Click(&message)) {
        MessageDlg(message, mtError, MsgDlgButtons({mbOK}));
        return;
    }
    Show_Page();
}

void TFBootTCP::LbButton4Click(TObject*)
{
    Take_Controls();
    FLogic.LbButton4Click();
}

void TFBootTCP::E_IPKeyPress(TObject* Sender, QChar& Key)
{
    for (int i = 0; i < 4; ++i) {
        if (Octet(i) != Sender)
            continue;
        const int next = TBootTCP::Octet_KeyPress(i, Key);
        if (next < 0)
            return;
        Key = QChar();
        if (Octet(next)->CanFocus())
            Octet(next)->SetFocus();
        return;
    }
}
