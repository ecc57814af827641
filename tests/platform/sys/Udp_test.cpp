#include "platform/sys/Udp.h"

#include <QElapsedTimer>

#include <cerrno>
#include <gtest/gtest.h>

using namespace Sys;

TEST(UdpEndpoint, DatagramsTravelBetweenTwoLoopbackEndpoints)
{
    RealUdpEndpoint a, b;
    b.Bind(QStringLiteral("127.0.0.1"), 0);
    ASSERT_TRUE(b.IsBound());
    ASSERT_NE(b.LocalPort(), 0);
    // Binary data with zero bytes, as M-Bus frames are.
    const QByteArray frame("\x10\x40\x00\x40\x16", 5);
    EXPECT_EQ(a.SendTo(frame, QStringLiteral("127.0.0.1"), b.LocalPort()), 5);
    ASSERT_TRUE(a.IsBound()); // sending bound it to a free port
    const auto got = b.Receive(1000);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->Data, frame);
    EXPECT_EQ(got->Address, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(got->Port, a.LocalPort());

    // And the answer back to the sender.
    b.SendTo("ok", got->Address, got->Port);
    const auto back = a.Receive(1000);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->Data, QByteArray("ok"));
}

TEST(UdpEndpoint, ReceiveWithNothingComingTimesOut)
{
    RealUdpEndpoint e;
    e.Bind(QString(), 0);
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(e.Receive(150).has_value());
    EXPECT_GE(t.elapsed(), 140);
    EXPECT_LT(t.elapsed(), 1500);
}

TEST(UdpEndpoint, BadAddressesAndTakenPortsRaise)
{
    RealUdpEndpoint a, b;
    EXPECT_THROW(a.SendTo("x", QStringLiteral("localhost"), 10000), ESysError);
    EXPECT_THROW(a.Bind(QStringLiteral("gateway"), 0), ESysError);
    a.Bind(QStringLiteral("127.0.0.1"), 0);
    EXPECT_THROW(a.Bind(QStringLiteral("127.0.0.1"), 0), ESysError); // already bound
    try {
        b.Bind(QStringLiteral("127.0.0.1"), a.LocalPort());
        FAIL() << "no exception";
    } catch (const ESysError& e) {
        EXPECT_EQ(e.ErrorCode(), EADDRINUSE);
    }
    RealUdpEndpoint unbound;
    EXPECT_THROW(unbound.Receive(0), ESysError);
}
