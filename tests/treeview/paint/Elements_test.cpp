// The element painters: drop mark, expand buttons, dotted lines, line images
// and bands, the selection rectangle, the background picture and the row
// erase.
#include "PaintKit.h"

namespace {
TLTPaintInfo InfoOn(TCanvas* c, PLazyNode n = nullptr) {
    TLTPaintInfo pi;
    pi.Canvas = c;
    pi.Node = n;
    pi.PaintOptions = WindowPaintOptions;
    return pi;
}
}  // namespace

TEST_F(PaintTest, DropMarkAboveAndBelow) {
    TPaintTree* t = NewTree();
    const TColor mark = ColorToRGB(t->Colors()->GetColor(TLTColors::DropMarkColor));
    const TColor white = ColorToRGB(clWhite);
    auto b = FilledBitmap(100, 18, clWhite);
    t->SetLastDropMode(dmAbove);
    t->PaintDropMark(b->Canvas(), nullptr, Rect(0, 0, 100, 18));
    // The polygon (2, 0), (98, 0), (98, 6), (94, 2), (6, 2), (2, 6).
    struct P {
        int x, y;
        bool in;
    } above[] = {{2, 0, true},  {50, 0, true},  {50, 1, true},  {97, 0, true}, {98, 0, false}, {1, 0, false},
                 {50, 2, false}, {2, 4, true},  {4, 4, false},  {97, 4, true}, {95, 4, false}, {50, 8, false}};
    for (const P& p : above) EXPECT_EQ(PixelAt(b.get(), p.x, p.y), p.in ? mark : white) << p.x << "," << p.y;

    auto below = FilledBitmap(100, 18, clWhite);
    t->SetLastDropMode(dmBelow);
    t->PaintDropMark(below->Canvas(), nullptr, Rect(0, 0, 100, 18));
    EXPECT_EQ(PixelAt(below.get(), 50, 16), mark);
    EXPECT_EQ(PixelAt(below.get(), 50, 13), white);
    EXPECT_EQ(PixelAt(below.get(), 50, 2), white);

    auto onNode = FilledBitmap(100, 18, clWhite);
    t->SetLastDropMode(dmOnNode);
    t->PaintDropMark(onNode->Canvas(), nullptr, Rect(0, 0, 100, 18));
    EXPECT_EQ(PixelAt(onNode.get(), 50, 0), white);
    EXPECT_EQ(PixelAt(onNode.get(), 50, 16), white);
}

TEST_F(PaintTest, ButtonBitmapsOfEveryStyle) {
    TPaintTree* t = NewTree();
    t->SetColor(clYellow);
    t->BuildButtonBitmaps(true, true);
    TBitmap* plus = t->PlusBitmap();
    TBitmap* minus = t->MinusBitmap();
    ASSERT_EQ(plus->Width(), 9);
    ASSERT_EQ(plus->Height(), 9);
    const TColor frame = ColorToRGB(t->Colors()->GetColor(TLTColors::TreeLineColor));
    const TColor ink = ColorToRGB(t->Font()->Color());
    const TColor fill = ColorToRGB(clYellow);
    struct P {
        int x, y;
        TColor plus, minus;
    } pixels[] = {
        {0, 0, frame, frame}, {8, 8, frame, frame}, {8, 0, frame, frame}, {2, 4, ink, ink},   {6, 4, ink, ink},
        {7, 4, fill, fill},   {4, 2, ink, fill},    {4, 6, ink, fill},    {4, 7, fill, fill}, {3, 3, fill, fill},
    };
    for (const P& p : pixels) {
        EXPECT_EQ(PixelAt(plus, p.x, p.y), p.plus) << "plus " << p.x << "," << p.y;
        EXPECT_EQ(PixelAt(minus, p.x, p.y), p.minus) << "minus " << p.x << "," << p.y;
    }
    // The hot and selected-hot companions copy the normal pictures.
    EXPECT_EQ(PixelAt(t->HotPlusBitmap(), 4, 2), ink);
    EXPECT_EQ(PixelAt(t->SelectedHotMinusBitmap(), 4, 2), fill);

    // Window colour fill, and the transparent fill that keeps the key.
    t->SetButtonFillMode(fmWindowColor);
    EXPECT_EQ(PixelAt(t->PlusBitmap(), 3, 3), ColorToRGB(clWindow));
    t->SetButtonFillMode(fmTransparent);
    EXPECT_EQ(PixelAt(t->PlusBitmap(), 3, 3), t->PlusBitmap()->TransparentColor());
    EXPECT_TRUE(t->PlusBitmap()->Transparent());

    // Triangles: the minus points down, the plus to the right.
    t->SetButtonStyle(bsTriangle);
    const TColor key = t->MinusBitmap()->TransparentColor();
    EXPECT_EQ(PixelAt(t->MinusBitmap(), 4, 3), ColorToRGB(clBlack));
    EXPECT_EQ(PixelAt(t->MinusBitmap(), 4, 0), key);
    EXPECT_EQ(PixelAt(t->MinusBitmap(), 1, 6), key);
    EXPECT_EQ(PixelAt(t->PlusBitmap(), 3, 4), ColorToRGB(clBlack));
    EXPECT_EQ(PixelAt(t->PlusBitmap(), 7, 4), key);
    EXPECT_EQ(PixelAt(t->PlusBitmap(), 3, 0), key);

    // The application may draw its own.
    t->OnPrepareButtonBitmaps = [](TBaseLazyTree*, TBitmap* p, TBitmap*, TBitmap*, TBitmap*, TBitmap*, TBitmap*,
                                   TSize& size) {
        EXPECT_EQ(size, TSize(9, 9));
        p->Canvas()->Brush().SetColor(clRed);
        p->Canvas()->FillRect(Rect(0, 0, 9, 9));
    };
    t->BuildButtonBitmaps(true, false);
    EXPECT_EQ(PixelAt(t->PlusBitmap(), 4, 4), ColorToRGB(clRed));
}

TEST_F(PaintTest, ButtonSitsOnTheNodesCentreLine) {
    TPaintTree* t = NewTree(120, 40);
    t->SetDefaultText(QString());
    PLazyNode a = t->AddChild(nullptr);
    t->AddChild(a);
    auto img = Render(t);
    const TColor frame = ColorToRGB(t->Colors()->GetColor(TLTColors::TreeLineColor));
    // Node height 18, button 9: centre line (18 - 9) * 50 / 100 = 5 (rounded)
    // + 4 = 9, so the button's top is 4; centred in the 18-pixel indent
    // column it starts at x 5.
    EXPECT_EQ(PixelAt(img.get(), 5, 4), frame);
    EXPECT_EQ(PixelAt(img.get(), 13, 12), frame);
    EXPECT_NE(PixelAt(img.get(), 5, 3), frame);
    EXPECT_EQ(PixelAt(img.get(), 9, 8), ColorToRGB(clWindowText));  // the plus's crossing
    // Expanded: the minus has no vertical stroke.
    t->SetExpanded(a, true);
    auto open = Render(t);
    EXPECT_EQ(PixelAt(open.get(), 9, 6), ColorToRGB(clWindow));
    EXPECT_EQ(PixelAt(open.get(), 7, 8), ColorToRGB(clWindowText));
}

TEST_F(PaintTest, DottedLinesAlternatePixels) {
    TPaintTree* t = NewTree();
    t->BuildButtonBitmaps(false, true);
    auto b = FilledBitmap(16, 16, clWhite);
    TLTPaintInfo pi = InfoOn(b->Canvas());
    b->Canvas()->Font().SetColor(clBlack);
    b->Canvas()->SetBrushOrigin(0, 0);
    t->DrawDottedHorzLine(pi, 7, 0, 0);  // either order of the ends
    t->DrawDottedVertLine(pi, 2, 9, 12);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(PixelAt(b.get(), x, 0), ColorToRGB(x % 2 == 0 ? clBlack : clWhite)) << x;
    EXPECT_EQ(PixelAt(b.get(), 8, 0), ColorToRGB(clWhite));  // the end is inclusive, no further
    for (int y = 2; y <= 9; ++y)
        EXPECT_EQ(PixelAt(b.get(), 12, y), ColorToRGB(y % 2 == 0 ? clBlack : clWhite)) << y;
    EXPECT_EQ(PixelAt(b.get(), 12, 10), ColorToRGB(clWhite));
    // Solid lines take the font colour everywhere.
    t->SetLineStyle(lsSolid);
    t->BuildButtonBitmaps(false, true);
    t->DrawDottedHorzLine(pi, 0, 7, 5);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAt(b.get(), x, 5), ColorToRGB(clBlack)) << x;
    // A custom style without a handler is dotted.
    t->SetLineStyle(lsCustomStyle);
    t->BuildButtonBitmaps(false, true);
    EXPECT_EQ(t->LinePattern()[0], 0x55);
    EXPECT_EQ(t->LinePattern()[1], 0xAA);
    static const uint16_t stripes[8] = {0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF};
    t->OnGetLineStyle = [](TBaseLazyTree*, const uint16_t*& bits) { bits = stripes; };
    t->BuildButtonBitmaps(false, true);
    EXPECT_EQ(t->LinePattern()[1], 0xFF);
}

TEST_F(PaintTest, LineImagesFollowTheSiblings) {
    TPaintTree* t = NewTree();
    PLazyNode only = t->AddChild(nullptr);
    TLineImage li;
    t->BuildLineImages(only, li);
    EXPECT_EQ(li, TLineImage{ltRight});
    PLazyNode b = t->AddChild(nullptr);
    PLazyNode c = t->AddChild(nullptr);
    PLazyNode b1 = t->AddChild(b);
    PLazyNode c1 = t->AddChild(c);
    PLazyNode c2 = t->AddChild(c);
    struct Case {
        PLazyNode node;
        TLineImage expected;
    } cases[] = {
        {only, {ltBottomRight}},       {b, {ltTopDownRight}},         {c, {ltTopRight}},
        {b1, {ltTopDown, ltTopRight}}, {c1, {ltNone, ltTopDownRight}}, {c2, {ltNone, ltTopRight}},
    };
    for (const Case& k : cases) {
        t->BuildLineImages(k.node, li);
        EXPECT_EQ(li, k.expected) << t->GetNodeLevel(k.node);
    }
    // Hidden siblings do not count.
    t->SetVisible(c, false);
    t->BuildLineImages(b, li);
    EXPECT_EQ(li, TLineImage{ltTopRight});
    // Without root lines the top level has no indent column.
    TCustomLazyTreeOptions* o = t->TreeOptions();
    o->SetPaintOptions(o->PaintOptions() - TLTPaintOptions{toShowRoot});
    t->BuildLineImages(b, li);
    EXPECT_TRUE(li.isEmpty());
    t->BuildLineImages(b1, li);
    EXPECT_EQ(li, TLineImage{ltTopRight});
    // The select level counts the selected ancestors.
    t->SetSelected(b, true);
    EXPECT_EQ(t->BuildLineImages(b1, li), 1);
    // Without tree lines every entry is empty.
    o->SetPaintOptions(o->PaintOptions() - TLTPaintOptions{toShowTreeLines} + TLTPaintOptions{toShowRoot});
    t->BuildLineImages(b1, li);
    EXPECT_EQ(li, (TLineImage{ltNone, ltNone}));
}

TEST_F(PaintTest, BandsNeedGridLines) {
    TPaintTree* t = NewTree(150, 60);
    t->SetDefaultText(QString());
    t->SetLineMode(lmBands);
    PLazyNode a = t->AddChild(nullptr);
    t->AddChild(a);
    t->SetExpanded(a, true);
    auto countInk = [&](TBitmap* img) {
        int n = 0;
        for (int y = 18; y < 36; ++y)
            for (int x = 0; x < 36; ++x)
                if (PixelAt(img, x, y) != ColorToRGB(clWindow)) ++n;
        return n;
    };
    auto without = Render(t, WindowPaintOptions - TLTInternalPaintOptions{poGridLines});
    EXPECT_EQ(countInk(without.get()), 0);
    auto with = Render(t);
    EXPECT_GT(countInk(with.get()), 0);
    // Bands are drawn in the grid-line colour.
    bool gridColour = false;
    for (int y = 18; y < 36; ++y)
        for (int x = 0; x < 36; ++x)
            gridColour = gridColour || PixelAt(with.get(), x, y) ==
                                           ColorToRGB(t->Colors()->GetColor(TLTColors::GridLineColor));
    EXPECT_TRUE(gridColour);
}

TEST_F(PaintTest, SquareSelectionHasAOnePixelBorder) {
    TPaintTree* t = NewTree(100, 40);
    t->SetDefaultText(QString());
    TCustomLazyTreeOptions* o = t->TreeOptions();
    o->SetPaintOptions(o->PaintOptions() + TLTPaintOptions{toPopupMode, toHideFocusRect} -
                       TLTPaintOptions{toShowTreeLines});
    o->SetSelectionOptions(o->SelectionOptions() + TLTSelectionOptions{toFullRowSelect});
    t->Colors()->SetColor(TLTColors::FocusedSelectionColor, clRed);
    t->Colors()->SetColor(TLTColors::FocusedSelectionBorderColor, clBlue);
    PLazyNode a = t->AddChild(nullptr);
    t->SetSelected(a, true);
    ASSERT_EQ(t->SelectionCurveRadius, 0);
    auto img = Render(t);
    const TColor red = ColorToRGB(clRed), blue = ColorToRGB(clBlue);
    struct P {
        int x, y;
        TColor c;
    } pixels[] = {{0, 0, blue}, {99, 0, blue}, {0, 17, blue}, {99, 17, blue}, {50, 0, blue},
                  {1, 1, red},  {98, 16, red}, {50, 9, red},  {50, 18, ColorToRGB(clWindow)}};
    for (const P& p : pixels) EXPECT_EQ(PixelAt(img.get(), p.x, p.y), p.c) << p.x << "," << p.y;
}

TEST_F(PaintTest, NegativeBackgroundOffsetsTileAsTheirRemainders) {
    TPaintTree* t = NewTree();
    TBitmap pic(8, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) pic.Canvas()->SetPixels(x, y, RGB(x * 30, y * 40, 100));
    auto tiled = [&](int ox, int oy) {
        t->SetBackgroundOffset(0, ox);
        t->SetBackgroundOffset(1, oy);
        auto b = FilledBitmap(20, 20, clLime);
        t->PaintTiledBackground(&pic, b->Canvas(), Rect(0, 0, 20, 20), TPoint(0, 0));
        return b;
    };
    auto negative = tiled(-5, -7);
    auto inRange = tiled(3, 5);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(PixelAt(negative.get(), x, y), PixelAt(inRange.get(), x, y));
    EXPECT_EQ(PixelAt(negative.get(), 0, 0), RGB(3 * 30, 5 * 40, 100));
    EXPECT_EQ(PixelAt(negative.get(), 5, 1), RGB(0, 0, 100));
    EXPECT_EQ(PixelAt(negative.get(), 19, 19), RGB(((19 + 3) % 8) * 30, ((19 + 5) % 6) * 40, 100));
    // The static picture sits at the offset once, on the control's colour.
    t->SetBackgroundOffset(0, 4);
    t->SetBackgroundOffset(1, 2);
    auto still = FilledBitmap(20, 20, clLime);
    t->PaintStaticBackground(&pic, still->Canvas(), Rect(0, 0, 20, 20), TPoint(0, 0));
    EXPECT_EQ(PixelAt(still.get(), 4, 2), RGB(0, 0, 100));
    EXPECT_EQ(PixelAt(still.get(), 11, 7), RGB(7 * 30, 5 * 40, 100));
    EXPECT_EQ(PixelAt(still.get(), 12, 2), ColorToRGB(clWindow));
    EXPECT_EQ(PixelAt(still.get(), 3, 2), ColorToRGB(clWindow));
    // A transparent picture lets the colour through where its key is.
    pic.SetTransparentColor(RGB(0, 0, 100));
    pic.SetTransparent(true);
    auto masked = FilledBitmap(20, 20, clLime);
    t->PaintStaticBackground(&pic, masked->Canvas(), Rect(0, 0, 20, 20), TPoint(0, 0));
    EXPECT_EQ(PixelAt(masked.get(), 4, 2), ColorToRGB(clWindow));
    EXPECT_EQ(PixelAt(masked.get(), 11, 7), RGB(7 * 30, 5 * 40, 100));
}

TEST_F(PaintTest, EraseActionsOfTheHandler) {
    TPaintTree* t = NewTree();
    PLazyNode a = t->AddChild(nullptr);
    int afterErase = 0;
    TItemEraseAction action = eaNone;
    t->OnBeforeItemErase = [&](TBaseLazyTree*, TCanvas*, PLazyNode, const TRect&, TColor& color,
                               TItemEraseAction& act) {
        act = action;
        color = clRed;
    };
    t->OnAfterItemErase = [&](TBaseLazyTree*, TCanvas*, PLazyNode, const TRect& r) {
        ++afterErase;
        EXPECT_EQ(r, Rect(0, 0, 100, 18));
    };
    auto b = FilledBitmap(100, 18, clLime);
    TLTPaintInfo pi = InfoOn(b->Canvas(), a);
    t->EraseNodeBackground(pi, false, Rect(0, 40, 100, 58));
    EXPECT_EQ(PixelAt(b.get(), 50, 9), ColorToRGB(clLime));
    EXPECT_EQ(afterErase, 1);
    action = eaColor;
    t->EraseNodeBackground(pi, false, Rect(0, 40, 100, 58));
    EXPECT_EQ(PixelAt(b.get(), 50, 9), ColorToRGB(clRed));
    action = eaDefault;
    t->EraseNodeBackground(pi, false, Rect(0, 40, 100, 58));
    EXPECT_EQ(PixelAt(b.get(), 50, 9), ColorToRGB(clRed));  // the item colour the handler chose
    EXPECT_EQ(afterErase, 3);
}
