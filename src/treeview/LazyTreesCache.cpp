// The position cache and the process-wide worker thread that builds it, the
// registry of live trees, and the node-at-position queries.
//
// The worker never waits for the UI thread: it builds into an array of its
// own and hands the result, with the generation of the tree it was built
// for, to the UI thread as a queued call that finds the tree through the
// registry (and does nothing when the tree is gone). The tree takes the
// cache only when no InvalidatePositionCache happened since the build
// began. StopCacheValidation waits on a condition variable until the worker
// lets go of the tree, so every change of the structure that follows it is
// safe from the worker's reads. Trees with variable node heights measure
// through the application, so their cache is built on the UI thread, in
// slices of 2000 nodes from queued calls.
#include "treeview/LazyTrees.h"

#include "platform/controls/Forms.h"
#include "platform/core/Threads.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace {
constexpr uint32_t CacheThreshold = 2000;

// Live trees by number.
std::mutex gRegistryLock;
std::unordered_map<uint32_t, TBaseLazyTree*> gTrees;
uint32_t gNextTreeId = 1;
}  // namespace

// The worker's shared state (the list of waiting trees, the tree being
// worked on) is guarded by one lock.
class TLTWorkerThread {
public:
    struct TJob {
        TBaseLazyTree* Tree = nullptr;
        uint32_t Id = 0;
        uint64_t Generation = 0;
        uint32_t VisibleCount = 0;
    };

    TLTWorkerThread() : FThread([this] { Body(); }) {}
    ~TLTWorkerThread() {
        {
            std::lock_guard<std::mutex> l(FLock);
            FTerminated = true;
        }
        FWake.notify_all();
        FThread.join();
    }

    void AddTree(const TJob& Job) {
        LTAssert(Job.Tree != nullptr, QStringLiteral("Tree must not be nil."));
        {
            std::lock_guard<std::mutex> l(FLock);
            for (TJob& j : FWaiters)
                if (j.Tree == Job.Tree) {
                    j = Job;
                    return;
                }
            FWaiters.push_back(Job);
        }
        FWake.notify_one();
    }

    // Takes the tree off the list and waits until the worker lets go of it;
    // answers whether the worker was building its cache.
    bool RemoveTree(TBaseLazyTree* Tree) {
        LTAssert(Tree != nullptr, QStringLiteral("Tree must not be nil."));
        std::unique_lock<std::mutex> l(FLock);
        for (auto it = FWaiters.begin(); it != FWaiters.end(); ++it)
            if (it->Tree == Tree) {
                FWaiters.erase(it);
                break;
            }
        const bool working = FCurrent == Tree;
        FReleased.wait(l, [&] { return FCurrent != Tree; });
        return working;
    }

    bool Pending(const TBaseLazyTree* Tree) {
        std::lock_guard<std::mutex> l(FLock);
        if (FCurrent == Tree) return true;
        for (const TJob& j : FWaiters)
            if (j.Tree == Tree) return true;
        return false;
    }

    uint32_t RefCount = 0;

private:
    void Body() {
        for (;;) {
            TJob job;
            {
                std::unique_lock<std::mutex> l(FLock);
                FWake.wait(l, [&] { return FTerminated || !FWaiters.empty(); });
                if (FTerminated) return;
                job = FWaiters.front();
                FWaiters.pop_front();
                FCurrent = job.Tree;
            }
            Post(job, 4, 2 | 8, nullptr, false);
            TCache cache;
            bool complete = false;
            try {
                complete = Build(job, cache);
            } catch (...) {
                complete = false;
            }
            {
                std::lock_guard<std::mutex> l(FLock);
                FCurrent = nullptr;
            }
            FReleased.notify_all();
            Post(job, complete ? 2 : 0, 1 | 4, &cache, complete);
        }
    }

    // Hands a state change (and the finished cache) to the UI thread.
    static void Post(const TJob& job, unsigned enter, unsigned leave, TCache* cache, bool complete) {
        const uint32_t id = job.Id;
        const uint64_t generation = job.Generation;
        if (!cache) {
            TThread::Queue(nullptr, [id, generation, enter, leave] {
                TBaseLazyTree* tree = TBaseLazyTree::FindTree(id);
                if (tree && tree->FCacheGeneration == generation) tree->SendStateChange(enter, leave);
            });
            return;
        }
        auto shared = std::make_shared<TCache>(std::move(*cache));
        TThread::Queue(nullptr, [id, generation, shared, complete] {
            if (TBaseLazyTree* tree = TBaseLazyTree::FindTree(id)) tree->TakeWorkerCache(generation, *shared, complete);
            if (TBaseLazyTree* tree = TBaseLazyTree::FindTree(id)) tree->PlaceEditor();
        });
    }

    // The build itself, over the tree's nodes as they stand (the UI thread
    // changes none of what is read here while the tree is FCurrent).
    bool Build(const TJob& job, TCache& cache) {
        TBaseLazyTree* tree = job.Tree;
        if (tree->FStopValidationFlag.load(std::memory_order_acquire)) return false;
        const uint32_t length = job.VisibleCount < 2 ? 0 : (job.VisibleCount + CacheThreshold - 1) / CacheThreshold;
        cache.reserve(int(length));
        PLazyNode node = tree->GetFirstVisibleNoInit(nullptr, true, false);
        PLazyNode last = nullptr;
        uint64_t top = 0;
        uint32_t k = 0;
        while (node) {
            if (tree->FStopValidationFlag.load(std::memory_order_relaxed)) return false;
            if (k % CacheThreshold == 0) {
                if (uint32_t(cache.size()) >= length) break;
                cache.append({node, uint32_t(top)});
            }
            top += node->NodeHeight;
            last = node;
            ++k;
            node = tree->GetNextVisibleNoInit(node, true);
        }
        if (uint32_t(cache.size()) < length && last) cache.append({last, uint32_t(top)});
        return k >= 2;
    }

    std::mutex FLock;
    std::condition_variable FWake, FReleased;
    std::deque<TJob> FWaiters;
    TBaseLazyTree* FCurrent = nullptr;
    bool FTerminated = false;
    std::thread FThread;
};

namespace {
TLTWorkerThread* gWorker = nullptr;
}  // namespace

bool TBaseLazyTree::WorkerRunning() { return gWorker != nullptr; }

// ---------------------------------------------------------------------------
// Registry, acquiring and releasing the worker
// ---------------------------------------------------------------------------

TBaseLazyTree* TBaseLazyTree::FindTree(uint32_t Id) {
    std::lock_guard<std::mutex> l(gRegistryLock);
    auto it = gTrees.find(Id);
    return it == gTrees.end() ? nullptr : it->second;
}

void TBaseLazyTree::RegisterTree() {
    std::lock_guard<std::mutex> l(gRegistryLock);
    FTreeId = gNextTreeId++;
    if (gNextTreeId == 0) gNextTreeId = 1;
    gTrees[FTreeId] = this;
}

void TBaseLazyTree::UnregisterTree() {
    std::lock_guard<std::mutex> l(gRegistryLock);
    gTrees.erase(FTreeId);
}

void TBaseLazyTree::AcquireWorker() {
    if (FWorkerAcquired) return;
    if (!gWorker) gWorker = new TLTWorkerThread();
    ++gWorker->RefCount;
    FWorkerAcquired = true;
}

void TBaseLazyTree::ReleaseWorker() {
    if (!FWorkerAcquired || !gWorker) return;
    FWorkerAcquired = false;
    --gWorker->RefCount;
    StopCacheValidation();
    if (gWorker->RefCount == 0) {
        TLTWorkerThread* w = gWorker;
        gWorker = nullptr;
        delete w;
    }
}

// ---------------------------------------------------------------------------
// Validation
// ---------------------------------------------------------------------------

void TBaseLazyTree::InvalidatePositionCache() {
    ++FCacheGeneration;
    SwitchStates({tsValidationNeeded}, {tsUseCache});
}

void TBaseLazyTree::StopCacheValidation() {
    SwitchStates({tsStopValidation}, {tsUseCache});
    // A slice build goes on with the height it has just measured.
    if (FSettingMeasuredHeight && FSliceBuild.Running) return;
    FStopValidationFlag.store(true, std::memory_order_release);
    bool cancelled = FSliceBuild.Running;
    FSliceBuild.Running = false;
    if (gWorker && FWorkerAcquired) {
        const bool queued = gWorker->Pending(this);
        if (gWorker->RemoveTree(this)) InvalidatePositionCache();
        cancelled = cancelled || queued;
    }
    // No build runs for this tree now: the next change starts one again.
    if (cancelled) SwitchStates({}, {tsValidating});
}

void TBaseLazyTree::StartCacheValidation() {
    StopCacheValidation();
    if (FHoldValidation > 0) {
        // Started once the step that holds it back ends.
        FValidationHeld = true;
        return;
    }
    FStartIndex = 0;
    if (!FStates.Contains(tsValidationNeeded) || FVisibleCount <= CacheThreshold || IsDestroying()) return;
    if (FOptions->MiscOptions().Contains(toVariableNodeHeight)) {
        // Measuring runs application code: the cache is built here, on the
        // UI thread, a slice at a time.
        SwitchStates({tsValidating}, {tsStopValidation});
        FSliceBuild = TSliceBuild{};
        FSliceBuild.Running = true;
        FSliceBuild.Generation = FCacheGeneration;
        const uint32_t id = FTreeId;
        Application()->Queue([id] {
            if (TBaseLazyTree* t = FindTree(id)) t->RunCacheSlice();
        });
        return;
    }
    if (!gWorker || !FWorkerAcquired) return;
    SwitchStates({}, {tsStopValidation});
    FStopValidationFlag.store(false, std::memory_order_release);
    gWorker->AddTree({this, FTreeId, FCacheGeneration, FVisibleCount});
}

void TBaseLazyTree::SendStateChange(unsigned EnterMask, unsigned LeaveMask) {
    Perform(WM_CHANGESTATE, EnterMask, LPARAM(LeaveMask));
}

void TBaseLazyTree::WMChangeState(TMessage& M) {
    auto toStates = [](unsigned mask) {
        TLazyTreeStates s;
        if (mask & 1) s.Include(tsStopValidation);
        if (mask & 2) s.Include(tsUseCache);
        if (mask & 4) s.Include(tsValidating);
        if (mask & 8) s.Include(tsValidationNeeded);
        return s;
    };
    SwitchStates(toStates(unsigned(M.WParam)), toStates(unsigned(M.LParam)));
    M.Result = 0;
}

void TBaseLazyTree::TakeWorkerCache(uint64_t Generation, TCache Cache, bool Complete) {
    if (Generation != FCacheGeneration) {
        // Built for a tree that has changed since: never used.
        SwitchStates({}, {tsValidating});
        return;
    }
    if (Complete) FPositionCache = std::move(Cache);
    SendStateChange(Complete ? 2 : 0, 1 | 4);
}

void TBaseLazyTree::RunCacheSlice() {
    TSliceBuild& b = FSliceBuild;
    if (!b.Running) return;
    if (b.Generation != FCacheGeneration) {
        // A node was measured elsewhere since the last slice (changes of
        // structure stop the build instead): the walk starts over.
        const uint64_t now = FCacheGeneration;
        b = TSliceBuild{};
        b.Running = true;
        b.Generation = now;
    }
    uint64_t generation = b.Generation;
    const uint32_t length = CacheEntryCount();
    if (!b.Node && b.Visited == 0) {
        b.Node = GetFirstVisibleNoInit(nullptr, true, false);
        b.Top = 0;
        b.Entries.reserve(int(length));
    }
    bool ended = false;
    for (uint32_t n = 0; n < CacheThreshold; ++n) {
        PLazyNode node = b.Node;
        if (!node) {
            ended = true;
            break;
        }
        if (b.Visited % CacheThreshold == 0) {
            if (uint32_t(b.Entries.size()) >= length) {
                ended = true;
                break;
            }
            b.Entries.append({node, uint32_t(b.Top)});
        }
        // Measuring may run application code that changes the tree: a
        // change of structure stops this build (and the change starts
        // another); the measured node's own new height is taken as it goes.
        const uint32_t h = GetNodeHeight(node);
        if (!FSliceBuild.Running || FSliceBuild.Generation != generation) return;
        if (FCacheGeneration != generation) generation = FSliceBuild.Generation = FCacheGeneration;
        b.Top += h;
        ++b.Visited;
        b.Node = GetNextVisibleNoInit(node, true);
        if (!b.Node) {
            if (uint32_t(b.Entries.size()) < length) b.Entries.append({node, uint32_t(b.Top)});
            ended = true;
            break;
        }
    }
    if (!ended) {
        const uint32_t id = FTreeId;
        Application()->Queue([id] {
            if (TBaseLazyTree* t = FindTree(id)) t->RunCacheSlice();
        });
        return;
    }
    b.Running = false;
    if (b.Visited >= 2) {
        FPositionCache = std::move(b.Entries);
        SwitchStates({tsUseCache}, {tsValidating, tsValidationNeeded, tsStopValidation});
        UpdateScrollBars(true);
    } else {
        SwitchStates({}, {tsValidating});
    }
    PlaceEditor();
}

bool TBaseLazyTree::BuildPositionCache() {
    FStartIndex = 0;
    const uint32_t length = CacheEntryCount();
    TCache cache;
    cache.reserve(int(length));
    PLazyNode last = nullptr;
    uint64_t top = 0;
    uint32_t k = 0;
    for (PLazyNode node = GetFirstVisibleNoInit(nullptr, true, false); node; node = GetNextVisibleNoInit(node, true)) {
        if (k % CacheThreshold == 0) {
            if (uint32_t(cache.size()) >= length) break;
            cache.append({node, uint32_t(top)});
        }
        top += GetNodeHeight(node);
        last = node;
        ++k;
    }
    if (uint32_t(cache.size()) < length && last) cache.append({last, uint32_t(top)});
    FPositionCache = std::move(cache);
    const bool ok = k >= 2;
    if (ok) SwitchStates({tsUseCache}, {tsValidationNeeded, tsValidating});
    return ok;
}

bool TBaseLazyTree::CacheBuildPending() const {
    return FSliceBuild.Running || (gWorker && FWorkerAcquired && gWorker->Pending(this));
}

void TBaseLazyTree::WaitForCache() {
    for (int guard = 0; guard < 600000; ++guard) {
        const bool pending = CacheBuildPending();
        Application()->RunQueuedCalls();
        if (!pending && !CacheBuildPending()) {
            Application()->RunQueuedCalls();
            return;
        }
        if (!FSliceBuild.Running) Sleep(1);
    }
}

uint32_t TBaseLazyTree::CacheEntryCount() const {
    return FVisibleCount < 2 ? 0 : (FVisibleCount + CacheThreshold - 1) / CacheThreshold;
}

// ---------------------------------------------------------------------------
// Lookups
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::FindCacheEntryByPosition(uint32_t Position, uint32_t& Top) const {
    int low = 0, high = int(FPositionCache.size()) - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        if (Position < FPositionCache[middle].AbsoluteTop) high = middle - 1;
        else low = middle + 1;
    }
    if (low == 0) {
        Top = 0;
        return nullptr;
    }
    Top = FPositionCache[low - 1].AbsoluteTop;
    return FPositionCache[low - 1].Node;
}

PLazyNode TBaseLazyTree::FindCacheEntryByNode(PLazyNode Node, uint32_t& Top) const {
    int low = 0, high = int(FPositionCache.size()) - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        if (CompareNodeOrder(FPositionCache[middle].Node, Node, false) > 0) high = middle - 1;
        else low = middle + 1;
    }
    if (low == 0) {
        Top = 0;
        return nullptr;
    }
    Top = FPositionCache[low - 1].AbsoluteTop;
    return FPositionCache[low - 1].Node;
}

PLazyNode TBaseLazyTree::GetNodeAt(int, int Y, bool Relative, int& NodeTop) {
    if (Y < 0) Y = 0;
    int64_t absY = Relative ? int64_t(Y) - FOffsetY : Y;
    PLazyNode run = nullptr;
    uint32_t top = 0;
    const bool cached = FStates.Contains(tsUseCache);
    if (cached) run = FindCacheEntryByPosition(uint32_t(std::max<int64_t>(0, absY)), top);
    if (!run) {
        run = GetFirstVisibleNoInit(nullptr, true, false);
        top = 0;
    }
    int64_t currentTop = top;
    const uint64_t generation = FCacheGeneration;
    // Scrolling and the keys ask for nodes near the last one found: that one
    // is a nearer start than the cache entry when it lies between the entry
    // and the point.
    if (cached && run && FTopMemoNode && FTopMemoGeneration == generation && FTopMemoTop >= currentTop &&
        FTopMemoTop <= absY) {
        run = FTopMemoNode;
        currentTop = FTopMemoTop;
    }
    PLazyNode result = nullptr;
    while (run) {
        const int64_t h = GetNodeHeight(run);
        if (absY < currentTop + h) {
            result = run;
            break;
        }
        currentTop += h;
        run = GetNextVisibleNoInit(run, true);
    }
    // A height measured on the way makes the walk's result stale.
    if (cached && result && FCacheGeneration == generation) {
        FTopMemoNode = result;
        FTopMemoTop = currentTop;
        FTopMemoGeneration = generation;
    }
    NodeTop = result ? int(currentTop + (Relative ? FOffsetY : 0)) : 0;
    return result;
}

PLazyNode TBaseLazyTree::GetNodeAt(int X, int Y) {
    int top = 0;
    return GetNodeAt(X, Y, true, top);
}

PLazyNode TBaseLazyTree::TopNode() { return GetNodeAt(0, 0); }

PLazyNode TBaseLazyTree::BottomNode() { return GetNodeAt(0, ClientHeight() - 1); }
