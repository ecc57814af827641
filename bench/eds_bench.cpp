// Reading the SDO server table for the EDS file: a file at the limit of the
// device image (512 rows in each list) and one of a tenth of the rows. The
// rows are placed by one hash look-up each and each object's sub-entries
// sorted in n log n, so a tenth of the rows must take at least a twelfth of
// the time; a quadratic read (a walk of the list per row, a bubble sort)
// would take far less. The program ends non-zero when it does not.
#include "app/UComon.h"
#include "image/UEds.h"
#include "platform/core/Files.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// `perList` rows in each list over perList / 8 object indexes, the
// sub-indexes of each object arriving in falling order.
QByteArray sdoFile(int perList)
{
    const int objects = std::max(1, perList / 8);
    QByteArray lists[2];
    for (int l = 0; l < 2; ++l)
        for (int i = 0; i < perList; ++i)
            lists[l] += "<row Index=\"" + QByteArray::number(8192 + l * 4096 + i % objects) + "\" SubIndex=\""
                        + QByteArray::number(255 - (i / objects) % 256) + "\" NByte=\"2\" Address_B1=\"0\" Address_B2=\"1\"/>";
    return "<SDO_Server_CANopen><SDO_Read>" + lists[0] + "</SDO_Read><SDO_Write>" + lists[1]
           + "</SDO_Write></SDO_Server_CANopen>";
}

struct TFiles {
    QTemporaryDir Dir;
    QString Path(int perList) const { return PathJoin(Dir.path(), QStringLiteral("SDO_%1.xml").arg(perList)); }
    TFiles()
    {
        for (int n : {Max_SDO_Rows / 10, Max_SDO_Rows})
            WriteFileWhole(Path(n), sdoFile(n));
    }
};

TFiles& Files()
{
    static TFiles f;
    return f;
}

void readTable(int perList)
{
    File_SDO_Server_CANopen = Files().Path(perList);
    SDO_List.clear();
    EDS_Load_SDO_Server();
    EDS_Sort_Sub_Indexs();
    benchmark::DoNotOptimize(SDO_List.size());
}

void BM_EDS_Read_SDO_Server(benchmark::State& state)
{
    for (auto _ : state)
        readTable(int(state.range(0)));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_EDS_Read_SDO_Server)->Arg(Max_SDO_Rows / 10)->Arg(Max_SDO_Rows)->Complexity(benchmark::oNLogN);

double bestMs(int perList)
{
    double best = 1e300;
    for (int i = 0; i < 30; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        readTable(perList);
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double full = bestMs(Max_SDO_Rows);
    const double tenth = bestMs(Max_SDO_Rows / 10);
    std::printf("SDO table of %d rows: %.3f ms; of %d rows: %.3f ms; tenth / full = %.3f (at least %.3f)\n",
                2 * Max_SDO_Rows, full, 2 * (Max_SDO_Rows / 10), tenth, tenth / full, 1.0 / 12);
    return tenth / full >= 1.0 / 12 ? 0 : 1;
}
