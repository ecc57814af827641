#include "mbus/Comm.h"

#include "app/UComon.h"
#include "platform/sys/SerialPort.h"

#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <iterator>

namespace {

const QString Text_Already_Open = QStringLiteral("Port already assigned (open)");
const QString Text_Access = QStringLiteral("Error accessing specified device");
const QString Text_Invalid_Handle = QStringLiteral("Invalid device handle, access denied");
const QString Text_Dcb = QStringLiteral("Error updating DataControlBlock");
const QString Text_Write = QStringLiteral("Write error");
const QString Text_Read = QStringLiteral("Read error");
const QString Text_Not_Open = QStringLiteral("Port not open, unable to complete operation");
const QString Text_Escape = QStringLiteral("EscapeCommFunction failure");

constexpr int Baud_Rates[] = {110,   300,    600,    1200,   2400,   4800,    9600,    14400,  19200,
                              38400, 56000, 57600, 115200, 128000, 256000, 1500000, 3000000};
static_assert(std::size(Baud_Rates) == br3000000 + 1);

// Line-event mask bit of each TCommEventType, in its order.
constexpr uint32_t Event_Bits[] = {
    Sys::SerialEvent::Break, Sys::SerialEvent::Cts,    Sys::SerialEvent::Dsr,
    Sys::SerialEvent::Error, Sys::SerialEvent::Ring,   Sys::SerialEvent::Rlsd,
    Sys::SerialEvent::RxChar, Sys::SerialEvent::RxFlag, Sys::SerialEvent::TxEmpty,
};
static_assert(std::size(Event_Bits) == evTxEmpty + 1);

[[noreturn]] void raiseFrom(const QString& text, const ESysError& e)
{
    throw ECommError(text, e.ErrorCode());
}

} // namespace

ECommError::ECommError(const QString& text, int errorCode)
    : Exception(text + QStringLiteral(" (Error: %1) ").arg(errorCode)), FErrorCode(errorCode)
{
}

uint32_t Comm_Event_Mask(TCommEventTypes events)
{
    uint32_t mask = 0;
    for (int e = evBreak; e <= evTxEmpty; ++e)
        if (events & CommEvent(TCommEventType(e)))
            mask |= Event_Bits[e];
    return mask;
}

TCommEventTypes Comm_Event_Types(uint32_t mask)
{
    TCommEventTypes events = 0;
    for (int e = evBreak; e <= evTxEmpty; ++e)
        if (mask & Event_Bits[e])
            events |= CommEvent(TCommEventType(e));
    return events;
}

int Baud_Rate_Value(TBaudrate b)
{
    return Baud_Rates[b];
}

// ---------------------------------------------------------------------------

void TCommEventChars::set(char& field, char c)
{
    field = c;
    if (FOwner)
        FOwner->ApplyCommSettings();
}

void TCommEventChars::Assign(const TPersistent* source)
{
    if (const auto* s = dynamic_cast<const TCommEventChars*>(source)) {
        FXonChar = s->FXonChar;
        FXoffChar = s->FXoffChar;
        FErrorChar = s->FErrorChar;
        FEofChar = s->FEofChar;
        FEvtChar = s->FEvtChar;
        return;
    }
    TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------

TCommEventThread::TCommEventThread(std::shared_ptr<Sys::ISerialPort> port, TCommEventTypes events,
                                   std::shared_ptr<TCommLink> link)
    : TThread(true), FCommHandle(std::move(port)), FMonitorMask(Comm_Event_Mask(events)), FLink(std::move(link))
{
}

void TCommEventThread::Stop()
{
    // The flag first: a thread that clears the event after this still sees it.
    Terminate();
    FLink->Event.SetEvent();
    FCommHandle->CancelWait();
}

void TCommEventThread::Execute()
{
    while (!Terminated()) {
        uint32_t mask;
        try {
            mask = FCommHandle->WaitEvent(FMonitorMask, -1);
        } catch (const ESysError&) {
            break; // the device is gone
        }
        if (Terminated())
            break;
        if (mask == 0)
            continue;
        FEventMask = mask;
        FLink->Event.ResetEvent();
        if (Terminated())
            break;
        // Hand the mask to the user-interface thread and wait until it has
        // been dispatched, or until Close releases the wait.
        std::shared_ptr<TCommLink> link = FLink;
        Queue([link, mask] {
            {
                std::lock_guard<std::recursive_mutex> g(link->Lock);
                // A copy: a handler that closes the port clears OnSignal.
                const TCommEvent signal = link->OnSignal;
                if (signal)
                    signal(nullptr, mask);
            }
            link->Event.SetEvent();
        });
        FLink->Event.WaitFor(INFINITE);
    }
    try {
        FCommHandle->Purge(true, true);
    } catch (const ESysError&) {
    }
}

// ---------------------------------------------------------------------------

TCustomComm::TCustomComm(TComponent* owner) : TComponent(owner), FEventChars(std::make_unique<TCommEventChars>(this))
{
}

TCustomComm::~TCustomComm()
{
    try {
        Close();
    } catch (const Exception&) {
    }
}

void TCustomComm::BeforeDestruction()
{
    try {
        Close();
    } catch (const Exception&) {
    }
    TComponent::BeforeDestruction();
}

bool TCustomComm::Enabled() const
{
    return FHandle && FHandle->IsOpen();
}

void TCustomComm::OpenDevice()
{
    static const QRegularExpression comName(QStringLiteral("^com([0-9]+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString device = FDeviceName;
    const QRegularExpressionMatch m = comName.match(FDeviceName);
    if (m.hasMatch()) {
        const QString path = COM_Port_Device(m.captured(1).toInt());
        if (!path.isEmpty())
            device = path;
    }
    std::shared_ptr<Sys::ISerialPort> port = Sys::SerialPorts().Create();
    try {
        port->Open(device);
    } catch (const ESysError& e) {
        if (e.ErrorCode() == ENOTTY)
            throw ECommError(Text_Invalid_Handle, -1);
        raiseFrom(Text_Access, e);
    }
    FHandle = std::move(port);
}

void TCustomComm::Open()
{
    if (Enabled())
        throw ECommError(Text_Already_Open, -1);
    OpenDevice();
    if (!Enabled())
        return;
    try {
        FLink = std::make_shared<TCommLink>();
        FLink->OnSignal = [this](TObject*, uint32_t mask) { DoEvent(mask); };
        FEventThread = new TCommEventThread(FHandle, FMonitorEvents, FLink);
        FEventThread->Start();
        // Reads return at once with what is queued (Read asks for no wait);
        // the queue sizes stay with the driver.
        ApplyCommSettings();
    } catch (...) {
        // A port that cannot be configured is not left half open.
        Close();
        throw;
    }
}

void TCustomComm::stopEventThread()
{
    if (!FEventThread)
        return;
    {
        std::lock_guard<std::recursive_mutex> g(FLink->Lock);
        FLink->OnSignal = nullptr;
    }
    FEventThread->Stop();
    FEventThread->WaitFor();
    FreeAndNil(FEventThread);
    FLink.reset();
}

void TCustomComm::Close()
{
    if (!FHandle)
        return;
    stopEventThread();
    std::shared_ptr<Sys::ISerialPort> port = std::move(FHandle);
    port->Close();
}

void TCustomComm::ApplyCommSettings()
{
    if (!Enabled())
        return;
    static const Sys::Parity parities[] = {Sys::Parity::None, Sys::Parity::Odd, Sys::Parity::Even, Sys::Parity::Mark,
                                           Sys::Parity::Space};
    static const Sys::StopBits stopBits[] = {Sys::StopBits::One, Sys::StopBits::OneAndHalf, Sys::StopBits::Two};
    static const Sys::FlowControl flows[] = {Sys::FlowControl::None, Sys::FlowControl::RtsCts,
                                             Sys::FlowControl::DtrDsr, Sys::FlowControl::XonXoff,
                                             Sys::FlowControl::Unchanged};
    Sys::SerialSettings s = FHandle->Settings();
    s.BaudRate = Baud_Rate_Value(FBaudRate);
    s.Parity = parities[FParity];
    s.StopBits = stopBits[FStopbits];
    s.DataBits = 4 + int(FDatabits);
    s.Flow = flows[FFlowControl];
    s.ParityCheck = (FOptions & CommOption(coParityCheck)) != 0;
    s.XonChar = FEventChars->XonChar();
    s.XoffChar = FEventChars->XoffChar();
    try {
        FHandle->SetSettings(s);
    } catch (const ESysError& e) {
        raiseFrom(Text_Dcb, e);
    }
}

void TCustomComm::requireClosedToChange(bool differs)
{
    if (differs && Enabled())
        throw ECommError(Text_Already_Open, -1);
}

void TCustomComm::requireOpen() const
{
    if (!Enabled())
        throw ECommError(Text_Not_Open, -1);
}

void TCustomComm::SetDeviceName(const QString& name)
{
    requireClosedToChange(name != FDeviceName);
    FDeviceName = name;
}

void TCustomComm::SetReadBufSize(int n)
{
    requireClosedToChange(n != FReadBufSize);
    FReadBufSize = n;
}

void TCustomComm::SetWriteBufSize(int n)
{
    requireClosedToChange(n != FWriteBufSize);
    FWriteBufSize = n;
}

void TCustomComm::SetMonitorEvents(TCommEventTypes events)
{
    requireClosedToChange(events != FMonitorEvents);
    FMonitorEvents = events;
}

void TCustomComm::SetBaudRate(TBaudrate b)
{
    FBaudRate = b;
    ApplyCommSettings();
}

void TCustomComm::SetParity(TParity p)
{
    FParity = p;
    ApplyCommSettings();
}

void TCustomComm::SetStopbits(TStopbits s)
{
    FStopbits = s;
    ApplyCommSettings();
}

void TCustomComm::SetDatabits(TDatabits d)
{
    FDatabits = d;
    ApplyCommSettings();
}

void TCustomComm::SetOptions(TCommOptions o)
{
    FOptions = o;
    ApplyCommSettings();
}

void TCustomComm::SetFlowControl(TFlowControl f)
{
    FFlowControl = f;
    ApplyCommSettings();
}

int TCustomComm::Write(const void* buffer, int count)
{
    FCriticalSection.Enter();
    struct TLeave {
        TCriticalSection& S;
        ~TLeave() { S.Leave(); }
    } leave{FCriticalSection};
    if (!Enabled())
        throw ECommError(Text_Write, EBADF);
    try {
        const int n = FHandle->Write(QByteArray(static_cast<const char*>(buffer), count), FWriteTimeout);
        return n < count ? -1 : n;
    } catch (const ESysError& e) {
        raiseFrom(Text_Write, e);
    }
}

int TCustomComm::Read(void* buffer, int count)
{
    FCriticalSection.Enter();
    struct TLeave {
        TCriticalSection& S;
        ~TLeave() { S.Leave(); }
    } leave{FCriticalSection};
    if (!Enabled())
        throw ECommError(Text_Read, EBADF);
    try {
        const QByteArray got = FHandle->Read(count, 0);
        std::memcpy(buffer, got.constData(), size_t(got.size()));
        return int(got.size());
    } catch (const ESysError& e) {
        raiseFrom(Text_Read, e);
    }
}

int TCustomComm::InQueCount()
{
    return Enabled() ? FHandle->InQueCount() : -1;
}

int TCustomComm::OutQueCount()
{
    return Enabled() ? FHandle->OutQueCount() : -1;
}

void TCustomComm::PurgeIn()
{
    if (Enabled())
        FHandle->Purge(true, false);
}

void TCustomComm::PurgeOut()
{
    if (Enabled())
        FHandle->Purge(false, true);
}

void TCustomComm::SetDTRState(bool on)
{
    requireOpen();
    try {
        FHandle->SetDTR(on);
    } catch (const ESysError& e) {
        raiseFrom(Text_Escape, e);
    }
}

void TCustomComm::SetRTSState(bool on)
{
    requireOpen();
    try {
        FHandle->SetRTS(on);
    } catch (const ESysError& e) {
        raiseFrom(Text_Escape, e);
    }
}

void TCustomComm::SetBREAKState(bool on)
{
    requireOpen();
    try {
        FHandle->SetBreak(on);
    } catch (const ESysError& e) {
        raiseFrom(Text_Escape, e);
    }
    FHandle->Purge(true, true);
}

void TCustomComm::SetXONState(bool on)
{
    requireOpen();
    try {
        FHandle->SetXon(on);
    } catch (const ESysError& e) {
        raiseFrom(Text_Escape, e);
    }
}

bool TCustomComm::CTS()
{
    return Enabled() && FHandle->Lines().Cts;
}

bool TCustomComm::DSR()
{
    return Enabled() && FHandle->Lines().Dsr;
}

bool TCustomComm::RING()
{
    return Enabled() && FHandle->Lines().Ring;
}

bool TCustomComm::RLSD()
{
    return Enabled() && FHandle->Lines().Rlsd;
}

bool TCustomComm::CtsHold()
{
    return Enabled() && FFlowControl == fcCTS && !FHandle->Lines().Cts;
}

bool TCustomComm::DsrHold()
{
    return Enabled() && FFlowControl == fcDTR && !FHandle->Lines().Dsr;
}

void TCustomComm::DoEvent(uint32_t mask)
{
    if (!Enabled())
        return;
    const uint32_t errors = FHandle->TakeLineErrors();
    // Each handler may close the port; the ones after it are then not called.
    auto notify = [&](uint32_t bit, const TNotifyEvent& handler) {
        if ((mask & bit) && handler && Enabled())
            handler(this);
    };
    notify(Sys::SerialEvent::Break, OnBreak);
    notify(Sys::SerialEvent::Cts, OnCts);
    notify(Sys::SerialEvent::Dsr, OnDsr);
    if ((mask & Sys::SerialEvent::Error) && OnError && Enabled())
        OnError(this, errors);
    notify(Sys::SerialEvent::Ring, OnRing);
    notify(Sys::SerialEvent::Rlsd, OnRlsd);
    if ((mask & Sys::SerialEvent::RxChar) && OnRxChar && Enabled()) {
        const int count = FHandle->InQueCount();
        if (count > 0)
            OnRxChar(this, uint32_t(count));
    }
    notify(Sys::SerialEvent::RxFlag, OnRxFlag);
    notify(Sys::SerialEvent::TxEmpty, OnTxEmpty);
}
