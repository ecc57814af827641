#pragma once
// Threads in the class library's manner, and the clock and sleep every layer
// uses.
#include "platform/core/Objects.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class TThread : public TObject {
    KAL_CLASS(TThread, TObject)
public:
    // A thread made not suspended starts in AfterConstruction, once the
    // whole object stands: make threads with NewObject<T>(...), or made with
    // `new` call Start yourself.
    explicit TThread(bool createSuspended);
    // A running thread is told to terminate and waited for.
    ~TThread() override;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    void AfterConstruction() override;
    // Terminate and wait while the overrides still stand.
    void BeforeDestruction() override;

    // Starts a thread that was made suspended; raises EThread "Cannot call
    // Start on a running or finished thread" otherwise.
    void Start();
    // Starts a suspended thread; does nothing to one that runs.
    void Resume();
    bool Suspended() const { return !FStarted; }
    bool Finished() const { return FFinished; }

    // Sets the flag Execute is expected to watch.
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    // Waits for the end of Execute and returns ReturnValue. Raises EThread
    // for a thread that frees itself or was never started.
    int WaitFor();
    int ReturnValue() const { return FReturnValue; }
    // What escaped Execute, if anything.
    std::exception_ptr FatalException() const { return FFatalException; }

    // Frees the object when Execute ends (never wait for such a thread).
    bool FreeOnTerminate = false;
    // Called when Execute ends, through Synchronize.
    TNotifyEvent OnTerminate;

    // Runs `method` on the user-interface thread and waits for it. The
    // controls layer installs the hook that gets it there; without a hook
    // the method runs on the calling thread.
    static void Synchronize(TThread* thread, const std::function<void()>& method);
    void Synchronize(const std::function<void()>& method) { Synchronize(this, method); }
    static void SetSynchronizeHook(std::function<void(const std::function<void()>&)> hook);
    // Hands `method` to the user-interface thread without waiting for it,
    // through its own hook; without one it runs on the calling thread.
    static void Queue(TThread* thread, const std::function<void()>& method);
    void Queue(const std::function<void()>& method) { Queue(this, method); }
    static void SetQueueHook(std::function<void(const std::function<void()>&)> hook);

protected:
    virtual void Execute() = 0;
    void SetReturnValue(int value) { FReturnValue = value; }
    virtual void DoTerminate();

private:
    void run();

    std::thread FThread;
    std::mutex FLock;
    std::condition_variable FDone;
    std::atomic<bool> FStarted{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FTerminated{false};
    bool FCreateSuspended;
    std::atomic<int> FReturnValue{0};
    std::exception_ptr FFatalException;
};

// Milliseconds since an arbitrary start, wrapping at 32 bits. Tests may set a
// hook that answers instead.
uint32_t GetTickCount();
void SetTickCountHook(std::function<uint32_t()> hook);
void Sleep(uint32_t milliseconds);
