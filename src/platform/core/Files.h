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
void WriteFileWhole(const QString& path, const QByteArray& bytes);
// Reads the whole file; raises EFOpenError when it cannot be read.
QByteArray ReadFileWhole(const QString& path);

// The names in a folder that a file mask matches ("*" any run, "?" one
// character, letters of either case), directories included, in the order
// the file system lists them; "." and ".." are listed like any entry. The
// argument is the folder and the mask joined ("/pictures/*.bmp"); a missing
// folder gives no names.
QStringList ListFolderByMask(const QString& pathWithMask);

// Test hook: when set and it answers true for a path, the write of that path's
// temporary file fails as a device error would.
void SetWriteFaultHook(std::function<bool(const QString& path)> hook);
