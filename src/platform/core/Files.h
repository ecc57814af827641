#pragma once
// Paths and whole-file input and output.
#include <QByteArray>
#include <QString>
#include <functional>

// Joins a folder and a name with "/" (the folder carries no trailing separator).
QString PathJoin(const QString& folder, const QString& name);

bool FileExists(const QString& path);
bool DirectoryExists(const QString& path);
// Creates the folder and its parents; false when it cannot.
bool ForceDirectories(const QString& path);

// Writes the file whole: the bytes go to "<path>.tmp", which then replaces the
// file. Any failure raises EFCreateError or EWriteError and leaves the old file
// as it was.
void WriteFileWhole(const QString& path, const QByteArray& bytes);
// Reads the whole file; raises EFOpenError when it cannot be read.
QByteArray ReadFileWhole(const QString& path);

// Test hook: when set and it answers true for a path, the write of that path's
// temporary file fails as a device error would.
void SetWriteFaultHook(std::function<bool(const QString& path)> hook);
