// The edit link (edCustom), the rich-text editor (edRichEdit) with the
// conversions between a cell and a rich editor, and the header-cell editors
// that validate on their own.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExGridEditors.h"

#include "gridpack/stringgrid/ExInplaceEdit.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdMessages.h"
#include "platform/core/CodePages.h"

// ---------------------------------------------------------------------------
// TEditLink
// ---------------------------------------------------------------------------

TEditLink::TEditLink(TComponent* AOwner) : TComponent(AOwner) {}

void TEditLink::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupForm)
        FPopupForm = nullptr;
}

TWinControl* TEditLink::GetEditControl() { return nullptr; }
void TEditLink::CreateEditor(TWinControl*) {}
void TEditLink::DestroyEditor() {}
void TEditLink::SetProperties() {}
void TEditLink::SetCellProps(TColor, TFont*) {}
QString TEditLink::GetEditorValue() { return QString(); }
void TEditLink::SetEditorValue(const QString&) {}

void TEditLink::SetRect(const TRect& R)
{
    TWinControl* c = GetEditControl();
    if (!c || !FGrid)
        return;
    const int lw = FGrid->GridLineWidth();
    c->SetBounds(R.Left, R.Top, R.Right - R.Left - lw, R.Bottom - R.Top - lw);
}

void TEditLink::SetVisible(bool Value)
{
    if (TWinControl* c = GetEditControl())
        c->SetVisible(Value);
}

void TEditLink::SetFocus(bool Value)
{
    TWinControl* c = GetEditControl();
    // A link without a control shows nothing and leaves the focus alone.
    if (!c || !FGrid)
        return;
    TExStringGrid* g = FGrid;
    if (Value) {
        c->SetVisible(true);
        c->SetEnabled(true);
        if (EditStyle == esInplace && !FSubClassed) {
            g->FGridControlWndProc = c->WindowProc;
            c->WindowProc = [g](TMessage& M) { g->EditLinkWndProc(M); };
            FSubClassed = true;
        }
        if (c->CanFocus())
            c->SetFocus();
    } else if (g->CanFocus()) {
        g->SetFocus();
    }
}

void TEditLink::RestoreWinProc()
{
    TWinControl* c = GetEditControl();
    if (!c || EditStyle != esInplace || !FGrid)
        return;
    if (FSubClassed && FGrid->FGridControlWndProc)
        c->WindowProc = FGrid->FGridControlWndProc;
    FSubClassed = false;
    c->SetVisible(false);
}

QString TEditLink::GetCellValue() { return FGrid ? FGrid->Cells(FGrid->RealColIndex(FGrid->Col()), FGrid->Row()) : QString(); }

void TEditLink::SetCellValue(const QString& S)
{
    if (FGrid)
        FGrid->StoreEditValue(FGrid->RealColIndex(FGrid->Col()), FGrid->Row(), S);
}

TWinControl* TEditLink::GetParent()
{
    if (EditStyle == esPopup)
        return FPopupForm;
    return FGrid;
}

void TEditLink::HideEditor()
{
    SetCellValue(GetEditorValue());
    if (FGrid)
        FGrid->HideInplaceEdit();
    RestoreWinProc();
}

void TEditLink::EditExit(TObject*)
{
    HideEditor();
    if (EditStyle == esPopup && FPopupForm) {
        DestroyEditor();
        FPopupForm->Hide();
    }
}

void TEditLink::FormExit(TObject* Sender)
{
    if (!FGrid)
        return;
    if (TExInplaceEdit* ed = FGrid->NormalEdit())
        ed->SetText(GetEditorValue());
    if (FForcedExit) {
        SetCellValue(GetEditorValue());
    } else {
        EditExit(Sender);
        FGrid->InvokedFocusChange = true;
    }
}

void TEditLink::EditKeyDown(TObject*, unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    if (!g)
        return;
    // 1., 2.
    const bool leave = KeyIsOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_END, VK_LEFT, VK_UP,
                                  VK_RIGHT, VK_DOWN}) ||
                       (Shift & ssAlt);
    const bool keep = ((Key == VK_UP || Key == VK_DOWN) && WantKeyUpDown) ||
                      ((Key == VK_LEFT || Key == VK_RIGHT) && WantKeyLeftRight) ||
                      ((Key == VK_END || Key == VK_HOME) && WantKeyHomeEnd) ||
                      ((Key == VK_PRIOR || Key == VK_NEXT) && WantKeyPriorNext) ||
                      (Key == VK_RETURN && WantKeyReturn) || (Key == VK_ESCAPE && WantKeyEscape) ||
                      (Key == VK_TAB && WantTabs);
    if (keep || !leave)
        return;
    auto focusGrid = [&] {
        FForcedExit = true;
        if (g->CanFocus())
            g->SetFocus();
        FForcedExit = false;
    };
    // 3.
    if (Key == VK_TAB) {
        if (g->Navigation()->TabToNextAtEnd) {
            focusGrid();
            g->HideEditor();
            g->CloseCellEditor(g->Col(), g->Row());
            if (g->MoveFromEditor(Shift & ssShift) && !g->HasClickableControl(g->Col(), g->Row()))
                PostMessage(g->Handle(), WM_KEYDOWN, VK_F2, 0);
            Key = 0;
            return;
        }
        Key = 0;
    }
    // 4.
    if (Key == VK_ESCAPE)
        SetEditorValue(g->FCellCache);
    // The character of a closing Enter or Escape is not the grid's.
    if (Key == VK_RETURN || Key == VK_ESCAPE)
        g->FCharOfClosedEditor = QChar(Key == VK_RETURN ? 13 : 27);
    // 5. (The library's editor state ends first, so that the value stored
    // opens no editor again.)
    focusGrid();
    g->HideEditor();
    g->CloseCellEditor(g->Col(), g->Row());
    // 6.
    if (EditStyle == esPopup)
        EditExit(this);
    // 7.
    g->EditMode = false;
    g->SelectCell(g->Col(), g->Row());
    // 8.
    if (g->FLastValidation) {
        if (Key == VK_RETURN) {
            g->AdvanceEditCell(g->Col(), g->Row(), true, false, !(Shift & ssShift),
                               g->Navigation()->AdvanceAutoEdit, false);
            Key = 0;
        } else if (Key == VK_ESCAPE) {
            Key = 0;
        } else {
            const unsigned k = Key;
            if (k == VK_TAB || (k >= VK_LEFT && k <= VK_DOWN)) {
                unsigned kk = k;
                g->KeyDown(kk, Shift);
            }
            if (TWinControl* c = GetEditControl())
                c->SetEnabled(false);
            focusGrid();
            if ((g->Options() & goTabs) && k == VK_TAB && !g->HasClickableControl(g->Col(), g->Row()))
                PostMessage(g->Handle(), WM_KEYDOWN, VK_F2, 0);
            Key = 0;
        }
    } else {
        // The validation refused: the editor opens again on the cell.
        g->FLastValidation = true;
        g->EditControl = edCustom;
        g->OpenCellEditor(g->Col(), g->Row());
        Key = 0;
    }
    g->FLastValidation = true;
}

// ---------------------------------------------------------------------------
// The grid's side of the link
// ---------------------------------------------------------------------------

void TExStringGrid::SetEditLink(TEditLink* v)
{
    if (FEditLink == v)
        return;
    if (FEditLink)
        FEditLink->RemoveFreeNotification(this);
    FEditLink = v;
    if (v)
        v->FreeNotification(this);
}

void TExStringGrid::EditLinkWndProc(TMessage& M)
{
    if (M.Msg == WM_GETDLGCODE && (Options() & goTabs)) {
        M.Result |= DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        return;
    }
    if (FGridControlWndProc)
        FGridControlWndProc(M);
}

void TExStringGrid::OpenCustomEditor(const TRect& R, int RCol, int ARow, int ACol)
{
    EditMode = true;
    TEditLink* link = FEditLink;
    if (!link)
        return;
    // 1.
    link->FGrid = this;
    link->FEditCell = Point(RCol, ARow);
    // 2.
    if (link->EditStyle == esPopup) {
        if (link->AutoPopupWidth)
            link->PopupWidth = R.Right - R.Left;
        if (!link->FPopupForm) {
            TApplication* app = Application();
            if (TComponent* old = app->FindComponent(QStringLiteral("gridform")))
                delete old;
            auto* f = new TForm(app);
            f->SetName(QStringLiteral("gridform"));
            link->FPopupForm = f;
            f->FreeNotification(link);
        }
        TCustomForm* f = link->FPopupForm;
        TPoint at;
        if (link->PopupLeft == -1 || link->PopupTop == -1)
            at = ClientToScreen(Point(R.Left, R.Top));
        else
            at = Point(link->PopupLeft, link->PopupTop);
        f->SetBounds(at.X, at.Y, 0, 0);
        f->OnDeactivate = [link](TObject* s) { link->FormExit(s); };
        f->SetFormStyle(fsStayOnTop);
        f->SetBorderStyle(bsNone);
        f->Show();
        f->SetBounds(at.X, at.Y, link->PopupWidth, link->PopupHeight);
        link->CreateEditor(f);
    } else {
        link->CreateEditor(this);
    }
    // 3.
    link->SetRect(link->EditStyle == esPopup ? Rect(0, 0, link->PopupWidth, link->PopupHeight) : R);
    // 4.
    link->SetVisible(true);
    link->SetCellProps(EditorCellColor(RCol, ARow), GetCellFont(RCol, ARow));
    link->SetProperties();
    GetEditorProp(RCol, ARow, link);
    // 5.
    link->SetEditorValue(GetEditText(ACol, ARow));
    // 6.
    const QChar start = FStartEditChar;
    link->SetFocus(true);
    FEditActive = true;
    FStartEditChar = start;
    if (!FStartEditChar.isNull()) {
        if (TWinControl* c = link->GetEditControl())
            PostMessage(c->Handle(), WM_CHAR, WPARAM(FStartEditChar.unicode()), 0);
    }
    // 7.
    EditCtrl = link->GetEditControl();
}

void TExStringGrid::CloseCustomEditor(int RCol, int ARow)
{
    if (ControlLook()->DropDownAlwaysVisible()) {
        TEditorType k = EditControl;
        GetCellEditorType(Col(), ARow, k);
        EditControl = k;
    }
    if (TEditLink* link = FEditLink) {
        StoreEditValue(RCol, ARow, link->GetEditorValue());
        if (link->EditStyle != esPopup)
            link->SetVisible(false);
        link->RestoreWinProc();
    }
    EditMode = false;
}

// ---------------------------------------------------------------------------
// Rich text
// ---------------------------------------------------------------------------

TExRichEdit* TExStringGrid::InplaceRichEdit()
{
    if (!FInplaceRichEdit) {
        FInplaceRichEdit = new TExRichEdit(this);
        FInplaceRichEdit->SetVisible(false);
        FInplaceRichEdit->SetParent(this);
        FInplaceRichEdit->OnSelectionChange = [this](TObject* s) {
            if (OnRichEditSelectionChange)
                OnRichEditSelectionChange(s);
        };
    }
    return FInplaceRichEdit;
}

TExRichEdit* TExStringGrid::RichEdit()
{
    if (!FRichEdit) {
        FRichEdit = new TExRichEdit(this);
        FRichEdit->SetVisible(false);
        FRichEdit->SetParent(this);
        FRichEdit->SetBounds(0, 0, 0, 0);
        FRichEdit->SetBorderVisible(false);
        FRichEdit->SetTransparent(true);
    }
    return FRichEdit;
}

void TExStringGrid::CellToRich(int ACol, int ARow, TCustomRichEdit* RichEditor)
{
    int c = ACol, r = ARow;
    if (IsMergedNonBaseCell(ACol, ARow)) {
        const TPoint b = BaseCell(ACol, ARow);
        c = b.X;
        r = b.Y;
    }
    QString t = Cells(c, r);
    GetDisplayText(c, r, t);
    if (t.isEmpty()) {
        RichEditor->Clear();
        return;
    }
    // Each character is one byte of the stored rich text, in Windows-1252.
    RichEditor->LoadFromBytes(EncodeAnsi(t));
}

QString TExStringGrid::RichToString(TCustomRichEdit* RichEditor)
{
    if (ComponentState() & csDestroying)
        return QString();
    return DecodeAnsi(RichEditor->SaveToBytes());
}

void TExStringGrid::RichToCell(int ACol, int ARow, TCustomRichEdit* RichEditor)
{
    SetCells(ACol, ARow, RichToString(RichEditor));
}

void TExStringGrid::OpenRichEditor(const TRect& R, int RCol, int ARow)
{
    EditMode = true;
    TExRichEdit* re = InplaceRichEdit();
    re->ReCreate();
    re->SetParent(this);
    re->SetBorderVisible(false);
    re->SetBounds(R.Left, R.Top, R.Right - R.Left - 1, R.Bottom - R.Top - 1);
    GetEditorProp(RCol, ARow, FEditLink);
    re->LockResize();
    CellToRich(RCol, ARow, re);
    if (Navigation()->EditSelectAll)
        re->SelectAll();
    re->SetVisible(true);
    re->SetEnabled(true);
    re->SetColor(EditorCellColor(RCol, ARow));
    if (re->CanFocus())
        re->SetFocus();
    if (!FStartEditChar.isNull())
        PostMessage(re->Handle(), WM_CHAR, WPARAM(FStartEditChar.unicode()), 0);
    re->UnlockResize();
    EditCtrl = re;
}

void TExStringGrid::CloseRichEditor(int RCol, int ARow)
{
    if (FInplaceRichEdit) {
        StoreEditValue(RCol, ARow, RichToString(FInplaceRichEdit));
        FInplaceRichEdit->SetVisible(false);
        FInplaceRichEdit->SetEnabled(false);
    }
    EditMode = false;
}

TExRichEdit::TExRichEdit(TComponent* AOwner) : TRichEdit(AOwner)
{
    FGrid = dynamic_cast<TExStringGrid*>(AOwner);
}

void TExRichEdit::SelNormal() { SelAttributes()->SetOffset(0); }
void TExRichEdit::SelSubscript() { SelAttributes()->SetOffset(-40); }
void TExRichEdit::SelSuperscript() { SelAttributes()->SetOffset(40); }
bool TExRichEdit::IsSelNormal() { return SelAttributes()->Offset() == 0; }
bool TExRichEdit::IsSelSubscript() { return SelAttributes()->Offset() == -40; }
bool TExRichEdit::IsSelSuperscript() { return SelAttributes()->Offset() == 40; }

void TExRichEdit::WMGetDlgCode(TMessage& M)
{
    TRichEdit::WMGetDlgCode(M);
    M.Result |= DLGC_WANTTAB;
}

void TExRichEdit::KeyDown(unsigned& Key, TShiftState Shift)
{
    TRichEdit::KeyDown(Key, Shift);
    TExStringGrid* g = FGrid;
    if (!g)
        return;
    if (Key == VK_TAB && (g->Options() & goTabs)) {
        if (g->CanFocus())
            g->SetFocus();
        g->KeyDown(Key, Shift);
        g->ShowInplaceEdit();
    } else if ((Key == VK_UP || Key == VK_DOWN) && !g->WordWrap && !g->Multilinecells) {
        if (g->CanFocus())
            g->SetFocus();
        g->KeyDown(Key, Shift);
    }
}

void TExRichEdit::WMKillFocus(TMessage& M)
{
    TExStringGrid* g = FGrid;
    if (g && g->InvokedFocusChange)
        return;
    if (g && FindControl(HWND(M.WParam)) == g)
        g->HideInplaceEdit();
    TRichEdit::WMKillFocus(M);
}

void TExRichEdit::RequestSize(const TRect& Rect)
{
    TExStringGrid* g = FGrid;
    if (g && this == g->FRichEdit) {
        FReqWidth = Rect.Right - Rect.Left;
        FReqHeight = Rect.Bottom - Rect.Top;
    } else if (g && this == g->FInplaceRichEdit && g->SizeWhileTyping()->Height && !FLocked) {
        const int need = Rect.Bottom - Rect.Top + 5;
        const int row = g->Row();
        if (need > g->RowHeights(row) && Top() + need < g->Height()) {
            SetBounds(Left(), Top(), Width(), need + 4);
            g->SetRowHeights(row, need + 5);
            if (g->OnEndRowSize)
                g->OnEndRowSize(g, row);
        }
    }
    if (HandleAllocated())
        TRichEdit::RequestSize(Rect);
}

// ---------------------------------------------------------------------------
// Header-cell editors
// ---------------------------------------------------------------------------

TGridTransEdit::TGridTransEdit(TComponent* AOwner) : TCustomEdit(AOwner), FGrid(GridOfEditor(AOwner))
{
    SetBorderStyle(bsNone);
}

namespace {
// Validates the header cell's new text; false keeps the editor open.
bool StopFixedEdit(TExStringGrid* g, TWinControl* editor, const QString& text, int ACol, int ARow)
{
    if (!g) {
        editor->SetVisible(false);
        return true;
    }
    QString t = text;
    bool valid = true;
    if (g->OnCellValidate)
        g->OnCellValidate(g, ACol, ARow, t, valid);
    if (!valid) {
        g->SetCol(ACol);
        g->SetRow(ARow);
        if (editor->CanFocus())
            editor->SetFocus();
        return false;
    }
    if (g->OnEditingDone)
        g->OnEditingDone(g);
    g->SetCells(ACol, ARow, t);
    editor->SetVisible(false);
    return true;
}
} // namespace

bool TGridTransEdit::StopEdit() { return StopFixedEdit(FGrid, this, Text(), Col, Row); }

void TGridTransEdit::KeyPress(QChar& Key)
{
    if (Key == QChar('\r'))
        Key = QChar();
    TCustomEdit::KeyPress(Key);
}

void TGridTransEdit::DoExit()
{
    TCustomEdit::DoExit();
    StopEdit();
}

TGridTransCombo::TGridTransCombo(TComponent* AOwner) : TCustomComboBox(AOwner), FGrid(GridOfEditor(AOwner)) {}

bool TGridTransCombo::StopEdit() { return StopFixedEdit(FGrid, this, Text(), Col, Row); }

void TGridTransCombo::KeyPress(QChar& Key)
{
    if (Key == QChar('\r'))
        Key = QChar();
    TCustomComboBox::KeyPress(Key);
}

void TGridTransCombo::DoExit()
{
    TCustomComboBox::DoExit();
    StopEdit();
}
