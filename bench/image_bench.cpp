// Building the J1939 / KNX image of a full project: 62 receive and 62 send
// frames and 1024 KNX objects, read from the project's files each time.
#include "image/USaveBincc.h"
#include "platform/core/Files.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QString frames(const QString& row, int count)
{
    QString rows;
    for (int i = 0; i < count; ++i)
        rows += row.arg(i);
    return QStringLiteral("<Receive_J1939>%1</Receive_J1939><!--SW_VERSION = 1.100-->").arg(rows);
}

void writeProject(const QString& dir)
{
    auto write = [&](const char* name, const QString& text) {
        WriteFileWhole(PathJoin(dir, QLatin1String(name)), text.toUtf8());
    };
    write("ParGen.xml",
          QStringLiteral("<Par_Gen><KNX_TYPE>0</KNX_TYPE><KNX_ID_DEV>1.1.200</KNX_ID_DEV>"
                         "<Modbus_TCP_Slave_IP1>192</Modbus_TCP_Slave_IP1><Modbus_TCP_Slave_IP2>168</Modbus_TCP_Slave_IP2>"
                         "<Modbus_TCP_Slave_IP3>0</Modbus_TCP_Slave_IP3><Modbus_TCP_Slave_IP4>5</Modbus_TCP_Slave_IP4>"
                         "<Modbus_TCP_Slave_EN_GAT>0</Modbus_TCP_Slave_EN_GAT><J1939_BAUDRATE>5</J1939_BAUDRATE>"
                         "<J1939_TIMEOUT>3</J1939_TIMEOUT><J1939_PEER_TO_PEER>0</J1939_PEER_TO_PEER>"
                         "<J1939_Device_ID>0</J1939_Device_ID></Par_Gen><!--SW_VERSION = 1.100-->"));
    write("J1939_Rec_Frames.xml",
          frames(QStringLiteral("<row Mnemonic=\"rx %1\" DP=\"0\" PGN=\"6526%1\" SA=\"0\" TP=\"N\" TP_Start=\"0\""
                                " TP_NByte=\"8\" Delete=\"Y\" OnRequest=\"N\" OnReq_Time=\"1000\"/>"),
                 62));
    write("J1939_Send_Frames.xml",
          frames(QStringLiteral("<row Mnemonic=\"tx %1\" Priority=\"6\" DP=\"0\" PGN=\"6144%1\" SA=\"0\" TP_NByte=\"8\""
                                " On_Request=\"N\" On_Data_Change=\"Y\" On_Timer=\"Y\" SendTimer=\"100\"/>"),
                 62));
    QString knx;
    for (int i = 0; i < 1024; ++i)
        knx += QStringLiteral("<row Enable=\"Y\" Mnemonic=\"obj %1\" Source_Address=\"1.1.%2\" Destination_Address=\"1/2/%2\""
                              " APCI=\"Write\" Priority=\"Low\" Format=\"None\" Extended=\"N\" ReTest=\"N\" On_Command=\"N\""
                              " On_Change=\"Y\" On_Timer=\"N\" Poll_Time=\"\" Position=\"%1\" Bit_Mode=\"No\" Length=\"2\"/>")
                   .arg(i)
                   .arg(i % 256);
    write("KNX_SetAccess.xml", QStringLiteral("<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>%1</KNX_in_Write></BACnet_to_KNX>"
                                              "<!--SW_VERSION = 1.100-->")
                                   .arg(knx));
}

void BM_Build_Bin_J1939(benchmark::State& state)
{
    QTemporaryDir dir;
    writeProject(dir.path());
    const auto buffer = std::make_unique<TBinBuffer>();
    for (auto _ : state) {
        const TImageResult r = Build_Image(dir.path(), 9, *buffer);
        benchmark::DoNotOptimize(r.Bank.constData());
        if (r.Bank.size() != 55296)
            state.SkipWithError("the image has the wrong length");
    }
}
BENCHMARK(BM_Build_Bin_J1939)->Unit(benchmark::kMillisecond);

// Prints the runs as usual and keeps the build's time per iteration in ms.
class TLimitReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                Milliseconds = r.GetAdjustedRealTime(); // the unit set above
    }
    double Milliseconds = -1;
};

} // namespace

// Ends non-zero when a build takes 5 ms or more: the work is small, and a
// slower build means something reads the tables over and over.
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TLimitReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.Milliseconds < 0)
        return 0; // filtered out
    std::printf("one build: %.3f ms (limit 5 ms)\n", reporter.Milliseconds);
    return reporter.Milliseconds < 5.0 ? 0 : 1;
}
