#include "platform/core/Files.h"

#include "platform/core/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cctype>
#include <cerrno>
#include <dirent.h>
#include <fnmatch.h>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
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

// The system's text for an error number.
QString systemReason(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// A leftover of a killed write is this old at least before it is removed.
constexpr time_t Stale_Temporary_Seconds = 60;

// Removes the temporary files of earlier writes of `fileName` in `folder`
// that a killed writer left: its own pattern only (the name, a dot and the
// six letters or digits mkostemp chose), untouched for a while and locked by
// nobody. A writer in flight holds its file locked, so it is never removed.
void removeStaleTemporaries(const QByteArray& folder, const QByteArray& fileName)
{
    const QByteArray prefix = "." + fileName + ".";
    DIR* d = ::opendir(folder.constData());
    if (!d)
        return;
    const time_t now = ::time(nullptr);
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
            continue;
        bool pattern = true;
        for (qsizetype i = prefix.size(); i < name.size(); ++i)
            pattern = pattern && std::isalnum(uchar(name[i])) && uchar(name[i]) < 0x80;
        if (!pattern)
            continue;
        const QByteArray full = folder + "/" + name;
        struct stat st;
        if (::lstat(full.constData(), &st) != 0 || !S_ISREG(st.st_mode) || now - st.st_mtime < Stale_Temporary_Seconds)
            continue;
        const int fd = ::open(full.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(full.constData());
        ::close(fd);
    }
    ::closedir(d);
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
    removeStaleTemporaries(folder, QFile::encodeName(target.fileName()));
    // A name of its own for every write, created exclusively: a link or a
    // file already at that name is never opened, and two writers of one file
    // (two running copies of the program) never share a temporary file.
    QByteArray tmpl = folder + "/." + QFile::encodeName(target.fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0)
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2.").arg(path, systemReason(errno)));
    // Held until the rename: another writer's clean-up leaves it alone.
    ::flock(fd, LOCK_EX | LOCK_NB);
    const auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.constData());
        throw EWriteError(QStringLiteral("Error writing file \"%1\". %2.").arg(path, systemReason(err)));
    };
    // The file keeps its permission bits; a new one gets the usual ones.
    struct stat st;
    const mode_t mode = ::stat(finalName.constData(), &st) == 0 ? (st.st_mode & 07777) : newFileMode();
    if (writeFaultHook() && writeFaultHook()(path))
        fail(ENOSPC);
    // The data reaches the disk before the rename, so a crash leaves either
    // the old file or the new one, never an empty one.
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0)
        fail(errno);
    // rename(2) replaces the old file in one step; the lock goes with the
    // descriptor, closed only after it.
    if (::rename(tmpl.constData(), finalName.constData()) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(tmpl.constData());
        throw EWriteError(QStringLiteral("Cannot replace file \"%1\". %2.").arg(path, systemReason(err)));
    }
    if (::close(fd) != 0) {
        // The data was flushed before the rename: the file is whole.
    }
    syncFolder(folder);
}

QByteArray ReadFileWhole(const QString& path)
{
    // Refused before opening: a pipe would wait for a writer for ever.
    QString reason;
    if (ProbeFile(path, &reason) == TFilePresence::Unreadable)
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2.").arg(path, reason));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2.").arg(path, f.errorString()));
    return f.readAll();
}

TFilePresence ProbeFile(const QString& path, QString* reason)
{
    const auto answer = [reason](TFilePresence p, const QString& why) {
        if (reason)
            *reason = why;
        return p;
    };
    if (path.isEmpty())
        return answer(TFilePresence::Missing, QString());
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return answer(TFilePresence::Missing, QString());
        return answer(TFilePresence::Unreadable, systemReason(errno));
    }
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ENOENT)
            return answer(TFilePresence::Unreadable, QStringLiteral("it is a link to a file that does not exist"));
        return answer(TFilePresence::Unreadable, systemReason(errno));
    }
    if (S_ISDIR(st.st_mode))
        return answer(TFilePresence::Unreadable, QStringLiteral("it is a folder"));
    if (!S_ISREG(st.st_mode))
        return answer(TFilePresence::Unreadable, QStringLiteral("it is not a regular file"));
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return answer(TFilePresence::Unreadable, systemReason(errno));
    ::close(fd);
    return answer(TFilePresence::File, QString());
}

namespace {

QString besideName(const QString& path, const QString& suffix, int k)
{
    return k == 0 ? path + suffix : QStringLiteral("%1%2.%3").arg(path, suffix).arg(k);
}

constexpr int Max_Names_Beside = 10000;

} // namespace

QString FreeNameBeside(const QString& path, const QString& suffix)
{
    struct stat st;
    for (int k = 0; k < Max_Names_Beside; ++k) {
        const QString name = besideName(path, suffix, k);
        if (::lstat(QFile::encodeName(name).constData(), &st) != 0 && errno == ENOENT)
            return name;
    }
    return besideName(path, suffix, Max_Names_Beside);
}

QString KeepFileBeside(const QString& path, const QString& suffix)
{
    const QByteArray source = QFile::encodeName(path);
    const auto refuse = [&](const QString& name, const QString& reason) {
        return EFCreateError(QStringLiteral("Cannot keep file \"%1\" as \"%2\". %3.").arg(path, name, reason));
    };
    for (int k = 0; k < Max_Names_Beside; ++k) {
        const QString name = besideName(path, suffix, k);
        const QByteArray target = QFile::encodeName(name);
        // A second name for the same bytes: nothing is read or copied, and
        // link(2) never replaces what stands at the new name.
        if (::link(source.constData(), target.constData()) == 0) {
            syncFolder(QFile::encodeName(QFileInfo(name).absolutePath()));
            return name;
        }
        const int err = errno;
        if (err == EEXIST)
            continue;
        if (err != EPERM && err != EXDEV && err != ENOTSUP && err != EOPNOTSUPP && err != EMLINK && err != ENOSYS)
            throw refuse(name, systemReason(err));
        // A file system without hard links: a copy, created exclusively.
        const QByteArray bytes = ReadFileWhole(path);
        const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            throw refuse(name, systemReason(errno));
        }
        if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
            const int werr = errno;
            ::close(fd);
            ::unlink(target.constData());
            throw refuse(name, systemReason(werr));
        }
        ::close(fd);
        return name;
    }
    throw refuse(besideName(path, suffix, Max_Names_Beside), QStringLiteral("Too many kept copies"));
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
