// The string grid under the moving mouse: cell hints through the
// application's hint machinery, the mark-up hint window and the hovered row.
#include "gridpack/stringgrid/periphery/MouseGridTest.h"
#include "gridpack/stringgrid/ExHTMLHint.h"
#include "platform/controls/Timers.h"

namespace {

class HintTest : public MouseGridTest {
protected:
    void SetUp() override
    {
        MouseGridTest::SetUp();
        Grid->SetShowHint(true);
        Grid->HintShowCells = true;
    }
    // Rests the mouse over (c, r) for the application's pause.
    void Rest(int c, int r)
    {
        const TPoint p = Mid(c, r);
        Input::MouseMove(Grid, p.X, p.Y);
        AdvanceTime(unsigned(Application()->HintPause));
    }
    THintWindow* Hint() { return Application()->HintWindow(); }
    bool HintShowing() { return Hint() && Hint()->Active(); }
};

} // namespace

TEST_F(HintTest, ANormalCellShowsItsTextWithoutMarkupAtItsTopAndTheCursorsX)
{
    Grid->SetCells(2, 3, "<b>bold</b> text");
    Rest(2, 3);
    ASSERT_TRUE(HintShowing());
    EXPECT_EQ(Hint()->Caption(), "bold text");
    const TRect rc = Grid->CellRect(2, 3);
    const TPoint at = Grid->ClientToScreen(Point(Mid(2, 3).X, rc.Top));
    EXPECT_EQ(Hint()->Left(), at.X);
    EXPECT_EQ(Hint()->Top(), at.Y);
    // A plain text needs no mark-up window.
    EXPECT_EQ(dynamic_cast<THTMLHintWindow*>(Hint()), nullptr);
    EXPECT_EQ(Grid->FLastHintPos, Point(2, 3));
}

TEST_F(HintTest, FixedCellsShowNoCellTextAndOffShowsNoCellText)
{
    Grid->SetHint("");
    Rest(2, 0);
    EXPECT_FALSE(HintShowing()) << "a fixed header cell has no cell-text hint";
    Rest(0, 4);
    EXPECT_FALSE(HintShowing()) << "a fixed column cell has no cell-text hint";
    Grid->HintShowCells = false;
    Rest(3, 4);
    EXPECT_FALSE(HintShowing());
}

TEST_F(HintTest, ReachingAnotherCellHidesTheHintAtOnceAndTheNewOneFollowsAfterThePause)
{
    Rest(2, 3);
    ASSERT_TRUE(HintShowing());
    EXPECT_EQ(Hint()->Caption(), "c3");
    // Another point of the same cell keeps it.
    const TRect rc = Grid->CellRect(2, 3);
    Input::MouseMove(Grid, rc.Left + 2, rc.Top + 2);
    EXPECT_TRUE(HintShowing());
    const TPoint p = Mid(3, 5);
    Input::MouseMove(Grid, p.X, p.Y);
    EXPECT_FALSE(HintShowing()) << "hidden as soon as the pointer reaches another cell";
    EXPECT_EQ(Grid->FLastHintPos, Point(-1, -1));
    AdvanceTime(unsigned(Application()->HintPause));
    ASSERT_TRUE(HintShowing());
    EXPECT_EQ(Hint()->Caption(), "d5");
}

TEST_F(HintTest, OnGridHintReceivesThePreparedTextAndMayReplaceIt)
{
    struct Seen { int Row, Col; QString Text; };
    std::vector<Seen> seen;
    Grid->OnGridHint = [&](TObject* Sender, int ARow, int ACol, QString& hint) {
        EXPECT_EQ(Sender, Grid);
        seen.push_back({ARow, ACol, hint});
        if (ARow == 0)
            hint = QString("header %1").arg(ACol);
    };
    Rest(2, 3);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Row, 3);
    EXPECT_EQ(seen[0].Col, 2);
    EXPECT_EQ(seen[0].Text, "c3");
    // A fixed cell reaches the handler with no text; the handler gives it one.
    Rest(4, 0);
    ASSERT_TRUE(HintShowing());
    EXPECT_EQ(Hint()->Caption(), "header 4");
    EXPECT_EQ(seen.back().Text, "");
    // Cleared by the handler: nothing shows.
    Grid->OnGridHint = [](TObject*, int, int, QString& hint) { hint.clear(); };
    Rest(1, 2);
    EXPECT_FALSE(HintShowing());
}

TEST_F(HintTest, TheLastRowUnderAShownFixedFooterAsksNoHandler)
{
    int calls = 0;
    Grid->OnGridHint = [&](TObject*, int, int, QString&) { ++calls; };
    Grid->FloatingFooter()->Visible = true;
    Grid->FloatingFooter()->FooterStyle = fsFixedLastRow;
    const int last = Grid->RowCount() - 1;
    Rest(2, last);
    EXPECT_EQ(calls, 0);
    Rest(2, last - 1);
    EXPECT_EQ(calls, 1);
    // Without the footer the last row asks like any other.
    Grid->FloatingFooter()->Visible = false;
    Rest(2, last);
    EXPECT_EQ(calls, 2);
}

TEST_F(HintTest, AMarkupHintUsesTheMarkupWindowSizedToTheRenderedText)
{
    Grid->HTMLHint = true;
    Grid->SetCells(3, 2, "<b>bold</b> and <i>italic</i>");
    Rest(3, 2);
    ASSERT_TRUE(HintShowing());
    auto* w = dynamic_cast<THTMLHintWindow*>(Hint());
    ASSERT_NE(w, nullptr) << "a mark-up hint is shown by the mark-up window";
    EXPECT_EQ(w->Caption(), "<b>bold</b> and <i>italic</i>");
    EXPECT_GT(w->TextWidth(), 0);
    EXPECT_GT(w->TextHeight(), 0);
    EXPECT_EQ(w->Width(), w->TextWidth() + 16);
    EXPECT_EQ(w->Height(), w->TextHeight() + 4);
    // Without the internal class the ordinary window shows it.
    Grid->UseInternalHintClass = false;
    Rest(2, 5);
    Rest(3, 2);
    ASSERT_TRUE(HintShowing());
    EXPECT_EQ(dynamic_cast<THTMLHintWindow*>(Hint()), nullptr);
}

TEST_F(HintTest, TheMarkupWindowStaysTwoPixelsInsideTheScreen)
{
    THTMLHintWindow w(nullptr);
    const TSize scr = ScreenSize();
    w.ActivateHint(Rect(scr.cx - 5, scr.cy - 5, scr.cx, scr.cy), "<b>edge</b>");
    EXPECT_EQ(w.Left() + w.Width(), scr.cx - 2);
    EXPECT_EQ(w.Top() + w.Height(), scr.cy - 2);
    // CalcHintRect answers the text alone.
    const TRect r = w.CalcHintRect(1000, "<b>edge</b>", nullptr);
    EXPECT_EQ(r, Rect(0, 0, w.TextWidth(), w.TextHeight()));
    w.ReleaseHandle();
}

TEST_F(HintTest, HoverRowRepaintsOnlyTheRowsWhoseHoverChanged)
{
    // Off (as in the program's dialogs): moving tracks no row.
    Input::MouseMove(Grid, Mid(2, 3).X, Mid(2, 3).Y);
    Input::MouseMove(Grid, Mid(2, 5).X, Mid(2, 5).Y);
    EXPECT_EQ(Grid->FHoverRowIdx, -1);
    Grid->HoverRow = true;
    Input::MouseMove(Grid, Mid(2, 3).X, Mid(2, 3).Y);
    EXPECT_EQ(Grid->FHoverRowIdx, 3);
    Input::MouseMove(Grid, Mid(4, 3).X, Mid(4, 3).Y);
    EXPECT_EQ(Grid->FHoverRowIdx, 3);
    Input::MouseMove(Grid, Mid(4, 6).X, Mid(4, 6).Y);
    EXPECT_EQ(Grid->FHoverRowIdx, 6);
    // Leaving forgets it.
    Input::MouseLeave();
    EXPECT_EQ(Grid->FHoverRowIdx, -1);
}
