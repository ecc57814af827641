#include "app/UKalmetoreFirmWare.h"

#include "app/ULanguage.h"
#include "app/UComon.h"
#include "app/USettings.h"
#include "platform/core/Files.h"
#include "platform/sys/LinkOpener.h"

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

QList<TMBus_Slave*> List_Slaves_MBus;
QList<TMBus_Slave*> List_Slaves_wMBus;

void Prepare_Program_State(const QString& dirProgram)
{
    Texts.clear();
    Set_Program_Folders(dirProgram);
    Force_Program_Folders();
    Read_Settings(Settings_File());
    Set_Model_Texts();
    Load_Language();
    Open_Stored_Project();
    List_Slaves_MBus.clear();
    List_Slaves_wMBus.clear();
    Set_Files();
    Row_Clipboard.clear();
}

void Store_Settings()
{
    Save_Setting(Settings_File());
}
