#include "platform/core/StrUtils.h"

#include <gtest/gtest.h>

#define S QStringLiteral

TEST(StrUtils, TrimCutsEverythingUpToBlank)
{
    const QString s = S("\t \r\n a b \x01\n");
    EXPECT_EQ(Trim(s), S("a b"));
    EXPECT_EQ(TrimLeft(s), S("a b \x01\n"));
    EXPECT_EQ(TrimRight(s), S("\t \r\n a b"));
    EXPECT_EQ(Trim(S("   ")), QString());
}

TEST(StrUtils, CaseConversionAsciiOrAll)
{
    EXPECT_EQ(UpperCase(S("abcé")), S("ABCé"));
    EXPECT_EQ(LowerCase(S("ABCÉ")), S("abcÉ"));
    EXPECT_EQ(AnsiUpperCase(S("abcé")), S("ABCÉ"));
    EXPECT_EQ(AnsiLowerCase(S("ABCÉ")), S("abcé"));
}

TEST(StrUtils, Comparisons)
{
    EXPECT_EQ(CompareText(S("abc"), S("ABC")), 0);
    EXPECT_LT(CompareText(S("ab"), S("ABC")), 0);
    EXPECT_GT(CompareText(S("b"), S("A")), 0);
    // Only ASCII letters lose their case.
    EXPECT_NE(CompareText(S("é"), S("É")), 0);
    EXPECT_TRUE(SameText(S("Value"), S("vALUE")));
    EXPECT_LT(CompareStr(S("B"), S("a")), 0); // ordinal
    EXPECT_TRUE(AnsiSameText(S("é"), S("É")));
    EXPECT_LT(AnsiCompareStr(S("a"), S("B")), 0);
    EXPECT_LT(AnsiCompareStr(S("a"), S("A")), 0);
    EXPECT_GT(AnsiCompareStr(S("b"), S("A")), 0);
}

TEST(StrUtils, OneBasedEditing)
{
    EXPECT_EQ(Pos(S("lo"), S("hello")), 4);
    EXPECT_EQ(Pos(S("x"), S("hello")), 0);
    EXPECT_EQ(Pos(QString(), S("hello")), 0);

    const struct { int index, count; const char* result; } copies[] = {
        {1, 3, "hel"}, {4, 99, "lo"}, {0, 2, "he"}, {-5, 2, "he"}, {6, 1, ""}, {2, 0, ""}, {2, -1, ""},
    };
    for (const auto& c : copies)
        EXPECT_EQ(Copy(S("hello"), c.index, c.count), QString::fromLatin1(c.result)) << c.index << "," << c.count;

    const struct { int index, count; const char* result; } deletes[] = {
        {2, 2, "hlo"}, {4, 99, "hel"}, {0, 2, "hello"}, {6, 1, "hello"}, {1, 0, "hello"},
    };
    for (const auto& c : deletes) {
        QString s = S("hello");
        Delete(s, c.index, c.count);
        EXPECT_EQ(s, QString::fromLatin1(c.result)) << c.index << "," << c.count;
    }

    const struct { int index; const char* result; } inserts[] = {
        {1, "XYhello"}, {3, "heXYllo"}, {6, "helloXY"}, {99, "helloXY"}, {-1, "XYhello"},
    };
    for (const auto& c : inserts) {
        QString s = S("hello");
        Insert(S("XY"), s, c.index);
        EXPECT_EQ(s, QString::fromLatin1(c.result)) << c.index;
    }
}

TEST(StrUtils, StringReplaceFlags)
{
    const QString s = S("aXbxcX");
    EXPECT_EQ(StringReplace(s, S("X"), S("-"), 0), S("a-bxcX"));
    EXPECT_EQ(StringReplace(s, S("X"), S("-"), rfReplaceAll), S("a-bxc-"));
    EXPECT_EQ(StringReplace(s, S("x"), S("-"), rfIgnoreCase), S("a-bxcX"));
    EXPECT_EQ(StringReplace(s, S("x"), S("--"), rfReplaceAll | rfIgnoreCase), S("a--b--c--"));
    // A replacement holding the pattern is not replaced again.
    EXPECT_EQ(StringReplace(S("aa"), S("a"), S("aa"), rfReplaceAll), S("aaaa"));
    EXPECT_EQ(StringReplace(s, QString(), S("-"), rfReplaceAll), s);
}

TEST(StrUtils, Quoting)
{
    EXPECT_EQ(QuotedStr(S("it's")), S("'it''s'"));
    EXPECT_EQ(AnsiQuotedStr(S("a\"b"), QLatin1Char('"')), S("\"a\"\"b\""));
    EXPECT_EQ(StringOfChar(QLatin1Char('*'), 3), S("***"));
    EXPECT_EQ(StringOfChar(QLatin1Char('*'), -1), QString());

    QString src = S("\"a\"\"b\",rest");
    EXPECT_EQ(AnsiExtractQuotedStr(src, QLatin1Char('"')), S("a\"b"));
    EXPECT_EQ(src, S(",rest"));
    // Not quoted: nothing read, nothing consumed.
    EXPECT_EQ(AnsiExtractQuotedStr(src, QLatin1Char('"')), QString());
    EXPECT_EQ(src, S(",rest"));
    // Unterminated: up to the end.
    src = S("\"abc");
    EXPECT_EQ(AnsiExtractQuotedStr(src, QLatin1Char('"')), S("abc"));
    EXPECT_TRUE(src.isEmpty());

    EXPECT_EQ(AnsiDequotedStr(S("'x''y'"), QLatin1Char('\'')), S("x'y"));
    EXPECT_EQ(AnsiDequotedStr(S("plain"), QLatin1Char('\'')), S("plain"));
    EXPECT_EQ(AnsiDequotedStr(S("'open"), QLatin1Char('\'')), S("'open"));
}

TEST(StrUtils, Identifiers)
{
    EXPECT_TRUE(IsValidIdent(S("Button1")));
    EXPECT_TRUE(IsValidIdent(S("_x")));
    EXPECT_FALSE(IsValidIdent(S("1x")));
    EXPECT_FALSE(IsValidIdent(S("a b")));
    EXPECT_FALSE(IsValidIdent(QString()));
}
