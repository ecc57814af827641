#include "TreeKit.h"

#include <cstring>
#include <set>

TEST_F(TreeTest, ANewTopLevelNodeHasTheDefaultsOfAFreshNode) {
    auto* t = NewTree();
    PLazyNode n = t->AddChild(nullptr);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Index, 0u);
    EXPECT_EQ(n->Parent, t->RootNode());
    EXPECT_EQ(n->NodeHeight, 18);
    EXPECT_EQ(n->Align, 50);
    EXPECT_EQ(n->States, TLazyNodeStates{vsVisible});
    EXPECT_EQ(n->CheckType, ctNone);
    EXPECT_EQ(n->CheckState, csUncheckedNormal);
    EXPECT_EQ(n->TotalCount, 1u);
    PLazyNode child = t->AddChild(n);
    PLazyNode grandchild = t->AddChild(child);
    EXPECT_EQ(t->GetNodeLevel(n), 0u);
    EXPECT_EQ(t->GetNodeLevel(child), 1u);
    EXPECT_EQ(t->GetNodeLevel(grandchild), 2u);
    EXPECT_EQ(t->GetNodeLevel(nullptr), 0u);
    EXPECT_EQ(t->GetNodeLevel(t->RootNode()), 0u);
    // The root counts every node below it, the node itself included.
    EXPECT_EQ(t->RootNode()->TotalCount, 4u);
    EXPECT_EQ(t->RootNode()->States, (TLazyNodeStates{vsInitialized, vsExpanded, vsHasChildren, vsVisible}));
    // Without a handler the user data area holds a whole pointer.
    EXPECT_EQ(t->NodeDataSize(), int(sizeof(void*)));
    EXPECT_EQ(TBaseLazyTree::OwnerTreeOf(grandchild), t);
}

TEST_F(TreeTest, DeletingTheMiddleSiblingRenumbersTheRest) {
    auto* t = NewTree();
    PLazyNode a = t->AddChild(nullptr), b = t->AddChild(nullptr), c = t->AddChild(nullptr);
    (void)b;
    t->DeleteNode(b);
    EXPECT_EQ(a->Index, 0u);
    EXPECT_EQ(c->Index, 1u);
    EXPECT_EQ(a->NextSibling, c);
    EXPECT_EQ(c->PrevSibling, a);
    EXPECT_EQ(t->RootNodeCount(), 2u);
    EXPECT_EQ(t->VisibleCount(), 2u);
    EXPECT_EQ(t->RootNode()->TotalHeight, 18u + 36u);
}

TEST_F(TreeTest, DeletingTheLastChildClearsTheParentsChildStates) {
    auto* t = NewTree();
    PLazyNode p = t->AddChild(nullptr);
    PLazyNode c = t->AddChild(p);
    t->SetExpanded(p, true);
    t->SetVisible(c, false);
    ASSERT_TRUE(p->States.ContainsAll({vsHasChildren, vsExpanded, vsAllChildrenHidden}));
    t->DeleteNode(c);
    EXPECT_FALSE(p->States.ContainsAny({vsHasChildren, vsAllChildrenHidden, vsExpanded}));
    EXPECT_EQ(p->TotalHeight, 18u);
    t->DeleteNode(p);
    EXPECT_FALSE(t->RootNode()->States.Contains(vsHasChildren));
    EXPECT_TRUE(t->RootNode()->States.Contains(vsExpanded));
    EXPECT_EQ(t->RootNode()->TotalHeight, 18u);
    EXPECT_EQ(t->RootNode()->TotalCount, 1u);
}

TEST_F(TreeTest, ReadingTotalCountCreatesEveryAnnouncedChild) {
    auto* t = NewTree();
    int inits = 0;
    t->OnInitNode = [&](TBaseLazyTree*, PLazyNode parent, PLazyNode, TLazyNodeInitStates& s) {
        ++inits;
        if (!parent) s.Include(ivsHasChildren);
    };
    t->OnInitChildren = [](TBaseLazyTree*, PLazyNode, uint32_t& count) { count = 10; };
    t->SetRootNodeCount(3);
    EXPECT_EQ(inits, 0);
    EXPECT_EQ(t->TotalCount(), 33u);
    EXPECT_EQ(inits, 33);
    // The children were created collapsed: only the top level shows.
    EXPECT_EQ(t->VisibleCount(), 3u);
}

TEST_F(TreeTest, SettingNodeDataSizeRecreatesTheTopLevelEmpty) {
    auto* t = NewTree();
    int freed = 0;
    t->OnFreeNode = [&](TBaseLazyTree*, PLazyNode) { ++freed; };
    t->SetRootNodeCount(5);
    t->ValidateNode(nullptr, true);
    t->AddChild(t->GetFirst());
    t->SetNodeDataSize(16);
    EXPECT_EQ(t->RootNodeCount(), 5u);
    EXPECT_EQ(t->RootNode()->TotalCount, 6u);
    for (PLazyNode n = t->GetFirstNoInit(); n; n = t->GetNextNoInit(n)) {
        EXPECT_FALSE(n->States.Contains(vsInitialized));
        EXPECT_EQ(n->ChildCount, 0u);
    }
    // The child was never initialized nor handed out: it asks for no event.
    EXPECT_EQ(freed, 5);
}

TEST_F(TreeTest, MisuseRaisesAssertionsWithTheirTexts) {
    auto* t = NewTree();
    EXPECT_EQ(AssertionText([&] { t->GetNodeData(nullptr); }), "NodeDataSize not initialized.");
    PLazyNode a = t->AddChild(nullptr);
    EXPECT_EQ(AssertionText([&] { t->ReserveInternalData(4); }),
              "Internal data allocation must be done before any node is created.");
    QString text;
    t->IterateSubtree(nullptr, [&](TBaseLazyTree*, PLazyNode n, void*, bool&) {
        text = AssertionText([&] { t->DeleteNode(n); });
    }, nullptr);
    EXPECT_EQ(text, "Deleting nodes during tree iteration leads to invalid pointers.");
    EXPECT_EQ(t->RootNodeCount(), 1u);
    EXPECT_EQ(AssertionText([&] { t->ToggleNode(nullptr); }), "Node must not be nil.");
    EXPECT_EQ(AssertionText([&] { t->GetNext(t->RootNode()); }), "Node must not be the hidden root node.");
    EXPECT_EQ(AssertionText([&] { t->SetVisible(nullptr, false); }), "Invalid parameter.");
    EXPECT_EQ(AssertionText([&] { t->SetFullyVisible(t->RootNode(), true); }), "Invalid parameter");
    EXPECT_EQ(AssertionText([&] { t->GetVisiblePath(nullptr); }), "Invalid parameters.");
    EXPECT_EQ(t->GetNodeData(a), t->GetNodeData(a));
}

TEST_F(TreeTest, AReadOnlyTreeRefusesChangesButFreesEveryNodeWhenDestroyed) {
    auto* t = NewTree();
    std::set<PLazyNode> freed;
    t->OnFreeNode = [&](TBaseLazyTree*, PLazyNode n) { freed.insert(n); };
    PLazyNode a = t->AddChild(nullptr);
    PLazyNode b = t->AddChild(a);
    t->GetNodeData(a);
    t->GetNodeData(b);
    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() + TLTMiscOptions{toReadOnly});
    EXPECT_EQ(t->AddChild(nullptr), nullptr);
    t->Clear();
    t->DeleteNode(a);
    t->SetChildCount(nullptr, 7);
    EXPECT_EQ(t->RootNode()->TotalCount, 3u);
    EXPECT_TRUE(freed.empty());
    FreeTree(t);
    EXPECT_EQ(freed, (std::set<PLazyNode>{a, b}));
}

TEST_F(TreeTest, InsertNodePlacesNodesRelativeToAnother) {
    auto* t = NewTree();
    PLazyNode a = t->AddChild(nullptr), b = t->AddChild(nullptr);
    PLazyNode first = t->InsertNode(nullptr, amInsertBefore);
    EXPECT_EQ(t->GetFirst(), first);
    EXPECT_EQ(first->Index, 0u);
    EXPECT_EQ(a->Index, 1u);
    EXPECT_EQ(b->Index, 2u);
    PLazyNode mid = t->InsertNode(a, amInsertAfter);
    EXPECT_EQ(a->NextSibling, mid);
    EXPECT_EQ(mid->Index, 2u);
    EXPECT_EQ(b->Index, 3u);
    PLazyNode child = t->InsertNode(b, amAddChildFirst);
    EXPECT_EQ(child->Parent, b);
    EXPECT_TRUE(b->States.Contains(vsHasChildren));
    EXPECT_EQ(t->InsertNode(a, amNoWhere), nullptr);
    EXPECT_EQ(t->RootNode()->TotalCount, 6u);
    EXPECT_EQ(t->VisibleCount(), 4u);
}

TEST_F(TreeTest, AbsoluteIndexCountsInPreOrder) {
    auto* t = NewTree();
    BuildABC(t);
    const std::pair<PLazyNode, uint32_t> cases[] = {{A, 0}, {B, 1}, {B1, 2}, {B2, 3}, {C, 4}, {nullptr, 0}};
    for (auto [node, index] : cases) EXPECT_EQ(t->AbsoluteIndex(node), index) << Name(node).toStdString();
    EXPECT_EQ(t->AbsoluteIndex(t->RootNode()), 0u);
}

TEST_F(TreeTest, HeightsAndVisibleCountFollowExpandingHidingAndFiltering) {
    auto* t = NewTree();
    BuildABC(t);
    // B is collapsed: its children add neither height nor count.
    EXPECT_EQ(t->VisibleCount(), 3u);
    EXPECT_EQ(t->RootNode()->TotalHeight, 18u + 3 * 18u);
    t->SetExpanded(B, true);
    EXPECT_EQ(t->VisibleCount(), 5u);
    EXPECT_EQ(B->TotalHeight, 54u);
    EXPECT_EQ(t->RootNode()->TotalHeight, 18u + 5 * 18u);
    t->SetVisible(B1, false);
    EXPECT_EQ(t->VisibleCount(), 4u);
    EXPECT_EQ(t->RootNode()->TotalHeight, 18u + 4 * 18u);
    t->SetFiltered(B2, true);
    EXPECT_EQ(t->VisibleCount(), 3u);
    EXPECT_EQ(B2->TotalHeight, 0u);
    EXPECT_TRUE(B->States.Contains(vsAllChildrenHidden));
    t->SetNodeHeight(B2, 40);
    EXPECT_EQ(B2->NodeHeight, 40);
    EXPECT_EQ(B2->TotalHeight, 0u);
    t->SetFiltered(B2, false);
    EXPECT_EQ(B2->TotalHeight, 40u);
    EXPECT_EQ(t->VisibleCount(), 4u);
    // Hiding B takes its shown children with it.
    t->SetVisible(B, false);
    EXPECT_EQ(t->VisibleCount(), 2u);
    EXPECT_EQ(t->RootNode()->TotalHeight, 18u + 36u);
    t->SetVerticalAlignment(A, 250);
    EXPECT_EQ(A->Align, 100);
    t->SetDefaultNodeHeight(0);
    EXPECT_EQ(t->DefaultNodeHeight(), 18u);
}

// What the M-Bus scan window does with its trees.
struct TScanRecord {
    QString Name;
    int Code = 0;
    QString Unit;
};

TEST_F(TreeTest, ScanWindowRecordsLiveInTheUserDataArea) {
    auto* t = NewTree();
    t->SetNodeDataSize(sizeof(TScanRecord));
    std::map<PLazyNode, int> freed;
    QStringList namesAtFree;
    t->OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode n, TLazyNodeInitStates&) {
        n->CheckType = ctCheckBox;
    };
    t->OnFreeNode = [&](TBaseLazyTree* s, PLazyNode n) {
        ++freed[n];
        namesAtFree << s->GetNodeRecord<TScanRecord>(n)->Name;
    };
    PLazyNode meter = t->AddChild(nullptr);
    PLazyNode record = t->AddChild(meter);
    PLazyNode value = t->AddChild(record);
    auto* r = t->GetNodeRecord<TScanRecord>(meter);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->Name.isEmpty());
    r->Name = QStringLiteral("Meter 12345678, a name long enough to live on the heap");
    r->Code = 7;
    t->GetNodeRecord<TScanRecord>(record)->Unit = QStringLiteral("kWh");
    EXPECT_EQ(t->GetNodeRecord<TScanRecord>(meter), r);
    EXPECT_EQ(static_cast<void*>(r), t->GetNodeData(meter));
    EXPECT_EQ(t->GetNodeRecord<TScanRecord>(meter)->Code, 7);
    EXPECT_EQ(t->GetNodeLevel(value), 2u);
    EXPECT_EQ(value->Parent, record);
    EXPECT_EQ(record->Index, 0u);
    t->ValidateNode(nullptr, true);
    EXPECT_EQ(value->CheckType, ctCheckBox);
    value->CheckState = csCheckedNormal;
    EXPECT_EQ(t->GetCheckState(value), csCheckedNormal);
    t->Clear();
    EXPECT_EQ(freed.size(), 3u);
    for (auto& [node, count] : freed) EXPECT_EQ(count, 1);
    EXPECT_TRUE(namesAtFree.contains(QStringLiteral("Meter 12345678, a name long enough to live on the heap")));
    EXPECT_EQ(t->RootNodeCount(), 0u);
}

TEST_F(TreeTest, SharedUserDataIsReleasedWithTheNode) {
    auto* t = NewTree();
    auto data = std::make_shared<int>(42);
    PLazyNode n = t->AddChild(nullptr, std::static_pointer_cast<void>(data));
    EXPECT_TRUE(n->States.ContainsAll({vsReleaseCallOnUserDataRequired, vsOnFreeNodeCallRequired}));
    EXPECT_EQ(data.use_count(), 2);
    EXPECT_EQ(std::static_pointer_cast<int>(t->GetNodeShared(n)).get(), data.get());
    t->DeleteNode(n);
    EXPECT_EQ(data.use_count(), 1);
}

TEST_F(TreeTest, InitialUserDataNeedsRoomForAWholePointerAndLeavesTheInternalAreaAlone) {
    auto* t = NewTree();
    t->SetNodeDataSize(4);
    PLazyNode plain = t->AddChild(nullptr);
    *t->NodeWidthCache(plain) = 0x5A5A5A5A;
    int payload = 1;
    const QString text = AssertionText([&] { t->AddChild(plain, &payload); });
    EXPECT_EQ(text, "TLazyStringTree: Cannot set initial user data because there is not enough user data space "
                    "allocated.");
    // The refused pointer went nowhere: the new child's internal area is
    // untouched (adding a child measures the parent's text again, so its
    // cached width is cleared).
    ASSERT_NE(plain->LastChild, nullptr);
    EXPECT_EQ(*t->NodeWidthCache(plain->LastChild), 0);
    *t->NodeWidthCache(plain) = 0x5A5A5A5A;
    EXPECT_EQ(AssertionText([&] { t->SetNodeData(plain, &payload); }), text);
    EXPECT_EQ(*t->NodeWidthCache(plain), 0x5A5A5A5A);
    // With room for it the whole pointer is stored.
    t->SetNodeDataSize(8);
    PLazyNode n = t->AddChild(nullptr, &payload);
    void* stored = nullptr;
    std::memcpy(&stored, t->GetNodeData(n), sizeof(stored));
    EXPECT_EQ(stored, &payload);
    EXPECT_EQ(*t->NodeWidthCache(n), 0);
}

TEST_F(TreeTest, AMillionTopLevelNodesCostNoEventWithTheDefaultOptions) {
    auto* t = NewTree();
    int inits = 0;
    t->OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates&) { ++inits; };
    ASSERT_TRUE(t->TreeOptions()->AutoOptions().Contains(toAutoSort));
    ASSERT_EQ(t->SortColumn(), NoColumn);
    t->SetRootNodeCount(1000000);
    EXPECT_EQ(inits, 0);
    EXPECT_EQ(t->VisibleCount(), 1000000u);
    // Nor does adding nodes one at a time initialize their siblings.
    t->AddChild(nullptr);
    t->BeginUpdate();
    t->AddChild(nullptr);
    t->EndUpdate();
    EXPECT_EQ(inits, 0);
}

TEST_F(TreeTest, FreeingANodeClearsEveryReferenceToIt) {
    auto* t = NewTree();
    BuildABC(t);
    t->TreeOptions()->SetSelectionOptions({toAlwaysSelectNode});
    t->SetExpanded(B, true);
    t->SetFocusedNode(B1);
    ASSERT_EQ(t->FocusedNode(), B1);
    t->SetSelected(B1, true);
    ASSERT_EQ(t->RangeAnchor(), B1);
    t->DeleteNode(B1);
    EXPECT_NE(t->FocusedNode(), B1);
    EXPECT_NE(t->RangeAnchor(), B1);
    // The node to select next moved on, and the tree selected it.
    EXPECT_NE(t->NextNodeToSelect(), B1);
    EXPECT_TRUE(B2->States.Contains(vsSelected));
    t->DeleteNode(B2);
    t->DeleteNode(B);
    EXPECT_NE(t->NextNodeToSelect(), B);
    EXPECT_EQ(t->SelectedCount(), t->SelectionArray().size());
}

TEST_F(TreeTest, DeleteSelectedNodesRemovesTopmostSelectionsWithTheirSubtrees) {
    auto* t = NewTree();
    BuildABC(t);
    t->TreeOptions()->SetSelectionOptions({toMultiSelect});
    int removed = 0;
    t->OnRemoveFromSelection = [&](TBaseLazyTree*, PLazyNode) { ++removed; };
    for (PLazyNode n : {B, B1, C}) t->SetSelected(n, true);
    t->DeleteSelectedNodes();
    EXPECT_EQ(t->RootNodeCount(), 1u);
    EXPECT_EQ(t->GetFirst(), A);
    EXPECT_EQ(A->Index, 0u);
    EXPECT_EQ(t->SelectedCount(), 0);
    EXPECT_TRUE(t->SelectionArray().isEmpty());
    EXPECT_EQ(removed, 3);
    EXPECT_EQ(t->RootNode()->TotalCount, 2u);
    EXPECT_EQ(t->VisibleCount(), 1u);
}

TEST_F(TreeTest, ShrinkingTheChildCountDeletesFromTheEnd) {
    auto* t = NewTree();
    std::vector<TChangeReason> reasons;
    t->SetRootNodeCount(5);
    PLazyNode first = t->GetFirstNoInit();
    t->OnStructureChange = [&](TBaseLazyTree*, PLazyNode, TChangeReason r) { reasons.push_back(r); };
    t->SetChildCount(nullptr, 2);
    EXPECT_EQ(t->RootNodeCount(), 2u);
    EXPECT_EQ(t->GetFirstNoInit(), first);
    EXPECT_EQ(first->NextSibling->Index, 1u);
    EXPECT_EQ(first->NextSibling->NextSibling, nullptr);
    EXPECT_EQ(t->VisibleCount(), 2u);
    // Three deletions, then the count change itself, still said as an addition.
    ASSERT_FALSE(reasons.empty());
    EXPECT_EQ(reasons.back(), crChildAdded);
}

TEST_F(TreeTest, ReinitAndResetAskTheApplicationAgain) {
    auto* t = NewTree();
    std::vector<bool> reinit;
    int resets = 0;
    t->OnInitNode = [&](TBaseLazyTree*, PLazyNode parent, PLazyNode, TLazyNodeInitStates& s) {
        reinit.push_back(s.Contains(ivsReInit));
        if (!parent) s.Include(ivsHasChildren);
    };
    t->OnInitChildren = [](TBaseLazyTree*, PLazyNode, uint32_t& count) { count = 2; };
    t->OnResetNode = [&](TBaseLazyTree*, PLazyNode) { ++resets; };
    PLazyNode n = t->AddChild(nullptr);
    // Never initialized: a reinit only clears the transient states.
    n->States.Include(vsCutOrCopy);
    t->ReinitNode(n, false);
    EXPECT_TRUE(reinit.empty());
    EXPECT_FALSE(n->States.Contains(vsCutOrCopy));
    t->ValidateNode(n, true);
    EXPECT_EQ(n->ChildCount, 2u);
    EXPECT_EQ(reinit, (std::vector<bool>{false, false, false}));
    reinit.clear();
    t->ReinitNode(n, true);
    EXPECT_EQ(reinit, (std::vector<bool>{true, true, true}));
    t->ResetNode(n);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(n->ChildCount, 0u);
    EXPECT_FALSE(n->States.ContainsAny({vsInitialized, vsHasChildren, vsExpanded}));
    EXPECT_EQ(t->RootNode()->TotalCount, 2u);
    QString text = QStringLiteral("left over");
    TRect r(1, 2, 3, 4);
    t->TBaseLazyTree::GetTextInfo(n, NoColumn, nullptr, r, text);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(r.Right, 0);
}

TEST_F(TreeTest, ANodeRecordMustFitTheUserDataArea) {
    auto* t = NewTree();
    t->SetNodeDataSize(4);
    PLazyNode n = t->AddChild(nullptr);
    EXPECT_FALSE(AssertionText([&] { t->GetNodeRecord<TScanRecord>(n); }).isEmpty());
    EXPECT_EQ(t->GetNodeRecord<int32_t>(n), t->GetNodeData(n));
    // One record type per tree.
    EXPECT_FALSE(AssertionText([&] { t->GetNodeRecord<float>(n); }).isEmpty());
}

TEST_F(TreeTest, ATopLevelCountReadFromAFormDescriptionCreatesNodesWhenLoadingEnds) {
    auto* t = NewTree();
    t->BeginLoading();
    t->SetRootNodeCount(4);
    EXPECT_TRUE(t->TreeStates().Contains(tsNeedRootCountUpdate));
    EXPECT_EQ(t->RootNode()->TotalCount, 1u);
    EXPECT_EQ(t->RootNode()->FirstChild, nullptr);
    // Options read meanwhile apply silently; read-only does not stop the nodes.
    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() + TLTMiscOptions{toReadOnly});
    t->EndLoading();
    EXPECT_FALSE(t->TreeStates().Contains(tsNeedRootCountUpdate));
    EXPECT_EQ(t->RootNodeCount(), 4u);
    EXPECT_EQ(t->RootNode()->TotalCount, 5u);
    EXPECT_EQ(t->VisibleCount(), 4u);
    EXPECT_TRUE(t->TreeOptions()->MiscOptions().Contains(toReadOnly));
}
