#pragma once
// Synchronisation objects: events (auto- and manual-reset, shared by name
// inside the process) and a critical section.
#include "platform/core/Objects.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };
constexpr uint32_t INFINITE = 0xFFFFFFFF;

class THandleObject : public TObject {
    KAL_CLASS(THandleObject, TObject)
public:
    int LastError() const { return FLastError; }

protected:
    int FLastError = 0;
};

class TEvent : public THandleObject {
    KAL_CLASS(TEvent, THandleObject)
public:
    // A manual-reset event stays signalled until reset and wakes every
    // waiter; an auto-reset event wakes one waiter and resets itself. Events
    // made with the same non-empty name share one state (the later ones'
    // flags are ignored, as when an existing event is opened).
    TEvent(void* eventAttributes, bool manualReset, bool initialState, const QString& name);
    // A manual-reset, unnamed event, not signalled.
    TEvent();
    ~TEvent() override;
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    // Waits until signalled or `timeout` milliseconds pass (INFINITE: no
    // limit; 0: only looks).
    TWaitResult WaitFor(uint32_t timeout);
    void SetEvent();
    void ResetEvent();

    struct State;

private:
    std::shared_ptr<State> FState;
};

// A manual-reset, unnamed event that starts not signalled.
class TSimpleEvent : public TEvent {
    KAL_CLASS(TSimpleEvent, TEvent)
public:
    TSimpleEvent() : TEvent(nullptr, true, false, QString()) {}
};

// A lock the same thread may take again (each Enter needs its Leave).
class TCriticalSection : public TObject {
    KAL_CLASS(TCriticalSection, TObject)
public:
    void Acquire() { FLock.lock(); }
    void Release() { FLock.unlock(); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }
    bool TryEnter() { return FLock.try_lock(); }

private:
    std::recursive_mutex FLock;
};
