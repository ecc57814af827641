#include "platform/controls/Timers.h"

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"

#include <QList>
#include <algorithm>
#include <cstdint>

namespace {
struct Entry {
    TTimer* Component = nullptr;  // a timer component, or
    HWND Wnd = 0;                 // a window timer of this control
    unsigned Id = 0;
    unsigned Interval = 0;
    std::int64_t Due = 0;  // tick at which it fires next
};
QList<Entry>& Entries() {
    static QList<Entry> e;
    return e;
}
// The tick count widened, so comparisons survive the 32-bit wrap of a long
// run well enough for the intervals in use.
std::int64_t Now() { return TickCount(); }

int FindWindowTimer(HWND h, unsigned id) {
    const auto& e = Entries();
    for (int i = 0; i < e.size(); ++i)
        if (!e[i].Component && e[i].Wnd == h && e[i].Id == id) return i;
    return -1;
}
int FindComponentTimer(const TTimer* t) {
    const auto& e = Entries();
    for (int i = 0; i < e.size(); ++i)
        if (e[i].Component == t) return i;
    return -1;
}

void Deliver(const Entry& e) {
    if (e.Component) {
        Application()->Guard([&] { e.Component->Timer(); });
    } else if (TWinControl* c = FindControl(e.Wnd)) {
        Application()->Guard([&] { c->Perform(WM_TIMER, e.Id, 0); });
    }
}

// The entry's next firing, looked up again because a handler may have killed
// or restarted timers.
void Reschedule(TTimer* comp, HWND wnd, unsigned id, std::int64_t firedAt) {
    const int i = comp ? FindComponentTimer(comp) : FindWindowTimer(wnd, id);
    if (i < 0) return;
    Entry& e = Entries()[i];
    if (e.Due <= firedAt) e.Due = firedAt + std::max(1u, e.Interval);
}
}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
    const int i = FindComponentTimer(this);
    if (i >= 0) Entries().removeAt(i);
}

void TTimer::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
    if (ms == FInterval) return;
    FInterval = ms;
    UpdateTimer();
}

bool TTimer::Running() const { return FEnabled && FInterval > 0 && OnTimer; }

void TTimer::Timer() {
    if (FEnabled && OnTimer) OnTimer(this);
}

// Every change starts the interval anew, as the platform's timer does.
void TTimer::UpdateTimer() {
    const int i = FindComponentTimer(this);
    if (i >= 0) Entries().removeAt(i);
    if (FEnabled && FInterval > 0) {
        Entry e;
        e.Component = this;
        e.Interval = FInterval;
        e.Due = Now() + FInterval;
        Entries() << e;
    }
}

unsigned SetTimer(TWinControl* c, unsigned id, unsigned ms) {
    if (!c) return 0;
    const HWND h = c->Handle();
    const int i = FindWindowTimer(h, id);
    if (i >= 0) Entries().removeAt(i);
    Entry e;
    e.Wnd = h;
    e.Id = id;
    e.Interval = ms;
    e.Due = Now() + ms;
    Entries() << e;
    return id;
}

bool KillTimer(TWinControl* c, unsigned id) {
    if (!c || !c->HandleAllocated()) return false;
    const int i = FindWindowTimer(c->Handle(), id);
    if (i < 0) return false;
    Entries().removeAt(i);
    return true;
}

bool IsTimerSet(TWinControl* c, unsigned id) {
    return c && c->HandleAllocated() && FindWindowTimer(c->Handle(), id) >= 0;
}

bool FireTimer(TWinControl* c, unsigned id) {
    if (!IsTimerSet(c, id)) return false;
    Deliver(Entries()[FindWindowTimer(c->Handle(), id)]);
    return true;
}

void KillTimersOf(HWND h) {
    auto& e = Entries();
    for (int i = int(e.size()) - 1; i >= 0; --i)
        if (!e[i].Component && e[i].Wnd == h) e.removeAt(i);
}

int ActiveTimerCount() { return int(Entries().size()); }

std::int64_t NextTimerDue() {
    std::int64_t next = -1;
    for (const Entry& e : Entries())
        if (next < 0 || e.Due < next) next = e.Due;
    return next;
}

int FireDueTimers() {
    const std::int64_t now = Now();
    // Take a snapshot: handlers may add or remove timers while we run.
    QList<Entry> due;
    for (const Entry& e : Entries())
        if (e.Due <= now) due << e;
    std::stable_sort(due.begin(), due.end(), [](const Entry& a, const Entry& b) { return a.Due < b.Due; });
    int fired = 0;
    for (const Entry& e : due) {
        // Skip timers removed by an earlier handler in this round.
        const int i = e.Component ? FindComponentTimer(e.Component) : FindWindowTimer(e.Wnd, e.Id);
        if (i < 0 || Entries()[i].Due > now) continue;
        Reschedule(e.Component, e.Wnd, e.Id, now);
        Deliver(e);
        ++fired;
    }
    return fired;
}

void AdvanceTime(unsigned ms) {
    std::int64_t now = Now();
    SetTickCountForTest(now);
    const std::int64_t end = now + ms;
    for (;;) {
        std::int64_t next = end + 1;
        for (const Entry& e : Entries()) next = std::min(next, e.Due);
        if (next > end) break;
        SetTickCountForTest(std::max(next, now));
        now = std::max(next, now);
        FireDueTimers();
    }
    SetTickCountForTest(end);
}
