#include "TreeKit.h"

#include "platform/controls/Timers.h"
#include "platform/core/Threads.h"

#include <thread>

namespace {
struct TStructureChange {
    PLazyNode Node;
    TChangeReason Reason;
    friend bool operator==(const TStructureChange&, const TStructureChange&) = default;
};
}  // namespace

TEST_F(TreeTest, AddingInsideAnUpdateAnnouncesOneAccumulatedChange) {
    auto* t = NewTree();
    PLazyNode parent = t->AddChild(nullptr);
    std::vector<TStructureChange> seen;
    t->OnStructureChange = [&](TBaseLazyTree*, PLazyNode n, TChangeReason r) { seen.push_back({n, r}); };
    t->BeginUpdate();
    t->AddChild(nullptr);
    t->AddChild(parent);
    t->AddChild(parent);
    EXPECT_TRUE(seen.empty());
    t->EndUpdate();
    EXPECT_EQ(seen, (std::vector<TStructureChange>{{parent, crAccumulated}}));
    seen.clear();
    t->AddChild(nullptr);
    t->AddChild(parent);
    EXPECT_EQ(seen, (std::vector<TStructureChange>{{nullptr, crChildAdded}, {parent, crChildAdded}}));
}

TEST_F(TreeTest, NestedUpdatesReportBeginUpdateUpdateEnd) {
    auto* t = NewTree();
    std::vector<TLTUpdateState> states;
    t->OnUpdating = [&](TBaseLazyTree*, TLTUpdateState s) { states.push_back(s); };
    t->BeginUpdate();
    t->BeginUpdate();
    EXPECT_EQ(t->UpdateCount(), 2u);
    EXPECT_TRUE(t->TreeStates().Contains(tsUpdating));
    t->EndUpdate();
    t->EndUpdate();
    EXPECT_EQ(states, (std::vector<TLTUpdateState>{usBegin, usUpdate, usUpdate, usEnd}));
    EXPECT_FALSE(t->TreeStates().Contains(tsUpdating));
    // Below zero stays at zero.
    t->EndUpdate();
    EXPECT_EQ(t->UpdateCount(), 0u);
    states.clear();
    t->BeginSynch();
    t->BeginSynch();
    t->EndSynch();
    t->EndSynch();
    EXPECT_EQ(states, (std::vector<TLTUpdateState>{usBeginSynch, usSynch, usSynch, usEndSynch}));
}

TEST_F(TreeTest, AChangeDelayGathersABurstIntoOneNotification) {
    // The clock stands still from the start: the first change's timer must
    // fall due 100 ms after it on the test clock, however long the machine
    // takes between the steps.
    SetTickCountForTest(100000);
    struct RealClockAgain {
        ~RealClockAgain() { SetTickCountForTest(-1); }
    } realClockAgain;
    auto* t = NewTree();
    t->Handle();  // the delay needs the tree's window timers
    t->ChangeDelay = 100;
    int fired = 0;
    t->OnStructureChange = [&](TBaseLazyTree*, PLazyNode, TChangeReason) { ++fired; };
    t->AddChild(nullptr);
    AdvanceTime(50);
    t->AddChild(nullptr);
    AdvanceTime(99);
    EXPECT_EQ(fired, 0);
    AdvanceTime(1);
    EXPECT_EQ(fired, 1);
    AdvanceTime(500);
    EXPECT_EQ(fired, 1);
    // Synchronous mode ignores the delay.
    t->BeginSynch();
    t->AddChild(nullptr);
    EXPECT_EQ(fired, 2);
    t->EndSynch();
}

TEST_F(TreeTest, OnlyTheUIThreadMayBatchOrDeselect) {
    auto* t = NewTree();
    PLazyNode n = t->AddChild(nullptr);
    t->SetSelected(n, true);
    QString update, remove;
    std::thread worker([&] {
        update = AssertionText([&] { t->BeginUpdate(); });
        remove = AssertionText([&] { t->SetSelected(n, false); });
    });
    worker.join();
    EXPECT_EQ(update, "UI controls like TLazyStringTree should only be manipulated through the main thread.");
    EXPECT_EQ(remove, "TLazyStringTree.RemoveFromSelection() must only be called from UI thread.");
    EXPECT_EQ(t->UpdateCount(), 0u);
    EXPECT_TRUE(n->States.Contains(vsSelected));
}

TEST_F(TreeTest, OperationsNestAndCanBeCancelled) {
    auto* t = NewTree();
    EXPECT_EQ(AssertionText([&] { t->CloseOperation(okSortTree); }),
              "EndOperation must not be called when no operation in progress.");
    std::vector<int> events;
    t->OnStartOperation = [&](TBaseLazyTree*, TLTOperationKind k) { events.push_back(int(k)); };
    t->OnEndOperation = [&](TBaseLazyTree*, TLTOperationKind k) { events.push_back(-int(k)); };
    t->CancelOperation();
    t->OpenOperation(okExport);
    EXPECT_FALSE(t->OperationCanceled());
    t->CancelOperation();
    EXPECT_TRUE(t->OperationCanceled());
    t->CloseOperation(okExport);
    EXPECT_FALSE(t->OperationCanceled());
    EXPECT_EQ(events, (std::vector<int>{okExport, -okExport}));
}

TEST_F(TreeTest, SwitchStatesReportsOnlyRealChanges) {
    auto* t = NewTree();
    int reports = 0;
    t->OnStateChange = [&](TBaseLazyTree*, TLazyTreeStates, TLazyTreeStates) { ++reports; };
    // Entering what is not set counts as a change, even when it is left in
    // the same call.
    t->SwitchStates({tsHint}, {tsHint});
    EXPECT_FALSE(t->TreeStates().Contains(tsHint));
    EXPECT_EQ(reports, 1);
    t->SwitchStates({tsHint}, {});
    EXPECT_EQ(reports, 2);
    t->SwitchStates({tsHint}, {});
    EXPECT_EQ(reports, 2);
    t->SwitchStates({}, {tsCutPending});
    EXPECT_EQ(reports, 2);
    t->SwitchStates({tsHint}, {tsHint});
    EXPECT_EQ(reports, 3);
    EXPECT_FALSE(t->TreeStates().Contains(tsHint));
    // The last flag of the 64-bit set is bit 56.
    t->SwitchStates({tsUseExplorerTheme}, {});
    EXPECT_EQ(t->TreeStates().Bits() & (uint64_t(1) << 56), uint64_t(1) << 56);
}

TEST_F(TreeTest, AFailingChangeHandlerStillEndsTheUpdate) {
    auto* t = NewTree();
    t->OnStructureChange = [](TBaseLazyTree*, PLazyNode, TChangeReason) { throw Exception("handler failed"); };
    t->BeginUpdate();
    t->AddChild(nullptr);
    EXPECT_THROW(t->EndUpdate(), Exception);
    EXPECT_EQ(t->UpdateCount(), 0u);
    EXPECT_FALSE(t->TreeStates().ContainsAny({tsUpdating, tsStructureChangePending}));
}

TEST_F(TreeTest, AnUpdateSwitchesTheTreesRedrawOffUntilItEnds) {
    auto* t = NewTree();
    t->Handle();
    t->BeginUpdate();
    EXPECT_TRUE(t->RedrawSuppressed());
    const int before = t->InvalidateCount();
    for (int i = 0; i < 10; ++i) t->AddChild(nullptr);
    t->Invalidate();
    EXPECT_EQ(t->InvalidateCount(), before);
    t->EndUpdate();
    EXPECT_FALSE(t->RedrawSuppressed());
    EXPECT_EQ(t->InvalidateCount(), before + 1);
    // Without a window there is nothing to switch.
    auto* u = NewTree();
    u->BeginUpdate();
    EXPECT_FALSE(u->RedrawSuppressed());
    u->EndUpdate();
}
