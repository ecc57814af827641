#include "platform/core/SyncObjs.h"

#include <chrono>
#include <condition_variable>
#include <map>

struct TEvent::State {
    std::mutex lock;
    std::condition_variable cond;
    bool manualReset = true;
    bool signaled = false;
};

namespace {
// Named events of the process; an entry lives while some TEvent holds it.
struct NameTable {
    std::mutex lock;
    std::map<QString, std::weak_ptr<TEvent::State>> byName;
};

NameTable& names()
{
    static NameTable t;
    return t;
}
} // namespace

TEvent::TEvent(void*, bool manualReset, bool initialState, const QString& name)
{
    if (!name.isEmpty()) {
        NameTable& t = names();
        std::lock_guard<std::mutex> g(t.lock);
        FState = t.byName[name].lock();
        if (!FState) {
            FState = std::make_shared<State>();
            FState->manualReset = manualReset;
            FState->signaled = initialState;
            t.byName[name] = FState;
        }
        return;
    }
    FState = std::make_shared<State>();
    FState->manualReset = manualReset;
    FState->signaled = initialState;
}

TEvent::TEvent() : TEvent(nullptr, true, false, QString()) {}

TEvent::~TEvent()
{
    NameTable& t = names();
    std::lock_guard<std::mutex> g(t.lock);
    FState.reset();
    for (auto it = t.byName.begin(); it != t.byName.end();)
        it = it->second.expired() ? t.byName.erase(it) : std::next(it);
}

TWaitResult TEvent::WaitFor(uint32_t timeout)
{
    State& s = *FState;
    std::unique_lock<std::mutex> g(s.lock);
    auto ready = [&] { return s.signaled; };
    if (timeout == INFINITE) {
        s.cond.wait(g, ready);
    } else if (!s.cond.wait_for(g, std::chrono::milliseconds(timeout), ready)) {
        return wrTimeout;
    }
    // An auto-reset event lets exactly this waiter through.
    if (!s.manualReset)
        s.signaled = false;
    return wrSignaled;
}

void TEvent::SetEvent()
{
    State& s = *FState;
    // Notified under the lock: a woken waiter may free the event at once, and
    // nothing here touches it after the unlock.
    std::lock_guard<std::mutex> g(s.lock);
    s.signaled = true;
    if (s.manualReset)
        s.cond.notify_all();
    else
        s.cond.notify_one();
}

void TEvent::ResetEvent()
{
    std::lock_guard<std::mutex> g(FState->lock);
    FState->signaled = false;
}
