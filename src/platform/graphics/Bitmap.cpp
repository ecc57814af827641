// Graphics: bitmaps (24/32-bit, row access, transparency), icons, pictures
// and reading the picture formats by their content.
#include "platform/graphics/Graphics.h"
#include "platform/graphics/Resources.h"
#include "platform/graphics/PngReader.h"
#include "platform/core/Files.h"

#include <QBuffer>
#include <QIODevice>
#include <QImageReader>
#include <QPainter>

namespace {

void PutLE16(QByteArray& b, int v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void PutLE32(QByteArray& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

// BITMAPINFOHEADER followed by the rows bottom-up; `heightField` lets the
// icon writer double the height as its format wants.
void PutDib(QByteArray& out, const QImage& img, bool alpha, int heightField) {
    const int w = img.width(), h = img.height();
    const int bpp = alpha ? 32 : 24;
    const int stride = ((w * bpp / 8) + 3) & ~3;
    PutLE32(out, 40);
    PutLE32(out, uint32_t(w));
    PutLE32(out, uint32_t(heightField));
    PutLE16(out, 1);
    PutLE16(out, bpp);
    PutLE32(out, 0); // BI_RGB
    PutLE32(out, uint32_t(stride * h));
    PutLE32(out, 3780); // 96 dpi in pixels per metre
    PutLE32(out, 3780);
    PutLE32(out, 0);
    PutLE32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        const qsizetype start = out.size();
        for (int x = 0; x < w; ++x) {
            out.append(char(qBlue(row[x])));
            out.append(char(qGreen(row[x])));
            out.append(char(qRed(row[x])));
            if (alpha) out.append(char(qAlpha(row[x])));
        }
        while (out.size() - start < stride) out.append('\0');
    }
}

QImage ReadWithToolkit(const QByteArray& bytes, const char* format) {
    QImage img;
    if (!img.loadFromData(bytes, format) || img.isNull())
        throw EInvalidGraphic(QStringLiteral("The %1 picture is damaged or incomplete").arg(QLatin1String(format)));
    return img;
}

// The largest image of the best depth an icon file holds.
QImage ReadIcon(const QByteArray& bytes) {
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf, "ICO");
    QImage best;
    const int n = std::max(1, reader.imageCount());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        QImage img = reader.read();
        if (img.isNull()) continue;
        const bool better = best.isNull() || img.width() * img.height() > best.width() * best.height() ||
                            (img.width() * img.height() == best.width() * best.height() && img.depth() > best.depth());
        if (better) best = img;
    }
    if (best.isNull()) throw EInvalidGraphic(QStringLiteral("The ICO picture is damaged or incomplete"));
    return best;
}

bool StartsWith(const QByteArray& b, const char* magic, int n) {
    return b.size() >= n && std::memcmp(b.constData(), magic, size_t(n)) == 0;
}

bool IsIcon(const QByteArray& b) { return StartsWith(b, "\0\0\1\0", 4); }

QByteArray ReadStream(QIODevice& stream) {
    if (!stream.isOpen() && !stream.open(QIODevice::ReadOnly))
        throw EReadError(QStringLiteral("Stream read error"));
    return stream.readAll();
}

} // namespace

QImage DecodePicture(const QByteArray& bytes) {
    if (IsPng(bytes)) return PngKindSupported(bytes) ? DecodePng(bytes) : ReadWithToolkit(bytes, "PNG");
    if (StartsWith(bytes, "BM", 2)) return ReadWithToolkit(bytes, "BMP");
    if (StartsWith(bytes, "\xFF\xD8\xFF", 3)) return ReadWithToolkit(bytes, "JPEG");
    if (StartsWith(bytes, "GIF87a", 6) || StartsWith(bytes, "GIF89a", 6)) return ReadWithToolkit(bytes, "GIF");
    if (IsIcon(bytes)) return ReadIcon(bytes);
    throw EInvalidGraphic(QStringLiteral("Unknown picture file format"));
}

// --- TGraphic --------------------------------------------------------------

void TGraphic::Changed() {
    if (OnChange) OnChange(nullptr);
}

void TGraphic::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    Changed();
}

void TGraphic::Draw(TCanvas* canvas, const TRect& r) {
    QPainter* p = canvas ? canvas->Painter() : nullptr;
    if (!p || Empty() || r.IsEmpty()) return;
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), ToImage());
}

void TGraphic::LoadFromFile(const QString& path) { LoadFromBytes(ReadFileWhole(path)); }

void TGraphic::LoadFromStream(QIODevice& stream) { LoadFromBytes(ReadStream(stream)); }

void TGraphic::SaveToFile(const QString& path) const { WriteFileWhole(path, SaveToBytes()); }

// --- TBitmap ---------------------------------------------------------------

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int w, int h, TPixelFormat pf) : FPixelFormat(pf == pf32bit ? pf32bit : pf24bit) { SetSize(w, h); }

TBitmap::~TBitmap() { FCanvas.reset(); }

int TBitmap::Width() const { return FImage.width(); }
int TBitmap::Height() const { return FImage.height(); }
bool TBitmap::Empty() const { return FImage.isNull() || FImage.width() == 0 || FImage.height() == 0; }

void TBitmap::SetWidth(int w) { SetSize(w, Height()); }
void TBitmap::SetHeight(int h) { SetSize(Width(), h); }

void TBitmap::DetachCanvas() {
    if (FCanvas) FCanvas->Detach();
}

void TBitmap::ReattachCanvas() {
    if (FCanvas && !FImage.isNull()) FCanvas->Attach(&FImage);
}

void TBitmap::SetSize(int w, int h) {
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == Width() && h == Height()) return;
    DetachCanvas();
    if (w == 0 || h == 0) {
        FImage = QImage();
    } else {
        const QImage::Format fmt = FPixelFormat == pf32bit ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        QImage img(w, h, fmt);
        if (img.isNull()) throw EOutOfResources(QStringLiteral("Out of system resources"));
        img.fill(FPixelFormat == pf32bit ? 0u : 0xFFFFFFFFu);
        // The old picture stays in the top-left corner.
        if (!FImage.isNull()) {
            QPainter p(&img);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, FImage);
        }
        FImage = img;
    }
    ReattachCanvas();
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat pf) {
    const TPixelFormat want = pf == pf32bit ? pf32bit : pf24bit;
    if (want == FPixelFormat) return;
    DetachCanvas();
    FPixelFormat = want;
    if (!FImage.isNull())
        FImage = FImage.convertToFormat(want == pf32bit ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    ReattachCanvas();
    Changed();
}

TRGBQuad* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= Height()) throw EInvalidGraphicOperation(QStringLiteral("Scan line index out of range"));
    return reinterpret_cast<TRGBQuad*>(FImage.scanLine(y));
}

const TRGBQuad* TBitmap::ScanLine(int y) const {
    if (y < 0 || y >= Height()) throw EInvalidGraphicOperation(QStringLiteral("Scan line index out of range"));
    return reinterpret_cast<const TRGBQuad*>(FImage.constScanLine(y));
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TCanvas>();
        ReattachCanvas();
    }
    return FCanvas.get();
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed) return FTransparentColor;
    if (Empty()) return clDefault;
    const QRgb p = FImage.pixel(0, Height() - 1);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

void TBitmap::SetTransparentColor(TColor c) {
    FTransparentColor = c;
    FTransparentMode = c == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode m) {
    if (m == FTransparentMode) return;
    if (m == tmFixed) FTransparentColor = TransparentColor();
    FTransparentMode = m;
    Changed();
}

void TBitmap::Assign(const TGraphic* src) {
    if (src == this) return;
    DetachCanvas();
    if (!src) {
        FImage = QImage();
    } else if (auto* b = dynamic_cast<const TBitmap*>(src)) {
        FPixelFormat = b->FPixelFormat;
        FImage = b->FImage.copy();
        FTransparentMode = b->FTransparentMode;
        FTransparentColor = b->FTransparentColor;
        FTransparent = b->FTransparent;
    } else {
        FPixelFormat = pf32bit;
        FImage = src->ToImage().convertToFormat(QImage::Format_ARGB32);
        FTransparent = src->Transparent();
    }
    ReattachCanvas();
    Changed();
}

void TBitmap::Assign(const QImage& img) {
    DetachCanvas();
    if (img.isNull()) {
        FImage = QImage();
    } else if (img.hasAlphaChannel()) {
        FPixelFormat = pf32bit;
        FImage = img.convertToFormat(QImage::Format_ARGB32);
    } else {
        FPixelFormat = pf24bit;
        FImage = img.convertToFormat(QImage::Format_RGB32);
    }
    ReattachCanvas();
    Changed();
}

QImage TBitmap::ToImage() const {
    if (FImage.isNull()) return QImage();
    return FImage.convertToFormat(QImage::Format_ARGB32);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
    QPainter* p = canvas ? canvas->Painter() : nullptr;
    if (!p || Empty() || r.IsEmpty()) return;
    const QRect target(r.Left, r.Top, r.Width(), r.Height());
    if (Transparent()) {
        // The transparent colour's pixels are left out.
        const QRgb key = ColorToQColor(TransparentColor()).rgb() & 0xFFFFFF;
        QImage img = FImage.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < img.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
        }
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->drawImage(target, img);
        return;
    }
    // A 24-bit bitmap covers its rectangle; a 32-bit one is drawn over by
    // its alpha.
    p->setCompositionMode(FPixelFormat == pf32bit || p->opacity() < 1.0 ? QPainter::CompositionMode_SourceOver
                                                                        : QPainter::CompositionMode_Source);
    p->drawImage(target, FImage);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TBitmap::LoadFromBytes(const QByteArray& bytes) { Assign(DecodePicture(bytes)); }

QByteArray TBitmap::SaveToBytes() const {
    if (Empty()) throw EInvalidGraphicOperation(QStringLiteral("Cannot save an empty bitmap"));
    const bool alpha = FPixelFormat == pf32bit;
    QByteArray dib;
    PutDib(dib, FImage, alpha, FImage.height());
    QByteArray out;
    out.append("BM", 2);
    PutLE32(out, uint32_t(14 + dib.size()));
    PutLE32(out, 0);
    PutLE32(out, 14 + 40);
    out.append(dib);
    return out;
}

// --- TIcon -----------------------------------------------------------------

void TIcon::SetSize(int w, int h) {
    if (w <= 0 || h <= 0) {
        FImage = QImage();
    } else {
        FImage = QImage(w, h, QImage::Format_ARGB32);
        FImage.fill(0u);
    }
    Changed();
}

void TIcon::Assign(const QImage& img) {
    FImage = img.isNull() ? QImage() : img.convertToFormat(QImage::Format_ARGB32);
    Changed();
}

void TIcon::LoadFromBytes(const QByteArray& bytes) {
    if (!IsIcon(bytes)) throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    Assign(ReadIcon(bytes));
}

QByteArray TIcon::SaveToBytes() const {
    if (Empty()) throw EInvalidGraphicOperation(QStringLiteral("Cannot save an empty icon"));
    const int w = FImage.width(), h = FImage.height();
    QByteArray dib;
    PutDib(dib, FImage, true, h * 2);
    const int maskStride = ((w + 31) / 32) * 4;
    dib.append(QByteArray(maskStride * h, '\0')); // the AND mask: alpha decides
    QByteArray out;
    PutLE16(out, 0);
    PutLE16(out, 1);
    PutLE16(out, 1);
    out.append(char(w >= 256 ? 0 : w));
    out.append(char(h >= 256 ? 0 : h));
    out.append('\0');
    out.append('\0');
    PutLE16(out, 1);
    PutLE16(out, 32);
    PutLE32(out, uint32_t(dib.size()));
    PutLE32(out, 6 + 16);
    out.append(dib);
    return out;
}

// --- TPicture --------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(std::unique_ptr<TGraphic> g) {
    FGraphic = std::move(g);
    if (OnChange) OnChange(nullptr);
}

TBitmap* TPicture::Bitmap() {
    if (auto* b = dynamic_cast<TBitmap*>(FGraphic.get())) return b;
    auto b = std::make_unique<TBitmap>();
    if (FGraphic) b->Assign(FGraphic.get());
    TBitmap* raw = b.get();
    SetGraphic(std::move(b));
    return raw;
}

TIcon* TPicture::Icon() const { return dynamic_cast<TIcon*>(FGraphic.get()); }

void TPicture::LoadFromBytes(const QByteArray& bytes) {
    std::unique_ptr<TGraphic> g;
    if (IsIcon(bytes)) g = std::make_unique<TIcon>();
    else g = std::make_unique<TBitmap>();
    g->LoadFromBytes(bytes); // raises before the old graphic is replaced
    SetGraphic(std::move(g));
}

void TPicture::LoadFromFile(const QString& path) {
    // "RES://NAME" is one of the program's own registered resources.
    if (path.startsWith(QStringLiteral("RES://"), Qt::CaseInsensitive)) {
        LoadResourcePicture(this, path);
        return;
    }
    LoadFromBytes(ReadFileWhole(path));
}

void TPicture::LoadFromStream(QIODevice& stream) { LoadFromBytes(ReadStream(stream)); }

void TPicture::SaveToFile(const QString& path) const {
    if (!FGraphic) throw EInvalidGraphicOperation(QStringLiteral("Cannot save an empty picture"));
    FGraphic->SaveToFile(path);
}

void TPicture::Assign(const TPicture* src) {
    if (src == this) return;
    if (!src || !src->FGraphic) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* ic = dynamic_cast<const TIcon*>(src->FGraphic.get())) {
        auto n = std::make_unique<TIcon>();
        n->Assign(ic->Image());
        SetGraphic(std::move(n));
    } else {
        auto n = std::make_unique<TBitmap>();
        n->Assign(src->FGraphic.get());
        SetGraphic(std::move(n));
    }
}
