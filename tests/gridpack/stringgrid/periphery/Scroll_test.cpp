// The string grid's scroll bars and panning: the thumb's hint, the search
// footer, the proportional thumbs, the top-left follow-up, the thin Metro
// bars and middle-button panning.
#include "gridpack/stringgrid/inplace/EditTestKit.h"
#include "gridpack/stringgrid/ExHTMLHint.h"
#include "gridpack/stringgrid/ExScrollControl.h"
#include "platform/controls/ScrollBars.h"
#include "platform/core/MathUtils.h"

namespace {

class ScrollTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        NewGrid(false);
        Grid->SetRowCount(100);
    }
    LRESULT Scroll(unsigned msg, unsigned code, int pos = 0)
    {
        return Grid->Perform(msg, WPARAM(code) | (WPARAM(std::uint16_t(pos)) << 16), 0);
    }
};

} // namespace

TEST_F(ScrollTest, DraggingTheThumbHintsTheRowItStandsForAndTheHandlerMayReplaceIt)
{
    Grid->ScrollHints = shVertical;
    const int expected = MulDiv(64, 100 - Grid->VisibleRowCount() - 1, 127) + 1;
    Scroll(WM_VSCROLL, SB_THUMBTRACK, 64);
    ASSERT_TRUE(Grid->ScrollThumbHintShown());
    EXPECT_EQ(Grid->ScrollThumbHint()->Caption(), QString("Row : %1").arg(expected));
    EXPECT_EQ(Grid->TopRow(), 1) << "without ScrollSynch the grid waits for the thumb";
    int asked = -1;
    Grid->OnScrollHint = [&](TObject*, int ARow, QString& hint) {
        asked = ARow;
        hint = QString("Line %1").arg(ARow);
    };
    Grid->ScrollSynch = true;
    Scroll(WM_VSCROLL, SB_THUMBTRACK, 127);
    EXPECT_EQ(asked, 100 - Grid->VisibleRowCount());
    EXPECT_EQ(Grid->ScrollThumbHint()->Caption(), QString("Line %1").arg(asked));
    EXPECT_EQ(Grid->TopRow(), asked) << "ScrollSynch follows the thumb";
    Scroll(WM_VSCROLL, SB_ENDSCROLL);
    EXPECT_FALSE(Grid->ScrollThumbHintShown());

    // Columns read "Col : " and only with a horizontal hint setting.
    Grid->OnScrollHint = nullptr;
    Grid->SetColCount(40);
    Scroll(WM_HSCROLL, SB_THUMBTRACK, 10);
    EXPECT_FALSE(Grid->ScrollThumbHintShown());
    Grid->ScrollHints = shBoth;
    Scroll(WM_HSCROLL, SB_THUMBTRACK, 0);
    EXPECT_EQ(Grid->ScrollThumbHint()->Caption(), QString("Col : 1"));
}

TEST_F(ScrollTest, WithTheSearchFooterScrollingDownNeverLeavesTheLastRowBehindIt)
{
    Grid->SearchFooter()->SetVisible(true);
    DrainPostedMessages();
    for (int i = 0; i < 200; ++i)
        Scroll(WM_VSCROLL, SB_LINEDOWN);
    Scroll(WM_VSCROLL, SB_ENDSCROLL);
    const TRect last = Grid->CellRect(1, 99);
    ASSERT_FALSE(last.Bottom == 0 && last.Top == 0) << "the last row is in view";
    EXPECT_LE(last.Bottom, Grid->ClientHeight() - Grid->SearchPanel()->Height() + 2);
    EXPECT_TRUE(Grid->IsLastRowAboveSearchPanel());
    const int top = Grid->TopRow();
    EXPECT_EQ(Scroll(WM_VSCROLL, SB_LINEDOWN), 1) << "nothing more to scroll";
    EXPECT_EQ(Grid->TopRow(), top);
}

TEST_F(ScrollTest, ProportionalThumbsWriteOnlyWhenRowsAreOutOfView)
{
    Grid->SetScrollProportional(true);
    // A few rows fit: nothing is written, whatever stood there stays.
    Grid->SetRowCount(5);
    auto info = [&] {
        TScrollInfo si;
        si.fMask = SIF_ALL;
        ::GetScrollInfo(Grid, SB_VERT, si);
        return si;
    };
    const TScrollInfo before = info();
    Grid->UpdateVertScrollProportional();
    TScrollInfo si = info();
    EXPECT_EQ(si.nMax, before.nMax);
    EXPECT_EQ(si.nPage, before.nPage);
    EXPECT_EQ(si.nPos, before.nPos);

    // Tiny scrolling rows: shorter than the control, yet out of view behind
    // a tall header. The position is then the end of the range.
    Grid->SetRowCount(30);
    Grid->SetRowHeights(0, Grid->ClientHeight() - 10);
    for (int r = 1; r < 30; ++r)
        Grid->SetRowHeights(r, 5);
    ASSERT_LT(Grid->VisibleRowCount() + 1, 30);
    Grid->UpdateVertScrollProportional();
    si = info();
    const int lw = Grid->GridLineWidth();
    const int b = lw + lw + Grid->RowHeights(0), c = lw + 29 * (lw + 5);
    const float e = float(Grid->Height() - b) / float(c);
    ASSERT_LT(e, 0.9999f);
    EXPECT_EQ(si.nMax, int((e + 127.0f) / (1.0f - e)));
    EXPECT_EQ(int(si.nPage), si.nMax - 126);
    EXPECT_EQ(si.nPos, 127);

    // Off, nothing is touched.
    Grid->SetScrollProportional(false);
    Grid->SetTopRow(3);
    const TScrollInfo plain = info();
    Grid->UpdateVertScrollProportional();
    si = info();
    EXPECT_EQ(si.nMax, plain.nMax);
    EXPECT_EQ(si.nPos, plain.nPos);

    // Switching it on writes the proportional thumb at once.
    Grid->SetScrollProportional(true);
    si = info();
    EXPECT_EQ(si.nMax, int((e + 127.0f) / (1.0f - e)));
    EXPECT_EQ(int(si.nPage), si.nMax - 126);
}

TEST_F(ScrollTest, AHorizontalThumbWithoutScrollingExtentIsLeftAlone)
{
    Grid->SetScrollProportional(true);
    Grid->SetGridLineWidth(0);
    Grid->SetColCount(3);
    Grid->SetColWidths(0, 900);
    Grid->SetColWidths(1, 0);
    Grid->SetColWidths(2, 0);
    TScrollInfo before;
    before.fMask = SIF_ALL;
    ::GetScrollInfo(Grid, SB_HORZ, before);
    Grid->UpdateHorzScrollProportional();
    TScrollInfo si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(Grid, SB_HORZ, si);
    EXPECT_EQ(si.nMax, before.nMax);
    EXPECT_EQ(si.nPage, before.nPage);
}

TEST_F(ScrollTest, ScrollingColumnsWiderThanTheGridGetAProportionalThumb)
{
    Grid->SetScrollProportional(true);
    Grid->SetColCount(20);
    Grid->SetLeftCol(4);
    Grid->UpdateHorzScrollProportional();
    TScrollInfo si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(Grid, SB_HORZ, si);
    const int lw = Grid->GridLineWidth(), w = Grid->DefaultColWidth();
    const int b = lw + (lw + w), c = lw + 19 * (lw + w), d = lw + 3 * (lw + w);
    const float e = float(Grid->Width() - b) / float(c);
    EXPECT_EQ(si.nMax, int((e + 127.0f) / (1.0f - e)));
    EXPECT_EQ(int(si.nPage), si.nMax - 126);
    EXPECT_EQ(si.nPos, int(float(d) / float(c - Grid->Width()) * 128.0f));
}

// ---------------------------------------------------------------------------
// The thin bars
// ---------------------------------------------------------------------------

TEST(ThinScrollBar, ThumbGeometry)
{
    struct Case {
        const char* what;
        int length, start, track, visible, count, fixed, first;
        bool thumb;
        int pos, len;
    } cases[] = {
        {"100 rows, 20 shown, a 20-pixel header", 400, 20, 380, 20, 100, 1, 1, true, 20, 76},
        {"half-way down", 400, 20, 380, 20, 100, 1, 50, true, 20 + 188, 76},
        {"a short thumb is 20 long", 400, 20, 380, 2, 1000, 1, 1, true, 20, 20},
        {"a thumb past the end comes back", 400, 20, 380, 2, 1000, 1, 999, true, 380, 20},
        {"every row fits", 400, 20, 380, 99, 100, 1, 1, false, 0, 0},
        {"only fixed rows", 400, 20, 380, 0, 1, 1, 1, false, 0, 0},
        {"no track left", 10, 20, -10, 5, 100, 1, 1, false, 0, 0},
    };
    for (const Case& c : cases) {
        int pos = 0, len = 0;
        const bool thumb =
            TScrollControl::ThumbMetrics(c.length, c.start, c.track, c.visible, c.count, c.fixed, c.first, pos, len);
        EXPECT_EQ(thumb, c.thumb) << c.what;
        if (thumb && c.thumb) {
            EXPECT_EQ(pos, c.pos) << c.what;
            EXPECT_EQ(len, c.len) << c.what;
        }
    }
}

TEST_F(ScrollTest, TheMetroBarsPageAndDragTheGrid)
{
    Grid->SetScrollType(ssMetro);
    auto* bar = dynamic_cast<TScrollControl*>(Grid->VertScrollControl());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->Direction(), sdVertical);
    ASSERT_EQ(dynamic_cast<TScrollControl*>(Grid->HorzScrollControl())->Direction(), sdHorizontal);
    int pos = 0, len = 0;
    ASSERT_TRUE(bar->Thumb(pos, len));
    EXPECT_EQ(pos, Grid->RowHeights(0));
    const int page = Grid->VisibleRowCount();
    // A press below the thumb pages forward, above it back.
    Input::Click(bar, 2, bar->Height() - 2);
    EXPECT_EQ(Grid->TopRow(), 1 + page);
    Input::Click(bar, 2, Grid->RowHeights(0) + 1);
    EXPECT_EQ(Grid->TopRow(), 1);
    // Dragging the thumb moves by the share of the strip.
    ASSERT_TRUE(bar->Thumb(pos, len));
    Input::MouseDown(bar, mbLeft, 2, pos + 1);
    EXPECT_TRUE(bar->Dragging());
    const int span = bar->Height() - Grid->RowHeights(0);
    Input::MouseMove(bar, 2, pos + 1 + span / 4);
    EXPECT_EQ(Grid->TopRow(), 1 + int(std::nearbyint(double(span / 4) / span * 100)));
    Input::MouseUp(bar, mbLeft, 2, pos + 1 + span / 4);
    EXPECT_FALSE(bar->Dragging());
    // A top-left change repaints the bars.
    Grid->SetTopRow(10);
    ASSERT_TRUE(bar->Thumb(pos, len));
    EXPECT_GT(pos, Grid->RowHeights(0));
}

TEST_F(ScrollTest, AMetroBarOverOnlyFixedRowsNeitherDrawsNorSteps)
{
    Grid->SetScrollType(ssMetro);
    auto* bar = dynamic_cast<TScrollControl*>(Grid->VertScrollControl());
    ASSERT_NE(bar, nullptr);
    Grid->FixedRowAlways = true;
    Grid->SetRowCount(1);
    ASSERT_EQ(Grid->FixedRows(), Grid->RowCount());
    int pos = 0, len = 0;
    EXPECT_FALSE(bar->Thumb(pos, len));
    Input::MouseDown(bar, mbLeft, 2, 50);
    Input::MouseMove(bar, 2, 150);
    Input::MouseUp(bar, mbLeft, 2, 150);
    EXPECT_EQ(Grid->TopRow(), 0);
}

// ---------------------------------------------------------------------------
// Panning
// ---------------------------------------------------------------------------

namespace {

class PanTest : public ScrollTest {
protected:
    void Press(unsigned msg, int x, int y) { Grid->Perform(msg, 0, MakeLParam(x, y)); }
    void Tick() { Grid->Perform(WM_TIMER, TExStringGrid::PanTimerIdent, 0); }
    void PointerAt(int x, int y) { SetCursorPos(Grid->ClientToScreen(Point(x, y))); }
};

} // namespace

TEST_F(PanTest, TheMiddleButtonPansOneRowPerTickAndAnyPressStops)
{
    Grid->SetRow(5);
    Grid->SetCursor(crIBeam);
    Press(WM_MBUTTONDOWN, 100, 100);
    ASSERT_TRUE(Grid->wheelpan);
    EXPECT_EQ(Grid->Cursor(), 8000);
    EXPECT_NE(Grid->wheeltimer, 0u);
    EXPECT_EQ(Grid->wheelpanpos, Point(100, 100));
    EXPECT_EQ(GetCaptureControl(), Grid);

    // Within 5 pixels nothing moves.
    PointerAt(100, 105);
    Tick();
    EXPECT_EQ(Grid->Row(), 5);
    EXPECT_EQ(Grid->Cursor(), 8000);
    // Six below: one row down per tick.
    PointerAt(100, 106);
    Tick();
    EXPECT_EQ(Grid->Row(), 6);
    EXPECT_EQ(Grid->Cursor(), 8001);
    Tick();
    EXPECT_EQ(Grid->Row(), 7);
    // ipVertical never moves sideways.
    PointerAt(200, 100);
    Tick();
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 7);

    // A key stops and restores the cursor; the key still reaches the grid.
    Grid->Perform(WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_FALSE(Grid->wheelpan);
    EXPECT_EQ(Grid->Cursor(), crIBeam);
    EXPECT_NE(GetCaptureControl(), Grid);
}

TEST_F(PanTest, SidewaysPanningNeverScrollsVertically)
{
    Grid->SetColCount(20);
    Grid->IntelliPan = ipHorizontal;
    Press(WM_MBUTTONDOWN, 100, 100);
    ASSERT_TRUE(Grid->wheelpan);
    PointerAt(120, 160);
    Tick();
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Cursor(), 8003);
    Press(WM_LBUTTONDOWN, 5, 5);
    EXPECT_FALSE(Grid->wheelpan);
}

TEST_F(PanTest, WaScrollMovesTheTopRowAndTheMiddleButtonStopsAsWell)
{
    Grid->MouseActions()->SetWheelAction(waScroll);
    Press(WM_MBUTTONDOWN, 100, 100);
    PointerAt(100, 40);
    Grid->SetTopRow(10);
    Tick();
    EXPECT_EQ(Grid->TopRow(), 9);
    EXPECT_EQ(Grid->Cursor(), 8004);
    EXPECT_EQ(Grid->Row(), 1) << "the current row stays";
    Press(WM_MBUTTONDOWN, 100, 100);
    EXPECT_FALSE(Grid->wheelpan) << "a second middle press ends panning";
}

TEST_F(PanTest, NoPanningWithoutNormalRowsOrWithIpNone)
{
    // A header row kept alone (FixedRowAlways): every row is fixed.
    Grid->FixedRowAlways = true;
    Grid->SetRowCount(1);
    ASSERT_EQ(Grid->FixedRows(), Grid->RowCount());
    Press(WM_MBUTTONDOWN, 50, 10);
    EXPECT_FALSE(Grid->wheelpan);
    Grid->FixedRowAlways = false;
    Grid->SetRowCount(10);
    Grid->IntelliPan = ipNone;
    Press(WM_MBUTTONDOWN, 50, 10);
    EXPECT_FALSE(Grid->wheelpan);
}
