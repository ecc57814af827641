#pragma once
// UDP endpoint for the Ethernet M-Bus gateway: bound to a local address and
// port, sending datagrams to numeric IPv4 addresses and receiving with a
// time-out (a listener thread calls Receive in a loop).
#include "platform/sys/SysErrors.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <mutex>
#include <optional>

namespace Sys {

struct UdpDatagram {
    QByteArray Data;
    QString Address; // the sender, dotted IPv4
    quint16 Port = 0;
};

class IUdpEndpoint {
public:
    virtual ~IUdpEndpoint() = default;
    // Binds to a numeric IPv4 address (empty: every address) and a port (0:
    // any free one). Raises ESysError on failure or when already bound.
    virtual void Bind(const QString& address, quint16 port) = 0;
    virtual bool IsBound() const = 0;
    virtual quint16 LocalPort() const = 0;
    // Sends one datagram (binding to any port first when not bound); returns
    // the bytes sent. Raises ESysError for a non-numeric address or a failure.
    virtual int SendTo(const QByteArray& data, const QString& address, quint16 port) = 0;
    // The next datagram, or nothing when none came within timeoutMs.
    virtual std::optional<UdpDatagram> Receive(int timeoutMs) = 0;
    virtual void Close() = 0;
};

class RealUdpEndpoint : public IUdpEndpoint {
public:
    ~RealUdpEndpoint() override;
    void Bind(const QString& address, quint16 port) override;
    bool IsBound() const override { return FFd >= 0; }
    quint16 LocalPort() const override { return FPort; }
    int SendTo(const QByteArray& data, const QString& address, quint16 port) override;
    std::optional<UdpDatagram> Receive(int timeoutMs) override;
    void Close() override;

private:
    int FFd = -1;
    quint16 FPort = 0;
};

// A loop-back stand-in: what is sent is recorded, what a test queues is
// received.
class FakeUdpEndpoint : public IUdpEndpoint {
public:
    struct Sent {
        QByteArray Data;
        QString Address;
        quint16 Port;
    };
    void Bind(const QString& address, quint16 port) override;
    bool IsBound() const override;
    quint16 LocalPort() const override;
    int SendTo(const QByteArray& data, const QString& address, quint16 port) override;
    std::optional<UdpDatagram> Receive(int timeoutMs) override;
    void Close() override;

    // Thread-safe: a listener thread may receive while the test queues.
    void Queue(const UdpDatagram& d);
    QList<Sent> SentData() const;

private:
    mutable std::mutex FLock;
    bool FBound = false;
    quint16 FPort = 0;
    QList<Sent> FSent;
    QList<UdpDatagram> FIncoming;
};

class IUdpFactory {
public:
    virtual ~IUdpFactory() = default;
    virtual std::unique_ptr<IUdpEndpoint> Create() = 0;
};

class RealUdpFactory : public IUdpFactory {
public:
    std::unique_ptr<IUdpEndpoint> Create() override { return std::make_unique<RealUdpEndpoint>(); }
};

// Hands out fake endpoints and keeps a pointer to each for the test (the
// creator owns them; the pointers are valid while it keeps them).
class FakeUdpFactory : public IUdpFactory {
public:
    std::unique_ptr<IUdpEndpoint> Create() override;
    QList<FakeUdpEndpoint*> Created;
};

IUdpFactory& Udp();
void SetUdp(std::unique_ptr<IUdpFactory> p);

} // namespace Sys
