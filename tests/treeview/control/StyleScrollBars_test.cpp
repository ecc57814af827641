// Styled scroll bars: the hook's geometry and painting from bar data of its
// own, and a tree switched to it whose thumb the hook drags.
#include "ControlKit.h"

#include "platform/controls/Forms.h"

namespace {
struct TDrawn {
    TLTScrollBarElement Element;
    TLTScrollBarPartState State;
    TRect R;
};

// A hook whose bars are what the test says, and which records its drawing.
class TFakeHook : public TVclStyleScrollBarsHook {
public:
    using TVclStyleScrollBarsHook::TVclStyleScrollBarsHook;
    using TVclStyleScrollBarsHook::ThumbRect;
    bool UseOwnData = true;
    TLTScrollBarInfo Vert, Horz;
    QList<TDrawn> Drawn;

protected:
    bool GetScrollBarInfo(bool Vertical, TLTScrollBarInfo& Info) override {
        if (!UseOwnData) return TVclStyleScrollBarsHook::GetScrollBarInfo(Vertical, Info);
        Info = Vertical ? Vert : Horz;
        return true;
    }
    void DrawElement(TCanvas* C, TLTScrollBarElement E, TLTScrollBarPartState S, const TRect& R) override {
        Drawn << TDrawn{E, S, R};
        TVclStyleScrollBarsHook::DrawElement(C, E, S, R);
    }
};

class StyleScrollBars : public ControlTest {
protected:
    // Screen rectangle of a client rectangle of t.
    static TRect ScreenRect(TBaseLazyTree* t, TRect r) {
        const TPoint p = t->ClientToScreen(Point(r.Left, r.Top));
        return Rect(p.X, p.Y, p.X + r.Width(), p.Y + r.Height());
    }
    TFakeHook* Install(TBaseLazyTree* t) {
        auto hook = std::make_unique<TFakeHook>(t);
        TFakeHook* h = hook.get();
        t->SetStyleScrollBarsHook(std::move(hook));
        return h;
    }
    static QList<TDrawn> Of(const QList<TDrawn>& all, TLTScrollBarElement e) {
        QList<TDrawn> out;
        for (const TDrawn& d : all)
            if (d.Element == e) out << d;
        return out;
    }
};
}  // namespace

TEST_F(StyleScrollBars, BarsMeasureAndPlaceFromTheirData) {
    TViewTree* t = NewTree(300, 200);
    t->SetBounds(10, 20, 300, 200);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoVisible});
    const int hh = t->Header()->Height();
    TFakeHook* h = Install(t);
    h->Vert.ScrollBar = ScreenRect(t, Rect(280, 0, 297, 180));
    h->Vert.ThumbTop = 40;
    h->Vert.ThumbBottom = 70;
    h->Horz.ScrollBar = ScreenRect(t, Rect(0, 180, 280, 197));
    h->Horz.ThumbTop = 17;
    h->Horz.ThumbBottom = 60;
    h->MeasureScrollBars();
    const int v = GetSystemMetrics(SM_CYVTHUMB), x = GetSystemMetrics(SM_CXHTHUMB);
    // No client edge: client coordinates as they are.
    EXPECT_EQ(h->FVertScrollBarRect, Rect(280, 0, 297, 180));
    EXPECT_EQ(h->FVertScrollBarUpButtonRect, Rect(280, 0, 297, v));
    EXPECT_EQ(h->FVertScrollBarDownButtonRect, Rect(280, 180 - v, 297, 180));
    EXPECT_EQ(h->FVertScrollBarSliderTrackRect, Rect(280, v, 297, 180 - v));
    EXPECT_EQ(h->FHorzScrollBarUpButtonRect, Rect(0, 180, x, 197));
    EXPECT_EQ(h->FHorzScrollBarDownButtonRect, Rect(280 - x, 180, 280, 197));
    EXPECT_EQ(h->ThumbRect(true), Rect(280, 40, 297, 70));
    EXPECT_EQ(h->ThumbRect(false), Rect(17, 180, 60, 197));
    h->PlaceScrollBarWindows();
    TVclStyleScrollBarWindow* vw = h->VertScrollBarWindow();
    EXPECT_EQ(vw->Parent(), t->Parent());
    EXPECT_TRUE(vw->Visible());
    EXPECT_EQ(vw->BoundsRect(), Bounds(10 + 280, 20 + hh, 17, 200 - hh));
    EXPECT_EQ(h->HorzScrollBarWindow()->BoundsRect(), Bounds(10, 20 + 180 + hh, 280, 17));
    EXPECT_TRUE(vw->ScrollBarVertical());

    // A border with a client edge moves the bars by the edge and shortens
    // the vertical window by two edges; the border width moves both.
    t->SetBorderStyle(bsSingle);
    t->SetCtl3D(true);
    t->SetBorderWidth(3);
    h->Vert.ScrollBar = ScreenRect(t, Rect(280, 0, 297, 180));
    h->MeasureScrollBars();
    const int ex = GetSystemMetrics(SM_CXEDGE), ey = GetSystemMetrics(SM_CYEDGE);
    EXPECT_EQ(h->FVertScrollBarRect, Rect(280 + ex, ey, 297 + ex, 180 + ey));
    h->PlaceScrollBarWindows();
    EXPECT_EQ(vw->BoundsRect(), Bounds(t->Left() + 280 + ex + 3, t->Top() + ey + hh + 3, 17, 200 - hh - 2 * ey - 3));

    // A bar the system marks invisible has its window hidden.
    h->Horz.Invisible = true;
    h->MeasureScrollBars();
    h->PlaceScrollBarWindows();
    EXPECT_FALSE(h->HorzScrollBarWindow()->Visible());
    EXPECT_TRUE(h->FHorzScrollBarRect.IsEmpty());
}

TEST_F(StyleScrollBars, PaintingShowsPartStatesAndDisabledBars) {
    TViewTree* t = NewTree(300, 200);
    TFakeHook* h = Install(t);
    h->Vert.ScrollBar = ScreenRect(t, Rect(280, 0, 297, 180));
    h->Vert.ThumbTop = 40;
    h->Vert.ThumbBottom = 70;
    h->Horz.Invisible = true;
    h->MeasureScrollBars();
    h->PlaceScrollBarWindows();
    h->FVertScrollBarSliderState = spsHot;
    h->FVertScrollBarDownButtonState = spsPressed;
    TBitmap target(300, 200, pf32bit);
    h->PaintVertScrollBar(target.Canvas());
    // Bitmap coordinates: the bar starts at (0, 0).
    ASSERT_EQ(Of(h->Drawn, sbeThumbVert).size(), 1);
    EXPECT_EQ(Of(h->Drawn, sbeThumbVert)[0].State, spsHot);
    EXPECT_EQ(Of(h->Drawn, sbeThumbVert)[0].R, Rect(0, 40, 17, 70));
    EXPECT_EQ(Of(h->Drawn, sbeArrowUp)[0].State, spsNormal);
    EXPECT_EQ(Of(h->Drawn, sbeArrowDown)[0].State, spsPressed);
    EXPECT_EQ(Of(h->Drawn, sbeTrack).size(), 2);  // the whole bar, then the track
    // The bar lands at its place: its pixels changed, the rest did not.
    EXPECT_NE(target.Canvas()->Pixels(288, 55), target.Canvas()->Pixels(100, 55));

    // A bar marked unavailable: disabled arrows and no thumb.
    h->Drawn.clear();
    h->Vert.Unavailable = true;
    h->MeasureScrollBars();
    h->PaintVertScrollBar(target.Canvas());
    EXPECT_TRUE(Of(h->Drawn, sbeThumbVert).isEmpty());
    EXPECT_EQ(Of(h->Drawn, sbeArrowUp)[0].State, spsDisabled);
    EXPECT_EQ(Of(h->Drawn, sbeArrowDown)[0].State, spsDisabled);
    // A hidden bar paints nothing.
    h->Drawn.clear();
    h->PaintHorzScrollBar(target.Canvas());
    EXPECT_TRUE(h->Drawn.isEmpty());
}

TEST_F(StyleScrollBars, HotTrackingAndTheHeader) {
    TViewTree* t = NewTree(300, 200);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoVisible});
    for (int i = 0; i < 2; ++i) t->Header()->Columns()->Add()->SetWidth(100);
    TFakeHook* h = Install(t);
    h->Vert.ScrollBar = ScreenRect(t, Rect(280, 0, 297, 180));
    h->Vert.ThumbTop = 40;
    h->Vert.ThumbBottom = 70;
    h->Horz.Invisible = true;
    h->MeasureScrollBars();
    const auto nc = [&](unsigned msg, int x, int y) {
        const TPoint s = t->ClientToScreen(Point(x, y));
        return t->Perform(msg, 0, MakeLParam(s.X, s.Y));
    };
    nc(WM_NCMOUSEMOVE, 288, 5);
    EXPECT_EQ(h->FVertScrollBarUpButtonState, spsHot);
    nc(WM_NCMOUSEMOVE, 288, 50);
    EXPECT_EQ(h->FVertScrollBarUpButtonState, spsNormal);
    EXPECT_EQ(h->FVertScrollBarSliderState, spsHot);
    t->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(h->FVertScrollBarSliderState, spsNormal);
    // An arrow press shows pressed; the release over it makes it hot.
    nc(WM_NCLBUTTONDOWN, 288, 175);
    EXPECT_EQ(h->FVertScrollBarDownButtonState, spsPressed);
    nc(WM_NCLBUTTONUP, 288, 175);
    EXPECT_EQ(h->FVertScrollBarDownButtonState, spsHot);
    // A press over the header is the header's.
    nc(WM_NCLBUTTONDOWN, 150, -t->Header()->Height() / 2);
    EXPECT_FALSE(t->Header()->States().Empty());
    t->Perform(WM_LBUTTONUP, 0, MakeLParam(150, -t->Header()->Height() / 2));
    EXPECT_TRUE(t->Header()->States().Empty());
}

TEST_F(StyleScrollBars, ATreeSwitchedToItDragsItsThumbToTheEnd) {
    TViewTree* plain = NewTree(300, 200);
    EXPECT_FALSE(plain->StyledScrollBars());
    EXPECT_EQ(plain->StyleScrollBarsHook(), nullptr);

    TViewTree* t = NewTree(300, 200);
    t->SetRootNodeCount(100);
    t->SetStyledScrollBars(true);
    ASSERT_NE(t->StyleScrollBarsHook(), nullptr);
    EXPECT_TRUE(t->StyleScrollBarsHook()->VertScrollBarWindow()->Visible());
    EXPECT_FALSE(t->StyleScrollBarsHook()->HorzScrollBarWindow()->Visible());
    // The same hook on the tree's own bars, its thumb reachable.
    TFakeHook* h = Install(t);
    h->UseOwnData = false;
    h->MeasureScrollBars();
    h->PlaceScrollBarWindows();
    TVclStyleScrollBarsHook* hook = h;
    EXPECT_TRUE(hook->VertScrollBarWindow()->Visible());
    EXPECT_FALSE(hook->FVertScrollBarRect.IsEmpty());
    TScrollInfo si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(t, SB_VERT, si));
    ASSERT_GT(si.nPage, 0u);
    const TRect thumb = h->ThumbRect(true);
    ASSERT_FALSE(thumb.IsEmpty());
    const TPoint grab = t->ClientToScreen(Point((thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2));
    t->Perform(WM_NCLBUTTONDOWN, HTVSCROLL, MakeLParam(grab.X, grab.Y));
    EXPECT_EQ(hook->FVertScrollBarSliderState, spsPressed);
    EXPECT_TRUE(t->MouseCapture());
    // Far past the end: the position stops at max - page + 1.
    t->Perform(WM_MOUSEMOVE, 0, MakeLParam((thumb.Left + thumb.Right) / 2, 5000));
    const int last = si.nMax - int(si.nPage) + 1;
    EXPECT_EQ(GetScrollPos(t, SB_VERT), last);
    Application()->ProcessMessages();
    EXPECT_EQ(-t->OffsetY(), last);
    t->Perform(WM_LBUTTONUP, 0, MakeLParam((thumb.Left + thumb.Right) / 2, 5000));
    EXPECT_EQ(hook->FVertScrollBarSliderState, spsNormal);
    EXPECT_FALSE(t->MouseCapture());
    Application()->ProcessMessages();
    // Switched off, the windows go and the plain bars stay.
    t->SetStyledScrollBars(false);
    EXPECT_EQ(t->StyleScrollBarsHook(), nullptr);
    EXPECT_EQ(GetScrollPos(t, SB_VERT), last);
}
