// Moving pixels: drawing graphics, copying between canvases with raster
// operations, stretching and alpha blending.
#include "platform/graphics/Graphics.h"

#include <QPainter>

namespace {

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// The platform's rounding of a blended channel.
inline int Div255(int v) { return (v + 127) / 255; }

} // namespace

uint8_t Rop3(uint8_t code, uint8_t p, uint8_t s, uint8_t d) {
    // The code's bit i is the result for pattern, source and destination
    // bits (i >> 2, i >> 1, i) & 1: OR together the minterms it selects.
    unsigned r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!((code >> i) & 1)) continue;
        const unsigned tp = (i & 4) ? p : unsigned(~p);
        const unsigned ts = (i & 2) ? s : unsigned(~s);
        const unsigned td = (i & 1) ? d : unsigned(~d);
        r |= tp & ts & td;
    }
    return uint8_t(r);
}

namespace {

// All four bytes go through the operation, as on a 32-bit bitmap; a 24-bit
// destination (opaque) stays opaque.
QRgb Rop3Pixel(uint8_t code, QRgb p, QRgb s, QRgb d, bool opaque) {
    return qRgba(Rop3(code, uint8_t(qRed(p)), uint8_t(qRed(s)), uint8_t(qRed(d))),
                 Rop3(code, uint8_t(qGreen(p)), uint8_t(qGreen(s)), uint8_t(qGreen(d))),
                 Rop3(code, uint8_t(qBlue(p)), uint8_t(qBlue(s)), uint8_t(qBlue(d))),
                 opaque ? 255 : Rop3(code, uint8_t(qAlpha(p)), uint8_t(qAlpha(s)), uint8_t(qAlpha(d))));
}

} // namespace

// The source canvas's pixels under a logical rectangle; only bitmaps can be
// read back.
QImage TCanvas::SourceImage(TCanvas* src, const QRect& logical, bool& ok) const {
    ok = src && src->FImage && !src->FImage->isNull();
    if (!ok) return QImage();
    const QRect dev = logical.translated(-src->FWindowOrg.X, -src->FWindowOrg.Y);
    QImage img = src->FImage->copy(dev.translated(src->FDevOrg));
    if (img.format() != QImage::Format_ARGB32 && img.format() != QImage::Format_RGB32)
        img = img.convertToFormat(QImage::Format_RGB32);
    return img;
}

// Puts `src` (already at the destination's size) at `dest` under the raster
// operation.
void TCanvas::BlitImage(const QRect& dest, const QImage& src, uint32_t rop) {
    if (!FPainter || dest.isEmpty()) return;
    QPainter::CompositionMode mode = QPainter::CompositionMode_Source;
    switch (rop) {
    case BLACKNESS: FPainter->fillRect(dest, Qt::black); return;
    case WHITENESS: FPainter->fillRect(dest, Qt::white); return;
    case DSTINVERT:
        FPainter->setCompositionMode(QPainter::RasterOp_NotDestination);
        FPainter->fillRect(dest, Qt::black);
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    case PATCOPY:
    case PATINVERT:
        SyncBkFromBrush();
        FPainter->setCompositionMode(rop == PATCOPY ? QPainter::CompositionMode_SourceOver
                                                    : QPainter::RasterOp_SourceXorDestination);
        FPainter->fillRect(dest, PatternBrush());
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    case SRCCOPY: break;
    case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; break;
    case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; break;
    case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; break;
    case SRCERASE: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case NOTSRCCOPY: mode = QPainter::RasterOp_NotSource; break;
    case NOTSRCERASE: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case MERGEPAINT: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    default: {
        // Any other operation is worked out per pixel against the brush
        // colour and the destination, which must be a bitmap.
        if (!FImage) return;
        const QRect dev = dest.translated(-FWindowOrg.X, -FWindowOrg.Y);
        QImage d = FImage->copy(dev.translated(FDevOrg)).convertToFormat(QImage::Format_ARGB32);
        const QImage sc = src.isNull() ? QImage() : src.convertToFormat(QImage::Format_ARGB32);
        const QRgb pat = ColorToQColor(FBrush.Color()).rgb();
        const uint8_t code = uint8_t((rop >> 16) & 0xFF);
        const bool opaque = !FImage->hasAlphaChannel();
        for (int y = 0; y < d.height(); ++y) {
            auto* drow = reinterpret_cast<QRgb*>(d.scanLine(y));
            const auto* srow = sc.isNull() || y >= sc.height() ? nullptr : reinterpret_cast<const QRgb*>(sc.constScanLine(y));
            for (int x = 0; x < d.width(); ++x)
                drow[x] = Rop3Pixel(code, pat, srow && x < sc.width() ? srow[x] : 0u, drow[x], opaque);
        }
        FPainter->setCompositionMode(QPainter::CompositionMode_Source);
        FPainter->drawImage(dest.topLeft(), d);
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    }
    QImage s = src;
    if (mode != QPainter::CompositionMode_Source && s.format() != QImage::Format_RGB32) {
        s = s.convertToFormat(QImage::Format_RGB32);
    }
    FPainter->setCompositionMode(mode);
    FPainter->drawImage(dest.topLeft(), s);
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* src, const TRect& source) {
    StretchBlt(this, dest.Left, dest.Top, dest.Width(), dest.Height(), src, source.Left, source.Top,
               source.Width(), source.Height(), FCopyMode);
}

bool BitBlt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, uint32_t rop) {
    return StretchBlt(dest, x, y, w, h, src, sx, sy, w, h, rop);
}

bool StretchBlt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, int sw, int sh,
                uint32_t rop) {
    if (!dest || !dest->FPainter || w == 0 || h == 0) return false;
    dest->Changing();
    // An operation whose result does not depend on the source reads none.
    const uint8_t code = uint8_t((rop >> 16) & 0xFF);
    const bool needsSource = ((code >> 2) & 0x33) != (code & 0x33);
    QImage img;
    if (needsSource) {
        bool ok = false;
        img = dest->SourceImage(src, QRect(std::min(sx, sx + sw), std::min(sy, sy + sh), std::abs(sw), std::abs(sh)),
                                ok);
        if (!ok || img.isNull()) return false;
        // A negative extent on one side only mirrors the picture.
        const bool flipX = (w < 0) != (sw < 0), flipY = (h < 0) != (sh < 0);
        if (flipX || flipY) img = img.mirrored(flipX, flipY);
        if (img.width() != std::abs(w) || img.height() != std::abs(h))
            img = img.scaled(std::abs(w), std::abs(h), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    const QRect d(std::min(x, x + w), std::min(y, y + h), std::abs(w), std::abs(h));
    dest->BlitImage(d, img, rop);
    dest->Changed();
    return true;
}

void AlphaBlend(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend) {
    if (!dest || !dest->FPainter || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
    bool ok = false;
    QImage s = dest->SourceImage(src, QRect(sx, sy, sw, sh), ok);
    if (!ok) return;
    if (s.width() != w || s.height() != h) s = s.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    s = s.convertToFormat(QImage::Format_ARGB32);
    const bool perPixel = blend.AlphaFormat & AC_SRC_ALPHA;
    const int sca = blend.SourceConstantAlpha;
    dest->Changing();
    if (!dest->FImage) {
        // A window cannot be read back: let the painter blend.
        // The source's bytes are already premultiplied as the platform wants;
        // without per-pixel alpha it counts as opaque.
        QImage pre(s.size(), QImage::Format_ARGB32_Premultiplied);
        for (int yy = 0; yy < s.height(); ++yy) {
            const auto* in = reinterpret_cast<const QRgb*>(s.constScanLine(yy));
            auto* out = reinterpret_cast<QRgb*>(pre.scanLine(yy));
            for (int xx = 0; xx < s.width(); ++xx) out[xx] = perPixel ? in[xx] : (in[xx] | 0xFF000000u);
        }
        dest->FPainter->setOpacity(sca / 255.0);
        dest->FPainter->drawImage(QPoint(x, y), pre);
        dest->FPainter->setOpacity(1.0);
        dest->Changed();
        return;
    }
    // Blend against the destination's pixels, then put the result in place
    // through the painter so the clip holds.
    const QRect dev = QRect(x, y, w, h).translated(-dest->FWindowOrg.X, -dest->FWindowOrg.Y);
    QImage d = dest->FImage->copy(dev.translated(dest->FDevOrg)).convertToFormat(QImage::Format_ARGB32);
    for (int yy = 0; yy < h; ++yy) {
        const auto* in = reinterpret_cast<const QRgb*>(s.constScanLine(yy));
        auto* out = reinterpret_cast<QRgb*>(d.scanLine(yy));
        for (int xx = 0; xx < w; ++xx) {
            const QRgb sp = in[xx], dp = out[xx];
            if (!perPixel) {
                out[xx] = qRgba(Div255(qRed(sp) * sca + qRed(dp) * (255 - sca)),
                                Div255(qGreen(sp) * sca + qGreen(dp) * (255 - sca)),
                                Div255(qBlue(sp) * sca + qBlue(dp) * (255 - sca)),
                                Div255(255 * sca + qAlpha(dp) * (255 - sca)));
            } else {
                // The source is premultiplied: Dst = Src*k + Dst*(1 - SrcA*k).
                const int sa = Div255(qAlpha(sp) * sca);
                auto ch = [&](int sc, int dc) { return std::min(255, Div255(sc * sca) + Div255(dc * (255 - sa))); };
                out[xx] = qRgba(ch(qRed(sp), qRed(dp)), ch(qGreen(sp), qGreen(dp)), ch(qBlue(sp), qBlue(dp)),
                                std::min(255, sa + Div255(qAlpha(dp) * (255 - sa))));
            }
        }
    }
    dest->FPainter->setCompositionMode(QPainter::CompositionMode_Source);
    dest->FPainter->drawImage(QPoint(x, y), d);
    dest->FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    dest->Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* g) {
    if (!g || g->Empty()) return;
    if (Mapped() && FPainter) {
        TTextSpace space(this);
        Draw(x, -y, g);
        return;
    }
    g->Draw(this, Bounds(x, y, g->Width(), g->Height()));
}

void TCanvas::Draw(int x, int y, TGraphic* g, uint8_t opacity) {
    if (!FPainter || !g || g->Empty()) return;
    FPainter->setOpacity(opacity / 255.0);
    g->Draw(this, Bounds(x, y, g->Width(), g->Height()));
    FPainter->setOpacity(1.0);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* g) {
    if (!g || g->Empty()) return;
    if (Mapped() && FPainter) {
        const TRect u = Upright(r);
        TTextSpace space(this);
        StretchDraw(TRect(std::min(u.Left, u.Right), std::min(u.Top, u.Bottom), std::max(u.Left, u.Right),
                          std::max(u.Top, u.Bottom)),
                    g);
        return;
    }
    g->Draw(this, r);
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* src, const TRect& source, TColor key) {
    if (!FPainter || !src || src->Empty() || dest.IsEmpty()) return;
    Changing();
    QImage img = src->Image().copy(ToQRect(source)).convertToFormat(QImage::Format_RGB32);
    const QRgb k = ColorToQColor(key).rgb() & 0xFFFFFF;
    const QRgb b = ColorToQColor(FBrush.Color()).rgb();
    for (int yy = 0; yy < img.height(); ++yy) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(yy));
        for (int xx = 0; xx < img.width(); ++xx)
            if ((row[xx] & 0xFFFFFF) == k) row[xx] = b;
    }
    if (img.width() != dest.Width() || img.height() != dest.Height())
        img = img.scaled(dest.Width(), dest.Height(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    BlitImage(ToQRect(dest), img, SRCCOPY);
    Changed();
}

bool MaskBlt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, TBitmap* mask, int mx, int my,
             uint32_t rop) {
    if (!dest || !dest->FPainter || !dest->FImage || w <= 0 || h <= 0) return false;
    bool ok = false;
    const QImage s = dest->SourceImage(src, QRect(sx, sy, w, h), ok);
    if (!ok) return false;
    const QRect dev = QRect(x, y, w, h).translated(-dest->FWindowOrg.X, -dest->FWindowOrg.Y);
    QImage d = dest->FImage->copy(dev.translated(dest->FDevOrg)).convertToFormat(QImage::Format_ARGB32);
    const QImage sc = s.convertToFormat(QImage::Format_ARGB32);
    const QImage m = mask && !mask->Empty() ? mask->Image().copy(mx, my, w, h).convertToFormat(QImage::Format_RGB32)
                                            : QImage();
    const uint8_t fore = uint8_t((rop >> 16) & 0xFF), back = uint8_t((rop >> 24) & 0xFF);
    const QRgb pat = ColorToQColor(dest->FBrush.Color()).rgb();
    const bool opaque = !dest->FImage->hasAlphaChannel();
    dest->Changing();
    for (int yy = 0; yy < h; ++yy) {
        auto* drow = reinterpret_cast<QRgb*>(d.scanLine(yy));
        const auto* srow = reinterpret_cast<const QRgb*>(sc.constScanLine(yy));
        const auto* mrow = m.isNull() ? nullptr : reinterpret_cast<const QRgb*>(m.constScanLine(yy));
        for (int xx = 0; xx < w; ++xx) {
            const bool set = !mrow || (mrow[xx] & 0xFFFFFF) != 0;
            drow[xx] = Rop3Pixel(set ? fore : back, pat, srow[xx], drow[xx], opaque);
        }
    }
    dest->FPainter->setCompositionMode(QPainter::CompositionMode_Source);
    dest->FPainter->drawImage(QPoint(x, y), d);
    dest->FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    dest->Changed();
    return true;
}
