#pragma once
// A string grid on a shown form, for the cell graphic, check box, image and
// hook tests.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "support/ToolkitTest.h"

#include <gtest/gtest.h>

class CellsTest : public ToolkitTest {
protected:
    void TearDown() override
    {
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
    template <class G = TExStringGrid>
    G* NewGrid()
    {
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 500, 400);
        auto* g = NewObject<G>(Form);
        g->SetParent(Form);
        Form->Show();
        Grid = g;
        return g;
    }
    TExStringGrid* Grid = nullptr;
};

// A string list that says when it is freed.
class TWatchedStrings : public TStringList {
public:
    explicit TWatchedStrings(bool* freed) : FFreed(freed) {}
    ~TWatchedStrings() override { *FFreed = true; }

private:
    bool* FFreed;
};
