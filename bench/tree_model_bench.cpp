// The lazy tree against QStandardItemModel with QTreeView doing the same work
// in one run: 1 000 top-level nodes with 1 000 children each are added,
// expanded, walked from top to bottom, sorted by precomputed random 32-bit
// keys and cleared. Each phase is reported in milliseconds, with the heap
// bytes per node the built tree holds.
#include "platform/controls/Forms.h"
#include "treeview/LazyTrees.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {
constexpr int kParents = 1000;
constexpr int kChildren = 1000;
constexpr int kNodes = kParents + kParents * kChildren;

std::vector<uint32_t> Keys() {
    std::mt19937 rng(20261210);
    std::vector<uint32_t> keys(kNodes);
    for (uint32_t& k : keys) k = rng();
    return keys;
}

size_t HeapInUse() { return mallinfo2().uordblks; }

struct TPhaseClock {
    std::chrono::steady_clock::time_point Start = std::chrono::steady_clock::now();
    double Lap() {
        const auto now = std::chrono::steady_clock::now();
        const double ms = std::chrono::duration<double, std::milli>(now - Start).count();
        Start = now;
        return ms;
    }
};

void Report(benchmark::State& state, double add, double expand, double walk, double sort, double clear,
            double bytesPerNode) {
    state.counters["add_ms"] = add;
    state.counters["expand_ms"] = expand;
    state.counters["walk_ms"] = walk;
    state.counters["sort_ms"] = sort;
    state.counters["clear_ms"] = clear;
    state.counters["total_ms"] = add + expand + walk + sort + clear;
    state.counters["bytes_per_node"] = bytesPerNode;
}

void BM_LazyTree_AddExpandWalkSortClear(benchmark::State& state) {
    const std::vector<uint32_t> keys = Keys();
    for (auto _ : state) {
        const size_t before = HeapInUse();
        auto* tree = NewObject<TLazyStringTree>(nullptr);
        tree->SetNodeDataSize(sizeof(uint32_t));
        TPhaseClock clock;
        tree->BeginUpdate();
        int k = 0;
        for (int p = 0; p < kParents; ++p) {
            PLazyNode parent = tree->AddChild(nullptr);
            std::memcpy(tree->GetNodeData(parent), &keys[k++], sizeof(uint32_t));
            for (int c = 0; c < kChildren; ++c) {
                PLazyNode child = tree->AddChild(parent);
                std::memcpy(tree->GetNodeData(child), &keys[k++], sizeof(uint32_t));
            }
        }
        tree->EndUpdate();
        const double add = clock.Lap();
        const double bytes = double(HeapInUse() - before) / kNodes;
        tree->FullExpand();
        const double expand = clock.Lap();
        int visible = 0;
        for (PLazyNode n = tree->GetFirstVisible(); n; n = tree->GetNextVisible(n)) ++visible;
        benchmark::DoNotOptimize(visible);
        const double walk = clock.Lap();
        tree->OnCompareNodes = [](TBaseLazyTree* t, PLazyNode a, PLazyNode b, TColumnIndex, int& r) {
            const uint32_t ka = *static_cast<const uint32_t*>(t->GetNodeData(a));
            const uint32_t kb = *static_cast<const uint32_t*>(t->GetNodeData(b));
            r = ka < kb ? -1 : ka > kb ? 1 : 0;
        };
        tree->SortTree(NoColumn, sdAscending);
        const double sort = clock.Lap();
        tree->Clear();
        const double clear = clock.Lap();
        if (visible != kNodes) state.SkipWithError("the walk missed nodes");
        Report(state, add, expand, walk, sort, clear, bytes);
        tree->Free();
    }
}
BENCHMARK(BM_LazyTree_AddExpandWalkSortClear)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_QStandardItemModel_AddExpandWalkSortClear(benchmark::State& state) {
    const std::vector<uint32_t> keys = Keys();
    for (auto _ : state) {
        const size_t before = HeapInUse();
        QStandardItemModel model;
        QTreeView view;
        view.resize(1920, 1080);
        view.setModel(&model);
        TPhaseClock clock;
        int k = 0;
        for (int p = 0; p < kParents; ++p) {
            auto* parent = new QStandardItem();
            parent->setData(keys[k++], Qt::UserRole);
            for (int c = 0; c < kChildren; ++c) {
                auto* child = new QStandardItem();
                child->setData(keys[k++], Qt::UserRole);
                parent->appendRow(child);
            }
            model.appendRow(parent);
        }
        const double add = clock.Lap();
        const double bytes = double(HeapInUse() - before) / kNodes;
        view.expandAll();
        const double expand = clock.Lap();
        int visible = 0;
        for (QModelIndex i = model.index(0, 0); i.isValid(); i = view.indexBelow(i)) ++visible;
        benchmark::DoNotOptimize(visible);
        const double walk = clock.Lap();
        model.setSortRole(Qt::UserRole);
        model.sort(0);
        const double sort = clock.Lap();
        model.clear();
        const double clear = clock.Lap();
        if (visible != kNodes) state.SkipWithError("the walk missed nodes");
        Report(state, add, expand, walk, sort, clear, bytes);
    }
}
BENCHMARK(BM_QStandardItemModel_AddExpandWalkSortClear)->Unit(benchmark::kMillisecond)->Iterations(1);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
