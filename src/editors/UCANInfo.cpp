#include "editors/UCANInfo.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/xml/XmlDoc.h"
#include "project/ProjectFiles.h"
#include "project/TableFile.h"

namespace {

namespace X = ProjectFiles::CANInfoXml;
namespace L = ProjectFiles::CANFrameListXml;

constexpr int No_Position = X::No_Position;

} // namespace

TFCANInfo::TFCANInfo(TComponent* AOwner, const TCANInfoTexts& texts) : TForm(AOwner), FTexts(texts)
{
    SetName(QString::fromLatin1(texts.Name));
    Apply_Dialog_Look(this);
    P_Title = Make_Title_Band(this, L_SW_Code, L_SW_Desc);
    P_Button = Make_Button_Band(this);
    Btn_OK = Make_Button(this, P_Button, 16, 6, 110, 28);
    Btn_OK->OnClick = [this](TObject* Sender) { bitbtn1Click(Sender); };
    Btn_Cancel = Make_Button(this, P_Button, 134, 6, 110, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);

    StaticText1 = Make_Label(this, this, 16, 77);
    StaticText2 = Make_Label(this, this, 216, 77);
    ListBox1 = new TListBox(this);
    ListBox1->SetName(QStringLiteral("ListBox1"));
    ListBox1->SetParent(this);
    ListBox1->SetBounds(16, 97, 180, 360);
    ListBox1->OnClick = [this](TObject* Sender) { ListBox1Click(Sender); };
    for (int k = 0; k < 8; ++k) {
        TPanel* p = new TPanel(this);
        p->SetName(QStringLiteral("Panel%1").arg(k + 1));
        p->SetParent(this);
        p->SetBounds(216, 97 + k * 45, 420, 41);
        Panel[k] = p;
        Byte_Caption[k] = Make_Label(this, p, 8, 12);
        Edit[k] = new TEdit(this);
        Edit[k]->SetName(QStringLiteral("Edit%1").arg(k + 1));
        Edit[k]->SetParent(p);
        Edit[k]->SetBounds(210, 9, 60, 21);
        Edit[k]->SetText(QStringLiteral("none"));
        Of_KNX[k] = Make_Label(this, p, 276, 12);
        Not_In_Use[k] = Make_Label(this, p, 336, 12);
        // The receive dialog takes a field when it is left, the send dialog
        // at every change.
        if (texts.Receive)
            Edit[k]->OnExit = [this, k](TObject*) { Edit_Done(k + 1); };
        else
            Edit[k]->OnChange = [this, k](TObject*) { Edit_Done(k + 1); };
    }
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFCANInfo::AfterConstruction()
{
    TForm::AfterConstruction();
    FormCreate();
}

void TFCANInfo::FormCreate()
{
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(654, 508);
    Set_Lang();
}

void TFCANInfo::Set_Lang()
{
    SetCaption(Text_Of(FTexts.Caption));
    L_SW_Desc->SetCaption(Text_Of(FTexts.Desc));
    Btn_OK->SetCaption(Text_Of(FTexts.Ok));
    Btn_Cancel->SetCaption(Text_Of(FTexts.Cancel));
    StaticText1->SetCaption(Text_Of(FTexts.List_Caption));
    StaticText2->SetCaption(Text_Of(FTexts.Bytes_Caption));
    for (int k = 0; k < 8; ++k) {
        Byte_Caption[k]->SetCaption(Text_Of(FTexts.First_Byte_Caption + k));
        Of_KNX[k]->SetCaption(Text_Of(FTexts.Of_KNX));
        Not_In_Use[k]->SetCaption(Text_Of(FTexts.Not_In_Use));
    }
}

// ---------------------------------------------------------------------------
// Showing

void TFCANInfo::FormShow(TObject*)
{
    Num_Byte_Max = 1439;
    Data_arr.clear();
    ListBox1->Clear();
    Load_Frames();
    if (Data_arr.empty()) {
        for (TPanel* p : Panel)
            p->SetEnabled(false);
        return;
    }
    Load_Info();
    ListBox1->SetItemIndex(0);
    ListBox1Click(ListBox1);
}

void TFCANInfo::Load_Frames()
{
    const QString path = *FTexts.Frames_File;
    try {
        if (path.isEmpty() || !Project_File_Present(path))
            return;
        const TProjectFile file(path);
        const XmlNode list = file.Required_List(*FTexts.Frames_List);
        int row = 1;
        for (XmlNode n = list.FirstChild(); n; n = n.NextSibling(), ++row) {
            const TRowReader r(n, file.Name(), row, *FTexts.Frames_List);
            const QString cobId = r.Text(L::Cob_Id);
            TRecInfo info;
            info.Dim = r.Integer(L::Dimension);
            ListBox1->Items()->Add(cobId);
            Data_arr.push_back(info);
        }
    } catch (const Exception& e) {
        // The frames read so far stay.
        MessageDlg(e.Message(), mtError, MsgDlgButtons({mbOK}));
    }
}

void TFCANInfo::Load_Info()
{
    const QString path = *FTexts.Info_File;
    try {
        if (path.isEmpty() || !Project_File_Present(path))
            return;
        const TProjectFile file(path);
        size_t i = 0;
        for (XmlNode n = file.Root().FirstChild(); n && i < Data_arr.size(); n = n.NextSibling(), ++i) {
            const TRowReader r(n, file.Name(), int(i) + 1);
            TRecInfo& info = Data_arr[i];
            for (int k = 1; k <= 8; ++k) {
                if (info.Dim < k)
                    continue;
                const int v = r.Integer(X::B_Names[k - 1]);
                if (v < 0 || v > No_Position)
                    throw r.Error(X::B_Names[k - 1], QStringLiteral("is %1, outside 0 to %2").arg(v).arg(No_Position));
                info.PosB[k - 1] = uint16_t(v);
            }
        }
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, MsgDlgButtons({mbOK}));
    }
}

// ---------------------------------------------------------------------------
// The selected frame and its fields

void TFCANInfo::ListBox1Click(TObject*)
{
    const int f = ListBox1->ItemIndex();
    if (f < 0 || f >= int(Data_arr.size()))
        return;
    for (int k = 1; k <= 8; ++k) {
        // Setting the field's text runs the send dialog's change check; the
        // frame's positions are read before, so it only confirms them.
        const uint16_t pos = Data_arr[size_t(f)].PosB[k - 1];
        const bool used = Data_arr[size_t(f)].Dim >= k;
        Panel[k - 1]->SetEnabled(used);
        Not_In_Use[k - 1]->SetVisible(!used);
        Edit[k - 1]->SetText(used && pos != No_Position ? QString::number(pos) : QStringLiteral("none"));
    }
}

void TFCANInfo::Edit_Done(int k)
{
    const int f = ListBox1->ItemIndex();
    if (f < 0 || f >= int(Data_arr.size()))
        return;
    uint16_t& pos = Data_arr[size_t(f)].PosB[k - 1];
    const QString text = Edit[k - 1]->Text().trimmed();
    if (text.isEmpty() || text.toUpper() == QLatin1String("NONE")) {
        pos = No_Position;
        return;
    }
    const int v = StrToIntDef(text, -1);
    if (v < 0 || v >= Num_Byte_Max) {
        MessageDlg(Text_Of(FTexts.Or_None + k) + QString::number(Num_Byte_Max - 1) + Text_Of(FTexts.Or_None), mtError,
                   MsgDlgButtons({mbOK}));
        if (Edit[k - 1]->CanFocus())
            Edit[k - 1]->SetFocus();
        return;
    }
    pos = uint16_t(v);
}

// ---------------------------------------------------------------------------
// OK

bool TFCANInfo::Controlla_dati()
{
    struct TUser {
        int Frame = -1, Byte = 0;
    };
    std::vector<TUser> table(static_cast<size_t>(Num_Byte_Max));
    for (size_t f = 0; f < Data_arr.size(); ++f) {
        for (int k = 1; k <= 8; ++k) {
            const int pos = Data_arr[f].PosB[k - 1];
            if (pos == No_Position)
                continue;
            if (pos >= Num_Byte_Max) {
                // Only a hand-edited info file brings such a position.
                MessageDlg(Text_Of(FTexts.Or_None + k) + QString::number(Num_Byte_Max - 1) + Text_Of(FTexts.Or_None),
                           mtError, MsgDlgButtons({mbOK}));
                return false;
            }
            TUser& user = table[size_t(pos)];
            if (user.Frame >= 0) {
                MessageDlg(Text_Of(443) + QString::number(pos) + Text_Of(444) + ListBox1->Items()->Strings(int(f)) +
                               Text_Of(445) + QString::number(k) + Text_Of(446) +
                               ListBox1->Items()->Strings(user.Frame) + Text_Of(447) + QString::number(user.Byte),
                           mtError, MsgDlgButtons({mbOK}));
                return false;
            }
            user = TUser{int(f), k};
        }
    }
    return true;
}

void TFCANInfo::Write_File()
{
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(*FTexts.Info_Root);
    if (Model_Code == 5)
        doc.AppendComment(ProjectFiles::CANFramesXml::Version);
    for (const TRecInfo& info : Data_arr) {
        XmlNode row = root.AppendElement(X::Row);
        for (int k = 0; k < 8; ++k)
            row.AppendAttribute(X::B_Names[k], QString::number(info.PosB[k]));
    }
    doc.SaveToFile(*FTexts.Info_File);
}

void TFCANInfo::bitbtn1Click(TObject*)
{
    if (FTexts.Receive && !Controlla_dati())
        return;
    try {
        Write_File();
    } catch (const Exception& e) {
        Application()->ShowException(e);
        return;
    }
    SetModalResult(mrOk);
}
