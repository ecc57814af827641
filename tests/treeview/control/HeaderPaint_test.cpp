// Header painting on bitmaps: the cell buttons, the placing of image,
// caption and sort glyph, and the caption's looks.
#include "ControlKit.h"

#include "platform/controls/Forms.h"
#include "treeview/LazyTrees.Utils.h"

namespace {
TLazyTreeColumns* Cols(TBaseLazyTree* t) { return t->Header()->Columns(); }

std::unique_ptr<TBitmap> Filled(int w, int h, TColor c) {
    auto b = std::make_unique<TBitmap>(w, h, pf32bit);
    b->Canvas()->Brush().SetColor(c);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

TColor At(TBitmap* b, int x, int y) { return b->Canvas()->Pixels(x, y) & 0xFFFFFF; }
TColor Rgb(TColor c) { return ColorToRGB(c) & 0xFFFFFF; }

// Where the control placed a cell's parts, seen through the advanced
// owner-draw event (asked to draw only the drop mark itself).
struct TPlaced {
    TRect Text;
    TPoint Glyph, Sort;
};

class HeaderPaint : public ControlTest {
protected:
    TViewTree* HeaderTree(int columns, int width = 60) {
        TViewTree* t = NewTree(400, 200);
        for (int i = 0; i < columns; ++i) {
            TLazyTreeColumn* c = Cols(t)->Add();
            c->SetWidth(width);
            c->SetText(QStringLiteral("C%1").arg(i));
        }
        t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoVisible});
        return t;
    }
    static std::unique_ptr<TBitmap> Paint(TBaseLazyTree* t, int w = 400) {
        auto b = Filled(w, t->Header()->Height(), clLime);
        Cols(t)->PaintHeader(b->Canvas(), Rect(0, 0, w, t->Header()->Height()), Point(0, 0));
        return b;
    }
    static TPlaced Placed(TBaseLazyTree* t, TColumnIndex column) {
        TPlaced out;
        t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoOwnerDraw});
        t->OnHeaderDrawQueryElements = [](TLTHeader*, THeaderPaintInfo& info, THeaderPaintElements& e) {
            if (info.Column) e = {hpeDropMark};
        };
        t->OnAdvancedHeaderDraw = [&](TLTHeader*, THeaderPaintInfo& info, THeaderPaintElements e) {
            if (info.Column && info.Column->Index() == column && e.Contains(hpeDropMark))
                out = {info.TextRectangle, info.GlyphPos, info.SortGlyphPos};
        };
        Paint(t);
        t->OnHeaderDrawQueryElements = nullptr;
        t->OnAdvancedHeaderDraw = nullptr;
        t->Header()->SetOptions(t->Header()->Options() - TLTHeaderOptions{hoOwnerDraw});
        return out;
    }
};
}  // namespace

TEST_F(HeaderPaint, EdgeStylesByHeaderStyle) {
    struct Case {
        TLTHeaderStyle Style;
        bool Pressed, Hot;
        unsigned Edge, Flags, FlagsWithRight;
    } cases[] = {
        {hsThickButtons, false, false, 5, 0x380B, 0x380F}, {hsThickButtons, true, false, 5, 0x780F, 0x780F},
        {hsFlatButtons, false, false, 4, 0x280B, 0x280F},  {hsFlatButtons, true, false, 2, 0x280F, 0x280F},
        {hsPlates, false, false, 4, 0x380F & ~4u, 0x380F}, {hsPlates, true, false, 2, 0x280F, 0x280F},
        {hsPlates, false, true, 4, 0x280B, 0x280F},
    };
    for (const Case& c : cases) {
        const THeaderEdge without = HeaderCellEdge(c.Style, c.Pressed, c.Hot, false);
        const THeaderEdge with = HeaderCellEdge(c.Style, c.Pressed, c.Hot, true);
        EXPECT_EQ(without.Edge, c.Edge) << int(c.Style) << c.Pressed << c.Hot;
        EXPECT_EQ(without.Flags, c.Flags) << int(c.Style) << c.Pressed << c.Hot;
        EXPECT_EQ(with.Flags, c.FlagsWithRight) << int(c.Style) << c.Pressed << c.Hot;
    }
}

// Flat buttons draw their right edge in the shadow colour; the last column
// by index shows none when the header hides its right border.
TEST_F(HeaderPaint, TheLastColumnByIndexMayGoWithoutARightBorder) {
    TViewTree* t = HeaderTree(3);
    t->Header()->SetStyle(hsFlatButtons);
    auto b = Paint(t);
    EXPECT_EQ(At(b.get(), 59, 10), Rgb(clBtnShadow));
    EXPECT_EQ(At(b.get(), 179, 10), Rgb(clBtnShadow));
    EXPECT_EQ(At(b.get(), 200, 10), Rgb(clBtnFace));  // background past the columns
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoAutoResize});
    t->SetBevelKind(bkFlat);
    b = Paint(t);
    // The right edge of a column shown at the display position.
    auto rightEdge = [&](int index) {
        int l = 0, r = 0;
        Cols(t)->Items(index)->UnscrolledBounds(l, r);
        return r - 1;
    };
    EXPECT_EQ(At(b.get(), rightEdge(0), 10), Rgb(clBtnShadow));
    EXPECT_NE(At(b.get(), rightEdge(2), 10), Rgb(clBtnShadow));
    // The last column by index, wherever it is shown.
    Cols(t)->Items(2)->SetPosition(0);
    b = Paint(t);
    EXPECT_NE(At(b.get(), rightEdge(2), 10), Rgb(clBtnShadow));
    EXPECT_EQ(At(b.get(), rightEdge(0), 10), Rgb(clBtnShadow));
    EXPECT_EQ(At(b.get(), rightEdge(1), 10), Rgb(clBtnShadow));
}

TEST_F(HeaderPaint, AWideCaptionEndsInAnEllipsisUnlessWrapped) {
    TViewTree* t = HeaderTree(1);
    const QString caption = QStringLiteral("A rather long column caption");
    auto drawn = Filled(120, 20, clWhite);
    drawn->Canvas()->Font().Assign(*t->Header()->Font());
    Cols(t)->DrawHeaderCaption(drawn->Canvas(), caption, Rect(0, 0, 60, 20), true, false, DT_NOPREFIX, false);
    auto expected = Filled(120, 20, clWhite);
    TCanvas* c = expected->Canvas();
    c->Font().Assign(*t->Header()->Font());
    c->Font().SetColor(t->Colors()->HeaderFontColor());
    c->SetBkMode(TRANSPARENT);
    const QString cut = ShortenText(c, caption, 60);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
    c->DrawText(cut, Rect(0, 0, 60, 20), DT_NOPREFIX);
    EXPECT_EQ(drawn->Image(), expected->Image());
}

TEST_F(HeaderPaint, ADisabledCaptionIsEmbossed) {
    TViewTree* t = HeaderTree(1);
    auto b = Filled(60, 20, clWhite);
    b->Canvas()->Font().Assign(*t->Header()->Font());
    Cols(t)->DrawHeaderCaption(b->Canvas(), QStringLiteral("WWW"), Rect(2, 2, 58, 18), false, false, DT_NOPREFIX, false);
    bool highlight = false, shadow = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            highlight = highlight || At(b.get(), x, y) == Rgb(clBtnHighlight);
            shadow = shadow || At(b.get(), x, y) == Rgb(clBtnShadow);
        }
    EXPECT_TRUE(shadow);
    // On white the highlight only shows where it is not white itself.
    if (Rgb(clBtnHighlight) != Rgb(clWhite)) {
        EXPECT_TRUE(highlight);
    }
}

TEST_F(HeaderPaint, APressedColumnDrawsItsPartsOnePixelOff) {
    TViewTree* t = HeaderTree(2);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoShowSortGlyphs});
    t->Header()->SetSortColumn(1);
    const TPlaced up = Placed(t, 1);
    Cols(t)->SetDownIndex(1);
    const TPlaced down = Placed(t, 1);
    EXPECT_EQ(down.Text.Left, up.Text.Left + 1);
    EXPECT_EQ(down.Text.Top, up.Text.Top + 1);
    EXPECT_EQ(down.Sort.X, up.Sort.X + 1);
    EXPECT_EQ(down.Sort.Y, up.Sort.Y + 1);
    // A press on the column's check box does not press the column.
    Cols(t)->SetDownIndex(1, true);
    EXPECT_EQ(Placed(t, 1).Text.Left, up.Text.Left);
}

TEST_F(HeaderPaint, ACentredStackedCaptionMakesRoomForTheSortGlyph) {
    TViewTree* t = HeaderTree(1, 200);
    TLazyTreeColumn* c = Cols(t)->Items(0);
    c->SetAlignment(taCenter);
    c->SetLayout(blGlyphTop);
    TBitmap b(10, 10);
    b.Canvas()->Font().Assign(*t->Header()->Font());
    const TRect client = Rect(2, 2, 198, 30);
    TPoint glyph, sort;
    TSize sortSize{0, 0};
    TRect plain, withSort;
    c->PlaceHeaderCellContent(b.Canvas(), client, false, false, glyph, sort, sortSize, plain, DT_CENTER);
    c->PlaceHeaderCellContent(b.Canvas(), client, false, true, glyph, sort, sortSize, withSort, DT_CENTER);
    EXPECT_EQ(sortSize.cx, 16);
    EXPECT_EQ(withSort.Left, plain.Left - 8);
    EXPECT_EQ(sort.X, withSort.Left - client.Left + withSort.Width() + c->Spacing() + client.Left);
}

TEST_F(HeaderPaint, SortGlyphsComeFromTheUtilityImages) {
    TViewTree* t = HeaderTree(1, 120);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoShowSortGlyphs});
    t->Header()->SetSortColumn(0);
    TImageList* utilities = TBaseLazyTree::InternalImageList(7);
    ASSERT_NE(utilities, nullptr);
    for (TSortDirection d : {sdAscending, sdDescending}) {
        t->Header()->SetSortDirection(d);
        const TPoint at = Placed(t, 0).Sort;
        auto b = Paint(t);
        auto expected = Filled(16, 16, clBtnFace);
        utilities->Draw(expected->Canvas(), 0, 0, d == sdAscending ? 3 : 2, true);
        // The glyph's last rows lie over the cell's lower edge.
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(At(b.get(), at.X + x, at.Y + y), At(expected.get(), x, y)) << int(d) << " " << x << "," << y;
    }
}

TEST_F(HeaderPaint, ASortGlyphOverTheImageSuppressesIt) {
    TViewTree* t = HeaderTree(1, 120);
    auto* images = NewObject<TCustomImageList>(Form, 16, 16);
    images->AddMasked(Filled(16, 16, clRed).get(), clFuchsia);
    t->Header()->SetImages(images);
    TLazyTreeColumn* c = Cols(t)->Items(0);
    c->SetImageIndex(0);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoShowImages, hoShowSortGlyphs});
    Paint(t);
    EXPECT_TRUE(c->HasImage());
    // Too narrow for both: the glyph wins and the image is not a click target.
    c->SetWidth(30);
    t->Header()->SetSortColumn(0);
    auto b = Paint(t);
    EXPECT_FALSE(c->HasImage());
    for (int x = 0; x < 30; ++x) ASSERT_NE(At(b.get(), x, 8), Rgb(clRed)) << x;
    t->Header()->SetImages(nullptr);
}

TEST_F(HeaderPaint, PlainOwnerDrawTakesOverOwnerDrawColumnsOnly) {
    TViewTree* t = HeaderTree(2);
    Cols(t)->Items(1)->SetStyle(vsOwnerDraw);
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoOwnerDraw});
    QList<int> drawn;
    t->OnHeaderDraw = [&](TLTHeader*, TCanvas* c, TLazyTreeColumn* col, const TRect& r, bool, bool, TLTDropMarkMode) {
        drawn << col->Index();
        c->Brush().SetColor(clBlue);
        c->FillRect(r);
    };
    auto b = Paint(t);
    EXPECT_EQ(drawn, QList<int>{1});
    EXPECT_EQ(At(b.get(), 90, 10), Rgb(clBlue));
    EXPECT_NE(At(b.get(), 30, 10), Rgb(clBlue));
    t->OnHeaderDraw = nullptr;
}

// The window shows the header above the client area.
TEST_F(HeaderPaint, TheWindowPaintsTheHeaderInItsNonClientArea) {
    TViewTree* t = HeaderTree(3, 100);
    t->Header()->SetStyle(hsFlatButtons);
    Cols(t)->Items(1)->SetText(QString());
    QImage image(Form->Width(), Form->Height(), QImage::Format_RGB32);
    image.fill(Qt::green);
    Form->PaintTo(image, TPoint(0, 0));
    ASSERT_FALSE(t->HeaderRect().IsEmpty());
    const TPoint c = t->ClientOrigin();
    const TPoint f = Form->ClientOrigin();
    const int x0 = c.X - f.X;
    const int y = c.Y - f.Y - t->Header()->Height() / 2;
    auto px = [&](int x, int yy) {
        const QRgb q = image.pixel(x, yy);
        return RGB(qRed(q), qGreen(q), qBlue(q));
    };
    EXPECT_EQ(px(x0 + 150, y), Rgb(clBtnFace));
    EXPECT_EQ(px(x0 + 99, y), Rgb(clBtnShadow));
}
