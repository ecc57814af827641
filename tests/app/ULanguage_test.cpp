#include "app/ULanguage.h"

#include "app/UComon.h"
#include "platform/core/Files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FTmp.isValid());
        FSavedLanguage = Language;
        FSavedDir = Dir_Language;
        Dir_Language = FTmp.path();
        Load_Default_Texts();
    }
    void TearDown() override
    {
        Language = FSavedLanguage;
        Dir_Language = FSavedDir;
        Load_Default_Texts();
    }
    void Write(const QString& name, const QByteArray& bytes)
    {
        WriteFileWhole(PathJoin(FTmp.path(), name), bytes);
    }

    QTemporaryDir FTmp;
    QString FSavedLanguage, FSavedDir;
};

// A text as a UTF-16 little-endian file with its byte-order mark.
QByteArray Utf16Le(const QString& text)
{
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

} // namespace

TEST(DefaultTexts, TableOf1600)
{
    Load_Default_Texts();
    ASSERT_EQ(Texts.size(), 1600);
    EXPECT_EQ(Texts_Count, 1600);
    const struct {
        int n;
        const char* text;
    } cases[] = {
        {0, "Begin"},
        {9, "None Configuration Opened "},
        {11, "Opened Configuration of the Converter : "},
        {18, "Error! Project not Valid"},
        {23, " "},
        {123, "Error KNX!! ID Device must be a valid KNX Address (Ex. 1.1.20)"},
        {207, "Error row "},
        {378, "Error J1939!! TimeOut must be between 0 and 100000s"},
        {671, "N\xC2\xB0"},
        {716, "!! Transmition Type must be \"On Data Change\" or \"On Timer\""},
        {909, "Error PROFINET!! Number Byte IN must be between 1 and "},
        {975, "Error J1939!! Device ID J1939 must be between 0 and 239"},
        {1201, "SCAN && DECODE"},
        {1510, "!! Modbus Start Address must be between 1 and 59999"},
        {1599, " "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Texts.at(c.n), QString::fromUtf8(c.text)) << c.n;
    }
    // 1164 texts of their own, 436 single blanks.
    int blanks = 0;
    for (const QString& t : Texts)
        blanks += t == " " ? 1 : 0;
    EXPECT_EQ(blanks, 436);
}

TEST_F(LanguageTest, LineSyntax)
{
    const struct {
        const char* name;
        const char* line;
        int entry;
        const char* text; // the entry afterwards
    } cases[] = {
        {"blank before =", "STR 12 = x", 12, "x"},
        {"no blank before = drops a digit", "STR 12= x", 1, "x"},
        {"pilcrows keep blanks", "STR 5 = \xC2\xB6  a \xC2\xB6", 5, "  a "},
        {"without pilcrows blanks are lost", "STR 5 =   a   ", 5, "a"},
        {"comment cut", "STR 5 = a /#/ note", 5, "a"},
        {"comment inside pilcrows", "STR 5 = \xC2\xB6 a /#/ b \xC2\xB6", 5, " a"},
        {"text after second pilcrow dropped", "STR 5 = \xC2\xB6x\xC2\xB6 tail", 5, "x"},
        {"one pilcrow gives empty", "STR 5 = \xC2\xB6", 5, ""},
        {"two pilcrows give empty", "STR 5 = \xC2\xB6\xC2\xB6", 5, ""},
        {"equals in the text", "STR 5 = a=b", 5, "a=b"},
        {"leading blanks of the line", "  \tSTR 5 = y\t", 5, "y"},
        {"number 1599", "STR 1599 = last", 1599, "last"},
        {"number 0", "STR 0 = first", 0, "first"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Load_Default_Texts();
        EXPECT_TRUE(Apply_Lng_Line(QString::fromUtf8(c.line)));
        EXPECT_EQ(Texts.at(c.entry), QString::fromUtf8(c.text));
    }
}

TEST_F(LanguageTest, LinesThatChangeNothing)
{
    const char* lines[] = {
        "STR 1600 = x",      "STR -1 = x",      "str 5 = x",     "Str 5 = x",
        "STR 5 x",           "STR 5 =",         "STR 5 =    ",   "STR 5 = /#/ only a comment",
        "STR = x",           "STR x = y",       "STR 99999999999 = x", "; STR 5 = x",
        "",                  "STR5= x",
    };
    Load_Default_Texts();
    const QStringList before = Texts;
    for (const char* l : lines) {
        EXPECT_FALSE(Apply_Lng_Line(QString::fromUtf8(l))) << l;
        EXPECT_EQ(Texts, before) << l;
    }
}

TEST_F(LanguageTest, FileLinesAndEncodings)
{
    // CR LF, LF and CR line ends; later lines win.
    Write("Mixed.lng", "header\r\nSTR 1 = one\nSTR 2 = two\rSTR 3 = three\r\nSTR 1 = uno");
    EXPECT_TRUE(Load_Lng_File(PathJoin(FTmp.path(), "Mixed.lng")));
    EXPECT_EQ(Texts.at(1), "uno");
    EXPECT_EQ(Texts.at(2), "two");
    EXPECT_EQ(Texts.at(3), "three");

    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"utf-8 without mark", QByteArray("STR 4 = Gr\xC3\xBC\xC3\x9F" "e")},
        {"utf-8 with mark", QByteArray("\xEF\xBB\xBFSTR 4 = Gr\xC3\xBC\xC3\x9F" "e")},
        {"windows-1252", QByteArray("STR 4 = Gr\xFC\xDF" "e")},
        {"utf-16 le", Utf16Le(QString::fromUtf8("STR 4 = Gr\xC3\xBC\xC3\x9F" "e"))},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        Load_Default_Texts();
        Apply_Lng_Bytes(f.bytes);
        EXPECT_EQ(Texts.at(4), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e"));
    }
    // Windows-1252 has its own characters in 0x80..0x9F.
    EXPECT_EQ(Decode_Lng_Bytes("\x80\x93"), QString::fromUtf8("\xE2\x82\xAC\xE2\x80\x9C"));

    Load_Default_Texts();
    const QStringList before = Texts;
    EXPECT_FALSE(Load_Lng_File(PathJoin(FTmp.path(), "NoSuch.lng")));
    EXPECT_EQ(Texts, before);
}

TEST_F(LanguageTest, EachLanguageStartsFromEnglish)
{
    Write("Italiano.lng", "STR 0 = Inizio\r\nSTR 1 = Passo 1\r\n");
    Write("Deutsch.lng", "STR 0 = Anfang\r\n");
    Language = "Italiano";
    Load_Language();
    EXPECT_EQ(Language, "Italiano");
    EXPECT_EQ(Texts.at(0), "Inizio");
    EXPECT_EQ(Texts.at(1), "Passo 1");

    Language = "Deutsch";
    Load_Language();
    EXPECT_EQ(Texts.at(0), "Anfang");
    EXPECT_EQ(Texts.at(1), "Step 1"); // nothing kept of the language before
}

TEST_F(LanguageTest, MissingLanguageFallsBackToEnglish)
{
    Language = "Klingon";
    Load_Language();
    EXPECT_EQ(Language, "English");
    EXPECT_EQ(Texts.at(0), "Begin");
    EXPECT_EQ(Texts.size(), 1600);

    // An English.lng in the folder is applied for the fallback.
    Write("English.lng", "STR 0 = Start\r\n");
    Language = "Klingon";
    Load_Language();
    EXPECT_EQ(Language, "English");
    EXPECT_EQ(Texts.at(0), "Start");

    // A name that is not a plain file name never reaches outside the folder.
    ASSERT_TRUE(ForceDirectories(PathJoin(FTmp.path(), "sub")));
    Write("sub/Evil.lng", "STR 0 = Evil\r\n");
    Language = "sub/Evil";
    Load_Language();
    EXPECT_EQ(Language, "English");
    EXPECT_EQ(Texts.at(0), "Start");
}
