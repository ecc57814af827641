#include "platform/core/RegistryIni.h"

#include "platform/core/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString RegistryIniPath(const QString& Key)
{
    const QString bad = QStringLiteral("Invalid registry key ") + Key;
    if (Key.isEmpty() || Key.startsWith(QLatin1Char('\\')) || Key.startsWith(QLatin1Char('/')) ||
        (Key.size() >= 2 && Key[1] == QLatin1Char(':')))
        throw EIniFileException(bad);
    QStringList parts = QString(Key).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast(); // a trailing separator
    if (parts.isEmpty())
        throw EIniFileException(bad);
    for (const QString& p : parts)
        if (p.isEmpty() || p == QLatin1String(".") || p == QLatin1String("..") || p.contains(QLatin1Char(':')))
            throw EIniFileException(bad);
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    QString program = QCoreApplication::applicationName();
    if (program.isEmpty())
        program = QStringLiteral("kalmetor");
    return base + QLatin1Char('/') + program + QStringLiteral("/registry/") + parts.join(QLatin1Char('/')) +
           QStringLiteral(".ini");
}

TRegistryIniFile::TRegistryIniFile(const QString& Key) : TMemIniFile(RegistryIniPath(Key)) {}

void TRegistryIniFile::UpdateFile()
{
    ForceDirectories(QFileInfo(FileName()).absolutePath());
    TMemIniFile::UpdateFile();
}
