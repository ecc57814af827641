// Node images and check images: the check image index, overlays, the image
// list a handler hands over, custom check images without a list.
#include "PaintKit.h"

#include "platform/controls/ImgList.h"

namespace {
// A 16 x 16 picture: a square of `c` at (x, y) of size `s`, the rest
// transparent (magenta key).
std::unique_ptr<TBitmap> Square(TColor c, int x, int y, int s) {
    auto b = FilledBitmap(16, 16, clFuchsia);
    b->Canvas()->Brush().SetColor(c);
    b->Canvas()->FillRect(Bounds(x, y, s, s));
    return b;
}

bool Shows(TBitmap* b, TColor c, int top = 0, int height = 18) {
    for (int y = top; y < top + height; ++y)
        for (int x = 0; x < b->Width(); ++x)
            if (PixelAt(b, x, y) == ColorToRGB(c)) return true;
    return false;
}
}  // namespace

TEST_F(PaintTest, CheckImageIndexTable) {
    TPaintTree* t = NewTree();
    struct Case {
        TCheckType type;
        TCheckState state;
        bool enabled;
        int index;
    } cases[] = {
        {ctCheckBox, csUncheckedNormal, true, 9},     {ctCheckBox, csUncheckedNormal, false, 12},
        {ctCheckBox, csUncheckedDisabled, true, 12},  {ctCheckBox, csUncheckedPressed, true, 11},
        {ctCheckBox, csCheckedNormal, true, 13},      {ctCheckBox, csCheckedPressed, true, 15},
        {ctCheckBox, csCheckedPressed, false, 16},    {ctCheckBox, csCheckedDisabled, true, 16},
        {ctCheckBox, csMixedNormal, true, 17},        {ctCheckBox, csMixedPressed, true, 19},
        {ctCheckBox, csMixedDisabled, true, 20},      {ctTriStateCheckBox, csCheckedNormal, true, 13},
        {ctTriStateCheckBox, csMixedNormal, true, 17}, {ctRadioButton, csUncheckedNormal, true, 1},
        {ctRadioButton, csUncheckedPressed, true, 3}, {ctRadioButton, csCheckedNormal, true, 5},
        {ctRadioButton, csCheckedPressed, true, 7},   {ctRadioButton, csCheckedNormal, false, 8},
        {ctRadioButton, csMixedPressed, true, 19},    {ctButton, csUncheckedNormal, true, 21},
        {ctButton, csCheckedNormal, true, 21},        {ctButton, csCheckedPressed, true, 23},
        {ctButton, csUncheckedNormal, false, 24},     {ctButton, csMixedNormal, true, 17},
        {ctNone, csCheckedNormal, true, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(t->CheckImageIndex(nullptr, c.type, c.state, c.enabled), c.index)
            << int(c.type) << " " << int(c.state) << " " << c.enabled;

    // With a node: its own type and state, hot when it is the hot node,
    // disabled when it or the control is.
    PLazyNode n = t->AddChild(nullptr);
    n->CheckType = ctCheckBox;
    struct NodeCase {
        TCheckState state;
        bool hot, disabled;
        int index;
    } nodeCases[] = {
        {csUncheckedNormal, false, false, 9}, {csUncheckedNormal, true, false, 10}, {csCheckedNormal, true, false, 14},
        {csCheckedPressed, true, false, 15},  {csMixedNormal, true, false, 18},     {csUncheckedNormal, true, true, 12},
    };
    for (const NodeCase& c : nodeCases) {
        n->CheckState = c.state;
        t->SetHotNode(c.hot ? n : nullptr);
        t->SetDisabled(n, c.disabled);
        EXPECT_EQ(t->CheckImageIndex(n, ctNone, csUncheckedNormal, true), c.index) << int(c.state) << c.hot;
    }
    t->SetHotNode(nullptr);
    t->SetDisabled(n, false);
    t->SetEnabled(false);
    EXPECT_EQ(t->CheckImageIndex(n, ctNone, csUncheckedNormal, true), 12);  // the control is disabled
}

TEST_F(PaintTest, OverlaysThroughTheListOrAsASecondImage) {
    TPaintTree* t = NewTree(120, 40);
    t->SetDefaultText(QString());
    auto* list = NewObject<TCustomImageList>(Form, 16, 16);
    for (int i = 0; i < 16; ++i) {
        auto pic = i == 3 ? Square(clRed, 0, 0, 4) : i == 15 ? Square(clLime, 0, 0, 4) : Square(clBlue, 0, 0, 16);
        list->AddMasked(pic.get(), clFuchsia);
    }
    list->Overlay(3, 14);
    t->SetImages(list);
    int overlay = -1;
    t->OnGetImageIndex = [&](TBaseLazyTree*, PLazyNode, TLTImageKind kind, TColumnIndex, bool&, int& index) {
        index = kind == ikOverlay ? overlay : kind == ikState ? -1 : 0;
    };
    t->AddChild(nullptr);
    auto plain = Render(t, WindowPaintOptions, clWhite);
    EXPECT_TRUE(Shows(plain.get(), clBlue));
    EXPECT_FALSE(Shows(plain.get(), clRed));
    // 14: the list draws its overlay 14 (image 3) over the image.
    overlay = 14;
    auto fourteen = Render(t, WindowPaintOptions, clWhite);
    EXPECT_TRUE(Shows(fourteen.get(), clRed));
    EXPECT_FALSE(Shows(fourteen.get(), clLime));
    // 15: drawn as a second image from the list.
    overlay = 15;
    auto fifteen = Render(t, WindowPaintOptions, clWhite);
    EXPECT_TRUE(Shows(fifteen.get(), clLime));
    EXPECT_FALSE(Shows(fifteen.get(), clRed));
    // The same index as the image itself is no overlay.
    overlay = 0;
    auto same = Render(t, WindowPaintOptions, clWhite);
    EXPECT_FALSE(Shows(same.get(), clRed));
    EXPECT_FALSE(Shows(same.get(), clLime));
    t->SetImages(nullptr);
    list->Free();
}

TEST_F(PaintTest, ImagesSitOnTheCentreLineAfterTheIndent) {
    TPaintTree* t = NewTree(120, 40);
    t->SetDefaultText(QString());
    auto* list = NewObject<TCustomImageList>(Form, 16, 16);
    auto pic = Square(clBlue, 0, 0, 16);
    list->AddMasked(pic.get(), clFuchsia);
    t->SetImages(list);
    t->OnGetImageIndex = [](TBaseLazyTree*, PLazyNode, TLTImageKind kind, TColumnIndex, bool&, int& index) {
        index = kind == ikNormal ? 0 : -1;
    };
    t->AddChild(nullptr);
    auto img = Render(t, WindowPaintOptions, clWhite);
    // Centre line 9 for a 16-pixel image in an 18-pixel row: rows 1..16;
    // one indent column (root lines) plus the margin, less one pixel: x 21.
    EXPECT_EQ(PixelAt(img.get(), 21, 1), ColorToRGB(clBlue));
    EXPECT_EQ(PixelAt(img.get(), 36, 16), ColorToRGB(clBlue));
    EXPECT_NE(PixelAt(img.get(), 20, 8), ColorToRGB(clBlue));
    EXPECT_NE(PixelAt(img.get(), 21, 0), ColorToRGB(clBlue));
    EXPECT_NE(PixelAt(img.get(), 37, 8), ColorToRGB(clBlue));
    // A handler may hand over another list for one node.
    auto* other = NewObject<TCustomImageList>(Form, 16, 16);
    auto red = Square(clRed, 0, 0, 16);
    other->AddMasked(red.get(), clFuchsia);
    t->OnGetImageIndex = nullptr;
    t->OnGetImageIndexEx = [&](TBaseLazyTree*, PLazyNode, TLTImageKind kind, TColumnIndex, bool&, int& index,
                               TCustomImageList*& images) {
        index = kind == ikNormal ? 0 : -1;
        if (kind == ikNormal) images = other;
    };
    auto swapped = Render(t, WindowPaintOptions, clWhite);
    EXPECT_EQ(PixelAt(swapped.get(), 21, 1), ColorToRGB(clRed));
    t->SetImages(nullptr);
    other->Free();
    list->Free();
}

TEST_F(PaintTest, CustomCheckKindWithoutAListShowsNoCheckBoxes) {
    TPaintTree* t = NewTree(120, 40);
    t->SetDefaultText(QString());
    PLazyNode n = t->AddChild(nullptr);
    n->CheckType = ctCheckBox;
    n->CheckState = csCheckedNormal;
    auto without = Render(t);
    t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() + TLTMiscOptions{toCheckSupport});
    auto with = Render(t);
    t->SetCheckImageKind(ckCustom);
    ASSERT_EQ(t->CheckImages(), nullptr);
    auto custom = Render(t);
    int differWith = 0, differCustom = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 120; ++x) {
            differWith += PixelAt(with.get(), x, y) != PixelAt(without.get(), x, y);
            differCustom += PixelAt(custom.get(), x, y) != PixelAt(without.get(), x, y);
        }
    EXPECT_GT(differWith, 0);
    EXPECT_EQ(differCustom, 0);
}

TEST_F(PaintTest, DisabledAndSelectedImagesChangeTheirLook) {
    TPaintTree* t = NewTree(120, 40);
    t->SetDefaultText(QString());
    auto* list = NewObject<TCustomImageList>(Form, 16, 16);
    auto pic = Square(clBlue, 0, 0, 16);
    list->AddMasked(pic.get(), clFuchsia);
    t->SetImages(list);
    t->OnGetImageIndex = [](TBaseLazyTree*, PLazyNode, TLTImageKind kind, TColumnIndex, bool&, int& index) {
        index = kind == ikState || kind == ikOverlay ? -1 : 0;
    };
    PLazyNode n = t->AddChild(nullptr);
    const TColor blue = ColorToRGB(clBlue);
    // Disabled: grey.
    t->SetDisabled(n, true);
    auto grey = Render(t, WindowPaintOptions, clWhite);
    const TColor g = PixelAt(grey.get(), 28, 8);
    EXPECT_NE(g, blue);
    EXPECT_EQ(GetRValue(g), GetGValue(g));
    EXPECT_EQ(GetGValue(g), GetBValue(g));
    t->SetDisabled(n, false);
    // Selected in a focused-looking tree with blended images: blended.
    TCustomLazyTreeOptions* o = t->TreeOptions();
    o->SetPaintOptions(o->PaintOptions() + TLTPaintOptions{toGhostedIfUnfocused});
    t->SetSelected(n, true);
    auto blended = Render(t, WindowPaintOptions, clWhite);
    EXPECT_NE(PixelAt(blended.get(), 28, 8), blue);
    o->SetPaintOptions(o->PaintOptions() - TLTPaintOptions{toUseBlendedImages});
    auto unblended = Render(t, WindowPaintOptions, clWhite);
    EXPECT_EQ(PixelAt(unblended.get(), 28, 8), blue);
    t->SetImages(nullptr);
    list->Free();
}
