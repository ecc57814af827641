// The draw grid's events and the string grid's cell store.
#include "platform/grids/Grids.h"

#include <algorithm>
#include <iterator>

namespace {
const QString kIndexOutOfRange = QStringLiteral("Grid index out of range");
// Past the column count, column indexes above this are refused on writing: a
// row keeps its cells in one array up to the highest column written.
constexpr int kMaxStoredCol = 0xFFFF;
// The same for rows: the store keeps one entry per row up to the highest
// row written.
constexpr int kMaxStoredRow = 0xFFFFF;
}  // namespace

// ---------------------------------------------------------------------------
// TCustomDrawGrid
// ---------------------------------------------------------------------------

QString TCustomDrawGrid::GetEditText(int ACol, int ARow) {
    QString value;
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TCustomDrawGrid::SetEditText(int ACol, int ARow, const QString& Value) {
    if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

QString TCustomDrawGrid::GetEditMask(int ACol, int ARow) {
    QString value;
    if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, value);
    return value;
}

void TCustomDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TCustomDrawGrid::SelectCell(int ACol, int ARow) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
    return can;
}

void TCustomDrawGrid::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TCustomDrawGrid::RowMoved(int FromIndex, int ToIndex) {
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

void TCustomDrawGrid::FixedCellClick(int ACol, int ARow) {
    if (OnFixedCellClick) OnFixedCellClick(this, ACol, ARow);
}

// ---------------------------------------------------------------------------
// TStringGrid: cells
// ---------------------------------------------------------------------------

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}

TStringGrid::~TStringGrid() = default;

const TStringGrid::TCellData* TStringGrid::FindCell(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ARow >= int(FData.size())) return nullptr;
    const TRowData* row = FData[std::size_t(ARow)].get();
    return row && ACol < int(row->size()) ? &(*row)[std::size_t(ACol)] : nullptr;
}

TStringGrid::TCellData& TStringGrid::EnsureCell(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0 || (ACol > kMaxStoredCol && ACol >= ColCount()) ||
        (ARow > kMaxStoredRow && ARow >= RowCount()))
        throw EInvalidGridOperation(kIndexOutOfRange);
    if (ARow >= int(FData.size())) {
        // Filling a grid row by row: room for all its rows at once, and
        // never less than twice the room there was (a grid that grows by a
        // row at a time must not move its entries each time).
        if (FData.capacity() < std::size_t(RowCount()) && ARow < RowCount())
            FData.reserve(std::max(std::size_t(RowCount()), 2 * FData.capacity()));
        FData.resize(std::size_t(ARow) + 1);
    }
    auto& slot = FData[std::size_t(ARow)];
    if (!slot) slot = std::make_unique<TRowData>();
    TRowData* row = slot.get();
    if (ACol >= int(row->size())) {
        // A row is usually filled left to right: room for the whole row at
        // once instead of one reallocation per cell.
        if (row->capacity() < std::size_t(ColCount()) && ACol < ColCount()) row->reserve(std::size_t(ColCount()));
        row->resize(std::size_t(ACol) + 1);
    }
    return (*row)[std::size_t(ACol)];
}

int TStringGrid::StoredRowCount() const { return int(FData.size()); }

int TStringGrid::StoredColCount() const {
    std::size_t n = 0;
    for (const auto& row : FData)
        if (row) n = std::max(n, row->size());
    return int(n);
}

QString TStringGrid::Cells(int ACol, int ARow) const {
    const TCellData* c = FindCell(ACol, ARow);
    return c ? c->Text : QString();
}

void TStringGrid::SetCells(int ACol, int ARow, const QString& Value) {
    EnsureCell(ACol, ARow).Text = Value;
    CellChanged(ACol, ARow);
}

TObject* TStringGrid::Objects(int ACol, int ARow) const {
    const TCellData* c = FindCell(ACol, ARow);
    return c ? c->Object : nullptr;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
    EnsureCell(ACol, ARow).Object = Value;
    CellChanged(ACol, ARow);
}

void TStringGrid::CellChanged(int ACol, int ARow) {
    if (ACol >= ColCount() || ARow >= RowCount()) return;
    InvalidateCell(ACol, ARow);
    // A cell written by the program while its editor is up shows the new text.
    if (FEditUpdate == 0 && FInplaceEdit && ACol == FInplaceCol && ARow == FInplaceRow) InvalidateEditor();
}

TStrings* TStringGrid::Rows(int ARow) {
    if (ARow < 0) throw EInvalidGridOperation(kIndexOutOfRange);
    auto& slot = FRowLists[ARow];
    if (!slot) slot = std::make_unique<TStringGridStrings>(this, true, ARow);
    return slot.get();
}

void TStringGrid::SetRows(int ARow, const TStrings* Value) { Rows(ARow)->Assign(Value); }

TStrings* TStringGrid::Cols(int ACol) {
    if (ACol < 0) throw EInvalidGridOperation(kIndexOutOfRange);
    auto& slot = FColLists[ACol];
    if (!slot) slot = std::make_unique<TStringGridStrings>(this, false, ACol);
    return slot.get();
}

void TStringGrid::SetCols(int ACol, const TStrings* Value) { Cols(ACol)->Assign(Value); }

QString TStringGrid::GetEditText(int ACol, int ARow) {
    QString value = Cells(ACol, ARow);
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TStringGrid::SetEditText(int ACol, int ARow, const QString& Value) {
    // Writing back from the editor must not reload the editor.
    ++FEditUpdate;
    struct Restore {
        int& n;
        ~Restore() { --n; }
    } restore{FEditUpdate};
    if (Value != Cells(ACol, ARow)) SetCells(ACol, ARow, Value);
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (DefaultDrawing()) {
        const TCellData* c = FindCell(ACol, ARow);
        Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, c ? c->Text : QString());
    }
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

// ---------------------------------------------------------------------------
// TStringGrid: moving and clearing stored cells
// ---------------------------------------------------------------------------

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    const int hi = std::max(FromIndex, ToIndex);
    for (auto& entry : FData) {
        if (!entry) continue;
        TRowData& row = *entry;
        if (int(row.size()) <= std::min(FromIndex, ToIndex)) continue;
        if (int(row.size()) <= hi) row.resize(std::size_t(hi) + 1);
        if (FromIndex < ToIndex)
            std::rotate(row.begin() + FromIndex, row.begin() + FromIndex + 1, row.begin() + ToIndex + 1);
        else
            std::rotate(row.begin() + ToIndex, row.begin() + FromIndex, row.begin() + FromIndex + 1);
    }
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    // The moved row's entry goes to its new place, the ones between move
    // one place towards where it was.
    const int hi = std::max(FromIndex, ToIndex);
    if (std::min(FromIndex, ToIndex) < int(FData.size())) {
        if (int(FData.size()) <= hi) FData.resize(std::size_t(hi) + 1);
        const auto at = [this](int i) { return FData.begin() + i; };
        if (FromIndex < ToIndex)
            std::rotate(at(FromIndex), at(FromIndex + 1), at(ToIndex + 1));
        else
            std::rotate(at(ToIndex), at(FromIndex), at(FromIndex + 1));
    }
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}

void TStringGrid::ClearColumnData(int ACol) {
    for (auto& row : FData)
        if (row && ACol < int(row->size())) (*row)[std::size_t(ACol)] = TCellData{};
}

void TStringGrid::ClearRowData(int ARow) {
    if (ARow >= 0 && ARow < int(FData.size())) FData[std::size_t(ARow)].reset();
}

void TStringGrid::ShiftRowData(int From, int Delta) {
    // One move of row entries; the cells stay where they are.
    if (From >= int(FData.size())) {
        // Nothing stored from From on; rows dropped below it are emptied.
        for (int r = std::max(0, From + Delta); r < std::min(From, int(FData.size())); ++r)
            FData[std::size_t(r)].reset();
        return;
    }
    if (Delta > 0) {
        std::vector<std::unique_ptr<TRowData>> gap(static_cast<std::size_t>(Delta));
        FData.insert(FData.begin() + From, std::make_move_iterator(gap.begin()), std::make_move_iterator(gap.end()));
    }
    else if (Delta < 0)
        FData.erase(FData.begin() + (From + Delta), FData.begin() + From);
}

void TStringGrid::RemapRowData(const std::function<int(int)>& NewIndex) {
    std::vector<std::unique_ptr<TRowData>> moved;
    for (int r = 0; r < int(FData.size()); ++r) {
        if (!FData[std::size_t(r)]) continue;
        const int to = NewIndex(r);
        if (to < 0) continue;
        if (to >= int(moved.size())) moved.resize(std::size_t(std::max(to + 1, int(FData.size()))));
        moved[std::size_t(to)] = std::move(FData[std::size_t(r)]);
    }
    FData.swap(moved);
}

void TStringGrid::ReorderRowData(const std::vector<int>& Order) {
    std::vector<std::unique_ptr<TRowData>> moved(std::max(Order.size(), FData.size()));
    for (std::size_t i = 0; i < Order.size(); ++i) {
        const int from = Order[i];
        if (from >= 0 && from < int(FData.size())) moved[i] = std::move(FData[std::size_t(from)]);
    }
    FData.swap(moved);
}

void TStringGrid::SwapRowData(int ARow1, int ARow2) {
    if (ARow1 == ARow2 || ARow1 < 0 || ARow2 < 0) return;
    const int hi = std::max(ARow1, ARow2);
    if (hi >= int(FData.size())) {
        const int lo = std::min(ARow1, ARow2);
        if (lo >= int(FData.size()) || !FData[std::size_t(lo)]) return;
        FData.resize(std::size_t(hi) + 1);
    }
    FData[std::size_t(ARow1)].swap(FData[std::size_t(ARow2)]);
}

void TStringGrid::CopyRowData(int From, int To) {
    if (From == To || From < 0 || To < 0) return;
    const TRowData* src = From < int(FData.size()) ? FData[std::size_t(From)].get() : nullptr;
    if (!src) {
        ClearRowData(To);
        return;
    }
    if (To >= int(FData.size())) FData.resize(std::size_t(To) + 1);
    // A row that already has storage takes the copy in place: a sort copies
    // its pivot into the same scratch row once per partition.
    if (auto& dst = FData[std::size_t(To)])
        *dst = *src;
    else
        dst = std::make_unique<TRowData>(*src);
}

std::unique_ptr<TStringGrid::TRowData> TStringGrid::TakeRowData(int ARow) {
    if (ARow < 0 || ARow >= int(FData.size())) return nullptr;
    return std::move(FData[std::size_t(ARow)]);
}

void TStringGrid::PutRowData(int ARow, std::unique_ptr<TRowData> Data) {
    if (ARow < 0) return;
    if (ARow >= int(FData.size())) {
        if (!Data) return;
        FData.resize(std::size_t(ARow) + 1);
    }
    FData[std::size_t(ARow)] = std::move(Data);
}

// ---------------------------------------------------------------------------
// TStringGridStrings
// ---------------------------------------------------------------------------

QString TStringGridStrings::Get(int index) const {
    return FIsRow ? FGrid->Cells(index, FIndex) : FGrid->Cells(FIndex, index);
}

int TStringGridStrings::GetCount() const { return FIsRow ? FGrid->ColCount() : FGrid->RowCount(); }

TObject* TStringGridStrings::GetObject(int index) const {
    return FIsRow ? FGrid->Objects(index, FIndex) : FGrid->Objects(FIndex, index);
}

void TStringGridStrings::Put(int index, const QString& s) {
    if (FIsRow) FGrid->SetCells(index, FIndex, s);
    else FGrid->SetCells(FIndex, index, s);
}

void TStringGridStrings::PutObject(int index, TObject* obj) {
    if (FIsRow) FGrid->SetObjects(index, FIndex, obj);
    else FGrid->SetObjects(FIndex, index, obj);
}

int TStringGridStrings::Add(const QString& s) {
    for (int i = 0; i < GetCount(); ++i) {
        if (Get(i).isEmpty()) {
            Put(i, s);
            return i;
        }
    }
    return -1;
}

void TStringGridStrings::Insert(int, const QString&) {
    throw EInvalidGridOperation(QStringLiteral("Cannot insert into a grid row or column"));
}

void TStringGridStrings::Delete(int) {
    throw EInvalidGridOperation(QStringLiteral("Cannot delete from a grid row or column"));
}

void TStringGridStrings::Clear() {
    for (int i = 0; i < GetCount(); ++i) {
        Put(i, QString());
        PutObject(i, nullptr);
    }
}

void TStringGridStrings::Assign(const TPersistent* source) {
    const auto* src = dynamic_cast<const TStrings*>(source);
    if (!src) {
        TStrings::Assign(source);
        return;
    }
    const int n = std::min(GetCount(), src->Count());
    for (int i = 0; i < n; ++i) {
        Put(i, src->Strings(i));
        PutObject(i, src->Objects(i));
    }
}
