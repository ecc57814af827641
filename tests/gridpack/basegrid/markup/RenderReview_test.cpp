// Mark-up samples rendered to PNG in the build folder for a person to look at
// (fonts, colours, lists, pictures, controls, anchors); and the one pixel
// check that needs a turned font.
#include "gridpack/basegrid/PictureContainer.h"
#include "gridpack/basegrid/SgHTMLE.h"

#include "platform/graphics/ImageList.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Each sample gets a band of its own, framed, with its text drawn through
// RenderHTML with the values the string grid passes.
struct Sample {
    const char* Markup;
    int Height;
    bool WordWrap = true;
    int Hover = 0;
    int Focus = -1;
};

} // namespace

TEST(RenderReview, MarkupSamplesToPng) {
    const Sample samples[] = {
        {"<b>Bold</b> <i>italic</i> <u>underline</u> <s>strike</s> <font face=\"Verdana\" size=\"4\">Verdana 14</font> "
         "<font size=\"1\">size 1</font> x<sup>2</sup> H<sub>2</sub>O",
         30},
        {"<font color=\"clRed\">red</font> <font color=\"#008000\">#008000</font> "
         "<font bgcolor=\"clYellow\" color=\"clNavy\">navy on yellow</font> <hi>highlighted</hi> "
         "<e>speling</e> <shadow>shadowed</shadow> A&amp;B &permil; &copy; &euro; &lt;tag&gt;",
         30},
        {"<ul><li>first item<li>second item<ul><li>nested item</ul><li>third item</ul>", 70},
        {"<p align=\"center\" bgcolor=\"#E0E0FF\">a centred paragraph on a blue band</p>"
         "<p align=\"right\">right aligned</p><p align=\"left\">left again</p>",
         45},
        {"Images: <img src=\"square\"> <img src=\"square\" width=\"16\"> <img src=\"idx:0\"> <img src=\"idx:1\"> "
         "<img src=\"anim\"> <img src=\"nosuch\"> after",
         40},
        {"Edit <CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"text &amp; more\" WIDTH=\"90\"> Pass "
         "<CONTROL TYPE=\"PASSWORD\" ID=\"p\" VALUE=\"secret\" WIDTH=\"60\"> Combo "
         "<CONTROL TYPE=\"COMBO\" ID=\"c\" VALUE=\"Choice\" WIDTH=\"80\">",
         32},
        {"<CONTROL TYPE=\"CHECK\" ID=\"k1\" VALUE=\"TRUE\" WIDTH=\"20\"> ticked "
         "<CONTROL TYPE=\"CHECK\" ID=\"k2\" VALUE=\"FALSE\" WIDTH=\"20\"> not "
         "<CONTROL TYPE=\"RADIO\" ID=\"r1\" VALUE=\"TRUE\" WIDTH=\"20\"> on "
         "<CONTROL TYPE=\"RADIO\" ID=\"r2\" VALUE=\"FALSE\" WIDTH=\"20\"> off "
         "<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Button\" WIDTH=\"70\">",
         32},
        {"Links: <a href=\"http://example.invalid\">first (hovered)</a>, <a href=\"mailto:x\">second (focus)</a>, "
         "<a>no href</a>",
         22, true, 1, 1},
        {"A long line without word wrap is cut with an ellipsis at the end of the band, as in a narrow cell of "
         "the grid",
         22, false},
        {"above<hr>below the rule <r a=\"20\">turned</r> back", 40},
    };
    const int width = 560;
    int height = 0;
    for (const Sample& s : samples) height += s.Height + 6;

    TBitmap bmp(width, height);
    TCanvas* c = bmp.Canvas();
    c->Brush().SetColor(clWhite);
    c->FillRect(Rect(0, 0, width, height));

    TPictureContainer box(nullptr);
    TBitmap square(24, 24);
    square.Canvas()->Brush().SetColor(clTeal);
    square.Canvas()->FillRect(Rect(0, 0, 24, 24));
    square.Canvas()->Brush().SetColor(clYellow);
    square.Canvas()->FillRect(Rect(6, 6, 18, 18));
    THTMLPicture pic;
    pic.LoadFromBytes(square.SaveToBytes());
    TPictureItem* item = box.Items()->Add();
    item->Name = "square";
    item->SetPicture(&pic);
    THTMLPicture anim;
    anim.LoadFromFile(QString(KAL_TEST_DIR) + "/anim3.gif");
    TPictureItem* animItem = box.Items()->Add();
    animItem->Name = "anim";
    animItem->SetPicture(&anim);

    TImageList list(16, 16);
    for (QColor col : {QColor(200, 0, 0), QColor(0, 0, 200)}) {
        QImage img(16, 16, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        for (int y = 2; y < 14; ++y)
            for (int x = 2; x < 14; ++x) img.setPixelColor(x, y, col);
        list.AddImage(img);
    }

    int top = 0;
    for (const Sample& s : samples) {
        c->Brush().SetColor(clSilver);
        c->FrameRect(Rect(0, top, width, top + s.Height + 4));
        c->Brush().SetColor(clWhite);
        c->Font().SetName("Tahoma");
        c->Font().SetSize(8);
        c->Font().SetColor(clBlack);
        c->Font().SetStyle(0);
        THTMLRenderParams p;
        p.Canvas = c;
        p.Text = s.Markup;
        p.Rect = TRect(2, top + 2, width - 2, top + s.Height + 2);
        p.Images = &list;
        p.Container = &box;
        p.WordWrap = s.WordWrap;
        p.HoverAnchor = s.Hover;
        p.FocusAnchor = s.Focus;
        p.HoverUnderlineOnly = true;
        p.ShadowColor = clGray;
        p.LinkColor = clBlue;
        RenderHTML(p);
        top += s.Height + 6;
    }
    const QString path = QString(KAL_BUILD_DIR) + "/markup_samples.png";
    ASSERT_TRUE(bmp.Image().save(path, "PNG"));
}

TEST(RenderReview, ATurnedRunLeavesItsLineUpwards) {
    TBitmap bmp(200, 120);
    TCanvas* c = bmp.Canvas();
    c->Brush().SetColor(clWhite);
    c->FillRect(Rect(0, 0, 200, 120));
    c->Font().SetColor(clBlack);
    THTMLRenderParams p;
    p.Canvas = c;
    p.Text = "<r a=\"90\">Turned text</r>";
    p.Rect = TRect(20, 80, 200, 120);
    RenderHTML(p);
    int above = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 200; ++x) above += (bmp.Image().pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_GT(above, 20);
    EXPECT_EQ(c->Font().Orientation(), 0);
}
