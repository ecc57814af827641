// The KNX access editor opening a table whose text cells hold 100,000 and
// then 1,000,000 characters each (one row, no blank in any value): the
// dialog loads the file into its grid and paints itself. Reading is linear
// in the file and painting a cell costs what the cell can show, so ten times
// the characters may cost at most twelve times the processor time.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "editors/UKNXAccess.h"
#include "platform/core/Files.h"
#include "project/ProjectFiles.h"

#include "BenchDisplay.h"
#include "BenchRatio.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

// One row whose text cells hold `n` characters each; the check boxes "N".
QByteArray TableWithCellsOf(qsizetype n)
{
    QByteArray value;
    value.reserve(n);
    while (value.size() < n)
        value += "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    value.truncate(n);
    QByteArray row = "\t\t<row Enable=\"Y\"";
    for (int c = KA_Source; c < KA_Count; ++c) {
        const bool box = KNX_Access_Columns[c].Editor == edDataCheckBox;
        row += " " + KNX_Access_Columns[c].Attribute->toUtf8() + "=\"" + (box ? QByteArray("N") : value) + "\"";
    }
    return "<BACnet_to_KNX>\n\t<KNX_in_Read />\n\t<KNX_in_Write>\n" + row +
           " />\n\t</KNX_in_Write>\n</BACnet_to_KNX>\n<!--SW_VERSION = 1.100-->\n";
}

struct TFixture {
    QTemporaryDir Dir;
    std::unique_ptr<TFKNXAccess> Dialog;
    std::map<qsizetype, QString> Files;

    TFixture()
    {
        Load_Default_Texts();
        for (qsizetype n : {qsizetype(100000), qsizetype(1000000)}) {
            Files[n] = PathJoin(Dir.path(), QStringLiteral("cells_%1.xml").arg(n));
            WriteFileWhole(Files[n], TableWithCellsOf(n));
        }
        File_ParGen = PathJoin(Dir.path(), ProjectFiles::ParGen);
        Dialog = std::make_unique<TFKNXAccess>(nullptr);
        Dialog->AfterConstruction();
    }
};

std::unique_ptr<TFixture> gFixture;
TFixture& Fixture()
{
    if (!gFixture)
        gFixture = std::make_unique<TFixture>();
    return *gFixture;
}

void OpenAndPaint(benchmark::State& state)
{
    TFixture& f = Fixture();
    const qsizetype n = state.range(0);
    File_KNX_SetAccess = f.Files[n];
    for (auto _ : state) {
        f.Dialog->FormShow(nullptr);
        const QImage shown = f.Dialog->RenderClient();
        benchmark::DoNotOptimize(shown.constBits());
    }
    if (f.Dialog->Cell(KA_Mnemonic, 1).size() != n)
        state.SkipWithError("the dialog did not load the whole value");
}

} // namespace

BENCHMARK(OpenAndPaint)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    Use_Offscreen_Without_Display();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TCpuRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const bool ok = reporter.Within("OpenAndPaint/1000000", "OpenAndPaint/100000", 12.0,
                                    "KNX editor, cells of 1,000,000 / 100,000 characters (processor time)");
    // The dialog goes while the toolkit is still there.
    gFixture.reset();
    return ok ? 0 : 1;
}
