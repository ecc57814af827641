// Columns, the column collection and the header's layout rules.
#include "ControlKit.h"

namespace {
TLazyTreeColumns* Cols(TBaseLazyTree* t) { return t->Header()->Columns(); }
void AddColumns(TBaseLazyTree* t, int n) {
    for (int i = 0; i < n; ++i) Cols(t)->Add();
}
}  // namespace

TEST_F(ControlTest, ANewColumnHasItsDefaults) {
    TViewTree* t = LooseTree();
    TLazyTreeColumn* c = Cols(t)->Add();
    EXPECT_EQ(c->Width(), 50);
    EXPECT_EQ(c->MinWidth(), 10);
    EXPECT_EQ(c->MaxWidth(), 10000);
    EXPECT_EQ(c->Margin(), 4);
    EXPECT_EQ(c->Spacing(), 3);
    EXPECT_EQ(c->Options().Bits(), 0x88FF);
    EXPECT_EQ(c->Position(), 0u);
    EXPECT_EQ(c->ImageIndex(), -1);
    EXPECT_EQ(Cols(t)->Add()->Position(), 1u);
}

TEST_F(ControlTest, WidthLimitsAndMarginKeepTheirRules) {
    TViewTree* t = LooseTree();
    TLazyTreeColumn* c = Cols(t)->Add();
    c->SetMaxWidth(100);
    c->SetMinWidth(200);
    EXPECT_EQ(c->MinWidth(), 100);
    c->SetWidth(20);
    EXPECT_EQ(c->Width(), 100);  // the minimum is applied at once
    TLazyTreeColumn* d = Cols(t)->Add();
    d->SetMaxWidth(5);
    EXPECT_EQ(d->MaxWidth(), 10);
    EXPECT_EQ(d->Width(), 10);
    d->SetMargin(-3);
    EXPECT_EQ(d->Margin(), 4);
    // Left edges follow the widths of the visible columns before.
    EXPECT_EQ(d->Left(), 100);
}

TEST_F(ControlTest, PositionsMoveColumnsAndClampToTheLast) {
    TViewTree* t = LooseTree();
    AddColumns(t, 3);
    Cols(t)->Items(0)->SetPosition(99);
    EXPECT_EQ(Cols(t)->Items(0)->Position(), 2u);
    EXPECT_EQ(Cols(t)->PositionToIndex(), (TIndexArray{1, 2, 0}));
    EXPECT_EQ(Cols(t)->Items(1)->Left(), 0);
    EXPECT_EQ(Cols(t)->Items(0)->Left(), 100);
    EXPECT_EQ(Cols(t)->ColumnFromPosition(TColumnPosition(5)), NoColumn);
    EXPECT_EQ(Cols(t)->ColumnFromPosition(Point(120, 1), false), 0);
    EXPECT_EQ(Cols(t)->ColumnFromPosition(Point(-1, 1), false), InvalidColumn);
    EXPECT_EQ(Cols(t)->ColumnFromPosition(Point(151, 1), false), InvalidColumn);
}

TEST_F(ControlTest, DeletingColumnsKeepsTheMainAndSortColumns) {
    TViewTree* t = LooseTree();
    AddColumns(t, 3);
    EXPECT_EQ(t->Header()->MainColumn(), 0);
    delete Cols(t)->Items(0);
    EXPECT_EQ(t->Header()->MainColumn(), 0);  // the former column 1
    EXPECT_EQ(Cols(t)->PositionToIndex(), (TIndexArray{0, 1}));

    TViewTree* u = LooseTree();
    AddColumns(u, 3);
    u->Header()->SetMainColumn(2);
    u->Header()->SetSortColumn(1);
    Cols(u)->Items(0)->Free();
    EXPECT_EQ(u->Header()->MainColumn(), 1);
    EXPECT_EQ(u->Header()->SortColumn(), 0);

    TViewTree* w = LooseTree();
    AddColumns(w, 1);
    Cols(w)->Items(0)->Free();
    EXPECT_EQ(w->Header()->MainColumn(), NoColumn);
}

TEST_F(ControlTest, DisplayNameFallsBackForWideCharacters) {
    TViewTree* t = LooseTree();
    AddColumns(t, 2);
    Cols(t)->Items(1)->SetText(QStringLiteral("Gr\u00F6\u00DFe"));
    EXPECT_EQ(Cols(t)->Items(1)->GetDisplayName(), QStringLiteral("Gr\u00F6\u00DFe"));
    Cols(t)->Items(1)->SetText(QStringLiteral("Wert \u20AC"));
    EXPECT_EQ(Cols(t)->Items(1)->GetDisplayName(), QStringLiteral("Column 1"));
}

TEST_F(ControlTest, HeaderDefaultsAndIndexRules) {
    TViewTree* t = LooseTree();
    TLTHeader* h = t->Header();
    EXPECT_EQ(h->Height(), 19);
    EXPECT_EQ(h->Options().Bits(), 0x20Au);
    EXPECT_EQ(h->SplitterHitTolerance, 8);
    EXPECT_EQ(h->SortColumn(), NoColumn);
    h->SetSortColumn(-7);
    EXPECT_EQ(h->SortColumn(), NoColumn);
    h->SetMainColumn(5);
    EXPECT_EQ(h->MainColumn(), NoColumn);
    AddColumns(t, 3);
    h->SetMainColumn(5);
    EXPECT_EQ(h->MainColumn(), 2);
    EXPECT_EQ(t->MainColumn(), 2);
}

TEST_F(ControlTest, HeaderHeightFollowsItsLimits) {
    TViewTree* t = NewTree(200, 200);
    TLTHeader* h = t->Header();
    h->SetOptions(h->Options() + TLTHeaderOptions{hoVisible});
    // The tree is 200 pixels high in all: client plus header.
    ASSERT_EQ(t->ClientHeight() + h->Height(), 200);
    h->FixedAreaConstraints()->SetMaxHeightPercent(20);
    h->SetMinHeight(50);
    EXPECT_LE(h->Height(), 40);
    h->SetHeight(100);
    EXPECT_LE(h->Height(), 40);

    TViewTree* u = NewTree(200, 200);
    u->Header()->SetDefaultHeight(25);
    EXPECT_EQ(u->Header()->Height(), 25);
    u->Header()->SetHeight(30);
    u->Header()->SetDefaultHeight(27);
    EXPECT_EQ(u->Header()->Height(), 30);
}

TEST_F(ControlTest, ConstraintPercentsPullEachOther) {
    TViewTree* t = LooseTree();
    TLTFixedAreaConstraints* f = t->Header()->FixedAreaConstraints();
    f->SetMinWidthPercent(50);
    f->SetMaxWidthPercent(30);
    EXPECT_EQ(f->MinWidthPercent(), 30);
    f->SetMaxWidthPercent(40);
    f->SetMinWidthPercent(60);
    EXPECT_EQ(f->MaxWidthPercent(), 60);
    f->SetMaxWidthPercent(0);
    EXPECT_EQ(f->MinWidthPercent(), 60);
}

TEST_F(ControlTest, SpringColumnsShareWidthChangesWithTheirRests) {
    TViewTree* t = NewTree(300, 100);
    TLTHeader* h = t->Header();
    AddColumns(t, 3);
    for (int i : {0, 2}) Cols(t)->Items(i)->SetOptions(Cols(t)->Items(i)->Options() + TLTColumnOptions{coAutoSpring});
    h->SetOptions(h->Options() + TLTHeaderOptions{hoAutoSpring, hoVisible});
    h->DistributeSpringWidth();  // remembers the width
    ASSERT_NE(h->LastWidth(), 0);
    t->SetBounds(0, 0, 303, 100);
    EXPECT_EQ(Cols(t)->Items(0)->Width(), 51);
    EXPECT_EQ(Cols(t)->Items(2)->Width(), 51);
    EXPECT_EQ(Cols(t)->Items(1)->Width(), 50);
    t->SetBounds(0, 0, 304, 100);
    EXPECT_EQ(Cols(t)->Items(0)->Width(), 52);
    EXPECT_EQ(Cols(t)->Items(2)->Width(), 52);
}

TEST_F(ControlTest, ScrollWidthIsTheRoundedAverageOfScrollingColumns) {
    struct Case {
        int a, b, expected;
    };
    for (const Case c : {Case{50, 51, 50}, Case{51, 52, 52}}) {
        TViewTree* t = LooseTree();
        AddColumns(t, 3);
        Cols(t)->Items(0)->SetWidth(c.a);
        Cols(t)->Items(1)->SetWidth(c.b);
        Cols(t)->Items(2)->SetOptions(Cols(t)->Items(2)->Options() + TLTColumnOptions{coFixed});
        EXPECT_EQ(Cols(t)->GetScrollWidth(), c.expected) << c.a << " " << c.b;
    }
    TViewTree* u = LooseTree();
    EXPECT_EQ(Cols(u)->GetScrollWidth(), 18);  // no scrolling column: the indent
}

TEST_F(ControlTest, AutoSizeIndexBeyondTheColumnsSizesTheLastOne) {
    TViewTree* t = NewTree(400, 100);
    AddColumns(t, 3);
    TLTHeader* h = t->Header();
    h->SetAutoSizeIndex(7);
    h->SetOptions(h->Options() + TLTHeaderOptions{hoAutoResize});
    EXPECT_EQ(Cols(t)->Items(2)->Width(), t->ClientWidth() - 100);
    EXPECT_EQ(Cols(t)->Items(0)->Width(), 50);
}

TEST_F(ControlTest, PositionsReadWhileLoadingAreCheckedWhenLoadingEnds) {
    struct Case {
        TColumnPosition p0, p1, p2;
        TIndexArray expected;
    };
    const Case cases[] = {
        {2, 0, 1, {1, 2, 0}},  // a permutation is taken as it stands
        {1, 1, 2, {0, 1, 2}},  // a position twice: index order
        {0, 7, 1, {0, 1, 2}},  // out of range: index order
    };
    for (const Case& c : cases) {
        TViewTree* t = LooseTree();
        AddColumns(t, 3);
        t->BeginLoading();
        Cols(t)->Items(0)->SetPosition(c.p0);
        Cols(t)->Items(1)->SetPosition(c.p1);
        Cols(t)->Items(2)->SetPosition(c.p2);
        t->EndLoading();
        EXPECT_EQ(Cols(t)->PositionToIndex(), c.expected);
    }
}

TEST_F(ControlTest, HeaderRectangleAndSplitterBand) {
    TViewTree* t = NewTree(200, 100);
    TLTHeader* h = t->Header();
    EXPECT_EQ(t->HeaderRect().Height(), 0);  // hidden
    h->SetOptions(h->Options() + TLTHeaderOptions{hoVisible});
    EXPECT_EQ(t->HeaderRect(), Rect(0, 0, 200, 19));
    EXPECT_EQ(t->ClientHeight(), 100 - 19);
    EXPECT_TRUE(h->InHeader(Point(5, -3)));
    EXPECT_FALSE(h->InHeader(Point(5, 3)));
    EXPECT_TRUE(h->InHeaderSplitterArea(Point(5, 1)));
    EXPECT_FALSE(h->InHeaderSplitterArea(Point(5, 2)));
}
