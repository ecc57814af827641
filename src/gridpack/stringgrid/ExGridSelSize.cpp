// The selection as a set of cells, its text, numbering a column or row,
// sizing columns and rows to their content and to the control's width,
// exchanging rows and columns, and the sizing permission of fixed cells.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/basegrid/RorIdad.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "gridpack/gridexchange/ExGridDragDrop.h"

#include <algorithm>
#include <cmath>

namespace {
// A limit of 0 or less is not applied; equal limits leave the value.
int ClampSize(int v, int lo, int hi)
{
    if (lo > 0 && hi > 0 && lo == hi)
        return v;
    if (lo > 0 && v < lo)
        v = lo;
    if (hi > 0 && v > hi)
        v = hi;
    return v;
}
} // namespace

// ---------------------------------------------------------------------------
// Selection sets
// ---------------------------------------------------------------------------

TGridCoord TSelectedCellList::Cell(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return FCells[std::size_t(Index)];
}

void TExStringGrid::SelectCells(int FromCol, int FromRow, int ToCol, int ToRow)
{
    SetSelection(TGridRect{FromCol, FromRow, ToCol, ToRow});
}

void TExStringGrid::InvalidateCellRange(const TGridRect& R)
{
    TRect area, shown;
    UnionRect(area, CalcCellRect(R.Left, R.Top), CalcCellRect(R.Right, R.Bottom));
    if (IntersectRect(shown, area, ClientRect()))
        InvalidateRect(shown);
}

bool TExStringGrid::IsSelected(int ACol, int ARow)
{
    if (ARow < FixedRows() || ACol < FixedCols())
        return false;
    if (FMouseActions->DisjunctCellSelect())
        return FSelectedCells.Has(ACol, ARow);
    if (FMouseActions->DisjunctRowSelect())
        return GetRowSelect(FMouseActions->RowSelectPersistent ? RealRowIndex(ARow) : ARow);
    if (FMouseActions->DisjunctColSelect())
        return GetColSelect(ACol);
    const TGridRect s = Selection();
    return ACol >= s.Left && ACol <= s.Right && ARow >= s.Top && ARow <= s.Bottom;
}

bool TExStringGrid::GetSelectedCells(int ACol, int ARow)
{
    if (FMouseActions->DisjunctCellSelect())
        return FSelectedCells.Has(ACol, ARow);
    const TGridRect s = Selection();
    return ACol >= std::min(s.Left, s.Right) && ACol <= std::max(s.Left, s.Right) &&
           ARow >= std::min(s.Top, s.Bottom) && ARow <= std::max(s.Top, s.Bottom);
}

void TExStringGrid::SetSelectedCells(int ACol, int ARow, bool Value)
{
    if (Value ? FSelectedCells.Add(ACol, ARow) : FSelectedCells.Remove(ACol, ARow))
        RepaintCell(ACol, ARow);
}

int TExStringGrid::SelectedCellsCount()
{
    if (FMouseActions->DisjunctCellSelect())
        return FSelectedCells.Count();
    FSelectedCells.Clear();
    const TGridRect s = Selection();
    if (s.Left == s.Right && s.Top == s.Bottom) {
        FSelectedCells.Add(Col(), Row());
    } else {
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r)
                FSelectedCells.Add(c, r);
    }
    return FSelectedCells.Count();
}

TGridCoord TExStringGrid::SelectedCell(int Index)
{
    return FSelectedCells.Cell(Index);
}

void TExStringGrid::ClearSelectedCells()
{
    SetSelection(TGridRect{FixedCols(), FixedRows(), FixedCols(), FixedRows()});
    FSelectedCells.Clear();
    Invalidate();
}

int TExStringGrid::SelectedColCount()
{
    if (FMouseActions->DisjunctColSelect())
        return ColSelectCount();
    const TGridRect s = Selection();
    const int L = s.Left, R = s.Right, T = s.Top;
    if (IsMergedCell(L, T) && IsBaseCell(L, T)) {
        const int span = CellSpan(L, T).X;
        return L + span > R ? span + 1 : std::abs(L - R) + 1;
    }
    if (IsMergedCell(R, T) && IsBaseCell(R, T))
        return std::abs(L - R) + CellSpan(R, T).X + 1;
    return std::abs(L - R) + 1;
}

int TExStringGrid::SelectedRowCount()
{
    if (FMouseActions->DisjunctRowSelect())
        return RowSelectCount();
    const TGridRect s = Selection();
    const int L = s.Left, T = s.Top;
    const int B = std::min(s.Bottom, RowCount() - FFixedFooters - 1);
    if (IsMergedCell(L, T) && IsBaseCell(L, T)) {
        const int span = CellSpan(L, T).Y;
        return T + span > B ? span + 1 : std::abs(T - B) + 1;
    }
    if (IsMergedCell(L, B) && IsBaseCell(L, B))
        return std::abs(T - B) + CellSpan(L, B).Y + 1;
    return std::abs(T - B) + 1;
}

int TExStringGrid::SelectedRow(int i)
{
    // A negative index selects nothing (not a row above the selection).
    if (i < 0)
        return -1;
    if (FMouseActions->DisjunctRowSelect()) {
        int n = 0;
        for (int r = 0; r < int(FRowSelect.size()); ++r)
            if (FRowSelect[std::size_t(r)] && n++ == i)
                return r;
        return -1;
    }
    const TGridRect s = Selection();
    const int lo = std::min(s.Top, s.Bottom), hi = std::max(s.Top, s.Bottom);
    return lo + i <= hi ? lo + i : -1;
}

QString TExStringGrid::SelectedText()
{
    const TGridRect s = Selection();
    int c1 = s.Left, c2 = s.Right;
    if ((Options() & goRowSelect) && FDragDropSettings->OleEntireRows) {
        c1 = 0;
        c2 = ColCount() - 1;
    }
    std::vector<int> rows;
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (GetRowSelect(FMouseActions->RowSelectPersistent ? RealRowIndex(r) : r))
                rows.push_back(r);
    } else {
        for (int r = s.Top; r <= s.Bottom; ++r)
            rows.push_back(r);
    }
    QString out;
    for (int r : rows) {
        for (int c = c1; c <= c2; ++c) {
            QString t = GetCellEx(RealColIndex(c), r);
            if (ExcelClipboardFormat && CountTextLines(t, Multilinecells) > 1) {
                t.replace(QStringLiteral("\r\n"), QStringLiteral("\x0B"));
                t.replace(QLatin1Char('\n'), QLatin1Char('\x0B'));
                t = QLatin1Char('"') + t + QLatin1Char('"');
            }
            out += t;
            if (c != c2)
                out += QLatin1Char('\t');
        }
        if (r != s.Bottom)
            out += QStringLiteral("\r\n");
    }
    return out;
}

void TExStringGrid::ClearModifiedRows()
{
    FModifiedRows->Clear();
    Invalidate();
}

// ---------------------------------------------------------------------------
// Numbering
// ---------------------------------------------------------------------------

void TExStringGrid::AutoNumberCol(int ACol)
{
    if (RowCount() <= 0)
        return;
    const int L = RowCount() - 1 - FFixedFooters;
    for (int r = FixedRows() + AutoNumberStart; r <= L; ++r) {
        const int v = r - FixedRows() + 1 + AutoNumberOffset;
        if (AutoNumberDirection == sdAscending)
            SetInts(ACol, r, v);
        else
            SetInts(ACol, FixedRows() + L - r, v);
    }
}

void TExStringGrid::AutoNumberRow(int ARow)
{
    if (ColCount() <= 0)
        return;
    const int L = ColCount() - 1 - FFixedRightCols;
    for (int c = FixedCols() + AutoNumberStart; c <= L; ++c) {
        const int v = c - FixedCols() + 1 + AutoNumberOffset;
        if (AutoNumberDirection == sdAscending)
            SetInts(c, ARow, v);
        else
            SetInts(FixedCols() + L - c, ARow, v);
    }
}

// ---------------------------------------------------------------------------
// Sizing columns and rows to their content
// ---------------------------------------------------------------------------

bool TExStringGrid::IsSortIndicatorRow(int ACol, int ARow)
{
    int r = ARow;
    if (IsMergedCell(ACol, ARow))
        r += CellSpan(ACol, ARow).Y;
    return r == FSortSettings->Row && FSortSettings->Show && FixedRows() + 1 < RowCount();
}

void TExStringGrid::FitColumnWidth(int ACol, bool GrowOnly)
{
    int r1 = 0, r2 = RowCount() - 1;
    if (FColumnSize->Rows == arNormal) {
        r1 = FixedRows();
        r2 = RowCount() - FFixedFooters - 1;
    } else if (FColumnSize->Rows == arFixed) {
        r2 = FixedRows() - 1;
    }
    const int rc = RealColIndex(ACol);
    const int lines = 2 * (GridLineWidth() + 1);
    int widest = 0;
    for (int r = r1; r <= r2; ++r) {
        if (FHasCellProps && IsXMergedCell(ACol, r))
            continue;
        int need;
        const TCellGraphic* g = FHasCellProps ? GetCellGraphic(rc, r) : nullptr;
        if (g && g->CellHAlign == haFull) {
            need = GetCellGraphicSize(rc, r).X - (lines + XYOffset().X);
        } else {
            need = (g ? GetCellGraphicSize(rc, r).X : 0) + GetCellTextSize(rc, r, false, false).cx;
            if (FControlLook->DropDownAlwaysVisible() && HasComboBox(rc, r))
                need += 16;
            if (FilterDropDownAuto && r == FilterDropDownRow && GetColumnFilter(rc))
                need += 12;
            if (ACol == FSortSettings->Column && IsSortIndicatorRow(ACol, r))
                need += 10;
        }
        widest = std::max(widest, need);
    }
    int width = widest + GetXYOffsetWidth() + lines;
    if (GrowOnly && ColWidths(ACol) >= width)
        return;
    UpdateAutoColumnSize(rc, width);
    SetColWidths(ACol, ClampSize(width, MinColWidth, MaxColWidth));
}

void TExStringGrid::AutoSizeCol(int ACol, int Padding)
{
    FitColumnWidth(ACol, SizeGrowOnly);
    if (Padding != 0)
        SetColWidths(ACol, ClampSize(ColWidths(ACol) + Padding, MinColWidth, MaxColWidth));
}

void TExStringGrid::AutoSizeColumns(bool DoFixedCols, int Padding)
{
    const int from = DoFixedCols ? 0 : FixedCols();
    const int to = DoFixedCols ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
    BeginUpdate();
    try {
        for (int c = from; c <= to; ++c)
            AutoSizeCol(c, Padding);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::FitRowHeight(int ARow, bool GrowOnly, int Extra)
{
    int tallest = 0;
    for (int c = 0; c < ColCount(); ++c) {
        const int rc = RealColIndex(c);
        if (IsIgnoredColumn(rc))
            continue;
        if (FHasCellProps && IsMergedNonBaseCell(c, ARow))
            continue; // a covered cell needs nothing
        if (FHasCellProps && IsYMergedCell(c, ARow))
            continue;
        const TCellGraphic* g = FHasCellProps ? GetCellGraphic(rc, ARow) : nullptr;
        const TCellType kind = g ? g->CellType : ctNone;
        int need;
        if (kind == ctCheckBox || kind == ctDataCheckBox || kind == ctVirtCheckBox || kind == ctRadioButton) {
            need = DefaultRowHeight();
        } else {
            const int text = GetCellTextSize(rc, ARow, WordWrap, false).cy;
            int graphic = g ? CalcCellGraphicSize(rc, ARow, Extra).Y : 0;
            if (g && g->CellVAlign == vaFull)
                graphic = text == 0 ? DefaultRowHeight() : 0;
            need = text + graphic;
        }
        tallest = std::max(tallest, need);
    }
    const int height = tallest + GetXYOffsetHeight() + 2 * GridLineWidth() + (XYOffsetTopLeftOnly ? 2 : 0);
    if (GrowOnly && RowHeights(ARow) >= height)
        return;
    SetRowHeights(ARow, ClampSize(height, MinRowHeight, MaxRowHeight));
}

void TExStringGrid::AutoSizeRow(int ARow, int Padding)
{
    FitRowHeight(ARow, SizeGrowOnly, Padding);
    if (Padding != 0)
        SetRowHeights(ARow, ClampSize(RowHeights(ARow) + Padding, MinRowHeight, MaxRowHeight));
}

void TExStringGrid::AutoSizeRows(bool DoFixedRows, int Padding)
{
    if (RowCount() == 0)
        return;
    const int from = DoFixedRows ? 0 : FixedRows();
    ExportNotification(0, from);
    for (int r = from; r < RowCount(); ++r) {
        ExportNotification(5, r);
        if (WordWrap)
            AutoSizeRow(r, Padding);
        else
            SizeRowToLines(r, MaxRowLineCount(r), Padding);
    }
    ExportNotification(2, -1);
}

void TExStringGrid::SizeRowToLines(int ARow, int Lines, int Extra)
{
    TCanvas* c = Canvas();
    TBrush brush;
    TFont font;
    font.Assign(*GetCellFont(RealColIndex(FixedCols()), ARow));
    GetCellColor(RealColIndex(FixedCols()), ARow, 0, &brush, &font);
    c->Font().Assign(font);
    const int h = c->TextHeight(QStringLiteral("gh"));
    SetRowHeights(ARow, ClampSize(Extra + Lines * (h + h / 8), MinRowHeight, MaxRowHeight));
}

void TExStringGrid::AutoSizeCells(bool DoFixedCells, int PaddingX, int PaddingY)
{
    BeginUpdate();
    try {
        const int c0 = DoFixedCells ? 0 : FixedCols();
        const int r0 = DoFixedCells ? 0 : FixedRows();
        for (int c = c0; c < ColCount(); ++c) {
            const int rc = RealColIndex(c);
            int width = SizeGrowOnly ? ColWidths(c) : 0;
            for (int r = r0; r < RowCount(); ++r) {
                const TSize t = GetCellTextSize(rc, r, false, false);
                const TPoint g = GetCellGraphicSize(rc, r);
                const int nx = t.cx + g.X + PaddingX + XYOffset().X;
                const int ny = t.cy + g.Y + PaddingY + XYOffset().Y;
                if (!(FHasCellProps && IsXMergedCell(c, r)))
                    width = std::max(width, ClampSize(nx, MinColWidth, MaxColWidth));
                if (!(FHasCellProps && IsYMergedCell(c, r)) && ny > RowHeights(r))
                    SetRowHeights(r, ClampSize(ny, MinRowHeight, MaxRowHeight));
            }
            SetColWidths(c, width);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::AutoFitColumns(bool DoFixedCells)
{
    const bool rowsHidden = VisibleRowCount() < RowCount() - FixedRows();
    const int s = FScrollBarAlways == saVert ||
                          ((FScrollBars == ssVertical || FScrollBars == ssBoth) && rowsHidden)
                      ? GetSystemMetrics(SM_CXVSCROLL)
                      : 0;
    const int b = BorderStyle() == bsSingle ? (FFlat ? 2 : 4) : 0;
    int c1 = 0, c2 = ColCount() - 1;
    int W = Width();
    if (!DoFixedCells) {
        c1 = FixedCols();
        c2 = ColCount() - FFixedRightCols - 1;
        for (int c = 0; c < c1; ++c)
            W -= ColWidths(c);
        for (int c = c2 + 1; c < ColCount(); ++c)
            W -= ColWidths(c);
    }
    int lines = 0;
    if (Options() & goVertLine)
        lines = GridLineWidth() * (ColCount() - FixedCols() - FFixedRightCols);
    if ((Options() & goFixedVertLine) && DoFixedCells)
        lines += FixedCols() + FFixedRightCols;
    int rest = 0;
    if (ColCount() < 2) {
        SetColWidths(0, Width() - s - 5);
    } else {
        const int avail = W - s - b;
        int sum = 0;
        for (int c = c1; c <= c2; ++c)
            sum += ColWidths(c);
        if (sum == avail || sum <= 0)
            return;
        const double f = double(avail - lines) / sum;
        double t = 0;
        for (int c = c1; c <= c2; ++c)
            t += std::nearbyint(ColWidths(c) * f);
        int newSum = 0;
        for (int c = c1; c <= c2; ++c) {
            const int w = int(std::nearbyint(ColWidths(c) * t / sum));
            SetColWidths(c, w);
            newSum += w;
        }
        rest = avail - newSum;
        const int n = c2 - c1 + 1;
        if (n > 1 && rest > n) {
            for (int c = c1; c <= c2; ++c)
                SetColWidths(c, ColWidths(c) + rest / n);
            rest %= n;
        }
    }
    int widest = c1;
    for (int c = c1; c <= c2; ++c)
        if (ColWidths(c) > ColWidths(widest))
            widest = c;
    if (rest != 0 && widest >= 0 && widest < ColCount())
        SetColWidths(widest, ColWidths(widest) + rest);
}

void TExStringGrid::SizeToCols()
{
    int w = 0;
    for (int c = 0; c < ColCount(); ++c)
        w += ColWidths(c) + GridLineWidth();
    SetBounds(Left(), Top(), Width() - ClientWidth() + w, Height());
}

void TExStringGrid::SizeToRows()
{
    int h = 0;
    for (int r = 0; r < RowCount(); ++r)
        h += RowHeights(r) + GridLineWidth();
    SetBounds(Left(), Top(), Width(), Height() - ClientHeight() + h);
}

void TExStringGrid::SizeToCells()
{
    const TScrollStyle bars = FScrollBars;
    SetScrollBars(ssNone);
    SizeToCols();
    SizeToRows();
    SetScrollBars(bars);
}

// ---------------------------------------------------------------------------
// Exchanging rows and columns
// ---------------------------------------------------------------------------

void TExStringGrid::SwapRowData(int ARow1, int ARow2)
{
    const int cols = AllColCount();
    for (int c = 0; c < cols; ++c) {
        const QString t = GetGridCell(c, ARow1);
        auto* o = static_cast<TCellProperties*>(GetGridObject(c, ARow1));
        SetGridCell(c, ARow1, GetGridCell(c, ARow2));
        SetGridObject(c, ARow1, static_cast<TCellProperties*>(GetGridObject(c, ARow2)));
        SetGridCell(c, ARow2, t);
        SetGridObject(c, ARow2, o);
    }
    const int h = RowHeights(ARow1);
    if (h != RowHeights(ARow2)) {
        SetRowHeights(ARow1, RowHeights(ARow2));
        SetRowHeights(ARow2, h);
    }
}

void TExStringGrid::SwapRows(int ARow1, int ARow2)
{
    SwapRowData(ARow1, ARow2);
    const int r1 = RealRowIndex(ARow1), r2 = RealRowIndex(ARow2);
    for (int i = 0; i < FControlList->Count(); ++i) {
        TControlItem* ci = FControlList->GetControl(i);
        if (ci->Y == r1)
            ci->Y = r2;
        else if (ci->Y == r2)
            ci->Y = r1;
    }
    CellControlsUpdate();
    RepaintRow(ARow1);
    RepaintRow(ARow2);
}

void TExStringGrid::SwapColumns(int ACol1, int ACol2)
{
    const int c1 = RealColIndex(ACol1), c2 = RealColIndex(ACol2);
    for (int r = 0; r < RowCount(); ++r) {
        const QString t = GetGridCell(c1, r);
        auto* o = static_cast<TCellProperties*>(GetGridObject(c1, r));
        SetGridCell(c1, r, GetGridCell(c2, r));
        SetGridObject(c1, r, static_cast<TCellProperties*>(GetGridObject(c2, r)));
        SetGridCell(c2, r, t);
        SetGridObject(c2, r, o);
    }
    const int w = ColWidths(ACol1);
    SetColWidths(ACol1, ColWidths(ACol2));
    SetColWidths(ACol2, w);
    if (FSortSettings->Column == ACol1)
        FSortSettings->Column = ACol2;
    else if (FSortSettings->Column == ACol2)
        FSortSettings->Column = ACol1;
    for (int i = 0; i < FControlList->Count(); ++i) {
        TControlItem* ci = FControlList->GetControl(i);
        if (ci->X == c1)
            ci->X = c2;
        else if (ci->X == c2)
            ci->X = c1;
    }
    CellControlsUpdate();
    RepaintCol(ACol1);
    RepaintCol(ACol2);
}

void TExStringGrid::SortSwapRows(int ARow1, int ARow2)
{
    ++FSortSwaps;
    if (ARow1 < FSortRowXRef->Count() && ARow2 < FSortRowXRef->Count()) {
        const int x = FSortRowXRef->GetInteger(ARow1);
        FSortRowXRef->SetInteger(ARow1, FSortRowXRef->GetInteger(ARow2));
        FSortRowXRef->SetInteger(ARow2, x);
    }
    if (FSortSettings->SingleColumn) {
        const int c = RealColIndex(FSortSettings->Column);
        const QString t = GetCellEx(c, ARow1);
        auto* o = static_cast<TCellProperties*>(GetGridObject(c, ARow1));
        SetCellEx(c, ARow1, GetCellEx(c, ARow2));
        SetGridObject(c, ARow1, static_cast<TCellProperties*>(GetGridObject(c, ARow2)));
        SetCellEx(c, ARow2, t);
        SetGridObject(c, ARow2, o);
        return;
    }
    SwapRowData(ARow1, ARow2);
    if (FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort) {
        const int a = NumHiddenRows() > 0 ? RealRowIndex(ARow1) : ARow1;
        const int b = NumHiddenRows() > 0 ? RealRowIndex(ARow2) : ARow2;
        const bool sa = GetRowSelect(a);
        SetRowSelect(a, GetRowSelect(b));
        SetRowSelect(b, sa);
    }
    if (FShowModified->Enabled) {
        const bool ma = GetRowModified(ARow1);
        SetRowModified(ARow1, GetRowModified(ARow2));
        SetRowModified(ARow2, ma);
    }
    if (FSortSettings->Row == ARow1)
        FSortSettings->Row = ARow2;
    else if (FSortSettings->Row == ARow2)
        FSortSettings->Row = ARow1;
}

// ---------------------------------------------------------------------------
// Sizing permission of the fixed cells
// ---------------------------------------------------------------------------

void TExStringGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                    const TGridDrawInfo& FixedInfo)
{
    TBaseGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs, FixedInfo);
    if (State == gsColSizing) {
        int c = 0, r = 0;
        MouseToCell(X - 6, Y, c, r);
        if (r >= 0 && r < FixedRows() && c >= 0 && OnColumnSize) {
            bool allow = true;
            OnColumnSize(this, c, allow);
            if (!allow) {
                State = gsNormal;
                ColSized = false;
            }
        }
    } else if (State == gsRowSizing) {
        int c = 0, r = 0;
        MouseToCell(X, Y - 6, c, r);
        if (c >= 0 && c < FixedCols() && r >= 0 && OnRowSize) {
            bool allow = true;
            OnRowSize(this, r, allow);
            if (!allow) {
                State = gsNormal;
                Rowsized = false;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// The drag picture of a selection
// ---------------------------------------------------------------------------

TCustomForm* TExStringGrid::SelectionToForm(const TGridRect& ARect)
{
    // The whole control as it shows now.
    QImage whole(std::max(Width(), 1), std::max(Height(), 1), QImage::Format_ARGB32_Premultiplied);
    whole.fill(ColorToRGB(Color()) | 0xFF000000u);
    PaintTo(whole, TPoint{0, 0});
    TBitmap shot;
    shot.Assign(whole);

    // The two corner cells, in client coordinates even when out of view,
    // taken into control coordinates.
    const TRect inset = NCInsets();
    const TRect a = CalcCellRect(ARect.Left, ARect.Top);
    const TRect b = CalcCellRect(ARect.Right, ARect.Bottom);
    const int left = std::min(a.Left, b.Left) + 1 + inset.Left;
    const int top = std::min(a.Top, b.Top) + 1 + inset.Top;
    const int right = std::max(a.Right, b.Right) + 2 + inset.Left;
    const int bottom = std::max(a.Bottom, b.Bottom) + 2 + inset.Top;
    const int w = std::max(right - left + 1, 1);
    const int h = std::max(bottom - top + 1, 1);

    auto* form = NewObject<TNoActiveForm>(this);
    auto* image = NewObject<TImage>(form);
    image->SetParent(form);
    image->SetAlign(alClient);
    TBitmap* pic = image->Picture()->Bitmap();
    pic->SetSize(w, h);
    TCanvas* canvas = pic->Canvas();
    canvas->Brush().SetColor(Color());
    canvas->FillRect(TRect{0, 0, w, h});
    canvas->CopyRect(TRect{0, 0, w, h}, shot.Canvas(), TRect{left, top, left + w, top + h});
    canvas->Pen().SetColor(GridFixedLineColor());
    if (ARect.Left == 0 && FixedCols() > 0 && (Options() & goFixedHorzLine)) {
        canvas->MoveTo(0, 0);
        canvas->LineTo(0, h);
    }
    if (ARect.Top == 0 && FixedRows() > 0 && (Options() & goFixedVertLine)) {
        canvas->MoveTo(0, 0);
        canvas->LineTo(w, 0);
    }
    image->PictureChanged();
    form->SetClientSize(w, h);
    form->SetLayered(false, clNone, true, 192);
    return form;
}
