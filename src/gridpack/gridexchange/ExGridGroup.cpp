// Grouping: node rows over runs of equal values, summary rows, sub-groups,
// the per-group calculations and the sort inside groups.
//
// Group opens all its node and summary rows in one pass over the row store
// (the rows are placed from the runs found after the sort) instead of one
// row shift per inserted row, and UnGroup drops them the same way; grids
// with row-bound side lists (modified or enabled rows, cell controls,
// hidden rows, a disjunct row selection) take the row-by-row path.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExCellGraphic.h"

#include <algorithm>

namespace {

// A text no cell holds: the value before the first row.
const QString& NoValue()
{
    static const QString v = QString(QChar(0x00FF)) + QChar(0x00FE);
    return v;
}

} // namespace

// ---------------------------------------------------------------------------
// Opening and dropping many rows at once
// ---------------------------------------------------------------------------

bool TExStringGrid::RowSetShiftable()
{
    return NumHiddenRows() == 0 && FControlList->Count() == 0 &&
           !(FShowModified->Enabled && FModifiedRows->Count() > 0) &&
           !(FUseEnabledRows && FEnabledRows->Count() > 0) && !FMouseActions->DisjunctRowSelect();
}

void TExStringGrid::OpenRowSet(const std::vector<int>& Places)
{
    if (Places.empty())
        return;
    if (!RowSetShiftable()) {
        for (int p : Places)
            InsertRows(p, 1, true);
        return;
    }
    const int oldCount = RowCount();
    InsertRowSet(Places);
    RowCountWritten(oldCount, RowCount());
    FMaxRowCount += int(Places.size());
    CellsChanged(TRect{0, Places.front(), ColCount() - 1, RowCount() - 1});
}

void TExStringGrid::DropRowSet(const std::vector<int>& Rows)
{
    if (Rows.empty())
        return;
    if (!RowSetShiftable()) {
        for (std::size_t i = Rows.size(); i-- > 0;)
            RemoveRows(Rows[i], 1);
        return;
    }
    for (int r : Rows)
        FreeCellPropertiesRange(0, r, AllColCount() - 1, r);
    const int oldCount = RowCount();
    RemoveRowSet(Rows);
    RowCountWritten(oldCount, RowCount());
    FMaxRowCount -= int(Rows.size());
    CellsChanged(TRect{0, Rows.front(), ColCount() - 1, RowCount() - 1});
}

// ---------------------------------------------------------------------------
// Group and UnGroup
// ---------------------------------------------------------------------------

void TExStringGrid::SetGroupRowLook(int ARow, bool Header)
{
    // clNone leaves the row's own colour (writing it would clear the others).
    const TGrouping* g = FGrouping;
    if (const TColor c = Header ? g->HeaderColor : g->SummaryColor; c != clNone)
        SetRowColor(ARow, c);
    if (const TColor c = Header ? g->HeaderColorTo : g->SummaryColorTo; c != clNone)
        SetRowColorTo(ARow, c);
    if (const TColor c = Header ? g->HeaderTextColor : g->SummaryTextColor; c != clNone)
        SetRowFontColor(ARow, c);
}

void TExStringGrid::ClearGroupRowLook(int ARow)
{
    SetRowColor(ARow, clNone);
    SetRowColorTo(ARow, clNone);
    SetRowFontColor(ARow, clNone);
}

void TExStringGrid::MergeGroupRow(int ARow, int FromCol, bool Header)
{
    if (ColCount() - FromCol < 1)
        return;
    MergeCells(FromCol, ARow, ColCount() - FromCol, 1);
    const TGrouping* g = FGrouping;
    SetColors(FromCol, ARow, Header ? g->HeaderColor : g->SummaryColor);
    SetColorsTo(FromCol, ARow, Header ? g->HeaderColorTo : g->SummaryColorTo);
    SetFontColors(FromCol, ARow, Header ? g->HeaderTextColor : g->SummaryTextColor);
}

void TExStringGrid::Group(int Colindex)
{
    // 1.
    if (Colindex < FixedCols())
        return;
    if (FGroupColumn != -1)
        UnGroup();
    if (RowCount() - FixedFooters() <= FixedRows())
        return;
    // 2.
    BeginUpdate();
    FIsGrouping = true;
    const auto finish = [&] {
        // 11.
        FIsGrouping = false;
        EndUpdate();
        if (FSearchFooter->Visible() && FSearchPanel) {
            const int w = FSearchPanel->Width();
            FSearchPanel->SetWidth(w + 1);
            FSearchPanel->SetWidth(w);
        }
    };
    try {
        FGroupColumn = Colindex;
        const int realCol = RemapColToReal(Colindex);
        FGroupWidth = ColWidths(Colindex);
        FGroupHeader = FixedRows() > 0 ? GetGridCell(realCol, 0) : QString();
        FGroupFooter = FixedFooters() > 0 ? GetGridCell(realCol, RowCount() - 1) : QString();
        // 3.
        if (FSortSettings->AutoSortForGrouping) {
            FSortSettings->Column = Colindex;
            QSort();
        }
        // 4. the value column becomes column 1 once the grouped one is gone
        const int valueCol = RemapColToReal(Colindex == 1 ? 2 : 1);
        // 5. the runs of equal stored texts
        const int first = FixedRows();
        const int last = RowCount() - 1 - FixedFooters();
        std::vector<int> starts;
        std::vector<QString> values;
        const QString* prev = &NoValue();
        QString text;
        for (int r = first; r <= last; ++r) {
            text = GetGridCell(realCol, r);
            if (text != *prev) {
                starts.push_back(r);
                values.push_back(text);
                prev = &values.back();
            }
        }
        // 5.-6. every group: its node row before its rows, with Summary its
        // summary row after them; places in the new numbering
        const bool summary = FGrouping->Summary;
        std::vector<int> places, headers, sums, spans;
        places.reserve(starts.size() * 2);
        int shift = 0;
        for (std::size_t k = 0; k < starts.size(); ++k) {
            const int n = (k + 1 < starts.size() ? starts[k + 1] : last + 1) - starts[k];
            headers.push_back(starts[k] + shift);
            places.push_back(headers.back());
            ++shift;
            spans.push_back(n + 1);
            if (summary) {
                sums.push_back(starts[k] + n + shift);
                places.push_back(sums.back());
                ++shift;
            }
        }
        OpenRowSet(places);
        for (std::size_t k = 0; k < headers.size(); ++k) {
            const int h = headers[k];
            SetGridCell(valueCol, h, values[k]);
            AddNode(RealRowIndex(h), spans[k]);
            if (!FGrouping->MergeHeader)
                SetGroupRowLook(h, true);
        }
        for (int s : sums) {
            SetSummaryRow(RealRowIndex(s));
            if (!FGrouping->MergeSummary)
                SetGroupRowLook(s, false);
        }
        // 7.
        RemoveCols(Colindex, 1);
        // 8.
        if (FGrouping->MergeHeader)
            for (int h : headers)
                MergeGroupRow(h, 1, true);
        if (FGrouping->MergeSummary && summary)
            for (int s : sums)
                MergeGroupRow(s, 1, false);
        // 9.
        if (FCellNode->ExpandOne && !headers.empty())
            ExpandNode(RealRowIndex(headers.front()));
        // 10.
        if (Col() >= ColCount() || Row() >= RowCount())
            FocusCell(FixedCols(), FixedRows());
        if (FixedRows() < RowCount())
            SetRow(FixedRows());
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TExStringGrid::UnGroup()
{
    if (FGroupColumn <= 0)
        return;
    const bool expandOne = FCellNode->ExpandOne;
    FCellNode->ExpandOne = false;
    BeginUpdate();
    const auto finish = [&] {
        FCellNode->ExpandOne = expandOne;
        EndUpdate();
        Invalidate();
    };
    try {
        ExpandAll();
        InsertCols(FGroupColumn, 1);
        SetColWidths(FGroupColumn, FGroupWidth);
        const int realCol = RemapColToReal(FGroupColumn);
        if (FixedRows() > 0)
            SetGridCell(realCol, 0, FGroupHeader);
        if (FixedFooters() > 0)
            SetGridCell(realCol, RowCount() - 1, FGroupFooter);
        const int valueCol = RemapColToReal(FGroupColumn == 1 ? 2 : 1);
        const int last = RowCount() - 1 - FixedFooters();
        std::vector<int> drop;
        QString value;
        for (int r = FixedRows(); r <= last; ++r) {
            if (IsNode(r)) {
                const int s = r + GetNodeSpan(r);
                // Only a row marked as summary is taken for one.
                if (FGrouping->Summary && s <= last && IsSummary(s)) {
                    if (FGrouping->MergeSummary)
                        SplitCells(1, s);
                    else
                        ClearGroupRowLook(s);
                    drop.push_back(s);
                }
                value = GetGridCell(valueCol, r);
                RemoveNode(RealRowIndex(r));
                FreeCellPropertiesRange(0, r, 0, r);
                if (FGrouping->MergeHeader)
                    SplitCells(1, r);
                else
                    ClearGroupRowLook(r);
                drop.push_back(r);
            } else if (!(IsSummary(r) && std::find(drop.begin(), drop.end(), r) != drop.end())) {
                SetGridCell(realCol, r, value);
            }
        }
        std::sort(drop.begin(), drop.end());
        drop.erase(std::unique(drop.begin(), drop.end()), drop.end());
        DropRowSet(drop);
        FGroupColumn = -1;
        if (Row() >= RowCount() - FixedFooters() && RowCount() - FixedFooters() > FixedRows())
            FocusCell(std::clamp(Col(), FixedCols(), ColCount() - 1), FixedRows());
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TExStringGrid::SetGroupColumn(int v)
{
    if (v == -1)
        UnGroup();
    else if (v > 0)
        Group(v);
}

// ---------------------------------------------------------------------------
// Sub-groups
// ---------------------------------------------------------------------------

void TExStringGrid::SubGroup(int Colindex)
{
    if (Colindex < FixedCols())
        return;
    BeginUpdate();
    try {
        FGroupColumn = Colindex;
        const int realCol = RemapColToReal(Colindex);
        FGroupWidth = ColWidths(Colindex);
        FGroupHeader = FixedRows() > 0 ? GetGridCell(realCol, 0) : QString();
        FGroupFooter = FixedFooters() > 0 ? GetGridCell(realCol, RowCount() - 1) : QString();
        const int subCol = Colindex + 1;
        QString prev = NoValue();
        int subHeader = -1;
        // The open sub-header becomes a node over the rows up to ToRow.
        const auto close = [&](int ToRow) {
            if (subHeader == -1)
                return;
            AddNode(RealRowIndex(subHeader), ToRow - subHeader);
            if (TCellGraphic* g = NodeGraphic(subHeader))
                g->CellVar = Colindex;
            subHeader = -1;
        };
        int r = FixedRows() + 1;
        while (r <= RowCount() - 1 - FixedFooters()) {
            const bool groupRow = IsNode(r) || IsSummary(r);
            const QString t = GetCellEx(realCol, r);
            if (groupRow || t != prev) {
                close(r);
                if (!groupRow) {
                    InsertChildRow(RealRowIndex(r), 0);
                    SetCellEx(RemapColToReal(subCol), r, t);
                    if (FGrouping->MergeHeader)
                        MergeGroupRow(r, subCol, true);
                    else
                        SetGroupRowLook(r, true);
                    subHeader = r;
                    ++r;
                }
            }
            if (groupRow) {
                prev = NoValue();
            } else {
                prev = GetCellEx(realCol, r);
                SetCellEx(realCol, r, QString());
            }
            ++r;
        }
        close(r);
        if (FixedRows() < RowCount())
            SetRow(FixedRows());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::SubUnGroup(int Colindex)
{
    BeginUpdate();
    try {
        ExpandAll();
        const int realCol = RemapColToReal(Colindex);
        QString value;
        int r = FixedRows();
        while (r <= RowCount() - 1 - FixedFooters()) {
            TCellGraphic* g = IsNode(r) ? NodeGraphic(r) : nullptr;
            if (g && g->CellVar.isValid() && g->CellVar.toInt() == Colindex) {
                value = GetCellEx(RemapColToReal(Colindex + 1), r);
                const int real = RealRowIndex(r);
                RemoveNode(real);
                if (FGrouping->MergeHeader)
                    SplitCells(Colindex + 1, r);
                else
                    ClearGroupRowLook(r);
                FreeCellPropertiesRange(0, r, 0, r);
                RemoveChildRow(real);
                continue;
            }
            if (!g && !IsSummary(r))
                SetCellEx(realCol, r, value);
            ++r;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---------------------------------------------------------------------------
// Calculations per group
// ---------------------------------------------------------------------------

void TExStringGrid::GroupCalc(int ACol, int Method)
{
    int r = FixedRows();
    while (r < RowCount()) {
        if (!IsNode(r) || GetNodeState(r)) {
            ++r;
            continue;
        }
        const int s = std::max(1, GetNodeSpan(r));
        const int from = r + 1;
        const int to = r + s - 1;
        const int res = FGrouping->Summary ? r + s : r;
        if (res < RowCount()) {
            switch (Method) {
            case 1:
                SetFloats(ACol, res, ColumnSum(ACol, from, to));
                break;
            case 2:
                SetFloats(ACol, res, ColumnAvg(ACol, from, to));
                break;
            case 3:
                SetFloats(ACol, res, ColumnMin(ACol, from, to));
                break;
            case 4:
                SetFloats(ACol, res, ColumnMax(ACol, from, to));
                break;
            case 5:
                SetInts(ACol, res, s - 1);
                break;
            case 6: {
                double v = 0;
                if (OnGroupCalc)
                    OnGroupCalc(this, ACol, from, to, v);
                SetFloats(ACol, res, v);
                break;
            }
            case 7:
                SetFloats(ACol, res, ColumnDistinct(ACol, from, to));
                break;
            case 8:
                SetFloats(ACol, res, ColumnStdDev(ACol, from, to));
                break;
            default:
                break;
            }
        }
        r += s;
    }
}

namespace {
void SetFooterCalc(TExStringGrid* g, int ACol, TColumnCalcType t)
{
    if (g->FloatingFooter()->Visible && g->RowCount() > 0)
        g->GetCellProperties(ACol, g->RowCount() - 1)->CalcType = t;
}
} // namespace

void TExStringGrid::GroupSum(int ACol)
{
    GroupCalc(ACol, 1);
    SetFooterCalc(this, ACol, acSUM);
}

void TExStringGrid::GroupAvg(int ACol)
{
    GroupCalc(ACol, 2);
    SetFooterCalc(this, ACol, acAVG);
}

void TExStringGrid::GroupMin(int ACol)
{
    GroupCalc(ACol, 3);
    SetFooterCalc(this, ACol, acMIN);
}

void TExStringGrid::GroupMax(int ACol)
{
    GroupCalc(ACol, 4);
    SetFooterCalc(this, ACol, acMAX);
}

void TExStringGrid::GroupCount(int ACol)
{
    GroupCalc(ACol, 5);
    SetFooterCalc(this, ACol, acCOUNT);
}

void TExStringGrid::GroupCustomCalc(int ACol) { GroupCalc(ACol, 6); }

void TExStringGrid::GroupDistinct(int ACol) { GroupCalc(ACol, 7); }

void TExStringGrid::GroupStdDev(int ACol) { GroupCalc(ACol, 8); }

// ---------------------------------------------------------------------------
// Sorting inside groups
// ---------------------------------------------------------------------------

void TExStringGrid::SortGroupRows(bool Indexed)
{
    if (Indexed && FSortIndexes->Count() == 0)
        throw DOriVireZuvez(QStringLiteral("No indexes specified for indexed sort"));
    if (!Indexed && FSortSettings->Column < 0)
        return;
    if (RowCount() != FSortRowXRef->Count())
        InitSortXRef();
    const int col = Indexed ? 0 : FSortSettings->Column;
    RunRowSort(
        [&](int L, int R) {
            int deepest = 0;
            for (int r = L; r <= R; ++r)
                if (IsNode(r))
                    deepest = std::max(deepest, GetNodeLevel(r));
            for (int r = L; r <= R; ++r) {
                if (!IsNode(r) || GetNodeLevel(r) != deepest || GetNodeState(r))
                    continue;
                const int last = std::min(R, r + GetNodeSpan(r) - 1);
                if (last - r > 1)
                    QuickSortRows(col, r + 1, last, Indexed, 0);
            }
        },
        false, false);
}

void TExStringGrid::QSortGroup() { SortGroupRows(false); }

void TExStringGrid::QSortGroupIndexed() { SortGroupRows(true); }
