// Grow-while-typing: the text editor widens its column and grows its row as
// the text grows, as the grid's SizeWhileTyping switches ask.
#include "EditTestKit.h"

#include <vector>

namespace {
class SizeWhileTypingTest : public EditingTest {
protected:
    // Types each character and releases its key, as a user does; growing
    // happens on the key release.
    void TypeKeys(const QString& text)
    {
        for (QChar ch : text) {
            Input::Char(ch);
            DrainPostedMessages();
            Input::KeyUp(ch.toUpper().unicode());
            DrainPostedMessages();
        }
    }
    void RecordRowSizes()
    {
        Grid->OnEndRowSize = [this](TObject* Sender, int ARow) {
            EXPECT_EQ(Sender, Grid);
            // The column-size synchronisation is back on by the time the
            // application hears of the new height.
            EXPECT_TRUE(Grid->ColumnSize()->SynchWithGrid);
            SizedRows.push_back(ARow);
        };
    }
    std::vector<int> SizedRows;
};

TEST_F(SizeWhileTypingTest, WidthWidensTheColumnOnlyWhenSwitchedOn)
{
    for (bool on : {false, true}) {
        SCOPED_TRACE(on);
        NewGrid();
        Grid->SizeWhileTyping()->Width = on;
        Grid->SetCells(2, 3, "");
        EditCell(2, 3);
        const int before = Grid->ColWidths(2);
        TypeKeys("wwwwwwwwwwwwwwwwwwwwwwww");
        ASSERT_TRUE(EditorUp());
        EXPECT_EQ(Grid->Cells(2, 3), "wwwwwwwwwwwwwwwwwwwwwwww");
        if (!on) {
            EXPECT_EQ(Grid->ColWidths(2), before);
            continue;
        }
        const int textWidth = Grid->Canvas()->TextWidth(Grid->Cells(2, 3));
        EXPECT_GT(Grid->ColWidths(2), before);
        EXPECT_GE(Grid->ColWidths(2), textWidth);
        // The editor follows its cell and still covers the whole text.
        EXPECT_GE(Ed()->Width(), textWidth);
        // Deleting text never narrows the column while typing.
        const int grown = Grid->ColWidths(2);
        Ed()->SelectAll();
        Key(VK_BACK);
        TypeKeys("w");
        EXPECT_EQ(Grid->ColWidths(2), grown);
        // The other columns keep their widths.
        EXPECT_EQ(Grid->ColWidths(1), before);
        EXPECT_EQ(Grid->ColWidths(3), before);
    }
}

TEST_F(SizeWhileTypingTest, HeightGrowsAWordWrappedRowAndReportsIt)
{
    struct Case {
        bool height, wrap, grows;
    };
    for (const Case& k : {Case{true, true, true}, Case{true, false, false}, Case{false, true, false}}) {
        SCOPED_TRACE(testing::Message() << k.height << k.wrap);
        NewGrid();
        SizedRows.clear();
        RecordRowSizes();
        Grid->ColumnSize()->SynchWithGrid = true;
        Grid->SizeWhileTyping()->Height = k.height;
        Grid->WordWrap = k.wrap;
        Grid->SetCells(1, 2, "");
        EditCell(1, 2);
        const int before = Grid->RowHeights(2);
        const int above = Grid->RowHeights(1), below = Grid->RowHeights(3);
        SizedRows.clear();
        TypeKeys("one two three four five six seven eight nine ten");
        ASSERT_TRUE(EditorUp());
        if (!k.grows) {
            EXPECT_EQ(Grid->RowHeights(2), before);
            EXPECT_TRUE(SizedRows.empty());
            continue;
        }
        // Several wrapped lines need more than one line's height.
        EXPECT_GT(Grid->RowHeights(2), before + Grid->Canvas()->TextHeight("gh"));
        EXPECT_EQ(Grid->RowHeights(1), above);
        EXPECT_EQ(Grid->RowHeights(3), below);
        ASSERT_FALSE(SizedRows.empty());
        for (int r : SizedRows)
            EXPECT_EQ(r, 2);
        EXPECT_TRUE(Grid->ColumnSize()->SynchWithGrid);
    }
}

TEST_F(SizeWhileTypingTest, CtrlEnterSizesAMultiLineRowForTheNewLine)
{
    NewGrid();
    RecordRowSizes();
    Grid->ColumnSize()->SynchWithGrid = true;
    Grid->Multilinecells = true;
    // Without word wrap the key releases size nothing; only the new line does.
    Grid->WordWrap = false;
    Grid->Navigation()->AllowCtrlEnter = true;
    Grid->SizeWhileTyping()->Height = true;
    // The height SizeRowToLines gives two lines, taken on a spare row with
    // the same font.
    Grid->SizeRowToLines(8, 2, Grid->GetXYOffsetHeight());
    const int twoLines = Grid->RowHeights(8);
    Grid->SizeRowToLines(8, 3, Grid->GetXYOffsetHeight());
    const int threeLines = Grid->RowHeights(8);
    ASSERT_GT(threeLines, twoLines);

    // One line of text plus the new line: two lines.
    Grid->SetCells(1, 2, "first");
    EditCell(1, 2);
    Ed()->SetSelStart(5);
    Ed()->SetSelLength(0);
    Input::KeyDown(VK_RETURN, ssCtrl);
    DrainPostedMessages();
    EXPECT_EQ(Grid->RowHeights(2), twoLines);
    ASSERT_EQ(SizedRows, std::vector<int>{2});
    EXPECT_TRUE(Grid->ColumnSize()->SynchWithGrid);
    Input::KeyUp(VK_RETURN, ssCtrl);
    DrainPostedMessages();
    Key(VK_ESCAPE);

    // A neighbour of four lines is taller than the new text: the row fits its
    // content instead, which is more than three lines' worth.
    SizedRows.clear();
    Grid->SetCells(2, 4, "a\r\nb\r\nc\r\nd");
    Grid->SetCells(1, 4, "x");
    EditCell(1, 4);
    Input::KeyDown(VK_RETURN, ssShift);
    DrainPostedMessages();
    EXPECT_GT(Grid->RowHeights(4), twoLines);
    EXPECT_NE(Grid->RowHeights(4), twoLines);
    EXPECT_EQ(SizedRows, std::vector<int>{4});
    Input::KeyUp(VK_RETURN, ssShift);
    DrainPostedMessages();

    // Without Ctrl or Shift, or without multi-line cells, Enter sizes nothing.
    Key(VK_ESCAPE);
    Grid->Multilinecells = false;
    SizedRows.clear();
    const int h = Grid->RowHeights(5);
    EditCell(1, 5);
    Input::KeyDown(VK_RETURN, ssCtrl);
    DrainPostedMessages();
    EXPECT_EQ(Grid->RowHeights(5), h);
    EXPECT_TRUE(SizedRows.empty());
}
} // namespace
