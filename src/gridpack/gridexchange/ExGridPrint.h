#pragma once
// The page engine of the string grid: lays a cell rectangle out on pages in
// 0.1 mm units (column bands, repeated fixed rows and columns, fit to page,
// the six page frame slots and the page lines), and counts, draws or prints
// those pages.
#include "platform/graphics/GraphicsTypes.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TExStringGrid;
class TCanvas;

// What one page's frame slots held: top-left, top-right, top-centre,
// bottom-left, bottom-right, bottom-centre.
struct TPrintedPageTexts {
    int Page = 0; // 1-based, over all bands
    std::array<QString, 6> Slots;
};

class TGridPrinter {
public:
    enum TMode { pmPreview, pmPrint, pmCountPrint, pmCountPreview };
    // Printed cell sizes, kept between the runs of one print (counting, then
    // printing) since each cell is measured more than once.
    struct TSizeCache {
        int Left = 0, Top = 0, Cols = 0, Rows = 0;
        std::vector<int> W, H; // -1: not measured yet
    };
    TGridPrinter(TExStringGrid* Grid, TCanvas* Canvas, TMode Mode, bool SelectedOnly,
                 std::shared_ptr<TSizeCache> Cache = nullptr);
    ~TGridPrinter();
    TGridPrinter(const TGridPrinter&) = delete;
    TGridPrinter& operator=(const TGridPrinter&) = delete;
    // Lays out (and in the drawing modes draws) the pages; the page count.
    int Run();
    // Lays out on a page of this size (0.1 mm) instead of the printer's or
    // the preview's.
    void UsePage(const TRect& Page)
    {
        FPage = Page;
        FHasPage = true;
    }

    // The page frame texts of the pages drawn by the last run of any grid.
    static const std::vector<TPrintedPageTexts>& LastPageTexts();
    // The text of the page number slot.
    static QString PageNumberText(TExStringGrid* Grid, int Page, int PageInBand, int Band, int Bands, int Total);

private:
    struct TBand {
        int First = 0;
        int Last = 0;
        int FixedWidth = 0;
        int UsedWidth = 0;
    };
    bool Drawing() const { return FMode == pmPreview || FMode == pmPrint; }
    bool RowPrinted(int ARow);
    bool ColPrinted(int ACol);
    // Selects Source with its height mapped; answers the line height.
    int SetFont(const class TFont& Source);
    void CellSize(int ACol, int ARow, int& W, int& H);
    int RowHeight(int ARow);
    int PrintedRowHeight(int ARow) { return RowHeight(ARow) + 2 * FGap + FRowSpacing; }
    void PrintCell(int ACol, int ARow, int Left, int Right, int Top, int Bottom, bool Cut);
    void PrintRow(int ARow, int Y, const TBand& Band, const std::vector<int>& Pos, bool InRange);
    void FrameTexts(int Page, int PageInBand, int Band, int Bands);
    void PageLines(const TBand& Band, const std::vector<int>& FixedPos, int Bottom);
    // Cell lines wait for the end of their page: lines that continue each
    // other are drawn as one.
    struct TSeg {
        int X1, Y1, X2, Y2;
        unsigned Color;
        int Width;
        int Style;
    };
    void AddLine(int X1, int Y1, int X2, int Y2, const class TPen& Pen);
    void FlushLines();
    std::vector<TSeg> FSegs;
    std::shared_ptr<TSizeCache> FCache;
    const class TFont* FLastSource = nullptr;
    std::unique_ptr<class TFont> FLastFont;
    double FLastFactor = 0;
    unsigned long long FLastCanvasVersion = 0;
    int FCurLineH = 0;
    // Text widths by font: in a font whose digits are all equally wide, a
    // text measures as the same text with every digit made 0, so numbers
    // are measured once per shape.
    struct TFontMemo {
        bool TabularDigits = false;
        std::unordered_map<std::u16string, int> Widths;
    };
    std::unordered_map<std::u16string, TFontMemo> FMemos;
    TFontMemo* FMemo = nullptr;
    int MeasureWidth(const QString& Text);
    // Lines broken at spaces so that each fits Width in the current font
    // (a single word wider than Width keeps a line of its own).
    QStringList WrapLines(const QStringList& Lines, int Width);
    // Text shortened with "..." to fit Width in the current font.
    QString EndEllipsis(const QString& Text, int Width);
    // The print width a word-wrapped cell of column ACol wraps within under
    // NoAutoSize; 0 when the cell is not wrapped.
    int WrapWidth(int ACol, bool WordWrap) const;

    // Mark-up and rich-text cells, mark-up titles and cell graphics are laid
    // out by the code that paints them on screen, in a space of screen pixels
    // scaled to the page (PixelScale: 0.1 mm per pixel, with the fit factor).
    double PixelScale() const;
    // The size (0.1 mm) a mark-up text needs in Font, wrapped within
    // WrapWidth (0.1 mm; 0: unwrapped).
    TSize HtmlExtent(int ACol, int ARow, const QString& Html, const class TFont& Font, int WrapWidth,
                     double Scale);
    // Draws a mark-up text into R (0.1 mm, y upwards), aligned by its
    // measured size (wrapped within R), which it answers.
    TSize DrawHtml(int ACol, int ARow, const QString& Html, const class TFont& Font, const TRect& R, int HA, int VA,
                  double Scale);
    void DrawRich(int ACol, int ARow, const TRect& R);
    // The printed size (0.1 mm) of the cell's graphic; 0 x 0 without one.
    TPoint GraphicExtent(int ACol, int ARow);
    // Where the cell's text goes beside its graphic (R shrunk), 0.1 mm.
    TRect TextBesideGraphic(int ACol, int ARow, const TRect& R);
    // Draws the cell's graphic into the cell R (0.1 mm, y upwards): the
    // kinds drawn behind the text when BehindText, the others otherwise.
    void DrawGraphic(int ACol, int ARow, const TRect& R, int Back, int HA, int VA, int TextWidth,
                     bool BehindText);
    // The height (0.1 mm) of a mark-up title in TitleLines; 0 when the
    // title is no mark-up.
    int HtmlTitleHeight();
    QString HtmlTitle() const;
    void DrawHtmlTitle(int Slot, int Y);

    TExStringGrid* G;
    TCanvas* C;
    TMode FMode;
    TRect FPage;
    bool FHasPage = false;
    bool FSelectedOnly;
    double FScale = 1.0;
    double FFit = 1.0;
    int FScreenDpi = 96;
    int FHeaderH = 0, FFooterH = 0, FLineH = 0, FGap = 0, FHalfG = 0;
    int FPageW = 0, FPageBottom = 0;
    int FSpacing = 0, FRowSpacing = 0;
    int FHeaderZone = 0, FFooterZone = 0;
    int FHtmlTitleH = 0; // a mark-up title at the top, 0.1 mm
    int FLastRow = -1, FLastRowHeight = 0;
    std::vector<int> FWidths;
    std::vector<int> FIndents;
    std::vector<int> FFixedPos;
};
