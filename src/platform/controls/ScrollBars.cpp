#include "platform/controls/ScrollBars.h"

#include "platform/controls/Forms.h"

#include <algorithm>

namespace {
// The smallest thumb the bar draws; a shorter track shows none.
constexpr int kMinThumb = 8;
// The auto-repeat of a held arrow or page click: the first repeat after a
// pause, then steadily.
constexpr unsigned kRepeatDelay = 400;
constexpr unsigned kRepeatInterval = 100;
// A thin bar's default width.
constexpr int kThinWidth = 8;

bool Vertical(const TWinControl* owner, int which) {
    if (which == SB_VERT) return true;
    if (which == SB_HORZ) return false;
    // The scroll-bar control: its style says which way it runs.
    return (const_cast<TWinControl*>(owner)->Params().Style & SBS_VERT) != 0;
}
}  // namespace

TWinScrollBars::TWinScrollBars(TWinControl* owner) : FOwner(owner) {
    FBars[SB_CTL].Shown = true;
}

TWinScrollBars::~TWinScrollBars() = default;

TWinScrollBars::TBar& TWinScrollBars::Bar(int which) { return FBars[std::clamp(which, 0, 2)]; }
const TWinScrollBars::TBar& TWinScrollBars::Bar(int which) const { return FBars[std::clamp(which, 0, 2)]; }

int TWinScrollBars::MaxPos(const TBar& b) const {
    const int m = b.Page > 0 ? b.Max - int(b.Page) + 1 : b.Max;
    return std::max(b.Min, m);
}

void TWinScrollBars::TakeStyle(std::uint32_t style) {
    FBars[SB_VERT].Shown = (style & WS_VSCROLL) != 0;
    FBars[SB_HORZ].Shown = (style & WS_HSCROLL) != 0;
}

void TWinScrollBars::ShownChanged() { FOwner->RecalcNCArea(); }

int TWinScrollBars::SetScrollInfo(int which, const TScrollInfo& si, bool redraw) {
    TBar& b = Bar(which);
    const bool wasShown = b.Shown;
    if (si.fMask & SIF_RANGE) {
        b.Min = si.nMin;
        b.Max = std::max(si.nMin, si.nMax);
    }
    if (si.fMask & SIF_PAGE) b.Page = std::min<unsigned>(si.nPage, unsigned(std::max(0, b.Max - b.Min + 1)));
    if (si.fMask & SIF_POS) b.Pos = si.nPos;
    b.Pos = std::clamp(b.Pos, b.Min, MaxPos(b));
    if (si.fMask & (SIF_RANGE | SIF_PAGE)) {
        // Nothing to scroll: the page shows the whole range.
        const bool nothing = b.Max <= b.Min || (b.Page > 0 && int(b.Page) > b.Max - b.Min);
        if (which == SB_CTL) {
            b.NoScrollDisabled = nothing;
        } else if (nothing) {
            b.NoScrollDisabled = (si.fMask & SIF_DISABLENOSCROLL) != 0;
            b.Shown = b.NoScrollDisabled;
        } else {
            b.NoScrollDisabled = false;
            b.Shown = true;
        }
    }
    if (which != SB_CTL && wasShown != b.Shown) ShownChanged();
    if (redraw) InvalidateBar(which);
    return b.Pos;
}

bool TWinScrollBars::GetScrollInfo(int which, TScrollInfo& si) const {
    const TBar& b = Bar(which);
    if (si.fMask & SIF_RANGE) {
        si.nMin = b.Min;
        si.nMax = b.Max;
    }
    if (si.fMask & SIF_PAGE) si.nPage = b.Page;
    if (si.fMask & SIF_POS) si.nPos = b.Pos;
    if (si.fMask & SIF_TRACKPOS) si.nTrackPos = b.Tracking ? b.TrackPos : b.Pos;
    return true;
}

void TWinScrollBars::ShowBar(int which, bool show) {
    bool changed = false;
    for (int w : {SB_HORZ, SB_VERT}) {
        if (which != w && which != SB_BOTH) continue;
        changed |= FBars[w].Shown != show;
        FBars[w].Shown = show;
    }
    if (which == SB_CTL) {
        changed |= FBars[SB_CTL].Shown != show;
        FBars[SB_CTL].Shown = show;
    }
    // A bar already in the state asked for changes nothing on the screen.
    if (!changed) return;
    ShownChanged();
    FOwner->Invalidate();
}

void TWinScrollBars::EnableBar(int which, unsigned arrows) {
    for (int w : {SB_HORZ, SB_VERT, SB_CTL})
        if (which == w || (which == SB_BOTH && w != SB_CTL)) FBars[w].Disabled = arrows;
    FOwner->Invalidate();
}

int TWinScrollBars::Thickness(int which) const {
    const TBar& b = Bar(which);
    if (b.Thickness > 0) return b.Thickness;
    if (b.Look == sblThin) return kThinWidth;
    return GetSystemMetrics(Vertical(FOwner, which) ? SM_CXVSCROLL : SM_CYHSCROLL);
}

TRect TWinScrollBars::BarRect(int which) const {
    const TBar& b = Bar(which);
    if (!b.Shown) return TRect();
    if (which == SB_CTL) return FOwner->TControl::ClientRect();
    // The bars lie along the right and bottom edges of the client area,
    // inside whatever border the control keeps.
    const TRect in = FOwner->NCInsets();
    const TRect cr = FOwner->ClientRect();
    const TRect client = Bounds(in.Left, in.Top, cr.Width(), cr.Height());
    if (which == SB_VERT) return Rect(client.Right, client.Top, client.Right + Thickness(SB_VERT), client.Bottom);
    return Rect(client.Left, client.Bottom, client.Right, client.Bottom + Thickness(SB_HORZ));
}

TRect TWinScrollBars::PartRect(int which, TScrollBarPart part) const {
    const TRect r = BarRect(which);
    if (r.IsEmpty()) return TRect();
    const TBar& b = Bar(which);
    const bool v = Vertical(FOwner, which);
    const int len = v ? r.Height() : r.Width();
    const int thick = v ? r.Width() : r.Height();
    // Short bars share their length between the two arrows.
    const int arrow = std::min(thick, len / 2);
    const int track = len - 2 * arrow;
    const int start = (v ? r.Top : r.Left) + arrow;
    auto span = [&](int from, int to) {
        return v ? Rect(r.Left, from, r.Right, to) : Rect(from, r.Top, to, r.Bottom);
    };
    int thumbLen = 0, thumbAt = 0;
    const bool can = Scrollable(which);
    if (can && track >= kMinThumb) {
        const int span1 = b.Max - b.Min + 1;
        thumbLen = b.Page > 0 ? int(std::int64_t(track) * b.Page / std::max(1, span1))
                              : GetSystemMetrics(v ? SM_CYVTHUMB : SM_CXHTHUMB);
        if (b.Look == sblThin && b.Page == 0) thumbLen = thick;
        thumbLen = std::clamp(thumbLen, kMinThumb, track);
        const int maxPos = MaxPos(b);
        const int pos = b.Tracking ? b.TrackPos : b.Pos;
        thumbAt = maxPos > b.Min ? int(std::int64_t(track - thumbLen) * (pos - b.Min) / (maxPos - b.Min)) : 0;
    }
    switch (part) {
    case sbpLineUp: return span(start - arrow, start);
    case sbpLineDown: return span(start + track, start + track + arrow);
    case sbpThumb: return thumbLen > 0 ? span(start + thumbAt, start + thumbAt + thumbLen) : TRect();
    case sbpPageUp: return thumbLen > 0 ? span(start, start + thumbAt) : TRect();
    case sbpPageDown: return thumbLen > 0 ? span(start + thumbAt + thumbLen, start + track) : TRect();
    default: return TRect();
    }
}

TScrollBarPart TWinScrollBars::PartAt(int which, TPoint p) const {
    if (!BarRect(which).Contains(p)) return sbpNone;
    for (TScrollBarPart part : {sbpLineUp, sbpLineDown, sbpThumb, sbpPageUp, sbpPageDown})
        if (PartRect(which, part).Contains(p)) return part;
    return sbpNone;
}

bool TWinScrollBars::Scrollable(int which) const {
    const TBar& b = Bar(which);
    if (!b.Shown || b.NoScrollDisabled || b.Disabled == ESB_DISABLE_BOTH) return false;
    if (which == SB_CTL && !FOwner->Enabled()) return false;
    return b.Max > b.Min && MaxPos(b) > b.Min;
}

void TWinScrollBars::Paint(TCanvas* c, int which) const {
    const TRect r = BarRect(which);
    if (r.IsEmpty()) return;
    const TBar& b = Bar(which);
    const bool v = Vertical(FOwner, which);
    const bool flat = b.Look != sblClassic;
    c->Brush().SetStyle(bsSolid);
    c->Brush().SetColor(clScrollBar);
    c->FillRect(r);
    const bool can = Scrollable(which);
    const TRect thumb = PartRect(which, sbpThumb);
    if (!thumb.IsEmpty()) {
        TRect e = thumb;
        if (flat) {
            c->Brush().SetColor(clBtnFace);
            c->FillRect(thumb);
            c->Brush().SetColor(clBtnShadow);
            c->FrameRect(e);
        } else {
            // The classic thumb is a raised push button.
            c->DrawFrameControl(e, DFC_BUTTON, DFCS_BUTTONPUSH);
        }
    }
    // A held page click shows the pressed part darker, as the platform does.
    const bool pressedHere = FTrackBar == which && FPressedShown;
    if (pressedHere && (FTrackPart == sbpPageUp || FTrackPart == sbpPageDown)) {
        c->Brush().SetColor(cl3DDkShadow);
        c->FillRect(PartRect(which, FTrackPart));
    }
    for (TScrollBarPart part : {sbpLineUp, sbpLineDown}) {
        TRect a = PartRect(which, part);
        if (a.IsEmpty()) continue;
        const bool up = part == sbpLineUp;
        unsigned state = v ? (up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) : (up ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT);
        const unsigned arrowOff = up ? ESB_DISABLE_LTUP : ESB_DISABLE_RTDN;
        if (!can || (b.Disabled & arrowOff)) state |= DFCS_INACTIVE;
        if (pressedHere && FTrackPart == part) state |= DFCS_PUSHED;
        if (flat) state |= DFCS_FLAT;
        c->DrawFrameControl(a, DFC_SCROLL, state);
    }
}

void TWinScrollBars::PaintWindowBars(TCanvas* c) const {
    Paint(c, SB_VERT);
    Paint(c, SB_HORZ);
    const TRect v = BarRect(SB_VERT), h = BarRect(SB_HORZ);
    if (!v.IsEmpty() && !h.IsEmpty()) {
        // The corner between the two bars.
        c->Brush().SetStyle(bsSolid);
        c->Brush().SetColor(clBtnFace);
        c->FillRect(Rect(v.Left, h.Top, v.Right, h.Bottom));
    }
}

void TWinScrollBars::InvalidateBar(int which) {
    if (which == SB_CTL) {
        FOwner->Invalidate();
        return;
    }
    // Only the bar's own strip of the window.
    TRect r = BarRect(which);
    if (r.IsEmpty()) return;
    TRect win;
    if (!FOwner->VisibleRectInForm(win)) return;
    const TPoint o = FOwner->WindowOriginInForm();
    OffsetRect(r, o.X, o.Y);
    TCustomForm* f = GetParentForm(FOwner);
    TRect cut;
    if (f && IntersectRect(cut, r, win)) f->InvalidateArea(QRegion(cut.Left, cut.Top, cut.Width(), cut.Height()));
}

void TWinScrollBars::Send(int which, unsigned code, int pos) {
    const bool v = Vertical(FOwner, which);
    FOwner->Perform(v ? WM_VSCROLL : WM_HSCROLL, MakeWParam(int(code), pos), 0);
}

int TWinScrollBars::ThumbPosFromOffset(int which, int offset) const {
    const TBar& b = Bar(which);
    const TRect r = BarRect(which);
    const TRect thumb = PartRect(which, sbpThumb);
    const bool v = Vertical(FOwner, which);
    const int len = v ? r.Height() : r.Width();
    const int thick = v ? r.Width() : r.Height();
    const int arrow = std::min(thick, len / 2);
    const int track = len - 2 * arrow;
    const int thumbLen = v ? thumb.Height() : thumb.Width();
    const int room = track - thumbLen;
    const int maxPos = MaxPos(b);
    if (room <= 0 || maxPos <= b.Min) return b.Min;
    const int at = std::clamp(offset, 0, room);
    return b.Min + int((std::int64_t(at) * (maxPos - b.Min) + room / 2) / room);
}

bool TWinScrollBars::MouseDown(int which, TPoint p) {
    if (!Scrollable(which)) return BarRect(which).Contains(p);
    const TScrollBarPart part = PartAt(which, p);
    if (part == sbpNone) return false;
    FTrackBar = which;
    FTrackPart = part;
    FPressedShown = true;
    FLastPoint = p;
    SetCaptureControl(FOwner);
    TBar& b = Bar(which);
    const bool v = Vertical(FOwner, which);
    switch (part) {
    case sbpThumb: {
        const TRect t = PartRect(which, sbpThumb);
        FGrab = v ? p.Y - t.Top : p.X - t.Left;
        b.Tracking = true;
        b.TrackPos = b.Pos;
        break;
    }
    case sbpLineUp: Send(which, SB_LINEUP); break;
    case sbpLineDown: Send(which, SB_LINEDOWN); break;
    case sbpPageUp: Send(which, SB_PAGEUP); break;
    case sbpPageDown: Send(which, SB_PAGEDOWN); break;
    default: break;
    }
    if (part != sbpThumb && FTrackBar >= 0) {
        if (!FRepeat) {
            FRepeat = std::make_unique<TTimer>(nullptr);
            FRepeat->OnTimer = [this](TObject*) { Repeat(); };
        }
        FRepeat->SetEnabled(false);
        FRepeat->SetInterval(kRepeatDelay);
        FRepeat->SetEnabled(true);
    }
    InvalidateBar(which);
    return true;
}

void TWinScrollBars::Repeat() {
    if (FTrackBar < 0) return;
    FRepeat->SetInterval(kRepeatInterval);
    // Only while the mouse stays on the part it pressed; a page click stops
    // once the thumb has reached the mouse.
    const TScrollBarPart now = PartAt(FTrackBar, FLastPoint);
    FPressedShown = now == FTrackPart;
    if (!FPressedShown) return;
    switch (FTrackPart) {
    case sbpLineUp: Send(FTrackBar, SB_LINEUP); break;
    case sbpLineDown: Send(FTrackBar, SB_LINEDOWN); break;
    case sbpPageUp: Send(FTrackBar, SB_PAGEUP); break;
    case sbpPageDown: Send(FTrackBar, SB_PAGEDOWN); break;
    default: break;
    }
    if (FTrackBar >= 0) InvalidateBar(FTrackBar);
}

bool TWinScrollBars::MouseMove(TPoint p) {
    if (FTrackBar < 0) return false;
    FLastPoint = p;
    const int which = FTrackBar;
    TBar& b = Bar(which);
    if (FTrackPart == sbpThumb) {
        const bool v = Vertical(FOwner, which);
        const TRect r = BarRect(which);
        const int arrow = std::min(v ? r.Width() : r.Height(), (v ? r.Height() : r.Width()) / 2);
        const int start = (v ? r.Top : r.Left) + arrow;
        const int pos = ThumbPosFromOffset(which, (v ? p.Y : p.X) - FGrab - start);
        if (pos != b.TrackPos) {
            b.TrackPos = pos;
            Send(which, SB_THUMBTRACK, pos);
            InvalidateBar(which);
        }
        return true;
    }
    const bool over = PartAt(which, p) == FTrackPart;
    if (over != FPressedShown) {
        FPressedShown = over;
        InvalidateBar(which);
    }
    return true;
}

bool TWinScrollBars::MouseUp(TPoint p) {
    if (FTrackBar < 0) return false;
    FLastPoint = p;
    const int which = FTrackBar;
    const TScrollBarPart part = FTrackPart;
    TBar& b = Bar(which);
    FTrackBar = -1;
    FTrackPart = sbpNone;
    FPressedShown = false;
    if (FRepeat) FRepeat->SetEnabled(false);
    if (GetCaptureControl() == FOwner) SetCaptureControl(nullptr);
    if (part == sbpThumb) {
        const int pos = b.TrackPos;
        Send(which, SB_THUMBPOSITION, pos);
        b.Tracking = false;
    }
    Send(which, SB_ENDSCROLL);
    InvalidateBar(which);
    return true;
}

void TWinScrollBars::CancelTracking() {
    if (FTrackBar < 0) return;
    const int which = FTrackBar;
    Bar(which).Tracking = false;
    FTrackBar = -1;
    FTrackPart = sbpNone;
    FPressedShown = false;
    if (FRepeat) FRepeat->SetEnabled(false);
    InvalidateBar(which);
}

// ---------------------------------------------------------------------------
// The platform's calls
// ---------------------------------------------------------------------------

int SetScrollInfo(TWinControl* c, int bar, const TScrollInfo& si, bool redraw) {
    return c ? c->ScrollBarsState()->SetScrollInfo(bar, si, redraw) : 0;
}

bool GetScrollInfo(TWinControl* c, int bar, TScrollInfo& si) {
    return c && c->ScrollBarsState()->GetScrollInfo(bar, si);
}

int SetScrollPos(TWinControl* c, int bar, int pos, bool redraw) {
    if (!c) return 0;
    const int old = c->ScrollBarsState()->Bar(bar).Pos;
    TScrollInfo si;
    si.fMask = SIF_POS;
    si.nPos = pos;
    c->ScrollBarsState()->SetScrollInfo(bar, si, redraw);
    return old;
}

int GetScrollPos(TWinControl* c, int bar) { return c ? c->ScrollBarsState()->Bar(bar).Pos : 0; }

bool SetScrollRange(TWinControl* c, int bar, int min, int max, bool redraw) {
    if (!c) return false;
    TScrollInfo si;
    si.fMask = SIF_RANGE;
    si.nMin = min;
    si.nMax = max;
    c->ScrollBarsState()->SetScrollInfo(bar, si, redraw);
    return true;
}

bool GetScrollRange(TWinControl* c, int bar, int& min, int& max) {
    if (!c) return false;
    min = c->ScrollBarsState()->Bar(bar).Min;
    max = c->ScrollBarsState()->Bar(bar).Max;
    return true;
}

bool ShowScrollBar(TWinControl* c, int bar, bool show) {
    if (!c) return false;
    c->ScrollBarsState()->ShowBar(bar, show);
    return true;
}

bool EnableScrollBar(TWinControl* c, int bar, unsigned arrows) {
    if (!c) return false;
    c->ScrollBarsState()->EnableBar(bar, arrows);
    return true;
}

int SetScrollInfo(HWND h, int bar, const TScrollInfo& si, bool redraw) {
    return SetScrollInfo(FindControl(h), bar, si, redraw);
}
bool GetScrollInfo(HWND h, int bar, TScrollInfo& si) { return GetScrollInfo(FindControl(h), bar, si); }
int SetScrollPos(HWND h, int bar, int pos, bool redraw) { return SetScrollPos(FindControl(h), bar, pos, redraw); }
int GetScrollPos(HWND h, int bar) { return GetScrollPos(FindControl(h), bar); }
bool SetScrollRange(HWND h, int bar, int min, int max, bool redraw) {
    return SetScrollRange(FindControl(h), bar, min, max, redraw);
}
bool ShowScrollBar(HWND h, int bar, bool show) { return ShowScrollBar(FindControl(h), bar, show); }
bool EnableScrollBar(HWND h, int bar, unsigned arrows) { return EnableScrollBar(FindControl(h), bar, arrows); }

// ---- flat bars: the same facility in the flat look

bool InitializeFlatSB(TWinControl* c) {
    if (!c) return false;
    for (int w : {SB_HORZ, SB_VERT}) c->ScrollBarsState()->Bar(w).Look = sblFlat;
    c->RecalcNCArea();
    c->Invalidate();
    return true;
}

void UninitializeFlatSB(TWinControl* c) {
    if (!c) return;
    for (int w : {SB_HORZ, SB_VERT}) {
        c->ScrollBarsState()->Bar(w).Look = sblClassic;
        c->ScrollBarsState()->Bar(w).Thickness = 0;
    }
    c->RecalcNCArea();
    c->Invalidate();
}

bool FlatSB_SetScrollProp(TWinControl* c, int index, int value, bool redraw) {
    if (!c) return false;
    TWinScrollBars* s = c->ScrollBarsState();
    auto look = [](int v) { return v == FSB_REGULAR_MODE ? sblClassic : sblFlat; };
    switch (index) {
    case WSB_PROP_VSTYLE: s->Bar(SB_VERT).Look = look(value); break;
    case WSB_PROP_HSTYLE: s->Bar(SB_HORZ).Look = look(value); break;
    case WSB_PROP_CXVSCROLL:
        s->Bar(SB_VERT).Thickness = value;
        if (value > 0 && value < GetSystemMetrics(SM_CXVSCROLL)) s->Bar(SB_VERT).Look = sblThin;
        break;
    case WSB_PROP_CYHSCROLL:
        s->Bar(SB_HORZ).Thickness = value;
        if (value > 0 && value < GetSystemMetrics(SM_CYHSCROLL)) s->Bar(SB_HORZ).Look = sblThin;
        break;
    default: return false;
    }
    c->RecalcNCArea();
    if (redraw) c->Invalidate();
    return true;
}

bool FlatSB_GetScrollProp(TWinControl* c, int index, int& value) {
    if (!c) return false;
    TWinScrollBars* s = c->ScrollBarsState();
    switch (index) {
    case WSB_PROP_VSTYLE: value = s->Bar(SB_VERT).Look == sblClassic ? FSB_REGULAR_MODE : FSB_FLAT_MODE; return true;
    case WSB_PROP_HSTYLE: value = s->Bar(SB_HORZ).Look == sblClassic ? FSB_REGULAR_MODE : FSB_FLAT_MODE; return true;
    case WSB_PROP_CXVSCROLL: value = s->Thickness(SB_VERT); return true;
    case WSB_PROP_CYHSCROLL: value = s->Thickness(SB_HORZ); return true;
    default: return false;
    }
}

int FlatSB_SetScrollInfo(TWinControl* c, int bar, const TScrollInfo& si, bool redraw) {
    return SetScrollInfo(c, bar, si, redraw);
}
bool FlatSB_GetScrollInfo(TWinControl* c, int bar, TScrollInfo& si) { return GetScrollInfo(c, bar, si); }
int FlatSB_SetScrollPos(TWinControl* c, int bar, int pos, bool redraw) { return SetScrollPos(c, bar, pos, redraw); }
int FlatSB_GetScrollPos(TWinControl* c, int bar) { return GetScrollPos(c, bar); }
bool FlatSB_SetScrollRange(TWinControl* c, int bar, int min, int max, bool redraw) {
    return SetScrollRange(c, bar, min, max, redraw);
}
bool FlatSB_ShowScrollBar(TWinControl* c, int bar, bool show) { return ShowScrollBar(c, bar, show); }
bool FlatSB_EnableScrollBar(TWinControl* c, int bar, unsigned arrows) { return EnableScrollBar(c, bar, arrows); }
