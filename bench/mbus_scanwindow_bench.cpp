// The Scan & Decode window's wireless grid, the real one, as telegrams come
// in: every device updated ten times through Wireless_Slave_Updated, with
// 1,000 devices and with 10. An update writes one row's cells; the time per
// update with 1,000 rows must stay within twice the time with 10 (a grid
// rewritten or re-laid out whole per telegram grows with the rows).
#include "app/ULanguage.h"
#include "mbus/UScanDecode.h"

#include "BenchDisplay.h"
#include "BenchRatio.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

TWirelessSlaveRow Device(int i, bool cripted)
{
    TWirelessSlaveRow d;
    d.Message_Type = 0x44;
    d.LLA_Manufacturer = 0x0442;
    d.LLA_Manu_str = QStringLiteral("ABB");
    d.LLA_Address = 0x10000000 + i;
    d.LLA_Version = 1;
    d.LLA_DeviceType = 7;
    d.ALA_Manufacturer = 0x0442;
    d.ALA_Manu_str = QStringLiteral("ABB");
    d.ALA_Address = 0x10000000 + i;
    d.ALA_Version = 1;
    d.ALA_DeviceType = 7;
    d.RSSI = -82;
    d.DateTime = 46000.5 + i;
    d.Cripted = cripted;
    return d;
}

// One window per device count, its grid filled once.
std::map<int, TFScanDecode*> gWindows;

TFScanDecode* Window(int devices)
{
    auto& w = gWindows[devices];
    if (!w) {
        w = new TFScanDecode(nullptr);
        w->AfterConstruction();
        w->Cancel_Grid_Wireless();
        for (int i = 0; i < devices; ++i)
            w->Wireless_Slave_Updated(i, Device(i, false));
    }
    return w;
}

void BM_Wireless_Update(benchmark::State& state)
{
    const int devices = int(state.range(0));
    TFScanDecode* w = Window(devices);
    // Ten updates of each device, readable and encrypted in turn.
    std::vector<TWirelessSlaveRow> rows;
    for (int i = 0; i < devices; ++i)
        for (int round = 0; round < 10; ++round)
            rows.push_back(Device(i, round % 2 == 1));
    size_t k = 0;
    for (auto _ : state) {
        const TWirelessSlaveRow& r = rows[k % rows.size()];
        w->Wireless_Slave_Updated(int((k % rows.size()) / 10), r);
        ++k;
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_Wireless_Update)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    Use_Offscreen_Without_Display();
    QApplication app(argc, argv);
    Load_Default_Texts();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const bool ok = reporter.Within("BM_Wireless_Update/1000", "BM_Wireless_Update/10", 2.0,
                                    "one telegram's row, 1,000 devices / 10");
    // The windows go while the toolkit is still there.
    for (auto& [n, w] : gWindows)
        delete w;
    return ok ? 0 : 1;
}
