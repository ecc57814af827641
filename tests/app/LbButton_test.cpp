#include "app/LbButton.h"

#include "platform/controls/Input.h"
#include "support/ToolkitApp.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// A single-line edit as the dialogs have: it wants characters and arrows.
class TEditLike : public TCustomControl {
    KAL_CLASS(TEditLike, TCustomControl)
public:
    explicit TEditLike(TComponent* owner) : TCustomControl(owner) {
        SetTabStop(true);
        SetBounds(0, 150, 80, 20);
    }
    QString Typed;

protected:
    void WMGetDlgCode(TMessage& m) override { m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS; }
    void KeyPress(QChar& key) override { Typed += key; }
};

TColor PixelAt(const QImage& img, int x, int y) {
    const QRgb p = img.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// The bounding box of the pixels of one colour inside a region.
TRect FindColour(const QImage& img, const TRect& within, TColor c) {
    TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
    for (int y = within.Top; y < within.Bottom; ++y)
        for (int x = within.Left; x < within.Right; ++x)
            if (PixelAt(img, x, y) == c) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

// Pixels darker than mid grey: the caption in black.
TRect DarkPixels(const QImage& img, const TRect& within) {
    TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
    for (int y = within.Top; y < within.Bottom; ++y)
        for (int x = within.Left; x < within.Right; ++x)
            if (qGray(img.pixel(x, y)) < 64) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

// Pixels clearly red, for text whose edges blend into the face.
int CountReddish(const QImage& img, const TRect& within) {
    int n = 0;
    for (int y = within.Top; y < within.Bottom; ++y)
        for (int x = within.Left; x < within.Right; ++x) {
            const QRgb p = img.pixel(x, y);
            n += qRed(p) - std::max(qGreen(p), qBlue(p)) > 80 ? 1 : 0;
        }
    return n;
}

int CountColour(const QImage& img, const TRect& within, TColor c) {
    int n = 0;
    for (int y = within.Top; y < within.Bottom; ++y)
        for (int x = within.Left; x < within.Right; ++x) n += PixelAt(img, x, y) == c ? 1 : 0;
    return n;
}

// A strip of `count` solid images of gw x gh, each with a fuchsia
// bottom-left pixel that makes it transparent there.
std::unique_ptr<TBitmap> Strip(int count, int gw, int gh) {
    const TColor colours[] = {clRed, clLime, clBlue, clYellow};
    auto bmp = std::make_unique<TBitmap>(gw * count, gh);
    for (int i = 0; i < count; ++i) {
        bmp->Canvas()->Brush().SetColor(colours[i % 4]);
        bmp->Canvas()->FillRect(Bounds(i * gw, 0, gw, gh));
        bmp->Canvas()->SetPixels(i * gw, gh - 1, clFuchsia);
    }
    return bmp;
}

// The caption's measured size, through the canvas's own text measuring.
TSize Measure(const QString& caption, int width, const TFont& font) {
    TBitmap scratch(1, 1);
    scratch.Canvas()->Font().Assign(font);
    TRect r(0, 0, width, 0);
    scratch.Canvas()->DrawText(caption, r, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    return TSize(r.Width(), r.Height());
}

class LbButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { KalTest::EnsureToolkitApp(); }
    void SetUp() override {
        InstallDialogScript(&Script);
        SetTickCountForTest(500000);
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 300, 200);
        Edit = new TEditLike(Form);
        Edit->SetParent(Form);
        Button = NewObject<TLbButton>(Form);
        Button->SetParent(Form);
        Button->SetLeft(10);
        Button->SetTop(10);
        Form->Show();
        Edit->SetFocus();
    }
    void TearDown() override {
        Input::MouseLeave();
        delete Form;
        InstallDialogScript(nullptr);
        SetCaptureControl(nullptr);
        SetFocusedWindowQuietly(nullptr);
        SetTickCountForTest(-1);
    }
    // The button's pixels as the screen shows them.
    QImage Face() {
        const QImage all = Form->RenderClient();
        return all.copy(Button->Left(), Button->Top(), Button->Width(), Button->Height());
    }
    TLbButton* AddButton(const QString& caption, int left, int top) {
        auto* b = NewObject<TLbButton>(Form);
        b->SetParent(Form);
        b->SetBounds(left, top, 100, 23);
        b->SetCaption(caption);
        return b;
    }

    TDialogScript Script;
    TForm* Form = nullptr;
    TEditLike* Edit = nullptr;
    TLbButton* Button = nullptr;
};

}  // namespace

TEST_F(LbButtonTest, NewButtonDefaults) {
    EXPECT_EQ(Button->Width(), 100);
    EXPECT_EQ(Button->Height(), 23);
    EXPECT_TRUE(Button->TabStop());
    EXPECT_TRUE(Button->ControlStyle & csCaptureMouse);
    EXPECT_EQ(Button->Alignment(), taCenter);
    EXPECT_EQ(Button->Color(), clBtnFace);
    EXPECT_EQ(Button->LightColor(), RGB(255, 255, 255));
    EXPECT_EQ(Button->ShadowColor(), RGB(128, 128, 128));
    EXPECT_EQ(Button->ColorWhenDown(), clNone);
    EXPECT_EQ(Button->HotTrackColor(), clNone);
    EXPECT_EQ(Button->Style(), bsNormal);
    EXPECT_EQ(Button->Layout(), blGlyphLeft);
    EXPECT_EQ(Button->Kind(), bkCustom);
    EXPECT_EQ(Button->ModalResult(), 0);
    EXPECT_EQ(Button->NumGlyphs(), 0);
    EXPECT_FALSE(Button->Flat());
    EXPECT_FALSE(Button->WordWrap());
    EXPECT_FALSE(Button->SlowDecease());
    EXPECT_TRUE(Button->HasFadeTimer()) << "the fade is made idle with the button";
    EXPECT_FALSE(Button->FadeRunning());
}

TEST_F(LbButtonTest, HotTrackFontIsACopyOfTheOwnerFormsFont) {
    Form->Font()->SetName("Verdana");
    Form->Font()->SetSize(11);
    auto* b = NewObject<TLbButton>(Form);
    EXPECT_EQ(b->HotTrackFont()->Name(), "Verdana");
    EXPECT_EQ(b->HotTrackFont()->Size(), 11);
    Form->Font()->SetSize(14);
    EXPECT_EQ(b->HotTrackFont()->Size(), 11) << "a copy, not a reference";
}

TEST_F(LbButtonTest, GlyphStripSetsNumGlyphsAndKind) {
    Button->SetKind(bkOK);
    struct Case { int w, h, num; };
    const Case cases[] = {{48, 24, 2}, {18, 18, 1}, {72, 18, 4}, {0, 0, 0}};
    for (const Case& c : cases) {
        TBitmap g(c.w, c.h);
        Button->SetGlyph(&g);
        EXPECT_EQ(Button->NumGlyphs(), c.num) << c.w << "x" << c.h;
        EXPECT_EQ(Button->Kind(), bkCustom);
    }
    Button->SetGlyph(nullptr);
    EXPECT_EQ(Button->NumGlyphs(), 0);
}

TEST_F(LbButtonTest, StandardKindsSetGlyphCaptionAndModalResult) {
    struct Case { TLbButtonKind kind; QString caption; int result; };
    const Case cases[] = {
        {bkOK, "OK", 1},           {bkCancel, "Abbrechen", 2}, {bkHelp, "Hilfe", 0},
        {bkYes, "Ja", 6},          {bkNo, "Nein", 7},          {bkClose, QString::fromUtf8("Schlie\u00dfen"), 0},
        {bkAbort, "Abbrechen", 3}, {bkRetry, "Wiederholen", 4}, {bkIgnore, "Ignorieren", 5},
        {bkAll, "Alle", 12},
    };
    for (const Case& c : cases) {
        Button->SetKind(c.kind);
        EXPECT_EQ(Button->Kind(), c.kind);
        EXPECT_EQ(Button->Caption(), c.caption);
        EXPECT_EQ(Button->ModalResult(), c.result);
        EXPECT_EQ(Button->NumGlyphs(), 2);
        EXPECT_FALSE(Button->Glyph()->Empty());
        EXPECT_EQ(Button->Glyph()->Width(), 2 * Button->Glyph()->Height()) << "two images side by side";
    }
    Button->SetModalResult(mrOk);
    EXPECT_EQ(Button->Kind(), bkCustom);
}

TEST_F(LbButtonTest, ColourPresetsApplyAndReadBackCustom) {
    struct Case {
        TLbColorStyle preset;
        TColor color, light, shadow, down, hot, font;
        bool flat;
        TLbButtonStyle style;
    };
    const Case cases[] = {
        {lcsGold, RGB(192, 192, 0), RGB(255, 255, 0), RGB(128, 128, 0), clNone, RGB(223, 223, 0), clBlack, false, bsModern},
        {lcsChrome, RGB(192, 192, 192), RGB(255, 255, 255), RGB(128, 128, 128), clNone, clNone, clBlack, false, bsModern},
        {lcsBlue, RGB(0, 128, 255), RGB(0, 255, 255), RGB(0, 0, 255), clNone, clNone, clBlack, false, bsModern},
        {lcsRed, RGB(255, 0, 0), RGB(255, 192, 192), RGB(192, 0, 0), clNone, clNone, clBlack, false, bsModern},
        {lcsUltraFlat1, clBtnFace, RGB(132, 146, 181), RGB(132, 146, 181), RGB(132, 146, 181), RGB(214, 211, 222),
         clBlack, true, bsNormal},
        {lcsUltraFlat2, clBtnFace, RGB(0, 0, 0), RGB(0, 0, 0), RGB(188, 218, 36), RGB(228, 246, 140), clBlack, true,
         bsNormal},
        {lcsUltraFlatXP, RGB(219, 216, 209), RGB(132, 146, 181), RGB(133, 146, 181), RGB(133, 146, 181),
         RGB(182, 189, 210), clBlack, true, bsNormal},
        {lcsAqua, RGB(148, 206, 236), RGB(212, 230, 252), RGB(0, 0, 0), clNone, clNone, clBlack, false, bsModern},
        {lcsDefault, clBtnFace, RGB(255, 255, 255), RGB(128, 128, 128), clNone, clNone, clBlack, false, bsNormal},
        {lcsQuicken, RGB(0, 48, 96), RGB(192, 192, 192), RGB(192, 192, 192), RGB(41, 101, 173), RGB(156, 174, 206),
         clWhite, false, bsQuicken},
    };
    for (const Case& c : cases) {
        Button->SetStyle(bsNormal);
        Button->SetColorStyle(c.preset);
        EXPECT_EQ(Button->ColorStyle(), lcsCustom);
        EXPECT_EQ(Button->Color(), c.color) << c.preset;
        EXPECT_EQ(Button->LightColor(), c.light) << c.preset;
        EXPECT_EQ(Button->ShadowColor(), c.shadow) << c.preset;
        EXPECT_EQ(Button->ColorWhenDown(), c.down) << c.preset;
        EXPECT_EQ(Button->HotTrackColor(), c.hot) << c.preset;
        EXPECT_EQ(Button->Font()->Color(), c.font) << c.preset;
        EXPECT_EQ(Button->Flat(), c.flat) << c.preset;
        EXPECT_EQ(Button->Style(), c.style) << c.preset;
        // The preset sets the style field only; the window keeps its style.
        EXPECT_EQ(Button->Params().ExStyle & WS_EX_TRANSPARENT, 0u) << c.preset;
    }
    Button->SetColor(clRed);
    Button->SetColorStyle(lcsCustom);
    EXPECT_EQ(Button->Color(), clRed) << "the custom preset changes nothing";
}

TEST_F(LbButtonTest, StyleSetterGivesTransparentStylesTheTransparentWindowStyle) {
    struct Case { TLbButtonStyle style; bool transparent; };
    const Case cases[] = {{bsNormal, false}, {bsEncarta, false}, {bsModern, true},
                          {bsOld, false},    {bsShape, true},    {bsQuicken, true}};
    for (const Case& c : cases) {
        Button->SetStyle(c.style);
        EXPECT_EQ((Button->Params().ExStyle & WS_EX_TRANSPARENT) != 0, c.transparent) << c.style;
    }
}

TEST_F(LbButtonTest, FrameOfTheClassicFaces) {
    const TColor face = ColorToRGB(clBtnFace), light = RGB(255, 255, 255), shadow = RGB(128, 128, 128);
    struct Px { int x, y; bool lightSide; };
    // The top-left lines are light, the bottom-right ones shadow.
    const Px frame[] = {{0, 0, true}, {0, 22, true}, {98, 0, true}, {99, 0, false}, {99, 22, false}, {1, 22, false}};
    QImage img = Face();
    for (const Px& p : frame) EXPECT_EQ(PixelAt(img, p.x, p.y), p.lightSide ? light : shadow) << p.x << "," << p.y;
    EXPECT_EQ(PixelAt(img, 2, 2), face);

    Input::MouseDown(Button, mbLeft, 50, 10);
    img = Face();
    for (const Px& p : frame) EXPECT_EQ(PixelAt(img, p.x, p.y), p.lightSide ? shadow : light) << "pressed";
    Input::MouseUp(Button, mbLeft, 50, 10);
    Edit->SetFocus();

    Button->SetFlat(true);
    EXPECT_EQ(PixelAt(Face(), 0, 0), face) << "flat: no frame while not hot";
    Input::MouseMove(Button, 50, 10);
    EXPECT_EQ(PixelAt(Face(), 0, 0), light) << "flat: frame while hot";
    Input::MouseLeave();
    Button->SetEnabled(false);
    EXPECT_EQ(PixelAt(Face(), 0, 0), face) << "disabled flat: none";
    Button->SetFlat(false);
    EXPECT_EQ(PixelAt(Face(), 0, 0), light) << "disabled: frame";
}

TEST_F(LbButtonTest, HotTrackColourFadesInEightStepsOf30ms) {
    const TColor c = RGB(10, 100, 200), h = RGB(255, 255, 0);
    Button->SetColor(c);
    Button->SetHotTrackColor(h);
    auto expected = [&](int s) {
        // Rounded to nearest, halves to even.
        auto ch = [s](int a, int b) { return int(std::nearbyint((a * (8 - s) + b * s) / 8.0)); };
        return RGB(ch(GetRValue(c), GetRValue(h)), ch(GetGValue(c), GetGValue(h)), ch(GetBValue(c), GetBValue(h)));
    };
    EXPECT_EQ(PixelAt(Face(), 2, 2), c);
    // At once without slow fading.
    Input::MouseMove(Button, 50, 10);
    EXPECT_EQ(Button->HotTrackStep(), 8);
    EXPECT_EQ(PixelAt(Face(), 2, 2), h);
    Input::MouseMove(Edit, 5, 5);
    EXPECT_EQ(PixelAt(Face(), 2, 2), c);

    Button->SetSlowDecease(true);
    Input::MouseMove(Button, 50, 10);
    Input::MouseMove(Edit, 5, 5);
    EXPECT_TRUE(Button->FadeRunning());
    EXPECT_EQ(PixelAt(Face(), 2, 2), h) << "the fade starts from the full hot-track colour";
    for (int k = 1; k <= 8; ++k) {
        AdvanceTime(30);
        EXPECT_EQ(Button->HotTrackStep(), 8 - k);
        EXPECT_EQ(PixelAt(Face(), 2, 2), expected(8 - k)) << "after " << k << " steps";
    }
    EXPECT_FALSE(Button->FadeRunning()) << "idle again at the normal face";
    EXPECT_EQ(expected(4), RGB(132, 178, 100)) << "(10*4 + 255*4) / 8 = 132.5 rounds to even";
    EXPECT_EQ(TLbButton::BlendHotTrack(c, h, 4), expected(4));
}

TEST_F(LbButtonTest, MouseBackOverAFadingButtonStopsTheFade) {
    Button->SetHotTrackColor(clYellow);
    Button->SetSlowDecease(true);
    Input::MouseMove(Button, 50, 10);
    Input::MouseMove(Edit, 5, 5);
    AdvanceTime(90);
    Input::MouseMove(Button, 50, 10);
    EXPECT_FALSE(Button->FadeRunning());
    AdvanceTime(300);
    EXPECT_EQ(Button->HotTrackStep(), 8);
    EXPECT_EQ(PixelAt(Face(), 2, 2), ColorToRGB(clYellow));
}

TEST_F(LbButtonTest, SlowDeceaseOffLeavesNoFadeAndFreeingMidFadeIsSafe) {
    Button->SetHotTrackColor(clYellow);
    Button->SetSlowDecease(false);
    EXPECT_FALSE(Button->HasFadeTimer());
    EXPECT_EQ(Button->HotTrackStep(), 0);
    Button->SetSlowDecease(true);
    EXPECT_TRUE(Button->HasFadeTimer());
    Input::MouseMove(Button, 50, 10);
    Input::MouseMove(Edit, 5, 5);
    ASSERT_TRUE(Button->FadeRunning());
    delete Button;
    Button = nullptr;
    AdvanceTime(300);  // the fade went with the button
    SUCCEED();
}

TEST_F(LbButtonTest, GlyphAndCaptionPlacement) {
    const int gw = 10, gh = 10;
    auto strip = Strip(1, gw, gh);
    Button->SetGlyph(strip.get());
    struct Case { TLbButtonLayout layout; TAlignment align; bool wrap; QString caption; int height; };
    const Case cases[] = {
        {blGlyphLeft, taCenter, false, "", 23},      {blGlyphLeft, taCenter, false, "OK", 23},
        {blGlyphLeft, taLeftJustify, false, "OK", 23}, {blGlyphLeft, taRightJustify, false, "OK", 23},
        {blGlyphLeft, taRightJustify, true, "OK", 23}, {blGlyphRight, taCenter, false, "OK", 23},
        {blGlyphRight, taLeftJustify, false, "OK", 23}, {blGlyphRight, taRightJustify, false, "OK", 23},
        {blGlyphTop, taCenter, false, "OK", 60},     {blGlyphTop, taRightJustify, false, "OK", 60},
        {blGlyphBottom, taLeftJustify, false, "OK", 60},
    };
    for (const Case& c : cases) {
        Button->SetHeight(c.height);
        Button->SetLayout(c.layout);
        Button->SetAlignment(c.align);
        Button->SetWordWrap(c.wrap);
        Button->SetCaption(c.caption);
        const int W = 100, H = c.height;
        const int v = (c.layout == blGlyphTop || c.layout == blGlyphBottom) ? W - 8 : W - gw - 12;
        const TSize t = c.caption.isEmpty() ? TSize(0, 0) : Measure(c.caption, v, *Button->Font());
        const int gap = c.caption.isEmpty() ? 0 : t.cx + 4;
        const bool flush = c.align == taLeftJustify || c.wrap;
        int x = 0, y = 0;
        switch (c.layout) {
        case blGlyphLeft:
            x = flush ? 4 : c.align == taRightJustify ? W - gw - gap - 4 : (W - gw) / 2 - gap / 2;
            y = (H - gh) / 2;
            break;
        case blGlyphRight:
            x = flush ? 4 + gap : c.align == taRightJustify ? W - gw - 4 : (W - gw) / 2 + gap / 2;
            y = (H - gh) / 2;
            break;
        case blGlyphTop: case blGlyphBottom: {
            x = c.align == taLeftJustify ? 4 : c.align == taRightJustify ? W - gw - 4 : (W - gw) / 2;
            const int total = t.cy + gh + 4;
            y = c.layout == blGlyphTop ? (H - total) / 2 : (H - total) / 2 + t.cy;
            break;
        }
        }
        const TRect box = FindColour(Face(), Rect(0, 0, W, H), clRed);
        EXPECT_EQ(box.TopLeft(), Point(x, y)) << "layout " << c.layout << " align " << c.align << " wrap " << c.wrap
                                              << " '" << c.caption.toStdString() << "'";
        EXPECT_EQ(box.Width(), gw);
    }
}

TEST_F(LbButtonTest, PressedNormalMovesOnePixelPressedEncartaTurnsBoldInPlace) {
    auto strip = Strip(1, 10, 10);
    Button->SetGlyph(strip.get());
    Button->SetCaption("Press");
    const TRect glyphUp = FindColour(Face(), Rect(0, 0, 100, 23), clRed);
    Input::MouseDown(Button, mbLeft, 50, 10);
    Edit->SetFocus();  // no focus rectangle in the way
    const TRect glyphDown = FindColour(Face(), Rect(0, 0, 100, 23), clRed);
    Input::MouseUp(Button, mbLeft, 50, 10);
    EXPECT_EQ(glyphDown.Left, glyphUp.Left + 1);
    EXPECT_EQ(glyphDown.Top, glyphUp.Top + 1);

    // Encarta: the caption turns bold and keeps its place (no press offset).
    Button->SetGlyph(nullptr);
    Button->SetStyle(bsEncarta);
    Edit->SetFocus();
    const TRect textArea(2, 2, 98, 21);
    const QImage up = Face();
    Input::MouseDown(Button, mbLeft, 50, 10);
    Edit->SetFocus();
    const QImage down = Face();
    Input::MouseUp(Button, mbLeft, 200, 100);
    EXPECT_EQ(DarkPixels(down, textArea).Top, DarkPixels(up, textArea).Top) << "Encarta does not move";
    EXPECT_GT(CountColour(down, textArea, RGB(0, 0, 0)), CountColour(up, textArea, RGB(0, 0, 0))) << "bold";
    // The same press on a normal button moves the caption down one pixel.
    Button->SetStyle(bsNormal);
    const QImage normalUp = Face();
    Input::MouseDown(Button, mbLeft, 50, 10);
    Edit->SetFocus();
    const QImage normalDown = Face();
    Input::MouseUp(Button, mbLeft, 200, 100);
    EXPECT_EQ(DarkPixels(normalDown, textArea).Top, DarkPixels(normalUp, textArea).Top + 1);
    EXPECT_EQ(DarkPixels(normalDown, textArea).Left, DarkPixels(normalUp, textArea).Left + 1);
}

TEST_F(LbButtonTest, StripImagesForDisabledHotAndPressed) {
    auto strip = Strip(4, 10, 10);  // red, lime, blue, yellow
    Button->SetGlyph(strip.get());
    const TRect r(0, 0, 100, 23);
    auto shown = [&] {
        const QImage img = Face();
        for (TColor c : {clRed, clLime, clBlue, clYellow})
            if (CountColour(img, r, c) > 50) return c;
        return clNone;
    };
    EXPECT_EQ(shown(), clRed);
    Input::MouseMove(Button, 50, 10);
    EXPECT_EQ(shown(), clYellow) << "hot";
    Input::MouseDown(Button, mbLeft, 50, 10);
    EXPECT_EQ(shown(), clBlue) << "pressed wins over hot";
    Input::MouseUp(Button, mbLeft, 50, 10);
    Input::MouseLeave();
    Edit->SetFocus();
    Button->SetEnabled(false);
    EXPECT_EQ(shown(), clLime) << "disabled";
    // A strip of one image keeps image 0 when disabled.
    auto one = Strip(1, 10, 10);
    Button->SetGlyph(one.get());
    EXPECT_EQ(shown(), clRed);
}

TEST_F(LbButtonTest, CaptionIsCutWithoutWordWrapAndWrappedWithIt) {
    Button->SetHeight(60);
    Button->SetCaption("A caption much too long for the button");
    const int lineHeight = Measure("A", 200, *Button->Font()).cy;
    const TRect inside(1, 1, 99, 59);
    const TRect cut = DarkPixels(Face(), inside);
    EXPECT_GE(cut.Left, 4);
    EXPECT_LE(cut.Right, 96);
    EXPECT_LE(cut.Height(), lineHeight) << "one line";
    Button->SetWordWrap(true);
    const TRect wrapped = DarkPixels(Face(), inside);
    EXPECT_GT(wrapped.Height(), lineHeight) << "broken into lines";
    EXPECT_LE(wrapped.Right, 96);
}

TEST_F(LbButtonTest, DisabledCaptionIsGrey) {
    Button->SetCaption("Grey");
    const TRect inside(1, 1, 99, 22);
    auto darkest = [&](const QImage& img) {
        int g = 255;
        for (int y = inside.Top; y < inside.Bottom; ++y)
            for (int x = inside.Left; x < inside.Right; ++x) g = std::min(g, qGray(img.pixel(x, y)));
        return g;
    };
    EXPECT_LT(darkest(Face()), 64) << "enabled: black";
    Button->SetEnabled(false);
    const int g = darkest(Face());
    EXPECT_GE(g, 120) << "disabled: nothing darker than the grey text";
    EXPECT_LE(g, 200) << "but the caption is drawn";
}

TEST_F(LbButtonTest, ClicksFromMouseAndKeys) {
    int clicks = 0;
    Button->OnClick = [&](TObject*) { ++clicks; };
    // Press on the button, release outside: still a click.
    Input::MouseDown(Button, mbLeft, 50, 10);
    EXPECT_TRUE(Button->Focused()) << "a press takes the focus";
    Input::MouseUp(Form, mbLeft, 250, 150);
    EXPECT_EQ(clicks, 1);
    // The right button does not click.
    Input::Click(Button, 50, 10, mbRight);
    EXPECT_EQ(clicks, 1);
    // Space held shows the pressed face; its release clicks.
    Input::KeyDown(VK_SPACE);
    EXPECT_TRUE(Button->Down());
    EXPECT_EQ(PixelAt(Face(), 0, 0), RGB(128, 128, 128)) << "pressed frame";
    EXPECT_EQ(clicks, 1);
    Input::KeyUp(VK_SPACE);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(Button->Down());
    // Enter on the focused button clicks it too.
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(clicks, 3);
}

TEST_F(LbButtonTest, DisabledButtonIgnoresPressesKeysAndAccelerators) {
    int clicks = 0;
    Button->SetCaption("&Go");
    Button->OnClick = [&](TObject*) { ++clicks; };
    Button->SetFocus();
    Button->SetEnabled(false);
    Input::Click(Button, 50, 10);
    Button->Perform(WM_KEYDOWN, VK_SPACE, 0);
    Button->Perform(WM_KEYUP, VK_SPACE, 0);
    Input::KeyStroke('G', ssAlt);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(Button->Down());
}

TEST_F(LbButtonTest, AcceleratorFiresOnAltAndOnThePlainLetterWhenNotTyped) {
    int clicks = 0;
    Button->SetCaption("&OK");
    Button->OnClick = [&](TObject*) { ++clicks; };
    Input::KeyStroke('O', ssAlt);
    EXPECT_EQ(clicks, 1);
    // The edit wants characters: "o" is typed, not the accelerator.
    Input::KeyStroke('O');
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Edit->Typed, "o");
    // From another button, the plain letter is the accelerator.
    auto* other = AddButton("Other", 10, 40);
    other->SetFocus();
    Input::KeyStroke('O');
    EXPECT_EQ(clicks, 2);
    // Hidden: no accelerator.
    Button->SetVisible(false);
    Input::KeyStroke('O', ssAlt);
    EXPECT_EQ(clicks, 2);
}

TEST_F(LbButtonTest, DefaultAndCancelRolesWithTheFocusedControl) {
    int okClicks = 0, cancelClicks = 0, otherClicks = 0;
    Button->SetCaption("OK");
    Button->SetDefault(true);
    Button->OnClick = [&](TObject*) { ++okClicks; };
    auto* cancel = AddButton("Cancel", 120, 10);
    cancel->SetCancel(true);
    cancel->OnClick = [&](TObject*) { ++cancelClicks; };
    auto* other = AddButton("Other", 10, 40);
    other->OnClick = [&](TObject*) { ++otherClicks; };

    // With the edit focused, Enter is the default button's, Escape the cancel one's.
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(okClicks, 1);
    Input::KeyStroke(VK_ESCAPE);
    EXPECT_EQ(cancelClicks, 1);
    // Escape with Shift held is not the cancel key.
    Input::KeyStroke(VK_ESCAPE, ssShift);
    EXPECT_EQ(cancelClicks, 1);
    // Another push button focused: Enter clicks that button.
    other->SetFocus();
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(otherClicks, 1);
    EXPECT_EQ(okClicks, 1);
    // A disabled default button leaves Enter alone.
    Edit->SetFocus();
    Button->SetEnabled(false);
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(okClicks, 1);
    EXPECT_TRUE(Edit->Typed.endsWith(QChar(13)));
}

TEST_F(LbButtonTest, ModalResultClosesTheModalForm) {
    auto* dialog = NewObject<TForm>(nullptr);
    auto* ok = NewObject<TLbButton>(dialog);
    ok->SetParent(dialog);
    ok->SetKind(bkOK);
    ok->SetDefault(true);
    auto* cancel = NewObject<TLbButton>(dialog);
    cancel->SetParent(dialog);
    cancel->SetTop(30);
    cancel->SetCaption("Cancel");
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    QStringList order;
    cancel->OnClick = [&](TObject* s) {
        order << QString("OnClick, result %1").arg(GetParentForm(static_cast<TControl*>(s))->ModalResult());
    };

    Script.AnswerModal([&](TCustomForm*) { Input::Click(ok, 5, 5); });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    Script.AnswerModal([&](TCustomForm*) { Input::Click(cancel, 5, 5); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(order, QStringList({"OnClick, result 0"})) << "the result is set after OnClick";
    // Escape reaches the cancel button though a push button has the focus.
    Script.AnswerModal([&](TCustomForm* f) {
        ok->SetFocus();
        EXPECT_EQ(f->ActiveControl(), ok);
        Input::KeyStroke(VK_ESCAPE);
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(order.size(), 2);
    // Enter with the OK button focused: the focused button clicks itself.
    Script.AnswerModal([&](TCustomForm*) {
        ok->SetFocus();
        Input::KeyStroke(VK_RETURN);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    delete dialog;
}

TEST_F(LbButtonTest, AFailingOnClickShowsOneErrorBoxAndTheNextClickWorks) {
    int clicks = 0;
    Button->OnClick = [&](TObject*) {
        if (++clicks == 1) throw Exception("Error! Project not Valid");
    };
    Input::Click(Button, 5, 5);
    ASSERT_EQ(Script.Count(TDialogKind::MessageBox), 1);
    EXPECT_EQ(Script.Last().Text, "Error! Project not Valid.");
    EXPECT_FALSE(Button->Down());
    Input::Click(Button, 5, 5);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(Script.Count(TDialogKind::MessageBox), 1);
}

TEST_F(LbButtonTest, PopupMenuOpensBelowTheButtonAndShowsAnArrow) {
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(&menu);
    item->Caption = "Export";
    int chosen = 0;
    item->OnClick = [&](TObject*) { ++chosen; };
    menu.Items()->Add(item);
    const QImage before = Face();
    Button->SetPopupMenu(&menu);
    const QImage withArrow = Face();
    const TRect arrowArea(100 - 11, 23 / 2 - 1, 100 - 2, 23 / 2 + 5);
    EXPECT_EQ(CountColour(before, arrowArea, RGB(0, 0, 0)), 0);
    EXPECT_GT(CountColour(withArrow, arrowArea, RGB(0, 0, 0)), 5);
    TPoint at;
    TPopupMenu::SetChooser([&](TPopupMenu* m, TPoint p) {
        at = p;
        return m->Items()->Items(0);
    });
    Input::Click(Button, 5, 5);
    TPopupMenu::SetChooser(nullptr);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(at, Button->ClientToScreen(Point(0, 23)));
    // The menu is not the button's context menu.
    EXPECT_EQ(static_cast<TControl*>(Button)->TControl::PopupMenu(), nullptr);
}

TEST_F(LbButtonTest, LinkedActionGivesImageCaptionAndRuns) {
    TActionList list(nullptr);
    TImageList images(16, 16);
    TBitmap blue(16, 16);
    blue.Canvas()->Brush().SetColor(clBlue);
    blue.Canvas()->FillRect(Rect(0, 0, 16, 16));
    blue.Canvas()->SetPixels(0, 15, clFuchsia);  // the glyph's transparent corner
    images.Add(&blue, nullptr);
    list.Images = &images;
    TAction action(nullptr);
    action.ActionList = &list;
    action.SetCaption("&Save");
    action.SetImageIndex(0);
    int executed = 0;
    action.OnExecute = [&](TObject*) { ++executed; };

    Button->SetAction(&action);
    EXPECT_EQ(Button->Caption(), "&Save");
    EXPECT_EQ(Button->NumGlyphs(), 1);
    EXPECT_EQ(Button->Glyph()->Width(), 16);
    EXPECT_GT(CountColour(Face(), Rect(0, 0, 100, 23), clBlue), 100);
    Input::Click(Button, 5, 5);
    EXPECT_EQ(executed, 1);
    action.SetEnabled(false);
    EXPECT_FALSE(Button->Enabled());
    Input::Click(Button, 5, 5);
    EXPECT_EQ(executed, 1);
    Button->SetAction(nullptr);
    // An image index outside the list, or a glyph already there, leaves the glyph.
    auto* b2 = AddButton("", 10, 60);
    action.SetImageIndex(5);
    b2->SetAction(&action);
    EXPECT_EQ(b2->NumGlyphs(), 0);
    b2->SetAction(nullptr);
}

TEST_F(LbButtonTest, OneButtonOfEachStyleRenderedForReview) {
    Form->SetBounds(0, 0, 460, 200);
    Form->SetColor(RGB(200, 215, 230));
    Button->SetVisible(false);
    struct Case { TLbButtonStyle style; TLbColorStyle preset; TLbButtonKind kind; QString caption; };
    const Case cases[] = {
        {bsNormal, lcsCustom, bkOK, "OK"},          {bsEncarta, lcsCustom, bkCancel, "Cancel"},
        {bsModern, lcsGold, bkHelp, "&Help"},       {bsOld, lcsCustom, bkRetry, "Retry"},
        {bsShape, lcsCustom, bkYes, "Yes"},         {bsQuicken, lcsQuicken, bkAll, "All"},
    };
    int i = 0;
    for (const Case& c : cases) {
        TLbButton* b = AddButton("", 10 + (i % 3) * 150, 20 + (i / 3) * 60);
        b->SetColorStyle(c.preset);
        b->SetStyle(c.style);
        b->SetKind(c.kind);
        b->SetCaption(c.caption);
        b->SetWidth(120);
        b->SetHeight(28);
        ++i;
    }
    const QString path = QString(KAL_BUILD_DIR) + "/lbbutton_styles.png";
    QFile::remove(path);
    RenderFormToPng(Form, path);
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(LbButtonTest, HotTrackFontWhileHotOrFocused) {
    Button->SetCaption("Hot");
    TFont hot;
    hot.SetColor(clRed);
    Button->SetHotTrackFont(hot);
    Button->SetUseHotTrackFont(true);
    const TRect inside(1, 1, 99, 22);
    EXPECT_EQ(CountReddish(Face(), inside), 0);
    Input::MouseMove(Button, 50, 10);
    EXPECT_GT(CountReddish(Face(), inside), 5) << "mouse over";
    Input::MouseLeave();
    EXPECT_EQ(CountReddish(Face(), inside), 0);
    Button->SetFocus();
    EXPECT_GT(CountReddish(Face(), inside), 5) << "focused";
    Button->SetUseHotTrackFont(false);
    EXPECT_EQ(CountReddish(Face(), inside), 0);
}

TEST_F(LbButtonTest, FocusedOldStyleSitsInABlackFrameAndRoundedStylesShowTheParent) {
    Form->SetColor(RGB(10, 20, 30));
    Button->SetStyle(bsOld);
    EXPECT_EQ(PixelAt(Face(), 0, 0), RGB(255, 255, 255)) << "unfocused: the light outer line";
    Button->SetFocus();
    QImage img = Face();
    EXPECT_EQ(PixelAt(img, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(img, 99, 22), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(img, 1, 1), RGB(255, 255, 255)) << "the face moved one pixel in";
    Edit->SetFocus();
    // Rounded corners let the form show through.
    for (TLbButtonStyle s : {bsModern, bsQuicken}) {
        Button->SetStyle(s);
        EXPECT_EQ(PixelAt(Face(), 0, 0), RGB(10, 20, 30)) << s;
    }
    // A shape button shows only its glyph and caption.
    Button->SetStyle(bsShape);
    EXPECT_EQ(PixelAt(Face(), 2, 2), RGB(10, 20, 30));
}

// Enter and exit events, and the hot state they bring, only for a button
// that is enabled, visible and on a showing parent.
TEST_F(LbButtonTest, MouseEnterAndExitOnlyWhenUsable) {
    QStringList events;
    Button->OnMouseEnter = [&](TObject*) { events << "enter"; };
    Button->OnMouseExit = [&](TObject*) { events << "exit"; };
    Button->SetHotTrackColor(clYellow);

    Button->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(Button->CursorOnButton());
    EXPECT_EQ(Button->HotTrackStep(), 8);
    Button->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(Button->CursorOnButton());
    EXPECT_EQ(Button->HotTrackStep(), 0);
    EXPECT_EQ(events, (QStringList{"enter", "exit"}));

    struct Case { const char* what; bool enabled, visible, parentShowing; };
    const Case cases[] = {
        {"disabled", false, true, true},
        {"hidden", true, false, true},
        {"parent hidden", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        events.clear();
        Button->SetEnabled(c.enabled);
        Button->SetVisible(c.visible);
        Form->SetVisible(c.parentShowing);
        Button->Perform(CM_MOUSEENTER, 0, 0);
        EXPECT_FALSE(Button->CursorOnButton());
        EXPECT_EQ(Button->HotTrackStep(), 0);
        Button->Perform(CM_MOUSELEAVE, 0, 0);
        EXPECT_TRUE(events.isEmpty()) << events.join(',').toStdString();
        Button->SetEnabled(true);
        Button->SetVisible(true);
        Form->SetVisible(true);
    }
}
