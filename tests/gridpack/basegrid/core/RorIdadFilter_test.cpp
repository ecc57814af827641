#include "gridpack/basegrid/RorIdad.h"

#include "platform/core/FormatSettings.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {
struct Case {
    const char* expr;
    const char* value;
    bool match;
};
} // namespace

TEST(Filter, ExpressionsWithDefaultSettings)
{
    const TFormatSettings defaults = TFormatSettings::Defaults();
    TFormatSettingsScope scope(defaults);
    const Case cases[] = {
        {">5", "7", true}, {">5", "10", true}, {">5", "5", false}, {">=5", "5", true},
        {">999", "1,000", true}, {"<b", "a", true}, {"<b", "c", false},
        {">01/01/2004", "15/02/2004", true}, {">01/01/2004", "15/02/2003", false},
        {">5&<10", "7", true}, {">5&<10", "12", false}, {">5|<2", "1", true},
        {"(a*|b*)&*z", "abcz", true}, {"(a*|b*)&*z", "abc", false},
        {"a*", "abc", true}, {"a*", "a", true}, {"*c", "abc", true},
        {"a?c", "abc", true}, {"a?c", "ac", false},
        {"!a*", "xyz", true}, {"!a*", "abc", false},
        {"=abc", "abc", true}, {"", "", true}, {"", "x", false},
        {"<5", "7", false}, {"<5", "<5", true},
        {"\"a&b\"", "a&b", true},
        {"a | b", "b", true}, {"a;b", "a", true}, {"a^b", "c", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchFilterExpression(c.expr, c.value, true), c.match) << c.expr << " / " << c.value;
}

TEST(Filter, CaseSensitivity)
{
    EXPECT_TRUE(MatchFilterExpression("ABC*", "abcd", false));
    EXPECT_FALSE(MatchFilterExpression("ABC*", "abcd", true));
}

TEST(Filter, UnmatchedParenthesisEnds)
{
    // The rest after an unclosed "(" is its group.
    EXPECT_TRUE(MatchFilterExpression("(abc", "abc", true));
    EXPECT_FALSE(MatchFilterExpression("(abc", "abd", true));
    EXPECT_TRUE(MatchFilterExpression("((a*", "ab", true));
}

TEST(Filter, LongComparisonValueIsCutTo255)
{
    const QString longA = QString(300, QLatin1Char('a'));
    // The comparison value counts as its first 255 characters, as does the
    // value: equal, so ">=" holds and ">" does not.
    EXPECT_TRUE(MatchFilterExpression(">=" + longA, longA + "b", true));
    EXPECT_FALSE(MatchFilterExpression(">" + longA, longA + "b", true));
}

TEST(Filter, ManyStarsOverALongValue)
{
    // A matcher that backtracks through every split of the stars never ends
    // here; the run's time-out catches that, the checks catch wrong answers.
    const QString value(5000, QLatin1Char('a'));
    EXPECT_FALSE(MatchFilterExpression("*a*a*a*a*a*a*a*a*b", value, true));
    EXPECT_TRUE(MatchFilterExpression("*a*a*a*a*a*a*a*a*", value, true));
    EXPECT_FALSE(MatchFilterExpression("*a*a*a*a*a*a*a*a*", QString(7, QLatin1Char('a')), true));
}

TEST(Filter, Helpers)
{
    int p = 0;
    EXPECT_EQ(FindOperatorOutsideQuotes("&|", "\"a&b\"|c", p), QChar('|'));
    EXPECT_EQ(p, 6);
    EXPECT_EQ(FindOperatorOutsideQuotes("&|", "abc", p), QChar(0));
    EXPECT_EQ(p, -1);
    EXPECT_EQ(StripBlanksOutsideQuotes("a b \"c d\" e"), "ab\"c d\"e");
    EXPECT_EQ(FindClosingParen("(a(b)c)d"), 7);
    EXPECT_EQ(FindClosingParen("(a(b"), 0);
    EXPECT_TRUE(CharInList('^', "&|^"));
    EXPECT_FALSE(CharInList('x', "&|^"));
}
