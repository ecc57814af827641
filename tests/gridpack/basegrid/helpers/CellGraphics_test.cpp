#include "gridpack/basegrid/RorIdadGraphics.h"

#include "platform/controls/Forms.h"

#include <gtest/gtest.h>

namespace {
// A white bitmap to paint on; pixels are read back through the canvas.
struct Board {
    explicit Board(int w = 120, int h = 40) : Bmp(w, h)
    {
        Bmp.Canvas()->Brush().SetColor(clWhite);
        Bmp.Canvas()->FillRect(TRect(0, 0, w, h));
    }
    TCanvas* C() { return Bmp.Canvas(); }
    TColor At(int x, int y) { return Bmp.Canvas()->Pixels(x, y); }
    // The columns of row y that hold colour c.
    int CountRow(int y, TColor c, int from = 0, int to = -1)
    {
        if (to < 0)
            to = Bmp.Width();
        int n = 0;
        for (int x = from; x < to; ++x)
            n += At(x, y) == c;
        return n;
    }
    TBitmap Bmp;
};
} // namespace

TEST(ProgressBarText, FormatsByTheSingleConversion)
{
    struct Case {
        double pos;
        int min, max;
        const char* fmt;
        const char* text;
        int percent;
    } cases[] = {
        {42.5, 0, 100, "", "42%", 42},          // halves to even
        {43.5, 0, 100, "", "44%", 44},
        {150, 0, 100, "", "150%", 100},          // shown unclamped, filled to the end
        {-7, 0, 100, "", "-7%", 0},
        {42.5, 0, 200, "%d units", "42 units", 21},
        {7.6, 0, 10, "%x", "8", 76},
        {40, 0, 100, "%.0f done", "40 done", 40}, // holds a "d" but converts a float
        {2.5, 0, 10, "%.1f", "2.5", 25},
        {5, 0, 10, "%s", "5%", 5},               // a text conversion: the plain text
        {5, 0, 10, "%d of %d", "5%", 5},         // two conversions
        {5, 0, 10, "no value", "5%", 5},         // none
        {5, 0, 10, "%*d", "5%", 5},              // an argument the painter does not give
        {5, 0, 10, "%d%%", "5%", 50},            // a literal percent sign is no conversion
        {5, 3, 3, "%d", "5", 0},                 // no range: formatted value, empty bar
    };
    for (const Case& c : cases) {
        QString text;
        int percent = -1;
        ProgressBarText(c.pos, c.min, c.max, QString::fromLatin1(c.fmt), text, percent);
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.fmt << " " << c.pos;
        EXPECT_EQ(percent, c.percent) << c.fmt << " " << c.pos;
    }
}

TEST(ProgressBar, FillsTheDonePartAndRepaintsTheOuterRing)
{
    Board b(120, 30);
    b.C()->Brush().SetColor(clYellow); // the saved colour
    // Inner area 2..102 (margins 2, 2 from 0..104): 100 pixels wide.
    PaintProgressBar(b.C(), TRect(0, 0, 104, 24), clBlue, clWhite, clSilver, clBlack, 42.5, 2, 2, 0, 100,
                     QString(), clNone, false);
    EXPECT_EQ(b.At(3, 3), clBlue);
    EXPECT_EQ(b.At(43, 3), clBlue);
    EXPECT_EQ(b.At(44, 3), clSilver);
    EXPECT_EQ(b.At(101, 3), clSilver);
    EXPECT_EQ(b.At(102, 3), clWhite); // no border in clNone
    EXPECT_EQ(b.At(103, 3), clYellow); // the ring outside it in the saved colour
    EXPECT_EQ(b.C()->Brush().Color(), clYellow);

    Board c(120, 30);
    PaintProgressBar(c.C(), TRect(0, 0, 104, 24), clBlue, clWhite, clSilver, clBlack, 40, 2, 2, 0, 100,
                     QStringLiteral("%.0f done"), clRed, false);
    EXPECT_EQ(c.At(1, 10), clRed);
    EXPECT_EQ(c.At(41, 3), clBlue);
    EXPECT_EQ(c.At(42, 3), clSilver);
}

TEST(ProgressPie, NothingAtZeroWholeAtHundred)
{
    Board z(40, 40);
    z.C()->Brush().SetColor(clWhite);
    PaintProgressPie(z.C(), TRect(0, 0, 31, 31), clRed, 0, false);
    EXPECT_EQ(z.CountRow(8, clRed), 0);
    EXPECT_EQ(z.At(15, 5), clGray); // the radius to twelve o'clock

    Board f(40, 40);
    f.C()->Brush().SetColor(clWhite);
    PaintProgressPie(f.C(), TRect(0, 0, 31, 31), clRed, 100, false);
    EXPECT_EQ(f.At(8, 15), clRed);
    EXPECT_EQ(f.At(24, 15), clRed);
    EXPECT_EQ(f.At(35, 15), clWhite);

    Board q(40, 40);
    q.C()->Brush().SetColor(clWhite);
    PaintProgressPie(q.C(), TRect(0, 0, 31, 31), clRed, 25, false);
    EXPECT_EQ(q.At(22, 8), clRed);  // the upper right quarter
    EXPECT_NE(q.At(8, 8), clRed);   // not the upper left
    EXPECT_NE(q.At(22, 22), clRed); // nor the lower right
}

TEST(RangeBar, ClampsAndDrawsFromTheCentre)
{
    Board b(120, 20);
    // Inner 2..102: half 50; centre 52.
    PaintRangeBar(b.C(), TRect(0, 0, 104, 20), 500, 100, false, clRed, clGreen);
    EXPECT_EQ(b.CountRow(10, clGreen), 50);
    EXPECT_EQ(b.At(52, 10), clGreen);
    EXPECT_EQ(b.At(101, 10), clGreen);

    Board n(120, 20);
    PaintRangeBar(n.C(), TRect(0, 0, 104, 20), -50, 100, false, clRed, clGreen);
    EXPECT_EQ(n.CountRow(10, clRed), 25);
    EXPECT_EQ(n.At(27, 10), clRed);
    EXPECT_EQ(n.At(51, 10), clRed);

    Board none(120, 20);
    PaintRangeBar(none.C(), TRect(0, 0, 104, 20), 5, 0, true, clRed, clGreen);
    EXPECT_EQ(none.CountRow(10, clWhite), 120);
}

TEST(LevelProgress, BlocksAndTheirRemainder)
{
    LevelProgressSettings s;
    s.Level0Color = s.Level0ColorTo = clBlue;
    // Width 102: size 100, so Total equals the position.
    Board b20(120, 20);
    PaintLevelProgress(b20.C(), TRect(0, 0, 102, 20), 20, s);
    EXPECT_EQ(b20.CountRow(10, clBlue), 14); // two blocks of 7
    EXPECT_EQ(b20.At(2, 10), clBlue);
    EXPECT_EQ(b20.At(9, 10), clWhite);
    EXPECT_EQ(b20.At(11, 10), clBlue);
    EXPECT_EQ(b20.At(2, 1), clWhite); // two pixels inside the frame

    Board b22(120, 20);
    PaintLevelProgress(b22.C(), TRect(0, 0, 102, 20), 22, s);
    EXPECT_EQ(b22.CountRow(10, clBlue), 17); // and a third of 3
    EXPECT_EQ(b22.At(20, 10), clBlue);
    EXPECT_EQ(b22.At(22, 10), clBlue);
    EXPECT_EQ(b22.At(23, 10), clWhite);
}

TEST(LevelProgress, StackedEndsAtTheFarEdgeAndSmoothPicksTheLevel)
{
    LevelProgressSettings s;
    s.Level0Color = s.Level0ColorTo = clBlue;
    s.Level1Color = s.Level1ColorTo = clGreen;
    s.Level3Color = s.Level3ColorTo = clRed;
    s.Stacked = true;
    Board b(120, 20);
    PaintLevelProgress(b.C(), TRect(0, 0, 102, 20), 100, s);
    EXPECT_EQ(b.CountRow(10, clBlue), 70);
    EXPECT_EQ(b.CountRow(10, clGreen), 20);
    EXPECT_EQ(b.CountRow(10, clRed), 10);
    EXPECT_EQ(b.At(100, 10), clRed);
    EXPECT_EQ(b.At(101, 10), clWhite);

    s.Stacked = false;
    s.CompletionSmooth = true;
    s.Level2Color = s.Level2ColorTo = clYellow;
    Board m(120, 20);
    PaintLevelProgress(m.C(), TRect(0, 0, 102, 20), 95, s);
    EXPECT_EQ(m.CountRow(10, clYellow), 95);

    s.ShowPercentage = true;
    s.FontColor = clBlack;
    Board z(120, 20);
    PaintLevelProgress(z.C(), TRect(0, 0, 102, 20), 0, s);
    EXPECT_GT(z.CountRow(10, clBlack, 1, 101) + z.CountRow(9, clBlack, 1, 101) + z.CountRow(11, clBlack, 1, 101), 0)
        << "0% written over the empty bar";
}

TEST(CellShape, SquaresTheCircleAndIgnoresUnknownCodes)
{
    Board b(40, 20);
    PaintCellShape(b.C(), 0, 0, 20, 10, csCircle, clRed, clRed);
    EXPECT_EQ(b.At(5, 5), clRed);
    EXPECT_EQ(b.At(15, 5), clWhite);

    Board n(40, 20);
    PaintCellShape(n.C(), 0, 0, 20, 10, 19, clGreen, clBlue);
    EXPECT_EQ(n.C()->Brush().Color(), clGreen);
    EXPECT_EQ(n.C()->Pen().Color(), clBlue);
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(n.CountRow(y, clWhite), 40);

    Board s(40, 40);
    PaintCellShape(s.C(), 0, 0, 30, 30, csStar, clRed, clRed);
    EXPECT_EQ(s.At(15, 15), clRed); // the centre
    EXPECT_EQ(s.At(15, 2), clRed);  // the upper point
    EXPECT_EQ(s.At(3, 3), clWhite); // between the points

    Board h(40, 40);
    PaintCellShape(h.C(), 0, 0, 30, 30, csHalfStar, clRed, clRed);
    EXPECT_EQ(h.At(12, 15), clRed);
    EXPECT_EQ(h.At(20, 15), clWhite); // the right half is left out

    Board a(40, 40);
    PaintCellShape(a.C(), 0, 0, 20, 20, csArrowUp, clRed, clRed);
    EXPECT_EQ(a.At(10, 3), clRed);  // head
    EXPECT_EQ(a.At(10, 17), clRed); // shaft
    EXPECT_EQ(a.At(2, 17), clWhite);
}

TEST(WavyUnderline, DrawsOnlyForARealRange)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    Board none(120, 30);
    PaintWavyUnderline(&form, none.C(), QStringLiteral("abc"), TRect(0, 0, 120, 20), 0, 0, 0);
    PaintWavyUnderline(&form, none.C(), QString(), TRect(0, 0, 120, 20), 0, 0, 3);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(none.CountRow(y, clRed), 0);

    Board w(120, 30);
    PaintWavyUnderline(&form, w.C(), QStringLiteral("abcdef"), TRect(10, 5, 120, 20), 0, 1, 2);
    int red = 0;
    for (int y = 0; y < 30; ++y)
        red += w.CountRow(y, clRed);
    EXPECT_GT(red, 0);
    EXPECT_EQ(w.CountRow(9, clRed, 0, 10), 0); // nothing left of the rectangle
    EXPECT_EQ(w.C()->Pen().Width(), 2);

    // From past the end starts 4 pixels right of the text's end.
    Board e(200, 30);
    const QString text = QStringLiteral("abc");
    e.C()->SetFont(*form.Font());
    const int end = e.C()->TextWidth(text);
    PaintWavyUnderline(&form, e.C(), text, TRect(0, 0, 200, 20), 0, 5, 2);
    int first = -1;
    for (int x = 0; x < 200 && first < 0; ++x)
        for (int y = 0; y < 30; ++y)
            if (e.At(x, y) == clRed) {
                first = x;
                break;
            }
    EXPECT_GE(first, end + 3);
    EXPECT_LE(first, end + 4);
}

TEST(BitmapTransparent, TheTopLeftColourIsTheKey)
{
    TBitmap src(4, 4);
    src.Canvas()->Brush().SetColor(clFuchsia);
    src.Canvas()->FillRect(TRect(0, 0, 4, 4));
    src.Canvas()->SetPixels(2, 2, clBlue);
    src.Canvas()->SetPixels(3, 3, clWhite); // the usual key, not this bitmap's
    Board b(20, 20);
    DrawBitmapTransparent(b.C(), &src, clGreen, TRect(5, 6, 6, 7)); // right and bottom ignored
    EXPECT_EQ(b.At(5, 6), clGreen);
    EXPECT_EQ(b.At(7, 8), clBlue);
    EXPECT_EQ(b.At(8, 9), clWhite);
    EXPECT_EQ(b.At(8, 8), clGreen);
    EXPECT_EQ(b.At(9, 9), clWhite); // outside the bitmap: untouched board
    EXPECT_EQ(b.At(4, 6), clWhite);

    DrawResourceBitmap(b.C(), clGreen, TRect(0, 0, 4, 4), QStringLiteral("no such bitmap"));
    EXPECT_EQ(b.At(0, 0), clWhite);
}
