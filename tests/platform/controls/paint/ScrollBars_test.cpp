// The scroll-bar facility: scroll information, the bars' room, and the mouse
// on them.
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "platform/controls/ScrollBars.h"
#include "platform/controls/Timers.h"
#include "support/ToolkitTest.h"

#include <gtest/gtest.h>

namespace {

// A control with both window bars; it logs the scroll messages and moves
// its vertical position as a scrolling control does.
class TScroller : public TCustomControl {
public:
    explicit TScroller(TWinControl* parent) : TCustomControl(parent) {
        SetParent(parent);
        SetBounds(10, 10, 200, 150);
    }
    struct Msg {
        unsigned Code;
        int Pos;
    };
    QList<Msg> Vert;

protected:
    void CreateParams(TCreateParams& P) override {
        TCustomControl::CreateParams(P);
        P.Style |= WS_VSCROLL;
    }
    void WndProc(TMessage& M) override {
        if (M.Msg != WM_VSCROLL) {
            TCustomControl::WndProc(M);
            return;
        }
        const unsigned code = unsigned(M.WParam & 0xFFFF);
        const int pos = int((M.WParam >> 16) & 0xFFFF);
        Vert << Msg{code, pos};
        int p = GetScrollPos(this, SB_VERT);
        switch (code) {
        case SB_LINEDOWN: ++p; break;
        case SB_LINEUP: --p; break;
        case SB_PAGEDOWN: p += 10; break;
        case SB_PAGEUP: p -= 10; break;
        case SB_THUMBPOSITION: p = pos; break;
        default: return;
        }
        SetScrollPos(this, SB_VERT, p, true);
    }
};

class ScrollBarsTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        SetTickCountForTest(50000);
        Form = new TForm(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetClientSize(400, 300);
        S = new TScroller(Form);
        Form->Show();
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        SetTickCountForTest(-1);
    }
    void SetInfo(int min, int max, unsigned page, int pos, unsigned extra = 0) {
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | extra;
        si.nMin = min;
        si.nMax = max;
        si.nPage = page;
        si.nPos = pos;
        SetScrollInfo(S, SB_VERT, si, true);
    }
    // A point of the vertical bar, in the control's client coordinates.
    TPoint BarPoint(TScrollBarPart part) {
        TRect r = S->ScrollBarsState()->PartRect(SB_VERT, part);
        const TRect in = S->NCInsets();
        return Point((r.Left + r.Right) / 2 - in.Left, (r.Top + r.Bottom) / 2 - in.Top);
    }
    TScroller* S = nullptr;
};

}  // namespace

TEST_F(ScrollBarsTest, ScrollInformationReadsBackClamped) {
    struct Case {
        int Min, Max;
        unsigned Page;
        int Pos, Expected;
    };
    const Case cases[] = {
        {0, 99, 10, 95, 90},   // the position stops at Max - Page + 1
        {0, 99, 10, 50, 50},
        {0, 99, 0, 120, 99},   // without a page at Max
        {10, 20, 1, 5, 10},    // below Min
        {0, 99, 150, 40, 0},   // a page larger than the range: nothing to scroll
    };
    for (const Case& c : cases) {
        SetInfo(c.Min, c.Max, c.Page, c.Pos);
        TScrollInfo si;
        si.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(S, SB_VERT, si));
        EXPECT_EQ(si.nPos, c.Expected) << c.Min << ".." << c.Max << " page " << c.Page << " pos " << c.Pos;
        EXPECT_EQ(si.nTrackPos, c.Expected);
        EXPECT_LE(si.nPage, unsigned(c.Max - c.Min + 1));
    }
    // The old position comes back from SetScrollPos.
    SetInfo(0, 99, 10, 20);
    EXPECT_EQ(SetScrollPos(S, SB_VERT, 30, true), 20);
    EXPECT_EQ(GetScrollPos(S, SB_VERT), 30);
}

TEST_F(ScrollBarsTest, APageCoveringTheRangeHidesOrDisablesTheBar) {
    const int full = S->ClientWidth() + 0;
    SetInfo(0, 99, 10, 0);
    ASSERT_TRUE(S->ScrollBarsState()->Bar(SB_VERT).Shown);
    EXPECT_EQ(S->ClientWidth(), 200 - 17) << "a shown bar takes 17 pixels";
    EXPECT_TRUE(S->ScrollBarsState()->Scrollable(SB_VERT));

    SetInfo(0, 99, 100, 0);
    EXPECT_FALSE(S->ScrollBarsState()->Bar(SB_VERT).Shown) << "hidden without SIF_DISABLENOSCROLL";
    EXPECT_EQ(S->ClientWidth(), 200) << "a hidden bar takes no room";

    SetInfo(0, 99, 120, 0, SIF_DISABLENOSCROLL);
    EXPECT_TRUE(S->ScrollBarsState()->Bar(SB_VERT).Shown);
    EXPECT_FALSE(S->ScrollBarsState()->Scrollable(SB_VERT)) << "kept, but disabled";
    EXPECT_EQ(S->ClientWidth(), 200 - 17);
    EXPECT_TRUE(S->ScrollBarsState()->PartRect(SB_VERT, sbpThumb).IsEmpty()) << "no thumb when disabled";
    (void)full;

    // ShowScrollBar and the horizontal bar.
    ShowScrollBar(S, SB_HORZ, true);
    EXPECT_EQ(S->ClientHeight(), 150 - 17);
    ShowScrollBar(S, SB_BOTH, false);
    EXPECT_EQ(S->ClientWidth(), 200);
    EXPECT_EQ(S->ClientHeight(), 150);
}

TEST_F(ScrollBarsTest, TheBarAnswersItsHitTestAndPaintsInTheNonClientArea) {
    SetInfo(0, 99, 10, 0);
    const TPoint onBar = S->ClientToScreen(BarPoint(sbpPageDown));
    EXPECT_EQ(S->Perform(WM_NCHITTEST, 0, MakeLParam(onBar.X, onBar.Y)), HTVSCROLL);
    const TPoint inside = S->ClientToScreen(Point(5, 5));
    EXPECT_EQ(S->Perform(WM_NCHITTEST, 0, MakeLParam(inside.X, inside.Y)), HTCLIENT);
    const QImage img = Form->RenderClient();
    // The track's colour shows between the thumb and the down arrow.
    const TPoint p = BarPoint(sbpPageDown);
    const TPoint at = Point(10 + p.X, 10 + p.Y);
    EXPECT_EQ(img.pixel(at.X, at.Y) & 0xFFFFFF, ColorToQColor(clScrollBar).rgb() & 0xFFFFFF);
}

TEST_F(ScrollBarsTest, ArrowsRepeatWhileHeldAndPageClicksPage) {
    SetInfo(0, 99, 10, 0);
    const TPoint down = BarPoint(sbpLineDown);
    Input::MouseDown(S, mbLeft, down.X, down.Y);
    ASSERT_EQ(S->Vert.size(), 1);
    EXPECT_EQ(S->Vert[0].Code, unsigned(SB_LINEDOWN));
    AdvanceTime(399);
    EXPECT_EQ(S->Vert.size(), 1) << "the first repeat waits";
    AdvanceTime(1);
    EXPECT_EQ(S->Vert.size(), 2);
    AdvanceTime(300);
    EXPECT_EQ(S->Vert.size(), 5) << "then steadily, while held";
    for (const auto& m : S->Vert) EXPECT_EQ(m.Code, unsigned(SB_LINEDOWN));
    Input::MouseUp(S, mbLeft, down.X, down.Y);
    ASSERT_EQ(S->Vert.size(), 6);
    EXPECT_EQ(S->Vert.back().Code, unsigned(SB_ENDSCROLL));
    AdvanceTime(1000);
    EXPECT_EQ(S->Vert.size(), 6) << "released: no more repeats";
    EXPECT_EQ(GetScrollPos(S, SB_VERT), 5);

    S->Vert.clear();
    const TPoint below = BarPoint(sbpPageDown);
    Input::Click(S, below.X, below.Y);
    ASSERT_EQ(S->Vert.size(), 2);
    EXPECT_EQ(S->Vert[0].Code, unsigned(SB_PAGEDOWN));
    EXPECT_EQ(S->Vert[1].Code, unsigned(SB_ENDSCROLL));
    EXPECT_EQ(GetScrollPos(S, SB_VERT), 15);

    S->Vert.clear();
    const TPoint above = BarPoint(sbpPageUp);
    Input::Click(S, above.X, above.Y);
    ASSERT_FALSE(S->Vert.isEmpty());
    EXPECT_EQ(S->Vert[0].Code, unsigned(SB_PAGEUP));
}

TEST_F(ScrollBarsTest, DraggingTheThumbTracksThenSetsThePosition) {
    SetInfo(0, 99, 10, 0);
    const TRect track = S->ScrollBarsState()->PartRect(SB_VERT, sbpPageDown);
    const TPoint grab = BarPoint(sbpThumb);
    Input::MouseDown(S, mbLeft, grab.X, grab.Y);
    EXPECT_TRUE(S->Vert.isEmpty()) << "taking the thumb sends nothing yet";
    Input::MouseMove(S, grab.X, grab.Y + 20, ssLeft);
    ASSERT_EQ(S->Vert.size(), 1);
    EXPECT_EQ(S->Vert[0].Code, unsigned(SB_THUMBTRACK));
    const int tracked = S->Vert[0].Pos;
    EXPECT_GT(tracked, 0);
    TScrollInfo si;
    si.fMask = SIF_TRACKPOS | SIF_POS;
    GetScrollInfo(S, SB_VERT, si);
    EXPECT_EQ(si.nTrackPos, tracked) << "the track position while dragging";
    EXPECT_EQ(si.nPos, 0) << "the position itself waits for the release";
    // Far past the end of the track: the last position.
    Input::MouseMove(S, grab.X, grab.Y + track.Bottom + 200, ssLeft);
    EXPECT_EQ(S->Vert.back().Code, unsigned(SB_THUMBTRACK));
    EXPECT_EQ(S->Vert.back().Pos, 90);
    Input::MouseUp(S, mbLeft, grab.X, grab.Y + track.Bottom + 200);
    ASSERT_GE(S->Vert.size(), 3);
    EXPECT_EQ(S->Vert[S->Vert.size() - 2].Code, unsigned(SB_THUMBPOSITION));
    EXPECT_EQ(S->Vert[S->Vert.size() - 2].Pos, 90);
    EXPECT_EQ(S->Vert.back().Code, unsigned(SB_ENDSCROLL));
    EXPECT_EQ(GetScrollPos(S, SB_VERT), 90);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(ScrollBarsTest, ADisabledBarTakesNoClicks) {
    SetInfo(0, 99, 10, 0);
    EnableScrollBar(S, SB_VERT, ESB_DISABLE_BOTH);
    const TPoint down = BarPoint(sbpLineDown);
    Input::Click(S, down.X, down.Y);
    EXPECT_TRUE(S->Vert.isEmpty());
    EnableScrollBar(S, SB_VERT, ESB_ENABLE_BOTH);
    Input::Click(S, down.X, down.Y);
    EXPECT_FALSE(S->Vert.isEmpty());
}

TEST_F(ScrollBarsTest, FlatAndThinBarsAreLooksOfTheSameBars) {
    SetInfo(0, 99, 10, 0);
    ASSERT_TRUE(InitializeFlatSB(S));
    int style = -1;
    ASSERT_TRUE(FlatSB_GetScrollProp(S, WSB_PROP_VSTYLE, style));
    EXPECT_EQ(style, FSB_FLAT_MODE);
    EXPECT_EQ(S->ClientWidth(), 200 - 17);
    FlatSB_SetScrollProp(S, WSB_PROP_CXVSCROLL, 8, true);
    EXPECT_EQ(S->ClientWidth(), 200 - 8) << "a thin bar takes its own width";
    EXPECT_EQ(FlatSB_SetScrollPos(S, SB_VERT, 40, true), 0);
    EXPECT_EQ(GetScrollPos(S, SB_VERT), 40);
    const TPoint down = BarPoint(sbpLineDown);
    Input::Click(S, down.X, down.Y);
    ASSERT_FALSE(S->Vert.isEmpty());
    EXPECT_EQ(S->Vert[0].Code, unsigned(SB_LINEDOWN));
}
