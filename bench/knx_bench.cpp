// The KNX access editor loading a table file of 1024 rows into its grid and
// writing it back, against filling a QTableWidget with the same texts (read
// through the same XML layer) and writing them with the XML layer. The
// dialog does the same work plus its reset, the Position items and the
// defaults: it must not be slower (limit 1). Both sides save through the
// same whole-file writer, so the two are compared by processor time.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "editors/UKNXAccess.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"
#include "project/ProjectFiles.h"

#include "BenchDisplay.h"
#include "BenchRatio.h"

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

namespace X = ProjectFiles::KNXAccessXml;

constexpr int kRows = 1024;
constexpr int kCols = KA_Count - 1;

struct TFixture {
    QTemporaryDir Dir;
    std::unique_ptr<TFKNXAccess> Dialog;
    QString Source;

    TFixture()
    {
        Load_Default_Texts();
        Source = PathJoin(Dir.path(), QStringLiteral("source.xml"));
        File_KNX_SetAccess = PathJoin(Dir.path(), ProjectFiles::KNX_SetAccess);
        QByteArray xml = "<BACnet_to_KNX>\n\t<KNX_in_Read />\n\t<KNX_in_Write>\n";
        for (int r = 0; r < kRows; ++r)
            xml += "\t\t<row Enable=\"Y\" Source_Address=\"1.1." + QByteArray::number(r % 256) +
                   "\" Destination_Address=\"1/2/" + QByteArray::number(r % 256) +
                   "\" APCI=\"Write\" Priority=\"Normal\" Format=\"None\" Extended=\"N\" ReTest=\"N\" "
                   "On_Command=\"N\" On_Change=\"Y\" On_Timer=\"N\" Poll_Time=\"1000\" Position=\"" +
                   QByteArray::number(r) + "\" Bit_Mode=\"No\" Length=\"1\" Mnemonic=\"object " +
                   QByteArray::number(r) + "\" />\n";
        xml += "\t</KNX_in_Write>\n</BACnet_to_KNX>\n<!--SW_VERSION = 1.100-->\n";
        WriteFileWhole(Source, xml);
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

void DialogLoadSave(benchmark::State& state)
{
    TFixture& f = Fixture();
    const QString target = File_KNX_SetAccess;
    for (auto _ : state) {
        File_KNX_SetAccess = f.Source;
        f.Dialog->FormShow(nullptr);
        File_KNX_SetAccess = target;
        f.Dialog->Write_File();
    }
    if (f.Dialog->KNX_Table_End() != kRows + 1)
        state.SkipWithError("the dialog did not load every row");
}

void TableWidgetLoadSave(benchmark::State& state)
{
    TFixture& f = Fixture();
    QTableWidget table(kRows, kCols);
    const QString target = File_KNX_SetAccess;
    for (auto _ : state) {
        table.clearContents();
        XmlDocument in;
        in.LoadFromFile(f.Source);
        const XmlNode list = in.DocumentElement().ChildElement(X::List_Write);
        int r = 0;
        for (XmlNode n = list.FirstChild(); n && r < kRows; n = n.NextSibling(), ++r)
            for (int c = 0; c < kCols; ++c)
                table.setItem(r, c,
                              new QTableWidgetItem(n.Attribute(*KNX_Access_Columns[c + 1].Attribute).TextOr(QString())));
        XmlDocument out;
        XmlNode root = out.CreateRoot(X::Root);
        out.AppendComment(ProjectFiles::VersionComment);
        root.AppendElement(X::List_Read);
        XmlNode rows = root.AppendElement(X::List_Write);
        for (int row = 0; row < kRows; ++row) {
            XmlNode e = rows.AppendElement(X::Row);
            for (int c = 0; c < kCols; ++c)
                e.AppendAttribute(*KNX_Access_Columns[c + 1].Attribute, table.item(row, c)->text());
        }
        out.SaveToFile(target);
    }
}

} // namespace

BENCHMARK(DialogLoadSave)->Unit(benchmark::kMillisecond);
BENCHMARK(TableWidgetLoadSave)->Unit(benchmark::kMillisecond);

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
    const bool ok = reporter.Within("DialogLoadSave", "TableWidgetLoadSave", 1.0,
                                    "KNX editor load and save / table widget (processor time)");
    // The dialog goes while the toolkit is still there.
    gFixture.reset();
    return ok ? 0 : 1;
}
