// Painting a large expanded string tree: the lazy tree against
// QTreeView::render() over a minimal model giving the same texts, check
// states and icons. 1 000 top-level nodes with 999 children each (1 000 000
// nodes), texts "Node n", check boxes, a 16 x 16 image per level, lines and
// buttons; 200 scroll positions spread over the height, each painted into a
// 1920 x 1080 image. Ours must stay within 1.5 times the peer.
#include "TwoLevelModel.h"
#include "BenchRatio.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImgList.h"
#include "treeview/LazyTrees.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTreeView>
#include <benchmark/benchmark.h>

namespace {
constexpr int kParents = 1000;
constexpr int kChildren = 999;
constexpr int kPositions = 200;
constexpr int kW = 1920, kH = 1080;

struct TFixture {
    TForm* Form = nullptr;
    TLazyStringTree* Tree = nullptr;
    TCustomImageList* Images = nullptr;
    TFixture() {
        Form = NewObject<TForm>(nullptr);
        Form->SetBounds(0, 0, kW + 40, kH + 40);
        Tree = NewObject<TLazyStringTree>(Form);
        Tree->SetParent(Form);
        Tree->SetBorderStyle(bsNone);
        Tree->HandleNeeded();
        Tree->SetBounds(0, 0, kW, kH);
        Images = NewObject<TCustomImageList>(Form, 16, 16);
        for (TColor c : {clNavy, clGreen}) {
            TBitmap b(16, 16);
            b.Canvas()->Brush().SetColor(clFuchsia);
            b.Canvas()->FillRect(Rect(0, 0, 16, 16));
            b.Canvas()->Brush().SetColor(c);
            b.Canvas()->FillRect(Rect(2, 2, 14, 14));
            Images->AddMasked(&b, clFuchsia);
        }
        Tree->SetImages(Images);
        TCustomLazyTreeOptions* o = Tree->TreeOptions();
        o->SetMiscOptions(o->MiscOptions() + TLTMiscOptions{toCheckSupport});
        Tree->OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode n, TLazyNodeInitStates&) {
            n->CheckType = ctCheckBox;
            n->CheckState = n->Index % 3 == 0 ? csCheckedNormal : csUncheckedNormal;
        };
        Tree->OnGetText = [](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType type, QString& text) {
            if (type == ttNormal) text = QStringLiteral("Node %1").arg(n->Index);
        };
        Tree->OnGetImageIndex = [](TBaseLazyTree* s, PLazyNode n, TLTImageKind k, TColumnIndex, bool&, int& index) {
            if (k == ikNormal || k == ikSelected) index = s->GetNodeLevel(n) == 0 ? 0 : 1;
        };
        Tree->BeginUpdate();
        Tree->SetRootNodeCount(kParents);
        for (PLazyNode p = Tree->GetFirstNoInit(); p; p = p->NextSibling) Tree->SetChildCount(p, kChildren);
        Tree->EndUpdate();
        Tree->FullExpand();
        Tree->WaitForCache();
    }
};

TFixture& Fixture() {
    static TFixture f;
    return f;
}

void BM_LazyTree_Paint(benchmark::State& state) {
    TBaseLazyTree* t = Fixture().Tree;
    TBitmap target(kW, kH);
    const int range = int(t->RangeY()) - kH;
    for (auto _ : state) {
        for (int i = 0; i < kPositions; ++i) {
            const int top = int(int64_t(range) * i / (kPositions - 1));
            t->PaintTree(target.Canvas(), Rect(0, top, kW, top + kH), Point(0, 0), WindowPaintOptions);
        }
    }
}
BENCHMARK(BM_LazyTree_Paint)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);

// The peer's model: the same shape and content.
class TPaintModel : public TTwoLevelModel {
public:
    TPaintModel() : TTwoLevelModel(kParents, kChildren) {}
    QIcon Icons[2];
    Qt::ItemFlags flags(const QModelIndex&) const override {
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    }
    QVariant data(const QModelIndex& i, int role) const override {
        switch (role) {
        case Qt::DisplayRole: return QStringLiteral("Node %1").arg(i.row());
        case Qt::CheckStateRole: return i.row() % 3 == 0 ? Qt::Checked : Qt::Unchecked;
        case Qt::DecorationRole: return Icons[i.internalId() == 0 ? 0 : 1];
        default: return {};
        }
    }
};

void BM_QTreeView_Render(benchmark::State& state) {
    static TPaintModel* model = [] {
        auto* m = new TPaintModel;
        for (int k = 0; k < 2; ++k) {
            QPixmap p(16, 16);
            p.fill(k ? Qt::darkGreen : Qt::darkBlue);
            m->Icons[k] = QIcon(p);
        }
        return m;
    }();
    // Kept for the process: freeing a view of a million rows is not measured.
    static QTreeView* view = [] {
        auto* v = new QTreeView;
        v->resize(kW, kH);
        v->setHeaderHidden(true);
        // Rows of one height, as a Qt developer sets for a large tree.
        v->setUniformRowHeights(true);
        v->setModel(model);
        v->expandAll();
        v->show();
        QApplication::processEvents();
        return v;
    }();
    QImage target(kW, kH, QImage::Format_RGB32);
    QScrollBar* bar = view->verticalScrollBar();
    for (auto _ : state) {
        for (int i = 0; i < kPositions; ++i) {
            bar->setValue(int(int64_t(bar->maximum()) * i / (kPositions - 1)));
            QPainter p(&target);
            view->viewport()->render(&p);
        }
    }
}
BENCHMARK(BM_QTreeView_Render)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Processor time, medians of seven: wall time flapped on a busy machine.
    TCpuRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool ok = reporter.Within("BM_LazyTree_Paint/iterations:1", "BM_QTreeView_Render/iterations:1", 1.5,
                                    "painting: lazy tree / QTreeView::render");
    benchmark::Shutdown();
    std::fflush(stdout);
    // The peer's view of a million rows is not freed (that alone takes long).
    std::_Exit(ok ? 0 : 1);
}
