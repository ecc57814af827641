#include "platform/core/Threads.h"

#include "platform/core/Exceptions.h"

#include <chrono>

namespace {
std::function<void(const std::function<void()>&)>& syncHook()
{
    static std::function<void(const std::function<void()>&)> hook;
    return hook;
}

std::function<void(const std::function<void()>&)>& queueHook()
{
    static std::function<void(const std::function<void()>&)> hook;
    return hook;
}

std::function<uint32_t()>& tickHook()
{
    static std::function<uint32_t()> hook;
    return hook;
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
    if (syncHook())
        syncHook()(method);
    else
        method();
}

void TThread::SetSynchronizeHook(std::function<void(const std::function<void()>&)> hook)
{
    syncHook() = std::move(hook);
}

void TThread::Queue(TThread*, const std::function<void()>& method)
{
    if (queueHook())
        queueHook()(method);
    else
        method();
}

void TThread::SetQueueHook(std::function<void(const std::function<void()>&)> hook)
{
    queueHook() = std::move(hook);
}

uint32_t GetTickCount()
{
    if (tickHook())
        return tickHook()();
    static const auto start = std::chrono::steady_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return uint32_t(uint64_t(ms.count()));
}

void SetTickCountHook(std::function<uint32_t()> hook)
{
    tickHook() = std::move(hook);
}

void Sleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
