// Text layout of DrawText. No font's metrics are assumed: every expected
// position comes from the canvas's own measuring, and layouts are compared
// with the same text drawn a simpler way.
#include "PixelHelpers.h"

#include <gtest/gtest.h>

namespace {

constexpr int kW = 160, kH = 80;

// Draws `text` into a fresh white bitmap with a transparent background.
std::unique_ptr<TBitmap> Render(const QString& text, TRect r, unsigned flags, int* result = nullptr,
                                TBrushStyle brush = bsClear) {
    auto b = WhiteBitmap(kW, kH);
    TCanvas* c = b->Canvas();
    c->Brush().SetColor(clYellow);
    c->Brush().SetStyle(brush);
    c->Font().SetColor(clBlack);
    const int h = c->DrawText(text, r, flags);
    if (result) *result = h;
    return b;
}

// The bounding box of everything not white.
TRect Ink(const TBitmap& b) {
    TRect r(b.Width(), b.Height(), -1, -1);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (At(b, x, y) != clWhite) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

struct Measure {
    TBitmap Bmp{1, 1};
    TCanvas* C = Bmp.Canvas();
    int Width(const QString& s) { return C->TextWidth(s); }
    int Height() { return C->TextHeight(QStringLiteral("Xg")); }
};

} // namespace

TEST(DrawText, CalcRectMeasuresAndDrawsNothing) {
    Measure m;
    auto b = Render(QStringLiteral("Hello"), Rect(10, 5, 150, 70), DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(Picture(*b), Picture(*WhiteBitmap(kW, kH)));
    // Measured on a canvas whose background is opaque: still nothing drawn.
    TBitmap target(kW, kH);
    TRect r(10, 5, 150, 70);
    target.Canvas()->Brush().SetColor(clRed);
    const int h = target.Canvas()->DrawText(QStringLiteral("Hello"), r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(Picture(target), Picture(*WhiteBitmap(kW, kH)));
    EXPECT_EQ(r, Rect(10, 5, 10 + m.Width(QStringLiteral("Hello")), 5 + m.Height()));
    EXPECT_EQ(h, m.Height());
}

TEST(DrawText, CalcRectOfWrappedTextCountsItsLines) {
    Measure m;
    const int w = m.Width(QStringLiteral("aaa bbb"));
    TRect r(0, 0, w, 10);
    m.C->DrawText(QStringLiteral("aaa bbb ccc"), r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Height(), 2 * m.Height());
    EXPECT_EQ(r.Width(), w);
}

TEST(DrawText, VCenterCentresASingleLine) {
    Measure m;
    const TRect box(0, 0, 100, 60);
    auto top = Render(QStringLiteral("Xy"), box, DT_SINGLELINE);
    int h = 0;
    auto centred = Render(QStringLiteral("Xy"), box, DT_SINGLELINE | DT_VCENTER, &h);
    const int shift = (60 - m.Height()) / 2;
    TRect expected = Ink(*top);
    OffsetRect(expected, 0, shift);
    EXPECT_EQ(Ink(*centred), expected);
    EXPECT_EQ(h, shift + m.Height());

    auto bottom = Render(QStringLiteral("Xy"), box, DT_SINGLELINE | DT_BOTTOM);
    expected = Ink(*top);
    OffsetRect(expected, 0, 60 - m.Height());
    EXPECT_EQ(Ink(*bottom), expected);
}

TEST(DrawText, VCenterHasNoEffectOnWrappedText) {
    Measure m;
    const TRect box(0, 0, m.Width(QStringLiteral("one two")), 70);
    auto plain = Render(QStringLiteral("one two three"), box, DT_WORDBREAK);
    auto centred = Render(QStringLiteral("one two three"), box, DT_WORDBREAK | DT_VCENTER);
    EXPECT_TRUE(SameImage(*plain, *centred));
}

TEST(DrawText, WordBreakWrapsAtBlanksInsideTheWidth) {
    Measure m;
    const TRect box(0, 0, m.Width(QStringLiteral("aaa bbb")), kH);
    auto wrapped = Render(QStringLiteral("aaa bbb ccc"), box, DT_WORDBREAK);
    // The same lines given by hand, without wrapping.
    auto byHand = Render(QStringLiteral("aaa bbb\nccc"), box, 0);
    EXPECT_TRUE(SameImage(*wrapped, *byHand));
    // One pixel narrower and "bbb" moves down as well.
    const TRect narrow(0, 0, box.Right - 1, kH);
    auto three = Render(QStringLiteral("aaa bbb ccc"), narrow, DT_WORDBREAK);
    auto threeByHand = Render(QStringLiteral("aaa\nbbb ccc"), narrow, 0);
    EXPECT_TRUE(SameImage(*three, *threeByHand));
}

TEST(DrawText, EditControlBreaksAWordTooWideForTheLine) {
    Measure m;
    const TRect box(0, 0, m.Width(QStringLiteral("abcd")), kH);
    TRect r = box;
    m.C->DrawText(QStringLiteral("abcdefgh"), r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Height(), m.Height()); // kept whole without the edit-control rule
    r = box;
    m.C->DrawText(QStringLiteral("abcdefgh"), r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_GE(r.Height(), 2 * m.Height());
    EXPECT_LE(r.Width(), box.Width());
}

TEST(DrawText, EndEllipsisShortensToTheWidth) {
    Measure m;
    const TRect box(0, 0, m.Width(QStringLiteral("abc...")), 30);
    ASSERT_GT(m.Width(QStringLiteral("abcd...")), box.Width());
    auto cut = Render(QStringLiteral("abcdefghij"), box, DT_SINGLELINE | DT_END_ELLIPSIS);
    auto byHand = Render(QStringLiteral("abc..."), box, DT_SINGLELINE);
    EXPECT_TRUE(SameImage(*cut, *byHand));
    // Text that fits is left alone.
    auto fits = Render(QStringLiteral("ab"), box, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_TRUE(SameImage(*fits, *Render(QStringLiteral("ab"), box, DT_SINGLELINE)));
}

TEST(DrawText, EditControlLeavesOutAPartlyVisibleLastLine) {
    Measure m;
    const TRect box(0, 0, kW, m.Height() * 5 / 2);
    auto edit = Render(QStringLiteral("l1\nl2\nl3"), box, DT_EDITCONTROL);
    auto twoLines = Render(QStringLiteral("l1\nl2"), box, 0);
    auto plain = Render(QStringLiteral("l1\nl2\nl3"), box, 0);
    EXPECT_TRUE(SameImage(*edit, *twoLines));
    EXPECT_FALSE(SameImage(*plain, *twoLines)); // the cut line shows in part without the flag
}

TEST(DrawText, PrefixUnderlinesTheMarkedCharacter) {
    const TRect box(0, 0, kW, 30);
    auto marked = Render(QStringLiteral("a&xb"), box, DT_SINGLELINE);
    auto unmarked = Render(QStringLiteral("axb"), box, DT_SINGLELINE | DT_NOPREFIX);
    ASSERT_FALSE(SameImage(*marked, *unmarked));
    // Every added pixel lies under the x, below the text's ink.
    Measure m;
    const int x0 = m.Width(QStringLiteral("a")), x1 = x0 + m.Width(QStringLiteral("x"));
    const TRect ink = Ink(*unmarked);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < kW; ++x)
            if (At(*marked, x, y) != At(*unmarked, x, y)) {
                EXPECT_GE(x, x0);
                EXPECT_LT(x, x1);
                EXPECT_GE(y, ink.Top + (ink.Height() / 2));
            }
}

TEST(DrawText, NoPrefixDrawsTheAmpersandAndDoubleAmpersandDrawsOne) {
    const TRect box(0, 0, kW, 30);
    auto literal = Render(QStringLiteral("a&x"), box, DT_SINGLELINE | DT_NOPREFIX);
    auto b = WhiteBitmap(kW, kH);
    b->Canvas()->Brush().SetStyle(bsClear);
    b->Canvas()->TextOut(0, 0, QStringLiteral("a&x"));
    EXPECT_TRUE(SameImage(*literal, *b));

    auto doubled = Render(QStringLiteral("a&&b"), box, DT_SINGLELINE);
    auto single = Render(QStringLiteral("a&b"), box, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_TRUE(SameImage(*doubled, *single));
}

TEST(DrawText, CenterAndRightPlaceEachLine) {
    Measure m;
    const TRect box(0, 0, 120, 30);
    const int w = m.Width(QStringLiteral("Mid"));
    auto left = Render(QStringLiteral("Mid"), box, DT_SINGLELINE);
    struct Case {
        unsigned flag;
        int shift;
    } cases[] = {{DT_CENTER, (120 - w) / 2}, {DT_RIGHT, 120 - w}};
    for (const auto& tc : cases) {
        TRect expected = Ink(*left);
        OffsetRect(expected, tc.shift, 0);
        EXPECT_EQ(Ink(*Render(QStringLiteral("Mid"), box, DT_SINGLELINE | tc.flag)), expected) << tc.flag;
    }
}

TEST(DrawText, ClipsToTheRectangleUnlessNoClip) {
    Measure m;
    const TRect box(0, 0, m.Width(QStringLiteral("W")) , 30);
    auto clipped = Render(QStringLiteral("WWWW"), box, DT_SINGLELINE);
    EXPECT_LE(Ink(*clipped).Right, box.Right);
    auto free = Render(QStringLiteral("WWWW"), box, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(Ink(*free).Right, box.Right);
}

TEST(CanvasText, OpaqueBackgroundFollowsTheBrush) {
    Measure m;
    auto b = WhiteBitmap(kW, kH);
    TCanvas* c = b->Canvas();
    c->Brush().SetColor(clYellow);
    c->TextOut(2, 2, QStringLiteral("ab"));
    // The cell of the text is yellow where no glyph covers it.
    EXPECT_EQ(At(*b, 2, 2), clYellow);
    EXPECT_EQ(At(*b, 2 + m.Width(QStringLiteral("ab")), 2), clWhite);
    EXPECT_EQ(c->PenPos(), Point(2 + m.Width(QStringLiteral("ab")), 2));
    c->Brush().SetStyle(bsClear);
    c->TextOut(2, 40, QStringLiteral("ab"));
    EXPECT_EQ(At(*b, 2, 40), clWhite);
}

TEST(CanvasText, TextExtentBoundsWhatTextOutDraws) {
    auto b = WhiteBitmap(kW, kH);
    TCanvas* c = b->Canvas();
    c->Brush().SetStyle(bsClear);
    c->Font().SetColor(clBlack);
    const QString text = QStringLiteral("WgjQ|");
    const TSize ext = c->TextExtent(text);
    EXPECT_EQ(ext.cx, c->TextWidth(text));
    EXPECT_EQ(ext.cy, c->TextHeight(text));
    EXPECT_EQ(c->TextExtent(QString()).cx, 0);
    c->TextOut(10, 10, text);
    const TRect ink = Ink(*b);
    EXPECT_GE(ink.Left, 10);
    EXPECT_GE(ink.Top, 10);
    EXPECT_LE(ink.Right, 10 + ext.cx);
    EXPECT_LE(ink.Bottom, 10 + ext.cy);
    // The glyphs fill most of the measured box, so the extent is no mere upper bound.
    EXPECT_GT(ink.Width(), ext.cx / 2);
    EXPECT_GT(ink.Height(), ext.cy / 2);
}

TEST(CanvasText, TextRectClipsToItsRectangleAndFillsItWhenOpaque) {
    Measure m;
    const QString text = QStringLiteral("WWWWWWWWWW");
    const TRect r(10, 10, 10 + m.Width(text) / 2, 30);
    struct Case { const char* name; TBrushStyle style; TColor inside; };
    const Case cases[] = {{"opaque", bsSolid, clYellow}, {"clear", bsClear, clWhite}};
    for (const Case& tc : cases) {
        auto b = WhiteBitmap(kW, kH);
        TCanvas* c = b->Canvas();
        c->Font().SetColor(clBlack);
        c->Brush().SetColor(clYellow);
        c->Brush().SetStyle(tc.style);
        // The text starts above and left of the rectangle and runs past it.
        c->TextRect(r, r.Left - 4, r.Top + 2, text);
        const TRect ink = Ink(*b);
        EXPECT_GE(ink.Left, r.Left) << tc.name;
        EXPECT_LE(ink.Right, r.Right) << tc.name;
        EXPECT_LE(ink.Bottom, r.Bottom) << tc.name;
        // A corner far from the glyphs shows whether the rectangle was filled.
        EXPECT_EQ(At(*b, r.Right - 1, r.Bottom - 1), tc.inside) << tc.name;
        EXPECT_EQ(At(*b, r.Right, r.Bottom - 1), clWhite) << tc.name;
        EXPECT_EQ(At(*b, r.Left - 1, r.Top + 5), clWhite) << tc.name;
    }
}

TEST(CanvasText, RotatedTextRunsUpwards) {
    auto b = WhiteBitmap(80, 80);
    TCanvas* c = b->Canvas();
    c->Brush().SetStyle(bsClear);
    c->Font().SetSize(12);
    c->Font().SetOrientation(900);
    c->TextOut(30, 70, QStringLiteral("HHHH"));
    const TRect ink = Ink(*b);
    EXPECT_GT(ink.Height(), ink.Width()); // vertical
    EXPECT_LE(ink.Bottom, 71);            // from the start point upwards
}

TEST(Font, DefaultsAndSizeConversion) {
    TFont f;
    EXPECT_EQ(f.Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Color(), clWindowText);
    struct Case {
        int size, height;
    } cases[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {24, -32}};
    for (const auto& tc : cases) {
        f.SetSize(tc.size);
        EXPECT_EQ(f.Height(), tc.height) << tc.size;
        EXPECT_EQ(f.Size(), tc.size) << tc.size;
    }
    f.SetHeight(13); // a positive height is the cell and reads as a negative size
    EXPECT_EQ(f.Size(), -10);
}

TEST(Font, ChangeNotifiesOncePerRealChange) {
    TFont f;
    int n = 0;
    f.OnChange = [&](TGraphicsObject*) { ++n; };
    f.SetColor(clRed);
    f.SetColor(clRed);
    f.SetStyle(fsBold | fsUnderline);
    TFont other;
    other.SetName(QStringLiteral("Verdana"));
    f.Assign(other);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(f.Name(), QStringLiteral("Verdana"));
    EXPECT_EQ(f.Style(), TFontStyles(0));
}

TEST(DrawText, AnyTextAndFlagsLayOutWithoutFault) {
    // Texts built from the characters the layout treats specially, laid out
    // with every width from negative to wide: each call must end, and the
    // measured height must be a whole number of lines.
    Measure m;
    const QString alphabet = QStringLiteral("a W&&&\t\r\n  xyz");
    const unsigned flagSets[] = {
        0, DT_WORDBREAK, DT_WORDBREAK | DT_EDITCONTROL, DT_SINGLELINE | DT_END_ELLIPSIS,
        DT_WORDBREAK | DT_END_ELLIPSIS | DT_EXPANDTABS, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX,
        DT_WORDBREAK | DT_CENTER | DT_HIDEPREFIX, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM | DT_PREFIXONLY,
    };
    uint32_t seed = 12345;
    auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    auto target = WhiteBitmap(60, 40);
    for (int round = 0; round < 300; ++round) {
        QString text;
        const int len = int(next() % 24);
        for (int i = 0; i < len; ++i) text.append(alphabet[qsizetype(next() % uint32_t(alphabet.size()))]);
        for (unsigned flags : flagSets) {
            const int width = int(next() % 80) - 10;
            TRect r(0, 0, width, 30);
            const int h = m.C->DrawText(text, r, flags | DT_CALCRECT);
            ASSERT_EQ(h % m.Height(), 0) << text.toStdString() << " " << flags;
            ASSERT_EQ(r.Height(), h);
            target->Canvas()->DrawText(text, Rect(0, 0, width, 30), flags);
        }
    }
}

TEST(DrawText, ExpandTabsAdvancesToEvenTabStops) {
    Measure m;
    auto width = [&](const QString& s, unsigned flags) {
        TRect r(0, 0, 0, 0);
        m.C->DrawText(s, r, DT_CALCRECT | DT_SINGLELINE | flags);
        return r.Width();
    };
    const int stop = width(QStringLiteral("\tb"), DT_EXPANDTABS) - m.Width(QStringLiteral("b"));
    ASSERT_GT(stop, m.Width(QStringLiteral("a")));
    EXPECT_EQ(width(QStringLiteral("a\tb"), DT_EXPANDTABS), stop + m.Width(QStringLiteral("b")));
    EXPECT_EQ(width(QStringLiteral("\t\tb"), DT_EXPANDTABS), 2 * stop + m.Width(QStringLiteral("b")));
    EXPECT_NE(width(QStringLiteral("\t\tb"), 0), 2 * stop + m.Width(QStringLiteral("b")));
}

TEST(CanvasText, GlyphsAreWholePixelsOfTheTextColourUnlessSmoothingIsAsked) {
    for (TFontQuality q : {fqDefault, fqNonAntialiased, fqAntialiased}) {
        auto b = WhiteBitmap(kW, 30);
        TCanvas* c = b->Canvas();
        c->Brush().SetColor(clBtnFace);
        c->Font().SetColor(RGB(128, 128, 128));
        c->Font().SetSize(10);
        c->Font().SetQuality(q);
        c->TextOut(2, 2, QStringLiteral("Wag & Sixty"));
        int text = 0, other = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < kW; ++x) {
                const TColor p = At(*b, x, y);
                if (p == RGB(128, 128, 128)) ++text;
                else if (p != ColorToRGB(clBtnFace) && p != clWhite) ++other;
            }
        EXPECT_GT(text, 0) << q;
        if (q == fqAntialiased) {
            EXPECT_GT(other, 0) << q; // smoothing shows intermediate shades
        } else {
            EXPECT_EQ(other, 0) << q;
        }
    }
}

namespace {

// A text of `n` characters that repeats `unit`.
QString Repeated(const QString& unit, qsizetype n) {
    QString s;
    s.reserve(n);
    while (s.size() < n) s += unit;
    s.truncate(n);
    return s;
}

} // namespace

TEST(DrawText, AMillionCharacterTextPaintsWhatAShortPartOfItPaints) {
    // A cell shows a few dozen characters of a huge value: what it paints
    // must be what the same flags paint for the part that can show (the
    // start, or the end when right-aligned), whatever the length.
    const QString word = Repeated(QStringLiteral("abcdefghij"), 1000000);
    const QString words = Repeated(QStringLiteral("abc defg hij "), 1000000);
    const TRect box(5, 4, 125, 70);
    struct Case {
        const char* what;
        const QString& text;
        unsigned flags;
        bool tail; // the part that shows is the end of the text
        TBrushStyle brush = bsClear;
    } cases[] = {
        {"word broken by the edit rule", word, DT_WORDBREAK | DT_EDITCONTROL, false},
        {"word kept whole", word, DT_WORDBREAK, false},
        {"words wrapped", words, DT_WORDBREAK, false},
        {"lines without wrapping", words, 0, false},
        {"single line", word, DT_SINGLELINE | DT_VCENTER, false},
        {"single line with ellipsis", word, DT_SINGLELINE | DT_END_ELLIPSIS, false},
        {"wrapped with ellipsis", word, DT_WORDBREAK | DT_END_ELLIPSIS, false},
        {"single line, right", word, DT_SINGLELINE | DT_RIGHT, true},
        {"opaque single line", word, DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX, false, bsSolid},
        {"opaque wrapped, right", word, DT_WORDBREAK | DT_EDITCONTROL | DT_RIGHT, false, bsSolid},
    };
    for (const auto& tc : cases) {
        const QString part = tc.tail ? tc.text.right(2000) : tc.text.left(2000);
        EXPECT_TRUE(SameImage(*Render(tc.text, box, tc.flags, nullptr, tc.brush),
                              *Render(part, box, tc.flags, nullptr, tc.brush)))
            << tc.what;
    }
}

TEST(DrawText, MeasuringAMillionCharacterTextCountsEveryLine) {
    // Each line holds exactly one unit, so the height counts the units:
    // measured whole, not only the part a rectangle could show.
    Measure m;
    struct Case {
        const char* what;
        QString unit;
        QString line; // what one line holds
        unsigned flags;
    } cases[] = {
        {"word broken between characters", QStringLiteral("abcdefghij"), QStringLiteral("abcdefghij"),
         DT_WORDBREAK | DT_EDITCONTROL},
        {"words broken at blanks", QStringLiteral("abcdefghi "), QStringLiteral("abcdefghi"), DT_WORDBREAK},
        {"tabs expanded inside words", QStringLiteral("ab\tcd "), QStringLiteral("ab\tcd"),
         DT_WORDBREAK | DT_EXPANDTABS},
    };
    constexpr int kUnits = 100000;
    for (const auto& tc : cases) {
        TRect one(0, 0, 1000, 0);
        m.C->DrawText(tc.line, one, DT_CALCRECT | DT_SINGLELINE | (tc.flags & DT_EXPANDTABS));
        // The last line would keep a trailing blank.
        const QString text = Repeated(tc.unit, qsizetype(kUnits) * tc.unit.size()).trimmed();
        TRect r(0, 0, one.Width(), 0);
        const int h = m.C->DrawText(text, r, tc.flags | DT_CALCRECT);
        EXPECT_EQ(h, kUnits * m.Height()) << tc.what;
        EXPECT_EQ(r.Width(), one.Width()) << tc.what;
    }
}
