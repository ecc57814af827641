#include "platform/sys/SerialPort.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace Sys;

namespace {

// A pseudo-terminal pair: the port under test opens the terminal side, the
// test plays the device on the controlling side.
struct Pty {
    int Master = -1;
    QString SlavePath;
    Pty()
    {
        Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (Master >= 0 && grantpt(Master) == 0 && unlockpt(Master) == 0)
            SlavePath = QString::fromLocal8Bit(ptsname(Master));
    }
    ~Pty()
    {
        if (Master >= 0)
            close(Master);
    }
    QByteArray ReadMaster(int want, int timeoutMs = 1000)
    {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (got.size() < want && t.elapsed() < timeoutMs) {
            pollfd p{Master, POLLIN, 0};
            if (poll(&p, 1, 20) > 0) {
                char buf[256];
                const ssize_t n = read(Master, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, n);
            }
        }
        return got;
    }
    void WriteMaster(const QByteArray& b) { ASSERT_EQ(write(Master, b.constData(), size_t(b.size())), b.size()); }
};

class SerialPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(P.SlavePath.isEmpty()) << "no pseudo-terminal available";
        Port.Open(P.SlavePath);
    }
    Pty P;
    RealSerialPort Port;
};

} // namespace

TEST_F(SerialPty, BytesTravelBothWays)
{
    ASSERT_TRUE(Port.IsOpen());
    // Raw mode: no echo, no line editing, CR and LF and 0x03 pass untouched.
    const QByteArray frame("\x68\x03\x03\x68\x53\xFE\x0D\x0A\x03\x16", 10);
    EXPECT_EQ(Port.Write(frame, 1000), frame.size());
    EXPECT_EQ(P.ReadMaster(frame.size()), frame);

    P.WriteMaster(frame);
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < frame.size() && t.elapsed() < 1000)
        got += Port.Read(64, 200);
    EXPECT_EQ(got, frame);
    // Nothing was echoed back to the device side.
    EXPECT_TRUE(P.ReadMaster(1, 100).isEmpty());
}

TEST_F(SerialPty, ReadWaitsAtMostItsTimeOut)
{
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(Port.Read(16, 0).isEmpty());
    EXPECT_LT(t.elapsed(), 50);
    t.restart();
    EXPECT_TRUE(Port.Read(16, 150).isEmpty());
    EXPECT_GE(t.elapsed(), 140);
    EXPECT_LT(t.elapsed(), 1500);
}

TEST_F(SerialPty, ReceivedCharactersWakeTheEventWaitAndFillTheQueue)
{
    EXPECT_EQ(Port.WaitEvent(SerialEvent::All, 100), 0u);
    P.WriteMaster("abc");
    EXPECT_EQ(Port.WaitEvent(SerialEvent::RxChar, 1000), SerialEvent::RxChar);
    EXPECT_EQ(Port.InQueCount(), 3);
    Port.Purge(true, false);
    EXPECT_EQ(Port.InQueCount(), 0);
    EXPECT_TRUE(Port.Read(16, 0).isEmpty());
}

TEST_F(SerialPty, TransmitEmptyIsReportedOncePerWrite)
{
    // Nothing written yet: no transmit-empty event.
    EXPECT_EQ(Port.WaitEvent(SerialEvent::TxEmpty, 50), 0u);
    // A pseudo-terminal passes written bytes on at once, so the queue drains
    // as soon as the write is done.
    ASSERT_EQ(Port.Write("hello", 500), 5);
    EXPECT_EQ(Port.WaitEvent(SerialEvent::TxEmpty | SerialEvent::RxChar, 1000), SerialEvent::TxEmpty);
    EXPECT_EQ(Port.OutQueCount(), 0);
    EXPECT_EQ(Port.WaitEvent(SerialEvent::TxEmpty, 50), 0u);
    EXPECT_EQ(P.ReadMaster(5), QByteArray("hello"));
}

TEST_F(SerialPty, CancelReleasesAnUnboundedWait)
{
    std::atomic<uint32_t> result{0xFFFF};
    std::thread waiter([&] { result = Port.WaitEvent(SerialEvent::All, -1); });
    usleep(50000);
    EXPECT_EQ(result.load(), 0xFFFFu); // still waiting
    Port.CancelWait();
    waiter.join();
    EXPECT_EQ(result.load(), 0u);
}

TEST_F(SerialPty, SettingsReachTheTerminal)
{
    // A pseudo-terminal keeps speed, stop bits and flow control but always
    // frames 8 bits without parity.
    struct Case {
        SerialSettings s;
        speed_t speed;
        bool twoStop;
        bool rtscts;
        bool xon;
    } cases[] = {
        {{9600, 8, Parity::None, StopBits::One, FlowControl::None}, B9600, false, false, false},
        {{19200, 8, Parity::None, StopBits::Two, FlowControl::RtsCts}, B19200, true, true, false},
        {{115200, 8, Parity::None, StopBits::One, FlowControl::XonXoff}, B115200, false, false, true},
        {{110, 8, Parity::None, StopBits::OneAndHalf, FlowControl::DtrDsr}, B110, true, false, false},
        {{921600, 8, Parity::None, StopBits::One, FlowControl::None}, B921600, false, false, false},
    };
    for (const Case& c : cases) {
        Port.SetSettings(c.s);
        termios t{};
        const int fd = open(QFile::encodeName(P.SlavePath).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(tcgetattr(fd, &t), 0);
        close(fd);
        EXPECT_EQ(cfgetospeed(&t), c.speed) << c.s.BaudRate;
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStop) << c.s.BaudRate;
        EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, c.rtscts) << c.s.BaudRate;
        EXPECT_EQ((t.c_iflag & IXON) != 0, c.xon) << c.s.BaudRate;
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    }
}

TEST_F(SerialPty, RefusedSettingsKeepTheOldOnes)
{
    SerialSettings s;
    s.BaudRate = 19200;
    Port.SetSettings(s);
    SerialSettings bad = s;
    bad.BaudRate = 12345;
    EXPECT_THROW(Port.SetSettings(bad), ESerialError);
    bad = s;
    bad.DataBits = 4;
    EXPECT_THROW(Port.SetSettings(bad), ESerialError);
    // Framing the device silently drops (a pseudo-terminal has no parity and
    // no 7-bit characters) is refused, not reported as done.
    for (auto [bits, parity] : {std::pair{7, Parity::None}, std::pair{8, Parity::Even}, std::pair{8, Parity::Mark}}) {
        bad = s;
        bad.DataBits = bits;
        bad.Parity = parity;
        bad.BaudRate = 2400;
        EXPECT_THROW(Port.SetSettings(bad), ESerialError) << bits;
    }
    EXPECT_EQ(Port.Settings().BaudRate, 19200);
    EXPECT_EQ(Port.Settings().DataBits, 8);
    EXPECT_EQ(Port.Settings().Parity, Parity::None);
    termios t{};
    const int fd = open(QFile::encodeName(P.SlavePath).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    close(fd);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B19200));
}

TEST(SerialPort, OpenFailuresRaiseWithTheSystemError)
{
    RealSerialPort port;
    try {
        port.Open(QStringLiteral("/dev/ttyNoSuchPort7"));
        FAIL() << "no exception";
    } catch (const ESerialError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
        EXPECT_TRUE(e.Message().contains(QStringLiteral("/dev/ttyNoSuchPort7"))) << e.what();
    }
    // Not a terminal.
    try {
        port.Open(QStringLiteral("/dev/null"));
        FAIL() << "no exception";
    } catch (const ESerialError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOTTY);
    }
    EXPECT_FALSE(port.IsOpen());
    // Closed: the queues answer -1 and the line calls refuse.
    EXPECT_EQ(port.InQueCount(), -1);
    EXPECT_EQ(port.OutQueCount(), -1);
    EXPECT_THROW(port.SetDTR(true), ESerialError);
    EXPECT_THROW(port.SetBreak(true), ESerialError);
    EXPECT_THROW(port.Read(1, 0), ESerialError);
    EXPECT_FALSE(port.Lines().Cts);
}

TEST(SerialPort, OpenTwiceRaisesAndReopenWorksAfterClose)
{
    Pty p;
    ASSERT_FALSE(p.SlavePath.isEmpty());
    RealSerialPort port;
    port.Open(p.SlavePath);
    EXPECT_THROW(port.Open(p.SlavePath), ESerialError);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    port.Open(p.SlavePath);
    EXPECT_EQ(port.Write("z", 500), 1);
    EXPECT_EQ(p.ReadMaster(1), QByteArray("z"));
}

TEST(SerialPortList, ListsOnlyTerminalsWithHardwareInNaturalOrder)
{
    Pty a, b, c;
    ASSERT_FALSE(c.SlavePath.isEmpty());
    QTemporaryDir dev;
    const auto link = [&](const QString& target, const char* name) {
        ASSERT_TRUE(QFile::link(target, dev.filePath(QLatin1String(name)))) << name;
    };
    link(a.SlavePath, "ttyUSB10");
    link(b.SlavePath, "ttyUSB9");
    link(c.SlavePath, "ttyACM0");
    link(QStringLiteral("/dev/null"), "ttyS1");       // a node, but no terminal
    link(QStringLiteral("/nonexistent"), "ttyS2");    // nothing behind it
    link(a.SlavePath, "ttyX0");                       // not a serial name
    link(a.SlavePath, "ttyUSB");                      // no number
    QFile plain(dev.filePath(QStringLiteral("ttyS3"))); // a plain file
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    const QString d = dev.path();
    EXPECT_EQ(RealSerialPorts(d).List(),
              (QStringList{d + "/ttyACM0", d + "/ttyUSB9", d + "/ttyUSB10"}));
}

TEST(SerialPortList, NaturalOrder)
{
    QStringList names{"/dev/ttyUSB10", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyUSB9", "/dev/ttyACM0", "/dev/ttyS0"};
    SortNaturally(names);
    EXPECT_EQ(names, (QStringList{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB9",
                                  "/dev/ttyUSB10"}));
}
