// The string grid's mouse wheel: row steps, the last data row, waScroll,
// the events it does not fire, and Ctrl+wheel zoom.
#include "gridpack/stringgrid/inplace/EditTestKit.h"

namespace {

class WheelTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        NewGrid(false);
        Grid->SetRowCount(40);
        Grid->wheelscrl = 3;
        Grid->SetRow(1);
        Grid->OnMouseWheelDown = [this](TObject*, TShiftState, TPoint, bool&) { ++WheelEvents; };
        Grid->OnMouseWheelUp = [this](TObject*, TShiftState, TPoint, bool&) { ++WheelEvents; };
    }
    // One notch: towards the user when `down`. Answers the message result.
    LRESULT Notch(bool down, TShiftState keys = 0)
    {
        const int delta = down ? -120 : 120;
        const WPARAM w = (keys & 0xFFFF) | (WPARAM(std::uint16_t(delta)) << 16);
        return Grid->Perform(WM_MOUSEWHEEL, w, 0);
    }
    int WheelEvents = 0;
};

} // namespace

TEST_F(WheelTest, ANotchMovesTheRowByTheWheelLinesClampedToTheLastDataRow)
{
    EXPECT_EQ(Notch(true), 0);
    EXPECT_EQ(Grid->Row(), 4);
    EXPECT_EQ(WheelEvents, 0) << "no wheel event with the default increment";
    EXPECT_EQ(Notch(false), 0);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(Notch(false), 0);
    EXPECT_EQ(Grid->Row(), 1) << "never above the first data row";
    Grid->SetRow(38);
    Notch(true);
    EXPECT_EQ(Grid->Row(), 39);
    EXPECT_GE(Grid->TopRow() + Grid->VisibleRowCount(), 40) << "the grid scrolls with the row";
    Grid->SetFixedFooters(2);
    Grid->SetRow(30);
    Notch(true);
    Notch(true);
    Notch(true);
    EXPECT_EQ(Grid->Row(), 37) << "footer rows are never reached";
}

TEST_F(WheelTest, AnIncrementStepsByItselfAnswersOneAndFiresTheEvent)
{
    Grid->MouseActions()->WheelIncrement = 5;
    EXPECT_EQ(Notch(true), 1);
    EXPECT_EQ(Grid->Row(), 6);
    EXPECT_EQ(WheelEvents, 1);
}

TEST_F(WheelTest, WaScrollMovesTheTopRowAndKeepsTheCurrentRow)
{
    Grid->MouseActions()->SetWheelAction(waScroll);
    Notch(true);
    EXPECT_EQ(Grid->TopRow(), 4);
    EXPECT_EQ(Grid->Row(), 1);
    Notch(false);
    Notch(false);
    EXPECT_EQ(Grid->TopRow(), 1);
}

TEST_F(WheelTest, WheelOffOrAParentClaimingItLeavesTheGridAlone)
{
    Grid->EnableWheel = false;
    Notch(true);
    EXPECT_EQ(Grid->Row(), 1);
    Grid->EnableWheel = true;
    Form->WindowProc = [original = Form->WindowProc](TMessage& m) {
        if (m.Msg == CM_MOUSEWHEEL) {
            m.Result = 1;
            return;
        }
        original(m);
    };
    Notch(true);
    EXPECT_NE(Grid->Row(), 4) << "the grid's own step does not run";
}

TEST_F(WheelTest, CtrlWheelZoomsWithIntelliZoomAndScrollsWithout)
{
    Grid->SetColWidths(2, 64);
    Grid->SetDefaultRowHeight(24);
    const int w2 = Grid->ColWidths(2);
    Input::KeyDown(VK_CONTROL);
    Notch(true, MK_CONTROL);
    EXPECT_EQ(Grid->Row(), 1) << "a zoom moves no row";
    EXPECT_NE(Grid->ColWidths(2), w2);
    EXPECT_EQ(Grid->ZoomFactor(), 3);
    Grid->IntelliZoom = false;
    Notch(true, MK_CONTROL);
    EXPECT_EQ(Grid->Row(), 4);
    EXPECT_EQ(Grid->ZoomFactor(), 3);
    Input::KeyUp(VK_CONTROL);
}
