// The floating footer: column calculations of the footer row, showing and
// hiding, the preview template, clicks and hints on the footer panel.
#include "gridpack/stringgrid/inplace/EditTestKit.h"

namespace {

class FooterTest : public EditingTest {
protected:
    // 3 columns (1 fixed), FixedRows 1, RowCount 12 with the footer: ten
    // data rows holding 1 .. 10 in column 1.
    void SetUp() override
    {
        EditingTest::SetUp();
        NewGrid(false);
        Grid->SetColCount(5);
        Grid->SetRowCount(12);
        for (int r = 1; r <= 10; ++r)
            Grid->SetCells(1, r, QString::number(r));
        Footer()->SetVisible(true);
    }
    TFloatingFooter* Footer() { return Grid->FloatingFooter(); }
    int F() { return Grid->RowCount() - 1; }
};

} // namespace

TEST_F(FooterTest, CountSumAndMaskedTypesWriteTheFooterCell)
{
    struct Case {
        int type;
        QString expected;
    };
    const Case cases[] = {{acCOUNT, "10"}, {acSUM, "55.00"}, {129, "55.00"}, {acAVG, "5.50"},
                          {acMIN, "1.00"}, {acMAX, "10.00"}, {acDISTINCT, "10.00"}};
    for (const Case& c : cases) {
        Grid->SetCells(1, F(), "old");
        Grid->GetCellProperties(1, F())->CalcType = TColumnCalcType(c.type);
        Grid->CalcFooter(-1);
        EXPECT_EQ(Grid->Cells(1, F()), c.expected) << "type " << c.type;
    }
}

TEST_F(FooterTest, CountTakesTheHiddenRowsOnlyWhenAsked)
{
    Grid->SetRowCount(15);
    Grid->HideRows(2, 4);
    ASSERT_EQ(Grid->NumHiddenRows(), 3);
    ASSERT_EQ(Grid->RowCount(), 12);
    Footer()->SetColumnCalc(1, acCOUNT);
    EXPECT_EQ(Grid->Cells(1, F()), "13");
    Footer()->CalculateHiddenRows = false;
    Grid->CalcFooter(1);
    EXPECT_EQ(Grid->Cells(1, F()), "10");
}

TEST_F(FooterTest, CellsTheCalculationMustNotTouch)
{
    Grid->SetCells(1, F(), "keep");
    Grid->GetCellProperties(1, F())->CalcType = acSPREAD;
    Grid->CalcFooter(-1);
    EXPECT_EQ(Grid->Cells(1, F()), "keep") << "acSPREAD leaves the cell";

    Grid->GetCellProperties(1, F())->CalcType = acSUM;
    Footer()->SetFooterStyle(fsColumnPreview);
    Grid->CalcFooter(-1);
    EXPECT_EQ(Grid->Cells(1, F()), "keep") << "a preview style calculates nothing";
    Footer()->SetFooterStyle(fsFixedLastRow);
    Footer()->SetVisible(false);
    Grid->CalcFooter(-1);
    EXPECT_EQ(Grid->Cells(1, F()), "keep") << "a hidden footer calculates nothing";
    Footer()->SetVisible(true);
    Footer()->EnableCalculation = false;
    Grid->CalcFooter(-1);
    EXPECT_EQ(Grid->Cells(1, F()), "keep");
}

TEST_F(FooterTest, CustomCalculationAsksTheGridFirstAndEmptiesWithoutHandler)
{
    Grid->SetCells(2, F(), "x");
    Footer()->SetColumnCalc(2, acCUSTOM);
    EXPECT_EQ(Grid->Cells(2, F()), "") << "no handler empties the cell";

    std::vector<std::pair<int, int>> asked;
    Footer()->OnCalcFooter = [&](TObject*, int c, int r, QString& v) {
        asked.emplace_back(c, r);
        v = "footer";
    };
    Grid->CalcFooter(2);
    EXPECT_EQ(Grid->Cells(2, F()), "footer");
    Grid->OnFooterCalc = [&](TObject*, int, int, QString& v) { v = "grid"; };
    Grid->CalcFooter(2);
    EXPECT_EQ(Grid->Cells(2, F()), "grid");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_pair(2, F()));
}

TEST_F(FooterTest, ShowingSetsFixedFootersHidesTheLastRowAndSizesThePanel)
{
    EXPECT_EQ(Grid->FixedFooters(), 1);
    EXPECT_TRUE(Grid->FHideLastRow);
    EXPECT_TRUE(Grid->FooterPanel()->Visible());
    EXPECT_EQ(Grid->FooterPanel()->Height(), 21);
    Footer()->SetFooterStyle(fsColumnPreview);
    EXPECT_FALSE(Grid->FHideLastRow);
    EXPECT_EQ(Grid->FixedFooters(), 0);
    Footer()->SetFooterStyle(fsFixedLastRow);
    Footer()->SetVisible(false);
    EXPECT_EQ(Grid->FixedFooters(), 0);
    EXPECT_FALSE(Grid->FHideLastRow);
    EXPECT_EQ(Grid->FooterPanel()->Height(), 0);
    EXPECT_FALSE(Grid->FooterPanel()->Visible());
    Grid->SetDefaultRowHeight(30);
    EXPECT_EQ(Footer()->Height, 30);
    Footer()->SetVisible(true);
    EXPECT_EQ(Grid->FooterPanel()->Height(), 29);
}

TEST_F(FooterTest, PreviewTemplateReplacesColumnTagsOfTheRow)
{
    Grid->SetCells(2, 4, "mid");
    EXPECT_EQ(FooterPreviewText(Grid, "A<#2>B", 4), "AmidB");
    EXPECT_EQ(FooterPreviewText(Grid, "A<#x>B<#99>C", 4), "ABC") << "tags that do not parse add nothing";
    EXPECT_EQ(FooterPreviewText(Grid, "<#1><#2>", 4), "4mid");
}

TEST_F(FooterTest, PreviewStylesPaintTheirFrameAndTheRowsText)
{
    Footer()->SetFooterStyle(fsCustomPreview);
    Footer()->SetCustomTemplate("A<#2>B");
    Grid->SetRow(4);
    TFooterPanel* p = Grid->FooterPanel();
    const QImage img = Form->RenderClient();
    const TPoint o = Form->ScreenToClient(p->ClientToScreen(TPoint{0, 0}));
    auto at = [&](int x, int y) {
        const QRgb px = img.pixel(o.X + x, o.Y + y);
        return RGB(qRed(px), qGreen(px), qBlue(px));
    };
    // The frame: white top-left edge, grey bottom-right edge.
    EXPECT_EQ(at(0, 5), TColor(0xFFFFFF));
    EXPECT_EQ(at(p->PaintedWidth() - 1, 5), TColor(0x808080));
    // The text "AmidB" is drawn inside the frame: some pixel differs from
    // the footer colour.
    bool ink = false;
    for (int x = 2; x < 60 && !ink; ++x)
        for (int y = 3; y < p->Height() - 2 && !ink; ++y)
            ink = at(x, y) != ColorToRGB(Footer()->Color);
    EXPECT_TRUE(ink);
}

TEST_F(FooterTest, AClickOnThePanelIsAClickOnTheFooterRowOfThatColumn)
{
    Grid->SetColCount(12);
    std::vector<std::pair<int, int>> clicks;
    Grid->OnClickCell = [&](TObject*, int r, int c) { clicks.emplace_back(r, c); };
    TFooterPanel* p = Grid->FooterPanel();
    auto xOf = [&](int col) {
        int x = 0;
        for (int c = 0; c < Grid->FixedCols(); ++c)
            x += Grid->ColWidths(c);
        for (int c = Grid->LeftCol(); c < col; ++c)
            x += Grid->ColWidths(c);
        return x + 5;
    };
    Input::Click(p, xOf(3), 5);
    Grid->SetLeftCol(3);
    ASSERT_EQ(Grid->LeftCol(), 3);
    Input::Click(p, xOf(5), 5);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(Grid->RowCount() - 1, 3));
    EXPECT_EQ(clicks[1], std::make_pair(Grid->RowCount() - 1, 5));
    EXPECT_EQ(p->ColumnAt(p->PaintedWidth() + 3), -1) << "beyond the last column there is none";
}

TEST_F(FooterTest, HintsComeFromOnGridHintForTheFooterRowAndColumn)
{
    int hintRow = -1, hintCol = -1;
    Grid->OnGridHint = [&](TObject*, int r, int c, QString& h) {
        hintRow = r;
        hintCol = c;
        h = "footer hint";
    };
    TFooterPanel* p = Grid->FooterPanel();
    THintInfo info;
    info.CursorPos = TPoint{Grid->ColWidths(0) + 5, 5};
    const auto lp = reinterpret_cast<LPARAM>(&info);
    EXPECT_EQ(p->Perform(CM_HINTSHOW, 0, lp), 1) << "no hint while ShowHint is off";
    EXPECT_EQ(p->LastHintCol(), -1);
    Footer()->SetShowHint(true);
    EXPECT_EQ(p->Perform(CM_HINTSHOW, 0, lp), 0);
    EXPECT_EQ(info.HintStr, "footer hint");
    EXPECT_EQ(hintRow, Grid->RowCount() - 1);
    EXPECT_EQ(hintCol, 1);
    EXPECT_EQ(p->LastHintCol(), 1);
    p->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(p->LastHintCol(), -1);
}
