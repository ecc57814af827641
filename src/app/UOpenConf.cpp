#include "app/UOpenConf.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/StrUtils.h"

#include <QDir>

#include <algorithm>

QStringList Load_Existing_Configuration(const QString& dirProjects)
{
    QStringList SL;
    if (dirProjects.isEmpty())
        return SL;
    const QDir dir(dirProjects);
    if (!dir.exists())
        return SL;
    SL = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Unsorted);
    std::sort(SL.begin(), SL.end(), [](const QString& a, const QString& b) {
        const int c = CompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return SL;
}

int Search_Open_Conf(const QStringList& SL, const QString& name)
{
    for (int i = 0; i < SL.size(); ++i)
        if (SameText(SL.at(i), name))
            return i;
    return -1;
}

QString Open_Conf_Name()
{
    const QString prefix = Dir_Projects + QLatin1Char('/');
    if (Dir_Project.isEmpty() || !Dir_Project.startsWith(prefix))
        return QString();
    return Dir_Project.mid(prefix.size());
}

int Preselect_Conf(const QStringList& SL, QString& Name_Conf)
{
    if (SL.isEmpty())
        return -1;
    int i = Search_Open_Conf(SL, Open_Conf_Name());
    if (i < 0)
        i = 0;
    Name_Conf = SL.at(i);
    return i;
}

// ---------------------------------------------------------------------------
// The dialog

TFOpenConf* FOpenConf = nullptr;

namespace {

// The list keeps these margins to the sides and the button band as the
// dialog is sized; the buttons keep theirs to the right edge.
constexpr int List_Left = 16, List_Top = 94, List_Right_Margin = 26, List_Bottom_Margin = 8;
constexpr int OK_Right = 377 - 123, Cancel_Right = 377 - 241;

} // namespace

TFOpenConf::TFOpenConf(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FOpenConf"));
    Apply_Dialog_Look(this);
    SetBorderStyle(bsSizeable);
    P_Title = Make_Title_Band(this, L_SW_Code, L_SW_Desc);
    Label1 = Make_Label(this, this, 16, 70);
    ListBox1 = new TListBox(this);
    ListBox1->SetParent(this);
    ListBox1->SetBounds(List_Left, List_Top, 335, 273);
    ListBox1->OnClick = [this](TObject* Sender) { ListBox1Click(Sender); };
    P_Button = Make_Button_Band(this);
    Btn_OK = Make_Button(this, P_Button, 123, 6, 110, 28);
    Btn_OK->SetModalResult(mrOk);
    // Enter in the list confirms the project picked.
    Btn_OK->SetDefault(true);
    Btn_Cancel = Make_Button(this, P_Button, 241, 6, 110, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFOpenConf::AfterConstruction()
{
    TForm::AfterConstruction();
    FOpenConf = this;
    FormCreate();
}

void TFOpenConf::FormCreate()
{
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(377, 351);
    Set_Lang();
}

void TFOpenConf::Resize()
{
    TForm::Resize();
    if (!ListBox1 || !P_Button)
        return;
    const int w = ClientWidth(), h = ClientHeight() - P_Button->Height();
    ListBox1->SetBounds(List_Left, List_Top, std::max(0, w - List_Left - List_Right_Margin),
                        std::max(0, h - List_Top - List_Bottom_Margin));
    Btn_OK->SetLeft(w - OK_Right);
    Btn_Cancel->SetLeft(w - Cancel_Right);
}

void TFOpenConf::Set_Lang()
{
    SetCaption(Text_Of(33));
    L_SW_Desc->SetCaption(Text_Of(34));
    Label1->SetCaption(Text_Of(35));
    Btn_OK->SetCaption(Text_Of(36));
    Btn_Cancel->SetCaption(Text_Of(37));
}

void TFOpenConf::Load_Existing_Configuration()
{
    SL = ::Load_Existing_Configuration(Dir_Projects);
}

void TFOpenConf::FormShow(TObject*)
{
    Load_Existing_Configuration();
    ListBox1->Clear();
    for (const QString& name : SL)
        ListBox1->Items()->Add(name);
    const int i = Preselect_Conf(SL, Name_Conf);
    ListBox1->SetItemIndex(i);
}

void TFOpenConf::ListBox1Click(TObject*)
{
    const int i = ListBox1->ItemIndex();
    if (i >= 0 && i < ListBox1->Items()->Count())
        Name_Conf = ListBox1->Items()->Strings(i);
}
