#include "platform/core/Files.h"

#include "platform/core/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <fnmatch.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

namespace {

// The mode a new file gets: 0666 less the process's umask, read without
// changing it (umask(2) would, for every thread at once).
mode_t newFileMode()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(0666 & ~mask);
            }
        }
    }
    return 0644;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Flushes a folder's entry list, so a rename inside it survives a crash.
void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void WriteFileWhole(const QString& path, const QByteArray& bytes)
{
    const QFileInfo target(path);
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    const QByteArray finalName = QFile::encodeName(target.absoluteFilePath());
    // A name of its own for every write, created exclusively: a link or a
    // file already at that name is never opened, and two writers of one file
    // (two running copies of the program) never share a temporary file.
    QByteArray tmpl = folder + "/." + QFile::encodeName(target.fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0)
        throw EFCreateError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    const auto discard = [&] {
        ::close(fd);
        ::unlink(tmpl.constData());
    };
    // The file keeps its permission bits; a new one gets the usual ones.
    struct stat st;
    const mode_t mode = ::stat(finalName.constData(), &st) == 0 ? (st.st_mode & 07777) : newFileMode();
    const bool injected = writeFaultHook() && writeFaultHook()(path);
    // The data reaches the disk before the rename, so a crash leaves either
    // the old file or the new one, never an empty one.
    if (injected || ::fchmod(fd, mode) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0) {
        discard();
        throw EWriteError(QStringLiteral("Error writing file \"%1\".").arg(path));
    }
    if (::close(fd) != 0) {
        ::unlink(tmpl.constData());
        throw EWriteError(QStringLiteral("Error writing file \"%1\".").arg(path));
    }
    // rename(2) replaces the old file in one step.
    if (::rename(tmpl.constData(), finalName.constData()) != 0) {
        ::unlink(tmpl.constData());
        throw EWriteError(QStringLiteral("Cannot replace file \"%1\".").arg(path));
    }
    syncFolder(folder);
}

QByteArray ReadFileWhole(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    return f.readAll();
}

QStringList ListFolderByMask(const QString& pathWithMask) {
    const int cut = int(pathWithMask.lastIndexOf(QLatin1Char('/')));
    const QString folder = cut < 0 ? QStringLiteral(".") : cut == 0 ? QStringLiteral("/") : pathWithMask.left(cut);
    const QByteArray mask = QFile::encodeName(cut < 0 ? pathWithMask : pathWithMask.mid(cut + 1));
    QStringList names;
    DIR* d = opendir(QFile::encodeName(folder).constData());
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        if (fnmatch(mask.constData(), e->d_name, FNM_CASEFOLD) == 0) names << QFile::decodeName(e->d_name);
    }
    closedir(d);
    return names;
}
