// The string grid's header release and what follows moves: the sort by a
// header click, the border double click, the right button, the follow-up of
// moved columns and rows, the owner form's resize, balloons, the sizing hint
// and the cursor of the selection modes.
#include "gridpack/stringgrid/periphery/MouseGridTest.h"
#include "gridpack/stringgrid/ExHTMLHint.h"
#include "platform/controls/ToolTips.h"
#include "support/ToolkitApp.h"

namespace {

class HeaderTest : public MouseGridTest {
protected:
    void SetUp() override
    {
        MouseGridTest::SetUp();
        // Column 1 holds 9 names out of order.
        const QStringList names{"delta", "alpha", "india", "charlie", "bravo", "golf", "echo", "hotel", "foxtrot"};
        for (int r = 1; r < 10; ++r)
            Grid->SetCells(1, r, names[r - 1]);
        Grid->SortSettings()->Show = true;
        Grid->SortSettings()->UndoSort = true;
    }
    QStringList Column(int c) const
    {
        QStringList out;
        for (int r = 1; r < Grid->RowCount(); ++r)
            out << Grid->Cells(c, r);
        return out;
    }
    void ClickHeader(int c)
    {
        const TPoint p = Mid(c, 0);
        Input::Click(Grid, p.X, p.Y);
        DrainPostedMessages();
    }
};

} // namespace

TEST_F(HeaderTest, ClicksSortInvertAndUndoTheSort)
{
    const QStringList unsorted = Column(1);
    QStringList ascending = unsorted;
    ascending.sort();
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    int clickSorts = 0;
    Grid->OnClickSort = [&](TObject*, int) { ++clickSorts; };

    ClickHeader(1);
    EXPECT_EQ(Column(1), ascending);
    EXPECT_EQ(Grid->SortSettings()->Column, 1);
    EXPECT_EQ(Grid->SortSettings()->Direction, sdAscending);
    ClickHeader(1);
    EXPECT_EQ(Column(1), descending);
    EXPECT_EQ(Grid->SortSettings()->Direction, sdDescending);
    ClickHeader(1);
    EXPECT_EQ(Column(1), unsorted) << "the third click restores the order";
    EXPECT_EQ(Grid->SortSettings()->Column, -1);
    EXPECT_EQ(clickSorts, 3);

    // InitSortDirection descending starts there.
    Grid->SortSettings()->InitSortDirection = sdDescending;
    ClickHeader(1);
    EXPECT_EQ(Column(1), descending);
}

TEST_F(HeaderTest, ClicksThatDoNotSort)
{
    const QStringList unsorted = Column(1);
    // Sorting off.
    Grid->SortSettings()->Show = false;
    ClickHeader(1);
    EXPECT_EQ(Column(1), unsorted);
    Grid->SortSettings()->Show = true;
    // A veto.
    Grid->OnCanSort = [](TObject*, int, bool& DoSort) { DoSort = false; };
    ClickHeader(1);
    EXPECT_EQ(Column(1), unsorted);
    Grid->OnCanSort = nullptr;
    // An ignored column.
    Grid->IgnoreColumns()->Add(1);
    ClickHeader(1);
    EXPECT_EQ(Column(1), unsorted);
    Grid->IgnoreColumns()->Clear();
    // A click on a data cell.
    const TPoint p = Mid(1, 3);
    Input::Click(Grid, p.X, p.Y);
    EXPECT_EQ(Column(1), unsorted);
    // A release on a sizing border of the header.
    Grid->SetOptions(Grid->Options() | goColSizing);
    const TRect R = Grid->CellRect(1, 0);
    Input::Click(Grid, R.Right - 2, (R.Top + R.Bottom) / 2);
    EXPECT_EQ(Column(1), unsorted);
    EXPECT_EQ(Grid->SortSettings()->Column, -1);
}

TEST_F(HeaderTest, AGridOfTwoRowsNeverSorts)
{
    Grid->SetRowCount(2);
    Grid->SetCells(1, 1, "only");
    ClickHeader(1);
    EXPECT_EQ(Grid->SortSettings()->Column, -1);
}

TEST_F(HeaderTest, ABorderDoubleClickSizesTheColumnAndItsReleaseDoesNotSort)
{
    Grid->SetOptions(Grid->Options() | goColSizing);
    Grid->SetCells(1, 4, "a rather long text that needs room");
    const QStringList unsorted = Column(1);
    const int before = Grid->ColWidths(1);
    const TRect R = Grid->CellRect(1, 0);
    Input::DoubleClick(Grid, R.Right - 1, (R.Top + R.Bottom) / 2);
    DrainPostedMessages();
    EXPECT_GT(Grid->ColWidths(1), before) << "sized to its contents";
    EXPECT_EQ(Column(1), unsorted);
    EXPECT_EQ(Grid->SortSettings()->Column, -1);
    // The next plain click sorts again.
    ClickHeader(1);
    EXPECT_EQ(Grid->SortSettings()->Column, 1);
}

TEST_F(HeaderTest, ARightClickWithoutAHandlerActsAsALeftClick)
{
    Grid->MouseActions()->SelectOnRightClick = true;
    const TPoint p = Mid(3, 6);
    Input::Click(Grid, p.X, p.Y, mbRight);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 6);
    // With a handler it only focuses the cell; the handler hears the click.
    int heard = 0;
    Grid->OnRightClickCell = [&](TObject*, int ARow, int ACol) { heard = ARow * 10 + ACol; };
    const TPoint q = Mid(2, 4);
    Input::Click(Grid, q.X, q.Y, mbRight);
    EXPECT_EQ(heard, 42);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Row(), 4);
    // Off: the selection stays, the handler still hears.
    Grid->MouseActions()->SelectOnRightClick = false;
    const TPoint s = Mid(1, 2);
    Input::Click(Grid, s.X, s.Y, mbRight);
    EXPECT_EQ(heard, 21);
    EXPECT_EQ(Grid->Row(), 4);
}

// ---------------------------------------------------------------------------
// Moved columns and rows
// ---------------------------------------------------------------------------

TEST_F(HeaderTest, TheSortColumnFollowsItsData)
{
    Grid->SetColCount(7);
    struct Case {
        int sortCol, from, to, expected;
    } cases[] = {
        {5, 2, 5, 4}, {2, 2, 5, 5}, {1, 2, 5, 1}, {6, 2, 5, 6}, {3, 5, 2, 4}, {5, 5, 2, 2}, {-1, 2, 5, -1},
    };
    for (const Case& c : cases) {
        Grid->SortSettings()->Column = c.sortCol;
        Grid->MoveColumn(c.from, c.to);
        EXPECT_EQ(Grid->SortSettings()->Column, c.expected) << c.sortCol << ": " << c.from << " -> " << c.to;
    }
}

TEST_F(HeaderTest, TheSortIndexFollowsAndKeepsItsDirections)
{
    Grid->SetColCount(7);
    Grid->SortSettings()->IndexShow = true;
    Grid->SortIndexes()->AddIndex(5, false);
    Grid->SortIndexes()->AddIndex(2, true);
    Grid->MoveColumn(2, 5);
    EXPECT_EQ(Grid->SortIndexes()->GetSortColumns(0), 4);
    EXPECT_FALSE(Grid->SortIndexes()->GetSortDirections(0));
    EXPECT_EQ(Grid->SortIndexes()->GetSortColumns(1), 5);
    EXPECT_TRUE(Grid->SortIndexes()->GetSortDirections(1));
}

TEST_F(HeaderTest, TwoSynchronisedGridsMoveTheSameColumnOnce)
{
    auto* other = NewObject<TExStringGrid>(Form);
    other->SetParent(Form);
    other->SetBounds(0, 310, 500, 80);
    for (int c = 0; c < 5; ++c)
        other->SetCells(c, 1, QString("o%1").arg(c));
    Grid->SyncGrid()->SetGrid(other);
    Grid->SyncGrid()->MoveColumn = true;
    other->SyncGrid()->SetGrid(Grid);
    other->SyncGrid()->MoveColumn = true;
    Grid->MoveColumn(1, 3);
    EXPECT_EQ(Grid->Cells(3, 1), "delta");
    EXPECT_EQ(other->Cells(3, 1), "o1");
    EXPECT_EQ(other->Cells(1, 1), "o2");
    other->MoveColumn(3, 1);
    EXPECT_EQ(Grid->Cells(1, 1), "delta") << "and back the other way";
    EXPECT_EQ(other->Cells(1, 1), "o1");
    // Rows likewise.
    Grid->SyncGrid()->MoveRow = true;
    other->SyncGrid()->MoveRow = true;
    other->SetRowCount(10);
    other->SetCells(2, 2, "moved");
    Grid->MoveRow(2, 6);
    EXPECT_EQ(other->Cells(2, 6), "moved");
}

TEST_F(HeaderTest, AMoveOntoTheRowUnderAFixedLastRowFooterChangesNothing)
{
    Grid->FloatingFooter()->Visible = true;
    Grid->FloatingFooter()->FooterStyle = fsFixedLastRow;
    Grid->SetRowHeights(3, 40);
    const QStringList before = Column(1);
    int moved = 0;
    Grid->OnRowMoved = [&](TObject*, int, int) { ++moved; };
    Grid->MoveRow(3, Grid->RowCount() - 1);
    EXPECT_EQ(Column(1), before);
    EXPECT_EQ(Grid->RowHeights(3), 40);
    EXPECT_EQ(moved, 0);
    // Any other target moves, and OnRowMoved hears it once the cells moved.
    QString atTarget;
    Grid->OnRowMoved = [&](TObject*, int, int To) {
        ++moved;
        atTarget = Grid->Cells(1, To);
    };
    Grid->MoveRow(3, 5);
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(atTarget, before[2]);
    EXPECT_EQ(Grid->RowHeights(5), 40);
}

// ---------------------------------------------------------------------------
// The owner form
// ---------------------------------------------------------------------------

TEST_F(HeaderTest, SizeWithFormFollowsTheFormAndIgnoresShrinksToNothing)
{
    Grid->SizeWithForm = true;
    Form->SetBounds(0, 0, 630, 420);
    EXPECT_EQ(Grid->Width(), 530);
    EXPECT_EQ(Grid->Height(), 320);
    Form->SetBounds(0, 0, 50, 420);
    EXPECT_EQ(Grid->Width(), 530) << "a shrink to nothing leaves the grid";
    EXPECT_EQ(Grid->Height(), 320);
    Grid->SizeWithForm = false;
    Form->SetBounds(0, 0, 700, 500);
    EXPECT_EQ(Grid->Width(), 530);
}

TEST(OwnerForm, GridsFreedInAnyOrderLeaveTheFormsHandlerAsItWas)
{
    KalTest::EnsureToolkitApp();
    const int orders[][3] = {{0, 1, 2}, {2, 1, 0}, {1, 0, 2}, {1, 2, 0}};
    for (const auto& order : orders) {
        for (bool ownHandler : {false, true}) {
            auto* form = NewObject<TForm>(nullptr);
            int formResizes = 0;
            if (ownHandler)
                form->OnResize = [&](TObject*) { ++formResizes; };
            form->SetBounds(0, 0, 600, 400);
            TExStringGrid* grids[3];
            for (int i = 0; i < 3; ++i) {
                grids[i] = NewObject<TExStringGrid>(form);
                grids[i]->SetParent(form);
                grids[i]->SetBounds(0, i * 100, 300, 90);
                grids[i]->SizeWithForm = true;
            }
            EXPECT_EQ(bool(form->OnResize), ownHandler);
            formResizes = 0;
            for (int k = 0; k < 2; ++k)
                grids[order[k]]->Free();
            TExStringGrid* last = grids[order[2]];
            form->SetBounds(0, 0, 610, 400);
            EXPECT_EQ(last->Width(), 310) << "the remaining grid still follows";
            EXPECT_EQ(formResizes, ownHandler ? 1 : 0) << "the form's handler runs once, by the form";
            last->Free();
            EXPECT_EQ(bool(form->OnResize), ownHandler) << "a form without a handler still has none";
            form->SetBounds(0, 0, 620, 400);
            EXPECT_EQ(formResizes, ownHandler ? 2 : 0);
            form->Free();
        }
    }
}

// ---------------------------------------------------------------------------
// Balloons, the sizing hint and the selection cursors
// ---------------------------------------------------------------------------

TEST_F(HeaderTest, TheBalloonWindowComesAndGoesWithEnable)
{
    EXPECT_EQ(Grid->BalloonWindow(), nullptr);
    Grid->Balloon()->InitialDelay = 250;
    Grid->Balloon()->SetEnable(true);
    TToolTip* first = Grid->BalloonWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->InitialDelay, 250u);
    EXPECT_EQ(first->Title, "ToolTipText");
    Grid->Balloon()->SetEnable(true);
    EXPECT_EQ(Grid->BalloonWindow(), first) << "made once";
    Grid->Balloon()->SetEnable(false);
    EXPECT_EQ(Grid->BalloonWindow(), nullptr);
    EXPECT_FALSE(Grid->Balloon()->FInit);
    Grid->Balloon()->SetEnable(true);
    EXPECT_NE(Grid->BalloonWindow(), nullptr) << "made again";
}

TEST_F(HeaderTest, ACellsBalloonShowsOverItAndAnotherCellPopsIt)
{
    Grid->Balloon()->SetEnable(true);
    Grid->AddBalloon(2, 3, "Title", "Some text", TBalloonIcon(1));
    const TPoint p = Mid(2, 3);
    Input::MouseMove(Grid, p.X, p.Y);
    EXPECT_EQ(Grid->FLastBalloonPos, Point(2, 3));
    EXPECT_EQ(Grid->BalloonWindow()->Title, "Title");
    EXPECT_EQ(Grid->BalloonWindow()->Text, Grid->Cells(2, 3)) << "the cell's text under the balloon's title";
    // An empty cell has no balloon: reaching it pops the one shown.
    Grid->SetCells(3, 3, "");
    const TPoint q = Mid(3, 3);
    Input::MouseMove(Grid, q.X, q.Y);
    EXPECT_EQ(Grid->FLastBalloonPos, Point(-1, -1));
    EXPECT_FALSE(Grid->BalloonWindow()->Showing());
}

TEST_F(HeaderTest, SizingAColumnShowsItsWidthInTheSizingHint)
{
    Grid->SetOptions(Grid->Options() | goColSizing);
    Grid->HintShowSizing = true;
    const TRect R = Grid->CellRect(1, 0);
    const int y = (R.Top + R.Bottom) / 2;
    Input::MouseDown(Grid, mbLeft, R.Right - 1, y);
    ASSERT_EQ(Grid->GridState(), gsColSizing);
    auto shown = [&] {
        const QString t = Grid->FScrollHintWnd->Caption();
        return t.mid(6, t.size() - 10).toInt();
    };
    Input::MouseMove(Grid, R.Right + 20, y, ssLeft);
    ASSERT_TRUE(Grid->FScrollHintShow);
    const int x = R.Right + 20 + (120 - shown());
    Input::MouseMove(Grid, x, y, ssLeft);
    EXPECT_EQ(Grid->FScrollHintWnd->Caption(), "cw=<b>120</b>");
    Input::MouseUp(Grid, mbLeft, x, y);
    EXPECT_EQ(Grid->ColWidths(1), 120);
    EXPECT_FALSE(Grid->FScrollHintShow) << "the release hides it";
    // Without HintShowSizing nothing shows.
    Grid->HintShowSizing = false;
    const TRect R2 = Grid->CellRect(1, 0);
    Input::MouseDown(Grid, mbLeft, R2.Right - 1, y);
    Input::MouseMove(Grid, R2.Right + 10, y, ssLeft);
    EXPECT_FALSE(Grid->FScrollHintShow);
    Input::MouseUp(Grid, mbLeft, R2.Right + 10, y);
}

TEST_F(HeaderTest, ColumnAndRowSelectModesShowTheirCursors)
{
    Grid->MouseActions()->ColSelect = true;
    Grid->MouseActions()->RowSelect = true;
    auto cursorAt = [&](TPoint p) {
        Input::MouseMove(Grid, p.X, p.Y);
        Grid->Perform(WM_SETCURSOR, WPARAM(Grid->Handle()), MakeLParam(HTCLIENT, WM_MOUSEMOVE));
        return ShownCursor();
    };
    EXPECT_EQ(cursorAt(Mid(2, 0)), 8011);
    EXPECT_EQ(cursorAt(Mid(0, 3)), 8010);
    EXPECT_NE(cursorAt(Mid(2, 3)), 8011);
    EXPECT_NE(ShownCursor(), 8010);
    Grid->MouseActions()->ColSelect = false;
    EXPECT_NE(cursorAt(Mid(2, 0)), 8011);
}

TEST_F(HeaderTest, TheDragButtonDrawsMarkupOnlyWithAClosingTag)
{
    THeaderDragButton* b = Grid->MoveButton;
    ASSERT_NE(b, nullptr);
    b->SetBounds(0, 0, 120, 24);
    auto paint = [&](const QString& caption) {
        b->Caption = caption;
        QImage img(120, 24, QImage::Format_RGB32);
        img.fill(Qt::white);
        b->PaintTo(img, TPoint(0, 0));
        return img;
    };
    const QImage markup = paint("<b>Name</b>");
    const QImage literal = paint("<b>Name");
    const QImage plain = paint("Name");
    EXPECT_NE(markup, literal) << "with a closing tag the tags are not shown as text";
    EXPECT_NE(literal, plain) << "without one they are drawn as they stand";
}
