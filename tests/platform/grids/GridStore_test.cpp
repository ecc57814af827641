// Cell store, counts and sizes of the string grid.
#include "GridTestKit.h"

#include "platform/core/StringList.h"

namespace {
// A grid on no form: the store and counts need no window.
struct Loose {
    TStringGrid* g = NewObject<TStringGrid>(nullptr);
    ~Loose() { delete g; }
};

void ExpectGridError(const std::function<void()>& f, const QString& msg) {
    try {
        f();
        ADD_FAILURE() << "no error; expected " << msg.toStdString();
    } catch (const EInvalidGridOperation& e) {
        EXPECT_EQ(e.Message(), msg);
    }
}
}  // namespace

TEST(GridStore, CellsPastTheCountsAreKeptAndComeBackWithTheCount) {
    Loose l;
    TStringGrid* g = l.g;
    ASSERT_EQ(g->ColCount(), 5);
    ASSERT_EQ(g->RowCount(), 5);
    g->SetCells(7, 20, "far");
    EXPECT_EQ(g->Cells(7, 20), "far");
    for (int c = 0; c < 5; ++c) g->SetCells(c, 1, QString("c%1").arg(c));
    g->SetColCount(2);
    EXPECT_EQ(g->ColCount(), 2);
    for (int c = 2; c < 5; ++c) EXPECT_EQ(g->Cells(c, 1), QString("c%1").arg(c)) << c;
    g->SetColCount(5);
    EXPECT_EQ(g->Cells(4, 1), "c4");
    // Reading what was never written, or a negative index, is empty.
    EXPECT_EQ(g->Cells(3, 3), QString());
    EXPECT_EQ(g->Cells(-1, 0), QString());
    EXPECT_EQ(g->Objects(100, 100), nullptr);
    ExpectGridError([&] { g->SetCells(-1, 0, "x"); }, "Grid index out of range");
    ExpectGridError([&] { g->SetCells(0, -3, "x"); }, "Grid index out of range");
    // Far past the column count a write is refused, inside it never.
    ExpectGridError([&] { g->SetCells(70000, 1, "x"); }, "Grid index out of range");
    g->SetColCount(70001);
    g->SetCells(70000, 1, "x");
    EXPECT_EQ(g->Cells(70000, 1), "x");
}

TEST(GridStore, CountAndFixedCountRules) {
    Loose l;
    TStringGrid* g = l.g;
    ExpectGridError([&] { g->SetFixedRows(5); }, "Fixed row count must be less than row count");
    ExpectGridError([&] { g->SetFixedCols(7); }, "Fixed column count must be less than column count");
    ExpectGridError([&] { g->SetFixedRows(-1); }, "Grid index out of range");
    ExpectGridError([&] { g->SetFixedCols(-1); }, "Grid index out of range");
    EXPECT_EQ(g->FixedRows(), 1);
    // A count at or below the fixed count takes the fixed count down with it.
    g->SetRowCount(1);
    EXPECT_EQ(g->RowCount(), 1);
    EXPECT_EQ(g->FixedRows(), 0);
    g->SetColCount(3);
    g->SetFixedCols(2);
    g->SetColCount(2);
    EXPECT_EQ(g->FixedCols(), 1);
    // Counts below 1 become 1.
    g->SetColCount(0);
    EXPECT_EQ(g->ColCount(), 1);
    EXPECT_EQ(g->FixedCols(), 0);
    g->SetRowCount(-4);
    EXPECT_EQ(g->RowCount(), 1);
    ExpectGridError([&] { g->SetRowCount(1 << 30); }, "Grid too large for operation");
    EXPECT_EQ(g->RowCount(), 1);
}

TEST(GridStore, WidthsAndHeights) {
    Loose l;
    TStringGrid* g = l.g;
    EXPECT_EQ(g->DefaultColWidth(), 64);
    EXPECT_EQ(g->DefaultRowHeight(), 24);
    EXPECT_EQ(g->GridLineWidth(), 1);
    ExpectGridError([&] { g->SetColWidths(5, 10); }, "Grid index out of range");
    ExpectGridError([&] { g->SetRowHeights(5, 10); }, "Grid index out of range");
    ExpectGridError([&] { g->SetColWidths(-1, 10); }, "Grid index out of range");
    g->SetColWidths(2, 10);
    g->SetRowHeights(3, 40);
    EXPECT_EQ(g->ColWidths(2), 10);
    EXPECT_EQ(g->RowHeights(3), 40);
    // New columns take the default width; a new default resets every width.
    g->SetColCount(7);
    EXPECT_EQ(g->ColWidths(6), 64);
    g->SetDefaultColWidth(30);
    for (int c = 0; c < 7; ++c) EXPECT_EQ(g->ColWidths(c), 30) << c;
    g->SetDefaultRowHeight(18);
    for (int r = 0; r < 5; ++r) EXPECT_EQ(g->RowHeights(r), 18) << r;
}

TEST(GridStore, ChangeScaleScalesEverySize) {
    Loose l;
    TStringGrid* g = l.g;
    g->SetColWidths(2, 15);
    g->SetRowHeights(1, -1);  // a hidden row stays hidden
    g->ChangeScale(3, 2);
    EXPECT_EQ(g->DefaultColWidth(), 96);
    EXPECT_EQ(g->DefaultRowHeight(), 36);
    EXPECT_EQ(g->ColWidths(2), 23);  // 22.5 rounds away from zero
    EXPECT_EQ(g->ColWidths(0), 96);
    EXPECT_EQ(g->RowHeights(1), -1);
}

TEST(GridStore, DefaultLooks) {
    Loose l;
    TStringGrid* g = l.g;
    EXPECT_EQ(g->Options(), TGridOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect));
    EXPECT_EQ(g->ScrollBars(), ssBoth);
    EXPECT_EQ(g->Color(), clWindow);
    EXPECT_EQ(g->FixedColor(), clBtnFace);
    EXPECT_TRUE(g->DefaultDrawing());
    EXPECT_EQ(g->BorderStyle(), bsSingle);
    EXPECT_EQ(g->DrawingStyle(), gdsClassic);
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 1);
    EXPECT_EQ(g->Selection(), (TGridRect{1, 1, 1, 1}));
    // The border takes 2 pixels a side from the client area.
    g->SetBounds(0, 0, 400, 200);
    EXPECT_EQ(g->ClientRect(), Rect(0, 0, 396, 196));
}

TEST(GridStore, RowsAndColsCopyTextsAndObjects) {
    Loose l;
    TStringGrid* g = l.g;
    TObject a, b;
    TStringList src;
    src.AddObject("one", &a);
    src.AddObject("two", &b);
    g->SetRows(2, &src);
    EXPECT_EQ(g->Cells(0, 2), "one");
    EXPECT_EQ(g->Cells(1, 2), "two");
    EXPECT_EQ(g->Objects(0, 2), &a);
    EXPECT_EQ(g->Objects(1, 2), &b);
    // A column reads back through its list; the list is as long as the count.
    g->SetCols(3, g->Rows(2));
    TStrings* col = g->Cols(3);
    EXPECT_EQ(col->Count(), 5);
    EXPECT_EQ(col->Strings(0), "one");
    EXPECT_EQ(col->Objects(1), &b);
    // Only as many as the row holds are copied.
    TStringList longer;
    for (int i = 0; i < 9; ++i) longer.Add(QString::number(i));
    g->SetRows(4, &longer);
    EXPECT_EQ(g->Cells(4, 4), "4");
    EXPECT_EQ(g->Cells(5, 4), QString());
    // Clearing empties texts and lets the objects go.
    g->Rows(2)->Clear();
    EXPECT_EQ(g->Cells(0, 2), QString());
    EXPECT_EQ(g->Objects(0, 2), nullptr);
    EXPECT_THROW(g->Rows(2)->Insert(0, "x"), EInvalidGridOperation);
    EXPECT_THROW(g->Rows(2)->Delete(0), EInvalidGridOperation);
}

TEST(GridStore, MovingAndDeletingRowsAndColumnsCarriesTheCells) {
    Loose l;
    TStringGrid* g = l.g;
    QStringList moved;
    g->OnColumnMoved = [&](TObject*, int f, int t) { moved << QString("col %1>%2").arg(f).arg(t); };
    g->OnRowMoved = [&](TObject*, int f, int t) { moved << QString("row %1>%2").arg(f).arg(t); };
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r) g->SetCells(c, r, QString("%1%2").arg(c).arg(r));
    g->SetColWidths(1, 11);
    g->MoveColumn(1, 3);
    EXPECT_EQ(g->Cells(3, 2), "12");
    EXPECT_EQ(g->Cells(1, 2), "22");
    EXPECT_EQ(g->Cells(2, 2), "32");
    EXPECT_EQ(g->ColWidths(3), 11);
    g->MoveRow(4, 0);
    EXPECT_EQ(g->Cells(0, 0), "04");
    EXPECT_EQ(g->Cells(0, 1), "00");
    // A deleted row leaves no text behind to come back when the count grows.
    g->DeleteRow(1);
    EXPECT_EQ(g->RowCount(), 4);
    EXPECT_EQ(g->Cells(0, 1), "01");
    g->SetRowCount(5);
    EXPECT_EQ(g->Cells(0, 4), QString());
    g->DeleteColumn(0);
    EXPECT_EQ(g->ColCount(), 4);
    EXPECT_EQ(g->Cells(0, 0), "24");
    g->SetColCount(5);
    EXPECT_EQ(g->Cells(4, 0), QString());
    EXPECT_EQ(moved, QStringList({"col 1>3", "row 4>0", "row 1>4", "col 0>4"}));
    EXPECT_THROW(g->MoveColumn(0, 5), EInvalidGridOperation);
    EXPECT_THROW(g->DeleteRow(7), EInvalidGridOperation);
}

TEST(GridStore, CurrentCellFollowsAMovedColumn) {
    Loose l;
    TStringGrid* g = l.g;
    g->SetCol(2);
    g->MoveColumn(2, 4);
    EXPECT_EQ(g->Col(), 4);
    g->MoveColumn(1, 4);
    EXPECT_EQ(g->Col(), 3);
}

TEST_F(GridTest, WritingAVisibleCellRepaintsItOnly) {
    NewGrid();
    Grid->ClearInvalidatedRects();
    Grid->SetCells(2, 3, "x");
    ASSERT_EQ(Grid->InvalidatedRects().size(), 1u);
    const TRect r = Grid->InvalidatedRects()[0];
    EXPECT_TRUE(r.Contains(Point(130 + 32, 75 + 12)));
    EXPECT_FALSE(r.Contains(Point(130 + 70, 75 + 12)));
    Grid->ClearInvalidatedRects();
    Grid->SetCells(30, 30, "off the grid");
    EXPECT_TRUE(Grid->InvalidatedRects().empty());
}

TEST(GridStore, ChangingAFixedCountStartsAgainAtTheFirstScrollableCell) {
    Loose l;
    TStringGrid* g = l.g;
    g->SetCol(3);
    g->SetRow(4);
    g->SetFixedCols(2);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 1);
    EXPECT_EQ(g->LeftCol(), 2);
    EXPECT_EQ(g->Selection(), (TGridRect{2, 1, 2, 1}));
    // Lowering the row count below the current row keeps the cell inside.
    g->SetRow(4);
    g->SetRowCount(3);
    EXPECT_EQ(g->Row(), 2);
}

TEST(GridStore, RowSetsMoveCellsAndHeightsInOnePass) {
    Loose l;
    TStringGrid* g = l.g;
    g->SetRowCount(8);
    for (int r = 0; r < 8; ++r) {
        g->SetCells(0, r, QString("r%1").arg(r));
        g->SetRowHeights(r, 10 + r);
    }
    g->RemoveRowSet({1, 2, 5});
    ASSERT_EQ(g->RowCount(), 5);
    const char* left[] = {"r0", "r3", "r4", "r6", "r7"};
    const int heights[] = {10, 13, 14, 16, 17};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(g->Cells(0, r), left[r]) << r;
        EXPECT_EQ(g->RowHeights(r), heights[r]) << r;
    }
    // back at the places of the new numbering: empty rows of the default height
    g->InsertRowSet({1, 2, 5});
    ASSERT_EQ(g->RowCount(), 8);
    const char* back[] = {"r0", "", "", "r3", "r4", "", "r6", "r7"};
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(g->Cells(0, r), back[r]) << r;
    EXPECT_EQ(g->RowHeights(1), g->DefaultRowHeight());
    EXPECT_EQ(g->RowHeights(3), 13);
    // rows out of range or out of order are refused before anything moves
    ExpectGridError([&] { g->RemoveRowSet({3, 2}); }, "Grid index out of range");
    ExpectGridError([&] { g->RemoveRowSet({8}); }, "Grid index out of range");
    ExpectGridError([&] { g->InsertRowSet({9}); }, "Grid index out of range");
    EXPECT_EQ(g->RowCount(), 8);
}

namespace {
// Opens the store's protected row moves to the tests.
struct RowStoreGrid : TStringGrid {
    explicit RowStoreGrid() : TStringGrid(nullptr) {}
    using TStringGrid::CopyRowData;
    using TStringGrid::ReorderRowData;
    using TStringGrid::SwapRowData;
};
}  // namespace

TEST(GridStore, ShiftsCarryRowsStoredPastTheCount) {
    Loose l;
    TStringGrid* g = l.g;
    TObject o;
    g->SetCells(1, 2, "two");
    g->SetObjects(2, 2, &o);
    g->SetCells(0, 9, "nine");  // past the count of 5
    g->ShiftRows(1, 2);
    EXPECT_EQ(g->RowCount(), 7);
    EXPECT_EQ(g->Cells(1, 4), "two");
    EXPECT_EQ(g->Objects(2, 4), &o);
    EXPECT_EQ(g->Cells(1, 2), QString());
    EXPECT_EQ(g->Cells(0, 11), "nine");
    // Removing drops the rows in front of From, the rest move up.
    g->ShiftRows(5, -2);
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_EQ(g->Cells(1, 4), QString());
    EXPECT_EQ(g->Cells(0, 9), "nine");
    EXPECT_EQ(g->Objects(2, 2), nullptr);
    // From past every stored row: the stored rows it drops are emptied.
    g->SetRowCount(20);
    g->SetCells(0, 9, QString());
    g->SetCells(0, 3, "three");
    g->ShiftRows(15, -13);
    EXPECT_EQ(g->RowCount(), 7);
    EXPECT_EQ(g->Cells(0, 3), QString());
    g->SetCells(0, 9, "nine");
    // Far past the row count a write is refused, inside it never.
    ExpectGridError([&] { g->SetCells(0, 2000000, "x"); }, "Grid index out of range");
    g->SetCells(0, 1000000, "far");
    EXPECT_EQ(g->Cells(0, 1000000), "far");
}

TEST(GridStore, RowMovesPastTheStoredRows) {
    Loose l;
    TStringGrid* g = l.g;
    g->SetRowCount(10);
    g->SetCells(0, 2, "two");
    g->SetCells(0, 3, "three");
    // The moved row holds nothing, the rows after it move up all the same.
    g->MoveRow(1, 8);
    EXPECT_EQ(g->Cells(0, 1), "two");
    EXPECT_EQ(g->Cells(0, 2), "three");
    EXPECT_EQ(g->Cells(0, 8), QString());
    g->MoveRow(1, 9);
    EXPECT_EQ(g->Cells(0, 9), "two");
    EXPECT_EQ(g->Cells(0, 1), "three");
    g->MoveRow(9, 0);
    EXPECT_EQ(g->Cells(0, 0), "two");
    EXPECT_EQ(g->Cells(0, 2), "three");
}

TEST(GridStore, RowRecordsSwapCopyAndReorder) {
    RowStoreGrid g;
    TObject o;
    for (int r = 0; r < 5; ++r) g.SetCells(0, r, QString("r%1").arg(r));
    g.SetObjects(1, 1, &o);
    g.SwapRowData(1, 3);
    EXPECT_EQ(g.Cells(0, 1), "r3");
    EXPECT_EQ(g.Cells(0, 3), "r1");
    EXPECT_EQ(g.Objects(1, 3), &o);
    // with a row never written, and past the stored rows
    g.SwapRowData(3, 12);
    EXPECT_EQ(g.Cells(0, 3), QString());
    EXPECT_EQ(g.Cells(0, 12), "r1");
    g.SwapRowData(20, 30);
    EXPECT_EQ(g.Cells(0, 20), QString());
    // A copy is its own: writing it leaves the source alone.
    g.CopyRowData(12, 2);
    g.SetCells(0, 2, "changed");
    EXPECT_EQ(g.Cells(0, 12), "r1");
    EXPECT_EQ(g.Objects(1, 2), &o);
    g.CopyRowData(25, 2);  // an empty source empties the target
    EXPECT_EQ(g.Cells(0, 2), QString());
    EXPECT_EQ(g.Objects(1, 2), nullptr);
    // Row i takes stored row Order[i]; rows not listed go.
    g.ReorderRowData({12, 4, 0});
    EXPECT_EQ(g.Cells(0, 0), "r1");
    EXPECT_EQ(g.Cells(0, 1), "r4");
    EXPECT_EQ(g.Cells(0, 2), "r0");
    EXPECT_EQ(g.Objects(1, 0), &o);
    for (int r = 3; r < 14; ++r) EXPECT_EQ(g.Cells(0, r), QString()) << r;
}
