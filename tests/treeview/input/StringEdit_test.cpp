// The string tree's own text editor, driven by the keyboard and the mouse.
#include "InputKit.h"

#include "treeview/LazyStringEdit.h"

namespace {

class StringEdit : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        t = NewTree();
        AddMisc(t, {toEditable});
        n = AddNodes(t, nullptr, {"alpha", "beta", "gamma"});
        t->OnNewText = [this](TBaseLazyTree*, PLazyNode node, TColumnIndex, const QString& text) {
            t->Texts[node] = text;
            stored << text;
        };
        t->OnEditCancelled = [this](TBaseLazyTree*, TColumnIndex) { ++cancelled; };
        t->SetFocus();
    }
    void TearDown() override {
        if (t) t->OnNewText = nullptr;
        InputTest::TearDown();
    }
    // The tree's own editor of the edit that is running.
    TStringEditLink* Link() const { return dynamic_cast<TStringEditLink*>(t->EditLink().get()); }
    TLTEdit* Editor() const { return Link() ? Link()->Edit() : nullptr; }
    static void Type(const QString& s) {
        for (QChar c : s) Input::Char(c);
    }
    TInputTree* t = nullptr;
    QList<PLazyNode> n;
    QStringList stored;
    int cancelled = 0;
};

TEST_F(StringEdit, TheStringTreeSuppliesItsEditorWhenTheApplicationGivesNone) {
    ASSERT_TRUE(t->EditNode(n[1], NoColumn));
    ASSERT_NE(Link(), nullptr);
    TLTEdit* e = Editor();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Parent(), t);
    EXPECT_TRUE(e->Visible());
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->Text(), QStringLiteral("beta"));
    EXPECT_EQ(e->SelLength(), 4);  // all of it selected
    EXPECT_TRUE(e->Perform(WM_GETDLGCODE) & (DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS));
}

// Narrow cells open a 30-pixel editor that grows away from the cell's
// aligned edge; the right edge never passes the client area.
TEST_F(StringEdit, NarrowCellsOpenAThirtyPixelEditor) {
    struct Case {
        TAlignment Align;
        TRect Cell, Expected;
    } cases[] = {
        {taLeftJustify, TRect(100, 0, 110, 18), TRect(100, 0, 130, 18)},
        {taRightJustify, TRect(100, 0, 110, 18), TRect(80, 0, 110, 18)},
        {taCenter, TRect(-5, 18, 0, 36), TRect(0, 18, 30, 36)},
        {taLeftJustify, TRect(280, 0, 290, 18), TRect(280, 0, 300, 18)},
    };
    for (const Case& c : cases) {
        t->SetAlignment(c.Align);
        ASSERT_TRUE(t->EditNode(n[0], NoColumn));
        Link()->SetBounds(c.Cell);
        EXPECT_EQ(Editor()->BoundsRect(), c.Expected) << int(c.Align) << " " << c.Cell.Left;
        ASSERT_TRUE(t->CancelEditNode());
    }
}

TEST_F(StringEdit, TheEditorFollowsItsTextUpToTheClientWidth) {
    ASSERT_TRUE(t->EditNode(n[0], NoColumn));
    TLTEdit* e = Editor();
    TCanvas* c = e->Canvas();
    c->Font().Assign(*e->Font());
    const int margins = 2 * t->TextMargin();
    EXPECT_EQ(e->Width(), std::max(30, c->TextWidth(QStringLiteral("alphayG")) + margins));
    const int left = e->Left();
    Type(QStringLiteral("a rather longer text"));
    EXPECT_EQ(e->Text(), QStringLiteral("a rather longer text"));
    EXPECT_EQ(e->Left(), left);
    EXPECT_EQ(e->Width(), c->TextWidth(QStringLiteral("a rather longer textyG")) + margins);
    Type(QString(60, QChar('w')));
    EXPECT_EQ(e->BoundsRect().Right, t->ClientWidth());
    // Shrinking gives the uncovered part back to the tree.
    e->SetText(QStringLiteral("ab"));
    EXPECT_EQ(e->Width(), std::max(30, c->TextWidth(QStringLiteral("abyG")) + margins));
}

TEST_F(StringEdit, ReturnEndsAOneLineEditAndStoresTheText) {
    ASSERT_TRUE(t->EditNode(n[0], NoColumn));
    Type(QStringLiteral("new"));
    Input::KeyStroke(VK_RETURN);
    EXPECT_FALSE(t->TreeStates().Contains(tsEditing));
    EXPECT_EQ(stored, QStringList{QStringLiteral("new")});
    EXPECT_TRUE(t->Focused());
}

TEST_F(StringEdit, ReturnInAMultiLineNodeBreaksTheLineAndCtrlReturnEnds) {
    t->SetMultiline(n[0], true);
    ASSERT_TRUE(t->EditNode(n[0], NoColumn));
    TLTEdit* e = Editor();
    e->SelectAll();
    Type(QStringLiteral("one"));
    Input::KeyStroke(VK_RETURN);
    Type(QStringLiteral("two"));
    EXPECT_TRUE(t->TreeStates().Contains(tsEditing));
    EXPECT_EQ(e->Text(), QStringLiteral("one\r\ntwo"));
    Input::KeyStroke(VK_RETURN, ssCtrl);
    EXPECT_FALSE(t->TreeStates().Contains(tsEditing));
    EXPECT_EQ(stored, QStringList{QStringLiteral("one\r\ntwo")});
}

TEST_F(StringEdit, UpAndDownMoveTheCaretInAOneLineEdit) {
    ASSERT_TRUE(t->EditNode(n[1], NoColumn));
    TLTEdit* e = Editor();
    e->SetSelStart(2);
    Input::KeyStroke(VK_DOWN);
    EXPECT_EQ(e->SelStart(), 3);
    Input::KeyStroke(VK_UP);
    Input::KeyStroke(VK_UP);
    EXPECT_EQ(e->SelStart(), 1);
    EXPECT_EQ(t->FocusedNode(), n[1]);
    e->SetSelStart(0);
    Input::KeyStroke('A', ssCtrl);
    EXPECT_EQ(e->SelLength(), 4);
}

TEST_F(StringEdit, TabEndsAndEditsTheNextVisibleNode) {
    ASSERT_TRUE(t->EditNode(n[1], NoColumn));
    Type(QStringLiteral("B"));
    Input::KeyStroke(VK_TAB);
    EXPECT_EQ(stored, QStringList{QStringLiteral("B")});
    EXPECT_EQ(t->FocusedNode(), n[2]);
    ASSERT_TRUE(t->TreeStates().Contains(tsEditing));
    EXPECT_EQ(Editor()->Text(), QStringLiteral("gamma"));
    EXPECT_EQ(Editor()->Text(), t->Texts[n[2]]);
    // From the last visible node the tree is left without a focused node.
    Input::KeyStroke(VK_TAB);
    EXPECT_EQ(t->FocusedNode(), nullptr);
    EXPECT_FALSE(t->TreeStates().Contains(tsEditing));
    EXPECT_EQ(stored.size(), 1);  // gamma was not changed
}

TEST_F(StringEdit, EscapeDropsTheTextAndTheTreeTakesTheFocus) {
    ASSERT_TRUE(t->EditNode(n[0], NoColumn));
    Type(QStringLiteral("zzz"));
    Input::KeyStroke(VK_ESCAPE);
    EXPECT_FALSE(t->TreeStates().Contains(tsEditing));
    EXPECT_TRUE(stored.isEmpty());
    EXPECT_EQ(cancelled, 1);
    EXPECT_TRUE(t->Focused());
    EXPECT_EQ(t->Texts[n[0]], QStringLiteral("alpha"));
}

// Focus leaving the editor (a click on another control) keeps the typed
// text with toAutoAcceptEditChange and drops it without.
TEST_F(StringEdit, LeavingTheEditorKeepsOrDropsTheTextByTheOption) {
    TInputTree* other = NewTree(100, 100);
    other->SetLeft(400);
    for (bool accept : {true, false}) {
        stored.clear();
        cancelled = 0;
        TLTStringOptions o = t->TreeOptions()->StringOptions();
        if (accept) o.Include(toAutoAcceptEditChange);
        else o.Exclude(toAutoAcceptEditChange);
        t->TreeOptions()->SetStringOptions(o);
        t->SetFocus();
        ASSERT_TRUE(t->EditNode(n[2], NoColumn));
        Type(QStringLiteral("typed"));
        Input::Click(other, 10, 10);
        EXPECT_FALSE(t->TreeStates().Contains(tsEditing)) << accept;
        EXPECT_EQ(stored, accept ? QStringList{QStringLiteral("typed")} : QStringList{}) << accept;
        EXPECT_EQ(cancelled, accept ? 0 : 1) << accept;
    }
}

TEST_F(StringEdit, ASecondEndOrCancelIsRefused) {
    auto link = std::make_shared<TStringEditLink>();
    t->OnCreateEditor = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, ILTEditLinkRef& l) { l = link; };
    ASSERT_TRUE(t->EditNode(n[0], NoColumn));
    Type(QStringLiteral("x"));
    ASSERT_TRUE(t->EndEditNode());
    EXPECT_EQ(stored.size(), 1);
    EXPECT_FALSE(link->EndEdit());
    EXPECT_FALSE(link->CancelEdit());
    EXPECT_FALSE(link->BeginEdit());
    EXPECT_EQ(stored.size(), 1);
    EXPECT_FALSE(link->Edit()->Visible());
    EXPECT_EQ(link->Edit()->Link(), nullptr);
    t->OnCreateEditor = nullptr;
}

// Only string trees are edited by it.
TEST_F(StringEdit, OtherTreesAreRefused) {
    auto* draw = NewObject<TLazyDrawTree>(Form);
    auto link = std::make_shared<TStringEditLink>();
    EXPECT_FALSE(link->PrepareEdit(draw, nullptr, NoColumn));
    EXPECT_EQ(link->Edit()->Parent(), nullptr);
    draw->Free();
}

// The editor and its link go once the edit ended: the link when the tree
// lets go of it, the control from the message loop after that.
TEST_F(StringEdit, EndedEditorsAreFreedFromTheMessageLoop) {
    ASSERT_TRUE(t->EditNode(n[0], NoColumn));
    std::weak_ptr<ILTEditLink> weak = t->EditLink();
    const HWND h = Editor()->Handle();
    ASSERT_TRUE(t->EndEditNode());
    EXPECT_TRUE(weak.expired());
    Application()->RunQueuedCalls();
    Application()->ProcessMessages();
    Application()->RunQueuedCalls();
    EXPECT_EQ(FindControl(h), nullptr);
}

}  // namespace
