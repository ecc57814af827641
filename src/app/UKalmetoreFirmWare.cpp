#include "app/UKalmetoreFirmWare.h"

#include "app/LbButton.h"
#include "app/UAbout.h"
#include "app/UBootTCP.h"
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "app/UNew_Project.h"
#include "app/UOpenConf.h"
#include "app/USettings.h"
#include "app/USoftOptions.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/Timers.h"
#include "platform/core/Files.h"
#include "platform/sys/LinkOpener.h"

#include <QCoreApplication>

#include <algorithm>
#include <map>
#include <vector>

// ---------------------------------------------------------------------------
// Buttons and layout

// clang-format off
const TMainButtonInfo Main_Buttons[Main_Button_Count] = {
    {TMainButton::Info,               "Btn_Info",               12,  50, 50},
    {TMainButton::Opz,                "Btn_Opz",                13,  50, 50},
    {TMainButton::Close,              "Btn_Close",              14,  50, 50},
    {TMainButton::New,                "Btn_New",                15, 170, 36},
    {TMainButton::Open,               "Btn_Open",               16, 170, 36},
    {TMainButton::Prm_Gen,            "Btn_Prm_Gen",            20, 170, 36},
    {TMainButton::KNX_Access,         "Btn_KNX_Access",         21, 170, 36},
    {TMainButton::ModM_SetAccess,     "Btn_ModM_SetAccess",     22, 170, 36},
    {TMainButton::CAN_Rec_Frame,      "Btn_CAN_Rec_Frame",     863, 170, 36},
    {TMainButton::CAN_Rec_Info,       "Btn_CAN_Rec_Info",      864, 170, 36},
    {TMainButton::CAN_Send_Frame,     "Btn_CAN_Send_Frame",    865, 170, 36},
    {TMainButton::CAN_Send_Info,      "Btn_CAN_Send_Info",     866, 170, 36},
    {TMainButton::SDO_Server_CANopen, "Btn_SDO_Server_CANopen",867, 170, 36},
    {TMainButton::SDO_Client_CANopen, "Btn_SDO_Client_CANopen",868, 170, 36},
    {TMainButton::PDO_CANopen,        "Btn_PDO_CANopen",       869, 170, 36},
    {TMainButton::CANopen_EDS,        "Btn_CANopen_EDS",       875, 170, 36},
    {TMainButton::DNet_Net,           "Btn_DNet_Net",          870, 170, 36},
    {TMainButton::DNet_Offset,        "Btn_DNet_Offset",       871, 170, 36},
    {TMainButton::J1939_Rec_Frame,    "Btn_J1939_Rec_Frame",   872, 170, 36},
    {TMainButton::J1939_Send_Frame,   "Btn_J1939_Send_Frame",  873, 170, 36},
    {TMainButton::MBus,               "Btn_MBus",              874, 170, 36},
    {TMainButton::DMX_Default,        "Btn_DMX_Default",       876, 170, 36},
    {TMainButton::PROFINET_XML,       "Btn_PROFINET_XML",      888, 170, 36},
    {TMainButton::CreateBin,          "Btn_CreateBin",          17, 170, 36},
    {TMainButton::ScanDecode,         "Btn_ScanDecode",        972, 166, 36},
};
// clang-format on

const TMainButtonInfo& Main_Button(TMainButton b)
{
    return Main_Buttons[int(b)];
}

bool Is_Picture_Button(TMainButton b)
{
    return b == TMainButton::Info || b == TMainButton::Opz || b == TMainButton::Close;
}

const TPlacedButton* TMainLayout::Find(TMainButton b) const
{
    for (const TPlacedButton& p : Buttons)
        if (p.Id == b)
            return &p;
    return nullptr;
}

namespace {

using B = TMainButton;

// The model's steps from step 3 on; each step one or two buttons side by side.
struct TModelSteps {
    std::vector<int> Codes;
    std::vector<std::vector<TMainButton>> Steps;
};

// clang-format off
const TModelSteps Model_Steps[] = {
    {{1, 1001, 3, 1003},     {{B::KNX_Access}, {B::ModM_SetAccess}, {B::CreateBin}}},
    {{2, 4, 8, 13, 15},      {{B::KNX_Access}, {B::CreateBin}}},
    {{5},                    {{B::KNX_Access}, {B::CAN_Rec_Frame}, {B::CAN_Send_Frame}, {B::CreateBin}}},
    {{6},                    {{B::KNX_Access}, {B::SDO_Server_CANopen}, {B::SDO_Client_CANopen},
                              {B::PDO_CANopen}, {B::CANopen_EDS}, {B::CreateBin}}},
    {{7},                    {{B::KNX_Access}, {B::DNet_Net, B::DNet_Offset}, {B::CreateBin}}},
    {{9},                    {{B::KNX_Access}, {B::J1939_Rec_Frame}, {B::J1939_Send_Frame}, {B::CreateBin}}},
    {{10, 1010},             {{B::KNX_Access}, {B::MBus}, {B::CreateBin}}},
    {{11, 1011},             {{B::KNX_Access}, {B::DMX_Default}, {B::CreateBin}}},
    {{12, 1012},             {{B::KNX_Access}, {B::PROFINET_XML}, {B::CreateBin}}},
    {{14, 1014},             {{B::CreateBin}}},
};
// clang-format on

const TModelSteps* Steps_Of(int code)
{
    for (const TModelSteps& m : Model_Steps)
        for (int c : m.Codes)
            if (c == code)
                return &m;
    return nullptr;
}

// The second button of a step row stands beside the first.
constexpr int Step_Lefts[2] = {80, 258};
constexpr int Update_Device_Top_Designed = 332;

} // namespace

TMainLayout Main_Layout(int modelCode)
{
    TMainLayout l;
    // The fixed controls.
    l.Buttons = {
        {B::Info, 516, 8}, {B::Opz, 574, 8}, {B::Close, 632, 8},
        {B::New, 80, Step_Button_Top(1)}, {B::Open, 258, Step_Button_Top(1)},
        {B::Prm_Gen, 80, Step_Button_Top(2)},
    };
    int createBinTop = Update_Device_Top_Designed;
    l.Steps = 2;
    if (const TModelSteps* m = Steps_Of(modelCode)) {
        int step = 3;
        for (const auto& row : m->Steps) {
            for (size_t i = 0; i < row.size() && i < 2; ++i) {
                l.Buttons.append({row[i], Step_Lefts[i], Step_Button_Top(step)});
                if (row[i] == B::CreateBin)
                    createBinTop = Step_Button_Top(step);
            }
            l.Steps = step++;
        }
    } else {
        // A code without steps of its own keeps Update Device where designed.
        l.Buttons.append({B::CreateBin, 80, createBinTop});
    }
    if (modelCode == 10 || modelCode == 1010)
        l.Buttons.append({B::ScanDecode, 516, 70});

    const int lastLabelTop = Step_Label_Top(l.Steps);
    l.Tavlon_Left = 565;
    l.Tavlon_Top = lastLabelTop;
    if (Is_Partner_Model(modelCode)) {
        l.Tavlon_Visible = false;
        l.Brimel_Visible = true;
        l.Brimel_Left = l.Tavlon_Left - 121;
        l.Brimel_Top = lastLabelTop - 38;
    }
    l.Rule_Top = createBinTop + 51;
    l.Client_Height = createBinTop + 152;
    return l;
}

// ---------------------------------------------------------------------------
// Step dispatch

bool Project_Is_Open()
{
    return !Dir_Project.isEmpty();
}

TStepAction Step_Action(TMainButton b, int modelCode, bool projectOpen)
{
    using A = TStepAction;
    switch (b) {
    case B::New: return A::Create_New_Project;
    case B::Open: return A::Open_Project;
    case B::Close: return A::Close;
    case B::Info: return A::About;
    case B::Opz: return A::Options;
    default: break;
    }
    if (!projectOpen)
        return A::Project_Not_Valid;
    switch (b) {
    case B::Prm_Gen: return A::ParGen;
    case B::KNX_Access: return A::KNXAccess;
    case B::ModM_SetAccess:
        if (modelCode == 1 || modelCode == 1001)
            return A::SetAccess;
        if (modelCode == 3 || modelCode == 1003)
            return A::Modbus_TCP_Master_Set_Access;
        return A::Nothing;
    case B::CAN_Rec_Frame: return A::ReceiveCAN;
    case B::CAN_Send_Frame: return A::TransmitCAN;
    case B::SDO_Server_CANopen: return A::Set_SDO_Server_Access;
    case B::SDO_Client_CANopen: return A::Set_SDO_Client_Access;
    case B::PDO_CANopen: return A::Set_PDO_Access;
    case B::CANopen_EDS: return A::Build_EDS_File;
    case B::DNet_Net: return A::DNet;
    case B::DNet_Offset: return A::DefOffset;
    case B::J1939_Rec_Frame: return A::ReceiveJ1939;
    case B::J1939_Send_Frame: return A::TransmitJ1939;
    case B::MBus: return A::Meter_Bus;
    case B::DMX_Default: return A::DMXDefVal;
    case B::PROFINET_XML: return A::PROFINET_XML;
    case B::CreateBin: return A::Update_Device;
    case B::ScanDecode: return A::Scan_Decode;
    default: return A::Nothing; // the two CAN info buttons have no action
    }
}

// ---------------------------------------------------------------------------
// Project state

TProjectLabels Project_Labels()
{
    if (Project_Is_Open())
        return {Text_Of(11), Name_Project};
    return {Text_Of(9), Text_Of(10)};
}

bool Open_Project_Named(const QString& name)
{
    if (name.isEmpty()) {
        Name_Project.clear();
        Dir_Project.clear();
        Set_Files();
        return true;
    }
    if (!Is_Valid_Project_Name(name) || Dir_Projects.isEmpty())
        return false;
    const QString dir = PathJoin(Dir_Projects, name);
    if (!DirectoryExists(dir))
        return false;
    Name_Project = name;
    Dir_Project = dir;
    Set_Files();
    return true;
}

QString Product_Page_Url(int modelCode)
{
    if (modelCode < 1 || modelCode > 15)
        return QString();
    return QStringLiteral("http://") + Company_Label + QStringLiteral("/HOME/default.asp?frompg=") +
           Get_SW_Code(modelCode);
}

void Open_Link(const QString& target)
{
    if (!target.isEmpty())
        Sys::Links().OpenLink(target);
}

// ---------------------------------------------------------------------------
// Start-up and shutdown

void Prepare_Program_State(const QString& dirProgram)
{
    Texts.clear();
    Set_Program_Folders(dirProgram);
    Force_Program_Folders();
    Read_Settings(Settings_File());
    Set_Model_Texts();
    Load_Language();
    Open_Stored_Project();
    Set_Files();
    Row_Clipboard.clear();
}

void Store_Settings()
{
    Save_Setting(Settings_File());
}

// ---------------------------------------------------------------------------
// Pictures of our own: the three tool buttons and the partner's logo

namespace {

std::unique_ptr<TBitmap> New_Bitmap(int w, int h, TColor back)
{
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(w, h);
    TCanvas* c = bmp->Canvas();
    c->Brush().SetColor(back);
    c->FillRect(Rect(0, 0, w, h));
    return bmp;
}

// A round badge with a sign: "i" for the about box, a gear for the options,
// a cross for closing. The bottom-left pixel keeps the dialog colour so the
// glyph's corners blend into the button.
std::unique_ptr<TBitmap> Tool_Glyph(TMainButton b)
{
    auto bmp = New_Bitmap(32, 32, Dialog_Color);
    TCanvas* c = bmp->Canvas();
    const TColor ring = b == TMainButton::Close ? TColor(RGB(190, 60, 50)) : TColor(RGB(60, 110, 170));
    c->Pen().SetColor(ring);
    c->Pen().SetWidth(2);
    c->Brush().SetColor(clWhite);
    c->Ellipse(2, 2, 30, 30);
    c->Pen().SetWidth(3);
    switch (b) {
    case TMainButton::Info:
        c->Brush().SetColor(ring);
        c->Pen().SetWidth(1);
        c->Ellipse(14, 7, 19, 12);
        c->FillRect(Rect(14, 14, 18, 25));
        break;
    case TMainButton::Opz:
        c->Pen().SetWidth(2);
        c->Brush().SetColor(ring);
        c->Ellipse(10, 10, 22, 22);
        for (auto [x1, y1, x2, y2] : {std::array{16, 6, 16, 26}, std::array{6, 16, 26, 16},
                                      std::array{9, 9, 23, 23}, std::array{23, 9, 9, 23}}) {
            c->MoveTo(x1, y1);
            c->LineTo(x2, y2);
        }
        c->Brush().SetColor(clWhite);
        c->Ellipse(13, 13, 19, 19);
        break;
    default:
        c->MoveTo(10, 10);
        c->LineTo(22, 22);
        c->MoveTo(22, 10);
        c->LineTo(10, 22);
        break;
    }
    return bmp;
}

} // namespace

std::unique_ptr<TBitmap> Maker_Logo(int w, int h)
{
    auto bmp = New_Bitmap(w, h, Dialog_Color);
    TCanvas* c = bmp->Canvas();
    c->Pen().SetColor(RGB(40, 90, 150));
    c->Brush().SetColor(RGB(60, 110, 170));
    c->RoundRect(0, 0, w, h, w / 4, h / 4);
    c->Font().SetName(QStringLiteral("Verdana"));
    c->Font().SetHeight(-(h * 2 / 3));
    c->Font().SetStyle(fsBold);
    c->Font().SetColor(clWhite);
    c->Brush().SetStyle(bsClear);
    c->DrawText(QStringLiteral("T"), Rect(0, 0, w, h), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return bmp;
}

std::unique_ptr<TBitmap> Partner_Logo(int w, int h)
{
    auto bmp = New_Bitmap(w, h, Dialog_Color);
    TCanvas* c = bmp->Canvas();
    c->Font().SetName(QStringLiteral("Verdana"));
    c->Font().SetHeight(-(h / 2));
    c->Font().SetStyle(fsBold | fsItalic);
    c->Font().SetColor(RGB(0, 120, 80));
    c->Brush().SetStyle(bsClear);
    c->DrawText(Partner_Company_Label, Rect(0, 0, w, h), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return bmp;
}

// ---------------------------------------------------------------------------
// Steps registered by the main block

namespace {

std::map<TStepAction, std::function<void()>>& Steps()
{
    static std::map<TStepAction, std::function<void()>> m;
    return m;
}

std::vector<std::function<void()>>& Language_Listeners()
{
    static std::vector<std::function<void()>> v;
    return v;
}

QString& Start_Folder()
{
    static QString dir;
    return dir;
}

} // namespace

void Register_Step(TStepAction action, std::function<void()> step)
{
    Steps()[action] = std::move(step);
}

bool Step_Registered(TStepAction action)
{
    return Steps().count(action) != 0;
}

void Clear_Steps()
{
    Steps().clear();
}

void Register_Language_Listener(std::function<void()> setLang)
{
    Language_Listeners().push_back(std::move(setLang));
}

void Clear_Language_Listeners()
{
    Language_Listeners().clear();
}

void Set_Program_Start_Folder(const QString& dir)
{
    Start_Folder() = dir;
}

QString Program_Start_Folder()
{
    if (!Start_Folder().isEmpty())
        return Start_Folder();
    return QCoreApplication::applicationDirPath();
}

// ---------------------------------------------------------------------------
// The main window

TFKalmetoreFirmWare* FKalmetoreFirmWare = nullptr;

TFKalmetoreFirmWare::TFKalmetoreFirmWare(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FKalmetoreFirmWare"));
    Apply_Dialog_Look(this);
    SetBorderIcons(biSystemMenu);
    Create_Controls();
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

void TFKalmetoreFirmWare::AfterConstruction()
{
    TForm::AfterConstruction();
    FKalmetoreFirmWare = this;
    FormCreate();
}

void TFKalmetoreFirmWare::Create_Controls()
{
    L_SW_Code = Make_Label(this, this, 16, 8);
    Style_Code_Label(L_SW_Code);
    L_SW_Desc = Make_Label(this, this, 16, 42);
    Style_Grey_Bold(L_SW_Desc);
    L_Begin = Make_Label(this, this, 16, 84);
    Style_Grey_Bold(L_Begin);

    Shape2 = new TShape(this);
    Shape2->SetParent(this);
    Shape2->SetBounds(80, 70, 348, 36);
    Shape2->Pen()->SetColor(clSilver);
    Shape2->Brush()->SetStyle(bsClear);
    L_Name_Conf = Make_Label(this, this, 87, 75);
    L_Name_Conf_L2 = Make_Label(this, this, 87, 88);

    for (int k = 1; k <= 8; ++k) {
        L_Step[k - 1] = Make_Label(this, this, 16, Step_Label_Top(k));
        Style_Grey_Bold(L_Step[k - 1]);
        L_Step[k - 1]->SetName(QStringLiteral("L_Step_%1").arg(k));
    }

    for (const TMainButtonInfo& info : Main_Buttons) {
        TLbButton* b = Make_Button(this, this, 80, 0, info.Width, info.Height);
        b->SetName(QString::fromLatin1(info.Name));
        b->OnClick = [this](TObject* Sender) { Btn_Click(Sender); };
        b->SetVisible(false);
        FButtons[int(info.Id)] = b;
    }
    for (TMainButton t : {TMainButton::Info, TMainButton::Opz, TMainButton::Close}) {
        // The icon buttons are plain picture buttons, not text buttons.
        TLbButton* b = Button(t);
        b->SetStyle(bsNormal);
        b->SetCaption(QString());
        const auto glyph = Tool_Glyph(t);
        b->SetGlyph(glyph.get());
        b->SetNumGlyphs(1);
        b->SetShowHint(true);
    }

    L_Tavlon = Make_Label(this, this, 565, 392, Company_Label);
    Style_Grey_Bold(L_Tavlon);
    L_Tavlon->SetCursor(crHandPoint);
    L_Tavlon->OnClick = [this](TObject* Sender) { L_TavlonClick(Sender); };

    I_Brimel = new TImage(this);
    I_Brimel->SetParent(this);
    I_Brimel->SetBounds(444, 0, 238, 51);
    I_Brimel->SetStretch(true);
    I_Brimel->Picture()->SetGraphic(Partner_Logo(238, 51));
    I_Brimel->PictureChanged();
    I_Brimel->OnClick = [this](TObject* Sender) { I_BrimelClick(Sender); };

    Shape1 = new TShape(this);
    Shape1->SetParent(this);
    Shape1->Pen()->SetColor(clSilver);

    LL_Update = new TLinkLabel(this);
    LL_Update->SetParent(this);
    LL_Update->SetLeft(208);
    LL_Update->SetTop(19);
    LL_Update->SetVisible(false);
    LL_Update->OnLinkClick = [this](TObject*, const QString& Link, TSysLinkType) { LL_UpdateLinkClick(Link); };

    Timer_Update = new TTimer(this);
    Timer_Update->SetEnabled(false);
    Timer_Update->SetInterval(First_Update_Check_Ms);
    Timer_Update->OnTimer = [this](TObject* Sender) { Timer_UpdateTimer(Sender); };
}

void TFKalmetoreFirmWare::Place_Model_Steps()
{
    const TMainLayout l = Main_Layout(Model_Code);
    for (int k = 1; k <= 8; ++k)
        L_Step[k - 1]->SetVisible(k <= l.Steps);
    for (TLbButton* b : FButtons)
        b->SetVisible(false);
    for (const TPlacedButton& p : l.Buttons) {
        TLbButton* b = Button(p.Id);
        b->SetLeft(p.Left);
        b->SetTop(p.Top);
        b->SetVisible(true);
    }
    L_Tavlon->SetLeft(l.Tavlon_Left);
    L_Tavlon->SetTop(l.Tavlon_Top);
    L_Tavlon->SetVisible(l.Tavlon_Visible);
    I_Brimel->SetLeft(l.Brimel_Left);
    I_Brimel->SetTop(l.Brimel_Top);
    I_Brimel->SetVisible(l.Brimel_Visible);
    Shape1->SetBounds(l.Rule_Left, l.Rule_Top, l.Rule_Width, l.Rule_Height);
    SetClientSize(l.Client_Width, l.Client_Height);
    Keep_Inside(L_Tavlon, l.Client_Width);
}

void TFKalmetoreFirmWare::FormCreate()
{
    Place_Model_Steps();
    Prepare_Program_State(Program_Start_Folder());
    Set_Update_Timer();
    Timer_Update->SetInterval(First_Update_Check_Ms);
    SetCaption(Program_Title);
    L_SW_Code->SetCaption(SW_Code);
    L_SW_Desc->SetCaption(SW_Desc);
    Show_Project_Labels();
    Set_Lang();
}

void TFKalmetoreFirmWare::FormClose(TObject*, TCloseAction&)
{
    // The program ends whatever happens; a settings file that cannot be
    // written is told, not hidden.
    Application()->Guard([this] { Save_Setting(); });
}

void TFKalmetoreFirmWare::Set_Lang()
{
    L_Begin->SetCaption(Text_Of(0));
    for (int k = 1; k <= 8; ++k)
        L_Step[k - 1]->SetCaption(Text_Of(k));
    for (const TMainButtonInfo& info : Main_Buttons) {
        TLbButton* b = Button(info.Id);
        if (Is_Picture_Button(info.Id))
            b->SetHint(Text_Of(info.Text));
        else
            b->SetCaption(Text_Of(info.Text));
    }
}

void TFKalmetoreFirmWare::Save_Setting()
{
    Store_Settings();
}

void TFKalmetoreFirmWare::Show_Project_Labels()
{
    const TProjectLabels l = Project_Labels();
    L_Name_Conf->SetCaption(l.Line1);
    L_Name_Conf_L2->SetCaption(l.Line2);
}

void TFKalmetoreFirmWare::Set_Update_Timer()
{
    Timer_Update->SetEnabled(Update_Check_Allowed());
}

void TFKalmetoreFirmWare::Btn_Click(TObject* Sender)
{
    for (const TMainButtonInfo& info : Main_Buttons)
        if (Button(info.Id) == Sender) {
            Run_Step(Step_Action(info.Id, Model_Code, Project_Is_Open()));
            return;
        }
}

namespace {

// The steps that read or write nothing of the open project.
bool Needs_Project(TStepAction a)
{
    using A = TStepAction;
    switch (a) {
    case A::Create_New_Project:
    case A::Open_Project:
    case A::Close:
    case A::About:
    case A::Options:
    case A::Project_Not_Valid:
    case A::Nothing:
        return false;
    default:
        return true;
    }
}

} // namespace

void TFKalmetoreFirmWare::Run_Step(TStepAction a)
{
    // The folder may have been deleted or renamed since the project was
    // opened: no step may then recreate it, write into it or open a dialog
    // on it (an all-defaults bank.bin could reach the device).
    if (Needs_Project(a) && !Project_Folder_Exists())
        a = TStepAction::Project_Not_Valid;
    switch (a) {
    case TStepAction::Create_New_Project: Create_New_Project(); return;
    case TStepAction::Open_Project: Open_Project(); return;
    case TStepAction::Close: Close(); return;
    case TStepAction::About:
        if (FAbout)
            FAbout->ShowModal();
        return;
    case TStepAction::Options:
        if (FSoftOptions && FSoftOptions->ShowModal() == mrOk) {
            Save_Setting();
            Set_Update_Timer();
        }
        return;
    case TStepAction::Project_Not_Valid:
        MessageDlg(Text_Of(18), mtError, MsgDlgButtons({mbOK}));
        return;
    case TStepAction::Update_Device: Update_Device(); return;
    case TStepAction::Scan_Decode: Scan_Decode(); return;
    case TStepAction::Nothing: return;
    default: break;
    }
    const auto it = Steps().find(a);
    if (it != Steps().end() && it->second)
        it->second();
}

void TFKalmetoreFirmWare::Open_Project()
{
    if (!FOpenConf || FOpenConf->ShowModal() != mrOk)
        return;
    if (!Open_Project_Named(FOpenConf->Name_Conf)) {
        // The folder went away after the list was shown: nothing is opened.
        MessageDlg(Text_Of(18), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    Show_Project_Labels();
}

void TFKalmetoreFirmWare::Create_New_Project()
{
    if (FNew_Project && FNew_Project->ShowModal() == mrOk)
        Show_Project_Labels();
}

void TFKalmetoreFirmWare::Update_Device()
{
    ::Update_Device();
}

void TFKalmetoreFirmWare::Scan_Decode()
{
    if (FileExists(File_M_Bus) &&
        MessageDlg(Text_Of(973), mtWarning, MsgDlgButtons({mbYes, mbNo})) == mrNo)
        return;
    const auto it = Steps().find(TStepAction::Scan_Decode);
    if (it != Steps().end() && it->second)
        it->second();
}

void TFKalmetoreFirmWare::Change_Language()
{
    Set_Lang();
    for (const auto& listener : Language_Listeners())
        if (listener)
            listener();
}

void TFKalmetoreFirmWare::Timer_UpdateTimer(TObject*)
{
    Timer_Update->SetEnabled(false);
    if (Check_Version_Of(Model_Code)) {
        LL_Update->SetCaption(Download_Link(Model_Code, Text_Of(19)));
        LL_Update->SetVisible(true);
    } else {
        LL_Update->SetVisible(false);
    }
    Timer_Update->SetInterval(Next_Update_Check_Ms);
    Timer_Update->SetEnabled(true);
}

void TFKalmetoreFirmWare::L_TavlonClick(TObject*)
{
    Open_Link(Product_Page_Url(Model_Code));
}

void TFKalmetoreFirmWare::LL_UpdateLinkClick(const QString& Link)
{
    Open_Link(Link);
}
