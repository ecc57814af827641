// The options dialog's language pages over the LANGUAGE folder, the
// language reload, and the two internet switches.
#include "ProgramFolder.h"

#include <QFile>

namespace {

class LanguagePages : public ProgramFolder {
protected:
    void Lng(const QString& name, const QByteArray& body = "STR 0 = Anfang\r\n")
    {
        WriteFileWhole(PathJoin(Dir_Language, name), body);
    }
};

} // namespace

TEST_F(LanguagePages, SevenFilesMakeTwoPages)
{
    for (const char* n : {"Italiano", "english", "Deutsch", "Francais", "Espanol", "Polski", "Zulu"})
        Lng(QString::fromLatin1(n) + QStringLiteral(".lng"));
    const QStringList files = List_Language_Files(Dir_Language);
    EXPECT_EQ(files, (QStringList{"Deutsch.lng", "english.lng", "Espanol.lng", "Francais.lng", "Italiano.lng",
                                  "Polski.lng", "Zulu.lng"}));
    EXPECT_EQ(Lang_Page_Count(int(files.size())), 2);

    const TLangPageView p1 = Lang_Page_View(files, 1, Dir_Language);
    EXPECT_EQ(p1.Page_Label, QStringLiteral("Page 1 / 2"));
    EXPECT_FALSE(p1.Prev_Visible);
    EXPECT_TRUE(p1.Next_Visible);
    ASSERT_EQ(p1.Slots.size(), 6);
    EXPECT_EQ(p1.Slots[0].Name, QStringLiteral("Deutsch"));
    EXPECT_EQ(p1.Slots[5].Name, QStringLiteral("Polski"));

    const TLangPageView p2 = Lang_Page_View(files, 2, Dir_Language);
    EXPECT_EQ(p2.Page_Label, QStringLiteral("Page 2 / 2"));
    EXPECT_TRUE(p2.Prev_Visible);
    EXPECT_FALSE(p2.Next_Visible);
    ASSERT_EQ(p2.Slots.size(), 1);
    EXPECT_EQ(p2.Slots[0].Name, QStringLiteral("Zulu"));
    EXPECT_EQ(Lang_Slot_Index(2, 1), 6);

    EXPECT_EQ(Turn_Lang_Page(1, 2, true), 2);
    EXPECT_EQ(Turn_Lang_Page(2, 2, true), 2);
    EXPECT_EQ(Turn_Lang_Page(2, 2, false), 1);
    EXPECT_EQ(Turn_Lang_Page(1, 2, false), 1);
}

TEST_F(LanguagePages, NoFileIsPageOneOfNoneWithNextShown)
{
    const QStringList files = List_Language_Files(Dir_Language);
    EXPECT_TRUE(files.isEmpty());
    const TLangPageView v = Lang_Page_View(files, 1, Dir_Language);
    EXPECT_EQ(v.Page_Label, QStringLiteral("Page 1 / 0"));
    EXPECT_FALSE(v.Prev_Visible);
    EXPECT_TRUE(v.Next_Visible);
    EXPECT_TRUE(v.Slots.isEmpty());
    EXPECT_EQ(Turn_Lang_Page(1, 0, true), 1);
    EXPECT_TRUE(List_Language_Files(Path(QStringLiteral("missing"))).isEmpty());
}

TEST_F(LanguagePages, ReadOnlyFilesLinksFoldersAndOtherNamesAreLeftOut)
{
    Lng(QStringLiteral("Deutsch.lng"));
    Lng(QStringLiteral("Locked.lng"));
    ASSERT_TRUE(QFile::setPermissions(PathJoin(Dir_Language, QStringLiteral("Locked.lng")),
                                      QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    ASSERT_TRUE(QFile::link(PathJoin(Dir_Language, QStringLiteral("Deutsch.lng")),
                            PathJoin(Dir_Language, QStringLiteral("Linked.lng"))));
    ASSERT_TRUE(QDir().mkdir(PathJoin(Dir_Language, QStringLiteral("Folder.lng"))));
    Lng(QStringLiteral("Upper.LNG"));
    Lng(QStringLiteral("notes.txt"));
    Lng(QStringLiteral(".lng"));
    Lng(QStringLiteral(".Hidden.lng"));
    EXPECT_EQ(List_Language_Files(Dir_Language), (QStringList{".Hidden.lng", "Deutsch.lng"}));
}

TEST_F(LanguagePages, FlagsFallBackToTheDefaultFlag)
{
    Lng(QStringLiteral("Deutsch.lng"));
    Lng(QStringLiteral("Italiano.lng"));
    EXPECT_TRUE(Flag_Picture(Dir_Language, QStringLiteral("Deutsch")).isEmpty());
    WriteFileWhole(PathJoin(Dir_Language, QStringLiteral("DefaultFlag.bmp")), "BM");
    WriteFileWhole(PathJoin(Dir_Language, QStringLiteral("Italiano.bmp")), "BM");
    const TLangPageView v = Lang_Page_View(List_Language_Files(Dir_Language), 1, Dir_Language);
    ASSERT_EQ(v.Slots.size(), 2);
    EXPECT_EQ(v.Slots[0].Flag, PathJoin(Dir_Language, QStringLiteral("DefaultFlag.bmp")));
    EXPECT_EQ(v.Slots[1].Flag, PathJoin(Dir_Language, QStringLiteral("Italiano.bmp")));
}

TEST_F(LanguagePages, ReloadingTextsForALanguageKeepsTheStoredLanguage)
{
    Lng(QStringLiteral("Deutsch.lng"), "STR 0 = Anfang\r\nSTR 15 = Neue Konfiguration\r\n");
    Language = QStringLiteral("English");
    Load_Texts_Of(QStringLiteral("Deutsch"));
    EXPECT_EQ(Text_Of(0), QStringLiteral("Anfang"));
    EXPECT_EQ(Text_Of(15), QStringLiteral("Neue Konfiguration"));
    EXPECT_EQ(Language, QStringLiteral("English"));
    // Back to the stored language: the built-in texts again.
    Load_Texts_Of(Language);
    EXPECT_EQ(Text_Of(0), QStringLiteral("Begin"));
}

TEST(Switches, UpdateCheckNeedsTheInternetSwitch)
{
    const struct {
        bool Internet, Update, UpdateEnabled, ButtonEnabled;
    } cases[] = {
        {false, false, false, false},
        {false, true, false, false},
        {true, false, true, false},
        {true, true, true, true},
    };
    for (const auto& c : cases) {
        const TSwitchState s = Switch_State(c.Internet, c.Update);
        EXPECT_EQ(s.Update_Enabled, c.UpdateEnabled);
        EXPECT_EQ(s.Check_Button_Enabled, c.ButtonEnabled);
    }
}
