// Filter items, matching, levels and the narrow-down.
#include "GridData1Fixture.h"

#include "gridpack/stringgrid/ExCellGraphic.h"

namespace {

class GridFilterTest : public GridData1Test {
protected:
    TExStringGrid* Sample()
    {
        auto* g = NewGrid(2, 1);
        PutColumn(g, 1, 1, {"abc", "abd", "xbc", "a b"});
        return g;
    }
};

TEST_F(GridFilterTest, NarrowDownStacksLevels)
{
    auto* g = Sample();
    g->NarrowDown("a", 1);
    EXPECT_EQ(Column(g, 1, 1), Texts({"abc", "abd", "a b"}));
    g->NarrowDown("ab", 1);
    EXPECT_EQ(Column(g, 1, 1), Texts({"abc", "abd"}));
    g->NarrowDown("abc", 1);
    EXPECT_EQ(Column(g, 1, 1), Texts({"abc"}));
    EXPECT_EQ(g->FilterLevelCount(), 3);
    // back one character: exactly the last level's rows return
    g->NarrowDown("ab", 1);
    EXPECT_EQ(Column(g, 1, 1), Texts({"abc", "abd"}));
    EXPECT_EQ(g->FilterLevelCount(), 2);
    // a jump filters afresh
    g->NarrowDown("x", 1);
    EXPECT_EQ(Column(g, 1, 1), Texts({"xbc"}));
    EXPECT_EQ(g->FilterLevelCount(), 1);
    g->NarrowDown("", 1);
    EXPECT_EQ(Column(g, 1, 1), Texts({"abc", "abd", "xbc", "a b"}));
    EXPECT_EQ(g->FilterLevelCount(), 0);
}

TEST_F(GridFilterTest, NarrowDownWithABlank)
{
    auto* g = Sample();
    g->NarrowDown("a b", 1);
    EXPECT_EQ(Column(g, 1, 1), Texts({"a b"}));
    auto* h = Sample();
    h->NarrowDown("a", 1);
    h->NarrowDown("a ", 1);
    h->NarrowDown("a b", 1);
    EXPECT_EQ(Column(h, 1, 1), Texts({"a b"}));
    // the whole row, without case
    auto* k = Sample();
    k->NarrowDown("XB", -1);
    EXPECT_EQ(Column(k, 1, 1), Texts({"xbc"}));
}

TEST_F(GridFilterTest, NarrowDownToNothingLosesNoRow)
{
    // A row hidden by other means shares the store with the filter levels:
    // ending the narrow-down gives it back instead of dropping it.
    auto* g = Sample();
    g->HideRow(4);
    g->NarrowDown("a", 1);
    g->NarrowDown("", 1);
    EXPECT_EQ(g->RowCount() + g->NumHiddenRows(), 5);
    EXPECT_EQ(g->GetCellsEx(1, 4), "a b");
}

TEST_F(GridFilterTest, FilterActiveAppliesAndRemovesOneLevel)
{
    auto* g = Sample();
    TFilterData* f = g->Filter()->Add();
    EXPECT_EQ(f->Operation, foNONE);
    f->Column = 1;
    f->Condition = "a*";
    g->SetFilterActive(true);
    EXPECT_EQ(Column(g, 1, 1), Texts({"abc", "abd", "a b"}));
    EXPECT_EQ(g->FilterLevelCount(), 1);
    g->SetFilterActive(false);
    EXPECT_EQ(Column(g, 1, 1), Texts({"abc", "abd", "xbc", "a b"}));
    EXPECT_EQ(g->FilterLevelCount(), 0);
    EXPECT_FALSE(g->RemoveLastFilter());
    EXPECT_EQ(g->Filter()->Count(), 1);
    g->RemoveAllFilters();
    EXPECT_EQ(g->Filter()->Count(), 0);
}

TEST_F(GridFilterTest, JoinsAndShortCircuit)
{
    auto* g = NewGrid(3, 1);
    PutColumn(g, 1, 1, {"a", "a", "b", "b"});
    PutColumn(g, 2, 1, {"1", "2", "1", "2"});
    struct Case {
        TFilterOperation second;
        Texts kept;
    };
    const Case cases[] = {
        {foAND, {"1"}}, {foOR, {"1", "2", "1"}}, {foXOR, {"2", "1"}}, {foNONE, {"1", "1"}}};
    for (const Case& k : cases) {
        g->Filter()->Clear();
        TFilterData* a = g->Filter()->Add();
        a->Column = 1;
        a->Condition = "a";
        TFilterData* b = g->Filter()->Add();
        EXPECT_EQ(b->Operation, foAND);
        b->Column = 2;
        b->Condition = "1";
        b->Operation = k.second;
        g->ApplyFilter();
        EXPECT_EQ(Column(g, 2, 1), k.kept) << int(k.second);
        g->RemoveLastFilter();
    }
    // foSHORT: the first failing item ends the test; the item after it
    // would raise
    g->Filter()->Clear();
    TFilterData* a = g->Filter()->Add();
    a->Column = 1;
    a->Condition = "a";
    a->Operation = foSHORT;
    TFilterData* b = g->Filter()->Add();
    b->Column = 2;
    b->Condition = "1";
    b->Operation = foSHORT;
    int asked = 0, secondRead = 0;
    g->OnCustomFilter = [&](TObject*, int, bool&) { ++asked; };
    g->OnGetDisplText = [&](TObject*, int c, int, QString&) { secondRead += c == 2; };
    g->ApplyFilter();
    g->OnGetDisplText = nullptr;
    EXPECT_EQ(Column(g, 1, 1), Texts({"a"}));
    EXPECT_EQ(asked, 4);
    // the second item was tested only on the two rows the first one passed
    EXPECT_EQ(secondRead, 2);
    g->RemoveLastFilter();
    g->OnCustomFilter = nullptr;
}

TEST_F(GridFilterTest, ItemsOfTheCollection)
{
    auto* g = Sample();
    TFilterData* f = g->Filter()->GetColFilter(1);
    EXPECT_EQ(f->Column, 1);
    EXPECT_EQ(g->Filter()->GetColFilter(1), f);
    EXPECT_TRUE(g->Filter()->HasFilter(1));
    g->Filter()->Insert(0)->Column = 2;
    EXPECT_EQ(g->Filter()->Items(1)->Operation, foSHORT);
    g->Filter()->RemoveColumnFilter(1);
    EXPECT_FALSE(g->Filter()->HasFilter(1));
    EXPECT_EQ(g->Filter()->Count(), 1);
    EXPECT_EQ(g->Filter()->GetOwner(), g);

    // prefix, suffix, literal and markup
    f = g->Filter()->Add();
    f->Column = 1;
    f->Prefix = "a";
    f->Suffix = "c";
    f->Condition = "b";
    f->Method = fmLiteral;
    EXPECT_TRUE(g->MatchFilter(1));
    EXPECT_FALSE(g->MatchFilter(2));
    TFilterData copy(nullptr);
    copy.Assign(f);
    EXPECT_EQ(copy.Condition, "b");
    EXPECT_EQ(copy.Method, fmExpression);
}

TEST_F(GridFilterTest, DropDownRowAndSummaryRows)
{
    auto* g = Sample();
    g->SetFilterDropDownRow(1);
    EXPECT_EQ(g->FilterDropDownRow, 0);
    g->SetFixedRows(2);
    g->SetFilterDropDownRow(1);
    EXPECT_EQ(g->FilterDropDownRow, 1);
    g->SetFixedRows(1);

    // a summary row is never hidden with FilterNormalCellsOnly
    g->SetRowCount(6);
    g->SetCellEx(1, 5, "total");
    g->NewCellGraphic(0, 5)->CellType = ctSummary;
    TFilterData* f = g->Filter()->Add();
    f->Column = 1;
    f->Condition = "x*";
    g->ApplyFilter();
    EXPECT_EQ(Column(g, 1, 1), Texts({"xbc", "total"}));
    g->RemoveLastFilter();
    g->FilterNormalCellsOnly = false;
    g->ApplyFilter();
    EXPECT_EQ(Column(g, 1, 1), Texts({"xbc"}));
}

TEST_F(GridFilterTest, ProgressIsReported)
{
    auto* g = Sample();
    std::vector<int> seen;
    g->OnFilterProgress = [&](TObject*, int16_t p) { seen.push_back(p); };
    g->Filter()->Add()->Column = 1;
    g->ApplyFilter();
    EXPECT_EQ(seen, (std::vector<int>{25, 50, 75, 100, 100}));
}

} // namespace
