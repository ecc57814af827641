#include "platform/core/Exceptions.h"
#include "platform/core/SyncObjs.h"
#include "platform/core/Threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {
// Counts its runs and waits for a go signal so tests can see it blocked.
class TWorker : public TThread {
    KAL_CLASS(TWorker, TThread)
public:
    explicit TWorker(bool suspended, std::atomic<int>* runs) : TThread(suspended), Runs(runs) {}
    std::atomic<int>* Runs;

protected:
    void Execute() override
    {
        ++*Runs;
        while (!Terminated())
            Sleep(1);
        SetReturnValue(42);
    }
};

class TThrower : public TThread {
public:
    TThrower() : TThread(true) {}

protected:
    void Execute() override { throw EConvertError(QStringLiteral("boom")); }
};
} // namespace

TEST(TThread, SuspendedRunsOnlyAfterResume)
{
    std::atomic<int> runs{0};
    TWorker* t = NewObject<TWorker>(true, &runs);
    Sleep(50);
    EXPECT_EQ(runs.load(), 0);
    EXPECT_TRUE(t->Suspended());
    t->Resume();
    for (int i = 0; i < 2000 && runs.load() == 0; ++i)
        Sleep(1);
    EXPECT_EQ(runs.load(), 1);
    EXPECT_FALSE(t->Finished());
    t->Terminate();
    EXPECT_EQ(t->WaitFor(), 42);
    EXPECT_TRUE(t->Finished());
    EXPECT_THROW(t->Start(), EThread);
    t->Free();
}

TEST(TThread, NotSuspendedStartsAtOnceAndStopsOnFree)
{
    std::atomic<int> runs{0};
    TWorker* t = NewObject<TWorker>(false, &runs);
    for (int i = 0; i < 2000 && runs.load() == 0; ++i)
        Sleep(1);
    EXPECT_EQ(runs.load(), 1);
    t->Free(); // terminates and waits
    EXPECT_EQ(runs.load(), 1);
}

TEST(TThread, EndNoticeFailuresAndSelfFreeing)
{
    TThrower t;
    bool notified = false;
    t.OnTerminate = [&](TObject* sender) { notified = sender == &t; };
    // Synchronize goes through the hook the controls layer installs.
    int synced = 0;
    TThread::SetSynchronizeHook([&](const std::function<void()>& m) { ++synced; m(); });
    t.Start();
    t.WaitFor();
    TThread::SetSynchronizeHook(nullptr);
    EXPECT_TRUE(notified);
    EXPECT_EQ(synced, 1);
    ASSERT_TRUE(t.FatalException());
    EXPECT_THROW(std::rethrow_exception(t.FatalException()), EConvertError);

    // Queued calls go through their own hook, which need not run them at once.
    std::vector<std::function<void()>> queued;
    TThread::SetQueueHook([&](const std::function<void()>& m) { queued.push_back(m); });
    int ran = 0;
    t.Queue([&] { ++ran; });
    EXPECT_EQ(ran, 0);
    queued.at(0)();
    EXPECT_EQ(ran, 1);
    TThread::SetQueueHook(nullptr);
    t.Queue([&] { ++ran; });
    EXPECT_EQ(ran, 2);

    TThrower never;
    EXPECT_THROW(never.WaitFor(), EThread);

    std::atomic<int> runs{0};
    TSimpleEvent gone;
    auto* self = new TWorker(true, &runs);
    self->FreeOnTerminate = true;
    self->OnTerminate = [&](TObject*) { gone.SetEvent(); };
    EXPECT_THROW(self->WaitFor(), EThread);
    self->Terminate();
    self->Start();
    EXPECT_EQ(gone.WaitFor(5000), wrSignaled);
}

TEST(TEvent, ManualResetWakesEveryWaiter)
{
    TEvent ev(nullptr, true, false, QString());
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (ev.WaitFor(5000) == wrSignaled)
                ++woken;
        });
    Sleep(30);
    EXPECT_EQ(woken.load(), 0);
    ev.SetEvent();
    for (auto& w : waiters)
        w.join();
    EXPECT_EQ(woken.load(), 3);
    EXPECT_EQ(ev.WaitFor(0), wrSignaled); // stays set
    ev.ResetEvent();
    EXPECT_EQ(ev.WaitFor(10), wrTimeout);
}

TEST(TEvent, AutoResetWakesOne)
{
    TEvent ev(nullptr, false, false, QString());
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (ev.WaitFor(300) == wrSignaled)
                ++woken;
        });
    Sleep(30);
    ev.SetEvent();
    for (auto& w : waiters)
        w.join();
    EXPECT_EQ(woken.load(), 1);
    EXPECT_EQ(ev.WaitFor(0), wrTimeout); // it reset itself

    TEvent initially(nullptr, false, true, QString());
    EXPECT_EQ(initially.WaitFor(0), wrSignaled);
    EXPECT_EQ(initially.WaitFor(0), wrTimeout);
}

TEST(TEvent, SameNameSameEvent)
{
    TEvent a(nullptr, true, false, QStringLiteral("ScanGo"));
    TEvent b(nullptr, false, true, QStringLiteral("ScanGo")); // flags of the first hold
    TEvent other(nullptr, true, false, QStringLiteral("scango"));
    EXPECT_EQ(b.WaitFor(0), wrTimeout);
    a.SetEvent();
    EXPECT_EQ(b.WaitFor(0), wrSignaled);
    EXPECT_EQ(b.WaitFor(0), wrSignaled); // manual reset, from the first
    EXPECT_EQ(other.WaitFor(0), wrTimeout);
}

TEST(TCriticalSection, ExcludesOtherThreadsNotItsOwner)
{
    TCriticalSection cs;
    cs.Enter();
    EXPECT_TRUE(cs.TryEnter()); // the same thread again
    bool otherGot = true;
    std::thread t([&] { otherGot = cs.TryEnter(); });
    t.join();
    EXPECT_FALSE(otherGot);
    cs.Leave();
    cs.Leave();
    std::thread t2([&] {
        otherGot = cs.TryEnter();
        if (otherGot)
            cs.Leave();
    });
    t2.join();
    EXPECT_TRUE(otherGot);
}

TEST(Clock, TickCountHookAndSleep)
{
    const uint32_t t0 = GetTickCount();
    Sleep(20);
    EXPECT_GE(GetTickCount() - t0, 20u);
    SetTickCountHook([] { return 0xFFFFFFF0u; });
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    SetTickCountHook(nullptr);
}
