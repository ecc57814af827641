// Drag and drop of tree nodes, scripted: proposing effects, refusing without
// a drag-over handler, dropping and moving, deleting moved nodes once,
// expanding and scrolling while the mouse rests, ending the drag.
#include "platform/controls/Timers.h"
#include "support/ToolkitTest.h"
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesDragDrop.h"

#include <gtest/gtest.h>

namespace {
class DragDropTreeTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        // Timers run on the test clock: painting between a timer's start and
        // the clock's advance takes no time.
        SetTickCountForTest(100000);
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 500, 300);
        A = MakeTree(0);
        B = MakeTree(250);
        for (int i = 0; i < 5; ++i) ANodes << A->AddChild(nullptr);
        for (int i = 0; i < 3; ++i) BNodes << B->AddChild(nullptr);
        Form->Show();
    }
    void TearDown() override {
        SetTickCountForTest(-1);
        SetDragInputSource(nullptr);
        for (TLazyStringTree* t : {A, B}) {
            t->OnDragOver = nullptr;
            t->OnDragDrop = nullptr;
        }
        ToolkitTest::TearDown();
    }
    TLazyStringTree* MakeTree(int left) {
        auto* t = NewObject<TLazyStringTree>(Form);
        t->SetParent(Form);
        t->SetBorderStyle(bsNone);
        t->SetBounds(left, 0, 200, 200);
        t->SetClipboardFormats({"Lazy Tree Data"});
        t->TreeOptions()->SetSelectionOptions(t->TreeOptions()->SelectionOptions().Include(toMultiSelect));
        t->HandleNeeded();
        return t;
    }
    // The screen point over row `row` (label of a top-level node).
    static TPoint Row(TBaseLazyTree* t, int row, int x = 30) { return t->ClientToScreen(Point(x, row * 18 + 9)); }
    void Accept(TLazyStringTree* t) {
        t->OnDragOver = [](TBaseLazyTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, uint32_t&,
                           bool& accept) { accept = true; };
    }
    TLazyStringTree *A = nullptr, *B = nullptr;
    QList<PLazyNode> ANodes, BNodes;
};
}  // namespace

TEST_F(DragDropTreeTest, ProposedEffects) {
    const uint32_t cm = DROPEFFECT_COPY | DROPEFFECT_MOVE, all = cm | DROPEFFECT_LINK;
    const struct {
        bool Self;
        TShiftState Shift;
        uint32_t Allowed, Expected;
    } cases[] = {
        {true, TShiftState(), cm, DROPEFFECT_MOVE},
        {true, ssCtrl, cm, DROPEFFECT_COPY},
        {true, ssCtrl | ssShift, cm, DROPEFFECT_MOVE},
        {true, ssCtrl | ssShift, all, DROPEFFECT_LINK},
        {true, ssAlt, all, DROPEFFECT_LINK},
        {false, TShiftState(), cm, DROPEFFECT_COPY},
        {false, ssShift, cm, DROPEFFECT_MOVE},
        {false, TShiftState(), DROPEFFECT_LINK, DROPEFFECT_LINK},
        {true, TShiftState(), DROPEFFECT_COPY, DROPEFFECT_COPY},
    };
    for (const auto& c : cases)
        EXPECT_EQ(B->ProposeDropEffect(c.Self ? B : A, c.Shift, Point(0, 0), c.Allowed), c.Expected)
            << c.Self << " " << c.Shift << " " << c.Allowed;

    // Ending a drag: Escape or both buttons cancel, a held button goes on.
    TLTDragManager* m = B->DragManager().get();
    EXPECT_EQ(m->QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(m->QueryContinueDrag(false, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(m->QueryContinueDrag(false, MK_LBUTTON), S_OK);
    EXPECT_EQ(m->QueryContinueDrag(false, MK_RBUTTON), S_OK);
    EXPECT_EQ(m->QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(m->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST_F(DragDropTreeTest, WithinOneTreeTheSelectionMoves) {
    Accept(A);
    QList<uint32_t> effects;
    A->OnDragDrop = [&](TBaseLazyTree* s, TObject* source, IDataObject* data, const QList<TClipFormat>& formats,
                        TShiftState, TPoint, uint32_t& effect, TDropMode mode) {
        EXPECT_EQ(source, A);
        EXPECT_FALSE(formats.isEmpty());
        effects << effect;
        s->ProcessDrop(data, s->DropTargetNode(), effect, mode == dmOnNode ? amAddChildLast : amInsertAfter);
    };
    A->SetSelected(ANodes[0], true);
    ScriptDrag({{Row(A, 0), MK_LBUTTON}, {Row(A, 3), MK_LBUTTON}, {Row(A, 3), 0}});
    A->RunOLEDragDrop(Point(30, 9));
    ASSERT_EQ(effects, QList<uint32_t>{DROPEFFECT_MOVE});
    // Node 0 went under node 3, the same record.
    EXPECT_EQ(ANodes[0]->Parent, ANodes[3]);
    EXPECT_EQ(A->LastDragEffect(), uint32_t(DROPEFFECT_NONE));
    EXPECT_FALSE(A->TreeStates().Contains(tsOLEDragging));
    EXPECT_EQ(A->DropTargetNode(), nullptr);

    // Ctrl copies.
    effects.clear();
    ScriptDrag({{Row(A, 0), MK_LBUTTON | MK_CONTROL}, {Row(A, 1), MK_LBUTTON | MK_CONTROL}, {Row(A, 1), MK_CONTROL}});
    A->SetSelected(ANodes[1], true);
    A->RunOLEDragDrop(Point(30, 9));
    EXPECT_EQ(effects, QList<uint32_t>{DROPEFFECT_COPY});
}

TEST_F(DragDropTreeTest, WithoutDragOverHandlerNothingDrops) {
    bool dropped = false;
    B->OnDragDrop = [&](TBaseLazyTree*, TObject*, IDataObject*, const QList<TClipFormat>&, TShiftState, TPoint,
                        uint32_t&, TDropMode) { dropped = true; };
    A->SetSelected(ANodes[1], true);
    ScriptDrag({{Row(A, 1), MK_LBUTTON}, {Row(B, 0), MK_LBUTTON}, {Row(B, 1), MK_LBUTTON}, {Row(B, 1), 0}});
    A->RunOLEDragDrop(Point(30, 27));
    EXPECT_FALSE(dropped);
    EXPECT_EQ(A->LastDragEffect(), uint32_t(DROPEFFECT_NONE));
    uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(B->HandleDragOver(A, 0, dsDragMove, Row(B, 0), effect), S_OK);
    EXPECT_EQ(effect, uint32_t(DROPEFFECT_NONE));
}

TEST_F(DragDropTreeTest, MovedNodesAreDeletedOnce) {
    A->TreeOptions()->SetAutoOptions(A->TreeOptions()->AutoOptions().Include(toAutoDeleteMovedNodes));
    Accept(B);
    // A target outside the tree's knowledge keeps the move: the source deletes.
    B->OnDragDrop = [](TBaseLazyTree*, TObject*, IDataObject*, const QList<TClipFormat>&, TShiftState, TPoint,
                       uint32_t& effect, TDropMode) { effect = DROPEFFECT_MOVE; };
    A->SetSelected(ANodes[0], true);
    A->SetSelected(ANodes[1], true);
    ScriptDrag({{Row(A, 0), MK_LBUTTON}, {Row(B, 0), MK_LBUTTON | MK_SHIFT}, {Row(B, 0), MK_SHIFT}});
    A->RunOLEDragDrop(Point(30, 9));
    EXPECT_EQ(A->LastDragEffect(), uint32_t(DROPEFFECT_MOVE));
    EXPECT_EQ(A->RootNodeCount(), 3u);
    EXPECT_EQ(B->RootNodeCount(), 3u);

    // ProcessDrop moves the nodes and answers no effect: nothing more goes.
    B->OnDragDrop = [](TBaseLazyTree* s, TObject*, IDataObject* data, const QList<TClipFormat>&, TShiftState,
                       TPoint, uint32_t& effect, TDropMode) {
        s->ProcessDrop(data, nullptr, effect, amAddChildLast);
    };
    A->SetSelected(A->GetFirst(), true);
    ScriptDrag({{Row(A, 0), MK_LBUTTON}, {Row(B, 1), MK_LBUTTON | MK_SHIFT}, {Row(B, 1), MK_SHIFT}});
    A->RunOLEDragDrop(Point(30, 9));
    EXPECT_EQ(A->LastDragEffect(), uint32_t(DROPEFFECT_NONE));
    EXPECT_EQ(A->RootNodeCount(), 2u);
    EXPECT_EQ(B->RootNodeCount(), 4u);
}

TEST_F(DragDropTreeTest, RestingExpandsAndTheEdgeScrolls) {
    Accept(B);
    B->AddChild(BNodes[1]);
    ASSERT_FALSE(B->GetExpanded(BNodes[1]));
    TDataObject data;
    uint32_t effect = DROPEFFECT_COPY;
    std::shared_ptr<TLTDragManager> m = B->DragManager();
    ASSERT_EQ(m->DragEnter(&data, MK_LBUTTON, Row(B, 0), effect), S_OK);
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(m->DragOver(MK_LBUTTON, Row(B, 1), effect), S_OK);
    EXPECT_EQ(effect, uint32_t(DROPEFFECT_COPY));
    EXPECT_EQ(B->DropTargetNode(), BNodes[1]);
    ASSERT_TRUE(IsTimerSet(B, TBaseLazyTree::ExpandTimer));
    AdvanceTime(999);
    EXPECT_FALSE(B->GetExpanded(BNodes[1]));
    AdvanceTime(1);
    EXPECT_TRUE(B->GetExpanded(BNodes[1]));
    EXPECT_FALSE(IsTimerSet(B, TBaseLazyTree::ExpandTimer));
    m->DragLeave();
    EXPECT_EQ(B->DropTargetNode(), nullptr);

    // A scrolled tree dragged over by its own drag scrolls up one step per
    // move in its top zone, once the mouse rested there for the delay.
    for (int i = 0; i < 40; ++i) B->AddChild(nullptr);
    B->TreeOptions()->SetAutoOptions(B->TreeOptions()->AutoOptions().Include(toAutoScroll));
    B->SetOffsetY(-100);
    ASSERT_EQ(B->OffsetY(), -100);
    B->SwitchStates({tsOLEDragging}, {});
    effect = DROPEFFECT_COPY;
    m->DragEnter(&data, MK_LBUTTON, B->ClientToScreen(Point(30, 100)), effect);
    effect = DROPEFFECT_COPY;
    m->DragOver(MK_LBUTTON, B->ClientToScreen(Point(30, 3)), effect);
    EXPECT_EQ(B->OffsetY(), -100);
    EXPECT_EQ(effect, uint32_t(DROPEFFECT_COPY));
    AdvanceTime(B->AutoScrollDelay);
    for (int step = 1; step <= 2; ++step) {
        effect = DROPEFFECT_COPY;
        ASSERT_EQ(m->DragOver(MK_LBUTTON, B->ClientToScreen(Point(30, 3)), effect), S_OK);
        EXPECT_EQ(B->OffsetY(), -100 + B->ScrollBarOptions()->VerticalIncrement() * step);
        EXPECT_EQ(effect, DROPEFFECT_COPY | DROPEFFECT_SCROLL);
    }
    effect = DROPEFFECT_COPY;
    m->DragOver(MK_LBUTTON, B->ClientToScreen(Point(30, 100)), effect);
    EXPECT_EQ(B->OffsetY(), -60);
    EXPECT_EQ(effect, uint32_t(DROPEFFECT_COPY));
    B->SwitchStates({}, {tsOLEDragging});
    m->DragLeave();
}

TEST_F(DragDropTreeTest, WindowsAcceptingDropsAreRegistered) {
    EXPECT_EQ(DropTargetOf(A).get(), static_cast<IDropTarget*>(A->DragManager().get()));
    // The picture of a node drag goes to the platform's drag picture.
    A->SetSelected(ANodes[0], true);
    const TDragImageInfo* seen = nullptr;
    bool shown = false;
    Accept(B);
    B->OnDragOver = [&](TBaseLazyTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, uint32_t&,
                        bool& accept) {
        accept = true;
        seen = CurrentDragImage();
        if (seen) shown = seen->Shown && seen->Image.width() == A->DragWidth && seen->Image.height() == A->DragHeight;
    };
    EXPECT_FALSE(B->DragManager()->HasTargetHelper());
    ScriptDrag({{Row(A, 0), MK_LBUTTON}, {Row(B, 0), MK_LBUTTON}, {Row(B, 0), MK_LBUTTON, true}});
    A->RunOLEDragDrop(Point(30, 9));
    EXPECT_TRUE(shown);
    EXPECT_EQ(CurrentDragImage(), nullptr);
}

// Drags of the class library (another control's): tracked like data drags,
// without a data object; the drop lands on the node under the last move.
TEST_F(DragDropTreeTest, ClassLibraryDragsAreTrackedAndDropped) {
    TControl* source = A;
    bool accept = true;
    const auto over = [&](int row, TDragState state) {
        const TPoint p = B->ScreenToClient(Row(B, row));
        B->DragOver(source, p.X, p.Y, state, accept);
    };
    over(1, dsDragEnter);  // no handler: refused
    EXPECT_FALSE(accept);
    Accept(B);
    QList<TDragState> states;
    B->OnDragOver = [&](TBaseLazyTree*, TObject* s, TShiftState, TDragState st, TPoint, TDropMode, uint32_t&,
                        bool& a) {
        EXPECT_EQ(s, source);
        states << st;
        a = true;
    };
    over(1, dsDragEnter);
    EXPECT_TRUE(accept);
    EXPECT_TRUE(B->TreeStates().Contains(tsVCLDragging));
    EXPECT_EQ(B->DropTargetNode(), BNodes[1]);
    over(2, dsDragMove);
    EXPECT_EQ(B->DropTargetNode(), BNodes[2]);
    over(2, dsDragLeave);
    EXPECT_EQ(states, (QList<TDragState>{dsDragEnter, dsDragMove, dsDragLeave}));
    EXPECT_FALSE(B->TreeStates().Contains(tsVCLDragging));
    EXPECT_TRUE(B->TreeStates().Contains(tsVCLDragFinished));
    EXPECT_EQ(B->DropTargetNode(), nullptr);

    int drops = 0;
    B->OnDragDrop = [&](TBaseLazyTree* t, TObject* s, IDataObject* data, const QList<TClipFormat>& formats,
                        TShiftState, TPoint pt, uint32_t& effect, TDropMode mode) {
        ++drops;
        EXPECT_EQ(s, source);
        EXPECT_EQ(data, nullptr);
        EXPECT_TRUE(formats.isEmpty());
        EXPECT_EQ(t->DropTargetNode(), BNodes[2]);  // where the last move was
        EXPECT_EQ(pt, B->ScreenToClient(Row(B, 2)));
        EXPECT_NE(effect, uint32_t(DROPEFFECT_NONE));
        EXPECT_EQ(mode, dmOnNode);
    };
    const TPoint p = B->ScreenToClient(Row(B, 2));
    B->DragDrop(source, p.X, p.Y);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(B->DropTargetNode(), nullptr);
}

// A class-library drag from a tree: it starts as a drag of the tree, and a
// cancelled one ends the press and every drag state.
TEST_F(DragDropTreeTest, AClassLibraryDragFromATreeEndsOnCancel) {
    A->DragType = dtVCL;
    A->BeginDrag(true);
    EXPECT_TRUE(A->Dragging());
    EXPECT_TRUE(A->TreeStates().Contains(tsVCLDragging));
    EXPECT_FALSE(A->TreeStates().Contains(tsVCLDragPending));
    A->EndDrag(false);
    EXPECT_FALSE(A->Dragging());
    EXPECT_FALSE(A->TreeStates().ContainsAny({tsVCLDragging, tsVCLDragPending, tsVCLDragFinished, tsUserDragObject}));
}

// While a tree's own drag image lies over the window, a drag over it moves
// the image with the mouse and repaints around it: what lies under the image
// goes into its saved screen contents, so hiding it leaves the tree's
// picture, not the screen as it was before.
TEST_F(DragDropTreeTest, RepaintsGoAroundTheOwnDragImage) {
    TBitmap screen(1200, 900, pf32bit);
    screen.Canvas()->Brush().SetColor(clBlue);
    screen.Canvas()->FillRect(Rect(0, 0, 1200, 900));
    TBitmap picture(40, 30, pf32bit);
    picture.Canvas()->Brush().SetColor(clRed);
    picture.Canvas()->FillRect(Rect(0, 0, 40, 30));
    TLTDragImage* image = A->DragImage();
    image->SetScreen(&screen);
    const TPoint at = B->ClientToScreen(Point(20, 40));
    image->PrepareDrag(&picture, at, Point(at.X + 20, at.Y + 15), nullptr);
    image->ShowDragImage();
    ASSERT_TRUE(image->Visible());
    const TColor blue = ColorToRGB(clBlue);
    const auto px = [&](TPoint s) {
        const TRGBQuad q = screen.ScanLine(s.Y)[s.X];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    };
    // Moving over another node: the image follows the mouse.
    Accept(B);
    uint32_t effect = DROPEFFECT_COPY;
    const TPoint to = Point(at.X + 20 + 7, at.Y + 15 + 18);
    ASSERT_EQ(B->HandleDragOver(A, MK_LBUTTON, dsDragMove, to, effect), S_OK);
    EXPECT_EQ(image->ImagePosition(), Point(at.X + 7, at.Y + 18));
    // The screen where the image was before shows blue again (restored).
    EXPECT_EQ(px(Point(at.X + 2, at.Y + 2)), blue);

    // A repaint of the tree under the image goes into the saved contents.
    const TRect r = image->GetDragImageRect();
    const TPoint c = B->ScreenToClient(Point(r.Left, r.Top));
    B->RepaintAroundDragImage(A, Rect(c.X, c.Y, c.X + r.Width(), c.Y + r.Height()), false, true);
    image->HideDragImage();
    const TColor tree = ColorToRGB(B->Colors()->BackGroundColor());
    EXPECT_EQ(px(Point(r.Left + 20, r.Top + 15)), tree);
    EXPECT_NE(tree, blue);
    image->EndDrag();
}
