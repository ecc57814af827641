#pragma once
// The serial-port component: opens a named serial device, configures it from
// its properties (speed, framing, flow control, event characters, options),
// reads without blocking, writes within a time-out, and while the port is
// open runs an event thread that waits for line events and hands each event
// mask to the user-interface thread, where one handler per event is called.
// It also reports the modem lines, drives DTR, RTS, break and XON/XOFF, and
// counts and purges the queues. Every failure is an ECommError carrying the
// system's error number (errno), or -1 for the component's own refusals.
//
// The port underneath is the platform's serial port (Sys::SerialPorts), so
// tests run the component on the fake port. What termios has no place for is
// kept as a property and not applied: DSR sensitivity, transmitting after
// XOFF, the error character, null stripping, the queue sizes, the time-outs
// of the device itself (reads return at once with what is queued). Speeds of
// 14400, 56000, 128000 and 256000 bit/s and 4 data bits do not exist there:
// applying them raises "Error updating DataControlBlock".
//
// Close releases the event thread from its wait and from a hand-over still
// queued for the user-interface thread, waits for it to end and only then
// closes the device: no handler runs once Close has returned, and Close
// never waits for the user-interface thread it may be running on.
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/SyncObjs.h"
#include "platform/core/Threads.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace Sys {
class ISerialPort;
}

class ECommError : public Exception {
public:
    // The message is the text followed by " (Error: <code>) ".
    ECommError(const QString& text, int errorCode);
    QString ClassName() const override { return QStringLiteral("ECommError"); }
    int ErrorCode() const { return FErrorCode; }

private:
    int FErrorCode;
};

enum TBaudrate {
    br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400, br56000, br57600,
    br115200, br128000, br256000, br1500000, br3000000
};
enum TParity { paNone, paOdd, paEven, paMark, paSpace };
enum TStopbits { sb10, sb15, sb20 };
enum TDatabits { da4, da5, da6, da7, da8 };
enum TFlowControl { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault };

enum TCommOption { coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coNullStrip };
// A set of options, one bit per TCommOption.
using TCommOptions = uint32_t;
constexpr TCommOptions CommOption(TCommOption o) { return TCommOptions(1) << o; }

enum TCommEventType { evBreak, evCts, evDsr, evError, evRing, evRlsd, evRxChar, evRxFlag, evTxEmpty };
// A set of event types, one bit per TCommEventType.
using TCommEventTypes = uint32_t;
constexpr TCommEventTypes CommEvent(TCommEventType e) { return TCommEventTypes(1) << e; }
constexpr TCommEventTypes All_Comm_Events = (1u << (evTxEmpty + 1)) - 1;
// The line-event mask bits of a set of event types, and back.
uint32_t Comm_Event_Mask(TCommEventTypes events);
TCommEventTypes Comm_Event_Types(uint32_t mask);

// Speed in bit/s of a TBaudrate.
int Baud_Rate_Value(TBaudrate b);

using TCommEvent = std::function<void(TObject* sender, uint32_t status)>;
using TCommErrorEvent = std::function<void(TObject* sender, uint32_t errors)>;
using TCommRxCharEvent = std::function<void(TObject* sender, uint32_t count)>;

class TCustomComm;

// The five characters of a port. Setting one re-applies the port's settings
// while it is open.
class TCommEventChars : public TPersistent {
    KAL_CLASS(TCommEventChars, TPersistent)
public:
    explicit TCommEventChars(TCustomComm* owner) : FOwner(owner) {}
    char XonChar() const { return FXonChar; }
    char XoffChar() const { return FXoffChar; }
    char ErrorChar() const { return FErrorChar; }
    char EofChar() const { return FEofChar; }
    char EvtChar() const { return FEvtChar; }
    void SetXonChar(char c) { set(FXonChar, c); }
    void SetXoffChar(char c) { set(FXoffChar, c); }
    void SetErrorChar(char c) { set(FErrorChar, c); }
    void SetEofChar(char c) { set(FEofChar, c); }
    void SetEvtChar(char c) { set(FEvtChar, c); }
    // Copies the five characters of another TCommEventChars without
    // re-applying; any other source is refused as the class library does.
    void Assign(const TPersistent* source) override;

private:
    void set(char& field, char c);
    TCustomComm* FOwner;
    char FXonChar = 17;
    char FXoffChar = 19;
    char FErrorChar = 0;
    char FEofChar = 0;
    char FEvtChar = 0;
};

// What the event thread and its component share. It outlives both, so a
// hand-over that reaches the user-interface thread late finds it still there.
struct TCommLink {
    std::recursive_mutex Lock;
    TCommEvent OnSignal;  // cleared by Close: a late hand-over then does nothing
    TSimpleEvent Event;   // set when a hand-over is done, or to release the thread
};

class TCommEventThread : public TThread {
    KAL_CLASS(TCommEventThread, TThread)
public:
    // Made suspended; Start runs it.
    TCommEventThread(std::shared_ptr<Sys::ISerialPort> port, TCommEventTypes events,
                     std::shared_ptr<TCommLink> link);
    // Asks the thread to end and releases its waits.
    void Stop();
    uint32_t EventMask() const { return FEventMask; }

protected:
    void Execute() override;

private:
    std::shared_ptr<Sys::ISerialPort> FCommHandle;
    uint32_t FMonitorMask;
    std::shared_ptr<TCommLink> FLink;
    std::atomic<uint32_t> FEventMask{0};
};

class TCustomComm : public TComponent {
    KAL_CLASS(TCustomComm, TComponent)
public:
    explicit TCustomComm(TComponent* owner);
    ~TCustomComm() override;
    void BeforeDestruction() override;

    // The open port, or nullptr when closed.
    Sys::ISerialPort* Handle() const { return FHandle.get(); }
    bool Enabled() const;

    void Open();
    void Close();
    // Bytes written, or -1 when they were not all written within WriteTimeout.
    int Write(const void* buffer, int count);
    // Bytes read (0 when the receive queue is empty; it never waits).
    int Read(void* buffer, int count);
    // Bytes waiting; -1 when closed.
    int InQueCount();
    int OutQueCount();
    void PurgeIn();
    void PurgeOut();
    void SetDTRState(bool on);
    void SetRTSState(bool on);
    // Clearing or setting break purges both queues afterwards.
    void SetBREAKState(bool on);
    // true resumes output as if XON had come; false suspends it as XOFF would.
    void SetXONState(bool on);

    // Modem lines; false while closed.
    bool CTS();
    bool DSR();
    bool RING();
    bool RLSD();
    // Hold flags: output waits for CTS (DSR) under that handshake. The
    // platform does not report the other three; they read false.
    bool CtsHold();
    bool DsrHold();
    bool RlsdHold() { return false; }
    bool XoffHold() { return false; }
    bool XOffSent() { return false; }

    const QString& DeviceName() const { return FDeviceName; }
    void SetDeviceName(const QString& name);
    int ReadTimeout() const { return FReadTimeout; }
    void SetReadTimeout(int ms) { FReadTimeout = ms; }
    int WriteTimeout() const { return FWriteTimeout; }
    void SetWriteTimeout(int ms) { FWriteTimeout = ms; }
    int ReadBufSize() const { return FReadBufSize; }
    void SetReadBufSize(int n);
    int WriteBufSize() const { return FWriteBufSize; }
    void SetWriteBufSize(int n);
    TCommEventTypes MonitorEvents() const { return FMonitorEvents; }
    void SetMonitorEvents(TCommEventTypes events);
    TBaudrate BaudRate() const { return FBaudRate; }
    void SetBaudRate(TBaudrate b);
    TParity Parity() const { return FParity; }
    void SetParity(TParity p);
    TStopbits Stopbits() const { return FStopbits; }
    void SetStopbits(TStopbits s);
    TDatabits Databits() const { return FDatabits; }
    void SetDatabits(TDatabits d);
    TCommEventChars* EventChars() const { return FEventChars.get(); }
    void SetEventChars(const TCommEventChars* chars) { FEventChars->Assign(chars); ApplyCommSettings(); }
    TCommOptions Options() const { return FOptions; }
    void SetOptions(TCommOptions o);
    TFlowControl FlowControl() const { return FFlowControl; }
    void SetFlowControl(TFlowControl f);

    TNotifyEvent OnBreak, OnCts, OnDsr, OnRing, OnRlsd, OnRxFlag, OnTxEmpty;
    TCommErrorEvent OnError;
    TCommRxCharEvent OnRxChar;

    // Applies the device settings (only while open); raises "Error updating
    // DataControlBlock" when the device refuses them.
    void ApplyCommSettings();

protected:
    // Opens the device (a "COM<n>" name stands for the n-th serial port of
    // the platform's list).
    virtual void OpenDevice();
    // Calls the handlers of one event mask, in their fixed order.
    void DoEvent(uint32_t mask);

    std::shared_ptr<Sys::ISerialPort> FHandle;

private:
    void requireClosedToChange(bool differs);
    void requireOpen() const;
    void stopEventThread();

    QString FDeviceName = QStringLiteral("Com2");
    int FReadTimeout = 1000;
    int FWriteTimeout = 1000;
    int FReadBufSize = 4096;
    int FWriteBufSize = 2048;
    TCommEventTypes FMonitorEvents = All_Comm_Events;
    TBaudrate FBaudRate = br9600;
    TParity FParity = paNone;
    TStopbits FStopbits = sb10;
    TDatabits FDatabits = da8;
    TCommOptions FOptions = 0;
    TFlowControl FFlowControl = fcDefault;
    std::unique_ptr<TCommEventChars> FEventChars;
    TCriticalSection FCriticalSection;
    TCommEventThread* FEventThread = nullptr;
    std::shared_ptr<TCommLink> FLink;
};

class TComm : public TCustomComm {
    KAL_CLASS(TComm, TCustomComm)
public:
    using TCustomComm::TCustomComm;
};
