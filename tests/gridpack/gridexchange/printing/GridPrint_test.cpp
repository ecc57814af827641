// Printing: the print settings and their INI form, the font mapping, and the
// page engine on the PDF printer (column widths, fit to page, repeated fixed
// rows and columns, page frame texts, page ranges, page counts).
#include "GridData4Fixture.h"

#include "gridpack/gridexchange/ExGridPrint.h"
#include "platform/core/DateTime.h"
#include "platform/graphics/PdfPrinter.h"

#include <QRegularExpression>

#include <map>
#include <set>

namespace {

// A canvas of the PDF printer's kind in 0.1 mm units, to measure texts as
// the page engine does.
class TMeasure {
public:
    explicit TMeasure(const QString& path) : FPdf(path)
    {
        FPdf.BeginDoc();
        FPdf.Canvas()->SetMapMode(MM_LOMETRIC);
    }
    ~TMeasure() { FPdf.Abort(); }
    int Width(TExStringGrid* g, const TFont& f, const QString& t)
    {
        Use(g, f);
        return FPdf.Canvas()->TextWidth(t);
    }
    int Height(TExStringGrid* g, const TFont& f)
    {
        Use(g, f);
        return FPdf.Canvas()->TextHeight(QStringLiteral("gh"));
    }

private:
    void Use(TExStringGrid* g, const TFont& f)
    {
        TFont m(f);
        m.SetHeight(g->MapFontHeight(f.Size()));
        FPdf.Canvas()->Font().Assign(m);
    }
    TPdfPrinter FPdf;
};

constexpr int kPageW = 2100;  // A4 in 0.1 mm
constexpr int kPageH = 2970;

QString Slot(int page, int slot)
{
    for (const TPrintedPageTexts& t : TGridPrinter::LastPageTexts())
        if (t.Page == page)
            return t.Slots[size_t(slot)].trimmed();
    return QStringLiteral("<no page>");
}

class GridPrintTest : public GridData4Test {
protected:
    void ToPdf(const QString& name) { Printer()->SetOutputFile(Path(name)); }
};

// --- settings ----------------------------------------------------------------

TEST_F(GridPrintTest, FontMappingBetweenPointsAndTenthsOfMillimetres)
{
    TExStringGrid* g = NewGrid(2, 2);
    EXPECT_EQ(g->MapFontHeight(10), -35);
    EXPECT_EQ(g->MapFontSize(35), 10);
    g->Fontscalefactor = 0.5;
    EXPECT_EQ(g->MapFontHeight(10), -18);
    g->Fontscalefactor = 1.0;
}

TEST_F(GridPrintTest, SavedSettingsKeepTheKeyOrder)
{
    TExStringGrid* g = NewGrid(2, 2);
    g->SavePrintSettings(Path("p.ini"), "Print");
    QStringList lines = QString::fromUtf8(Bytes("p.ini")).split(QRegularExpression("\r?\n"), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 10);
    EXPECT_EQ(lines[0], "[Print]");
    const QStringList head = {"ColumnSpacing=0", "RowSpacing=0", "TitleSpacing=0", "FixedHeight=0",
                              "FixedWidth=0", "Centered=Y"};
    EXPECT_EQ(lines.mid(1, 6), head);
    EXPECT_EQ(lines[lines.size() - 2], "TitleLines=");
    EXPECT_EQ(lines.last(), "PrintGraphics=N");
    QStringList keys;
    for (const QString& l : lines.mid(1))
        keys << l.section('=', 0, 0);
    EXPECT_EQ(keys.indexOf("Borders"), 13);
    EXPECT_EQ(keys.indexOf("FontName"), 27);
    EXPECT_EQ(keys.indexOf("FooterFontColor"), 38);
}

TEST_F(GridPrintTest, LoadingAnEmptySectionGivesTheReadDefaults)
{
    TExStringGrid* g = NewGrid(2, 2);
    TPrintSettings* p = g->PrintSettings();
    p->RepeatFixedRows = true;
    p->NoAutoSize = true;
    p->Borders = pbAround;
    p->Font.SetStyle(fsBold);
    g->LoadPrintSettings(Path("empty.ini"), "Print");
    EXPECT_EQ(p->ColumnSpacing, 20);
    EXPECT_EQ(p->RowSpacing, 20);
    EXPECT_EQ(p->TitleSpacing, 20);
    EXPECT_EQ(p->HeaderSize, 100);
    EXPECT_EQ(p->FooterSize, 100);
    EXPECT_EQ(p->LeftSize, 100);
    EXPECT_EQ(p->RightSize, 100);
    for (const TFont* f : {&p->Font, &p->HeaderFont, &p->FooterFont}) {
        EXPECT_EQ(f->Name(), "Arial");
        EXPECT_EQ(f->Size(), 10);
    }
    // The style read adds to the style the font had.
    EXPECT_EQ(p->Font.Style(), TFontStyles(fsBold));
    EXPECT_TRUE(p->Centered);
    for (bool b : {p->NoAutoSize, p->UseFixedHeight, p->UseFixedWidth, p->RepeatFixedRows, p->RepeatFixedCols,
                   p->UseDisplayFont, p->UseDefaultOrientation, p->PrintGraphics})
        EXPECT_FALSE(b);
    EXPECT_EQ(p->Borders, pbNoborder);
    EXPECT_EQ(p->Date, ppNone);
    // Reading writes the file back.
    EXPECT_TRUE(QString::fromUtf8(Bytes("empty.ini")).contains("ColumnSpacing=20"));
}

TEST_F(GridPrintTest, OutOfRangeValuesLeaveTheSettings)
{
    TExStringGrid* g = NewGrid(2, 2);
    TPrintSettings* p = g->PrintSettings();
    WriteFileWhole(Path("bad.ini"), "[S]\r\nBorders=9\r\nFitToPage=7\r\nOrientation=2\r\nPageNr=8\r\nDate=3\r\n"
                                    "Centered=y\r\nTitleLines=a\\nb\r\n");
    p->Borders = pbDouble;
    p->FitToPage = fpShrink;
    p->Orientation = poLandscape;
    p->PageNr = ppTopLeft;
    g->LoadPrintSettings(Path("bad.ini"), "S");
    EXPECT_EQ(p->Borders, pbDouble);
    EXPECT_EQ(p->FitToPage, fpShrink);
    EXPECT_EQ(p->Orientation, poLandscape);
    EXPECT_EQ(p->PageNr, ppNone);
    EXPECT_EQ(p->Date, ppTopCenter);
    EXPECT_FALSE(p->Centered); // only exactly "Y" is true
    ASSERT_EQ(p->TitleLines()->Count(), 2);
    EXPECT_EQ(p->TitleLines()->Strings(1), "b");
}

TEST_F(GridPrintTest, AFailingWriteBackDoesNotFailTheLoad)
{
    TExStringGrid* g = NewGrid(2, 2);
    const QString path = Path("no/such/folder/p.ini");
    EXPECT_NO_THROW(g->LoadPrintSettings(path, "Print"));
    EXPECT_EQ(g->PrintSettings()->LeftSize, 100);
}

TEST_F(GridPrintTest, AssignCopiesEverySettingByValue)
{
    TExStringGrid* a = NewGrid(2, 2);
    TExStringGrid* b = NewGrid(2, 2);
    a->PrintSettings()->TitleLines()->Add("x");
    a->PrintSettings()->PageNumSep = "of";
    a->PrintSettings()->HeaderFont.SetSize(14);
    b->PrintSettings()->Assign(a->PrintSettings());
    EXPECT_EQ(b->PrintSettings()->TitleLines()->Count(), 1);
    EXPECT_EQ(b->PrintSettings()->PageNumSep, "of");
    EXPECT_EQ(b->PrintSettings()->HeaderFont.Size(), 14);
    a->PrintSettings()->TitleLines()->Clear();
    EXPECT_EQ(b->PrintSettings()->TitleLines()->Count(), 1);
}

TEST_F(GridPrintTest, ChangeScaleScalesTheFixedAndActiveCellFonts)
{
    TExStringGrid* g = NewGrid(2, 2);
    g->FixedFont()->SetSize(8);
    g->ActiveCellFont()->SetSize(10);
    g->ChangeScale(3, 2);
    EXPECT_EQ(g->FixedFont()->Size(), 12);
    EXPECT_EQ(g->ActiveCellFont()->Size(), 15);
    g->ChangeScale(2, 2);
    EXPECT_EQ(g->FixedFont()->Size(), 12);
}

// --- page engine ---------------------------------------------------------------

TEST_F(GridPrintTest, WithoutAPrinterPrintingRaises)
{
    if (!Printer()->Printers().isEmpty())
        GTEST_SKIP() << "a printer is installed here";
    TExStringGrid* g = NewGrid(2, 2);
    try {
        g->Print();
        FAIL() << "no exception";
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message(), "There is no default printer currently selected");
    }
}

TEST_F(GridPrintTest, ColumnsAreTheirWidestTextPlusTwentyAndCentred)
{
    TExStringGrid* g = NewGrid(3, 4);
    const QStringList texts = {"H0", "Header one", "H2", "r1", "a", "longer text here", "x", "WWWWWW", "", "i",
                               "mm", "b"};
    for (int i = 0; i < texts.size(); ++i)
        g->SetCells(i % 3, i / 3, texts[i]);
    ToPdf("cols.pdf");
    g->Print();
    TMeasure m(Path("m.pdf"));
    int used = 0;
    std::vector<int> widths;
    for (int c = 0; c < 3; ++c) {
        int w = 0;
        for (int r = 0; r < 4; ++r) {
            const bool fixed = c < 1 || r < 1;
            const QString t = texts[r * 3 + c];
            if (!t.isEmpty())
                w = std::max(w, m.Width(g, fixed ? *g->FixedFont() : *g->Font(), t));
        }
        widths.push_back(w);
        used += w + 20;
    }
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(g->GetPrintColWidth(c), widths[size_t(c)]) << c;
    EXPECT_EQ(g->GetPrintColOffset(0), (kPageW - used) / 2);
    EXPECT_EQ(g->GetPrintColOffset(1) - g->GetPrintColOffset(0), widths[0] + 20);
    EXPECT_EQ(g->GetPrintColOffset(3) - g->GetPrintColOffset(2), widths[2] + 20);
    EXPECT_EQ(PdfPageCount(Bytes("cols.pdf")), 1);
}

TEST_F(GridPrintTest, ShrinkFitsAWideBandAndLeavesANarrowOne)
{
    TExStringGrid* g = NewGrid(4, 3, 0, 0);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 3; ++r)
            g->SetCells(c, r, QString(60, QChar('A' + c)));
    g->PrintSettings()->FitToPage = fpShrink;
    ToPdf("wide.pdf");
    g->Print();
    const int used = g->GetPrintColOffset(4) - g->GetPrintColOffset(0);
    EXPECT_LE(used, kPageW);
    EXPECT_GE(used, kPageW - 8); // rounding of four widths
    EXPECT_EQ(g->PrintNrOfPages(), 1);

    TExStringGrid* n = NewGrid(2, 2, 0, 0);
    n->SetCells(0, 0, "ab");
    n->SetCells(1, 1, "cd");
    n->PrintSettings()->FitToPage = fpShrink;
    ToPdf("narrow.pdf");
    n->Print();
    const int w0 = n->GetPrintColWidth(0);
    n->PrintSettings()->FitToPage = fpNever;
    n->Print();
    EXPECT_EQ(n->GetPrintColWidth(0), w0);
}

TEST_F(GridPrintTest, AFitFactorOfNothingOrLessCountsAsOne)
{
    TExStringGrid* g = NewGrid(2, 2, 0, 0);
    g->SetCells(0, 0, "abc");
    g->SetCells(1, 0, "defgh");
    g->PrintSettings()->FitToPage = fpCustom;
    g->OnFitToPage = [](TObject*, double& f, bool& allow) {
        f = -2;
        allow = true;
    };
    ToPdf("fit.pdf");
    g->Print();
    const int custom = g->GetPrintColWidth(1);
    g->PrintSettings()->FitToPage = fpNever;
    g->Print();
    EXPECT_EQ(custom, g->GetPrintColWidth(1));
    EXPECT_GT(custom, 0);
}

// Which rows and columns were drawn on which page, through the custom draw
// hook that printing calls for every cell.
struct TDrawLog {
    int Page = 0;
    std::map<int, std::set<int>> RowsOnPage, ColsOnPage;
    void Attach(TExStringGrid* g)
    {
        g->OnPrintPage = [this](TObject*, TCanvas*, int page, int, int) { Page = page; };
        g->OnCustomCellDraw = [this](TObject*, TCanvas*, int c, int r, TGridDrawState, const TRect&, bool printing) {
            if (printing) {
                RowsOnPage[Page].insert(r);
                ColsOnPage[Page].insert(c);
            }
        };
    }
};

TEST_F(GridPrintTest, RepeatFixedRowsPutsThemOnEveryPage)
{
    TExStringGrid* g = NewGrid(2, 200);
    for (int r = 0; r < 200; ++r)
        g->SetCells(1, r, QString::number(r));
    g->PrintSettings()->RepeatFixedRows = true;
    TDrawLog log;
    log.Attach(g);
    ToPdf("rows.pdf");
    g->Print();
    ASSERT_GE(g->PrintNrOfPages(), 2);
    EXPECT_EQ(PdfPageCount(Bytes("rows.pdf")), g->PrintNrOfPages());
    for (int p = 1; p <= g->PrintNrOfPages(); ++p) {
        EXPECT_TRUE(log.RowsOnPage[p].count(0)) << p;
        if (p > 1) {
            EXPECT_FALSE(log.RowsOnPage[p].count(1)) << p; // row 1 is on page 1 only
        }
    }
    // Without the option the fixed row is on the first page only.
    g->PrintSettings()->RepeatFixedRows = false;
    log = TDrawLog();
    log.Attach(g);
    g->Print();
    EXPECT_FALSE(log.RowsOnPage[2].count(0));
}

TEST_F(GridPrintTest, RepeatFixedColsStartEveryBandAfterTheFirst)
{
    TExStringGrid* g = NewGrid(6, 3);
    for (int c = 0; c < 6; ++c)
        g->SetCells(c, 1, QString(45, QChar('a' + c)));
    g->PrintSettings()->RepeatFixedCols = true;
    TDrawLog log;
    log.Attach(g);
    ToPdf("bands.pdf");
    g->Print();
    ASSERT_GE(g->PrintNrOfPages(), 2);
    for (int p = 1; p <= g->PrintNrOfPages(); ++p)
        EXPECT_TRUE(log.ColsOnPage[p].count(0)) << p;
    EXPECT_FALSE(log.ColsOnPage[2].count(1));
}

TEST_F(GridPrintTest, PageNumbersWithTotalAndWithBands)
{
    TExStringGrid* g = NewGrid(2, 3);
    g->PrintSettings()->PageNr = ppBottomRight;
    g->PrintSettings()->PagePrefix = "Page";
    g->OnPrintNewPage = [](TObject*, int, bool& np) { np = true; }; // one row a page
    ToPdf("nr.pdf");
    g->Print();
    ASSERT_EQ(g->PrintNrOfPages(), 3);
    EXPECT_EQ(Slot(1, 4), "Page 1/3");
    EXPECT_EQ(Slot(2, 4), "Page 2/3");
    EXPECT_EQ(PdfPageCount(Bytes("nr.pdf")), 3);

    // Two column bands: the page within the band and the band's number.
    TExStringGrid* w = NewGrid(2, 2, 0, 0);
    w->SetCells(0, 0, QString(120, 'x'));
    w->SetCells(1, 0, QString(120, 'y'));
    w->PrintSettings()->PageNr = ppBottomRight;
    w->PrintSettings()->PagePrefix = "Page";
    w->Print();
    ASSERT_EQ(w->PrintNrOfPages(), 2);
    EXPECT_EQ(Slot(1, 4), "Page 1-1");
    EXPECT_EQ(Slot(2, 4), "Page 1-2");
}

TEST_F(GridPrintTest, DateGoesInFrontOfTimeInTheLeftSlot)
{
    TExStringGrid* g = NewGrid(2, 2);
    g->PrintSettings()->Time = ppTopLeft;
    g->PrintSettings()->Date = ppTopLeft;
    g->PrintSettings()->DateFormat = "yyyy-mm-dd";
    g->PrintSettings()->Title = ppTopRight;
    g->PrintSettings()->TitleText = "T";
    ToPdf("dt.pdf");
    g->Print();
    const QString today = FormatDateTime("yyyy-mm-dd", Now());
    EXPECT_TRUE(QRegularExpression("^" + today + " \\d\\d:\\d\\d$").match(Slot(1, 0)).hasMatch()) << Slot(1, 0).toStdString();
    EXPECT_EQ(Slot(1, 1), "T");
}

TEST_F(GridPrintTest, APrintStartRangeBelowItsStartPrintsNothing)
{
    TExStringGrid* g = NewGrid(2, 2);
    int pagesDrawn = 0;
    int asked = -1;
    g->OnPrintStart = [&](TObject*, int n, int& from, int& to) {
        asked = n;
        from = 2;
        to = 1;
    };
    g->OnPrintPage = [&](TObject*, TCanvas*, int, int, int) { ++pagesDrawn; };
    ToPdf("none.pdf");
    g->Print();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(pagesDrawn, 0);
    EXPECT_FALSE(FileExists(Path("none.pdf")));
}

TEST_F(GridPrintTest, TenThousandFixedHeightRowsGiveTheComputedPages)
{
    const int rows = 10000;
    TExStringGrid* g = NewGrid(5, rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 5; ++c)
            g->SetCells(c, r, QString::number(r * 5 + c));
    TPrintSettings* ps = g->PrintSettings();
    ps->UseFixedHeight = true;
    ps->FixedHeight = 40;
    ToPdf("big.pdf");
    g->Print();

    // The Part's page arithmetic with the canvas's own measuring.
    TMeasure m(Path("m.pdf"));
    const int h = m.Height(g, ps->Font);
    const int p = h / 8;
    const int footer = p + m.Height(g, ps->FooterFont) + ps->FooterSize;
    const int rowH = ps->FixedHeight + 2 * p + ps->RowSpacing;
    int pages = 0, r = 0;
    while (r < rows) {
        int y = -ps->HeaderSize - ps->TitleSpacing;
        int n = 0;
        while (r < rows && (y - rowH > -kPageH + footer || n == 0)) {
            y -= rowH;
            ++r;
            ++n;
        }
        ++pages;
    }
    EXPECT_EQ(g->PrintNrOfPages(), pages);
    EXPECT_EQ(PdfPageCount(Bytes("big.pdf")), pages);
}

TEST_F(GridPrintTest, ARowTallerThanAPageAndSixHundredColumnsPrint)
{
    TExStringGrid* g = NewGrid(2, 3);
    g->Multilinecells = true;
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QString::number(i);
    g->SetCells(1, 1, lines.join("\r\n"));
    ToPdf("tall.pdf");
    g->Print();
    // Row 0 on page 1, the tall row cut on a page of its own, row 2 after it.
    EXPECT_EQ(g->PrintNrOfPages(), 3);
    EXPECT_EQ(PdfPageCount(Bytes("tall.pdf")), 3);

    TExStringGrid* w = NewGrid(600, 2);
    for (int c = 0; c < 600; ++c)
        w->SetCells(c, 1, QString::number(c));
    ToPdf("wide600.pdf");
    w->Print();
    EXPECT_GT(w->PrintNrOfPages(), 1);
    EXPECT_GT(w->GetPrintColOffset(599), 0);
    EXPECT_EQ(PdfPageCount(Bytes("wide600.pdf")), w->PrintNrOfPages());
}

TEST_F(GridPrintTest, PreviewDrawsTheChosenPageOnly)
{
    TExStringGrid* g = NewGrid(2, 200);
    for (int r = 0; r < 200; ++r)
        g->SetCells(1, r, QString::number(r));
    g->PrintSettings()->PageNr = ppBottomCenter;
    TBitmap bmp;
    bmp.SetSize(794, 1123); // A4 at 96 dpi
    TDrawLog log;
    log.Attach(g);
    g->SetPreviewPage(2);
    g->PrintPreview(bmp.Canvas(), TRect(0, 0, 794, 1123));
    ASSERT_GE(g->PrintNrOfPages(), 2);
    EXPECT_TRUE(log.RowsOnPage[1].empty());
    EXPECT_FALSE(log.RowsOnPage[2].empty());
    ASSERT_EQ(TGridPrinter::LastPageTexts().size(), 1u);
    EXPECT_EQ(TGridPrinter::LastPageTexts()[0].Page, 2);
    EXPECT_EQ(bmp.Canvas()->MapMode(), MM_TEXT);
    EXPECT_FALSE(g->IsPrintPreview);
    // Something was drawn.
    bool dark = false;
    for (int y = 0; y < 1123 && !dark; y += 3)
        for (int x = 0; x < 794 && !dark; x += 3)
            dark = bmp.Canvas()->Pixels(x, y) == clBlack;
    EXPECT_TRUE(dark);
}

TEST_F(GridPrintTest, PrintDrawPutsPageOneIntoTheRectangle)
{
    TExStringGrid* g = NewGrid(3, 300);
    for (int r = 0; r < 300; ++r)
        g->SetCells(1, r, QString::number(r));
    TDrawLog log;
    log.Attach(g);
    TBitmap bmp;
    bmp.SetSize(400, 600);
    g->PrintDraw(bmp.Canvas(), TRect(100, 100, 400, 600));
    EXPECT_FALSE(log.RowsOnPage[1].empty());
    EXPECT_TRUE(log.RowsOnPage[2].empty());
    EXPECT_EQ(bmp.Canvas()->MapMode(), MM_TEXT);
    // Nothing left of or above the rectangle.
    for (int y = 0; y < 600; y += 2)
        for (int x = 0; x < 100; x += 2)
            ASSERT_EQ(bmp.Canvas()->Pixels(x, y), clWhite) << x << "," << y;
    bool drawn = false;
    for (int y = 100; y < 600 && !drawn; y += 2)
        for (int x = 100; x < 400 && !drawn; x += 2)
            drawn = bmp.Canvas()->Pixels(x, y) != clWhite;
    EXPECT_TRUE(drawn);
}

TEST_F(GridPrintTest, ARotatedCellMeasuresItsTurnedBlock)
{
    TExStringGrid* g = NewGrid(2, 2, 0, 0);
    g->SetCells(0, 0, "abcdefghijkl");
    g->SetCells(1, 0, "abcdefghijkl");
    g->SetRotated(1, 0, 90);
    ToPdf("rot.pdf");
    g->FastPrint = true;
    g->Print();
    EXPECT_EQ(g->PrintNrOfPages(), 1);
    TMeasure m(Path("m.pdf"));
    EXPECT_EQ(g->GetPrintColWidth(0), m.Width(g, *g->Font(), "abcdefghijkl"));
    EXPECT_EQ(g->GetPrintColWidth(1), m.Height(g, *g->Font()));
}

} // namespace


TEST_F(GridPrintTest, WordWrappedCellsWrapWithinTheirScreenWidthUnderNoAutoSize)
{
    // Column 0 is narrower than any one word: a wrapped cell takes a line per
    // word; row heights are the lines' height plus one eighth.
    TExStringGrid* g = NewGrid(2, 3);
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    g->SetColWidths(0, 20);
    g->SetCells(0, 0, QStringLiteral("wwwwwwwwww xxxxxxxxxx yyyyyyyyyy"));
    g->SetCells(0, 1, QStringLiteral("a"));
    g->SetWordWraps(0, 0, true);
    TPrintSettings* ps = g->PrintSettings();
    ps->NoAutoSize = true;
    std::map<int, int> heights;
    g->OnPrintSetRowHeight = [&](TObject*, int ARow, int& Height) { heights[ARow] = Height; };
    ToPdf("wrap.pdf");
    g->Print();
    TMeasure m(Path("m.pdf"));
    const int lh = m.Height(g, ps->Font);
    EXPECT_EQ(heights[1], lh + lh / 8);
    EXPECT_EQ(heights[0], 3 * lh + (3 * lh) / 8);

    // Without NoAutoSize the column takes the text's width: one line.
    ps->NoAutoSize = false;
    heights.clear();
    ToPdf("wide.pdf");
    g->Print();
    EXPECT_EQ(heights[0], lh + lh / 8);
}
