#pragma once
// A string grid on a shown form and a scratch folder for the exchange tests.
#include "platform/core/Files.h"
#include "support/GridOnFormTest.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class GridData2Test : public GridOnFormTest {
protected:
    QString Path(const QString& name) const { return Dir.filePath(name); }
    QByteArray Bytes(const QString& name) const { return ReadFileWhole(Path(name)); }
    void Put(const QString& name, const QByteArray& bytes) const { WriteFileWhole(Path(name), bytes); }

    QTemporaryDir Dir;
};

} // namespace
