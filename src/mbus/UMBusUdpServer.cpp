#include "mbus/UMBusUdpServer.h"

#include "platform/core/Threads.h"

TMBusUdpServer::TMBusUdpServer() : FEndpoint(Sys::Udp().Create()) {}

TMBusUdpServer::~TMBusUdpServer()
{
    Deactivate();
}

void TMBusUdpServer::Activate(const QString& address, quint16 port)
{
    if (FActive)
        Deactivate();
    FEndpoint->Bind(address, port);
    FStop = false;
    FActive = true;
    FListener = std::thread([this] { listen(); });
}

void TMBusUdpServer::Deactivate()
{
    FStop = true;
    if (FListener.joinable())
        FListener.join();
    if (FActive || FEndpoint->IsBound())
        FEndpoint->Close();
    FActive = false;
}

void TMBusUdpServer::SendTo(const QByteArray& data, const QString& address, quint16 port)
{
    FEndpoint->SendTo(data, address, port);
}

quint16 TMBusUdpServer::LocalPort() const
{
    return FEndpoint->IsBound() ? FEndpoint->LocalPort() : 0;
}

void TMBusUdpServer::listen()
{
    while (!FStop) {
        std::optional<Sys::UdpDatagram> d;
        try {
            d = FEndpoint->Receive(ListenSliceMs);
        } catch (const std::exception&) {
            // A socket error says nothing about the next datagram; the pause
            // keeps a persistent one from spinning.
            Sleep(ListenSliceMs);
            continue;
        }
        if (d && OnUDPRead) {
            try {
                OnUDPRead(*d);
            } catch (...) {
                // The listener outlives a handler that fails on one datagram.
            }
        }
    }
}
