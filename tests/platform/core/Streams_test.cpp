#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/Streams.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(TMemoryStream, ReadWriteSeekAndSize)
{
    TMemoryStream m;
    m.WriteBuffer("abcdef", 6);
    EXPECT_EQ(m.Size(), 6);
    EXPECT_EQ(m.Position(), 6);
    m.SetPosition(2);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 4); // a short read returns what there was
    EXPECT_EQ(QByteArray(buf, 4), QByteArray("cdef"));
    EXPECT_EQ(m.Read(buf, 1), 0);
    EXPECT_EQ(m.Seek(-3, soEnd), 3);
    EXPECT_EQ(m.Seek(1, soCurrent), 4);
    EXPECT_EQ(m.Seek(-10, soBeginning), 0);
    // Writing past the end fills the gap with zeros.
    m.Seek(8, soBeginning);
    m.WriteBuffer("Z", 1);
    EXPECT_EQ(m.Bytes(), QByteArray("abcdef\0\0Z", 9));
    m.SetSize(3);
    EXPECT_EQ(m.Bytes(), QByteArray("abc"));
    EXPECT_EQ(m.Position(), 3);
    m.Memory()[0] = 'X';
    EXPECT_EQ(m.Bytes(), QByteArray("Xbc"));
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
}

TEST(TStream, BufferHelpersRaiseOnShortTransfers)
{
    TMemoryStream m;
    m.WriteBuffer("abc", 3);
    m.SetPosition(1);
    char buf[4];
    try {
        m.ReadBuffer(buf, 3);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Stream read error"));
    }
    // A stream that takes nothing.
    class TFull : public TMemoryStream {
    public:
        int64_t Write(const void*, int64_t) override { return 0; }
    } full;
    try {
        full.WriteBuffer("x", 1);
        FAIL();
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Stream write error"));
    }
}

TEST(TStream, CopyFrom)
{
    TMemoryStream src, dst;
    QByteArray big(100000, 'q');
    big[99999] = 'e';
    src.WriteBuffer(big);
    src.SetPosition(10);
    EXPECT_EQ(dst.CopyFrom(&src, 5), 5);
    EXPECT_EQ(dst.Bytes(), QByteArray("qqqqq"));
    dst.Clear();
    // Count 0: the whole source from its start, across several chunks.
    EXPECT_EQ(dst.CopyFrom(&src, 0), 100000);
    EXPECT_EQ(dst.Bytes(), big);
    src.SetPosition(99990);
    EXPECT_THROW(dst.CopyFrom(&src, 20), EReadError);
}

TEST(TFileStream, ModesAndErrors)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("f.bin"));
    {
        TFileStream f(path, fmCreate);
        f.WriteBuffer("hello", 5);
        EXPECT_EQ(f.Size(), 5);
    }
    {
        TFileStream f(path, fmOpenReadWrite | fmShareDenyWrite);
        f.Seek(0, soEnd);
        f.WriteBuffer("!", 1);
        f.SetPosition(1);
        char buf[3];
        f.ReadBuffer(buf, 3);
        EXPECT_EQ(QByteArray(buf, 3), QByteArray("ell"));
    }
    {
        TFileStream f(path, fmOpenRead);
        EXPECT_EQ(f.Size(), 6);
        EXPECT_EQ(f.Write("x", 1), 0); // read-only: nothing written
        EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
    }
    EXPECT_EQ(ReadFileWhole(path), QByteArray("hello!"));

    const QString missing = PathJoin(dir.path(), QStringLiteral("none.bin"));
    for (uint16_t mode : {uint16_t(fmOpenRead), uint16_t(fmOpenWrite), uint16_t(fmOpenReadWrite)}) {
        try {
            TFileStream f(missing, mode);
            ADD_FAILURE() << mode;
        } catch (const EFOpenError& e) {
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \"%1\".").arg(missing))) << mode;
        }
        EXPECT_FALSE(FileExists(missing)) << mode;
    }
    const QString badDir = PathJoin(dir.path(), QStringLiteral("no/such/f.bin"));
    try {
        TFileStream f(badDir, fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot create file \"%1\".").arg(badDir)));
    }
}

TEST(TMemoryStream, FilesWholeInAndOut)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), QStringLiteral("m.bin"));
    TMemoryStream m;
    m.WriteBuffer(QByteArray("\x00\x01\x02", 3));
    m.SaveToFile(path);
    EXPECT_EQ(ReadFileWhole(path), QByteArray("\x00\x01\x02", 3));
    EXPECT_FALSE(FileExists(path + QStringLiteral(".tmp")));
    TMemoryStream r;
    r.LoadFromFile(path);
    EXPECT_EQ(r.Bytes(), m.Bytes());
    EXPECT_EQ(r.Position(), 0);
    EXPECT_THROW(r.LoadFromFile(PathJoin(dir.path(), QStringLiteral("x"))), EFOpenError);
}

TEST(TStringStream, TextInItsEncoding)
{
    TStringStream a(QStringLiteral("caf\u00E9"));
    EXPECT_EQ(a.Bytes(), QByteArray("caf\xE9"));
    EXPECT_EQ(a.DataString(), QStringLiteral("caf\u00E9"));
    TStringStream u(QStringLiteral("\u00E9"), teUTF8);
    EXPECT_EQ(u.Bytes(), QByteArray("\xC3\xA9")); // no byte-order mark inside
    u.SetPosition(0);
    u.WriteString(QStringLiteral("ab"));
    EXPECT_EQ(u.DataString(), QStringLiteral("ab"));
    TStringStream s;
    s.WriteString(QStringLiteral("hello"));
    s.SetPosition(1);
    EXPECT_EQ(s.ReadString(3), QStringLiteral("ell"));
    EXPECT_EQ(s.ReadString(9), QStringLiteral("o"));
}
