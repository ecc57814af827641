// The grid's in-place editor: a masked edit over the current cell whose
// navigation keys go back to the grid.
#include "platform/controls/Forms.h"
#include "platform/grids/Grids.h"

#include <algorithm>

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    SetBorderStyle(bsNone);
    SetTabStop(false);
    SetVisible(false);
}

TInplaceEdit::~TInplaceEdit() {
    if (FGrid && FGrid->FInplaceEdit == this) FGrid->FInplaceEdit = nullptr;
}

void TInplaceEdit::CreateParams(TCreateParams& P) {
    TCustomMaskEdit::CreateParams(P);
    P.Style |= ES_MULTILINE;
}

void TInplaceEdit::Deselect() { SetSelStart(int(EditText().size())); }

// ---------------------------------------------------------------------------
// Placing by the grid
// ---------------------------------------------------------------------------

void TInplaceEdit::UpdateContents() {
    if (!FGrid) return;
    SetText(QString());
    SetEditMask(FGrid->GetEditMask(FGrid->Col(), FGrid->Row()));
    SetText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
    FEditLimit = FGrid->GetEditLimit();
    // A mask sets its own length; the grid's limit counts where it gives one.
    if (FEditLimit > 0 || !IsMasked()) SetMaxLength(std::max(0, FEditLimit));
    SetModified(false);
}

void TInplaceEdit::BoundsChanged() {
    // The text stays where the grid wrote it in the cell, two pixels in.
    SetFormattingRect(Rect(2, 2, Width() - 2, Height()));
    Perform(EM_SCROLLCARET);
}

void TInplaceEdit::Move(const TRect& Loc) {
    if (Loc.IsEmpty()) {
        Hide();
        return;
    }
    FLoc = Loc;
    SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
    if (!Visible()) SetVisible(true);
    BoundsChanged();
    if (FGrid && FGrid->Focused()) SetFocusedWindow(this);
}

void TInplaceEdit::Hide() {
    if (!Visible()) return;
    // The keyboard goes back to the grid before the window goes.
    if (Focused() && FGrid) SetFocusedWindow(FGrid);
    SetVisible(false);
    if (FGrid) FGrid->InvalidateRect(FLoc);
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

void TInplaceEdit::SendToParent(unsigned& Key, TShiftState Shift) {
    if (FGrid) FGrid->KeyDown(Key, Shift);
    Key = 0;
}

void TInplaceEdit::KeyDown(unsigned& Key, TShiftState Shift) {
    if (!FGrid) {
        TCustomMaskEdit::KeyDown(Key, Shift);
        return;
    }
    const bool ctrl = (Shift & ssCtrl) != 0;
    const bool forward = (FGrid->Options() & goAlwaysShowEditor) != 0;
    const int len = int(EditText().size());
    const int selStart = SelStart(), selEnd = SelStart() + SelLength();
    // The caret at the start (nothing or all selected) or at the end.
    const bool leftSide = selStart == 0 && (selEnd == 0 || selEnd == len);
    const bool rightSide = (selStart == 0 || selEnd == selStart) && selEnd == len;
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE: SendToParent(Key, Shift); break;
    case VK_INSERT:
        if (Shift == 0) SendToParent(Key, Shift);
        else if (Shift == ssShift && !FGrid->CanEditModify()) Key = 0;
        break;
    case VK_LEFT:
    case VK_HOME:
        if (forward && (ctrl || leftSide)) SendToParent(Key, Shift);
        break;
    case VK_RIGHT:
    case VK_END:
        if (forward && (ctrl || rightSide)) SendToParent(Key, Shift);
        break;
    case VK_DELETE:
        if (ctrl) SendToParent(Key, Shift);
        else if (!FGrid->CanEditModify()) Key = 0;
        break;
    case VK_TAB:
        if ((FGrid->Options() & goTabs) && !(Shift & ssAlt)) SendToParent(Key, Shift);
        break;
    default: break;
    }
    if (Key == 0) return;
    // The grid's key event sees what the editor keeps, then the editor's own.
    if (FGrid->OnKeyDown) FGrid->OnKeyDown(FGrid, Key, Shift);
    if (Key != 0) TCustomMaskEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(QChar& Key) {
    if (!FGrid) {
        TCustomMaskEdit::KeyPress(Key);
        return;
    }
    FGrid->KeyPress(Key);
    if (Key.unicode() >= 32 && !FGrid->CanEditAcceptKey(Key)) Key = QChar(0);
    switch (Key.unicode()) {
    case 0: break;
    case 9:
    case 27: Key = QChar(0); break;
    case 13:
        // Enter toggles between all text selected and none.
        if (SelStart() == 0 && SelLength() == int(EditText().size())) Deselect();
        else SelectAll();
        Key = QChar(0);
        break;
    case 8:
    case 22:
    case 24:
        if (!FGrid->CanEditModify()) Key = QChar(0);
        break;
    default:
        if (Key.unicode() >= 32 && !FGrid->CanEditModify()) Key = QChar(0);
        break;
    }
    if (Key.unicode() != 0) TCustomMaskEdit::KeyPress(Key);
}

void TInplaceEdit::KeyUp(unsigned& Key, TShiftState Shift) {
    if (FGrid) FGrid->KeyUp(Key, Shift);
    if (Key != 0) TCustomMaskEdit::KeyUp(Key, Shift);
}

void TInplaceEdit::WMKeyDown(TMessage& M) {
    // Escape belongs to the grid: the masked edit's own undo does not run.
    if (FGrid && M.WParam == VK_ESCAPE) {
        TCustomEdit::WMKeyDown(M);
        return;
    }
    TCustomMaskEdit::WMKeyDown(M);
}

void TInplaceEdit::WMGetDlgCode(TMessage& M) {
    TCustomMaskEdit::WMGetDlgCode(M);
    if (FGrid && (FGrid->Options() & goTabs)) M.Result |= DLGC_WANTTAB;
}

void TInplaceEdit::WndProc(TMessage& M) {
    if (M.Msg == WM_SETFOCUS && FGrid) {
        // The form counts the grid as its active control while the editor
        // holds the keyboard.
        if (TCustomForm* form = GetParentForm(this))
            if (!form->SetFocusedControl(FGrid)) return;
        WMSetFocus(M);
        return;
    }
    TCustomMaskEdit::WndProc(M);
}
