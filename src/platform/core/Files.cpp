#include "platform/core/Files.h"

#include "platform/core/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace {
std::function<bool(const QString&)>& writeFaultHook()
{
    static std::function<bool(const QString&)> hook;
    return hook;
}
} // namespace

QString PathJoin(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

bool FileExists(const QString& path)
{
    QFileInfo fi(path);
    return !path.isEmpty() && fi.exists() && !fi.isDir();
}

bool DirectoryExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool ForceDirectories(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QDir().mkpath(path);
}

void SetWriteFaultHook(std::function<bool(const QString& path)> hook)
{
    writeFaultHook() = std::move(hook);
}

void WriteFileWhole(const QString& path, const QByteArray& bytes)
{
    const QString tmp = path + QStringLiteral(".tmp");
    QFile f(tmp);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, f.errorString()));
    const bool injected = writeFaultHook() && writeFaultHook()(path);
    // The data reaches the disk before the rename, so a crash leaves either
    // the old file or the new one, never an empty one.
    const bool ok = !injected && f.write(bytes) == bytes.size() && f.flush() && ::fsync(f.handle()) == 0;
    f.close();
    if (!ok || f.error() != QFileDevice::NoError) {
        QFile::remove(tmp);
        throw EWriteError(QStringLiteral("Error writing file \"%1\".").arg(path));
    }
    // rename(2) replaces the old file in one step.
    if (std::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(tmp);
        throw EWriteError(QStringLiteral("Cannot replace file \"%1\".").arg(path));
    }
}

QByteArray ReadFileWhole(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    return f.readAll();
}
