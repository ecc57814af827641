// Arbitrary bytes through every reader of the string grid's file exchange:
// the binary cell stream, the grid text file and stream, CSV, fixed width,
// XML, the column state text and the visual-properties file. A reader may
// refuse the input with an exception; it must not crash, hang or give the
// grid more columns than it can hold.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/Files.h"
#include "platform/core/Streams.h"

#include <QApplication>
#include <QByteArray>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <functional>

namespace {

void EnsureApp()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_grid_exchange";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void Check(TExStringGrid* g)
{
    if (g->AllColCount() > TExStringGrid::MaxRealCols)
        std::abort();
}

void Run(const std::function<void(TExStringGrid*)>& step)
{
    auto* g = NewObject<TExStringGrid>(nullptr);
    try {
        step(g);
    } catch (const Exception&) {
    }
    Check(g);
    g->Free();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureApp();
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString file = dir.filePath(QStringLiteral("input"));
    WriteFileWhole(file, bytes);

    Run([&](TExStringGrid* g) {
        TMemoryStream s;
        s.WriteBuffer(bytes);
        s.SetPosition(0);
        g->LoadFromBinStream(&s);
    });
    Run([&](TExStringGrid* g) {
        TMemoryStream s;
        s.WriteBuffer(bytes);
        s.SetPosition(0);
        g->LoadAtPointFromBinStream(TPoint{2, 3}, &s);
    });
    Run([&](TExStringGrid* g) { g->LoadFromFile(file); });
    Run([&](TExStringGrid* g) {
        TMemoryStream s;
        s.WriteBuffer(bytes);
        s.SetPosition(0);
        g->LoadFromStream(&s);
        if (s.Position() > s.Size())
            std::abort();
    });
    Run([&](TExStringGrid* g) { g->LoadFromCSV(file); });
    Run([&](TExStringGrid* g) {
        g->JavaCSV = true;
        g->LoadFirstRow = false;
        g->InsertFromCSV(file, 5);
    });
    Run([&](TExStringGrid* g) {
        TIntList pos(0, 0);
        pos.SetStrValue(QStringLiteral("1,3,-2,9"));
        g->LoadFromFixed(file, &pos, true, -1);
    });
    Run([&](TExStringGrid* g) { g->LoadFromXML(file, size % 2 == 0, size % 3 == 0); });
    Run([&](TExStringGrid* g) { g->StringToColumnStates(QString::fromUtf8(bytes)); });
    Run([&](TExStringGrid* g) { g->LoadVisualProps(file); });
    return 0;
}
