// The grid text file and the grid text stream.
#include "GridData2Fixture.h"

#include "platform/controls/Messages.h"
#include "platform/core/Streams.h"

namespace {

class GridTextFileTest : public GridData2Test {
protected:
    // 3 x 3, one fixed row and column, fixed cells not saved.
    TExStringGrid* Sample()
    {
        auto* g = NewGrid(3, 3);
        g->SaveFixedCells = false;
        for (int c = 0; c < 3; ++c)
            g->SetColWidths(c, 64);
        g->SetCellEx(1, 1, "a,b");
        g->SetCellEx(2, 2, "x\r\ny");
        return g;
    }
};

QByteArray Utf16(const QString& s)
{
    QByteArray b;
    for (QChar c : s) {
        b.append(char(c.unicode() & 0xFF));
        b.append(char(c.unicode() >> 8));
    }
    return b;
}

const QString kFileText = QStringLiteral("2,2\r\ncw 1,64\r\ncw 2,64\r\n1,1,a,b\r\n2,2,x\x09\x08y\r\n");

TEST_F(GridTextFileTest, FileIsWrittenWithAbsoluteIndexesInAnsiOrUtf16)
{
    auto* g = Sample();
    g->SaveToFile(Path("a.txt"), false);
    EXPECT_EQ(Bytes("a.txt"), kFileText.toLatin1());
    g->SaveToFile(Path("u.txt"), true);
    EXPECT_EQ(Bytes("u.txt"), QByteArray("\xFF\xFE", 2) + Utf16(kFileText));
}

TEST_F(GridTextFileTest, FileLoadsBackIntoAGridOfTheSameLayout)
{
    Sample()->SaveToFile(Path("a.txt"), true);
    for (bool multi : {true, false}) {
        auto* g = NewGrid(7, 9);
        g->SaveFixedCells = false;
        g->Multilinecells = multi;
        g->LoadFromFile(Path("a.txt"));
        EXPECT_EQ(g->ColCount(), 3);
        EXPECT_EQ(g->RowCount(), 3);
        EXPECT_EQ(g->GetCellEx(1, 1), "a,b");
        EXPECT_EQ(g->GetCellEx(2, 2), multi ? "x\r\ny" : "x");
        EXPECT_EQ(g->ColWidths(2), 64);
    }
}

TEST_F(GridTextFileTest, LoneLineFeedNoLongerOverwritesTheFirstCell)
{
    auto* g = NewGrid(2, 2, 0, 0);
    g->SetCellEx(0, 0, "left");
    g->SetCellEx(1, 1, "lf\nonly");
    g->SaveToFile(Path("lf.txt"));
    auto* h = NewGrid(2, 2, 0, 0);
    h->Multilinecells = true;
    h->LoadFromFile(Path("lf.txt"));
    EXPECT_EQ(h->GetCellEx(0, 0), "left");
    EXPECT_EQ(h->GetCellEx(1, 1), "lf\nonly");
}

// Each text as its cell line holds it (UTF-16 file, cell (1, 1)) and as it
// reads back with multi-line cells on and off, through the file and through
// the stream.
TEST_F(GridTextFileTest, EveryTextKeepsToOneLineAndComesBack)
{
    struct Case {
        QString Text;
        QString Line;      // the cell line written
        QString FirstLine; // read back with multi-line cells off
    };
    const Case cases[] = {
        // no line break: as it stands, tabs included
        {"a\tb", "1,1,a\tb", "a\tb"},
        // the classic break escape wherever it carries the text whole
        {"x\r\ny", "1,1,x\x09\x08y", "x"},
        {"lf\nonly", "1,1,lf\x08only", "lf\nonly"},
        {"cr\r\nand\nlf", "1,1,cr\x09\x08" "and\x08lf", "cr"},
        {QString::fromLatin1("n\0\r\nl", 5), "1,1,n\x01\x09\x08l", QString::fromLatin1("n\0", 2)},
        // what that escape cannot carry: backslash escapes, row marked
        {"cr\ronly", "1,1e,cr\\ronly", "cr"},
        {"a\tb\r\nc", "1,1e,a\\tb\\r\\nc", "a\tb"},
        {"back\bspace", "1,1e,back\bspace", "back\bspace"},
        {"dir\\name\n\x01", "1,1e,dir\\\\name\\n\x01", "dir\\name\n\x01"},
        {"x\r", "1,1e,x\\r", "x"},
    };
    for (const Case& k : cases) {
        auto* g = NewGrid(2, 2, 0, 0);
        g->SetCellEx(1, 1, k.Text);
        g->SaveToFile(Path("c.txt"), true);
        const QString file = QString::fromUtf16(reinterpret_cast<const char16_t*>(Bytes("c.txt").constData() + 2),
                                                (Bytes("c.txt").size() - 2) / 2);
        EXPECT_TRUE(file.endsWith("\r\n" + k.Line + "\r\n")) << k.Line.toStdString();
        TMemoryStream s;
        g->SaveToStream(&s);
        for (bool multi : {true, false}) {
            auto* h = NewGrid(2, 2, 0, 0);
            h->Multilinecells = multi;
            h->LoadFromFile(Path("c.txt"));
            EXPECT_EQ(h->GetCellEx(1, 1), multi ? k.Text : k.FirstLine) << k.Line.toStdString() << multi;
            auto* j = NewGrid(2, 2, 0, 0);
            j->Multilinecells = multi;
            s.SetPosition(0);
            j->LoadFromStream(&s);
            EXPECT_EQ(j->GetCellEx(1, 1), multi ? k.Text : k.FirstLine) << k.Line.toStdString() << multi;
        }
    }
}

// legacy_cells.txt was written before lone line feeds, lone CRs and tabs
// beside line breaks were escaped as they are now; it must read as it
// always did, faults included (its lone LF split a line, its row "only"
// landing in cell (0, 0)).
TEST_F(GridTextFileTest, FileOfTheEarlierWriterReadsAsBefore)
{
    const QString expected[2][5][3] = {
        {{"only", "a,b,c", "two"},
         {"lf", "cr\tonly", "tab"},
         {"  lead and trail  ", QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"), ""},
         {"x", "\"quoted\"", "back\nspace"},
         {"semi;colon", "   ", "end"}},
        {{"only", "a,b,c", "two\r\nlines"},
         {"lf", "cr\tonly", "tab\rand\r\nbreak"},
         {"  lead and trail  ", QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"), ""},
         {"x\r\n", "\"quoted\"", "back\nspace"},
         {"semi;colon", "   ", "end"}},
    };
    for (bool multi : {false, true}) {
        auto* h = NewGrid(3, 5, 0, 0);
        h->Multilinecells = multi;
        h->LoadFromFile(QStringLiteral(KAL_TEST_DIR "/legacy_cells.txt"));
        ASSERT_EQ(h->ColCount(), 3);
        ASSERT_EQ(h->RowCount(), 5);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(h->GetCellEx(c, r), expected[multi][r][c]) << c << "," << r << " " << multi;
    }
}

TEST_F(GridTextFileTest, CorruptHeaderRaisesBeforeTheGridChanges)
{
    const char* headers[] = {"0,3\r\n", "3,0\r\n", "-2,3\r\n", "\r\n1,1,x\r\n", "600,2\r\n", "abc\r\n"};
    for (const char* h : headers) {
        Put("bad.txt", QByteArray(h));
        auto* g = NewGrid(4, 5);
        g->SetCellEx(1, 1, "keep");
        try {
            g->LoadFromFile(Path("bad.txt"));
            ADD_FAILURE() << h;
        } catch (const DOriVireZuvez& e) {
            EXPECT_EQ(e.Message(), "File contains no data or corrupt file " + Path("bad.txt")) << h;
        }
        EXPECT_EQ(g->ColCount(), 4) << h;
        EXPECT_EQ(g->RowCount(), 5) << h;
        EXPECT_EQ(g->GetCellEx(1, 1), "keep") << h;
    }
}

TEST_F(GridTextFileTest, LinesOutsideTheGridAreSkipped)
{
    Put("o.txt", "3,3\r\ncw 9,80\r\ncw -1,80\r\ncw 1,70\r\n-1,1,neg\r\n1,-1,neg\r\n5,1,far\r\n1,9,far\r\n2,2,in\r\n");
    auto* g = NewGrid(2, 2, 0, 0);
    g->LoadFromFile(Path("o.txt"));
    EXPECT_EQ(g->ColWidths(1), 70);
    EXPECT_EQ(g->GetCellEx(2, 2), "in");
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            if (c != 2 || r != 2) {
                EXPECT_EQ(g->GetCellEx(c, r), "") << c << "," << r;
            }
}

TEST_F(GridTextFileTest, MissingFileRaisesTheFileError)
{
    auto* g = NewGrid(2, 2);
    EXPECT_THROW(g->LoadFromFile(Path("none.txt")), EFOpenError);
}

TEST_F(GridTextFileTest, ProgressFiresOncePerChangedPercentage)
{
    auto* g = NewGrid(2, 5, 0, 0);
    for (int r = 0; r < 5; ++r)
        g->SetCellEx(0, r, "v");
    std::vector<int> seen;
    g->OnFileProgress = [&](TObject*, int16_t p) { seen.push_back(p); };
    g->SaveToFile(Path("p.txt"));
    EXPECT_EQ(seen, (std::vector<int>{0, 25, 50, 75, 100}));
}

TEST_F(GridTextFileTest, HooksSeeEveryCell)
{
    auto* g = NewGrid(2, 2, 0, 0);
    g->SetCellEx(0, 0, "a");
    g->SetCellEx(1, 1, "b");
    g->OnSaveCell = [](TObject*, int c, int r, QString& v) { v += QString::number(c) + QString::number(r); };
    g->SaveToFile(Path("h.txt"));
    auto* h = NewGrid(2, 2, 0, 0);
    h->OnLoadCell = [](TObject*, int, int, QString& v) { v = v.toUpper(); };
    h->LoadFromFile(Path("h.txt"));
    EXPECT_EQ(h->GetCellEx(0, 0), "A00");
    EXPECT_EQ(h->GetCellEx(1, 0), "10"); // an empty cell given a text by the hook
    EXPECT_EQ(h->GetCellEx(1, 1), "B11");
}

TEST_F(GridTextFileTest, StreamIsUtf16WithRelativeIndexes)
{
    auto* g = Sample();
    TMemoryStream s;
    g->SaveToStream(&s);
    const QString expected = QStringLiteral("2,2\r\ncw 0,64\r\ncw 1,64\r\ncw 2,64\r\n0,0,a,b\r\n1,1,x\x09\x08y\r\n");
    EXPECT_EQ(s.Bytes(), Utf16(expected));

    auto* h = NewGrid(5, 5);
    h->SaveFixedCells = false;
    h->Multilinecells = true;
    s.SetPosition(0);
    h->LoadFromStream(&s);
    EXPECT_EQ(h->ColCount(), 3);
    EXPECT_EQ(h->RowCount(), 3);
    EXPECT_EQ(h->GetCellEx(1, 1), "a,b");
    EXPECT_EQ(h->GetCellEx(2, 2), "x\r\ny");
}

TEST_F(GridTextFileTest, StreamReaderStopsAtTheNextGridText)
{
    auto* g = Sample();
    TMemoryStream s;
    g->SaveToStream(&s);
    const int64_t second = s.Position();
    g->SetCellEx(1, 1, "other");
    g->SaveToStream(&s);

    auto* h = NewGrid(3, 3);
    h->SaveFixedCells = false;
    s.SetPosition(0);
    h->LoadFromStream(&s);
    EXPECT_EQ(s.Position(), second);
    EXPECT_EQ(h->GetCellEx(1, 1), "a,b");
    h->LoadFromStream(&s);
    EXPECT_EQ(h->GetCellEx(1, 1), "other");
}

TEST_F(GridTextFileTest, StreamWidthOfAColumnPastTheGridIsSkipped)
{
    // the writer has a fixed right column that the reader's range leaves out
    auto* g = NewGrid(4, 3);
    g->SaveFixedCells = false;
    g->SetFixedRightCols(1);
    g->SetColWidths(3, 99);
    g->SetCellEx(1, 1, "v");
    TMemoryStream s;
    g->SaveToStream(&s);
    auto* h = NewGrid(2, 2);
    h->SaveFixedCells = false;
    s.SetPosition(0);
    h->LoadFromStream(&s);
    EXPECT_EQ(h->ColCount(), 3);
    EXPECT_EQ(h->GetCellEx(1, 1), "v");
}

} // namespace

namespace {

TEST_F(GridTextFileTest, LongLoadRunsWaitingCallsEveryTenthOfASecond)
{
    QByteArray text = "2,40\r\n";
    for (int r = 0; r < 40; ++r)
        text += "0," + QByteArray::number(r) + ",v\r\n";
    Put("long.txt", text);
    auto* g = NewGrid(2, 2, 0, 0);
    // the clock moves 30 ms per stored cell; a call waits in the queue
    int64_t now = 1000;
    SetTickCountForTest(now);
    int ranAtCell = -1, cells = 0;
    Application()->Queue([&] { ranAtCell = cells; });
    g->OnLoadCell = [&](TObject*, int, int, QString&) {
        ++cells;
        now += 30;
        SetTickCountForTest(now);
    };
    g->LoadFromFile(Path("long.txt"));
    SetTickCountForTest(-1);
    // the first check after 100 ms: the fourth cell
    EXPECT_EQ(ranAtCell, 4);
    EXPECT_EQ(cells, 40);
}

} // namespace
