// Changing several column widths at once: auto-fit to the widest content,
// spreading a change of width fairly over a range of columns, and going back
// to the previous widths.
#include "treeview/LazyTrees.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {
// Closes an operation of the tree however the work ends.
struct TOperationScope {
    TBaseLazyTree* Tree;
    TLTOperationKind Kind;
    TOperationScope(TBaseLazyTree* ATree, TLTOperationKind AKind) : Tree(ATree), Kind(AKind) {
        if (Tree) Tree->OpenOperation(Kind);
    }
    ~TOperationScope() {
        if (Tree) Tree->CloseOperation(Kind);
    }
    TOperationScope(const TOperationScope&) = delete;
    TOperationScope& operator=(const TOperationScope&) = delete;
};
}  // namespace

// ---------------------------------------------------------------------------
// Auto-fit
// ---------------------------------------------------------------------------

bool TLTHeader::FireBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType SmartAutoFitType) {
    bool allowed = true;
    if (FOwner && FOwner->OnBeforeAutoFitColumn) FOwner->OnBeforeAutoFitColumn(this, Column, SmartAutoFitType, allowed);
    return allowed;
}

void TLTHeader::FireAfterAutoFitColumn(TColumnIndex Column) {
    if (FOwner && FOwner->OnAfterAutoFitColumn) FOwner->OnAfterAutoFitColumn(this, Column);
}

void TLTHeader::AutoFitColumns(bool Animated, TSmartAutoFitType SmartAutoFitType, int RangeStartCol,
                               int RangeEndCol) {
    const int last = FColumns->Count() - 1;
    if (RangeStartCol < 0) RangeStartCol = 0;
    if (RangeEndCol < 0 || RangeEndCol > last) RangeEndCol = last;
    if (RangeEndCol < RangeStartCol || !FOwner) return;
    TOperationScope operation(FOwner, okAutoFitColumns);
    if (FOwner->OnBeforeAutoFitColumns) FOwner->OnBeforeAutoFitColumns(this, SmartAutoFitType);
    for (int position = RangeStartCol; position <= RangeEndCol; ++position) {
        const TColumnIndex index = FColumns->ColumnFromPosition(TColumnPosition(position));
        if (!FColumns->IsValidColumn(index)) continue;
        TLazyTreeColumn* column = FColumns->Items(index);
        if (!column->Options().ContainsAll({coResizable, coVisible})) continue;
        if (!FireBeforeAutoFitColumn(index, SmartAutoFitType) || FOwner->OperationCanceled()) continue;
        bool smart = false;
        switch (SmartAutoFitType) {
        case smaAllColumns: smart = true; break;
        case smaNoColumn: smart = false; break;
        case smaUseColumnOption: smart = column->Options().Contains(coSmartResize); break;
        }
        const int width = FOwner->GetMaxColumnWidth(index, smart);
        if (Animated) FColumns->AnimatedResize(index, width);
        else column->SetWidth(width);
        FireAfterAutoFitColumn(index);
    }
    if (FOwner->OnAfterAutoFitColumns) FOwner->OnAfterAutoFitColumns(this);
}

int TBaseLazyTree::GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth) {
    if (OperationCanceled()) return IsValidColumn(Column) ? FHeader->Columns()->Items(Column)->Width() : 0;
    TOperationScope operation(this, okGetMaxColumnWidth);
    if (OnBeforeGetMaxColumnWidth) OnBeforeGetMaxColumnWidth(FHeader.get(), Column, UseSmartColumnWidth);

    const int stateOffset = FStateImages ? FStateImages->Width() + 2 : 0;
    auto* checks = CheckImages();
    const int checkOffset = checks ? checks->Width() + 2 : 0;

    PLazyNode node = nullptr, stop = nullptr;
    if (UseSmartColumnWidth) {
        node = TopNode();
        if (PLazyNode bottom = BottomNode()) stop = GetNextVisible(bottom, true);
    } else {
        node = GetFirstVisible(nullptr, true);
    }

    const bool mainColumn = Column == MainColumn();
    const bool fixedIndent = FOptions->PaintOptions().Contains(toFixedIndent);
    int indent = 0;
    bool withChecks = false;
    if (mainColumn) {
        if (fixedIndent) indent = int(FIndent);
        else if (node) {
            indent = int(FIndent) * int(GetNodeLevel(node));
            if (FOptions->PaintOptions().Contains(toShowRoot)) indent += int(FIndent);
        }
        withChecks = FOptions->MiscOptions().Contains(toCheckSupport) && checks;
    }
    indent += FMargin;

    int result = 0;
    bool imageSeen = false;
    while (node && node != stop && !OperationCanceled()) {
        int width = indent;
        if (withChecks && node->CheckType != ctNone) width += checkOffset;
        if (FImages) {
            // Once one node showed an image, every later one keeps its room.
            if (!imageSeen) imageSeen = NodeHasImage(node, ikNormal, Column);
            if (imageSeen) width += FImages->Width() + 2;
        }
        if (FStateImages && NodeHasImage(node, ikState, Column)) width += stateOffset;
        width += NodeWidth(node, Column, nullptr) + NodeExtraWidth(node, Column, nullptr) +
                 CellContentMargin(node, Column, ccmtAllSides).X;
        result = std::max(result, width);
        PLazyNode next = GetNextVisible(node, true);
        if (mainColumn && !fixedIndent && next)
            indent += (int(GetNodeLevel(next)) - int(GetNodeLevel(node))) * int(FIndent);
        node = next;
    }
    if (FOptions->PaintOptions().Contains(toShowVertGridLines)) ++result;
    if (OnAfterGetMaxColumnWidth) OnAfterGetMaxColumnWidth(FHeader.get(), Column, result);
    return result;
}

// ---------------------------------------------------------------------------
// Width distribution
// ---------------------------------------------------------------------------

int TLTHeader::ResizeColumns(int ChangeBy, TColumnIndex RangeStartCol, TColumnIndex RangeEndCol,
                             TLTColumnOptions Options) {
    if (ChangeBy == 0) return 0;
    RangeStartCol = std::max(RangeStartCol, 0);
    RangeEndCol = std::min(RangeEndCol, FColumns->Count() - 1);
    if (RangeEndCol < RangeStartCol) return 0;
    const bool growing = ChangeBy > 0;
    const int sign = growing ? 1 : -1;
    const int first = RangeStartCol;
    const int n = RangeEndCol - RangeStartCol + 1;
    std::vector<int> widths(n), limits(n);
    std::vector<bool> takes(n);
    for (int i = 0; i < n; ++i) {
        TLazyTreeColumn* c = FColumns->Items(first + i);
        widths[i] = c->FWidth;
        limits[i] = growing ? c->FMaxWidth : c->FMinWidth;
        takes[i] = c->FOptions.ContainsAll(Options);
    }
    auto room = [&](int i) { return growing ? limits[i] - widths[i] : widths[i] - limits[i]; };
    auto changeable = [&](int i) { return takes[i] && room(i) > 0; };
    // Moves column i by up to Amount pixels towards its limit; the pixels moved.
    auto move = [&](int i, int amount) {
        const int d = std::min(amount, room(i));
        widths[i] += sign * d;
        return d;
    };

    const int startAt = (growing ? RangeStartCol : RangeEndCol) - first;
    int rest = std::abs(ChangeBy);
    while (rest > 0) {
        int count = 0, total = 0;
        for (int i = 0; i < n; ++i)
            if (changeable(i)) {
                ++count;
                total += room(i);
            }
        // Rescaling may not fit the fixed area into its limits: the widest
        // column's working limit comes down a tenth at a time (never below 10).
        if (total < std::abs(ChangeBy) && !growing && FStates.Contains(hsScaling)) {
            int candidate = -1;
            for (int i = 0; i < n; ++i) {
                if (!takes[i]) continue;
                const int against = candidate < 0 ? 0 : widths[candidate];
                if (FColumns->Items(first + i)->FWidth > against) candidate = i;
            }
            if (candidate >= 0 && limits[candidate] > 10) {
                limits[candidate] -= limits[candidate] / 10;
                continue;
            }
        }
        if (count == 0) break;
        rest = std::min(rest, total);
        const int each = rest / count;
        int extra = rest % count;
        if (each > 0)
            for (int i = 0; i < n; ++i)
                if (changeable(i)) rest -= move(i, each);
        // The pixels that do not divide go one at a time, to the columns
        // that had none the last time, walking away from the start.
        int idleRounds = 0;
        while (extra > 0 && idleRounds < 2) {
            bool gave = false;
            for (int i = startAt; i >= 0 && i < n && extra > 0; i += sign) {
                TLazyTreeColumn* c = FColumns->Items(first + i);
                if (!changeable(i) || c->BonusPixel == growing) continue;
                const int d = move(i, 1);
                extra -= d;
                rest -= d;
                c->BonusPixel = growing;
                gave = gave || d > 0;
            }
            if (extra > 0) {
                for (int i = 0; i < n; ++i)
                    if (takes[i]) FColumns->Items(first + i)->BonusPixel = !FColumns->Items(first + i)->BonusPixel;
            }
            idleRounds = gave ? 0 : idleRounds + 1;
        }
    }

    int result = 0;
    FStates.Include(hsResizing);
    try {
        for (int i = 0; i < n; ++i) {
            if (!takes[i]) continue;
            TLazyTreeColumn* c = FColumns->Items(first + i);
            result += widths[i] - c->FWidth;
            c->SetWidth(widths[i]);
        }
    } catch (...) {
        FStates.Exclude(hsResizing);
        throw;
    }
    FStates.Exclude(hsResizing);
    return result;
}

void TLTHeader::RestoreColumns() {
    for (int position = FColumns->Count() - 1; position >= 0; --position) {
        const TColumnIndex index = FColumns->ColumnFromPosition(TColumnPosition(position));
        if (!FColumns->IsValidColumn(index)) continue;
        TLazyTreeColumn* c = FColumns->Items(index);
        if (c->Options().ContainsAll({coResizable, coVisible})) c->RestoreLastWidth();
    }
}

void TBaseLazyTree::FireColumnVisibilityChanged(TColumnIndex Column, bool Visible) {
    if (OnColumnVisibilityChanged) OnColumnVisibilityChanged(this, Column, Visible);
}
