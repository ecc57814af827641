#include "TreeKit.h"

#include <algorithm>
#include <map>

namespace {
// Keys of the nodes, compared as numbers.
struct TKeys {
    std::map<PLazyNode, int> Key;
    TLTCompareEvent Compare() {
        return [this](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& r) { r = Key[a] - Key[b]; };
    }
};
}  // namespace

TEST_F(TreeTest, EqualNodesKeepTheirOrderInBothDirections) {
    auto* t = NewTree();
    std::vector<PLazyNode> nodes;
    for (int i = 0; i < 7; ++i) nodes.push_back(t->AddChild(nullptr));
    t->OnCompareNodes = [](TBaseLazyTree*, PLazyNode, PLazyNode, TColumnIndex, int& r) { r = 0; };
    for (TSortDirection d : {sdAscending, sdDescending}) {
        t->Sort(nullptr, 0, d);
        int i = 0;
        for (PLazyNode n = t->GetFirstNoInit(); n; n = n->NextSibling, ++i) {
            EXPECT_EQ(n, nodes[i]);
            EXPECT_EQ(n->Index, uint32_t(i));
        }
    }
}

TEST_F(TreeTest, SortingByNumberFollowsTheDirection) {
    auto* t = NewTree();
    TKeys keys;
    PLazyNode one = t->AddChild(nullptr), three = t->AddChild(nullptr), two = t->AddChild(nullptr);
    keys.Key = {{one, 1}, {two, 2}, {three, 3}};
    t->OnCompareNodes = keys.Compare();
    t->Sort(nullptr, 0, sdDescending);
    EXPECT_EQ(t->GetFirst(), three);
    EXPECT_EQ(three->NextSibling, two);
    EXPECT_EQ(two->NextSibling, one);
    EXPECT_EQ(t->RootNode()->LastChild, one);
    EXPECT_EQ(one->PrevSibling, two);
    EXPECT_EQ(three->Index, 0u);
    EXPECT_EQ(two->Index, 1u);
    EXPECT_EQ(one->Index, 2u);
    t->Sort(nullptr, 0, sdAscending);
    EXPECT_EQ(t->GetFirst(), one);
    EXPECT_EQ(one->Index, 0u);
}

TEST_F(TreeTest, SortTreeTakesColumnMinusOneButNotMinusTwo) {
    auto* t = NewTree();
    BuildABC(t);
    t->SetExpanded(B, true);
    std::vector<TColumnIndex> columns;
    TKeys keys;
    keys.Key = {{A, 3}, {B, 2}, {C, 1}, {B1, 2}, {B2, 1}};
    t->OnCompareNodes = [&](TBaseLazyTree* s, PLazyNode a, PLazyNode b, TColumnIndex c, int& r) {
        columns.push_back(c);
        keys.Compare()(s, a, b, c, r);
    };
    t->SortTree(InvalidColumn, sdAscending);
    EXPECT_TRUE(columns.empty());
    EXPECT_EQ(t->GetFirst(), A);
    t->SortTree(NoColumn, sdAscending);
    ASSERT_FALSE(columns.empty());
    EXPECT_EQ(columns.front(), NoColumn);
    EXPECT_EQ(Walk(t->GetFirst(), [&](PLazyNode n) { return t->GetNext(n); }), Split("C B B2 B1 A"));
}

TEST_F(TreeTest, AutomaticSortingActsWhenNodesCanBeCompared) {
    auto* t = NewTree();
    TKeys keys;
    t->OnCompareNodes = keys.Compare();
    PLazyNode five = t->AddChild(nullptr);
    keys.Key[five] = 5;
    PLazyNode two = t->AddChild(nullptr);
    keys.Key[two] = 2;
    // The new node sorts in as soon as the next one is added.
    PLazyNode nine = t->AddChild(nullptr);
    keys.Key[nine] = 9;
    t->BeginUpdate();
    t->EndUpdate();
    EXPECT_EQ(Walk(t->GetFirst(), [&](PLazyNode n) { return t->GetNext(n); }).size(), 3);
    EXPECT_EQ(t->GetFirst(), two);
    EXPECT_EQ(two->NextSibling, five);
    EXPECT_EQ(five->NextSibling, nine);
}

TEST_F(TreeTest, CopyToWithoutTargetPutsTheCopyFirst) {
    auto* t = NewTree();
    BuildABC(t);
    int copying = 0;
    t->OnNodeCopying = [&](TBaseLazyTree*, PLazyNode, PLazyNode target, bool&) {
        ++copying;
        EXPECT_EQ(target, t->RootNode());
    };
    PLazyNode copy = t->CopyTo(B, static_cast<PLazyNode>(nullptr), amInsertAfter, false);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(t->GetFirst(), copy);
    EXPECT_EQ(copy->ChildCount, 2u);
    EXPECT_EQ(copying, 1);
    EXPECT_EQ(t->RootNodeCount(), 4u);
    EXPECT_EQ(t->RootNode()->TotalCount, 9u);
    EXPECT_EQ(A->Index, 1u);
    // A refused copy goes again.
    t->OnNodeCopying = [](TBaseLazyTree*, PLazyNode, PLazyNode, bool& allowed) { allowed = false; };
    EXPECT_EQ(t->CopyTo(A, C, amInsertAfter, false), nullptr);
    EXPECT_EQ(t->RootNodeCount(), 4u);
}

TEST_F(TreeTest, MovingIntoTheOwnSubtreeIsAnError) {
    auto* t = NewTree();
    BuildABC(t);
    try {
        t->MoveTo(B, B1, amAddChildLast, false);
        ADD_FAILURE() << "no error";
    } catch (const ELazyTreeError& e) {
        EXPECT_EQ(e.HelpContext(), hcTFWrongMoveError);
        EXPECT_EQ(e.Message(), "Target node cannot be a child node of the node to be moved.");
    }
    EXPECT_EQ(B1->Parent, B);
    auto* other = NewTree();
    EXPECT_EQ(AssertionText([&] { other->MoveTo(A, C, amInsertAfter, false); }),
              "The source tree must contain the source node.");
}

TEST_F(TreeTest, MovingChildrenAfterTheirParentKeepsTheirOrder) {
    auto* t = NewTree();
    BuildABC(t);
    PLazyNode a1 = t->AddChild(A), a2 = t->AddChild(A), a3 = t->AddChild(A);
    Names[a1] = "A1";
    Names[a2] = "A2";
    Names[a3] = "A3";
    std::vector<PLazyNode> moved;
    t->OnNodeMoved = [&](TBaseLazyTree*, PLazyNode n) { moved.push_back(n); };
    t->MoveTo(A, A, amInsertAfter, true);
    EXPECT_EQ(Walk(t->GetFirst(), [&](PLazyNode n) { return t->GetNext(n); }), Split("A A1 A2 A3 B B1 B2 C"));
    EXPECT_EQ(moved.size(), 3u);
    for (PLazyNode n = t->GetFirstNoInit(); n; n = n->NextSibling)
        EXPECT_EQ(n->Index, uint32_t(Walk(t->GetFirstNoInit(), [](PLazyNode x) { return x->NextSibling; })
                                          .indexOf(Name(n))));
    EXPECT_FALSE(A->States.Contains(vsHasChildren));
    EXPECT_EQ(t->RootNode()->TotalCount, 9u);
    t->MoveTo(C, B, amAddChildFirst, false);
    EXPECT_EQ(C->Parent, B);
    EXPECT_EQ(C->Index, 0u);
    EXPECT_EQ(B1->Index, 1u);
    EXPECT_EQ(B->TotalCount, 4u);
    t->SetNodeParent(C, A);
    EXPECT_EQ(C->Parent, A);
}

TEST_F(TreeTest, MovingToAnotherTreeFreesTheSourceNode) {
    auto* source = NewTree();
    BuildABC(source);
    auto* target = NewTree();
    PLazyNode x = target->AddChild(nullptr);
    std::vector<PLazyNode> freed;
    QStringList events;
    source->OnFreeNode = [&](TBaseLazyTree*, PLazyNode n) { freed.push_back(n); };
    source->OnNodeMoving = [&](TBaseLazyTree*, PLazyNode n, PLazyNode tg, bool&) {
        events << "moving";
        EXPECT_EQ(n, B);
        EXPECT_EQ(tg, x);
    };
    source->OnNodeMoved = [&](TBaseLazyTree*, PLazyNode n) {
        events << "moved";
        EXPECT_EQ(TBaseLazyTree::OwnerTreeOf(n), target);
    };
    std::vector<PLazyNode> announced;
    source->OnStructureChange = [&](TBaseLazyTree*, PLazyNode n, TChangeReason r) {
        if (r == crNodeMoved) announced.push_back(n);
    };
    source->GetNodeData(B);
    source->MoveTo(B, x, amAddChildLast, false);
    EXPECT_EQ(events, Split("moving moved"));
    EXPECT_EQ(source->RootNodeCount(), 2u);
    // Writing the subtree initialized B's children: all three say goodbye.
    EXPECT_EQ(freed.size(), 3u);
    EXPECT_EQ(std::count(freed.begin(), freed.end(), B), 1);
    EXPECT_EQ(announced, std::vector<PLazyNode>{nullptr});
    EXPECT_EQ(x->ChildCount, 1u);
    EXPECT_EQ(x->FirstChild->ChildCount, 2u);
    EXPECT_EQ(target->RootNode()->TotalCount, 5u);
    // A read-only tree takes nothing.
    target->TreeOptions()->SetMiscOptions(target->TreeOptions()->MiscOptions() + TLTMiscOptions{toReadOnly});
    source->MoveTo(A, x, amAddChildLast, false);
    EXPECT_EQ(source->RootNodeCount(), 2u);
    EXPECT_EQ(x->ChildCount, 1u);
}
