// The grid's mouse buttons on the column grid the table editors use: data
// check boxes, clicks on text cells, header clicks, double and right clicks.
#include "MouseKit.h"

#include "platform/controls/Messages.h"

namespace {
class MouseEvents : public MouseTest {
protected:
    void LogEvents()
    {
        Grid->OnClickCell = [this](TObject*, int ARow, int ACol) { Log << QString("cell %1,%2").arg(ARow).arg(ACol); };
        Grid->OnClick = [this](TObject*) { Log << "click"; };
        Grid->OnCheckBoxClick = [this](TObject*, int ACol, int ARow, bool State) {
            Log << QString("check %1,%2,%3").arg(ACol).arg(ARow).arg(int(State));
        };
        Grid->OnDblClickCell = [this](TObject*, int ARow, int ACol) { Log << QString("dbl %1,%2").arg(ARow).arg(ACol); };
        Grid->OnRightClickCell = [this](TObject*, int ARow, int ACol) {
            Log << QString("right %1,%2").arg(ARow).arg(ACol);
        };
    }
    QStringList Log;
};
} // namespace

TEST_F(MouseEvents, APressOnADataCheckBoxTogglesItsText)
{
    struct Case {
        QString Before, After;
        bool State;
    } cases[] = {{"N", "Y", true}, {"", "Y", true}, {"x", "Y", true}, {"Y", "N", false}};
    LogEvents();
    int row = 2;
    for (const Case& c : cases) {
        Grid->SetCells(3, row, c.Before);
        Log.clear();
        ClickCell(3, row);
        EXPECT_EQ(Grid->Cells(3, row), c.After) << c.Before.toStdString();
        // OnClick, never OnClickCell, follows the toggle; the release adds
        // nothing for a data cell.
        EXPECT_EQ(Log, (QStringList{QString("check 3,%1,%2").arg(row).arg(int(c.State)), "click"}))
            << c.Before.toStdString();
        EXPECT_EQ(Grid->Col(), 3);
        EXPECT_EQ(Grid->Row(), row);
        EXPECT_FALSE(Grid->EditMode);
        EXPECT_FALSE(EditorUp());
        ++row;
    }
}

TEST_F(MouseEvents, AReadOnlyCheckBoxColumnTogglesOnlyWhenAlwaysActive)
{
    CGrid->Columns()->Items(3)->ReadOnly = true;
    for (bool always : {false, true}) {
        Grid->ControlLook()->CheckAlwaysActive = always;
        Grid->SetCells(3, 4, "N");
        ClickCell(3, 4);
        EXPECT_EQ(Grid->Cells(3, 4), always ? "Y" : "N") << "always active " << always;
    }
}

TEST_F(MouseEvents, APressOnATextCellMakesItCurrentAndALaterPressEdits)
{
    LogEvents();
    Grid->SetCol(1);
    Grid->SetRow(1);
    Log.clear();
    ClickCell(1, 5);
    EXPECT_EQ(Grid->Row(), 5);
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Log.count("cell 5,1"), 1);
    EXPECT_FALSE(EditorUp());
    // The second press on the now current cell opens its editor.
    ClickCell(1, 5);
    EXPECT_TRUE(EditorUp());
    EXPECT_EQ(Ed()->Text(), "t5");
}

TEST_F(MouseEvents, DirectEditOpensTheEditorAtTheFirstPressAwayFromTheBorder)
{
    Grid->MouseActions()->DirectEdit = true;
    ClickCell(1, 6);
    EXPECT_TRUE(EditorUp());
    Key(VK_ESCAPE);
    // A press 2 pixels inside the left border selects without editing.
    const TRect rc = Grid->CellRect(1, 7);
    Input::Click(Grid, rc.Left + 2, (rc.Top + rc.Bottom) / 2);
    DrainPostedMessages();
    EXPECT_EQ(Grid->Row(), 7);
    EXPECT_FALSE(EditorUp());
}

TEST_F(MouseEvents, AHeaderPressFiresOnClickOnceFromTheRelease)
{
    LogEvents();
    const TPoint p = Middle(2, 0);
    Input::MouseDown(Grid, mbLeft, p.X, p.Y);
    DrainPostedMessages();
    EXPECT_FALSE(Log.contains("click"));
    Input::MouseUp(Grid, mbLeft, p.X, p.Y);
    DrainPostedMessages();
    EXPECT_EQ(Log.count("click"), 1);
    EXPECT_EQ(Log.count("cell 0,2"), 1);
}

TEST_F(MouseEvents, AVetoedPressDoesNothingButTheHeaderReleaseStillClicks)
{
    LogEvents();
    Grid->OnCanClickCell = [](TObject*, int, int, bool& Allow) { Allow = false; };
    Grid->SetRow(1);
    ClickCell(1, 4);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_TRUE(Log.isEmpty());
    ClickCell(1, 0);
    EXPECT_EQ(Log, QStringList{"click"});
}

TEST_F(MouseEvents, ADoubleClickReportsTheCellAlsoFromAnOpenEditor)
{
    LogEvents();
    DoubleClickCell(1, 3);
    EXPECT_TRUE(Log.contains("dbl 3,1"));
    EditCell(1, 6);
    Log.clear();
    Input::DoubleClick(Ed(), 3, 3);
    DrainPostedMessages();
    EXPECT_TRUE(Log.contains("dbl 6,1"));
    Key(VK_ESCAPE);
    // The combo editor hands its double click on as well.
    OpenCombo(4, 2);
    Log.clear();
    Input::DoubleClick(Combo(), 3, 3);
    DrainPostedMessages();
    EXPECT_TRUE(Log.contains("dbl 2,4"));
}

TEST_F(MouseEvents, ARightClickLeavesTheSelectionUnlessAsked)
{
    LogEvents();
    Grid->SetCol(1);
    Grid->SetRow(2);
    const TGridRect before = Grid->Selection();
    Log.clear();
    const TPoint p = Middle(2, 6);
    Input::Click(Grid, p.X, p.Y, mbRight);
    DrainPostedMessages();
    EXPECT_EQ(Grid->Selection(), before);
    EXPECT_EQ(Log, QStringList{"right 6,2"});
    // With SelectOnRightClick and no handler a right click is a left click.
    Grid->OnRightClickCell = nullptr;
    Grid->MouseActions()->SelectOnRightClick = true;
    Input::Click(Grid, p.X, p.Y, mbRight);
    DrainPostedMessages();
    EXPECT_EQ(Grid->Row(), 6);
    EXPECT_EQ(Grid->Col(), 2);
}

TEST_F(MouseEvents, APressOutsideTheCellsClosesTheEditor)
{
    Grid->SetRowCount(4);
    EditCell(1, 2);
    Input::Click(Grid, 50, 280);
    DrainPostedMessages();
    EXPECT_FALSE(EditorUp());
    EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(MouseEvents, AReleaseOnAHeaderBorderWhileSizingFiresNoClick)
{
    Grid->SetOptions(Grid->Options() | goColSizing);
    LogEvents();
    Log.clear();
    const TRect h = Grid->CellRect(2, 0);
    const int x = h.Right - 1, y = (h.Top + h.Bottom) / 2;
    Input::MouseMove(Grid, x, y);
    ASSERT_EQ(ShownCursor(), crHSplit);
    Input::MouseDown(Grid, mbLeft, x, y);
    Input::MouseUp(Grid, mbLeft, x, y);
    DrainPostedMessages();
    EXPECT_FALSE(Log.contains("click"));
    // Nor is the press in the header's sizing zone a cell click.
    EXPECT_FALSE(Log.contains("cell 0,2"));
}

TEST_F(MouseEvents, ACellButtonClicksWhenReleasedOnIt)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->AddButton(1, 4, 40, 16, "Go", haRight, vaCenter);
    QStringList clicks;
    Grid->OnButtonClick = [&](TObject*, int ACol, int ARow) { clicks << QString("%1,%2").arg(ACol).arg(ARow); };
    const TRect b = Grid->GetCellButtonRect(1, 4);
    ASSERT_FALSE(b.IsEmpty());
    const TPoint in((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
    Input::MouseDown(Grid, mbLeft, in.X, in.Y);
    DrainPostedMessages();
    EXPECT_EQ(Grid->Row(), 4);
    EXPECT_TRUE(Grid->GetCellGraphic(1, 4)->CellBoolean);
    Input::MouseUp(Grid, mbLeft, in.X, in.Y);
    DrainPostedMessages();
    EXPECT_FALSE(Grid->GetCellGraphic(1, 4)->CellBoolean);
    EXPECT_EQ(clicks, QStringList{"1,4"});
    // Released away from the button: it comes up without a click.
    Input::MouseDown(Grid, mbLeft, in.X, in.Y);
    const TPoint away = Middle(3, 7);
    Input::MouseUp(Grid, mbLeft, away.X, away.Y);
    DrainPostedMessages();
    EXPECT_FALSE(Grid->GetCellGraphic(1, 4)->CellBoolean);
    EXPECT_EQ(clicks.size(), 1);
    EXPECT_FALSE(EditorUp());
}

TEST_F(MouseEvents, APressOnARadioGroupChoosesTheItemUnderIt)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->SetColWidths(1, 200);
    TStrings* items = Grid->CreateRadio(1, 5, 1, 0);
    for (const char* s : {"one", "two", "three"})
        items->Add(QString::fromLatin1(s));
    QStringList radios;
    Grid->OnRadioClick = [&](TObject*, int ACol, int ARow, int AIdx) {
        radios << QString("%1,%2,%3").arg(ACol).arg(ARow).arg(AIdx);
    };
    // Side by side: item i spans the widths of the items before it and its own.
    TCanvas* c = Grid->Canvas();
    c->Font().Assign(*Grid->Font());
    const int glyph = 16;
    const int second = c->TextWidth("one") + glyph + 3;
    const TRect rc = Grid->CellRect(1, 5);
    Input::Click(Grid, rc.Left + second, (rc.Top + rc.Bottom) / 2);
    DrainPostedMessages();
    int idx = -1;
    EXPECT_TRUE(Grid->GetRadioIdx(1, 5, idx));
    EXPECT_EQ(idx, 1);
    EXPECT_EQ(radios, QStringList{"1,5,1"});
    EXPECT_EQ(Grid->Row(), 5);
    EXPECT_FALSE(EditorUp());
}
