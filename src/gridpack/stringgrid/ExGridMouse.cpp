// The string grid's mouse buttons: the left press (check boxes, a click on
// a cell, the direct editor), its release (OnClick of header presses), the
// double click (with the header border's automatic width), the right
// button and the grid's MouseDown/MouseUp steps. The release hands a header
// click to the sort (ExGridHeaderMouse.cpp); sizing by drag, moving rows
// and columns and resizing the selection are not handled here.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExGridEditors.h"

#include "gridpack/basegrid/ExGridWindows.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdMessages.h"

#include <algorithm>
#include <cstdlib>

namespace {
bool KeyHeld(int vk) { return GetKeyState(vk) & 0x8000; }

bool Contains(const TGridRect& s, int c, int r)
{
    const int l = std::min(s.Left, s.Right), rt = std::max(s.Left, s.Right);
    const int t = std::min(s.Top, s.Bottom), b = std::max(s.Top, s.Bottom);
    return c >= l && c <= rt && r >= t && r <= b;
}
} // namespace

// ---------------------------------------------------------------------------
// Left button press
// ---------------------------------------------------------------------------

void TExStringGrid::WMLButtonDown(TMessage& M)
{
    const int X = GetXLParam(M.LParam), Y = GetYLParam(M.LParam);
    TMouseActions* ma = MouseActions();
    // 1.
    FDoOnClick = true;
    FMouseDownMove = true;
    FMouseKeepDown = true;
    FSpinUpClick = FSpinDnClick = false;
    bool removeEditing = false;
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const TGridRect oldSel = Selection();
    // 3. A range selection starts without the editor.
    if ((Options() & goEditing) && ma->RangeSelectAndEdit && !Contains(oldSel, ACol, ARow))
        SetOptions(Options() & ~goEditing);
    // 4.
    bool allow = true;
    if (OnCanClickCell)
        OnCanClickCell(this, ARow, ACol, allow);
    if (!allow)
        return;
    // 7. One modifier at most: Alt before Shift before Ctrl.
    TShiftState shift = 0;
    if (KeyHeld(VK_CONTROL))
        shift = ssCtrl;
    if (KeyHeld(VK_SHIFT))
        shift = ssShift;
    if (KeyHeld(VK_MENU))
        shift = ssAlt;
    // 8.
    if (ma->DisjunctCellSelect() && !(shift & ssCtrl) && ACol >= 0 && ARow >= 0 && !IsFixed(ACol, ARow)) {
        SelectedCells()->Clear();
        Invalidate();
    }
    // 9., 11.
    FAnchor.clear();
    FMoveColInd = -1;
    FMoveRowInd = -1;
    FSelectionClick = false;
    FOldKeepLeftCol = LeftCol();
    FPushedCellButton = TPoint(-1, -1);
    Movecell = -1;
    Clickposx = X;
    Clickposy = Y;
    // 15. A press on a fixed column's (row's) border sizes it.
    if (FFixedColSizeHover || FFixedRowSizeHover) {
        const bool cols = FFixedColSizeHover;
        int S = 0;
        const int n = cols ? FixedCols() : FixedRows();
        int found = -1;
        for (int i = 0; i < n; ++i) {
            const int e = cols ? ColWidths(i) : RowHeights(i);
            if (std::abs(S + e - (cols ? X : Y)) < 3 && !(ComponentState() & csDesigning))
                found = i;
            S += e + 1;
        }
        if (cols) {
            FSizingFixed = true;
            FSizeFixedX = X;
            FSizingFixedCol = found;
        } else {
            FSizingFixedR = true;
            FSizeFixedY = Y;
            FSizingFixedRow = found;
        }
        UpdateSizeLine();
        return;
    }
    // 12.
    const bool fixedPress = (ARow < FixedRows() || ACol < FixedCols()) && ACol >= 0 && ARow >= 0;
    // 13. Outside every cell.
    if (ACol < 0 || ARow < 0) {
        HideInplaceEdit();
        if (!FixedRowAlways)
            TBaseGrid::WMLButtonDown(M);
        return;
    }
    const int origCol = ACol, origRow = ARow;
    // 14. The base cell of a merged block.
    {
        const TPoint b = BaseCell(RealColIndex(ACol), ARow);
        ACol = DisplColIndex(b.X);
        ARow = b.Y;
    }
    const TRect cellRect = CellRect(ACol, ARow);
    if (ma->CaretPositioning)
        LButFlg = true;
    // 16.
    if (fixedPress || IsFixed(ACol, ARow))
        HideInplaceEdit();
    const bool fixedInside = IsFixed(ACol, ARow) && !fixedPress;
    // 18.
    const int realCol = RealColIndex(ACol);
    // 19. A press on a cell's spin button: the opened spin editor steps once.
    if (ControlLook()->SpinButtonsAlwaysVisible() && HasSpinEdit(ACol, ARow) && X > cellRect.Right - 18) {
        if (Y > cellRect.Top + (cellRect.Bottom - cellRect.Top) / 2)
            FSpinDnClick = true;
        else
            FSpinUpClick = true;
    }
    // 22. A radio group takes the press on its item.
    if (IsRadio(realCol, ARow) && (IsEditable(realCol, ARow) || ControlLook()->RadioAlwaysActive)) {
        HideInplaceEdit();
        ClickRadioGroupItem(realCol, ARow, X - cellRect.Left, Y - cellRect.Top);
        if (CanFocus())
            SetFocus();
        return;
    }
    // 24. A press on the selection may start a drag of it when the mouse
    // moves away (ExGridMouseMove.cpp).
    {
        const bool onSelection = IsSelected(ACol, ARow) || (ARow < FixedRows() && !EnhRowColMove);
        const bool headerSelect = ARow < FixedRows() && (ma->ColSelect || ma->AllSelect);
        const bool awayFromBorders = (X - cellRect.Left >= 4 && cellRect.Right - X >= 4) || !(Options() & goColSizing);
        if (onSelection && !(Options() & goEditing) && !HasButton(realCol, ARow) && !HasCheckBox(realCol, ARow) &&
            DragDropSettings()->OleDropSource && !headerSelect && ACol >= FixedCols() && awayFromBorders) {
            if (CanFocus())
                SetFocus();
            if (OnMouseDown)
                OnMouseDown(this, mbLeft, KeyboardShiftState(), X, Y);
            FSelectionClick = true;
            if (OnClickCell)
                OnClickCell(this, ARow, ACol);
            return;
        }
    }
    // 26. A cell button is pushed until the release.
    if (HasButton(realCol, ARow)) {
        HideInplaceEdit();
        if (!IsFixed(realCol, ARow)) {
            TRestoreBool force(FForceSel, true);
            MoveColRow(ACol, ARow, true, true);
        }
        if (GetCellButtonRect(ACol, ARow).Contains(Point(X, Y))) {
            PushButton(ACol, ARow, true);
            FPushedCellButton = TPoint(ACol, ARow);
            SetMouseCapture(true);
            if (OnClickCell)
                OnClickCell(this, ARow, ACol);
            return;
        }
    }
    // 29.
    if (ACol >= ColCount() || ARow >= RowCount()) {
        TBaseGrid::WMLButtonDown(M);
        return;
    }
    // 33.
    if (PressControlTag(ACol, ARow, realCol, origCol, origRow, X, Y))
        return;
    // 36. A press on a row header starts selecting whole rows.
    if (ACol < FixedCols() && ARow >= FixedRows() && ma->RowSelect && FMouseSelectMode == msRow) {
        if (EditorMode() && CanFocus())
            SetFocus();
        HideSelection();
        if (ma->DisjunctCellSelect())
            SelectedCells()->Clear();
        const bool shiftDown = KeyHeld(VK_SHIFT);
        const int other = shiftDown ? oldSel.Top : ARow;
        SetSelection(TGridRect{FixedCols(), std::min(ARow, other), ColCount() - 1, std::max(ARow, other)});
        FSelHidden = false;
        DoExit();
        FMouseSelectStart = ARow;
        if (ActiveCellShow())
            RepaintActiveHeaders(oldSel.Left, oldSel.Top, Col(), Row());
        if (RowIndicator() && !RowIndicator()->Empty())
            for (int r = 0; r < RowCount(); ++r)
                RepaintCell(0, r);
    }
    // 37. A press on a column header starts selecting whole columns.
    if (ACol >= FixedCols() && ARow < FixedRows() && ma->ColSelect && (Options() & goRangeSelect) &&
        FMouseSelectMode == msColumn) {
        if (CanFocus())
            SetFocus();
        HideSelection();
        if (ma->DisjunctCellSelect())
            SelectedCells()->Clear();
        int l = ACol, r = ACol;
        if (KeyHeld(VK_SHIFT)) {
            if (ACol < oldSel.Left)
                r = oldSel.Right;
            else
                l = oldSel.Left;
        }
        SetSelection(TGridRect{l, FixedRows(), r, RowCount() - 1});
        FSelHidden = false;
        DoExit();
        FMouseSelectStart = ACol;
        if (ActiveCellShow())
            RepaintActiveHeaders(oldSel.Left, oldSel.Top, Col(), Row());
    }
    // 38. The header cell offered for moving, and where it was taken.
    if (ACol >= FixedCols() && ARow < FixedRows())
        Movecell = ACol;
    else if (ACol < FixedCols() && ARow >= FixedRows())
        Movecell = ARow;
    MoveOfsX = X - cellRect.Left;
    MoveOfsY = Y - cellRect.Top;
    // 39.
    bool canEdit = (Options() & goEditing) || ma->RangeSelectAndEdit;
    QueryCellEdit(realCol, ARow, canEdit);
    // 40.
    if (PressCheckBox(ACol, ARow, realCol, X, Y, canEdit))
        return;
    // 41.
    const bool normal = ACol >= FixedCols() && ARow >= FixedRows();
    const bool hasCombo = ControlLook()->DropDownAlwaysVisible() && normal && HasComboBox(realCol, ARow);
    // 42.
    const bool mayEdit = canEdit || (ma->EditOnDblClickOnly() && hasCombo);
    if (normal && mayEdit && (ma->DirectEdit || hasCombo)) {
        if (ma->EditOnDblClickOnly() && hasCombo)
            FEditActive = false;
        HideInplaceEdit();
        if (CanFocus())
            SetFocus();
    }
    // 43.
    const TGridRect sel = Selection();
    const bool soleCell = cellRect.Contains(Point(X, Y)) && sel.Left == ACol && sel.Right == ACol &&
                          sel.Top == ARow && sel.Bottom == ARow;
    if (!soleCell && ma->RangeSelectAndEdit && !IsFixed(ACol, ARow) && !canEdit) {
        removeEditing = true;
        SetOptions(Options() & ~goEditing);
    }
    // 44. A data cell that reports itself fixed.
    if (fixedInside) {
        const bool footerRow = FloatingFooter()->Visible && ARow == RowCount() - 1;
        if (OnClickCell && !footerRow)
            OnClickCell(this, ARow, ACol);
        return;
    }
    // 46. The library's press: the current cell, range selection, sizing.
    {
        TRestoreBool always(Navigation()->AlwaysEdit, false);
        TBaseGrid::WMLButtonDown(M);
    }
    // 47. Not in the header's column sizing zone.
    const bool sizingZone = (Options() & goColSizing) && ARow < FixedRows() &&
                            (X - cellRect.Left < 4 || cellRect.Right - X < 4);
    if (!sizingZone && OnClickCell)
        OnClickCell(this, ARow, ACol);
    // 48.
    if (OnCellValidate) {
        FEntered = false;
        StoreOldCell(Col(), Row());
    }
    // 49.
    if (IsMergedCell(realCol, ARow) && !IsFixed(ACol, ARow) && canEdit && (soleCell || ma->DirectEdit))
        ShowInplaceEdit();
    // 50. The direct editor.
    if (X - cellRect.Left >= 4 && cellRect.Right - X >= 4 && normal && mayEdit && (ma->DirectEdit || hasCombo) &&
        !HasCellControl(realCol, ARow)) {
        if (ma->EditOnDblClickOnly() && hasCombo && !(Options() & goEditing)) {
            SetOptions(Options() | goEditing);
            if (CanFocus())
                SetFocus();
        }
        allow = true;
        if (Row() != ARow && OnRowChanging)
            OnRowChanging(this, Row(), ARow, allow);
        if (Col() != ACol && OnColChanging)
            OnColChanging(this, Col(), ACol, allow);
        if ((Row() != ARow || Col() != ACol) && OnCellChanging)
            OnCellChanging(this, Row(), Col(), ARow, ACol, allow);
        if (allow) {
            SetSelection(TGridRect{ACol, ARow, ACol, ARow});
            StoreOldCell(ACol, ARow);
            ShowEditor();
        }
    }
    (void)removeEditing;
}

bool TExStringGrid::PressCheckBox(int ACol, int ARow, int RealCol, int X, int Y, bool CanEdit)
{
    TMouseActions* ma = MouseActions();
    if (ACol >= ColCount() || ARow >= RowCount())
        return false;
    const bool hotmail = ACol == 0 && ma->HotmailRowSelect();
    if (!(CanEdit || ControlLook()->CheckAlwaysActive || hotmail))
        return false;
    const bool radioButton = HasRadioButton(RealCol, ARow);
    if (!(HasCheckBox(RealCol, ARow) || radioButton) || !IsInCheckBox(RealCol, ARow, X, Y))
        return false;
    // 1.
    HideInplaceEdit();
    if (CanFocus())
        SetFocus();
    const int realRow = RealRowIndex(ARow);
    // 2.
    if (radioButton) {
        ClickRadioButton(RealCol, ARow, true);
        if (OnRadioButtonClick)
            OnRadioButtonClick(this, RealCol, ARow);
    } else {
        DoToggleCheckBox(RealCol, ARow, true);
    }
    // 3.
    if (ShowModified()->Enabled) {
        SetRowModified(ARow, true);
        RepaintCell(0, ARow);
    }
    // 5.
    bool state = false;
    GetCheckBoxState(RealCol, realRow, state);
    // 6. The cell becomes current without an editor.
    if (!Navigation()->AlwaysEdit && ARow >= FixedRows() && ACol >= FixedCols())
        MoveColRow(ACol, ARow, true, true);
    // 7.
    CheckBoxClick(ACol, ARow, state);
    // 10.
    if (OnMouseDown)
        OnMouseDown(this, mbLeft, KeyboardShiftState(), X, Y);
    Click();
    return true;
}

// ---------------------------------------------------------------------------
// Left button release
// ---------------------------------------------------------------------------

void TExStringGrid::ClickRadioGroupItem(int RealCol, int ARow, int X, int Y)
{
    // 1.
    TCanvas* c = Canvas();
    GetCellColor(RealCol, ARow, 0, &c->Brush(), &c->Font());
    // 2.
    const TPoint b = BaseCell(RealCol, ARow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    if (!g || g->CellType != ctRadio)
        return;
    const int dcol = RemapColToDispl(b.X);
    if (!IsFixed(dcol, b.Y)) {
        SetCol(dcol);
        SetRow(b.Y);
    }
    // 3.
    const int glyph = ControlLook()->ControlStyle() >= csWinXP ? 16 : ControlLook()->RadioSize();
    TStrings* items = g->Strings();
    if (!items)
        return;
    // 4. Both bounds exclusive.
    int hit = -1;
    if (g->CellBoolean) {
        int right = 0;
        for (int i = 0; i < items->Count() && hit < 0; ++i) {
            const int prev = right;
            right += c->TextWidth(items->Strings(i)) + glyph;
            if (prev < X && X < right)
                hit = i;
        }
    } else {
        const int h = std::max(glyph, c->TextHeight(QStringLiteral("gh")));
        for (int i = 0; i < items->Count() && hit < 0; ++i)
            if (i * h < Y && Y < (i + 1) * h)
                hit = i;
    }
    if (hit < 0)
        return;
    // 5.
    if (g->CellIndex == -1)
        SetCellEx(b.X, b.Y, items->Strings(hit));
    else
        g->CellIndex = hit;
    SetCellEx(b.X, b.Y, GetCellEx(b.X, b.Y));
    SetRadioIdx(b.X, b.Y, hit);
    if (OnRadioClick)
        OnRadioClick(this, dcol, b.Y, hit);
}

void TExStringGrid::SelectGroupRows(int NodeRow)
{
    const int span = GetNodeSpan(NodeRow);
    if (MouseActions()->DisjunctRowSelect()) {
        for (int r = NodeRow + 1; r < NodeRow + span && r < RowCount(); ++r)
            SetRowSelect(RealRowIndex(r), true);
        Invalidate();
    } else {
        SetSelection(TGridRect{FixedCols(), NodeRow, ColCount() - 1, std::min(NodeRow + span - 1, RowCount() - 1)});
    }
}

void TExStringGrid::WMLButtonUp(TMessage& M)
{
    const int X = GetXLParam(M.LParam), Y = GetYLParam(M.LParam);
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    // 1.
    ColMoveFlg = false;
    ColSizeFlg = false;
    FMouseDown = false;
    FMouseKeepDown = false;
    FMouseSelectMode = msNormal;
    // 3.
    FMouseDownMove = false;
    FMouseSelectStart = -1;
    // 4. A fixed column or row sizing ends.
    if (FSizingFixed || FSizingFixedR)
        EndFixedSizing(X, Y);
    // 3. The insertion arrows go at every release.
    if (!(ComponentState() & csDesigning))
        for (TArrowWindow* a : {ArwU, ArwD, ArwL, ArwR})
            if (a && a->Visible())
                a->SetVisible(false);
    // 7.
    if ((ComponentState() & csDesigning) || HintShowSizing)
        HideSizingHint();
    // 9. A header press fires OnClick from the release.
    const bool valid = ACol >= 0 && ARow >= 0;
    const bool sizingCursor = ARow < FixedRows() && ACol >= 0 && (Options() & goColSizing) && ShownCursor() == crHSplit;
    if (OnClick && FDoOnClick && !sizingCursor && valid && (ARow < FixedRows() || ACol < FixedCols()))
        OnClick(this);
    FDoOnClick = false;
    // 6. A pushed cell button comes up and clicks when released on it.
    if (FPushedCellButton.X >= 0) {
        const TPoint pushed = FPushedCellButton;
        FPushedCellButton = TPoint(-1, -1);
        SetMouseCapture(false);
        bool enabled = (Options() & goEditing) != 0;
        if (valid && !ControlLook()->NoDisabledButtonLook()) {
            const TPoint b = BaseCell(RealColIndex(ACol), ARow);
            bool canEdit = true;
            QueryCellEdit(b.X, b.Y, canEdit);
            bool fixed = false;
            IsFixedCell(b.X, b.Y, fixed);
            enabled = canEdit && !fixed;
        }
        const bool fixedPushed = pushed.X < FixedCols() || pushed.Y < FixedRows();
        if (enabled || ControlLook()->NoDisabledButtonLook() || fixedPushed) {
            PushButton(pushed.X, pushed.Y, false);
            if (valid && pushed.X == ACol && pushed.Y == ARow &&
                (GetCellButtonRect(ACol, ARow).Contains(Point(X, Y)) || fixedPushed))
                ButtonClick(RealColIndex(pushed.X), pushed.Y);
        } else {
            PushButton(pushed.X, pushed.Y, false);
        }
        // 8. The release on the button ends here.
        return;
    }
    // 11. A press on the selection that started no drag selects the
    // released cell (or row), or flips a disjunct row.
    if (FSelectionClick) {
        FSelectionClick = false;
        if (valid && ARow >= FixedRows() && ACol >= FixedCols()) {
            TMouseActions* ma = MouseActions();
            const bool ctrl = KeyHeld(VK_CONTROL);
            if (ma->DisjunctRowSelect() && DragDropSettings()->OleDropSource && !ctrl)
                ClearRowSelect();
            if (ma->DisjunctRowSelect() && DragDropSettings()->OleDropSource && (ctrl || ma->DisjunctRowSelectNoCtrl)) {
                SetRowSelect(ARow, !GetRowSelect(ARow));
                if (OnMouseUp)
                    OnMouseUp(this, mbLeft, ssCtrl, X, Y);
                return;
            }
            if (Options() & goRowSelect)
                SetSelection(TGridRect{FixedCols(), ARow, ColCount() - 1, ARow});
            else
                SetSelection(TGridRect{ACol, ARow, ACol, ARow});
        }
    }
    // 13. A release on an expanded node row selects the group's rows.
    if (valid && ACol > 0 && FGrouping->AutoSelectGroup && ARow < RowCount() && IsNode(ARow) && !GetNodeState(ARow))
        SelectGroupRows(ARow);
    // 15. The end of an enhanced move.
    const bool moved = EndEnhancedMove(ACol, ARow);
    // 16. The library's release (it runs MouseUp).
    TBaseGrid::WMLButtonUp(M);
    // 19.
    if (ColMoveFlg || ColSizeFlg || !valid)
        return;
    // 20.
    if (ACol >= FixedCols() || SortSettings()->FixedCols) {
        const int realCol = RealColIndex(ACol);
        if (HasCheckBox(realCol, ARow) && OnCheckBoxMouseUp) {
            bool state = false;
            GetCheckBoxState(realCol, ARow, state);
            OnCheckBoxMouseUp(this, realCol, ARow, state);
        }
        // The release after a border double click does not sort.
        if (FDblClk) {
            FDblClk = false;
            return;
        }
        HeaderClickSort(ACol, ARow, X, Y, moved);
    }
    FDblClk = false;
}

void TExStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    TMouseActions* ma = MouseActions();
    // 2.
    if (ma->RangeSelectAndEdit && Button == mbLeft && !ma->EditOnDblClickOnly()) {
        if (ACol == Col() && ARow == Row() && !(Options() & goEditing) && IsEditable(RealColIndex(ACol), ARow)) {
            SetOptions(Options() | goEditing);
            TBaseGrid::MouseDown(Button, Shift, X, Y);
            ShowInplaceEdit();
            return;
        }
        if ((ACol != Col() || ARow != Row()) && (Options() & goEditing) && (Shift & ssShift)) {
            SetOptions(Options() & ~goEditing);
            TBaseGrid::MouseDown(Button, Shift, X, Y);
            return;
        }
    }
    // 3.
    if (HeaderDropDownPress(ACol, ARow, X))
        return;
    // 5.
    FEditStart = true;
    {
        struct TEnd {
            TExStringGrid* g;
            ~TEnd() { g->FEditStart = false; }
        } end{this};
        TBaseGrid::MouseDown(Button, Shift, X, Y);
    }
    // 7. A press on a header opens its editor when the header asks for it.
    if (ACol >= 0 && ARow >= 0 && ACol < ColCount() && ARow < RowCount()) {
        const bool inRow = ARow < FixedRows(), inCol = ACol < FixedCols();
        const bool left = Button == mbLeft && ((inRow && ma->FixedRowsEdit == fceLeftClick) ||
                                               (inCol && ma->FixedColsEdit == fceLeftClick));
        const bool right = Button == mbRight && ((inRow && ma->FixedRowsEdit == fceRightClick) ||
                                                 (inCol && ma->FixedColsEdit == fceRightClick));
        if (left) {
            // With the header's sizing on, only a press away from its borders.
            const bool sizing = inRow ? (Options() & goColSizing) != 0 : (Options() & goRowSizing) != 0;
            TRect inner = CellRect(ACol, ARow);
            InflateRect(inner, -4, -4);
            if (!sizing || inner.Contains(Point(X, Y)))
                EditFixedCell(ACol, ARow);
            return;
        }
        if (right) {
            EditFixedCell(ACol, ARow);
            return;
        }
    }
    // 8.
    if (TStringGrid* sync = SyncGrid()->Grid()) {
        if (SyncGrid()->SelectionColumn)
            sync->SetCol(Col());
        if (SyncGrid()->SelectionRow)
            sync->SetRow(Row());
    }
}

void TExStringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // 2.
    const TGridRect before = Selection();
    const bool report = Button == mbLeft || (Button == mbRight && MouseActions()->SelectOnRightClick);
    // 4. 5.
    FilterButtonRelease(X, Y);
    FDropDownDown = false;
    // 6. A sizing released outside the grid is dropped.
    // 7.
    TBaseGrid::MouseUp(Button, Shift, X, Y);
    UpdateSizeLine();
    const TGridRect now = Selection();
    if (report && !(now == before))
        SelectionChanged(now.Left, now.Top, now.Right, now.Bottom);
}

// ---------------------------------------------------------------------------
// Double click and the right button
// ---------------------------------------------------------------------------

void TExStringGrid::WMLButtonDblClk(TMessage& M)
{
    const int X = GetXLParam(M.LParam), Y = GetYLParam(M.LParam);
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    TMouseActions* ma = MouseActions();
    // 1.
    if (ma->RangeSelectAndEdit && !HasCellControl(ACol, ARow))
        FForceSel = true;
    // 2.
    if (ACol == -1) {
        if (FixedRowAlways) {
            TBaseGrid::WMLButtonDblClk(M);
            return;
        }
        ACol = ColCount() - 1;
        ARow = 0;
    }
    // 3. A double click on a header border sizes the column to its
    // contents; the release that follows does not sort.
    if (ARow >= 0 && ARow < FixedRows() && (Options() & goColSizing) && ma->AutoSizeColOnDblClick) {
        const TRect R = CellRect(ACol, ARow);
        auto sizeColumn = [&](int c) {
            bool allow = true;
            if (OnColumnSize)
                OnColumnSize(this, c, allow);
            if (!allow)
                return;
            AutoSizeCol(c, 0);
            if (OnEndColumnSize)
                OnEndColumnSize(this, c);
        };
        const bool atLeft = std::abs(X - R.Left) < 4;
        const bool atRight = !atLeft && std::abs(X - R.Right) < 4 && ACol >= FixedCols();
        if (atLeft || atRight) {
            FDblClk = true;
            if (atRight)
                sizeColumn(ACol);
            else if (ACol - 1 >= FixedCols())
                sizeColumn(ACol - 1);
            FForceSel = false;
            TBaseGrid::WMLButtonDblClk(M);
            return;
        }
    }
    // 4.
    const int realCol = ACol >= 0 ? RealColIndex(ACol) : -1;
    if (realCol >= 0 && ARow >= 0 && HasCellControl(realCol, ARow)) {
        TBaseGrid::WMLButtonDblClk(M);
        FForceSel = false;
        return;
    }
    // 5.
    TBaseGrid::WMLButtonDblClk(M);
    if (OnDblClickCell) {
        int c = -1, r = -1;
        MouseToCell(X, Y, c, r);
        OnDblClickCell(this, r, c);
    }
    // 6.
    if (ma->EditOnDblClickOnly() && ARow >= 0) {
        TRestoreBool range(ma->RangeSelectAndEdit, true);
        if (IsEditable(realCol, ARow)) {
            SetOptions(Options() | goEditing);
            FOldCol = ACol;
            FOldRow = ARow;
            ShowInplaceEdit();
        }
    }
    // 7.
    if (ARow >= 0 && ma->RangeSelectAndEdit && !ma->EditOnDblClickOnly() && IsEditable(realCol, ARow)) {
        SetOptions(Options() | goEditing);
        const TPoint b = BaseCell(realCol, ARow);
        const TRect r = CellRect(DisplColIndex(b.X), b.Y);
        MouseDown(mbLeft, 0, r.Left + 4, r.Top + 4);
    }
    // 8. A double click on a header opens its editor.
    FForceSel = false;
    if (ACol >= 0 && ARow >= 0 &&
        ((ARow < FixedRows() && ma->FixedRowsEdit == fceDblClick) ||
         (ACol < FixedCols() && ma->FixedColsEdit == fceDblClick)))
        EditFixedCell(ACol, ARow);
}

void TExStringGrid::WMRButtonDown(TMessage& M)
{
    const int X = GetXLParam(M.LParam), Y = GetYLParam(M.LParam);
    // 1.
    TBaseGrid::WMRButtonDown(M);
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    TMouseActions* ma = MouseActions();
    // 2.
    const bool valid = ACol >= 0 && ARow >= 0;
    if (ma->SelectOnRightClick && valid && !IsFixed(ACol, ARow)) {
        const bool selected = Contains(Selection(), ACol, ARow);
        if (!(ma->DisjunctCellSelect() && selected)) {
            if (!HasCellControl(RealColIndex(ACol), ARow)) {
                if (OnRightClickCell) {
                    FocusCell(ACol, ARow);
                } else {
                    MouseDown(mbLeft, 0, X, Y);
                    MouseUp(mbLeft, 0, X, Y);
                }
            }
            if (selected) {
                bool canSelect = true;
                if (OnSelectCell)
                    OnSelectCell(this, ACol, ARow, canSelect);
            } else {
                const TPoint b = BaseCell(RealColIndex(ACol), ARow);
                const int keepLeft = LeftCol();
                const bool keep = Navigation()->KeepHorizScroll;
                if (keep)
                    BeginUpdate();
                MoveColRow(DisplColIndex(b.X), b.Y, true, true);
                if (keep) {
                    SetLeftCol(keepLeft);
                    EndUpdate();
                }
            }
        }
    }
    // 3.
    if (OnRightClickCell)
        OnRightClickCell(this, ARow, ACol);
}

void TExStringGrid::WMRButtonUp(TMessage& M)
{
    // The right button does not end an enhanced move.
    const TCursor cur = Cursor();
    if ((cur == crDrag || cur == crNoDrop) && (GridState() == gsRowMoving || GridState() == gsColMoving) &&
        EnhRowColMove) {
        M.Result = 0;
        return;
    }
    TBaseGrid::WMRButtonUp(M);
}

// ---------------------------------------------------------------------------
// Header-cell editors
// ---------------------------------------------------------------------------

void TExStringGrid::EditFixedCell(int ACol, int ARow)
{
    // An open header editor whose text does not validate stays open.
    if (EditTrans && EditTrans->Visible() && !EditTrans->StopEdit())
        return;
    if (ComboTrans && ComboTrans->Visible() && !ComboTrans->StopEdit())
        return;
    if (!EditTrans || !ComboTrans || ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return;
    bool canEdit = true;
    if (OnCanEditCell)
        OnCanEditCell(this, ARow, ACol, canEdit);
    if (!canEdit)
        return;
    FFixedColEdit = ACol;
    FFixedRowEdit = ARow;
    TMouseActions* ma = MouseActions();
    // The kind is chosen before the handler sees its copy; the handler may
    // still change the value list.
    const TGridFixedCellEditor kind = ACol == 0 ? ma->FixedColsEditor : ma->FixedRowsEditor;
    TStringList values;
    values.Assign(ma->FixedComboValues());
    FixedEdit(ACol, ARow, kind, &values);

    TRect R = CellRect(ACol, ARow);
    InflateRect(R, -1, -1);
    const int realCol = RealColIndex(ACol);
    const QString text = Cells(realCol, ARow);
    // Every change of the header text is reported as it is typed.
    auto changed = [this](TObject* Sender) {
        if (!OnEditChange)
            return;
        QString t;
        if (auto* e = dynamic_cast<TGridTransEdit*>(Sender))
            t = e->Text();
        else if (auto* c = dynamic_cast<TGridTransCombo*>(Sender))
            t = c->Text();
        OnEditChange(this, FFixedColEdit, FFixedRowEdit, t);
    };
    if (kind == fceEdit) {
        EditTrans->SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
        EditTrans->OnChange = changed;
        EditTrans->SetText(text);
        EditTrans->Col = realCol;
        EditTrans->Row = ARow;
        EditTrans->SetVisible(true);
        if (EditTrans->CanFocus())
            EditTrans->SetFocus();
        return;
    }
    ComboTrans->SetStyle(kind == fceComboEdit ? csDropDown : csDropDownList);
    ComboTrans->SetItems(&values);
    ComboTrans->SetBounds(R.Left - 1, R.Top - 1, R.Right - R.Left + 1, R.Bottom - R.Top);
    ComboTrans->OnChange = changed;
    ComboTrans->SetText(text);
    ComboTrans->Col = realCol;
    ComboTrans->Row = ARow;
    ComboTrans->SetVisible(true);
    if (ComboTrans->CanFocus())
        ComboTrans->SetFocus();
}
