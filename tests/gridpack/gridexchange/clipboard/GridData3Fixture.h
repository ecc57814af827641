#pragma once
// A string grid on a shown form for the clipboard and drag-and-drop tests,
// with helpers to fill cells and read a column back.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/Forms.h"
#include "support/ToolkitApp.h"
#include "support/ToolkitTest.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

class GridData3Test : public ToolkitTest {
protected:
    void SetUp() override
    {
        // Drag images and cell texts are drawn with the toolkit's fonts.
        KalTest::EnsureToolkitApp();
        ToolkitTest::SetUp();
        Clipboard()->Clear();
    }
    void TearDown() override
    {
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
    template <class G = TExStringGrid>
    G* NewGrid(int cols, int rows, int fixedCols = 1, int fixedRows = 1)
    {
        ShownForm(700, 500);
        auto* g = NewObject<G>(Form);
        g->SetParent(Form);
        g->SetBounds(0, 0, 600, 400);
        g->SetColCount(cols);
        g->SetRowCount(rows);
        g->SetFixedCols(fixedCols);
        g->SetFixedRows(fixedRows);
        g->SetOptions(g->Options() | goEditing | goRangeSelect);
        return g;
    }
    // Rows of tab-separated values from (c0, r0) on.
    static void Fill(TExStringGrid* g, int c0, int r0, const QStringList& rows)
    {
        for (int i = 0; i < rows.size(); ++i) {
            const QStringList v = rows[i].split(QLatin1Char('\t'));
            for (int j = 0; j < v.size(); ++j)
                g->SetCells(c0 + j, r0 + i, v[j]);
        }
    }
    static QStringList Column(TExStringGrid* g, int c, int r0, int r1)
    {
        QStringList out;
        for (int r = r0; r <= r1; ++r)
            out << g->Cells(c, r);
        return out;
    }
    static void Select(TExStringGrid* g, int c1, int r1, int c2, int r2)
    {
        g->SetSelection(TGridRect{c1, r1, c2, r2});
    }
};

} // namespace
