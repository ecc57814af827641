#include "platform/controls/Input.h"

#include "platform/controls/Forms.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace Input {
namespace {

void ApplyModifiers(TShiftState shift) {
    SetKeyDown(VK_LSHIFT, (shift & ssShift) != 0);
    SetKeyDown(VK_LCONTROL, (shift & ssCtrl) != 0);
    SetKeyDown(VK_LMENU, (shift & ssAlt) != 0);
}

TWinControl* KeyTarget() {
    if (TWinControl* f = FocusedControl()) return f;
    TCustomForm* form = Screen()->ActiveForm();
    return form && form->IsShownOnScreen() ? form : nullptr;
}

WPARAM MouseKeys(TShiftState shift) {
    WPARAM k = 0;
    if (shift & ssShift) k |= MK_SHIFT;
    if (shift & ssCtrl) k |= MK_CONTROL;
    if (GetKeyState(VK_LBUTTON) < 0) k |= MK_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) k |= MK_RBUTTON;
    if (GetKeyState(VK_MBUTTON) < 0) k |= MK_MBUTTON;
    return k;
}

unsigned ButtonVk(TMouseButton b) {
    return b == mbLeft ? VK_LBUTTON : b == mbRight ? VK_RBUTTON : VK_MBUTTON;
}

unsigned DownMsg(TMouseButton b) {
    return b == mbLeft ? WM_LBUTTONDOWN : b == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
}
unsigned UpMsg(TMouseButton b) { return b == mbLeft ? WM_LBUTTONUP : b == mbRight ? WM_RBUTTONUP : WM_MBUTTONUP; }

// Where the input layer last put the mouse, in screen coordinates.
TPoint gInputCursor;
TPoint GetCursorPosFromInput() { return gInputCursor; }

// The control that receives mouse input at a client point of `c`, and the
// point in its coordinates.
TControl* MouseTarget(TControl* c, int x, int y, TPoint& local) {
    const TPoint screen = c->ClientToScreen(Point(x, y));
    gInputCursor = screen;
    SetCursorPos(screen);
    TControl* t = GetCaptureControl() ? GetCaptureControl() : c;
    local = t->ScreenToClient(screen);
    return t;
}

// A click outside a shown popup form ends it: it hears its deactivation.
void DeactivatePopupsOutside(TControl* c) {
    TCustomForm* target = GetParentForm(c);
    for (int i = 0; i < Screen()->FormCount(); ++i) {
        auto* popup = dynamic_cast<TPopupForm*>(Screen()->Forms(i));
        if (popup && popup != target && popup->IsShownOnScreen()) popup->Perform(CM_DEACTIVATE);
    }
}

// A press on another form while a frameless stay-on-top form that takes the
// activation (a drop-down's popup) holds it activates the pressed form first,
// as the platform does: the popup hears WM_ACTIVATE with WA_INACTIVE.
void ActivatePressedForm(TControl* c) {
    TCustomForm* active = Screen()->ActiveForm();
    if (!active || !active->Active() || !active->IsShownOnScreen()) return;
    if (active->BorderStyle() != bsNone || active->FormStyle() != fsStayOnTop || dynamic_cast<TPopupForm*>(active))
        return;
    TCustomForm* target = GetParentForm(c);
    if (!target || target == active || dynamic_cast<TPopupForm*>(target)) return;
    if (target->IsShownOnScreen() && target->CanFocus()) target->SetFocus();
}

// The part of a windowed control's window under the mouse, by WM_NCHITTEST:
// HTCLIENT for the client area, or a non-client part (border, scroll bar).
// A control holding the capture, and a control without a window, have only
// their client area.
int HitTestAt(TControl* t, TPoint screen) {
    auto* w = dynamic_cast<TWinControl*>(t);
    if (!w || t == GetCaptureControl()) return HTCLIENT;
    return int(w->Perform(WM_NCHITTEST, 0, MakeLParam(screen.X, screen.Y)));
}

bool IsNonClient(int hit) { return hit != HTCLIENT && hit != HTNOWHERE; }

// A mouse message for the non-client part: its WM_NC* counterpart with the
// hit-test code and the screen point.
void SendNonClient(TControl* t, unsigned clientMsg, int hit, TPoint screen) {
    t->Perform(clientMsg - WM_MOUSEMOVE + WM_NCMOUSEMOVE, WPARAM(hit), MakeLParam(screen.X, screen.Y));
}

void SendButtonDown(TControl* c, TMouseButton button, int x, int y, TShiftState shift, unsigned msg) {
    ApplyModifiers(shift);
    SetKeyDown(int(ButtonVk(button)), true);
    Application()->CancelHint();
    DeactivatePopupsOutside(c);
    ActivatePressedForm(c);
    TPoint p;
    TControl* t = MouseTarget(c, x, y, p);
    // A disabled control gets no mouse input.
    if (t != GetCaptureControl() && !t->Enabled()) return;
    const TPoint screen = GetCursorPosFromInput();
    const int hit = HitTestAt(t, screen);
    if (IsNonClient(hit)) {
        SendNonClient(t, msg, hit, screen);
        return;
    }
    t->Perform(msg, MouseKeys(shift), MakeLParam(p.X, p.Y));
}

}  // namespace

bool IsExtendedKey(unsigned vk) {
    switch (vk) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT:
    case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_RCONTROL: case VK_RMENU:
    case VK_NUMLOCK:
        return true;
    default: return false;
    }
}

QChar CharForKey(unsigned vk, TShiftState shift) {
    const bool ctrl = (shift & ssCtrl) && !(shift & ssAlt);
    const bool upper = (shift & ssShift) != 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return QChar(char16_t(vk - 'A' + 1));
        return QChar(char16_t(upper ? vk : vk + 32));
    }
    if (ctrl) {
        if (vk == VK_RETURN) return QChar(char16_t(10));
        if (vk == VK_BACK) return QChar(char16_t(127));
        if (vk == VK_ESCAPE) return QChar(char16_t(27));
        return QChar();
    }
    if (vk >= '0' && vk <= '9') return QChar(char16_t(vk));
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return QChar(char16_t('0' + vk - VK_NUMPAD0));
    switch (vk) {
    case VK_RETURN: return QChar(char16_t(13));
    case VK_ESCAPE: return QChar(char16_t(27));
    case VK_TAB: return QChar(char16_t(9));
    case VK_BACK: return QChar(char16_t(8));
    case VK_SPACE: return QChar(char16_t(' '));
    case VK_MULTIPLY: return QChar(char16_t('*'));
    case VK_ADD: return QChar(char16_t('+'));
    case VK_SUBTRACT: return QChar(char16_t('-'));
    case VK_DECIMAL: return QChar(char16_t('.'));
    case VK_DIVIDE: return QChar(char16_t('/'));
    default: return QChar();
    }
}

bool KeyDown(unsigned vk, TShiftState shift, bool extended) {
    bool taken = false;
    Application()->Guard([&] {
        ApplyModifiers(shift);
        SetKeyDown(int(vk), true);
        Application()->CancelHint();
        TWinControl* t = KeyTarget();
        if (!t) return;
        const bool alt = (shift & ssAlt) != 0;
        const LPARAM data = KeyDataFor(vk, extended || IsExtendedKey(vk), alt, false);
        if (t->DialogKeyTaken(vk, data)) {
            taken = true;
            return;
        }
        t->Perform(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, data);
    });
    return taken;
}

namespace {
// The main-block key that types a character (0 when none is known).
unsigned KeyOfChar(QChar ch) {
    const char16_t c = ch.toUpper().unicode();
    if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return c;
    switch (c) {
    case 8: return VK_BACK;
    case 9: return VK_TAB;
    case 13: return VK_RETURN;
    case 27: return VK_ESCAPE;
    case u' ': return VK_SPACE;
    case u'-': return 0xBD;
    case u'=': return 0xBB;
    case u',': return 0xBC;
    case u'.': return 0xBE;
    case u'/': return 0xBF;
    case u';': return 0xBA;
    default: return 0;
    }
}
}  // namespace

void Char(QChar ch, bool alt, unsigned vk) {
    Application()->Guard([&] {
        TWinControl* t = KeyTarget();
        if (!t) return;
        const unsigned key = vk ? vk : KeyOfChar(ch);
        const LPARAM data = KeyDataFor(key, key && IsExtendedKey(key), alt, false);
        if (t->DialogCharTaken(ch, data)) return;
        t->Perform(alt ? WM_SYSCHAR : WM_CHAR, ch.unicode(), data);
    });
}

void KeyUp(unsigned vk, TShiftState shift, bool extended) {
    Application()->Guard([&] {
        ApplyModifiers(shift);
        TWinControl* t = KeyTarget();
        const bool alt = (shift & ssAlt) != 0;
        if (t) t->Perform(alt ? WM_SYSKEYUP : WM_KEYUP, vk, KeyDataFor(vk, extended || IsExtendedKey(vk), alt, true));
    });
    SetKeyDown(int(vk), false);
}

void KeyStroke(unsigned vk, TShiftState shift) {
    const bool taken = KeyDown(vk, shift);
    if (!taken) {
        const QChar ch = CharForKey(vk, shift);
        if (!ch.isNull()) Char(ch, (shift & ssAlt) != 0, vk);
    }
    KeyUp(vk, shift);
    ApplyModifiers(0);
}

void MouseDown(TControl* c, TMouseButton button, int x, int y, TShiftState shift) {
    Application()->Guard([&] { SendButtonDown(c, button, x, y, shift, DownMsg(button)); });
}

void MouseUp(TControl* c, TMouseButton button, int x, int y, TShiftState shift) {
    Application()->Guard([&] {
        ApplyModifiers(shift);
        SetKeyDown(int(ButtonVk(button)), false);
        TPoint p;
        TControl* t = MouseTarget(c, x, y, p);
        const bool captured = t == GetCaptureControl();
        if (!captured && !t->Enabled()) return;
        const TPoint screen = GetCursorPosFromInput();
        const int hit = HitTestAt(t, screen);
        if (IsNonClient(hit)) {
            SendNonClient(t, UpMsg(button), hit, screen);
            return;
        }
        t->Perform(UpMsg(button), MouseKeys(shift), MakeLParam(p.X, p.Y));
        // The platform follows a right-button release with the context menu.
        if (button == mbRight) {
            const TPoint s = GetCursorPos();
            t->Perform(WM_CONTEXTMENU, 0, MakeLParam(s.X, s.Y));
        }
    });
}

void Click(TControl* c, int x, int y, TMouseButton button, TShiftState shift) {
    MouseDown(c, button, x, y, shift);
    MouseUp(c, button, x, y, shift);
}

void DoubleClick(TControl* c, int x, int y, TShiftState shift) {
    Click(c, x, y, mbLeft, shift);
    Application()->Guard([&] { SendButtonDown(c, mbLeft, x, y, shift, WM_LBUTTONDBLCLK); });
    MouseUp(c, mbLeft, x, y, shift);
}

void MouseMove(TControl* c, int x, int y, TShiftState shift) {
    Application()->Guard([&] {
        ApplyModifiers(shift);
        TControl* old = Application()->MouseControl();
        if (old != c) {
            Application()->SetMouseControl(c);
            if (old) old->Perform(CM_MOUSELEAVE);
            c->Perform(CM_MOUSEENTER);
        }
        TPoint p;
        TControl* t = MouseTarget(c, x, y, p);
        const TPoint screen = GetCursorPosFromInput();
        const int hit = HitTestAt(t, screen);
        // The control under the mouse chooses the cursor (none while a
        // control holds the mouse).
        if (!GetCaptureControl()) {
            auto* w = dynamic_cast<TWinControl*>(c);
            const HWND h = w ? w->Handle() : (c->Parent() ? c->Parent()->Handle() : 0);
            c->Perform(WM_SETCURSOR, WPARAM(h), MakeLParam(hit == HTNOWHERE ? HTCLIENT : hit, WM_MOUSEMOVE));
        }
        if (IsNonClient(hit)) SendNonClient(t, WM_MOUSEMOVE, hit, screen);
        else t->Perform(WM_MOUSEMOVE, MouseKeys(shift), MakeLParam(p.X, p.Y));
        Application()->HintMouseMessage(c, Point(x, y));
    });
}

void MouseLeave() {
    Application()->Guard([&] {
        TControl* old = Application()->MouseControl();
        Application()->SetMouseControl(nullptr);
        Application()->CancelHint();
        if (old) old->Perform(CM_MOUSELEAVE);
    });
}

void Wheel(TControl* c, int delta, TShiftState shift) {
    Application()->Guard([&] {
        ApplyModifiers(shift);
        const TPoint s = GetCursorPos();
        const WPARAM w = (MouseKeys(shift) & 0xFFFF) | (WPARAM(std::uint16_t(delta)) << 16);
        c->Perform(WM_MOUSEWHEEL, w, MakeLParam(s.X, s.Y));
    });
}

// ---------------------------------------------------------------------------
// The toolkit's events
// ---------------------------------------------------------------------------

unsigned VkFromQtKey(int k, bool keypad) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return unsigned('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return keypad ? unsigned(VK_NUMPAD0 + (k - Qt::Key_0)) : unsigned('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return unsigned(VK_F1 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Asterisk: return keypad ? unsigned(VK_MULTIPLY) : 0u;
    case Qt::Key_Plus: return keypad ? unsigned(VK_ADD) : 0xBBu;
    case Qt::Key_Minus: return keypad ? unsigned(VK_SUBTRACT) : 0xBDu;
    case Qt::Key_Period: return keypad ? unsigned(VK_DECIMAL) : 0xBEu;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Slash: return keypad ? unsigned(VK_DIVIDE) : 0xBFu;
    default: return 0;
    }
}

namespace {
TShiftState ShiftOf(Qt::KeyboardModifiers m) {
    TShiftState s = 0;
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    if (m & Qt::AltModifier) s |= ssAlt;
    return s;
}

TMouseButton ButtonOf(Qt::MouseButton b) {
    return b == Qt::RightButton ? mbRight : b == Qt::MiddleButton ? mbMiddle : mbLeft;
}

// The control under a point of the form's client area, and the point in it.
TControl* HitTest(TCustomForm* form, const QPointF& pos, TPoint& local) {
    const TPoint p(int(pos.x()), int(pos.y()));
    TControl* c = form->ControlAtPos(p);
    local = c->ScreenToClient(form->ClientToScreen(p));
    return c;
}
}  // namespace

bool TranslateQtEvent(TCustomForm* form, QEvent* e) {
    switch (e->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool keypad = k->modifiers() & Qt::KeypadModifier;
        const unsigned vk = VkFromQtKey(k->key(), keypad);
        if (!vk) return false;
        const TShiftState shift = ShiftOf(k->modifiers());
        const bool taken = KeyDown(vk, shift, keypad);
        if (taken) return true;
        QChar ch = CharForKey(vk, shift);
        // Typed text follows the keyboard layout; control characters and Alt
        // combinations come from the key itself.
        if (!(shift & (ssCtrl | ssAlt)) && !k->text().isEmpty() && k->text()[0].unicode() >= 32)
            ch = k->text()[0];
        if (!ch.isNull()) Char(ch, (shift & ssAlt) != 0, vk);
        return true;
    }
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->isAutoRepeat()) return true;
        const bool keypad = k->modifiers() & Qt::KeypadModifier;
        const unsigned vk = VkFromQtKey(k->key(), keypad);
        if (!vk) return false;
        KeyUp(vk, ShiftOf(k->modifiers()), keypad);
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* m = static_cast<QMouseEvent*>(e);
        TPoint local;
        TControl* c = HitTest(form, m->position(), local);
        const TMouseButton b = ButtonOf(m->button());
        const TShiftState shift = ShiftOf(m->modifiers());
        if (e->type() == QEvent::MouseButtonPress) MouseDown(c, b, local.X, local.Y, shift);
        else if (e->type() == QEvent::MouseButtonRelease) MouseUp(c, b, local.X, local.Y, shift);
        else Application()->Guard([&] { SendButtonDown(c, b, local.X, local.Y, shift, b == mbLeft ? WM_LBUTTONDBLCLK : b == mbRight ? WM_RBUTTONDBLCLK : WM_MBUTTONDBLCLK); });
        return true;
    }
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(e);
        TPoint local;
        TControl* c = HitTest(form, m->position(), local);
        MouseMove(c, local.X, local.Y, ShiftOf(m->modifiers()));
        return true;
    }
    case QEvent::Wheel: {
        auto* w = static_cast<QWheelEvent*>(e);
        TPoint local;
        TControl* c = HitTest(form, w->position(), local);
        Wheel(c, w->angleDelta().y(), ShiftOf(w->modifiers()));
        return true;
    }
    case QEvent::Leave: MouseLeave(); return true;
    case QEvent::WindowDeactivate:
        if (dynamic_cast<TPopupForm*>(form)) Application()->Guard([&] { form->Perform(CM_DEACTIVATE); });
        return true;
    default: return false;
    }
}

}  // namespace Input
