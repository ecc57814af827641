// Hit testing, hot tracking and the cursor.
#include "InputKit.h"

namespace {

using HitTest = InputTest;

// A (A1, A2), B, C: rows 0, 18, 36 (A expanded), 54, 72; the text of a
// top-level node starts at 4 + 18 (margin and root indent).
struct Fixture {
    PLazyNode A, A1, A2, B, C;
};

Fixture Build(InputTest* test, TInputTree* t) {
    Fixture f{};
    (void)test;
    f.A = t->AddChild(nullptr);
    f.A1 = t->AddChild(f.A);
    f.A2 = t->AddChild(f.A);
    f.B = t->AddChild(nullptr);
    f.C = t->AddChild(nullptr);
    t->SetExpanded(f.A, true);
    return f;
}

TEST_F(HitTest, OutsideTheClientAreaOnlyTheSideIsTold) {
    TInputTree* t = NewTree();
    Fixture f = Build(this, t);
    (void)f;
    struct Case {
        int x, y;
        THitPositions expected;
    } cases[] = {
        {-1, 5, {hiToLeft}},
        {30, -1, {hiAbove}},
        {-3, -3, {hiToLeft, hiAbove}},
        {301, 5, {hiToRight}},
        {30, 301, {hiBelow}},
    };
    for (const Case& c : cases) {
        const THitInfo h = Hit(t, c.x, c.y);
        EXPECT_EQ(h.HitPositions, c.expected) << c.x << "," << c.y;
        EXPECT_EQ(h.HitNode, nullptr) << c.x << "," << c.y;
    }
}

TEST_F(HitTest, BelowTheLastNodeIsNowhereAndRightOfTheLastColumnIsInvalid) {
    TInputTree* t = NewTree();
    Build(this, t);
    THitInfo h = Hit(t, 30, 200);
    EXPECT_EQ(h.HitPositions, THitPositions({hiNowhere}));
    EXPECT_EQ(h.HitNode, nullptr);

    t->Header()->Columns()->Add()->SetWidth(100);
    t->Header()->Columns()->Add()->SetWidth(50);
    h = Hit(t, 200, 5);
    EXPECT_EQ(h.HitColumn, InvalidColumn);
    EXPECT_TRUE(h.HitPositions.Contains(hiNowhere));
    h = Hit(t, 120, 5);
    EXPECT_EQ(h.HitColumn, 1);
    EXPECT_TRUE(h.HitPositions.Contains(hiOnItem));
}

TEST_F(HitTest, RowZonesLeftToRight) {
    TInputTree* t = NewTree();
    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() + TLTMiscOptions{toCheckSupport});
    Fixture f = Build(this, t);
    t->SetCheckType(f.A, ctCheckBox);
    const int cw = t->CheckImages()->Width();
    // A is top level: indent 18, margin 4, check box, then 40 pixels of text.
    const int text = 18 + 4 + cw + 2;
    struct Case {
        int x;
        THitPositions expected;
    } cases[] = {
        {2, {hiOnItem, hiOnItemButton}},
        {10, {hiOnItem, hiOnItemButton, hiOnItemButtonExact}},
        {20, {hiOnItem, hiOnItemButton, hiOnItemButtonExact}},  // the margin belongs to the button zone
        {23, {hiOnItem, hiOnItemCheckbox}},
        {text, {hiOnItem, hiOnItemLabel}},
        {text + 39, {hiOnItem, hiOnItemLabel}},
        {text + 40, {hiOnItem, hiOnItemRight}},
    };
    for (const Case& c : cases) {
        const THitInfo h = Hit(t, c.x, 5);
        EXPECT_EQ(h.HitNode, f.A) << c.x;
        EXPECT_EQ(h.HitPositions, c.expected) << c.x;
    }
    // B has neither children nor a check box: the indent zone is plain.
    EXPECT_EQ(Hit(t, 2, 54 + 5).HitPositions, THitPositions({hiOnItem}));
    EXPECT_EQ(Hit(t, 23, 54 + 5).HitPositions, THitPositions({hiOnItem, hiOnItemLabel}));
}

TEST_F(HitTest, RightToLeftTheMarginBelongsToTheCheckBox) {
    TInputTree* t = NewTree();
    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() + TLTMiscOptions{toCheckSupport});
    t->SetBiDiMode(bdRightToLeft);
    Fixture f = Build(this, t);
    t->SetCheckType(f.A, ctCheckBox);
    // Without columns the row is max(client width, range) wide: 300.
    const int a = 300 - 18;
    EXPECT_EQ(Hit(t, a - 2, 5).HitPositions, THitPositions({hiOnItem, hiOnItemCheckbox}));
    EXPECT_EQ(Hit(t, a + 2, 5).HitPositions, THitPositions({hiOnItem, hiOnItemButton, hiOnItemButtonExact}));
    EXPECT_EQ(Hit(t, a + 12, 5).HitPositions, THitPositions({hiOnItem, hiOnItemButton}));
}

TEST_F(HitTest, NearTheLeadingEdgeOfAnotherColumnIsTheStateIcon) {
    TInputTree* t = NewTree();
    t->Header()->Columns()->Add()->SetWidth(100);
    t->Header()->Columns()->Add()->SetWidth(100);
    Build(this, t);
    // Column 1 has no indent; within its margin lies the state-image test.
    EXPECT_EQ(Hit(t, 102, 5).HitPositions, THitPositions({hiOnItem, hiOnStateIcon}));
    EXPECT_EQ(Hit(t, 110, 5).HitPositions, THitPositions({hiOnItem, hiOnItemLabel}));
    t->SetBiDiMode(bdLeftToRight);
    t->Header()->Columns()->Items(1)->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(Hit(t, 197, 5).HitPositions, THitPositions({hiOnItem, hiOnStateIcon}));
}

TEST_F(HitTest, AutoSpanReportsTheFirstFilledCellToTheLeft) {
    TInputTree* t = NewTree();
    for (int i = 0; i < 3; ++i) t->Header()->Columns()->Add()->SetWidth(80);
    t->TreeOptions()->SetAutoOptions(t->TreeOptions()->AutoOptions() + TLTAutoOptions{toAutoSpanColumns});
    Build(this, t);
    // A string tree's cell with a text is never empty: no default text here.
    t->SetDefaultText(QString());
    t->OnGetCellIsEmpty = [](TBaseLazyTree*, PLazyNode, TColumnIndex c, bool& empty) { empty = c != 0; };
    EXPECT_EQ(Hit(t, 200, 5).HitColumn, 0);
}

TEST_F(HitTest, HotNodeOnlyOverTextUnlessFullRowSelect) {
    TInputTree* t = NewTree();
    Fixture f = Build(this, t);
    QList<PLazyNode> changes;
    t->OnHotChange = [&](TBaseLazyTree*, PLazyNode, PLazyNode n) { changes << n; };
    t->TrackHotNode(200, 5);  // free space right of A's text
    EXPECT_EQ(t->HotNode(), nullptr);
    t->TrackHotNode(30, 5);
    EXPECT_EQ(t->HotNode(), f.A);
    t->TrackHotNode(200, 5);
    EXPECT_EQ(t->HotNode(), nullptr);
    EXPECT_EQ(changes, (QList<PLazyNode>{f.A, nullptr}));
    t->TreeOptions()->SetSelectionOptions(t->TreeOptions()->SelectionOptions() + TLTSelectionOptions{toFullRowSelect});
    t->TrackHotNode(200, 5);
    EXPECT_EQ(t->HotNode(), f.A);
}

TEST_F(HitTest, TheSplitterCursorNeedsAFixedColumn) {
    TInputTree* t = NewTree();
    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() + TLTMiscOptions{toNodeHeightResize});
    Build(this, t);
    // On A's lower edge: reported, but without a fixed column no cursor.
    const THitInfo h = Hit(t, 30, 17);
    EXPECT_TRUE(h.HitPositions.Contains(hiLowerSplitter));
    SetCursorPos(t->ClientToScreen(TPoint(30, 17)));
    t->Perform(WM_SETCURSOR, 0, HTCLIENT | (WM_MOUSEMOVE << 16));
    EXPECT_NE(ShownCursor(), 62);

    t->Header()->Columns()->Add()->SetWidth(200);
    t->Header()->Columns()->Items(0)->SetOptions(t->Header()->Columns()->Items(0)->Options() + TLTColumnOptions{coFixed});
    t->Perform(WM_SETCURSOR, 0, HTCLIENT | (WM_MOUSEMOVE << 16));
    EXPECT_EQ(ShownCursor(), 62);
}

}  // namespace
