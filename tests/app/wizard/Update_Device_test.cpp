// The "Update Device" step: the device image is built and written before the
// wizard opens, and a failure keeps the wizard closed. End to end: a new
// project's parameters, its image, the ping, Next and Execute through the
// program's windows, with a stand-in updater that copies what the parameter
// file names, and the settings the closing main window writes.
#include "WizardTestUtil.h"

#include "project/ProjectFiles.h"
#include "app/LbButton.h"
#include "app/UBootTCP.h"
#include "app/UKalmetoreFirmWare.h"
#include "app/UNew_Project.h"
#include "app/UParGen.h"
#include "app/USettings.h"
#include "image/USaveBincc.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Files.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

using namespace wiztest;

namespace {

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class UpdateDeviceTest : public WizardTest {
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        Force_Program_Folders();
        Name_Project = QStringLiteral("T1");
        Dir_Project = PathJoin(Dir_Projects, Name_Project);
        ASSERT_TRUE(QDir().mkpath(Dir_Project));
        Set_Files();
        Device_Image_Writer = Write_Device_Image; // as the program's main block does
        Show_Update_Wizard = [this] { ++Wizard_Shows; };
        Show_Update_Error = [this](const QString& m) { Errors.append(m); };
    }
    void TearDown() override
    {
        Device_Image_Writer = {};
        Show_Update_Wizard = {};
        Show_Update_Error = {};
        Name_Project.clear();
        WizardTest::TearDown();
        Set_Files();
    }
    QString Bank() const { return PathJoin(PathJoin(Dir_Project, "bin"), "bank.bin"); }

    int Wizard_Shows = 0;
    QStringList Errors;
};

} // namespace

TEST_F(UpdateDeviceTest, MissingBinFolderIsCreatedAndTheImageWrittenBeforeTheWizard)
{
    ASSERT_FALSE(DirectoryExists(PathJoin(Dir_Project, "bin")));
    qint64 sizeWhenShown = -1;
    Show_Update_Wizard = [&] {
        ++Wizard_Shows;
        sizeWhenShown = QFileInfo(Bank()).size();
    };
    EXPECT_EQ(Update_Device(), TUpdateStep::Wizard_Shown);
    EXPECT_EQ(Wizard_Shows, 1);
    EXPECT_EQ(sizeWhenShown, 55296);
    EXPECT_TRUE(Errors.isEmpty());
}

struct TFailCase {
    const char* Name;
    std::function<void(const QString& project)> Spoil;
    const char* Named; // what the message must name
};

TEST_F(UpdateDeviceTest, ImageThatCannotBeMadeOrWrittenKeepsTheWizardClosed)
{
    const QByteArray old("an old image that must not be flashed");
    const TFailCase cases[] = {
        {"bank file cannot be written",
         [](const QString& p) { QDir().mkpath(p + "/bin/bank.bin"); }, "bank.bin"},
        {"general parameters not well-formed",
         [](const QString& p) { QFile f(p + "/ParGen.xml"); f.open(QIODevice::WriteOnly); f.write("<Par_Gen><KNX"); },
         "ParGen.xml"},
        {"receive table larger than the image's",
         [](const QString& p) {
             QByteArray xml = "<Receive_J1939>";
             for (int i = 0; i < 513; ++i)
                 xml += "<row DP=\"0\" PGN=\"65262\" SA=\"0\"/>";
             xml += "</Receive_J1939>";
             QFile f(p + "/J1939_Rec_Frames.xml");
             f.open(QIODevice::WriteOnly);
             f.write(xml);
         },
         "J1939_Rec_Frames.xml"},
    };
    for (const TFailCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QDir(Dir_Project).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(Dir_Project + "/bin"));
        c.Spoil(Dir_Project);
        if (!DirectoryExists(Bank()))
            WriteFileWhole(Bank(), old);
        Errors.clear();
        Wizard_Shows = 0;

        EXPECT_EQ(Update_Device(), TUpdateStep::Image_Failed);
        EXPECT_EQ(Wizard_Shows, 0);
        ASSERT_EQ(Errors.size(), 1);
        EXPECT_TRUE(Errors[0].contains(QLatin1String(c.Named))) << Errors[0].toStdString();
        if (!DirectoryExists(Bank())) {
            EXPECT_EQ(Read(Bank()), old);
        }
    }
}

// The DeviceNet models have no device image: the step goes on to the wizard
// without one, while the others write their bank files first.
TEST_F(UpdateDeviceTest, ModelsWithoutAnImageGoOnWithoutABankFile)
{
    const struct {
        int Model;
        QStringList Banks;
    } cases[] = {
        {7, {}},
        {8, {}},
        {10, {"bank1.bin", "bank2.bin"}},
        {9, {"bank.bin"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Model);
        Model_Code = c.Model;
        QDir(Dir_Project + "/bin").removeRecursively();
        Wizard_Shows = 0;
        EXPECT_EQ(Update_Device(), TUpdateStep::Wizard_Shown);
        EXPECT_EQ(Wizard_Shows, 1);
        EXPECT_TRUE(Errors.isEmpty()) << Errors.join(' ').toStdString();
        EXPECT_EQ(QDir(Dir_Project + "/bin").entryList(QDir::Files), c.Banks);
    }
}

TEST_F(UpdateDeviceTest, NoImageBuilderMeansNoWizard)
{
    Device_Image_Writer = {};
    EXPECT_EQ(Update_Device(), TUpdateStep::Image_Failed);
    EXPECT_EQ(Wizard_Shows, 0);
    EXPECT_EQ(Errors.size(), 1);
}

// ---------------------------------------------------------------------------

namespace {

// Stands in for the generic updater: notes its argument count, reads the
// parameter file beside itself and copies every file it names.
const char* const Stand_In_Updater = R"(#!/bin/sh
here=$(dirname "$0")
echo "$#" >> "$here/updater_runs.txt"
mkdir -p "$here/received"
sed -n 's:.*<Ope_FileName>\(.*\)</Ope_FileName>.*:\1:p' "$here/Ethernet_Update.xml" |
while IFS= read -r f; do cp "$f" "$here/received/" || exit 1; done
)";

void Install_Stand_In(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Stand_In_Updater);
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

bool Real_Echo_Available()
{
    try {
        Sys::RealIcmpEcho().Echo(QStringLiteral("127.0.0.1"), 8, 400);
        return true;
    } catch (const ESysError&) {
        return false;
    }
}

} // namespace

TEST_F(UpdateDeviceTest, EndToEndFromANewProjectToTheUpdater)
{
    Ensure_Gui();
    TDialogScript script;
    InstallDialogScript(&script);
    // The real updater start and, where the machine allows it, the real ping.
    Sys::SetProcesses(nullptr);
    SetTickCountHook({});
    if (Real_Echo_Available())
        Sys::SetIcmpEcho(std::make_unique<TLoopbackOnlyEcho>());

    // A fresh program folder holding only the updater and the firmware.
    ASSERT_TRUE(QDir(Dir_Projects).removeRecursively());
    Install_Stand_In(Dir_Program + "/Ethernet_Update.exe");
    const QByteArray firmware("firmware of the J1939 gateway");
    ASSERT_TRUE(ForceDirectories(Dir_Master));
    WriteFileWhole(Dir_Master + "/Sim31A06.sim", firmware);
    const QString program = Dir_Program;

    // The program's windows as its main block creates and connects them.
    Set_Program_Start_Folder(program);
    std::unique_ptr<TFKalmetoreFirmWare> main(NewObject<TFKalmetoreFirmWare>(nullptr));
    std::unique_ptr<TFBootTCP> wizard(NewObject<TFBootTCP>(nullptr));
    std::unique_ptr<TFNew_Project> newProject(NewObject<TFNew_Project>(nullptr));
    std::unique_ptr<TFParGen> pargen(NewObject<TFParGen>(nullptr));
    FBootTCP = wizard.get();
    FParGen = pargen.get();
    Device_Image_Writer = Write_Device_Image;
    Register_Step(TStepAction::ParGen, [] { FParGen->ShowModal(); });
    const auto cleanUp = qScopeGuard([] {
        Clear_Steps();
        FKalmetoreFirmWare = nullptr;
        FNew_Project = nullptr;
        FBootTCP = nullptr;
        FParGen = nullptr;
        Set_Program_Start_Folder(QString());
        InstallDialogScript(nullptr);
    });
    ASSERT_EQ(Dir_Program, program);
    EXPECT_EQ(Last_IP_Address, "192.168.2.205") << "the default address before the first update";

    // Step 1: new project. Step 2: the parameters, OK with the defaults.
    script.AnswerModal([&](TCustomForm* f) {
        ASSERT_EQ(f, newProject.get());
        newProject->E_New_Proj->SetText("Plant 1");
        newProject->Btn_OK->Click();
    });
    main->Button(TMainButton::New)->Click();
    ASSERT_EQ(Dir_Project, Dir_Projects + "/Plant 1");
    EXPECT_EQ(main->L_Name_Conf_L2->Caption(), "Plant 1");
    // A bin folder removed meanwhile is made again by the image step.
    ASSERT_TRUE(QDir(Dir_Project + "/bin").removeRecursively());
    script.AnswerModal([&](TCustomForm* f) {
        ASSERT_EQ(f, pargen.get());
        pargen->Btn_OK->Click();
    });
    main->Button(TMainButton::Prm_Gen)->Click();
    ASSERT_TRUE(FileExists(File_ParGen));

    // Update Device: the wizard opens on the default address; the user types
    // the gateway's, pings, goes on and executes, then closes the wizard.
    script.AnswerModal([&](TCustomForm* f) {
        ++Wizard_Shows;
        ASSERT_EQ(f, wizard.get());
        EXPECT_EQ(wizard->E_IP1->Text() + "." + wizard->E_IP2->Text() + "." + wizard->E_IP3->Text() + "." +
                      wizard->E_IP4->Text(),
                  "192.168.2.205");
        wizard->E_IP1->SetText("127");
        wizard->E_IP2->SetText("0");
        wizard->E_IP3->SetText("0");
        wizard->E_IP4->SetText("1");
        wizard->Btn_Ping->Click();
        EXPECT_EQ(wizard->LPing->Caption(), "Device Found!");
        wizard->Btn_Next->Click();
        wizard->Btn_Update->Click();
        wizard->Close();
    });
    main->Button(TMainButton::CreateBin)->Click();
    EXPECT_EQ(Wizard_Shows, 1);
    for (const TDialogRecord& r : script.Shown)
        EXPECT_NE(r.Kind, TDialogKind::MessageBox) << r.Text.toStdString();

    const QByteArray bank = Read(Bank());
    EXPECT_EQ(bank.size(), 55296);

    XmlDocument doc;
    doc.LoadFromFile(program + "/Ethernet_Update.xml");
    const XmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.NodeName(), "Ethernet_Update");
    const struct {
        const char* Name;
        const char* Text;
    } header[] = {{"Version", "1000"},   {"IP_Address_Dev", "127.0.0.1"}, {"Application_Port", "10000"},
                  {"Boot_Port", "2008"}, {"Boot_Port_Sec", "2007"},       {"Address_Protection", "0x78000"}};
    for (const auto& h : header)
        EXPECT_EQ(root.ChildElement(h.Name).Text(), h.Text) << h.Name;
    const QList<XmlNode> ops = root.ChildElement("Operations").ChildElements();
    ASSERT_EQ(ops.size(), 2);
    EXPECT_EQ(ops[0].ChildElement("Ope_FileName").Text(), program + "/MASTER/Sim31A06.sim");
    EXPECT_EQ(ops[0].ChildElement("Ope_Start_Address").Text(), "0x8000");
    EXPECT_EQ(ops[0].ChildElement("Ope_GoToApp_After").Text(), "0");
    EXPECT_EQ(ops[1].ChildElement("Ope_FileName").Text(), Bank());
    EXPECT_EQ(ops[1].ChildElement("Ope_Start_Address").Text(), "0x5B000");
    EXPECT_EQ(ops[1].ChildElement("Ope_Bank_Type").Text(), "2");
    EXPECT_EQ(ops[1].ChildElement("Ope_GoToApp_After").Text(), "1");

    // The stand-in ran once, with no arguments, and got both files.
    EXPECT_EQ(Read(program + "/updater_runs.txt"), "0\n");
    EXPECT_EQ(Read(program + "/received/Sim31A06.sim"), firmware);
    EXPECT_EQ(Read(program + "/received/bank.bin"), bank);

    // Closing the program keeps the project and the address for the next run.
    main->Button(TMainButton::Close)->Click();
    const QString settings = program + "/Kalmetor.xml";
    ASSERT_TRUE(FileExists(settings));
    Last_IP_Address.clear();
    Name_Project.clear();
    Read_Settings(settings);
    EXPECT_EQ(Last_IP_Address, "127.0.0.1");
    EXPECT_EQ(Name_Project, "Plant 1");
}
