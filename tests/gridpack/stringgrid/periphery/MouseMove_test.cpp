// The string grid under the moving mouse beyond hover and hints: enhanced
// column and row moves (caption or snapshot, insertion arrows, cursor, the
// release that moves), drag selection from the headers, links and anchors,
// the in-cell scroll bar, hovered cell buttons and the drag of a selection.
#include "gridpack/stringgrid/periphery/MouseGridTest.h"
#include "gridpack/basegrid/ExGridWindows.h"
#include "gridpack/stringgrid/ExGridOwned.h"
#include "platform/controls/DragDrop.h"
#include "platform/controls/StdCtrls.h"

namespace {

class MouseMoveTest : public MouseGridTest {
protected:
    void Down(int c, int r)
    {
        const TPoint p = Mid(c, r);
        Input::MouseMove(Grid, p.X, p.Y);
        Input::MouseDown(Grid, mbLeft, p.X, p.Y);
        DrainPostedMessages();
    }
    void MoveTo(int c, int r)
    {
        const TPoint p = Mid(c, r);
        Input::MouseMove(Grid, p.X, p.Y);
        DrainPostedMessages();
    }
    void Up(int c, int r)
    {
        const TPoint p = Mid(c, r);
        Input::MouseUp(Grid, mbLeft, p.X, p.Y);
        DrainPostedMessages();
    }
    QStringList Row(int r) const
    {
        QStringList out;
        for (int c = 0; c < Grid->ColCount(); ++c)
            out << Grid->Cells(c, r);
        return out;
    }
    bool ArrowsShown() const
    {
        return Grid->ArwU->Visible() || Grid->ArwD->Visible() || Grid->ArwL->Visible() || Grid->ArwR->Visible();
    }
};

} // namespace

// --- enhanced moves ----------------------------------------------------------

TEST_F(MouseMoveTest, AColumnDraggedByItsHeaderShowsItsSnapshotArrowsAndMovesAtTheRelease)
{
    Grid->SetOptions(Grid->Options() | goColMoving);
    Grid->SortSettings()->Show = true;
    QList<int> moving;
    Grid->OnColumnMoving = [&](TObject*, int c, bool&) { moving << c; };
    Down(1, 0);
    EXPECT_EQ(Grid->Movecell, 1);
    MoveTo(2, 0);
    EXPECT_EQ(Grid->GridState(), gsColMoving);
    EXPECT_EQ(Grid->Cursor(), crDrag);
    ASSERT_NE(Grid->MoveForm, nullptr) << "ShowCells shows a snapshot of the column";
    EXPECT_TRUE(Grid->MoveForm->Visible());
    EXPECT_EQ(Grid->MoveButton->Caption, "b0");
    MoveTo(3, 0);
    // The arrows stand at the target of the previous event, right of the
    // moved column: at its right edge.
    EXPECT_TRUE(Grid->ArwU->Visible());
    EXPECT_TRUE(Grid->ArwD->Visible());
    const TRect R = Grid->CellRect(2, 0);
    const TPoint tl = Grid->ClientToScreen(Point(R.Left, R.Top));
    EXPECT_EQ(Grid->ArwU->Left(), tl.X + (R.Right - R.Left) - 5);
    EXPECT_EQ(Grid->ArwU->Top(), tl.Y + (R.Bottom - R.Top));
    EXPECT_EQ(Grid->ArwD->Top(), tl.Y - 8);
    EXPECT_EQ(moving, QList<int>({2, 3}));

    const QStringList before = Row(1);
    Up(3, 0);
    EXPECT_EQ(Row(1), QStringList({before[0], before[2], before[3], before[1], before[4]}));
    EXPECT_EQ(Grid->MoveForm, nullptr);
    EXPECT_FALSE(ArrowsShown());
    EXPECT_EQ(Grid->Cursor(), crDefault);
    EXPECT_EQ(Grid->GridState(), gsNormal);
    EXPECT_EQ(Grid->SortSettings()->Column, -1) << "the release that ends a move does not sort";
}

TEST_F(MouseMoveTest, ARowMoveWithoutSnapshotShowsTheCaptionAndArrowsAboveTheTarget)
{
    Grid->SetOptions(Grid->Options() | goRowMoving);
    Grid->DragDropSettings()->ShowCells = false;
    Down(0, 6);
    MoveTo(0, 4);
    EXPECT_EQ(Grid->GridState(), gsRowMoving);
    EXPECT_EQ(Grid->MoveForm, nullptr);
    EXPECT_TRUE(Grid->MoveButton->Visible());
    EXPECT_EQ(Grid->MoveButton->Caption, "a6");
    MoveTo(0, 3);
    EXPECT_TRUE(Grid->ArwL->Visible());
    const TRect R = Grid->CellRect(0, 4);
    const TPoint tl = Grid->ClientToScreen(Point(R.Left, R.Top));
    EXPECT_EQ(Grid->ArwL->Left(), tl.X - 10);
    EXPECT_EQ(Grid->ArwL->Top(), tl.Y - 5);
    EXPECT_EQ(Grid->ArwR->Left(), tl.X + (R.Right - R.Left));

    // The right button does not end the move.
    const TPoint p = Mid(0, 3);
    Input::Click(Grid, p.X, p.Y, mbRight);
    DrainPostedMessages();
    EXPECT_EQ(Grid->GridState(), gsRowMoving);

    Up(0, 3);
    EXPECT_EQ(Grid->Cells(1, 3), "b6");
    EXPECT_EQ(Grid->Cells(1, 4), "b3");
    EXPECT_FALSE(Grid->MoveButton->Visible());
    EXPECT_FALSE(ArrowsShown());
}

TEST_F(MouseMoveTest, RefusedAndNoDropMovesChangeNothing)
{
    Grid->SetOptions(Grid->Options() | goColMoving);
    const QStringList before = Row(1);
    // OnColumnMove refuses: the move ends at once.
    Grid->OnColumnMove = [](TObject*, int, bool& allow) { allow = false; };
    Down(1, 0);
    MoveTo(3, 0);
    EXPECT_EQ(Grid->GridState(), gsNormal);
    EXPECT_NE(Grid->Cursor(), crDrag);
    Up(3, 0);
    EXPECT_EQ(Row(1), before);

    // OnColumnMoving refuses the target: the no-drop cursor, nothing moves.
    Grid->OnColumnMove = nullptr;
    Grid->OnColumnMoving = [](TObject*, int, bool& ok) { ok = false; };
    Down(1, 0);
    MoveTo(3, 0);
    EXPECT_EQ(Grid->Cursor(), crNoDrop);
    Up(3, 0);
    EXPECT_EQ(Row(1), before);
    EXPECT_EQ(Grid->Cursor(), crDefault);
    EXPECT_EQ(Grid->MoveForm, nullptr);
}

// --- header drag selection ----------------------------------------------------

TEST_F(MouseMoveTest, DraggingOverRowHeadersSelectsWholeRows)
{
    Grid->MouseActions()->RowSelect = true;
    Down(0, 2);
    EXPECT_EQ(Grid->FMouseSelectStart, 2);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 2, 4, 2}));
    MoveTo(0, 5);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 2, 4, 5}));
    MoveTo(0, 1);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 4, 2})) << "upwards in either order";
    Up(0, 1);
    EXPECT_EQ(Grid->FMouseSelectStart, -1);
    MoveTo(0, 6);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 4, 2})) << "the release ends the drag";
}

TEST_F(MouseMoveTest, DraggingOverColumnHeadersSelectsWholeColumns)
{
    Grid->MouseActions()->ColSelect = true;
    Grid->SetOptions(Grid->Options() | goRangeSelect);
    Down(3, 0);
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 1, 3, 9}));
    MoveTo(1, 0);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 3, 9}));
    Up(1, 0);
}

// --- links ----------------------------------------------------------------------

TEST_F(MouseMoveTest, LinksTakeTheLinkCursorAndAnchorsReportEnterAndExit)
{
    Grid->URLShow = true;
    Grid->SetCells(2, 2, "http://example.org");
    Grid->SetCells(2, 3, "see <a href=\"first\">first link</a>");
    MoveTo(2, 2);
    EXPECT_EQ(Grid->Cursor(), TCursor(GridLinkCursor));
    MoveTo(3, 2);
    EXPECT_EQ(Grid->Cursor(), crDefault) << "a plain cell gives the grid's own cursor back";

    QStringList events;
    Grid->OnAnchorEnter = [&](TObject*, int r, int c, const QString& a) { events << QString("enter %1 %2 %3").arg(r).arg(c).arg(a); };
    Grid->OnAnchorExit = [&](TObject*, int r, int c, const QString& a) { events << QString("exit %1 %2 [%3]").arg(r).arg(c).arg(a); };
    // Somewhere over the link text: the cell's far right is past it.
    const TRect R = Grid->CellRect(2, 3);
    bool found = false;
    for (int x = R.Left + 2; x < R.Right && !found; ++x) {
        Input::MouseMove(Grid, x, (R.Top + R.Bottom) / 2);
        found = !Grid->FAnchor.isEmpty();
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(Grid->Cursor(), TCursor(GridLinkCursor));
    EXPECT_EQ(events, QStringList({"enter 3 2 first"}));
    MoveTo(1, 3);
    EXPECT_EQ(events, QStringList({"enter 3 2 first", "exit 3 1 []"}));
    EXPECT_EQ(Grid->Cursor(), crDefault);
}

// --- in-cell scroll bar -----------------------------------------------------------

TEST_F(MouseMoveTest, TheCellScrollBarFollowsThePointerAndScrollsItsCell)
{
    Grid->AddScrollBar(2, 3, false);
    Grid->SetScrollProp(2, 3, TScrollProp{10, 100});
    TScrollBar* bar = Grid->FScrollBar;
    ASSERT_NE(bar, nullptr);
    MoveTo(2, 3);
    ASSERT_TRUE(bar->Visible());
    const TRect R = Grid->CellRect(2, 3);
    const int lw = Grid->GridLineWidth();
    EXPECT_EQ(bar->Left(), R.Right - 17 - lw);
    EXPECT_EQ(bar->Top(), R.Top + lw);
    EXPECT_EQ(bar->Width(), 17);
    EXPECT_EQ(bar->Height(), R.Bottom - R.Top - 2 * lw);
    EXPECT_EQ(bar->Max(), 100);
    EXPECT_EQ(bar->PageSize(), 10);

    QList<int> scrolled;
    Grid->OnScrollCell = [&](TObject*, int c, int r, int pos, int, int) {
        EXPECT_EQ(c, 2);
        EXPECT_EQ(r, 3);
        scrolled << pos;
    };
    // The bar's scroll messages reach the grid as the bar's.
    EXPECT_EQ(Grid->Perform(WM_VSCROLL, MakeWParam(SB_LINEDOWN, 0), LPARAM(bar->Handle())), 1);
    EXPECT_EQ(Grid->GetScrollPosition(2, 3), 10);
    Grid->Perform(WM_VSCROLL, MakeWParam(SB_PAGEDOWN, 0), LPARAM(bar->Handle()));
    EXPECT_EQ(Grid->GetScrollPosition(2, 3), 91) << "not past the last page";
    EXPECT_EQ(Grid->Perform(WM_VSCROLL, MakeWParam(SB_LINEDOWN, 0), LPARAM(bar->Handle())), 0)
        << "nothing moved at the end";
    Grid->Perform(WM_VSCROLL, MakeWParam(SB_THUMBTRACK, 40), LPARAM(bar->Handle()));
    EXPECT_EQ(Grid->GetScrollPosition(2, 3), 40);
    EXPECT_EQ(scrolled, QList<int>({10, 91, 40}));
    EXPECT_EQ(Grid->TopRow(), 1) << "the grid itself does not scroll";

    MoveTo(3, 3);
    EXPECT_FALSE(bar->Visible());
}

// --- hovered button ------------------------------------------------------------------

TEST_F(MouseMoveTest, OnlyTheButtonUnderThePointerIsHot)
{
    Grid->AddButton(2, 4, 40, 16, "go", haCenter, vaCenter);
    Grid->Repaint();
    const TRect b = Grid->GetCellButtonRect(2, 4);
    Input::MouseMove(Grid, (b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
    EXPECT_EQ(Grid->FHoverButtonCell, Point(2, 4));
    const TRect R = Grid->CellRect(2, 4);
    Input::MouseMove(Grid, R.Left + 1, R.Top + 1);
    EXPECT_EQ(Grid->FHoverButtonCell, Point(-1, -1));
}

// --- drag of the selection -------------------------------------------------------------

TEST_F(MouseMoveTest, AMoveAwayFromAPressOnTheSelectionDragsIt)
{
    Grid->DragDropSettings()->OleDropSource = true;
    Grid->SetSelection(TGridRect{1, 2, 2, 3});
    QStringList events;
    Grid->OnOleDragStart = [&](TObject*, int r, int c) { events << QString("start %1 %2").arg(r).arg(c); };
    Grid->OnOleDragStop = [&](TObject*, int) { events << "stop"; };
    Down(2, 3);
    EXPECT_TRUE(Grid->FSelectionClick);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 2, 2, 3})) << "the press keeps the selection";
    // Two pixels away is not a drag yet.
    const TPoint p = Mid(2, 3);
    Input::MouseMove(Grid, p.X + 2, p.Y);
    EXPECT_TRUE(events.isEmpty());
    // The drag is cancelled at once (no steps): no stop event, nothing cleared.
    ScriptDrag({});
    Input::MouseMove(Grid, p.X + 10, p.Y);
    DrainPostedMessages();
    EXPECT_EQ(events, QStringList({"start 3 2"}));
    EXPECT_FALSE(Grid->FSelectionClick);
    EXPECT_EQ(Grid->MoveForm, nullptr);
    EXPECT_EQ(Grid->Cells(1, 2), "b2");
    Input::MouseUp(Grid, mbLeft, p.X + 10, p.Y);
    DrainPostedMessages();
}

TEST_F(MouseMoveTest, ARefusedDragBecomesARangeSelection)
{
    Grid->DragDropSettings()->OleDropSource = true;
    Grid->SetSelection(TGridRect{1, 2, 2, 3});
    int starts = 0;
    Grid->OnOleDragStart = [&](TObject*, int, int) { ++starts; };
    Grid->OnOleDrag = [](TObject*, int, int, const QString& data, bool& allow) {
        EXPECT_EQ(data, "c3");
        allow = false;
    };
    Down(2, 3);
    const TPoint p = Mid(2, 3);
    Input::MouseMove(Grid, p.X + 10, p.Y);
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(Grid->GridState(), gsSelecting);
    Input::MouseUp(Grid, mbLeft, p.X + 10, p.Y);
    DrainPostedMessages();
    EXPECT_EQ(Grid->GridState(), gsNormal);
}

// --- sizing fixed columns and rows ----------------------------------------------------------

TEST_F(MouseMoveTest, AFixedColumnIsSizedByItsBorderWhenAllowed)
{
    const int w0 = Grid->ColWidths(0);
    const int y = Mid(1, 3).Y;
    // Not allowed: no sizing zone.
    Input::MouseMove(Grid, w0, y);
    EXPECT_FALSE(Grid->FFixedColSizeHover);

    Grid->MouseActions()->SizeFixedCol = true;
    QList<int> sizing, ended;
    Grid->OnColumnSizing = [&](TObject*, int c, int pos) {
        EXPECT_EQ(c, 0);
        sizing << pos;
    };
    Grid->OnEndColumnSize = [&](TObject*, int c) { ended << c; };
    Input::MouseMove(Grid, w0 + 1, y);
    EXPECT_TRUE(Grid->FFixedColSizeHover);
    Input::MouseMove(Grid, w0 + 4, y);
    EXPECT_FALSE(Grid->FFixedColSizeHover) << "3 pixels away is outside the zone";
    Input::MouseMove(Grid, w0 - 1, y);
    Input::MouseDown(Grid, mbLeft, w0 - 1, y);
    EXPECT_TRUE(Grid->FSizingFixed);
    EXPECT_EQ(Grid->FSizingFixedCol, 0);
    Input::MouseMove(Grid, 100, y);
    EXPECT_EQ(Grid->FSizeFixedX, 100);
    EXPECT_EQ(sizing, QList<int>({100}));
    Input::MouseUp(Grid, mbLeft, 100, y);
    DrainPostedMessages();
    EXPECT_FALSE(Grid->FSizingFixed);
    EXPECT_EQ(Grid->ColWidths(0), 100);
    EXPECT_EQ(ended, QList<int>({0}));

    // OnUpdateColumnSize may change the width once more; a release left of
    // the column's start drops the sizing.
    Grid->OnUpdateColumnSize = [](TObject*, int, int& w) { w = 80; };
    Input::MouseMove(Grid, 100, y);
    Input::MouseDown(Grid, mbLeft, 100, y);
    Input::MouseMove(Grid, 120, y);
    Input::MouseUp(Grid, mbLeft, 120, y);
    EXPECT_EQ(Grid->ColWidths(0), 80);
    Input::MouseMove(Grid, 80, y);
    Input::MouseDown(Grid, mbLeft, 80, y);
    Input::MouseMove(Grid, 0, y);
    Input::MouseUp(Grid, mbLeft, 0, y);
    EXPECT_EQ(Grid->ColWidths(0), 80);
    EXPECT_EQ(ended.size(), 2);
}

TEST_F(MouseMoveTest, AFixedRowIsSizedByItsBottomBorder)
{
    Grid->MouseActions()->SizeFixedRow = true;
    const int h0 = Grid->RowHeights(0);
    const int x = Mid(2, 0).X;
    int endedRow = -1;
    Grid->OnEndRowSize = [&](TObject*, int r) { endedRow = r; };
    Input::MouseMove(Grid, x, h0);
    ASSERT_TRUE(Grid->FFixedRowSizeHover);
    Input::MouseDown(Grid, mbLeft, x, h0);
    Input::MouseMove(Grid, x, 40);
    Input::MouseUp(Grid, mbLeft, x, 40);
    DrainPostedMessages();
    EXPECT_EQ(Grid->RowHeights(0), 40);
    EXPECT_EQ(endedRow, 0);
}
