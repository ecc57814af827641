#pragma once
// A string grid on a shown form, a scratch folder and the program's printer
// writing PDF files into it, for the printing and office exchange tests.
#include "gridpack/grid4/ExGrid.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Printers.h"
#include "platform/core/Files.h"
#include "support/ToolkitTest.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class GridData4Test : public ToolkitTest {
protected:
    void TearDown() override
    {
        Printer()->SetOutputFile(QString());
        Printer()->SetOrientation(pokPortrait);
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
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

    QTemporaryDir Dir;
};

// Pages of a PDF file: the page objects ("/Type /Page", not "/Pages").
inline int PdfPageCount(const QByteArray& pdf)
{
    int n = 0;
    qsizetype i = 0;
    const QByteArray key("/Type /Page");
    while ((i = pdf.indexOf(key, i)) >= 0) {
        i += key.size();
        if (i >= pdf.size() || pdf[i] != 's')
            ++n;
    }
    return n;
}

} // namespace
