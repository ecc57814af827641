#pragma once
// Trees on a shown form, driven through the input layer as a person would.
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "platform/controls/StdMessages.h"
#include "platform/controls/Timers.h"
#include "support/QtPrinters.h"
#include "treeview/LazyTrees.h"

#include <gtest/gtest.h>

#include <map>

// A string tree whose text is its node's name and 40 pixels wide, with the
// steps the tests reach opened up.
class TInputTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    using TBaseLazyTree::SwitchStates;
    using TBaseLazyTree::TrackHotNode;
    using TBaseLazyTree::ApplyWindowTheme;
    using TBaseLazyTree::FocusNodeAndColumn;
    int WindowsMade = 0;
    void CreateWnd() override {
        ++WindowsMade;
        TLazyStringTree::CreateWnd();
    }
    std::map<PLazyNode, QString> Texts;
    int TextWidth = 40;
    int NodeWidth(PLazyNode, TColumnIndex, TCanvas*) override { return TextWidth; }
    void GetTextInfo(PLazyNode Node, TColumnIndex, TFont*, TRect& R, QString& Text) override {
        R = TRect();
        auto it = Texts.find(Node);
        Text = it == Texts.end() ? QString() : it->second;
    }
    int FireIncrementalSearch(PLazyNode Node, const QString& Text) override {
        auto it = Texts.find(Node);
        const QString t = it == Texts.end() ? QString() : it->second;
        return t.startsWith(Text, Qt::CaseInsensitive) ? 0 : 1;
    }
};

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application()->RunQueuedCalls();
        ResetKeyboardState();
        SetTickCountForTest(100000);
    }
    void TearDown() override {
        for (TInputTree* t : Trees) Drop(t);
        for (TInputTree* t : Trees) t->Free();
        Trees.clear();
        if (Form) Form->Free();
        Form = nullptr;
        Application()->CancelHint();
        Application()->RunQueuedCalls();
        ResetKeyboardState();
        SetTickCountForTest(-1);
    }
    static void Drop(TInputTree* t) {
        t->OnChecking = nullptr;
        t->OnChecked = nullptr;
        t->OnFocusChanging = nullptr;
        t->OnFocusChanged = nullptr;
        t->OnEditing = nullptr;
        t->OnEdited = nullptr;
        t->OnEditCancelled = nullptr;
        t->OnCreateEditor = nullptr;
        t->OnGetHintKind = nullptr;
        t->OnGetHintSize = nullptr;
        t->OnNodeClick = nullptr;
        t->OnHotChange = nullptr;
        t->OnGetImageIndex = nullptr;
        t->OnGetCellIsEmpty = nullptr;
        t->OnStateChange = nullptr;
        t->OnInitNode = nullptr;
    }
    // A tree on a shown form, client area w x h, no border.
    TInputTree* NewTree(int w = 300, int h = 300) {
        if (!Form) {
            Form = NewObject<TForm>(nullptr);
            Form->SetBounds(0, 0, 800, 800);
            Form->Show();
        }
        auto* t = NewObject<TInputTree>(Form);
        t->SetParent(Form);
        t->SetBorderStyle(bsNone);
        t->HandleNeeded();
        t->SetBounds(0, 0, w, h);
        Trees.append(t);
        return t;
    }
    // Top-level nodes named by the letters; each row is 18 pixels high.
    QList<PLazyNode> AddNodes(TInputTree* t, PLazyNode parent, const QStringList& names) {
        QList<PLazyNode> out;
        for (const QString& n : names) {
            PLazyNode node = t->AddChild(parent);
            t->Texts[node] = n;
            out << node;
        }
        return out;
    }
    static void AddMisc(TInputTree* t, TLTMiscOptions add) {
        t->TreeOptions()->SetMiscOptions(t->TreeOptions()->MiscOptions() + add);
    }
    static void AddSelection(TInputTree* t, TLTSelectionOptions add) {
        t->TreeOptions()->SetSelectionOptions(t->TreeOptions()->SelectionOptions() + add);
    }
    static void AddPaint(TInputTree* t, TLTPaintOptions add) {
        t->TreeOptions()->SetPaintOptions(t->TreeOptions()->PaintOptions() + add);
    }
    static void RemovePaint(TInputTree* t, TLTPaintOptions remove) {
        t->TreeOptions()->SetPaintOptions(t->TreeOptions()->PaintOptions() - remove);
    }
    static THitInfo Hit(TInputTree* t, int x, int y) {
        THitInfo h;
        t->GetHitTestInfoAt(x, y, true, h);
        return h;
    }
    QList<TInputTree*> Trees;
    TForm* Form = nullptr;
};
