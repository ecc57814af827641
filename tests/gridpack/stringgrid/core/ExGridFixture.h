#pragma once
// A string grid on a shown form for the grid's tests.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "support/ToolkitTest.h"

#include <gtest/gtest.h>

namespace {
// A string grid on a shown form, counting the cells it paints.
class TProbeExGrid : public TExStringGrid {
public:
    explicit TProbeExGrid(TComponent* owner) : TExStringGrid(owner) {}
    int Drawn = 0;

protected:
    void DrawCell(int c, int r, const TRect& rect, TGridDrawState s) override
    {
        ++Drawn;
        TExStringGrid::DrawCell(c, r, rect, s);
    }
};

class ExGridTest : public ToolkitTest {
protected:
    void TearDown() override
    {
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
    TProbeExGrid* NewGrid()
    {
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 500, 400);
        Grid = NewObject<TProbeExGrid>(Form);
        Grid->SetParent(Form);
        Grid->OnClick = [this](TObject*) { ++Clicks; };
        Form->Show();
        return Grid;
    }
    TProbeExGrid* Grid = nullptr;
    int Clicks = 0;
};
} // namespace
