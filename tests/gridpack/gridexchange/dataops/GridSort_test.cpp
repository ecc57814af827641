// Sorting rows: compare rules, ties, blanks, hidden columns, undo, the sort
// state text and the failures.
#include "GridData1Fixture.h"
#include "gridpack/basegrid/RorIdad.h"
#include "platform/core/DateTime.h"
#include "platform/core/FloatConv.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/StrUtils.h"

#include <random>

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

// ---------------------------------------------------------------------------
// The order of a sort, worked out independently from the compare rules and
// the partition: the automatic style is taken from the first text of each
// comparison, so mixed columns compare differently pair by pair, and rows
// that compare equal are placed only by the partition. The grid must give
// exactly this order, and make as many comparisons and swaps.
// ---------------------------------------------------------------------------

namespace {

using Row = std::vector<QString>;

struct TRefSettings {
    bool AutoFormat = true;
    bool IgnoreCase = false;
    bool Full = false;
    bool IgnoreBlanks = false;
    bool BlanksLast = false;
    bool Descending = false;
};

bool RefIsNumber(const QString& s)
{
    const int k = ClassifyNumberText(s);
    return k == 0 || k == 1 || k == 5;
}

QString RefUpper(QString s)
{
    for (QChar& c : s)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return s;
}

int RefSign(double a, double b) { return a > b ? 1 : (a < b ? -1 : 0); }

// One cell pair by the rules: automatic style from the first text (number,
// else text with the date and time tests), then the style's comparison,
// then the blanks.
int RefCells(const QString& s1, const QString& s2, bool ascending, const TRefSettings& st)
{
    enum { Alpha, NoCase, Number, Date, DateTime, Time } style = st.IgnoreCase ? NoCase : Alpha;
    if (st.AutoFormat) {
        if (RefIsNumber(s1))
            style = Number;
        else {
            const TFormatSettings& fs = ActiveFormatSettings();
            const auto digitsAround = [&](QChar sep, bool& inRange) {
                const qsizetype p = s1.indexOf(sep) + 1;
                inRange = p >= 2 && p <= 3 && p != s1.size();
                return inRange && s1[p - 2].isDigit() && s1[p].isDigit();
            };
            bool inRange = false;
            if (digitsAround(fs.DateSeparator, inRange)) {
                if (s2.contains(fs.DateSeparator))
                    style = s1.contains(fs.TimeSeparator) ? DateTime : Date;
            } else if (!inRange && digitsAround(fs.TimeSeparator, inRange) && s2.contains(fs.TimeSeparator)) {
                style = Time;
            }
        }
    }
    int res = 0;
    switch (style) {
    case Alpha:
        res = CompareStr(s1, s2);
        break;
    case NoCase:
        res = CompareStr(RefUpper(s1), RefUpper(s2));
        break;
    case Number: {
        double v1 = 0, v2 = 0;
        const bool ok1 = TryStrToFloat(s1, v1), ok2 = TryStrToFloat(s2, v2);
        res = !ok1 && !ok2 ? 0 : RefSign(ok1 ? v1 : 0, ok2 ? v2 : 0);
        break;
    }
    case Date:
    case DateTime:
    case Time: {
        TDateTime d1 = 0, d2 = 0;
        const auto parse = [&](const QString& s, TDateTime& d) {
            if (s.isEmpty() || !(style == Time ? TryStrToTime(s, d) : TryStrToDateTime(s, d)))
                d = 0;
        };
        parse(s1, d1);
        parse(s2, d2);
        res = RefSign(d1, d2);
        break;
    }
    }
    res = res < 0 ? -1 : (res > 0 ? 1 : 0);
    if (st.IgnoreBlanks && s1.isEmpty() != s2.isEmpty()) {
        res = s1.isEmpty() ? (st.BlanksLast ? 1 : -1) : (st.BlanksLast ? -1 : 1);
        if (!ascending)
            res = -res;
    }
    return res;
}

// Rows hold the compared texts and, last, a tag that never takes part
// (the grid ignores its column).
struct TRefSort {
    TRefSettings St;
    int Compares = 0;
    int Swaps = 0;

    int Rows(const Row& a, const Row& b)
    {
        for (size_t c = 0; c + 1 < a.size(); ++c) {
            ++Compares;
            const int res = RefCells(a[c], b[c], !St.Descending, St);
            if (res != 0 || !St.Full)
                return res;
        }
        return 0;
    }
    // The partition of the rules: the pivot copied out, i and j closing in,
    // a swap only for rows that do not compare equal.
    void Sort(std::vector<Row>& rows, int L, int R)
    {
        const int dir = St.Descending ? -1 : 1;
        const Row pivot = rows[size_t((L + R) / 2)];
        int i = L, j = R;
        do {
            while (Rows(pivot, rows[size_t(i)]) == dir && i < R)
                ++i;
            while (Rows(rows[size_t(j)], pivot) == dir && j > L)
                --j;
            if (i <= j) {
                if (i != j && Rows(rows[size_t(i)], rows[size_t(j)]) != 0) {
                    std::swap(rows[size_t(i)], rows[size_t(j)]);
                    ++Swaps;
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (L < j)
            Sort(rows, L, j);
        if (i < R)
            Sort(rows, i, R);
    }
};

} // namespace

TEST_F(GridSortTest, OrderFollowsTheRulesOnEqualKeysAndMixedKinds)
{
    const TFormatSettings& fs = ActiveFormatSettings();
    const QString d = fs.DateSeparator, t = fs.TimeSeparator;
    struct Case {
        const char* what;
        Texts keys;
        TRefSettings st;
    };
    const Case cases[] = {
        {"equal keys", {"5", "5", "3", "5", "3", "5", "3", "5"}, {}},
        {"equal keys descending", {"5", "5", "3", "5", "3", "5", "3", "5"}, {.Descending = true}},
        {"numbers, words and blanks",
         {"10", "9", "abc", "", "9", "Abc", "1.5", "x", "10", "b", "", "-2"},
         {}},
        {"the same descending",
         {"10", "9", "abc", "", "9", "Abc", "1.5", "x", "10", "b", "", "-2"},
         {.Descending = true}},
        {"words ignoring case", {"b", "B", "a", "A", "b", "a", "9", "B"}, {.IgnoreCase = true}},
        {"blanks last descending",
         {"", "2", "", "10", "x", "", "2", "abc"},
         {.IgnoreBlanks = true, .BlanksLast = true, .Descending = true}},
        {"blanks first", {"", "2", "", "10", "x", "", "2"}, {.IgnoreBlanks = true}},
        {"dates, times and text",
         {"03" + d + "02" + d + "2021", "9" + t + "30", "01" + d + "12" + d + "2020", "x", "10" + t + "05",
          "03" + d + "02" + d + "2021", "", "7", "9" + t + "30"},
         {}},
        {"text order without the automatic style", {"10", "9", "100", "9", "10"}, {.AutoFormat = false}},
        {"ties to the next column", {"a", "b", "a", "b", "a", "a"}, {.Full = true}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const int n = int(k.keys.size());
        // Column 2 repeats every three rows, so equal whole rows occur;
        // column 3 tags the rows and is ignored, so it never decides.
        std::vector<Row> rows;
        for (int r = 0; r < n; ++r)
            rows.push_back({k.keys[size_t(r)], QString::number(r % 3), QStringLiteral("r%1").arg(r)});
        auto* g = NewGrid(4, 1);
        for (int c = 0; c < 3; ++c) {
            Texts col;
            for (const Row& r : rows)
                col.push_back(r[size_t(c)]);
            PutColumn(g, 1 + c, 1, col);
        }
        TSortSettings* ss = g->SortSettings();
        ss->AutoFormat = k.st.AutoFormat;
        ss->IgnoreCase = k.st.IgnoreCase;
        ss->Full = k.st.Full;
        ss->IgnoreBlanks = k.st.IgnoreBlanks;
        ss->BlankPos = k.st.BlanksLast ? blLast : blFirst;
        g->IgnoreColumns()->Add(3);

        TRefSort ref{k.st};
        std::vector<Row> order = rows;
        ref.Sort(order, 0, n - 1);
        Texts want;
        for (const Row& r : order)
            want.push_back(r[2]);

        g->Compares = 0;
        g->Swaps = 0;
        g->Sort(1, k.st.Descending ? sdDescending : sdAscending);
        EXPECT_EQ(Column(g, 3, 1), want);
        EXPECT_EQ(g->Compares, ref.Compares);
        EXPECT_EQ(g->Swaps, ref.Swaps);
    }
}

namespace {

// A grid whose columns answer a sort style of their own, as a column grid's
// do, without the format event.
class TStyledGrid : public TExStringGrid {
public:
    using TExStringGrid::TExStringGrid;
    TSortStyle Style = ssAutomatic;
    QString Prefix, Suffix;
    void GetCellFormat(int ACol, TSortStyle& AStyle, QString& aPrefix, QString& aSuffix) override
    {
        if (ACol == 1) {
            AStyle = Style;
            aPrefix = Prefix;
            aSuffix = Suffix;
        }
        TExStringGrid::GetCellFormat(ACol, AStyle, aPrefix, aSuffix);
    }
};

} // namespace

// Every style, over mixed and repeating texts, gives with the column's own
// style the same order, comparisons and swaps as with the format event
// answering the same style at each comparison.
TEST_F(GridSortTest, ColumnStylesOrderAsTheFormatEventDoes)
{
    const TFormatSettings& fs = ActiveFormatSettings();
    const QString d = fs.DateSeparator, t = fs.TimeSeparator;
    const Texts pool = {"10", "9", "-2.5", "1e3", "", "abc", "Abc", "b", "$12 kg", "$3 kg", "1,200.5",
                        "02" + d + "03" + d + "2020", "31" + d + "01" + d + "2020", "9" + t + "30",
                        "10" + t + "05", "x1", " ", "0"};
    struct Case {
        TSortStyle style;
        const char* prefix;
        const char* suffix;
    };
    const Case cases[] = {{ssAutomatic, "", ""},    {ssAlphabetic, "", ""},        {ssAlphaCase, "", ""},
                          {ssAlphaNoCase, "", ""},  {ssNumeric, "$", " kg"},       {ssFinancial, "", ""},
                          {ssDate, "", ""},         {ssDateTime, "", ""},          {ssTime, "", ""},
                          {ssShortDateEU, "", ""},  {ssShortDateUS, "", ""},       {ssAlphaNumeric, "", ""},
                          {ssAlphaNumericNoCase, "", ""}};
    std::mt19937 rnd(11);
    for (const Case& k : cases)
        for (int variant = 0; variant < 4; ++variant) {
            SCOPED_TRACE(testing::Message() << "style " << int(k.style) << " variant " << variant);
            const int n = 300;
            std::vector<Texts> cols(3);
            for (int r = 0; r < n; ++r) {
                cols[0].push_back(pool[rnd() % pool.size()]);
                cols[1].push_back(pool[rnd() % 5]);
                cols[2].push_back(QStringLiteral("r%1").arg(r));
            }
            const auto sorted = [&](bool event, int& compares, int& swaps) {
                auto* g = NewObject<TStyledGrid>(Form);
                g->SetParent(Form);
                g->SetColCount(4);
                g->SetRowCount(n + 1);
                g->SetFixedCols(1);
                g->SetFixedRows(1);
                for (int c = 0; c < 3; ++c)
                    PutColumn(g, 1 + c, 1, cols[size_t(c)]);
                TSortSettings* ss = g->SortSettings();
                ss->IgnoreCase = variant & 1;
                ss->IgnoreBlanks = variant & 2;
                ss->BlankPos = variant == 2 ? blLast : blFirst;
                if (event)
                    g->OnGetFormat = [&](TObject*, int col, TSortStyle& s, QString& p, QString& x) {
                        if (col == 1) {
                            s = k.style;
                            p = QString::fromLatin1(k.prefix);
                            x = QString::fromLatin1(k.suffix);
                        }
                    };
                else {
                    g->Style = k.style;
                    g->Prefix = QString::fromLatin1(k.prefix);
                    g->Suffix = QString::fromLatin1(k.suffix);
                }
                g->Compares = 0;
                g->Swaps = 0;
                g->Sort(1, variant == 3 ? sdDescending : sdAscending);
                compares = g->Compares;
                swaps = g->Swaps;
                return Column(g, 3, 1);
            };
            int c1 = 0, s1 = 0, c2 = 0, s2 = 0;
            const Texts byEvent = sorted(true, c1, s1);
            const Texts byColumn = sorted(false, c2, s2);
            EXPECT_EQ(byColumn, byEvent);
            EXPECT_EQ(c2, c1);
            EXPECT_EQ(s2, s1);
        }
}

// Row heights travel with their rows.
TEST_F(GridSortTest, RowHeightsMoveWithTheirRows)
{
    auto* g = NewGrid(2, 1);
    PutColumn(g, 1, 1, {"c", "a", "b"});
    g->SetRowHeights(1, 40);
    g->Sort(1, sdAscending);
    EXPECT_EQ(Column(g, 1, 1), Texts({"a", "b", "c"}));
    EXPECT_EQ(g->RowHeights(3), 40);
    EXPECT_EQ(g->RowHeights(1), g->DefaultRowHeight());
}
