// The painting pipeline: the empty list message, re-entry, the option sets
// of the callers, hidden selections, skipped cells, custom-drawn rows, and
// buffered and unbuffered painting giving the same picture.
#include "PaintKit.h"

namespace {
// The bounding box of the pixels that are not `background`, and whether all
// of them are `only`.
struct TInk {
    TRect Box;
    bool Any = false;
    bool OnlyThatColour = true;
};
TInk InkOf(TBitmap* b, TColor background, TColor only) {
    TInk ink;
    ink.Box = Rect(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) {
            const TColor c = PixelAt(b, x, y);
            if (c == ColorToRGB(background)) continue;
            ink.Any = true;
            if (c != ColorToRGB(only)) ink.OnlyThatColour = false;
            ink.Box.Left = std::min(ink.Box.Left, x);
            ink.Box.Top = std::min(ink.Box.Top, y);
            ink.Box.Right = std::max(ink.Box.Right, x + 1);
            ink.Box.Bottom = std::max(ink.Box.Bottom, y + 1);
        }
    return ink;
}

bool RowHas(TBitmap* b, int top, int height, TColor c) {
    for (int y = top; y < top + height; ++y)
        for (int x = 0; x < b->Width(); ++x)
            if (PixelAt(b, x, y) == ColorToRGB(c)) return true;
    return false;
}

void AddOptions(TBaseLazyTree* t, TLTPaintOptions paint, TLTSelectionOptions sel = {}) {
    TCustomLazyTreeOptions* o = t->TreeOptions();
    o->SetPaintOptions(o->PaintOptions() + paint);
    o->SetSelectionOptions(o->SelectionOptions() + sel);
}
}  // namespace

TEST_F(PaintTest, EmptyListMessageIsGreyTextFromTheCorner) {
    TPaintTree* t = NewTree(200, 100);
    t->SetEmptyListMessage(QStringLiteral("No meters found"));
    auto b = Render(t);
    const TInk ink = InkOf(b.get(), clWindow, clGrayText);
    ASSERT_TRUE(ink.Any);
    EXPECT_TRUE(ink.OnlyThatColour);
    EXPECT_GE(ink.Box.Left, 2);
    EXPECT_GE(ink.Box.Top, 2);
    EXPECT_LT(ink.Box.Left, 6);
    // Without a message only the background is painted (the lime fill is
    // gone everywhere).
    t->SetEmptyListMessage(QString());
    auto plain = Render(t);
    EXPECT_FALSE(InkOf(plain.get(), clWindow, clWindow).Any);
    // With a node the message is not shown.
    t->SetEmptyListMessage(QStringLiteral("No meters found"));
    t->SetDefaultText(QString());
    t->AddChild(nullptr);
    auto withNode = Render(t);
    EXPECT_FALSE(RowHas(withNode.get(), 0, 100, clGrayText));
}

TEST_F(PaintTest, PaintingFromInsideAPaintEventReturnsAtOnce) {
    TPaintTree* t = NewTree();
    t->AddChild(nullptr);
    int before = 0, after = 0;
    auto inner = FilledBitmap(50, 50, clLime);
    t->OnBeforePaint = [&](TBaseLazyTree* s, TCanvas*) {
        ++before;
        s->PaintTree(inner->Canvas(), Rect(0, 0, 50, 50), Point(0, 0), WindowPaintOptions);
    };
    t->OnAfterPaint = [&](TBaseLazyTree*, TCanvas*) { ++after; };
    Render(t);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(PixelAt(inner.get(), 10, 10), ColorToRGB(clLime));
    EXPECT_FALSE(t->TreeStates().Contains(tsPainting));
}

TEST_F(PaintTest, PaintingStateIsLeftWhenAHandlerThrows) {
    TPaintTree* t = NewTree();
    t->AddChild(nullptr);
    t->OnAfterItemPaint = [](TBaseLazyTree*, TCanvas*, PLazyNode, const TRect&) { throw Exception("boom"); };
    EXPECT_THROW(Render(t), Exception);
    EXPECT_FALSE(t->TreeStates().Contains(tsPainting));
    t->OnAfterItemPaint = nullptr;
    int before = 0;
    t->OnBeforePaint = [&](TBaseLazyTree*, TCanvas*) { ++before; };
    Render(t);
    EXPECT_EQ(before, 1);
}

TEST_F(PaintTest, SelectedOnlyPaintsSelectedRowsAndTheirSubtrees) {
    TPaintTree* t = NewTree(200, 100);
    t->SetDefaultText(QString());
    PLazyNode a = t->AddChild(nullptr);
    PLazyNode b = t->AddChild(nullptr);
    PLazyNode b1 = t->AddChild(b);
    PLazyNode c = t->AddChild(nullptr);
    t->SetExpanded(b, true);
    t->SetSelected(b, true);
    (void)a, (void)b1, (void)c;
    auto img = Render(t, DragImagePaintOptions);
    // Rows of 18 pixels: a, b, b1, c.
    EXPECT_EQ(PixelAt(img.get(), 150, 9), ColorToRGB(clLime));
    EXPECT_NE(PixelAt(img.get(), 150, 27), ColorToRGB(clLime));
    EXPECT_NE(PixelAt(img.get(), 150, 45), ColorToRGB(clLime));
    EXPECT_EQ(PixelAt(img.get(), 150, 63), ColorToRGB(clLime));
}

TEST_F(PaintTest, AlwaysHiddenSelectionLooksUnselected) {
    TPaintTree* t = NewTree(200, 40);
    // Popup mode paints as a focused tree does.
    AddOptions(t, {toPopupMode});
    t->Colors()->SetColor(TLTColors::FocusedSelectionColor, clNavy);
    t->Colors()->SetColor(TLTColors::UnfocusedSelectionColor, clTeal);
    t->Colors()->SetColor(TLTColors::SelectionTextColor, clRed);
    PLazyNode a = t->AddChild(nullptr);
    t->SetSelected(a, true);
    auto shown = Render(t);
    EXPECT_TRUE(RowHas(shown.get(), 0, 18, clNavy));
    EXPECT_TRUE(RowHas(shown.get(), 0, 18, clRed));
    AddOptions(t, {toAlwaysHideSelection});
    auto hidden = Render(t);
    EXPECT_FALSE(RowHas(hidden.get(), 0, 18, clNavy));
    EXPECT_FALSE(RowHas(hidden.get(), 0, 18, clRed));
    // Unfocused: the unfocused colour, or nothing with toHideSelection.
    TCustomLazyTreeOptions* o = t->TreeOptions();
    o->SetPaintOptions(o->PaintOptions() - TLTPaintOptions{toAlwaysHideSelection, toPopupMode});
    ASSERT_FALSE(t->Focused());
    auto unfocused = Render(t);
    EXPECT_TRUE(RowHas(unfocused.get(), 0, 18, clTeal));
    AddOptions(t, {toHideSelection});
    auto hiddenUnfocused = Render(t);
    EXPECT_FALSE(RowHas(hiddenUnfocused.get(), 0, 18, clTeal));
}

TEST_F(PaintTest, ACellLeftOfTheWindowIsSkippedAndTheWalkGoesOn) {
    TPaintTree* t = NewTree(300, 40);
    for (int i = 0; i < 3; ++i) t->Header()->Columns()->Add();
    t->AddChild(nullptr);
    QList<TColumnIndex> cells;
    t->OnAfterCellPaint = [&](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex c, const TRect&) { cells << c; };
    auto b = FilledBitmap(100, 18, clLime);
    t->PaintTree(b->Canvas(), Rect(60, 0, 160, 18), Point(0, 0), WindowPaintOptions);
    EXPECT_EQ(cells, (QList<TColumnIndex>{1, 2}));
    cells.clear();
    t->PaintTree(b->Canvas(), Rect(0, 0, 100, 18), Point(0, 0), WindowPaintOptions);
    EXPECT_EQ(cells, (QList<TColumnIndex>{0, 1}));
    // The main column alone for poMainOnly.
    cells.clear();
    t->PaintTree(b->Canvas(), Rect(0, 0, 150, 18), Point(0, 0), WindowPaintOptions + TLTInternalPaintOptions{poMainOnly});
    EXPECT_EQ(cells, QList<TColumnIndex>{0});
}

TEST_F(PaintTest, ACustomDrawnRowIsLeftToItsHandler) {
    TPaintTree* t = NewTree(200, 60);
    t->SetDefaultText(QString());
    PLazyNode a = t->AddChild(nullptr);
    PLazyNode b = t->AddChild(nullptr);
    PLazyNode c = t->AddChild(nullptr);
    t->SetDropTargetNode(b);
    t->SetLastDropMode(dmAbove);
    QList<PLazyNode> erased, after;
    t->OnAfterItemErase = [&](TBaseLazyTree*, TCanvas*, PLazyNode n, const TRect&) { erased << n; };
    t->OnAfterItemPaint = [&](TBaseLazyTree*, TCanvas*, PLazyNode n, const TRect&) { after << n; };
    const TColor mark = t->Colors()->GetColor(TLTColors::DropMarkColor);
    auto normal = Render(t);
    EXPECT_TRUE(RowHas(normal.get(), 18, 18, mark));
    EXPECT_EQ(after, (QList<PLazyNode>{a, b, c}));
    erased.clear();
    after.clear();
    t->OnBeforeItemPaint = [&](TBaseLazyTree*, TCanvas*, PLazyNode n, const TRect&, bool& custom) { custom = n == b; };
    auto custom = Render(t);
    EXPECT_EQ(erased, (QList<PLazyNode>{a, c}));
    EXPECT_EQ(after, (QList<PLazyNode>{a, c}));
    EXPECT_FALSE(RowHas(custom.get(), 18, 18, mark));
}

TEST_F(PaintTest, UnbufferedPaintingGivesTheBufferedPicture) {
    TPaintTree* t = NewTree(180, 90);
    AddOptions(t, {toShowHorzGridLines});
    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() + TLTMiscOptions{toCheckSupport});
    for (int i = 0; i < 8; ++i) {
        PLazyNode n = t->AddChild(nullptr);
        n->CheckType = ctCheckBox;
        if (i % 3 == 0) t->AddChild(n);
        if (i == 3) t->SetExpanded(n, true);
    }
    t->SetSelected(t->GetFirst(), true);
    // An even offset keeps the dotted pattern's phase the same on the
    // target as in the row bitmap.
    t->SetOffsetY(-24);
    auto buffered = Render(t);
    auto direct = Render(t, WindowPaintOptions + TLTInternalPaintOptions{poUnbuffered});
    const int w = buffered->Width(), h = buffered->Height();
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (PixelAt(buffered.get(), x, y) != PixelAt(direct.get(), x, y)) ++differing;
    EXPECT_EQ(differing, 0);
    // And a window painted at an offset target lands there.
    auto shifted = FilledBitmap(w + 20, h + 20, clLime);
    TRect window = Rect(0, 0, w, h);
    OffsetRect(window, 0, 24);
    t->PaintTree(shifted->Canvas(), window, Point(20, 20), WindowPaintOptions);
    EXPECT_EQ(PixelAt(shifted.get(), 10, 10), ColorToRGB(clLime));
    for (int y = 0; y < h; y += 3)
        for (int x = 0; x < w; x += 2)
            ASSERT_EQ(PixelAt(shifted.get(), x + 20, y + 20), PixelAt(buffered.get(), x, y)) << x << "," << y;
}

TEST_F(PaintTest, WindowPaintingGoesThroughThePaintMessage) {
    TPaintTree* t = NewTree(150, 60);
    t->AddChild(nullptr);
    int paints = 0;
    t->OnBeforePaint = [&](TBaseLazyTree*, TCanvas*) { ++paints; };
    t->Repaint();
    EXPECT_GE(paints, 1);
    // WM_PRINTCLIENT paints the client area onto the canvas it is handed.
    auto b = FilledBitmap(150, 60, clLime);
    paints = 0;
    t->Perform(WM_PRINTCLIENT, WPARAM(b->Canvas()), 0);
    EXPECT_EQ(paints, 1);
    EXPECT_NE(PixelAt(b.get(), 100, 40), ColorToRGB(clLime));
}
