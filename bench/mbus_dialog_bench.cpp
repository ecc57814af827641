// The M-Bus network dialog shown on a network of 250 nodes with 20 variables
// each (5,250 tree items and the byte count) against the bare reading of the
// same file. Showing does the reading and adds the tree and the count: it
// must stay within three times the reading, which guards against tree
// appends that grow with the tree and a byte recount per item.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "mbus/MBusNetwork.h"
#include "mbus/UMeter_Bus.h"
#include "platform/controls/TreeView.h"

#include "BenchDisplay.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kNodes = 250, kVars = 20;

TNodoList Network() {
    TNodoList l;
    for (int n = 0; n < kNodes; ++n) {
        auto node = std::make_unique<TNodo>();
        node->Enable = true;
        node->Description = QStringLiteral("meter %1").arg(n);
        node->Node_ID_Primary = n % 256;
        node->MBus_Type = 1;
        node->Node_State = 1;
        for (int v = 0; v < kVars; ++v) {
            auto var = std::make_unique<TVariabile>();
            var->Enable = true;
            var->Description = QStringLiteral("value %1").arg(v);
            var->Type_Of_Data = v % 26;
            var->Dimension = v % 8;
            var->Length = 4;
            var->Position = 1;
            node->Var_List.push_back(std::move(var));
        }
        l.push_back(std::move(node));
    }
    return l;
}

struct TFixture {
    QTemporaryDir Dir;
    TFMeter_Bus* Dialog = nullptr;
    TFixture() {
        Load_Default_Texts();
        Dir_Project = Dir.path();
        File_M_Bus = Dir.path() + QStringLiteral("/M_Bus.xml");
        Write_MBus_Network(File_M_Bus, Network());
        Dialog = new TFMeter_Bus(nullptr);
        Dialog->AfterConstruction();
    }
    ~TFixture() { delete Dialog; }
};

std::unique_ptr<TFixture> gFixture;

TFixture& Fixture() {
    if (!gFixture) gFixture = std::make_unique<TFixture>();
    return *gFixture;
}

void BM_Dialog_Show(benchmark::State& state) {
    TFixture& f = Fixture();
    for (auto _ : state) {
        f.Dialog->FormShow(nullptr);
        benchmark::DoNotOptimize(f.Dialog->Nodi_List.size());
    }
}
BENCHMARK(BM_Dialog_Show)->Unit(benchmark::kMillisecond);

void BM_Network_Read(benchmark::State& state) {
    TFixture& f = Fixture();
    (void)f;
    for (auto _ : state) benchmark::DoNotOptimize(Read_MBus_Network(File_M_Bus).size());
}
BENCHMARK(BM_Network_Read)->Unit(benchmark::kMillisecond);

// The two paths timed in turn, best of several rounds.
double BestMs(const std::function<void()>& step) {
    double best = 1e300;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer t;
        t.start();
        step();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    Use_Offscreen_Without_Display();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TFixture& f = Fixture();
    const double show = BestMs([&] { f.Dialog->FormShow(nullptr); });
    const double read = BestMs([] { benchmark::DoNotOptimize(Read_MBus_Network(File_M_Bus).size()); });
    std::printf("tree items %d, show %.2f ms, read %.2f ms, show / read = %.2f (limit 3)\n",
                f.Dialog->TW->Items()->Count(), show, read, show / read);
    const int rc = show / read <= 3.0 ? 0 : 2;
    // The dialog goes while the toolkit is still there.
    gFixture.reset();
    return rc;
}
