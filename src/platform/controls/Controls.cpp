#include "platform/controls/Controls.h"

#include "platform/controls/Forms.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <deque>

// ---------------------------------------------------------------------------
// Program-wide window state: handles, focus, capture, posted messages
// ---------------------------------------------------------------------------

namespace {
QHash<HWND, TWinControl*>& Handles() {
    static QHash<HWND, TWinControl*> h;
    return h;
}
HWND gNextHandle = 0x100;
TWinControl* gFocused = nullptr;
TControl* gCapture = nullptr;

struct Posted {
    HWND Wnd;
    TMessage Msg;
};
std::deque<Posted>& Queue() {
    static std::deque<Posted> q;
    return q;
}

HWND HandleOf(TWinControl* c) { return c ? c->Handle() : 0; }

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

// The Alt state comes with the key message; Shift and Ctrl from the keyboard.
TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (keyData & (LPARAM(1) << 29)) s |= ssAlt;
    return s;
}
}  // namespace

TWinControl* FocusedControl() { return gFocused; }

void SetFocusedWindow(TWinControl* c) {
    TWinControl* old = gFocused;
    if (old == c) return;
    gFocused = c;
    if (old) old->Perform(WM_KILLFOCUS, static_cast<WPARAM>(HandleOf(c)));
    // The old control's handler may already have moved the focus elsewhere.
    if (c && gFocused == c) c->Perform(WM_SETFOCUS, static_cast<WPARAM>(HandleOf(old)));
}

void SetFocusedWindowQuietly(TWinControl* c) { gFocused = c; }

TWinControl* FindControl(HWND h) { return Handles().value(h, nullptr); }

TControl* GetCaptureControl() { return gCapture; }

void SetCaptureControl(TControl* c) {
    TControl* old = gCapture;
    if (old == c) return;
    gCapture = c;
    if (old) old->Perform(WM_CAPTURECHANGED, 0, c ? LPARAM(1) : 0);
}

TCustomForm* GetParentForm(const TControl* c) {
    const TControl* p = c;
    while (p && p->Parent()) p = p->Parent();
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(p));
}

TCustomForm* GetOwnerForm(const TComponent* c) {
    for (const TComponent* p = c; p; p = p->Owner())
        if (auto* f = dynamic_cast<const TCustomForm*>(p)) return const_cast<TCustomForm*>(f);
    return nullptr;
}

bool IsAccel(QChar ch, const QString& caption) {
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] == QLatin1Char('&')) { ++i; continue; }  // a literal "&"
        return caption[i + 1].toUpper() == ch.toUpper();
    }
    return false;
}

QString StripHotkey(const QString& caption) {
    QString out;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        else if (caption[i] == QLatin1Char('&')) continue;
        out += caption[i];
    }
    return out;
}

QString GetShortHint(const QString& hint) {
    const int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

QString GetLongHint(const QString& hint) {
    const int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void RedrawWindow(TWinControl* c, const TRect*, unsigned rdwFlags) {
    if (c && (rdwFlags & (RDW_INVALIDATE | RDW_FRAME | RDW_ERASE))) c->Invalidate();
}

void InvalidateRect(TWinControl* c, const TRect*, bool) {
    if (c) c->Invalidate();
}

void UpdateWindow(TWinControl* c) {
    if (c) c->Update();
}

bool PostMessage(HWND h, unsigned Msg, WPARAM WParam, LPARAM LParam) {
    if (!FindControl(h)) return false;
    Queue().push_back({h, TMessage{Msg, WParam, LParam, 0}});
    return true;
}

int PostedMessageCount() { return int(Queue().size()); }

int DrainPostedMessages() {
    int n = 0;
    // Only what is queued now: a handler that posts again waits for the next
    // round, so a message that re-posts itself cannot hold the loop.
    for (std::size_t left = Queue().size(); left > 0 && !Queue().empty(); --left) {
        Posted p = Queue().front();
        Queue().pop_front();
        // A control freed after the post no longer receives it.
        if (TWinControl* c = FindControl(p.Wnd)) {
            ++n;
            Application()->Guard([&] { c->Perform(p.Msg.Msg, p.Msg.WParam, p.Msg.LParam); });
        }
    }
    return n;
}

// ---------------------------------------------------------------------------
// Actions
// ---------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
    for (TActionLink* l : QList<TActionLink*>(FClients)) l->SetAction(nullptr);
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

void TBasicAction::RegisterChanges(TActionLink* link) {
    if (!FClients.contains(link)) FClients << link;
}

void TBasicAction::UnRegisterChanges(TActionLink* link) { FClients.removeAll(link); }

void TBasicAction::Change() {
    for (TActionLink* l : QList<TActionLink*>(FClients)) l->Change();
}

TAction::TAction(TComponent* AOwner) : TBasicAction(AOwner) {}

void TAction::SetCaption(const QString& v) { if (v != FCaption) { FCaption = v; Change(); } }
void TAction::SetEnabled(bool v) { if (v != FEnabled) { FEnabled = v; Change(); } }
void TAction::SetVisible(bool v) { if (v != FVisible) { FVisible = v; Change(); } }
void TAction::SetChecked(bool v) { if (v != FChecked) { FChecked = v; Change(); } }
void TAction::SetHint(const QString& v) { if (v != FHint) { FHint = v; Change(); } }
void TAction::SetImageIndex(int v) { if (v != FImageIndex) { FImageIndex = v; Change(); } }

bool TAction::Execute() { return FEnabled && TBasicAction::Execute(); }

TActionLink::~TActionLink() {
    if (FAction) FAction->UnRegisterChanges(this);
}

void TActionLink::SetAction(TBasicAction* a) {
    if (a == FAction) return;
    if (FAction) FAction->UnRegisterChanges(this);
    FAction = a;
    if (FAction) {
        FAction->RegisterChanges(this);
        Change();
    }
}

bool TActionLink::Execute() { return FAction && FAction->Execute(); }

void TActionLink::Change() {
    if (FAction) FClient->ActionChange(FAction, false);
}

// ---------------------------------------------------------------------------
// TControl
// ---------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    FFont.OnChange = [this](TGraphicsObject* o) { DoFontChange(o); };
}

TControl::~TControl() {
    if (gCapture == this) gCapture = nullptr;
    ControlDestroying(this);
    FActionLink.reset();
    if (FParent) FParent->RemoveControl(this);
}

void TControl::AfterConstruction() {}

LRESULT TControl::Perform(unsigned Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::WndProc(TMessage& M) {
    // An automatic drag starts with the press, in place of its usual handling.
    if ((M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK) && FDragMode == dmAutomatic && !Dragging()) {
        BeginDrag(true);
        return;
    }
    switch (M.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(M); break;
    case WM_LBUTTONUP: WMLButtonUp(M); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(M); break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: WMRButtonDown(M); break;
    case WM_RBUTTONUP: WMRButtonUp(M); break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: WMMButtonDown(M); break;
    case WM_MBUTTONUP: WMMButtonUp(M); break;
    case WM_MOUSEMOVE: WMMouseMove(M); break;
    case WM_MOUSEWHEEL: WMMouseWheel(M); break;
    case WM_CONTEXTMENU: WMContextMenu(M); break;
    case CM_MOUSEENTER: CMMouseEnter(M); break;
    case CM_MOUSELEAVE: CMMouseLeave(M); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(M); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(M); break;
    case CM_TEXTCHANGED: CMTextChanged(M); break;
    case CM_FONTCHANGED: CMFontChanged(M); break;
    case CM_COLORCHANGED: CMColorChanged(M); break;
    case CM_HINTSHOW: CMHintShow(M); break;
    case CM_DIALOGKEY: CMDialogKey(M); break;
    case CM_DIALOGCHAR: CMDialogChar(M); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(M); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(M); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(M); break;
    default: DefaultHandler(M); break;
    }
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EInvalidOperation(QStringLiteral("A control cannot have itself as its parent"));
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    const bool resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Invalidate();
    if (resized) Resize();
    if (FParent && FAlign != alNone) FParent->AlignControls();
}

TPoint TControl::ClientOrigin() const {
    TPoint p(FLeft, FTop);
    if (FParent) {
        const TPoint o = FParent->ClientOrigin();
        p.X += o.X;
        p.Y += o.Y;
    }
    return p;
}

TPoint TControl::ClientToScreen(const TPoint& p) const {
    const TPoint o = ClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(const TPoint& p) const {
    const TPoint o = ClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
}

void TControl::SetAlign(TAlign v) {
    if (v == FAlign) return;
    FAlign = v;
    if (FParent) FParent->AlignControls();
}

void TControl::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    Perform(CM_VISIBLECHANGED, v ? 1 : 0);
    if (FParent) {
        if (FAlign != alNone) FParent->AlignControls();
        FParent->Invalidate();
    }
}

void TControl::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    Perform(CM_ENABLEDCHANGED);
}

bool TControl::Showing() const {
    if (!FVisible) return false;
    if (FParent) return FParent->Showing();
    // A top-level control shows when it is a form on the screen.
    if (auto* f = dynamic_cast<const TCustomForm*>(this)) return f->IsShownOnScreen();
    return false;
}

void TControl::SetText(const QString& v) {
    if (v == FText) return;
    FText = v;
    Perform(CM_TEXTCHANGED);
}

void TControl::DoFontChange(TGraphicsObject*) {
    if (!FUpdatingFromParent) FParentFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool v) {
    FParentFont = v;
    if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || !FParent) return;
    FUpdatingFromParent = true;
    FFont.Assign(*FParent->Font());
    FUpdatingFromParent = false;
}

void TControl::SetColor(TColor v) {
    FParentColor = false;
    if (v == FColor) return;
    FColor = v;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
    FParentColor = v;
    if (v) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!FParentColor || !FParent) return;
    if (FColor != FParent->Color()) {
        FColor = FParent->Color();
        Perform(CM_COLORCHANGED);
    }
}

void TControl::SetCursor(TCursor v) { FCursor = v; }

void TControl::SetPopupMenu(TPopupMenu* m) {
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = m;
    if (m) m->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == FPopupMenu) FPopupMenu = nullptr;
    if (FActionLink && component == FActionLink->Action()) FActionLink.reset();
}

void TControl::SetShowHint(bool v) {
    FParentShowHint = false;
    if (v == FShowHint) return;
    FShowHint = v;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
    FParentShowHint = v;
    if (v && FParent) FShowHint = FParent->ShowHint();
}

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* a) {
    if (TBasicAction* old = Action()) old->RemoveFreeNotification(this);
    if (!a) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) FActionLink = std::make_unique<TActionLink>(this);
    FActionLink->SetAction(a);
    a->FreeNotification(this);
}

void TControl::ActionChange(TObject* Sender, bool) {
    auto* a = dynamic_cast<TAction*>(Sender);
    if (!a) return;
    SetCaption(a->Caption());
    SetEnabled(a->Enabled());
    SetVisible(a->Visible());
    SetHint(a->Hint());
}

void TControl::Invalidate() {
    ++FInvalidateCount;
    if (TCustomForm* f = GetParentForm(this)) f->RequestRepaint();
}

void TControl::PaintTo(QImage&, TPoint) {}

void TControl::Click() {
    // A linked action runs in place of OnClick only when there is no OnClick.
    if (OnClick) OnClick(this);
    else if (FActionLink) FActionLink->Execute();
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

bool TControl::MouseCapture() const { return gCapture == this; }

void TControl::SetMouseCapture(bool v) {
    if (v) SetCaptureControl(this);
    else if (gCapture == this) SetCaptureControl(nullptr);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (!handled)
        handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::MouseButtonDown(TMessage& M, TMouseButton button) {
    if (button == mbLeft) {
        if (ControlStyle & csCaptureMouse) SetMouseCapture(true);
        if (ControlStyle & csClickEvents) ControlState |= csClicked;
    }
    TShiftState shift = KeysToShiftState(M.WParam);
    if (M.Msg == WM_LBUTTONDBLCLK || M.Msg == WM_RBUTTONDBLCLK || M.Msg == WM_MBUTTONDBLCLK) shift |= ssDouble;
    MouseDown(button, shift, GetXLParam(M.LParam), GetYLParam(M.LParam));
}

void TControl::MouseButtonUp(TMessage& M, TMouseButton button) {
    const int x = GetXLParam(M.LParam), y = GetYLParam(M.LParam);
    if (button == mbLeft) {
        if (ControlStyle & csCaptureMouse) SetMouseCapture(false);
        if (ControlState & csClicked) {
            ControlState &= ~csClicked;
            if (ClientRect().Contains(Point(x, y))) Click();
        }
    }
    MouseUp(button, KeysToShiftState(M.WParam), x, y);
}

void TControl::WMLButtonDown(TMessage& M) { MouseButtonDown(M, mbLeft); }
void TControl::WMLButtonUp(TMessage& M) { MouseButtonUp(M, mbLeft); }
void TControl::WMRButtonDown(TMessage& M) { MouseButtonDown(M, mbRight); }
void TControl::WMRButtonUp(TMessage& M) { MouseButtonUp(M, mbRight); }
void TControl::WMMButtonDown(TMessage& M) { MouseButtonDown(M, mbMiddle); }
void TControl::WMMButtonUp(TMessage& M) { MouseButtonUp(M, mbMiddle); }

void TControl::WMLButtonDblClk(TMessage& M) {
    if (ControlStyle & csCaptureMouse) SetMouseCapture(true);
    if (ControlStyle & csClickEvents) DblClick();
    TShiftState shift = KeysToShiftState(M.WParam) | ssDouble;
    MouseDown(mbLeft, shift, GetXLParam(M.LParam), GetYLParam(M.LParam));
}

void TControl::WMMouseMove(TMessage& M) {
    MouseMove(KeysToShiftState(M.WParam), GetXLParam(M.LParam), GetYLParam(M.LParam));
}

void TControl::WMMouseWheel(TMessage& M) {
    const int delta = static_cast<std::int16_t>((M.WParam >> 16) & 0xFFFF);
    const TPoint pos(GetXLParam(M.LParam), GetYLParam(M.LParam));
    if (DoMouseWheel(KeysToShiftState(M.WParam & 0xFFFF), delta, pos)) {
        M.Result = 1;
        return;
    }
    // Not taken: the parent may scroll instead.
    if (FParent) M.Result = FParent->Perform(M.Msg, M.WParam, M.LParam);
}

void TControl::WMContextMenu(TMessage& M) {
    TPopupMenu* menu = FPopupMenu;
    for (TControl* p = FParent; !menu && p; p = p->Parent()) menu = p->PopupMenu();
    if (!menu) return;
    TPoint at(GetXLParam(M.LParam), GetYLParam(M.LParam));
    if (M.LParam == -1) at = ClientToScreen(Point(0, 0));  // from the keyboard
    menu->PopupComponent = this;
    menu->Popup(at.X, at.Y);
    M.Result = 1;
}

void TControl::CMMouseEnter(TMessage&) {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage&) {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage&) {}
void TControl::CMTextChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMHintShow(TMessage&) {}
void TControl::CMDialogKey(TMessage&) {}
void TControl::CMDialogChar(TMessage&) {}
void TControl::CMParentFontChanged(TMessage&) { ParentFontChanged(); }
void TControl::CMParentColorChanged(TMessage&) { ParentColorChanged(); }

void TControl::CMParentShowHintChanged(TMessage&) {
    if (FParentShowHint && FParent) FShowHint = FParent->ShowHint();
}

// ---------------------------------------------------------------------------
// TGraphicControl
// ---------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()), FScratch(std::make_unique<QImage>(1, 1, QImage::Format_RGB32)) {
    FCanvas->Attach(FScratch.get());
}

TGraphicControl::~TGraphicControl() { FCanvas->Detach(); }

void TGraphicControl::PaintTo(QImage& surface, TPoint at) {
    if (Width() <= 0 || Height() <= 0) return;
    QImage own = surface.copy(at.X, at.Y, Width(), Height());
    FCanvas->Detach();
    FCanvas->Attach(&own);
    FCanvas->Font().Assign(*Font());
    try {
        Paint();
    } catch (...) {
        FCanvas->Detach();
        FCanvas->Attach(FScratch.get());
        throw;
    }
    FCanvas->Detach();
    FCanvas->Attach(FScratch.get());
    QPainter p(&surface);
    p.drawImage(at.X, at.Y, own);
}

// ---------------------------------------------------------------------------
// TWinControl
// ---------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    // Leave the parent while still a windowed control, so the tab list and
    // the form's focus bookkeeping let go of this control.
    if (FParent) FParent->RemoveControl(this);
    // Children the control does not own leave it; owned ones are freed by
    // their owner.
    while (!FControls.isEmpty()) FControls.back()->SetParent(nullptr);
    if (gFocused == this) gFocused = nullptr;
    if (FHandle) {
        KillTimersOf(FHandle);
        Handles().remove(FHandle);
    }
}

HWND TWinControl::Handle() {
    if (!FHandle) {
        FHandle = gNextHandle++;
        Handles().insert(FHandle, this);
    }
    return FHandle;
}

void TWinControl::CreateParams(TCreateParams& P) {
    P.Caption = Text();
    P.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (TabStop()) P.Style |= WS_TABSTOP;
    if (!Enabled()) P.Style |= WS_DISABLED;
    P.ExStyle = 0;
    P.X = Left();
    P.Y = Top();
    P.Width = Width();
    P.Height = Height();
    P.WinClassName = ClassName();
}

void TWinControl::RecreateWnd() {
    FParamsValid = false;
    Params();
    Invalidate();
}

const TCreateParams& TWinControl::Params() {
    if (!FParamsValid) {
        FParams = TCreateParams{};
        CreateParams(FParams);
        FParamsValid = true;
    }
    return FParams;
}

bool TWinControl::ContainsControl(const TControl* c) const {
    for (const TControl* p = c; p; p = p->Parent())
        if (p == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& p, bool allowDisabled) {
    // The last child in z-order lies on top.
    for (int i = int(FControls.size()) - 1; i >= 0; --i) {
        TControl* c = FControls[i];
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
        if (!c->BoundsRect().Contains(p)) continue;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            return w->ControlAtPos(Point(p.X - c->Left(), p.Y - c->Top()), allowDisabled);
        return c;
    }
    return this;
}

void TWinControl::InsertControl(TControl* c) {
    c->FParent = this;
    FControls << c;
    if (auto* w = dynamic_cast<TWinControl*>(c)) FTabList << w;
    c->ParentFontChanged();
    c->ParentColorChanged();
    if (c->ParentShowHint()) c->FShowHint = ShowHint();
    if (c->Align() != alNone) AlignControls();
    Invalidate();
}

void TWinControl::RemoveControl(TControl* c) {
    if (gFocused && ContainsControl(gFocused) && static_cast<TControl*>(gFocused) != this) {
        // Removing the focused control: the focus stays nowhere inside it.
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->ContainsControl(gFocused)) gFocused = nullptr;
    }
    if (TCustomForm* f = GetParentForm(this)) f->ControlRemoved(c);
    FControls.removeAll(c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) FTabList.removeAll(w);
    c->FParent = nullptr;
    if (c->Align() != alNone) AlignControls();
    Invalidate();
}

void TWinControl::Broadcast(TMessage& M) {
    for (TControl* c : QList<TControl*>(FControls)) {
        c->WindowProc(M);
        if (M.Result != 0) return;
    }
}

int TWinControl::TabOrder() const {
    return FParent ? int(FParent->FTabList.indexOf(const_cast<TWinControl*>(this))) : -1;
}

void TWinControl::SetTabOrder(int v) {
    if (!FParent) return;
    auto& list = FParent->FTabList;
    const int cur = int(list.indexOf(this));
    if (cur < 0) return;
    v = std::clamp(v, 0, int(list.size()) - 1);
    list.move(cur, v);
}

void TWinControl::GetTabOrderList(QList<TWinControl*>& list) {
    for (TWinControl* c : FTabList) {
        list << c;
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* cur, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    QList<TWinControl*> list;
    GetTabOrderList(list);
    if (list.isEmpty()) return nullptr;
    int start = int(list.indexOf(cur));
    if (start < 0) start = GoForward ? int(list.size()) - 1 : 0;
    int i = start;
    do {
        if (GoForward) {
            if (++i == list.size()) i = 0;
        } else {
            if (i == 0) i = int(list.size());
            --i;
        }
        TWinControl* c = list[i];
        if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* cur, bool GoForward, bool CheckTabStop) {
    if (TWinControl* next = FindNextControl(cur, GoForward, CheckTabStop, !CheckTabStop)) next->SetFocus();
}

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(this);
    for (const TControl* c = this; c; c = c->Parent()) {
        if (c == form) return true;  // the form itself may still be hidden
        if (!c->Visible() || !c->Enabled()) return false;
    }
    return form == nullptr;
}

bool TWinControl::Focused() const { return gFocused == this; }

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(this)) {
        form->FocusControl(this);
        return;
    }
    if (!CanFocus()) throw EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
    SetFocusedWindow(this);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const bool resized = std::max(0, AWidth) != Width() || std::max(0, AHeight) != Height();
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    FParamsValid = false;
    if (resized) {
        Perform(WM_SIZE, 0, MakeLParam(ClientWidth(), ClientHeight()));
        AlignControls();
    }
}

void TWinControl::AlignControls() {
    if (FAligning) return;
    FAligning = true;
    TRect r = ClientRect();
    auto place = [&](TAlign which) {
        for (TControl* c : FControls) {
            if (c->Align() != which || !c->Visible()) continue;
            switch (which) {
            case alTop:
                c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
                r.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
                r.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(r.Left, r.Top, c->Width(), r.Height());
                r.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), r.Height());
                r.Right -= c->Width();
                break;
            case alClient:
                c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
                break;
            default: break;
            }
        }
    };
    // Top and bottom first, then the sides, then what is left to the client.
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
    FAligning = false;
}

void TWinControl::PaintTo(QImage& surface, TPoint at) {
    if (Width() <= 0 || Height() <= 0) return;
    QImage own = surface.copy(at.X, at.Y, Width(), Height());
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(&own));
    for (TControl* c : QList<TControl*>(FControls))
        if (c->Visible()) c->PaintTo(own, Point(c->Left(), c->Top()));
    QPainter p(&surface);
    p.drawImage(at.X, at.Y, own);
}

bool TWinControl::DialogKeyTaken(unsigned vk, LPARAM keyData) {
    unsigned mask = 0;
    switch (vk) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: return false;
    }
    if (Perform(CM_WANTSPECIALKEY, vk, keyData) != 0) return false;
    const LRESULT code = Perform(WM_GETDLGCODE, vk, keyData);
    if (code & (mask | DLGC_WANTALLKEYS)) return false;
    TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    return form->Perform(CM_DIALOGKEY, vk, keyData) != 0;
}

bool TWinControl::DialogCharTaken(QChar ch, LPARAM keyData) {
    TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    const bool alt = (keyData & (LPARAM(1) << 29)) != 0;
    if (alt) {
        // Alt with a letter always asks the form for an accelerator.
        if (ch == QLatin1Char(' ')) return false;
    } else if (Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) {
        return false;
    }
    return form->Perform(CM_DIALOGCHAR, ch.unicode(), keyData) != 0;
}

void TWinControl::WndProc(TMessage& M) {
    switch (M.Msg) {
    case WM_SETFOCUS: {
        // The form learns of the new focus first: that is where CM_EXIT and
        // CM_ENTER come from.
        if (TCustomForm* form = GetParentForm(this))
            if (!form->SetFocusedControl(this)) return;
        WMSetFocus(M);
        return;
    }
    case WM_KEYDOWN: WMKeyDown(M); return;
    case WM_KEYUP: WMKeyUp(M); return;
    case WM_CHAR: WMChar(M); return;
    case WM_SYSKEYDOWN: WMSysKeyDown(M); return;
    case WM_SYSKEYUP: WMSysKeyUp(M); return;
    case WM_SYSCHAR: WMSysChar(M); return;
    case WM_KILLFOCUS: WMKillFocus(M); return;
    case WM_GETDLGCODE: WMGetDlgCode(M); return;
    case WM_PAINT: WMPaint(M); return;
    case WM_SIZE: WMSize(M); return;
    case WM_TIMER: WMTimer(M); return;
    case CM_ENTER: CMEnter(M); return;
    case CM_EXIT: CMExit(M); return;
    case CM_WANTSPECIALKEY: CMWantSpecialKey(M); return;
    case CM_SHOWHINTCHANGED: {
        TMessage child{CM_PARENTSHOWHINTCHANGED, 0, 0, 0};
        for (TControl* c : QList<TControl*>(FControls)) c->WindowProc(child);
        return;
    }
    default: TControl::WndProc(M); return;
    }
}

bool TWinControl::DoKeyDown(TMessage& M) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyDown(M)) return true;
    unsigned key = static_cast<unsigned>(M.WParam);
    KeyDown(key, KeyDataToShiftState(M.LParam));
    M.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& M) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyUp(M)) return true;
    unsigned key = static_cast<unsigned>(M.WParam);
    KeyUp(key, KeyDataToShiftState(M.LParam));
    M.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& M) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(M)) return true;
    QChar ch(static_cast<char16_t>(M.WParam));
    KeyPress(ch);
    M.WParam = ch.unicode();
    return ch.unicode() == 0;
}

void TWinControl::KeyDown(unsigned& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(unsigned& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(QChar& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::WMKeyDown(TMessage& M) { M.Result = DoKeyDown(M) ? 1 : 0; }
void TWinControl::WMKeyUp(TMessage& M) { M.Result = DoKeyUp(M) ? 1 : 0; }
void TWinControl::WMChar(TMessage& M) { M.Result = DoKeyPress(M) ? 1 : 0; }
void TWinControl::WMSysKeyDown(TMessage& M) { M.Result = DoKeyDown(M) ? 1 : 0; }
void TWinControl::WMSysKeyUp(TMessage& M) { M.Result = DoKeyUp(M) ? 1 : 0; }
void TWinControl::WMSysChar(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMSetFocus(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMKillFocus(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMGetDlgCode(TMessage& M) { M.Result = 0; }
void TWinControl::WMPaint(TMessage& M) {
    if (M.WParam) PaintWindow(*reinterpret_cast<QImage*>(M.WParam));
    else DefaultHandler(M);
}
void TWinControl::WMSize(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMTimer(TMessage& M) { DefaultHandler(M); }
void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }
void TWinControl::CMWantSpecialKey(TMessage& M) { M.Result = 0; }

void TWinControl::CMDialogKey(TMessage& M) { Broadcast(M); }
void TWinControl::CMDialogChar(TMessage& M) { Broadcast(M); }

void TWinControl::CMEnabledChanged(TMessage& M) {
    // A disabled control gives up the focus it holds.
    if (!Enabled() && gFocused && ContainsControl(gFocused))
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this);
    FParamsValid = false;
    TControl::CMEnabledChanged(M);
}

void TWinControl::CMVisibleChanged(TMessage& M) {
    if (!Visible() && gFocused && ContainsControl(gFocused))
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this);
    TControl::CMVisibleChanged(M);
}

void TWinControl::CMFontChanged(TMessage& M) {
    TControl::CMFontChanged(M);
    TMessage child{CM_PARENTFONTCHANGED, 0, 0, 0};
    for (TControl* c : QList<TControl*>(FControls)) c->WindowProc(child);
}

void TWinControl::CMColorChanged(TMessage& M) {
    TControl::CMColorChanged(M);
    TMessage child{CM_PARENTCOLORCHANGED, 0, 0, 0};
    for (TControl* c : QList<TControl*>(FControls)) c->WindowProc(child);
}

void TWinControl::CMParentShowHintChanged(TMessage& M) {
    TControl::CMParentShowHintChanged(M);
    TMessage child{CM_PARENTSHOWHINTCHANGED, 0, 0, 0};
    for (TControl* c : QList<TControl*>(FControls)) c->WindowProc(child);
}

// ---------------------------------------------------------------------------
// TCustomControl
// ---------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()),
      FScratch(std::make_unique<QImage>(1, 1, QImage::Format_RGB32)) {
    FCanvas->Attach(FScratch.get());
}

TCustomControl::~TCustomControl() { FCanvas->Detach(); }

void TCustomControl::PaintWindow(QImage& window) {
    FCanvas->Detach();
    FCanvas->Attach(&window);
    FCanvas->Font().Assign(*Font());
    FCanvas->Brush().SetColor(Color());
    struct Rebind {
        TCustomControl* self;
        ~Rebind() {
            self->FCanvas->Detach();
            self->FCanvas->Attach(self->FScratch.get());
        }
    } rebind{this};
    Paint();
}

// ---------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    if (FParent) FParent->FItems.removeAll(this);
    for (TMenuItem* i : FItems) i->FParent = nullptr;
}

void TMenuItem::Add(TMenuItem* item) { Insert(int(FItems.size()), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item->FParent) throw EInvalidOperation(QStringLiteral("Menu inserted twice"));
    item->FParent = this;
    FItems.insert(std::clamp(index, 0, int(FItems.size())), item);
}

void TMenuItem::Remove(TMenuItem* item) {
    if (FItems.removeAll(item)) item->FParent = nullptr;
}

void TMenuItem::Clear() {
    for (TMenuItem* i : QList<TMenuItem*>(FItems)) {
        Remove(i);
        if (i->Owner() == nullptr) delete i;
    }
}

void TMenuItem::Click() {
    if (Enabled && OnClick) OnClick(this);
}

namespace {
TPopupMenu::TChooser gMenuChooser;
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {}

TPopupMenu::~TPopupMenu() { delete FItems; }

void TPopupMenu::SetChooser(TChooser chooser) { gMenuChooser = std::move(chooser); }

TMenuItem* TPopupMenu::Popup(int X, int Y) {
    FPopupPoint = Point(X, Y);
    if (OnPopup) OnPopup(this);
    TMenuItem* chosen = gMenuChooser ? gMenuChooser(this, FPopupPoint) : PopupMenuOnScreen(this, FPopupPoint);
    if (chosen && chosen->Enabled && chosen->Visible) {
        chosen->Click();
        return chosen;
    }
    return nullptr;
}
