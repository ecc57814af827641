#pragma once
// Trees placed on a form with a window, for the control's tests.
#include "platform/controls/Forms.h"
#include "platform/controls/ScrollBars.h"
#include "support/QtPrinters.h"
#include "treeview/LazyTrees.h"

#include <gtest/gtest.h>

// A tree whose protected steps the tests reach.
class TViewTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    using TBaseLazyTree::RecalcHeaderRect;
    using TBaseLazyTree::StopCacheValidation;
    using TBaseLazyTree::StartCacheValidation;
    using TBaseLazyTree::InvalidatePositionCache;
    using TBaseLazyTree::BuildPositionCache;
    using TBaseLazyTree::PaintControlBorder;
    using TBaseLazyTree::ComputeAutoScrollDirections;
    using TBaseLazyTree::SwitchStates;
    int NodeWidthCalls = 0;
    int PlaceEditorCalls = 0;
    int NodeWidth(PLazyNode, TColumnIndex, TCanvas*) override {
        ++NodeWidthCalls;
        return 40;
    }
    void PlaceEditor() override { ++PlaceEditorCalls; }
};

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override { Application()->RunQueuedCalls(); }
    void TearDown() override {
        for (TBaseLazyTree* t : Trees) Drop(t);
        for (TBaseLazyTree* t : Trees) t->Free();
        Trees.clear();
        if (Form) Form->Free();
        Form = nullptr;
        Application()->RunQueuedCalls();
        SetTickCountForTest(-1);
        TBaseLazyTree::SetAnimationSleep(nullptr);
    }
    // Animations wait on the test clock, which their sleeping moves on.
    static void UseTestClock(std::int64_t start) {
        SetTickCountForTest(start);
        TBaseLazyTree::SetAnimationSleep([](uint32_t ms) { SetTickCountForTest(std::int64_t(TickCount()) + ms); });
    }
    static void Drop(TBaseLazyTree* t) {
        t->OnMeasureItem = nullptr;
        t->OnScroll = nullptr;
        t->OnInitNode = nullptr;
        t->OnColumnResize = nullptr;
    }
    // A tree on a form, its window made, client area w x h.
    TViewTree* NewTree(int w = 300, int h = 300) {
        if (!Form) {
            Form = NewObject<TForm>(nullptr);
            Form->SetBounds(0, 0, 800, 800);
        }
        auto* t = NewObject<TViewTree>(Form);
        t->SetParent(Form);
        t->SetBorderStyle(bsNone);
        t->HandleNeeded();
        t->SetBounds(0, 0, w, h);
        Trees.append(t);
        return t;
    }
    // A tree with no window and on no form.
    TViewTree* LooseTree() {
        auto* t = NewObject<TViewTree>(nullptr);
        Trees.append(t);
        return t;
    }
    void FreeTree(TBaseLazyTree* t) {
        Trees.removeOne(t);
        Drop(t);
        t->Free();
    }
    QList<TBaseLazyTree*> Trees;
    TForm* Form = nullptr;
};

// Runs the step and answers the message of the EAssertionFailed it raised.
template <class F>
QString AssertText(F&& step) {
    try {
        step();
    } catch (const EAssertionFailed& e) {
        return e.Message();
    }
    return QString();
}
