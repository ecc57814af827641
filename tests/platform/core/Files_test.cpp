#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <atomic>
#include <thread>

namespace {

// The names in a folder, so a test sees every temporary file left behind.
QStringList Entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST(WriteFileWhole, ReplacesTheFileAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("f.bin"));
    WriteFileWhole(path, QByteArray("old"));
    WriteFileWhole(path, QByteArray("new"));
    EXPECT_EQ(ReadFileWhole(path), QByteArray("new"));
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("f.bin")});
}

TEST(WriteFileWhole, FailuresRaiseAndKeepTheOldFile)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("f.bin"));
    WriteFileWhole(path, QByteArray("old"));

    // The temporary cannot be created: the folder is missing.
    EXPECT_THROW(WriteFileWhole(PathJoin(dir.path(), QStringLiteral("none/f.bin")), QByteArray("new")),
                 EFCreateError);

    // A write error on the way.
    SetWriteFaultHook([&](const QString& p) { return p == path; });
    EXPECT_THROW(WriteFileWhole(path, QByteArray("new")), EWriteError);
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadFileWhole(path), QByteArray("old"));
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("f.bin")});
}

TEST(WriteFileWhole, LinksAtTemporaryNamesAreNeverFollowed)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("f.bin"));
    const QString victim = PathJoin(dir.path(), QStringLiteral("victim"));
    WriteFileWhole(victim, QByteArray("victim's bytes"));
    // Links at the names a temporary file could take: the old fixed name and
    // names in the pattern of the unique ones.
    const QStringList links = {QStringLiteral("f.bin.tmp"), QStringLiteral(".f.bin.tmp"),
                               QStringLiteral(".f.bin.AAAAAA"), QStringLiteral(".f.bin.XXXXXX")};
    for (const QString& l : links)
        ASSERT_TRUE(QFile::link(victim, PathJoin(dir.path(), l)));
    for (int i = 0; i < 20; ++i)
        WriteFileWhole(path, QByteArray("new ") + QByteArray::number(i));
    EXPECT_EQ(ReadFileWhole(path), QByteArray("new 19"));
    EXPECT_EQ(ReadFileWhole(victim), QByteArray("victim's bytes"));
    for (const QString& l : links)
        EXPECT_EQ(QFileInfo(PathJoin(dir.path(), l)).symLinkTarget(), victim) << qPrintable(l);
    EXPECT_EQ(Entries(dir.path()).size(), links.size() + 2);
}

TEST(WriteFileWhole, KeepsThePermissionBitsOfTheFile)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("f.xml"));
    const QByteArray name = QFile::encodeName(path);
    for (const mode_t mode : {mode_t(0640), mode_t(0600), mode_t(0664)}) {
        WriteFileWhole(path, QByteArray("a"));
        ASSERT_EQ(::chmod(name.constData(), mode), 0);
        WriteFileWhole(path, QByteArray("b"));
        struct stat st;
        ASSERT_EQ(::stat(name.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
    }
    // A new file gets 0666 less the umask, never the private 0600 of a
    // temporary file.
    const mode_t mask = ::umask(022);
    const QString fresh = PathJoin(dir.path(), QStringLiteral("new.xml"));
    WriteFileWhole(fresh, QByteArray("c"));
    ::umask(mask);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(fresh).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0644));
}

TEST(WriteFileWhole, TwoWritersOfOneFileNeverMix)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("f.xml"));
    const QByteArray a(4096, 'a');
    const QByteArray b(6000, 'b');
    std::atomic<int> failures{0};
    const auto writer = [&](const QByteArray& bytes) {
        for (int i = 0; i < 1000; ++i) {
            try {
                WriteFileWhole(path, bytes);
            } catch (const Exception&) {
                ++failures;
            }
        }
    };
    std::thread t1(writer, a);
    std::thread t2(writer, b);
    t1.join();
    t2.join();
    EXPECT_EQ(failures.load(), 0);
    const QByteArray result = ReadFileWhole(path);
    EXPECT_TRUE(result == a || result == b) << result.size();
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("f.xml")});
}

TEST(Paths, JoinWithSlash)
{
    EXPECT_EQ(PathJoin(QStringLiteral("/p/PROJECTS"), QStringLiteral("X")), QStringLiteral("/p/PROJECTS/X"));
    EXPECT_EQ(PathJoin(QStringLiteral("/p/"), QStringLiteral("X")), QStringLiteral("/p/X"));
}

TEST(ListFolderByMask, MatchesNamesOfEitherCaseWithFolders)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"a.bmp", "B.BMP", "c.png"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub.bmp"));
    QStringList names = ListFolderByMask(dir.path() + "/*.bmp");
    names.sort();
    EXPECT_EQ(names, QStringList({"B.BMP", "a.bmp", "sub.bmp"}));
    EXPECT_EQ(ListFolderByMask(dir.path() + "/?.png"), QStringList({"c.png"}));
    EXPECT_TRUE(ListFolderByMask(dir.path() + "/missing/*").isEmpty());
    // "*" lists the folder's own entries too; callers leave them out.
    EXPECT_TRUE(ListFolderByMask(dir.path() + "/*").contains(".."));
}
