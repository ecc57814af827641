#include "platform/controls/Controls.h"
#include "platform/controls/WindowPosHook.h"

#include "platform/controls/FormHost.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ScrollBars.h"

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


// The Alt state comes with the key message; Shift and Ctrl from the keyboard.
TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (keyData & (LPARAM(1) << 29)) s |= ssAlt;
    return s;
}
}  // namespace

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

namespace {
TCursor gShownCursor = crDefault;
}

void SetCursor(TCursor c) {
    gShownCursor = c;
    if (Screen()->Cursor() == crDefault) ApplyScreenCursor(c == crArrow ? crDefault : c);
}

TCursor ShownCursor() { return gShownCursor; }

TControl* WindowFromPoint(TPoint screen) {
    // Pop-ups stand above the forms; among forms the one activated last.
    QList<TCustomForm*> order;
    for (int i = 0; i < Screen()->FormCount(); ++i) {
        TCustomForm* f = Screen()->Forms(i);
        // A click-through window is not hit: the point goes to what is below.
        if (!f->IsShownOnScreen() || f->ClickThrough() || (f->Params().ExStyle & WS_EX_TRANSPARENT)) continue;
        if (dynamic_cast<TPopupForm*>(f)) order.prepend(f);
        else order.append(f);
    }
    std::stable_sort(order.begin(), order.end(), [](TCustomForm* a, TCustomForm* b) {
        return a->PopupLevel() > b->PopupLevel();
    });
    for (TCustomForm* f : order) {
        const TPoint p = f->ScreenToClient(screen);
        if (!f->ClientRect().Contains(p)) continue;
        if (!f->HitsWindowRegion(p)) continue;
        return f->ControlAtPos(p);
    }
    return nullptr;
}

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

void RedrawWindow(TWinControl* c, const TRect* area, unsigned rdwFlags) {
    if (!c) return;
    if (rdwFlags & (RDW_INVALIDATE | RDW_FRAME | RDW_ERASE)) {
        if (area) c->InvalidateClientRect(area);
        else c->Invalidate();
    }
    if (rdwFlags & RDW_VALIDATE) ValidateRect(c, area);
    if (rdwFlags & (RDW_UPDATENOW | RDW_ERASENOW)) c->Update();
}

void InvalidateRect(TWinControl* c, const TRect* area, bool) {
    if (!c) return;
    if (area) c->InvalidateClientRect(area);
    else c->Invalidate();
}

namespace {
// The control's client rectangle in its form's client coordinates, cut to
// where the control shows.
bool ClientRectInForm(TWinControl* c, TRect& out, TPoint& origin) {
    TRect win;
    if (!c->VisibleRectInForm(win)) return false;
    const TPoint o = c->WindowOriginInForm();
    const TRect in = c->NCInsets();
    const TRect cr = c->ClientRect();
    origin = Point(o.X + in.Left, o.Y + in.Top);
    const TRect client = Bounds(origin.X, origin.Y, cr.Width(), cr.Height());
    return IntersectRect(out, client, win);
}
}  // namespace

void ValidateRect(TWinControl* c, const TRect* area) {
    if (!c) return;
    TCustomForm* f = GetParentForm(c);
    TRect client;
    TPoint origin;
    if (!f || !ClientRectInForm(c, client, origin)) return;
    TRect r = client;
    if (area) {
        TRect a = *area;
        OffsetRect(a, origin.X, origin.Y);
        if (!IntersectRect(r, a, client)) return;
    }
    f->ValidateArea(QRegion(r.Left, r.Top, r.Width(), r.Height()));
}

bool GetUpdateRect(TWinControl* c, TRect* r, bool) {
    TRect box;
    TCustomForm* f = c ? GetParentForm(c) : nullptr;
    TRect client;
    TPoint origin;
    if (f && ClientRectInForm(c, client, origin)) {
        const QRect b = f->UpdateRegion().intersected(QRect(client.Left, client.Top, client.Width(), client.Height()))
                            .boundingRect();
        if (!b.isEmpty()) box = Bounds(b.x() - origin.X, b.y() - origin.Y, b.width(), b.height());
    }
    if (r) *r = box;
    return !box.IsEmpty();
}

void UpdateWindow(TWinControl* c) {
    if (c) c->Update();
}

namespace {
QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// The part of the form's surface that shows the control's client area: where
// it shows, less its children and every control painted after it over it.
QRegion OwnPixels(TWinControl* c, const TRect& client) {
    QRegion own(ToQRect(client));
    TRect r;
    for (int i = 0; i < c->ControlCount(); ++i) {
        TControl* child = c->Controls(i);
        if (child->Visible() && child->VisibleRectInForm(r)) own -= ToQRect(r);
    }
    for (TControl* x = c; x->Parent(); x = x->Parent()) {
        TWinControl* p = x->Parent();
        bool after = false;
        for (int i = 0; i < p->ControlCount(); ++i) {
            TControl* sibling = p->Controls(i);
            if (sibling == x) {
                after = true;
                continue;
            }
            if (after && sibling->Visible() && sibling->VisibleRectInForm(r)) own -= ToQRect(r);
        }
    }
    return own;
}

// Paints may be switched off on the control or on one of its parents.
bool RedrawOnAlongChain(const TWinControl* c) {
    for (const TWinControl* w = c; w; w = w->Parent())
        if (!w->RedrawEnabled()) return false;
    return true;
}
}  // namespace

int ScrollWindowEx(TWinControl* c, int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* update,
                   TRect* updateRect, unsigned flags) {
    if (!c) return ERROR_REGION;
    if (flags & SW_SCROLLCHILDREN) {
        for (int i = 0; i < c->ControlCount(); ++i) {
            TControl* child = c->Controls(i);
            const TRect b = child->BoundsRect();
            TRect meet;
            if (!scroll || IntersectRect(meet, b, *scroll))
                child->SetBounds(b.Left + dx, b.Top + dy, b.Width(), b.Height());
        }
    }
    QRegion uncovered;
    TCustomForm* f = GetParentForm(c);
    TRect client;
    TPoint origin;
    if (f && ClientRectInForm(c, client, origin) && (dx != 0 || dy != 0)) {
        const TRect cr = c->ClientRect();
        const QRect full(origin.X, origin.Y, cr.Width(), cr.Height());
        const QRect source = scroll ? ToQRect(*scroll).translated(origin.X, origin.Y) & full : full;
        const QRect within = (clip ? ToQRect(*clip).translated(origin.X, origin.Y) & full : full) & ToQRect(client);
        uncovered = f->ScrollSurface(OwnPixels(c, client), source, within, dx, dy, (flags & SW_INVALIDATE) != 0,
                                     RedrawOnAlongChain(c));
        uncovered.translate(-origin.X, -origin.Y);
    }
    if (update) *update = TRegion(uncovered);
    if (updateRect) {
        const QRect b = uncovered.boundingRect();
        *updateRect = uncovered.isEmpty() ? TRect() : Bounds(b.x(), b.y(), b.width(), b.height());
    }
    if (uncovered.isEmpty()) return NULLREGION;
    return uncovered.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool ScrollWindow(TWinControl* c, int dx, int dy, const TRect* scroll, const TRect* clip) {
    if (!c) return false;
    ScrollWindowEx(c, dx, dy, scroll, clip, nullptr, nullptr,
                   SW_INVALIDATE | SW_ERASE | (scroll ? 0u : SW_SCROLLCHILDREN));
    return true;
}

TWindowCanvas::TWindowCanvas(TWinControl* c, bool WholeWindow) {
    FForm = c ? GetParentForm(c) : nullptr;
    TRect win;
    if (!FForm || !c->VisibleRectInForm(win)) return;
    // What waits to be painted is painted first, so the drawing lands on
    // the picture the person sees.
    FForm->PaintPending();
    // A canvas may read what it draws over (an XOR frame): the area it may
    // draw on is brought up to date first.
    QImage* surface = FForm->SurfaceFor(QRegion(win.Left, win.Top, win.Width(), win.Height()));
    if (!surface || FForm->Painting()) return;
    TPoint origin = c->WindowOriginInForm();
    TSize size(c->Width(), c->Height());
    TRect shown = win;
    if (!WholeWindow) {
        TPoint co;
        if (!ClientRectInForm(c, shown, co)) return;
        origin = co;
        size = TSize(c->ClientWidth(), c->ClientHeight());
    }
    FShown = shown;
    FCanvas.AttachWindow(surface, origin,
                         size, QRegion(shown.Left - origin.X, shown.Top - origin.Y, shown.Width(), shown.Height()));
    FCanvas.Font().Assign(*c->Font());
}

TWindowCanvas::~TWindowCanvas() {
    if (!FCanvas.HandleAllocated()) return;
    FCanvas.Detach();
    if (FForm) FForm->ShowArea(FShown);
}

std::unique_ptr<TWindowCanvas> GetDC(TWinControl* c) { return std::make_unique<TWindowCanvas>(c, false); }
std::unique_ptr<TWindowCanvas> GetWindowDC(TWinControl* c) { return std::make_unique<TWindowCanvas>(c, true); }

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
            Application()->Guard([&] {
                // A posted key press passes the dialog keyboard as a typed one
                // does: a control that posts itself Tab moves the focus on.
                const bool keyDown = p.Msg.Msg == WM_KEYDOWN || p.Msg.Msg == WM_SYSKEYDOWN;
                if (keyDown && c->DialogKeyTaken(unsigned(p.Msg.WParam), p.Msg.LParam)) return;
                c->Perform(p.Msg.Msg, p.Msg.WParam, p.Msg.LParam);
            });
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
void TAction::SetGroupIndex(int v) { if (v != FGroupIndex) { FGroupIndex = v; Change(); } }

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
    case WM_SETCURSOR: WMSetCursor(M); break;
    case WM_CANCELMODE:
        // Someone else took the mouse: the press under way clicks nothing.
        ControlState &= ~csClicked;
        DefaultHandler(M);
        break;
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

namespace {
std::vector<std::pair<int, TWindowPosHook>>& WindowPosHooks() {
    static std::vector<std::pair<int, TWindowPosHook>> hooks;
    return hooks;
}
int gNextWindowPosHook = 1;
// A hook that moves windows itself is not called again from inside.
bool gInWindowPosHooks = false;

void NotifyWindowPosHooks(TControl* c) {
    if (gInWindowPosHooks || WindowPosHooks().empty()) return;
    gInWindowPosHooks = true;
    // A copy: a hook may remove itself.
    const auto hooks = WindowPosHooks();
    try {
        for (const auto& h : hooks) h.second(c);
    } catch (...) {
        gInWindowPosHooks = false;
        throw;
    }
    gInWindowPosHooks = false;
}
}  // namespace

int AddWindowPosHook(TWindowPosHook Hook) {
    const int id = gNextWindowPosHook++;
    WindowPosHooks().emplace_back(id, std::move(Hook));
    return id;
}

void RemoveWindowPosHook(int Id) {
    auto& v = WindowPosHooks();
    v.erase(std::remove_if(v.begin(), v.end(), [Id](const auto& h) { return h.first == Id; }), v.end());
}

int WindowPosHookCount() { return int(WindowPosHooks().size()); }

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
    NotifyWindowPosHooks(this);
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

void TControl::SetCursor(TCursor v) {
    if (v == FCursor) return;
    FCursor = v;
    Perform(CM_CURSORCHANGED);
}

void TControl::WMSetCursor(TMessage& M) {
    if (LoWord(M.LParam) != HTCLIENT) return;
    TCursor c = Screen()->Cursor() != crDefault ? Screen()->Cursor() : FCursor;
    ::SetCursor(c == crDefault ? crArrow : c);
    M.Result = 1;
}

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
    if (!FActionLink) FActionLink = CreateActionLink();
    FActionLink->SetAction(a);
    a->FreeNotification(this);
}

std::unique_ptr<TActionLink> TControl::CreateActionLink() { return std::make_unique<TActionLink>(this); }

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
    TRect r;
    if (!VisibleRectInForm(r)) return;
    if (TCustomForm* f = GetParentForm(this)) f->InvalidateArea(QRegion(r.Left, r.Top, r.Width(), r.Height()));
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Update() {
    if (TCustomForm* f = GetParentForm(this)) f->PaintPending();
}

TPoint TControl::WindowOriginInForm() const {
    if (!FParent) return Point(0, 0);  // the form: its client area is the surface
    TPoint p(FLeft, FTop);
    for (const TWinControl* w = FParent; w && w->Parent(); w = w->Parent()) {
        const TRect in = w->NCInsets();
        p.X += w->Left() + in.Left;
        p.Y += w->Top() + in.Top;
    }
    return p;
}

bool TControl::VisibleRectInForm(TRect& out) const {
    TCustomForm* f = GetParentForm(this);
    if (!f || !Showing()) return false;
    if (!FParent) {
        // The form's whole surface, its own scroll bars included.
        out = f->WindowAreaRect();
        return !out.IsEmpty();
    }
    TRect r = Bounds(FLeft, FTop, FWidth, FHeight);
    for (const TWinControl* w = FParent; w; w = w->Parent()) {
        // Cut by the parent's client area, then into the parent's parent.
        if (!IntersectRect(r, r, w->ClientRect())) return false;
        if (!w->Parent()) break;
        const TRect in = w->NCInsets();
        OffsetRect(r, w->Left() + in.Left, w->Top() + in.Top);
    }
    out = r;
    return true;
}

void TControl::PaintTo(QImage& surface, TPoint at) {
    PaintArea(surface, at, QRegion(at.X, at.Y, FWidth, FHeight));
}

void TControl::PaintArea(QImage&, TPoint, const QRegion&) {}

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

void TGraphicControl::PaintArea(QImage& surface, TPoint at, const QRegion& damage) {
    if (Width() <= 0 || Height() <= 0) return;
    const QRegion d = damage.intersected(QRect(at.X, at.Y, Width(), Height()));
    if (d.isEmpty()) return;
    ++FPaintCount;
    FCanvas->Detach();
    FCanvas->AttachWindow(&surface, at, TSize(Width(), Height()), d.translated(-at.X, -at.Y));
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

void TWinControl::HandleNeeded() {
    if (FWndCreated || FWndCreating) return;
    FWndCreating = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{FWndCreating};
    Handle();
    FWndCreated = true;
    CreateWnd();
}

void TWinControl::CreateWnd() {}

void TWinControl::DestroyWnd() {
    Perform(WM_DESTROY);
    if (FHandle) KillTimersOf(FHandle);
}

void TWinControl::BeforeDestruction() {
    TControl::BeforeDestruction();
    if (!FWndCreated) return;
    FWndCreated = false;
    DestroyWnd();
}

void TWinControl::RecreateWnd() {
    if (FWndCreated) {
        FWndCreated = false;
        DestroyWnd();
        FParamsValid = false;
        HandleNeeded();
    }
    FParamsValid = false;
    const std::uint32_t style = Params().Style;
    // The window's bars follow its style again, as a new window's would.
    if (FScrollBars || (style & (WS_VSCROLL | WS_HSCROLL))) ScrollBarsState()->TakeStyle(style);
    RecalcNCArea();
    Invalidate();
}

TWinScrollBars* TWinControl::ScrollBarsState() {
    if (!FScrollBars) {
        FScrollBars = std::make_unique<TWinScrollBars>(this);
        FScrollBars->TakeStyle(Params().Style);
    }
    return FScrollBars.get();
}

void TWinControl::ComputeNCInsets() const {
    if (FNCComputing) return;
    FNCComputing = true;
    TRect r = Rect(0, 0, Width(), Height());
    TMessage m{WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&r), 0};
    const_cast<TWinControl*>(this)->WindowProc(m);
    FNCInsets = Rect(std::max(0, r.Left), std::max(0, r.Top), std::max(0, Width() - r.Right),
                     std::max(0, Height() - r.Bottom));
    FNCValid = true;
    FNCComputing = false;
}

TRect TWinControl::NCInsets() const {
    if (!FNCValid && !FNCComputing) ComputeNCInsets();
    return FNCValid ? FNCInsets : TRect();
}

TRect TWinControl::ClientRect() const {
    const TRect in = NCInsets();
    return Rect(0, 0, std::max(0, Width() - in.Left - in.Right), std::max(0, Height() - in.Top - in.Bottom));
}

TPoint TWinControl::ClientOrigin() const {
    TPoint p = TControl::ClientOrigin();
    const TRect in = NCInsets();
    return Point(p.X + in.Left, p.Y + in.Top);
}

void TWinControl::RecalcNCArea() {
    const TRect before = FNCValid ? ClientRect() : TRect();
    const bool known = FNCValid;
    FNCValid = false;
    const TRect after = ClientRect();
    if (known && (before.Width() != after.Width() || before.Height() != after.Height())) {
        Perform(WM_SIZE, 0, MakeLParam(after.Width(), after.Height()));
        AlignControls();
    }
    Invalidate();
}

void TWinControl::InvalidateClientRect(const TRect* area) {
    if (!area) {
        Invalidate();
        return;
    }
    ++FInvalidateCount;
    TCustomForm* f = GetParentForm(this);
    TRect client;
    TPoint origin;
    if (!f || !ClientRectInForm(this, client, origin)) return;
    TRect a = *area;
    OffsetRect(a, origin.X, origin.Y);
    TRect r;
    if (IntersectRect(r, a, client)) f->InvalidateArea(QRegion(r.Left, r.Top, r.Width(), r.Height()));
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
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            // Into the child's client coordinates; its non-client part
            // (border, scroll bars) is the child itself.
            const TRect in = w->NCInsets();
            const TPoint q(p.X - c->Left() - in.Left, p.Y - c->Top() - in.Top);
            if (!w->ClientRect().Contains(q)) return w;
            return w->ControlAtPos(q, allowDisabled);
        }
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
    if (resized) Invalidate();  // the old rectangle too
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    FParamsValid = false;
    if (resized) {
        FNCValid = false;
        Perform(WM_SIZE, 0, MakeLParam(ClientWidth(), ClientHeight()));
        AlignControls();
    }
}

void TWinControl::AlignControls() {
    if (FAligning) return;
    FAligning = true;
    TRect r = ClientRect();
    AdjustClientRect(r);
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

void TWinControl::PaintArea(QImage& surface, TPoint at, const QRegion& damage) {
    HandleNeeded();
    if (Width() <= 0 || Height() <= 0 || !FRedraw) return;
    const QRegion d = damage.intersected(QRect(at.X, at.Y, Width(), Height()));
    if (d.isEmpty()) return;
    ++FPaintCount;
    const TRect in = NCInsets();
    const TRect cr = ClientRect();
    const QRect client(at.X + in.Left, at.Y + in.Top, cr.Width(), cr.Height());
    // The non-client part first (borders, scroll bars), then the client
    // area, then the children in z-order, each cut to the damage.
    if (in.Left || in.Top || in.Right || in.Bottom) {
        const QRegion nc = d.subtracted(client);
        if (!nc.isEmpty()) {
            TPaintTarget t{&surface, at, TSize(Width(), Height()), nc.translated(-at.X, -at.Y)};
            Perform(WM_NCPAINT, reinterpret_cast<WPARAM>(&t));
        }
    }
    const QRegion dc = d.intersected(client);
    if (dc.isEmpty()) return;
    TPaintTarget t{&surface, Point(client.x(), client.y()), TSize(cr.Width(), cr.Height()),
                   dc.translated(-client.x(), -client.y())};
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(&t));
    for (TControl* c : QList<TControl*>(FControls))
        if (c->Visible()) c->PaintArea(surface, Point(client.x() + c->Left(), client.y() + c->Top()), dc);
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
    // Only the key's own bit claims it: a control that wants all keys keeps
    // Enter and Escape, while Tab and the arrows still move the focus unless
    // it also wants those (as a multi-line edit without tabs does).
    const LRESULT code = Perform(WM_GETDLGCODE, vk, keyData);
    if (code & mask) return false;
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
    case WM_NCCALCSIZE: WMNCCalcSize(M); return;
    case WM_NCHITTEST: WMNCHitTest(M); return;
    case WM_NCPAINT: WMNCPaint(M); return;
    case WM_NCMOUSEMOVE: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONUP: case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN: case WM_NCRBUTTONUP: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP: case WM_NCMBUTTONDBLCLK:
        WMNCMouse(M);
        return;
    case WM_SETREDRAW:
        // Off: the control and its children are not painted; on again, the
        // caller repaints.
        FRedraw = M.WParam != 0;
        return;
    case WM_MOUSEMOVE: case WM_LBUTTONUP: case WM_CANCELMODE: case WM_CAPTURECHANGED:
        // While a scroll bar tracks the mouse, the mouse is the bar's.
        if (FScrollBars && FScrollBars->Tracking()) {
            const TRect in = NCInsets();
            const TPoint w(GetXLParam(M.LParam) + in.Left, GetYLParam(M.LParam) + in.Top);
            if (M.Msg == WM_MOUSEMOVE) FScrollBars->MouseMove(w);
            else if (M.Msg == WM_LBUTTONUP) FScrollBars->MouseUp(w);
            else FScrollBars->CancelTracking();
            return;
        }
        TControl::WndProc(M);
        return;
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
    if (M.WParam) PaintWindow(*reinterpret_cast<const TPaintTarget*>(M.WParam));
    else DefaultHandler(M);
}

void TWinControl::WMNCCalcSize(TMessage& M) {
    if (!M.LParam) return;
    // The window's scroll bars take their room from the right and bottom.
    std::uint32_t style = Params().Style;
    if (!FScrollBars && !(style & (WS_VSCROLL | WS_HSCROLL))) return;
    TWinScrollBars* s = ScrollBarsState();
    auto& r = *reinterpret_cast<TRect*>(M.LParam);
    if (s->Bar(SB_VERT).Shown) r.Right = std::max(r.Left, r.Right - s->Thickness(SB_VERT));
    if (s->Bar(SB_HORZ).Shown) r.Bottom = std::max(r.Top, r.Bottom - s->Thickness(SB_HORZ));
}

void TWinControl::WMNCHitTest(TMessage& M) {
    const TPoint screen(GetXLParam(M.LParam), GetYLParam(M.LParam));
    const TPoint local = ScreenToClient(screen);
    if (ClientRect().Contains(local)) {
        M.Result = HTCLIENT;
        return;
    }
    const TRect in = NCInsets();
    const TPoint w(local.X + in.Left, local.Y + in.Top);
    if (!Rect(0, 0, Width(), Height()).Contains(w)) M.Result = HTNOWHERE;
    else if (FScrollBars && FScrollBars->BarRect(SB_VERT).Contains(w)) M.Result = HTVSCROLL;
    else if (FScrollBars && FScrollBars->BarRect(SB_HORZ).Contains(w)) M.Result = HTHSCROLL;
    else M.Result = HTBORDER;
}

void TWinControl::WMNCPaint(TMessage& M) {
    if (!M.WParam || !FScrollBars) return;
    TCanvas c;
    reinterpret_cast<const TPaintTarget*>(M.WParam)->AttachCanvas(c);
    FScrollBars->PaintWindowBars(&c);
}

void TWinControl::WMNCMouse(TMessage& M) {
    const bool press = M.Msg == WM_NCLBUTTONDOWN || M.Msg == WM_NCLBUTTONDBLCLK;
    if (press && FScrollBars && (M.WParam == HTVSCROLL || M.WParam == HTHSCROLL)) {
        const TPoint local = ScreenToClient(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
        const TRect in = NCInsets();
        FScrollBars->MouseDown(M.WParam == HTVSCROLL ? SB_VERT : SB_HORZ, Point(local.X + in.Left, local.Y + in.Top));
        M.Result = 0;
        return;
    }
    DefaultHandler(M);
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

void TCustomControl::PaintWindow(const TPaintTarget& target) {
    FCanvas->Detach();
    target.AttachCanvas(*FCanvas);
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
