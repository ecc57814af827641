#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
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

    // The temporary cannot be created: the folder is missing. The message
    // names the file and the system's reason.
    try {
        WriteFileWhole(PathJoin(dir.path(), QStringLiteral("none/f.bin")), QByteArray("new"));
        ADD_FAILURE() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("none/f.bin"))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("No such file or directory"))) << e.Message().toStdString();
    }

    // A write error on the way, as a full disk gives it.
    SetWriteFaultHook([&](const QString& p) { return p == path; });
    try {
        WriteFileWhole(path, QByteArray("new"));
        ADD_FAILURE() << "no exception";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Error writing file \"%1\". No space left on device.").arg(path));
    }
    SetWriteFaultHook(nullptr);

    // The file cannot be replaced: a folder stands at its name.
    const QString folder = PathJoin(dir.path(), QStringLiteral("d.bin"));
    ASSERT_TRUE(QDir().mkdir(folder));
    try {
        WriteFileWhole(folder, QByteArray("new"));
        ADD_FAILURE() << "no exception";
    } catch (const EWriteError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Is a directory"))) << e.Message().toStdString();
    }
    ASSERT_TRUE(QDir().rmdir(folder));
    EXPECT_EQ(ReadFileWhole(path), QByteArray("old"));
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("f.bin")});
}

// A save killed midway leaves its temporary file behind; the next save of
// that file removes such leftovers, but only its own pattern and only when no
// writer still holds them (locked, or written to within the last minute).
TEST(WriteFileWhole, RemovesItsOwnStaleTemporariesOnly)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("J1939_Rec_Frames.xml"));
    const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);
    const auto make = [&](const char* name, bool stale) {
        const QString p = PathJoin(dir.path(), QString::fromLatin1(name));
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("half a table");
        f.close();
        if (stale) {
            EXPECT_TRUE(f.open(QIODevice::ReadWrite));
            EXPECT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
        }
        return p;
    };
    make(".J1939_Rec_Frames.xml.a1B2c3", true);                // a killed save: goes
    make(".J1939_Rec_Frames.xml.Zz9Yy8", false);               // a save in flight: stays
    const QString locked = make(".J1939_Rec_Frames.xml.LoCk01", true);
    make(".J1939_Send_Frames.xml.a1B2c3", true);               // another file's: stays
    make(".J1939_Rec_Frames.xml.toolong1", true);              // not the pattern: stays
    make(".J1939_Rec_Frames.xml.damaged", true);               // not the pattern: stays
    // A writer that holds its temporary file locked, however old it looks.
    const int fd = ::open(QFile::encodeName(locked).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);

    WriteFileWhole(path, QByteArray("<Receive_J1939 />"));
    ::close(fd);

    const QStringList left = {".J1939_Rec_Frames.xml.LoCk01",  ".J1939_Rec_Frames.xml.Zz9Yy8",
                              ".J1939_Rec_Frames.xml.damaged", ".J1939_Rec_Frames.xml.toolong1",
                              ".J1939_Send_Frames.xml.a1B2c3", "J1939_Rec_Frames.xml"};
    EXPECT_EQ(Entries(dir.path()), left);
}

// What stands at a path to be read: nothing (the caller takes its defaults),
// a file, or something that cannot be read, with the reason.
TEST(ProbeFile, TellsAMissingFileFromOneThatCannotBeRead)
{
    QTemporaryDir dir;
    const auto at = [&](const char* name) { return PathJoin(dir.path(), QString::fromLatin1(name)); };
    WriteFileWhole(at("file.xml"), "<a/>");
    ASSERT_TRUE(QDir().mkdir(at("folder.xml")));
    ASSERT_TRUE(QFile::link(at("nowhere"), at("dangling.xml")));
    ASSERT_TRUE(QFile::link(at("loop.xml"), at("loop.xml")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("pipe.xml")).constData(), 0600), 0);
    WriteFileWhole(at("locked.xml"), "<a/>");
    ASSERT_TRUE(QFile::setPermissions(at("locked.xml"), QFileDevice::Permissions()));
    const bool privileged = QFile(at("locked.xml")).open(QIODevice::ReadOnly);

    struct TCase {
        const char* Name;
        TFilePresence Expect;
        const char* Reason;
    };
    const TCase cases[] = {
        {"missing.xml", TFilePresence::Missing, ""},
        {"none/missing.xml", TFilePresence::Missing, ""},
        {"file.xml", TFilePresence::File, ""},
        {"folder.xml", TFilePresence::Unreadable, "it is a folder"},
        {"dangling.xml", TFilePresence::Unreadable, "it is a link to a file that does not exist"},
        {"loop.xml", TFilePresence::Unreadable, "Too many levels of symbolic links"},
        {"pipe.xml", TFilePresence::Unreadable, "it is not a regular file"},
        {"locked.xml", TFilePresence::Unreadable, "Permission denied"},
    };
    for (const TCase& c : cases) {
        if (privileged && QByteArray(c.Name) == "locked.xml")
            continue; // a privileged user reads any file
        QString reason;
        EXPECT_EQ(ProbeFile(at(c.Name), &reason), c.Expect) << c.Name;
        EXPECT_EQ(reason, QString::fromLatin1(c.Reason)) << c.Name;
    }
    // Reading one of them gives the same reason, and never waits on a pipe.
    for (const char* name : {"folder.xml", "pipe.xml", "dangling.xml"}) {
        try {
            ReadFileWhole(at(name));
            ADD_FAILURE() << name << ": no exception";
        } catch (const EFOpenError& e) {
            QString reason;
            ProbeFile(at(name), &reason);
            EXPECT_TRUE(e.Message().contains(at(name))) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(reason)) << e.Message().toStdString();
        }
    }
}

// A file kept beside itself before it is replaced: the next free name of
// the suffix, never an earlier one overwritten.
TEST(KeepFileBeside, KeepsTheBytesUnderTheNextFreeName)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("KNX_SetAccess.xml"));
    const QString suffix = QStringLiteral(".damaged");
    WriteFileWhole(path, "<BACnet_to_KNX><KNX_in_Wr");
    EXPECT_EQ(FreeNameBeside(path, suffix), path + suffix);
    EXPECT_EQ(KeepFileBeside(path, suffix), path + suffix);
    WriteFileWhole(path, "second");
    EXPECT_EQ(FreeNameBeside(path, suffix), path + suffix + QStringLiteral(".1"));
    EXPECT_EQ(KeepFileBeside(path, suffix), path + suffix + QStringLiteral(".1"));
    WriteFileWhole(path, "third");
    EXPECT_EQ(ReadFileWhole(path + suffix), QByteArray("<BACnet_to_KNX><KNX_in_Wr"));
    EXPECT_EQ(ReadFileWhole(path + suffix + QStringLiteral(".1")), QByteArray("second"));
    EXPECT_EQ(ReadFileWhole(path), QByteArray("third"));
    EXPECT_EQ(KeepFileBeside(path, suffix), path + suffix + QStringLiteral(".2"));
    EXPECT_EQ(ReadFileWhole(path + suffix + QStringLiteral(".2")), QByteArray("third"));
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
