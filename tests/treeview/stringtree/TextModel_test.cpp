// The string tree's text model: the text request, default text, paths, the
// caption chunk, the component stream properties, the width cache, restoring
// the selection by text, the search and hint texts.
#include "platform/controls/Forms.h"
#include "platform/core/Streams.h"
#include "support/QtPrinters.h"
#include "treeview/LazyTrees.h"

#include <gtest/gtest.h>

#include <QHash>

namespace {
// A string tree whose protected steps the tests reach.
class TTextTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    using TCustomLazyStringTree::FireGetCellIsEmpty;
    using TCustomLazyStringTree::FireIncrementalSearch;
    using TCustomLazyStringTree::ReadStreamChunk;
};

class TextModelTest : public ::testing::Test {
protected:
    void SetUp() override { Application()->RunQueuedCalls(); }
    void TearDown() override {
        for (TTextTree* t : Trees) {
            t->OnGetText = nullptr;
            t->Free();
        }
        if (Form) Form->Free();
        Application()->RunQueuedCalls();
    }
    TTextTree* NewTree(bool window = false) {
        if (window && !Form) {
            Form = NewObject<TForm>(nullptr);
            Form->SetBounds(0, 0, 600, 600);
        }
        auto* t = NewObject<TTextTree>(window ? Form : nullptr);
        if (window) {
            t->SetParent(Form);
            t->SetBorderStyle(bsNone);
            t->HandleNeeded();
            t->SetBounds(0, 0, 200, 180);
        }
        Trees.append(t);
        return t;
    }
    // Texts by node, given through OnGetText; ttStatic answers "s:" + text.
    void UseTexts(TTextTree* t) {
        t->OnGetText = [this](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType type, QString& text) {
            ++GetTextCalls;
            if (!Texts.contains(n)) return;
            text = type == ttNormal ? Texts[n] : QStringLiteral("s:") + Texts[n];
        };
    }
    PLazyNode Add(TTextTree* t, PLazyNode parent, const QString& text) {
        PLazyNode n = t->TBaseLazyTree::AddChild(parent);
        Texts[n] = text;
        return n;
    }
    QList<TTextTree*> Trees;
    TForm* Form = nullptr;
    QHash<PLazyNode, QString> Texts;
    int GetTextCalls = 0;
};

template <class F>
QString AssertionTextOf(F&& step) {
    try {
        step();
    } catch (const EAssertionFailed& e) {
        return e.Message();
    }
    return QString();
}
}  // namespace

TEST_F(TextModelTest, TextRequestAndDefaultText) {
    TTextTree* t = NewTree();
    PLazyNode a = t->AddChild(nullptr);
    // No handler: every cell shows the default text; the static text is empty.
    EXPECT_EQ(t->GetText(a, NoColumn), QStringLiteral("Node"));
    EXPECT_EQ(t->GetText(a, 3), QStringLiteral("Node"));
    EXPECT_EQ(t->GetStaticText(a, NoColumn), QString());
    t->SetDefaultText(QString());
    EXPECT_EQ(t->GetText(a, NoColumn), QString());
    t->SetDefaultText(QStringLiteral("Node"));
    // A handler that leaves the text alone shows the default, one that
    // empties it shows nothing; OnGetCellText replaces OnGetText.
    int calls = 0;
    t->OnGetText = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, TVSTTextType type, QString& text) {
        ++calls;
        if (type == ttStatic) text = QStringLiteral("static");
    };
    EXPECT_EQ(t->GetText(a, NoColumn), QStringLiteral("Node"));
    EXPECT_EQ(t->GetStaticText(a, NoColumn), QStringLiteral("static"));
    EXPECT_EQ(calls, 4);  // normal and static each time
    t->OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TVSTTextType, QString& text) { text.clear(); };
    EXPECT_EQ(t->GetText(a, NoColumn), QString());
    t->OnGetCellText = [](TCustomLazyStringTree*, TVSTGetCellTextEventArgs& e) {
        e.CellText = QStringLiteral("cell %1").arg(e.Column);
    };
    EXPECT_EQ(t->GetText(a, 2), QStringLiteral("cell 2"));
    EXPECT_EQ(AssertionTextOf([&] { t->GetText(nullptr, 0); }), QStringLiteral("Node must not be nil."));
    EXPECT_EQ(AssertionTextOf([&] { t->GetStaticText(nullptr, 0); }), QStringLiteral("Node must not be nil."));
    EXPECT_EQ(AssertionTextOf([&] { t->GetImageText(nullptr, ikNormal, 0); }), QStringLiteral("Node must not be nil."));
}

TEST_F(TextModelTest, TheTextRequestInitializesTheNode) {
    TTextTree* t = NewTree();
    t->SetRootNodeCount(1);
    PLazyNode a = t->GetFirstNoInit();
    int inits = 0;
    t->OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates&) { ++inits; };
    t->GetText(a, NoColumn);
    EXPECT_EQ(inits, 1);
    EXPECT_TRUE(a->States.Contains(vsInitialized));
    t->OnInitNode = nullptr;
}

TEST_F(TextModelTest, PathsRunFromTheTopLevel) {
    TTextTree* t = NewTree();
    UseTexts(t);
    PLazyNode a = Add(t, nullptr, QStringLiteral("A"));
    PLazyNode b = Add(t, a, QStringLiteral("B"));
    EXPECT_EQ(t->Path(b, NoColumn, QLatin1Char('\\')), QStringLiteral("A\\B\\"));
    EXPECT_EQ(t->Path(a, NoColumn, QLatin1Char('/')), QStringLiteral("A/"));
    EXPECT_EQ(t->Path(nullptr, NoColumn, QLatin1Char('\\')), QStringLiteral("\\"));
    EXPECT_EQ(t->Path(t->RootNode(), NoColumn, QLatin1Char('/')), QStringLiteral("/"));
}

TEST_F(TextModelTest, SetTextAnnouncesAndRemeasures) {
    TTextTree* t = NewTree();
    UseTexts(t);
    PLazyNode a = Add(t, nullptr, QStringLiteral("A"));
    QString told;
    t->OnNewText = [&](TBaseLazyTree*, PLazyNode n, TColumnIndex c, const QString& s) {
        EXPECT_EQ(n, a);
        EXPECT_EQ(c, 1);
        told = s;
    };
    EXPECT_GT(t->NodeWidth(a, NoColumn), 0);
    t->SetText(a, 1, QStringLiteral("new"));
    EXPECT_EQ(told, QStringLiteral("new"));
    EXPECT_EQ(*t->NodeWidthCache(a), 0);
}

TEST_F(TextModelTest, CaptionChunkInTheTreeStream) {
    TTextTree* t = NewTree();
    UseTexts(t);
    PLazyNode a = Add(t, nullptr, QStringLiteral("AB"));
    t->GetText(a, NoColumn);  // initializes the node
    TMemoryStream s;
    t->SaveToStream(&s);
    const QByteArray bytes(static_cast<const char*>(s.Memory()), int(s.Size()));
    const QByteArray chunk = QByteArray::fromHex("030000000400000041004200");
    EXPECT_TRUE(bytes.contains(chunk));

    // Read back into another tree: the caption arrives as a new text.
    TTextTree* u = NewTree();
    QStringList arrived;
    u->OnNewText = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, const QString& text) { arrived << text; };
    s.SetPosition(0);
    u->LoadFromStream(&s);
    EXPECT_EQ(arrived, QStringList{QStringLiteral("AB")});

    // Without the option no caption is written.
    t->SetStringOptions({});
    TMemoryStream plain;
    t->SaveToStream(&plain);
    EXPECT_FALSE(QByteArray(static_cast<const char*>(plain.Memory()), int(plain.Size())).contains(chunk));
}

TEST_F(TextModelTest, OddCaptionChunkReadsWholeCodeUnitsAndEndsAtTheChunk) {
    TTextTree* t = NewTree();
    PLazyNode a = t->AddChild(nullptr);
    QString arrived;
    t->OnNewText = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, const QString& text) { arrived = text; };
    TMemoryStream s;
    const QByteArray data = QByteArray::fromHex("4100420058") + QByteArray("next");
    s.WriteBuffer(data.constData(), data.size());
    s.SetPosition(0);
    EXPECT_TRUE(t->ReadStreamChunk(&s, 3, 5, 3, a));
    EXPECT_EQ(arrived, QStringLiteral("AB"));
    EXPECT_EQ(s.Position(), 5);
    // An empty caption reads as an empty text.
    s.SetPosition(0);
    EXPECT_TRUE(t->ReadStreamChunk(&s, 3, 0, 3, a));
    EXPECT_EQ(arrived, QString());
    EXPECT_EQ(s.Position(), 0);
}

TEST_F(TextModelTest, ComponentStreamProperties) {
    TTextTree* t = NewTree();
    EXPECT_TRUE(t->DefinedProperties().isEmpty());
    t->SetDefaultText(QStringLiteral("Nodes"));
    const auto props = t->DefinedProperties();
    ASSERT_EQ(props.size(), 1);
    EXPECT_EQ(props[0].first, QStringLiteral("WideDefaultText"));
    EXPECT_EQ(props[0].second.toString(), QStringLiteral("Nodes"));

    TTextTree* u = NewTree();
    EXPECT_TRUE(u->ReadDefinedProperty(QStringLiteral("WideDefaultText"), QStringLiteral("Item")));
    EXPECT_EQ(u->DefaultText(), QStringLiteral("Item"));
    // The old set: emptied, then each old identifier maps to its option.
    EXPECT_TRUE(u->ReadDefinedProperty(QStringLiteral("StringOptions"),
                                       QStringList{QStringLiteral("soShowStaticText"), QStringLiteral("soOther")}));
    EXPECT_EQ(u->StringOptions(), TLTStringOptions{toShowStaticText});
    // A value that is no set is not read.
    EXPECT_TRUE(u->ReadDefinedProperty(QStringLiteral("StringOptions"), QStringLiteral("soSaveCaptions")));
    EXPECT_EQ(u->StringOptions(), TLTStringOptions{toShowStaticText});
    EXPECT_FALSE(u->ReadDefinedProperty(QStringLiteral("Other"), 1));
}

TEST_F(TextModelTest, WidthCacheIsClearedWhereTextsMayChange) {
    TTextTree* t = NewTree();
    UseTexts(t);
    PLazyNode a = Add(t, nullptr, QStringLiteral("Alpha"));
    PLazyNode b = Add(t, a, QStringLiteral("Beta"));
    t->NodeWidth(a, NoColumn);
    t->NodeWidth(b, NoColumn);
    ASSERT_GT(*t->NodeWidthCache(a), 0);
    const int widthA = *t->NodeWidthCache(a);
    // Measured once: a second ask does not ask for the text again.
    GetTextCalls = 0;
    EXPECT_EQ(t->NodeWidth(a, NoColumn), widthA);
    EXPECT_EQ(GetTextCalls, 0);

    t->ReinitNode(a, false);
    EXPECT_EQ(*t->NodeWidthCache(a), 0);
    EXPECT_GT(*t->NodeWidthCache(b), 0);  // only the node's own cache
    t->NodeWidth(a, NoColumn);
    t->ReinitNode(a, true);  // each re-initialized node clears its own
    EXPECT_EQ(*t->NodeWidthCache(a), 0);
    EXPECT_EQ(*t->NodeWidthCache(b), 0);
    t->NodeWidth(a, NoColumn);
    t->SetChildCount(b, 2);
    EXPECT_EQ(*t->NodeWidthCache(b), 0);
    t->NodeWidth(b, NoColumn);
    t->AfterMainColumnChange();
    EXPECT_EQ(*t->NodeWidthCache(a), 0);
    EXPECT_EQ(*t->NodeWidthCache(b), 0);
    EXPECT_EQ(t->NodeWidthCache(nullptr), nullptr);

    // A font change measures every node again on next use.
    t->NodeWidth(a, NoColumn);
    t->NodeWidth(b, NoColumn);
    t->Font()->SetHeight(-24);
    EXPECT_EQ(*t->NodeWidthCache(a), 0);
    EXPECT_EQ(*t->NodeWidthCache(b), 0);
    EXPECT_GT(t->NodeWidth(a, NoColumn), widthA);
    EXPECT_GT(t->TextHeight(), 0);
    EXPECT_GT(t->EllipsisWidth(), 0);
}

TEST_F(TextModelTest, RememberedSelectionComesBackByText) {
    TTextTree* t = NewTree(true);
    UseTexts(t);
    TLTSelectionOptions so = t->TreeOptions()->SelectionOptions();
    so.Include(toRestoreSelection);
    so.Include(toMultiSelect);
    so.Include(toCenterScrollIntoView);
    t->TreeOptions()->SetSelectionOptions(so);
    QList<PLazyNode> nodes;
    for (int i = 0; i < 60; ++i) nodes << Add(t, nullptr, QStringLiteral("Meter %1").arg(i));
    PLazyNode alpha = Add(t, nullptr, QStringLiteral("Alpha"));
    PLazyNode beta = Add(t, nullptr, QStringLiteral("Beta"));
    t->SetSelected(alpha, true);
    ASSERT_NE(t->PreviouslySelected(), nullptr);
    EXPECT_EQ(*t->PreviouslySelected(), QStringList{QStringLiteral("Alpha")});
    // A second selected node adds to the list.
    t->SetSelected(beta, true);
    EXPECT_EQ(*t->PreviouslySelected(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta")}));
    // Unselecting one takes its text out while others stay selected.
    t->SetSelected(beta, false);
    EXPECT_EQ(*t->PreviouslySelected(), QStringList{QStringLiteral("Alpha")});
    // Deleting the node inside an update keeps the remembered text (outside
    // one, unselecting the last node empties the list).
    t->BeginUpdate();
    t->DeleteNode(alpha);
    t->EndUpdate();
    Texts.remove(alpha);
    ASSERT_EQ(*t->PreviouslySelected(), QStringList{QStringLiteral("Alpha")});
    PLazyNode other = t->AddChild(nullptr);
    EXPECT_FALSE(t->GetSelected(other));
    // A new node whose text matches but for letter case is selected, and
    // the first selected node is scrolled into view, centred (its collapsed
    // parent is opened for it).
    t->OnGetText = [&](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType, QString& text) {
        text = n == other ? QStringLiteral("other") : QStringLiteral("ALPHA");
    };
    PLazyNode again = t->AddChild(nodes[30]);
    EXPECT_TRUE(t->GetSelected(again));
    EXPECT_TRUE(t->GetExpanded(nodes[30]));
    const TRect r = t->GetDisplayRect(again, NoColumn, false);
    EXPECT_LT(t->OffsetY(), 0);
    EXPECT_NEAR((r.Top + r.Bottom) / 2, t->ClientHeight() / 2, 18);
}

TEST_F(TextModelTest, SelectingTheFirstNodeForgetsTheOldTexts) {
    TTextTree* t = NewTree();
    UseTexts(t);
    TLTSelectionOptions so = t->TreeOptions()->SelectionOptions();
    so.Include(toRestoreSelection);
    so.Include(toMultiSelect);
    t->TreeOptions()->SetSelectionOptions(so);
    PLazyNode a = Add(t, nullptr, QStringLiteral("a"));
    PLazyNode b = Add(t, nullptr, QStringLiteral("b"));
    t->SetSelected(a, true);
    t->SetSelected(b, true);
    EXPECT_EQ(t->PreviouslySelected()->size(), 2);
    // Selecting a node while none is selected starts a new list.
    t->ClearSelection();
    t->SetSelected(b, true);
    EXPECT_EQ(*t->PreviouslySelected(), QStringList{QStringLiteral("b")});
}

TEST_F(TextModelTest, SearchHintsAndEmptyCells) {
    TTextTree* t = NewTree();
    UseTexts(t);
    PLazyNode a = Add(t, nullptr, QStringLiteral("Water meter"));
    PLazyNode e = Add(t, nullptr, QString());
    EXPECT_EQ(t->FireIncrementalSearch(a, QStringLiteral("Water")), 0);
    EXPECT_EQ(t->FireIncrementalSearch(a, QStringLiteral("water")), 1);  // case-sensitive prefix
    EXPECT_EQ(t->FireIncrementalSearch(a, QStringLiteral("meter")), 1);
    t->OnIncrementalSearch = [](TBaseLazyTree*, PLazyNode, const QString&, int& r) { r = 7; };
    EXPECT_EQ(t->FireIncrementalSearch(a, QStringLiteral("Water")), 7);

    TLTTooltipLineBreakStyle style = hlbForceMultiLine;
    t->SetHint(QStringLiteral("control hint"));
    EXPECT_EQ(t->NodeHint(a, NoColumn, style), QStringLiteral("control hint"));
    EXPECT_EQ(style, hlbDefault);
    EXPECT_EQ(t->NodeTooltip(a, NoColumn, style), QStringLiteral("Water meter"));
    t->OnGetHint = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TLTTooltipLineBreakStyle& s, QString& text) {
        text += QStringLiteral("!");
        s = hlbForceSingleLine;
    };
    EXPECT_EQ(t->NodeTooltip(a, NoColumn, style), QStringLiteral("control hint!"));
    EXPECT_EQ(style, hlbForceSingleLine);

    EXPECT_FALSE(t->FireGetCellIsEmpty(a, NoColumn));
    Texts[e] = QString();
    EXPECT_TRUE(t->FireGetCellIsEmpty(e, NoColumn));
    t->OnGetCellIsEmpty = [](TBaseLazyTree*, PLazyNode, TColumnIndex, bool& empty) { empty = false; };
    EXPECT_FALSE(t->FireGetCellIsEmpty(e, NoColumn));
}

TEST_F(TextModelTest, ImageTextsComeFromTheirEvent) {
    TTextTree* t = NewTree();
    PLazyNode a = t->AddChild(nullptr);
    EXPECT_EQ(t->GetImageText(a, ikNormal, 0), QString());
    t->OnGetImageText = [](TBaseLazyTree*, PLazyNode, TLTImageKind k, TColumnIndex c, QString& text) {
        text = QStringLiteral("image %1 %2").arg(int(k)).arg(c);
    };
    EXPECT_EQ(t->GetImageText(a, ikState, 2), QStringLiteral("image 2 2"));
}
