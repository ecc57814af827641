// Arbitrary bytes as a "Lazy Tree Data" block, pasted with ProcessOLEData
// and dropped with ProcessDrop: no crash, no leak, nothing read beyond the
// block, and the counters of whatever was read stay consistent.
#include "platform/controls/Forms.h"
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesClipboard.h"

#include <cstdint>
#include <cstdlib>

namespace {
TLazyStringTree* Tree() {
    static TLazyStringTree* tree = [] {
        Application();
        auto* t = NewObject<TLazyStringTree>(nullptr);
        t->OnLoadNode = [](TBaseLazyTree*, PLazyNode, TStream* s) {
            char buf[16];
            s->Read(buf, sizeof buf);
        };
        return t;
    }();
    return tree;
}

void CheckCounts(TBaseLazyTree* t, size_t size) {
    uint32_t walked = 0;
    for (PLazyNode n = t->GetFirstNoInit(); n; n = t->GetNextNoInit(n)) ++walked;
    if (walked != t->RootNode()->TotalCount - 1) std::abort();
    // Every node read takes at least eight bytes of the block; one node is
    // the paste target.
    if (walked > size / 8 + 1) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TLazyStringTree* t = Tree();
    const QByteArray block(reinterpret_cast<const char*>(data), qsizetype(size));
    TDataObject obj;
    obj.SetFormat(TreeClipboardFormats().TreeData, block);
    PLazyNode target = t->AddChild(nullptr);
    try {
        t->ProcessOLEData(nullptr, &obj, target, amAddChildLast, false);
    } catch (const Exception&) {
    }
    CheckCounts(t, size);
    uint32_t effect = DROPEFFECT_COPY;
    if (t->ProcessDrop(&obj, target, effect, amInsertAfter) && effect != DROPEFFECT_COPY) std::abort();
    CheckCounts(t, 2 * size);
    t->Clear();
    return 0;
}
