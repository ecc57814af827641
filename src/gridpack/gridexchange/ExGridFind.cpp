// The find engine over its sixteen parameters, replace, and the type-ahead
// search of the sort column.
//
// A scan that steps past the end of its range ends there with (-1, -1): it
// does not start over at the far corner, so FindNext and Replace end.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/core/StrUtils.h"

namespace {

struct TFindRange {
    int C1, C2, R1, R2;
};

bool Inside(int v, int lo, int hi) { return v >= lo && v <= hi; }

} // namespace

TPoint TExStringGrid::FindCellMatch(TPoint StartCell, const QString& s, TFindParams P)
{
    // 1.
    const TPoint none{-1, -1};
    FFindParams = P;
    const bool matchCase = HasFindParam(P, fnMatchCase);
    SearchCache = matchCase ? s : AnsiUpperCase(s);
    SearchCacheWide = SearchCache;
    // 2.
    if (ColCount() <= FixedCols() || TotalRowCount() <= FixedRows() || RowCount() == 0)
        return none;
    // 3.
    TFindRange R = HasFindParam(P, fnIncludeFixed)
                       ? TFindRange{0, ColCount() - 1, 0, RowCount() - 1}
                       : TFindRange{FixedCols(), ColCount() - 1 - FixedRightCols(), FixedRows(),
                                    RowCount() - 1 - FixedFooters()};
    if (HasFindParam(P, fnSelectedCells)) {
        const TGridRect sel = Selection();
        R = TFindRange{sel.Left, sel.Right, sel.Top, sel.Bottom};
    }
    if (HasFindParam(P, fnIncludeHiddenColumns))
        R.C2 += NumHiddenColumns();
    if (HasFindParam(P, fnIncludeHiddenRows))
        R.R2 += NumHiddenRows();
    const bool rowOrder = HasFindParam(P, fnDirectionLeftRight);
    const bool back = HasFindParam(P, fnBackward);
    const int step = back ? -1 : 1;

    // 4. the first cell; stepping past the range's end finds nothing
    int c = 0, r = 0;
    if (StartCell.X == -1 && StartCell.Y == -1) {
        c = back ? R.C2 : R.C1;
        r = back ? R.R2 : R.R1;
    } else if (rowOrder) {
        c = StartCell.X + step;
        r = StartCell.Y;
        if (!Inside(c, R.C1, R.C2)) {
            r += step;
            c = back ? R.C2 : R.C1;
            if (!Inside(r, R.R1, R.R2))
                return none;
        }
    } else {
        c = StartCell.X;
        r = StartCell.Y + step;
        if (!Inside(r, R.R1, R.R2)) {
            c += step;
            r = back ? R.R2 : R.R1;
            if (!Inside(c, R.C1, R.C2))
                return none;
        }
    }

    // 5. restrictions (the preset wins over the current one)
    const bool curCol = HasFindParam(P, fnFindInCurrentCol);
    if (HasFindParam(P, fnFindInPresetRow))
        R.R1 = R.R2 = FindRow;
    else if (HasFindParam(P, fnFindInCurrentRow))
        R.R1 = R.R2 = Row();
    if (HasFindParam(P, fnFindInPresetCol))
        R.C1 = R.C2 = FindCol;
    else if (curCol)
        R.C1 = R.C2 = Col();
    // A start outside a restricted range begins at its edge.
    if (!Inside(r, R.R1, R.R2))
        r = back ? R.R2 : R.R1;
    if (!Inside(c, R.C1, R.C2))
        c = back ? R.C2 : R.C1;

    // 7. the cell test
    const bool emptyOnly = s == QLatin1String("\"\"");
    const auto test = [&](int col, int row) {
        const int real = HasFindParam(P, fnIncludeHiddenColumns) ? col : RemapColToReal(col);
        QString t = HasFindParam(P, fnIncludeHiddenRows) ? GetCellsEx(real, row) : GetCellEx(real, row);
        if (!matchCase)
            t = AnsiUpperCase(t);
        if (HasFindParam(P, fnIgnoreHTMLTags))
            t = StripMarkup(t);
        if (emptyOnly)
            return t.isEmpty();
        if (HasFindParam(P, fnMatchRegular))
            return MatchFilterExpression(SearchCache, t, matchCase);
        const qsizetype at = t.indexOf(SearchCache);
        if (at < 0 || (HasFindParam(P, fnMatchStart) && at != 0))
            return false;
        return !HasFindParam(P, fnMatchFull) || t == SearchCache;
    };

    // 6. the scan
    TPoint found = none;
    if (rowOrder) {
        for (; Inside(r, R.R1, R.R2) && found.X < 0; r += step) {
            for (; Inside(c, R.C1, R.C2); c += step) {
                if (IsIgnoredColumn(c))
                    continue;
                ExportNotification(esExportNewRow, r);
                if (test(c, r)) {
                    found = TPoint{c, r};
                    break;
                }
            }
            c = curCol ? Col() : (back ? R.C2 : R.C1);
        }
    } else {
        for (; Inside(c, R.C1, R.C2) && found.X < 0; c += step) {
            for (; Inside(r, R.R1, R.R2); r += step) {
                ExportNotification(esExportNewRow, r);
                if (test(c, r)) {
                    found = TPoint{c, r};
                    break;
                }
            }
            r = back ? R.R2 : R.R1;
        }
    }
    if (found.X < 0)
        return none;

    // 8.
    SearchCell = found;
    if (HasFindParam(P, fnAutoGoto)) {
        int row = found.Y;
        if (HasFindParam(P, fnIncludeHiddenRows))
            row = IsHiddenRow(row) ? -1 : RemapRowToDispl(row);
        const int col = HasFindParam(P, fnIncludeHiddenColumns) ? RemapColToDispl(found.X) : found.X;
        if (row >= 0 && row < RowCount()) {
            if (MouseActions()->DisjunctRowSelect()) {
                ClearRowSelect();
                SetRowSelect(row, true);
                SetRow(row);
            } else {
                SetRow(row);
                if (col >= 0 && col < ColCount())
                    SetCol(col);
            }
        }
    }
    return found;
}

TPoint TExStringGrid::Find(TPoint StartCell, const QString& s, TFindParams FindParams)
{
    ExportNotification(esExportStart, -1);
    const TPoint found = FindCellMatch(StartCell, s, FindParams);
    ExportNotification(found.X < 0 ? esExportDone : esExportFail, -1);
    if (HasFindParam(FindParams, fnAutoGoto) && found.X >= 0) {
        const bool footer = FloatingFooter()->Visible;
        const int limit = TopRow() + VisibleRowCount() - 2 - (footer ? 2 : 0);
        if (Row() > limit && RowCount() > VisibleRowCount() + FixedRows() + (footer ? 2 : 0))
            SetTopRow(std::min(TopRow() + (footer ? 3 : 1), RowCount() - 1));
    }
    return found;
}

TPoint TExStringGrid::FindWide(TPoint StartCell, const QString& s, TFindParams FindParams)
{
    ExportNotification(esExportStart, -1);
    const TPoint found = FindCellMatch(StartCell, s, FindParams);
    ExportNotification(found.X < 0 ? esExportDone : esExportFail, -1);
    return found;
}

TPoint TExStringGrid::FindFirst(const QString& s, TFindParams FindParams)
{
    SearchCell = Find(TPoint{-1, -1}, s, FindParams);
    return SearchCell;
}

TPoint TExStringGrid::FindNext()
{
    SearchCell = Find(SearchCell, SearchCache, FFindParams);
    return SearchCell;
}

int TExStringGrid::Replace(const QString& OrigStr, const QString& NewStr, TFindParams FindParams)
{
    int count = 0;
    TPoint at{-1, -1};
    for (;;) {
        at = Find(at, OrigStr, FindParams);
        if (at.X < 0)
            break;
        const int col = HasFindParam(FindParams, fnIncludeHiddenColumns) ? at.X : RemapColToReal(at.X);
        const QString old = GetCellEx(col, at.Y);
        QString text = old;
        text.replace(OrigStr, NewStr, Qt::CaseInsensitive);
        if (text == old)
            continue;
        SetCellEx(col, at.Y, text);
        if (ShowModified()->Enabled)
            SetRowModified(at.Y, true);
        ++count;
    }
    return count;
}

int TExStringGrid::Search(const QString& s)
{
    if (RowCount() < 2)
        return -1;
    const TSortSettings* ss = SortSettings();
    int col = FixedCols();
    if (ss->Show) {
        if (ss->IndexShow)
            col = SortIndexes()->Count() > 0 ? SortIndexes()->GetSortColumns(0) : FixedCols();
        else
            col = ss->Column;
    }
    if (col < 0)
        return -1;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (GetStrippedCell(col, r).left(s.size()).toUpper() == s)
            return r;
    return -1;
}
