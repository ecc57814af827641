// CSV, aligned text, fixed-width files and the numeric reading of a cell.
#include "GridData2Fixture.h"

#include "platform/core/Streams.h"

namespace {

class GridCSVTest : public GridData2Test {
protected:
    // One row: a comma, a quote, two lines, empty.
    TExStringGrid* Sample()
    {
        auto* g = NewGrid(4, 1, 0, 0);
        g->SetCellEx(0, 0, "a,b");
        g->SetCellEx(1, 0, "say \"hi\"");
        g->SetCellEx(2, 0, "two\r\nlines");
        return g;
    }
    void ExpectSampleCells(TExStringGrid* g)
    {
        EXPECT_EQ(g->GetCellEx(0, 0), "a,b");
        EXPECT_EQ(g->GetCellEx(1, 0), "say \"hi\"");
        EXPECT_EQ(g->GetCellEx(2, 0), "two\r\nlines");
        EXPECT_EQ(g->GetCellEx(3, 0), "");
    }
};

TEST_F(GridCSVTest, FieldsAreQuotedAndReadBack)
{
    Sample()->SaveToCSV(Path("s.csv"));
    EXPECT_EQ(Bytes("s.csv"), QByteArray("\"a,b\",\"say \"\"hi\"\"\",\"two\x0Blines\",\"\"\r\n"));
    auto* h = NewGrid(1, 1, 0, 0);
    h->LoadFromCSV(Path("s.csv"));
    EXPECT_EQ(h->ColCount(), 4);
    EXPECT_EQ(h->RowCount(), 1);
    ExpectSampleCells(h);
}

TEST_F(GridCSVTest, JavaConventionTravelsToo)
{
    auto* g = Sample();
    g->JavaCSV = true;
    g->SaveToCSV(Path("j.csv"));
    EXPECT_EQ(Bytes("j.csv"), QByteArray("\"a,b\",\"say \"\"hi\"\"\",two~lines,^\r\n"));
    auto* h = NewGrid(1, 1, 0, 0);
    h->JavaCSV = true;
    h->LoadFromCSV(Path("j.csv"));
    ExpectSampleCells(h);
}

TEST_F(GridCSVTest, QuotedTextWithLineBreakStaysOnOneLine)
{
    auto* g = NewGrid(2, 1, 0, 0);
    g->AlwaysQuotes = true;
    g->SetCellEx(0, 0, "one\r\ntwo");
    g->SetCellEx(1, 0, "q\"\r\nx");
    g->SaveToCSV(Path("q.csv"));
    EXPECT_EQ(Bytes("q.csv"), QByteArray("\"one\x0Btwo\",\"q\"\"\x0Bx\"\r\n"));
    auto* h = NewGrid(1, 1, 0, 0);
    h->LoadFromCSV(Path("q.csv"));
    EXPECT_EQ(h->RowCount(), 1);
    EXPECT_EQ(h->GetCellEx(0, 0), "one\r\ntwo");
    EXPECT_EQ(h->GetCellEx(1, 0), "q\"\r\nx");
}

// Line breaks of every kind and blanks at a field's ends: the field as
// written (default settings, the Java convention, always quoted) and the
// text read back. A CSV line holds a line break only as one mark that reads
// back as CR LF, so a lone CR or LF returns as CR LF.
TEST_F(GridCSVTest, LineBreaksAndEndBlanksKeepTheRecordWhole)
{
    struct Case {
        QString Text;
        QByteArray Plain, Java, Quoted; // the field in each convention
        QString Back;                   // read back (the same in all three)
    };
    const Case cases[] = {
        {"cr\ronly", "\"cr\x0Bonly\"", "cr~only", "\"cr\x0Bonly\"", "cr\r\nonly"},
        {"lf\nonly", "\"lf\x0Bonly\"", "lf~only", "\"lf\x0Bonly\"", "lf\r\nonly"},
        {"a\r\n\nb\r", "\"a\x0B\x0B" "b\x0B\"", "a~~b~", "\"a\x0B\x0B" "b\x0B\"", "a\r\n\r\nb\r\n"},
        {"q\"\nx", "\"q\"\"\x0Bx\"", "\"q\"\"~x\"", "\"q\"\"\x0Bx\"", "q\"\r\nx"},
        {"  lead", "\"  lead\"", "\"  lead\"", "\"  lead\"", "  lead"},
        {"trail  ", "\"trail  \"", "\"trail  \"", "\"trail  \"", "trail  "},
        {"   ", "\"   \"", "\"   \"", "\"   \"", "   "},
    };
    enum { kPlain, kJava, kQuoted };
    for (const Case& k : cases)
        for (int mode : {kPlain, kJava, kQuoted}) {
            auto* g = NewGrid(3, 2, 0, 0);
            g->JavaCSV = mode == kJava;
            g->AlwaysQuotes = mode == kQuoted;
            g->SetCellEx(0, 0, "a");
            g->SetCellEx(1, 0, k.Text);
            g->SetCellEx(2, 0, "z");
            g->SetCellEx(0, 1, "next");
            g->SetCellEx(1, 1, "b");
            g->SetCellEx(2, 1, "c");
            g->SaveToCSV(Path("l.csv"));
            const QByteArray field = mode == kPlain ? k.Plain : mode == kJava ? k.Java : k.Quoted;
            const QByteArray bytes = Bytes("l.csv");
            EXPECT_TRUE(bytes.contains("," + field + ",")) << bytes.toStdString() << " " << mode;
            auto* h = NewGrid(1, 1, 0, 0);
            h->JavaCSV = mode == kJava;
            h->LoadFromCSV(Path("l.csv"));
            EXPECT_EQ(h->RowCount(), 2) << mode;
            EXPECT_EQ(h->ColCount(), 3) << mode;
            EXPECT_EQ(h->GetCellEx(1, 0), k.Back) << field.toStdString() << " " << mode;
            EXPECT_EQ(h->GetCellEx(2, 0), "z");
            EXPECT_EQ(h->GetCellEx(0, 1), "next");
        }
}

// legacy_cells.csv was written (UTF-8) before lone line breaks and end
// blanks were quoted; it must read as it always did, its split records
// included.
TEST_F(GridCSVTest, FileOfTheEarlierWriterReadsAsBefore)
{
    const QString expected[7][3] = {
        {"plain", "a,b,c", "two\r\nlines"},
        {"lf", "", ""},
        {"only", "cr", ""},
        {"only\"", "tab\tand\r\nbreak", ""},
        {"lead and trail  ", QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"), ""},
        {"x\r\n", "\"quoted\"", "back\bspace"},
        {"semi;colon", "", "end"},
    };
    auto* h = NewGrid(3, 5, 0, 0);
    h->LoadFromCSV(QStringLiteral(KAL_TEST_DIR "/legacy_cells.csv"));
    ASSERT_EQ(h->ColCount(), 3);
    ASSERT_EQ(h->RowCount(), 7);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(h->GetCellEx(c, r), expected[r][c]) << c << "," << r;
}

TEST_F(GridCSVTest, DelimiterDetection)
{
    struct Case {
        const char* text;
        const char* cells[3];
    };
    const Case cases[] = {
        // equal single counts in both lines beat a comma of the first line
        {"a;b,c;d;e\r\nf;g;h;i\r\n", {"a", "b,c", "d"}},
        {"a\tb\tc\r\nd\te\tf\r\n", {"a", "b", "c"}},
        // one line only: the most frequent candidate
        {"a|b|c,d\r\n", {"a", "b", "c,d"}},
        // doubled characters are no delimiter when a single one exists
        {"a;;b#c\r\nd;;e#f\r\n", {"a;;b", "c", ""}},
    };
    for (const Case& k : cases) {
        Put("d.csv", k.text);
        auto* h = NewGrid(1, 1, 0, 0);
        h->LoadFromCSV(Path("d.csv"));
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(h->GetCellEx(c, 0), k.cells[c]) << k.text << " " << c;
        EXPECT_TRUE(h->Delimiter.isNull());
    }
}

TEST_F(GridCSVTest, QuotedFieldEdges)
{
    Put("e.csv", "\"ab\"xy,  c,\"open,d\r\n");
    auto* h = NewGrid(1, 1, 0, 0);
    h->Delimiter = QLatin1Char(',');
    h->LoadFromCSV(Path("e.csv"));
    EXPECT_EQ(h->GetCellEx(0, 0), "ab"); // text between the quote and the delimiter dropped
    EXPECT_EQ(h->GetCellEx(1, 0), "c");  // leading blanks skipped
    // an opening quote without a closing one: empty up to the next delimiter
    EXPECT_EQ(h->GetCellEx(2, 0), "");
    EXPECT_EQ(h->GetCellEx(3, 0), "d");
}

TEST_F(GridCSVTest, FirstRowAndMaxRows)
{
    Put("r.csv", "h1,h2\r\n1,2\r\n3,4\r\n5,6\r\n");
    auto* h = NewGrid(2, 2, 0, 0);
    h->LoadFirstRow = false;
    h->LoadFromCSV(Path("r.csv"), 2);
    EXPECT_EQ(h->RowCount(), 2);
    EXPECT_EQ(h->GetCellEx(0, 0), "1");
    EXPECT_EQ(h->GetCellEx(1, 1), "4");

    auto* f = NewGrid(2, 2, 0, 1);
    f->SaveFixedCells = false;
    f->SetCellEx(0, 0, "head");
    f->LoadFromCSV(Path("r.csv"));
    EXPECT_EQ(f->RowCount(), 5);
    EXPECT_EQ(f->GetCellEx(0, 0), "head");
    EXPECT_EQ(f->GetCellEx(0, 1), "h1");
    EXPECT_EQ(f->GetCellEx(1, 4), "6");
}

TEST_F(GridCSVTest, InsertAddsBehindTheLastRow)
{
    Put("i.csv", "x,y\r\n");
    auto* g = NewGrid(2, 2, 0, 0);
    g->SetCellEx(0, 1, "old");
    g->InsertFromCSV(Path("i.csv"));
    EXPECT_EQ(g->RowCount(), 3);
    EXPECT_EQ(g->GetCellEx(0, 1), "old");
    EXPECT_EQ(g->GetCellEx(1, 2), "y");
}

TEST_F(GridCSVTest, EmptyInputs)
{
    Put("z.csv", "");
    auto* g = NewGrid(3, 3, 0, 0);
    g->SetCellEx(1, 1, "keep");
    g->LoadFromCSV(Path("z.csv"));
    EXPECT_EQ(g->RowCount(), 3);
    EXPECT_EQ(g->GetCellEx(1, 1), "keep");

    TMemoryStream empty;
    try {
        g->LoadFromCSVStream(&empty);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "File is empty");
    }
    EXPECT_EQ(g->GetCellEx(1, 1), "keep");
}

TEST_F(GridCSVTest, TooManyColumnsKeepsWhatWasStored)
{
    QByteArray line = "first\r\n";
    for (int i = 0; i < 600; ++i)
        line += "v,";
    line += "\r\nnever\r\n";
    Put("w.csv", line);
    auto* g = NewGrid(2, 2, 0, 0);
    try {
        g->LoadFromCSV(Path("w.csv"));
        ADD_FAILURE();
    } catch (const DOriVireZuvez& e) {
        EXPECT_EQ(e.Message(), "Too many columns");
    }
    EXPECT_EQ(g->GetCellEx(0, 0), "first");
    EXPECT_EQ(g->GetCellEx(0, 1), "v");
    EXPECT_LE(g->ColCount(), TExStringGrid::MaxRealCols);
    EXPECT_EQ(g->RowCount(), 2);
}

TEST_F(GridCSVTest, AppendKeepsTheFileAndUnicodeWritesUtf8)
{
    Put("a.csv", "old\r\n");
    auto* g = NewGrid(1, 1, 0, 0);
    g->SetCellEx(0, 0, QString::fromUtf8("\xC4\x80"));
    g->AppendToCSV(Path("a.csv"), true);
    EXPECT_EQ(Bytes("a.csv"), QByteArray("\xEF\xBB\xBFold\r\n\xC4\x80\r\n"));
    auto* h = NewGrid(1, 1, 0, 0);
    h->LoadFromCSV(Path("a.csv"));
    EXPECT_EQ(h->GetCellEx(0, 1), QString::fromUtf8("\xC4\x80"));
    EXPECT_THROW(g->AppendToCSV(Path("none.csv")), EFOpenError);
}

TEST_F(GridCSVTest, AnsiFileBytesForEveryKindOfCharacter)
{
    // In the code page, by the base letter, or "?" per UTF-16 unit; an
    // appended file is read and written again in the code page.
    Put("n.csv", "\xFC\r\n");
    auto* g = NewGrid(3, 2, 0, 0);
    g->SetCellEx(0, 0, QString::fromUtf8("caf\xC3\xA9"));
    g->SetCellEx(1, 0, QString::fromUtf8("\xE2\x82\xAC" "5,0"));
    g->SetCellEx(2, 0, QString::fromUtf8("\xC4\x81"));
    g->SetCellEx(0, 1, QString::fromUtf8("\xE4\xB8\xAD"));
    g->SetCellEx(1, 1, QString::fromUtf8("\xF0\x9F\x98\x80"));
    g->SetCellEx(2, 1, "x\"y");
    const QByteArray rows("caf\xE9,\"\x80" "5,0\",a\r\n?,??,\"x\"\"y\"\r\n");
    g->SaveToCSV(Path("s.csv"));
    EXPECT_EQ(Bytes("s.csv"), rows);
    g->AppendToCSV(Path("n.csv"));
    EXPECT_EQ(Bytes("n.csv"), QByteArray("\xFC\r\n") + rows);
}

TEST_F(GridCSVTest, AlignedTextPadsByAlignmentAndLinesUpContinuations)
{
    auto* g = NewGrid(2, 3, 0, 0);
    g->Multilinecells = true;
    g->SetAlignments(0, 0, taRightJustify);
    g->SetAlignments(0, 1, taRightJustify);
    g->SetCellEx(0, 0, "1");
    g->SetCellEx(0, 1, "123");
    g->SetCellEx(1, 1, "ab\r\ncd");
    g->SetCellEx(1, 2, "wide");
    g->SaveToASCII(Path("t.txt"));
    EXPECT_EQ(Bytes("t.txt"), QByteArray("  1      \r\n"
                                         "123 ab   \r\n"
                                         "    cd\r\n"
                                         "    wide \r\n"));
}

TEST_F(GridCSVTest, AlignedWidthsAreNotCutAt255)
{
    auto* g = NewGrid(2, 1, 0, 0);
    g->SetCellEx(0, 0, QString(300, QLatin1Char('a')));
    g->SetCellEx(1, 0, "b");
    g->SaveToASCII(Path("w.txt"));
    EXPECT_EQ(Bytes("w.txt"), QByteArray(300, 'a') + " b \r\n");
}

TEST_F(GridCSVTest, FixedWidthWriteAndRead)
{
    auto* g = NewGrid(2, 2, 0, 0);
    g->SetCellEx(0, 0, "abc");
    g->SetCellEx(1, 0, "x");
    g->SetCellEx(0, 1, "d");
    g->SetCellEx(1, 1, "longer");
    TIntList pos(0, 0);
    g->SaveToFixed(Path("f.txt"), &pos);
    EXPECT_EQ(pos.StrValue(), "4,7");
    EXPECT_EQ(Bytes("f.txt"), QByteArray("abc x      \r\nd   longer \r\n"));

    TIntList cut(0, 0);
    cut.SetStrValue("2,3");
    g->SaveToFixed(Path("c.txt"), &cut);
    EXPECT_EQ(Bytes("c.txt"), QByteArray("abx  \r\nd lon\r\n"));

    Put("r.txt", "abcdefghijk\r\n  1  2  \r\nxyz\r\n");
    auto* h = NewGrid(5, 10, 1, 1);
    TIntList p(0, 0);
    p.SetStrValue("9,1,4");
    h->LoadFromFixed(Path("r.txt"), &p, true, -1);
    EXPECT_EQ(p.StrValue(), "1,4,9");
    EXPECT_EQ(h->ColCount(), 3);
    EXPECT_EQ(h->RowCount(), 10); // never lowered
    EXPECT_EQ(h->GetCellEx(0, 0), "abc");
    EXPECT_EQ(h->GetCellEx(1, 0), "defgh");
    EXPECT_EQ(h->GetCellEx(0, 1), "1");
    EXPECT_EQ(h->GetCellEx(1, 1), "2");
    EXPECT_EQ(h->GetCellEx(0, 2), "xyz");
    EXPECT_EQ(h->GetCellEx(1, 2), "");

    auto* small = NewGrid(3, 1, 0, 0);
    small->LoadFromFixed(Path("r.txt"), &p, false, 2);
    EXPECT_EQ(small->RowCount(), 2);
    EXPECT_EQ(small->GetCellEx(0, 1), "  1");

    try {
        h->LoadFromFixed(Path("none.txt"), &p);
        ADD_FAILURE();
    } catch (const DOriVireZuvez& e) {
        EXPECT_EQ(e.Message(), "File " + Path("none.txt") + " not found");
    }
}

TEST_F(GridCSVTest, CellToReal)
{
    auto* g = NewGrid(3, 3);
    struct Case {
        const char* text;
        double value;
    };
    const Case good[] = {{"", 0}, {"12.5", 12.5}, {"(1,234.5)", -1234.5}, {"$ -3", -3}, {"1e3", 1000}};
    for (const Case& k : good) {
        g->SetCellEx(1, 1, k.text);
        EXPECT_DOUBLE_EQ(g->CellToReal(1, 1), k.value) << k.text;
    }
    g->SetCellEx(1, 1, "1x");
    try {
        g->CellToReal(1, 1);
        ADD_FAILURE();
    } catch (const DOriVireZuvez& e) {
        EXPECT_EQ(e.Message(), "Error at position: 2 in Cell [1, 1].");
    }
}

} // namespace
