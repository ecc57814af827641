#include "platform/sys/SysWait.h"
#include "platform/sys/SysErrors.h"
#include <cerrno>
#include <poll.h>
#include <time.h>

namespace Sys {

qint64 NowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool WaitReady(int fd, short events, const Deadline& d, const QString& whatFailed)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, d.Left());
        if (r > 0)
            return true;
        if (r == 0)
            return false;
        if (errno != EINTR)
            RaiseErrno(whatFailed, errno);
    }
}

} // namespace Sys
