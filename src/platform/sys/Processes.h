#pragma once
// Starting external programs (the device updaters) and waiting for them.
// Programs are started from an argument vector, never through a shell, and a
// wait that runs out leaves the program running: an updater that is still
// writing a device must not be cut off because the caller stopped waiting.
#include "platform/sys/SysErrors.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

namespace Sys {

using ProcessId = qint64;

// Splits a parameter text the way the Windows command-line parser does for
// the arguments after the program name: blanks and tabs separate arguments;
// double quotes group (and may sit inside an argument); 2n backslashes before
// a quote give n backslashes and the quote groups, 2n+1 give n backslashes and
// a literal quote; backslashes elsewhere are literal; "" inside a quoted part
// is a literal quote.
QStringList SplitCommandLine(const QString& text);

enum class WaitStatus { Exited, TimedOut };

struct WaitResult {
    WaitStatus Status = WaitStatus::TimedOut;
    // The program's exit code; 128 + the signal number when a signal ended it.
    int ExitCode = -1;
    bool TimedOut() const { return Status == WaitStatus::TimedOut; }
};

class IProcesses {
public:
    virtual ~IProcesses() = default;
    // Starts the program (searched on PATH when it has no "/") with the given
    // arguments in workDir (the current folder when empty). Raises ESysError
    // when it cannot be started.
    virtual ProcessId Start(const QString& program, const QStringList& args, const QString& workDir = QString()) = 0;
    // Waits at most timeoutMs for the program to end. A program still running
    // is left running. Raises ESysError for an id this service did not start
    // or has already reaped.
    virtual WaitResult Wait(ProcessId pid, int timeoutMs) = 0;
    // Ends the program (TERM, then KILL when it does not go) and reaps it;
    // false when it had already ended or is unknown.
    virtual bool Terminate(ProcessId pid) = 0;
    virtual bool IsRunning(ProcessId pid) = 0;
    // The caller will not wait for the program any more: it is left running
    // and reaped in the background when it ends (no zombie stays behind).
    virtual void Detach(ProcessId pid) = 0;

    // Start with a parameter text split by SplitCommandLine.
    ProcessId StartWithParameters(const QString& program, const QString& parameters,
                                  const QString& workDir = QString())
    {
        return Start(program, SplitCommandLine(parameters), workDir);
    }
};

class RealProcesses : public IProcesses {
public:
    ProcessId Start(const QString& program, const QStringList& args, const QString& workDir = QString()) override;
    WaitResult Wait(ProcessId pid, int timeoutMs) override;
    bool Terminate(ProcessId pid) override;
    bool IsRunning(ProcessId pid) override;
    void Detach(ProcessId pid) override;
};

// Records every start and answers waits from a script; nothing is started.
class FakeProcesses : public IProcesses {
public:
    struct Started {
        ProcessId Id;
        QString Program;
        QStringList Args;
        QString WorkDir;
    };
    QList<Started> Starts;
    // What Wait answers for every process (per-process entries win).
    WaitResult DefaultWait{WaitStatus::Exited, 0};
    std::map<ProcessId, WaitResult> WaitAnswers;
    // When set, Start raises ESysError with this text.
    QString FailStartWith;

    ProcessId Start(const QString& program, const QStringList& args, const QString& workDir = QString()) override;
    WaitResult Wait(ProcessId pid, int timeoutMs) override;
    bool Terminate(ProcessId pid) override;
    bool IsRunning(ProcessId pid) override;
    void Detach(ProcessId pid) override { Detached.append(pid); }
    QList<ProcessId> Terminated;
    QList<ProcessId> Detached;

private:
    ProcessId FNext = 1000;
};

// The process service in use (the real one unless a test set another).
IProcesses& Processes();
// Replaces the service; nullptr restores the real one.
void SetProcesses(std::unique_ptr<IProcesses> p);

} // namespace Sys
