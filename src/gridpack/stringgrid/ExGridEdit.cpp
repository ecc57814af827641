// The string grid's editing engine: whether a cell may become current,
// whether it may be edited and by which kind of editor, and the operations
// that open and close the editor on the current cell.
//
// Re-entrance: SelectCell may validate, validation may close the editor, and
// closing the editor selects the current cell again. The flags FValidating
// (a second validation returns at once), FDisableChange (the advance moves
// the cell itself), FBlockKill and FBlockFocus (focus changes the grid causes
// itself) keep these roads finite.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExInplaceEdit.h"

#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdCtrls.h"

namespace {
// Restores a flag when the scope ends, also on an exception.
struct TFlagGuard {
    bool& Flag;
    bool Saved;
    explicit TFlagGuard(bool& f, bool v) : Flag(f), Saved(f) { Flag = v; }
    ~TFlagGuard() { Flag = Saved; }
};
} // namespace

// ---------------------------------------------------------------------------
// Editor kinds and small questions
// ---------------------------------------------------------------------------

bool TExStringGrid::IsTextEditorKind(TEditorType k) const
{
    switch (k) {
    case edNormal:
    case edNumeric:
    case edPositiveNumeric:
    case edFloat:
    case edCapital:
    case edMixedCase:
    case edPassword:
    case edLowerCase:
    case edUpperCase:
    case edValidChars:
    case edPositiveFloat: return true;
    default: return false;
    }
}

TExInplaceEdit* TExStringGrid::NormalEdit() const { return dynamic_cast<TExInplaceEdit*>(InplaceEditor()); }

TInplaceEdit* TExStringGrid::CreateEditor() { return new TExInplaceEdit(this); }

bool TExStringGrid::EditorOwnsFocus()
{
    TInplaceEdit* ed = InplaceEditor();
    return ed && ed->Focused();
}

bool TExStringGrid::HasClickableControl(int ACol, int ARow) { return HasCellControl(RealColIndex(ACol), ARow); }

TCustomForm* TExStringGrid::FindParentForm(TControl* Control)
{
    for (TControl* c = Control; c; c = c->Parent())
        if (auto* f = dynamic_cast<TCustomForm*>(c))
            return f;
    return nullptr;
}

bool TExStringGrid::HasCellValidation()
{
    return (Options() & goTabs) || OnCellValidate || OnCellValidateWide;
}

bool TExStringGrid::CellEditAllowed(int ACol, int ARow)
{
    int bc = ACol, br = ARow;
    if (IsMergedNonBaseCell(ACol, ARow)) {
        const TPoint b = BaseCell(ACol, ARow);
        bc = b.X;
        br = b.Y;
    }
    bool canEdit = true;
    QueryCellEdit(bc, br, canEdit);
    bool fixed = false;
    IsFixedCell(RealColIndex(bc), br, fixed);
    return canEdit && !fixed;
}

bool TExStringGrid::IsEditable(int ACol, int ARow)
{
    const bool editableGrid = (Options() & goEditing) || MouseActions()->RangeSelectAndEdit || FEditDisable;
    return editableGrid && CellEditAllowed(ACol, ARow);
}

bool TExStringGrid::IsFixed(int ACol, int ARow)
{
    const int rc = RealColIndex(ACol);
    int bc = rc, br = ARow;
    if (IsMergedNonBaseCell(rc, ARow)) {
        const TPoint b = BaseCell(rc, ARow);
        bc = b.X;
        br = b.Y;
    }
    const int dc = DisplColIndex(bc);
    if (br >= RowCount() - FixedFooters() && br < RowCount())
        return true;
    if (dc >= ColCount() - FixedRightCols() && dc < ColCount())
        return true;
    bool fixed = false;
    IsFixedCell(bc, br, fixed);
    return fixed;
}

// ---------------------------------------------------------------------------
// Hooks kept with the engine
// ---------------------------------------------------------------------------

void TExStringGrid::CellChanging(int ACol, int ARow, bool& Allow)
{
    if (ARow != Row() && OnRowChanging)
        OnRowChanging(this, Row(), ARow, Allow);
    if (ACol != Col() && OnColChanging)
        OnColChanging(this, Col(), ACol, Allow);
    if ((ARow != Row() || ACol != Col()) && !FDisableChange && OnCellChanging)
        OnCellChanging(this, Row(), Col(), ARow, ACol, Allow);
}

void TExStringGrid::ClickSort(int ACol)
{
    if (OnClickSort)
        OnClickSort(this, ACol);
}

void TExStringGrid::CheckBoxClick(int ACol, int ARow, bool State)
{
    if (OnCheckBoxClick)
        OnCheckBoxClick(this, ACol, ARow, State);
}

void TExStringGrid::PrintGetPageNum(int PageNum, int PageColNum, QString& PageNumString)
{
    if (OnPrintGetPageNum)
        OnPrintGetPageNum(this, PageNum, PageColNum, PageNumString);
}

bool TExStringGrid::CanShowFixedDropDown(int ACol)
{
    bool canShow = true;
    if (OnCanShowFixedDropDown)
        OnCanShowFixedDropDown(this, ACol, canShow);
    return canShow;
}

void TExStringGrid::StartBlockFocus()
{
    if (FOnStartBlockFocus)
        FOnStartBlockFocus(this);
}

void TExStringGrid::EndBlockFocus()
{
    if (FOnEndBlockFocus)
        FOnEndBlockFocus(this);
}

void TExStringGrid::SelectAllByKey(TGridRect&) {}
void TExStringGrid::MouseActionsChanged(TObject*) {}
void TExStringGrid::NavigationChanged(TObject*) {}
void TExStringGrid::MouseActionsIsDesigning(TObject*, bool& Designing)
{
    Designing = (ComponentState() & csDesigning) != 0;
}
void TExStringGrid::MouseActionsInvalidate(TObject*) { Invalidate(); }
void TExStringGrid::MouseActionsDisableEdit(TObject*) { SetOptions(Options() & ~goEditing); }

bool TExStringGrid::CellIsPassword(int ACol, int ARow)
{
    bool isPassword = false;
    IsPasswordCell(ACol, ARow, isPassword);
    return isPassword;
}

void TExStringGrid::GetEditorProp(int ACol, int ARow, TObject* AEditLink)
{
    if (OnGetEditorProp)
        OnGetEditorProp(this, ACol, ARow, AEditLink);
    if (OnGetEditorPropInt)
        OnGetEditorPropInt(this, ARow, ACol);
}

void TExStringGrid::FormulaEditState(bool) {}

// ---------------------------------------------------------------------------
// SelectCell
// ---------------------------------------------------------------------------

bool TExStringGrid::SelectCell(int ACol, int ARow)
{
    // 1. The old selection.
    const TGridRect oldSel = Selection();

    // 2. A forced selection is always allowed.
    const int rowBefore = Row();
    if (FForceSel) {
        RepaintRowIndicator(rowBefore, ARow);
        return true;
    }

    // 3. No window to show it in yet.
    if (!Parent())
        return true;

    // 4. The target is scrolled clear of the footer panels.
    if (ACol >= 0 && ARow >= 0 && !ScrollClearOfFooters(ACol, ARow))
        return false;

    // 5. Off the grid.
    if (ACol < 0 || ARow < 0)
        return false;

    // 6. A covered cell of a merged block: its base cell becomes current.
    const int rc = RealColIndex(ACol);
    if (IsMergedNonBaseCell(rc, ARow) && !(Options() & goRangeSelect)) {
        const TPoint b = BaseCell(rc, ARow);
        const int bc = DisplColIndex(b.X);
        MoveColRow(bc, b.Y, true, true);
        RepaintCell(bc, b.Y);
        if (MouseActions()->DirectEdit || (ControlLook()->DropDownAlwaysVisible() && HasComboBox(rc, ARow)))
            ShowInplaceEdit();
        return false;
    }

    // 7. Column 0 holds the node buttons of node rows.
    if (ACol == 0 && HasNodeRows() && !(Options() & goRowSelect))
        return false;

    // 8. Disabled rows are skipped.
    if (FUseEnabledRows && Navigation()->SkipDisabledRows && !GetRowEnabled(ARow))
        return false;

    // 9. Editable or not.
    const int oldCol = Col();
    const int oldRow = Row();
    QString newText = GetCellEx(rc, ARow);
    const bool editorFocused = EditorOwnsFocus();
    if (HasCellControl(rc, ARow)) {
        bool canEdit = true;
        QueryCellEdit(rc, ARow, canEdit);
        if (!FEditDisable)
            FEditDisable = !canEdit && ((Options() & goEditing) || MouseActions()->RangeSelectAndEdit);
        if (!(Options() & (goEditing | goRowSelect)) && canEdit) {
            FEditChange = true;
            SetOptions(Options() | goEditing);
        }
    } else {
        bool canEdit = (Options() & goEditing) || FEditDisable;
        QueryCellEdit(rc, ARow, canEdit);
        if (canEdit && MouseActions()->DirectEdit) {
            EditControl = DefaultEditor;
            if (IsNoEditorCell(rc, ARow))
                canEdit = false;
        }
        if (MouseActions()->EditOnDblClickOnly())
            canEdit = false;
        if (canEdit) {
            FEditDisable = false;
            if (!(Options() & goEditing)) {
                FEditChange = true;
                if (!FEditing)
                    StoreOldCell(ACol, ARow);
                TGridOptions o = Options();
                if ((o & goRowSelect) && MouseActions()->RangeSelectAndEdit)
                    o &= ~goRowSelect;
                SetOptions(o | goEditing);
            }
            if (FEditing && !CloseEditBeforeMove())
                return false;
            newText = GetCellEx(rc, ARow);
        } else {
            if (FEditing && !CloseEditBeforeMove())
                return false;
            newText = GetCellEx(rc, ARow);
            if (Options() & goEditing) {
                EditMode = false;
                FEditDisable = true;
                FEditChange = true;
                SetOptions(Options() & ~goEditing);
                SetEditorMode(false);
            }
        }
    }

    // 10. May the current cell change?
    bool result = false;
    if (!FEditing || editorFocused) {
        bool allow = true;
        CellChanging(ACol, ARow, allow);
        if (IsFixed(ACol, ARow) || !allow)
            result = (allow && (Options() & goRowSelect)) || (FixedRowAlways && RowCount() == FixedRows());
        else
            result = TBaseGrid::SelectCell(ACol, ARow);
    } else {
        const QString cache = FCellCache;
        // A refused value keeps the edited cell current (validation has
        // moved back to it and reopened its editor).
        const bool valid = ValidateCell(GetCurrentCell());
        bool allow = true;
        if (valid)
            CellChanging(ACol, ARow, allow);
        result = valid && allow;
        if (result)
            result = TBaseGrid::SelectCell(ACol, ARow);
        if (!result)
            newText = cache;
    }

    // 11. Repaints that follow the current cell.
    RepaintRowIndicator(oldRow, ARow);
    if (ActiveCellShow()) {
        RepaintActiveHeaders(oldCol, oldRow, ARow, ACol);
        if (oldSel.Left != oldCol && oldSel.Top != oldRow)
            RepaintActiveHeaders(oldSel.Left, oldSel.Top, ARow, ACol);
    }
    if (ActiveRowShow()) {
        RepaintRow(ARow);
        RepaintRow(oldSel.Top);
    }
    if (SelectionRectangle())
        InvalidateGridRect(Selection());

    // 12. The row the application last heard of.
    if (!Loading() && ARow != FOldRowSel && OnRowUpdate) {
        OnRowUpdate(this, FOldRowSel, ARow);
        FOldRowSel = ARow;
    }

    // The selection listener hears of the new row.
    if (result)
        NotifySelListener(Col(), ARow);

    // 13. Cell borders drawn by OnGetCellBorder follow the selection (the
    // columns counted from the fixed-row count).
    if (HasCellBorders())
        RepaintRect(TRect{FixedRows(), oldSel.Top, FixedRows() + VisibleColCount(), oldSel.Bottom});

    // 14. The text the next edit of this cell starts from.
    FCellCache = newText;
    return result;
}

void TExStringGrid::RepaintRowIndicator(int OldRow, int NewRow)
{
    if (!RowIndicator() || RowIndicator()->Empty() || FixedCols() <= 0)
        return;
    if (OldRow >= 0 && OldRow < RowCount())
        RepaintCell(0, OldRow);
    if (NewRow >= 0 && NewRow < RowCount())
        RepaintCell(0, NewRow);
}

TAlignment TExStringGrid::EditCellAlignment(int ACol, int ARow)
{
    const int rc = RealColIndex(ACol);
    TAlignment ha = HasCellProperties(rc, ARow) ? GetAlignments(rc, ARow) : taLeftJustify;
    TVAlignment va = vtaTop;
    GetCellAlign(rc, ARow, ha, va);
    return ha;
}

bool TExStringGrid::ScrollClearOfFooters(int ACol, int ARow)
{
    const int searchHeight = SearchPanel() ? SearchPanel()->Height() : 0;
    const int b = SearchFooter()->Visible() ? searchHeight + 2 : 0;
    const int clientBottom = ClientHeight();
    // The cell's bottom lies under the line `limit` while the grid can still
    // scroll one row further.
    auto below = [&](int limit) {
        const TRect r = TBaseGrid::CellRect(ACol, ARow);
        return !r.IsEmpty() && r.Bottom > limit;
    };
    auto scrollOne = [&] {
        const int top = TopRow();
        SetTopRow(top + 1);
        return TopRow() != top;
    };
    if (FloatingFooter()->Visible) {
        const int footerHeight = FooterPanel() ? FooterPanel()->Height() : 0;
        if (FloatingFooter()->FooterStyle == fsFixedLastRow) {
            if (ARow >= TopRow() + VisibleRowCount())
                SetTopRow(ARow + FixedRows() - VisibleRowCount());
            if (below(clientBottom - footerHeight - b + 2) && ARow < RowCount() - 1)
                scrollOne();
            // The last row is the one the footer shows.
            if (ARow == RowCount() - 1)
                return false;
        } else {
            if (FooterPanel())
                FooterPanel()->Invalidate();
            if (below(clientBottom - footerHeight - b + 2) && ARow < RowCount())
                scrollOne();
        }
    }
    if (SearchFooter()->Visible()) {
        while (below(clientBottom - searchHeight + 2) && ARow <= RowCount() - 1 && TopRow() < RowCount() - 1)
            if (!scrollOne())
                break;
    }
    return true;
}

// Closing the editor validates the edit (the current cell is selected
// again); a refused value has reopened the editor on the edited cell, which
// then stays current.
bool TExStringGrid::CloseEditBeforeMove()
{
    if (!EditMode)
        return true;
    HideInplaceEdit();
    return !FEditing;
}

// ---------------------------------------------------------------------------
// Showing and hiding the editor
// ---------------------------------------------------------------------------

bool TExStringGrid::CanEditShow()
{
    // 1.
    if (FValidating)
        return false;
    // 2.
    bool result = TBaseGrid::CanEditShow();
    // 3.
    const int rc = RealColIndex(Col());
    int bc = rc, br = Row();
    if (IsMergedNonBaseCell(rc, br)) {
        const TPoint b = BaseCell(rc, br);
        bc = b.X;
        br = b.Y;
    }
    if (result && !EditMode && HasCellControl(bc, br))
        return false;
    // 4.
    if (result && !EditMode) {
        FNoEditChange = true;
        FCellCache = GetCurrentCell();
        EditControl = DefaultEditor;
        GetCellEditor(bc, br, EditControl);
        if (EditControl == edNone)
            return false;
        EditMode = true;
        if (IsTextEditorKind(EditControl)) {
            FShowEditProcess = true;
        } else {
            OpenCellEditor(DisplColIndex(bc), br);
            FEntered = true;
            if (FocusHelper()->Enabled)
                ShowFocusWindow(TBaseGrid::CellRect(Col(), Row()));
            return false;
        }
    }
    // 5.
    if (result) {
        FEntered = true;
        FEditing = true;
        if (FocusHelper()->Enabled)
            ShowFocusWindow(TBaseGrid::CellRect(Col(), Row()));
    }
    return result;
}

void TExStringGrid::ShowInplaceEdit()
{
    if (HasClickableControl(Col(), Row()))
        return;
    if (Row() < TopRow())
        SetTopRow(Row());
    if (Col() < LeftCol())
        SetLeftCol(Col());
    ShowEditor();
}

void TExStringGrid::HideInplaceEdit()
{
    if (!EditMode)
        return;
    HideEditor();
    CloseCellEditor(Col(), Row());
    EditMode = false;
    SelectCell(Col(), Row());
}

void TExStringGrid::ShowCellEdit()
{
    TMessage m{WM_KEYDOWN, VK_F2, 0, 0};
    WindowProc(m);
}

void TExStringGrid::HideCellEdit() { CloseCellEditor(Col(), Row()); }

// ---------------------------------------------------------------------------
// The editor's text, mask and limit
// ---------------------------------------------------------------------------

QString TExStringGrid::GetEditText(int ACol, int ARow)
{
    FNoEditChange = true;
    const int rc = RealColIndex(ACol);
    if (TExInplaceEdit* ed = NormalEdit())
        ed->SetVAlign(EditCellAlignment(ACol, ARow) == taRightJustify);
    int bc = rc, br = ARow;
    if (IsMergedNonBaseCell(rc, ARow)) {
        const TPoint b = BaseCell(rc, ARow);
        bc = b.X;
        br = b.Y;
    }
    const QString s = TBaseGrid::GetEditText(bc, br);
    return EditWithTags ? s : StripMarkup(s);
}

void TExStringGrid::SetEditText(int ACol, int ARow, const QString& Value)
{
    int c = RealColIndex(ACol), r = ARow;
    if (IsMergedNonBaseCell(c, r)) {
        const TPoint b = BaseCell(c, r);
        c = b.X;
        r = b.Y;
    }
    TBaseGrid::SetEditText(c, r, Value);
}

QString TExStringGrid::GetEditMask(int ACol, int ARow)
{
    QString value = EditMask;
    if (OnGetEditMask)
        OnGetEditMask(this, ACol, ARow, value);
    return value;
}

int TExStringGrid::GetEditLimit() { return MaxEditLength(); }
