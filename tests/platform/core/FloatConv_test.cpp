#include "platform/core/Exceptions.h"
#include "platform/core/FloatConv.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
// Every test starts from and leaves the fixed defaults.
class FloatConv : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings = TFormatSettings::Defaults(); }
    void TearDown() override { FormatSettings = TFormatSettings::Defaults(); }
};
} // namespace

TEST_F(FloatConv, FloatToStrGeneralWith15Digits)
{
    const struct { double v; const char* text; } cases[] = {
        {0, "0"},
        {0.1, "0.1"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-1.5, "-1.5"},
        {100, "100"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {1234567890123456789.0, "1.23456789012346E18"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {1.5e-7, "1.5E-7"},
        {0.1 + 0.2, "0.3"},
        {INFINITY, "INF"},
        {-INFINITY, "-INF"},
        {NAN, "NAN"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.v), QString::fromLatin1(c.text)) << c.text;
}

TEST_F(FloatConv, FloatToStrFFormats)
{
    const struct { double v; TFloatFormat f; int p, d; const char* text; } cases[] = {
        {1234.5678, ffFixed, 15, 2, "1234.57"},
        {1234.5678, ffNumber, 15, 2, "1,234.57"},
        {-1234567.5, ffNumber, 15, 0, "-1,234,568"},
        {1234.5678, ffExponent, 4, 2, "1.235E+03"},
        {-0.000123, ffExponent, 3, 3, "-1.23E-004"},
        {0, ffExponent, 3, 2, "0.00E+00"},
        {1234.5678, ffGeneral, 6, 0, "1234.57"},
        {0.5, ffFixed, 15, 0, "1"},     // halves away from zero
        {0.125, ffFixed, 15, 2, "0.13"},
        {-0.001, ffFixed, 15, 2, "0.00"}, // no sign on a value rounded to zero
        {1e20, ffFixed, 15, 2, "1E20"},   // too many integer digits for the precision
        {1234.5, ffCurrency, 15, 2, "$1,234.50"},
        {-1234.5, ffCurrency, 15, 2, "($1,234.50)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrF(c.v, c.f, c.p, c.d), QString::fromLatin1(c.text)) << c.text;
}

TEST_F(FloatConv, SeparatorsComeFromTheSettingsAtTheCall)
{
    FormatSettings.DecimalSeparator = QLatin1Char(',');
    FormatSettings.ThousandSeparator = QLatin1Char('.');
    EXPECT_EQ(FloatToStr(0.1), QStringLiteral("0,1"));
    EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2), QStringLiteral("1.234.567,89"));
    EXPECT_EQ(FormatFloat(QStringLiteral("#,##0.00"), 1234567.891), QStringLiteral("1.234.567,89"));
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("1,5")), 1.5);
    double v = 0;
    EXPECT_FALSE(TryStrToFloat(QStringLiteral("1.5"), v));
}

TEST_F(FloatConv, FormatFloatPatterns)
{
    const struct { const char* pattern; double v; const char* text; } cases[] = {
        {"0.00", 3.14159, "3.14"},
        {"0.00", 0, "0.00"},
        {"#,##0.###", 1234567.8916, "1,234,567.892"},
        {"#,##0.###", 0.5, "0.5"},
        {"#,##0.###", 1, "1"},       // no decimal point without decimals
        {"#.##", 0.5, ".5"},
        {"000", 7, "007"},
        {"#", 1234, "1234"},
        {"0", 1234.5, "1235"},
        {"00-00", 1234, "12-34"},    // literals between digit places
        {"0.0", -2.25, "-2.3"},
        {"0.00;(0.00)", -5, "(5.00)"},
        {"0.00;(0.00);'zero'", 0, "zero"},
        {"0.0;(0.0);zero", -0.01, "zero"}, // rounds to zero
        {"0.0;;zero", -1, "-1.0"},         // empty negative section: the first, signed
        {"0.00E+00", 12345, "1.23E+04"},
        {"0.0E-0", 0.00012, "1.2E-4"},
        {"0.0E+0", 5, "5.0E+0"},
        {"'$'#,##0.00", 1234.5, "$1,234.50"},
        {"\"x=\"0", 3, "x=3"},
        {"", 0.1, "0.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(QString::fromLatin1(c.pattern), c.v), QString::fromLatin1(c.text)) << c.pattern;
}

TEST_F(FloatConv, StrToFloatAcceptsAndRefuses)
{
    const struct { const char* text; double v; } good[] = {
        {"3.5", 3.5}, {" -1.25e2 ", -125}, {"1.", 1}, {".5", 0.5}, {"+2", 2}, {"1E3", 1000}, {"0", 0},
    };
    for (const auto& c : good) {
        double v = -99;
        EXPECT_TRUE(TryStrToFloat(QString::fromLatin1(c.text), v)) << c.text;
        EXPECT_DOUBLE_EQ(v, c.v) << c.text;
    }
    const char* bad[] = {"", " ", "abc", "1,5", "1e", "1.2.3", "--1", "1 2", "e5", ".", "1e999", "1,000", "\t1"};
    for (const char* b : bad) {
        double v = -99;
        EXPECT_FALSE(TryStrToFloat(QString::fromLatin1(b), v)) << b;
        EXPECT_EQ(v, -99) << b;
        EXPECT_EQ(StrToFloatDef(QString::fromLatin1(b), 7.5), 7.5) << b;
    }
    try {
        StrToFloat(QStringLiteral("abc"));
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'abc' is not a valid floating point value"));
    }
}

TEST_F(FloatConv, GivenSettingsApplyToThatCallOnly)
{
    TFormatSettings comma = TFormatSettings::Defaults();
    comma.DecimalSeparator = QLatin1Char(',');
    comma.ThousandSeparator = QLatin1Char('.');
    EXPECT_EQ(FloatToStr(2.5, comma), QStringLiteral("2,5"));
    EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 1, comma), QStringLiteral("1.234,5"));
    EXPECT_EQ(FormatFloat(QStringLiteral("0.00"), 2.5, comma), QStringLiteral("2,50"));
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(QStringLiteral("2,5"), v, comma));
    EXPECT_EQ(v, 2.5);
    EXPECT_THROW(StrToFloat(QStringLiteral("2.5"), comma), EConvertError);
    // The process's settings are untouched, before and after a failure.
    EXPECT_EQ(FloatToStr(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(StrToFloatDef(QStringLiteral("2,5"), -1), -1);
}
