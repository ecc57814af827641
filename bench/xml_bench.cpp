// Reading a full KNX access table (1024 rows of 16 attributes) through the
// XML layer and, for comparison, through pugixml directly. The layer is what
// every editor and the image builder read project files with, so it must stay
// close to the parser's own speed.
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"

#include <QTemporaryDir>

#include "BenchRatio.h"
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

const char* const Columns[] = {"Enable",   "Source_Address", "Destination_Address", "APCI",
                               "Priority", "Format",         "Extended",            "ReTest",
                               "On_Command", "On_Change",    "On_Timer",            "Poll_Time",
                               "Position", "Length",         "Bit_Mode",            "Mnemonic"};
constexpr int Rows = 1024;

QByteArray TableText()
{
    QByteArray x = "<BACnet_to_KNX>\n\t<KNX_in_Read/>\n\t<KNX_in_Write>\n";
    for (int r = 0; r < Rows; ++r) {
        x += "\t\t<row Enable=\"Y\" Source_Address=\"1.1." + QByteArray::number(r % 256) +
             "\" Destination_Address=\"" + QByteArray::number(r / 256) + "/" + QByteArray::number(r % 8) + "/" +
             QByteArray::number(r % 256) +
             "\" APCI=\"Write\" Priority=\"Low\" Format=\"Swap16\" Extended=\"N\" ReTest=\"3\""
             " On_Command=\"Y\" On_Change=\"N\" On_Timer=\"N\" Poll_Time=\"1000\" Position=\"" +
             QByteArray::number(r * 2) + "\" Length=\"2\" Bit_Mode=\"N\" Mnemonic=\"Row " + QByteArray::number(r) +
             "\"/>\n";
    }
    x += "\t</KNX_in_Write>\n</BACnet_to_KNX>\n<!--SW_VERSION = 1.100-->\n";
    return x;
}

struct Fixture {
    QTemporaryDir Dir;
    QString Path;
    Fixture()
    {
        Path = PathJoin(Dir.path(), QStringLiteral("KNX_SetAccess.xml"));
        WriteFileWhole(Path, TableText());
    }
};

Fixture& File()
{
    static Fixture f;
    return f;
}

void ThroughTheLayer(benchmark::State& state)
{
    const QString path = File().Path;
    QList<QString> names;
    for (const char* c : Columns)
        names.append(QString::fromLatin1(c));
    for (auto _ : state) {
        XmlDocument doc;
        doc.LoadFromFile(path);
        qsizetype chars = 0;
        const XmlNode write = doc.DocumentElement().ChildElement(QStringLiteral("KNX_in_Write"));
        for (XmlNode row = write.FirstChildElement(); row; row = row.NextSiblingElement())
            for (const QString& n : names) {
                const QString v = row.Attribute(n).ToString();
                chars += v.size();
            }
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * Rows * 16);
}

void ThroughPugixml(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(File().Path);
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_file(path.constData(), pugi::parse_default | pugi::parse_comments);
        qsizetype chars = 0;
        const pugi::xml_node write = doc.document_element().child("KNX_in_Write");
        for (pugi::xml_node row = write.first_child(); row; row = row.next_sibling())
            for (const char* n : Columns) {
                const QString v = QString::fromUtf8(row.attribute(n).value());
                chars += v.size();
            }
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * Rows * 16);
}

} // namespace

BENCHMARK(ThroughTheLayer)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK(ThroughPugixml)->Unit(benchmark::kMicrosecond)->Repetitions(7);

// Ends non-zero when the layer takes more than 1.3 times the direct path's
// processor time (medians of seven repetitions).
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TCpuRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.Within("ThroughTheLayer", "ThroughPugixml", 1.3, "layer / direct (processor time)") ? 0 : 1;
}
