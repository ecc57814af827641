// Labels, link labels, group boxes, panels, bevels, shapes and images.
#include "StdKit.h"
#include "platform/controls/ExtCtrls.h"

namespace {

using ExtTest = StdTest;

TEST_F(ExtTest, LabelAutoSizeFollowsTextAndKeepsItsAnchorSide) {
    auto* l = Place<TLabel>(50, 10);
    l->SetCaption("Baudrate");
    TCanvas* c = l->Canvas();
    c->Font().Assign(*l->Font());
    EXPECT_EQ(l->Width(), c->TextWidth("Baudrate"));
    EXPECT_EQ(l->Height(), c->TextHeight("Baudrate"));

    // A right-aligned label grows to the left.
    l->SetAlignment(taRightJustify);
    const int right = l->Left() + l->Width();
    l->SetCaption("Baudrate of the bus");
    EXPECT_EQ(l->Left() + l->Width(), right);

    // Wrapped: the width stays, the height takes the lines.
    l->SetWordWrap(true);
    l->SetWidth(c->TextWidth("Baudrate of") + 2);
    EXPECT_EQ(l->Height(), 2 * c->TextHeight("B"));  // "Baudrate of" / "the bus"
    EXPECT_EQ(l->Width(), c->TextWidth("Baudrate of") + 2);

    // An empty caption keeps one line's height.
    l->SetWordWrap(false);
    l->SetCaption("");
    EXPECT_EQ(l->Height(), c->TextHeight("B"));
}

TEST_F(ExtTest, LabelLayoutAndAlignmentPlaceTheTextInsideItsBounds) {
    auto* l = Place<TLabel>(10, 10);
    l->SetAutoSize(false);
    l->SetBounds(10, 10, 200, 60);
    l->SetColor(clWhite);
    l->SetCaption("Wg");
    TCanvas* c = l->Canvas();
    c->Font().Assign(*l->Font());
    const int tw = c->TextWidth("Wg"), th = c->TextHeight("Wg");
    // The box of the text line: (left, top) of where it must stand.
    struct Case { const char* name; TTextLayout layout; TAlignment align; int left, top; };
    const Case cases[] = {
        {"top left", tlTop, taLeftJustify, 0, 0},
        {"centre", tlCenter, taCenter, (200 - tw) / 2, (60 - th) / 2},
        {"bottom right", tlBottom, taRightJustify, 200 - tw, 60 - th},
    };
    for (const Case& tc : cases) {
        l->SetLayout(tc.layout);
        l->SetAlignment(tc.align);
        const QImage img = Render(l);
        TRect ink(img.width(), img.height(), -1, -1);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) != Rgb(clWhite)) {
                    ink.Left = std::min(ink.Left, x);
                    ink.Top = std::min(ink.Top, y);
                    ink.Right = std::max(ink.Right, x + 1);
                    ink.Bottom = std::max(ink.Bottom, y + 1);
                }
        ASSERT_GE(ink.Right, 0) << tc.name << ": nothing drawn";
        EXPECT_GE(ink.Left, tc.left) << tc.name;
        EXPECT_LE(ink.Right, tc.left + tw) << tc.name;
        EXPECT_GE(ink.Top, tc.top) << tc.name;
        EXPECT_LE(ink.Bottom, tc.top + th) << tc.name;
    }
}

TEST_F(ExtTest, LabelAcceleratorFocusesItsControl) {
    auto* l = Place<TLabel>(10, 10);
    auto* first = Place<TEdit>(10, 30);
    auto* e = Place<TEdit>(10, 60);
    l->SetCaption("&Name");
    l->SetFocusControl(e);
    first->SetFocus();
    Input::KeyStroke('N', ssAlt);
    EXPECT_TRUE(e->Focused());
    // The control going away leaves the label without one.
    delete e;
    EXPECT_EQ(l->FocusControl(), nullptr);
}

TEST_F(ExtTest, TransparentLabelLeavesItsBackground) {
    auto* l = Place<TLabel>(10, 10);
    l->SetCaption(" ");
    l->SetColor(clRed);
    EXPECT_EQ(Render(l).pixel(0, 0), Rgb(clRed));
    l->SetTransparent(true);
    EXPECT_EQ(Render(l).pixel(0, 0), Rgb(clWhite));
}

TEST_F(ExtTest, LinkLabelHandsTheTargetToItsHandler) {
    auto* ll = Place<TLinkLabel>(10, 10);
    ll->SetCaption("New version: <a href=\"https://www.tavlon.example/x\">download</a> now");
    EXPECT_EQ(ll->PlainText(), "New version: download now");
    EXPECT_EQ(ll->LinkCount(), 1);
    QStringList links;
    ll->OnLinkClick = [&](TObject*, const QString& link, TSysLinkType type) {
        links << link;
        EXPECT_EQ(type, sltURL);
    };
    // A click on the plain text does nothing; on the link it hands it over.
    Input::Click(ll, 2, 2);
    EXPECT_TRUE(links.isEmpty());
    const TRect r = ll->LinkRect(0);
    ASSERT_FALSE(r.IsEmpty());
    Input::Click(ll, r.Left + 2, r.Top + 2);
    EXPECT_EQ(links, QStringList{"https://www.tavlon.example/x"});
    // Enter on the focused label follows its link too.
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(links.size(), 2);
}

TEST_F(ExtTest, LinkLabelParsesTheAnchorForms) {
    struct Case {
        const char* caption;
        const char* target;
        TSysLinkType type;
    };
    const Case cases[] = {
        {"<a href=\"http://a.example/\">a</a>", "http://a.example/", sltURL},
        {"<A HREF='b.html'>b</A>", "b.html", sltURL},
        {"<a id=\"help\">c</a>", "help", sltID},
        {"<a>www.d.example</a>", "www.d.example", sltURL},
    };
    for (const Case& c : cases) {
        const auto parts = TCustomLinkLabel::Parse(c.caption);
        ASSERT_EQ(parts.size(), 1) << c.caption;
        EXPECT_TRUE(parts[0].IsLink);
        EXPECT_EQ(parts[0].Target, c.target);
        EXPECT_EQ(parts[0].Type, c.type);
    }
    EXPECT_EQ(TCustomLinkLabel::Parse("no link").size(), 1);
    EXPECT_FALSE(TCustomLinkLabel::Parse("no link")[0].IsLink);
}

TEST_F(ExtTest, PanelBevelsDrawTheirColours) {
    auto* p = Place<TPanel>(10, 10, 40, 30);
    p->SetCaption("");
    p->SetColor(clYellow);
    QImage img = Render(p);
    // Raised: light top-left, shadow bottom-right, the face inside.
    EXPECT_EQ(img.pixel(0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(39, 29), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(0, 29), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(39, 0), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(1, 1), Rgb(clYellow));
    p->SetBevelOuter(bvLowered);
    p->SetBevelInner(bvRaised);
    p->SetBevelWidth(2);
    img = Render(p);
    EXPECT_EQ(img.pixel(1, 1), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(2, 2), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(4, 4), Rgb(clYellow));
    EXPECT_EQ(p->FrameWidth(), 4);
}

TEST_F(ExtTest, GroupBoxAcceleratorFocusesItsFirstControl) {
    auto* g = Place<TGroupBox>(10, 10);
    g->SetCaption("&Serial");
    auto* e = new TEdit(Form);
    e->SetParent(g);
    e->SetBounds(8, 20, 100, 21);
    Input::KeyStroke('S', ssAlt);
    EXPECT_TRUE(e->Focused());
}

TEST_F(ExtTest, ImagePlacesItsPicture) {
    auto* img = Place<TImage>(10, 10, 40, 20);
    auto bmp = std::make_unique<TBitmap>(10, 10);
    bmp->Canvas()->Brush().SetColor(clBlue);
    bmp->Canvas()->FillRect(Rect(0, 0, 10, 10));
    bmp->Canvas()->SetPixels(0, 9, clLime);  // the transparent colour's pixel
    img->Picture()->SetGraphic(std::move(bmp));
    img->PictureChanged();
    EXPECT_EQ(img->DestRect(), Rect(0, 0, 10, 10));
    img->SetCenter(true);
    EXPECT_EQ(img->DestRect(), Rect(15, 5, 25, 15));
    img->SetStretch(true);
    EXPECT_EQ(img->DestRect(), Rect(0, 0, 40, 20));
    img->SetProportional(true);
    EXPECT_EQ(img->DestRect(), Rect(10, 0, 30, 20));

    img->SetStretch(false);
    img->SetProportional(false);
    img->SetCenter(false);
    QImage shown = Render(img);
    EXPECT_EQ(shown.pixel(5, 5), Rgb(clBlue));
    EXPECT_EQ(shown.pixel(0, 9), Rgb(clLime));
    EXPECT_EQ(shown.pixel(20, 5), Rgb(clWhite));  // outside the picture
    img->SetTransparent(true);
    shown = Render(img);
    EXPECT_EQ(shown.pixel(0, 9), Rgb(clWhite));
    EXPECT_EQ(shown.pixel(5, 5), Rgb(clBlue));

    img->SetAutoSize(true);
    EXPECT_EQ(img->Width(), 10);
}

TEST_F(ExtTest, BevelAndShapePaintTheirOutline) {
    auto* b = Place<TBevel>(10, 10, 20, 10);
    b->SetShape(bsTopLine);
    QImage img = Render(b);
    EXPECT_EQ(img.pixel(5, 0), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(5, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(5, 5), Rgb(clWhite));

    auto* s = Place<TShape>(40, 10, 20, 10);
    s->Brush()->SetColor(clRed);
    s->Pen()->SetColor(clBlack);
    img = Render(s);
    EXPECT_EQ(img.pixel(0, 0), Rgb(clBlack));
    EXPECT_EQ(img.pixel(19, 9), Rgb(clBlack));
    EXPECT_EQ(img.pixel(10, 5), Rgb(clRed));
}

TEST_F(ExtTest, SplitterResizesTheControlBesideIt) {
    auto* left = Place<TPanel>(0, 0, 100, 50);
    left->SetAlign(alLeft);
    auto* sp = new TSplitter(Form);
    sp->SetParent(Form);
    sp->SetLeft(100);
    Form->AlignControls();
    ASSERT_EQ(sp->ResizeControl(), left);
    int moved = 0;
    sp->OnMoved = [&](TObject*) { ++moved; };
    Input::MouseDown(sp, mbLeft, 1, 10);
    Input::MouseMove(sp, 41, 10);
    Input::MouseUp(sp, mbLeft, 41, 10);
    EXPECT_EQ(left->Width(), 140);
    EXPECT_EQ(moved, 1);
    // Never below the minimum size.
    Input::MouseDown(sp, mbLeft, 1, 10);
    Input::MouseMove(sp, -500, 10);
    Input::MouseUp(sp, mbLeft, -500, 10);
    EXPECT_EQ(left->Width(), sp->MinSize());
}

TEST_F(ExtTest, ScrollBoxScrollsItsChildren) {
    auto* box = Place<TScrollBox>(10, 10, 100, 100);
    auto* far = new TEdit(Form);
    far->SetParent(box);
    far->SetBounds(10, 250, 50, 21);
    EXPECT_EQ(box->VertRange(), 271);
    box->ScrollInView(far);
    EXPECT_EQ(far->Top() + far->Height(), box->ClientRect().Bottom);
    box->SetVertPosition(0);
    EXPECT_EQ(far->Top(), 250);
    box->SetVertPosition(10000);
    EXPECT_EQ(box->VertPosition(), 271 - box->ClientRect().Height());
}

}  // namespace
