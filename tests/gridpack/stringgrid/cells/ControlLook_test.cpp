#include "CellsKit.h"

TEST_F(CellsTest, FreshControlLook)
{
    NewGrid();
    const TControlLook* l = Grid->ControlLook();
    EXPECT_EQ(l->CheckSize(), 15);
    EXPECT_EQ(l->RadioSize(), 10);
    EXPECT_EQ(l->DropDownCount, 8);
    EXPECT_EQ(l->ControlStyle(), csTheme);
    EXPECT_EQ(l->CommentColor(), TColor(0xFF));
    EXPECT_EQ(l->FixedGradientHoverFrom(), TColor(0x808080));
    EXPECT_EQ(l->FixedGradientHoverTo(), TColor(0xFFFFFF));
    EXPECT_EQ(l->FixedGradientDownFrom(), TColor(0x808080));
    EXPECT_EQ(l->FixedGradientDownTo(), TColor(0xC0C0C0));
    EXPECT_EQ(l->ProgressMarginX(), 2);
    // The hover pair is stored without reaching the grid.
    EXPECT_EQ(Grid->QORGradientHoverFrom, clNone);
    EXPECT_EQ(Grid->QORGradientHoverTo, clNone);
    EXPECT_EQ(Grid->QORGradientHoverBorder, TColor(0xC0C0C0));
    EXPECT_EQ(Grid->QORGradientDownBorder, TColor(0x808080));
}

TEST_F(CellsTest, FixedGradientSettersHandTheColourToTheGrid)
{
    NewGrid();
    TControlLook* l = Grid->ControlLook();
    Grid->QORGradientHoverFrom = clRed;
    l->SetFixedGradientHoverFrom(clNone);
    EXPECT_EQ(l->FixedGradientHoverFrom(), clNone);
    EXPECT_EQ(Grid->QORGradientHoverFrom, clRed);

    Grid->SetQORGradientMirrorFrom(clRed);
    l->SetFixedGradientMirrorFrom(clNone);
    EXPECT_EQ(Grid->QORGradientMirrorFrom(), clNone);

    l->SetFixedGradientFrom(clBtnFace);
    EXPECT_EQ(l->FixedGradientFrom(), clBtnFace);
    EXPECT_EQ(Grid->QORGradientFrom(), TColor(0xF0F0F0));
}

TEST_F(CellsTest, AssigningAControlLookCopiesEveryFixedGradient)
{
    NewGrid();
    TControlLook src(nullptr);
    const TColor colours[] = {0x010101, 0x020202, 0x030303, 0x040404, 0x050505, 0x060606, 0x070707,
                              0x080808, 0x090909, 0x0A0A0A, 0x0B0B0B, 0x0C0C0C, 0x0D0D0D, 0x0E0E0E};
    src.SetFixedGradientFrom(colours[0]);
    src.SetFixedGradientTo(colours[1]);
    src.SetFixedGradientMirrorFrom(colours[2]);
    src.SetFixedGradientMirrorTo(colours[3]);
    src.SetFixedGradientHoverFrom(colours[4]);
    src.SetFixedGradientHoverTo(colours[5]);
    src.SetFixedGradientHoverMirrorFrom(colours[6]);
    src.SetFixedGradientHoverMirrorTo(colours[7]);
    src.SetFixedGradientHoverBorder(colours[8]);
    src.SetFixedGradientDownFrom(colours[9]);
    src.SetFixedGradientDownTo(colours[10]);
    src.SetFixedGradientDownMirrorFrom(colours[11]);
    src.SetFixedGradientDownMirrorTo(colours[12]);
    src.SetFixedGradientDownBorder(colours[13]);
    src.SetCheckSize(20);
    src.CheckAlwaysActive = true;
    TControlLook* l = Grid->ControlLook();
    const TColor gridFrom = Grid->QORGradientFrom();
    Grid->SetControlLook(&src);
    const TColor got[] = {l->FixedGradientFrom(),         l->FixedGradientTo(),
                          l->FixedGradientMirrorFrom(),   l->FixedGradientMirrorTo(),
                          l->FixedGradientHoverFrom(),    l->FixedGradientHoverTo(),
                          l->FixedGradientHoverMirrorFrom(), l->FixedGradientHoverMirrorTo(),
                          l->FixedGradientHoverBorder(),  l->FixedGradientDownFrom(),
                          l->FixedGradientDownTo(),       l->FixedGradientDownMirrorFrom(),
                          l->FixedGradientDownMirrorTo(), l->FixedGradientDownBorder()};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(got[i], colours[i]) << i;
    EXPECT_EQ(l->CheckSize(), 20);
    EXPECT_TRUE(l->CheckAlwaysActive);
    // Copying goes into the storage only.
    EXPECT_EQ(Grid->QORGradientFrom(), gridFrom);
}

TEST_F(CellsTest, ControlLookOwnsTheDropDownHeaderAndFooter)
{
    NewGrid();
    TControlLook* l = Grid->ControlLook();
    ASSERT_NE(l->DropDownHeader(), nullptr);
    ASSERT_NE(l->DropDownFooter(), nullptr);
    EXPECT_EQ(l->DropDownHeader()->GetOwner(), Grid);
    TControlLook src(nullptr);
    src.DropDownHeader()->SetCaption("Pick");
    src.DropDownFooter()->SetHeight(30);
    Grid->SetControlLook(&src);
    EXPECT_EQ(l->DropDownHeader()->Caption(), "Pick");
    EXPECT_EQ(l->DropDownFooter()->Height(), 30);
}
