#pragma once
// String trees on a form, painted into bitmaps, for the painting tests.
#include "platform/controls/Forms.h"
#include "support/QtPrinters.h"
#include "treeview/LazyTrees.h"
#include "treeview/LazyTrees.Utils.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

// A tree whose protected painting steps the tests reach.
class TPaintTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    using TBaseLazyTree::DrawDottedHorzLine;
    using TBaseLazyTree::DrawDottedVertLine;
    using TBaseLazyTree::EraseNodeBackground;
    using TBaseLazyTree::PaintDropMark;
    using TBaseLazyTree::PaintTiledBackground;
    using TBaseLazyTree::PaintStaticBackground;
    using TBaseLazyTree::SwitchStates;
    using TCustomLazyStringTree::ReadStreamChunk;
    // What DrawCellText was asked to draw.
    struct TDrawn {
        PLazyNode Node;
        TColumnIndex Column;
        QString Text;
        TRect Rect;
        unsigned Format;
        TRect ContentRect;
    };
    QList<TDrawn> Drawn;
    int StaticTextCalls = 0;
    bool RecordOnly = false;

protected:
    void DrawCellText(TLTPaintInfo& PaintInfo, const QString& Text, const TRect& CellRect,
                      unsigned DrawFormat) override {
        Drawn.append({PaintInfo.Node, PaintInfo.Column, Text, CellRect, DrawFormat, PaintInfo.ContentRect});
        if (!RecordOnly) TLazyStringTree::DrawCellText(PaintInfo, Text, CellRect, DrawFormat);
    }
    void PaintCellStaticText(TLTPaintInfo& PaintInfo, int Flags, const QString& Text) override {
        ++StaticTextCalls;
        TLazyStringTree::PaintCellStaticText(PaintInfo, Flags, Text);
    }
};

// A bitmap filled with one colour.
inline std::unique_ptr<TBitmap> FilledBitmap(int w, int h, TColor c, TPixelFormat pf = pf24bit) {
    auto b = std::make_unique<TBitmap>(w, h, pf);
    b->Canvas()->Brush().SetColor(c);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

inline TColor PixelAt(TBitmap* b, int x, int y) { return b->Canvas()->Pixels(x, y); }

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override { Application()->RunQueuedCalls(); }
    void TearDown() override {
        for (TPaintTree* t : Trees) {
            t->OnGetText = nullptr;
            t->OnInitNode = nullptr;
            t->Free();
        }
        Trees.clear();
        if (Form) Form->Free();
        Form = nullptr;
        Application()->RunQueuedCalls();
    }
    // A tree on a form with its window, client area w x h, no border.
    TPaintTree* NewTree(int w = 200, int h = 120) {
        if (!Form) {
            Form = NewObject<TForm>(nullptr);
            Form->SetBounds(0, 0, 800, 800);
        }
        auto* t = NewObject<TPaintTree>(Form);
        t->SetParent(Form);
        t->SetBorderStyle(bsNone);
        t->HandleNeeded();
        t->SetBounds(0, 0, w, h);
        Trees.append(t);
        return t;
    }
    // Paints the client area of the tree (at its scroll position) into a
    // bitmap of the client's size.
    static std::unique_ptr<TBitmap> Render(TBaseLazyTree* t, TLTInternalPaintOptions options = WindowPaintOptions,
                                           TColor fill = clLime) {
        const int w = t->ClientWidth(), h = t->ClientHeight();
        auto b = FilledBitmap(w, h, fill);
        TRect window = Rect(0, 0, w, h);
        OffsetRect(window, t->EffectiveOffsetX(), -t->OffsetY());
        t->PaintTree(b->Canvas(), window, Point(0, 0), options);
        return b;
    }
    QList<TPaintTree*> Trees;
    TForm* Form = nullptr;
};

// The message of the EAssertionFailed a step raised (empty when none).
template <class F>
QString AssertionText(F&& step) {
    try {
        step();
    } catch (const EAssertionFailed& e) {
        return e.Message();
    }
    return QString();
}
