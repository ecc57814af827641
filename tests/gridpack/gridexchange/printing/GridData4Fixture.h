#pragma once
// A string grid on a shown form, a scratch folder and the program's printer
// writing PDF files into it, for the printing and office exchange tests.
#include "platform/controls/Printers.h"
#include "platform/core/Files.h"
#include "support/GridOnFormTest.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class GridData4Test : public GridOnFormTest {
protected:
    void TearDown() override
    {
        Printer()->SetOutputFile(QString());
        Printer()->SetOrientation(pokPortrait);
        GridOnFormTest::TearDown();
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
