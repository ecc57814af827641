// Update batching, change notification, tree states, long operations, the
// position-cache states, and the option sets.
#include "treeview/LazyTrees.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Timers.h"

// ---------------------------------------------------------------------------
// States
// ---------------------------------------------------------------------------

void TBaseLazyTree::SwitchStates(TLazyTreeStates Enter, TLazyTreeStates Leave) {
    if (OnStateChange && !((Enter - FStates).Empty() && (FStates * Leave).Empty())) OnStateChange(this, Enter, Leave);
    FStates = (FStates + Enter) - Leave;
}

// ---------------------------------------------------------------------------
// Updates
// ---------------------------------------------------------------------------

void TBaseLazyTree::BeginUpdate() {
    LTAssert(Application()->IsUIThread(), QStringLiteral("UI controls like ") + ClassName() +
                                              QStringLiteral(" should only be manipulated through the main thread."));
    if (!IsDestroying()) {
        if (FUpdateCount > 0) FireUpdating(usUpdate);
        else {
            FireUpdating(usBegin);
            ToggleWindowRedraw(true);
        }
    }
    ++FUpdateCount;
    SwitchStates({tsUpdating}, {});
}

void TBaseLazyTree::ToggleWindowRedraw(bool Updating) {
    if (Visible() && HandleAllocated() && FUpdateCount == 0) FRedrawSuppressed = Updating;
}

void TBaseLazyTree::Invalidate() {
    if (!FRedrawSuppressed) TCustomControl::Invalidate();
}

void TBaseLazyTree::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (IsDestroying()) return;
    if (FUpdateCount == 0 && FStates.Contains(tsUpdating)) {
        if (FStates.Contains(tsUpdateHiddenChildrenNeeded)) {
            RefreshAllChildrenHiddenAll();
            SwitchStates({}, {tsUpdateHiddenChildrenNeeded});
        }
        SwitchStates({}, {tsUpdating});
        const int n = CompactSelection(FSelection.size(), FSelection);
        if (n != -1) FSelection.resize(n);
        InvalidatePositionCache();
        StartCacheValidation();
        if (HandleAllocated()) UpdateScrollBars(false);
        auto finish = [this] {
            // Sorting only makes sense when someone compares nodes; without a
            // handler a sort would only initialize every top-level node.
            if (AutoSortActive()) SortTree(SortColumn(), SortDirection(), true);
            ToggleWindowRedraw(false);
            if (HandleAllocated()) InvalidateTree();
        };
        try {
            if (FStates.Contains(tsStructureChangePending))
                FireStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
            if (FStates.Contains(tsChangePending)) FireChange(FLastChangedNode);
        } catch (...) {
            finish();
            if (FUpdateCount > 0) FireUpdating(usUpdate);
            else FireUpdating(usEnd);
            throw;
        }
        finish();
    }
    if (FUpdateCount > 0) FireUpdating(usUpdate);
    else {
        FireUpdating(usEnd);
        EnsureNodeSelected();
    }
}

void TBaseLazyTree::BeginSynch() {
    if (!IsDestroying()) {
        if (FSynchUpdateCount > 0) FireUpdating(usSynch);
        else {
            FireUpdating(usBeginSynch);
            for (unsigned id : {ChangeTimer, StructureChangeTimer, ExpandTimer, EditTimer, HeaderTimer, ScrollTimer,
                                SearchTimer})
                KillTimer(this, id);
            ResetIncrementalSearch();
            FLastSearchNode = nullptr;
            SwitchStates({}, {tsEditPending, tsIncrementalSearching, tsScrolling, tsScrollPending});
            if (FStates.Contains(tsStructureChangePending))
                FireStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
            if (FStates.Contains(tsChangePending)) FireChange(FLastChangedNode);
        }
    }
    ++FSynchUpdateCount;
    SwitchStates({tsSynchMode}, {});
}

void TBaseLazyTree::EndSynch() {
    if (FSynchUpdateCount > 0) --FSynchUpdateCount;
    if (IsDestroying()) return;
    if (FSynchUpdateCount > 0) FireUpdating(usSynch);
    else {
        SwitchStates({}, {tsSynchMode});
        FireUpdating(usEndSynch);
    }
}

void TBaseLazyTree::FireUpdating(TLTUpdateState State) {
    if (OnUpdating) OnUpdating(this, State);
}

// ---------------------------------------------------------------------------
// Change notification
// ---------------------------------------------------------------------------

void TBaseLazyTree::AdviseChange(bool StructureChange, PLazyNode Node, TChangeReason Reason) {
    if (StructureChange) {
        if (FStates.Contains(tsStructureChangePending)) KillTimer(this, StructureChangeTimer);
        else SwitchStates({tsStructureChangePending}, {});
        FLastStructureChangeNode = Node;
        if (FLastStructureChangeReason == crIgnore) FLastStructureChangeReason = Reason;
        else if (Reason != crIgnore) FLastStructureChangeReason = crAccumulated;
    } else {
        if (FStates.Contains(tsChangePending)) KillTimer(this, ChangeTimer);
        else SwitchStates({tsChangePending}, {});
        FLastChangedNode = Node;
    }
}

void TBaseLazyTree::RequestChange(PLazyNode Node) {
    AdviseChange(false, Node, crIgnore);
    if (FUpdateCount > 0) return;
    if (ChangeDelay > 0 && HandleAllocated() && !FStates.Contains(tsSynchMode)) SetTimer(this, ChangeTimer, ChangeDelay);
    else FireChange(Node);
}

void TBaseLazyTree::RequestStructureChange(PLazyNode Node, TChangeReason Reason) {
    AdviseChange(true, Node, Reason);
    if (FUpdateCount > 0) return;
    if (ChangeDelay > 0 && HandleAllocated() && !FStates.Contains(tsSynchMode))
        SetTimer(this, StructureChangeTimer, ChangeDelay);
    else FireStructureChange(Node, Reason);
}

void TBaseLazyTree::FireChange(PLazyNode Node) {
    KillTimer(this, ChangeTimer);
    try {
        if (OnChange) OnChange(this, Node);
    } catch (...) {
        SwitchStates({}, {tsChangePending});
        FLastChangedNode = nullptr;
        throw;
    }
    SwitchStates({}, {tsChangePending});
    FLastChangedNode = nullptr;
}

void TBaseLazyTree::FireStructureChange(PLazyNode Node, TChangeReason Reason) {
    KillTimer(this, StructureChangeTimer);
    auto reset = [this] {
        SwitchStates({}, {tsStructureChangePending});
        FLastStructureChangeNode = nullptr;
        FLastStructureChangeReason = crIgnore;
    };
    try {
        if (OnStructureChange) OnStructureChange(this, Node, Reason);
    } catch (...) {
        reset();
        throw;
    }
    reset();
}

void TBaseLazyTree::WMTimer(TMessage& M) {
    switch (unsigned(M.WParam)) {
    case ChangeTimer:
        // A window timer repeats; a delayed notification comes once.
        KillTimer(this, ChangeTimer);
        if (FStates.Contains(tsChangePending)) FireChange(FLastChangedNode);
        break;
    case StructureChangeTimer:
        KillTimer(this, StructureChangeTimer);
        FireStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        break;
    case ScrollTimer:
        if (FStates.Contains(tsScrollPending)) {
            Application()->CancelHint();
            KillTimer(this, ScrollTimer);
            SetTimer(this, ScrollTimer, FAutoScrollInterval);
            SwitchStates({tsScrolling}, {tsScrollPending});
        }
        ScrollTimerTick();
        break;
    case ExpandTimer:
    case EditTimer:
    case HeaderTimer:
    case SearchTimer:
    case ThemeChangedTimer: InputTimer(unsigned(M.WParam)); break;
    default:
        TCustomControl::WMTimer(M);
        break;
    }
}

// ---------------------------------------------------------------------------
// Long operations
// ---------------------------------------------------------------------------

void TBaseLazyTree::OpenOperation(TLTOperationKind Kind) {
    ++FOperationCount;
    FireStartOperation(Kind);
    if (FOperationCount == 1) FOperationCanceled = false;
}

void TBaseLazyTree::CloseOperation(TLTOperationKind Kind) {
    LTAssert(FOperationCount > 0, QStringLiteral("EndOperation must not be called when no operation in progress."));
    --FOperationCount;
    FireEndOperation(Kind);
}

void TBaseLazyTree::CancelOperation() {
    if (FOperationCount > 0) FOperationCanceled = true;
}

void TBaseLazyTree::FireStartOperation(TLTOperationKind Kind) {
    if (OnStartOperation) OnStartOperation(this, Kind);
}

void TBaseLazyTree::FireEndOperation(TLTOperationKind Kind) {
    if (OnEndOperation) OnEndOperation(this, Kind);
}

// ---------------------------------------------------------------------------
// Position cache states
// ---------------------------------------------------------------------------


// ---------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------

TCustomLazyTreeOptions::TCustomLazyTreeOptions(TBaseLazyTree* AOwner) : FOwner(AOwner) {}

TPersistent* TCustomLazyTreeOptions::GetOwner() const { return FOwner; }

void TCustomLazyTreeOptions::SetPaintOptions(TLTPaintOptions Value) {
    if (Value == FPaintOptions) return;
    const TLTPaintOptions old = FPaintOptions;
    TLTPaintOptions added = Value - old;
    if (added.Contains(toFixedIndent)) Value.Include(toShowRoot);
    FPaintOptions = Value;
    added = Value - old;
    const TLTPaintOptions removed = old - Value;
    TBaseLazyTree* tree = FOwner;
    if (!tree) return;
    if (!tree->IsLoading() && (added + removed).Contains(toShowFilteredNodes))
        tree->ApplyShowFilteredNodes(added.Contains(toShowFilteredNodes));
    if (tree->HandleAllocated()) {
        // Themes are not in use on this platform: nothing to switch.
        if ((added + removed).Contains(toChildrenAbove)) {
            tree->InvalidatePositionCache();
            if (tree->FUpdateCount == 0) {
                tree->StartCacheValidation();
                tree->InvalidateTree();
            }
        }
        tree->InvalidateTree();
    }
}

void TBaseLazyTree::ApplyShowFilteredNodes(bool Added) {
    const bool window = HandleAllocated();
    if (window) BeginUpdate();
    try {
        FilteredNodesChanged(Added);
    } catch (...) {
        if (window) EndUpdate();
        throw;
    }
    if (window) EndUpdate();
}

void TBaseLazyTree::FilteredNodesChanged(bool Added) {
    StopCacheValidation();
    for (PLazyNode run = GetFirstNoInit(false); run; run = GetNextNoInit(run, false)) {
        if (!run->States.Contains(vsFiltered)) continue;
        if (GetFullyVisible(run)) {
            if (Added) ++FVisibleCount;
            else if (FVisibleCount > 0) --FVisibleCount;
        }
        ShiftTotalHeight(run, Added ? int64_t(run->NodeHeight) : -int64_t(run->NodeHeight), true);
    }
}

void TCustomLazyTreeOptions::SetAnimationOptions(TLTAnimationOptions Value) { FAnimationOptions = Value; }

void TCustomLazyTreeOptions::SetAutoOptions(TLTAutoOptions Value) {
    if (Value == FAutoOptions) return;
    const TLTAutoOptions changed = (Value - FAutoOptions) + (FAutoOptions - Value);
    FAutoOptions = Value;
    if (FOwner && changed.Contains(toAutoSpanColumns) && !FOwner->IsLoading() && FOwner->HandleAllocated())
        FOwner->InvalidateTree();
}

void TCustomLazyTreeOptions::SetSelectionOptions(TLTSelectionOptions Value) {
    if (Value == FSelectionOptions) return;
    const TLTSelectionOptions added = Value - FSelectionOptions;
    const TLTSelectionOptions removed = FSelectionOptions - Value;
    FSelectionOptions = Value;
    if (!FOwner) return;
    if ((added + removed).Contains(toMultiSelect) || added.Contains(toLevelSelectConstraint) ||
        added.Contains(toSiblingSelectConstraint))
        FOwner->ClearSelection();
    if (removed.Contains(toExtendedFocus) && FOwner->FFocusedColumn > 0 && FOwner->HandleAllocated()) {
        FOwner->FFocusedColumn = FOwner->MainColumn();
        FOwner->InvalidateTree();
    }
    if (!FSelectionOptions.Contains(toExtendedFocus)) FOwner->FFocusedColumn = FOwner->MainColumn();
}

void TCustomLazyTreeOptions::SetMiscOptions(TLTMiscOptions Value) {
    if (Value == FMiscOptions) return;
    const TLTMiscOptions added = Value - FMiscOptions;
    const TLTMiscOptions removed = FMiscOptions - Value;
    FMiscOptions = Value;
    if (!FOwner || FOwner->IsLoading() || !FOwner->HandleAllocated()) return;
    if ((added + removed).Contains(toCheckSupport)) FOwner->InvalidateTree();
    // Drop-target registration and the window class come with the
    // drag-and-drop and window steps.
    if (added.Contains(toVariableNodeHeight)) {
        FOwner->BeginUpdate();
        try {
            FOwner->ReinitNode(nullptr, true);
        } catch (...) {
            FOwner->EndUpdate();
            throw;
        }
        FOwner->EndUpdate();
    }
}

void TCustomLazyTreeOptions::AssignTo(TPersistent* Dest) const {
    auto* other = dynamic_cast<TCustomLazyTreeOptions*>(Dest);
    if (!other) {
        TPersistent::AssignTo(Dest);
        return;
    }
    other->SetPaintOptions(FPaintOptions);
    other->SetAnimationOptions(FAnimationOptions);
    other->SetAutoOptions(FAutoOptions);
    other->SetSelectionOptions(FSelectionOptions);
    other->SetMiscOptions(FMiscOptions);
}

TCustomStringTreeOptions::TCustomStringTreeOptions(TBaseLazyTree* AOwner) : TCustomLazyTreeOptions(AOwner) {}

void TCustomStringTreeOptions::AssignTo(TPersistent* Dest) const {
    TCustomLazyTreeOptions::AssignTo(Dest);
    if (auto* other = dynamic_cast<TCustomStringTreeOptions*>(Dest)) other->SetStringOptions(FStringOptions);
}

namespace {
// Where each option of the old single set went.
struct TOldOptionMap {
    const char* Name;
    int Set;  // 0 paint, 1 animation, 2 auto, 3 selection, 4 misc
    int Option;
};
const TOldOptionMap OldOptionMap[] = {
    {"voAcceptOLEDrop", 4, toAcceptOLEDrop},
    {"voAnimatedToggle", 1, toAnimatedToggle},
    {"voAutoDropExpand", 2, toAutoDropExpand},
    {"voAutoExpand", 2, toAutoExpand},
    {"voAutoScroll", 2, toAutoScroll},
    {"voAutoSort", 2, toAutoSort},
    {"voAutoSpanColumns", 2, toAutoSpanColumns},
    {"voAutoTristateTracking", 2, toAutoTristateTracking},
    {"voCheckSupport", 4, toCheckSupport},
    {"voDisableDrawSelection", 3, toDisableDrawSelection},
    {"voEditable", 4, toEditable},
    {"voExtendedFocus", 3, toExtendedFocus},
    {"voFullRowSelect", 3, toFullRowSelect},
    {"voGridExtensions", 4, toGridExtensions},
    {"voHideFocusRect", 0, toHideFocusRect},
    {"voHideSelection", 0, toHideSelection},
    {"voHotTrack", 0, toHotTrack},
    {"voInitOnSave", 4, toInitOnSave},
    {"voLevelSelectConstraint", 3, toLevelSelectConstraint},
    {"voMiddleClickSelect", 3, toMiddleClickSelect},
    {"voMultiSelect", 3, toMultiSelect},
    {"voRightClickSelect", 3, toRightClickSelect},
    {"voPopupMode", 0, toPopupMode},
    {"voShowBackground", 0, toShowBackground},
    {"voShowButtons", 0, toShowButtons},
    {"voShowDropmark", 0, toShowDropmark},
    {"voShowHorzGridLines", 0, toShowHorzGridLines},
    {"voShowRoot", 0, toShowRoot},
    {"voShowTreeLines", 0, toShowTreeLines},
    {"voShowVertGridLines", 0, toShowVertGridLines},
    {"voSiblingSelectConstraint", 3, toSiblingSelectConstraint},
    {"voToggleOnDblClick", 4, toToggleOnDblClick},
};
static_assert(std::size(OldOptionMap) == voToggleOnDblClick + 1);
}  // namespace

void TBaseLazyTree::ReadOldOptions(const QStringList& Names) {
    TCustomLazyTreeOptions* o = FOptions.get();
    o->SetPaintOptions({});
    o->SetAnimationOptions({});
    o->SetAutoOptions({});
    o->SetSelectionOptions({});
    o->SetMiscOptions({});
    for (const QString& name : Names) {
        if (name.isEmpty()) break;
        for (const TOldOptionMap& m : OldOptionMap) {
            if (name.compare(QLatin1String(m.Name), Qt::CaseInsensitive) != 0) continue;
            switch (m.Set) {
            case 0: o->SetPaintOptions(o->PaintOptions() + TLTPaintOptions{TLTPaintOption(m.Option)}); break;
            case 1:
                o->SetAnimationOptions(o->AnimationOptions() + TLTAnimationOptions{TLTAnimationOption(m.Option)});
                break;
            case 2: o->SetAutoOptions(o->AutoOptions() + TLTAutoOptions{TLTAutoOption(m.Option)}); break;
            case 3:
                o->SetSelectionOptions(o->SelectionOptions() + TLTSelectionOptions{TLTSelectionOption(m.Option)});
                break;
            default: o->SetMiscOptions(o->MiscOptions() + TLTMiscOptions{TLTMiscOption(m.Option)}); break;
            }
            break;
        }
    }
}
