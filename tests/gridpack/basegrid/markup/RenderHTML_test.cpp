// RenderHTML: measuring, painting and hit testing of mark-up texts, the tags'
// effects on fonts and colours, pictures and embedded controls. Expected
// sizes come from the canvas's own text measuring, never from fixed pixels.
#include "gridpack/basegrid/PictureContainer.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "support/QtPrinters.h"

#include "platform/graphics/ImageList.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TColor PixelAt(const TBitmap& b, int x, int y) {
    const QRgb p = b.Image().pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

int CountColor(const TBitmap& b, TColor c) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) n += PixelAt(b, x, y) == c;
    return n;
}

// A white bitmap to render on, and the call's parameters.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void Clear(int w = 300, int h = 120) {
        Bmp = std::make_unique<TBitmap>(w, h);
        Bmp->Canvas()->Brush().SetColor(clWhite);
        Bmp->Canvas()->FillRect(Rect(0, 0, w, h));
        Bmp->Canvas()->Font().SetColor(clBlack);
    }
    THTMLRenderParams Params(const QString& text, TRect r = TRect(0, 0, 300, 120)) {
        THTMLRenderParams p;
        p.Canvas = Bmp->Canvas();
        p.Text = text;
        p.Rect = r;
        return p;
    }
    THTMLRenderParams Measure(const QString& text, TRect r = TRect(0, 0, 300, 120)) {
        THTMLRenderParams p = Params(text, r);
        p.MeasureOnly = true;
        RenderHTML(p);
        return p;
    }
    int GH() { return Bmp->Canvas()->TextHeight("gh"); }
    int TextW(const QString& s) { return Bmp->Canvas()->TextWidth(s); }
    std::unique_ptr<TBitmap> Bmp;
};

} // namespace

// --- the renderer's operation ------------------------------------------------------

TEST_F(RenderTest, AnEmptyTextMeasuresNothingButOneLineHigh) {
    for (bool measureOnly : {true, false}) {
        THTMLRenderParams p = Params("");
        p.MeasureOnly = measureOnly;
        EXPECT_FALSE(RenderHTML(p));
        EXPECT_EQ(p.Width, 0);
        EXPECT_EQ(p.Height, GH());
        EXPECT_EQ(p.AnchorCount, 0);
    }
}

TEST_F(RenderTest, PlainTextMeasuresAsTheCanvasDoes) {
    // Each run (up to and with a blank) is measured on its own.
    const THTMLRenderParams p = Measure("Hello world");
    EXPECT_EQ(p.Width, TextW("Hello ") + TextW("world"));
    EXPECT_EQ(p.Height, GH());
    EXPECT_EQ(p.StrippedText, "Hello world");
}

TEST_F(RenderTest, TheCanvasComesBackAsItWas) {
    TCanvas* c = Bmp->Canvas();
    c->Pen().SetColor(clGreen);
    c->Pen().SetWidth(3);
    c->Brush().SetColor(clYellow);
    c->Font().SetName("Tahoma");
    THTMLRenderParams p = Params("<b><i><font face=\"Verdana\" color=\"clred\" bgcolor=\"clblue\">x<hi>y<e>z");
    RenderHTML(p);
    EXPECT_EQ(c->Pen().Color(), clGreen);
    EXPECT_EQ(c->Pen().Width(), 3);
    EXPECT_EQ(c->Brush().Color(), clYellow);
    EXPECT_EQ(c->Brush().Style(), bsSolid);
    EXPECT_EQ(c->Font().Name(), "Tahoma");
    EXPECT_EQ(c->Font().Style(), 0u);
    EXPECT_EQ(c->Font().Color(), clBlack);
}

TEST_F(RenderTest, TheAnchorCountIsTheSameWhetherPaintingOrMeasuring) {
    const QString text = "<a href=\"x\">one</a> two <A>three</A><br><a href=\"y\">four</a>";
    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(mode);
        THTMLRenderParams p = Params(text);
        p.MeasureOnly = mode == 1;
        p.HitTest = mode == 2;
        RenderHTML(p);
        EXPECT_EQ(p.AnchorCount, 3);
    }
}

TEST_F(RenderTest, LinesBreakAtBlanksAndTheHeightsAddUp) {
    const QString text = "alpha beta gamma delta";
    const int first = TextW("alpha ") + TextW("beta");
    const int second = TextW("gamma ") + TextW("delta");
    const int w = std::max(first, second) + 4;
    const THTMLRenderParams p = Measure(text, TRect(0, 0, w, 200));
    EXPECT_EQ(p.Height, 2 * GH());
    EXPECT_EQ(p.Width, std::max(first, second));
    EXPECT_EQ(p.StrippedText, text);
    // A break tag, and a carriage return with a line feed, break once each.
    EXPECT_EQ(Measure("a<br>b").Height, 2 * GH());
    EXPECT_EQ(Measure("a\r\nb").Height, 2 * GH());
    EXPECT_EQ(Measure("a<br>b").StrippedText, "a\rb");
}

TEST_F(RenderTest, AWordSplitByATagIsNeverBrokenThere) {
    // "Hel" and "lo" are one word: the line does not break between them
    // even where "lo" would not fit; with a blank between them it does.
    const int w = TextW("xx ") + TextW("Hel") + 2;
    const THTMLRenderParams p = Measure("xx Hel<b>lo</b>", TRect(0, 0, w, 200));
    EXPECT_EQ(p.Height, GH());
    const THTMLRenderParams q = Measure("xx Hel lo", TRect(0, 0, w, 200));
    EXPECT_EQ(q.Height, 2 * GH());
}

TEST_F(RenderTest, OnlyTheLinesThatFitArePaintedButMeasuringCountsAll) {
    const QString text = "one<br>two<br>three";
    const int gh = GH();
    THTMLRenderParams painted = Params(text, TRect(0, 0, 200, gh + gh / 2));
    RenderHTML(painted);
    EXPECT_EQ(painted.Height, gh);
    EXPECT_EQ(painted.StrippedText, "one\r");
    EXPECT_EQ(Measure(text, TRect(0, 0, 200, gh + gh / 2)).Height, 3 * gh);
}

TEST_F(RenderTest, WithoutWordWrapAFullLineIsCutAndNothingFollows) {
    const QString text = "Hello world <b>next</b> more";
    const int w = TextW("Hello world") + 1;
    THTMLRenderParams p = Params(text, TRect(0, 0, w, 100));
    p.WordWrap = false;
    RenderHTML(p);
    EXPECT_EQ(p.Height, GH());
    // The overflowing run still joins the cut line; what follows it is dropped.
    EXPECT_EQ(p.StrippedText, "Hello world next");
}

TEST_F(RenderTest, ARightAlignedLineEndsAtTheRightEdge) {
    Bmp->Canvas()->Font().SetSize(12);
    THTMLRenderParams p = Params("<p align=\"right\">III </p>", TRect(0, 0, 200, 40));
    RenderHTML(p);
    int rightmost = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (PixelAt(*Bmp, x, y) != clWhite) rightmost = std::max(rightmost, x);
    // The trailing blank does not count: the text's ink ends near the edge.
    EXPECT_GT(rightmost, 200 - 8);
    EXPECT_LT(rightmost, 200);
}

TEST_F(RenderTest, AHitTestFindsAControlByItsIDAnywhere) {
    const QString text =
        "Name: <CONTROL TYPE=\"EDIT\" ID=\"name\" VALUE=\"Bob &amp; co\" WIDTH=\"60\"> "
        "<CONTROL TYPE=\"COMBO\" ID=\"kind\" VALUE=\"One\" WIDTH=\"50\">";
    THTMLRenderParams p = Params(text);
    p.HitTest = true;
    p.X = 5000;
    p.Y = 5000;
    p.ControlID = "kind";
    EXPECT_TRUE(RenderHTML(p));
    EXPECT_EQ(p.ControlID, "kind");
    EXPECT_EQ(p.ControlType, "COMBO");
    EXPECT_EQ(p.ControlValue, "One");
    EXPECT_EQ(p.Anchor, "ctrl");
    EXPECT_EQ(p.ControlRect.Width(), 50);
    EXPECT_EQ(p.ControlRect.Height(), 25);
    // It stands after the label, the edit control and a blank.
    const int edit = p.ControlRect.Left;
    EXPECT_GT(edit, 60 + TextW("Name:"));

    // The same point over the edit control finds it by position.
    THTMLRenderParams q = Params(text);
    q.HitTest = true;
    q.X = edit - 20;
    q.Y = 5;
    EXPECT_TRUE(RenderHTML(q));
    EXPECT_EQ(q.ControlID, "name");
    EXPECT_EQ(q.ControlValue, "Bob & co");
    EXPECT_EQ(q.ControlType, "EDIT");
}

TEST_F(RenderTest, AnchorsAreFoundUnderThePointWithTheirRectangle) {
    const QString text = "go <a href=\"http://example.invalid/Page\" title=\"The Title\">there</a> now";
    const int left = 1 + TextW("go ");
    THTMLRenderParams p = Params(text);
    p.HitTest = true;
    p.X = left + 3;
    p.Y = GH() / 2;
    EXPECT_TRUE(RenderHTML(p));
    EXPECT_EQ(p.Anchor, "http://example.invalid/Page");
    EXPECT_EQ(p.Title, "The Title");
    EXPECT_EQ(p.AnchorNumber, 1);
    EXPECT_EQ(p.AnchorRect.Left, left);
    EXPECT_EQ(p.AnchorRect.Right, left + TextW("there"));
    EXPECT_EQ(p.AnchorRect.Top, 0);

    // Beside it, or on an anchor without HREF, nothing is found.
    THTMLRenderParams miss = Params(text);
    miss.HitTest = true;
    miss.X = 2;
    miss.Y = GH() / 2;
    EXPECT_FALSE(RenderHTML(miss));
    EXPECT_EQ(miss.Anchor, "");
    EXPECT_EQ(miss.AnchorNumber, -1);
    THTMLRenderParams bare = Params("<a>there</a>");
    bare.HitTest = true;
    bare.X = 4;
    bare.Y = GH() / 2;
    EXPECT_FALSE(RenderHTML(bare));
}

TEST_F(RenderTest, HoverCountsFromOneAndFocusFromZero) {
    const QString text = "<a href=\"first\">AAAA</a> <a href=\"second\">BBBB</a>";
    THTMLRenderParams p = Params(text);
    p.HoverUnderlineOnly = true;
    p.HoverAnchor = 1;
    p.HoverFontColor = clRed;
    p.LinkColor = clBlue;
    p.FocusAnchor = 0;
    RenderHTML(p);
    EXPECT_EQ(p.FocusLink, "first");
    // The first anchor is the hovered one (red), the second keeps the link colour.
    const int split = 1 + TextW("AAAA ");
    int redLeft = 0, blueRight = 0;
    for (int y = 0; y < GH(); ++y)
        for (int x = 0; x < 300; ++x) {
            const TColor c = PixelAt(*Bmp, x, y);
            if (c == clRed) redLeft += x < split;
            if (c == clBlue) blueRight += x >= split;
        }
    EXPECT_GT(redLeft, 0);
    EXPECT_GT(blueRight, 0);
    EXPECT_EQ(CountColor(*Bmp, clRed), redLeft);

    Clear();
    THTMLRenderParams q = Params(text);
    q.FocusAnchor = 1;
    RenderHTML(q);
    EXPECT_EQ(q.FocusLink, "second");
}

// --- the language ---------------------------------------------------------------------

TEST_F(RenderTest, FontSizesFromOneToFiveAndInPoints) {
    struct {
        const char* Size;
        int Points;
    } const cases[] = {{"1", 8}, {"3", 12}, {"5", 16}, {"9", 9}, {"20", 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Size);
        const THTMLRenderParams p = Measure(QString("<font size=\"%1\">gh</font>").arg(c.Size));
        TFont f(Bmp->Canvas()->Font());
        Bmp->Canvas()->Font().SetSize(c.Points);
        const int expected = GH();
        Bmp->Canvas()->Font().Assign(f);
        EXPECT_EQ(p.Height, expected);
    }
}

TEST_F(RenderTest, FontColoursNeedQuotesAndTakeNamesOrHex) {
    struct {
        const char* Text;
        TColor Color;
        bool Seen;
    } const cases[] = {
        {"<font color=\"clRed\">XXXX</font>", clRed, true},
        {"<font color=\"CLRED\">XXXX</font>", clRed, true},
        {"<font color=clRed>XXXX</font>", clRed, false},
        {"<font color=\"#00ff00\">XXXX</font>", clLime, true},
        {"<font color=\"#0000FF\">XXXX</font>", clBlue, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        Clear();
        THTMLRenderParams p = Params(c.Text);
        RenderHTML(p);
        EXPECT_EQ(CountColor(*Bmp, c.Color) > 0, c.Seen);
    }
    // With keep colours the mark-up's colour is not applied.
    Clear();
    THTMLRenderParams keep = Params("<font color=\"clRed\">XXXX</font>");
    keep.KeepColors = true;
    RenderHTML(keep);
    EXPECT_EQ(CountColor(*Bmp, clRed), 0);
}

TEST_F(RenderTest, StyleTagsNeedTheirBracketRightAfterTheLetter) {
    TCanvas* c = Bmp->Canvas();
    const int plain = TextW("wwwwwwww");
    c->Font().SetStyle(fsBold);
    const int bold = TextW("wwwwwwww");
    c->Font().SetStyle(0);
    ASSERT_NE(plain, bold);
    EXPECT_EQ(Measure("<b>wwwwwwww</b>").Width, bold);
    EXPECT_EQ(Measure("<B>wwwwwwww</B>").Width, bold);
    EXPECT_EQ(Measure("<b >wwwwwwww</b>").Width, plain);
    // "<bold>" is read as the body tag, not as bold.
    EXPECT_EQ(Measure("<bold>wwwwwwww").Width, plain);
}

TEST_F(RenderTest, EntitiesAreDrawnAsTheirCharacters) {
    struct {
        const char* Markup;
        QString Shown;
    } const cases[] = {
        {"A&amp;B", "A&B"},
        {"&permil;", QString::fromUtf8("‰")},
        {"x&lt;y&gt;z", "x<y>z"},
        {"a&nbsp;b", "a b"},
        {"&copy;&euro;", QString::fromUtf8("©€")},
        {"<#field>", "#field"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Markup);
        EXPECT_EQ(Measure(c.Markup).Width, TextW(c.Shown));
    }
    // A lone "&" underlines the next character and takes no room itself.
    EXPECT_EQ(Measure("A&B").Width, TextW("AB"));
}

TEST_F(RenderTest, AnUnfinishedTagHidesTheRest) {
    EXPECT_EQ(Measure("ab<c").Width, TextW("ab"));
    EXPECT_EQ(Measure("ab<c").StrippedText, "ab");
    EXPECT_EQ(Measure("ab<").Width, TextW("ab"));
    EXPECT_EQ(Measure("ab<font color=\"clred\" and more").Width, TextW("ab"));
}

TEST_F(RenderTest, HiddenTextAndListsAndRules) {
    EXPECT_EQ(Measure("a<z>hidden</z>b").Width, TextW("ab"));
    EXPECT_EQ(Measure("a<z>hidden</z>b").StrippedText, "ahiddenb");
    // A list rises one level and ends the line; its items are indented.
    const THTMLRenderParams list = Measure("<ul><li>one<li>two</ul>");
    EXPECT_EQ(list.Height, 3 * GH());
    EXPECT_EQ(list.Width, 12 + TextW("one"));
    EXPECT_EQ(Measure("a<hr>b").Height, 2 * GH());
}

TEST_F(RenderTest, ErrorMarksAndHighlightsPaint) {
    THTMLRenderParams p = Params("ok <e>wrnog</e> ok");
    RenderHTML(p);
    EXPECT_GT(CountColor(*Bmp, clRed), 5);
    Clear();
    SetHighlightColors(clYellow, clBlue);
    THTMLRenderParams h = Params("x <hi>found</hi> x");
    RenderHTML(h);
    EXPECT_GT(CountColor(*Bmp, clYellow), 20);
    EXPECT_GT(CountColor(*Bmp, clBlue), 0);
    SetHighlightColors(clHighlight, clHighlightText);
}

// --- pictures and controls ----------------------------------------------------------------

TEST_F(RenderTest, ImagesTakeTheirSizeOrTheAskedOne) {
    TPictureContainer box(nullptr);
    TBitmap src(64, 48);
    src.Canvas()->Brush().SetColor(clRed);
    src.Canvas()->FillRect(Rect(0, 0, 64, 48));
    THTMLPicture pic;
    pic.LoadFromBytes(src.SaveToBytes());
    TPictureItem* item = box.Items()->Add();
    item->Name = "pic";
    item->SetPicture(&pic);

    struct {
        const char* Tag;
        int W, H;
    } const cases[] = {
        {"<img src=\"pic\" width=\"32\">", 32, 24},
        {"<img src=\"pic\" height=\"12\">", 16, 12},
        {"<img src=\"pic\" width=\"10\" height=\"70\">", 10, 70},
        {"<img src=\"pic\">", 64, 48},
        {"<img src=\"PIC\">", 64, 48},
        {"<img src=\"nosuch\">", 0, 0},
        {"<img src=\"idx:0\">", 0, 0},
        {"<img src=\"ssys:.txt\">", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Tag);
        THTMLRenderParams p = Params(c.Tag);
        p.Container = &box;
        p.MeasureOnly = true;
        RenderHTML(p);
        EXPECT_EQ(p.Width, c.W);
        EXPECT_EQ(p.Height, std::max(GH(), c.H));
    }
    // Painted at the line's start.
    THTMLRenderParams paint = Params("<img src=\"pic\" width=\"32\">");
    paint.Container = &box;
    RenderHTML(paint);
    EXPECT_EQ(PixelAt(*Bmp, 1, 0), clRed);
    EXPECT_EQ(PixelAt(*Bmp, 32, 23), clRed);
    EXPECT_EQ(PixelAt(*Bmp, 33, 10), clWhite);
    EXPECT_EQ(PixelAt(*Bmp, 10, 24), clWhite);
}

TEST_F(RenderTest, ImageListImagesAndLinkedImages) {
    TImageList list(20, 10);
    QImage img(20, 10, QImage::Format_ARGB32);
    img.fill(QColor(0, 0, 255));
    list.AddImage(img);
    THTMLRenderParams p = Params("<a href=\"go\"><img src=\"idx:0\"></a><img src=\"idx:1\">");
    p.Images = &list;
    RenderHTML(p);
    EXPECT_EQ(p.Width, 20);
    EXPECT_EQ(PixelAt(*Bmp, 5, 5), clBlue);
    THTMLRenderParams hit = Params(p.Text);
    hit.Images = &list;
    hit.HitTest = true;
    hit.X = 10;
    hit.Y = 5;
    EXPECT_TRUE(RenderHTML(hit));
    EXPECT_EQ(hit.Anchor, "go");
}

TEST_F(RenderTest, ALinkedImageShowsItsAltPictureOnlyUnderThePointer) {
    TPictureContainer box(nullptr);
    for (auto [name, color] : {std::pair{"plain", clRed}, std::pair{"alt", clBlue}}) {
        TBitmap src(10, 10);
        src.Canvas()->Brush().SetColor(color);
        src.Canvas()->FillRect(Rect(0, 0, 10, 10));
        THTMLPicture pic;
        pic.LoadFromBytes(src.SaveToBytes());
        TPictureItem* item = box.Items()->Add();
        item->Name = name;
        item->SetPicture(&pic);
    }
    const QString text = "<a href=\"x\"><img src=\"plain\" alt=\"alt\"></a>";
    for (bool over : {false, true}) {
        SCOPED_TRACE(over);
        Clear();
        THTMLRenderParams p = Params(text);
        p.Container = &box;
        p.X = over ? 5 : 200;
        p.Y = over ? 5 : 100;
        EXPECT_EQ(RenderHTML(p), over);
        EXPECT_EQ(PixelAt(*Bmp, 5, 5), over ? clBlue : clRed);
    }
}

TEST_F(RenderTest, AnIndentedLineStillPaintsAllItsObjects) {
    TImageList list(30, 10);
    QImage img(30, 10, QImage::Format_ARGB32);
    img.fill(QColor(0, 0, 255));
    list.AddImage(img);
    // The line is laid out in the whole width; the indent then narrows the
    // painted line below the two images' width, and both are painted anyway.
    THTMLRenderParams p = Params("<p indent=\"20\"><img src=\"idx:0\"><img src=\"idx:0\">", TRect(0, 0, 65, 40));
    p.Images = &list;
    RenderHTML(p);
    EXPECT_EQ(PixelAt(*Bmp, 25, 5), clBlue);
    EXPECT_EQ(PixelAt(*Bmp, 55, 5), clBlue);
    EXPECT_EQ(p.Height, std::max(GH(), 10));
}

TEST_F(RenderTest, ImageAlignmentRaisesTheLinesText) {
    TImageList list(10, 40);
    QImage img(10, 40, QImage::Format_ARGB32);
    img.fill(QColor(0, 0, 255));
    list.AddImage(img);
    // The lowest row of the text's ink: at the line's bottom, raised to the
    // top, or half way.
    auto lowestInk = [&](const char* align) {
        Clear();
        THTMLRenderParams p = Params(QString("<img src=\"idx:0\"%1>XXXX").arg(align));
        p.Images = &list;
        RenderHTML(p);
        int lowest = -1;
        for (int y = 0; y < 60; ++y)
            for (int x = 12; x < 100; ++x)
                if (PixelAt(*Bmp, x, y) != clWhite) lowest = y;
        return lowest;
    };
    const int bottom = lowestInk("");
    const int top = lowestInk(" align=\"top\"");
    const int middle = lowestInk(" align=\"middle\"");
    EXPECT_GT(bottom, 30);
    EXPECT_EQ(bottom - top, 40 - GH());
    EXPECT_EQ(bottom - middle, (40 - GH()) / 2);
}

TEST_F(RenderTest, AnImageFromAFileAddressIsCached) {
    THTMLPictureCache cache;
    const QString path = QString(KAL_TEST_DIR) + "/one.gif";
    THTMLRenderParams p = Params("<img src=\"file://" + path + "\">");
    p.PictureCache = &cache;
    p.MeasureOnly = true;
    RenderHTML(p);
    EXPECT_EQ(p.Width, 5);
    RenderHTML(p);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.GetPicture(0)->ID(), "file://" + path);
}

TEST_F(RenderTest, AControlWithoutWidthIsInvisibleAndCannotBeHit) {
    THTMLRenderParams p = Params("<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"x\">");
    p.HitTest = true;
    p.ControlID = "e";
    p.X = 3;
    p.Y = 3;
    EXPECT_FALSE(RenderHTML(p));
    EXPECT_EQ(p.Width, 0);
    EXPECT_EQ(p.ControlType, "");
    EXPECT_EQ(p.ControlRect, TRect());
    THTMLRenderParams paint = Params(p.Text);
    RenderHTML(paint);
    EXPECT_EQ(CountColor(*Bmp, clWhite), 300 * 120);
}

TEST_F(RenderTest, ControlHeightsSetTheLine) {
    struct {
        const char* Tag;
        int Height;
    } const cases[] = {
        {"<CONTROL TYPE=\"EDIT\" ID=\"a\" WIDTH=\"50\" HEIGHT=\"40\">", 38},
        {"<CONTROL TYPE=\"BUTTON\" ID=\"a\" WIDTH=\"50\" HEIGHT=\"20\">", 25},
        {"<CONTROL TYPE=\"CHECK\" ID=\"a\" WIDTH=\"50\" HEIGHT=\"20\">", 16},
        {"<CONTROL TYPE=\"COMBO\" ID=\"a\" WIDTH=\"50\">", 25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Tag);
        const THTMLRenderParams p = Measure(c.Tag);
        EXPECT_EQ(p.Height, std::max(c.Height, GH()));
    }
    EXPECT_EQ(Measure("<CONTROL TYPE=\"CHECK\" ID=\"a\" WIDTH=\"50\">").Width, 16);
}

TEST_F(RenderTest, ACheckControlIsTickedByTrueInAnyCase) {
    auto render = [&](const char* value) {
        Clear(40, 30);
        THTMLRenderParams p = Params(QString("<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"%1\" WIDTH=\"20\">").arg(value),
                                     TRect(0, 0, 40, 30));
        RenderHTML(p);
        return Bmp->Image().copy();
    };
    const QImage ticked = render("true");
    const QImage upper = render("TRUE");
    const QImage off = render("false");
    const QImage other = render("yes");
    EXPECT_EQ(ticked, upper);
    EXPECT_NE(ticked, off);
    EXPECT_EQ(off, other);
}

TEST_F(RenderTest, AControlWiderThanTheRestOfTheLineStartsTheNext) {
    const int w = TextW("abc ") + 40;
    const QString text = "abc <CONTROL TYPE=\"EDIT\" ID=\"a\" WIDTH=\"60\">";
    const THTMLRenderParams p = Measure(text, TRect(0, 0, w, 200));
    EXPECT_EQ(p.Height, GH() + std::max(GH() + 10, 23));
    // Wider than the whole line: it stays and overflows.
    const THTMLRenderParams q = Measure("<CONTROL TYPE=\"EDIT\" ID=\"a\" WIDTH=\"500\">", TRect(0, 0, w, 200));
    EXPECT_EQ(q.Width, 500);
}

// Mark-up glued together from fragments of every tag, cut anywhere: the
// renderer must finish every kind of call and leave the canvas as it was.
TEST_F(RenderTest, BrokenMarkupNeverHangsOrLeavesTheCanvasChanged) {
    const char* pieces[] = {"<b>", "</b>", "<i>", "<u>", "</u>", "<ul>", "<li>", "</ul>", "<a href=\"x\">", "</a>",
                            "<font face=\"Verdana\" size=\"5\" color=\"#FF0000\" bgcolor=\"clYellow\">", "</font>",
                            "<p align=\"right\" indent=\"30\" bgcolor=\"clBlue\">", "</p>", "<br>", "<hr>", "<hi>",
                            "</hi>", "<e>", "</e>", "<sub>", "<sup>", "</sup>", "<shadow>", "</shadow>", "<z>",
                            "</z>", "<r a=\"45\">", "</r>", "<img src=\"idx:0\" align=\"middle\">",
                            "<img src=\"file:///nonexistent/x.gif\" width=\"9\">", "<body bgcolor=\"#00FF00\">",
                            "<blink>", "</blink>", "<ind x=\"50\">", "<CONTROL TYPE=\"BUTTON\" ID=\"b\" WIDTH=\"40\">",
                            "<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"true\" WIDTH=\"x\" HEIGHT=\"60\">", "word ",
                            "longerword", " ", "&amp;", "&lt;", "&", "<#f>", "\r\n", "<", ">", "\"", "</"};
    TImageList list(8, 8);
    list.AddImage(QImage(8, 8, QImage::Format_ARGB32));
    THTMLPictureCache cache;
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    TCanvas* c = Bmp->Canvas();
    c->Font().SetName("Tahoma");
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int n = int(next() % 12);
        for (int i = 0; i < n; ++i) text += pieces[next() % std::size(pieces)];
        text = text.left(int(next() % (text.size() + 1)));
        SCOPED_TRACE(text.toStdString());
        THTMLRenderParams p = Params(text, TRect(0, 0, 20 + int(next() % 200), int(next() % 100)));
        p.Images = &list;
        p.PictureCache = &cache;
        p.WordWrap = next() % 2;
        p.MeasureOnly = round % 3 == 1;
        p.HitTest = round % 3 == 2;
        p.X = int(next() % 200);
        p.Y = int(next() % 100);
        p.ControlID = "b";
        p.FocusAnchor = 0;
        p.HoverAnchor = 1;
        RenderHTML(p);
        EXPECT_GE(p.Height, GH() > 0 ? 1 : 0);
        EXPECT_EQ(c->Font().Name(), "Tahoma");
        EXPECT_EQ(c->Font().Orientation(), 0);
        EXPECT_EQ(c->Brush().Color(), clWhite);
    }
}
