// PNG reading: chunks, zlib inflate, row filters, pixel conversion.
#include "platform/graphics/PngReader.h"
#include "platform/graphics/Graphics.h"

#include <zlib.h>

#include <array>
#include <cstring>

namespace {

constexpr unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
// Refuse pictures that could not be meant for this program before any
// allocation: a damaged header must not ask for gigabytes.
constexpr int64_t kMaxPixels = int64_t(1) << 26;

enum ColourType { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

struct Header {
    uint32_t Width = 0;
    uint32_t Height = 0;
    int BitDepth = 0;
    int ColourType = 0;
    int Interlace = 0;
};

[[noreturn]] void Fail(const QString& why) {
    throw EInvalidGraphic(QStringLiteral("The PNG picture is damaged or incomplete: %1").arg(why));
}

uint32_t BE32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

bool ReadHeader(const QByteArray& bytes, Header& h) {
    // Signature, then the IHDR chunk: length 13, type, 13 bytes.
    if (bytes.size() < 8 + 8 + 13) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + 8;
    if (BE32(p) != 13 || std::memcmp(p + 4, "IHDR", 4) != 0) return false;
    p += 8;
    h.Width = BE32(p);
    h.Height = BE32(p + 4);
    h.BitDepth = p[8];
    h.ColourType = p[9];
    h.Interlace = p[12];
    return true;
}

int Channels(int colourType) {
    switch (colourType) {
    case Grey: return 1;
    case Rgb: return 3;
    case Palette: return 1;
    case GreyAlpha: return 2;
    case Rgba: return 4;
    default: return 0;
    }
}

bool Handled(const Header& h) {
    if (h.Interlace != 0) return false;
    if (h.ColourType == Palette) return h.BitDepth == 1 || h.BitDepth == 2 || h.BitDepth == 4 || h.BitDepth == 8;
    return h.BitDepth == 8 && (h.ColourType == Grey || h.ColourType == Rgb || h.ColourType == Rgba);
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    if (pb <= pc) return b;
    return c;
}

// Undoes the row filters in place; `bpp` is the filter's byte distance.
void Unfilter(unsigned char* data, size_t rowBytes, uint32_t rows, int bpp) {
    unsigned char* prev = nullptr;
    for (uint32_t y = 0; y < rows; ++y) {
        unsigned char* line = data + size_t(y) * (rowBytes + 1);
        const int filter = line[0];
        unsigned char* cur = line + 1;
        for (size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= size_t(bpp) ? cur[i - bpp] : 0;
            const int b = prev ? prev[i] : 0;
            const int c = (prev && i >= size_t(bpp)) ? prev[i - bpp] : 0;
            int v = cur[i];
            switch (filter) {
            case 0: break;
            case 1: v += a; break;
            case 2: v += b; break;
            case 3: v += (a + b) / 2; break;
            case 4: v += Paeth(a, b, c); break;
            default: Fail(QStringLiteral("unknown row filter %1").arg(filter));
            }
            cur[i] = static_cast<unsigned char>(v);
        }
        prev = cur;
    }
}

QByteArray Inflate(const QByteArray& in, size_t expected) {
    QByteArray out(qsizetype(expected), '\0');
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK) Fail(QStringLiteral("cannot start inflating"));
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    zs.avail_in = uInt(in.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(expected);
    const int rc = inflate(&zs, Z_FINISH);
    const size_t produced = expected - zs.avail_out;
    inflateEnd(&zs);
    // Extra data after the picture's bytes is tolerated; too few is not.
    if (produced < expected || (rc != Z_STREAM_END && rc != Z_BUF_ERROR && rc != Z_OK))
        Fail(QStringLiteral("the compressed data ends early"));
    return out;
}

} // namespace

bool IsPng(const QByteArray& bytes) {
    return bytes.size() >= 8 && std::memcmp(bytes.constData(), kSignature, 8) == 0;
}

bool PngKindSupported(const QByteArray& bytes) {
    Header h;
    // A header we cannot even read is ours to report as damaged.
    if (!IsPng(bytes) || !ReadHeader(bytes, h)) return true;
    return Handled(h);
}

QImage DecodePng(const QByteArray& bytes) {
    if (!IsPng(bytes)) Fail(QStringLiteral("no PNG signature"));
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const size_t size = size_t(bytes.size());

    Header h;
    bool haveHeader = false, haveEnd = false;
    std::array<QRgb, 256> palette{};
    int paletteSize = 0;
    bool hasGreyKey = false, hasRgbKey = false;
    int greyKey = 0, keyR = 0, keyG = 0, keyB = 0;
    QByteArray idat;

    size_t pos = 8;
    while (pos < size) {
        if (size - pos < 12) Fail(QStringLiteral("a chunk is cut short"));
        const uint32_t len = BE32(data + pos);
        if (len > 0x7FFFFFFFu || size - pos - 12 < len) Fail(QStringLiteral("a chunk is cut short"));
        const unsigned char* type = data + pos + 4;
        const unsigned char* body = data + pos + 8;
        const uint32_t crc = BE32(body + len);
        if (uint32_t(crc32(crc32(0L, nullptr, 0), type, uInt(len + 4))) != crc)
            Fail(QStringLiteral("checksum mismatch in chunk %1").arg(QString::fromLatin1(reinterpret_cast<const char*>(type), 4)));
        pos += 12 + size_t(len);

        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (haveHeader || len != 13) Fail(QStringLiteral("bad header chunk"));
            h.Width = BE32(body);
            h.Height = BE32(body + 4);
            h.BitDepth = body[8];
            h.ColourType = body[9];
            if (body[10] != 0 || body[11] != 0) Fail(QStringLiteral("unknown compression or filter method"));
            h.Interlace = body[12];
            haveHeader = true;
        } else if (!haveHeader) {
            Fail(QStringLiteral("the header chunk is missing"));
        } else if (std::memcmp(type, "PLTE", 4) == 0) {
            if (len % 3 != 0 || len / 3 > 256) Fail(QStringLiteral("bad palette"));
            paletteSize = int(len / 3);
            for (int i = 0; i < paletteSize; ++i) palette[size_t(i)] = qRgb(body[3 * i], body[3 * i + 1], body[3 * i + 2]);
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            if (h.ColourType == Palette) {
                for (uint32_t i = 0; i < len && i < 256; ++i)
                    palette[i] = (palette[i] & 0x00FFFFFFu) | (uint32_t(body[i]) << 24);
            } else if (h.ColourType == Grey && len >= 2) {
                hasGreyKey = true;
                greyKey = (body[0] << 8) | body[1];
            } else if (h.ColourType == Rgb && len >= 6) {
                hasRgbKey = true;
                keyR = (body[0] << 8) | body[1];
                keyG = (body[2] << 8) | body[3];
                keyB = (body[4] << 8) | body[5];
            }
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            idat.append(reinterpret_cast<const char*>(body), qsizetype(len));
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            haveEnd = true;
            break;
        }
    }
    if (!haveHeader) Fail(QStringLiteral("the header chunk is missing"));
    if (!haveEnd) Fail(QStringLiteral("the file ends before its end chunk"));
    if (idat.isEmpty()) Fail(QStringLiteral("there is no picture data"));
    if (!Handled(h)) throw EInvalidGraphic(QStringLiteral("This kind of PNG picture is not supported"));
    if (h.Width == 0 || h.Height == 0 || int64_t(h.Width) * h.Height > kMaxPixels)
        Fail(QStringLiteral("the picture's size is not acceptable"));
    if (h.ColourType == Palette && paletteSize == 0) Fail(QStringLiteral("the palette is missing"));

    const int bitsPerPixel = Channels(h.ColourType) * h.BitDepth;
    const size_t rowBytes = (size_t(h.Width) * bitsPerPixel + 7) / 8;
    // Deflate cannot shrink data by more than about 1032 to 1: a header that
    // claims more than the compressed bytes can hold is refused before the
    // buffer is allocated.
    if ((rowBytes + 1) * h.Height > size_t(idat.size()) * 1032 + 1024)
        Fail(QStringLiteral("the compressed data ends early"));
    QByteArray raw = Inflate(idat, (rowBytes + 1) * h.Height);
    auto* rows = reinterpret_cast<unsigned char*>(raw.data());
    Unfilter(rows, rowBytes, h.Height, std::max(1, bitsPerPixel / 8));

    QImage img(int(h.Width), int(h.Height), QImage::Format_ARGB32);
    if (img.isNull()) Fail(QStringLiteral("the picture's size is not acceptable"));
    for (uint32_t y = 0; y < h.Height; ++y) {
        const unsigned char* src = rows + size_t(y) * (rowBytes + 1) + 1;
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(int(y)));
        for (uint32_t x = 0; x < h.Width; ++x) {
            switch (h.ColourType) {
            case Grey: {
                const int g = src[x];
                out[x] = qRgba(g, g, g, hasGreyKey && g == greyKey ? 0 : 255);
                break;
            }
            case Rgb: {
                const int r = src[3 * x], g = src[3 * x + 1], b = src[3 * x + 2];
                out[x] = qRgba(r, g, b, hasRgbKey && r == keyR && g == keyG && b == keyB ? 0 : 255);
                break;
            }
            case Rgba: out[x] = qRgba(src[4 * x], src[4 * x + 1], src[4 * x + 2], src[4 * x + 3]); break;
            default: { // palette, 1..8 bits, the leftmost pixel in the high bits
                const size_t bit = size_t(x) * h.BitDepth;
                const int shift = 8 - h.BitDepth - int(bit % 8);
                const int idx = (src[bit / 8] >> shift) & ((1 << h.BitDepth) - 1);
                if (idx >= paletteSize) Fail(QStringLiteral("a pixel names a colour the palette lacks"));
                out[x] = palette[size_t(idx)];
                break;
            }
            }
        }
    }
    return img;
}
