// The CAN transmit frames editor showing a 512-row file with every byte
// column filled and saving it at OK, against the XML layer alone parsing the
// same file and writing the same document. The dialog adds its reset, the
// byte columns' 1440 position items (built once per showing and shared by
// the eight columns), the grid and the frame checks: it may take at most
// three times as long. Both sides save through the same whole-file writer,
// so the two are compared by processor time.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "editors/UTransmitCAN.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"
#include "project/ProjectFiles.h"

#include "BenchDisplay.h"
#include "BenchRatio.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

namespace X = ProjectFiles::CANFramesXml;

constexpr int kRows = 512;

struct TFixture {
    QTemporaryDir Dir;
    std::unique_ptr<TFTransmitCAN> Dialog;
    QString Source, Target;

    TFixture()
    {
        Load_Default_Texts();
        Model_Code = 5;
        Source = PathJoin(Dir.path(), QStringLiteral("source.xml"));
        Target = PathJoin(Dir.path(), ProjectFiles::CAN_Send_Frames);
        QByteArray xml = "<Transmit_Frames>\n";
        for (int r = 0; r < kRows; ++r) {
            xml += "\t<row Enable=\"Y\" COBID=\"" + QByteArray::number(r + 1) +
                   "\" CAN_Type=\"2.0A (11 bits)\" Dim=\"8\" OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" Time=\"100\"";
            for (int k = 1; k <= 8; ++k)
                xml += " Byte" + QByteArray::number(k) + "=\"" + QByteArray::number((r * 8 + k) % 1439) + "\"";
            xml += " Mnemonic=\"frame " + QByteArray::number(r) + "\" />\n";
        }
        xml += "</Transmit_Frames>\n<!--SW_VERSION = 1.101-->\n";
        WriteFileWhole(Source, xml);
        Dialog = std::make_unique<TFTransmitCAN>(nullptr);
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

void DialogShowAndOk(benchmark::State& state)
{
    TFixture& f = Fixture();
    for (auto _ : state) {
        File_CAN_Send_Frames = f.Source;
        f.Dialog->FormShow(nullptr);
        File_CAN_Send_Frames = f.Target;
        f.Dialog->SetModalResult(mrNone);
        f.Dialog->Btn_OKClick(nullptr);
    }
    if (f.Dialog->ModalResult() != mrOk || f.Dialog->Table_End() != kRows + 1)
        state.SkipWithError("the dialog did not load, pass and save every row");
}

void XmlParseAndWrite(benchmark::State& state)
{
    TFixture& f = Fixture();
    for (auto _ : state) {
        XmlDocument in;
        in.LoadFromFile(f.Source);
        XmlDocument out;
        XmlNode root = out.CreateRoot(X::Root_Send);
        out.AppendComment(X::Version);
        for (XmlNode n = in.DocumentElement().FirstChild(); n; n = n.NextSibling()) {
            XmlNode e = root.AppendElement(X::Row);
            for (int c = 1; c < TC_Count; ++c) {
                const QString& name = *Transmit_CAN_Columns[c].Attribute;
                e.AppendAttribute(name, n.Attribute(name).TextOr(QString()));
            }
        }
        out.SaveToFile(f.Target);
    }
}

} // namespace

BENCHMARK(DialogShowAndOk)->Unit(benchmark::kMillisecond);
BENCHMARK(XmlParseAndWrite)->Unit(benchmark::kMillisecond);

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
    const bool ok = reporter.Within("DialogShowAndOk", "XmlParseAndWrite", 3.0,
                                    "CAN transmit dialog show and OK / XML parse and write (processor time)");
    // The dialog goes while the toolkit is still there.
    gFixture.reset();
    return ok ? 0 : 1;
}
