#pragma once
// Failures of the system services: each carries the operating system's error
// number (0 when the failure is our own refusal) beside its English message.
#include "platform/core/Exceptions.h"

class ESysError : public EOSError {
public:
    explicit ESysError(const QString& msg, int errorCode = 0) : EOSError(msg), FErrorCode(errorCode) {}
    QString ClassName() const override { return QStringLiteral("ESysError"); }
    // The errno of the failed call, or 0.
    int ErrorCode() const { return FErrorCode; }

private:
    int FErrorCode;
};

// A wait that ran out before the other side answered.
KAL_DECLARE_EXCEPTION(ESysTimeout, ESysError)
// A serial device that cannot be opened, configured, read or written.
KAL_DECLARE_EXCEPTION(ESerialError, ESysError)

namespace Sys {

// "<what>: <strerror(err)>" raised as E with err as its code.
template <class E = ESysError>
[[noreturn]] void RaiseErrno(const QString& what, int err);

// The text of an errno value.
QString ErrnoText(int err);

} // namespace Sys

#include <cstring>
namespace Sys {
inline QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}
template <class E>
[[noreturn]] void RaiseErrno(const QString& what, int err)
{
    throw E(QStringLiteral("%1: %2").arg(what, ErrnoText(err)), err);
}
} // namespace Sys
