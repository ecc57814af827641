#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

namespace {
// A fixed clock on 2026-06-15 10:00 and the default settings for every test.
class DateTimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FormatSettings = TFormatSettings::Defaults();
        SetNowHook([] { return EncodeDate(2026, 6, 15) + EncodeTime(10, 0, 0, 0); });
    }
    void TearDown() override
    {
        FormatSettings = TFormatSettings::Defaults();
        SetNowHook(nullptr);
    }
    // 2024-03-05 (a Tuesday) 14:07:09.045
    const TDateTime T = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
};

QString L(const char* s) { return QString::fromUtf8(s); }
} // namespace

TEST_F(DateTimeTest, EncodeCountsDaysFrom18991230)
{
    const struct { int y, m, d; double v; } cases[] = {
        {1899, 12, 30, 0}, {1899, 12, 29, -1}, {1900, 1, 1, 2}, {2000, 1, 1, 36526},
        {2024, 1, 1, 45292}, {2024, 2, 29, 45351}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.v) << c.y << "-" << c.m << "-" << c.d;
        int y, m, d;
        DecodeDate(c.v, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d) << c.v;
    }
    EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), (MSecsPerDay - 1) / MSecsPerDay);
}

TEST_F(DateTimeTest, InvalidPartsRaise)
{
    const int dates[][3] = {{2023, 2, 29}, {1900, 2, 29}, {0, 1, 1}, {10000, 1, 1}, {2024, 13, 1}, {2024, 4, 31}, {2024, 1, 0}};
    for (const auto& d : dates) {
        TDateTime v;
        EXPECT_FALSE(TryEncodeDate(d[0], d[1], d[2], v)) << d[0] << "-" << d[1] << "-" << d[2];
    }
    EXPECT_TRUE([] { TDateTime v; return TryEncodeDate(2000, 2, 29, v); }());
    const int times[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const auto& t : times) {
        TDateTime v;
        EXPECT_FALSE(TryEncodeTime(t[0], t[1], t[2], t[3], v)) << t[0] << ":" << t[1] << ":" << t[2];
    }
    try {
        EncodeDate(2023, 2, 29);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid argument to date encode"));
    }
    try {
        EncodeTime(24, 0, 0, 0);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid argument to time encode"));
    }
}

TEST_F(DateTimeTest, DecodeBeforeTheEpochAndAtMidnight)
{
    int y, m, d, h, n, s, z;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, z);
    EXPECT_EQ(QString::asprintf("%04d-%02d-%02d %02d:%02d", y, m, d, h, n), L("1899-12-29 06:00"));
    // A time a hair before midnight rounds into the next day, not to hour 24.
    const TDateTime almost = EncodeDate(2024, 12, 31) + 0.9999999999;
    DecodeDate(almost, y, m, d);
    DecodeTime(almost, h, n, s, z);
    EXPECT_EQ(QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d.%03d", y, m, d, h, n, s, z), L("2025-01-01 00:00:00.000"));
    EXPECT_EQ(FormatDateTime(L("yyyy-mm-dd hh:nn"), almost), L("2025-01-01 00:00"));
}

TEST_F(DateTimeTest, ValuesOutsideTheCalendarDecodeAsNoDate)
{
    for (double v : {-700000.0, 1e300, -1e300, double(NAN), double(INFINITY)}) {
        int y = -1, m = -1, d = -1;
        DecodeDate(v, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, 0) << v;
        EXPECT_EQ(FormatDateTime(L("yyyy/m mmm dddd"), v).left(7), L("0000/0 ")) << v;
    }
}

TEST_F(DateTimeTest, DayOfWeekSundayIsOne)
{
    EXPECT_EQ(DayOfWeek(0), 7);                       // 1899-12-30, a Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 2, 29)), 5); // Thursday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 3)), 1);  // Sunday
    EXPECT_EQ(DayOfWeek(-1), 6);                      // Friday
}

TEST_F(DateTimeTest, NowComesFromTheClockHook)
{
    EXPECT_DOUBLE_EQ(Now(), EncodeDate(2026, 6, 15) + EncodeTime(10, 0, 0, 0));
    EXPECT_DOUBLE_EQ(Date(), EncodeDate(2026, 6, 15));
    EXPECT_NEAR(Time(), EncodeTime(10, 0, 0, 0), 1e-9); // the fraction of a sum
    SetNowHook(nullptr);
    const TDateTime real = Now();
    EXPECT_GT(real, EncodeDate(2020, 1, 1));
}

TEST_F(DateTimeTest, FormatDateTimeSpecifiers)
{
    const TDateTime midnight = EncodeDate(2024, 3, 5);
    const struct { const char* fmt; TDateTime v; const char* text; } cases[] = {
        {"dd/mm/yyyy", T, "05/03/2024"},
        {"d/m/yy", T, "5/3/24"},
        {"DD/MM/YYYY", T, "05/03/2024"},
        {"ddd dddd", T, "Tue Tuesday"},
        {"mmm mmmm", T, "Mar March"},
        {"hh:nn:ss.zzz", T, "14:07:09.045"},
        {"h:n:s.z", T, "14:7:9.45"},
        {"hhmm", T, "1407"},
        {"hh:mm", T, "14:07"},             // minutes after hours, separators between
        {"mm/dd hh:mm", T, "03/05 14:07"},
        {"hhh zz", T, "14 45"},            // a run of letters is one specifier
        {"h 'at' a/p", T, "2 at p"},       // quoted text does not end the look-ahead
        {"h hh:nn am/pm", T, "14 02:07 pm"}, // the next hour ends it
        {"hh:nn am/pm", T, "02:07 pm"},
        {"h AM/PM", T, "2 PM"},
        {"h a/p", T, "2 p"},
        {"h ampm", T, "2 PM"},
        {"h:nn am/pm", midnight + EncodeTime(0, 30, 0, 0), "12:30 am"},
        {"h:nn AMPM", midnight + EncodeTime(12, 0, 0, 0), "12:00 PM"},
        {"'dd' dd \"at\" hh", T, "dd 05 at 14"},
        {"c", T, "05/03/2024 14:07:09"},
        {"c", midnight, "05/03/2024"},
        {"", T, "05/03/2024 14:07:09"},
        {"ddddd t", T, "05/03/2024 14:07"},
        {"dddddd tt", T, "05 March 2024 14:07:09"},
        {"yyyy-mm-dd", -1.25, "1899-12-29"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(L(c.fmt), c.v), L(c.text)) << c.fmt;
}

TEST_F(DateTimeTest, FormatUsesTheSettingsSeparatorsAndNames)
{
    FormatSettings.DateSeparator = QLatin1Char('-');
    FormatSettings.TimeSeparator = QLatin1Char('.');
    FormatSettings.LongMonthNames[2] = L("Marzo");
    FormatSettings.TimePMString = L("pom.");
    EXPECT_EQ(FormatDateTime(L("dd/mm/yyyy hh:nn"), T), L("05-03-2024 14.07"));
    EXPECT_EQ(FormatDateTime(L("mmmm h ampm"), T), L("Marzo 2 pom."));
    EXPECT_EQ(DateToStr(T), L("05-03-2024"));
    EXPECT_EQ(TimeToStr(T), L("14.07.09"));
}

TEST_F(DateTimeTest, StrToDateFollowsTheShortDateOrder)
{
    const struct { const char* fmt; QChar sep; const char* text; int y, m, d; } good[] = {
        {"dd/mm/yyyy", u'/', "05/03/2024", 2024, 3, 5},
        {"dd/mm/yyyy", u'/', " 5/3/2024 ", 2024, 3, 5},
        {"dd/mm/yyyy", u'/', "5/3/24", 2024, 3, 5},
        {"dd/mm/yyyy", u'/', "5/3/75", 2075, 3, 5}, // before the century window
        {"dd/mm/yyyy", u'/', "5/3/77", 1977, 3, 5},
        {"dd/mm/yyyy", u'/', "5/3", 2026, 3, 5},    // this year
        {"mm/dd/yyyy", u'/', "03/05/2024", 2024, 3, 5},
        {"yyyy-mm-dd", u'-', "2024-03-05", 2024, 3, 5},
    };
    for (const auto& c : good) {
        FormatSettings.ShortDateFormat = L(c.fmt);
        FormatSettings.DateSeparator = c.sep;
        TDateTime v = -1;
        EXPECT_TRUE(TryStrToDate(L(c.text), v)) << c.text;
        EXPECT_EQ(v, EncodeDate(c.y, c.m, c.d)) << c.text;
    }
    FormatSettings = TFormatSettings::Defaults();
    const char* bad[] = {"31/02/2024", "abc", "", "5-3-2024", "5/3/2024x", "1/2/3/4", "5/", "/3/2024"};
    for (const char* b : bad) {
        TDateTime v = -7;
        EXPECT_FALSE(TryStrToDate(L(b), v)) << b;
        EXPECT_EQ(v, -7) << b;
    }
    try {
        StrToDate(L("31/02/2024"));
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), L("'31/02/2024' is not a valid date"));
    }
}

TEST_F(DateTimeTest, StrToTimeAndDateTime)
{
    const struct { const char* text; int h, n, s, z; } good[] = {
        {"14:07", 14, 7, 0, 0}, {"14:07:09", 14, 7, 9, 0}, {"14:07:09.045", 14, 7, 9, 45},
        {"2:07 PM", 14, 7, 0, 0}, {"12:00 AM", 0, 0, 0, 0}, {"12:00 pm", 12, 0, 0, 0},
        {"AM 9:15", 9, 15, 0, 0}, {" 9 ", 9, 0, 0, 0},
    };
    for (const auto& c : good) {
        TDateTime v = -1;
        EXPECT_TRUE(TryStrToTime(L(c.text), v)) << c.text;
        EXPECT_DOUBLE_EQ(v, EncodeTime(c.h, c.n, c.s, c.z)) << c.text;
    }
    const char* bad[] = {"25:00", "14:", "13:00 PM", "x", "", "14:60", "1:2:3:4"};
    for (const char* b : bad) {
        TDateTime v = -7;
        EXPECT_FALSE(TryStrToTime(L(b), v)) << b;
    }
    EXPECT_DOUBLE_EQ(StrToDateTime(L("05/03/2024 14:07:09")), EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime(L("05/03/2024")), EncodeDate(2024, 3, 5));
    EXPECT_DOUBLE_EQ(StrToDateTime(L("14:07")), EncodeTime(14, 7, 0, 0));
    const struct { TDateTime (*fn)(const QString&); const char* text; const char* message; } errors[] = {
        {StrToTime, "25:00", "'25:00' is not a valid time"},
        {StrToDateTime, "05/03/2024 x", "'05/03/2024 x' is not a valid date and time"},
    };
    for (const auto& e : errors) {
        try {
            e.fn(L(e.text));
            ADD_FAILURE() << e.text;
        } catch (const EConvertError& x) {
            EXPECT_EQ(x.Message(), L(e.message));
        }
    }
}
