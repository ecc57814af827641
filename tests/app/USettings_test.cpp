#include "app/USettings.h"

#include "app/UComon.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Settings {
    QString project, ip, language;
    int internet, update;
};

Settings Current()
{
    return {Name_Project, Last_IP_Address, Language, Enable_Internet, Enable_Update};
}

void Scramble()
{
    Name_Project = "stale";
    Dir_Project = "/stale";
    Last_IP_Address = "stale";
    Language = "stale";
    Enable_Internet = 1;
    Enable_Update = 1;
}

void ExpectSettings(const Settings& s, const char* project, const char* ip, const char* language,
                    int internet, int update)
{
    EXPECT_EQ(s.project, QString::fromUtf8(project));
    EXPECT_EQ(s.ip, QString::fromUtf8(ip));
    EXPECT_EQ(s.language, QString::fromUtf8(language));
    EXPECT_EQ(s.internet, internet);
    EXPECT_EQ(s.update, update);
}

} // namespace

TEST(SettingsFile, ReadingValueByValue)
{
    const struct {
        const char* name;
        const char* xml;
        const char* project;
        const char* ip;
        const char* language;
        int internet, update;
    } cases[] = {
        {"empty root", "<Conf_Settings/>", "", "192.168.2.205", "English", 0, 0},
        {"all values",
         "<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj>"
         "<lastipadd><ipaddress>10.0.0.7</ipaddress></lastipadd>"
         "<lastlang><language>Italiano</language></lastlang>"
         "<lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet>"
         "</Conf_Settings>",
         "Plant", "10.0.0.7", "Italiano", 1, 1},
        {"update missing",
         "<Conf_Settings><lastinternet><enable_internet>1</enable_internet></lastinternet></Conf_Settings>",
         "", "192.168.2.205", "English", 1, 0},
        {"update alone",
         "<Conf_Settings><lastinternet><enable_update>1</enable_update></lastinternet></Conf_Settings>",
         "", "192.168.2.205", "English", 0, 1},
        {"flag true", "<Conf_Settings><lastinternet><enable_internet>true</enable_internet></lastinternet></Conf_Settings>",
         "", "192.168.2.205", "English", 0, 0},
        {"flag with blank", "<Conf_Settings><lastinternet><enable_internet> 1</enable_internet></lastinternet></Conf_Settings>",
         "", "192.168.2.205", "English", 0, 0},
        {"values not trimmed, empty kept",
         "<Conf_Settings><lastipadd><ipaddress> 1.2.3.4 </ipaddress></lastipadd>"
         "<lastlang><language></language></lastlang></Conf_Settings>",
         "", " 1.2.3.4 ", "", 0, 0},
        {"value outside its group is not found",
         "<Conf_Settings><ipaddress>1.1.1.1</ipaddress><lastlang/></Conf_Settings>",
         "", "192.168.2.205", "English", 0, 0},
        {"first of two counts",
         "<Conf_Settings><lastlang><language>A</language><language>B</language></lastlang>"
         "<lastlang><language>C</language></lastlang></Conf_Settings>",
         "", "192.168.2.205", "A", 0, 0},
        {"declaration before the root",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!-- saved --><Conf_Settings>"
         "<lastlang><language>Deutsch</language></lastlang></Conf_Settings>",
         "", "192.168.2.205", "Deutsch", 0, 0},
        {"not well-formed", "<Conf_Settings><lastlang><language>Deutsch</language>",
         "", "192.168.2.205", "English", 0, 0},
        {"not xml at all", "\x01\x02garbage", "", "192.168.2.205", "English", 0, 0},
        {"project climbing out", "<Conf_Settings><lastproj><projectname>../x</projectname></lastproj></Conf_Settings>",
         "", "192.168.2.205", "English", 0, 0},
        {"project with backslash", "<Conf_Settings><lastproj><projectname>a\\b</projectname></lastproj></Conf_Settings>",
         "", "192.168.2.205", "English", 0, 0},
        {"project dot-dot", "<Conf_Settings><lastproj><projectname>..</projectname></lastproj></Conf_Settings>",
         "", "192.168.2.205", "English", 0, 0},
        {"project with a control character",
         "<Conf_Settings><lastproj><projectname>a&#9;b</projectname></lastproj></Conf_Settings>",
         "", "192.168.2.205", "English", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scramble();
        Read_Settings_Bytes(QByteArray(c.xml));
        ExpectSettings(Current(), c.project, c.ip, c.language, c.internet, c.update);
        EXPECT_EQ(Dir_Project, "");
    }
}

TEST(SettingsFile, MissingFileGivesDefaults)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    Scramble();
    Read_Settings(PathJoin(tmp.path(), "Kalmetor.xml"));
    ExpectSettings(Current(), "", "192.168.2.205", "English", 0, 0);
}

TEST(SettingsFile, WrittenFileHasTheExactShape)
{
    Name_Project = "Plant";
    Last_IP_Address = "10.0.0.7";
    Language = "Italiano";
    Enable_Internet = 1;
    Enable_Update = 0;
    EXPECT_EQ(Settings_Bytes(),
              QByteArray("<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj>"
                         "<lastipadd><ipaddress>10.0.0.7</ipaddress></lastipadd>"
                         "<lastlang><language>Italiano</language></lastlang>"
                         "<lastinternet><enable_internet>1</enable_internet>"
                         "<enable_update>0</enable_update></lastinternet></Conf_Settings>"));
    // Any value other than 0 is written as "1".
    Enable_Update = 7;
    EXPECT_TRUE(Settings_Bytes().contains("<enable_update>1</enable_update>"));
}

TEST(SettingsFile, RoundTripAndWriteFailure)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString path = PathJoin(tmp.path(), "Kalmetor.xml");

    Name_Project = QString::fromUtf8("Anlage \xC3\x9C & <1>");
    Last_IP_Address = "127.0.0.1";
    Language = QString::fromUtf8("Fran\xC3\xA7" "ais");
    Enable_Internet = 0;
    Enable_Update = 1;
    const Settings written = Current();
    Save_Setting(path);
    Scramble();
    Read_Settings(path);
    const Settings read = Current();
    ExpectSettings(read, written.project.toUtf8().constData(), "127.0.0.1",
                   written.language.toUtf8().constData(), 0, 1);
    EXPECT_TRUE(ReadFileWhole(path).startsWith("<Conf_Settings>"));

    // Empty project name after an invalid stored one.
    WriteFileWhole(path, "<Conf_Settings><lastproj><projectname>/etc</projectname></lastproj></Conf_Settings>");
    Read_Settings(path);
    Save_Setting(path);
    EXPECT_FALSE(ReadFileWhole(path).contains("/etc"));
    EXPECT_TRUE(ReadFileWhole(path).startsWith("<Conf_Settings><lastproj><projectname/></lastproj>"))
        << ReadFileWhole(path).constData();

    // A folder that does not exist: the failure is reported.
    EXPECT_THROW(Save_Setting(PathJoin(tmp.path(), "missing/Kalmetor.xml")), Exception);
}

TEST(SettingsFile, SettingsFileIsBesideTheProgram)
{
    Set_Program_Folders("/opt/kal");
    EXPECT_EQ(Settings_File(), "/opt/kal/Kalmetor.xml");
}
