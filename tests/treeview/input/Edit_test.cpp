// The editing framework with an edit link that records what the tree asks
// of it, and the node references that end with a freed node.
#include "InputKit.h"

namespace {

struct TRecordingLink : ILTEditLink {
    QStringList Calls;
    bool AcceptEnd = true;
    TRect Bounds;
    PLazyNode Node = nullptr;
    bool BeginEdit() override {
        Calls << "begin";
        return true;
    }
    bool CancelEdit() override {
        Calls << "cancel";
        return true;
    }
    bool EndEdit() override {
        Calls << "end";
        return AcceptEnd;
    }
    bool PrepareEdit(TBaseLazyTree*, PLazyNode N, TColumnIndex) override {
        Calls << "prepare";
        Node = N;
        return true;
    }
    TRect GetBounds() override { return Bounds; }
    void ProcessMessage(TMessage&) override {}
    void SetBounds(TRect R) override {
        Calls << "bounds";
        Bounds = R;
    }
};

class Edit : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        t = NewTree();
        AddMisc(t, {toEditable});
        n = AddNodes(t, nullptr, {"a", "b", "c"});
        link = std::make_shared<TRecordingLink>();
        t->OnCreateEditor = [this](TBaseLazyTree*, PLazyNode, TColumnIndex, ILTEditLinkRef& l) {
            ++created;
            l = link;
        };
        t->OnEdited = [this](TBaseLazyTree*, PLazyNode, TColumnIndex) { events << "edited"; };
        t->OnEditCancelled = [this](TBaseLazyTree*, TColumnIndex) { events << "cancelled"; };
        t->SetFocus();
    }
    TInputTree* t = nullptr;
    QList<PLazyNode> n;
    std::shared_ptr<TRecordingLink> link;
    int created = 0;
    QStringList events;
};

TEST_F(Edit, EditNodeAnswers) {
    AddMisc(t, {toReadOnly});
    EXPECT_FALSE(t->EditNode(n[0], NoColumn));
    EXPECT_EQ(created, 0);
    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() - TLTMiscOptions{toReadOnly});
    EXPECT_TRUE(t->EditNode(n[0], NoColumn));
    EXPECT_EQ(link->Calls, (QStringList{"prepare", "bounds", "begin"}));
    EXPECT_TRUE(t->EditNode(n[1], NoColumn));
    EXPECT_EQ(created, 1);
    EXPECT_EQ(t->FocusedNode(), n[0]);
    EXPECT_TRUE(t->EndEditNode());
    EXPECT_EQ(events, QStringList{"edited"});
    EXPECT_FALSE(t->IsEditing());
    EXPECT_EQ(t->EditLink(), nullptr);
}

TEST_F(Edit, ARefusingEditorKeepsTheEditAndTheFocus) {
    ASSERT_TRUE(t->EditNode(n[0], NoColumn));
    link->AcceptEnd = false;
    EXPECT_FALSE(t->EndEditNode());
    EXPECT_TRUE(t->IsEditing());
    t->SetFocusedNode(n[1]);
    EXPECT_EQ(t->FocusedNode(), n[0]);
    Input::KeyStroke(VK_DOWN);
    EXPECT_EQ(t->FocusedNode(), n[0]);
    link->AcceptEnd = true;
}

TEST_F(Edit, ClickStartsAfterTheDelayAndADoubleClickCancelsOrStartsAtOnce) {
    t->SetFocusedNode(n[1]);
    t->SetSelected(n[1], true);
    Input::Click(t, 30, 18 + 9);
    EXPECT_TRUE(t->TreeStates().Contains(tsEditPending));
    AdvanceTime(999);
    EXPECT_FALSE(t->IsEditing());
    AdvanceTime(1);
    EXPECT_TRUE(t->IsEditing());
    ASSERT_TRUE(t->CancelEditNode());
    EXPECT_EQ(events, QStringList{"cancelled"});

    Input::Click(t, 30, 18 + 9);
    ASSERT_TRUE(t->TreeStates().Contains(tsEditPending));
    Input::DoubleClick(t, 30, 18 + 9);
    AdvanceTime(2000);
    EXPECT_FALSE(t->IsEditing());

    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() - TLTMiscOptions{toToggleOnDblClick} +
                                     TLTMiscOptions{toEditOnDblClick});
    Input::DoubleClick(t, 30, 18 + 9);
    AdvanceTime(0);
    EXPECT_TRUE(t->IsEditing());
}

TEST_F(Edit, GridLinesLeaveTheRowsLastPixel) {
    link->Bounds = Rect(0, 0, 10, 5);
    ASSERT_TRUE(t->EditNode(n[1], NoColumn));
    EXPECT_EQ(link->Bounds.Bottom, 36);
    t->CancelEditNode();
    AddPaint(t, {toShowHorzGridLines});
    link->Bounds = Rect(0, 0, 10, 5);
    ASSERT_TRUE(t->EditNode(n[1], NoColumn));
    EXPECT_EQ(link->Bounds.Bottom, 35);
}

TEST_F(Edit, ResizingWithoutColumnsPlacesTheEditorAgain) {
    ASSERT_TRUE(t->EditNode(n[0], NoColumn));
    link->Calls.clear();
    t->SetBounds(0, 0, 250, 300);
    EXPECT_EQ(link->Calls, QStringList{"bounds"});
    t->CancelEditNode();
}

TEST_F(Edit, DeletingTheEditedNodeCancelsTheEdit) {
    ASSERT_TRUE(t->EditNode(n[1], NoColumn));
    t->DeleteNode(n[1]);
    EXPECT_FALSE(t->IsEditing());
    EXPECT_EQ(events, QStringList{"cancelled"});
    EXPECT_EQ(t->EditLink(), nullptr);
}

// Each node reference of the input steps ends with its node: the event that
// would use it afterwards finds nothing.
TEST_F(InputTest, FreedNodesEndTheirInputState) {
    TInputTree* t = NewTree();
    AddMisc(t, {toCheckSupport, toNodeHeightResize});
    t->Header()->Columns()->Add()->SetWidth(200);
    auto* col = t->Header()->Columns()->Items(0);
    col->SetOptions(col->Options() + TLTColumnOptions{coFixed});
    QList<PLazyNode> n = AddNodes(t, nullptr, {"apple", "avocado", "banana", "cherry"});
    t->SetCheckType(n[0], ctCheckBox);

    // The pressed check box.
    Input::MouseDown(t, mbLeft, 18 + 4 + 2, 9);
    ASSERT_EQ(t->CheckNode(), n[0]);
    t->DeleteNode(n[0]);
    EXPECT_EQ(t->CheckNode(), nullptr);
    Input::MouseUp(t, mbLeft, 30, 9);

    // The last search hit.
    t->IncrementalSearch = isAll;
    t->IncrementalSearchStart = ssLastHit;
    t->SetFocus();
    Input::KeyStroke('A');
    ASSERT_EQ(t->LastSearchNode(), n[1]);
    t->DeleteNode(n[1]);
    EXPECT_EQ(t->LastSearchNode(), nullptr);
    Input::KeyStroke('B');
    EXPECT_EQ(t->FocusedNode(), n[2]);

    // The height-tracked node.
    Input::MouseDown(t, mbLeft, 30, 17);  // banana's lower edge (first row now)
    Input::MouseMove(t, 30, 25);
    ASSERT_EQ(t->HeightTrackNode(), n[2]);
    t->DeleteNode(n[2]);
    EXPECT_EQ(t->HeightTrackNode(), nullptr);
    Input::MouseMove(t, 30, 40);
    Input::MouseUp(t, mbLeft, 30, 40);

    // The hinted node.
    t->SetShowHint(true);
    t->HintMode = hmHint;
    THintInfo info;
    info.CursorPos = TPoint(30, 9);
    info.CursorRect = t->ClientRect();
    ASSERT_EQ(t->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
    ASSERT_EQ(t->HintData().Node, n[3]);
    t->DeleteNode(n[3]);
    EXPECT_EQ(t->HintData().Node, nullptr);
    EXPECT_FALSE(t->TreeStates().Contains(tsHint));
}

}  // namespace
