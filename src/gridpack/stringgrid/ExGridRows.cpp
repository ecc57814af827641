// Hidden rows and the row operations that move whole rows. A hidden row
// leaves the grid for the hidden-row store (texts, objects and height of
// every real column); the rows below move up through the library's row
// shift, one pass for any number of rows.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/basegrid/CellPropertiesFree.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Index mapping
// ---------------------------------------------------------------------------

std::vector<int> TExStringGrid::HiddenIdx() const
{
    std::vector<int> idx;
    idx.reserve(std::size_t(FGridItems->Count()));
    for (int i = 0; i < FGridItems->Count(); ++i)
        idx.push_back(FGridItems->Item(i)->Idx);
    std::sort(idx.begin(), idx.end());
    return idx;
}

bool TExStringGrid::IsHiddenRow(int ARow) const { return HiddenRowItem(ARow) != nullptr; }

TGridItem* TExStringGrid::HiddenRowItem(int ARow) const
{
    for (int i = 0; i < FGridItems->Count(); ++i)
        if (FGridItems->Item(i)->Idx == ARow)
            return FGridItems->Item(i);
    return nullptr;
}

bool TExStringGrid::IsHiddenRow(int ARow, TIntList*& List) const
{
    if (!List) {
        List = NewObject<TIntList>(0, 0);
        for (int i = 0; i < FGridItems->Count(); ++i)
            List->Insert(List->Count(), FGridItems->Item(i)->Idx);
    }
    return List->HasValue(ARow);
}

int TExStringGrid::RemapRowToReal(int DisplRow) const
{
    if (FGridItems->Count() == 0)
        return DisplRow;
    // The (DisplRow + 1)-th row that is not hidden.
    int r = DisplRow;
    int last = -1;
    for (int h : HiddenIdx()) {
        if (h == last)
            continue;
        last = h;
        if (h <= r)
            ++r;
        else
            break;
    }
    return r;
}

int TExStringGrid::RemapRowToDispl(int RealRow) const
{
    int n = 0;
    for (int i = 0; i < FGridItems->Count(); ++i)
        n += FGridItems->Item(i)->Idx < RealRow;
    return RealRow - n;
}

// ---------------------------------------------------------------------------
// Moving rows into and out of the store
// ---------------------------------------------------------------------------

void TExStringGrid::RowToItem(int DisplRow, TGridItem* Item)
{
    // The row's record moves into the item whole; the row it leaves behind
    // is empty and goes next.
    Item->Height = RowHeights(DisplRow);
    Item->HoldRow(TakeRowData(DisplRow), AllColCount());
}

void TExStringGrid::ItemToRow(TGridItem* Item, int DisplRow)
{
    // The row was just opened: its cells are empty, and empty texts and
    // missing objects need no write.
    if (Item->HoldsRow()) {
        std::unique_ptr<TRowData> row = Item->TakeRow();
        if (row) {
            int c = 0;
            for (TCellData& cell : *row) {
                // The slot holds only properties: a user object comes back
                // wrapped into new properties.
                if (cell.Object && !dynamic_cast<TCellProperties*>(cell.Object)) {
                    auto* props = NewObject<TCellProperties>(this, c, DisplRow);
                    props->CellObject = reinterpret_cast<std::uintptr_t>(cell.Object);
                    cell.Object = props;
                }
                ++c;
            }
        }
        PutRowData(DisplRow, std::move(row));
        InvalidateRow(DisplRow);
    } else {
        TStringList* items = Item->Items();
        for (int c = 0; c < items->Count(); ++c) {
            const QString s = items->Strings(c);
            if (!s.isEmpty())
                SetGridCell(c, DisplRow, s);
            TObject* o = items->Objects(c);
            if (!o)
                continue;
            auto* props = dynamic_cast<TCellProperties*>(o);
            if (!props) {
                props = NewObject<TCellProperties>(this, c, DisplRow);
                props->CellObject = reinterpret_cast<std::uintptr_t>(o);
            }
            SetGridObject(c, DisplRow, props);
        }
        // The objects now belong to the row again.
        items->Clear();
    }
    if (RowHeights(DisplRow) != Item->Height)
        SetRowHeights(DisplRow, Item->Height);
}

void TExStringGrid::HideRows(int FromRow, int ToRow)
{
    if (ToRow < FromRow || FromRow < 0)
        return;
    const int D = RemapRowToDispl(FromRow);
    int P = 0;
    int k = 0;
    for (int i = 0; i < FGridItems->Count(); ++i) {
        const int idx = FGridItems->Item(i)->Idx;
        P += idx < FromRow;
        k += idx >= FromRow && idx <= ToRow;
    }
    const int len = ToRow - FromRow + 1;
    if (k >= len)
        return;
    const int shown = len - k;
    if (D + shown > RowCount())
        return;
    // The rows of the range hidden already, looked up once.
    std::vector<bool> already(std::size_t(len), false);
    for (int i = 0; i < FGridItems->Count(); ++i) {
        const int idx = FGridItems->Item(i)->Idx;
        if (idx >= FromRow && idx <= ToRow)
            already[std::size_t(idx - FromRow)] = true;
    }
    int d = D;
    for (int i = FromRow; i <= ToRow; ++i) {
        if (already[std::size_t(i - FromRow)])
            continue;
        auto* item = static_cast<TGridItem*>(FGridItems->Insert(P++));
        item->Idx = i;
        RowToItem(d++, item);
    }
    if (TControl* c = GetCellControls(1, D))
        c->SetVisible(false);
    DeleteRowRange(D, shown, false);
    CellControlsUpdate();
}

void TExStringGrid::HideRowsEx(int FromRow, int ToRow)
{
    if (ToRow < FromRow || FromRow < 0 || IsHiddenRow(FromRow))
        return;
    const int D = RemapRowToDispl(FromRow);
    const int n = std::min(ToRow - FromRow + 1, RowCount() - D);
    if (n <= 0)
        return;
    for (int i = 0; i < n; ++i) {
        auto* item = static_cast<TGridItem*>(FGridItems->Add());
        item->Idx = FromRow + i;
        RowToItem(D + i, item);
    }
    RemoveRowsCore(D, n, false, false);
    CellControlsUpdate();
}

void TExStringGrid::HideRowList(TIntList* RowList)
{
    if (!RowList || RowList->Count() == 0)
        return;
    std::vector<int> rows;
    for (int i = 0; i < RowList->Count(); ++i) {
        const int r = RowList->GetInteger(i);
        auto* item = static_cast<TGridItem*>(FGridItems->Add());
        item->Idx = r;
        item->Level = FFilterLevel;
        RowToItem(r, item);
        rows.push_back(r);
    }
    ++FFilterLevel;
    // Compact in one pass over the store.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= RowCount(); }),
               rows.end());
    BeginUpdate();
    const int oldCount = RowCount();
    RemoveRowSet(rows);
    RowCountWritten(oldCount, RowCount());
    EndUpdate();
    CellControlsUpdate();
}

void TExStringGrid::RestoreHiddenRun(std::vector<TGridItem*>& Run)
{
    if (Run.empty())
        return;
    const int pos = std::min(RemapRowToDispl(Run.front()->Idx), RowCount());
    const int oldCount = RowCount();
    ShiftRows(pos, int(Run.size()));
    RowCountWritten(oldCount, RowCount());
    for (std::size_t i = 0; i < Run.size(); ++i)
        ItemToRow(Run[i], pos + int(i));
    // From the last: a run at the store's end leaves without a search.
    for (std::size_t i = Run.size(); i-- > 0;)
        Run[i]->Free();
    Run.clear();
}

void TExStringGrid::UnHideRows(int FromRow, int ToRow)
{
    if (!IsHiddenRow(FromRow))
        return;
    const bool marking = FShowModified->Enabled;
    FShowModified->Enabled = false;
    std::vector<TGridItem*> items;
    for (int i = 0; i < FGridItems->Count(); ++i) {
        TGridItem* it = FGridItems->Item(i);
        if (it->Idx >= FromRow && it->Idx <= ToRow)
            items.push_back(it);
    }
    std::sort(items.begin(), items.end(), [](TGridItem* a, TGridItem* b) { return a->Idx < b->Idx; });
    // Each run of adjacent hidden rows comes back with one insertion.
    std::vector<TGridItem*> run;
    for (TGridItem* it : items) {
        if (!run.empty() && it->Idx != run.back()->Idx + 1)
            RestoreHiddenRun(run);
        run.push_back(it);
    }
    RestoreHiddenRun(run);
    const int d = RemapRowToDispl(FromRow);
    if (TControl* c = GetCellControls(1, d)) {
        TRect r = CellRect(1, d);
        r.Bottom -= 1;
        c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        c->SetVisible(true);
    }
    FShowModified->Enabled = marking;
    CellControlsUpdate();
}

void TExStringGrid::UnHideRow(int ARow)
{
    TGridItem* it = HiddenRowItem(ARow);
    if (!it)
        return;
    const bool marking = FShowModified->Enabled;
    FShowModified->Enabled = false;
    std::vector<TGridItem*> run{it};
    RestoreHiddenRun(run);
    FShowModified->Enabled = marking;
    for (int i = 0; i < FControlList->Count(); ++i)
        if (TControlItem* ci = FControlList->GetControl(i); ci->Y == ARow && ci->Control)
            ci->Control->SetVisible(true);
    CellControlsUpdate();
}

void TExStringGrid::UnHideRowsAll()
{
    while (FGridItems->Count() > 0) {
        const int from = FGridItems->Item(0)->Idx;
        int to = from;
        for (int i = 1; i < FGridItems->Count() && FGridItems->Item(i)->Idx == to + 1; ++i)
            ++to;
        const int before = FGridItems->Count();
        UnHideRows(from, to);
        if (FGridItems->Count() == before)
            break; // nothing came back: no endless loop
    }
}

void TExStringGrid::UnHideRowList()
{
    const int level = FFilterLevel - 1;
    std::vector<TGridItem*> items;
    for (int i = 0; i < FGridItems->Count(); ++i)
        if (FGridItems->Item(i)->Level == level)
            items.push_back(FGridItems->Item(i));
    if (Row() >= RowCount())
        FocusCell(FixedCols(), FixedRows());
    // Rows of a level were hidden by display index: put back in ascending
    // order, each lands where it stood.
    std::stable_sort(items.begin(), items.end(), [](TGridItem* a, TGridItem* b) { return a->Idx < b->Idx; });
    BeginUpdate();
    const int oldCount = RowCount();
    // Open every row in one pass over the store, then fill them.
    std::vector<int> places;
    places.reserve(items.size());
    for (TGridItem* it : items) {
        const int at = std::min(it->Idx, oldCount + int(places.size()));
        places.push_back(places.empty() ? at : std::max(at, places.back() + 1));
    }
    InsertRowSet(places);
    for (std::size_t j = 0; j < items.size(); ++j)
        ItemToRow(items[j], places[j]);
    RowCountWritten(oldCount, RowCount());
    EndUpdate();
    if (FFilterLevel < 2) {
        // The store's remaining objects belong to no row any more.
        for (int i = 0; i < FGridItems->Count(); ++i) {
            TStringList* l = FGridItems->Item(i)->Items();
            for (int c = 0; c < l->Count(); ++c)
                FreeCellPropertiesWithGraphic(dynamic_cast<TCellProperties*>(l->Objects(c)));
        }
        FGridItems->Clear();
    } else {
        for (TGridItem* it : items)
            it->Free();
    }
    CellControlsUpdate();
}

// ---------------------------------------------------------------------------
// Row operations
// ---------------------------------------------------------------------------

void TExStringGrid::DeleteRowRange(int Row, int Count, bool ShiftHidden)
{
    if (Row >= RowCount() || Row < 0 || Count <= 0)
        return;
    Count = std::min(Count, RowCount() - Row);
    if (ShiftHidden) {
        for (int i = FControlList->Count() - 1; i >= 0; --i) {
            TControlItem* ci = FControlList->GetControl(i);
            const int d = RemapRowToDispl(ci->Y);
            if (d >= Row && d < Row + Count) {
                if (ci->Control)
                    ci->Control->SetVisible(false);
                FControlList->RemoveControl(i);
                --FNumCellControls;
            }
        }
    }
    const int footers = FFixedFooters;
    FFixedFooters = 0;
    const bool disjunct = FMouseActions->DisjunctRowSelect();
    FMouseActions->SetDisjunctRowSelectDirect(false);
    BeginUpdate();
    const int top = TopRow();
    const int cur = this->Row();
    if (ShiftHidden && NumHiddenRows() > 0) {
        const int realRow = RealRowIndex(Row);
        for (int i = 0; i < FGridItems->Count(); ++i)
            if (FGridItems->Item(i)->Idx > realRow)
                FGridItems->Item(i)->Idx -= Count;
    }
    const int oldCount = RowCount();
    ShiftRows(Row + Count, -Count);
    RowCountWritten(oldCount, RowCount());
    if (disjunct && !FMouseActions->RowSelectPersistent) {
        for (int i = 0; i < Count && Row < int(FRowSelect.size()); ++i)
            FRowSelect.erase(FRowSelect.begin() + Row);
    }
    const int lastData = RowCount() - footers - 1;
    if (cur <= lastData && cur >= FixedRows()) {
        // The row shift kept the current row's index.
        TBaseGrid::SetTopRow(std::clamp(top, TBaseGrid::FixedRows(), RowCount() - 1));
    } else if (lastData >= FixedRows()) {
        MoveColRow(std::clamp(Col(), 0, ColCount() - 1), lastData, true, true);
    } else {
        HideSelection();
    }
    FSelHidden = false;
    EndUpdate();
    CellsChanged(TRect{0, Row, ColCount() - 1, Row + Count});
    if (TopRow() >= RowCount() - 1 && RowCount() - 1 >= TBaseGrid::FixedRows())
        TBaseGrid::SetTopRow(RowCount() - 1);
    FMouseActions->SetDisjunctRowSelectDirect(disjunct);
    if (FNumCellControls > 0)
        CellControlsUpdate();
    FFixedFooters = footers;
}

void TExStringGrid::RemoveRowsCore(int RowIndex, int RCount, bool ShiftHidden, bool FreeProps)
{
    if (RowIndex < 0 || RCount <= 0 || RowIndex >= RowCount())
        return;
    RCount = std::min(RCount, RowCount() - RowIndex);
    const int realRow = RealRowIndex(RowIndex);
    if (FreeProps)
        FreeCellPropertiesRange(0, RowIndex, AllColCount() - 1, RowIndex + RCount - 1);
    const int cur = Row();
    const int top = TopRow();
    BeginUpdate();
    if (FMouseActions->DisjunctRowSelect()) {
        for (int i = 0; i < RCount && RowIndex < int(FRowSelect.size()); ++i)
            FRowSelect.erase(FRowSelect.begin() + RowIndex);
    }
    const int oldCount = RowCount();
    ShiftRows(RowIndex + RCount, -RCount);
    RowCountWritten(oldCount, RowCount());
    FMaxRowCount -= RCount;
    if (cur < RowCount()) {
        TBaseGrid::SetTopRow(std::clamp(top, TBaseGrid::FixedRows(), RowCount() - 1));
    } else if (RowCount() > FixedRows()) {
        MoveColRow(std::clamp(Col(), 0, ColCount() - 1), FixedRows(), true, false);
        TBaseGrid::SetTopRow(FixedRows());
    }
    EndUpdate();
    if (ShiftHidden) {
        for (int i = 0; i < FGridItems->Count(); ++i)
            if (FGridItems->Item(i)->Idx > realRow)
                FGridItems->Item(i)->Idx -= RCount;
    }
    CellsChanged(TRect{0, RowIndex, ColCount() - 1, RowIndex + RCount});
}

void TExStringGrid::RemoveRowsEx(int RowIndex, int RCount) { RemoveRowsCore(RowIndex, RCount, true, true); }

void TExStringGrid::InsertRowRange(int Row, int Count, bool UpdateCellControls)
{
    if (Count <= 0 || Row < 0)
        return;
    Row = std::min(Row, RowCount());
    if (FSelHidden || this->Col() >= ColCount() || this->Row() >= RowCount())
        UnHideSelection();
    const int realRow = RealRowIndex(Row);
    const int oldCount = RowCount();
    ShiftRows(Row, Count);
    RowCountWritten(oldCount, RowCount());
    if (FShowModified->Enabled && FModifiedRows->Count() > Row)
        for (int i = 0; i < Count; ++i)
            FModifiedRows->Insert(Row, 0);
    if (FUseEnabledRows && FEnabledRows->Count() > Row)
        for (int i = 0; i < Count; ++i)
            FEnabledRows->Insert(Row, 0);
    if (UpdateCellControls && FControlList->Count() > 0) {
        for (int i = 0; i < FControlList->Count(); ++i)
            if (TControlItem* ci = FControlList->GetControl(i); ci->Y >= realRow)
                ci->Y += Count;
        CellControlsUpdate();
    }
    if (!(ComponentState() & csDestroying))
        CellsChanged(TRect{0, Row, ColCount() - 1, Row + Count});
}

// ---------------------------------------------------------------------------
// Change reports and cell controls
// ---------------------------------------------------------------------------

void TExStringGrid::CellsChanged(const TRect& R)
{
    if (OnCellsChanged)
        OnCellsChanged(this, R);
    for (TGridChangeNotifier* n : FNotifierList)
        n->CellsChanged(R);
    CalcFooter(-1);
}

void TExStringGrid::RegisterNotifier(TGridChangeNotifier* Item)
{
    if (Item && std::find(FNotifierList.begin(), FNotifierList.end(), Item) == FNotifierList.end()) {
        FNotifierList.push_back(Item);
        // Told when it is freed, so the list never keeps a dangling entry.
        Item->FreeNotification(this);
    }
}

void TExStringGrid::UnRegisterNotifier(TGridChangeNotifier* Item)
{
    auto it = std::find(FNotifierList.begin(), FNotifierList.end(), Item);
    if (it != FNotifierList.end())
        FNotifierList.erase(it);
}

void TExStringGrid::CellControlsUpdate()
{
    // Nothing is placed before the window exists.
    if (!HandleAllocated())
        return;
    for (int i = 0; i < FControlList->Count(); ++i) {
        TControlItem* ci = FControlList->GetControl(i);
        if (!ci->Control)
            continue;
        if (IsHiddenRow(ci->Y)) {
            ci->Control->SetVisible(false);
            continue;
        }
        const int c = RemapColToDispl(ci->X);
        const int r = RemapRowToDispl(ci->Y);
        const TRect rc = TCustomGrid::CellRect(c, r);
        if (rc.IsEmpty() || IsHiddenColumn(ci->X)) {
            ci->Control->SetVisible(false);
            continue;
        }
        ci->Control->SetBounds(rc.Left - 1, rc.Top - 1, rc.Width() + 1, rc.Height() + 1);
        ci->Control->SetVisible(true);
    }
}
