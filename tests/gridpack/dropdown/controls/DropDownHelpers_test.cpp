// The free helpers of the drop-down unit, the style tables and the header
// and footer appearance records.
#include "gridpack/dropdown/ExDropDownUtils.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "gridpack/stringgrid/ExGridAppearance.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

TColor PixelAt(TBitmap& bmp, int x, int y) {
    const QRgb p = bmp.ToImage().pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// The format settings' separators for one test, restored after it.
struct Separators {
    TFormatSettings saved = FormatSettings;
    Separators(QChar ds, QChar ts) {
        FormatSettings.DecimalSeparator = ds;
        FormatSettings.ThousandSeparator = ts;
    }
    ~Separators() { FormatSettings = saved; }
};

}  // namespace

// -- colours ------------------------------------------------------------------

TEST(DropDownColours, BlendMixesByPercentAndKeepsTheEndsUnchanged) {
    EXPECT_EQ(BlendColor(0xFF0000, 0xFFFFFF, 20), TColor(0xFFCCCC));
    // The ends answer a colour as given: a system colour is not resolved.
    EXPECT_EQ(BlendColor(clBtnFace, 0xFFFFFF, 100), clBtnFace);
    EXPECT_EQ(BlendColor(0x123456, clNone, 0), clNone);
    EXPECT_EQ(BlendColor(0x123456, 0x000000, 150), TColor(0x123456));
    // In between, a system colour counts with its RGB value (btnface 240).
    EXPECT_EQ(BlendColor(clBtnFace, 0x000000, 50), TColor(0x787878));
}

TEST(DropDownColours, ShadeDarkensByPercentAndRaisesOnlyZeroChannels) {
    EXPECT_EQ(ShadeColor(0xF5F0E1, -10, -10, 0), TColor(0xF5D8CA));
    EXPECT_EQ(ShadeColor(0xF9D2B2, -10, -10, 0), TColor(0xF9BDA0));
    // A positive delta leaves a lit channel alone and lifts a dark one.
    EXPECT_EQ(ShadeColor(0x000080, 20, 30, 0), TColor(0x001E80));
    // Half-way cases round to even: 5 * 0.9 = 4.5 -> 4, 15 * 0.9 = 13.5 -> 14.
    EXPECT_EQ(ShadeColor(RGB(5, 15, 0), -10, -10, 0), RGB(4, 14, 0));
}

TEST(DropDownColours, GradientBandsRunFromTheFirstColourAndZeroStepsFillOneBand) {
    TBitmap bmp(100, 10);
    TCanvas* c = bmp.Canvas();
    c->Brush().SetColor(clWhite);
    c->FillRect(Rect(0, 0, 100, 10));
    FillGradientBands(c, 0x0000FF, 0xFF0000, 0, Rect(0, 0, 100, 10), true);
    // One band over everything but the last column (the right edge moves in).
    EXPECT_EQ(PixelAt(bmp, 0, 5), TColor(0x0000FF));
    EXPECT_EQ(PixelAt(bmp, 98, 5), TColor(0x0000FF));

    FillGradientBands(c, 0x000000, 0x0000FF, 4, Rect(0, 0, 100, 10), true);
    // Four bands of 24.75 pixels; band i is i * 255 / 4 red.
    EXPECT_EQ(PixelAt(bmp, 10, 5), TColor(0x000000));
    EXPECT_EQ(PixelAt(bmp, 40, 5), RGB(64, 0, 0));
    EXPECT_EQ(PixelAt(bmp, 60, 5), RGB(128, 0, 0));
    EXPECT_EQ(PixelAt(bmp, 90, 5), RGB(191, 0, 0));

    // Vertical bands; more bands than a 16-bit counter could count end too.
    FillGradientBands(c, 0x00FF00, 0x00FF00, 40000, Rect(0, 0, 100, 10), false);
    EXPECT_EQ(PixelAt(bmp, 50, 0), TColor(0x00FF00));
    EXPECT_EQ(PixelAt(bmp, 50, 8), TColor(0x00FF00));
}

// -- number text --------------------------------------------------------------

TEST(DropDownNumberText, KindOfATextFollowsTheIntegerFloatAndHexTests) {
    Separators sep('.', ',');
    struct Case { const char* text; int kind; };
    const Case cases[] = {
        {"12", 0}, {"1,234.5", 1}, {"1F", 5}, {"--1", 2}, {"", 2}, {"1-2", 0},
        {"1.2.3", 2},      // two decimal separators
        {",123", 2},       // a thousand separator first fails the float test
        {"1,2,345", 2},    // two separators fewer than three apart
        {"1,23", 1},       // only the distance between separators counts
        {"abc", 5}, {"12x", 2}, {"-7", 0}, {"3.14", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(NumberTextKind(QString::fromUtf8(c.text)), c.kind) << c.text;
}

TEST(DropDownNumberText, HexToIntCountsEveryCharacterAndWraps) {
    EXPECT_EQ(HexToInt("FF"), 255);
    EXPECT_EQ(HexToInt("1G"), 16);
    EXPECT_EQ(HexToInt("ff"), 255);
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("FFFFFFFF"), -1);
    // Nine digits: the top one falls off modulo 2^32, nothing overflows.
    EXPECT_EQ(HexToInt("100000001"), 1);
    EXPECT_EQ(HexToInt(QString(40, QLatin1Char('F'))), -1);
}

TEST(DropDownNumberText, DecimalsFullAndThousandSeparatorPlacement) {
    Separators sep('.', ',');
    // "3.14", precision 2, no prefix.
    EXPECT_TRUE(DecimalsFull("3.14", 4, 0, 2));   // caret at the end
    EXPECT_TRUE(DecimalsFull("3.14", 3, 0, 2));   // before the 4
    EXPECT_FALSE(DecimalsFull("3.14", 1, 0, 2));  // before the separator
    EXPECT_FALSE(DecimalsFull("3.1", 3, 0, 2));   // room for one more
    EXPECT_FALSE(DecimalsFull("314", 3, 0, 2));   // no separator
    EXPECT_FALSE(DecimalsFull("3.14", 4, 0, 0));  // no precision
    EXPECT_TRUE(DecimalsFull("3.14", 6, 2, 2));   // a prefix of two
    // "1,234": a separator only exactly three characters from the last one.
    EXPECT_FALSE(ThousandSeparatorRejected("1,234", 5, 0));
    EXPECT_TRUE(ThousandSeparatorRejected("1,234", 4, 0));
    EXPECT_TRUE(ThousandSeparatorRejected("1,234", 2, 0));
    EXPECT_FALSE(ThousandSeparatorRejected("1234", 2, 0));
    EXPECT_FALSE(ThousandSeparatorRejected("1,234,567", 9, 0));
    EXPECT_TRUE(ThousandSeparatorRejected("1,234,567", 7, 0));
    EXPECT_TRUE(IsRangeSeparator(';'));
    EXPECT_FALSE(IsRangeSeparator('.'));
}

// -- text drawing -------------------------------------------------------------

TEST(DropDownText, FitTextToWidthShortensWithAnEllipsisOrKeepsTheWholeText) {
    TBitmap bmp(10, 10);
    TCanvas* c = bmp.Canvas();
    const QString text = QStringLiteral("Drop-down caption");
    const int full = GetTextExtent(c, text).cx;
    ASSERT_GT(full, 0);
    EXPECT_EQ(FitTextToWidth(c, text, full, true), text);
    const QString cut = FitTextToWidth(c, text, full - 1, true);
    EXPECT_TRUE(cut.endsWith(QLatin1String("...")));
    EXPECT_LT(GetTextExtent(c, cut).cx, full - 1);
    // Narrower than the ellipsis alone: nothing fits, the whole text stays.
    EXPECT_EQ(FitTextToWidth(c, text, 1, true), text);
    EXPECT_EQ(GetTextExtent(c, QString()).cx, 0);
}

// A caption drawn by the drop-downs' helper must come out as the mark-up
// renderer draws and measures it, whether or not the text has mark-up, fits
// its rectangle or wraps.
TEST(DropDownText, MarkupCaptionDrawsAndMeasuresAsTheRenderer) {
    struct Case {
        const char* text;
        int width;
    };
    const Case cases[] = {
        {"Red", 200},           {"Colour 1234", 200},   {"  two  blanks inside", 300},
        {"trailing ", 200},     {"<b>Red</b> box", 200}, {"a &amp; b", 200},
        {"wraps at the blank", 40}, {"Colour 1234", 30}, {"Exactly", 0},
    };
    for (const Case& k : cases) {
        const QString text = QString::fromUtf8(k.text);
        SCOPED_TRACE(k.text);
        // "Exactly": a rectangle one pixel wider than the text is the edge
        // where the renderer still keeps one line.
        TBitmap probe(4, 4);
        const int w = k.width > 0 ? k.width : probe.Canvas()->TextWidth(text) + 1;
        const TRect r = Rect(3, 2, 3 + w, 40);
        TBitmap a(320, 60), b(320, 60);
        for (TBitmap* bmp : {&a, &b}) {
            bmp->Canvas()->Brush().SetColor(0xE0E0E0);
            bmp->Canvas()->FillRect(Rect(0, 0, 320, 60));
            bmp->Canvas()->Font().SetColor(0x203040);
        }
        TSize drawn, measured;
        DrawMarkupText(a.Canvas(), text, r, drawn, nullptr, true);
        DrawMarkupText(a.Canvas(), text, r, measured, nullptr, false);
        THTMLRenderParams p;
        p.Canvas = b.Canvas();
        p.Text = text;
        p.Rect = r;
        RenderHTML(p);
        EXPECT_EQ(drawn, TSize(p.Width, p.Height));
        THTMLRenderParams m = p;
        m.MeasureOnly = true;
        RenderHTML(m);
        EXPECT_EQ(measured, TSize(m.Width, m.Height));
        EXPECT_TRUE(a.ToImage() == b.ToImage());
        // The canvas comes back with its brush.
        EXPECT_EQ(a.Canvas()->Brush().Style(), bsSolid);
        EXPECT_EQ(a.Canvas()->Brush().Color(), TColor(0xE0E0E0));
    }
}

TEST(DropDownText, GradientBoxFillsAndFramesButANoneBorderDrawsNothing) {
    TBitmap bmp(20, 20);
    TCanvas* c = bmp.Canvas();
    c->Brush().SetColor(clWhite);
    c->FillRect(Rect(0, 0, 20, 20));
    DrawGradientBox(c, Rect(0, 0, 20, 20), 0x00FF00, clNone, gdVertical, 1, clNone);
    EXPECT_EQ(PixelAt(bmp, 0, 0), TColor(0x00FF00));
    DrawGradientBox(c, Rect(0, 0, 20, 20), 0x00FF00, clNone, gdVertical, 1, 0x0000FF);
    EXPECT_EQ(PixelAt(bmp, 0, 0), TColor(0x0000FF));
    EXPECT_EQ(PixelAt(bmp, 10, 10), TColor(0x00FF00));
    DrawGradientBox(nullptr, Rect(0, 0, 20, 20), 0, 0, gdVertical, 1, 0);  // no canvas: nothing
}

// -- style tables -------------------------------------------------------------

TEST(DropDownStyles, EveryNamedStyleHasARowAndCustomHasNone) {
    for (int s = tsOffice2003Blue; s <= tsOffice2010Black; ++s) {
        const auto style = TQORStyle(s);
        if (style == tsCustom) {
            EXPECT_EQ(FindDropDownStylePreset(style), nullptr);
            EXPECT_EQ(FindButtonStylePreset(style), nullptr);
            EXPECT_EQ(FindItemAppearancePreset(style), nullptr);
            continue;
        }
        ASSERT_NE(FindDropDownStylePreset(style), nullptr) << s;
        ASSERT_NE(FindButtonStylePreset(style), nullptr) << s;
        ASSERT_NE(FindItemAppearancePreset(style), nullptr) << s;
    }
    const TButtonStylePreset* silver = FindButtonStylePreset(tsOffice2003Silver);
    EXPECT_EQ(silver->ColorHot, TColor(0xEBFDFF));  // hot look shared with Blue
    EXPECT_EQ(silver->BorderColorChecked, TColor(0x45667B));
    const TDropDownStylePreset* vista = FindDropDownStylePreset(tsWindowsVista);
    EXPECT_EQ(vista->HeaderColor, TColor(0xFFFDF9));
    EXPECT_EQ(vista->FooterColor, TColor(0xFFFAF0));
    EXPECT_FALSE(FindDropDownStylePreset(tsOffice2003Blue)->SetPopupBorder);
    EXPECT_EQ(FindDropDownStylePreset(tsOffice2003Blue)->FooterBorder, TColor(0x962D00));
}

namespace {
struct ItemLook {
    TColor ColorHot = 1, ColorHotTo = 1, ColorMirrorHot = 1, ColorMirrorHotTo = 1;
    TColor ColorSelected = 1, ColorSelectedTo = 1, ColorMirrorSelected = 1, ColorMirrorSelectedTo = 1;
    TColor BorderColor = 1, BorderColorTop = 1, BorderColorBottom = 1, EdgeColor = 1;
    TColor BorderColorHot = 1, BorderColorSelected = 1, ColorHotText = 1, ColorSelectedText = 1;
};
}  // namespace

TEST(DropDownStyles, ItemAppearanceStyleLoadsTheRowAndCustomLeavesItAlone) {
    ItemLook look;
    ApplyItemAppearanceStyle(&look, tsCustom);
    EXPECT_EQ(look.ColorHot, 1);
    ApplyItemAppearanceStyle(&look, tsOffice2007Luna);
    EXPECT_EQ(look.ColorHot, TColor(0xEBFDFF));
    EXPECT_EQ(look.ColorMirrorSelectedTo, TColor(0x7AE1FE));
    EXPECT_EQ(look.BorderColorTop, TColor(0xF4FEFF));
    EXPECT_EQ(look.EdgeColor, TColor(0xC3D9DF));
    EXPECT_EQ(look.BorderColorHot, clNone);
    EXPECT_EQ(look.ColorHotText, clBlack);
    ApplyItemAppearanceStyle(&look, tsWindowsXP);
    EXPECT_EQ(look.ColorSelected, clHighlight);
    EXPECT_EQ(look.ColorSelectedText, clHighlightText);
    EXPECT_EQ(look.BorderColorTop, clNone);
    ApplyItemAppearanceStyle<ItemLook>(nullptr, tsWindowsXP);  // nothing without an appearance
}

// -- header and footer appearance records ------------------------------------

TEST(DropDownAppearance, RecordsStartWithTheirDefaults) {
    THeaderAppearance h(nullptr);
    TFooterAppearance f(nullptr);
    EXPECT_EQ(h.Color(), TColor(0xC0C0C0));
    EXPECT_EQ(h.ColorTo(), TColor(0xFFFFFF));
    EXPECT_EQ(h.Font()->Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(h.GradientDirection(), gdVertical);
    EXPECT_TRUE(h.Visible());
    EXPECT_EQ(h.Height(), 22);
    EXPECT_EQ(h.BorderColor(), 0);
    EXPECT_EQ(h.BorderWidth(), 1);
    EXPECT_EQ(h.ImageIndex(), -1);
    EXPECT_EQ(h.ButtonAlignment(), baRight);
    EXPECT_EQ(h.Buttons()->Count(), 0);
    EXPECT_TRUE(f.SizeGrip());
}

TEST(DropDownAppearance, OnlyVisibleAndTheNotifyingButtonSettingsTellTheOwner) {
    THeaderAppearance h(nullptr);
    int changes = 0, buttons = 0;
    h.OnChange = [&](TObject*) { ++changes; };
    h.OnButtonsChanged = [&](TObject*) { ++buttons; };
    h.SetVisible(true);
    EXPECT_EQ(changes, 0);
    h.SetVisible(false);
    EXPECT_EQ(changes, 1);
    h.SetHeight(30);
    h.SetColor(0x123456);
    EXPECT_EQ(changes, 1);
    THeaderButton* b = h.Buttons()->Add();
    b->SetCaption("OK");
    b->SetCaption("OK");  // the same text again: no notice
    b->SetHeight(40);     // height is never announced
    b->SetImageIndex(3);
    EXPECT_EQ(buttons, 1);
    b->SetEnabled(false);
    b->SetWidth(50);
    EXPECT_EQ(buttons, 3);
}

TEST(DropDownAppearance, AssignCopiesEverySettingAndTheButtons) {
    TFooterAppearance a(nullptr), b(nullptr);
    a.SetColor(1);
    a.SetColorTo(2);
    a.SetBorderColor(3);
    a.SetCaption("<b>x</b>");
    a.SetBorderWidth(2);
    a.SetHeight(33);
    a.SetSizeGrip(false);
    a.SetButtonAlignment(baLeft);
    TFooterButton* fb = a.Buttons()->Add();
    fb->SetCaption("Cancel");
    fb->SetModalResult(mrCancel);
    fb->SetHeight(12);
    a.SetVisible(false);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.Assign(&a);
    EXPECT_EQ(b.Color(), 1);
    EXPECT_EQ(b.ColorTo(), 2);
    EXPECT_EQ(b.BorderColor(), 3);
    EXPECT_EQ(b.Caption(), QStringLiteral("<b>x</b>"));
    EXPECT_EQ(b.BorderWidth(), 2);
    EXPECT_EQ(b.Height(), 33);
    EXPECT_FALSE(b.SizeGrip());
    EXPECT_FALSE(b.Visible());
    EXPECT_EQ(changes, 1);  // Visible went through its writer
    EXPECT_EQ(b.ButtonAlignment(), baLeft);
    ASSERT_EQ(b.Buttons()->Count(), 1);
    EXPECT_EQ(b.Buttons()->GetItem(0)->Caption(), QStringLiteral("Cancel"));
    EXPECT_EQ(b.Buttons()->GetItem(0)->ModalResult(), mrCancel);
    EXPECT_EQ(b.Buttons()->GetItem(0)->Height(), 12);
    // AssignColors takes the colours only; a header is no footer.
    TFooterAppearance c(nullptr);
    c.AssignColors(&a);
    EXPECT_EQ(c.Color(), 1);
    EXPECT_EQ(c.Caption(), QString());
    THeaderAppearance h(nullptr);
    h.Assign(&a);
    EXPECT_EQ(h.Color(), TColor(0xC0C0C0));
    // A header button does not take a footer button's settings.
    THeaderButton* hb = h.Buttons()->Add();
    EXPECT_THROW(hb->Assign(fb), EConvertError);
}

TEST(DropDownText, TransparentBitmapShowsTheBackColourWhereTheKeyColourWas) {
    TBitmap src(4, 4);
    src.Canvas()->Brush().SetColor(0x0000FF);  // the key: the top-left pixel's colour
    src.Canvas()->FillRect(Rect(0, 0, 4, 4));
    src.Canvas()->SetPixels(2, 2, 0x00FF00);
    TBitmap dest(6, 6);
    dest.Canvas()->Brush().SetColor(clWhite);
    dest.Canvas()->FillRect(Rect(0, 0, 6, 6));
    DrawTransparentBitmap(dest.Canvas(), &src, 0xFF0000, Rect(1, 1, 5, 5));
    EXPECT_EQ(PixelAt(dest, 1, 1), TColor(0xFF0000));
    EXPECT_EQ(PixelAt(dest, 3, 3), TColor(0x00FF00));
    EXPECT_EQ(PixelAt(dest, 0, 0), TColor(0xFFFFFF));  // outside R untouched
}

TEST(DropDownStepping, EachStepChoosesItsItemOrNothingAtTheEnds) {
    struct Case {
        int Index, Count;
        TItemStep Step;
        int Target;
    };
    const Case cases[] = {
        {-1, 0, TItemStep::First, -1}, {-1, 0, TItemStep::Next, -1},     {3, 5, TItemStep::First, 0},
        {0, 5, TItemStep::Last, 4},    {-1, 5, TItemStep::Next, 0},      {-1, 5, TItemStep::Previous, 0},
        {2, 5, TItemStep::Next, 3},    {4, 5, TItemStep::Next, -1},      {2, 5, TItemStep::Previous, 1},
        {0, 5, TItemStep::Previous, -1}, {0, 1, TItemStep::First, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ItemStepTarget(c.Index, c.Count, c.Step), c.Target)
            << c.Index << " of " << c.Count << " step " << int(c.Step);
}
