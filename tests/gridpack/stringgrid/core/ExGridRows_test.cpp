// Hidden rows, the row operations on the row shift, and texts by real row.
#include "ExGridFixture.h"

namespace {
class ExGridRowsTest : public ExGridTest {
protected:
    // Rows 0..9: "r<row>" in column 1 and in hidden-capable column 3, row
    // height 20 + row.
    void Fill()
    {
        NewGrid();
        for (int r = 0; r < Grid->RowCount(); ++r) {
            Grid->SetCellEx(1, r, QString("r%1").arg(r));
            Grid->SetCellEx(3, r, QString("c3r%1").arg(r));
            Grid->SetRowHeights(r, 20 + r);
        }
    }
    // The texts of column 1 from row 0 down.
    std::vector<QString> Column1()
    {
        std::vector<QString> v;
        for (int r = 0; r < Grid->RowCount(); ++r)
            v.push_back(Grid->GetCellEx(1, r));
        return v;
    }
    static std::vector<QString> Rows(std::initializer_list<int> rows)
    {
        std::vector<QString> v;
        for (int r : rows)
            v.push_back(QString("r%1").arg(r));
        return v;
    }
};
} // namespace

TEST_F(ExGridRowsTest, AHiddenRowLeavesTheGridWithItsTextsHeightAndProperties)
{
    Fill();
    Grid->SetColors(1, 3, clRed);
    Grid->HideRow(3);
    EXPECT_EQ(Grid->RowCount(), 9);
    EXPECT_EQ(Grid->NumHiddenRows(), 1);
    EXPECT_EQ(Grid->TotalRowCount(), 10);
    EXPECT_TRUE(Grid->IsHiddenRow(3));
    EXPECT_EQ(Grid->RemapRowToReal(3), 4);
    EXPECT_EQ(Grid->RemapRowToDispl(4), 3);
    EXPECT_EQ(Grid->RemapRowToReal(2), 2);
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Grid->RowHeights(3), 24); // row 4 moved up with its height
    EXPECT_FALSE(Grid->HasCellProperties(1, 3));
    // Texts by real row reach the stored row.
    EXPECT_EQ(Grid->GetCellsEx(1, 3), "r3");
    EXPECT_EQ(Grid->GetCellsEx(3, 3), "c3r3");
    EXPECT_EQ(Grid->GetCellsEx(1, 4), "r4");
    EXPECT_EQ(Grid->GetCellsEx(-1, 4), "");

    Grid->UnHideRow(3);
    EXPECT_EQ(Grid->NumHiddenRows(), 0);
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Grid->RowHeights(3), 23);
    EXPECT_EQ(Grid->GetColors(1, 3), clRed);
    EXPECT_EQ(Grid->GetCellEx(3, 3), "c3r3");
}

namespace {
// A graphic object under the name the grid gives its own cell graphics,
// which the grid frees with the cell; it says when it goes.
class TOwnGraphicProbe : public TObject {
public:
    explicit TOwnGraphicProbe(bool* gone) : FGone(gone) {}
    ~TOwnGraphicProbe() override { *FGone = true; }
    QString ClassName() const override { return QStringLiteral("TCellGraphic"); }

private:
    bool* FGone;
};
} // namespace

TEST_F(ExGridRowsTest, AHiddenRowsCellGraphicGoesWithTheGrid)
{
    Fill();
    bool gone = false;
    Grid->SetGraphicObjectEx(1, 3, new TOwnGraphicProbe(&gone));
    Grid->HideRow(3);
    ASSERT_FALSE(gone);
    Form->Free();
    Form = nullptr;
    EXPECT_TRUE(gone);
}

TEST_F(ExGridRowsTest, HidingARangeSkipsRowsHiddenAlready)
{
    Fill();
    Grid->HideRow(6);
    Grid->HideRows(5, 7);
    EXPECT_EQ(Grid->RowCount(), 7);
    EXPECT_EQ(Grid->NumHiddenRows(), 3);
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 8, 9}));
    EXPECT_EQ(Grid->GetCellsEx(1, 5), "r5");
    EXPECT_EQ(Grid->GetCellsEx(1, 7), "r7");
    EXPECT_EQ(Grid->HiddenRowItem(7)->Height, 27);
    Grid->HideRows(5, 7); // all hidden already: nothing
    EXPECT_EQ(Grid->RowCount(), 7);
    // The first row not hidden: nothing is shown.
    Grid->UnHideRows(4, 7);
    EXPECT_EQ(Grid->NumHiddenRows(), 3);
    Grid->UnHideRows(5, 7);
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(Grid->RowHeights(r), 20 + r) << r;
}

TEST_F(ExGridRowsTest, UnHideRowsAllRestoresEveryRunInPlace)
{
    Fill();
    Grid->HideRows(2, 3);
    Grid->HideRow(7);
    EXPECT_EQ(Column1(), Rows({0, 1, 4, 5, 6, 8, 9}));
    Grid->UnHideRowsAll();
    EXPECT_EQ(Grid->NumHiddenRows(), 0);
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST_F(ExGridRowsTest, HideRowsExAndAFilterLevelComeBackInPlace)
{
    Fill();
    Grid->HideRowsEx(2, 3);
    EXPECT_EQ(Column1(), Rows({0, 1, 4, 5, 6, 7, 8, 9}));
    Grid->HideRowsEx(2, 4); // first row hidden already: nothing
    EXPECT_EQ(Grid->RowCount(), 8);
    Grid->UnHideRowsAll();
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    auto* list = NewObject<TIntList>(0, 0);
    for (int r : {2, 3, 6})
        list->Add(r);
    Grid->HideRowList(list);
    list->Free();
    EXPECT_EQ(Grid->FFilterLevel, 1);
    EXPECT_EQ(Column1(), Rows({0, 1, 4, 5, 7, 8, 9}));
    EXPECT_EQ(Grid->RowHeights(4), 27);
    Grid->UnHideRowList();
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Grid->RowHeights(6), 26);
    EXPECT_EQ(Grid->NumHiddenRows(), 0);
}

TEST_F(ExGridRowsTest, WritingAHiddenRowAndAUserObjectComingBack)
{
    Fill();
    Grid->HideRow(4);
    Grid->SetCellsEx(7, 4, "far");
    EXPECT_EQ(Grid->HiddenRowItem(4)->Items()->Count(), 8);
    EXPECT_EQ(Grid->GetCellsEx(7, 4), "far");
    auto* user = NewObject<TStringList>();
    Grid->SetObjectsEx(2, 4, user); // a plain object in the stored row
    EXPECT_EQ(Grid->GetObjectsEx(2, 4), user);
    Grid->UnHideRow(4);
    // The slot holds properties only: the object comes back inside them.
    ASSERT_TRUE(Grid->HasCellProperties(2, 4));
    EXPECT_EQ(Grid->GetObjectEx(2, 4), user);
    EXPECT_EQ(Grid->GetCellEx(7, 4), "far");
    user->Free();
}

TEST_F(ExGridRowsTest, RemovingRowsMovesWholeRowsAndHiddenIndexes)
{
    Fill();
    Grid->HideColumn(3);
    Grid->SetColors(1, 5, clBlue);
    Grid->HideRow(6); // real row 6
    Grid->RemoveRowsEx(2, 3);
    EXPECT_EQ(Grid->RowCount(), 6);
    EXPECT_EQ(Column1(), Rows({0, 1, 5, 7, 8, 9}));
    EXPECT_EQ(Grid->GetCellEx(3, 2), "c3r5"); // hidden column's cell moved with its row
    EXPECT_EQ(Grid->GetColors(1, 2), clBlue);
    EXPECT_EQ(Grid->RowHeights(2), 25);
    ASSERT_EQ(Grid->NumHiddenRows(), 1);
    EXPECT_EQ(Grid->GridItems()->Item(0)->Idx, 3);

    Grid->DeleteRowRange(1, 1, true);
    EXPECT_EQ(Column1(), Rows({0, 5, 7, 8, 9}));
    EXPECT_EQ(Grid->GridItems()->Item(0)->Idx, 2);
    Grid->DeleteRowRange(9, 1, true); // past the last row: nothing
    EXPECT_EQ(Grid->RowCount(), 5);
}

TEST_F(ExGridRowsTest, InsertingRowsOpensEmptyRowsAndMovesCellControls)
{
    Fill();
    auto* ctl = NewObject<TGridChildControl>(Grid);
    Grid->SetCellControls(2, 4, ctl);
    std::vector<TRect> changed;
    Grid->OnCellsChanged = [&](TObject*, const TRect& r) { changed.push_back(r); };
    Grid->InsertRowRange(1, 2, true);
    EXPECT_EQ(Grid->RowCount(), 12);
    EXPECT_EQ(Grid->GetCellEx(1, 1), "");
    EXPECT_EQ(Grid->GetCellEx(1, 2), "");
    EXPECT_EQ(Grid->GetCellEx(1, 3), "r1");
    EXPECT_EQ(Grid->RowHeights(1), Grid->DefaultRowHeight());
    EXPECT_EQ(Grid->RowHeights(3), 21);
    EXPECT_EQ(Grid->CellControlList()->GetControl(0)->Y, 6);
    EXPECT_EQ(Grid->GetCellControls(2, 6), ctl);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], (TRect{0, 1, 4, 3}));
}

TEST_F(ExGridRowsTest, TheRowShiftKeepsEveryOtherRowInPlace)
{
    // A direct check of the store's shift: rows past the count move too.
    NewGrid();
    Grid->SetRowCount(5);
    for (int r = 0; r < 8; ++r)
        Grid->SetGridCell(0, r, QString::number(r));
    Grid->ShiftRows(2, 3);
    EXPECT_EQ(Grid->RowCount(), 8);
    const char* expect[] = {"0", "1", "", "", "", "2", "3", "4", "5", "6", "7"};
    for (int r = 0; r < 11; ++r)
        EXPECT_EQ(Grid->GetGridCell(0, r), expect[r]) << r;
    Grid->ShiftRows(5, -3);
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(Grid->GetGridCell(0, r), QString::number(r)) << r;
    EXPECT_THROW(Grid->ShiftRows(1, -2), EInvalidGridOperation);
}

TEST_F(ExGridRowsTest, RemovingTheLastNormalRowKeepsTheFixedRowWithFixedRowAlways)
{
    NewGrid();
    Grid->FixedRowAlways = true;
    Grid->SetRowCount(2);
    Grid->RemoveRowsEx(1, 1);
    EXPECT_EQ(Grid->RowCount(), 1);
    EXPECT_EQ(Grid->FixedRows(), 1);
    Grid->SetRowCount(3);
    EXPECT_EQ(Grid->TBaseGrid::FixedRows(), 1);
}

TEST_F(ExGridRowsTest, TheFloatingFooterRowStaysLast)
{
    NewGrid();
    Grid->SetRowCount(5);
    Grid->FloatingFooter()->Visible = true;
    Grid->SetCellEx(1, 4, "sum");
    Grid->SetColors(1, 4, clRed);
    Grid->SetRowCount(7);
    EXPECT_EQ(Grid->GetCellEx(1, 6), "sum");
    EXPECT_EQ(Grid->GetColors(1, 6), clRed);
    EXPECT_EQ(Grid->GetCellEx(1, 4), "");
    EXPECT_FALSE(Grid->HasCellProperties(1, 4));
}

TEST_F(ExGridRowsTest, TheHiddenRowListIsBuiltOnceForTheCaller)
{
    Fill();
    Grid->HideRow(2);
    Grid->HideRow(5);
    TIntList* list = nullptr;
    EXPECT_TRUE(Grid->IsHiddenRow(5, list));
    ASSERT_NE(list, nullptr);
    TIntList* first = list;
    EXPECT_FALSE(Grid->IsHiddenRow(3, list));
    EXPECT_EQ(list, first);
    EXPECT_EQ(list->Count(), 2);
    list->Free();
}

TEST_F(ExGridRowsTest, AFilterLevelTakesWholeRowsOutAndPutsThemBack)
{
    // Nothing reads the stored rows in between: they travel as records.
    Fill();
    Grid->SetColors(1, 2, clRed);
    auto* user = NewObject<TStringList>();
    static_cast<TStringGrid*>(Grid)->SetObjects(2, 6, user);
    const int past = Grid->AllColCount() + 2;
    Grid->SetCells(past, 6, "past");
    auto* list = NewObject<TIntList>(0, 0);
    for (int r : {2, 6})
        list->Add(r);
    Grid->HideRowList(list);
    list->Free();
    EXPECT_EQ(Column1(), Rows({0, 1, 3, 4, 5, 7, 8, 9}));
    EXPECT_EQ(Grid->RowHeights(2), 23);
    EXPECT_FALSE(Grid->HasCellProperties(1, 2));
    Grid->UnHideRowList();
    EXPECT_EQ(Grid->NumHiddenRows(), 0);
    EXPECT_EQ(Column1(), Rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Grid->GetColors(1, 2), clRed);
    EXPECT_EQ(Grid->GetCellEx(3, 6), "c3r6");
    EXPECT_EQ(Grid->RowHeights(6), 26);
    // The slot holds properties only: the plain object comes back inside
    // them; cells past the real columns are not kept by a hidden row.
    ASSERT_TRUE(Grid->HasCellProperties(2, 6));
    EXPECT_EQ(Grid->GetObjectEx(2, 6), user);
    EXPECT_EQ(Grid->Cells(past, 6), "");
    user->Free();
}
