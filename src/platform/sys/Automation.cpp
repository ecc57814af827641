// The registry of automation servers.
#include "platform/sys/Automation.h"

#include <QHash>
#include <QMutex>

namespace {

struct TServer {
    TAutoServerFactory Create;
    TAutoServerFactory Running;
};

QMutex& Lock()
{
    static QMutex m;
    return m;
}

QHash<QString, TServer>& Servers()
{
    static QHash<QString, TServer> s;
    return s;
}

bool Find(const QString& ProgId, TServer& out)
{
    QMutexLocker l(&Lock());
    const auto it = Servers().constFind(ProgId.toLower());
    if (it == Servers().constEnd())
        return false;
    out = it.value();
    return true;
}

} // namespace

void RegisterAutomationServer(const QString& ProgId, TAutoServerFactory Create, TAutoServerFactory Running)
{
    QMutexLocker l(&Lock());
    Servers().insert(ProgId.toLower(), TServer{std::move(Create), std::move(Running)});
}

void UnregisterAutomationServer(const QString& ProgId)
{
    QMutexLocker l(&Lock());
    Servers().remove(ProgId.toLower());
}

TAutoRef CreateOleObject(const QString& ProgId)
{
    TServer s;
    TAutoRef o;
    if (Find(ProgId, s) && s.Create)
        o = s.Create();
    if (!o)
        throw EOleSysError(QStringLiteral("Invalid class string"));
    return o;
}

TAutoRef GetActiveOleObject(const QString& ProgId)
{
    TServer s;
    TAutoRef o;
    if (Find(ProgId, s) && s.Running)
        o = s.Running();
    if (!o)
        throw EOleSysError(QStringLiteral("Operation unavailable"));
    return o;
}

TAutoRef OleObject(const TOleVariant& v, const QString& Member)
{
    if (!v.Object)
        throw EOleError(QStringLiteral("Member %1 gave no object").arg(Member));
    return v.Object;
}
