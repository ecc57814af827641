// The wizard's window over its state: creation, the two pages, the ping with
// its busy buttons, Next's refusal, the "." key, Execute, and the Update
// Device step opening the window. Both pages are rendered to PNG files in the
// build folder for a person to look at.
#include "WizardTestUtil.h"

#include "app/LbButton.h"
#include "app/UBootTCP.h"
#include "platform/controls/Input.h"
#include "platform/controls/StdCtrls.h"
#include "support/ToolkitTest.h"

#include <QFile>
#include <QImage>

using namespace wiztest;

namespace {

class BootFormTest : public WizardTest {
protected:
    static void SetUpTestSuite() { Ensure_Gui(); }
    void SetUp() override
    {
        WizardTest::SetUp();
        Set_Model_Texts();
        InstallDialogScript(&Script);
        Form = new TFBootTCP(nullptr);
        Form->AfterConstruction();
        Use_Fake_Clock(Form->Logic());
    }
    void TearDown() override
    {
        delete Form;
        InstallDialogScript(nullptr);
        Show_Update_Wizard = {};
        Show_Update_Error = {};
        Device_Image_Writer = {};
        WizardTest::TearDown();
    }
    void Type_Address(const char* a, const char* b, const char* c, const char* d)
    {
        Form->E_IP1->SetText(a);
        Form->E_IP2->SetText(b);
        Form->E_IP3->SetText(c);
        Form->E_IP4->SetText(d);
    }
    // Renders the window and checks that more than the background was drawn.
    void Render(const char* name)
    {
        const QString path = QString(KAL_BUILD_DIR) + "/" + name;
        RenderFormToPng(Form, path);
        QImage img(path);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.width(), 350);
        EXPECT_EQ(img.height(), 233);
    }
    QStringList Messages() const
    {
        return MessageBoxTexts(Script);
    }

    TDialogScript Script;
    TFBootTCP* Form = nullptr;
};

} // namespace

TEST_F(BootFormTest, CreationTextsAndTheAddressPage)
{
    EXPECT_EQ(Form->ClientWidth(), 350);
    EXPECT_EQ(Form->ClientHeight(), 233);
    // The look every dialog shares: Verdana 11 pixels high (as the other
    // dialogs' fonts give it), the dialog colour, centred, a dialog border.
    EXPECT_EQ(Form->Font()->Name(), "Verdana");
    EXPECT_EQ(Form->Font()->Height(), -11);
    EXPECT_EQ(Form->Color(), TColor(15595512));
    EXPECT_EQ(Form->BorderStyle(), bsDialog);
    EXPECT_EQ(Form->L_SW_Code->Caption(), "CF31A06");
    EXPECT_EQ(Form->Caption(), "Update Firmware from Etherner (UDP)");
    EXPECT_EQ(Form->Btn_Update->Caption(), "Execute update firmware");
    EXPECT_TRUE(Form->CB_Firmware->Checked() && Form->CB_Read_Firm->Checked() && Form->CB_Conf->Checked() &&
                Form->CB_Read_Conf->Checked());

    Script.AnswerModal([&](TCustomForm*) {
        EXPECT_EQ(Form->L_IP_Address->Caption(), "Insert the IP Address of  GW31A06");
        EXPECT_EQ(Form->E_IP1->Text() + Form->E_IP2->Text() + Form->E_IP3->Text() + Form->E_IP4->Text(),
                  "1921682205");
        EXPECT_EQ((std::array<int, 4>{Form->E_IP1->Left(), Form->E_IP2->Left(), Form->E_IP3->Left(),
                                      Form->E_IP4->Left()}),
                  (std::array<int, 4>{35, 91, 147, 203}));
        EXPECT_TRUE(Form->E_IP1->Visible() && Form->Btn_Ping->Visible() && Form->Btn_Next->Visible());
        EXPECT_FALSE(Form->CB_Firmware->Visible() || Form->Btn_Update->Visible());
        EXPECT_TRUE(Form->LPing->Caption().isEmpty());
        Render("wizard_address_page.png");
        Form->Btn_Cancel->Click();
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_TRUE(Echo->Addresses.isEmpty());
}

TEST_F(BootFormTest, PingDisablesTheButtonsThenNextAndExecute)
{
    {
        QFile f(Dir_Program + "/Ethernet_Update.exe");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QList<bool> enabledDuringRun;
    Form->Logic().Wait_Step = [&] {
        enabledDuringRun << (Form->Btn_Ping->Enabled() || Form->Btn_Next->Enabled() || Form->Btn_Cancel->Enabled());
        Clock.Now += 10;
    };
    Script.AnswerModal([&](TCustomForm*) {
        Type_Address("127", "0", "0", "1");
        Form->Btn_Ping->Click();
        EXPECT_EQ(Form->LPing->Caption(), "Device Found!");
        EXPECT_EQ(Form->LPing->Font()->Color(), clGreen);
        EXPECT_EQ(enabledDuringRun, (QList<bool>{false, false}));
        EXPECT_TRUE(Form->Btn_Ping->Enabled() && Form->Btn_Next->Enabled() && Form->Btn_Cancel->Enabled());
        Render("wizard_address_page_found.png");

        Form->Btn_Next->Click();
        EXPECT_FALSE(Form->E_IP1->Visible() || Form->Btn_Next->Visible() || Form->Btn_Cancel->Visible());
        EXPECT_TRUE(Form->CB_Conf->Visible() && Form->Btn_Update->Visible());
        EXPECT_EQ(Form->CB_Read_Conf->Top(), 165);
        Render("wizard_options_page.png");

        Form->CB_Firmware->SetChecked(false);
        Form->Btn_Update->Click();
        Form->Close(); // the window's close box
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(Last_IP_Address, "127.0.0.1");
    ASSERT_EQ(Processes->Starts.size(), 1);
    XmlDocument doc;
    doc.LoadFromFile(Dir_Program + "/Ethernet_Update.xml");
    EXPECT_EQ(doc.DocumentElement().ChildElement("Operations").ChildElements().size(), 1);
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(BootFormTest, NotFoundInRedAndNextRefuses)
{
    Echo->Script = [](int) { return TTry{false, 400}; };
    Script.AnswerModal([&](TCustomForm*) {
        Form->Btn_Next->Click();
        Type_Address("127", "0", "0", "1");
        Form->Btn_Ping->Click();
        EXPECT_EQ(Form->LPing->Caption(), "Device Not Found!");
        EXPECT_EQ(Form->LPing->Font()->Color(), clRed);
        Form->Btn_Next->Click();
        EXPECT_TRUE(Form->Btn_Next->Visible());
        Type_Address("a", "b", "c", "d");
        Form->Btn_Ping->Click();
        EXPECT_EQ(Form->LPing->Caption(), "Error!!! Check the Ip Address");
        Form->Btn_Cancel->Click();
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(Messages(), QStringList(2, "Device not found in network"));
    EXPECT_EQ(Script.Shown.first().Type, mtError);
    EXPECT_EQ(Last_IP_Address, "192.168.2.205");
}

TEST_F(BootFormTest, DotMovesToTheNextOctetEditExceptInTheLast)
{
    Script.AnswerModal([&](TCustomForm*) {
        Form->E_IP1->SetFocus();
        Input::Char('.');
        EXPECT_TRUE(Form->E_IP2->Focused());
        EXPECT_EQ(Form->E_IP1->Text(), "192");
        Form->E_IP4->SetFocus();
        Form->E_IP4->SelectAll();
        Input::Char('1');
        Input::Char('.');
        EXPECT_TRUE(Form->E_IP4->Focused());
        EXPECT_EQ(Form->E_IP4->Text(), "1.");
        Form->Btn_Cancel->Click();
    });
    Form->ShowModal();
}

TEST_F(BootFormTest, UpdateDeviceOpensTheWindowOnlyAfterTheImage)
{
    Device_Image_Writer = [] { throw EWriteError(QStringLiteral("Cannot replace file \"bin/bank.bin\".")); };
    EXPECT_EQ(Update_Device(), TUpdateStep::Image_Failed);
    EXPECT_EQ(Script.Count(TDialogKind::ModalForm), 0);
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains("bank.bin"));
    EXPECT_EQ(Script.Last().Type, mtError);

    Device_Image_Writer = [] {};
    Script.AnswerModal([&](TCustomForm*) { Form->Btn_Cancel->Click(); });
    EXPECT_EQ(Update_Device(), TUpdateStep::Wizard_Shown);
    EXPECT_EQ(Script.Count(TDialogKind::ModalForm), 1);
}

TEST_F(BootFormTest, MissingUpdaterIsNamedInTheErrorBox)
{
    Model_Code = 1;
    Script.AnswerModal([&](TCustomForm*) {
        Type_Address("127", "0", "0", "1");
        Form->Btn_Ping->Click();
        Form->Btn_Next->Click();
        Input::Click(Form->Btn_Update, 10, 10);
        // The dialog stays on the options page.
        EXPECT_TRUE(Form->Btn_Update->Visible());
        Form->Close();
    });
    Form->ShowModal();
    EXPECT_TRUE(Processes->Starts.isEmpty());
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains(Dir_Program + "/TCP_31A08_Update.exe")) << Messages()[0].toStdString();
}

// Escape is the Cancel button's key on every page of the wizard.
TEST_F(BootFormTest, EscapeCancelsTheWizard)
{
    int afterEscape = -1;
    Script.AnswerModal([&](TCustomForm*) {
        ASSERT_TRUE(FocusedControl());
        Input::KeyStroke(VK_ESCAPE);
        afterEscape = Form->ModalResult();
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(afterEscape, mrCancel);
    EXPECT_TRUE(Echo->Addresses.isEmpty());
}
