// The "Update Device" step: the device image is built and written before the
// wizard opens, and a failure keeps the wizard closed. End to end: a new
// project's parameters, its image, the ping, Next and Execute through the
// windows, with a stand-in updater that copies what the parameter file names.
#include "WizardTestUtil.h"

#include "app/ProjectFiles.h"
#include "app/LbButton.h"
#include "app/UBootTCP.h"
#include "app/UNew_Project.h"
#include "app/UParGen.h"
#include "app/USettings.h"
#include "image/USaveBincc.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Files.h"

#include <QDir>
#include <QFile>

using namespace wiztest;

namespace {

// What the program's main block hands to Update_Device: the image of the open
// project, built and written.
void Program_Image_Writer()
{
    switch (Build_Bin()) {
    case TBuildStatus::Built:
        Write_Bin();
        break;
    case TBuildStatus::No_Image:
        break;
    case TBuildStatus::Not_Built_Yet:
        throw EImageError(QStringLiteral("The device image of this model cannot be built."));
    }
}

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
        Device_Image_Writer = Program_Image_Writer;
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
    Install_Stand_In(Dir_Program + "/Ethernet_Update.exe");
    const QByteArray firmware("firmware of the J1939 gateway");
    WriteFileWhole(Dir_Master + "/Sim31A06.sim", firmware);
    Set_Model_Texts();

    // New project, then the parameters: OK with the defaults.
    ASSERT_EQ(Create_Project_Folder("Plant 1"), 0);
    ASSERT_TRUE(QDir(Dir_Project + "/bin").removeRecursively());
    std::unique_ptr<TFParGen> pargen(NewObject<TFParGen>(nullptr));
    script.AnswerModal([&](TCustomForm*) { pargen->Btn_OK->Click(); });
    ASSERT_EQ(pargen->ShowModal(), mrOk);

    // Update Device: the user types the address, pings, goes on and executes,
    // then closes the wizard.
    std::unique_ptr<TFBootTCP> wizard(NewObject<TFBootTCP>(nullptr));
    script.AnswerModal([&](TCustomForm*) {
        ++Wizard_Shows;
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
    ASSERT_EQ(Update_Device(), TUpdateStep::Wizard_Shown);
    EXPECT_EQ(Wizard_Shows, 1);
    for (const TDialogRecord& r : script.Shown)
        EXPECT_NE(r.Kind, TDialogKind::MessageBox) << r.Text.toStdString();
    InstallDialogScript(nullptr);

    const QByteArray bank = Read(Bank());
    EXPECT_EQ(bank.size(), 55296);

    XmlDocument doc;
    doc.LoadFromFile(Dir_Program + "/Ethernet_Update.xml");
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
    EXPECT_EQ(ops[0].ChildElement("Ope_FileName").Text(), Dir_Master + "/Sim31A06.sim");
    EXPECT_EQ(ops[0].ChildElement("Ope_Start_Address").Text(), "0x8000");
    EXPECT_EQ(ops[0].ChildElement("Ope_GoToApp_After").Text(), "0");
    EXPECT_EQ(ops[1].ChildElement("Ope_FileName").Text(), Bank());
    EXPECT_EQ(ops[1].ChildElement("Ope_Start_Address").Text(), "0x5B000");
    EXPECT_EQ(ops[1].ChildElement("Ope_Bank_Type").Text(), "2");
    EXPECT_EQ(ops[1].ChildElement("Ope_GoToApp_After").Text(), "1");

    // The stand-in ran once, with no arguments, and got both files.
    EXPECT_EQ(Read(Dir_Program + "/updater_runs.txt"), "0\n");
    EXPECT_EQ(Read(Dir_Program + "/received/Sim31A06.sim"), firmware);
    EXPECT_EQ(Read(Dir_Program + "/received/bank.bin"), bank);

    // Closing the program keeps the address for the next update.
    const QString settings = Dir_Program + "/Kalmetor.xml";
    Save_Setting(settings);
    Last_IP_Address.clear();
    Read_Settings(settings);
    EXPECT_EQ(Last_IP_Address, "127.0.0.1");
}
