// The value text and the typed input of the drop-down edit, driven through
// the input layer as a person types.
#include "DropDownKit.h"

using DropDownInputTest = DropDownTest;

// -- the value text -----------------------------------------------------------

TEST_F(DropDownInputTest, TextWriterFormatsByEditType) {
    struct Case { TDropDownEditType type; int precision; const char* in; const char* shown; };
    const Case cases[] = {
        {etNumeric, 0, "", "0"}, {etFloat, 0, "", "0"}, {etMoney, 0, "", "0"}, {etHex, 0, "", "0"},
        {etString, 0, "", ""},
        {etHex, 0, "ff", "FF"},
        {etFloat, 2, "Error", "Error"}, {etMoney, 2, "Error", "Error"},
        {etFloat, 2, "3", "3.00"}, {etFloat, 2, "", "0.00"},
        {etMoney, 2, "1234.5", "1,234.50"}, {etMoney, 2, "1,234.5", "1,234.50"},
    };
    for (const Case& c : cases) {
        auto* e = NewObject<TExCustomDropDown>(Form);
        e->SetEditType(c.type);
        e->SetPrecision(c.precision);
        e->SetText(QString::fromUtf8(c.in));
        EXPECT_EQ(e->WholeText(), QString::fromUtf8(c.shown)) << c.type << " " << c.in;
        EXPECT_EQ(e->OldText(), QString::fromUtf8(c.shown));
        EXPECT_FALSE(e->GetModified());
        e->Free();
    }
}

TEST_F(DropDownInputTest, PrefixAndSuffixFrameTheValue) {
    Edit->Prefix = QStringLiteral("$ ");
    Edit->Suffix = QStringLiteral(" EUR");
    Edit->SetText("12");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("$ 12 EUR"));
    EXPECT_EQ(Edit->Text(), QStringLiteral("12"));
    Focus();
    Key(VK_HOME);
    EXPECT_EQ(Edit->SelStart(), 2);
    Key(VK_END);
    EXPECT_EQ(Edit->SelStart(), 4);
    EXPECT_EQ(Edit->SelLength(), 0);
    // A click past the value (in the suffix) puts the caret at the value's end.
    Input::Click(Edit, 150, 10);
    EXPECT_EQ(Edit->SelStart(), 4);
    EXPECT_EQ(Edit->SelLength(), 0);
    // Backspace at the prefix's end deletes nothing.
    Caret(2);
    Key(VK_BACK);
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("$ 12 EUR"));
    // SetRawText takes the whole text as given; a text shorter than the
    // frame reads as no value.
    Edit->SetRawText("12");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("12"));
    EXPECT_EQ(Edit->Text(), QString());
}

TEST_F(DropDownInputTest, FloatValuesAndTheirTypes) {
    Edit->SetEditType(etHex);
    Edit->SetText("1f");
    EXPECT_EQ(Edit->GetFloatValue(), 31);
    Edit->SetFloatValue(255.9);
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("FF"));
    Edit->SetEditType(etNumeric);  // "FF" is no integer
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("0"));
    Edit->SetIntValue(-42);
    EXPECT_EQ(Edit->GetFloatValue(), -42);
    Edit->SetEditType(etMoney);
    Edit->SetIntValue(1234567);
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("1,234,567"));
    EXPECT_EQ(Edit->GetFloatValue(), 1234567);
    EXPECT_TRUE(Edit->GetModified());
    Edit->SetEditType(etFloat);
    Edit->SetPrecision(3);
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("1234567.000"));
    Edit->SetText("Error");
    EXPECT_EQ(Edit->GetFloatValue(), 0);
}

// -- typed characters ---------------------------------------------------------

TEST_F(DropDownInputTest, FloatKeepsItsPrecisionWhileTyping) {
    Edit->SetEditType(etFloat);
    Edit->SetPrecision(2);
    Edit->SetText("3.14");
    Focus();
    Caret(4);
    Type("5");  // the fraction is full
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("3.14"));
    Caret(3);
    Type("9");  // overwrites the 4
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("3.19"));
    Caret(0);
    Type(".");  // a second separator only moves the caret after the first
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("3.19"));
    EXPECT_EQ(Edit->SelStart(), 2);
    Type("x");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("3.19"));
    Type("-");  // unsigned
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("3.19"));
    Edit->Signed = true;
    Caret(1);
    Type("-");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("-3.19"));
    EXPECT_EQ(Edit->SelStart(), 2);
    // An empty value takes the separator as "0.".
    Edit->SetRawText(QString());
    Type(".");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("0."));
    EXPECT_EQ(Edit->SelStart(), 2);
}

TEST_F(DropDownInputTest, FloatLengthLimitStopsTheIntegerPartOnly) {
    Edit->SetEditType(etFloat);
    Edit->SetPrecision(2);
    Edit->LengthLimit = 3;
    Edit->SetRawText("123");
    Focus();
    Caret(3);
    Type("4");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("123"));
    Type(".");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("123."));
}

TEST_F(DropDownInputTest, ThousandSeparatorOnlyThreeDigitsFromTheLast) {
    Edit->SetEditType(etFloat);
    Edit->SetRawText("1,234");
    Focus();
    Caret(4);
    Type(",");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("1,234"));
    Type(".");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("1,234"));
    Edit->SetPrecision(2);
    Edit->SetRawText("1,234");
    Caret(5);
    Type(".");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("1,234."));
}

TEST_F(DropDownInputTest, MoneyRegroupsAndKeepsTheCaretFromTheEnd) {
    Edit->SetEditType(etMoney);
    Edit->SetText("1,234");
    Focus();
    Caret(5);
    Type("5");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("12,345"));
    EXPECT_EQ(Edit->SelStart(), 6);
    Caret(1);
    Type("9");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("192,345"));
    EXPECT_EQ(Edit->SelStart(), 2);
    // Delete regroups too.
    Caret(0);
    Key(VK_DELETE);
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("92,345"));
}

TEST_F(DropDownInputTest, NumericSignToggles) {
    Edit->SetEditType(etNumeric);
    Edit->Signed = true;
    Edit->SetRawText(QString());
    Focus();
    Type("-");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("-"));
    EXPECT_EQ(Edit->SelStart(), 1);
    Type("-");
    EXPECT_EQ(Edit->WholeText(), QString());
    Type("12a3");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("123"));
    Caret(3);
    Type("-");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("-123"));
    EXPECT_EQ(Edit->SelStart(), 4);
    Type("-");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("123"));
    EXPECT_EQ(Edit->SelStart(), 3);
}

TEST_F(DropDownInputTest, CharacterRulesOfTheOtherTypes) {
    struct Case { TDropDownEditType type; const char* typed; const char* shown; };
    const Case cases[] = {
        {etUppercase, "abC", "ABC"},
        {etLowerCase, "AbC", "abc"},
        {etMixedCase, "john smith", "John Smith"},
        {etHex, "1fz-", "1f-"},  // upper-cased only by the Text writer
        {etAlphaNumeric, "a1-_B", "a1B"},
        {etRange, "1-5,7;9", "1-5,7;9"},
        {etString, "a-b", "a-b"},
    };
    for (const Case& c : cases) {
        Edit->SetEditType(c.type);
        Edit->SetRawText(QString());
        Focus();
        Type(QString::fromUtf8(c.typed));
        EXPECT_EQ(Edit->WholeText(), QString::fromUtf8(c.shown)) << c.type;
        EXPECT_TRUE(Edit->GetModified()) << c.type;
    }
    Edit->SetEditType(etValidChars);
    Edit->ValidChars = QStringLiteral("xy");
    Edit->SetRawText(QString());
    Type("axybz");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("xy"));
}

TEST_F(DropDownInputTest, RangeSeparatorsNeverStandTogether) {
    Edit->SetEditType(etRange);
    Focus();
    struct Case { const char* value; int caret; const char* shown; };
    const Case cases[] = {
        {"1,2", 0, "1,2"},   // at the start
        {"1,2", 2, "1,2"},   // right after ','
        {"1;2", 2, "1;2"},   // right after ';'
        {"1,2", 1, "1,2"},   // right before ','
        {"1,2", 3, "1,2-"},  // after a digit
    };
    for (const Case& c : cases) {
        Edit->SetRawText(QString::fromUtf8(c.value));
        Caret(c.caret);
        Type("-");
        EXPECT_EQ(Edit->WholeText(), QString::fromUtf8(c.shown)) << c.value << " " << c.caret;
    }
}

TEST_F(DropDownInputTest, KeypadDecimalKeyTypesTheDecimalSeparatorWhenAsked) {
    FormatSettings.DecimalSeparator = QLatin1Char(',');
    FormatSettings.ThousandSeparator = QLatin1Char('.');
    Edit->SetRawText(QString());
    Focus();
    Key(VK_DECIMAL);
    Type(".");
    EXPECT_EQ(Edit->WholeText(), QStringLiteral(".."));
    Edit->ExcelStyleDecimalSeparator = true;
    Edit->SetRawText(QString());
    Key(VK_DECIMAL);  // the keypad's key: bit 22 of the key data
    Type(".");        // the main block's full stop stays one
    EXPECT_EQ(Edit->WholeText(), QStringLiteral(",."));
}

TEST_F(DropDownInputTest, BackspaceOverTheWholeValueAnnouncesOneChange) {
    Edit->SetText("abc");
    int changes = 0;
    Edit->OnChange = [&](TObject*) { ++changes; };
    Focus();
    ASSERT_EQ(Edit->SelLength(), 3);
    Key(VK_BACK);
    EXPECT_EQ(Edit->WholeText(), QString());
    EXPECT_EQ(changes, 1);
    Type("x");
    EXPECT_EQ(changes, 2);
}

TEST_F(DropDownInputTest, EscapeSelectsTheValueAndClearsModified) {
    Edit->SetText("abc");
    Focus();
    Caret(1);
    Type("x");
    EXPECT_TRUE(Edit->GetModified());
    Key(VK_ESCAPE);
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("axbc"));
    EXPECT_EQ(Edit->SelStart(), 0);
    EXPECT_EQ(Edit->SelLength(), 4);
    EXPECT_FALSE(Edit->GetModified());
}

TEST_F(DropDownInputTest, EnterNeverReachesTheTextAndCanMoveLikeTab) {
    Edit->SetText("abc");
    Focus();
    Key(VK_RETURN);
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("abc"));
    // With ReturnIsTab the edit posts itself Tab, which moves the focus on
    // once the loop delivers it.
    Edit->ReturnIsTab = true;
    DrainPostedMessages();
    Key(VK_RETURN);
    EXPECT_EQ(PostedMessageCount(), 1);
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("abc"));
    EXPECT_TRUE(Edit->Focused());
    DrainPostedMessages();
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("abc"));
    // A typed Tab moves on as well.
    Edit->SetFocus();
    Key(VK_TAB);
    EXPECT_TRUE(Other->Focused());
}

// -- clipboard ----------------------------------------------------------------

TEST_F(DropDownInputTest, PasteFollowsTheEditType) {
    struct Case { TDropDownEditType type; int precision; const char* value; const char* clip; const char* shown; };
    const Case cases[] = {
        {etNumeric, 0, "5", "12a", "5"},   // a letter: dropped whole
        {etNumeric, 0, "5", "-3", "5"},    // unsigned
        {etNumeric, 0, "5", "34", "34"},
        {etFloat, 0, "0", "1.5", "0"},     // a separator with no decimals
        {etFloat, 0, "0", "7", "7"},
        {etFloat, 2, "0", "2.5", "2.50"},
        {etHex, 0, "A", "B", "A"},         // no paste at all
        {etRange, 0, "1", "2", "1"},
        {etUppercase, 0, "", "ab", "AB"},
        {etAlphaNumeric, 0, "a", "b-c", "a"},
        {etMoney, 0, "0", "12345", "12,345"},
    };
    for (const Case& c : cases) {
        Edit->SetEditType(c.type);
        Edit->SetPrecision(c.precision);
        Edit->SetRawText(QString::fromUtf8(c.value));
        Focus();
        Edit->SelectAll();
        Clipboard()->SetAsText(QString::fromUtf8(c.clip));
        Edit->PasteFromClipboard();
        EXPECT_EQ(Edit->WholeText(), QString::fromUtf8(c.shown)) << c.type << " " << c.clip;
    }
}

TEST_F(DropDownInputTest, ClipboardEventsSeeTheSelectedValueAndMayRefuse) {
    Edit->Prefix = QStringLiteral("#");
    Edit->SetText("hello");
    QStringList seen;
    bool allowCut = false;
    Edit->OnClipboardCopy = [&](TObject*, const QString& v, bool&) { seen << QStringLiteral("copy ") + v; };
    Edit->OnClipboardCut = [&](TObject*, const QString& v, bool& allow) {
        seen << QStringLiteral("cut ") + v;
        allow = allowCut;
    };
    Edit->OnClipboardPaste = [&](TObject*, const QString& v, bool& allow) {
        seen << QStringLiteral("paste ") + v;
        allow = false;
    };
    Focus();
    Edit->Perform(EM_SETSEL, 2, 4);  // "el"
    Edit->CopyToClipboard();
    Edit->CutToClipboard();
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("#hello"));
    allowCut = true;
    Edit->CutToClipboard();  // the copy inside a cut fires no copy event
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("#hlo"));
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("el"));
    Edit->PasteFromClipboard();
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("#hlo"));
    EXPECT_EQ(seen, QStringList({"copy el", "cut el", "cut el", "paste hello"}));
}

// -- focus --------------------------------------------------------------------

TEST_F(DropDownInputTest, LeavingAnEmptyNumberShowsZeroUnlessEmptyIsAllowed) {
    Edit->SetEditType(etNumeric);
    Focus();
    Edit->SetRawText(QString());
    Other->SetFocus();
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("0"));
    Edit->AllowNumericNullValue = true;
    Edit->SetFocus();
    Edit->SetRawText(QString());
    Other->SetFocus();
    EXPECT_EQ(Edit->WholeText(), QString());
    // A float with decimals is written out again on leaving.
    Edit->SetEditType(etFloat);
    Edit->SetPrecision(2);
    Edit->SetFocus();
    Edit->SetRawText("1.5");
    EXPECT_EQ(Edit->SelStart(), 0);
    Other->SetFocus();
    EXPECT_EQ(Edit->WholeText(), QStringLiteral("1.50"));
}
