// Styled scroll bars of a lazy tree: measuring the tree's bars, placing the
// two bar windows over them, painting the bars with their part states, hot
// tracking, arrow presses and the thumb drag.
#include "treeview/LazyTrees.StyleHooks.h"

#include "platform/controls/ScrollBars.h"
#include "treeview/LazyTrees.h"

#include <algorithm>
#include <cmath>

namespace {
// The window system's answer for a window that lets the mouse through.
constexpr LRESULT HitTransparent = -1;
// Sent by the tree when its scroll bars changed.
constexpr unsigned ScrollBarsChanged = 0xB802;

bool IsMouseMessage(unsigned Msg) { return Msg >= WM_MOUSEMOVE && Msg <= WM_MBUTTONDBLCLK; }
}  // namespace

// ---------------------------------------------------------------------------
// The bar windows
// ---------------------------------------------------------------------------

TVclStyleScrollBarWindow::TVclStyleScrollBarWindow(TVclStyleScrollBarsHook* AOwner, bool Vertical)
    : TCustomControl(nullptr), FScrollBarWindowOwner(AOwner), FScrollBarVertical(Vertical) {
    SetVisible(false);
}

void TVclStyleScrollBarWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_NOPARENTNOTIFY;
}

void TVclStyleScrollBarWindow::WndProc(TMessage& M) {
    if (M.Msg == WM_ERASEBKGND) {
        M.Result = 1;
        return;
    }
    if (M.Msg == WM_NCHITTEST) {
        M.Result = HitTransparent;
        return;
    }
    // The mouse belongs to the tree beneath: it gets what reaches the window
    // as input on its scroll bar.
    TBaseLazyTree* tree = FScrollBarWindowOwner ? FScrollBarWindowOwner->Control() : nullptr;
    if (tree && IsMouseMessage(M.Msg) && tree->HandleAllocated()) {
        const TPoint s = ClientToScreen(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
        const bool captured = GetCaptureControl() == tree;
        if (captured) {
            const TPoint c = tree->ScreenToClient(s);
            M.Result = tree->Perform(M.Msg, M.WParam, MakeLParam(c.X, c.Y));
        } else {
            M.Result = tree->Perform(M.Msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE,
                                     WPARAM(FScrollBarVertical ? HTVSCROLL : HTHSCROLL), MakeLParam(s.X, s.Y));
        }
        return;
    }
    TCustomControl::WndProc(M);
}

void TVclStyleScrollBarWindow::Paint() {
    if (!FScrollBarWindowOwner) return;
    // The owner paints at the bar's place in the tree's client coordinates.
    const TRect bar = FScrollBarVertical ? FScrollBarWindowOwner->FVertScrollBarRect
                                         : FScrollBarWindowOwner->FHorzScrollBarRect;
    const TPoint old = Canvas()->SetWindowOrg(bar.Left, bar.Top);
    if (FScrollBarVertical) FScrollBarWindowOwner->PaintVertScrollBar(Canvas());
    else FScrollBarWindowOwner->PaintHorzScrollBar(Canvas());
    Canvas()->SetWindowOrg(old.X, old.Y);
}

// ---------------------------------------------------------------------------
// The hook
// ---------------------------------------------------------------------------

TVclStyleScrollBarsHook::TVclStyleScrollBarsHook(TBaseLazyTree* AControl) : FControl(AControl) {
    FVertScrollBarWindow = NewObject<TVclStyleScrollBarWindow>(this, true);
    FHorzScrollBarWindow = NewObject<TVclStyleScrollBarWindow>(this, false);
    if (FControl && FControl->Parent()) {
        FVertScrollBarWindow->SetParent(FControl->Parent());
        FHorzScrollBarWindow->SetParent(FControl->Parent());
    }
}

TVclStyleScrollBarsHook::~TVclStyleScrollBarsHook() {
    for (TVclStyleScrollBarWindow* w : {FVertScrollBarWindow, FHorzScrollBarWindow}) {
        w->FScrollBarWindowOwner = nullptr;
        w->SetParent(nullptr);
        w->Free();
    }
}

bool TVclStyleScrollBarsHook::HasBorder() const {
    return FControl->BorderStyle() == bsSingle || FControl->BevelKind() != bkNone;
}

TPoint TVclStyleScrollBarsHook::BorderOffset() const {
    // A border with a client edge.
    if (FControl->BorderStyle() == bsSingle && FControl->Ctl3D())
        return Point(GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
    return Point(0, 0);
}

int TVclStyleScrollBarsHook::HeaderHeight() const {
    TLTHeader* h = FControl->Header();
    return h && h->Options().Contains(hoVisible) ? h->Height() : 0;
}

bool TVclStyleScrollBarsHook::GetScrollBarInfo(bool Vertical, TLTScrollBarInfo& Info) {
    Info = TLTScrollBarInfo();
    if (!FControl->HandleAllocated()) return false;
    const int which = Vertical ? SB_VERT : SB_HORZ;
    TWinScrollBars* bars = FControl->ScrollBarsState();
    const TRect r = bars->BarRect(which);
    Info.Invisible = r.IsEmpty();
    Info.Unavailable = !bars->Scrollable(which);
    if (Info.Invisible) return true;
    // Window coordinates to the screen.
    const TRect insets = FControl->NCInsets();
    const TPoint origin = FControl->ClientOrigin();
    const TPoint window = Point(origin.X - insets.Left, origin.Y - insets.Top);
    Info.ScrollBar = Rect(window.X + r.Left, window.Y + r.Top, window.X + r.Right, window.Y + r.Bottom);
    const TRect thumb = bars->PartRect(which, sbpThumb);
    if (!thumb.IsEmpty()) {
        Info.ThumbTop = Vertical ? thumb.Top - r.Top : thumb.Left - r.Left;
        Info.ThumbBottom = Vertical ? thumb.Bottom - r.Top : thumb.Right - r.Left;
    }
    return true;
}

void TVclStyleScrollBarsHook::MeasureScrollBars() {
    const TPoint offset = BorderOffset();
    for (bool vertical : {true, false}) {
        TVclStyleScrollBarWindow* w = vertical ? FVertScrollBarWindow : FHorzScrollBarWindow;
        TRect& bar = vertical ? FVertScrollBarRect : FHorzScrollBarRect;
        TRect& up = vertical ? FVertScrollBarUpButtonRect : FHorzScrollBarUpButtonRect;
        TRect& down = vertical ? FVertScrollBarDownButtonRect : FHorzScrollBarDownButtonRect;
        TRect& track = vertical ? FVertScrollBarSliderTrackRect : FHorzScrollBarSliderTrackRect;
        TLTScrollBarInfo info;
        GetScrollBarInfo(vertical, info);
        w->FScrollBarVisible = !info.Invisible;
        w->FScrollBarEnabled = !info.Unavailable;
        bar = up = down = track = TRect();
        if (info.Invisible) continue;
        const TPoint tl = FControl->ScreenToClient(Point(info.ScrollBar.Left, info.ScrollBar.Top));
        bar = Rect(tl.X + offset.X, tl.Y + offset.Y, tl.X + offset.X + info.ScrollBar.Width(),
                   tl.Y + offset.Y + info.ScrollBar.Height());
        if (vertical) {
            const int len = GetSystemMetrics(SM_CYVTHUMB);
            down = Rect(bar.Left, bar.Bottom - len, bar.Right, bar.Bottom);
            up = Rect(bar.Left, bar.Top, bar.Right, bar.Top + len);
            track = Rect(bar.Left, up.Bottom, bar.Right, down.Top);
        } else {
            const int len = GetSystemMetrics(SM_CXHTHUMB);
            down = Rect(bar.Right - len, bar.Top, bar.Right, bar.Bottom);
            up = Rect(bar.Left, bar.Top, bar.Left + len, bar.Bottom);
            track = Rect(up.Right, bar.Top, down.Left, bar.Bottom);
        }
    }
}

void TVclStyleScrollBarsHook::PlaceScrollBarWindows() {
    TWinControl* parent = FControl->Parent();
    const int hh = HeaderHeight();
    const int bw = FControl->BorderWidth();
    const bool border = HasBorder();
    for (TVclStyleScrollBarWindow* w : {FVertScrollBarWindow, FHorzScrollBarWindow}) {
        if (w->Parent() != parent) w->SetParent(parent);
    }
    if (parent && FVertScrollBarWindow->FScrollBarVisible) {
        TRect r = FVertScrollBarRect;
        if (FControl->UseRightToLeftAlignment()) {
            const int x = border ? GetSystemMetrics(SM_CXEDGE) : 0;
            r = Rect(x, r.Top, x + r.Width(), r.Bottom);
        }
        FVertScrollBarWindow->SetBounds(FControl->Left() + r.Left + bw, FControl->Top() + r.Top + hh + bw, r.Width(),
                                        FControl->Height() - hh - (border ? 2 * GetSystemMetrics(SM_CYEDGE) : 0) - bw);
        FVertScrollBarWindow->SetVisible(true);
    } else {
        FVertScrollBarWindow->SetVisible(false);
    }
    if (parent && FHorzScrollBarWindow->FScrollBarVisible) {
        TRect r = FHorzScrollBarRect;
        if (FControl->UseRightToLeftAlignment() && FVertScrollBarWindow->FScrollBarVisible)
            r = Rect(r.Left + FVertScrollBarRect.Width(), r.Top, r.Right + FVertScrollBarRect.Width(), r.Bottom);
        FHorzScrollBarWindow->SetBounds(FControl->Left() + r.Left + bw, FControl->Top() + r.Top + hh + bw, r.Width(),
                                        r.Height());
        FHorzScrollBarWindow->SetVisible(true);
    } else {
        FHorzScrollBarWindow->SetVisible(false);
    }
}

TRect TVclStyleScrollBarsHook::ThumbRect(bool Vertical) {
    TLTScrollBarInfo info;
    if (!GetScrollBarInfo(Vertical, info) || info.Invisible || info.Unavailable) return TRect();
    if (info.ThumbBottom <= info.ThumbTop) return TRect();
    const TRect& bar = Vertical ? FVertScrollBarRect : FHorzScrollBarRect;
    if (Vertical) return Rect(bar.Left, bar.Top + info.ThumbTop, bar.Right, bar.Top + info.ThumbBottom);
    return Rect(bar.Left + info.ThumbTop, bar.Top, bar.Left + info.ThumbBottom, bar.Bottom);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TVclStyleScrollBarsHook::DrawElement(TCanvas* C, TLTScrollBarElement Element, TLTScrollBarPartState State,
                                          const TRect& R) {
    if (R.IsEmpty()) return;
    unsigned look = 0;
    if (State == spsHot) look = DFCS_HOT;
    else if (State == spsPressed) look = DFCS_PUSHED;
    else if (State == spsDisabled) look = DFCS_INACTIVE;
    switch (Element) {
    case sbeTrack:
        C->Brush().SetStyle(bsSolid);
        C->Brush().SetColor(clScrollBar);
        C->FillRect(R);
        break;
    case sbeThumbVert:
    case sbeThumbHorz: {
        TRect r = R;
        C->DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH | (look & ~DFCS_INACTIVE));
        break;
    }
    case sbeArrowUp:
    case sbeArrowDown:
    case sbeArrowLeft:
    case sbeArrowRight: {
        static constexpr unsigned arrows[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
        TRect r = R;
        C->DrawFrameControl(r, DFC_SCROLL, arrows[Element - sbeArrowUp] | look);
        break;
    }
    }
}

void TVclStyleScrollBarsHook::PaintBar(TCanvas* DC, bool Vertical) {
    TVclStyleScrollBarWindow* w = Vertical ? FVertScrollBarWindow : FHorzScrollBarWindow;
    if (!DC || !w->FScrollBarVisible) return;
    const TRect bar = Vertical ? FVertScrollBarRect : FHorzScrollBarRect;
    const int height = Vertical ? std::max(bar.Height(), w->Height()) : bar.Height();
    if (bar.Width() <= 0 || height <= 0) return;
    TBitmap bitmap(bar.Width(), height, pf32bit);
    TCanvas* c = bitmap.Canvas();
    // Bitmap coordinates: the bar's top-left is (0, 0).
    const auto local = [&bar](const TRect& r) {
        return r.IsEmpty() ? TRect() : Rect(r.Left - bar.Left, r.Top - bar.Top, r.Right - bar.Left, r.Bottom - bar.Top);
    };
    const bool enabled = w->FScrollBarEnabled;
    if (Vertical) DrawElement(c, sbeTrack, spsNormal, Rect(0, 0, bar.Width(), height));
    DrawElement(c, sbeTrack, spsNormal, local(Vertical ? FVertScrollBarSliderTrackRect : FHorzScrollBarSliderTrackRect));
    if (enabled)
        DrawElement(c, Vertical ? sbeThumbVert : sbeThumbHorz,
                    Vertical ? FVertScrollBarSliderState : FHorzScrollBarSliderState, local(ThumbRect(Vertical)));
    const TLTScrollBarPartState upState =
        enabled ? (Vertical ? FVertScrollBarUpButtonState : FHorzScrollBarUpButtonState) : spsDisabled;
    const TLTScrollBarPartState downState =
        enabled ? (Vertical ? FVertScrollBarDownButtonState : FHorzScrollBarDownButtonState) : spsDisabled;
    DrawElement(c, Vertical ? sbeArrowUp : sbeArrowLeft, upState,
                local(Vertical ? FVertScrollBarUpButtonRect : FHorzScrollBarUpButtonRect));
    DrawElement(c, Vertical ? sbeArrowDown : sbeArrowRight, downState,
                local(Vertical ? FVertScrollBarDownButtonRect : FHorzScrollBarDownButtonRect));
    // The vertical bar stops the border width short of the bottom.
    const int shown = Vertical ? std::max(0, height - FControl->BorderWidth()) : height;
    DC->CopyRect(Rect(bar.Left, bar.Top, bar.Right, bar.Top + shown), c, Rect(0, 0, bar.Width(), shown));
}

void TVclStyleScrollBarsHook::PaintHorzScrollBar(TCanvas* DC) { PaintBar(DC, false); }
void TVclStyleScrollBarsHook::PaintVertScrollBar(TCanvas* DC) { PaintBar(DC, true); }

void TVclStyleScrollBarsHook::RepaintScrollBars() {
    for (TVclStyleScrollBarWindow* w : {FVertScrollBarWindow, FHorzScrollBarWindow})
        if (w->Visible() && w->Parent()) w->Invalidate();
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

void TVclStyleScrollBarsHook::CallDefaultProc(TMessage& M) { FControl->StyleHookDefault(M); }

TPoint TVclStyleScrollBarsHook::NCPoint(const TMessage& M) const {
    const TPoint c = FControl->ScreenToClient(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
    const TPoint o = BorderOffset();
    return Point(c.X + o.X, c.Y + o.Y);
}

bool TVclStyleScrollBarsHook::OverHeader(TPoint P) const {
    const int hh = HeaderHeight();
    return hh > 0 && P.Y < 0 && P.Y >= -hh;
}

bool TVclStyleScrollBarsHook::HandleMessage(TMessage& M) {
    switch (M.Msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: return NCButtonDown(M);
    case WM_NCLBUTTONUP: return NCButtonUp(M);
    case WM_NCMOUSEMOVE: return NCMouseMove(M);
    case WM_LBUTTONUP: return ButtonUp(M);
    case WM_MOUSEMOVE: return MouseMove(M);
    case WM_CAPTURECHANGED:
        for (TLTScrollBarPartState* s : {&FVertScrollBarUpButtonState, &FVertScrollBarDownButtonState,
                                         &FHorzScrollBarUpButtonState, &FHorzScrollBarDownButtonState})
            if (*s == spsPressed) *s = spsNormal;
        RepaintScrollBars();
        CallDefaultProc(M);
        return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case WM_MOUSEWHEEL:
        CallDefaultProc(M);
        RepaintScrollBars();
        return true;
    case WM_ERASEBKGND: M.Result = 1; return true;
    case WM_NCPAINT:
        if (FControl->TreeStates().Contains(tsWindowCreating)) {
            MeasureScrollBars();
            PlaceScrollBarWindows();
        }
        return false;
    case WM_SIZE:
        CallDefaultProc(M);
        MeasureScrollBars();
        PlaceScrollBarWindows();
        RepaintScrollBars();
        return true;
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
        CallDefaultProc(M);
        if (!FControl->TreeStates().Contains(tsWindowCreating)) {
            MeasureScrollBars();
            PlaceScrollBarWindows();
            RepaintScrollBars();
        }
        return true;
    case ScrollBarsChanged:
        // A bar may have come or gone: its window follows.
        MeasureScrollBars();
        PlaceScrollBarWindows();
        RepaintScrollBars();
        return true;
    case CM_MOUSELEAVE: ResetHotParts(); return false;
    default: return false;
    }
}

bool TVclStyleScrollBarsHook::NCButtonDown(TMessage& M) {
    const TPoint P = NCPoint(M);
    if (OverHeader(P)) return false;
    for (bool vertical : {true, false}) {
        TVclStyleScrollBarWindow* w = vertical ? FVertScrollBarWindow : FHorzScrollBarWindow;
        if (!w->FScrollBarVisible) continue;
        if (ThumbRect(vertical).Contains(P)) {
            TScrollInfo si;
            si.fMask = SIF_ALL;
            GetScrollInfo(FControl, vertical ? SB_VERT : SB_HORZ, si);
            FScrollPos = float(si.nPos);
            FPrevScrollPos = vertical ? P.Y : P.X;
            (vertical ? FVertScrollBarSliderState : FHorzScrollBarSliderState) = spsPressed;
            RepaintScrollBars();
            FControl->SetMouseCapture(true);
            M.Result = 0;
            return true;
        }
        if (!w->FScrollBarEnabled) continue;
        if ((vertical ? FVertScrollBarUpButtonRect : FHorzScrollBarUpButtonRect).Contains(P)) {
            (vertical ? FVertScrollBarUpButtonState : FHorzScrollBarUpButtonState) = spsPressed;
            RepaintScrollBars();
            return false;
        }
        if ((vertical ? FVertScrollBarDownButtonRect : FHorzScrollBarDownButtonRect).Contains(P)) {
            (vertical ? FVertScrollBarDownButtonState : FHorzScrollBarDownButtonState) = spsPressed;
            RepaintScrollBars();
            return false;
        }
    }
    FLeftMouseButtonDown = true;
    RepaintScrollBars();
    return false;
}

bool TVclStyleScrollBarsHook::NCButtonUp(TMessage& M) {
    const TPoint P = NCPoint(M);
    if (OverHeader(P)) return false;
    for (TLTScrollBarPartState* s : {&FVertScrollBarSliderState, &FHorzScrollBarSliderState})
        if (*s == spsPressed) {
            *s = spsNormal;
            RepaintScrollBars();
            M.Result = 0;
            return true;
        }
    for (bool vertical : {true, false}) {
        TVclStyleScrollBarWindow* w = vertical ? FVertScrollBarWindow : FHorzScrollBarWindow;
        if (!w->FScrollBarVisible || !w->FScrollBarEnabled) continue;
        TLTScrollBarPartState& up = vertical ? FVertScrollBarUpButtonState : FHorzScrollBarUpButtonState;
        TLTScrollBarPartState& down = vertical ? FVertScrollBarDownButtonState : FHorzScrollBarDownButtonState;
        up = (vertical ? FVertScrollBarUpButtonRect : FHorzScrollBarUpButtonRect).Contains(P) ? spsHot : spsNormal;
        down = (vertical ? FVertScrollBarDownButtonRect : FHorzScrollBarDownButtonRect).Contains(P) ? spsHot
                                                                                                   : spsNormal;
    }
    CallDefaultProc(M);
    RepaintScrollBars();
    return true;
}

bool TVclStyleScrollBarsHook::NCMouseMove(TMessage& M) {
    const TPoint P = NCPoint(M);
    if (OverHeader(P)) {
        CallDefaultProc(M);
        RepaintScrollBars();
        return true;
    }
    bool changed = false;
    const auto track = [&](TLTScrollBarPartState& s, const TRect& r) {
        if (s == spsPressed || s == spsDisabled) return;
        const TLTScrollBarPartState now = r.Contains(P) ? spsHot : spsNormal;
        if (now != s) {
            s = now;
            changed = true;
        }
    };
    for (bool vertical : {true, false}) {
        TVclStyleScrollBarWindow* w = vertical ? FVertScrollBarWindow : FHorzScrollBarWindow;
        if (!w->FScrollBarVisible || !w->FScrollBarEnabled) continue;
        track(vertical ? FVertScrollBarSliderState : FHorzScrollBarSliderState, ThumbRect(vertical));
        track(vertical ? FVertScrollBarUpButtonState : FHorzScrollBarUpButtonState,
              vertical ? FVertScrollBarUpButtonRect : FHorzScrollBarUpButtonRect);
        track(vertical ? FVertScrollBarDownButtonState : FHorzScrollBarDownButtonState,
              vertical ? FVertScrollBarDownButtonRect : FHorzScrollBarDownButtonRect);
    }
    if (changed) RepaintScrollBars();
    CallDefaultProc(M);
    return true;
}

bool TVclStyleScrollBarsHook::ButtonUp(TMessage& M) {
    const TPoint o = BorderOffset();
    const TPoint P = Point(GetXLParam(M.LParam) + o.X, GetYLParam(M.LParam) + o.Y);
    if (OverHeader(P)) return false;
    bool handled = false;
    for (bool vertical : {true, false}) {
        TLTScrollBarPartState& slider = vertical ? FVertScrollBarSliderState : FHorzScrollBarSliderState;
        if (slider != spsPressed) continue;
        PostMessage(FControl->Handle(), vertical ? WM_VSCROLL : WM_HSCROLL, MakeWParam(SB_ENDSCROLL, 0), 0);
        slider = spsNormal;
        FControl->SetMouseCapture(false);
        RepaintScrollBars();
        M.Result = 0;
        handled = true;
    }
    for (TLTScrollBarPartState* s : {&FVertScrollBarUpButtonState, &FVertScrollBarDownButtonState,
                                     &FHorzScrollBarUpButtonState, &FHorzScrollBarDownButtonState})
        if (*s == spsPressed) *s = spsNormal;
    FLeftMouseButtonDown = false;
    return handled;
}

void TVclStyleScrollBarsHook::ThumbDrag(bool Vertical, int Coordinate) {
    const int bar = Vertical ? SB_VERT : SB_HORZ;
    TScrollInfo si;
    si.fMask = SIF_ALL;
    GetScrollInfo(FControl, bar, si);
    if (int(std::lround(FScrollPos)) != si.nPos) FScrollPos = float(si.nPos);
    const TRect track = Vertical ? FVertScrollBarSliderTrackRect : FHorzScrollBarSliderTrackRect;
    const int length = Vertical ? track.Height() : track.Width();
    if (length > 0)
        FScrollPos += float(Coordinate - FPrevScrollPos) / float(length) * float(si.nMax - si.nMin);
    FScrollPos = std::clamp(FScrollPos, float(si.nMin), float(std::max(si.nMin, si.nMax)));
    if (si.nPage != 0) FScrollPos = std::min(FScrollPos, float(si.nMax - int(si.nPage) + 1));
    FPrevScrollPos = Coordinate;
    si.fMask = SIF_POS;
    si.nPos = int(std::lround(FScrollPos));
    SetScrollInfo(FControl, bar, si, false);
    PostMessage(FControl->Handle(), Vertical ? WM_VSCROLL : WM_HSCROLL,
                MakeWParam(SB_THUMBPOSITION, std::min(si.nPos, 0x7FFF)), 0);
    RepaintScrollBars();
}

bool TVclStyleScrollBarsHook::MouseMove(TMessage& M) {
    const TPoint o = BorderOffset();
    const TPoint P = Point(GetXLParam(M.LParam) + o.X, GetYLParam(M.LParam) + o.Y);
    if (FVertScrollBarSliderState == spsPressed) {
        ThumbDrag(true, P.Y);
        M.Result = 0;
        return true;
    }
    if (FHorzScrollBarSliderState == spsPressed) {
        ThumbDrag(false, P.X);
        M.Result = 0;
        return true;
    }
    for (TLTScrollBarPartState* s : {&FHorzScrollBarSliderState, &FVertScrollBarSliderState,
                                     &FHorzScrollBarUpButtonState, &FHorzScrollBarDownButtonState,
                                     &FVertScrollBarUpButtonState, &FVertScrollBarDownButtonState})
        if (*s == spsHot) {
            *s = spsNormal;
            RepaintScrollBars();
            break;
        }
    CallDefaultProc(M);
    if (FLeftMouseButtonDown) RepaintScrollBars();
    return true;
}

void TVclStyleScrollBarsHook::ResetHotParts() {
    bool changed = false;
    for (TLTScrollBarPartState* s : {&FHorzScrollBarSliderState, &FVertScrollBarSliderState,
                                     &FHorzScrollBarUpButtonState, &FHorzScrollBarDownButtonState,
                                     &FVertScrollBarUpButtonState, &FVertScrollBarDownButtonState})
        if (*s == spsHot) {
            *s = spsNormal;
            changed = true;
        }
    if (changed) RepaintScrollBars();
}
