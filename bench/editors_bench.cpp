// The receive frames editor loading a table file of 512 rows into its grid
// and writing it back, against filling a QTableWidget with the same texts
// (read through the same XML layer) and writing them with the XML layer.
// The dialog does the same work plus its reset and defaults: it must not be
// slower (limit 1). Both sides save through the same whole-file writer,
// whose flush waits on the disk and swamps the rest on a busy machine, so
// the two are compared by processor time.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "editors/UReceiveJ1939.h"
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

namespace X = ProjectFiles::J1939RecXml;

constexpr int kRows = 512;

const QString* const Attributes[10] = {&X::DP,       &X::PGN,    &X::SA,        &X::TP,         &X::TP_Start,
                                       &X::TP_NByte, &X::Delete, &X::OnRequest, &X::OnReq_Time, &X::Mnemonic};

struct TFixture {
    QTemporaryDir Dir;
    std::unique_ptr<TFReceiveJ1939> Dialog;
    QString Source;

    TFixture()
    {
        Load_Default_Texts();
        Source = PathJoin(Dir.path(), QStringLiteral("source.xml"));
        File_J1939_Rec_Frames = PathJoin(Dir.path(), ProjectFiles::J1939_Rec_Frames);
        QByteArray xml = "<Receive_J1939>\n";
        for (int r = 0; r < kRows; ++r)
            xml += "\t<row DP=\"" + QByteArray::number(r % 2) + "\" PGN=\"" + QByteArray::number(61440 + r) +
                   "\" SA=\"" + QByteArray::number(r % 240) + "\" TP=\"Y\" TP_Start=\"" + QByteArray::number(r) +
                   "\" TP_NByte=\"1\" Delete=\"N\" OnRequest=\"Y\" OnReq_Time=\"" + QByteArray::number(100 + r) +
                   "\" Mnemonic=\"frame " + QByteArray::number(r) + "\" />\n";
        xml += "</Receive_J1939>\n<!--SW_VERSION = 1.100-->\n";
        WriteFileWhole(Source, xml);
        Dialog = std::make_unique<TFReceiveJ1939>(nullptr);
        Dialog->AfterConstruction();
        // The bench's grid takes the whole file.
        Dialog->sga->SetRowCount(kRows + 1);
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
    const QString target = File_J1939_Rec_Frames;
    for (auto _ : state) {
        File_J1939_Rec_Frames = f.Source;
        f.Dialog->FormShow(nullptr);
        File_J1939_Rec_Frames = target;
        f.Dialog->Write_File();
    }
    if (f.Dialog->Table_End() != kRows + 1)
        state.SkipWithError("the dialog did not load every row");
}

void TableWidgetLoadSave(benchmark::State& state)
{
    TFixture& f = Fixture();
    QTableWidget table(kRows, 10);
    const QString target = File_J1939_Rec_Frames;
    for (auto _ : state) {
        table.clearContents();
        XmlDocument in;
        in.LoadFromFile(f.Source);
        int r = 0;
        for (XmlNode n = in.DocumentElement().FirstChild(); n && r < kRows; n = n.NextSibling(), ++r)
            for (int c = 0; c < 10; ++c)
                table.setItem(r, c, new QTableWidgetItem(n.Attribute(*Attributes[c]).TextOr(QString())));
        XmlDocument out;
        XmlNode root = out.CreateRoot(X::Root);
        out.AppendComment(ProjectFiles::VersionComment);
        for (int row = 0; row < kRows; ++row) {
            XmlNode e = root.AppendElement(X::Row);
            for (int c = 0; c < 10; ++c)
                e.AppendAttribute(*Attributes[c], table.item(row, c)->text());
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
                                    "receive editor load and save / table widget (processor time)");
    // The dialog goes while the toolkit is still there.
    gFixture.reset();
    return ok ? 0 : 1;
}
