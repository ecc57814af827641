#pragma once
// The scan engine's UDP "server": one endpoint of the platform's UDP service,
// bound only while active, with a listener thread of its own that hands every
// datagram to a receive handler.
//
// Activate binds and starts the listener; Deactivate stops the listener,
// waits for it and closes the socket, so no handler runs once it has
// returned. The endpoint object is made once and kept, so a test that
// replaced the UDP service can look at it between scans.
#include "platform/sys/Udp.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class TMBusUdpServer {
public:
    using TReceiveHandler = std::function<void(const Sys::UdpDatagram&)>;

    // Takes its endpoint from Sys::Udp().
    TMBusUdpServer();
    ~TMBusUdpServer();
    TMBusUdpServer(const TMBusUdpServer&) = delete;
    TMBusUdpServer& operator=(const TMBusUdpServer&) = delete;

    // Called on the listener thread for each datagram.
    TReceiveHandler OnUDPRead;

    // Binds (empty address: every address) and starts the listener. Raises
    // ESysError when the socket cannot be bound (nothing is left running).
    void Activate(const QString& address, quint16 port);
    // Stops and joins the listener, then closes the socket. Does nothing
    // when not active; never raises.
    void Deactivate();
    bool Active() const { return FActive; }

    // Sends one datagram from the bound socket.
    void SendTo(const QByteArray& data, const QString& address, quint16 port);
    // The port the socket is bound to (0 when not bound).
    quint16 LocalPort() const;
    Sys::IUdpEndpoint* Endpoint() const { return FEndpoint.get(); }

    // How long one receive waits before the listener looks at its stop flag.
    static constexpr int ListenSliceMs = 20;

private:
    void listen();

    std::unique_ptr<Sys::IUdpEndpoint> FEndpoint;
    std::thread FListener;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FActive{false};
};
