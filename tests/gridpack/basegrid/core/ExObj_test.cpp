#include "gridpack/basegrid/ExObj.h"

#include "platform/core/Exceptions.h"
#include "support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

namespace {
struct ChangeLog {
    std::vector<std::pair<int, int>> Calls;
    TImageChangeEvent Handler()
    {
        return [this](TObject*, int c, int r) { Calls.emplace_back(c, r); };
    }
};
} // namespace

TEST(IntList, StrValueReadsAndWritesCommaText)
{
    TIntList l(3, 7);
    l.Add(1);
    l.Add(20);
    l.Add(3);
    EXPECT_EQ(l.StrValue(), "1,20,3");
    EXPECT_EQ(TIntList(0, 0).StrValue(), "");

    TIntList m(3, 7);
    m.Add(1);
    m.Add(2);
    ChangeLog log;
    m.OnChange = log.Handler();
    m.SetStrValue("4,5");
    ASSERT_EQ(m.Count(), 2);
    EXPECT_EQ(m.GetInteger(0), 4);
    EXPECT_EQ(m.GetInteger(1), 5);
    // One change per piece added, none for the clearing, each naming the
    // list's own cell.
    ASSERT_EQ(log.Calls.size(), 2u);
    EXPECT_EQ(log.Calls[0], std::make_pair(3, 7));
    EXPECT_EQ(log.Calls[1], std::make_pair(3, 7));
}

TEST(IntList, WhichOperationsReportChanges)
{
    TIntList l(1, 2);
    ChangeLog log;
    l.OnChange = log.Handler();
    l.Insert(0, 9);
    EXPECT_TRUE(log.Calls.empty());
    l.DeleteValue(42); // absent: nothing
    EXPECT_TRUE(log.Calls.empty());
    EXPECT_EQ(l.Count(), 1);
    l.Add(5);
    l.SetInteger(0, 8);
    l.DeleteValue(8);
    l.Delete(0);
    EXPECT_EQ(log.Calls.size(), 4u);
    EXPECT_EQ(l.Count(), 0);
    EXPECT_FALSE(l.HasValue(5));
}

TEST(IntList, BadPieceRaisesAfterEarlierPiecesWereAdded)
{
    TIntList l(0, 0);
    EXPECT_THROW(l.SetStrValue("1,x,3"), EConvertError);
    ASSERT_EQ(l.Count(), 1);
    EXPECT_EQ(l.GetInteger(0), 1);
    EXPECT_THROW(l.GetInteger(5), EListError);
}

TEST(SortIndexList, SortTextRoundTrip)
{
    TSortIndexList l;
    l.LoadFromString("u1;x;d12;;");
    ASSERT_EQ(l.Count(), 2);
    EXPECT_EQ(l.GetSortColumns(0), 1);
    EXPECT_TRUE(l.GetSortDirections(0));
    EXPECT_EQ(l.GetSortColumns(1), 12);
    EXPECT_FALSE(l.GetSortDirections(1));
    EXPECT_EQ(l.SaveToString(), "u1;d12");

    TSortIndexList big;
    big.AddIndex(70000, false);
    EXPECT_EQ(big.SaveToString(), "d4464");

    TSortIndexList two;
    two.AddIndex(2, true);
    two.AddIndex(0, false);
    EXPECT_EQ(two.SaveToString(), "u2;d0");
    two.LoadFromString("");
    EXPECT_EQ(two.Count(), 0);
    EXPECT_EQ(two.SaveToString(), "");
}

TEST(SortIndexList, FindToggleAndWriters)
{
    TSortIndexList l;
    l.AddIndex(4, false);
    l.AddIndex(7, true);
    EXPECT_EQ(l.FindIndex(4), 0); // found by its plain column number
    EXPECT_EQ(l.FindIndex(9), -1);
    l.ToggleIndex(4);
    EXPECT_TRUE(l.GetSortDirections(0));
    l.ToggleIndex(99); // absent: nothing
    EXPECT_EQ(l.SaveToString(), "u4;u7");

    ChangeLog log;
    l.OnChange = log.Handler();
    l.SetSortColumns(1, 11);
    l.SetSortDirections(1, false);
    EXPECT_EQ(l.SaveToString(), "u4;d11");
    l.SetSortColumns(1, 12); // keeps the direction
    EXPECT_FALSE(l.GetSortDirections(1));
    EXPECT_EQ(log.Calls.size(), 3u);
}

TEST(ControlList, OwnsItemsNotControls)
{
    TControlList l;
    l.AddControl(2, 3, nullptr);
    l.AddControl(4, 5, nullptr);
    EXPECT_EQ(l.ControlIndex(4, 5), 1);
    EXPECT_EQ(l.ControlIndex(5, 4), -1);
    EXPECT_EQ(l.GetControl(0)->X, 2);
    l.RemoveControl(0);
    EXPECT_EQ(l.Count(), 1);
    EXPECT_EQ(l.ControlIndex(4, 5), 0);
    EXPECT_FALSE(l.HasHandle(1234));
}

TEST(FilePicture, SizeFromFileAndAssign)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.bmp");
    TBitmap bmp(7, 5);
    bmp.SaveToFile(path);

    TFilePicture p;
    p.SetFilename(path);
    EXPECT_EQ(p.Width(), 7);
    EXPECT_EQ(p.Height(), 5);
    TFilePicture q;
    q.Assign(&p);
    EXPECT_EQ(q.Filename(), path);
    EXPECT_EQ(q.Height(), 5);

    TFilePicture r;
    EXPECT_ANY_THROW(r.SetFilename(dir.filePath("missing.bmp")));
}

TEST(FileStringList, LineCursorAndPendingText)
{
    TFileStringList l;
    l.Write("a");
    l.Write("b");
    l.WriteLn("c");
    l.WriteLn("d");
    ASSERT_EQ(l.Count(), 2);
    EXPECT_EQ(l[0], "abc");
    QString s;
    EXPECT_FALSE(l.Eof());
    l.ReadLn(s);
    EXPECT_EQ(s, "abc");
    l.ReadLn(s);
    EXPECT_EQ(s, "d");
    EXPECT_TRUE(l.Eof());
    EXPECT_THROW(l.ReadLn(s), EListError);
    l.Reset();
    EXPECT_FALSE(l.Eof());
}
