// Cut, copy and paste through the clipboard, and reading tree data that
// comes from the clipboard or a drop.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesClipboard.h"
#include "treeview/LazyTreesDragDrop.h"

#include <QHash>

namespace {
struct TLiveTrees {
    QHash<uint32_t, TBaseLazyTree*> ById;
    uint32_t NextId = 1;
};
TLiveTrees& LiveTrees() {
    static TLiveTrees t;
    return t;
}

FORMATETC TreeDataRequest() {
    FORMATETC f;
    f.cfFormat = TreeClipboardFormats().TreeData;
    f.tymed = TYMED_HGLOBAL | TYMED_ISTREAM;
    return f;
}
}  // namespace

TLTExchangeState::~TLTExchangeState() {
    LiveTrees().ById.remove(Id);
    if (Watch) RemoveClipboardChangeHandler(Watch);
}

TLTExchangeState& TBaseLazyTree::Exchange() {
    if (!FExchange) {
        FExchange = std::make_shared<TLTExchangeState>();
        FExchange->Tree = this;
        TLiveTrees& live = LiveTrees();
        FExchange->Id = live.NextId++;
        live.ById.insert(FExchange->Id, this);
    }
    return *FExchange;
}

uint32_t TBaseLazyTree::ExchangeId() { return Exchange().Id; }

TBaseLazyTree* TBaseLazyTree::TreeOfExchangeId(uint32_t Id) { return LiveTrees().ById.value(Id, nullptr); }

TBaseLazyTree* TBaseLazyTree::SourceTreeOf(IDataObject* DataObject) {
    QByteArray block;
    if (!DataObject || TreeClipboardFormats().TreeReference == 0 ||
        !GetDataBytes(DataObject, TreeClipboardFormats().TreeReference, block))
        return nullptr;
    return TreeOfReference(block);
}

// ---------------------------------------------------------------------------
// Rendering

TFormatEtcArray TBaseLazyTree::CollectNativeFormats() {
    TFormatEtcArray formats;
    TClipboardFormatList::EnumerateFormats(this, formats, ClipboardFormats());
    FireGetUserClipboardFormats(formats);
    return formats;
}

void TBaseLazyTree::FireGetUserClipboardFormats(TFormatEtcArray& Formats) {
    if (OnGetUserClipboardFormats) OnGetUserClipboardFormats(this, Formats);
}

std::shared_ptr<IDataObject> TBaseLazyTree::FireCreateDataObject() {
    std::shared_ptr<IDataObject> obj;
    if (OnCreateDataObject) OnCreateDataObject(this, obj);
    return obj;
}

void TBaseLazyTree::FireRenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard,
                                      HRESULT& Result) {
    if (OnRenderOLEData) OnRenderOLEData(this, FormatEtcIn, Medium, ForClipboard, Result);
}

HRESULT TBaseLazyTree::RenderDataFormat(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) {
    Medium = STGMEDIUM();
    if (FormatEtcIn.cfFormat == TreeClipboardFormats().TreeData && FormatEtcIn.cfFormat != 0 &&
        (FormatEtcIn.tymed & (TYMED_HGLOBAL | TYMED_ISTREAM))) {
        const TNodeArray nodes = ForClipboard ? GetSortedCutCopySet(true) : GetSortedSelection(true);
        // The block is written in place: room for the byte count first, and
        // a guess of the size so that the stream seldom grows.
        TMemoryStream stream;
        int64_t guess = 4;
        for (PLazyNode n : nodes) guess += int64_t(n->TotalCount) * 96;
        stream.SetSize(guess);
        stream.SetPosition(4);
        for (PLazyNode n : nodes) WriteStreamNode(&stream, n);
        const int64_t end = stream.Position();
        if (end <= 4) return E_FAIL;
        stream.SetSize(end);
        const uint32_t count = uint32_t(end - 4);
        char* p = stream.Memory();
        for (int i = 0; i < 4; ++i) p[i] = char((count >> (8 * i)) & 0xFF);
        Medium.tymed = TYMED_HGLOBAL;
        Medium.hGlobal = stream.Bytes();
        return S_OK;
    }
    HRESULT result = E_FAIL;
    FireRenderOLEData(FormatEtcIn, Medium, ForClipboard, result);
    return result;
}

HRESULT TCustomLazyStringTree::RenderDataFormat(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium,
                                                bool ForClipboard) {
    const HRESULT base = TBaseLazyTree::RenderDataFormat(FormatEtcIn, Medium, ForClipboard);
    if (SUCCEEDED(base)) return base;
    try {
        const QByteArray block =
            ContentToClipboard(FormatEtcIn.cfFormat, ForClipboard ? tstCutCopySet : tstSelected);
        if (block.isEmpty()) return base;
        Medium.tymed = TYMED_HGLOBAL;
        Medium.hGlobal = block;
        return S_OK;
    } catch (...) {
        Medium = STGMEDIUM();
        return E_FAIL;
    }
}

// ---------------------------------------------------------------------------
// Cut, copy, paste

namespace {
// Every node of the tree, in order, without initializing any.
template <class F>
void WalkRaw(PLazyNode Root, F&& Step) {
    PLazyNode n = Root->FirstChild;
    while (n) {
        // Step answers whether to go into the node's children.
        PLazyNode after = n;
        while (after != Root && !after->NextSibling) after = after->Parent;
        PLazyNode next = after == Root ? nullptr : after->NextSibling;
        PLazyNode child = n->FirstChild;
        if (Step(n) && child) next = child;
        n = next;
    }
}
}  // namespace

void TBaseLazyTree::CancelCutOrCopy() {
    if (FStates.ContainsAny({tsCutPending, tsCopyPending})) {
        WalkRaw(FRoot, [](PLazyNode n) {
            n->States.Exclude(vsCutOrCopy);
            return true;
        });
        if (HandleAllocated()) Invalidate();
    }
    SwitchStates({}, {tsCutPending, tsCopyPending});
}

void TBaseLazyTree::FinishCutOrCopy() {
    if (!FStates.Contains(tsCutPending)) return;
    TNodeArray marked;
    WalkRaw(FRoot, [&](PLazyNode n) {
        if (!n->States.Contains(vsCutOrCopy)) return true;
        marked.append(n);
        return false;  // the subtree goes with it
    });
    BeginUpdate();
    try {
        for (PLazyNode n : marked) DeleteNode(n);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    SwitchStates({}, {tsCutPending});
}

namespace {
// Puts a tree's data object on the clipboard: the platform's clipboard takes
// every listed format at once, and the reference format, which the object
// serves without listing it, is put there as well.
HRESULT PutOnClipboard(TLTDataObject& Obj) {
    TDataObject all;
    for (const FORMATETC& f : Obj.Formats()) {
        STGMEDIUM m;
        if (Obj.GetData(f, m) == S_OK && m.tymed == TYMED_HGLOBAL) all.SetFormat(f.cfFormat, m.hGlobal);
    }
    FORMATETC ref;
    ref.cfFormat = TreeClipboardFormats().TreeReference;
    STGMEDIUM m;
    if (Obj.GetData(ref, m) == S_OK) all.SetFormat(ref.cfFormat, m.hGlobal);
    if (all.FormatList().isEmpty()) return E_FAIL;
    return OleSetClipboard(&all);
}
}  // namespace

void TBaseLazyTree::CopyToClipboard() {
    if (!GetFirstSelected()) return;
    // A new cut or copy replaces what the clipboard held of this tree.
    CancelCutOrCopy();
    TLTExchangeState& x = Exchange();
    MarkSelectedForClipboard();
    SwitchStates({tsCopyPending}, {});
    TLTDataObject obj(this, true);
    x.Putting = true;
    const HRESULT hr = PutOnClipboard(obj);
    x.Putting = false;
    if (FAILED(hr)) {
        CancelCutOrCopy();
        return;
    }
    x.OwnSequence = ClipboardSequenceNumber();
    if (!x.Watch)
        x.Watch = AddClipboardChangeHandler([this] {
            TLTExchangeState& s = Exchange();
            if (!s.Putting && ClipboardSequenceNumber() != s.OwnSequence) CancelCutOrCopy();
        });
    if (HandleAllocated()) Invalidate();
}

void TBaseLazyTree::CutToClipboard() {
    if (!GetFirstSelected() || IsReadOnly()) return;
    CancelCutOrCopy();
    TLTExchangeState& x = Exchange();
    MarkSelectedForClipboard();
    SwitchStates({tsCutPending}, {tsCopyPending});
    TLTDataObject obj(this, true);
    x.Putting = true;
    const HRESULT hr = PutOnClipboard(obj);
    x.Putting = false;
    if (FAILED(hr)) {
        CancelCutOrCopy();
        return;
    }
    x.OwnSequence = ClipboardSequenceNumber();
    if (!x.Watch)
        x.Watch = AddClipboardChangeHandler([this] {
            TLTExchangeState& s = Exchange();
            if (!s.Putting && ClipboardSequenceNumber() != s.OwnSequence) CancelCutOrCopy();
        });
    if (HandleAllocated()) Invalidate();
}

HRESULT TBaseLazyTree::OpenClipboardData(std::shared_ptr<IDataObject>& Data) { return OleGetClipboard(Data); }

bool TBaseLazyTree::PasteFromClipboard() {
    if (IsReadOnly()) return false;
    std::shared_ptr<IDataObject> data;
    if (FAILED(OpenClipboardData(data)) || !data)
        RaiseTreeError(QStringLiteral("Clipboard operation failed."), hcTFClipboardFailed);
    TBaseLazyTree* source = SourceTreeOf(data.get());
    const bool result = ProcessOLEData(source, data.get(), FFocusedNode, DefaultPasteMode,
                                       source && source->FStates.Contains(tsCutPending));
    if (source) {
        if (source == this)
            SwitchStates({}, {tsCutPending});
        else
            source->FinishCutOrCopy();
    }
    return result;
}

bool TBaseLazyTree::ProcessOLEData(TBaseLazyTree* Source, IDataObject* DataObject, PLazyNode TargetNode,
                                   TLTNodeAttachMode Mode, bool Optimized) {
    const FORMATETC request = TreeDataRequest();
    if (!DataObject || request.cfFormat == 0 || DataObject->QueryGetData(request) != S_OK || IsReadOnly())
        return false;
    bool result = false;
    BeginUpdate();
    try {
        if (!TargetNode) TargetNode = FRoot;
        if (TargetNode == FRoot) {
            if (Mode == amInsertBefore) Mode = amAddChildFirst;
            else if (Mode == amInsertAfter) Mode = amAddChildLast;
        }
        if (Optimized && Source) {
            TNodeArray nodes = Source->GetSortedCutCopySet(true);
            if (Source->FStates.Contains(tsOLEDragging)) nodes = Source->Exchange().DragSelection;
            if (Mode == amInsertAfter || Mode == amAddChildFirst) std::reverse(nodes.begin(), nodes.end());
            for (PLazyNode n : nodes)
                if (n != TargetNode && !HasAsParent(TargetNode, n)) {
                    // The mark goes first: a move into another tree frees
                    // the record, and a refused move keeps the node.
                    n->States.Exclude(vsCutOrCopy);
                    // Between trees of one layout the records change trees;
                    // otherwise MoveTo copies through the stream.
                    if (Source != this && Source->SameNodeLayout(this))
                        Source->MoveNodeRecords(n, TargetNode, Mode);
                    else
                        Source->MoveTo(n, TargetNode, Mode, false);
                }
            result = true;
        } else {
            const TChangeReason reason = Source == this ? crNodeCopied : crNodeAdded;
            STGMEDIUM medium;
            if (DataObject->GetData(request, medium) == S_OK && medium.tymed == TYMED_HGLOBAL) {
                const QByteArray& block = medium.hGlobal;
                if (block.size() >= 4) {
                    uint32_t count = 0;
                    for (int i = 0; i < 4; ++i) count |= uint32_t(uint8_t(block[i])) << (8 * i);
                    // A count beyond the block reads only the block's bytes.
                    const int64_t size = std::min<int64_t>(count, block.size() - 4);
                    TOLEMemoryStream stream(block.constData() + 4, size);
                    while (stream.Position() < stream.Size()) {
                        const int64_t before = stream.Position();
                        PLazyNode node = AllocateNode();
                        LinkNode(node, TargetNode, Mode, this);
                        try {
                            FReadLimit = stream.Size();
                            ReadSubtree(&stream, 2, node);
                        } catch (...) {
                            DeleteNode(node);
                            throw;
                        }
                        if (FireNodeCopying(node, TargetNode == FRoot ? nullptr : TargetNode)) {
                            FireNodeCopied(node);
                            RequestStructureChange(node, reason);
                            if (Mode == amInsertAfter) TargetNode = node;
                        } else {
                            DeleteNode(node);
                        }
                        if (stream.Position() <= before) break;
                    }
                }
                result = true;
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return result;
}

bool TBaseLazyTree::ProcessDrop(IDataObject* DataObject, PLazyNode TargetNode, uint32_t& Effect,
                                TLTNodeAttachMode Mode) {
    if (Mode == amNoWhere) {
        Effect = DROPEFFECT_NONE;
        return false;
    }
    TBaseLazyTree* source = SourceTreeOf(DataObject);
    bool result = false;
    BeginUpdate();
    if (source) source->BeginUpdate();
    try {
        if ((Effect & DROPEFFECT_MOVE) && source) {
            result = ProcessOLEData(source, DataObject, TargetNode, Mode, !(Effect & DROPEFFECT_COPY));
            // The move is complete here: the drag source must not delete again.
            Effect = DROPEFFECT_NONE;
        } else if (Effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) {
            result = ProcessOLEData(source, DataObject, TargetNode, Mode, false);
        }
    } catch (...) {
        Effect = DROPEFFECT_NONE;
        result = false;
    }
    if (source) source->EndUpdate();
    EndUpdate();
    return result;
}
