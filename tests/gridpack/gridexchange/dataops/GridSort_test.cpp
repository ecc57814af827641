// Sorting rows: compare rules, ties, blanks, hidden columns, undo, the sort
// state text and the failures.
#include "GridData1Fixture.h"

namespace {

class GridSortTest : public GridData1Test {};

TEST_F(GridSortTest, AutomaticStyleSortsNumbersAsNumbers)
{
    for (bool autoFormat : {true, false}) {
        auto* g = NewGrid(2, 1);
        PutColumn(g, 1, 1, {"10", "9", "100"});
        g->SortSettings()->AutoFormat = autoFormat;
        g->Sort(1, sdAscending);
        EXPECT_EQ(Column(g, 1, 1), autoFormat ? Texts({"9", "10", "100"}) : Texts({"10", "100", "9"}));
        g->Sort(1, sdDescending);
        EXPECT_EQ(Column(g, 1, 1), autoFormat ? Texts({"100", "10", "9"}) : Texts({"9", "100", "10"}));
    }
}

TEST_F(GridSortTest, CompareStylesThroughTheFormatHook)
{
    struct Case {
        TSortStyle style;
        QString prefix, suffix;
        Texts in, out;
    };
    const Case cases[] = {
        {ssAlphaNoCase, "", "", {"b", "A", "c", "D"}, {"A", "b", "c", "D"}},
        {ssAlphaCase, "", "", {"b", "a", "B"}, {"B", "a", "b"}},
        {ssNumeric, "$", " kg", {"$12 kg", "$3 kg", "$100 kg"}, {"$3 kg", "$12 kg", "$100 kg"}},
        {ssFinancial, "", "", {"1,200.5", "950", "12,000"}, {"950", "1,200.5", "12,000"}},
        // a number that fails to parse counts as 0
        {ssNumeric, "", "", {"5", "x", "-2"}, {"-2", "x", "5"}},
        {ssShortDateEU, "", "", {"02/03/2020", "01/04/2020", "31/01/2020"}, {"31/01/2020", "02/03/2020", "01/04/2020"}},
        {ssShortDateUS, "", "", {"02/03/2020", "01/04/2020", "12/31/2019"}, {"12/31/2019", "01/04/2020", "02/03/2020"}},
        {ssHTML, "", "", {"<b>b</b>", "a", "<i>c</i>"}, {"a", "<b>b</b>", "<i>c</i>"}},
        {ssAlphaNumeric, "", "", {"10", "9", "100"}, {"9", "10", "100"}},
        {ssAlphaNumeric, "", "", {"b1", "a2", "10"}, {"10", "a2", "b1"}},
        {ssAnsiAlphaNoCase, "", "", {"b", "A", "c"}, {"A", "b", "c"}},
    };
    for (const Case& k : cases) {
        auto* g = NewGrid(2, 1);
        PutColumn(g, 1, 1, k.in);
        g->OnGetFormat = [&](TObject*, int, TSortStyle& s, QString& p, QString& x) {
            s = k.style;
            p = k.prefix;
            x = k.suffix;
        };
        g->Sort(1, sdAscending);
        EXPECT_EQ(Column(g, 1, 1), k.out) << int(k.style);
    }
}

TEST_F(GridSortTest, DatesAndTimesAreDetected)
{
    auto* g = NewGrid(2, 1);
    PutColumn(g, 1, 1, {"03/02/2021", "01/12/2020", "15/01/2021"});
    g->Sort(1, sdAscending);
    EXPECT_EQ(Column(g, 1, 1), Texts({"01/12/2020", "15/01/2021", "03/02/2021"}));
    auto* t = NewGrid(2, 1);
    PutColumn(t, 1, 1, {"9:30", "10:05", "08:00"});
    t->Sort(1, sdAscending);
    EXPECT_EQ(Column(t, 1, 1), Texts({"08:00", "9:30", "10:05"}));
}

TEST_F(GridSortTest, CustomAndRawCompares)
{
    auto* g = NewGrid(2, 1);
    PutColumn(g, 1, 1, {"aaa", "b", "cc"});
    g->OnGetFormat = [](TObject*, int, TSortStyle& s, QString&, QString&) { s = ssCustom; };
    g->OnCustomCompare = [](TObject*, const QString& a, const QString& b, int& res) {
        res = a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    };
    g->Sort(1, sdAscending);
    EXPECT_EQ(Column(g, 1, 1), Texts({"b", "cc", "aaa"}));
    g->OnGetFormat = [](TObject*, int, TSortStyle& s, QString&, QString&) { s = ssRaw; };
    g->OnRawCompare = [g](TObject*, int c, int r1, int r2, int& res) {
        res = -QString::compare(g->GetCellEx(c, r1), g->GetCellEx(c, r2));
        res = res < 0 ? -1 : (res > 0 ? 1 : 0);
    };
    g->Sort(1, sdAscending);
    EXPECT_EQ(Column(g, 1, 1), Texts({"cc", "b", "aaa"}));
}

TEST_F(GridSortTest, BlanksStayAtTheirEndInBothDirections)
{
    for (TSortBlankPosition pos : {blFirst, blLast})
        for (TSortDirection dir : {sdAscending, sdDescending}) {
            auto* g = NewGrid(2, 1);
            PutColumn(g, 1, 1, {"b", "", "a", "c"});
            g->SortSettings()->IgnoreBlanks = true;
            g->SortSettings()->BlankPos = pos;
            g->Sort(1, dir);
            const Texts col = Column(g, 1, 1);
            EXPECT_EQ(pos == blLast ? col.back() : col.front(), "") << int(pos) << int(dir);
            const QString edge = dir == sdAscending ? "a" : "c";
            EXPECT_EQ(pos == blLast ? col.front() : col[1], edge) << int(pos) << int(dir);
        }
}

TEST_F(GridSortTest, TiesGoToTheNextColumnAndHiddenCellsTravel)
{
    auto* g = NewGrid(4, 1);
    PutColumn(g, 1, 1, {"x", "a", "x", "a"});
    PutColumn(g, 2, 1, {"2", "9", "1", "3"});
    PutColumn(g, 3, 1, {"r1", "r2", "r3", "r4"});
    g->HideColumn(3);
    g->Sort(1, sdAscending);
    EXPECT_EQ(Column(g, 2, 1), Texts({"3", "9", "1", "2"}));
    // the hidden column's cells moved with their rows
    EXPECT_EQ(Column(g, 3, 1), Texts({"r4", "r2", "r3", "r1"}));
    g->UnHideColumn(3);
    EXPECT_EQ(g->GetCellEx(3, 1), "r4");
}

TEST_F(GridSortTest, EqualRowsAreNeverSwapped)
{
    auto* g = NewGrid(3, 1);
    PutColumn(g, 1, 1, {"same", "same", "same", "same"});
    PutColumn(g, 2, 1, {"1", "2", "3", "4"});
    g->SortSettings()->Full = false;
    g->Swaps = 0;
    g->Sort(1, sdAscending);
    EXPECT_EQ(g->Swaps, 0);
    EXPECT_EQ(Column(g, 2, 1), Texts({"1", "2", "3", "4"}));
}

TEST_F(GridSortTest, UnSortRestoresTheOriginalOrderAndFixedPartsStay)
{
    auto* g = NewGrid(3, 1);
    const Texts original = {"d", "b", "e", "a", "c"};
    PutColumn(g, 0, 1, {"n1", "n2", "n3", "n4", "n5"});
    PutColumn(g, 1, 1, original);
    PutColumn(g, 2, 1, {"5", "3", "1", "4", "2"});
    g->SetRowCount(7);
    g->SetCellEx(1, 6, "footer");
    g->SetFixedFooters(1);
    g->SetCellEx(1, 0, "head");
    g->SortSettings()->NormalCellsOnly = true;
    g->Sort(1, sdAscending);
    EXPECT_EQ(Column(g, 1, 1, 5), Texts({"a", "b", "c", "d", "e"}));
    g->Sort(2, sdDescending);
    g->Sort(1, sdDescending);
    EXPECT_EQ(Column(g, 1, 1, 5), Texts({"e", "d", "c", "b", "a"}));
    g->QUnSort();
    EXPECT_EQ(Column(g, 1, 1, 5), original);
    EXPECT_EQ(Column(g, 2, 1, 5), Texts({"5", "3", "1", "4", "2"}));
    EXPECT_EQ(g->GetCellEx(1, 0), "head");
    EXPECT_EQ(g->GetCellEx(1, 6), "footer");
    // column 0 never moved
    EXPECT_EQ(Column(g, 0, 1, 5), Texts({"n1", "n2", "n3", "n4", "n5"}));
    for (int r = 0; r < g->RowCount(); ++r)
        EXPECT_EQ(g->SortRowXRef()->GetInteger(r), r);
    EXPECT_EQ(g->RowCount(), 7);
}

TEST_F(GridSortTest, SortStateText)
{
    auto* g = NewGrid(4, 1);
    PutColumn(g, 0, 1, {"2", "1", "3"});
    PutColumn(g, 1, 1, {"b", "a", "a"});
    PutColumn(g, 2, 1, {"x", "y", "z"});
    PutColumn(g, 3, 1, {"1", "3", "2"});
    TSortSettings* s = g->SortSettings();

    s->LoadFromString("u3");
    EXPECT_TRUE(s->Show);
    EXPECT_EQ(s->Column, 3);
    EXPECT_EQ(s->Direction, sdAscending);
    EXPECT_EQ(Column(g, 3, 1), Texts({"1", "2", "3"}));
    EXPECT_EQ(s->SaveToString(), "u3");

    s->LoadFromString("d0");
    EXPECT_EQ(s->Column, 0);
    EXPECT_EQ(s->Direction, sdDescending);
    EXPECT_EQ(Column(g, 0, 1), Texts({"3", "2", "1"}));
    EXPECT_EQ(s->SaveToString(), "d0");

    s->LoadFromString("i;u1;d2");
    EXPECT_TRUE(s->IndexShow);
    ASSERT_EQ(g->SortIndexes()->Count(), 2);
    EXPECT_EQ(g->SortIndexes()->GetSortColumns(0), 1);
    EXPECT_TRUE(g->SortIndexes()->GetSortDirections(0));
    EXPECT_EQ(g->SortIndexes()->GetSortColumns(1), 2);
    EXPECT_FALSE(g->SortIndexes()->GetSortDirections(1));
    EXPECT_EQ(Column(g, 1, 1), Texts({"a", "a", "b"}));
    EXPECT_EQ(Column(g, 2, 1), Texts({"z", "y", "x"}));
    EXPECT_EQ(s->SaveToString(), "i;u1;d2");

    // a letter and no number: Show and the direction, nothing sorted
    auto* h = NewGrid(2, 1);
    PutColumn(h, 1, 1, {"b", "a"});
    h->SortSettings()->Direction = sdDescending;
    h->SortSettings()->LoadFromString("uq");
    EXPECT_TRUE(h->SortSettings()->Show);
    EXPECT_EQ(h->SortSettings()->Direction, sdAscending);
    EXPECT_EQ(h->SortSettings()->Column, -1);
    EXPECT_EQ(Column(h, 1, 1), Texts({"b", "a"}));

    auto* k = NewGrid(2, 1);
    try {
        k->SortSettings()->LoadFromString("x");
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid sort settings specifier");
    }
    EXPECT_TRUE(k->SortSettings()->Show);
    k->SortSettings()->LoadFromString("");
}

TEST_F(GridSortTest, FailuresChangeNothing)
{
    auto* g = NewGrid(2, 1);
    PutColumn(g, 1, 1, {"b", "a"});
    try {
        g->QSortIndexed();
        ADD_FAILURE();
    } catch (const DOriVireZuvez& e) {
        EXPECT_EQ(e.Message(), "No indexes specified for indexed sort");
    }
    EXPECT_EQ(Column(g, 1, 1), Texts({"b", "a"}));
    try {
        g->SortSettings()->SetRow(2);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Sort row should be smaller than number of fixed rows");
    }
    EXPECT_EQ(g->SortSettings()->Row, 0);
    g->SortSettings()->SetRow(1);
    EXPECT_EQ(g->SortSettings()->Row, 1);
    // no column: nothing
    g->SortSettings()->Column = -1;
    g->QSort();
    EXPECT_EQ(Column(g, 1, 1), Texts({"b", "a"}));
}

TEST_F(GridSortTest, ExceptionInsideTheSortRestoresTheGrid)
{
    auto* g = NewGrid(2, 1);
    PutColumn(g, 1, 1, {"c", "b", "a"});
    g->OnGetFormat = [](TObject*, int, TSortStyle& s, QString&, QString&) { s = ssCustom; };
    g->OnCustomCompare = [](TObject*, const QString&, const QString&, int&) {
        throw Exception(QStringLiteral("stop"));
    };
    EXPECT_THROW(g->Sort(1, sdAscending), Exception);
    EXPECT_EQ(g->RowCount(), 4);
    EXPECT_EQ(g->UpdateCount(), 0);
    EXPECT_EQ(Column(g, 1, 1), Texts({"c", "b", "a"}));
}

TEST_F(GridSortTest, CurrentRowFollowsWithMoveRowOnSort)
{
    auto* g = NewGrid(2, 1);
    PutColumn(g, 1, 1, {"c", "a", "b"});
    g->SetRow(1);
    g->Navigation()->MoveRowOnSort = true;
    g->Sort(1, sdAscending);
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->GetCellEx(1, g->Row()), "c");
}

TEST_F(GridSortTest, PatternedColumnsSortWithoutDeepRecursion)
{
    // organ pipe, sorted, reversed and equal columns of 4000 rows
    const int n = 4000;
    auto pipe = [](int i) { return i < n / 2 ? i : n - i; };
    const std::function<int(int)> patterns[] = {pipe, [](int i) { return i; }, [](int i) { return n - i; },
                                                [](int) { return 7; }};
    for (const auto& p : patterns) {
        auto* g = NewGrid(2, 1);
        g->SetRowCount(n + 1);
        for (int i = 0; i < n; ++i)
            g->SetCellEx(1, i + 1, QString::number(p(i)));
        g->Sort(1, sdAscending);
        for (int r = 2; r <= n; ++r)
            ASSERT_LE(g->GetCellEx(1, r - 1).toInt(), g->GetCellEx(1, r).toInt()) << r;
        g->Free();
    }
}

TEST_F(GridSortTest, SortLineSwapsOnlyOutOfOrderRows)
{
    auto* g = NewGrid(3, 1);
    PutColumn(g, 1, 1, {"b", "a", "a"});
    PutColumn(g, 2, 1, {"1", "2", "1"});
    g->SortDir = 1;
    EXPECT_TRUE(g->SortLine(1, 1, 2));
    EXPECT_EQ(Column(g, 1, 1), Texts({"a", "b", "a"}));
    EXPECT_FALSE(g->SortLine(1, 1, 2));
    // a tie on column 1 is decided by column 2
    EXPECT_TRUE(g->SortLine(1, 1, 3));
    EXPECT_EQ(Column(g, 2, 1), Texts({"1", "1", "2"}));
}

} // namespace
