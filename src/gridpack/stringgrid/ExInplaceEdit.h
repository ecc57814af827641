#pragma once
// TExInplaceEdit, the string grid's in-place text editor: the library's
// in-place edit laid over the current cell (over the whole block of a merged
// cell), which filters typed and pasted characters by the cell's editor kind,
// validates on the keys that leave it, hands navigation back to the grid,
// completes typed text from the grid's look-up list, grows the row or column
// while the user types, reports clipboard actions and sends the editing-done
// notice when it loses the focus.
//
// One editor serves every cell of a grid; the grid's CreateEditor makes it
// the first time an editor is shown. Setting VAlign or WordWrap remakes the
// window, whose style carries ES_RIGHT, ES_PASSWORD, ES_AUTOHSCROLL and
// ES_WANTRETURN for the cell.
#include "platform/grids/Grids.h"

class TExStringGrid;

class TExInplaceEdit : public TInplaceEdit {
    KAL_CLASS(TExInplaceEdit, TInplaceEdit)
public:
    explicit TExInplaceEdit(TComponent* AOwner);

    TExStringGrid* ExGrid() const { return FGrid; }
    // 0 or less: no limit.
    int LengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(int v) { FLengthLimit = v; }
    bool VAlign() const { return FValign; }
    void SetVAlign(bool v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);

    // Display column and row of the cell being edited.
    int ColE() const { return FColE; }
    int RowE() const { return FRowE; }

    void UpdateContents() override;
    void BoundsChanged() override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;

    // Look-up completion after a key release.
    void DoChange();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& M) override;
    void WMKeyDown(TMessage& M) override;
    void WMChar(TMessage& M) override;
    void WMKeyUp(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void WMLButtonDblClk(TMessage& M) override;
    void WMCopy(TMessage& M) override;
    void WMCut(TMessage& M) override;
    void WMPaste(TMessage& M) override;
    void CMWantSpecialKey(TMessage& M) override;
    void Change() override;

private:
    // The character filter of WMChar for the grid's current editor kind:
    // answers whether Ch goes on to the edit (possibly changed).
    bool FilterChar(QChar& Ch, bool CtrlDown);
    // After a refused validation: the settled text, then all selected or the
    // caret at the end.
    void ShowRefused(const QString& Saved);
    // Writes the editor text into the current cell while a validation is
    // pending, as the cursor walk needs it.
    void CommitWalkText(const QString& T);
    // Grow-while-typing (the grid's SizeWhileTyping): the row for a new line
    // started with Ctrl/Shift+Enter, and the column and row after each key.
    void GrowRowForNewLine();
    void SizeWhileTyping();
    bool CaretOnFirstLine();
    bool CaretOnLastLine();

    TExStringGrid* FGrid = nullptr;
    int FColE = -1;
    int FRowE = -1;
    int FSelKeyDown = 0;
    int FOldSelStart = 0;
    int FLengthLimit = 0;
    bool FValign = false;
    bool FWordWrap = false;
    bool GotKey = false;
    bool Workmode = true;
    bool FGotFocus = false;
    bool FAltBack = false;
    // The caret was at the end of the text when the last WM_KEYDOWN came.
    bool FCaretAtEndAtKeyDown = false;
    // The Enter whose key-down was refused by validation types nothing.
    bool FDropEnterChar = false;
};
