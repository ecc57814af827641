#pragma once
// A string grid on a shown form for the data-operation tests, with helpers
// that fill and read a column.
#include "support/GridOnFormTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

class GridData1Test : public GridOnFormTest {
protected:
    // The grid keeps at least one row below the fixed rows.
    TExStringGrid* NewGrid(int cols, int rows, int fixedCols = 1, int fixedRows = 1)
    {
        return GridOnFormTest::NewGrid(cols, std::max(rows, fixedRows + 1), fixedCols, fixedRows);
    }
    // Writes texts into a column from row `from` on, growing the grid.
    static void PutColumn(TExStringGrid* g, int col, int from, const std::vector<QString>& texts)
    {
        if (g->RowCount() < from + int(texts.size()))
            g->SetRowCount(from + int(texts.size()));
        for (size_t i = 0; i < texts.size(); ++i)
            g->SetCellEx(col, from + int(i), texts[i]);
    }
    static std::vector<QString> Column(TExStringGrid* g, int col, int from, int to = -1)
    {
        std::vector<QString> out;
        if (to < 0)
            to = g->RowCount() - 1;
        for (int r = from; r <= to; ++r)
            out.push_back(g->GetCellEx(col, r));
        return out;
    }
};

using Texts = std::vector<QString>;

} // namespace
