// The canvas: the platform's drawing rules over QPainter.
//
// Coordinates: the painter works in logical coordinates; the window origin
// maps logical (org) to device (0,0). Clip regions are kept in device
// coordinates, as the platform's regions are.
#include "platform/graphics/Graphics.h"
#include "platform/graphics/TextWidths.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <cmath>

struct TCanvas::SavedState {
    TFont Font;
    TPen Pen;
    TBrush Brush;
    TPoint PenPos;
    TCopyMode CopyMode;
    int BkMode;
    TColor BkColor;
    uint64_t BkBrushVersion;
    int PolyFillMode;
    TPoint WindowOrg;
    TPoint BrushOrigin;
    bool HasClip;
    QRegion Clip;
};

namespace {

// 8x8 hatch patterns, one byte a row, the top bit the leftmost pixel.
constexpr uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00}, // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF, 0x08}, // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
};

// Dash lengths of the styled 1-pixel pens: on, off, on, off ...
QList<qreal> DashPattern(TPenStyle s) {
    switch (s) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    case psAlternate: return {1, 1};
    default: return {};
    }
}

QPainter::CompositionMode Rop2Mode(TPenMode m) {
    switch (m) {
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

QRect Normalized(int x1, int y1, int x2, int y2) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    return QRect(x1, y1, x2 - x1, y2 - y1);
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

constexpr TColor kInvalidColor = -1;

} // namespace

// --- life cycle ------------------------------------------------------------

TCanvas::TCanvas() = default;

TCanvas::TCanvas(QPaintDevice* device) { Attach(device); }

TCanvas::~TCanvas() {
    Detach();
    delete FBaseTransform;
}

void TCanvas::Attach(QPaintDevice* device) {
    Detach();
    if (!device) return;
    if (device->devType() == QInternal::Image && static_cast<QImage*>(device)->isNull()) return;
    auto* p = new QPainter;
    if (!p->begin(device)) {
        delete p;
        return;
    }
    FPainter = p;
    FOwnsPainter = true;
    SetUpPainter();
}

void TCanvas::Attach(QPainter* painter) {
    Detach();
    if (!painter || !painter->isActive()) return;
    FPainter = painter;
    FOwnsPainter = false;
    painter->save();
    // The outside painter's coordinates at this moment are the canvas's
    // device coordinates; what it clips to stays the outer bound of our clip.
    FHasBaseClip = painter->hasClipping();
    if (FHasBaseClip) FBaseClip = painter->clipRegion();
    delete FBaseTransform;
    FBaseTransform = new QTransform(painter->transform());
    SetUpPainter();
}

void TCanvas::AttachWindow(QImage* surface, TPoint origin, TSize size, const QRegion& clip) {
    Detach();
    if (!surface || surface->isNull()) return;
    auto* p = new QPainter;
    if (!p->begin(surface)) {
        delete p;
        return;
    }
    FPainter = p;
    FOwnsPainter = true;
    FDevOrg = QPoint(origin.X, origin.Y);
    FDevSize = QSize(std::max(0, size.cx), std::max(0, size.cy));
    FHasBaseClip = true;
    FBaseClip = clip.intersected(QRect(QPoint(0, 0), FDevSize));
    delete FBaseTransform;
    FBaseTransform = new QTransform(QTransform::fromTranslate(origin.X, origin.Y));
    SetUpPainter();
}

void TCanvas::Detach() {
    FMapMode = MM_TEXT;
    FUpright = false;
    FMapScale = 1.0;
    FDevOrg = QPoint();
    FDevSize = QSize();
    if (!FPainter) return;
    if (FOwnsPainter) {
        FPainter->end();
        delete FPainter;
    } else {
        FPainter->restore();
    }
    FPainter = nullptr;
    FImage = nullptr;
    FOwnsPainter = false;
    FHasBaseClip = false;
    FBaseClip = QRegion();
    delete FBaseTransform;
    FBaseTransform = nullptr;
    FPainterFontVersion = 0;
}

QPaintDevice* TCanvas::Device() const { return FPainter ? FPainter->device() : nullptr; }

QImage* TCanvas::Image() const { return FImage; }

void TCanvas::SetUpPainter() {
    QPaintDevice* dev = FPainter->device();
    FImage = dev && dev->devType() == QInternal::Image ? static_cast<QImage*>(dev) : nullptr;
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    FPainter->setRenderHint(QPainter::TextAntialiasing, false);
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    FPainter->setOpacity(1.0);
    FPainterFontVersion = 0;
    ApplyTransform();
    ApplyClip();
}

QTransform TCanvas::LogicalTransform() const {
    QTransform t = QTransform::fromTranslate(-FWindowOrg.X, -FWindowOrg.Y);
    if (FMapMode != MM_LOMETRIC) return t;
    if (FUpright)
        // (x, y) -> mapped (Ox + x k, Oy - y k) -> device.
        return QTransform::fromScale(FUpScale, FUpScale) *
               QTransform::fromTranslate(FUpOrigin.X - FWindowOrg.X, FWindowOrg.Y - FUpOrigin.Y) *
               QTransform::fromScale(FMapScale, FMapScale);
    if (FInTextSpace)
        return QTransform::fromTranslate(-FWindowOrg.X, FWindowOrg.Y) * QTransform::fromScale(FMapScale, FMapScale);
    return t * QTransform::fromScale(FMapScale, -FMapScale);
}

void TCanvas::ApplyTransform() {
    if (!FPainter) return;
    QTransform t = LogicalTransform();
    if (FBaseTransform) t = t * *FBaseTransform;
    FPainter->setTransform(t);
    FPainter->setBrushOrigin(QPointF(FBrushOrigin.X + FWindowOrg.X, FBrushOrigin.Y + FWindowOrg.Y));
}

void TCanvas::ApplyClip() {
    if (!FPainter) return;
    const QTransform t = FPainter->transform();
    FPainter->resetTransform();
    if (FHasClip || FHasBaseClip) {
        QRegion r = FHasClip ? FClip : FBaseClip;
        if (FHasClip && FHasBaseClip) r &= FBaseClip;
        if (FBaseTransform) r = r * *FBaseTransform;
        FPainter->setClipRegion(r);
    } else {
        FPainter->setClipping(false);
    }
    FPainter->setTransform(t);
}

// --- mapping -----------------------------------------------------------------


TPoint TCanvas::LPtoDP(TPoint logical) const {
    if (FMapMode != MM_LOMETRIC) return {logical.X - FWindowOrg.X, logical.Y - FWindowOrg.Y};
    if (FUpright) {
        const QPointF d = LogicalTransform().map(QPointF(logical.X, logical.Y));
        return {int(std::lround(d.x())), int(std::lround(d.y()))};
    }
    return {int(std::lround((logical.X - FWindowOrg.X) * FMapScale)),
            int(std::lround(-(logical.Y - FWindowOrg.Y) * FMapScale))};
}

TPoint TCanvas::DPtoLP(TPoint device) const {
    if (FMapMode != MM_LOMETRIC) return {device.X + FWindowOrg.X, device.Y + FWindowOrg.Y};
    if (FUpright) {
        const QPointF l = LogicalTransform().inverted().map(QPointF(device.X, device.Y));
        return {int(std::lround(l.x())), int(std::lround(l.y()))};
    }
    return {int(std::lround(device.X / FMapScale)) + FWindowOrg.X, FWindowOrg.Y - int(std::lround(device.Y / FMapScale))};
}

int TCanvas::SetMapMode(int mode) {
    const int old = FMapMode;
    if (mode != MM_TEXT && mode != MM_LOMETRIC) return 0;
    FMapMode = mode;
    FUpright = false;
    FMapScale = 1.0;
    if (mode == MM_LOMETRIC) {
        const QPaintDevice* d = Device();
        const int dpi = d ? d->logicalDpiX() : 96;
        FMapScale = (dpi > 0 ? dpi : 96) / 254.0;
    }
    ApplyTransform();
    return old;
}

void TCanvas::BeginUprightSpace(TPoint Origin, double Scale) {
    if (FMapMode != MM_LOMETRIC || !(Scale > 0)) return;
    FUpright = true;
    FUpOrigin = Origin;
    FUpScale = Scale;
    FPainterFontVersion = 0;
    ApplyTransform();
}

void TCanvas::EndUprightSpace() {
    if (!FUpright) return;
    FUpright = false;
    FPainterFontVersion = 0;
    ApplyTransform();
}

QRect TCanvas::LogicalToDevice(int l, int t, int r, int b) const {
    const TPoint a = LPtoDP(TPoint(l, t)), z = LPtoDP(TPoint(r, b));
    return Normalized(a.X, a.Y, z.X, z.Y);
}

QRect TCanvas::DeviceBounds() const {
    QPaintDevice* d = Device();
    if (!d) return QRect();
    if (FDevSize.isValid()) return QRect(QPoint(0, 0), FDevSize);
    return QRect(0, 0, d->width(), d->height());
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(nullptr);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(nullptr);
}

// --- pen and brush -------------------------------------------------------

bool TCanvas::PenVisible() const { return FPen.Style() != psClear && FPen.Mode() != pmNop; }

bool TCanvas::BrushVisible() const { return FBrush.Style() != bsClear || FBrush.Bitmap() != nullptr; }

// The pen mode governs every pixel a shape paints, outline and fill.
bool TCanvas::SetRop2() {
    if (FPen.Mode() == pmNop) return false;
    FPainter->setCompositionMode(Rop2Mode(FPen.Mode()));
    return true;
}

QColor TCanvas::RopColor(TColor c) const {
    switch (FPen.Mode()) {
    case pmBlack: return QColor(0, 0, 0);
    case pmWhite: return QColor(255, 255, 255);
    case pmNotCopy: {
        const QColor q = ColorToQColor(c);
        return QColor(255 - q.red(), 255 - q.green(), 255 - q.blue());
    }
    default: return ColorToQColor(c);
    }
}

QBrush TCanvas::PatternBrush() const {
    if (const TBitmap* bmp = FBrush.Bitmap(); bmp && !bmp->Empty()) {
        const QImage& img = bmp->Image();
        return QBrush(img.copy(0, 0, std::min(8, img.width()), std::min(8, img.height())));
    }
    const QColor c = ColorToQColor(FBrush.Color());
    if (FBrush.Style() == bsSolid || FBrush.Style() == bsClear) return QBrush(c);
    // Hatches: lines in the brush colour, the gaps in the background colour
    // when the background is opaque, untouched otherwise.
    QImage pattern(8, 8, QImage::Format_ARGB32);
    const QRgb back = FBkMode == OPAQUE ? ColorToQColor(FBkColor).rgb() : qRgba(0, 0, 0, 0);
    const uint8_t* rows = kHatches[FBrush.Style() - bsHorizontal];
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) pattern.setPixel(x, y, (rows[y] & (0x80 >> x)) ? c.rgb() : back);
    return QBrush(pattern);
}

QBrush TCanvas::ShapeBrush() const {
    if (FBrush.Style() == bsSolid && !FBrush.Bitmap()) return QBrush(RopColor(FBrush.Color()));
    return PatternBrush();
}

QPen TCanvas::ShapePen() const {
    const int w = std::max(1, FPen.Width());
    QPen p(RopColor(FPen.Color()));
    if (w == 1) {
        p.setWidth(0); // cosmetic: one pixel, the end point left out
        p.setCapStyle(Qt::FlatCap);
        p.setJoinStyle(Qt::MiterJoin);
        const QList<qreal> dashes = DashPattern(FPen.Style());
        if (!dashes.isEmpty()) p.setDashPattern(dashes);
    } else {
        // Wide pens are centred on the line with round ends, as the
        // platform's geometric pens.
        p.setWidth(w);
        p.setCapStyle(Qt::RoundCap);
        p.setJoinStyle(Qt::RoundJoin);
    }
    return p;
}

void TCanvas::FillWithBrush(const QRect& r, const QBrush& b) {
    if (r.isEmpty()) return;
    FPainter->fillRect(r, b);
}

// --- state -----------------------------------------------------------------

void TCanvas::SyncBkFromBrush() {
    if (FBkBrushVersion == FBrush.Version()) return;
    FBkBrushVersion = FBrush.Version();
    if (FBrush.Style() == bsSolid) {
        FBkMode = OPAQUE;
        FBkColor = FBrush.Color();
    } else {
        // Clear and hatched brushes leave the background alone; the
        // background colour is the brush's inverse so hatches stay visible
        // when a caller switches to opaque.
        FBkMode = TRANSPARENT;
        FBkColor = ~ColorToRGB(FBrush.Color()) & 0x00FFFFFF;
    }
}

int TCanvas::SetBkMode(int mode) {
    SyncBkFromBrush();
    const int old = FBkMode;
    FBkMode = mode == TRANSPARENT ? TRANSPARENT : OPAQUE;
    return old;
}

TColor TCanvas::SetBkColor(TColor c) {
    SyncBkFromBrush();
    const TColor old = FBkColor;
    FBkColor = c;
    return old;
}

int TCanvas::SetPolyFillMode(int mode) {
    const int old = FPolyFillMode;
    FPolyFillMode = mode == WINDING ? WINDING : ALTERNATE;
    return old;
}

int TCanvas::SaveState() {
    SyncBkFromBrush();
    auto s = std::make_unique<SavedState>();
    s->Font.Assign(FFont);
    s->Pen.Assign(FPen);
    s->Brush.Assign(FBrush);
    s->PenPos = FPenPos;
    s->CopyMode = FCopyMode;
    s->BkMode = FBkMode;
    s->BkColor = FBkColor;
    s->BkBrushVersion = FBkBrushVersion;
    s->PolyFillMode = FPolyFillMode;
    s->WindowOrg = FWindowOrg;
    s->BrushOrigin = FBrushOrigin;
    s->HasClip = FHasClip;
    s->Clip = FClip;
    FSaved.push_back(std::move(s));
    return int(FSaved.size());
}

bool TCanvas::RestoreState(int saved) {
    if (FSaved.empty()) return false;
    if (saved < 0) saved = int(FSaved.size()) + 1 + saved;
    if (saved < 1 || saved > int(FSaved.size())) return false;
    std::unique_ptr<SavedState> s = std::move(FSaved[saved - 1]);
    FSaved.resize(saved - 1);
    FFont.Assign(s->Font);
    FPen.Assign(s->Pen);
    FBrush.Assign(s->Brush);
    FPenPos = s->PenPos;
    FCopyMode = s->CopyMode;
    FBkMode = s->BkMode;
    FBkColor = s->BkColor;
    FBkBrushVersion = FBrush.Version(); // the restored brush already matches the background
    FPolyFillMode = s->PolyFillMode;
    FWindowOrg = s->WindowOrg;
    FBrushOrigin = s->BrushOrigin;
    FHasClip = s->HasClip;
    FClip = s->Clip;
    ApplyTransform();
    ApplyClip();
    return true;
}

TPoint TCanvas::SetWindowOrg(int x, int y) {
    const TPoint old = FWindowOrg;
    FWindowOrg = TPoint(x, y);
    ApplyTransform();
    ApplyClip();
    return old;
}

TPoint TCanvas::SetBrushOrigin(int x, int y) {
    const TPoint old = FBrushOrigin;
    FBrushOrigin = TPoint(x, y);
    ApplyTransform();
    return old;
}

// --- clipping --------------------------------------------------------------

TRect TCanvas::ClipRect() const {
    QRect b = FHasClip ? FClip.boundingRect() : DeviceBounds();
    if (FHasClip && !DeviceBounds().isEmpty()) b &= DeviceBounds();
    // A window canvas paints only the damaged part it was given.
    if (FDevSize.isValid() && FHasBaseClip) b &= FBaseClip.boundingRect();
    if (b.isEmpty()) return TRect();
    if (FMapMode == MM_LOMETRIC) {
        const TPoint a = DPtoLP(TPoint(b.left(), b.top())), z = DPtoLP(TPoint(b.left() + b.width(), b.top() + b.height()));
        return TRect(a.X, a.Y, z.X, z.Y);
    }
    return TRect(b.left() + FWindowOrg.X, b.top() + FWindowOrg.Y, b.left() + b.width() + FWindowOrg.X,
                 b.top() + b.height() + FWindowOrg.Y);
}

void TCanvas::SelectClipRgn(const TRegion* rgn) {
    FHasClip = rgn != nullptr;
    FClip = rgn ? rgn->ToQRegion() : QRegion();
    ApplyClip();
}

int TCanvas::GetClipRgn(TRegion& rgn) const {
    if (!FHasClip) return 0;
    rgn = TRegion(FClip);
    return 1;
}

int TCanvas::IntersectClipRect(int l, int t, int r, int b) {
    QRect dev = LogicalToDevice(l, t, r, b);
    FClip = FHasClip ? FClip.intersected(dev) : QRegion(dev).intersected(DeviceBounds().isEmpty() ? dev : DeviceBounds());
    FHasClip = true;
    ApplyClip();
    return TRegion(FClip).Kind();
}

int TCanvas::ExcludeClipRect(int l, int t, int r, int b) {
    QRect dev = LogicalToDevice(l, t, r, b);
    QRegion base = FHasClip ? FClip : QRegion(DeviceBounds());
    FClip = base.subtracted(dev);
    FHasClip = true;
    ApplyClip();
    return TRegion(FClip).Kind();
}

// --- shapes ----------------------------------------------------------------

void TCanvas::FillRect(const TRect& r0) {
    // A mapped rectangle has its top above its bottom: y grows upwards.
    const TRect r = FMapMode == MM_LOMETRIC && r0.Bottom < r0.Top ? TRect(r0.Left, r0.Bottom, r0.Right, r0.Top) : r0;
    if (!FPainter || r.IsEmpty() || !BrushVisible()) return;
    Changing();
    SyncBkFromBrush();
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    FillWithBrush(ToQRect(r), PatternBrush());
    Changed();
}

void TCanvas::FrameRect(const TRect& r0) {
    const TRect r = FMapMode == MM_LOMETRIC && r0.Bottom < r0.Top ? TRect(r0.Left, r0.Bottom, r0.Right, r0.Top) : r0;
    if (!FPainter || r.IsEmpty() || !BrushVisible()) return;
    Changing();
    SyncBkFromBrush();
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QBrush b = PatternBrush();
    const int w = r.Width(), h = r.Height();
    FillWithBrush(QRect(r.Left, r.Top, w, 1), b);
    if (h > 1) FillWithBrush(QRect(r.Left, r.Bottom - 1, w, 1), b);
    if (h > 2) {
        FillWithBrush(QRect(r.Left, r.Top + 1, 1, h - 2), b);
        if (w > 1) FillWithBrush(QRect(r.Right - 1, r.Top + 1, 1, h - 2), b);
    }
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (!FPainter) return;
    const QRect q = Normalized(x1, y1, x2, y2);
    if (q.isEmpty()) return;
    Changing();
    SyncBkFromBrush();
    if (SetRop2()) {
        const bool pen = PenVisible();
        const int w = std::max(1, FPen.Width());
        if (BrushVisible()) {
            // The interior: inside the outline when there is one.
            const QRect inner = pen ? q.adjusted(1, 1, -1, -1) : q;
            FillWithBrush(inner, ShapeBrush());
        }
        if (pen) {
            FPainter->setBrush(Qt::NoBrush);
            if (w == 1) {
                // The outline on the outermost pixels of the rectangle.
                const int r = q.right(), bt = q.bottom();
                const QColor pc = RopColor(FPen.Color());
                if (q.width() == 1 || q.height() == 1) {
                    FPainter->fillRect(q, pc);
                } else if (FPen.Style() == psSolid || FPen.Style() == psInsideFrame) {
                    // Four edges, each pixel once.
                    FPainter->fillRect(QRect(q.left(), q.top(), q.width(), 1), pc);
                    FPainter->fillRect(QRect(q.left(), bt, q.width(), 1), pc);
                    FPainter->fillRect(QRect(q.left(), q.top() + 1, 1, q.height() - 2), pc);
                    FPainter->fillRect(QRect(r, q.top() + 1, 1, q.height() - 2), pc);
                } else {
                    StrokePoints({QPoint(q.left(), q.top()), QPoint(r, q.top()), QPoint(r, bt), QPoint(q.left(), bt)}, true);
                }
                SetRop2();
            } else {
                QRect path = q.adjusted(0, 0, -1, -1);
                if (FPen.Style() == psInsideFrame) path = path.adjusted(w / 2, w / 2, -(w - 1) / 2, -(w - 1) / 2);
                QPen sq = ShapePen();
                sq.setJoinStyle(Qt::MiterJoin);
                FPainter->setPen(sq);
                FPainter->drawRect(path);
            }
        }
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    Changed();
}

void TCanvas::DrawPenBrushShape(int x1, int y1, int x2, int y2,
                                const std::function<void(QPainter&, const QRect&)>& draw) {
    if (!FPainter) return;
    const QRect q = Normalized(x1, y1, x2, y2);
    if (q.isEmpty()) return;
    Changing();
    SyncBkFromBrush();
    if (SetRop2()) {
        FPainter->setPen(PenVisible() ? ShapePen() : QPen(Qt::NoPen));
        FPainter->setBrush(BrushVisible() ? ShapeBrush() : QBrush(Qt::NoBrush));
        draw(*FPainter, q.adjusted(0, 0, -1, -1));
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    DrawPenBrushShape(x1, y1, x2, y2, [x3, y3](QPainter& p, const QRect& r) {
        p.drawRoundedRect(r, std::abs(x3) / 2.0, std::abs(y3) / 2.0);
    });
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    DrawPenBrushShape(x1, y1, x2, y2, [](QPainter& p, const QRect& r) { p.drawEllipse(r); });
}

namespace {

// Angles (sixteenths of a degree, counter-clockwise) of the radials through
// (x3,y3) and (x4,y4) from the centre of the box.
void ArcAngles(const QRect& q, int x3, int y3, int x4, int y4, int& start, int& span) {
    const double cx = q.left() + q.width() / 2.0, cy = q.top() + q.height() / 2.0;
    const double a1 = std::atan2(-(y3 - cy), x3 - cx) * 180.0 / M_PI;
    const double a2 = std::atan2(-(y4 - cy), x4 - cx) * 180.0 / M_PI;
    double s = a2 - a1;
    while (s <= 0) s += 360.0;
    start = int(std::lround(a1 * 16));
    span = int(std::lround(s * 16));
}

} // namespace

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (!FPainter || !PenVisible()) return;
    const QRect q = Normalized(x1, y1, x2, y2);
    if (q.isEmpty()) return;
    Changing();
    int start = 0, span = 0;
    ArcAngles(q, x3, y3, x4, y4, start, span);
    if (SetRop2()) {
        FPainter->setPen(ShapePen());
        FPainter->setBrush(Qt::NoBrush);
        FPainter->drawArc(q.adjusted(0, 0, -1, -1), start, span);
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (!FPainter) return;
    const QRect q = Normalized(x1, y1, x2, y2);
    if (q.isEmpty()) return;
    Changing();
    SyncBkFromBrush();
    int start = 0, span = 0;
    ArcAngles(q, x3, y3, x4, y4, start, span);
    if (SetRop2()) {
        FPainter->setPen(PenVisible() ? ShapePen() : QPen(Qt::NoPen));
        FPainter->setBrush(BrushVisible() ? ShapeBrush() : QBrush(Qt::NoBrush));
        FPainter->drawPie(q.adjusted(0, 0, -1, -1), start, span);
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    Changed();
}

void TCanvas::Polygon(const TPoint* pts, int count) {
    if (!FPainter || !pts || count < 2) return;
    Changing();
    SyncBkFromBrush();
    std::vector<QPoint> outline;
    outline.reserve(size_t(count));
    for (int i = 0; i < count; ++i) outline.emplace_back(pts[i].X, pts[i].Y);
    if (BrushVisible() && SetRop2()) {
        FPainter->setPen(Qt::NoPen);
        FPainter->setBrush(ShapeBrush());
        FPainter->drawPolygon(outline.data(), count, FPolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    // The outline is stepped as a closed polyline: every vertex painted once,
    // the closing edge's first point included.
    StrokePoints(outline, true);
    Changed();
}

namespace {

// The pixels of a 1-pixel line from a to b, a included and b left out, by
// stepping along the longer axis.
void LinePixels(QPoint a, QPoint b, std::vector<QPoint>& out) {
    const int dx = b.x() - a.x(), dy = b.y() - a.y();
    const int n = std::max(std::abs(dx), std::abs(dy));
    for (int i = 0; i < n; ++i) {
        // Rounded position along the line, halves towards the end point.
        const int x = a.x() + (n == 0 ? 0 : int(std::floor((2.0 * dx * i + n) / (2.0 * n))));
        const int y = a.y() + (n == 0 ? 0 : int(std::floor((2.0 * dy * i + n) / (2.0 * n))));
        out.emplace_back(x, y);
    }
}

} // namespace

void TCanvas::StrokePoints(const std::vector<QPoint>& pts, bool closed) {
    if (pts.size() < 2 || !PenVisible()) return;
    SyncBkFromBrush();
    if (!SetRop2()) return;
    if (std::max(1, FPen.Width()) > 1 || FMapMode == MM_LOMETRIC) {
        // Wide pens, and every pen of a mapped canvas (whose logical units
        // are no pixels to step): the toolkit's geometric stroke, centred and
        // round-ended.
        FPainter->setBrush(Qt::NoBrush);
        FPainter->setPen(ShapePen());
        if (closed) FPainter->drawPolygon(pts.data(), int(pts.size()));
        else FPainter->drawPolyline(pts.data(), int(pts.size()));
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    // One-pixel pens are stepped here so each segment starts on its first
    // point and leaves out its last, whatever its direction, and no pixel is
    // painted twice (which an inverting pen would undo).
    // The dash pattern runs on along the whole figure.
    std::vector<int> pattern;
    for (qreal v : DashPattern(FPen.Style())) pattern.push_back(int(v));
    const QColor penColour = RopColor(FPen.Color());
    std::vector<QPoint> pixels;
    const auto segment = [&](QPoint a, QPoint b) {
        // A solid pen's level or upright segment is one rectangle of the
        // same pixels (its start in, its end out): a grid's lines are mostly
        // these.
        if (pattern.empty() && (a.x() == b.x() || a.y() == b.y())) {
            if (a == b) return;
            const int x0 = a.x() == b.x() ? a.x() : (a.x() < b.x() ? a.x() : b.x() + 1);
            const int y0 = a.y() == b.y() ? a.y() : (a.y() < b.y() ? a.y() : b.y() + 1);
            const int w = a.x() == b.x() ? 1 : std::abs(b.x() - a.x());
            const int h = a.y() == b.y() ? 1 : std::abs(b.y() - a.y());
            FPainter->fillRect(QRect(x0, y0, w, h), penColour);
            return;
        }
        LinePixels(a, b, pixels);
    };
    for (size_t i = 0; i + 1 < pts.size(); ++i) segment(pts[i], pts[i + 1]);
    if (closed) segment(pts.back(), pts.front());
    if (pixels.empty()) {
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    int period = 0;
    for (int v : pattern) period += v;
    auto isOn = [&](size_t k) {
        if (pattern.empty()) return true;
        int p = int(k % size_t(period));
        for (size_t j = 0; j < pattern.size(); ++j) {
            if (p < pattern[j]) return j % 2 == 0;
            p -= pattern[j];
        }
        return true;
    };
    const bool paintGaps = !pattern.empty() && FBkMode == OPAQUE;
    const QColor gapColour = ColorToQColor(FBkColor);
    // Runs of neighbouring pixels on one row with one colour become one fill.
    size_t k = 0;
    while (k < pixels.size()) {
        const bool on = isOn(k);
        size_t e = k + 1;
        int step = 0;
        while (e < pixels.size() && isOn(e) == on && pixels[e].y() == pixels[k].y()) {
            const int d = pixels[e].x() - pixels[e - 1].x();
            if (std::abs(d) != 1 || (step != 0 && d != step)) break;
            step = d;
            ++e;
        }
        if (on || paintGaps) {
            const int x0 = std::min(pixels[k].x(), pixels[e - 1].x());
            const int x1 = std::max(pixels[k].x(), pixels[e - 1].x());
            FPainter->fillRect(QRect(x0, pixels[k].y(), x1 - x0 + 1, 1), on ? penColour : gapColour);
        }
        k = e;
    }
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Polyline(const TPoint* pts, int count) {
    if (!FPainter || !pts || count < 2) return;
    Changing();
    std::vector<QPoint> q;
    q.reserve(count);
    for (int i = 0; i < count; ++i) q.emplace_back(pts[i].X, pts[i].Y);
    StrokePoints(q, false);
    Changed();
}

void TCanvas::MoveTo(int x, int y) { FPenPos = TPoint(x, y); }

void TCanvas::StrokeLine(int x1, int y1, int x2, int y2) { StrokePoints({QPoint(x1, y1), QPoint(x2, y2)}, false); }

void TCanvas::LineTo(int x, int y) {
    if (FPainter) {
        Changing();
        StrokeLine(FPenPos.X, FPenPos.Y, x, y);
        Changed();
    }
    FPenPos = TPoint(x, y);
}

TColor TCanvas::Pixels(int x, int y) const {
    if (!FImage) return kInvalidColor;
    const int dx = x - FWindowOrg.X, dy = y - FWindowOrg.Y;
    if (!DeviceBounds().contains(dx, dy)) return kInvalidColor;
    const int ix = dx + FDevOrg.x(), iy = dy + FDevOrg.y();
    if (ix < 0 || iy < 0 || ix >= FImage->width() || iy >= FImage->height()) return kInvalidColor;
    const QRgb p = FImage->pixel(ix, iy);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

void TCanvas::SetPixels(int x, int y, TColor c) {
    if (!FPainter) return;
    Changing();
    FPainter->setCompositionMode(QPainter::CompositionMode_Source);
    FPainter->fillRect(QRect(x, y, 1, 1), ColorToQColor(c));
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    Changed();
}

void TCanvas::FloodFill(int x, int y, TColor c, TFillStyle style) {
    if (!FImage || !FPainter) return;
    // Device coordinates; a window canvas reads its own part of the image.
    const QRect dev = DeviceBounds().intersected(QRect(-FDevOrg, FImage->size()));
    const int w = dev.right() + 1, h = dev.bottom() + 1;
    const int sx = x - FWindowOrg.X, sy = y - FWindowOrg.Y;
    if (sx < 0 || sy < 0 || sx >= w || sy >= h) return;
    const QRgb key = ColorToQColor(c).rgb() & 0xFFFFFF;
    auto colourAt = [&](int px, int py) {
        return reinterpret_cast<const QRgb*>(FImage->constScanLine(py + FDevOrg.y()))[px + FDevOrg.x()] & 0xFFFFFF;
    };
    auto fillable = [&](int px, int py) {
        const bool same = colourAt(px, py) == key;
        return style == fsBorder ? !same : same;
    };
    if (!fillable(sx, sy)) return;
    Changing();
    SyncBkFromBrush();
    // Find the connected area first (reading the image as it was), then
    // paint its spans, so the brush's own colour never steers the search.
    std::vector<uint8_t> seen(size_t(w) * h, 0);
    std::vector<QRect> spans;
    std::vector<QPoint> stack{QPoint(sx, sy)};
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        int py = p.y(), l = p.x(), r = p.x();
        if (seen[size_t(py) * w + l] || !fillable(l, py)) continue;
        while (l > 0 && !seen[size_t(py) * w + l - 1] && fillable(l - 1, py)) --l;
        while (r < w - 1 && !seen[size_t(py) * w + r + 1] && fillable(r + 1, py)) ++r;
        for (int i = l; i <= r; ++i) seen[size_t(py) * w + i] = 1;
        spans.emplace_back(l, py, r - l + 1, 1);
        for (int ny : {py - 1, py + 1}) {
            if (ny < 0 || ny >= h) continue;
            bool inRun = false;
            for (int i = l; i <= r; ++i) {
                const bool ok = !seen[size_t(ny) * w + i] && fillable(i, ny);
                if (ok && !inRun) stack.emplace_back(i, ny);
                inRun = ok;
            }
        }
    }
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QBrush b = PatternBrush();
    for (const QRect& s : spans) FillWithBrush(s.translated(FWindowOrg.X, FWindowOrg.Y), b);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
    if (!FPainter || r.IsEmpty()) return;
    Changing();
    // Every other pixel of the frame inverted, counted from the device's
    // origin, so drawing it twice restores the picture.
    QImage pattern(2, 2, QImage::Format_RGB32);
    pattern.setPixel(0, 0, qRgb(255, 255, 255));
    pattern.setPixel(1, 1, qRgb(255, 255, 255));
    pattern.setPixel(1, 0, qRgb(0, 0, 0));
    pattern.setPixel(0, 1, qRgb(0, 0, 0));
    const QBrush b(pattern);
    FPainter->setBrushOrigin(QPointF(FWindowOrg.X, FWindowOrg.Y));
    FPainter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const int w = r.Width(), h = r.Height();
    FillWithBrush(QRect(r.Left, r.Top, w, 1), b);
    if (h > 1) FillWithBrush(QRect(r.Left, r.Bottom - 1, w, 1), b);
    if (h > 2) {
        FillWithBrush(QRect(r.Left, r.Top + 1, 1, h - 2), b);
        if (w > 1) FillWithBrush(QRect(r.Right - 1, r.Top + 1, 1, h - 2), b);
    }
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    ApplyTransform();
    Changed();
}

void TCanvas::GradientFillRect(const TRect& r, TColor from, TColor to, TGradientDirection dir, int steps) {
    if (!FPainter || r.IsEmpty()) return;
    Changing();
    const int extent = dir == gdHorizontal ? r.Width() : r.Height();
    const int n = steps <= 0 ? extent : std::min(steps, extent);
    const TColor a = ColorToRGB(from), b = ColorToRGB(to);
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (int i = 0; i < n; ++i) {
        const int s = extent * i / n, e = extent * (i + 1) / n;
        if (e <= s) continue;
        auto mix = [&](int ca, int cb) { return n == 1 ? ca : ca + (cb - ca) * i / (n - 1); };
        const QColor c(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
                       mix(GetBValue(a), GetBValue(b)));
        const QRect band = dir == gdHorizontal ? QRect(r.Left + s, r.Top, e - s, r.Height())
                                               : QRect(r.Left, r.Top + s, r.Width(), e - s);
        FPainter->fillRect(band, c);
    }
    Changed();
}
