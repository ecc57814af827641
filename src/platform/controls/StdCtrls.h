#pragma once
// The standard controls: label, group box, edit and memo, combo box, list
// box, push button, check box, radio button and scroll bar.
//
// Every control here is drawn by the layer's canvas and takes all of its
// input as messages through its WindowProc, so a procedure put in front of a
// control (or an overriding WndProc) sees each message before the control
// acts on it. Notifications go to the parent as WM_COMMAND with the
// platform's codes (EN_CHANGE, CBN_SELCHANGE, BN_CLICKED ...), then the
// control handles them itself (as its CN_COMMAND), which is where the
// events (OnChange, OnSelect, OnClick ...) come from.
#include "platform/controls/Controls.h"
#include "platform/controls/EditCore.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdMessages.h"
#include "platform/core/StringList.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

using TBorderStyle = TFormBorderStyle;  // bsNone or bsSingle for controls
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
                   scEndScroll };

// Owner-drawing state, a set of these bits.
using TOwnerDrawState = unsigned;
enum : unsigned {
    odSelected = 0x0001, odGrayed = 0x0002, odDisabled = 0x0004, odChecked = 0x0008,
    odFocused = 0x0010, odDefault = 0x0020, odHotLight = 0x0040, odInactive = 0x0080,
    odNoAccel = 0x0100, odNoFocusRect = 0x0200, odComboBoxEdit = 0x1000,
};
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// The items of a combo or list box: a string list that tells its control
// where an item came or went, so the selection can follow its item.
class TControlStrings : public TStringList {
    KAL_CLASS(TControlStrings, TStringList)
public:
    std::function<void(int index)> OnInserted, OnDeleted;
    std::function<void()> OnCleared;
    void Delete(int index) override;
    void Clear() override;

protected:
    void InsertItem(int index, const QString& s, TObject* obj) override;
};

// Letters typed in quick succession over the items of a combo or list box:
// a run of different letters searches by the whole prefix, a letter on its
// own (or repeated) steps on to the next item that starts with it.
class TTypeAhead {
public:
    // The item that ch, typed at tick `now`, leads to when the current item is
    // `current`; -1 when no item fits. A pause of over a second starts anew.
    int Type(const TStrings& items, QChar ch, std::uint32_t now, int current);

private:
    QString FTyped;
    std::uint32_t FTypedAt = 0;
};

// The first item after `after` (going round past the end) that starts with
// prefix, case aside; -1 when none does.
int FindItemPrefix(const TStrings& items, const QString& prefix, int after);

// Sends a control's notification to its parent as WM_COMMAND (code in the
// high word of WParam, the control's handle in LParam).
void SendNotification(TWinControl* c, unsigned code);

// ---------------------------------------------------------------------------
// TLabel
// ---------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
    KAL_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* AOwner);

    // With AutoSize (the default) the label takes the size of its text; with
    // WordWrap as well only the height changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    // The control its accelerator focuses.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* c);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMTextChanged(TMessage& M) override;
    void CMFontChanged(TMessage& M) override;
    void CMDialogChar(TMessage& M) override;
    // The text as drawn (the caption; a link label strips its tags).
    virtual QString DisplayText() const { return Caption(); }
    unsigned DrawTextFlags() const;
    void AdjustBounds();

private:
    bool FAutoSize = true, FWordWrap = false, FTransparent = false, FShowAccelChar = true;
    bool FAdjusting = false;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
    KAL_CLASS(TLabel, TCustomLabel)
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------------------
// TGroupBox
// ---------------------------------------------------------------------------

class TCustomGroupBox : public TCustomControl {
    KAL_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    void Paint() override;
    // Its accelerator moves the focus to its first child that takes it.
    void CMDialogChar(TMessage& M) override;
};

class TGroupBox : public TCustomGroupBox {
    KAL_CLASS(TGroupBox, TCustomGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ---------------------------------------------------------------------------
// TEdit and TMemo
// ---------------------------------------------------------------------------

class TCustomEdit : public TCustomControl {
    KAL_CLASS(TCustomEdit, TCustomControl)
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    // -- properties
    int MaxLength() const { return FCore.MaxLength(); }
    void SetMaxLength(int v);
    QChar PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(QChar v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase v);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool v) { FAutoSelect = v; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool Modified() const { return FModified; }
    void SetModified(bool v) { FModified = v; }

    // -- selection
    int SelStart() const { return FCore.SelStart(); }
    void SetSelStart(int v);
    int SelLength() const { return FCore.SelLength(); }
    void SetSelLength(int v);
    QString SelText() const { return FCore.SelText(); }
    // Replaces the selection (cut to MaxLength), as if typed.
    void SetSelText(const QString& v);
    void SelectAll();
    void ClearSelection();
    void Clear();

    // -- clipboard and undo, each sent as its message so an override sees it
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo() const { return FCore.CanUndo(); }

    // -- caret and lines, as the edit window answers them
    int CaretPos() const { return FCore.Caret(); }
    int LineCount();
    int LineFromChar(int pos);
    int LineIndex(int line);
    // The line index and the character at a client point.
    int CharFromPos(TPoint p, int* line = nullptr);
    TPoint PosFromChar(int pos);
    // Where the text is laid out (client coordinates).
    TRect FormattingRect();
    void SetFormattingRect(const TRect& r);
    int FirstVisibleLine() const { return FTopLine; }

    // -- balloon tip
    void ShowBalloonTip(const QString& title, const QString& text, int icon);
    void HideBalloonTip();
    bool BalloonTipShowing() const { return FBalloon.has_value(); }
    // The window that shows the tip (nullptr before the first one).
    THintWindow* BalloonWindow() const { return FBalloonWindow; }
    QString BalloonTitle() const { return FBalloon ? FBalloon->pszTitle : QString(); }
    QString BalloonText() const { return FBalloon ? FBalloon->pszText : QString(); }
    int BalloonIcon() const { return FBalloon ? FBalloon->ttiIcon : TTI_NONE; }

    TNotifyEvent OnChange;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    // How the text is laid out and which keys the edit keeps, from its
    // window style (ES_MULTILINE, ES_AUTOHSCROLL, ES_WANTRETURN), so a
    // descendant that asks for a multi-line window gets one; the memo
    // answers from its properties.
    virtual bool MultiLine() const;
    virtual bool WordWrapping() const;
    virtual bool WantReturnsKey() const;
    virtual bool WantTabsKey() const { return false; }
    // Text entry: the text typed or pasted, after the control's own checks;
    // answers false when it was refused.
    virtual bool InsertText(const QString& s);
    // Fired once per change of the text, by the user or by the program.
    virtual void Change();
    // A character typed; the masked edit puts its own rules here.
    virtual void TypeChar(QChar ch);
    virtual bool DeleteKey(bool back);
    // Cuts the text to what the control takes (case, line breaks).
    virtual QString FilterText(const QString& s) const;

    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& M) override;
    void Paint() override;
    void DoEnter() override;
    void WMKeyDown(TMessage& M) override;
    void WMChar(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void CMWantSpecialKey(TMessage& M) override;
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonUp(TMessage& M) override;
    void WMLButtonDblClk(TMessage& M) override;
    void WMMouseMove(TMessage& M) override;
    void WMMouseWheel(TMessage& M) override;
    void CMTextChanged(TMessage& M) override;
    void CMFontChanged(TMessage& M) override;
    virtual void WMCopy(TMessage& M);
    virtual void WMCut(TMessage& M);
    virtual void WMPaste(TMessage& M);
    virtual void WMClear(TMessage& M);
    virtual void WMUndo(TMessage& M);
    // The edit messages (EM_*).
    virtual bool EditMessage(TMessage& M);

    // Sets the text as the user's change: fires the change once.
    void UserSetText(const QString& text, int anchor, int caret);
    TEditCore& Core() { return FCore; }
    const TEditCore& Core() const { return FCore; }
    // The text as drawn (password characters in place of the text).
    QString ShownText() const;
    void ScrollCaret();
    void ShowBalloonWindow();
    void DropBalloon();

    struct Line {
        int Start = 0;
        int Length = 0;  // without its line break
    };
    const QList<Line>& Lines_();
    int LineHeight();
    int TextWidthOf(const QString& s);
    void InvalidateLayout() { FLayoutValid = false; }
    // The sunken border lies in the non-client area (round the scroll bars)
    // rather than inside the client area.
    virtual bool NonClientBorder() const { return false; }
    // The view's first line, or its horizontal offset in pixels.
    void ScrollToLine(int top);
    int ScrollX() const { return FScrollX; }
    void SetScrollX(int x);

private:
    void MoveByKey(unsigned key, TShiftState shift);
    void SyncFromText();
    void ClientBorder(TRect& r) const;
    TRect DefaultFormattingRect() const;
    int LineOf(int pos);
    int XInLine(int line, int pos);
    int PosInLineAt(int line, int x);
    int AlignOffset(int line);

    TEditCore FCore;
    QChar FPasswordChar;
    bool FReadOnly = false, FAutoSelect = true, FHideSelection = true, FModified = false;
    TEditCharCase FCharCase = ecNormal;
    TBorderStyle FBorderStyle = bsSingle;
    TAlignment FAlignment = taLeftJustify;
    bool FUserChange = false;
    bool FMouseSelecting = false, FMouseFocusing = false;
    bool FHasOwnRect = false;
    TRect FOwnRect;
    int FScrollX = 0, FTopLine = 0;
    bool FLayoutValid = false;
    QList<Line> FLines;
    std::optional<EDITBALLOONTIP> FBalloon;
    THintWindow* FBalloonWindow = nullptr;  // owned, made on the first tip
};

class TEdit : public TCustomEdit {
    KAL_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo;

// The memo's lines as a string list over its text.
class TMemoStrings : public TStrings {
    KAL_CLASS(TMemoStrings, TStrings)
public:
    explicit TMemoStrings(TCustomMemo* memo) : FMemo(memo) {}
    QString Get(int index) const override;
    int GetCount() const override;
    void Put(int index, const QString& s) override;
    void Insert(int index, const QString& s) override;
    void Delete(int index) override;
    void Clear() override;
    void SetText(const QString& text) override;

private:
    QStringList Split() const;
    void Join(const QStringList& lines);
    TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
    KAL_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;
    TStrings* Lines() { return FLines.get(); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }
    // The caret as (column, line) of the hard lines.
    TPoint CaretPoint();

protected:
    bool MultiLine() const override { return true; }
    bool WordWrapping() const override { return FWordWrap && FScrollBars != ssHorizontal && FScrollBars != ssBoth; }
    bool WantReturnsKey() const override { return FWantReturns; }
    bool WantTabsKey() const override { return FWantTabs; }
    void CreateParams(TCreateParams& Params) override;
    bool NonClientBorder() const override { return true; }
    // The border and the scroll bars are the memo's non-client area.
    void WMNCCalcSize(TMessage& M) override;
    void WMNCPaint(TMessage& M) override;
    void WndProc(TMessage& M) override;
    // The bars' scroll information from the lines and the view.
    void SyncScrollBars(bool redraw);

private:
    std::unique_ptr<TMemoStrings> FLines;
    bool FWordWrap = true, FWantReturns = true, FWantTabs = false;
    TScrollStyle FScrollBars = ssNone;
};

class TMemo : public TCustomMemo {
    KAL_CLASS(TMemo, TCustomMemo)
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---------------------------------------------------------------------------
// TComboBox
// ---------------------------------------------------------------------------

class TCustomComboBox;

// The drop-down list of a combo box: a frameless window on top of the
// others, placed in screen coordinates below the combo box. A dialog may
// move it when the combo box asks for its colours (WM_CTLCOLORLISTBOX).
class TComboListWindow : public TPopupForm {
    KAL_CLASS(TComboListWindow, TPopupForm)
public:
    explicit TComboListWindow(TCustomComboBox* combo);
    TCustomComboBox* Combo() const { return FCombo; }
    // The item at a client point, -1 below the last.
    int ItemAtPos(TPoint p) const;
    TRect ItemRect(int index) const;
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int v);
    void MakeVisible(int index);
    int VisibleCount() const;
    // The list's vertical bar (the platform's window scroll bar, shown only
    // when there are more items than the list shows) follows the top item.
    void UpdateScrollBar();

protected:
    void PaintWindow(const TPaintTarget& window) override;
    void Deactivate() override;
    void WndProc(TMessage& M) override;

private:
    TCustomComboBox* FCombo;
    int FTopIndex = 0;
};

class TCustomComboBox : public TCustomControl {
    KAL_CLASS(TCustomComboBox, TCustomControl)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle v);
    TStringList* Items() { return FItems.get(); }
    void SetItems(const TStrings* v) { FItems->Assign(v); }
    // Set in code: no OnChange. -1 shows no text.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int v);
    // The text shown; setting it in code fires no OnChange. In the
    // drop-down-list styles it selects the item with that text (or none).
    void SetText(const QString& v);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v) { FDropDownCount = v < 1 ? 1 : v; }
    bool DroppedDown() const { return FList != nullptr && FList->Showing(); }
    void SetDroppedDown(bool v);
    // The drop-down list's width; at least the combo's own.
    int DroppedWidth() const;
    void SetDroppedWidth(int v);
    // The height of a list item (the owner-drawn styles keep the one set).
    int ItemHeight();
    void SetItemHeight(int v);
    // One item's height in the list (asked of OnMeasureItem when variable).
    int ItemHeightOf(int index);
    int MaxLength() const { return FEdit.MaxLength(); }
    void SetMaxLength(int v) { FEdit.SetMaxLength(v); }
    int SelStart() const { return FEdit.SelStart(); }
    int SelLength() const { return FEdit.SelLength(); }
    QString SelText() const { return FEdit.SelText(); }
    void SetSelStart(int v) { FEdit.SetSel(v, 0); Invalidate(); }
    void SetSelLength(int v) { FEdit.SetSel(FEdit.SelStart(), v); Invalidate(); }
    void SelectAll() { FEdit.SelectAll(); Invalidate(); }
    void Clear();
    // The drop-down list while it exists (nullptr before the first drop).
    TComboListWindow* ListWindow() const { return FList; }
    // The list item highlighted while the list is down.
    int HighlightIndex() const { return FHighlight; }

    TNotifyEvent OnChange, OnSelect, OnDropDown, OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    bool Focused() const { return TWinControl::Focused(); }

protected:
    friend class TComboListWindow;
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    // Draws one item on Canvas (the selection field's or the list's):
    // OnDrawItem in the owner-drawn styles, else the text.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    // The control handles its own notifications here (after its parent).
    virtual void CNCommand(TMessage& M);
    bool HasEditPart() const { return FStyle == csDropDown || FStyle == csSimple; }
    bool OwnerDrawn() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }

    void WndProc(TMessage& M) override;
    void Paint() override;
    void CMTextChanged(TMessage& M) override;
    void WMKeyDown(TMessage& M) override;
    void WMChar(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void CMWantSpecialKey(TMessage& M) override;
    void WMSysKeyDown(TMessage& M) override;
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonUp(TMessage& M) override;
    void WMMouseMove(TMessage& M) override;
    void WMMouseWheel(TMessage& M) override;

    // Raises a notification: the parent hears it, then the combo itself.
    void Notify(unsigned code);
    // The user chose item `index` (keys, list, typing): one change.
    void UserSelect(int index);
    void OpenList();
    void CloseList(bool accept);
    TRect ButtonRect() const;
    TRect EditRect() const;

private:
    void PaintList(const TPaintTarget& window);
    // A point of the combo's client area inside the dropped list, in the
    // list's coordinates; false when it lies outside the list.
    bool PointInList(TPoint p, TPoint& inList) const;
    bool ListKey(unsigned key);
    void EditKey(unsigned key, TShiftState shift);
    void ItemsChanged();
    void SyncTextToIndex();
    int IndexOfText(const QString& s) const;
    void EditTyped(const TEditCore& next);

    TComboBoxStyle FStyle = csDropDown;
    std::unique_ptr<TControlStrings> FItems;
    int FItemIndex = -1;
    bool FSorted = false;
    int FDropDownCount = 8;
    int FDroppedWidth = 0;
    int FItemHeight = 0;       // 0: from the font
    int FEditHeight = 0;       // set through CB_SETITEMHEIGHT -1
    TEditCore FEdit;
    bool FSettingText = false;
    TComboListWindow* FList = nullptr;
    int FHighlight = -1;
    bool FInMouseUp = false;
    std::unique_ptr<QImage> FListScratch;
    TTypeAhead FTypeAhead;
};

class TComboBox : public TCustomComboBox {
    KAL_CLASS(TComboBox, TCustomComboBox)
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// ---------------------------------------------------------------------------
// Buttons: push button, check box, radio button
// ---------------------------------------------------------------------------

class TButtonControl : public TCustomControl {
    KAL_CLASS(TButtonControl, TCustomControl)
public:
    explicit TButtonControl(TComponent* AOwner);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; Invalidate(); }

protected:
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonUp(TMessage& M) override;
    void WMLButtonDblClk(TMessage& M) override;
    void WMMouseMove(TMessage& M) override;
    void WMKeyDown(TMessage& M) override;
    void WMKeyUp(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void CMDialogChar(TMessage& M) override;
    // The button is pressed (mouse held over it or Space held).
    bool Pushed() const { return FPushed; }
    // A completed press: the mouse released over it, Space released, its
    // accelerator or BM_CLICK.
    virtual void Activate() = 0;
    void WndProc(TMessage& M) override;

private:
    bool FPushed = false, FTracking = false, FSpaceDown = false, FWordWrap = false;
};

class TButton : public TButtonControl {
    KAL_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);
    bool Default() const { return FDefault; }
    void SetDefault(bool v) { FDefault = v; Invalidate(); }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    // OnClick, then the form takes the modal result.
    void Click() override;

protected:
    void Activate() override;
    void Paint() override;
    void WMGetDlgCode(TMessage& M) override;
    void CMDialogKey(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;

private:
    bool FDefault = false, FCancel = false, FActive = false;
    TModalResult FModalResult = mrNone;
};

class TCustomCheckBox : public TButtonControl {
    KAL_CLASS(TCustomCheckBox, TButtonControl)
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    bool Checked() const { return FState == cbChecked; }
    // Fires OnClick when the tick changes, set in code or by the user.
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState v);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v) { FAllowGrayed = v; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; Invalidate(); }

protected:
    // The user's click: unchecked, checked, grayed (when allowed), around.
    virtual void Toggle();
    void Activate() override;
    void Paint() override;
    void WndProc(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
    KAL_CLASS(TCheckBox, TCustomCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

class TRadioButton : public TButtonControl {
    KAL_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    // Checking one clears the other radio buttons of the same parent; a
    // change fires OnClick of the one checked, in code or by the user.
    void SetChecked(bool v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; Invalidate(); }

protected:
    void Activate() override;
    void Paint() override;
    void WndProc(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;

private:
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

// ---------------------------------------------------------------------------
// TListBox
// ---------------------------------------------------------------------------

class TCustomListBox : public TCustomControl {
    KAL_CLASS(TCustomListBox, TCustomControl)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStringList* Items() { return FItems.get(); }
    void SetItems(const TStrings* v) { FItems->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    // Set in code: no OnClick.
    void SetItemIndex(int v);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool v) { FExtendedSelect = v; }
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle v) { FStyle = v; Invalidate(); }
    int ItemHeight();
    void SetItemHeight(int v) { FItemHeight = v > 0 ? v : 0; Invalidate(); }
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v) { FBorderStyle = v; Invalidate(); }
    // The item at a client point (-1 when none); `existing` false answers
    // the index the point would hold.
    int ItemAtPos(TPoint p, bool existing = true);
    TRect ItemRect(int index);
    void Clear() { FItems->Clear(); }
    TCanvas* Canvas() { return TCustomControl::Canvas(); }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    void Paint() override;
    void WndProc(TMessage& M) override;
    // The border and the scroll bar are the list's non-client area; the bar
    // shows when the items do not fit.
    void WMNCCalcSize(TMessage& M) override;
    void WMNCPaint(TMessage& M) override;
    void SyncScrollBar();
    void WMKeyDown(TMessage& M) override;
    void WMChar(TMessage& M) override;
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonDblClk(TMessage& M) override;
    void WMMouseMove(TMessage& M) override;
    void WMMouseWheel(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    // The user moved the selection: LBN_SELCHANGE, then OnClick.
    void UserSelect(int index, TShiftState shift);

private:
    void ItemsChanged();
    int VisibleCount();
    void MakeVisible(int index);
    int ItemHeightOf(int index);

    std::unique_ptr<TControlStrings> FItems;
    QList<bool> FSel;
    int FItemIndex = -1, FTopIndex = 0, FItemHeight = 0, FAnchor = -1;
    bool FMultiSelect = false, FExtendedSelect = true, FSorted = false;
    TListBoxStyle FStyle = lbStandard;
    TBorderStyle FBorderStyle = bsSingle;
    TTypeAhead FTypeAhead;
};

class TListBox : public TCustomListBox {
    KAL_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// ---------------------------------------------------------------------------
// TScrollBar
// ---------------------------------------------------------------------------

class TScrollBar : public TCustomControl {
    KAL_CLASS(TScrollBar, TCustomControl)
public:
    explicit TScrollBar(TComponent* AOwner);
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind v);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    // Setting the position fires OnChange when it moves.
    void SetPosition(int v);
    void SetMin(int v) { SetParams(FPosition, v, FMax); }
    void SetMax(int v) { SetParams(FPosition, FMin, v); }
    // Raises EInvalidOperation when min exceeds max.
    void SetParams(int APosition, int AMin, int AMax);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int v) { FSmallChange = v; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int v) { FLargeChange = v; }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int v);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

protected:
    virtual void Change();
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
    // WM_HSCROLL / WM_VSCROLL: the scroll code in the low word of WParam,
    // the thumb position in the high word.
    void DoScroll(TMessage& M);
    void WndProc(TMessage& M) override;
    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    void WMLButtonDown(TMessage& M) override;
    void WMKeyDown(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;

private:
    void SendScroll(int code, int pos = 0);
    void SyncBar();

    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0, FMax = 100, FPosition = 0, FSmallChange = 1, FLargeChange = 1, FPageSize = 0;
};
