#pragma once
// A stand-in for the maker's Ethernet M-Bus gateway and the wired bus behind
// it, for the scan engine's tests and benchmarks.
//
// TFakeGatewayScript is the gateway's behaviour as a plain function: given a
// datagram it returns the answer, or nothing. It knows the mode commands and,
// in analyzer mode, a scripted bus of meters addressed by primary address or
// by eight-digit identification number, each with its answer frames:
//   - SND_NKE, application reset: E5 when a meter is addressed (FFh: any;
//     FDh: the selected one), else "NO_SLAVE" LF CR;
//   - a secondary selection: E5 when it matches one meter (which is then the
//     selected one), "NO_SLAVE" LF CR when it matches none, a garbled
//     datagram when it matches several (their answers collide);
//   - REQ_UD2: the addressed meter's next answer frame (the last one
//     repeats), "NO_SLAVE" LF CR when nobody is addressed, garbled when
//     several are.
// Frames with a wrong checksum are not answered by any meter (NO_SLAVE).
//
// FakeMBusGateway puts the script on a real UDP endpoint bound to 127.0.0.2
// (an ephemeral port), with a thread of its own that records every datagram
// with its arrival time and answers to the sender's address and port.
#include "platform/sys/Udp.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

struct TFakeMeter {
    uint8_t Primary = 0;
    uint32_t Id = 0;          // the identification number's digits as hex digits: 0x12345678
    QList<QByteArray> Frames; // answers to REQ_UD2, in order; the last repeats
    int Next = 0;             // the frame the next REQ_UD2 gets
};

// The radio module the gateway carries, in its configuration mode:
//   - the first kind answers "+++" and every "AT..." CR command "OK" CR and
//     after "ATO" CR passes telegrams on;
//   - the second kind answers a command byte (00h, 4Dh, FFh, 42h, 4Bh, 41h)
//     and a data block ">", 30h with 256 bytes and ">", a slot byte (1..64
//     after 42h, 4Bh or 41h) and 58h (back to receiving) nothing.
// Every datagram meant for the module is kept in order in Received.
enum class TFakeRadio { None, Telit, RadioCrafts };

struct TFakeRadioModule {
    TFakeRadio Kind = TFakeRadio::None;
    bool Config_Mode = false;     // the gateway's configuration mode
    bool Receiving = false;       // the module passes telegrams on
    QList<QByteArray> Received;   // what reached the module, in order
    std::optional<QByteArray> Answer(const QByteArray& datagram);

private:
    uint8_t FLastCommand = 0;
};

class TFakeGatewayScript {
public:
    TFakeRadioModule Radio;
    // The answer to one datagram, or nothing (silence).
    std::optional<QByteArray> Answer(const QByteArray& datagram);

    QList<TFakeMeter> Meters;
    bool Analyzer_Mode = false;
    // Answers nothing at all.
    bool Silent = false;
    // When set, every mode command is answered with this instead.
    std::optional<QByteArray> Mode_Answer_Override;

    static const QByteArray No_Slave;
    static const QByteArray Garbled;

private:
    std::optional<QByteArray> Bus_Answer(const QByteArray& frame);
    QList<int> Addressed(uint8_t address) const;
    QList<int> FSelected;
};

// A long answer frame of a meter: 68h L L 68h 08h A 72h, the twelve-byte
// header (identification number, manufacturer, version, medium, access
// number 2Ah, status, signature 0), the records, the checksum, 16h.
QByteArray Fake_Meter_Frame(uint8_t primary, uint32_t id, uint16_t manufacturer, uint8_t version, uint8_t medium,
                            const QByteArray& records);

class FakeMBusGateway {
public:
    struct Received {
        QByteArray Data;
        qint64 AtMs;   // steady clock, ms
        QString From;
        quint16 FromPort;
    };

    static constexpr const char* Address = "127.0.0.2";

    // Binds 127.0.0.2 on a free port and starts listening.
    FakeMBusGateway();
    ~FakeMBusGateway();
    FakeMBusGateway(const FakeMBusGateway&) = delete;
    FakeMBusGateway& operator=(const FakeMBusGateway&) = delete;

    quint16 Port() const { return FPort; }

    // Changes the script under the gateway's lock.
    void Script(const std::function<void(TFakeGatewayScript&)>& change);
    void Add_Meter(uint8_t primary, uint32_t id, const QList<QByteArray>& frames);

    // Every datagram received so far, in order.
    QList<Received> Datagrams() const;
    QList<QByteArray> Data() const;
    // Waits until the predicate holds over what was received (true), or
    // until timeoutMs pass (false).
    bool Wait_Until(const std::function<bool(const QList<Received>&)>& done, int timeoutMs) const;

    // Called on the gateway's thread with each datagram before it is
    // answered (a test may send something else in between).
    std::function<void(const QByteArray&)> Before_Answer;

    // Sends one datagram from an endpoint of its own bound to `from`.
    static void Send_From(const QString& from, const QByteArray& data, const QString& to, quint16 port);

private:
    void run();

    Sys::RealUdpEndpoint FEndpoint;
    quint16 FPort = 0;
    mutable std::mutex FLock;
    mutable std::condition_variable FChanged;
    TFakeGatewayScript FScript;
    QList<Received> FReceived;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};
