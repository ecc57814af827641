// Row and column operations of the string grid: removing, inserting,
// clearing, trimming, moving, merging and splitting rows, columns and
// rectangles. Rows move as whole records through the library's row shift
// (texts, objects and heights of every real column, hidden ones included),
// so any number of rows costs one pass. Every operation that changes a range
// of cells ends in CellsChanged.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/basegrid/CellPropertiesFree.h"
#include "platform/core/StrUtils.h"

#include <algorithm>

namespace {
// Rotates entry From of a table to place To, the entries between moving one
// place towards From.
template <typename T, std::size_t N>
void RotateEntry(std::array<T, N>& a, int From, int To)
{
    if (From < To)
        std::rotate(a.begin() + From, a.begin() + From + 1, a.begin() + To + 1);
    else if (From > To)
        std::rotate(a.begin() + To, a.begin() + From, a.begin() + From + 1);
}
} // namespace

// ---------------------------------------------------------------------------
// Removing and inserting rows
// ---------------------------------------------------------------------------

void TExStringGrid::RemoveRows(int RowIndex, int RCount)
{
    // A start row at or past the last row removes nothing, and the count is
    // cut to the rows there are: RowCount never drops by rows that were not
    // there.
    if (RowIndex < 0 || RowIndex >= RowCount() || RCount <= 0)
        return;
    RCount = std::min(RCount, RowCount() - RowIndex);
    const int realRow = RealRowIndex(RowIndex);
    const int realBelow = RealRowIndex(RowIndex + RCount);
    for (int i = 0; i < FControlList->Count(); ++i)
        if (TControlItem* ci = FControlList->GetControl(i); ci->Y >= realBelow)
            ci->Y -= RCount;
    FreeCellPropertiesRange(0, RowIndex, AllColCount() - 1, RowIndex + RCount - 1);

    const int lastWidth = ColWidths(ColCount() - 1);
    const bool entered = FEntered;
    FEntered = false;
    // The current cell's selection step: an open editor writes its text
    // back (or is refused) before the rows move.
    if (Col() < ColCount() && Row() < RowCount())
        SelectCell(Col(), Row());
    BeginUpdate();
    const int top = TopRow();
    const int cur = Row();
    if (NumHiddenRows() > 0)
        for (int i = 0; i < FGridItems->Count(); ++i)
            if (FGridItems->Item(i)->Idx > realRow)
                FGridItems->Item(i)->Idx -= RCount;
    for (int i = 0; i < RCount; ++i) {
        if (FShowModified->Enabled && FModifiedRows->Count() > RowIndex)
            FModifiedRows->Delete(RowIndex);
        if (FUseEnabledRows && FEnabledRows->Count() > RowIndex)
            FEnabledRows->Delete(RowIndex);
        if (FMouseActions->DisjunctRowSelect() && int(FRowSelect.size()) > RowIndex)
            FRowSelect.erase(FRowSelect.begin() + RowIndex);
    }
    const int oldCount = RowCount();
    ShiftRows(RowIndex + RCount, -RCount);
    RowCountWritten(oldCount, RowCount());
    FMaxRowCount -= RCount;

    const int lastData = RowCount() - FFixedFooters - 1;
    if (cur <= lastData && cur >= FixedRows()) {
        // The row shift kept the current row's index.
        TBaseGrid::SetTopRow(std::clamp(top, TBaseGrid::FixedRows(), RowCount() - 1));
    } else if (lastData >= FixedRows()) {
        MoveColRow(std::clamp(Col(), 0, ColCount() - 1), lastData, true, true);
    } else {
        HideSelection();
        FSelHidden = false;
    }
    SetColWidths(ColCount() - 1, lastWidth);
    EndUpdate();
    FEntered = entered;
    CellsChanged(TRect{0, RowIndex, ColCount() - 1, RowIndex + RCount});

    const int visible = VisibleRowCount();
    if (TopRow() >= RowCount() + FixedRows() - visible - 2 && RowCount() - visible - 1 > 0)
        TBaseGrid::SetTopRow(std::clamp(RowCount() + FixedRows() - visible - 2, TBaseGrid::FixedRows(),
                                        RowCount() - 1));
    if (FNumCellControls > 0)
        CellControlsUpdate();
    if (FSearchPanel && FSearchFooter->Visible())
        FSearchPanel->Invalidate();
}

void TExStringGrid::RemoveRowRange(int Row, int Count)
{
    if (Row < 0 || Count <= 0 || Row >= RowCount())
        return;
    FreeCellPropertiesRange(0, Row, ColCount() - 1, std::min(Row + Count, RowCount()) - 1);
    DeleteRowRange(Row, Count, true);
}

void TExStringGrid::InsertRows(int RowIndex, int RCount, bool UpdateCellControls)
{
    InsertRowRange(RowIndex, RCount, UpdateCellControls);
}

void TExStringGrid::AppendRow() { SetRowCount(RowCount() + 1); }

void TExStringGrid::InsertAutoRow(int ARow)
{
    if (!HasNodeRows()) {
        InsertRows(ARow, 1, true);
        return;
    }
    if (GetParentRow(DisplRowIndex(ARow)) == -1)
        InsertNormalRow(ARow);
    else
        InsertChildRow(ARow, 0);
}

void TExStringGrid::DeleteAutoRow(int ARow)
{
    if (HasNodeRows()) {
        if (GetParentRow(ARow) == -1)
            RemoveNormalRow(ARow);
        else
            RemoveChildRow(RealRowIndex(ARow));
    } else if (RowCount() - FixedRows() - FFixedFooters == 1 && !FixedRowAlways) {
        // The last normal row is emptied, never removed.
        ClearRows(ARow, 1);
    } else {
        RemoveRowRange(ARow, 1);
    }
    if (OnAutoDeleteRow)
        OnAutoDeleteRow(this, ARow);
}

void TExStringGrid::RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked)
{
    BeginUpdate();
    try {
        for (int r = RowCount() - 1; r >= FixedRows(); --r)
            if (IsChecked(CheckBoxColumn, r) == RemoveChecked)
                RemoveRows(r, 1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::RemoveDuplicates(int ACol, bool DoCase)
{
    // The texts seen are matched without regard to case whatever DoCase
    // says, as callers of this grid have always had it.
    (void)DoCase;
    const int c = RemapColToReal(ACol);
    QSet<QString> seen;
    BeginUpdate();
    try {
        int r = FixedRows();
        while (r < RowCount() - FFixedFooters) {
            const QString key = GetCellEx(c, r).toUpper();
            if (seen.contains(key)) {
                RemoveRowRange(r, 1);
                continue;
            }
            seen.insert(key);
            ++r;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::RemoveSelectedRows()
{
    BeginUpdate();
    try {
        if (FMouseActions->DisjunctRowSelect()) {
            std::vector<int> rows;
            for (int r = RowCount() - FFixedFooters - 1; r >= FixedRows(); --r)
                if (GetRowSelect(FMouseActions->RowSelectPersistent ? RealRowIndex(r) : r))
                    rows.push_back(r);
            for (int r : rows)
                RemoveRowRange(r, 1);
            ClearRowSelect();
        } else {
            const TGridRect s = Selection();
            for (int r = s.Bottom; r >= s.Top; --r)
                RemoveRowRange(r, 1);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::RemoveUnSelectedRows()
{
    BeginUpdate();
    try {
        for (int r = RowCount() - FFixedFooters - 1; r >= FixedRows(); --r)
            if (!GetRowSelect(FMouseActions->RowSelectPersistent ? RealRowIndex(r) : r))
                RemoveRowRange(r, 1);
        if (FMouseActions->RowSelectPersistent)
            SelectRows(FixedRows(), RowCount() - FixedRows() - FFixedFooters);
        else
            ClearRowSelect();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::RemoveSelectedCols()
{
    if (FMouseActions->DisjunctColSelect()) {
        for (int c = ColCount() - 1; c >= FixedCols(); --c) {
            if (!GetColSelect(c))
                continue;
            RemoveCols(c, 1);
            if (c < int(FColSelect.size()))
                FColSelect.erase(FColSelect.begin() + c);
        }
        return;
    }
    const TGridRect s = Selection();
    RemoveCols(s.Left, s.Right - s.Left + 1);
}

void TExStringGrid::RemoveUnSelectedCols()
{
    if (FMouseActions->DisjunctColSelect()) {
        for (int c = ColCount() - 1; c >= FixedCols(); --c) {
            if (GetColSelect(c))
                continue;
            RemoveCols(c, 1);
            if (c < int(FColSelect.size()))
                FColSelect.erase(FColSelect.begin() + c);
        }
    } else {
        const TGridRect s = Selection();
        if (s.Right + 1 < ColCount())
            RemoveCols(s.Right + 1, ColCount() - s.Right - 1);
        if (s.Left > FixedCols())
            RemoveCols(FixedCols(), s.Left - FixedCols());
    }
    ClearColSelect();
}

void TExStringGrid::HideSelectedRows()
{
    BeginUpdate();
    try {
        for (int r = RowCount() - 1; r >= FixedRows(); --r)
            if (GetRowSelect(FMouseActions->RowSelectPersistent ? RealRowIndex(r) : r))
                HideRow(RealRowIndex(r));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::HideUnSelectedRows()
{
    BeginUpdate();
    try {
        int r = FixedRows();
        while (r < RowCount()) {
            if (!GetRowSelect(FMouseActions->RowSelectPersistent ? RealRowIndex(r) : r)) {
                const int before = RowCount();
                HideRow(RealRowIndex(r));
                if (RowCount() < before)
                    continue;
            }
            ++r;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---------------------------------------------------------------------------
// Columns
// ---------------------------------------------------------------------------

void TExStringGrid::InsertCols(int ColIndex, int CCount)
{
    if (CCount <= 0 || ColIndex < 0)
        return;
    const int total = AllColCount();
    // The visibility and width tables hold MaxRealCols columns: a grid that
    // would grow past them is refused whole.
    if (total + CCount > MaxRealCols)
        throw DOriVireZuvez(QStringLiteral("Invalid column accessed"));
    ColIndex = std::min(ColIndex, ColCount());
    const int realAt = ColIndex >= ColCount() ? total : RemapColToReal(ColIndex);
    BeginUpdate();
    const int oldCols = ColCount();
    TBaseGrid::SetColCount(oldCols + CCount);
    // Display widths move right; the new columns take the default width.
    for (int d = ColCount() - 1; d >= ColIndex + CCount; --d)
        SetColWidths(d, ColWidths(d - CCount));
    for (int d = ColIndex; d < ColIndex + CCount; ++d)
        SetColWidths(d, DefaultColWidth());
    // Real columns move right with their flags, stored widths and cells.
    for (int c = total - 1; c >= realAt; --c) {
        FVisibleCol[c + CCount] = FVisibleCol[c];
        FAllColWidths[c + CCount] = FAllColWidths[c];
    }
    for (int c = realAt; c < realAt + CCount; ++c) {
        FVisibleCol[c] = 1;
        FAllColWidths[c] = 0;
    }
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = total - 1; c >= realAt; --c) {
            SetGridCell(c + CCount, r, GetGridCell(c, r));
            SetGridObject(c + CCount, r, static_cast<TCellProperties*>(GetGridObject(c, r)));
        }
        for (int c = realAt; c < realAt + CCount; ++c) {
            SetGridCell(c, r, QString());
            SetGridObject(c, r, nullptr);
        }
    }
    // Hidden rows keep a text per real column as well.
    for (int i = 0; i < FGridItems->Count(); ++i) {
        TStringList* l = FGridItems->Item(i)->Items();
        if (l->Count() > realAt)
            for (int k = 0; k < CCount; ++k)
                l->InsertObject(realAt, QString(), nullptr);
    }
    // Cell controls follow their column.
    for (int i = 0; i < FControlList->Count(); ++i)
        if (TControlItem* ci = FControlList->GetControl(i); ci->X >= realAt)
            ci->X += CCount;
    EndUpdate();
    if (FNumCellControls > 0)
        CellControlsUpdate();
}

void TExStringGrid::RemoveCols(int ColIndex, int CCount)
{
    if (ColIndex < 0 || ColIndex >= ColCount() || CCount <= 0)
        return;
    const int total = AllColCount();
    const int realAt = RemapColToReal(ColIndex);
    CCount = std::min(CCount, total - realAt);
    if (CCount <= 0)
        return;
    ClearRect(realAt, 0, realAt + CCount - 1, RowCount() - 1);
    BeginUpdate();
    // Display widths of the shown columns that go, then the rest move left.
    int shownGone = 0;
    for (int c = realAt; c < realAt + CCount; ++c)
        shownGone += FVisibleCol[c] != 0;
    for (int d = ColIndex; d + shownGone < ColCount(); ++d)
        SetColWidths(d, ColWidths(d + shownGone));
    for (int c = realAt; c + CCount < total; ++c) {
        FVisibleCol[c] = FVisibleCol[c + CCount];
        FAllColWidths[c] = FAllColWidths[c + CCount];
    }
    for (int c = std::max(total - CCount, realAt); c < total; ++c) {
        FVisibleCol[c] = 1;
        FAllColWidths[c] = 0;
    }
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = realAt; c + CCount < total; ++c) {
            SetGridCell(c, r, GetGridCell(c + CCount, r));
            SetGridObject(c, r, static_cast<TCellProperties*>(GetGridObject(c + CCount, r)));
        }
        for (int c = std::max(total - CCount, realAt); c < total; ++c) {
            SetGridCell(c, r, QString());
            SetGridObject(c, r, nullptr);
        }
    }
    for (int i = 0; i < FGridItems->Count(); ++i) {
        TStringList* l = FGridItems->Item(i)->Items();
        for (int k = 0; k < CCount && realAt < l->Count(); ++k) {
            FreeCellPropertiesWithGraphic(dynamic_cast<TCellProperties*>(l->Objects(realAt)));
            l->Delete(realAt);
        }
    }
    for (int i = FControlList->Count() - 1; i >= 0; --i) {
        TControlItem* ci = FControlList->GetControl(i);
        if (ci->X >= realAt + CCount) {
            ci->X -= CCount;
        } else if (ci->X >= realAt) {
            if (ci->Control)
                ci->Control->SetVisible(false);
            FControlList->RemoveControl(i);
            --FNumCellControls;
        }
    }
    // The hidden count is taken again from the flags: removed hidden columns
    // no longer count.
    int hidden = 0;
    for (int c = 0; c < total - CCount; ++c)
        hidden += FVisibleCol[c] == 0;
    FNumHidden = hidden;
    TBaseGrid::SetColCount(std::max(1, ColCount() - shownGone));
    EndUpdate();
    CellsChanged(TRect{ColIndex, 0, ColIndex + CCount, RowCount() - 1});
    if (FNumCellControls > 0)
        CellControlsUpdate();
}

void TExStringGrid::AddColumn() { InsertCols(ColCount(), 1); }

void TExStringGrid::MergeCols(int ColIndex1, int ColIndex2, const QString& Separator)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        SetCellEx(ColIndex1, r, Trim(GetCellEx(ColIndex1, r) + Separator + GetCellEx(ColIndex2, r)));
    RemoveCols(ColIndex2, 1);
}

// ---------------------------------------------------------------------------
// Clearing, colouring and trimming
// ---------------------------------------------------------------------------

void TExStringGrid::ClearRect(int ACol1, int ARow1, int ACol2, int ARow2)
{
    const bool destroying = ComponentState() & csDestroying;
    for (int r = std::max(ARow1, 0); r <= ARow2; ++r) {
        for (int i = std::max(ACol1, 0); i <= ACol2; ++i) {
            const int c = SaveHiddenCells ? RemapColToReal(i) : i;
            if (!FClearTextOnly && HasCellProperties(c, r)) {
                if (FNilObjects) {
                    SetGridObject(c, r, nullptr);
                } else {
                    RemoveCellGraphic(c, r);
                    FreeCellProperties(c, r);
                }
            }
            if (!destroying && !GetGridCell(c, r).isEmpty()) {
                SetCellEx(c, r, QString());
                if (c != i)
                    RepaintCell(i, r);
            }
        }
    }
    if (ACol1 <= 0 && ARow1 <= 0 && ACol2 >= ColCount() - 1 && ARow2 >= RowCount() - 1)
        FHasCellProps = false;
    if (!destroying && !FBlockCellChange)
        CellsChanged(TRect{RemapColToReal(ACol1), ARow1, RemapColToReal(ACol2), ARow2});
}

void TExStringGrid::ClearRows(int RowIndex, int RCount)
{
    if (RowCount() > 0 && ColCount() > 0 && RCount > 0)
        ClearRect(0, RowIndex, ColCount() + NumHiddenColumns() - 1, RowIndex + RCount - 1);
}

void TExStringGrid::ClearCols(int ColIndex, int CCount)
{
    if (RowCount() > 0 && ColCount() > 0 && CCount > 0)
        ClearRect(ColIndex, 0, ColIndex + CCount - 1, RowCount() - 1);
}

void TExStringGrid::ClearNormalRows(int RowIndex, int RCount)
{
    if (RCount > 0)
        ClearRect(FixedCols(), RowIndex, AllColCount() - FFixedRightCols - 1, RowIndex + RCount - 1);
}

void TExStringGrid::ClearNormalCols(int ColIndex, int CCount)
{
    if (CCount > 0)
        ClearRect(ColIndex, FixedRows(), ColIndex + CCount - 1, RowCount() - FFixedFooters - 1);
}

void TExStringGrid::ClearNormalCells()
{
    if (FixedCols() == 0 && HasNodeRows())
        RemoveAllNodes();
    ClearRect(FixedCols(), FixedRows(), AllColCount() - FFixedRightCols - 1, RowCount() - FFixedFooters - 1);
}

void TExStringGrid::Clear()
{
    if (!(ComponentState() & csDestroying) && HasNodeRows())
        RemoveAllNodes();
    ClearRect(0, 0, AllColCount() - 1, RowCount() - 1);
    IncrSearchText.clear();
    if (NumHiddenColumns() > 0)
        Invalidate();
}

void TExStringGrid::ClearAll()
{
    Clear();
    for (int i = 0; i < FGridItems->Count(); ++i) {
        TStringList* l = FGridItems->Item(i)->Items();
        for (int c = 0; c < l->Count(); ++c)
            l->SetStrings(c, QString());
    }
}

void TExStringGrid::ClearSelection()
{
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (GetRowSelect(FMouseActions->RowSelectPersistent ? RealRowIndex(r) : r))
                ClearRows(r, 1);
    } else if (FMouseActions->DisjunctColSelect()) {
        for (int c = FixedCols(); c < ColCount(); ++c)
            if (GetColSelect(c))
                ClearCols(c, 1);
    } else {
        const TGridRect s = Selection();
        ClearRect(s.Left, s.Top, s.Right, s.Bottom);
    }
}

void TExStringGrid::ColorRect(int ACol1, int ARow1, int ACol2, int ARow2, TColor AColor)
{
    for (int r = ARow1; r <= ARow2; ++r)
        for (int c = ACol1; c <= ACol2; ++c)
            SetColors(c, r, AColor);
}

void TExStringGrid::TrimRect(int ACol1, int ARow1, int ACol2, int ARow2)
{
    if (SaveHiddenCells) {
        ACol1 = RemapColToReal(ACol1);
        ACol2 = RemapColToReal(ACol2);
    }
    for (int r = ARow1; r <= ARow2; ++r) {
        for (int c = ACol1; c <= ACol2; ++c) {
            const QString s = GetCellEx(c, r);
            const QString t = Trim(s);
            if (t != s)
                SetCellEx(c, r, t);
        }
    }
}

void TExStringGrid::TrimColumn(int ACol) { TrimRect(ACol, 0, ACol, RowCount() - 1); }
void TExStringGrid::TrimRow(int ARow) { TrimRect(0, ARow, ColCount() - 1, ARow); }
void TExStringGrid::TrimAll() { TrimRect(0, 0, ColCount() - 1, RowCount() - 1); }

// ---------------------------------------------------------------------------
// Moving
// ---------------------------------------------------------------------------

void TExStringGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    // The library moved the display widths; the cells, the visibility flags
    // and the stored widths are kept by real column and move there.
    const int from = RemapColToReal(FromIndex);
    const int to = RemapColToReal(ToIndex);
    if (from >= 0 && to >= 0 && from < MaxRealCols && to < MaxRealCols) {
        RotateEntry(FVisibleCol, from, to);
        RotateEntry(FAllColWidths, from, to);
    }
    TBaseGrid::ColumnMoved(from, to);
    ColumnMovedFollow(FromIndex, ToIndex, from, to);
}

void TExStringGrid::MoveColumn(int FromIndex, int ToIndex)
{
    if (FColumnOrder->Count() == 0)
        SetColumnOrder();
    // Cell controls keep real columns; they follow the rotation of the real
    // range the move makes.
    const int rf = RemapColToReal(FromIndex), rt = RemapColToReal(ToIndex);
    TBaseGrid::MoveColumn(FromIndex, ToIndex);
    for (int i = 0; i < FControlList->Count(); ++i) {
        TControlItem* ci = FControlList->GetControl(i);
        if (ci->X == rf)
            ci->X = rt;
        else if (rt < rf && ci->X >= rt && ci->X < rf)
            ++ci->X;
        else if (rt > rf && ci->X > rf && ci->X <= rt)
            --ci->X;
    }
    if (FNumCellControls > 0)
        CellControlsUpdate();
}

void TExStringGrid::MoveRow(int FromIndex, int ToIndex)
{
    if (RowMoveOntoFooter(ToIndex))
        return;
    TBaseGrid::MoveRow(FromIndex, ToIndex);
    const int rf = RealRowIndex(FromIndex), rt = RealRowIndex(ToIndex);
    for (int i = 0; i < FControlList->Count(); ++i) {
        TControlItem* ci = FControlList->GetControl(i);
        if (ci->Y == rf)
            ci->Y = rt;
        else if (rt < rf && ci->Y >= rt && ci->Y < rf)
            ++ci->Y;
        else if (rt > rf && ci->Y > rf && ci->Y <= rt)
            --ci->Y;
    }
    if (FNumCellControls > 0)
        CellControlsUpdate();
}

void TExStringGrid::MoveRows(int FromIndex, int ToIndex, int Count)
{
    if (FromIndex == ToIndex || Count == 0)
        return;
    const int cols = AllColCount();
    std::vector<QString> texts;
    texts.reserve(std::size_t(Count) * std::size_t(cols));
    for (int r = FromIndex; r < FromIndex + Count; ++r)
        for (int c = 0; c < cols; ++c)
            texts.push_back(GetGridCell(c, r));
    if (FromIndex + Count < ToIndex)
        ToIndex -= Count;
    RemoveRowsEx(FromIndex, Count);
    InsertRows(ToIndex, Count, true);
    std::size_t k = 0;
    for (int r = ToIndex; r < ToIndex + Count; ++r)
        for (int c = 0; c < cols; ++c)
            SetGridCell(c, r, texts[k++]);
}

void TExStringGrid::ScrollInView(int ColIndex, int RowIndex)
{
    if (ColIndex >= ColCount() || RowIndex >= RowCount() || ColIndex < 0 || RowIndex < 0)
        return;
    int left = LeftCol();
    int top = TopRow();
    const int vc = VisibleColCount();
    const int vr = VisibleRowCount();
    if (ColIndex < LeftCol() || ColIndex >= LeftCol() + vc) {
        SetCol(ColIndex);
        left = std::max(ColIndex - vc / 2, FixedCols());
    }
    if (RowIndex < TopRow() || RowIndex >= TopRow() + vr) {
        SetRow(RowIndex);
        top = std::max(RowIndex - vr / 2, FixedRows());
    }
    if (vc < ColCount() - FixedCols())
        SetLeftCol(std::clamp(std::min(left, ColCount() - vc + 1), TBaseGrid::FixedCols(), ColCount() - 1));
    if (vr >= RowCount() - FixedRows())
        return;
    SetTopRow(std::clamp(std::min(top, RowCount() - vr + 1), TBaseGrid::FixedRows(), RowCount() - 1));
    if (FSearchPanel && FSearchFooter->Visible()) {
        int h = Height() - FSearchPanel->Height();
        if (vc < ColCount() - FixedCols())
            h -= GetSystemMetrics(SM_CYHSCROLL);
        while (CellRect(ColIndex, RowIndex).Bottom > h && TopRow() < RowCount() - 1) {
            const int before = TopRow();
            SetTopRow(TopRow() + 1);
            if (TopRow() == before)
                break;
        }
    }
}

// ---------------------------------------------------------------------------
// Merging and splitting along a row
// ---------------------------------------------------------------------------

void TExStringGrid::MergeRowCells(int RowIndex, bool MainMerge)
{
    const int last = ColCount() - FFixedRightCols - 1;
    int start = FixedCols();
    for (int c = FixedCols() + 1; c <= last + 1; ++c) {
        const bool joins = c <= last && GetCellEx(c, RowIndex) == GetCellEx(c - 1, RowIndex) &&
                           (MainMerge || ColSpanIdentical(c - 1, c));
        if (joins)
            continue;
        if (c - start >= 2)
            MergeCells(start, RowIndex, c - start, 1);
        start = c;
    }
}

void TExStringGrid::SplitRowCells(int RowIndex)
{
    int c = 0;
    while (c < ColCount() - FFixedRightCols - 1) {
        if (IsMergedCell(c, RowIndex)) {
            const int span = CellSpan(c, RowIndex).X;
            SplitCells(c, RowIndex);
            c += span + 1;
        } else {
            ++c;
        }
    }
}

void TExStringGrid::SplitAllCells()
{
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (HasCellProperties(c, r) && IsMergedCell(c, r) && IsBaseCell(c, r))
                SplitCells(c, r);
}

// ---------------------------------------------------------------------------
// Queries and cell text hooks
// ---------------------------------------------------------------------------

bool TExStringGrid::IsWideCell(int ACol, int ARow)
{
    return GetCellEx(ACol, ARow).startsWith(QStringLiteral("|\\"));
}

bool TExStringGrid::IsCell(const QString& SubStr, int& ACol, int& ARow)
{
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (GetGridCell(RemapColToReal(c), r) == SubStr) {
                ACol = c;
                ARow = r;
                return true;
            }
    return false;
}

void TExStringGrid::GetCalcCellText(int ACol, int ARow, QString& Text) { Text = GetCellEx(ACol, ARow); }
