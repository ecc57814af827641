// The lazy tree against QStandardItemModel with QTreeView doing the same work
// in one run: 1 000 top-level nodes with 1 000 children each are added,
// expanded, walked from top to bottom, sorted by precomputed random 32-bit
// keys and cleared. Each phase is reported in milliseconds, with the heap
// bytes per node the built tree holds. The model is filled before the view
// is set on it and cleared after the view lets it go.
// Adding alone is measured at 1,000, 100,000 and 1,000,000 nodes against the
// model filled the same way, by processor time (medians of five); at a
// million nodes the tree must not take longer.
#include "platform/controls/Forms.h"
#include "treeview/LazyTrees.h"

#include "BenchMain.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
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
        view.setUniformRowHeights(true);
        TPhaseClock clock;
        // Filled before the view is set on it, as a Qt developer fills a
        // large model.
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
        view.setModel(&model);
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
        // Cleared once the view no longer watches it.
        view.setModel(nullptr);
        model.clear();
        const double clear = clock.Lap();
        if (visible != kNodes) state.SkipWithError("the walk missed nodes");
        Report(state, add, expand, walk, sort, clear, bytes);
    }
}
BENCHMARK(BM_QStandardItemModel_AddExpandWalkSortClear)->Unit(benchmark::kMillisecond)->Iterations(1);

// --- adding alone, at 1,000, 100,000 and 1,000,000 nodes side by side:
// parents of 999 children each.

void BM_LazyTree_Add(benchmark::State& state) {
    const int nodes = int(state.range(0));
    const int parents = nodes / 1000;
    for (auto _ : state) {
        state.PauseTiming();
        auto* tree = NewObject<TLazyStringTree>(nullptr);
        tree->SetNodeDataSize(sizeof(uint32_t));
        state.ResumeTiming();
        tree->BeginUpdate();
        uint32_t k = 0;
        for (int p = 0; p < parents; ++p) {
            PLazyNode parent = tree->AddChild(nullptr);
            std::memcpy(tree->GetNodeData(parent), &k, sizeof k);
            ++k;
            for (int c = 0; c < 999; ++c) {
                PLazyNode child = tree->AddChild(parent);
                std::memcpy(tree->GetNodeData(child), &k, sizeof k);
                ++k;
            }
        }
        tree->EndUpdate();
        state.PauseTiming();
        if (int(tree->TotalCount()) != nodes) state.SkipWithError("nodes missing");
        tree->Free();
        state.ResumeTiming();
    }
}

void BM_QStandardItemModel_Add(benchmark::State& state) {
    const int nodes = int(state.range(0));
    const int parents = nodes / 1000;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<QStandardItemModel>();
        auto view = std::make_unique<QTreeView>();
        view->setUniformRowHeights(true);
        state.ResumeTiming();
        uint32_t k = 0;
        for (int p = 0; p < parents; ++p) {
            auto* parent = new QStandardItem();
            parent->setData(k++, Qt::UserRole);
            QList<QStandardItem*> children;
            children.reserve(999);
            for (int c = 0; c < 999; ++c) {
                auto* child = new QStandardItem();
                child->setData(k++, Qt::UserRole);
                children.append(child);
            }
            parent->appendRows(children);
            model->appendRow(parent);
        }
        view->setModel(model.get());
        state.PauseTiming();
        view->setModel(nullptr);
        model->clear();
        view.reset();
        model.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_LazyTree_Add)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
    ->Iterations(1)->Repetitions(5);
BENCHMARK(BM_QStandardItemModel_Add)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
    ->Iterations(1)->Repetitions(5);
}  // namespace

// Ends non-zero when adding a million nodes takes longer than the model.
int main(int argc, char** argv) {
    return RunRatioBenchmarks<TCpuRatioReporter>(
        argc, argv,
        [](const TCpuRatioReporter& reporter) {
            bool ok = true;
            for (const char* n : {"1000", "100000", "1000000"}) {
                const std::string a = std::string("BM_LazyTree_Add/") + n + "/iterations:1";
                const std::string b = std::string("BM_QStandardItemModel_Add/") + n + "/iterations:1";
                const std::string what = std::string("adding ") + n + " nodes against QStandardItemModel";
                const double limit = std::strcmp(n, "1000000") == 0 ? 1.0 : 1e9;
                if (limit < 1e9)
                    ok &= reporter.Within(a.c_str(), b.c_str(), limit, what.c_str());
                else if (const double r = reporter.Ratio(a.c_str(), b.c_str()); r >= 0)
                    std::printf("%s: %.3f\n", what.c_str(), r);
            }
            return ok;
        },
        [] { Application(); });
}
