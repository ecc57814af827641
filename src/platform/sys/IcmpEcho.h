#pragma once
// ICMP echo ("ping") of a gateway before it is updated. Only a numeric IPv4
// address is accepted: the gateway is typed as four octets and nothing is ever
// looked up by name.
#include "platform/sys/SysErrors.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <memory>

namespace Sys {

enum class EchoStatus { Reply, TimedOut };

struct EchoResult {
    EchoStatus Status = EchoStatus::TimedOut;
    // Payload bytes the reply carried (the ICMP header not counted).
    int Bytes = 0;
    // Round trip in milliseconds.
    int TimeMs = 0;
};

// Parses "a.b.c.d" with decimal octets 0..255 (blanks or anything else fail);
// the address in network byte order, or false.
bool ParseIPv4(const QString& text, uint32_t& addressBE);

class IIcmpEcho {
public:
    virtual ~IIcmpEcho() = default;
    // Sends one echo request whose data is the address text padded with zero
    // bytes (or cut) to payloadSize, and waits up to timeoutMs for its reply.
    // Raises ESysError for an address that is not numeric IPv4 or when no
    // echo socket can be opened.
    virtual EchoResult Echo(const QString& address, int payloadSize = 1024, int timeoutMs = 400) = 0;
};

// A datagram ICMP socket where the system allows it to everyone, else a raw
// socket (which needs the privilege to open it).
class RealIcmpEcho : public IIcmpEcho {
public:
    EchoResult Echo(const QString& address, int payloadSize = 1024, int timeoutMs = 400) override;

private:
    uint16_t FSequence = 0;
};

// Answers from a script and records the requests.
class FakeIcmpEcho : public IIcmpEcho {
public:
    struct Request {
        QString Address;
        int PayloadSize;
        int TimeoutMs;
    };
    QList<Request> Requests;
    // Answer for every request: a reply of the payload size, or a time-out.
    bool Answer = true;
    // When set, Echo raises ESysError with this text.
    QString FailWith;

    EchoResult Echo(const QString& address, int payloadSize = 1024, int timeoutMs = 400) override;
};

IIcmpEcho& IcmpEcho();
void SetIcmpEcho(std::unique_ptr<IIcmpEcho> p);

} // namespace Sys
