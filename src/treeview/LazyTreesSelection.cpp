// The selection (an array of node handles sorted by address beside the node
// flag vsSelected) and the focused node and column.
#include "treeview/LazyTrees.h"

#include "platform/controls/Forms.h"

#include <algorithm>
#include <cstdint>

namespace {
uintptr_t Key(PLazyNode n) { return reinterpret_cast<uintptr_t>(n) & ~uintptr_t(1); }
bool Marked(PLazyNode n) { return (reinterpret_cast<uintptr_t>(n) & 1) != 0; }
PLazyNode Mark(PLazyNode n) { return reinterpret_cast<PLazyNode>(reinterpret_cast<uintptr_t>(n) | 1); }
const QString NilNode() { return QStringLiteral("Node must not be nil!"); }
}  // namespace

// ---------------------------------------------------------------------------
// Array helpers
// ---------------------------------------------------------------------------

void TBaseLazyTree::SortNodePointers(TNodeArray& Nodes, int Low, int High) {
    // Hoare partition on the addresses; recursion on the lower part only.
    while (Low < High) {
        int i = Low, j = High;
        const uintptr_t pivot = reinterpret_cast<uintptr_t>(Nodes[(Low + High) / 2]);
        do {
            while (reinterpret_cast<uintptr_t>(Nodes[i]) < pivot) ++i;
            while (reinterpret_cast<uintptr_t>(Nodes[j]) > pivot) --j;
            if (i <= j) {
                std::swap(Nodes[i], Nodes[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (Low < j) SortNodePointers(Nodes, Low, j);
        Low = i;
    }
}

int TBaseLazyTree::CompactSelection(int Count, TNodeArray& Nodes) {
    if (Count == 0) return -1;
    int n = 0;
    for (int i = 0; i < Count && i < Nodes.size(); ++i)
        if (!Marked(Nodes[i])) Nodes[n++] = Nodes[i];
    return n;
}

bool TBaseLazyTree::LocateInSelection(PLazyNode Node, int& Index, int LowBound, int HighBound) const {
    int low = LowBound < 0 ? 0 : LowBound;
    int high = HighBound < 0 ? int(FSelection.size()) - 1 : HighBound;
    const uintptr_t key = reinterpret_cast<uintptr_t>(Node);
    while (low <= high) {
        const int mid = (low + high) / 2;
        const uintptr_t k = Key(FSelection[mid]);
        if (k < key) low = mid + 1;
        else if (k > key) high = mid - 1;
        else {
            Index = mid;
            return !Marked(FSelection[mid]);
        }
    }
    Index = low;
    return false;
}

// ---------------------------------------------------------------------------
// Adding
// ---------------------------------------------------------------------------

void TBaseLazyTree::FireAddToSelection(PLazyNode Node) {
    if (OnAddToSelection) OnAddToSelection(this, Node);
}

bool TBaseLazyTree::MergeIntoSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert) {
    const int oldCount = FSelectionCount;
    const TLTSelectionOptions opts = FOptions->SelectionOptions();
    TNodeArray added;
    added.reserve(NewLength);
    if (!ForceInsert && NewLength > 0) {
        if (opts.Contains(toLevelSelectConstraint) && FLastSelectionLevel == -1)
            FLastSelectionLevel = int(GetNodeLevel(NewItems[0]));
        if (opts.Contains(toSiblingSelectConstraint) && !FRangeAnchor) FRangeAnchor = NewItems[0];
    }
    for (int i = 0; i < NewLength; ++i) {
        PLazyNode node = NewItems[i];
        if (!node) continue;
        if (!ForceInsert) {
            const bool reject =
                node->States.ContainsAny({vsDisabled, vsSelected}) ||
                (opts.Contains(toLevelSelectConstraint) && int(GetNodeLevel(node)) != FLastSelectionLevel) ||
                (opts.Contains(toSiblingSelectConstraint) && FRangeAnchor && node->Parent != FRangeAnchor->Parent);
            if (reject) continue;
        }
        node->States.Include(vsSelected);
        ++FSelectionCount;
        added.append(node);
        FireAddToSelection(node);
    }
    if (added.isEmpty()) return false;
    if (added.size() > 1) SortNodePointers(added, 0, int(added.size()) - 1);
    // Merge from the back: both sequences are in ascending address order.
    int i = int(FSelection.size()) - 1;
    int j = int(added.size()) - 1;
    FSelection.resize(FSelection.size() + added.size());
    for (int k = int(FSelection.size()) - 1; j >= 0; --k) {
        if (i >= 0 && Key(FSelection[i]) > reinterpret_cast<uintptr_t>(added[j])) FSelection[k] = FSelection[i--];
        else FSelection[k] = added[j--];
    }
    LTAssert(FSelectionCount == oldCount + int(added.size()), QStringLiteral("Fatal problem while merging the selection."));
    return true;
}

void TBaseLazyTree::IncludeOne(PLazyNode Node, bool ForceInsert) {
    LTAssert(Node != nullptr, NilNode());
    FSingletonNodeArray[0] = Node;
    MergeIntoSelection(FSingletonNodeArray, 1, ForceInsert);
}

void TBaseLazyTree::AddToSelection(PLazyNode Node) {
    if (SelectionLocked) return;
    LTAssert(Node != nullptr, NilNode());
    FSingletonNodeArray[0] = Node;
    if (!MergeIntoSelection(FSingletonNodeArray, 1, false)) return;
    if (FSelectionCount == 1) SetFocusedNode(Node);
    InvalidateNode(Node);
    RequestChange(Node);
}

void TBaseLazyTree::IncludeNodesInSelection(TNodeArray& Nodes, int Count, bool ForceInsert) {
    if (!MergeIntoSelection(Nodes, Count, ForceInsert)) return;
    if (Count == 1) {
        InvalidateNode(Nodes[0]);
        RequestChange(Nodes[0]);
    } else {
        InvalidateTree();
        RequestChange(nullptr);
    }
}

void TBaseLazyTree::StageForSelection(PLazyNode Node) {
    if (int(FTempNodeCount) >= FTempNodeCache.size()) {
        const int len = int(FTempNodeCache.size());
        FTempNodeCache.resize(len < 100 ? 100 : len + len / 10);
    }
    FTempNodeCache[FTempNodeCount++] = Node;
}

void TBaseLazyTree::ResetTempCache() {
    FTempNodeCache.clear();
    FTempNodeCache.squeeze();
    FTempNodeCount = 0;
}

// ---------------------------------------------------------------------------
// Removing
// ---------------------------------------------------------------------------

void TBaseLazyTree::FireRemoveFromSelection(PLazyNode Node) {
    if (OnRemoveFromSelection) OnRemoveFromSelection(this, Node);
}

bool TBaseLazyTree::DetachFromSelection(PLazyNode Node) {
    int index = 0;
    if (!LocateInSelection(Node, index)) return false;
    Node->States.Exclude(vsSelected);
    FSelection[index] = Mark(Node);
    if (FSelectionCount > 0) --FSelectionCount;
    FireRemoveFromSelection(Node);
    AdviseChange(false, Node, crIgnore);
    return true;
}

void TBaseLazyTree::RemoveFromSelection(PLazyNode Node) {
    if (SelectionLocked) return;
    LTAssert(Node != nullptr, NilNode());
    LTAssert(Application()->IsUIThread(),
             ClassName() + QStringLiteral(".RemoveFromSelection() must only be called from UI thread."));
    if (!Node->States.Contains(vsSelected)) return;
    Node->States.Exclude(vsSelected);
    // Pack first: marked entries must not hide valid ones when the array
    // is cut to the count below.
    if (FSelection.size() != FSelectionCount) {
        const int n = CompactSelection(FSelection.size(), FSelection);
        FSelection.resize(n < 0 ? 0 : n);
    }
    int index = 0;
    if (LocateInSelection(Node, index)) FSelection.removeAt(index);
    if (FSelectionCount > 0) --FSelectionCount;
    FSelection.resize(FSelectionCount);
    if (FSelectionCount == 0) ResetAnchor();
    if (FSelectionCount <= 1) RememberNextToSelect(Node);
    FireRemoveFromSelection(Node);
    RequestChange(Node);
}

void TBaseLazyTree::RememberNextToSelect(PLazyNode Node) {
    if (!FOptions->SelectionOptions().Contains(toAlwaysSelectNode) || !Node) return;
    if (Node->NextSibling) FNextNodeToSelect = Node->NextSibling;
    else if (Node->PrevSibling) FNextNodeToSelect = Node->PrevSibling;
    else if (Node->Parent != FRoot) FNextNodeToSelect = Node->Parent;
    else FNextNodeToSelect = Node->FirstChild;
}

void TBaseLazyTree::ResetAnchor() {
    FRangeAnchor = FFocusedNode;
    FLastSelectionLevel = -1;
}

void TBaseLazyTree::DropAllSelected() {
    const int n = CompactSelection(FSelection.size(), FSelection);
    FSelection.resize(n < 0 ? 0 : n);
    FSelectionCount = int(FSelection.size());
    for (int i = int(FSelection.size()) - 1; i >= 0; --i) {
        --FSelectionCount;
        FSelection[i]->States.Exclude(vsSelected);
        FireRemoveFromSelection(FSelection[i]);
    }
    FSelectionCount = 0;
    ResetAnchor();
    FSelection.clear();
    SwitchStates({}, {tsClearPending});
}

void TBaseLazyTree::DropSelection(bool NotifyChange) {
    if (SelectionLocked || FSelectionCount <= 0 || IsDestroying()) {
        // Marked entries of an empty selection still go.
        if (FSelectionCount <= 0 && !SelectionLocked) FSelection.clear();
        return;
    }
    if (FUpdateCount == 0)
        for (PLazyNode n : FSelection)
            if (!Marked(n)) InvalidateNode(n);
    DropAllSelected();
    if (NotifyChange) RequestChange(nullptr);
}

// ---------------------------------------------------------------------------
// The Selected[Node] property, ranges, invert, select all
// ---------------------------------------------------------------------------

void TBaseLazyTree::SetSelected(PLazyNode Node, bool Value) {
    if (SelectionLocked || !Node || Node == FRoot || Node->States.Contains(vsSelected) == Value) return;
    const bool multi = FOptions->SelectionOptions().Contains(toMultiSelect);
    if (Value) {
        if (FSelectionCount == 0) FRangeAnchor = Node;
        else if (!multi) ClearSelection();
        AddToSelection(Node);
        if (!multi) SetFocusedNode(GetFirstSelected(false));
        if (HeaderUsesColumns() && (FFocusedColumn < 0 || !IsValidColumn(FFocusedColumn)) &&
            MainColumn() > NoColumn)
            FFocusedColumn = MainColumn();
        if (!FRangeAnchor) FRangeAnchor = Node;
    } else {
        RemoveFromSelection(Node);
        if (FSelectionCount == 0) ResetAnchor();
    }
    if (GetFullyVisible(Node) && !GetEffectivelyFiltered(Node)) InvalidateNode(Node);
}

int TBaseLazyTree::CompareNodeOrder(PLazyNode Node1, PLazyNode Node2, bool ConsiderChildrenAbove) const {
    LTAssert(Node1 && Node2, QStringLiteral("Nodes must never be nil."));
    if (Node1 == Node2) return 0;
    const bool above = ConsiderChildrenAbove && FOptions->PaintOptions().Contains(toChildrenAbove);
    if (HasAsParent(Node1, Node2)) return above ? -1 : 1;
    if (HasAsParent(Node2, Node1)) return above ? 1 : -1;
    uint32_t l1 = GetNodeLevel(Node1), l2 = GetNodeLevel(Node2);
    while (l1 > l2) {
        Node1 = Node1->Parent;
        --l1;
    }
    while (l2 > l1) {
        Node2 = Node2->Parent;
        --l2;
    }
    while (Node1->Parent != Node2->Parent) {
        Node1 = Node1->Parent;
        Node2 = Node2->Parent;
    }
    return int(int64_t(Node1->Index) - int64_t(Node2->Index));
}

void TBaseLazyTree::SelectVisibleRange(PLazyNode StartNode, PLazyNode EndNode, bool AddOnly) {
    LTAssert(EndNode != nullptr, QStringLiteral("EndNode must not be nil!"));
    if (SelectionLocked) return;
    ResetTempCache();
    if (!StartNode || (!GetFullyVisible(StartNode) && !GetPreviousVisible(StartNode, true)))
        StartNode = GetFirstVisible(nullptr, true, false);
    else if (!GetFullyVisible(StartNode))
        StartNode = GetPreviousVisible(StartNode, true);
    if (!StartNode) return;
    if (CompareNodeOrder(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
    PLazyNode anchor = FRangeAnchor;
    if (!AddOnly) DropAllSelected();
    for (PLazyNode run = StartNode; run; run = GetNextVisible(run, true)) {
        StageForSelection(run);
        if (run == EndNode) break;
    }
    IncludeNodesInSelection(FTempNodeCache, int(FTempNodeCount), false);
    ResetTempCache();
    if (anchor && anchor->States.Contains(vsSelected)) FRangeAnchor = anchor;
}

void TBaseLazyTree::ToggleRange(PLazyNode StartNode, PLazyNode EndNode) {
    LTAssert(EndNode != nullptr, QStringLiteral("EndNode must not be nil!"));
    if (SelectionLocked) return;
    if (!StartNode) StartNode = FRoot->FirstChild;
    else if (!GetFullyVisible(StartNode)) StartNode = GetPreviousVisible(StartNode, true);
    if (!StartNode || CompareNodeOrder(StartNode, EndNode, true) == 0) return;
    if (CompareNodeOrder(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
    ResetTempCache();
    auto toggle = [this](PLazyNode n) {
        if (n->States.Contains(vsSelected)) DetachFromSelection(n);
        else StageForSelection(n);
    };
    PLazyNode anchor = FRangeAnchor;
    if (!anchor || CompareNodeOrder(StartNode, anchor, true) < 0) toggle(StartNode);
    for (PLazyNode run = GetNextVisible(StartNode, true); run && run != EndNode; run = GetNextVisible(run, true))
        toggle(run);
    if (!anchor || CompareNodeOrder(EndNode, anchor, true) > 0) toggle(EndNode);
    const int n = CompactSelection(FSelection.size(), FSelection);
    FSelection.resize(n < 0 ? 0 : n);
    if (anchor && !anchor->States.Contains(vsSelected)) StageForSelection(anchor);
    IncludeNodesInSelection(FTempNodeCache, int(FTempNodeCount), false);
    ResetTempCache();
}

void TBaseLazyTree::DeselectRange(PLazyNode StartNode, PLazyNode EndNode) {
    LTAssert(EndNode != nullptr, QStringLiteral("EndNode must not be nil!"));
    if (SelectionLocked || !StartNode) return;
    if (CompareNodeOrder(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
    for (PLazyNode run = StartNode; run; run = GetNextVisible(run, true)) {
        DetachFromSelection(run);
        if (run == EndNode) break;
    }
    const int n = CompactSelection(FSelection.size(), FSelection);
    FSelection.resize(n < 0 ? 0 : n);
}

void TBaseLazyTree::InvertSelection(bool VisibleOnly) {
    if (!FOptions->SelectionOptions().Contains(toMultiSelect) || SelectionLocked) return;
    ResetTempCache();
    bool removed = false;
    PLazyNode run = VisibleOnly ? GetFirstVisibleNoInit(nullptr, true, false) : GetFirstNoInit(false);
    while (run) {
        if (run->States.Contains(vsSelected)) removed = DetachFromSelection(run) || removed;
        else StageForSelection(run);
        run = VisibleOnly ? GetNextVisibleNoInit(run, true) : GetNextNoInit(run, false);
    }
    const int n = CompactSelection(FSelection.size(), FSelection);
    FSelection.resize(n < 0 ? 0 : n);
    const bool added = FTempNodeCount > 0;
    IncludeNodesInSelection(FTempNodeCache, int(FTempNodeCount), false);
    ResetTempCache();
    InvalidateTree();
    if (removed && !added) RequestChange(nullptr);
    if (FSelectionCount == 0) FNextNodeToSelect = nullptr;
}

void TBaseLazyTree::SelectAll(bool VisibleOnly) {
    if (!FOptions->SelectionOptions().Contains(toMultiSelect) || SelectionLocked) return;
    ResetTempCache();
    PLazyNode run = VisibleOnly ? GetFirstVisible(nullptr, true, false) : GetFirst(false);
    while (run) {
        if (!run->States.Contains(vsSelected)) StageForSelection(run);
        run = VisibleOnly ? GetNextVisible(run, true) : GetNext(run, false);
    }
    IncludeNodesInSelection(FTempNodeCache, int(FTempNodeCount), false);
    ResetTempCache();
    InvalidateTree();
}

void TBaseLazyTree::EnsureNodeSelected() {
    if (!FOptions->SelectionOptions().Contains(toAlwaysSelectNode) || FRoot->ChildCount == 0 || IsDestroying())
        return;
    if (FSelectionCount == 0 && !SelectionLocked) {
        if (FNextNodeToSelect) SetSelected(FNextNodeToSelect, true);
        else if (Focused()) {
            if (PLazyNode first = GetFirstVisible(nullptr, true, false)) SetSelected(first, true);
        }
    }
    if (!FFocusedNode && FSelectionCount > 0) AssureFocusedNode();
    if (PLazyNode first = GetFirstSelected(false)) ScrollIntoView(first, false, false);
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

void TBaseLazyTree::SetFocusedNode(PLazyNode Value) {
    if (Value == FRoot) Value = nullptr;
    const PLazyNode old = FFocusedNode;
    MoveFocus(Value, true);
    if (FFocusedNode == Value && old != Value) FireFocusChanged(FFocusedNode, FFocusedColumn);
}

bool TBaseLazyTree::FireFocusChanging(PLazyNode OldNode, PLazyNode NewNode, TColumnIndex OldColumn,
                                      TColumnIndex NewColumn) {
    bool allowed = NewColumn == OldColumn || ColumnAllowsFocus(NewColumn);
    if (OnFocusChanging) OnFocusChanging(this, OldNode, NewNode, OldColumn, NewColumn, allowed);
    return allowed;
}

void TBaseLazyTree::FireFocusChanged(PLazyNode Node, TColumnIndex Column) {
    if (OnFocusChanged) OnFocusChanged(this, Node, Column);
    // Accessibility notifications come with the accessibility provider.
}

void TBaseLazyTree::MoveFocus(PLazyNode Node, bool Ask) {
    if (FStates.Contains(tsEditing) && !EndEditNode()) return;
    if (Node == FRoot) Node = nullptr;
    bool change = Node != FFocusedNode;
    if (change && Ask) change = FireFocusChanging(FFocusedNode, Node, FFocusedColumn, FFocusedColumn);
    const TLTAutoOptions autoOpts = FOptions->AutoOptions();
    if (change) {
        PLazyNode old = FFocusedNode;
        if (old && autoOpts.Contains(toAutoExpand) && Node && old->Parent == Node->Parent &&
            old->States.Contains(vsExpanded))
            ToggleNode(old);
        else if (old)
            InvalidateNode(old);
        FFocusedNode = Node;
    }
    if (FFocusedNode) {
        if (HeaderUsesColumns() && !IsValidColumn(FFocusedColumn)) FFocusedColumn = MainColumn();
        if (autoOpts.Contains(toAutoExpand) && !FFocusedNode->States.Contains(vsExpanded)) ToggleNode(FFocusedNode);
        InvalidateNode(FFocusedNode);
        if (FUpdateCount == 0 && !autoOpts.Contains(toDisableAutoscrollOnFocus)) {
            const bool center = FOptions->SelectionOptions().Contains(toCenterScrollIntoView) &&
                                !FStates.ContainsAny({tsLeftButtonDown, tsMiddleButtonDown, tsRightButtonDown});
            ScrollIntoView(FFocusedNode, center, !FOptions->SelectionOptions().Contains(toFullRowSelect));
        }
    }
    if (FSelectionCount == 0) ResetAnchor();
}

void TBaseLazyTree::SetFocusedColumn(TColumnIndex Value) {
    if (Value == FFocusedColumn || !FireFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value)) return;
    CancelEditNode();
    InvalidateTree();
    FFocusedColumn = Value;
    if (FFocusedNode && !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus))
        if (ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView), true))
            InvalidateNode(FFocusedNode);
    if (FDropTargetNode) InvalidateNode(FDropTargetNode);
    FireFocusChanged(FFocusedNode, FFocusedColumn);
}

void TBaseLazyTree::FocusNodeAndColumn(PLazyNode Node, TColumnIndex Column) {
    if (!ColumnAllowsFocus(Column)) Column = FFocusedColumn;
    const bool changed = Node != FFocusedNode || Column != FFocusedColumn;
    const TColumnIndex oldColumn = FFocusedColumn;
    FFocusedColumn = Column;
    MoveFocus(Node, true);
    if (FFocusedNode == (Node == FRoot ? nullptr : Node)) {
        CancelEditNode();
        if (changed) FireFocusChanged(FFocusedNode, FFocusedColumn);
    } else {
        FFocusedColumn = oldColumn;
    }
}

void TBaseLazyTree::AssureFocusedNode() {
    if (FFocusedNode) return;
    if (PLazyNode n = GetFirstSelected(false)) SetFocusedNode(n);
    else if (PLazyNode v = GetFirstVisible(nullptr, true, false)) SetFocusedNode(v);
}
