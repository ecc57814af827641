#include "mbus/Comm.h"

#include "platform/sys/SerialPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// Stands in for the user-interface thread: calls handed over with
// TThread::Queue wait here until the test runs them on its own thread.
class UiQueue {
public:
    UiQueue()
    {
        TThread::SetQueueHook([this](const std::function<void()>& call) {
            std::lock_guard<std::mutex> g(FLock);
            FCalls.push_back(call);
            FArrived.notify_all();
        });
    }
    ~UiQueue() { TThread::SetQueueHook(nullptr); }

    // Waits (up to a generous bound, so a fault fails instead of hanging)
    // for one call and runs it here.
    bool RunOne()
    {
        std::function<void()> call;
        {
            std::unique_lock<std::mutex> l(FLock);
            if (!FArrived.wait_for(l, std::chrono::seconds(20), [&] { return !FCalls.empty(); }))
                return false;
            call = std::move(FCalls.front());
            FCalls.pop_front();
        }
        call();
        return true;
    }
    size_t Pending()
    {
        std::lock_guard<std::mutex> g(FLock);
        return FCalls.size();
    }

private:
    std::mutex FLock;
    std::condition_variable FArrived;
    std::deque<std::function<void()>> FCalls;
};

class CommTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto ports = std::make_unique<Sys::FakeSerialPorts>();
        Ports = ports.get();
        Ports->Ports = {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0")};
        Sys::SetSerialPorts(std::move(ports));
        Comm = std::make_unique<TComm>(nullptr);
    }
    void TearDown() override
    {
        Comm.reset();
        Sys::SetSerialPorts(nullptr);
    }
    // The fake behind the open component.
    Sys::FakeSerialPort* Port() { return static_cast<Sys::FakeSerialPort*>(Comm->Handle()); }

    std::string ErrorOf(const std::function<void()>& step)
    {
        try {
            step();
        } catch (const ECommError& e) {
            return e.Message().toStdString() + "|" + std::to_string(e.ErrorCode());
        }
        return "no error";
    }

    UiQueue Ui;
    Sys::FakeSerialPorts* Ports = nullptr;
    std::unique_ptr<TComm> Comm;
};

} // namespace

TEST_F(CommTest, FreshComponent)
{
    EXPECT_FALSE(Comm->Enabled());
    EXPECT_EQ(Comm->Handle(), nullptr);
    EXPECT_EQ(Comm->DeviceName(), QStringLiteral("Com2"));
    EXPECT_EQ(Comm->BaudRate(), br9600);
    EXPECT_EQ(Comm->Databits(), da8);
    EXPECT_EQ(Comm->Parity(), paNone);
    EXPECT_EQ(Comm->Stopbits(), sb10);
    EXPECT_EQ(Comm->FlowControl(), fcDefault);
    EXPECT_EQ(Comm->ReadBufSize(), 4096);
    EXPECT_EQ(Comm->WriteBufSize(), 2048);
    EXPECT_EQ(Comm->ReadTimeout(), 1000);
    EXPECT_EQ(Comm->WriteTimeout(), 1000);
    EXPECT_EQ(Comm->MonitorEvents(), All_Comm_Events);
    EXPECT_EQ(Comm_Event_Mask(Comm->MonitorEvents()), 0x1FFu);
    EXPECT_EQ(Comm->Options(), 0u);
    EXPECT_EQ(Comm->EventChars()->XonChar(), 17);
    EXPECT_EQ(Comm->EventChars()->XoffChar(), 19);
    EXPECT_EQ(Comm->InQueCount(), -1);
    EXPECT_EQ(Comm->OutQueCount(), -1);
    EXPECT_FALSE(Comm->CTS());
    EXPECT_FALSE(Comm->CtsHold());
}

TEST_F(CommTest, EventMaskBits)
{
    EXPECT_EQ(Comm_Event_Mask(CommEvent(evBreak)), 0x40u);
    EXPECT_EQ(Comm_Event_Mask(CommEvent(evRing) | CommEvent(evRxChar)), 0x101u);
    EXPECT_EQ(Comm_Event_Types(0x84), CommEvent(evError) | CommEvent(evTxEmpty));
}

TEST_F(CommTest, SettingsStoredWhileClosedAreAppliedOnOpen)
{
    Comm->SetBaudRate(br19200);
    Comm->SetParity(paEven);
    Comm->SetStopbits(sb20);
    Comm->SetDatabits(da7);
    Comm->SetFlowControl(fcCTS);
    Comm->SetOptions(CommOption(coParityCheck) | CommOption(coNullStrip));
    Comm->EventChars()->SetXonChar(0x11 + 1);
    EXPECT_EQ(Comm->BaudRate(), br19200);
    Comm->SetDeviceName(QStringLiteral("COM2"));
    Comm->Open();
    ASSERT_TRUE(Comm->Enabled());
    EXPECT_EQ(Port()->DeviceName(), QStringLiteral("/dev/ttyUSB0"));
    const Sys::SerialSettings s = Port()->Settings();
    EXPECT_EQ(s.BaudRate, 19200);
    EXPECT_EQ(s.Parity, Sys::Parity::Even);
    EXPECT_EQ(s.StopBits, Sys::StopBits::Two);
    EXPECT_EQ(s.DataBits, 7);
    EXPECT_EQ(s.Flow, Sys::FlowControl::RtsCts);
    EXPECT_TRUE(s.ParityCheck);
    EXPECT_EQ(s.XonChar, 0x12);

    // While open each change is applied at once.
    Comm->SetBaudRate(br115200);
    Comm->SetFlowControl(fcDefault);
    Comm->EventChars()->SetXoffChar(0x14);
    EXPECT_EQ(Port()->Settings().BaudRate, 115200);
    EXPECT_EQ(Port()->Settings().Flow, Sys::FlowControl::Unchanged);
    EXPECT_EQ(Port()->Settings().XoffChar, 0x14);
}

TEST_F(CommTest, LockedPropertiesWhileOpen)
{
    Comm->Open();
    EXPECT_NO_THROW(Comm->SetDeviceName(QStringLiteral("Com2")));
    EXPECT_NO_THROW(Comm->SetReadBufSize(4096));
    const std::string refused = "Port already assigned (open) (Error: -1) |-1";
    EXPECT_EQ(ErrorOf([&] { Comm->SetDeviceName(QStringLiteral("Com1")); }), refused);
    EXPECT_EQ(ErrorOf([&] { Comm->SetReadBufSize(100); }), refused);
    EXPECT_EQ(ErrorOf([&] { Comm->SetWriteBufSize(100); }), refused);
    EXPECT_EQ(ErrorOf([&] { Comm->SetMonitorEvents(CommEvent(evRxChar)); }), refused);
    EXPECT_EQ(ErrorOf([&] { Comm->Open(); }), refused);
    EXPECT_EQ(Comm->DeviceName(), QStringLiteral("Com2"));
    Comm->Close();
    Comm->SetDeviceName(QStringLiteral("Com1"));
    EXPECT_EQ(Comm->DeviceName(), QStringLiteral("Com1"));
}

TEST_F(CommTest, SpeedsAndByteSizesTheDeviceLacks)
{
    Comm->Open();
    const std::string dcb = "Error updating DataControlBlock (Error: " + std::to_string(EINVAL) + ") |" +
                            std::to_string(EINVAL);
    for (TBaudrate b : {br14400, br56000, br128000, br256000})
        EXPECT_EQ(ErrorOf([&] { Comm->SetBaudRate(b); }), dcb);
    EXPECT_EQ(ErrorOf([&] { Comm->SetDatabits(da4); }), dcb);
    Comm->Close();
    // Refused on Open too, and the port is not left half open.
    EXPECT_EQ(ErrorOf([&] { Comm->Open(); }), dcb);
    EXPECT_FALSE(Comm->Enabled());
    Comm->SetDatabits(da8);
    Comm->SetBaudRate(br1500000);
    EXPECT_NO_THROW(Comm->Open());
}

TEST_F(CommTest, ReadWriteAndQueues)
{
    char buf[16] = {};
    EXPECT_EQ(ErrorOf([&] { Comm->Read(buf, 4); }), "Read error (Error: " + std::to_string(EBADF) + ") |" +
                                                        std::to_string(EBADF));
    EXPECT_EQ(ErrorOf([&] { Comm->Write("ab", 2); }), "Write error (Error: " + std::to_string(EBADF) + ") |" +
                                                          std::to_string(EBADF));
    Comm->Open();
    // A read never waits: with a time-out of ten minutes it still comes back.
    Comm->SetReadTimeout(600000);
    EXPECT_EQ(Comm->Read(buf, 4), 0);
    Port()->Feed("hello");
    EXPECT_EQ(Comm->InQueCount(), 5);
    EXPECT_EQ(Comm->Read(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "hel");
    EXPECT_EQ(Comm->Write("\x10\x5B\x01\x5C\x16", 5), 5);
    EXPECT_EQ(Port()->Written(), QByteArray("\x10\x5B\x01\x5C\x16"));
    Comm->PurgeIn();
    EXPECT_EQ(Comm->InQueCount(), 0);
}

TEST_F(CommTest, EscapeFunctions)
{
    const std::string notOpen = "Port not open, unable to complete operation (Error: -1) |-1";
    EXPECT_EQ(ErrorOf([&] { Comm->SetDTRState(true); }), notOpen);
    EXPECT_EQ(ErrorOf([&] { Comm->SetRTSState(true); }), notOpen);
    EXPECT_EQ(ErrorOf([&] { Comm->SetBREAKState(true); }), notOpen);
    EXPECT_EQ(ErrorOf([&] { Comm->SetXONState(true); }), notOpen);
    EXPECT_NO_THROW(Comm->PurgeIn());
    EXPECT_NO_THROW(Comm->PurgeOut());

    Comm->Open();
    Comm->SetDTRState(false);
    EXPECT_FALSE(Port()->Dtr());
    Comm->SetRTSState(false);
    EXPECT_FALSE(Port()->Rts());
    Port()->Feed("xyz");
    Comm->SetBREAKState(true);
    EXPECT_TRUE(Port()->BreakOn());
    EXPECT_EQ(Comm->InQueCount(), 0); // purged after the break
    Port()->SetLines({true, false, true, false});
    EXPECT_TRUE(Comm->CTS());
    EXPECT_FALSE(Comm->DSR());
    EXPECT_TRUE(Comm->RING());
    EXPECT_FALSE(Comm->RLSD());
}

TEST_F(CommTest, HandlersRunInOrderOnTheUserInterfaceThread)
{
    std::vector<std::string> calls;
    const std::thread::id ui = std::this_thread::get_id();
    auto note = [&](const char* name) {
        return [&, name](TObject* sender) {
            EXPECT_EQ(sender, Comm.get());
            EXPECT_EQ(std::this_thread::get_id(), ui);
            calls.push_back(name);
        };
    };
    Comm->OnBreak = note("break");
    Comm->OnCts = note("cts");
    Comm->OnDsr = note("dsr");
    Comm->OnError = [&](TObject*, uint32_t errors) { calls.push_back("error " + std::to_string(errors)); };
    Comm->OnRing = note("ring");
    Comm->OnRlsd = note("rlsd");
    Comm->OnRxChar = [&](TObject*, uint32_t count) { calls.push_back("rxchar " + std::to_string(count)); };
    Comm->OnRxFlag = note("rxflag");
    Comm->OnTxEmpty = note("txempty");
    Comm->Open();
    Port()->Feed("abcd");
    Port()->Raise(Sys::SerialEvent::All, Sys::LineError::Frame);
    ASSERT_TRUE(Ui.RunOne());
    EXPECT_EQ(calls, (std::vector<std::string>{"break", "cts", "dsr", "error 8", "ring", "rlsd", "rxchar 4", "rxflag",
                                               "txempty"}));
}

TEST_F(CommTest, ReceivedCharacterWithAnEmptyQueueCallsNoHandler)
{
    int rx = 0, tx = 0;
    Comm->OnRxChar = [&](TObject*, uint32_t) { ++rx; };
    Comm->OnTxEmpty = [&](TObject*) { ++tx; };
    Comm->Open();
    Port()->Raise(Sys::SerialEvent::RxChar);
    ASSERT_TRUE(Ui.RunOne());
    Port()->Raise(Sys::SerialEvent::TxEmpty);
    ASSERT_TRUE(Ui.RunOne());
    EXPECT_EQ(rx, 0);
    EXPECT_EQ(tx, 1);
}

TEST_F(CommTest, OnlyMonitoredEventsAreWaitedFor)
{
    int breaks = 0, rings = 0;
    Comm->OnBreak = [&](TObject*) { ++breaks; };
    Comm->OnRing = [&](TObject*) { ++rings; };
    Comm->SetMonitorEvents(CommEvent(evRing));
    Comm->Open();
    Port()->Raise(Sys::SerialEvent::Break);
    Port()->Raise(Sys::SerialEvent::Ring);
    ASSERT_TRUE(Ui.RunOne());
    EXPECT_EQ(breaks, 0);
    EXPECT_EQ(rings, 1);
}

// The event thread waits for the user-interface thread while it hands an
// event over; Close, running on that thread, must not wait for it in turn.
TEST_F(CommTest, CloseWhileAHandOverIsPending)
{
    int rings = 0;
    Comm->OnRing = [&](TObject*) { ++rings; };
    Comm->Open();
    Port()->Raise(Sys::SerialEvent::Ring);
    while (Ui.Pending() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Comm->Close();
    EXPECT_FALSE(Comm->Enabled());
    // The late hand-over runs no handler.
    ASSERT_TRUE(Ui.RunOne());
    EXPECT_EQ(rings, 0);
    // And the component opens again.
    Comm->Open();
    EXPECT_TRUE(Comm->Enabled());
}

TEST_F(CommTest, AHandlerThatClosesThePortEndsTheDispatch)
{
    std::vector<std::string> calls;
    Comm->OnCts = [&](TObject*) {
        calls.push_back("cts");
        Comm->Close();
    };
    Comm->OnRing = [&](TObject*) { calls.push_back("ring"); };
    Comm->Open();
    Port()->Raise(Sys::SerialEvent::Cts | Sys::SerialEvent::Ring);
    ASSERT_TRUE(Ui.RunOne());
    EXPECT_EQ(calls, (std::vector<std::string>{"cts"}));
    EXPECT_FALSE(Comm->Enabled());
}

TEST_F(CommTest, DestroyingAnOpenComponentClosesIt)
{
    Comm->OnRing = [&](TObject*) { ADD_FAILURE() << "handler after destruction"; };
    Comm->Open();
    Port()->Raise(Sys::SerialEvent::Ring);
    while (Ui.Pending() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Comm.reset();
    ASSERT_TRUE(Ui.RunOne());
}

TEST_F(CommTest, EventCharsAssign)
{
    TCommEventChars other(nullptr);
    other.SetXonChar(1);
    other.SetXoffChar(2);
    other.SetErrorChar(3);
    other.SetEofChar(4);
    other.SetEvtChar(5);
    Comm->EventChars()->Assign(&other);
    EXPECT_EQ(Comm->EventChars()->XonChar(), 1);
    EXPECT_EQ(Comm->EventChars()->EvtChar(), 5);
    TPersistent stranger;
    EXPECT_THROW(Comm->EventChars()->Assign(&stranger), EConvertError);
}
