#pragma once
// The string grid's edit-with-button, unit, button, date, rich-text and
// header editors, and the edit link through which a program plugs its own
// control into a cell (ExGridEditBtn.cpp, ExGridDatePicker.cpp,
// ExGridEditLink.cpp). Each wrapper knows its grid (its owner), hands the
// navigation keys back to it and commits through its validation.
#include "gridpack/stringgrid/SGEdit.h"
#include "gridpack/stringgrid/SgDateTimePicker.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/StdCtrls.h"

#include <initializer_list>

class TExStringGrid;
class TCustomForm;

// ---------------------------------------------------------------------------
// Edit with button and unit edit
// ---------------------------------------------------------------------------

class TGridEditBtn : public TSgEditBtn {
    KAL_CLASS(TGridEditBtn, TSgEditBtn)
public:
    explicit TGridEditBtn(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }
    // False after Backspace or Delete: no look-up completion then.
    bool WorkMode = true;
    // The caret when the last key went down.
    int FSelKeyDown = 0;
    // Close the editor after the button click.
    bool StopEditAfterClick = false;
    void ClickBtn(TObject* Sender) override;

protected:
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void WMChar(TMessage& M) override;
    void WMPaste(TMessage& M) override;
    void WMLButtonDblClk(TMessage& M) override;
    void Change() override;
    void DoExit() override;
    void CMWantSpecialKey(TMessage& M) override;

private:
    void DoLookup();
    TExStringGrid* FGrid;
};

class TGridUnitEditBtn : public TSgUnitEditBtn {
    KAL_CLASS(TGridUnitEditBtn, TSgUnitEditBtn)
public:
    explicit TGridUnitEditBtn(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }
    void ClickBtn(TObject* Sender) override;

protected:
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void WMChar(TMessage& M) override;
    void DoExit() override;
    void CMWantSpecialKey(TMessage& M) override;

private:
    TExStringGrid* FGrid;
};

// The grid that owns an in-cell editor; EInvalidGridOperation when the owner
// is no grid.
TExStringGrid* GridOfEditor(TComponent* AOwner);
// Whether Key is one of Keys.
bool KeyIsOneOf(unsigned Key, std::initializer_list<unsigned> Keys);
// The cursor walk out of an editor: AdvanceEditCell from the current cell in
// left-to-right order whatever the grid's advance direction, which is put
// back after.
void AdvanceSideways(TExStringGrid* g, bool ShowEditor, bool Forward, bool AutoEdit);

// The characters the numeric and float edit-button kinds take; false when
// the character is dropped (beeping where the rule says so).
bool GridNumericCharAllowed(TCustomEdit* Edit, QChar Ch);
bool GridFloatCharAllowed(TCustomEdit* Edit, QChar Ch, bool CtrlDown);

// ---------------------------------------------------------------------------
// Button
// ---------------------------------------------------------------------------

class TGridButton : public TButton {
    KAL_CLASS(TGridButton, TButton)
public:
    explicit TGridButton(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }

protected:
    void WMLButtonUp(TMessage& M) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void WMKeyUp(TMessage& M) override;
    void CMWantSpecialKey(TMessage& M) override;
    void DoExit() override;

private:
    void ExchangeCaption();
    TExStringGrid* FGrid;
};

// ---------------------------------------------------------------------------
// Date picker
// ---------------------------------------------------------------------------

class TGridDatePicker : public TSgDateTimePicker {
    KAL_CLASS(TGridDatePicker, TSgDateTimePicker)
public:
    explicit TGridDatePicker(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }
    bool Weeknumbers = false;
    bool ShowToday = true;
    bool ShowTodayCircle = true;
    // The calendar was dropped down (last notification).
    bool FOldDropped = false;
    // Date and time before the last digit key.
    std::uint16_t Fy = 0, Fm = 0, Fd = 0, Fth = 0, Ftm = 0, Fts = 0, Ftms = 0;

protected:
    void WndProc(TMessage& M) override;
    // Two rings in the window colour hide the sunken border in the cell.
    void Paint() override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void DoExit() override;
    void CMWantSpecialKey(TMessage& M) override;

private:
    // The field advance check after a digit.
    void ShiftFocus();
    TExStringGrid* FGrid;
};

// ---------------------------------------------------------------------------
// Rich text
// ---------------------------------------------------------------------------

class TExRichEdit : public TRichEdit {
    KAL_CLASS(TExRichEdit, TRichEdit)
public:
    explicit TExRichEdit(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }
    // The size the control last asked for.
    int ReqWidth() const { return FReqWidth; }
    int ReqHeight() const { return FReqHeight; }
    // The selection's vertical offset: 0, -40 (subscript), +40 (superscript).
    void SelNormal();
    void SelSubscript();
    void SelSuperscript();
    bool IsSelNormal();
    bool IsSelSubscript();
    bool IsSelSuperscript();
    void ReCreate() { RecreateWnd(); }
    void LockResize() { FLocked = true; }
    void UnlockResize() { FLocked = false; }

protected:
    void RequestSize(const TRect& Rect) override;
    void WMGetDlgCode(TMessage& M) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void WMKillFocus(TMessage& M) override;

private:
    TExStringGrid* FGrid = nullptr;
    int FReqWidth = 0, FReqHeight = 0;
    bool FLocked = false;
};

// ---------------------------------------------------------------------------
// Header-cell editors
// ---------------------------------------------------------------------------

class TGridTransEdit : public TCustomEdit {
    KAL_CLASS(TGridTransEdit, TCustomEdit)
public:
    explicit TGridTransEdit(TComponent* AOwner);
    int Col = 0, Row = 0;
    // Validates and closes; false keeps the editor open.
    bool StopEdit();

protected:
    void KeyPress(QChar& Key) override;
    void DoExit() override;

private:
    TExStringGrid* FGrid;
};

class TGridTransCombo : public TCustomComboBox {
    KAL_CLASS(TGridTransCombo, TCustomComboBox)
public:
    explicit TGridTransCombo(TComponent* AOwner);
    int Col = 0, Row = 0;
    bool StopEdit();

protected:
    void KeyPress(QChar& Key) override;
    void DoExit() override;

private:
    TExStringGrid* FGrid;
};

// ---------------------------------------------------------------------------
// Edit link
// ---------------------------------------------------------------------------

enum TEditStyle { esInplace, esPopup };

class TEditLink : public TComponent {
    KAL_CLASS(TEditLink, TComponent)
public:
    explicit TEditLink(TComponent* AOwner);
    // Set by the grid each time the link opens.
    TExStringGrid* Grid() const { return FGrid; }
    TPoint EditCell() const { return FEditCell; }
    TEditStyle EditStyle = esInplace;
    int PopupWidth = 0, PopupHeight = 0;
    bool AutoPopupWidth = false;
    // Screen position of the popup; -1 puts it at the cell.
    int PopupLeft = -1, PopupTop = -1;
    bool WantKeyLeftRight = false, WantKeyUpDown = false, WantKeyHomeEnd = false, WantKeyPriorNext = false,
         WantKeyReturn = false, WantKeyEscape = false, WantTabs = false, WantReturns = false;
    TCustomForm* PopupForm() const { return FPopupForm; }

    // The key-down handler a descendant attaches to its control.
    virtual void EditKeyDown(TObject* Sender, unsigned& Key, TShiftState Shift);
    virtual TWinControl* GetEditControl();
    virtual void CreateEditor(TWinControl* AParent);
    virtual void DestroyEditor();
    virtual void SetFocus(bool Value);
    virtual void SetRect(const TRect& R);
    virtual void SetVisible(bool Value);
    virtual void SetProperties();
    virtual void SetCellProps(TColor AColor, TFont* AFont);
    virtual QString GetEditorValue();
    virtual void SetEditorValue(const QString& S);

    // The exit handler a descendant attaches to its control.
    void EditExit(TObject* Sender);
    // The popup form's deactivation.
    void FormExit(TObject* Sender);
    QString GetCellValue();
    void SetCellValue(const QString& S);
    TWinControl* GetParent();
    void HideEditor();
    void RestoreWinProc();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TExStringGrid;
    TExStringGrid* FGrid = nullptr;
    TPoint FEditCell{-1, -1};
    TCustomForm* FPopupForm = nullptr;
    bool FForcedExit = false;
    bool FSubClassed = false;
};
