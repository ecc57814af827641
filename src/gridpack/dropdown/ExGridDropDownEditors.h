#pragma once
// The string grid's in-cell drop-down editors: each wraps one drop-down
// control so that it lives inside a grid cell. The wrapper knows its grid,
// commits or cancels the cell on Enter, Esc, Tab and the navigation keys,
// validates through the grid before leaving the cell, relays typed keys and
// text changes to the grid's events, closes the cell editor when the focus
// leaves and puts the caret where the user clicked.
//
// All wrappers share TGridDropDownEditor<Base>; what sets one apart is a
// TGridDropDownTraits value. A wrapper for another drop-down class is:
//
//   class TGridFooDropDown : public TGridDropDownEditor<TExFooDropDown> {
//       KAL_CLASS(TGridFooDropDown, TGridDropDownEditor<TExFooDropDown>)
//   public:
//       explicit TGridFooDropDown(TComponent* AOwner)
//           : TGridDropDownEditor<TExFooDropDown>(AOwner, {/* traits */}) {}
//   };
//
// plus one row in the kind table of ExGridDropDownEditors.cpp (how the grid
// loads the cell into it and stores its value back).
#include "gridpack/dropdown/ExCalculator.h"
#include "gridpack/dropdown/ExColorPicker.h"
#include "gridpack/dropdown/ExDateTimePicker.h"
#include "gridpack/dropdown/ExDetailDropDown.h"
#include "gridpack/dropdown/ExImagePicker.h"
#include "gridpack/dropdown/ExTimePicker.h"
#include "gridpack/dropdown/ExTrackMemo.h"
#include "gridpack/stringgrid/ExGridEditorHost.h"
#include "platform/controls/Messages.h"

// What sets one drop-down wrapper apart.
struct TGridDropDownTraits {
    // Keys other than the navigation keys go to the leaf's own key-down
    // (else to the drop-down base's).
    bool LeafKeyDown = false;
    // The colour picker's keys: closed, the navigation keys plus Home; open,
    // only Tab, Enter and Esc; only Enter commits.
    bool ColorKeys = false;
    // Enter and Esc are claimed as special keys (besides Tab when the grid
    // validates).
    bool ClaimEnterEsc = false;
    // The caret goes to the clicked character when a click opened the editor.
    bool CaretFromClick = false;
    // The text goes back through the formatting Text writer (else as it is).
    bool FormattedText = false;
};

// The steps every drop-down wrapper shares.
class TGridDropDownEditing {
public:
    // The grid owning an editor; EInvalidCast when the owner is no grid.
    static TExStringGrid* GridOf(TComponent* AOwner);
    // Key-down of a wrapper; true when the wrapper handled the key (Key then
    // holds what goes on to the base key-down: 0 for nothing).
    static bool KeyDown(TExCustomDropDown* Ed, TExStringGrid* G, const TGridDropDownTraits& T, unsigned& Key,
                        TShiftState Shift, const std::function<void()>& BeforeCommit);
    // Fires the grid's OnKeyPress with the editor as sender; false when the
    // key is swallowed (Esc, Enter, Tab or a key the event cleared).
    static bool KeyPress(TExCustomDropDown* Ed, TExStringGrid* G, QChar& Key);
    static void Change(TExCustomDropDown* Ed, TExStringGrid* G);
    static void CaretFromClick(TExCustomDropDown* Ed, TExStringGrid* G);
    static bool ClaimsKey(TExStringGrid* G, const TGridDropDownTraits& T, unsigned Key);
    static void WriteText(TExCustomDropDown* Ed, const TGridDropDownTraits& T, const QString& S);
    // The opening sequence shared by the drop-down kinds (the grid's look,
    // style and button relays, placement, the value, colour, focus, the
    // start character); Load puts the cell value in.
    static void OpenDropDown(TExStringGrid* G, TExCustomDropDown* Ed, const TRect& R, int RCol, int ARow,
                             bool SetColor, const std::function<void()>& Load);
    static void Hide(TWinControl* C);
};

template <class Base>
class TGridDropDownEditor : public Base {
public:
    TGridDropDownEditor(TComponent* AOwner, const TGridDropDownTraits& T)
        : Base(AOwner), FGrid(TGridDropDownEditing::GridOf(AOwner)), FTraits(T)
    {
    }
    TExStringGrid* Grid() const { return FGrid; }
    const TGridDropDownTraits& Traits() const { return FTraits; }

protected:
    // Runs before Enter commits (the calculator finishes its calculation).
    virtual void BeforeEnterCommit() {}

    // The keys reach the wrapper before the drop-down's own key handling
    // (which drops most keys of a pick-only edit).
    void WMKeyDown(TMessage& M) override
    {
        unsigned key = unsigned(M.WParam);
        TShiftState shift = 0;
        if (GetKeyState(VK_SHIFT) < 0)
            shift |= ssShift;
        if (GetKeyState(VK_CONTROL) < 0)
            shift |= ssCtrl;
        if (GetKeyState(VK_MENU) < 0)
            shift |= ssAlt;
        if (TGridDropDownEditing::KeyDown(this, FGrid, FTraits, key, shift, [this] { BeforeEnterCommit(); })) {
            // Handled: the base key-down runs with no key.
            unsigned none = 0;
            BaseKeyDown(none, shift);
            M.WParam = 0;
            M.Result = 0;
            return;
        }
        Base::WMKeyDown(M);
    }
    void KeyDown(unsigned& Key, TShiftState Shift) override { BaseKeyDown(Key, Shift); }
    void BaseKeyDown(unsigned& Key, TShiftState Shift)
    {
        if (FTraits.LeafKeyDown)
            Base::KeyDown(Key, Shift);
        else
            TExCustomDropDown::KeyDown(Key, Shift);
    }
    // Typed characters: the grid's OnKeyPress first, then the base's input.
    void WMChar(TMessage& M) override
    {
        QChar k(char16_t(M.WParam));
        if (!TGridDropDownEditing::KeyPress(this, FGrid, k)) {
            M.Result = 1;
            return;
        }
        M.WParam = k.unicode();
        Base::WMChar(M);
    }
    void Change() override
    {
        Base::Change();
        TGridDropDownEditing::Change(this, FGrid);
    }
    void DoExit() override
    {
        TGridHost::HideInplaceEdit(FGrid);
        Base::DoExit();
    }
    void CMWantSpecialKey(TMessage& M) override
    {
        Base::CMWantSpecialKey(M);
        if (TGridDropDownEditing::ClaimsKey(FGrid, FTraits, unsigned(M.WParam)))
            M.Result = 1;
    }
    void WMSetFocus(TMessage& M) override
    {
        Base::WMSetFocus(M);
        if (FTraits.CaretFromClick)
            TGridDropDownEditing::CaretFromClick(this, FGrid);
    }

    TExStringGrid* FGrid;
    TGridDropDownTraits FTraits;
};

class TGridTrackbarDropDown : public TGridDropDownEditor<TExTrackBarDropDown> {
    KAL_CLASS(TGridTrackbarDropDown, TGridDropDownEditor<TExTrackBarDropDown>)
public:
    explicit TGridTrackbarDropDown(TComponent* AOwner);
};

class TGridMemoDropDown : public TGridDropDownEditor<TExMemoDropDown> {
    KAL_CLASS(TGridMemoDropDown, TGridDropDownEditor<TExMemoDropDown>)
public:
    explicit TGridMemoDropDown(TComponent* AOwner);
};

class TGridCalculatorDropDown : public TGridDropDownEditor<TExCalculatorDropdown> {
    KAL_CLASS(TGridCalculatorDropDown, TGridDropDownEditor<TExCalculatorDropdown>)
public:
    explicit TGridCalculatorDropDown(TComponent* AOwner);

protected:
    void BeforeEnterCommit() override { CalcResult(); }
};

class TGridTimepickerDropDown : public TGridDropDownEditor<TExTimePickerDropDown> {
    KAL_CLASS(TGridTimepickerDropDown, TGridDropDownEditor<TExTimePickerDropDown>)
public:
    explicit TGridTimepickerDropDown(TComponent* AOwner);
};

class TGridDetailPickerDropDown : public TGridDropDownEditor<TExDetailDropDown> {
    KAL_CLASS(TGridDetailPickerDropDown, TGridDropDownEditor<TExDetailDropDown>)
public:
    explicit TGridDetailPickerDropDown(TComponent* AOwner);
};

class TGridColorDropDown : public TGridDropDownEditor<TExColorPickerDropDown> {
    KAL_CLASS(TGridColorDropDown, TGridDropDownEditor<TExColorPickerDropDown>)
public:
    explicit TGridColorDropDown(TComponent* AOwner);
};

class TGridImageDropDown : public TGridDropDownEditor<TExImagePickerDropDown> {
    KAL_CLASS(TGridImageDropDown, TGridDropDownEditor<TExImagePickerDropDown>)
public:
    explicit TGridImageDropDown(TComponent* AOwner);
};

// The date-and-time editor (edDateTimeEdit): the picker of kind date and
// time; Esc puts the starting date back, Enter closes (and advances with
// AdvanceOnEnter), Tab commits through validation when the grid validates.
class TGridDateTimePicker : public TExDateTimePicker {
    KAL_CLASS(TGridDateTimePicker, TExDateTimePicker)
public:
    explicit TGridDateTimePicker(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }

protected:
    void KeyDown(unsigned& Key, TShiftState Shift) override;

private:
    TExStringGrid* FGrid;
};

// The grid's editors, made on first use.
TGridTrackbarDropDown* GridTrackbarDropDown(TExStringGrid* G);
TGridMemoDropDown* GridMemoDropDown(TExStringGrid* G);
TGridCalculatorDropDown* GridCalculatorDropDown(TExStringGrid* G);
TGridTimepickerDropDown* GridTimePickerDropDown(TExStringGrid* G);
TGridDetailPickerDropDown* GridDetailPickerDropDown(TExStringGrid* G);
TGridColorDropDown* GridColorPickerDropDown(TExStringGrid* G);
TGridImageDropDown* GridImagePickerDropDown(TExStringGrid* G);
TGridDateTimePicker* GridDateAndTimePicker(TExStringGrid* G);
