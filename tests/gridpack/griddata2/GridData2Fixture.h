#pragma once
// A string grid on a shown form and a scratch folder for the exchange tests.
#include "gridpack/grid4/ExGrid.h"
#include "platform/controls/Forms.h"
#include "platform/core/Files.h"
#include "support/ToolkitTest.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class GridData2Test : public ToolkitTest {
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
    QString Path(const QString& name) const { return Dir.filePath(name); }
    QByteArray Bytes(const QString& name) const { return ReadFileWhole(Path(name)); }
    void Put(const QString& name, const QByteArray& bytes) const { WriteFileWhole(Path(name), bytes); }

    QTemporaryDir Dir;
};

} // namespace
