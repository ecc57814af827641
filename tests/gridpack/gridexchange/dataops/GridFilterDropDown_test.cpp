// The filter drop-down: list and check-list choices and the lists' events.
#include "GridData1Fixture.h"

#include "platform/controls/Input.h"
#include "platform/controls/Messages.h"

namespace {

class GridFilterDropDownTest : public GridData1Test {
protected:
    TExStringGrid* Sample()
    {
        auto* g = NewGrid(2, 1);
        PutColumn(g, 1, 1, {"red", "blue", "red", "green", "dark blue"});
        g->FilterDropDownAuto = true;
        return g;
    }
    static int IndexOf(TExStringGrid* g, const QString& entry) { return g->FilterList()->IndexOf(entry); }
};

TEST_F(GridFilterDropDownTest, ListChoiceFiltersAndAllRemovesTheFilter)
{
    auto* g = Sample();
    g->OpenFilterList(1);
    // sorted, without duplicates, the clear text first, a blank value quoted
    EXPECT_EQ(g->FilterList()->Strings(0), "(All)");
    EXPECT_GE(IndexOf(g, "dark blue=\"dark blue\""), 0);
    EXPECT_EQ(g->FilterList()->Count(), 5);
    int done = 0;
    g->OnFilterDone = [&](TObject*) { ++done; };
    g->FilterSelect(IndexOf(g, "red"));
    EXPECT_EQ(Column(g, 1, 1), Texts({"red", "red"}));
    EXPECT_EQ(g->FFilterColumn, -1);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(g->Filter()->Count(), 1);

    // the choice of another value replaces the column's condition
    g->OpenFilterList(1);
    g->FilterSelect(IndexOf(g, "dark blue=\"dark blue\""));
    EXPECT_EQ(Column(g, 1, 1), Texts({"dark blue"}));
    EXPECT_EQ(g->FilterLevelCount(), 1);

    g->OpenFilterList(1);
    g->FilterSelect(0);
    EXPECT_EQ(Column(g, 1, 1).size(), 5u);
    EXPECT_EQ(g->Filter()->Count(), 0);

    // an invalid choice only closes
    g->OpenFilterList(1);
    g->FilterSelect(99);
    EXPECT_EQ(g->FFilterColumn, -1);
    EXPECT_EQ(done, 3);
}

// The list opens 150 x 150 below the button by default; with ColumnWidth it
// is as wide as the column and starts at the column's left edge.
TEST_F(GridFilterDropDownTest, ListSizeDefaultsAndColumnWidth)
{
    auto* g = Sample();
    g->SetBounds(0, 0, 500, 300);
    g->SetColWidths(1, 200);
    TFilterDropDown* dd = g->FilterDropDown();
    EXPECT_EQ(dd->Height, 150);
    EXPECT_EQ(dd->Width, 150);
    EXPECT_FALSE(dd->ColumnWidth);
    const TRect cell = g->CellRect(1, 0);
    g->ShowFilterList(1, cell);
    EXPECT_EQ(g->FDropList->BoundsRect(), (TRect{cell.Right - 16, cell.Top + 16, cell.Right - 16 + 150, cell.Top + 16 + 150}));
    g->FDropList->SetVisible(false);
    dd->ColumnWidth = true;
    g->ShowFilterList(1, cell);
    EXPECT_EQ(g->FDropList->BoundsRect(), (TRect{cell.Left, cell.Top + 16, cell.Right, cell.Top + 16 + 150}));
    TFilterDropDown copy;
    copy.Assign(dd);
    EXPECT_TRUE(copy.ColumnWidth);
}

TEST_F(GridFilterDropDownTest, SelectHookMayChangeTheCondition)
{
    auto* g = Sample();
    g->OnFilterSelect = [](TObject*, int col, int, const QString& friendly, QString& cond) {
        EXPECT_EQ(col, 1);
        EXPECT_EQ(friendly, "green");
        cond = "*blue";
    };
    g->OpenFilterList(1);
    g->FilterSelect(IndexOf(g, "green"));
    EXPECT_EQ(Column(g, 1, 1), Texts({"blue", "dark blue"}));
}

TEST_F(GridFilterDropDownTest, CheckListJoinsCheckedValuesWithOr)
{
    auto* g = Sample();
    g->FilterDropDownCheck = true;
    g->OpenFilterList(1);
    auto* list = g->FDropCheckList;
    ASSERT_EQ(list->Items()->Count(), 5);
    EXPECT_EQ(list->Items()->Strings(IndexOf(g, "dark blue=\"dark blue\"")), "dark blue");
    list->SetChecked(IndexOf(g, "green"), true);
    list->SetChecked(IndexOf(g, "red"), true);
    g->FilterCheck();
    ASSERT_EQ(g->Filter()->Count(), 2);
    EXPECT_EQ(g->Filter()->Items(0)->Condition, "green");
    EXPECT_EQ(g->Filter()->Items(0)->Operation, foNONE);
    EXPECT_EQ(g->Filter()->Items(1)->Condition, "red");
    EXPECT_EQ(g->Filter()->Items(1)->Operation, foOR);
    EXPECT_EQ(Column(g, 1, 1), Texts({"red", "red", "green"}));
    // reopened, the checked values show checked
    g->OpenFilterList(1);
    EXPECT_TRUE(g->FDropCheckList->Checked(IndexOf(g, "red")));
    EXPECT_FALSE(g->FDropCheckList->Checked(IndexOf(g, "blue")));
}

TEST_F(GridFilterDropDownTest, ListsReportThroughTheirEvents)
{
    auto* g = Sample();
    g->OpenFilterList(1);
    g->FDropList->SetVisible(true);
    g->FDropList->SetBounds(10, 10, 100, 120);
    g->FDropList->SetItemIndex(IndexOf(g, "blue"));
    g->FDropList->Perform(WM_CHAR, 13, 0);
    EXPECT_FALSE(g->FDropList->Visible());
    EXPECT_EQ(Column(g, 1, 1), Texts({"blue"}));

    // a cancel-mode notice with the mouse elsewhere closes
    g->FilterDropDownCheck = true;
    g->OpenFilterList(1);
    g->FDropCheckList->SetVisible(true);
    g->FDropCheckList->SetBounds(10, 10, 100, 120);
    SetCursorPos(TPoint{5000, 5000});
    g->FDropCheckList->Perform(CM_CANCELMODE, 0, 0);
    EXPECT_FALSE(g->FDropCheckList->Visible());
    EXPECT_EQ(g->FFilterColumn, -1);
}

} // namespace

namespace {

// The sort and filter glyphs are owned copies; a changed filter glyph tells
// the settings' owner, and Assign copies the pictures.
TEST(GridGlyphSettings, GlyphsAreCopiedAndReported)
{
    TBitmap pic(4, 3);
    TSortSettings sort;
    EXPECT_TRUE(sort.UpGlyph()->Empty());
    sort.SetUpGlyph(&pic);
    sort.SetIndexDownGlyph(&pic);
    pic.SetSize(9, 9);
    EXPECT_EQ(sort.UpGlyph()->Width(), 4);
    TSortSettings copy;
    copy.Assign(&sort);
    EXPECT_EQ(copy.UpGlyph()->Height(), 3);
    EXPECT_EQ(copy.IndexDownGlyph()->Width(), 4);
    EXPECT_TRUE(copy.DownGlyph()->Empty());
    sort.SetUpGlyph(nullptr);
    EXPECT_TRUE(sort.UpGlyph()->Empty());

    TFilterDropDown drop;
    int changes = 0;
    drop.OnChange = [&](TObject*) { ++changes; };
    drop.SetGlyph(&pic);
    EXPECT_EQ(changes, 1);
    drop.SetGlyphActive(&pic);
    EXPECT_EQ(changes, 2);
    TFilterDropDown other;
    other.Assign(&drop);
    EXPECT_EQ(other.GlyphActive()->Width(), 9);
}

} // namespace
