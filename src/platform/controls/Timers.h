#pragma once
// Timers: window timers by id (delivered as WM_TIMER) and timer components
// with OnTimer. All of them run on the layer's tick count, so a test can move
// the clock (AdvanceTime) or fire a timer by hand and see the same thing a
// person would.
#include "platform/controls/Messages.h"
#include "platform/core/Components.h"

#include <functional>

class TWinControl;

class TTimer : public TComponent {
    KAL_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned ms);
    TNotifyEvent OnTimer;
    // Runs OnTimer, as the timer does when its interval has passed.
    virtual void Timer();
    // Enabled, with an interval and a handler: the timer counts.
    bool Running() const;

private:
    void UpdateTimer();
    bool FEnabled = true;
    unsigned FInterval = 1000;
};

// Starts (or restarts) window timer `id` of the control; answers id.
unsigned SetTimer(TWinControl* c, unsigned id, unsigned ms);
bool KillTimer(TWinControl* c, unsigned id);
bool IsTimerSet(TWinControl* c, unsigned id);
// Sends WM_TIMER for `id` to the control now; false when no such timer runs.
bool FireTimer(TWinControl* c, unsigned id);

// Stops every window timer of a window (it is going away).
void KillTimersOf(HWND h);

// Fires once every timer whose time has come by the tick count; answers how
// many fired. The event loop calls this.
int FireDueTimers();
// Moves the (then fixed) test clock forward by `ms`, firing the timers in the
// order they fall due, each as often as its interval fits.
void AdvanceTime(unsigned ms);
int ActiveTimerCount();
// The tick at which the next timer falls due; -1 when no timer runs.
std::int64_t NextTimerDue();
