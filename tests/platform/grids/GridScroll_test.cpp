// The grid's scroll bars: the shared window bars on the class library's
// 0..127 scale, driven by the mouse.
#include "GridTestKit.h"
#include "platform/controls/ScrollBars.h"

namespace {
// A point of the grid's vertical bar, in the grid's client coordinates.
TPoint VertBarPoint(TCustomGrid* g, TScrollBarPart part) {
    const TRect r = g->ScrollBarsState()->PartRect(SB_VERT, part);
    const TRect in = g->NCInsets();
    return Point((r.Left + r.Right) / 2 - in.Left, (r.Top + r.Bottom) / 2 - in.Top);
}
}  // namespace

TEST_F(GridTest, TheThumbDraggedToTheBottomShowsTheLastRow) {
    NewGrid();
    Grid->SetRowCount(1000);
    ASSERT_TRUE(Grid->VertScrollBarVisible());
    EXPECT_EQ(Grid->TopRow(), 1);
    EXPECT_EQ(GetScrollPos(Grid, SB_VERT), 0) << "TopRow 1: position 0";
    int min = -1, max = -1;
    GetScrollRange(Grid, SB_VERT, min, max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 127);

    const TPoint grab = VertBarPoint(Grid, sbpThumb);
    Input::MouseDown(Grid, mbLeft, grab.X, grab.Y);
    Input::MouseMove(Grid, grab.X, grab.Y + 1000, ssLeft);
    EXPECT_EQ(Grid->TopRow(), 1) << "without goThumbTracking the grid waits for the release";
    Input::MouseUp(Grid, mbLeft, grab.X, grab.Y + 1000);
    EXPECT_EQ(GetScrollPos(Grid, SB_VERT), 127) << "the last possible TopRow: position 127";
    EXPECT_EQ(Grid->TopRow() + Grid->VisibleRowCount() - 1, 999) << "the last row is in view";
    TGridDrawInfo D;
    Grid->CalcDrawInfo(D);
    EXPECT_EQ(D.Vert.LastFullVisibleCell, 999);

    // With thumb tracking the grid follows the thumb while it moves.
    Grid->SetOptions(Grid->Options() | goThumbTracking);
    const TPoint grab2 = VertBarPoint(Grid, sbpThumb);
    Input::MouseDown(Grid, mbLeft, grab2.X, grab2.Y);
    Input::MouseMove(Grid, grab2.X, grab2.Y - 2000, ssLeft);
    EXPECT_EQ(Grid->TopRow(), 1);
    EXPECT_EQ(GetScrollPos(Grid, SB_VERT), 0);
    Input::MouseUp(Grid, mbLeft, grab2.X, grab2.Y - 2000);
}

TEST_F(GridTest, ArrowAndPageClicksOnTheGridsBarMoveByCells) {
    NewGrid();
    Grid->SetRowCount(1000);
    const TPoint down = VertBarPoint(Grid, sbpLineDown);
    Input::Click(Grid, down.X, down.Y);
    EXPECT_EQ(Grid->TopRow(), 2);
    Input::Click(Grid, VertBarPoint(Grid, sbpPageDown).X, VertBarPoint(Grid, sbpPageDown).Y);
    EXPECT_EQ(Grid->TopRow(), 2 + Grid->VisibleRowCount());
    EXPECT_EQ(Grid->Row(), 1) << "scrolling leaves the current cell";
    // The bar lies in the non-client area: the cells end before it.
    EXPECT_EQ(Grid->ClientWidth(), 400 - 2 * 2 - GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(GridTest, InvalidatingOneCellPaintsOnlyItsRectangle) {
    NewGrid();
    Grid->SetRowCount(50);
    Render();
    int drawn = 0;
    Grid->OnDrawCell = [&](TObject*, int, int, TRect, TGridDrawState) { ++drawn; };
    Grid->InvalidateCell(2, 3);
    const QRect pending = Form->UpdateRegion().boundingRect();
    const TRect cell = Grid->CellRect(2, 3);
    // The cell and the grid lines right of and below it.
    EXPECT_EQ(pending.width(), cell.Width() + Grid->GridLineWidth());
    EXPECT_EQ(pending.height(), cell.Height() + Grid->GridLineWidth());
    Form->PaintPending();
    EXPECT_EQ(drawn, 1) << "only the damaged cell is drawn";
}

namespace {
// Counts the whole-grid repaints and every question whether the editor may
// show.
class TCountingGrid : public TStringGrid {
public:
    using TStringGrid::TStringGrid;
    int Invalidates = 0, EditShowQuestions = 0;
    void Invalidate() override {
        ++Invalidates;
        TStringGrid::Invalidate();
    }
    bool CanEditShow() override {
        ++EditShowQuestions;
        return TStringGrid::CanEditShow();
    }
    void TypeIntoEditor(QChar ch) { ShowEditorChar(ch); }
};
}  // namespace

TEST_F(GridTest, SetOptionsRepaintsOnceAndAsksAboutTheEditorOnlyWhenAlwaysShowingIt) {
    Form = NewObject<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 500, 400);
    auto* g = NewObject<TCountingGrid>(Form);
    g->SetParent(Form);
    g->SetBounds(0, 0, 400, 300);
    Form->Show();
    g->SetFocus();
    g->Invalidates = g->EditShowQuestions = 0;
    g->SetOptions(g->Options() | goEditing);
    EXPECT_EQ(g->Invalidates, 1);
    EXPECT_EQ(g->EditShowQuestions, 0);
    g->SetOptions(g->Options() | goAlwaysShowEditor);
    EXPECT_GT(g->EditShowQuestions, 0) << "switching the editor on asks";
    g->SetOptions(g->Options() & ~goAlwaysShowEditor);

    // A typed character opens the editor and lands in it.
    g->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goEditing);
    g->HideEditor();
    ASSERT_FALSE(g->InplaceEditor() && g->InplaceEditor()->Visible());
    g->TypeIntoEditor(QChar('x'));
    DrainPostedMessages();
    ASSERT_NE(g->InplaceEditor(), nullptr);
    EXPECT_TRUE(g->InplaceEditor()->Visible());
    EXPECT_EQ(g->InplaceEditor()->Text(), "x");
}

TEST_F(GridTest, TheSizingCursorShowsOverAColumnLineOfTheFixedRow) {
    NewGrid();
    Grid->SetOptions(Grid->Options() | goColSizing);
    Grid->SetCursor(crHandPoint);
    const TRect cell = Grid->CellRect(1, 0);
    Input::MouseMove(Grid, cell.Right, cell.Top + 5);
    EXPECT_EQ(ShownCursor(), crHSplit);
    Input::MouseMove(Grid, (cell.Left + cell.Right) / 2, cell.Top + 30);
    EXPECT_EQ(ShownCursor(), crHandPoint) << "over a cell: the grid's own cursor";
}

// A scroll moves the cells already drawn: only the strip of the row or
// column that comes into view is painted, the fixed cells stay, and the
// picture is the one a full paint of the scrolled grid gives.
TEST_F(GridTest, AOneCellScrollPaintsOnlyTheStripThatComesIntoView) {
    NewGrid();
    Grid->SetColCount(20);
    Grid->SetRowCount(1000);
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 20; ++c) Grid->SetCells(c, r, QString("%1:%2").arg(c).arg(r));
    Render();
    const int w = Grid->ClientWidth(), h = Grid->ClientHeight();
    const QRect client(2, 2, w, h);
    struct Case {
        const char* What;
        unsigned Msg, Code;
        TGridOptions Options;
        QRect Strip;  // grid client coordinates
    } cases[] = {
        {"a line down", WM_VSCROLL, SB_LINEDOWN, 0, QRect(0, h - 25, w, 25)},
        {"a line up", WM_VSCROLL, SB_LINEUP, 0, QRect(0, 25, w, 25)},
        {"a column right", WM_HSCROLL, SB_LINEDOWN, 0, QRect(w - 65, 0, 65, h)},
        {"a column left", WM_HSCROLL, SB_LINEUP, 0, QRect(65, 0, 65, h)},
        {"a line down selecting rows", WM_VSCROLL, SB_LINEDOWN, goRowSelect, QRect(0, h - 25, w, 25)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.What);
        Grid->SetOptions(Grid->Options() | k.Options);
        Render();
        const QImage before = Form->Surface()->copy();
        Grid->Drawn.clear();
        Grid->Perform(k.Msg, k.Code);
        EXPECT_EQ(Form->UpdateRegion() & client, QRegion(k.Strip.translated(2, 2)))
            << "only the strip that came into view waits to be painted";
        Form->PaintPending();
        for (const DrawnCell& d : Grid->Drawn)
            EXPECT_TRUE(QRect(d.Rect.Left, d.Rect.Top, d.Rect.Width(), d.Rect.Height()).intersects(k.Strip))
                << "cell " << d.Col << "," << d.Row << " was drawn again";
        // The fixed corner never moves or repaints.
        EXPECT_TRUE(before.copy(2, 2, 65, 25) == Form->Surface()->copy(2, 2, 65, 25));
        const QImage scrolled = Form->Surface()->copy();
        EXPECT_TRUE(scrolled == Render()) << "the moved cells differ from a full paint";
        Grid->SetOptions(Grid->Options() & ~k.Options);
    }
}

TEST_F(GridTest, ACellWaitingToBePaintedIsStillWaitingAtItsPlaceAfterAScroll) {
    NewGrid();
    Grid->SetRowCount(1000);
    Render();
    Grid->SetTopRow(5);
    Form->PaintPending();
    Grid->InvalidateCell(2, 8);
    const QRect cell = Form->UpdateRegion().boundingRect();
    Grid->Perform(WM_VSCROLL, SB_LINEDOWN);
    const int h = Grid->ClientHeight();
    const QRegion client(2, 2, Grid->ClientWidth(), h);
    EXPECT_EQ(Form->UpdateRegion() & client,
              QRegion(cell.translated(0, -25)) + QRegion(2, 2 + h - 25, Grid->ClientWidth(), 25));
    // A scroll too far for anything to stay in view paints the whole grid.
    Form->PaintPending();
    Grid->SetTopRow(500);
    EXPECT_EQ(Form->UpdateRegion() & client, client);
}
