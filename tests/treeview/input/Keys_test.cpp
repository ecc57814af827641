// Keyboard commands and the incremental search.
#include "InputKit.h"

namespace {

using Keys = InputTest;

TEST_F(Keys, DialogCodeWantsArrowsAndCharactersAndTabsOnRequest) {
    TInputTree* t = NewTree();
    EXPECT_EQ(t->Perform(WM_GETDLGCODE, 0, 0), 129);
    t->WantTabs = true;
    EXPECT_EQ(t->Perform(WM_GETDLGCODE, 0, 0), 131);
}

class Search : public Keys {
protected:
    void SetUp() override {
        Keys::SetUp();
        t = NewTree();
        n = AddNodes(t, nullptr, {"apple", "avocado", "banana", "bbq", "cherry"});
        t->SetFocus();
        t->SetFocusedNode(n[0]);
    }
    void Type(QChar c) { Input::KeyStroke(c.toUpper().unicode()); }
    TInputTree* t = nullptr;
    QList<PLazyNode> n;
};

TEST_F(Search, NoneTypesNothingAndRunsNoTimer) {
    Type('b');
    EXPECT_EQ(t->FocusedNode(), n[0]);
    EXPECT_TRUE(t->SearchBuffer().isEmpty());
    EXPECT_FALSE(IsTimerSet(t, TBaseLazyTree::SearchTimer));
}

TEST_F(Search, TheSameLetterTwiceJumpsToTheNextUnlessTheNodeHasItDoubled) {
    t->IncrementalSearch = isAll;
    Type('a');
    // The focused "apple" starts with "a" but the search steps on first.
    EXPECT_EQ(t->FocusedNode(), n[1]);
    Type('a');
    EXPECT_EQ(t->FocusedNode(), n[0]);
    EXPECT_EQ(t->SearchBuffer(), QStringLiteral("a"));
    // On "bbq" a second "b" spells "bb" and stays; elsewhere it jumps.
    AdvanceTime(1000);
    t->SetFocusedNode(n[2]);
    Type('b');
    EXPECT_EQ(t->FocusedNode(), n[3]);
    Type('b');
    EXPECT_EQ(t->FocusedNode(), n[3]);
    EXPECT_EQ(t->SearchBuffer(), QStringLiteral("bb"));
}

TEST_F(Search, NoMatchBeepsOnceAndChangesNothing) {
    t->IncrementalSearch = isAll;
    t->SetSelected(n[0], true);
    Type('b');
    ASSERT_EQ(t->FocusedNode(), n[2]);
    const int beeps = MessageBeepCount();
    Type('x');
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    EXPECT_EQ(t->FocusedNode(), n[2]);
    EXPECT_TRUE(t->GetSelected(n[2]));
    EXPECT_EQ(t->SelectedCount(), 1);
    EXPECT_EQ(t->SearchBuffer(), QStringLiteral("b"));
}

TEST_F(Search, AfterTheTimeoutANewTextStarts) {
    t->IncrementalSearch = isAll;
    Type('b');
    AdvanceTime(999);
    Type('b');  // repeated: the next node starting with b
    EXPECT_EQ(t->FocusedNode(), n[3]);
    AdvanceTime(1000);
    EXPECT_FALSE(t->TreeStates().Contains(tsIncrementalSearching));
    Type('c');
    EXPECT_EQ(t->FocusedNode(), n[4]);
    EXPECT_EQ(t->SearchBuffer(), QStringLiteral("c"));
}

TEST_F(Search, BackspaceInAnEmptyBufferOnlyRestartsTheTimer) {
    t->IncrementalSearch = isAll;
    const int beeps = MessageBeepCount();
    // Backspace is a search key only while a search runs.
    t->SwitchStates({tsIncrementalSearching}, {});
    Input::KeyStroke(VK_BACK);
    EXPECT_EQ(t->FocusedNode(), n[0]);
    EXPECT_TRUE(IsTimerSet(t, TBaseLazyTree::SearchTimer));
    EXPECT_EQ(MessageBeepCount(), beeps);
}

TEST_F(Keys, CtrlASelectsAllVisibleNodesOnlyWithMultiSelect) {
    TInputTree* t = NewTree();
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b", "c"});
    AddNodes(t, n[0], {"hidden"});
    t->SetFocus();
    Input::KeyStroke('A', ssCtrl);
    EXPECT_EQ(t->SelectedCount(), 0);
    AddSelection(t, {toMultiSelect});
    Input::KeyStroke('A', ssCtrl);
    EXPECT_EQ(t->SelectedCount(), 3);
}

TEST_F(Keys, SpaceReleasedAfterTheFocusMovedLeavesTheState) {
    TInputTree* t = NewTree();
    AddMisc(t, {toCheckSupport});
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b"});
    t->SetCheckType(n[0], ctCheckBox);
    t->SetFocus();
    t->SetFocusedNode(n[0]);
    Input::KeyDown(VK_SPACE);
    EXPECT_EQ(n[0]->CheckState, csUncheckedPressed);
    t->SetFocusedNode(n[1]);
    Input::KeyUp(VK_SPACE);
    EXPECT_EQ(n[0]->CheckState, csUncheckedNormal);
    // Pressed and released on the focused node it commits.
    t->SetFocusedNode(n[0]);
    Input::KeyStroke(VK_SPACE);
    EXPECT_EQ(n[0]->CheckState, csCheckedNormal);
}

TEST_F(Keys, ShiftDownExtendsAndShiftUpGivesBack) {
    TInputTree* t = NewTree();
    AddSelection(t, {toMultiSelect});
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b", "c", "d"});
    t->SetFocus();
    Input::Click(t, 30, 18 + 9);  // b: the anchor
    Input::KeyStroke(VK_DOWN, ssShift);
    Input::KeyStroke(VK_DOWN, ssShift);
    EXPECT_EQ(t->SelectedCount(), 3);
    EXPECT_EQ(t->FocusedNode(), n[3]);
    Input::KeyStroke(VK_UP, ssShift);
    EXPECT_EQ(t->SelectedCount(), 2);
    EXPECT_FALSE(t->GetSelected(n[3]));
    EXPECT_TRUE(t->GetSelected(n[1]));
    EXPECT_TRUE(t->GetSelected(n[2]));
    // Without Shift the selection follows the focus alone.
    Input::KeyStroke(VK_UP);
    EXPECT_EQ(t->SelectedCount(), 1);
    EXPECT_TRUE(t->GetSelected(n[1]));
}

}  // namespace
