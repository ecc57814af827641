#include "BaseGridKit.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/controls/Messages.h"
#include "support/QtPrinters.h"

#include <functional>

namespace {
// A graphic object the way the string grid names its own.
class TCellGraphic : public TObject {
    KAL_CLASS(TCellGraphic, TObject)
public:
    explicit TCellGraphic(bool* gone) : FGone(gone) {}
    ~TCellGraphic() override { *FGone = true; }

private:
    bool* FGone;
};
class TOtherGraphic : public TObject {
    KAL_CLASS(TOtherGraphic, TObject)
};
} // namespace

TEST_F(BaseGridTest, NewGridState)
{
    TProbeBaseGrid* g = NewGrid();
    EXPECT_EQ(g->GridLineWidth(), 1);
    EXPECT_EQ(g->TCustomGrid::GridLineWidth(), 0);
    EXPECT_FALSE(g->DefaultDrawing());
    EXPECT_FALSE(g->TCustomGrid::DefaultDrawing());
    EXPECT_EQ(g->GridLineColor(), TColor(0xC0C0C0));
    EXPECT_EQ(g->GridFixedLineColor(), TColor(0x808080));
    EXPECT_TRUE(g->WordWrap);
    EXPECT_TRUE(g->FShowSel);
    EXPECT_EQ(g->FHoverRowIdx, -1);
    EXPECT_EQ(g->FPaintID, 1);
    EXPECT_EQ(g->SelectionStyle(), ssDefault);
    EXPECT_EQ(g->ActiveRowColor(), clInfoBk);
    EXPECT_EQ(g->HoverRowColorTo, clNone);
    EXPECT_EQ(g->HoverRowCells, HoverRowCellBit(hcNormal) | HoverRowCellBit(hcSelected));
    EXPECT_EQ(g->FNormalRowCount, 0);
    EXPECT_FALSE(g->FHasCellProps);

    // The writers keep the library's own line width 0 and drawing off.
    g->SetGridLineWidth(3);
    g->SetDefaultDrawing(true);
    EXPECT_EQ(g->GridLineWidth(), 3);
    EXPECT_EQ(g->TCustomGrid::GridLineWidth(), 0);
    EXPECT_TRUE(g->DefaultDrawing());
    EXPECT_FALSE(g->TCustomGrid::DefaultDrawing());
}

TEST_F(BaseGridTest, CellRectangles)
{
    TProbeBaseGrid* g = NewGrid(200, 200);
    g->SetColCount(10);
    g->SetRowCount(10);
    g->SetColWidths(0, 40);
    EXPECT_EQ(g->FixedColsWidth(), 40);
    EXPECT_EQ(g->FixedRowsHeight(), 24);
    EXPECT_EQ(g->CalcCellRect(1, 1), TRect(40, 24, 104, 48));
    EXPECT_EQ(g->CellRect(1, 1), TRect(40, 24, 104, 48));
    g->SetLeftCol(2);
    EXPECT_EQ(g->CalcCellRect(1, 1), TRect(-24, 24, 40, 48));
    EXPECT_EQ(g->CalcCellRect(0, 1), TRect(0, 24, 40, 48)); // fixed columns stay
    g->SetLeftCol(1);

    g->MergeCells(2, 2, 2, 2);
    const TRect block = g->CellRect(2, 2);
    EXPECT_EQ(block, TRect(104, 48, 232, 96));
    for (int c = 2; c <= 3; ++c)
        for (int r = 2; r <= 3; ++r)
            EXPECT_EQ(g->CellRect(c, r), block) << c << "," << r;
    EXPECT_EQ(g->CellSize(3, 3), TPoint(128, 48));
    EXPECT_EQ(g->CellSize(1, 1), TPoint(64, 24));
    EXPECT_EQ(g->FullCell(3, 3), TRect(2, 2, 3, 3));
}

TEST_F(BaseGridTest, MergeQueries)
{
    TProbeBaseGrid* g = NewGrid();
    g->MergeCells(1, 1, 1, 3);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_TRUE(g->IsMergedCell(1, r)) << r;
        EXPECT_TRUE(g->IsYMergedCell(1, r));
        EXPECT_FALSE(g->IsXMergedCell(1, r));
    }
    EXPECT_EQ(g->CellExt(1, 2), TPoint(0, 1));
    EXPECT_EQ(g->CellExt(1, 1), TPoint(0, 2));
    EXPECT_EQ(g->CellSpan(1, 3), TPoint(0, 2));
    EXPECT_EQ(g->BaseCell(1, 3), TPoint(1, 1));
    EXPECT_TRUE(g->IsMergedNonBaseCell(1, 2));
    EXPECT_FALSE(g->IsMergedNonBaseCell(1, 1));
    int bc = -1, br = -1;
    EXPECT_FALSE(g->ResolveBaseCell(1, 3, bc, br));
    EXPECT_EQ(bc, 1);
    EXPECT_EQ(br, 1);
    EXPECT_EQ(g->MaxRowSpan(1), 2);
    EXPECT_EQ(g->MinRowSpan(1), 2);
    EXPECT_EQ(g->MinRowSpan(4), g->RowCount());
    EXPECT_EQ(g->FMergeCount, 1);

    g->MergeCells(3, 3, 1, 1);
    EXPECT_FALSE(g->IsMergedCell(3, 3));
    EXPECT_EQ(g->CellSpan(3, 3), TPoint(0, 0));
    EXPECT_TRUE(g->IsBaseCell(3, 3));

    // Splitting a cell of no merge makes its properties and still counts.
    const int before = g->FMergeCount;
    EXPECT_FALSE(g->HasCellProperties(2, 4));
    g->SplitCells(2, 4);
    EXPECT_TRUE(g->HasCellProperties(2, 4));
    EXPECT_EQ(g->FMergeCount, before - 1);

    // Splitting through a covered cell dissolves the whole block.
    g->SplitCells(1, 3);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_FALSE(g->IsMergedCell(1, r));
        EXPECT_TRUE(g->IsBaseCell(1, r));
    }
}

TEST_F(BaseGridTest, FreeingEveryPropertyReachesCellsPastTheCounts)
{
    // The store keeps cells past the counts; what the grid made there must
    // go with the rest when it frees them all (as it does when it goes).
    struct Case {
        const char* what;
        std::function<void(TProbeBaseGrid*)> make;
        std::vector<TPoint> cells;
    } cases[] = {
        {"a merge reaching past the last row",
         [](TProbeBaseGrid* g) {
             g->SetRowCount(6);
             g->MergeCells(2, 4, 1, 4);
         },
         {TPoint(2, 4), TPoint(2, 5), TPoint(2, 6), TPoint(2, 7)}},
        {"rows a smaller row count cut off",
         [](TProbeBaseGrid* g) {
             g->SetRowCount(8);
             g->MergeCells(1, 6, 2, 2);
             g->SetRowCount(3);
         },
         {TPoint(1, 6), TPoint(2, 7)}},
        {"columns a smaller column count cut off",
         [](TProbeBaseGrid* g) {
             g->SetColCount(8);
             g->MergeCells(6, 1, 2, 1);
             g->SetColCount(4);
         },
         {TPoint(6, 1), TPoint(7, 1)}},
    };
    // What the store holds in the cell's object slot, past the counts too.
    auto props = [](TProbeBaseGrid* g, TPoint p) { return dynamic_cast<TCellProperties*>(g->Objects(p.X, p.Y)); };
    for (const auto& tc : cases) {
        TProbeBaseGrid* g = NewGrid();
        tc.make(g);
        for (const TPoint& p : tc.cells)
            ASSERT_NE(props(g, p), nullptr) << tc.what << " " << p.X << "," << p.Y;
        g->FreeAllCellProperties();
        for (const TPoint& p : tc.cells)
            EXPECT_EQ(props(g, p), nullptr) << tc.what << " " << p.X << "," << p.Y;
        Form->Free();
        Form = nullptr;
    }
}

TEST_F(BaseGridTest, SpanComparisons)
{
    TProbeBaseGrid* g = NewGrid();
    g->SetColCount(6);
    g->SetRowCount(6);
    EXPECT_FALSE(g->ColSpanIdentical(1, 2)); // no horizontal merges at all
    g->MergeCells(1, 1, 2, 1);
    EXPECT_TRUE(g->ColSpanIdentical(1, 2));
    g->MergeCells(1, 3, 1, 1);
    g->MergeCells(3, 3, 2, 1);
    EXPECT_TRUE(g->ColSpanIdentical(1, 2)); // row 3: neither has a horizontal extent
    g->MergeCells(2, 4, 2, 1);
    EXPECT_FALSE(g->ColSpanIdentical(1, 2)); // row 4: only column 2 is merged

    EXPECT_FALSE(g->RowSpanIdentical(1, 2));
    g->MergeCells(5, 1, 1, 2);
    EXPECT_TRUE(g->RowSpanIdentical(1, 2));
}

TEST_F(BaseGridTest, CoveredCellsReadAndWriteTheBase)
{
    TProbeBaseGrid* g = NewGrid();
    g->SetCellEx(1, 1, "base");
    g->MergeCells(1, 1, 2, 2);
    EXPECT_EQ(g->GetCellEx(2, 2), "base");
    g->TextChanged.clear();
    g->SetCellEx(2, 2, "new");
    EXPECT_EQ(g->GetGridCell(1, 1), "new");
    EXPECT_EQ(g->GetGridCell(2, 2), "");
    ASSERT_EQ(g->TextChanged.size(), 1u);
    EXPECT_EQ(g->TextChanged[0], TPoint(1, 1));
}

TEST_F(BaseGridTest, DisplayHooks)
{
    TProbeBaseGrid* g = NewGrid();
    g->SetRowCount(8);
    g->SetCellEx(1, 1, "abc");
    g->SetCellEx(1, 5, "xyz");
    g->OnGetDisplText = [](TObject*, int, int, QString& v) { v = v.toUpper(); };
    // FNormalRowCount is 0 in a new grid: texts come back as stored.
    EXPECT_EQ(g->GetCellEx(1, 1), "abc");

    g->FNormalRowCount = 5;
    EXPECT_EQ(g->GetCellEx(1, 1), "ABC");
    g->OnGetDisplWideText = [](TObject*, int, int, QString& v) { v += QChar(0x20AC); };
    const QString wide = g->GetCellEx(1, 1);
    EXPECT_TRUE(wide.startsWith("|\\"));
    EXPECT_EQ(DecodeWideText(wide), QString("ABC") + QChar(0x20AC));
    EXPECT_EQ(g->GetCellEx(1, 5), "xyz");
}

TEST_F(BaseGridTest, ObjectsAndProperties)
{
    TProbeBaseGrid* g = NewGrid();
    TObject marker;
    g->SetObjectEx(2, 2, &marker);
    EXPECT_EQ(g->GetCellEx(2, 2), "");
    EXPECT_EQ(g->GetObjectEx(2, 2), &marker);
    EXPECT_TRUE(g->FHasCellProps);
    EXPECT_EQ(g->GetObjectEx(3, 3), nullptr);
    EXPECT_FALSE(g->HasCellProperties(3, 3)); // reading makes nothing

    TCellProperties* p = g->GetCellProperties(1, 1);
    EXPECT_EQ(g->GetCellProperties(1, 1), p);
    EXPECT_EQ(p->BrushColor(), g->Color());
    EXPECT_EQ(p->FontName, g->Font()->Name());
    EXPECT_EQ(p->OwnerCol, 1);

    bool graphicGone = false;
    auto* own = new TCellGraphic(&graphicGone);
    TOtherGraphic other;
    g->SetGraphicObjectEx(1, 2, own);
    g->SetGraphicObjectEx(1, 3, &other);
    EXPECT_EQ(g->GetGraphicObjectEx(1, 2), own);
    EXPECT_EQ(g->GetCellEx(1, 3), "");
    g->FreeCellPropertiesRange(0, 0, 4, 4);
    EXPECT_TRUE(graphicGone);
    EXPECT_FALSE(g->HasCellProperties(1, 3));
    EXPECT_EQ(g->GetGraphicObjectEx(1, 3), nullptr);
}

TEST_F(BaseGridTest, CellPropertiesAssignCopiesTheListedFields)
{
    TProbeBaseGrid* g = NewGrid();
    TCellProperties* a = g->GetCellProperties(1, 1);
    TCellProperties* b = g->GetCellProperties(2, 2);
    a->SetBrushColor(clRed);
    a->SetBrushColorTo(clBlue);
    a->GradientDirection = GradientHorizontal;
    a->CellObject = 77;
    a->ReadOnly = true;
    b->Assign(a);
    EXPECT_EQ(b->BrushColor(), clRed);
    EXPECT_EQ(b->CellObject, 77u);
    EXPECT_TRUE(b->ReadOnly);
    EXPECT_EQ(b->OwnerCol, 1);
    EXPECT_NE(b->BrushColorTo(), clBlue);
    EXPECT_EQ(b->GradientDirection, GradientVertical);
}

TEST_F(BaseGridTest, IndexesOutsideTheGrid)
{
    TProbeBaseGrid* g = NewGrid();
    g->SetCellEx(-1, 0, "x");
    g->SetCellEx(0, -1, "x");
    EXPECT_EQ(g->GetCellEx(-1, 0), "");
    g->MergeCells(-1, 0, 2, 2);
    EXPECT_EQ(g->FMergeCount, 0);
    g->SplitCells(0, -3);
    EXPECT_EQ(g->FMergeCount, 0);
    EXPECT_FALSE(g->HasCellProperties(-1, 0));
    EXPECT_FALSE(g->IsMergedCell(-1, -1));
    EXPECT_EQ(g->GetObjectEx(-1, 0), nullptr);
    EXPECT_THROW(g->GetCellProperties(-1, 0), EInvalidGridOperation);
    // Past the counts texts are stored like any other.
    g->SetCellEx(40, 30, "far");
    EXPECT_EQ(g->GetCellEx(40, 30), "far");
}

TEST_F(BaseGridTest, PlainTextsMakeNoProperties)
{
    TProbeBaseGrid* g = NewGrid();
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r)
            g->SetCellEx(c, r, QString::number(c * r));
    EXPECT_FALSE(g->FHasCellProps);
    EXPECT_EQ(g->GetGridObject(2, 2), nullptr);
}

TEST_F(BaseGridTest, ColAndRowWritesClickOncePerChange)
{
    TProbeBaseGrid* g = NewGrid();
    g->SetCol(2);
    EXPECT_EQ(g->Clicks, 1);
    g->SetCol(2);
    EXPECT_EQ(g->Clicks, 1);
    g->SetRow(3);
    EXPECT_EQ(g->Clicks, 2);
}

TEST_F(BaseGridTest, ArrowKeysOverMergedBlocks)
{
    TProbeBaseGrid* g = NewGrid();
    g->SetColCount(8);
    g->SetRowCount(6);
    g->MergeCells(2, 1, 3, 1);
    g->SetCol(2);
    g->SetRow(1);
    Key(VK_RIGHT);
    EXPECT_EQ(g->Col(), 5);
    EXPECT_EQ(g->Row(), 1);
    Key(VK_LEFT);
    EXPECT_EQ(g->Col(), 2); // the block's base
    EXPECT_TRUE(g->IsBaseCell(g->Col(), g->Row()));

    // A block reaching past the row count: Down raises nothing.
    g->MergeCells(6, 4, 1, 4);
    g->SetCol(6);
    g->SetRow(4);
    EXPECT_NO_THROW(Key(VK_DOWN));
    EXPECT_TRUE(g->IsBaseCell(g->Col(), g->Row()));

    // Down steps over a vertical block.
    g->MergeCells(1, 1, 1, 3);
    g->SetCol(1);
    g->SetRow(1);
    Key(VK_DOWN);
    EXPECT_EQ(g->Row(), 4);
    Key(VK_UP);
    EXPECT_EQ(g->Row(), 1);
}

TEST_F(BaseGridTest, LeftAndUpFromACoveredCellLeaveTheBlock)
{
    TProbeBaseGrid* g = NewGrid();
    g->SetColCount(8);
    g->SetRowCount(8);
    g->MergeCells(3, 3, 3, 3);
    // Only a program can make a covered cell current.
    g->SetCol(5);
    g->SetRow(4);
    Key(VK_LEFT);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 4);
    g->SetCol(4);
    g->SetRow(5);
    Key(VK_UP);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(g->Col(), 4);
}

TEST_F(BaseGridTest, HiddenLastRowReportsWrites)
{
    struct TLastRowGrid : TProbeBaseGrid {
        using TProbeBaseGrid::TProbeBaseGrid;
        int LastRowWrites = 0;
        void LastRowChanged() override { ++LastRowWrites; }
    };
    Form = NewObject<TForm>(nullptr);
    auto* g = NewObject<TLastRowGrid>(Form);
    g->SetParent(Form);
    g->SetCellEx(1, g->RowCount() - 1, "x");
    EXPECT_EQ(g->LastRowWrites, 0);
    g->FHideLastRow = true;
    g->SetCellEx(1, g->RowCount() - 1, "y");
    g->SetCellEx(1, 1, "z");
    EXPECT_EQ(g->LastRowWrites, 1);
}

TEST_F(BaseGridTest, ClearingCells)
{
    TProbeBaseGrid* g = NewGrid();
    g->SetCellEx(1, 1, "a");
    g->SetCellEx(1, 2, "b");
    g->SetCellEx(2, 1, "c");
    g->ClearColumnCells(1);
    EXPECT_EQ(g->GetCellEx(1, 1), "");
    EXPECT_EQ(g->GetCellEx(1, 2), "");
    EXPECT_EQ(g->GetCellEx(2, 1), "c");
    g->ClearRowCells(1);
    EXPECT_EQ(g->GetCellEx(2, 1), "");
    g->SetCellEx(3, 3, "d");
    TCellProperties* p = g->GetCellProperties(3, 3);
    g->ResetCell(3, 3);
    EXPECT_EQ(g->GetCellEx(3, 3), "");
    EXPECT_EQ(g->GetGridObject(3, 3), nullptr);
    delete p; // let go, not freed, by ResetCell
    g->GetCellProperties(4, 4);
    g->FreeCellProperties(4, 4);
    EXPECT_EQ(g->GetGridObject(4, 4), nullptr);
}

TEST_F(BaseGridTest, WheelEndsOnABaseCell)
{
    TProbeBaseGrid* g = NewGrid();
    g->SetRowCount(10);
    g->MergeCells(1, 2, 1, 3);
    g->SetRow(1);
    Input::Wheel(g, -120); // down into the block's base row
    EXPECT_EQ(g->Row(), 2);
    g->SetRow(5);
    Input::Wheel(g, 120); // up into its last covered row: back to the base
    EXPECT_EQ(g->Row(), 2);
    EXPECT_TRUE(g->IsBaseCell(g->Col(), g->Row()));
}

TEST_F(BaseGridTest, SelectCellIsTheLibrarysDecision)
{
    TProbeBaseGrid* g = NewGrid();
    g->OnSelectCell = [](TObject*, int c, int, bool& can) { can = c != 3; };
    g->SetCol(3);
    EXPECT_EQ(g->Col(), 1);
    g->SetCol(2);
    EXPECT_EQ(g->Col(), 2);
}

TEST_F(BaseGridTest, ScrollingRepaintsMergedFixedCells)
{
    TProbeBaseGrid* g = NewGrid(400, 150);
    g->SetRowCount(20);
    g->MergeCells(0, 4, 1, 2); // a merged block in the fixed column
    g->ClearInvalidatedRects();
    g->SetTopRow(3);
    const TRect block = g->CellRect(0, 4);
    bool repainted = false;
    for (const TRect& r : g->InvalidatedRects())
        repainted = repainted || r == block;
    EXPECT_TRUE(repainted);
}

TEST_F(BaseGridTest, CellColourWritersRepaintTheirCell)
{
    TProbeBaseGrid* g = NewGrid();
    TCellProperties* p = g->GetCellProperties(2, 2);
    g->ClearInvalidatedRects();
    p->SetBrushColor(clRed);
    ASSERT_FALSE(g->InvalidatedRects().empty());
    EXPECT_EQ(g->InvalidatedRects().back(), g->CellRect(2, 2));
    g->ClearInvalidatedRects();
    p->Alignment = taCenter; // only stored
    EXPECT_TRUE(g->InvalidatedRects().empty());
}
