// Image lists: equally sized images with masks, drawn plain, blended,
// greyed or with an overlay.
#include "platform/graphics/ImageList.h"

#include <QPainter>

namespace {

QImage Cell(const QImage& strip, int index, int w, int h) {
    QImage cell(w, h, QImage::Format_ARGB32);
    cell.fill(0u);
    QPainter p(&cell);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), strip, QRect(index * w, 0, w, h));
    return cell;
}

// The grey of a disabled image: its luminance, lifted towards the face
// colour so it reads as inactive.
QRgb Grey(QRgb c) {
    const int l = (qRed(c) * 30 + qGreen(c) * 59 + qBlue(c) * 11) / 100;
    const int g = 96 + l * 5 / 8;
    return qRgba(g, g, g, qAlpha(c));
}

QRgb Mix(QRgb c, const QColor& with, int percent) {
    auto m = [&](int a, int b) { return (a * (100 - percent) + b * percent) / 100; };
    return qRgba(m(qRed(c), with.red()), m(qGreen(c), with.green()), m(qBlue(c), with.blue()), qAlpha(c));
}

} // namespace

TImageList::TImageList() { std::fill(std::begin(FOverlays), std::end(FOverlays), -1); }

TImageList::TImageList(int width, int height) : TImageList() {
    FWidth = std::max(0, width);
    FHeight = std::max(0, height);
}

TImageList::~TImageList() = default;

void TImageList::Changed() {
    if (OnChange) OnChange(nullptr);
}

void TImageList::SetWidth(int w) { SetSize(w, FHeight); }
void TImageList::SetHeight(int h) { SetSize(FWidth, h); }

void TImageList::SetSize(int w, int h) {
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == FWidth && h == FHeight) return;
    FWidth = w;
    FHeight = h;
    Clear();
}

int TImageList::Add(TBitmap* image, TBitmap* mask) {
    if (!image || image->Empty() || IsSizeless()) return -1;
    const QImage src = image->ToImage();
    const QImage m = mask && !mask->Empty() ? mask->ToImage() : QImage();
    const int n = std::max(1, src.width() / FWidth);
    const int first = Count();
    for (int i = 0; i < n; ++i) {
        QImage cell = Cell(src, i, FWidth, FHeight);
        if (!m.isNull()) {
            // Non-black mask pixels are transparent.
            const QImage mc = Cell(m, i, FWidth, FHeight);
            for (int y = 0; y < FHeight; ++y) {
                auto* row = reinterpret_cast<QRgb*>(cell.scanLine(y));
                const auto* mrow = reinterpret_cast<const QRgb*>(mc.constScanLine(y));
                for (int x = 0; x < FWidth; ++x)
                    if (mrow[x] & 0xFFFFFF) row[x] = 0;
            }
        }
        FImages.push_back(cell);
    }
    Changed();
    return first;
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor) {
    if (!image || image->Empty() || IsSizeless()) return -1;
    QImage src = image->ToImage();
    const QRgb key = maskColor == clDefault ? (src.pixel(0, 0) & 0xFFFFFF) : (ColorToQColor(maskColor).rgb() & 0xFFFFFF);
    for (int y = 0; y < src.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(src.scanLine(y));
        for (int x = 0; x < src.width(); ++x)
            if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
    }
    const int n = std::max(1, src.width() / FWidth);
    const int first = Count();
    for (int i = 0; i < n; ++i) FImages.push_back(Cell(src, i, FWidth, FHeight));
    Changed();
    return first;
}

int TImageList::AddImage(const QImage& image) {
    if (image.isNull() || IsSizeless()) return -1;
    FImages.push_back(Cell(image.convertToFormat(QImage::Format_ARGB32), 0, FWidth, FHeight));
    Changed();
    return Count() - 1;
}

void TImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
    if (index < 0 || index >= Count()) throw EInvalidOperation(QStringLiteral("Invalid ImageList Index"));
    TImageList tmp(FWidth, FHeight);
    if (tmp.Add(image, mask) < 0) return;
    FImages[size_t(index)] = tmp.FImages[0];
    Changed();
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= Count()) throw EInvalidOperation(QStringLiteral("Invalid ImageList Index"));
    FImages.erase(FImages.begin() + index);
    Changed();
}

void TImageList::Clear() {
    FImages.clear();
    std::fill(std::begin(FOverlays), std::end(FOverlays), -1);
    Changed();
}

bool TImageList::Overlay(int index, int overlay) {
    if (overlay < 0 || overlay >= 15 || index < 0 || index >= Count()) return false;
    FOverlays[overlay] = index;
    return true;
}

QImage TImageList::ImageAt(int index) const {
    if (index < 0 || index >= Count()) return QImage();
    return FImages[size_t(index)];
}

QImage TImageList::MaskAt(int index) const {
    if (index < 0 || index >= Count()) return QImage();
    const QImage& img = FImages[size_t(index)];
    QImage m(img.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uchar* out = m.scanLine(y);
        for (int x = 0; x < img.width(); ++x) out[x] = qAlpha(row[x]) < 128 ? 255 : 0;
    }
    return m;
}

void TImageList::GetBitmap(int index, TBitmap* dest) const {
    if (!dest) return;
    dest->Assign(ImageAt(index));
}

QImage TImageList::Prepare(int index, unsigned ildFlags, bool enabled, TColor blend) const {
    QImage img = FImages[size_t(index)];
    if (ildFlags & ILD_MASK) {
        // The mask itself: black where the image shows, white elsewhere.
        for (int y = 0; y < img.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) row[x] = qAlpha(row[x]) < 128 ? 0xFFFFFFFFu : 0xFF000000u;
        }
        return img;
    }
    const int percent = (ildFlags & ILD_BLEND50) ? 50 : (ildFlags & ILD_BLEND25) ? 25 : 0;
    const QColor with = ColorToQColor(blend == clDefault || blend == clNone ? clHighlight : blend);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if (!enabled) row[x] = Grey(row[x]);
            if (percent) row[x] = Mix(row[x], with, percent);
        }
    }
    return img;
}

void TImageList::DrawEx(TCanvas* canvas, int x, int y, int index, unsigned ildFlags, TColor blend) {
    DrawImpl(canvas, x, y, index, ildFlags, blend, true);
}

void TImageList::DrawImpl(TCanvas* canvas, int x, int y, int index, unsigned ildFlags, TColor blend, bool enabled) {
    QPainter* p = canvas ? canvas->Painter() : nullptr;
    if (!p || index < 0 || index >= Count()) return;
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    // A background colour fills the cell unless the drawing is transparent.
    if (!(ildFlags & ILD_TRANSPARENT) && !(ildFlags & ILD_MASK) && FBkColor != clNone)
        p->fillRect(QRect(x, y, FWidth, FHeight), ColorToQColor(FBkColor));
    p->drawImage(QPoint(x, y), Prepare(index, ildFlags, enabled, blend == clDefault ? FBlendColor : blend));
    const unsigned overlay = (ildFlags & ILD_OVERLAYMASK) >> 8;
    if (overlay >= 1 && overlay <= 15) {
        const int oi = FOverlays[overlay - 1];
        if (oi >= 0 && oi < Count())
            p->drawImage(QPoint(x, y), Prepare(oi, ildFlags & ~ILD_OVERLAYMASK, enabled, blend));
    }
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
                      bool enabled) {
    unsigned flags = 0;
    switch (style) {
    case dsFocus: flags = ILD_FOCUS; break;
    case dsSelected: flags = ILD_SELECTED; break;
    case dsTransparent: flags = ILD_TRANSPARENT; break;
    default: flags = FBkColor == clNone ? ILD_TRANSPARENT : ILD_NORMAL; break;
    }
    if (type == itMask) flags |= ILD_MASK;
    DrawImpl(canvas, x, y, index, flags, clDefault, enabled);
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
    Draw(canvas, x, y, index, FDrawingStyle, FImageType, enabled);
}

void TImageList::DrawOverlay(TCanvas* canvas, int x, int y, int index, int overlay, bool enabled) {
    if (overlay < 0 || overlay >= 15) return Draw(canvas, x, y, index, enabled);
    unsigned flags = FBkColor == clNone ? ILD_TRANSPARENT : ILD_NORMAL;
    if (FDrawingStyle == dsFocus) flags |= ILD_FOCUS;
    if (FDrawingStyle == dsSelected) flags |= ILD_SELECTED;
    DrawImpl(canvas, x, y, index, flags | INDEXTOOVERLAYMASK(unsigned(overlay + 1)), clDefault, enabled);
}
