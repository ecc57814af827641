#pragma once
// Opening a link in the user's browser, mail program or file viewer. Only web
// and mail addresses and files this program wrote itself are opened: a link
// comes from a server's reply or a label, and must never start anything else.
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

namespace Sys {

class ILinkOpener {
public:
    virtual ~ILinkOpener() = default;

    // Opens http, https and mailto addresses, "www." text as http, and files
    // that were registered or lie under an allowed folder (a plain path or a
    // file:// URL). Anything else is refused: false, nothing started. Also
    // false when the opener could not be started.
    bool OpenLink(const QString& target);

    // The address OpenLink would hand on, or empty when it refuses the target.
    QString Resolve(const QString& target) const;

    // A file the program wrote (an exported table, an EDS file...).
    void RegisterOwnFile(const QString& path);
    // A folder whose files may be opened (the project folders).
    void AddAllowedFolder(const QString& folder);

protected:
    // Hands the checked address to the desktop; false when that fails.
    virtual bool Launch(const QString& address) = 0;

private:
    QString ResolveFile(const QString& path) const;
    QSet<QString> FFiles;
    QStringList FFolders;
};

// Runs xdg-open with the address as its one argument, through the process
// service, and does not wait for it.
class RealLinkOpener : public ILinkOpener {
protected:
    bool Launch(const QString& address) override;
};

class FakeLinkOpener : public ILinkOpener {
public:
    QStringList Launched;

protected:
    bool Launch(const QString& address) override
    {
        Launched.append(address);
        return true;
    }
};

ILinkOpener& Links();
void SetLinks(std::unique_ptr<ILinkOpener> p);

} // namespace Sys
