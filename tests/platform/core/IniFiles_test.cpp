#include "platform/core/Files.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/IniFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
class IniTest : public ::testing::Test {
protected:
    void SetUp() override { Path = PathJoin(Dir.path(), QStringLiteral("grid.ini")); }
    QTemporaryDir Dir;
    QString Path;
};

QString U(const char* s) { return QString::fromUtf8(s); }
} // namespace

TEST_F(IniTest, ReadsAFileForgivingly)
{
    WriteFileWhole(Path, QByteArray("; comment\r\n"
                                    "stray=1\r\n"
                                    "[ Columns ]\r\n"
                                    "  CP0 = 3 \r\n"
                                    "Hex=$1F\n"
                                    "Bad=12x\r"
                                    "On=1\r\n"
                                    "Off=0\r\n"
                                    "Ratio=2.5\r\n"
                                    "\r\n"
                                    "[Other]\r\n"
                                    "name=caf\xE9\r\n"));
    TMemIniFile ini(Path);
    const struct { const char* section; const char* key; int def; int want; } ints[] = {
        {"columns", "cp0", -1, 3}, {"COLUMNS", "hex", -1, 31}, {"Columns", "Bad", -1, -1},
        {"Columns", "missing", 7, 7}, {"Nowhere", "CP0", 5, 5}, {"", "stray", -1, -1},
    };
    for (const auto& c : ints)
        EXPECT_EQ(ini.ReadInteger(U(c.section), U(c.key), c.def), c.want) << c.section << "/" << c.key;
    EXPECT_TRUE(ini.ReadBool(U("Columns"), U("On"), false));
    EXPECT_FALSE(ini.ReadBool(U("Columns"), U("Off"), true));
    EXPECT_TRUE(ini.ReadBool(U("Columns"), U("none"), true));
    EXPECT_DOUBLE_EQ(ini.ReadFloat(U("Columns"), U("Ratio"), 0), 2.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(U("Columns"), U("Bad"), 9.5), 9.5);
    EXPECT_EQ(ini.ReadString(U("other"), U("NAME"), QString()), U("café"));

    TStringList list;
    ini.ReadSections(&list);
    EXPECT_EQ(list.CommaText(), U("Columns,Other"));
    ini.ReadSection(U("columns"), &list);
    EXPECT_EQ(list.CommaText(), U("CP0,Hex,Bad,On,Off,Ratio"));
    ini.ReadSectionValues(U("Other"), &list);
    EXPECT_EQ(list.Text(), U("name=café\r\n"));
    EXPECT_TRUE(ini.SectionExists(U("OTHER")));
    EXPECT_TRUE(ini.ValueExists(U("Columns"), U("hex")));
    EXPECT_FALSE(ini.ValueExists(U("Columns"), U("nope")));
}

TEST_F(IniTest, MemIniWritesOnlyOnUpdate)
{
    TMemIniFile ini(Path); // no file yet: empty
    ini.WriteString(U("B"), U("k"), U("v"));
    ini.WriteInteger(U("A"), U("n"), -5);
    ini.WriteBool(U("A"), U("flag"), true);
    ini.WriteString(U("b"), U("K"), U("w")); // same key in other cases
    EXPECT_FALSE(FileExists(Path));
    ini.UpdateFile();
    EXPECT_EQ(ReadFileWhole(Path), QByteArray("[B]\r\nk=w\r\n\r\n[A]\r\nn=-5\r\nflag=1\r\n\r\n"));

    ini.DeleteKey(U("a"), U("N"));
    ini.EraseSection(U("b"));
    ini.UpdateFile();
    EXPECT_EQ(ReadFileWhole(Path), QByteArray("[A]\r\nflag=1\r\n\r\n"));
}

TEST_F(IniTest, IniFileWritesThroughAndKeepsTheEncoding)
{
    {
        TIniFile ini(Path);
        ini.WriteFloat(U("S"), U("x"), 0.5);
        EXPECT_EQ(ReadFileWhole(Path), QByteArray("[S]\r\nx=0.5\r\n\r\n"));
        ini.WriteString(U("S"), U("t"), U("中"));
    }
    EXPECT_EQ(ReadFileWhole(Path), QByteArray("\xEF\xBB\xBF[S]\r\nx=0.5\r\nt=\xE4\xB8\xAD\r\n\r\n"));
    TIniFile again(Path);
    EXPECT_EQ(again.ReadString(U("s"), U("T"), QString()), U("中"));
    again.DeleteKey(U("S"), U("t"));
    // Read as UTF-8, written back as UTF-8.
    EXPECT_EQ(ReadFileWhole(Path), QByteArray("\xEF\xBB\xBF[S]\r\nx=0.5\r\n\r\n"));
}
