// Regions: sets of whole pixels, combined and used as clip.
#include "platform/graphics/Graphics.h"

#include <QPainterPath>
#include <QPolygon>

namespace {

QRect ToQRect(int l, int t, int r, int b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    return QRect(l, t, r - l, b - t);
}

} // namespace

bool TRegion::Contains(int x, int y) const { return FRegion.contains(QPoint(x, y)); }

TRect TRegion::BoundingBox() const {
    const QRect b = FRegion.boundingRect();
    if (b.isEmpty()) return TRect();
    return TRect(b.left(), b.top(), b.left() + b.width(), b.top() + b.height());
}

void TRegion::Offset(int dx, int dy) { FRegion.translate(dx, dy); }

int TRegion::Kind() const {
    if (FRegion.isEmpty()) return NULLREGION;
    return FRegion.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

TRegion CreateRectRgn(int l, int t, int r, int b) { return TRegion(QRegion(ToQRect(l, t, r, b))); }

TRegion CreateRectRgnIndirect(const TRect& r) { return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom); }

TRegion CreateEllipticRgn(int l, int t, int r, int b) {
    const QRect q = ToQRect(l, t, r, b);
    if (q.isEmpty()) return TRegion();
    return TRegion(QRegion(q, QRegion::Ellipse));
}

TRegion CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
    const QRect q = ToQRect(l, t, r, b);
    if (q.isEmpty()) return TRegion();
    QPainterPath path;
    path.addRoundedRect(QRectF(q), w / 2.0, h / 2.0);
    return TRegion(QRegion(path.toFillPolygon().toPolygon(), Qt::WindingFill));
}

TRegion CreatePolygonRgn(const TPoint* pts, int count, int fillMode) {
    if (!pts || count < 3) return TRegion();
    QPolygon poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i) poly << QPoint(pts[i].X, pts[i].Y);
    return TRegion(QRegion(poly, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

TRegion CreatePolygonRgn(const std::vector<TPoint>& pts, int fillMode) {
    return CreatePolygonRgn(pts.data(), int(pts.size()), fillMode);
}

int CombineRgn(TRegion& dest, const TRegion& a, const TRegion& b, int mode) {
    const QRegion& qa = a.ToQRegion();
    const QRegion& qb = b.ToQRegion();
    switch (mode) {
    case RGN_AND: dest = TRegion(qa.intersected(qb)); break;
    case RGN_OR: dest = TRegion(qa.united(qb)); break;
    case RGN_XOR: dest = TRegion(qa.xored(qb)); break;
    case RGN_DIFF: dest = TRegion(qa.subtracted(qb)); break;
    case RGN_COPY: dest = TRegion(qa); break;
    default: return ERROR_REGION;
    }
    return dest.Kind();
}

bool PtInRegion(const TRegion& r, int x, int y) { return r.Contains(x, y); }

int GetRgnBox(const TRegion& r, TRect& box) {
    box = r.BoundingBox();
    return r.Kind();
}

int OffsetRgn(TRegion& r, int dx, int dy) {
    r.Offset(dx, dy);
    return r.Kind();
}

bool EqualRgn(const TRegion& a, const TRegion& b) { return a == b; }
