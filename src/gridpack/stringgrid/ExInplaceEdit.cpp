// The string grid's in-place text editor.
#include "gridpack/stringgrid/ExInplaceEdit.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExGridEditors.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdMessages.h"

namespace {
bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Sets a flag for a scope and restores it afterwards.
struct TQuiet {
    bool& Flag;
    bool Saved;
    explicit TQuiet(bool& f) : Flag(f), Saved(f) { Flag = true; }
    ~TQuiet() { Flag = Saved; }
};
} // namespace

TExInplaceEdit::TExInplaceEdit(TComponent* AOwner) : TInplaceEdit(AOwner)
{
    FGrid = dynamic_cast<TExStringGrid*>(AOwner);
}

void TExInplaceEdit::SetVAlign(bool v)
{
    FValign = v;
    RecreateWnd();
}

void TExInplaceEdit::SetWordWrap(bool v)
{
    FWordWrap = v;
    RecreateWnd();
}

// ---------------------------------------------------------------------------
// Window
// ---------------------------------------------------------------------------

void TExInplaceEdit::CreateParams(TCreateParams& P)
{
    TInplaceEdit::CreateParams(P);
    if (auto* g = dynamic_cast<TExStringGrid*>(Parent()))
        FGrid = g;
    if (FValign)
        P.Style |= ES_RIGHT;
    if (FGrid && FGrid->EditControl == edPassword) {
        P.Style |= ES_PASSWORD;
        P.Style &= ~ES_MULTILINE;
    } else {
        P.Style &= ~ES_PASSWORD;
    }
    if (FWordWrap)
        P.Style &= ~ES_AUTOHSCROLL;
    P.Style |= ES_WANTRETURN;
    GotKey = false;
    Workmode = true;
}

void TExInplaceEdit::CreateWnd()
{
    TInplaceEdit::CreateWnd();
    if (FGrid)
        FLengthLimit = FGrid->GetEditLimit();
}

void TExInplaceEdit::UpdateContents()
{
    if (!FGrid) {
        TInplaceEdit::UpdateContents();
        return;
    }
    // A password cell shows its password character; any other cell none.
    const QChar wanted = FGrid->EditControl == edPassword ? FGrid->PasswordChar : QChar();
    if (PasswordChar() != wanted)
        SetPasswordChar(wanted);
    FWordWrap = FGrid->WordWrap;
    FGrid->FNoEditChange = true;
    TInplaceEdit::UpdateContents();
    FGrid->FNoEditChange = false;
    HandleNeeded();
    FColE = FGrid->Col();
    FRowE = FGrid->Row();
    const int rc = FGrid->RealColIndex(FColE);
    const TColor bk = FGrid->HasCellProperties(rc, FRowE) ? FGrid->GetColors(rc, FRowE) : clNone;
    SetColor(bk != clNone ? bk : FGrid->Color());
    SetAlignment(FGrid->EditCellAlignment(FColE, FRowE));
    Font()->Assign(*FGrid->Font());
    FGrid->GetEditorProp(FColE, FRowE, nullptr);
}

void TExInplaceEdit::BoundsChanged()
{
    TInplaceEdit::BoundsChanged();
    if (!FGrid)
        return;
    // The library places the editor over its own cell; a merged cell is
    // edited over its whole block.
    const TRect R = FGrid->TBaseGrid::CellRect(FGrid->Col(), FGrid->Row());
    if (R.IsEmpty())
        return;
    const int w = R.Right - R.Left - 1;
    const int h = R.Bottom - R.Top - 1;
    if (Left() != R.Left || Top() != R.Top || Width() != w || Height() != h)
        SetBounds(R.Left, R.Top, w, h);
    SetFormattingRect(Rect(3, 3, Width() - 2, Height()));
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

bool TExInplaceEdit::CaretOnFirstLine() { return LineFromChar(SelStart()) == 0; }

bool TExInplaceEdit::CaretOnLastLine() { return LineFromChar(SelStart()) == LineFromChar(int(Text().size())); }

void TExInplaceEdit::ShowRefused(const QString& Saved)
{
    if (Text() != FGrid->FNewCellText)
        SetText(FGrid->FNewCellText);
    if (FGrid->Navigation()->EditSelectAll)
        SelectAll();
    else
        Deselect();
    FGrid->FOldCellText = Saved;
}

void TExInplaceEdit::CommitWalkText(const QString& T)
{
    if (FGrid->FValidating) {
        FGrid->SetCurrentCell(T);
        FGrid->FValidating = false;
    }
}

void TExInplaceEdit::WMKeyDown(TMessage& M)
{
    if (!FGrid) {
        TInplaceEdit::WMKeyDown(M);
        return;
    }
    const unsigned key = unsigned(M.WParam);
    const TShiftState shift = KeyboardShiftState();
    const bool ctrl = (shift & ssCtrl) != 0;
    TNavigation* nav = FGrid->Navigation();
    // 1.
    FGrid->EditorWMKeyDown(M);
    FOldSelStart = SelStart();
    FCaretAtEndAtKeyDown = SelStart() + SelLength() == int(Text().size());

    // 2. Escape: back to the text the cell had when the edit began.
    if (key == VK_ESCAPE) {
        SetText(FGrid->FCellCache);
        FGrid->HideInplaceEdit();
    }
    // 3.
    if (key == 'A' && ctrl && GetKeyState(VK_RMENU) >= 0) {
        SelectAll();
        M.Result = 1;
        return;
    }
    // 4.
    const bool multiLineCells = FGrid->WordWrap || FGrid->Multilinecells;
    if (key == VK_RETURN && ctrl && !(nav->AllowCtrlEnter && multiLineCells)) {
        M.Result = 1;
        return;
    }
    // 5.
    const QString T = Text();
    const QString saved = FGrid->FOldCellText;
    const int len = int(T.size());

    // 6. Tab validates before it leaves.
    if (key == VK_TAB && FGrid->HasCellValidation()) {
        if (FGrid->ValidateCell(T)) {
            SetText(FGrid->FNewCellText);
            FGrid->HideInplaceEdit();
            if (FGrid->Options() & goTabs) {
                unsigned k = VK_TAB;
                FGrid->KeyDown(k, shift & ssShift);
            } else {
                PostMessage(FGrid->Handle(), WM_KEYDOWN, VK_TAB, 0);
            }
        } else {
            ShowRefused(saved);
        }
        M.Result = 1;
        return;
    }
    // 7. Shift+Left at the start or Shift+Right at the end walks out.
    if (nav->CursorWalkEditor && (shift & ssShift) &&
        ((key == VK_LEFT && SelStart() == 0) || (key == VK_RIGHT && SelStart() == len))) {
        CommitWalkText(T);
        if (FGrid->ValidateCell(T)) {
            SetText(FGrid->FNewCellText);
            FGrid->HideInplaceEdit();
            FGrid->SetFocus();
        } else {
            ShowRefused(saved);
            Invalidate();
        }
        M.Result = 1;
        return;
    }
    // 8. Up on the first line or Down on the last one leaves the row.
    bool rowMove = false;
    if ((key == VK_UP && CaretOnFirstLine()) || (key == VK_DOWN && CaretOnLastLine())) {
        CommitWalkText(T);
        if (!FGrid->ValidateCell(T)) {
            ShowRefused(saved);
            Invalidate();
            M.Result = 1;
            return;
        }
        if (Text() != FGrid->FNewCellText)
            SetText(FGrid->FNewCellText);
        rowMove = true;
    }
    // 9. Enter validates.
    if (key == VK_RETURN && !ctrl && !nav->LineFeedOnEnter) {
        if (!FGrid->ValidateCell(T)) {
            ShowRefused(saved);
            FDropEnterChar = true;
            M.Result = 1;
            return;
        }
        if (Text() != FGrid->FNewCellText)
            SetText(FGrid->FNewCellText);
    }
    // 10.
    if (!(shift & (ssCtrl | ssShift))) {
        if (key == VK_HOME) {
            SetSelStart(0);
            M.Result = 1;
            return;
        }
        if (key == VK_END) {
            SetSelStart(int(Text().size()));
            M.Result = 1;
            return;
        }
    }
    // 11.
    if (key == VK_RETURN && ctrl && nav->LineFeedOnEnter) {
        QChar k(13);
        TInplaceEdit::KeyPress(k);
        M.Result = 1;
        return;
    }
    TInplaceEdit::WMKeyDown(M);
    if (rowMove && FGrid->MouseActions()->DisjunctRowSelect()) {
        FGrid->ClearRowSelect();
        FGrid->SetRowSelect(FGrid->Row(), true);
    }
}

void TExInplaceEdit::KeyDown(unsigned& Key, TShiftState Shift)
{
    if (!FGrid) {
        TInplaceEdit::KeyDown(Key, Shift);
        return;
    }
    TNavigation* nav = FGrid->Navigation();
    // 1.
    FSelKeyDown = SelStart();
    // 2.
    if (Key == VK_BACK || Key == VK_DELETE)
        Workmode = false;
    else if (Key != VK_RETURN && Key != VK_UP && Key != VK_DOWN)
        Workmode = true;
    // 3.
    if (Key == VK_RETURN) {
        if (!nav->AllowCtrlEnter && (FGrid->WordWrap || FGrid->Multilinecells))
            FGrid->FEditing = false;
        // Ctrl+Enter or Shift+Enter starts a new line: grow the row to hold it.
        if ((Shift & (ssCtrl | ssShift)) && FGrid->SizeWhileTyping()->Height && FGrid->Multilinecells)
            GrowRowForNewLine();
    }
    // 4. Between the lines of a multi-line text the caret moves in place.
    if ((Key == VK_UP && !CaretOnFirstLine()) || (Key == VK_DOWN && !CaretOnLastLine()))
        return;
    // 5.
    FGrid->EditorKeyDown(Key, Shift);
    TInplaceEdit::KeyDown(Key, Shift);
}

bool TExInplaceEdit::FilterChar(QChar& Ch, bool CtrlDown)
{
    const char16_t u = Ch.unicode();
    const bool control = u == 8 || u == 9 || u == 13 || u == 27;
    const QString text = Text();
    switch (FGrid->EditControl) {
    case edNormal:
    case edPassword: return true;
    case edNumeric:
        if (control || IsAsciiDigit(Ch))
            return true;
        if (Ch == QLatin1Char('-') && !text.contains(QLatin1Char('-')) && SelStart() == 0)
            return true;
        MessageBeep(0);
        return false;
    case edPositiveNumeric:
        if (control || IsAsciiDigit(Ch))
            return true;
        MessageBeep(0);
        return false;
    case edFloat:
    case edPositiveFloat: {
        if (control || IsAsciiDigit(Ch))
            return true;
        const QChar dec = LocaleDecimalSeparator();
        const QChar thousand = LocaleThousandSeparator();
        if (Ch == QLatin1Char(',') || Ch == QLatin1Char('.')) {
            if (Ch == dec)
                return !text.contains(dec) || SelText().contains(dec);
            if (Ch == thousand)
                return false;
            return true;
        }
        if (Ch == QLatin1Char('-') && FGrid->EditControl == edFloat) {
            if ((SelStart() == 0 && !text.contains(QLatin1Char('-'))) || SelText().contains(QLatin1Char('-')))
                return true;
            MessageBeep(0);
            return false;
        }
        // Clipboard shortcuts still work.
        return CtrlDown;
    }
    case edCapital:
    case edUpperCase: Ch = Ch.toUpper(); return true;
    case edLowerCase: Ch = Ch.toLower(); return true;
    case edMixedCase: return true;
    case edValidChars: {
        if (u == 8 || u == 13)
            return true;
        const QString& valid = FGrid->ValidChars;
        if (valid.isEmpty() ? (u < 256 && FGrid->ValidCharSet.test(u)) : valid.contains(Ch))
            return true;
        MessageBeep(0);
        return false;
    }
    default: return false;
    }
}

void TExInplaceEdit::WMChar(TMessage& M)
{
    if (!FGrid) {
        TInplaceEdit::WMChar(M);
        return;
    }
    TNavigation* nav = FGrid->Navigation();
    QChar ch(char16_t(M.WParam));
    // The refusal already answered this Enter; validating it once more
    // would replace the settled text by the cell's.
    if (FDropEnterChar) {
        FDropEnterChar = false;
        if (ch.unicode() == 13)
            return;
    }
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    // 1. The keypad's "." types the decimal separator.
    if (FGrid->ExcelStyleDecimalSeparator && ch == QLatin1Char('.') && (M.LParam & (LPARAM(1) << 22)))
        ch = LocaleDecimalSeparator();
    // 2.
    if (ch.unicode() == 1 && ctrl)
        return;
    const bool multiLineCells = FGrid->WordWrap || FGrid->Multilinecells;
    if (ch.unicode() == 10 && !(nav->AllowCtrlEnter && multiLineCells))
        return;
    // 3. A full text takes nothing more but Backspace, Escape and Enter.
    if (FLengthLimit > 0 && Text().size() == FLengthLimit && SelLength() == 0 && ch.unicode() != 8 &&
        ch.unicode() != 27 && ch.unicode() != 13)
        return;
    // 4.
    const TEditorType kind = FGrid->EditControl;
    if (ch.unicode() == 13 && nav->LineFeedOnEnter &&
        (kind == edNormal || kind == edCapital || kind == edMixedCase || kind == edLowerCase ||
         kind == edUpperCase || kind == edValidChars)) {
        InsertText(QStringLiteral("\r\n"));
        return;
    }
    // 5.
    if (!FilterChar(ch, ctrl))
        return;
    M.WParam = ch.unicode();
    TInplaceEdit::WMChar(M);
    if (kind == edMixedCase && ch.unicode() >= 32) {
        const int caret = SelStart();
        const QString mixed = ToMixedCase(Text());
        if (mixed != Text()) {
            SetText(mixed);
            SetSelStart(caret);
        }
    }
    // 6. A full cell moves on by itself.
    if (nav->AdvanceAuto() && nav->AdvanceOnEnter && FGrid->MaxEditLength() > 0 &&
        Text().size() >= FGrid->MaxEditLength() && SelLength() == 0 && SelStart() == int(Text().size())) {
        QChar enter(13);
        FGrid->KeyPress(enter);
    }
}

void TExInplaceEdit::KeyPress(QChar& Key)
{
    if (!FGrid) {
        TInplaceEdit::KeyPress(Key);
        return;
    }
    TNavigation* nav = FGrid->Navigation();
    // 1.
    if (Key == QChar(13) && !nav->LineFeedOnEnter) {
        if (!FGrid->ValidateCell(Text())) {
            SetText(FGrid->GetCurrentCell());
            Key = QChar(0);
            return;
        }
    }
    // 2.
    TInplaceEdit::KeyPress(Key);
    // 3. A filled mask moves on by itself.
    if (nav->AdvanceAuto() && Key.unicode() != 0 && !Text().contains(QLatin1Char(' ')) &&
        SelStart() == int(Text().size()) && !EditMask().isEmpty()) {
        QChar enter(13);
        FGrid->KeyPress(enter);
    }
}

void TExInplaceEdit::WMKeyUp(TMessage& M)
{
    TInplaceEdit::WMKeyUp(M);
    if (!FGrid)
        return;
    const int caret = SelStart();
    if (caret != 0)
        FGrid->EditorCaretText(Text(), caret - 1, caret);
    FGrid->FormulaEditState(Text().startsWith(QLatin1Char('=')));
}

void TExInplaceEdit::KeyUp(unsigned& Key, TShiftState Shift)
{
    if (!FGrid) {
        TInplaceEdit::KeyUp(Key, Shift);
        return;
    }
    TNavigation* nav = FGrid->Navigation();
    const int len = int(Text().size());
    bool consumed = false;
    // 1. Left at the start walks to the cell before.
    if (Key == VK_LEFT && SelLength() == 0 && SelStart() == 0 && FSelKeyDown == 0 && Shift == 0 &&
        nav->CursorWalkEditor) {
        consumed = true;
        const int col = FGrid->Col();
        if (col > FGrid->FixedCols() && FGrid->HasClickableControl(col - 1, FGrid->Row())) {
            if (FGrid->ValidateCell(Text())) {
                FGrid->HideInplaceEdit();
                FGrid->SetCol(col - 1);
            }
        } else {
            if (FGrid->ValidateCell(Text()))
                FGrid->HideInplaceEdit();
            AdvanceSideways(FGrid, true, false, true);
            if (nav->CursorWalkAlwaysEdit) {
                Key = VK_RETURN;
                consumed = false;
            } else {
                FGrid->HideInplaceEdit();
            }
        }
    }
    // 2. Right at the end walks to the next cell.
    else if (Key == VK_RIGHT && SelLength() == 0 && FCaretAtEndAtKeyDown && SelStart() == len && Shift == 0 &&
             nav->CursorWalkEditor) {
        consumed = true;
        const int col = FGrid->Col();
        const int span = FGrid->CellSpan(FGrid->RealColIndex(col), FGrid->Row()).X;
        if (col < FGrid->ColCount() - 1 && col + span + 1 < FGrid->ColCount() &&
            FGrid->HasClickableControl(col + span + 1, FGrid->Row())) {
            if (FGrid->ValidateCell(Text())) {
                FGrid->HideInplaceEdit();
                FGrid->SetCol(col + span + 1);
            }
        } else {
            AdvanceSideways(FGrid, true, true, true);
            if (nav->CursorWalkAlwaysEdit) {
                Key = VK_RETURN;
                consumed = false;
            } else {
                FGrid->HideInplaceEdit();
            }
        }
    }
    // 3.
    if (consumed) {
        Key = 0;
        return;
    }
    if (Key == VK_LEFT || Key == VK_RIGHT) {
        TInplaceEdit::KeyUp(Key, Shift);
        return;
    }
    // 4.
    TInplaceEdit::KeyUp(Key, Shift);
    DoChange();
    SizeWhileTyping();
}

void TExInplaceEdit::GrowRowForNewLine()
{
    TColumnSize* cs = FGrid->ColumnSize();
    const int row = FGrid->Row();
    const bool synch = cs->SynchWithGrid;
    cs->SynchWithGrid = false;
    try {
        // The text as it will be once the new line holds a character.
        const int lines = CountTextLines(Text() + QStringLiteral("\r\n "), true);
        if (lines < FGrid->MaxRowLineCount(row))
            FGrid->AutoSizeRow(row);
        else
            FGrid->SizeRowToLines(row, lines, FGrid->GetXYOffsetHeight());
    } catch (...) {
        cs->SynchWithGrid = synch;
        throw;
    }
    cs->SynchWithGrid = synch;
    if (FGrid->OnEndRowSize)
        FGrid->OnEndRowSize(FGrid, row);
}

void TExInplaceEdit::SizeWhileTyping()
{
    TSizeWhileTyping* swt = FGrid->SizeWhileTyping();
    // The cell already holds the typed text, so fitting measures it.
    if (swt->Width)
        FGrid->FitColumnWidth(FGrid->Col(), true);
    if (swt->Height && FGrid->WordWrap) {
        TColumnSize* cs = FGrid->ColumnSize();
        const int row = FGrid->Row();
        const bool synch = cs->SynchWithGrid;
        cs->SynchWithGrid = false;
        try {
            FGrid->AutoSizeRow(row);
        } catch (...) {
            cs->SynchWithGrid = synch;
            throw;
        }
        cs->SynchWithGrid = synch;
        if (FGrid->OnEndRowSize)
            FGrid->OnEndRowSize(FGrid, row);
    }
}

void TExInplaceEdit::DoChange()
{
    if (!FGrid || !Workmode || SelLength() != 0)
        return;
    TStringList* items = FGrid->LookupItems();
    if (!FGrid->Lookup || items->Count() == 0)
        return;
    const bool cs = FGrid->LookupCaseSensitive;
    const QString typed = Text().left(SelStart());
    if (typed.isEmpty())
        return;
    for (int i = 0; i < items->Count(); ++i) {
        const QString item = items->Strings(i);
        if (!item.startsWith(typed, cs ? Qt::CaseSensitive : Qt::CaseInsensitive))
            continue;
        const QString completed = Text().left(typed.size()) + item.mid(typed.size(), 255);
        SetText(completed);
        SetSelStart(int(typed.size()));
        SetSelLength(int(completed.size() - typed.size()));
        GotKey = false;
        return;
    }
}

// ---------------------------------------------------------------------------
// Focus, mouse and the window procedure
// ---------------------------------------------------------------------------

void TExInplaceEdit::WMSetFocus(TMessage& M)
{
    TInplaceEdit::WMSetFocus(M);
    if (!FGrid)
        return;
    FGotFocus = true;
    FGrid->FNoEditChange = false;
    FLengthLimit = FGrid->GetEditLimit();
    if (FLengthLimit > 0 || !IsMasked())
        SetMaxLength(std::max(0, FLengthLimit));
    TNavigation* nav = FGrid->Navigation();
    if (!EditMask().isEmpty() && nav->ImproveMaskSel) {
        SetSelStart(0);
        SetSelLength(1);
        return;
    }
    if (!nav->EditSelectAll)
        Deselect();
}

void TExInplaceEdit::WMKillFocus(TMessage& M)
{
    if (!FGrid || (FGrid->ComponentState() & csDestroying)) {
        TInplaceEdit::WMKillFocus(M);
        return;
    }
    // 1.
    FGrid->FStartEditChar = QChar();
    // 2.
    if (FGrid->LookupHistory && FGrid->LookupItems()->IndexOf(Text()) < 0)
        FGrid->LookupItems()->Add(Text());
    // 3.
    FGrid->FormulaEditState(false);
    TInplaceEdit::WMKillFocus(M);
    // 4. Alt+Backspace (the edit's undo) keeps the editor open.
    if (FAltBack)
        return;
    const HWND to = HWND(M.WParam);
    if (to != FGrid->Handle()) {
        FGrid->ValidateCell(Text());
        {
            TQuiet quiet(FGrid->FNoEditChange);
            SetText(FGrid->GetCurrentCell());
        }
        FGrid->HideInplaceEdit();
        FGrid->FEditing = false;
        FGrid->EditMode = false;
        if (FColE >= 0 && FRowE >= 0)
            FGrid->SelectCell(FColE, FRowE);
    }
    {
        TQuiet quiet(FGrid->FNoEditChange);
        SetText(FGrid->GetCurrentCell());
    }
    FGrid->EditorCaretText(Text(), -1, -1);
    if (FGotFocus) {
        FGotFocus = false;
        FGrid->NotifyEditingDone(FGrid->RealColIndex(FColE), FRowE);
    }
}

void TExInplaceEdit::WMLButtonDblClk(TMessage& M)
{
    TInplaceEdit::WMLButtonDblClk(M);
    if (FGrid && FGrid->OnDblClickCell)
        FGrid->OnDblClickCell(FGrid, FGrid->Row(), FGrid->Col());
}

void TExInplaceEdit::WndProc(TMessage& M)
{
    if (M.Msg == WM_SYSKEYDOWN && M.WParam == VK_BACK)
        FAltBack = true;
    else if (M.Msg == WM_SYSKEYUP && M.WParam == VK_BACK)
        FAltBack = false;
    TInplaceEdit::WndProc(M);
}

void TExInplaceEdit::Change()
{
    TInplaceEdit::Change();
    if (FGrid && !FGrid->FNoEditChange && FGrid->OnEditChange)
        FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
}

void TExInplaceEdit::CMWantSpecialKey(TMessage& M)
{
    TInplaceEdit::CMWantSpecialKey(M);
    if (FGrid && M.WParam == VK_TAB && FGrid->HasCellValidation())
        M.Result = 1;
}

// ---------------------------------------------------------------------------
// Clipboard
// ---------------------------------------------------------------------------

void TExInplaceEdit::WMCopy(TMessage& M)
{
    bool allow = true;
    if (FGrid && FGrid->OnClipboardCopy)
        FGrid->OnClipboardCopy(this, allow);
    if (allow)
        TInplaceEdit::WMCopy(M);
}

void TExInplaceEdit::WMCut(TMessage& M)
{
    bool allow = true;
    if (FGrid && FGrid->OnClipboardCut)
        FGrid->OnClipboardCut(this, allow);
    if (allow)
        TInplaceEdit::WMCut(M);
}

void TExInplaceEdit::WMPaste(TMessage& M)
{
    if (!FGrid) {
        TInplaceEdit::WMPaste(M);
        return;
    }
    // 1.
    bool allow = Clipboard()->HasFormat(CF_TEXT);
    QString value = allow ? Clipboard()->AsText() : QString();
    // 2.
    if (FGrid->OnClipboardPaste)
        FGrid->OnClipboardPaste(this, allow);
    if (allow && FGrid->OnClipboardBeforePasteCell)
        FGrid->OnClipboardBeforePasteCell(this, FGrid->Col(), FGrid->Row(), value, allow);
    if (!allow)
        return;
    if (FLengthLimit >= 1 && value.size() > FLengthLimit)
        return;
    // 3. A single line break at the end is not pasted.
    const int crlf = int(value.indexOf(QStringLiteral("\r\n")));
    if (crlf >= 0 && crlf == value.size() - 2)
        value.chop(2);
    const QString text = Text();
    const int selStart = SelStart();
    const int selLength = SelLength();
    const QString replaced = text.left(selStart) + value + text.mid(selStart + selLength);
    // 4. The pasted text by the cell's kind; a refused text leaves the
    // editor's text as it was.
    if (FLengthLimit < 1 || replaced.size() <= FLengthLimit) {
        QString candidate = replaced;
        bool accepted = true;
        const int cls = ClassifyNumberText(replaced);
        switch (FGrid->EditControl) {
        case edNumeric: accepted = cls == 0; break;
        case edPositiveNumeric: accepted = cls == 0 && !replaced.contains(QLatin1Char('-')); break;
        case edFloat: accepted = cls == 0 || cls == 1; break;
        case edPositiveFloat: accepted = (cls == 0 || cls == 1) && !replaced.contains(QLatin1Char('-')); break;
        case edMixedCase: candidate = ToMixedCase(replaced); break;
        case edLowerCase: candidate = replaced.toLower(); break;
        case edUpperCase: candidate = replaced.toUpper(); break;
        case edValidChars:
            for (QChar c : replaced)
                if (!FGrid->ValidChars.contains(c))
                    accepted = false;
            break;
        default: break;
        }
        if (accepted)
            SetText(candidate);
    }
    // 5.
    FGrid->SetCurrentEditText(Text());
    if (selLength > 0) {
        SetSelStart(selStart);
        SetSelLength(int(value.size()));
    } else {
        SetSelStart(std::min(int(Text().size()), selStart + int(value.size())));
    }
    if (FGrid->OnClipboardAfterPasteCell)
        FGrid->OnClipboardAfterPasteCell(this, FGrid->Col(), FGrid->Row(), Text());
}
