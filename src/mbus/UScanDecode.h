#pragma once
// The "Scan & Decode" window of the M-Bus models: how to reach the gateway
// and how to scan, the scan's progress, the meters found (wired ones in a
// tree, wireless ones in a grid with a tree of the clicked meter), keys for
// encrypted wireless meters, and saving the choice into the network file.
//
// The window owns the scan engine (a thread that lives as long as the
// window). The engine reports from its own thread (wired progress) and from
// the UDP listener (wireless devices); both reports carry data only and are
// handed to the user-interface thread with TThread::Queue, so no control is
// ever touched from another thread. The wireless device list is read only
// under its lock.
//
// The two trees and the wireless grid are reached through IScanDecodeView,
// so the window's logic runs the same over the real controls and over a
// recording view in tests.
#include "mbus/MBusRecords.h"
#include "mbus/UMBusScanDecode.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Graphics.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>

class TLabel;
class TEdit;
class TPanel;
class TCheckBox;
class TComboBox;
class TListBox;
class TSplitter;
class TTimer;
class TLbButton;

enum class TScanTree { Wired, Wireless };

// What the window needs of its two device trees and its wireless grid.
class IScanDecodeView {
public:
    virtual ~IScanDecodeView() = default;
    // Shows or hides the tree (the wired one gives way to the progress list
    // while a scan runs).
    virtual void Show_Tree(TScanTree tree, bool visible) = 0;
    // Removes every node of the tree.
    virtual void Clear_Tree(TScanTree tree) = 0;
    // A node under `parent` (null: a top node) showing `text`, its image its
    // level; with a check box in the given state when `checkBox`. The node
    // stays valid until the tree is cleared.
    virtual TMBusTreeNode* Add_Node(TScanTree tree, TMBusTreeNode* parent, const QString& text, bool checkBox,
                                    bool checked) = 0;
    // Two rows, the data row empty and white.
    virtual void Clear_Wireless_Grid() = 0;
    virtual int Wireless_Row_Count() = 0;
    virtual void Set_Wireless_Row_Count(int rows) = 0;
    // The texts of one data row from column 0, every written cell in
    // `color`, and the image in the last column, centred.
    virtual void Set_Wireless_Row(int row, const QStringList& cells, TColor color, int image) = 0;
};

// Colours of a wireless row.
inline constexpr TColor Wireless_Cripted_Color = 12172287;  // light red
inline constexpr TColor Wireless_Readable_Color = 11075496; // light green

// ---------------------------------------------------------------------------
// Texts of the trees, the grid and the progress list

QString Wired_Device_Text(const TSlave_MBus& d);
QString Record_Text(const TVariable_MBus& v);
// The twelve detail lines of a record, in order.
QStringList Record_Detail_Texts(const TVariable_MBus& v);
QString Wireless_Device_Text(const TSlave_wMBus& d);
// The cells of wireless row index + 1 up to RSSI (the image column is not
// text).
QStringList Wireless_Row_Cells(int index, const TWirelessSlaveRow& d);
// The progress line of a wired scan's report (Kind 2).
QString Progress_Line(int32_t Address, int32_t Found, int32_t ScanType);

// One piece of a progress line as it is drawn, x from the item's left.
struct TProgressPart {
    QString Text;
    int X = 0;
    TColor Color = clBlue;
};
QList<TProgressPart> Progress_Line_Parts(const QString& line);

// The ParGen.xml keys of the four IP parts for a device code.
std::array<QString, 4> ParGen_IP_Keys(int XML_Code_Dev);

// ---------------------------------------------------------------------------

class TFScanDecode : public TForm {
    KAL_CLASS(TFScanDecode, TForm)
public:
    explicit TFScanDecode(TComponent* AOwner);
    ~TFScanDecode() override;
    void AfterConstruction() override;

    // -- controls
    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TPanel* P_Main = nullptr;
    TLabel* L_ScanMethod = nullptr;
    TComboBox* CB_ScanMethod = nullptr;
    TLabel* L_ScanBy = nullptr;
    TComboBox* CB_ScanBy = nullptr;
    TLabel* L_HardwareType = nullptr;
    TComboBox* CB_HardwareType = nullptr;
    TLabel* L_IP = nullptr;
    TEdit* E_IP1 = nullptr;
    TEdit* E_IP2 = nullptr;
    TEdit* E_IP3 = nullptr;
    TEdit* E_IP4 = nullptr;
    TLabel* L_IP_Dot1 = nullptr;
    TLabel* L_IP_Dot2 = nullptr;
    TLabel* L_IP_Dot3 = nullptr;
    TLabel* L_ComPort = nullptr;
    TComboBox* CB_ComPort = nullptr;
    TLbButton* Btn_COM_List = nullptr;
    TLabel* L_Port = nullptr;
    TEdit* E_Port = nullptr;
    TLabel* L_MBus_ParGen = nullptr;
    TLabel* L_MBus_Baud = nullptr;
    TComboBox* CB_MBus_Baud = nullptr;
    TLabel* L_MBus_Parity = nullptr;
    TComboBox* CB_MBus_Parity = nullptr;
    TLabel* L_wMBus_Mode = nullptr;
    TComboBox* CB_wMBus_Mode = nullptr;
    TLabel* L_wMBus_Radio_Channel = nullptr;
    TComboBox* CB_wMBus_Radio_Channel = nullptr;
    TLabel* L_Option_Scan = nullptr;
    TCheckBox* CB_Opt_App_Reset = nullptr;
    TCheckBox* CB_Opt_SND_NKE = nullptr;
    TLabel* L_Opt_Cut_After = nullptr;
    TEdit* E_Opt_Cut_After = nullptr;
    TPanel* P_TreeView = nullptr;
    TLabel* L_ScanProgress = nullptr;
    TLabel* L_Num_Slave = nullptr;
    TLabel* L_AvailableDevice = nullptr;
    TListBox* LB_AvailableDevice = nullptr;
    TPanel* P_View_Wireless = nullptr;
    TPanel* P_W_Title = nullptr;
    TPanel* P_W_Table = nullptr;
    TSplitter* Splitter1 = nullptr;
    TPanel* P_W_Tree = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_StartScan = nullptr;
    TLbButton* Btn_StopScan = nullptr;
    TLbButton* Btn_AbortScan = nullptr;
    TLbButton* Btn_NewScan = nullptr;
    TLbButton* Btn_SaveConf = nullptr;
    TLbButton* Btn_SaveConfManual = nullptr;
    TTimer* T_InScan = nullptr;

    // -- state
    TMBusScanDecode* TR_ScanDecode = nullptr;
    int32_t Index_Dev_MBus = 0;
    int32_t Index_Var_MBus = 0;
    int32_t XML_Code_Dev = 0;
    QString FileName_MBus;
    int32_t Form_Type = 0;
    // The screen state Form_Style last set.
    int Screen() const { return FScreen; }

    // Where the wired and the wireless tree sit.
    TWinControl* Tree_Parent(TScanTree tree) const;

    // The trees and the grid; the window owns the view.
    IScanDecodeView* View() const { return FView.get(); }
    void Set_View(std::unique_ptr<IScanDecodeView> view);

    // -- handlers
    void FormCreate();
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void BtnClick(TObject* Sender);
    void T_InScanTimer(TObject* Sender);
    void KeyPress(TObject* Sender, QChar& Key);
    void CB_HardwareTypeChange(TObject* Sender);
    void Btn_COM_ListClick(TObject* Sender);
    void LB_AvailableDeviceDrawItem(TWinControl* Control, int Index, TRect Rect, unsigned State);
    void SG_WirelessClickCell(int ACol, int ARow);
    void SG_WirelessDblClickCell(int ACol, int ARow);
    // A user change of a check box of the wireless tree.
    void VST_WirelessChecked(TMBusTreeNode* Node, bool Checked);

    // -- the engine's reports, on the user-interface thread
    void Scan_Event_Reported(int32_t Kind, int32_t Address, int32_t Found, int32_t ScanType);
    void Wireless_Slave_Updated(int32_t Index, const TWirelessSlaveRow& Device);

    // The callbacks handed to the engine: they carry the report to this
    // window's thread; a report that arrives after the window is gone does
    // nothing.
    TUpdateSlaveList Queued_Scan_Report();
    TUpdateListWirelessSlave Queued_Wireless_Report();

    // -- own steps
    void Set_Lang();
    void Move_Object_Type_Form();
    void Form_Style(int n);
    void Select_Scan();
    void StartScan();
    void StarScanWireless();
    void Show_Slave_in_Tree();
    void Show_Slave_in_Tree_Wireless(int Index);
    void Cancel_Grid_Wireless();
    void Update_List_of_COM_Port();
    void Carica_Dati_Modbus_Start_Add();
    void Select_SaveXML(int Type);
    void SaveXML(int Append, int StartReg, int Type);
    void SaveXMLWireless(int Append, int StartReg, int Type);
    // True when a wireless scan is chosen.
    bool Wireless_Method() const;
    // Cut After as typed, held to the frames the engine reads (1..250); 3
    // when it is not a number.
    int Cut_After_Frames() const;
    // The gateway address of the four IP parts, or empty with the address as
    // typed in `typed` when a part is not 0..255 or it is not one unicast
    // address.
    QString Gateway_Address(QString* typed = nullptr) const;

    // Closing waits at most this long for the engine's closing states.
    static constexpr int Close_Wait_Ms = 6000;

private:
    void Create_Controls();
    void Create_Options();
    void Fill_Combos();
    void Read_ParGen_IP();
    void Clear_Wired();
    void Clear_Wireless();
    void Error(const QString& text);
    TLabel* Option_Label(const char* name);
    TComboBox* Option_Combo(const char* name, int width);
    TEdit* Option_Edit(const char* name, int width, const QString& text);

    std::unique_ptr<IScanDecodeView> FView;
    // The wireless tree's nodes: device (record -1) or record of a device.
    QHash<TMBusTreeNode*, QPair<int, int>> FWirelessNodes;
    int FScreen = 0;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

extern TFScanDecode* FScanDecode;

// The real controls behind the view: the wired and wireless trees and the
// wireless grid, placed on the window's panels.
std::unique_ptr<IScanDecodeView> Make_Scan_Decode_View(TFScanDecode* window);
