// The general-parameters window over its state: model 9's groups and their
// layout, collapse and expand through the buttons, OK, the refused value,
// Cancel and the close box with the question, the "." key, and model 10's
// presence lists. The dialog is rendered expanded and collapsed to PNG files
// in the build folder for a person to look at.
#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "app/UParGen.h"
#include "platform/controls/Input.h"
#include "platform/controls/StdCtrls.h"
#include "platform/xml/XmlDoc.h"
#include "support/ToolkitApp.h"
#include "support/ToolkitTest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <functional>

namespace {

class ParGenFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { KalTest::EnsureToolkitApp(); }
    void SetUp() override
    {
        ASSERT_TRUE(Tmp.isValid());
        Load_Default_Texts();
        Saved_Model = Model_Code;
        Saved_File = File_ParGen;
        File_ParGen = Tmp.path() + "/ParGen.xml";
        InstallDialogScript(&Script);
    }
    void TearDown() override
    {
        delete Form;
        InstallDialogScript(nullptr);
        Model_Code = Saved_Model;
        File_ParGen = Saved_File;
        Set_Model_Texts();
    }
    void Create(int model)
    {
        Model_Code = model;
        Set_Model_Texts();
        Form = new TFParGen(nullptr);
        Form->AfterConstruction();
    }
    TEdit* Edit(const char* name) const { return Form->Control_As<TEdit>(name); }
    int Top_Of(TParGenBox b) const { return Form->GB(b)->Top(); }
    QStringList Messages() const
    {
        return MessageBoxTexts(Script);
    }
    void Render(const char* name)
    {
        const QString path = QString(KAL_BUILD_DIR) + "/" + name;
        RenderFormToPng(Form, path);
        QImage img(path);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.width(), Form->ClientWidth());
        EXPECT_EQ(img.height(), Form->ClientHeight());
    }

    QTemporaryDir Tmp;
    TDialogScript Script;
    TFParGen* Form = nullptr;

private:
    int Saved_Model = 0;
    QString Saved_File;
};

} // namespace

TEST_F(ParGenFormTest, Model9LayoutCollapseAndOkWithTheDefaults)
{
    Create(9);
    Script.AnswerModal([&](TCustomForm*) {
        using B = TParGenBox;
        for (const TGroupBoxInfo& g : Group_Boxes())
            EXPECT_EQ(Form->GB(g.Box)->Visible(), g.Box == B::KNX || g.Box == B::J1939 || g.Box == B::Modbus_TCP_Slave)
                << g.Name;
        EXPECT_EQ((std::array<int, 3>{Top_Of(B::KNX), Top_Of(B::J1939), Top_Of(B::Modbus_TCP_Slave)}),
                  (std::array<int, 3>{70, 167, 332}));
        EXPECT_EQ((std::array<int, 3>{Form->GB(B::KNX)->Height(), Form->GB(B::J1939)->Height(),
                                      Form->GB(B::Modbus_TCP_Slave)->Height()}),
                  (std::array<int, 3>{91, 159, 190}));
        EXPECT_EQ(Form->GB(B::Modbus_TCP_Slave)->Caption(), " Ethernet ");
        EXPECT_FALSE(Form->Control("E_Port_Modbus_TCP_Slave")->Visible());
        EXPECT_FALSE(Form->Control("E_ID_Tun_KNX")->Visible());
        EXPECT_EQ(Form->Btn_OK->Top(), 535);
        EXPECT_EQ(Form->Btn_Cancel->Left(), 192);
        EXPECT_EQ(Form->ClientWidth(), 312);
        EXPECT_EQ(Form->ClientHeight(), 576);
        EXPECT_EQ(Edit("E_ID_DEV_KNX")->Text(), "1.1.200");
        EXPECT_EQ(Form->Control_As<TComboBox>("CB_Baud_J1939")->ItemIndex(), 5);
        EXPECT_FALSE(Form->Control("CB_KNX_Type")->Enabled());
        Render("pargen_dialog_expanded.png");

        Form->Collapse_Button(B::J1939)->Click();
        EXPECT_EQ(Top_Of(B::Modbus_TCP_Slave), 199);
        EXPECT_EQ(Form->GB(B::J1939)->Height(), 26);
        EXPECT_FALSE(Form->Control("L_J1939_Baud")->Visible() || Form->Control("CB_Baud_J1939")->Visible());
        EXPECT_FALSE(Form->Collapse_Button(B::J1939)->Visible());
        EXPECT_TRUE(Form->Expand_Button(B::J1939)->Visible());
        EXPECT_EQ(Form->ClientHeight(), 199 + 190 + 54);
        Render("pargen_dialog_collapsed.png");

        Form->Expand_Button(B::J1939)->Click();
        EXPECT_EQ(Top_Of(B::Modbus_TCP_Slave), 332);
        EXPECT_TRUE(Form->Control("CB_Baud_J1939")->Visible());
        Form->Collapse_Button(B::KNX)->Click(); // kept for the next opening
        Form->Btn_OK->Click();
    });
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_TRUE(Messages().isEmpty());

    XmlDocument doc;
    doc.LoadFromFile(File_ParGen);
    EXPECT_EQ(doc.DocumentElement().ChildElements().size(), 19);
    EXPECT_EQ(doc.DocumentElement().ChildElement("KNX_ID_DEV").Text(), "1.1.200");

    Script.AnswerModal([&](TCustomForm*) {
        EXPECT_EQ(Form->GB(TParGenBox::KNX)->Height(), 26);
        EXPECT_FALSE(Form->Control("CB_KNX_Type")->Visible());
        EXPECT_EQ(Top_Of(TParGenBox::J1939), 102);
        Form->Btn_Cancel->Click();
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_TRUE(Messages().isEmpty()); // nothing changed: no question
}

TEST_F(ParGenFormTest, RefusedDeviceIdKeepsTheDialogOpenAndCancelAsks)
{
    Create(9);
    Script.Answer(mrYes);
    Script.AnswerModal([&](TCustomForm*) {
        Edit("E_J1939_DevID")->SetText("240");
        Form->Btn_OK->Click();
        EXPECT_EQ(Form->ModalResult(), 0);
        Form->Btn_Cancel->Click();
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(Messages(), (QStringList{Text_Of(975), "Do you want to exit without saving changes?"}));
    EXPECT_FALSE(QFile::exists(File_ParGen));
}

TEST_F(ParGenFormTest, TheCloseBoxAsksAfterAChangeLikeCancel)
{
    Create(9);
    Script.Answer(mrNo);  // first close: stay
    Script.Answer(mrYes); // second close: leave
    Script.AnswerModal([&](TCustomForm*) {
        Form->Control_As<TCheckBox>("CB_En_Peer_J1939")->SetChecked(true);
        Form->Control_As<TCheckBox>("CB_En_Peer_J1939")->SetChecked(false);
        Form->Close();
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(Messages(), QStringList(2, "Do you want to exit without saving changes?"));
    EXPECT_FALSE(QFile::exists(File_ParGen));

    // Without a change the close box asks nothing.
    Script.AnswerModal([&](TCustomForm*) { Form->Close(); });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(Messages().size(), 2);
}

TEST_F(ParGenFormTest, DotWalksTheOctetEdits)
{
    Create(9);
    Script.AnswerModal([&](TCustomForm*) {
        Edit("E_IP4_Modbus_TCP_Slave")->SetFocus();
        Input::Char('.');
        EXPECT_TRUE(Edit("E_SM1_Modbus_TCP_Slave")->Focused());
        EXPECT_EQ(Edit("E_IP4_Modbus_TCP_Slave")->Text(), "5");
        Edit("E_GAT4_Modbus_TCP_Slave")->SetFocus();
        Input::Char('.');
        EXPECT_TRUE(Edit("E_GAT4_Modbus_TCP_Slave")->Focused());
        EXPECT_EQ(Edit("E_GAT4_Modbus_TCP_Slave")->Text(), "1");
        Form->Btn_Cancel->Click();
    });
    Form->ShowModal();
}

TEST_F(ParGenFormTest, Model10PresenceListsShowAndHideTheirGroups)
{
    Create(10);
    Script.AnswerModal([&](TCustomForm*) {
        auto* wire = Form->Control_As<TComboBox>("CB_MBus_Options_Wire_Present");
        auto* wireless = Form->Control_As<TComboBox>("CB_MBus_Options_Wireless_Present");
        EXPECT_EQ(wire->Items()->Strings(1), "Present");
        EXPECT_EQ(wire->ItemIndex(), 1);
        EXPECT_TRUE(Form->GB(TParGenBox::MBus)->Visible());

        // The user picks "Not Present" for the wired bus: its group goes.
        wire->SetItemIndex(0);
        wire->OnChange(wire);
        EXPECT_FALSE(Form->GB(TParGenBox::MBus)->Visible());
        EXPECT_EQ(Top_Of(TParGenBox::wMBus), 265);

        // And then for the wireless one: refused, back to "Present".
        wireless->SetItemIndex(0);
        wireless->OnChange(wireless);
        EXPECT_EQ(wireless->ItemIndex(), 1);
        EXPECT_TRUE(Form->GB(TParGenBox::wMBus)->Visible());
        Form->Close();
    });
    Script.Answer(mrYes);
    Form->ShowModal();
    ASSERT_GE(Messages().size(), 1);
    EXPECT_EQ(Messages()[0], Text_Of(736));
}

// Tab walks the dialog as a person reads it: top to bottom, and left to
// right along a row, from the first field to the push buttons, and reaches
// every field that can take the focus.
TEST_F(ParGenFormTest, TabRunsTopToBottomAndLeftToRight)
{
    Create(9);
    Form->Show();
    auto place = [&](TWinControl* c) { return Form->ScreenToClient(c->ClientToScreen(Point(0, 0))); };
    QSet<TWinControl*> fields;
    std::function<void(TWinControl*)> collect = [&](TWinControl* w) {
        for (int i = 0; i < w->ControlCount(); ++i)
            if (auto* c = dynamic_cast<TWinControl*>(w->Controls(i))) {
                if ((dynamic_cast<TCustomEdit*>(c) || dynamic_cast<TCustomComboBox*>(c) ||
                     dynamic_cast<TCustomCheckBox*>(c)) && c->CanFocus() && c->TabStop())
                    fields.insert(c);
                else
                    collect(c);
            }
    };
    collect(Form);
    ASSERT_GT(fields.size(), 10);

    TWinControl* first = Form->ActiveControl() ? Form->ActiveControl() : FocusedControl();
    ASSERT_TRUE(first);
    QStringList walk{first->Name()};
    QSet<TWinControl*> seen{first};
    TPoint prev = place(first);
    for (int i = 0; i < 200; ++i) {
        Input::KeyStroke(VK_TAB);
        TWinControl* now = FocusedControl();
        ASSERT_TRUE(now);
        if (now == Form->Btn_OK || now == Form->Btn_Cancel)
            break;
        walk << now->Name();
        const TPoint at = place(now);
        // A row is the same line of the dialog, give or take a few pixels.
        const bool sameRow = std::abs(at.Y - prev.Y) <= 4;
        EXPECT_TRUE(sameRow ? at.X > prev.X : at.Y > prev.Y)
            << walk.join(", ").toStdString() << " : " << now->Name().toStdString() << " at " << at.X << "," << at.Y
            << " after " << prev.X << "," << prev.Y;
        prev = at;
        seen.insert(now);
    }
    EXPECT_EQ(FocusedControl(), Form->Btn_OK) << walk.join(", ").toStdString();
    for (TWinControl* f : fields)
        EXPECT_TRUE(seen.contains(f)) << f->Name().toStdString() << " is never reached by Tab";
    Form->Hide();
}

// Escape is the Cancel button's key: unchanged values close at once and
// nothing is written.
TEST_F(ParGenFormTest, EscapeCancelsWithNothingWritten)
{
    Create(9);
    int afterEscape = -1;
    Script.AnswerModal([&](TCustomForm*) {
        ASSERT_TRUE(FocusedControl());
        Input::KeyStroke(VK_ESCAPE);
        afterEscape = Form->ModalResult();
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(afterEscape, mrCancel);
    EXPECT_FALSE(QFile::exists(File_ParGen));
}
