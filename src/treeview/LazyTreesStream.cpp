// The tree stream (writer and a reader that does not trust its input),
// sorting the sibling lists, copying and moving nodes.
#include "treeview/LazyTrees.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

namespace {
constexpr uint16_t StreamMagic1 = 0x2045, StreamMagic2 = 0x0056, StreamMagic3 = 0x0054, StreamVersion = 2,
                   StreamWord4 = 0x0020, StreamMagic4 = 0x2046;
// Chunk types; type 3 (a caption) is the string tree's.
constexpr int32_t NodeChunk = 1, BaseChunk = 2, UserChunk = 4;
constexpr int BaseRecordSize = 19, OldBaseRecordSize = 12;
constexpr int ChunkHeaderSize = 8;
// Nesting deeper than this is taken for a damaged stream: reading (and later
// freeing) a subtree recurses once per level.
constexpr uint32_t MaxStreamDepth = 2048;

// The states a stream may carry; transient and ownership states never come
// from outside.
const TLazyNodeStates ReadableStates = {vsInitialized, vsDisabled, vsExpanded, vsHasChildren, vsVisible,
                                        vsSelected, vsAllChildrenHidden, vsMultiline, vsFiltered};
const TLazyNodeStates UnsavedStates = {vsChecking, vsCutOrCopy, vsDeleting, vsOnFreeNodeCallRequired,
                                       vsHeightMeasured};

[[noreturn]] void StreamError(const char* msg, int help) { throw ELazyTreeError(QString::fromLatin1(msg), help); }
[[noreturn]] void CorruptNode() {
    StreamError("Stream data corrupt. Unexpected data after node's end position.", hcTFCorruptStream2);
}

void WriteU32(TStream* s, uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    s->WriteBuffer(b, 4);
}
void WriteI32(TStream* s, int32_t v) { WriteU32(s, uint32_t(v)); }
uint32_t GetU32(const uint8_t* b) { return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24; }
uint32_t ReadU32(TStream* s) {
    uint8_t b[4];
    s->ReadBuffer(b, 4);
    return GetU32(b);
}
struct TChunkHeader {
    int32_t Type;
    int32_t Size;
};
TChunkHeader ReadChunkHeader(TStream* s) {
    uint8_t b[8];
    s->ReadBuffer(b, 8);
    return {int32_t(GetU32(b)), int32_t(GetU32(b + 4))};
}

// Restores a saved value when the scope ends.
template <class T>
struct TRestore {
    T& Ref;
    T Saved;
    explicit TRestore(T& r) : Ref(r), Saved(r) {}
    ~TRestore() { Ref = Saved; }
};
}  // namespace

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

void TBaseLazyTree::SaveToStream(TStream* Stream, PLazyNode Node) {
    const uint16_t header[6] = {StreamMagic1, StreamMagic2, StreamMagic3, StreamVersion, StreamWord4, StreamMagic4};
    uint8_t bytes[12];
    for (int i = 0; i < 6; ++i) {
        bytes[2 * i] = uint8_t(header[i]);
        bytes[2 * i + 1] = uint8_t(header[i] >> 8);
    }
    Stream->WriteBuffer(bytes, 12);
    if (Node && Node != FRoot) {
        WriteU32(Stream, 1);
        WriteStreamNode(Stream, Node);
    } else {
        WriteU32(Stream, FRoot->ChildCount);
        for (PLazyNode run = FRoot->FirstChild; run; run = run->NextSibling) WriteStreamNode(Stream, run);
    }
    if (OnSaveTree) OnSaveTree(this, Stream);
}

void TBaseLazyTree::SaveToFile(const QString& FileName) {
    // Built in memory and written whole, so a failure leaves no half file.
    TMemoryStream stream;
    SaveToStream(&stream, nullptr);
    stream.SaveToFile(FileName);
}

void TBaseLazyTree::WriteStreamNode(TStream* Stream, PLazyNode Node) {
    if (FOptions->MiscOptions().Contains(toInitOnSave)) {
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitializeChildren(Node);
    }
    const int64_t start = Stream->Position();
    WriteI32(Stream, NodeChunk);
    WriteI32(Stream, 0);
    WriteStreamChunks(Stream, Node);
    CloseChunk(Stream, start, Stream->Position());
}

void TBaseLazyTree::WriteStreamChunks(TStream* Stream, PLazyNode Node) {
    int64_t start = Stream->Position();
    WriteI32(Stream, BaseChunk);
    WriteI32(Stream, 0);
    uint8_t record[BaseRecordSize] = {};
    auto put = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) record[at + i] = uint8_t(v >> (8 * i));
    };
    put(0, Node->ChildCount);
    put(4, Node->NodeHeight);
    put(8, (Node->States - UnsavedStates).Bits());
    record[12] = Node->Align;
    record[13] = uint8_t(Node->CheckState);
    record[14] = uint8_t(Node->CheckType);
    Stream->WriteBuffer(record, BaseRecordSize);
    if (Node->States.Contains(vsInitialized))
        for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) WriteStreamNode(Stream, child);
    CloseChunk(Stream, start, Stream->Position());

    start = Stream->Position();
    WriteI32(Stream, UserChunk);
    WriteI32(Stream, 0);
    FireSaveNode(Node, Stream);
    if (Stream->Position() == start + ChunkHeaderSize) {
        // Nothing was written: the empty chunk goes again.
        Stream->SetSize(start);
        Stream->SetPosition(start);
    } else {
        CloseChunk(Stream, start, Stream->Position());
    }
}

void TBaseLazyTree::CloseChunk(TStream* Stream, int64_t StartPos, int64_t EndPos) {
    Stream->SetPosition(StartPos + 4);
    WriteI32(Stream, int32_t(EndPos - StartPos - ChunkHeaderSize));
    Stream->SetPosition(EndPos);
}

void TBaseLazyTree::FireSaveNode(PLazyNode Node, TStream* Stream) {
    if (OnSaveNode) OnSaveNode(this, Node == FRoot ? nullptr : Node, Stream);
}

void TBaseLazyTree::FireLoadNode(PLazyNode Node, TStream* Stream) {
    if (OnLoadNode) OnLoadNode(this, Node == FRoot ? nullptr : Node, Stream);
}

void TBaseLazyTree::FireNodeCopied(PLazyNode Node) {
    if (OnNodeCopied) OnNodeCopied(this, Node);
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

namespace {
struct TStreamHeader {
    bool Complete = false;
    uint16_t Words[6] = {};
};
TStreamHeader ReadHeader(TStream* Stream) {
    TStreamHeader h;
    uint8_t b[12];
    h.Complete = Stream->Read(b, 12) == 12;
    for (int i = 0; i < 6; ++i) h.Words[i] = uint16_t(b[2 * i] | (b[2 * i + 1] << 8));
    return h;
}
bool MagicOk(const TStreamHeader& h) {
    return h.Words[0] == StreamMagic1 && h.Words[1] == StreamMagic2 && h.Words[2] == StreamMagic3 &&
           h.Words[5] == StreamMagic4;
}
}  // namespace

void TBaseLazyTree::LoadFromStream(TStream* Stream) {
    if (IsReadOnly()) return;
    // The header is checked before anything is dropped: a file that is not
    // a tree stream leaves the tree as it was.
    const TStreamHeader h = ReadHeader(Stream);
    if (!h.Complete) StreamError("Unable to load tree structure, not enough data available.", hcTFStreamTooSmall);
    if (!MagicOk(h)) StreamError("Unable to load tree structure, the format is wrong.", hcTFWrongStreamFormat);
    if (h.Words[3] > StreamVersion)
        StreamError("Unable to load tree structure, the version is unknown.", hcTFWrongStreamVersion);
    Clear();
    BeginUpdate();
    try {
        int64_t count = 2147483647;
        if (h.Words[3] >= 2) count = ReadU32(Stream);
        ReadNodeChunks(Stream, h.Words[3], FRoot, count);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    FireNodeCopied(nullptr);
    if (OnLoadTree) OnLoadTree(this, Stream);
}

void TBaseLazyTree::LoadFromFile(const QString& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TBaseLazyTree::AddFromStream(TStream* Stream, PLazyNode TargetNode) {
    if (IsReadOnly()) return;
    LTAssert(TargetNode != nullptr, QStringLiteral("Node must not be nil."));
    uint8_t b[12];
    Stream->ReadBuffer(b, 12);
    TStreamHeader h;
    for (int i = 0; i < 6; ++i) h.Words[i] = uint16_t(b[2 * i] | (b[2 * i + 1] << 8));
    if (!MagicOk(h) || h.Words[3] > StreamVersion)
        StreamError("Unable to load tree structure, the version is unknown.", hcTFWrongStreamVersion);
    BeginUpdate();
    try {
        int64_t count = 2147483647;
        if (h.Words[3] >= 2) count = ReadU32(Stream);
        ReadNodeChunks(Stream, h.Words[3], TargetNode, count);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    FireNodeCopied(TargetNode == FRoot ? nullptr : TargetNode);
}

void TBaseLazyTree::ReadNodeChunks(TStream* Stream, int Version, PLazyNode Target, int64_t Count) {
    TRestore<int64_t> limit(FReadLimit);
    const int64_t size = Stream->Size();
    while (Stream->Position() < size && Count-- > 0) {
        // Look at the chunk before making a node for it.
        const int64_t pos = Stream->Position();
        const TChunkHeader header = ReadChunkHeader(Stream);
        if (header.Type != NodeChunk)
            StreamError("Stream data corrupt. A node's anchor chunk is missing.", hcTFCorruptStream1);
        if (header.Size < 0 || pos + ChunkHeaderSize + int64_t(header.Size) > size) CorruptNode();
        Stream->SetPosition(pos);
        FReadLimit = size;
        PLazyNode node = AllocateNode();
        LinkNode(node, Target, amAddChildLast, this);
        ReadSubtree(Stream, Version, node);
    }
}

void TBaseLazyTree::ReadSubtree(TStream* Stream, int Version, PLazyNode Node) {
    LTAssert(Node != FRoot, QStringLiteral("The root node cannot be loaded from stream."));
    if (FReadLimit <= 0) FReadLimit = Stream->Size();
    PLazyNode parent = Node->Parent;
    const bool parentShows = parent->States.Contains(vsExpanded);
    const int64_t heightBefore = Node->States.Contains(vsVisible) && parentShows ? Node->TotalHeight : 0;
    const bool wasShown = GetFullyVisible(Node) && !GetEffectivelyFiltered(Node);

    // Whatever happened while reading, the counters of the part that was
    // read are made right again.
    auto settle = [&] {
        RecountTotals(Node);
        ShiftTotalCount(parent, int64_t(Node->TotalCount) - 1, true);
        // Heights from the bottom up: own height unless filtered out, plus the
        // shown children of an expanded node.
        std::function<void(PLazyNode)> heights = [&](PLazyNode n) {
            uint64_t h = GetEffectivelyFiltered(n) ? 0 : n->NodeHeight;
            for (PLazyNode c = n->FirstChild; c; c = c->NextSibling) {
                heights(c);
                if (n->States.Contains(vsExpanded) && c->States.Contains(vsVisible)) h += c->TotalHeight;
            }
            n->TotalHeight = uint32_t(h);
        };
        heights(Node);
        const int64_t heightAfter = Node->States.Contains(vsVisible) && parentShows ? Node->TotalHeight : 0;
        if (heightAfter != heightBefore) ShiftTotalHeight(parent, heightAfter - heightBefore, true);
        const bool nowShown = GetFullyVisible(Node);
        const int64_t after =
            nowShown ? int64_t(VisibleDescendantCount(Node)) + (GetEffectivelyVisible(Node) ? 1 : 0) : 0;
        const int64_t before = wasShown ? 1 : 0;
        FVisibleCount = uint32_t(std::max<int64_t>(0, int64_t(FVisibleCount) + after - before));
        ResetTempCache();
        // The selection takes over what the stream marked selected.
        const bool multi = FOptions->SelectionOptions().Contains(toMultiSelect);
        PLazyNode stop = NextOutsideSubtree(Node);
        for (PLazyNode run = Node; run && run != stop; run = GetNextNoInit(run, false)) {
            if (!run->States.Contains(vsSelected)) continue;
            int index = 0;
            if (!multi) run->States.Exclude(vsSelected);
            else if (!LocateInSelection(run, index)) StageForSelection(run);
        }
        if (FTempNodeCount > 0) MergeIntoSelection(FTempNodeCache, int(FTempNodeCount), true);
        ResetTempCache();
    };
    try {
        ReadStreamNode(Stream, Version, Node);
    } catch (...) {
        settle();
        throw;
    }
    settle();
}

void TBaseLazyTree::ReadStreamNode(TStream* Stream, int Version, PLazyNode Node) {
    const int64_t enclosing = FReadLimit > 0 ? FReadLimit : Stream->Size();
    const TChunkHeader header = ReadChunkHeader(Stream);
    if (header.Type != NodeChunk)
        StreamError("Stream data corrupt. A node's anchor chunk is missing.", hcTFCorruptStream1);
    const int64_t end = Stream->Position() + int64_t(header.Size);
    if (header.Size < 0 || end > enclosing || end > Stream->Size()) CorruptNode();
    if (FReadDepth >= MaxStreamDepth) CorruptNode();
    TRestore<int64_t> limit(FReadLimit);
    TRestore<uint32_t> depth(FReadDepth);
    ++FReadDepth;
    while (Stream->Position() < end) {
        const TChunkHeader chunk = ReadChunkHeader(Stream);
        if (chunk.Size < 0 || Stream->Position() + int64_t(chunk.Size) > end) CorruptNode();
        FReadLimit = end;
        ReadStreamChunk(Stream, Version, chunk.Size, chunk.Type, Node);
    }
    if (Stream->Position() != end) CorruptNode();
}

bool TBaseLazyTree::ReadStreamChunk(TStream* Stream, int Version, int32_t ChunkSize, int32_t ChunkType,
                                    PLazyNode Node) {
    const int64_t chunkEnd = Stream->Position() + ChunkSize;
    switch (ChunkType) {
    case BaseChunk: {
        const int recordSize = Version >= 2 ? BaseRecordSize : OldBaseRecordSize;
        if (ChunkSize < recordSize) CorruptNode();
        uint8_t record[BaseRecordSize] = {};
        Stream->ReadBuffer(record, recordSize);
        const uint32_t childCount = GetU32(record);
        const uint32_t height = GetU32(record + 4);
        TLazyNodeStates states;
        uint8_t align, checkState, checkType;
        if (Version >= 2) {
            states = TLazyNodeStates::FromBits(GetU32(record + 8));
            align = record[12];
            checkState = record[13];
            checkType = record[14];
        } else {
            const uint8_t b = record[8];
            states = TLazyNodeStates::FromBits(b);
            states.Include((b & 0x80) ? vsSelected : vsVisible);
            align = record[9];
            checkState = record[10];
            checkType = record[11];
        }
        if (checkState > csMixedDisabled || checkType > ctButton) CorruptNode();
        // Every child needs at least its chunk headers and a base record.
        const int64_t perChild = 2 * ChunkHeaderSize + recordSize;
        if (int64_t(childCount) * perChild > chunkEnd - Stream->Position()) CorruptNode();
        if (childCount > 0 && FReadDepth >= MaxStreamDepth) CorruptNode();
        Node->States = states * ReadableStates;
        Node->NodeHeight = uint16_t(height);
        Node->TotalHeight = height;
        Node->Align = std::min<uint8_t>(align, 100);
        Node->CheckState = TCheckState(checkState);
        Node->CheckType = TCheckType(checkType);
        // Children are counted as they are linked, so that a stream that is
        // cut short (or names a base chunk twice) leaves count and links
        // agreeing.
        TRestore<int64_t> limit(FReadLimit);
        for (uint32_t i = 0; i < childCount; ++i) {
            PLazyNode child = AllocateNode();
            child->Parent = Node;
            child->PrevSibling = Node->LastChild;
            child->Index = Node->LastChild ? Node->LastChild->Index + 1 : 0;
            if (Node->LastChild) Node->LastChild->NextSibling = child;
            else Node->FirstChild = child;
            Node->LastChild = child;
            ++Node->ChildCount;
            FReadLimit = chunkEnd;
            ReadStreamNode(Stream, Version, child);
        }
        if (childCount > 0) Node->States.Include(vsHasChildren);
        return true;
    }
    case UserChunk: {
        if (ChunkSize <= 0) return true;
        const int64_t before = Stream->Position();
        FireLoadNode(Node, Stream);
        const bool moved = Stream->Position() > before;
        if (Stream->Position() != chunkEnd) Stream->SetPosition(chunkEnd);
        return moved;
    }
    default:
        Stream->SetPosition(chunkEnd);
        return false;
    }
}

// ---------------------------------------------------------------------------
// Sorting
// ---------------------------------------------------------------------------

int TBaseLazyTree::FireCompareNodes(PLazyNode Node1, PLazyNode Node2, TColumnIndex Column) {
    int result = 0;
    if (OnCompareNodes) OnCompareNodes(this, Node1, Node2, Column, result);
    return result;
}

PLazyNode TBaseLazyTree::MergeSiblingLists(PLazyNode A, PLazyNode B, TColumnIndex Column, TSortDirection Direction) {
    TLazyNode head{};
    PLazyNode tail = &head;
    while (A && B) {
        const int r = OperationCanceled() ? 0 : FireCompareNodes(A, B, Column);
        const bool takeB = Direction == sdAscending ? r > 0 : r < 0;
        if (takeB) {
            tail->NextSibling = B;
            B = B->NextSibling;
        } else {
            tail->NextSibling = A;
            A = A->NextSibling;
        }
        tail = tail->NextSibling;
    }
    tail->NextSibling = A ? A : B;
    return head.NextSibling;
}

PLazyNode TBaseLazyTree::MergeSortChildren(PLazyNode List, uint32_t Count, TColumnIndex Column,
                                           TSortDirection Direction) {
    // Splits the list by counting, sorts both halves and merges them; only
    // NextSibling links are used until the caller repairs the rest.
    if (Count <= 1) {
        if (List) List->NextSibling = nullptr;
        return List;
    }
    const uint32_t left = Count / 2;
    PLazyNode second = List;
    for (uint32_t i = 0; i < left; ++i) second = second->NextSibling;
    PLazyNode a = MergeSortChildren(List, left, Column, Direction);
    PLazyNode b = MergeSortChildren(second, Count - left, Column, Direction);
    return MergeSiblingLists(a, b, Column, Direction);
}

void TBaseLazyTree::Sort(PLazyNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit) {
    StopCacheValidation();
    if (FStates.Contains(tsEditPending)) {
        CancelEditPending();
        SwitchStates({}, {tsEditPending});
    }
    if (FStates.Contains(tsEditing) && !EndEditNode()) return;
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsHasChildren)) return;
    if (DoInit) {
        if (Node->ChildCount == 0) InitializeChildren(Node);
        ValidateChildren(Node, false);
    }
    if (Node->ChildCount > 1) {
        OpenOperation(okSortNode);
        try {
            PLazyNode head = MergeSortChildren(Node->FirstChild, Node->ChildCount, Column, Direction);
            PLazyNode prev = nullptr;
            uint32_t index = 0;
            for (PLazyNode run = head; run; run = run->NextSibling) {
                run->PrevSibling = prev;
                run->Index = index++;
                prev = run;
            }
            Node->FirstChild = head;
            Node->LastChild = prev;
        } catch (...) {
            CloseOperation(okSortNode);
            throw;
        }
        CloseOperation(okSortNode);
        InvalidatePositionCache();
    }
    if (FUpdateCount == 0) {
        StartCacheValidation();
        InvalidateTree();
    }
}

void TBaseLazyTree::SortSubtreeRecursive(PLazyNode Node, TColumnIndex Column, TSortDirection Direction,
                                         bool DoInit) {
    Sort(Node, Column, Direction, DoInit);
    const bool autoSort = FOptions->AutoOptions().Contains(toAutoSort);
    for (PLazyNode child = Node->FirstChild; child && !OperationCanceled(); child = child->NextSibling) {
        if (DoInit && !child->States.Contains(vsInitialized)) InitializeNode(child);
        if (!child->States.Contains(vsInitialized)) continue;
        if (autoSort && !child->States.Contains(vsExpanded)) continue;
        SortSubtreeRecursive(child, Column, Direction, DoInit);
    }
}

void TBaseLazyTree::SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit) {
    if (FRoot->TotalCount < 3) return;
    ++FUpdateCount;
    auto finish = [this] {
        InvalidatePositionCache();
        if (FUpdateCount > 0) --FUpdateCount;
        if (FUpdateCount == 0) {
            StartCacheValidation();
            InvalidateTree();
        }
    };
    try {
        if (Column >= NoColumn) {
            OpenOperation(okSortTree);
            try {
                SortSubtreeRecursive(FRoot, Column, Direction, DoInit);
            } catch (...) {
                CloseOperation(okSortTree);
                throw;
            }
            CloseOperation(okSortTree);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

// ---------------------------------------------------------------------------
// Copying and moving
// ---------------------------------------------------------------------------

bool TBaseLazyTree::FireNodeCopying(PLazyNode Node, PLazyNode Target) {
    bool allowed = true;
    if (OnNodeCopying) OnNodeCopying(this, Node, Target, allowed);
    return allowed;
}

bool TBaseLazyTree::FireNodeMoving(PLazyNode Node, PLazyNode Target) {
    bool allowed = true;
    if (OnNodeMoving) OnNodeMoving(this, Node, Target, allowed);
    return allowed;
}

void TBaseLazyTree::FireNodeMoved(PLazyNode Node) {
    if (OnNodeMoved) OnNodeMoved(this, Node);
}

void TBaseLazyTree::CopyNodes(PLazyNode Source, PLazyNode Target, TBaseLazyTree* TargetTree, TLTNodeAttachMode Mode,
                              bool ChildrenOnly, bool Move, PLazyNode& LastNode) {
    TMemoryStream stream;
    int chunks = 0;
    if (ChildrenOnly) {
        for (PLazyNode child = Source->FirstChild; child; child = child->NextSibling, ++chunks)
            WriteStreamNode(&stream, child);
    } else {
        WriteStreamNode(&stream, Source);
        chunks = 1;
    }
    stream.SetPosition(0);
    PLazyNode hiddenTarget = Target;
    LastNode = nullptr;
    TargetTree->BeginUpdate();
    try {
        for (int i = 0; i < chunks; ++i) {
            PLazyNode node = TargetTree->AllocateNode();
            LinkNode(node, Target, Mode, TargetTree);
            TargetTree->FReadLimit = stream.Size();
            TargetTree->ReadSubtree(&stream, 2, node);
            if (Move) {
                FireNodeMoved(node);
            } else if (!FireNodeCopying(node, hiddenTarget)) {
                TargetTree->DeleteNode(node);
                LastNode = nullptr;
                continue;
            } else {
                FireNodeCopied(node);
            }
            LastNode = node;
            // Further chunks follow this one, so the copies keep their order.
            if (Mode == amInsertAfter || Mode == amAddChildFirst) {
                Target = node;
                Mode = amInsertAfter;
            }
        }
    } catch (...) {
        TargetTree->EndUpdate();
        throw;
    }
    TargetTree->EndUpdate();
}

PLazyNode TBaseLazyTree::CopyTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly) {
    LTAssert(OwnerTreeOf(Source) == this, QStringLiteral("The source tree must contain the source node."));
    if (Mode == amNoWhere || Source == FRoot) return nullptr;
    TBaseLazyTree* targetTree;
    if (Target) {
        targetTree = OwnerTreeOf(Target);
    } else {
        targetTree = this;
        Target = FRoot;
        Mode = amAddChildFirst;
    }
    if (targetTree->IsReadOnly()) return nullptr;
    if (Target == targetTree->FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        else if (Mode == amInsertAfter) Mode = amAddChildLast;
    }
    PLazyNode last = nullptr;
    CopyNodes(Source, Target, targetTree, Mode, ChildrenOnly, false, last);
    targetTree->InvalidatePositionCache();
    if (targetTree->FUpdateCount == 0) {
        targetTree->StartCacheValidation();
        targetTree->UpdateScrollBars(true);
        targetTree->InvalidateTree();
    }
    targetTree->RequestStructureChange(ChildrenOnly ? nullptr : Source, crNodeCopied);
    return ChildrenOnly ? Target : last;
}

PLazyNode TBaseLazyTree::CopyTo(PLazyNode Source, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly) {
    return CopyTo(Source, Tree->FRoot, Mode, ChildrenOnly);
}

void TBaseLazyTree::MoveTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly) {
    LTAssert(OwnerTreeOf(Source) == this, QStringLiteral("The source tree must contain the source node."));
    if ((Target == Source && !(ChildrenOnly && (Mode == amInsertBefore || Mode == amInsertAfter))) ||
        Mode == amNoWhere || Source == FRoot || IsReadOnly())
        return;
    TBaseLazyTree* targetTree;
    if (!Target) {
        targetTree = this;
        Target = FRoot;
        Mode = amAddChildFirst;
    } else {
        targetTree = OwnerTreeOf(Target);
    }
    if (Target == targetTree->FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        else if (Mode == amInsertAfter) Mode = amAddChildLast;
    } else if (!Target->States.Contains(vsInitialized)) {
        targetTree->InitializeNode(Target);
    } else if (Target->States.Contains(vsHasChildren) && Target->ChildCount == 0) {
        targetTree->InitializeChildren(Target);
    }
    bool allowed = false;
    PLazyNode announced = nullptr;
    if (targetTree == this) {
        allowed = FireNodeMoving(Source, Target == FRoot ? nullptr : Target);
        if (allowed) {
            if (HasAsParent(Target, Source))
                throw ELazyTreeError(QStringLiteral("Target node cannot be a child node of the node to be moved."),
                                     hcTFWrongMoveError);
            if (!ChildrenOnly) {
                UnlinkNode(Source, true, false, true);
                LinkNode(Source, Target, Mode, this);
                FireNodeMoved(Source);
                announced = Source;
            } else {
                const bool backwards = Mode == amAddChildFirst || Mode == amInsertAfter;
                PLazyNode run = backwards ? Source->LastChild : Source->FirstChild;
                while (run) {
                    PLazyNode next = backwards ? run->PrevSibling : run->NextSibling;
                    UnlinkNode(run, true, false, false);
                    LinkNode(run, Target, Mode, this);
                    FireNodeMoved(run);
                    run = next;
                }
            }
        }
    } else if (!targetTree->IsReadOnly()) {
        // A read-only tree takes no nodes, moved or copied.
        allowed = FireNodeMoving(Source, Target == targetTree->FRoot ? nullptr : Target);
        if (allowed) {
            PLazyNode last = nullptr;
            CopyNodes(Source, Target, targetTree, Mode, ChildrenOnly, true, last);
            BeginUpdate();
            try {
                if (ChildrenOnly) DeleteChildren(Source, false);
                else DeleteNode(Source);
            } catch (...) {
                EndUpdate();
                throw;
            }
            EndUpdate();
        }
    }
    InvalidatePositionCache();
    if (FUpdateCount == 0 && allowed) {
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateTree();
        if (targetTree != this) targetTree->InvalidateTree();
    }
    if (allowed) RequestStructureChange(announced, crNodeMoved);
}

bool TBaseLazyTree::SameNodeLayout(const TBaseLazyTree* Other) const {
    if (!Other || typeid(*this) != typeid(*Other)) return false;
    // User data ends on an 8-byte boundary (see AllocateNode).
    const auto rounded = [](int size) { return size < 0 ? -1 : int((uint32_t(size) + 7u) & ~7u); };
    const int mine = rounded(FNodeDataSize), theirs = rounded(Other->FNodeDataSize);
    return mine >= 0 && mine == theirs && FTotalInternalDataSize == Other->FTotalInternalDataSize;
}

bool TBaseLazyTree::MoveNodeRecords(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode) {
    LTAssert(OwnerTreeOf(Source) == this, QStringLiteral("The source tree must contain the source node."));
    if (!Target || Mode == amNoWhere || Source == FRoot || IsReadOnly()) return false;
    TBaseLazyTree* targetTree = OwnerTreeOf(Target);
    if (targetTree == this || targetTree->IsReadOnly() || !SameNodeLayout(targetTree)) return false;
    if (Target == targetTree->FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        else if (Mode == amInsertAfter) Mode = amAddChildLast;
    } else if (!Target->States.Contains(vsInitialized)) {
        targetTree->InitializeNode(Target);
    } else if (Target->States.Contains(vsHasChildren) && Target->ChildCount == 0) {
        targetTree->InitializeChildren(Target);
    }
    if (!FireNodeMoving(Source, Target == targetTree->FRoot ? nullptr : Target)) return false;
    BeginUpdate();
    try {
        // An edit inside the subtree ends here; the focus leaves it properly.
        if (FFocusedNode && (FFocusedNode == Source || HasAsParent(FFocusedNode, Source))) {
            if (FStates.Contains(tsEditing)) DropEdit();
            const TColumnIndex oldColumn = FFocusedColumn;
            MoveFocus(nullptr, false);
            FireFocusChanged(FFocusedNode, oldColumn);
        }
        StopCacheValidation();
        // Every field of this tree that names a node of the subtree lets go of
        // it; the records carry no selection or cut mark into the other tree.
        for (PLazyNode run = Source;;) {
            if (run->States.Contains(vsSelected)) DetachFromSelection(run);
            run->States.Exclude(TLazyNodeStates{vsSelected, vsCutOrCopy});
            ForgetNode(run);
            if (run->FirstChild) {
                run = run->FirstChild;
                continue;
            }
            while (run != Source && !run->NextSibling) run = run->Parent;
            if (run == Source) break;
            run = run->NextSibling;
        }
        PLazyNode parent = Source->Parent;
        UnlinkNode(Source, true, false, true);
        RefreshAllChildrenHidden(parent);
        targetTree->BeginUpdate();
        try {
            LinkNode(Source, Target, Mode, targetTree);
        } catch (...) {
            targetTree->EndUpdate();
            throw;
        }
        targetTree->InvalidatePositionCache();
        targetTree->EndUpdate();
        FireNodeMoved(Source);
    } catch (...) {
        EndUpdate();
        throw;
    }
    InvalidatePositionCache();
    EndUpdate();
    if (FUpdateCount == 0) {
        StartCacheValidation();
        UpdateScrollBars(true);
        InvalidateTree();
    }
    if (targetTree->FUpdateCount == 0) {
        targetTree->StartCacheValidation();
        targetTree->UpdateScrollBars(true);
        targetTree->InvalidateTree();
    }
    RequestStructureChange(nullptr, crNodeMoved);
    targetTree->RequestStructureChange(Source, crNodeMoved);
    return true;
}

void TBaseLazyTree::MoveTo(PLazyNode Source, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly) {
    MoveTo(Source, Tree->FRoot, Mode, ChildrenOnly);
}
