// The program's windows started in a program folder of their own and driven
// as a person would: through their buttons, with the dialogs answered by the
// dialog script, the network on the loopback address and links through the
// link service's fake.
#include "LoopbackHttp.h"
#include "ProgramFolder.h"

#include "app/LbButton.h"
#include "app/UBootTCP.h"
#include "app/UAbout.h"
#include "app/UKalmetoreFirmWare.h"
#include "app/UNew_Project.h"
#include "app/UOpenConf.h"
#include "app/USettings.h"
#include "app/USoftOptions.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/FormHost.h"
#include "platform/controls/Input.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/TabControls.h"
#include "platform/controls/Timers.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QWidget>

namespace {

using B = TMainButton;

// The dialogs the shell creates at start-up, in their order, and gone again
// after the test.
class Program : public ProgramFolder {
protected:
    void SetUp() override
    {
        ProgramFolder::SetUp();
        InstallDialogScript(&Script);
        Set_Program_Start_Folder(Tmp.path());
    }
    void TearDown() override
    {
        Stop();
        InstallDialogScript(nullptr);
        Set_Program_Start_Folder(QString());
        ProgramFolder::TearDown();
    }

    void Start()
    {
        Main = Create<TFKalmetoreFirmWare>();
        New = Create<TFNew_Project>();
        Open = Create<TFOpenConf>();
        About = Create<TFAbout>();
        Options = Create<TFSoftOptions>();
        Register_Language_Listener([] { FNew_Project->Set_Lang(); });
        Register_Language_Listener([] { FOpenConf->Set_Lang(); });
        Register_Language_Listener([] { FSoftOptions->Set_Lang(); });
    }
    // Closing the main window, then the end of the program.
    void Stop()
    {
        if (Main && Main->Visible())
            Main->Close();
        Clear_Language_Listeners();
        Clear_Steps();
        delete Options;
        delete About;
        delete Open;
        delete New;
        delete Main;
        Main = nullptr;
        New = nullptr;
        Open = nullptr;
        About = nullptr;
        Options = nullptr;
        FKalmetoreFirmWare = nullptr;
        FNew_Project = nullptr;
        FOpenConf = nullptr;
        FAbout = nullptr;
        FSoftOptions = nullptr;
    }
    template <class T> T* Create()
    {
        T* f = new T(nullptr);
        f->AfterConstruction();
        return f;
    }
    void Click(B b) { Main->Button(b)->Click(); }
    void Screenshot(TCustomForm* form, const QString& name)
    {
        const QString dir = PathJoin(QStringLiteral(KAL_BUILD_DIR), QStringLiteral("screens"));
        ASSERT_TRUE(ForceDirectories(dir));
        RenderFormToPng(form, PathJoin(dir, name));
    }

    TDialogScript Script;
    TFKalmetoreFirmWare* Main = nullptr;
    TFNew_Project* New = nullptr;
    TFOpenConf* Open = nullptr;
    TFAbout* About = nullptr;
    TFSoftOptions* Options = nullptr;
};

} // namespace

TEST_F(Program, StartedInAnEmptyFolderShowsModelNineWithNoProject)
{
    Start();
    for (const char* d : {"MASTER", "PROJECTS", "LANGUAGE"})
        EXPECT_TRUE(DirectoryExists(Path(QString::fromLatin1(d)))) << d;
    EXPECT_EQ(Main->Caption(), QStringLiteral("www.tavlon.example - Configurator CF31A06 - J1939 / KNX "));
    EXPECT_EQ(Main->L_SW_Code->Caption(), QStringLiteral("CF31A06"));
    EXPECT_EQ(Main->L_Name_Conf->Caption(), QStringLiteral("None Configuration Opened "));
    EXPECT_EQ(Main->L_Name_Conf_L2->Caption(), QStringLiteral("Use Step1 to open or create new configuration"));
    EXPECT_EQ(Main->ClientWidth(), 694);
    EXPECT_EQ(Main->ClientHeight(), 484);
    const struct {
        B Button;
        int Left, Top;
        const char* Caption;
    } placed[] = {
        {B::New, 80, 112, "New Configuration"}, {B::Open, 258, 112, "Open Configuration"},
        {B::Prm_Gen, 80, 156, "Set Communication"}, {B::KNX_Access, 80, 200, "KNX Access"},
        {B::J1939_Rec_Frame, 80, 244, "Receive Frames"}, {B::J1939_Send_Frame, 80, 288, "Send Frames"},
        {B::CreateBin, 80, 332, "Update Device"},
    };
    for (const auto& p : placed) {
        TLbButton* b = Main->Button(p.Button);
        EXPECT_TRUE(b->Visible()) << p.Caption;
        EXPECT_EQ(b->Left(), p.Left) << p.Caption;
        EXPECT_EQ(b->Top(), p.Top) << p.Caption;
        EXPECT_EQ(b->Caption(), QString::fromLatin1(p.Caption));
    }
    EXPECT_FALSE(Main->Button(B::ModM_SetAccess)->Visible());
    EXPECT_FALSE(Main->Button(B::ScanDecode)->Visible());
    EXPECT_EQ(Main->Shape1->Top(), 383);
    EXPECT_EQ(Main->Shape1->Height(), 1);
    EXPECT_TRUE(Main->L_Step[5]->Visible());
    EXPECT_FALSE(Main->L_Step[6]->Visible());
    EXPECT_FALSE(Main->Timer_Update->Enabled());
    EXPECT_FALSE(Main->LL_Update->Visible());
    EXPECT_EQ(Main->Button(B::Info)->Hint(), QStringLiteral("Information"));
    // The three icon buttons are plain picture buttons; the steps are text
    // buttons.
    for (B b : {B::Info, B::Opz, B::Close}) {
        EXPECT_EQ(Main->Button(b)->Style(), bsNormal) << Main_Button(b).Name;
        EXPECT_TRUE(Main->Button(b)->Caption().isEmpty()) << Main_Button(b).Name;
    }
    for (const auto& p : placed)
        EXPECT_EQ(Main->Button(p.Button)->Style(), bsEncarta) << p.Caption;
    Screenshot(Main, QStringLiteral("main_window.png"));
}

TEST_F(Program, ProjectStepsWithNoProjectShowTheErrorAndOpenNothing)
{
    Start();
    int opened = 0;
    Register_Step(TStepAction::KNXAccess, [&opened] { ++opened; });
    Register_Step(TStepAction::ParGen, [&opened] { ++opened; });
    for (B b : {B::Prm_Gen, B::KNX_Access, B::J1939_Rec_Frame, B::J1939_Send_Frame, B::CreateBin}) {
        Script.Shown.clear();
        Click(b);
        ASSERT_EQ(Script.Shown.size(), 1) << Main_Button(b).Name;
        EXPECT_EQ(Script.Last().Text, QStringLiteral("Error! Project not Valid"));
        EXPECT_EQ(Script.Last().Type, mtError);
    }
    EXPECT_EQ(opened, 0);
    EXPECT_FALSE(FileExists(PathJoin(Dir_Projects, QStringLiteral("bin/bank.bin"))));
}

TEST_F(Program, NewProjectT1OpensItAndBadNamesCreateNothing)
{
    Start();
    // "../x" and "a/b" are refused with text 30, then "T1" is taken.
    Script.AnswerModal([](TCustomForm*) {
        for (const char* name : {"../x", "a/b", "T1"}) {
            FNew_Project->E_New_Proj->SetText(QString::fromLatin1(name));
            FNew_Project->Btn_OK->Click();
        }
    });
    Click(B::New);
    ASSERT_EQ(Script.Count(TDialogKind::MessageBox), 2);
    for (const TDialogRecord& r : Script.Shown) {
        if (r.Kind == TDialogKind::MessageBox) {
            EXPECT_EQ(r.Text, QStringLiteral("Error! Name project is not valid"));
        }
    }
    EXPECT_TRUE(DirectoryExists(Path(QStringLiteral("PROJECTS/T1/bin"))));
    EXPECT_EQ(Tree(), (QStringList{"LANGUAGE", "MASTER", "PROJECTS", "PROJECTS/T1", "PROJECTS/T1/bin"}));
    EXPECT_EQ(Main->L_Name_Conf->Caption(), QStringLiteral("Opened Configuration of the Converter : "));
    EXPECT_EQ(Main->L_Name_Conf_L2->Caption(), QStringLiteral("T1"));

    // With a project open the step runs.
    int opened = 0;
    Register_Step(TStepAction::KNXAccess, [&opened] { ++opened; });
    Click(B::KNX_Access);
    EXPECT_EQ(opened, 1);
}

TEST_F(Program, EnterInTheNameActsAsOkAndAnEmptyNameKeepsTheDialogOpen)
{
    Start();
    Script.AnswerModal([](TCustomForm* f) {
        EXPECT_EQ(f, FNew_Project);
        FNew_Project->E_New_Proj->Perform(WM_CHAR, 13);
        EXPECT_EQ(FNew_Project->ModalResult(), 0);
        FNew_Project->E_New_Proj->SetText(QStringLiteral("Pump"));
        FNew_Project->E_New_Proj->Perform(WM_CHAR, 13);
    });
    Click(B::New);
    ASSERT_EQ(Script.Count(TDialogKind::MessageBox), 1);
    EXPECT_EQ(Script.Shown[0].Text, QStringLiteral("Error! Name Project is not valid"));
    EXPECT_EQ(Name_Project, QStringLiteral("Pump"));
    Screenshot(New, QStringLiteral("new_project.png"));
}

TEST_F(Program, OpenListsProjectFoldersAndPreselectsTheOpenOneIgnoringCase)
{
    for (const char* d : {"beta", "Alpha", "T1"})
        ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("PROJECTS/") + QString::fromLatin1(d))));
    WriteFileWhole(Path(QStringLiteral("PROJECTS/loose.xml")), "<a/>");
    Start();
    // The open project as a case-blind disk would name it.
    Dir_Project = PathJoin(Dir_Projects, QStringLiteral("t1"));

    QStringList shown;
    int selected = -2;
    Script.AnswerModal([&](TCustomForm*) {
        for (int i = 0; i < FOpenConf->ListBox1->Items()->Count(); ++i)
            shown << FOpenConf->ListBox1->Items()->Strings(i);
        selected = FOpenConf->ListBox1->ItemIndex();
        // The user picks "beta" and confirms.
        FOpenConf->ListBox1->SetItemIndex(1);
        FOpenConf->ListBox1Click(FOpenConf->ListBox1);
        FOpenConf->Btn_OK->Click();
    });
    Click(B::Open);
    EXPECT_EQ(shown, (QStringList{"Alpha", "beta", "T1"}));
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(Dir_Project, Path(QStringLiteral("PROJECTS/beta")));
    EXPECT_EQ(Main->L_Name_Conf_L2->Caption(), QStringLiteral("beta"));
    Screenshot(Open, QStringLiteral("open_project.png"));
}

// The keys a person uses in the two project dialogs: Escape cancels New
// project with nothing created; in Open project the arrows pick a project
// and Enter confirms it.
TEST_F(Program, EscapeCancelsNewProjectAndEnterInTheListOpensTheProjectPicked)
{
    for (const char* d : {"Alpha", "beta"})
        ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("PROJECTS/") + QString::fromLatin1(d))));
    Start();
    int afterEscape = -1;
    Script.AnswerModal([&](TCustomForm*) {
        ASSERT_EQ(FocusedControl(), FNew_Project->E_New_Proj);
        for (QChar ch : QStringLiteral("Pump"))
            Input::Char(ch);
        Input::KeyStroke(VK_ESCAPE);
        afterEscape = FNew_Project->ModalResult();
    });
    Click(B::New);
    EXPECT_EQ(afterEscape, mrCancel);
    EXPECT_FALSE(DirectoryExists(Path(QStringLiteral("PROJECTS/Pump"))));
    EXPECT_FALSE(Project_Is_Open());

    int afterEnter = -1;
    Script.AnswerModal([&](TCustomForm*) {
        ASSERT_EQ(FocusedControl(), FOpenConf->ListBox1);
        ASSERT_EQ(FOpenConf->ListBox1->ItemIndex(), 0);
        Input::KeyStroke(VK_DOWN);
        Input::KeyStroke(VK_RETURN);
        afterEnter = FOpenConf->ModalResult();
    });
    Click(B::Open);
    EXPECT_EQ(afterEnter, mrOk);
    EXPECT_EQ(Dir_Project, Path(QStringLiteral("PROJECTS/beta")));
}

TEST_F(Program, OpenOfAFolderThatWentAwayOpensNothing)
{
    ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("PROJECTS/Gone"))));
    Start();
    Script.AnswerModal([this](TCustomForm*) {
        ASSERT_TRUE(QDir(Path(QStringLiteral("PROJECTS/Gone"))).removeRecursively());
        FOpenConf->Btn_OK->Click();
    });
    Click(B::Open);
    EXPECT_FALSE(Project_Is_Open());
    EXPECT_EQ(Main->L_Name_Conf->Caption(), QStringLiteral("None Configuration Opened "));
    EXPECT_EQ(Script.Last().Text, QStringLiteral("Error! Project not Valid"));
}

TEST_F(Program, ClosingWritesTheSettingsAndTheNextStartReopensT1)
{
    Start();
    Script.AnswerModal([](TCustomForm*) {
        FNew_Project->E_New_Proj->SetText(QStringLiteral("T1"));
        FNew_Project->Btn_OK->Click();
    });
    Click(B::New);
    Last_IP_Address = QStringLiteral("127.0.0.1");
    Click(B::Close);
    ASSERT_TRUE(FileExists(Path(QStringLiteral("Kalmetor.xml"))));

    Stop();
    Name_Project.clear();
    Dir_Project.clear();
    Start();
    EXPECT_EQ(Dir_Project, Path(QStringLiteral("PROJECTS/T1")));
    EXPECT_EQ(Main->L_Name_Conf_L2->Caption(), QStringLiteral("T1"));
    EXPECT_EQ(Last_IP_Address, QStringLiteral("127.0.0.1"));
}

// The window's own close box, as the person closes the program: the settings
// are written and the window leaves the screen, which ends the message loop.
TEST_F(Program, TheCloseBoxWritesTheSettings)
{
    ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("PROJECTS/T1"))));
    Start();
    ASSERT_TRUE(Open_Project_Named(QStringLiteral("T1")));
    Last_IP_Address = QStringLiteral("127.0.0.1");
    Language = QStringLiteral("Deutsch");
    Enable_Internet = 1;
    Enable_Update = 0;
    SetFormHostsEnabled(true);
    const auto headless = qScopeGuard([] { SetFormHostsEnabled(false); });
    Main->Show();
    ASSERT_TRUE(Main->IsShownOnScreen());
    ASSERT_NE(Main->HostWidget(), nullptr);
    QCloseEvent closing;
    QCoreApplication::sendEvent(Main->HostWidget(), &closing);
    EXPECT_FALSE(Main->IsShownOnScreen());
    ASSERT_TRUE(FileExists(Settings_File()));

    Name_Project.clear();
    Last_IP_Address.clear();
    Language.clear();
    Enable_Internet = Enable_Update = -1;
    Read_Settings(Settings_File());
    EXPECT_EQ(Name_Project, QStringLiteral("T1"));
    EXPECT_EQ(Last_IP_Address, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(Language, QStringLiteral("Deutsch"));
    EXPECT_EQ(Enable_Internet, 1);
    EXPECT_EQ(Enable_Update, 0);
}

TEST_F(Program, TheTimerChecksForANewerVersionAndShowsTheLink)
{
    LoopbackHttp server("HTTP/1.0 200 OK\r\n\r\nVER. 1.101");
    ASSERT_NE(server.Port(), 0);
    Update_Server().Host = QStringLiteral("127.0.0.1");
    Update_Server().Port = server.Port();
    WriteFileWhole(Path(QStringLiteral("Kalmetor.xml")),
                   "<Conf_Settings><lastinternet><enable_internet>1</enable_internet>"
                   "<enable_update>1</enable_update></lastinternet></Conf_Settings>");
    Start();
    EXPECT_TRUE(Main->Timer_Update->Enabled());
    EXPECT_EQ(Main->Timer_Update->Interval(), 60000u);
    // Nothing is asked in the first minute.
    AdvanceTime(59000);
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_FALSE(Main->LL_Update->Visible());
    AdvanceTime(1000);
    EXPECT_EQ(server.Requests().size(), 1);
    EXPECT_TRUE(Main->LL_Update->Visible());
    EXPECT_EQ(Main->LL_Update->Caption(), Download_Link(9, QStringLiteral("New Version Available. Click Here "
                                                                          "for more Details")));
    EXPECT_EQ(Main->Timer_Update->Interval(), 7200000u);
    EXPECT_TRUE(Main->Timer_Update->Enabled());
    // Two hours later the next check.
    AdvanceTime(7199000);
    EXPECT_EQ(server.Requests().size(), 1);
    AdvanceTime(1000);
    EXPECT_EQ(server.Requests().size(), 2);
    // A click on the link hands it to the link service.
    Main->Show();
    const TRect r = Main->LL_Update->LinkRect(0);
    ASSERT_FALSE(r.IsEmpty());
    Input::Click(Main->LL_Update, r.Left + 2, r.Top + 2);
    EXPECT_EQ(Links->Launched,
              QStringList{QStringLiteral("http://www.tavlon.example/Home/download/download.asp#GW31A06")});
    Screenshot(Main, QStringLiteral("main_window_update.png"));
}

TEST_F(Program, AServerThatDoesNotAnswerLeavesTheWindowResponsive)
{
    LoopbackHttp server(QByteArray(), true);
    Update_Server().Host = QStringLiteral("127.0.0.1");
    Update_Server().Port = server.Port();
    Update_Server().TimeoutMs = 300;
    Start();
    Main->Timer_Update->Timer();
    EXPECT_FALSE(Main->LL_Update->Visible());
    // The window still answers: a step runs at once.
    Script.Shown.clear();
    Click(B::KNX_Access);
    EXPECT_EQ(Script.Shown.size(), 1);
}

namespace {

// A flag of three upright stripes, written as a BMP file.
void Write_Flag(const QString& path, std::initializer_list<TColor> stripes)
{
    TBitmap bmp;
    bmp.SetSize(48, 48);
    int x = 0;
    for (TColor c : stripes) {
        bmp.Canvas()->Brush().SetColor(c);
        bmp.Canvas()->FillRect(Rect(x, 0, x + 16, 48));
        x += 16;
    }
    WriteFileWhole(path, bmp.SaveToBytes());
}

} // namespace

TEST_F(Program, OptionsPagesLanguageChangeAndOk)
{
    for (const char* n : {"Deutsch", "English", "Espanol", "Francais", "Italiano", "Polski", "Zulu"})
        WriteFileWhole(PathJoin(Tmp.path(), QStringLiteral("LANGUAGE/") + QString::fromLatin1(n) + ".lng"),
                       "STR 0 = Anfang\r\nSTR 15 = Neue Konfiguration\r\n");
    Write_Flag(Path(QStringLiteral("LANGUAGE/DefaultFlag.bmp")), {clSilver, clWhite, clSilver});
    Write_Flag(Path(QStringLiteral("LANGUAGE/Italiano.bmp")), {RGB(0, 146, 70), clWhite, RGB(206, 43, 55)});
    Start();
    Script.Answer(mrYes);
    Script.AnswerModal([this](TCustomForm*) {
        EXPECT_EQ(FSoftOptions->L_Page_Lang->Caption(), QStringLiteral("Page 1 / 2"));
        EXPECT_TRUE(FSoftOptions->L_L[5]->Visible());
        EXPECT_FALSE(FSoftOptions->Btn_Prev->Visible());
        EXPECT_TRUE(FSoftOptions->Btn_Next->Visible());
        // Every slot shows a flag: its own or the default one.
        for (int k = 0; k < Lang_Slots; ++k) {
            EXPECT_TRUE(FSoftOptions->I_L[k]->Visible()) << k;
            EXPECT_EQ(FSoftOptions->I_L[k]->Picture()->Width(), 48) << k;
        }
        // Italiano (slot 5) has its own green, white and red flag.
        EXPECT_EQ(FSoftOptions->I_L[4]->Picture()->Bitmap()->Canvas()->Pixels(2, 2), TColor(RGB(0, 146, 70)));
        EXPECT_EQ(FSoftOptions->I_L[0]->Picture()->Bitmap()->Canvas()->Pixels(2, 2), TColor(clSilver));
        Screenshot(FSoftOptions, QStringLiteral("options_language.png"));
        FSoftOptions->Btn_Next->Click();
        EXPECT_EQ(FSoftOptions->L_Page_Lang->Caption(), QStringLiteral("Page 2 / 2"));
        EXPECT_TRUE(FSoftOptions->L_L[0]->Visible());
        EXPECT_FALSE(FSoftOptions->L_L[1]->Visible());
        EXPECT_EQ(FSoftOptions->L_L[0]->Caption(), QStringLiteral("Zulu"));
        FSoftOptions->Btn_Prev->Click();
        // "Deutsch" on page 1, slot 1: the main window changes at once.
        FSoftOptions->LangClick(1);
        EXPECT_EQ(FKalmetoreFirmWare->L_Begin->Caption(), QStringLiteral("Anfang"));
        EXPECT_EQ(FKalmetoreFirmWare->Button(B::New)->Caption(), QStringLiteral("Neue Konfiguration"));
        EXPECT_EQ(Language, QStringLiteral("English"));
        FSoftOptions->PC_Options->SetActivePage(FSoftOptions->TS_Con_Options);
        Screenshot(FSoftOptions, QStringLiteral("options_connection.png"));
        FSoftOptions->Btn_OK->Click();
    });
    Click(B::Opz);
    EXPECT_TRUE(Script.Shown[0].Text.startsWith(QStringLiteral("Do you want to change the Language from English")));
    EXPECT_EQ(Language, QStringLiteral("Deutsch"));
    // OK wrote the settings at once.
    Read_Settings(Settings_File());
    EXPECT_EQ(Language, QStringLiteral("Deutsch"));
}

TEST_F(Program, CancelAfterALanguageChoiceBringsThePreviousTextsBack)
{
    WriteFileWhole(PathJoin(Tmp.path(), QStringLiteral("LANGUAGE/Deutsch.lng")), "STR 0 = Anfang\r\n");
    Start();
    Script.Answer(mrYes);
    Script.AnswerModal([](TCustomForm*) {
        FSoftOptions->LangClick(1);
        EXPECT_EQ(FKalmetoreFirmWare->L_Begin->Caption(), QStringLiteral("Anfang"));
        FSoftOptions->Btn_Cancel->Click();
    });
    Click(B::Opz);
    EXPECT_EQ(Main->L_Begin->Caption(), QStringLiteral("Begin"));
    EXPECT_EQ(Language, QStringLiteral("English"));
    EXPECT_FALSE(FileExists(Settings_File()));
}

TEST_F(Program, OptionsWithoutLanguageFilesAndTheSwitches)
{
    Start();
    Script.AnswerModal([](TCustomForm*) {
        EXPECT_EQ(FSoftOptions->L_Page_Lang->Caption(), QStringLiteral("Page 1 / 0"));
        EXPECT_TRUE(FSoftOptions->Btn_Next->Visible());
        for (int k = 0; k < Lang_Slots; ++k)
            EXPECT_FALSE(FSoftOptions->L_L[k]->Visible());
        FSoftOptions->Btn_Next->Click();
        EXPECT_EQ(FSoftOptions->L_Page_Lang->Caption(), QStringLiteral("Page 1 / 0"));
        EXPECT_FALSE(FSoftOptions->CB_Update->Enabled());
        EXPECT_FALSE(FSoftOptions->Btn_Check_Update->Enabled());
        FSoftOptions->CB_En_Con->SetChecked(true);
        EXPECT_TRUE(FSoftOptions->CB_Update->Enabled());
        FSoftOptions->CB_Update->SetChecked(true);
        EXPECT_TRUE(FSoftOptions->Btn_Check_Update->Enabled());
        FSoftOptions->Btn_OK->Click();
    });
    Click(B::Opz);
    EXPECT_EQ(Enable_Internet, 1);
    EXPECT_EQ(Enable_Update, 1);
    EXPECT_TRUE(Main->Timer_Update->Enabled());
}

TEST_F(Program, ManualCheckShowsTheOutcome)
{
    LoopbackHttp server("HTTP/1.0 200 OK\r\n\r\nVER. 1.100");
    Update_Server().Host = QStringLiteral("127.0.0.1");
    Update_Server().Port = server.Port();
    Start();
    Script.AnswerModal([](TCustomForm*) {
        FSoftOptions->Btn_Check_UpdateClick(nullptr);
        EXPECT_TRUE(FSoftOptions->LL_Check_Update->Visible());
        EXPECT_EQ(FSoftOptions->LL_Check_Update->Caption(), QStringLiteral("No Update Available"));
        FSoftOptions->Btn_Cancel->Click();
    });
    Click(B::Opz);
}

TEST_F(Program, AboutBoxOfModelNine)
{
    Start();
    Script.AnswerModal([this](TCustomForm*) {
        EXPECT_EQ(FAbout->Label1->Caption(), QStringLiteral("Software Kalmetor "));
        EXPECT_EQ(FAbout->Label2->Caption(), QStringLiteral("J1939 / KNX - Converter"));
        EXPECT_EQ(FAbout->Label9->Caption(), QStringLiteral("CF31A06"));
        EXPECT_EQ(FAbout->Label10->Caption(), QStringLiteral("1.100"));
        EXPECT_EQ(FAbout->Label12->Caption(), QStringLiteral("MN31A06"));
        EXPECT_TRUE(FAbout->Image2->Visible());
        EXPECT_TRUE(FAbout->Label4->Visible());
        EXPECT_FALSE(FAbout->I_Brimel->Visible());
        EXPECT_EQ(FAbout->ClientWidth(), 406);
        EXPECT_EQ(FAbout->ClientHeight(), 148);
        Screenshot(FAbout, QStringLiteral("about.png"));
        FAbout->Label4->Click();
        FAbout->LbButton1->Click();
    });
    Click(B::Info);
    EXPECT_EQ(Links->Launched,
              QStringList{QStringLiteral("http://www.tavlon.example/HOME/default.asp?frompg=CF31A06")});
    Main->L_TavlonClick(nullptr);
    EXPECT_EQ(Links->Launched.size(), 2);
}

TEST_F(Program, PartnerEditionAboutBoxAndNoProductPage)
{
    Model_Code = 1012;
    Start();
    EXPECT_FALSE(Main->L_Tavlon->Visible());
    EXPECT_TRUE(Main->I_Brimel->Visible());
    Script.AnswerModal([](TCustomForm*) {
        EXPECT_TRUE(FAbout->I_Brimel->Visible());
        EXPECT_FALSE(FAbout->Image2->Visible());
        EXPECT_FALSE(FAbout->Label4->Visible());
        EXPECT_EQ(FAbout->Label9->Caption(), QStringLiteral("OS-GW-106-TP"));
        EXPECT_EQ(FAbout->Label12->Caption(), QStringLiteral("MCOSGW106TP"));
        FAbout->I_Brimel->Click();
        FAbout->LbButton1->Click();
    });
    Click(B::Info);
    EXPECT_TRUE(Links->Launched.isEmpty());
    EXPECT_FALSE(Options->TS_Con_Options->TabVisible());
}

TEST_F(Program, UpdateDeviceBuildsTheImageThenOpensTheWizard)
{
    ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("PROJECTS/P"))));
    WriteFileWhole(Path(QStringLiteral("Kalmetor.xml")),
                   "<Conf_Settings><lastproj><projectname>P</projectname></lastproj></Conf_Settings>");
    Start();
    ASSERT_TRUE(Project_Is_Open());
    QStringList order;
    Device_Image_Writer = [&order] { order << "image"; };
    Show_Update_Wizard = [&order] { order << "wizard"; };
    Click(B::CreateBin);
    EXPECT_EQ(order, (QStringList{"image", "wizard"}));

    // An image that cannot be made is told and the wizard stays shut.
    order.clear();
    Device_Image_Writer = [] { throw EWriteError(QStringLiteral("Cannot write bank.bin")); };
    Show_Update_Error = [&order](const QString& m) { order << m; };
    Click(B::CreateBin);
    ASSERT_EQ(order.size(), 1);
    EXPECT_TRUE(order[0].contains(QStringLiteral("bank.bin")));
    Device_Image_Writer = nullptr;
    Show_Update_Wizard = nullptr;
    Show_Update_Error = nullptr;
}

TEST_F(Program, OtherModelsSideSteps)
{
    // CANopen: the EDS step is the one the image layer registers.
    Model_Code = 6;
    ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("PROJECTS/P"))));
    WriteFileWhole(Path(QStringLiteral("Kalmetor.xml")),
                   "<Conf_Settings><lastproj><projectname>P</projectname></lastproj></Conf_Settings>");
    Start();
    EXPECT_EQ(Main->ClientHeight(), 420 + 152);
    int edsSteps = 0;
    Register_Step(TStepAction::Build_EDS_File, [&edsSteps] { ++edsSteps; });
    Click(B::CANopen_EDS);
    EXPECT_EQ(edsSteps, 1);
    Register_Step(TStepAction::Build_EDS_File, nullptr);
    Stop();

    // M-Bus: an existing network file asks first; No opens nothing.
    Model_Code = 10;
    Start();
    EXPECT_TRUE(Main->Button(B::ScanDecode)->Visible());
    int scans = 0;
    Register_Step(TStepAction::Scan_Decode, [&scans] { ++scans; });
    Click(B::ScanDecode);
    EXPECT_EQ(scans, 1);
    WriteFileWhole(File_M_Bus, "<M-Bus_Network/>");
    Script.Shown.clear();
    Script.Answer(mrNo);
    Click(B::ScanDecode);
    EXPECT_EQ(scans, 1);
    EXPECT_EQ(Script.Last().Text, Text_Of(973));
    Script.Answer(mrYes);
    Click(B::ScanDecode);
    EXPECT_EQ(scans, 2);
}

TEST_F(Program, StepsOnAProjectWhoseFolderWentAwayShowTheErrorAndCreateNothing)
{
    Start();
    Script.AnswerModal([](TCustomForm*) {
        FNew_Project->E_New_Proj->SetText(QStringLiteral("T1"));
        FNew_Project->Btn_OK->Click();
    });
    Click(B::New);
    ASSERT_TRUE(Project_Is_Open());
    const QString dir = Path(QStringLiteral("PROJECTS/T1"));
    ASSERT_TRUE(QDir(dir).removeRecursively());

    int ran = 0;
    const auto saved = Device_Image_Writer;
    Device_Image_Writer = [&ran] { ++ran; };
    Show_Update_Wizard = [&ran] { ++ran; };
    Register_Step(TStepAction::ParGen, [&ran] { ++ran; });
    Register_Step(TStepAction::KNXAccess, [&ran] { ++ran; });
    for (B b : {B::CreateBin, B::Prm_Gen, B::KNX_Access, B::J1939_Rec_Frame}) {
        Script.Shown.clear();
        Click(b);
        ASSERT_EQ(Script.Shown.size(), 1) << Main_Button(b).Name;
        EXPECT_EQ(Script.Last().Text, QStringLiteral("Error! Project not Valid")) << Main_Button(b).Name;
    }
    Device_Image_Writer = saved;
    Show_Update_Wizard = nullptr;
    EXPECT_EQ(ran, 0);
    EXPECT_FALSE(QFileInfo::exists(dir));
    EXPECT_EQ(Script.Count(TDialogKind::ModalForm), 0);
}

// A language change while New project and Open project are closed: each,
// shown again, paints the new texts (its surface is the dialog as it now is,
// not the picture of its last showing).
TEST_F(Program, DialogsShownAfterALanguageChangePaintTheNewTexts)
{
    Start();
    for (TCustomForm* f : {static_cast<TCustomForm*>(New), static_cast<TCustomForm*>(Open)}) {
        f->Show();
        f->PaintPending();
        f->Hide();
    }
    WriteFileWhole(PathJoin(Dir_Language, QStringLiteral("Deutsch.lng")),
                   "STR 25 = Neue Konfiguration\r\nSTR 26 = Neue Konfiguration anlegen\r\n"
                   "STR 27 = Name der neuen Konfiguration\r\nSTR 28 = Weiter\r\nSTR 29 = Abbrechen\r\n"
                   "STR 34 = Vorhandene Konfiguration\r\nSTR 35 = Konfigurationen\r\n");
    Language = QStringLiteral("Deutsch");
    Load_Language();
    Main->Change_Language();
    for (TCustomForm* f : {static_cast<TCustomForm*>(New), static_cast<TCustomForm*>(Open)}) {
        SCOPED_TRACE(f->Caption().toStdString());
        f->Show();
        f->PaintPending();
        const QImage shown = f->Surface()->copy();
        EXPECT_EQ(shown, f->RenderClient());
        f->Hide();
    }
    EXPECT_EQ(New->Label1->Caption(), QStringLiteral("Name der neuen Konfiguration"));
}
