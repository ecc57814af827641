// Arbitrary bytes as a header stream, through TLTHeader::LoadFromStream: no
// crash, no leak, the header never stays in its loading state, no more
// columns than the bytes can describe, and the display order is always a
// permutation of the columns.
#include "platform/controls/Forms.h"
#include "platform/core/Streams.h"
#include "treeview/LazyTrees.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {
// The header measures its font: the toolkit's font database needs an application.
void EnsureApp() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_tree_header";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

TLazyStringTree* Tree() {
    static TLazyStringTree* tree = [] {
        EnsureApp();
        Application();
        return NewObject<TLazyStringTree>(nullptr);
    }();
    return tree;
}

void Check(TLTHeader* h, size_t size) {
    if (h->States().Contains(hsLoading)) std::abort();
    TLazyTreeColumns* cols = h->Columns();
    const int n = cols->Count();
    // A column record takes at least 48 bytes (the oldest layout).
    if (size_t(n) * 48 > size) std::abort();
    const TIndexArray& order = cols->PositionToIndex();
    if (order.size() != n) std::abort();
    std::vector<bool> seen(size_t(n), false);
    for (TColumnIndex i : order) {
        if (i < 0 || i >= n || seen[size_t(i)]) std::abort();
        seen[size_t(i)] = true;
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TLTHeader* h = Tree()->Header();
    TMemoryStream s;
    s.WriteBuffer(data, int64_t(size));
    s.SetPosition(0);
    bool loaded = true;
    try {
        h->LoadFromStream(&s);
    } catch (const Exception&) {
        loaded = false;
    }
    Check(h, size);
    if (loaded) {
        // What was read writes again and reads back without a failure.
        TMemoryStream again;
        h->SaveToStream(&again);
        again.SetPosition(0);
        try {
            h->LoadFromStream(&again);
        } catch (const Exception&) {
            std::abort();
        }
        if (again.Position() != again.Size()) std::abort();
        Check(h, size_t(again.Size()));
    }
    return 0;
}
