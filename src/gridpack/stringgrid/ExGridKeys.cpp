// The string grid's key-down and key-up handling while the grid itself has
// the focus. WMKeyDown runs the grid's own steps around the library's
// key-down processing (which calls KeyDown, fires OnKeyDown and moves the
// current cell); KeyDown adds what follows the library's navigation; KeyUp
// ends the incremental search and reports selection changes.
//
// Wherever the grid fires OnKeyDown itself it hands the handler a copy of the
// key: a handler cannot change what the grid does on those roads.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExInplaceEdit.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"

namespace {
// The shift state of the grid's own OnKeyDown calls: from the live keyboard,
// the left Alt key only.
TShiftState LiveShiftState()
{
    TShiftState s = 0;
    if (GetKeyState(VK_CONTROL) < 0)
        s |= ssCtrl;
    if (GetKeyState(VK_SHIFT) < 0)
        s |= ssShift;
    if (GetKeyState(VK_LMENU) < 0)
        s |= ssAlt;
    return s;
}

bool IsArrow(unsigned k) { return k >= VK_LEFT && k <= VK_DOWN; }
bool IsNavigationKey(unsigned k) { return k >= VK_PRIOR && k <= VK_DOWN; }

TGridRect Normalised(TGridRect r)
{
    if (r.Left > r.Right)
        std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom)
        std::swap(r.Top, r.Bottom);
    return r;
}
} // namespace

// ---------------------------------------------------------------------------
// Small questions and hooks
// ---------------------------------------------------------------------------

bool TExStringGrid::IsLastDataRow()
{
    if (FloatingFooter()->Visible)
        return Row() == RowCount() - 2;
    return Row() == RowCount() - FixedFooters() - 1;
}

void TExStringGrid::EditorKeyDown(unsigned&, TShiftState) {}
void TExStringGrid::EditorWMKeyDown(TMessage&) {}
void TExStringGrid::DoF2Edit() {}

void TExStringGrid::WMGetDlgCode(TMessage& M)
{
    TBaseGrid::WMGetDlgCode(M);
    // Characters also reach a grid without editing (the incremental search
    // and the character-opened editor of a cell that allows editing).
    if (Navigation()->AutoGotoWhenSorted || !(Options() & goEditing))
        M.Result |= DLGC_WANTCHARS;
}

void TExStringGrid::CMDialogChar(TMessage& M)
{
    M.Result = 0;
    if (!SearchFooter()->Visible())
        return;
    const QChar ch(static_cast<char16_t>(M.WParam));
    TSearchFooter* sf = SearchFooter();
    const QString value = sf->LastSearch;
    struct TButton {
        bool Shown;
        const QString& Caption;
        TSearchAction Action;
    };
    const TButton buttons[] = {
        {sf->ShowFindNext(), sf->FindNextCaption(), saFindNext},
        {sf->ShowFindPrev(), sf->FindPrevCaption(), saFindPrevious},
    };
    for (const TButton& b : buttons) {
        if (b.Shown && IsAccel(ch, b.Caption)) {
            SearchFooterAction(value, Col(), Row(), b.Action);
            M.Result = 1;
            return;
        }
    }
    if (sf->ShowHighLight() && IsAccel(ch, sf->HighLightCaption())) {
        sf->AlwaysHighLight = !sf->AlwaysHighLight;
        Invalidate();
        M.Result = 1;
    }
}

// ---------------------------------------------------------------------------
// Row append on Down
// ---------------------------------------------------------------------------

void TExStringGrid::AutoAppendRow()
{
    bool canAdd = true;
    CanAddRow(canAdd);
    if (!canAdd)
        return;
    const bool footer = FloatingFooter()->Visible;
    if (footer) {
        // The footer row stays last: its texts move down into the new row.
        const int last = RowCount() - 1;
        QStringList kept;
        for (int c = 0; c < AllColCount(); ++c)
            kept << Cells(c, last);
        AddRow();
        for (int c = 0; c < AllColCount(); ++c) {
            SetCells(c, RowCount() - 2, QString());
            SetCells(c, RowCount() - 1, kept.value(c));
        }
    } else {
        AddRow();
        for (int c = 0; c < AllColCount(); ++c)
            SetCells(c, RowCount() - 1, QString());
    }
    if (footer || FixedFooters() > 0)
        SetRow(Row() + 1);
    if (footer)
        CalcFooter(-1);
    if (OnAutoAddRow)
        OnAutoAddRow(this, RowCount() - FixedFooters() - 1);
}

// ---------------------------------------------------------------------------
// WM_KEYDOWN
// ---------------------------------------------------------------------------

void TExStringGrid::WMKeyDown(TMessage& M)
{
    FCharOfClosedEditor = QChar();
    TNavigation* nav = Navigation();
    TMouseActions* ma = MouseActions();
    const unsigned key = unsigned(M.WParam);
    const TShiftState shift = LiveShiftState();
    const bool ctrl = (shift & ssCtrl) != 0;
    const bool shiftDown = (shift & ssShift) != 0;
    auto fireKeyDown = [&] {
        if (OnKeyDown) {
            unsigned copy = key;
            OnKeyDown(this, copy, shift);
        }
    };
    auto consume = [&] {
        M.WParam = 0;
        M.Result = 1;
    };

    // 1. The selection and the cell before the key.
    FMoveSelection = Selection();
    const int keyRow = Row();
    const int realCol = RealCol();

    // 2.
    const bool keepHoriz = (key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN) &&
                           (Options() & goRowSelect) && LeftCol() != FixedCols() && nav->KeepHorizScroll;
    const int keptLeftCol = LeftCol();

    // 3. Scrolling without moving the current cell.
    if (nav->MoveScrollOnly && (key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME ||
                                key == VK_UP || key == VK_DOWN)) {
        const int vis = VisibleRowCount();
        switch (key) {
        case VK_PRIOR: SetTopRow(vis + FixedRows() < TopRow() ? TopRow() - vis : FixedRows()); break;
        case VK_NEXT:
            if (TopRow() + vis < RowCount())
                SetTopRow(TopRow() + vis);
            break;
        case VK_END: SetTopRow(RowCount() - vis); break;
        case VK_HOME: SetTopRow(FixedRows()); break;
        case VK_UP:
            if (TopRow() > FixedRows())
                SetTopRow(TopRow() - 1);
            break;
        case VK_DOWN:
            if (TopRow() + vis < RowCount())
                SetTopRow(TopRow() + 1);
            break;
        default: break;
        }
        M.Result = 1;
        return;
    }

    const bool enterOrF2 = key == VK_RETURN || key == VK_F2;
    // 4.
    if (ma->EditOnDblClickOnly() && enterOrF2 && !(Options() & goEditing)) {
        const bool saved = ma->RangeSelectAndEdit;
        ma->RangeSelectAndEdit = true;
        const bool editable = IsEditable(realCol, Row());
        ma->RangeSelectAndEdit = saved;
        if (editable)
            SetOptions(Options() | goEditing);
    }
    // 5.
    if (ma->RangeSelectAndEdit && enterOrF2 && !(Options() & goEditing)) {
        if (!IsEditable(realCol, Row())) {
            fireKeyDown();
            consume();
            return;
        }
        SetOptions(Options() | goEditing);
        ShowInplaceEdit();
    }
    // 6.
    if (ctrl && key == 'F' && SearchFooter()->Visible() && SearchPanel() && SearchPanel()->CanFocus())
        SearchPanel()->SetFocus();
    // 7.
    if (enterOrF2) {
        if ((Options() & goEditing) && !IsEditable(realCol, Row())) {
            fireKeyDown();
            consume();
            return;
        }
        const QString text = Cells(realCol, Row());
        if (DetectTextKind(text, EnableHTML) == 1 && text.toUpper().contains(QLatin1String("<CONTROL"))) {
            M.Result = 1;
            return;
        }
    }
    // 8.
    if (key == VK_RETURN && !IsEditable(realCol, Row())) {
        TCustomForm* form = FindParentForm(this);
        if (form && form->KeyPreview()) {
            TBaseGrid::WMKeyDown(M);
        } else {
            fireKeyDown();
            consume();
        }
        return;
    }
    // 9. The cell's own controls.
    if ((key == VK_RETURN || key == VK_SPACE) && HasCellControl(realCol, Row())) {
        bool permission = (Options() & goEditing) || ma->RangeSelectAndEdit;
        QueryCellEdit(realCol, Row(), permission);
        if ((permission || ControlLook()->CheckAlwaysActive) && HasCheckBox(realCol, Row()) && key == VK_SPACE) {
            DoToggleCheckBox(realCol, Row(), false);
            if (ShowModified()->Enabled) {
                SetRowModified(Row(), true);
                RepaintCell(0, Row());
            }
            bool state = false;
            GetCheckBoxState(realCol, RemapRowToDispl(RealRowIndex(Row())), state);
            CheckBoxClick(realCol, Row(), state);
        }
        if ((permission || ControlLook()->RadioAlwaysActive) && IsRadio(realCol, Row()) && key == VK_SPACE) {
            CycleRadioGroup(realCol, Row(), false);
            int idx = -1;
            GetRadioIdx(realCol, Row(), idx);
            if (OnRadioClick)
                OnRadioClick(this, realCol, Row(), idx);
        }
        if ((permission || ControlLook()->RadioAlwaysActive) && HasRadioButton(realCol, Row()) && key == VK_SPACE) {
            SetRadioButtonColumnIndex(realCol, Row());
            if (OnRadioButtonClick)
                OnRadioButtonClick(this, realCol, Row());
        }
        if (permission && HasButton(realCol, Row()))
            ButtonClick(realCol, Row());
        RepaintCell(Col(), Row());
    }
    // 10. Home and End.
    if ((key == VK_HOME || key == VK_END) && !ctrl) {
        const THomeEndAction he = nav->HomeEndKey;
        auto endHomeEnd = [&] {
            M.Result = 0;
            fireKeyDown();
            M.WParam = 0;
        };
        if (he == heFirstLastCell) {
            if (key == VK_HOME)
                TBaseGrid::FocusCell(FixedCols(), FixedRows(), true);
            else
                TBaseGrid::FocusCell(ColCount() - 1, RowCount() - 1, true);
            MoveToBaseCell();
            endHomeEnd();
            return;
        }
        if (he == heFirstLastRow && !(FixedRowAlways && RowCount() == 1)) {
            const bool footer = FloatingFooter()->Visible;
            if (key == VK_HOME) {
                SetRow(FixedRows());
            } else {
                SetRow(footer && RowCount() > 2 ? RowCount() - 2 : RowCount() - FixedFooters() - 1);
                if (FixedFooters() > 0 && !footer)
                    SetTopRow(RowCount() - VisibleRowCount());
            }
            MoveToBaseCell();
            if (!shiftDown && ma->DisjunctRowSelect()) {
                ClearRowSelect();
                UpdateRowSelect(false);
            }
            if (shiftDown) {
                SetSelection(TGridRect{0, std::min(keyRow, Row()), ColCount() - 1, std::max(keyRow, Row())});
                if (ma->DisjunctRowSelect()) {
                    ClearRowSelect();
                    UpdateRowSelect(false);
                }
            }
            if (key == VK_END && footer)
                SetTopRow(RowCount() - VisibleRowCount());
            if ((Options() & goRowSelect) && nav->KeepHorizScroll) {
                StartUpdate();
                SetLeftCol(keptLeftCol);
                ResetUpdate();
            }
            endHomeEnd();
            return;
        }
        if (he == heFirstLastColumn && !(Options() & goRowSelect) && !(FixedRowAlways && RowCount() == 1)) {
            if (shiftDown) {
                const int to = key == VK_HOME ? FixedCols() : ColCount() - FixedRightCols() - 1;
                SetSelection(TGridRect{std::min(Col(), to), Row(), std::max(Col(), to), Row()});
                RepaintRow(Row());
            } else if (key == VK_HOME) {
                const int first = FirstTabCol(Row());
                if (first >= 0)
                    SetCol(first);
                MoveToBaseCell();
                SetLeftCol(FirstDataCol());
            } else {
                SetCol(ColCount() - 1);
                MoveToBaseCell();
                SetLeftCol(ColCount() - VisibleColCount());
            }
            endHomeEnd();
            return;
        }
    }
    if (key == VK_HOME && ctrl && nav->HomeEndKey == heFirstLastColumn) {
        SetRow(FixedRows());
        const int first = FirstTabCol(Row());
        if (first >= 0)
            SetCol(first);
        MoveToBaseCell();
        SetLeftCol(FirstDataCol());
        M.Result = 0;
        fireKeyDown();
        M.WParam = 0;
        return;
    }
    // 12. Row-select mode scrolls by columns.
    if ((Options() & goRowSelect) && ColCount() > VisibleColCount() && (key == VK_LEFT || key == VK_RIGHT)) {
        auto scrollOne = [&] {
            if (key == VK_LEFT && LeftCol() > FixedCols())
                SetLeftCol(LeftCol() - 1);
            if (key == VK_RIGHT && VisibleColCount() + LeftCol() < ColCount())
                SetLeftCol(LeftCol() + 1);
        };
        if (!nav->LeftRightRowSelect) {
            scrollOne();
            fireKeyDown();
            M.Result = 0;
            M.WParam = 0;
            return;
        }
        if (ctrl)
            scrollOne();
    }
    // 13. The Tab step.
    if (key == VK_TAB && (Options() & goTabs)) {
        MoveFromEditor(shiftDown);
        if (!(Selection() == FMoveSelection)) {
            const TGridRect s = Selection();
            SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
            FMoveSelection = s;
        }
        M.WParam = 0;
        M.Result = 1;
        return;
    }
    // 14. Cells that report themselves fixed inside the data area are
    // walked over.
    bool keyCleared = false;
    if (nav->SkipFixedCells && IsArrow(key) && !ctrl) {
        int dc = 0, dr = 0;
        switch (key) {
        case VK_LEFT: dc = -1; break;
        case VK_RIGHT: dc = 1; break;
        case VK_UP: dr = -1; break;
        default: dr = 1; break;
        }
        const int c0 = FixedCols(), c1 = ColCount() - FixedRightCols() - 1;
        const int r0 = FixedRows(), r1 = RowCount() - FixedFooters() - 1;
        auto inData = [&](int c, int r) { return c >= c0 && c <= c1 && r >= r0 && r <= r1; };
        const bool walks = dc != 0 || !(Options() & goRowSelect);
        int c = Col() + dc, r = Row() + dr;
        if (walks && inData(c, r) && IsFixed(c, r)) {
            while (inData(c, r) && IsFixed(c, r)) {
                c += dc;
                r += dr;
            }
            fireKeyDown();
            if (inData(c, r))
                TBaseGrid::FocusCell(c, r, true);
            M.WParam = 0;
            keyCleared = true;
        }
    }
    // 15.
    if (key == VK_DOWN && nav->AppendOnArrowDown && IsLastDataRow())
        AutoAppendRow();
    // 16.
    if (SelectionRectangle() && !(Selection() == FMoveSelection)) {
        InvalidateGridRect(FMoveSelection);
        FMoveSelection = Selection();
    }
    // 17. The search panel covers the bottom of a grid scrolled down.
    const bool searchShown = SearchFooter()->Visible() && TopRow() >= RowCount() - VisibleRowCount();
    const bool lastRow = Row() == RowCount() - 1;
    bool searchBracket = false;
    if (searchShown) {
        if (key == VK_DOWN && lastRow) {
            ScrollAboveSearchPanel();
            M.Result = 1;
            fireKeyDown();
            return;
        }
        if (lastRow && ((key == VK_RIGHT && Col() == ColCount() - 1) || (key == VK_LEFT && Col() == FixedCols()))) {
            M.Result = 1;
            fireKeyDown();
            return;
        }
        const bool plainKey = key != VK_SHIFT && key != VK_MENU && !IsNavigationKey(key);
        if ((lastRow && (key == VK_NEXT || key == VK_END || key == VK_LEFT || key == VK_RIGHT)) || plainKey) {
            BeginUpdate();
            searchBracket = true;
        }
    }
    // 18.
    if (keepHoriz)
        BeginUpdate();
    // 19. The library's key-down processing (KeyDown below).
    const int topBefore = TopRow();
    if (!keyCleared)
        TBaseGrid::WMKeyDown(M);
    // 20.
    if (SearchFooter()->Visible()) {
        const bool plainKey = key != VK_SHIFT && key != VK_MENU && !IsNavigationKey(key);
        if (TopRow() >= RowCount() - VisibleRowCount() && plainKey)
            SetTopRow(topBefore);
        if (searchBracket)
            EndUpdate();
        if ((key == VK_NEXT || key == VK_END || key == VK_LEFT || key == VK_RIGHT || key == VK_DOWN) &&
            Row() == RowCount() - 1) {
            const int limit = ClientHeight() - (SearchPanel() ? SearchPanel()->Height() : 0) + 2;
            while (TBaseGrid::CellRect(Col(), Row()).Bottom > limit) {
                const int t = TopRow();
                SetTopRow(t + 1);
                if (TopRow() == t)
                    break;
            }
        }
    } else if (searchBracket) {
        EndUpdate();
    }
    // 21.
    if (keepHoriz) {
        SetLeftCol(keptLeftCol);
        EndUpdate();
    }
    // 22. Clipboard shortcuts; the event may refuse.
    if (nav->AllowClipboardShortCuts) {
        const bool alt = (shift & ssAlt) != 0;
        auto run = [&](const TClipboardEvent& event, void (TExStringGrid::*op)()) {
            bool allow = true;
            if (event)
                event(this, allow);
            if (allow)
                (this->*op)();
        };
        if (ctrl && !alt && key == 'X')
            return run(OnClipboardCut, &TExStringGrid::CutSelectionToClipboard);
        if (ctrl && !alt && key == 'V')
            return run(OnClipboardPaste, &TExStringGrid::PasteSelectionFromClipboard);
        if (ctrl && !alt && (key == VK_INSERT || key == 'C'))
            return run(OnClipboardCopy, &TExStringGrid::CopySelectionToClipboard);
        if (shiftDown && key == VK_INSERT)
            return run(OnClipboardPaste, &TExStringGrid::PasteSelectionFromClipboard);
        if (shiftDown && key == VK_DELETE)
            return run(OnClipboardCut, &TExStringGrid::CutSelectionToClipboard);
    }
    // 24. Select all data cells.
    if (ctrl && key == 'A') {
        if (!(Options() & (goRowSelect | goRangeSelect)))
            return;
        TGridRect r{FirstDataCol(), FixedRows(), ColCount() - FixedRightCols() - 1, RowCount() - FixedFooters() - 1};
        if (ma->DisjunctRowSelect())
            for (int row = FixedRows(); row <= r.Bottom; ++row)
                SetRowSelect(row, true);
        SelectAllByKey(r);
        SetSelection(r);
        FocusCell(r.Right, r.Bottom);
        const TRect cr = TBaseGrid::CellRect(r.Right, r.Bottom);
        MouseDown(mbLeft, 0, cr.Left + 2, cr.Top + 2);
        MouseUp(mbLeft, 0, cr.Left + 2, cr.Top + 2);
        FocusCell(r.Right, r.Bottom);
        SetSelection(r);
        return;
    }
    // 25. Disjunct row and column flags follow the navigation keys.
    if (IsNavigationKey(key)) {
        if (ma->DisjunctRowSelect()) {
            if (!shiftDown && !ctrl)
                ClearRowSelect();
            if (shiftDown)
                UpdateRowSelect(true);
            else
                SetRowSelect(ma->RowSelectPersistent ? RealRowIndex(Row()) : Row(), true);
        }
        if (ma->DisjunctColSelect()) {
            if (!shiftDown && !ctrl)
                ClearColSelect();
            if (shiftDown)
                UpdateColSelect(true);
            else
                SetColSelect(Col(), true);
        }
    }
    // 26.
    if (key == VK_SPACE) {
        if (ma->DisjunctRowSelect()) {
            const int r = ma->RowSelectPersistent ? RealRowIndex(Row()) : Row();
            SetRowSelect(r, !GetRowSelect(r));
        }
        if (ma->DisjunctColSelect())
            SetColSelect(Col(), !GetColSelect(Col()));
    }
    // 28.
    if (enterOrF2) {
        StoreOldCell(Col(), Row());
        if (HasControlTag(Cells(RealCol(), Row())))
            FocusNextCellControl(Col(), Row(), QString());
        if (key == VK_F2)
            DoF2Edit();
    }
    // 29.
    if (!(Selection() == FMoveSelection)) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        FMoveSelection = s;
    }
}

// ---------------------------------------------------------------------------
// After the library's navigation
// ---------------------------------------------------------------------------

void TExStringGrid::KeyDown(unsigned& Key, TShiftState Shift)
{
    TNavigation* nav = Navigation();
    // 1.
    FLastKeyCell = TGridCoord{Col(), Row()};
    const int rowBefore = Row();
    TBaseGrid::KeyDown(Key, Shift);

    // 2. Moving the current row, or the selected rows, one place.
    if (nav->CursorMoveRows && (Shift & ssCtrl) && (Key == VK_DOWN || Key == VK_UP)) {
        const TGridRect s = Normalised(Selection());
        const int top = s.Top, bottom = s.Bottom;
        if (Key == VK_DOWN && bottom < RowCount() - 1) {
            // The row below the block goes above it.
            MoveRow(bottom + 1, top);
            if (top == bottom)
                SetRow(bottom + 1);
            else
                SetSelection(TGridRect{FixedCols(), top + 1, ColCount() - 1, bottom + 1});
        } else if (Key == VK_UP && top > FixedRows()) {
            MoveRow(top - 1, bottom);
            if (top == bottom)
                SetRow(top - 1);
            else
                SetSelection(TGridRect{FixedCols(), top - 1, ColCount() - 1, bottom - 1});
        }
    }

    // 3. Wrapping at the edges (the library did not move).
    if (nav->CursorAdvance != caDefault && !(Shift & ssCtrl)) {
        const bool snake = nav->CursorAdvance == caSnake;
        const int lastDataRow = RowCount() - FixedFooters() - 1;
        const int lastDataCol = ColCount() - FixedRightCols() - 1;
        switch (Key) {
        case VK_LEFT:
            if (FLastKeyCell.X == FixedCols()) {
                const int r = snake && Row() > FixedRows() ? Row() - 1 : Row();
                TBaseGrid::FocusCell(lastDataCol, r, true);
            }
            break;
        case VK_UP:
            if (FLastKeyCell.Y == FixedRows()) {
                const int c = snake && Col() > FixedCols() ? Col() - 1 : Col();
                TBaseGrid::FocusCell(c, lastDataRow, true);
            }
            break;
        case VK_RIGHT:
            if (FLastKeyCell.X == ColCount() - 1) {
                const int r = snake && Row() < lastDataRow ? Row() + 1 : Row();
                TBaseGrid::FocusCell(FixedCols(), r, true);
            }
            break;
        case VK_DOWN:
            if (FLastKeyCell.Y == RowCount() - 1) {
                const int c = snake && Col() < lastDataCol ? Col() + 1 : Col();
                TBaseGrid::FocusCell(c, FixedRows(), true);
            }
            break;
        default: break;
        }
    }

    // 4. Disabled rows are stepped over.
    if (FUseEnabledRows && nav->SkipDisabledRows && Row() == rowBefore && (Key == VK_UP || Key == VK_DOWN)) {
        if (Key == VK_UP) {
            for (int r = Row() - 1; r >= FixedRows(); --r)
                if (GetRowEnabled(r)) {
                    SetRow(r);
                    break;
                }
        } else {
            for (int r = Row() + 1; r <= RowCount() - 1; ++r)
                if (GetRowEnabled(r)) {
                    SetRow(r);
                    break;
                }
        }
    }

    // 5. The synchronised grid follows.
    if (TStringGrid* other = SyncGrid()->Grid()) {
        if (SyncGrid()->SelectionColumn && Col() < other->ColCount())
            other->SetCol(Col());
        if (SyncGrid()->SelectionRow && Row() < other->RowCount())
            other->SetRow(Row());
    }
}

// ---------------------------------------------------------------------------
// Key up
// ---------------------------------------------------------------------------

void TExStringGrid::KeyUp(unsigned& Key, TShiftState Shift)
{
    const unsigned key = Key;
    // 1. Home keeps the search text.
    if (key == VK_PRIOR || key == VK_NEXT || key == VK_END || IsArrow(key) || key == VK_INSERT || key == VK_DELETE)
        IncrSearchText.clear();
    // 2.
    const TGridRect before = Normalised(Selection());
    TBaseGrid::KeyUp(Key, Shift);
    const bool tab = key == VK_TAB && (Options() & goTabs);
    // 3.
    if (Navigation()->AlwaysEdit && (IsArrow(key) || tab) && !HasClickableControl(Col(), Row()))
        ShowInplaceEdit();
    // 4.
    if ((IsArrow(key) || key == VK_TAB) && !(Selection() == FMoveSelection)) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        FMoveSelection = s;
    }
    // 5., 6. The disjunct cell selection list.
    TMouseActions* ma = MouseActions();
    if (!ma->DisjunctCellSelect() || (Options() & goEditing))
        return;
    auto repaintListed = [this] {
        for (int i = 0; i < FSelectedCells.Count(); ++i) {
            const TGridCoord v = FSelectedCells.Cell(i);
            RepaintCell(v.X, v.Y);
        }
    };
    if (Shift & ssShift) {
        for (int r = before.Top; r <= before.Bottom; ++r)
            for (int c = before.Left; c <= before.Right; ++c)
                FSelectedCells.Remove(c, r);
        const TGridRect now = Normalised(Selection());
        for (int r = now.Top; r <= now.Bottom; ++r)
            for (int c = now.Left; c <= now.Right; ++c)
                if (!(c == Col() && r == Row()))
                    FSelectedCells.Add(c, r);
    }
    if (key == VK_SPACE) {
        const int rc = RealCol();
        const TPoint b = IsMergedNonBaseCell(rc, Row()) ? BaseCell(rc, Row()) : TPoint(rc, Row());
        const int bc = DisplColIndex(b.X);
        if (!IsFixed(bc, b.Y)) {
            bool canSelect = true;
            if (OnSelectCell)
                OnSelectCell(this, bc, b.Y, canSelect);
            if (canSelect) {
                if (Shift & ssCtrl) {
                    if (!FSelectedCells.Remove(bc, b.Y))
                        FSelectedCells.Add(bc, b.Y);
                } else {
                    repaintListed();
                    FSelectedCells.Clear();
                    FSelectedCells.Add(bc, b.Y);
                }
                const TGridRect s = Normalised(Selection());
                if (s.Left != s.Right || s.Top != s.Bottom) {
                    for (int r = s.Top; r <= s.Bottom; ++r)
                        for (int c = s.Left; c <= s.Right; ++c)
                            if (!(c == bc && r == b.Y))
                                FSelectedCells.Add(c, r);
                    repaintListed();
                }
            }
        }
        RepaintCell(Col(), Row());
    }
}
