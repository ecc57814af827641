// The grid's edit-with-button, unit and button editors: opening them over
// the cell, writing their value back, their keys and characters, and the
// grid's button and unit notices.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExGridEditors.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdMessages.h"
#include "platform/core/FormatSettings.h"

namespace {
bool CtrlHeld() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// The selection [SelStart, SelStart + SelLength) holds position i.
bool InSelection(TCustomEdit* e, int i) { return i >= e->SelStart() && i < e->SelStart() + e->SelLength(); }
} // namespace

bool GridNumericCharAllowed(TCustomEdit* Edit, QChar Ch)
{
    const ushort k = Ch.unicode();
    if (k == 8 || k == 9 || k == 13 || k == 27 || Ch.isDigit())
        return true;
    if (Ch == QLatin1Char('-') && !Edit->Text().contains(QLatin1Char('-')) && Edit->SelStart() == 0)
        return true;
    MessageBeep(0);
    return false;
}

bool GridFloatCharAllowed(TCustomEdit* Edit, QChar Ch, bool CtrlDown)
{
    const ushort k = Ch.unicode();
    const bool inSet = k == 8 || k == 9 || k == 13 || k == 27 || Ch.isDigit() || Ch == QLatin1Char(',') ||
                       Ch == QLatin1Char('-') || Ch == QLatin1Char('.');
    if (!inSet)
        return CtrlDown;
    const QString t = Edit->Text();
    const QChar ds = ActiveFormatSettings().DecimalSeparator;
    const QChar ts = ActiveFormatSettings().ThousandSeparator;
    if (Ch == ds) {
        const int at = t.indexOf(ds);
        if (at >= 0 && !InSelection(Edit, at))
            return false;  // one separator is enough; no beep
        return true;
    }
    if (Ch == ts)
        return false;
    if (Ch == QLatin1Char('-')) {
        const int at = t.indexOf(QLatin1Char('-'));
        const bool selHolds = at >= 0 && InSelection(Edit, at);
        if ((Edit->SelStart() != 0 || at >= 0) && !selHolds) {
            MessageBeep(0);
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// The grid's side
// ---------------------------------------------------------------------------

QString TExStringGrid::EllipsClick(const QString& S)
{
    QString s = S;
    if (OnEllipsClick)
        OnEllipsClick(this, RealColIndex(Col()), Row(), s);
    return s;
}

void TExStringGrid::UnitEditorChanged(TObject*, const QString& NewUnit)
{
    if (OnUnitChanged)
        OnUnitChanged(this, Col(), Row(), NewUnit);
}

TColor TExStringGrid::EditorCellColor(int RCol, int ARow)
{
    TFont font;
    TBrush brush;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = false;
    TCellGradientDirection gd{};
    GetCellDefaults(RCol, ARow, &font, &brush, colorTo, mirror, mirrorTo, ha, va, ww, gd);
    return brush.Color() != clNone ? brush.Color() : Color();
}

void TExStringGrid::OpenEditBtnEditor(const TRect& R, int RCol, int ARow, int ACol)
{
    TGridEditBtn* eb = EditBtn;
    EditMode = true;
    if (!eb)
        return;
    const int W = R.Right - R.Left - 1, H = R.Bottom - R.Top - 1;
    eb->RecreateWnd();
    eb->SetEditMask(QString());
    eb->SetBounds(R.Left, R.Top, W, eb->Height());
    eb->SetText(GetEditText(ACol, ARow));
    eb->SetMaxLength(GetEditLimit());
    eb->SetVisible(true);
    eb->SetEnabled(true);
    eb->SetColor(EditorCellColor(RCol, ARow));
    if (eb->CanFocus())
        eb->SetFocus();
    eb->SetBounds(R.Left, R.Top, W, H);
    if (EditControl == edMaskEditBtn)
        eb->SetEditMask(GetEditMask(RCol, ARow));
    if (!FStartEditChar.isNull())
        PostMessage(eb->Handle(), WM_CHAR, WPARAM(FStartEditChar.unicode()), 0);
    EditCtrl = eb;
}

void TExStringGrid::OpenUnitEditor(const TRect& R, int RCol, int ARow, int ACol)
{
    TGridUnitEditBtn* ub = UnitEditBtn;
    EditMode = true;
    if (!ub)
        return;
    const int W = R.Right - R.Left - 1, H = R.Bottom - R.Top - 1;
    ub->RecreateWnd();
    ub->SetBounds(R.Left, R.Top, W, ub->Height());
    ub->SetMaxLength(GetEditLimit());
    ub->SetUnitID(QString());
    ub->SetText(QString());
    const QString text = GetEditText(ACol, ARow);
    ub->SetTextAndUnit(text);
    // A value that ends in none of the units is kept whole rather than
    // lost when the editor closes.
    if (ub->UnitID().isEmpty())
        ub->SetText(text);
    GetEditorProp(RCol, ARow, FEditLink);
    ub->SetVisible(true);
    ub->SetEnabled(true);
    ub->SetColor(EditorCellColor(RCol, ARow));
    if (ub->CanFocus())
        ub->SetFocus();
    ub->SetBounds(R.Left, R.Top, W, H);
    if (!FStartEditChar.isNull())
        PostMessage(ub->Handle(), WM_CHAR, WPARAM(FStartEditChar.unicode()), 0);
    EditCtrl = ub;
}

void TExStringGrid::OpenButtonEditor(const TRect& R, int ACol, int ARow)
{
    TGridButton* b = GridButton;
    EditMode = true;
    if (!b)
        return;
    const int W = R.Right - R.Left - 1, H = R.Bottom - R.Top - 1;
    b->RecreateWnd();
    b->SetBounds(R.Left - 1, R.Top - 1, W + 2, H + 2);
    b->SetCaption(GetEditText(ACol, ARow));
    b->SetVisible(true);
    b->SetEnabled(true);
    if (b->CanFocus())
        b->SetFocus();
    EditCtrl = b;
}

// ---------------------------------------------------------------------------
// TGridEditBtn
// ---------------------------------------------------------------------------

TGridEditBtn::TGridEditBtn(TComponent* AOwner) : TSgEditBtn(AOwner), FGrid(GridOfEditor(AOwner)) {}

void TGridEditBtn::ClickBtn(TObject* Sender)
{
    TSgEditBtn::ClickBtn(Sender);
    TExStringGrid* g = FGrid;
    SetText(g->EllipsClick(Text()));
    SelectAll();
    Invalidate();
    if (StopEditAfterClick) {
        g->HideInplaceEdit();
        if (g->CanFocus())
            g->SetFocus();
    }
}

void TGridEditBtn::KeyDown(unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    const bool own = KeyIsOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN});
    if (!own && g->OnKeyDown)
        g->OnKeyDown(g, Key, Shift);
    WorkMode = !(Key == VK_BACK || Key == VK_DELETE);
    FSelKeyDown = SelStart();
    if ((Shift & ssCtrl) || !own) {
        TSgEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
    if (KeyIsOneOf(Key, {VK_TAB, VK_RETURN, VK_UP, VK_DOWN})) {
        const TEditorType kind = g->EditControl;
        g->SetCurrentCell(Text());
        if (!g->ValidateCell(g->GetCurrentCell())) {
            g->EditControl = kind;
            SetText(g->FNewCellText);
            SelectAll();
            Invalidate();
            Key = 0;
            return;
        }
        SetText(g->FNewCellText);
    }
    if (Key == VK_TAB && g->HasCellValidation()) {
        if (g->Options() & goTabs) {
            g->HideInplaceEdit();
            if (g->CanFocus())
                g->SetFocus();
            g->MoveFromEditor(Shift & ssShift);
            Key = 0;
            return;
        }
        PostMessage(g->Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Key == VK_ESCAPE)
        SetText(g->FCellCache);
    if (Key == VK_RETURN || Key == VK_TAB || Key == VK_ESCAPE)
        g->FCharOfClosedEditor = QChar(Key == VK_RETURN ? 13 : Key == VK_TAB ? 9 : 27);
    g->DoneInplaceEdit(Key, Shift);
    Key = 0;
}

void TGridEditBtn::KeyUp(unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    if (g->OnKeyUp)
        g->OnKeyUp(g, Key, Shift);
    TNavigation* nav = g->Navigation();
    if (nav->CursorWalkEditor && !(Shift & (ssShift | ssCtrl | ssAlt)) && SelLength() == 0) {
        const bool left = Key == VK_LEFT && SelStart() == 0 && FSelKeyDown == 0;
        const bool right = Key == VK_RIGHT && SelStart() >= int(Text().size()) &&
                           g->Col() < g->ColCount() - g->FixedRightCols() - 1;
        if ((left && g->Col() > g->FixedCols()) || right) {
            Key = 0;
            g->SetCurrentCell(Text());
            if (g->CanFocus())
                g->SetFocus();
            AdvanceSideways(g, false, right, false);
            if (nav->CursorWalkAlwaysEdit)
                g->ShowInplaceEdit();
            return;
        }
    }
    if (Key != VK_RETURN)
        TSgEditBtn::KeyUp(Key, Shift);
    if (WorkMode && SelLength() == 0)
        DoLookup();
}

void TGridEditBtn::DoLookup()
{
    TExStringGrid* g = FGrid;
    if (!g->Lookup || !g->LookupItems())
        return;
    const bool cs = g->LookupCaseSensitive;
    const QString typed = Text().left(SelStart());
    if (typed.isEmpty())
        return;
    const QString prefix = cs ? typed : typed.toUpper();
    TStrings* items = g->LookupItems();
    for (int i = 0; i < items->Count(); ++i) {
        const QString s = cs ? items->Strings(i) : items->Strings(i).toUpper();
        if (s.startsWith(prefix)) {
            const QString completed = typed + items->Strings(i).mid(typed.size(), 255);
            SetText(completed);
            SetSelStart(int(typed.size()));
            SetSelLength(int(completed.size() - typed.size()));
            return;
        }
    }
}

void TGridEditBtn::KeyPress(QChar& Key)
{
    TExStringGrid* g = FGrid;
    if (g->OnKeyPress)
        g->OnKeyPress(g, Key);
    if (Key == QChar('\t'))
        return;
    TSgEditBtn::KeyPress(Key);
}

void TGridEditBtn::WMChar(TMessage& M)
{
    const QChar ch(ushort(M.WParam));
    if (ch == QChar('\r') || ch == QChar('\t')) {
        M.Result = 1;
        return;
    }
    switch (FGrid->EditControl) {
    case edEditBtn:
    case edMaskEditBtn: TSgEditBtn::WMChar(M); break;
    case edNumericEditBtn:
        if (GridNumericCharAllowed(this, ch))
            TSgEditBtn::WMChar(M);
        break;
    case edFloatEditBtn:
        if (GridFloatCharAllowed(this, ch, CtrlHeld()))
            TSgEditBtn::WMChar(M);
        break;
    default: break;
    }
}

void TGridEditBtn::WMPaste(TMessage& M)
{
    TExStringGrid* g = FGrid;
    if (!EditorEnabled || ReadOnly())
        return;
    bool allow = Clipboard()->HasFormat(CF_TEXT);
    if (g->OnClipboardPaste)
        g->OnClipboardPaste(this, allow);
    QString s = allow ? Clipboard()->AsText() : QString();
    if (g->OnClipboardBeforePasteCell)
        g->OnClipboardBeforePasteCell(this, g->Col(), g->Row(), s, allow);
    if (!allow)
        return;
    const int br = s.indexOf(QStringLiteral("\r\n"));
    if (br >= 0 && br == s.size() - 2)
        s.chop(2);
    const int start = SelStart();
    const int len = SelLength();
    QString t = Text();
    t.replace(start, len, s);
    SetText(t);
    g->SetCurrentEditText(t);
    if (len > 0) {
        SetSelStart(start);
        SetSelLength(int(s.size()));
    } else {
        SetSelStart(start + int(s.size()));
    }
    M.Result = 0;
}

void TGridEditBtn::WMLButtonDblClk(TMessage& M)
{
    TSgEditBtn::WMLButtonDblClk(M);
    TExStringGrid* g = FGrid;
    if (g->OnDblClickCell)
        g->OnDblClickCell(g, g->Row(), g->Col());
}

void TGridEditBtn::Change()
{
    TSgEditBtn::Change();
    TExStringGrid* g = FGrid;
    if (g->OnEditChange && Visible())
        g->OnEditChange(g, g->Col(), g->Row(), Text());
}

void TGridEditBtn::DoExit()
{
    FGrid->HideInplaceEdit();
    TSgEditBtn::DoExit();
}

void TGridEditBtn::CMWantSpecialKey(TMessage& M)
{
    TSgEditBtn::CMWantSpecialKey(M);
    const unsigned key = unsigned(M.WParam);
    if (key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && FGrid->HasCellValidation()))
        M.Result = 1;
}

// ---------------------------------------------------------------------------
// TGridUnitEditBtn
// ---------------------------------------------------------------------------

TGridUnitEditBtn::TGridUnitEditBtn(TComponent* AOwner) : TSgUnitEditBtn(AOwner), FGrid(GridOfEditor(AOwner)) {}

void TGridUnitEditBtn::ClickBtn(TObject* Sender)
{
    SetText(FGrid->EllipsClick(Text()));
    SelectAll();
    Invalidate();
    TSgUnitEditBtn::ClickBtn(Sender);
}

void TGridUnitEditBtn::KeyDown(unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    if (!KeyIsOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN})) {
        TSgUnitEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (KeyIsOneOf(Key, {VK_TAB, VK_RETURN, VK_UP, VK_DOWN})) {
        g->SetCurrentCell(TextAndUnit());
        if (!g->ValidateCell(g->GetCurrentCell())) {
            SetText(g->GetCurrentCell());
            return;
        }
        const QString now = g->GetCurrentCell();
        SetTextAndUnit(now);
    }
    if (Key == VK_RETURN && g->Navigation()->AdvanceOnEnter) {
        g->FCharOfClosedEditor = QChar(13);
        g->HideInplaceEdit();
        if (g->CanFocus())
            g->SetFocus();
        Key = 0;
        g->AdvanceEditCell(g->Col(), g->Row(), true, false, true, g->Navigation()->AdvanceAutoEdit, false);
        return;
    }
    if (Key == VK_TAB && (g->Options() & goTabs)) {
        g->HideInplaceEdit();
        if (g->CanFocus())
            g->SetFocus();
        g->MoveFromEditor(Shift & ssShift);
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE) {
        SetUnitID(QString());
        SetText(g->GetCurrentCell());
    }
    if (Key == VK_RETURN || Key == VK_TAB || Key == VK_ESCAPE)
        g->FCharOfClosedEditor = QChar(Key == VK_RETURN ? 13 : Key == VK_TAB ? 9 : 27);
    g->DoneInplaceEdit(Key, Shift);
    Key = 0;
}

void TGridUnitEditBtn::WMChar(TMessage& M)
{
    const QChar ch(ushort(M.WParam));
    if (ch == QChar('\r')) {
        M.Result = 0;
        return;
    }
    switch (FGrid->EditControl) {
    case edUnitEditBtn: TSgUnitEditBtn::WMChar(M); break;
    case edNumericUnitEditBtn:
        if (GridNumericCharAllowed(this, ch))
            TSgUnitEditBtn::WMChar(M);
        break;
    case edFloatUnitEditBtn:
        if (GridFloatCharAllowed(this, ch, CtrlHeld()))
            TSgUnitEditBtn::WMChar(M);
        break;
    default: break;
    }
}

void TGridUnitEditBtn::DoExit()
{
    FGrid->HideInplaceEdit();
    TSgUnitEditBtn::DoExit();
}

void TGridUnitEditBtn::CMWantSpecialKey(TMessage& M)
{
    TSgUnitEditBtn::CMWantSpecialKey(M);
    const unsigned key = unsigned(M.WParam);
    if (key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && (FGrid->Options() & goTabs)))
        M.Result = 1;
}

// ---------------------------------------------------------------------------
// TGridButton
// ---------------------------------------------------------------------------

TGridButton::TGridButton(TComponent* AOwner) : TButton(AOwner), FGrid(GridOfEditor(AOwner)) {}

void TGridButton::ExchangeCaption()
{
    SetCaption(FGrid->EllipsClick(Caption()));
    FGrid->SetCurrentCell(Caption());
}

void TGridButton::WMLButtonUp(TMessage& M)
{
    if (dynamic_cast<TExStringGrid*>(Parent()))
        ExchangeCaption();
    TButton::WMLButtonUp(M);
}

void TGridButton::WMKeyUp(TMessage& M)
{
    if (M.WParam == VK_SPACE) {
        ExchangeCaption();
        if (CanFocus())
            SetFocus();
        Invalidate();
    }
}

void TGridButton::KeyDown(unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    auto leave = [&] {
        SetVisible(false);
        SetEnabled(false);
        g->EditMode = false;
        if (g->CanFocus())
            g->SetFocus();
    };
    if (KeyIsOneOf(Key, {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN})) {
        const unsigned k = Key;
        g->Perform(WM_KEYDOWN, k, 0);
        leave();
        g->Perform(WM_KEYUP, k, 0);
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE) {
        leave();
        g->CancelCellEdit();
        g->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
        Key = 0;
        return;
    }
    TButton::KeyDown(Key, Shift);
}

void TGridButton::CMWantSpecialKey(TMessage& M)
{
    TButton::CMWantSpecialKey(M);
    if (KeyIsOneOf(unsigned(M.WParam), {VK_ESCAPE, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}))
        M.Result = 1;
}

void TGridButton::DoExit()
{
    FGrid->HideInplaceEdit();
    TButton::DoExit();
}
