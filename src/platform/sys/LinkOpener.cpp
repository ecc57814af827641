#include "platform/sys/LinkOpener.h"
#include "platform/sys/ServiceSlot.h"

#include "platform/sys/Processes.h"

#include <QFileInfo>
#include <QUrl>

namespace Sys {

namespace {

bool HasControlOrBlank(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSpace())
            return true;
    return false;
}

QString Canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

} // namespace

void ILinkOpener::RegisterOwnFile(const QString& path)
{
    const QString c = Canonical(path);
    FFiles.insert(c.isEmpty() ? QFileInfo(path).absoluteFilePath() : c);
}

void ILinkOpener::AddAllowedFolder(const QString& folder)
{
    const QString c = Canonical(folder);
    if (!c.isEmpty())
        FFolders.append(c);
}

// The canonical path of an allowed existing file, else empty. Symbolic links
// and ".." are resolved first, so nothing outside the folders slips through.
QString ILinkOpener::ResolveFile(const QString& path) const
{
    const QString c = Canonical(path);
    if (c.isEmpty() || !QFileInfo(c).isFile())
        return QString();
    if (FFiles.contains(c))
        return c;
    for (const QString& f : FFolders)
        if (c.startsWith(f + u'/'))
            return c;
    return QString();
}

QString ILinkOpener::Resolve(const QString& target) const
{
    const QString t = target.trimmed();
    if (t.isEmpty() || HasControlOrBlank(t))
        return QString();
    if (t.startsWith(u'/')) {
        const QString f = ResolveFile(t);
        return f.isEmpty() ? QString() : QUrl::fromLocalFile(f).toString(QUrl::FullyEncoded);
    }
    QString text = t;
    if (text.startsWith(QStringLiteral("www."), Qt::CaseInsensitive))
        text.prepend(QStringLiteral("http://"));
    const QUrl u(text, QUrl::StrictMode);
    if (!u.isValid())
        return QString();
    const QString scheme = u.scheme().toLower();
    if (scheme == u"http" || scheme == u"https") {
        if (u.host().isEmpty())
            return QString();
        return u.toString(QUrl::FullyEncoded);
    }
    if (scheme == u"mailto") {
        if (u.path().isEmpty())
            return QString();
        return u.toString(QUrl::FullyEncoded);
    }
    if (scheme == u"file" && u.host().isEmpty()) {
        const QString f = ResolveFile(u.toLocalFile());
        return f.isEmpty() ? QString() : QUrl::fromLocalFile(f).toString(QUrl::FullyEncoded);
    }
    return QString();
}

bool ILinkOpener::OpenLink(const QString& target)
{
    const QString address = Resolve(target);
    if (address.isEmpty())
        return false;
    return Launch(address);
}

bool RealLinkOpener::Launch(const QString& address)
{
    try {
        IProcesses& p = Processes();
        p.Detach(p.Start(QStringLiteral("xdg-open"), {address}));
        return true;
    } catch (const Exception&) {
        return false;
    }
}

namespace {
ServiceSlot<ILinkOpener, RealLinkOpener>& Slot()
{
    static ServiceSlot<ILinkOpener, RealLinkOpener> s;
    return s;
}
} // namespace

ILinkOpener& Links()
{
    return Slot().Get();
}

void SetLinks(std::unique_ptr<ILinkOpener> p)
{
    Slot().Set(std::move(p));
}

} // namespace Sys
