// Auto-fit, width distribution and restoring the column widths.
#include "ControlKit.h"

#include <map>

namespace {
TLazyTreeColumns* Cols(TBaseLazyTree* t) { return t->Header()->Columns(); }

QList<int> Widths(TBaseLazyTree* t) {
    QList<int> out;
    for (int i = 0; i < Cols(t)->Count(); ++i) out << Cols(t)->Items(i)->Width();
    return out;
}

// Content widths given per node and column.
class TFitTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    std::map<std::pair<PLazyNode, TColumnIndex>, int> Content;
    int NodeWidth(PLazyNode Node, TColumnIndex Column, TCanvas*) override {
        auto it = Content.find({Node, Column});
        return it == Content.end() ? 10 : it->second;
    }
};

class HeaderFit : public ControlTest {
protected:
    TFitTree* NewFitTree(int columns) {
        if (!Form) {
            Form = NewObject<TForm>(nullptr);
            Form->SetBounds(0, 0, 800, 800);
        }
        auto* t = NewObject<TFitTree>(Form);
        t->SetParent(Form);
        t->SetBorderStyle(bsNone);
        t->HandleNeeded();
        t->SetBounds(0, 0, 300, 180);  // ten rows in view
        for (int i = 0; i < columns; ++i) Cols(t)->Add();
        Trees.append(t);
        return t;
    }
    // The width the tree gives a top-level node's cell of content w in a
    // column other than the main one.
    static int Plain(TBaseLazyTree* t, PLazyNode n, TColumnIndex c, int w) {
        return t->Margin() + w + t->CellContentMargin(n, c, ccmtAllSides).X;
    }
};
}  // namespace

TEST_F(HeaderFit, ResizeColumnsHandsTheSparePixelOnFairly) {
    TViewTree* t = LooseTree();
    for (int i = 0; i < 3; ++i) Cols(t)->Add();
    EXPECT_EQ(t->Header()->ResizeColumns(7, 0, 2, {}), 7);
    EXPECT_EQ(Widths(t), (QList<int>{53, 52, 52}));
    EXPECT_EQ(t->Header()->ResizeColumns(7, 0, 2, {}), 7);
    EXPECT_EQ(Widths(t), (QList<int>{55, 55, 54}));
    EXPECT_EQ(t->Header()->ResizeColumns(0, 0, 2, {}), 0);
    // Shrinking walks from the end of the range.
    EXPECT_EQ(t->Header()->ResizeColumns(-4, 0, 2, {}), -4);
    EXPECT_EQ(Widths(t), (QList<int>{54, 53, 53}));
}

TEST_F(HeaderFit, ResizeColumnsStaysWithinTheLimitsAndTheOptions) {
    TViewTree* t = LooseTree();
    for (int i = 0; i < 3; ++i) Cols(t)->Add();
    Cols(t)->Items(0)->SetMaxWidth(52);
    Cols(t)->Items(2)->SetOptions(Cols(t)->Items(2)->Options() - TLTColumnOptions{coResizable});
    // Column 2 lacks the option; column 0 has 2 pixels of room.
    EXPECT_EQ(t->Header()->ResizeColumns(20, 0, 2, {coResizable}), 20);
    EXPECT_EQ(Widths(t), (QList<int>{52, 68, 50}));
    Cols(t)->Items(1)->SetMaxWidth(70);
    EXPECT_EQ(t->Header()->ResizeColumns(20, 0, 2, {coResizable}), 2);  // less than asked
    EXPECT_EQ(Widths(t), (QList<int>{52, 70, 50}));
    Cols(t)->Items(1)->SetMinWidth(65);
    EXPECT_EQ(t->Header()->ResizeColumns(-100, 0, 1, {}), -(52 - 10) - (70 - 65));
    EXPECT_EQ(Widths(t), (QList<int>{10, 65, 50}));
}

TEST_F(HeaderFit, AutoFitTakesTheWidestContentOfThePositionsInRange) {
    TFitTree* t = NewFitTree(3);
    t->SetRootNodeCount(3);
    PLazyNode a = t->GetFirst();
    PLazyNode c = t->GetLast();
    t->Content[{a, 1}] = 70;
    t->Content[{c, 1}] = 90;
    t->Content[{a, 2}] = 33;
    QStringList events;
    t->OnBeforeAutoFitColumns = [&](TLTHeader*, TSmartAutoFitType&) { events << "before"; };
    t->OnBeforeAutoFitColumn = [&](TLTHeader*, TColumnIndex i, TSmartAutoFitType&, bool&) {
        events << QStringLiteral("before %1").arg(i);
    };
    t->OnAfterAutoFitColumn = [&](TLTHeader*, TColumnIndex i) { events << QStringLiteral("after %1").arg(i); };
    t->OnAfterAutoFitColumns = [&](TLTHeader*) { events << "after"; };

    t->Header()->AutoFitColumns(false, smaNoColumn, 5, 2);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(Widths(t), (QList<int>{50, 50, 50}));

    // Column 0 hidden, column 2 shown first: positions run 2, 1, 0.
    Cols(t)->Items(2)->SetPosition(0);
    Cols(t)->Items(0)->SetOptions(Cols(t)->Items(0)->Options() - TLTColumnOptions{coVisible});
    t->Header()->AutoFitColumns(false, smaNoColumn, -1, -1);
    EXPECT_EQ(events, (QStringList{"before", "before 2", "after 2", "before 1", "after 1", "after"}));
    EXPECT_EQ(Widths(t), (QList<int>{50, Plain(t, c, 1, 90), Plain(t, a, 2, 33)}));

    // Columns that cannot be resized stay.
    Cols(t)->Items(1)->SetWidth(50);
    Cols(t)->Items(1)->SetOptions(Cols(t)->Items(1)->Options() - TLTColumnOptions{coResizable});
    t->Header()->AutoFitColumns(false, smaNoColumn, -1, 99);
    EXPECT_EQ(Cols(t)->Items(1)->Width(), 50);

    t->OnBeforeAutoFitColumns = nullptr;
    t->OnBeforeAutoFitColumn = nullptr;
    t->OnAfterAutoFitColumn = nullptr;
    t->OnAfterAutoFitColumns = nullptr;
}

TEST_F(HeaderFit, SmartFitMeasuresOnlyTheNodesInView) {
    TFitTree* t = NewFitTree(2);
    t->SetRootNodeCount(40);
    PLazyNode far = t->GetLast();
    PLazyNode near = t->GetFirst()->NextSibling;
    t->Content[{far, 1}] = 200;
    t->Content[{near, 1}] = 60;
    Cols(t)->Items(1)->SetOptions(Cols(t)->Items(1)->Options() + TLTColumnOptions{coSmartResize});
    t->Header()->AutoFitColumns(false, smaUseColumnOption, 1, 1);
    EXPECT_EQ(Cols(t)->Items(1)->Width(), Plain(t, near, 1, 60));
    t->Header()->AutoFitColumns(false, smaNoColumn, 1, 1);
    EXPECT_EQ(Cols(t)->Items(1)->Width(), Plain(t, far, 1, 200));
    // A handler may change the kind for the whole call.
    t->OnBeforeAutoFitColumns = [](TLTHeader*, TSmartAutoFitType& k) { k = smaAllColumns; };
    t->Header()->AutoFitColumns(false, smaNoColumn, 1, 1);
    EXPECT_EQ(Cols(t)->Items(1)->Width(), Plain(t, near, 1, 60));
    t->OnBeforeAutoFitColumns = nullptr;
}

TEST_F(HeaderFit, TheMainColumnCountsIndentAndGridLines) {
    TFitTree* t = NewFitTree(2);
    t->SetRootNodeCount(1);
    PLazyNode top = t->GetFirst();
    t->SetChildCount(top, 1);
    t->SetExpanded(top, true);
    PLazyNode child = t->GetFirstChild(top);
    t->Content[{top, 0}] = 30;
    t->Content[{child, 0}] = 30;
    const int indent = int(t->Indent());
    const int root = t->TreeOptions()->PaintOptions().Contains(toShowRoot) ? indent : 0;
    const int margin = t->CellContentMargin(child, 0, ccmtAllSides).X;
    EXPECT_EQ(t->GetMaxColumnWidth(0, false), t->Margin() + root + indent + 30 + margin);
    t->TreeOptions()->SetPaintOptions(t->TreeOptions()->PaintOptions() + TLTPaintOptions{toShowVertGridLines});
    EXPECT_EQ(t->GetMaxColumnWidth(0, false), t->Margin() + root + indent + 30 + margin + 1);
    int seen = -1;
    t->OnAfterGetMaxColumnWidth = [&](TLTHeader*, TColumnIndex, int& w) {
        seen = w;
        w = 7;
    };
    EXPECT_EQ(t->GetMaxColumnWidth(1, false), 7);
    EXPECT_EQ(seen, Plain(t, top, 1, 10) + 1);
    t->OnAfterGetMaxColumnWidth = nullptr;
}

TEST_F(HeaderFit, ACancelledOperationAnswersTheCurrentWidth) {
    TFitTree* t = NewFitTree(2);
    t->SetRootNodeCount(3);
    t->Content[{t->GetFirst(), 1}] = 300;
    Cols(t)->Items(1)->SetWidth(77);
    t->OpenOperation(okExport);
    t->CancelOperation();
    EXPECT_EQ(t->GetMaxColumnWidth(1, false), 77);
    t->CloseOperation(okExport);
    // Cancelling while fitting leaves the columns still to come.
    t->OnAfterAutoFitColumn = [&](TLTHeader*, TColumnIndex) { t->CancelOperation(); };
    t->Header()->AutoFitColumns(false, smaNoColumn, -1, -1);
    EXPECT_NE(Cols(t)->Items(0)->Width(), 50);
    EXPECT_EQ(Cols(t)->Items(1)->Width(), 77);
    t->OnAfterAutoFitColumn = nullptr;
}

TEST_F(HeaderFit, RestoringTwiceGivesTheWidthsBack) {
    TViewTree* t = LooseTree();
    for (int i = 0; i < 3; ++i) Cols(t)->Add();
    Cols(t)->Items(0)->SetWidth(80);
    Cols(t)->Items(1)->SetWidth(20);
    Cols(t)->Items(2)->SetWidth(120);
    const QList<int> now = Widths(t);
    t->Header()->RestoreColumns();
    EXPECT_EQ(Widths(t), (QList<int>{50, 50, 50}));
    t->Header()->RestoreColumns();
    EXPECT_EQ(Widths(t), now);
}
