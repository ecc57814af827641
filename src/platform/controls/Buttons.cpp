#include "platform/controls/Buttons.h"

#include <QPainter>
#include <algorithm>

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    // The click is judged on release here, inside the button.
    ControlStyle = csCaptureMouse | csDoubleClicks | csSetCaption;
    SetBounds(0, 0, 23, 22);
    SetParentFont(true);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(const TBitmap* v) {
    if (v) FGlyph->Assign(v);
    else FGlyph->SetSize(0, 0);
    // A strip of square images tells how many it holds.
    if (v && v->Height() > 0 && v->Width() % v->Height() == 0) {
        const int n = v->Width() / v->Height();
        if (n >= 1 && n <= 4) FNumGlyphs = n;
    }
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int v) {
    FNumGlyphs = std::clamp(v, 1, 4);
    Invalidate();
}

void TSpeedButton::SetDown(bool v) {
    if (FGroupIndex == 0) v = false;
    if (v == FDown) return;
    // The last button of a group stays down unless all may be up.
    if (FDown && !FAllowAllUp) return;
    FDown = v;
    FState = v ? bsExclusive : bsUp;
    Invalidate();
    if (v) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int v) {
    if (v == FGroupIndex) return;
    FGroupIndex = v;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
    if (v == FAllowAllUp) return;
    FAllowAllUp = v;
    UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !Parent()) return;
    TMessage m{CM_BUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(static_cast<TObject*>(this)), 0};
    Parent()->Broadcast(m);
}

void TSpeedButton::WndProc(TMessage& M) {
    if (M.Msg == CM_BUTTONPRESSED) {
        CMButtonPressed(M);
        return;
    }
    TGraphicControl::WndProc(M);
}

void TSpeedButton::CMButtonPressed(TMessage& M) {
    // Other buttons broadcast the same message; only a speed button counts.
    auto* sender = dynamic_cast<TSpeedButton*>(reinterpret_cast<TObject*>(M.LParam));
    if (int(M.WParam) != FGroupIndex || sender == this || !sender) return;
    if (sender->Down() && FDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
    // The group shares one rule.
    FAllowAllUp = sender->AllowAllUp();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    TButtonState next = FDown ? bsExclusive : bsUp;
    if (ClientRect().Contains(Point(X, Y))) next = FDown ? bsExclusive : bsDown;
    if (next != FState) {
        FState = next;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging) return;
    FDragging = false;
    const bool doClick = ClientRect().Contains(Point(X, Y));
    if (FGroupIndex == 0) {
        FState = bsUp;
        Invalidate();
    } else if (doClick) {
        SetDown(!FDown);
        if (!FDown) FState = bsUp;  // a latched button that could not rise stays latched
        if (FDown) FState = bsExclusive;
        Invalidate();
    } else {
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    }
    if (doClick) Click();
}

void TSpeedButton::CMMouseEnter(TMessage& M) {
    TGraphicControl::CMMouseEnter(M);
    FMouseInControl = true;
    if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& M) {
    TGraphicControl::CMMouseLeave(M);
    FMouseInControl = false;
    if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::CMEnabledChanged(TMessage& M) {
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    TGraphicControl::CMEnabledChanged(M);
}

QImage TSpeedButton::GlyphFor(TButtonState s) const {
    if (FGlyph->Empty()) return QImage();
    const QImage strip = FGlyph->ToImage().convertToFormat(QImage::Format_ARGB32);
    const int w = strip.width() / FNumGlyphs;
    int index = int(s);
    const bool made = index >= FNumGlyphs;
    if (made) index = 0;
    QImage g = strip.copy(index * w, 0, w, strip.height());
    // The bottom-left pixel's colour is the strip's transparent colour.
    const QRgb key = strip.pixel(0, strip.height() - 1);
    for (int y = 0; y < g.height(); ++y)
        for (int x = 0; x < g.width(); ++x)
            if ((g.pixel(x, y) & 0xFFFFFF) == (key & 0xFFFFFF)) g.setPixel(x, y, 0);
    if (s == bsDisabled && made) {
        // No disabled image: the shape embossed in the shadow colours.
        QImage gray(g.width() + 1, g.height() + 1, QImage::Format_ARGB32);
        gray.fill(0);
        const QRgb light = ColorToQColor(clBtnHighlight).rgb(), dark = ColorToQColor(clBtnShadow).rgb();
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x)
                if (qAlpha(g.pixel(x, y)) != 0 && qGray(g.pixel(x, y)) < 192) gray.setPixel(x + 1, y + 1, light);
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x)
                if (qAlpha(g.pixel(x, y)) != 0 && qGray(g.pixel(x, y)) < 192) gray.setPixel(x, y, dark);
        return gray;
    }
    return g;
}

void TSpeedButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    const bool pushed = FState == bsDown || FState == bsExclusive;
    if (!FFlat) {
        c->DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? unsigned(DFCS_PUSHED) : 0u));
        r = ClientRect();
        InflateRect(r, -2, -2);
    } else {
        if (!FTransparent) {
            c->Brush().SetColor(Color());
            c->FillRect(r);
        }
        if ((FMouseInControl && Enabled()) || pushed) {
            TRect e = r;
            c->DrawEdge(e, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        }
        InflateRect(r, -1, -1);
    }
    if (FState == bsExclusive && (!FFlat || !FMouseInControl)) {
        // A latched button shows the checkered face.
        TBitmap pattern(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) pattern.Canvas()->SetPixels(x, y, (x + y) % 2 ? clBtnFace : clBtnHighlight);
        c->Brush().SetBitmap(&pattern);
        c->FillRect(r);
        c->Brush().SetBitmap(nullptr);
    }
    const QImage glyph = GlyphFor(Enabled() ? FState : bsDisabled);
    c->Font().Assign(*Font());
    const QString text = Caption();
    TRect tr = Rect(0, 0, r.Width(), 0);
    if (!text.isEmpty()) c->DrawText(text, tr, DT_SINGLELINE | DT_CALCRECT);
    const int tw = text.isEmpty() ? 0 : tr.Width(), th = text.isEmpty() ? 0 : tr.Height();
    const int gw = glyph.width(), gh = glyph.height();
    const int gap = (gw > 0 && tw > 0) ? FSpacing : 0;
    const bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    const int totalW = horizontal ? gw + gap + tw : std::max(gw, tw);
    const int totalH = horizontal ? std::max(gh, th) : gh + gap + th;
    const int W = Width(), H = Height();
    int x0 = (W - totalW) / 2, y0 = (H - totalH) / 2;
    if (FMargin >= 0) {
        if (FLayout == blGlyphLeft) x0 = FMargin;
        else if (FLayout == blGlyphRight) x0 = W - FMargin - totalW;
        else if (FLayout == blGlyphTop) y0 = FMargin;
        else y0 = H - FMargin - totalH;
    }
    TPoint gp, tp;
    switch (FLayout) {
    case blGlyphLeft: gp = Point(x0, (H - gh) / 2); tp = Point(x0 + gw + gap, (H - th) / 2); break;
    case blGlyphRight: tp = Point(x0, (H - th) / 2); gp = Point(x0 + tw + gap, (H - gh) / 2); break;
    case blGlyphTop: gp = Point((W - gw) / 2, y0); tp = Point((W - tw) / 2, y0 + gh + gap); break;
    case blGlyphBottom: tp = Point((W - tw) / 2, y0); gp = Point((W - gw) / 2, y0 + th + gap); break;
    }
    const int shift = pushed ? 1 : 0;
    if (!glyph.isNull()) {
        QPainter* p = c->Painter();
        if (p) p->drawImage(gp.X + shift - c->WindowOrg().X, gp.Y + shift - c->WindowOrg().Y, glyph);
    }
    if (!text.isEmpty()) {
        c->Brush().SetStyle(bsClear);
        if (!Enabled()) c->Font().SetColor(clGrayText);
        c->TextOut(tp.X + shift, tp.Y + shift, text);
    }
}
