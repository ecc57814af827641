// Labels, group boxes, buttons, check boxes, radio buttons and scroll bars.
// Edits and memos are in StdEdit.cpp, combo boxes in StdCombo.cpp, list
// boxes in StdListBox.cpp.
#include "platform/controls/StdCtrls.h"
#include "platform/controls/ScrollBars.h"

#include <algorithm>

namespace {
// Typed letters of a list join into one search this long.
constexpr std::uint32_t kTypeAheadMs = 1000;
}  // namespace

int TTypeAhead::Type(const TStrings& items, QChar ch, std::uint32_t now, int current) {
    if (now - FTypedAt > kTypeAheadMs) FTyped.clear();
    FTypedAt = now;
    FTyped += ch;
    const bool sameLetter = FTyped.count(FTyped[0]) == FTyped.size();
    return sameLetter ? FindItemPrefix(items, QString(ch), current) : FindItemPrefix(items, FTyped, current - 1);
}

int FindItemPrefix(const TStrings& items, const QString& prefix, int after) {
    const int n = items.Count();
    for (int k = 1; k <= n; ++k) {
        const int i = ((after + k) % n + n) % n;
        if (items.Strings(i).startsWith(prefix, Qt::CaseInsensitive)) return i;
    }
    return -1;
}

void SendNotification(TWinControl* c, unsigned code) {
    if (TWinControl* p = c->Parent()) p->Perform(WM_COMMAND, MakeWParam(0, int(code)), c->Handle());
}

// ---------------------------------------------------------------------------
// TCustomLabel
// ---------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    ControlStyle |= csOpaque | csReplicatable;
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAutoSize(bool v) {
    if (v == FAutoSize) return;
    FAutoSize = v;
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
    if (v == FLayout) return;
    FLayout = v;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
    if (v == FWordWrap) return;
    FWordWrap = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    if (v) ControlStyle &= ~csOpaque;
    else ControlStyle |= csOpaque;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
    if (v == FShowAccelChar) return;
    FShowAccelChar = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* c) {
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = c;
    if (c) c->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    // A wrapped label keeps its width and takes the height its lines need.
    if (FWordWrap && !FAdjusting) AdjustBounds();
}

unsigned TCustomLabel::DrawTextFlags() const {
    unsigned f = DT_EXPANDTABS;
    if (FWordWrap) f |= DT_WORDBREAK;
    if (FAlignment == taCenter) f |= DT_CENTER;
    else if (FAlignment == taRightJustify) f |= DT_RIGHT;
    if (!FShowAccelChar) f |= DT_NOPREFIX;
    return f;
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || FAdjusting) return;
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    QString text = DisplayText();
    // An empty caption still takes the height of one line.
    if (text.isEmpty() || (FShowAccelChar && text == QLatin1String("&"))) text += QLatin1Char(' ');
    TRect r = ClientRect();
    if (!FWordWrap) r.Right = r.Left + 100000;
    c->DrawText(text, r, (DrawTextFlags() & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    int x = Left();
    if (FAlignment == taRightJustify) x += Width() - r.Right;
    FAdjusting = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset{FAdjusting};
    SetBounds(x, Top(), FWordWrap ? Width() : r.Right, r.Bottom);
}

void TCustomLabel::CMTextChanged(TMessage& M) {
    TGraphicControl::CMTextChanged(M);
    AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& M) {
    TGraphicControl::CMFontChanged(M);
    AdjustBounds();
}

void TCustomLabel::CMDialogChar(TMessage& M) {
    const QChar ch(char16_t(M.WParam));
    if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(ch, Caption()) && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        M.Result = 1;
    }
}

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!FTransparent) {
        c->Brush().SetColor(Color());
        c->FillRect(r);
    }
    c->Brush().SetStyle(bsClear);
    c->Font().Assign(*Font());
    const unsigned flags = DrawTextFlags();
    const QString text = DisplayText();
    if (FLayout != tlTop) {
        TRect calc = r;
        c->DrawText(text.isEmpty() ? QStringLiteral(" ") : text, calc, flags | DT_CALCRECT);
        const int dy = FLayout == tlCenter ? (r.Height() - calc.Height()) / 2 : r.Height() - calc.Height();
        OffsetRect(r, 0, dy);
    }
    if (!Enabled()) {
        // The classic disabled look: a light copy below right, the shadow on top.
        TRect light = r;
        OffsetRect(light, 1, 1);
        c->Font().SetColor(clBtnHighlight);
        c->DrawText(text, light, flags);
        c->Font().SetColor(clBtnShadow);
    }
    c->DrawText(text, r, flags);
}

// ---------------------------------------------------------------------------
// TCustomGroupBox
// ---------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks |
                   csReplicatable;
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    const int h = c->TextHeight(QStringLiteral("0"));
    // The etched frame runs through the middle of the caption's line.
    TRect r = Rect(1, h / 2, Width(), Height());
    c->Brush().SetColor(clBtnHighlight);
    c->FrameRect(r);
    OffsetRect(r, -1, -1);
    c->Brush().SetColor(clBtnShadow);
    c->FrameRect(r);
    if (Caption().isEmpty()) return;
    TRect t = Rect(8, 0, 8, h);
    c->DrawText(Caption(), t, DT_SINGLELINE | DT_CALCRECT);
    c->Brush().SetColor(Color());
    if (!Enabled()) c->Font().SetColor(clGrayText);
    c->DrawText(Caption(), t, DT_SINGLELINE);
}

void TCustomGroupBox::CMDialogChar(TMessage& M) {
    const QChar ch(char16_t(M.WParam));
    if (IsAccel(ch, Caption()) && CanFocus()) {
        if (TWinControl* first = FindNextControl(nullptr, true, true, false)) {
            first->SetFocus();
            M.Result = 1;
            return;
        }
    }
    TCustomControl::CMDialogChar(M);
}

// ---------------------------------------------------------------------------
// TButtonControl
// ---------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
    // The press is judged here (Activate), not by the generic click rule.
    ControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks;
    SetTabStop(true);
}

void TButtonControl::WndProc(TMessage& M) {
    if (M.Msg == BM_CLICK) {
        if (Enabled()) Activate();
        return;
    }
    TCustomControl::WndProc(M);
}

void TButtonControl::WMLButtonDown(TMessage& M) {
    if (CanFocus() && !Focused()) SetFocus();
    FTracking = true;
    FPushed = true;
    Invalidate();
    TCustomControl::WMLButtonDown(M);
}

void TButtonControl::WMLButtonDblClk(TMessage& M) {
    // A second press counts as a press of its own.
    FTracking = true;
    FPushed = true;
    Invalidate();
    TCustomControl::WMLButtonDblClk(M);
}

void TButtonControl::WMMouseMove(TMessage& M) {
    if (FTracking) {
        const bool inside = ClientRect().Contains(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
        if (inside != FPushed) {
            FPushed = inside;
            Invalidate();
        }
    }
    TCustomControl::WMMouseMove(M);
}

void TButtonControl::WMLButtonUp(TMessage& M) {
    const bool fire = FTracking && FPushed;
    FTracking = false;
    FPushed = false;
    Invalidate();
    SetMouseCapture(false);
    if (fire) Activate();
    TCustomControl::WMLButtonUp(M);
}

void TButtonControl::WMKeyDown(TMessage& M) {
    if (DoKeyDown(M)) {
        M.Result = 1;
        return;
    }
    if (M.WParam == VK_SPACE) {
        FSpaceDown = true;
        FPushed = true;
        Invalidate();
    }
}

void TButtonControl::WMKeyUp(TMessage& M) {
    const bool space = M.WParam == VK_SPACE && FSpaceDown;
    if (DoKeyUp(M)) {
        M.Result = 1;
        return;
    }
    if (space) {
        FSpaceDown = false;
        FPushed = false;
        Invalidate();
        Activate();
    }
}

// The focus mark comes and goes with the focus.
void TButtonControl::WMSetFocus(TMessage& M) {
    Invalidate();
    TCustomControl::WMSetFocus(M);
}

void TButtonControl::WMKillFocus(TMessage& M) {
    FSpaceDown = false;
    FPushed = false;
    Invalidate();
    TCustomControl::WMKillFocus(M);
}

void TButtonControl::CMDialogChar(TMessage& M) {
    const QChar ch(char16_t(M.WParam));
    if (IsAccel(ch, Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Activate();
        M.Result = 1;
    }
}

// ---------------------------------------------------------------------------
// TButton
// ---------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 75, 25); }

void TButton::Activate() {
    SendNotification(this, BN_CLICKED);
    Click();
}

void TButton::Click() {
    // The result goes to the form first, so OnClick can take it back.
    if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::WMGetDlgCode(TMessage& M) {
    M.Result = DLGC_BUTTON | (FDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

void TButton::WMSetFocus(TMessage& M) {
    FActive = true;
    TButtonControl::WMSetFocus(M);
    Invalidate();
}

void TButton::WMKillFocus(TMessage& M) {
    FActive = false;
    TButtonControl::WMKillFocus(M);
    Invalidate();
}

void TButton::CMDialogKey(TMessage& M) {
    if (!Enabled() || !Showing()) return;
    // Enter clicks the focused button, or the default one while no other
    // button has the focus.
    bool active = Focused();
    if (!active && FDefault) active = dynamic_cast<TButton*>(FocusedControl()) == nullptr;
    if ((M.WParam == VK_RETURN && active) || (M.WParam == VK_ESCAPE && FCancel)) {
        Click();
        M.Result = 1;
    }
}

void TButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush().SetColor(clBtnFace);
    c->FillRect(r);
    const bool isDefault = FDefault || Focused();
    if (isDefault) {
        c->Brush().SetColor(clWindowFrame);
        c->FrameRect(r);
        InflateRect(r, -1, -1);
    }
    TRect face = r;
    c->DrawFrameControl(face, DFC_BUTTON,
                        DFCS_BUTTONPUSH | (Pushed() ? unsigned(DFCS_PUSHED) : 0u) |
                            (Enabled() ? 0u : unsigned(DFCS_INACTIVE)));
    TRect t = r;
    if (Pushed()) OffsetRect(t, 1, 1);
    c->Brush().SetStyle(bsClear);
    c->Font().Assign(*Font());
    const unsigned flags = DT_CENTER | (WordWrap() ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER);
    if (WordWrap()) {
        TRect calc = t;
        c->DrawText(Caption(), calc, flags | DT_CALCRECT);
        OffsetRect(t, 0, (t.Height() - calc.Height()) / 2);
    }
    if (!Enabled()) c->Font().SetColor(clGrayText);
    c->DrawText(Caption(), t, flags);
    if (Focused()) {
        TRect f = r;
        InflateRect(f, -3, -3);
        c->DrawFocusRect(f);
    }
}

// ---------------------------------------------------------------------------
// Check box and radio button
// ---------------------------------------------------------------------------

namespace {
constexpr int kBoxSize = 13;

// The box (or circle) on one side, the caption on the other, the focus
// frame around the caption.
void PaintCheckLike(TCustomControl* ctl, TCanvas* c, TAlignment align, unsigned kind, unsigned state,
                    bool focused) {
    TRect r = ctl->ClientRect();
    c->Brush().SetColor(ctl->Color());
    c->FillRect(r);
    const int top = (r.Height() - kBoxSize) / 2;
    const bool boxLeft = align == taRightJustify;
    const int boxX = boxLeft ? 0 : r.Width() - kBoxSize;
    TRect box = Bounds(boxX, top, kBoxSize, kBoxSize);
    c->DrawFrameControl(box, DFC_BUTTON, kind | state);
    c->Brush().SetStyle(bsClear);
    c->Font().Assign(*ctl->Font());
    if (!ctl->Enabled()) c->Font().SetColor(clGrayText);
    TRect text = boxLeft ? Rect(kBoxSize + 4, 0, r.Width(), r.Height()) : Rect(0, 0, r.Width() - kBoxSize - 4, r.Height());
    TRect calc = text;
    c->DrawText(ctl->Caption(), calc, DT_SINGLELINE | DT_CALCRECT);
    const int dy = (text.Height() - calc.Height()) / 2;
    TRect at = Rect(calc.Left, text.Top + dy, calc.Right, text.Top + dy + calc.Height());
    c->DrawText(ctl->Caption(), at, DT_SINGLELINE);
    if (focused && !ctl->Caption().isEmpty()) {
        InflateRect(at, 1, 1);
        c->DrawFocusRect(at);
    }
}
}  // namespace

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCustomCheckBox::SetState(TCheckBoxState v) {
    if (v == FState) return;
    FState = v;
    Invalidate();
    // The class library clicks on every change, also one made in code:
    // dialogs that load their values rely on it.
    Click();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::Activate() {
    SendNotification(this, BN_CLICKED);
    Toggle();
}

void TCustomCheckBox::WndProc(TMessage& M) {
    switch (M.Msg) {
    case BM_GETCHECK: M.Result = FState; return;
    case BM_SETCHECK:
        SetState(M.WParam == BST_CHECKED ? cbChecked : M.WParam == BST_INDETERMINATE ? cbGrayed : cbUnchecked);
        return;
    default: TButtonControl::WndProc(M);
    }
}

void TCustomCheckBox::WMGetDlgCode(TMessage& M) { M.Result = DLGC_BUTTON; }

void TCustomCheckBox::Paint() {
    unsigned state = 0;
    if (FState == cbChecked) state |= DFCS_CHECKED;
    if (FState == cbGrayed) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (Pushed()) state |= DFCS_PUSHED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    PaintCheckLike(this, Canvas(), FAlignment, DFCS_BUTTONCHECK, state, Focused());
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
    // Only the checked button of a group is a tab stop.
    SetTabStop(false);
}

void TRadioButton::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    SetTabStop(v);
    Invalidate();
    if (!v) return;
    if (TWinControl* p = Parent()) {
        for (int i = 0; i < p->ControlCount(); ++i) {
            auto* other = dynamic_cast<TRadioButton*>(p->Controls(i));
            if (other && other != this) other->SetChecked(false);
        }
    }
    Click();
}

void TRadioButton::Activate() {
    SendNotification(this, BN_CLICKED);
    SetChecked(true);
}

void TRadioButton::WndProc(TMessage& M) {
    switch (M.Msg) {
    case BM_GETCHECK: M.Result = FChecked ? BST_CHECKED : BST_UNCHECKED; return;
    case BM_SETCHECK: SetChecked(M.WParam == BST_CHECKED); return;
    default: TButtonControl::WndProc(M);
    }
}

void TRadioButton::WMGetDlgCode(TMessage& M) { M.Result = DLGC_BUTTON | DLGC_RADIOBUTTON; }

void TRadioButton::WMSetFocus(TMessage& M) {
    TButtonControl::WMSetFocus(M);
    // Arrowing onto a radio button of a group checks it.
    for (int vk : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})
        if (GetKeyState(vk) < 0) {
            Activate();
            break;
        }
}

void TRadioButton::Paint() {
    unsigned state = 0;
    if (FChecked) state |= DFCS_CHECKED;
    if (Pushed()) state |= DFCS_PUSHED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    PaintCheckLike(this, Canvas(), FAlignment, DFCS_BUTTONRADIO, state, Focused());
}

// ---------------------------------------------------------------------------
// TScrollBar
// ---------------------------------------------------------------------------

TScrollBar::TScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle = csCaptureMouse | csDoubleClicks | csOpaque;
    SetTabStop(true);
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL) > 0 ? GetSystemMetrics(SM_CYHSCROLL) : 17);
    SyncBar();
}

void TScrollBar::SetKind(TScrollBarKind v) {
    if (v == FKind) return;
    FKind = v;
    SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
    if (AMax < AMin) throw EInvalidOperation(QStringLiteral("Scroll bar property out of range"));
    FMin = AMin;
    FMax = AMax;
    if (FPageSize > FMax - FMin + 1) FPageSize = FMax - FMin + 1;
    const int top = FPageSize > 0 ? FMax - FPageSize + 1 : FMax;
    APosition = std::clamp(APosition, FMin, std::max(FMin, top));
    const bool moved = APosition != FPosition;
    FPosition = APosition;
    SyncBar();
    if (moved) Change();
}

void TScrollBar::SetPosition(int v) { SetParams(v, FMin, FMax); }

void TScrollBar::SetPageSize(int v) {
    if (v < 0 || v > FMax - FMin + 1) throw EInvalidOperation(QStringLiteral("Scroll bar property out of range"));
    FPageSize = v;
    SetParams(FPosition, FMin, FMax);
}

void TScrollBar::Change() {
    if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
    if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::WndProc(TMessage& M) {
    // The bar reports its scrolling to itself, as a reflected notification.
    if (M.Msg == WM_HSCROLL || M.Msg == WM_VSCROLL) {
        DoScroll(M);
        return;
    }
    TCustomControl::WndProc(M);
}

void TScrollBar::DoScroll(TMessage& M) {
    const int code = LoWord(LPARAM(M.WParam));
    int pos = FPosition;
    const TScrollCode sc = TScrollCode(std::clamp(code, 0, int(scEndScroll)));
    switch (code) {
    case SB_LINEUP: pos -= FSmallChange; break;
    case SB_LINEDOWN: pos += FSmallChange; break;
    case SB_PAGEUP: pos -= FLargeChange; break;
    case SB_PAGEDOWN: pos += FLargeChange; break;
    case SB_THUMBPOSITION: case SB_THUMBTRACK: pos = HiWord(LPARAM(M.WParam)) + 0; break;
    case SB_TOP: pos = FMin; break;
    case SB_BOTTOM: pos = FMax; break;
    default: break;
    }
    const int top = FPageSize > 0 ? FMax - FPageSize + 1 : FMax;
    pos = std::clamp(pos, FMin, std::max(FMin, top));
    Scroll(sc, pos);
    SetPosition(pos);
}

void TScrollBar::SendScroll(int code, int pos) {
    Perform(FKind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL, MakeWParam(code, pos), Handle());
}

void TScrollBar::CreateParams(TCreateParams& P) {
    TCustomControl::CreateParams(P);
    if (FKind == sbVertical) P.Style |= SBS_VERT;
}

// The bar's own scroll information follows its properties.
void TScrollBar::SyncBar() {
    TScrollInfo si;
    si.fMask = SIF_ALL;
    si.nMin = FMin;
    si.nMax = FMax;
    si.nPage = unsigned(FPageSize);
    si.nPos = FPosition;
    SetScrollInfo(this, SB_CTL, si, true);
}

void TScrollBar::WMLButtonDown(TMessage& M) {
    if (CanFocus() && !Focused()) SetFocus();
    TCustomControl::WMLButtonDown(M);
    // The shared bar tracks the press: arrows and page clicks repeat while
    // held, the thumb follows the mouse, the release ends the scroll.
    ScrollBarsState()->MouseDown(SB_CTL, Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
}

void TScrollBar::WMKeyDown(TMessage& M) {
    if (DoKeyDown(M)) {
        M.Result = 1;
        return;
    }
    switch (M.WParam) {
    case VK_LEFT: case VK_UP: SendScroll(SB_LINEUP); break;
    case VK_RIGHT: case VK_DOWN: SendScroll(SB_LINEDOWN); break;
    case VK_PRIOR: SendScroll(SB_PAGEUP); break;
    case VK_NEXT: SendScroll(SB_PAGEDOWN); break;
    case VK_HOME: SendScroll(SB_TOP); break;
    case VK_END: SendScroll(SB_BOTTOM); break;
    default: return;
    }
    SendScroll(SB_ENDSCROLL);
}

void TScrollBar::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS; }

void TScrollBar::Paint() { ScrollBarsState()->Paint(Canvas(), SB_CTL); }
