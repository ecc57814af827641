#pragma once
// A last check before a datagram, an echo request or a connection leaves the
// program: a test program installs a guard so that nothing it runs can reach
// an address beyond the loopback network, whatever a fault in the code under
// test would send. The program itself installs none.
#include <QString>

#include <cstdint>
#include <functional>

namespace Sys {

struct Destination {
    QString Address; // dotted IPv4, or the IPv6 text
    quint16 Port = 0;
    QString Kind;    // "datagram", "echo request", "connection"
    bool Loopback = false; // inside 127.0.0.0/8
};

// True lets the destination through; false refuses it.
using DestinationGuardFn = std::function<bool(const Destination&)>;

// Installs the guard for the whole process (empty: none).
void SetDestinationGuard(DestinationGuardFn guard);

// The guard installed, to put it back after a test replaced it.
DestinationGuardFn CurrentDestinationGuard();

// Asks the guard, if any; a refusal raises ESysError naming the address.
void CheckDestinationIPv4(uint32_t addressBE, quint16 port, const QString& kind);
void CheckDestinationText(const QString& address, quint16 port, const QString& kind);

} // namespace Sys
