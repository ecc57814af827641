// The header's mouse handling, driven by the window messages the platform
// sends for the non-client strip (screen coordinates) and, while the mouse
// is captured, for the client area.
#include "ControlKit.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Timers.h"

namespace {
TLazyTreeColumns* Cols(TBaseLazyTree* t) { return t->Header()->Columns(); }

class HeaderMouse : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        SetTickCountForTest(100000);
    }
    void TearDown() override {
        for (TBaseLazyTree* t : Trees) {
            t->OnHeaderClick = nullptr;
            t->OnHeaderDragged = nullptr;
            t->OnHeaderDraggedOut = nullptr;
        }
        ControlTest::TearDown();
    }
    // A tree whose header shows n columns 50 pixels wide.
    TViewTree* HeaderTree(int n) {
        TViewTree* t = NewTree(400, 200);
        for (int i = 0; i < n; ++i) {
            TLazyTreeColumn* c = Cols(t)->Add();
            c->SetWidth(50);
            c->SetText(QStringLiteral("C%1").arg(i));
        }
        t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoVisible});
        return t;
    }
    // Non-client messages carry screen coordinates; client ones client ones.
    static LRESULT NC(TBaseLazyTree* t, unsigned msg, int x, int y) {
        const TPoint s = t->ClientToScreen(Point(x, y));
        return t->Perform(msg, 0, MakeLParam(s.X, s.Y));
    }
    static LRESULT Client(TBaseLazyTree* t, unsigned msg, int x, int y) {
        return t->Perform(msg, 0, MakeLParam(x, y));
    }
    // Client y of the middle of the header strip.
    static int HeaderY(TBaseLazyTree* t) { return -t->Header()->Height() / 2; }
    // Drags the column under x0 to x1 in the header and drops it there.
    static void DragColumn(TBaseLazyTree* t, int x0, int x1) {
        const int y = HeaderY(t);
        NC(t, WM_NCLBUTTONDOWN, x0, y);
        Client(t, WM_MOUSEMOVE, x0 + (x1 > x0 ? 10 : -10), y);
        Client(t, WM_MOUSEMOVE, x1, y);
        Client(t, WM_LBUTTONUP, x1, y);
    }
    static QList<int> Order(TBaseLazyTree* t) {
        QList<int> out;
        for (TColumnIndex i : Cols(t)->PositionToIndex()) out << i;
        return out;
    }
};
}  // namespace

TEST_F(HeaderMouse, ASplitterAnswersFromTwoLeftToFourRightOfTheEdge) {
    TViewTree* t = HeaderTree(3);
    ASSERT_EQ(t->Header()->SplitterHitTolerance, 8);
    const int y = HeaderY(t);
    for (int x = 94; x <= 108; ++x) {
        const bool hit = t->Header()->FindSplitterColumn(Point(x, y));
        const bool expected = x >= 98 && x <= 104;
        EXPECT_EQ(hit, expected) << x;
        if (hit) {
            EXPECT_EQ(Cols(t)->TrackIndex(), 1);
            EXPECT_EQ(t->Header()->TrackPoint().X, 50);  // the column's left edge
        }
    }
}

TEST_F(HeaderMouse, WidthTrackingFollowsTheMouse) {
    TViewTree* t = HeaderTree(2);
    const int y = HeaderY(t);
    int after = -1;
    t->OnAfterColumnWidthTracking = [&](TLTHeader*, TColumnIndex c) { after = c; };
    NC(t, WM_NCLBUTTONDOWN, 51, y);
    EXPECT_TRUE(t->Header()->States().Contains(hsColumnWidthTrackPending));
    Client(t, WM_MOUSEMOVE, 60, y);
    EXPECT_TRUE(t->Header()->States().Contains(hsColumnWidthTracking));
    Client(t, WM_MOUSEMOVE, 80, y);
    EXPECT_EQ(Cols(t)->Items(0)->Width(), 80);
    Client(t, WM_LBUTTONUP, 80, y);
    EXPECT_TRUE(t->Header()->States().Empty());
    EXPECT_EQ(after, 0);
    t->OnAfterColumnWidthTracking = nullptr;
}

TEST_F(HeaderMouse, TheBottomEdgeWinsOverASplitter) {
    TViewTree* t = HeaderTree(2);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoHeightResize});
    const int h = t->Header()->Height();
    NC(t, WM_NCLBUTTONDOWN, 50, -1);  // one pixel above the bottom edge, on the splitter
    EXPECT_TRUE(t->Header()->States().Contains(hsHeightTrackPending));
    Client(t, WM_MOUSEMOVE, 50, 0);
    Client(t, WM_MOUSEMOVE, 50, 6);
    EXPECT_EQ(t->Header()->Height(), h + 6);
    Client(t, WM_LBUTTONUP, 50, 6);
    EXPECT_EQ(Cols(t)->Items(0)->Width(), 50);
    // Without the option the same press tracks the column's width.
    t->Header()->SetOptions(t->Header()->Options() - TLTHeaderOptions{hoHeightResize});
    NC(t, WM_NCLBUTTONDOWN, 50, -1);
    EXPECT_TRUE(t->Header()->States().Contains(hsColumnWidthTrackPending));
    Client(t, WM_LBUTTONUP, 50, -1);
}

TEST_F(HeaderMouse, ASmallMoveIsAClickAndALargerOneDrags) {
    TViewTree* t = HeaderTree(3);
    const int y = HeaderY(t);
    QList<int> clicks;
    t->OnHeaderClick = [&](TLTHeader*, TLTHeaderHitInfo& hit) { clicks << hit.Column; };
    NC(t, WM_NCLBUTTONDOWN, 75, y);
    EXPECT_TRUE(t->Header()->States().Contains(hsDragPending));
    Client(t, WM_MOUSEMOVE, 80, y);  // 5 pixels: no drag yet
    EXPECT_FALSE(t->Header()->States().Contains(hsDragging));
    Client(t, WM_LBUTTONUP, 80, y);
    EXPECT_EQ(clicks, QList<int>{1});
    EXPECT_EQ(Order(t), (QList<int>{0, 1, 2}));

    NC(t, WM_NCLBUTTONDOWN, 75, y);
    Client(t, WM_MOUSEMOVE, 81, y);
    EXPECT_TRUE(t->Header()->States().Contains(hsDragging));
    ASSERT_NE(t->Header()->DragImage(), nullptr);
    EXPECT_EQ(t->Header()->DragImage()->Width(), 50);
    EXPECT_EQ(t->Header()->DragImagePosition(), t->ClientToScreen(Point(50, -t->Header()->Height())));
    Client(t, WM_LBUTTONUP, 81, y);
    EXPECT_EQ(clicks, QList<int>{1});  // a drag is no click
}

// The dragged column's picture shows in a layered pop-up that follows the
// mouse: never active, the mouse passes through, its alpha the drag image's
// fading channel scaled by 140, the colours darkened before.
TEST_F(HeaderMouse, TheDraggedColumnShowsInALayeredWindow) {
    TViewTree* t = HeaderTree(3);
    const int y = HeaderY(t);
    NC(t, WM_NCLBUTTONDOWN, 75, y);
    EXPECT_EQ(t->Header()->DragWindow(), nullptr);
    Client(t, WM_MOUSEMOVE, 81, y);
    TCustomForm* w = t->Header()->DragWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Showing());
    EXPECT_TRUE(w->ClickThrough());
    EXPECT_NE(Screen()->ActiveForm(), w);
    const TPoint at = t->Header()->DragImagePosition();
    EXPECT_EQ(Point(w->Left(), w->Top()), at);
    EXPECT_EQ(w->Width(), 50);
    EXPECT_EQ(w->Height(), t->Header()->Height());
    TBitmap* img = t->Header()->DragWindowImage();
    ASSERT_NE(img, nullptr);
    TLTDragImage* d = t->Header()->ColumnDragImage();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Transparency, 140);
    EXPECT_EQ(d->PreBlendBias, -50);
    const int cx = 25, cy = t->Header()->Height() / 2;
    const TRGBQuad centre = img->ScanLine(cy)[cx];
    const TRGBQuad prepared = d->DragImageBitmap()->ScanLine(cy)[cx];
    EXPECT_EQ(centre.rgbReserved, (prepared.rgbReserved * 140 + 127) / 255);
    EXPECT_GT(centre.rgbReserved, img->ScanLine(0)[0].rgbReserved);
    // Premultiplied: no colour exceeds its alpha.
    EXPECT_LE(centre.rgbRed, centre.rgbReserved);
    // Darkened by the pre-blend bias: the button face's grey loses 50.
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_NEAR(prepared.rgbRed, std::max(0, int(GetRValue(face)) - 50), 1);

    // The window follows the mouse; hoRestrictDrag keeps it on its row.
    Client(t, WM_MOUSEMOVE, 101, y + 7);
    EXPECT_EQ(Point(w->Left(), w->Top()), Point(at.X + 20, at.Y + 7));
    Client(t, WM_LBUTTONUP, 101, y + 7);
    EXPECT_EQ(t->Header()->DragWindow(), nullptr);
    EXPECT_EQ(t->Header()->DragImage(), nullptr);

    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoRestrictDrag});
    NC(t, WM_NCLBUTTONDOWN, 75, y);
    Client(t, WM_MOUSEMOVE, 81, y);
    w = t->Header()->DragWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(t->Header()->ColumnDragImage()->MoveRestriction, dmrHorizontalOnly);
    Client(t, WM_MOUSEMOVE, 101, y + 7);
    EXPECT_EQ(Point(w->Left(), w->Top()), Point(at.X + 20, at.Y));
    // Escape ends the drag and the window goes.
    t->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(t->Header()->DragWindow(), nullptr);
}

// Onto the left half of the column at position 3: from the left the
// dragged column ends at position 2, from the right at position 3.
TEST_F(HeaderMouse, DropPositionsDependOnWhereTheColumnCameFrom) {
    TViewTree* t = HeaderTree(5);
    QList<QPair<int, int>> dragged;
    t->OnHeaderDragged = [&](TLTHeader*, TColumnIndex c, int old) { dragged << qMakePair(int(c), old); };
    DragColumn(t, 25, 3 * 50 + 10);
    EXPECT_EQ(Cols(t)->Items(0)->Position(), 2u);
    EXPECT_EQ(Order(t), (QList<int>{1, 2, 0, 3, 4}));
    DragColumn(t, 4 * 50 + 25, 3 * 50 + 10);
    EXPECT_EQ(Cols(t)->Items(4)->Position(), 3u);
    EXPECT_EQ(Order(t), (QList<int>{1, 2, 0, 4, 3}));
    EXPECT_EQ(dragged, (QList<QPair<int, int>>{{0, 0}, {4, 4}}));
    EXPECT_EQ(Cols(t)->DropTarget(), NoColumn);
}

TEST_F(HeaderMouse, EscapeEndsADragWithoutMovingAnything) {
    TViewTree* t = HeaderTree(3);
    int dragged = 0;
    t->OnHeaderDragged = [&](TLTHeader*, TColumnIndex, int) { ++dragged; };
    const int y = HeaderY(t);
    NC(t, WM_NCLBUTTONDOWN, 25, y);
    Client(t, WM_MOUSEMOVE, 40, y);
    Client(t, WM_MOUSEMOVE, 140, y);
    EXPECT_EQ(Cols(t)->DropTarget(), 2);
    t->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(t->Header()->States().Empty());
    EXPECT_EQ(t->Header()->DragImage(), nullptr);
    Client(t, WM_LBUTTONUP, 140, y);
    EXPECT_EQ(Order(t), (QList<int>{0, 1, 2}));
    EXPECT_EQ(dragged, 0);
}

TEST_F(HeaderMouse, ReleasingOutsideTheTreeIsADragOut) {
    TViewTree* t = HeaderTree(3);
    TPoint out;
    TColumnIndex which = NoColumn;
    t->OnHeaderDraggedOut = [&](TLTHeader*, TColumnIndex c, TPoint p) {
        which = c;
        out = p;
    };
    const int y = HeaderY(t);
    NC(t, WM_NCLBUTTONDOWN, 75, y);
    Client(t, WM_MOUSEMOVE, 90, y);
    Client(t, WM_MOUSEMOVE, 125, y);
    Client(t, WM_LBUTTONUP, 600, 300);
    EXPECT_EQ(which, 1);
    EXPECT_EQ(out, t->ClientToScreen(Point(600, 300)));
    EXPECT_EQ(Order(t), (QList<int>{0, 1, 2}));
}

TEST_F(HeaderMouse, ACheckBoxClickTogglesAndDoesNotSort) {
    TViewTree* t = HeaderTree(2);
    TLazyTreeColumn* c = Cols(t)->Items(1);
    c->SetWidth(120);
    c->SetCheckBox(true);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoShowImages, hoHeaderClickAutoSort});
    TBitmap strip(400, t->Header()->Height(), pf32bit);
    Cols(t)->PaintHeader(strip.Canvas(), Rect(0, 0, 400, t->Header()->Height()), Point(0, 0));
    ASSERT_TRUE(c->HasImage());
    const TRect box = c->ImageRect();
    const int x = (box.Left + box.Right) / 2, y = (box.Top + box.Bottom) / 2 - t->Header()->Height();
    NC(t, WM_NCLBUTTONDOWN, x, y);
    NC(t, WM_NCLBUTTONUP, x, y);
    EXPECT_EQ(c->CheckState(), csCheckedNormal);
    EXPECT_EQ(t->Header()->SortColumn(), NoColumn);
    // A click beside the box sorts by the column.
    NC(t, WM_NCLBUTTONDOWN, box.Right + 30, HeaderY(t));
    NC(t, WM_NCLBUTTONUP, box.Right + 30, HeaderY(t));
    EXPECT_EQ(t->Header()->SortColumn(), 1);
    EXPECT_EQ(c->CheckState(), csCheckedNormal);
}

TEST_F(HeaderMouse, LeavingTheHeaderClearsTheHotColumnAtTheNextTick) {
    TViewTree* t = HeaderTree(2);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoHotTrack});
    SetCursorPos(t->ClientToScreen(Point(20, HeaderY(t))));
    NC(t, WM_NCMOUSEMOVE, 20, HeaderY(t));
    EXPECT_EQ(Cols(t)->HoverIndex(), 0);
    EXPECT_TRUE(IsTimerSet(t, TBaseLazyTree::HeaderTimer));
    AdvanceTime(50);
    EXPECT_EQ(Cols(t)->HoverIndex(), 0);  // still over the header
    SetCursorPos(t->ClientToScreen(Point(20, 100)));
    AdvanceTime(49);
    EXPECT_EQ(Cols(t)->HoverIndex(), 0);
    AdvanceTime(1);
    EXPECT_EQ(Cols(t)->HoverIndex(), NoColumn);
    EXPECT_FALSE(IsTimerSet(t, TBaseLazyTree::HeaderTimer));
}

TEST_F(HeaderMouse, ADoubleClickOnASplitterFitsTheColumn) {
    TViewTree* t = HeaderTree(2);
    t->SetRootNodeCount(3);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoDblClickResize});
    NC(t, WM_NCLBUTTONDBLCLK, 50, HeaderY(t));
    EXPECT_EQ(Cols(t)->Items(0)->Width(), t->GetMaxColumnWidth(0, false));
    EXPECT_EQ(Cols(t)->Items(1)->Width(), 50);
}

// The border between the fixed and the scrolling columns is a splitter in
// the client area too, down to the last node's bottom; other borders are not.
TEST_F(HeaderMouse, TheFixedAreaBorderIsASplitterDownToTheLastNode) {
    TViewTree* t = HeaderTree(3);
    Cols(t)->Items(0)->SetOptions(Cols(t)->Items(0)->Options() + TLTColumnOptions{coFixed});
    t->SetRootNodeCount(3);
    const int bottom = int(t->RangeY());
    ASSERT_EQ(bottom, 3 * int(t->DefaultNodeHeight()));
    const struct {
        int X, Y;
        bool Splitter;
    } cases[] = {
        {50, 5, true}, {52, bottom, true}, {50, bottom + 1, false},  // the fixed border, to the last node
        {100, 5, false},                                             // between two scrolling columns
        {100, HeaderY(t), true},                                      // the same border in the header
    };
    for (const auto& c : cases) EXPECT_EQ(t->Header()->IsInColumnSplitter(Point(c.X, c.Y)), c.Splitter) << c.X << "," << c.Y;

    // A press there tracks the fixed column's width from the client area.
    Client(t, WM_LBUTTONDOWN, 50, 5);
    EXPECT_TRUE(t->Header()->States().Contains(hsColumnWidthTrackPending));
    Client(t, WM_MOUSEMOVE, 60, 5);
    Client(t, WM_MOUSEMOVE, 70, 5);
    Client(t, WM_LBUTTONUP, 70, 5);
    EXPECT_EQ(Cols(t)->Items(0)->Width(), 70);
    EXPECT_TRUE(t->Header()->States().Empty());
    // Without hoColumnResize no border is a splitter.
    t->Header()->SetOptions(t->Header()->Options() - TLTHeaderOptions{hoColumnResize});
    EXPECT_FALSE(t->Header()->IsInColumnSplitter(Point(70, 5)));
}

// WM_SETCURSOR over the splitters: cursor 63 for a column splitter, 62 for
// the bottom edge with hoHeightResize; OnGetHeaderCursor may choose another,
// and the default cursor leaves the message to the tree.
TEST_F(HeaderMouse, SplittersSetTheirCursors) {
    TViewTree* t = HeaderTree(2);
    const auto setCursor = [&](int x, int y) {
        SetCursorPos(t->ClientToScreen(Point(x, y)));
        return t->Perform(WM_SETCURSOR, 0, 0);
    };
    EXPECT_EQ(setCursor(50, HeaderY(t)), 1);
    EXPECT_EQ(ShownCursor(), TCursor(63));
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoHeightResize});
    EXPECT_EQ(setCursor(20, -1), 1);
    EXPECT_EQ(ShownCursor(), TCursor(62));
    // Between the splitters the header leaves the cursor to the tree.
    SetCursorPos(t->ClientToScreen(Point(25, HeaderY(t))));
    TMessage m{WM_SETCURSOR, 0, 0, 0};
    EXPECT_FALSE(t->Header()->HandleHeaderMessage(m));
    TCursor chosen = crDefault;
    t->OnGetHeaderCursor = [&](TLTHeader*, TCursor& c) { c = chosen; };
    SetCursorPos(t->ClientToScreen(Point(50, HeaderY(t))));
    m = TMessage{WM_SETCURSOR, 0, 0, 0};
    EXPECT_FALSE(t->Header()->HandleHeaderMessage(m));
    chosen = crHandPoint;
    EXPECT_EQ(setCursor(50, HeaderY(t)), 1);
    EXPECT_EQ(ShownCursor(), crHandPoint);
    // While the header tracks, every WM_SETCURSOR is taken as it is.
    t->OnGetHeaderCursor = nullptr;
    NC(t, WM_NCLBUTTONDOWN, 50, HeaderY(t));
    m = TMessage{WM_SETCURSOR, 0, 0, 0};
    SetCursorPos(t->ClientToScreen(Point(25, HeaderY(t))));
    EXPECT_TRUE(t->Header()->HandleHeaderMessage(m));
    EXPECT_EQ(m.Result, 1);
    Client(t, WM_LBUTTONUP, 50, HeaderY(t));
}
