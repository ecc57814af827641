#include "platform/controls/ComCtrls.h"

#include "platform/controls/Timers.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/IntConv.h"

#include <algorithm>

namespace {
constexpr int kMargin = 8;      // channel ends inside the control
constexpr int kThumbHalf = 5;   // thumb: 11 pixels across
constexpr unsigned kRepeatTimer = 1;

// Paints on the window's part of the surface through a canvas of its own.
struct WindowCanvas {
    TCanvas C;
    explicit WindowCanvas(const TPaintTarget& t) { t.AttachCanvas(C); }
    ~WindowCanvas() { C.Detach(); }
};
}  // namespace

// ---------------------------------------------------------------------------
// TTrackBar
// ---------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    SetTabStop(true);
    SetBounds(0, 0, 150, 45);
}

void TTrackBar::SetMin(int v) {
    FMin = v;
    if (FMax < FMin) FMax = FMin;
    SetPosition(FPosition);
    Invalidate();
}

void TTrackBar::SetMax(int v) {
    FMax = v;
    if (FMin > FMax) FMin = FMax;
    SetPosition(FPosition);
    Invalidate();
}

void TTrackBar::SetPosition(int v) {
    v = std::clamp(v, FMin, FMax);
    if (v == FPosition) return;
    FPosition = v;
    Invalidate();
    Changed();
}

void TTrackBar::SetOrientation(TTrackBarOrientation v) {
    if (v == FOrientation) return;
    FOrientation = v;
    SetBounds(Left(), Top(), Height(), Width());
}

void TTrackBar::Changed() {
    if (OnChange) OnChange(this);
}

void TTrackBar::UserMove(int v) { SetPosition(v); }

TRect TTrackBar::ChannelRect() const {
    if (FOrientation == trHorizontal) return Rect(kMargin, 8, Width() - kMargin, 12);
    return Rect(8, kMargin, 12, Height() - kMargin);
}

TRect TTrackBar::ThumbRect() const {
    const int length = (FOrientation == trHorizontal ? Width() : Height()) - 2 * kMargin;
    const int span = std::max(1, FMax - FMin);
    const int c = kMargin + (FMax > FMin ? length * (FPosition - FMin) / span : 0);
    if (FOrientation == trHorizontal) return Rect(c - kThumbHalf, 2, c + kThumbHalf + 1, 22);
    return Rect(2, c - kThumbHalf, 22, c + kThumbHalf + 1);
}

int TTrackBar::PosAt(int along) const {
    const int length = std::max(1, (FOrientation == trHorizontal ? Width() : Height()) - 2 * kMargin);
    const int off = std::clamp(along - kMargin, 0, length);
    return FMin + (off * (FMax - FMin) + length / 2) / length;
}

void TTrackBar::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS; }

void TTrackBar::WMKeyDown(TMessage& M) {
    if (DoKeyDown(M)) {
        M.Result = 1;
        return;
    }
    switch (M.WParam) {
    case VK_LEFT: case VK_UP: UserMove(FPosition - FLineSize); break;
    case VK_RIGHT: case VK_DOWN: UserMove(FPosition + FLineSize); break;
    case VK_PRIOR: UserMove(FPosition - FPageSize); break;
    case VK_NEXT: UserMove(FPosition + FPageSize); break;
    case VK_HOME: UserMove(FMin); break;
    case VK_END: UserMove(FMax); break;
    default: break;
    }
}

void TTrackBar::WMLButtonDown(TMessage& M) {
    if (CanFocus() && !Focused()) SetFocus();
    TWinControl::WMLButtonDown(M);
    const TPoint p(GetXLParam(M.LParam), GetYLParam(M.LParam));
    const TRect t = ThumbRect();
    if (t.Contains(p)) {
        FDragging = true;
        return;
    }
    // A click in the channel moves a page toward it.
    const int at = Along(p);
    const int thumb = FOrientation == trHorizontal ? t.Left : t.Top;
    UserMove(at < thumb ? FPosition - FPageSize : FPosition + FPageSize);
}

void TTrackBar::WMMouseMove(TMessage& M) {
    TWinControl::WMMouseMove(M);
    if (FDragging) UserMove(PosAt(Along(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)))));
}

void TTrackBar::WMLButtonUp(TMessage& M) {
    FDragging = false;
    TWinControl::WMLButtonUp(M);
}

void TTrackBar::WMMouseWheel(TMessage& M) {
    const int delta = static_cast<std::int16_t>((M.WParam >> 16) & 0xFFFF);
    UserMove(FPosition + (delta > 0 ? -FLineSize : FLineSize));
    M.Result = 1;
}

void TTrackBar::PaintWindow(const TPaintTarget& window) {
    WindowCanvas wc(window);
    TCanvas& c = wc.C;
    c.Brush().SetColor(Color());
    c.FillRect(Rect(0, 0, Width(), Height()));
    TRect ch = ChannelRect();
    c.DrawEdge(ch, EDGE_SUNKEN, BF_RECT);
    if (FTickStyle == tsAuto && FMax > FMin) {
        c.Pen().SetColor(clBtnText);
        const int length = (FOrientation == trHorizontal ? Width() : Height()) - 2 * kMargin;
        for (int v = FMin; v <= FMax; v += FFrequency) {
            const int at = kMargin + length * (v - FMin) / (FMax - FMin);
            if (FOrientation == trHorizontal) {
                c.MoveTo(at, 26);
                c.LineTo(at, 30);
            } else {
                c.MoveTo(26, at);
                c.LineTo(30, at);
            }
        }
    }
    TRect t = ThumbRect();
    c.DrawFrameControl(t, DFC_BUTTON, DFCS_BUTTONPUSH | (Enabled() ? 0u : unsigned(DFCS_INACTIVE)));
    if (Focused()) c.DrawFocusRect(Rect(0, 0, Width(), Height()));
}

// ---------------------------------------------------------------------------
// TUpDown
// ---------------------------------------------------------------------------

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks;
    SetBounds(0, 0, 17, 21);
}

TUpDown::~TUpDown() { Release(); }

void TUpDown::Release() {
    if (!FAssociate) return;
    FAssociate->WindowProc = FAssociateProc;
    FAssociate->RemoveFreeNotification(this);
    FAssociate = nullptr;
}

void TUpDown::SetAssociate(TWinControl* c) {
    if (c == FAssociate) return;
    Release();
    if (!c) return;
    FAssociate = c;
    c->FreeNotification(this);
    // The buddy gives up its right (or left) edge to the arrows.
    const int w = Width();
    if (c->Parent() && c->Parent() != Parent()) SetParent(c->Parent());
    c->SetWidth(std::max(0, c->Width() - w));
    const int x = FAlignButton == udRight ? c->Left() + c->Width() : c->Left();
    if (FAlignButton == udLeft) c->SetLeft(c->Left() + w);
    SetBounds(x, c->Top(), w, c->Height());
    // Up and Down in the buddy step the value.
    FAssociateProc = c->WindowProc;
    c->WindowProc = [this](TMessage& m) {
        if (m.Msg == WM_KEYDOWN && FArrowKeys && (m.WParam == VK_UP || m.WParam == VK_DOWN)) {
            Step(m.WParam == VK_UP ? btNext : btPrev);
            return;
        }
        FAssociateProc(m);
    };
    SetPosition(FPosition);
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    // A buddy going away keeps no procedure of ours to give back.
    if (Operation == opRemove && AComponent == FAssociate) FAssociate = nullptr;
}

QString TUpDown::FormatPosition(int v) const {
    QString digits = QString::number(std::abs(qint64(v)));
    if (FThousands)
        for (int i = int(digits.size()) - 3; i > 0; i -= 3) digits.insert(i, FormatSettings.ThousandSeparator);
    return v < 0 ? QLatin1Char('-') + digits : digits;
}

int TUpDown::BuddyValue() const {
    if (!FAssociate) return FPosition;
    QString t = FAssociate->Text();
    t.remove(FormatSettings.ThousandSeparator);
    return StrToIntDef(t, FPosition);
}

void TUpDown::SetPosition(int v) {
    FPosition = std::clamp(v, FMin, std::max(FMin, FMax));
    if (FAssociate) FAssociate->SetText(FormatPosition(FPosition));
    Invalidate();
}

void TUpDown::Step(TUDBtnType button) {
    // The buddy's text is the value the step starts from.
    FPosition = std::clamp(BuddyValue(), FMin, std::max(FMin, FMax));
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return;
    int next = FPosition + (button == btNext ? FIncrement : -FIncrement);
    if (next > FMax) next = FWrap ? FMin : FMax;
    if (next < FMin) next = FWrap ? FMax : FMin;
    SetPosition(next);
    if (OnClick) OnClick(this, button);
}

void TUpDown::WMLButtonDown(TMessage& M) {
    TWinControl::WMLButtonDown(M);
    const TPoint p(GetXLParam(M.LParam), GetYLParam(M.LParam));
    const bool first = FOrientation == udVertical ? p.Y < Height() / 2 : p.X < Width() / 2;
    // Vertical: the upper arrow counts up; horizontal: the right one does.
    FPressed = FOrientation == udVertical ? (first ? btNext : btPrev) : (first ? btPrev : btNext);
    if (FAssociate && FAssociate->CanFocus()) FAssociate->SetFocus();
    Step(TUDBtnType(FPressed));
    SetTimer(this, kRepeatTimer, 400);
    Invalidate();
}

void TUpDown::WMLButtonUp(TMessage& M) {
    KillTimer(this, kRepeatTimer);
    FPressed = -1;
    Invalidate();
    TWinControl::WMLButtonUp(M);
}

void TUpDown::WMTimer(TMessage& M) {
    if (M.WParam != kRepeatTimer) return;
    if (FPressed < 0) {
        KillTimer(this, kRepeatTimer);
        return;
    }
    // Held down: the value goes on stepping, faster after the first pause.
    SetTimer(this, kRepeatTimer, 100);
    Step(TUDBtnType(FPressed));
}

void TUpDown::PaintWindow(const TPaintTarget& window) {
    WindowCanvas wc(window);
    TCanvas& c = wc.C;
    const bool v = FOrientation == udVertical;
    TRect a = v ? Rect(0, 0, Width(), Height() / 2) : Rect(0, 0, Width() / 2, Height());
    TRect b = v ? Rect(0, Height() / 2, Width(), Height()) : Rect(Width() / 2, 0, Width(), Height());
    const unsigned off = Enabled() ? 0u : unsigned(DFCS_INACTIVE);
    const bool aNext = v;  // the upper arrow is "next"; the left one "previous"
    const bool aDown = FPressed == (aNext ? btNext : btPrev);
    const bool bDown = FPressed == (aNext ? btPrev : btNext);
    c.DrawFrameControl(a, DFC_SCROLL, (v ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | off | (aDown ? unsigned(DFCS_PUSHED) : 0u));
    c.DrawFrameControl(b, DFC_SCROLL, (v ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | off | (bDown ? unsigned(DFCS_PUSHED) : 0u));
}
