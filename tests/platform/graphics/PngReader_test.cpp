// The PNG reader against pictures this test writes itself: every kind the
// reader handles, every row filter, transparency chunks, and damaged files.
#include "platform/graphics/PngReader.h"
#include "PixelHelpers.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

void PutBE32(QByteArray& b, uint32_t v) {
    for (int i = 3; i >= 0; --i) b.append(char((v >> (8 * i)) & 0xFF));
}

void PutChunk(QByteArray& out, const char* type, const QByteArray& body) {
    PutBE32(out, uint32_t(body.size()));
    QByteArray tb(type, 4);
    tb.append(body);
    out.append(tb);
    PutBE32(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(tb.constData()), uInt(tb.size()))));
}

int PaethPredictor(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

// Filters raw rows with filter (row index mod 5), so every filter is used.
QByteArray FilterRows(const std::vector<QByteArray>& rows, int bpp) {
    QByteArray out;
    QByteArray prev(rows.empty() ? 0 : rows[0].size(), '\0');
    for (size_t y = 0; y < rows.size(); ++y) {
        const QByteArray& cur = rows[y];
        const int f = int(y % 5);
        out.append(char(f));
        for (int i = 0; i < cur.size(); ++i) {
            const int x = uint8_t(cur[i]);
            const int a = i >= bpp ? uint8_t(cur[i - bpp]) : 0;
            const int b = uint8_t(prev[i]);
            const int c = i >= bpp ? uint8_t(prev[i - bpp]) : 0;
            int pred = 0;
            switch (f) {
            case 1: pred = a; break;
            case 2: pred = b; break;
            case 3: pred = (a + b) / 2; break;
            case 4: pred = PaethPredictor(a, b, c); break;
            default: break;
            }
            out.append(char((x - pred) & 0xFF));
        }
        prev = cur;
    }
    return out;
}

struct PngSpec {
    int width, height, depth, colourType;
    std::vector<QByteArray> rows; // unfiltered
    QByteArray plte, trns;
    int interlace = 0;
};

QByteArray WritePng(const PngSpec& s, int bpp) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr;
    PutBE32(ihdr, uint32_t(s.width));
    PutBE32(ihdr, uint32_t(s.height));
    ihdr.append(char(s.depth)).append(char(s.colourType)).append('\0').append('\0').append(char(s.interlace));
    PutChunk(png, "IHDR", ihdr);
    if (!s.plte.isEmpty()) PutChunk(png, "PLTE", s.plte);
    if (!s.trns.isEmpty()) PutChunk(png, "tRNS", s.trns);
    const QByteArray filtered = FilterRows(s.rows, bpp);
    uLongf len = compressBound(uLong(filtered.size()));
    QByteArray z(int(len), '\0');
    compress(reinterpret_cast<Bytef*>(z.data()), &len, reinterpret_cast<const Bytef*>(filtered.constData()),
             uLong(filtered.size()));
    z.truncate(int(len));
    // Split the data over two IDAT chunks: the reader must join them.
    PutChunk(png, "IDAT", z.left(z.size() / 2));
    PutChunk(png, "IDAT", z.mid(z.size() / 2));
    PutChunk(png, "IEND", QByteArray());
    return png;
}

// A picture with varied pixels so every filter has something to predict.
QRgb Source(int x, int y) {
    return qRgba((x * 37 + y * 11) & 0xFF, (x * 5 + y * 71) & 0xFF, (x * y * 13 + 7) & 0xFF, (x * 29 + y * 3) & 0xFF);
}

constexpr int kW = 13, kH = 11;

} // namespace

TEST(PngReader, DecodesEachSupportedKindToTheOriginalPixels) {
    struct Kind {
        const char* name;
        int colourType, channels;
        std::function<QRgb(QRgb)> expect; // what the original pixel decodes to
    } kinds[] = {
        {"grey", 0, 1, [](QRgb p) { return qRgba(qRed(p), qRed(p), qRed(p), 255); }},
        {"rgb", 2, 3, [](QRgb p) { return qRgba(qRed(p), qGreen(p), qBlue(p), 255); }},
        {"rgba", 6, 4, [](QRgb p) { return p; }},
    };
    for (const auto& k : kinds) {
        PngSpec s{kW, kH, 8, k.colourType, {}, {}, {}};
        for (int y = 0; y < kH; ++y) {
            QByteArray row;
            for (int x = 0; x < kW; ++x) {
                const QRgb p = Source(x, y);
                const int ch[4] = {qRed(p), qGreen(p), qBlue(p), qAlpha(p)};
                for (int c = 0; c < k.channels; ++c) row.append(char(ch[c]));
            }
            s.rows.push_back(row);
        }
        const QByteArray png = WritePng(s, k.channels);
        ASSERT_TRUE(PngKindSupported(png)) << k.name;
        const QImage img = DecodePng(png);
        ASSERT_EQ(img.size(), QSize(kW, kH)) << k.name;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                ASSERT_EQ(img.pixel(x, y), k.expect(Source(x, y))) << k.name << " " << x << "," << y;
    }
}

TEST(PngReader, DecodesPalettesOfEveryBitDepthWithTheirTransparency) {
    for (int depth : {1, 2, 4, 8}) {
        const int colours = 1 << std::min(depth, 4);
        PngSpec s{kW, kH, depth, 3, {}, {}, {}};
        std::vector<QRgb> pal;
        for (int i = 0; i < colours; ++i) {
            pal.push_back(qRgba(i * 16, 255 - i * 8, i * 3, i == 1 ? 0 : 255));
            s.plte.append(char(qRed(pal.back()))).append(char(qGreen(pal.back()))).append(char(qBlue(pal.back())));
        }
        s.trns = QByteArray("\xFF\x00", 2); // index 1 transparent, the rest opaque
        auto index = [&](int x, int y) { return (x + 3 * y) % colours; };
        for (int y = 0; y < kH; ++y) {
            QByteArray row((kW * depth + 7) / 8, '\0');
            for (int x = 0; x < kW; ++x) {
                const int bit = x * depth;
                row[bit / 8] = char(uint8_t(row[bit / 8]) | (index(x, y) << (8 - depth - bit % 8)));
            }
            s.rows.push_back(row);
        }
        const QImage img = DecodePng(WritePng(s, 1));
        ASSERT_EQ(img.size(), QSize(kW, kH)) << depth;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) ASSERT_EQ(img.pixel(x, y), pal[size_t(index(x, y))]) << depth << " " << x << "," << y;
    }
}

TEST(PngReader, ColourKeyMakesMatchingPixelsTransparent) {
    PngSpec s{2, 1, 8, 2, {QByteArray("\x10\x20\x30\x01\x02\x03", 6)}, {}, QByteArray("\x00\x10\x00\x20\x00\x30", 6)};
    const QImage img = DecodePng(WritePng(s, 3));
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
    EXPECT_EQ(img.pixel(1, 0), qRgba(1, 2, 3, 255));
}

TEST(PngReader, TruncatedOrDamagedFilesRaise) {
    PngSpec s{kW, kH, 8, 2, {}, {}, {}};
    for (int y = 0; y < kH; ++y) s.rows.push_back(QByteArray(kW * 3, char(y * 20)));
    const QByteArray good = WritePng(s, 3);
    ASSERT_NO_THROW(DecodePng(good));
    // Every cut, from inside the signature to just before the end.
    for (int cut = 1; cut < good.size(); ++cut)
        EXPECT_THROW(DecodePicture(good.left(cut)), EInvalidGraphic) << cut;
    QByteArray badCrc = good;
    badCrc[40] = char(badCrc[40] ^ 0x55); // inside the first IDAT
    EXPECT_THROW(DecodePng(badCrc), EInvalidGraphic);
    PngSpec f = s;
    // A picture whose data is too short for its header's size.
    f.height = kH + 5;
    EXPECT_THROW(DecodePng(WritePng(f, 3)), EInvalidGraphic);
}

TEST(PngReader, AbsurdSizesAreRefusedBeforeAllocating) {
    PngSpec s{1, 1, 8, 0, {QByteArray(1, '\0')}, {}, {}};
    QByteArray png = WritePng(s, 1);
    // Rewrite the header to claim 100000 x 100000 (with a fresh checksum).
    QByteArray ihdr;
    PutBE32(ihdr, 100000);
    PutBE32(ihdr, 100000);
    ihdr.append('\x08').append('\0').append('\0').append('\0').append('\0');
    QByteArray fixed("\x89PNG\r\n\x1a\n", 8);
    PutChunk(fixed, "IHDR", ihdr);
    fixed.append(png.mid(8 + 25));
    EXPECT_THROW(DecodePng(fixed), EInvalidGraphic);
}

TEST(PngReader, OtherKindsGoToTheToolkit) {
    struct Case {
        const char* name;
        QImage::Format format;
    } cases[] = {{"16-bit grey", QImage::Format_Grayscale16}, {"16-bit rgba", QImage::Format_RGBA64}};
    for (const auto& tc : cases) {
        QImage src(5, 4, QImage::Format_ARGB32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) src.setPixel(x, y, qRgba(x * 50, y * 60, 90, 255));
        src = src.convertToFormat(tc.format);
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        ASSERT_TRUE(src.save(&buf, "PNG")) << tc.name;
        EXPECT_FALSE(PngKindSupported(bytes)) << tc.name;
        EXPECT_THROW(DecodePng(bytes), EInvalidGraphic) << tc.name;
        const QImage img = DecodePicture(bytes);
        EXPECT_EQ(img.size(), QSize(5, 4)) << tc.name;
        EXPECT_EQ(img.convertToFormat(QImage::Format_ARGB32).pixel(3, 2),
                  src.convertToFormat(QImage::Format_ARGB32).pixel(3, 2)) << tc.name;
    }
}
