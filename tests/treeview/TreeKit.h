#pragma once
// A string tree per test, freed at the end, and small helpers to build and
// read trees.
#include "support/QtPrinters.h"
#include "treeview/LazyTrees.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <map>

// The string tree with the range steps the mouse and keyboard drive opened
// up for the tests (its class name stays the string tree's).
class TTestTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    using TBaseLazyTree::DeselectRange;
    using TBaseLazyTree::SelectVisibleRange;
    using TBaseLazyTree::ToggleRange;
};

class TreeTest : public ::testing::Test {
protected:
    void TearDown() override {
        // The handlers capture the test's locals, which are gone by now.
        for (TBaseLazyTree* t : Trees) DropHandlers(t);
        for (TBaseLazyTree* t : Trees) t->Free();
        Trees.clear();
    }
    TTestTree* NewTree() {
        auto* t = NewObject<TTestTree>(nullptr);
        Trees.append(t);
        return t;
    }
    static void DropHandlers(TBaseLazyTree* t) {
        t->OnInitNode = nullptr;
        t->OnInitChildren = nullptr;
        t->OnFreeNode = nullptr;
        t->OnGetNodeDataSize = nullptr;
        t->OnResetNode = nullptr;
        t->OnChecking = nullptr;
        t->OnChecked = nullptr;
        t->OnExpanding = t->OnCollapsing = nullptr;
        t->OnExpanded = t->OnCollapsed = nullptr;
        t->OnChange = nullptr;
        t->OnStructureChange = nullptr;
        t->OnUpdating = nullptr;
        t->OnStateChange = nullptr;
        t->OnStartOperation = t->OnEndOperation = nullptr;
        t->OnSaveNode = t->OnLoadNode = nullptr;
        t->OnSaveTree = t->OnLoadTree = nullptr;
        t->OnNodeCopied = nullptr;
        t->OnCompareNodes = nullptr;
        t->OnNodeCopying = nullptr;
        t->OnNodeMoving = nullptr;
        t->OnNodeMoved = nullptr;
        t->OnAddToSelection = nullptr;
        t->OnRemoveFromSelection = nullptr;
        t->OnFocusChanged = nullptr;
        t->OnFocusChanging = nullptr;
    }
    // Frees a tree before the end of the test.
    void FreeTree(TBaseLazyTree* t) {
        Trees.removeOne(t);
        t->Free();
    }
    // A, B (B1, B2), C, every node named through the map.
    void BuildABC(TBaseLazyTree* t) {
        A = t->AddChild(nullptr);
        B = t->AddChild(nullptr);
        B1 = t->AddChild(B);
        B2 = t->AddChild(B);
        C = t->AddChild(nullptr);
        Names = {{A, "A"}, {B, "B"}, {B1, "B1"}, {B2, "B2"}, {C, "C"}};
    }
    QString Name(PLazyNode n) const {
        if (!n) return QStringLiteral("nil");
        auto it = Names.find(n);
        return it == Names.end() ? QStringLiteral("?") : QString::fromLatin1(it->second);
    }
    // The names along a walk from first with next until nil.
    QStringList Walk(PLazyNode first, const std::function<PLazyNode(PLazyNode)>& next) const {
        QStringList out;
        int guard = 0;
        for (PLazyNode n = first; n && guard < 1000; n = next(n), ++guard) out << Name(n);
        return out;
    }

    QList<TBaseLazyTree*> Trees;
    PLazyNode A = nullptr, B = nullptr, B1 = nullptr, B2 = nullptr, C = nullptr;
    std::map<PLazyNode, const char*> Names;
};

inline QStringList Split(const char* s) { return QString::fromLatin1(s).split(QLatin1Char(' '), Qt::SkipEmptyParts); }

// Runs the step and answers the message of the EAssertionFailed it raised
// (empty when it raised none).
template <class F>
QString AssertionText(F&& step) {
    try {
        step();
    } catch (const EAssertionFailed& e) {
        return e.Message();
    }
    return QString();
}

// The help context of the ELazyTreeError the step raised, 0 when none.
template <class F>
int TreeErrorContext(F&& step) {
    try {
        step();
    } catch (const ELazyTreeError& e) {
        return e.HelpContext();
    }
    return 0;
}
