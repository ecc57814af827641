// The grid's in-place editor: a small edit window over the current cell whose
// navigation keys go back to the grid.
#include "platform/controls/Clipboard.h"
#include "platform/controls/Forms.h"
#include "platform/grids/Grids.h"

#include <algorithm>

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle = csCaptureMouse | csDoubleClicks;
    SetTabStop(false);
    SetColor(clWindow);
    SetVisible(false);
}

TInplaceEdit::~TInplaceEdit() {
    if (FGrid && FGrid->FInplaceEdit == this) FGrid->FInplaceEdit = nullptr;
}

void TInplaceEdit::CreateParams(TCreateParams& P) {
    TCustomControl::CreateParams(P);
    P.Style |= ES_MULTILINE;
}

// ---------------------------------------------------------------------------
// Text and selection
// ---------------------------------------------------------------------------

void TInplaceEdit::SetText(const QString& v) {
    if (v == FEditText) return;
    FEditText = v;
    FSelStart = 0;
    FSelLength = 0;
    FAnchorPos = 0;
    Change();
}

void TInplaceEdit::SetSelStart(int v) {
    FSelStart = std::clamp(v, 0, int(FEditText.size()));
    FSelLength = 0;
    FAnchorPos = FSelStart;
    Invalidate();
}

void TInplaceEdit::SetSelLength(int v) {
    FSelLength = std::clamp(v, 0, int(FEditText.size()) - FSelStart);
    FAnchorPos = FSelStart;
    Invalidate();
}

void TInplaceEdit::SelectAll() {
    FSelStart = 0;
    FSelLength = int(FEditText.size());
    FAnchorPos = 0;
    Invalidate();
}

void TInplaceEdit::Deselect() {
    // The caret goes to the end of the text.
    FSelStart = int(FEditText.size());
    FSelLength = 0;
    FAnchorPos = FSelStart;
    Invalidate();
}

void TInplaceEdit::SetSelText(const QString& s) {
    QString ins = s;
    if (FMaxLength > 0) {
        const int room = FMaxLength - (int(FEditText.size()) - FSelLength);
        ins = ins.left(std::max(0, room));
    }
    if (ins.isEmpty() && FSelLength == 0) return;
    FEditText.replace(FSelStart, FSelLength, ins);
    FSelStart += int(ins.size());
    FSelLength = 0;
    FAnchorPos = FSelStart;
    FModified = true;
    Change();
}

void TInplaceEdit::Change() {
    Invalidate();
    if (OnChange) OnChange(this);
}

// Deletes the selection, or else the characters from..to.
void TInplaceEdit::DeleteSelectionOr(int from, int to) {
    if (FSelLength == 0) {
        from = std::clamp(from, 0, int(FEditText.size()));
        to = std::clamp(to, 0, int(FEditText.size()));
        if (from >= to) return;
        FSelStart = from;
        FSelLength = to - from;
    }
    SetSelText(QString());
}

// Moves the caret; with `extend` the selection grows from its anchor.
void TInplaceEdit::MoveCaret(int pos, bool extend) {
    pos = std::clamp(pos, 0, int(FEditText.size()));
    if (!extend) {
        FAnchorPos = pos;
        FSelStart = pos;
        FSelLength = 0;
    } else {
        FSelStart = std::min(FAnchorPos, pos);
        FSelLength = std::abs(pos - FAnchorPos);
    }
    Invalidate();
}

void TInplaceEdit::PasteFromClipboard() { SetSelText(Clipboard()->AsText()); }

// ---------------------------------------------------------------------------
// Placing by the grid
// ---------------------------------------------------------------------------

void TInplaceEdit::UpdateContents() {
    if (!FGrid) return;
    SetText(QString());
    SetEditMask(FGrid->GetEditMask(FGrid->Col(), FGrid->Row()));
    SetText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
    SetMaxLength(FGrid->GetEditLimit());
    FModified = false;
}

void TInplaceEdit::BoundsChanged() { Invalidate(); }

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
    Invalidate();
}

void TInplaceEdit::Invalidate() {
    TCustomControl::Invalidate();
    if (FGrid) FGrid->InvalidateRect(FLoc);
}

void TInplaceEdit::SetFocus() {
    if (GetParentForm(this)) TCustomControl::SetFocus();
    else SetFocusedWindow(this);
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
        TCustomControl::KeyDown(Key, Shift);
        return;
    }
    const bool ctrl = (Shift & ssCtrl) != 0;
    const bool forward = (FGrid->Options() & goAlwaysShowEditor) != 0;
    const int len = int(FEditText.size());
    const int selEnd = FSelStart + FSelLength;
    // The caret at the start (nothing or all selected) or at the end.
    const bool leftSide = FSelStart == 0 && (selEnd == 0 || selEnd == len);
    const bool rightSide = (FSelStart == 0 || FSelLength == 0) && selEnd == len;
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
    if (Key != 0) TCustomControl::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(QChar& Key) {
    if (!FGrid) {
        TCustomControl::KeyPress(Key);
        return;
    }
    FGrid->KeyPress(Key);
    const ushort k = Key.unicode();
    if (k >= 32 && !FGrid->CanEditAcceptKey(Key)) Key = QChar(0);
    switch (Key.unicode()) {
    case 9:
    case 27: Key = QChar(0); break;
    case 13:
        // Enter toggles between all text selected and none.
        if (FSelStart == 0 && FSelLength == int(FEditText.size())) Deselect();
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
    if (Key.unicode() != 0) TCustomControl::KeyPress(Key);
}

void TInplaceEdit::KeyUp(unsigned& Key, TShiftState Shift) {
    if (FGrid) FGrid->KeyUp(Key, Shift);
    if (Key != 0) TCustomControl::KeyUp(Key, Shift);
}

void TInplaceEdit::WMGetDlgCode(TMessage& M) {
    M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    if (FGrid && (FGrid->Options() & goTabs)) M.Result |= DLGC_WANTTAB;
}

void TInplaceEdit::WndProc(TMessage& M) {
    switch (M.Msg) {
    case WM_SETFOCUS:
        // The form counts the grid as its active control while the editor
        // holds the keyboard.
        if (TCustomForm* form = GetParentForm(this))
            if (FGrid && !form->SetFocusedControl(FGrid)) return;
        WMSetFocus(M);
        return;
    case WM_KEYDOWN: {
        const TShiftState shift = KeyboardShiftState();
        if (DoKeyDown(M)) {
            M.Result = 1;
            return;
        }
        const unsigned key = unsigned(M.WParam);
        const bool ext = (shift & ssShift) != 0;
        const int caret = FSelLength > 0 && FAnchorPos == FSelStart ? FSelStart + FSelLength : FSelStart;
        switch (key) {
        case VK_LEFT: MoveCaret(ext ? caret - 1 : (FSelLength > 0 ? FSelStart : caret - 1), ext); break;
        case VK_RIGHT:
            MoveCaret(ext ? caret + 1 : (FSelLength > 0 ? FSelStart + FSelLength : caret + 1), ext);
            break;
        case VK_HOME: MoveCaret(0, ext); break;
        case VK_END: MoveCaret(int(FEditText.size()), ext); break;
        case VK_DELETE:
            if (shift & ssShift) {
                if (FSelLength > 0) Clipboard()->SetAsText(SelText());
                DeleteSelectionOr(0, 0);
            } else {
                DeleteSelectionOr(FSelStart, FSelStart + 1);
            }
            break;
        case VK_INSERT:
            if (shift & ssShift) PasteFromClipboard();
            else if ((shift & ssCtrl) && FSelLength > 0) Clipboard()->SetAsText(SelText());
            break;
        default: break;
        }
        return;
    }
    case WM_CHAR: {
        if (DoKeyPress(M)) {
            M.Result = 1;
            return;
        }
        const QChar ch(static_cast<char16_t>(M.WParam));
        switch (ch.unicode()) {
        case 1: SelectAll(); break;
        case 3:
            if (FSelLength > 0) Clipboard()->SetAsText(SelText());
            break;
        case 8: DeleteSelectionOr(FSelStart - 1, FSelStart); break;
        case 22: PasteFromClipboard(); break;
        case 24:
            if (FSelLength > 0) {
                Clipboard()->SetAsText(SelText());
                SetSelText(QString());
            }
            break;
        default:
            if (ch.unicode() >= 32) SetSelText(QString(ch));
            break;
        }
        return;
    }
    case WM_LBUTTONDOWN:
        if (!Focused()) SetFocusedWindow(this);
        TCustomControl::WndProc(M);
        return;
    default: TCustomControl::WndProc(M); return;
    }
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TInplaceEdit::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    c->Font().Assign(*Font());
    const int x0 = 2, y0 = 2;
    if (FEditText.contains(QLatin1Char('\n')) || FEditText.contains(QLatin1Char('\r'))) {
        TRect r = Rect(x0, y0, Width() - 2, Height());
        c->DrawText(FEditText, r, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
        return;
    }
    // One line: text before the selection, the selection, the rest.
    const QString before = FEditText.left(FSelStart);
    const QString sel = FEditText.mid(FSelStart, FSelLength);
    const QString after = FEditText.mid(FSelStart + FSelLength);
    int x = x0;
    c->Brush().SetStyle(bsClear);
    c->TextOut(x, y0, before);
    x += c->TextWidth(before);
    if (!sel.isEmpty()) {
        c->Brush().SetStyle(bsSolid);
        c->Brush().SetColor(clHighlight);
        c->Font().SetColor(clHighlightText);
        c->TextOut(x, y0, sel);
        x += c->TextWidth(sel);
        c->Font().Assign(*Font());
        c->Brush().SetStyle(bsClear);
    }
    const int caretX = FSelLength > 0 ? x : x0 + c->TextWidth(before);
    c->TextOut(x, y0, after);
    if (Focused() && FSelLength == 0) {
        c->Pen().SetColor(clWindowText);
        c->MoveTo(caretX, y0);
        c->LineTo(caretX, y0 + c->TextHeight(QStringLiteral("Ag")));
    }
    c->Brush().SetStyle(bsSolid);
}
