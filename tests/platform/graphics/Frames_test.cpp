// Colours of the fixed table, DrawEdge borders and DrawFrameControl looks.
#include "PixelHelpers.h"

#include <gtest/gtest.h>

TEST(Colors, SystemColoursResolveThroughTheFixedTable) {
    struct Case {
        TColor c;
        int r, g, b;
    } cases[] = {
        {clScrollBar, 200, 200, 200}, {clWindow, 255, 255, 255},   {clWindowText, 0, 0, 0},
        {clHighlight, 51, 153, 255},  {clBtnFace, 240, 240, 240},  {clBtnShadow, 160, 160, 160},
        {clGrayText, 109, 109, 109},  {clBtnHighlight, 255, 255, 255}, {cl3DDkShadow, 105, 105, 105},
        {cl3DLight, 227, 227, 227},   {clInfoBk, 255, 255, 225},   {clHotLight, 0, 102, 204},
        {clInactiveCaptionText, 67, 78, 84}, {clMenuBar, 240, 240, 240},
        {clRed, 255, 0, 0},           {TColor(0x12345678), 0x78, 0x56, 0x34},
    };
    for (const auto& tc : cases) EXPECT_EQ(ColorToRGB(tc.c), RGB(tc.r, tc.g, tc.b)) << std::hex << tc.c;
    EXPECT_EQ(clNone, 0x1FFFFFFF);
    EXPECT_EQ(clDefault, 0x20000000);
    EXPECT_EQ(uint32_t(clBtnFace), 0xFF00000Fu);
    EXPECT_EQ(GetSysColor(25), clBlack); // not in the table
}

TEST(Colors, NamesAndNumbersConvertBothWays) {
    TColor c = 0;
    EXPECT_TRUE(IdentToColor(QStringLiteral("clBtnFace"), c));
    EXPECT_EQ(c, clBtnFace);
    EXPECT_TRUE(IdentToColor(QStringLiteral("$0000FF"), c));
    EXPECT_EQ(c, clRed);
    EXPECT_FALSE(IdentToColor(QStringLiteral("clNoSuchColour"), c));
    EXPECT_EQ(ColorToString(clRed), QStringLiteral("clRed"));
    EXPECT_EQ(StringToColor(ColorToString(RGB(1, 2, 3))), RGB(1, 2, 3));
    EXPECT_THROW(StringToColor(QStringLiteral("red")), EConvertError);
}

namespace {

struct EdgeCase {
    const char* name;
    unsigned edge;
    // Outer and inner colour on the left, on the right; clNone: no line there.
    TColor outerLeft, innerLeft, outerRight, innerRight;
};

} // namespace

TEST(DrawEdge, BordersTakeTheirColoursFromTheTable) {
    const EdgeCase cases[] = {
        {"raised", EDGE_RAISED, cl3DLight, clBtnHighlight, cl3DDkShadow, clBtnShadow},
        {"sunken", EDGE_SUNKEN, clBtnShadow, cl3DDkShadow, clBtnHighlight, cl3DLight},
        {"raised inner", BDR_RAISEDINNER, clBtnHighlight, clNone, clBtnShadow, clNone},
        {"sunken inner", BDR_SUNKENINNER, cl3DDkShadow, clNone, cl3DLight, clNone},
        {"etched", EDGE_ETCHED, clBtnShadow, clBtnHighlight, clBtnHighlight, clBtnShadow},
    };
    for (const auto& tc : cases) {
        auto b = WhiteBitmap(20, 20);
        b->Canvas()->Brush().SetColor(clRed);
        b->Canvas()->FillRect(Rect(0, 0, 20, 20));
        TRect r(2, 2, 18, 18);
        ASSERT_TRUE(b->Canvas()->DrawEdge(r, tc.edge, BF_RECT)) << tc.name;
        auto rgb = [](TColor c) { return c == clNone ? clRed : ColorToRGB(c); };
        // Left column and top row, right column and bottom row, away from corners.
        EXPECT_EQ(At(*b, 2, 10), rgb(tc.outerLeft)) << tc.name;
        EXPECT_EQ(At(*b, 10, 2), rgb(tc.outerLeft)) << tc.name;
        EXPECT_EQ(At(*b, 3, 10), rgb(tc.innerLeft)) << tc.name;
        EXPECT_EQ(At(*b, 10, 3), rgb(tc.innerLeft)) << tc.name;
        EXPECT_EQ(At(*b, 17, 10), rgb(tc.outerRight)) << tc.name;
        EXPECT_EQ(At(*b, 10, 17), rgb(tc.outerRight)) << tc.name;
        EXPECT_EQ(At(*b, 16, 10), rgb(tc.innerRight)) << tc.name;
        EXPECT_EQ(At(*b, 10, 16), rgb(tc.innerRight)) << tc.name;
        EXPECT_EQ(At(*b, 1, 10), clRed) << tc.name;  // nothing outside
        EXPECT_EQ(At(*b, 18, 10), clRed) << tc.name;
        EXPECT_EQ(At(*b, 10, 10), clRed) << tc.name; // no middle without BF_MIDDLE
        EXPECT_EQ(r, Rect(2, 2, 18, 18)) << tc.name; // unchanged without BF_ADJUST
    }
}

TEST(DrawEdge, AdjustShrinksTheRectangleAndMiddleFillsIt) {
    auto b = WhiteBitmap(20, 20);
    TRect r(2, 2, 18, 18);
    b->Canvas()->DrawEdge(r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_MIDDLE);
    EXPECT_EQ(r, Rect(4, 4, 16, 16));
    EXPECT_EQ(At(*b, 10, 10), ColorToRGB(clBtnFace));
    TRect one(2, 2, 18, 18);
    b->Canvas()->DrawEdge(one, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_ADJUST);
    EXPECT_EQ(one, Rect(3, 3, 18, 18)); // only the drawn sides move
}

TEST(DrawEdge, OnlyTheNamedSidesAreDrawn) {
    auto b = WhiteBitmap(20, 20);
    TRect r(2, 2, 18, 18);
    b->Canvas()->DrawEdge(r, BDR_RAISEDINNER, BF_BOTTOM);
    EXPECT_EQ(At(*b, 10, 17), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(*b, 2, 10), clWhite);
    EXPECT_EQ(At(*b, 10, 2), clWhite);
    EXPECT_EQ(At(*b, 17, 10), clWhite);
}

namespace {

std::unique_ptr<TBitmap> Frame(unsigned kind, unsigned state, TRect r = Rect(2, 2, 15, 15)) {
    auto b = WhiteBitmap(17, 17);
    b->Canvas()->Brush().SetColor(clRed);
    b->Canvas()->FillRect(Rect(0, 0, 17, 17));
    b->Canvas()->DrawFrameControl(r, kind, state);
    return b;
}

// Pixels that differ between two bitmaps.
std::vector<TPoint> Differences(const TBitmap& a, const TBitmap& b) {
    std::vector<TPoint> d;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (At(a, x, y) != At(b, x, y)) d.emplace_back(x, y);
    return d;
}

} // namespace

TEST(DrawFrameControl, CheckBoxCheckedAndUncheckedDifferOnlyInsideTheBox) {
    const TRect inside(4, 4, 13, 13); // within the 2-pixel sunken edge of (2,2,15,15)
    struct Case {
        const char* name;
        unsigned a, b;
    } cases[] = {
        {"check", DFCS_BUTTONCHECK, DFCS_BUTTONCHECK | DFCS_CHECKED},
        {"flat", DFCS_BUTTONCHECK | DFCS_FLAT, DFCS_BUTTONCHECK | DFCS_FLAT | DFCS_CHECKED},
        {"inactive", DFCS_BUTTONCHECK | DFCS_INACTIVE, DFCS_BUTTONCHECK | DFCS_INACTIVE | DFCS_CHECKED},
        {"mixed", DFCS_BUTTONCHECK | DFCS_CHECKED, DFCS_BUTTON3STATE | DFCS_CHECKED},
    };
    for (const auto& tc : cases) {
        const auto d = Differences(*Frame(DFC_BUTTON, tc.a), *Frame(DFC_BUTTON, tc.b));
        EXPECT_FALSE(d.empty()) << tc.name;
        for (TPoint p : d) EXPECT_TRUE(inside.Contains(p)) << tc.name << " " << p.X << "," << p.Y;
    }
}

TEST(DrawFrameControl, CheckBoxHasASunkenEdgeAndAWindowInside) {
    const auto b = Frame(DFC_BUTTON, DFCS_BUTTONCHECK);
    EXPECT_EQ(At(*b, 2, 8), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(*b, 3, 8), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(At(*b, 14, 8), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(*b, 8, 8), ColorToRGB(clWindow));
    EXPECT_EQ(At(*b, 1, 8), clRed);
    const auto pushed = Frame(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_PUSHED);
    EXPECT_EQ(At(*pushed, 8, 8), ColorToRGB(clBtnFace));
}

TEST(DrawFrameControl, PushButtonRaisedOrSunkenWhenPushed) {
    const auto up = Frame(DFC_BUTTON, DFCS_BUTTONPUSH);
    const auto down = Frame(DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(At(*up, 14, 8), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(At(*down, 2, 8), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(*up, 8, 8), ColorToRGB(clBtnFace));
    // Flat: a shadow frame, rising by a thin highlight border under the mouse.
    const auto flat = Frame(DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT);
    const auto hot = Frame(DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT | DFCS_HOT);
    EXPECT_EQ(At(*flat, 2, 8), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(*hot, 2, 8), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(*hot, 14, 8), ColorToRGB(clBtnShadow));
    TRect r(2, 2, 15, 15);
    auto b = WhiteBitmap(17, 17);
    b->Canvas()->DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    EXPECT_EQ(r, Rect(4, 4, 13, 13));
}

TEST(DrawFrameControl, RadioButtonsShowTheirDotWhenChecked) {
    const auto off = Frame(DFC_BUTTON, DFCS_BUTTONRADIO);
    const auto on = Frame(DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    EXPECT_EQ(At(*off, 8, 8), ColorToRGB(clWindow));
    EXPECT_EQ(At(*on, 8, 8), ColorToRGB(clWindowText));
    EXPECT_EQ(At(*on, 2, 2), clRed); // the corners stay outside the circle
}

TEST(DrawFrameControl, ScrollArrowsPointTheirWay) {
    // The arrow's widest row is at its base: up arrows are widest low down.
    auto rowWidth = [](const TBitmap& b, int y) {
        int n = 0;
        for (int x = 0; x < b.Width(); ++x) n += At(b, x, y) == ColorToRGB(clBtnText);
        return n;
    };
    const TRect r(0, 0, 17, 17);
    const auto up = Frame(DFC_SCROLL, DFCS_SCROLLUP, r);
    const auto down = Frame(DFC_SCROLL, DFCS_SCROLLDOWN, r);
    const auto combo = Frame(DFC_SCROLL, DFCS_SCROLLCOMBOBOX, r);
    int upTop = -1, downTop = -1;
    for (int y = 0; y < 17 && (upTop < 0 || downTop < 0); ++y) {
        if (upTop < 0 && rowWidth(*up, y)) upTop = y;
        if (downTop < 0 && rowWidth(*down, y)) downTop = y;
    }
    ASSERT_GE(upTop, 0);
    ASSERT_GE(downTop, 0);
    EXPECT_EQ(rowWidth(*up, upTop), 1);
    EXPECT_GT(rowWidth(*down, downTop), 1);
    EXPECT_TRUE(Differences(*down, *combo).empty());
    // Inactive arrows are etched, not in the text colour.
    const auto grey = Frame(DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE, r);
    for (int y = 0; y < 17; ++y) EXPECT_EQ(rowWidth(*grey, y), 0);
}
