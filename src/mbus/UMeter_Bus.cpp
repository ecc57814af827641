#include "mbus/UMeter_Bus.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "gridpack/pagecontrol/ExPageControl.h"
#include "mbus/UNewIDNode.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/StdMessages.h"
#include "platform/controls/TreeView.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "project/MBusCodes.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// Texts of the dialog's messages.
enum : int {
    Text_Storage = 783, Text_Tariff = 784, Text_Length = 785, Text_Position = 786, Text_Primary = 787,
    Text_Secondary = 788, Text_ID_Used = 789, Text_Delete_All = 790, Text_Delete_Node = 791,
    Text_Delete_Var = 792, Text_Select_Var = 793, Text_Select_Var_Node = 794, Text_Select_Node = 795,
    Text_Copy_Var_Before = 796, Text_Select_Paste_Node = 797, Text_Exit_Unsaved = 798,
    Text_Overwrite_Network = 799, Text_Bytes_Used = 800, Text_Bytes_Over = 801, Text_ManID = 829,
    Text_Version = 831, Text_DevType = 832, Text_Project_Not_Valid = 18,
    Text_Add_Node = 763, Text_Modify_Node = 764, Text_Add_Var = 781, Text_Modify_Var = 782,
};

constexpr int Row_Step = 24;
constexpr int Label_Left = 8, Field_Left = 210, Field_Width = 240;
// The type and dimension codes that enable their extra field.
constexpr int Type_VIF_ASCII = MBusCodes::Type_VIF_ASCII;
constexpr int Dim_Variable_Length = MBusCodes::Dim_Variable_Length;

const QString Root_Text = QStringLiteral("M-Bus Network");

// A row of a page: a label or check box and the fields beside it, moved and
// shown together.
struct TRow {
    QList<TControl*> Parts;
    void Place(int top) const {
        for (TControl* c : Parts) c->SetTop(top + (dynamic_cast<TLabel*>(c) ? 3 : 0));
    }
    void Show(bool v) const {
        for (TControl* c : Parts) c->SetVisible(v);
    }
};

bool In_Range(int64_t v, int64_t lo, int64_t hi) { return v >= lo && v <= hi; }
int64_t Number(const TEdit* e) { return StrToInt64Def(e->Text(), -1); }

std::unique_ptr<TNodo> Deep_Copy(const TNodo& src) {
    auto n = std::make_unique<TNodo>();
    n->Enable = src.Enable;
    n->Description = src.Description;
    n->Node_ID_Primary = src.Node_ID_Primary;
    n->Node_ID_Secondary = src.Node_ID_Secondary;
    n->Send_SNK = src.Send_SNK;
    n->Reset_App = src.Reset_App;
    n->Node_State = src.Node_State;
    n->Ident_Num = src.Ident_Num;
    n->BCDtoINT_IN = src.BCDtoINT_IN;
    n->Swap_Ident = src.Swap_Ident;
    n->Node_ID_Type = src.Node_ID_Type;
    n->Var_List_Type = src.Var_List_Type;
    n->Cut_After = src.Cut_After;
    n->MBus_Type = src.MBus_Type;
    n->wMBus_ManID = src.wMBus_ManID;
    n->wMBus_Add = src.wMBus_Add;
    n->wMBus_Ver = src.wMBus_Ver;
    n->wMBus_DevType = src.wMBus_DevType;
    n->wMBus_En_Key = src.wMBus_En_Key;
    n->wMBus_Key = src.wMBus_Key;
    for (const auto& v : src.Var_List) n->Var_List.push_back(std::make_unique<TVariabile>(*v));
    return n;
}

// A combo's index for a stored code; no selection for a code it cannot show.
void Select(TComboBox* c, int code) { c->SetItemIndex(code >= 0 && code < c->Items()->Count() ? code : -1); }

// The address that identifies a wired node.
int Node_Address(const TNodo& n) { return n.Node_ID_Type == 1 ? n.Node_ID_Secondary : n.Node_ID_Primary; }

}  // namespace

TFMeter_Bus* FMeter_Bus = nullptr;

// ---------------------------------------------------------------------------
// Construction

TFMeter_Bus::TFMeter_Bus(TComponent* AOwner) : TForm(AOwner) {
    SetName(QStringLiteral("FMeter_Bus"));
    Apply_Dialog_Look(this);
    Create_Controls();
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

TFMeter_Bus::~TFMeter_Bus() {
    // The controls outlive this part of the form while the owner frees them:
    // nothing of theirs may call back into it.
    FLoading = true;
    TW->OnChange = nullptr;
    TW->OnClick = nullptr;
    if (CB_VAR_TOD_WindowProcORIGINAL) CB_Var_ToD->WindowProc = CB_VAR_TOD_WindowProcORIGINAL;
    if (CB_VIFE_WindowProcORIGINAL) CB_VIFE->WindowProc = CB_VIFE_WindowProcORIGINAL;
    if (FMeter_Bus == this) FMeter_Bus = nullptr;
}

void TFMeter_Bus::AfterConstruction() {
    TForm::AfterConstruction();
    FMeter_Bus = this;
    FormCreate();
}

namespace {
template <class T>
T* Make(TCustomForm* form, TWinControl* parent, int left, int top, int width, int height) {
    auto* c = new T(form);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

TComboBox* Make_Combo(TCustomForm* form, TWinControl* parent, int left, int width, const QStringList& items) {
    auto* c = Make<TComboBox>(form, parent, left, 0, width, 21);
    c->SetStyle(csDropDownList);
    for (const QString& s : items) c->Items()->Add(s);
    return c;
}

QStringList Numbers(int from, int to) {
    QStringList l;
    for (int i = from; i <= to; ++i) l << QString::number(i);
    return l;
}

template <size_t N>
QStringList Texts_Of(const std::array<const char*, N>& table) {
    QStringList l;
    for (const char* t : table) l << Code_Text(t);
    return l;
}
}  // namespace

void TFMeter_Bus::Create_Controls() {
    P_Title = Make_Band(this, alTop, 69, clWhite);
    P_Title->SetName(QStringLiteral("P_Title"));
    L_SW_Code = Make_Label(this, P_Title, 16, 4);
    Style_Code_Label(L_SW_Code);
    L_Title = Make_Label(this, P_Title, 18, 44);
    Style_Grey_Bold(L_Title);
    L_MBus_NumByte = Make_Label(this, P_Title, 640, 44);
    Style_Grey_Bold(L_MBus_NumByte);

    P_Button = Make_Button_Band(this);
    Btn_OK = Make_Button(this, P_Button, 530, 6, 140, 28);
    Btn_OK->OnClick = [this](TObject* Sender) { LbButton2Click(Sender); };
    Btn_Cancel = Make_Button(this, P_Button, 680, 6, 140, 28);
    Btn_Cancel->OnClick = [this](TObject* Sender) { LbButton4Click(Sender); };
    Btn_ImportNet = Make_Button(this, P_Button, 8, 6, 160, 28);
    Btn_ImportNet->OnClick = [this](TObject* Sender) { Btn_ImportNetClick(Sender); };
    OD_Import_Net = std::make_unique<TOpenDialog>();
    OD_Import_Net->Filter = QStringLiteral("XML File (*.xml)|*.xml");

    Create_Menu();
    TW = Make<TTreeView>(this, this, 8, 77, 300, 537);
    TW->SetName(QStringLiteral("TW"));
    TW->SetReadOnly(true);
    TW->SetRowSelect(true);
    TW->SetShowRoot(false);
    TW->SetHideSelection(false);
    TW->SetPopupMenu(PM_CopyPaste);
    TW->OnChange = [this](TObject* Sender, TTreeNode* Node) { TWChange(Sender, Node); };
    TW->OnClick = [this](TObject* Sender) { TWClick(Sender); };

    PC_MBus = NewObject<TExPageControl>(this);
    PC_MBus->SetName(QStringLiteral("PC_MBus"));
    PC_MBus->SetParent(this);
    PC_MBus->SetBounds(316, 77, 510, 537);
    PC_MBus->SetTabPosition(tpLeft);
    PC_MBus->SetTabStyle(tsDotNet);
    PC_MBus->SetMultiLine(true);
    PC_MBus->SetActiveColor(clSkyBlue);
    PC_MBus->SetDefaultTabColor(Dialog_Color);
    PC_MBus->SetTabBackGroundColor(Dialog_Color);
    PC_MBus->SetParentColor(false);
    PC_MBus->SetColor(Dialog_Color);
    PC_MBus->TabMargin()->SetTopMargin(10);
    PC_MBus->TabMargin()->SetRightMargin(20);
    PC_MBus->SetTabOverlap(0);
    TFont tabs;
    tabs.SetName(QStringLiteral("Verdana"));
    tabs.SetHeight(-13);
    PC_MBus->SetFont(tabs);
    PC_MBus->SetActiveFont(tabs);
    TS_Nodes = NewObject<TExTabSheet>(this);
    TS_Nodes->SetName(QStringLiteral("TS_Nodes"));
    TS_Variables = NewObject<TExTabSheet>(this);
    TS_Variables->SetName(QStringLiteral("TS_Variables"));
    for (TExTabSheet* s : {TS_Nodes, TS_Variables}) {
        s->SetExPageControl(PC_MBus);
        s->SetParentColor(false);
        s->SetColor(Dialog_Color);
        s->SetParentFont(false);
        s->SetFont(*Font());
    }
    Create_Node_Page();
    Create_Variable_Page();
}

void TFMeter_Bus::Create_Menu() {
    PM_CopyPaste = new TPopupMenu(this);
    PM_CopyPaste->SetName(QStringLiteral("PM_CopyPaste"));
    auto item = [this](const QString& caption, std::function<void(TObject*)> click) {
        auto* i = new TMenuItem(this);
        i->Caption = caption;
        if (click) i->OnClick = click;
        PM_CopyPaste->Items()->Add(i);
        return i;
    };
    CopyVariable1 = item(QStringLiteral("Copy Variable"), [this](TObject* s) { CopyVariable1Click(s); });
    PasteVariable1 = item(QStringLiteral("Paste Variable"), [this](TObject* s) { PasteVariable1Click(s); });
    item(QStringLiteral("-"), nullptr);
    CopyNode1 = item(QStringLiteral("Copy Node"), [this](TObject* s) { CopyNode1Click(s); });
    PasteNode1 = item(QStringLiteral("Paste Node"), [this](TObject* s) { PasteNode1Click(s); });
    item(QStringLiteral("-"), nullptr);
    DeleteItems1 = item(QStringLiteral("Delete Items"), [this](TObject* s) { btn_Delete_ItemClick(s); });
    PasteVariable1->Enabled = false;
    PasteNode1->Enabled = false;
}

void TFMeter_Bus::Create_Node_Page() {
    TWinControl* p = TS_Nodes;
    auto check = [&](int width = 400) { return Make<TCheckBox>(this, p, Label_Left, 0, width, 17); };
    auto label = [&](TWinControl* parent = nullptr) { return Make_Label(this, parent ? parent : p, Label_Left, 0); };
    auto edit = [&](int left = Field_Left, int width = Field_Width, TWinControl* parent = nullptr) {
        return Make<TEdit>(this, parent ? parent : p, left, 0, width, 21);
    };
    CB_Enable_Node = check();
    L_New_Node_Desc = label();
    E_New_Node_Desc = edit();
    L_MBus_Type = label();
    CB_MBus_Type = Make_Combo(this, p, Field_Left, Field_Width, {QStringLiteral("wM-Bus"), QStringLiteral("M-Bus on wires")});
    CB_MBus_Type->OnChange = [this](TObject* s) { CB_MBus_TypeChange(s); };
    RB_ID_Primary = Make<TRadioButton>(this, p, Label_Left, 0, 190, 17);
    E_New_Node_ID_Pri = edit(Field_Left, 120);
    RB_ID_Secondary = Make<TRadioButton>(this, p, Label_Left, 0, 190, 17);
    E_New_Node_ID_Sec = edit(Field_Left, 120);
    CB_Node_State = check();
    CB_Ident_Num = check();
    L_Swap_IN = label();
    CB_Swap_IN = Make_Combo(this, p, Field_Left, 120, {QStringLiteral("None"), QStringLiteral("Type 1")});
    CB_BCDtoINT_IN = check();
    CB_SND_NKE = check();
    CB_Reset_App = check();
    L_Var_Type = label();
    CB_Var_Type = Make_Combo(this, p, Field_Left, 120, {QStringLiteral("By Type"), QStringLiteral("By Position")});
    L_Cut_After = label();
    CB_Cut_After = Make_Combo(this, p, Field_Left, 70, Numbers(1, 250));
    L_Frames = Make_Label(this, p, Field_Left + 80, 0);
    btn_Add_Node = Make_Button(this, p, Field_Left, 0, 160, 26);
    btn_Add_Node->OnClick = [this](TObject* s) { btn_Add_NodeClick(s); };

    // The wireless panel stands in the place of the wired rows.
    P_wMBus_Node = Make<TPanel>(this, p, 0, 0, 470, 14 * Row_Step + 4);
    P_wMBus_Node->SetBevelOuter(bvNone);
    P_wMBus_Node->SetShowCaption(false);
    TWinControl* w = P_wMBus_Node;
    int row = 0;
    auto wrow = [&](TControl* a, TControl* b = nullptr) {
        a->SetTop(row * Row_Step + (dynamic_cast<TLabel*>(a) ? 3 : 0));
        if (b) b->SetTop(row * Row_Step);
        ++row;
    };
    L_wMBus_ManID = label(w);
    E_wMBus_ManID = edit(Field_Left, 120, w);
    wrow(L_wMBus_ManID, E_wMBus_ManID);
    L_wMBus_Add = label(w);
    E_wMBus_Add = edit(Field_Left, 120, w);
    wrow(L_wMBus_Add, E_wMBus_Add);
    L_wMBus_Ver = label(w);
    E_wMBus_Ver = edit(Field_Left, 120, w);
    wrow(L_wMBus_Ver, E_wMBus_Ver);
    L_wMBus_DevType = label(w);
    E_wMBus_DevType = edit(Field_Left, 120, w);
    wrow(L_wMBus_DevType, E_wMBus_DevType);
    CB_wMBus_EnKey = Make<TCheckBox>(this, w, Label_Left, 0, 300, 17);
    wrow(CB_wMBus_EnKey);
    // Sixteen key bytes, four to a row.
    for (int k = 0; k < 16; ++k) {
        const int col = k % 4, top = (row + k / 4) * Row_Step;
        L_wMBus_K[k] = Make_Label(this, w, Label_Left + col * 115, top + 3);
        E_wMBus_K[k] = Make<TEdit>(this, w, Label_Left + col * 115 + 58, top, 48, 21);
        E_wMBus_K[k]->SetName(QStringLiteral("E_wMBus_K%1").arg(k + 1));
    }
    row += 4;
    CB_wMBus_Node_State = Make<TCheckBox>(this, w, Label_Left, 0, 400, 17);
    wrow(CB_wMBus_Node_State);
    CB_wMBus_Ident_Num = Make<TCheckBox>(this, w, Label_Left, 0, 400, 17);
    wrow(CB_wMBus_Ident_Num);
    CB_wMBus_Conv_BCD = Make<TCheckBox>(this, w, Label_Left, 0, 400, 17);
    wrow(CB_wMBus_Conv_BCD);
    L_wMBus_Swap_Ident = label(w);
    CB_wMBus_Swap_Ident = Make_Combo(this, w, Field_Left, 120, {QStringLiteral("None"), QStringLiteral("Type 1")});
    wrow(L_wMBus_Swap_Ident, CB_wMBus_Swap_Ident);
    L_wMBus_VarList = label(w);
    CB_wMBus_VarList = Make_Combo(this, w, Field_Left, 120, {QStringLiteral("By Type"), QStringLiteral("By Position")});
    wrow(L_wMBus_VarList, CB_wMBus_VarList);
}

void TFMeter_Bus::Create_Variable_Page() {
    TWinControl* p = TS_Variables;
    auto check = [&](int left = Label_Left, int width = 400) { return Make<TCheckBox>(this, p, left, 0, width, 17); };
    auto label = [&] { return Make_Label(this, p, Label_Left, 0); };
    auto edit = [&](int width = Field_Width) { return Make<TEdit>(this, p, Field_Left, 0, width, 21); };
    CB_Var_En = check();
    L_New_Var_Desc = label();
    E_New_Var_Desc = edit();
    L_Var_ToD = label();
    CB_Var_ToD = Make_Combo(this, p, Field_Left, Field_Width, Texts_Of(Type_Texts));
    CB_Var_ToD->OnChange = [this](TObject* s) { CB_Var_ToDChange(s); };
    L_VIF_ASCII = label();
    E_VIF_ASCII = edit();
    L_Var_FF = label();
    QStringList functions;
    for (const TFunctionCode& f : Function_Codes) functions << Code_Text(f.Text);
    CB_Var_FF = Make_Combo(this, p, Field_Left, Field_Width, functions);
    L_Var_Dim = label();
    CB_Var_Dim = Make_Combo(this, p, Field_Left, Field_Width, Texts_Of(Dimension_Texts));
    CB_Var_Dim->OnChange = [this](TObject* s) { CB_Var_DimChange(s); };
    L_Length = label();
    E_Length = edit(120);
    L_Var_Unit = label();
    CB_Var_Unit = Make_Combo(this, p, Field_Left, 70, Numbers(0, 10));
    L_Sto_Num = label();
    E_Sto_Num = edit(120);
    L_Tariff = label();
    E_Tariff = edit(120);
    L_VIFE = label();
    CB_VIFE = Make_Combo(this, p, Field_Left, Field_Width, Texts_Of(VIFE_Texts));
    CB_BCDtoINT = check();
    CB_Float = check(Label_Left, 190);
    CB_Force_Int32 = check(Field_Left, 240);
    CB_TP_MR = check();
    L_Position = label();
    E_Position = edit(70);
    L_PostOpe = label();
    CB_PostOpe = Make_Combo(this, p, Field_Left, 120, Texts_Of(Post_Operation_Texts));
    btn_Add_Var = Make_Button(this, p, Field_Left, 0, 160, 26);
    btn_Add_Var->OnClick = [this](TObject* s) { btn_Add_VarClick(s); };
}

void TFMeter_Bus::FormCreate() {
    Copy_Var.reset();
    Copy_Node.reset();
    // The wide lists open leftwards from their combo boxes.
    Select_Width_ComboBox(CB_Var_ToD);
    Select_Width_ComboBox(CB_VIFE);
    CB_VAR_TOD_WindowProcORIGINAL = CB_Var_ToD->WindowProc;
    CB_Var_ToD->WindowProc = [this](TMessage& m) { CB_Var_ToD_WindowProc(m); };
    CB_VIFE_WindowProcORIGINAL = CB_VIFE->WindowProc;
    CB_VIFE->WindowProc = [this](TMessage& m) { CB_VIFE_WindowProc(m); };

    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(834, 662);
    Nodes_Move_Elements();
    Sposta_Oggetti_Var(0);
    Set_Lang();
}

void TFMeter_Bus::Set_Lang() {
    SetCaption(Text_Of(743));
    L_Title->SetCaption(Text_Of(744));
    Btn_OK->SetCaption(Text_Of(745));
    Btn_Cancel->SetCaption(Text_Of(746));
    Btn_ImportNet->SetCaption(Text_Of(747));
    TS_Nodes->SetCaption(Text_Of(748));
    TS_Variables->SetCaption(Text_Of(749));
    // The nodes page, in the order of its rows.
    CB_Enable_Node->SetCaption(Text_Of(750));
    L_New_Node_Desc->SetCaption(Text_Of(751));
    RB_ID_Primary->SetCaption(Text_Of(752));
    RB_ID_Secondary->SetCaption(Text_Of(753));
    CB_Node_State->SetCaption(Text_Of(754));
    CB_Ident_Num->SetCaption(Text_Of(755));
    L_Swap_IN->SetCaption(Text_Of(756));
    CB_BCDtoINT_IN->SetCaption(Text_Of(757));
    CB_SND_NKE->SetCaption(Text_Of(758));
    CB_Reset_App->SetCaption(Text_Of(759));
    L_Var_Type->SetCaption(Text_Of(760));
    L_Cut_After->SetCaption(Text_Of(761));
    L_Frames->SetCaption(Text_Of(762));
    btn_Add_Node->SetCaption(Text_Of(Text_Add_Node));
    // The variables page.
    CB_Var_En->SetCaption(Text_Of(765));
    L_New_Var_Desc->SetCaption(Text_Of(766));
    L_Var_ToD->SetCaption(Text_Of(767));
    L_VIF_ASCII->SetCaption(Text_Of(768));
    L_Var_FF->SetCaption(Text_Of(769));
    L_Var_Dim->SetCaption(Text_Of(770));
    L_Length->SetCaption(Text_Of(771));
    L_Var_Unit->SetCaption(Text_Of(772));
    L_Sto_Num->SetCaption(Text_Of(774));
    L_Tariff->SetCaption(Text_Of(775));
    L_VIFE->SetCaption(Text_Of(776));
    CB_BCDtoINT->SetCaption(Text_Of(777));
    CB_Float->SetCaption(QStringLiteral("Convert in Float"));
    CB_Force_Int32->SetCaption(Text_Of(971));
    CB_TP_MR->SetCaption(Text_Of(779));
    L_Position->SetCaption(Text_Of(780));
    btn_Add_Var->SetCaption(Text_Of(Text_Add_Var));
    L_PostOpe->SetCaption(Text_Of(920));
    // The M-Bus type and the wireless panel.
    L_MBus_Type->SetCaption(Text_Of(802));
    L_wMBus_ManID->SetCaption(Text_Of(803));
    L_wMBus_Add->SetCaption(Text_Of(804));
    L_wMBus_Ver->SetCaption(Text_Of(805));
    L_wMBus_DevType->SetCaption(Text_Of(806));
    CB_wMBus_EnKey->SetCaption(Text_Of(807));
    for (int k = 0; k < 16; ++k) L_wMBus_K[k]->SetCaption(Text_Of(808 + k));
    CB_wMBus_Node_State->SetCaption(Text_Of(824));
    CB_wMBus_Ident_Num->SetCaption(Text_Of(825));
    CB_wMBus_Conv_BCD->SetCaption(Text_Of(826));
    L_wMBus_Swap_Ident->SetCaption(Text_Of(827));
    L_wMBus_VarList->SetCaption(Text_Of(828));
}

// ---------------------------------------------------------------------------
// Layout

void TFMeter_Bus::Nodes_Move_Elements() {
    const TRow rows[] = {
        {{CB_Enable_Node}}, {{L_New_Node_Desc, E_New_Node_Desc}}, {{L_MBus_Type, CB_MBus_Type}},
        {{RB_ID_Primary, E_New_Node_ID_Pri}}, {{RB_ID_Secondary, E_New_Node_ID_Sec}}, {{CB_Node_State}},
        {{CB_Ident_Num}}, {{L_Swap_IN, CB_Swap_IN}}, {{CB_BCDtoINT_IN}}, {{CB_SND_NKE}}, {{CB_Reset_App}},
        {{L_Var_Type, CB_Var_Type}}, {{L_Cut_After, CB_Cut_After, L_Frames}},
    };
    int top = 8;
    for (const TRow& r : rows) {
        r.Place(top);
        top += Row_Step;
    }
    btn_Add_Node->SetTop(top + 4);
    P_wMBus_Node->SetTop(8 + 3 * Row_Step);
    CB_MBus_TypeChange(nullptr);
}

void TFMeter_Bus::CB_MBus_TypeChange(TObject*) {
    const bool wired = CB_MBus_Type->ItemIndex() != 0;
    const TRow wiredRows[] = {
        {{RB_ID_Primary, E_New_Node_ID_Pri}}, {{RB_ID_Secondary, E_New_Node_ID_Sec}}, {{CB_Node_State}},
        {{CB_Ident_Num}}, {{L_Swap_IN, CB_Swap_IN}}, {{CB_BCDtoINT_IN}}, {{CB_SND_NKE}}, {{CB_Reset_App}},
        {{L_Var_Type, CB_Var_Type}}, {{L_Cut_After, CB_Cut_After, L_Frames}},
    };
    for (const TRow& r : wiredRows) r.Show(wired);
    P_wMBus_Node->SetVisible(!wired);
    const int top = 8 + 3 * Row_Step;
    btn_Add_Node->SetTop(wired ? top + 10 * Row_Step + 4 : top + P_wMBus_Node->Height() + 4);
}

void TFMeter_Bus::Sposta_Oggetti_Var(int Var_List_Type) {
    const TRow En{{CB_Var_En}}, Desc{{L_New_Var_Desc, E_New_Var_Desc}}, ToD{{L_Var_ToD, CB_Var_ToD}},
        Ascii{{L_VIF_ASCII, E_VIF_ASCII}}, FF{{L_Var_FF, CB_Var_FF}}, Dim{{L_Var_Dim, CB_Var_Dim}},
        Len{{L_Length, E_Length}}, Unit{{L_Var_Unit, CB_Var_Unit}}, Sto{{L_Sto_Num, E_Sto_Num}},
        Tariff{{L_Tariff, E_Tariff}}, Vife{{L_VIFE, CB_VIFE}}, Bcd{{CB_BCDtoINT}}, Float{{CB_Float, CB_Force_Int32}},
        TP{{CB_TP_MR}}, Post{{L_PostOpe, CB_PostOpe}}, Pos{{L_Position, E_Position}};
    QList<const TRow*> shown, hidden;
    if (Var_List_Type == 0) {
        shown = {&En, &Desc, &ToD, &Ascii, &FF, &Dim, &Len, &Unit, &Sto, &Tariff, &Vife, &Bcd, &Float, &TP, &Post};
        hidden = {&Pos};
    } else {
        shown = {&En, &Desc, &Dim, &Len, &Bcd, &Float, &TP, &Post, &Pos};
        hidden = {&ToD, &Ascii, &FF, &Unit, &Sto, &Tariff, &Vife};
    }
    int top = 8;
    for (const TRow* r : shown) {
        r->Place(top);
        r->Show(true);
        top += Row_Step;
    }
    for (const TRow* r : hidden) r->Show(false);
    btn_Add_Var->SetTop(top + 4);
}

void TFMeter_Bus::Select_Width_ComboBox(TComboBox* Combo) {
    TCanvas* c = Combo->Canvas();
    c->Font().Assign(*Combo->Font());
    int widest = 0;
    for (int i = 0; i < Combo->Items()->Count(); ++i) widest = std::max(widest, c->TextWidth(Combo->Items()->Strings(i)));
    int width = widest + 12 + (Combo == CB_VIFE ? 65 : 30);
    const int scroll = GetSystemMetrics(SM_CXVSCROLL);
    if (Combo->Width() - scroll >= width) return;
    if (Combo->Items()->Count() > Combo->DropDownCount()) width += scroll;
    Combo->SetDroppedWidth(width);
}

void TFMeter_Bus::Align_List_Right(TComboBox* Combo, const TMessage& Message) {
    if (Message.Msg != WM_CTLCOLORLISTBOX) return;
    TWinControl* list = FindControl(static_cast<HWND>(Message.LParam));
    if (!list) list = Combo->ListWindow();
    if (!list) return;
    const int right = Combo->ClientToScreen(Point(Combo->Width(), 0)).X;
    if (list->Left() + list->Width() != right)
        list->SetBounds(right - list->Width(), list->Top(), list->Width(), list->Height());
}

void TFMeter_Bus::CB_Var_ToD_WindowProc(TMessage& Message) {
    Align_List_Right(CB_Var_ToD, Message);
    if (CB_VAR_TOD_WindowProcORIGINAL) CB_VAR_TOD_WindowProcORIGINAL(Message);
}

void TFMeter_Bus::CB_VIFE_WindowProc(TMessage& Message) {
    Align_List_Right(CB_VIFE, Message);
    if (CB_VIFE_WindowProcORIGINAL) CB_VIFE_WindowProcORIGINAL(Message);
}

// ---------------------------------------------------------------------------
// Showing

QString TFMeter_Bus::Node_Item_Text(const TNodo& N) {
    if (N.MBus_Type != 0) return QStringLiteral("ID %1 - %2").arg(Node_Address(N)).arg(N.Description);
    return QStringLiteral("wM-Bus Node - Address %1 - %2").arg(N.wMBus_Add, N.Description);
}

QString TFMeter_Bus::Var_Item_Text(const TVariabile& V) { return QStringLiteral("VAR - ") + V.Description; }

void TFMeter_Bus::Clear_Network() {
    FLoading = true;
    TW->Items()->Clear();
    NODE_ORIG = TW->Items()->AddChild(nullptr, Root_Text);
    FLoading = false;
    Nodi_List.clear();
    NODE_ID = SELECT_NODE = nullptr;
    IND_NODO = IND_VAR = -1;
}

void TFMeter_Bus::Add_Node_Items(const TNodo& N) {
    TTreeNode* item = TW->Items()->AddChild(NODE_ORIG, Node_Item_Text(N));
    for (const auto& v : N.Var_List) TW->Items()->AddChild(item, Var_Item_Text(*v));
}

void TFMeter_Bus::Load_Network() {
    CB_Cut_After->Items()->Clear();
    for (const QString& s : Numbers(1, 250)) CB_Cut_After->Items()->Add(s);
    CB_Cut_After->SetItemIndex(0);
    Is_Change = false;
    File_Unreadable = false;
    Clear_Network();
    TNodoList nodes;
    try {
        nodes = Read_MBus_Network(File_M_Bus);
    } catch (const Exception& e) {
        // What the file held stays until OK; OK keeps it beside as ".bad".
        File_Unreadable = true;
        MessageDlg(e.Message(), mtError, MsgDlgButtons({mbOK}));
    }
    FLoading = true;
    TW->Items()->BeginUpdate();
    for (auto& n : nodes) {
        Add_Node_Items(*n);
        Nodi_List.push_back(std::move(n));
    }
    TW->Items()->EndUpdate();
    NODE_ORIG->Expand(false);
    FLoading = false;
    NODE_ID = SELECT_NODE = nullptr;
    IND_NODO = IND_VAR = -1;
    btn_Add_Node->SetCaption(Text_Of(Text_Add_Node));
    btn_Add_Var->SetCaption(Text_Of(Text_Add_Var));
    Sposta_Oggetti_Var(0);
    PasteVariable1->Enabled = Copy_Var != nullptr;
    PasteNode1->Enabled = Copy_Node != nullptr;
    CB_MBus_TypeChange(nullptr);
    Is_Change = false;
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::FormShow(TObject*) { Load_Network(); }

// ---------------------------------------------------------------------------
// Selection and the pages

void TFMeter_Bus::TWChange(TObject* Sender, TTreeNode*) {
    if (!FLoading) TWClick(Sender);
}

void TFMeter_Bus::TWClick(TObject*) {
    TTreeNode* sel = TW->Selected();
    NODE_ID = SELECT_NODE = nullptr;
    IND_NODO = IND_VAR = -1;
    if (sel && NODE_ORIG) {
        for (int i = 0; i < NODE_ORIG->Count() && !SELECT_NODE; ++i) {
            TTreeNode* node = NODE_ORIG->Item(i);
            if (node == sel) {
                NODE_ID = SELECT_NODE = node;
                IND_NODO = i;
                break;
            }
            for (int j = 0; j < node->Count(); ++j)
                if (node->Item(j) == sel) {
                    NODE_ID = node;
                    SELECT_NODE = sel;
                    btn_Add_Node->SetCaption(Text_Of(Text_Add_Node));
                    btn_Add_Var->SetCaption(Text_Of(Text_Modify_Var));
                    IND_NODO = i;
                    IND_VAR = j;
                    break;
                }
        }
    }
    // The tree and the list go together; an item past the list selects
    // nothing.
    if (IND_NODO >= int(Nodi_List.size()) ||
        (IND_VAR >= 0 && IND_VAR >= int(Nodi_List[size_t(IND_NODO)]->Var_List.size()))) {
        NODE_ID = SELECT_NODE = nullptr;
        IND_NODO = IND_VAR = -1;
    }
    Aggiorna_Label();
    CB_Var_ToDChange(nullptr);
    CB_Var_DimChange(nullptr);
    CB_MBus_TypeChange(nullptr);
    if (IND_VAR >= 0) PC_MBus->SetActivePage(TS_Variables);
    else if (IND_NODO >= 0) PC_MBus->SetActivePage(TS_Nodes);
}

void TFMeter_Bus::Fill_Node_Page(const TNodo& N) {
    CB_Enable_Node->SetChecked(N.Enable);
    E_New_Node_Desc->SetText(N.Description);
    CB_MBus_Type->SetItemIndex(N.MBus_Type != 0 ? 1 : 0);
    if (N.Node_ID_Type == 1) RB_ID_Secondary->SetChecked(true);
    else RB_ID_Primary->SetChecked(true);
    E_New_Node_ID_Pri->SetText(QString::number(N.Node_ID_Primary));
    E_New_Node_ID_Sec->SetText(QString::number(N.Node_ID_Secondary));
    CB_Node_State->SetChecked(N.Node_State == 1);
    CB_Ident_Num->SetChecked(N.Ident_Num == 1);
    Select(CB_Swap_IN, N.Swap_Ident);
    CB_BCDtoINT_IN->SetChecked(N.BCDtoINT_IN == 1);
    CB_SND_NKE->SetChecked(N.Send_SNK == 1);
    CB_Reset_App->SetChecked(N.Reset_App == 1);
    Select(CB_Var_Type, N.Var_List_Type);
    Select(CB_Cut_After, N.Cut_After);
    E_wMBus_ManID->SetText(N.wMBus_ManID);
    E_wMBus_Add->SetText(N.wMBus_Add);
    E_wMBus_Ver->SetText(N.wMBus_Ver);
    E_wMBus_DevType->SetText(N.wMBus_DevType);
    CB_wMBus_EnKey->SetChecked(N.wMBus_En_Key == 1);
    for (int k = 0; k < 16; ++k) E_wMBus_K[k]->SetText(N.wMBus_Key[size_t(k)]);
    CB_wMBus_Node_State->SetChecked(N.Node_State == 1);
    CB_wMBus_Ident_Num->SetChecked(N.Ident_Num == 1);
    CB_wMBus_Conv_BCD->SetChecked(N.BCDtoINT_IN == 1);
    Select(CB_wMBus_Swap_Ident, N.Swap_Ident);
    Select(CB_wMBus_VarList, N.Var_List_Type);
}

void TFMeter_Bus::Reset_Variable_Page() {
    CB_Var_En->SetChecked(true);
    E_New_Var_Desc->SetText(QString());
    for (TComboBox* c : {CB_Var_ToD, CB_Var_FF, CB_Var_Dim, CB_Var_Unit, CB_VIFE, CB_PostOpe}) c->SetItemIndex(0);
    E_Sto_Num->SetText(QStringLiteral("0"));
    E_Tariff->SetText(QStringLiteral("0"));
    CB_BCDtoINT->SetChecked(false);
    E_VIF_ASCII->SetText(QString());
    E_Length->SetText(QStringLiteral("0"));
    CB_Float->SetChecked(false);
    CB_Force_Int32->SetChecked(false);
    CB_TP_MR->SetChecked(false);
    E_Position->SetText(QStringLiteral("1"));
}

void TFMeter_Bus::Fill_Variable_Page(const TVariabile& V) {
    CB_Var_En->SetChecked(V.Enable);
    E_New_Var_Desc->SetText(V.Description);
    Select(CB_Var_ToD, V.Type_Of_Data);
    Select(CB_Var_FF, V.Function_Field);
    Select(CB_Var_Dim, V.Dimension);
    Select(CB_Var_Unit, V.Unita);
    E_Sto_Num->SetText(QString::number(V.Storage_Number));
    E_Tariff->SetText(QString::number(V.Tariff));
    Select(CB_VIFE, V.VIFE);
    CB_BCDtoINT->SetChecked(V.BCDtoINT);
    E_VIF_ASCII->SetText(V.VIF_ASCII);
    E_Length->SetText(QString::number(V.Length));
    CB_Float->SetChecked(V.Conv_Float);
    CB_Force_Int32->SetChecked(V.Force_Int32);
    CB_TP_MR->SetChecked(V.TP_Mod_Regs);
    E_Position->SetText(QString::number(V.Position));
    Select(CB_PostOpe, V.Post_Operation);
}

void TFMeter_Bus::Aggiorna_Label() {
    if (IND_NODO < 0) {
        btn_Add_Node->SetCaption(Text_Of(Text_Add_Node));
        btn_Add_Var->SetCaption(Text_Of(Text_Add_Var));
        for (TCheckBox* c : {CB_SND_NKE, CB_Reset_App, CB_Node_State, CB_Ident_Num, CB_BCDtoINT_IN}) c->SetChecked(false);
        CB_Enable_Node->SetChecked(true);
        return;
    }
    const TNodo& n = *Nodi_List[size_t(IND_NODO)];
    Fill_Node_Page(n);
    if (IND_VAR < 0) {
        btn_Add_Node->SetCaption(Text_Of(Text_Modify_Node));
        btn_Add_Var->SetCaption(Text_Of(Text_Add_Var));
        Reset_Variable_Page();
    } else {
        btn_Add_Node->SetCaption(Text_Of(Text_Add_Node));
        btn_Add_Var->SetCaption(Text_Of(Text_Modify_Var));
        Fill_Variable_Page(*n.Var_List[size_t(IND_VAR)]);
    }
    Sposta_Oggetti_Var(n.Var_List_Type);
}

void TFMeter_Bus::CB_Var_ToDChange(TObject*) { E_VIF_ASCII->SetEnabled(CB_Var_ToD->ItemIndex() == Type_VIF_ASCII); }

void TFMeter_Bus::CB_Var_DimChange(TObject*) { E_Length->SetEnabled(CB_Var_Dim->ItemIndex() == Dim_Variable_Length); }

// ---------------------------------------------------------------------------
// Byte count

int TFMeter_Bus::Calcola_Byte_Usati() const {
    int bytes = 0;
    for (const auto& n : Nodi_List) {
        if (!n->Enable) continue;
        if (n->Node_State == 1) bytes += 1;
        if (n->Ident_Num == 1) bytes += 4;
        for (const auto& v : n->Var_List) {
            if (!v->Enable) continue;
            MBusCodes::TVariableSize size;
            size.Dimension = v->Dimension;
            size.Length = v->Length;
            size.Type_Of_Data = v->Type_Of_Data;
            size.Conv_Float = v->Conv_Float;
            size.Force_Int32 = v->Force_Int32;
            size.TP_Mod_Regs = v->TP_Mod_Regs;
            bytes += MBusCodes::Variable_Data_Bytes(size, n->Var_List_Type == 0 ? 0 : 1);
        }
    }
    return bytes;
}

void TFMeter_Bus::Aggiorna_Label_Num_Byte() {
    L_MBus_NumByte->SetCaption(Text_Of(Text_Bytes_Used) + QString::number(Calcola_Byte_Usati()));
}

// ---------------------------------------------------------------------------
// Checks

void TFMeter_Bus::Error(int Text) { MessageDlg(Text_Of(Text), mtError, MsgDlgButtons({mbOK})); }

bool TFMeter_Bus::Confirm(int Text) {
    return MessageDlg(Text_Of(Text), mtConfirmation, MsgDlgButtons({mbYes, mbNo})) == mrYes;
}

bool TFMeter_Bus::Controllo_Dati_New_Nodo() {
    if (CB_MBus_Type->ItemIndex() == 0) {
        // The wireless address is taken as typed: the scanner writes large
        // addresses in a signed form.
        if (!In_Range(Number(E_wMBus_ManID), 0, 0xFFFF)) return Error(Text_ManID), false;
        if (!In_Range(Number(E_wMBus_Ver), 0, 0xFF)) return Error(Text_Version), false;
        if (!In_Range(Number(E_wMBus_DevType), 0, 0xFF)) return Error(Text_DevType), false;
        if (CB_wMBus_EnKey->Checked())
            for (int k = 0; k < 16; ++k)
                if (!In_Range(Number(E_wMBus_K[k]), 0, 0xFF)) return Error(Text_DevType + k + 1), false;
        return true;
    }
    int64_t id = 0;
    if (RB_ID_Primary->Checked()) {
        id = Number(E_New_Node_ID_Pri);
        if (!In_Range(id, 0, 255)) return Error(Text_Primary), false;
    } else {
        id = Number(E_New_Node_ID_Sec);
        if (!In_Range(id, 0, 99999999)) return Error(Text_Secondary), false;
    }
    return Check_Node_ID(int(id));
}

bool TFMeter_Bus::Check_Node_ID(int ID) {
    const bool nodeSelected = NODE_ID && IND_VAR < 0;
    for (int i = 0; i < int(Nodi_List.size()); ++i) {
        if (nodeSelected && i == IND_NODO) continue;
        const TNodo& n = *Nodi_List[size_t(i)];
        // A wireless node carries no wired address (the scanner writes a
        // placeholder primary address 1 for it).
        if (n.MBus_Type == 0) continue;
        if (Node_Address(n) == ID) {
            Error(Text_ID_Used);
            return false;
        }
    }
    return true;
}

bool TFMeter_Bus::Check_Node_ID2(int ID, int Type_ID) {
    for (const auto& n : Nodi_List) {
        if (n->MBus_Type == 0) continue;
        if (Node_Address(*n) == ID && n->Node_ID_Type == Type_ID) {
            Error(Text_ID_Used);
            return false;
        }
    }
    return true;
}

bool TFMeter_Bus::Controllo_Dati_New_Var() {
    if (!In_Range(Number(E_Sto_Num), 0, 0xFFFFFFFFLL)) return Error(Text_Storage), false;
    if (!In_Range(Number(E_Tariff), 0, 0xFFFFF)) return Error(Text_Tariff), false;
    if (CB_Var_Dim->ItemIndex() == Dim_Variable_Length && !In_Range(Number(E_Length), 0, 191))
        return Error(Text_Length), false;
    if (!In_Range(Number(E_Position), 1, 100)) return Error(Text_Position), false;
    return true;
}

// ---------------------------------------------------------------------------
// Adding and modifying

void TFMeter_Bus::Take_Node(TNodo& N) {
    N.Enable = CB_Enable_Node->Checked();
    N.Description = E_New_Node_Desc->Text();
    N.Node_ID_Primary = StrToIntDef(E_New_Node_ID_Pri->Text(), 0);
    N.Node_ID_Secondary = StrToIntDef(E_New_Node_ID_Sec->Text(), 0);
    N.Send_SNK = CB_SND_NKE->Checked() ? 1 : 0;
    N.Reset_App = CB_Reset_App->Checked() ? 1 : 0;
    N.Node_State = CB_Node_State->Checked() ? 1 : 0;
    N.Ident_Num = CB_Ident_Num->Checked() ? 1 : 0;
    N.BCDtoINT_IN = CB_BCDtoINT_IN->Checked() ? 1 : 0;
    N.Swap_Ident = std::max(0, CB_Swap_IN->ItemIndex());
    N.Var_List_Type = uint8_t(std::max(0, CB_Var_Type->ItemIndex()));
    N.Cut_After = uint8_t(std::max(0, CB_Cut_After->ItemIndex()));
    N.MBus_Type = CB_MBus_Type->ItemIndex() == 0 ? 0 : 1;
    N.Node_ID_Type = RB_ID_Primary->Checked() ? 0 : 1;
    N.wMBus_ManID = E_wMBus_ManID->Text();
    N.wMBus_Add = E_wMBus_Add->Text();
    N.wMBus_Ver = E_wMBus_Ver->Text();
    N.wMBus_DevType = E_wMBus_DevType->Text();
    N.wMBus_En_Key = CB_wMBus_EnKey->Checked() ? 1 : 0;
    for (int k = 0; k < 16; ++k) N.wMBus_Key[size_t(k)] = E_wMBus_K[k]->Text();
    if (N.MBus_Type == 0) {
        N.Node_State = CB_wMBus_Node_State->Checked() ? 1 : 0;
        N.Ident_Num = CB_wMBus_Ident_Num->Checked() ? 1 : 0;
        N.BCDtoINT_IN = CB_wMBus_Conv_BCD->Checked() ? 1 : 0;
        N.Swap_Ident = std::max(0, CB_wMBus_Swap_Ident->ItemIndex());
        N.Var_List_Type = uint8_t(std::max(0, CB_wMBus_VarList->ItemIndex()));
    }
}

void TFMeter_Bus::btn_Add_NodeClick(TObject*) {
    const bool wired = CB_MBus_Type->ItemIndex() != 0;
    // The item shows the address and description as typed.
    const QString text =
        wired ? QStringLiteral("ID %1 - %2")
                    .arg(RB_ID_Primary->Checked() ? E_New_Node_ID_Pri->Text() : E_New_Node_ID_Sec->Text(),
                         E_New_Node_Desc->Text())
              : QStringLiteral("wM-Bus Node - Address %1 - %2").arg(E_wMBus_Add->Text(), E_New_Node_Desc->Text());
    if (btn_Add_Node->Caption() == Text_Of(Text_Modify_Node)) {
        if (!NODE_ID || IND_NODO < 0 || !Controllo_Dati_New_Nodo()) return;
        Take_Node(*Nodi_List[size_t(IND_NODO)]);
        NODE_ID->SetText(text);
    } else {
        if (!Controllo_Dati_New_Nodo()) return;
        auto n = std::make_unique<TNodo>();
        Take_Node(*n);
        Nodi_List.push_back(std::move(n));
        TW->Items()->AddChild(NODE_ORIG, text);
    }
    Is_Change = true;
    NODE_ORIG->Expand(false);
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::Take_Variable(TVariabile& V) {
    V.Enable = CB_Var_En->Checked();
    V.Description = E_New_Var_Desc->Text();
    // A code the list cannot show stays as it was.
    if (CB_Var_ToD->ItemIndex() >= 0) V.Type_Of_Data = CB_Var_ToD->ItemIndex();
    if (CB_Var_FF->ItemIndex() >= 0) V.Function_Field = CB_Var_FF->ItemIndex();
    if (CB_Var_Dim->ItemIndex() >= 0) V.Dimension = CB_Var_Dim->ItemIndex();
    if (CB_Var_Unit->ItemIndex() >= 0) V.Unita = CB_Var_Unit->ItemIndex();
    if (CB_VIFE->ItemIndex() >= 0) V.VIFE = uint8_t(CB_VIFE->ItemIndex());
    if (CB_PostOpe->ItemIndex() >= 0) V.Post_Operation = uint8_t(CB_PostOpe->ItemIndex());
    V.Storage_Number = uint32_t(StrToInt64Def(E_Sto_Num->Text(), 0));
    V.Tariff = StrToIntDef(E_Tariff->Text(), 0);
    V.BCDtoINT = CB_BCDtoINT->Checked();
    V.VIF_ASCII = E_VIF_ASCII->Text();
    V.Length = StrToIntDef(E_Length->Text(), 0);
    V.Conv_Float = CB_Float->Checked();
    V.Force_Int32 = CB_Force_Int32->Checked();
    V.TP_Mod_Regs = CB_TP_MR->Checked();
    V.Position = uint8_t(StrToIntDef(E_Position->Text(), 1));
}

void TFMeter_Bus::btn_Add_VarClick(TObject*) {
    if (btn_Add_Var->Caption() == Text_Of(Text_Add_Var)) {
        if (!NODE_ID || IND_NODO < 0 || !Controllo_Dati_New_Var()) return;
        auto v = std::make_unique<TVariabile>();
        Take_Variable(*v);
        const QString text = Var_Item_Text(*v);
        Nodi_List[size_t(IND_NODO)]->Var_List.push_back(std::move(v));
        TW->Items()->AddChild(NODE_ID, text);
    } else {
        if (!SELECT_NODE || IND_VAR < 0 || !Controllo_Dati_New_Var()) return;
        TVariabile& v = *Nodi_List[size_t(IND_NODO)]->Var_List[size_t(IND_VAR)];
        Take_Variable(v);
        SELECT_NODE->SetText(Var_Item_Text(v));
    }
    Is_Change = true;
    NODE_ORIG->Expand(false);
    Aggiorna_Label_Num_Byte();
}

// ---------------------------------------------------------------------------
// Deleting, copying and pasting

void TFMeter_Bus::btn_Delete_ItemClick(TObject*) {
    if (IND_NODO < 0) {
        if (!Confirm(Text_Delete_All)) return;
        const bool had = !Nodi_List.empty();
        Clear_Network();
        NODE_ORIG->Expand(false);
        if (had) Is_Change = true;
        Aggiorna_Label();
    } else if (IND_VAR < 0) {
        if (!Confirm(Text_Delete_Node)) return;
        TTreeNode* item = NODE_ID;
        // The list first: removing the item moves the tree's selection,
        // which reads the list again.
        Nodi_List.erase(Nodi_List.begin() + IND_NODO);
        Is_Change = true;
        item->Delete();
    } else {
        if (!Confirm(Text_Delete_Var)) return;
        TTreeNode* item = SELECT_NODE;
        auto& vars = Nodi_List[size_t(IND_NODO)]->Var_List;
        vars.erase(vars.begin() + IND_VAR);
        Is_Change = true;
        item->Delete();
    }
    TW->Invalidate();
    TWClick(TW);
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::CopyVariable1Click(TObject*) {
    if (IND_NODO < 0 || IND_NODO >= int(Nodi_List.size())) return Error(Text_Select_Var_Node);
    const TNodo& n = *Nodi_List[size_t(IND_NODO)];
    if (IND_VAR < 0 || IND_VAR >= int(n.Var_List.size())) return Error(Text_Select_Var);
    Copy_Var = std::make_unique<TVariabile>(*n.Var_List[size_t(IND_VAR)]);
    PasteVariable1->Enabled = true;
}

void TFMeter_Bus::PasteVariable1Click(TObject*) {
    if (!Copy_Var) return Error(Text_Copy_Var_Before);
    if (!NODE_ID || IND_NODO < 0) return Error(Text_Select_Paste_Node);
    Nodi_List[size_t(IND_NODO)]->Var_List.push_back(std::make_unique<TVariabile>(*Copy_Var));
    TW->Items()->AddChild(NODE_ID, Var_Item_Text(*Copy_Var));
    Is_Change = true;
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::CopyNode1Click(TObject*) {
    if (IND_NODO < 0 || IND_NODO >= int(Nodi_List.size())) return Error(Text_Select_Node);
    Copy_Node = Deep_Copy(*Nodi_List[size_t(IND_NODO)]);
    PasteNode1->Enabled = true;
}

void TFMeter_Bus::PasteNode1Click(TObject*) {
    if (!Copy_Node || !FNewIDNode) return;
    TFNewIDNode* d = FNewIDNode;
    d->E_New_Node_ID_Pri->SetText(QString::number(Copy_Node->Node_ID_Primary));
    d->E_New_Node_ID_Sec->SetText(QString::number(Copy_Node->Node_ID_Secondary));
    if (Copy_Node->Node_ID_Type == 1) d->RB_ID_Secondary->SetChecked(true);
    else d->RB_ID_Primary->SetChecked(true);
    if (d->ShowModal() != mrOk) return;
    const bool secondary = d->RB_ID_Secondary->Checked();
    auto n = Deep_Copy(*Copy_Node);
    n->Node_ID_Primary = StrToIntDef(d->E_New_Node_ID_Pri->Text(), 0);
    n->Node_ID_Secondary = StrToIntDef(d->E_New_Node_ID_Sec->Text(), 0);
    n->Node_ID_Type = secondary ? 1 : 0;
    const QString text = QStringLiteral("ID %1 - %2")
                             .arg(secondary ? d->E_New_Node_ID_Sec->Text() : d->E_New_Node_ID_Pri->Text(),
                                  Copy_Node->Description);
    TTreeNode* item = TW->Items()->AddChild(NODE_ORIG, text);
    for (const auto& v : n->Var_List) TW->Items()->AddChild(item, Var_Item_Text(*v));
    Nodi_List.push_back(std::move(n));
    Is_Change = true;
    Aggiorna_Label_Num_Byte();
}

// ---------------------------------------------------------------------------
// Import, OK and Cancel

void TFMeter_Bus::Btn_ImportNetClick(TObject*) {
    if (!OD_Import_Net->Execute()) return;
    const QString chosen = OD_Import_Net->FileName;
    if (File_M_Bus.isEmpty() || !DirectoryExists(Dir_Project)) return Error(Text_Project_Not_Valid);
    // The chosen file must be a network file: one that is not is refused
    // and the project's file stays as it is.
    try {
        Read_MBus_Network(chosen);
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    if (FileExists(File_M_Bus) && !Confirm(Text_Overwrite_Network)) return;
    const bool same = QFileInfo(chosen).canonicalFilePath() == QFileInfo(File_M_Bus).canonicalFilePath();
    if (!same) {
        try {
            // Replaced whole: a copy that fails leaves the old file.
            WriteFileWhole(File_M_Bus, ReadFileWhole(chosen));
        } catch (const Exception& e) {
            MessageDlg(e.Message(), mtError, MsgDlgButtons({mbOK}));
            return;
        }
    }
    Load_Network();
}

void TFMeter_Bus::LbButton2Click(TObject*) {
    if (Calcola_Byte_Usati() > MBus_Max_Bytes) {
        MessageDlg(Text_Of(Text_Bytes_Over) + QString::number(MBus_Max_Bytes), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    if (File_M_Bus.isEmpty() || !DirectoryExists(Dir_Project)) return Error(Text_Project_Not_Valid);
    try {
        if (File_Unreadable && FileExists(File_M_Bus)) {
            // The file that could not be read is kept whole beside.
            WriteFileWhole(File_M_Bus + QStringLiteral(".bad"), ReadFileWhole(File_M_Bus));
        }
        Write_MBus_Network(File_M_Bus, Nodi_List);
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    File_Unreadable = false;
    Clear_Network();
    SetModalResult(mrOk);
}

void TFMeter_Bus::LbButton4Click(TObject*) {
    if (Is_Change && !Confirm(Text_Exit_Unsaved)) return;
    SetModalResult(mrCancel);
}
