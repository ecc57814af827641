#include "platform/controls/ExtCtrls.h"
#include "platform/controls/ScrollBars.h"

#include <QRegularExpression>
#include <algorithm>

void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width) {
    TBrush saved = canvas->Brush();
    for (int i = 0; i < width && !r.IsEmpty(); ++i) {
        canvas->Brush().SetColor(topColor);
        canvas->FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom));
        canvas->FillRect(Rect(r.Left, r.Top, r.Right - 1, r.Top + 1));
        canvas->Brush().SetColor(bottomColor);
        canvas->FillRect(Rect(r.Right - 1, r.Top, r.Right, r.Bottom));
        canvas->FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
        InflateRect(r, -1, -1);
    }
    canvas->Brush().Assign(saved);
}

// ---------------------------------------------------------------------------
// TCustomPanel
// ---------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque |
                   csDoubleClicks | csReplicatable;
    SetBounds(0, 0, 185, 41);
}

int TCustomPanel::FrameWidth() const {
    int w = FBorderWidth;
    if (FBevelOuter != bvNone) w += FBevelWidth;
    if (FBevelInner != bvNone) w += FBevelWidth;
    if (FBorderStyle == bsSingle) w += 2;
    return w;
}

void TCustomPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    auto colours = [](TPanelBevel b, TColor& top, TColor& bottom) {
        top = b == bvLowered ? clBtnShadow : clBtnHighlight;
        bottom = b == bvLowered ? clBtnHighlight : clBtnShadow;
    };
    if (FBorderStyle == bsSingle) c->DrawEdge(r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    TColor top = clBtnHighlight, bottom = clBtnShadow;
    if (FBevelOuter != bvNone) {
        colours(FBevelOuter, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    Frame3D(c, r, Color(), Color(), FBorderWidth);
    if (FBevelInner != bvNone) {
        colours(FBevelInner, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    c->Brush().SetColor(Color());
    c->FillRect(r);
    if (!FShowCaption || Caption().isEmpty()) return;
    c->Brush().SetStyle(bsClear);
    c->Font().Assign(*Font());
    if (!Enabled()) c->Font().SetColor(clGrayText);
    unsigned flags = DT_EXPANDTABS | DT_SINGLELINE;
    flags |= FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : 0u;
    flags |= FVerticalAlignment == taVerticalCenter ? DT_VCENTER
             : FVerticalAlignment == taAlignBottom ? DT_BOTTOM : 0u;
    c->DrawText(Caption(), r, flags);
}

// ---------------------------------------------------------------------------
// TBevel, TShape
// ---------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    ControlStyle |= csReplicatable;
    SetBounds(0, 0, 50, 50);
}

void TBevel::Paint() {
    TCanvas* c = Canvas();
    TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = Width(), h = Height();
    // A rectangle's top-left in one colour, its bottom-right in the other;
    // lines stop short of their end point, as the platform draws them.
    auto bevelRect = [&](TRect r, TColor a, TColor b) {
        c->Pen().SetColor(a);
        c->MoveTo(r.Left, r.Bottom);
        c->LineTo(r.Left, r.Top);
        c->LineTo(r.Right, r.Top);
        c->Pen().SetColor(b);
        c->LineTo(r.Right, r.Bottom);
        c->LineTo(r.Left, r.Bottom);
    };
    auto line = [&](TColor col, int x1, int y1, int x2, int y2) {
        c->Pen().SetColor(col);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    c->Pen().SetWidth(1);
    switch (FShape) {
    case bsBox: bevelRect(Rect(0, 0, w - 1, h - 1), c1, c2); break;
    case bsFrame:
        bevelRect(Rect(1, 1, w - 1, h - 1), c2, c2);
        bevelRect(Rect(0, 0, w - 2, h - 2), c1, c1);
        break;
    case bsTopLine: line(c1, 0, 0, w, 0); line(c2, 0, 1, w, 1); break;
    case bsBottomLine: line(c1, 0, h - 2, w, h - 2); line(c2, 0, h - 1, w, h - 1); break;
    case bsLeftLine: line(c1, 0, 0, 0, h); line(c2, 1, 0, 1, h); break;
    case bsRightLine: line(c1, w - 2, 0, w - 2, h); line(c2, w - 1, 0, w - 1, h); break;
    case bsSpacer: break;
    }
}

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner) {
    ControlStyle |= csReplicatable;
    SetBounds(0, 0, 65, 65);
    FPen.OnChange = [this](TGraphicsObject*) { Invalidate(); };
    FBrush.OnChange = [this](TGraphicsObject*) { Invalidate(); };
}

void TShape::Paint() {
    TCanvas* c = Canvas();
    c->SetPen(FPen);
    c->SetBrush(FBrush);
    const int pw = FPen.Width();
    int x = pw / 2, y = x;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    const int s = std::min(w, h);
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (FShape) {
    case stRectangle: case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect: case stRoundSquare: c->RoundRect(x, y, x + w, y + h, s / 4, s / 4); break;
    case stEllipse: case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}

// ---------------------------------------------------------------------------
// TImage
// ---------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    ControlStyle |= csReplicatable;
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = [this](TGraphicsObject*) { PictureChanged(); };
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::SetTransparent(bool v) {
    FTransparent = v;
    Invalidate();
}

void TImage::SetAutoSize(bool v) {
    FAutoSize = v;
    PictureChanged();
}

void TImage::PictureChanged() {
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    Invalidate();
}

TRect TImage::DestRect() const {
    int w = FPicture->Width(), h = FPicture->Height();
    const int cw = Width(), ch = Height();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            // Fits the picture inside, keeping its aspect.
            if (std::int64_t(cw) * h > std::int64_t(ch) * w) {
                w = int(std::int64_t(w) * ch / h);
                h = ch;
            } else {
                h = int(std::int64_t(h) * cw / w);
                w = cw;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (FCenter) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return Rect(x, y, x + w, y + h);
}

void TImage::Paint() {
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty()) return;
    g->SetTransparent(FTransparent);
    TCanvas* c = TGraphicControl::Canvas();
    const TRect d = DestRect();
    if (d.Width() == g->Width() && d.Height() == g->Height()) c->Draw(d.Left, d.Top, g);
    else c->StretchDraw(d, g);
}

// ---------------------------------------------------------------------------
// TCustomLinkLabel
// ---------------------------------------------------------------------------

TCustomLinkLabel::TCustomLinkLabel(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks | csClickEvents;
    SetTabStop(true);
    SetBounds(0, 0, 53, 17);
}

QList<TCustomLinkLabel::Part> TCustomLinkLabel::Parse(const QString& caption) {
    // <a ...>text</a>; the attributes may be quoted either way.
    static const QRegularExpression anchor(
        QStringLiteral("<a(\\s[^>]*)?>(.*?)</a>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression attr(QStringLiteral("(href|id)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
                                         QRegularExpression::CaseInsensitiveOption);
    QList<Part> parts;
    int at = 0;
    auto it = anchor.globalMatch(caption);
    while (it.hasNext()) {
        const auto m = it.next();
        if (m.capturedStart() > at) parts << Part{caption.mid(at, m.capturedStart() - at), false, {}, sltURL};
        Part link{m.captured(2), true, {}, sltURL};
        QString href, id;
        auto a = attr.globalMatch(m.captured(1));
        while (a.hasNext()) {
            const auto am = a.next();
            const QString value = !am.captured(2).isNull() ? am.captured(2)
                                  : !am.captured(3).isNull() ? am.captured(3) : am.captured(4);
            if (am.captured(1).compare(QLatin1String("href"), Qt::CaseInsensitive) == 0) href = value;
            else id = value;
        }
        if (!href.isEmpty()) link.Target = href;
        else if (!id.isEmpty()) {
            link.Target = id;
            link.Type = sltID;
        } else {
            link.Target = link.Text;
        }
        parts << link;
        at = int(m.capturedEnd());
    }
    if (at < caption.size()) parts << Part{caption.mid(at), false, {}, sltURL};
    return parts;
}

QString TCustomLinkLabel::PlainText() const {
    QString s;
    for (const Part& p : Parse(Caption())) s += p.Text;
    return s;
}

int TCustomLinkLabel::LinkCount() const {
    int n = 0;
    for (const Part& p : Parse(Caption())) n += p.IsLink ? 1 : 0;
    return n;
}

void TCustomLinkLabel::Layout() {
    FLaid.clear();
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    int total = 0;
    const QList<Part> parts = Parse(Caption());
    for (const Part& p : parts) total += c->TextWidth(p.Text);
    int x = 0;
    if (FAlignment == taCenter) x = (Width() - total) / 2;
    else if (FAlignment == taRightJustify) x = Width() - total;
    const int h = c->TextHeight(QStringLiteral("Wg"));
    for (const Part& p : parts) {
        const int w = c->TextWidth(p.Text);
        FLaid << Laid{p, Rect(x, 0, x + w, h)};
        x += w;
    }
}

TRect TCustomLinkLabel::LinkRect(int index) {
    Layout();
    int n = 0;
    for (const Laid& l : FLaid)
        if (l.P.IsLink && n++ == index) return l.R;
    return TRect();
}

int TCustomLinkLabel::LinkAt(TPoint p) {
    Layout();
    int n = 0;
    for (const Laid& l : FLaid) {
        if (!l.P.IsLink) continue;
        if (l.R.Contains(p)) return n;
        ++n;
    }
    return -1;
}

void TCustomLinkLabel::SetAutoSize(bool v) {
    FAutoSize = v;
    AdjustSize();
}

void TCustomLinkLabel::AdjustSize() {
    if (!FAutoSize) return;
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    const QString t = PlainText();
    SetBounds(Left(), Top(), c->TextWidth(t), c->TextHeight(QStringLiteral("Wg")));
}

void TCustomLinkLabel::CMTextChanged(TMessage& M) {
    TCustomControl::CMTextChanged(M);
    AdjustSize();
}

void TCustomLinkLabel::CMFontChanged(TMessage& M) {
    TCustomControl::CMFontChanged(M);
    AdjustSize();
}

void TCustomLinkLabel::DoOnLinkClick(const QString& Link, TSysLinkType LinkType) {
    if (OnLinkClick) OnLinkClick(this, Link, LinkType);
}

void TCustomLinkLabel::WMLButtonDown(TMessage& M) {
    FPressedLink = LinkAt(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
    if (FPressedLink >= 0 && CanFocus() && !Focused()) SetFocus();
    TCustomControl::WMLButtonDown(M);
}

void TCustomLinkLabel::WMLButtonUp(TMessage& M) {
    const int pressed = FPressedLink;
    FPressedLink = -1;
    TCustomControl::WMLButtonUp(M);
    // A link is followed when the button goes down and up on it.
    const int at = LinkAt(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
    if (pressed < 0 || at != pressed) return;
    int n = 0;
    for (const Laid& l : FLaid)
        if (l.P.IsLink && n++ == at) {
            DoOnLinkClick(l.P.Target, l.P.Type);
            return;
        }
}

void TCustomLinkLabel::WMKeyDown(TMessage& M) {
    if (DoKeyDown(M)) {
        M.Result = 1;
        return;
    }
    if (M.WParam != VK_RETURN && M.WParam != VK_SPACE) return;
    for (const Part& p : Parse(Caption()))
        if (p.IsLink) {
            DoOnLinkClick(p.Target, p.Type);
            return;
        }
}

void TCustomLinkLabel::CMWantSpecialKey(TMessage& M) {
    // Enter follows the link rather than pressing the dialog's default button.
    M.Result = (M.WParam == VK_RETURN && LinkCount() > 0) ? 1 : 0;
}

void TCustomLinkLabel::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    Layout();
    c->Brush().SetStyle(bsClear);
    for (const Laid& l : FLaid) {
        c->Font().Assign(*Font());
        if (l.P.IsLink) {
            c->Font().SetColor(Enabled() ? clHotLight : clGrayText);
            c->Font().SetStyle(c->Font().Style() | fsUnderline);
        } else if (!Enabled()) {
            c->Font().SetColor(clGrayText);
        }
        c->TextOut(l.R.Left, l.R.Top, l.P.Text);
    }
    if (Focused()) {
        for (const Laid& l : FLaid)
            if (l.P.IsLink) {
                c->DrawFocusRect(l.R);
                break;
            }
    }
}

// ---------------------------------------------------------------------------
// TSplitter
// ---------------------------------------------------------------------------

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

TControl* TSplitter::ResizeControl() {
    TWinControl* p = Parent();
    if (!p) return nullptr;
    // The aligned sibling whose edge touches the splitter on its own side.
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align()) continue;
        switch (Align()) {
        case alLeft: if (c->Left() + c->Width() == Left()) return c; break;
        case alRight: if (c->Left() == Left() + Width()) return c; break;
        case alTop: if (c->Top() + c->Height() == Top()) return c; break;
        case alBottom: if (c->Top() == Top() + Height()) return c; break;
        default: break;
        }
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FControl = ResizeControl();
    if (!FControl) return;
    FDragging = true;
    FDownPos = ClientToScreen(Point(X, Y));
    FStartSize = (Align() == alLeft || Align() == alRight) ? FControl->Width() : FControl->Height();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging || !FControl) return;
    const TPoint s = ClientToScreen(Point(X, Y));
    int delta = 0;
    switch (Align()) {
    case alLeft: delta = s.X - FDownPos.X; break;
    case alRight: delta = FDownPos.X - s.X; break;
    case alTop: delta = s.Y - FDownPos.Y; break;
    case alBottom: delta = FDownPos.Y - s.Y; break;
    default: return;
    }
    int size = std::max(FMinSize, FStartSize + delta);
    bool accept = true;
    if (OnCanResize) OnCanResize(this, size, accept);
    if (!accept) return;
    if (Align() == alLeft || Align() == alRight) FControl->SetWidth(size);
    else FControl->SetHeight(size);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool was = FDragging;
    FDragging = false;
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (was && OnMoved) OnMoved(this);
}

void TSplitter::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
}

// ---------------------------------------------------------------------------
// TScrollBox
// ---------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::WMNCCalcSize(TMessage& M) {
    if (M.LParam && FBorderStyle == bsSingle) InflateRect(*reinterpret_cast<TRect*>(M.LParam), -2, -2);
    TCustomControl::WMNCCalcSize(M);
}

void TScrollBox::WMNCPaint(TMessage& M) {
    // Children placed since the last look are counted in.
    UpdateScrollBars(false);
    if (M.WParam && FBorderStyle == bsSingle) {
        TCanvas c;
        reinterpret_cast<const TPaintTarget*>(M.WParam)->AttachCanvas(c);
        TRect e = Rect(0, 0, Width(), Height());
        c.DrawEdge(e, EDGE_SUNKEN, BF_RECT);
    }
    TCustomControl::WMNCPaint(M);
}

void TScrollBox::WMSize(TMessage& M) {
    TCustomControl::WMSize(M);
    UpdateScrollBars();
}

void TScrollBox::UpdateScrollBars(bool redraw) {
    // A bar that appears narrows the other direction: settle twice.
    for (int pass = 0; pass < 2; ++pass) {
        const TRect cr = ClientRect();
        TScrollInfo si;
        si.fMask = SIF_ALL;
        si.nMin = 0;
        si.nMax = std::max(0, HorzRange() - 1);
        si.nPage = unsigned(std::max(1, cr.Width()));
        si.nPos = FScroll.X;
        SetScrollInfo(this, SB_HORZ, si, redraw);
        si.nMax = std::max(0, VertRange() - 1);
        si.nPage = unsigned(std::max(1, cr.Height()));
        si.nPos = FScroll.Y;
        SetScrollInfo(this, SB_VERT, si, redraw);
    }
}

void TScrollBox::WndProc(TMessage& M) {
    if (M.Msg != WM_VSCROLL && M.Msg != WM_HSCROLL) {
        TCustomControl::WndProc(M);
        return;
    }
    const bool v = M.Msg == WM_VSCROLL;
    const int page = v ? ClientRect().Height() : ClientRect().Width();
    // A line is eight pixels, as the class library's scroll box steps.
    int at = v ? FScroll.Y : FScroll.X;
    switch (M.WParam & 0xFFFF) {
    case SB_LINEUP: at -= 8; break;
    case SB_LINEDOWN: at += 8; break;
    case SB_PAGEUP: at -= page; break;
    case SB_PAGEDOWN: at += page; break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: at = int((M.WParam >> 16) & 0xFFFF); break;
    case SB_TOP: at = 0; break;
    case SB_BOTTOM: at = v ? VertRange() : HorzRange(); break;
    default: return;
    }
    if (v) SetVertPosition(at);
    else SetHorzPosition(at);
}

int TScrollBox::HorzRange() {
    int range = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Visible() && c->Align() == alNone) range = std::max(range, c->Left() + c->Width() + FScroll.X);
    }
    return range;
}

int TScrollBox::VertRange() {
    int range = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Visible() && c->Align() == alNone) range = std::max(range, c->Top() + c->Height() + FScroll.Y);
    }
    return range;
}

void TScrollBox::ScrollBy(int dx, int dy) {
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Align() == alNone) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    }
    Invalidate();
}

void TScrollBox::SetHorzPosition(int v) {
    v = std::clamp(v, 0, std::max(0, HorzRange() - ClientRect().Width()));
    const int d = v - FScroll.X;
    FScroll.X = v;
    if (d) ScrollBy(-d, 0);
    UpdateScrollBars();
}

void TScrollBox::SetVertPosition(int v) {
    v = std::clamp(v, 0, std::max(0, VertRange() - ClientRect().Height()));
    const int d = v - FScroll.Y;
    FScroll.Y = v;
    if (d) ScrollBy(0, -d);
    UpdateScrollBars();
}

void TScrollBox::ScrollInView(TControl* c) {
    if (!c || c->Parent() != this) return;
    const TRect cr = ClientRect();
    if (c->Top() < cr.Top) SetVertPosition(FScroll.Y + c->Top() - cr.Top);
    else if (c->Top() + c->Height() > cr.Bottom)
        SetVertPosition(FScroll.Y + std::min(c->Top() - cr.Top, c->Top() + c->Height() - cr.Bottom));
    if (c->Left() < cr.Left) SetHorzPosition(FScroll.X + c->Left() - cr.Left);
    else if (c->Left() + c->Width() > cr.Right)
        SetHorzPosition(FScroll.X + std::min(c->Left() - cr.Left, c->Left() + c->Width() - cr.Right));
}

void TScrollBox::WMMouseWheel(TMessage& M) {
    const int delta = static_cast<std::int16_t>((M.WParam >> 16) & 0xFFFF);
    TCustomControl::WMMouseWheel(M);
    if (M.Result) return;
    const int before = FScroll.Y;
    SetVertPosition(FScroll.Y + (delta < 0 ? 1 : -1) * WheelScrollLines() * 8);
    M.Result = FScroll.Y != before ? 1 : 0;
}

void TScrollBox::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
}
