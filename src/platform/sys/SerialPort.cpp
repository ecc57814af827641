#include "platform/sys/SerialPort.h"
#include "platform/sys/ServiceSlot.h"
#include "platform/sys/SysWait.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace Sys {

namespace {

// Speed in bits per second and its termios code.
const std::pair<int, speed_t> BaudTable[] = {
    {110, B110},       {300, B300},         {600, B600},         {1200, B1200},       {2400, B2400},
    {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},   {576000, B576000},
    {921600, B921600}, {1000000, B1000000}, {1500000, B1500000}, {2000000, B2000000}, {3000000, B3000000},
};

bool SpeedCode(int baud, speed_t& code)
{
    for (const auto& [bps, c] : BaudTable)
        if (bps == baud) {
            code = c;
            return true;
        }
    return false;
}

// A device that simply has no modem lines (a pseudo-terminal) answers so.
bool IsUnsupported(int err)
{
    return err == ENOTTY || err == EINVAL || err == EOPNOTSUPP;
}

} // namespace

const QList<int>& StandardBaudRates()
{
    static const QList<int> rates = [] {
        QList<int> r;
        for (const auto& e : BaudTable)
            r.append(e.first);
        return r;
    }();
    return rates;
}

// ---- real port ---------------------------------------------------------------

RealSerialPort::RealSerialPort() = default;

RealSerialPort::~RealSerialPort()
{
    Close();
}

void RealSerialPort::RequireOpen(const char* what) const
{
    if (FFd < 0)
        throw ESerialError(QStringLiteral("Serial port not open, unable to %1").arg(QLatin1String(what)));
}

void RealSerialPort::Open(const QString& device)
{
    if (FFd >= 0)
        throw ESerialError(QStringLiteral("Serial port %1 is already open").arg(FDevice));
    const QByteArray path = QFile::encodeName(device);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        RaiseErrno<ESerialError>(QStringLiteral("Cannot open serial port %1").arg(device), errno);
    termios saved{};
    if (!::isatty(fd) || ::tcgetattr(fd, &saved) != 0) {
        ::close(fd);
        throw ESerialError(QStringLiteral("%1 is not a serial device").arg(device), ENOTTY);
    }
    // Not shared: a second open by another program fails with EBUSY.
    ::ioctl(fd, TIOCEXCL);
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        const int err = errno;
        ::close(fd);
        RaiseErrno<ESerialError>(QStringLiteral("Cannot open serial port %1").arg(device), err);
    }
    FFd = fd;
    FWakeFd = wake;
    FDevice = device;
    FSaved = std::make_unique<termios>(saved);
    try {
        Apply();
        // DTR and RTS up, as a port is after opening; a device without modem
        // lines is still a usable port.
        int bits = TIOCM_DTR | TIOCM_RTS;
        if (::ioctl(FFd, TIOCMBIS, &bits) != 0 && !IsUnsupported(errno))
            RaiseErrno<ESerialError>(QStringLiteral("Cannot raise DTR and RTS on %1").arg(device), errno);
    } catch (...) {
        Close();
        throw;
    }
    FLastModem = ModemBits();
    FLastCounts = ReadCounts();
    FLineErrors = 0;
    FTxPending = false;
}

void RealSerialPort::Close()
{
    if (FFd < 0)
        return;
    if (FSaved)
        ::tcsetattr(FFd, TCSANOW, FSaved.get());
    ::ioctl(FFd, TIOCNXCL);
    ::close(FFd);
    ::close(FWakeFd);
    FFd = -1;
    FWakeFd = -1;
    FSaved.reset();
}

void RealSerialPort::SetSettings(const SerialSettings& s)
{
    speed_t code;
    if (!SpeedCode(s.BaudRate, code))
        throw ESerialError(QStringLiteral("Unsupported baud rate %1").arg(s.BaudRate), EINVAL);
    if (s.DataBits < 5 || s.DataBits > 8)
        throw ESerialError(QStringLiteral("Unsupported number of data bits %1").arg(s.DataBits), EINVAL);
    const SerialSettings old = FSettings;
    FSettings = s;
    if (FFd < 0)
        return;
    try {
        Apply();
    } catch (...) {
        FSettings = old;
        throw;
    }
}

void RealSerialPort::Apply()
{
    termios t{};
    if (::tcgetattr(FFd, &t) != 0)
        RaiseErrno<ESerialError>(QStringLiteral("Cannot read the settings of %1").arg(FDevice), errno);
    const termios before = t;
    const tcflag_t oldFlow = t.c_cflag & CRTSCTS;
    const tcflag_t oldSoft = t.c_iflag & (IXON | IXOFF | IXANY);
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;

    speed_t code = B9600;
    SpeedCode(FSettings.BaudRate, code);
    ::cfsetispeed(&t, code);
    ::cfsetospeed(&t, code);

    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag = (t.c_cflag & ~CSIZE) | sizes[FSettings.DataBits - 5];

    t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (FSettings.Parity) {
    case Parity::None: break;
    case Parity::Odd: t.c_cflag |= PARENB | PARODD; break;
    case Parity::Even: t.c_cflag |= PARENB; break;
    case Parity::Mark: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case Parity::Space: t.c_cflag |= PARENB | CMSPAR; break;
    }
    t.c_iflag &= ~INPCK;
    if (FSettings.ParityCheck && FSettings.Parity != Parity::None)
        t.c_iflag |= INPCK;

    // termios knows one and two stop bits; the UART sends 1.5 for "two" at
    // five data bits.
    if (FSettings.StopBits == StopBits::One)
        t.c_cflag &= ~CSTOPB;
    else
        t.c_cflag |= CSTOPB;

    t.c_cflag &= ~CRTSCTS;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    switch (FSettings.Flow) {
    case FlowControl::None:
    case FlowControl::DtrDsr: // no termios flag: Write holds back while DSR is low
        break;
    case FlowControl::RtsCts: t.c_cflag |= CRTSCTS; break;
    case FlowControl::XonXoff: t.c_iflag |= IXON | IXOFF; break;
    case FlowControl::Unchanged:
        t.c_cflag |= oldFlow;
        t.c_iflag |= oldSoft;
        break;
    }
    t.c_cc[VSTART] = cc_t(FSettings.XonChar);
    t.c_cc[VSTOP] = cc_t(FSettings.XoffChar);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(FFd, TCSANOW, &t) != 0)
        RaiseErrno<ESerialError>(QStringLiteral("Cannot apply the settings of %1").arg(FDevice), errno);
    // A driver takes what it can and drops the rest without a word; framing it
    // dropped would garble every byte, so that is refused here.
    termios now{};
    const tcflag_t framing = CSIZE | PARENB | PARODD | CMSPAR;
    if (::tcgetattr(FFd, &now) == 0 && (now.c_cflag & framing) != (t.c_cflag & framing)) {
        ::tcsetattr(FFd, TCSANOW, &before);
        throw ESerialError(QStringLiteral("%1 does not support %2 data bits with this parity")
                               .arg(FDevice)
                               .arg(FSettings.DataBits),
                           EINVAL);
    }
}

void RealSerialPort::SetModemBit(int bit, bool on, const char* what)
{
    RequireOpen(what);
    if (::ioctl(FFd, on ? TIOCMBIS : TIOCMBIC, &bit) != 0)
        RaiseErrno<ESerialError>(QStringLiteral("Cannot %1 on %2").arg(QLatin1String(what), FDevice), errno);
}

void RealSerialPort::SetDTR(bool on)
{
    SetModemBit(TIOCM_DTR, on, "set DTR");
}

void RealSerialPort::SetRTS(bool on)
{
    SetModemBit(TIOCM_RTS, on, "set RTS");
}

void RealSerialPort::SetBreak(bool on)
{
    RequireOpen("set break");
    if (::ioctl(FFd, on ? TIOCSBRK : TIOCCBRK) != 0)
        RaiseErrno<ESerialError>(QStringLiteral("Cannot set break on %1").arg(FDevice), errno);
}

void RealSerialPort::SetXon(bool on)
{
    RequireOpen("resume or suspend output");
    if (::tcflow(FFd, on ? TCOON : TCOOFF) != 0)
        RaiseErrno<ESerialError>(QStringLiteral("Cannot change output flow on %1").arg(FDevice), errno);
}

int RealSerialPort::ModemBits()
{
    int bits = 0;
    if (FFd < 0 || ::ioctl(FFd, TIOCMGET, &bits) != 0)
        return -1;
    return bits;
}

ModemLines RealSerialPort::Lines()
{
    const int bits = ModemBits();
    if (bits < 0)
        return ModemLines{};
    return ModemLines{(bits & TIOCM_CTS) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_RNG) != 0,
                      (bits & TIOCM_CAR) != 0};
}

void RealSerialPort::Purge(bool input, bool output)
{
    if (FFd < 0 || (!input && !output))
        return;
    ::tcflush(FFd, input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH);
    if (output)
        FTxPending = false;
}

int RealSerialPort::InQueCount()
{
    int n = 0;
    if (FFd < 0 || ::ioctl(FFd, TIOCINQ, &n) != 0)
        return -1;
    return n;
}

int RealSerialPort::OutQueCount()
{
    int n = 0;
    if (FFd < 0 || ::ioctl(FFd, TIOCOUTQ, &n) != 0)
        return -1;
    return n;
}

QByteArray RealSerialPort::Read(int maxBytes, int timeoutMs)
{
    RequireOpen("read");
    QByteArray buf(qMax(0, maxBytes), Qt::Uninitialized);
    if (maxBytes <= 0)
        return QByteArray();
    const qint64 start = NowMs();
    for (;;) {
        const ssize_t n = ::read(FFd, buf.data(), size_t(maxBytes));
        if (n > 0) {
            buf.truncate(n);
            return buf;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            RaiseErrno<ESerialError>(QStringLiteral("Read error on %1").arg(FDevice), errno);
        const qint64 left = timeoutMs - (NowMs() - start);
        if (left <= 0)
            return QByteArray();
        pollfd p{FFd, POLLIN, 0};
        // A hung-up line reads 0 at once; wait in small steps then.
        const int pr = ::poll(&p, 1, n == 0 ? int(qMin<qint64>(left, 10)) : int(left));
        if (pr < 0 && errno != EINTR)
            RaiseErrno<ESerialError>(QStringLiteral("Read error on %1").arg(FDevice), errno);
        if (pr > 0 && (p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLIN))
            ::poll(nullptr, 0, int(qMin<qint64>(left, 10)));
    }
}

int RealSerialPort::Write(const QByteArray& data, int timeoutMs)
{
    RequireOpen("write");
    const qint64 start = NowMs();
    qsizetype done = 0;
    while (done < data.size()) {
        const qint64 left = timeoutMs - (NowMs() - start);
        if (FSettings.Flow == FlowControl::DtrDsr) {
            // The other side holds us back by dropping DSR.
            const int bits = ModemBits();
            if (bits >= 0 && !(bits & TIOCM_DSR)) {
                if (left <= 0)
                    break;
                ::poll(nullptr, 0, int(qMin<qint64>(left, 10)));
                continue;
            }
        }
        const ssize_t n = ::write(FFd, data.constData() + done, size_t(data.size() - done));
        if (n > 0) {
            done += n;
            FTxPending = true;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            RaiseErrno<ESerialError>(QStringLiteral("Write error on %1").arg(FDevice), errno);
        if (left <= 0)
            break;
        pollfd p{FFd, POLLOUT, 0};
        if (::poll(&p, 1, int(left)) < 0 && errno != EINTR)
            RaiseErrno<ESerialError>(QStringLiteral("Write error on %1").arg(FDevice), errno);
    }
    return int(done);
}

RealSerialPort::Counts RealSerialPort::ReadCounts()
{
    Counts c;
    serial_icounter_struct ic{};
    if (FFd >= 0 && ::ioctl(FFd, TIOCGICOUNT, &ic) == 0) {
        c.Valid = true;
        c.Brk = ic.brk;
        c.Frame = ic.frame;
        c.Overrun = ic.overrun;
        c.Parity = ic.parity;
        c.BufOverrun = ic.buf_overrun;
    }
    return c;
}

// Break and line-error events from the driver's counters since the last look.
uint32_t RealSerialPort::CountEvents(const Counts& now)
{
    uint32_t ev = 0;
    if (!now.Valid || !FLastCounts.Valid)
        return 0;
    uint32_t errs = 0;
    if (now.Brk != FLastCounts.Brk) {
        ev |= SerialEvent::Break;
        errs |= LineError::Break;
    }
    if (now.Frame != FLastCounts.Frame)
        errs |= LineError::Frame;
    if (now.Overrun != FLastCounts.Overrun)
        errs |= LineError::Overrun;
    if (now.Parity != FLastCounts.Parity)
        errs |= LineError::RxParity;
    if (now.BufOverrun != FLastCounts.BufOverrun)
        errs |= LineError::RxOver;
    if (errs & ~LineError::Break)
        ev |= SerialEvent::Error;
    FLineErrors |= errs;
    return ev;
}

uint32_t RealSerialPort::WaitEvent(uint32_t mask, int timeoutMs)
{
    RequireOpen("wait for events");
    const qint64 start = NowMs();
    // Modem lines, counters and the transmit queue have no file event; they
    // are looked at every few milliseconds.
    const bool polled = (mask & ~SerialEvent::RxChar) != 0;
    for (;;) {
        qint64 left = timeoutMs < 0 ? 1000 : timeoutMs - (NowMs() - start);
        if (left < 0)
            left = 0;
        pollfd p[2] = {{FWakeFd, POLLIN, 0}, {FFd, short((mask & SerialEvent::RxChar) ? POLLIN : 0), 0}};
        const int slice = int(polled ? qMin<qint64>(left, 10) : left);
        const int pr = ::poll(p, 2, slice);
        if (pr < 0 && errno != EINTR)
            RaiseErrno<ESerialError>(QStringLiteral("Cannot wait for events on %1").arg(FDevice), errno);
        if (pr > 0 && (p[0].revents & POLLIN)) {
            uint64_t v;
            while (::read(FWakeFd, &v, sizeof v) > 0) {
            }
            return 0;
        }
        uint32_t ev = 0;
        if (pr > 0 && (p[1].revents & POLLIN) && InQueCount() > 0)
            ev |= SerialEvent::RxChar;
        else if (pr > 0 && (p[1].revents & (POLLHUP | POLLERR)) && !polled)
            ::poll(nullptr, 0, int(qMin<qint64>(left, 10))); // a hung-up line: do not spin

        const int modem = ModemBits();
        if (modem >= 0 && FLastModem >= 0) {
            const int changed = modem ^ FLastModem;
            if (changed & TIOCM_CTS)
                ev |= SerialEvent::Cts;
            if (changed & TIOCM_DSR)
                ev |= SerialEvent::Dsr;
            if (changed & TIOCM_CAR)
                ev |= SerialEvent::Rlsd;
            // Ring is reported when the ring indicator goes off, the end of a ring.
            if ((changed & TIOCM_RNG) && !(modem & TIOCM_RNG))
                ev |= SerialEvent::Ring;
        }
        FLastModem = modem;
        const Counts now = ReadCounts();
        ev |= CountEvents(now);
        FLastCounts = now;
        if ((mask & SerialEvent::TxEmpty) && FTxPending && OutQueCount() == 0) {
            FTxPending = false;
            ev |= SerialEvent::TxEmpty;
        }
        if (ev & mask)
            return ev & mask;
        if (timeoutMs >= 0 && NowMs() - start >= timeoutMs)
            return 0;
    }
}

void RealSerialPort::CancelWait()
{
    if (FWakeFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(FWakeFd, &one, sizeof one);
    }
}

uint32_t RealSerialPort::TakeLineErrors()
{
    if (FFd >= 0) {
        const Counts now = ReadCounts();
        CountEvents(now);
        FLastCounts = now;
    }
    return FLineErrors.exchange(0);
}

// ---- fake port ---------------------------------------------------------------

void FakeSerialPort::Open(const QString& device)
{
    std::lock_guard g(FLock);
    if (!FailOpenWith.isEmpty())
        throw ESerialError(FailOpenWith, FailOpenCode);
    if (FOpen)
        throw ESerialError(QStringLiteral("Serial port %1 is already open").arg(FDevice));
    FOpen = true;
    FDevice = device;
    FDtr = FRts = true;
    FCancel = false;
}

void FakeSerialPort::Close()
{
    std::lock_guard g(FLock);
    FOpen = false;
}

bool FakeSerialPort::IsOpen() const
{
    std::lock_guard g(FLock);
    return FOpen;
}

QString FakeSerialPort::DeviceName() const
{
    std::lock_guard g(FLock);
    return FDevice;
}

void FakeSerialPort::SetSettings(const SerialSettings& s)
{
    if (!StandardBaudRates().contains(s.BaudRate))
        throw ESerialError(QStringLiteral("Unsupported baud rate %1").arg(s.BaudRate), EINVAL);
    if (s.DataBits < 5 || s.DataBits > 8)
        throw ESerialError(QStringLiteral("Unsupported number of data bits %1").arg(s.DataBits), EINVAL);
    std::lock_guard g(FLock);
    FSettings = s;
}

SerialSettings FakeSerialPort::Settings() const
{
    std::lock_guard g(FLock);
    return FSettings;
}

#define KAL_FAKE_REQUIRE_OPEN(what)                                                                \
    if (!FOpen)                                                                                    \
        throw ESerialError(QStringLiteral("Serial port not open, unable to " what));

void FakeSerialPort::SetDTR(bool on)
{
    std::lock_guard g(FLock);
    KAL_FAKE_REQUIRE_OPEN("set DTR")
    FDtr = on;
}

void FakeSerialPort::SetRTS(bool on)
{
    std::lock_guard g(FLock);
    KAL_FAKE_REQUIRE_OPEN("set RTS")
    FRts = on;
}

void FakeSerialPort::SetBreak(bool on)
{
    std::lock_guard g(FLock);
    KAL_FAKE_REQUIRE_OPEN("set break")
    FBreak = on;
}

void FakeSerialPort::SetXon(bool)
{
    std::lock_guard g(FLock);
    KAL_FAKE_REQUIRE_OPEN("resume or suspend output")
}

ModemLines FakeSerialPort::Lines()
{
    std::lock_guard g(FLock);
    return FOpen ? FLines : ModemLines{};
}

void FakeSerialPort::Purge(bool input, bool output)
{
    std::lock_guard g(FLock);
    if (input)
        FIn.clear();
    if (output)
        FOut.clear();
}

int FakeSerialPort::InQueCount()
{
    std::lock_guard g(FLock);
    return FOpen ? int(FIn.size()) : -1;
}

int FakeSerialPort::OutQueCount()
{
    std::lock_guard g(FLock);
    return FOpen ? 0 : -1;
}

QByteArray FakeSerialPort::Read(int maxBytes, int timeoutMs)
{
    const qint64 start = NowMs();
    for (;;) {
        {
            std::lock_guard g(FLock);
            KAL_FAKE_REQUIRE_OPEN("read")
            if (!FIn.isEmpty()) {
                const QByteArray out = FIn.left(maxBytes);
                FIn.remove(0, out.size());
                return out;
            }
        }
        if (NowMs() - start >= timeoutMs)
            return QByteArray();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int FakeSerialPort::Write(const QByteArray& data, int)
{
    std::lock_guard g(FLock);
    KAL_FAKE_REQUIRE_OPEN("write")
    FOut += data;
    return int(data.size());
}

uint32_t FakeSerialPort::WaitEvent(uint32_t mask, int timeoutMs)
{
    const qint64 start = NowMs();
    for (;;) {
        {
            std::lock_guard g(FLock);
            KAL_FAKE_REQUIRE_OPEN("wait for events")
            if (FCancel) {
                FCancel = false;
                return 0;
            }
            const uint32_t hit = FPending & mask;
            if (hit) {
                FPending &= ~hit;
                return hit;
            }
        }
        if (timeoutMs >= 0 && NowMs() - start >= timeoutMs)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void FakeSerialPort::CancelWait()
{
    std::lock_guard g(FLock);
    FCancel = true;
}

uint32_t FakeSerialPort::TakeLineErrors()
{
    std::lock_guard g(FLock);
    return std::exchange(FErrors, 0u);
}

void FakeSerialPort::Feed(const QByteArray& bytes)
{
    std::lock_guard g(FLock);
    FIn += bytes;
    FPending |= SerialEvent::RxChar;
}

void FakeSerialPort::Raise(uint32_t events, uint32_t lineErrors)
{
    std::lock_guard g(FLock);
    FPending |= events;
    FErrors |= lineErrors;
}

void FakeSerialPort::SetLines(const ModemLines& l)
{
    std::lock_guard g(FLock);
    FLines = l;
}

QByteArray FakeSerialPort::Written() const
{
    std::lock_guard g(FLock);
    return FOut;
}

bool FakeSerialPort::Dtr() const
{
    std::lock_guard g(FLock);
    return FDtr;
}

bool FakeSerialPort::Rts() const
{
    std::lock_guard g(FLock);
    return FRts;
}

bool FakeSerialPort::BreakOn() const
{
    std::lock_guard g(FLock);
    return FBreak;
}

// ---- port list -------------------------------------------------------------

void SortNaturally(QStringList& names)
{
    // Splits a name into its text before the trailing number and the number.
    const auto key = [](const QString& s) {
        qsizetype i = s.size();
        while (i > 0 && s[i - 1].isDigit())
            --i;
        const QString digits = s.mid(i);
        qsizetype z = 0;
        while (z + 1 < digits.size() && digits[z] == u'0')
            ++z;
        return std::make_pair(s.left(i), digits.mid(z));
    };
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const auto ka = key(a);
        const auto kb = key(b);
        if (ka.first != kb.first)
            return ka.first < kb.first;
        if (ka.second.size() != kb.second.size())
            return ka.second.size() < kb.second.size();
        if (ka.second != kb.second)
            return ka.second < kb.second;
        return a < b;
    });
}

namespace {

// Whether the node is a serial port with hardware behind it.
bool IsPresentPort(const QString& path, bool isTtyS)
{
    const QByteArray p = QFile::encodeName(path);
    struct stat st{};
    if (::stat(p.constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const int fd = ::open(p.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EBUSY || errno == EACCES; // there, but in use or not ours
    bool present = ::isatty(fd) != 0;
    if (present && isTtyS) {
        // The kernel makes ttyS nodes for UARTs that are not fitted.
        serial_struct ss{};
        if (::ioctl(fd, TIOCGSERIAL, &ss) == 0 && ss.type == PORT_UNKNOWN)
            present = false;
    }
    ::close(fd);
    return present;
}

} // namespace

QStringList RealSerialPorts::List()
{
    static const QRegularExpression pattern(QStringLiteral("^tty(S|USB|ACM)[0-9]+$"));
    QStringList out;
    const QStringList entries = QDir(FDevDir).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : entries) {
        const auto m = pattern.match(name);
        if (!m.hasMatch())
            continue;
        const QString path = FDevDir + u'/' + name;
        if (IsPresentPort(path, m.captured(1) == u"S"))
            out.append(path);
    }
    SortNaturally(out);
    return out;
}

std::unique_ptr<ISerialPort> FakeSerialPorts::Create()
{
    auto p = std::make_unique<FakeSerialPort>();
    Created.append(p.get());
    return p;
}

namespace {
ServiceSlot<ISerialPorts, RealSerialPorts>& Slot()
{
    static ServiceSlot<ISerialPorts, RealSerialPorts> s;
    return s;
}
} // namespace

ISerialPorts& SerialPorts()
{
    return Slot().Get();
}

void SetSerialPorts(std::unique_ptr<ISerialPorts> p)
{
    Slot().Set(std::move(p));
}

} // namespace Sys
