// The M-Bus data side.
//
// (a) Decoding 1000 long frames of about twelve records each (every data
//     field code, the primary VIF ranges, the FDh and FBh tables, DIFEs,
//     combinable VIFEs, dates and variable-length values) into fresh devices,
//     beside a plain reference walk that computes only each record's value and
//     value text, and a memcpy of the same bytes as the floor.
// (b) Reading and rewriting a network of 250 nodes of 20 variables through the
//     node model, beside loading and saving the same file with pugixml. Both
//     produce the document in memory: the whole-file write's flush to disk is
//     the same for both and would only hide the difference.
#include "mbus/MBusDecoder.h"
#include "mbus/MBusNetwork.h"
#include "platform/core/FloatConv.h"
#include "platform/core/Files.h"

#include <QTemporaryDir>

#include "BenchRatio.h"
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// (a) frames

constexpr int Frames = 1000;

class TFrameMaker {
public:
    std::vector<QByteArray> Make()
    {
        std::vector<QByteArray> frames;
        for (int f = 0; f < Frames; ++f) {
            QByteArray b;
            for (int r = 0; r < 12; ++r)
                record(b, f * 12 + r);
            frames.push_back(b);
        }
        return frames;
    }

private:
    uint32_t FSeed = 12345;
    uint8_t next()
    {
        FSeed = FSeed * 1103515245u + 12345u;
        return uint8_t(FSeed >> 16);
    }
    void put(QByteArray& b, int v) { b.append(char(uint8_t(v))); }
    void data(QByteArray& b, int n, bool bcd)
    {
        for (int i = 0; i < n; ++i)
            put(b, bcd ? ((next() % 10) << 4 | next() % 10) : next());
    }

    // The primary VIFs that carry a plain value (dates and the special VIFs
    // have records of their own below).
    uint8_t plainVif()
    {
        for (;;) {
            const uint8_t v = next() & 0x7F;
            if (v < 0x6C || (v >= 0x70 && v <= 0x7A))
                return v;
        }
    }

    void record(QByteArray& b, int n)
    {
        static const int fixedFields[] = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 14, 0};
        static const int lengths[] = {1, 2, 3, 4, 4, 6, 8, 1, 2, 3, 4, 6, 0};
        switch (n % 12) {
        case 0: // storage, tariff and subunit in two DIFEs
            put(b, 0x84 | 0x40);
            put(b, 0x80 | (next() & 0x7F));
            put(b, next() & 0x7F);
            put(b, 0x13);
            data(b, 4, false);
            break;
        case 1: // date, type G
            put(b, 0x02);
            put(b, 0x6C);
            data(b, 2, false);
            break;
        case 2: // date and time, type F
            put(b, 0x04);
            put(b, 0x6D);
            data(b, 4, false);
            break;
        case 3: // the FDh table
        {
            const int df = 1 + next() % 4; // 8 to 32 bits: as many bytes as the code
            put(b, df);
            put(b, 0xFD);
            put(b, next() & 0x7F);
            data(b, df, false);
            break;
        }
        case 4: // the FBh table, then a combinable VIFE
            put(b, 0x02);
            put(b, 0xFB);
            put(b, 0x80 | (next() & 0x7F));
            put(b, next() & 0x7F);
            data(b, 2, false);
            break;
        case 5: // a primary VIF with two combinable VIFEs
            put(b, 0x04);
            put(b, 0x80 | plainVif());
            put(b, 0x80 | (next() & 0x7F));
            put(b, next() & 0x7F);
            data(b, 4, false);
            break;
        case 6: // variable-length BCD
            put(b, 0x0D);
            put(b, plainVif());
            put(b, 0xC4);
            data(b, 4, true);
            break;
        case 7: // variable-length text
            put(b, 0x0D);
            put(b, 0x78);
            put(b, 8);
            for (int i = 0; i < 8; ++i)
                put(b, 'A' + next() % 26);
            break;
        default: { // every fixed data field code in turn
            const int k = (n / 12 + n % 12) % int(std::size(fixedFields));
            put(b, fixedFields[k] | (next() & 0x30));
            put(b, plainVif());
            data(b, lengths[k], fixedFields[k] >= 9);
            break;
        }
        }
    }
};

const std::vector<QByteArray>& Corpus()
{
    static const std::vector<QByteArray> frames = TFrameMaker().Make();
    return frames;
}

int recordsIn(const std::vector<QByteArray>& frames)
{
    int n = 0;
    for (const QByteArray& f : frames) {
        TSlave_MBus device;
        n += Decode_Data_Records(f, mtWired, device.List_Var).Kept;
    }
    return n;
}

void Decode(benchmark::State& state)
{
    const std::vector<QByteArray>& frames = Corpus();
    for (auto _ : state) {
        for (const QByteArray& f : frames) {
            auto* device = new TSlave_MBus;
            Decode_Data_Records(f, mtWired, device->List_Var);
            benchmark::DoNotOptimize(device->List_Var.data());
            device->Destry();
        }
    }
    state.SetItemsProcessed(state.iterations() * Frames);
    state.counters["records/s"] =
        benchmark::Counter(double(recordsIn(frames)) * double(state.iterations()), benchmark::Counter::kIsRate);
}

// The plain walk: the value and its text, nothing else (the corpus is
// well-formed, so it checks no bounds beyond the frame).
void Reference(benchmark::State& state)
{
    const std::vector<QByteArray>& frames = Corpus();
    static const int lengths[16] = {0, 1, 2, 3, 4, 4, 6, 8, 0, 1, 2, 3, 4, 0, 6, 0};
    for (auto _ : state) {
        qsizetype chars = 0;
        for (const QByteArray& f : frames) {
            const auto* p = reinterpret_cast<const uint8_t*>(f.constData());
            const int size = int(f.size());
            int i = 0;
            while (i < size) {
                const uint8_t dif = p[i++];
                if (dif & 0x80)
                    while (p[i++] & 0x80) {
                    }
                const uint8_t vif = p[i++];
                uint8_t first = 0;
                if (vif & 0x80) {
                    first = p[i];
                    while (p[i++] & 0x80) {
                    }
                }
                const uint8_t df = dif & 0x0F;
                int len = lengths[df];
                uint8_t lvar = 0;
                if (df == 13) {
                    lvar = p[i++];
                    len = lvar < 0xC0 ? lvar : (lvar & 0x0F);
                }
                const long double v = Scale_Value(Raw_Record_Value(df, lvar, p + i), Value_Exponent(vif, first));
                chars += FloatToStr(double(v)).size();
                i += len;
            }
        }
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * Frames);
}

void Floor(benchmark::State& state)
{
    const std::vector<QByteArray>& frames = Corpus();
    std::vector<char> out(64 * 1024);
    for (auto _ : state) {
        size_t at = 0;
        for (const QByteArray& f : frames) {
            if (at + size_t(f.size()) > out.size())
                at = 0;
            std::memcpy(out.data() + at, f.constData(), size_t(f.size()));
            at += size_t(f.size());
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * Frames);
}

// ---------------------------------------------------------------------------
// (b) the network file

struct TNetworkFile {
    QTemporaryDir Dir;
    QString Path;
    TNetworkFile()
    {
        Path = PathJoin(Dir.path(), QStringLiteral("M_Bus.xml"));
        TNodoList nodes;
        for (int n = 0; n < 250; ++n) {
            auto node = std::make_unique<TNodo>();
            node->Enable = true;
            node->Description = QStringLiteral("Meter %1").arg(n);
            node->Node_ID_Primary = n % 250 + 1;
            node->Node_ID_Secondary = 10000000 + n;
            node->MBus_Type = uint8_t(n % 2);
            node->wMBus_ManID = QStringLiteral("$442");
            node->wMBus_Add = QString::number(20000000 + n);
            for (int k = 0; k < 16; ++k)
                node->wMBus_Key[size_t(k)] = QString::number(k);
            for (int v = 0; v < 20; ++v) {
                auto var = std::make_unique<TVariabile>();
                var->Enable = true;
                var->Description = QStringLiteral("Value %1").arg(v);
                var->Type_Of_Data = v % 26;
                var->Dimension = v % 8;
                var->Length = 4;
                var->Position = uint8_t(v + 1);
                node->Var_List.push_back(std::move(var));
            }
            nodes.push_back(std::move(node));
        }
        Write_MBus_Network(Path, nodes);
    }
};

TNetworkFile& Network()
{
    static TNetworkFile f;
    return f;
}

void NetworkThroughTheModel(benchmark::State& state)
{
    const QString path = Network().Path;
    for (auto _ : state) {
        const TNodoList nodes = Read_MBus_Network(path);
        const QByteArray doc = MBus_Network_Document(nodes);
        benchmark::DoNotOptimize(doc.constData());
    }
}

// The two halves of the model's path, to see where its time goes.
void NetworkReadOnly(benchmark::State& state)
{
    const QString path = Network().Path;
    for (auto _ : state) {
        const TNodoList nodes = Read_MBus_Network(path);
        benchmark::DoNotOptimize(nodes.data());
    }
}

void NetworkWriteOnly(benchmark::State& state)
{
    const TNodoList nodes = Read_MBus_Network(Network().Path);
    for (auto _ : state) {
        const QByteArray doc = MBus_Network_Document(nodes);
        benchmark::DoNotOptimize(doc.constData());
    }
}

void NetworkThroughPugixml(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(Network().Path);
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_file(path.constData(), pugi::parse_default | pugi::parse_comments);
        std::ostringstream out;
        doc.save(out, "\t", pugi::format_default | pugi::format_no_declaration);
        const std::string s = out.str();
        benchmark::DoNotOptimize(s.data());
    }
}

} // namespace

BENCHMARK(Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(Reference)->Unit(benchmark::kMillisecond);
BENCHMARK(Floor)->Unit(benchmark::kMillisecond);
BENCHMARK(NetworkThroughTheModel)->Unit(benchmark::kMillisecond);
BENCHMARK(NetworkThroughPugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(NetworkReadOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(NetworkWriteOnly)->Unit(benchmark::kMillisecond);

// Ends non-zero when decoding takes more than six times the reference walk,
// or the node model more than three times pugixml alone.
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bool ok = true;
    const double decode = reporter.Ratio("Decode", "Reference");
    if (decode >= 0) {
        std::printf("decode / reference: %.2f (limit 6.00)\n", decode);
        ok = ok && decode <= 6.0;
    }
    const double floor = reporter.Ratio("Reference", "Floor");
    if (floor >= 0)
        std::printf("reference / memcpy floor: %.1f\n", floor);
    const double network = reporter.Ratio("NetworkThroughTheModel", "NetworkThroughPugixml");
    if (network >= 0) {
        std::printf("node model / pugixml: %.2f (limit 3.00)\n", network);
        ok = ok && network <= 3.0;
    }
    return ok ? 0 : 1;
}
