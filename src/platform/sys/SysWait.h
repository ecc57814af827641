#pragma once
// Time and waiting shared by the system services: a monotonic clock, a
// deadline that counts down, and a wait for a descriptor that outlasts
// interrupted calls.
#include <QString>
#include <QtGlobal>

namespace Sys {

// Milliseconds on the monotonic clock (never jumps with the wall clock).
qint64 NowMs();

// The end of a wait, fixed when it is made.
class Deadline {
public:
    explicit Deadline(qint64 ms) : FEnd(NowMs() + ms) {}
    // Milliseconds still left, 0 once it has passed.
    int Left() const { return int(qMax<qint64>(0, FEnd - NowMs())); }

private:
    qint64 FEnd;
};

// Waits until fd is ready for the poll events; false when the deadline
// passes first. A failed wait raises ESysError "<whatFailed>: <reason>";
// an interrupted one is taken up again with the time that is left.
bool WaitReady(int fd, short events, const Deadline& d, const QString& whatFailed);

} // namespace Sys
