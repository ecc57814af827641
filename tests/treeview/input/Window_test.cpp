// Focus, wheel panning, the window messages, hints and the tree-view
// messages.
#include "InputKit.h"

#include "treeview/LazyTreesHint.h"

#include <cstring>

namespace {

using Window = InputTest;

constexpr int TextX = 30;
int RowY(int i) { return i * 18 + 9; }

TEST_F(Window, LosingTheFocusCancelsEditsSearchesAndStopsTheInputTimers) {
    TInputTree* t = NewTree();
    AddNodes(t, nullptr, {"a", "b"});
    t->SetFocus();
    t->SwitchStates({tsEditPending, tsIncrementalSearching}, {});
    const unsigned ids[] = {1, 2, 3, 4, 7};
    for (unsigned id : ids) SetTimer(t, id, 1000);
    SetTimer(t, TBaseLazyTree::ChangeTimer, 1000);
    t->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(t->TreeStates().ContainsAny({tsEditPending, tsIncrementalSearching}));
    for (unsigned id : ids) EXPECT_FALSE(IsTimerSet(t, id)) << id;
    EXPECT_TRUE(IsTimerSet(t, TBaseLazyTree::ChangeTimer));
    EXPECT_TRUE(t->SearchBuffer().isEmpty());
}

TEST_F(Window, AVetoKeepsNodeAndColumn) {
    TInputTree* t = NewTree();
    t->Header()->Columns()->Add()->SetWidth(100);
    t->Header()->Columns()->Add()->SetWidth(100);
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b"});
    t->SetFocusedNode(n[0]);
    t->SetFocusedColumn(0);
    t->OnFocusChanging = [](TBaseLazyTree*, PLazyNode, PLazyNode, TColumnIndex, TColumnIndex, bool& allowed) {
        allowed = false;
    };
    t->FocusNodeAndColumn(n[1], 1);
    EXPECT_EQ(t->FocusedNode(), n[0]);
    EXPECT_EQ(t->FocusedColumn(), 0);
    Input::Click(t, TextX, RowY(1));
    EXPECT_EQ(t->FocusedNode(), n[0]);
}

TEST_F(Window, AMiddleClickInATreeThatFitsStartsNoPanning) {
    TInputTree* t = NewTree();
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b"});
    Input::Click(t, TextX, RowY(1), mbMiddle);
    EXPECT_FALSE(t->TreeStates().ContainsAny({tsWheelPanning, tsWheelScrolling}));
    EXPECT_EQ(t->FocusedNode(), nullptr);
    AddSelection(t, {toMiddleClickSelect});
    Input::Click(t, TextX, RowY(1), mbMiddle);
    EXPECT_EQ(t->FocusedNode(), n[1]);
}

TEST_F(Window, ClickModePansUntilTheNextLeftPress) {
    TInputTree* t = NewTree(200, 100);
    QStringList names;
    for (int i = 0; i < 40; ++i) names << QStringLiteral("n%1").arg(i);
    AddNodes(t, nullptr, names);
    Input::Click(t, 50, 50, mbMiddle);
    EXPECT_TRUE(t->TreeStates().Contains(tsWheelScrolling));
    EXPECT_FALSE(t->TreeStates().Contains(tsWheelPanning));
    ASSERT_NE(t->PanningWindow(), nullptr);
    EXPECT_EQ(t->PanningWindow()->Width(), 32);
    EXPECT_EQ(t->PanningWindow()->Height(), 32);
    EXPECT_TRUE(IsTimerSet(t, TBaseLazyTree::ScrollTimer));

    // Near the origin the cursor shows the directions the content can go.
    Input::MouseMove(t, 53, 55);
    EXPECT_EQ(t->PanningCursorName(), QStringLiteral("LT_MOVENS"));
    Input::MouseMove(t, 50, 20);
    EXPECT_EQ(t->PanningCursorName(), QStringLiteral("LT_MOVEN"));

    // A step is the distance less the 8-pixel dead zone.
    SetCursorPos(t->ClientToScreen(TPoint(50, 80)));
    Input::MouseMove(t, 50, 80);
    const int before = t->OffsetY();
    AdvanceTime(20);
    EXPECT_EQ(t->OffsetY(), before - (30 - 8));

    Input::MouseDown(t, mbLeft, 50, 80);
    EXPECT_FALSE(t->TreeStates().ContainsAny({tsWheelPanning, tsWheelScrolling}));
    EXPECT_EQ(t->PanningWindow(), nullptr);
    EXPECT_EQ(t->FocusedNode(), nullptr);  // the press only ended the panning
    Input::MouseUp(t, mbLeft, 50, 80);
}

TEST_F(Window, SmallAnswers) {
    TInputTree* t = NewTree();
    EXPECT_EQ(t->Perform(WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(t->Perform(WM_GETOBJECT, 0, LPARAM(-4)), 0);
    t->Header()->Columns()->Add()->SetWidth(100);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoVisible});
    const TPoint inHeader = t->ClientToScreen(TPoint(10, -5));
    EXPECT_EQ(t->Perform(WM_NCHITTEST, 0, MakeLParam(inHeader.X, inHeader.Y)), HTBORDER);
    const TPoint inClient = t->ClientToScreen(TPoint(10, 5));
    EXPECT_EQ(t->Perform(WM_NCHITTEST, 0, MakeLParam(inClient.X, inClient.Y)), HTCLIENT);
}

TEST_F(Window, CancelModeEndsEverythingPendingAtOnce) {
    TInputTree* t = NewTree();
    AddNodes(t, nullptr, {"a"});
    t->SwitchStates({tsEditPending, tsOLEDragPending, tsDrawSelecting, tsIncrementalSearching, tsClearPending}, {});
    SetTimer(t, TBaseLazyTree::SearchTimer, 1000);
    SetTimer(t, TBaseLazyTree::EditTimer, 1000);
    t->Perform(WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(t->TreeStates().ContainsAny(
        {tsEditPending, tsOLEDragPending, tsDrawSelecting, tsIncrementalSearching, tsClearPending}));
    EXPECT_FALSE(IsTimerSet(t, TBaseLazyTree::SearchTimer));
    EXPECT_FALSE(IsTimerSet(t, TBaseLazyTree::EditTimer));
}

TEST_F(Window, AForeignThemeChangeRecreatesTheWindowLater) {
    TInputTree* t = NewTree();
    const int made = t->WindowsMade;
    t->ApplyWindowTheme(QStringLiteral("explorer"));
    EXPECT_FALSE(IsTimerSet(t, TBaseLazyTree::ThemeChangedTimer));
    t->Perform(WM_THEMECHANGED, 0, 0);
    EXPECT_TRUE(IsTimerSet(t, TBaseLazyTree::ThemeChangedTimer));
    AdvanceTime(499);
    EXPECT_EQ(t->WindowsMade, made);
    AdvanceTime(1);
    EXPECT_EQ(t->WindowsMade, made + 1);
    EXPECT_FALSE(IsTimerSet(t, TBaseLazyTree::ThemeChangedTimer));
}

TEST_F(Window, ChangeStateMessageSwitchesStates) {
    TInputTree* t = NewTree();
    t->SwitchStates({tsValidationNeeded}, {});
    t->Perform(0x8020, 2, 8);
    EXPECT_TRUE(t->TreeStates().Contains(tsUseCache));
    EXPECT_FALSE(t->TreeStates().Contains(tsValidationNeeded));
}

// Asks the tree for the hint at a client point as the hint machinery does.
LRESULT AskHint(TInputTree* t, TPoint p, THintInfo& info) {
    info = THintInfo();
    info.HintControl = t;
    info.CursorPos = p;
    info.CursorRect = t->ClientRect();
    info.HintPos = t->ClientToScreen(p);
    return t->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
}

TEST_F(Window, TooltipsOnlyForCutText) {
    TInputTree* t = NewTree(200, 200);
    t->SetShowHint(true);
    t->HintMode = hmTooltip;
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a", "b"});
    (void)n;
    THintInfo info;
    EXPECT_NE(AskHint(t, TPoint(TextX, RowY(0)), info), 0);  // 40 pixels fit
    t->TextWidth = 400;
    EXPECT_EQ(AskHint(t, TPoint(TextX, RowY(1)), info), 0);
    EXPECT_TRUE(t->TreeStates().Contains(tsHint));
    // Within the decided area nothing is decided again.
    int asked = 0;
    t->OnGetHintKind = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, TLTHintKind&) { ++asked; };
    AskHint(t, TPoint(TextX + 5, RowY(1)), info);
    EXPECT_EQ(asked, 0);
    t->Perform(CM_MOUSELEAVE, 0, 0);
    AskHint(t, TPoint(TextX + 5, RowY(1)), info);
    EXPECT_EQ(asked, 1);
}

TEST_F(Window, HintWindowMeasuresAndStaysInTheWorkArea) {
    TInputTree* t = NewTree();
    auto* hw = NewObject<TLazyTreeHintWindow>(nullptr);
    TLazyTreeHintWindow& w = *hw;
    TLTHintData data;
    data.Tree = t;
    EXPECT_TRUE(w.CalcHintRect(300, QStringLiteral(" "), &data).IsEmpty());
    data.DefaultHint = QStringLiteral("Some hint");
    const TRect r = w.CalcHintRect(300, QStringLiteral(" "), &data);
    EXPECT_FALSE(r.IsEmpty());

    const TRect wa = ScreenWorkArea();
    SetScreenWorkArea(Rect(0, 0, 1000, 700));
    THintInfo info;
    t->SetShowHint(true);
    t->SetHint(QStringLiteral("Some hint"));
    SetCursorPos(t->ClientToScreen(TPoint(TextX, 9)));
    ASSERT_EQ(AskHint(t, TPoint(TextX, 9), info), 0);
    TRect at = r;
    OffsetRect(at, 990, 690);
    w.CalcHintRect(300, QStringLiteral(" "), info.HintData);
    w.ActivateHint(at, QStringLiteral(" "));
    EXPECT_EQ(w.ScreenRect().Right, 1000);
    EXPECT_EQ(w.ScreenRect().Bottom, 700);
    EXPECT_EQ(w.ScreenRect().Width(), r.Width());
    w.ReleaseHandle();
    hw->Free();
    SetScreenWorkArea(wa);
}

TEST_F(Window, TreeViewMessages) {
    TInputTree* t = NewTree();
    QList<PLazyNode> n = AddNodes(t, nullptr, {"a long node text", "b"});
    AddNodes(t, n[0], {"a1"});
    t->SetFocusedNode(n[1]);

    TVITEMW item;
    item.mask = TVIF_TEXT | TVIF_STATE;
    item.hItem = n[0];
    item.state = 77;
    EXPECT_EQ(t->Perform(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)), 0);
    EXPECT_EQ(item.state, 77u);

    char16_t buffer[8] = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
    item.pszText = buffer;
    item.cchTextMax = 6;
    EXPECT_EQ(t->Perform(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_EQ(QString::fromUtf16(buffer), QStringLiteral("a lon"));
    EXPECT_EQ(item.stateMask, 0xFF2Fu);
    EXPECT_EQ(item.cChildren, 1);
    item.hItem = n[1];
    t->Perform(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.state & TVIS_FOCUSED, unsigned(TVIS_FOCUSED));
    // A buffer of no characters receives nothing.
    buffer[0] = u'x';
    item.cchTextMax = 0;
    t->Perform(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(buffer[0], u'x');

    auto next = [&](unsigned flag, PLazyNode node) {
        return reinterpret_cast<PLazyNode>(t->Perform(TVM_GETNEXTITEM, flag, reinterpret_cast<LPARAM>(node)));
    };
    EXPECT_EQ(next(TVGN_PARENT, n[0]), nullptr);
    EXPECT_EQ(next(TVGN_CARET, nullptr), n[1]);
    EXPECT_EQ(next(TVGN_CHILD, n[0]), t->GetFirstChild(n[0]));
    EXPECT_EQ(next(TVGN_ROOT, nullptr), n[0]);
    EXPECT_EQ(next(99, n[0]), nullptr);

    // The buffer holds the node on the way in and the rectangle on the way out.
    alignas(8) unsigned char rectBuffer[sizeof(TRect)] = {};
    PLazyNode asked = n[1];
    std::memcpy(rectBuffer, &asked, sizeof(asked));
    EXPECT_EQ(t->Perform(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(rectBuffer)), 1);
    TRect got;
    std::memcpy(&got, rectBuffer, sizeof(got));
    EXPECT_EQ(got.Top, 18);
    asked = t->GetFirstChild(n[0]);  // collapsed: not visible
    std::memcpy(rectBuffer, &asked, sizeof(asked));
    EXPECT_EQ(t->Perform(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(rectBuffer)), 0);
}

TEST_F(Window, ADrawTreeWithoutHandlers) {
    auto* t = NewObject<TLazyDrawTree>(nullptr);
    PLazyNode a = t->AddChild(nullptr);
    EXPECT_EQ(t->NodeWidth(a, NoColumn, nullptr), 8);
    EXPECT_EQ(t->CellContentMargin(a, NoColumn, ccmtAllSides), TPoint(0, 0));
    TLTHintKind kind = vhkText;
    t->HintKindOf(a, NoColumn, kind);
    EXPECT_EQ(kind, vhkOwnerDraw);
    TRect r;
    t->FireGetHintSize(a, NoColumn, r);
    EXPECT_TRUE(r.IsEmpty());
    // A handler's changes to the rectangle stay with it.
    t->OnDrawHint = [](TBaseLazyTree*, TCanvas*, PLazyNode, const TRect& R, TColumnIndex) {
        const_cast<TRect&>(R).Left = 99;
    };
    TRect mine = Rect(1, 2, 3, 4);
    t->FireDrawHint(nullptr, a, mine, NoColumn);
    EXPECT_EQ(mine.Left, 1);
    t->OnDrawHint = nullptr;
    t->Free();
}

}  // namespace
