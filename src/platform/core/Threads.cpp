#include "platform/core/Threads.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Hook.h"

#include <chrono>

namespace {
using TCallHook = THook<void(const std::function<void()>&)>;

TCallHook& syncHook()
{
    static TCallHook hook;
    return hook;
}

TCallHook& queueHook()
{
    static TCallHook hook;
    return hook;
}

THook<uint32_t()>& tickHook()
{
    static THook<uint32_t()> hook;
    return hook;
}

// Runs the method through the hook when one is set, else directly.
void viaHook(const TCallHook& hook, const std::function<void()>& method)
{
    if (const auto h = hook.Get())
        (*h)(method);
    else
        method();
}
} // namespace

TThread::TThread(bool createSuspended) : FCreateSuspended(createSuspended) {}

TThread::~TThread()
{
    if (FThread.joinable()) {
        if (FThread.get_id() == std::this_thread::get_id()) {
            FThread.detach(); // the thread frees itself
        } else {
            Terminate();
            FThread.join();
        }
    }
}

void TThread::AfterConstruction()
{
    TObject::AfterConstruction();
    if (!FCreateSuspended)
        Start();
}

void TThread::BeforeDestruction()
{
    if (FStarted && FThread.joinable() && FThread.get_id() != std::this_thread::get_id()) {
        Terminate();
        FThread.join();
    }
    TObject::BeforeDestruction();
}

void TThread::Start()
{
    bool expected = false;
    if (!FStarted.compare_exchange_strong(expected, true))
        throw EThread(QStringLiteral("Cannot call Start on a running or finished thread"));
    // The new thread waits for this lock, so it never sees (or frees) the
    // object before FThread is set.
    std::lock_guard<std::mutex> g(FLock);
    FThread = std::thread([this] { run(); });
}

void TThread::Resume()
{
    if (!FStarted)
        Start();
}

void TThread::run()
{
    {
        std::lock_guard<std::mutex> g(FLock);
    }
    try {
        Execute();
    } catch (...) {
        FFatalException = std::current_exception();
    }
    try {
        DoTerminate();
    } catch (...) {
        if (!FFatalException)
            FFatalException = std::current_exception();
    }
    const bool freeSelf = FreeOnTerminate;
    {
        std::lock_guard<std::mutex> g(FLock);
        FFinished = true;
        FDone.notify_all();
    }
    if (freeSelf)
        delete this;
}

void TThread::DoTerminate()
{
    if (OnTerminate)
        Synchronize([this] { OnTerminate(this); });
}

int TThread::WaitFor()
{
    if (FreeOnTerminate)
        throw EThread(QStringLiteral("Cannot wait for a thread that frees itself"));
    if (!FStarted)
        throw EThread(QStringLiteral("Cannot wait for a thread that was never started"));
    {
        std::unique_lock<std::mutex> g(FLock);
        FDone.wait(g, [this] { return FFinished.load(); });
    }
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id())
        FThread.join();
    return FReturnValue;
}

void TThread::Synchronize(TThread*, const std::function<void()>& method)
{
    viaHook(syncHook(), method);
}

void TThread::SetSynchronizeHook(std::function<void(const std::function<void()>&)> hook)
{
    syncHook().Set(std::move(hook));
}

void TThread::Queue(TThread*, const std::function<void()>& method)
{
    viaHook(queueHook(), method);
}

void TThread::SetQueueHook(std::function<void(const std::function<void()>&)> hook)
{
    queueHook().Set(std::move(hook));
}

uint32_t GetTickCount()
{
    if (const auto hook = tickHook().Get())
        return (*hook)();
    static const auto start = std::chrono::steady_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return uint32_t(uint64_t(ms.count()));
}

void SetTickCountHook(std::function<uint32_t()> hook)
{
    tickHook().Set(std::move(hook));
}

void Sleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
