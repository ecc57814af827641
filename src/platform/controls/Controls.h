#pragma once
// Controls: the visual component tree, message dispatch, the keyboard focus
// and the dialog keyboard (Tab, arrows, default and cancel keys, accelerators).
//
// A control is a component and receives window messages. Each control has a
// replaceable WindowProc (by default its virtual WndProc), so a dialog can put
// its own procedure in front of a control's. WndProc dispatches to
// overridable handlers; Perform sends a message synchronously.
#include "platform/controls/Messages.h"
#include "platform/core/Components.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Resources.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TActionLink;
class QWidget;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Control style flags.
enum : unsigned {
    csAcceptsControls = 0x0001, csCaptureMouse = 0x0002, csDesignInteractive = 0x0004,
    csClickEvents = 0x0008, csFramed = 0x0010, csSetCaption = 0x0020, csOpaque = 0x0040,
    csDoubleClicks = 0x0080, csFixedWidth = 0x0100, csFixedHeight = 0x0200, csNoDesignVisible = 0x0400,
    csReplicatable = 0x0800, csNoStdEvents = 0x1000, csDisplayDragImage = 0x2000,
    csReflector = 0x4000, csActionClient = 0x8000, csMenuEvents = 0x10000,
};
// Control state flags.
enum : unsigned {
    csLButtonDown = 0x0001, csClicked = 0x0002, csPalette = 0x0004, csReadingState = 0x0008,
    csAlignmentNeeded = 0x0010, csFocusing = 0x0020, csCreating = 0x0040, csPaintCopy = 0x0080,
    csCustomPaint = 0x0100, csDestroyingHandle = 0x0200, csDocking = 0x0400,
};

using TKeyEvent = std::function<void(TObject* Sender, unsigned& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, QChar& Key)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TWndMethod = std::function<void(TMessage& Message)>;

// Dragging of controls inside the program (DragControls.cpp).
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
class TDragObject;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// Window creation parameters: the style bits a control asks for. RecreateWnd
// asks again; the controls read their style back from Params().
struct TCreateParams {
    QString Caption;
    std::uint32_t Style = 0;
    std::uint32_t ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    QString WinClassName;
};

// What WM_PAINT and WM_NCPAINT point to (WParam): the form's surface, where
// the painted part of the window starts on it (its client area for WM_PAINT,
// its whole window for WM_NCPAINT), that part's size and the damaged area to
// paint, in the part's own coordinates. A canvas attached through
// TCanvas::AttachWindow(Surface, Origin, Size, Clip) paints just there.
struct TPaintTarget {
    QImage* Surface = nullptr;
    TPoint Origin;
    TSize Size;
    QRegion Clip;
    // Attaches `c` to this part of the surface.
    void AttachCanvas(TCanvas& c) const { c.AttachWindow(Surface, Origin, Size, Clip); }
};

class TWinScrollBars;

// ---------------------------------------------------------------------------
// Actions: the small part of the class library's actions that buttons use.
// ---------------------------------------------------------------------------

class TBasicAction : public TComponent {
    KAL_CLASS(TBasicAction, TComponent)
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;
    TNotifyEvent OnExecute;
    // Runs OnExecute; false when there is none.
    virtual bool Execute();
    void RegisterChanges(TActionLink* link);
    void UnRegisterChanges(TActionLink* link);

protected:
    void Change();

private:
    QList<TActionLink*> FClients;
};

// An action list holds actions and may carry the image list they take their
// images from.
class TActionList : public TComponent {
    KAL_CLASS(TActionList, TComponent)
public:
    explicit TActionList(TComponent* AOwner) : TComponent(AOwner) {}
    TImageList* Images = nullptr;
};

class TAction : public TBasicAction {
    KAL_CLASS(TAction, TBasicAction)
public:
    explicit TAction(TComponent* AOwner);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    QString Hint() const { return FHint; }
    void SetHint(const QString& v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    // The group of buttons that act as one for this action.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    TActionList* ActionList = nullptr;
    // A disabled action does not run.
    bool Execute() override;

private:
    QString FCaption, FHint;
    bool FEnabled = true, FVisible = true, FChecked = false;
    int FImageIndex = -1;
    int FGroupIndex = 0;
};

// Keeps a control in step with its action.
class TActionLink {
public:
    explicit TActionLink(TControl* client) : FClient(client) {}
    virtual ~TActionLink();
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* a);
    // Runs the action for the control; false when nothing ran.
    bool Execute();
    // Called by the action when one of its properties changed.
    virtual void Change();

private:
    TControl* FClient;
    TBasicAction* FAction = nullptr;
};

// ---------------------------------------------------------------------------
// TControl
// ---------------------------------------------------------------------------

class TControl : public TComponent {
    KAL_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // -- messages
    // The procedure every message goes through first; replaceable.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    // Handles what no handler took.
    virtual void DefaultHandler(TMessage& Message);
    LRESULT Perform(unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0);

    // -- tree
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    // -- bounds, in the parent's client coordinates
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    // Where this control's client area starts inside its own bounds.
    virtual TPoint ClientOrigin() const;  // in screen coordinates
    TPoint ClientToScreen(const TPoint& p) const;
    TPoint ScreenToClient(const TPoint& p) const;
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v);

    // -- visibility and state
    // The control's own flag; not whether its window is on the screen.
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool v);
    // Visible itself and every parent up to a form that is showing.
    virtual bool Showing() const;
    unsigned ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    unsigned ControlState = 0;

    // -- text; "&" marks the accelerator
    QString Caption() const { return FText; }
    void SetCaption(const QString& v) { SetText(v); }
    QString Text() const { return FText; }
    void SetText(const QString& v);

    // -- looks
    TFont* Font() { return &FFont; }
    void SetFont(const TFont& f) { FFont.Assign(f); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool v);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    virtual void SetPopupMenu(TPopupMenu* m);

    // The help topic of the control (0: none; the parent's is asked then).
    int HelpContext = 0;

    // -- hints
    QString Hint() const { return FHint; }
    void SetHint(const QString& v) { FHint = v; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool v);

    // -- action
    TBasicAction* Action() const;
    void SetAction(TBasicAction* a);
    // Takes the action's properties; CheckDefaults leaves values already set.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    // The link SetAction joins an action through; a control that keeps more
    // of the action's properties in step makes its own.
    virtual std::unique_ptr<TActionLink> CreateActionLink();

    // -- painting
    // Adds the control's rectangle (clipped by its parents) to its form's
    // update region; the form paints it later, in one pass.
    virtual void Invalidate();
    // Invalidate, then paint what is pending at once.
    void Repaint();
    // Paints the form's pending update region now.
    void Update();
    // How many times the control asked to be painted (tests watch repaints).
    int InvalidateCount() const { return FInvalidateCount; }
    // How many times the control was painted (any part of it).
    int PaintCount() const { return FPaintCount; }
    // Paints the control, and its children, on `surface` with the control's
    // top-left corner at `at`. What the control leaves unpainted shows the
    // surface below, so transparent parts work as on the screen.
    virtual void PaintTo(QImage& surface, TPoint at);
    // Paints the part of the control (and its children) inside `damage`
    // (surface coordinates); the control's window starts at `origin`. A
    // control that misses the damage is not painted.
    virtual void PaintArea(QImage& surface, TPoint origin, const QRegion& damage);
    // The control's window rectangle in its form's client coordinates, cut
    // by the client areas of its parents; false when the control is on no
    // form or shows nowhere.
    bool VisibleRectInForm(TRect& r) const;
    // Where the control's window (its top-left corner) lies in its form's
    // client coordinates.
    TPoint WindowOriginInForm() const;

    // -- events
    TNotifyEvent OnClick, OnDblClick, OnResize, OnMouseEnter, OnMouseLeave;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown, OnMouseWheelUp;

    // -- dragging inside the program (DragControls.cpp)
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode v) { FDragMode = v; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor v) { FDragCursor = v; }
    // Starts a drag of this control, at once or once the mouse has moved
    // Threshold pixels (-1: the platform's threshold).
    virtual void BeginDrag(bool Immediate, int Threshold = -1);
    virtual bool Dragging() const;
    // Ends the running drag, dropping where the mouse is or cancelling.
    void EndDrag(bool Drop);
    // Something was dropped on the control (OnDragDrop).
    virtual void DragDrop(TObject* Source, int X, int Y);
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

    virtual void Click();
    virtual void DblClick();
    bool MouseCapture() const;
    void SetMouseCapture(bool v);
    // The screen point below the control's bottom-left corner.
    TPoint ScreenBottomLeft() const { return ClientToScreen(Point(0, FHeight)); }

    // Called once the owner has built the control (the second construction
    // phase): steps that need the subclass's overrides run here.
    void AfterConstruction() override;

protected:
    friend class TWinControl;
    friend class TActionLink;
    friend struct TDragManager;
    // Whether the control takes a drop of Source here (OnDragOver; refused
    // without one).
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    virtual void DragCanceled() {}

    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual void Resize();
    virtual void Changed() {}
    // Font or colour taken over from the parent.
    void ParentFontChanged();
    void ParentColorChanged();

    // Message handlers, overridable; each is called from WndProc.
    virtual void WMLButtonDown(TMessage& M);
    virtual void WMLButtonUp(TMessage& M);
    virtual void WMLButtonDblClk(TMessage& M);
    virtual void WMRButtonDown(TMessage& M);
    virtual void WMRButtonUp(TMessage& M);
    virtual void WMMButtonDown(TMessage& M);
    virtual void WMMButtonUp(TMessage& M);
    virtual void WMMouseMove(TMessage& M);
    virtual void WMMouseWheel(TMessage& M);
    virtual void WMContextMenu(TMessage& M);
    // WM_SETCURSOR (LParam: the hit-test code in the low word, the mouse
    // message in the high word): over the client area the control's Cursor
    // (or the screen's, when one is set) is shown.
    virtual void WMSetCursor(TMessage& M);
    virtual void CMMouseEnter(TMessage& M);
    virtual void CMMouseLeave(TMessage& M);
    virtual void CMEnabledChanged(TMessage& M);
    virtual void CMVisibleChanged(TMessage& M);
    virtual void CMTextChanged(TMessage& M);
    virtual void CMFontChanged(TMessage& M);
    virtual void CMColorChanged(TMessage& M);
    virtual void CMHintShow(TMessage& M);
    virtual void CMDialogKey(TMessage& M);
    virtual void CMDialogChar(TMessage& M);
    virtual void CMParentFontChanged(TMessage& M);
    virtual void CMParentColorChanged(TMessage& M);
    virtual void CMParentShowHintChanged(TMessage& M);

    TActionLink* ActionLink() const { return FActionLink.get(); }
    // Forgets a popup menu or action that goes away.
    void Notification(TComponent* component, TOperation operation) override;

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;

private:
    void MouseButtonDown(TMessage& M, TMouseButton button);
    void MouseButtonUp(TMessage& M, TMouseButton button);
    void DoFontChange(TGraphicsObject*);

    TAlign FAlign = alNone;
    bool FVisible = true, FEnabled = true;
    QString FText, FHint;
    TFont FFont;
    bool FParentFont = true, FParentColor = true, FShowHint = false, FParentShowHint = true;
    bool FUpdatingFromParent = false;
    TColor FColor = clBtnFace;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    std::unique_ptr<TActionLink> FActionLink;
    int FInvalidateCount = 0;
protected:
    int FPaintCount = 0;
private:
    TDragMode FDragMode = dmManual;
    TCursor FDragCursor = crDrag;
};

// A control without a window of its own: it paints on its parent.
class TGraphicControl : public TControl {
    KAL_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() { return FCanvas.get(); }
    void PaintArea(QImage& surface, TPoint origin, const QRegion& damage) override;

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
    std::unique_ptr<QImage> FScratch;
};

// ---------------------------------------------------------------------------
// TWinControl
// ---------------------------------------------------------------------------

class TWinControl : public TControl {
    KAL_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // -- window
    // The control's handle, created on first use; tests and messages name
    // windows by it.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != 0; }
    // Asks CreateParams again (styles may have changed): the window is
    // destroyed (WM_DESTROY) and made again (CreateWnd) when it was made.
    void RecreateWnd();
    // Makes the control's window now if it is not made yet: CreateWnd runs
    // once, outside any constructor (when the form shows, when the control
    // is first painted, or when asked here).
    void HandleNeeded();
    bool WindowCreated() const { return FWndCreated; }
    // Destroys the window (WM_DESTROY) while the object is whole.
    void BeforeDestruction() override;
    const TCreateParams& Params();

    // -- children, in z-order; the tab order is kept separately
    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int i) const { return FControls.at(i); }
    bool ContainsControl(const TControl* c) const;
    // The deepest visible, enabled-or-not child at a client point, or this.
    TControl* ControlAtPos(const TPoint& p, bool allowDisabled = true);
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    // Sends the message to each child until one sets a result.
    void Broadcast(TMessage& Message);

    int TabOrder() const;
    void SetTabOrder(int v);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v) { FTabStop = v; }
    // Tab-ordered windowed children of this control, depth first.
    void GetTabOrderList(QList<TWinControl*>& list);
    TWinControl* FindNextControl(TWinControl* cur, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* cur, bool GoForward, bool CheckTabStop);

    // -- focus
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();

    // -- keys
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter, OnExit;

    void AlignControls();
    // The area aligned children share: the client rectangle, which a control
    // with a border of its own drawn inside may shrink.
    virtual void AdjustClientRect(TRect& R) { (void)R; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void PaintArea(QImage& surface, TPoint origin, const QRegion& damage) override;

    // -- the non-client area: what WM_NCCALCSIZE took from each side of the
    // window for borders, scroll bars or a header. The client area is what
    // is left; children and painting use client coordinates.
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    // Left, Top, Right, Bottom hold the insets of the four sides.
    TRect NCInsets() const;
    // Asks WM_NCCALCSIZE again (the frame changed: a bar shown or hidden, a
    // header added); a changed client size is announced with WM_SIZE.
    void RecalcNCArea();
    // The window's scroll bars (created on first use).
    TWinScrollBars* ScrollBarsState();
    bool HasScrollBarsState() const { return FScrollBars != nullptr; }

    // -- partial repaints, in client coordinates
    // Adds `r` (the whole client area when null) to the update region.
    void InvalidateClientRect(const TRect* r);
    // Painting WM_SETREDRAW can stop: false while redraw is off.
    bool RedrawEnabled() const { return FRedraw; }

    // The dialog-key step of a key press: Tab, arrows, Enter and Escape go to
    // the form unless the control claims them (CM_WANTSPECIALKEY, or the
    // key's own WM_GETDLGCODE bit: DLGC_WANTTAB, DLGC_WANTARROWS, and
    // DLGC_WANTALLKEYS for Enter and Escape). True when the form took it.
    bool DialogKeyTaken(unsigned vk, LPARAM keyData);
    // The dialog-character step: a character the control does not want goes
    // to the form as an accelerator. True when taken.
    bool DialogCharTaken(QChar ch, LPARAM keyData);

protected:
    virtual void CreateParams(TCreateParams& Params);
    // The window is made: after construction, and again after RecreateWnd.
    virtual void CreateWnd();
    // The window goes: WM_DESTROY reaches the control's own WndProc and its
    // window timers stop.
    virtual void DestroyWnd();
    virtual void KeyDown(unsigned& Key, TShiftState Shift);
    virtual void KeyUp(unsigned& Key, TShiftState Shift);
    virtual void KeyPress(QChar& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // Paints the control's own face on its part of the form's surface;
    // children are painted after it.
    virtual void PaintWindow(const TPaintTarget&) {}

    // Returns true when a handler consumed the key.
    bool DoKeyDown(TMessage& M);
    bool DoKeyUp(TMessage& M);
    bool DoKeyPress(TMessage& M);

    virtual void WMKeyDown(TMessage& M);
    virtual void WMKeyUp(TMessage& M);
    virtual void WMChar(TMessage& M);
    virtual void WMSysKeyDown(TMessage& M);
    virtual void WMSysKeyUp(TMessage& M);
    virtual void WMSysChar(TMessage& M);
    virtual void WMSetFocus(TMessage& M);
    virtual void WMKillFocus(TMessage& M);
    virtual void WMGetDlgCode(TMessage& M);
    // WM_PAINT carries a TPaintTarget in WParam; the default paints the
    // control's face on it (PaintWindow).
    virtual void WMPaint(TMessage& M);
    // The non-client area: insets (LParam: the window rectangle to shrink to
    // the client rectangle), the part under a screen point, its painting
    // (WParam: a TPaintTarget of the whole window) and its mouse messages
    // (WParam: the hit-test code, LParam: the screen point).
    virtual void WMNCCalcSize(TMessage& M);
    virtual void WMNCHitTest(TMessage& M);
    virtual void WMNCPaint(TMessage& M);
    virtual void WMNCMouse(TMessage& M);
    virtual void WMSize(TMessage& M);
    virtual void WMTimer(TMessage& M);
    virtual void CMEnter(TMessage& M);
    virtual void CMExit(TMessage& M);
    virtual void CMWantSpecialKey(TMessage& M);
    void CMDialogKey(TMessage& M) override;
    void CMDialogChar(TMessage& M) override;
    void CMEnabledChanged(TMessage& M) override;
    void CMVisibleChanged(TMessage& M) override;
    void CMFontChanged(TMessage& M) override;
    void CMColorChanged(TMessage& M) override;
    void CMParentShowHintChanged(TMessage& M) override;
    void WndProc(TMessage& Message) override;

    QList<TControl*> FControls;
    QList<TWinControl*> FTabList;

private:
    friend class TWinScrollBars;
    void ComputeNCInsets() const;
    HWND FHandle = 0;
    bool FTabStop = false;
    bool FParamsValid = false;
    TCreateParams FParams;
    bool FAligning = false;
    bool FRedraw = true;
    bool FWndCreated = false, FWndCreating = false;
    mutable bool FNCValid = false, FNCComputing = false;
    mutable TRect FNCInsets;
    std::unique_ptr<TWinScrollBars> FScrollBars;
};

// A windowed control that paints itself on its Canvas.
class TCustomControl : public TWinControl {
    KAL_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    // Bound to the surface while painting; otherwise to a scratch surface on
    // which text can be measured.
    TCanvas* Canvas() { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(const TPaintTarget& target) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
    std::unique_ptr<QImage> FScratch;
};

// ---------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------

class TMenuItem : public TComponent {
    KAL_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    QString Caption;
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    int ImageIndex = -1;
    // Shown in the status line while the item is highlighted.
    QString Hint;
    TNotifyEvent OnClick;
    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int i) const { return FItems.at(i); }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Clear();
    TMenuItem* Parent() const { return FParent; }
    // Raises OnClick when the item is enabled.
    virtual void Click();

private:
    QList<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
};

class TPopupMenu : public TComponent {
    KAL_CLASS(TPopupMenu, TComponent)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    TMenuItem* Items() { return FItems; }
    TNotifyEvent OnPopup;
    TControl* PopupComponent = nullptr;
    // The pictures of the items' ImageIndex (not owned).
    class TCustomImageList* Images = nullptr;
    // Shows the menu with its top-left at the screen point and runs the item
    // the user chose; returns that item (nullptr when none).
    TMenuItem* Popup(int X, int Y);
    // Where the menu last popped up.
    TPoint PopupPoint() const { return FPopupPoint; }

    // How menus are answered: a person through the toolkit, or a test that
    // names the item to choose (nullptr: the menu is dismissed).
    using TChooser = std::function<TMenuItem*(TPopupMenu* menu, TPoint at)>;
    static void SetChooser(TChooser chooser);

private:
    TMenuItem* FItems;
    TPoint FPopupPoint;
};

// ---------------------------------------------------------------------------
// Focus and mouse state of the whole program
// ---------------------------------------------------------------------------

// Shows a cursor on the screen for this moment (until the mouse moves on);
// the cursor shown last can be read.
void SetCursor(TCursor c);
TCursor ShownCursor();

// The control under a screen point, across the program's shown forms and
// pop-up windows (topmost first); nullptr when none.
TControl* WindowFromPoint(TPoint screen);

// The control that has the keyboard focus, or nullptr.
TWinControl* FocusedControl();
// Moves the platform's focus: the old control gets WM_KILLFOCUS naming the
// new one, then the new one WM_SETFOCUS naming the old one.
void SetFocusedWindow(TWinControl* c);
// Forgets the focus without telling anyone (the control is going away).
void SetFocusedWindowQuietly(TWinControl* c);
// The control for a handle; nullptr once the control is gone.
TWinControl* FindControl(HWND h);
TControl* GetCaptureControl();
void SetCaptureControl(TControl* c);
// The first form up the parent chain (a control on no form gives nullptr).
TCustomForm* GetParentForm(const TControl* c);
// The form reached by following owners, as a component that is not a control
// is placed on one.
TCustomForm* GetOwnerForm(const TComponent* c);

// True when `ch` is the accelerator of `caption` ("&O" for 'o' or 'O').
bool IsAccel(QChar ch, const QString& caption);
// The caption without its accelerator marks ("&&" stays one "&").
QString StripHotkey(const QString& caption);
// The shift state of a mouse message's MK_* key flags (Alt from the keyboard).
TShiftState KeysToShiftState(WPARAM keys);
// The hint text before "|" and after it.
QString GetShortHint(const QString& hint);
QString GetLongHint(const QString& hint);

// The platform's repaint requests, areas in the control's client
// coordinates (null: all of it).
void RedrawWindow(TWinControl* c, const TRect* area, unsigned rdwFlags);
void InvalidateRect(TWinControl* c, const TRect* area, bool erase);
// Takes the area (null: all of the control) out of the update region.
void ValidateRect(TWinControl* c, const TRect* area);
// The bounding box of the control's pending update region, in client
// coordinates; false (and an empty box) when nothing of it waits.
bool GetUpdateRect(TWinControl* c, TRect* r, bool erase);
void UpdateWindow(TWinControl* c);

// Scrolling the pixels already drawn. The bits of the control's client area
// inside `scroll` (null: the whole client area) move by (dx, dy) and land
// only inside `clip` (null: the whole client area), never over its children
// or the controls above it; a part still waiting to be painted moves with
// them. What is uncovered (and what a move could not fill from validly
// drawn pixels) is given in `update` and `updateRect` (client coordinates),
// and with SW_INVALIDATE added to the update region. SW_SCROLLCHILDREN also
// moves the child windows whose rectangles meet `scroll` (all of them when
// it is null). Answers the kind of the uncovered region (NULLREGION,
// SIMPLEREGION, COMPLEXREGION), ERROR_REGION for no control.
enum : unsigned { SW_SCROLLCHILDREN = 0x0001, SW_INVALIDATE = 0x0002, SW_ERASE = 0x0004 };
int ScrollWindowEx(TWinControl* c, int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* update,
                   TRect* updateRect, unsigned flags);
// ScrollWindowEx with SW_INVALIDATE and SW_ERASE, children moved along when
// the whole client area scrolls.
bool ScrollWindow(TWinControl* c, int dx, int dy, const TRect* scroll, const TRect* clip);

// Drawing outside a paint: a canvas on the control's part of its form's
// surface (the client area, or with WholeWindow the non-client part too),
// clipped to where the control shows. What it draws reaches the screen when
// it is released (destroyed); nothing is repainted under it.
class TWindowCanvas {
public:
    TWindowCanvas(TWinControl* c, bool WholeWindow);
    ~TWindowCanvas();
    TWindowCanvas(const TWindowCanvas&) = delete;
    TWindowCanvas& operator=(const TWindowCanvas&) = delete;
    TCanvas* Canvas() { return &FCanvas; }
    TCanvas* operator->() { return &FCanvas; }

private:
    TCanvas FCanvas;
    TCustomForm* FForm = nullptr;
    TRect FShown;
};
// The platform's names: the client area, and the whole window.
std::unique_ptr<TWindowCanvas> GetDC(TWinControl* c);
std::unique_ptr<TWindowCanvas> GetWindowDC(TWinControl* c);
inline void ReleaseDC(TWinControl*, std::unique_ptr<TWindowCanvas>& dc) { dc.reset(); }

// Posts a message for the control; it is delivered when the queue is drained.
bool PostMessage(HWND h, unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// Delivers the messages posted so far, in order (those posted meanwhile wait
// for the next call); answers how many reached a control. A posted key-down
// passes the dialog-key step first, as a typed key does.
int DrainPostedMessages();
int PostedMessageCount();
