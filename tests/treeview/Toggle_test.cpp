#include "TreeKit.h"

TEST_F(TreeTest, ExpandingANodeWithoutChildrenLeavesItClosed) {
    auto* t = NewTree();
    PLazyNode n = t->AddChild(nullptr);
    t->OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates& s) { s.Include(ivsHasChildren); };
    t->OnInitChildren = [](TBaseLazyTree*, PLazyNode, uint32_t& count) { count = 0; };
    QStringList events;
    t->OnExpanding = [&](TBaseLazyTree*, PLazyNode, bool&) { events << "expanding"; };
    t->OnExpanded = [&](TBaseLazyTree*, PLazyNode) { events << "expanded"; };
    t->ToggleNode(n);
    EXPECT_EQ(events, QStringList{"expanding"});
    EXPECT_FALSE(n->States.ContainsAny({vsExpanded, vsHasChildren}));
    EXPECT_FALSE(t->TreeStates().Contains(tsToggling));
}

TEST_F(TreeTest, CollapsingWithAutoFreeDropsTheChildrenButKeepsTheButton) {
    auto* t = NewTree();
    PLazyNode n = t->AddChild(nullptr);
    int asked = 0, freed = 0;
    t->OnInitNode = [](TBaseLazyTree*, PLazyNode parent, PLazyNode, TLazyNodeInitStates& s) {
        if (!parent) s.Include(ivsHasChildren);
    };
    t->OnInitChildren = [&](TBaseLazyTree*, PLazyNode, uint32_t& count) {
        ++asked;
        count = 3;
    };
    t->OnFreeNode = [&](TBaseLazyTree*, PLazyNode) { ++freed; };
    t->TreeOptions()->SetAutoOptions(t->TreeOptions()->AutoOptions() + TLTAutoOptions{toAutoFreeOnCollapse});
    t->SetExpanded(n, true);
    EXPECT_EQ(t->VisibleCount(), 4u);
    EXPECT_EQ(n->TotalHeight, 72u);
    t->ValidateNode(n, true);
    t->SetExpanded(n, false);
    EXPECT_EQ(freed, 3);
    EXPECT_EQ(n->ChildCount, 0u);
    EXPECT_TRUE(n->States.Contains(vsHasChildren));
    EXPECT_EQ(t->VisibleCount(), 1u);
    EXPECT_EQ(t->RootNode()->TotalHeight, 36u);
    t->SetExpanded(n, true);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(t->VisibleCount(), 4u);
}

TEST_F(TreeTest, CollapsingAFilteredNodeLeavesNoHeight) {
    auto* t = NewTree();
    PLazyNode n = t->AddChild(nullptr);
    t->AddChild(n);
    t->SetExpanded(n, true);
    t->SetFiltered(n, true);
    EXPECT_EQ(n->TotalHeight, 18u);
    t->SetExpanded(n, false);
    EXPECT_EQ(n->TotalHeight, 0u);
}

TEST_F(TreeTest, FullExpandAndFullCollapseTouchEveryLevel) {
    auto* t = NewTree();
    int inits = 0;
    t->OnInitNode = [&](TBaseLazyTree* s, PLazyNode, PLazyNode n, TLazyNodeInitStates& st) {
        ++inits;
        if (s->GetNodeLevel(n) < 2) st.Include(ivsHasChildren);
    };
    t->OnInitChildren = [](TBaseLazyTree*, PLazyNode, uint32_t& count) { count = 2; };
    t->SetRootNodeCount(2);
    t->FullExpand();
    EXPECT_EQ(inits, 2 + 4 + 8);
    EXPECT_EQ(t->VisibleCount(), 14u);
    EXPECT_EQ(t->RootNode()->TotalHeight, 18u + 14 * 18u);
    int expanded = 0;
    for (PLazyNode n = t->GetFirstNoInit(); n; n = t->GetNextNoInit(n)) expanded += n->States.Contains(vsExpanded);
    EXPECT_EQ(expanded, 6);
    t->FullCollapse();
    for (PLazyNode n = t->GetFirstNoInit(); n; n = t->GetNextNoInit(n)) EXPECT_FALSE(n->States.Contains(vsExpanded));
    EXPECT_EQ(t->VisibleCount(), 2u);
    EXPECT_EQ(t->RootNode()->TotalHeight, 18u + 2 * 18u);
    EXPECT_FALSE(t->TreeStates().ContainsAny({tsExpanding, tsCollapsing}));
}

TEST_F(TreeTest, ARefusedToggleChangesNothing) {
    auto* t = NewTree();
    PLazyNode n = t->AddChild(nullptr);
    t->AddChild(n);
    t->OnExpanding = [](TBaseLazyTree*, PLazyNode, bool& allowed) { allowed = false; };
    t->SetExpanded(n, true);
    EXPECT_FALSE(n->States.Contains(vsExpanded));
    EXPECT_EQ(t->VisibleCount(), 1u);
}

TEST(ToggleBands, PlainCollapseAndExpandMoveTheRowsBelowTheNode) {
    TLTToggleMeasures collapse;
    collapse.R = {0, 0, 200, 18};
    collapse.CH = 300;
    collapse.NH = 18;
    collapse.RangeY = 500;
    collapse.ShownOrDelta = 90;
    const TLTToggleBand c = CollapseBand(collapse);
    EXPECT_TRUE(c.Animate);
    EXPECT_EQ(c.FirstMode, tmUp);
    EXPECT_EQ(c.FirstArea, (TLTToggleRect{0, 18, 200, 300}));
    EXPECT_EQ(c.D1, 90);
    EXPECT_EQ(c.SecondMode, tmStill);

    TLTToggleMeasures expand = collapse;
    expand.R = {0, 100, 200, 118};
    expand.AutoScrollOnExpand = true;
    const TLTToggleBand e = ExpandBand(expand);
    EXPECT_TRUE(e.Animate);
    EXPECT_EQ(e.FirstMode, tmDown);
    EXPECT_EQ(e.FirstArea, (TLTToggleRect{0, 118, 200, 300}));
    EXPECT_EQ(e.D1, 90);
    // A node whose row starts at or below the client bottom runs no animation.
    expand.R = {0, 300, 200, 318};
    EXPECT_FALSE(ExpandBand(expand).Animate);
    collapse.R = {0, 300, 200, 318};
    EXPECT_FALSE(CollapseBand(collapse).Animate);
}

TEST(ToggleBands, AdvancedExpandInTheNormalLayoutMovesTwoAreas) {
    TLTToggleMeasures m;
    m.R = {0, 250, 200, 268};
    m.CH = 300;
    m.NH = 18;
    m.RangeY = 600;
    m.ShownOrDelta = 120;
    m.AdvancedAnimatedToggle = true;
    m.AutoScrollOnExpand = true;
    const TLTExpandFits f = ExpandFits(m);
    EXPECT_TRUE(f.Fits);
    EXPECT_FALSE(f.Room);
    const TLTToggleBand b = ExpandBand(m);
    // S = 269; D1 = min(120 - 31, 251) = 89; D2 = 31: the first area leads.
    EXPECT_EQ(b.FirstMode, tmUp);
    EXPECT_EQ(b.FirstArea, (TLTToggleRect{0, 0, 200, 269}));
    EXPECT_EQ(b.D1, 89);
    EXPECT_EQ(b.SecondMode, tmDown);
    EXPECT_EQ(b.SecondArea, (TLTToggleRect{0, 269, 200, 300}));
    EXPECT_EQ(b.D2, 31);
}
