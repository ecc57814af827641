// Mouse buttons, check boxes, clicks, the rubber band and node height
// tracking, through the input layer.
#include "InputKit.h"

namespace {

using Mouse = InputTest;

// The x of a top-level node's text (indent 18 and margin 4) and the middle
// of row i.
constexpr int TextX = 30;
int RowY(int i) { return i * 18 + 9; }

TEST_F(Mouse, TheExpandButtonTogglesWithoutFocusOrSelection) {
    TInputTree* t = NewTree();
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b"});
    AddNodes(t, n[0], {"a1"});
    Input::Click(t, 10, RowY(0));
    EXPECT_TRUE(t->GetExpanded(n[0]));
    EXPECT_EQ(t->FocusedNode(), nullptr);
    EXPECT_EQ(t->SelectedCount(), 0);
    Input::Click(t, 10, RowY(0));
    EXPECT_FALSE(t->GetExpanded(n[0]));
}

class MouseChecks : public Mouse {
protected:
    void SetUp() override {
        Mouse::SetUp();
        t = NewTree();
        AddMisc(t, {toCheckSupport});
        n = AddNodes(t, nullptr, {"a", "b"});
        for (PLazyNode x : n) t->SetCheckType(x, ctCheckBox);
        t->OnChecked = [this](TBaseLazyTree*, PLazyNode x) { checked << x; };
    }
    int BoxX() const { return 18 + 4 + 2; }
    TInputTree* t = nullptr;
    QList<PLazyNode> n;
    QList<PLazyNode> checked;
};

TEST_F(MouseChecks, ReleaseOnTheSameNodeCommitsAnywhereOnItsRow) {
    Input::MouseDown(t, mbLeft, BoxX(), RowY(0));
    EXPECT_EQ(n[0]->CheckState, csUncheckedPressed);
    EXPECT_TRUE(t->TreeStates().Contains(tsMouseCheckPending));
    Input::MouseUp(t, mbLeft, 200, RowY(0));  // the free space of the same row
    EXPECT_EQ(n[0]->CheckState, csCheckedNormal);
    EXPECT_EQ(checked, QList<PLazyNode>{n[0]});
    EXPECT_FALSE(t->TreeStates().Contains(tsMouseCheckPending));
}

TEST_F(MouseChecks, ReleaseElsewhereRestoresTheOldState) {
    struct Case {
        int x, y;
    } cases[] = {{BoxX(), RowY(1)}, {BoxX(), 250}, {-20, RowY(0)}};
    for (const Case& c : cases) {
        Input::MouseDown(t, mbLeft, BoxX(), RowY(0));
        Input::MouseUp(t, mbLeft, c.x, c.y);
        EXPECT_EQ(n[0]->CheckState, csUncheckedNormal) << c.x << "," << c.y;
        EXPECT_FALSE(t->TreeStates().Contains(tsMouseCheckPending));
    }
    EXPECT_TRUE(checked.isEmpty());
}

TEST_F(MouseChecks, ADisabledNodesBoxDoesNothing) {
    t->SetDisabled(n[0], true);
    Input::Click(t, BoxX(), RowY(0));
    EXPECT_EQ(n[0]->CheckState, csUncheckedNormal);
    EXPECT_TRUE(checked.isEmpty());
}

TEST_F(MouseChecks, ADoubleClickOnABoxIsTwoClicks) {
    Input::DoubleClick(t, BoxX(), RowY(0));
    EXPECT_EQ(checked, (QList<PLazyNode>{n[0], n[0]}));
    EXPECT_EQ(n[0]->CheckState, csUncheckedNormal);
}

TEST_F(Mouse, AutomaticDragKeepsAMultiSelectionUntilMouseUp) {
    TInputTree* t = NewTree();
    AddSelection(t, {toMultiSelect});
    t->SetDragMode(dmAutomatic);
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b", "c"});
    t->SetSelected(n[0], true);
    t->SetSelected(n[1], true);
    t->SetSelected(n[2], true);
    Input::MouseDown(t, mbLeft, TextX, RowY(1));
    EXPECT_EQ(t->SelectedCount(), 3);
    EXPECT_TRUE(t->TreeStates().Contains(tsClearPending));
    Input::MouseUp(t, mbLeft, TextX, RowY(1));
    EXPECT_EQ(t->SelectedCount(), 1);
    EXPECT_TRUE(t->GetSelected(n[1]));
}

TEST_F(Mouse, EmptySpaceClearsAtOnceAndTheBandStartsPastFivePixels) {
    TInputTree* t = NewTree();
    AddSelection(t, {toMultiSelect});
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b", "c", "d"});
    t->SetSelected(n[3], true);
    t->SetFocusedNode(n[3]);
    Input::MouseDown(t, mbLeft, 200, RowY(0));
    EXPECT_EQ(t->SelectedCount(), 0);
    EXPECT_EQ(t->FocusedNode(), n[3]);
    EXPECT_TRUE(t->TreeStates().Contains(tsDrawSelPending));
    Input::MouseMove(t, 196, RowY(0) + 5);  // 4 and 5 pixels: not yet
    EXPECT_FALSE(t->TreeStates().Contains(tsDrawSelecting));
    Input::MouseMove(t, 195, RowY(0) + 6);
    EXPECT_TRUE(t->TreeStates().Contains(tsDrawSelecting));
    Input::MouseMove(t, 20, RowY(2));
    EXPECT_EQ(t->SelectedCount(), 3);
    // Moved back, the band lets go of what it left.
    Input::MouseMove(t, 20, RowY(1));
    EXPECT_EQ(t->SelectedCount(), 2);
    EXPECT_FALSE(t->GetSelected(n[2]));
    Input::MouseUp(t, mbLeft, 20, RowY(1));
    EXPECT_FALSE(t->IsMouseSelecting());
}

TEST_F(Mouse, ABandStartedWithCtrlToggles) {
    TInputTree* t = NewTree();
    AddSelection(t, {toMultiSelect});
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b", "c"});
    t->SetSelected(n[1], true);
    Input::MouseDown(t, mbLeft, 200, RowY(0), ssCtrl);
    Input::MouseMove(t, 20, RowY(2), ssCtrl);
    EXPECT_TRUE(t->GetSelected(n[0]));
    EXPECT_FALSE(t->GetSelected(n[1]));
    EXPECT_TRUE(t->GetSelected(n[2]));
    Input::MouseMove(t, 20, RowY(0) + 3, ssCtrl);
    EXPECT_TRUE(t->GetSelected(n[0]));
    EXPECT_TRUE(t->GetSelected(n[1]));
    EXPECT_FALSE(t->GetSelected(n[2]));
    Input::MouseUp(t, mbLeft, 20, RowY(0) + 3, ssCtrl);
}

TEST_F(Mouse, HeightTrackingNeverGoesBelowOnePixel) {
    TInputTree* t = NewTree();
    AddMisc(t, {toNodeHeightResize});
    t->Header()->Columns()->Add()->SetWidth(200);
    auto* col = t->Header()->Columns()->Items(0);
    col->SetOptions(col->Options() + TLTColumnOptions{coFixed});
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b"});
    Input::MouseDown(t, mbLeft, TextX, 17);  // A's lower edge
    EXPECT_TRUE(t->TreeStates().Contains(tsNodeHeightTrackPending));
    Input::MouseMove(t, TextX, 30);
    EXPECT_EQ(t->GetNodeHeight(n[0]), 30u);
    Input::MouseMove(t, TextX, -40);
    EXPECT_EQ(t->GetNodeHeight(n[0]), 1u);
    Input::MouseUp(t, mbLeft, TextX, -40);
    EXPECT_FALSE(t->TreeStates().ContainsAny({tsNodeHeightTracking, tsNodeHeightTrackPending}));
}

TEST_F(Mouse, AClickFocusesAndSelectsTheNode) {
    TInputTree* t = NewTree();
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b"});
    QList<PLazyNode> clicks;
    t->OnNodeClick = [&](TBaseLazyTree*, const THitInfo& h) { clicks << h.HitNode; };
    Input::Click(t, TextX, RowY(1));
    EXPECT_EQ(t->FocusedNode(), n[1]);
    EXPECT_TRUE(t->GetSelected(n[1]));
    EXPECT_EQ(clicks, QList<PLazyNode>{n[1]});
    EXPECT_TRUE(t->Focused());
}

}  // namespace
