// A sampler of every primitive, written as a PNG into the build folder for a
// person to look at. The test also reads the file back through our own PNG
// reader, so it checks the round trip through the toolkit's writer.
#include "platform/graphics/ImageList.h"
#include "platform/graphics/PngReader.h"
#include "platform/graphics/Resources.h"
#include "PixelHelpers.h"
#include "platform/core/Files.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

void Label(TCanvas* c, int x, int y, const char* text) {
    c->Brush().SetStyle(bsClear);
    c->Font().SetColor(clBlack);
    c->TextOut(x, y, QLatin1String(text));
}

void DrawSampler(TCanvas* c) {
    c->Brush().SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, 640, 480));

    // Row 1: shapes.
    c->Pen().SetColor(clRed);
    c->Brush().SetColor(clBlue);
    c->Rectangle(10, 20, 60, 60);
    c->Brush().SetColor(clYellow);
    c->RoundRect(70, 20, 120, 60, 12, 12);
    c->Brush().SetColor(clLime);
    c->Ellipse(130, 20, 180, 60);
    c->Pen().SetColor(clNavy);
    c->Arc(190, 20, 240, 60, 240, 40, 190, 40);
    c->Brush().SetColor(clAqua);
    c->Pie(250, 20, 300, 60, 300, 20, 250, 20);
    c->Brush().SetColor(clFuchsia);
    c->SetPolyFillMode(WINDING);
    c->Polygon(std::vector<TPoint>{{335, 20}, {350, 60}, {310, 35}, {360, 35}, {320, 60}});
    c->SetPolyFillMode(ALTERNATE);
    c->Polygon(std::vector<TPoint>{{395, 20}, {410, 60}, {370, 35}, {420, 35}, {380, 60}});
    Label(c, 10, 4, "Rectangle RoundRect Ellipse Arc Pie Polygon (winding, alternate)");

    // Row 2: pens.
    const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
    for (int i = 0; i < 5; ++i) {
        c->Pen().SetStyle(styles[i]);
        c->Pen().SetColor(clBlack);
        c->Brush().SetColor(clWhite);
        c->MoveTo(10, 90 + i * 6);
        c->LineTo(200, 90 + i * 6);
    }
    c->Pen().SetStyle(psSolid);
    for (int w = 1; w <= 5; ++w) {
        c->Pen().SetWidth(w);
        c->MoveTo(220 + w * 15, 90);
        c->LineTo(260 + w * 15, 115);
    }
    c->Pen().SetWidth(1);
    c->Pen().SetMode(pmXor);
    c->Pen().SetColor(clWhite);
    c->Brush().SetColor(clWhite);
    c->Rectangle(340, 85, 420, 120);
    c->Pen().SetMode(pmCopy);
    c->Polyline(std::vector<TPoint>{{430, 120}, {450, 85}, {470, 120}, {490, 85}});
    Label(c, 10, 72, "Pen styles, widths 1-5, XOR rectangle, polyline");

    // Row 3: brushes and fills.
    const TBrushStyle hatches[] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
    for (int i = 0; i < 6; ++i) {
        c->Brush().SetColor(clNavy);
        c->Brush().SetStyle(hatches[i]);
        c->FillRect(Bounds(10 + i * 40, 150, 32, 32));
    }
    c->Brush().SetStyle(bsSolid);
    c->GradientFillRect(Bounds(260, 150, 120, 32), clWhite, clNavy, gdHorizontal, 8);
    c->GradientFillRect(Bounds(390, 150, 60, 32), clYellow, clRed, gdVertical);
    c->Brush().SetColor(clRed);
    c->FrameRect(Bounds(460, 150, 40, 32));
    c->Brush().SetColor(clLime);
    c->FloodFill(470, 160, clRed, fsBorder);
    c->DrawFocusRect(Bounds(510, 150, 60, 32));
    Label(c, 10, 132, "Hatches, gradients (stepped, smooth), frame + flood fill, focus rect");

    // Row 4: text.
    c->Font().SetName(QStringLiteral("Tahoma"));
    c->Font().SetSize(8);
    struct T {
        const char* text;
        unsigned flags;
    } texts[] = {
        {"&Single, centred", DT_SINGLELINE | DT_CENTER | DT_VCENTER},
        {"Wrapped words that run on past the width", DT_WORDBREAK},
        {"Ellipsis for a text far too long", DT_SINGLELINE | DT_END_ELLIPSIS},
        {"Right && bottom", DT_SINGLELINE | DT_RIGHT | DT_BOTTOM},
        {"Edit control cut line one two three four five six", DT_WORDBREAK | DT_EDITCONTROL},
    };
    for (int i = 0; i < 5; ++i) {
        TRect r = Bounds(10 + i * 120, 215, 110, 40);
        c->Brush().SetColor(clWhite);
        c->Brush().SetStyle(bsSolid);
        c->FillRect(r);
        c->Brush().SetStyle(bsClear);
        c->DrawText(QLatin1String(texts[i].text), r, texts[i].flags);
    }
    c->Font().SetOrientation(450);
    c->TextOut(20, 330, QStringLiteral("Rotated 45"));
    c->Font().SetOrientation(0);
    c->Font().SetStyle(fsBold | fsUnderline);
    c->Brush().SetColor(clYellow);
    c->TextOut(120, 300, QStringLiteral("Bold, underlined, opaque"));
    c->Font().SetStyle(0);
    Label(c, 10, 197, "DrawText flags, rotated and opaque text");

    // Row 5: frames.
    const unsigned edges[] = {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP, BDR_RAISEDINNER, BDR_SUNKENOUTER};
    for (int i = 0; i < 6; ++i) {
        TRect r = Bounds(10 + i * 40, 370, 32, 32);
        c->DrawEdge(r, edges[i], BF_RECT | BF_MIDDLE);
    }
    struct F {
        unsigned kind, state;
    } frames[] = {
        {DFC_BUTTON, DFCS_BUTTONPUSH},
        {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
        {DFC_BUTTON, DFCS_BUTTONCHECK},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
        {DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_FLAT},
        {DFC_BUTTON, DFCS_BUTTONRADIO},
        {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
        {DFC_SCROLL, DFCS_SCROLLUP},
        {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED},
        {DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE},
        {DFC_SCROLL, DFCS_SCROLLCOMBOBOX},
    };
    for (int i = 0; i < 12; ++i) {
        TRect r = Bounds(260 + i * 30, 375, 17, 17);
        c->DrawFrameControl(r, frames[i].kind, frames[i].state);
    }
    Label(c, 10, 352, "DrawEdge kinds, DrawFrameControl buttons, boxes, radios, arrows");

    // Row 6: pictures and image lists.
    const char* names[] = {"SGCHK01", "SGCHK02", "SGCHK05", "SGCHK06", "SGRAD05", "SGRAD06",
                           "XPNODEO", "XPNODEC", "SGLEAFOPEN", "SGFILT", "LT_MOVEALL"};
    int x = 10;
    for (const char* n : names) {
        TBitmap b;
        LoadResourceBitmap(&b, QLatin1String(n));
        b.SetTransparent(true);
        c->Draw(x, 430, &b);
        x += b.Width() + 6;
    }
    TBitmap strip;
    LoadResourceBitmap(&strip, QStringLiteral("LT_CHECK_LIGHT"));
    TImageList list(16, 16);
    list.AddMasked(&strip, clDefault);
    for (int i = 1; i < 25; i += 4) {
        list.Draw(c, x, 430, i);
        list.Draw(c, x, 450, i, false);
        list.DrawEx(c, x + 18, 430, i, ILD_TRANSPARENT | ILD_BLEND50, clHighlight);
        x += 38;
    }
    TBitmap over(40, 30, pf24bit);
    over.Canvas()->Brush().SetColor(clRed);
    over.Canvas()->FillRect(Rect(0, 0, 40, 30));
    BLENDFUNCTION bf;
    bf.SourceConstantAlpha = 128;
    AlphaBlend(c, 590, 430, 40, 30, over.Canvas(), 0, 0, 40, 30, bf);
    Label(c, 10, 412, "Named pictures drawn transparent, image list normal/disabled/blended, alpha 50%");
}

} // namespace

TEST(Sampler, RendersEveryPrimitiveIntoAPngForReview) {
    TBitmap b(640, 480, pf24bit);
    DrawSampler(b.Canvas());
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(b.Image().save(&buf, "PNG"));
    const QString path = QStringLiteral(KAL_BUILD_DIR) + QStringLiteral("/graphics_sampler.png");
    WriteFileWhole(path, png);

    // Read back through our reader: the same pixels.
    ASSERT_TRUE(PngKindSupported(png));
    const QImage back = DecodePng(ReadFileWhole(path));
    ASSERT_EQ(back.size(), QSize(640, 480));
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 3)
            ASSERT_EQ(back.pixel(x, y) | 0xFF000000u, b.Image().pixel(x, y) | 0xFF000000u) << x << "," << y;
}
