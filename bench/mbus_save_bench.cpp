// (a) Radio telegrams through the engine's intake (identity lookup, list
// bookkeeping, the row copied for the window, the decoding) against the
// decoder alone on the same records: at most 2.
// (b) The wired writer of the network file against building and saving the
// same document with pugixml directly: at most 2.
// Both compare processor time, medians of five repetitions: on a machine
// other work shares, wall time flapped around the limits.
#include "mbus/MBusDecoder.h"
#include "mbus/MBusScanSave.h"
#include "mbus/UMBusScanDecode.h"

#include <QTemporaryDir>
#include "BenchRatio.h"
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int Meters = 1000;
constexpr int Telegrams = 10000;
const QByteArray Records =
    QByteArray::fromHex("0413102700000213E80304FD1700000000426CE1F1");

// 10,000 first-kind CI 7Ah telegrams, each meter ten times.
std::vector<QByteArray> telegrams()
{
    std::vector<QByteArray> all;
    all.reserve(Telegrams);
    for (int i = 0; i < Telegrams; ++i) {
        const uint32_t id = 0x10000000u + uint32_t(i % Meters);
        QByteArray t;
        t.append(char(0)).append(char(0x44)).append(char(0x42)).append(char(0x04));
        for (int k = 0; k < 4; ++k)
            t.append(char(id >> (8 * k)));
        t.append(char(1)).append(char(7)).append(char(0x7A)).append(char(i)).append(char(0)).append(char(0));
        t.append(char(0));
        t.append(Records);
        t.append(char(0)).append(char(0x50));
        t[0] = char(t.size() - 3);
        all.push_back(t);
    }
    return all;
}

void Intake(benchmark::State& state)
{
    const std::vector<QByteArray> all = telegrams();
    TMBusScanDecode engine(true);
    engine.UpdateListWirelessSlave = [](int32_t, const TWirelessSlaveRow* row) { benchmark::DoNotOptimize(row); };
    for (auto _ : state) {
        state.PauseTiming();
        List_Slaves_wMBus.Free_All();
        state.ResumeTiming();
        for (const QByteArray& t : all)
            engine.Process_Wireless_Frame(t);
    }
    List_Slaves_wMBus.Free_All();
    state.SetItemsProcessed(state.iterations() * Telegrams);
}

void DecoderAlone(benchmark::State& state)
{
    const std::vector<QByteArray> all = telegrams();
    for (auto _ : state) {
        for (const QByteArray& t : all) {
            QList<TVariable_MBus*> list;
            Decode_Data_Records(QByteArrayView(t).sliced(15, t.size() - 17), mtWireless, list);
            qDeleteAll(list);
        }
    }
    state.SetItemsProcessed(state.iterations() * Telegrams);
}

void fillWired()
{
    List_Slaves_MBus.Free_All();
    for (int d = 0; d < 250; ++d) {
        auto* s = new TSlave_MBus;
        s->Primary_Addresss = uint16_t(d % 250 + 1);
        s->Secondary_Addresss = QString::number(10000000 + d);
        s->Manufacture = 0x0442;
        QByteArray twenty;
        for (int r = 0; r < 5; ++r) // 20 records
            twenty.append(Records);
        Decode_Data_Records(twenty, mtWired, s->List_Var);
        List_Slaves_MBus.Add(s);
    }
}

void WiredWriter(benchmark::State& state)
{
    fillWired();
    QTemporaryDir dir;
    TSaveConfXML in;
    in.File_Name = dir.path() + QStringLiteral("/M_Bus.xml");
    for (auto _ : state)
        Save_XML_Conf_Wired(in, List_Slaves_MBus);
    List_Slaves_MBus.Free_All();
}

void WiredPugixml(benchmark::State& state)
{
    fillWired();
    QTemporaryDir dir;
    const std::string path = (dir.path() + QStringLiteral("/M_Bus.xml")).toStdString();
    for (auto _ : state) {
        pugi::xml_document doc;
        pugi::xml_node root = doc.append_child("M-Bus_Network");
        int reg = 1;
        auto devices = List_Slaves_MBus.Lock();
        for (const TSlave_MBus* d : *devices) {
            pugi::xml_node n = root.append_child("Nodo");
            n.append_attribute("Enable_Node") = "1";
            n.append_attribute("ID_Primary") = std::to_string(d->Primary_Addresss).c_str();
            n.append_attribute("ID_Secondary") = d->Secondary_Addresss.toUtf8().constData();
            n.append_attribute("Node_ID_Type") = "0";
            n.append_attribute("Descrizione") = "ABB";
            n.append_attribute("Send_SND_NKE") = "0";
            n.append_attribute("Reset_App") = "0";
            n.append_attribute("Cut_After") = "2";
            int pos = 0;
            for (const TVariable_MBus* v : d->List_Var) {
                pugi::xml_node e = n.append_child("Variabile");
                const TMBusRegisterUse use = MBus_Register_Use(v->dimension, v->nbyte);
                e.append_attribute("Enable") = "1";
                e.append_attribute("Position") = ++pos;
                e.append_attribute("Desc") = (v->Desc_Type_Data + QStringLiteral(" (U0S0T0)")).toUtf8().constData();
                e.append_attribute("Type") = v->type_data;
                e.append_attribute("VIF_ASCII") = "";
                e.append_attribute("Fun_Field") = v->function_fild;
                e.append_attribute("Length") = 0;
                e.append_attribute("ModReg") = reg;
                reg += use.Registers;
                e.append_attribute("Dim") = use.Dim;
                e.append_attribute("Unit") = v->device;
                e.append_attribute("StoNumber") = (long long)v->storage_number;
                e.append_attribute("Tariff") = v->tarif;
                e.append_attribute("VIFE") = v->Type_Data_Vife;
                e.append_attribute("ModScale") = "0";
                e.append_attribute("BCDtoINT") = "0";
                e.append_attribute("SWAP") = "0";
            }
        }
        doc.save_file(path.c_str(), "\t", pugi::format_default | pugi::format_no_declaration);
    }
    List_Slaves_MBus.Free_All();
}


} // namespace

BENCHMARK(Intake)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(DecoderAlone)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(WiredWriter)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(WiredPugixml)->Unit(benchmark::kMillisecond)->Repetitions(5);

// Ends non-zero when a ratio passes its limit.
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TCpuRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bool ok = reporter.Within("Intake", "DecoderAlone", 2.0, "telegram intake / decoder alone (processor time)");
    ok &= reporter.Within("WiredWriter", "WiredPugixml", 2.0, "wired writer / pugixml (processor time)");
    return ok ? 0 : 1;
}
