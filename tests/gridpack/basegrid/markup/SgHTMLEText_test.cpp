// The mark-up text operations: plain text, positions, highlighting and error
// marks, entities, the values of embedded controls, and the mark-up colours.
#include "gridpack/basegrid/SgHTMLE.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(MarkupColors, NamesInAnyCaseAndHexadecimalPairs) {
    struct {
        const char* In;
        uint32_t Out;
    } const names[] = {{"clRed", 0x000000FF},       {"CLNAVY", 0x00800000},       {"cl3ddkshadow", 0xFF000015},
                       {"clInfoBk", 0xFF000018},    {"clBtnFace", 0xFF00000F},    {"clnosuchcolour", 0},
                       {"", 0},                     {"red", 0}};
    for (const auto& c : names) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(uint32_t(ColorFromName(c.In)), c.Out);
    }
    EXPECT_EQ(ColorFromHex("#FF8000"), RGB(0xFF, 0x80, 0x00));
    EXPECT_EQ(ColorFromHex("#0A0B0C"), RGB(0x0A, 0x0B, 0x0C));
    // Lower-case digits are not digits here (tag texts arrive upper-cased).
    EXPECT_EQ(ColorFromHex("#ff0000"), RGB(0, 0, 0));
    EXPECT_EQ(ColorFromHex("#12"), RGB(0x12, 0, 0));
    EXPECT_EQ(HexPairValue("9F", 0), 0x9F);
}

TEST(MarkupText, StripMarkupKeepsTextAndBreaksLines) {
    struct {
        const char* In;
        const char* Out;
    } const cases[] = {
        {"<b>word</b>", "word"},
        {"one<BR>two<br>three", "one\r\ntwo\r\nthree"},
        {"a<hr>b", "a\r\nb"},
        {"a < b and c", "a < b and c"},
        {"x<b>y</b> < z", "xy < z"},
        {"2 > 1 <i>ok</i>", "2 > 1 ok"},
        {"<b>A</b>&amp;B", "A&amp;B"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(StripMarkup(c.In), QString(c.Out));
    }
}

TEST(MarkupText, VisibleTextAndMarkupPositions) {
    EXPECT_EQ(VisibleText("ab<i>cd</i>ef"), "abcdef");
    EXPECT_EQ(VisibleText("a>b<i>c"), "a>b<i>c"); // a ">" before the first "<": the rest as it is
    EXPECT_EQ(VisibleText("a<b"), "a<b");
    const QString s = "ab<i>cd</i>";
    EXPECT_EQ(MarkupPosition(s, 1), 1);
    EXPECT_EQ(MarkupPosition(s, 3), 3);  // the tag's "<" before "c"
    EXPECT_EQ(MarkupPosition(s, 4), 7);
    EXPECT_EQ(MarkupPosition(s, 5), 8);  // just after "d", before "</i>"
    EXPECT_EQ(MarkupPosition("abc", 4), 4);
    EXPECT_EQ(MarkupPosition("abc", 5), 0);
    EXPECT_EQ(FindFrom("B", "abcabc", 0, false), 2);
    EXPECT_EQ(FindFrom("B", "abcabc", 2, false), 5);
    EXPECT_EQ(FindFrom("B", "abcabc", 0, true), 0);
    EXPECT_EQ(FindFrom("", "abc", 0, true), 0);
}

TEST(MarkupText, TagMatchesWrapsEveryOccurrence) {
    struct {
        const char* In;
        const char* Search;
        bool Case;
        const char* Out;
    } const cases[] = {
        {"abab", "ab", true, "<hi>ab</hi><hi>ab</hi>"},
        {"xAbx", "ab", false, "x<hi>Ab</hi>x"},
        {"xAbx", "ab", true, "xAbx"},
        // A match that ends where a tag closes gets its own closing tag first.
        {"<b>xab</b>c", "ab", true, "<b>x<hi>ab</hi></b>c"},
        {"<b>xa</b>bc", "ab", true, "<b>x<hi>a</b>b</hi>c"},
        // Brackets that are no tags: the text is escaped and then wrapped.
        {"a < b", "b", true, "a &lt; <hi>b</hi>"},
        {"plain", "", true, "plain"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(TagMatches(c.In, c.Search, "hi", c.Case), QString(c.Out));
    }
}

TEST(MarkupText, UntagAllUndoesTagMatches) {
    const char* texts[] = {"abc abc", "<b>bold</b> abc", "a < b > abc", "ABC<i>abc</i>", "x"};
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        for (const char* tag : {"hi", "e"}) EXPECT_EQ(UntagAll(TagMatches(t, "abc", tag, false), tag), QString(t));
    }
    EXPECT_EQ(UntagAll("<E>x</e> &lt;y&gt;", "e"), "x <y>");
    EXPECT_EQ(UntagAll("<hi>x</hi>", "e"), "<hi>x</hi>");
}

TEST(MarkupText, EntitiesDecodeOnceAndRoundTrip) {
    EXPECT_EQ(DecodeEntities("&lt;b&gt; &amp; &quot;q&quot;", false), "<b> & \"q\"");
    EXPECT_EQ(DecodeEntities("&amp;lt;", false), "&lt;");
    EXPECT_EQ(DecodeEntities("&amp;amp;", false), "&amp;");
    EXPECT_EQ(DecodeEntities("&Eacute;t&eacute;", true), QString::fromUtf8("Été"));
    EXPECT_EQ(DecodeEntities("&eacute;", false), "&eacute;");
    EXPECT_EQ(DecodeEntities("&LT;", false), "&LT;"); // entities keep their case
    EXPECT_EQ(DecodeEntities("&euro;&laquo;x&raquo;", true), QString::fromUtf8("€«x»"));

    EXPECT_EQ(EncodeEntities("a&b", false), "a&amp;b");
    EXPECT_EQ(EncodeEntities("<\">", false), "&lt;&quot;&gt;");
    EXPECT_EQ(EncodeEntities("*amp;", false), "*amp;");
    EXPECT_EQ(EncodeEntities(QString::fromUtf8("çé©"), true), "&ccedil;&eacute;&copy;");
    EXPECT_EQ(EncodeEntities(QString::fromUtf8("çé"), false), QString::fromUtf8("çé"));
    const char* samples[] = {"&amp;", "&eacute; & \"<x>\"", "*amp;&&", "&quot;", "plain", "Øre «x» €"};
    for (const char* s : samples) {
        SCOPED_TRACE(s);
        const QString t = QString::fromUtf8(s);
        EXPECT_EQ(DecodeEntities(EncodeEntities(t, true), true), t);
        EXPECT_EQ(DecodeEntities(EncodeEntities(t, false), false), t);
    }
    EXPECT_EQ(SpacesToNbsp("a b  c"), "a&nbsp;b&nbsp;&nbsp;c");
}

namespace {
const QString kForm = "Name <CONTROL TYPE=\"EDIT\" ID=\"n\" VALUE=\"Bob\" WIDTH=\"80\" MAXLEN=\"12\"> "
                      "<control type=\"check\" id=\"c\" value=\"TRUE\" width=\"20\"> "
                      "<CONTROL TYPE=\"RADIO\" ID=\"r1\" VALUE=\"TRUE\" WIDTH=\"20\"> "
                      "<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"One\" WIDTH=\"60\" HEIGHT=\"30\" PROP=\"a&amp;b\"> "
                      "<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Go\" WIDTH=\"40\"> "
                      "<CONTROL TYPE=\"PASSWORD\" ID=\"p\" VALUE=\"\" WIDTH=\"40\"> "
                      "<CONTROL TYPE=\"RADIO\" ID=\"r2\" VALUE=\"true\" WIDTH=\"20\">";
}

TEST(MarkupControls, ReadingValuesPropertiesAndLengths) {
    EXPECT_TRUE(HasControlTag(kForm));
    EXPECT_TRUE(HasControlTag("<control"));
    EXPECT_FALSE(HasControlTag("<contro"));
    QString v;
    EXPECT_TRUE(GetControlValue(kForm, "n", v));
    EXPECT_EQ(v, "Bob");
    EXPECT_TRUE(GetControlValue(kForm, "c", v)); // lower-case tag and names
    EXPECT_EQ(v, "TRUE");
    EXPECT_FALSE(GetControlValue(kForm, "zz", v));
    EXPECT_EQ(v, "");
    EXPECT_EQ(GetControlProp(kForm, "k"), "a&b");
    EXPECT_EQ(GetControlProp(kForm, "n"), "");
    EXPECT_EQ(GetControlMaxLen(kForm, "n"), 12);
    EXPECT_EQ(GetControlMaxLen(kForm, "k"), 0);
    const TControlTag t = ParseControlTag(" type=\"combo\" ID=\"x\" VALUE=\"&lt;&eacute;\">");
    EXPECT_EQ(t.Type, "COMBO");
    EXPECT_EQ(t.Value, QString::fromUtf8("<é"));
}

TEST(MarkupControls, NextEditableControlSkipsButtonsAndBoxes) {
    struct {
        const char* From;
        const char* Next;
    } const cases[] = {{"", "n"}, {"n", "k"}, {"c", "k"}, {"k", "p"}, {"p", ""}, {"nosuch", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.From);
        EXPECT_EQ(NextEditableControlID(kForm, c.From), QString(c.Next));
    }
}

TEST(MarkupControls, SetControlValueRewritesTheTagAndKeepsItsAttributes) {
    QString s = kForm;
    ASSERT_TRUE(SetControlValue(s, "k", "say \"hi\" & <go>"));
    EXPECT_TRUE(s.contains("<CONTROL ID=\"k\" VALUE=\"say &quot;hi&quot; &amp; &lt;go&gt;\" WIDTH=\"60\" "
                           "TYPE=\"COMBO\" HEIGHT=\"30\" PROP=\"a&amp;b\">"));
    QString v;
    ASSERT_TRUE(GetControlValue(s, "k", v));
    EXPECT_EQ(v, "say \"hi\" & <go>");
    EXPECT_EQ(GetControlProp(s, "k"), "a&b");
    ASSERT_TRUE(SetControlValue(s, "n", QString::fromUtf8("Zoë")));
    EXPECT_EQ(GetControlMaxLen(s, "n"), 12);
    ASSERT_TRUE(GetControlValue(s, "n", v));
    EXPECT_EQ(v, QString::fromUtf8("Zoë"));
    EXPECT_TRUE(s.startsWith("Name <CONTROL ID=\"n\" VALUE=\"Zo&euml;\" WIDTH=\"80\" TYPE=\"EDIT\" MAXLEN=\"12\"> "));
    // The text around the tags stays.
    EXPECT_EQ(StripMarkup(s), StripMarkup(kForm));
    QString unchanged = kForm;
    EXPECT_FALSE(SetControlValue(unchanged, "zz", "x"));
    EXPECT_EQ(unchanged, kForm);
}

TEST(MarkupControls, ClearRadioControlsClearsOnlyRadios) {
    const QString s = ClearRadioControls(kForm);
    QString v;
    for (const char* id : {"r1", "r2"}) {
        ASSERT_TRUE(GetControlValue(s, id, v));
        EXPECT_EQ(v, "FALSE");
    }
    ASSERT_TRUE(GetControlValue(s, "c", v));
    EXPECT_EQ(v, "TRUE");
}
