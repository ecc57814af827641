#include "platform/sys/IcmpEcho.h"

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Sys;

namespace {

// Why no echo socket can be opened here, or empty when one can.
QString WhyNoEchoSocket()
{
    int fd = socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
    if (fd >= 0) {
        close(fd);
        return QString();
    }
    fd = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    if (fd >= 0) {
        close(fd);
        return QString();
    }
    return QStringLiteral("this machine allows neither datagram ICMP sockets (net.ipv4.ping_group_range) nor raw "
                          "sockets (no CAP_NET_RAW) to this user");
}

} // namespace

TEST(ParseIPv4, AcceptsOnlyFourDecimalOctets)
{
    struct Case {
        const char* text;
        bool ok;
        const char* dotted;
    } cases[] = {
        {"127.0.0.1", true, "127.0.0.1"},
        {"192.168.2.205", true, "192.168.2.205"},
        {"255.255.255.255", true, "255.255.255.255"},
        {"010.0.0.1", true, "10.0.0.1"}, // decimal, never octal
        {"10.0.0", false, nullptr},
        {"10.0.0.256", false, nullptr},
        {"10.0.0.1.5", false, nullptr},
        {"a.b.c.d", false, nullptr},
        {"localhost", false, nullptr},
        {" 10.0.0.1", false, nullptr},
        {"10..0.1", false, nullptr},
        {"1000.0.0.1", false, nullptr},
        {"", false, nullptr},
    };
    for (const Case& c : cases) {
        uint32_t a = 0;
        EXPECT_EQ(ParseIPv4(QString::fromLatin1(c.text), a), c.ok) << c.text;
        if (c.ok) {
            char buf[INET_ADDRSTRLEN];
            inet_ntop(AF_INET, &a, buf, sizeof buf);
            EXPECT_STREQ(buf, c.dotted) << c.text;
        }
    }
}

TEST(IcmpEcho, LoopbackAnswersWithThePayloadByteCount)
{
    const QString why = WhyNoEchoSocket();
    if (!why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    RealIcmpEcho ping;
    for (int size : {1024, 1, 64}) {
        const EchoResult r = ping.Echo(QStringLiteral("127.0.0.1"), size, 400);
        EXPECT_EQ(r.Status, EchoStatus::Reply) << size;
        EXPECT_EQ(r.Bytes, size);
    }
    // Another loopback address and the next sequence number.
    const EchoResult r = ping.Echo(QStringLiteral("127.0.0.2"), 1024, 400);
    EXPECT_EQ(r.Status, EchoStatus::Reply);
    EXPECT_EQ(r.Bytes, 1024);
}

TEST(IcmpEcho, NamesAndMalformedAddressesAreRefusedWithoutALookup)
{
    RealIcmpEcho ping;
    for (const char* a : {"localhost", "gateway.example", "10.0.0", "1.2.3.4.5", ""})
        EXPECT_THROW(ping.Echo(QString::fromLatin1(a)), ESysError) << a;
    EXPECT_THROW(ping.Echo(QStringLiteral("127.0.0.1"), -1), ESysError);
}

TEST(IcmpEcho, NoSocketOfEitherKindIsAnErrorAtOnce)
{
    // With no file descriptor left to the process, neither socket kind opens.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit none = saved;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    QString message;
    QElapsedTimer t;
    t.start();
    try {
        RealIcmpEcho().Echo(QStringLiteral("127.0.0.1"), 1024, 5000);
    } catch (const ESysError& e) {
        message = e.Message();
    }
    const qint64 elapsed = t.elapsed();
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_TRUE(message.contains(QStringLiteral("Cannot open an ICMP echo socket"))) << message.toStdString();
    EXPECT_LT(elapsed, 1000) << "the wait of the request must not be spent";
}
