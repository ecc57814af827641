// Typed characters, the key press and the Tab step of the string grid.
// WMChar opens the cell editor with the typed character; KeyPress handles
// Escape and Enter (as the grid and its editor hand them on) and runs the
// incremental search of a sorted grid; MoveFromEditor moves the current cell
// on by one Tab stop and is called by every in-cell editor that Tab leaves.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExInplaceEdit.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/controls/Messages.h"

namespace {
struct TFlagScope {
    bool& Flag;
    bool Saved;
    TFlagScope(bool& f, bool v) : Flag(f), Saved(f) { Flag = v; }
    ~TFlagScope() { Flag = Saved; }
};
} // namespace

// ---------------------------------------------------------------------------
// WM_CHAR
// ---------------------------------------------------------------------------

void TExStringGrid::WMChar(TMessage& M)
{
    // The character of a key that closed an in-cell editor belongs to that
    // editor, which is gone: the grid does not act on it a second time.
    if (!FCharOfClosedEditor.isNull()) {
        const bool same = FCharOfClosedEditor.unicode() == M.WParam;
        FCharOfClosedEditor = QChar();
        if (same) {
            M.Result = 1;
            return;
        }
    }
    TNavigation* nav = Navigation();
    TMouseActions* ma = MouseActions();
    QChar ch(static_cast<char16_t>(M.WParam));
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const int realCol = RealCol();

    // 1. The key belongs to the cell's embedded controls.
    const QString text = Cells(realCol, Row());
    if (DetectTextKind(text, EnableHTML) == 1 && text.toUpper().contains(QLatin1String("<CONTROL"))) {
        M.Result = 1;
        return;
    }
    // 2.
    if (ma->EditOnDblClickOnly()) {
        bool canEdit = true;
        QueryCellEdit(realCol, Row(), canEdit);
        if (canEdit)
            SetOptions(Options() | goEditing);
    }
    // 3. The clipboard shortcuts type nothing.
    const char16_t u = ch.unicode();
    if (nav->AllowClipboardShortCuts && ctrl && (u == 3 || u == 22 || u == 24)) {
        M.WParam = 0;
        M.Result = 1;
        return;
    }
    // 4.
    if (ma->RangeSelectAndEdit && !HasClickableControl(Col(), Row()) && IsEditable(realCol, Row()) && u != 9 &&
        u != 27 && !ctrl) {
        if (OnKeyPress) {
            QChar copy = ch;
            OnKeyPress(this, copy);
        }
        FStartEditChar = ch;
        SetOptions(Options() | goEditing);
        if (Col() >= LeftCol() + VisibleColCount() || Col() < LeftCol() || Row() >= TopRow() + VisibleRowCount() ||
            Row() < TopRow())
            ClampInView(TGridCoord{Col(), Row()});
        const TRect r = TBaseGrid::CellRect(Col(), Row());
        MouseDown(mbLeft, 0, r.Left + 2, r.Top + 2);
        TBaseGrid::WMChar(M);
        return;
    }
    // 5.
    if (u == '.' && ExcelStyleDecimalSeparator && (M.LParam & LPARAM(0x400000))) {
        ch = LocaleDecimalSeparator();
        M.WParam = ch.unicode();
    }
    if (u == 13 && HasCellControl(realCol, Row()) && nav->AdvanceOnEnter) {
        TBaseGrid::WMChar(M);
        return;
    }
    if ((Options() & goEditing) && u != 9 && (u == 8 || (u >= 32 && u <= 255))) {
        if (OnKeyPress)
            OnKeyPress(this, ch);
        FStartEditChar = ch;
        if (ch.unicode() != 0 && !HasClickableControl(Col(), Row())) {
            ShowEditor();
            // A special editor (combo, check box) was handed the character as
            // it opened; only the text editor is given it here.
            if (!FSpecialEditor && InplaceEditor())
                PostMessage(InplaceEditor()->Handle(), WM_CHAR, WPARAM(ch.unicode()), 0);
        }
        M.Result = 1;
        return;
    }
    TBaseGrid::WMChar(M);
}

// ---------------------------------------------------------------------------
// Key press: Escape, Enter and the incremental search
// ---------------------------------------------------------------------------

void TExStringGrid::KeyPress(QChar& Key)
{
    TNavigation* nav = Navigation();
    // 1.
    if (Key == QChar(27)) {
        if ((Options() & goEditing) && FEditing)
            CancelCellEdit();
        if (OnKeyPress)
            OnKeyPress(this, Key);
        return;
    }
    if (Key == QChar(13)) {
        // 2.
        const bool control = HasClickableControl(Col(), Row());
        if (!nav->AdvanceOnEnter && !IsEditable(RealCol(), Row())) {
            if (OnKeyPress)
                OnKeyPress(this, Key);
            Key = QChar(0);
            return;
        }
        // 3. The editor forwards its Enter here while it has the focus.
        const bool gridFocused = Focused() && !EditorOwnsFocus();
        if (!gridFocused || control) {
            AdvanceEditCell(Col(), Row(), EditMode, false, true, false, false);
            if (!nav->AdvanceAutoEdit) {
                if (OnKeyPress)
                    OnKeyPress(this, Key);
                Key = QChar(0);
                return;
            }
            if (control) {
                if (OnKeyPress)
                    OnKeyPress(this, Key);
                if (nav->AdvanceOnEnter)
                    ShowInplaceEdit();
                return;
            }
        }
    }
    // 4. Typing goes to the sort column's first match.
    if (!(Options() & goEditing) && nav->AutoGotoWhenSorted && Key.unicode() != 0) {
        if (nav->AutoGotoIncremental) {
            if (Key == QChar(8))
                IncrSearchText.chop(1);
            else
                IncrSearchText += Key;
            FSearchTicks = 0;
        } else {
            IncrSearchText = QString(Key);
        }
        const int found = SearchSortColumn(IncrSearchText.toUpper());
        if (found < 0)
            IncrSearchText.clear();
        else
            SetRow(found);
    }
    // 5.
    TBaseGrid::KeyPress(Key);
}

int TExStringGrid::SearchSortColumn(const QString& UpperText)
{
    if (UpperText.isEmpty())
        return -1;
    const int col = SortSettings()->Column;
    if (col < 0 || col >= AllColCount())
        return -1;
    for (int r = FixedRows(); r < RowCount() - FixedFooters(); ++r)
        if (GetStrippedCell(col, r).toUpper().startsWith(UpperText))
            return r;
    return -1;
}

// ---------------------------------------------------------------------------
// Tab stops
// ---------------------------------------------------------------------------

bool TExStringGrid::CanTabToCell(int ACol, int ARow)
{
    // The fixed columns and rows hold no Tab stops.
    if (ACol < FixedCols() || ARow < FixedRows())
        return false;
    bool result = (Options() & goEditing) ? IsEditable(RealColIndex(ACol), ARow) : !IsFixed(ACol, ARow);
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, result);
    return result;
}

int TExStringGrid::FirstTabCol(int ARow)
{
    for (int c = 0; c < ColCount(); ++c)
        if (CanTabToCell(c, ARow))
            return c;
    return -1;
}

int TExStringGrid::LastTabCol(int ARow)
{
    for (int c = ColCount() - 1; c >= 0; --c)
        if (CanTabToCell(c, ARow))
            return c;
    return -1;
}

void TExStringGrid::WrapToFirstRow() { SetRow(FixedRows()); }

void TExStringGrid::SimulateCellClick(int ACol, int ARow)
{
    TFlagScope force(FForceSel, true);
    TMouseEvent down = OnMouseDown;
    TMouseEvent up = OnMouseUp;
    OnMouseDown = nullptr;
    OnMouseUp = nullptr;
    struct TRestore {
        TExStringGrid* g;
        TMouseEvent& d;
        TMouseEvent& u;
        ~TRestore()
        {
            g->OnMouseDown = d;
            g->OnMouseUp = u;
        }
    } restore{this, down, up};
    const TRect r = TBaseGrid::CellRect(ACol, ARow);
    MouseDown(mbLeft, 0, r.Left + 2, r.Top + 2);
    MouseUp(mbLeft, 0, r.Left + 2, r.Top + 2);
}

// ---------------------------------------------------------------------------
// The Tab step
// ---------------------------------------------------------------------------

bool TExStringGrid::MoveFromEditor(bool Backward)
{
    // 1. A handler that changes the key stops the step.
    if (OnKeyDown) {
        unsigned key = VK_TAB;
        OnKeyDown(this, key, Backward ? TShiftState(ssShift) : TShiftState(0));
        if (key != VK_TAB)
            return true;
    }
    // The repetitions of step 8 stop after one round over the cells, also
    // where every wrap lands on a cell that cannot be edited.
    int rounds = ColCount() * RowCount() + 1;
    bool result = true;
    while (true) {
        bool moved = false;
        result = TabStep(Backward, moved);
        if (!moved || !result)
            break;
        // 8.
        if (!(Options() & goEditing) || IsEditable(RealCol(), Row()) || --rounds <= 0)
            break;
    }
    // 9.
    if (Navigation()->AdvanceAutoEdit && !HasClickableControl(Col(), Row()))
        SimulateCellClick(Col(), Row());
    // 10.
    FLastTabCell = TGridCoord{-1, -1};
    if (Navigation()->AlwaysEdit && CanFocus())
        SetFocus();
    return result;
}

bool TExStringGrid::TabStep(bool Backward, bool& Moved)
{
    TNavigation* nav = Navigation();
    // 2.
    const TGridCoord start{Col(), Row()};
    if (start == FLastTabCell) {
        Moved = false;
        return true;
    }
    FLastTabCell = start;
    const TPoint S = CellSpan(RealCol(), Row());
    const int end = ColCount() - VisibleFixedRightCols();
    const int lastDataRow = RowCount() - FixedFooters() - 1;
    bool handOff = false;
    auto go = [&](int c, int r, bool force) {
        if (c < 0 || c >= ColCount() || r < 0 || r >= RowCount())
            return;
        TFlagScope f(FForceSel, force ? true : FForceSel);
        if (r != Row())
            SetRow(r);
        if (c != Col())
            SetCol(c);
    };
    auto coveredRepeat = [&] {
        // A stop inside a merged block: the step goes on from there.
        if (IsMergedNonBaseCell(RealCol(), Row()) && !(TGridCoord{Col(), Row()} == FLastTabCell)) {
            bool again = false;
            TabStep(Backward, again);
        }
    };

    const bool leftRight = nav->TabAdvanceDirection == adLeftRight;
    if (!Backward && leftRight) {
        // 3.
        if (Col() + S.X + 1 < end) {
            int found = -1;
            for (int c = 1; Col() + S.X + c < end; ++c)
                if (CanTabToCell(Col() + S.X + c, Row())) {
                    found = Col() + S.X + c;
                    break;
                }
            if (found >= 0) {
                go(found, Row(), false);
                coveredRepeat();
            } else if (FForceSel) {
                if (Row() < lastDataRow) {
                    int newCol = FirstTabCol(Row() + 1);
                    bool allow = true;
                    if (OnRowChanging)
                        OnRowChanging(this, Row(), Row() + 1, allow);
                    if (OnCellChanging)
                        OnCellChanging(this, Row(), Col(), Row() + 1, newCol, allow);
                    if (OnColChanging)
                        OnColChanging(this, Col(), newCol, allow);
                    if (allow)
                        go(newCol >= 0 ? newCol : FixedCols(), Row() + 1, true);
                } else {
                    const int v = FirstTabCol(FixedRows());
                    if (v >= 0)
                        SetSelection(TGridRect{v, FixedRows(), v, FixedRows()});
                }
                handOff = true;
            }
        } else if (Row() < lastDataRow) {
            int target = -1;
            for (int c = FirstDataCol(); c < ColCount(); ++c)
                if (IsBaseCell(RealColIndex(c), Row() + 1) && CanTabToCell(c, Row() + 1)) {
                    target = c;
                    break;
                }
            if (target >= 0) {
                go(target, Row() + 1, true);
            } else {
                int r = Row() + 2;
                for (; r < RowCount(); ++r)
                    if (FirstTabCol(r) >= 0)
                        break;
                if (r < RowCount()) {
                    go(FirstTabCol(r), r, true);
                } else {
                    go(ColCount() - 1, RowCount() - 1, true);
                    bool again = false;
                    TabStep(Backward, again);
                }
            }
        } else {
            if (nav->TabToNextAtEnd || !nav->AdvanceInsert()) {
                WrapToFirstRow();
            } else {
                bool canAdd = true;
                CanAddRow(canAdd);
                if (canAdd) {
                    if (FloatingFooter()->Visible) {
                        InsertRowRange(RowCount() - 1, 1, true);
                        SetRow(RowCount() - 2);
                    } else {
                        AddRow();
                        SetRow(RowCount() - 1);
                    }
                    if (OnAutoAddRow)
                        OnAutoAddRow(this, RowCount() - FixedFooters() - 1);
                } else {
                    WrapToFirstRow();
                }
            }
            const int first = FirstTabCol(Row());
            if (first >= 0)
                go(first, Row(), false);
            handOff = true;
        }
    } else if (!Backward) {
        // 4.
        if (Row() + S.Y + 1 < RowCount() - FixedFooters()) {
            go(Col(), Row() + S.Y + 1, false);
        } else {
            WrapToFirstRow();
            if (Col() < end - 1)
                go(Col() + 1, Row(), false);
            else {
                go(FirstDataCol(), Row(), false);
                handOff = true;
            }
        }
    } else if (leftRight) {
        // 5.
        if (Col() > FirstDataCol()) {
            int found = -1;
            for (int b = 1; Col() - b >= FirstDataCol(); ++b)
                if (CanTabToCell(Col() - b, Row()) && IsBaseCell(RealColIndex(Col() - b), Row())) {
                    found = Col() - b;
                    break;
                }
            if (found >= 0) {
                go(found, Row(), false);
            } else if (Row() > FixedRows()) {
                const int v = LastTabCol(Row() - 1);
                if (v >= 0)
                    SetSelection(TGridRect{v, Row() - 1, v, Row() - 1});
            } else {
                const int v = LastTabCol(lastDataRow);
                if (v >= 0) {
                    SetSelection(TGridRect{v, lastDataRow, v, lastDataRow});
                    ClampInView(TGridCoord{v, lastDataRow});
                }
            }
            if (IsMergedNonBaseCell(RealCol(), Row())) {
                const TPoint b = BaseCell(RealCol(), Row());
                go(DisplColIndex(b.X), b.Y, true);
            }
        } else {
            int found = -1;
            for (int b = 1; end - b >= FixedCols(); ++b)
                if (CanTabToCell(end - b, Row())) {
                    found = end - b;
                    break;
                }
            if (found >= 0) {
                const int r = Row() > FixedRows() ? Row() - 1 : lastDataRow;
                go(found, r, false);
            }
        }
    } else {
        // 6.
        if (Row() > FixedRows())
            go(Col(), Row() - 1, false);
        else
            go(Col() > FirstDataCol() ? Col() - 1 : end - 1, lastDataRow, false);
    }

    Moved = !(TGridCoord{Col(), Row()} == start);
    // 7. The focus goes on to the next control of the parent.
    if (handOff && Parent() && nav->TabToNextAtEnd) {
        PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_TAB, 0);
        return false;
    }
    return true;
}
