#include "platform/core/Exceptions.h"
#include "platform/core/IntConv.h"

#include <gtest/gtest.h>

struct IntCase {
    const char* text;
    bool ok;
    int value;
};

TEST(IntConv, TableOfTexts)
{
    const IntCase cases[] = {
        {"31", true, 31},          {"0x1F", true, 31},       {"$1F", true, 31},
        {"x1F", true, 31},         {"X1f", true, 31},        {"0X1F", true, 31},
        {" 31", true, 31},         {"+31", true, 31},        {"-5", true, -5},
        {"-0x1F", true, -31},      {"2147483647", true, 2147483647},
        {"-2147483648", true, int(-2147483647 - 1)},        {"0xFFFFFFFF", true, -1},
        {"31 ", false, 0},         {"", false, 0},           {"3 1", false, 0},
        {"0x", false, 0},          {"2147483648", false, 0}, {"-2147483649", false, 0},
        {"0x100000000", false, 0}, {"-", false, 0},          {"$", false, 0},
        {"12a", false, 0},         {"1.5", false, 0},        {"\t5", false, 0},
    };
    for (const IntCase& c : cases) {
        int v = 12345;
        EXPECT_EQ(TryStrToInt(QString::fromLatin1(c.text), v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
        EXPECT_EQ(StrToIntDef(QString::fromLatin1(c.text), -77), c.ok ? c.value : -77) << c.text;
    }
}

TEST(IntConv, StrToIntRaisesWithTheText)
{
    try {
        StrToInt(QStringLiteral("abc"));
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'abc' is not a valid integer value"));
    }
}

TEST(IntConv, HexText)
{
    EXPECT_EQ(IntToHex(255, 2), QStringLiteral("FF"));
    EXPECT_EQ(IntToHex(0x201, 8), QStringLiteral("00000201"));
    EXPECT_EQ(IntToStr(-42), QStringLiteral("-42"));
}
