#include "platform/core/Exceptions.h"
#include "platform/core/Format.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

namespace {
class FormatTest : public ::testing::Test {
protected:
    void TearDown() override { FormatSettings = TFormatSettings::Defaults(); }
};

QString F(const char* fmt, std::initializer_list<TVarRec> args)
{
    return Format(QString::fromLatin1(fmt), args);
}
} // namespace

TEST_F(FormatTest, Conversions)
{
    int x = 0;
    const struct { QString got; const char* want; } cases[] = {
        {F("%.2f", {3.14159}), "3.14"},
        {F("%5d|%-5d|", {42, 42}), "   42|42   |"},
        {F("%x", {255}), "FF"},
        {F("%.4x", {255}), "00FF"},
        {F("%x", {-1}), "FFFFFFFF"},
        {F("%x", {int64_t(-1)}), "FFFFFFFFFFFFFFFF"},
        {F("%d", {int64_t(1) << 40}), "1099511627776"},
        {F("%.3d", {-5}), "-005"},
        {F("%u", {-1}), "4294967295"},
        {F("%s|%.2s|%-6s|%6s", {"abc", QStringLiteral("abc"), "abc", "abc"}), "abc|ab|abc   |   abc"},
        {F("%s", {QChar(u'z')}), "z"},
        {F("%*d|%-*d|", {5, 42, 4, 7}), "   42|7   |"},
        {F("%.*f", {1, 2.25}), "2.3"},
        {F("%1:s %0:s", {"a", "b"}), "b a"},
        {F("%1:s %s %0:s %s", {"a", "b", "c"}), "b c a b"},
        {F("%e", {1.5}), "1.50000000000000E+000"},
        {F("%.3e", {12345.0}), "1.23E+004"},
        {F("%g|%g|%g", {0.5, 1e20, 100.0}), "0.5|1E20|100"},
        {F("%n", {1234567.891}), "1,234,567.89"},
        {F("%.0n", {1234.5}), "1,235"},
        {F("%m", {1234.5}), "$1,234.50"},
        {F("%m", {-2.0}), "($2.00)"},
        {F("%f", {-0.5}), "-0.50"},
        {F("%.0f", {2.5}), "3"},
        {F("%p", {reinterpret_cast<const void*>(0x1234)}), "00001234"},
        {F("100%% %d%%", {5}), "100% 5%"},
        {F("%D %S %X", {1, "s", 10}), "1 s A"},
        {F("no args", {}), "no args"},
        {F("%d", {x}), "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, QString::fromLatin1(c.want)) << c.want;
}

TEST_F(FormatTest, FloatsFollowTheDecimalSeparator)
{
    EXPECT_EQ(F("%.2f", {3.14159}), QStringLiteral("3.14"));
    FormatSettings.DecimalSeparator = QLatin1Char(',');
    EXPECT_EQ(F("%.2f", {3.14159}), QStringLiteral("3,14"));
    FormatSettings.ThousandSeparator = QLatin1Char('.');
    EXPECT_EQ(F("%n", {1234.5}), QStringLiteral("1.234,50"));
}

TEST_F(FormatTest, MismatchesAndMissingArgumentsRaise)
{
    const struct { const char* fmt; std::vector<TVarRec> args; const char* message; } cases[] = {
        {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
        {"%f", {1}, "Format '%f' invalid or incompatible with argument"},
        {"%s", {7}, "Format '%s' invalid or incompatible with argument"},
        {"%x", {"a"}, "Format '%x' invalid or incompatible with argument"},
        {"%q", {1}, "Format '%q' invalid or incompatible with argument"},
        {"%5", {1}, "Format '%5' invalid or incompatible with argument"},
        {"%*d", {"w", 1}, "Format '%*d' invalid or incompatible with argument"},
        {"%d %d", {1}, "No argument for format '%d %d'"},
        {"%3:d", {1}, "No argument for format '%3:d'"},
    };
    for (const auto& c : cases) {
        try {
            Format(QString::fromLatin1(c.fmt), c.args);
            ADD_FAILURE() << "no exception for " << c.fmt;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.message));
        }
    }
}

TEST_F(FormatTest, GivenSettingsWithoutTouchingTheProcessOnes)
{
    TFormatSettings comma = TFormatSettings::Defaults();
    comma.DecimalSeparator = QLatin1Char(',');
    EXPECT_EQ(Format(QStringLiteral("%.1f"), {0.25}, comma), QStringLiteral("0,3"));
    EXPECT_EQ(F("%.1f", {0.25}), QStringLiteral("0.3"));
}
