#include "mbus/UScanDecode.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UScanModbusStart.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/Timers.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"
#include "platform/xml/XmlDoc.h"
#include "project/OpenProject.h"

#include <algorithm>

namespace {

enum : int {
    Text_Progress = 1218, Text_Num_Slaves = 1219, Text_Busy = 1226, Text_Sec_Start = 1227, Text_Sec_End = 1228,
    Text_No_Analyzer = 1229, Text_Saved = 1230, Text_Append = 1237, Text_Bad_Port = 1238,
};

const QString Not_Found = QStringLiteral("[NOT FOUND]");

// Rows of the options panel.
constexpr int Row_Step = 32;
constexpr int First_Row = 16;
constexpr int Header_Left = 16;
constexpr int Label_Left = 32;
constexpr int Input_Left = 176;
constexpr int IP_Step = 66;
constexpr int Button_Gap = 8;
// The second part of a line that was not found starts here.
constexpr int Not_Found_X = 70;

// Radio modes by the mode combo's index: S, T, N1, N2, C.
constexpr int Wireless_Modes[] = {1, 5, 15, 17, 11};

QString Hex(int64_t v, int digits)
{
    return IntToHex(v, digits);
}

// A byte as decimal and, in brackets, two hexadecimal digits.
QString Dec_Hex(int v)
{
    return QString::number(v) + QStringLiteral(" (") + Hex(v, 2) + QStringLiteral(")");
}

QString Address_Hex(int32_t a)
{
    return Hex(int64_t(uint32_t(a)), 8);
}

bool Decimal_Octet(const QString& s)
{
    if (s.isEmpty() || s.size() > 3)
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return s.toInt() <= 255;
}

QString Combo_Text(TComboBox* c)
{
    const int i = c->ItemIndex();
    return i >= 0 && i < c->Items()->Count() ? c->Items()->Strings(i) : QString();
}

void Fill(TComboBox* c, std::initializer_list<QString> items, int index)
{
    c->Items()->Clear();
    for (const QString& s : items)
        c->Items()->Add(s);
    c->SetItemIndex(index);
}

// Device codes whose appended saves ask for registers.
bool Asks_Registers(int code)
{
    return code == 0 || code == 1 || code == 9 || code == 13 || code == 14;
}

} // namespace

// ---------------------------------------------------------------------------
// Texts

QString Wired_Device_Text(const TSlave_MBus& d)
{
    return QStringLiteral("Primary Address = ") + QString::number(d.Primary_Addresss) + QStringLiteral(" - ") +
           QStringLiteral("Secondary Address = ") + d.Secondary_Addresss + QStringLiteral(" - ") +
           QStringLiteral("Manufacturer = ") + d.descManufacture + QStringLiteral("(") +
           QString::number(d.Manufacture) + QStringLiteral(") - ") + QStringLiteral("Version = ") +
           QString::number(d.Version) + QStringLiteral(" - ") + QStringLiteral("Type = ") +
           QString::number(d.Medium);
}

QString Record_Text(const TVariable_MBus& v)
{
    return QStringLiteral("Value = ") + v.ValueStr + QStringLiteral(" - ") + QStringLiteral("Type = ") +
           v.Desc_Type_Data + QStringLiteral(" (U") + QString::number(v.device) + QStringLiteral("S") +
           QString::number(v.storage_number) + QStringLiteral("T") + QString::number(v.tarif) + QStringLiteral(")");
}

QStringList Record_Detail_Texts(const TVariable_MBus& v)
{
    return {
        QStringLiteral("Storage Number = ") + QString::number(v.storage_number),
        QStringLiteral("Tariff = ") + QString::number(v.tarif),
        QStringLiteral("Unit = ") + QString::number(v.device),
        QStringLiteral("Data Field = ") + v.DataFieldStr,
        QStringLiteral("Function Field = ") + v.FunctionFieldStr,
        QStringLiteral("Type = ") + v.Desc_Type_Data,
        QStringLiteral("Value = ") + v.ValueStr,
        QStringLiteral("DIF = ") + v.DIF,
        QStringLiteral("VIF = $") + Hex(v.VIF, 2),
        QStringLiteral("DIFE = ") + v.DIFE,
        QStringLiteral("VIFE = ") + v.VIFE,
        QStringLiteral("DATA = $") + v.totdati,
    };
}

QString Wireless_Device_Text(const TSlave_wMBus& d)
{
    QString t = QStringLiteral("Manufacturer = ") + d.ALA_Manu_str + QStringLiteral(" - ") +
                QStringLiteral("Address = ") + Address_Hex(d.ALA_Address) + QStringLiteral(" - ") +
                QStringLiteral("Version = ") + QString::number(d.ALA_Version) + QStringLiteral(" - ") +
                QStringLiteral("Device Type = ") + QString::number(d.ALA_DeviceType);
    if (d.Cripted)
        t += QStringLiteral(" - ") + QStringLiteral("CRIPTED!!");
    return t;
}

QStringList Wireless_Row_Cells(int index, const TWirelessSlaveRow& d)
{
    return {
        QString::number(index + 1),
        DateTimeToStr(d.DateTime),
        QStringLiteral("0x") + Hex(d.Message_Type, 2),
        d.LLA_Manu_str + QStringLiteral("(") + Hex(d.LLA_Manufacturer, 4) + QStringLiteral(")"),
        Address_Hex(d.LLA_Address),
        Dec_Hex(d.LLA_Version),
        Dec_Hex(d.LLA_DeviceType),
        d.ALA_Manu_str + QStringLiteral("(") + Hex(d.ALA_Manufacturer, 4) + QStringLiteral(")"),
        Address_Hex(d.ALA_Address),
        Dec_Hex(d.ALA_Version),
        Dec_Hex(d.ALA_DeviceType),
        QString::number(d.RSSI),
    };
}

QString Progress_Line(int32_t Address, int32_t Found, int32_t ScanType)
{
    if (ScanType == 2)
        return QStringLiteral("ID = ") + Address_Hex(Address);
    QString line = QStringLiteral("ID = ") + QString::number(Address) + QLatin1Char('\t');
    if (!Found)
        line += Not_Found;
    return line;
}

QList<TProgressPart> Progress_Line_Parts(const QString& line)
{
    if (!line.contains(Not_Found))
        return {{line, 0, clBlue}};
    const qsizetype bracket = line.indexOf(QLatin1Char('['));
    return {{Trim(line.left(bracket)), 0, clRed},
            {Trim(line.mid(std::max<qsizetype>(bracket - 1, 0))), Not_Found_X, clRed}};
}

std::array<QString, 4> ParGen_IP_Keys(int XML_Code_Dev)
{
    QString prefix;
    switch (XML_Code_Dev) {
    case 15: prefix = QStringLiteral("Modbus_TCP_Slave_IP"); break;
    case 11:
    case 17: prefix = QStringLiteral("PROFINET_IP"); break;
    case 6: prefix = QStringLiteral("BACnet_IP"); break;
    case 10:
    case 16: prefix = QStringLiteral("Eth_IP"); break;
    case 18: prefix = QStringLiteral("Ethernet_IP"); break;
    default: prefix = QStringLiteral("IP_"); break;
    }
    return {prefix + "1", prefix + "2", prefix + "3", prefix + "4"};
}

// ---------------------------------------------------------------------------
// Construction

TFScanDecode* FScanDecode = nullptr;

TFScanDecode::TFScanDecode(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FScanDecode"));
    Apply_Dialog_Look(this);
    SetColor(Dialog_Color);
    Create_Controls();
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

TFScanDecode::~TFScanDecode()
{
    *FAlive = false;
    T_InScan->SetEnabled(false);
    if (TR_ScanDecode) {
        TR_ScanDecode->Free();
        TR_ScanDecode = nullptr;
    }
    // Device places point into the trees the view frees.
    {
        auto list = List_Slaves_MBus.Lock();
        for (TSlave_MBus* d : *list) {
            d->Node = nullptr;
            for (TVariable_MBus* v : d->List_Var)
                v->Node = nullptr;
        }
    }
    FView.reset();
    if (FScanDecode == this)
        FScanDecode = nullptr;
}

void TFScanDecode::AfterConstruction()
{
    TForm::AfterConstruction();
    FScanDecode = this;
    FView = Make_Scan_Decode_View(this);
    FormCreate();
}

TWinControl* TFScanDecode::Tree_Parent(TScanTree tree) const
{
    return tree == TScanTree::Wired ? static_cast<TWinControl*>(P_TreeView) : P_W_Tree;
}

void TFScanDecode::Set_View(std::unique_ptr<IScanDecodeView> view)
{
    FWirelessNodes.clear();
    FView = std::move(view);
}

TLabel* TFScanDecode::Option_Label(const char* name)
{
    TLabel* l = Make_Label(this, P_Main, Label_Left, 0);
    l->SetName(QString::fromLatin1(name));
    return l;
}

TComboBox* TFScanDecode::Option_Combo(const char* name, int width)
{
    auto* c = new TComboBox(this);
    c->SetName(QString::fromLatin1(name));
    c->SetParent(P_Main);
    c->SetStyle(csDropDownList);
    c->SetBounds(Input_Left, 0, width, 21);
    c->OnChange = [this](TObject* Sender) { CB_HardwareTypeChange(Sender); };
    return c;
}

TEdit* TFScanDecode::Option_Edit(const char* name, int width, const QString& text)
{
    auto* e = new TEdit(this);
    e->SetName(QString::fromLatin1(name));
    e->SetParent(P_Main);
    e->SetBounds(Input_Left, 0, width, 21);
    e->SetText(text);
    return e;
}

void TFScanDecode::Create_Controls()
{
    P_Title = Make_Title_Band(this, L_SW_Code, L_SW_Desc);

    P_Button = Make_Button_Band(this);
    P_Button->SetName(QStringLiteral("P_Button"));
    auto button = [this](const char* name) {
        TLbButton* b = Make_Button(this, P_Button, 16, 6, 95, 28);
        b->SetName(QString::fromLatin1(name));
        b->SetColor(Dialog_Color);
        b->OnClick = [this](TObject* Sender) { BtnClick(Sender); };
        return b;
    };
    Btn_StartScan = button("Btn_StartScan");
    Btn_StopScan = button("Btn_StopScan");
    Btn_AbortScan = button("Btn_AbortScan");
    Btn_NewScan = button("Btn_NewScan");
    Btn_SaveConf = button("Btn_SaveConf");
    Btn_SaveConfManual = button("Btn_SaveConfManual");

    P_Main = Make_Band(this, alClient, 0, Dialog_Color);
    P_Main->SetName(QStringLiteral("P_Main"));
    Create_Options();

    P_TreeView = Make_Band(this, alNone, 0, Dialog_Color);
    P_TreeView->SetName(QStringLiteral("P_TreeView"));
    P_TreeView->SetVisible(false);
    L_ScanProgress = Make_Label(this, P_TreeView, 16, 8);
    Style_Grey_Bold(L_ScanProgress);
    L_Num_Slave = Make_Label(this, P_TreeView, 200, 8);
    Style_Grey_Bold(L_Num_Slave);
    L_AvailableDevice = Make_Label(this, P_TreeView, 16, 30);
    LB_AvailableDevice = new TListBox(this);
    LB_AvailableDevice->SetName(QStringLiteral("LB_AvailableDevice"));
    LB_AvailableDevice->SetParent(P_TreeView);
    LB_AvailableDevice->SetBounds(16, 48, 880, 320);
    LB_AvailableDevice->SetStyle(lbOwnerDrawFixed);
    LB_AvailableDevice->OnDrawItem = [this](TWinControl* c, int i, TRect r, TOwnerDrawState s) {
        LB_AvailableDeviceDrawItem(c, i, r, s);
    };

    P_View_Wireless = Make_Band(this, alNone, 0, Dialog_Color);
    P_View_Wireless->SetName(QStringLiteral("P_View_Wireless"));
    P_View_Wireless->SetVisible(false);
    P_W_Title = new TPanel(this);
    P_W_Title->SetParent(P_View_Wireless);
    P_W_Title->SetAlign(alTop);
    P_W_Title->SetHeight(4);
    P_W_Title->SetBevelOuter(bvNone);
    P_W_Table = new TPanel(this);
    P_W_Table->SetName(QStringLiteral("P_W_Table"));
    P_W_Table->SetParent(P_View_Wireless);
    P_W_Table->SetAlign(alTop);
    P_W_Table->SetBevelOuter(bvNone);
    P_W_Table->SetTop(10);
    Splitter1 = new TSplitter(this);
    Splitter1->SetParent(P_View_Wireless);
    Splitter1->SetAlign(alTop);
    Splitter1->SetTop(300);
    P_W_Tree = new TPanel(this);
    P_W_Tree->SetName(QStringLiteral("P_W_Tree"));
    P_W_Tree->SetParent(P_View_Wireless);
    P_W_Tree->SetAlign(alClient);
    P_W_Tree->SetBevelOuter(bvNone);

    T_InScan = new TTimer(this);
    T_InScan->SetEnabled(false);
    T_InScan->SetInterval(1000);
    T_InScan->OnTimer = [this](TObject* Sender) { T_InScanTimer(Sender); };
}

void TFScanDecode::Create_Options()
{
    L_ScanMethod = Option_Label("L_ScanMethod");
    CB_ScanMethod = Option_Combo("CB_ScanMethod", 200);
    L_ScanBy = Option_Label("L_ScanBy");
    CB_ScanBy = Option_Combo("CB_ScanBy", 200);
    L_HardwareType = Option_Label("L_HardwareType");
    CB_HardwareType = Option_Combo("CB_HardwareType", 200);
    L_IP = Option_Label("L_IP");
    E_IP1 = Option_Edit("E_IP1", 50, QStringLiteral("192"));
    E_IP2 = Option_Edit("E_IP2", 50, QStringLiteral("168"));
    E_IP3 = Option_Edit("E_IP3", 50, QStringLiteral("2"));
    E_IP4 = Option_Edit("E_IP4", 50, QStringLiteral("205"));
    for (TEdit* e : {E_IP1, E_IP2, E_IP3, E_IP4})
        e->OnKeyPress = [this](TObject* Sender, QChar& Key) { KeyPress(Sender, Key); };
    L_IP_Dot1 = Make_Label(this, P_Main, 0, 0, QStringLiteral("."));
    L_IP_Dot2 = Make_Label(this, P_Main, 0, 0, QStringLiteral("."));
    L_IP_Dot3 = Make_Label(this, P_Main, 0, 0, QStringLiteral("."));
    L_ComPort = Option_Label("L_ComPort");
    CB_ComPort = Option_Combo("CB_ComPort", 120);
    CB_ComPort->OnChange = nullptr;
    Btn_COM_List = Make_Button(this, P_Main, 0, 0, 60, 21);
    Btn_COM_List->SetName(QStringLiteral("Btn_COM_List"));
    Btn_COM_List->SetCaption(QStringLiteral("..."));
    Btn_COM_List->OnClick = [this](TObject* Sender) { Btn_COM_ListClick(Sender); };
    L_Port = Option_Label("L_Port");
    E_Port = Option_Edit("E_Port", 80, QStringLiteral("502"));
    L_MBus_ParGen = Option_Label("L_MBus_ParGen");
    Style_Grey_Bold(L_MBus_ParGen);
    L_MBus_Baud = Option_Label("L_MBus_Baud");
    CB_MBus_Baud = Option_Combo("CB_MBus_Baud", 120);
    L_MBus_Parity = Option_Label("L_MBus_Parity");
    CB_MBus_Parity = Option_Combo("CB_MBus_Parity", 120);
    L_wMBus_Mode = Option_Label("L_wMBus_Mode");
    CB_wMBus_Mode = Option_Combo("CB_wMBus_Mode", 120);
    CB_wMBus_Mode->OnChange = nullptr;
    L_wMBus_Radio_Channel = Option_Label("L_wMBus_Radio_Channel");
    CB_wMBus_Radio_Channel = Option_Combo("CB_wMBus_Radio_Channel", 160);
    CB_wMBus_Radio_Channel->OnChange = nullptr;
    CB_wMBus_Radio_Channel->SetDropDownCount(9);
    L_Option_Scan = Option_Label("L_Option_Scan");
    Style_Grey_Bold(L_Option_Scan);
    auto check = [this](const char* name) {
        auto* c = new TCheckBox(this);
        c->SetName(QString::fromLatin1(name));
        c->SetParent(P_Main);
        c->SetBounds(Label_Left, 0, 300, 17);
        return c;
    };
    CB_Opt_App_Reset = check("CB_Opt_App_Reset");
    CB_Opt_SND_NKE = check("CB_Opt_SND_NKE");
    L_Opt_Cut_After = Option_Label("L_Opt_Cut_After");
    E_Opt_Cut_After = Option_Edit("E_Opt_Cut_After", 50, QStringLiteral("3"));

    Fill(CB_MBus_Baud, {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400"}, 3);
    Fill(CB_MBus_Parity, {"NONE", "EVEN", "ODD"}, 1);
    Fill(CB_wMBus_Mode, {"S", "T", "N1", "N2", "C"}, 0);
    Fill(CB_wMBus_Radio_Channel,
         {"1a @ 4800 bps", "1b @ 4800 bps", "2a @ 2400 bps", "2b @ 2400 bps", "3a @ 4800 bps", "3b @ 4800 bps",
          "0 @ 19200 bps", "2a @ 4800 bps", "2b @ 4800 bps"},
         0);
}

void TFScanDecode::FormCreate()
{
    TR_ScanDecode = NewObject<TMBusScanDecode>(false);
    Form_Type = 0;
    SetClientSize(922, 491);
    P_W_Table->SetHeight(200);
    Set_Lang();
    CB_ScanMethod->SetItemIndex(0);
}

void TFScanDecode::Set_Lang()
{
    SetCaption(Text_Of(1200));
    L_SW_Code->SetCaption(Text_Of(1201));
    L_SW_Desc->SetCaption(Text_Of(1202));
    L_ScanBy->SetCaption(Text_Of(1203));
    Fill(CB_ScanBy, {Text_Of(1204), Text_Of(1205)}, 0);
    L_HardwareType->SetCaption(Text_Of(1206));
    Fill(CB_HardwareType, {Text_Of(1207), Text_Of(1208)}, 0);
    L_IP->SetCaption(Text_Of(1209));
    L_ComPort->SetCaption(Text_Of(1210));
    L_MBus_ParGen->SetCaption(Text_Of(1211));
    L_MBus_Baud->SetCaption(Text_Of(1212));
    L_MBus_Parity->SetCaption(Text_Of(1213));
    L_Option_Scan->SetCaption(Text_Of(1214));
    CB_Opt_App_Reset->SetCaption(Text_Of(1215));
    CB_Opt_SND_NKE->SetCaption(Text_Of(1216));
    L_Opt_Cut_After->SetCaption(Text_Of(1217));
    L_ScanProgress->SetCaption(Text_Of(Text_Progress));
    L_AvailableDevice->SetCaption(Text_Of(1220));
    Btn_StartScan->SetCaption(Text_Of(1221));
    Btn_StopScan->SetCaption(Text_Of(1222));
    Btn_AbortScan->SetCaption(Text_Of(1223));
    Btn_NewScan->SetCaption(Text_Of(1224));
    Btn_SaveConf->SetCaption(Text_Of(1225));
    Btn_SaveConfManual->SetCaption(Text_Of(1239));
    L_ScanMethod->SetCaption(Text_Of(1231));
    Fill(CB_ScanMethod, {Text_Of(1232), Text_Of(1233)}, 0);
    L_wMBus_Mode->SetCaption(Text_Of(1234));
    L_wMBus_Radio_Channel->SetCaption(Text_Of(1235));
    L_Port->SetCaption(Text_Of(1236));
}

// ---------------------------------------------------------------------------
// Showing and closing

void TFScanDecode::FormShow(TObject*)
{
    Move_Object_Type_Form();
    Update_List_of_COM_Port();
    TR_ScanDecode->Event_Run()->SetEvent();
    Read_ParGen_IP();
    Form_Style(1);
}

void TFScanDecode::Read_ParGen_IP()
{
    if (File_ParGen.isEmpty() || !FileExists(File_ParGen))
        return;
    XmlDocument doc;
    try {
        doc.LoadFromFile(File_ParGen);
    } catch (const Exception&) {
        // An unreadable file leaves the address as it is.
        return;
    }
    const XmlNode root = doc.DocumentElement();
    if (!root)
        return;
    const std::array<QString, 4> keys = ParGen_IP_Keys(XML_Code_Dev);
    const std::array<TEdit*, 4> edits{E_IP1, E_IP2, E_IP3, E_IP4};
    for (size_t i = 0; i < keys.size(); ++i) {
        const XmlNode n = root.ChildElement(keys[i]);
        if (n)
            edits[i]->SetText(n.Text());
    }
}

void TFScanDecode::FormClose(TObject*, TCloseAction&)
{
    T_InScan->SetEnabled(false);
    if (TR_ScanDecode->InScan()) {
        // The engine leaves the gateway's analyzer or configuration mode and
        // releases its socket in its closing states; they get the time they
        // take before the loop is blocked again.
        TR_ScanDecode->SetAbortScan(true);
        const uint32_t start = GetTickCount();
        while (TR_ScanDecode->InScan() && GetTickCount() - start < uint32_t(Close_Wait_Ms))
            Sleep(10);
        if (TR_ScanDecode->InScan())
            TR_ScanDecode->SetInScan(false);
    }
    TR_ScanDecode->Event_Run()->ResetEvent();
}

// ---------------------------------------------------------------------------
// Layout

bool TFScanDecode::Wireless_Method() const
{
    return Form_Type == 1 && CB_ScanMethod->ItemIndex() == 1;
}

void TFScanDecode::Move_Object_Type_Form()
{
    const bool wireless = Wireless_Method();
    const bool serial = CB_HardwareType->ItemIndex() == 1;
    for (int i = 0; i < P_Main->ControlCount(); ++i)
        P_Main->Controls(i)->SetVisible(false);

    int top = First_Row;
    auto row = [&](TControl* label, std::initializer_list<TControl*> inputs, int labelLeft = Label_Left) {
        label->SetLeft(labelLeft);
        label->SetTop(top + 3);
        label->SetVisible(true);
        for (TControl* c : inputs) {
            c->SetTop(top);
            c->SetVisible(true);
        }
        top += Row_Step;
    };

    SetClientHeight(Form_Type == 1 ? 539 : 491);
    if (Form_Type == 1)
        row(L_ScanMethod, {CB_ScanMethod}, Header_Left);
    if (!wireless)
        row(L_ScanBy, {CB_ScanBy}, Header_Left);
    row(L_HardwareType, {CB_HardwareType}, Header_Left);
    if (!serial) {
        const std::array<TEdit*, 4> ip{E_IP1, E_IP2, E_IP3, E_IP4};
        const std::array<TLabel*, 3> dots{L_IP_Dot1, L_IP_Dot2, L_IP_Dot3};
        for (int i = 0; i < 4; ++i)
            ip[size_t(i)]->SetLeft(Input_Left + i * IP_Step);
        for (int i = 0; i < 3; ++i) {
            dots[size_t(i)]->SetLeft(Input_Left + i * IP_Step + 56);
            dots[size_t(i)]->SetTop(top + 3);
        }
        row(L_IP, {E_IP1, E_IP2, E_IP3, E_IP4, L_IP_Dot1, L_IP_Dot2, L_IP_Dot3}, Header_Left);
        if (wireless) {
            if (XML_Code_Dev == 12 || XML_Code_Dev == 15) {
                E_Port->SetText(QStringLiteral("10001"));
                E_Port->SetEnabled(false);
            } else {
                E_Port->SetEnabled(true);
            }
            row(L_Port, {E_Port}, Header_Left);
        }
    } else {
        Btn_COM_List->SetLeft(CB_ComPort->Left() + CB_ComPort->Width() + 6);
        row(L_ComPort, {CB_ComPort, Btn_COM_List}, Header_Left);
    }
    L_MBus_ParGen->SetLeft(Header_Left);
    L_MBus_ParGen->SetTop(top + 3);
    L_MBus_ParGen->SetVisible(true);
    top += Row_Step;
    if (wireless) {
        row(L_wMBus_Mode, {CB_wMBus_Mode});
        row(L_wMBus_Radio_Channel, {CB_wMBus_Radio_Channel});
        return;
    }
    row(L_MBus_Baud, {CB_MBus_Baud});
    row(L_MBus_Parity, {CB_MBus_Parity});
    L_Option_Scan->SetLeft(Header_Left);
    L_Option_Scan->SetTop(top + 3);
    L_Option_Scan->SetVisible(true);
    top += Row_Step;
    for (TCheckBox* c : {CB_Opt_App_Reset, CB_Opt_SND_NKE}) {
        c->SetTop(top);
        c->SetVisible(true);
        top += Row_Step;
    }
    row(L_Opt_Cut_After, {E_Opt_Cut_After});
}

void TFScanDecode::CB_HardwareTypeChange(TObject*)
{
    Move_Object_Type_Form();
}

void TFScanDecode::Form_Style(int n)
{
    FScreen = n;
    CB_HardwareType->SetItemIndex(0);
    CB_HardwareType->SetEnabled(false);

    for (TLbButton* b : {Btn_StartScan, Btn_StopScan, Btn_AbortScan, Btn_NewScan, Btn_SaveConf, Btn_SaveConfManual})
        b->SetVisible(false);
    const int home = Btn_StartScan->Left();
    const int next = home + Btn_StartScan->Width() + Button_Gap;
    auto place = [](TLbButton* b, int left) {
        b->SetLeft(left);
        b->SetVisible(true);
    };
    auto fill = [this](TPanel* p) {
        P_Main->SetAlign(alNone);
        P_Main->SetVisible(false);
        for (TPanel* q : {P_TreeView, P_View_Wireless}) {
            q->SetVisible(q == p);
            q->SetAlign(q == p ? alClient : alNone);
        }
    };
    switch (n) {
    case 1:
        P_TreeView->SetVisible(false);
        P_View_Wireless->SetVisible(false);
        P_Main->SetAlign(alClient);
        P_Main->SetVisible(true);
        place(Btn_StartScan, home);
        break;
    case 2:
    case 4:
        if (n == 2) {
            fill(P_TreeView);
            L_ScanProgress->SetCaption(Text_Of(Text_Progress));
            L_Num_Slave->SetVisible(false);
            L_AvailableDevice->SetVisible(true);
            LB_AvailableDevice->SetVisible(true);
            if (FView)
                FView->Show_Tree(TScanTree::Wired, false);
        } else {
            fill(P_View_Wireless);
        }
        place(Btn_StopScan, home);
        place(Btn_AbortScan, next);
        break;
    case 3:
    case 5: {
        if (n == 3) {
            fill(P_TreeView);
            L_ScanProgress->SetCaption(Text_Of(Text_Num_Slaves));
            L_Num_Slave->SetVisible(true);
            L_AvailableDevice->SetVisible(false);
            LB_AvailableDevice->SetVisible(false);
            if (FView)
                FView->Show_Tree(TScanTree::Wired, true);
        } else {
            fill(P_View_Wireless);
        }
        place(Btn_NewScan, home);
        place(Btn_SaveConf, next);
        Btn_SaveConfManual->SetLeft(next + Btn_SaveConf->Width() + Button_Gap);
        const bool hidden = n == 3 ? (XML_Code_Dev == 6 || XML_Code_Dev == 11 || XML_Code_Dev == 15)
                                   : XML_Code_Dev == 15;
        Btn_SaveConfManual->SetVisible(!hidden);
        break;
    }
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Buttons and scans

void TFScanDecode::BtnClick(TObject* Sender)
{
    if (Sender == Btn_StartScan) {
        Select_Scan();
    } else if (Sender == Btn_StopScan) {
        if (TR_ScanDecode->InScan())
            TR_ScanDecode->Stop_Scan();
    } else if (Sender == Btn_AbortScan) {
        if (TR_ScanDecode->InScan())
            TR_ScanDecode->Abort_Scan();
    } else if (Sender == Btn_NewScan) {
        Clear_Wired();
        Form_Style(1);
    } else if (Sender == Btn_SaveConf) {
        Select_SaveXML(0);
    } else if (Sender == Btn_SaveConfManual) {
        Select_SaveXML(1);
    }
}

void TFScanDecode::Select_Scan()
{
    if (Wireless_Method())
        StarScanWireless();
    else
        StartScan();
}

void TFScanDecode::Error(const QString& text)
{
    MessageDlg(text, mtError, MsgDlgButtons({mbOK}));
}

QString TFScanDecode::Gateway_Address(QString* typed) const
{
    const std::array<TEdit*, 4> edits{E_IP1, E_IP2, E_IP3, E_IP4};
    QStringList parts;
    bool decimal = true;
    for (TEdit* e : edits) {
        parts << e->Text();
        decimal = decimal && Decimal_Octet(e->Text());
    }
    const QString address = parts.join(QLatin1Char('.'));
    if (typed)
        *typed = address;
    uint32_t be = 0;
    if (!decimal || !MBus_Unicast_IPv4(address, be))
        return QString();
    return address;
}

int TFScanDecode::Cut_After_Frames() const
{
    const int64_t v = StrToInt64Def(E_Opt_Cut_After->Text(), 3);
    return int(std::clamp<int64_t>(v, 1, TMBusScanDecode::Max_Frames_Per_Meter));
}

void TFScanDecode::Clear_Wired()
{
    List_Slaves_MBus.Free_All();
    if (FView)
        FView->Clear_Tree(TScanTree::Wired);
}

void TFScanDecode::Clear_Wireless()
{
    List_Slaves_wMBus.Free_All();
    Cancel_Grid_Wireless();
    FWirelessNodes.clear();
    if (FView)
        FView->Clear_Tree(TScanTree::Wireless);
}

void TFScanDecode::StartScan()
{
    if (TR_ScanDecode->InScan()) {
        Error(Text_Of(Text_Busy));
        return;
    }
    const bool serial = CB_HardwareType->ItemIndex() == 1;
    QString address;
    if (serial) {
        const QString com = Combo_Text(CB_ComPort);
        address = COM_Port_Device(int(StrToInt64Def(com.mid(3), -1)));
    } else {
        QString typed;
        address = Gateway_Address(&typed);
        if (address.isEmpty()) {
            Error(QStringLiteral("Invalid IP address: ") + typed);
            return;
        }
    }
    Clear_Wired();
    const TScanType type = CB_ScanBy->ItemIndex() == 1 ? saSecondaryAddress : saPrimaryAddress;
    const int baud = int(StrToInt64Def(Combo_Text(CB_MBus_Baud), 2400));
    LB_AvailableDevice->Clear();
    LB_AvailableDevice->SetVisible(true);
    TR_ScanDecode->SaveXMLFile.clear();
    if (!TR_ScanDecode->Start_Scan(type, serial ? shSerial : shEthernet, address, baud,
                                   CB_MBus_Parity->ItemIndex(), CB_Opt_App_Reset->Checked(),
                                   CB_Opt_SND_NKE->Checked(), Cut_After_Frames(), Queued_Scan_Report())) {
        Error(TR_ScanDecode->Last_Error());
        return;
    }
    Form_Style(2);
    T_InScan->SetEnabled(true);
}

void TFScanDecode::StarScanWireless()
{
    if (TR_ScanDecode->InScan()) {
        Error(Text_Of(Text_Busy));
        return;
    }
    const int64_t port = StrToInt64Def(E_Port->Text(), -1);
    if (port < 0 || port > 65535) {
        Error(Text_Of(Text_Bad_Port));
        return;
    }
    QString typed;
    const QString address = Gateway_Address(&typed);
    if (address.isEmpty()) {
        Error(QStringLiteral("Invalid IP address: ") + typed);
        return;
    }
    Clear_Wireless();
    const int modeIndex = std::clamp(CB_wMBus_Mode->ItemIndex(), 0, int(std::size(Wireless_Modes)) - 1);
    if (!TR_ScanDecode->Start_Scan_Wireless(shEthernet, address, quint16(port), Wireless_Modes[modeIndex],
                                            std::max(CB_wMBus_Radio_Channel->ItemIndex(), 0),
                                            Queued_Wireless_Report(), false)) {
        Error(TR_ScanDecode->Last_Error());
        return;
    }
    Form_Style(4);
    T_InScan->SetEnabled(true);
}

void TFScanDecode::T_InScanTimer(TObject*)
{
    T_InScan->SetEnabled(false);
    if (TR_ScanDecode->InScan()) {
        T_InScan->SetEnabled(true);
        return;
    }
    if (TR_ScanDecode->Result() == 2) {
        Error(Text_Of(Text_No_Analyzer));
        Form_Style(1);
    } else if (Wireless_Method()) {
        Form_Style(5);
    } else {
        Form_Style(3);
        Show_Slave_in_Tree();
    }
}

// ---------------------------------------------------------------------------
// The engine's reports

TUpdateSlaveList TFScanDecode::Queued_Scan_Report()
{
    std::weak_ptr<bool> alive = FAlive;
    return [this, alive](int32_t Kind, int32_t Address, int32_t Found, int32_t ScanType) {
        TThread::Queue(nullptr, [this, alive, Kind, Address, Found, ScanType] {
            if (alive.lock())
                Scan_Event_Reported(Kind, Address, Found, ScanType);
        });
    };
}

TUpdateListWirelessSlave TFScanDecode::Queued_Wireless_Report()
{
    std::weak_ptr<bool> alive = FAlive;
    return [this, alive](int32_t Index, const TWirelessSlaveRow* Device) {
        if (!Device)
            return;
        TThread::Queue(nullptr, [this, alive, Index, row = *Device] {
            if (alive.lock())
                Wireless_Slave_Updated(Index, row);
        });
    };
}

void TFScanDecode::Scan_Event_Reported(int32_t Kind, int32_t Address, int32_t Found, int32_t ScanType)
{
    QString line;
    switch (Kind) {
    case 1: line = Text_Of(Text_Sec_Start); break;
    case 2: line = Progress_Line(Address, Found, ScanType); break;
    case 3: line = Text_Of(Text_Sec_End); break;
    default: return;
    }
    LB_AvailableDevice->Items()->Add(line);
    // Scrolled so that the last line shows at the bottom.
    const int rows = std::max(1, LB_AvailableDevice->ClientRect().Height() / std::max(1, LB_AvailableDevice->ItemHeight()));
    LB_AvailableDevice->SetTopIndex(std::max(0, LB_AvailableDevice->Items()->Count() - rows));
}

void TFScanDecode::LB_AvailableDeviceDrawItem(TWinControl*, int Index, TRect Rect, unsigned)
{
    if (Index < 0 || Index >= LB_AvailableDevice->Items()->Count())
        return;
    TCanvas* c = LB_AvailableDevice->Canvas();
    c->FillRect(Rect);
    const QList<TProgressPart> parts = Progress_Line_Parts(LB_AvailableDevice->Items()->Strings(Index));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const TProgressPart& p = parts[i];
        c->Font().SetColor(p.Color);
        TRect r = Rect;
        r.Left = Rect.Left + p.X;
        if (i + 1 < parts.size())
            r.Right = std::min(Rect.Right, Rect.Left + parts[i + 1].X);
        c->TextRect(r, r.Left + 2, Rect.Top + 1, p.Text);
    }
}

void TFScanDecode::Wireless_Slave_Updated(int32_t Index, const TWirelessSlaveRow& Device)
{
    if (!FView || Index < 0)
        return;
    if (FView->Wireless_Row_Count() < Index + 2)
        FView->Set_Wireless_Row_Count(Index + 2);
    FView->Set_Wireless_Row(Index + 1, Wireless_Row_Cells(Index, Device),
                            Device.Cripted ? Wireless_Cripted_Color : Wireless_Readable_Color,
                            Device.Cripted ? 0 : 1);
}

void TFScanDecode::Cancel_Grid_Wireless()
{
    if (FView)
        FView->Clear_Wireless_Grid();
}

// ---------------------------------------------------------------------------
// Trees

void TFScanDecode::Show_Slave_in_Tree()
{
    if (!FView)
        return;
    FView->Clear_Tree(TScanTree::Wired);
    auto list = List_Slaves_MBus.Lock();
    L_Num_Slave->SetCaption(QString::number(list->size()));
    Index_Dev_MBus = 0;
    for (TSlave_MBus* d : *list) {
        d->Node = FView->Add_Node(TScanTree::Wired, nullptr, Wired_Device_Text(*d), true, true);
        Index_Var_MBus = 0;
        for (TVariable_MBus* v : d->List_Var) {
            v->Node = FView->Add_Node(TScanTree::Wired, d->Node, Record_Text(*v), true, true);
            for (const QString& t : Record_Detail_Texts(*v))
                FView->Add_Node(TScanTree::Wired, v->Node, t, false, false);
            ++Index_Var_MBus;
        }
        ++Index_Dev_MBus;
    }
}

void TFScanDecode::Show_Slave_in_Tree_Wireless(int Index)
{
    if (!FView)
        return;
    FView->Clear_Tree(TScanTree::Wireless);
    FWirelessNodes.clear();
    auto list = List_Slaves_wMBus.Lock();
    if (Index < 0 || Index >= list->size())
        return;
    const TSlave_wMBus* d = (*list)[Index];
    TMBusTreeNode* top = FView->Add_Node(TScanTree::Wireless, nullptr, Wireless_Device_Text(*d), true, d->Enable);
    FWirelessNodes.insert(top, {Index, -1});
    for (int r = 0; r < d->List_Var.size(); ++r) {
        const TVariable_MBus* v = d->List_Var[r];
        const QString text = v->Real_Wireless_Var ? Record_Text(*v) : QStringLiteral("Idle Filler");
        TMBusTreeNode* node = FView->Add_Node(TScanTree::Wireless, top, text, true, v->Enable);
        FWirelessNodes.insert(node, {Index, r});
        for (const QString& t : Record_Detail_Texts(*v))
            FView->Add_Node(TScanTree::Wireless, node, t, false, false);
    }
    // The meter's box follows its records: what it shows is what is saved.
    if (!d->List_Var.isEmpty())
        (*list)[Index]->Enable = top->Checked();
}

void TFScanDecode::VST_WirelessChecked(TMBusTreeNode* Node, bool Checked)
{
    const auto it = FWirelessNodes.constFind(Node);
    if (it == FWirelessNodes.constEnd())
        return;
    const auto [device, record] = *it;
    auto list = List_Slaves_wMBus.Lock();
    if (device < 0 || device >= list->size())
        return;
    TSlave_wMBus* d = (*list)[device];
    if (record < 0)
        d->Enable = Checked;
    else if (record < d->List_Var.size())
        d->List_Var[record]->Enable = Checked;
}

void TFScanDecode::SG_WirelessClickCell(int, int ARow)
{
    if (ARow >= 1)
        Show_Slave_in_Tree_Wireless(ARow - 1);
}

void TFScanDecode::SG_WirelessDblClickCell(int, int ARow)
{
    if (ARow < 1 || !FInsertKeyWireless)
        return;
    {
        auto list = List_Slaves_wMBus.Lock();
        if (ARow - 1 >= list->size() || !(*list)[ARow - 1]->Cripted)
            return;
    }
    // At the mouse, moved left and up as far as needed to stay inside.
    TFInsertKeyWireless* k = FInsertKeyWireless;
    const TPoint p = GetCursorPos();
    const TRect inside = BoundsRect();
    const int x = std::max(inside.Left, std::min(p.X, inside.Right - k->Width()));
    const int y = std::max(inside.Top, std::min(p.Y, inside.Bottom - k->Height()));
    k->SetBounds(x, y, k->Width(), k->Height());
    if (k->ShowModal() != mrOk)
        return;
    const QString text = k->E_Key->Text();
    std::array<uint8_t, 16> key{};
    for (int i = 0; i < 16; ++i)
        key[size_t(i)] = uint8_t(StrToInt64Def(QStringLiteral("0x") + text.mid(2 * i, 2), 0));
    TR_ScanDecode->Insert_Wireless_Key(ARow - 1, key);
}

// ---------------------------------------------------------------------------
// Other handlers

void TFScanDecode::KeyPress(TObject* Sender, QChar& Key)
{
    if (Key != QLatin1Char('.'))
        return;
    Key = QChar(0);
    TEdit* next = Sender == E_IP1 ? E_IP2 : Sender == E_IP2 ? E_IP3 : Sender == E_IP3 ? E_IP4 : nullptr;
    if (next && next->CanFocus())
        next->SetFocus();
}

void TFScanDecode::Btn_COM_ListClick(TObject*)
{
    Update_List_of_COM_Port();
}

void TFScanDecode::Update_List_of_COM_Port()
{
    CB_ComPort->Items()->Clear();
    for (const QString& n : List_COM_Ports())
        CB_ComPort->Items()->Add(QStringLiteral("COM") + n);
    CB_ComPort->SetItemIndex(CB_ComPort->Items()->Count() > 0 ? 0 : -1);
}

// ---------------------------------------------------------------------------
// Saving

void TFScanDecode::Carica_Dati_Modbus_Start_Add()
{
    TExColumnGrid* g = FModbusStartAdd_SD->sga;
    QStringList ids;
    if (Wireless_Method()) {
        auto list = List_Slaves_wMBus.Lock();
        for (const TSlave_wMBus* d : *list)
            ids << QString::number(d->ALA_Address);
    } else {
        auto list = List_Slaves_MBus.Lock();
        for (const TSlave_MBus* d : *list)
            ids << QString::number(d->Primary_Addresss) + QStringLiteral(" - ") + d->Secondary_Addresss;
    }
    g->SetRowCount(int(ids.size()) + 1);
    for (int i = 0; i < ids.size(); ++i) {
        g->SetCellEx(0, i + 1, ids[i]);
        g->SetCellEx(1, i + 1, QStringLiteral("1"));
    }
}

void TFScanDecode::Select_SaveXML(int Type)
{
    const bool wireless = Wireless_Method();
    // Nothing found: nothing to ask and nothing to write.
    if ((wireless ? List_Slaves_wMBus.Count() : List_Slaves_MBus.Count()) == 0)
        return;
    const bool exists = FileExists(FileName_MBus);
    int append = 0;
    if (exists) {
        const int answer = MessageDlg(Text_Of(Text_Append), mtConfirmation, mbYesNoCancel);
        if (answer != mrYes && answer != mrNo)
            return;
        append = answer == mrYes ? 1 : 0;
    }
    int start = 1;
    if (Type == 1) {
        if (Asks_Registers(XML_Code_Dev)) {
            Carica_Dati_Modbus_Start_Add();
            if (FModbusStartAdd_SD->ShowModal() != mrOk)
                return;
        }
    } else if (append == 1 && Asks_Registers(XML_Code_Dev)) {
        if (FScanModbusStart->ShowModal() != mrOk)
            return;
        start = FScanModbusStart->StartModAdd;
    }
    if (!exists) {
        append = 0;
        start = 1;
    }
    if (wireless)
        SaveXMLWireless(append, start, Type);
    else
        SaveXML(append, start, Type);
}

namespace {

TSaveConfXML Per_Node_Settings(int Append, int StartReg, int Type, int code, const QString& file)
{
    TSaveConfXML s;
    s.Append = Append;
    s.XML_Code_Dev = code;
    s.Mod_Start = StartReg;
    s.StartModnode = Type;
    s.File_Name = file;
    if (FModbusStartAdd_SD) {
        TExColumnGrid* g = FModbusStartAdd_SD->sga;
        for (int r = 1; r < g->RowCount(); ++r)
            s.SMN_Array.append(int32_t(StrToInt64Def(g->GetCellEx(1, r), 1)));
        s.En_NodeState = FModbusStartAdd_SD->CB_En_NodeState->Checked();
        s.En_IdeNum = FModbusStartAdd_SD->CB_En_IndNum->Checked();
    }
    return s;
}

} // namespace

void TFScanDecode::SaveXML(int Append, int StartReg, int Type)
{
    TSaveConfXML s = Per_Node_Settings(Append, StartReg, Type, XML_Code_Dev, FileName_MBus);
    s.Index_Baud = CB_MBus_Baud->ItemIndex();
    s.Index_Par = CB_MBus_Parity->ItemIndex();
    s.Node_ID_Type = CB_ScanBy->ItemIndex();
    s.SND_NKE = CB_Opt_SND_NKE->Checked() ? 1 : 0;
    s.Reset_App = CB_Opt_App_Reset->Checked() ? 1 : 0;
    s.Cut_After = Cut_After_Frames();
    try {
        if (TR_ScanDecode->Save_XML_Conf_Wired(s))
            MessageDlg(Text_Of(Text_Saved), mtInformation, MsgDlgButtons({mbOK}));
    } catch (const Exception& e) {
        Error(e.Message());
    }
}

void TFScanDecode::SaveXMLWireless(int Append, int StartReg, int Type)
{
    TSaveConfXML s = Per_Node_Settings(Append, StartReg, Type, XML_Code_Dev, FileName_MBus);
    s.Index_Baud = 0;
    s.Index_Par = 0;
    s.SND_NKE = 0;
    s.Reset_App = 0;
    s.Cut_After = 3;
    try {
        if (TR_ScanDecode->Save_XML_Conf_Wireless(s))
            MessageDlg(Text_Of(Text_Saved), mtInformation, MsgDlgButtons({mbOK}));
    } catch (const Exception& e) {
        Error(e.Message());
    }
}
