// The data object a tree renders and the clipboard operations between trees
// of the program: cut, copy, paste, the reference format and untrusted
// "Lazy Tree Data" blocks.
#include "platform/core/Exceptions.h"
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesClipboard.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {
// A string tree whose node data is one number, carried through the stream.
class TNumTree : public TLazyStringTree {
public:
    explicit TNumTree(TComponent* AOwner) : TLazyStringTree(AOwner) {
        SetNodeDataSize(sizeof(int));
        OnSaveNode = [](TBaseLazyTree* t, PLazyNode n, TStream* s) {
            s->WriteBuffer(t->GetNodeData(n), sizeof(int));
        };
        OnLoadNode = [](TBaseLazyTree* t, PLazyNode n, TStream* s) { s->ReadBuffer(t->GetNodeData(n), sizeof(int)); };
        OnGetText = [](TBaseLazyTree* t, PLazyNode n, TColumnIndex, TVSTTextType, QString& text) {
            text = QString::number(*static_cast<int*>(t->GetNodeData(n)));
        };
    }
    HRESULT OpenClipboardData(std::shared_ptr<IDataObject>& Data) override {
        return FailClipboard ? E_FAIL : TLazyStringTree::OpenClipboardData(Data);
    }
    bool FailClipboard = false;
    PLazyNode Add(int Number, PLazyNode Parent = nullptr) {
        PLazyNode n = AddChild(Parent);
        *static_cast<int*>(GetNodeData(n)) = Number;
        return n;
    }
    int Num(PLazyNode n) { return *static_cast<int*>(GetNodeData(n)); }
    // The numbers of the top-level nodes, in order.
    QList<int> TopNumbers() {
        QList<int> l;
        for (PLazyNode n = GetFirstChild(nullptr); n; n = GetNextSibling(n)) l << Num(n);
        return l;
    }
};

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        A = NewObject<TNumTree>(nullptr);
        B = NewObject<TNumTree>(nullptr);
        for (TNumTree* t : {A, B}) {
            t->SetClipboardFormats({"Lazy Tree Data", "Unicode text"});
            t->TreeOptions()->SetSelectionOptions(t->TreeOptions()->SelectionOptions().Include(toMultiSelect));
        }
        for (int i = 1; i <= 5; ++i) ANodes << A->Add(i);
        B->Add(100);
        B->Add(200);
        Clipboard()->Clear();
    }
    void TearDown() override {
        if (A) A->Free();
        if (B) B->Free();
    }
    void Select(TNumTree* t, const QList<PLazyNode>& nodes) {
        t->ClearSelection();
        for (PLazyNode n : nodes) t->SetSelected(n, true);
    }
    TNumTree* A = nullptr;
    TNumTree* B = nullptr;
    QList<PLazyNode> ANodes;
};

const FORMATETC kUnicode{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
FORMATETC Fmt(TClipFormat f, uint32_t tymed = TYMED_HGLOBAL, uint32_t aspect = DVASPECT_CONTENT, int lindex = -1) {
    return FORMATETC{f, nullptr, aspect, lindex, tymed};
}
uint32_t LE32(const QByteArray& b, int at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(b[at + i])) << (8 * i);
    return v;
}
}  // namespace

TEST_F(ClipboardTest, DataObjectAnswersAndReference) {
    TLTDataObject obj(A, false);
    const TClipFormat ref = TreeClipboardFormats().TreeReference;
    EXPECT_EQ(obj.QueryGetData(Fmt(ref)), DV_E_CLIPFORMAT);
    STGMEDIUM m;
    ASSERT_EQ(obj.GetData(Fmt(ref), m), S_OK);
    ASSERT_EQ(m.hGlobal.size(), 8);
    EXPECT_EQ(LE32(m.hGlobal, 0), uint32_t(QCoreApplication::applicationPid()));
    EXPECT_EQ(LE32(m.hGlobal, 4), A->ExchangeId());
    EXPECT_EQ(TreeOfReference(m.hGlobal), A);
    EXPECT_EQ(A->SourceTreeOf(&obj), A);
    QByteArray other = m.hGlobal;
    other[0] = char(other[0] ^ 1);
    EXPECT_EQ(TreeOfReference(other), nullptr);  // another process

    const TClipFormat data = TreeClipboardFormats().TreeData;
    const struct {
        FORMATETC F;
        HRESULT Answer;
    } queries[] = {
        {Fmt(data), S_OK},
        {Fmt(data, TYMED_HGLOBAL | TYMED_ISTREAM), S_OK},
        {Fmt(data, TYMED_FILE), DV_E_TYMED},
        {Fmt(data, TYMED_HGLOBAL, DVASPECT_ICON), DV_E_DVASPECT},
        {Fmt(data, TYMED_HGLOBAL, DVASPECT_CONTENT, 0), DV_E_LINDEX},
        {Fmt(CF_TEXT), DV_E_CLIPFORMAT},
    };
    for (const auto& q : queries) EXPECT_EQ(obj.QueryGetData(q.F), q.Answer) << q.F.tymed << " " << q.F.dwAspect;
    EXPECT_EQ(obj.GetDataHere(Fmt(data), m), E_NOTIMPL);
    FORMATETC out;
    EXPECT_EQ(obj.GetCanonicalFormatEtc(Fmt(data), out), DATA_S_SAMEFORMATETC);
    std::shared_ptr<IEnumFORMATETC> e;
    EXPECT_EQ(obj.EnumFormatEtc(DATADIR_SET, e), OLE_S_USEREG);
    EXPECT_EQ(e, nullptr);
    uint32_t connection = 0;
    EXPECT_EQ(obj.DAdvise(Fmt(data), 0, nullptr, connection), OLE_E_ADVISENOTSUPPORTED);

    // Two entries: a skip at index 1 reaches the end, a second one fails.
    ASSERT_EQ(obj.EnumFormatEtc(DATADIR_GET, e), S_OK);
    FORMATETC got[3];
    uint32_t fetched = 9;
    EXPECT_EQ(e->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].cfFormat, data);
    EXPECT_EQ(e->Skip(1), S_OK);
    EXPECT_EQ(e->Skip(1), S_FALSE);
    EXPECT_EQ(e->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    e->Reset();
    EXPECT_EQ(e->Next(3, got, &fetched), S_OK);  // fewer than asked still counts
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(got[1].cfFormat, CF_UNICODETEXT);

    // A tree offering nothing.
    B->SetClipboardFormats({});
    TLTDataObject none(B, true);
    ASSERT_EQ(none.EnumFormatEtc(DATADIR_GET, e), S_OK);
    EXPECT_EQ(e->Next(1, got, &fetched), S_FALSE);
}

TEST_F(ClipboardTest, DataObjectRendersAndKeepsSetData) {
    Select(A, {ANodes[1], ANodes[3], ANodes[4]});
    A->CutToClipboard();
    TLTDataObject obj(A, true);
    STGMEDIUM m;
    ASSERT_EQ(obj.GetData(Fmt(TreeClipboardFormats().TreeData), m), S_OK);
    ASSERT_GT(m.hGlobal.size(), 4);
    EXPECT_EQ(LE32(m.hGlobal, 0), uint32_t(m.hGlobal.size() - 4));
    ASSERT_EQ(obj.GetData(kUnicode, m), S_OK);
    EXPECT_EQ(ClipboardBytesToText(CF_UNICODETEXT, m.hGlobal), "2\r\n4\r\n5\r\n");

    // What a consumer sets is handed out again, the object keeping its copy.
    const TClipFormat custom = RegisterClipboardFormat("Exchange set data");
    STGMEDIUM in;
    in.tymed = TYMED_HGLOBAL;
    in.hGlobal = QByteArray("abc");
    EXPECT_EQ(obj.SetData(Fmt(custom), in, false), S_OK);
    in.hGlobal[0] = 'X';
    EXPECT_EQ(obj.QueryGetData(Fmt(custom)), S_OK);
    ASSERT_EQ(obj.GetData(Fmt(custom), m), S_OK);
    EXPECT_EQ(m.hGlobal, "abc");
    in.tymed = TYMED_FILE;
    EXPECT_EQ(obj.SetData(Fmt(custom, TYMED_FILE), in, true), DV_E_TYMED);

    // A data object outliving its tree renders nothing.
    TNumTree* gone = A;
    A = nullptr;
    const uint32_t id = gone->ExchangeId();
    gone->Free();
    EXPECT_EQ(TBaseLazyTree::TreeOfExchangeId(id), nullptr);
    EXPECT_EQ(obj.Owner(), nullptr);
    EXPECT_EQ(obj.GetData(kUnicode, m), E_FAIL);
    EXPECT_EQ(obj.GetData(Fmt(TreeClipboardFormats().TreeReference), m), E_FAIL);
}

TEST_F(ClipboardTest, CutPasteMovesNodeRecords) {
    Select(A, {ANodes[0], ANodes[2], ANodes[4]});
    A->CutToClipboard();
    EXPECT_TRUE(A->TreeStates().Contains(tsCutPending));
    EXPECT_TRUE(ANodes[2]->States.Contains(vsCutOrCopy));
    PLazyNode child = A->Add(31, ANodes[2]);
    A->SetFocusedNode(child);
    B->SetFocusedNode(nullptr);
    ASSERT_TRUE(B->PasteFromClipboard());
    EXPECT_EQ(B->TopNumbers(), QList<int>({100, 200, 1, 3, 5}));
    // Between trees of one layout the node records themselves change trees:
    // the same addresses, with their subtree, and A keeps none of them.
    PLazyNode moved = B->GetNextSibling(B->GetNextSibling(B->GetFirst()));
    EXPECT_EQ(moved, ANodes[0]);
    EXPECT_EQ(B->GetNextSibling(moved), ANodes[2]);
    EXPECT_EQ(B->GetNextSibling(ANodes[2]), ANodes[4]);
    EXPECT_EQ(ANodes[2]->FirstChild, child);
    for (PLazyNode n : {ANodes[0], ANodes[2], child, ANodes[4]}) {
        EXPECT_EQ(TBaseLazyTree::OwnerTreeOf(n), B);
        EXPECT_FALSE(n->States.ContainsAny({vsCutOrCopy, vsSelected}));
    }
    EXPECT_EQ(B->TotalCount(), 6u);
    EXPECT_EQ(B->RootNode()->TotalCount, 7u);
    EXPECT_EQ(A->TopNumbers(), QList<int>({2, 4}));
    EXPECT_EQ(A->TotalCount(), 2u);
    EXPECT_EQ(A->SelectedCount(), 0);
    EXPECT_EQ(A->FocusedNode(), nullptr);
    EXPECT_FALSE(A->TreeStates().ContainsAny({tsCutPending, tsCopyPending}));
    // The moved records live on in B and go with it.
    B->FullExpand();
    EXPECT_EQ(B->VisibleCount(), 6u);
    B->DeleteNode(ANodes[2]);
    EXPECT_EQ(B->TopNumbers(), QList<int>({100, 200, 1, 5}));

    // Within one tree: the records move and the cut is over.
    Select(A, {ANodes[1]});
    A->CutToClipboard();
    A->SetFocusedNode(ANodes[3]);
    A->DefaultPasteMode = amInsertAfter;
    ASSERT_TRUE(A->PasteFromClipboard());
    EXPECT_EQ(A->TopNumbers(), QList<int>({4, 2}));
    EXPECT_EQ(A->GetNextSibling(ANodes[3]), ANodes[1]);
    EXPECT_FALSE(A->TreeStates().Contains(tsCutPending));

    // A tree of another node layout gets copies through the stream, and the
    // source's records are freed.
    TNumTree* wide = NewObject<TNumTree>(nullptr);
    wide->SetNodeDataSize(32);
    wide->SetClipboardFormats({"Lazy Tree Data"});
    Select(A, {ANodes[3]});
    A->CutToClipboard();
    ASSERT_TRUE(wide->PasteFromClipboard());
    EXPECT_EQ(wide->TopNumbers(), QList<int>({4}));
    EXPECT_NE(wide->GetFirst(), ANodes[3]);
    EXPECT_EQ(A->TopNumbers(), QList<int>({2}));
    wide->Free();
}

TEST_F(ClipboardTest, CopyPasteMakesCopiesInOrder) {
    Select(A, {ANodes[1], ANodes[2], ANodes[3]});
    A->CopyToClipboard();
    EXPECT_TRUE(A->TreeStates().Contains(tsCopyPending));
    // The clipboard holds the text as well.
    EXPECT_EQ(Clipboard()->AsText(), "2\r\n3\r\n4\r\n");

    const struct {
        TLTNodeAttachMode Mode;
        QList<int> Top;
    } cases[] = {
        {amInsertAfter, {100, 2, 3, 4, 200}},
        {amAddChildLast, {100, 200}},
        {amInsertBefore, {2, 3, 4, 100, 200}},
    };
    for (const auto& c : cases) {
        B->Clear();
        PLazyNode first = B->Add(100);
        B->Add(200);
        B->SetFocusedNode(first);
        B->DefaultPasteMode = c.Mode;
        ASSERT_TRUE(B->PasteFromClipboard());
        EXPECT_EQ(B->TopNumbers(), c.Top) << int(c.Mode);
        if (c.Mode == amAddChildLast) {
            QList<int> children;
            for (PLazyNode n = B->GetFirstChild(first); n; n = B->GetNextSibling(n)) children << B->Num(n);
            EXPECT_EQ(children, QList<int>({2, 3, 4}));
        }
    }
    // Children added first one by one end up reversed.
    B->Clear();
    PLazyNode parent = B->Add(100);
    B->SetFocusedNode(parent);
    B->DefaultPasteMode = amAddChildFirst;
    ASSERT_TRUE(B->PasteFromClipboard());
    QList<int> children;
    for (PLazyNode n = B->GetFirstChild(parent); n; n = B->GetNextSibling(n)) children << B->Num(n);
    EXPECT_EQ(children, QList<int>({4, 3, 2}));
    EXPECT_NE(B->GetFirstChild(parent), ANodes[3]);  // copies, not the records

    // A keeps its nodes and marks until the clipboard changes.
    EXPECT_EQ(A->TopNumbers(), QList<int>({1, 2, 3, 4, 5}));
    EXPECT_TRUE(A->TreeStates().Contains(tsCopyPending));
    EXPECT_TRUE(ANodes[2]->States.Contains(vsCutOrCopy));
    Clipboard()->SetAsText("something else");
    EXPECT_FALSE(A->TreeStates().Contains(tsCopyPending));
    EXPECT_FALSE(ANodes[2]->States.Contains(vsCutOrCopy));
}

TEST_F(ClipboardTest, RefusalsAndFailures) {
    // Nothing selected, or a read-only tree: no cut.
    A->CutToClipboard();
    EXPECT_FALSE(A->TreeStates().Contains(tsCutPending));
    Select(A, {ANodes[0]});
    A->TreeOptions()->SetMiscOptions(A->TreeOptions()->MiscOptions().Include(toReadOnly));
    A->CutToClipboard();
    EXPECT_FALSE(A->TreeStates().Contains(tsCutPending));
    EXPECT_FALSE(ANodes[0]->States.Contains(vsCutOrCopy));
    EXPECT_FALSE(A->PasteFromClipboard());

    // A clipboard without tree data pastes nothing.
    Clipboard()->SetAsText("text");
    EXPECT_FALSE(B->PasteFromClipboard());
    EXPECT_EQ(B->TopNumbers(), QList<int>({100, 200}));

    B->FailClipboard = true;
    try {
        B->PasteFromClipboard();
        FAIL() << "no error";
    } catch (const ELazyTreeError& e) {
        EXPECT_EQ(e.Message(), "Clipboard operation failed.");
        EXPECT_EQ(e.HelpContext(), 2007);
    }
}

TEST_F(ClipboardTest, UntrustedBlocksAndGoneSources) {
    // A cut whose source tree is gone pastes copies through the stream.
    Select(A, {ANodes[0], ANodes[1]});
    A->CutToClipboard();
    A->Free();
    A = nullptr;
    ASSERT_TRUE(B->PasteFromClipboard());
    EXPECT_EQ(B->TopNumbers(), QList<int>({100, 200, 1, 2}));

    // A count larger than its block reads only the block.
    QByteArray block = Clipboard()->GetAsBytes(TreeClipboardFormats().TreeData);
    ASSERT_GT(block.size(), 8);
    block[0] = char(0xFF);
    block[1] = char(0xFF);
    block[2] = char(0xFF);
    block[3] = char(0x7F);
    TDataObject data;
    data.SetFormat(TreeClipboardFormats().TreeData, block);
    B->Clear();
    ASSERT_TRUE(B->ProcessOLEData(nullptr, &data, nullptr, amAddChildLast, false));
    EXPECT_EQ(B->TopNumbers(), QList<int>({1, 2}));

    // A damaged block: the stream error passes from the paste, a drop refuses.
    QByteArray bad = block;
    bad.truncate(block.size() - 3);
    bad[0] = char(bad.size() - 4);
    bad[1] = bad[2] = bad[3] = 0;
    Clipboard()->SetAsBytes(TreeClipboardFormats().TreeData, bad);
    B->Clear();
    EXPECT_THROW(B->PasteFromClipboard(), ELazyTreeError);
    TDataObject badData;
    badData.SetFormat(TreeClipboardFormats().TreeData, bad);
    uint32_t effect = DROPEFFECT_COPY;
    EXPECT_FALSE(B->ProcessDrop(&badData, nullptr, effect, amAddChildLast));
    EXPECT_EQ(effect, uint32_t(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_FALSE(B->ProcessDrop(&data, nullptr, effect, amNoWhere));
    EXPECT_EQ(effect, uint32_t(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_TRUE(B->ProcessDrop(&data, nullptr, effect, amAddChildLast));
}

TEST_F(ClipboardTest, ClipboardMessagesLeadToTheOperations) {
    Select(A, {ANodes[4]});
    A->Perform(WM_COPY);
    EXPECT_TRUE(A->TreeStates().Contains(tsCopyPending));
    B->SetFocusedNode(nullptr);
    B->Perform(WM_PASTE);
    EXPECT_EQ(B->TopNumbers(), QList<int>({100, 200, 5}));
    A->Perform(WM_CUT);
    EXPECT_TRUE(A->TreeStates().Contains(tsCutPending));
    EXPECT_FALSE(A->TreeStates().Contains(tsCopyPending));
}
