#include "gridpack/basegrid/RorIdad.h"

#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {
TFormatSettings EuropeanSettings()
{
    TFormatSettings fs = TFormatSettings::Defaults();
    fs.ThousandSeparator = QLatin1Char('.');
    fs.DecimalSeparator = QLatin1Char(',');
    return fs;
}

void ExpectDate(TDateTime v, int y, int m, int d)
{
    int yy = 0, mm = 0, dd = 0;
    DecodeDate(v, yy, mm, dd);
    EXPECT_EQ(yy, y);
    EXPECT_EQ(mm, m);
    EXPECT_EQ(dd, d);
}
} // namespace

TEST(NumberText, ClassifiesWithDefaultSeparators)
{
    const TFormatSettings defaults = TFormatSettings::Defaults();
    TFormatSettingsScope scope(defaults);
    struct Case { const char* text; int cls; };
    const Case cases[] = {
        {"123", 0}, {"-5", 0}, {"5-", 2}, {"1.5", 1}, {"1,234.5", 1}, {"1,23,4", 2},
        {"1.5e-3", 5}, {"-1.5e-3", 5}, {"e5", 2}, {"1e", 2}, {"1.2.3", 2}, {"abc", 2},
        {"", 2}, {"1e5", 5}, {"--5", 2}, {"1,234,567", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyNumberText(c.text), c.cls) << c.text;
}

TEST(NumberText, NormalizesWithEuropeanSeparators)
{
    const TFormatSettings european = EuropeanSettings();
    TFormatSettingsScope scope(european);
    struct Case { QString in; const char* out; };
    const Case cases[] = {
        {"1.234,5", "1234.5"},
        {"(12)", "-12"},
        {QString::fromUtf8("€ -3,5"), "-3.5"},
        {"12 kg", "12"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormalizeFloatText(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(StripNumberSeparators("1.234,5"), "1234.5");
    EXPECT_EQ(ClassifyNumberText("1.234,5"), 1);
}

TEST(CharClasses, FollowTheSettings)
{
    const TFormatSettings european = EuropeanSettings();
    TFormatSettingsScope scope(european);
    EXPECT_TRUE(IsDigitChar('7'));
    EXPECT_FALSE(IsDigitChar('x'));
    EXPECT_TRUE(IsDigitOrMinus('-'));
    EXPECT_TRUE(IsFloatChar(','));
    EXPECT_TRUE(IsFloatChar('E'));
    EXPECT_FALSE(IsFloatChar('+'));
    EXPECT_TRUE(IsSciChar('+'));
    EXPECT_FALSE(IsNumberTextChar(','));
    EXPECT_TRUE(IsNumberTextChar('.'));
    EXPECT_EQ(LocaleDecimalSeparator(), QChar(','));
    EXPECT_EQ(LocaleShortDateFormat(), "dd/mm/yyyy");
}

TEST(DateText, MonthDayYearAndDayMonthYear)
{
    ExpectDate(ParseDateMDY("12/31/99"), 1999, 12, 31);
    ExpectDate(ParseDateMDY("1/2/03"), 2003, 1, 2);
    ExpectDate(ParseDateMDY("1-2-25"), 2025, 1, 2);
    ExpectDate(ParseDateMDY("1.2.26"), 1926, 1, 2);
    // Four-digit years are taken as written.
    ExpectDate(ParseDateMDY("1/2/2003"), 2003, 1, 2);
    ExpectDate(ParseDateDMY("31/12/1999"), 1999, 12, 31);
    EXPECT_EQ(ParseDateMDY("12.31"), 0);
    EXPECT_EQ(ParseDateMDY("nodate"), 0);
    EXPECT_EQ(ParseDateMDY("a/2/03"), 0);
    EXPECT_THROW(ParseDateMDY("13/1/03"), EConvertError);
    EXPECT_THROW(ParseDateDMY("31/4/03"), EConvertError);
}

TEST(DateText, DateTimeInShortDateOrder)
{
    const TFormatSettings defaults = TFormatSettings::Defaults();
    TFormatSettingsScope scope(defaults);
    TDateTime v = 0;
    ASSERT_TRUE(ParseDateTimeText("31/12/2003 10:30", v));
    ExpectDate(v, 2003, 12, 31);
    int h, n, s, ms;
    DecodeTime(v, h, n, s, ms);
    EXPECT_EQ(h, 10);
    EXPECT_EQ(n, 30);
    EXPECT_EQ(s, 0);
    ASSERT_TRUE(ParseDateTimeText("31/12/2003 10:30:15", v));
    DecodeTime(v, h, n, s, ms);
    EXPECT_EQ(s, 15);
    ASSERT_TRUE(ParseDateTimeText("31/12/03", v));
    ExpectDate(v, 3, 12, 31);

    const char* bad[] = {"31/12/2003 25:00", "31/12/2003 10", "32/12/2003", "31/13/2003",
                         "30/02/2003", "31/12/2003 10:60", "31/12/2003 10:30:61", "31/12", "x/12/2003", ""};
    for (const char* b : bad)
        EXPECT_FALSE(ParseDateTimeText(b, v)) << b;

    TFormatSettings us = TFormatSettings::Defaults();
    us.ShortDateFormat = "mm/dd/yyyy";
    {
        TFormatSettingsScope s2(us);
        ASSERT_TRUE(ParseDateTimeText("12/31/2003", v));
        ExpectDate(v, 2003, 12, 31);
    }
    us.ShortDateFormat = "mm/yyyy";
    {
        TFormatSettingsScope s3(us);
        EXPECT_FALSE(ParseDateTimeText("12/31/2003", v));
    }
}

TEST(DateText, LooksLikeDate)
{
    EXPECT_TRUE(LooksLikeDate("1/2/3"));
    EXPECT_FALSE(LooksLikeDate("/1/2"));
    EXPECT_FALSE(LooksLikeDate("1//2"));
    EXPECT_FALSE(LooksLikeDate("12"));
}

TEST(DateShift, OneFieldAtATime)
{
    const TDateTime dec15 = EncodeDate(2003, 12, 15);
    const TDateTime jan15 = EncodeDate(2004, 1, 15);
    ExpectDate(ShiftDate(0, 1, 0, dec15, 0), 2004, 1, 15);
    ExpectDate(ShiftDate(0, int16_t(65535), 0, jan15, 0), 2003, 12, 15);
    ExpectDate(ShiftDate(0, -2, 0, jan15, 0), 2003, 11, 15);
    ExpectDate(ShiftDate(0, 13, 0, dec15, 0), 2005, 1, 15);
    ExpectDate(ShiftDate(0, -25, 0, jan15, 0), 2001, 12, 15);
    ExpectDate(ShiftDate(2, 0, 0, dec15, 0), 2005, 12, 15);
    EXPECT_EQ(ShiftDate(0, 0, 10, dec15, 99), dec15 + 10);
    EXPECT_EQ(ShiftDate(1, 0, 1, dec15, 7), dec15 + 7);
    EXPECT_EQ(ShiftDate(0, 0, 0, dec15, 7), dec15 + 7);
    EXPECT_THROW(ShiftDate(0, 1, 0, EncodeDate(2004, 1, 31), 0), EConvertError);
    EXPECT_THROW(ShiftDate(1, 0, 0, EncodeDate(2004, 2, 29), 0), EConvertError);
}

TEST(CellRefs, RowColReferenceAndLimits)
{
    TGridCoord c{-1, -1};
    EXPECT_TRUE(ParseRowColRef("r12c3", c));
    EXPECT_EQ(c.X, 3);
    EXPECT_EQ(c.Y, 12);
    TGridCoord untouched{7, 8};
    for (const char* bad : {"R1C", "RC12", "X1C2", "R1X2", "R1Cz"}) {
        EXPECT_FALSE(ParseRowColRef(bad, untouched)) << bad;
        EXPECT_EQ(untouched.X, 7);
        EXPECT_EQ(untouched.Y, 8);
    }

    struct Case { int v, mn, mx, out; };
    const Case cases[] = {{5, 0, 3, 3}, {5, 10, 0, 10}, {5, 7, 7, 5}, {5, 1, 9, 5}, {5, -3, -1, 5}};
    for (const Case& k : cases)
        EXPECT_EQ(ClampToLimits(k.v, k.mn, k.mx), k.out);
    EXPECT_EQ(LargerOf(2, 9), 9);
    EXPECT_EQ(SmallerOf(2, 9), 2);
    const TGridRect r{1, 2, 3, 4};
    EXPECT_TRUE(CellInRange(r, 1, 4));
    EXPECT_TRUE(CellInRange(r, 3, 2));
    EXPECT_FALSE(CellInRange(r, 4, 2));
    EXPECT_FALSE(CellInRange(r, 2, 5));
}
