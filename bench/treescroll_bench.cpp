// The lazy string tree's one-row scroll on a shown 1920 x 1080 window against
// a shown QTreeView with uniform row heights over a model of the same shape
// (1,000 expanded parents with 100 children each, a text per node). Each
// side pays for the scroll and the processing of the paint it asks for, up
// to the window's backing store: at most 0.7 times the view. Times are the
// processor time of the whole process (the toolkit paints with helper
// threads), medians of repetitions run interleaved.
#include "TwoLevelModel.h"
#include "platform/controls/FormHost.h"
#include "platform/controls/Forms.h"
#include "treeview/LazyTrees.h"

#include <QApplication>
#include <QScrollBar>
#include <QTreeView>
#include "BenchMain.h"
#include "BenchMedian.h"
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {
constexpr int kParents = 1000, kChildren = 100;
constexpr int kW = 1920, kH = 1080;
constexpr int kScrollSteps = 200;
constexpr int kRepetitions = 15;

void ProcessPaints() { QApplication::processEvents(); }

QString TextOf(int parent, int child)
{
    return child < 0 ? QStringLiteral("Device %1").arg(parent)
                     : QStringLiteral("Device %1 / register %2").arg(parent).arg(child);
}

struct TBenchTree {
    std::unique_ptr<TForm> Form;
    TLazyStringTree* Tree = nullptr;
    TBenchTree()
    {
        Form.reset(NewObject<TForm>(nullptr));
        Form->SetBorderStyle(bsNone);
        Form->SetClientSize(kW, kH);
        Tree = NewObject<TLazyStringTree>(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBorderStyle(bsNone);
        Tree->SetBounds(0, 0, kW, kH);
        Tree->OnGetText = [](TBaseLazyTree* t, PLazyNode n, TColumnIndex, TVSTTextType, QString& text) {
            text = t->GetNodeLevel(n) == 0 ? TextOf(int(n->Index), -1) : TextOf(int(n->Parent->Index), int(n->Index));
        };
        Tree->BeginUpdate();
        Tree->SetRootNodeCount(kParents);
        for (PLazyNode p = Tree->GetFirst(); p; p = p->NextSibling)
            Tree->SetChildCount(p, kChildren);
        Tree->EndUpdate();
        Tree->FullExpand();
        Form->Show();
        Tree->WaitForCache();
        ProcessPaints();
    }
};

std::unique_ptr<TBenchTree> gTree;

TBenchTree& Bench()
{
    if (!gTree)
        gTree = std::make_unique<TBenchTree>();
    return *gTree;
}

// The peer's model: the benches' two-level model (its ids spread so the
// view's index hash stays fast) with a text per node, made when asked.
class TTextTreeModel : public TTwoLevelModel {
public:
    TTextTreeModel() : TTwoLevelModel(kParents, kChildren) {}
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        const QModelIndex up = parent(index);
        return up.isValid() ? TextOf(up.row(), index.row()) : TextOf(index.row(), -1);
    }
};

struct TPeer {
    TTextTreeModel Model;
    QTreeView View;
    TPeer()
    {
        View.setUniformRowHeights(true);
        View.setHeaderHidden(true);
        View.setModel(&Model);
        View.expandAll();
        View.setWindowFlags(Qt::FramelessWindowHint);
        View.setGeometry(0, 0, kW, kH);
        View.show();
        ProcessPaints();
    }
};

std::unique_ptr<TPeer> gPeer;

TPeer& Peer()
{
    if (!gPeer)
        gPeer = std::make_unique<TPeer>();
    return *gPeer;
}

// One row down, then up for the next step: each step scrolls one row.
void BM_LazyTreeScrollOneRow(benchmark::State& state)
{
    TBenchTree& b = Bench();
    TBaseLazyTree* t = b.Tree;
    const int row = int(t->DefaultNodeHeight());
    t->SetOffsetY(-100 * row);
    ProcessPaints();
    for (auto _ : state) {
        for (int i = 0; i < kScrollSteps; ++i) {
            t->SetOffsetY(t->OffsetY() + (i % 2 == 0 ? -row : row));
            ProcessPaints();
        }
        benchmark::ClobberMemory();
    }
    state.counters["offset"] = t->OffsetY();
    if (!b.Form->UpdateRegion().isEmpty())
        state.SkipWithError("the tree's paint was not processed");
}
BENCHMARK(BM_LazyTreeScrollOneRow)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->MeasureProcessCPUTime();

void BM_QTreeViewScrollOneRow(benchmark::State& state)
{
    QScrollBar* bar = Peer().View.verticalScrollBar();
    bar->setValue(100);
    ProcessPaints();
    for (auto _ : state) {
        for (int i = 0; i < kScrollSteps; ++i) {
            bar->triggerAction(i % 2 == 0 ? QAbstractSlider::SliderSingleStepAdd
                                          : QAbstractSlider::SliderSingleStepSub);
            ProcessPaints();
        }
        benchmark::ClobberMemory();
    }
    state.counters["offset"] = bar->value();
}
BENCHMARK(BM_QTreeViewScrollOneRow)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->MeasureProcessCPUTime();

} // namespace

// Ends non-zero when a limit is passed.
int main(int argc, char** argv)
{
    // The repetitions of the sides alternate, so a busy moment of the
    // machine does not fall on one side only.
    std::vector<char*> args = WithInterleaving(argc, argv);
    int n = int(args.size());
    SetFormHostsEnabled(true);
    return RunRatioBenchmarks<TCpuRatioReporter>(n, args.data(), [](const TCpuRatioReporter& reporter) {
        const bool ok = reporter.Within("BM_LazyTreeScrollOneRow", "BM_QTreeViewScrollOneRow", 0.7,
                                        "one-row scroll: lazy tree / QTreeView (uniform row heights)");
        // The windows go before the toolkit does.
        gTree.reset();
        gPeer.reset();
        return ok;
    });
}
