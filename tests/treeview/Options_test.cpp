#include "TreeKit.h"

TEST_F(TreeTest, ANewTreeHoldsTheDefaultOptionSets) {
    auto* t = NewTree();
    const TCustomLazyTreeOptions* o = t->TreeOptions();
    EXPECT_EQ(o->PaintOptions().Bits(), 0x1B60u);
    EXPECT_EQ(o->AutoOptions().Bits(), 0x0559u);
    EXPECT_EQ(o->MiscOptions().Bits(), 0x41A9u);
    EXPECT_EQ(o->AnimationOptions().Bits(), 0u);
    EXPECT_EQ(o->SelectionOptions().Bits(), 0u);
    EXPECT_EQ(o->ExportMode, emAll);
    EXPECT_EQ(o->PaintOptions(), (TLTPaintOptions{toShowButtons, toShowDropmark, toShowRoot, toShowTreeLines,
                                                  toThemeAware, toUseBlendedImages}));
    EXPECT_EQ(o->AutoOptions(), (TLTAutoOptions{toAutoDropExpand, toAutoScrollOnExpand, toAutoSort,
                                                toAutoTristateTracking, toAutoDeleteMovedNodes, toAutoChangeScale}));
    EXPECT_EQ(o->MiscOptions(), (TLTMiscOptions{toAcceptOLEDrop, toFullRepaintOnResize, toInitOnSave,
                                                toToggleOnDblClick, toWheelPanning, toEditOnClick}));
    EXPECT_TRUE(o->InheritsFrom("TStringTreeOptions"));
}

TEST_F(TreeTest, FixedIndentBringsShowRoot) {
    auto* t = NewTree();
    t->TreeOptions()->SetPaintOptions({toFixedIndent});
    EXPECT_EQ(t->TreeOptions()->PaintOptions(), (TLTPaintOptions{toFixedIndent, toShowRoot}));
}

TEST_F(TreeTest, TheOldOptionSetMapsToTheNewSets) {
    auto* t = NewTree();
    t->ReadOldOptions({"voAutoSort", "voShowRoot", "voNoSuchOption", "", "voMultiSelect"});
    const TCustomLazyTreeOptions* o = t->TreeOptions();
    EXPECT_EQ(o->AutoOptions(), TLTAutoOptions{toAutoSort});
    EXPECT_EQ(o->PaintOptions(), TLTPaintOptions{toShowRoot});
    EXPECT_TRUE(o->AnimationOptions().Empty());
    EXPECT_TRUE(o->SelectionOptions().Empty());
    EXPECT_TRUE(o->MiscOptions().Empty());
}

TEST_F(TreeTest, ShowingFilteredNodesCountsThemAgain) {
    auto* t = NewTree();
    PLazyNode a = t->AddChild(nullptr), b = t->AddChild(nullptr);
    t->AddChild(nullptr);
    t->SetFiltered(a, true);
    t->SetFiltered(b, true);
    EXPECT_EQ(t->VisibleCount(), 1u);
    const uint32_t height = t->RootNode()->TotalHeight;
    t->TreeOptions()->SetPaintOptions(t->TreeOptions()->PaintOptions() + TLTPaintOptions{toShowFilteredNodes});
    EXPECT_EQ(t->VisibleCount(), 3u);
    EXPECT_EQ(t->RootNode()->TotalHeight, height + 36);
    t->TreeOptions()->SetPaintOptions(t->TreeOptions()->PaintOptions() - TLTPaintOptions{toShowFilteredNodes});
    EXPECT_EQ(t->VisibleCount(), 1u);
    EXPECT_EQ(t->RootNode()->TotalHeight, height);
}

TEST_F(TreeTest, AssigningOptionsLeavesTheExportMode) {
    auto* source = NewTree();
    auto* dest = NewTree();
    source->TreeOptions()->SetSelectionOptions({toMultiSelect, toFullRowSelect});
    source->TreeOptions()->ExportMode = emChecked;
    dest->TreeOptions()->ExportMode = emSelected;
    dest->SetTreeOptions(source->TreeOptions());
    EXPECT_EQ(dest->TreeOptions()->SelectionOptions(), (TLTSelectionOptions{toMultiSelect, toFullRowSelect}));
    EXPECT_EQ(dest->TreeOptions()->ExportMode, emSelected);
}

TEST_F(TreeTest, SelectingWithoutMultiSelectKeepsOneNodeAndFocusesIt) {
    auto* t = NewTree();
    BuildABC(t);
    std::vector<PLazyNode> focus;
    t->OnFocusChanged = [&](TBaseLazyTree*, PLazyNode n, TColumnIndex) { focus.push_back(n); };
    t->SetSelected(A, true);
    t->SetSelected(C, true);
    EXPECT_FALSE(A->States.Contains(vsSelected));
    EXPECT_TRUE(C->States.Contains(vsSelected));
    EXPECT_EQ(t->SelectedCount(), 1);
    EXPECT_EQ(t->FocusedNode(), C);
    EXPECT_EQ(focus.back(), C);
    // Focusing the focused node again says nothing.
    const size_t before = focus.size();
    t->SetFocusedNode(C);
    EXPECT_EQ(focus.size(), before);
}

TEST_F(TreeTest, MultiSelectionStaysSortedAndInvertsAndClears) {
    auto* t = NewTree();
    BuildABC(t);
    t->SetExpanded(B, true);
    t->TreeOptions()->SetSelectionOptions({toMultiSelect});
    int added = 0, removed = 0;
    t->OnAddToSelection = [&](TBaseLazyTree*, PLazyNode) { ++added; };
    t->OnRemoveFromSelection = [&](TBaseLazyTree*, PLazyNode) { ++removed; };
    for (PLazyNode n : {C, A, B2}) t->SetSelected(n, true);
    EXPECT_EQ(t->SelectedCount(), 3);
    const TNodeArray& s = t->SelectionArray();
    EXPECT_TRUE(std::is_sorted(s.begin(), s.end()));
    t->InvertSelection(false);
    EXPECT_EQ(t->GetSortedSelection(false), (TNodeArray{B, B1}));
    t->SelectAll(false);
    EXPECT_EQ(t->SelectedCount(), 5);
    t->ClearSelection();
    EXPECT_EQ(t->SelectedCount(), 0);
    EXPECT_EQ(added, 3 + 2 + 3);
    EXPECT_EQ(removed, 3 + 5);
    t->SelectVisibleRange(B, B2, false);
    EXPECT_EQ(t->GetSortedSelection(false), (TNodeArray{B, B1, B2}));
    t->DeselectRange(B1, B2);
    EXPECT_EQ(t->GetSortedSelection(false), (TNodeArray{B}));
}

TEST_F(TreeTest, TheLevelConstraintAdmitsOneLevel) {
    auto* t = NewTree();
    BuildABC(t);
    t->SetExpanded(B, true);
    t->TreeOptions()->SetSelectionOptions({toMultiSelect, toLevelSelectConstraint});
    t->SetSelected(A, true);
    t->SelectVisibleRange(A, C, true);
    EXPECT_EQ(t->GetSortedSelection(false), (TNodeArray{A, B, C}));
}

TEST_F(TreeTest, RemovingTheLastSelectedNodeRemembersTheNextToSelect) {
    struct Case {
        const char* Name;
        int Remove;  // index into the built nodes
        int Expect;
    };
    // Nodes: 0 P, 1 X (child of P), 2 Y (child of P), 3 Q (top), 4 Z (child of Q), 5 R (top, no children)
    const Case cases[] = {{"next sibling", 1, 2}, {"previous sibling", 2, 1}, {"parent", 4, 3}, {"first child", 5, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* t = NewTree();
        PLazyNode p = t->AddChild(nullptr);
        PLazyNode nodes[6] = {p, t->AddChild(p), t->AddChild(p), nullptr, nullptr, nullptr};
        nodes[3] = t->AddChild(nullptr);
        nodes[4] = t->AddChild(nodes[3]);
        if (c.Remove == 5) {
            // A top-level node alone, with a child: only the child is left.
            t->Clear();
            nodes[5] = t->AddChild(nullptr);
            nodes[0] = t->AddChild(nodes[5]);
        }
        t->TreeOptions()->SetSelectionOptions({toAlwaysSelectNode});
        t->SetSelected(nodes[c.Remove], true);
        t->SetSelected(nodes[c.Remove], false);
        EXPECT_EQ(t->NextNodeToSelect(), c.Expect < 0 ? nodes[0] : nodes[c.Expect]);
    }
}

TEST_F(TreeTest, FocusChangesCanBeRefused) {
    auto* t = NewTree();
    BuildABC(t);
    t->SetFocusedNode(A);
    t->OnFocusChanging = [](TBaseLazyTree*, PLazyNode, PLazyNode, TColumnIndex, TColumnIndex, bool& allowed) {
        allowed = false;
    };
    int changed = 0;
    t->OnFocusChanged = [&](TBaseLazyTree*, PLazyNode, TColumnIndex) { ++changed; };
    t->SetFocusedNode(C);
    EXPECT_EQ(t->FocusedNode(), A);
    EXPECT_EQ(changed, 0);
    t->OnFocusChanging = nullptr;
    t->SetFocusedNode(t->RootNode());
    EXPECT_EQ(t->FocusedNode(), nullptr);
    EXPECT_EQ(changed, 1);
}

TEST_F(TreeTest, AutoExpandOpensTheFocusedNodeAndClosesItsSibling) {
    auto* t = NewTree();
    BuildABC(t);
    PLazyNode c1 = t->AddChild(C);
    (void)c1;
    t->TreeOptions()->SetAutoOptions(t->TreeOptions()->AutoOptions() + TLTAutoOptions{toAutoExpand});
    t->SetFocusedNode(B);
    EXPECT_TRUE(B->States.Contains(vsExpanded));
    t->SetFocusedNode(C);
    EXPECT_TRUE(C->States.Contains(vsExpanded));
    EXPECT_FALSE(B->States.Contains(vsExpanded));
}

TEST_F(TreeTest, ToggleRangeFlipsTheNodesBetweenTheEnds) {
    auto* t = NewTree();
    BuildABC(t);
    t->SetExpanded(B, true);
    t->TreeOptions()->SetSelectionOptions({toMultiSelect});
    t->SetSelected(A, true);
    t->SetSelected(B1, true);
    ASSERT_EQ(t->RangeAnchor(), A);
    t->ToggleRange(A, B2);
    // The anchor stays selected, B and B2 join, B1 leaves.
    EXPECT_EQ(t->GetSortedSelection(false), (TNodeArray{A, B, B2}));
    EXPECT_EQ(t->SelectedCount(), int(t->SelectionArray().size()));
}
