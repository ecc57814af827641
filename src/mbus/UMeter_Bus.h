#pragma once
// The M-Bus network dialog: a tree of the nodes (meters) of M_Bus.xml and
// their variables on the left, and a page control with the selected node's
// settings ("Nodes") and the selected variable's ("Variables") on the right.
//
// The tree mirrors the list: child i of the root item stands for node i of
// Nodi_List and child j of that item for variable j of the node; every step
// that adds, removes or renames changes both together, additions going to the
// end of both. Each node and variable is checked when added or modified; the
// byte count of the enabled part of the network is shown after every change
// and bounds what OK writes. The file is read when the dialog is shown and
// written whole on OK.
#include "mbus/MBusNetwork.h"
#include "platform/controls/Forms.h"

#include <QList>
#include <QString>
#include <memory>

class TLabel;
class TEdit;
class TPanel;
class TCheckBox;
class TComboBox;
class TRadioButton;
class TLbButton;
class TTreeView;
class TTreeNode;
class TPopupMenu;
class TMenuItem;
class TOpenDialog;
class TExPageControl;
class TExTabSheet;

// The largest configuration the gateway's data area takes.
inline constexpr int MBus_Max_Bytes = 1439;

class TFMeter_Bus : public TForm {
    KAL_CLASS(TFMeter_Bus, TForm)
public:
    explicit TFMeter_Bus(TComponent* AOwner);
    ~TFMeter_Bus() override;
    void AfterConstruction() override;

    // -- title and buttons
    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_Title = nullptr;
    TLabel* L_MBus_NumByte = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_ImportNet = nullptr;
    std::unique_ptr<TOpenDialog> OD_Import_Net;

    // -- the tree and its menu
    TTreeView* TW = nullptr;
    TPopupMenu* PM_CopyPaste = nullptr;
    TMenuItem* CopyVariable1 = nullptr;
    TMenuItem* PasteVariable1 = nullptr;
    TMenuItem* CopyNode1 = nullptr;
    TMenuItem* PasteNode1 = nullptr;
    TMenuItem* DeleteItems1 = nullptr;

    // -- the pages
    TExPageControl* PC_MBus = nullptr;
    TExTabSheet* TS_Nodes = nullptr;
    TExTabSheet* TS_Variables = nullptr;

    // Nodes page
    TCheckBox* CB_Enable_Node = nullptr;
    TLabel* L_New_Node_Desc = nullptr;
    TEdit* E_New_Node_Desc = nullptr;
    TLabel* L_MBus_Type = nullptr;
    TComboBox* CB_MBus_Type = nullptr;
    TRadioButton* RB_ID_Primary = nullptr;
    TEdit* E_New_Node_ID_Pri = nullptr;
    TRadioButton* RB_ID_Secondary = nullptr;
    TEdit* E_New_Node_ID_Sec = nullptr;
    TCheckBox* CB_Node_State = nullptr;
    TCheckBox* CB_Ident_Num = nullptr;
    TLabel* L_Swap_IN = nullptr;
    TComboBox* CB_Swap_IN = nullptr;
    TCheckBox* CB_BCDtoINT_IN = nullptr;
    TCheckBox* CB_SND_NKE = nullptr;
    TCheckBox* CB_Reset_App = nullptr;
    TLabel* L_Var_Type = nullptr;
    TComboBox* CB_Var_Type = nullptr;
    TLabel* L_Cut_After = nullptr;
    TComboBox* CB_Cut_After = nullptr;
    TLabel* L_Frames = nullptr;
    TLbButton* btn_Add_Node = nullptr;
    TPanel* P_wMBus_Node = nullptr;
    TLabel* L_wMBus_ManID = nullptr;
    TEdit* E_wMBus_ManID = nullptr;
    TLabel* L_wMBus_Add = nullptr;
    TEdit* E_wMBus_Add = nullptr;
    TLabel* L_wMBus_Ver = nullptr;
    TEdit* E_wMBus_Ver = nullptr;
    TLabel* L_wMBus_DevType = nullptr;
    TEdit* E_wMBus_DevType = nullptr;
    TCheckBox* CB_wMBus_EnKey = nullptr;
    TLabel* L_wMBus_K[16] = {};
    TEdit* E_wMBus_K[16] = {};  // E_wMBus_K1 .. E_wMBus_K16
    TCheckBox* CB_wMBus_Node_State = nullptr;
    TCheckBox* CB_wMBus_Ident_Num = nullptr;
    TCheckBox* CB_wMBus_Conv_BCD = nullptr;
    TLabel* L_wMBus_Swap_Ident = nullptr;
    TComboBox* CB_wMBus_Swap_Ident = nullptr;
    TLabel* L_wMBus_VarList = nullptr;
    TComboBox* CB_wMBus_VarList = nullptr;

    // Variables page
    TCheckBox* CB_Var_En = nullptr;
    TLabel* L_New_Var_Desc = nullptr;
    TEdit* E_New_Var_Desc = nullptr;
    TLabel* L_Var_ToD = nullptr;
    TComboBox* CB_Var_ToD = nullptr;
    TLabel* L_VIF_ASCII = nullptr;
    TEdit* E_VIF_ASCII = nullptr;
    TLabel* L_Var_FF = nullptr;
    TComboBox* CB_Var_FF = nullptr;
    TLabel* L_Var_Dim = nullptr;
    TComboBox* CB_Var_Dim = nullptr;
    TLabel* L_Length = nullptr;
    TEdit* E_Length = nullptr;
    TLabel* L_Var_Unit = nullptr;
    TComboBox* CB_Var_Unit = nullptr;
    TLabel* L_Sto_Num = nullptr;
    TEdit* E_Sto_Num = nullptr;
    TLabel* L_Tariff = nullptr;
    TEdit* E_Tariff = nullptr;
    TLabel* L_VIFE = nullptr;
    TComboBox* CB_VIFE = nullptr;
    TCheckBox* CB_BCDtoINT = nullptr;
    TCheckBox* CB_Float = nullptr;
    TCheckBox* CB_Force_Int32 = nullptr;
    TCheckBox* CB_TP_MR = nullptr;
    TLabel* L_Position = nullptr;
    TEdit* E_Position = nullptr;
    TLabel* L_PostOpe = nullptr;
    TComboBox* CB_PostOpe = nullptr;
    TLbButton* btn_Add_Var = nullptr;

    // -- state
    TNodoList Nodi_List;
    TTreeNode* NODE_ORIG = nullptr;
    TTreeNode* NODE_ID = nullptr;
    TTreeNode* SELECT_NODE = nullptr;
    int IND_NODO = -1;
    int IND_VAR = -1;
    std::unique_ptr<TVariabile> Copy_Var;
    std::unique_ptr<TNodo> Copy_Node;
    bool Is_Change = false;
    TWndMethod CB_VAR_TOD_WindowProcORIGINAL;
    TWndMethod CB_VIFE_WindowProcORIGINAL;
    // The file shown could not be read: OK keeps it beside as ".bad" first.
    bool File_Unreadable = false;

    // -- handlers
    void FormCreate();
    void FormShow(TObject* Sender);
    void TWClick(TObject* Sender);
    void TWChange(TObject* Sender, TTreeNode* Node);
    void btn_Add_NodeClick(TObject* Sender);
    void btn_Add_VarClick(TObject* Sender);
    void btn_Delete_ItemClick(TObject* Sender);
    void CopyVariable1Click(TObject* Sender);
    void PasteVariable1Click(TObject* Sender);
    void CopyNode1Click(TObject* Sender);
    void PasteNode1Click(TObject* Sender);
    void Btn_ImportNetClick(TObject* Sender);
    void LbButton2Click(TObject* Sender);
    void LbButton4Click(TObject* Sender);
    void CB_Var_ToDChange(TObject* Sender);
    void CB_Var_DimChange(TObject* Sender);
    void CB_MBus_TypeChange(TObject* Sender);

    // -- own steps
    void Aggiorna_Label();
    void Aggiorna_Label_Num_Byte();
    int Calcola_Byte_Usati() const;
    bool Controllo_Dati_New_Nodo();
    bool Controllo_Dati_New_Var();
    bool Check_Node_ID(int ID);
    bool Check_Node_ID2(int ID, int Type_ID);
    void Sposta_Oggetti_Var(int Var_List_Type);
    void Nodes_Move_Elements();
    void Select_Width_ComboBox(TComboBox* Combo);
    void Set_Lang();
    void CB_Var_ToD_WindowProc(TMessage& Message);
    void CB_VIFE_WindowProc(TMessage& Message);

    // The tree texts of a node and of a variable.
    static QString Node_Item_Text(const TNodo& N);
    static QString Var_Item_Text(const TVariabile& V);

private:
    // The tree is being rebuilt: its selection changes are not the user's.
    bool FLoading = false;
    void Create_Controls();
    void Create_Node_Page();
    void Create_Variable_Page();
    void Create_Menu();
    // The showing steps: the file read again into the list and the tree.
    void Load_Network();
    void Clear_Network();
    void Add_Node_Items(const TNodo& N);
    void Fill_Node_Page(const TNodo& N);
    void Fill_Variable_Page(const TVariabile& V);
    void Reset_Variable_Page();
    void Take_Node(TNodo& N);
    void Take_Variable(TVariabile& V);
    void Align_List_Right(TComboBox* Combo, const TMessage& Message);
    void Error(int Text);
    bool Confirm(int Text);
};

extern TFMeter_Bus* FMeter_Bus;
