// Arbitrary bytes as a tree stream, through LoadFromStream and AddFromStream:
// no crash, no leak, no more nodes than the bytes can describe, and the
// counters of whatever was read stay consistent.
#include "platform/controls/Forms.h"
#include "platform/core/Streams.h"
#include "treeview/LazyTrees.h"

#include <cstdint>
#include <cstdlib>

namespace {
TLazyStringTree* Tree() {
    static TLazyStringTree* tree = [] {
        Application();
        auto* t = NewObject<TLazyStringTree>(nullptr);
        t->TreeOptions()->SetSelectionOptions({toMultiSelect});
        // Read whatever user data a node carries, as an application does.
        t->OnLoadNode = [](TBaseLazyTree*, PLazyNode, TStream* s) {
            char buf[16];
            s->Read(buf, sizeof buf);
        };
        return t;
    }();
    return tree;
}

// Every node walked is counted by the root, and no node came from fewer than
// eight bytes of input.
void CheckCounts(TBaseLazyTree* t, size_t size) {
    uint32_t walked = 0;
    for (PLazyNode n = t->GetFirstNoInit(); n; n = t->GetNextNoInit(n)) ++walked;
    if (walked != t->RootNode()->TotalCount - 1) std::abort();
    if (walked > size / 8 + 1) std::abort();
    if (t->SelectedCount() != t->SelectionArray().size()) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TLazyStringTree* t = Tree();
    TMemoryStream s;
    s.WriteBuffer(data, int64_t(size));
    s.SetPosition(0);
    bool loaded = true;
    try {
        t->LoadFromStream(&s);
    } catch (const Exception&) {
        loaded = false;
    }
    CheckCounts(t, size);
    if (loaded) {
        // What loaded writes and loads again.
        TMemoryStream again;
        t->SaveToStream(&again);
        again.SetPosition(0);
        t->LoadFromStream(&again);
        CheckCounts(t, size_t(again.Size()));
    }
    t->Clear();
    s.SetPosition(0);
    PLazyNode target = t->AddChild(nullptr);
    try {
        t->AddFromStream(&s, target);
    } catch (const Exception&) {
    }
    CheckCounts(t, size + 8);
    t->Clear();
    return 0;
}
