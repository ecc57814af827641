#include "TreeKit.h"

TEST(CheckStateTables, EveryStateMapsAsTheTablesSay) {
    struct Row {
        TCheckState State, Pressed, Released, Enabled, Toggled;
    };
    const Row rows[] = {
        {csUncheckedNormal, csUncheckedPressed, csUncheckedNormal, csUncheckedNormal, csCheckedNormal},
        {csUncheckedPressed, csUncheckedPressed, csUncheckedNormal, csUncheckedPressed, csCheckedPressed},
        {csCheckedNormal, csCheckedPressed, csCheckedNormal, csCheckedNormal, csUncheckedNormal},
        {csCheckedPressed, csCheckedPressed, csCheckedNormal, csCheckedPressed, csUncheckedPressed},
        {csMixedNormal, csMixedPressed, csMixedNormal, csMixedNormal, csCheckedNormal},
        {csMixedPressed, csMixedPressed, csMixedNormal, csMixedPressed, csCheckedPressed},
        {csUncheckedDisabled, csUncheckedDisabled, csUncheckedDisabled, csUncheckedNormal, csUncheckedDisabled},
        {csCheckedDisabled, csCheckedDisabled, csCheckedDisabled, csCheckedNormal, csCheckedDisabled},
        {csMixedDisabled, csMixedDisabled, csMixedDisabled, csMixedNormal, csMixedDisabled},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.State));
        EXPECT_EQ(TBaseLazyTree::PressedCheckState(r.State), r.Pressed);
        EXPECT_EQ(TBaseLazyTree::ReleasedCheckState(r.State), r.Released);
        EXPECT_EQ(TBaseLazyTree::EnabledCheckState(r.State), r.Enabled);
        EXPECT_EQ(TBaseLazyTree::ToggledCheckState(r.State), r.Toggled);
    }
}

class CheckTest : public TreeTest {
protected:
    void SetUp() override {
        T = NewTree();
        P = T->AddChild(nullptr);
        A = T->AddChild(P);
        B = T->AddChild(P);
        T->ValidateNode(nullptr, true);
        P->CheckType = ctTriStateCheckBox;
        A->CheckType = ctCheckBox;
        B->CheckType = ctCheckBox;
        T->OnChecking = [this](TBaseLazyTree*, PLazyNode n, TCheckState& s, bool&) { Log << Who(n) + "?" + QString::number(s); };
        T->OnChecked = [this](TBaseLazyTree*, PLazyNode n) { Log << Who(n) + "!"; };
    }
    QString Who(PLazyNode n) const { return n == P ? "P" : n == A ? "A" : n == B ? "B" : "?"; }
    TTestTree* T = nullptr;
    PLazyNode P = nullptr;
    QStringList Log;
};

TEST_F(CheckTest, ATriStateParentFollowsItsChildren) {
    T->SetCheckState(A, csCheckedNormal);
    EXPECT_EQ(P->CheckState, csMixedNormal);
    EXPECT_EQ(Log, Split("A?2 P?4 P! A!"));
    Log.clear();
    T->SetCheckState(B, csCheckedNormal);
    EXPECT_EQ(P->CheckState, csCheckedNormal);
    EXPECT_EQ(Log, Split("B?2 P?2 P! B!"));
    EXPECT_EQ(T->CheckedCount(), 3u);
    EXPECT_FALSE(T->TreeStates().Contains(tsCheckPropagation));
}

TEST_F(CheckTest, ChildrenFollowTheParentExceptDisabledOnes) {
    B->CheckState = csUncheckedDisabled;
    T->SetCheckState(P, csCheckedNormal);
    EXPECT_EQ(A->CheckState, csCheckedNormal);
    EXPECT_EQ(B->CheckState, csUncheckedDisabled);
    EXPECT_EQ(P->CheckState, csCheckedNormal);
    EXPECT_EQ(Log, Split("P?2 A?2 A! P!"));
    // Unchecking counts a checked disabled child: the parent stays mixed.
    B->CheckState = csCheckedDisabled;
    T->SetCheckState(P, csUncheckedNormal);
    EXPECT_EQ(A->CheckState, csUncheckedNormal);
    EXPECT_EQ(P->CheckState, csMixedNormal);
}

TEST_F(CheckTest, RefusalsAndHandlersThatChangeTheState) {
    T->OnChecking = [](TBaseLazyTree*, PLazyNode, TCheckState& s, bool&) { s = csMixedNormal; };
    T->SetCheckState(A, csCheckedNormal);
    EXPECT_EQ(A->CheckState, csMixedNormal);
    T->OnChecking = [](TBaseLazyTree*, PLazyNode, TCheckState&, bool& allowed) { allowed = false; };
    T->SetCheckState(B, csCheckedNormal);
    EXPECT_EQ(B->CheckState, csUncheckedNormal);
    // The same state again fires nothing.
    int asked = 0;
    T->OnChecking = [&](TBaseLazyTree*, PLazyNode, TCheckState&, bool&) { ++asked; };
    T->SetCheckState(B, csUncheckedNormal);
    EXPECT_EQ(asked, 0);
    T->SetCheckType(P, ctCheckBox);
    EXPECT_EQ(P->CheckState, csUncheckedNormal);
}

TEST_F(CheckTest, RadioButtonsExcludeTheirSiblingsSilently) {
    PLazyNode r[3];
    for (PLazyNode& n : r) {
        n = T->AddChild(nullptr);
        T->ValidateNode(n, false);
        n->CheckType = ctRadioButton;
    }
    r[0]->CheckState = csCheckedNormal;
    r[2]->CheckState = csCheckedNormal;
    T->SetCheckState(r[1], csCheckedNormal);
    EXPECT_EQ(r[0]->CheckState, csUncheckedNormal);
    EXPECT_EQ(r[1]->CheckState, csCheckedNormal);
    EXPECT_EQ(r[2]->CheckState, csUncheckedNormal);
    EXPECT_EQ(Log, Split("??2 ?!"));
}

TEST_F(CheckTest, CheckedCountTakesOnlyCheckedNormal) {
    A->CheckState = csCheckedPressed;
    B->CheckState = csCheckedDisabled;
    P->CheckState = csCheckedNormal;
    EXPECT_EQ(T->CheckedCount(), 1u);
    EXPECT_EQ(T->GetFirstChecked(csCheckedPressed), A);
    EXPECT_EQ(T->GetNextChecked(P, csCheckedNormal), nullptr);
}

TEST_F(CheckTest, PressAndReleaseCommitOnlyOnTheSameNode) {
    ASSERT_TRUE(T->PressCheckBox(A, false));
    EXPECT_EQ(A->CheckState, csUncheckedPressed);
    EXPECT_TRUE(T->TreeStates().Contains(tsMouseCheckPending));
    T->ReleaseCheckBox(false);
    EXPECT_EQ(A->CheckState, csUncheckedNormal);
    EXPECT_EQ(T->CheckNode(), nullptr);
    ASSERT_TRUE(T->PressCheckBox(A, true));
    T->ReleaseCheckBox(true);
    EXPECT_EQ(A->CheckState, csCheckedNormal);
    EXPECT_EQ(P->CheckState, csMixedNormal);
    EXPECT_FALSE(T->TreeStates().ContainsAny({tsMouseCheckPending, tsKeyCheckPending}));
    // Deleting the pressed node lets go of it.
    ASSERT_TRUE(T->PressCheckBox(B, false));
    T->DeleteNode(B);
    EXPECT_EQ(T->CheckNode(), nullptr);
    EXPECT_FALSE(T->TreeStates().Contains(tsMouseCheckPending));
}

TEST_F(CheckTest, SetCheckStateForAllSkipsDisabledStates) {
    B->CheckState = csUncheckedDisabled;
    T->SetCheckStateForAll(csCheckedNormal, false);
    EXPECT_EQ(P->CheckState, csCheckedNormal);
    EXPECT_EQ(A->CheckState, csCheckedNormal);
    EXPECT_EQ(B->CheckState, csUncheckedDisabled);
    T->ClearChecked();
    EXPECT_EQ(T->CheckedCount(), 0u);
}
