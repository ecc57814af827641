// The in-place editor: opening, typing, closing and the keys it hands to the grid.
#include "GridTestKit.h"

#include "platform/controls/Clipboard.h"

class EditTest : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        NewGrid();
        Grid->SetOptions(Grid->Options() | goEditing);
        Grid->SetCells(1, 1, "abc");
        Grid->SetCells(2, 1, "second");
        Grid->SetCells(1, 2, "below");
        Grid->OnKeyDown = [this](TObject*, unsigned& key, TShiftState) { GridKeys << key; };
        Grid->OnSetEditText = [this](TObject*, int c, int r, const QString& v) {
            Written << QString("%1,%2=%3").arg(c).arg(r).arg(v);
        };
    }
    TInplaceEdit* Ed() const { return Grid->InplaceEditor(); }
    bool EditorUp() const { return Grid->EditorMode() && Ed() && Ed()->Visible(); }
    QList<unsigned> GridKeys;
    QStringList Written;
};

TEST_F(EditTest, F2OpensTheEditorOnTheCellWithItsText) {
    Key(VK_F2);
    ASSERT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->Text(), "abc");
    EXPECT_EQ(Ed()->BoundsRect(), Grid->CellRect(1, 1));
    EXPECT_TRUE(Ed()->Focused());
    // F2 leaves the caret at the end, nothing selected.
    EXPECT_EQ(Ed()->SelStart(), 3);
    EXPECT_EQ(Ed()->SelLength(), 0);
    Type("d");
    EXPECT_EQ(Ed()->Text(), "abcd");
    // The cell keeps its text until the editor closes.
    EXPECT_EQ(Grid->Cells(1, 1), "abc");
}

TEST_F(EditTest, TypingOnAClosedCellOpensTheEditorWithTheCharacter) {
    Type("x");
    ASSERT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->Text(), "x");
    Type("y");
    EXPECT_EQ(Ed()->Text(), "xy");
    // Enter closes it and writes the text back.
    Key(VK_RETURN);
    EXPECT_FALSE(EditorUp());
    EXPECT_EQ(Grid->Cells(1, 1), "xy");
    EXPECT_EQ(Written, QStringList({"1,1=xy"}));
    EXPECT_TRUE(Grid->Focused());
    // Enter opens it again, with all of the text selected.
    Key(VK_RETURN);
    ASSERT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->SelLength(), 2);
}

TEST_F(EditTest, BackspaceOpensTheEditorAndDeletes) {
    Type(QString(QChar(8)));
    ASSERT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->Text(), QString());
}

TEST_F(EditTest, WithoutGoEditingTypingOpensNothing) {
    Grid->SetOptions(Grid->Options() & ~goEditing);
    Type("x");
    EXPECT_FALSE(Grid->EditorMode());
    Key(VK_F2);
    EXPECT_FALSE(EditorUp());
}

TEST_F(EditTest, EscapeInTheEditorReachesTheGrid) {
    Key(VK_F2);
    GridKeys.clear();
    Key(VK_ESCAPE);
    EXPECT_EQ(GridKeys, QList<unsigned>({VK_ESCAPE}));
    EXPECT_EQ(Ed()->Text(), "abc");
}

TEST_F(EditTest, MovingAwayClosesTheEditorAndWritesBack) {
    Key(VK_F2);
    Type("!");
    Key(VK_DOWN);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Grid->Cells(1, 1), "abc!");
    EXPECT_FALSE(EditorUp());
}

TEST_F(EditTest, AlwaysShowEditorFollowsTheCurrentCellAndEnterTogglesTheSelection) {
    Grid->SetOptions(Grid->Options() | goAlwaysShowEditor);
    Grid->SetFocus();
    Grid->ShowEditor();
    ASSERT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->SelLength(), 3);
    Key(VK_RETURN);
    EXPECT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->SelLength(), 0);
    Key(VK_RETURN);
    EXPECT_EQ(Ed()->SelStart(), 0);
    EXPECT_EQ(Ed()->SelLength(), 3);
    Key(VK_DOWN);
    ASSERT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->Text(), "below");
    EXPECT_EQ(Ed()->BoundsRect(), Grid->CellRect(1, 2));
}

namespace {
struct ForwardCase {
    const char* name;
    bool always;     // goAlwaysShowEditor
    bool tabs;       // goTabs
    int caret;       // -1: all selected
    unsigned vk;
    TShiftState shift;
    bool toGrid;     // the grid's key-down sees the key
};
}  // namespace

TEST_F(EditTest, WhichKeysTheEditorHandsToTheGrid) {
    const ForwardCase cases[] = {
        {"up", false, false, 1, VK_UP, 0, true},
        {"page down", false, false, 1, VK_NEXT, 0, true},
        {"left inside the text", false, false, 1, VK_LEFT, 0, false},
        {"left at the start without always-show", false, false, 0, VK_LEFT, 0, false},
        {"left at the start", true, false, 0, VK_LEFT, 0, true},
        {"left inside with always-show", true, false, 2, VK_LEFT, 0, false},
        {"ctrl+left with always-show", true, false, 2, VK_LEFT, ssCtrl, true},
        {"home with all selected", true, false, -1, VK_HOME, 0, true},
        {"right at the end", true, false, 3, VK_RIGHT, 0, true},
        {"end inside", true, false, 1, VK_END, 0, false},
        {"ctrl+delete", false, false, 1, VK_DELETE, ssCtrl, true},
        {"delete", false, false, 1, VK_DELETE, 0, false},
        {"plain insert", false, false, 1, VK_INSERT, 0, true},
        {"tab with goTabs", false, true, 1, VK_TAB, 0, true},
        {"tab without goTabs", false, false, 1, VK_TAB, 0, false},
    };
    const TGridOptions base = Grid->Options();
    for (const ForwardCase& k : cases) {
        Grid->SetOptions(base | (k.always ? TGridOptions(goAlwaysShowEditor) : 0u) | (k.tabs ? TGridOptions(goTabs) : 0u));
        Grid->SetFocus();
        Grid->SetCol(1);
        Grid->SetRow(1);
        Grid->SetEditorMode(true);
        ASSERT_EQ(Ed()->Text(), "abc") << k.name;
        ASSERT_TRUE(EditorUp()) << k.name;
        if (k.caret < 0) Ed()->SelectAll();
        else Ed()->SetSelStart(k.caret);
        GridKeys.clear();
        unsigned key = k.vk;
        Ed()->KeyDown(key, k.shift);
        // Keys that stay in the editor also show in the grid's key event.
        const bool gridSawIt = !GridKeys.isEmpty();
        EXPECT_TRUE(gridSawIt) << k.name;
        EXPECT_EQ(key == 0, k.toGrid) << k.name;
        Grid->HideEditor();
    }
}

TEST_F(EditTest, ACellThatCannotBeModifiedDropsTypingDeleteAndPaste) {
    Grid->EditLimit = -1;
    Clipboard()->SetAsText("pasted");
    Key(VK_F2);
    ASSERT_TRUE(EditorUp());
    Ed()->SelectAll();
    Type("zz");
    Key(VK_DELETE);
    Key(VK_INSERT, ssShift);
    Type(QString(QChar(8)));
    EXPECT_EQ(Ed()->Text(), "abc");
    // With a limit, typing stops at it.
    Grid->HideEditor();
    Grid->EditLimit = 4;
    Key(VK_F2);
    Type("defg");
    EXPECT_EQ(Ed()->Text(), "abcd");
    Key(VK_INSERT, ssShift);
    EXPECT_EQ(Ed()->Text(), "abcd");
}

TEST_F(EditTest, EditMaskAndEditTextComeFromTheEvents) {
    // Column 2 takes three digits; column 1 shows its text decorated.
    Grid->OnGetEditMask = [](TObject*, int c, int, QString& v) { v = c == 2 ? "000;0;_" : ""; };
    Grid->OnGetEditText = [](TObject*, int c, int, QString& v) {
        if (c == 1) v = "<" + v + ">";
    };
    Key(VK_F2);
    EXPECT_EQ(Ed()->EditMask(), QString());
    EXPECT_EQ(Ed()->Text(), "<abc>");
    Grid->HideEditor();
    Grid->SetCells(2, 1, QString());
    Grid->SetCol(2);
    Key(VK_F2);
    EXPECT_EQ(Ed()->EditMask(), "000;0;_");
    Ed()->SetSelStart(0);
    Type("4x2");
    // The letter is refused; the empty third place is stored as a blank.
    EXPECT_EQ(Ed()->Text(), "42 ");
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 1), "42 ");
}

TEST_F(EditTest, WritingTheEditedCellFromCodeReloadsTheEditor) {
    Key(VK_F2);
    Grid->SetCells(1, 1, "new");
    EXPECT_EQ(Ed()->Text(), "new");
}

TEST_F(EditTest, AClickOnTheCurrentCellOpensTheEditor) {
    const TRect r = Grid->CellRect(1, 1);
    Input::Click(Grid, r.Left + 5, r.Top + 5);
    ASSERT_TRUE(EditorUp());
    // A press on another cell moves there, closing the editor, and clicks.
    Grid->Log.clear();
    const TRect other = Grid->CellRect(2, 1);
    Input::Click(Grid, other.Left + 5, other.Top + 5);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_FALSE(EditorUp());
    EXPECT_EQ(Grid->Log.filter("Click"), QStringList({"Click"}));
}

TEST_F(EditTest, TheGridGoesWithItsEditorOpen) {
    Key(VK_F2);
    Type("z");
    ASSERT_TRUE(EditorUp());
    delete Grid;
    Grid = nullptr;
    EXPECT_EQ(Form->ControlCount(), 0);
}

TEST_F(EditTest, TheGridSeesTypedCharactersFirst) {
    QString seen;
    Grid->OnKeyPress = [&](TObject*, QChar& k) {
        seen += k;
        if (k == QLatin1Char('a')) k = QLatin1Char('b');
        if (k == QLatin1Char('q')) k = QChar(0);
    };
    Key(VK_F2);
    Type("aqc");
    EXPECT_EQ(seen, "aqc");
    EXPECT_EQ(Ed()->Text(), "abcbc");
}

TEST_F(EditTest, ShrinkingPastTheEditedRowKeepsTheTypedText) {
    struct Case { const char* name; TGridOptions extra; bool editorAfter; };
    const Case cases[] = {{"closes", 0, false}, {"always shown", goAlwaysShowEditor, true}};
    for (const Case& c : cases) {
        Grid->SetOptions(Grid->Options() | c.extra);
        Grid->SetRowCount(6);
        Grid->SetCells(1, 4, "old");
        Grid->SetRow(4);
        Written.clear();
        Key(VK_F2);
        ASSERT_TRUE(EditorUp()) << c.name;
        Ed()->SetSelStart(3);
        Type("zz");
        Grid->SetRowCount(3);
        EXPECT_EQ(Grid->Row(), 2) << c.name;
        // Kept past the count, where a larger count shows it again.
        EXPECT_EQ(Written, QStringList({"1,4=oldzz"})) << c.name;
        EXPECT_EQ(Grid->Cells(1, 4), "oldzz") << c.name;
        EXPECT_EQ(EditorUp(), c.editorAfter) << c.name;
        if (c.editorAfter) {
            EXPECT_EQ(Ed()->Text(), "below") << c.name;
        }
        Grid->SetOptions(Grid->Options() & ~c.extra);
    }
}

TEST_F(EditTest, TheOpenEditorShowsTheTextWhereTheCellHadIt) {
    // The ink of the cell's text, in grid client coordinates.
    auto inkOf = [this](const QImage& img, int skipColumn = -1) {
        // One pixel in from the cell's edge, where the focus rectangle runs.
        TRect cell = Grid->CellRect(1, 1);
        InflateRect(cell, -1, -1);
        TRect ink(cell.Right, cell.Bottom, cell.Left - 1, cell.Top - 1);
        for (int y = cell.Top; y < cell.Bottom; ++y)
            for (int x = cell.Left; x < cell.Right; ++x)
                if (x != skipColumn && PixelAt(img, x, y) == ColorToRGB(clWindowText)) {
                    ink.Left = std::min(ink.Left, x);
                    ink.Top = std::min(ink.Top, y);
                    ink.Right = std::max(ink.Right, x + 1);
                    ink.Bottom = std::max(ink.Bottom, y + 1);
                }
        return ink;
    };
    // Not focused, the closed cell is drawn in the window colour, not highlighted.
    Grid->SetOptions(Grid->Options() & ~goRangeSelect);
    Grid->SetCells(1, 1, "Wg|");
    const TRect closed = inkOf(Render());
    ASSERT_GE(closed.Right, closed.Left) << "the cell shows its text";
    Key(VK_F2);
    ASSERT_TRUE(EditorUp());
    // The caret's column is left out; it stands right of the last glyph.
    const int caretX = Ed()->Left() + Ed()->PosFromChar(Ed()->SelStart()).X;
    ASSERT_GE(caretX, closed.Right - 1);
    const TRect open = inkOf(Render(), caretX);
    EXPECT_EQ(open, closed);
    // The editor's own text area starts two pixels in, as the grid writes.
    EXPECT_EQ(Ed()->FormattingRect().Left, 2);
    EXPECT_EQ(Ed()->FormattingRect().Top, 2);
}
