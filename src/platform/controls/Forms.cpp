#include "platform/controls/Forms.h"

#include "platform/controls/FormHost.h"
#include "platform/core/Files.h"
#include "platform/core/Threads.h"
#include "platform/graphics/ProgramFonts.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QThread>
#include <QTimer>
#include <QWaitCondition>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <deque>
#include <exception>

namespace {
// The form that holds the platform focus; it gets CM_DEACTIVATE when
// another form's control takes the focus.
TCustomForm* gFocusedForm = nullptr;
const QString kCannotFocus = QStringLiteral("Cannot focus a disabled or invisible window");
}  // namespace

// ---------------------------------------------------------------------------
// TCustomForm
// ---------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetVisible(false);
    SetParentFont(false);
    SetParentColor(false);
    SetColor(clBtnFace);
    ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    SetBounds(0, 0, 320, 240);
    Screen()->AddForm(this);
}

TCustomForm::~TCustomForm() {
    if (OnDestroy) OnDestroy(this);
    FHost.reset();
    if (gFocusedForm == this) gFocusedForm = nullptr;
    if (FocusedControl() && ContainsControl(FocusedControl())) SetFocusedWindowQuietly(nullptr);
    Screen()->RemoveForm(this);
    if (Application()->MainForm() == this) Application()->SetMainForm(nullptr);
}

void TCustomForm::AfterConstruction() {
    TWinControl::AfterConstruction();
    if (OnCreate) OnCreate(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
    if (v == FBorderIcons) return;
    FBorderIcons = v;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
    if (v == FFormStyle) return;
    FFormStyle = v;
    RecreateWnd();
}

int TCustomForm::FrameX() const {
    switch (FBorderStyle) {
    case bsNone: return 0;
    case bsSizeable: case bsSizeToolWin: return GetSystemMetrics(SM_CXDLGFRAME) + 1;
    default: return GetSystemMetrics(SM_CXDLGFRAME);
    }
}

int TCustomForm::FrameY() const {
    switch (FBorderStyle) {
    case bsNone: return 0;
    case bsSizeable: case bsSizeToolWin: return GetSystemMetrics(SM_CYDLGFRAME) + 1;
    default: return GetSystemMetrics(SM_CYDLGFRAME);
    }
}

int TCustomForm::CaptionHeight() const {
    switch (FBorderStyle) {
    case bsNone: return 0;
    case bsToolWindow: case bsSizeToolWin: return 17;
    default: return GetSystemMetrics(SM_CYCAPTION);
    }
}

TRect TCustomForm::WindowAreaRect() const {
    return Rect(0, 0, std::max(0, Width() - 2 * FrameX()),
                std::max(0, Height() - 2 * FrameY() - CaptionHeight()));
}

TRect TCustomForm::ClientRect() const {
    // WM_NCCALCSIZE gives a form only right and bottom insets (its scroll
    // bars), so client and surface coordinates share their origin.
    // A form without scroll bars has no non-client part of its own (and is
    // not asked, so nothing is computed from inside its constructor).
    const TRect w = WindowAreaRect();
    if (!HasScrollBarsState()) return w;
    const TRect in = NCInsets();
    return Rect(0, 0, std::max(0, w.Right - in.Right), std::max(0, w.Bottom - in.Bottom));
}

TPoint TCustomForm::ClientOrigin() const {
    return Point(Left() + FrameX(), Top() + FrameY() + CaptionHeight());
}

void TCustomForm::SetClientWidth(int v) { SetWidth(v + 2 * FrameX()); }
void TCustomForm::SetClientHeight(int v) { SetHeight(v + 2 * FrameY() + CaptionHeight()); }

void TCustomForm::CreateParams(TCreateParams& P) {
    TWinControl::CreateParams(P);
    P.Style &= ~(WS_CHILD | WS_TABSTOP);
    switch (FBorderStyle) {
    case bsNone: P.Style |= WS_POPUP; break;
    case bsSingle: P.Style |= WS_CAPTION | WS_BORDER | WS_SYSMENU; break;
    case bsSizeable: P.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME; break;
    case bsDialog:
        P.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
        P.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow: P.Style |= WS_CAPTION | WS_SYSMENU; P.ExStyle |= WS_EX_TOOLWINDOW; break;
    case bsSizeToolWin:
        P.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        P.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    // The boxes: a dialog frame and a tool window have no minimise or
    // maximise box, and without the system menu there is no box at all.
    if (!(FBorderIcons & biSystemMenu)) {
        P.Style &= ~WS_SYSMENU;
    } else if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
        if (FBorderIcons & biMinimize) P.Style |= WS_MINIMIZEBOX;
        if (FBorderIcons & biMaximize) P.Style |= WS_MAXIMIZEBOX;
    }
    if (FFormStyle == fsStayOnTop) P.ExStyle |= WS_EX_TOPMOST;
}

void TCustomForm::PlaceOnScreen() {
    const TRect work = ScreenWorkArea();
    auto centreOver = [&](const TRect& r) {
        SetBounds(r.Left + (r.Width() - Width()) / 2, r.Top + (r.Height() - Height()) / 2, Width(), Height());
    };
    TCustomForm* over = nullptr;
    switch (FPosition) {
    // Centred on the screen means in its work area (the task bar excluded).
    case poScreenCenter: case poDesktopCenter: centreOver(work); break;
    case poMainFormCenter: over = Application()->MainForm(); [[fallthrough]];
    case poOwnerFormCenter:
        if (!over) over = dynamic_cast<TCustomForm*>(Owner());
        if (over && over != this) centreOver(over->BoundsRect());
        else centreOver(work);
        break;
    default: return;
    }
    // Keep the caption reachable: the form stays inside the work area.
    int x = std::min(Left(), work.Right - Width());
    int y = std::min(Top(), work.Bottom - Height());
    x = std::max(x, work.Left);
    y = std::max(y, work.Top);
    SetBounds(x, y, Width(), Height());
}

void TCustomForm::Show() {
    if (Visible() && FShown) {
        ActivateForm();
        return;
    }
    if (!FPlaced) {
        PlaceOnScreen();
        FPlaced = true;
    }
    FShown = true;
    if (!Visible()) SetVisible(true);
    CreateWindows(this);
    InvalidateWhole();
    if (FormHostsEnabled()) {
        if (!FHost) FHost = std::make_unique<TFormHost>(this);
        FHost->Show(true);
    }
    Perform(WM_SHOWWINDOW, 1);
    DoShow();
    ActivateForm();
}

// A form that shows makes its windows, its own first, then its windowed
// controls, parents before children.
void CreateWindows(TWinControl* c) {
    c->HandleNeeded();
    for (int i = 0; i < c->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(c->Controls(i))) CreateWindows(w);
}

void TCustomForm::ShowNoActivate() {
    if (Showing()) return;
    if (!FPlaced) {
        PlaceOnScreen();
        FPlaced = true;
    }
    FShown = true;
    if (!Visible()) SetVisible(true);
    CreateWindows(this);
    InvalidateWhole();
    if (FormHostsEnabled()) {
        if (!FHost) FHost = std::make_unique<TFormHost>(this);
        FHost->Show(false);
    }
    Perform(WM_SHOWWINDOW, 1);
    DoShow();
}

namespace {
// Whether `c` is a control of `form`, or of a pop-up that belongs to it.
bool HeldWithin(const TCustomForm* form, TControl* c) {
    TCustomForm* f = GetParentForm(c);
    for (int depth = 0; f && depth < 16; ++depth) {
        if (f == form) return true;
        if (!dynamic_cast<TPopupForm*>(f)) return false;
        f = GetOwnerForm(f->Owner());
    }
    return false;
}
}  // namespace

void TCustomForm::Hide() {
    if (!FShown && !Visible()) return;
    // A form that hides ends what the mouse was doing in it: a press held on
    // one of its controls (a dialog closed by a key meanwhile, a list closed
    // while its bar was pressed) would otherwise keep the mouse, and the next
    // click anywhere would go to a control nobody sees.
    if (TControl* held = GetCaptureControl(); held && HeldWithin(this, held)) {
        SetCaptureControl(nullptr);
        held->Perform(WM_CANCELMODE);
    }
    const bool hadFocus = FActive || (FocusedControl() && ContainsControl(FocusedControl()));
    FShown = false;
    if (Visible()) SetVisible(false);
    if (FHost) FHost->Hide();
    Perform(WM_SHOWWINDOW, 0);
    DoHide();
    if (!hadFocus) return;
    if (TCustomForm* prev = Screen()->PreviousActiveForm(this)) {
        prev->ActivateForm();
    } else {
        SetFocusedWindow(nullptr);
        if (gFocusedForm == this) {
            gFocusedForm = nullptr;
            Perform(WM_ACTIVATE, WA_INACTIVE, 0);
            Perform(CM_DEACTIVATE);
        }
    }
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application()->MainForm() == this) {
        Hide();
        Application()->Terminate();
    } else if (action == caFree) {
        Hide();
        Release();
    } else {
        Hide();
    }
}

void TCustomForm::Release() { PostMessage(Handle(), CM_RELEASE); }

void TCustomForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone) FModalResult = 0;
    else if (action == caFree) Release();
}

int TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || FModal)
        throw EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
    Application()->CancelHint();
    // A modal form ends what the mouse was doing elsewhere.
    if (TControl* captured = GetCaptureControl()) {
        SetCaptureControl(nullptr);
        captured->Perform(WM_CANCELMODE);
    }
    TDialogScript* script = DialogScript();
    std::optional<TDialogScript::ModalStep> step;
    if (script) step = script->NextModal();
    FModal = true;
    FModalResult = 0;
    struct EndModal {
        TCustomForm* f;
        ~EndModal() {
            f->Hide();
            f->FModal = false;
        }
    } endModal{this};
    Show();
    if (step) Application()->Guard([&] { (*step)(this); });
    int refusals = 0;
    for (;;) {
        if (FModalResult == 0) {
            if (script) {
                // A test answers through its script; what it left undone is
                // not waited for: the form ends as if its close box were hit.
                Application()->ProcessMessages();
                if (FModalResult == 0) FModalResult = mrCancel;
            } else if (Application()->Terminated()) {
                FModalResult = mrCancel;
            } else {
                Application()->HandleMessage();
            }
        }
        if (FModalResult != 0) {
            CloseModal();
            if (FModalResult != 0) break;
            // A scripted form that refuses to close twice is left as cancelled.
            if (script && ++refusals >= 2) {
                FModalResult = mrCancel;
                break;
            }
        }
    }
    if (script) {
        TDialogRecord rec;
        rec.Kind = TDialogKind::ModalForm;
        rec.Caption = Caption();
        rec.Result = FModalResult;
        script->Shown << rec;
    }
    return FModalResult;
}

void TCustomForm::SetActiveControl(TWinControl* c) {
    if (c == FActiveControl) return;
    if (c && (c == this || GetParentForm(c) != this || !c->CanFocus())) throw EInvalidOperation(kCannotFocus);
    FActiveControl = c;
    if (FActive) SetFocusedWindow(c ? c : static_cast<TWinControl*>(this));
}

void TCustomForm::SetFocus() {
    if (!FShown || !CanFocus()) throw EInvalidOperation(kCannotFocus);
    ActivateForm();
}

void TCustomForm::FocusControl(TWinControl* c) {
    const bool wasActive = FActive;
    SetActiveControl(c);
    if (!wasActive && FShown) ActivateForm();
}

void TCustomForm::ActivateForm() {
    if (!FShown) throw EInvalidOperation(kCannotFocus);
    Screen()->NoteActivated(this);
    if (!FActiveControl) FActiveControl = FindNextControl(nullptr, true, true, false);
    TWinControl* target = FActiveControl ? FActiveControl : this;
    if (FocusedControl() == target) {
        // The focus is there already; the form may still need activating.
        if (gFocusedForm != this) SetFocusedControl(target);
        return;
    }
    SetFocusedWindow(target);
}

bool TCustomForm::SetFocusedControl(TWinControl* c) {
    FActiveControl = c != this ? c : nullptr;
    Screen()->SetActiveForm(this);
    Screen()->NoteActivated(this);
    if (c->ControlState & csFocusing) return true;
    c->ControlState |= csFocusing;
    struct Clear {
        TWinControl* c;
        ~Clear() { c->ControlState &= ~csFocusing; }
    } clear{c};
    auto stillFocused = [c] { return FocusedControl() == c; };
    if (gFocusedForm != this) {
        TCustomForm* old = gFocusedForm;
        if (old) {
            gFocusedForm = nullptr;
            // The window losing the activation learns which one gains it.
            old->Perform(WM_ACTIVATE, WA_INACTIVE, LPARAM(Handle()));
            if (!stillFocused()) return false;
            old->Perform(CM_DEACTIVATE);
            if (!stillFocused()) return false;
        }
        gFocusedForm = this;
        Perform(WM_ACTIVATE, WA_ACTIVE, old ? LPARAM(old->Handle()) : 0);
        Perform(CM_ACTIVATE);
        if (!stillFocused()) return false;
    }
    if (!FFocusedControl) FFocusedControl = this;
    // Leave the old chain up to the common parent, then enter down to `c`.
    while (FFocusedControl != c && FFocusedControl && !FFocusedControl->ContainsControl(c)) {
        TWinControl* leaving = FFocusedControl;
        FFocusedControl = leaving->Parent();
        leaving->Perform(CM_EXIT);
        if (!stillFocused()) return false;
    }
    while (FFocusedControl && FFocusedControl != c) {
        TWinControl* t = c;
        while (t->Parent() && t->Parent() != FFocusedControl) t = t->Parent();
        FFocusedControl = t;
        t->Perform(CM_ENTER);
        if (!stillFocused()) return false;
    }
    return true;
}

void TCustomForm::DefocusControl(TWinControl* c) {
    if (FFocusedControl && c->ContainsControl(FFocusedControl)) FFocusedControl = c->Parent();
    if (FActiveControl && c->ContainsControl(FActiveControl)) FActiveControl = nullptr;
    if (FocusedControl() && c->ContainsControl(FocusedControl())) {
        if (FActive) SetFocusedWindow(this);
        else SetFocusedWindowQuietly(nullptr);
    }
}

void TCustomForm::ControlRemoved(TControl* c) {
    auto inside = [c](const TControl* x) {
        for (const TControl* p = x; p; p = p->Parent())
            if (p == c) return true;
        return false;
    };
    if (FActiveControl && inside(FActiveControl)) FActiveControl = nullptr;
    if (FFocusedControl && inside(FFocusedControl)) FFocusedControl = this;
    if (FocusedControl() && inside(FocusedControl())) SetFocusedWindowQuietly(nullptr);
}

// A window that comes on the screen is painted whole: while it was hidden
// its controls added nothing to the update region, so what they changed
// then (texts of another language) is not on its surface yet.
void TCustomForm::InvalidateWhole() {
    const TRect w = WindowAreaRect();
    InvalidateArea(QRegion(QRect(0, 0, w.Width(), w.Height())));
}

void TCustomForm::RequestRepaint() {
    const TRect w = WindowAreaRect();
    InvalidateArea(QRegion(QRect(0, 0, w.Width(), w.Height())));
    if (FHost) FHost->Update();
}

void TCustomForm::InvalidateArea(const QRegion& r) {
    const TRect w = WindowAreaRect();
    QRegion add = r.intersected(QRect(0, 0, w.Width(), w.Height()));
    if (FHasRegion) add &= FRegion;  // nothing outside the window's shape is painted
    if (add.isEmpty()) return;
    FUpdate += add;
    if (FHost) FHost->UpdateArea(add.boundingRect());
}

void TCustomForm::ValidateArea(const QRegion& r) { FUpdate -= r; }

void TCustomForm::EnsureSurface() {
    const TRect w = WindowAreaRect();
    const QSize want(std::max(1, w.Width()), std::max(1, w.Height()));
    if (FSurface.size() == want) return;
    FSurface = QImage(want, QImage::Format_RGB32);
    FUpdate = QRegion(QRect(QPoint(0, 0), want));
    FStale = QRegion();
}

void TCustomForm::Freshen(const QRegion& area) {
    // A paint that runs now finishes first; the stale part waits for a read
    // after it.
    if (FStale.isEmpty() || FPainting) return;
    const QRegion due = FStale & area;
    if (due.isEmpty()) return;
    FStale -= due;
    // The window already shows these pixels: nothing is asked of it.
    FUpdate += due;
    PaintPending();
}

QImage* TCustomForm::Surface() {
    if (FSurface.isNull()) return nullptr;
    Freshen(QRegion(FSurface.rect()));
    return &FSurface;
}

QImage* TCustomForm::SurfaceFor(const QRegion& area) {
    if (FSurface.isNull()) return nullptr;
    Freshen(area);
    return &FSurface;
}

void TCustomForm::SetWindowRegion(const TRegion* rgn) {
    FHasRegion = rgn && !rgn->IsEmpty();
    FRegion = FHasRegion ? rgn->ToQRegion() : QRegion();
    ApplyShownShape();
    RequestRepaint();
}

void TCustomForm::SetLayered(bool useKey, TColor key, bool useAlpha, int alpha) {
    FUseKey = useKey;
    FKey = key;
    FUseAlpha = useAlpha;
    FAlpha = std::clamp(alpha, 0, 255);
    if (QWidget* w = HostWidget()) w->setWindowOpacity(FUseAlpha ? FAlpha / 255.0 : 1.0);
    RequestRepaint();
}

void TCustomForm::SetLayeredImage(const QImage& premultiplied) {
    FLayeredImage = premultiplied.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ApplyShownShape();
    RequestRepaint();
}

namespace {
// The pixels of `img` that `shows` keeps, as runs along each row.
template <class Shows>
QRegion RegionOfPixels(const QImage& img, Shows shows) {
    QList<QRect> runs;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width();) {
            if (!shows(row[x])) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < img.width() && shows(row[x])) ++x;
            runs.append(QRect(from, y, x - from, 1));
        }
    }
    QRegion r;
    r.setRects(runs.constData(), int(runs.size()));
    return r;
}
}  // namespace

QRegion TCustomForm::ShownShape() const {
    QRegion shape;
    bool cut = false;
    if (!FLayeredImage.isNull()) {
        // A pixel at least half opaque shows; fainter ones are holes.
        shape = RegionOfPixels(FLayeredImage, [](QRgb p) { return qAlpha(p) >= 128; });
        cut = true;
    } else if (FUseKey && !FSurface.isNull()) {
        const QRgb key = ColorToQColor(FKey).rgb() & 0xFFFFFF;
        shape = RegionOfPixels(FSurface, [key](QRgb p) { return (p & 0xFFFFFF) != key; });
        cut = true;
    }
    if (FHasRegion) {
        shape = cut ? shape & FRegion : FRegion;
        cut = true;
    }
    // A window cut to nothing keeps one pixel: an empty mask gives the
    // whole window back.
    if (cut && shape.isEmpty()) shape = QRegion(0, 0, 1, 1);
    return cut ? shape : QRegion();
}

void TCustomForm::ApplyShownShape() {
    QWidget* w = HostWidget();
    if (!w) return;
    // A colour key's holes are read from the surface.
    if (FUseKey && !FSurface.isNull()) Freshen(QRegion(FSurface.rect()));
    const QRegion shape = ShownShape();
    if (shape.isEmpty()) {
        if (!w->mask().isEmpty()) w->clearMask();
    } else if (w->mask() != shape) {
        w->setMask(shape);
    }
}

void TCustomForm::SetClickThrough(bool v) {
    FClickThrough = v;
    if (QWidget* w = HostWidget()) w->setAttribute(Qt::WA_TransparentForMouseEvents, v);
}

int TCustomForm::PopupLevel() const {
    if (dynamic_cast<const TPopupForm*>(this)) return 2;
    return FFormStyle == fsStayOnTop ? 1 : 0;
}

void TCustomForm::ComposeOnScreen(QImage& screen, TPoint origin) {
    PaintPending();
    if (!FSurface.isNull()) Freshen(QRegion(FSurface.rect()));
    const TPoint at = ClientOrigin();
    QImage picture;
    if (!FLayeredImage.isNull()) {
        picture = FLayeredImage;
    } else {
        picture = FSurface.convertToFormat(QImage::Format_ARGB32);
        if (FUseKey) {
            // The key colour is a hole in the window.
            const QRgb key = ColorToQColor(FKey).rgb() & 0xFFFFFF;
            for (int y = 0; y < picture.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
                for (int x = 0; x < picture.width(); ++x)
                    if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
            }
        }
    }
    QPainter p(&screen);
    p.translate(at.X - origin.X, at.Y - origin.Y);
    if (FHasRegion) p.setClipRegion(FRegion);
    if (FUseAlpha) p.setOpacity(FAlpha / 255.0);
    p.drawImage(0, 0, picture);
}

QImage GrabScreen(const TRect& area) {
    QImage screen(std::max(1, area.Width()), std::max(1, area.Height()), QImage::Format_RGB32);
    screen.fill(Qt::black);
    QList<TCustomForm*> order;
    // Bottom first: normal forms in the order they were activated, then the
    // ones that stay above them.
    for (int i = Screen()->FormCount() - 1; i >= 0; --i) {
        TCustomForm* f = Screen()->Forms(i);
        if (f->IsShownOnScreen()) order << f;
    }
    std::stable_sort(order.begin(), order.end(),
                     [](TCustomForm* a, TCustomForm* b) { return a->PopupLevel() < b->PopupLevel(); });
    for (TCustomForm* f : order) f->ComposeOnScreen(screen, Point(area.Left, area.Top));
    return screen;
}

int SetWindowRgn(TCustomForm* w, const TRegion* rgn, bool) {
    if (!w) return 0;
    w->SetWindowRegion(rgn);
    return 1;
}

bool SetLayeredWindowAttributes(TCustomForm* w, TColor key, int alpha, unsigned flags) {
    if (!w) return false;
    w->SetLayered((flags & LWA_COLORKEY) != 0, key, (flags & LWA_ALPHA) != 0, alpha);
    return true;
}

bool UpdateLayeredWindow(TCustomForm* w, TBitmap* bmp) {
    if (!w || !bmp || bmp->Empty()) return false;
    // The bitmap's bytes are premultiplied already, as the platform wants.
    QImage img = bmp->Image().convertToFormat(QImage::Format_ARGB32);
    img.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    w->SetLayeredImage(img);
    return true;
}

bool ShowWindow(TCustomForm* w, int cmd) {
    if (!w) return false;
    const bool was = w->IsShownOnScreen();
    switch (cmd) {
    case SW_HIDE: w->Hide(); break;
    case SW_SHOWNOACTIVATE: case SW_SHOWNA:
        if (auto* p = dynamic_cast<TPopupForm*>(w)) p->Show();
        else w->ShowNoActivate();
        break;
    default: w->Show(); break;
    }
    return was;
}

void TCustomForm::PaintPending() {
    // A paint already running finishes first; what it adds waits its turn.
    if (FPainting) return;
    EnsureSurface();
    if (FHasRegion) FUpdate &= FRegion;  // nothing outside the window's shape is painted
    if (FUpdate.isEmpty()) return;
    const QRegion damage = FUpdate;
    FUpdate = QRegion();
    FStale -= damage;
    FPainting = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{FPainting};
    PaintArea(FSurface, Point(0, 0), damage);
}

void TCustomForm::ShowArea(const TRect& r) {
    if (FHost) FHost->UpdateArea(QRect(r.Left, r.Top, r.Width(), r.Height()));
}

namespace {
// Copies the pixels of every rectangle of `dest` from where they stand
// before a move by (dx, dy). Source and destination overlap, so the rows and
// the rectangles go in the order of the move: a pixel is read before
// anything is written over it.
void MovePixels(QImage& image, const QRegion& dest, int dx, int dy) {
    // The region lists its rectangles in bands (a run sharing its top), top
    // to bottom, left to right inside a band. A move up takes the bands top
    // first, a move down bottom first; inside a band a move left takes the
    // rectangles left first, a move right right first.
    QList<QList<QRect>> bands;
    for (const QRect& r : dest) {
        if (bands.isEmpty() || bands.last().first().top() != r.top()) bands.append(QList<QRect>());
        bands.last().append(r);
    }
    if (dy > 0) std::reverse(bands.begin(), bands.end());
    QList<QRect> rects;
    for (QList<QRect>& band : bands) {
        if (dx > 0) std::reverse(band.begin(), band.end());
        rects += band;
    }
    const int depth = image.depth() / 8;
    const qsizetype stride = image.bytesPerLine();
    uchar* bits = image.bits();
    for (const QRect& r : rects) {
        const std::size_t bytes = std::size_t(r.width()) * depth;
        const int first = dy > 0 ? r.bottom() : r.top();
        const int step = dy > 0 ? -1 : 1;
        for (int k = 0, y = first; k < r.height(); ++k, y += step) {
            uchar* to = bits + y * stride + r.left() * depth;
            const uchar* from = bits + (y - dy) * stride + (r.left() - dx) * depth;
            std::memmove(to, from, bytes);
        }
    }
}
}  // namespace

QRegion TCustomForm::ScrollSurface(const QRegion& Own, const QRect& Source, const QRect& Clip, int DX, int DY,
                                   bool Invalidate, bool CanMove) {
    const QRect whole(QPoint(0, 0), FSurface.size());
    QRegion own = Own;
    if (FHasRegion) own &= FRegion;  // nothing outside the window's shape is drawn
    const QRect source = Source & whole;
    const QRegion reach = own & Clip & QRegion(Source).united(Source.translated(DX, DY));
    if (reach.isEmpty()) return QRegion();
    const TRect w = WindowAreaRect();
    // A surface that was never painted at this size, or one a paint is
    // drawing on now, has nothing that may move.
    const bool drawn = !FSurface.isNull() && FSurface.width() == std::max(1, w.Width()) &&
                       FSurface.height() == std::max(1, w.Height()) && !FPainting;
    QRegion moved;
    if (CanMove && drawn && (DX != 0 || DY != 0)) {
        const QRegion valid = (own & source & whole) - FUpdate;
        moved = valid.translated(DX, DY) & Clip & own & whole;
    }
    const QRegion uncovered = reach - moved;
    // What waited to be painted inside the scroll moves with it.
    const QRegion waiting = ((FUpdate & own & source).translated(DX, DY)) & Clip & own;
    if (!moved.isEmpty()) {
        const QRect box = moved.boundingRect();
        if (FHost && moved.rectCount() == 1 && FHost->ScrollArea(DX, DY, box.united(box.translated(-DX, -DY)))) {
            // The window moved what it shows before the uncovered part is
            // asked for. The surface keeps its pixels: the moved area is
            // right on the window and stale on the surface until something
            // reads it there.
            FStale += moved;
        } else {
            MovePixels(FSurface, moved, DX, DY);
            // Stale pixels moved as they were: they are stale at their new
            // place too.
            FStale = (FStale - moved) + ((FStale & source).translated(DX, DY) & moved);
            // A move the window cannot make alone is shown from the surface.
            if (FHost) FHost->UpdateArea(box);
        }
        FUpdate -= moved;
    }
    if (!waiting.isEmpty()) InvalidateArea(waiting);
    if (Invalidate) InvalidateArea(uncovered);
    return uncovered;
}

QWidget* TCustomForm::HostWidget() const { return FHost ? FHost->Widget() : nullptr; }

int TCustomForm::AddResizeListener(TNotifyEvent listener) {
    const int id = FNextListenerId++;
    FResizeListeners.append({id, std::move(listener)});
    return id;
}

void TCustomForm::RemoveResizeListener(int id) {
    for (int i = 0; i < FResizeListeners.size(); ++i)
        if (FResizeListeners[i].first == id) {
            FResizeListeners.removeAt(i);
            return;
        }
}

void TCustomForm::Resize() {
    TWinControl::Resize();
    for (const auto& l : QList<QPair<int, TNotifyEvent>>(FResizeListeners))
        if (l.second) l.second(this);
    if (FHost) FHost->SyncGeometry();
}

void TCustomForm::Activate() {
    FActive = true;
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    FActive = false;
    if (OnDeactivate) OnDeactivate(this);
}

// A press on the bottom-right sizing corner (WM_NCLBUTTONDOWN with
// HTBOTTOMRIGHT) starts the platform's sizing drag: the form holds the mouse,
// each move offers the new rectangle with WM_SIZING (the form may change it)
// and takes it (WM_SIZE follows), the release ends the drag.
bool TCustomForm::SizingDragMessage(TMessage& M) {
    switch (M.Msg) {
    case WM_NCLBUTTONDOWN:
        if (int(M.WParam) != HTBOTTOMRIGHT) return false;
        FSizeDrag = true;
        FSizeAnchor = Point(GetXLParam(M.LParam), GetYLParam(M.LParam));
        FSizeStart = BoundsRect();
        SetCaptureControl(this);
        return true;
    case WM_MOUSEMOVE: {
        if (!FSizeDrag) return false;
        const TPoint at = ClientToScreen(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
        TRect r = FSizeStart;
        r.Right = std::max(r.Left, r.Right + at.X - FSizeAnchor.X);
        r.Bottom = std::max(r.Top, r.Bottom + at.Y - FSizeAnchor.Y);
        Perform(WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&r));
        SetBounds(r.Left, r.Top, r.Width(), r.Height());
        return true;
    }
    case WM_LBUTTONUP: case WM_CANCELMODE: case WM_CAPTURECHANGED:
        if (!FSizeDrag) return false;
        FSizeDrag = false;
        if (M.Msg != WM_CAPTURECHANGED && GetCaptureControl() == this) SetCaptureControl(nullptr);
        return true;
    default: return false;
    }
}

void TCustomForm::WndProc(TMessage& M) {
    if (SizingDragMessage(M)) return;
    switch (M.Msg) {
    case CM_ACTIVATE: Activate(); return;
    case CM_DEACTIVATE: Deactivate(); return;
    case CM_RELEASE:
        // Freed outside any message of its own.
        Application()->Queue([this] { delete this; });
        return;
    case WM_CLOSE: Close(); return;
    case CM_TEXTCHANGED:
        TWinControl::WndProc(M);
        if (FHost) FHost->Update();  // the caption is the window's title
        return;
    default: TWinControl::WndProc(M); return;
    }
}

void TCustomForm::CMDialogKey(TMessage& M) {
    if (GetKeyState(VK_MENU) >= 0) {
        switch (M.WParam) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
                M.Result = 1;
                return;
            }
            break;
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
            // Arrows move among the focused control's siblings only.
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(FActiveControl,
                                                     M.WParam == VK_RIGHT || M.WParam == VK_DOWN, false);
                M.Result = 1;
            }
            return;
        default: break;
        }
    }
    TWinControl::CMDialogKey(M);
}

void TCustomForm::PaintWindow(const TPaintTarget& target) {
    TCanvas c;
    target.AttachCanvas(c);
    c.Brush().SetColor(Color());
    c.FillRect(Rect(0, 0, target.Size.cx, target.Size.cy));
}

void TCustomForm::PaintArea(QImage& surface, TPoint at, const QRegion& damage) {
    // The form's window on its surface is its client area: the frame is the
    // toolkit's.
    const TRect wa = WindowAreaRect();
    const QRegion all = damage.intersected(QRect(at.X, at.Y, wa.Width(), wa.Height()));
    if (all.isEmpty() || !RedrawEnabled()) return;
    ++FPaintCount;
    // The non-client part (the form's own scroll bars) first, then the
    // client area and the children.
    const TRect cr = ClientRect();
    const QRegion nc = all.subtracted(QRect(at.X, at.Y, cr.Width(), cr.Height()));
    if (!nc.isEmpty()) {
        TPaintTarget w{&surface, at, TSize(wa.Width(), wa.Height()), nc.translated(-at.X, -at.Y)};
        Perform(WM_NCPAINT, reinterpret_cast<WPARAM>(&w));
    }
    const QRegion d = all.intersected(QRect(at.X, at.Y, cr.Width(), cr.Height()));
    if (d.isEmpty()) return;
    TPaintTarget t{&surface, at, TSize(cr.Width(), cr.Height()), d.translated(-at.X, -at.Y)};
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(&t));
    for (TControl* c : QList<TControl*>(FControls))
        if (c->Visible()) c->PaintArea(surface, Point(at.X + c->Left(), at.Y + c->Top()), d);
}

QImage TCustomForm::RenderClient() {
    EnsureSurface();
    FUpdate = QRegion(QRect(0, 0, FSurface.width(), FSurface.height()));
    PaintPending();
    return FSurface.copy();
}

void TCustomForm::PaintTo(QImage& surface, TPoint at) {
    QImage client = RenderClient();
    QPainter p(&surface);
    p.drawImage(at.X, at.Y, client);
}

// ---------------------------------------------------------------------------
// TPopupForm
// ---------------------------------------------------------------------------

TPopupForm::TPopupForm(TComponent* AOwner) : TCustomForm(AOwner) {
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
}

void TPopupForm::CreateParams(TCreateParams& P) {
    TCustomForm::CreateParams(P);
    P.Style = WS_POPUP | WS_CLIPCHILDREN;
    P.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}

void TPopupForm::Popup(int ScreenX, int ScreenY) {
    SetBounds(ScreenX, ScreenY, Width(), Height());
    Show();
}

void TPopupForm::Show() {
    // Shown without taking the focus: the control that opened it keeps it.
    if (Showing()) return;
    FShown = true;
    if (!Visible()) SetVisible(true);
    CreateWindows(this);
    InvalidateWhole();
    if (FormHostsEnabled()) {
        if (!FHost) FHost = std::make_unique<TFormHost>(this);
        FHost->Show(false);
    }
    Perform(WM_SHOWWINDOW, 1);
    DoShow();
}

// ---------------------------------------------------------------------------
// THintWindow
// ---------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner)
    : TPopupForm(AOwner), FCanvas(std::make_unique<TCanvas>()),
      FScratch(std::make_unique<QImage>(1, 1, QImage::Format_RGB32)) {
    FCanvas->Attach(FScratch.get());
    SetColor(clInfoBk);
    SetFont(*Screen()->HintFont());
}

THintWindow::~THintWindow() { FCanvas->Detach(); }

void THintWindow::PaintWindow(const TPaintTarget& target) {
    FCanvas->Detach();
    target.AttachCanvas(*FCanvas);
    FCanvas->Font().Assign(*Font());
    FCanvas->Brush().SetColor(Color());
    struct Rebind {
        THintWindow* self;
        ~Rebind() {
            self->FCanvas->Detach();
            self->FCanvas->Attach(self->FScratch.get());
        }
    } rebind{this};
    Paint();
}

TRect THintWindow::CalcHintRect(int MaxWidth, const QString& AHint, void*) {
    TRect r(0, 0, MaxWidth, 0);
    Canvas()->Font().Assign(*Font());
    Canvas()->DrawText(AHint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.Right += 6;
    r.Bottom += 2;
    return r;
}

// The machinery hands over its data here; a window that wants them
// overrides this, the rest shows the text.
void THintWindow::ActivateHintData(TRect r, const QString& AHint, void*) { ActivateHint(r, AHint); }

void THintWindow::ActivateHint(TRect r, const QString& AHint) {
    SetCaption(AHint);
    // Keep the whole hint on the screen.
    const TSize scr = ScreenSize();
    if (r.Right > scr.cx) OffsetRect(r, scr.cx - r.Right, 0);
    if (r.Left < 0) OffsetRect(r, -r.Left, 0);
    if (r.Bottom > scr.cy) OffsetRect(r, 0, scr.cy - r.Bottom);
    if (r.Top < 0) OffsetRect(r, 0, -r.Top);
    SetBoundsRect(r);
    FActive = true;
    // Shown without activation: the focus stays where it was.
    ShowWindow(this, SW_SHOWNOACTIVATE);
    if (FHost) FHost->SyncGeometry();  // shown already, perhaps elsewhere
    Invalidate();
}

void THintWindow::ReleaseHandle() {
    FActive = false;
    Hide();
}

void THintWindow::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    c->Brush().SetColor(clBlack);
    c->FrameRect(ClientRect());
    c->Font().Assign(*Font());
    c->SetBkMode(TRANSPARENT);
    TRect r = ClientRect();
    r.Left += 3;
    r.Top += 1;
    c->DrawText(Caption(), r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

// ---------------------------------------------------------------------------
// TApplication
// ---------------------------------------------------------------------------

struct TApplication::CallQueue {
    QMutex Lock;
    std::deque<std::function<void()>> Calls;
    QThread* UiThread = QThread::currentThread();
};

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FCalls(std::make_unique<CallQueue>()) {
    Title = QCoreApplication::applicationName();
    FHintTimer = new TTimer(this);
    FHintTimer->SetEnabled(false);
    FHintTimer->OnTimer = [this](TObject*) { HintTimerExpired(); };
    FHintHideTimer = new TTimer(this);
    FHintHideTimer->SetEnabled(false);
    FHintHideTimer->OnTimer = [this](TObject*) { HideHintExpired(); };
    // Worker threads reach the user interface through this application.
    TThread::SetSynchronizeHook([this](const std::function<void()>& call) { Synchronize(call); });
    TThread::SetQueueHook([this](const std::function<void()>& call) { Queue(call); });
}

TApplication::~TApplication() = default;

QString TApplication::ErrorBoxText(const QString& message) {
    QString m = message;
    if (!m.isEmpty() && m.back() > QLatin1Char('.')) m += QLatin1Char('.');
    return m;
}

void TApplication::ShowException(const Exception& E) {
    MessageBox(ErrorBoxText(E.Message()), Title, MB_OK | MB_ICONSTOP);
}

void TApplication::HandleException(const Exception& E) {
    if (dynamic_cast<const EAbort*>(&E)) return;  // the silent exception
    if (OnException) OnException(this, E);
    else ShowException(E);
}

void TApplication::Guard(const std::function<void()>& step) {
    try {
        step();
    } catch (const Exception& e) {
        HandleException(e);
    } catch (const std::exception& e) {
        HandleException(Exception(QString::fromUtf8(e.what())));
    } catch (...) {
        HandleException(Exception(QStringLiteral("Unknown exception")));
    }
}

namespace {
// The one toolkit timer that ends the loop's wait when the nearest of our
// timers falls due.
QTimer* WakeTimer() {
    static QTimer* t = nullptr;
    if (!t && QCoreApplication::instance()) {
        t = new QTimer(QCoreApplication::instance());
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
    }
    return t;
}
}  // namespace

int TApplication::NextWakeUpDelay() const {
    const std::int64_t due = NextTimerDue();
    if (due < 0) return -1;
    const std::int64_t now = TickCount();
    return int(std::clamp<std::int64_t>(due - now, 0, 24 * 3600 * 1000));
}

void TApplication::ArmWakeUp() {
    QTimer* t = WakeTimer();
    if (!t) return;
    const int delay = NextWakeUpDelay();
    if (delay < 0) t->stop();
    else t->start(delay);
}

int TApplication::RunIdleFor(unsigned ms) {
    std::int64_t now = TickCount();
    const std::int64_t end = now + ms;
    SetTickCountForTest(now);
    int wakes = 0;
    for (;;) {
        ProcessMessages();
        if (!IdleNothingPending()) continue;  // handled in this same turn
        const int delay = NextWakeUpDelay();
        if (delay < 0 || now + delay > end) break;
        now += std::max(1, delay);
        SetTickCountForTest(now);
        ++wakes;
    }
    SetTickCountForTest(end);
    return wakes;
}

void TApplication::ProcessMessages() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
    DrainPostedMessages();
    RunQueuedCalls();
    FireDueTimers();
}

void TApplication::ProcessMessagesExceptInput() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    DrainPostedMessages();
    RunQueuedCalls();
    FireDueTimers();
}

bool TApplication::IdleNothingPending() const {
    QMutexLocker lock(&FCalls->Lock);
    return FCalls->Calls.empty() && PostedMessageCount() == 0;
}

void TApplication::HandleMessage() {
    ProcessMessages();
    if (FTerminated || !IdleNothingPending()) return;
    if (QCoreApplication::instance()) {
        ArmWakeUp();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    } else {
        const int delay = NextWakeUpDelay();
        QThread::msleep(unsigned(delay < 0 ? 50 : std::min(delay, 50)));
    }
    ++FWakeUps;
}

void TApplication::Run() {
    if (FMainForm && !FMainForm->Visible()) Guard([this] { FMainForm->Show(); });
    while (!FTerminated) {
        HandleMessage();
        if (FMainForm && !FMainForm->IsShownOnScreen()) FTerminated = true;
    }
}

void TApplication::Synchronize(const std::function<void()>& call) {
    if (QThread::currentThread() == FCalls->UiThread) {
        call();
        return;
    }
    QMutex doneLock;
    QWaitCondition doneSignal;
    bool done = false;
    std::exception_ptr failure;
    {
        QMutexLocker lock(&FCalls->Lock);
        FCalls->Calls.push_back([&] {
            try {
                call();
            } catch (...) {
                failure = std::current_exception();
            }
            QMutexLocker l(&doneLock);
            done = true;
            doneSignal.wakeAll();
        });
    }
    if (auto* app = QCoreApplication::instance()) QMetaObject::invokeMethod(app, [] {}, Qt::QueuedConnection);
    QMutexLocker l(&doneLock);
    while (!done) doneSignal.wait(&doneLock);
    if (failure) std::rethrow_exception(failure);
}

bool TApplication::IsUIThread() const { return QThread::currentThread() == FCalls->UiThread; }

void TApplication::Queue(std::function<void()> call) {
    {
        QMutexLocker lock(&FCalls->Lock);
        FCalls->Calls.push_back(std::move(call));
    }
    if (QThread::currentThread() != FCalls->UiThread)
        if (auto* app = QCoreApplication::instance()) QMetaObject::invokeMethod(app, [] {}, Qt::QueuedConnection);
}

int TApplication::RunQueuedCalls() {
    int n = 0;
    for (;;) {
        std::function<void()> call;
        {
            QMutexLocker lock(&FCalls->Lock);
            if (FCalls->Calls.empty()) break;
            call = std::move(FCalls->Calls.front());
            FCalls->Calls.pop_front();
        }
        Guard(call);
        ++n;
    }
    return n;
}

void TApplication::ControlDestroyed(TControl* c) {
    if (FMouseControl == c) FMouseControl = nullptr;
    if (FHintControl == c) CancelHint();
    if (FHintWindow == c) FHintWindow = nullptr;
    if (FMainForm == c) FMainForm = nullptr;
}

namespace {
// The control whose hint a mouse over `c` shows: the first up the parent
// chain that shows hints.
TControl* HintControlFor(TControl* c) {
    while (c && !c->ShowHint()) c = c->Parent();
    return c;
}
}  // namespace

void TApplication::HintMouseMessage(TControl* c, TPoint clientPos) {
    FHintCursorPos = c ? c->ClientToScreen(clientPos) : clientPos;
    if (!ShowHint) return;
    TControl* hc = HintControlFor(c);
    if (hc == FHintControl) return;
    const bool hintShowing = FHintWindow && FHintWindow->Active();
    CancelHint();
    FHintControl = hc;
    if (!hc) return;
    // Moving from one hint to the next waits only the short pause; the
    // control may change the pause (0: show at once).
    int pause = hintShowing ? HintShortPause : HintPause;
    hc->Perform(CM_HINTSHOWPAUSE, hintShowing ? 1 : 0, reinterpret_cast<LPARAM>(&pause));
    if (pause <= 0) {
        ActivateHint(FHintCursorPos);
        return;
    }
    FHintTimer->SetInterval(unsigned(pause));
    FHintTimer->SetEnabled(true);
}

void TApplication::HintTimerExpired() {
    FHintTimer->SetEnabled(false);
    ActivateHint(FHintCursorPos);
}

void TApplication::HideHintExpired() {
    FHintHideTimer->SetEnabled(false);
    if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TApplication::ActivateHint(TPoint cursorPos) {
    TControl* c = FHintControl;
    if (!c) return;
    THintInfo info;
    info.HintControl = c;
    info.HintWindowClass = HintWindowClass;
    info.HintPos = Point(cursorPos.X, cursorPos.Y + GetSystemMetrics(SM_CYCURSOR) * 5 / 8);
    info.HintMaxWidth = ScreenSize().cx;
    info.HintColor = HintColor;
    info.CursorRect = c->ClientRect();
    info.CursorPos = c->ScreenToClient(cursorPos);
    info.HideTimeout = HintHidePause;
    info.HintStr = GetShortHint(c->Hint());
    const bool canShow = c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (!canShow || info.HintStr.isEmpty()) {
        if (FHintWindow) FHintWindow->ReleaseHandle();
        return;
    }
    if (info.HintWindowClass) {
        // A control may ask for its own kind of hint window each time.
        delete FHintWindow;
        FHintWindow = info.HintWindowClass(this);
    } else if (!FHintWindow) {
        FHintWindow = new THintWindow(this);
    }
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    if (info.HideTimeout > 0) {
        FHintHideTimer->SetInterval(unsigned(info.HideTimeout));
        FHintHideTimer->SetEnabled(true);
    }
}

void TApplication::CancelHint() {
    FHintTimer->SetEnabled(false);
    FHintHideTimer->SetEnabled(false);
    if (FHintWindow) FHintWindow->ReleaseHandle();
    FHintControl = nullptr;
}

// ---------------------------------------------------------------------------
// TScreen
// ---------------------------------------------------------------------------

void TScreen::SetCursor(TCursor c) {
    FCursor = c;
    ApplyScreenCursor(c);
}

void TScreen::RemoveForm(TCustomForm* f) {
    FForms.removeAll(f);
    FActivationOrder.removeAll(f);
    if (FActiveForm == f) FActiveForm = nullptr;
}

void TScreen::NoteActivated(TCustomForm* f) {
    FActivationOrder.removeAll(f);
    FActivationOrder.prepend(f);
}

TCustomForm* TScreen::PreviousActiveForm(TCustomForm* f) const {
    for (TCustomForm* g : FActivationOrder)
        if (g != f && g->IsShownOnScreen() && !dynamic_cast<TPopupForm*>(g)) return g;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Program-wide objects
// ---------------------------------------------------------------------------

TApplication* Application() {
    static TApplication* app = new TApplication(nullptr);
    return app;
}

TScreen* Screen() {
    static TScreen* screen = new TScreen(nullptr);
    return screen;
}

void ControlDestroying(TControl* c) { Application()->ControlDestroyed(c); }

void RenderFormToPng(TCustomForm* form, const QString& path) {
    const QImage img = form->RenderClient();
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    if (!img.save(&buf, "PNG")) throw EWriteError(QStringLiteral("Cannot encode the form picture"));
    WriteFileWhole(path, bytes);
}

bool DisplayAvailable(QString* why)
{
    // A platform named by the environment (offscreen for tests) needs no display.
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    if (why)
        *why = QStringLiteral("This program needs a display to show its windows, and this session has none\n"
                              "(neither DISPLAY nor WAYLAND_DISPLAY is set). Start it from a desktop\n"
                              "session or over ssh -X.");
    return false;
}

void InitializeToolkit(int& argc, char** argv)
{
    if (QCoreApplication::instance())
        return;
    // Never destroyed: tearing it down among the static destructors would
    // close toolkit windows after the toolkit's own thread storage is gone.
    new QApplication(argc, argv);
    // The faces the forms name, before the first form measures a text.
    RegisterProgramFonts();
}
