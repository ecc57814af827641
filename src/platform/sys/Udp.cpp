#include "platform/sys/Udp.h"
#include "platform/sys/DestinationGuard.h"
#include "platform/sys/ServiceSlot.h"
#include "platform/sys/SysWait.h"

#include "platform/sys/IcmpEcho.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace Sys {

namespace {

sockaddr_in ToSockAddr(const QString& address, quint16 port, bool emptyIsAny)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (address.isEmpty() && emptyIsAny) {
        a.sin_addr.s_addr = htonl(INADDR_ANY);
        return a;
    }
    uint32_t addr = 0;
    if (!ParseIPv4(address, addr))
        throw ESysError(QStringLiteral("\"%1\" is not a numeric IPv4 address").arg(address));
    a.sin_addr.s_addr = addr;
    return a;
}

} // namespace

RealUdpEndpoint::~RealUdpEndpoint()
{
    Close();
}

void RealUdpEndpoint::Bind(const QString& address, quint16 port)
{
    if (FFd >= 0)
        throw ESysError(QStringLiteral("UDP endpoint is already bound to port %1").arg(FPort));
    const sockaddr_in a = ToSockAddr(address, port, true);
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        RaiseErrno(QStringLiteral("Cannot open a UDP socket"), errno);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) < 0) {
        const int err = errno;
        ::close(fd);
        RaiseErrno(QStringLiteral("Cannot bind UDP port %1").arg(port), err);
    }
    sockaddr_in local{};
    socklen_t len = sizeof local;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len);
    FFd = fd;
    FPort = ntohs(local.sin_port);
}

int RealUdpEndpoint::SendTo(const QByteArray& data, const QString& address, quint16 port)
{
    const sockaddr_in to = ToSockAddr(address, port, false);
    CheckDestinationIPv4(to.sin_addr.s_addr, port, QStringLiteral("datagram"));
    if (FFd < 0)
        Bind(QString(), 0);
    for (;;) {
        const ssize_t n = ::sendto(FFd, data.constData(), size_t(data.size()), 0,
                                   reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (n >= 0)
            return int(n);
        if (errno != EINTR)
            RaiseErrno(QStringLiteral("Cannot send a UDP datagram to %1:%2").arg(address).arg(port), errno);
    }
}

std::optional<UdpDatagram> RealUdpEndpoint::Receive(int timeoutMs)
{
    if (FFd < 0)
        throw ESysError(QStringLiteral("UDP endpoint is not bound"));
    const Deadline d(timeoutMs);
    QByteArray buf(65536, Qt::Uninitialized);
    for (;;) {
        if (!WaitReady(FFd, POLLIN, d, QStringLiteral("Cannot wait for a UDP datagram")))
            return std::nullopt;
        sockaddr_in from{};
        socklen_t flen = sizeof from;
        const ssize_t n = ::recvfrom(FFd, buf.data(), size_t(buf.size()), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &flen);
        if (n < 0) {
            // An ICMP "port unreachable" for an earlier send surfaces here as
            // ECONNREFUSED; it says nothing about the next datagram.
            if (errno == EINTR || errno == EAGAIN || errno == ECONNREFUSED)
                continue;
            RaiseErrno(QStringLiteral("Cannot receive a UDP datagram"), errno);
        }
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        return UdpDatagram{buf.left(n), QString::fromLatin1(text), ntohs(from.sin_port)};
    }
}

void RealUdpEndpoint::Close()
{
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
    FPort = 0;
}

// ---- fake ------------------------------------------------------------------

void FakeUdpEndpoint::Bind(const QString&, quint16 port)
{
    std::lock_guard g(FLock);
    if (FBound)
        throw ESysError(QStringLiteral("UDP endpoint is already bound to port %1").arg(FPort));
    FBound = true;
    FPort = port == 0 ? 49152 : port;
}

bool FakeUdpEndpoint::IsBound() const
{
    std::lock_guard g(FLock);
    return FBound;
}

quint16 FakeUdpEndpoint::LocalPort() const
{
    std::lock_guard g(FLock);
    return FPort;
}

int FakeUdpEndpoint::SendTo(const QByteArray& data, const QString& address, quint16 port)
{
    uint32_t addr = 0;
    if (!ParseIPv4(address, addr))
        throw ESysError(QStringLiteral("\"%1\" is not a numeric IPv4 address").arg(address));
    std::lock_guard g(FLock);
    if (!FBound) {
        FBound = true;
        FPort = 49152;
    }
    FSent.append({data, address, port});
    return int(data.size());
}

std::optional<UdpDatagram> FakeUdpEndpoint::Receive(int timeoutMs)
{
    const qint64 start = NowMs();
    for (;;) {
        {
            std::lock_guard g(FLock);
            if (!FIncoming.isEmpty())
                return FIncoming.takeFirst();
        }
        if (NowMs() - start >= timeoutMs)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void FakeUdpEndpoint::Close()
{
    std::lock_guard g(FLock);
    FBound = false;
    FPort = 0;
}

void FakeUdpEndpoint::Queue(const UdpDatagram& d)
{
    std::lock_guard g(FLock);
    FIncoming.append(d);
}

QList<FakeUdpEndpoint::Sent> FakeUdpEndpoint::SentData() const
{
    std::lock_guard g(FLock);
    return FSent;
}

std::unique_ptr<IUdpEndpoint> FakeUdpFactory::Create()
{
    auto e = std::make_unique<FakeUdpEndpoint>();
    Created.append(e.get());
    return e;
}

namespace {
ServiceSlot<IUdpFactory, RealUdpFactory>& Slot()
{
    static ServiceSlot<IUdpFactory, RealUdpFactory> s;
    return s;
}
} // namespace

IUdpFactory& Udp()
{
    return Slot().Get();
}

void SetUdp(std::unique_ptr<IUdpFactory> p)
{
    Slot().Set(std::move(p));
}

} // namespace Sys
