// The string grid's selection: the rectangle, hiding it, the per-row and
// per-column flags of disjunct selection, row flags (modified, enabled) and
// the repaint helpers of rows, columns and cell ranges.
#include "gridpack/stringgrid/ExGrid.h"

#include "platform/core/Format.h"

#include <algorithm>

namespace {
const char* const kInvalidColumn = "Invalid column accessed";
const char* const kInvalidRow = "Invalid row accessed";

// Grows a flag list with off entries so that index i exists.
void Grow(std::vector<uint8_t>& flags, int i)
{
    if (i >= int(flags.size()))
        flags.resize(std::size_t(i) + 1, 0);
}

void GrowInts(TIntList* l, int i)
{
    while (l->Count() <= i)
        l->Insert(l->Count(), 0);
}
} // namespace

// ---------------------------------------------------------------------------
// The selection rectangle
// ---------------------------------------------------------------------------

void TExStringGrid::SetSelection(const TGridRect& r)
{
    TBaseGrid::SetSelection(r);
    if (FActiveCellShow) {
        RepaintRow(0);
        RepaintCol(0);
    }
    if (ActiveRowShow())
        RepaintRow(r.Bottom);
}

void TExStringGrid::HideSelection()
{
    FOldSelection = Selection();
    // A cell outside the grid: nothing shows as selected.
    TBaseGrid::SetSelection(TGridRect{ColCount(), RowCount(), ColCount(), RowCount()});
    FSelHidden = true;
}

void TExStringGrid::UnHideSelection()
{
    FSelHidden = false;
    if (FOldSelection.Top < RowCount() && FOldSelection.Left < ColCount()) {
        SetSelection(FOldSelection);
        return;
    }
    const int r = FixedRowAlways && RowCount() == FixedRows() ? 0 : FixedRows();
    const int c = FixedColAlways && ColCount() == FixedCols() ? 0 : FixedCols();
    SetSelection(TGridRect{c, r, c, r});
}

void TExStringGrid::UpdateEditMode() { SelectCell(Col(), Row()); }

void TExStringGrid::SelectionChanged(int ALeft, int ATop, int ARight, int ABottom)
{
    if (Look == glVista || Look == glWin7 || Look == glOffice2007)
        RepaintRect(TRect{Selection().Left, Selection().Top, Selection().Right, Selection().Bottom});
    FSelChange = true;
    if (OnSelectionChanged)
        OnSelectionChanged(this, ALeft, ATop, ARight, ABottom);
}

void TExStringGrid::FixedEdit(int ACol, int ARow, TGridFixedCellEditor AEditor, TStrings* Values)
{
    if (OnFixedEdit)
        OnFixedEdit(this, ACol, ARow, AEditor, Values);
}

void TExStringGrid::EditorCaretText(const QString&, int, int) {}

void TExStringGrid::FilterDone()
{
    if (OnFilterDone)
        OnFilterDone(this);
}

void TExStringGrid::CanAddRow(bool& CanAdd)
{
    if (OnCanAddRow)
        OnCanAddRow(this, CanAdd);
}

void TExStringGrid::CanInsertRow(int ARow, bool& CanInsert)
{
    if (OnCanInsertRow)
        OnCanInsertRow(this, ARow, CanInsert);
}

void TExStringGrid::FocusCell(int ACol, int ARow) { SetSelection(TGridRect{ACol, ARow, ACol, ARow}); }

void TExStringGrid::EditCell(int ACol, int ARow)
{
    if (CanFocus())
        SetFocus();
    GotoCell(ACol, ARow);
    ShowEditor();
}

// ---------------------------------------------------------------------------
// Selecting rows and columns
// ---------------------------------------------------------------------------

void TExStringGrid::SelectRows(int RowIndex, int RCount)
{
    if (RowIndex + RCount > RowCount())
        RCount = RowCount() - RowIndex;
    if (!FMouseActions->DisjunctRowSelect()) {
        SetSelection(TGridRect{FixedCols(), RowIndex, ColCount() - 1, RowIndex + RCount - 1});
    } else {
        for (int r = RowIndex; r < RowIndex + RCount; ++r) {
            const int i = FMouseActions->RowSelectPersistent ? RealRowIndex(r) : r;
            if (i < RowCount())
                SetRowSelect(i, true);
        }
    }
    if (!FRowIndicator->Empty())
        RepaintCol(0);
    FSelChange = false;
}

void TExStringGrid::UnSelectRows(int RowIndex, int RCount)
{
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = RowIndex; r < RowIndex + RCount; ++r) {
            const int i = FMouseActions->RowSelectPersistent ? RealRowIndex(r) : r;
            if (i < RowCount())
                SetRowSelect(i, false);
        }
    }
    FSelChange = false;
}

void TExStringGrid::SelectCols(int ColIndex, int CCount)
{
    if (!FMouseActions->DisjunctColSelect()) {
        SetSelection(TGridRect{ColIndex, FixedRows(), ColIndex + CCount - 1, RowCount() - 1});
        return;
    }
    for (int c = ColIndex; c < ColIndex + CCount; ++c)
        if (c < ColCount())
            SetColSelect(c, true);
}

void TExStringGrid::UnSelectCols(int ColIndex, int CCount)
{
    if (!FMouseActions->DisjunctColSelect())
        return;
    for (int c = ColIndex; c < ColIndex + CCount; ++c)
        if (c < ColCount())
            SetColSelect(c, false);
}

void TExStringGrid::SelectRange(int FromCol, int ToCol, int FromRow, int ToRow)
{
    SetRow(ToRow);
    SetCol(ToCol);
    SetSelection(TGridRect{FromCol, FromRow, ToCol, ToRow});
}

bool TExStringGrid::GetRowSelect(int ARow)
{
    if ((ARow < 0 || ARow >= RowCount() + NumHiddenRows()) && !FMouseActions->RowSelectPersistent)
        throw DOriVireZuvez(QStringLiteral("Invalid row %1 accessed").arg(ARow));
    if (FMouseActions->DisjunctRowSelect()) {
        if (ARow < 0)
            throw EListError(QStringLiteral("List index out of bounds (%1)").arg(ARow));
        Grow(FRowSelect, ARow);
        return FRowSelect[ARow] != 0;
    }
    const TGridRect s = Selection();
    return ARow >= std::min(s.Top, s.Bottom) && ARow <= std::max(s.Top, s.Bottom);
}

void TExStringGrid::SetRowSelect(int ARow, bool Value)
{
    if ((ARow >= RowCount() + NumHiddenRows() && RowCount() > FixedRows()) || ARow < 0)
        throw DOriVireZuvez(QString::fromLatin1(kInvalidRow));
    bool allow = true;
    if (OnRowDisjunctSelect && (ARow >= int(FRowSelect.size()) || (FRowSelect[ARow] != 0) != Value))
        OnRowDisjunctSelect(this, ARow, Value, allow);
    if (!allow)
        return;
    Grow(FRowSelect, ARow);
    if (Value) {
        if (!FRowSelect[ARow])
            RepaintRow(ARow);
        FRowSelect[ARow] = 1;
        if (!FSelectedRows->HasValue(ARow) && ARow >= FixedRows())
            FSelectedRows->Add(ARow);
    } else {
        if (FRowSelect[ARow])
            RepaintRow(ARow);
        FRowSelect[ARow] = 0;
        FSelectedRows->DeleteValue(ARow);
    }
    if (OnRowDisjunctSelected)
        OnRowDisjunctSelected(this, ARow);
}

bool TExStringGrid::GetColSelect(int ACol)
{
    if (ACol < 0 || ACol >= ColCount())
        throw DOriVireZuvez(QString::fromLatin1(kInvalidColumn));
    Grow(FColSelect, ACol);
    return FColSelect[ACol] != 0;
}

void TExStringGrid::SetColSelect(int ACol, bool Value)
{
    if (ACol < 0 || ACol >= ColCount())
        throw DOriVireZuvez(QString::fromLatin1(kInvalidColumn));
    Grow(FColSelect, ACol);
    if ((FColSelect[ACol] != 0) != Value)
        RepaintCol(ACol);
    FColSelect[ACol] = Value ? 1 : 0;
}

void TExStringGrid::ClearRowSelect()
{
    for (int r = 0; r < int(FRowSelect.size()); ++r) {
        if (FRowSelect[r]) {
            RepaintRow(r);
            FRowSelect[r] = 0;
        }
    }
    FSelectedRows->Clear();
}

void TExStringGrid::ClearColSelect()
{
    for (int c = 0; c < int(FColSelect.size()); ++c) {
        if (FColSelect[c]) {
            RepaintCol(c);
            FColSelect[c] = 0;
        }
    }
}

int TExStringGrid::RowSelectCount() const
{
    if (FMouseActions->DisjunctRowSelect()) {
        const int n = std::min(RowCount() + NumHiddenRows(), int(FRowSelect.size()));
        return int(std::count_if(FRowSelect.begin(), FRowSelect.begin() + std::max(n, 0),
                                 [](uint8_t f) { return f != 0; }));
    }
    const TGridRect s = Selection();
    return std::abs(s.Bottom - s.Top) + 1;
}

int TExStringGrid::ColSelectCount() const
{
    if (FMouseActions->DisjunctColSelect())
        return int(std::count_if(FColSelect.begin(), FColSelect.end(), [](uint8_t f) { return f != 0; }));
    const TGridRect s = Selection();
    return s.Right - s.Left + 1;
}

void TExStringGrid::UpdateRowSelect(bool All)
{
    TGridRect s = Selection();
    if (s.Bottom >= RowCount() - FFixedFooters)
        s.Bottom = RowCount() - FFixedFooters - 1;
    for (int r = FixedRows(); r < RowCount(); ++r) {
        const bool inside = s.Top <= r && r <= s.Bottom;
        if (All || inside)
            SetRowSelect(FMouseActions->RowSelectPersistent ? RealRowIndex(r) : r, inside);
    }
    if (NumHiddenRows() > 0)
        Invalidate();
}

void TExStringGrid::UpdateColSelect(bool All)
{
    const TGridRect s = Selection();
    for (int c = FixedCols(); c < ColCount(); ++c) {
        const bool inside = s.Left <= c && c <= s.Right;
        if (All || inside)
            SetColSelect(c, inside);
    }
}

// ---------------------------------------------------------------------------
// Row flags
// ---------------------------------------------------------------------------

bool TExStringGrid::GetRowModified(int ARow) const
{
    return ARow >= 0 && ARow < FModifiedRows->Count() && FModifiedRows->GetInteger(ARow) == 1;
}

void TExStringGrid::SetRowModified(int ARow, bool Value)
{
    if (ARow < 0)
        return;
    GrowInts(FModifiedRows, ARow);
    FModifiedRows->SetInteger(ARow, Value ? 1 : 0);
    RepaintCell(0, ARow);
}

int TExStringGrid::ModifiedRowCount() const
{
    int n = 0;
    for (int i = 0; i < FModifiedRows->Count(); ++i)
        n += FModifiedRows->GetInteger(i) == 1;
    return n;
}

bool TExStringGrid::GetRowEnabled(int ARow) const
{
    return ARow < 0 || ARow >= FEnabledRows->Count() || FEnabledRows->GetInteger(ARow) == 0;
}

void TExStringGrid::SetRowEnabled(int ARow, bool Value)
{
    if (ARow < 0)
        return;
    if (ARow == Row()) {
        for (int r = FixedRows(); r < RowCount(); ++r) {
            if (r != ARow && GetRowEnabled(r)) {
                SetRow(r);
                break;
            }
        }
    }
    FUseEnabledRows = true;
    GrowInts(FEnabledRows, ARow);
    FEnabledRows->SetInteger(ARow, Value ? 0 : 1);
    RepaintRow(ARow);
}

// ---------------------------------------------------------------------------
// Repainting
// ---------------------------------------------------------------------------

void TExStringGrid::RepaintRow(int ARow)
{
    if (ARow < 0 || ARow >= RowCount())
        return;
    const TRect first = TBaseGrid::CalcCellRect(0, ARow);
    const int lastCol = std::min(LeftCol() + VisibleColCount(), ColCount() - 1);
    const TRect last = TBaseGrid::CalcCellRect(lastCol, ARow);
    InvalidateRect(TRect{first.Left, first.Top, std::min(last.Right, ClientWidth()), first.Bottom});
}

void TExStringGrid::RepaintCol(int ACol)
{
    if (ACol < 0 || ACol >= ColCount())
        return;
    const TRect first = TBaseGrid::CalcCellRect(ACol, TopRow());
    const int lastRow = std::min(TopRow() + VisibleRowCount(), RowCount() - 1);
    const TRect last = TBaseGrid::CalcCellRect(ACol, lastRow);
    InvalidateRect(TRect{first.Left, first.Top, first.Right, std::min(last.Bottom, ClientHeight())});
}

void TExStringGrid::RepaintRect(const TRect& r)
{
    if (r.Left < 0 || r.Top < 0 || r.Right < 0 || r.Bottom < 0)
        return;
    const TRect a = TCustomGrid::CellRect(r.Left, r.Top);
    const TRect b = TCustomGrid::CellRect(std::min(VisibleColCount() + FixedCols(), r.Right), r.Bottom);
    if (a.IsEmpty() || b.IsEmpty()) {
        Invalidate();
        return;
    }
    InvalidateRect(TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                         std::max(a.Bottom, b.Bottom)});
}

void TExStringGrid::RepaintActiveHeaders(int ACol1, int ARow1, int ACol2, int ARow2)
{
    for (auto [c, r] : {std::pair{ACol1, ARow1}, std::pair{ACol2, ARow2}}) {
        if (FixedRows() > 0)
            RepaintCell(c, FixedRows() - 1);
        if (FixedCols() > 0)
            RepaintCell(FixedCols() - 1, r);
    }
}

void TExStringGrid::SwapCells(TGridCoord FromCell, TGridCoord ToCell)
{
    const QString t = GetGridCell(FromCell.X, FromCell.Y);
    auto* o = dynamic_cast<TCellProperties*>(GetGridObject(FromCell.X, FromCell.Y));
    SetGridCell(FromCell.X, FromCell.Y, GetGridCell(ToCell.X, ToCell.Y));
    SetGridObject(FromCell.X, FromCell.Y, dynamic_cast<TCellProperties*>(GetGridObject(ToCell.X, ToCell.Y)));
    SetGridCell(ToCell.X, ToCell.Y, t);
    SetGridObject(ToCell.X, ToCell.Y, o);
}

int TExStringGrid::GetPrintColWidth(int ACol) const
{
    if (ACol < 0 || ACol >= int(FPrintColWidth.size()))
        throw DOriVireZuvez(QStringLiteral("Columns is not in valid range"));
    return FPrintColWidth[size_t(ACol)];
}

int TExStringGrid::GetPrintColOffset(int ACol) const
{
    if (ACol < 0 || ACol >= int(FPrintColOffset.size()))
        throw DOriVireZuvez(QStringLiteral("Columns is not in valid range"));
    return FPrintColOffset[size_t(ACol)];
}

bool TExStringGrid::IsLastRowAboveSearchPanel()
{
    if (!FSearchFooter->Visible() || TopRow() + VisibleRowCount() < RowCount() - 1)
        return false;
    const TRect r = TBaseGrid::CalcCellRect(0, RowCount() - 1);
    return r.Bottom < ClientHeight() - FSearchPanel->Height() + 2;
}

void TExStringGrid::ScrollAboveSearchPanel()
{
    if (!FSearchFooter->Visible() || ClientHeight() <= DefaultRowHeight() + FSearchPanel->Height())
        return;
    while (TopRow() < RowCount() - 1 && Row() <= RowCount() - 1) {
        const TRect r = TBaseGrid::CalcCellRect(0, RowCount() - 1);
        if (r.Bottom <= ClientHeight() - FSearchPanel->Height() + 2)
            break;
        TBaseGrid::SetTopRow(TopRow() + 1);
    }
}
