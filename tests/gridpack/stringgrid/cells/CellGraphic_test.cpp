#include "CellsKit.h"

#include "platform/graphics/ImageList.h"

namespace {
class TWatchedBitmap : public TBitmap {
public:
    explicit TWatchedBitmap(bool* freed) : FFreed(freed) {}
    ~TWatchedBitmap() override { *FFreed = true; }

private:
    bool* FFreed;
};
} // namespace

TEST(CellGraphic, FreshRecordAndAngles)
{
    TCellGraphic g;
    EXPECT_EQ(g.CellType, ctNone);
    EXPECT_FALSE(g.CellCreated);
    EXPECT_EQ(g.CellHAlign, haLeft);
    EXPECT_EQ(g.CellVAlign, vaTop);
    const std::pair<int, int> angles[] = {{-90, 270}, {720, 360}, {360, 360}, {-45, 315}, {0, 0}, {-360, 0}};
    for (auto [in, want] : angles) {
        g.SetAngle(int16_t(in));
        EXPECT_EQ(g.CellType, ctRotated);
        EXPECT_EQ(g.CellAngle, want) << in;
    }
}

TEST(CellGraphic, ButtonSizePacksWidthLowHeightHigh)
{
    TCellGraphic g;
    g.SetButton(60, 20, "Go", haFull, vaCenter);
    EXPECT_EQ(g.CellType, ctButton);
    EXPECT_EQ(g.CellIndex, (20 << 16) | 60);
    EXPECT_FALSE(g.CellBoolean);
    EXPECT_EQ(g.CellText, "Go");
}

TEST(CellGraphic, AssignCopiesTheFieldsButNotTheObjects)
{
    TCellGraphic src;
    src.SetCheckBox(cbGrayed, true, haCenter, vaBottom);
    src.CellErrFrom = 3;
    src.CellErrLen = 4;
    src.CellText = "t";
    src.CellVar = 7;
    TCellGraphic dst;
    dst.Assign(&src);
    EXPECT_EQ(dst.CellType, ctTriStateCheckBox);
    EXPECT_EQ(dst.CellCheckBoxState, cbGrayed);
    EXPECT_EQ(dst.CellHAlign, haCenter);
    EXPECT_EQ(dst.CellVAlign, vaBottom);
    EXPECT_TRUE(dst.CellTransparent);
    EXPECT_EQ(dst.CellErrFrom, 3);
    EXPECT_EQ(dst.CellErrLen, 4);
    EXPECT_EQ(dst.CellText, "t");
    EXPECT_FALSE(dst.CellVar.isValid());
}

TEST(CellGraphic, PictureSizeByStretchMode)
{
    auto* pic = new TPicture();
    auto bmp = std::make_unique<TBitmap>(100, 50);
    pic->SetGraphic(std::move(bmp));
    struct Case {
        TStretchMode mode;
        int cw, rh, w, h;
    } cases[] = {
        {StretchWithAspectRatio, 52, 52, 50, 25}, {ShrinkWithAspectRatio, 52, 52, 50, 25},
        {Shrink, 52, 52, 50, 50},                 {noStretch, 52, 52, 100, 50},
        {Stretch, 52, 52, 50, 50},                {ShrinkWithAspectRatio, 202, 202, 100, 50},
        {StretchWithAspectRatio, 202, 52, 100, 50},
    };
    for (const Case& k : cases) {
        TCellGraphic g;
        g.SetPicture(pic, false, k.mode, 2, haLeft, vaTop);
        const TPoint p = g.GetPictureSize(k.cw, k.rh, false);
        EXPECT_EQ(p.X, k.w) << int(k.mode) << " " << k.cw;
        EXPECT_EQ(p.Y, k.h) << int(k.mode) << " " << k.cw;
    }
    TCellGraphic other;
    other.SetImageIdx(1, haLeft, vaTop);
    EXPECT_EQ(other.GetPictureSize(10, 10, true, TPoint{7, 8}).X, 7);
    delete pic;
}

TEST(CellGraphic, DestroyFreesOnlyWhatTheKindOwns)
{
    bool freed = false;
    auto* own = new TCellGraphic();
    own->SetBitmap(new TWatchedBitmap(&freed), false, haLeft, vaTop);
    own->CellCreated = true;
    delete own;
    EXPECT_TRUE(freed);

    freed = false;
    TWatchedBitmap callers(&freed);
    auto* lent = new TCellGraphic();
    lent->SetBitmap(&callers, false, haLeft, vaTop);
    delete lent;
    EXPECT_FALSE(freed);

    // A balloon list hung on a check box goes with it.
    bool listFreed = false;
    auto* box = new TCellGraphic();
    box->SetCheckBox(true, false, true, haLeft, vaTop);
    box->CellAngle = 1;
    box->SetObject(static_cast<TStrings*>(new TWatchedStrings(&listFreed)));
    delete box;
    EXPECT_TRUE(listFreed);
}

TEST_F(CellsTest, CellWithoutGraphicIsEmptyAndNegativeIndexesAreEmptyEvenUnderRowSelect)
{
    NewGrid();
    EXPECT_EQ(Grid->GetCellType(2, 2), ctEmpty);
    EXPECT_EQ(Grid->GetCellGraphic(2, 2), nullptr);
    Grid->MouseActions()->SetHotmailRowSelect(true);
    EXPECT_EQ(Grid->GetCellType(-1, 5), ctEmpty);
    EXPECT_EQ(Grid->GetCellType(0, -1), ctEmpty);
    Grid->AddCheckBox(0, 5, true, false);
    EXPECT_EQ(Grid->GetCellType(0, 5), ctRowCheckBox);
    const TCellGraphic* shared = Grid->GetCellGraphic(0, 3);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->CellType, ctRowCheckBox);
    EXPECT_EQ(Grid->GetCellGraphic(0, 4), shared);
    // Only the row box can be removed from column 0; the shared record lives on.
    EXPECT_FALSE(Grid->RemoveCellGraphicOfKind(0, 5, ctCheckBox));
    EXPECT_TRUE(Grid->RemoveCellGraphicOfKind(0, 5, ctRowCheckBox));
    EXPECT_EQ(Grid->GetCellGraphic(0, 5), shared);
    Grid->MouseActions()->SetHotmailRowSelect(false);
    EXPECT_EQ(Grid->GetCellGraphic(0, 5), nullptr);
}

TEST_F(CellsTest, NewGraphicReplacesTheOldOneAndKeepsAnEmptyCellEmpty)
{
    NewGrid();
    bool freed = false;
    TBitmap* created = Grid->CreateBitmap(1, 1, false, haLeft, vaTop);
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(Grid->HasBitmap(1, 1));
    EXPECT_TRUE(Grid->Cells(1, 1).isEmpty());
    TWatchedBitmap mine(&freed);
    Grid->AddBitmap(1, 1, &mine, true, haCenter, vaCenter);
    EXPECT_EQ(Grid->GetBitmap(1, 1), &mine);
    Grid->AddComment(1, 1, "note");
    EXPECT_FALSE(freed);
    EXPECT_EQ(Grid->GetBitmap(1, 1), nullptr);
    EXPECT_EQ(Grid->GetComment(1, 1), "note");
    EXPECT_EQ(Grid->GetCellGraphic(1, 1)->CellIndex, int(Grid->ControlLook()->CommentColor()));
}

TEST_F(CellsTest, RemovingTheGraphicOfAnEmptyCellAnswersFalse)
{
    NewGrid();
    EXPECT_FALSE(Grid->RemoveCellGraphic(2, 2));
    Grid->AddShape(2, 2, csCircle, clRed, clBlack, haCenter, vaCenter);
    EXPECT_FALSE(Grid->RemoveCellGraphicOfKind(2, 2, ctRating));
    EXPECT_TRUE(Grid->RemoveCellGraphicOfKind(2, 2, ctShape));
    EXPECT_FALSE(Grid->RemoveCellGraphic(2, 2));
}

TEST_F(CellsTest, KindTestsLookAtTheMergeBaseCell)
{
    NewGrid();
    Grid->AddCheckBox(1, 1, true, true);
    Grid->MergeCells(1, 1, 2, 2);
    EXPECT_TRUE(Grid->HasCheckBox(2, 2));
    EXPECT_TRUE(Grid->HasDataCheckBox(2, 2));
    EXPECT_TRUE(Grid->HasCellControl(2, 2));
    EXPECT_TRUE(Grid->HasDataGraphic(2, 2));
    EXPECT_FALSE(Grid->HasCheckBox(-1, 2));
    Grid->AddBitButton(3, 3, 20, 10, "b", nullptr, haLeft, vaTop);
    EXPECT_TRUE(Grid->HasButton(3, 3));
    EXPECT_FALSE(Grid->HasCellControl(3, 3));
}

namespace {
class TCountingGrid : public TExStringGrid {
public:
    using TExStringGrid::TExStringGrid;
    int Invalidations = 0;
    void Invalidate() override
    {
        ++Invalidations;
        TExStringGrid::Invalidate();
    }
};
} // namespace

TEST_F(CellsTest, CellNodeRepaintsOnlyOnChange)
{
    auto* g = NewGrid<TCountingGrid>();
    TCellNode* n = Grid->CellNode();
    EXPECT_EQ(n->NodeType(), cnXP);
    EXPECT_EQ(n->NodeIndent(), 12);
    EXPECT_EQ(n->TreeColor(), clGray);
    EXPECT_EQ(n->Color, clSilver);
    EXPECT_TRUE(n->ShowTree());
    g->Invalidations = 0;
    n->SetNodeIndent(12);
    EXPECT_EQ(g->Invalidations, 0);
    n->SetNodeIndent(16);
    EXPECT_EQ(g->Invalidations, 1);
    n->NodeColor = clRed; // plain store

    TCellNode copy(nullptr);
    copy.Assign(n);
    EXPECT_EQ(copy.NodeIndent(), 16);
    EXPECT_EQ(copy.NodeColor, clRed);
}
