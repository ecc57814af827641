// The lazy tree: which node, column and part of a row lie under a point, the
// hot node that follows the mouse, and the mouse cursor.
#include "treeview/LazyTrees.h"

#include <algorithm>

namespace {

TAlignment Mirrored(TAlignment a) {
    if (a == taLeftJustify) return taRightJustify;
    if (a == taRightJustify) return taLeftJustify;
    return a;
}

}  // namespace

// ---------------------------------------------------------------------------
// Images
// ---------------------------------------------------------------------------

TCustomImageList* TBaseLazyTree::FireGetImageIndex(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column,
                                                   bool& Ghosted, int& Index) {
    if (OnGetImageIndexEx) {
        TCustomImageList* list = Kind == ikState ? FStateImages : FImages;
        OnGetImageIndexEx(this, Node == FRoot ? nullptr : Node, Kind, Column, Ghosted, Index, list);
        return list;
    }
    if (OnGetImageIndex) OnGetImageIndex(this, Node == FRoot ? nullptr : Node, Kind, Column, Ghosted, Index);
    return nullptr;
}

TPoint TBaseLazyTree::NodeImageSize(PLazyNode) {
    if (!FImages) return TPoint(0, 0);
    return TPoint(FImages->Width(), FImages->Height());
}

bool TBaseLazyTree::NodeHasImage(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column) {
    if (!Node || Node == FRoot) return false;
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    bool ghosted = false;
    int index = -1;
    FireGetImageIndex(Node, Kind, Column, ghosted, index);
    return index >= 0;
}

// ---------------------------------------------------------------------------
// Cells, splitters
// ---------------------------------------------------------------------------

bool TBaseLazyTree::FireGetCellIsEmpty(PLazyNode Node, TColumnIndex Column) {
    bool isEmpty = true;
    if (OnGetCellIsEmpty) OnGetCellIsEmpty(this, Node == FRoot ? nullptr : Node, Column, isEmpty);
    return isEmpty;
}

bool TBaseLazyTree::FireCanSplitterResizeNode(TPoint P, PLazyNode Node, TColumnIndex Column) {
    bool allowed = true;
    if (OnCanSplitterResizeNode) OnCanSplitterResizeNode(this, P, Node, Column, allowed);
    return allowed;
}

bool TBaseLazyTree::SplitterMayResizeNode(TPoint P, PLazyNode Node, TColumnIndex Column) {
    bool result = FOptions->MiscOptions().Contains(toNodeHeightResize) && Node && Node != FRoot && Column >= 0 &&
                  IsValidColumn(Column) && FHeader->Columns()->Items(Column)->Options().Contains(coFixed);
    // The application may still refuse (or allow) it.
    if (OnCanSplitterResizeNode) {
        bool allowed = result;
        OnCanSplitterResizeNode(this, P, Node, Column, allowed);
        result = allowed;
    }
    return result;
}

int TBaseLazyTree::HitIndent(PLazyNode Node, TColumnIndex Column) const {
    if (Column != MainColumn()) return 0;
    const TLTPaintOptions paint = FOptions->PaintOptions();
    if (paint.Contains(toFixedIndent)) return int(FIndent);
    int levels = 0;
    for (PLazyNode run = Node->Parent; run && run != FRoot; run = run->Parent) ++levels;
    if (paint.Contains(toShowRoot)) ++levels;
    return levels * int(FIndent);
}

// ---------------------------------------------------------------------------
// The hit test
// ---------------------------------------------------------------------------

void TBaseLazyTree::GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo) {
    HitInfo.HitNode = nullptr;
    HitInfo.HitPositions = {};
    HitInfo.HitColumn = NoColumn;

    // Outside the content: only the side is told.
    const int64_t cw = ClientWidth(), ch = ClientHeight();
    if (X < 0) HitInfo.HitPositions.Include(hiToLeft);
    else if (int64_t(X) > std::max<int64_t>(cw, RangeX())) HitInfo.HitPositions.Include(hiToRight);
    if (Y < 0) HitInfo.HitPositions.Include(hiAbove);
    else if (int64_t(Y) > std::max<int64_t>(ch, RangeY())) HitInfo.HitPositions.Include(hiBelow);

    if (Relative) {
        // Fixed columns do not scroll horizontally.
        if (X >= FHeader->Columns()->GetVisibleFixedWidth()) X += FEffectiveOffsetX;
        Y -= FOffsetY;
    }
    HitInfo.HitPoint = TPoint(X, Y);
    if (!HitInfo.HitPositions.Empty()) return;

    int nodeTop = 0;
    HitInfo.HitNode = GetNodeAt(X, Y, false, nodeTop);
    if (!HitInfo.HitNode) {
        HitInfo.HitPositions.Include(hiNowhere);
        return;
    }
    if (!HitInfo.HitNode->States.Contains(vsInitialized)) InitializeNode(HitInfo.HitNode);

    int width = 0;
    if (HeaderUsesColumns()) {
        TLazyTreeColumns* columns = FHeader->Columns();
        int left = 0, right = 0;
        HitInfo.HitColumn = columns->ColumnBoundsAt(TPoint(X, Y), left, false, right);
        if (FOptions->AutoOptions().Contains(toAutoSpanColumns) && HitInfo.HitColumn >= 0) {
            // An empty cell belongs to the first filled cell left of it.
            const TColumnIndex firstHit = HitInfo.HitColumn;
            while (HitInfo.HitColumn >= 0 && FireGetCellIsEmpty(HitInfo.HitNode, HitInfo.HitColumn)) {
                const TColumnIndex prev = columns->GetPreviousVisibleColumn(HitInfo.HitColumn);
                if (prev < 0) break;
                HitInfo.HitColumn = prev;
                left -= columns->Items(prev)->Width();
            }
            for (TColumnIndex next = columns->GetNextVisibleColumn(firstHit);
                 next >= 0 && FireGetCellIsEmpty(HitInfo.HitNode, next); next = columns->GetNextVisibleColumn(next))
                right += columns->Items(next)->Width();
        }
        X -= left;
        width = right - left;
    } else {
        HitInfo.HitColumn = NoColumn;
        width = int(std::max<int64_t>(cw, RangeX()));
    }
    if (HitInfo.HitColumn == InvalidColumn) {
        HitInfo.HitPositions.Include(hiNowhere);
        return;
    }

    HitInfo.HitPositions = {hiOnItem};
    if (FOptions->MiscOptions().Contains(toNodeHeightResize)) {
        const TRect r = GetDisplayRect(HitInfo.HitNode, HitInfo.HitColumn, false);
        if (Y <= r.Top - FOffsetY + 1) HitInfo.HitPositions.Include(hiUpperSplitter);
        else if (Y >= r.Bottom - FOffsetY - 3) HitInfo.HitPositions.Include(hiLowerSplitter);
    }

    TBiDiMode bidi = FBiDiMode;
    TAlignment alignment = FAlignment;
    if (IsValidColumn(HitInfo.HitColumn)) {
        bidi = FHeader->Columns()->Items(HitInfo.HitColumn)->BiDiMode();
        alignment = FHeader->Columns()->Items(HitInfo.HitColumn)->Alignment();
    }
    if (bidi != bdLeftToRight) ClassifyHitRightToLeft(HitInfo, X, alignment, width);
    else ClassifyHitLeftToRight(HitInfo, X, alignment, width);
}

void TBaseLazyTree::ClassifyHitLeftToRight(THitInfo& HitInfo, int X, TAlignment Alignment, int Width) {
    PLazyNode node = HitInfo.HitNode;
    const TColumnIndex column = HitInfo.HitColumn;
    const bool main = column == MainColumn();
    const int indent = HitIndent(node, column);
    const bool hasButton =
        FOptions->PaintOptions().Contains(toShowButtons) && node->States.Contains(vsHasChildren);

    // The indent zone (the margin after it included) holds the button.
    if (main && X < indent + FMargin) {
        if (hasButton && X >= indent - int(FIndent)) {
            HitInfo.HitPositions.Include(hiOnItemButton);
            if (X >= indent - PlusButtonWidth()) HitInfo.HitPositions.Include(hiOnItemButtonExact);
        }
        return;
    }
    if (!main && FOptions->MiscOptions().Contains(toReportMode)) return;

    int c = indent + FMargin;
    if (main && FOptions->MiscOptions().Contains(toCheckSupport) && CheckImages() && node->CheckType != ctNone)
        c += CheckImages()->Width() + 2;
    if (main && X < c) {
        HitInfo.HitPositions = {hiOnItem};
        if (node->CheckType != ctNone) HitInfo.HitPositions.Include(hiOnItemCheckbox);
        return;
    }
    if (FStateImages && NodeHasImage(node, ikState, column)) c += FStateImages->Width() + 2;
    if (X < c) {
        HitInfo.HitPositions.Include(hiOnStateIcon);
        return;
    }
    if (FImages && NodeHasImage(node, ikNormal, column)) c += NodeImageSize(node).X + 2;
    if (X < c) {
        HitInfo.HitPositions.Include(hiOnNormalIcon);
        return;
    }
    const int t = NodeWidth(node, column, nullptr);
    if (Width - c < t) {
        HitInfo.HitPositions.Include(hiOnItemLabel);
        return;
    }
    switch (Alignment) {
    case taRightJustify:
        HitInfo.HitPositions.Include(X >= Width - t ? hiOnItemLabel : hiOnItemLeft);
        break;
    case taCenter: {
        const int g = (c + Width - t) / 2;
        if (X < g) HitInfo.HitPositions.Include(hiOnItemLeft);
        else if (X >= g + t) HitInfo.HitPositions.Include(hiOnItemRight);
        else HitInfo.HitPositions.Include(hiOnItemLabel);
        break;
    }
    default: HitInfo.HitPositions.Include(X >= c + t ? hiOnItemRight : hiOnItemLabel); break;
    }
}

void TBaseLazyTree::ClassifyHitRightToLeft(THitInfo& HitInfo, int X, TAlignment Alignment, int Width) {
    PLazyNode node = HitInfo.HitNode;
    const TColumnIndex column = HitInfo.HitColumn;
    const bool main = column == MainColumn();
    const int indent = HitIndent(node, column);
    const int a = Width - indent;
    if (X < a) {
        if (!main && FOptions->MiscOptions().Contains(toReportMode)) return;
        int r = a - FMargin;
        if (main && FOptions->MiscOptions().Contains(toCheckSupport) && CheckImages() && node->CheckType != ctNone)
            r -= CheckImages()->Width() + 2;
        if (main && r < X) {
            HitInfo.HitPositions = {hiOnItem};
            if (node->CheckType != ctNone) HitInfo.HitPositions.Include(hiOnItemCheckbox);
            return;
        }
        if (FStateImages && NodeHasImage(node, ikState, column)) r -= FStateImages->Width() + 2;
        if (r < X) {
            HitInfo.HitPositions.Include(hiOnStateIcon);
            return;
        }
        if (FImages && NodeHasImage(node, ikNormal, column)) r -= NodeImageSize(node).X + 2;
        if (r < X) {
            HitInfo.HitPositions.Include(hiOnNormalIcon);
            return;
        }
        const int t = NodeWidth(node, column, nullptr);
        if (r < t) {
            HitInfo.HitPositions.Include(hiOnItemLabel);
            return;
        }
        switch (Mirrored(Alignment)) {
        case taRightJustify:
            HitInfo.HitPositions.Include(X < r - t ? hiOnItemLeft : hiOnItemLabel);
            break;
        case taCenter: {
            const int h = (r - t) / 2;
            if (X < h) HitInfo.HitPositions.Include(hiOnItemLeft);
            else if (X < h + t) HitInfo.HitPositions.Include(hiOnItemLabel);
            else HitInfo.HitPositions.Include(hiOnItemRight);
            break;
        }
        default: HitInfo.HitPositions.Include(X > t ? hiOnItemRight : hiOnItemLabel); break;
        }
        return;
    }
    if (FOptions->PaintOptions().Contains(toShowButtons) && node->States.Contains(vsHasChildren)) {
        if (X <= a + int(FIndent)) HitInfo.HitPositions.Include(hiOnItemButton);
        if (X <= a + PlusButtonWidth()) HitInfo.HitPositions.Include(hiOnItemButtonExact);
    }
}

// ---------------------------------------------------------------------------
// Hot tracking
// ---------------------------------------------------------------------------

void TBaseLazyTree::FireHotChange(PLazyNode OldNode, PLazyNode NewNode) {
    if (OnHotChange) OnHotChange(this, OldNode, NewNode);
}

void TBaseLazyTree::TrackHotNode(int X, int Y) {
    const PLazyNode oldHot = FCurrentHotNode;
    THitInfo hit;
    GetHitTestInfoAt(X, Y, true, hit);
    const THitPositions pos = hit.HitPositions;
    const bool counts =
        pos.ContainsAny({hiOnItemLabel, hiOnItemCheckbox}) ||
        (FStates.Contains(tsUseExplorerTheme) && pos.Contains(hiOnItemButtonExact)) ||
        (FOptions->SelectionOptions().Contains(toFullRowSelect) && hit.HitNode && !pos.Contains(hiNowhere));
    const PLazyNode newHot = counts ? hit.HitNode : nullptr;

    bool repaint = false;
    if (newHot != FCurrentHotNode || hit.HitColumn != FCurrentHotColumn) {
        repaint = FOptions->PaintOptions().Contains(toHotTrack) || FOptions->MiscOptions().Contains(toCheckSupport);
        FireHotChange(FCurrentHotNode, newHot);
        if (repaint && FCurrentHotNode) InvalidateNode(FCurrentHotNode);
        FCurrentHotNode = newHot;
        FCurrentHotColumn = hit.HitColumn;
    }
    if (FCurrentHotNode) {
        const bool buttonHit = pos.Contains(hiOnItemButtonExact);
        if (buttonHit != FHotNodeButtonHit || repaint) {
            FHotNodeButtonHit = buttonHit;
            InvalidateNode(FCurrentHotNode);
        }
    } else {
        FHotNodeButtonHit = false;
    }
    if (oldHot != FCurrentHotNode && oldHot) InvalidateNode(oldHot);
}

// ---------------------------------------------------------------------------
// The cursor
// ---------------------------------------------------------------------------

void TBaseLazyTree::FireGetCursor(TCursor& Cursor) {
    if (OnGetCursor) OnGetCursor(this, Cursor);
}

void TBaseLazyTree::WMSetCursor(TMessage& M) {
    // While panning, the panning cursor is the one shown.
    if (FStates.ContainsAny({tsWheelPanning, tsWheelScrolling}) || LoWord(M.LParam) != HTCLIENT ||
        Screen()->Cursor() != crDefault) {
        TCustomControl::WMSetCursor(M);
        return;
    }
    TCursor cursor = Cursor();
    bool chosen = false;
    if (FOptions->MiscOptions().Contains(toNodeHeightResize)) {
        const TPoint p = ScreenToClient(GetCursorPos());
        THitInfo hit;
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        if (hit.HitPositions.Contains(hiOnItem) &&
            hit.HitPositions.ContainsAny({hiUpperSplitter, hiLowerSplitter})) {
            PLazyNode node = hit.HitPositions.Contains(hiUpperSplitter) ? GetPreviousVisible(hit.HitNode, true)
                                                                        : hit.HitNode;
            if (SplitterMayResizeNode(hit.HitPoint, node, hit.HitColumn)) {
                cursor = TCursor(62);  // the vertical split cursor made at process start
                chosen = true;
            }
        }
    }
    if (!chosen && FOptions->PaintOptions().Contains(toHotTrack) && FCurrentHotNode && HotCursor != crDefault)
        cursor = HotCursor;
    FireGetCursor(cursor);
    ::SetCursor(cursor == crDefault ? crArrow : cursor);
    M.Result = 1;
}

// ---------------------------------------------------------------------------
// Content width without columns
// ---------------------------------------------------------------------------

int TBaseLazyTree::MeasureContentExtent() {
    int result = 0;
    int top = 0;
    PLazyNode node = GetNodeAt(0, 0, true, top);
    if (!node) return FMargin;
    const TLTPaintOptions paint = FOptions->PaintOptions();
    int indent = int(GetNodeLevel(node)) * int(FIndent) + (paint.Contains(toShowRoot) ? int(FIndent) : 0);
    int bottom = top;
    PLazyNode last = node;
    while (node && bottom <= Height()) {
        if (!node->States.Contains(vsInitialized)) InitializeNode(node);
        indent += LevelDifference(last, node) * int(FIndent);
        last = node;
        int w = indent;
        if (FStateImages) w += FStateImages->Width() + 2;
        if (FImages) w += FImages->Width() + 2;
        if (FOptions->MiscOptions().Contains(toCheckSupport) && CheckImages() && node->CheckType != ctNone)
            w += CheckImages()->Width() + 2;
        w += NodeWidth(node, NoColumn, nullptr) + NodeExtraWidth(node, NoColumn, nullptr);
        result = std::max(result, w);
        bottom += int(GetNodeHeight(node));
        node = GetNextVisible(node, true);
    }
    return result + FMargin;
}
