// Scrolling a large expanded tree: the lazy tree against QTreeView over a
// minimal model of the same shape (1 000 top-level rows with 1 000 children
// each, all expanded) in a 1920 x 1080 view. Each side pages down 1 000 times
// and asks for the rows at the top and bottom edges and their rectangles.
// The lazy tree's position cache is complete first (its build time is
// reported). Ours must stay within 1.5 times the peer; node lookups at random
// heights with the cache must be at least 50 times faster than without.
#include "TwoLevelModel.h"
#include "BenchRatio.h"
#include "platform/controls/Forms.h"
#include "treeview/LazyTrees.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QScrollBar>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>

namespace {
constexpr int kParents = 1000;
constexpr int kChildren = 1000;
constexpr int kSteps = 1000;

class TBenchTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    using TBaseLazyTree::InvalidatePositionCache;
    using TBaseLazyTree::StartCacheValidation;
    using TBaseLazyTree::StopCacheValidation;
};

// One expanded tree in a window, shared by the lazy tree's benchmarks.
struct TFixture {
    TForm* Form = nullptr;
    TBenchTree* Tree = nullptr;
    double CacheBuildMs = 0;
    TFixture() {
        Form = NewObject<TForm>(nullptr);
        Form->SetBounds(0, 0, 2000, 1200);
        Tree = NewObject<TBenchTree>(Form);
        Tree->SetParent(Form);
        Tree->SetBorderStyle(bsNone);
        Tree->HandleNeeded();
        Tree->SetBounds(0, 0, 1920, 1080);
        Tree->BeginUpdate();
        Tree->SetRootNodeCount(kParents);
        for (PLazyNode p = Tree->GetFirst(); p; p = p->NextSibling) Tree->SetChildCount(p, kChildren);
        Tree->EndUpdate();
        Tree->FullExpand();
        const auto start = std::chrono::steady_clock::now();
        Tree->WaitForCache();
        CacheBuildMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
};

TFixture& Fixture() {
    static TFixture f;
    return f;
}

void BM_LazyTree_PageDown(benchmark::State& state) {
    TFixture& f = Fixture();
    TBaseLazyTree* t = f.Tree;
    if (!t->TreeStates().Contains(tsUseCache)) state.SkipWithError("the position cache is not in use");
    for (auto _ : state) {
        t->SetOffsetY(0);
        int64_t sum = 0;
        for (int i = 0; i < kSteps; ++i) {
            t->SetOffsetY(t->OffsetY() - t->ClientHeight());
            PLazyNode top = t->TopNode();
            PLazyNode bottom = t->BottomNode();
            sum += t->GetDisplayRect(top, NoColumn, false).Top + t->GetDisplayRect(bottom, NoColumn, false).Bottom;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["cache_build_ms"] = f.CacheBuildMs;
}
BENCHMARK(BM_LazyTree_PageDown)->Unit(benchmark::kMillisecond)->Iterations(5);


void BM_QTreeView_PageDown(benchmark::State& state) {
    TTwoLevelModel model(kParents, kChildren);
    QTreeView view;
    view.resize(1920, 1080);
    view.setModel(&model);
    view.expandAll();
    view.show();
    QApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(0);
        int64_t sum = 0;
        const int h = view.viewport()->height();
        for (int i = 0; i < kSteps; ++i) {
            bar->setValue(bar->value() + bar->pageStep());
            const QModelIndex top = view.indexAt(QPoint(0, 0));
            const QModelIndex bottom = view.indexAt(QPoint(0, h - 1));
            sum += view.visualRect(top).top() + view.visualRect(bottom).bottom();
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_QTreeView_PageDown)->Unit(benchmark::kMillisecond)->Iterations(5);

std::vector<int> RandomHeights(int n) {
    std::mt19937 rng(20261210);
    std::uniform_int_distribution<int> d(0, (kParents + kParents * kChildren) * 18 - 1);
    std::vector<int> out(n);
    for (int& y : out) y = d(rng);
    return out;
}

void BM_GetNodeAt_WithCache(benchmark::State& state) {
    TBenchTree* t = Fixture().Tree;
    t->InvalidatePositionCache();
    t->StartCacheValidation();
    t->WaitForCache();
    if (!t->TreeStates().Contains(tsUseCache)) state.SkipWithError("the position cache is not in use");
    const std::vector<int> ys = RandomHeights(1000);
    for (auto _ : state) {
        int top = 0;
        for (int y : ys) benchmark::DoNotOptimize(t->GetNodeAt(0, y, false, top));
    }
    state.counters["per_lookup_us"] =
        benchmark::Counter(double(ys.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                  benchmark::Counter::kInvert);
}
BENCHMARK(BM_GetNodeAt_WithCache)->Unit(benchmark::kMicrosecond)->Iterations(5);

void BM_GetNodeAt_WithoutCache(benchmark::State& state) {
    TBenchTree* t = Fixture().Tree;
    t->StopCacheValidation();
    const std::vector<int> ys = RandomHeights(100);
    for (auto _ : state) {
        int top = 0;
        for (int y : ys) benchmark::DoNotOptimize(t->GetNodeAt(0, y, false, top));
    }
    state.counters["per_lookup_us"] =
        benchmark::Counter(double(ys.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                  benchmark::Counter::kInvert);
    t->InvalidatePositionCache();
    t->StartCacheValidation();
}
BENCHMARK(BM_GetNodeAt_WithoutCache)->Unit(benchmark::kMicrosecond)->Iterations(1);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool ok = reporter.Within("BM_LazyTree_PageDown/iterations:5", "BM_QTreeView_PageDown/iterations:5", 1.5,
                              "page-down: lazy tree / QTreeView");
    // Per lookup: 1000 lookups with the cache against 100 without.
    const double with = reporter.Ratio("BM_GetNodeAt_WithCache/iterations:5", "BM_GetNodeAt_WithoutCache/iterations:1");
    if (with > 0) {
        const double speedup = 1.0 / (with / 10.0);
        std::printf("node lookup: the cache is %.1f times faster per lookup (at least 50)\n", speedup);
        ok = ok && speedup >= 50;
    }
    benchmark::Shutdown();
    return ok ? 0 : 1;
}
