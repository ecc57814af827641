#include "Std2Kit.h"
#include "platform/controls/TreeView.h"
#include "platform/core/Exceptions.h"

// Root "Net" with nodes A (children a1, a2, a3) and B (child b1), and C.
class TreeViewTest : public Std2Test {
protected:
    void SetUp() override {
        Std2Test::SetUp();
        TV = new TTreeView(Form);
        TV->SetParent(Form);
        TV->SetBounds(0, 0, 200, 250);
        Net = TV->Items()->Add(nullptr, "Net");
        A = TV->Items()->AddChild(Net, "A");
        for (const char* t : {"a1", "a2", "a3"}) TV->Items()->AddChild(A, t);
        B = TV->Items()->AddChild(Net, "B");
        TV->Items()->AddChild(B, "b1");
        C = TV->Items()->AddChild(Net, "C");
        TV->OnChange = [this](TObject*, TTreeNode* n) {
            Log << "Change:" + (n ? n->Text() : QString("none")) + "/" + QString::number(TV->Items()->Count());
        };
        Form->Show();
    }
    QString SelText() const { return TV->Selected() ? TV->Selected()->Text() : QString("none"); }
    TTreeView* TV = nullptr;
    TTreeNode *Net, *A, *B, *C;
};

TEST_F(TreeViewTest, ItemsHangUnderTheirParentsInOrder) {
    EXPECT_EQ(TV->Items()->Count(), 8);
    EXPECT_EQ(Net->Count(), 3);
    EXPECT_EQ(A->Item(2)->Text(), "a3");
    EXPECT_EQ(A->Item(2)->Level(), 2);
    EXPECT_EQ(B->Index(), 1);
    EXPECT_EQ(C->AbsoluteIndex(), 7);
    EXPECT_EQ(TV->Items()->Item(6)->Text(), "b1");
    EXPECT_THROW(TV->Items()->Item(8), EListError);
    EXPECT_THROW(A->Item(3), EListError);
    TTreeNode* first = TV->Items()->AddChildFirst(A, "a0");
    TTreeNode* before = TV->Items()->Insert(C, "B2");
    int tag = 7;
    TTreeNode* withData = TV->Items()->AddChildObject(C, "c1", &tag);
    EXPECT_EQ(first->Index(), 0);
    EXPECT_EQ(before->getNextSibling(), C);
    EXPECT_EQ(withData->Parent(), C);
    EXPECT_EQ(withData->Data(), &tag);
}

TEST_F(TreeViewTest, ExpandingAndCollapsingAskAndTell) {
    QStringList events;
    TV->OnExpanding = [&](TObject*, TTreeNode* n, bool& allow) {
        events << "Expanding:" + n->Text();
        allow = n != B;
    };
    TV->OnExpanded = [&](TObject*, TTreeNode* n) { events << "Expanded:" + n->Text(); };
    TV->OnCollapsed = [&](TObject*, TTreeNode* n) { events << "Collapsed:" + n->Text(); };
    Net->Expand(false);
    B->Expand(false);
    C->Expand(false);  // no children: nothing to open
    EXPECT_EQ(events, QStringList({"Expanding:Net", "Expanded:Net", "Expanding:B"}));
    EXPECT_TRUE(Net->Expanded());
    EXPECT_FALSE(B->Expanded());
    EXPECT_FALSE(C->Expanded());
    // Collapsing the branch that holds the selection moves it up.
    A->Expand(false);
    A->Item(1)->SetSelected(true);
    Log.clear();
    events.clear();
    A->Collapse(false);
    EXPECT_EQ(SelText(), "A");
    EXPECT_EQ(Log, QStringList({"Change:A/8"}));
    EXPECT_EQ(events, QStringList({"Collapsed:A"}));
}

TEST_F(TreeViewTest, KeysMoveTheSelectionThroughShownRows) {
    Net->Expand(false);
    TV->SetFocus();
    TV->SetSelected(Net);
    struct Step { unsigned key; const char* expected; bool expandedA; };
    const Step steps[] = {
        {VK_DOWN, "A", false},  {VK_RIGHT, "A", true},  {VK_RIGHT, "a1", true}, {VK_END, "C", true},
        {VK_UP, "B", true},     {VK_UP, "a3", true},    {VK_LEFT, "A", true},   {VK_LEFT, "A", false},
        {VK_LEFT, "Net", false}, {VK_HOME, "Net", false}, {VK_DOWN, "A", false}, {VK_DOWN, "B", false},
    };
    for (const Step& s : steps) {
        Input::KeyStroke(s.key);
        EXPECT_EQ(SelText(), s.expected) << "after key " << s.key;
        EXPECT_EQ(A->Expanded(), s.expandedA) << "after key " << s.key;
    }
    // A typed letter finds the next shown item that starts with it.
    Input::KeyStroke('C');
    EXPECT_EQ(SelText(), "C");
}

TEST_F(TreeViewTest, TheMouseSelectsOnTheItemAndTogglesOnTheButton) {
    Net->Expand(false);
    const TRect aText = A->DisplayRect(true);
    const TRect aRow = A->DisplayRect(false);
    ASSERT_FALSE(aText.IsEmpty());
    // The button stands left of the item.
    Input::Click(TV, aText.Left - TV->Indent() / 2 - 1 - (TV->Images() ? 0 : 0), Mid(aRow).Y);
    EXPECT_TRUE(A->Expanded());
    EXPECT_EQ(SelText(), "none");
    // Right of the text only selects with whole-row selection.
    Input::Click(TV, aRow.Right - 5, Mid(aRow).Y);
    EXPECT_EQ(SelText(), "none");
    TV->SetRowSelect(true);
    Input::Click(TV, aRow.Right - 5, Mid(aRow).Y);
    EXPECT_EQ(SelText(), "A");
    const TRect a2 = A->Item(1)->DisplayRect(true);
    Input::Click(TV, Mid(a2).X, Mid(a2).Y);
    EXPECT_EQ(SelText(), "a2");
    EXPECT_TRUE(TV->Focused());
    EXPECT_EQ(TV->GetNodeAt(Mid(a2).X, Mid(a2).Y), A->Item(1));
    // A double click on an item opens or closes it.
    const TRect b = B->DisplayRect(true);
    Input::DoubleClick(TV, Mid(b).X, Mid(b).Y);
    EXPECT_TRUE(B->Expanded());
}

TEST_F(TreeViewTest, DeletingTheSelectedItemMovesTheSelectionAfterItLeft) {
    Net->Expand(false);
    A->Expand(false);
    struct Case { const char* select; const char* remove; const char* expected; };
    // Next sibling first, then the previous one, then the parent.
    const Case cases[] = {
        {"a2", "a2", "a3"},  // middle child: the next one
        {"a3", "a3", "a1"},  // last child: the previous one
        {"b1", "b1", "B"},   // only child: the parent
        {"a1", "A", "B"},    // the selection inside a removed branch
    };
    for (const Case& c : cases) {
        TTreeNode* sel = nullptr;
        TTreeNode* gone = nullptr;
        for (TTreeNode* n = TV->Items()->GetFirstNode(); n; n = n->GetNext()) {
            if (n->Text() == c.select) sel = n;
            if (n->Text() == c.remove) gone = n;
        }
        ASSERT_TRUE(sel && gone) << c.remove;
        TV->SetSelected(sel);
        const int left = TV->Items()->Count() - 1 - gone->Count();
        Log.clear();
        gone->Delete();
        EXPECT_EQ(SelText(), c.expected) << "removing " << c.remove;
        // The handler already sees the tree without the item.
        EXPECT_EQ(Log, QStringList({QString("Change:%1/%2").arg(c.expected).arg(left)})) << c.remove;
    }
}

TEST_F(TreeViewTest, DeletionTellsEachItemAndClearingLeavesNoSelection) {
    QStringList gone;
    TV->OnDeletion = [&](TObject*, TTreeNode* n) { gone << n->Text(); };
    B->Delete();
    EXPECT_EQ(gone, QStringList({"b1", "B"}));
    TV->SetSelected(C);
    Log.clear();
    TV->Items()->Clear();
    EXPECT_EQ(TV->Items()->Count(), 0);
    EXPECT_EQ(TV->Selected(), nullptr);
    EXPECT_EQ(TV->TopItem(), nullptr);
    Input::KeyStroke(VK_DOWN);  // nothing to move to
    EXPECT_EQ(TV->Selected(), nullptr);
}

TEST_F(TreeViewTest, AVetoKeepsTheSelection) {
    TV->SetSelected(Net);
    TV->OnChanging = [](TObject*, TTreeNode* n, bool& allow) { allow = n->Text() != "B"; };
    Log.clear();
    TV->SetSelected(B);
    EXPECT_EQ(SelText(), "Net");
    EXPECT_TRUE(Log.isEmpty());
    TV->SetSelected(C);
    EXPECT_EQ(SelText(), "C") << "selecting a hidden item opens its parents";
    EXPECT_TRUE(Net->Expanded());
}

TEST_F(TreeViewTest, RightClickPopsTheContextMenuAndMaySelect) {
    Net->Expand(false);
    auto* menu = new TPopupMenu(Form);
    TV->SetPopupMenu(menu);
    int popups = 0;
    TPopupMenu::SetChooser([&](TPopupMenu* m, TPoint) -> TMenuItem* {
        if (m == menu) ++popups;
        return nullptr;
    });
    const TRect b = B->DisplayRect(true);
    Input::Click(TV, Mid(b).X, Mid(b).Y, mbRight);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(SelText(), "none");
    TV->SetRightClickSelect(true);
    Input::Click(TV, Mid(b).X, Mid(b).Y, mbRight);
    EXPECT_EQ(SelText(), "B");
    TPopupMenu::SetChooser(nullptr);
}

TEST_F(TreeViewTest, TheSelectionIsKeptInViewOnASmallTree) {
    TV->SetHeight(3 * TV->ItemHeight() + 4);
    Net->Expand(true);
    TV->SetSelected(C);
    const TRect r = C->DisplayRect(false);
    EXPECT_GE(r.Top, 0);
    EXPECT_LE(r.Bottom, TV->Height());
    // The whole row finds the item; the hit test tells where on it.
    EXPECT_EQ(TV->GetNodeAt(r.Right - 3, Mid(r).Y), C);
    EXPECT_EQ(TV->GetHitTestInfoAt(r.Right - 3, Mid(r).Y), THitTests(htOnRight));
    EXPECT_EQ(TV->GetHitTestInfoAt(Mid(C->DisplayRect(true)).X, Mid(r).Y), THitTests(htOnItem | htOnLabel));
    EXPECT_EQ(TV->GetNodeAt(5, TV->Height() + 4), nullptr);
}

TEST_F(TreeViewTest, RootLinesImagesAndWholeRowSelectionPlaceTheItems) {
    TV->FullExpand();
    const int indent = TV->Indent();
    const int rootLeft = Net->DisplayRect(true).Left;
    EXPECT_EQ(A->DisplayRect(true).Left, rootLeft + indent);
    // Without root lines every item moves one column left and the root's
    // column before it is no button any more.
    TV->SetShowRoot(false);
    EXPECT_EQ(Net->DisplayRect(true).Left, rootLeft - indent);
    EXPECT_EQ(A->DisplayRect(true).Left, rootLeft);
    const TRect root = Net->DisplayRect(true);
    EXPECT_FALSE(TV->GetHitTestInfoAt(root.Left - 2, root.Top + 2) & htOnButton);
    Input::Click(TV, root.Left - 2, root.Top + 2);
    EXPECT_TRUE(Net->Expanded()) << "nothing to toggle left of a root without root lines";
    const TRect a = A->DisplayRect(true);
    EXPECT_TRUE(TV->GetHitTestInfoAt(a.Left - indent / 2, a.Top + 2) & htOnButton);
    Input::Click(TV, a.Left - indent / 2, a.Top + 2);
    EXPECT_FALSE(A->Expanded()) << "a child's button still toggles it";

    // An image list moves the text right by an image and its gap.
    TImageList images(16, 16);
    TV->SetImages(&images);
    EXPECT_GT(B->DisplayRect(true).Left, a.Left + 16 - 1);
    TV->SetImages(nullptr);

    // Right of the text selects nothing, unless the whole row selects.
    const TRect b = B->DisplayRect(true);
    Input::Click(TV, b.Right + 20, b.Top + 2);
    EXPECT_NE(TV->Selected(), B);
    TV->SetRowSelect(true);
    Input::Click(TV, b.Right + 20, b.Top + 2);
    EXPECT_EQ(TV->Selected(), B);
}
