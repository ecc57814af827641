// Copying, cutting and pasting the string grid through the clipboard.
#include "GridData3Fixture.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/controls/Input.h"
#include "platform/core/BinComponentStream.h"
#include "platform/core/CodePages.h"
#include "platform/core/DateTime.h"
#include "platform/core/Streams.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

TClipFormat RtfFormat() { return RegisterClipboardFormat(QStringLiteral("Rich Text Format")); }

// Records the ranges a paste reports.
class RangeGrid : public TExStringGrid {
    KAL_CLASS(RangeGrid, TExStringGrid)
public:
    using TExStringGrid::TExStringGrid;
    struct Entry {
        TPoint Source;
        TGridRect Range;
    };
    QList<Entry> Ranges;
    void PastedRange(TPoint Source, const TGridRect& Range, TClipOperation Op) override
    {
        Ranges.append({Source, Range});
        TExStringGrid::PastedRange(Source, Range, Op);
    }
};

TEST_F(GridData3Test, CopiedTextJoinsValuesByTabAndRowsByLineBreaks)
{
    auto* g = NewGrid(4, 4);
    Fill(g, 1, 1, {"a\tb", "c\td"});
    Select(g, 1, 1, 2, 2);
    g->CopySelectionToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("a\tb\r\nc\td\r\n"));
    EXPECT_EQ(g->FClipTopLeft, (TPoint{1, 1}));
    EXPECT_EQ(g->FClipLastOp, coCopy);

    Select(g, 2, 2, 2, 2);
    g->CopySelectionToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("d"));
    EXPECT_EQ(g->GetSelectionAsText(), QStringLiteral("d"));
}

TEST_F(GridData3Test, LineBreakInACellIsQuotedWithTwoLineFeeds)
{
    for (bool excel : {false, true}) {
        auto* g = NewGrid(3, 3);
        g->ExcelClipboardFormat = excel;
        g->Multilinecells = true;
        g->SetCells(1, 1, QStringLiteral("l1\r\nl2"));
        Select(g, 1, 1, 1, 1);
        g->CopySelectionToClipboard();
        EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("\"l1\n\nl2\"")) << excel;
    }
}

// A cell copied and pasted within the program comes back as it was, while
// the text other programs receive keeps its quoting and its line feeds.
TEST_F(GridData3Test, CellCopiedWithinTheProgramPastesBackEqual)
{
    struct Case {
        QString Cell;
        QString Text; // what other programs get
    };
    const Case cases[] = {
        {"two\r\nlines", "\"two\n\nlines\""},
        {"x\r\n", "\"x\n\n\""},
        {"cr\ronly", "\"cr\nonly\""},
        {"\"q\"\nx", "\"q\"\nx"},
        {"tab\there", "tab\there"},
        {"back\\slash\\n", "back\\slash\\n"},
    };
    for (bool excel : {false, true})
        for (const Case& k : cases) {
            auto* g = NewGrid(4, 3);
            g->ExcelClipboardFormat = excel;
            g->Multilinecells = true;
            g->SetCells(1, 1, k.Cell);
            g->SetCells(2, 1, "next");
            Select(g, 1, 1, 2, 1);
            g->CopySelectionToClipboard();
            EXPECT_EQ(Clipboard()->AsText(), k.Text + "\tnext");
            Select(g, 1, 2, 1, 2);
            g->PasteSelectionFromClipboard();
            EXPECT_EQ(g->Cells(1, 2), k.Cell) << k.Text.toStdString() << excel;
            EXPECT_EQ(g->Cells(2, 2), "next");
        }
}

// Text alone on the clipboard, as another program puts it, is read by the
// text rules: a tab separates values and the quoted line feeds stay.
TEST_F(GridData3Test, TextOfAnotherProgramIsReadByTheTextRules)
{
    auto* g = NewGrid(4, 3);
    g->SetCells(1, 1, "two\r\nlines");
    g->SetCells(2, 1, "tab\there");
    Select(g, 1, 1, 2, 1);
    g->CopySelectionToClipboard();
    const QString text = Clipboard()->AsText();
    Clipboard()->Clear();
    Clipboard()->SetAsText(text);
    Select(g, 1, 2, 1, 2);
    g->PasteSelectionFromClipboard();
    EXPECT_EQ(g->Cells(1, 2), "two\n\nlines");
    EXPECT_EQ(g->Cells(2, 2), "tab");
    EXPECT_EQ(g->Cells(3, 2), "here");

    // The program's own block goes with its own text only.
    g->CopySelectionToClipboard();
    const QByteArray block =
        Clipboard()->GetAsBytes(RegisterClipboardFormat(QStringLiteral("TExStringGrid Text")));
    ASSERT_FALSE(block.isEmpty());
    {
        Clipboard()->Open();
        Clipboard()->SetAsText("other\ttext");
        Clipboard()->SetAsBytes(RegisterClipboardFormat(QStringLiteral("TExStringGrid Text")), block);
        Clipboard()->Close();
    }
    Select(g, 1, 2, 1, 2);
    g->PasteSelectionFromClipboard();
    EXPECT_EQ(g->Cells(1, 2), "other");
    EXPECT_EQ(g->Cells(2, 2), "text");
}

TEST_F(GridData3Test, DisjunctRowSelectionCopiesOnlySelectedRows)
{
    auto* g = NewGrid(3, 5);
    Fill(g, 1, 1, {"r1\tx", "r2\tx", "r3\tx", "r4\tx"});
    g->MouseActions()->SetDisjunctRowSelect(true);
    g->SetRowSelect(2, true);
    g->SetRowSelect(4, true);
    g->CopySelectionToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("r2\tx\r\nr4\tx\r\n"));
}

TEST_F(GridData3Test, HtmlFormatIsWrappedWithEightDigitOffsets)
{
    auto* g = NewGrid(3, 3);
    Fill(g, 1, 1, {"a\tb"});
    g->CopyToClipBoardAsHTML();
    const qsizetype L = EncodeAnsi(g->SaveToHTMLString(QString())).size();
    const QByteArray block = Clipboard()->GetAsBytes(RegisterClipboardFormat(QStringLiteral("HTML Format")));
    auto eight = [](qsizetype v) { return QByteArray::number(qlonglong(v)).rightJustified(8, '0'); };
    const QByteArray head = "Version:1.0\r\nStartHTML:00000097\r\nEndHTML:" + eight(L + 306) +
                            "\r\nStartFragment:00000274\r\nEndFragment:" + eight(L + 274) + "\r\n";
    EXPECT_TRUE(block.startsWith(head)) << block.left(120).constData();
    EXPECT_EQ(block.size(), L + 306);
    EXPECT_TRUE(block.endsWith("<!--EndFragment--></body></html>"));
    EXPECT_TRUE(Clipboard()->AsText().startsWith(QStringLiteral("Version:1.0")));
}

TEST_F(GridData3Test, HtmlCopyWritesNoPictureFiles)
{
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    auto* g = NewGrid(2, 2, 0, 1);
    g->SetCellEx(0, 1, QStringLiteral("pic"));
    g->CreateBitmap(0, 1, false, haLeft, vaTop)->SetSize(4, 3);
    g->CopyToClipBoardAsHTML();
    QDir::setCurrent(before);
    EXPECT_FALSE(QDir(dir.path()).exists(QStringLiteral("images")));
    EXPECT_FALSE(Clipboard()->AsText().contains(QLatin1String("<img")));
    EXPECT_TRUE(Clipboard()->AsText().contains(QLatin1String(">pic</td>")));
}

TEST_F(GridData3Test, PasteFromClipboardStartsAtTheSaveRange)
{
    auto* g = NewGrid(4, 4);
    g->SaveFixedCells = false;
    Clipboard()->SetAsText(QStringLiteral("p\tq\r\nr\ts"));
    g->PasteFromClipboard();
    EXPECT_EQ(g->Cells(g->SaveStartCol(), g->SaveStartRow()), QStringLiteral("p"));
    EXPECT_EQ(g->Cells(g->SaveStartCol() + 1, g->SaveStartRow() + 1), QStringLiteral("s"));
}

TEST_F(GridData3Test, CopyOffersTextThenRichTextThenGridCells)
{
    auto* g = NewGrid(3, 3);
    g->Navigation()->AllowFmtClipboard = true;
    g->Navigation()->AllowRTFClipboard = true;
    const QString rtf = QStringLiteral("{\\rtf1 hello}");
    g->SetCells(1, 1, rtf);
    Select(g, 1, 1, 1, 1);
    g->CopySelectionToClipboard();
    const QList<TClipFormat> f = Clipboard()->Formats();
    const qsizetype text = std::max(f.indexOf(CF_UNICODETEXT), f.indexOf(CF_TEXT));
    const qsizetype rich = f.indexOf(RtfFormat());
    const qsizetype cells = f.indexOf(GridCellsClipboardFormat());
    ASSERT_GE(text, 0);
    EXPECT_GT(rich, text);
    EXPECT_GT(cells, rich);
    // The rich text is the cell's raw text, zero-terminated UTF-16.
    const QByteArray block = Clipboard()->GetAsBytes(RtfFormat());
    EXPECT_EQ(block.size(), (rtf.size() + 1) * 2);
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(block.constData()), rtf.size()), rtf);
    // The text is the plain text of the rich text.
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("hello"));
}

TEST_F(GridData3Test, SmartPasteOfOneValueFillsTheSelection)
{
    for (bool smart : {true, false}) {
        auto* g = NewGrid(5, 5);
        g->Navigation()->AllowSmartClipboard = smart;
        Clipboard()->SetAsText(QStringLiteral("v"));
        Select(g, 1, 1, 3, 3);
        g->PasteSelectionFromClipboard();
        int filled = 0;
        for (int c = 1; c <= 3; ++c)
            for (int r = 1; r <= 3; ++r)
                filled += g->Cells(c, r) == QLatin1String("v");
        EXPECT_EQ(filled, smart ? 9 : 1);
        EXPECT_EQ(g->Cells(1, 1), QStringLiteral("v"));
        EXPECT_EQ(g->Cells(4, 4), QString());
    }
}

TEST_F(GridData3Test, SmartPasteContinuesSeries)
{
    struct Case {
        QString X, Y;
        QStringList Want;
    };
    const QString d1 = DateToStr(EncodeDate(2024, 1, 15)), d2 = DateToStr(EncodeDate(2024, 2, 15));
    const QList<Case> cases = {
        {"1", "3", {"1", "3", "5", "7", "9"}},
        {d1, d2,
         {d1, d2, DateToStr(EncodeDate(2024, 3, 15)), DateToStr(EncodeDate(2024, 4, 15)),
          DateToStr(EncodeDate(2024, 5, 15))}},
        {"1.5", "2", {"1.50", "2.00", "2.50", "3.00", "3.50"}},
        {"a", "b", {"a", "b", "a", "b", "a"}},
    };
    for (const Case& k : cases) {
        auto* g = NewGrid(3, 8);
        g->Navigation()->AllowSmartClipboard = true;
        Fill(g, 1, 1, {k.X, k.Y});
        Select(g, 1, 1, 1, 2);
        g->CopySelectionToClipboard();
        Select(g, 1, 1, 1, 5);
        g->PasteSelectionFromClipboard();
        EXPECT_EQ(Column(g, 1, 1, 5), k.Want) << k.X.toStdString();
    }
}

TEST_F(GridData3Test, RefusedCellIsLeftAloneAndOthersArePasted)
{
    auto* g = NewGrid(4, 4);
    g->SetCells(2, 1, QStringLiteral("keep"));
    QStringList after;
    g->OnClipboardBeforePasteCell = [](TObject*, int c, int, QString& v, bool& allow) {
        allow = c != 2;
        v = v.toUpper();
    };
    g->OnClipboardAfterPasteCell = [&](TObject*, int c, int r, const QString& v) {
        after << QStringLiteral("%1,%2=%3").arg(c).arg(r).arg(v);
    };
    Clipboard()->SetAsText(QStringLiteral("a\tb\tc"));
    Select(g, 1, 1, 1, 1);
    g->PasteSelectionFromClipboard();
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("A"));
    EXPECT_EQ(g->Cells(2, 1), QStringLiteral("keep"));
    EXPECT_EQ(g->Cells(3, 1), QStringLiteral("C"));
    EXPECT_EQ(after, QStringList({"1,1=A", "3,1=C"}));
}

TEST_F(GridData3Test, TextBlockCountsAndGrowth)
{
    auto* g = NewGrid(2, 3);
    int lines = 0, last = 0;
    // A final line break adds one empty line and one counted value.
    EXPECT_EQ(g->PasteTextBlock(1, 1, QStringLiteral("a\tb\r\nc\td\r\n"), lines, last), 5);
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(g->ColCount(), 3);
    EXPECT_EQ(g->RowCount(), 3);
    EXPECT_EQ(Column(g, 2, 1, 2), QStringList({"b", "d"}));
    // A third line grows the rows.
    g->PasteTextBlock(1, 1, QStringLiteral("1\r\n2\r\n3"), lines, last);
    EXPECT_EQ(g->RowCount(), 4);
    EXPECT_EQ(g->Cells(1, 3), QStringLiteral("3"));
    // Columns grow up to the grid's limit and no further.
    QString wide;
    for (int i = 0; i < TExStringGrid::MaxRealCols + 20; ++i)
        wide += QStringLiteral("x\t");
    g->PasteTextBlock(1, 1, wide, lines, last);
    EXPECT_EQ(g->ColCount(), TExStringGrid::MaxRealCols);
    // Nothing at all without editing.
    g->SetOptions(g->Options() & ~goEditing);
    EXPECT_EQ(g->PasteTextBlock(1, 1, QStringLiteral("z"), lines, last), 0);
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("x"));
}

TEST_F(GridData3Test, QuotedMultiLineValueIsUnquotedOnPaste)
{
    auto* g = NewGrid(3, 3);
    int lines = 0, last = 0;
    g->PasteTextBlock(1, 1, QStringLiteral("\"l1\nl2\x0Bl3\"\t\"plain\""), lines, last);
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("l1\nl2\r\nl3"));
    EXPECT_EQ(g->Cells(2, 1), QStringLiteral("\"plain\""));
}

TEST_F(GridData3Test, PasteInsertModeInsertsARowPerLine)
{
    auto* g = NewGrid(3, 4);
    Fill(g, 1, 1, {"x", "y", "z"});
    g->Navigation()->ClipboardPasteAction = paInsert;
    Clipboard()->SetAsText(QStringLiteral("1\r\n2\r\n3\r\n"));
    Select(g, 1, 2, 1, 2);
    g->PasteSelectionFromClipboard();
    EXPECT_EQ(g->RowCount(), 7);
    EXPECT_EQ(Column(g, 1, 1, 6), QStringList({"x", "1", "2", "3", "y", "z"}));
}

TEST_F(GridData3Test, GridCellsPastedRangeNamesTheirSource)
{
    auto* a = NewGrid<RangeGrid>(5, 5);
    auto* b = NewGrid<RangeGrid>(5, 5);
    for (auto* g : {a, b})
        g->Navigation()->AllowFmtClipboard = true;
    Fill(a, 1, 1, {"p\tq", "r\ts"});
    Select(a, 1, 1, 2, 2);
    a->CopySelectionToClipboard();

    Select(a, 2, 3, 2, 3);
    a->PasteSelectionFromClipboard();
    ASSERT_FALSE(a->Ranges.isEmpty());
    EXPECT_EQ(a->Ranges.first().Source, (TPoint{1, 1}));
    EXPECT_EQ(a->Ranges.first().Range, (TGridRect{2, 3, 3, 4}));
    EXPECT_EQ(a->Cells(3, 4), QStringLiteral("s"));

    Select(b, 1, 1, 1, 1);
    b->PasteSelectionFromClipboard();
    ASSERT_FALSE(b->Ranges.isEmpty());
    EXPECT_EQ(b->Ranges.first().Source, (TPoint{-1, -1}));
    EXPECT_EQ(b->Cells(2, 2), QStringLiteral("s"));
}

TEST_F(GridData3Test, DamagedGridCellsBlockChangesNothing)
{
    // Blocks from another program: a first record with a negative row count,
    // one with too many columns, and one cut short.
    auto head = [](int cols, int rows) {
        QByteArray out;
        TBinRecordWriter w(out, "TGridPropIO");
        w.Int("ColCount", cols);
        w.Int("RowCount", rows);
        w.Finish();
        return out;
    };
    auto* g = NewGrid(4, 4);
    g->Navigation()->AllowFmtClipboard = true;
    g->Navigation()->ClipboardPasteAction = paInsert;
    for (const QByteArray& block : {head(1, -5), head(100000, 1), head(1, 1).left(6)}) {
        Clipboard()->SetAsBytes(GridCellsClipboardFormat(), block);
        int rows = 0, cols = 0;
        EXPECT_THROW(g->PasteClipboardData(1, 1, rows, cols), Exception);
        EXPECT_EQ(g->RowCount(), 4);
        EXPECT_EQ(g->ColCount(), 4);
    }
}

TEST_F(GridData3Test, RichTextWithoutTerminatorIsReadToItsEnd)
{
    auto* g = NewGrid(3, 3);
    g->Navigation()->AllowRTFClipboard = true;
    const QString rtf = QStringLiteral("{\\rtf1 x}");
    QByteArray block(reinterpret_cast<const char*>(rtf.utf16()), rtf.size() * 2);
    block.append('\x7F'); // an odd trailing byte, no terminator
    Clipboard()->SetAsBytes(RtfFormat(), block);
    int rows = 0, cols = 0;
    EXPECT_EQ(g->PasteClipboardData(1, 1, rows, cols), 0);
    EXPECT_EQ(g->Cells(1, 1), rtf);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(cols, 1);
}

TEST_F(GridData3Test, CutClearsExactlyTheCopiedCells)
{
    auto* g = NewGrid(4, 3);
    Fill(g, 0, 0, {"h0\th1\th2\th3", "f1\ta\tb\tc", "f2\td\te\tf"});
    g->SaveFixedCells = false;
    const TGridRect save{g->SaveStartCol(), g->SaveStartRow(), g->SaveEndCol(), g->SaveEndRow()};
    g->CutToClipboard();
    EXPECT_EQ(g->FClipLastOp, coCut);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 3; ++r) {
            const bool inside = c >= save.Left && c <= save.Right && r >= save.Top && r <= save.Bottom;
            EXPECT_EQ(g->Cells(c, r).isEmpty(), inside) << c << "," << r;
        }
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("a\tb\tc\r\nd\te\tf\r\n"));
}

TEST_F(GridData3Test, CutSelectionIsUndoneAsOneStep)
{
    auto* g = NewGrid(4, 4);
    auto* undo = NewObject<TExGridUndoRedo>(Form);
    g->SetUndoRedo(undo);
    Fill(g, 1, 1, {"a\tb", "c\td"});
    Select(g, 1, 1, 2, 2);
    g->CutSelectionToClipboard();
    EXPECT_EQ(g->Cells(2, 2), QString());
    undo->Undo();
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("a"));
    EXPECT_EQ(g->Cells(2, 2), QStringLiteral("d"));
}

TEST_F(GridData3Test, SelectionAsTextWritesRawCellsAndGrows)
{
    auto* g = NewGrid(2, 2);
    bool fired = false;
    g->OnClipboardBeforePasteCell = [&](TObject*, int, int, QString&, bool&) { fired = true; };
    g->SetOptions(g->Options() & ~goEditing);
    Select(g, 1, 1, 1, 1);
    g->SetSelectionAsText(QStringLiteral("a\tb\r\nc\td"));
    EXPECT_FALSE(fired);
    EXPECT_EQ(g->ColCount(), 3);
    EXPECT_EQ(g->RowCount(), 3);
    EXPECT_EQ(g->Cells(2, 2), QStringLiteral("d"));
}

TEST_F(GridData3Test, ClipboardShortcutsGoThroughTheirEvents)
{
    auto* g = NewGrid(3, 3);
    g->Navigation()->AllowClipboardShortCuts = true;
    g->SetCells(1, 1, QStringLiteral("k"));
    Select(g, 1, 1, 1, 1);
    bool refuse = true;
    g->OnClipboardCopy = [&](TObject*, bool& allow) { allow = !refuse; };
    Input::KeyDown(VK_CONTROL);
    g->Perform(WM_KEYDOWN, 'C', 0);
    EXPECT_EQ(Clipboard()->AsText(), QString());
    refuse = false;
    g->Perform(WM_KEYDOWN, 'C', 0);
    Input::KeyUp(VK_CONTROL);
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("k"));
}

} // namespace
