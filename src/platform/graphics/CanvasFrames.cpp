// The classic three-dimensional frames: DrawEdge and DrawFrameControl, in
// the system colours of the fixed table.
#include "platform/graphics/Graphics.h"

#include <QPainter>

namespace {

// The two colours of one border line: top-left, then bottom-right.
struct EdgeColours {
    TColor TopLeft;
    TColor BottomRight;
};

// One table for the four borders: outer/inner x raised/sunken.
EdgeColours BorderColours(bool outer, bool raised, unsigned flags) {
    if (flags & BF_MONO) return outer ? EdgeColours{clWindowFrame, clWindowFrame} : EdgeColours{clWindow, clWindow};
    if (flags & BF_FLAT) return outer ? EdgeColours{clBtnShadow, clBtnShadow} : EdgeColours{clBtnFace, clBtnFace};
    EdgeColours c;
    if (outer) c = raised ? EdgeColours{cl3DLight, cl3DDkShadow} : EdgeColours{clBtnShadow, clBtnHighlight};
    else c = raised ? EdgeColours{clBtnHighlight, clBtnShadow} : EdgeColours{cl3DDkShadow, cl3DLight};
    // A soft raised outer border takes the brighter highlight.
    if ((flags & BF_SOFT) && raised) c.TopLeft = outer ? clBtnHighlight : cl3DLight;
    return c;
}

void Fill(QPainter* p, int x, int y, int w, int h, TColor c) {
    if (w > 0 && h > 0) p->fillRect(QRect(x, y, w, h), ColorToQColor(c));
}

// One 1-pixel border on the sides named by flags: the top-left colour on the
// left column and top row, then the bottom-right colour on the right column
// and bottom row, which therefore own the top-right and bottom-left corners.
void DrawBorder(QPainter* p, const TRect& r, const EdgeColours& c, unsigned flags) {
    const int w = r.Width(), h = r.Height();
    if (flags & BF_LEFT) Fill(p, r.Left, r.Top, 1, h, c.TopLeft);
    if (flags & BF_TOP) Fill(p, r.Left, r.Top, w, 1, c.TopLeft);
    if (flags & BF_RIGHT) Fill(p, r.Right - 1, r.Top, 1, h, c.BottomRight);
    if (flags & BF_BOTTOM) Fill(p, r.Left, r.Bottom - 1, w, 1, c.BottomRight);
}

void Deflate(TRect& r, unsigned flags) {
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_RIGHT) --r.Right;
    if (flags & BF_BOTTOM) --r.Bottom;
}

// The largest square centred in r.
TRect CentredSquare(const TRect& r) {
    const int s = std::min(r.Width(), r.Height());
    const int x = r.Left + (r.Width() - s) / 2, y = r.Top + (r.Height() - s) / 2;
    return Bounds(x, y, s, s);
}

// The classic check mark: seven columns of three pixels, the low point in
// the third column.
constexpr int kCheckColumnTops[7] = {2, 3, 4, 3, 2, 1, 0};

void DrawCheckMark(QPainter* p, const TRect& box, TColor c) {
    const int s = std::min(box.Width(), box.Height());
    if (s < 7) {
        Fill(p, box.Left + 1, box.Top + 1, box.Width() - 2, box.Height() - 2, c);
        return;
    }
    const int x0 = box.Left + (box.Width() - 7) / 2, y0 = box.Top + (box.Height() - 7) / 2;
    for (int i = 0; i < 7; ++i) Fill(p, x0 + i, y0 + kCheckColumnTops[i], 1, 3, c);
}

// Every other pixel in `a`, the rest in `b`: the checked push-button face.
QBrush Dither(TColor a, TColor b) {
    QImage pat(2, 2, QImage::Format_RGB32);
    const QRgb ca = ColorToQColor(a).rgb(), cb = ColorToQColor(b).rgb();
    pat.setPixel(0, 0, ca);
    pat.setPixel(1, 1, ca);
    pat.setPixel(1, 0, cb);
    pat.setPixel(0, 1, cb);
    return QBrush(pat);
}

void DrawTriangle(QPainter* p, const TRect& r, unsigned dir, TColor c, int dx, int dy) {
    const int s = std::min(r.Width(), r.Height());
    const int ah = std::max(1, (s - 1) / 4); // rows of the arrow
    const int cx = r.Left + r.Width() / 2 + dx, cy = r.Top + r.Height() / 2 + dy;
    for (int i = 0; i < ah; ++i) {
        const int len = 2 * (ah - i) - 1; // widest row first
        switch (dir) {
        case DFCS_SCROLLUP: Fill(p, cx - len / 2, cy + ah / 2 - i, len, 1, c); break;
        case DFCS_SCROLLLEFT: Fill(p, cx + ah / 2 - i, cy - len / 2, 1, len, c); break;
        case DFCS_SCROLLRIGHT: Fill(p, cx - ah / 2 + i, cy - len / 2, 1, len, c); break;
        default: Fill(p, cx - len / 2, cy - ah / 2 + i, len, 1, c); break; // down and combo box
        }
    }
}

} // namespace

bool TCanvas::DrawEdge(TRect& r, unsigned edge, unsigned flags) {
    if (!FPainter) return false;
    Changing();
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    TRect inner = r;
    const unsigned outerBits = edge & BDR_OUTER, innerBits = edge & BDR_INNER;
    if (outerBits) {
        DrawBorder(FPainter, inner, BorderColours(true, outerBits & BDR_RAISEDOUTER, flags), flags);
        Deflate(inner, flags);
    }
    if (innerBits) {
        DrawBorder(FPainter, inner, BorderColours(false, innerBits & BDR_RAISEDINNER, flags), flags);
        Deflate(inner, flags);
    }
    if ((flags & BF_MIDDLE) && !inner.IsEmpty())
        Fill(FPainter, inner.Left, inner.Top, inner.Width(), inner.Height(), (flags & BF_MONO) ? clWindow : clBtnFace);
    if (flags & BF_ADJUST) r = inner;
    Changed();
    return true;
}

bool TCanvas::DrawFrameControl(TRect& r, unsigned kind, unsigned state) {
    if (!FPainter || r.IsEmpty()) return false;
    Changing();
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    const bool pushed = state & DFCS_PUSHED, checked = state & DFCS_CHECKED, inactive = state & DFCS_INACTIVE;
    const bool flat = state & DFCS_FLAT, mono = state & DFCS_MONO;
    const unsigned look = mono ? unsigned(BF_MONO) : (flat ? unsigned(BF_FLAT) : 0u);
    const unsigned sub = state & 0xFF;
    bool done = true;

    if (kind == DFC_BUTTON && (sub & DFCS_BUTTONPUSH)) {
        TRect face = r;
        if (flat && !mono && (state & DFCS_HOT) && !pushed && !checked) {
            // A flat button under the mouse rises by one thin border.
            DrawEdge(face, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        } else {
            const unsigned edge = (pushed || checked) ? EDGE_SUNKEN : EDGE_RAISED;
            DrawEdge(face, edge, BF_RECT | BF_ADJUST | look | ((pushed || checked) ? 0u : unsigned(BF_SOFT)));
        }
        if (!(state & DFCS_TRANSPARENT) && !face.IsEmpty()) {
            if (checked && !pushed)
                FPainter->fillRect(QRect(face.Left, face.Top, face.Width(), face.Height()),
                                   Dither(clBtnFace, clBtnHighlight));
            else
                Fill(FPainter, face.Left, face.Top, face.Width(), face.Height(), clBtnFace);
        }
        if (state & DFCS_ADJUSTRECT) r = face;
    } else if (kind == DFC_BUTTON && (sub & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK))) {
        const TRect box = CentredSquare(r);
        const QRect q(box.Left, box.Top, box.Width() - 1, box.Height() - 1);
        FPainter->setPen(Qt::NoPen);
        auto halves = [&](const QRect& c, TColor tl, TColor br) {
            FPainter->setBrush(ColorToQColor(tl));
            FPainter->drawPie(c, 45 * 16, 180 * 16);
            FPainter->setBrush(ColorToQColor(br));
            FPainter->drawPie(c, 225 * 16, 180 * 16);
        };
        if (flat || mono) {
            FPainter->setBrush(ColorToQColor(mono ? clWindowFrame : clBtnShadow));
            FPainter->drawEllipse(q);
        } else {
            halves(q, clBtnShadow, clBtnHighlight);
            halves(q.adjusted(1, 1, -1, -1), cl3DDkShadow, cl3DLight);
        }
        FPainter->setBrush(ColorToQColor((pushed || inactive) ? clBtnFace : clWindow));
        FPainter->drawEllipse(q.adjusted(2, 2, -2, -2));
        if (checked) {
            const int d = std::max(2, box.Width() / 3);
            const int cx = box.Left + (box.Width() - d) / 2, cy = box.Top + (box.Height() - d) / 2;
            FPainter->setBrush(ColorToQColor(inactive ? clGrayText : clWindowText));
            FPainter->drawEllipse(QRect(cx, cy, d - 1, d - 1));
        }
        FPainter->setBrush(Qt::NoBrush);
    } else if (kind == DFC_BUTTON) {
        // Check box, two- or three-state.
        TRect box = CentredSquare(r);
        DrawEdge(box, EDGE_SUNKEN, BF_RECT | BF_ADJUST | look);
        const bool mixed = (sub & DFCS_BUTTON3STATE) && checked;
        const TColor inside = (pushed || inactive || mixed) ? clBtnFace : clWindow;
        Fill(FPainter, box.Left, box.Top, box.Width(), box.Height(), inside);
        if (checked) DrawCheckMark(FPainter, box, (inactive || mixed) ? clBtnShadow : clWindowText);
    } else if (kind == DFC_SCROLL) {
        TRect face = r;
        if (sub == DFCS_SCROLLSIZEGRIP) {
            if (!(state & DFCS_TRANSPARENT)) Fill(FPainter, r.Left, r.Top, r.Width(), r.Height(), clBtnFace);
            const int s = std::min(r.Width(), r.Height());
            for (int i = 0; i + 3 < s; i += 4)
                for (int k = 0; k < 3; ++k) {
                    const TColor c = k == 0 ? clBtnHighlight : clBtnShadow;
                    FPainter->setPen(ColorToQColor(c));
                    FPainter->drawLine(r.Right - 1 - i - k - 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1 - i - k - 1);
                }
        } else {
            if (pushed && flat) DrawEdge(face, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | BF_FLAT);
            else DrawEdge(face, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST | look | (pushed ? 0u : unsigned(BF_SOFT)));
            if (!(state & DFCS_TRANSPARENT)) Fill(FPainter, face.Left, face.Top, face.Width(), face.Height(), clBtnFace);
            const unsigned dir = sub == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : sub;
            const int off = pushed ? 1 : 0;
            if (inactive) {
                DrawTriangle(FPainter, r, dir, clBtnHighlight, 1, 1);
                DrawTriangle(FPainter, r, dir, clBtnShadow, 0, 0);
            } else {
                DrawTriangle(FPainter, r, dir, clBtnText, off, off);
            }
        }
        if (state & DFCS_ADJUSTRECT) r = face;
    } else {
        done = false;
    }
    Changed();
    return done;
}
