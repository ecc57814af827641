// A secondary search over the loopback gateway with ten meters, run by the
// engine's own thread at its 40 ms step, against the steps it took: the wall
// time must stay within 1.15 times steps x 40 ms. A step that waited out a
// time-out after its answer had come, or a sleep too many, would break it.
// A bare request/answer round trip over the same two endpoints is printed
// beside it, for scale.
#include "FakeMBusGateway.h"

#include "mbus/UMBusScanDecode.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

const uint32_t kMeters[] = {0x11111111, 0x12222222, 0x23333333, 0x34444444, 0x45555555,
                            0x56666666, 0x67777777, 0x78888888, 0x89999999, 0x90000000};

struct TSearch {
    double WallMs = 0;
    uint64_t Steps = 0;
    int Found = 0;
};

TSearch Run_Search()
{
    FakeMBusGateway gateway;
    int primary = 1;
    for (uint32_t id : kMeters) {
        gateway.Add_Meter(uint8_t(primary), id,
                          {Fake_Meter_Frame(uint8_t(primary), id, 0x0442, 1, 7,
                                            QByteArray::fromHex("0413102700000213E803"))});
        ++primary;
    }
    List_Slaves_MBus.Free_All();
    TMBusScanDecode* engine = NewObject<TMBusScanDecode>(false);
    engine->Local_Bind_Address = QStringLiteral("127.0.0.1");
    engine->Local_Port = 0;
    engine->Gateway_Port = gateway.Port();
    engine->Event_Run()->SetEvent();
    std::atomic<int> found{0};
    const uint64_t stepsBefore = engine->Steps_Taken();
    QElapsedTimer t;
    t.start();
    engine->Start_Scan(saSecondaryAddress, shEthernet, QStringLiteral("127.0.0.2"), 2400, 1, false, false, 3,
                       [&](int32_t kind, int32_t, int32_t f, int32_t) {
                           if (kind == 2 && f)
                               ++found;
                       });
    while (engine->InScan())
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    TSearch r;
    r.WallMs = double(t.nsecsElapsed()) / 1e6;
    r.Steps = engine->Steps_Taken() - stepsBefore;
    r.Found = found;
    engine->Free();
    List_Slaves_MBus.Free_All();
    return r;
}

// A client on 127.0.0.1 and the gateway in analyzer mode with one meter.
struct TRoundTrip {
    FakeMBusGateway Gateway;
    Sys::RealUdpEndpoint Client;
    const QByteArray Request = MBusFrame::REQ_UD2(5, 0);
    TRoundTrip()
    {
        Gateway.Add_Meter(5, 0x12345678,
                          {Fake_Meter_Frame(5, 0x12345678, 0x0442, 1, 7, QByteArray::fromHex("041310270000"))});
        Gateway.Script([](TFakeGatewayScript& s) { s.Analyzer_Mode = true; });
        Client.Bind(QStringLiteral("127.0.0.1"), 0);
    }
    void Once()
    {
        Client.SendTo(Request, QStringLiteral("127.0.0.2"), Gateway.Port());
        benchmark::DoNotOptimize(Client.Receive(1000));
    }
};

double Round_Trip_Ms(int rounds)
{
    TRoundTrip rt;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        rt.Once();
    return double(t.nsecsElapsed()) / 1e6 / rounds;
}

void BM_Round_Trip(benchmark::State& state)
{
    TRoundTrip rt;
    for (auto _ : state)
        rt.Once();
}
BENCHMARK(BM_Round_Trip)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const TSearch s = Run_Search();
    const double ratio = s.WallMs / (double(s.Steps) * 40.0);
    std::printf("secondary search, %d meters found: %.0f ms for %llu steps, wall / (steps x 40 ms) = %.3f "
                "(limit 1.15); bare round trip %.3f ms\n",
                s.Found, s.WallMs, static_cast<unsigned long long>(s.Steps), ratio, Round_Trip_Ms(200));
    return ratio <= 1.15 && s.Found == 10 ? 0 : 2;
}
