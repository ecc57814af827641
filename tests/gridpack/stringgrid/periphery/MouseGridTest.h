#pragma once
// The read-only string grid of the editing tests and the middle of its cells,
// for the tests that point at cells with the mouse.
#include "gridpack/stringgrid/inplace/EditTestKit.h"

class MouseGridTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        NewGrid(false);
    }
    TPoint Mid(int c, int r) const
    {
        const TRect R = Grid->CellRect(c, r);
        return Point((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    }
};
