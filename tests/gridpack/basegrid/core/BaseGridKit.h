#pragma once
// A base grid on a shown form for the grid foundation's tests, recording what
// reaches its overridable steps.
#include "gridpack/basegrid/BaseGrid.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "support/ToolkitTest.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <vector>

struct RenderedCell {
    int Col, Row;
    TRect Rect;
    TGridDrawState State;
};

class TProbeBaseGrid : public TBaseGrid {
public:
    explicit TProbeBaseGrid(TComponent* owner) : TBaseGrid(owner) {}
    std::vector<TPoint> TextChanged;
    std::vector<RenderedCell> Rendered;
    int Clicks = 0;
    bool Fixed = false;

    void CellTextChanged(int c, int r) override { TextChanged.push_back(TPoint(c, r)); }
    bool IsFixed(int c, int r) override { return Fixed ? true : TBaseGrid::IsFixed(c, r); }
    void RenderCell(TCanvas* canvas, int c, int r, const TRect& rect, TGridDrawState s) override
    {
        Rendered.push_back({c, r, rect, s});
        TBaseGrid::RenderCell(canvas, c, r, rect, s);
    }
    int RenderCount(int c, int r) const
    {
        int n = 0;
        for (const RenderedCell& x : Rendered)
            n += x.Col == c && x.Row == r;
        return n;
    }
    using TBaseGrid::PropsOf;
};

class BaseGridTest : public ToolkitTest {
protected:
    void TearDown() override
    {
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
    // A shown form holding a focused base grid without a border.
    TProbeBaseGrid* NewGrid(int w = 400, int h = 300)
    {
        Form = NewObject<TForm>(nullptr);
        Form->SetName("F");
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, w + 100, h + 100);
        Grid = NewObject<TProbeBaseGrid>(Form);
        Grid->SetParent(Form);
        Grid->SetBorderStyle(bsNone);
        Grid->SetBounds(0, 0, w, h);
        Grid->OnClick = [this](TObject*) { ++Grid->Clicks; };
        Form->Show();
        Grid->SetFocus();
        Grid->Clicks = 0;
        return Grid;
    }
    void Key(unsigned vk, TShiftState shift = 0)
    {
        Input::KeyStroke(vk, shift);
        DrainPostedMessages();
    }
    TProbeBaseGrid* Grid = nullptr;
};
