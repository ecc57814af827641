// Bitmaps: transparency, row access, BMP/ICO writing, and pictures read by
// their content.
#include "PixelHelpers.h"
#include "platform/core/Files.h"

#include <QBuffer>
#include <QDir>
#include <gtest/gtest.h>

namespace {

// A 4x4 24-bit bitmap: fuchsia in the bottom-left corner and on the
// diagonal, red elsewhere.
std::unique_ptr<TBitmap> KeyedBitmap() {
    auto b = std::make_unique<TBitmap>(4, 4);
    TCanvas* c = b->Canvas();
    c->Brush().SetColor(clRed);
    c->FillRect(Rect(0, 0, 4, 4));
    for (int i = 0; i < 4; ++i) c->SetPixels(i, i, clFuchsia);
    c->SetPixels(0, 3, clFuchsia);
    return b;
}

uint32_t LE32(const QByteArray& b, int at) {
    return uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8) | (uint8_t(b[at + 2]) << 16) | (uint32_t(uint8_t(b[at + 3])) << 24);
}

} // namespace

TEST(Bitmap, TransparentDrawingLeavesOutTheBottomLeftColour) {
    auto src = KeyedBitmap();
    EXPECT_EQ(src->TransparentColor(), clFuchsia);
    src->SetTransparent(true);
    auto dst = WhiteBitmap(6, 6);
    dst->Canvas()->Brush().SetColor(clBlue);
    dst->Canvas()->FillRect(Rect(0, 0, 6, 6));
    dst->Canvas()->Draw(1, 1, src.get());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool key = x == y || (x == 0 && y == 3);
            EXPECT_EQ(At(*dst, x + 1, y + 1), key ? clBlue : clRed) << x << "," << y;
        }
    // Opaque drawing copies the key colour as well.
    src->SetTransparent(false);
    dst->Canvas()->Draw(1, 1, src.get());
    EXPECT_EQ(At(*dst, 1, 1), clFuchsia);
}

TEST(Bitmap, FixedTransparentColourOverridesTheCorner) {
    auto src = KeyedBitmap();
    src->SetTransparentColor(clRed);
    EXPECT_EQ(src->TransparentMode(), tmFixed);
    src->SetTransparent(true);
    auto dst = WhiteBitmap(4, 4);
    dst->Canvas()->Draw(0, 0, src.get());
    EXPECT_EQ(At(*dst, 1, 0), clWhite);
    EXPECT_EQ(At(*dst, 0, 0), clFuchsia);
}

TEST(Bitmap, BrushCopyReplacesTheKeyColourByTheBrush) {
    auto src = KeyedBitmap();
    auto dst = WhiteBitmap(4, 4);
    dst->Canvas()->Brush().SetColor(clGreen);
    dst->Canvas()->BrushCopy(Rect(0, 0, 4, 4), src.get(), Rect(0, 0, 4, 4), clFuchsia);
    EXPECT_EQ(At(*dst, 2, 2), clGreen);
    EXPECT_EQ(At(*dst, 0, 3), clGreen);
    EXPECT_EQ(At(*dst, 1, 0), clRed);
}

TEST(Bitmap, ScanLinesAreBlueGreenRedInRowOrder) {
    TBitmap b(3, 2);
    b.ScanLine(1)[2] = TRGBQuad{0x30, 0x20, 0x10, 0xFF};
    EXPECT_EQ(b.Canvas()->Pixels(2, 1), RGB(0x10, 0x20, 0x30));
    b.Canvas()->SetPixels(0, 0, RGB(1, 2, 3));
    const TRGBQuad q = b.ScanLine(0)[0];
    EXPECT_EQ(q.rgbRed, 1);
    EXPECT_EQ(q.rgbGreen, 2);
    EXPECT_EQ(q.rgbBlue, 3);
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(Bitmap, ResizingKeepsThePictureAndTheCanvasWorks) {
    TBitmap b(2, 2);
    b.Canvas()->SetPixels(1, 1, clRed);
    b.SetSize(5, 4);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 4);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(4, 3), clWhite);
    b.Canvas()->SetPixels(4, 3, clBlue); // the canvas follows the new image
    EXPECT_EQ(At(b, 4, 3), clBlue);
    b.SetSize(0, 0);
    EXPECT_TRUE(b.Empty());
    b.Canvas()->FillRect(Rect(0, 0, 5, 5)); // harmless on an empty bitmap
    EXPECT_EQ(b.TransparentColor(), clDefault);
}

TEST(Bitmap, AssignCopiesPixelsAndSettings) {
    auto src = KeyedBitmap();
    src->SetTransparent(true);
    TBitmap copy;
    copy.Assign(src.get());
    EXPECT_TRUE(SameImage(copy, *src));
    EXPECT_TRUE(copy.Transparent());
    copy.Canvas()->SetPixels(1, 0, clBlue);
    EXPECT_EQ(At(*src, 1, 0), clRed); // a deep copy
}

TEST(Bitmap, SavesA24BitBmpWithTheFormatsHeader) {
    auto src = KeyedBitmap();
    src->SetSize(3, 2); // 3 pixels of 3 bytes: rows padded to 12 bytes
    const QByteArray bmp = src->SaveToBytes();
    ASSERT_EQ(bmp.size(), 14 + 40 + 2 * 12);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(LE32(bmp, 2), uint32_t(bmp.size()));
    EXPECT_EQ(LE32(bmp, 10), 54u);
    EXPECT_EQ(LE32(bmp, 18), 3u);
    EXPECT_EQ(LE32(bmp, 22), 2u);
    EXPECT_EQ(uint8_t(bmp[28]), 24);
    // Bottom row first: (0,1) is red, stored blue-green-red.
    EXPECT_EQ(bmp.mid(54, 3), QByteArray("\x00\x00\xFF", 3));
    // Top row: (0,0) is fuchsia.
    EXPECT_EQ(bmp.mid(54 + 12, 3), QByteArray("\xFF\x00\xFF", 3));
    TBitmap back;
    back.LoadFromBytes(bmp);
    EXPECT_TRUE(SameImage(back, *src));
    EXPECT_EQ(back.PixelFormat(), pf24bit);
}

TEST(Picture, ReadsEachFormatByItsContent) {
    QImage reference(4, 3, QImage::Format_RGB32);
    reference.fill(qRgb(200, 30, 40));
    auto encode = [&](const char* fmt) {
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        EXPECT_TRUE(reference.save(&buf, fmt, 100)) << fmt;
        return bytes;
    };
    // One red pixel, written by hand: a 2-colour GIF with an LZW stream of
    // clear, index 0, end.
    const QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\x00\x00\x00\x00\x00"
                         ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                         6 + 7 + 6 + 10 + 5 + 1);
    TIcon icon;
    icon.Assign(reference);
    struct Case {
        const char* name;
        QByteArray bytes;
        QSize size;
        QRgb colour;
        int tolerance;
        bool isIcon;
    } cases[] = {
        {"BMP", encode("BMP"), {4, 3}, qRgb(200, 30, 40), 0, false},
        {"PNG", encode("PNG"), {4, 3}, qRgb(200, 30, 40), 0, false},
        {"JPEG", encode("JPEG"), {4, 3}, qRgb(200, 30, 40), 8, false},
        {"GIF", gif, {1, 1}, qRgb(255, 0, 0), 0, false},
        {"ICO", icon.SaveToBytes(), {4, 3}, qRgb(200, 30, 40), 0, true},
    };
    for (const auto& tc : cases) {
        TPicture pic;
        ASSERT_NO_THROW(pic.LoadFromBytes(tc.bytes)) << tc.name;
        EXPECT_EQ(QSize(pic.Width(), pic.Height()), tc.size) << tc.name;
        EXPECT_EQ(pic.Icon() != nullptr, tc.isIcon) << tc.name;
        const QRgb p = pic.Graphic()->ToImage().pixel(0, 0);
        EXPECT_NEAR(qRed(p), qRed(tc.colour), tc.tolerance) << tc.name;
        EXPECT_NEAR(qGreen(p), qGreen(tc.colour), tc.tolerance) << tc.name;
        EXPECT_NEAR(qBlue(p), qBlue(tc.colour), tc.tolerance) << tc.name;
    }
}

TEST(Picture, BadDataRaisesAndKeepsTheOldGraphic) {
    TPicture pic;
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(Qt::red);
    auto b = std::make_unique<TBitmap>();
    b->Assign(img);
    pic.SetGraphic(std::move(b));
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray("hello, world"),
        QByteArray("BM\x10\x00", 4),
        QByteArray("GIF89a\x01\x00", 8),
        QByteArray("\xFF\xD8\xFF\xE0", 4),
        QByteArray("\x00\x00\x01\x00\x01\x00", 6),
    };
    for (const QByteArray& bytes : cases) {
        EXPECT_THROW(pic.LoadFromBytes(bytes), EInvalidGraphic) << bytes.toHex().constData();
        ASSERT_NE(pic.Graphic(), nullptr);
        EXPECT_EQ(pic.Width(), 2);
    }
}

TEST(Picture, FilesAndStreamsLoadAlike) {
    const QString dir = QStringLiteral(KAL_BUILD_DIR) + QStringLiteral("/graphics_test_files");
    ASSERT_TRUE(ForceDirectories(dir));
    auto src = KeyedBitmap();
    const QString path = PathJoin(dir, QStringLiteral("keyed.bmp"));
    src->SaveToFile(path);
    TPicture fromFile;
    fromFile.LoadFromFile(path);
    QByteArray bytes = ReadFileWhole(path);
    QBuffer stream(&bytes);
    TPicture fromStream;
    fromStream.LoadFromStream(stream);
    EXPECT_TRUE(SameImage(*fromFile.Bitmap(), *src));
    EXPECT_TRUE(SameImage(*fromStream.Bitmap(), *src));
    TPicture missing;
    EXPECT_THROW(missing.LoadFromFile(PathJoin(dir, QStringLiteral("none.bmp"))), EFOpenError);
}

TEST(Bitmap, DrawingWithOpacityMixesWithTheDestination) {
    TBitmap src(2, 2);
    src.Canvas()->Brush().SetColor(RGB(200, 200, 200));
    src.Canvas()->FillRect(Rect(0, 0, 2, 2));
    auto dst = WhiteBitmap(2, 2);
    dst->Canvas()->Brush().SetColor(RGB(100, 100, 100));
    dst->Canvas()->FillRect(Rect(0, 0, 2, 2));
    dst->Canvas()->Draw(0, 0, &src, 128);
    EXPECT_NEAR(GetRValue(At(*dst, 1, 1)), 150, 1);
    dst->Canvas()->Draw(0, 0, &src); // fully opaque afterwards again
    EXPECT_EQ(At(*dst, 1, 1), RGB(200, 200, 200));
}
