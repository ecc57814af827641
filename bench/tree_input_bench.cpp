// Keyboard navigation in a large expanded tree: the lazy tree against
// QTreeView over a model of the same shape (1 000 top-level rows with 1 000
// children each, all expanded) in a 1920 x 1080 view. Each side takes 10 000
// Down keys (press and release): ours through the window procedure (focus,
// selection, scrolling into view, invalidation; painting is not counted),
// the peer through QApplication::sendEvent. Ours must stay within 1.5 times
// the peer. Selecting and clearing all 1 000 000 nodes is reported too.
#include "TwoLevelModel.h"
#include "BenchRatio.h"
#include "platform/controls/Forms.h"
#include "treeview/LazyTrees.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QKeyEvent>
#include <QTreeView>
#include <benchmark/benchmark.h>

namespace {
constexpr int kParents = 1000;
constexpr int kChildren = 1000;
constexpr int kKeys = 10000;

struct TFixture {
    TForm* Form = nullptr;
    TLazyStringTree* Tree = nullptr;
    TFixture() {
        Form = NewObject<TForm>(nullptr);
        Form->SetBounds(0, 0, 2000, 1200);
        Form->Show();
        Tree = NewObject<TLazyStringTree>(Form);
        Tree->SetParent(Form);
        Tree->SetBorderStyle(bsNone);
        Tree->HandleNeeded();
        Tree->SetBounds(0, 0, 1920, 1080);
        Tree->BeginUpdate();
        Tree->SetRootNodeCount(kParents);
        for (PLazyNode p = Tree->GetFirst(); p; p = p->NextSibling) Tree->SetChildCount(p, kChildren);
        Tree->EndUpdate();
        Tree->FullExpand();
        Tree->WaitForCache();
        Tree->SetFocus();
    }
};

TFixture& Fixture() {
    static TFixture f;
    return f;
}

void BM_LazyTree_DownKeys(benchmark::State& state) {
    TFixture& f = Fixture();
    TBaseLazyTree* t = f.Tree;
    for (auto _ : state) {
        state.PauseTiming();
        t->SetFocusedNode(t->GetFirst());
        t->SetOffsetY(0);
        state.ResumeTiming();
        for (int i = 0; i < kKeys; ++i) {
            t->Perform(WM_KEYDOWN, VK_DOWN, 1);
            t->Perform(WM_KEYUP, VK_DOWN, LPARAM(0xC0000001));
        }
        benchmark::DoNotOptimize(t->FocusedNode());
    }
    if (t->AbsoluteIndex(t->FocusedNode()) != uint32_t(kKeys)) state.SkipWithError("the focus did not move");
}
BENCHMARK(BM_LazyTree_DownKeys)->Unit(benchmark::kMillisecond)->Iterations(3);


void BM_QTreeView_DownKeys(benchmark::State& state) {
    TTwoLevelModel model(kParents, kChildren);
    QTreeView view;
    view.resize(1920, 1080);
    view.setModel(&model);
    view.setUniformRowHeights(true);
    view.expandAll();
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        view.setCurrentIndex(model.index(0, 0, {}));
        state.ResumeTiming();
        for (int i = 0; i < kKeys; ++i) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QApplication::sendEvent(&view, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
            QApplication::sendEvent(&view, &release);
        }
        benchmark::DoNotOptimize(view.currentIndex());
    }
}
BENCHMARK(BM_QTreeView_DownKeys)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LazyTree_SelectAllClear(benchmark::State& state) {
    TBaseLazyTree* t = Fixture().Tree;
    t->TreeOptions()->SetSelectionOptions(t->TreeOptions()->SelectionOptions() + TLTSelectionOptions{toMultiSelect});
    for (auto _ : state) {
        t->SelectAll(false);
        t->ClearSelection();
    }
}
BENCHMARK(BM_LazyTree_SelectAllClear)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool ok = reporter.Within("BM_LazyTree_DownKeys/iterations:3", "BM_QTreeView_DownKeys/iterations:3", 1.5,
                                    "down keys: lazy tree / QTreeView");
    benchmark::Shutdown();
    return ok ? 0 : 1;
}
