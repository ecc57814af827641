// Display rectangles, the position cache and the worker, scrolling, the wheel
// and the toggle animation.
#include "ControlKit.h"

#include "platform/core/Threads.h"

#include <atomic>
#include <thread>

namespace {
// n top-level nodes.
void AddTop(TBaseLazyTree* t, int n) {
    t->BeginUpdate();
    t->SetRootNodeCount(uint32_t(n));
    t->EndUpdate();
}
}  // namespace

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

TEST_F(ControlTest, DisplayRectanglesFollowTheVisibleRows) {
    TViewTree* t = NewTree(300, 300);
    PLazyNode a = t->AddChild(nullptr);
    PLazyNode b = t->AddChild(nullptr);
    PLazyNode b1 = t->AddChild(b);
    EXPECT_EQ(t->GetDisplayRect(a, NoColumn, false), Rect(0, 0, 300, 18));
    EXPECT_EQ(t->GetDisplayRect(b, NoColumn, false), Rect(0, 18, 300, 36));
    // Below a collapsed ancestor the rectangle is empty.
    EXPECT_TRUE(t->GetDisplayRect(b1, NoColumn, false).IsEmpty());
    t->SetExpanded(b, true);
    const TRect text = t->GetDisplayRect(b1, NoColumn, true);
    // Margin, one indent for the level and one for the root lines.
    EXPECT_EQ(text.Left, 4 + 18 + 18);
    EXPECT_EQ(text.Width(), 40);
    EXPECT_EQ(AssertText([&] { t->GetDisplayRect(t->RootNode(), NoColumn, false); }),
              QStringLiteral("Node must not be the hidden root node."));
}

TEST_F(ControlTest, InvalidateNodeInsideAnUpdateAnswersMinusOnes) {
    TViewTree* t = NewTree();
    PLazyNode a = t->AddChild(nullptr);
    EXPECT_EQ(t->InvalidateNode(a), Rect(0, 0, 300, 18));
    t->BeginUpdate();
    EXPECT_EQ(t->InvalidateNode(a), Rect(-1, -1, -1, -1));
    t->EndUpdate();
}

TEST_F(ControlTest, MeasuringWithoutVariableHeightsAsksNobody) {
    TViewTree* t = NewTree();
    PLazyNode a = t->AddChild(nullptr);
    int asked = 0;
    t->OnMeasureItem = [&](TBaseLazyTree*, TCanvas*, PLazyNode, int& h) {
        ++asked;
        h = 30;
    };
    t->MeasureItemHeight(a);
    EXPECT_TRUE(a->States.Contains(vsHeightMeasured));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(a->NodeHeight, 18);

    // With variable heights a new node is asked once.
    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() + TLTMiscOptions{toVariableNodeHeight});
    asked = 0;
    PLazyNode b = t->AddChild(nullptr);
    t->MeasureItemHeight(b);
    t->MeasureItemHeight(b);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(b->NodeHeight, 30);
}

// ---------------------------------------------------------------------------
// Position cache and worker
// ---------------------------------------------------------------------------

TEST_F(ControlTest, TheCacheHoldsEvery2000thNode) {
    struct Case {
        int nodes;
        int entries;
    };
    for (const Case c : {Case{2000, 0}, Case{2001, 2}, Case{4000, 2}}) {
        TViewTree* t = NewTree();
        AddTop(t, c.nodes);
        t->WaitForCache();
        if (c.entries == 0) {
            EXPECT_FALSE(t->TreeStates().Contains(tsUseCache)) << c.nodes;
            EXPECT_TRUE(t->PositionCache().isEmpty()) << c.nodes;
            continue;
        }
        ASSERT_TRUE(t->TreeStates().Contains(tsUseCache)) << c.nodes;
        ASSERT_EQ(t->PositionCache().size(), c.entries) << c.nodes;
        EXPECT_EQ(t->PositionCache()[0].Node, t->GetFirst());
        EXPECT_EQ(t->PositionCache()[0].AbsoluteTop, 0u);
        EXPECT_EQ(t->AbsoluteIndex(t->PositionCache()[1].Node), 2000u);  // the 2001st node
        EXPECT_EQ(t->PositionCache()[1].AbsoluteTop, 36000u);
        EXPECT_GE(t->PlaceEditorCalls, 1);
    }
}

TEST_F(ControlTest, GetNodeAtClampsAboveAndEndsBelow) {
    for (int n : {10, 5000}) {
        TViewTree* t = NewTree();
        AddTop(t, n);
        t->WaitForCache();
        EXPECT_EQ(t->GetNodeAt(0, -40), t->GetFirst()) << n;
        int top = -1;
        EXPECT_EQ(t->GetNodeAt(0, 18 * 7 + 3, false, top), t->GetFirst()->NextSibling->NextSibling->NextSibling
                                                                ->NextSibling->NextSibling->NextSibling->NextSibling);
        EXPECT_EQ(top, 18 * 7);
        EXPECT_EQ(t->GetNodeAt(0, 18 * n, false, top), nullptr) << n;
        EXPECT_EQ(t->GetNodeAt(0, 18 * (n - 1), false, top), t->GetLast()) << n;
    }
}

TEST_F(ControlTest, ACacheBuiltBeforeAChangeIsNeverTaken) {
    TViewTree* t = NewTree();
    AddTop(t, 6000);
    t->WaitForCache();
    ASSERT_TRUE(t->TreeStates().Contains(tsUseCache));
    // Queue a build, then change the tree before its result is delivered.
    t->InvalidatePositionCache();
    t->StartCacheValidation();
    while (t->CacheBuildPending()) Sleep(1);  // built, not yet delivered
    PLazyNode first = t->GetFirst();
    t->SetNodeHeight(first, 40);  // invalidates the cache and queues a new build
    t->WaitForCache();
    ASSERT_TRUE(t->TreeStates().Contains(tsUseCache));
    EXPECT_EQ(t->PositionCache()[1].AbsoluteTop, 40u + 1999u * 18u);
}

TEST_F(ControlTest, DeletingWhileTheWorkerBuildsWaitsAndQueuesAgain) {
    TViewTree* t = NewTree();
    AddTop(t, 200000);
    t->WaitForCache();
    t->InvalidatePositionCache();
    t->StartCacheValidation();
    t->DeleteNode(t->GetFirst());
    // The worker let go before the node was freed; the cache is invalid and
    // a new build waits.
    EXPECT_FALSE(t->TreeStates().Contains(tsUseCache));
    EXPECT_TRUE(t->TreeStates().Contains(tsValidationNeeded));
    EXPECT_TRUE(t->CacheBuildPending() || t->TreeStates().Contains(tsValidationNeeded));
    t->WaitForCache();
    ASSERT_TRUE(t->TreeStates().Contains(tsUseCache));
    EXPECT_EQ(t->PositionCache()[0].Node, t->GetFirst());
}

TEST_F(ControlTest, TheWorkerBuildsWhileTheUiThreadTogglesAndResizes) {
    TViewTree* t = NewTree();
    t->BeginUpdate();
    t->SetRootNodeCount(3000);
    for (PLazyNode n = t->GetFirst(); n; n = n->NextSibling) t->SetChildCount(n, 3);
    t->EndUpdate();
    PLazyNode n = t->GetFirst();
    for (int i = 0; i < 300; ++i) {
        t->ToggleNode(n);
        t->SetNodeHeight(n, uint32_t(18 + i % 5));
        Application()->RunQueuedCalls();
        if (t->TreeStates().Contains(tsUseCache)) {
            // A cache in use describes the tree as it is now.
            uint32_t top = 0;
            PLazyNode run = t->GetFirstVisible();
            int k = 0;
            for (const TCacheEntry& e : t->PositionCache()) {
                while (k < int(&e - t->PositionCache().data()) * 2000) {
                    top += t->GetNodeHeight(run);
                    run = t->GetNextVisible(run);
                    ++k;
                }
                if (run) {
                    ASSERT_EQ(e.Node, run);
                    ASSERT_EQ(e.AbsoluteTop, top);
                }
            }
        }
        n = n->NextSibling;
    }
    t->WaitForCache();
    EXPECT_TRUE(t->TreeStates().Contains(tsUseCache));
}

TEST_F(ControlTest, VariableHeightsBuildOnTheUiThreadEvenWhenMeasuringAddsNodes) {
    TViewTree* t = NewTree();
    AddTop(t, 5000);
    t->WaitForCache();
    int measured = 0;
    bool added = false;
    // Measured by the cache build (outside any update): the first time
    // through, the handler adds a node.
    t->OnMeasureItem = [&](TBaseLazyTree* s, TCanvas*, PLazyNode, int& h) {
        h = 20;
        if (s->TreeStates().Contains(tsUpdating)) return;
        if (++measured == 3000 && !added) {
            added = true;
            s->AddChild(nullptr);
        }
    };
    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() + TLTMiscOptions{toVariableNodeHeight});
    t->WaitForCache();
    EXPECT_TRUE(added);
    EXPECT_EQ(t->RootNodeCount(), 5001u);
    ASSERT_TRUE(t->TreeStates().Contains(tsUseCache));
    ASSERT_EQ(t->PositionCache().size(), 3);
    EXPECT_EQ(t->PositionCache()[1].AbsoluteTop, 2000u * 20u);
}

TEST_F(ControlTest, AQueuedCallForAFreedTreeDoesNothing) {
    TViewTree* t = NewTree();
    AddTop(t, 5000);
    t->InvalidatePositionCache();
    t->StartCacheValidation();
    while (t->CacheBuildPending()) Sleep(1);
    // The worker's calls (state change, cache, editor placement) are queued.
    FreeTree(t);
    EXPECT_GE(Application()->RunQueuedCalls(), 1);
}

TEST_F(ControlTest, FullExpandMeasuresTheRowsInViewOnce) {
    TViewTree* t = NewTree(300, 180);
    t->BeginUpdate();
    t->SetRootNodeCount(1000);
    for (PLazyNode n = t->GetFirst(); n; n = n->NextSibling) t->SetChildCount(n, 1000);
    t->EndUpdate();
    t->NodeWidthCalls = 0;
    t->FullExpand();
    EXPECT_EQ(t->VisibleCount(), 1001000u);
    // Ten rows fit the client area: each measured once for the range.
    EXPECT_LE(t->NodeWidthCalls, 11 * 2);
    EXPECT_EQ(t->RangeY(), 1001000u * 18u);
}

// ---------------------------------------------------------------------------
// Scrolling
// ---------------------------------------------------------------------------

TEST_F(ControlTest, OffsetsAreClampedAndAnUnchangedValueFiresNothing) {
    TViewTree* t = NewTree(300, 300);
    AddTop(t, 100);
    int scrolls = 0;
    t->OnScroll = [&](TBaseLazyTree*, int, int) { ++scrolls; };
    t->SetOffsetY(50);
    EXPECT_EQ(t->OffsetY(), 0);
    EXPECT_EQ(scrolls, 0);
    const int low = t->ClientHeight() - int(t->RangeY());
    t->SetOffsetY(-100000);
    EXPECT_EQ(t->OffsetY(), low);
    EXPECT_EQ(scrolls, 1);
    t->SetOffsetY(low);
    EXPECT_EQ(scrolls, 1);
}

TEST_F(ControlTest, AlwaysVisibleBarsShowDisabledOnAFittingTree) {
    TViewTree* t = NewTree(300, 300);
    AddTop(t, 2);
    EXPECT_FALSE(t->ScrollBarsState()->Bar(SB_VERT).Shown);
    t->ScrollBarOptions()->SetAlwaysVisible(true);
    EXPECT_TRUE(t->ScrollBarsState()->Bar(SB_VERT).Shown);
    EXPECT_FALSE(t->ScrollBarsState()->Scrollable(SB_VERT));
}

TEST_F(ControlTest, ScrollIntoViewOpensTheBranch) {
    TViewTree* t = NewTree(300, 90);
    AddTop(t, 20);
    PLazyNode parent = t->GetFirst()->NextSibling->NextSibling;
    PLazyNode child = t->AddChild(parent);
    EXPECT_FALSE(parent->States.Contains(vsExpanded));
    t->ScrollIntoView(child, false);
    EXPECT_TRUE(parent->States.Contains(vsExpanded));
    PLazyNode last = t->GetLast();
    EXPECT_TRUE(t->ScrollIntoView(last, false));
    const TRect r = t->GetDisplayRect(last, NoColumn, false);
    EXPECT_LE(r.Bottom, t->ClientHeight());
    EXPECT_GE(r.Top, 0);
}

TEST_F(ControlTest, ScrollCodesMoveByTheirAmounts) {
    TViewTree* t = NewTree(300, 300);
    AddTop(t, 200);
    t->Perform(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(t->OffsetY(), -20);
    t->Perform(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(t->OffsetY(), -20 - t->ClientHeight());
    t->Perform(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(t->OffsetY(), -t->ClientHeight());
    t->Perform(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(t->OffsetY(), t->ClientHeight() - int(t->RangeY()));
    t->Perform(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(t->OffsetY(), 0);
    EXPECT_EQ(GetScrollPos(t, SB_VERT), 0);
}

TEST_F(ControlTest, TheWheelScrollsLinesOfNodesOrSideways) {
    SetWheelScrollLines(3);
    TViewTree* t = NewTree(300, 300);
    AddTop(t, 200);
    t->SetOffsetY(-200);
    t->Perform(WM_MOUSEWHEEL, WPARAM(60) << 16, 0);
    EXPECT_EQ(t->OffsetY(), -200 + 27);
    t->Perform(WM_MOUSEWHEEL, WPARAM(uint16_t(-120)) << 16, 0);
    EXPECT_EQ(t->OffsetY(), -200 + 27 - 54);

    // Content that fits vertically scrolls sideways.
    TViewTree* u = NewTree(100, 300);
    u->Header()->Columns()->Add()->SetWidth(400);
    u->Header()->Columns()->Add()->SetWidth(400);
    AddTop(u, 2);
    u->Perform(WM_MOUSEWHEEL, WPARAM(uint16_t(-120)) << 16, 0);
    EXPECT_EQ(u->OffsetY(), 0);
    EXPECT_EQ(u->OffsetX(), -std::min(3 * 400, 800 - u->ClientWidth()));
    // So does Shift on a tall tree.
    t->SetOffsetY(0);
    SetKeyDown(VK_SHIFT, true);
    t->Perform(WM_MOUSEWHEEL, (WPARAM(uint16_t(-120)) << 16) | MK_SHIFT, 0);
    SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(t->OffsetY(), 0);
}

TEST_F(ControlTest, DragScrollingWaitsInTheEdgeZone) {
    SetTickCountForTest(10000);
    TViewTree* t = NewTree(300, 300);
    AddTop(t, 200);
    t->TreeOptions()->SetAutoOptions(t->TreeOptions()->AutoOptions() + TLTAutoOptions{toAutoScroll});
    t->SwitchStates({tsVCLDragging}, {});
    EXPECT_TRUE(t->ComputeAutoScrollDirections(150, t->ClientHeight() - 5).Empty());
    SetTickCountForTest(10999);
    EXPECT_TRUE(t->ComputeAutoScrollDirections(150, t->ClientHeight() - 5).Empty());
    SetTickCountForTest(11000);
    EXPECT_EQ(t->ComputeAutoScrollDirections(150, t->ClientHeight() - 5), TScrollDirections{sdDown});
    // Outside the zone (one default node height) nothing scrolls.
    EXPECT_TRUE(t->ComputeAutoScrollDirections(150, t->ClientHeight() - 19).Empty());
    t->SwitchStates({}, {tsVCLDragging});
}

// ---------------------------------------------------------------------------
// Toggle animation
// ---------------------------------------------------------------------------

namespace {
// The moves of one animation, joined: the area and the total distance.
struct TBand {
    TRect Area;
    int Total = 0;
    int Steps = 0;
};
TBand Joined(const QList<TBaseLazyTree::TAnimationMove>& moves) {
    TBand b;
    for (const auto& m : moves) {
        b.Area = m.Area;
        b.Total += m.DY;
        ++b.Steps;
    }
    return b;
}
}  // namespace

TEST_F(ControlTest, CollapseAndExpandSlideTheRowsBelow) {
    UseTestClock(5000);
    TViewTree* t = NewTree(300, 300);
    t->SetAnimationDuration(200);
    AddTop(t, 30);
    PLazyNode first = t->GetFirst();
    t->BeginUpdate();
    t->SetChildCount(first, 5);
    t->EndUpdate();
    t->SetExpanded(first, true);
    ASSERT_EQ(first->TotalHeight, 18u * 6);

    t->SetExpanded(first, false);
    TBand b = Joined(t->AnimationMoves);
    const int w = t->ClientWidth();  // the vertical bar shows
    EXPECT_EQ(b.Area, Rect(0, 18, w, 300));
    EXPECT_EQ(b.Total, -90);
    EXPECT_EQ(b.Steps, 90);

    // A node whose row starts at 100 (scrolled so): its children slide in
    // below it.
    t->SetOffsetY(-8);  // the sixth row starts at 90 - 8 + 18 = 100
    PLazyNode sixth = first->NextSibling->NextSibling->NextSibling->NextSibling->NextSibling->NextSibling;
    ASSERT_EQ(t->GetDisplayRect(sixth, NoColumn, false).Top, 100);
    t->BeginUpdate();
    t->SetChildCount(sixth, 5);
    t->EndUpdate();
    t->SetExpanded(sixth, true);
    b = Joined(t->AnimationMoves);
    EXPECT_EQ(b.Area, Rect(0, 118, w, 300));
    EXPECT_EQ(b.Total, 90);
}

TEST_F(ControlTest, ARowBelowTheClientAnimatesNothingButStillCounts) {
    TViewTree* t = NewTree(300, 300);
    AddTop(t, 30);
    PLazyNode last = t->GetLast();
    t->BeginUpdate();
    t->SetChildCount(last, 4);
    t->EndUpdate();
    ASSERT_GE(t->GetDisplayRect(last, NoColumn, false).Top, t->ClientHeight());
    t->AnimationMoves.clear();
    const uint32_t range = t->RangeY();
    t->SetExpanded(last, true);
    EXPECT_TRUE(t->AnimationMoves.isEmpty());
    EXPECT_EQ(t->VisibleCount(), 34u);
    EXPECT_EQ(t->RangeY(), range + 4 * 18);
}

TEST_F(ControlTest, RunAnimationPacesItsSteps) {
    UseTestClock(1000);
    TViewTree* t = LooseTree();
    QList<QPair<int, int>> calls;
    auto record = [&](int step, int size, void*) {
        calls.append({step, size});
        return true;
    };
    t->RunAnimation(50, 200, record, nullptr);
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_EQ(calls.last(), qMakePair(0, 0));
    EXPECT_LE(calls.size() - 1, 50);
    EXPECT_EQ(calls.first().second, 1);

    // A callback that stops at once still hears the final call.
    calls.clear();
    t->RunAnimation(50, 200, [&](int s, int z, void*) {
        calls.append({s, z});
        return false;
    }, nullptr);
    EXPECT_EQ(calls, (QList<QPair<int, int>>{{0, 1}, {0, 0}}));

    // Inside a running animation another one does not start.
    calls.clear();
    t->SwitchStates({tsInAnimation}, {});
    t->RunAnimation(50, 200, record, nullptr);
    EXPECT_TRUE(calls.isEmpty());
    t->SwitchStates({}, {tsInAnimation});
}
