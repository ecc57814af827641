#pragma once
// A string grid on the test's shown form; posted messages are drained after
// each test.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "support/ToolkitTest.h"

#include <gtest/gtest.h>

class GridOnFormTest : public ToolkitTest {
protected:
    void TearDown() override
    {
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
    // A grid of the size with the fixed rows and columns given.
    TExStringGrid* NewGrid(int cols, int rows, int fixedCols = 1, int fixedRows = 1)
    {
        ShownForm();
        auto* g = NewObject<TExStringGrid>(Form);
        g->SetParent(Form);
        g->SetColCount(cols);
        g->SetRowCount(rows);
        g->SetFixedCols(fixedCols);
        g->SetFixedRows(fixedRows);
        return g;
    }
};
