#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(WriteFileWhole, ReplacesTheFileAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("f.bin"));
    WriteFileWhole(path, QByteArray("old"));
    WriteFileWhole(path, QByteArray("new"));
    EXPECT_EQ(ReadFileWhole(path), QByteArray("new"));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));
}

TEST(WriteFileWhole, FailuresRaiseAndKeepTheOldFile)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("f.bin"));
    WriteFileWhole(path, QByteArray("old"));

    // The temporary cannot be created: a folder holds its name.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("f.bin.tmp")));
    EXPECT_THROW(WriteFileWhole(path, QByteArray("new")), EFCreateError);
    EXPECT_EQ(ReadFileWhole(path), QByteArray("old"));
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("f.bin.tmp")));

    // A write error on the way.
    SetWriteFaultHook([&](const QString& p) { return p == path; });
    EXPECT_THROW(WriteFileWhole(path, QByteArray("new")), EWriteError);
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadFileWhole(path), QByteArray("old"));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));
}

TEST(Paths, JoinWithSlash)
{
    EXPECT_EQ(PathJoin(QStringLiteral("/p/PROJECTS"), QStringLiteral("X")), QStringLiteral("/p/PROJECTS/X"));
    EXPECT_EQ(PathJoin(QStringLiteral("/p/"), QStringLiteral("X")), QStringLiteral("/p/X"));
}
