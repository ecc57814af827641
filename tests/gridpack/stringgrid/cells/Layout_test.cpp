#include "CellsKit.h"

TEST_F(CellsTest, AutoNumAlignRightJustifiesNumbersOnly)
{
    NewGrid();
    Grid->AutoNumAlign = true;
    const std::pair<const char*, TAlignment> cases[] = {
        {"12", taRightJustify}, {"-3.5", taRightJustify}, {"1E5", taRightJustify}, {"12a", taLeftJustify}};
    for (auto [text, want] : cases) {
        Grid->SetCellEx(1, 1, text);
        TAlignment ha = taCenter;
        TVAlignment va = vtaBottom;
        Grid->GetCellAlignment(1, 1, ha, va);
        EXPECT_EQ(ha, want) << text;
        EXPECT_EQ(va, vtaTop);
    }
    // Cell properties win over the number test.
    Grid->SetCellEx(2, 1, "12");
    Grid->SetAlignments(2, 1, taCenter);
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    Grid->GetCellAlignment(2, 1, ha, va);
    EXPECT_EQ(ha, taCenter);
    Grid->MouseActions()->SetHotmailRowSelect(true);
    Grid->GetCellAlignment(0, 1, ha, va);
    EXPECT_EQ(ha, taCenter);
}

TEST_F(CellsTest, FormattedCellUsesTheFloatFormatEventForNumbers)
{
    NewGrid();
    Grid->SetCellEx(1, 1, "3.14159");
    Grid->SetCellEx(1, 2, "abc");
    EXPECT_EQ(Grid->GetFormattedCell(1, 1), "3.14159");
    Grid->OnGetFloatFormat = [](TObject*, int, int, bool& isFloat, QString& fmt) {
        EXPECT_TRUE(isFloat);
        EXPECT_EQ(fmt, "%.2f");
    };
    EXPECT_EQ(Grid->GetFormattedCell(1, 1), "3.14");
    EXPECT_EQ(Grid->GetFormattedCell(1, 2), "abc");
    Grid->SetCellEx(1, 3, "42");
    Grid->OnGetFloatFormat = [](TObject*, int, int, bool&, QString& fmt) { fmt = "%5d"; };
    EXPECT_EQ(Grid->GetFormattedCell(1, 3), "   42");
    Grid->OnGetFloatFormat = [](TObject*, int, int, bool& isFloat, QString&) { isFloat = false; };
    EXPECT_EQ(Grid->GetFormattedCell(1, 1), "3.14159");
}

TEST_F(CellsTest, PreciseCheckBoxHitTest)
{
    NewGrid();
    Grid->SetRowHeights(3, 21);
    Grid->SetVAlignment(vtaCenter);
    Grid->AddCheckBox(1, 3, false, true);
    const TRect R = Grid->CellRect(1, 3);
    // Without precise checking the whole cell counts.
    EXPECT_TRUE(Grid->IsInCheckBox(1, 3, R.Right - 1, R.Bottom - 1));
    EXPECT_FALSE(Grid->IsInCheckBox(2, 3, R.Left + 5, R.Top + 5));
    Grid->MouseActions()->PreciseCheckBoxCheck = true;
    const int x = R.Left + 2;
    EXPECT_FALSE(Grid->IsInCheckBox(1, 3, x, R.Top + 2));
    EXPECT_TRUE(Grid->IsInCheckBox(1, 3, x, R.Top + 3));
    EXPECT_TRUE(Grid->IsInCheckBox(1, 3, x, R.Top + 17));
    EXPECT_FALSE(Grid->IsInCheckBox(1, 3, x, R.Top + 18));
    EXPECT_FALSE(Grid->IsInCheckBox(1, 3, x + 15, R.Top + 5));
    // Centred column: the box sits in the middle of the cell.
    Grid->SetAlignments(1, 3, taCenter);
    const int left = R.Left + (R.Right - R.Left - 15) / 2;
    EXPECT_TRUE(Grid->IsInCheckBox(1, 3, left, R.Top + 5));
    EXPECT_FALSE(Grid->IsInCheckBox(1, 3, left - 1, R.Top + 5));
}

TEST_F(CellsTest, GraphicSizesByKind)
{
    NewGrid();
    Grid->AddCheckBox(1, 1, true, true);
    const auto info = Grid->GetCellGraphicInfo(1, 1);
    EXPECT_EQ(info.Width, 15);
    EXPECT_FALSE(info.TextToo);
    EXPECT_EQ(Grid->GetCellGraphicSize(1, 1).X, 15);
    Grid->AddRadioButton(2, 1, false);
    EXPECT_EQ(Grid->GetCellGraphicInfo(2, 1).Width, 14);
    EXPECT_EQ(Grid->GetCellGraphicSize(2, 1).Y, 10);
    Grid->AddRating(3, 1, 5, clYellow, clGray);
    EXPECT_EQ(Grid->GetCellGraphicInfo(3, 1).Width, 90);
    // Placed haFull, but it claims its stars (auto-sizing makes room for them).
    EXPECT_EQ(Grid->GetCellGraphicSize(3, 1), (TPoint{90, 16}));
    // Other haFull graphics take the cell's width.
    Grid->AddButton(4, 1, 20, 10, "b", haFull, vaTop);
    Grid->SetCellEx(4, 1, "text");
    EXPECT_EQ(Grid->GetCellGraphicSize(4, 1).X, Grid->CellSize(4, 1).X);
    EXPECT_EQ(Grid->GetCellGraphicSize(4, 4).X, 0);
}

TEST_F(CellsTest, RotatedTextMeasuresTurned)
{
    NewGrid();
    Grid->SetCellEx(1, 1, "turned text");
    const TSize flat = Grid->GetCellTextSize(1, 1, false, false);
    Grid->AddRotated(1, 1, 90, "turned text");
    const TSize turned = Grid->GetCellTextSize(1, 1, false, false);
    EXPECT_EQ(turned.cx, flat.cy + 12);
    EXPECT_EQ(turned.cy, flat.cx + 12);
}
