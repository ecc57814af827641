// Start-up in a program folder, new and open project, and the settings
// written at shutdown and read at the next start.
#include "ProgramFolder.h"

#include "app/UKalmetoreFirmWare.h"
#include "app/UNew_Project.h"
#include "app/UOpenConf.h"
#include "app/USettings.h"

#include <QFile>

namespace {

class Projects : public ProgramFolder {};

void Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST_F(Projects, StartInAnEmptyFolderMakesTheFoldersAndOpensNothing)
{
    QTemporaryDir empty;
    Prepare_Program_State(empty.path());
    for (const char* d : {"MASTER", "PROJECTS", "LANGUAGE"})
        EXPECT_TRUE(DirectoryExists(PathJoin(empty.path(), QString::fromLatin1(d)))) << d;
    EXPECT_EQ(Program_Title, QStringLiteral("www.tavlon.example - Configurator CF31A06 - J1939 / KNX "));
    EXPECT_EQ(SW_Code, QStringLiteral("CF31A06"));
    EXPECT_EQ(SW_Desc, QStringLiteral("J1939 / KNX - Converter"));
    EXPECT_EQ(Last_IP_Address, QStringLiteral("192.168.2.205"));
    EXPECT_EQ(Language, QStringLiteral("English"));
    EXPECT_FALSE(Update_Check_Allowed());
    EXPECT_FALSE(Project_Is_Open());
    EXPECT_TRUE(File_ParGen.isEmpty());
    const TProjectLabels l = Project_Labels();
    EXPECT_EQ(l.Line1, QStringLiteral("None Configuration Opened "));
    EXPECT_EQ(l.Line2, QStringLiteral("Use Step1 to open or create new configuration"));
    EXPECT_EQ(Texts.size(), 1600);
}

TEST_F(Projects, NewProjectMakesItsFolderWithBinAndNoFile)
{
    ASSERT_EQ(Create_Project_Folder(QStringLiteral("T1")), 0);
    EXPECT_TRUE(DirectoryExists(Path(QStringLiteral("PROJECTS/T1/bin"))));
    EXPECT_EQ(Tree(), (QStringList{"LANGUAGE", "MASTER", "PROJECTS", "PROJECTS/T1", "PROJECTS/T1/bin"}));
    EXPECT_EQ(Name_Project, QStringLiteral("T1"));
    EXPECT_EQ(Dir_Project, Path(QStringLiteral("PROJECTS/T1")));
    EXPECT_EQ(File_ParGen, Path(QStringLiteral("PROJECTS/T1/ParGen.xml")));
    const TProjectLabels l = Project_Labels();
    EXPECT_EQ(l.Line1, QStringLiteral("Opened Configuration of the Converter : "));
    EXPECT_EQ(l.Line2, QStringLiteral("T1"));
}

TEST_F(Projects, BadNewProjectNamesAreRefusedAndCreateNothing)
{
    ASSERT_EQ(Create_Project_Folder(QStringLiteral("Old")), 0);
    const QStringList before = Tree();
    struct Case {
        QString Name;
        int Text;
    } cases[] = {
        {QString(), 32},
        {QStringLiteral("Old"), 31},
        {QStringLiteral("   "), 30},
        {QStringLiteral("../x"), 30},
        {QStringLiteral("a/b"), 30},
        {QStringLiteral("a\\b"), 30},
        {QStringLiteral("."), 30},
        {QStringLiteral(".."), 30},
        {QStringLiteral("a\tb"), 30},
        {QStringLiteral("x\ny"), 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name.toStdString());
        EXPECT_EQ(Create_Project_Folder(c.Name), c.Text);
        EXPECT_EQ(Tree(), before);
        // The project opened before stays open.
        EXPECT_EQ(Name_Project, QStringLiteral("Old"));
        EXPECT_EQ(Dir_Project, Path(QStringLiteral("PROJECTS/Old")));
    }
    // A file of the name in PROJECTS is no existing folder: the folder cannot
    // be made (text 30), and the file stays a file.
    Touch(Path(QStringLiteral("PROJECTS/note")));
    EXPECT_EQ(Create_Project_Folder(QStringLiteral("note")), 30);
    EXPECT_TRUE(FileExists(Path(QStringLiteral("PROJECTS/note"))));
    EXPECT_FALSE(DirectoryExists(Path(QStringLiteral("PROJECTS/note"))));
    EXPECT_EQ(Name_Project, QStringLiteral("Old"));
}

TEST_F(Projects, ANameWithBlanksAroundIsTakenAsTyped)
{
    ASSERT_EQ(Create_Project_Folder(QStringLiteral(" Pump 2 ")), 0);
    EXPECT_TRUE(DirectoryExists(Path(QStringLiteral("PROJECTS/ Pump 2 /bin"))));
    EXPECT_EQ(Name_Project, QStringLiteral(" Pump 2 "));
}

TEST_F(Projects, TheListHoldsProjectFoldersOnlyAndPreselectsIgnoringCase)
{
    for (const char* d : {"beta", "Alpha", "gamma"})
        ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("PROJECTS/") + QString::fromLatin1(d))));
    Touch(Path(QStringLiteral("PROJECTS/readme.txt")));
    Touch(Path(QStringLiteral("PROJECTS/ParGen.xml")));
    const QStringList SL = Load_Existing_Configuration(Dir_Projects);
    EXPECT_EQ(SL, (QStringList{"Alpha", "beta", "gamma"}));

    QString Name_Conf = QStringLiteral("kept");
    // No project open: the first entry.
    EXPECT_EQ(Preselect_Conf(SL, Name_Conf), 0);
    EXPECT_EQ(Name_Conf, QStringLiteral("Alpha"));
    // The open project, whatever the case of its folder name.
    Dir_Project = PathJoin(Dir_Projects, QStringLiteral("BETA"));
    EXPECT_EQ(Preselect_Conf(SL, Name_Conf), 1);
    EXPECT_EQ(Name_Conf, QStringLiteral("beta"));
    EXPECT_EQ(Search_Open_Conf(SL, QStringLiteral("GAMMA")), 2);
    EXPECT_EQ(Search_Open_Conf(SL, QStringLiteral("delta")), -1);
    // An empty list selects nothing and keeps the chosen name.
    Name_Conf = QStringLiteral("kept");
    EXPECT_EQ(Preselect_Conf(QStringList(), Name_Conf), -1);
    EXPECT_EQ(Name_Conf, QStringLiteral("kept"));
    // A folder that cannot be listed gives an empty list.
    EXPECT_TRUE(Load_Existing_Configuration(Path(QStringLiteral("nowhere"))).isEmpty());
}

TEST_F(Projects, OpeningAProjectWhoseFolderHasGoneOpensNothing)
{
    ASSERT_EQ(Create_Project_Folder(QStringLiteral("A")), 0);
    ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("PROJECTS/B"))));
    ASSERT_TRUE(QDir(Path(QStringLiteral("PROJECTS/B"))).removeRecursively());
    EXPECT_FALSE(Open_Project_Named(QStringLiteral("B")));
    EXPECT_EQ(Name_Project, QStringLiteral("A"));
    EXPECT_EQ(Dir_Project, Path(QStringLiteral("PROJECTS/A")));
    // Names that would lead out of PROJECTS are no project either.
    EXPECT_FALSE(Open_Project_Named(QStringLiteral("..")));
    EXPECT_FALSE(Open_Project_Named(QStringLiteral("../PROJECTS/A")));
    EXPECT_EQ(Name_Project, QStringLiteral("A"));

    ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("PROJECTS/C"))));
    EXPECT_TRUE(Open_Project_Named(QStringLiteral("C")));
    EXPECT_EQ(Dir_Project, Path(QStringLiteral("PROJECTS/C")));
    EXPECT_EQ(File_J1939_Rec_Frames, Path(QStringLiteral("PROJECTS/C/J1939_Rec_Frames.xml")));
    // An empty choice leaves no project open.
    EXPECT_TRUE(Open_Project_Named(QString()));
    EXPECT_FALSE(Project_Is_Open());
    EXPECT_TRUE(File_ParGen.isEmpty());
}

TEST_F(Projects, ClosingStoresTheSettingsAndTheNextStartReopensTheProject)
{
    Prepare_Program_State(Tmp.path());
    ASSERT_EQ(Create_Project_Folder(QStringLiteral("T1")), 0);
    Last_IP_Address = QStringLiteral("127.0.0.1");
    Enable_Internet = 1;
    Enable_Update = 1;
    Store_Settings();
    ASSERT_TRUE(FileExists(Path(QStringLiteral("Kalmetor.xml"))));

    Name_Project.clear();
    Dir_Project.clear();
    Last_IP_Address.clear();
    Enable_Internet = Enable_Update = 0;
    Prepare_Program_State(Tmp.path());
    EXPECT_EQ(Name_Project, QStringLiteral("T1"));
    EXPECT_EQ(Dir_Project, Path(QStringLiteral("PROJECTS/T1")));
    EXPECT_EQ(Last_IP_Address, QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(Update_Check_Allowed());
    EXPECT_EQ(Project_Labels().Line2, QStringLiteral("T1"));
}

TEST_F(Projects, AStoredProjectWhoseFolderWasDeletedIsKeptForTheNextStart)
{
    Prepare_Program_State(Tmp.path());
    ASSERT_EQ(Create_Project_Folder(QStringLiteral("T2")), 0);
    Store_Settings();
    ASSERT_TRUE(QDir().rename(Path(QStringLiteral("PROJECTS/T2")), Path(QStringLiteral("T2.away"))));

    Prepare_Program_State(Tmp.path());
    EXPECT_FALSE(Project_Is_Open());
    EXPECT_EQ(Project_Labels().Line1, QStringLiteral("None Configuration Opened "));
    EXPECT_EQ(Name_Project, QStringLiteral("T2"));
    Store_Settings();

    ASSERT_TRUE(QDir().rename(Path(QStringLiteral("T2.away")), Path(QStringLiteral("PROJECTS/T2"))));
    Prepare_Program_State(Tmp.path());
    EXPECT_TRUE(Project_Is_Open());
    EXPECT_EQ(Dir_Project, Path(QStringLiteral("PROJECTS/T2")));
}

TEST_F(Projects, AnUnreadableSettingsFileGivesTheDefaults)
{
    WriteFileWhole(Path(QStringLiteral("Kalmetor.xml")), "<Conf_Settings><lastproj>");
    Prepare_Program_State(Tmp.path());
    EXPECT_EQ(Last_IP_Address, QStringLiteral("192.168.2.205"));
    EXPECT_FALSE(Project_Is_Open());
}

TEST_F(Projects, StartUpEmptiesTheSharedLists)
{
    Row_Clipboard << QStringLiteral("left over");
    Prepare_Program_State(Tmp.path());
    EXPECT_TRUE(Row_Clipboard.isEmpty());
}

TEST_F(Projects, ProductPageOfTheMakersModelsOnly)
{
    EXPECT_EQ(Product_Page_Url(9), QStringLiteral("http://www.tavlon.example/HOME/default.asp?frompg=CF31A06"));
    EXPECT_TRUE(Product_Page_Url(1012).isEmpty());
    EXPECT_TRUE(Product_Page_Url(0).isEmpty());
    Open_Link(Product_Page_Url(9));
    Open_Link(Product_Page_Url(1012));
    EXPECT_EQ(Links->Launched,
              QStringList{QStringLiteral("http://www.tavlon.example/HOME/default.asp?frompg=CF31A06")});
}
