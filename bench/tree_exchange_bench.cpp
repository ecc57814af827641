// The lazy tree's data exchange against Qt's item model doing the same work:
// copying 100 000 selected two-level nodes with captions to the clipboard as
// "Lazy Tree Data" and pasting them into a second tree, against
// QStandardItemModel::mimeData of the same 100 000 indexes and dropMimeData
// into a second model; ContentToText (all nodes, TAB) of 1 000 000 nodes
// against a loop over a QStandardItemModel writing the same bytes. Saving and
// loading 1 000 000 nodes with captions through the tree stream is reported.
#include "BenchMedian.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/Forms.h"
#include "platform/core/Streams.h"
#include "treeview/LazyTrees.h"

#include <QApplication>
#include <QMimeData>
#include <QStandardItemModel>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {
// A string tree whose node data is the index of its text.
class TBenchTree : public TLazyStringTree {
public:
    explicit TBenchTree(const std::vector<QString>* Texts) : TLazyStringTree(nullptr), FTexts(Texts) {
        SetNodeDataSize(sizeof(int));
        OnGetText = [this](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType, QString& text) {
            const int i = *static_cast<int*>(GetNodeData(n));
            if (i >= 0 && size_t(i) < FTexts->size()) text = (*FTexts)[size_t(i)];
        };
        // Pasted and loaded nodes keep the text index through the stream.
        OnSaveNode = [](TBaseLazyTree* t, PLazyNode n, TStream* s) { s->WriteBuffer(t->GetNodeData(n), sizeof(int)); };
        OnLoadNode = [](TBaseLazyTree* t, PLazyNode n, TStream* s) { s->ReadBuffer(t->GetNodeData(n), sizeof(int)); };
        SetClipboardFormats({"Lazy Tree Data"});
        TreeOptions()->SetSelectionOptions(TreeOptions()->SelectionOptions().Include(toMultiSelect));
    }
    void Build(int Parents, int Children) {
        BeginUpdate();
        int i = 0;
        for (int p = 0; p < Parents; ++p) {
            PLazyNode parent = AddChild(nullptr);
            *static_cast<int*>(GetNodeData(parent)) = i++;
            for (int c = 0; c < Children; ++c) *static_cast<int*>(GetNodeData(AddChild(parent))) = i++;
        }
        EndUpdate();
    }

private:
    const std::vector<QString>* FTexts;
};

std::vector<QString> Texts(int n) {
    std::vector<QString> t;
    t.reserve(size_t(n));
    for (int i = 0; i < n; ++i) t.push_back(QStringLiteral("Node caption %1").arg(i));
    return t;
}

void FillModel(QStandardItemModel& m, const std::vector<QString>& texts, int parents, int children) {
    int i = 0;
    for (int p = 0; p < parents; ++p) {
        auto* parent = new QStandardItem(texts[size_t(i++)]);
        QList<QStandardItem*> rows;
        rows.reserve(children);
        for (int c = 0; c < children; ++c) rows << new QStandardItem(texts[size_t(i++)]);
        parent->appendRows(rows);
        m.appendRow(parent);
    }
}

constexpr int kCopyParents = 1000, kCopyChildren = 99;         // 100 000 nodes
constexpr int kTextParents = 1000, kTextChildren = 999;        // 1 000 000 nodes

void BM_LazyTree_CopyPaste100k(benchmark::State& state) {
    const auto texts = Texts(kCopyParents * (kCopyChildren + 1));
    auto* a = new TBenchTree(&texts);
    auto* b = new TBenchTree(&texts);
    a->Build(kCopyParents, kCopyChildren);
    a->SelectAll(false);
    for (auto _ : state) {
        a->CopyToClipboard();
        b->PasteFromClipboard();
        state.PauseTiming();
        if (b->TotalCount() != a->TotalCount()) state.SkipWithError("the paste missed nodes");
        b->Clear();
        Clipboard()->Clear();
        state.ResumeTiming();
    }
    a->Free();
    b->Free();
}
BENCHMARK(BM_LazyTree_CopyPaste100k)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

void BM_QStandardItemModel_MimeDrop100k(benchmark::State& state) {
    const auto texts = Texts(kCopyParents * (kCopyChildren + 1));
    QStandardItemModel a;
    FillModel(a, texts, kCopyParents, kCopyChildren);
    QModelIndexList indexes;
    for (int p = 0; p < kCopyParents; ++p) {
        const QModelIndex parent = a.index(p, 0);
        indexes << parent;
        for (int c = 0; c < kCopyChildren; ++c) indexes << a.index(c, 0, parent);
    }
    for (auto _ : state) {
        QStandardItemModel b;
        std::unique_ptr<QMimeData> mime(a.mimeData(indexes));
        b.dropMimeData(mime.get(), Qt::CopyAction, 0, 0, QModelIndex());
        state.PauseTiming();
        if (b.rowCount() == 0) state.SkipWithError("nothing dropped");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_QStandardItemModel_MimeDrop100k)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

void BM_LazyTree_ContentToText1M(benchmark::State& state) {
    const auto texts = Texts(kTextParents * (kTextChildren + 1));
    auto* t = new TBenchTree(&texts);
    t->Build(kTextParents, kTextChildren);
    size_t bytes = 0;
    for (auto _ : state) {
        const QString s = t->ContentToText(tstAll, QStringLiteral("\t"));
        bytes = size_t(s.size());
        benchmark::DoNotOptimize(s.constData());
    }
    state.counters["chars"] = double(bytes);
    t->Free();
}
BENCHMARK(BM_LazyTree_ContentToText1M)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

void BM_QStandardItemModel_Text1M(benchmark::State& state) {
    const auto texts = Texts(kTextParents * (kTextChildren + 1));
    QStandardItemModel m;
    FillModel(m, texts, kTextParents, kTextChildren);
    size_t bytes = 0;
    for (auto _ : state) {
        // The same lines: level 0 "text", level 1 "\ttext", each with CR LF.
        QString s;
        for (int p = 0; p < m.rowCount(); ++p) {
            const QModelIndex parent = m.index(p, 0);
            s += parent.data().toString();
            s += QLatin1String("\r\n");
            const int rows = m.rowCount(parent);
            for (int c = 0; c < rows; ++c) {
                s += QLatin1Char('\t');
                s += m.index(c, 0, parent).data().toString();
                s += QLatin1String("\r\n");
            }
        }
        bytes = size_t(s.size());
        benchmark::DoNotOptimize(s.constData());
    }
    state.counters["chars"] = double(bytes);
}
BENCHMARK(BM_QStandardItemModel_Text1M)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

void BM_LazyTree_SaveLoad1M(benchmark::State& state) {
    const auto texts = Texts(kTextParents * (kTextChildren + 1));
    auto* t = new TBenchTree(&texts);
    t->Build(kTextParents, kTextChildren);
    // Captions go only with initialized nodes: a first walk initializes them.
    for (PLazyNode n = t->GetFirst(); n; n = t->GetNext(n)) {
    }
    auto* u = new TBenchTree(&texts);
    double saveMs = 0, loadMs = 0, bytes = 0;
    for (auto _ : state) {
        TMemoryStream s;
        auto t0 = std::chrono::steady_clock::now();
        t->SaveToStream(&s);
        auto t1 = std::chrono::steady_clock::now();
        s.SetPosition(0);
        u->LoadFromStream(&s);
        auto t2 = std::chrono::steady_clock::now();
        saveMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
        loadMs = std::chrono::duration<double, std::milli>(t2 - t1).count();
        bytes = double(s.Size());
        if (u->TotalCount() != t->TotalCount()) state.SkipWithError("the load missed nodes");
    }
    state.counters["save_ms"] = saveMs;
    state.counters["load_ms"] = loadMs;
    state.counters["stream_bytes"] = bytes;
    t->Free();
    u->Free();
}
BENCHMARK(BM_LazyTree_SaveLoad1M)->Unit(benchmark::kMillisecond)->Iterations(1);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application();
    // Processor time, medians of five repetitions run interleaved: single
    // wall-time runs flapped around the limit on a shared machine.
    std::vector<char*> args = WithInterleaving(argc, argv);
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;
    TCpuRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bool ok = reporter.Within("BM_LazyTree_CopyPaste100k/iterations:3", "BM_QStandardItemModel_MimeDrop100k/iterations:3",
                              1.0, "copy and paste of 100 000 nodes against mimeData and dropMimeData");
    ok = reporter.Within("BM_LazyTree_ContentToText1M/iterations:3", "BM_QStandardItemModel_Text1M/iterations:3", 1.5,
                         "ContentToText of 1 000 000 nodes against a model loop") &&
         ok;
    return ok ? 0 : 1;
}
