#include "app/USoftOptions.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/TabControls.h"
#include "platform/controls/Timers.h"
#include "app/ULanguage.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"
#include "platform/sys/HttpClient.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

// ---------------------------------------------------------------------------
// Version check

namespace {

const QString Query_Path = QStringLiteral("/home/download/GetversionSW.asp?nomesw=");
const QString Download_Path = QStringLiteral("/Home/download/download.asp#");
const QString No_Version = QStringLiteral("VER. 0.000");
const QByteArray Accept_Value = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";

TUpdateServer Default_Server()
{
    TUpdateServer s;
    s.Host = Company_Label;
    return s;
}

QString Host_And_Port(const TUpdateServer& s)
{
    return s.Port == 80 ? s.Host : s.Host + QLatin1Char(':') + QString::number(s.Port);
}

// Only the plain decimal digits of a version count; a hexadecimal prefix
// that the general number reading would accept is not a version.
bool Is_Decimal_Text(const QString& s)
{
    int i = (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) ? 1 : 0;
    if (i >= s.size())
        return false;
    for (; i < s.size(); ++i)
        if (s.at(i) < QLatin1Char('0') || s.at(i) > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

TUpdateServer& Update_Server()
{
    static TUpdateServer s = Default_Server();
    return s;
}

void Reset_Update_Server()
{
    Update_Server() = Default_Server();
}

QString Version_Query_Url(const QString& queryValue)
{
    return QStringLiteral("http://") + Host_And_Port(Update_Server()) + Query_Path + queryValue;
}

QString Download_Page_Url(int modelCode)
{
    return QStringLiteral("http://") + Company_Label + Download_Path + Get_HW_Code(modelCode);
}

QString Download_Link(int modelCode, const QString& linkText)
{
    return QStringLiteral("<a href=\"") + Download_Page_Url(modelCode) + QStringLiteral("\">") + linkText +
           QStringLiteral("</a>");
}

int Conv_Version(const QString& Ver_str)
{
    const int blank = Ver_str.indexOf(QLatin1Char(' '));
    const QString v = Trim(blank < 0 ? Ver_str : Ver_str.mid(blank + 1));
    if (v.size() < 5)
        return -1;
    // The digit before the point and the three after it.
    const QString digits = QString(v.at(0)) + v.at(2) + v.at(3) + v.at(4);
    int n = -1;
    if (!Is_Decimal_Text(digits) || !TryStrToInt(digits, n))
        return -1;
    return n;
}

bool Is_Newer_Version(const QString& reply, const QString& current)
{
    const QString r = Trim(reply);
    if (r.isEmpty() || UpperCase(r) == No_Version)
        return false;
    const int have = Conv_Version(current);
    const int offered = Conv_Version(r);
    return have != -1 && offered != -1 && offered > have;
}

QString Query_Version(const QString& queryValue)
{
    const TUpdateServer& s = Update_Server();
    const Sys::HttpHeaders headers = {
        {"Accept", Accept_Value},
        {"User-Agent", "Kalmetor-Configurator/" + Get_Version(Model_Code).toLatin1()},
    };
    try {
        const Sys::HttpResponse r = Sys::HttpClient().Get(Version_Query_Url(queryValue), headers, s.TimeoutMs);
        if (r.Status < 200 || r.Status > 299)
            return QString();
        return QString::fromLatin1(r.Body);
    } catch (...) {
        // No answer is no newer version; the check never stops the program.
        return QString();
    }
}

bool Check_Version_Of(int modelCode)
{
    QString query, current;
    if (modelCode >= 1 && modelCode <= 15) {
        query = QString::fromLatin1(Table_SW_Code_Check[modelCode - 1]);
        current = Get_Version(modelCode);
    }
    return Is_Newer_Version(Query_Version(query), current);
}

bool Update_Check_Allowed()
{
    return Enable_Internet == 1 && Enable_Update == 1;
}

// ---------------------------------------------------------------------------
// Language pages

QStringList List_Language_Files(const QString& dirLanguage)
{
    QStringList names;
    QDir dir(dirLanguage);
    if (dirLanguage.isEmpty() || !dir.exists())
        return names;
    const QFileInfoList entries =
        dir.entryInfoList(QStringList{QStringLiteral("*.lng")}, QDir::Files | QDir::Hidden | QDir::System,
                          QDir::Unsorted);
    for (const QFileInfo& fi : entries) {
        // The pattern ignores case; the language is loaded as "<name>.lng".
        if (!fi.fileName().endsWith(QStringLiteral(".lng")) || fi.fileName().size() <= 4)
            continue;
        if (fi.isSymLink() || !fi.isFile())
            continue;
        // A file its owner may not write is a read-only file.
        if (!(fi.permissions() & QFileDevice::WriteOwner))
            continue;
        names << fi.fileName();
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = CompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

int Lang_Page_Count(int count)
{
    return (count + Lang_Slots - 1) / Lang_Slots;
}

QString Lang_Name(const QString& fileName)
{
    return fileName.left(std::max<qsizetype>(0, fileName.size() - 4));
}

QString Flag_Picture(const QString& dirLanguage, const QString& name)
{
    const QString own = PathJoin(dirLanguage, name + QStringLiteral(".bmp"));
    if (FileExists(own))
        return own;
    const QString fallback = PathJoin(dirLanguage, QStringLiteral("DefaultFlag.bmp"));
    if (FileExists(fallback))
        return fallback;
    return QString();
}

int Turn_Lang_Page(int showPage, int pages, bool forward)
{
    if (forward)
        return pages >= showPage + 1 ? showPage + 1 : showPage;
    return showPage > 1 ? showPage - 1 : showPage;
}

int Lang_Slot_Index(int page, int slot)
{
    return Lang_Slots * (page - 1) + slot - 1;
}

TLangPageView Lang_Page_View(const QStringList& files, int page, const QString& dirLanguage)
{
    TLangPageView v;
    const int count = int(files.size());
    const int pages = Lang_Page_Count(count);
    v.Page_Label = Text_Of(43) + QString::number(page) + Text_Of(44) + QString::number(pages);
    v.Prev_Visible = page != 1;
    v.Next_Visible = page != pages;
    const int n = std::clamp(count - Lang_Slots * (page - 1), 0, Lang_Slots);
    for (int k = 1; k <= n; ++k) {
        const QString name = Lang_Name(files.at(Lang_Slot_Index(page, k)));
        v.Slots.append({name, Flag_Picture(dirLanguage, name)});
    }
    return v;
}

void Load_Texts_Of(const QString& language)
{
    const QString kept = Language;
    Language = language;
    Load_Language();
    Language = kept;
}

// ---------------------------------------------------------------------------
// Switches

TSwitchState Switch_State(bool internetTicked, bool updateTicked)
{
    TSwitchState s;
    s.Update_Enabled = internetTicked;
    s.Check_Button_Enabled = internetTicked && updateTicked && s.Update_Enabled;
    return s;
}

// ---------------------------------------------------------------------------
// The dialog

TFSoftOptions* FSoftOptions = nullptr;

namespace {

struct TSlotPlace {
    int Image_Left, Image_Top, Label_Left, Label_Top;
};
const TSlotPlace Slot_Places[Lang_Slots] = {
    {24, 40, 80, 56},   {26, 94, 80, 110},   {24, 148, 80, 164},
    {254, 40, 310, 56}, {254, 94, 310, 110}, {254, 148, 310, 164},
};

// The dialog's size is ours to choose: the page control holds the widest
// row of the language page (Next at 379) and the Previous/Next row.
constexpr int Options_Width = 484, Options_Height = 69 + 272 + 40;

} // namespace

TFSoftOptions::TFSoftOptions(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FSoftOptions"));
    Apply_Dialog_Look(this);
    SetBorderIcons(biSystemMenu);
    P_Title = Make_Title_Band(this, L_SW_Code, L_SW_Desc);
    P_Button = Make_Button_Band(this);
    Btn_OK = Make_Button(this, P_Button, 16, 6, 110, 28);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_Cancel = Make_Button(this, P_Button, 134, 6, 110, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);

    PC_Options = new TPageControl(this);
    PC_Options->SetParent(this);
    PC_Options->SetAlign(alClient);
    TS_Language = new TTabSheet(this);
    TS_Language->SetPageControl(PC_Options);
    TS_Con_Options = new TTabSheet(this);
    TS_Con_Options->SetPageControl(PC_Options);

    // Language page
    L_Sel_Lang = Make_Label(this, TS_Language, 12, 11);
    L_Sel_Lang->Font()->SetStyle(fsBold);
    for (int k = 0; k < Lang_Slots; ++k) {
        const TSlotPlace& p = Slot_Places[k];
        I_L[k] = new TImage(this);
        I_L[k]->SetParent(TS_Language);
        I_L[k]->SetBounds(p.Image_Left, p.Image_Top, 48, 48);
        I_L[k]->SetStretch(true);
        I_L[k]->SetCursor(crHandPoint);
        I_L[k]->OnClick = [this, k](TObject*) { LangClick(k + 1); };
        L_L[k] = Make_Label(this, TS_Language, p.Label_Left, p.Label_Top);
        L_L[k]->SetCursor(crHandPoint);
        L_L[k]->OnClick = [this, k](TObject*) { LangClick(k + 1); };
    }
    L_Page_Lang = Make_Label(this, TS_Language, 220, 212);
    Btn_Prev = Make_Button(this, TS_Language, 12, 204, 90, 28);
    Btn_Prev->OnClick = [this](TObject* Sender) { Btn_NextClick(Sender); };
    Btn_Next = Make_Button(this, TS_Language, 379, 205, 90, 28);
    Btn_Next->OnClick = [this](TObject* Sender) { Btn_NextClick(Sender); };

    // Connection page
    CB_En_Con = new TCheckBox(this);
    CB_En_Con->SetParent(TS_Con_Options);
    CB_En_Con->SetBounds(12, 16, 400, 17);
    CB_En_Con->OnClick = [this](TObject* Sender) { CB_En_ConClick(Sender); };
    CB_Update = new TCheckBox(this);
    CB_Update->SetParent(TS_Con_Options);
    CB_Update->SetBounds(36, 47, 400, 17);
    CB_Update->OnClick = [this](TObject* Sender) { CB_En_ConClick(Sender); };
    Btn_Check_Update = Make_Button(this, TS_Con_Options, 36, 78, 204, 28);
    Btn_Check_Update->OnClick = [this](TObject* Sender) { Btn_Check_UpdateClick(Sender); };
    LL_Check_Update = new TLinkLabel(this);
    LL_Check_Update->SetParent(TS_Con_Options);
    LL_Check_Update->SetLeft(40);
    LL_Check_Update->SetTop(120);
    LL_Check_Update->SetVisible(false);
    LL_Check_Update->OnLinkClick = [this](TObject*, const QString& Link, TSysLinkType) {
        LL_Check_UpdateLinkClick(Link);
    };

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

void TFSoftOptions::AfterConstruction()
{
    TForm::AfterConstruction();
    FSoftOptions = this;
    FormCreate();
}

void TFSoftOptions::FormCreate()
{
    L_SW_Code->SetCaption(SW_Code);
    // The partner editions have no connection page.
    TS_Con_Options->SetTabVisible(Model_Code <= 1000);
    SetClientSize(Options_Width, Options_Height);
    Set_Lang();
}

void TFSoftOptions::Set_Lang()
{
    SetCaption(Text_Of(38));
    L_SW_Desc->SetCaption(Text_Of(39));
    TS_Language->SetCaption(Text_Of(40));
    TS_Con_Options->SetCaption(Text_Of(41));
    L_Sel_Lang->SetCaption(Text_Of(42) + Language_In_Use);
    // Before the first showing the page label reads page 1 of 1.
    L_Page_Lang->SetCaption(FListed ? Lang_Page_View(SL_Languages, Show_Page, Dir_Language).Page_Label
                                    : Text_Of(43) + QStringLiteral("1") + Text_Of(44) + QStringLiteral("1"));
    Btn_Prev->SetCaption(Text_Of(45));
    Btn_Next->SetCaption(Text_Of(46));
    CB_En_Con->SetCaption(Text_Of(47));
    CB_Update->SetCaption(Text_Of(48));
    Btn_Check_Update->SetCaption(Text_Of(49));
    Btn_OK->SetCaption(Text_Of(50));
    Btn_Cancel->SetCaption(Text_Of(51));
}

void TFSoftOptions::FormShow(TObject*)
{
    FTexts_Switched = false;
    Language_In_Use = Language;
    Create_Lang_List();
    Update_CheckBox();
    LL_Check_Update->SetVisible(false);
    PC_Options->SetActivePage(TS_Language);
    CB_En_Con->SetChecked(Enable_Internet != 0);
    CB_Update->SetChecked(Enable_Update != 0);
}

void TFSoftOptions::Create_Lang_List()
{
    SL_Languages = List_Language_Files(Dir_Language);
    FListed = true;
    Show_Page = 1;
    Update_Lang_Page(1);
}

void TFSoftOptions::Update_Lang_Page(int Num_Page)
{
    const TLangPageView v = Lang_Page_View(SL_Languages, Num_Page, Dir_Language);
    L_Sel_Lang->SetCaption(Text_Of(42) + Language_In_Use);
    L_Page_Lang->SetCaption(v.Page_Label);
    Btn_Prev->SetVisible(v.Prev_Visible);
    Btn_Next->SetVisible(v.Next_Visible);
    for (int k = 0; k < Lang_Slots; ++k) {
        const bool shown = k < v.Slots.size();
        L_L[k]->SetVisible(shown);
        I_L[k]->SetVisible(shown && !v.Slots[k].Flag.isEmpty());
        if (!shown)
            continue;
        L_L[k]->SetCaption(v.Slots[k].Name);
        if (v.Slots[k].Flag.isEmpty())
            continue;
        try {
            I_L[k]->Picture()->LoadFromFile(v.Slots[k].Flag);
            I_L[k]->PictureChanged();
        } catch (const Exception&) {
            // A flag that cannot be read leaves the slot with its name only.
            I_L[k]->SetVisible(false);
        }
    }
}

void TFSoftOptions::Btn_NextClick(TObject* Sender)
{
    const int pages = Lang_Page_Count(int(SL_Languages.size()));
    Show_Page = Turn_Lang_Page(Show_Page, pages, Sender == Btn_Next);
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::LangClick(int slot)
{
    const int index = Lang_Slot_Index(Show_Page, slot);
    if (index < 0 || index >= SL_Languages.size())
        return;
    const QString name = Lang_Name(SL_Languages.at(index));
    const QString question = Text_Of(54) + Language_In_Use + Text_Of(55) + name + Text_Of(56);
    if (MessageDlg(question, mtConfirmation, MsgDlgButtons({mbYes, mbNo})) != mrYes)
        return;
    Language_In_Use = name;
    Load_Texts_Of(name);
    FTexts_Switched = true;
    if (FKalmetoreFirmWare)
        FKalmetoreFirmWare->Change_Language();
    else
        Set_Lang();
    L_Sel_Lang->SetCaption(Text_Of(42) + Language_In_Use);
}

void TFSoftOptions::Update_CheckBox()
{
    const TSwitchState s = Switch_State(CB_En_Con->Checked(), CB_Update->Checked());
    CB_Update->SetEnabled(s.Update_Enabled);
    Btn_Check_Update->SetEnabled(s.Check_Button_Enabled);
}

void TFSoftOptions::CB_En_ConClick(TObject*)
{
    Update_CheckBox();
}

bool TFSoftOptions::Check_Version()
{
    return Check_Version_Of(Model_Code);
}

void TFSoftOptions::Btn_Check_UpdateClick(TObject*)
{
    if (Check_Version())
        LL_Check_Update->SetCaption(Download_Link(Model_Code, Text_Of(52)));
    else
        LL_Check_Update->SetCaption(Text_Of(53));
    LL_Check_Update->SetVisible(true);
}

void TFSoftOptions::LL_Check_UpdateLinkClick(const QString& Link)
{
    Open_Link(Link);
}

void TFSoftOptions::Btn_OKClick(TObject*)
{
    Language = Language_In_Use;
    Enable_Internet = CB_En_Con->Checked() ? 1 : 0;
    Enable_Update = CB_Update->Checked() ? 1 : 0;
    if (FKalmetoreFirmWare)
        FKalmetoreFirmWare->Set_Update_Timer();
    FTexts_Switched = false;
    SetModalResult(mrOk);
}

void TFSoftOptions::FormClose(TObject*, TCloseAction&)
{
    // Leaving without OK keeps the stored language, so its texts come back.
    if (!FTexts_Switched)
        return;
    FTexts_Switched = false;
    Load_Language();
    Language_In_Use = Language;
    if (FKalmetoreFirmWare)
        FKalmetoreFirmWare->Change_Language();
    else
        Set_Lang();
}
