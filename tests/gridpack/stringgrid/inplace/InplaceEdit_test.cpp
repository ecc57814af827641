// The in-place text editor: character filters by editor kind, length limit,
// Escape, paste and look-up completion.
#include "EditTestKit.h"

namespace {
class TextEditorTest : public EditingTest {
protected:
    // Opens the editor on (1, 1) holding `text`, caret at `caret`.
    void Open(TEditorType kind, const QString& text, int caret)
    {
        NewGrid();
        Grid->DefaultEditor = kind;
        Grid->SetCells(1, 1, text);
        EditCell(1, 1);
        Ed()->SetSelStart(caret);
        Ed()->SetSelLength(0);
    }
    void Paste(const QString& text)
    {
        Clipboard()->SetAsText(text);
        Ed()->Perform(WM_PASTE);
    }
};
} // namespace

TEST_F(TextEditorTest, NumericTakesAMinusOnlyFirstAndOnce)
{
    Open(edNumeric, "12", 0);
    const int beeps = MessageBeepCount();
    Type("-");
    EXPECT_EQ(Ed()->Text(), "-12");
    EXPECT_EQ(MessageBeepCount(), beeps);
    // A second minus anywhere beeps and is dropped.
    Ed()->SetSelStart(0);
    Type("-");
    EXPECT_EQ(Ed()->Text(), "-12");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    Type("x");
    EXPECT_EQ(MessageBeepCount(), beeps + 2);
    EXPECT_EQ(Ed()->Text(), "-12");
}

TEST_F(TextEditorTest, NumericMinusAfterTheFirstCharacterBeeps)
{
    Open(edNumeric, "12", 1);
    const int beeps = MessageBeepCount();
    Type("-");
    EXPECT_EQ(Ed()->Text(), "12");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
}

TEST_F(TextEditorTest, FloatDropsASecondDecimalSeparatorSilently)
{
    Open(edFloat, "1.5", 3);
    const int beeps = MessageBeepCount();
    Type(".");
    EXPECT_EQ(Ed()->Text(), "1.5");
    // The thousand separator goes the same way.
    Type(",");
    EXPECT_EQ(Ed()->Text(), "1.5");
    EXPECT_EQ(MessageBeepCount(), beeps);
    // With the separator selected, typing it replaces the selection.
    Ed()->SetSelStart(1);
    Ed()->SetSelLength(1);
    Type(".");
    EXPECT_EQ(Ed()->Text(), "1.5");
    Type("7");
    EXPECT_EQ(Ed()->Text(), "1.75");
}

TEST_F(TextEditorTest, PositiveFloatDropsMinusWithoutASound)
{
    Open(edPositiveFloat, "3", 0);
    const int beeps = MessageBeepCount();
    Type("-");
    EXPECT_EQ(Ed()->Text(), "3");
    EXPECT_EQ(MessageBeepCount(), beeps);
}

TEST_F(TextEditorTest, CaseKindsOnTypingAndPasting)
{
    struct Case {
        TEditorType Kind;
        QString Typed, Pasted;
    } cases[] = {
        {edUpperCase, "AB", "ABXY"},
        {edCapital, "AB", "ABxY"},
        {edLowerCase, "ab", "abxy"},
    };
    for (const Case& c : cases) {
        Open(c.Kind, "", 0);
        Type("aB");
        EXPECT_EQ(Ed()->Text(), c.Typed) << c.Kind;
        Paste("xY");
        EXPECT_EQ(Ed()->Text(), c.Pasted) << c.Kind;
        delete Form;
        Form = nullptr;
    }
}

TEST_F(TextEditorTest, PasteDropsOnlyAFinalSingleLineBreak)
{
    Open(edNormal, "", 0);
    Paste("abc\r\n");
    EXPECT_EQ(Ed()->Text(), "abc");
    Ed()->SetText("");
    Paste("a\r\nb\r\n");
    EXPECT_EQ(Ed()->Text(), "a\r\nb\r\n");
}

TEST_F(TextEditorTest, NumericPasteTakesOnlyIntegers)
{
    Open(edNumeric, "1", 1);
    Paste("x");
    EXPECT_EQ(Ed()->Text(), "1");
    Paste("23");
    EXPECT_EQ(Ed()->Text(), "123");
}

TEST_F(TextEditorTest, PasteEventsCanRefuseOrChangeTheValue)
{
    Open(edNormal, "", 0);
    QStringList log;
    Grid->OnClipboardBeforePasteCell = [&](TObject* s, int c, int r, QString& v, bool&) {
        EXPECT_EQ(s, Ed());
        log << QString("before %1,%2 %3").arg(c).arg(r).arg(v);
        v = "changed";
    };
    Grid->OnClipboardAfterPasteCell = [&](TObject*, int, int, const QString& v) { log << "after " + v; };
    Paste("p");
    EXPECT_EQ(Ed()->Text(), "changed");
    EXPECT_EQ(log, QStringList({"before 1,1 p", "after changed"}));
    Grid->OnClipboardPaste = [](TObject*, bool& allow) { allow = false; };
    Paste("q");
    EXPECT_EQ(Ed()->Text(), "changed");
}

TEST_F(TextEditorTest, MaxEditLengthDropsTheFifthDigitSilently)
{
    Open(edNormal, "", 0);
    Grid->SetMaxEditLength(4);
    Grid->HideInplaceEdit();
    EditCell(1, 1);
    Ed()->SetText("");
    const int beeps = MessageBeepCount();
    Type("12345");
    EXPECT_EQ(Ed()->Text(), "1234");
    EXPECT_EQ(MessageBeepCount(), beeps);
}

TEST_F(TextEditorTest, AdvanceAutoMovesOnWhenTheCellIsFull)
{
    Open(edNormal, "", 0);
    Grid->SetMaxEditLength(4);
    Grid->Navigation()->SetAdvanceAuto(true);
    ASSERT_TRUE(Grid->Navigation()->AdvanceOnEnter);
    Grid->HideInplaceEdit();
    EditCell(1, 1);
    Ed()->SetText("");
    Type("123");
    EXPECT_EQ(Grid->Col(), 1);
    Type("4");
    EXPECT_EQ(Grid->Cells(1, 1), "1234");
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(TextEditorTest, EscapeRestoresAndCommitsTheTextTheEditBeganWith)
{
    Open(edNormal, "start", 5);
    int validations = 0;
    Grid->OnCellValidate = [&](TObject*, int, int, QString&, bool&) { ++validations; };
    Type("XYZ");
    EXPECT_EQ(Grid->Cells(1, 1), "startXYZ");
    Key(VK_ESCAPE);
    EXPECT_FALSE(EditorUp());
    EXPECT_EQ(Grid->Cells(1, 1), "start");
    // The text is the one the cell had: nothing to validate.
    EXPECT_EQ(validations, 0);
    EXPECT_FALSE(Grid->FEditing);
}

TEST_F(TextEditorTest, LookupCompletesAndBackspaceStopsIt)
{
    NewGrid();
    Grid->Lookup = true;
    Grid->LookupItems()->Add("Apple");
    Grid->LookupItems()->Add("Banana");
    Grid->SetCells(1, 1, "");
    EditCell(1, 1);
    Key('B');
    EXPECT_EQ(Ed()->Text(), "banana");
    EXPECT_EQ(Ed()->SelStart(), 1);
    EXPECT_EQ(Ed()->SelLength(), 5);
    Key(VK_BACK);
    EXPECT_EQ(Ed()->Text(), "b");
    EXPECT_EQ(Ed()->SelLength(), 0);
    // Another key completes again.
    Key('A');
    EXPECT_EQ(Ed()->Text(), "banana");
    EXPECT_EQ(Ed()->SelLength(), 4);
}

TEST_F(TextEditorTest, PasswordCellsHideTheirText)
{
    Open(edPassword, "secret", 0);
    EXPECT_EQ(Ed()->PasswordChar(), QChar('*'));
    EXPECT_TRUE(Ed()->Params().Style & ES_PASSWORD);
    EXPECT_FALSE(Ed()->Params().Style & ES_MULTILINE);
    Grid->HideInplaceEdit();
    Grid->DefaultEditor = edNormal;
    EditCell(2, 1);
    EXPECT_TRUE(Ed()->PasswordChar().isNull());
    EXPECT_FALSE(Ed()->Params().Style & ES_PASSWORD);
}

TEST_F(TextEditorTest, RightAlignedCellsGetARightAlignedWindow)
{
    NewGrid();
    Grid->SetAlignments(2, 1, taRightJustify);
    EditCell(2, 1);
    EXPECT_TRUE(Ed()->VAlign());
    EXPECT_TRUE(Ed()->Params().Style & ES_RIGHT);
    Grid->HideInplaceEdit();
    EditCell(1, 1);
    EXPECT_FALSE(Ed()->Params().Style & ES_RIGHT);
}
