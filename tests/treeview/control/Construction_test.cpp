// A new tree's defaults, its colours, border, copying and companion
// components.
#include "ControlKit.h"

TEST_F(ControlTest, ANewTreeHasTheDocumentedDefaults) {
    TViewTree* t = LooseTree();
    EXPECT_EQ(t->NodeDataSize(), -1);
    EXPECT_EQ(t->DefaultNodeHeight(), 18u);
    EXPECT_EQ(t->Indent(), 18u);
    EXPECT_EQ(t->Margin(), 4);
    EXPECT_EQ(t->TextMargin(), 4);
    EXPECT_EQ(t->CheckImageKind(), ckSystemDefault);
    EXPECT_EQ(t->IncrementalSearch, isNone);
    EXPECT_EQ(t->LineStyle(), lsDotted);
    EXPECT_EQ(t->NodeAlignment(), naProportional);
    EXPECT_EQ(t->DragWidth, 200);
    EXPECT_EQ(t->DragHeight, 350);
    EXPECT_EQ(t->AnimationDuration(), 200u);
    EXPECT_EQ(t->AutoExpandDelay, 1000u);
    EXPECT_EQ(t->AutoScrollDelay, 1000u);
    EXPECT_EQ(t->AutoScrollInterval(), 1u);
    EXPECT_EQ(t->EditDelay, 1000u);
    EXPECT_EQ(t->SelectionBlendFactor, 128);
    EXPECT_EQ(t->DefaultPasteMode, amAddChildLast);
    EXPECT_EQ(t->Width(), 200);
    EXPECT_EQ(t->Height(), 100);
    EXPECT_TRUE(t->TabStop());
    EXPECT_EQ(t->FocusedColumn(), NoColumn);
    t->SetDoubleBuffered(false);
    EXPECT_TRUE(t->DoubleBuffered());
    // The process's check images: the system list in use, nine lists made.
    for (int n = 1; n <= 9; ++n) EXPECT_NE(TBaseLazyTree::InternalImageList(n), nullptr) << n;
    EXPECT_EQ(t->CheckImages(), TBaseLazyTree::InternalImageList(8));
    EXPECT_EQ(TBaseLazyTree::InternalImageList(8)->Count(), 25);
    EXPECT_EQ(TBaseLazyTree::InternalImageList(8)->Width(), GetSystemMetrics(SM_CXMENUCHECK));
}

TEST_F(ControlTest, AssignCopiesTheSettingsAndMakesEmptyTopLevelNodes) {
    TViewTree* src = LooseTree();
    for (int i = 0; i < 5; ++i) src->AddChild(nullptr);
    src->AddChild(src->GetFirst());
    src->SetIndent(25);
    src->Colors()->SetColor(TLTColors::HotColor, clRed);
    TViewTree* dst = LooseTree();
    dst->AddChild(nullptr);
    dst->Assign(src);
    EXPECT_EQ(dst->RootNodeCount(), 5u);
    EXPECT_EQ(dst->TotalCount(), 5u);  // no children copied
    EXPECT_EQ(dst->Indent(), 25u);
    EXPECT_EQ(dst->Colors()->GetColor(TLTColors::HotColor), clRed);
}

TEST_F(ControlTest, RemovingTheCustomCheckImagesFallsBackToTheSystemKind) {
    TViewTree* t = LooseTree();
    auto* list = new TCustomImageList(nullptr, 16, 16);
    t->SetCustomCheckImages(list);
    EXPECT_EQ(t->CheckImageKind(), ckCustom);
    EXPECT_EQ(t->CheckImages(), list);
    delete list;  // the free notification reaches the tree
    EXPECT_EQ(t->CustomCheckImages(), nullptr);
    EXPECT_EQ(t->CheckImageKind(), ckSystemDefault);
}

TEST_F(ControlTest, TheWorkerLivesFromTheFirstTreeToTheLast) {
    // Other tests' trees are gone by now.
    ASSERT_FALSE(TBaseLazyTree::WorkerRunning());
    TViewTree* a = LooseTree();
    EXPECT_TRUE(TBaseLazyTree::WorkerRunning());
    TViewTree* b = LooseTree();
    FreeTree(a);
    EXPECT_TRUE(TBaseLazyTree::WorkerRunning());
    FreeTree(b);
    EXPECT_FALSE(TBaseLazyTree::WorkerRunning());
    LooseTree();
    EXPECT_TRUE(TBaseLazyTree::WorkerRunning());
}

TEST_F(ControlTest, TheSeventeenColoursStartAtTheirSystemColours) {
    TViewTree* t = LooseTree();
    const TColor expected[] = {clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace,   clBtnShadow,
                               clBtnFace,   clBtnFace,   clWindowText, clHighlight, clBtnFace,  clHighlight,
                               clHighlight, clHighlight, clBtnShadow, clHighlightText, clBtnFace};
    for (int i = 0; i < TLTColors::Count; ++i) EXPECT_EQ(t->Colors()->GetColor(i), expected[i]) << i;
    EXPECT_FALSE(t->VclStyleEnabled());
}

TEST_F(ControlTest, WritingAColoursOwnValueRepaintsNothing) {
    TViewTree* t = NewTree();
    const int before = t->InvalidateCount();
    t->Colors()->SetColor(TLTColors::GridLineColor, clBtnFace);
    EXPECT_EQ(t->InvalidateCount(), before);
    t->Colors()->SetColor(TLTColors::GridLineColor, clRed);
    EXPECT_GT(t->InvalidateCount(), before);
}

TEST_F(ControlTest, AnimationDurationSwitchesTheToggleAnimation) {
    TViewTree* t = LooseTree();
    t->SetAnimationDuration(0);
    EXPECT_FALSE(t->TreeOptions()->AnimationOptions().Contains(toAnimatedToggle));
    t->SetAnimationDuration(200);
    EXPECT_TRUE(t->TreeOptions()->AnimationOptions().Contains(toAnimatedToggle));
}

TEST_F(ControlTest, TheBorderIsDrawnOnlyWithABevelOrABorderWidth) {
    TViewTree* t = NewTree(60, 40);
    TBitmap before(60, 40);
    before.Canvas()->Brush().SetColor(clWhite);
    before.Canvas()->FillRect(Rect(0, 0, 60, 40));
    const QImage plain = before.Image().copy();
    t->PaintControlBorder(before.Canvas());
    EXPECT_EQ(before.Image(), plain);
    // A border width paints a ring in the border colour.
    t->SetBorderWidth(3);
    t->Colors()->SetColor(TLTColors::BorderColor, clRed);
    t->PaintControlBorder(before.Canvas());
    EXPECT_EQ(before.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(before.Canvas()->Pixels(30, 20), clWhite);
    // It also narrows the client area on every side.
    EXPECT_EQ(t->ClientWidth(), 60 - 6);
    EXPECT_EQ(t->ClientHeight(), 40 - 6);
}

TEST_F(ControlTest, DropModeFollowsTheHitAndTheNodesMiddle) {
    TViewTree* t = LooseTree();
    PLazyNode n = t->AddChild(nullptr);
    const TRect r = Rect(0, 36, 100, 54);
    THitInfo beside{n, {hiOnItem, hiOnItemIndent}, NoColumn, {}};
    THitInfo label{n, {hiOnItem, hiOnItemLabel}, NoColumn, {}};
    THitInfo none{nullptr, {hiNowhere}, NoColumn, {}};
    EXPECT_EQ(t->DropModeAtPoint(Point(5, 40), beside, r), dmAbove);
    EXPECT_EQ(t->DropModeAtPoint(Point(5, 50), beside, r), dmBelow);
    EXPECT_EQ(t->DropModeAtPoint(Point(5, 40), label, r), dmOnNode);
    EXPECT_EQ(t->DropModeAtPoint(Point(5, 40), none, r), dmNowhere);
}
