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
        // The same text still in a file's bytes reads alike.
        int u = 12345;
        EXPECT_EQ(TryUtf8ToInt(c.text, u), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(u, c.value) << c.text;
        }
    }
}

TEST(IntConv, Utf8BytesReadAsTheirText)
{
    // Only ASCII is part of a number: a non-ASCII digit, blank or sign is
    // refused in both encodings; the 64-bit range and hex width hold too.
    const char* texts[] = {"\xEF\xBC\x95", "5\xC2\xA0", "\xC2\xA0" "5", "\xE2\x88\x92" "5", "9223372036854775807",
                           "-9223372036854775808", "9223372036854775808", "0xFFFFFFFFFFFFFFFF", "$1F", " -12", "4294967295"};
    for (const char* t : texts) {
        const QString text = QString::fromUtf8(t);
        int64_t a = 1, b = 2;
        const bool ok = TryStrToInt64(text, a);
        EXPECT_EQ(TryUtf8ToInt64(t, b), ok) << t;
        if (ok) {
            EXPECT_EQ(a, b) << t;
        }
        int c = 1, d = 2;
        const bool ok32 = TryStrToInt(text, c);
        EXPECT_EQ(TryUtf8ToInt(t, d), ok32) << t;
        if (ok32) {
            EXPECT_EQ(c, d) << t;
        }
    }
    int64_t v = 0;
    EXPECT_TRUE(TryUtf8ToInt64("-9223372036854775808", v));
    EXPECT_EQ(v, INT64_MIN);
    EXPECT_FALSE(TryUtf8ToInt64("\xEF\xBC\x95", v));
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
