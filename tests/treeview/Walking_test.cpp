#include "TreeKit.h"

TEST_F(TreeTest, TreeOrderAndChildrenAboveOrder) {
    auto* t = NewTree();
    BuildABC(t);
    EXPECT_EQ(Walk(t->GetFirst(), [&](PLazyNode n) { return t->GetNext(n); }), Split("A B B1 B2 C"));
    EXPECT_EQ(Walk(t->GetFirstNoInit(), [&](PLazyNode n) { return t->GetNextNoInit(n); }), Split("A B B1 B2 C"));
    EXPECT_EQ(Walk(t->GetLast(), [&](PLazyNode n) { return t->GetPrevious(n); }), Split("C B2 B1 B A"));
    EXPECT_EQ(Name(t->GetPrevious(C)), "B2");
    t->TreeOptions()->SetPaintOptions(t->TreeOptions()->PaintOptions() + TLTPaintOptions{toChildrenAbove});
    EXPECT_EQ(Walk(t->GetFirst(true), [&](PLazyNode n) { return t->GetNext(n, true); }), Split("A B1 B2 B C"));
    EXPECT_EQ(Walk(t->GetFirstNoInit(true), [&](PLazyNode n) { return t->GetNextNoInit(n, true); }),
              Split("A B1 B2 B C"));
    EXPECT_EQ(Walk(C, [&](PLazyNode n) { return t->GetPrevious(n, true); }), Split("C B B2 B1 A"));
    // Without asking for it the option changes nothing.
    EXPECT_EQ(Walk(t->GetFirst(false), [&](PLazyNode n) { return t->GetNext(n, false); }), Split("A B B1 B2 C"));
}

TEST_F(TreeTest, VisibleWalksSkipCollapsedHiddenAndFilteredNodes) {
    auto* t = NewTree();
    BuildABC(t);
    EXPECT_EQ(Name(t->GetNextVisible(B)), "C");
    EXPECT_EQ(Name(t->GetNextVisible(B1)), "C");
    EXPECT_EQ(Walk(t->GetFirstVisible(), [&](PLazyNode n) { return t->GetNextVisible(n); }), Split("A B C"));
    t->SetExpanded(B, true);
    EXPECT_EQ(Walk(t->GetFirstVisible(), [&](PLazyNode n) { return t->GetNextVisible(n); }), Split("A B B1 B2 C"));
    EXPECT_EQ(Walk(C, [&](PLazyNode n) { return t->GetPreviousVisible(n); }), Split("C B2 B1 B A"));
    EXPECT_EQ(Walk(t->GetFirstVisibleNoInit(), [&](PLazyNode n) { return t->GetNextVisibleNoInit(n); }),
              Split("A B B1 B2 C"));
    t->SetFiltered(B1, true);
    t->SetVisible(C, false);
    EXPECT_EQ(Walk(t->GetFirstVisible(), [&](PLazyNode n) { return t->GetNextVisible(n); }), Split("A B B2"));
    EXPECT_EQ(Name(t->GetFirstVisibleChild(B)), "B2");
    EXPECT_EQ(Name(t->GetFirstVisibleChild(B, true)), "B1");
    EXPECT_EQ(Name(t->GetLastVisible()), "B2");
    EXPECT_EQ(Name(t->GetVisibleParent(B1)), "B");
    EXPECT_EQ(t->GetVisibleParent(B), t->RootNode());
    EXPECT_EQ(AssertionText([&] { t->GetNextVisibleSibling(nullptr); }), "Invalid parameter.");
    EXPECT_EQ(Name(t->GetNextVisibleSibling(A)), "B");
    QStringList visible;
    for (PLazyNode n : t->VisibleNodes()) visible << Name(n);
    EXPECT_EQ(visible, Split("A B B2"));
}

TEST_F(TreeTest, LevelsLeavesSiblingsAndAncestors) {
    auto* t = NewTree();
    BuildABC(t);
    EXPECT_EQ(Name(t->GetNextLevel(B1, 0)), "C");
    EXPECT_EQ(Name(t->GetNextLevel(A, 1)), "B1");
    EXPECT_EQ(Name(t->GetNextLevel(B1, 1)), "B2");
    EXPECT_EQ(Name(t->GetPreviousLevel(C, 1)), "B2");
    EXPECT_EQ(Name(t->GetPreviousLevel(B2, 0)), "B");
    EXPECT_EQ(Name(t->GetFirstLevel(1)), "B1");
    EXPECT_EQ(Walk(t->GetFirstLeaf(), [&](PLazyNode n) { return t->GetNextLeaf(n); }), Split("A B1 B2 C"));
    EXPECT_TRUE(t->HasAsParent(B1, B));
    EXPECT_TRUE(t->HasAsParent(B1, t->RootNode()));
    EXPECT_FALSE(t->HasAsParent(B, B1));
    EXPECT_FALSE(t->HasAsParent(B, B));
    EXPECT_FALSE(t->HasAsParent(nullptr, B));
    EXPECT_EQ(Name(t->GetLastChild(B)), "B2");
    EXPECT_EQ(t->GetFirstChildNoInit(A), nullptr);
    EXPECT_EQ(Name(t->GetPreviousSibling(C)), "B");
    EXPECT_EQ(t->CompareNodeOrder(B1, C, false) < 0, true);
    EXPECT_EQ(t->CompareNodeOrder(B1, B, false), 1);
    EXPECT_EQ(t->CompareNodeOrder(B, B2, false), -1);
}

TEST_F(TreeTest, SortedSelectionListsOnlyTopmostSelectedNodesWhenResolved) {
    auto* t = NewTree();
    BuildABC(t);
    t->TreeOptions()->SetSelectionOptions({toMultiSelect});
    t->SetSelected(B1, true);
    t->SetSelected(B, true);
    t->SetSelected(C, true);
    TNodeArray resolved = t->GetSortedSelection(true);
    EXPECT_EQ(resolved, (TNodeArray{B, C}));
    EXPECT_EQ(t->GetSortedSelection(false), (TNodeArray{B, B1, C}));
    EXPECT_EQ(Walk(t->GetFirstSelected(), [&](PLazyNode n) { return t->GetNextSelected(n); }), Split("B B1 C"));
}

TEST_F(TreeTest, IterateSubtreeVisitsTheSubtreeAndStopsOnAbort) {
    auto* t = NewTree();
    BuildABC(t);
    QStringList seen;
    auto collect = [&](TBaseLazyTree*, PLazyNode n, void*, bool&) { seen << Name(n); };
    EXPECT_EQ(t->IterateSubtree(B, collect, nullptr), nullptr);
    EXPECT_EQ(seen, Split("B B1 B2"));
    seen.clear();
    t->IterateSubtree(B, collect, nullptr, {}, false, true);
    EXPECT_EQ(seen, Split("B1 B2"));
    seen.clear();
    t->IterateSubtree(A, collect, nullptr, {}, false, true);
    EXPECT_TRUE(seen.isEmpty());
    PLazyNode at = t->IterateSubtree(B, [&](TBaseLazyTree*, PLazyNode n, void*, bool& abort) {
        seen << Name(n);
        abort = n == B1;
    }, nullptr);
    EXPECT_EQ(Name(at), "B1");
    EXPECT_EQ(seen, Split("B B1"));
    EXPECT_FALSE(t->TreeStates().Contains(tsIterating));
    seen.clear();
    t->SetSelected(B2, true);
    t->IterateSubtree(nullptr, collect, nullptr, {vsSelected});
    EXPECT_EQ(seen, Split("B2"));
}

TEST_F(TreeTest, EnumerationsDriveRangeForLoopsAndStayFinished) {
    auto* t = NewTree();
    BuildABC(t);
    QStringList children, level;
    for (PLazyNode n : t->ChildNodes(B)) children << Name(n);
    for (PLazyNode n : t->LevelNodes(1)) level << Name(n);
    EXPECT_EQ(children, Split("B1 B2"));
    EXPECT_EQ(level, Split("B1 B2"));
    QStringList all;
    for (PLazyNode n : t->Nodes()) all << Name(n);
    EXPECT_EQ(all, Split("A B B1 B2 C"));
    const TLTLazyNodeEnumeration e = t->ChildNodes(B);
    TLTLazyNodeEnumerator it = e.GetEnumerator();
    EXPECT_TRUE(it.MoveNext());
    EXPECT_TRUE(it.MoveNext());
    EXPECT_FALSE(it.MoveNext());
    // A finished enumerator does not start over.
    EXPECT_FALSE(it.MoveNext());
    EXPECT_EQ(it.Current(), nullptr);
}

TEST_F(TreeTest, InitWalksCreateAnnouncedChildrenAndNoInitWalksDoNot) {
    auto* t = NewTree();
    int inits = 0;
    t->OnInitNode = [&](TBaseLazyTree*, PLazyNode parent, PLazyNode, TLazyNodeInitStates& s) {
        ++inits;
        if (!parent) s.Include(ivsHasChildren);
    };
    t->OnInitChildren = [](TBaseLazyTree*, PLazyNode, uint32_t& count) { count = 2; };
    t->SetRootNodeCount(2);
    int n = 0;
    for (PLazyNode x = t->GetFirstNoInit(); x; x = t->GetNextNoInit(x)) ++n;
    EXPECT_EQ(n, 2);
    EXPECT_EQ(inits, 0);
    n = 0;
    for (PLazyNode x = t->GetFirst(); x; x = t->GetNext(x)) ++n;
    EXPECT_EQ(n, 6);
    EXPECT_EQ(inits, 6);
}
