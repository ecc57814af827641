#include "TreeKit.h"

#include <QTemporaryDir>

namespace {
// Bytes from a text of hexadecimal pairs; blanks are ignored.
QByteArray Hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

const char* const EmptyTree = "45 20 56 00 54 00 02 00 20 00 46 20 00 00 00 00";
const char* const OneNode =
    "45205600540002002000 4620 01000000"
    "01000000 1b000000 02000000 13000000"
    "00000000 12000000 81000000 32 00 00 00000000";

QByteArray Saved(TBaseLazyTree* t) {
    TMemoryStream s;
    t->SaveToStream(&s);
    return s.Bytes();
}

void Load(TBaseLazyTree* t, const QByteArray& bytes) {
    TMemoryStream s;
    s.WriteBuffer(bytes);
    s.SetPosition(0);
    t->LoadFromStream(&s);
}

// A version-2 base record: child count, height, states, align, check state and type.
QByteArray Base(uint32_t children, uint32_t height, uint32_t states, uint8_t align = 50, uint8_t cs = 0,
                uint8_t ct = 0) {
    QByteArray b;
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) b.append(char(v >> (8 * i)));
    };
    u32(children);
    u32(height);
    u32(states);
    b.append(char(align)).append(char(cs)).append(char(ct));
    u32(0);
    return b;
}
QByteArray Chunk(int32_t type, const QByteArray& body) {
    QByteArray b;
    for (int v : {type, int(body.size())})
        for (int i = 0; i < 4; ++i) b.append(char(uint32_t(v) >> (8 * i)));
    return b + body;
}
QByteArray Header(uint16_t version = 2, uint16_t word4 = 0x20) {
    QByteArray b = Hex("45205600540000000000 4620");
    b[6] = char(version);
    b[8] = char(word4);
    b[9] = char(word4 >> 8);
    return b;
}
QByteArray Count(uint32_t n) {
    QByteArray b;
    for (int i = 0; i < 4; ++i) b.append(char(n >> (8 * i)));
    return b;
}
}  // namespace

TEST_F(TreeTest, TheWriterProducesTheDocumentedBytes) {
    auto* t = NewTree();
    // The base tree's chunks alone (the string tree would add its captions).
    t->SetStringOptions({});
    EXPECT_EQ(Saved(t), Hex(EmptyTree));
    t->AddChild(nullptr);
    const QByteArray one = Saved(t);
    EXPECT_EQ(one.size(), 51);
    EXPECT_EQ(one, Hex(OneNode));
}

TEST_F(TreeTest, ATreeComesBackFromItsStreamWithUserData) {
    auto* t = NewTree();
    t->TreeOptions()->SetSelectionOptions({toMultiSelect});
    BuildABC(t);
    t->SetExpanded(B, true);
    t->SetSelected(B1, true);
    t->SetNodeHeight(C, 30);
    C->CheckType = ctCheckBox;
    C->CheckState = csCheckedNormal;
    t->OnSaveNode = [&](TBaseLazyTree*, PLazyNode n, TStream* s) {
        const QByteArray name = Name(n).toLatin1() + "--and more";
        s->WriteBuffer(name);
    };
    const QByteArray bytes = Saved(t);

    auto* u = NewTree();
    u->TreeOptions()->SetSelectionOptions({toMultiSelect});
    QStringList names;
    int loadedTree = 0;
    u->OnLoadNode = [&](TBaseLazyTree*, PLazyNode, TStream* s) {
        char buf[2] = {};
        // Reads at most the first two bytes: the rest of the chunk is skipped.
        const int64_t n = s->Read(buf, 2);
        names << QString::fromLatin1(buf, int(n));
    };
    u->OnLoadTree = [&](TBaseLazyTree*, TStream*) { ++loadedTree; };
    Load(u, bytes);
    // A node's own chunk follows its children's.
    EXPECT_EQ(names, Split("A- B1 B2 B- C-"));
    EXPECT_EQ(loadedTree, 1);
    EXPECT_EQ(u->TotalCount(), 5u);
    EXPECT_EQ(u->VisibleCount(), 5u);
    PLazyNode b = u->GetFirst()->NextSibling;
    EXPECT_TRUE(b->States.Contains(vsExpanded));
    EXPECT_EQ(b->TotalHeight, 54u);
    EXPECT_EQ(u->SelectedCount(), 1);
    EXPECT_EQ(u->GetFirstSelected(), b->FirstChild);
    PLazyNode c = u->GetLast();
    EXPECT_EQ(c->NodeHeight, 30);
    EXPECT_EQ(c->CheckState, csCheckedNormal);
    EXPECT_EQ(c->CheckType, ctCheckBox);
    EXPECT_EQ(u->RootNode()->TotalHeight, 18u + 4 * 18u + 30u);
}

TEST_F(TreeTest, TheReaderChecksHeaderAndChunks) {
    const QByteArray node = Chunk(1, Chunk(2, Base(0, 18, 0x81)));
    struct Case {
        const char* Name;
        QByteArray Bytes;
        int HelpContext;
    };
    QByteArray badMagic = Header() + Count(0);
    badMagic[10] = 0x47;
    QByteArray pastEnd = Header() + Count(1) + Chunk(1, Chunk(2, Base(0, 18, 0x81)));
    pastEnd[16 + 12] = char(0x30);  // the base chunk claims more than its node holds
    const Case cases[] = {
        {"short", Hex("45 20 56 00 54 00 02 00 20 00 46"), hcTFStreamTooSmall},
        {"wrong magic", badMagic, hcTFWrongStreamFormat},
        {"version 3", Header(3) + Count(0), hcTFWrongStreamVersion},
        {"anchor missing", Header() + Count(1) + Chunk(2, Base(0, 18, 0x81)), hcTFCorruptStream1},
        {"chunk past the node", pastEnd, hcTFCorruptStream2},
        {"negative chunk size", Header() + Count(1) + Chunk(1, QByteArray()).left(4) + Hex("ffffffff"),
         hcTFCorruptStream2},
        {"too many children", Header() + Count(1) + Chunk(1, Chunk(2, Base(0xFFFFFFFF, 18, 0x81))),
         hcTFCorruptStream2},
        {"check state above 8", Header() + Count(1) + Chunk(1, Chunk(2, Base(0, 18, 0x81, 50, 9))),
         hcTFCorruptStream2},
        {"check type above 4", Header() + Count(1) + Chunk(1, Chunk(2, Base(0, 18, 0x81, 50, 0, 5))),
         hcTFCorruptStream2},
        {"word 4 is not checked", Header(2, 0x1234) + Count(1) + node, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* t = NewTree();
        EXPECT_EQ(TreeErrorContext([&] { Load(t, c.Bytes); }), c.HelpContext);
        EXPECT_EQ(t->UpdateCount(), 0u);
    }
}

TEST_F(TreeTest, AStreamClaimingCountlessChildrenFailsAtOnce) {
    auto* t = NewTree();
    const QByteArray bytes = Header() + Count(1) + Chunk(1, Chunk(2, Base(0xFFFFFFFF, 18, 0x81)));
    ASSERT_EQ(bytes.size(), 51);
    EXPECT_EQ(TreeErrorContext([&] { Load(t, bytes); }), hcTFCorruptStream2);
    // The node read so far stays, consistent.
    EXPECT_EQ(t->RootNodeCount(), 1u);
    EXPECT_EQ(t->RootNode()->TotalCount, 2u);
    EXPECT_EQ(t->GetFirst()->ChildCount, 0u);
}

TEST_F(TreeTest, AStreamCannotSetOwnershipOrTransientStates) {
    auto* t = NewTree();
    t->SetNodeDataSize(8);
    // Bit 11 (release the user data as a shared object) plus deleting,
    // checking and toggling: none of them comes from outside.
    const uint32_t states = 0x81 | (1u << 11) | (1u << 4) | (1u << 1) | (1u << 14) | (1u << 16);
    const QByteArray bytes = Header() + Count(1) + Chunk(1, Chunk(2, Base(0, 18, states)) +
                                                      Chunk(4, Hex("efbeadde efbeadde")));
    Load(t, bytes);
    PLazyNode n = t->GetFirstNoInit();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->States, (TLazyNodeStates{vsInitialized, vsVisible}));
    t->Clear();
    EXPECT_EQ(t->RootNodeCount(), 0u);
}

TEST_F(TreeTest, AFileThatIsNoTreeStreamKeepsTheLoadedTree) {
    auto* t = NewTree();
    t->SetRootNodeCount(3);
    EXPECT_EQ(TreeErrorContext([&] { Load(t, QByteArray("<Root>not a tree</Root>")); }), hcTFWrongStreamFormat);
    EXPECT_EQ(t->RootNodeCount(), 3u);
    EXPECT_EQ(TreeErrorContext([&] { Load(t, QByteArray("short")); }), hcTFStreamTooSmall);
    EXPECT_EQ(t->RootNodeCount(), 3u);
}

TEST_F(TreeTest, OlderVersionsReadToTheEndOfTheStream) {
    // Version 1: no count, a 12-byte base record whose single states byte
    // makes the node visible (bit 7 clear: visible; set: selected too).
    QByteArray oldBase;
    for (uint32_t v : {0u, 18u}) for (int i = 0; i < 4; ++i) oldBase.append(char(v >> (8 * i)));
    oldBase.append(char(0x01)).append(char(50)).append(char(0)).append(char(0));
    const QByteArray node = Chunk(1, Chunk(2, oldBase));
    auto* t = NewTree();
    Load(t, Header(1) + node + node + node);
    EXPECT_EQ(t->RootNodeCount(), 3u);
    EXPECT_EQ(t->VisibleCount(), 3u);
    EXPECT_EQ(t->GetFirstNoInit()->States, (TLazyNodeStates{vsInitialized, vsVisible}));
}

TEST_F(TreeTest, AddFromStreamAppendsBelowATarget) {
    auto* source = NewTree();
    BuildABC(source);
    const QByteArray bytes = Saved(source);
    auto* t = NewTree();
    PLazyNode target = t->AddChild(nullptr);
    int copied = 0;
    t->OnNodeCopied = [&](TBaseLazyTree*, PLazyNode n) {
        ++copied;
        EXPECT_EQ(n, target);
    };
    TMemoryStream s;
    s.WriteBuffer(bytes);
    s.SetPosition(0);
    t->AddFromStream(&s, target);
    EXPECT_EQ(copied, 1);
    EXPECT_EQ(target->ChildCount, 3u);
    EXPECT_EQ(t->RootNode()->TotalCount, 7u);
    TMemoryStream bad;
    bad.WriteBuffer(Hex("45205600540002002000"));
    bad.SetPosition(0);
    EXPECT_THROW(t->AddFromStream(&bad, target), EReadError);
}

TEST_F(TreeTest, SaveToFileAndLoadFromFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tree.bin");
    auto* t = NewTree();
    BuildABC(t);
    t->SaveToFile(path);
    auto* u = NewTree();
    u->LoadFromFile(path);
    EXPECT_EQ(u->TotalCount(), 5u);
    EXPECT_EQ(Saved(u), Saved(t));
}

TEST_F(TreeTest, ANodeNamingItsBaseChunkTwiceKeepsCountAndLinksTogether) {
    const QByteArray child = Chunk(1, Chunk(2, Base(0, 18, 0x81)));
    const QByteArray node = Chunk(1, Chunk(2, Base(1, 18, 0xE1) + child) + Chunk(2, Base(0, 18, 0x81)));
    auto* t = NewTree();
    Load(t, Header() + Count(1) + node);
    PLazyNode n = t->GetFirstNoInit();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->ChildCount, 1u);
    EXPECT_NE(n->FirstChild, nullptr);
    EXPECT_EQ(t->RootNode()->TotalCount, 3u);
    t->Clear();
    EXPECT_EQ(t->RootNode()->TotalCount, 1u);
}

TEST_F(TreeTest, NestingBeyondAnyTreeIsTakenForDamage) {
    // Each node holds the next one as its only child, 5000 levels deep.
    const int depth = 5000;
    QByteArray bytes = Header() + Count(1);
    std::vector<int32_t> nodeSize(depth + 1);
    nodeSize[0] = 8 + 19;
    for (int d = 1; d <= depth; ++d) nodeSize[d] = 8 + 19 + 8 + nodeSize[d - 1];
    auto i32 = [&](int32_t v) {
        for (int i = 0; i < 4; ++i) bytes.append(char(uint32_t(v) >> (8 * i)));
    };
    for (int d = depth; d >= 0; --d) {
        i32(1);
        i32(nodeSize[d]);
        i32(2);
        i32(nodeSize[d] - 8);
        bytes += Base(d > 0 ? 1 : 0, 18, 0xE1).left(19);
    }
    auto* t = NewTree();
    EXPECT_EQ(TreeErrorContext([&] { Load(t, bytes); }), hcTFCorruptStream2);
    uint32_t walked = 0;
    for (PLazyNode n = t->GetFirstNoInit(); n; n = t->GetNextNoInit(n)) ++walked;
    EXPECT_EQ(walked, t->RootNode()->TotalCount - 1);
    EXPECT_LE(walked, 2048u);
    t->Clear();
    EXPECT_EQ(t->RootNode()->TotalCount, 1u);
}
