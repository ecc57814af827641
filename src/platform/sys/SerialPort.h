#pragma once
// Serial ports over termios: configuration, modem lines, break, queues, reads
// and writes with time-outs, and a wait for line events that a monitor thread
// runs while the port is open. Also the list of serial ports present.
#include "platform/sys/SysErrors.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

struct termios;

namespace Sys {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };
// Unchanged keeps whatever flow control the device had.
enum class FlowControl { None, RtsCts, DtrDsr, XonXoff, Unchanged };

// Event bits, the same values the serial component's event masks use.
namespace SerialEvent {
constexpr uint32_t RxChar = 0x1;
constexpr uint32_t RxFlag = 0x2;
constexpr uint32_t TxEmpty = 0x4;
constexpr uint32_t Cts = 0x8;
constexpr uint32_t Dsr = 0x10;
constexpr uint32_t Rlsd = 0x20;
constexpr uint32_t Break = 0x40;
constexpr uint32_t Error = 0x80;
constexpr uint32_t Ring = 0x100;
constexpr uint32_t All = 0x1FF;
} // namespace SerialEvent

// Line-error bits reported by TakeLineErrors.
namespace LineError {
constexpr uint32_t RxOver = 0x1;   // the driver's input buffer overflowed
constexpr uint32_t Overrun = 0x2;  // the UART lost a character
constexpr uint32_t RxParity = 0x4;
constexpr uint32_t Frame = 0x8;
constexpr uint32_t Break = 0x10;
} // namespace LineError

struct SerialSettings {
    int BaudRate = 9600;
    int DataBits = 8; // 5..8
    Sys::Parity Parity = Parity::None;
    Sys::StopBits StopBits = StopBits::One; // 1.5 is what the UART sends for two with 5 data bits
    Sys::FlowControl Flow = FlowControl::None;
    bool ParityCheck = false;
    char XonChar = 17;
    char XoffChar = 19;
};

struct ModemLines {
    bool Cts = false;
    bool Dsr = false;
    bool Ring = false;
    bool Rlsd = false;
};

// The speeds the port accepts: 110 to 921600 and the fast rates above.
const QList<int>& StandardBaudRates();

class ISerialPort {
public:
    virtual ~ISerialPort() = default;
    // Opens the device exclusively (for reading and writing, not as the
    // controlling terminal), applies the settings and raises DTR and RTS.
    // Raises ESerialError when it cannot be opened, is not a terminal, or
    // refuses the settings; a device without modem lines (a pseudo-terminal)
    // opens all the same.
    virtual void Open(const QString& device) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual QString DeviceName() const = 0;

    // Stored while closed, applied at once while open (ESerialError when the
    // device refuses them or a value is not supported).
    virtual void SetSettings(const SerialSettings& s) = 0;
    virtual SerialSettings Settings() const = 0;

    // Modem control lines and break; raise ESerialError when closed or when
    // the device refuses.
    virtual void SetDTR(bool on) = 0;
    virtual void SetRTS(bool on) = 0;
    virtual void SetBreak(bool on) = 0;
    // true resumes output as if XON had come, false suspends it as XOFF would.
    virtual void SetXon(bool on) = 0;
    // All false when closed or when the device has no modem lines.
    virtual ModemLines Lines() = 0;

    // Discards what waits in the receive and/or transmit queue.
    virtual void Purge(bool input, bool output) = 0;
    // Bytes waiting; -1 when closed.
    virtual int InQueCount() = 0;
    virtual int OutQueCount() = 0;

    // Up to maxBytes, waiting at most timeoutMs for the first (0: what is
    // there now); empty on time-out.
    virtual QByteArray Read(int maxBytes, int timeoutMs) = 0;
    // Writes within timeoutMs; returns the bytes written (fewer on time-out).
    virtual int Write(const QByteArray& data, int timeoutMs) = 0;

    // Waits up to timeoutMs (negative: without limit) for one of the events
    // in mask; returns the events seen (0 on time-out or CancelWait).
    // Changes are measured from the previous wait (or the open).
    virtual uint32_t WaitEvent(uint32_t mask, int timeoutMs) = 0;
    // Releases a WaitEvent running on another thread.
    virtual void CancelWait() = 0;
    // Line errors since the last call (LineError bits), then cleared.
    virtual uint32_t TakeLineErrors() = 0;
};

class RealSerialPort : public ISerialPort {
public:
    RealSerialPort();
    ~RealSerialPort() override;
    void Open(const QString& device) override;
    void Close() override;
    bool IsOpen() const override { return FFd >= 0; }
    QString DeviceName() const override { return FDevice; }
    void SetSettings(const SerialSettings& s) override;
    SerialSettings Settings() const override { return FSettings; }
    void SetDTR(bool on) override;
    void SetRTS(bool on) override;
    void SetBreak(bool on) override;
    void SetXon(bool on) override;
    ModemLines Lines() override;
    void Purge(bool input, bool output) override;
    int InQueCount() override;
    int OutQueCount() override;
    QByteArray Read(int maxBytes, int timeoutMs) override;
    int Write(const QByteArray& data, int timeoutMs) override;
    uint32_t WaitEvent(uint32_t mask, int timeoutMs) override;
    void CancelWait() override;
    uint32_t TakeLineErrors() override;

private:
    struct Counts {
        bool Valid = false;
        int Brk = 0, Frame = 0, Overrun = 0, Parity = 0, BufOverrun = 0;
    };
    void RequireOpen(const char* what) const;
    void Apply();
    void SetModemBit(int bit, bool on, const char* what);
    // Modem status bits (TIOCM_*), or -1 when the device has none.
    int ModemBits();
    Counts ReadCounts();
    uint32_t CountEvents(const Counts& now);

    int FFd = -1;
    int FWakeFd = -1;
    QString FDevice;
    SerialSettings FSettings;
    std::unique_ptr<termios> FSaved; // the device's settings before the open
    int FLastModem = -1;
    Counts FLastCounts;
    std::atomic<uint32_t> FLineErrors{0};
    std::atomic<bool> FTxPending{false};
};

// A port whose device is the test: writes are recorded, reads come from a
// queue, events and line states are set by hand.
class FakeSerialPort : public ISerialPort {
public:
    void Open(const QString& device) override;
    void Close() override;
    bool IsOpen() const override;
    QString DeviceName() const override;
    void SetSettings(const SerialSettings& s) override;
    SerialSettings Settings() const override;
    void SetDTR(bool on) override;
    void SetRTS(bool on) override;
    void SetBreak(bool on) override;
    void SetXon(bool on) override;
    ModemLines Lines() override;
    void Purge(bool input, bool output) override;
    int InQueCount() override;
    int OutQueCount() override;
    QByteArray Read(int maxBytes, int timeoutMs) override;
    int Write(const QByteArray& data, int timeoutMs) override;
    uint32_t WaitEvent(uint32_t mask, int timeoutMs) override;
    void CancelWait() override;
    uint32_t TakeLineErrors() override;

    // Test side (thread-safe).
    void Feed(const QByteArray& bytes);  // arrives in the receive queue, raises RxChar
    void Raise(uint32_t events, uint32_t lineErrors = 0);
    void SetLines(const ModemLines& l);
    QByteArray Written() const;
    bool Dtr() const;
    bool Rts() const;
    bool BreakOn() const;
    // When set, Open raises ESerialError with this text and code.
    QString FailOpenWith;
    int FailOpenCode = 2;

private:
    mutable std::mutex FLock;
    bool FOpen = false;
    QString FDevice;
    SerialSettings FSettings;
    QByteArray FIn, FOut;
    uint32_t FPending = 0, FErrors = 0;
    ModemLines FLines;
    bool FDtr = false, FRts = false, FBreak = false, FCancel = false;
};

class ISerialPorts {
public:
    virtual ~ISerialPorts() = default;
    virtual std::unique_ptr<ISerialPort> Create() = 0;
    // The serial devices present, as full paths, in natural order.
    virtual QStringList List() = 0;
};

// Lists ttyS*, ttyUSB* and ttyACM* of devDir that are terminals with hardware
// behind them: opening succeeds or fails only because the port is busy or
// denied to us; nodes that answer "no such device" or "I/O error", and ttyS
// nodes whose UART type is unknown, are left out.
class RealSerialPorts : public ISerialPorts {
public:
    explicit RealSerialPorts(const QString& devDir = QStringLiteral("/dev")) : FDevDir(devDir) {}
    std::unique_ptr<ISerialPort> Create() override { return std::make_unique<RealSerialPort>(); }
    QStringList List() override;

private:
    QString FDevDir;
};

class FakeSerialPorts : public ISerialPorts {
public:
    QStringList Ports;
    QList<FakeSerialPort*> Created; // owned by whoever asked for them
    std::unique_ptr<ISerialPort> Create() override;
    QStringList List() override { return Ports; }
};

// Sorts names so that numbers inside them compare by value (ttyS2 before ttyS10).
void SortNaturally(QStringList& names);

ISerialPorts& SerialPorts();
void SetSerialPorts(std::unique_ptr<ISerialPorts> p);

} // namespace Sys
