// The export text of a cell that every writer takes.
#include "GridData2Fixture.h"

namespace {

class GridSaveCellTest : public GridData2Test {};

TEST_F(GridSaveCellTest, ExportTextByKind)
{
    auto* g = NewGrid(4, 2, 0, 0);
    QString v;

    g->AddCheckBox(0, 0, true, false);
    g->SaveCell(0, 0, v);
    EXPECT_EQ(v, "Y");
    g->SetCheckBoxState(0, 0, false);
    g->SaveCell(0, 0, v);
    EXPECT_EQ(v, "N");

    g->SetCellEx(1, 0, "<B>bold</B>");
    g->SaveCell(1, 0, v);
    EXPECT_EQ(v, "<B>bold</B>");
    g->SaveWithHTML = false;
    g->SaveCell(1, 0, v);
    EXPECT_EQ(v, "bold");

    g->SetCellEx(2, 0, "{\\rtf1 ab\\par\r\ncd}");
    g->SaveCell(2, 0, v);
    EXPECT_TRUE(v.startsWith("ab\r\ncd")) << v.toStdString();
    g->SaveWithRTF = true;
    g->SaveCell(2, 0, v);
    EXPECT_EQ(v, "{\\rtf1 ab\\parcd}");

    g->SetCellEx(3, 0, "1.5");
    g->OnGetFloatFormat = [](TObject*, int, int, bool& isFloat, QString& fmt) {
        isFloat = true;
        fmt = "%.3f";
    };
    g->SaveCell(3, 0, v);
    EXPECT_EQ(v, "1.500");
    g->SaveVirtCells = false;
    g->SaveCell(3, 0, v);
    EXPECT_EQ(v, "1.5");
}

TEST_F(GridSaveCellTest, HiddenColumnsAreLeftOutOrWrittenWhereTheyStand)
{
    auto* g = NewGrid(3, 1, 0, 0);
    g->SetCellEx(0, 0, "a");
    g->SetCellEx(1, 0, "b");
    g->SetCellEx(2, 0, "c");
    g->HideColumn(1);
    g->SaveToCSV(Path("v.csv"));
    EXPECT_EQ(Bytes("v.csv"), QByteArray("a,c\r\n"));
    g->SaveHiddenCells = true;
    g->SaveToCSV(Path("h.csv"));
    EXPECT_EQ(Bytes("h.csv"), QByteArray("a,b,c\r\n"));
}

} // namespace

namespace {

// Every writer writes its file whole; a folder that does not exist is an
// error to the caller and leaves no file behind.
TEST_F(GridSaveCellTest, FailedWritesReachTheCaller)
{
    auto* g = NewGrid(2, 2, 0, 0);
    g->SetCellEx(0, 0, "v");
    const QString bad = Path("missing/folder/out");
    const std::function<void()> writers[] = {
        [&] { g->SaveToFile(bad); },
        [&] { g->SaveToCSV(bad); },
        [&] { g->SaveToASCII(bad); },
        [&] { g->SaveToBinFile(bad); },
        [&] { g->SaveToHTML(bad, false, false); },
        [&] { g->SaveToXML(bad, "L", "R", nullptr, false); },
        [&] { g->SaveVisualProps(bad); },
    };
    for (size_t i = 0; i < std::size(writers); ++i) {
        EXPECT_ANY_THROW(writers[i]()) << i;
        EXPECT_FALSE(FileExists(bad)) << i;
    }
}

} // namespace
