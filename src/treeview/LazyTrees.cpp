// The node store: node blocks, the hidden root, linking and unlinking, the
// counters, deleting, lazy initialization, visibility and heights.
#include "treeview/LazyTrees.h"

#include "platform/controls/Forms.h"
#include "platform/core/MathUtils.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

void LTAssert(bool condition, const QString& text) {
    if (!condition) throw EAssertionFailed(text);
}

namespace {
// Raises and lowers a counter around a step, also when the step fails.
struct TCountGuard {
    uint32_t& Count;
    explicit TCountGuard(uint32_t& c) : Count(c) { ++Count; }
    ~TCountGuard() { --Count; }
};

uint32_t RoundUp8(uint32_t v) { return (v + 7u) & ~7u; }
}  // namespace

// ---------------------------------------------------------------------------
// TLazyNode
// ---------------------------------------------------------------------------

void* TLazyNode::GetData() {
    States.Include(vsOnFreeNodeCallRequired);
    return reinterpret_cast<char*>(this) + LazyNodeRecordSize;
}

void TLazyNode::SetData(void* value) {
    std::memcpy(reinterpret_cast<char*>(this) + LazyNodeRecordSize, &value, sizeof(void*));
    States.Include(vsOnFreeNodeCallRequired);
}

void TLazyNode::SetData(const std::shared_ptr<void>& value) {
    // The area holds a reference of its own, released when the node goes.
    auto* ref = new std::shared_ptr<void>(value);
    std::memcpy(reinterpret_cast<char*>(this) + LazyNodeRecordSize, &ref, sizeof(void*));
    States.Include(vsOnFreeNodeCallRequired);
    States.Include(vsReleaseCallOnUserDataRequired);
}

// ---------------------------------------------------------------------------
// Construction and destruction
// ---------------------------------------------------------------------------

TBaseLazyTree::TBaseLazyTree(TComponent* AOwner) : TCustomControl(AOwner) {
    FOptions = TBaseLazyTree::MakeOptions();
    FSingletonNodeArray.resize(1);
    // The UI thread is the one that made the application object; make sure
    // it exists before anyone asks from another thread.
    Application();
    ConstructControl();
    CreateRootNode(0);
}

TBaseLazyTree::~TBaseLazyTree() {
    ReleaseControl();
    if (!FDestroying) {
        FDestroying = true;
        TLTMiscOptions misc = FOptions->MiscOptions();
        misc.Exclude(toReadOnly);
        FOptions->FMiscOptions = misc;
        Clear();
    }
    FRecordNodes.clear();
    // The columns go while the tree still stands (their removal asks it).
    FHeader.reset();
    std::free(FRoot);
    FRoot = nullptr;
}

void TBaseLazyTree::BeforeDestruction() {
    ReleaseControl();
    // Free every node while the overrides of tree classes still stand.
    if (!FDestroying) {
        FDestroying = true;
        TLTMiscOptions misc = FOptions->MiscOptions();
        misc.Exclude(toReadOnly);
        FOptions->FMiscOptions = misc;
        Clear();
    }
    TCustomControl::BeforeDestruction();
}

void TBaseLazyTree::AfterConstruction() {
    TCustomControl::AfterConstruction();
    if (!FRoot) CreateRootNode(0);
}

void TBaseLazyTree::Loaded() {
    TCustomControl::Loaded();
    if (FStates.Contains(tsNeedRootCountUpdate)) SetRootNodeCount(FRoot->ChildCount);
    // The header and its columns finish loading: positions read meanwhile
    // are put in order.
    TLazyTreeColumns* columns = FHeader->Columns();
    columns->RebuildPositionArray();
    if (FOptions->AutoOptions().Contains(toAutoBidiColumnOrdering))
        columns->ResetPositions(UseRightToLeftAlignment());
    FHeader->ClampMainColumn();
    FHeader->ReapplyHeaderLimits();
}

std::unique_ptr<TCustomLazyTreeOptions> TBaseLazyTree::MakeOptions() {
    return std::make_unique<TCustomLazyTreeOptions>(this);
}

char* TBaseLazyTree::InternalDataOf(PLazyNode Node, uint32_t Offset) const {
    // Internal areas follow the user data, which ends on an 8-byte boundary.
    const uint32_t user = Node == FRoot ? 0u : RoundUp8(uint32_t(std::max(FNodeDataSize, 0)));
    return reinterpret_cast<char*>(Node) + Offset + user;
}

// ---------------------------------------------------------------------------
// Node blocks
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::AllocateNode() {
    if (FNodeDataSize == -1) FireGetNodeDataSize(FNodeDataSize);
    const size_t length =
        size_t(LazyNodeRecordSize) + RoundUp8(uint32_t(std::max(FNodeDataSize, 0))) + FTotalInternalDataSize;
    void* block = std::calloc(1, length);
    if (!block) throw std::bad_alloc();
    auto* node = new (block) TLazyNode();
    node->TotalCount = 1;
    node->TotalHeight = FDefaultNodeHeight;
    node->NodeHeight = uint16_t(FDefaultNodeHeight);
    node->States = {vsVisible};
    node->Align = 50;
    return node;
}

void TBaseLazyTree::CreateRootNode(uint32_t OldSize) {
    const size_t length = size_t(LazyNodeRecordSize) + FTotalInternalDataSize;
    if (!FRoot) {
        void* block = std::calloc(1, length);
        if (!block) throw std::bad_alloc();
        FRoot = new (block) TLazyNode();
    } else {
        void* block = std::realloc(FRoot, length);
        if (!block) throw std::bad_alloc();
        FRoot = static_cast<PLazyNode>(block);
        if (length > OldSize) std::memset(reinterpret_cast<char*>(FRoot) + OldSize, 0, length - OldSize);
    }
    FRoot->PrevSibling = FRoot;
    FRoot->NextSibling = FRoot;
    FRoot->Parent = reinterpret_cast<PLazyNode>(this);
    FRoot->States = {vsInitialized, vsExpanded, vsHasChildren, vsVisible};
    FRoot->NodeHeight = uint16_t(FDefaultNodeHeight);
    FRoot->TotalHeight = FDefaultNodeHeight;
    FRoot->TotalCount = 1;
    FRoot->Align = 50;
}

uint32_t TBaseLazyTree::ReserveInternalData(uint32_t Size) {
    LTAssert(!FRoot || FRoot->ChildCount == 0,
             QStringLiteral("Internal data allocation must be done before any node is created."));
    const uint32_t O = uint32_t(LazyNodeRecordSize) + FTotalInternalDataSize;
    FTotalInternalDataSize += RoundUp8(Size);
    CreateRootNode(O);
    return O;
}

TBaseLazyTree* TBaseLazyTree::OwnerTreeOf(PLazyNode Node) {
    LTAssert(Node != nullptr, QStringLiteral("Node must not be nil."));
    while (Node->NextSibling != Node) Node = Node->Parent;
    return reinterpret_cast<TBaseLazyTree*>(Node->Parent);
}

void TBaseLazyTree::FireGetNodeDataSize(int& NodeDataSize) {
    // A whole pointer fits: SetData and AddChild store 8 bytes.
    NodeDataSize = int(sizeof(void*));
    if (OnGetNodeDataSize) OnGetNodeDataSize(this, NodeDataSize);
}

void TBaseLazyTree::SetNodeDataSize(int Value) {
    if (Value < -1) Value = -1;
    if (Value == FNodeDataSize) return;
    FNodeDataSize = Value;
    if (IsLoading()) return;
    const uint32_t count = FRoot->ChildCount;
    Clear();
    SetRootNodeCount(count);
}

void TBaseLazyTree::SetRootNodeCount(uint32_t Value) {
    if (IsLoading()) {
        FRoot->ChildCount = Value;
        SwitchStates({tsNeedRootCountUpdate}, {});
        return;
    }
    if (FStates.Contains(tsNeedRootCountUpdate)) {
        // Loading ended: create the nodes the description asked for.
        SwitchStates({}, {tsNeedRootCountUpdate});
        const uint32_t count = FRoot->ChildCount;
        if (count == 0) return;
        const TLTMiscOptions misc = FOptions->MiscOptions();
        FOptions->FMiscOptions = misc - TLTMiscOptions{toReadOnly};
        FRoot->ChildCount = 0;
        BeginUpdate();
        try {
            SetChildCount(FRoot, count);
        } catch (...) {
            EndUpdate();
            FOptions->FMiscOptions = misc;
            throw;
        }
        EndUpdate();
        FOptions->FMiscOptions = misc;
        return;
    }
    if (FRoot->ChildCount == Value) return;
    StopCacheValidation();
    BeginUpdate();
    try {
        SetChildCount(FRoot, Value);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TBaseLazyTree::SetDefaultNodeHeight(uint32_t Value) {
    if (Value == 0) Value = 18;
    if (Value == FDefaultNodeHeight) return;
    const int64_t diff = int64_t(Value) - int64_t(FDefaultNodeHeight);
    FRoot->TotalHeight = uint32_t(int64_t(FRoot->TotalHeight) + diff);
    FRoot->NodeHeight = uint16_t(int64_t(FRoot->NodeHeight) + diff);
    FDefaultNodeHeight = Value;
    InvalidatePositionCache();
    if (FUpdateCount == 0 && HandleAllocated() && !IsLoading()) {
        StartCacheValidation();
        UpdateScrollBars(true);
        ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView), false);
        InvalidateTree();
    }
}

// ---------------------------------------------------------------------------
// User data
// ---------------------------------------------------------------------------

void* TBaseLazyTree::GetNodeData(PLazyNode Node) {
    LTAssert(FNodeDataSize > 0, QStringLiteral("NodeDataSize not initialized."));
    if (!Node || Node == FRoot) return nullptr;
    return Node->GetData();
}

std::shared_ptr<void> TBaseLazyTree::GetNodeShared(PLazyNode Node) {
    if (!Node || Node == FRoot || !Node->States.Contains(vsReleaseCallOnUserDataRequired)) return {};
    std::shared_ptr<void>* ref = nullptr;
    std::memcpy(&ref, UserDataOf(Node), sizeof(ref));
    return ref ? *ref : std::shared_ptr<void>();
}

namespace {
QString NoUserDataSpace(const TObject* tree) {
    return tree->ClassName() +
           QStringLiteral(": Cannot set initial user data because there is not enough user data space allocated.");
}
}  // namespace

void TBaseLazyTree::SetNodeData(PLazyNode Node, void* UserData) {
    LTAssert(FNodeDataSize >= int(sizeof(void*)), NoUserDataSpace(this));
    if (!Node || Node == FRoot) return;
    Node->SetData(UserData);
}

void TBaseLazyTree::SetNodeData(PLazyNode Node, const std::shared_ptr<void>& UserData) {
    LTAssert(FNodeDataSize >= int(sizeof(void*)), NoUserDataSpace(this));
    if (!Node || Node == FRoot) return;
    Node->SetData(UserData);
}

void TBaseLazyTree::RecordTypeMismatch() const {
    throw EAssertionFailed(ClassName() +
                           QStringLiteral(": the node record does not fit the user data area of this tree."));
}

void TBaseLazyTree::DestroyNodeRecord(PLazyNode Node) {
    if (FRecordNodes.empty()) return;
    auto it = FRecordNodes.find(Node);
    if (it == FRecordNodes.end()) return;
    FRecordNodes.erase(it);
    if (FRecordDestroy) FRecordDestroy(UserDataOf(Node));
}

// ---------------------------------------------------------------------------
// Adding nodes
// ---------------------------------------------------------------------------

bool TBaseLazyTree::AutoSortActive() const {
    return FOptions->AutoOptions().Contains(toAutoSort) && SortColumn() >= NoColumn && bool(OnCompareNodes);
}

PLazyNode TBaseLazyTree::AddChild(PLazyNode Parent, void* UserData) {
    if (IsReadOnly()) return nullptr;
    CancelEditNode();
    if (!Parent) Parent = FRoot;
    if (!Parent->States.Contains(vsInitialized)) InitializeNode(Parent);
    {
        TCountGuard update(FUpdateCount);
        SetChildCount(Parent, Parent->ChildCount + 1);
        Parent->States.Exclude(vsAllChildrenHidden);
    }
    PLazyNode result = Parent->LastChild;
    if (UserData) {
        LTAssert(FNodeDataSize >= int(sizeof(void*)), NoUserDataSpace(this));
        result->SetData(UserData);
    }
    InvalidatePositionCache();
    if (FUpdateCount == 0) {
        StartCacheValidation();
        if (FStates.Contains(tsStructureChangePending))
            RequestStructureChange(Parent == FRoot ? nullptr : Parent, crChildAdded);
        if (AutoSortActive()) Sort(Parent, SortColumn(), SortDirection(), true);
        InvalidateToBottom(Parent);
        UpdateScrollBars(true);
    }
    return result;
}

PLazyNode TBaseLazyTree::AddChild(PLazyNode Parent, const std::shared_ptr<void>& UserData) {
    PLazyNode result = AddChild(Parent, static_cast<void*>(nullptr));
    if (result) {
        LTAssert(FNodeDataSize >= int(sizeof(void*)), NoUserDataSpace(this));
        result->SetData(UserData);
    }
    return result;
}

void TBaseLazyTree::SetChildCount(PLazyNode Node, uint32_t NewChildCount) {
    if (IsReadOnly()) return;
    if (!Node) Node = FRoot;
    if (NewChildCount == 0) {
        DeleteChildren(Node, false);
        return;
    }
    if (NewChildCount == Node->ChildCount) return;
    StopCacheValidation();
    if (NewChildCount > Node->ChildCount) {
        const uint32_t D = NewChildCount - Node->ChildCount;
        uint32_t index = 0;
        if (Node->LastChild) index = Node->LastChild->Index + 1;
        else Node->States.Include(vsHasChildren);
        Node->States.Exclude(vsAllChildrenHidden);
        Node->States.Exclude(vsHeightMeasured);
        if (Node->States.Contains(vsExpanded) && GetFullyVisible(Node)) FVisibleCount += D;
        uint64_t addedHeight = 0;
        const bool variable = FOptions->MiscOptions().Contains(toVariableNodeHeight);
        for (uint32_t i = 0; i < D; ++i) {
            PLazyNode child = AllocateNode();
            child->Index = index++;
            child->PrevSibling = Node->LastChild;
            child->Parent = Node;
            if (Node->LastChild) Node->LastChild->NextSibling = child;
            else Node->FirstChild = child;
            Node->LastChild = child;
            if (variable) GetNodeHeight(child);
            addedHeight += child->TotalHeight;
        }
        if (Node->States.Contains(vsExpanded))
            ShiftTotalHeight(Node, int64_t(Node->TotalHeight) + int64_t(addedHeight), false);
        ShiftTotalCount(Node, D, true);
        Node->ChildCount = NewChildCount;
        if (FUpdateCount == 0 && AutoSortActive()) Sort(Node, SortColumn(), SortDirection(), true);
        InvalidatePositionCache();
    } else {
        while (Node->ChildCount > NewChildCount) DeleteNode(Node->LastChild);
    }
    if (FUpdateCount == 0) {
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateTree();
    }
    RequestStructureChange(Node == FRoot ? nullptr : Node, crChildAdded);
}

uint32_t TBaseLazyTree::GetChildCount(PLazyNode Node) const {
    if (!Node) Node = FRoot;
    return Node->ChildCount;
}

PLazyNode TBaseLazyTree::InsertNode(PLazyNode Node, TLTNodeAttachMode Mode, void* UserData) {
    if (Mode == amNoWhere) return nullptr;
    CancelEditNode();
    if (!Node) Node = FRoot;
    PLazyNode result = AllocateNode();
    if (Node == FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        else if (Mode == amInsertAfter) Mode = amAddChildLast;
    }
    if ((Mode == amAddChildFirst || Mode == amAddChildLast) && !Node->States.Contains(vsInitialized))
        InitializeNode(Node);
    LinkNode(result, Node, Mode, this);
    if (UserData) {
        LTAssert(FNodeDataSize >= int(sizeof(void*)), NoUserDataSpace(this));
        result->SetData(UserData);
    }
    if (FUpdateCount == 0) {
        if (AutoSortActive()) {
            if (Mode == amInsertBefore || Mode == amInsertAfter) Sort(Node->Parent, SortColumn(), SortDirection(), true);
            else Sort(Node, SortColumn(), SortDirection(), true);
        }
        UpdateScrollBars(true);
        InvalidateToBottom(Mode == amInsertBefore ? result : Node);
    }
    RequestStructureChange(result, crNodeAdded);
    return result;
}

// ---------------------------------------------------------------------------
// Linking and unlinking
// ---------------------------------------------------------------------------

void TBaseLazyTree::LinkNode(PLazyNode Node, PLazyNode Destination, TLTNodeAttachMode Mode, TBaseLazyTree* Target) {
    Node->States.Exclude(TLazyNodeStates{vsChecking, vsCutOrCopy, vsDeleting});
    if (Mode == amNoWhere) return;
    PLazyNode parent = nullptr;
    switch (Mode) {
    case amInsertBefore: {
        parent = Destination->Parent;
        Node->PrevSibling = Destination->PrevSibling;
        Node->NextSibling = Destination;
        Node->Parent = parent;
        Node->Index = Destination->Index;
        if (Node->PrevSibling) Node->PrevSibling->NextSibling = Node;
        else parent->FirstChild = Node;
        Destination->PrevSibling = Node;
        for (PLazyNode run = Destination; run; run = run->NextSibling) ++run->Index;
        break;
    }
    case amInsertAfter: {
        parent = Destination->Parent;
        Node->PrevSibling = Destination;
        Node->NextSibling = Destination->NextSibling;
        Node->Parent = parent;
        if (Node->NextSibling) Node->NextSibling->PrevSibling = Node;
        else parent->LastChild = Node;
        Destination->NextSibling = Node;
        Node->Index = Destination->Index;
        for (PLazyNode run = Node; run; run = run->NextSibling) ++run->Index;
        break;
    }
    case amAddChildFirst: {
        parent = Destination;
        Node->Parent = parent;
        Node->PrevSibling = nullptr;
        Node->NextSibling = parent->FirstChild;
        if (parent->FirstChild) parent->FirstChild->PrevSibling = Node;
        else parent->LastChild = Node;
        parent->FirstChild = Node;
        uint32_t i = 0;
        for (PLazyNode run = Node; run; run = run->NextSibling) run->Index = i++;
        break;
    }
    case amAddChildLast: {
        parent = Destination;
        Node->Parent = parent;
        Node->NextSibling = nullptr;
        Node->PrevSibling = parent->LastChild;
        Node->Index = parent->LastChild ? parent->LastChild->Index + 1 : 0;
        if (parent->LastChild) parent->LastChild->NextSibling = Node;
        else parent->FirstChild = Node;
        parent->LastChild = Node;
        break;
    }
    default:
        return;
    }
    ++parent->ChildCount;
    parent->States.Include(vsHasChildren);
    Target->ShiftTotalCount(parent, Node->TotalCount, true);
    if (parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible)) {
        Target->ShiftTotalHeight(parent, Node->TotalHeight, true);
        if (Target->GetFullyVisible(parent))
            Target->FVisibleCount +=
                Target->VisibleDescendantCount(Node) + (Target->GetEffectivelyVisible(Node) ? 1 : 0);
    }
    if (parent != Target->FRoot) {
        if (Target->GetEffectivelyVisible(Node)) parent->States.Exclude(vsAllChildrenHidden);
        else if (parent->ChildCount == 1) parent->States.Include(vsAllChildrenHidden);
    }
}

void TBaseLazyTree::UnlinkNode(PLazyNode Node, bool KeepFocus, bool ParentClearing, bool Reindex) {
    LTAssert(Node && Node != FRoot, QStringLiteral("Node must neither be nil nor the root node."));
    if (Node == FFocusedNode && !KeepFocus) {
        const PLazyNode old = FFocusedNode;
        const TColumnIndex oldColumn = FFocusedColumn;
        (void)old;
        MoveFocus(nullptr, false);
        FireFocusChanged(FFocusedNode, oldColumn);
    }
    if (Node == FRangeAnchor) ResetAnchor();
    PLazyNode parent = Node->Parent;
    if (parent != FRoot && !ParentClearing) {
        if (FUpdateCount > 0) SwitchStates({tsUpdateHiddenChildrenNeeded}, {});
        else RefreshAllChildrenHidden(parent);
    }
    if (Node->States.Contains(vsDeleting)) return;
    const bool parentExpanded = parent->States.Contains(vsExpanded);
    const bool nodeVisible = Node->States.Contains(vsVisible);
    const bool wasFullyVisible = GetFullyVisible(Node);
    Node->States.Exclude(vsChecking);
    --parent->ChildCount;
    if (parent->ChildCount == 0) {
        parent->States.Exclude(TLazyNodeStates{vsAllChildrenHidden, vsHasChildren});
        if (parent != FRoot) parent->States.Exclude(vsExpanded);
    }
    ShiftTotalCount(parent, -int64_t(Node->TotalCount), true);
    if (parentExpanded && nodeVisible) ShiftTotalHeight(parent, -int64_t(Node->TotalHeight), true);
    if (wasFullyVisible) {
        const int64_t drop = int64_t(VisibleDescendantCount(Node)) + (GetEffectivelyVisible(Node) ? 1 : 0);
        FVisibleCount = uint32_t(std::max<int64_t>(0, int64_t(FVisibleCount) - drop));
    }
    if (Node->PrevSibling) Node->PrevSibling->NextSibling = Node->NextSibling;
    else parent->FirstChild = Node->NextSibling;
    if (Node->NextSibling) {
        Node->NextSibling->PrevSibling = Node->PrevSibling;
        if (Reindex) {
            uint32_t i = Node->Index;
            for (PLazyNode run = Node->NextSibling; run; run = run->NextSibling) run->Index = i++;
        }
    } else {
        parent->LastChild = Node->PrevSibling;
    }
}

// ---------------------------------------------------------------------------
// Counters and visibility bookkeeping
// ---------------------------------------------------------------------------

void TBaseLazyTree::ShiftTotalCount(PLazyNode Node, int64_t Value, bool Relative) {
    if (!Node) return;
    if (!Relative) Value -= int64_t(Node->TotalCount);
    if (Value == 0) return;
    for (PLazyNode run = Node;; run = run->Parent) {
        run->TotalCount = uint32_t(int64_t(run->TotalCount) + Value);
        if (run == FRoot) break;
    }
}

void TBaseLazyTree::ShiftTotalHeight(PLazyNode Node, int64_t Value, bool Relative) {
    if (!Node) return;
    if (!Relative) Value -= int64_t(Node->TotalHeight);
    if (Value != 0) {
        PLazyNode run = Node;
        for (;;) {
            run->TotalHeight = uint32_t(int64_t(run->TotalHeight) + Value);
            if (!run->States.Contains(vsVisible) || run == FRoot || !run->Parent ||
                !run->Parent->States.Contains(vsExpanded))
                break;
            run = run->Parent;
        }
    }
    UpdateScrollBars(false);
}

void TBaseLazyTree::RecountTotals(PLazyNode Node) {
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
        RecountTotals(child);
        Node->TotalCount += child->TotalCount;
    }
}

void TBaseLazyTree::RecomputeTotalHeights(PLazyNode Node) {
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
        RecomputeTotalHeights(child);
        if (Node->States.Contains(vsExpanded) && child->States.Contains(vsVisible))
            Node->TotalHeight += child->TotalHeight;
    }
}

uint32_t TBaseLazyTree::VisibleDescendantCount(PLazyNode Node) const {
    if (!Node->States.Contains(vsExpanded)) return 0;
    uint32_t count = 0;
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
        if (!child->States.Contains(vsVisible)) continue;
        count += VisibleDescendantCount(child);
        if (GetEffectivelyVisible(child)) ++count;
    }
    return count;
}

void TBaseLazyTree::RefreshAllChildrenHidden(PLazyNode Node) {
    if (!Node) return;
    if (Node->ChildCount > 0) {
        bool anyShown = false;
        for (PLazyNode child = Node->FirstChild; child && !anyShown; child = child->NextSibling)
            anyShown = GetEffectivelyVisible(child);
        if (anyShown) Node->States.Exclude(vsAllChildrenHidden);
        else Node->States.Include(vsAllChildrenHidden);
    } else {
        // The flag speaks of children: a node without any has none hidden.
        Node->States.Exclude(vsAllChildrenHidden);
    }
}

void TBaseLazyTree::RefreshAllChildrenHiddenAll() {
    for (PLazyNode run = GetFirstNoInit(false); run; run = GetNextNoInit(run, false)) RefreshAllChildrenHidden(run);
}

bool TBaseLazyTree::IsLeadingVisibleChild(PLazyNode Parent, PLazyNode Node) const {
    return GetFirstVisibleChildNoInit(Parent) == Node;
}

bool TBaseLazyTree::IsTrailingVisibleChild(PLazyNode Parent, PLazyNode Node) const {
    return GetLastVisibleChildNoInit(Parent) == Node;
}

// ---------------------------------------------------------------------------
// Deleting
// ---------------------------------------------------------------------------

void TBaseLazyTree::DeleteNode(PLazyNode Node) { DetachAndFreeNode(Node, true, false); }

void TBaseLazyTree::DetachAndFreeNode(PLazyNode Node, bool Reindex, bool ParentClearing) {
    if (!Node || Node == FRoot || IsReadOnly()) return;
    LTAssert(!FStates.Contains(tsIterating),
             QStringLiteral("Deleting nodes during tree iteration leads to invalid pointers."));
    PLazyNode parent = Node->Parent;
    // An edit in the subtree going away is cancelled, not stored into it.
    if (FStates.Contains(tsEditing) && FFocusedNode && (FFocusedNode == Node || HasAsParent(FFocusedNode, Node)))
        DropEdit();
    if (!ParentClearing) RequestStructureChange(parent == FRoot ? nullptr : parent, crChildDeleted);
    const int oldX = FOffsetX, oldY = FOffsetY;
    if (!Node->States.Contains(vsSelected)) {
        InvalidateToBottom(parent);
    } else if (FUpdateCount > 0) {
        DetachFromSelection(Node);
    } else {
        const bool wasSynch = FStates.Contains(tsSynchMode);
        SwitchStates({tsSynchMode}, {});
        try {
            RemoveFromSelection(Node);
        } catch (...) {
            if (!wasSynch) SwitchStates({}, {tsSynchMode});
            throw;
        }
        if (!wasSynch) SwitchStates({}, {tsSynchMode});
        InvalidateToBottom(parent);
    }
    if (FStates.Contains(tsHint)) {
        CancelNodeHint();
        SwitchStates({}, {tsHint});
    }
    if (!ParentClearing) StopCacheValidation();
    DeleteChildren(Node, false);
    UnlinkNode(Node, false, false, Reindex);
    FireFreeNode(Node);
    if (!ParentClearing) {
        RefreshAllChildrenHidden(parent);
        InvalidatePositionCache();
        if (FUpdateCount == 0) {
            StartCacheValidation();
            UpdateScrollBars(true);
            if (oldX != FOffsetX || oldY != FOffsetY) InvalidateTree();
        }
    }
}

void TBaseLazyTree::DeleteChildren(PLazyNode Node, bool ResetHasChildren) {
    if (!Node || Node->ChildCount == 0 || IsReadOnly()) {
        if (Node && ResetHasChildren) Node->States.Exclude(vsHasChildren);
        return;
    }
    LTAssert(!FStates.Contains(tsIterating),
             QStringLiteral("Deleting nodes during tree iteration leads to invalid pointers."));
    {
        TCountGuard update(FUpdateCount);
        StopCacheValidation();
        const bool wasShown = Node == FRoot || (GetFullyVisible(Node) && Node->States.Contains(vsExpanded));
        PLazyNode run = Node->LastChild;
        while (run) {
            PLazyNode prev = run->PrevSibling;
            if (wasShown && GetEffectivelyVisible(run) && FVisibleCount > 0) --FVisibleCount;
            run->States.Include(vsDeleting);
            if (prev) prev->NextSibling = nullptr;
            DetachAndFreeNode(run, false, true);
            run = prev;
        }
        if (ResetHasChildren) Node->States.Exclude(vsHasChildren);
        if (Node != FRoot) Node->States.Exclude(vsExpanded);
        Node->ChildCount = 0;
        if (Node == FRoot || Node->States.Contains(vsDeleting)) {
            const uint32_t own = Node == FRoot ? 0u : Node->NodeHeight;
            Node->TotalHeight = own + FDefaultNodeHeight;
            if (Node != FRoot) Node->TotalHeight = own;
            Node->TotalCount = 1;
        } else {
            ShiftTotalHeight(Node, GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight, false);
            ShiftTotalCount(Node, 1, false);
        }
        Node->FirstChild = nullptr;
        Node->LastChild = nullptr;
    }
    InvalidatePositionCache();
    if (FUpdateCount == 0) {
        const int n = CompactSelection(FSelection.size(), FSelection);
        if (n != -1) FSelection.resize(n);
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateToBottom(Node);
        if (FStates.Contains(tsChangePending)) {
            FireChange(FLastChangedNode);
            EnsureNodeSelected();
        }
    }
    RequestStructureChange(Node, crChildDeleted);
}

void TBaseLazyTree::DeleteSelectedNodes() {
    if (FSelectionCount == 0 || IsReadOnly()) return;
    BeginUpdate();
    try {
        const TNodeArray nodes = GetSortedSelection(true);
        for (int i = int(nodes.size()) - 1; i >= 1; --i)
            DetachAndFreeNode(nodes[i], nodes[i]->Parent != nodes[i - 1]->Parent, false);
        if (!nodes.isEmpty()) DetachAndFreeNode(nodes[0], true, false);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TBaseLazyTree::Clear() {
    if (!((FRoot->ChildCount > 0 && !IsReadOnly()) || FDestroying)) return;
    BeginUpdate();
    try {
        StopCacheValidation();
        CancelEditNode();
        if (FStates.ContainsAny({tsCopyPending, tsCutPending})) {
            EmptyClipboard();
            SwitchStates({}, {tsCopyPending, tsCutPending});
        }
        ClearSelection();
        FFocusedNode = nullptr;
        FLastSelected = nullptr;
        FCurrentHotNode = nullptr;
        FDropTargetNode = nullptr;
        FLastChangedNode = nullptr;
        FRangeAnchor = nullptr;
        FCheckNode = nullptr;
        FLastVCLDragTarget = nullptr;
        FLastSearchNode = nullptr;
        DeleteChildren(FRoot, true);
        FOffsetX = 0;
        FOffsetY = 0;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TBaseLazyTree::ForgetNode(PLazyNode Node) {
    if (FTopMemoNode == Node) FTopMemoNode = nullptr;
    // The edited, hinted and height-tracked node end their state with it.
    if (FStates.Contains(tsEditing) && FFocusedNode == Node) DropEdit();
    if (FHintData.Node == Node) {
        CancelNodeHint();
        FLastHintRect = TRect();
        SwitchStates({}, {tsHint});
    }
    if (FHeightTrackNode == Node) SwitchStates({}, {tsNodeHeightTracking, tsNodeHeightTrackPending});
    if (FFocusedNode == Node) FFocusedNode = nullptr;
    if (FLastSelected == Node) FLastSelected = nullptr;
    if (FCurrentHotNode == Node) FCurrentHotNode = nullptr;
    if (FDropTargetNode == Node) FDropTargetNode = nullptr;
    if (FRangeAnchor == Node) FRangeAnchor = nullptr;
    if (FCheckNode == Node) {
        FCheckNode = nullptr;
        SwitchStates({}, {tsMouseCheckPending, tsKeyCheckPending});
    }
    if (FLastVCLDragTarget == Node) FLastVCLDragTarget = nullptr;
    if (FLastSearchNode == Node) {
        FLastSearchNode = nullptr;
        ResetIncrementalSearch();
    }
    if (FHeightTrackNode == Node) FHeightTrackNode = nullptr;
    if (FLastChangedNode == Node) FLastChangedNode = nullptr;
    if (FLastStructureChangeNode == Node) FLastStructureChangeNode = nullptr;
    if (FNextNodeToSelect == Node) FNextNodeToSelect = Node->Parent == FRoot ? nullptr : Node->Parent;
}

void TBaseLazyTree::FireFreeNode(PLazyNode Node) {
    ForgetNode(Node);
    try {
        if (OnFreeNode && Node->States.ContainsAny({vsInitialized, vsOnFreeNodeCallRequired})) OnFreeNode(this, Node);
    } catch (...) {
        DestroyNodeRecord(Node);
        if (Node->States.Contains(vsReleaseCallOnUserDataRequired)) {
            std::shared_ptr<void>* ref = nullptr;
            std::memcpy(&ref, UserDataOf(Node), sizeof(ref));
            delete ref;
        }
        std::free(Node);
        throw;
    }
    DestroyNodeRecord(Node);
    if (Node->States.Contains(vsReleaseCallOnUserDataRequired)) {
        std::shared_ptr<void>* ref = nullptr;
        std::memcpy(&ref, UserDataOf(Node), sizeof(ref));
        delete ref;
    }
    std::free(Node);
    if (FUpdateCount == 0) EnsureNodeSelected();
}

// ---------------------------------------------------------------------------
// Levels and positions
// ---------------------------------------------------------------------------

uint32_t TBaseLazyTree::GetNodeLevel(PLazyNode Node) const {
    uint32_t level = 0;
    if (!Node || Node == FRoot) return 0;
    for (PLazyNode run = Node->Parent; run != FRoot; run = run->Parent) ++level;
    return level;
}

uint32_t TBaseLazyTree::AbsoluteIndex(PLazyNode Node) {
    uint32_t result = 0;
    if (!Node || Node == FRoot) return 0;
    while (Node && Node != FRoot) {
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        if (Node->PrevSibling) {
            Node = Node->PrevSibling;
            result += Node->TotalCount;
        } else {
            Node = Node->Parent;
            if (Node != FRoot) ++result;
        }
    }
    return result;
}

uint32_t TBaseLazyTree::TotalCount() {
    BeginUpdate();
    try {
        ValidateNode(FRoot, true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return FRoot->TotalCount - 1;
}

// ---------------------------------------------------------------------------
// Lazy initialization
// ---------------------------------------------------------------------------

void TBaseLazyTree::FireInitNode(PLazyNode ParentNode, PLazyNode Node, TLazyNodeInitStates& InitialStates) {
    if (OnInitNode) OnInitNode(this, ParentNode, Node, InitialStates);
}

bool TBaseLazyTree::FireInitChildren(PLazyNode Node, uint32_t& ChildCount) {
    if (!OnInitChildren) return false;
    OnInitChildren(this, Node, ChildCount);
    return true;
}

void TBaseLazyTree::InitializeNode(PLazyNode Node) {
    // The worker reads node states: a build it has of this tree is stopped
    // for the initialization and queued again after it.
    const bool held = CacheBuildPending() && !FSliceBuild.Running;
    if (held) StopCacheValidation();
    struct TRequeue {
        TBaseLazyTree* Tree;
        bool Held;
        ~TRequeue() {
            if (Held && Tree->FUpdateCount == 0 && !Tree->IsDestroying()) {
                Tree->InvalidatePositionCache();
                Tree->StartCacheValidation();
            }
        }
    } requeue{this, held};
    InitializeNodeNow(Node);
}

void TBaseLazyTree::InitializeNodeNow(PLazyNode Node) {
    TLazyNodeInitStates initStates;
    Node->States.Include(vsInitializing);
    const bool reInit = Node->States.Contains(vsInitialized);
    const bool wasFiltered = Node->States.Contains(vsFiltered);
    if (reInit) initStates.Include(ivsReInit);
    Node->States.Include(vsInitialized);
    try {
        FireInitNode(Node->Parent == FRoot ? nullptr : Node->Parent, Node, initStates);
    } catch (...) {
        Node->States.Exclude(vsInitializing);
        throw;
    }
    try {
        if (initStates.Contains(ivsDisabled)) Node->States.Include(vsDisabled);
        if (initStates.Contains(ivsHasChildren)) Node->States.Include(vsHasChildren);
        if (initStates.Contains(ivsSelected)) {
            FSingletonNodeArray[0] = Node;
            MergeIntoSelection(FSingletonNodeArray, 1, false);
        }
        if (initStates.Contains(ivsMultiline)) Node->States.Include(vsMultiline);
        if (initStates.Contains(ivsFiltered)) {
            Node->States.Include(vsFiltered);
            if (!FOptions->PaintOptions().Contains(toShowFilteredNodes) && !(reInit && wasFiltered)) {
                ShiftTotalHeight(Node, -int64_t(Node->NodeHeight), true);
                if (GetFullyVisible(Node) && FVisibleCount > 0) --FVisibleCount;
                if (FUpdateCount == 0) UpdateScrollBars(true);
            }
        }
        if (Node->States.Contains(vsExpanded) != initStates.Contains(ivsExpanded)) {
            if (initStates.Contains(ivsExpanded)) ToggleNode(Node);
            else if (Node->States.Contains(vsHasChildren)) InitializeChildren(Node);
        }
    } catch (...) {
        Node->States.Exclude(vsInitializing);
        throw;
    }
    Node->States.Exclude(vsInitializing);
}

void TBaseLazyTree::InitializeChildren(PLazyNode Node) {
    if (!Node || Node == FRoot || !Node->States.Contains(vsHasChildren)) return;
    uint32_t count = Node->ChildCount;
    if (FireInitChildren(Node, count)) {
        SetChildCount(Node, count);
        if (count == 0) Node->States.Exclude(vsHasChildren);
    }
}

void TBaseLazyTree::ValidateNode(PLazyNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    else if (Node != FRoot && !Node->States.Contains(vsInitialized)) InitializeNode(Node);
    if (Recursive) {
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitializeChildren(Node);
        for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) ValidateNode(child, true);
    }
}

void TBaseLazyTree::ValidateChildren(PLazyNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitializeChildren(Node);
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
        if (!child->States.Contains(vsInitialized)) InitializeNode(child);
        if (Recursive) ValidateChildren(child, true);
    }
}

void TBaseLazyTree::InitRecursive(PLazyNode Node, uint32_t Levels, bool VisibleOnly) {
    if (!Node) Node = FRoot;
    if (Node != FRoot && !Node->States.Contains(vsInitialized)) InitializeNode(Node);
    if (Levels == 0 || (VisibleOnly && !Node->States.Contains(vsExpanded))) return;
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
        InitRecursive(child, Levels - 1, VisibleOnly);
}

void TBaseLazyTree::ReinitNode(PLazyNode Node, bool Recursive) {
    if (Node && Node != FRoot) {
        Node->States.Exclude(TLazyNodeStates{vsChecking, vsCutOrCopy, vsDeleting, vsHeightMeasured});
        if (Node->States.Contains(vsInitialized)) InitializeNode(Node);
    }
    if (Recursive) ReinitChildren(Node, true);
}

void TBaseLazyTree::ReinitChildren(PLazyNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    InitializeChildren(Node);
    for (PLazyNode child = Node->FirstChild; child;) {
        PLazyNode next = child->NextSibling;
        ReinitNode(child, Recursive);
        child = next;
    }
}

void TBaseLazyTree::ResetNode(PLazyNode Node) {
    CancelEditNode();
    if (!Node || Node == FRoot) {
        Clear();
        return;
    }
    if (OnResetNode) OnResetNode(this, Node);
    DeleteChildren(Node, false);
    Node->States.Exclude(TLazyNodeStates{vsInitialized, vsChecking, vsCutOrCopy, vsDeleting, vsExpanded,
                                         vsHasChildren, vsHeightMeasured});
    InvalidateNode(Node);
}

// ---------------------------------------------------------------------------
// Node properties
// ---------------------------------------------------------------------------

bool TBaseLazyTree::GetChildrenInitialized(PLazyNode Node) const {
    if (!Node) Node = FRoot;
    return !(Node->States.Contains(vsHasChildren) && Node->ChildCount == 0);
}

bool TBaseLazyTree::GetDisabled(PLazyNode Node) const { return Node && Node->States.Contains(vsDisabled); }

void TBaseLazyTree::SetDisabled(PLazyNode Node, bool Value) {
    if (!Node || Node->States.Contains(vsDisabled) == Value) return;
    if (Value) Node->States.Include(vsDisabled);
    else Node->States.Exclude(vsDisabled);
    if (FUpdateCount == 0) InvalidateNode(Node);
}

bool TBaseLazyTree::GetMultiline(PLazyNode Node) const {
    return Node && Node != FRoot && Node->States.Contains(vsMultiline);
}

void TBaseLazyTree::SetMultiline(PLazyNode Node, bool Value) {
    if (!Node || Node == FRoot || Node->States.Contains(vsMultiline) == Value) return;
    if (Value) Node->States.Include(vsMultiline);
    else Node->States.Exclude(vsMultiline);
    if (FUpdateCount == 0) InvalidateNode(Node);
}

bool TBaseLazyTree::GetExpanded(PLazyNode Node) const { return Node && Node->States.Contains(vsExpanded); }

void TBaseLazyTree::SetExpanded(PLazyNode Node, bool Value) {
    if (!Node || Node == FRoot) return;
    if (Node->States.Contains(vsExpanded) != Value) ToggleNode(Node);
}

bool TBaseLazyTree::GetHasChildren(PLazyNode Node) const {
    if (!Node) Node = FRoot;
    return Node->States.Contains(vsHasChildren);
}

void TBaseLazyTree::SetHasChildren(PLazyNode Node, bool Value) {
    if (!Node || IsReadOnly()) return;
    if (Value) {
        Node->States.Include(vsHasChildren);
    } else {
        Node->States.Exclude(vsHasChildren);
        DeleteChildren(Node, false);
    }
}

PLazyNode TBaseLazyTree::GetNodeParent(PLazyNode Node) const {
    if (!Node || Node == FRoot || Node->Parent == FRoot) return nullptr;
    return Node->Parent;
}

void TBaseLazyTree::SetNodeParent(PLazyNode Node, PLazyNode Value) {
    if (Node && Value && Value != Node->Parent) MoveTo(Node, Value, amAddChildLast, false);
}

bool TBaseLazyTree::GetSelected(PLazyNode Node) const { return Node && Node->States.Contains(vsSelected); }

uint8_t TBaseLazyTree::GetVerticalAlignment(PLazyNode Node) const { return Node ? Node->Align : 50; }

void TBaseLazyTree::SetVerticalAlignment(PLazyNode Node, uint8_t Value) {
    if (!Node) return;
    if (Value > 100) Value = 100;
    if (Node->Align == Value) return;
    Node->Align = Value;
    if (GetFullyVisible(Node) && !GetEffectivelyFiltered(Node)) InvalidateNode(Node);
}

bool TBaseLazyTree::GetEffectivelyFiltered(PLazyNode Node) const {
    return Node && Node->States.Contains(vsFiltered) && !FOptions->PaintOptions().Contains(toShowFilteredNodes);
}

bool TBaseLazyTree::GetEffectivelyVisible(PLazyNode Node) const {
    return Node->States.Contains(vsVisible) && !GetEffectivelyFiltered(Node);
}

bool TBaseLazyTree::GetVisible(PLazyNode Node) {
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    return Node->States.Contains(vsVisible);
}

bool TBaseLazyTree::GetVisiblePath(PLazyNode Node) const {
    LTAssert(Node && Node != FRoot, QStringLiteral("Invalid parameters."));
    for (PLazyNode run = Node->Parent; run != FRoot; run = run->Parent)
        if (!run->States.ContainsAll({vsExpanded, vsVisible})) return false;
    return true;
}

bool TBaseLazyTree::GetFullyVisible(PLazyNode Node) const {
    LTAssert(Node != nullptr, QStringLiteral("Invalid parameter."));
    if (Node == FRoot) return Node->States.Contains(vsVisible);
    return Node->States.Contains(vsVisible) && GetVisiblePath(Node);
}

void TBaseLazyTree::SetVisible(PLazyNode Node, bool Value) {
    LTAssert(Node && Node != FRoot, QStringLiteral("Invalid parameter."));
    if (Node->States.Contains(vsVisible) == Value) return;
    StopCacheValidation();
    const uint32_t oldCount = FVisibleCount;
    PLazyNode parent = Node->Parent;
    if (Value) {
        Node->States.Include(vsVisible);
        if (parent->States.Contains(vsExpanded)) ShiftTotalHeight(parent, Node->TotalHeight, true);
        if (GetVisiblePath(Node))
            FVisibleCount += VisibleDescendantCount(Node) + (GetEffectivelyVisible(Node) ? 1 : 0);
        if (!GetEffectivelyFiltered(Node)) parent->States.Exclude(vsAllChildrenHidden);
    } else {
        if (parent->States.Contains(vsExpanded)) ShiftTotalHeight(parent, -int64_t(Node->TotalHeight), true);
        if (GetVisiblePath(Node)) {
            const int64_t drop = int64_t(VisibleDescendantCount(Node)) + (GetEffectivelyVisible(Node) ? 1 : 0);
            FVisibleCount = uint32_t(std::max<int64_t>(0, int64_t(FVisibleCount) - drop));
        }
        Node->States.Exclude(vsVisible);
        if (FUpdateCount > 0) SwitchStates({tsUpdateHiddenChildrenNeeded}, {});
        else RefreshAllChildrenHidden(parent);
    }
    InvalidatePositionCache();
    if (FVisibleCount != oldCount && FUpdateCount == 0) {
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateTree();
    }
}

void TBaseLazyTree::SetFullyVisible(PLazyNode Node, bool Value) {
    LTAssert(Node && Node != FRoot, QStringLiteral("Invalid parameter"));
    SetVisible(Node, Value);
    if (!Value) return;
    for (PLazyNode run = Node->Parent; run != FRoot; run = run->Parent) {
        if (!run->States.Contains(vsExpanded)) ToggleNode(run);
        if (!run->States.Contains(vsVisible)) SetVisible(run, true);
    }
}

void TBaseLazyTree::SetVisiblePath(PLazyNode Node, bool Value) {
    LTAssert(Node && Node != FRoot, QStringLiteral("Invalid parameter."));
    if (!Value) return;
    for (PLazyNode run = Node->Parent; run != FRoot; run = run->Parent)
        if (!run->States.Contains(vsExpanded)) ToggleNode(run);
}

bool TBaseLazyTree::GetFiltered(PLazyNode Node) const { return Node && Node->States.Contains(vsFiltered); }

void TBaseLazyTree::SetFiltered(PLazyNode Node, bool Value) {
    LTAssert(Node && Node != FRoot, QStringLiteral("Invalid parameter."));
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    if (Node->States.Contains(vsFiltered) == Value) return;
    StopCacheValidation();
    const uint32_t oldCount = FVisibleCount;
    const bool showFiltered = FOptions->PaintOptions().Contains(toShowFilteredNodes);
    if (Value) {
        Node->States.Include(vsFiltered);
        if (!showFiltered) {
            if (Node->States.Contains(vsInitializing) && !Node->States.Contains(vsHasChildren))
                ShiftTotalHeight(Node, 0, false);
            else
                ShiftTotalHeight(Node, -int64_t(GetNodeHeight(Node)), true);
            if (GetFullyVisible(Node) && FVisibleCount > 0) --FVisibleCount;
            if (FUpdateCount > 0) SwitchStates({tsUpdateHiddenChildrenNeeded}, {});
            else RefreshAllChildrenHidden(Node->Parent);
        }
    } else {
        Node->States.Exclude(vsFiltered);
        if (!showFiltered) {
            ShiftTotalHeight(Node, GetNodeHeight(Node), true);
            if (GetFullyVisible(Node)) ++FVisibleCount;
        }
        if (Node->States.Contains(vsVisible)) Node->Parent->States.Exclude(vsAllChildrenHidden);
    }
    InvalidatePositionCache();
    if (FVisibleCount != oldCount && FUpdateCount == 0) {
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateTree();
    }
}

uint32_t TBaseLazyTree::GetNodeHeight(PLazyNode Node) {
    if (!Node || Node == FRoot) return 0;
    if (FOptions->MiscOptions().Contains(toVariableNodeHeight) && !Node->States.Contains(vsDeleting)) {
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        if (!Node->States.Contains(vsHeightMeasured)) MeasureItemHeight(Node);
    }
    return Node->NodeHeight;
}

void TBaseLazyTree::SetNodeHeight(PLazyNode Node, uint32_t Value) {
    if (!Node || Node == FRoot || IsReadOnly()) return;
    Value &= 0xFFFF;
    if (Node->NodeHeight == Value) return;
    // The worker reads heights: it lets go of this tree first.
    StopCacheValidation();
    const int64_t diff = int64_t(Value) - int64_t(Node->NodeHeight);
    Node->NodeHeight = uint16_t(Value);
    if (GetEffectivelyFiltered(Node)) return;
    ShiftTotalHeight(Node, diff, true);
    PlaceEditor();
    InvalidatePositionCache();
    if (!FStates.ContainsAny({tsValidating, tsPainting, tsSizing}) && GetFullyVisible(Node) && FUpdateCount == 0) {
        StartCacheValidation();
        InvalidateToBottom(Node);
        UpdateScrollBars(true);
    }
}

TBaseLazyTree::TNodeVerticalPosition TBaseLazyTree::VerticalPosition(PLazyNode Node, int NodeHeight,
                                                                     int NormalImageHeight, int StateImageHeight,
                                                                     int ButtonHeight) const {
    const int align = Node ? Node->Align : 50;
    const int B = ButtonHeight;
    int vAlign;
    switch (FNodeAlignment) {
    case naFromBottom:
        vAlign = NodeHeight - align;
        break;
    case naFromTop:
        vAlign = align;
        break;
    default:
        if (NormalImageHeight > 0)
            vAlign = MulDiv(NodeHeight - NormalImageHeight, align, 100) + NormalImageHeight / 2;
        else if (StateImageHeight > 0)
            vAlign = MulDiv(NodeHeight - StateImageHeight, align, 100) + StateImageHeight / 2;
        else if (FOptions->PaintOptions().Contains(toShowButtons))
            vAlign = MulDiv(NodeHeight - B, align, 100) + B / 2;
        else
            vAlign = MulDiv(NodeHeight, align, 100);
        break;
    }
    return {vAlign, vAlign - B / 2 - (B % 2)};
}

// ---------------------------------------------------------------------------
// Tree classes
// ---------------------------------------------------------------------------

TLazyDrawTree::TLazyDrawTree(TComponent* AOwner) : TCustomLazyDrawTree(AOwner) { FOptions = TLazyDrawTree::MakeOptions(); }

std::unique_ptr<TCustomLazyTreeOptions> TLazyDrawTree::MakeOptions() {
    return std::make_unique<TLazyTreeOptions>(this);
}
