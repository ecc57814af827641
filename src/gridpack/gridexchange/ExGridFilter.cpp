// Filtering: the filter items, matching a row, filter levels in the
// hidden-row store and the incremental narrow-down.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/basegrid/RorIdad.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// Filter items
// ---------------------------------------------------------------------------

void TFilterData::Assign(const TPersistent* Source)
{
    const auto* s = dynamic_cast<const TFilterData*>(Source);
    if (!s)
        return;
    Column = s->Column;
    Condition = s->Condition;
    CaseSensitive = s->CaseSensitive;
    Data = s->Data;
    Prefix = s->Prefix;
    Suffix = s->Suffix;
    Operation = s->Operation;
}

TPersistent* TFilterCollection::GetOwner() const { return FGrid; }

TFilterData* TFilterCollection::Add()
{
    auto* item = static_cast<TFilterData*>(TCollection::Add());
    item->Operation = Count() == 1 ? foNONE : foAND;
    return item;
}

TFilterData* TFilterCollection::Insert(int) { return static_cast<TFilterData*>(TCollection::Add()); }

TFilterData* TFilterCollection::GetColFilter(int Col)
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Column == Col)
            return Items(i);
    TFilterData* item = Add();
    item->Column = Col;
    return item;
}

void TFilterCollection::RemoveColumnFilter(int Col)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (Items(i)->Column == Col)
            Delete(i);
    if (FGrid)
        FGrid->RepaintCell(Col, 0);
}

bool TFilterCollection::HasFilter(int Col) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Column == Col)
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// Matching
// ---------------------------------------------------------------------------

namespace {

bool IsGroupRow(TExStringGrid* g, int Row)
{
    const TCellType t = g->GetCellType(0, Row);
    return t == ctNode || t == ctSummary;
}

QString FilterText(TExStringGrid* g, const TFilterData* f, int ARow)
{
    QString t;
    switch (f->Data) {
    case fcVirtual:
    case fcCalculated:
        t = g->GetCellEx(f->Column, ARow);
        break;
    case fcNormal:
        t = g->GetGridCell(f->Column, ARow);
        break;
    case fcStripHTML:
        t = g->GetStrippedCell(f->Column, ARow);
        break;
    case fcRow:
        for (int c = 0; c < g->AllColCount(); ++c)
            t += g->GetCellEx(c, ARow) + QLatin1String("\r\n");
        break;
    }
    t = t.trimmed();
    if (t.contains(QLatin1String("|\\")))
        t = DecodeWideText(t);
    return t;
}

bool ItemMatches(TExStringGrid* g, const TFilterData* f, int ARow)
{
    QString t = FilterText(g, f, ARow);
    if (f->Data == fcRow)
        return t.toUpper().contains(f->Condition.toUpper());
    if (!f->Prefix.isEmpty() && t.startsWith(f->Prefix))
        t.remove(0, f->Prefix.size());
    if (!f->Suffix.isEmpty()) {
        const qsizetype at = t.indexOf(f->Suffix);
        if (at >= 0 && at + f->Suffix.size() == t.size())
            t.truncate(at);
    }
    if (f->Condition.isEmpty())
        return true;
    if (f->Method == fmLiteral)
        return t == f->Condition;
    try {
        return MatchFilterExpression(f->Condition, t, f->CaseSensitive);
    } catch (const Exception&) {
        return false;
    }
}

} // namespace

bool TExStringGrid::MatchFilter(int ARow)
{
    bool result = true;
    TFilterCollection* filter = Filter();
    for (int i = 0; i < filter->Count(); ++i) {
        const TFilterData* f = filter->Items(i);
        const bool match = ItemMatches(this, f, ARow);
        switch (f->Operation) {
        case foSHORT:
            result = match;
            break;
        case foNONE:
            result = match;
            break;
        case foAND:
            result = result && match;
            break;
        case foXOR:
            result = result != match;
            break;
        case foOR:
            result = result || match;
            break;
        }
        if (f->Operation == foSHORT && !match)
            break;
    }
    if (OnCustomFilter)
        OnCustomFilter(this, ARow, result);
    return result;
}

void TExStringGrid::FilterRow(int ARow)
{
    const int real = RemapRowToReal(ARow);
    if (!MatchFilter(ARow))
        HideRow(real);
}

// ---------------------------------------------------------------------------
// Filter levels
// ---------------------------------------------------------------------------

void TExStringGrid::ApplyFilter()
{
    // 1.
    FFilterFixedRows = FixedRows();
    // 2.
    const int first = FixedRows();
    const int last = RowCount() - 1 - FixedFooters();
    const int total = RowCount() - FixedRows() - FixedFooters();
    TIntList failed(0, 0);
    int tested = 0;
    for (int r = first; r <= last; ++r) {
        if (FilterNormalCellsOnly && IsGroupRow(this, r))
            continue;
        if (!MatchFilter(r))
            failed.Add(r);
        ++tested;
        if (OnFilterProgress && total > 0)
            OnFilterProgress(this, int16_t(std::lround(double(tested) / total * 100)));
    }
    // 3. one level, also when no row failed, so removing it stays in step
    if (failed.Count() > 0)
        HideRowList(&failed);
    else
        ++FFilterLevel;
    if (OnFilterProgress)
        OnFilterProgress(this, 100);
}

bool TExStringGrid::RemoveLastFilter()
{
    if (FFilterLevel <= 0)
        return false;
    UnHideRowList();
    if (FFilterFixedRows < RowCount())
        SetFixedRows(FFilterFixedRows);
    if (FSelHidden)
        UnHideSelection();
    CalcFooter(-1);
    --FFilterLevel;
    return FFilterLevel > 1;
}

void TExStringGrid::RemoveAllFilters()
{
    if (FFilterLevel > 0) {
        while (FFilterLevel > 0)
            RemoveLastFilter();
    } else {
        Filter()->Clear();
    }
}

void TExStringGrid::SetFilterActive(bool v)
{
    if (v != FilterActive) {
        FilterActive = v;
        if (v) {
            if (Row() >= RowCount() || Col() >= ColCount())
                FocusCell(FixedCols(), FixedRows());
            BeginUpdate();
            try {
                ApplyFilter();
            } catch (...) {
                EndUpdate();
                throw;
            }
            EndUpdate();
            FSelHidden = false;
        } else if (FFilterLevel > 0) {
            // the newest level's rows come back and the level goes with them
            UnHideRowList();
            --FFilterLevel;
            if (FFilterFixedRows < RowCount())
                SetFixedRows(FFilterFixedRows);
            if (FSelHidden)
                UnHideSelection();
        }
        if (FixedRows() < RowCount())
            SetTopRow(FixedRows());
    }
    CalcFooter(-1);
}

void TExStringGrid::SetFilterDropDownRow(int v)
{
    if (v >= FixedRows())
        return;
    FilterDropDownRow = v;
    Invalidate();
}

// ---------------------------------------------------------------------------
// Narrow-down
// ---------------------------------------------------------------------------

void TExStringGrid::NarrowDown(const QString& ACondition, int AColumn)
{
    // 1.
    FixedRowAlways = true;
    const QString& last = FNarrowDownText;
    const auto filterAfresh = [&] {
        Filter()->Clear();
        TFilterData* f = Filter()->Add();
        if (AColumn == -1) {
            f->Data = fcRow;
            f->Condition = ACondition;
        } else {
            f->Data = fcNormal;
            QString cond = QLatin1Char('*') + ACondition + QLatin1Char('*');
            if (cond.contains(QLatin1Char(' ')))
                cond = QLatin1Char('"') + cond + QLatin1Char('"');
            f->Condition = cond;
        }
        f->CaseSensitive = false;
        f->Column = AColumn;
        ApplyFilter();
    };
    // 2. one character more: narrow further
    if (!last.isEmpty() && ACondition.size() == last.size() + 1 && ACondition.startsWith(last)) {
        filterAfresh();
    } else if (!ACondition.isEmpty() && last.size() == ACondition.size() + 1 && last.startsWith(ACondition)) {
        // 3. one character less: back one level
        RemoveLastFilter();
    } else {
        // 4.
        RemoveAllFilters();
        if (!ACondition.isEmpty())
            filterAfresh();
    }
    // 5. An empty text ends the narrow-down; rows hidden by other means stay
    // hidden (RemoveAllFilters already showed every filter level's rows).
    FNarrowDownText = ACondition;
}

// ---------------------------------------------------------------------------
// The filter drop-down's choices
// ---------------------------------------------------------------------------

namespace {

// An entry is a value, or a friendly name, "=" and a condition.
QString FriendlyPart(const QString& Entry)
{
    const qsizetype eq = Entry.indexOf(QLatin1Char('='));
    return eq < 0 ? Entry : Entry.left(eq);
}

QString ConditionPart(const TExStringGrid* g, const QString& Entry)
{
    const qsizetype eq = Entry.indexOf(QLatin1Char('='));
    const QString cond = eq < 0 ? Entry : Entry.mid(eq + 1);
    return cond == g->FilterDropDownClear ? QString() : cond;
}

} // namespace

void TExStringGrid::OpenFilterList(int Column)
{
    FFilterColumn = Column;
    GetColumnFilter(Column);
    TCustomListBox* list = FilterDropDownCheck ? static_cast<TCustomListBox*>(FDropCheckList)
                                               : static_cast<TCustomListBox*>(FDropList);
    list->Items()->Clear();
    if (FilterDropDownCheck)
        FDropCheckList->ClearChecks();
    for (int i = 0; i < FilterList()->Count(); ++i) {
        const QString entry = FilterList()->Strings(i);
        list->Items()->Add(FriendlyPart(entry));
        if (!FilterDropDownCheck)
            continue;
        const QString cond = ConditionPart(this, entry);
        for (int k = 0; k < Filter()->Count(); ++k)
            if (Filter()->Items(k)->Column == Column && Filter()->Items(k)->Condition == cond && !cond.isEmpty())
                FDropCheckList->SetChecked(i, true);
    }
}

void TExStringGrid::FilterSelect(int ItemIndex)
{
    // 1.
    if (CanFocus())
        SetFocus();
    const int col = FFilterColumn;
    if (col < 0 || col >= AllColCount() || ItemIndex < 0 || ItemIndex >= FDropList->Items()->Count()) {
        FFilterColumn = -1;
        return;
    }
    GetColumnFilter(col);
    const QString entry = ItemIndex < FilterList()->Count() ? FilterList()->Strings(ItemIndex) : QString();
    const QString friendly = FriendlyPart(entry);
    if (AutoFilterUpdate)
        SetFilterActive(false);
    QString cond = ConditionPart(this, entry);
    // 2.
    if (OnFilterSelect)
        OnFilterSelect(this, col, ItemIndex, friendly, cond);
    // 3.
    if (!cond.isEmpty())
        Filter()->GetColFilter(col)->Condition = cond;
    else
        Filter()->RemoveColumnFilter(col);
    // 4.
    if (AutoFilterUpdate) {
        FixedRowAlways = true;
        SetFilterActive(true);
        if (RowCount() > FixedRows())
            SetRow(FixedRows());
        FilterDone();
    }
    // 5.
    FFilterColumn = -1;
}

void TExStringGrid::FilterCheck()
{
    const int col = FFilterColumn;
    if (col < 0 || col >= AllColCount())
        return;
    GetColumnFilter(col);
    if (AutoFilterUpdate)
        SetFilterActive(false);
    Filter()->Clear();
    const int n = std::min(FilterList()->Count(), FDropCheckList->Items()->Count());
    for (int i = 0; i < n; ++i) {
        if (!FDropCheckList->Checked(i))
            continue;
        const QString entry = FilterList()->Strings(i);
        QString cond = ConditionPart(this, entry);
        if (OnFilterCheck)
            OnFilterCheck(this, col, i, FriendlyPart(entry), cond, FDropCheckList->Items());
        TFilterData* f = Filter()->Add();
        f->Condition = cond;
        f->Column = col;
        f->Operation = Filter()->Count() == 1 ? foNONE : foOR;
    }
    SetFilterActive(true);
    FDropCheckList->Invalidate();
}
