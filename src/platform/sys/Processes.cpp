#include "platform/sys/Processes.h"
#include "platform/sys/ServiceSlot.h"
#include "platform/sys/SysWait.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace Sys {

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

void SleepMs(int ms)
{
    timespec ts{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {
    }
}

WaitResult FromStatus(int status)
{
    WaitResult r;
    r.Status = WaitStatus::Exited;
    if (WIFEXITED(status))
        r.ExitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        r.ExitCode = 128 + WTERMSIG(status);
    return r;
}

} // namespace

QStringList SplitCommandLine(const QString& text)
{
    QStringList out;
    QString cur;
    bool inArg = false;
    bool quoted = false;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (!quoted && IsBlank(c)) {
            if (inArg) {
                out.append(cur);
                cur.clear();
                inArg = false;
            }
            ++i;
            continue;
        }
        inArg = true;
        if (c == u'\\') {
            qsizetype run = 0;
            while (i < n && text[i] == u'\\') {
                ++run;
                ++i;
            }
            if (i < n && text[i] == u'"') {
                cur += QString(run / 2, u'\\');
                if (run % 2 == 1) {
                    cur += u'"';
                    ++i;
                }
                // An even run leaves the quote to the grouping rule below.
            } else {
                cur += QString(run, u'\\');
            }
            continue;
        }
        if (c == u'"') {
            if (quoted && i + 1 < n && text[i + 1] == u'"') {
                cur += u'"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        cur += c;
        ++i;
    }
    if (inArg)
        out.append(cur);
    return out;
}

// ---- real ------------------------------------------------------------------

ProcessId RealProcesses::Start(const QString& program, const QStringList& args, const QString& workDir)
{
    if (program.isEmpty())
        throw ESysError(QStringLiteral("No program to start"));
    if (!workDir.isEmpty() && !QDir(workDir).exists())
        throw ESysError(QStringLiteral("Cannot start \"%1\": folder \"%2\" does not exist").arg(program, workDir), ENOENT);

    // Everything the child needs is built before the spawn.
    std::vector<std::string> store;
    store.reserve(size_t(args.size()) + 1);
    store.push_back(QFile::encodeName(program).toStdString());
    for (const QString& a : args)
        store.push_back(a.toLocal8Bit().toStdString());
    std::vector<char*> argv;
    for (std::string& s : store)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    const std::string dir = QFile::encodeName(workDir).toStdString();
    if (!workDir.isEmpty())
        posix_spawn_file_actions_addchdir_np(&fa, dir.c_str());
    // The child gets its own process group, so a terminal's Ctrl+C aimed at us
    // does not also stop an updater in the middle of a write.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);

    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &fa, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0)
        RaiseErrno(QStringLiteral("Cannot start \"%1\"").arg(program), rc);
    return pid;
}

WaitResult RealProcesses::Wait(ProcessId pid, int timeoutMs)
{
    const qint64 start = NowMs();
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid_t(pid), &status, WNOHANG);
        if (r == pid_t(pid))
            return FromStatus(status);
        if (r == -1 && errno != EINTR)
            RaiseErrno(QStringLiteral("Cannot wait for process %1").arg(pid), errno);
        if (NowMs() - start >= timeoutMs)
            return WaitResult{WaitStatus::TimedOut, -1};
        SleepMs(10);
    }
}

bool RealProcesses::Terminate(ProcessId pid)
{
    if (!IsRunning(pid))
        return false;
    kill(pid_t(pid), SIGTERM);
    if (!Wait(pid, 2000).TimedOut())
        return true;
    kill(pid_t(pid), SIGKILL);
    int status = 0;
    while (waitpid(pid_t(pid), &status, 0) == -1 && errno == EINTR) {
    }
    return true;
}

bool RealProcesses::IsRunning(ProcessId pid)
{
    // WNOWAIT keeps a finished child waitable, so a later Wait still gets its
    // exit code.
    siginfo_t info{};
    if (waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == -1)
        return false;
    return info.si_pid == 0;
}

void RealProcesses::Detach(ProcessId pid)
{
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid_t(pid), &status, 0) == -1 && errno == EINTR) {
        }
    }).detach();
}

// ---- fake ------------------------------------------------------------------

ProcessId FakeProcesses::Start(const QString& program, const QStringList& args, const QString& workDir)
{
    if (!FailStartWith.isEmpty())
        throw ESysError(FailStartWith, ENOENT);
    const ProcessId id = FNext++;
    Starts.append({id, program, args, workDir});
    return id;
}

WaitResult FakeProcesses::Wait(ProcessId pid, int)
{
    const auto it = WaitAnswers.find(pid);
    return it != WaitAnswers.end() ? it->second : DefaultWait;
}

bool FakeProcesses::Terminate(ProcessId pid)
{
    Terminated.append(pid);
    return true;
}

bool FakeProcesses::IsRunning(ProcessId pid)
{
    return Wait(pid, 0).TimedOut() && !Terminated.contains(pid);
}

// ---- the service in use ----------------------------------------------------

namespace {
ServiceSlot<IProcesses, RealProcesses>& Slot()
{
    static ServiceSlot<IProcesses, RealProcesses> s;
    return s;
}
} // namespace

IProcesses& Processes()
{
    return Slot().Get();
}

void SetProcesses(std::unique_ptr<IProcesses> p)
{
    Slot().Set(std::move(p));
}

} // namespace Sys
