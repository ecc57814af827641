#include "platform/core/Files.h"
#include "platform/sys/Processes.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>
#include <gtest/gtest.h>

using namespace Sys;

TEST(SplitCommandLine, FollowsTheWindowsQuotingRules)
{
    struct Case {
        const char* text;
        QStringList args;
    } cases[] = {
        {R"("a b" c)", {"a b", "c"}},
        {"  a \t b  ", {"a", "b"}},
        {"", {}},
        {R"("")", {""}},
        {R"(a"b c"d)", {"ab cd"}},
        // backslashes are literal unless they stand before a quote
        {R"(C:\dir\ x)", {R"(C:\dir\)", "x"}},
        {R"(a\\\"b)", {R"(a\"b)"}},
        {R"("a\\" b)", {R"(a\)", "b"}},
        {R"(a\\\\"b c")", {R"(a\\b c)"}},
        {R"(\"x\")", {R"("x")"}},
        {R"("a""b")", {R"(a"b)"}},
        {R"("unterminated part)", {"unterminated part"}},
        // the model-specific updater's command line
        {R"(192.168.2.205 2007 FW FR NO PR "/opt/k/MASTER/sim31A08.sim" "/opt/k/PROJECTS/P 1/bin/bank.bin")",
         {"192.168.2.205", "2007", "FW", "FR", "NO", "PR", "/opt/k/MASTER/sim31A08.sim",
          "/opt/k/PROJECTS/P 1/bin/bank.bin"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(QString::fromUtf8(c.text)), c.args) << c.text;
}

class RealProcessesTest : public ::testing::Test {
protected:
    RealProcesses P;
};

TEST_F(RealProcessesTest, AProgramThatOutlivesTheWaitIsReportedTimedOutAndKeepsRunning)
{
    const ProcessId pid = P.Start(QStringLiteral("sleep"), {QStringLiteral("5")});
    QElapsedTimer t;
    t.start();
    const WaitResult r = P.Wait(pid, 200);
    EXPECT_TRUE(r.TimedOut());
    EXPECT_GE(t.elapsed(), 190);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_TRUE(P.IsRunning(pid));
    // Still running a while later: the wait did not end it.
    EXPECT_TRUE(P.Wait(pid, 100).TimedOut());
    EXPECT_TRUE(P.Terminate(pid));
    EXPECT_FALSE(P.IsRunning(pid));
    EXPECT_FALSE(P.Terminate(pid));
}

TEST_F(RealProcessesTest, ArgumentsReachTheProgramUnchangedWithoutAShell)
{
    // If a shell stood between, the blank, the semicolon and the dollar would
    // be interpreted and the comparison would fail.
    const QString tricky = QStringLiteral("a b;$HOME \"q\" `x`");
    const ProcessId pid = P.Start(QStringLiteral("sh"),
                                  {QStringLiteral("-c"), QStringLiteral("test \"$1\" = '%1' && exit 7").arg(
                                                             QString(tricky).replace(u'\'', QStringLiteral("'\\''"))),
                                   QStringLiteral("sh"), tricky});
    const WaitResult r = P.Wait(pid, 5000);
    ASSERT_FALSE(r.TimedOut());
    EXPECT_EQ(r.ExitCode, 7);
}

TEST_F(RealProcessesTest, ExitCodesAndTheWorkingFolder)
{
    QTemporaryDir dir;
    const ProcessId pid = P.Start(QStringLiteral("touch"), {QStringLiteral("made.txt")}, dir.path());
    const WaitResult r = P.Wait(pid, 5000);
    ASSERT_FALSE(r.TimedOut());
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_TRUE(FileExists(PathJoin(dir.path(), QStringLiteral("made.txt"))));

    const ProcessId f = P.StartWithParameters(QStringLiteral("sh"), QStringLiteral(R"(-c "exit 3")"));
    EXPECT_EQ(P.Wait(f, 5000).ExitCode, 3);
    // The exit code was collected once; the id is no longer ours.
    EXPECT_THROW(P.Wait(f, 10), ESysError);
}

TEST_F(RealProcessesTest, AProgramThatCannotBeStartedRaises)
{
    try {
        P.Start(QStringLiteral("/nonexistent/Ethernet_Update.exe"), {});
        FAIL() << "no exception";
    } catch (const ESysError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Ethernet_Update.exe"))) << e.what();
    }
    EXPECT_THROW(P.Start(QStringLiteral("true"), {}, QStringLiteral("/nonexistent/folder")), ESysError);
}

TEST_F(RealProcessesTest, ADetachedProgramIsReapedWhenItEnds)
{
    const ProcessId pid = P.Start(QStringLiteral("true"), {});
    P.Detach(pid);
    // Once reaped in the background the id is gone (no zombie left behind).
    siginfo_t info{};
    int rc = 0;
    for (int i = 0; i < 500; ++i) {
        rc = waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT);
        if (rc == -1)
            break;
        usleep(10000);
    }
    EXPECT_EQ(rc, -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(ProcessService, CanBeReplacedByTheFake)
{
    auto fake = std::make_unique<FakeProcesses>();
    FakeProcesses* f = fake.get();
    SetProcesses(std::move(fake));
    Processes().StartWithParameters(QStringLiteral("/opt/k/TCP_31A08_Update.exe"), QStringLiteral(R"(1.2.3.4 "x y")"));
    ASSERT_EQ(f->Starts.size(), 1);
    EXPECT_EQ(f->Starts[0].Args, (QStringList{"1.2.3.4", "x y"}));
    SetProcesses(nullptr);
    EXPECT_NE(dynamic_cast<RealProcesses*>(&Processes()), nullptr);
}
