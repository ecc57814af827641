#include "app/UParGen.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"
#include "platform/xml/XmlDoc.h"

#include <algorithm>

TParGenDialogModel::TParGenDialogModel(int modelCode) : FValues(modelCode)
{
    Collapse_Expand_Creation();
}

void TParGenDialogModel::Collapse_Expand_Creation()
{
    FExpanded.fill(true);
}

void TParGenDialogModel::FormShow(const QString& path)
{
    FValues.Read_File(path);
    FIs_Change = false;
}

void TParGenDialogModel::Btn_GB_Collapse(TParGenBox box)
{
    FExpanded[int(box)] = false;
}

void TParGenDialogModel::Btn_GB_Expande(TParGenBox box)
{
    FExpanded[int(box)] = true;
}

TParGenLayout TParGenDialogModel::Move_GroupBoxs() const
{
    return ::Move_GroupBoxs(ModelCode(), FExpanded, FValues.Index(ParGen_Wire_Present), FValues.Index(ParGen_Wireless_Present));
}

QString TParGenDialogModel::On_Change(const QString& key, const QString& value)
{
    FIs_Change = true;
    FValues.Set_Value(key, value);
    const bool presence = key == ParGen_Wire_Present || key == ParGen_Wireless_Present;
    if (!presence || !FValues.Has(key))
        return {};
    if (FValues.Index(ParGen_Wire_Present) == 0 && FValues.Index(ParGen_Wireless_Present) == 0) {
        FValues.Set_Index(key, 1);
        return Text_Of(736);
    }
    return {};
}

void TParGenDialogModel::On_Click(const QString& key, bool ticked)
{
    FIs_Change = true;
    FValues.Set_Flag(key, ticked);
}

bool TParGenDialogModel::Btn_OKClick(const QString& path, const std::function<void(const QString&)>& showError)
{
    if (!Controllo_Dati(FValues, showError))
        return false;
    FValues.Write_File(path);
    return true;
}

bool TParGenDialogModel::Btn_CancelClick(const std::function<bool(const QString&)>& confirm) const
{
    if (!FIs_Change)
        return true;
    return confirm && confirm(Text_Of(167));
}

bool TParGenDialogModel::FormCloseQuery(const std::function<bool(const QString&)>& confirm) const
{
    // Closing by the title bar loses the edits just as Cancel does, so it
    // asks the same question.
    return Btn_CancelClick(confirm);
}

// ---------------------------------------------------------------------------
// The dialog's window

TFParGen* FParGen = nullptr;

namespace {

constexpr int Title_Height = 60;
constexpr int Button_Width = 112, Button_Height = 28;
constexpr int Fold_Button_Left = 280, Fold_Button_Top = 10, Fold_Button_Size = 11;

// The small picture of a collapse ("-") or expand ("+") button.
void Draw_Fold_Glyph(TBitmap& glyph, bool plus)
{
    glyph.SetSize(7, 7);
    TCanvas* c = glyph.Canvas();
    c->Brush().SetColor(clWhite);
    c->FillRect(Rect(0, 0, 7, 7));
    c->Pen().SetColor(clBlack);
    c->MoveTo(1, 3);
    c->LineTo(6, 3);
    if (plus) {
        c->MoveTo(3, 1);
        c->LineTo(3, 6);
    }
}

TLbButton* New_Fold_Button(TGroupBox* parent, const QString& name, bool plus)
{
    auto* b = new TLbButton(parent);
    b->SetParent(parent);
    b->SetName(name);
    b->SetStyle(bsEncarta);
    b->SetBounds(Fold_Button_Left, Fold_Button_Top, Fold_Button_Size, Fold_Button_Size);
    TBitmap glyph;
    Draw_Fold_Glyph(glyph, plus);
    b->SetGlyph(&glyph);
    b->SetShowHint(true);
    b->SetTabStop(false);
    return b;
}

} // namespace

TFParGen::TFParGen(TComponent* AOwner) : TForm(AOwner), FModel(Model_Code)
{
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    SetColor(Dialog_Color);
    Font()->SetName(QStringLiteral("Verdana"));
    Font()->SetSize(8);

    P_Title = new TPanel(this);
    P_Title->SetParent(this);
    P_Title->SetBounds(0, 0, 312, Title_Height);
    P_Title->SetBevelOuter(bvNone);
    P_Title->SetShowCaption(false);
    P_Title->SetParentColor(false);
    P_Title->SetColor(clWhite);
    L_SW_Code = new TLabel(P_Title);
    L_SW_Code->SetParent(P_Title);
    L_SW_Code->SetBounds(12, 4, 200, 30);
    Style_Bold_Code_Label(L_SW_Code);
    L_SW_Desc = new TLabel(P_Title);
    L_SW_Desc->SetParent(P_Title);
    L_SW_Desc->SetBounds(14, 40, 280, 13);

    Create_Controls();

    Btn_OK = Make_Button(this, this, 71, 0, Button_Width, Button_Height);
    Btn_Cancel = Make_Button(this, this, 192, 0, Button_Width, Button_Height);
    // Escape is the Cancel button's key.
    Btn_Cancel->SetCancel(true);

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_Cancel->OnClick = [this](TObject* s) { Btn_CancelClick(s); };
}

void TFParGen::Create_Controls()
{
    for (const TGroupBoxInfo& g : Group_Boxes()) {
        auto* box = new TGroupBox(this);
        box->SetParent(this);
        box->SetName(QString::fromLatin1(g.Name));
        box->SetParentColor(true);
        FGroups[size_t(g.Box)] = box;
        FCollapse[size_t(g.Box)] = New_Fold_Button(box, Collapse_Button_Name(g.Box), false);
        FExpand[size_t(g.Box)] = New_Fold_Button(box, Expand_Button_Name(g.Box), true);
        FCollapse[size_t(g.Box)]->OnClick = [this](TObject* s) { Btn_GB_Collapse(s); };
        FExpand[size_t(g.Box)]->OnClick = [this](TObject* s) { Btn_GB_Expande(s); };
    }
    for (const TParGenControl& c : ParGen_Controls()) {
        TGroupBox* parent = GB(c.Box);
        TControl* control = nullptr;
        const TParKey* key = Find_ParGen_Control(c.Name);
        switch (c.Kind) {
        case TControlKind::Label:
        case TControlKind::Dot: {
            auto* l = new TLabel(parent);
            l->SetAutoSize(false);
            l->SetTransparent(true);
            if (c.Kind == TControlKind::Dot)
                l->SetCaption(QStringLiteral("."));
            control = l;
            break;
        }
        case TControlKind::Edit: {
            auto* e = new TEdit(parent);
            e->SetTabStop(true);
            e->OnChange = [this](TObject* s) { On_Change(s); };
            if (Octet_Edits(c.Box).contains(c.Name))
                e->OnKeyPress = [this](TObject* s, QChar& k) { KeyPress(s, k); };
            if (c.Name == QLatin1String("E_Profinet_Name_Station"))
                e->SetMaxLength(15);
            if (key && key->Encoding == TParEncoding::Fixed)
                e->SetEnabled(false);
            control = e;
            break;
        }
        case TControlKind::List: {
            auto* cb = new TComboBox(parent);
            cb->SetStyle(csDropDownList);
            cb->SetTabStop(true);
            if (key)
                for (const QString& item : key->Items)
                    cb->Items()->Add(item);
            cb->OnChange = [this](TObject* s) { On_Change(s); };
            if (c.Name == QLatin1String("CB_KNX_Type"))
                cb->SetEnabled(false);
            control = cb;
            break;
        }
        case TControlKind::Check_Box: {
            auto* x = new TCheckBox(parent);
            x->SetParentColor(true);
            x->SetTabStop(true);
            x->OnClick = [this](TObject* s) { On_Click(s); };
            control = x;
            break;
        }
        }
        control->SetParent(parent);
        control->SetName(c.Name);
        TParGenControl place;
        const TParGenControl* p = Find_Control_Place(c.Name, FModel.ModelCode(), &place);
        control->SetBounds(p->Left, p->Top, p->Width, p->Height);
        FControls.insert(c.Name, control);
    }
}

void TFParGen::FormCreate(TObject*)
{
    L_SW_Code->SetCaption(SW_Code);
    for (TGroupBox* g : FGroups)
        g->SetVisible(false);
    // The rows a model does not show stay hidden for good.
    for (auto it = FControls.cbegin(); it != FControls.cend(); ++it)
        if (!Control_Shown(it.key(), FModel.ModelCode()))
            it.value()->SetVisible(false);
    Collapse_Expand_Creation();
    Move_GroupBoxs();
    Set_Lang();
}

void TFParGen::Collapse_Expand_Creation()
{
    FModel.Collapse_Expand_Creation();
    for (const TGroupBoxInfo& g : Group_Boxes()) {
        Collapse_Button(g.Box)->SetVisible(true);
        Expand_Button(g.Box)->SetVisible(false);
    }
}

void TFParGen::Move_GroupBoxs()
{
    const TParGenLayout layout = FModel.Move_GroupBoxs();
    for (const TGroupBoxInfo& g : Group_Boxes()) {
        const TGroupPlace* place = layout.Find(g.Box);
        GB(g.Box)->SetVisible(place != nullptr);
        if (place)
            GB(g.Box)->SetBounds(place->Left, place->Top, place->Width, place->Height);
        // A collapsed group shows its title bar only: its first row goes.
        const bool expanded = FModel.GB_Visible(g.Box);
        for (const QString& name : g.First_Row)
            if (TControl* c = Control(name); c && Control_Shown(name, FModel.ModelCode()))
                c->SetVisible(expanded);
        Collapse_Button(g.Box)->SetVisible(expanded);
        Expand_Button(g.Box)->SetVisible(!expanded);
    }
    Btn_OK->SetTop(layout.Buttons_Top);
    Btn_Cancel->SetTop(layout.Buttons_Top);
    SetClientSize(layout.Client_Width, layout.Client_Height);
    // The groups' places depend on the model: Tab follows them.
    Tab_Order_By_Place(this);
}

void TFParGen::Set_Lang()
{
    SetCaption(Text_Of(90));
    L_SW_Desc->SetCaption(Text_Of(91));
    Btn_OK->SetCaption(Text_Of(92));
    Btn_Cancel->SetCaption(Text_Of(93));
    for (const TGroupBoxInfo& g : Group_Boxes()) {
        GB(g.Box)->SetCaption(Text_Of(Group_Caption(g.Box, FModel.ModelCode())));
        Collapse_Button(g.Box)->SetHint(Text_Of(121));
        Expand_Button(g.Box)->SetHint(Text_Of(122));
    }
    for (const TParGenControl& c : ParGen_Controls())
        if (c.Text > 0)
            Control(c.Name)->SetCaption(Text_Of(Control_Text(c, FModel.ModelCode())));
    // The presence lists take their items from the text table; they show no
    // choice until the dialog is shown again.
    const struct {
        const char* List;
        int First;
    } presence[] = {{"CB_MBus_Options_Wire_Present", 722}, {"CB_MBus_Options_Wireless_Present", 725}};
    for (const auto& p : presence) {
        auto* cb = Control_As<TComboBox>(QString::fromLatin1(p.List));
        FFilling = true;
        cb->Items()->Clear();
        cb->Items()->Add(Text_Of(p.First));
        cb->Items()->Add(Text_Of(p.First + 1));
        cb->SetItemIndex(-1);
        FFilling = false;
    }
}

void TFParGen::Fill_Controls()
{
    FFilling = true;
    const TParGenValues& v = FModel.Values();
    for (const QString& key : v.Keys()) {
        TControl* c = Control(QString::fromLatin1(Find_ParGen_Key(key)->Control));
        if (auto* e = dynamic_cast<TEdit*>(c))
            e->SetText(v.Value(key));
        else if (auto* cb = dynamic_cast<TComboBox*>(c))
            cb->SetItemIndex(v.Index(key));
        else if (auto* x = dynamic_cast<TCheckBox*>(c))
            x->SetChecked(v.Flag(key));
    }
    FFilling = false;
}

void TFParGen::FormShow(TObject*)
{
    FClose_Allowed = false;
    FModel.FormShow(File_ParGen);
    Fill_Controls();
    Move_GroupBoxs();
}

void TFParGen::FormActivate(TObject*)
{
    if (Top() < 0)
        SetTop(0);
}

bool TFParGen::Confirm(const QString& question) const
{
    return MessageDlg(question, mtConfirmation, MsgDlgButtons({mbYes, mbNo})) == mrYes;
}

void TFParGen::FormCloseQuery(TObject*, bool& CanClose)
{
    CanClose = FClose_Allowed || FModel.FormCloseQuery([this](const QString& q) { return Confirm(q); });
}

void TFParGen::Btn_OKClick(TObject*)
{
    const bool saved = FModel.Btn_OKClick(
        File_ParGen, [](const QString& message) { MessageDlg(message, mtError, MsgDlgButtons({mbOK})); });
    if (!saved)
        return;
    FClose_Allowed = true;
    SetModalResult(mrOk);
}

void TFParGen::Btn_CancelClick(TObject*)
{
    if (!FModel.Btn_CancelClick([this](const QString& q) { return Confirm(q); }))
        return;
    FClose_Allowed = true;
    SetModalResult(mrCancel);
}

void TFParGen::Btn_GB_Collapse(TObject* Sender)
{
    for (const TGroupBoxInfo& g : Group_Boxes())
        if (Collapse_Button(g.Box) == Sender) {
            GB(g.Box)->SetHeight(Collapsed_Height);
            FModel.Btn_GB_Collapse(g.Box);
        }
    Move_GroupBoxs();
}

void TFParGen::Btn_GB_Expande(TObject* Sender)
{
    for (const TGroupBoxInfo& g : Group_Boxes())
        if (Expand_Button(g.Box) == Sender) {
            GB(g.Box)->SetHeight(g.Expand_Height);
            FModel.Btn_GB_Expande(g.Box);
        }
    Move_GroupBoxs();
}

QString TFParGen::Key_Of(TObject* control) const
{
    for (auto it = FControls.cbegin(); it != FControls.cend(); ++it)
        if (it.value() == control)
            if (const TParKey* k = Find_ParGen_Control(it.key()))
                return QString::fromLatin1(k->Name);
    return {};
}

void TFParGen::On_Change(TObject* Sender)
{
    if (FFilling)
        return;
    const QString key = Key_Of(Sender);
    if (auto* e = dynamic_cast<TEdit*>(Sender)) {
        FModel.On_Change(key, e->Text());
        return;
    }
    auto* cb = dynamic_cast<TComboBox*>(Sender);
    if (!cb)
        return;
    const QString message = FModel.On_Change(key, IntToStr(cb->ItemIndex()));
    if (key != QLatin1String("MBus_Options_Wire_Present") && key != QLatin1String("MBus_Options_Wireless_Present"))
        return;
    if (!message.isEmpty()) {
        MessageDlg(message, mtError, MsgDlgButtons({mbOK}));
        FFilling = true;
        cb->SetItemIndex(FModel.Values().Index(key));
        FFilling = false;
    }
    Move_GroupBoxs();
}

void TFParGen::On_Click(TObject* Sender)
{
    if (FFilling)
        return;
    if (auto* x = dynamic_cast<TCheckBox*>(Sender))
        FModel.On_Click(Key_Of(Sender), x->Checked());
}

void TFParGen::KeyPress(TObject* Sender, QChar& Key)
{
    const QString name = Sender ? static_cast<TComponent*>(Sender)->Name() : QString();
    QString next;
    if (!Octet_KeyPress(FModel.ModelCode(), name, Key, &next))
        return;
    Key = QChar();
    if (auto* e = Control_As<TWinControl>(next); e && e->CanFocus())
        e->SetFocus();
}
