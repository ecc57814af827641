// The header's model: columns with their width rules, the column collection
// with its position array, and the header object with its height and
// fixed-area rules.
#include "treeview/LazyTrees.h"

#include "platform/core/MathUtils.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// TLazyTreeColumn
// ---------------------------------------------------------------------------

TLazyTreeColumn::TLazyTreeColumn(TCollection* Collection) : TCollectionItem(Collection) {
    if (auto* cols = dynamic_cast<TLazyTreeColumns*>(Collection)) {
        FWidth = cols->DefaultWidth;
        FLastWidth = cols->DefaultWidth;
    }
}

void TLazyTreeColumn::AfterConstruction() {
    TCollectionItem::AfterConstruction();
    if (TLazyTreeColumns* cols = Owner()) {
        FWidth = cols->DefaultWidth;
        FLastWidth = cols->DefaultWidth;
        FPosition = TColumnPosition(cols->Count() - 1);
        // The new column is last: its left edge follows from the others.
        cols->RecalcColumnLefts(false);
    }
    ParentBiDiModeChanged();
    ParentColorChanged();
}

void TLazyTreeColumn::BeforeDestruction() {
    TLazyTreeColumns* cols = Owner();
    if (cols && !cols->FClearing) {
        TBaseLazyTree* tree = cols->Tree();
        const TColumnIndex index = Index();
        if (tree) tree->CancelEditNode();
        cols->RemoveIndexFromPositions(index);
        auto adjust = [index](TColumnIndex& v) {
            if (v == index) v = NoColumn;
            else if (v > index) --v;
        };
        adjust(cols->FHoverIndex);
        adjust(cols->FDownIndex);
        adjust(cols->FTrackIndex);
        adjust(cols->FClickIndex);
        TLTHeader* h = cols->FHeader;
        adjust(h->FAutoSizeIndex);
        adjust(h->FSortColumn);
        if (h->FMainColumn > index) --h->FMainColumn;
        else if (h->FMainColumn == index) h->FMainColumn = cols->Count() > 1 ? 0 : NoColumn;
    }
    TCollectionItem::BeforeDestruction();
}

TLazyTreeColumns* TLazyTreeColumn::Owner() const { return static_cast<TLazyTreeColumns*>(Collection()); }

TLTHeader* TLazyTreeColumn::Header() const { return Owner() ? Owner()->Header() : nullptr; }

TBaseLazyTree* TLazyTreeColumn::Tree() const { return Owner() ? Owner()->Tree() : nullptr; }

namespace {
void RepaintTree(TBaseLazyTree* tree) {
    if (tree) tree->InvalidateTree();
}
}  // namespace

void TLazyTreeColumn::SetAlignment(TAlignment V) {
    if (V == FAlignment) return;
    FAlignment = V;
    NotifyChanged();
    RepaintTree(Tree());
}

void TLazyTreeColumn::SetBiDiMode(TBiDiMode V) {
    if (V == FBiDiMode) return;
    FBiDiMode = V;
    FOptions.Exclude(coParentBidiMode);
    NotifyChanged();
    RepaintTree(Tree());
}

void TLazyTreeColumn::SetCaptionAlignment(TAlignment V) {
    if (FOptions.Contains(coUseCaptionAlignment) && FCaptionAlignment == V) return;
    FCaptionAlignment = V;
    FOptions.Include(coUseCaptionAlignment);
    if (TLTHeader* h = Header()) h->Invalidate(this);
}

void TLazyTreeColumn::SetColor(TColor V) {
    if (V == FColor) return;
    FColor = V;
    FOptions.Exclude(coParentColor);
    NotifyChanged();
    RepaintTree(Tree());
}

void TLazyTreeColumn::SetCheckBox(bool V) {
    if (V == FCheckBox) return;
    FCheckBox = V;
    // No design mode here: the header's image option stays as it is.
    NotifyChanged();
}

void TLazyTreeColumn::SetCheckState(TCheckState V) {
    if (V == FCheckState) return;
    FCheckState = V;
    NotifyChanged();
}

void TLazyTreeColumn::SetCheckType(TCheckType V) {
    if (V == FCheckType) return;
    FCheckType = V;
    NotifyChanged();
}

void TLazyTreeColumn::SetImageIndex(int V) {
    if (V == FImageIndex) return;
    FImageIndex = V;
    NotifyChanged();
}

void TLazyTreeColumn::SetLayout(TLTHeaderColumnLayout V) {
    if (V == FLayout) return;
    FLayout = V;
    NotifyChanged();
}

void TLazyTreeColumn::SetSpacing(int V) {
    if (V == FSpacing) return;
    FSpacing = V;
    NotifyChanged();
}

void TLazyTreeColumn::SetStyle(TLazyTreeColumnStyle V) {
    if (V == FStyle) return;
    FStyle = V;
    NotifyChanged();
}

void TLazyTreeColumn::SetMargin(int V) {
    if (V < 0) V = 4;
    if (V == FMargin) return;
    FMargin = V;
    NotifyChanged();
}

void TLazyTreeColumn::SetMaxWidth(int V) {
    FMaxWidth = std::max(V, FMinWidth);
    SetWidth(FWidth);
}

void TLazyTreeColumn::SetMinWidth(int V) {
    if (V < 0) V = 0;
    FMinWidth = std::min(V, FMaxWidth);
    SetWidth(FWidth);
}

void TLazyTreeColumn::SetText(const QString& V) {
    if (V == FText) return;
    FText = V;
    FCaptionText.clear();
    NotifyChanged();
}

int TLazyTreeColumn::Left() const {
    TBaseLazyTree* tree = Tree();
    if (!tree || FOptions.ContainsAll({coVisible, coFixed})) return FLeft;
    return FLeft - tree->EffectiveOffsetX();
}

void TLazyTreeColumn::GetRect(TRect& R) const {
    TBaseLazyTree* tree = Tree();
    R = tree ? tree->HeaderRect() : TRect();
    R.Left += FLeft;
    R.Right = R.Left + FWidth;
}

void TLazyTreeColumn::SetWidth(int V) {
    TLTHeader* h = Header();
    TLazyTreeColumns* cols = Owner();
    TBaseLazyTree* tree = Tree();
    if (!h || !h->FStates.Contains(hsScaling)) {
        if (h && tree && FOptions.ContainsAll({coVisible, coFixed})) {
            const int C = tree->ClientWidth();
            TLTFixedAreaConstraints* F = h->FixedAreaConstraints();
            int sumMin = 0, sumMax = 0;
            for (int i = 0; i < cols->Count(); ++i) {
                TLazyTreeColumn* c = cols->Items(i);
                if (!c->FOptions.ContainsAll({coVisible, coFixed})) continue;
                sumMin += c->FMinWidth;
                sumMax += c->FMaxWidth;
            }
            const int others = cols->GetVisibleFixedWidth() - FWidth;
            int lowTotal = sumMin;
            if (F->MaxWidthPercent() != 0) lowTotal = std::min(lowTotal, C * F->MaxWidthPercent() / 100);
            int highTotal = sumMax;
            if (F->MinWidthPercent() != 0) highTotal = std::max(highTotal, C * F->MinWidthPercent() / 100);
            const int upper = std::min(highTotal - others, FMaxWidth);
            const int lower = std::max(lowTotal - others, FMinWidth);
            V = std::min(std::max(V, lower), upper);
            if (F->MinWidthPercent() != 0) V = std::max(V, C * F->MinWidthPercent() / 100 - others);
            if (F->MaxWidthPercent() != 0) V = std::min(V, C * F->MaxWidthPercent() / 100 - others);
        } else {
            V = std::min(std::max(V, FMinWidth), FMaxWidth);
        }
    }
    if (V == FWidth) return;
    FLastWidth = FWidth;
    if (!h || !h->FStates.Contains(hsResizing)) BonusPixel = false;
    const bool autoSized = h && h->FOptions.Contains(hoAutoResize) && Index() == h->FAutoSizeIndex;
    if (!autoSized) {
        FWidth = V;
        if (cols) cols->RecalcColumnLefts(false);
    }
    if (!cols || (tree && tree->IsLoading()) || cols->UpdateCount() > 0) return;
    if (h->FOptions.Contains(hoAutoResize)) cols->FitAutoSizeColumn(Index(), false);
    if (tree) tree->FireColumnResize(Index());
}

void TLazyTreeColumn::SetOptions(TLTColumnOptions V) {
    if (V == FOptions) return;
    const TLTColumnOptions added = V - FOptions, removed = FOptions - V;
    FOptions = V;
    if (added.Contains(coParentBidiMode)) ParentBiDiModeChanged();
    if (added.Contains(coParentColor)) ParentColorChanged();
    if (added.Contains(coAutoSpring)) SpringRest = 0;
    if ((added + removed).Contains(coFixed) && V.Contains(coVisible))
        if (TLTHeader* h = Header()) h->ReapplyHeaderLimits();
    NotifyChanged();
    TBaseLazyTree* tree = Tree();
    if (tree && !tree->IsLoading()) {
        const bool visibleChanged = (added + removed).Contains(coVisible);
        if ((visibleChanged || added.Contains(coParentColor)) && tree->UpdateCount() == 0 &&
            tree->HandleAllocated()) {
            tree->InvalidateTree();
            if (visibleChanged) tree->UpdateHorizontalScrollBar(false);
        }
    }
}

void TLazyTreeColumn::SetPosition(TColumnPosition V) {
    TLazyTreeColumns* cols = Owner();
    TBaseLazyTree* tree = Tree();
    if (!cols || (tree && tree->IsLoading())) {
        FPosition = V;
        return;
    }
    if (V >= TColumnPosition(cols->Count())) V = TColumnPosition(cols->Count() - 1);
    if (V == FPosition) return;
    cols->SyncPositionArrayLength();
    if (tree) tree->CancelEditNode();
    cols->MovePosition(this, V);
    NotifyChanged();
    if (cols->UpdateCount() == 0 && tree && tree->HandleAllocated()) {
        if (TLTHeader* h = Header()) h->Invalidate(this);
        tree->InvalidateTree();
    }
    // The moved column takes over the fixed state of its new neighbour.
    TColumnIndex neighbour;
    if (FOptions.Contains(coFixed) && FPosition > 0) neighbour = cols->ColumnFromPosition(FPosition - 1);
    else neighbour = cols->ColumnFromPosition(FPosition + 1);
    if (cols->IsValidColumn(neighbour)) {
        TLTColumnOptions o = FOptions;
        if (cols->Items(neighbour)->FOptions.Contains(coFixed)) o.Include(coFixed);
        else o.Exclude(coFixed);
        SetOptions(o);
    }
}

void TLazyTreeColumn::ParentBiDiModeChanged() {
    TBaseLazyTree* tree = Tree();
    if (!Owner() || !tree || !FOptions.Contains(coParentBidiMode)) return;
    if (tree->BiDiMode() != FBiDiMode) {
        FBiDiMode = tree->BiDiMode();
        NotifyChanged();
    }
}

void TLazyTreeColumn::ParentColorChanged() {
    TBaseLazyTree* tree = Tree();
    if (!Owner() || !tree || !FOptions.Contains(coParentColor)) return;
    if (tree->Color() != FColor) {
        FColor = tree->Color();
        NotifyChanged();
    }
}

void TLazyTreeColumn::RestoreLastWidth() {
    if (TLazyTreeColumns* cols = Owner()) cols->AnimatedResize(Index(), FLastWidth);
}

QString TLazyTreeColumn::GetDisplayName() const {
    for (QChar ch : FText)
        if (ch.unicode() > 0xFF) return QStringLiteral("Column %1").arg(Index());
    return FText;
}

void TLazyTreeColumn::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TLazyTreeColumn*>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    const TLTColumnOptions own = FOptions;
    FOptions = {};
    SetBiDiMode(src->BiDiMode());
    SetImageIndex(src->ImageIndex());
    SetLayout(src->Layout());
    SetMargin(src->Margin());
    SetMaxWidth(src->MaxWidth());
    SetMinWidth(src->MinWidth());
    SetPosition(src->Position());
    SetSpacing(src->Spacing());
    SetStyle(src->Style());
    SetText(src->Text());
    Hint = src->Hint;
    SetWidth(src->Width());
    SetAlignment(src->Alignment());
    SetCaptionAlignment(src->CaptionAlignment());
    SetColor(src->Color());
    Tag = src->Tag;
    FOptions = own;
    SetOptions(src->Options());
    NotifyChanged();
}

bool TLazyTreeColumn::Equals(const TLazyTreeColumn* O) const {
    return O && FBiDiMode == O->FBiDiMode && FImageIndex == O->FImageIndex && FLayout == O->FLayout &&
           FMargin == O->FMargin && FMaxWidth == O->FMaxWidth && FMinWidth == O->FMinWidth &&
           FPosition == O->FPosition && FSpacing == O->FSpacing && FStyle == O->FStyle && Text() == O->Text() &&
           Hint == O->Hint && FWidth == O->FWidth && FAlignment == O->FAlignment &&
           CaptionAlignment() == O->CaptionAlignment() && FColor == O->FColor && Tag == O->Tag &&
           FOptions == O->FOptions;
}

// ---------------------------------------------------------------------------
// TLazyTreeColumns
// ---------------------------------------------------------------------------

TLazyTreeColumns::TLazyTreeColumns(TLTHeader* AOwner)
    : TCollection(AOwner && AOwner->Treeview() ? AOwner->Treeview()->ColumnClass()
                                               : TCollection::ItemClass<TLazyTreeColumn>()),
      FHeader(AOwner) {}

TLazyTreeColumns::~TLazyTreeColumns() {
    FClearing = true;
    // The automatic column menu goes with the collection.
    if (TPopupMenu* menu = FColumnPopupMenu) {
        FColumnPopupMenu = nullptr;
        menu->Free();
    }
}

TPersistent* TLazyTreeColumns::GetOwner() const { return FHeader; }

TBaseLazyTree* TLazyTreeColumns::Tree() const { return FHeader ? FHeader->Treeview() : nullptr; }

TLazyTreeColumn* TLazyTreeColumns::Add() { return static_cast<TLazyTreeColumn*>(TCollection::Add()); }

void TLazyTreeColumns::ClearColumns() {
    FClearing = true;
    try {
        if (TBaseLazyTree* tree = Tree()) tree->CancelEditNode();
        FHoverIndex = FDownIndex = FTrackIndex = FClickIndex = NoColumn;
        FCheckBoxHit = false;
        if (!FHeader->FStates.Contains(hsLoading)) {
            FHeader->FAutoSizeIndex = NoColumn;
            FHeader->FMainColumn = NoColumn;
            FHeader->FSortColumn = NoColumn;
        }
        if (TBaseLazyTree* tree = Tree(); tree && !tree->IsLoading()) tree->FFocusedColumn = NoColumn;
        Clear();
    } catch (...) {
        FClearing = false;
        throw;
    }
    FClearing = false;
}

void TLazyTreeColumns::Update(TCollectionItem* Item) {
    if (FFreeing) return;
    TBaseLazyTree* tree = Tree();
    SyncPositionArrayLength();
    if (tree && tree->IsLoading()) FNeedPositionsFix = true;
    else RecalcColumnLefts(false);
    if (Count() > 0 && FHeader->FMainColumn < 0) FHeader->FMainColumn = 0;
    if ((tree && tree->IsLoading()) || FHeader->FStates.Contains(hsLoading)) return;
    if (FHeader->FOptions.Contains(hoAutoResize)) FitAutoSizeColumn(InvalidColumn, false);
    if (Item) {
        FHeader->Invalidate(static_cast<TLazyTreeColumn*>(Item));
    } else if (tree && tree->HandleAllocated()) {
        tree->UpdateHorizontalScrollBar(false);
        FHeader->Invalidate(nullptr);
        tree->InvalidateTree();
    }
}

void TLazyTreeColumns::Notify(TCollectionItem* Item, TCollectionNotification Action) {
    if (FFreeing) return;
    if (Action == cnAdded) return;
    TBaseLazyTree* tree = Tree();
    if (tree && !tree->IsLoading() && tree->FFocusedColumn == Item->Index()) tree->FFocusedColumn = NoColumn;
}

void TLazyTreeColumns::RecalcColumnLefts(bool Force) {
    TBaseLazyTree* tree = Tree();
    if ((tree && tree->IsDestroying()) || FNeedPositionsFix || (!Force && UpdateCount() > 0)) return;
    int sum = 0;
    for (int p = 0; p < FPositionToIndex.size(); ++p) {
        const TColumnIndex i = FPositionToIndex[p];
        if (!IsValidColumn(i)) continue;
        TLazyTreeColumn* c = Items(i);
        c->FPosition = TColumnPosition(p);
        c->FLeft = sum;
        if (c->FOptions.Contains(coVisible)) sum += c->FWidth;
    }
    if (tree) tree->UpdateHorizontalScrollBar(false);
}

void TLazyTreeColumns::RebuildPositionArray() {
    // Positions read from a description are used only when they form a
    // permutation of 0 .. count - 1; damaged data falls back to index order.
    const int n = Count();
    TIndexArray a(n, -1);
    bool ok = true;
    for (int i = 0; i < n && ok; ++i) {
        const TColumnPosition p = Items(i)->FPosition;
        if (p >= TColumnPosition(n) || a[int(p)] != -1) ok = false;
        else a[int(p)] = i;
    }
    if (!ok)
        for (int i = 0; i < n; ++i) a[i] = i;
    FPositionToIndex = a;
    FNeedPositionsFix = false;
    RecalcColumnLefts(true);
}

void TLazyTreeColumns::ResetPositions(bool Reversed) {
    const int n = Count();
    FPositionToIndex.resize(n);
    for (int i = 0; i < n; ++i) FPositionToIndex[i] = Reversed ? n - 1 - i : i;
    RecalcColumnLefts(true);
}

void TLazyTreeColumns::SyncPositionArrayLength() {
    const int n = Count();
    const int old = FPositionToIndex.size();
    if (old == n) return;
    FPositionToIndex.resize(n);
    if (n > old) {
        for (int p = old; p < n; ++p) FPositionToIndex[p] = p;
        return;
    }
    bool changed = true;
    while (changed) {
        changed = false;
        for (TColumnIndex& v : FPositionToIndex)
            if (v >= n) {
                --v;
                changed = true;
            }
    }
}

void TLazyTreeColumns::MovePosition(TLazyTreeColumn* Column, TColumnPosition NewPosition) {
    const int Old = int(Column->FPosition), New = int(NewPosition);
    if (Old == New || Old >= FPositionToIndex.size() || New >= FPositionToIndex.size()) return;
    if (Old < New)
        for (int p = Old; p < New; ++p) FPositionToIndex[p] = FPositionToIndex[p + 1];
    else
        for (int p = Old; p > New; --p) FPositionToIndex[p] = FPositionToIndex[p - 1];
    FPositionToIndex[New] = Column->Index();
}

void TLazyTreeColumns::RemoveIndexFromPositions(TColumnIndex Index) {
    const int at = FPositionToIndex.indexOf(Index);
    if (at >= 0) FPositionToIndex.remove(at);
    for (TColumnIndex& v : FPositionToIndex)
        if (v > Index) --v;
}

TColumnIndex TLazyTreeColumns::ColumnFromPosition(TColumnPosition PositionIndex) const {
    if (PositionIndex >= TColumnPosition(FPositionToIndex.size())) return NoColumn;
    return FPositionToIndex[int(PositionIndex)];
}

TColumnIndex TLazyTreeColumns::ColumnFromPosition(TPoint P, bool Relative) const {
    TBaseLazyTree* tree = Tree();
    if (P.X < 0 || P.Y < 0 || (tree && P.Y > tree->Height())) return InvalidColumn;
    int start = 0;
    if (Relative && tree && P.X >= GetVisibleFixedWidth()) start = -tree->EffectiveOffsetX();
    if (tree && tree->UseRightToLeftAlignment()) start += tree->RightToLeftColumnShift(true);
    for (TColumnIndex i : FPositionToIndex) {
        if (!IsValidColumn(i)) continue;
        TLazyTreeColumn* c = Items(i);
        if (!c->FOptions.Contains(coVisible)) continue;
        start += c->FWidth;
        if (P.X < start) return i;
    }
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::ColumnBoundsAt(TPoint P, int& ALeft, bool Relative, int& ARight) const {
    TBaseLazyTree* tree = Tree();
    ALeft = (Relative && tree && P.X >= GetVisibleFixedWidth()) ? -tree->EffectiveOffsetX() : 0;
    if (tree && tree->UseRightToLeftAlignment()) ALeft += tree->RightToLeftColumnShift(true);
    ARight = ALeft;
    for (TColumnIndex i : FPositionToIndex) {
        if (!IsValidColumn(i)) continue;
        TLazyTreeColumn* c = Items(i);
        if (!c->FOptions.Contains(coVisible)) continue;
        ARight = ALeft + c->FWidth;
        if (P.X < ARight) return i;
        ALeft = ARight;
    }
    return InvalidColumn;
}

void TLazyTreeColumns::GetColumnBounds(TColumnIndex Column, int& ALeft, int& ARight) const {
    TBaseLazyTree* tree = Tree();
    if (Column < 0 || !IsValidColumn(Column)) {
        ALeft = 0;
        ARight = tree ? tree->ClientWidth() : 0;
        return;
    }
    ALeft = Items(Column)->Left();
    ARight = ALeft + Items(Column)->FWidth;
    if (tree && tree->UseRightToLeftAlignment()) {
        const int s = tree->RightToLeftColumnShift(true);
        ALeft += s;
        ARight += s;
    }
}

TColumnIndex TLazyTreeColumns::GetFirstColumn() const {
    return FPositionToIndex.isEmpty() ? InvalidColumn : FPositionToIndex.first();
}

TColumnIndex TLazyTreeColumns::GetNextColumn(TColumnIndex Column) const {
    if (!IsValidColumn(Column)) return InvalidColumn;
    const TColumnPosition p = Items(Column)->FPosition + 1;
    return p < TColumnPosition(FPositionToIndex.size()) ? FPositionToIndex[int(p)] : InvalidColumn;
}

TColumnIndex TLazyTreeColumns::GetPreviousColumn(TColumnIndex Column) const {
    if (!IsValidColumn(Column)) return InvalidColumn;
    const TColumnPosition p = Items(Column)->FPosition;
    return p > 0 && p <= TColumnPosition(FPositionToIndex.size()) ? FPositionToIndex[int(p) - 1] : InvalidColumn;
}

namespace {
bool Usable(const TLazyTreeColumn* c, bool ConsiderAllowFocus) {
    return c->Options().Contains(coVisible) && (!ConsiderAllowFocus || c->Options().Contains(coAllowFocus));
}
}  // namespace

TColumnIndex TLazyTreeColumns::GetFirstVisibleColumn(bool ConsiderAllowFocus) const {
    for (TColumnIndex i : FPositionToIndex)
        if (IsValidColumn(i) && Usable(Items(i), ConsiderAllowFocus)) return i;
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::GetLastVisibleColumn(bool ConsiderAllowFocus) const {
    for (int p = FPositionToIndex.size() - 1; p >= 0; --p) {
        const TColumnIndex i = FPositionToIndex[p];
        if (IsValidColumn(i) && Usable(Items(i), ConsiderAllowFocus)) return i;
    }
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus) const {
    if (Column < 0) return InvalidColumn;
    for (TColumnIndex c = GetNextColumn(Column); c >= 0; c = GetNextColumn(c))
        if (Usable(Items(c), ConsiderAllowFocus)) return c;
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::GetPreviousVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus) const {
    if (Column < 0) return InvalidColumn;
    for (TColumnIndex c = GetPreviousColumn(Column); c >= 0; c = GetPreviousColumn(c))
        if (Usable(Items(c), ConsiderAllowFocus)) return c;
    return InvalidColumn;
}

TColumnsArray TLazyTreeColumns::GetVisibleColumns() const {
    TColumnsArray out;
    for (TColumnIndex i : FPositionToIndex)
        if (IsValidColumn(i) && Items(i)->FOptions.Contains(coVisible)) out.append(Items(i));
    return out;
}

int TLazyTreeColumns::GetVisibleFixedWidth() const {
    int sum = 0;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->FOptions.ContainsAll({coVisible, coFixed})) sum += Items(i)->FWidth;
    return sum;
}

int TLazyTreeColumns::GetScrollWidth() const {
    int n = 0;
    int64_t sum = 0;
    for (int i = 0; i < Count(); ++i) {
        const TLazyTreeColumn* c = Items(i);
        if (c->FOptions.Contains(coVisible) && !c->FOptions.Contains(coFixed)) {
            ++n;
            sum += c->FWidth;
        }
    }
    if (n == 0) {
        TBaseLazyTree* tree = Tree();
        return tree ? int(tree->Indent()) : 0;
    }
    return int(Round(double(sum) / n));
}

int TLazyTreeColumns::TotalWidth() const {
    for (int p = FPositionToIndex.size() - 1; p >= 0; --p) {
        const TColumnIndex i = FPositionToIndex[p];
        if (!IsValidColumn(i)) continue;
        const TLazyTreeColumn* c = Items(i);
        if (c->FOptions.Contains(coVisible)) return c->FLeft + c->FWidth;
    }
    return 0;
}

void TLazyTreeColumns::FitAutoSizeColumn(TColumnIndex, bool Force) {
    if (Count() == 0) return;
    TColumnIndex index = FHeader->FAutoSizeIndex;
    if (!IsValidColumn(index)) index = Count() - 1;
    if (index < 0) return;
    TBaseLazyTree* tree = Tree();
    int available = tree ? (tree->HandleAllocated() ? tree->ClientWidth() : tree->Width()) : 0;
    for (int i = 0; i < Count(); ++i)
        if (i != index && Items(i)->FOptions.Contains(coVisible)) available -= Items(i)->FWidth;
    TLazyTreeColumn* c = Items(index);
    int w = std::min(available, c->FMaxWidth);
    w = std::max(w, c->FMinWidth);
    if (!Force && w == c->FWidth) return;
    c->FWidth = w;
    RecalcColumnLefts(false);
    if (tree && !tree->IsLoading() && tree->UpdateCount() == 0) tree->FireColumnResize(index);
}

void TLazyTreeColumns::AnimatedResize(TColumnIndex Column, int NewWidth) {
    if (!IsValidColumn(Column)) return;
    TLazyTreeColumn* c = Items(Column);
    NewWidth = std::min(std::max(NewWidth, c->FMinWidth), c->FMaxWidth);
    if (NewWidth == c->FWidth) return;
    c->SetWidth(NewWidth);
}

void TLazyTreeColumns::Assign(const TPersistent* Source) {
    TCollection::Assign(Source);
    if (const auto* src = dynamic_cast<const TLazyTreeColumns*>(Source)) {
        FPositionToIndex = src->FPositionToIndex;
        FNeedPositionsFix = false;
        RecalcColumnLefts(true);
    }
}

bool TLazyTreeColumns::Equals(const TLazyTreeColumns* O) const {
    if (!O || O->Count() != Count() || O->FPositionToIndex != FPositionToIndex) return false;
    for (int i = 0; i < Count(); ++i)
        if (!Items(i)->Equals(O->Items(i))) return false;
    return true;
}

// ---------------------------------------------------------------------------
// TLTFixedAreaConstraints
// ---------------------------------------------------------------------------

void TLTFixedAreaConstraints::Change() {
    if (OnChange) OnChange(this);
}

namespace {
uint8_t Percent(int v) { return uint8_t(std::clamp(v, 0, 100)); }
}  // namespace

void TLTFixedAreaConstraints::SetMaxHeightPercent(int V) {
    if (Percent(V) == FMaxHeightPercent) return;
    FMaxHeightPercent = Percent(V);
    if (FMaxHeightPercent > 0 && FMinHeightPercent > FMaxHeightPercent) FMinHeightPercent = FMaxHeightPercent;
    Change();
}

void TLTFixedAreaConstraints::SetMaxWidthPercent(int V) {
    if (Percent(V) == FMaxWidthPercent) return;
    FMaxWidthPercent = Percent(V);
    if (FMaxWidthPercent > 0 && FMinWidthPercent > FMaxWidthPercent) FMinWidthPercent = FMaxWidthPercent;
    Change();
}

void TLTFixedAreaConstraints::SetMinHeightPercent(int V) {
    if (Percent(V) == FMinHeightPercent) return;
    FMinHeightPercent = Percent(V);
    if (FMaxHeightPercent > 0 && FMaxHeightPercent < FMinHeightPercent) FMaxHeightPercent = FMinHeightPercent;
    Change();
}

void TLTFixedAreaConstraints::SetMinWidthPercent(int V) {
    if (Percent(V) == FMinWidthPercent) return;
    FMinWidthPercent = Percent(V);
    if (FMaxWidthPercent > 0 && FMaxWidthPercent < FMinWidthPercent) FMaxWidthPercent = FMinWidthPercent;
    Change();
}

void TLTFixedAreaConstraints::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TLTFixedAreaConstraints*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FMaxHeightPercent = src->FMaxHeightPercent;
    FMaxWidthPercent = src->FMaxWidthPercent;
    FMinHeightPercent = src->FMinHeightPercent;
    FMinWidthPercent = src->FMinWidthPercent;
    Change();
}

// ---------------------------------------------------------------------------
// TLTHeader
// ---------------------------------------------------------------------------

TLTHeader::TLTHeader(TBaseLazyTree* AOwner) : FOwner(AOwner) {
    FColumns = ColumnsClass();
    FFont.OnChange = [this](TGraphicsObject*) { HeaderFontChanged(); };
    FFixedAreaConstraints = std::make_unique<TLTFixedAreaConstraints>(this);
    FFixedAreaConstraints->OnChange = [this](TObject*) { ConstraintsChanged(); };
}

TLTHeader::~TLTHeader() {
    FFont.OnChange = nullptr;
    EndDragImage();
    if (FColumns) {
        // Nobody is told: the tree is going or has let go of its header.
        FColumns->FClearing = true;
        FColumns->FFreeing = true;
        FColumns->Clear();
    }
}

TPersistent* TLTHeader::GetOwner() const { return FOwner; }

std::unique_ptr<TLazyTreeColumns> TLTHeader::ColumnsClass() { return std::make_unique<TLazyTreeColumns>(this); }

bool TLTHeader::AllowFocus(TColumnIndex ColumnIndex) const {
    return FColumns->IsValidColumn(ColumnIndex) && FColumns->Items(ColumnIndex)->Options().Contains(coAllowFocus);
}

void TLTHeader::SetAutoSizeIndex(TColumnIndex V) {
    if (V == FAutoSizeIndex) return;
    FAutoSizeIndex = V;
    if (FOptions.Contains(hoAutoResize)) FColumns->FitAutoSizeColumn(InvalidColumn, false);
}

void TLTHeader::SetBackground(TColor V) {
    if (V == FBackgroundColor) return;
    FBackgroundColor = V;
    Invalidate(nullptr);
}

void TLTHeader::SetDefaultHeight(int V) {
    V = std::max(V, FMinHeight);
    V = std::min(V, FMaxHeight);
    if (FHeight == FDefaultHeight) SetHeight(V);
    FDefaultHeight = V;
}

void TLTHeader::SetFont(const TFont& V) {
    FFont.Assign(V);
    FParentFont = false;
}

bool TLTHeader::ApplyHeight(int V) {
    TBaseLazyTree* tree = FOwner;
    if (!tree || !tree->HandleAllocated()) {
        FHeight = V;
        FStates.Include(hsNeedScaling);
        return true;
    }
    const int T = tree->ClientHeight() + FHeight;
    const TLTFixedAreaConstraints* F = FFixedAreaConstraints.get();
    const int hMax = T * F->MaxHeightPercent() / 100;
    const int hMin = T * F->MinHeightPercent() / 100;
    int lower = FMinHeight;
    if (F->MaxHeightPercent() > 0) lower = std::min(lower, hMax);
    int upper = FMaxHeight;
    if (F->MinHeightPercent() > 0) upper = std::max(upper, hMin);
    V = std::min(std::max(V, lower), upper);
    if (F->MinHeightPercent() > 0) V = std::max(V, hMin);
    if (F->MaxHeightPercent() > 0) V = std::min(V, hMax);
    if (V == FHeight) return false;
    FHeight = V;
    if (!tree->IsLoading() && !FStates.Contains(hsScaling)) RefreshHeaderFrame();
    tree->InvalidateTree();
    UpdateWindow(tree);
    return true;
}

void TLTHeader::SetHeight(int V) { ApplyHeight(V); }

void TLTHeader::SetImages(TCustomImageList* V) {
    if (V == FImages) return;
    FImages = V;
    if (FOwner && !FOwner->IsLoading()) Invalidate(nullptr);
}

void TLTHeader::SetMainColumn(TColumnIndex V) {
    if (FOwner && FOwner->IsLoading()) {
        FMainColumn = V;
        return;
    }
    if (V < 0) V = 0;
    if (V > FColumns->Count() - 1) V = FColumns->Count() - 1;
    if (V == FMainColumn) return;
    FMainColumn = V;
    if (FOwner) {
        FOwner->AfterMainColumnChange();
        if (!FOwner->TreeOptions()->SelectionOptions().Contains(toExtendedFocus))
            FOwner->SetFocusedColumn(MainColumn());
        FOwner->InvalidateTree();
    }
}

void TLTHeader::SetMaxHeight(int V) {
    FMaxHeight = std::max(V, FMinHeight);
    SetHeight(FHeight);
}

void TLTHeader::SetMinHeight(int V) {
    if (V < 0) V = 0;
    FMinHeight = std::min(V, FMaxHeight);
    SetHeight(FHeight);
}

void TLTHeader::SetOptions(TLTHeaderOptions V) {
    const TLTHeaderOptions added = V - FOptions, removed = FOptions - V;
    FOptions = V;
    TBaseLazyTree* tree = FOwner;
    if ((added + removed).Contains(hoAutoResize) && FColumns->Count() > 0) {
        FColumns->FitAutoSizeColumn(InvalidColumn, false);
        if (tree && tree->HandleAllocated()) {
            tree->UpdateHorizontalScrollBar(false);
            if (added.Contains(hoAutoResize)) tree->InvalidateTree();
        }
    }
    if (tree && !tree->IsLoading() && tree->HandleAllocated()) {
        if ((added + removed).Contains(hoVisible)) RefreshHeaderFrame();
        Invalidate(nullptr);
        tree->InvalidateTree();
    }
}

void TLTHeader::SetParentFont(bool V) {
    if (V == FParentFont) return;
    FParentFont = V;
    if (V && FOwner) FFont.Assign(*FOwner->Font());
}

void TLTHeader::SetSortColumn(TColumnIndex V) {
    if (FOwner && FOwner->IsLoading()) FSortColumn = V;
    else ApplySortColumn(V);
}

void TLTHeader::ApplySortColumn(TColumnIndex Value) {
    if (Value < NoColumn) Value = NoColumn;
    if (Value > FColumns->Count() - 1) Value = FColumns->Count() - 1;
    if (Value == FSortColumn) return;
    if (FSortColumn >= 0 && FColumns->IsValidColumn(FSortColumn)) Invalidate(FColumns->Items(FSortColumn));
    FSortColumn = Value;
    if (FSortColumn >= 0) Invalidate(FColumns->Items(FSortColumn));
    if (FOwner && (FOwner->TreeOptions()->AutoOptions().Contains(toAutoSort) ||
                   FOptions.Contains(hoHeaderClickAutoSort)) &&
        FOwner->UpdateCount() == 0 && FOwner->AutoSortActive())
        FOwner->SortTree(SortColumn(), SortDirection(), true);
}

void TLTHeader::SetSortDirection(TSortDirection V) {
    if (V == FSortDirection) return;
    FSortDirection = V;
    Invalidate(nullptr);
    if (FOwner && (FOwner->TreeOptions()->AutoOptions().Contains(toAutoSort) ||
                   FOptions.Contains(hoHeaderClickAutoSort)) &&
        FOwner->UpdateCount() == 0 && FOwner->AutoSortActive())
        FOwner->SortTree(SortColumn(), SortDirection(), true);
}

void TLTHeader::SetStyle(TLTHeaderStyle V) {
    if (V == FStyle) return;
    FStyle = V;
    if (FOwner && !FOwner->IsLoading()) Invalidate(nullptr);
}

void TLTHeader::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TLTHeader*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    SetAutoSizeIndex(src->FAutoSizeIndex);
    SetBackground(src->FBackgroundColor);
    SetColumns(src->Columns());
    SetFont(src->FFont);
    FFixedAreaConstraints->Assign(src->FFixedAreaConstraints.get());
    SetHeight(src->FHeight);
    SetImages(src->FImages);
    SetMainColumn(src->MainColumn());
    SetOptions(src->FOptions);
    SetParentFont(src->FParentFont);
    PopupMenu = src->PopupMenu;
    SetSortColumn(src->FSortColumn);
    SetSortDirection(src->FSortDirection);
    SetStyle(src->FStyle);
    ReapplyHeaderLimits();
}

bool TLTHeader::InHeader(TPoint P) const {
    if (!FOwner) return false;
    // The header rectangle is kept in window coordinates: move it to the
    // client's, where the header lies above y = 0.
    TRect r = FOwner->HeaderRect();
    const TRect in = FOwner->NCInsets();
    OffsetRect(r, -in.Left, -in.Top);
    return r.Contains(P);
}

bool TLTHeader::InHeaderSplitterArea(TPoint P) const {
    if (!FOwner || P.Y < -2 || P.Y > 2 || !FOptions.Contains(hoVisible)) return false;
    TRect r = FOwner->HeaderRect();
    r.Bottom += 2;
    const TRect in = FOwner->NCInsets();
    OffsetRect(r, -in.Left, -in.Top);
    return r.Contains(P);
}

void TLTHeader::Invalidate(TLazyTreeColumn* Column, bool ExpandToBorder) {
    TBaseLazyTree* tree = FOwner;
    if (!FOptions.Contains(hoVisible) || !tree || !tree->HandleAllocated()) return;
    TRect R;
    const TRect header = tree->HeaderRect();
    if (Column) {
        Column->GetRect(R);
        if (!Column->Options().Contains(coFixed)) OffsetRect(R, -tree->EffectiveOffsetX(), 0);
        if (tree->UseRightToLeftAlignment()) OffsetRect(R, tree->RightToLeftColumnShift(false), 0);
        if (ExpandToBorder) {
            if (FOptions.Contains(hoFullRepaintOnResize)) {
                R.Left = header.Left;
                R.Right = header.Right;
            } else if (tree->UseRightToLeftAlignment()) {
                R.Left = header.Left;
            } else {
                R.Right = header.Right;
            }
        }
    } else {
        R = header;
    }
    const TRect in = tree->NCInsets();
    OffsetRect(R, -in.Left, -in.Top);
    tree->InvalidateHeaderArea(R);
}

void TLTHeader::ScaleHeader(int M, int D) {
    const bool was = FStates.Contains(hsScaling);
    FStates.Include(hsScaling);
    SetHeight(MulDiv(FHeight, M, D));
    if (!FParentFont) FFont.SetSize(MulDiv(FFont.Size(), M, D));
    for (int i = 0; i < FColumns->Count(); ++i) {
        TLazyTreeColumn* c = FColumns->Items(i);
        c->SetWidth(MulDiv(c->Width(), M, D));
    }
    if (!was) FStates.Exclude(hsScaling);
}

void TLTHeader::RefreshHeaderFrame() {
    if (!FOwner || !FOwner->HandleAllocated()) return;
    FOwner->RecalcHeaderRect();
    // The non-client area is asked again (the window's frame changed).
    FOwner->RecalcNCArea();
}

void TLTHeader::ReapplyHeaderLimits() {
    TBaseLazyTree* tree = FOwner;
    if (!tree || tree->IsLoading() || tree->IsDestroying() || FStates.Contains(hsLoading) ||
        !tree->HandleAllocated())
        return;
    FStates.Include(hsScaling);
    try {
        ApplyHeight(FHeight);
        RefreshHeaderFrame();
        const TLTFixedAreaConstraints* F = FFixedAreaConstraints.get();
        if (F->MinWidthPercent() != 0 || F->MaxWidthPercent() != 0) {
            for (int i = 0; i < FColumns->Count(); ++i) {
                TLazyTreeColumn* c = FColumns->Items(i);
                if (c->Options().ContainsAll({coVisible, coFixed}) && c->FWidth < c->FMinWidth) c->FWidth = c->FMinWidth;
            }
            const int fixed = FColumns->GetVisibleFixedWidth();
            const int lMin = tree->ClientWidth() * F->MinWidthPercent() / 100;
            const int lMax = tree->ClientWidth() * F->MaxWidthPercent() / 100;
            if (F->MaxWidthPercent() > 0 && fixed > lMax)
                ResizeColumns(lMax - fixed, 0, FColumns->Count() - 1, {coVisible, coFixed});
            else if (F->MinWidthPercent() > 0 && fixed < lMin)
                ResizeColumns(lMin - fixed, 0, FColumns->Count() - 1, {coVisible, coFixed});
            FColumns->RecalcColumnLefts(false);
        }
    } catch (...) {
        FStates.Exclude(hsScaling);
        FStates.Exclude(hsNeedScaling);
        throw;
    }
    FStates.Exclude(hsScaling);
    FStates.Exclude(hsNeedScaling);
}

void TLTHeader::DistributeSpringWidth() {
    if (!FOptions.Contains(hoAutoSpring) || FLastWidth == 0 || !FOwner) {
        if (FOwner) FLastWidth = FOwner->HeaderRect().Width();
        return;
    }
    const int width = FOwner->HeaderRect().Width();
    const float D = float(width - FLastWidth);
    if (D != 0) {
        const int sign = D >= 0 ? 1 : -1;
        int N = 0;
        for (int i = 0; i < FColumns->Count(); ++i)
            if (FColumns->Items(i)->Options().ContainsAll({coAutoSpring, coVisible})) ++N;
        if (N > 0) {
            const float part = std::fabs(D) / float(N);
            float rest = std::fabs(D);
            for (int i = 0; i < FColumns->Count(); ++i) {
                TLazyTreeColumn* c = FColumns->Items(i);
                if (!c->Options().ContainsAll({coAutoSpring, coVisible})) continue;
                const float r = c->SpringRest + part;
                if (r >= 1) c->SetWidth(c->FWidth + sign * int(std::trunc(r)));
                c->SpringRest = r - std::trunc(r);
                rest -= part;
                if (rest < 0) break;
            }
        }
    }
    FLastWidth = width;
}

void TLTHeader::ClampMainColumn() {
    if (FMainColumn < 0) FMainColumn = 0;
    if (FMainColumn > FColumns->Count() - 1) FMainColumn = FColumns->Count() - 1;
}

void TLTHeader::HeaderFontChanged() {
    if (FOwner && FOwner->TreeOptions()->AutoOptions().Contains(toAutoChangeScale)) {
        int S = 0;
        for (int i = 0; i < FColumns->Count(); ++i) S = std::max(S, FColumns->Items(i)->Spacing());
        TBitmap b;
        b.Canvas()->Font().Assign(FFont);
        const int H = b.Canvas()->TextHeight(QStringLiteral("Q")) + S + S / 2;
        if (H > FHeight) SetHeight(H);
    }
    Invalidate(nullptr);
}

void TLTHeader::ImagesChanged() {
    if (FOwner && !FOwner->IsDestroying()) Invalidate(nullptr);
}

void TLTHeader::ConstraintsChanged() {
    if (FOwner && FOwner->HandleAllocated()) ReapplyHeaderLimits();
    else FStates.Include(hsNeedScaling);
}
