#include "platform/sys/IcmpEcho.h"
#include "platform/sys/DestinationGuard.h"
#include "platform/sys/ServiceSlot.h"
#include "platform/sys/SysWait.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace Sys {

namespace {

constexpr int IcmpHeaderSize = 8;
constexpr int MaxPayload = 65507 - IcmpHeaderSize;

uint16_t Checksum(const uint8_t* p, size_t n)
{
    uint32_t sum = 0;
    for (; n > 1; p += 2, n -= 2)
        sum += uint32_t(p[0]) << 8 | p[1];
    if (n == 1)
        sum += uint32_t(p[0]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return uint16_t(~sum);
}

// The socket closes with the object, whatever way the echo ends.
struct Socket {
    int Fd = -1;
    bool Raw = false;
    ~Socket()
    {
        if (Fd >= 0)
            ::close(Fd);
    }
};

void OpenEchoSocket(Socket& s)
{
    s.Fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (s.Fd >= 0)
        return;
    const int dgramErr = errno;
    s.Fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (s.Fd >= 0) {
        s.Raw = true;
        return;
    }
    const int rawErr = errno;
    throw ESysError(QStringLiteral("Cannot open an ICMP echo socket: datagram socket: %1; raw socket: %2")
                        .arg(ErrnoText(dgramErr), ErrnoText(rawErr)),
                    rawErr);
}

uint16_t Get16(const uint8_t* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

} // namespace

bool ParseIPv4(const QString& text, uint32_t& addressBE)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return false;
    uint32_t host = 0;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return false;
        int v = 0;
        for (QChar c : part) {
            if (c < u'0' || c > u'9')
                return false;
            v = v * 10 + (c.unicode() - u'0');
        }
        if (v > 255)
            return false;
        host = host << 8 | uint32_t(v);
    }
    addressBE = htonl(host);
    return true;
}

EchoResult RealIcmpEcho::Echo(const QString& address, int payloadSize, int timeoutMs)
{
    uint32_t addr = 0;
    if (!ParseIPv4(address, addr))
        throw ESysError(QStringLiteral("\"%1\" is not a numeric IPv4 address").arg(address));
    if (payloadSize < 0 || payloadSize > MaxPayload)
        throw ESysError(QStringLiteral("Echo payload size %1 is out of range").arg(payloadSize));
    CheckDestinationIPv4(addr, 0, QStringLiteral("echo request"));

    Socket s;
    OpenEchoSocket(s);

    // Request: header, then the address text padded with zeros.
    std::vector<uint8_t> pkt(size_t(IcmpHeaderSize + payloadSize), 0);
    const QByteArray text = address.toLatin1();
    std::memcpy(pkt.data() + IcmpHeaderSize, text.constData(), size_t(qMin<qsizetype>(text.size(), payloadSize)));
    const uint16_t ident = htons(uint16_t(::getpid() & 0xFFFF));
    const uint16_t seq = htons(++FSequence);
    pkt[0] = ICMP_ECHO;
    std::memcpy(&pkt[4], &ident, 2);
    std::memcpy(&pkt[6], &seq, 2);
    const uint16_t sum = htons(Checksum(pkt.data(), pkt.size()));
    std::memcpy(&pkt[2], &sum, 2);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = addr;
    const qint64 start = NowMs();
    const Deadline d(timeoutMs);
    if (::sendto(s.Fd, pkt.data(), pkt.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0) {
        const int err = errno;
        // An unreachable network is an unanswered request, not a broken client.
        if (err == ENETUNREACH || err == EHOSTUNREACH || err == EHOSTDOWN)
            return EchoResult{};
        RaiseErrno(QStringLiteral("Cannot send an echo request to %1").arg(address), err);
    }

    // A datagram socket's identifier is chosen by the system (its local port).
    uint16_t kernelIdent = ident;
    if (!s.Raw) {
        sockaddr_in local{};
        socklen_t len = sizeof local;
        if (::getsockname(s.Fd, reinterpret_cast<sockaddr*>(&local), &len) == 0)
            kernelIdent = local.sin_port;
    }

    std::vector<uint8_t> buf(size_t(65536));
    for (;;) {
        if (d.Left() <= 0 || !WaitReady(s.Fd, POLLIN, d, QStringLiteral("Cannot wait for the echo reply")))
            return EchoResult{};
        sockaddr_in from{};
        socklen_t flen = sizeof from;
        const ssize_t n = ::recvfrom(s.Fd, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &flen);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            RaiseErrno(QStringLiteral("Cannot receive the echo reply"), errno);
        }
        const uint8_t* icmp = buf.data();
        size_t len = size_t(n);
        if (s.Raw) {
            // A raw socket hands over the IP header too.
            if (len < 20)
                continue;
            const size_t ihl = size_t(buf[0] & 0x0F) * 4;
            if (ihl < 20 || len < ihl)
                continue;
            icmp += ihl;
            len -= ihl;
        }
        if (len < size_t(IcmpHeaderSize) || from.sin_addr.s_addr != addr)
            continue;
        // Our own request (seen on loopback by a raw socket) and other
        // programs' traffic are skipped.
        if (icmp[0] != ICMP_ECHOREPLY || icmp[1] != 0)
            continue;
        const uint16_t gotIdent = Get16(icmp + 4);
        if (Get16(icmp + 6) != seq || (gotIdent != ident && gotIdent != kernelIdent))
            continue;
        EchoResult r;
        r.Status = EchoStatus::Reply;
        r.Bytes = int(len) - IcmpHeaderSize;
        r.TimeMs = int(NowMs() - start);
        return r;
    }
}

EchoResult FakeIcmpEcho::Echo(const QString& address, int payloadSize, int timeoutMs)
{
    Requests.append({address, payloadSize, timeoutMs});
    if (!FailWith.isEmpty())
        throw ESysError(FailWith);
    EchoResult r;
    if (Answer) {
        r.Status = EchoStatus::Reply;
        r.Bytes = payloadSize;
    }
    return r;
}

namespace {
ServiceSlot<IIcmpEcho, RealIcmpEcho>& Slot()
{
    static ServiceSlot<IIcmpEcho, RealIcmpEcho> s;
    return s;
}
} // namespace

IIcmpEcho& IcmpEcho()
{
    return Slot().Get();
}

void SetIcmpEcho(std::unique_ptr<IIcmpEcho> p)
{
    Slot().Set(std::move(p));
}

} // namespace Sys
