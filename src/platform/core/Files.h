#pragma once
// Paths and whole-file input and output.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// Joins a folder and a name with "/" (the folder carries no trailing separator).
QString PathJoin(const QString& folder, const QString& name);

bool FileExists(const QString& path);
bool DirectoryExists(const QString& path);
// Creates the folder and its parents; false when it cannot.
bool ForceDirectories(const QString& path);

// Writes the file whole: the bytes go to a temporary file of a name of its
// own, created exclusively in the target's folder (a link at any name is
// never followed), with the target's permission bits (0666 less the umask
// for a new file); the file is flushed to the disk, renamed over the target
// in one step, and the folder flushed. Two writers of one file leave one of
// the two whole contents. Any failure raises EFCreateError or EWriteError,
// removes the temporary file and leaves the old file as it was.
//
// Before it creates its temporary file, a write removes the leftovers of
// earlier writes of the same file that were killed midway: names of its own
// pattern (".<name>.XXXXXX"), untouched for a minute and locked by no
// writer (every writer holds its temporary file locked until it is renamed).
// Messages name the file and the system's reason.
void WriteFileWhole(const QString& path, const QByteArray& bytes);
// Reads the whole file; raises EFOpenError naming the file and the reason
// when it cannot be read (a folder, a pipe or a device is refused unopened).
QByteArray ReadFileWhole(const QString& path);

// What stands at a path that is to be read.
enum class TFilePresence {
    Missing,    // nothing: no entry at all (a folder on the way is missing too)
    File,       // a regular file that opens for reading
    Unreadable, // something that cannot be read as a file; the reason says why
};
// The reason, when asked for, is empty but for Unreadable: "it is a folder",
// "it is not a regular file", "it is a link to a file that does not exist",
// or the system's reason for refusing to open it.
TFilePresence ProbeFile(const QString& path, QString* reason = nullptr);

// The first name of `path` + `suffix`, then `path` + `suffix` + ".1", ".2" ...
// at which nothing stands.
QString FreeNameBeside(const QString& path, const QString& suffix);
// Keeps the file as it is under the first free such name (a hard link, or a
// copy where the file system has none), never replacing anything; answers
// the name. Raises EFCreateError naming both when it cannot.
QString KeepFileBeside(const QString& path, const QString& suffix);

// The names in a folder that a file mask matches ("*" any run, "?" one
// character, letters of either case), directories included, in the order
// the file system lists them; "." and ".." are listed like any entry. The
// argument is the folder and the mask joined ("/pictures/*.bmp"); a missing
// folder gives no names.
QStringList ListFolderByMask(const QString& pathWithMask);

// Test hook: when set and it answers true for a path, the write of that path's
// temporary file fails as a full disk would (ENOSPC).
void SetWriteFaultHook(std::function<bool(const QString& path)> hook);
