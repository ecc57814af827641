// Column and row calculations: sums, averages, extremes, standard
// deviation, distinct values and the custom hooks.
#include "gridpack/stringgrid/ExGrid.h"

#include <QSet>

#include <cmath>
#include <optional>

namespace {

// The rows of a column calculation: -1 at either end means the normal rows.
// Past the visible rows the rows are real rows (hidden rows included).
struct TCalcRows {
    int From, To;
    bool Real;
};

TCalcRows CalcRows(TExStringGrid* g, int FromRow, int ToRow)
{
    if (FromRow == -1 || ToRow == -1) {
        FromRow = g->FixedRows();
        ToRow = g->RowCount() - 1 - g->FixedFooters();
    }
    const int visible = g->FloatingFooter()->Visible ? g->RowCount() - 1 : g->RowCount();
    return TCalcRows{FromRow, ToRow, ToRow > visible};
}

bool IsGroupRow(TExStringGrid* g, int Row)
{
    if (Row < 0 || Row >= g->RowCount())
        return false;
    const TCellType t = g->GetCellType(0, Row);
    return t == ctNode || t == ctSummary;
}

// Whether the row takes part: never a node or summary row of a grouped
// grid (hidden rows always count), and only a merge's base cell.
bool RowCounts(TExStringGrid* g, int ACol, int Row, bool Real)
{
    int display = Row;
    bool hidden = false;
    if (Real) {
        hidden = g->IsHiddenRow(Row);
        display = hidden ? -1 : g->RemapRowToDispl(Row);
    }
    if (!hidden && g->GroupColumn() >= 0 && IsGroupRow(g, display))
        return false;
    return hidden || !g->IsMergedNonBaseCell(ACol, display);
}

double Value(TExStringGrid* g, int ACol, int Row, bool Real)
{
    return Real ? g->GetAllFloats(ACol, Row) : g->GetFloats(ACol, Row);
}

std::optional<double> SafeValue(TExStringGrid* g, int ACol, int Row, bool Real)
{
    try {
        return Value(g, ACol, Row, Real);
    } catch (const Exception&) {
        return std::nullopt;
    }
}

// The extreme of a column; the first cell is read unprotected.
double ColumnExtreme(TExStringGrid* g, int ACol, int FromRow, int ToRow, bool Max)
{
    const TCalcRows R = CalcRows(g, FromRow, ToRow);
    g->ExportNotification(esExportStart, R.From);
    double res = Value(g, ACol, R.From, R.Real);
    for (int r = R.From; r <= R.To; ++r) {
        if (!RowCounts(g, ACol, r, R.Real))
            continue;
        g->ExportNotification(esExportNextRow, r);
        if (const auto v = SafeValue(g, ACol, r, R.Real))
            res = Max ? std::max(res, *v) : std::min(res, *v);
    }
    g->ExportNotification(esExportDone, -1);
    return res;
}

double RowExtreme(TExStringGrid* g, int ARow, int FromCol, int ToCol, bool Max)
{
    double res = g->GetFloats(FromCol, ARow);
    if (ToCol < FromCol)
        return res;
    for (int c = FromCol; c <= ToCol; ++c) {
        if (g->IsMergedNonBaseCell(c, ARow))
            continue;
        try {
            const double v = g->GetFloats(c, ARow);
            res = Max ? std::max(res, v) : std::min(res, v);
        } catch (const Exception&) {
        }
    }
    return res;
}

} // namespace

double TExStringGrid::ColumnSum(int ACol, int FromRow, int ToRow)
{
    const TCalcRows R = CalcRows(this, FromRow, ToRow);
    ExportNotification(esExportStart, R.From);
    double sum = 0;
    for (int r = R.From; r <= R.To; ++r) {
        if (!RowCounts(this, ACol, r, R.Real))
            continue;
        ExportNotification(esExportNextRow, r);
        if (const auto v = SafeValue(this, ACol, r, R.Real))
            sum += *v;
    }
    ExportNotification(esExportDone, -1);
    return sum;
}

double TExStringGrid::ColumnAvg(int ACol, int FromRow, int ToRow)
{
    const TCalcRows R = CalcRows(this, FromRow, ToRow);
    if (R.To < R.From)
        return 0;
    // every row of the range counts in the divisor
    return ColumnSum(ACol, R.From, R.To) / double(R.To - R.From + 1);
}

double TExStringGrid::ColumnMin(int ACol, int FromRow, int ToRow) { return ColumnExtreme(this, ACol, FromRow, ToRow, false); }

double TExStringGrid::ColumnMax(int ACol, int FromRow, int ToRow) { return ColumnExtreme(this, ACol, FromRow, ToRow, true); }

double TExStringGrid::ColumnStdDev(int ACol, int FromRow, int ToRow)
{
    const TCalcRows R = CalcRows(this, FromRow, ToRow);
    if (R.To < R.From)
        return 0;
    const double avg = ColumnAvg(ACol, R.From, R.To);
    ExportNotification(esExportStart, R.From);
    double sq = 0;
    for (int r = R.From; r <= R.To; ++r) {
        const double d = Value(this, ACol, r, R.Real) - avg;
        sq += d * d;
    }
    ExportNotification(esExportDone, -1);
    return std::sqrt(sq / double(R.To - R.From + 1));
}

double TExStringGrid::ColumnDistinct(int ACol, int FromRow, int ToRow)
{
    const TCalcRows R = CalcRows(this, FromRow, ToRow);
    ExportNotification(esExportStart, R.From);
    QSet<QString> seen;
    for (int r = R.From; r <= R.To; ++r) {
        ExportNotification(esExportNextRow, r);
        seen.insert((R.Real ? GetCellsEx(ACol, r) : GetCellEx(ACol, r)).toUpper());
    }
    ExportNotification(esExportDone, -1);
    return double(seen.size());
}

double TExStringGrid::ColumnCustomCalc(int ACol, int FromRow, int ToRow)
{
    const TCalcRows R = CalcRows(this, FromRow, ToRow);
    double res = 0;
    if (OnColumnCalc)
        OnColumnCalc(this, ACol, R.From, R.To, res);
    return res;
}

double TExStringGrid::RowSum(int ARow, int FromCol, int ToCol)
{
    double sum = 0;
    for (int c = FromCol; c <= ToCol; ++c) {
        if (IsMergedNonBaseCell(c, ARow))
            continue;
        try {
            sum += GetFloats(c, ARow);
        } catch (const Exception&) {
        }
    }
    return sum;
}

double TExStringGrid::RowAvg(int ARow, int FromCol, int ToCol)
{
    if (ToCol < FromCol)
        return 0;
    return RowSum(ARow, FromCol, ToCol) / double(ToCol - FromCol + 1);
}

double TExStringGrid::RowMin(int ARow, int FromCol, int ToCol) { return RowExtreme(this, ARow, FromCol, ToCol, false); }

double TExStringGrid::RowMax(int ARow, int FromCol, int ToCol) { return RowExtreme(this, ARow, FromCol, ToCol, true); }
