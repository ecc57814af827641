// Ending an edit: the special editor's value written back, the new text
// validated against the text the cell had when it became current, the
// editing-done notice; and the advance to the next cell after Enter.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExInplaceEdit.h"

#include "platform/controls/Messages.h"

namespace {
// Sets a flag for a scope and restores the saved value afterwards, also when
// an event handler raises.
} // namespace

void TExStringGrid::StoreEditValue(int ACol, int ARow, const QString& Value)
{
    SetEditText(DisplColIndex(ACol), ARow, Value);
    SetCellEx(ACol, ARow, Value);
}

void TExStringGrid::CancelCellEdit()
{
    const int rc = RealCol();
    SetCellEx(rc, Row(), FCellCache);
    SetCellEx(rc, Row(), GetCellEx(rc, Row()));
}

void TExStringGrid::NotifyEditingDone(int ACol, int ARow)
{
    if (OnEditingDone)
        OnEditingDone(this);
    EditMode = false;
    PostMessage(Handle(), GridEditDoneMsg(), WPARAM(ACol), LPARAM(ARow));
}

void TExStringGrid::DoneInplaceEdit(unsigned Key, TShiftState Shift)
{
    FBlockFocus = true;
    struct TEnd {
        TExStringGrid* g;
        ~TEnd() { g->FBlockFocus = false; }
    } end{this};
    FEditing = false;
    HideInplaceEdit();
    if (Navigation()->AppendOnArrowDown && Key == VK_DOWN && IsLastDataRow())
        AutoAppendRow();
    if (Key == VK_TAB || (Key >= VK_LEFT && Key <= VK_DOWN)) {
        unsigned k = Key;
        KeyDown(k, Shift);
    }
    TRestoreBool alwaysEdit(Navigation()->AlwaysEdit, false);
    if (CanFocus())
        SetFocus();
    if (Key == VK_RETURN)
        AdvanceEditCell(Col(), Row(), false, false, true, true, false);
}

// ---------------------------------------------------------------------------
// Validation
// ---------------------------------------------------------------------------

bool TExStringGrid::ValidateCell(const QString& NewValue)
{
    // 1.
    if (!FEditing || FValidating)
        return true;
    // 2.
    FEditing = false;
    FValidating = true;
    bool valid = true;
    const int rcol = RealColIndex(FOldCol);
    FNewCellText = NewValue;
    // 16. Whatever happens, the current cell is the next reference and the
    // validation is over.
    struct TEnd {
        TExStringGrid* g;
        ~TEnd()
        {
            g->StoreOldCell(g->Col(), g->Row());
            g->FValidating = false;
        }
    } end{this};

    // 3.
    if (NewValue == FOldCellText && !AlwaysValidate)
        return true;

    // 4.-6.
    const bool changed = NewValue != FOldCellText;
    QString value = NewValue;
    {
        TRestoreBool noAdvance(Navigation()->AdvanceOnEnter, false);
        if (CellChecker() && CellChecker()->AutoCorrect())
            value = CellChecker()->Correct(rcol, FOldRow, value);
        if (OnCellValidate)
            OnCellValidate(this, rcol, FOldRow, value, valid);
        // 7.
        if (value != FOldCellText) {
            FGridModified = true;
            if (FixedCols() > 0) {
                SetRowModified(RealRowIndex(Row()), true);
                if (ShowModified()->Enabled)
                    RepaintCell(0, Row());
            }
        }
        // 8.
        if (valid)
            RecalcColumn(rcol, FOldRow);
        // 9.
        if (CellChecker() && CellChecker()->AutoMarkError())
            value = CellChecker()->MarkError(rcol, FOldRow, value);
        // 10.
        if (valid && UndoRedo())
            UndoRedo()->RegisterChange(rcol, FOldRow, FOldCellText, value);
        // 11.
        if (valid && changed) {
            CellsChanged(TRect{rcol, FOldRow, rcol, FOldRow});
        }
    }
    // 12.
    FNewCellText = value;

    if (valid) {
        // 13.
        SetCells(rcol, FOldRow, value);
        if (IsMergedNonBaseCell(rcol, FOldRow))
            SetCellEx(rcol, FOldRow, value);
    } else {
        // 14. The refused value never stays: the cell gets the handler's
        // text or its old one back, and the editor opens again on it
        // showing what was settled on.
        FLastValidation = false;
        const QString written = value != NewValue ? value : FOldCellText;
        if (value == NewValue && EditMode)
            FValidating = false;
        HideEditor();
        SetCells(rcol, FOldRow, written);
        if (FOldCol >= 0 && FOldCol < ColCount() && FOldRow >= 0 && FOldRow < RowCount() &&
            (Col() != FOldCol || Row() != FOldRow))
            MoveColRow(FOldCol, FOldRow, true, true);
        FValidating = false;
        FEditing = true;
        ShowInplaceEdit();
        if (TExInplaceEdit* ed = NormalEdit(); ed && ed->Visible() && IsTextEditorKind(EditControl)) {
            TRestoreBool quiet(FNoEditChange, true);
            ed->SetText(FNewCellText);
        }
        if (value == NewValue && Col() != FOldCol)
            InvalidateEditor();
        Modified = FOldModifiedValue;
        if (!InvalidEntryTitle.isEmpty() || !InvalidEntryText.isEmpty()) {
            TCustomEdit* target = nullptr;
            if (!FSpecialEditor && EditMode)
                target = NormalEdit();
            else
                target = dynamic_cast<TCustomEdit*>(EditCtrl);
            if (target)
                target->ShowBalloonTip(InvalidEntryTitle, InvalidEntryText, int(InvalidEntryIcon));
        }
    }
    // 15.
    FOldCellText = GetGridCell(rcol, FOldRow);
    // 17.
    if (valid)
        HideFocusWindow();
    return valid;
}

bool TExStringGrid::ValidateCellWide(const QString& NewValue)
{
    if (!FEditing || FValidating)
        return true;
    FEditing = false;
    FValidating = true;
    bool valid = true;
    const int rcol = RealColIndex(FOldCol);
    struct TEnd {
        TExStringGrid* g;
        ~TEnd()
        {
            g->StoreOldCell(g->Col(), g->Row());
            g->FValidating = false;
        }
    } end{this};
    if (NewValue == FOldCellTextWide && !AlwaysValidate)
        return true;
    QString value = NewValue;
    RecalcColumn(rcol, FOldRow);
    if (OnCellValidateWide)
        OnCellValidateWide(this, rcol, FOldRow, value, valid);
    if (NewValue != FOldCellTextWide) {
        FGridModified = true;
        if (ShowModified()->Enabled && FixedCols() > 0) {
            SetRowModified(FOldRow, true);
            RepaintCell(0, FOldRow);
        }
    }
    if (valid) {
        SetCells(rcol, FOldRow, value);
    } else {
        const QString written = value != NewValue ? value : FOldCellTextWide;
        HideEditor();
        SetCells(rcol, FOldRow, written);
        if (Col() != FOldCol || Row() != FOldRow)
            MoveColRow(FOldCol, FOldRow, true, true);
        FValidating = false;
        FEditing = true;
        ShowInplaceEdit();
        Modified = FOldModifiedValue;
    }
    FOldCellTextWide = GetGridCell(rcol, FOldRow);
    return valid;
}

// ---------------------------------------------------------------------------
// Edit advance
// ---------------------------------------------------------------------------

int TExStringGrid::FirstDataCol()
{
    if (FixedCols() == 0 && HasNodeRows())
        return 1;
    return FixedCols();
}

int TExStringGrid::VisibleFixedRightCols()
{
    // Fixed right columns that are hidden do not count.
    int n = 0;
    for (int c = ColCount() - FixedRightCols(); c < ColCount(); ++c)
        if (c >= 0 && ColWidths(c) > 0)
            ++n;
    return n;
}

void TExStringGrid::AdvanceEditCell(int ACol, int ARow, bool ShowEditor, bool Recursing, bool Forward,
                                    bool AutoEdit, bool Force)
{
    TNavigation* nav = Navigation();
    // 1.
    if (!nav->AdvanceOnEnter && !Force)
        return;
    // 2.
    if (MouseActions()->RangeSelectAndEdit && !(Options() & goEditing))
        SetOptions(Options() | goEditing);
    // 3.
    if (!Recursing) {
        FAECol = ACol;
        FAERow = ARow;
        FAdvanceSkips = 0;
    }
    const int origCol = ACol;
    const int origRow = ARow;
    FStartEditChar = QChar();
    const TPoint span = CellSpan(RealColIndex(ACol), ARow);
    const int lastDataRow = RowCount() - FixedFooters() - 1;
    const int lastCol = ColCount() - FixedRightCols() - 1;
    const TAdvanceDirection dir = nav->AdvanceDirection();

    if (Forward && (dir == adLeftRight || dir == adLeftRightInRow)) {
        // 4.
        if (ACol + span.X < ColCount() - VisibleFixedRightCols() - 1) {
            ACol = ACol + span.X + 1;
        } else if (dir == adLeftRightInRow) {
            if (nav->AdvanceOnEnterLoop)
                ACol = FirstDataCol();
        } else if (ARow == lastDataRow) {
            if (nav->AdvanceInsert()) {
                bool allow = true;
                CanAddRow(allow);
                ACol = FirstDataCol();
                if (allow) {
                    AddRow();
                    ++ARow;
                    if (OnAutoAddRow)
                        OnAutoAddRow(this, RowCount() - FixedFooters() - 1);
                    bool anyEditable = false;
                    for (int c = FixedCols(); c < ColCount() && !anyEditable; ++c)
                        anyEditable = IsEditable(c, ARow);
                    if (!anyEditable)
                        return;
                }
            } else if (nav->AdvanceOnEnterLoop) {
                ARow = FixedRows();
                ACol = FirstDataCol();
            }
        } else {
            ++ARow;
            ACol = FirstDataCol();
        }
    } else if (Forward) {
        // 5.
        if (ARow != lastDataRow) {
            ++ARow;
        } else if (dir == adTopBottomInCol) {
            ARow = FixedRows();
        } else {
            if (ACol != lastCol) {
                ARow = FixedRows();
                ++ACol;
                if (ACol >= ColCount())
                    ACol = FirstDataCol();
            } else if (nav->AdvanceInsert()) {
                SetColCount(ColCount() + 1);
                ACol = ACol + span.X + 1;
                ARow = FixedRows();
                if (OnAutoInsertCol)
                    OnAutoInsertCol(this, ColCount() - FixedRightCols() - 1);
            } else {
                ARow = FixedRows();
                ACol = FirstDataCol();
            }
            Invalidate();
        }
    } else if (dir == adLeftRight) {
        // 6.
        if (ACol > FirstDataCol()) {
            --ACol;
        } else if (ARow > FixedRows()) {
            --ARow;
            ACol = lastCol;
        } else {
            ARow = lastDataRow;
            ACol = lastCol;
        }
    } else if (dir == adTopBottom) {
        if (ARow > FixedRows()) {
            --ARow;
        } else if (ACol > FirstDataCol()) {
            --ACol;
            ARow = lastDataRow;
        } else {
            ACol = lastCol;
            ARow = lastDataRow;
        }
    }

    // 7.
    bool canEdit = true;
    QueryCellEdit(RealColIndex(ACol), ARow, canEdit);
    if (canEdit) {
        bool allow = true;
        if (OnAutoAdvance)
            OnAutoAdvance(this, FAERow, FAECol, ARow, ACol, allow);
        if (allow) {
            if (OnCellChanging)
                OnCellChanging(this, FAERow, FAECol, ARow, ACol, allow);
            FDisableChange = true;
            if (allow && ACol >= 0 && ACol < ColCount() && ARow >= 0 && ARow < RowCount()) {
                SetCol(ACol);
                SetRow(ARow);
            } else {
                SelectCell(origCol, origRow);
            }
        } else {
            SelectCell(origCol, origRow);
        }
        FDisableChange = false;
    } else if (nav->AdvanceSkipReadOnlyCells) {
        // Continue from the read-only cell, but at most one round over the
        // data cells: a grid whose every reachable cell is read-only keeps
        // its current cell.
        const int dataCols = std::max(1, ColCount() - FixedCols() - FixedRightCols());
        const int dataRows = std::max(1, lastDataRow - FixedRows() + 1);
        if (++FAdvanceSkips > dataCols * dataRows)
            return;
        AdvanceEditCell(ACol, ARow, ShowEditor, true, Forward, AutoEdit, Force);
        return;
    } else if (ACol >= 0 && ACol < ColCount() && ARow >= 0 && ARow < RowCount()) {
        SetCol(ACol);
        SetRow(ARow);
    }

    // 8.
    if (!ShowEditor)
        return;
    struct TRowSelectAfter {
        TExStringGrid* g;
        ~TRowSelectAfter()
        {
            if (g->MouseActions()->DisjunctRowSelect()) {
                g->ClearRowSelect();
                g->SetRowSelect(g->Row(), true);
            }
        }
    } rowSelect{this};
    const bool control = HasClickableControl(Col(), Row());
    if ((AutoEdit && nav->AdvanceAutoEdit) || control) {
        if (!IsEditable(Col(), Row()))
            return;
        TBaseGrid::ShowEditor();
        if (control) {
            const int newCol = Col(), newRow = Row();
            FDisableChange = true;
            SetCol(origCol);
            SetRow(origRow);
            SetCol(newCol);
            SetRow(newRow);
            if (!HasClickableControl(origCol, origRow)) {
                const TRect r = TBaseGrid::CellRect(Col(), Row());
                MouseDown(mbLeft, 0, r.Left + 2, r.Top + 2);
                MouseUp(mbLeft, 0, r.Left + 2, r.Top + 2);
                if (dir != adLeftRight)
                    HideEditor();
            }
            FDisableChange = false;
            if (OnCellChanging) {
                bool unused = true;
                OnCellChanging(this, origRow, origCol, Row(), Col(), unused);
            }
            TEditorType k = DefaultEditor;
            GetCellEditor(RealColIndex(origCol), origRow, k);
            if (!IsTextEditorKind(k) || k == edValidChars)
                HideEditor();
        }
    }
}
