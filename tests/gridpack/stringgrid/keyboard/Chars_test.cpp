// Typed characters, Escape, the incremental search with the grid timer's
// ticks, and the Tab step.
#include "gridpack/stringgrid/inplace/EditTestKit.h"

#include "platform/controls/Messages.h"
#include "platform/controls/Timers.h"

namespace {
class CharsTest : public EditingTest {
protected:
    void TearDown() override
    {
        EditingTest::TearDown();
        SetTickCountForTest(-1);
    }
    void LogKeyPresses()
    {
        Grid->OnKeyPress = [this](TObject*, QChar& Key) { PressLog += Key; };
    }
    QString PressLog;
};
} // namespace

TEST_F(CharsTest, ATypedCharacterOpensTheEditorHoldingIt)
{
    NewGrid(true);
    LogKeyPresses();
    Grid->SetRow(2);
    Grid->SetCol(2);
    Type("x");
    ASSERT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->Text(), "x");
    ASSERT_FALSE(PressLog.isEmpty());
    EXPECT_EQ(PressLog.front(), QChar('x'));
    EXPECT_EQ(Grid->FStartEditChar, QChar('x'));
}

TEST_F(CharsTest, AKeyPressHandlerReplacesTheTypedCharacter)
{
    NewGrid(true);
    Grid->OnKeyPress = [](TObject*, QChar& Key) {
        if (Key == QChar('a'))
            Key = QChar('b');
    };
    Grid->SetRow(2);
    Grid->SetCol(2);
    Type("a");
    ASSERT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->Text(), "b");
}

TEST_F(CharsTest, ACharacterAbove255IsLeftToTheLibrary)
{
    NewGrid(true);
    LogKeyPresses();
    Grid->SetRow(2);
    Grid->SetCol(2);
    Type(QString(QChar(0x0101)));
    // The grid's own opening (which fires OnKeyPress and records the start
    // character) did not run for it.
    EXPECT_TRUE(Grid->FStartEditChar.isNull());
}

TEST_F(CharsTest, EscapeWithoutAnEditOnlyReportsTheKey)
{
    NewGrid(true);
    LogKeyPresses();
    Grid->SetRow(2);
    Grid->SetCol(2);
    Key(VK_ESCAPE);
    EXPECT_EQ(PressLog, QString(QChar(27)));
    EXPECT_EQ(Grid->Cells(2, 2), "c2");
    EXPECT_FALSE(EditorUp());
}

TEST_F(CharsTest, EscapeInAnEditRestoresTheCell)
{
    NewGrid(true);
    EditCell(2, 2);
    Type("new");
    EXPECT_EQ(Grid->Cells(2, 2), "new");
    Key(VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(2, 2), "c2");
}

namespace {
// A grid without editing whose column 1 is its sort column.
class SearchTest : public CharsTest {
protected:
    void SetUp() override
    {
        CharsTest::SetUp();
        SetTickCountForTest(1000);
        NewGrid(false);
        const QStringList names{"Apple", "Banana", "Berry", "Blue", "Cherry", "Date", "Elder", "Fig", "Grape"};
        for (int r = 1; r <= 9; ++r)
            Grid->SetCells(1, r, names[r - 1]);
        Grid->SortSettings()->Column = 1;
        Grid->Navigation()->AutoGotoWhenSorted = true;
        Grid->SetRow(1);
    }
};
} // namespace

TEST_F(SearchTest, IncrementalSearchGrowsUntilFourTimerTicksPass)
{
    Grid->Navigation()->AutoGotoIncremental = true;
    Type("b");
    EXPECT_EQ(Grid->Row(), 2);
    // Three ticks: the text still holds the first letter.
    AdvanceTime(1500);
    Type("e");
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_EQ(Grid->IncrSearchText, "be");
    // The fourth tick since the last letter ends the search text.
    AdvanceTime(2000);
    EXPECT_TRUE(Grid->IncrSearchText.isEmpty());
    Type("c");
    EXPECT_EQ(Grid->Row(), 5);
    // Backspace takes the last letter back.
    Type("h");
    EXPECT_EQ(Grid->IncrSearchText, "ch");
    Type(QString(QChar(8)));
    EXPECT_EQ(Grid->IncrSearchText, "c");
}

TEST_F(SearchTest, WithoutIncrementEachCharacterSearchesAlone)
{
    Type("b");
    EXPECT_EQ(Grid->Row(), 2);
    // "e" alone, not "be": Elder.
    Type("e");
    EXPECT_EQ(Grid->Row(), 7);
    Type("x");
    EXPECT_EQ(Grid->Row(), 7);
    EXPECT_TRUE(Grid->IncrSearchText.isEmpty());
}

TEST_F(SearchTest, HomeKeepsTheSearchTextAndTheArrowsEndIt)
{
    Grid->Navigation()->AutoGotoIncremental = true;
    Type("b");
    Key(VK_HOME);
    EXPECT_EQ(Grid->IncrSearchText, "b");
    Key(VK_DOWN);
    EXPECT_TRUE(Grid->IncrSearchText.isEmpty());
}

namespace {
class TabTest : public CharsTest {
protected:
    void SetUp() override
    {
        CharsTest::SetUp();
        NewGrid(true);
        Grid->SetOptions(Grid->Options() | goTabs);
        Grid->Navigation()->AdvanceAutoEdit = false;
    }
    void Goto(int c, int r)
    {
        Grid->SetRow(r);
        Grid->SetCol(c);
    }
};
} // namespace

TEST_F(TabTest, TabMovesAlongTheRowAndOnToTheNext)
{
    Goto(2, 3);
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 3);
    Goto(4, 3);
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 4);
}

TEST_F(TabTest, TabOnTheLastCellWrapsOrAppends)
{
    QList<int> added;
    Grid->OnAutoAddRow = [&](TObject*, int ARow) { added << ARow; };
    Goto(4, 9);
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_TRUE(added.isEmpty());

    Grid->Navigation()->SetAdvanceInsert(true);
    Goto(4, 9);
    Key(VK_TAB);
    EXPECT_EQ(Grid->RowCount(), 11);
    EXPECT_EQ(Grid->Row(), 10);
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(added, QList<int>{10});

    // A refused row wraps to the first row instead.
    Grid->OnCanAddRow = [](TObject*, bool& CanAdd) { CanAdd = false; };
    Goto(4, 10);
    Key(VK_TAB);
    EXPECT_EQ(Grid->RowCount(), 11);
    EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(TabTest, TabAtTheEndHandsTheFocusOnWhenAsked)
{
    Grid->Navigation()->TabToNextAtEnd = true;
    Goto(4, 9);
    EXPECT_FALSE(Grid->MoveFromEditor(false));
    EXPECT_EQ(Grid->Row(), 1);
    Goto(2, 3);
    EXPECT_TRUE(Grid->MoveFromEditor(false));
}

TEST_F(TabTest, ShiftTabOnTheFirstCellGoesToTheLastCell)
{
    Goto(1, 1);
    Key(VK_TAB, ssShift);
    EXPECT_EQ(Grid->Col(), 4);
    EXPECT_EQ(Grid->Row(), 9);
    Key(VK_TAB, ssShift);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 9);
}

TEST_F(TabTest, OtherDirectionsMoveDownTheColumn)
{
    for (TAdvanceDirection d : {adTopBottom, adLeftRightInRow, adTopBottomInCol}) {
        Grid->Navigation()->TabAdvanceDirection = d;
        Goto(2, 3);
        Key(VK_TAB);
        EXPECT_EQ(Grid->Col(), 2) << int(d);
        EXPECT_EQ(Grid->Row(), 4) << int(d);
    }
}

TEST_F(TabTest, AHandlerThatChangesTheTabKeyStopsTheStep)
{
    Grid->OnKeyDown = [](TObject*, unsigned& Key, TShiftState) {
        if (Key == VK_TAB)
            Key = 0;
    };
    Goto(2, 3);
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Row(), 3);
}

TEST_F(TabTest, AGridWithoutTabStopsDoesNotMove)
{
    Goto(2, 3);
    Grid->OnSelectCell = [](TObject*, int, int, bool& CanSelect) { CanSelect = false; };
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Row(), 3);
}

TEST_F(TabTest, TabSkipsReadOnlyCellsWhileEditing)
{
    Grid->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol != 3; };
    Goto(2, 3);
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 4);
    EXPECT_EQ(Grid->Row(), 3);
}

TEST_F(TabTest, TheStepOpensTheEditorOfTheNewCellWithAutoEdit)
{
    Grid->Navigation()->AdvanceAutoEdit = true;
    Goto(2, 3);
    Key(VK_TAB);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->Text(), "d3");
}
