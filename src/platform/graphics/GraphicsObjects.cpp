// Font, pen and brush: plain values with one change notification per change.
#include "platform/graphics/Graphics.h"

#include <QFontMetrics>
#include <cmath>

namespace {

// a * b / c rounded to nearest, halves away from zero, as the platform's MulDiv.
int RoundedMulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t num = int64_t(a) * b;
    int64_t q = num / c;
    const int64_t rem = num % c;
    if (2 * std::llabs(rem) >= std::llabs(int64_t(c))) q += ((num < 0) != (c < 0)) ? -1 : 1;
    return int(q);
}

} // namespace

void TGraphicsObject::Changed() {
    ++FVersion;
    if (OnChange) OnChange(this);
}

// --- TFont -----------------------------------------------------------------

TFont::TFont() = default;

TFont::TFont(const TFont& other) : TGraphicsObject() { Assign(other); }

TFont& TFont::operator=(const TFont& other) {
    Assign(other);
    return *this;
}

void TFont::SetName(const QString& v) {
    if (v == FName || v.isEmpty()) return;
    FName = v;
    Changed();
}

int TFont::Size() const { return -RoundedMulDiv(FHeight, 72, PixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-RoundedMulDiv(points, PixelsPerInch(), 72)); }

void TFont::SetHeight(int pixels) {
    if (pixels == FHeight) return;
    FHeight = pixels;
    Changed();
}

void TFont::SetStyle(TFontStyles v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

void TFont::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Changed();
}

void TFont::SetOrientation(int v) {
    if (v == FOrientation) return;
    FOrientation = v;
    Changed();
}

void TFont::SetPitch(TFontPitch v) {
    if (v == FPitch) return;
    FPitch = v;
    Changed();
}

void TFont::SetCharset(int v) {
    if (v == FCharset) return;
    FCharset = v;
    Changed();
}

void TFont::SetQuality(TFontQuality v) {
    if (v == FQuality) return;
    FQuality = v;
    Changed();
}

bool TFont::SameAs(const TFont& o) const {
    return FName == o.FName && FHeight == o.FHeight && FStyle == o.FStyle && FColor == o.FColor &&
           FOrientation == o.FOrientation && FPitch == o.FPitch && FCharset == o.FCharset &&
           FQuality == o.FQuality;
}

void TFont::Assign(const TFont& src) {
    if (&src == this || SameAs(src)) return;
    FName = src.FName;
    FHeight = src.FHeight;
    FStyle = src.FStyle;
    FColor = src.FColor;
    FOrientation = src.FOrientation;
    FPitch = src.FPitch;
    FCharset = src.FCharset;
    FQuality = src.FQuality;
    Changed();
}

QFont TFont::ToQFont() const {
    if (FQFontVersion == Version()) return FQFont;
    QFont f(FName);
    f.setStyleHint(FPitch == fpFixed ? QFont::Monospace : QFont::SansSerif);
    f.setFixedPitch(FPitch == fpFixed);
    f.setBold(FStyle & fsBold);
    f.setItalic(FStyle & fsItalic);
    f.setUnderline(FStyle & fsUnderline);
    f.setStrikeOut(FStyle & fsStrikeOut);
    f.setKerning(false);
    // Text is measured and placed by each character's own advance, as the
    // platform does: no kerning, no ligatures. Glyphs are drawn without
    // antialiasing, in whole pixels of the text colour, unless the font asks
    // for smoothing.
    QFont::StyleStrategy strategy = QFont::PreferNoShaping;
    if (FQuality != fqAntialiased && FQuality != fqClearType)
        strategy = QFont::StyleStrategy(strategy | QFont::NoAntialias);
    f.setStyleStrategy(strategy);
    if (FHeight < 0) {
        f.setPixelSize(-FHeight);
    } else if (FHeight > 0) {
        // A positive height is the whole cell: scale the em size so that
        // ascent + descent comes to it.
        f.setPixelSize(100);
        const QFontMetrics m(f);
        const int cell = std::max(1, m.ascent() + m.descent());
        f.setPixelSize(std::max(1, int(std::lround(FHeight * 100.0 / cell))));
    } else {
        f.setPixelSize(11); // the platform's default height
    }
    FQFont = f;
    FQFontVersion = Version();
    return FQFont;
}

// --- TPen ------------------------------------------------------------------

TPen::TPen(const TPen& other) : TGraphicsObject() { Assign(other); }

TPen& TPen::operator=(const TPen& other) {
    Assign(other);
    return *this;
}

void TPen::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Changed();
}

void TPen::SetWidth(int v) {
    if (v == FWidth) return;
    FWidth = v;
    Changed();
}

void TPen::SetStyle(TPenStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

void TPen::SetMode(TPenMode v) {
    if (v == FMode) return;
    FMode = v;
    Changed();
}

void TPen::Assign(const TPen& src) {
    if (&src == this) return;
    if (FColor == src.FColor && FWidth == src.FWidth && FStyle == src.FStyle && FMode == src.FMode) return;
    FColor = src.FColor;
    FWidth = src.FWidth;
    FStyle = src.FStyle;
    FMode = src.FMode;
    Changed();
}

// --- TBrush ----------------------------------------------------------------

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

TBrush::TBrush(const TBrush& other) : TGraphicsObject() { Assign(other); }

TBrush& TBrush::operator=(const TBrush& other) {
    Assign(other);
    return *this;
}

void TBrush::SetColor(TColor v) {
    if (v == FColor && FStyle != bsClear) return;
    FColor = v;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

void TBrush::SetBitmap(const TBitmap* bmp) {
    if (!bmp) {
        if (!FBitmap) return;
        FBitmap.reset();
    } else {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(bmp);
        FBitmap = std::move(copy);
    }
    Changed();
}

void TBrush::Assign(const TBrush& src) {
    if (&src == this) return;
    FColor = src.FColor;
    FStyle = src.FStyle;
    if (src.FBitmap) {
        FBitmap = std::make_unique<TBitmap>();
        FBitmap->Assign(src.FBitmap.get());
    } else {
        FBitmap.reset();
    }
    Changed();
}
