#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Timers.h"

#include <gtest/gtest.h>

#include "ExGridFixture.h"

TEST_F(ExGridTest, NewGridDefaults)
{
    NewGrid();
    EXPECT_EQ(Grid->RowCount(), 10);
    EXPECT_EQ(Grid->ColCount(), 5);
    EXPECT_EQ(Grid->FixedCols(), 1);
    EXPECT_EQ(Grid->FixedRows(), 1);
    EXPECT_EQ(Grid->DefaultRowHeight(), 22);
    EXPECT_EQ(Grid->Width(), 400);
    EXPECT_EQ(Grid->Height(), 250);
    EXPECT_EQ(Grid->Look, glXP);
    EXPECT_EQ(Grid->FloatFormat, "%.2f");
    EXPECT_EQ(Grid->CheckTrue, "Y");
    EXPECT_EQ(Grid->CheckFalse, "N");
    EXPECT_EQ(Grid->PasswordChar, QChar('*'));
    EXPECT_EQ(Grid->SelectionColor(), TColor(0xEACAB6));
    EXPECT_EQ(Grid->URLColor, TColor(0xFF0000));
    EXPECT_EQ(Grid->BorderColor(), TColor(0xB99D7F));
    EXPECT_EQ(GridLinkCursor, -21);
    EXPECT_EQ(Grid->NumHiddenColumns(), 0);
    EXPECT_EQ(Grid->Version(), "6.2.1.3");
    EXPECT_EQ(Grid->GetVersionString(), "6.2.1.3 Sep, 2012");
    EXPECT_EQ(Grid->ColumnSize()->StretchColumn, -1);
    EXPECT_TRUE(Grid->ControlStyle & csAcceptsControls);
}

TEST_F(ExGridTest, RegisteredNamesAndModuleVersion)
{
    EXPECT_EQ(GridEditDoneMsg(), GridEditDoneMsg());
    EXPECT_NE(GridEditDoneMsg(), GridDTPShiftFocusMsg());
    EXPECT_EQ(RegisterWindowMessage("GridEditDone"), GridEditDoneMsg());
    EXPECT_NE(GridCellsClipboardFormat(), 0u);
    EXPECT_EQ(GetModuleFileVersion("COMCTL32.DLL"), 6 * 65536 + 10);
    EXPECT_EQ(GetModuleFileVersion("other.dll"), -1);
    EXPECT_TRUE(ComCtl32Above469());
}

TEST_F(ExGridTest, FixedRowAlwaysKeepsTheRequestedFixedRows)
{
    NewGrid();
    Grid->FixedRowAlways = true;
    Grid->SetFixedRows(1);
    Grid->SetRowCount(1);
    EXPECT_EQ(Grid->TBaseGrid::FixedRows(), 0);
    EXPECT_EQ(Grid->FixedRows(), 1);
    Grid->SetRowCount(5);
    EXPECT_EQ(Grid->TBaseGrid::FixedRows(), 1);

    Grid->SetRowCount(3);
    Grid->SetFixedRows(5);
    EXPECT_EQ(Grid->FixedRows(), 2);
    EXPECT_EQ(Grid->FFixedRowsMin, 5);
    EXPECT_EQ(Grid->FMaxRowCount, 10);
}

TEST_F(ExGridTest, UpdateLockNestsAndRepaintsOnceAtTheEnd)
{
    NewGrid();
    Form->RenderClient();
    Grid->BeginUpdate();
    Grid->BeginUpdate();
    Grid->EndUpdate();
    Grid->Drawn = 0;
    Grid->Invalidate();
    Form->RenderClient();
    EXPECT_EQ(Grid->Drawn, 0);
    EXPECT_TRUE(Grid->LockUpdate());
    Grid->Update();
    Grid->Drawn = 0;
    Grid->EndUpdate(); // the outermost end asks for one repaint
    EXPECT_FALSE(Grid->LockUpdate());
    Grid->Update();
    EXPECT_GT(Grid->Drawn, 0);
}

TEST_F(ExGridTest, HiddenColumnMapping)
{
    NewGrid();
    for (int c = 0; c < 5; ++c)
        Grid->SetCellEx(c, 1, QString("c%1").arg(c));
    Grid->SetColWidths(2, 300);
    Grid->SetColWidths(3, 40);
    Grid->HideColumn(2);
    EXPECT_EQ(Grid->ColCount(), 4);
    EXPECT_EQ(Grid->NumHiddenColumns(), 1);
    EXPECT_EQ(Grid->TotalColCount(), 5);
    EXPECT_TRUE(Grid->IsHiddenColumn(2));
    EXPECT_EQ(Grid->RemapColToReal(2), 3);
    EXPECT_EQ(Grid->RemapColToDispl(3), 2);
    EXPECT_EQ(Grid->ColWidths(2), 40);
    EXPECT_EQ(Grid->AllColWidths(2), 300);
    EXPECT_EQ(Grid->GetCellEx(2, 1), "c2");
    EXPECT_FALSE(Grid->IsHiddenColumn(600));
    EXPECT_EQ(Grid->RemapColToReal(600), 600);
    EXPECT_EQ(Grid->RemapColToDispl(600), 600);

    Grid->UnHideColumn(2);
    EXPECT_EQ(Grid->ColCount(), 5);
    EXPECT_EQ(Grid->NumHiddenColumns(), 0);
    EXPECT_EQ(Grid->ColWidths(2), 300);
    EXPECT_EQ(Grid->ColWidths(3), 40);
}

TEST_F(ExGridTest, TheLastShownColumnStays)
{
    NewGrid();
    Grid->SetFixedCols(0);
    Grid->SetColCount(2);
    Grid->HideColumns(0, 1);
    EXPECT_EQ(Grid->ColCount(), 1);
    EXPECT_EQ(Grid->NumHiddenColumns(), 1);
    EXPECT_FALSE(Grid->IsHiddenColumn(1));
    Grid->HideColumn(1);
    EXPECT_EQ(Grid->ColCount(), 1);
    Grid->UnHideColumn(1); // not hidden: nothing changes
    EXPECT_EQ(Grid->ColCount(), 1);
}

TEST_F(ExGridTest, SelectRowsClipsToTheLastRow)
{
    NewGrid();
    Grid->SelectRows(3, 1);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 3, 4, 3}));
    Grid->SelectRows(8, 5);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 8, 4, 9}));
    EXPECT_EQ(Grid->RowSelectCount(), 2);
}

TEST_F(ExGridTest, RowWriteClicksOnceAndReportsRowUpdates)
{
    NewGrid();
    std::vector<std::pair<int, int>> updates;
    Grid->OnRowUpdate = [&](TObject*, int o, int n) { updates.emplace_back(o, n); };
    Clicks = 0;
    Grid->SetRow(3);
    EXPECT_EQ(Clicks, 1);
    Grid->SetRow(3);
    EXPECT_EQ(Clicks, 1);
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0], std::make_pair(-1, 3));
    EXPECT_EQ(Grid->FOldRowSel, 3);

    Grid->SetTopRow(0); // a fixed row: ignored
    EXPECT_EQ(Grid->TopRow(), 1);
}

TEST_F(ExGridTest, IntegerReads)
{
    NewGrid();
    struct Case {
        const char* text;
        int value;
    } cases[] = {{" 42 ", 42}, {"", 0}, {"-", 0}, {"$1F", 31}, {"<b>7</b>", 7}, {"-12", -12}};
    for (const Case& c : cases) {
        Grid->SetCellEx(1, 1, c.text);
        EXPECT_EQ(Grid->GetInts(1, 1), c.value) << c.text;
    }
    for (const char* bad : {"1.5", "12ab", "x"}) {
        Grid->SetCellEx(1, 1, bad);
        try {
            Grid->GetInts(1, 1);
            ADD_FAILURE() << bad;
        } catch (const DOriVireZuvez& e) {
            EXPECT_EQ(e.Message(), "Cell does not contain integer value");
        }
    }
    Grid->SetInts(2, 2, -7);
    EXPECT_EQ(Grid->GetCellEx(2, 2), "-7");
}

TEST_F(ExGridTest, FloatsUseTheFloatFormatAndReadBack)
{
    NewGrid();
    Grid->SetFloats(1, 1, 3.14159);
    EXPECT_EQ(Grid->GetCellEx(1, 1), "3.14");
    EXPECT_DOUBLE_EQ(Grid->GetFloats(1, 1), 3.14);
    Grid->SetCellEx(1, 2, "");
    EXPECT_DOUBLE_EQ(Grid->GetFloats(1, 2), 0.0);
    Grid->SetCellEx(1, 2, "(12)");
    EXPECT_DOUBLE_EQ(Grid->GetFloats(1, 2), -12.0);
    Grid->SetCellEx(1, 2, "1.2.3");
    EXPECT_THROW(Grid->GetFloats(1, 2), DOriVireZuvez);
}

// Cell texts read as numbers the same whichever way they are parsed: the
// exact double, markup and separators dropped, a sign or exponent kept.
TEST_F(ExGridTest, FloatsReadEveryFormOfNumberText)
{
    NewGrid();
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"0.1", 0.1},           {"12.50", 12.5},        {"-3", -3.0},
        {"+5", 5.0},            {"1.5e3", 1500.0},      {"2E-2", 0.02},
        {"1,234.5", 1234.5},    {"<b>7.25</b>", 7.25},  {"$ 42", 42.0},
        {"9007199254740993", 9007199254740993.0},       {"0.30000000000000004", 0.30000000000000004},
        {"-", 0.0},             {"12 kg", 12.0},
        // words the number reader alone would take are not numbers here
        {"inf", 0.0},           {"nan", 0.0},           {"-inf", 0.0},
        {".5", 0.5},            {"-.5", -0.5},          {"-1e-3", -0.001},
    };
    for (const Case& k : cases) {
        Grid->SetCellEx(1, 2, QString::fromLatin1(k.text));
        EXPECT_EQ(Grid->GetFloats(1, 2), k.value) << k.text;
    }
    for (const char* bad : {"1e", "1.2.3", "1e+"}) {
        Grid->SetCellEx(1, 2, QString::fromLatin1(bad));
        EXPECT_THROW(Grid->GetFloats(1, 2), DOriVireZuvez) << bad;
    }
}

TEST_F(ExGridTest, PropertyGettersDoNotMakePropertiesButWordWrapsDoes)
{
    NewGrid();
    EXPECT_EQ(Grid->GetColors(2, 2), clNone);
    EXPECT_EQ(Grid->GetFontColors(2, 2), clNone);
    EXPECT_EQ(Grid->GetFontSizes(2, 2), 0);
    EXPECT_EQ(Grid->GetAlignments(2, 2), taLeftJustify);
    EXPECT_FALSE(Grid->GetReadOnly(2, 2));
    EXPECT_FALSE(Grid->HasCellProperties(2, 2));
    EXPECT_TRUE(Grid->GetWordWraps(2, 2));
    EXPECT_TRUE(Grid->HasCellProperties(2, 2));

    Grid->SetColors(3, 3, clRed);
    Grid->SetReadOnly(3, 3, true);
    Grid->SetFontStyles(3, 3, 1);
    EXPECT_EQ(Grid->GetColors(3, 3), clRed);
    EXPECT_TRUE(Grid->GetReadOnly(3, 3));
    EXPECT_EQ(Grid->GetFontStyles(3, 3), TFontStyles(1));
    EXPECT_EQ(Grid->GetCellEx(3, 3), ""); // properties keep an empty cell empty
}

TEST_F(ExGridTest, IntegralHeightCutsToWholeRows)
{
    NewGrid();
    Grid->SetBorderStyle(bsSingle);
    Grid->SetIntegralHeight(true);
    Grid->SetBounds(0, 0, 400, 100);
    EXPECT_EQ(Grid->Height(), 92); // 2 * 2 + ((100 - 2) / 22) * 22
    Grid->SetBorderStyle(bsNone);
    Grid->SetBounds(0, 0, 400, 100);
    EXPECT_EQ(Grid->Height(), 88);
}

TEST_F(ExGridTest, AnEditChangeSwallowsOneRepaintRequest)
{
    NewGrid();
    Grid->Update();
    Grid->FEditChange = true;
    Grid->Drawn = 0;
    Grid->Invalidate();
    Grid->Update();
    EXPECT_EQ(Grid->Drawn, 0);
    EXPECT_FALSE(Grid->FEditChange);
    Grid->Invalidate();
    Grid->Update();
    EXPECT_GT(Grid->Drawn, 0);
}

TEST_F(ExGridTest, TheGridTimerLivesWithTheWindow)
{
    NewGrid();
    EXPECT_EQ(Grid->GridTimerID(), TExStringGrid::GridTimerIdent);
    EXPECT_TRUE(IsTimerSet(Grid, TExStringGrid::GridTimerIdent));
    Grid->RecreateWnd();
    EXPECT_EQ(Grid->GridTimerID(), TExStringGrid::GridTimerIdent);
    EXPECT_TRUE(IsTimerSet(Grid, TExStringGrid::GridTimerIdent));
    auto* lone = NewObject<TExStringGrid>(nullptr); // no parent: no timer
    lone->HandleNeeded();
    EXPECT_EQ(lone->GridTimerID(), 0u);
    lone->Free();
}

TEST_F(ExGridTest, StretchFillsTheClientWidth)
{
    NewGrid();
    Grid->SetBorderStyle(bsNone);
    for (int c = 0; c < 5; ++c)
        Grid->SetColWidths(c, 50);
    Grid->StretchColumnToFit(-1); // stretching off: nothing changes
    EXPECT_EQ(Grid->ColWidths(4), 50);
    Grid->ColumnSize()->Stretch = true;
    Grid->StretchColumnToFit(-1);
    EXPECT_EQ(Grid->ColWidths(4), Grid->ClientWidth() - 200 - 1);
    Grid->StretchColumnToFit(1);
    EXPECT_EQ(Grid->ColWidths(1), Grid->ClientWidth() - (150 + Grid->ColWidths(4)) - 1);

    Grid->ColumnSize()->Stretch = false;
    EXPECT_THROW(Grid->StretchColumnToFit(9), EInvalidGridOperation);
}

TEST_F(ExGridTest, FixedColumnWidthAndFixedRowHeight)
{
    NewGrid();
    Grid->SetColWidths(0, 30);
    Grid->SetFixedColWidth(Grid->DefaultColWidth()); // ignored
    EXPECT_EQ(Grid->FixedColWidth(), 30);
    Grid->SetFixedColWidth(40);
    EXPECT_EQ(Grid->ColWidths(0), 40);
    EXPECT_EQ(Grid->ColWidths(1), Grid->DefaultColWidth());

    Grid->SetRowHeights(3, 50);
    Grid->SetFixedRowHeight(30);
    EXPECT_EQ(Grid->RowHeights(0), 30);
    EXPECT_EQ(Grid->RowHeights(3), 50);
    Grid->SetFixedRowHeight(22); // the default height: every row gets it
    EXPECT_EQ(Grid->FixedRowHeight(), 22);
    EXPECT_EQ(Grid->RowHeights(0), 22);
    EXPECT_EQ(Grid->RowHeights(3), 22);
}
