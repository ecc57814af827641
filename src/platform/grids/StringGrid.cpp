// The draw grid's events and the string grid's cell store.
#include "platform/grids/Grids.h"

#include <algorithm>
#include <map>

namespace {
const QString kIndexOutOfRange = QStringLiteral("Grid index out of range");
// Past the column count, column indexes above this are refused on writing: a
// row keeps its cells in one array up to the highest column written.
constexpr int kMaxStoredCol = 0xFFFF;
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
    if (ACol < 0 || ARow < 0) return nullptr;
    const TRowData* row;
    if (ARow == FLastRowKey) {
        row = FLastRow;
    } else {
        auto it = FData.find(ARow);
        if (it == FData.end()) return nullptr;
        // Reading along a row finds it again without a lookup. The map keeps
        // its elements in place, so the pointer stays good.
        FLastRowKey = ARow;
        FLastRow = const_cast<TRowData*>(&it->second);
        row = FLastRow;
    }
    return ACol < int(row->size()) ? &(*row)[ACol] : nullptr;
}

TStringGrid::TCellData& TStringGrid::EnsureCell(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0 || (ACol > kMaxStoredCol && ACol >= ColCount()))
        throw EInvalidGridOperation(kIndexOutOfRange);
    TRowData* row;
    if (ARow == FLastRowKey) {
        row = FLastRow;
    } else {
        row = &FData[ARow];
        FLastRowKey = ARow;
        FLastRow = row;
    }
    if (ACol >= int(row->size())) {
        // A row is usually filled left to right: room for the whole row at
        // once instead of one reallocation per cell.
        if (row->capacity() < std::size_t(ColCount()) && ACol < ColCount()) row->reserve(std::size_t(ColCount()));
        row->resize(ACol + 1);
    }
    return (*row)[ACol];
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
    for (auto& [r, row] : FData) {
        if (int(row.size()) <= std::min(FromIndex, ToIndex)) continue;
        if (int(row.size()) <= hi) row.resize(hi + 1);
        if (FromIndex < ToIndex)
            std::rotate(row.begin() + FromIndex, row.begin() + FromIndex + 1, row.begin() + ToIndex + 1);
        else
            std::rotate(row.begin() + ToIndex, row.begin() + FromIndex, row.begin() + FromIndex + 1);
    }
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    // Take the rows of the moved range out and put them back one place on.
    const int lo = std::min(FromIndex, ToIndex), hi = std::max(FromIndex, ToIndex);
    std::map<int, TRowData> taken;
    for (int r = lo; r <= hi; ++r) {
        auto it = FData.find(r);
        if (it == FData.end()) continue;
        taken.emplace(r, std::move(it->second));
        FData.erase(it);
    }
    FLastRowKey = -1;
    FLastRow = nullptr;
    for (auto& [r, row] : taken) {
        int to = r;
        if (r == FromIndex) to = ToIndex;
        else if (FromIndex < ToIndex) --to;
        else ++to;
        FData[to] = std::move(row);
    }
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}

void TStringGrid::ClearColumnData(int ACol) {
    for (auto& [r, row] : FData)
        if (ACol < int(row.size())) row[ACol] = TCellData{};
}

void TStringGrid::ClearRowData(int ARow) {
    FData.erase(ARow);
    FLastRowKey = -1;
    FLastRow = nullptr;
}

void TStringGrid::ShiftRowData(int From, int Delta) {
    // Rows are keyed by index: one pass re-keys every row from From on.
    std::unordered_map<int, TRowData> moved;
    moved.reserve(FData.size());
    for (auto& [r, row] : FData) {
        if (r >= From)
            moved.emplace(r + Delta, std::move(row));
        else if (Delta > 0 || r < From + Delta)
            moved.emplace(r, std::move(row));
    }
    FData.swap(moved);
    FLastRowKey = -1;
    FLastRow = nullptr;
}

void TStringGrid::RemapRowData(const std::function<int(int)>& NewIndex) {
    // The map's nodes are taken out and put back under their new keys, so
    // no row record is copied or allocated again.
    std::vector<decltype(FData)::node_type> nodes;
    nodes.reserve(FData.size());
    while (!FData.empty()) nodes.push_back(FData.extract(FData.begin()));
    for (auto& node : nodes) {
        const int to = NewIndex(node.key());
        if (to < 0) continue;
        node.key() = to;
        FData.insert(std::move(node));
    }
    FLastRowKey = -1;
    FLastRow = nullptr;
}

void TStringGrid::SwapRowData(int ARow1, int ARow2) {
    if (ARow1 == ARow2) return;
    auto a = FData.find(ARow1);
    auto b = FData.find(ARow2);
    if (a != FData.end() && b != FData.end()) {
        a->second.swap(b->second);
    } else if (a != FData.end()) {
        TRowData row = std::move(a->second);
        FData.erase(a);
        FData[ARow2] = std::move(row);
    } else if (b != FData.end()) {
        TRowData row = std::move(b->second);
        FData.erase(b);
        FData[ARow1] = std::move(row);
    }
    FLastRowKey = -1;
    FLastRow = nullptr;
}

void TStringGrid::CopyRowData(int From, int To) {
    if (From == To) return;
    auto a = FData.find(From);
    if (a == FData.end()) {
        FData.erase(To);
    } else {
        TRowData copy = a->second;
        FData[To] = std::move(copy);
    }
    FLastRowKey = -1;
    FLastRow = nullptr;
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
