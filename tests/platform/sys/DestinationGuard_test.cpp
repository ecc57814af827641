#include "platform/sys/DestinationGuard.h"
#include "platform/sys/HttpClient.h"
#include "platform/sys/IcmpEcho.h"
#include "platform/sys/Udp.h"

#include <gtest/gtest.h>

using namespace Sys;

namespace {

// Replaces the program's guard by one that records and refuses everything
// outside the loopback network; puts the program's guard back after.
class DestinationGuardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSaved = CurrentDestinationGuard();
        SetDestinationGuard([this](const Destination& d) {
            Asked.append(d);
            return d.Loopback;
        });
    }
    void TearDown() override { SetDestinationGuard(FSaved); }

    QString RefusalOf(const std::function<void()>& send)
    {
        try {
            send();
        } catch (const ESysError& e) {
            return e.Message();
        }
        return QString();
    }

    QList<Destination> Asked;

private:
    DestinationGuardFn FSaved;
};

TEST_F(DestinationGuardTest, EveryServiceAsksBeforeLeavingAndARefusalNamesTheAddress)
{
    // 192.0.2.0/24 is reserved for documentation: nothing answers there, and
    // the guard stops the request before it is sent in any case.
    RealUdpEndpoint udp;
    EXPECT_EQ(RefusalOf([&] { udp.SendTo("x", QStringLiteral("192.0.2.7"), 10000); }),
              QStringLiteral("datagram to 192.0.2.7:10000 refused"));
    EXPECT_FALSE(udp.IsBound()); // refused before a socket was even bound
    EXPECT_EQ(RefusalOf([] { RealIcmpEcho().Echo(QStringLiteral("192.0.2.8"), 8, 100); }),
              QStringLiteral("echo request to 192.0.2.8:0 refused"));
    EXPECT_EQ(RefusalOf([] { RealHttpClient().Get(QStringLiteral("http://192.0.2.9:8080/v"), {}, 300); }),
              QStringLiteral("connection to 192.0.2.9:8080 refused"));
    ASSERT_EQ(Asked.size(), 3);
    for (const Destination& d : Asked)
        EXPECT_FALSE(d.Loopback) << d.Address.toStdString();
}

TEST_F(DestinationGuardTest, TheWholeLoopbackNetworkPasses)
{
    RealUdpEndpoint receiver, sender;
    receiver.Bind(QStringLiteral("127.0.0.2"), 0);
    EXPECT_EQ(sender.SendTo("abc", QStringLiteral("127.0.0.2"), receiver.LocalPort()), 3);
    const auto got = receiver.Receive(2000);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->Data, QByteArray("abc"));
    ASSERT_EQ(Asked.size(), 1);
    EXPECT_TRUE(Asked[0].Loopback);
    EXPECT_EQ(Asked[0].Address, QStringLiteral("127.0.0.2"));
    EXPECT_EQ(Asked[0].Kind, QStringLiteral("datagram"));
}

TEST(DestinationGuardProgram, EveryTestProgramRunsWithAGuardThatRefusesTheOutside)
{
    const DestinationGuardFn guard = CurrentDestinationGuard();
    ASSERT_TRUE(bool(guard));
    EXPECT_TRUE(guard(Destination{QStringLiteral("127.1.2.3"), 1, QStringLiteral("datagram"), true}));
}

} // namespace
