#pragma once
// Forms, the application object with its exception boundary and hint
// machinery, the screen, and the hint window.
#include "platform/controls/Controls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Timers.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QWidget;
class TFormHost;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// The boxes of a form's caption, a set of bits.
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                 poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
    KAL_CLASS(TCustomForm, TWinControl)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v);
    // Which boxes the caption shows; a form without a sizing border and
    // without a maximise box keeps its size on the screen.
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons v);
    // The person can change the window's size (a sizing border).
    bool Sizeable() const { return FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin; }
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition v) { FPosition = v; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle v);
    // The client area lies inside the frame and caption of the border style,
    // less the form's own non-client part (its scroll bars, right and bottom).
    TRect ClientRect() const override;
    // What the platform draws of the window: everything inside the toolkit's
    // frame and caption, the non-client part included. The form's surface.
    TRect WindowAreaRect() const;
    TPoint ClientOrigin() const override;
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    void SetClientSize(int w, int h) { SetClientWidth(w); SetClientHeight(h); }

    // -- showing
    virtual void Show();
    // Shows the window without taking the focus or activating it.
    void ShowNoActivate();
    virtual void Hide();
    void Close();
    // Shows the form in a nested loop until its ModalResult is set and the
    // form agrees to close; answers the result (mrOk 1, mrCancel 2 ...).
    virtual int ShowModal();
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int v) { FModalResult = v; }
    bool IsModal() const { return FModal; }
    // The form's window is on the screen (or would be, headless).
    bool IsShownOnScreen() const { return FShown; }
    // A sizing drag started at the bottom-right corner is under way.
    bool SizingDrag() const { return FSizeDrag; }
    bool Showing() const override { return FShown && Visible(); }
    bool Active() const { return FActive; }
    // Frees the form once the messages now queued are handled.
    void Release();
    // Asks OnCloseQuery; true when the form may close.
    virtual bool CloseQuery();

    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool v) { FKeyPreview = v; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* c);
    // The control that last had the focus inside this form.
    TWinControl* FocusedControlInForm() const { return FFocusedControl; }

    TNotifyEvent OnCreate, OnShow, OnHide, OnActivate, OnDeactivate, OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    // Every listener hears each resize of the form, after OnResize.
    int AddResizeListener(TNotifyEvent listener);
    void RemoveResizeListener(int id);

    // -- focus machinery, used by the controls
    void FocusControl(TWinControl* c);
    // Runs CM_EXIT and CM_ENTER along the parent chains of the old and the
    // new focused control; false when a handler moved the focus meanwhile.
    bool SetFocusedControl(TWinControl* c);
    // Takes the focus away from `c` (hidden or disabled) to the next control.
    void DefocusControl(TWinControl* c);
    void ControlRemoved(TControl* c);
    // The whole client area needs painting.
    void RequestRepaint();
    // Adds the whole surface to the update region.
    void InvalidateWhole();

    // -- the update region and the surface, in client coordinates
    // Adds to the region waiting to be painted and asks the window for it.
    void InvalidateArea(const QRegion& r);
    // Takes an area out of the region waiting to be painted.
    void ValidateArea(const QRegion& r);
    // Keeps an area waiting that a paint left out (a control that holds its
    // painting back), without asking the window for it again: the next
    // paint that comes paints it.
    void KeepPending(const QRegion& r) { FUpdate += r; }
    const QRegion& UpdateRegion() const { return FUpdate; }
    // Paints the waiting region on the surface now: each control that meets
    // it, in z-order, cut to its part of it.
    void PaintPending();
    bool Painting() const { return FPainting; }
    // The form's picture as last painted (null before the first paint),
    // brought up to date first where the window's own move left it behind.
    QImage* Surface();
    // The same, brought up to date only inside `area` (what a paint of the
    // window or a canvas drawn on the window is about to read).
    QImage* SurfaceFor(const QRegion& area);
    // Where the window shows the right pixels but the surface does not hold
    // them yet: a scroll moved them on the window only. Whatever reads the
    // surface there repaints it first.
    const QRegion& StaleArea() const { return FStale; }
    // Puts an area of the surface on the screen without painting it again
    // (what a window canvas drew).
    void ShowArea(const TRect& r);
    // Moves the pixels already drawn (surface coordinates throughout): what
    // lies in `Source` and is validly drawn moves by (DX, DY), landing only
    // inside `Clip` and `Own` (the pixels that belong to the scrolling
    // control). A part still waiting to be painted moves along with the
    // pixels. The answer is the uncovered part of the scroll: inside `Clip`
    // and `Own`, over the source or its destination, and not covered by a
    // moved valid pixel; it is added to the update region when Invalidate is
    // set. With CanMove false (a surface not drawn yet, redraw switched off)
    // nothing moves and all of it is uncovered. The screen follows: the
    // window moves its own pixels where nothing else covers them. When the
    // window can make the move alone, the surface keeps its pixels and the
    // moved area becomes stale (see StaleArea): one move per scroll.
    QRegion ScrollSurface(const QRegion& Own, const QRect& Source, const QRect& Clip, int DX, int DY,
                          bool Invalidate, bool CanMove);

    // -- the window's shape and transparency (pop-up windows)
    // Only the region (client coordinates) is painted, shown and hit; an
    // empty one (nullptr) gives the whole window back.
    void SetWindowRegion(const TRegion* rgn);
    bool HasWindowRegion() const { return FHasRegion; }
    bool HitsWindowRegion(TPoint client) const { return !FHasRegion || FRegion.contains(QPoint(client.X, client.Y)); }
    // A colour shown as a hole (LWA_COLORKEY) and a constant opacity
    // (LWA_ALPHA, 0..255).
    void SetLayered(bool useKey, TColor key, bool useAlpha, int alpha);
    // A picture with its own alpha per pixel shown in place of the painted
    // surface (the platform's UpdateLayeredWindow).
    void SetLayeredImage(const QImage& premultiplied);
    const QImage& LayeredImage() const { return FLayeredImage; }
    // What the window shows of itself on a screen that composes nothing: the
    // window region, less the picture's transparent pixels or the colour
    // key's; an empty region when the whole window shows. The window asks
    // the server for no alpha channel (a window with one shows black where
    // no compositing manager runs): its holes are its shape.
    QRegion ShownShape() const;
    // Gives the toolkit window the shape it has now.
    void ApplyShownShape();
    // Above the normal forms: pop-ups and stay-on-top forms.
    int PopupLevel() const;
    // Click-through (WS_EX_TRANSPARENT): the mouse passes to what lies below.
    void SetClickThrough(bool v);
    bool ClickThrough() const { return FClickThrough; }
    // Draws what this window shows, where it stands on the screen, on an
    // image of the screen whose top-left is `origin` (screen coordinates).
    void ComposeOnScreen(QImage& screen, TPoint origin);

    using TWinControl::DoKeyDown;
    using TWinControl::DoKeyPress;
    using TWinControl::DoKeyUp;

    // The window shown for the form when a person works with the program.
    QWidget* HostWidget() const;
    // Renders the form's client area as it would look now.
    QImage RenderClient();

    void AfterConstruction() override;
    bool CanFocus() const override { return Visible() && Enabled(); }
    // Brings the shown form forward and gives the focus to its active control.
    void SetFocus() override;
    void PaintTo(QImage& surface, TPoint at) override;
    void PaintArea(QImage& surface, TPoint origin, const QRegion& damage) override;

protected:
    friend class TFormHost;
    virtual void Activate();
    virtual void Deactivate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    void Resize() override;
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(const TPaintTarget& target) override;
    void WndProc(TMessage& M) override;
    void CMDialogKey(TMessage& M) override;
    // Places the form by its Position before it first shows.
    void PlaceOnScreen();
    void ActivateForm();
    void CloseModal();
    // The frame's thickness and the caption's height.
    int FrameX() const;
    int FrameY() const;
    int CaptionHeight() const;

    bool FShown = false;
    std::unique_ptr<TFormHost> FHost;

private:
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    int FModalResult = 0;
    bool FModal = false, FActive = false, FKeyPreview = false, FPlaced = false;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    QList<QPair<int, TNotifyEvent>> FResizeListeners;
    int FNextListenerId = 1;
    // The form's client area as painted, and what waits to be painted.
    QImage FSurface;
    QRegion FUpdate;
    // Right on the window, not yet on the surface (see StaleArea).
    QRegion FStale;
    // Paints the stale part of `area` on the surface.
    void Freshen(const QRegion& area);
    bool FPainting = false;
    bool FHasRegion = false, FClickThrough = false;
    QRegion FRegion;
    bool FUseKey = false, FUseAlpha = false;
    TColor FKey = clNone;
    int FAlpha = 255;
    QImage FLayeredImage;
    // The surface matches the client size (a new one waits to be painted whole).
    void EnsureSurface();
    bool SizingDragMessage(TMessage& M);
    bool FSizeDrag = false;
    TPoint FSizeAnchor;
    TRect FSizeStart;
};

class TForm : public TCustomForm {
    KAL_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// A frameless form that stays on top of the others, shown at a screen point
// without taking the focus; it reports losing activation through
// OnDeactivate (a click elsewhere, the focus going to another form).
class TPopupForm : public TCustomForm {
    KAL_CLASS(TPopupForm, TCustomForm)
public:
    explicit TPopupForm(TComponent* AOwner);
    void Popup(int ScreenX, int ScreenY);
    void Show() override;

protected:
    void CreateParams(TCreateParams& Params) override;
};

// ---------------------------------------------------------------------------
// Hints
// ---------------------------------------------------------------------------

class THintWindow;
using THintWindowClass = std::function<THintWindow*(TComponent* Owner)>;

// What CM_HINTSHOW hands the control (through LParam) to adjust before the
// hint shows; a non-zero result cancels the hint.
struct THintInfo {
    TControl* HintControl = nullptr;
    THintWindowClass HintWindowClass;
    TPoint HintPos;        // screen position of the hint's top-left corner
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;      // in the control's client coordinates
    TPoint CursorPos;      // in the control's client coordinates
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    QString HintStr;
    void* HintData = nullptr;
};

// A hint is a pop-up window of its own (no frame, not in the task bar, above
// the forms, shown without taking the focus): its bounds are its place on
// the screen, and WindowFromPoint over it answers it.
class THintWindow : public TPopupForm {
    KAL_CLASS(THintWindow, TPopupForm)
public:
    explicit THintWindow(TComponent* AOwner);
    ~THintWindow() override;
    // The size the text needs, word-wrapped within MaxWidth, with the margins
    // and the border.
    virtual TRect CalcHintRect(int MaxWidth, const QString& AHint, void* AData);
    // Shows the hint in `r` (screen coordinates), kept inside the screen.
    virtual void ActivateHint(TRect r, const QString& AHint);
    // What the hint machinery calls: by default ActivateHint.
    virtual void ActivateHintData(TRect r, const QString& AHint, void* AData);
    void ReleaseHandle();
    bool Active() const { return FActive; }
    // Where the window stands on the screen.
    TRect ScreenRect() const { return BoundsRect(); }
    // Bound to the window's surface while painting; otherwise to a scratch
    // surface on which text can be measured.
    TCanvas* Canvas() { return FCanvas.get(); }

protected:
    virtual void Paint();
    void PaintWindow(const TPaintTarget& target) override;

private:
    bool FActive = false;
    std::unique_ptr<TCanvas> FCanvas;
    std::unique_ptr<QImage> FScratch;
};

// ---------------------------------------------------------------------------
// Application and screen
// ---------------------------------------------------------------------------

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

class TApplication : public TComponent {
    KAL_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    QString Title;
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* f) { FMainForm = f; }
    // Creates a form owned by the application, runs its second construction
    // phase, and makes the first one the main form.
    template <class T> T* CreateForm(T*& ref) {
        ref = new T(this);
        ref->AfterConstruction();
        if (!FMainForm) FMainForm = ref;
        return ref;
    }

    // -- the loop
    void Run();
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    // Handles every waiting event, posted message, queued call and due timer.
    void ProcessMessages();
    // The same but for the user's input (keys and mouse stay queued): for
    // long operations that keep the window painted without letting the user
    // act on what they are working on.
    void ProcessMessagesExceptInput();
    // Handles what is waiting, or waits for the next event first. The wait
    // ends with an input, a posted message or a call from another thread
    // (each wakes the toolkit's loop), or when the nearest timer falls due
    // (one single-shot toolkit timer); with nothing due it lasts.
    void HandleMessage();
    bool IdleNothingPending() const;
    // Milliseconds until the loop must wake for a timer; -1: it may sleep
    // until something happens.
    int NextWakeUpDelay() const;
    // How often the loop woke from waiting.
    int WakeUpCount() const { return FWakeUps; }
    // The loop run on the settable clock for `ms` with no input: answers how
    // often it woke (each due timer one wake-up, nothing else any).
    int RunIdleFor(unsigned ms);

    // -- exceptions: shown in the error box, the program goes on
    void Guard(const std::function<void()>& step);
    void HandleException(const Exception& E);
    void ShowException(const Exception& E);
    // The text the error box shows: a full stop added after a last character
    // that sorts above ".".
    static QString ErrorBoxText(const QString& message);
    TExceptionEvent OnException;

    // -- help: there is no help system here; the topics asked for are kept
    // (the last one first) so the callers can be checked.
    bool HelpContext(int Context) {
        FHelpRequests.prepend(Context);
        return false;
    }
    const QList<int>& HelpRequests() const { return FHelpRequests; }

    // -- hints
    bool ShowHint = true;
    int HintPause = 500;
    int HintHidePause = 2500;
    int HintShortPause = 50;
    TColor HintColor = clInfoBk;
    THintWindowClass HintWindowClass;
    // The mouse moved over `c` (client coordinates).
    void HintMouseMessage(TControl* c, TPoint clientPos);
    // Shows the hint of the control under the mouse now (what the pause
    // timer does when it fires).
    void ActivateHint(TPoint cursorPos);
    void CancelHint();
    THintWindow* HintWindow() const { return FHintWindow; }
    TControl* HintControl() const { return FHintControl; }
    TTimer* HintTimer() const { return FHintTimer; }
    TTimer* HintHideTimer() const { return FHintHideTimer; }

    // -- other threads reach the UI through these
    // Runs `call` on the UI thread and waits for it (directly when already
    // there). An exception in the call is re-raised in the calling thread.
    void Synchronize(const std::function<void()>& call);
    // Queues `call` for the UI thread and returns at once.
    void Queue(std::function<void()> call);
    int RunQueuedCalls();
    // True on the thread that made the application object (the UI thread).
    bool IsUIThread() const;

    // The control under the mouse, kept by the input layer.
    TControl* MouseControl() const { return FMouseControl; }
    void SetMouseControl(TControl* c) { FMouseControl = c; }
    void ControlDestroyed(TControl* c);

private:
    void HintTimerExpired();
    void HideHintExpired();
    TCustomForm* FMainForm = nullptr;
    QList<int> FHelpRequests;
    bool FTerminated = false;
    TControl* FMouseControl = nullptr;
    TControl* FHintControl = nullptr;
    TPoint FHintCursorPos;
    THintWindow* FHintWindow = nullptr;
    TTimer* FHintTimer = nullptr;
    TTimer* FHintHideTimer = nullptr;
    struct CallQueue;
    std::unique_ptr<CallQueue> FCalls;
    int FWakeUps = 0;
    // Arms the toolkit's single-shot timer for the nearest deadline.
    void ArmWakeUp();
};

class TScreen : public TComponent {
    KAL_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner) : TComponent(AOwner) {}
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor c);
    QCursor Cursors(TCursor id) const { return CursorFor(id); }
    void SetCursors(TCursor id, const QCursor& c) { RegisterCursor(id, c); }
    int Width() const { return ScreenSize().cx; }
    int Height() const { return ScreenSize().cy; }
    TRect WorkAreaRect() const { return ScreenWorkArea(); }
    int WorkAreaLeft() const { return ScreenWorkArea().Left; }
    int WorkAreaTop() const { return ScreenWorkArea().Top; }
    int WorkAreaWidth() const { return ScreenWorkArea().Width(); }
    int WorkAreaHeight() const { return ScreenWorkArea().Height(); }
    int PixelsPerInch() const { return ToolkitPixelsPerInch(); }
    // The font hint windows start with: the class library's default font in
    // the info-text colour.
    TFont* HintFont() { return &FHintFont; }
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FocusedControl(); }
    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int i) const { return FForms.at(i); }

    // Kept by the forms.
    void AddForm(TCustomForm* f) { FForms << f; }
    void RemoveForm(TCustomForm* f);
    void SetActiveForm(TCustomForm* f) { FActiveForm = f; }
    // The form that was active before `f`, to return to when `f` hides.
    TCustomForm* PreviousActiveForm(TCustomForm* f) const;
    void NoteActivated(TCustomForm* f);

private:
    TCursor FCursor = crDefault;
    TFont FHintFont = [] {
        TFont f;
        f.SetColor(clInfoText);
        return f;
    }();
    TCustomForm* FActiveForm = nullptr;
    QList<TCustomForm*> FForms;
    QList<TCustomForm*> FActivationOrder;
};

// The program's application and screen objects, created on first use.
TApplication* Application();

// The program's start: whether a display can show the windows (when not, `why`
// says so in words for the user), and the toolkit's application object, made
// once and kept to the end of the process.
bool DisplayAvailable(QString* why);
void InitializeToolkit(int& argc, char** argv);
TScreen* Screen();

// Renders the form's client area, shown or not, into a PNG file (written
// whole). Raises on a write failure.
void RenderFormToPng(TCustomForm* form, const QString& path);

// The program's screen as a person sees it: every shown form and pop-up in
// their order, with their regions and transparency, over a black desktop.
QImage GrabScreen(const TRect& area);

// The platform's calls for pop-up windows, on the form that is the window.
enum : unsigned { LWA_COLORKEY = 0x1, LWA_ALPHA = 0x2 };
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_SHOWNA = 8 };
int SetWindowRgn(TCustomForm* w, const TRegion* rgn, bool redraw);
bool SetLayeredWindowAttributes(TCustomForm* w, TColor key, int alpha, unsigned flags);
// Per-pixel alpha from a 32-bit bitmap whose colours are premultiplied by
// their alpha, shown at the window's place.
bool UpdateLayeredWindow(TCustomForm* w, TBitmap* bmp);
// SW_SHOWNOACTIVATE / SW_SHOWNA show without taking the focus.
bool ShowWindow(TCustomForm* w, int cmd);

// Makes the windows of a control and its windowed children (a form shows).
void CreateWindows(TWinControl* c);
// Internal: the windowed-control destructor tells the application.
void ControlDestroying(TControl* c);
// Internal: how a popup menu asks a person (a toolkit menu at the point).
TMenuItem* PopupMenuOnScreen(TPopupMenu* menu, TPoint at);
