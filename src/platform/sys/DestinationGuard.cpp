#include "platform/sys/DestinationGuard.h"

#include "platform/sys/IcmpEcho.h"
#include "platform/sys/SysErrors.h"

#include <arpa/inet.h>

#include <memory>
#include <mutex>

namespace Sys {

namespace {
std::mutex& guardLock()
{
    static std::mutex m;
    return m;
}
std::shared_ptr<DestinationGuardFn>& guardSlot()
{
    static std::shared_ptr<DestinationGuardFn> g;
    return g;
}

void ask(const Destination& d)
{
    std::shared_ptr<DestinationGuardFn> g;
    {
        std::lock_guard lock(guardLock());
        g = guardSlot();
    }
    if (g && *g && !(*g)(d))
        throw ESysError(QStringLiteral("%1 to %2:%3 refused").arg(d.Kind, d.Address).arg(d.Port));
}
} // namespace

void SetDestinationGuard(DestinationGuardFn guard)
{
    std::lock_guard lock(guardLock());
    guardSlot() = guard ? std::make_shared<DestinationGuardFn>(std::move(guard)) : nullptr;
}

DestinationGuardFn CurrentDestinationGuard()
{
    std::lock_guard lock(guardLock());
    return guardSlot() ? *guardSlot() : DestinationGuardFn();
}

void CheckDestinationIPv4(uint32_t addressBE, quint16 port, const QString& kind)
{
    const uint32_t host = ntohl(addressBE);
    Destination d;
    d.Address = QStringLiteral("%1.%2.%3.%4")
                    .arg(host >> 24)
                    .arg((host >> 16) & 0xFF)
                    .arg((host >> 8) & 0xFF)
                    .arg(host & 0xFF);
    d.Port = port;
    d.Kind = kind;
    d.Loopback = (host >> 24) == 127;
    ask(d);
}

void CheckDestinationText(const QString& address, quint16 port, const QString& kind)
{
    uint32_t be = 0;
    if (ParseIPv4(address, be)) {
        CheckDestinationIPv4(be, port, kind);
        return;
    }
    ask(Destination{address, port, kind, false});
}

} // namespace Sys
