#include "treeview/LazyTrees.Classes.h"

#include <gtest/gtest.h>

TEST(BufferedString, GrowsInBlocksAndKeepsTheText) {
    TBufferedString s;
    EXPECT_TRUE(s.AsString().isEmpty());
    s.Add(QString());
    EXPECT_EQ(s.Capacity(), 0);
    s.Add(QStringLiteral("abc"));
    EXPECT_EQ(s.Capacity(), 4096);
    // A text exactly as long as the free space grows the buffer first.
    s.Add(QString(4093, QLatin1Char('x')));
    EXPECT_EQ(s.Capacity(), 8192);
    EXPECT_EQ(s.AsString().size(), 4096);
    EXPECT_TRUE(s.AsString().startsWith(QStringLiteral("abcxx")));
    TBufferedString lines;
    for (int i = 0; i < 2046; ++i) lines.AddNewLine();
    EXPECT_EQ(lines.Capacity(), 4096);
    lines.AddNewLine();
    EXPECT_EQ(lines.Capacity(), 8192);
    EXPECT_EQ(lines.AsString().size(), 2047 * 2);
    EXPECT_EQ(lines.AsString().left(2), QStringLiteral("\r\n"));
}

TEST(BufferedRawByteString, GrowsInBlocksAndKeepsTheBytes) {
    TBufferedRawByteString s;
    EXPECT_TRUE(s.AsString().isEmpty());
    s.Add(QByteArray(5000, 'a'));
    EXPECT_EQ(s.Capacity(), 8192);
    s.AddNewLine();
    EXPECT_EQ(s.AsString().size(), 5002);
    EXPECT_TRUE(s.AsString().endsWith("a\r\n"));
}

TEST(TreeCriticalSection, IsReentrantForItsOwner) {
    TCriticalSection cs;
    cs.Enter();
    EXPECT_TRUE(cs.TryEnter());
    cs.Leave();
    cs.Leave();
}
